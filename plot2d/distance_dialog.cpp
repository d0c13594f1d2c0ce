#include "plot2d/distance_dialog.h"

#include <cmath>
#include <utility>

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

std::string TDistDlg::DistanceText() {
  TPoint3D p, q;
  const int i = SelectedEquation();
  const int j = SecondEquation();
  if (!window_.IsValidIndex(i) || !window_.IsValidIndex(j) || !window_.EvaluateCurvePoint(i, p) ||
      !window_.EvaluateCurvePoint(j, q))
    return "?";
  // A point entered as (r;t) evaluates to its polar coordinates.
  for (auto [k, point] : {std::pair{i, &p}, std::pair{j, &q}}) {
    const TEquation& e = window_.Equation(k);
    if (e.kind == kKindPoint && e.polarInput) *point = {point->x * std::cos(point->y), point->x * std::sin(point->y), 0};
  }
  std::string text;
  window_.FormatWindowNumber(Distance3D(p, q), text);
  return text;
}

void TDistDlg::ShowDistance() { SetItemText(kIdDistance, DistanceText()); }

}  // namespace kv
