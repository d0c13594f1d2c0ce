#include "plot2d/model/trace_marks.h"

#include <cmath>

namespace kv {

bool OsculatingCircle(const TPoint2D& point, const TPoint2D& direction, long double curvature, TPoint2D& centre,
                      long double& radius) {
  if (std::fabs(direction.x) + std::fabs(direction.y) <= 1e-16L) return false;
  if (!(std::fabs(curvature) > 1e-16L) || !std::isfinite(curvature)) return false;
  radius = 1 / std::fabs(curvature);
  // The normal to the left of the direction, turned round when the curve
  // bends to the right.
  TPoint2D normal{-direction.y, direction.x};
  if (!ScaleToLength2D(normal, radius)) return false;
  if (curvature < 0) normal = {-normal.x, -normal.y};
  centre = {point.x + normal.x, point.y + normal.y};
  return true;
}

std::vector<TPoint2D> ArcChordPoints(const TPoint2D& centre, long double radius, long double a0, long double a1,
                                     int n) {
  std::vector<TPoint2D> out;
  if (n < 1) return out;
  out.reserve(static_cast<std::size_t>(n) + 1);
  const long double step = (a1 - a0) / n;
  const long double cs = std::cos(step);
  const long double sn = std::sin(step);
  TPoint2D d{radius * std::cos(a0), radius * std::sin(a0)};
  out.push_back({centre.x + d.x, centre.y + d.y});
  for (int k = 0; k < n; ++k) {
    d = {d.x * cs - d.y * sn, d.x * sn + d.y * cs};
    out.push_back({centre.x + d.x, centre.y + d.y});
  }
  return out;
}

}  // namespace kv
