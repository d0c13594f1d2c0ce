// The pauses of drawings shown step by step on the screen: the members of
// a family with "Verfolgen", one after another with the family delay, and
// the steps of a followed solution with the follow delay.  A pause lets the
// windows paint, so what was drawn is on the screen while the work waits,
// and reads the stop key, so that "A" ends a family's pause at once.
#include <algorithm>
#include <string>

#include "platform/app.h"
#include "platform/window.h"
#include "plotcore/plot_win.h"

namespace kv {

namespace {

// A pause reads the stop key this often (ms).
constexpr int kPauseSlice = 20;

void LogFamily(const std::string& what) {
  plat::LogEvent("family " + what + " " + std::to_string(plat::TickMilliseconds()));
}

}  // namespace

int TPlotWin::ShowFamilyMember(plat::DC& dc, int member, int delay, bool anyKey) {
  if (IsCreated()) {
    // The DCs hold no painter between their operations, so a client DC
    // may stand beside the one the paint pass draws with.
    plat::ClientDC client(*this);
    if (plat::Bitmap* drawing = dc.Surface(); drawing && drawing != &Surface())
      client.BitBlt(AreaOriginX(), AreaOriginY(), AreaWidth(), AreaHeight(), *drawing, AreaOriginX(), AreaOriginY(),
                    plat::SRCCOPY);
  }
  if (quietDrawing || delay <= 0) return 0;
  LogFamily(std::to_string(member) + " " + std::to_string(delay));
  // Each slice waits at least what it asks, so the pause is never short.
  for (int waited = 0; waited < delay; waited += kPauseSlice) {
    plat::Delay(*this, std::min(delay - waited, kPauseSlice));
    // An animation reads its keys itself between its frames.
    if (animating) continue;
    const int key = KeyPressed();
    if (key == 'A' || (anyKey && key != 0)) {
      LogFamily("stopped");
      return key;
    }
  }
  return 0;
}

bool TPlotWin::FollowWait() {
  if (followDelay > 0) {
    // The delay counts tenths of a millisecond and the wait whole ones: the
    // steps' waits add up until a millisecond is due.
    followWaitDue_ += 100L * followDelay;
    long ms = followWaitDue_ / 1000;
    followWaitDue_ -= ms * 1000;
    // A long pause is waited in slices, so that "A" ends it at once.
    while (ms > kPauseSlice) {
      plat::Delay(*this, kPauseSlice);
      ms -= kPauseSlice;
      if (StopKeyPressed()) return true;
    }
    if (ms > 0) plat::Delay(*this, static_cast<int>(ms));
  }
  return StopKeyPressed();
}

}  // namespace kv
