#include "plotcore/model/entry_evaluation.h"

namespace kv {

bool MapPoint(TFormulaEngine& engine, const TPointMap& map, TPoint2D& p) {
  if (map.logWindow) {
    if (map.logAxes & 1) {
      if (!(p.x > 0)) return false;
      p.x = std::log10(p.x);
    }
    if (map.logAxes & 2) {
      if (!(p.y > 0)) return false;
      p.y = std::log10(p.y);
    }
    return std::isfinite(p.x) && std::isfinite(p.y);
  }
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

}  // namespace kv
