// The 2D window's shading commands: the shading dialog for graphs, the
// region dialog for inequalities of implicit curves, and the dots of each
// inequality's own region.
#include "entry/tool_dialog_slot.h"
#include "plot2d/centroid_dialog.h"
#include "plot2d/plot_c_win.h"
#include "plot2d/shade_dialog.h"

namespace kv {

namespace {

// Start offsets of the lattice of the n-th inequality, so that the dots of
// overlapping regions lie side by side.
constexpr int kLatticeX[9] = {0, 2, 0, 1, 2, 0, 2, 1, 1};
constexpr int kLatticeY[9] = {0, 1, 2, 0, 2, 1, 0, 2, 1};
constexpr int kLatticeSpacing = 3;

}  // namespace

void TPlotCWin::CmShadeExplicit() { OpenToolDialog(shadeDialog_, *this); }

void TPlotCWin::CmShadeImplicit() {
  OpenToolDialog(centroidDialog_, *this);
  if (centroidDialog_) centroidDialog_->FillLists();
}

void TPlotCWin::CloseRegionDialogs(bool all) {
  if (all || FindVisibleOfKinds({kKindExplicit}) < 0) CloseToolDialog(shadeDialog_);
  if (all || FindVisibleOfKinds({kKindImplicit}) < 0) CloseToolDialog(centroidDialog_);
}

void TPlotCWin::DotInequalityRegion(plat::DC& dc, int i, int n) {
  if (!IsValidIndex(i)) return;
  const TEquation& e = Equation(i);
  if (e.kind != kKindImplicit || e.subKind == 0 || !e.visible) return;
  const plat::Colour colour = DrawingColourOf(CheckColourIndex(e.subValue));
  const int k = ((n % 9) + 9) % 9;
  const int right = AreaOriginX() + AreaWidth();
  const int bottom = AreaOriginY() + AreaHeight();
  for (int px = kLatticeX[k]; px < right; px += kLatticeSpacing) {
    if (px < AreaOriginX()) continue;
    const long double x = PixelToWorldX(px);
    for (int py = kLatticeY[k]; py < bottom; py += kLatticeSpacing) {
      if (py < AreaOriginY()) continue;
      if (PointSatisfiesInequalities(x, PixelToWorldY(py), i)) dc.SetPixel(px, py, colour);
    }
  }
}

}  // namespace kv
