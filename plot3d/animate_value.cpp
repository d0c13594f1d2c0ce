// The loop that animates one value of a tool dialog (a slice of a surface)
// between two bounds, repainting the window at every step.  It runs inside
// the command and reads the keys with the keyboard poll: "A" (also an
// accelerator key, or closing the window) ends it, Space reverses, "L" and
// "S" change the window's delay.
#include "platform/app.h"
#include "platform/resources.h"
#include "platform/testing.h"
#include "plot3d/model/value_animation.h"
#include "plot3d/plot_q_win.h"

namespace kv {

namespace {

// With the platform in testing mode no user can press "A": a run that saw
// no key for this many steps ends by itself.
constexpr long kTestIdleSteps = 10000;

}  // namespace

void TPlotQWin::AnimateValue(long double lower, long double& value, long double upper, bool reverse, int steps) {
  TValueAnimation animation(lower, value, upper, steps, reverse);
  if (!animation.Valid() || !IsCreated()) return;
  plat::ClientDC dc(*this);
  const std::uint8_t quiet = quietDrawing;
  animating = 1;
  // The picture's own stop-key polls would eat the loop's keys.
  quietDrawing = 1;
  SetFocus();
  SetCapture();
  SetCaption(1, 0, 0);
  int delay = frameDelay;
  long idle = 0;
  for (;;) {
    value = animation.Value();
    BufferValid[0] = 0;
    PaintBuffered(dc);
    animation.Advance();
    // One millisecond a unit of the delay, the windows painting meanwhile.
    if (delay > 0) plat::Delay(*this, delay);
    const int key = plat::PollKey(*this);
    if (ApplyAnimationKey(key, animation, delay)) break;
    if (key != 0) idle = 0;
    if (key == 0 && plat::testing::TestingMode() && ++idle > kTestIdleSteps) break;
  }
  frameDelay = delay;
  UpdateCaption(false);
  ReleaseCapture();
  quietDrawing = quiet;
  animating = 0;
}

}  // namespace kv
