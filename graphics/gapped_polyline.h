// Polylines drawn partly solid and partly broken: every point carries a
// break flag; stretches of flagged points are solid, stretches of
// unflagged points are dashed by leaving out every other sampling step.
// The screen and the three export writers decide by the same rule which
// segments to draw.
#pragma once

#include <cstdint>
#include <vector>

namespace kv {

// Run numbers of the points 0..last: -1 for a flagged point, else 0, 1,
// 0, 1, ... counted from the first point of each unflagged stretch.
void BreakRuns(std::vector<std::int32_t>& runs, const std::uint8_t* flags, int last);

// Whether the segment from point i - 1 to point i is drawn.  Mode 0 draws
// every segment, mode 1 the solid stretches and every other step of the
// broken ones, any other mode only the solid stretches.
inline bool GappedSegmentDrawn(const std::vector<std::int32_t>& runs, int i, int mode) {
  const std::int32_t a = runs[static_cast<std::size_t>(i - 1)];
  const std::int32_t b = runs[static_cast<std::size_t>(i)];
  return mode == 0 || (a == -1 && b == -1) || (mode == 1 && a == 0 && b == 1);
}

}  // namespace kv
