// The point-finding tools of the 2D window as a user meets them: the
// commands open their dialogs, "Nächste" steps through the answers, which
// are marked, attached as results, stored in parameters or added as point
// entries, and the results and points come back with the file.
#include <cmath>
#include <string>
#include <utility>

#include "core/constants.h"
#include "entry/trace_dialog.h"
#include "entry/trace_traj_dialog.h"
#include "platform/keys.h"
#include "platform/testing.h"
#include "plotcore/model/trajectories.h"
#include "plot2d/plot2_test_util.h"
#include "support/temp_dir.h"

namespace kv {
namespace {

double D(long double v) { return static_cast<double>(v); }

class PointTools : public test2d::Plot2Test {
 protected:
  void SetUp() override {
    Plot2Test::SetUp();
    w = MakeWindow();
  }
  int Add(int kind, const char* a, const char* b = "", const char* c = "", const char* d = "", const char* e = "",
          long double lo = -5, long double hi = 5) {
    const int i = w->AppendEquation(kind, lo, hi, a, b, c, d, e);
    w->CompileEquation(i);
    w->AddEquationLabel();
    w->EquationsChanged(false);
    return i;
  }
  std::string Result(plat::Dialog& d) { return d.GetItemText(kIdToolResult); }
  bool Enabled(plat::Dialog& d, int id) { return d.QueryEnabler(id).enabled; }
  TPlot2Win* w = nullptr;
};

TEST_F(PointTools, ZerosOfACubicOneAfterAnotherMarkedAndStored) {
  const int f = Add(kKindExplicit, "", "x^3-3x");
  w->Equation(f).penColour = 17;
  w->Command(kCmZeros);
  TZeroDlg* d = w->ZeroDialog();
  ASSERT_NE(d, nullptr);
  EXPECT_FALSE(d->IsHidden());
  const long double expected[] = {-std::sqrt(3.0L), 0, std::sqrt(3.0L), -std::sqrt(3.0L)};
  for (int k = 0; k < 4; ++k) {
    if (k > 0) d->Press(kIdToolNext);
    ASSERT_TRUE(d->Found()) << k;
    EXPECT_NEAR(D(d->X()), D(expected[k]), 1e-12) << k;
    std::string shown;
    w->FormatWindowNumber(d->X(), shown);
    EXPECT_EQ(Result(*d), shown);
  }
  // Each zero once among the results of the graph.
  EXPECT_EQ(w->Equation(f).results.size(), 3u);
  EXPECT_EQ(w->Equation(f).results.front().code, 10);
  EXPECT_EQ(w->Equation(f).results.front().text, "Nullstellen");

  // The shown zero is marked over the plot.
  TPoint2D mark;
  ASSERT_TRUE(d->Mark(mark));
  EXPECT_NEAR(D(mark.x), D(-std::sqrt(3.0L)), 1e-12);

  // "x speichern als" D.
  d->ListSetSel(kIdToolLetters, 3);
  d->EvControl(kIdToolLetters, plat::CBN_SELCHANGE);
  d->Press(kIdToolStore);
  EXPECT_NEAR(D(w->Variable('D').re), D(-std::sqrt(3.0L)), 1e-12);

  // "Zeichnen Punkt" adds the point (x; 0) without moving the search on.
  const int before = w->equationCount;
  d->Press(kIdToolPoint);
  ASSERT_EQ(w->equationCount, before + 1);
  const TEquation& p = w->Equation(w->equationCount);
  EXPECT_EQ(p.kind, kKindPoint);
  EXPECT_EQ(p.penColour, 17) << "in the colour of the graph";
  EXPECT_NEAR(std::stod(p.formulaText[0]), D(-std::sqrt(3.0L)), 1e-13);
  EXPECT_EQ(std::stod(p.formulaText[1]), 0.0);
  EXPECT_NEAR(D(d->X()), D(-std::sqrt(3.0L)), 1e-12);

  // Closing hides the dialog and its mark; the command shows it again with
  // the next zero.
  d->PressEscape();
  EXPECT_TRUE(d->IsHidden());
  EXPECT_FALSE(d->Mark(mark));
  w->Command(kCmZeros);
  EXPECT_FALSE(d->IsHidden());
  EXPECT_NEAR(D(d->X()), 0.0, 1e-12);
}

TEST_F(PointTools, AFailedSearchShowsItsMessageAndStoresTheLastZero) {
  // A zero found first: 2 of x - 2.
  const int line = Add(kKindExplicit, "", "x-2");
  w->Command(kCmZeros);
  TZeroDlg* d = w->ZeroDialog();
  d->ListSetSel(kIdFirstCombo, d->IndexOfFirst(line));
  d->EvControl(kIdFirstCombo, plat::CBN_SELCHANGE);
  ASSERT_TRUE(d->Found());
  ASSERT_NEAR(D(d->X()), 2.0, 1e-12);
  struct Case {
    const char* f;
    const char* text;
  } cases[] = {{"x^2+1", "nicht zu finden"}, {"0", "zu viele"}, {"1/x", "nicht zu finden"}};
  for (const Case& c : cases) {
    const int i = Add(kKindExplicit, "", c.f);
    d->ListSetSel(kIdFirstCombo, d->IndexOfFirst(i));
    d->EvControl(kIdFirstCombo, plat::CBN_SELCHANGE);
    EXPECT_FALSE(d->Found()) << c.f;
    EXPECT_EQ(Result(*d), c.text) << c.f;
    EXPECT_FALSE(Enabled(*d, kIdToolPoint)) << c.f;
    // "x speichern als" stays enabled and stores the last zero found.
    EXPECT_TRUE(Enabled(*d, kIdToolStore)) << c.f;
    w->SetVariable('A', 42);
    d->Press(kIdToolStore);
    EXPECT_NEAR(D(w->Variable('A').re), 2.0, 1e-12) << c.f;
  }
}

TEST_F(PointTools, TheKeyAStopsASearchAndKeepsTheLastZero) {
  Add(kKindExplicit, "", "x^3-3x");
  w->Command(kCmZeros);
  TZeroDlg* d = w->ZeroDialog();
  ASSERT_TRUE(d->Found());
  // Escape does not stop the search: the next zero is found.
  plat::testing::InjectKey(*w, plat::VK_ESCAPE, 0, plat::VK_ESCAPE);
  d->Press(kIdToolNext);
  EXPECT_TRUE(d->Found());
  EXPECT_NEAR(D(d->X()), 0.0, 1e-12);
  const long double last = d->X();
  plat::testing::InjectKey(*w, 'A', 0, 'A');
  d->Press(kIdToolNext);
  EXPECT_EQ(Result(*d), "?");
  EXPECT_FALSE(d->Found());
  EXPECT_EQ(D(d->X()), D(last));
  d->Press(kIdToolNext);  // goes on from where it stopped
  EXPECT_TRUE(d->Found());
}

TEST_F(PointTools, ExtremaOfTheCubicWithTheirCoordinates) {
  const int f = Add(kKindExplicit, "", "x^3-3x");
  w->Command(kCmExtrema);
  TExtrDlg* d = w->ExtremumDialog();
  ASSERT_NE(d, nullptr);
  ASSERT_TRUE(d->Found());
  std::string one, two, minusTwo, minusOne;
  w->FormatWindowNumber(-1, minusOne);
  w->FormatWindowNumber(2, two);
  EXPECT_EQ(Result(*d), "x = " + minusOne + "\r\ny = " + two + "\r\n");
  d->Press(kIdToolNext);
  EXPECT_NEAR(D(d->Result().values[0]), 1.0, 1e-9);
  EXPECT_NEAR(D(d->Result().values[1]), -2.0, 1e-12);
  EXPECT_EQ(w->Equation(f).results.size(), 2u);
  EXPECT_EQ(w->Equation(f).results.front().code, 30);
  EXPECT_EQ(w->Equation(f).results.front().text, "Extremum y: (x,y)");
  // "Speichere Y' als B" stores the slope there, 0; a bounded graph's end
  // without a slope leaves "Speichere" off for Y' and on for X.
  d->ListSetSel(kIdToolSource, 2);
  d->EvControl(kIdToolSource, plat::CBN_SELCHANGE);
  d->ListSetSel(kIdToolLetters, 1);
  d->EvControl(kIdToolLetters, plat::CBN_SELCHANGE);
  w->SetVariable('B', 42);
  ASSERT_TRUE(Enabled(*d, kIdToolStore));
  d->Press(kIdToolStore);
  EXPECT_NEAR(D(w->Variable('B').re), 0.0, 1e-9);
  const int root = Add(kKindExplicit, "", "sqrt(x)", "", "", "", 0, 4);
  w->Equation(root).bounded = 1;
  d->ListSetSel(kIdFirstCombo, d->IndexOfFirst(root));
  d->EvControl(kIdFirstCombo, plat::CBN_SELCHANGE);
  ASSERT_TRUE(d->Found());
  EXPECT_EQ(D(d->Result().values[0]), 0.0) << "the left end first";
  d->ListSetSel(kIdToolSource, 2);
  d->EvControl(kIdToolSource, plat::CBN_SELCHANGE);
  EXPECT_FALSE(Enabled(*d, kIdToolStore));
  d->ListSetSel(kIdToolSource, 0);
  d->EvControl(kIdToolSource, plat::CBN_SELCHANGE);
  EXPECT_TRUE(Enabled(*d, kIdToolStore));
  d->ListSetSel(kIdFirstCombo, d->IndexOfFirst(f));
  d->EvControl(kIdFirstCombo, plat::CBN_SELCHANGE);

  // Target Y': the inflection point with its slope.
  d->ListSetSel(kIdToolTarget, 1);
  d->EvControl(kIdToolTarget, plat::CBN_SELCHANGE);
  ASSERT_TRUE(d->Found());
  EXPECT_EQ(d->Result().code, 34);
  EXPECT_NEAR(D(d->Result().values[0]), 0.0, 1e-12);
  // "Speichere Y' als B".
  d->ListSetSel(kIdToolSource, 2);
  d->EvControl(kIdToolSource, plat::CBN_SELCHANGE);
  d->ListSetSel(kIdToolLetters, 1);
  d->EvControl(kIdToolLetters, plat::CBN_SELCHANGE);
  d->Press(kIdToolStore);
  EXPECT_NEAR(D(w->Variable('B').re), -3.0, 1e-12);

  // A circle's radius has no extremum: "?" and nothing to store.
  const int circle = Add(kKindParametric, "3cos(t)", "3sin(t)", "", "", "", 0, 2 * Pi);
  d->ListSetSel(kIdFirstCombo, d->IndexOfFirst(circle));
  d->EvControl(kIdFirstCombo, plat::CBN_SELCHANGE);
  EXPECT_EQ(d->Target(), kTargetX);
  d->ListSetSel(kIdToolTarget, 2);
  d->EvControl(kIdToolTarget, plat::CBN_SELCHANGE);
  EXPECT_FALSE(d->Found());
  EXPECT_EQ(Result(*d), "?");
  EXPECT_FALSE(Enabled(*d, kIdToolStore));
}

TEST_F(PointTools, IntersectionsWithTheirAngleOnBothCurves) {
  const int a = Add(kKindExplicit, "", "x^2");
  const int b = Add(kKindExplicit, "", "x");
  w->Command(kCmIntersections);
  TInterCCDlg* d = w->IntersectionDialog();
  ASSERT_NE(d, nullptr);
  // The second list starts at its last row: the pair is (x^2, x).
  ASSERT_EQ(d->SelectedEquation(), a);
  ASSERT_EQ(d->SecondEquation(), b);
  ASSERT_EQ(d->LastResult(), 1);
  EXPECT_NEAR(D(d->Crossing().x), 0.0, 1e-12);
  EXPECT_NEAR(D(d->Crossing().angle), D(Pi / 4), 1e-12);
  d->Press(kIdToolNext);
  EXPECT_NEAR(D(d->Crossing().x), 1.0, 1e-12);
  EXPECT_NEAR(D(d->Crossing().y), 1.0, 1e-12);
  EXPECT_NEAR(D(d->Crossing().angle), D(std::atan(2.0L) - Pi / 4), 1e-12);
  EXPECT_EQ(w->Equation(a).results.size(), 2u);
  EXPECT_EQ(w->Equation(b).results.size(), 2u);
  EXPECT_EQ(w->Equation(b).results.front().code, 20);

  // Another curve chosen in either list goes on from the cell after x = 1 instead of starting
  // over: y = 4 meets x^2 at 2 before -2, and x^2 - 2 meets y = x at 2 before -1.
  const auto choose = [&](int list, int equation) {
    d->ListSetSel(list, list == kIdFirstCombo ? d->IndexOfFirst(equation) : d->IndexOfSecond(equation));
    d->EvControl(list, plat::CBN_SELCHANGE);
  };
  const int four = Add(kKindExplicit, "", "4");
  const int lower = Add(kKindExplicit, "", "x^2-2");
  const std::pair<int, int> choices[] = {{kIdSecondCombo, four}, {kIdFirstCombo, lower}};
  for (const auto& [list, curve] : choices) {
    choose(kIdFirstCombo, a);
    choose(kIdSecondCombo, b);
    for (int press = 0; press < 3 && std::fabs(D(d->Crossing().x) - 1) > 1e-9; ++press) d->Press(kIdToolNext);
    ASSERT_NEAR(D(d->Crossing().x), 1.0, 1e-12);
    choose(list, curve);
    ASSERT_EQ(d->LastResult(), 1) << "list " << list;
    EXPECT_NEAR(D(d->Crossing().x), 2.0, 1e-12) << "the choice in list " << list << " started the search over";
  }
  choose(kIdFirstCombo, a);
  EXPECT_NEAR(D(d->Crossing().x), 0.0, 1e-12);
  d->Press(kIdToolNext);

  // "Gradmaß" shows the angle in degrees and stays a window setting.
  std::string degrees;
  w->FormatWindowNumber((std::atan(2.0L) - Pi / 4) * DegPerRad, degrees);
  d->SetCheck(kIdToolDegrees, true);
  d->Press(kIdToolDegrees);
  EXPECT_EQ(w->angleInDegrees, 1);
  EXPECT_NE(Result(*d).find("z = " + degrees), std::string::npos) << Result(*d);

  // "Speichere Z als C" stores the angle in radians.
  d->ListSetSel(kIdToolSource, 2);
  d->EvControl(kIdToolSource, plat::CBN_SELCHANGE);
  d->ListSetSel(kIdToolLetters, 2);
  d->EvControl(kIdToolLetters, plat::CBN_SELCHANGE);
  d->Press(kIdToolStore);
  EXPECT_NEAR(D(w->Variable('C').re), D(std::atan(2.0L) - Pi / 4), 1e-12);

  // The same curve twice: message 423 on "Nächster Schnittpunkt".
  d->ListSetSel(kIdSecondCombo, d->IndexOfSecond(a));
  d->EvControl(kIdSecondCombo, plat::CBN_SELCHANGE);
  EXPECT_EQ(Result(*d), "nicht zu finden");
  plat::testing::ClearMessages();
  d->Press(kIdToolNext);
  ASSERT_EQ(plat::testing::Messages().size(), 1u);
  EXPECT_EQ(plat::testing::Messages()[0].text, "zwei aussuchen");

  // The circle meets the line of the segment (0;0)-(3;0) twice, the segment once: the press
  // that comes to (-2;0) says "nicht zu finden", the next one (2;0).
  const int segment = Add(kKindSegment, "0", "0", "3", "0");
  const int circle = Add(kKindParametric, "2cos(t)", "2sin(t)", "", "", "", 0.1L, 0.1L + 2 * Pi);
  d->ListSetSel(kIdFirstCombo, d->IndexOfFirst(segment));
  d->EvControl(kIdFirstCombo, plat::CBN_SELCHANGE);
  d->ListSetSel(kIdSecondCombo, d->IndexOfSecond(circle));
  d->EvControl(kIdSecondCombo, plat::CBN_SELCHANGE);
  int withdrawn = 0;
  for (int press = 0; press < 4; ++press) {
    if (press > 0) d->Press(kIdToolNext);
    if (d->LastResult() == 0) {
      ++withdrawn;
    } else {
      EXPECT_NEAR(D(d->Crossing().x), 2.0, 1e-12);
    }
  }
  EXPECT_EQ(withdrawn, 2);

  // Two implicit curves meet on the pieces the second one's drawing traced: none before it
  // was drawn.
  const int round = Add(kKindImplicit, "", "", "", "", "xx+yy=4");
  const int diagonal = Add(kKindImplicit, "", "", "", "", "x=y");
  w->Equation(diagonal).traced.reset();
  d->ListSetSel(kIdFirstCombo, d->IndexOfFirst(round));
  d->EvControl(kIdFirstCombo, plat::CBN_SELCHANGE);
  d->ListSetSel(kIdSecondCombo, d->IndexOfSecond(diagonal));
  d->EvControl(kIdSecondCombo, plat::CBN_SELCHANGE);
  EXPECT_EQ(d->LastResult(), 0);
  w->RepaintNow(false);
  ASSERT_NE(w->Equation(diagonal).traced, nullptr);
  for (int press = 0; press < 2; ++press) {
    d->Press(kIdToolNext);
    ASSERT_EQ(d->LastResult(), 1);
    EXPECT_NEAR(D(std::fabs(d->Crossing().x)), std::sqrt(2.0), 1e-12);
    EXPECT_NEAR(D(d->Crossing().y), D(d->Crossing().x), 1e-12);
    EXPECT_NEAR(D(d->Crossing().angle), D(Pi / 2), 1e-9);
  }
}

TEST_F(PointTools, SearchesFollowTheChosenCurveAfterATracedPointWasAdded) {
  Add(kKindExplicit, "", "x^2-1");
  Add(kKindExplicit, "", "x-3");
  w->Command(kCmZeros);
  TZeroDlg* zeros = w->ZeroDialog();
  ASSERT_NE(zeros, nullptr);
  ASSERT_TRUE(zeros->Found());
  EXPECT_NEAR(D(zeros->X()), -1, 1e-12);
  w->Command(kCmExtrema);
  TExtrDlg* extrema = w->ExtremumDialog();
  ASSERT_NE(extrema, nullptr);

  // "Punkt" of the graph trace and of the trajectory trace each add a point.
  const int ode = w->AppendEquation(kKindOde, {"-y", "x"});
  AddTrajectoryItem(w->Equation(ode), {1, 0, 0}, kMethodRungeKutta, 0.001L, 4000, 1);
  w->EquationsChanged(false);
  ASSERT_TRUE(w->Command(kCmGraphTrace));
  TTraceDlg* trace = w->GraphTraceDialog();
  ASSERT_NE(trace, nullptr);
  trace->SetItemText(kIdTraceParameter, "2");
  trace->Press(kCmTracePoint);
  ASSERT_TRUE(w->Command(kCmCurveTrace));
  TTraceTrajDlg* curve = w->CurveTraceDialog();
  ASSERT_NE(curve, nullptr);
  curve->Press(kCmTrajTracePoint);
  EXPECT_EQ(w->Equation(w->equationCount).kind, kKindPoint);
  EXPECT_EQ(w->toolPointFlag, 0) << "the flag lasts only while a point is added";

  // Choosing the line searches it, also in a hidden dialog (as a refill
  // after the inventory changed chooses): its zero is 3, and it has no
  // extremum.
  zeros->PressEscape();
  zeros->ListSetSel(kIdFirstCombo, 1);
  zeros->OnSelChange();
  ASSERT_TRUE(zeros->Found());
  EXPECT_NEAR(D(zeros->X()), 3, 1e-12);
  ASSERT_TRUE(extrema->Found()) << "the vertex of x^2-1";
  extrema->PressEscape();
  extrema->ListSetSel(kIdFirstCombo, 1);
  extrema->OnSelChange();
  EXPECT_FALSE(extrema->Found());
  const int through = Add(kKindExplicit, "", "x+1");
  w->Command(kCmIntersections);
  TInterCCDlg* crossings = w->IntersectionDialog();
  ASSERT_NE(crossings, nullptr);
  crossings->ListSetSel(kIdFirstCombo, crossings->IndexOfFirst(0));
  crossings->OnSelChange();
  crossings->ListSetSel(kIdSecondCombo, crossings->IndexOfSecond(1));
  crossings->OnSelChange2();
  ASSERT_EQ(crossings->LastResult(), 0) << "x^2-1 and x-3 do not meet";
  crossings->PressEscape();
  crossings->ListSetSel(kIdSecondCombo, crossings->IndexOfSecond(through));
  crossings->OnSelChange2();
  ASSERT_EQ(crossings->LastResult(), 1) << "x^2-1 and x+1 meet at -1 and 2";
}

TEST_F(PointTools, FoundPointsAndResultsComeBackWithTheFile) {
  const int f = Add(kKindExplicit, "", "(x-1)(x-2)(x+1)");
  w->Command(kCmZeros);
  TZeroDlg* d = w->ZeroDialog();
  ASSERT_TRUE(d->Found());
  EXPECT_NEAR(D(d->X()), -1.0, 1e-12);
  d->Press(kIdToolPoint);
  d->Press(kIdToolNext);
  d->Press(kIdToolPoint);
  ASSERT_EQ(w->equationCount, f + 2);
  const std::string path = kvtest::MakeTempDir("point-tools") + "zeros.kv2";
  w->FileData.FileName = path;
  ASSERT_TRUE(w->WriteFile());

  TPlot2Win* r = MakeWindow();
  r->FileData.FileName = path;
  ASSERT_EQ(r->OpenFile(), 0);
  Settle(r);
  ASSERT_EQ(r->equationCount, f + 2);
  for (int k = 1; k <= 2; ++k) {
    const TEquation& p = r->Equation(f + k);
    EXPECT_EQ(p.kind, kKindPoint);
    EXPECT_NEAR(std::stod(p.formulaText[0]), k == 1 ? -1.0 : 1.0, 1e-13);
  }
  const auto& results = r->Equation(f).results;
  ASSERT_EQ(results.size(), 2u);
  EXPECT_EQ(results.back().code, 10);
  EXPECT_NEAR(D(results.back().values[0]), -1.0, 1e-12);
  EXPECT_NEAR(D(results.front().values[0]), 1.0, 1e-12);
}

TEST_F(PointTools, ToolsCloseWhenTheirKindsLeaveTheInventory) {
  Add(kKindExplicit, "", "x^2-1");
  w->Command(kCmZeros);
  w->Command(kCmExtrema);
  w->Command(kCmIntersections);
  ASSERT_NE(w->ZeroDialog(), nullptr);
  // The zeros go with the last graph though a segment is left.
  w->AppendEquation(kKindSegment, {"-1", "-1", "1", "1"});
  w->DeleteEquation(0);
  w->CloseStaleDialogs(false);
  EXPECT_EQ(w->ZeroDialog(), nullptr);
  EXPECT_EQ(w->ExtremumDialog(), nullptr);
  EXPECT_NE(w->IntersectionDialog(), nullptr);
  w->DeleteEquation(0);
  w->CloseStaleDialogs(false);
  EXPECT_EQ(w->IntersectionDialog(), nullptr);
}

TEST_F(PointTools, OnlyThe2DKindsInSightAreDrawable) {
  const int curve = Add(kKindExplicit, "", "x");
  const int hidden = Add(kKindExplicit, "", "x+1");
  w->Equation(hidden).subValue = -1;
  const int point = w->AddPointItem(1, 2);
  const int surface = w->AppendEquation(kKindSurface, 0, 1, "", "", "xy");
  EXPECT_TRUE(w->IsEquationDrawable(curve));
  EXPECT_FALSE(w->IsEquationDrawable(hidden));
  EXPECT_TRUE(w->IsEquationDrawable(point));
  EXPECT_FALSE(w->IsEquationDrawable(surface));
  EXPECT_FALSE(w->IsEquationDrawable(surface + 1));
  EXPECT_EQ(w->Equation(point).penWidth, w->MarkerSizeCode);
}

}  // namespace
}  // namespace kv
