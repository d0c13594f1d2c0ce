#include "graphics/axis_settings.h"

#include <algorithm>
#include <cmath>

#include "core/constants.h"

namespace kv {

void TAxisSettings::UpdateTickMetrics(const TViewMapping& view) {
  HalfTickX = view.UnitsPerPixelX * TickLength / 2;
  HalfTickY = view.UnitsPerPixelY * TickLength / 2;
  HalfPointMarkX = view.UnitsPerPixelX * PointMarkLength / 2;
  HalfPointMarkY = view.UnitsPerPixelY * PointMarkLength / 2;
  ArrowLength = view.UnitsPerPixelX * ShortTickLength;
  TickUnitsPerPixelX = view.UnitsPerPixelX;
  TickUnitsPerPixelY = view.UnitsPerPixelY;
}

namespace {

// Widens the interval until at most maxTicks ticks fit into 2 * half.
// Returns whether it changed.  n shrinks tenfold per step, so a finite n
// ends the loop; an infinite one (no usable view) leaves the interval.
bool WidenInterval(long double& interval, long double half, int maxTicks, long double stepUp, long double stepDown,
                   std::int16_t& result) {
  bool changed = false;
  if (!(interval > kTolerance)) {
    interval = 1.0L;
    changed = true;
  }
  // Factors from a damaged file must still shrink n.
  if (!(stepUp > 1)) stepUp = 10.0L;
  if (!(stepDown > 0 && stepDown < 1)) stepDown = 0.1L;
  long double n = 2 * half / interval;
  while (n > maxTicks && std::isfinite(n)) {
    interval *= stepUp;
    n *= stepDown;
    changed = true;
    result = 16;
  }
  return changed;
}

int Decimals(long double interval, int frequency, int d, bool numbersShown) {
  long double p = std::exp(-d * Ln10);
  while (p > interval * frequency && d < 4) {
    if (!numbersShown) break;
    ++d;
    p *= 0.1L;
  }
  return d;
}

bool TickIndex(long double k, std::int32_t& out) {
  if (std::fabs(k) < 2147483647.0L) {
    out = static_cast<std::int32_t>(k);  // truncation toward zero
    return true;
  }
  return false;
}

}  // namespace

std::int16_t ComputeTickSpacing(TAxisSettings& axes, const TViewMapping& view, int maxTicksX, int maxTicksY,
                                TTickRange& range, bool& changed) {
  std::int16_t result = 0;
  changed = false;
  int dx = axes.DecimalsX % 10;
  int dy = axes.DecimalsY % 10;
  // A window narrower than 8 pixels still gets one tick.
  maxTicksX = std::max(maxTicksX, 1);
  maxTicksY = std::max(maxTicksY, 1);

  if (WidenInterval(axes.TickIntervalX, view.HalfX, maxTicksX, axes.TickStepUp, axes.TickStepDown, result))
    changed = true;
  if (WidenInterval(axes.TickIntervalY, view.HalfY, maxTicksY, axes.TickStepUp, axes.TickStepDown, result))
    changed = true;

  if (axes.TicksShown) {
    if (axes.TickIntervalX > 3 * view.HalfX) {
      axes.TickIntervalX = 0.5L * view.HalfX;
      changed = true;
    }
    if (axes.TickIntervalY > 3 * view.HalfY) {
      axes.TickIntervalY = 0.5L * view.HalfY;
      changed = true;
    }
  }

  dx = Decimals(axes.TickIntervalX, axes.LabelFrequencyX, dx, (axes.ScaleBits & kScaleNumbersX) != 0);
  dy = Decimals(axes.TickIntervalY, axes.LabelFrequencyY, dy, (axes.ScaleBits & kScaleNumbersY) != 0);
  if (axes.DecimalsX > 9) dx += 10;
  if (axes.DecimalsY > 9) dy += 10;
  axes.DecimalsX = static_cast<std::int16_t>(dx);
  axes.DecimalsY = static_cast<std::int16_t>(dy);

  if (changed) {
    if (axes.TickNoticeState == 3) {
      axes.TickNoticeState = 0;
    } else if (axes.TickNoticeState > 0) {
      axes.TickNoticeState = 1;
    }
  }

  const TSegment2D& r = view.UseAlternate ? view.Alternate : view.World;
  const long double k1 = (r.xmax - axes.TickOriginX) / axes.TickIntervalX;
  const long double k2 = (r.xmin - axes.TickOriginX) / axes.TickIntervalX;
  const long double k3 = (r.ymax - axes.TickOriginY) / axes.TickIntervalY;
  const long double k4 = (r.ymin - axes.TickOriginY) / axes.TickIntervalY;
  if (!TickIndex(k2, range.left)) result = 4;
  if (!TickIndex(k3, range.top)) result = 4;
  if (!TickIndex(k1, range.right)) result = 4;
  if (!TickIndex(k4, range.bottom)) result = 4;
  if (result == 4) axes.TicksShown = 0;
  return result;
}

}  // namespace kv
