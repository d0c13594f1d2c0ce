// The window with logarithmic axes: construction defaults, set-up with
// "kvlog.ini", the decade grid, the view around the plotted rectangle and
// the view a file brings.
#include "planewin/log_win.h"

#include <algorithm>
#include <cmath>

#include "graphics/export_sink.h"
#include "planewin/model/log_axes.h"
#include "platform/resources.h"

namespace kv {

TLogWin::TLogWin(plat::Window* parent, const std::string& caption, int axisType) : TPlotEWin(parent, caption) {
  AssignMenu("LOGMENU");
  SettingsFileName = kSettingsFileLog;
  SetHelpNames("KVLHELP", {"KVFILEH", "KVFORMH", "KV2CALCH", "KV2VIEWH", "KV2BTNSH", "KV2MISCH", "KVANIMH", "KVSTYLEH",
                           "KVSTYLEH", "KV2VIEWH"});
  FileData.Filter = plat::res::String(kStrLogFilter);
  FileData.DefaultExt = "lkv";
  ViewTemplate = "VIEWCOR";
  mappedFlag = 1;
  // The decades 0.1 to 100 on a logarithmic axis, -1 to 2 on a linear one.
  Alternate = {-1, 2, -1, 2};
  UseAlternate = 1;
  ScaleBits = 7;
  GridBits = 31;
  SetAxisType(axisType);
}

void TLogWin::SetAxisType(int type) {
  AxisType = static_cast<std::int16_t>(type >= 1 && type <= 3 ? type : 1);
  LogWindowType = AxisType;
  AxisKind = AxisType;
  UpdateValueRange();
}

void TLogWin::UpdateValueRange() { LogValueRange = ValueRangeOf(Alternate, AxisType); }

void TLogWin::SetupWindow() {
  MetafileDescription = "kvlog v." + std::to_string(FileVersion);
  TPlotEWin::SetupWindow();
  MetafileDescription = "kvlog v." + std::to_string(FileVersion);
  if (OpenFileByName() != 0) {
    ClearDrawing();
    ApplySettings();
    SetAxisType(AxisType);
    if (MouseMode < kCmMouseTrajectories || MouseMode > kCmMouseCoordinates) MouseMode = kCmMouseCoordinates;
    MoveWindow(Placement.x, Placement.y, Placement.width, Placement.height);
  }
  GridChanged();
  UpdateMenuChecks(false);
  BringToTop();
}

void TLogWin::Destroy() {
  if (IsDestroyed()) return;
  StoreSettings();
  TPlotEWin::Destroy();
}

void TLogWin::OnViewChanged() {
  TPlotEWin::OnViewChanged();
  // A file of the current format brings its window type.
  if (loadedFileVersion >= 33 && AxisKind >= 1 && AxisKind <= 3) AxisType = AxisKind;
  Alternate = World;
  SetAxisType(AxisType);
  GridChanged();
}

void TLogWin::NewFile() {
  if (inventoryEditing) return;
  TPlotEWin::NewFile();
  FileData.FileName = plat::res::String(kStrUntitled) + ".lkv";
  UpdateCaption(false);
}

void TLogWin::EvSize(unsigned sizeType, plat::Size clientSize) {
  TPlotEWin::EvSize(sizeType, clientSize);
  // The margins for the numbers are pixels: at another size (a file's
  // among them) the view is fitted anew, so that no number is cut.
  if (clientSize.cx > 0 && clientSize.cy > 0) GridChanged();
}

void TLogWin::GridChanged() {
  UseAlternate = 1;
  UpdateValueRange();
  // Decades are the ticks of a logarithmic axis.
  if (IsLogX(AxisType)) {
    TickIntervalX = 1;
    TickOriginX = 0;
  }
  if (IsLogY(AxisType)) {
    TickIntervalY = 1;
    TickOriginY = 0;
  }
  TAxisNumberExtents t;
  if (IsCreated()) {
    plat::ClientDC dc(*this);
    t = MeasureAxisNumbers(dc);
  }
  if (ClientSizeChanged()) UpdateView();
  const TSegment2D v = ViewAroundPlot(Alternate, AreaWidth(), AreaHeight(), t);
  if (!(v.xmax > v.xmin) || !(v.ymax > v.ymin)) return;
  SetView((v.xmin + v.xmax) / 2, (v.ymin + v.ymax) / 2, (v.xmax - v.xmin) / 2, (v.ymax - v.ymin) / 2, 1);
  UpdateView();
  InvalidatePlot();
}

TAxisNumberExtents TLogWin::MeasureAxisNumbers(plat::DC& dc) {
  const plat::LogFont old = dc.SelectFont(FontSlots[kAxisNumberFontSlot]);
  const plat::Size top = dc.GetTextExtent(FormatYAxisNumber(Alternate.ymax));
  const plat::Size bottom = dc.GetTextExtent(FormatYAxisNumber(Alternate.ymin));
  const plat::Size right = dc.GetTextExtent(FormatXAxisNumber(Alternate.xmax));
  dc.SelectFont(old);
  TAxisNumberExtents t;
  t.yNumberWidth = std::max(top.cx, bottom.cx);
  t.numberHeight = top.cy;
  t.halfXNumberWidth = right.cx / 2;
  return t;
}

bool TLogWin::PrintPlot(plat::DC& dc) {
  // The page has other fonts and another size than the screen: the margins
  // for the axis numbers are fitted to them while it prints, and the
  // screen's view comes back afterwards.
  const TViewMapping screen = *this;
  const int dpi = dc.GetDeviceCaps(plat::LOGPIXELSY);
  ScaleFontsForPrinter(true, dpi);
  const TAxisNumberExtents t = MeasureAxisNumbers(dc);
  ScaleFontsForPrinter(false, dpi);
  const TSegment2D v = ViewAroundPlot(Alternate, AreaWidth(), AreaHeight(), t);
  if (v.xmax > v.xmin && v.ymax > v.ymin) {
    World = v;
    ViewMode = 1;
    ComputeView();
    UpdateTickMetrics();
  }
  const bool ok = TPlotEWin::PrintPlot(dc);
  static_cast<TViewMapping&>(*this) = screen;
  UpdateTickMetrics();
  return ok;
}

void TLogWin::DrawGrid(plat::DC& dc, const TTickRange& range, const plat::Pen& gridPen, const plat::Pen&,
                       const TPenSpec& displaySpec, const TPenSpec&) {
  if (!(GridBits & kGridRectangular)) return;
  const TSegment2D& a = Alternate;
  const plat::Pen oldPen = dc.SelectPen(gridPen);
  // While an export records, each line goes to it as a rule instead.
  TExportSink* sink = ActiveSink();
  if (sink && !sink->TakesGrid()) sink = nullptr;
  TExportPen pen = ExportPenOf(displaySpec);
  if (sink && sink->Format() == TExportFormat::Pictex) pen.style = 0;
  auto line = [&](const TPoint2D& p, const TPoint2D& q) {
    if (sink) {
      sink->Rule(p, q, pen);
    } else {
      DrawWorldLine(dc, p, q, false);
    }
  };
  const auto rows = IsLogY(AxisType) ? DecadeLines(a.ymin, a.ymax)
                                     : LinearLines(TickOriginY, TickIntervalY, range.bottom, range.top, a.ymin);
  for (long double y : rows) line({a.xmin, y}, {a.xmax, y});
  const auto columns = IsLogX(AxisType) ? DecadeLines(a.xmin, a.xmax)
                                        : LinearLines(TickOriginX, TickIntervalX, range.left, range.right, a.xmin);
  for (long double x : columns) line({x, a.ymin}, {x, a.ymax});
  dc.SelectPen(oldPen);
}

}  // namespace kv
