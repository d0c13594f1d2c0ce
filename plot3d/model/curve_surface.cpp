#include "plot3d/model/curve_surface.h"

#include "formula/tree_builders.h"
#include "plot3d/model/evaluate.h"
#include "plot3d/model/intersection_curve.h"

namespace kv {

TExprNode* BuildSurfaceZeroTree(const TEquation& surface, TFormulaEngine& engine) {
  switch (surface.kind) {
    case kKindImplicitSurface:
      return CloneTree(surface.trees[3].get());
    case kKindSurface: {
      if (!surface.trees[2]) return nullptr;
      TreePtr z(NewLetterNode('Z'));
      return BuildBinary(tok::Minus, z.get(), surface.trees[2].get());
    }
    case kKindPlane: {
      TPlaneForm plane;
      if (!PlaneFormOf(surface, engine, plane)) return nullptr;
      return BuildPlaneFormTree(plane);
    }
    default:
      return nullptr;
  }
}

TCrossing FindNextCrossing(TFormulaEngine& engine, TEquation& surface, TEquation& curve, int& counter) {
  TCrossing result;
  auto& k = curve.trees;
  TreePtr g(BuildSurfaceZeroTree(surface, engine));
  if (!g || !k[0] || !k[1] || !k[2]) return result;
  const int xyz[3] = {tok::X, tok::Y, tok::Z};
  const TExprNode* along[3] = {k[0].get(), k[1].get(), k[2].get()};
  TreePtr gt(CloneAndSubstituteAll(g.get(), xyz, along, 3));
  if (!gt) return result;
  const TEngineVariableGuard guard(engine);
  const long double lower = curve.lowerBound.x;
  const long double range = curve.upperBound.x - lower;
  const long double h = range * 0.0099009900990099L;
  const long double savedTolerance = engine.bisectTolerance;
  engine.bisectTolerance = range * 1e-16L;
  if (counter < 0 || counter >= kCrossingIntervals) counter = 0;
  long double t = 0;
  bool root = false;
  for (int tries = 0; tries < kCrossingIntervals && !root; ++tries) {
    // Neighbouring intervals share their ends exactly, so that a zero on a
    // boundary is the end of one interval and the start of the next.
    const long double t0 = lower + h * counter;
    const long double t1 = lower + h * (counter + 1);
    int code = engine.BisectRoot(gt.get(), 'T', t0, t1, t);
    // A zero at the start of any interval but the first was the end of the
    // interval before, found there already: only the far end is new.
    if (code == kFormulaRootAtEnd && t == t0 && counter > 0) code = engine.BisectRoot(gt.get(), 'T', t1, t1, t);
    root = code == kFormulaOk || code == kFormulaRootAtEnd;
    if (++counter >= kCrossingIntervals) counter = 0;
  }
  engine.bisectTolerance = savedTolerance;
  if (!root) return result;
  engine.SetVariable('T', t);
  TPoint3D p;
  if (!EvaluateRealPart(engine, k[0].get(), p.x) || !EvaluateRealPart(engine, k[1].get(), p.y) ||
      !EvaluateRealPart(engine, k[2].get(), p.z))
    return result;
  if (!IsPointInEquationBox(surface, p.x, p.y, p.z)) return result;
  result.found = true;
  result.t = t;
  result.point = p;
  return result;
}

}  // namespace kv
