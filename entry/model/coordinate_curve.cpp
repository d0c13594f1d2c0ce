#include "entry/model/coordinate_curve.h"

#include <algorithm>
#include <cmath>

#include "plotcore/model/entry_evaluation.h"

namespace kv {

std::vector<TPoint3D> SampleCoordinateCurve(TFormulaEngine& engine, TExprNode* x, TExprNode* y, TExprNode* z,
                                            long double t0, long double t1, long n) {
  std::vector<TPoint3D> out;
  if (!x || !y || !std::isfinite(t0) || !std::isfinite(t1)) return out;
  n = std::clamp(n, 1L, kMaxCoordinateCurveSteps);
  out.reserve(static_cast<std::size_t>(n) + 1);
  const long double h = (t1 - t0) / n;
  for (long k = 0; k <= n; ++k) {
    engine.SetVariable('T', k == n ? t1 : t0 + k * h);
    TPoint3D p;
    if (!EvaluateReal(engine, x, p.x) || !EvaluateReal(engine, y, p.y)) continue;
    if (z && !EvaluateReal(engine, z, p.z)) continue;
    out.push_back(p);
  }
  return out;
}

}  // namespace kv
