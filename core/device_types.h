// Plain device values the records hold: colours (red in the low byte, then
// green, then blue) and integer device points.  The platform layer uses
// them under its own names (plat::Colour, plat::Point).
#pragma once

#include <cstdint>

namespace kv {

using Colour = std::uint32_t;  // red in the low byte, then green, then blue

constexpr Colour Rgb(int r, int g, int b) {
  return static_cast<Colour>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}
constexpr int RedOf(Colour c) { return static_cast<int>(c & 0xFF); }
constexpr int GreenOf(Colour c) { return static_cast<int>((c >> 8) & 0xFF); }
constexpr int BlueOf(Colour c) { return static_cast<int>((c >> 16) & 0xFF); }

struct DevicePoint {
  int x = 0;
  int y = 0;
  friend bool operator==(const DevicePoint&, const DevicePoint&) = default;
};

}  // namespace kv
