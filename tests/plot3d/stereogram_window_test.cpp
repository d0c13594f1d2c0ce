// The stereogram dialog and window of the 3D window, and the value
// animation loop.
#include <gtest/gtest.h>

#include <cmath>

#include "plot3d/plot3_test_util.h"
#include "platform/resources.h"
#include "plot3d/stereogram_win.h"

namespace kv {
namespace {

class StereogramWindow : public test3d::Plot3Test {
 protected:
  TPlot3Win* w = nullptr;
  int hill = -1;
  void SetUp() override {
    Plot3Test::SetUp();
    w = MakeWindow();
    hill = w->AppendEquation(kKindSurface, {"", "", "1-(xx+yy)/8"});
    w->Equation(hill).lowerBound = {-2, -2};
    w->Equation(hill).upperBound = {2, 2};
    w->CompileEquation(hill);
    w->UpdateBox(hill);
    w->RepaintNow(true);
    Settle(w);
  }
};

TEST_F(StereogramWindow, TheDialogDrawsTheChosenSurfaceAsDots) {
  ASSERT_TRUE(w->IsMenuItemEnabled(kCm3Stereogram));
  w->Command(kCm3Stereogram);
  ASSERT_NE(w->StereogramDlg, nullptr);
  TRDSDlg* first = w->StereogramDlg;
  w->Command(kCm3Stereogram);
  EXPECT_EQ(w->StereogramDlg, first);
  TRDSDlg& d = *w->StereogramDlg;
  EXPECT_EQ(d.ListCount(kStereogramList), 1);
  EXPECT_EQ(d.ListHorizontalReach(kStereogramList), 1000);
  EXPECT_EQ(d.GetItemText(kStereogramStrips), "8");
  d.SetItemText(kStereogramDotSize, "2");
  // One listed surface is chosen by itself.
  d.Press(kStereogramDraw);
  Settle(w);
  ASSERT_NE(w->StereogramWin, nullptr);
  TRDSWin& s = *w->StereogramWin;
  EXPECT_EQ(w->Equation(hill).kindFlag, 1);
  EXPECT_EQ(w->StereogramSettings[2], 2);
  s.seed = 11;
  s.PlotBufferValid = 0;
  s.Invalidate(false);
  s.UpdateWindow();
  ASSERT_TRUE(s.HasLayout());
  EXPECT_EQ(s.Layout().cell, 4);
  EXPECT_EQ(s.Layout().columns, (s.ClientWidth + 1) / 4);
  const plat::Colour dot = s.GetColour(w->Equation(hill).penColour);
  EXPECT_GT(test3d::CountColour(s.Surface(), dot), 100);
  // "&Schließen" only hides it; the dialog shows it again.
  s.Command(kCmStereogramClose);
  EXPECT_TRUE(s.Hidden);
  d.Press(kStereogramDraw);
  EXPECT_EQ(w->StereogramWin, &s);
  EXPECT_FALSE(s.Hidden);
  // Shown, it takes its size afresh at its next paint.
  EXPECT_EQ(s.ClientHeight, 11);
  s.UpdateWindow();
  EXPECT_EQ(s.ClientHeight, s.GetClientRect().Height());
}

TEST_F(StereogramWindow, SettingsAreCheckedBeforeDrawing) {
  w->AppendEquation(kKindCylinderSurface, {"", "", "r"});
  w->Command(kCm3Stereogram);
  TRDSDlg& d = *w->StereogramDlg;
  ASSERT_EQ(d.ListCount(kStereogramList), 2);
  struct Case {
    const char* density;
    const char* depth;
    int message;  // 400 + n
  } cases[] = {{"100", "0.75", 17}, {"0", "0.75", 17}, {"60", "0", 14}, {"60", "0.75", 15}};
  for (const Case& c : cases) {
    plat::testing::ClearMessages();
    d.SetItemText(kStereogramDensity, c.density);
    d.SetItemText(kStereogramDepth, c.depth);
    d.Press(kStereogramDraw);
    ASSERT_EQ(plat::testing::Messages().size(), 1u) << c.density;
    EXPECT_EQ(plat::testing::Messages()[0].text, plat::res::String(400 + c.message)) << c.density;
  }
  EXPECT_EQ(w->StereogramWin, nullptr);
}

TEST_F(StereogramWindow, AnimatedValueStepsAndStopsOnEscape) {
  long double value = 0;
  w->frameDelay = 0;
  // Space reverses, "L" slows down, "S" speeds up, Escape ends.
  for (unsigned key : {unsigned(' '), unsigned('L'), unsigned('L'), unsigned('S')})
    plat::testing::InjectKey(*w, key, 0, key);
  plat::testing::InjectKey(*w, 27, 0, 27);
  w->AnimateValue(0, value, 4, true, 4);
  EXPECT_EQ(w->frameDelay, 5);
  EXPECT_GE(value, 0);
  EXPECT_LE(value, 4);
  EXPECT_EQ(w->animating, 0);
  // "A" ends a cycle run as well; equal bounds do nothing.
  plat::testing::InjectKey(*w, 'A', 0, 'a');
  value = 3;
  w->AnimateValue(0, value, 4, false, 4);
  EXPECT_EQ(value, 3);
  value = 2;
  w->AnimateValue(2, value, 2, false, 4);
  EXPECT_EQ(value, 2);
}

}  // namespace
}  // namespace kv
