// Geometry of the objects placed on a plot with the mouse: the box of a
// text label turned by its angle (hit test and rubber-band outline), label
// angles, and the sizes of metafile pictures (the frame of a recorded plot,
// the natural size of a pasted picture and its fitting into the client).
#pragma once

#include <array>
#include <cstdint>

#include "platform/dc.h"
#include "platform/types.h"

namespace kv {

// The edges of a label box of `size` turned counter-clockwise by `tenths`
// of a degree, in device pixels: u along the text, v down its height.
struct TTurnedBox {
  plat::Point u;
  plat::Point v;
};
TTurnedBox TurnBox(plat::Size size, int tenths);

// Whether a point at `offset` from the box's top-left corner lies strictly
// inside the box turned by `tenths`.
bool InsideTurnedBox(plat::Point offset, plat::Size size, int tenths);

// The outline of the turned box from its top-left corner: top-left, + u,
// + u + v, + v.
std::array<plat::Point, 4> TurnedBoxCorners(plat::Point topLeft, plat::Size size, int tenths);

// Degrees typed into the label dialog as tenths of a degree in 0..3599.
std::int32_t LabelAngleFromDegrees(long long degrees);

// The frame of a metafile recorded from a client area of width x height
// pixels at `scale` times its size, in hundredths of a millimetre of the
// reference device.
plat::Rect MetafileFrame(const plat::DeviceCaps& caps, int width, int height, int scale);

// The size in pixels of the reference device of a picture whose frame is
// given in hundredths of a millimetre (at least 1 x 1).
plat::Size PictureNaturalSize(const plat::Rect& frame, const plat::DeviceCaps& caps);

// A picture of its natural size pasted with its top-left at `at`: shrunk,
// keeping its proportions, first to the room right of the point, then to
// the room below it.
plat::Size FitPictureAt(plat::Size natural, plat::Point at, int clientWidth, int clientHeight);

}  // namespace kv
