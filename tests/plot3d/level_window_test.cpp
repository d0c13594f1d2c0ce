// The level dialog and the level window of the 3D window: levels sent and
// stored as pieces of the surface, the list with its filter, deletions and
// "Verwerfen", the cursor with gradient and directional derivative, and the
// direction dialog.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "plot3d/direction_dialog.h"
#include "plot3d/level_dialog.h"
#include "plot3d/level_win.h"
#include "plot3d/plot3_test_util.h"
#include "core/constants.h"

namespace kv {

namespace {

double D(long double v) { return static_cast<double>(v); }

class LevelWindow : public test3d::Plot3Test {
 protected:
  TPlot3Win* w = nullptr;
  int bowl = -1;
  void SetUp() override {
    Plot3Test::SetUp();
    w = MakeWindow();
    bowl = w->AppendEquation(kKindSurface, {"", "", "xx+yy"});
    w->Equation(bowl).lowerBound = {-3, -3};
    w->Equation(bowl).upperBound = {3, 3};
    w->CompileEquation(bowl);
    w->UpdateBox(bowl);
    w->RepaintNow(true);
    Settle(w);
  }
  TLevelDlg& OpenDialog(int i) {
    w->OpenLevelDialog(i);
    EXPECT_NE(w->LevelDlg, nullptr);
    return *w->LevelDlg;
  }
  static void Fields(TLevelDlg& d, const char* min, const char* current, const char* max, const char* count) {
    d.SetItemText(kLevelMinimum, min);
    d.SetItemText(kLevelCurrent, current);
    d.SetItemText(kLevelMaximum, max);
    d.SetItemText(kLevelCount, count);
  }
  // The radius of every stored piece of the level.
  void ExpectCircles(long double level) {
    int pieces = 0;
    for (const TEquationItem& item : w->Equation(bowl).items) {
      if (item.tag != kLevelAxisZ || std::fabs(item.level - level) > 1e-12L) continue;
      EXPECT_NEAR(D(std::hypot(item.start.x, item.start.y)), std::sqrt(D(level)), 1e-3) << D(level);
      ++pieces;
    }
    EXPECT_GT(pieces, 0) << D(level);
  }
};

TEST_F(LevelWindow, AutoDrawsEveryLevelAsRings) {
  TLevelDlg& d = OpenDialog(bowl);
  // An explicit surface has z levels only.
  EXPECT_FALSE(d.IsItemVisible(kLevelAxisXButton));
  EXPECT_EQ(d.Axis(), kLevelAxisZ);
  Fields(d, "1", "1", "9", "3");
  d.Press(kLevelAuto);
  Settle(w);
  ASSERT_NE(w->LevelWin, nullptr);
  EXPECT_FALSE(w->LevelWin->Hidden);
  ExpectCircles(1);
  ExpectCircles(5);
  ExpectCircles(9);
  EXPECT_EQ(w->Equation(bowl).divisions[2], 2);
  EXPECT_TRUE(d.LevelsDrawn());
  EXPECT_EQ(d.ListedRows(), static_cast<int>(w->Equation(bowl).items.size()));
  // A second level reuses the window.
  TLevelWin* level = w->LevelWin;
  Fields(d, "1", "4", "9", "3");
  d.Press(kLevelSearch);
  Settle(w);
  EXPECT_EQ(w->LevelWin, level);
  ExpectCircles(4);
  // The level window draws the ring of the current level in its view.
  w->LevelWin->UpdateWindow();
  plat::Point px;
  ASSERT_TRUE(w->LevelWin->WorldToPixel({2, 0}, px));
  bool found = false;
  const plat::Colour background = w->LevelWin->GetColour(w->LevelWin->ColourSlots[0]);
  for (int dx = -2; dx <= 2 && !found; ++dx)
    for (int dy = -2; dy <= 2 && !found; ++dy)
      found = w->LevelWin->Surface().GetPixel(px.x + dx, px.y + dy) != background;
  EXPECT_TRUE(found);
  // "Verwerfen" keeps the levels "Auto" and "Höhe suchen" found.
  const std::size_t pieces = w->Equation(bowl).items.size();
  d.Press(plat::IDCANCEL);
  EXPECT_EQ(w->Equation(bowl).items.size(), pieces);
  ExpectCircles(4);
}

TEST_F(LevelWindow, StepsThroughTheLevels) {
  TLevelDlg& d = OpenDialog(bowl);
  Fields(d, "0", "0.4", "1", "3");
  d.Press(kLevelNext);
  EXPECT_NEAR(D(d.Current()), 0.5, 1e-15);
  Fields(d, "0", "0.4", "1", "3");
  d.Press(kLevelPrevious);
  EXPECT_NEAR(D(d.Current()), 0, 1e-15);
  // Above the range: strict reading refuses, the steps clamp.
  plat::testing::ClearMessages();
  Fields(d, "0", "1.5", "1", "3");
  d.Press(kLevelSearch);
  EXPECT_EQ(plat::testing::Messages().size(), 1u);
  EXPECT_EQ(w->LevelWin, nullptr);
  d.Press(kLevelNext);
  EXPECT_NEAR(D(d.Current()), 0.5, 1e-15);
  Fields(d, "0", "1.5", "1", "3");
  d.Press(kLevelPrevious);
  EXPECT_NEAR(D(d.Current()), 0.5, 1e-15);
  // Too few levels, more than the record can keep, or an empty range are
  // unreadable.
  plat::testing::ClearMessages();
  Fields(d, "0", "0", "1", "1");
  d.Press(kLevelNext);
  Fields(d, "1", "1", "1", "4");
  d.Press(kLevelNext);
  Fields(d, "0", "0", "1", "32769");
  d.Press(kLevelAuto);
  EXPECT_EQ(plat::testing::Messages().size(), 3u);
  // Up to 32768 levels are taken: the record keeps 32767 divisions.
  for (int count : {5000, 32768}) {
    Fields(d, "0", "0", "1", std::to_string(count).c_str());
    d.Press(kLevelNext);
    EXPECT_NEAR(D(d.Current()), 1.0 / (count - 1), 1e-15) << count;
    EXPECT_EQ(w->Equation(bowl).divisions[2], count - 1);
  }
  EXPECT_EQ(plat::testing::Messages().size(), 3u);
}

TEST_F(LevelWindow, ListFilterDeletionsAndRevert) {
  // An implicit surface with pieces of y and z levels.
  const int ball = w->AppendEquation(kKindImplicitSurface, {"", "", "", "", "xx+yy+zz=4"});
  TEquation& e = w->Equation(ball);
  for (int k = 0; k < 3; ++k) e.items.push_front(MakeLevelItem({kLevelAxisZ, 0.5L * k}, {1, 1}, {2, 1, 0}));
  e.items.push_front(MakeLevelItem({kLevelAxisY, 0}, {1, 1}, {2, 1, 0}));
  TLevelDlg& d = OpenDialog(ball);
  EXPECT_TRUE(d.IsItemVisible(kLevelAxisXButton));
  EXPECT_EQ(d.ListedRows(), 3);
  // "Alles Löschen" deletes only the listed (z) pieces.
  plat::testing::ExpectDialog("YNMBOX", [](plat::Dialog& m) { m.Press(88); });
  d.Press(kIvpDeleteAll);
  EXPECT_EQ(e.items.size(), 1u);
  EXPECT_EQ(d.ListedRows(), 0);
  EXPECT_FALSE(d.IsItemEnabled(kIvpDeleteAll));
  // "Verwerfen" puts them back.
  d.Press(plat::IDCANCEL);
  EXPECT_EQ(w->Equation(ball).items.size(), 4u);
  EXPECT_TRUE(d.IsHidden());
  // "Nein" keeps them; a deletion kept with "Beibehalten" stays.
  w->OpenLevelDialog(ball);
  plat::testing::ExpectDialog("YNMBOX", [](plat::Dialog& m) { m.Press(89); });
  d.Press(kIvpDeleteAll);
  EXPECT_EQ(w->Equation(ball).items.size(), 4u);
  d.Press(kIvpDelete);
  d.Press(plat::IDOK);
  EXPECT_EQ(w->Equation(ball).items.size(), 3u);
  // Reopened hidden for another surface, it switches to it.
  w->OpenLevelDialog(bowl);
  EXPECT_EQ(d.EquationIndex(), bowl);
  // Opened while shown, it keeps its surface.
  w->OpenLevelDialog(ball);
  EXPECT_EQ(d.EquationIndex(), bowl);
}

TEST_F(LevelWindow, CursorGradientAndDirectionalDerivative) {
  ASSERT_EQ(w->AddLevelCurve(bowl, kLevelAxisZ, 2, false, false, true, true), 1);
  TLevelWin& l = *w->LevelWin;
  EXPECT_EQ(l.AxisNames[0], "x");
  l.Command(kCmMouseCursor);
  ASSERT_EQ(l.MouseMode, kCmMouseCursor);
  l.MoveCursorTo({1, 1});
  EXPECT_NEAR(D(l.Readout().z), 2, 1e-12);
  EXPECT_NEAR(D(l.Readout().fx), 2, 1e-12);
  EXPECT_NEAR(D(l.Readout().fy), 2, 1e-12);
  // The angle starts at 2.0; along (1, 0) the derivative is 2.
  EXPECT_NEAR(D(l.Angle()), 2, 1e-15);
  l.AngleValue() = 0;
  l.DirectionAngleChanged();
  EXPECT_NEAR(D(l.Readout().derivative), 2, 1e-12);
  // The owner shows the course through the cursor point.
  EXPECT_TRUE(w->Overlays.course.shown);
  EXPECT_EQ(w->Overlays.course.cursor, (TPoint3D{1, 1, 2}));
  // The cursor point is marked as a point of pen width 3, whatever the
  // window's point size: the marker fills the disc of radius 2 about it
  // (the curve through it alone crosses that disc on a few pixels), and
  // only the curve leaves the marker's ring.
  l.MarkerHalfSize = 10;
  l.BufferValid[0] = 0;
  l.Invalidate(false);
  l.UpdateWindow();
  {
    plat::Point c;
    ASSERT_TRUE(l.WorldToPixel({1, 1}, c));
    const plat::Colour cursor = l.GetColourAvoidingBackground(l.CheckColourIndex(l.ColourSlots[kLevelCursorSlot]));
    int disc = 0, ring = 0;
    for (int dy = -9; dy <= 9; ++dy)
      for (int dx = -9; dx <= 9; ++dx) {
        const int d2 = dx * dx + dy * dy;
        const bool marked = test3d::ColourNear(l.Surface(), c.x + dx, c.y + dy, cursor, 0);
        disc += d2 <= 4 && marked;
        ring += d2 >= 25 && d2 <= 64 && marked;
      }
    EXPECT_GE(disc, 12) << "no cursor marker";
    EXPECT_LT(ring, 40);
  }
  // The gradient arrow is drawn in its colour.
  l.ColourSlots[kLevelGradientSlot] = 9;
  l.Command(kCmLevelGradient);
  EXPECT_TRUE(l.ShowGradient());
  l.UpdateWindow();
  plat::Point tip;
  ASSERT_TRUE(l.WorldToPixel({2, 2}, tip));
  EXPECT_TRUE(test3d::ColourNear(l.Surface(), tip.x, tip.y, l.GetColour(9), 3));
  // The cursor needs z levels of an explicit surface.
  const int ball = w->AppendEquation(kKindImplicitSurface, {"", "", "", "", "xx+yy+zz=4"});
  w->AddLevelCurve(ball, kLevelAxisZ, 0, false, false, false, false);
  EXPECT_FALSE(l.CursorAvailable());
  EXPECT_NE(l.MouseMode, kCmMouseCursor);
  EXPECT_FALSE(l.IsMenuItemEnabled(kCmMouseCursor));
  w->AddLevelCurve(bowl, kLevelAxisZ, 2, false, false, false, false);
  EXPECT_TRUE(l.IsMenuItemEnabled(kCmMouseCursor));
}

// The right button in cursor mode asks for the point in "LAGPT", filled
// with the clicked place; a point outside the view is refused there and
// the dialog stays until a good one is typed.
TEST_F(LevelWindow, TheRightButtonAsksForTheCursorPointInItsCoordinateDialog) {
  ASSERT_EQ(w->AddLevelCurve(bowl, kLevelAxisZ, 2, false, false, true, true), 1);
  TLevelWin& l = *w->LevelWin;
  l.Command(kCmMouseCursor);
  ASSERT_EQ(l.MouseMode, kCmMouseCursor);
  plat::Point at;
  ASSERT_TRUE(l.WorldToPixel({1, 0}, at));
  std::string caption, x, refused;
  bool deleteEnabled = true;
  plat::testing::ExpectDialog("LAGPT", [&](plat::Dialog& d) {
    caption = d.GetCaption();
    x = d.GetItemText(211);
    deleteEnabled = d.IsItemEnabled(52);
    d.SetItemText(211, "100");
    d.SetItemText(212, "0");
    plat::testing::ClearMessages();
    d.Press(plat::IDOK);
    if (!plat::testing::Messages().empty()) refused = plat::testing::Messages().back().text;
    d.SetItemText(211, "sqrt(2)/2");
    d.SetItemText(212, "-0.5");
    d.Press(plat::IDOK);
  });
  l.EvRButtonDown(0, at);
  Settle(&l);
  EXPECT_EQ(caption, "Koordinaten");
  EXPECT_NEAR(std::stod(x), 1, 0.05);
  EXPECT_FALSE(deleteEnabled);
  EXPECT_NE(refused.find("Grenzen"), std::string::npos) << refused;
  EXPECT_NEAR(D(l.CursorPoint().x), std::sqrt(0.5), 1e-12);
  EXPECT_NEAR(D(l.CursorPoint().y), -0.5, 1e-12);
  EXPECT_NEAR(D(l.Readout().z), 0.75, 1e-12);

  // The click is the cursor point already while the dialog asks, and stays
  // it after "Abbruch", with its values: z = 1 + 0.25 at (1, 0.5).
  ASSERT_TRUE(l.WorldToPixel({1, 0.5L}, at));
  TPoint2D asked{};
  plat::testing::ExpectDialog("LAGPT", [&](plat::Dialog& d) {
    asked = l.CursorPoint();
    d.Press(plat::IDCANCEL);
  });
  l.EvRButtonDown(0, at);
  Settle(&l);
  const TPoint2D click = l.PixelToWorldPoint(at);
  EXPECT_EQ(D(asked.x), D(click.x));
  EXPECT_EQ(D(l.CursorPoint().x), D(click.x));
  EXPECT_EQ(D(l.CursorPoint().y), D(click.y));
  EXPECT_NEAR(D(l.Readout().z), D(click.x * click.x + click.y * click.y), 1e-12);
  EXPECT_NEAR(D(l.Readout().z), 1.25, 0.05);
}

// Opening the level dialog makes the scratch picture of the course anew,
// and its list of stored pieces scrolls sideways;
// the picture has the window's size of the moment.
TEST_F(LevelWindow, TheLevelDialogMakesTheCoursePictureAtTheWindowSize) {
  w->BackBuffers[2] = plat::Bitmap();
  TLevelDlg& d = OpenDialog(bowl);
  EXPECT_EQ(w->BackBuffers[2].Width(), w->ClientWidth);
  EXPECT_EQ(w->BackBuffers[2].Height(), w->ClientHeight);
  // Its list of stored pieces scrolls sideways over 1000 pixels.
  Fields(d, "1", "1", "9", "2");
  d.Press(kLevelAuto);
  Settle(w);
  ASSERT_GT(d.ListCount(kIvpItemList), 0);
  EXPECT_EQ(d.ListHorizontalReach(kIvpItemList), 1000);
  w->LevelDlg->Hide();
  w->MoveWindow(20, 40, 500, 380);
  Settle(w);
  OpenDialog(bowl);
  EXPECT_EQ(w->BackBuffers[2].Width(), w->ClientWidth);
  EXPECT_EQ(w->BackBuffers[2].Height(), w->ClientHeight);
}

TEST_F(LevelWindow, LevelsOfYUseTheZxPlane) {
  const int ball = w->AppendEquation(kKindImplicitSurface, {"", "", "", "", "xx+yy+zz=4"});
  TEquation& e = w->Equation(ball);
  e.boxMin() = {-2, -3, -4};
  e.boxMax() = {2, 3, 6};
  w->AddLevelCurve(ball, kLevelAxisY, 1, false, false, false, false);
  TLevelWin& l = *w->LevelWin;
  EXPECT_EQ(l.AxisNames[0], "z");
  EXPECT_EQ(l.AxisNames[1], "x");
  EXPECT_NEAR(D(l.Centre.x), 1, 1e-12);
  EXPECT_NEAR(D(l.Centre.y), 0, 1e-12);
  // "Alles": every stored level; otherwise only the current one.
  EXPECT_EQ(l.LevelTolerance(), Exp42);
  w->AddLevelCurve(ball, kLevelAxisY, 1, false, false, false, true);
  EXPECT_NEAR(D(l.LevelTolerance()), 5 * std::pow(0.1, w->Decimals), 1e-15);
  // Hiding the level window hides its direction dialog too.
  w->HideLevelWindow();
  EXPECT_TRUE(l.Hidden);
}

TEST_F(LevelWindow, DirectionDialogTakesTypedAnglesAndTheSlider) {
  w->AddLevelCurve(bowl, kLevelAxisZ, 2, false, false, false, true);
  TLevelWin& l = *w->LevelWin;
  w->mediumSteps[30] = 25;  // the page step of the direction's slider entry
  l.Command(kCmMouseCursor);
  l.Command(kCmLevelDirection);
  TPctDlg* dlg = l.DirectionDialog();
  ASSERT_NE(dlg, nullptr);
  EXPECT_TRUE(dlg->IsVisible());
  EXPECT_EQ(dlg->GetScrollPos(kDirectionScroll), AngleSliderPosition(2.0L, l.AngleSteps()));
  // A page of the scroll bar is the 3D window's page step.
  EXPECT_EQ(dlg->GetScrollPage(kDirectionScroll), 25);
  dlg->SetItemText(kDirectionAngleEdit, "7");
  dlg->Press(plat::IDOK);
  EXPECT_NEAR(D(l.Angle()), 7 - 2 * Pi, 1e-15);
  EXPECT_EQ(dlg->GetScrollPos(kDirectionScroll), AngleSliderPosition(7 - 2 * Pi, l.AngleSteps()));
  // An unreadable angle leaves angle and slider.
  plat::testing::ClearMessages();
  dlg->SetItemText(kDirectionAngleEdit, "7+");
  dlg->Press(plat::IDOK);
  EXPECT_EQ(plat::testing::Messages().size(), 1u);
  EXPECT_NEAR(D(l.Angle()), 7 - 2 * Pi, 1e-15);
  // The slider sets the angle.
  dlg->SetScrollPos(kDirectionScroll, l.AngleSteps() / 4);
  dlg->EvControl(kDirectionScroll, plat::SB_CHANGED);
  EXPECT_NEAR(D(l.Angle()), Pi / 2, 1e-15);
  EXPECT_NEAR(D(l.Readout().derivative), D(l.Readout().fy), 1e-12);
  // New slider steps of the 3D window reach the shown slider: 400 steps in
  // pages of 400 / 8, the angle kept at its new position.
  ASSERT_EQ(w->SetSliderSteps(400, 8), 0);
  EXPECT_EQ(dlg->GetScrollRange(kDirectionScroll), std::make_pair(0, 400));
  EXPECT_EQ(dlg->GetScrollPage(kDirectionScroll), 50);
  EXPECT_EQ(dlg->GetScrollPos(kDirectionScroll), 100);
  EXPECT_NEAR(D(l.Angle()), Pi / 2, 1e-15);
}

}  // namespace
}  // namespace kv
