// The geometry of the sight line from a point of space to the observer,
// without windows: its piece over a graph's domain rectangle or disc, the
// cut to the graph's z-range, the sign march that finds where it passes
// through a surface, the point-in-cell test of projected grid cells, and
// the parameters along a picking ray.  The hidden-line tests and the
// picking of the 3D window are built on these.
#pragma once

#include <cmath>

#include "core/vector2d.h"
#include "core/vector3d.h"

namespace kv {

// The piece of the sight line from p to the eye that lies over the
// rectangle (its plane projection clipped; with wholeLine the whole line
// through both points).  a is the end on the eye's side, b the end on
// p's side.  A vertical sight line lies over the rectangle exactly when p
// does; then a is the eye and b is p.  False when nothing lies over it.
bool ClipSightLineToRect(const TPoint3D& eye, const TPoint3D& p, const TSegment2D& rect, bool wholeLine,
                         TPoint3D& a, TPoint3D& b);

// The same for the disc of the given radius about the z-axis; an end that
// lies inside the disc is kept.
bool ClipSightLineToDisc(const TPoint3D& eye, const TPoint3D& p, long double radius, TPoint3D& a, TPoint3D& b);

// Cuts the segment a-b to zmin <= z <= zmax and sets d = a - b.  False when
// it lies wholly below zmin or wholly above zmax.  A horizontal segment is
// not cut.
bool ClipSegmentToZRange(long double zmin, long double zmax, TPoint3D& a, TPoint3D& b, TPoint3D& d);

// -1, 0 or +1; values within 1e-16 of zero count as 0, NaN as 0.
inline int SignOfValue(long double v) {
  if (!(std::fabs(v) >= 1e-16L)) return 0;
  return v > 0 ? 1 : -1;
}

// The sign march: the signs at b + k d / n for k = 1..n are compared with
// the sign at b; true at the first opposite sign.  A sign of 0 at b never
// changes.  `sign` takes a point and answers -1, 0 or +1.
template <class SignAt>
bool SignChangesAlong(const TPoint3D& b, const TPoint3D& d, int n, SignAt&& sign) {
  if (n < 1) n = 1;
  const int s0 = sign(b);
  if (s0 == 0) return false;
  const long double f = 1.0L / n;
  const TPoint3D step{d.x * f, d.y * f, d.z * f};
  TPoint3D q = b;
  for (int k = 1; k <= n; ++k) {
    q = {q.x + step.x, q.y + step.y, q.z + step.z};
    if (sign(q) * s0 < 0) return true;
  }
  return false;
}

// The angle of (x, y) raised by whole turns to at least base + 2π turn
// (the angle variable of a cylindrical surface on its turn-th sheet).
long double AngleOnTurn(long double x, long double y, long double base, int turn);

// Whether p lies inside the quadrilateral (non-zero winding; points on an
// edge count as inside).  A quadrilateral without area holds nothing.
bool PointInQuadrilateral(const TPoint2D (&quad)[4], const TPoint2D& p);

// The parameter T of the point x on the ray eye + T d, measured along the
// largest component of d so that no component of zero divides; 0 when d
// has no length.
long double RayParameter(const TPoint3D& eye, const TPoint3D& d, const TPoint3D& x);

}  // namespace kv
