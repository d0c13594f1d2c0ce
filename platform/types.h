// Small value types shared by the platform layer and the program: colours in
// the 0x00BBGGRR layout the program stores in its files, integer points,
// sizes and rectangles in device pixels.
#pragma once

#include <cstdint>

#include "core/device_types.h"

namespace plat {

using kv::Colour;
using kv::Rgb;
using kv::RedOf;
using kv::GreenOf;
using kv::BlueOf;

using Point = kv::DevicePoint;

struct Size {
  int cx = 0;
  int cy = 0;
  friend bool operator==(const Size&, const Size&) = default;
};

// Right and bottom are exclusive, as the drawing rules of the program expect.
struct Rect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  bool Contains(Point p) const { return p.x >= left && p.x < right && p.y >= top && p.y < bottom; }
  friend bool operator==(const Rect&, const Rect&) = default;
};

}  // namespace plat
