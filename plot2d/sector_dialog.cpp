#include "plot2d/sector_dialog.h"

#include "platform/resources.h"
#include "plot2d/plot_a_win.h"

namespace kv {

TSectorDlg::TSectorDlg(TPlotAWin& window)
    : TPreRiemDlg(window, "AREA", {kKindExplicit, kKindPolar, kKindParametric}) {
  resultLabel_ = plat::res::String(189);
  resultCode_ = kResultSectorArea;
}

void TSectorDlg::SetupWindow() {
  TPreRiemDlg::SetupWindow();
  ShowItem(kIdSecondCombo, false);
}

int TSectorDlg::Compute() { return plot_.SectorAreaOf(SelectedEquation()); }

}  // namespace kv
