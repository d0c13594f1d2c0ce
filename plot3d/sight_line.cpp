#include "plot3d/sight_line.h"

#include <algorithm>

#include "graphics/view_mapping.h"

namespace kv {

namespace {

constexpr long double kTiny = 1e-16L;

TPoint3D Along(const TPoint3D& p, const TPoint3D& d, long double t) {
  return {p.x + t * d.x, p.y + t * d.y, p.z + t * d.z};
}

bool IsVertical(const TPoint3D& d) { return std::fabs(d.x) <= kTiny && std::fabs(d.y) <= kTiny; }

// The parameter of the plane point (x, y) on the projected line p + t d,
// taken along the larger horizontal component (the other may be zero).
long double PlaneParameter(const TPoint3D& p, const TPoint3D& d, long double x, long double y) {
  return std::fabs(d.x) >= std::fabs(d.y) ? (x - p.x) / d.x : (y - p.y) / d.y;
}

}  // namespace

bool ClipSightLineToRect(const TPoint3D& eye, const TPoint3D& p, const TSegment2D& rect, bool wholeLine,
                         TPoint3D& a, TPoint3D& b) {
  const TPoint3D d{eye.x - p.x, eye.y - p.y, eye.z - p.z};
  if (IsVertical(d)) {
    // Straight above or below p: the line stands over the domain exactly
    // where p does.
    if (!PointInBox2D({p.x, p.y}, rect.xmin, rect.xmax, rect.ymin, rect.ymax)) return false;
    a = eye;
    b = p;
    return true;
  }
  TPoint2D near{eye.x, eye.y};
  TPoint2D far{p.x, p.y};
  if (!TViewMapping::ClipSegmentToRect(rect.xmin, rect.xmax, rect.ymin, rect.ymax, near, far, wholeLine))
    return false;
  a = Along(p, d, PlaneParameter(p, d, near.x, near.y));
  b = Along(p, d, PlaneParameter(p, d, far.x, far.y));
  return true;
}

bool ClipSightLineToDisc(const TPoint3D& eye, const TPoint3D& p, long double radius, TPoint3D& a, TPoint3D& b) {
  const TPoint3D d{eye.x - p.x, eye.y - p.y, eye.z - p.z};
  const long double r2 = radius * radius;
  if (IsVertical(d)) {
    if (!(p.x * p.x + p.y * p.y <= r2)) return false;
    a = eye;
    b = p;
    return true;
  }
  // |p + t d| = r in the plane, for t on the segment 0..1 (p to the eye).
  const long double dd = d.x * d.x + d.y * d.y;
  const long double pd = p.x * d.x + p.y * d.y;
  const long double c = p.x * p.x + p.y * p.y - r2;
  const long double disc = pd * pd - dd * c;
  if (!(disc >= 0)) return false;
  const long double root = std::sqrt(disc);
  const long double t1 = std::max<long double>(0, (-pd - root) / dd);
  const long double t2 = std::min<long double>(1, (-pd + root) / dd);
  if (!(t1 <= t2)) return false;
  b = Along(p, d, t1);
  a = Along(p, d, t2);
  return true;
}

bool ClipSegmentToZRange(long double zmin, long double zmax, TPoint3D& a, TPoint3D& b, TPoint3D& d) {
  if (zmin > a.z && zmin > b.z) return false;
  if (a.z > zmax && b.z > zmax) return false;
  d = {a.x - b.x, a.y - b.y, a.z - b.z};
  if (std::fabs(d.z) < kTiny) return true;
  if (b.z < zmin) b = Along(b, d, (zmin - b.z) / d.z);
  if (b.z > zmax) b = Along(b, d, (zmax - b.z) / d.z);
  if (a.z > zmax) a = Along(a, d, -(a.z - zmax) / d.z);
  if (a.z < zmin) a = Along(a, d, -(a.z - zmin) / d.z);
  d = {a.x - b.x, a.y - b.y, a.z - b.z};
  return true;
}

long double AngleOnTurn(long double x, long double y, long double base, int turn) {
  constexpr long double kTurn = 6.283185307179586476925286766559L;
  long double a = std::atan2(y, x);
  const long double target = base + kTurn * turn;
  // Whole turns at once: a far base never makes a long loop.
  if (a < target && std::isfinite(target)) a += kTurn * std::ceil((target - a) / kTurn);
  return a;
}

bool PointInQuadrilateral(const TPoint2D (&quad)[4], const TPoint2D& p) {
  long double area = 0;
  for (int k = 0; k < 4; ++k) {
    const TPoint2D& u = quad[k];
    const TPoint2D& v = quad[(k + 1) % 4];
    area += u.x * v.y - v.x * u.y;
  }
  if (!(std::fabs(area) > kTiny)) return false;
  int winding = 0;
  for (int k = 0; k < 4; ++k) {
    const TPoint2D& u = quad[k];
    const TPoint2D& v = quad[(k + 1) % 4];
    const long double side = (v.x - u.x) * (p.y - u.y) - (p.x - u.x) * (v.y - u.y);
    const bool withinX = p.x >= std::min(u.x, v.x) && p.x <= std::max(u.x, v.x);
    const bool withinY = p.y >= std::min(u.y, v.y) && p.y <= std::max(u.y, v.y);
    if (side == 0 && withinX && withinY) return true;  // on the edge
    if (u.y <= p.y) {
      if (v.y > p.y && side > 0) ++winding;
    } else if (v.y <= p.y && side < 0) {
      --winding;
    }
  }
  return winding != 0;
}

long double RayParameter(const TPoint3D& eye, const TPoint3D& d, const TPoint3D& x) {
  const long double ax = std::fabs(d.x);
  const long double ay = std::fabs(d.y);
  const long double az = std::fabs(d.z);
  if (ax >= ay && ax >= az) return ax > 0 ? (x.x - eye.x) / d.x : 0;
  if (ay >= az) return (x.y - eye.y) / d.y;
  return (x.z - eye.z) / d.z;
}

}  // namespace kv
