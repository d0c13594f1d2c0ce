// The events of a mouse drag that runs inside a button handler: the box
// zoom, the coordinate readout, freehand strokes and the rubber band of
// labels and pictures take their events from here until the button is
// released.
#pragma once

#include "platform/app.h"
#include "platform/window.h"

namespace kv {

// The next event of a drag.  A drag whose button is no longer held (its
// release went to another window, or the capture was lost) ends as a
// release where it was, and so does one whose scripted events ran out
// while the platform is in testing mode, or whose window went: it never
// waits for nothing.
void NextDragEvent(plat::Window& w, plat::MouseEvent& e, plat::Point last);

inline bool IsButtonRelease(const plat::MouseEvent& e) {
  return e.type == plat::MouseEvent::LButtonUp || e.type == plat::MouseEvent::RButtonUp;
}

}  // namespace kv
