// The geometry of the marks the trace dialogs leave on a 2D plot: the
// osculating circle at a traced point and the chords that draw an arc.
#pragma once

#include <vector>

#include "core/vector2d.h"

namespace kv {

// The circle that touches the curve at `point` with tangent `direction` and
// the signed curvature (positive: the curve bends to the left of the
// direction).  False when the direction has no length (sum of the absolute
// components at most 1e-16) or |curvature| is at most 1e-16: a straight
// stretch has no circle.
bool OsculatingCircle(const TPoint2D& point, const TPoint2D& direction, long double curvature, TPoint2D& centre,
                      long double& radius);

// The n + 1 points of an arc of the circle from angle a0 to a1 in n equal
// steps; each offset is the previous one turned by the step, whose cosine
// and sine are computed once.
std::vector<TPoint2D> ArcChordPoints(const TPoint2D& centre, long double radius, long double a0, long double a1,
                                     int n);

}  // namespace kv
