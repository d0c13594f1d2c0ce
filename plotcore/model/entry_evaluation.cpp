#include "plotcore/model/entry_evaluation.h"

#include "plotcore/model/log_scale.h"

namespace kv {

bool MapPoint(TFormulaEngine& engine, const TPointMap& map, TPoint2D& p) {
  if (map.logWindow) return LogPointImage(p, map.logAxes, map.logRange, p);
  if (!map.mapping) return true;
  TEquation& m = *map.mapping;
  if (m.kind == kKindPlaneMap) {
    SetPointVariables(engine, TPoint3D{p.x, p.y, 0}, map.space);
    TPoint2D d;
    if (!EvaluateReal(engine, m.trees[0].get(), d.x) || !EvaluateReal(engine, m.trees[1].get(), d.y)) return false;
    p = d;
    return true;
  }
  if (m.kind == kKindComplexMap) {
    engine.SetComplexVariable('Z', TComplex(p.x, p.y));
    if (!m.trees[0] || !engine.Evaluate(m.trees[0].get())) return false;
    const TComplex f = m.trees[0]->value;
    if (!std::isfinite(f.re) || !std::isfinite(f.im)) return false;
    p = {f.re, f.im};
    return true;
  }
  return true;
}

bool MoveToMappedPoint(TFormulaEngine& engine, TPointMap map, TPoint2D& p) {
  if (map.logWindow) {
    map.logRange = TSegment2D{0, HUGE_VALL, 0, HUGE_VALL};
  } else if (!std::isfinite(p.x) || !std::isfinite(p.y)) {
    return false;
  }
  return MapPoint(engine, map, p);
}

}  // namespace kv
