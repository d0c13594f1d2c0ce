// Every loop that runs until a key gets that key, whatever holds the
// keyboard when the user presses it.  Each loop is started as a user starts
// it while a menu of its window is open (a key typed into the menu that the
// menu passes on to the window, or a dialog's button), and the stop key is
// typed through the toolkit to whatever has the keyboard then, on the fake
// clock.  A loop that leaves the keyboard to the menu, or reads its keys
// past the central poll, runs on after the key.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "entry/slider_dialog.h"
#include "platform/app.h"
#include "platform/dialog.h"
#include "platform/keys.h"
#include "platform/testing.h"
#include "plot2d/plot2_win.h"
#include "plot3d/plot3_win.h"
#include "plot3d/slice_dialog.h"
#include "support/plot_window_test.h"
#include "support/test_env.h"

namespace kv {
namespace {

class LongWorkKeys : public ::testing::Test {
 protected:
  void SetUp() override { kvtest::ClearSettingsFolder(); }
  void TearDown() override {
    plat::testing::FakeTicks(false);
    for (plat::Window* w : windows_)
      if (!w->IsDestroyed()) w->Destroy();
    plat::App::DeleteDestroyedWindows();
  }
  template <class W>
  W* Make(const std::string& caption) {
    auto* w = new W(nullptr, caption);
    w->FileVersion = 33;
    windows_.push_back(w);
    EXPECT_TRUE(w->Create());
    w->MoveWindow(20, 40, 500, 400);
    w->Show(plat::SW_SHOW);
    for (int k = 0; k < 3; ++k) plat::App::ProcessEvents();
    w->UpdateWindow();
    return w;
  }
  template <class W>
  static int Add(W* w, int kind, std::initializer_list<std::string_view> texts) {
    const int i = w->AppendEquation(kind, texts);
    w->CompileEquation(i);
    w->EquationsChanged(false);
    return i;
  }
  std::vector<plat::Window*> windows_;
};

// The stop key typed at 450 ms ends each loop at its next poll: within the
// loop's longest wait after the key, far sooner than the loop would end by
// itself in testing mode.  Afterwards no menu is open.
TEST_F(LongWorkKeys, EveryLoopGetsItsStopKeyUnderAnOpenMenu) {
  constexpr std::int64_t kKeyAt = 450;
  auto* w3 = Make<TPlot3Win>("Schluessel.kv3");
  Add(w3, kKindSurface, {"", "", "x*y/5"});
  w3->View3D.PhotoCount = 4;
  w3->Command(kCm3Slices);
  ASSERT_NE(w3->SliceDlg, nullptr);
  auto* w2 = Make<TPlot2Win>("Schluessel.kv2");
  TEquation& family = w2->Equation(Add(w2, kKindExplicit, {"", "a*x"}));
  family.familyOn = 1;
  family.familyLetter = 1;
  family.familyStart = 0.5L;
  family.familyEnd = 3.5L;
  family.familySteps = -3;  // "Verfolgen": a pause after each member
  family.familyDelay = 0;  // no pauses until its case
  w2->Tables().lower[1] = TComplex(0);
  w2->Tables().value[1] = TComplex(5);
  w2->Tables().upper[1] = TComplex(10);
  w2->OpenSliderDialog(1);
  ASSERT_NE(w2->SliderDialog(1), nullptr);

  struct Case {
    const char* what;
    plat::Window* window;
    int menu;                      // the menu open as the loop starts
    std::function<void()> start;   // as the user starts it
    std::int64_t longestWait;      // of the loop between two polls
  };
  const Case cases[] = {
      {"tour, Strg+T in the menu", w3, 0,
       [] {
         plat::testing::TypeKey('T', plat::MOD_CONTROL);
         plat::App::ProcessEvents();
       },
       150},
      {"slice animation, Autozyk", w3, 4, [w3] { w3->SliceDlg->Press(740); }, 150},
      {"parameter animation, Autozyk", w2, 0, [w2] { w2->SliderDialog(1)->Press(kCmAnimateCycling); }, 150},
      {"pauses of a followed family, F5 in the menu", w2, 1,
       [&family, w2] {
         family.familyDelay = 300;
         plat::testing::TypeKey(plat::VK_F5);
         plat::App::ProcessEvents();
         w2->UpdateWindow();  // the redraw it asked for
       },
       300},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    plat::testing::FakeTicks(true);
    ASSERT_TRUE(plat::testing::OpenMenu(*c.window, c.menu));
    plat::testing::AtTick(kKeyAt, [] { plat::testing::TypeKey('A'); });
    c.start();
    const std::int64_t ended = plat::TickMilliseconds();
    plat::testing::FakeTicks(false);
    EXPECT_GE(ended, kKeyAt) << "the loop did not run";
    EXPECT_LE(ended, kKeyAt + c.longestWait) << "the stop key did not reach the loop";
    EXPECT_FALSE(plat::testing::PopupOpen());
    for (int k = 0; k < 3; ++k) plat::App::ProcessEvents();
  }
}

}  // namespace
}  // namespace kv
