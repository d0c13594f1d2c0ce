// Evaluation and mapping helpers of the plot layer: point variables, the
// evaluation of an entry's trees at a point, the mapping of world points by
// logarithmic axes or a selected mapping, and the searches for a start
// point of an implicit curve.
#include <cmath>

#include "plotcore/model/entry_evaluation.h"
#include "plotcore/model/log_scale.h"
#include "plotcore/plot_win.h"
#include "shell/text_helpers.h"

namespace kv {

void TPlotWin::SetPointVariables(const TPoint3D& p) { kv::SetPointVariables(Engine(), p, dimension == 3); }

bool TPlotWin::EvaluateReal(TExprNode* tree, long double& value) { return kv::EvaluateReal(Engine(), tree, value); }

bool TPlotWin::EvaluateMapPoint(const TPoint2D& p, TExprNode* first, TExprNode* second, TPoint2D& d) {
  SetPointVariables(p);
  return EvaluateReal(first, d.x) && EvaluateReal(second, d.y);
}

int TPlotWin::EvaluateSegmentEnds(int i, TPoint2D& p1, TPoint2D& p2) {
  if (!IsValidIndex(i)) return 1;
  auto& t = Equation(i).trees;
  TPoint2D a, b;
  if (!EvaluateReal(t[0].get(), a.x) || !EvaluateReal(t[1].get(), a.y) || !EvaluateReal(t[2].get(), b.x) ||
      !EvaluateReal(t[3].get(), b.y))
    return 1;
  p1 = a;
  p2 = b;
  return 0;
}

bool TPlotWin::EvaluateCurvePoint3(const TPoint3D& p, TExprNode* const trees[3], TPoint3D& out) {
  SetPointVariables(p);
  TPoint3D v;
  if (!EvaluateReal(trees[0], v.x) || !EvaluateReal(trees[1], v.y) || !EvaluateReal(trees[2], v.z)) return false;
  out = v;
  return true;
}

bool TPlotWin::EvaluateDerivativePair(int i, const TPoint3D& p, int firstSlot, int secondSlot, TPoint2D& out) {
  if (!IsValidIndex(i) || firstSlot < 0 || secondSlot < 0 || firstSlot >= kFormulaSlots ||
      secondSlot >= kFormulaSlots)
    return false;
  const TComplex t = Variable('T');
  const TComplex u = Variable('U');
  SetPointVariables(p);
  auto& trees = Equation(i).trees;
  TPoint2D v;
  const bool ok = EvaluateReal(trees[static_cast<std::size_t>(firstSlot)].get(), v.x) &&
                  EvaluateReal(trees[static_cast<std::size_t>(secondSlot)].get(), v.y);
  SetComplexVariable('T', t);
  SetComplexVariable('U', u);
  if (ok) out = v;
  return ok;
}

TPointMap TPlotWin::PointMap() {
  TPointMap map;
  map.space = dimension == 3;
  if (LogWindowType > 0) {
    map.logWindow = true;
    map.logAxes = AxisKind & 3;
    map.logRange = LogValueRange;
  } else if (mappedFlag && IsValidIndex(selectedMapping)) {
    map.mapping = &Equation(selectedMapping);
  }
  return map;
}

bool TPlotWin::MapWorldPoint(TPoint2D& p) { return MapPoint(Engine(), PointMap(), p); }

bool TPlotWin::MoveToMappedPoint(TPoint2D& p) { return kv::MoveToMappedPoint(Engine(), PointMap(), p); }

bool TPlotWin::ScaleVectorForLogAxes(const TPoint2D& at, TPoint2D& v) const {
  return LogWindowType <= 0 || ScaleVelocityForLogScale(AxisKind, at, v);
}

long double TPlotWin::LogAxisToValue(long double v) const { return std::pow(10.0L, v); }

void TPlotWin::ShownValuesX(long double& lo, long double& hi) const {
  if (LogWindowType > 0 && (AxisKind & 1)) {
    lo = LogValueRange.xmin;
    hi = LogValueRange.xmax;
  } else {
    lo = World.xmin;
    hi = World.xmax;
  }
}

bool TPlotWin::FindImplicitStartPoint(TExprNode* tree, const TPoint2D& corner, const TPoint2D& extents,
                                      TPoint2D& out) {
  if (!tree) return false;
  auto f = [&](const TPoint2D& p, long double& v) {
    SetPointVariables(p);
    return EvaluateReal(tree, v);
  };
  for (int attempt = 0; attempt < 15; ++attempt) {
    TPoint2D a{corner.x + RandomInRange(0, extents.x), corner.y + RandomInRange(0, extents.y)};
    TPoint2D b{corner.x + RandomInRange(0, extents.x), corner.y + RandomInRange(0, extents.y)};
    long double fa, fb;
    if (!f(a, fa) || !f(b, fb)) continue;
    if ((fa < 0) == (fb < 0)) continue;
    for (int k = 0; k < 100; ++k) {
      const TPoint2D m{(a.x + b.x) / 2, (a.y + b.y) / 2};
      long double fm;
      if (!f(m, fm)) break;
      if ((fm < 0) == (fa < 0)) {
        a = m;
        fa = fm;
      } else {
        b = m;
        fb = fm;
      }
    }
    const TPoint2D& best = std::fabs(fa) <= std::fabs(fb) ? a : b;
    const long double fbest = std::fabs(fa) <= std::fabs(fb) ? fa : fb;
    // A sign change without a zero (a pole) is no start.
    if (std::fabs(fbest) > 0.001L) continue;
    out = best;
    return true;
  }
  return false;
}

bool TPlotWin::TestPixelNeighbourhood(plat::DC& dc, const TPoint2D& p, long colour) {
  plat::Point c;
  if (!WorldToPixel(p, c)) return false;
  for (int dy = -1; dy <= 1; ++dy) {
    for (int dx = -1; dx <= 1; ++dx) {
      const plat::Colour px = dc.GetPixel(c.x + dx, c.y + dy);
      if (px == 0xFFFFFFFFu) continue;
      if (colour < 0 ? px != BackgroundColour : px == static_cast<plat::Colour>(colour)) return true;
    }
  }
  return false;
}

}  // namespace kv
