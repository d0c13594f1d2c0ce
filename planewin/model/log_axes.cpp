#include "planewin/model/log_axes.h"

#include <algorithm>
#include <cmath>

#include "core/constants.h"
#include "core/number_text.h"

namespace kv {

namespace {

constexpr long double kEdge = 1e-13L;

}  // namespace

std::int32_t NearestDecade(long double v) { return RoundToInt(v); }

std::vector<long double> DecadeLines(long double lo, long double hi) {
  std::vector<long double> lines;
  const std::int32_t first = NearestDecade(lo);
  const std::int32_t last = NearestDecade(hi) - 1;
  // A plotted range spans a handful of decades; a corrupt one must not
  // ask for millions of lines.
  if (last < first || static_cast<long long>(last) - first > 400) return lines;
  for (std::int32_t d = first; d <= last; ++d)
    for (int k = 1; k <= 10; ++k) lines.push_back(d + std::log10(static_cast<long double>(k)));
  return lines;
}

std::vector<long double> LinearLines(long double origin, long double spacing, int first, int last, long double lo) {
  std::vector<long double> lines;
  if (!(std::fabs(spacing) > 0) || !std::isfinite(spacing)) return lines;
  auto add = [&](int i) {
    const long double v = origin + i * spacing;
    if (!(v + kEdge <= lo)) lines.push_back(v);
  };
  // Lines run from the first tick (when it lies left of or below the
  // origin) or from the origin up to the last tick.
  for (long long i = std::min(first, 0); i <= last; ++i) add(static_cast<int>(i));
  return lines;
}

TSegment2D ViewAroundPlot(const TSegment2D& plotted, int clientWidth, int clientHeight, const TAxisNumberExtents& t) {
  constexpr long double c = 1.3L;
  const long double dx = plotted.xmax - plotted.xmin;
  const long double dy = plotted.ymax - plotted.ymin;
  const long double w = std::max(clientWidth, 1);
  const long double h = std::max(clientHeight, 1);
  // The pixels left for the plotted rectangle; the margins get the rest.
  const long double freeX = std::max(w - c * (t.yNumberWidth + t.halfXNumberWidth), w / 4);
  const long double halfHeight = t.numberHeight / 2.0L;
  const long double freeY = std::max(h - c * (t.numberHeight + halfHeight), h / 4);
  TSegment2D v;
  v.xmin = plotted.xmin - c * t.yNumberWidth * dx / freeX;
  v.xmax = plotted.xmax + c * t.halfXNumberWidth * dx / freeX;
  v.ymin = plotted.ymin - c * t.numberHeight * dy / freeY;
  // The top edge adds the margins' pixels in its denominator where the
  // other three take them off: its margin comes out a little narrower.
  v.ymax = plotted.ymax + c * halfHeight * dy / (h + c * (t.numberHeight + halfHeight));
  return v;
}

}  // namespace kv
