// The points where a space curve (304) meets a surface (301, 305, 315),
// found one at a time along the curve's parameter: the parameter range is
// cut into 101 intervals, and each search resumes after the interval tried
// last, so repeated searches walk through the crossings in increasing t and
// wrap round at the end.
#pragma once

#include "formula/formula_engine.h"
#include "plotcore/model/equation.h"

namespace kv {

inline constexpr int kCrossingIntervals = 101;

// A tree that is zero on the surface: F of an implicit surface, Z - f of an
// explicit one, the plane's form N·(P - P0) (from its grid); null for
// another kind or a surface without its tree.
TExprNode* BuildSurfaceZeroTree(const TEquation& surface, TFormulaEngine& engine);

struct TCrossing {
  bool found = false;
  long double t = 0;
  TPoint3D point;
};

// The next crossing from interval `counter` on: up to 101 intervals
// [lower + h k, lower + h (k + 1)], h = (upper - lower) / 101, each
// bisected for a zero of the surface's tree along the curve; the counter
// moves on by one per interval tried (101 wraps to 0).  A zero at an end
// of an interval counts; one on the boundary of two intervals belongs to
// the first of them, so that each crossing is found once per round.  A zero
// whose point lies outside the surface's box counts as none.  The variables
// are restored.
TCrossing FindNextCrossing(TFormulaEngine& engine, TEquation& surface, TEquation& curve, int& counter);

}  // namespace kv
