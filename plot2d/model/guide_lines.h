// Guide lines of a point entry: from the point to the y axis, to the x axis
// and to the origin, and for a point given in polar form the arc of its
// angle.  The style code holds six base-4 digits, the lowest first; a
// digit's value is the line's look: 0 none, 1 solid, 2 dashed, 3 thick.
#pragma once

#include <array>
#include <vector>

#include "core/vector2d.h"

namespace kv {

enum GuideLook : int { kGuideNone = 0, kGuideSolid = 1, kGuideDashed = 2, kGuideThick = 3 };
// The digits of the style code that say which line is drawn.
enum GuidePiece : int {
  kGuideToYAxis = 0,   // (x, y) to (0, y)
  kGuideToXAxis = 1,   // (x, y) to (x, 0)
  kGuideToOrigin = 3,  // (x, y) to (0, 0)
  kGuideArc = 4,       // polar points: the arc of radius r from angle 0
};

// The six digits of the code (negative codes give no lines).
std::array<int, 6> GuideStyleDigits(int code);

struct TGuideLine {
  TPoint2D from;
  TPoint2D to;
  int look = kGuideNone;
};
// The straight guide lines of the point with their looks, in digit order.
std::vector<TGuideLine> GuideLines(const TPoint2D& point, int code);

}  // namespace kv
