#include "plot3d/space_geometry.h"

#include <algorithm>
#include <cmath>

#include "core/constants.h"
#include "shell/text_helpers.h"

namespace kv {

void ResetExtent(TPoint3D& min, TPoint3D& max) {
  min = {Exp42, Exp42, Exp42};
  max = {-Exp42, -Exp42, -Exp42};
}

void WidenBox3D(TPoint3D& min, TPoint3D& max) {
  const TPoint3D s{max.x - min.x, max.y - min.y, max.z - min.z};
  max = {max.x + 0.1L * s.x, max.y + 0.1L * s.y, max.z + 0.1L * s.z};
  min = {min.x - 0.1L * s.x, min.y - 0.1L * s.y, min.z - 0.1L * s.z};
}

void WidenThinInterval(long double& min, long double& max, long double d) {
  if (max < min + 1e-13L) {
    min -= d;
    max += d;
  }
}

bool LimitExtentAspect(TEquation& e, long double limit) {
  if (e.familyOn) return true;
  TPoint3D& lo = e.boxMin();
  TPoint3D& hi = e.boxMax();
  long double* los[3] = {&lo.x, &lo.y, &lo.z};
  long double* his[3] = {&hi.x, &hi.y, &hi.z};
  const long double s[3] = {hi.x - lo.x, hi.y - lo.y, hi.z - lo.z};
  for (int k = 2; k >= 0; --k) {
    const long double others = s[(k + 1) % 3] + s[(k + 2) % 3];
    if (limit * others < s[k]) {
      const long double centre = 0.5L * (*los[k] + *his[k]);
      const long double half = 0.5L * limit * others;
      *los[k] = centre - half;
      *his[k] = centre + half;
      return false;
    }
  }
  return true;
}

TSegment2D ProjectedBoxRect(const TView3D& v, const TPoint3D& lo, const TPoint3D& hi) {
  TSegment2D r{Exp42, -Exp42, Exp42, -Exp42};
  for (const long double x : {hi.x, lo.x})
    for (const long double y : {hi.y, lo.y})
      for (const long double z : {hi.z, lo.z}) {
        const TPoint2D p = ProjectRotated(v, {x, y, z});
        r.xmin = std::min(r.xmin, p.x);
        r.xmax = std::max(r.xmax, p.x);
        r.ymin = std::min(r.ymin, p.y);
        r.ymax = std::max(r.ymax, p.y);
      }
  return r;
}

TPoint3D ScreenToSpace(const TView3D& v, long double a, long double b) {
  const TPoint3D& V = v.V;
  const long double r2 = V.x * V.x + V.y * V.y;
  const TPoint3D d{(-v.ViewRho * a * V.y - b * V.z * V.x) * v.InverseRRho,
                   (v.ViewRho * a * V.x - b * V.z * V.y) * v.InverseRRho, b * r2 * v.InverseRRho};
  return {v.BoxCentre.x + d.x, v.BoxCentre.y + d.y, v.BoxCentre.z + d.z};
}

void StoreObserverInBox(TView3D& v) {
  v.ObserverInBox = v.Observer;
  NormalizeToViewBox(v, v.ObserverInBox);
}

void ClampObserverDistance(TView3D& v) {
  // Enough halvings or doublings to cross the whole long double range.
  constexpr int kMaxSteps = 40000;
  const TPoint3D& m = v.BoxCentre;
  const long double size = TaxicabDistance3D(v.BoxMin, v.BoxMax);
  TPoint3D d{v.Observer.x - m.x, v.Observer.y - m.y, v.Observer.z - m.z};
  auto taxicab = [](const TPoint3D& p) { return std::fabs(p.x) + std::fabs(p.y) + std::fabs(p.z); };
  for (int k = 0; k < kMaxSteps && taxicab(d) > 10000 * size; ++k) d = {0.5L * d.x, 0.5L * d.y, 0.5L * d.z};
  auto overGroundPlan = [&] {
    const TPoint3D e{m.x + d.x, m.y + d.y, m.z + d.z};
    return IsInBox2D(v, e);
  };
  if (overGroundPlan()) {
    // Doubling a vertical offset never leaves the ground plan: give it a
    // horizontal part of one box width first.
    if (std::fabs(d.x) + std::fabs(d.y) < kTolerance) d.x = std::max(v.BoxMax.x - v.BoxMin.x, 1e-9L);
    for (int k = 0; k < kMaxSteps && overGroundPlan(); ++k) d = {2 * d.x, 2 * d.y, 2 * d.z};
  }
  v.Observer = {m.x + d.x, m.y + d.y, m.z + d.z};
}

void RotateObserver(TView3D& v, long double angle, bool aboutOrigin) {
  const long double s = std::sin(angle);
  const long double c = std::cos(angle);
  const TPoint3D o = aboutOrigin ? TPoint3D{} : v.BoxCentre;
  const long double x = v.Observer.x - o.x;
  const long double y = v.Observer.y - o.y;
  v.Observer.x = x * c - y * s + o.x;
  v.Observer.y = y * c + x * s + o.y;
}

bool TiltObserver(TView3D& v, bool up, bool aboutOrigin) {
  constexpr long double k = 0.025L;
  const TPoint3D o = aboutOrigin ? TPoint3D{} : v.BoxCentre;
  const TPoint3D d{v.Observer.x - o.x, v.Observer.y - o.y, v.Observer.z - o.z};
  const long double r = std::sqrt(d.x * d.x + d.y * d.y);
  if (r < kTolerance) return false;
  long double phi = std::atan(d.z / r);
  if (up) {
    phi += phi > 0 ? k * (HalfPi - phi) : k * HalfPi;
  } else {
    phi -= phi < 0 ? k * (phi + HalfPi) : k * HalfPi;
  }
  v.Observer.z = std::tan(phi) * r + o.z;
  return true;
}

TPoint3D IsometricObserver(const TView3D& v) {
  const long double s = TaxicabDistance3D(v.BoxMin, v.BoxMax);
  return {8000 * s, 8000 * s, 8000 * s};
}

bool MoveObserverHalfwayIn(TView3D& v) {
  TPoint3D h;
  Midpoint3D(h, v.Observer, v.BoxCentre);
  if (IsInBox2D(v, h)) return false;
  v.Observer = h;
  return true;
}

void MoveObserverTwiceOut(TView3D& v) {
  const TPoint3D& m = v.BoxCentre;
  v.Observer = {2 * v.Observer.x - m.x, 2 * v.Observer.y - m.y, 2 * v.Observer.z - m.z};
  ClampObserverDistance(v);
}

void MoveObserverFarOut(TView3D& v) {
  const TPoint3D& m = v.BoxCentre;
  TPoint3D d{v.Observer.x - m.x, v.Observer.y - m.y, v.Observer.z - m.z};
  const long double s = TaxicabDistance3D(v.BoxMin, v.BoxMax);
  if (!ScaleToLength3D(d, 1000 * s)) {
    d = {1, 1, 1};
    ScaleToLength3D(d, 1000 * s);
  }
  v.Observer = {m.x + d.x, m.y + d.y, m.z + d.z};
}

long double HeightTint(long double z, long double zmin, long double zmax) {
  const long double h = zmax - zmin;
  long double t = std::fabs(h) > kTolerance ? 0.5L + 0.5L * (z - zmin) / h : 1.0L;
  if (!(t >= 0.4L)) t = 0.5L;  // NaN (an undefined height) as the floor
  if (t + kTolerance > 1) t = 1;
  return t;
}

TGuideArc GuideArc(long double angle) {
  constexpr long double kTurn = 6.283185307179586L;
  if (!std::isfinite(angle) || angle > kTurn || angle < -kTurn) angle = kTurn;
  TGuideArc arc;
  arc.from = angle < 0 ? angle : 0;
  arc.to = angle < 0 ? 0 : angle;
  arc.points = RoundToInt(std::fabs(angle / kTurn) * 120) + 2;
  return arc;
}

std::size_t SurfaceGridSize(const TEquation& e) {
  if (e.divisions[0] < 1 || e.divisions[1] < 1) return 0;
  return static_cast<std::size_t>(e.divisions[0] + 1) * static_cast<std::size_t>(e.divisions[1] + 1);
}

}  // namespace kv
