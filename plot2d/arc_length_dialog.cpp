#include "plot2d/arc_length_dialog.h"

#include "platform/resources.h"
#include "plot2d/plot_a_win.h"

namespace kv {

TArcLenDlg::TArcLenDlg(TPlotAWin& window)
    : TPreRiemDlg(window, "ARCLEN", {kKindExplicit, kKindPolar, kKindParametric, kKindSpaceCurve}) {
  resultLabel_ = plat::res::String(176);
  resultCode_ = kResultArcLength;
}

void TArcLenDlg::SetupWindow() {
  TPreRiemDlg::SetupWindow();
  ShowItem(kIdSecondCombo, false);
}

int TArcLenDlg::Compute() { return plot_.ArcLengthOf(SelectedEquation()); }

}  // namespace kv
