#include "plot2d/pre_riemann_dialog.h"

#include <algorithm>
#include <cmath>

#include "entry/slider_dialog.h"
#include "platform/resources.h"
#include "plot2d/plot_a_win.h"

namespace kv {

namespace {

constexpr long double kMinWidth = 1e-13L;

bool IsCurveInParameter(const TEquation& e) {
  return e.kind == kKindPolar || e.kind == kKindParametric || e.kind == kKindSpaceCurve;
}

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
  TIntegrationInputs in;
  if (const int code = CheckInputs(in)) return code;
  firstParameter_ = in.firstParameter;
  secondParameter_ = in.secondParameter;
  plot_.IntegrationLeft() = in.left;
  plot_.IntegrationRight() = in.right;
  plot_.SetIntegrationDivisions(in.divisions);
  return 0;
}

int TPreRiemDlg::CheckInputs(TIntegrationInputs& in) const {
  in.left = plot_.IntegrationLeft();
  in.right = plot_.IntegrationRight();
  in.firstParameter = firstParameter_;
  in.secondParameter = secondParameter_;
  long double low = 0, high = 0;
  BoundLimits(low, high);
  const long double slack = BoundSlack(low, high);
  if (!boundFlag_) {
    int p1 = 0, p2 = 0;
    if (const int code = plot_.ReadValueAndParameter(GetItemText(kIdLeftBound).substr(0, 255), in.left, p1))
      return code;
    if (const int code = plot_.ReadValueAndParameter(GetItemText(kIdRightBound).substr(0, 255), in.right, p2))
      return code;
    // Only the slider parameters A..W can carry a bound.
    in.firstParameter = p1 >= 1 && p1 <= 23 ? p1 : 0;
    in.secondParameter = p2 >= 1 && p2 <= 23 ? p2 : 0;
    if (!(in.right >= in.left + kMinWidth)) return kIntegrationBadRange;
    if (in.left < low - slack || in.right > high + slack) return kIntegrationOutOfBounds;
    // A bound shown rounded lies a little outside: integrate over the range.
    in.left = std::max(in.left, low);
    in.right = std::min(in.right, high);
    if (!(in.right >= in.left + kMinWidth)) return kIntegrationBadRange;
  } else {
    long double l = plot_.Variable(firstParameter_).re;
    long double r = plot_.Variable(secondParameter_).re;
    // A slider beyond the limits or past the other bound leaves the last
    // good bounds in place.
    if (r >= l + kMinWidth && l >= low - slack + kMinWidth && r <= high + slack - kMinWidth) {
      l = std::max(l, low);
      r = std::min(r, high);
      if (r >= l + kMinWidth) {
        in.left = l;
        in.right = r;
      }
    }
  }
  if (const int code = plot_.ReadBoundedInt(GetItemText(kIdDivisions).substr(0, 10), 1, kMaxIntegrationSteps,
                                            in.divisions))
    return code;
  return 0;
}

void TPreRiemDlg::BoundLimits(long double& low, long double& high) const {
  low = plot_.World.xmin;
  high = plot_.World.xmax;
  const int i = SelectedEquation();
  if (!plot_.IsValidIndex(i)) return;
  const TEquation& e = plot_.Equation(i);
  if (!IsCurveInParameter(e)) return;
  // The bounds of a curve in a parameter are parameter values: they lie in
  // the curve's parameter range, wherever the view is.
  low = std::min(e.lowerBound.x, e.upperBound.x);
  high = std::max(e.lowerBound.x, e.upperBound.x);
}

long double TPreRiemDlg::BoundSlack(long double low, long double high) const {
  const int i = SelectedEquation();
  if (!plot_.IsValidIndex(i) || !IsCurveInParameter(plot_.Equation(i))) return 0;
  // The dialog shows the ends of the range rounded to the window's
  // decimals ("6.28319" for 2pi), and a typed "2pi" may differ from the
  // stored end in its last digit: both are taken as the end.
  const long double shown = 0.5L * std::pow(10.0L, -static_cast<long double>(std::max<int>(plot_.Decimals, 0)));
  return std::max(shown, 1e-12L * std::max(1.0L, high - low));
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
  // A refusal or a stop with "A" leaves the last result shown.
  if (ReadInputs() != 0 || Compute() != 0) return;
  ShowResult();
  ShowBounds();
}

}  // namespace kv
