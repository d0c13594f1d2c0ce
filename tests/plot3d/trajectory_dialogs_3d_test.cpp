// The 3D window's "DGL Kurve" and "Folgen" dialogs: opened from the menu,
// they draw solutions in space from their start edits, the trajectory
// mouse mode uses the open one, and the solutions come back from the file.
#include <gtest/gtest.h>

#include <cstdlib>
#include <iterator>
#include <utility>

#include "entry/trajectory_dialogs.h"
#include "plot3d/plot3_test_util.h"
#include "support/temp_dir.h"

namespace kv {
namespace {

using test3d::CountOther;

class TrajectoryDialogs3D : public test3d::Plot3Test {
 protected:
  void SetUp() override {
    Plot3Test::SetUp();
    w = MakeWindow();
    w->RepaintNow(false);
    Settle(w);
  }
  int Add(int kind, std::initializer_list<std::string_view> texts) {
    const int i = w->AppendEquation(kind, texts);
    w->CompileEquation(i);
    w->EquationsChanged(false);
    return i;
  }
  static void Edit(TIvpDlg& d, std::initializer_list<std::pair<int, const char*>> texts) {
    for (const auto& [id, text] : texts) d.SetItemText(id, text);
  }
  int Drawn() {
    w->RepaintNow(false);
    return CountOther(w->Surface(), w->GetColour(w->ColourSlots[0]));
  }
  TPlot3Win* w = nullptr;
};

TEST_F(TrajectoryDialogs3D, TheMenuOpensOneDialogAtATimeForItsKind) {
  EXPECT_FALSE(w->QueryCommand(kCm3OdeCurve).enabled);
  EXPECT_FALSE(w->QueryCommand(kCm3Sequences).enabled);
  const int ode = Add(kKindOde3D, {"-y", "x", "1"});
  const int seq = Add(kKindSequence3D, {"x/2", "y/2", "z/2"});
  ASSERT_TRUE(w->QueryCommand(kCm3OdeCurve).enabled);
  w->MouseMode = kCmMouseCoordinates;
  ASSERT_TRUE(w->Command(kCm3OdeCurve));
  ASSERT_TRUE(w->TrajectoryDialog());
  EXPECT_EQ(w->TrajectoryDialog()->SelectedEquation(), ode);
  EXPECT_EQ(w->MouseMode, kCmMouseTrajectories);
  EXPECT_EQ(w->ActiveTrajectoryEquation(), ode);
  EXPECT_TRUE(w->QueryCommand(kCm3Trajectories).enabled);
  // "Folgen" hides the trajectory dialog; the mouse mode stays.
  ASSERT_TRUE(w->Command(kCm3Sequences));
  EXPECT_TRUE(w->TrajectoryDialog()->IsHidden());
  EXPECT_FALSE(w->SequenceDialog()->IsHidden());
  EXPECT_EQ(w->SequenceDialog()->SelectedEquation(), seq);
  EXPECT_EQ(w->ActiveTrajectoryEquation(), -1);
  // Deleting the last sequence entry hides its dialog.
  w->DeleteEquations({seq});
  w->EquationsChanged(false);
  w->CloseStaleDialogs(false);
  EXPECT_TRUE(w->SequenceDialog()->IsHidden());
}

TEST_F(TrajectoryDialogs3D, DrawAddsASolutionInSpaceThatComesBackFromTheFile) {
  struct Case {
    int kind;
    int command;
    std::initializer_list<std::string_view> texts;
  };
  for (const Case& c : {Case{kKindOde3D, kCm3OdeCurve, {"-y", "x", "0.1"}},
                        Case{kKindSequence3D, kCm3Sequences, {"0.9x", "0.9y", "z"}}}) {
    SCOPED_TRACE(c.kind);
    w = MakeWindow();
    const int i = Add(c.kind, c.texts);
    const int before = Drawn();
    ASSERT_TRUE(w->Command(c.command));
    TIvpDlg& d = c.kind == kKindOde3D ? static_cast<TIvpDlg&>(*w->TrajectoryDialog())
                                      : static_cast<TIvpDlg&>(*w->SequenceDialog());
    // The z edit is there in space.
    Edit(d, {{kIdIvpStartX, "2"}, {kIdIvpStartY, "0"}, {kIdIvpStartZ, "1"}, {kIdIvpStartT, "0"}});
    d.Press(kIdIvpDraw);
    ASSERT_FALSE(w->Equation(i).items.empty());
    const TEquationItem& item = w->Equation(i).items.front();
    EXPECT_EQ(static_cast<double>(item.start.z), 1.0);
    EXPECT_GT(Drawn(), before);
    if (c.kind == kKindSequence3D) {
      // "Verfolgen" reads the delay typed and waits it after each term: twenty terms at 100
      // (tenths of a millisecond) take 200 ms of the fake clock.
      Edit(d, {{kIdIvpDelay, "100"}, {kIdIvpTerms, "20"}});
      plat::testing::FakeTicks(true);
      d.Press(kIdIvpFollow);
      EXPECT_EQ(plat::TickMilliseconds(), 200);
      plat::testing::FakeTicks(false);
      EXPECT_EQ(w->followDelay, 100);
      EXPECT_EQ(w->followFlag, 0);
      w->Equation(i).items.pop_front();
    }
    const std::size_t items = w->Equation(i).items.size();

    const std::string path = kvtest::MakeTempDir("ivp3d") + "/bahn.kv3";
    w->FileData.FileName = path;
    ASSERT_TRUE(w->WriteFile());
    TPlot3Win* r = PlotWindowTest::MakeWindow("Unbenannt2.kv3");
    r->FileData.FileName = path;
    ASSERT_EQ(r->ReadFile(), 0);
    ASSERT_EQ(r->Equation(i).items.size(), items);
    EXPECT_EQ(r->Equation(i).items.front().start, item.start);
    // The file's entry is found by its menu command.
    EXPECT_TRUE(r->QueryCommand(c.command).enabled);
  }
}

// "Verfolgen" in space: x' = 1, y' = z' = 0 from (0, 1, 1) is a line along x whose step j of 0.5
// (about 13 pixels) ends at x = j/2.  Each step goes onto the screen before its pause (the delay
// typed, in tenths of ms; a long one waited in slices): at tick T the screen shows the first
// ceil(10 T / delay) steps and no later one, and the run takes the pauses of all its steps.
TEST_F(TrajectoryDialogs3D, AFollowedSolutionShowsEachStepBeforeItsPause) {
  const int i = Add(kKindOde3D, {"1", "0", "0"});
  w->Equation(i).penColour = 4;
  w->trajectoryDensity = 2;
  constexpr int kSteps = 4;  // a duration of 2
  const plat::Colour c = w->DrawingColourOf(4);
  // Whether the middle of step j (from 1) shows the colour within a pixel.
  const auto shows = [&](const plat::Bitmap& b, int j) {
    plat::Point px;
    w->WorldToPixel(w->ProjectRotated({(j - 0.5L) / 2, 1, 1}), px);
    return kvtest::ColourNear(b, px.x, px.y, c, 1);
  };
  const auto stepsShown = [&](const plat::Bitmap& b) { return kvtest::StepsShown(b, kSteps, shows); };
  ASSERT_TRUE(w->Command(kCm3OdeCurve));
  TIvp10Dlg& d = *w->TrajectoryDialog();
  d.SetCheck(kIdIvpThirdRadio, false);
  d.SetCheck(kIdIvpFirstRadio, true);  // forwards
  d.SetCheck(kIdIvpDurationLimit, true);
  const std::pair<const char*, int> cases[] = {{"1000", 250}, {"250", 30}};  // delay, tick looked at
  for (const auto& [delay, lookAt] : cases) {
    SCOPED_TRACE(delay);
    w->Equation(i).items.clear();
    Edit(d, {{kIdIvpStartX, "0"}, {kIdIvpStartY, "1"}, {kIdIvpStartZ, "1"}, {kIdIvpStartT, "0"},
             {kIdIvpSteps, "2"}, {kIdIvpDelay, delay}});
    w->RepaintNow(false);
    Settle(w);  // the paints a user's previous click left are done before the next one
    plat::testing::FakeTicks(true);
    plat::Bitmap middle;
    plat::testing::AtTick(lookAt, [&] { middle = w->Surface(); });
    d.Press(kIdIvpFollow);
    const std::int64_t end = plat::TickMilliseconds();
    plat::testing::FakeTicks(false);
    const int tenths = std::atoi(delay);
    EXPECT_EQ(end, kSteps * tenths / 10);
    ASSERT_EQ(w->Equation(i).items.size(), 1u);
    ASSERT_FALSE(middle.IsNull()) << "no pause reached the tick";
    EXPECT_EQ(stepsShown(middle), (10 * lookAt + tenths - 1) / tenths);
    EXPECT_EQ(stepsShown(w->Surface()), kSteps);
  }
}

TEST_F(TrajectoryDialogs3D, BadStartValuesAreRefusedAndDrawNothing) {
  const int i = Add(kKindOde3D, {"1", "0", "0"});
  w->Command(kCm3OdeCurve);
  TIvp10Dlg& d = *w->TrajectoryDialog();
  plat::testing::ClearMessages();
  Edit(d, {{kIdIvpStartX, "0"}, {kIdIvpStartY, "0"}, {kIdIvpStartZ, "1/0"}});
  d.Press(kIdIvpDraw);
  EXPECT_TRUE(w->Equation(i).items.empty());
  EXPECT_FALSE(plat::testing::Messages().empty());
}

TEST_F(TrajectoryDialogs3D, AClickInTrajectoryModeUsesTheDialogsDirectionAndListsTheStart) {
  const int s = w->AppendEquation(kKindSurface, {"", "", "0"});
  w->Equation(s).lowerBound = {-2, -2};
  w->Equation(s).upperBound = {2, 2};
  w->UpdateBox(s);
  const int i = Add(kKindOde3D, {"1", "0", "0"});
  w->RepaintNow(false);
  Settle(w);
  // Without the dialog the mode has no equation to start.
  plat::Point px;
  w->WorldToPixel(w->ProjectRotated({0.5L, 0.5L, 0}), px);
  EXPECT_EQ(w->StartTrajectoryAtPoint(px, false), 9);
  ASSERT_TRUE(w->Command(kCm3OdeCurve));
  TIvp10Dlg& d = *w->TrajectoryDialog();
  d.SetCheck(kIdIvpThirdRadio, false);
  d.SetCheck(kIdIvpSecondRadio, true);  // "rück"
  w->EvRButtonDown(0, px);
  ASSERT_EQ(w->Equation(i).items.size(), 1u);
  EXPECT_EQ(w->Equation(i).items.front().direction, -1);
  EXPECT_NEAR(static_cast<double>(w->Equation(i).items.front().start.z), 0.0, 0.2);
  EXPECT_EQ(d.ListCount(kIdIvpItems), 1);
}

}  // namespace
}  // namespace kv
