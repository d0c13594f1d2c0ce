// What the open tool dialogs of the 3D window show over its plot: the
// dialogs keep their part up to date while they are shown, and the overlay
// pass draws it over the kept picture of the surfaces.  `shown` is false
// while a dialog is closed or hidden.
#pragma once

#include <cstdint>
#include <vector>

#include "core/vector2d.h"
#include "core/vector3d.h"

namespace kv {

// The slice dialog: two parameter lines of one surface.
struct TSliceOverlay {
  bool shown = false;
  int equation = -1;
  long double value1 = 0;  // the fixed value of the first direction's line
  long double value2 = 0;  // and of the second's
};

// The intersection-points dialog: its current point.
struct TPointOverlay {
  bool shown = false;
  TPoint3D point;
};

// The trace dialog: two points of a curve with their parameters, the
// secant, the tangents at both points and the normal at the first.
struct TTraceOverlay {
  bool shown = false;
  TPoint3D p1, p2;
  long double t1 = 0;
  long double t2 = 0;
  TPoint3D secant, tangent1, tangent2, normal1;
  bool secantOn = false;   // "Sekante"
  bool tangentOn = false;  // "Tangente"
  bool frenetOn = false;   // "Frenet"
};

// The trajectory-trace dialog: the traced point and its velocity.
struct TTrajectoryTraceOverlay {
  bool shown = false;
  bool hasItem = false;
  TPenSpec pen;  // the traced item's colour, width and style
  TPoint3D point, vector;
};

// The level window: its mouse mode, the surface, its marked points and
// the cursor point whose course over the surface is shown.
struct TCourseOverlay {
  bool shown = false;
  int mouseMode = 0;
  int surface = -1;
  std::vector<TPoint3D> marks;
  TPoint3D cursor;
  int colour = 1;
};

struct TToolOverlays {
  TSliceOverlay slice;
  TPointOverlay intersection;
  TTraceOverlay trace;
  TTrajectoryTraceOverlay trajectoryTrace;
  TCourseOverlay course;
};

}  // namespace kv
