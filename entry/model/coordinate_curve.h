// A curve given by coordinate formulas of T (x, y and, in space, z),
// sampled over an interval: the guide arcs of points and other short
// curves the plot windows draw as polylines.
#pragma once

#include <vector>

#include "core/vector3d.h"
#include "formula/formula_engine.h"
#include "formula/expr_node.h"

namespace kv {

// Most steps of one sampled curve.
inline constexpr long kMaxCoordinateCurveSteps = 100000;

// T from t0 to t1 in n equal steps (the last exactly t1; n within
// 1..kMaxCoordinateCurveSteps); the points where every given formula is
// defined (z is 0 without a z formula).  T keeps the last value.
std::vector<TPoint3D> SampleCoordinateCurve(TFormulaEngine& engine, TExprNode* x, TExprNode* y, TExprNode* z,
                                            long double t0, long double t1, long n);

}  // namespace kv
