// The geometry of the 3D windows that needs no window: extents and their
// widening, the aspect rule of an equation's extent, the default axis ends,
// the picture-plane rectangle of a projected box, the way back from the
// picture plane into space, the observer's distance rules and moves, and
// the height tint of painted cells.  Everything works on the view state
// (plotcore/view3d.h) and on equation records.
#pragma once

#include <cstdint>

#include "plotcore/model/equation.h"
#include "plotcore/model/view3d.h"
#include "core/vector2d.h"
#include "core/vector3d.h"

namespace kv {

// An extent that takes in nothing yet: minimum (S, S, S), maximum
// (-S, -S, -S) with S = e^42, so the first point sets both corners.
void ResetExtent(TPoint3D& min, TPoint3D& max);
// A tenth of the size on every side (sizes taken before any change).
void WidenBox3D(TPoint3D& min, TPoint3D& max);
// max < min + 1e-13: min -= d, max += d.
void WidenThinInterval(long double& min, long double& max, long double d);
// The aspect rule of an extent: the first axis (z, then y, then x) whose
// size exceeds limit times the sum of the other two is shrunk about its
// centre to that length, and the result is false.  A family keeps its
// extent (true).
bool LimitExtentAspect(TEquation& e, long double limit);

// The smallest picture-plane rectangle that holds the eight projected
// corners of the box lo..hi (the view frame must be current).
TSegment2D ProjectedBoxRect(const TView3D& v, const TPoint3D& lo, const TPoint3D& hi);

// The point of the plane through the box centre perpendicular to V whose
// projection is (a, b).
TPoint3D ScreenToSpace(const TView3D& v, long double a, long double b);

// The observer in box coordinates: (E - M) ⊙ BoxScale.
void StoreObserverInBox(TView3D& v);

// Keeps the observer within 10000 box sizes (taxicab) of the box centre
// and outside the box's ground plan.  Both moves scale E - M, so that they
// reach their goal for every observer; an observer straight above or below
// the centre is first moved off the vertical.  Bounded in any case.
void ClampObserverDistance(TView3D& v);

// The observer moves of the view commands.  RotateObserver turns E - M (or
// E about the origin) about the vertical by the angle; TiltObserver moves
// the elevation 2.5 % towards the upper or lower pole and refuses (false)
// when the observer stands on the vertical through the centre of rotation.
void RotateObserver(TView3D& v, long double angle, bool aboutOrigin);
bool TiltObserver(TView3D& v, bool up, bool aboutOrigin);
// (8000 s, 8000 s, 8000 s), s the taxicab size of the box.
TPoint3D IsometricObserver(const TView3D& v);
// "Hinein": the observer halfway to the box centre, unless that point
// stands over the box's ground plan (then false, nothing changed).
bool MoveObserverHalfwayIn(TView3D& v);
// "Hinaus": twice as far from the centre, within the distance rules.
void MoveObserverTwiceOut(TView3D& v);
// "Weit hinaus": 1000 box sizes (taxicab) from the centre in the present
// direction; an observer at the centre itself looks along (1, 1, 1).
void MoveObserverFarOut(TView3D& v);

// Brightness of a painted cell by the height z of its first corner:
// 0.5 + 0.5 (z - zmin) / (zmax - zmin); below 0.4 it becomes 0.5, above 1
// it becomes 1.
long double HeightTint(long double z, long double zmin, long double zmax);

// The angle arc of a point's guide lines for the angle a: from 0 to a (from
// a to 0 for a negative angle), at most one full turn (an angle beyond ±2π
// becomes 2π), with round(|a / 2π| · 120) + 2 points.
struct TGuideArc {
  long double from = 0;
  long double to = 0;
  int points = 2;
};
TGuideArc GuideArc(long double angle);

// The equation's parameter grid: nU, nV intervals (divisions) and the
// number of grid points; 0 for divisions below 1.
std::size_t SurfaceGridSize(const TEquation& e);

}  // namespace kv
