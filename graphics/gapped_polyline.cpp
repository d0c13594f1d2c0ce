#include "graphics/gapped_polyline.h"

namespace kv {

void BreakRuns(std::vector<std::int32_t>& runs, const std::uint8_t* flags, int last) {
  runs.assign(last < 0 ? 0 : static_cast<std::size_t>(last) + 1, 0);
  for (int i = 0; i <= last; ++i) {
    const auto k = static_cast<std::size_t>(i);
    if (flags[k]) {
      runs[k] = -1;
    } else {
      // -1 -> 0, 0 -> 1, 1 -> 0.
      runs[k] = i == 0 ? 0 : (runs[k - 1] + 1) % 2;
    }
  }
}

}  // namespace kv
