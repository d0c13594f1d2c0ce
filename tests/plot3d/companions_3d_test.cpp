// The companion windows of the 3D window as it opens, refreshes and hides
// them: the level window, the course window and the level dialog.
#include <gtest/gtest.h>

#include "plot3d/level_dialog.h"
#include "plot3d/level_win.h"
#include "plot3d/model/level_plane.h"
#include "plot3d/plot3_test_util.h"
#include "plot3d/direction_dialog.h"
#include "platform/resources.h"
#include "shell/col_win.h"
#include "support/temp_dir.h"

namespace kv {
namespace {

class Companions3D : public test3d::Plot3Test {
 protected:
  TPlot3Win* w = nullptr;
  int bowl = -1;
  int roof = -1;
  void SetUp() override {
    Plot3Test::SetUp();
    w = MakeWindow();
    bowl = Surface("xx+yy");
    roof = Surface("x+y");
    w->RepaintNow(true);
    Settle(w);
  }
  int Surface(const char* f) {
    const int i = w->AppendEquation(kKindSurface, {"", "", f});
    w->Equation(i).lowerBound = {-3, -3};
    w->Equation(i).upperBound = {3, 3};
    w->CompileEquation(i);
    w->UpdateBox(i);
    return i;
  }
};

TEST_F(Companions3D, LevelWindowOpensOnceAndDrawsOnRequest) {
  EXPECT_EQ(w->LevelWin, nullptr);
  ASSERT_EQ(w->AddLevelCurve(bowl, kLevelAxisZ, 4, false, false, false, false), 1);
  ASSERT_NE(w->LevelWin, nullptr);
  TLevelWin* level = w->LevelWin;
  EXPECT_EQ(level->GetCaption().rfind("Höhen.kv3", 0), 0u) << level->GetCaption();
  EXPECT_TRUE(level->IsVisible());
  // Without drawNow the picture is only marked stale.
  EXPECT_EQ(level->PlotBufferValid, 0);
  ASSERT_EQ(w->AddLevelCurve(bowl, kLevelAxisZ, 1, false, false, true, false), 1);
  EXPECT_EQ(w->LevelWin, level);
  EXPECT_EQ(level->GetCaption().rfind("Höhen.kv3", 0), 0u);
}

TEST_F(Companions3D, CompanionsRedrawWhenTheirSurfaceChanges) {
  ASSERT_EQ(w->AddLevelCurve(bowl, kLevelAxisZ, 4, false, false, true, false), 1);
  TLevelWin& level = *w->LevelWin;
  level.PlotBufferValid = 1;
  // Another entry changing leaves the level window's picture alone.
  w->InvalidateCompanions(roof);
  EXPECT_EQ(level.PlotBufferValid, 1);
  w->InvalidateCompanions(bowl);
  EXPECT_EQ(level.PlotBufferValid, 0);
  level.PlotBufferValid = 1;
  w->InvalidateCompanions(-1);
  EXPECT_EQ(level.PlotBufferValid, 0);
}

TEST_F(Companions3D, HidingGoesThroughTheThreeDWindow) {
  // Nothing to hide yet.
  w->HideLevelWindow();
  w->HideCourseWindow();
  EXPECT_EQ(w->LevelWin, nullptr);
  EXPECT_EQ(w->CourseWin, nullptr);
  ASSERT_EQ(w->AddLevelCurve(bowl, kLevelAxisZ, 4, false, false, false, false), 1);
  ASSERT_EQ(w->ShowCourseWindow(bowl, false, false, false), 1);
  ASSERT_NE(w->CourseWin, nullptr);
  EXPECT_NE(w->CourseWin, w->LevelWin);
  EXPECT_EQ(w->CourseWin->GetCaption().rfind("Verlauf.kv3", 0), 0u);
  // Both open beside the 3D window, half a screen to the right.
  for (const TLevelWin* c : {w->LevelWin, w->CourseWin}) {
    EXPECT_GE(c->Placement.x, w->HalfScreenWidth) << c->GetCaption();
    EXPECT_LT(c->Placement.x, w->HalfScreenWidth + 80) << c->GetCaption();
  }
  w->HideLevelWindow();
  EXPECT_FALSE(w->LevelWin->IsVisible());
  if (w->LevelWin->DirectionDialog()) {
    EXPECT_FALSE(w->LevelWin->DirectionDialog()->IsVisible());
  }
  w->HideCourseWindow();
  EXPECT_FALSE(w->CourseWin->IsVisible());
  // Both come back on the next request, as the same windows.
  TLevelWin* level = w->LevelWin;
  ASSERT_EQ(w->AddLevelCurve(bowl, kLevelAxisZ, 2, false, false, false, false), 1);
  EXPECT_EQ(w->LevelWin, level);
  EXPECT_TRUE(level->IsVisible());
  // A new drawing ends them.
  w->CloseStaleDialogs(true);
  EXPECT_EQ(w->LevelWin, nullptr);
  EXPECT_EQ(w->CourseWin, nullptr);
}

TEST_F(Companions3D, HiddenLevelDialogTakesTheNewSurface) {
  w->OpenLevelDialog(bowl);
  ASSERT_NE(w->LevelDlg, nullptr);
  TLevelDlg& d = *w->LevelDlg;
  EXPECT_EQ(d.EquationIndex(), bowl);
  // While shown it keeps its surface.
  w->OpenLevelDialog(roof);
  EXPECT_EQ(d.EquationIndex(), bowl);
  d.Hide();
  w->OpenLevelDialog(roof);
  EXPECT_EQ(w->LevelDlg, &d);
  EXPECT_EQ(d.EquationIndex(), roof);
  EXPECT_FALSE(d.IsHidden());
}

}  // namespace
}  // namespace kv

namespace kv {
namespace {

// The level window's background and cursor colours are the 3D window's: a
// new one starts white with a black cursor, and what the user picks in it
// is kept with the 3D window's plot file.  Its colour windows are captioned
// by what they colour.
TEST_F(Companions3D, TheLevelWindowsColoursAreKeptWithThePlotFile) {
  ASSERT_EQ(w->AddLevelCurve(bowl, kLevelAxisZ, 4, false, false, false, false), 1);
  TLevelWin& level = *w->LevelWin;
  EXPECT_EQ(level.GetColour(level.ColourSlots[0]), plat::Rgb(255, 255, 255));
  EXPECT_EQ(level.GetColour(level.ColourSlots[1]), plat::Rgb(0, 0, 0));
  // The colour windows of the gradient and the direction say what they
  // colour.
  for (const auto& [command, caption] : {std::pair{204, "grad"}, std::pair{205, "Richtung"}}) {
    ASSERT_TRUE(level.Command(command));
    ASSERT_NE(level.ColourWindow, nullptr);
    EXPECT_EQ(plat::res::String(level.ColourWindow->CaptionId), caption);
  }
  level.ColourSlots[0] = 18;
  level.ColourSlots[1] = 4;
  level.UpdateWindow();
  const std::string path = kvtest::MakeTempDir("levelcolours") + "/levels.kv3";
  w->FileData.FileName = path;
  ASSERT_TRUE(w->WriteFile());
  TPlot3Win* r = PlotWindowTest::MakeWindow("Unbenannt2.kv3");
  r->FileData.FileName = path;
  ASSERT_EQ(r->ReadFile(), 0);
  ASSERT_EQ(r->AddLevelCurve(bowl, kLevelAxisZ, 4, false, false, false, false), 1);
  EXPECT_EQ(r->LevelWin->ColourSlots[0], 18);
  EXPECT_EQ(r->LevelWin->ColourSlots[1], 4);
}

}  // namespace
}  // namespace kv
