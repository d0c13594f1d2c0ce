// The integration dialogs of the 2D window: created on first use, shown and
// hidden by their commands, closed when their kinds leave the inventory,
// destroyed with the window; the Riemann strips drawn for the open dialog;
// the dialog's state in the plot file.
#include "plot2d/arc_length_dialog.h"
#include "plot2d/curve_tool_dialogs.h"
#include "plot2d/distance_dialog.h"
#include "plot2d/plot_a_win.h"
#include "plot2d/riemann_dialog.h"

namespace kv {

namespace {

// Creates the dialog once, then reveals it and brings it to the top; false
// when it cannot be created.
template <class D, class... Args>
bool OpenDialog(std::unique_ptr<D>& d, Args&&... args) {
  if (!d) {
    d = std::make_unique<D>(std::forward<Args>(args)...);
    if (!d->Create()) {
      d.reset();
      return false;
    }
  }
  d->Reveal();
  d->BringToTop();
  return true;
}

template <class D>
void DestroyDialog(std::unique_ptr<D>& d) {
  if (d && !d->IsDestroyed()) d->Destroy();
  d.reset();
}

}  // namespace

TPlotBWin::TPlotBWin(plat::Window* parent, const std::string& title) : TPlotAWin(parent, title) {}

TPlotBWin::~TPlotBWin() = default;

void TPlotBWin::Destroy() {
  if (IsDestroyed()) return;
  DestroyDialog(riemannDialog_);
  DestroyDialog(arcLengthDialog_);
  DestroyDialog(distanceDialog_);
  TPlotAWin::Destroy();
}

void TPlotBWin::CloseStaleDialogs(bool all) {
  TPlotAWin::CloseStaleDialogs(all);
  if (all || FindEquationOfKinds({kKindExplicit}) < 0) {
    if (riemannDialog_) SetOverlayMask(0);
    DestroyDialog(riemannDialog_);
  }
  if (all || FindVisibleOfKinds({kKindExplicit, kKindPolar, kKindParametric, kKindSpaceCurve}) < 0)
    DestroyDialog(arcLengthDialog_);
  // The distance dialog stays until a new drawing or the window's end.
  if (all) DestroyDialog(distanceDialog_);
}

void TPlotBWin::OpenIntegrationDialog(int mode, bool show) {
  if (!riemannDialog_) {
    riemannDialog_ = std::make_unique<TRiemDlg>(*this);
    if (!riemannDialog_->Create()) {
      riemannDialog_.reset();
      return;
    }
  }
  riemannDialog_->SetMode(mode);
  if (show) {
    riemannDialog_->Reveal();
    riemannDialog_->BringToTop();
  } else {
    riemannDialog_->Hide();
  }
}

void TPlotBWin::OpenArcLengthDialog() {
  std::unique_ptr<TArcLenDlg> fresh;
  if (!arcLengthDialog_) {
    if (!OpenDialog(fresh, *this)) return;
    arcLengthDialog_ = std::move(fresh);
    return;
  }
  arcLengthDialog_->Reveal();
  arcLengthDialog_->BringToTop();
}

void TPlotBWin::OpenDistanceDialog() {
  if (OpenDialog(distanceDialog_, static_cast<TPlot1Win&>(*this))) distanceDialog_->ShowDistance();
}

int TPlotBWin::DrawIntegrationOverlays(plat::DC& dc) {
  if (!riemannDialog_ || riemannDialog_->IsDestroyed() || !overlayFlags[6]) return 0;
  const TRiemDlg& d = *riemannDialog_;
  TIntegrationInputs in;
  if (d.CheckInputs(in) != 0) return 0;
  return DrawRiemannOverlay(dc, d.SelectedEquation(), d.Mode() == 2 ? d.SecondEquation() : -1, in.left, in.right,
                            in.divisions);
}

void TPlotBWin::RefreshIntegrationDialogs() {
  TCurveToolDialogs& tools = ToolDialogs();
  for (TPreRiemDlg* d : {static_cast<TPreRiemDlg*>(riemannDialog_.get()), arcLengthDialog_.get(),
                         static_cast<TPreRiemDlg*>(tools.revolve.get()), static_cast<TPreRiemDlg*>(tools.sector.get()),
                         static_cast<TPreRiemDlg*>(tools.volumeBetween.get())})
    if (d && !d->IsDestroyed() && d->IsBound()) d->FollowParameters();
  // The open integration dialog shows the sums of the graphs as they are
  // now, over the bounds its fields hold (the shared ones may be another
  // dialog's).
  if (riemannDialog_ && !riemannDialog_->IsDestroyed() && !riemannDialog_->IsHidden() &&
      riemannDialog_->ReadInputs() == 0 && riemannDialog_->Compute() == 0)
    riemannDialog_->ShowResult();
  if (distanceDialog_ && !distanceDialog_->IsDestroyed() && !distanceDialog_->IsHidden())
    distanceDialog_->ShowDistance();
}

void TPlotBWin::GetIntegrationDialogState(std::int16_t words[3]) {
  words[0] = words[1] = -1;
  words[2] = 0;
  if (!riemannDialog_ || riemannDialog_->IsDestroyed()) return;
  const TRiemDlg& d = *riemannDialog_;
  words[0] = static_cast<std::int16_t>(d.SelectedEquation());
  words[1] = static_cast<std::int16_t>(d.Mode() == 2 ? d.SecondEquation() : -1);
  words[2] = static_cast<std::int16_t>(d.Mode() + (d.IsHidden() ? 0 : 4));
}

void TPlotBWin::RestoreIntegrationDialog(std::int16_t first, std::int16_t second, std::int16_t mode) {
  if (mode <= 0) return;
  // The overlay flags were read with the file; choosing the functions
  // would clear them.
  const int mask = GetOverlayMask();
  OpenIntegrationDialog(mode % 4 == 2 ? 2 : 1, mode > 3);
  TRiemDlg* d = riemannDialog_.get();
  if (!d) return;
  const int row = d->IndexOfFirst(first);
  if (row >= 0) {
    d->ListSetSel(kIdFirstCombo, row);
    d->OnSelChange();
  }
  if (d->Mode() == 2) {
    const int row2 = d->IndexOfSecond(second);
    if (row2 >= 0) {
      d->ListSetSel(kIdSecondCombo, row2);
      d->OnSelChange2();
    }
  }
  SetOverlayMask(mask);
  d->ShowRuleChecks();
}

}  // namespace kv
