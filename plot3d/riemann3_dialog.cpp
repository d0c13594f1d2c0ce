#include "plot3d/riemann3_dialog.h"

#include <cstdio>
#include <string>

#include "platform/resources.h"
#include "plot3d/plot_r_win.h"
#include "core/text_encoding.h"

namespace kv {

namespace {

constexpr int kStrArea = 189;        // "Fläche"
constexpr int kStrIntegrate = 194;   // "Integrieren"
constexpr int kStrXLabels = 368;     // "x min", "x max", "y min", "y max"
constexpr int kStrTULabels = 372;    // "t min", "t max", "u min", "u max"
constexpr int kBoundLabels[4] = {13, 4, 6, 9};
constexpr int kFieldChars = 30;

std::string Count(std::int32_t n) {
  char text[16];
  std::snprintf(text, sizeof text, "%d", static_cast<int>(n));
  return text;
}

}  // namespace

TRiem3Dlg::TRiem3Dlg(TPlotRWin& window, const std::string& templateName, int mode)
    : TComboDlg(window, templateName,
                mode == kRiem3Area ? std::initializer_list<int>{kKindSurface, kKindParametricSurface}
                                   : std::initializer_list<int>{kKindSurface}),
      plot_(window),
      mode_(mode) {
  // A surface made from others ("Kombinationen") is integrated like any.
  includeDerived = 1;
}

const plat::CommandTable& TRiem3Dlg::Commands() const {
  using D = TRiem3Dlg;
  static const auto table = plat::CommandTable::Build<D>(&TDlg::Commands(), {{kRiem3Compute, &D::CmCompute}});
  return table;
}

void TRiem3Dlg::SetupControls() {
  std::string text;
  const long double bounds[4] = {first_.lower, first_.upper, second_.lower, second_.upper};
  const int ids[4] = {kRiem3FirstLower, kRiem3FirstUpper, kRiem3SecondLower, kRiem3SecondUpper};
  for (int k = 0; k < 4; ++k) {
    plot_.FormatWindowNumber(bounds[k], text);
    SetItemText(ids[k], text);
    LimitText(ids[k], kFieldChars);
  }
  SetItemText(kRiem3FirstParts, Count(first_.parts));
  SetItemText(kRiem3SecondParts, Count(second_.parts));
  LimitText(kRiem3FirstParts, kFieldChars);
  LimitText(kRiem3SecondParts, kFieldChars);
  SetCaption(ModeLabel());
}

void TRiem3Dlg::SelectionChanged() {
  const int i = SelectedEquation();
  const bool tu = plot_.IsValidIndex(i) && plot_.Equation(i).kind == kKindParametricSurface;
  for (int k = 0; k < 4; ++k) SetItemText(kBoundLabels[k], plat::res::String((tu ? kStrTULabels : kStrXLabels) + k));
  SetCaption(ModeLabel());
}

std::string TRiem3Dlg::ModeLabel() const { return plat::res::String(mode_ == kRiem3Area ? kStrArea : kStrIntegrate); }

int TRiem3Dlg::ReadInputs() {
  auto field = [this](int id) { return TruncateChars(GetItemText(id), kFieldChars); };
  TSimpsonRange first, second;
  auto read = [&](TSimpsonRange& r, int lowerId, int upperId, int partsId) {
    if (int code = plot_.TextToValue(field(lowerId), r.lower)) return code;
    if (int code = plot_.TextToValue(field(upperId), r.upper)) return code;
    if (int code = plot_.ReadBoundedInt(field(partsId), 1, 2147483647, r.parts)) return code;
    return r.upper < r.lower + 1e-16L ? 6 : 0;  // "widersprüchliche Daten"
  };
  int code = read(first, kRiem3FirstLower, kRiem3FirstUpper, kRiem3FirstParts);
  if (code == 0) code = read(second, kRiem3SecondLower, kRiem3SecondUpper, kRiem3SecondParts);
  if (code != 0) {
    plot_.ShowMessageById(code);
    return code;
  }
  first_ = first;
  second_ = second;
  return 0;
}

void TRiem3Dlg::CmCompute() {
  if (ReadInputs() != 0) return;
  // Without an accepted surface in the list nothing is computed.
  const int i = SelectedEquation();
  if (LastRow() < 0 || !plot_.IsValidIndex(i)) return;
  const TEquation& e = plot_.Equation(i);
  if (!acceptedKinds_.test(e.kind)) return;
  long double result = 0;
  bool gaps = false;
  plot_.SetCaption(1, 0, 0);  // "Abbruch mit Taste A"
  auto stop = [this] { return plot_.PollKey() == 'A'; };
  const int code = mode_ == kRiem3Area ? SurfaceArea(plot_.Engine(), e, first_, second_, result, stop, &gaps)
                                       : DoubleIntegral(plot_.Engine(), e, first_, second_, result, stop, &gaps);
  plot_.UpdateCaption(false);
  if (code == kIntegralStopped) return;
  if (code != 0) {
    plot_.ShowMessageById(code);
    return;
  }
  value_ = result;
  std::string text;
  plot_.FormatIntegral(result, gaps, text);
  SetItemText(kRiem3Value, text);
  const long double values[4] = {result, first_.lower, first_.upper, second_.lower};
  plot_.AddResultPoint(i, mode_ == kRiem3Area ? kResultSurfaceArea : kResultDoubleIntegral, values, 4,
                       TruncateChars(Count(first_.parts) + "x" + Count(second_.parts) + " " + ModeLabel(),
                                     kResultTextSize - 1));
}

}  // namespace kv
