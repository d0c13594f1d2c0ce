// The animation loops the slider dialogs start: a parameter runs through
// its slider range and the plot is redrawn at every frame.  They run inside
// the command and read the keys with the keyboard poll, so the window stays
// painted and "A" always stops them.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <new>
#include <thread>

#include "platform/app.h"
#include "platform/bitmap.h"
#include "platform/resources.h"
#include "platform/testing.h"
#include "plotcore/plot_win.h"

namespace kv {

namespace {

void Wait(int milliseconds) {
  if (milliseconds > 0) std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

// With the platform in testing mode no user can press "A": a loop that saw
// no key for this many frames ends by itself.
constexpr long kTestIdleFrames = 100000;

// Keeps the flags of a running animation and clears them on every exit.
class AnimationScope {
 public:
  explicit AnimationScope(TPlotWin& w) : w_(w), quiet_(w.quietDrawing) {
    w_.animating = 1;
    w_.quietDrawing = 1;
  }
  ~AnimationScope() {
    w_.animating = 0;
    w_.quietDrawing = quiet_;
  }

 private:
  TPlotWin& w_;
  std::uint8_t quiet_;
};

// The slider range of a parameter; false when it is empty.
bool SliderRange(TPlotWin& w, int index, long double& lo, long double& hi) {
  if (index < 0 || index >= tok::kParameterCount) return false;
  const auto k = static_cast<std::size_t>(index);
  lo = w.Tables().lower[k].re;
  hi = w.Tables().upper[k].re;
  if (lo > hi) std::swap(lo, hi);
  return std::isfinite(lo) && std::isfinite(hi) && hi > lo;
}

// Waits in a pause until "P" again; "A" ends the pause and the animation.
bool Pause(TPlotWin& w) {
  for (long idle = 0;; ++idle) {
    const int key = plat::PollKey(w);
    if (key == 'P') return true;
    if (key == 'A') return false;
    if (key == 0 && plat::testing::TestingMode() && idle > 1000) return true;
    Wait(10);
  }
}

}  // namespace

void TPlotWin::AnimationFrame(int index) {
  drawn = 0;
  PlotBufferValid = 0;
  RepaintNow(false);
}

void TPlotWin::AnimateParameter(int index, bool reversing, bool hasEnd, long double endValue) {
  long double lo, hi;
  if (!SliderRange(*this, index, lo, hi)) return;
  AnimationScope scope(*this);
  const bool clock = timeMode && index == 0;
  long double value = std::clamp(Tables().value[static_cast<std::size_t>(index)].re, lo, hi);
  const int steps = sliderSteps > 0 ? sliderSteps : 100;
  long double step = (hi - lo) * (animationStepFactor > 0 ? animationStepFactor : 1) / steps;
  int direction = 1;
  const auto started = std::chrono::steady_clock::now();
  const long double startValue = value;
  long idle = 0;
  for (;;) {
    const int key = plat::PollKey(*this);
    if (key == 'A') break;
    if (key == 0 && plat::testing::TestingMode() && ++idle > kTestIdleFrames) break;
    if (key != 0) idle = 0;
    if (!clock) {
      if (key == ' ') {
        direction = -direction;
      } else if (key == 'S') {
        step *= 1.25L;
      } else if (key == 'L') {
        step *= 0.8L;
      } else if (key == 'P' && !Pause(*this)) {
        break;
      }
    }
    const long double previous = value;
    if (clock) {
      // The time parameter follows the clock in frames of 50 ms.
      Wait(50);
      const std::chrono::duration<long double> elapsed = std::chrono::steady_clock::now() - started;
      value = startValue + elapsed.count();
      if (value > hi) value = lo + std::fmod(value - lo, hi - lo);
    } else {
      value += direction * step;
      if (value > hi) {
        if (reversing) {
          value = std::max(lo, hi - (value - hi));
          direction = -1;
        } else {
          value = lo;
        }
      } else if (value < lo) {
        if (reversing) {
          value = std::min(hi, lo + (lo - value));
          direction = 1;
        } else {
          value = hi;
        }
      }
    }
    bool last = false;
    if (hasEnd && std::isfinite(endValue)) {
      const bool passed = (previous <= endValue && value >= endValue && direction > 0) ||
                          (previous >= endValue && value <= endValue && direction < 0);
      if (passed) {
        value = endValue;
        last = true;
      }
    }
    SetVariable(index, value);
    AnimationFrame(index);
    if (last) break;
  }
}

void TPlotWin::AnimateTimeParameter(int index, bool reversing, int frames) {
  long double lo, hi;
  if (!SliderRange(*this, index, lo, hi)) return;
  AnimationScope scope(*this);
  frames = std::clamp(frames, 1, 1000);
  const std::string caption = GetCaption();
  std::vector<plat::Bitmap> pictures;
  for (int k = 0; k <= frames; ++k) {
    if (plat::PollKey(*this) == 'A') break;
    SetCaption(plat::res::String(607) + std::to_string(k + 1) + " / " + std::to_string(frames + 1));
    SetVariable(index, lo + (hi - lo) * k / frames);
    drawn = 0;
    PlotBufferValid = 0;
    RepaintNow(false);
    try {
      pictures.push_back(BackBuffers[0]);
    } catch (const std::bad_alloc&) {
      break;  // play the frames there is room for
    }
  }
  SetCaption(caption);
  if (pictures.empty()) return;
  const int n = static_cast<int>(pictures.size());
  int k = 0;
  int direction = 1;
  long idle = 0;
  for (;;) {
    const int key = plat::PollKey(*this);
    if (key == 'A') break;
    if (key == 0 && plat::testing::TestingMode() && ++idle > kTestIdleFrames) break;
    if (key != 0) idle = 0;
    if (key == ' ') direction = -direction;
    if (key == 'L') frameDelay += 5;
    if (key == 'S' && frameDelay > 5) frameDelay -= 5;
    if (IsCreated()) {
      plat::ClientDC dc(*this);
      dc.BitBlt(OriginX, OriginY, ClientWidth, ClientHeight, pictures[static_cast<std::size_t>(k)], 0, 0);
    }
    SetVariable(index, lo + (hi - lo) * k / frames);
    Wait(frameDelay);
    if (n == 1) continue;
    k += direction;
    if (k >= n) {
      if (reversing) {
        k = n - 2;
        direction = -1;
      } else {
        k = 0;
      }
    } else if (k < 0) {
      if (reversing) {
        k = 1;
        direction = 1;
      } else {
        k = n - 1;
      }
    }
  }
  InvalidatePlot();
}

void TPlotWin::PlayPrecomputedFrames(int index, bool reversing, int steps) {
  long double lo, hi;
  if (!SliderRange(*this, index, lo, hi)) return;
  AnimationScope scope(*this);
  steps = std::clamp(steps, 1, 100000);
  const long double current = Tables().value[static_cast<std::size_t>(index)].re;
  int k = static_cast<int>(std::clamp<long double>(std::round(current - lo), 0, steps));
  int direction = 1;
  long idle = 0;
  for (;;) {
    const int key = plat::PollKey(*this);
    if (key == 'A') break;
    if (key == 0 && plat::testing::TestingMode() && ++idle > kTestIdleFrames) break;
    if (key != 0) idle = 0;
    if (key == ' ') direction = -direction;
    if (key == 'S') steppingDelay = std::max(0, steppingDelay - 50);
    if (key == 'L') steppingDelay += 50;
    if (key == 'P' && !Pause(*this)) break;
    SetVariable(index, lo + k);
    AnimationFrame(index);
    Wait(steppingDelay);
    k += direction;
    if (k > steps) {
      if (reversing) {
        k = steps > 0 ? steps - 1 : 0;
        direction = -1;
      } else {
        k = 0;
      }
    } else if (k < 0) {
      if (reversing) {
        k = steps > 0 ? 1 : 0;
        direction = 1;
      } else {
        k = steps;
      }
    }
  }
}

}  // namespace kv
