#include "graphics/mouse_drag.h"

#include <chrono>
#include <thread>

#include "platform/testing.h"

namespace kv {

void NextDragEvent(plat::Window& w, plat::MouseEvent& e, plat::Point last) {
  for (;;) {
    if (plat::PollMouse(w, e)) return;
    if (plat::testing::TestingMode() || w.IsDestroyed() || !plat::MouseButtonHeld()) {
      e = plat::MouseEvent{plat::MouseEvent::LButtonUp, 0, last.x, last.y};
      return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
}

}  // namespace kv
