// Screen primitives in world coordinates: lines, pens from a pen
// description, the thirteen point markers and their size on a device.
// They draw on whatever device context the caller hands in (window surface,
// memory bitmap, printer, metafile) and write nothing to export files: the
// callers that record an export hand the figure to the writer themselves.
#pragma once

#include "graphics/view_mapping.h"
#include "platform/dc.h"
#include "core/vector2d.h"

namespace kv {

// What pens and markers take from the output they are made for.
struct TPenRules {
  bool printing = false;
  bool colourPrinter = false;   // print option "Farbdrucker"
  int frameWidth = 0;           // added to every pen width while printing
  bool scaleLineWidths = false; // high-resolution output
  int lineWidthFactor = 1;      // multiplies widths while scaleLineWidths
};

// The GDI style of a line-style code: 0 solid, 1 dotted, 2 dashed,
// 3 dash-dot, 4 dash-dot-dot, -1 (65535) none, anything else solid.
int PenStyleOfCode(int code);

// A pen for the description: width plus the frame width while printing,
// times the factor while scaling; black while printing without colour,
// else `colour` (the caller's colour of the index, background avoided).
plat::Pen StylePen(const TPenSpec& spec, const TPenRules& rules, plat::Colour colour);

// Width of a pen as the rules make it: + frame width while printing, then
// times the factor while scaling.
int ScaledPenWidth(int width, const TPenRules& rules);

// A straight line between two world points with the pen selected in dc.
// With clip set the segment is clipped to the view first; false when
// nothing of it is visible (and nothing is drawn).
bool DrawWorldLine(plat::DC& dc, const TViewMapping& view, TPoint2D p1, TPoint2D p2, bool clip);

// Marker half-size in pixels for size code n on dc: never below 1, times
// the factor while scaling.  On a screen 1024 pixels wide codes 0..3 give
// 1, 1, 2, 3.
int MarkerSize(const plat::DC& dc, int code, const TPenRules& rules);

// One marker of style 0..12 centred at (x, y) with half-size r, using the
// pen and brush selected in dc.  Other styles draw nothing.
void DrawMarker(plat::DC& dc, int x, int y, int style, int r);

// DrawMarker at the device point of a world point, inside the view or not.
void DrawMarkerAtWorld(plat::DC& dc, const TViewMapping& view, const TPoint2D& p, int style, int r);

}  // namespace kv
