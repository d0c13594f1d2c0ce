#include "plotcore/model/view3d.h"

#include <cmath>

namespace kv {

void ComputeViewFrame(TView3D& v) {
  const TPoint3D eye = v.Cubic ? v.ObserverInBox : v.Observer;
  const TPoint3D centre = v.Cubic ? TPoint3D{0, 0, 0} : v.BoxCentre;
  v.V = {eye.x - centre.x, eye.y - centre.y, eye.z - centre.z};
  v.ViewR2 = v.V.x * v.V.x + v.V.y * v.V.y;
  if (!(v.ViewR2 > 1e-24L)) {
    v.V.x += 1e-12L;
    v.ViewR2 = v.V.x * v.V.x + v.V.y * v.V.y;
  }
  v.ViewR = std::sqrt(v.ViewR2);
  v.ViewRho = std::sqrt(v.ViewR2 + v.V.z * v.V.z);
  v.ScaleX = v.ViewRho * v.ViewRho / v.ViewR;
  v.ScaleY = v.ViewRho / v.ViewR;
  v.InverseRRho = 1 / (v.ViewR * v.ViewRho);
  SetupViewDirection(v);
}

void SetupViewBoxScale(TView3D& v) {
  auto inv = [](long double lo, long double hi) {
    const long double d = hi - lo;
    return std::fabs(d) > kTolerance ? 1 / d : 1.0L;
  };
  v.BoxScale = {inv(v.BoxMin.x, v.BoxMax.x), inv(v.BoxMin.y, v.BoxMax.y), inv(v.BoxMin.z, v.BoxMax.z)};
}

void SetupViewDirection(TView3D& v) {
  if (v.ViewR > 0) v.HorizontalAxis = {-v.V.y / v.ViewR, v.V.x / v.ViewR, 0};
}

void NormalizeToViewBox(const TView3D& v, TPoint3D& p) {
  p.x = (p.x - v.BoxCentre.x) * v.BoxScale.x;
  p.y = (p.y - v.BoxCentre.y) * v.BoxScale.y;
  p.z = (p.z - v.BoxCentre.z) * v.BoxScale.z;
}

TPoint2D ProjectRotated(const TView3D& v, TPoint3D p) {
  TPoint3D eye = v.Observer;
  if (v.Cubic) {
    NormalizeToViewBox(v, p);
    eye = v.ObserverInBox;
  }
  const long double dx = eye.x - p.x;
  const long double dy = eye.y - p.y;
  const long double dz = eye.z - p.z;
  const long double depth = v.V.x * dx + v.V.y * dy + v.V.z * dz;
  const long double q = std::fabs(depth) >= kTolerance ? 1 / depth : 1e16L;
  const long double x = q * v.ScaleX * (dx * v.V.y - dy * v.V.x);
  const long double y = q * v.ScaleY * (v.V.x * (dx * v.V.z - dz * v.V.x) + v.V.y * (dy * v.V.z - dz * v.V.y));
  return {x, y};
}

bool InBox3D(const TView3D& v, const TPoint3D& p) {
  return p.x >= v.BoxMin.x && p.x <= v.BoxMax.x && p.y >= v.BoxMin.y && p.y <= v.BoxMax.y && p.z >= v.BoxMin.z &&
         p.z <= v.BoxMax.z;
}

bool IsInBox2D(const TView3D& v, const TPoint3D& p) {
  return p.x >= v.BoxMin.x && p.x <= v.BoxMax.x && p.y >= v.BoxMin.y && p.y <= v.BoxMax.y;
}

bool IsBeyondBoxRange(const TView3D& v, const TPoint3D& p) {
  return TaxicabDistance3D(p, v.BoxCentre) > 10000 * TaxicabDistance3D(v.BoxMin, v.BoxMax);
}

int ClipSegmentToDisc(const TPoint2D& centre, long double radius, TPoint2D& a, TPoint2D& b, bool keepInside) {
  const long double dx = b.x - a.x;
  const long double dy = b.y - a.y;
  const long double dd = dx * dx + dy * dy;
  if (!(dd > kTolerance)) return 1;
  // |a + s d - c|² = r²
  const long double fx = a.x - centre.x;
  const long double fy = a.y - centre.y;
  const long double bq = 2 * (fx * dx + fy * dy);
  const long double cq = fx * fx + fy * fy - radius * radius;
  const long double disc = bq * bq - 4 * dd * cq;
  if (!(disc >= 0)) return 2;
  const long double root = std::sqrt(disc);
  const long double s1 = (-bq - root) / (2 * dd);
  const long double s2 = (-bq + root) / (2 * dd);
  const TPoint2D p1{a.x + s1 * dx, a.y + s1 * dy};
  const TPoint2D p2{a.x + s2 * dx, a.y + s2 * dy};
  const bool aInside = cq <= 0;
  const bool bInside = (b.x - centre.x) * (b.x - centre.x) + (b.y - centre.y) * (b.y - centre.y) <= radius * radius;
  if (!(keepInside && aInside)) a = p1;
  if (!(keepInside && bInside)) b = p2;
  return 0;
}

void DefaultAxisEnds(const TPoint3D& boxMin, const TPoint3D& boxMax, TPoint3D& axisMin, TPoint3D& axisMax) {
  auto far = [](long double v) {
    const long double a = 1.3L * v;
    return a < 0.001L ? 1.0L : a;
  };
  auto near = [](long double v) {
    const long double a = 1.3L * v;
    return a > 0.001L ? -1.0L : a;
  };
  axisMax = {far(boxMax.x), far(boxMax.y), far(boxMax.z)};
  axisMin = {near(boxMin.x), near(boxMin.y), near(boxMin.z)};
}

}  // namespace kv
