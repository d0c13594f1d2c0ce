// Helpers shared by the tests of the plot windows: a fixture that opens
// shown windows of one kind and closes them again, answering the equation
// dialog of a command, and looking at the pixels of a client surface.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

#include "platform/app.h"
#include "platform/bitmap.h"
#include "platform/dialog.h"
#include "platform/testing.h"
#include "plotcore/model/equation.h"
#include "support/pixel_checks.h"
#include "support/test_env.h"

namespace kvtest {

template <class W>
class PlotWindowTest : public ::testing::Test {
 protected:
  void SetUp() override { ClearSettingsFolder(); }
  void TearDown() override {
    for (W* w : windows_)
      if (!w->IsDestroyed()) w->Destroy();
    plat::App::DeleteDestroyedWindows();
  }
  // A shown window of 600 x 450 pixels, painted once.
  W* MakeWindow(const std::string& caption) {
    auto* w = new W(nullptr, caption);
    w->FileVersion = 33;
    windows_.push_back(w);
    EXPECT_TRUE(w->Create());
    w->MoveWindow(20, 40, 600, 450);
    w->Show(plat::SW_SHOW);
    Settle(w);
    return w;
  }
  static void Settle(plat::Window* w) {
    for (int k = 0; k < 3; ++k) plat::App::ProcessEvents();
    w->UpdateWindow();
  }
  // Runs a command whose dialog the script answers.
  static void RunWithDialog(plat::Window* w, int command, const std::string& templateName,
                            plat::testing::DialogScript script) {
    plat::testing::ExpectDialog(templateName, std::move(script));
    w->Command(command);
    Settle(w);
  }
  std::vector<W*> windows_;
};

// `paint` draws the entry's family of A with "Verfolgen" (four members from `start` to `end`, a
// second's pause after each) on the fake clock, and the stop key (`key`, "A" unless the drawing
// stops on any key) comes in the second pause: the screen then shows the first two members, no
// later one (`shows(surface, a)`), and the drawing ends.
template <class Paint, class Shows>
void ExpectFamilyStopsInSecondPause(plat::Window& w, kv::TEquation& e, long double start, long double end, Paint paint,
                                    Shows shows, unsigned key = 'A') {
  constexpr int kFamilyPause = 1000;
  e.familyOn = 1;
  e.familyLetter = 1;
  e.familyStart = start;
  e.familyEnd = end;
  e.familySteps = -3;
  e.familyDelay = kFamilyPause;
  plat::testing::FakeTicks(true);
  plat::Bitmap shown;
  plat::testing::AtTick(kFamilyPause * 3 / 2, [&] {
    shown = w.Surface();
    plat::testing::InjectKey(w, key);
  });
  paint();
  const std::int64_t stoppedAt = plat::TickMilliseconds();
  plat::testing::FakeTicks(false);
  ASSERT_FALSE(shown.IsNull()) << "no pause";
  const long double step = (end - start) / 3;
  EXPECT_TRUE(shows(shown, start) && shows(shown, start + step)) << "the first two members";
  EXPECT_FALSE(shows(shown, start + 2 * step) || shows(shown, end)) << "a member before its time";
  EXPECT_LE(stoppedAt, kFamilyPause * 3 / 2 + 100) << "the key in the pause";
}

// The folder of the test binary, where screenshots are written.
inline std::string BuildTreeDir() {
  char buf[4096];
  const ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
  if (n <= 0) return std::filesystem::temp_directory_path().string();
  buf[n] = 0;
  return std::filesystem::path(buf).parent_path().string();
}

}  // namespace kvtest
