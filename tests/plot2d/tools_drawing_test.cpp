// What the 2D window's tools draw: the "&Punkte verbinden" check mark,
// roulettes and antiderivatives with stepped families, the guide lines of a
// point entered as a complex number, implicit curves drawn again from their
// last trace, the marks of the open tool dialogs (on the screen and in the
// exports, above the Riemann strips), and the initial-value dialogs.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <string>

#include "graphics/recording_dc.h"
#include "plot2d/centroid_dialog.h"
#include "plot2d/extremum_dialog.h"
#include "plot2d/ivp_dialogs.h"
#include "plot2d/plot2_test_util.h"
#include "plot2d/riemann_dialog.h"
#include "plot2d/zero_dialog.h"
#include "support/recording_sink.h"

namespace kv {
namespace {

using test2d::ColourNear;
using test2d::EntryColour;

class ToolsDrawing : public test2d::Plot2Test {
 protected:
  void SetUp() override {
    Plot2Test::SetUp();
    w = MakeWindow();
  }
  int Add(int kind, std::initializer_list<std::string_view> texts) {
    const int i = w->AppendEquation(kind, texts);
    w->CompileEquation(i);
    w->EquationsChanged(false);
    return i;
  }
  void Repaint() {
    w->RepaintNow(false);
    Settle(w);
  }
  bool Near(const TPoint2D& p, plat::Colour c, int r = 1) {
    return ColourNear(w->Surface(), w->WorldToPixelX(p.x), w->WorldToPixelY(p.y), c, r);
  }
  // Milliseconds entry i takes to draw.
  long long DrawMilliseconds(int i) {
    kvtest::RecordingDC dc;
    const auto t0 = std::chrono::steady_clock::now();
    w->DrawEquation(dc, i);
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - t0).count();
  }
  static void Family(TEquation& e, int steps, int delay) {
    e.familyOn = 1;
    e.familyLetter = 1;
    e.familyStart = 0;
    e.familyEnd = 1;
    e.familySteps = static_cast<std::int16_t>(steps);
    e.familyDelay = static_cast<std::int16_t>(delay);
  }
  // The calls of the marks and overlays the window draws over the graphs,
  // recorded as an export of the format.
  std::vector<std::string> OverlayCalls(TExportFormat f, std::vector<TPoint2D>* markers = nullptr) {
    kvtest::RecordingDC dc;
    kvtest::RecordingSink& sink = kvtest::StartRecording(*w, f);
    w->DrawPlot(dc);
    std::vector<std::string> calls = sink.calls;
    if (markers) *markers = sink.markers;
    kvtest::StopRecording(*w);
    return calls;
  }
  static bool Has(const std::vector<std::string>& calls, const std::string& call) {
    return std::find(calls.begin(), calls.end(), call) != calls.end();
  }
  static bool HasPoint(const std::vector<TPoint2D>& points, const TPoint2D& p) {
    return std::any_of(points.begin(), points.end(), [&](const TPoint2D& q) {
      return std::fabs(static_cast<double>(q.x - p.x)) < 1e-9 && std::fabs(static_cast<double>(q.y - p.y)) < 1e-9;
    });
  }
  TPlot2Win* w = nullptr;
};

TEST_F(ToolsDrawing, PunkteVerbindenIsCheckedWhileThePointsAreJoined) {
  EXPECT_TRUE(w->IsMenuItemChecked(kCmConnectPoints));
  EXPECT_EQ(w->samplesAsPoints, 0);
  w->Command(kCmConnectPoints);
  EXPECT_FALSE(w->IsMenuItemChecked(kCmConnectPoints));
  EXPECT_EQ(w->samplesAsPoints, 1);
  w->Command(kCmConnectPoints);
  EXPECT_TRUE(w->IsMenuItemChecked(kCmConnectPoints));
}

// A negative step count shows the members one by one, each followed by the
// family delay; a positive one draws them at once.
TEST_F(ToolsDrawing, RoulettesAndAntiderivativesShowSteppedFamiliesOneByOne) {
  const int base = w->AppendEquation(kKindParametric, -3, 3, "t", "0");
  w->CompileEquation(base);
  ASSERT_EQ(w->AddRoulette(base, false, -3, 0, 3, 0.5L, 1), 0);
  const int roulette = w->equationCount;
  const int antiderivative = w->AppendEquation(kKindAntiderivative, -2, 2, "", "2x");
  w->CompileEquation(antiderivative);
  for (int i : {roulette, antiderivative}) {
    SCOPED_TRACE(i);
    TEquation& e = w->Equation(i);
    Family(e, -3, 80);
    EXPECT_GE(DrawMilliseconds(i), 4 * 80) << "four members, each followed by the delay";
    Family(e, 3, 1000);
    EXPECT_LT(DrawMilliseconds(i), 1000) << "drawn at once";
  }
}

// Each member of every kind is on the screen in its own pause, and the stop key there ends
// the family: "A", or any key for the drawers that any key stops.  In the box of member a
// (world x0..x1, y a - dy .. a + dy) no other draws.
TEST_F(ToolsDrawing, EachKindShowsItsSteppedMemberDuringItsOwnPauseAndStopsThereOnItsKey) {
  const int base = w->AppendEquation(kKindParametric, -3, 3, "t", "a");
  w->CompileEquation(base);
  ASSERT_EQ(w->AddRoulette(base, false, -3, 0, 3, 0.25L, 0.25L), 0);
  const int roulette = w->equationCount;
  const int antiderivative = w->AppendEquation(kKindAntiderivative, -2, 2, "", "a");
  w->CompileEquation(antiderivative);
  w->Equation(antiderivative).startValue() = 0;
  // y' = a from the origin, without its field: the solution y = a x.
  const int dydx = Add(kKindOdeDyDx, {"", "", "a"});
  w->Equation(dydx).fieldMode = 0;
  w->AddItemForKind211(dydx, {0, 0, 0}, 0.01L, 2, w->Equation(dydx).penColour, 1);
  // x' = 1, y' = a from the origin: the trajectory y = a x.
  const int dydt = Add(kKindOde, {"1", "a"});
  w->Equation(dydt).fieldMode = 0;
  w->AddTrajectoryItem(dydt, {0, 0, 0}, kMethodRungeKutta, 0.01L, 200, 1);
  struct Case {
    int i;
    long double x0, x1, dy;
    unsigned key = 'A';
  } cases[] = {
      {Add(kKindExplicit, {"", "a"}), 0.9L, 1.1L, 0.1L},
      {Add(kKindPolar, {"", "", "a"}), 0.45L, 0.55L, 0.2L},  // at 60 degrees: (a/2; 0.87a)
      {Add(kKindParametric, {"t", "a"}), 0.9L, 1.1L, 0.1L},
      {Add(kKindImplicit, {"", "", "", "", "y=a"}), 0.9L, 1.1L, 0.1L},
      {Add(kKindSegment, {"-3", "a", "3", "a"}), 0.9L, 1.1L, 0.1L},
      {Add(kKindLine, {"0", "1", "a"}), 0.9L, 1.1L, 0.1L, 'Q'},
      {Add(kKindPoint, {"1", "a"}), 0.9L, 1.1L, 0.1L},
      {antiderivative, 0.95L, 1.05L, 0.1L, 'Q'},  // a x
      {roulette, -2, 2, 0.45L, 'Q'},               // a circle of radius 1/4 rolling along y = a
      {dydx, 0.97L, 1.03L, 0.1L, 'Q'},
      {dydt, 0.97L, 1.03L, 0.1L, 'Q'},
  };
  for (int k = 0; k <= w->equationCount; ++k) w->Equation(k).visible = 0;
  for (const Case& c : cases) {
    TEquation& e = w->Equation(c.i);
    SCOPED_TRACE(e.kind);
    e.visible = 1;
    const plat::Colour colour = EntryColour(*w, c.i);
    const bool polar = e.kind == kKindPolar;
    auto shows = [&](const plat::Bitmap& s, long double a) {
      const long double y = polar ? 0.866L * a : a;
      for (int py = w->WorldToPixelY(y + c.dy); py <= w->WorldToPixelY(y - c.dy); ++py)
        for (int px = w->WorldToPixelX(polar ? c.x0 * a : c.x0); px <= w->WorldToPixelX(polar ? c.x1 * a : c.x1); ++px)
          if (s.GetPixel(px, py) == colour) return true;
      return false;
    };
    ASSERT_NO_FATAL_FAILURE(
        kvtest::ExpectFamilyStopsInSecondPause(*w, e, 0.5L, 3.5L, [&] { Repaint(); }, shows, c.key));
    EXPECT_FALSE(shows(w->Surface(), 2.5L)) << "a member after the key";
    e.visible = 0;
  }
}

// F = x^2 - x0^2 from f = 2x with end dots (right filled, left hollow, size 3): at the ends of
// its interval; none where the curve leaves the view (F = 5 at x = 2.24 in the view -5..5), and
// none at x0 for a pass that starts beyond its end of the interval and so draws nothing.
TEST_F(ToolsDrawing, AntiderivativesCloseTheEndsOfTheirInterval) {
  w->SetView(0, 0, 5, 5, 1);
  const int i = w->AppendEquation(kKindAntiderivative, -2, 2, "", "2x");
  w->CompileEquation(i);
  TEquation& e = w->Equation(i);
  e.bounded = 1;
  e.endMarkerRight() = 3;
  e.endMarkerLeft() = -3;
  const plat::Colour c = EntryColour(*w, i);
  const auto around = [&](const TPoint2D& p) {
    int n = 0;
    for (int dy = -3; dy <= 3; ++dy)
      for (int dx = -3; dx <= 3; ++dx)
        n += w->Surface().GetPixel(w->WorldToPixelX(p.x) + dx, w->WorldToPixelY(p.y) + dy) == c;
    return n;
  };
  // The curve alone crosses a 7 x 7 box in at most 9 pixels; a dot's box holds 13 (a ring) or more.
  const TPoint2D nowhere{99, 99};
  struct Case {
    long double lo, hi, x0;
    TPoint2D dot, none;  // a dot's place, and an end of a pass that gets none
  } cases[] = {
      {-2, 2, 0, {2, 4}, nowhere},
      {-2, 2, 0, {-2, 4}, nowhere},
      {-3, 3, 0, nowhere, {std::sqrt(5.0L), 5 - 0.05L}},  // where the right pass leaves the view
      {-2, 2, 2.2L, {-2, 4 - 2.2L * 2.2L}, {2.2L, 0}},      // the right pass starts beyond 2
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(static_cast<double>(k.dot.x));
    e.lowerBound.x = k.lo;
    e.upperBound.x = k.hi;
    e.startValue() = k.x0;
    Repaint();
    if (k.dot.x != nowhere.x) {
      EXPECT_GE(around(k.dot), 13) << "a dot at the end";
    }
    if (k.none.x != nowhere.x) {
      EXPECT_LE(around(k.none), 9) << "no dot there";
    }
  }
}

TEST_F(ToolsDrawing, GuideLinesOfAComplexPointEndAtThePoint) {
  w->SetComplexMode(true);
  const int i = Add(kKindPoint, {"2+1i"});
  TEquation& e = w->Equation(i);
  e.kindFlag = 1;      // entered as one complex number
  e.interpolated = 1;  // guide lines on
  e.subKind = 1 + 3 * 4;  // solid to the y axis, thick to the x axis
  w->CompileEquation(i);
  Repaint();
  const plat::Colour c = EntryColour(*w, i);
  EXPECT_EQ(e.startValue(), 2);
  EXPECT_EQ(e.rollRadius(), 1);
  for (long double x : {0.25L, 1.0L, 1.5L}) EXPECT_TRUE(Near({x, 1}, c)) << "to the y axis at " << static_cast<double>(x);
  for (long double y : {0.25L, 0.5L}) EXPECT_TRUE(Near({2, y}, c)) << "to the x axis at " << static_cast<double>(y);
}

// A repaint draws an implicit curve from its last trace; it is traced
// again when asked to, when the view changes or when a parameter it
// depends on moves.
TEST_F(ToolsDrawing, ImplicitCurvesAreTracedOnlyWhenSomethingChanged) {
  const int i = Add(kKindImplicit, {"", "", "", "", "x^2+y^2=a"});
  w->SetVariable('A', 4);
  TEquation& e = w->Equation(i);
  Repaint();
  ASSERT_TRUE(e.traced);
  const TTracedCurve* first = e.traced.get();
  const plat::Bitmap picture = w->Surface();
  const plat::Colour c = EntryColour(*w, i);
  EXPECT_TRUE(Near({2, 0}, c));
  EXPECT_EQ(e.webToAxis, 0);

  w->InvalidatePlot();
  Repaint();
  EXPECT_EQ(e.traced.get(), first) << "traced again without need";
  EXPECT_TRUE(w->Surface() == picture) << "the kept runs draw the same picture";

  e.webToAxis = 1;
  w->InvalidatePlot();
  Repaint();
  EXPECT_NE(e.traced.get(), first) << "the request to trace again was not served";
  EXPECT_EQ(e.webToAxis, 0);

  const TTracedCurve* second = e.traced.get();
  w->SetVariable('A', 1);
  w->InvalidatePlot();
  Repaint();
  EXPECT_NE(e.traced.get(), second);
  EXPECT_TRUE(Near({1, 0}, c)) << "the circle of radius 1";
  EXPECT_FALSE(Near({2, 0}, c)) << "the old circle is gone";

  const TTracedCurve* third = e.traced.get();
  w->ZoomView(true);
  Repaint();
  EXPECT_NE(e.traced.get(), third);
  EXPECT_TRUE(Near({1, 0}, c));
}

TEST_F(ToolsDrawing, ToolMarksHaveTheirStylesAndGoToTheExports) {
  const int line = Add(kKindExplicit, {"", "x-2"});
  const int parabola = Add(kKindExplicit, {"", "x^2-1"});
  w->Command(kCmZeros);
  TZeroDlg* zeros = w->ZeroDialog();
  zeros->ListSetSel(kIdFirstCombo, zeros->IndexOfFirst(line));
  zeros->EvControl(kIdFirstCombo, plat::CBN_SELCHANGE);
  ASSERT_TRUE(zeros->Found());
  w->Command(kCmExtrema);
  TExtrDlg* extrema = w->ExtremumDialog();
  extrema->ListSetSel(kIdFirstCombo, extrema->IndexOfFirst(parabola));
  extrema->EvControl(kIdFirstCombo, plat::CBN_SELCHANGE);
  ASSERT_TRUE(extrema->Found());
  for (TExportFormat f : {TExportFormat::Svg, TExportFormat::Eps}) {
    std::vector<TPoint2D> at;
    const std::vector<std::string> calls = OverlayCalls(f, &at);
    EXPECT_TRUE(Has(calls, "Marker 11 r5")) << "the zero";
    EXPECT_TRUE(Has(calls, "Marker 8 r7")) << "the extremum";
    EXPECT_TRUE(HasPoint(at, {2, 0}));
    EXPECT_TRUE(HasPoint(at, {0, -1}));
  }
  // On the screen, in the colour of "&Zeiger".
  Repaint();
  const plat::Colour pointer = w->DrawingColourOf(w->CheckColourIndex(w->ColourSlots[1]));
  EXPECT_TRUE(ColourNear(w->Surface(), w->WorldToPixelX(2) + 3, w->WorldToPixelY(0), pointer, 2));
  // A hidden dialog marks nothing.
  zeros->Hide();
  EXPECT_FALSE(Has(OverlayCalls(TExportFormat::Svg), "Marker 11 r5"));
}

TEST_F(ToolsDrawing, TheStartOfTheInitialValueDialogsIsMarked) {
  Add(kKindOdeDyDx, {"", "", "x-y"});
  w->Command(kCmSlopeTrajectory);
  TIvp11Dlg* d = w->SlopeTrajectoryDialog();
  ASSERT_NE(d, nullptr);
  d->SetItemText(kIdIvpStartX, "-1");
  d->SetItemText(kIdIvpStartY, "2");
  d->TakeStartPoint();
  std::vector<TPoint2D> at;
  EXPECT_TRUE(Has(OverlayCalls(TExportFormat::Svg, &at), "Marker 8 r7"));
  EXPECT_TRUE(HasPoint(at, {-1, 2}));
  // Outside the view there is no mark.
  d->SetItemText(kIdIvpStartX, "-100");
  d->TakeStartPoint();
  EXPECT_FALSE(Has(OverlayCalls(TExportFormat::Svg), "Marker 8 r7"));
}

TEST_F(ToolsDrawing, TheRiemannStripsLieUnderTheMarks) {
  const int f = Add(kKindExplicit, {"", "x-2"});
  w->Command(kCmZeros);
  ASSERT_TRUE(w->ZeroDialog()->Found());
  w->Command(kCmIntegrate);
  TRiemDlg& r = *w->RiemannDialog();
  r.SetItemText(kIdLeftBound, "0");
  r.SetItemText(kIdRightBound, "4");
  r.SetItemText(kIdDivisions, "4");
  r.SetCheck(kIdRuleFirst, true);
  r.EvControl(kIdRuleFirst, plat::BN_CLICKED);
  r.SetCheck(kIdDisplay, true);
  r.EvControl(kIdDisplay, plat::BN_CLICKED);
  r.Press(kIdValueButton);
  ASSERT_EQ(w->Equation(f).results.empty(), false);
  const std::vector<std::string> calls = OverlayCalls(TExportFormat::Eps);
  const auto strips = std::find(calls.begin(), calls.end(), "Comment begin Riemann overlay");
  const auto mark = std::find(calls.begin(), calls.end(), "Marker 11 r5");
  ASSERT_NE(strips, calls.end());
  ASSERT_NE(mark, calls.end());
  EXPECT_LT(strips, mark);
}

TEST_F(ToolsDrawing, TheDyDxDialogKeepsItsStartValuesAsTexts) {
  const int i = Add(kKindOdeDyDx, {"", "", "0"});
  w->SetVariable('A', 1);
  w->Command(kCmSlopeTrajectory);
  TIvp11Dlg& d = *w->SlopeTrajectoryDialog();
  // Its check box for the start texts has no text of its own here.
  EXPECT_TRUE(d.IsItemVisible(kIdIvpKeepTexts));
  EXPECT_EQ(d.GetItemText(kIdIvpKeepTexts), "");
  d.SetItemText(kIdIvpStartX, "-4");
  d.SetItemText(kIdIvpStartY, "A");
  d.SetCheck(kIdIvpKeepTexts, true);
  d.Press(kIdIvpDraw);
  ASSERT_EQ(w->Equation(i).items.size(), 1u);
  TEquationItem& item = w->Equation(i).items.front();
  ASSERT_TRUE(KeepsStartTexts(item));
  EXPECT_EQ(item.texts[1], "A");
  // The solution y = A follows the parameter.
  w->SetVariable('A', 3);
  ASSERT_TRUE(w->EvaluateItemStart(item, kKindOdeDyDx));
  EXPECT_EQ(item.start.y, 3);
  Repaint();
  EXPECT_TRUE(Near({0, 3}, w->DrawingColourOf(w->CheckColourIndex(item.pen.colour))));
}


TEST_F(ToolsDrawing, BothWaysFromOneStartAreListedWithTheirDirections) {
  const int i = Add(kKindOde, {"1", "0"});
  w->Command(kCmAutonomousTrajectory);
  TIvp10Dlg& d = *w->AutonomousTrajectoryDialog();
  d.SetItemText(kIdIvpStartX, "0");
  d.SetItemText(kIdIvpStartY, "1");
  d.Press(kIdIvpDraw);  // "beides"
  ASSERT_EQ(w->Equation(i).items.size(), 2u);
  ASSERT_EQ(d.ListCount(kIdIvpItems), 2);
  const std::string a = d.ListText(kIdIvpItems, 0), b = d.ListText(kIdIvpItems, 1);
  EXPECT_NE(a, b);
  EXPECT_TRUE((a.ends_with("(vor)") && b.ends_with("(rück)")) || (a.ends_with("(rück)") && b.ends_with("(vor)")))
      << a << " / " << b;
}


// A page or an EPS or SVG file gets the darts of the centroid dialog when
// it shows them.
TEST_F(ToolsDrawing, TheCentroidDartsGoIntoTheExport) {
  w->AppendEquation(kKindImplicit, {"", "", "", "", "x^2+y^2=4"});
  w->CompileEquation(0);
  w->EquationsChanged(false);
  w->Command(kCmShadeImplicit);
  TCentroidDlg* d = w->CentroidDialog();
  ASSERT_NE(d, nullptr);
  d->ListSetSel(kCentroidCurves, 0);
  d->Press(kCentroidLess);
  d->Press(kCentroidMean);
  d->SetItemText(kCentroidCount, "2000");
  d->SetCheck(kCentroidShowDarts, true);
  ASSERT_EQ(d->CmRun(), 0);
  const std::vector<std::string> calls = OverlayCalls(TExportFormat::Svg);
  EXPECT_GT(std::count(calls.begin(), calls.end(), "Rect"), 100) << "the disc holds about an eighth of 2000 darts";
  d->SetCheck(kCentroidShowDarts, false);
  const std::vector<std::string> none = OverlayCalls(TExportFormat::Svg);
  EXPECT_EQ(std::count(none.begin(), none.end(), "Rect"), 0);
}

}  // namespace
}  // namespace kv
