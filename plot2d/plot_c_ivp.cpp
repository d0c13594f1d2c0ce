// The 2D layer's initial-value dialogs (dy/dt, dy/dx, sequences): opening
// them from the menu or from a plot file's list of open dialogs, which of
// them is active, and the click of the trajectory mouse mode that starts a
// solution at the pointer.
#include <array>
#include <memory>
#include <type_traits>

#include "plot2d/ivp_dialogs.h"
#include "plot2d/plot_c_win.h"

namespace kv {

namespace {

// Bits of the open-windows mask of the plot file: the dy/dt, dy/dx and
// sequence dialogs.
constexpr std::int32_t kOpenIvpFirstBit = 16;
constexpr std::int32_t kOpenIvpDialogs = 0x0070;

}  // namespace

void TPlotCWin::OpenAutonomousTrajectoryDialog() { OpenIvpDialog(0); }
void TPlotCWin::OpenSlopeTrajectoryDialog() { OpenIvpDialog(1); }
void TPlotCWin::OpenSequenceDialog() { OpenIvpDialog(2); }

void TPlotCWin::OpenIvpDialog(int which) {
  TIvpDlg* d = nullptr;
  bool created = false;
  auto make = [&](auto& owned, std::int16_t* index) {
    using D = typename std::remove_reference_t<decltype(owned)>::element_type;
    if (!owned) {
      owned = std::make_unique<D>(*this, index);
      if (!owned->Create()) {
        owned.reset();
        return;
      }
      created = true;
    }
    d = owned.get();
  };
  if (which == 0) make(ivp10_, &firstOdeEquation);
  if (which == 1) make(ivp11_, &firstSlopeEquation);
  if (which == 2) make(ivp12_, &firstSequenceEquation);
  if (!d) return;
  for (TIvpDlg* other : std::array<TIvpDlg*, 3>{ivp10_.get(), ivp11_.get(), ivp12_.get()})
    if (other && other != d && !other->IsHidden()) other->Hide();
  const bool wasHidden = d->IsHidden();
  d->Reveal();
  // The dy/dt dialog shown again takes the start point its fields hold.
  if (which == 0 && !created && wasHidden) d->TakeStartPoint();
  d->BringToTop();
  MouseMode = kCmMouseTrajectories;
  UpdateMenuChecks(true);
  drawn = 0;
  Invalidate(false);
}

int TPlotCWin::ActiveIvpEquation() {
  const std::array<std::pair<TIvpDlg*, int>, 3> dialogs = {
      {{ivp10_.get(), kKindOde}, {ivp11_.get(), kKindOdeDyDx}, {ivp12_.get(), kKindSequence}}};
  for (const auto& [d, kind] : dialogs) {
    if (!d || d->IsHidden()) continue;
    const int i = d->SelectedEquation();
    if (IsValidIndex(i) && Equation(i).kind == kind) return i;
  }
  return -1;
}

std::int32_t TPlotCWin::GetOpenWindowsMask() {
  std::int32_t mask = TPlotBWin::GetOpenWindowsMask() & ~kOpenIvpDialogs;
  const std::array<TIvpDlg*, 3> dialogs = {ivp10_.get(), ivp11_.get(), ivp12_.get()};
  for (std::size_t k = 0; k < dialogs.size(); ++k)
    if (dialogs[k] && !dialogs[k]->IsHidden()) mask |= kOpenIvpFirstBit << k;
  return mask;
}

void TPlotCWin::CloseStaleIvpDialogs(bool all) {
  auto close = [](auto& d, bool stale) {
    if (!d || !stale) return;
    if (!d->IsDestroyed()) d->Destroy();
    d.reset();
  };
  // The dy/dx dialog goes with the last dy/dx equation, the dy/dt and the
  // sequence dialogs with the last one shown.
  close(ivp10_, all || FindVisibleOfKinds({kKindOde}) < 0);
  close(ivp11_, all || FindEquationOfKinds({kKindOdeDyDx}) < 0);
  close(ivp12_, all || FindVisibleOfKinds({kKindSequence}) < 0);
}

void TPlotCWin::RefreshIvpDialogs() {
  if (ivp10_ && !ivp10_->IsHidden()) ivp10_->TakeStartPoint();
}

void TPlotCWin::DestroyIvpDialogs() { CloseStaleIvpDialogs(true); }

// ---- the trajectory mouse mode ----

int TPlotCWin::TrajectoryClick(plat::Point p, bool left) {
  const int i = ActiveIvpEquation();
  if (i < 0) return 9;
  TPoint2D at;
  PixelToWorld(p, at);
  trajectoryButton = left ? 1 : 0;
  // The left button follows the solution on the screen at the dialog's
  // delay; the right button draws it at once.
  int result = 0;
  const int kind = Equation(i).kind;
  if (kind == kKindOde && ivp10_) {
    long double t0 = 0;
    long double steps = -1;
    result = ivp10_->ReadRunSettings(t0, steps);
    if (result == 0) {
      if (left && ivp10_->ReadDensity() == 0) followFlag = 1;
      ivp10_->DrawFrom({at.x, at.y, 0}, t0, steps);
      followFlag = 0;
    }
  } else if (kind == kKindOdeDyDx && ivp11_) {
    // The dy/dx solution starts at the values the point shows.
    if (LogWindowType > 0) {
      if (AxisKind & 1) at.x = LogAxisToValue(at.x);
      if (AxisKind & 2) at.y = LogAxisToValue(at.y);
    }
    const bool follow = left && ivp11_->ReadDensity() == 0;
    result = ivp11_->DrawFrom(at, follow);
    if (result == 'A') result = 0;
  } else if (kind == kKindSequence && ivp12_) {
    const long count = ivp12_->ReadCount();
    if (count >= 0) {
      if (left && ivp12_->ReadDensity() == 0) followFlag = 1;
      ivp12_->DrawFrom({at.x, at.y, 0}, count);
      followFlag = 0;
    }
  }
  trajectoryButton = 0;
  return result;
}

}  // namespace kv
