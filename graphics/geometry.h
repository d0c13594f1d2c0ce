// Plane computations that the axes, grids, arrows and text boxes share:
// angles, arrow-head corners, the angles and distances under which a
// rectangle is seen from a point, and the placement of a text box.
#pragma once

#include "platform/types.h"
#include "core/vector2d.h"

namespace kv {

// Angle of (x, y) in (-π, π]; π/2 for |x| < 1e-16 and y >= 0, else -π/2.
long double ArcTan2(long double x, long double y);
// The same operation under the name the formula engine and plot windows use.
inline long double AngleOf(long double x, long double y) { return ArcTan2(x, y); }

// The two back corners c1, c2 of an arrow head whose tip is at the origin
// and whose shaft points along v: len long, len * widthRatio wide, kept
// symmetric on the screen for an aspect other than 1.  False (corners not
// written) when v has no length.
bool ArrowHeadPoints(const TPoint2D& v, long double len, long double aspect, long double widthRatio, TPoint2D& c1,
                     TPoint2D& c2);

// Start and end angle under which the rectangle is seen from (cx, cy).
// True, with 0..2π, when the point lies in the closed rectangle.
bool AngleRangeOfRect(long double xmin, long double xmax, long double ymin, long double ymax, long double cx,
                      long double cy, long double& start, long double& end);

// Nearest and farthest distance of the rectangle from (cx, cy); the far
// corner is chosen by comparing the point with the centre (centreX,
// centreY) of the view.  True when the nearest distance is below 1e-16.
bool DistanceRangeOfRect(long double xmin, long double xmax, long double ymin, long double ymax, long double cx,
                         long double cy, long double centreX, long double centreY, long double& nearest,
                         long double& farthest);

// The whole pixels (truncated) of a length in pixels that was computed
// through the scale: the product of a length and the inverse scale it came
// from lands a hair below the whole number (4.9999... for 5) and must not
// lose that pixel.  Magnitude only; saturates at the 32-bit range.
int WholePixels(long double v);

// Places a box of the given size relative to the device anchor (ax, ay):
// horizontal factor -1 ends it at the anchor, 0 centres it, 1 starts it
// there; vertical -1 hangs it below, 0 centres it, 1 stands it on the anchor.
// Halves are truncated toward zero.
plat::Rect PlaceTextBox(int ax, int ay, plat::Size extent, int hFactor, int vFactor);

}  // namespace kv
