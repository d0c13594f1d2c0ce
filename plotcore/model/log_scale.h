// Where a value lies on a logarithmic axis of a plot window: its decimal
// exponent, so that the decade from 10^d to 10^(d+1) has world length 1;
// and back, the values a rectangle of the window covers.
// Free of any window; the point map of a window with logarithmic axes
// carries every point through these.
#pragma once

#include <cmath>

#include "core/constants.h"
#include "core/vector2d.h"

namespace kv {

// Bit 0 of the axis kind: logarithmic x; bit 1: logarithmic y.
inline bool LogScaleX(int axisKind) { return (axisKind & 1) != 0; }
inline bool LogScaleY(int axisKind) { return (axisKind & 2) != 0; }

// 10^v, computed as exp(v ln 10) like every decade of the window.
inline long double DecadeValue(long double v) { return std::exp(v * Ln10); }

// The values a plotted rectangle covers: on a logarithmic axis
// 10^min .. 10^max, on a linear one the world range itself.
inline TSegment2D ValueRangeOf(const TSegment2D& plotted, int axisKind) {
  TSegment2D r = plotted;
  if (LogScaleX(axisKind)) {
    r.xmin = DecadeValue(plotted.xmin);
    r.xmax = DecadeValue(plotted.xmax);
  }
  if (LogScaleY(axisKind)) {
    r.ymin = DecadeValue(plotted.ymin);
    r.ymax = DecadeValue(plotted.ymax);
  }
  return r;
}

// The world coordinate of a value on one axis: on a logarithmic axis its
// exponent, which only values within lo..hi have (zero and negative values
// never do); on a linear axis the value itself.
inline bool AxisImage(long double value, bool logarithmic, long double lo, long double hi, long double& out) {
  if (!std::isfinite(value)) return false;
  if (!logarithmic) {
    out = value;
    return true;
  }
  if (!(value > 0) || value < lo || value > hi) return false;
  out = std::log10(value);
  return std::isfinite(out);
}

// The world point of a point given in values: false when it has none.
inline bool LogPointImage(const TPoint2D& value, int axisKind, const TSegment2D& valueRange, TPoint2D& out) {
  TPoint2D p;
  if (!AxisImage(value.x, LogScaleX(axisKind), valueRange.xmin, valueRange.xmax, p.x)) return false;
  if (!AxisImage(value.y, LogScaleY(axisKind), valueRange.ymin, valueRange.ymax, p.y)) return false;
  out = p;
  return true;
}

// A velocity (dx/dt, dy/dt) at a point given in values, carried onto the
// world coordinates by the chain rule: d(log10 x)/dt = (dx/dt) / (x ln 10).
// False, and the vector unchanged, where a logarithmic coordinate of the
// point is not positive.
inline bool ScaleVelocityForLogScale(int axisKind, const TPoint2D& value, TPoint2D& velocity) {
  const long double ln10 = std::log(10.0L);
  TPoint2D v = velocity;
  if (LogScaleX(axisKind)) {
    if (!(value.x > 0)) return false;
    v.x /= value.x * ln10;
  }
  if (LogScaleY(axisKind)) {
    if (!(value.y > 0)) return false;
    v.y /= value.y * ln10;
  }
  velocity = v;
  return true;
}

}  // namespace kv
