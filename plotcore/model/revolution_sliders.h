// The slider parameters a surface of revolution (kind 307) carries: the
// 2D window's surface tool ties the ends of the curve range and of the
// angle range to parameters, and the 3D window that shows the surface sets
// those parameters (value and slider limits) from the record.
//
// Where the record keeps them: value block 6 holds L1 = 100·a1 + b1 (the
// parameters of the curve range's upper and lower end), P and Q (the curve
// range); value block 7 holds L2 = 100·a2 + b2 (the angle range's ends), R
// and S (the angle range).  Kind 307 uses neither block otherwise; plot
// files carry both in the record image as they are (zeros in older files,
// which tie nothing).
#pragma once

#include <vector>

#include "plotcore/model/equation.h"

namespace kv {

// An end of a range: a value, or the parameter (1 = A .. 23 = W) that
// holds it (0: none).
struct TBoundValue {
  long double value = 0;
  int parameter = 0;
};

// Curve range t1..t2 and angle range a1..a2.
struct TRevolutionRange {
  TBoundValue t1, t2, a1, a2;
};

void StoreRevolutionSliders(TEquation& e, const TRevolutionRange& range);

// The parameter (1 = A ..) a bound of the surface is tied to, 0 for none:
// bound 0 and 2 are the lower and upper end of the curve range, 1 and 3
// those of the angle range (the order of the equation dialog's bound edits
// 221 to 224).  Setting one keeps the other end's parameter.
int RevolutionBoundParameter(const TEquation& e, int bound);
void SetRevolutionBoundParameter(TEquation& e, int bound, int parameter);

// One parameter to set: its variable number (1 = A ...), value and slider
// limits.
struct TSliderCopy {
  int variable;
  long double value, left, right;
};
// In the order b1, a1, b2, a2: b1 gets P within P..Q, a1 gets Q, b2 gets R
// within R..S, a2 gets S; ends without a parameter are left out.
std::vector<TSliderCopy> RevolutionSliderCopies(const TEquation& e);

}  // namespace kv
