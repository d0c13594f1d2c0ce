// The integration dialogs of the 2D window as a user drives them: Riemann
// sums with their strips on screen and in the exports, f - g, the bounds'
// checks and parameter binding, antiderivative graphs, sector areas, arc
// lengths and the distance of two points.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "core/constants.h"
#include "entry/slider_dialog.h"
#include "platform/resources.h"
#include "plot2_test_util.h"
#include "plot2d/arc_length_dialog.h"
#include "plot2d/curve_tool_dialogs.h"
#include "plot2d/distance_dialog.h"
#include "plot2d/model/riemann.h"
#include "plot2d/riemann_dialog.h"
#include "support/export_readers.h"
#include "support/test_env.h"

namespace kv::test2d {
namespace {

namespace pt = plat::testing;
using kvtest::ScratchFolder;

double D(long double v) { return static_cast<double>(v); }

std::string LastMessage() { return pt::Messages().empty() ? std::string() : pt::Messages().back().text; }

class IntegrationTest : public Plot2Test {
 protected:
  // The Riemann dialog on the window's first explicit curve.
  TRiemDlg& Riemann(TPlot2Win* w, int command = kCmIntegrate) {
    w->Command(command);
    Settle(w);
    EXPECT_NE(w->RiemannDialog(), nullptr);
    return *w->RiemannDialog();
  }
  static void Bounds(TPreRiemDlg& d, const char* left, const char* right, const char* n) {
    d.SetItemText(kIdLeftBound, left);
    d.SetItemText(kIdRightBound, right);
    d.SetItemText(kIdDivisions, n);
  }
  static void Tick(TRiemDlg& d, int id, bool on) {
    d.SetCheck(id, on);
    d.EvControl(id, plat::BN_CLICKED);
  }
  static std::string Number(TPlot2Win* w, long double v) {
    std::string s;
    w->FormatWindowNumber(v, s);
    return s;
  }
};

// "Draw y = x², open the Riemann sums, 8 strips, left rule": the strips
// appear, the sum is shown, and doubling the strips shrinks the error.
TEST_F(IntegrationTest, LeftRuleOnTheParabolaAsAPersonUsesIt) {
  TPlot2Win* w = MakeWindow();
  const int f = w->AppendEquation(kKindExplicit, {"", "x^2"});
  TRiemDlg& d = Riemann(w);
  EXPECT_EQ(d.Mode(), 1);
  EXPECT_FALSE(d.IsItemVisible(kIdSecondCombo));
  Bounds(d, "0", "1", "8");
  Tick(d, kIdRuleFirst, true);
  Tick(d, kIdDisplay, true);
  EXPECT_EQ(w->firstOverlayRule, kStripLeft);
  d.Press(kIdValueButton);
  EXPECT_TRUE(pt::Messages().empty()) << LastMessage();
  EXPECT_EQ(d.GetItemText(kIdRuleResultFirst), Number(w, 140.0L / 512));  // Σ (k/8)² / 8
  EXPECT_EQ(d.GetItemText(kIdRuleResultFirst + 1), "");                  // not ticked
  const long double error8 = std::fabs(w->ruleValues[kSumLeft] - 1.0L / 3);
  // The exact value stands beside it (Simpson's sum is exact on x²).
  EXPECT_NEAR(D(w->integrationValue), 1.0 / 3, 1e-15);

  Settle(w);
  const plat::Colour strip = w->DrawingColourOf(w->CheckColourIndex(w->ColourSlots[kRiemannColourSlot]));
  const int withStrips = kvtest::CountColour(w->Surface(), strip);
  w->Surface().WritePngFile(kvtest::BuildTreeDir() + "/riemann_left_rule.png");
  EXPECT_GT(withStrips, 100);

  d.SetItemText(kIdDivisions, "16");
  d.Press(kIdValueButton);
  const long double error16 = std::fabs(w->ruleValues[kSumLeft] - 1.0L / 3);
  EXPECT_NEAR(D(error8 / error16), 2.0, 0.2);

  // The result went to the curve under code 51 with the bounds and count.
  const TResultPoint& r = w->Equation(f).results.front();
  EXPECT_EQ(r.code, 51);
  EXPECT_EQ(D(r.values[3]), 16.0);
  EXPECT_EQ(r.text, "(links,rechts,Wert,Teilung)");

  // Without the display only the graph is left in that colour.
  Tick(d, kIdDisplay, false);
  Settle(w);
  EXPECT_LT(kvtest::CountColour(w->Surface(), strip), withStrips - 100);

  // Choosing f, also the same f again or as the lists follow a new entry,
  // unticks every rule and empties the results.
  const std::function<void()> choices[] = {
      [&] {
        d.ListSetSel(kIdFirstCombo, d.IndexOfFirst(f));
        d.OnSelChange();
      },
      [&] {
        w->AppendEquation(kKindExplicit, {"", "x"});
        w->EquationsChanged(false);
      },
  };
  for (const auto& choose : choices) {
    Tick(d, kIdRuleFirst, true);
    Tick(d, kIdDisplay, true);
    d.Press(kIdValueButton);
    ASSERT_NE(d.GetItemText(kIdRuleResultFirst), "");
    choose();
    EXPECT_EQ(w->GetOverlayMask(), 0);
    EXPECT_FALSE(d.IsChecked(kIdRuleFirst));
    EXPECT_FALSE(d.IsChecked(kIdDisplay));
    EXPECT_EQ(d.GetItemText(kIdRuleResultFirst), "");
  }
}

// The random rule's drawn strips add up to the reported sum: the platform's
// seed fixes the computation's seed, and the overlay reuses it.
TEST_F(IntegrationTest, RandomStripsAddUpToTheRandomSum) {
  TPlot2Win* w = MakeWindow();
  w->AppendEquation(kKindExplicit, {"", "exp(x)"});
  TRiemDlg& d = Riemann(w);
  Bounds(d, "-1", "2", "10");
  Tick(d, kIdRuleFirst + 5, true);
  plat::SeedRandom(99);
  d.Press(kIdValueButton);
  const long double reported = w->ruleValues[kSumRandom];
  const std::uint32_t seed = w->riemannSeed;

  std::vector<TStrip> strips;
  TSeededUniform u(seed);
  TQuadratureControl c;
  c.uniform = [&u] { return u(); };
  ASSERT_EQ(ComputeStrips(w->Engine(), w->Equation(0).trees[1].get(), nullptr, -1, 2, 10, w->AreaWidth(), c, strips),
            0);
  long double drawn = 0;
  for (const TStrip& s : strips) drawn += StripArea(s, kStripRandom);
  EXPECT_NEAR(D(drawn), D(reported), 1e-15);

  plat::SeedRandom(99);
  d.Press(kIdValueButton);
  EXPECT_EQ(D(w->ruleValues[kSumRandom]), D(reported));
}

// ln x on [0, 1]: only the left end is undefined.  The sums that take it
// (left, trapezoid, Simpson) leave it out and say so; midpoint, right and
// random sums are shown as they are.
TEST_F(IntegrationTest, AnUndefinedEndMarksOnlyTheSumsThatTakeIt) {
  TPlot2Win* w = MakeWindow();
  w->AppendEquation(kKindExplicit, {"", "ln(x)"});
  TRiemDlg& d = Riemann(w);
  Bounds(d, "0", "1", "10");
  for (int k = 0; k < kSumCount; ++k) Tick(d, kIdRuleFirst + k, true);
  d.Press(kIdValueButton);
  EXPECT_TRUE(pt::Messages().empty()) << LastMessage();
  long double mid = 0, right = 0;
  for (int k = 1; k <= 10; ++k) {
    mid += std::log((k - 0.5L) / 10) / 10;
    right += std::log(k / 10.0L) / 10;
  }
  const std::string mark = plat::res::String(1171);
  EXPECT_EQ(mark, " (nicht überall definiert)");
  const struct {
    SumRule rule;
    bool marked;
  } rules[] = {{kSumLeft, true},      {kSumMidpoint, false}, {kSumRight, false},
               {kSumTrapezoid, true}, {kSumSimpson, true},   {kSumRandom, false}};
  for (const auto& r : rules) {
    SCOPED_TRACE(r.rule);
    const std::string shown = d.GetItemText(kIdRuleResultFirst + static_cast<int>(r.rule));
    EXPECT_EQ(shown, Number(w, w->ruleValues[r.rule]) + (r.marked ? mark : ""));
  }
  EXPECT_NEAR(D(w->ruleValues[kSumMidpoint]), D(mid), 1e-15);
  EXPECT_NEAR(D(w->ruleValues[kSumRight]), D(right), 1e-15);
  EXPECT_NEAR(D(w->ruleValues[kSumRandom]), -1, 0.2);
  EXPECT_EQ(d.GetItemText(kIdResult), Number(w, w->ruleValues[kSumSimpson]) + mark);
}

TEST_F(IntegrationTest, DifferenceOfTwoGraphsIsStoredOnBoth) {
  TPlot2Win* w = MakeWindow();
  const int f = w->AppendEquation(kKindExplicit, {"", "x"});
  const int g = w->AppendEquation(kKindExplicit, {"", "x^2"});
  TRiemDlg& d = Riemann(w, kCmIntegrateDifference);
  EXPECT_EQ(d.Mode(), 2);
  EXPECT_TRUE(d.IsItemVisible(kIdSecondCombo));
  d.ListSetSel(kIdSecondCombo, d.IndexOfSecond(g));
  d.OnSelChange2();
  Bounds(d, "0", "1", "10");
  d.Press(kIdValueButton);
  EXPECT_NEAR(D(w->integrationValue), 1.0 / 6, 1e-15);
  EXPECT_NEAR(D(w->ruleValues[kSumMidpoint]), 1.0 / 6, 1e-3);
  ASSERT_FALSE(w->Equation(f).results.empty());
  ASSERT_FALSE(w->Equation(g).results.empty());
  EXPECT_EQ(w->Equation(f).results.front().code, 52);
  EXPECT_EQ(w->Equation(g).results.front().code, 52);
}

TEST_F(IntegrationTest, RefusedInputsShowTheirMessagesAndComputeNothing) {
  TPlot2Win* w = MakeWindow();
  const int f = w->AppendEquation(kKindExplicit, {"", "sqrt(x)"});
  TRiemDlg& d = Riemann(w);
  const struct {
    const char *left, *right, *n, *message;
  } cases[] = {
      {"1", "1", "10", "widersprüchliche Daten"},
      {"0", "1", "0", "jenseits der Grenzen"},
      {"0", "1", "2147483648", "jenseits der Grenzen"},  // above the 32-bit count
      {"-9", "1", "10", "jenseits der Grenzen"},         // outside the view
      {"-2", "-1", "10", "nicht zu integrieren"},        // undefined at every sample
  };
  for (const auto& c : cases) {
    pt::ClearMessages();
    Bounds(d, c.left, c.right, c.n);
    d.Press(kIdValueButton);
    EXPECT_EQ(LastMessage(), c.message) << c.left << " " << c.right << " " << c.n;
  }
  EXPECT_TRUE(w->Equation(f).results.empty());

  // "--" at one division shows 414 and leaves the refused 0 in the field.
  pt::ClearMessages();
  Bounds(d, "0", "1", "1");
  d.Press(kIdFewerDivisions);
  EXPECT_EQ(LastMessage(), "positiver Wert?");
  EXPECT_EQ(d.GetItemText(kIdDivisions), "0");
  pt::ClearMessages();
  Bounds(d, "0", "1", "7");
  d.Press(kIdMoreDivisions);
  EXPECT_TRUE(pt::Messages().empty()) << LastMessage();
  EXPECT_EQ(w->IntegrationDivisions(), 8);
  // The field takes every count its 32 bits hold ("A" stops a long run);
  // "+" beyond that is refused, not wrapped.
  TIntegrationInputs in;
  Bounds(d, "0", "1", "2147483647");
  EXPECT_EQ(d.CheckInputs(in), 0);
  EXPECT_EQ(in.divisions, 2147483647);
  pt::ClearMessages();
  d.Press(kIdMoreDivisions);
  EXPECT_EQ(LastMessage(), "jenseits der Grenzen");
  EXPECT_EQ(d.GetItemText(kIdDivisions), "2147483648");
}

TEST_F(IntegrationTest, BoundsTiedToTwoParametersFollowTheirSliders) {
  TPlot2Win* w = MakeWindow();
  w->SetVariable(3, 1);  // C = 1
  w->AppendEquation(kKindExplicit, {"", "2c*x"});
  TRiemDlg& d = Riemann(w);
  Bounds(d, "0@A", "1", "10");
  d.Press(kIdValueButton);
  EXPECT_FALSE(d.IsBound());  // one parameter is not enough
  Bounds(d, "0@A", "1@B", "10");
  d.Press(kIdValueButton);
  ASSERT_TRUE(d.IsBound());
  EXPECT_TRUE(w->IsSliderDialogOpen(1));
  EXPECT_TRUE(w->IsSliderDialogOpen(2));
  EXPECT_NEAR(D(w->integrationValue), 1.0, 1e-15);
  w->SetVariable(2, 2);  // B = 2
  w->RefreshIntegrationDialogs();
  EXPECT_NEAR(D(w->integrationValue), 4.0, 1e-15);
  EXPECT_EQ(d.GetItemText(kIdRightBound), Number(w, 2));
  // Pressing the button again reads the fields as typed.
  Bounds(d, "0", "1", "10");
  d.Press(kIdValueButton);
  EXPECT_FALSE(d.IsBound());
  EXPECT_NEAR(D(w->integrationValue), 1.0, 1e-15);
  // Unbound, the open dialog computes again when any parameter moves.
  w->SetVariable(3, 3);
  w->RedrawEquation(3);
  EXPECT_NEAR(D(w->integrationValue), 3.0, 1e-15);
  // Choosing f unties the bounds and hides the sliders of the letters the
  // fields named, also of a single one.
  Bounds(d, "0@A", "1", "10");
  d.Press(kIdValueButton);
  w->OpenSliderDialog(1);
  ASSERT_TRUE(w->IsSliderDialogOpen(1));
  d.ListSetSel(kIdFirstCombo, 0);
  d.OnSelChange();
  EXPECT_FALSE(w->IsSliderDialogOpen(1));
  EXPECT_EQ(d.FirstBoundParameter(), 0);
}

TEST_F(IntegrationTest, AntiderivativeGraphFollowsItsSource) {
  TPlot2Win* w = MakeWindow();
  const int f = w->AppendEquation(kKindExplicit, {"", "cos(x)"});
  // f's own interval reaches left beyond the view and ends inside it, with
  // a filled dot on the left and a hollow one on the right.
  TEquation& source = w->Equation(f);
  source.bounded = 1;
  source.lowerBound.x = w->World.xmin - 3;
  source.upperBound.x = 3;
  source.endMarkerLeft() = 2;
  source.endMarkerRight() = -3;
  source.penColour = 17;
  TRiemDlg& d = Riemann(w);
  Bounds(d, "0@C", "1", "10");
  d.Press(kIdAntiderivative);
  ASSERT_EQ(w->equationCount, 1);
  TEquation& e = w->Equation(1);
  EXPECT_EQ(e.kind, kKindAntiderivative);
  EXPECT_EQ(e.derivation, kDerivedAntiderivative);
  EXPECT_EQ(e.source1, f);
  EXPECT_EQ(e.penColour, 17) << "in the colour of f";
  EXPECT_EQ(e.subKind, 3);  // the start follows C
  EXPECT_EQ(D(e.startValue()), 0.0);
  for (const std::string& t : e.formulaText) EXPECT_EQ(t, "");
  EXPECT_EQ(w->DescribeEquation(1, 255), "Stammfunktion von #1");
  // f's interval narrows the view's range it starts with, never widens it.
  EXPECT_EQ(e.bounded, 1);
  EXPECT_EQ(D(e.lowerBound.x), D(w->World.xmin));
  EXPECT_EQ(D(e.upperBound.x), 3.0);
  // Its ends are marked as f's are.
  EXPECT_EQ(D(e.endMarkerLeft()), 2.0);
  EXPECT_EQ(D(e.endMarkerRight()), -3.0);

  // Its graph from the start value: sin to the resolution of a pixel.
  std::vector<TPoint2D> run;
  RunningIntegral(w->Engine(), e.trees[1].get(), e.startValue(), 3, 0.5L * w->UnitsPerPixelX, 100000, run);
  for (const TPoint2D& p : run) ASSERT_NEAR(D(p.y), std::sin(D(p.x)), D(w->UnitsPerPixelY));

  w->Equation(f).formulaText[1] = "2x";
  w->CompileEquation(f);
  w->RebuildDerivedEquations(f);
  long double v = 0;
  ASSERT_TRUE(w->Engine().EvaluateAt(w->Equation(1).trees[1].get(), 'X', 3, v));
  EXPECT_EQ(D(v), 6.0);
}

TEST_F(IntegrationTest, ArcLengthOfKnownCurves) {
  TPlot2Win* w = MakeWindow();
  w->AppendEquation(kKindPolar, {"", "", "1"});
  w->AppendEquation(kKindExplicit, {"", "x^2"});
  w->Command(kCmArcLength);
  Settle(w);
  ASSERT_NE(w->ArcLengthDialog(), nullptr);
  TPreRiemDlg& a = *w->ArcLengthDialog();
  a.ListSetSel(kIdFirstCombo, a.IndexOfFirst(1));
  a.OnSelChange();
  Bounds(a, "0", "1", "100");
  a.Press(kIdValueButton);
  EXPECT_NEAR(D(w->integrationValue), D((2 * std::sqrt(5.0L) + std::asinh(2.0L)) / 4), 1e-10);
  EXPECT_EQ(w->Equation(1).results.front().code, 53);
  EXPECT_EQ(w->Equation(1).results.front().text, "Bogenlänge");
  // A polar curve is measured over t: half the unit circle.
  a.ListSetSel(kIdFirstCombo, a.IndexOfFirst(0));
  a.OnSelChange();
  Bounds(a, "0", "pi", "100");
  a.Press(kIdValueButton);
  EXPECT_NEAR(D(w->integrationValue), D(Pi), 1e-12);
}

TEST_F(IntegrationTest, BoundsOfACurveInAParameterLieInItsParameterRange) {
  TPlot2Win* w = MakeWindow();
  const int cardioid = w->AppendEquation(kKindPolar, {"", "", "1+cos(t)"});
  w->Equation(cardioid).lowerBound.x = 0;
  w->Equation(cardioid).upperBound.x = 2 * Pi;
  w->AppendEquation(kKindExplicit, {"", "x^2"});
  ASSERT_LT(D(w->World.xmax), D(2 * Pi)) << "the view ends before 2pi";
  w->Command(kCmArcLength);
  Settle(w);
  TPreRiemDlg& a = *w->ArcLengthDialog();
  // The whole cardioid, t from 0 to 2pi, although x ends before 2pi.
  pt::ClearMessages();
  Bounds(a, "0", "2pi", "200");
  a.Press(kIdValueButton);
  EXPECT_TRUE(pt::Messages().empty()) << LastMessage();
  EXPECT_NEAR(D(w->integrationValue), 8, 1e-9);
  // The fields as the dialog shows them again, 2pi rounded up to
  // "6.28319", are the same range: the bound is moved onto the end.
  a.ShowBounds();
  EXPECT_EQ(a.GetItemText(kIdRightBound), Number(w, 2 * Pi));
  ASSERT_GT(std::stold(a.GetItemText(kIdRightBound)), 2 * Pi);
  w->integrationValue = 0;
  a.Press(kIdValueButton);
  EXPECT_TRUE(pt::Messages().empty()) << LastMessage();
  EXPECT_NEAR(D(w->integrationValue), 8, 1e-9);
  EXPECT_EQ(w->IntegrationRight(), 2 * Pi);
  EXPECT_EQ(w->Equation(cardioid).results.front().values[1], 2 * Pi);
  // The volume of revolution takes the same fields.
  w->Command(kCmRevolutionVolume);
  Settle(w);
  TPreRiemDlg& v = *w->ToolDialogs().revolve;
  v.ListSetSel(kIdFirstCombo, v.IndexOfFirst(cardioid));
  v.OnSelChange();
  EXPECT_EQ(v.GetItemText(kIdRightBound), Number(w, 2 * Pi));
  v.Press(kIdValueButton);
  EXPECT_TRUE(pt::Messages().empty()) << LastMessage();
  EXPECT_EQ(w->Equation(cardioid).results.front().values[1], 2 * Pi);
  // A unit of the last decimal shown beyond the range, or more: refused.
  for (const char* right : {"6.28320", "7"}) {
    pt::ClearMessages();
    Bounds(a, "0", right, "200");
    a.Press(kIdValueButton);
    EXPECT_EQ(LastMessage(), plat::res::String(417)) << right;
  }
  // A graph's bounds are x values and lie in the view.
  a.ListSetSel(kIdFirstCombo, a.IndexOfFirst(1));
  a.OnSelChange();
  pt::ClearMessages();
  Bounds(a, "0", "2pi", "200");
  a.Press(kIdValueButton);
  EXPECT_EQ(LastMessage(), plat::res::String(417));
}

// "A" pressed while the sums run stops them, and what was summed so far is
// no result: the fields keep the last result, nothing is stored, and no
// message follows.
TEST_F(IntegrationTest, AStoppedIntegrationLeavesTheLastResult) {
  TPlot2Win* w = MakeWindow();
  const int f = w->AppendEquation(kKindExplicit, {"", "x^2"});
  TRiemDlg& d = Riemann(w);
  for (int k = 0; k < kSumCount; ++k) Tick(d, kIdRuleFirst + k, true);
  Bounds(d, "0", "1", "8");
  d.Press(kIdValueButton);
  ASSERT_EQ(w->Equation(f).results.size(), 1u);
  std::vector<std::string> shown;
  for (int k = 0; k < kSumCount; ++k) shown.push_back(d.GetItemText(kIdRuleResultFirst + k));
  ASSERT_EQ(shown[0], Number(w, 140.0L / 512));
  auto unchanged = [&](const char* what) {
    EXPECT_TRUE(pt::Messages().empty()) << what << ": " << LastMessage();
    EXPECT_EQ(w->Equation(f).results.size(), 1u) << what;
    for (int k = 0; k < kSumCount; ++k)
      EXPECT_EQ(d.GetItemText(kIdRuleResultFirst + k), shown[static_cast<std::size_t>(k)]) << what << " " << k;
    EXPECT_NEAR(D(w->integrationValue), 1.0 / 3, 1e-15) << what;
  };
  pt::ClearMessages();
  d.SetItemText(kIdDivisions, "1000");
  pt::InjectKey(*w, 'A', 0, 'a');
  d.Press(kIdValueButton);
  unchanged("value button");
  pt::InjectKey(*w, 'A', 0, 'a');
  d.Press(kIdMoreDivisions);
  unchanged("+");
  EXPECT_EQ(d.GetItemText(kIdDivisions), "1001");
  // A new choice of rules shows the sums of the last result still.
  Tick(d, kIdRuleFirst, false);
  Tick(d, kIdRuleFirst, true);
  EXPECT_EQ(d.GetItemText(kIdRuleResultFirst), shown[0]);

  // The arc length likewise.
  w->Command(kCmArcLength);
  Settle(w);
  TPreRiemDlg& a = *w->ArcLengthDialog();
  Bounds(a, "0", "1", "100");
  a.Press(kIdValueButton);
  const std::string length = a.GetItemText(kIdResult);
  ASSERT_EQ(length, Number(w, (2 * std::sqrt(5.0L) + std::asinh(2.0L)) / 4));
  Bounds(a, "0", "2", "1000");
  pt::ClearMessages();
  pt::InjectKey(*w, 'A', 0, 'a');
  a.Press(kIdValueButton);
  EXPECT_TRUE(pt::Messages().empty()) << LastMessage();
  EXPECT_EQ(a.GetItemText(kIdResult), length);
  EXPECT_EQ(w->integrationText, length);
  EXPECT_EQ(w->Equation(f).results.size(), 2u);
}

// The strips belong to the Riemann dialog: another integration dialog that
// moves the shared bounds and count does not move them, and fields the
// dialog would refuse draw none.
TEST_F(IntegrationTest, TheStripsFollowTheRiemannDialogsOwnFields) {
  TPlot2Win* w = MakeWindow();
  w->AppendEquation(kKindExplicit, {"", "2+x^2/4"});
  const int circle = w->AppendEquation(kKindParametric, {"cos(t)", "sin(t)"});
  TRiemDlg& d = Riemann(w);
  Bounds(d, "-2", "-1", "2");
  Tick(d, kIdRuleFirst, true);
  Tick(d, kIdDisplay, true);
  d.Press(kIdValueButton);
  // A colour of their own, not the axes' black.
  w->ColourSlots[kRiemannColourSlot] = 5;
  const plat::Colour strip = w->DrawingColourOf(w->CheckColourIndex(w->ColourSlots[kRiemannColourSlot]));
  for (int i : {0, circle}) ASSERT_NE(strip, EntryColour(*w, i));
  ASSERT_NE(strip, plat::Rgb(0, 0, 0));
  // The strips' sides at x = -2, -1.5 and -1, their tops 2 + x²/4 at the
  // left ends; nothing of them right of x = -1.
  auto stripsAt = [&](long double lo, long double hi) {
    Settle(w);
    w->InvalidatePlot();
    Settle(w);
    int n = 0;
    for (int px = w->WorldToPixelX(lo); px <= w->WorldToPixelX(hi); ++px)
      for (int py = w->AreaOriginY(); py < w->AreaOriginY() + w->AreaHeight(); ++py)
        if (w->Surface().GetPixel(px, py) == strip) ++n;
    return n;
  };
  const int sides = stripsAt(-1.5L, -1.5L);
  EXPECT_GT(sides, 0.8 * D(2.5625L / w->UnitsPerPixelY));  // the side from 0 to 2.5625
  EXPECT_EQ(stripsAt(-0.9L, w->World.xmax), 0);

  // The sector area of the circle over [0, 2] with 100 divisions.
  w->CmSectorArea();
  TPreRiemDlg& sector = *w->ToolDialogs().sector;
  sector.ListSetSel(kIdFirstCombo, sector.IndexOfFirst(circle));
  sector.OnSelChange();
  Bounds(sector, "0", "2", "100");
  sector.Press(kIdValueButton);
  ASSERT_NEAR(D(w->integrationValue), 1, 1e-12);
  ASSERT_EQ(w->IntegrationDivisions(), 100);
  EXPECT_EQ(stripsAt(-1.5L, -1.5L), sides);
  EXPECT_EQ(stripsAt(-0.9L, w->World.xmax), 0);
  EXPECT_EQ(d.GetItemText(kIdDivisions), "2");

  d.SetItemText(kIdDivisions, "0");
  EXPECT_EQ(stripsAt(-1.5L, -1.5L), 0);
}

TEST_F(IntegrationTest, DistanceOfTwoPoints) {
  TPlot2Win* w = MakeWindow();
  w->AppendEquation(kKindPoint, {"0", "0"});
  EXPECT_FALSE(w->QueryCommand(kCmDistance).enabled);  // one point is not enough
  w->AppendEquation(kKindPoint, {"3", "4"});
  const int polar = w->AppendEquation(kKindPoint, {"2", "pi"});
  w->Equation(polar).polarInput = 1;
  w->Command(kCmDistance);
  Settle(w);
  ASSERT_NE(w->DistanceDialog(), nullptr);
  TDistDlg& d = *w->DistanceDialog();
  auto pick = [&](int i, int j) {
    d.ListSetSel(kIdFirstCombo, d.IndexOfFirst(i));
    d.OnSelChange();
    d.ListSetSel(kIdSecondCombo, d.IndexOfSecond(j));
    d.OnSelChange2();
    d.Press(kIdDistanceButton);
    return d.GetItemText(kIdDistance);
  };
  EXPECT_EQ(pick(0, 1), Number(w, 5));
  EXPECT_EQ(pick(1, 1), Number(w, 0));
  EXPECT_EQ(pick(0, polar), Number(w, 2));  // (r;t) = (2;π) lies at (-2, 0)
  // A point entered as one complex number lies at its real and imaginary
  // parts (its other texts are the dialog's defaults).
  w->SetComplexMode(true);
  const int complex = w->AppendEquation(kKindPoint, {"3+4i", "pi/3", "pi/4"});
  w->Equation(complex).kindFlag = 1;
  w->CompileEquation(complex);
  w->EquationsChanged(false);
  EXPECT_EQ(pick(0, complex), Number(w, 5));
  w->SetComplexMode(false);
  w->Equation(1).formulaText[0] = "ln(-1)";
  w->CompileEquation(1);
  EXPECT_EQ(pick(0, 1), "?");
  // The dialog stays while points go; a new drawing closes it.
  w->DeleteEquations({1, polar});
  w->CloseStaleDialogs(false);
  ASSERT_NE(w->DistanceDialog(), nullptr);
  EXPECT_EQ(pick(0, 0), Number(w, 0));
  w->CloseStaleDialogs(true);
  EXPECT_EQ(w->DistanceDialog(), nullptr);
}

// The strips go to every export format as well as to the screen.
TEST_F(IntegrationTest, StripsAreWrittenToEveryExport) {
  TPlot2Win* w = MakeWindow();
  w->AppendEquation(kKindExplicit, {"", "x^2/4"});
  TRiemDlg& d = Riemann(w);
  Bounds(d, "-2", "3", "5");
  Tick(d, kIdRuleFirst + 4, true);  // parabolas
  d.Press(kIdValueButton);
  ScratchFolder dir;
  auto exportTo = [&](int command, const std::string& path) {
    pt::ClearMessages();
    pt::ExpectFileDialog(path);
    if (command == kCmExportSvg) pt::ExpectDialog("SVG", [](plat::Dialog& s) { s.Press(plat::IDOK); });
    if (command == kCmExportPictex) pt::ExpectDialog("PICTEX", [](plat::Dialog& s) { s.Press(plat::IDOK); });
    w->Command(command);
    Settle(w);
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
  };
  for (int command : {kCmExportEps, kCmExportSvg, kCmExportPictex}) {
    Tick(d, kIdDisplay, false);
    const std::string plain = exportTo(command, dir.File("plain" + std::to_string(command)));
    Tick(d, kIdDisplay, true);
    const std::string strips = exportTo(command, dir.File("strips" + std::to_string(command)));
    ASSERT_FALSE(plain.empty()) << command;
    // Five strips of two sides and two parabola arcs each add many lines.
    EXPECT_GT(strips.size(), plain.size() + 200) << command;
    if (command == kCmExportEps) {
      EXPECT_NE(strips.find("begin Riemann overlay"), std::string::npos);
      EXPECT_EQ(plain.find("begin Riemann overlay"), std::string::npos);
    }
  }
}

TEST_F(IntegrationTest, TheDialogsStateTravelsInThePlotFileWords) {
  TPlot2Win* w = MakeWindow();
  w->AppendEquation(kKindExplicit, {"", "x"});
  const int g = w->AppendEquation(kKindExplicit, {"", "1"});
  TRiemDlg& d = Riemann(w, kCmIntegrateDifference);
  d.ListSetSel(kIdSecondCombo, d.IndexOfSecond(g));
  d.OnSelChange2();
  Tick(d, kIdRuleFirst + 1, true);
  Tick(d, kIdDisplay, true);
  std::int16_t words[3];
  w->GetIntegrationDialogState(words);
  EXPECT_EQ(words[0], 0);
  EXPECT_EQ(words[1], g);
  EXPECT_EQ(words[2], 6);  // mode 2, shown

  TPlot2Win* other = MakeWindow();
  other->AppendEquation(kKindExplicit, {"", "x"});
  other->AppendEquation(kKindExplicit, {"", "1"});
  other->SetOverlayMask(w->GetOverlayMask());
  other->RestoreIntegrationDialog(words[0], words[1], words[2]);
  ASSERT_NE(other->RiemannDialog(), nullptr);
  EXPECT_EQ(other->RiemannDialog()->Mode(), 2);
  EXPECT_EQ(other->RiemannDialog()->SecondEquation(), g);
  EXPECT_EQ(other->firstOverlayRule, kStripMidpoint);
  EXPECT_TRUE(other->RiemannDialog()->IsChecked(kIdDisplay));
}

}  // namespace
}  // namespace kv::test2d
