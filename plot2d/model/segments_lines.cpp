#include "plot2d/model/segments_lines.h"

#include <algorithm>
#include <cmath>

namespace kv {

long double LineReach(const TSegment2D& view) {
  return std::fabs(view.xmin) + std::fabs(view.xmax) + std::fabs(view.ymax) + std::fabs(view.ymin);
}

bool LineEnds(long double a, long double b, long double c, long double r, TPoint2D& p1, TPoint2D& p2) {
  if (!std::isfinite(a) || !std::isfinite(b) || !std::isfinite(c)) return false;
  if (std::fabs(a) > 1e-16L) {
    p1 = {(c - r * b) / a, r};
    p2 = {(c + r * b) / a, -r};
  } else if (std::fabs(b) > 1e-16L) {
    p1 = {r, c / b};
    p2 = {-r, c / b};
  } else {
    return false;
  }
  return std::isfinite(p1.x) && std::isfinite(p2.x) && std::isfinite(p1.y) && std::isfinite(p2.y);
}

TSegment2D ShrinkByPixel(const TSegment2D& view, long double unitsPerPixelX, long double unitsPerPixelY) {
  return {view.xmin + unitsPerPixelX, view.xmax - unitsPerPixelX, view.ymin + unitsPerPixelY,
          view.ymax - unitsPerPixelY};
}

void StoreDrawnBox(TEquation& e, const TPoint2D& p1, const TPoint2D& p2) {
  e.lowerBound = {std::min(p1.x, p2.x), std::min(p1.y, p2.y)};
  e.upperBound = {p1.x + p2.x - e.lowerBound.x, p1.y + p2.y - e.lowerBound.y};
}

TPoint2D MappedSegmentPoint(const TPoint2D& a, const TPoint2D& b, int k) {
  if (k <= 0) return a;
  if (k >= kMappedSegmentSteps) return b;
  const long double s = static_cast<long double>(k) / kMappedSegmentSteps;
  return {a.x + (b.x - a.x) * s, a.y + (b.y - a.y) * s};
}

}  // namespace kv
