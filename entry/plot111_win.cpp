#include "entry/plot111_win.h"

#include <algorithm>
#include <cmath>

#include "entry/slider_dialog.h"
#include "entry/trace_dialog.h"
#include "entry/trace_traj_dialog.h"
#include "shell/generic_dialogs.h"

namespace kv {

TPlot111Win::TPlot111Win(plat::Window* parent, const std::string& title) : TPlot11Win(parent, title) {
  smallSteps.fill(100);
  mediumSteps.fill(10);
}

TPlot111Win::~TPlot111Win() = default;

const plat::CommandTable& TPlot111Win::Commands() const {
  static const auto table = plat::CommandTable::Build<TPlot111Win>(
      &TPlot11Win::Commands(), {
                                   {kCmSliderSteps, &TPlot111Win::CmSliderSteps},
                                   {kCmCurveTrace, &TPlot111Win::CmCurveTrace, &TPlot111Win::CeCurveTrace},
                               });
  return table;
}

void TPlot111Win::Destroy() {
  if (IsDestroyed()) return;
  CloseCurveTraceDialog();
  CloseGraphTraceDialog();
  TPlot11Win::Destroy();
}

void TPlot111Win::CloseGraphTraceDialog() {
  if (graphTraceDialog_ && !graphTraceDialog_->IsDestroyed()) graphTraceDialog_->Destroy();
  graphTraceDialog_.reset();
}

void TPlot111Win::CloseCurveTraceDialog() {
  if (curveTraceDialog_ && !curveTraceDialog_->IsDestroyed()) curveTraceDialog_->Destroy();
  curveTraceDialog_.reset();
}

void TPlot111Win::CloseStaleDialogs(bool all) {
  TPlot11Win::CloseStaleDialogs(all);
  if (all || FindEquationOfKinds({100 * dimension + 10}) < 0) CloseCurveTraceDialog();
}

void TPlot111Win::RefreshTraceDialogs() {
  if (TTraceTrajDlg* d = ShownCurveTraceDialog()) d->Retrace();
  if (TTraceDlg* d = ShownGraphTraceDialog()) d->Retrace();
}

TTraceDlg* TPlot111Win::GraphTraceDialog() const {
  return graphTraceDialog_ && !graphTraceDialog_->IsDestroyed() ? graphTraceDialog_.get() : nullptr;
}

TTraceTrajDlg* TPlot111Win::CurveTraceDialog() const {
  return curveTraceDialog_ && !curveTraceDialog_->IsDestroyed() ? curveTraceDialog_.get() : nullptr;
}

TTraceDlg* TPlot111Win::ShownGraphTraceDialog() const {
  TTraceDlg* d = GraphTraceDialog();
  return d && !d->IsHidden() && d->IsVisible() ? d : nullptr;
}

TTraceTrajDlg* TPlot111Win::ShownCurveTraceDialog() const {
  TTraceTrajDlg* d = CurveTraceDialog();
  return d && !d->IsHidden() && d->IsVisible() ? d : nullptr;
}

TTraceDlg* TPlot111Win::ShowGraphTraceDialog(const std::string& templateName, std::initializer_list<int> kinds) {
  if (!GraphTraceDialog()) {
    graphTraceDialog_ = std::make_unique<TTraceDlg>(*this, templateName, kinds);
    if (!graphTraceDialog_->Create()) {
      graphTraceDialog_.reset();
      return nullptr;
    }
  }
  graphTraceDialog_->Reveal();
  graphTraceDialog_->BringToTop();
  UpdateMenuChecks(true);
  BufferValid[0] = 0;
  Invalidate(false);
  return graphTraceDialog_.get();
}

TTraceTrajDlg* TPlot111Win::ShowCurveTraceDialog() {
  if (!CurveTraceDialog()) {
    curveTraceDialog_ = std::make_unique<TTraceTrajDlg>(*this);
    if (!curveTraceDialog_->Create()) {
      curveTraceDialog_.reset();
      return nullptr;
    }
  }
  curveTraceDialog_->Reveal();
  curveTraceDialog_->BringToTop();
  UpdateMenuChecks(true);
  BufferValid[0] = 0;
  Invalidate(false);
  return curveTraceDialog_.get();
}

void TPlot111Win::SyncSliderDialogs() {
  for (int k = 0; k < kSliderDialogCount; ++k) {
    TSlideDlg* d = SliderDialog(k);
    if (!d || d->IsHidden() || !d->IsVisible() || d->IsWholeNumber()) continue;
    // Each dialog has its own entry; the all-parameters dialog's is 24.
    const auto entry = static_cast<std::size_t>(k);
    smallSteps[entry] = smallSteps[0];
    mediumSteps[entry] = mediumSteps[0];
    d->ReinitSlider();
  }
  // The trace dialogs follow the parameters' settings.
  if (TTraceDlg* d = ShownGraphTraceDialog()) {
    smallSteps[kGraphTraceSteps] = smallSteps[0];
    mediumSteps[kGraphTraceSteps] = mediumSteps[0];
    d->UpdateScrollFromEdit();
  }
  if (TTraceTrajDlg* d = ShownCurveTraceDialog()) {
    smallSteps[kCurveTraceSteps] = smallSteps[0];
    mediumSteps[kCurveTraceSteps] = mediumSteps[0];
    d->UpdateScrollFromEdit();
  }
}

void TPlot111Win::ReinitSliderDialogs() {
  for (int k = 0; k < kSliderDialogCount; ++k)
    if (TSlideDlg* d = SliderDialog(k)) d->ReinitSlider();
}

int TPlot111Win::SliderStepCount(int index) const {
  if (index < 0 || index >= kSliderStepEntries) return 100;
  return std::max(smallSteps[static_cast<std::size_t>(index)], 1);
}

int TPlot111Win::SliderPageCount(int index) const {
  if (index < 0 || index >= kSliderStepEntries) return 10;
  return std::max(mediumSteps[static_cast<std::size_t>(index)], 1);
}

void TPlot111Win::CeCurveTrace(plat::CommandEnabler& ce) {
  const int kind = 100 * dimension + 10;
  bool any = false;
  for (int i = 0; i <= equationCount && !any; ++i)
    if (Equation(i).kind == kind && !Equation(i).items.empty()) any = true;
  ce.Enable(any);
}

int TPlot111Win::SetSliderSteps(long double small, long double medium) {
  if (!(small >= 2) || small > 2147483647.0L || !(medium >= 1) || small < 2 * medium) return 17;
  smallSteps[0] = static_cast<std::int32_t>(std::lround(small));
  const long m = std::lround(medium);
  mediumSteps[0] = static_cast<std::int32_t>(smallSteps[0] / m);
  SyncSliderDialogs();
  Modified = 1;
  return 0;
}

void TPlot111Win::CmSliderSteps() {
  if (!CheckPassword(2)) return;
  // The field shows how many medium steps the slider has, which is what OK
  // reads back, so an unchanged OK keeps the settings.
  const std::int32_t medium = mediumSteps[0] > 0 ? mediumSteps[0] : 1;
  std::string small = std::to_string(smallSteps[0]);
  std::string count = std::to_string(smallSteps[0] / medium);
  TGenDlg dialog(this, "CALIB", 30, &small, &count);
  if (dialog.Execute() != plat::IDOK) return;
  long double s = 0;
  long double m = 0;
  if (TextToNumber(small, s) != 0 || TextToNumber(count, m) != 0) {
    ShowMessageById(17);
    return;
  }
  const int code = SetSliderSteps(s, m);
  if (code != 0) ShowMessageById(code);
}

}  // namespace kv
