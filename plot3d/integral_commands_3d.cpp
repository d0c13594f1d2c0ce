// The openers of the 3D window's double-integral and surface-area dialogs:
// each is made on first use, kept, and shown again as it was left.
#include "plot3d/plot_r_win.h"
#include "plot3d/riemann3_dialog.h"

namespace kv {

namespace {

// Shows the dialog of the mode, making it first when there is none yet.
void OpenRiemannDialog(TPlotRWin& w, TRiem3Dlg*& d, int mode) {
  if (!d) {
    d = new TRiem3Dlg(w, "RIEM3", mode);
    if (!d->Create()) {
      delete d;
      d = nullptr;
      w.ShowMessageById(3);  // "wenig Speicher...Probleme!"
      return;
    }
  }
  d->Show(plat::SW_SHOW);
  d->BringToTop();
}

void DestroyDialog(TRiem3Dlg*& d) {
  if (!d) return;
  if (!d->IsDestroyed()) d->Destroy();
  // The platform deletes no dialog: its maker does.
  delete d;
  d = nullptr;
}

}  // namespace

void TPlotRWin::CmIntegrate() { OpenRiemannDialog(*this, IntegralDlg, kRiem3Integral); }

void TPlotRWin::CmSurfaceArea() { OpenRiemannDialog(*this, AreaDlg, kRiem3Area); }

void TPlotRWin::CloseRiemannDialogs(bool all) {
  if (all || !Present({kKindSurface})) DestroyDialog(IntegralDlg);
  if (all || !Present({kKindSurface, kKindParametricSurface})) DestroyDialog(AreaDlg);
}

}  // namespace kv
