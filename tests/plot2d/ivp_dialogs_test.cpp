// The initial-value dialogs of the 2D window (dy/dt, dy/dx, sequences):
// opened from the menu, they draw solutions from their edits or from a
// click in the trajectory mouse mode, list them, keep start values as
// texts, delete them, and refuse bad settings with a numbered message.
#include <gtest/gtest.h>

#include <cmath>
#include <iterator>

#include "core/number_text.h"
#include "platform/resources.h"
#include "plot2d/ivp_dialogs.h"
#include "plot2d/plot2_test_util.h"
#include "plotcore/model/trajectories.h"

namespace kv {
namespace {

namespace pt = plat::testing;

class IvpDialogs : public test2d::Plot2Test {
 protected:
  void SetUp() override {
    Plot2Test::SetUp();
    pt::ClearMessages();
    w = MakeWindow();
  }
  int Add(int kind, std::initializer_list<std::string_view> texts) {
    const int i = w->AppendEquation(kind, texts);
    w->CompileEquation(i);
    w->EquationsChanged(false);
    return i;
  }
  bool SawMessage(int n) const {
    const std::string text = plat::res::String(400 + n);
    for (const auto& m : pt::Messages())
      if (m.text.find(text) != std::string::npos) return true;
    return false;
  }
  static void Edit(TIvpDlg& d, std::initializer_list<std::pair<int, const char*>> texts) {
    for (const auto& [id, text] : texts) d.SetItemText(id, text);
  }
  TEquationItem& Item(int i, int k = 0) { return *std::next(w->Equation(i).items.begin(), k); }
  TPlot2Win* w = nullptr;
};

TEST_F(IvpDialogs, TheMenuOpensOneDialogAtATimeAndSwitchesTheMouseToTrajectories) {
  const int ode = Add(kKindOde, {"-y", "x"});
  const int slope = Add(kKindOdeDyDx, {"", "", "x-y"});
  const int seq = Add(kKindSequence, {"x/2", "y"});
  EXPECT_EQ(w->ActiveIvpEquation(), -1);
  struct Step {
    int command;
    int active;
    std::int32_t mask;
  } steps[] = {{kCmAutonomousTrajectory, ode, 16}, {kCmSlopeTrajectory, slope, 32}, {kCmSequences, seq, 64}};
  for (const Step& s : steps) {
    w->MouseMode = kCmMouseCoordinates;
    ASSERT_TRUE(w->Command(s.command));
    EXPECT_EQ(w->MouseMode, kCmMouseTrajectories) << s.command;
    EXPECT_EQ(w->ActiveIvpEquation(), s.active) << s.command;
    EXPECT_EQ(w->GetOpenWindowsMask() & 0x70, s.mask) << s.command;
  }
  // Every template shows its t edit.
  for (TIvpDlg* d : std::initializer_list<TIvpDlg*>{w->AutonomousTrajectoryDialog(), w->SlopeTrajectoryDialog(),
                                                     w->SequenceDialog()})
    EXPECT_TRUE(d->IsItemVisible(kIdIvpStartT));
  // "Schließen" hides the dialog and leaves the trajectory mode.
  w->SequenceDialog()->PressEscape();
  EXPECT_EQ(w->ActiveIvpEquation(), -1);
  EXPECT_EQ(w->MouseMode, kCmMouseCoordinates);
  EXPECT_EQ(w->GetOpenWindowsMask() & 0x70, 0);
  // A plot file's list of open dialogs opens them again.
  w->RestoreSideWindows(32);
  EXPECT_FALSE(w->SlopeTrajectoryDialog()->IsHidden());
  EXPECT_EQ(w->ActiveIvpEquation(), slope);
  // Deleting the last entry of a kind closes its dialog.
  w->Command(kCmSlopeTrajectory);
  w->DeleteEquations({slope});
  w->EquationsChanged(false);
  w->CloseStaleDialogs(false);
  EXPECT_EQ(w->SlopeTrajectoryDialog(), nullptr);
  ASSERT_NE(w->AutonomousTrajectoryDialog(), nullptr);
  // Saved under a new name: the captions name the new file.
  w->FileData.FileName = "/tmp/kreis.kv2";
  w->ClearModified();
  EXPECT_EQ(w->AutonomousTrajectoryDialog()->GetCaption(), plat::res::String(168) + " [kreis.kv2]");
  EXPECT_EQ(w->SequenceDialog()->GetCaption(), plat::res::String(168) + " [kreis.kv2]");
}

TEST_F(IvpDialogs, DyDxSolutionsAreDrawnListedTabulatedAndDeleted) {
  const int i = Add(kKindOdeDyDx, {"", "", "y"});
  w->Command(kCmSlopeTrajectory);
  TIvp11Dlg& d = *w->SlopeTrajectoryDialog();
  EXPECT_TRUE(d.IsChecked(kIdIvpFirstRadio));
  EXPECT_EQ(d.GetItemText(kIdIvpSteps), "20");
  // 213 is the step size's label here, not a z edit.
  EXPECT_TRUE(d.IsItemVisible(kIdIvpStartZ));
  EXPECT_EQ(d.GetItemText(kIdIvpStartZ), "Schrittweite");
  // The start goes through the window's number reader: "1e0" is one, not 1·e·0.
  Edit(d, {{kIdIvpStartX, "0"}, {kIdIvpStartY, "1e0"}, {kIdIvpStepSize, "0.1"}, {kIdIvpPenWidth, "2"}});
  d.SetCheck(kIdIvpFirstRadio, false);
  d.SetCheck(kIdIvpThirdRadio, true);
  d.Press(kIdIvpDraw);
  ASSERT_EQ(w->Equation(i).items.size(), 1u);
  const TEquationItem& item = Item(i);
  EXPECT_EQ(item.start.x, 0);
  EXPECT_EQ(item.start.y, 1);
  EXPECT_EQ(item.method, kMethodRungeKutta);
  EXPECT_NEAR(static_cast<double>(item.paramEnd), 0.1, 1e-15);
  EXPECT_EQ(item.pen.width, 2);
  // It left the view at the top after about ln ymax / 0.1 steps.
  EXPECT_NEAR(static_cast<double>(item.stepLimit), std::log(static_cast<double>(w->World.ymax)) / 0.1, 1);
  EXPECT_EQ(d.ListCount(kIdIvpItems), 1);
  EXPECT_EQ(d.CurrentPosition(), 0);
  EXPECT_TRUE(w->Modified);
  Settle(w);
  const plat::Colour c = w->DrawingColourOf(w->CheckColourIndex(item.pen.colour));
  EXPECT_TRUE(test2d::ColourNear(w->Surface(), w->WorldToPixelX(1), w->WorldToPixelY(std::exp(1.0)), c, 2));

  // "Tabelle" takes the step count of the edit as the item's limit; a count
  // beyond the bound is refused and the limit stays.
  d.SetItemText(kIdIvpSteps, "2000000");
  plat::testing::ClearMessages();
  d.Press(kIdIvpTable);
  ASSERT_EQ(plat::testing::Messages().size(), 1u);
  EXPECT_EQ(plat::testing::Messages()[0].text, "jenseits der Grenzen");
  d.SetItemText(kIdIvpSteps, "5");
  d.Press(kIdIvpTable);
  EXPECT_EQ(Item(i).stepLimit, 5);
  ASSERT_NE(w->TableWindow(), nullptr);

  // A second solution goes to the head of the list; "Löschen" removes the
  // one selected, "Alles löschen" the rest once confirmed.
  Edit(d, {{kIdIvpStartY, "-1"}});
  d.Press(kIdIvpDraw);
  ASSERT_EQ(w->Equation(i).items.size(), 2u);
  EXPECT_EQ(Item(i).start.y, -1);
  EXPECT_EQ(d.ListCount(kIdIvpItems), 2);
  d.Press(kIdIvpDelete);
  ASSERT_EQ(w->Equation(i).items.size(), 1u);
  EXPECT_EQ(Item(i).start.y, 1);
  pt::ExpectDialog("YNMBOX", [](plat::Dialog& m) { m.Press(89); });
  d.Press(kIdIvpDeleteAll);
  EXPECT_EQ(w->Equation(i).items.size(), 1u);
  pt::ExpectDialog("YNMBOX", [](plat::Dialog& m) { m.Press(88); });
  d.Press(kIdIvpDeleteAll);
  EXPECT_TRUE(w->Equation(i).items.empty());
  EXPECT_EQ(d.CurrentPosition(), -1);
  EXPECT_EQ(pt::PendingExpectations(), 0);
}

TEST_F(IvpDialogs, BadSettingsAreRefusedWithTheirMessageAndDrawNothing) {
  const int ode = Add(kKindOde, {"1", "0"});
  const int slope = Add(kKindOdeDyDx, {"", "", "y"});
  const int seq = Add(kKindSequence, {"x/2", "y"});
  struct Case {
    int command;
    int entry;
    std::vector<std::pair<int, const char*>> texts;
    int button;
    int message;
  } cases[] = {
      {kCmSlopeTrajectory, slope, {{kIdIvpStepSize, "0"}}, kIdIvpDraw, 6},
      {kCmSlopeTrajectory, slope, {{kIdIvpStepSize, "1e-20"}}, kIdIvpDraw, 6},
      {kCmSlopeTrajectory, slope, {{kIdIvpDelay, "0"}}, kIdIvpFollow, 14},
      {kCmSlopeTrajectory, slope, {{kIdIvpDelay, "0"}, {kIdIvpStepSize, "0"}}, kIdIvpFollow, 6},  // step first
      {kCmSlopeTrajectory, slope, {{kIdIvpStartX, "2*"}}, kIdIvpDraw, -1},
      {kCmAutonomousTrajectory, ode, {{kIdIvpSteps, "0"}}, kIdIvpDraw, 14},
      {kCmAutonomousTrajectory, ode, {{kIdIvpStartT, "ln(0)"}}, kIdIvpDraw, 1},
      {kCmSequences, seq, {{kIdIvpTerms, "0"}}, kIdIvpDraw, 17},
      {kCmSequences, seq, {{kIdIvpTerms, "5000000"}}, kIdIvpDraw, 17},
      {kCmSequences, seq, {{kIdIvpDelay, "0"}}, kIdIvpFollow, 14},
  };
  for (const Case& c : cases) {
    w->Command(c.command);
    TIvpDlg* d = c.command == kCmAutonomousTrajectory ? static_cast<TIvpDlg*>(w->AutonomousTrajectoryDialog())
                 : c.command == kCmSlopeTrajectory    ? static_cast<TIvpDlg*>(w->SlopeTrajectoryDialog())
                                                      : static_cast<TIvpDlg*>(w->SequenceDialog());
    Edit(*d, {{kIdIvpStartX, "0.5"}, {kIdIvpStartY, "0.5"}, {kIdIvpStartT, "0"}, {kIdIvpDelay, "1"}});
    if (c.command == kCmSlopeTrajectory) d->SetItemText(kIdIvpStepSize, "0.1");
    d->SetCheck(kIdIvpDurationLimit, true);
    d->SetItemText(kIdIvpSteps, "2");
    for (const auto& [id, text] : c.texts) d->SetItemText(id, text);
    pt::ClearMessages();
    d->Press(c.button);
    EXPECT_TRUE(w->Equation(c.entry).items.empty()) << c.texts[0].second;
    EXPECT_EQ(pt::Messages().size(), 1u) << c.texts[0].second;
    if (c.message >= 0) {
      EXPECT_TRUE(SawMessage(c.message)) << c.texts[0].second;
    }
    EXPECT_EQ(w->followFlag, 0);
  }
}

TEST_F(IvpDialogs, DyDtDrawsBothWaysOrOneAndLimitsTheDuration) {
  const int i = Add(kKindOde, {"1", "0"});
  w->Command(kCmAutonomousTrajectory);
  TIvp10Dlg& d = *w->AutonomousTrajectoryDialog();
  EXPECT_EQ(d.GetDirection(), 0);
  Edit(d, {{kIdIvpStartX, "0"}, {kIdIvpStartY, "1"}, {kIdIvpStartT, "0"}});
  d.Press(kIdIvpDraw);
  ASSERT_EQ(w->Equation(i).items.size(), 2u);
  EXPECT_EQ(Item(i, 0).direction + Item(i, 1).direction, 0);

  // Forward for one unit of time: x' = 1 reaches x = 1.
  d.SetCheck(kIdIvpThirdRadio, false);
  d.SetCheck(kIdIvpFirstRadio, true);
  d.SetCheck(kIdIvpDurationLimit, true);
  d.SetItemText(kIdIvpSteps, "1");
  d.Press(kIdIvpDraw);
  ASSERT_EQ(w->Equation(i).items.size(), 3u);
  TPoint3D end;
  bool finished = false;
  w->RunTrajectory(i, Item(i), nullptr, finished, &end);
  EXPECT_TRUE(finished);
  EXPECT_NEAR(static_cast<double>(end.x), 1.0, 1e-9);

  // "Endpunkt": where the solution without a limit leaves the view, shown
  // in the edits for the next drawing.
  Item(i).stepLimit = 0;
  d.Press(kIdIvpEndPoint);
  EXPECT_GT(d.StoredT(), 5);
  long double x = 0;
  ParseLongDouble(x, d.GetItemText(kIdIvpStartX));
  EXPECT_GT(x, w->World.xmax);
}

TEST_F(IvpDialogs, StartValuesKeptAsTextsFollowTheParameters) {
  const int i = Add(kKindSequence, {"x/2", "y"});
  w->SetVariable('A', 2);
  w->Command(kCmSequences);
  TIvp12Dlg& d = *w->SequenceDialog();
  EXPECT_EQ(d.GetItemText(kIdIvpTerms), "512");
  Edit(d, {{kIdIvpStartX, "A"}, {kIdIvpStartY, "A+1"}, {kIdIvpTerms, "5"}});
  d.SetCheck(kIdIvpKeepTexts, true);
  d.Press(kIdIvpDraw);
  ASSERT_EQ(w->Equation(i).items.size(), 1u);
  TEquationItem& item = Item(i);
  EXPECT_TRUE(KeepsStartTexts(item));
  EXPECT_EQ(item.texts[0], "A");
  EXPECT_EQ(item.stepLimit, 4);
  EXPECT_EQ(d.GetItemText(kIdIvpTerms), "5");
  EXPECT_EQ(w->IterateSequenceItem(i, item, 4).back().x, 2.0L / 16);
  w->SetVariable('A', 3);
  ASSERT_TRUE(w->EvaluateItemStart(item, kKindSequence));
  EXPECT_EQ(item.start.x, 3);
  EXPECT_EQ(item.start.y, 4);
  // One term is the start point alone.
  d.SetItemText(kIdIvpTerms, "1");
  d.Press(kIdIvpDraw);
  EXPECT_EQ(w->IterateSequenceItem(i, Item(i), w->SequenceTermCount(Item(i))).size(), 1u);
  EXPECT_EQ(d.GetItemText(kIdIvpTerms), "1");
  // Without the check box the values are kept.
  d.SetCheck(kIdIvpKeepTexts, false);
  d.Press(kIdIvpDraw);
  EXPECT_FALSE(KeepsStartTexts(Item(i)));
  // "Verfolgen" reads the delay typed (tenths of a millisecond) and waits it after each term: five
  // terms at 100 take 50 ms of the fake clock.
  Edit(d, {{kIdIvpDelay, "100"}, {kIdIvpTerms, "5"}});
  pt::FakeTicks(true);
  d.Press(kIdIvpFollow);
  EXPECT_EQ(plat::TickMilliseconds(), 50);
  pt::FakeTicks(false);
  EXPECT_EQ(w->followDelay, 100);
  EXPECT_EQ(w->followFlag, 0);
  EXPECT_EQ(w->Equation(i).items.size(), 4u);

  // On logarithmic axes the item keeps the exponents of the values its
  // texts give, and a text whose value has no logarithm leaves it as it was.
  w->LogWindowType = 3;
  w->AxisKind = 3;
  w->SetVariable('A', 100);
  Edit(d, {{kIdIvpStartX, "A"}, {kIdIvpStartY, "10"}, {kIdIvpTerms, "3"}});
  d.SetCheck(kIdIvpKeepTexts, true);
  d.Press(kIdIvpDraw);
  ASSERT_EQ(w->Equation(i).items.size(), 5u);
  TEquationItem& onLogAxes = Item(i);
  EXPECT_TRUE(KeepsStartTexts(onLogAxes));
  EXPECT_EQ(onLogAxes.start.x, 2);
  EXPECT_EQ(onLogAxes.start.y, 1);
  w->SetVariable('A', 1000);
  ASSERT_TRUE(w->EvaluateItemStart(onLogAxes, kKindSequence));
  EXPECT_NEAR(static_cast<double>(onLogAxes.start.x), 3, 1e-15);
  w->SetVariable('A', -1);
  EXPECT_FALSE(w->EvaluateItemStart(onLogAxes, kKindSequence));
  EXPECT_NEAR(static_cast<double>(onLogAxes.start.x), 3, 1e-15);
  w->LogWindowType = 0;
  w->AxisKind = 0;

  // Closed and opened again, the dialog shows the solution it showed.
  d.ListSetSel(kIdIvpItems, 2);
  d.EvControl(kIdIvpItems, plat::LBN_SELCHANGE);
  ASSERT_EQ(d.CurrentPosition(), 2);
  d.PressEscape();
  w->Command(kCmSequences);
  EXPECT_FALSE(d.IsHidden());
  EXPECT_EQ(d.CurrentPosition(), 2);
}

TEST_F(IvpDialogs, AClickInTheTrajectoryModeStartsTheActiveDialogsSolution) {
  const int i = Add(kKindOdeDyDx, {"", "", "x-y"});
  const plat::Point at{w->WorldToPixelX(-2), w->WorldToPixelY(1)};
  w->MouseMode = kCmMouseTrajectories;
  EXPECT_EQ(w->TrajectoryClick(at, false), 9);
  w->Command(kCmSlopeTrajectory);
  TIvp11Dlg& d = *w->SlopeTrajectoryDialog();
  d.SetItemText(kIdIvpDelay, "1");
  EXPECT_EQ(w->TrajectoryClick(at, false), 0);
  ASSERT_EQ(w->Equation(i).items.size(), 1u);
  TPoint2D world;
  w->PixelToWorld(at, world);
  EXPECT_EQ(Item(i).start.x, world.x);
  EXPECT_EQ(Item(i).start.y, world.y);
  EXPECT_EQ(d.ListCount(kIdIvpItems), 1);
  // The left button follows the solution; the flags are down afterwards.
  EXPECT_EQ(w->TrajectoryClick(at, true), 0);
  EXPECT_EQ(w->Equation(i).items.size(), 2u);
  EXPECT_EQ(w->followFlag, 0);
  EXPECT_EQ(w->trajectoryButton, 0);
  // A bad step size is refused before anything is drawn.
  d.SetItemText(kIdIvpStepSize, "0");
  EXPECT_EQ(w->TrajectoryClick(at, false), 6);
  EXPECT_EQ(w->Equation(i).items.size(), 2u);
  // With the dialog hidden a click does nothing.
  d.Hide();
  w->EvLButtonDown(0, at);
  EXPECT_EQ(w->Equation(i).items.size(), 2u);

  // A sequence: the left button follows it at the dialog's delay (four terms at 100, 10 ms each),
  // the right button draws it at once.
  const int seq = Add(kKindSequence, {"x/2", "y"});
  w->Command(kCmSequences);
  TIvp12Dlg& s = *w->SequenceDialog();
  Edit(s, {{kIdIvpDelay, "100"}, {kIdIvpTerms, "4"}});
  for (const bool left : {true, false}) {
    w->UpdateWindow();  // no repaint waits
    pt::FakeTicks(true);
    EXPECT_EQ(w->TrajectoryClick(at, left), 0);
    EXPECT_EQ(plat::TickMilliseconds(), left ? 40 : 0) << left;
    pt::FakeTicks(false);
  }
  EXPECT_EQ(w->Equation(seq).items.size(), 2u);
  EXPECT_EQ(w->followFlag, 0);
}

}  // namespace
}  // namespace kv
