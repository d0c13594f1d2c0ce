// The animation loops the slider dialogs start: a parameter runs through
// its slider range and the plot is redrawn at every frame.  They run inside
// the command and read the keys with the keyboard poll, so the window stays
// painted; "A" always stops them, and so does closing the window (the
// platform's poll reads that as "A").  Every wait goes through the
// platform's Delay, which keeps the windows painted and lets the tests run
// the loops on a fake clock.
#include <algorithm>
#include <cmath>
#include <new>

#include "platform/app.h"
#include "platform/bitmap.h"
#include "platform/resources.h"
#include "platform/testing.h"
#include "plotcore/plot_win.h"

namespace kv {

namespace {

// With the platform in testing mode no user can press "A": a loop that saw
// no key for this many passes ends by itself (a pause sooner).
constexpr long kTestIdlePasses = 5000;
constexpr long kTestIdlePausePasses = 1000;
// The continuous animation shows at most one frame per this many ms, so its
// speed does not depend on how fast the machine draws.
constexpr int kMinFramePeriod = 20;
// The window timer that drives the time parameter's frames.
constexpr int kTimePeriod = 50;

bool IsStopKey(int key) { return key == 'A'; }

// Animations, like the sliders, move only the real part of a parameter.
void SetReal(TPlotWin& w, int index, long double value) {
  w.Tables().value.SetRealPart(static_cast<std::size_t>(index), value);
}

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

// Counts passes without a key in testing mode; true when the loop should
// give up (a test that forgot its "A").
class IdleGuard {
 public:
  explicit IdleGuard(long limit = kTestIdlePasses) : limit_(limit) {}
  bool Expired(int key) {
    if (key != 0) {
      idle_ = 0;
      return false;
    }
    return plat::testing::TestingMode() && ++idle_ > limit_;
  }

 private:
  long limit_;
  long idle_ = 0;
};

// Waits in a pause until "P" again; false when "A" ends the pause and the
// animation with it (closing the window reads as "A": a pause must not hold
// it open).
bool Pause(TPlotWin& w) {
  IdleGuard guard(kTestIdlePausePasses);
  for (;;) {
    const int key = plat::PollKey(w);
    if (key == 'P') return true;
    if (IsStopKey(key)) return false;
    if (guard.Expired(key)) return true;
    plat::Delay(w, 10);
  }
}

// Moves a value one step along [lo, hi]; at an end it bounces back when
// reversing, else it starts again at the other end.
void StepAlong(long double& value, int& direction, long double step, long double lo, long double hi,
               bool reversing) {
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

}  // namespace

void TPlotWin::DrawAnimationFrame() {
  drawn = 0;
  PlotBufferValid = 0;
  if (!IsCreated()) return;
  plat::ClientDC dc(*this);
  PaintBuffered(dc);
}

void TPlotWin::AnimationFrame(int index) { DrawAnimationFrame(); }

void TPlotWin::EvTimer(unsigned id) {
  if (id == kTimeParameterTimer) ++timeTicks_;
}

void TPlotWin::AnimateParameter(int index, bool reversing, bool hasEnd, long double endValue) {
  long double lo, hi;
  if (!SliderRange(*this, index, lo, hi)) return;
  AnimationScope scope(*this);
  const auto k = static_cast<std::size_t>(index);
  long double value = std::clamp(Tables().value[k].re, lo, hi);
  const bool ends = hasEnd && std::isfinite(endValue);
  IdleGuard guard;
  if (timeMode && index == 0) {
    // The time parameter follows the clock: the window timer asks for a
    // frame every 50 ms, and the value is the time since the start, cycling
    // through the slider range.  Only the stop keys are read.
    const std::int64_t started = plat::TickMilliseconds();
    const long double startValue = value;
    long double previous = value;
    timeTicks_ = 0;
    SetTimer(kTimeParameterTimer, kTimePeriod);
    for (;;) {
      const int key = plat::PollKey(*this);
      if (IsStopKey(key) || guard.Expired(key)) break;
      if (timeTicks_ == 0) {
        plat::Delay(*this, 5);
        continue;
      }
      timeTicks_ = 0;
      const long double run = startValue + (plat::TickMilliseconds() - started) / 1000.0L;
      bool last = false;
      if (ends && previous <= endValue && run >= endValue) {
        value = endValue;
        last = true;
      } else {
        value = run < hi ? run : lo + std::fmod(run - lo, hi - lo);
      }
      previous = run;
      SetReal(*this, index, value);
      AnimationFrame(index);
      if (last) break;
    }
    KillTimer(kTimeParameterTimer);
    return;
  }
  const int steps = std::max(SliderStepCount(index), 1);
  long double step = (hi - lo) * (animationStepFactor > 0 ? animationStepFactor : 1) / steps;
  int direction = 1;
  for (;;) {
    const std::int64_t frameStart = plat::TickMilliseconds();
    const int key = plat::PollKey(*this);
    if (IsStopKey(key) || guard.Expired(key)) break;
    if (key == ' ') {
      direction = -direction;
    } else if (key == 'S') {
      step *= 1.25L;
    } else if (key == 'L') {
      step *= 0.8L;
    } else if (key == 'P' && !Pause(*this)) {
      break;
    }
    const long double previous = value;
    StepAlong(value, direction, step, lo, hi, reversing);
    bool last = false;
    if (ends && ((previous <= endValue && value >= endValue && direction > 0) ||
                 (previous >= endValue && value <= endValue && direction < 0))) {
      value = endValue;
      last = true;
    }
    SetReal(*this, index, value);
    AnimationFrame(index);
    if (last) break;
    plat::Delay(*this, static_cast<int>(kMinFramePeriod - (plat::TickMilliseconds() - frameStart)));
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
    if (IsStopKey(plat::PollKey(*this))) break;
    SetCaption(plat::res::String(607) + std::to_string(k + 1) + " / " + std::to_string(frames + 1));
    SetReal(*this, index, lo + (hi - lo) * k / frames);
    AnimationFrame(index);
    try {
      pictures.push_back(BackBuffers[0]);
    } catch (const std::bad_alloc&) {
      break;  // play the frames there is room for
    }
  }
  SetCaption(caption);
  if (pictures.empty()) {
    InvalidatePlot();
    return;
  }
  const int n = static_cast<int>(pictures.size());
  int k = 0;
  int direction = 1;
  IdleGuard guard;
  for (;;) {
    const int key = plat::PollKey(*this);
    if (IsStopKey(key) || guard.Expired(key)) break;
    if (key == ' ') direction = -direction;
    if (key == 'L') frameDelay += 5;
    if (key == 'S' && frameDelay > 5) frameDelay -= 5;
    if (IsCreated()) {
      plat::ClientDC dc(*this);
      dc.BitBlt(OriginX, OriginY, ClientWidth, ClientHeight, pictures[static_cast<std::size_t>(k)], 0, 0);
    }
    // The parameter holds the value of the picture on the screen, so a
    // stop leaves it there.
    SetReal(*this, index, lo + (hi - lo) * k / frames);
    plat::Delay(*this, frameDelay);
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
  IdleGuard guard;
  for (;;) {
    const int key = plat::PollKey(*this);
    if (IsStopKey(key) || guard.Expired(key)) break;
    if (key == ' ') direction = -direction;
    if (key == 'S') steppingDelay = std::max(0, steppingDelay - 50);
    if (key == 'L') steppingDelay += 50;
    if (key == 'P' && !Pause(*this)) break;
    SetReal(*this, index, lo + k);
    AnimationFrame(index);
    plat::Delay(*this, steppingDelay);
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
