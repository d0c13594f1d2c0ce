// The 3D window's initial-value dialogs ("DGL Kurve" for dx/dt, dy/dt,
// dz/dt and "Folgen" for sequences in space): opening them, hiding and
// destroying them with the window, and what the trajectory mouse mode asks
// of the open one.
#include <memory>
#include <type_traits>

#include "entry/trajectory_dialogs.h"
#include "plot3d/plot_r_win.h"

namespace kv {

void TPlotRWin::OpenTrajectoryDialog(bool sequences) {
  TIvpDlg* d = nullptr;
  bool created = false;
  auto make = [&](auto& owned, std::int16_t* index, int kind) {
    using D = typename std::remove_reference_t<decltype(owned)>::element_type;
    if (!owned) {
      owned = std::make_unique<D>(*this, index, kind);
      if (!owned->Create()) {
        owned.reset();
        return;
      }
      created = true;
    }
    d = owned.get();
  };
  if (sequences) {
    make(ivp12_, &firstSequenceEquation, kKindSequence3D);
  } else {
    make(ivp10_, &firstOdeEquation, kKindOde3D);
  }
  if (!d) return;
  TIvpDlg* other = sequences ? static_cast<TIvpDlg*>(ivp10_.get()) : static_cast<TIvpDlg*>(ivp12_.get());
  if (other && !other->IsHidden()) other->Hide();
  const bool wasHidden = d->IsHidden();
  d->Reveal();
  // A dialog shown again reads the inventory and its entry's solutions anew.
  if (!created && wasHidden) d->RefillList();
  d->BringToTop();
  // Only the trajectory dialog takes starts from the mouse.
  if (!sequences) MouseMode = kCmMouseTrajectories;
  UpdateMenuChecks(true);
}

int TPlotRWin::ActiveTrajectoryEquation() const {
  if (!ivp10_ || ivp10_->IsHidden()) return -1;
  const int i = ivp10_->SelectedEquation();
  return IsValidIndex(i) && Equation(i).kind == kKindOde3D ? i : -1;
}

void TPlotRWin::ReadTrajectoryDensity() {
  if (ivp10_) ivp10_->ReadDensity();
}

int TPlotRWin::TrajectoryDelay() const { return ivp10_ ? ivp10_->ReadDelay() : 0; }

int TPlotRWin::TrajectoryDirection() const { return ivp10_ ? ivp10_->GetDirection() : 1; }

void TPlotRWin::TrajectoryStartsChanged() {
  if (ivp10_ && !ivp10_->IsHidden()) ivp10_->RefillItems();
}

void TPlotRWin::HideStaleTrajectoryDialogs(bool all) {
  if (ivp10_ && !ivp10_->IsHidden() && (all || !Present({kKindOde3D}))) ivp10_->Hide();
  if (ivp12_ && !ivp12_->IsHidden() && (all || !Present({kKindSequence3D}))) ivp12_->Hide();
}

void TPlotRWin::DestroyTrajectoryDialogs() {
  auto destroy = [](auto& d) {
    if (d && !d->IsDestroyed()) d->Destroy();
    d.reset();
  };
  destroy(ivp10_);
  destroy(ivp12_);
}

}  // namespace kv
