#include "graphics/geometry.h"

#include <cmath>

#include "core/constants.h"

namespace kv {

long double ArcTan2(long double x, long double y) {
  if (std::fabs(x) >= kTolerance) {
    long double a = std::atan(y / x);
    if (x < 0) a += (y >= 0) ? Pi : -Pi;
    return a;
  }
  return y >= 0 ? Pi / 2 : -Pi / 2;
}

bool ArrowHeadPoints(const TPoint2D& v, long double len, long double aspect, long double widthRatio, TPoint2D& c1,
                     TPoint2D& c2) {
  long double m;
  long double l;
  if (std::fabs(aspect - 1) >= 1e-13L) {
    m = v.x * aspect * aspect;
    const double vy = static_cast<double>(v.y / aspect);
    const double vx = static_cast<double>(v.x);
    l = std::sqrt(vy * vy + vx * vx);
  } else {
    m = v.x;
    const long double sq = v.x * v.x + v.y * v.y;
    l = sq < kTolerance ? 0 : std::sqrt(sq);
  }
  if (!(l >= 1e-13L)) return false;
  const long double s = len / l;
  const long double w = (len * widthRatio * 0.5L) / (l * aspect);
  const TPoint2D n{-v.y * w, m * w};
  const TPoint2D b{-v.x * s, -v.y * s};
  c1 = {b.x + n.x, b.y + n.y};
  c2 = {b.x - n.x, b.y - n.y};
  return true;
}

bool AngleRangeOfRect(long double xmin, long double xmax, long double ymin, long double ymax, long double cx,
                      long double cy, long double& start, long double& end) {
  start = 0;
  end = 2 * Pi;
  if (cx >= xmin && cx <= xmax && cy >= ymin && cy <= ymax) return true;
  auto angle = [&](long double x, long double y) { return ArcTan2(x - cx, y - cy); };
  const long double tl = angle(xmin, ymax);
  const long double tr = angle(xmax, ymax);
  const long double bl = angle(xmin, ymin);
  const long double br = angle(xmax, ymin);
  const bool above = cy > ymax;
  const bool below = cy < ymin;
  if (cx < xmin) {
    if (above) {
      start = bl, end = tr;
    } else if (below) {
      start = br, end = tl;
    } else {
      start = bl, end = tl;
    }
  } else if (cx > xmax) {
    if (above) {
      start = tl, end = br;
    } else if (below) {
      start = tr, end = bl;
    } else {
      start = tr, end = br + 2 * Pi;
    }
  } else if (below) {
    start = br, end = bl;
  } else {
    start = tl, end = tr;
  }
  return false;
}

bool DistanceRangeOfRect(long double xmin, long double xmax, long double ymin, long double ymax, long double cx,
                         long double cy, long double centreX, long double centreY, long double& nearest,
                         long double& farthest) {
  long double dx = 0;
  if (cx < xmin) {
    dx = xmin - cx;
  } else if (cx > xmax) {
    dx = cx - xmax;
  }
  long double dy = 0;
  if (cy < ymin) {
    dy = ymin - cy;
  } else if (cy > ymax) {
    dy = cy - ymax;
  }
  nearest = std::sqrt(dx * dx + dy * dy);
  const long double fx = (cx < centreX ? xmax : xmin) - cx;
  const long double fy = (cy < centreY ? ymax : ymin) - cy;
  farthest = std::sqrt(fx * fx + fy * fy);
  return nearest < kTolerance;
}

int WholePixels(long double v) {
  const long double a = std::fabs(v) + 1e-9L;
  if (!(a < 2147483647.0L)) return a == a ? 2147483647 : 0;
  return static_cast<int>(a);
}

plat::Rect PlaceTextBox(int ax, int ay, plat::Size extent, int hFactor, int vFactor) {
  plat::Rect r;
  r.left = ax + ((hFactor - 1) * extent.cx) / 2;
  r.top = ay - ((vFactor + 1) * extent.cy) / 2;
  r.right = r.left + extent.cx;
  r.bottom = r.top + extent.cy;
  return r;
}

}  // namespace kv
