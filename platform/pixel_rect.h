// Platform-internal: rectangles of device pixels in 64-bit arithmetic, for
// the device contexts that take any int corners (the difference of two
// ints may not fit an int).
#pragma once

#include <algorithm>
#include <cstdint>
#include <limits>
#include <utility>

#include "platform/types.h"

namespace plat {

inline int ClampToInt(std::int64_t v) {
  return static_cast<int>(std::clamp<std::int64_t>(v, std::numeric_limits<int>::min(),
                                                   std::numeric_limits<int>::max()));
}

// Sizes of rectangles in 64 bits: the difference of two ints may not fit
// an int.
inline std::int64_t WidthOf(const Rect& r) { return std::int64_t{r.right} - r.left; }
inline std::int64_t HeightOf(const Rect& r) { return std::int64_t{r.bottom} - r.top; }

// A rectangle with left <= right and top <= bottom.
inline Rect Normalised(std::int64_t l, std::int64_t t, std::int64_t r, std::int64_t b) {
  if (l > r) std::swap(l, r);
  if (t > b) std::swap(t, b);
  return Rect{ClampToInt(l), ClampToInt(t), ClampToInt(r), ClampToInt(b)};
}

}  // namespace plat
