#include "plot2d/distance_dialog.h"

#include <cmath>

#include "core/vector3d.h"
#include "entry/plot1_win.h"

namespace kv {

TDistDlg::TDistDlg(TPlot1Win& window)
    : T2ComboDlg(window, "DIST", {window.dimension == 3 ? kKindPoint3D : kKindPoint},
                 {window.dimension == 3 ? kKindPoint3D : kKindPoint}) {
  includeDerived = 1;
  refillWhileToolAddsPoint = 1;
}

const plat::CommandTable& TDistDlg::Commands() const {
  static const auto table = plat::CommandTable::Build<TDistDlg>(&T2ComboDlg::Commands(),
                                                                {
                                                                    {kIdDistanceButton, &TDistDlg::ShowDistance},
                                                                });
  return table;
}

// Where a point entry lies: its coordinates, converted where it was
// entered as (r;t) or as one complex number x + iy (its first text; the
// other texts keep the dialog's defaults).
bool TDistDlg::PointOf(int i, TPoint3D& point) {
  if (!window_.IsValidIndex(i)) return false;
  TEquation& e = window_.Equation(i);
  if (e.kind == kKindPoint && e.kindFlag) {
    TExprNode* z = e.trees[0].get();
    if (!z || !window_.Evaluate(z)) return false;
    point = {z->value.re, z->value.im, 0};
    return true;
  }
  if (!window_.EvaluateCurvePoint(i, point)) return false;
  if (e.kind == kKindPoint && e.polarInput) point = {point.x * std::cos(point.y), point.x * std::sin(point.y), 0};
  return true;
}

std::string TDistDlg::DistanceText() {
  TPoint3D p, q;
  if (!PointOf(SelectedEquation(), p) || !PointOf(SecondEquation(), q)) return "?";
  std::string text;
  window_.FormatWindowNumber(Distance3D(p, q), text);
  return text;
}

void TDistDlg::ShowDistance() { SetItemText(kIdDistance, DistanceText()); }

}  // namespace kv
