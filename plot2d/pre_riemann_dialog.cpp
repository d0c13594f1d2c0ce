#include "plot2d/pre_riemann_dialog.h"

#include <algorithm>

#include "entry/slider_dialog.h"
#include "platform/resources.h"
#include "plot2d/plot_a_win.h"

namespace kv {

namespace {

constexpr long double kMinWidth = 1e-13L;

}  // namespace

TPreRiemDlg::TPreRiemDlg(TPlotAWin& window, const std::string& templateName, std::initializer_list<int> kinds)
    : T2ComboDlg(window, templateName, kinds, kinds), plot_(window) {
  includeLagrange = 1;
  includeDerived = 1;
  resultLabel_ = plat::res::String(175);
}

void TPreRiemDlg::SetupWindow() {
  T2ComboDlg::SetupWindow();
  ShowBounds();
}

const plat::CommandTable& TPreRiemDlg::Commands() const {
  static const auto table = plat::CommandTable::Build<TPreRiemDlg>(
      &T2ComboDlg::Commands(), {
                                   {kIdValueButton, &TPreRiemDlg::OnValueButton},
                               });
  return table;
}

void TPreRiemDlg::ShowBounds() {
  std::string text;
  plot_.FormatWindowNumber(plot_.IntegrationLeft(), text);
  SetItemText(kIdLeftBound, text);
  plot_.FormatWindowNumber(plot_.IntegrationRight(), text);
  SetItemText(kIdRightBound, text);
  SetItemText(kIdDivisions, std::to_string(plot_.IntegrationDivisions()));
}

int TPreRiemDlg::ReadInputs() {
  long double left = plot_.IntegrationLeft();
  long double right = plot_.IntegrationRight();
  long double low = 0, high = 0;
  BoundLimits(low, high);
  if (!boundFlag_) {
    int p1 = 0, p2 = 0;
    if (const int code = plot_.ReadValueAndParameter(GetItemText(kIdLeftBound).substr(0, 255), left, p1)) return code;
    if (const int code = plot_.ReadValueAndParameter(GetItemText(kIdRightBound).substr(0, 255), right, p2))
      return code;
    // Only the slider parameters A..W can carry a bound.
    firstParameter_ = p1 >= 1 && p1 <= 23 ? p1 : 0;
    secondParameter_ = p2 >= 1 && p2 <= 23 ? p2 : 0;
    if (!(right >= left + kMinWidth)) return kIntegrationBadRange;
    if (left < low || right > high) return kIntegrationOutOfBounds;
  } else {
    const long double l = plot_.Variable(firstParameter_).re;
    const long double r = plot_.Variable(secondParameter_).re;
    // A slider beyond the limits or past the other bound leaves the last
    // good bounds in place.
    if (r >= l + kMinWidth && l >= low + kMinWidth && r <= high - kMinWidth) {
      left = l;
      right = r;
    }
  }
  std::int32_t n = 0;
  if (const int code = plot_.ReadBoundedInt(GetItemText(kIdDivisions).substr(0, 10), 1, kMaxIntegrationSteps, n))
    return code;
  plot_.IntegrationLeft() = left;
  plot_.IntegrationRight() = right;
  plot_.SetIntegrationDivisions(n);
  return 0;
}

void TPreRiemDlg::BoundLimits(long double& low, long double& high) const {
  low = plot_.World.xmin;
  high = plot_.World.xmax;
  const int i = SelectedEquation();
  if (!plot_.IsValidIndex(i)) return;
  const TEquation& e = plot_.Equation(i);
  if (e.kind != kKindPolar && e.kind != kKindParametric && e.kind != kKindSpaceCurve) return;
  // The bounds of a curve in a parameter are parameter values: they lie in
  // the curve's parameter range, wherever the view is.  A typed "2pi" may
  // differ from the stored end in its last digit.
  low = std::min(e.lowerBound.x, e.upperBound.x);
  high = std::max(e.lowerBound.x, e.upperBound.x);
  const long double slack = 1e-12L * std::max(1.0L, high - low);
  low -= slack;
  high += slack;
}

void TPreRiemDlg::ShowResult() { SetItemText(kIdResult, plot_.integrationText); }

void TPreRiemDlg::StoreResult() {
  const int i = SelectedEquation();
  if (!plot_.IsValidIndex(i)) return;
  const long double values[4] = {plot_.IntegrationLeft(), plot_.IntegrationRight(), plot_.integrationValue,
                                 static_cast<long double>(plot_.IntegrationDivisions())};
  plot_.AddResultPoint(i, resultCode_, values, 4, resultLabel_);
}

void TPreRiemDlg::RunComputation() {
  int code = ReadInputs();
  if (code == 0) code = Compute();
  // Stopped with "A": no result and no message.
  if (code == kIntegrationStopped) return;
  if (code > 0) {
    plot_.ShowMessageById(code);
    return;
  }
  boundFlag_ = firstParameter_ >= 1 && secondParameter_ >= 1 && firstParameter_ != secondParameter_ ? 1 : 0;
  if (boundFlag_) {
    plot_.SetVariable(firstParameter_, plot_.IntegrationLeft());
    plot_.SetVariable(secondParameter_, plot_.IntegrationRight());
    plot_.OpenSliderDialog(firstParameter_);
    plot_.OpenSliderDialog(secondParameter_);
  }
  ShowResult();
  StoreResult();
  BringToTop();
}

void TPreRiemDlg::ReleaseBinding() {
  if (boundFlag_) {
    for (int p : {firstParameter_, secondParameter_})
      if (TSlideDlg* d = plot_.SliderDialog(p); d && !d->IsHidden()) d->Hide();
  }
  boundFlag_ = 0;
}

void TPreRiemDlg::OnValueButton() {
  ReleaseBinding();
  RunComputation();
}

void TPreRiemDlg::FollowParameters() {
  if (!boundFlag_) return;
  if (ReadInputs() != 0 || Compute() > 0) return;
  ShowResult();
  ShowBounds();
}

}  // namespace kv
