// Construction and reset of the common 3D layer, and the point entry the
// tools append.
#include "plot3d/plot_q_win.h"

#include <cmath>
#include <cstdio>

#include "platform/resources.h"
#include "plot3d/variable_guard.h"
#include "shell/text_helpers.h"

namespace kv {

TPlotQWin::TPlotQWin(plat::Window* parent, const std::string& title) : TPlot111Win(parent, title) {
  FileTypeCode = kFileType3D;
  dimension = 3;
  is3D = 1;
  // The plane window's coordinate system has no place in a picture of
  // space: its grid, ticks and axes stay off.
  GridBits = 0;
  AxisChoice = 0;
  AssignMenu("PLOT3MENU");
  SetHelpNames("KV3HELP", {"KVFILEH", "KVFORMH", "KV3CALCH", "KV3CALCH", "KV3VIEWH", "KV3MISCH", "KVANIMH"});
  SettingsFileName = kSettingsFile3D;
  FileData.FileName = title;
  FileData.Filter = plat::res::String(269);
  FileData.DefaultExt = "kv3";
}

TPlotQWin::~TPlotQWin() = default;

void TPlotQWin::SetupWindow() {
  // The version is known only now: the main frame sets it after the
  // window was constructed.
  MetafileDescription = "kurvato3 v." + std::to_string(FileVersion);
  TPlot111Win::SetupWindow();
}

void TPlotQWin::Destroy() {
  if (IsDestroyed()) return;
  TPlot111Win::Destroy();
}

void TPlotQWin::ResetDrawing() {
  FreePicture();
  FreeUserFunctions();
  SetView(0, 0, 5, 5, ViewMode);
  UpdateView();
  UpdateMenuChecks(true);
  SetVariable('E', std::exp(1.0L));
}

void TPlotQWin::BlitNow() {
  if (!IsCreated()) return;
  plat::ClientDC dc(*this);
  PaintFromBuffer(dc);
}

void TPlotQWin::MarkEpsSection(std::string_view text) {
  if (TExportSink* sink = ActiveSink(); sink && sink->Format() == TExportFormat::Eps) sink->Comment(text);
}

namespace {

// A coordinate as a formula text: fifteen places with fourteen decimals,
// or a power of ten for numbers that would not fit a formula text so.
std::string CoordinateText(long double v) {
  if (std::isfinite(v) && std::fabs(v) < 1e20L) return FormatNumber(v, 15, 14);
  if (!std::isfinite(v)) return "0";
  const int exponent = static_cast<int>(std::floor(std::log10(std::fabs(v))));
  const long double mantissa = v / std::pow(10.0L, static_cast<long double>(exponent));
  char buf[64];
  std::snprintf(buf, sizeof buf, "(%.14Lf)*10^(%d)", mantissa, exponent);
  return buf;
}

}  // namespace

int TPlotQWin::AddPoint3D(long double x, long double y, long double z) {
  if (!CanAddEquation(true)) return -1;
  const int i = AppendEquation(kKindPoint3D, 0, 1, CoordinateText(x), CoordinateText(y), CoordinateText(z));
  if (i < 0) return -1;
  Equation(i).penWidth = View3D.PointSize;
  CompileEquation(i);
  AddEquationLabel();
  EquationsChanged(true);
  DrawEquationBuffered(i);
  return i;
}

}  // namespace kv
