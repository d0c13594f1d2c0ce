// The 2D window's shading commands: the shading dialog for graphs, the
// region dialog for inequalities of implicit curves, and the dots of each
// inequality's own region.
#include "entry/tool_dialog_slot.h"
#include "plot2d/centroid_dialog.h"
#include "plot2d/plot_c_win.h"
#include "plot2d/shade_dialog.h"

namespace kv {

void TPlotCWin::CmShadeExplicit() { OpenToolDialog(shadeDialog_, *this); }

void TPlotCWin::CmShadeImplicit() {
  OpenToolDialog(centroidDialog_, *this);
  if (centroidDialog_) centroidDialog_->FillLists();
}

void TPlotCWin::CloseRegionDialogs(bool all) {
  if (all || FindEquationOfKinds({kKindExplicit}) < 0) CloseToolDialog(shadeDialog_);
  if (all || FindVisibleOfKinds({kKindImplicit}) < 0) CloseToolDialog(centroidDialog_);
}

void TPlotCWin::DotInequalityRegion(plat::DC& dc, int i, int n) {
  if (!IsValidIndex(i)) return;
  const TEquation& e = Equation(i);
  if (e.kind != kKindImplicit || e.subKind == 0 || !e.visible) return;
  const int k = ((n % 9) + 9) % 9;
  DotLattice(dc, kLatticeStartX[k], kLatticeStartY[k], i, DrawingColourOf(CheckColourIndex(e.subValue)));
}

}  // namespace kv
