#include "plot2d/riemann_dialog.h"

#include <cstdint>
#include <string>

#include "entry/slider_dialog.h"
#include "platform/resources.h"
#include "plot2d/plot_a_win.h"

namespace kv {

TRiemDlg::TRiemDlg(TPlotAWin& window) : TPreRiemDlg(window, "RIEM", {kKindExplicit}) { colourWindow = 1; }

void TRiemDlg::SetupWindow() {
  TPreRiemDlg::SetupWindow();
  for (int k = 0; k < kSumCount; ++k) LimitText(kIdRuleResultFirst + k, 50);
  ShowRuleChecks();
}

void TRiemDlg::Destroy() {
  if (colourWindowShown_) plot_.HideColourWindow();
  TPreRiemDlg::Destroy();
}

const plat::CommandTable& TRiemDlg::Commands() const {
  using D = TRiemDlg;
  static const auto table = plat::CommandTable::Build<TRiemDlg>(&TPreRiemDlg::Commands(),
                                                                {
                                                                    {kIdMoreDivisions, &D::CmMoreDivisions},
                                                                    {kIdFewerDivisions, &D::CmFewerDivisions},
                                                                    {kIdAntiderivative, &D::OnAntiderivative},
                                                                    {kIdStripColour, &D::OnColour},
                                                                });
  return table;
}

// The rules' check boxes report their clicks here.
void TRiemDlg::EvControl(int id, int notification) {
  if (notification == plat::BN_CLICKED && id >= kIdRuleFirst && id <= kIdDisplay) return OnRuleCheck();
  TPreRiemDlg::EvControl(id, notification);
}

void TRiemDlg::SetMode(int mode) {
  mode_ = mode == 2 ? 2 : 1;
  resultCode_ = static_cast<std::int16_t>(kResultRiemann + mode_ - 1);
  ShowItem(kIdSecondCombo, mode_ == 2);
  ShowItem(kIdSecondLabel, mode_ == 2);
  std::string caption = plat::res::String(194);
  if (mode_ == 2) caption += " f - g";
  SetCaption(caption);
}

void TRiemDlg::ShowRuleChecks() {
  for (int k = 0; k < 7; ++k) SetCheck(kIdRuleFirst + k, plot_.overlayFlags[static_cast<std::size_t>(k)] != 0);
}

void TRiemDlg::OnRuleCheck() {
  const std::uint8_t display = plot_.overlayFlags[6];
  const std::int16_t rule = plot_.firstOverlayRule;
  int mask = 0;
  for (int k = 0; k < 7; ++k)
    if (IsChecked(kIdRuleFirst + k)) mask |= 1 << k;
  plot_.SetOverlayMask(mask);
  if (plot_.firstOverlayRule != rule || plot_.overlayFlags[6] != display) plot_.InvalidatePlot();
  ShowResult();
}

int TRiemDlg::Compute() {
  const int code = plot_.RiemannArea(SelectedEquation(), mode_ == 2 ? SecondEquation() : -1);
  // The window's sums are this dialog's once it computed them; a stop
  // leaves them as they were.
  if (code != kIntegrationStopped) stale_ = 0;
  return code;
}

void TRiemDlg::ShowResult() {
  RequestRedraw();
  if (stale_) return;
  for (int k = 0; k < kSumCount; ++k) {
    const bool ticked = plot_.overlayFlags[static_cast<std::size_t>(k)] != 0;
    SetItemText(kIdRuleResultFirst + k, ticked ? plot_.ruleTexts[static_cast<std::size_t>(k)] : std::string());
  }
}

void TRiemDlg::StoreResult() {
  TPreRiemDlg::StoreResult();
  const int g = SecondEquation();
  if (mode_ != 2 || !plot_.IsValidIndex(g)) return;
  const long double values[4] = {plot_.IntegrationLeft(), plot_.IntegrationRight(), plot_.integrationValue,
                                 static_cast<long double>(plot_.IntegrationDivisions())};
  plot_.AddResultPoint(g, resultCode_, values, 4, resultLabel_);
}

// Every choice of f or g, also the one a refill of the lists applies,
// unticks the rules and empties their results.
void TRiemDlg::SelectionChanged() {
  plot_.SetOverlayMask(0);
  ShowRuleChecks();
  // The sliders of the letters the bound fields named go, tied or not.
  for (int p : {firstParameter_, secondParameter_})
    if (TSlideDlg* d = p > 0 ? plot_.SliderDialog(p) : nullptr; d && !d->IsHidden()) d->Hide();
  ReleaseBinding();
  firstParameter_ = 0;
  secondParameter_ = 0;
  for (int k = 0; k < kSumCount; ++k) SetItemText(kIdRuleResultFirst + k, "");
  stale_ = 1;
  RequestRedraw();
}

void TRiemDlg::StepDivisions(int delta) {
  std::int32_t read = 0;
  int code = plot_.ReadBoundedInt(GetItemText(kIdDivisions).substr(0, 49), 1, kMaxIntegrationSteps, read);
  if (code == 0) {
    // Counted beyond the field's bound the count is refused, not wrapped.
    const std::int64_t n = static_cast<std::int64_t>(read) + delta;
    if (n < 1) code = 14;
    if (n > kMaxIntegrationSteps) code = kIntegrationOutOfBounds;
    SetItemText(kIdDivisions, std::to_string(n));
  }
  if (code == 0) {
    code = ReadInputs();
    if (code == 0) code = Compute();
  }
  // Stopped with "A": no result and no message.
  if (code == kIntegrationStopped) return;
  if (code <= 0) {
    ShowResult();
    StoreResult();
    plot_.SetFocus();
  } else {
    plot_.ShowMessageById(code);
  }
}

void TRiemDlg::OnAntiderivative() {
  int code = ReadInputs();
  if (code == 0) code = plot_.AddAntiderivativeGraph(SelectedEquation(), mode_ == 2 ? SecondEquation() : -1,
                                                     firstParameter_);
  if (code > 0) plot_.ShowMessageById(code);
}

void TRiemDlg::OnColour() {
  plot_.ChooseColourForSlot(kRiemannColourSlot);
  colourWindowShown_ = 1;
}

}  // namespace kv
