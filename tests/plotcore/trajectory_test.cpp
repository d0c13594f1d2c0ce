// Trajectories by the item's method, runs to a target, sequences and the
// cobweb iteration.
#include <gtest/gtest.h>

#include <cmath>

#include "core_window.h"
#include "support/pixel_checks.h"
#include "plotcore/model/ode_stepper.h"
#include "core/constants.h"

namespace kv {
namespace {

using kvtest::CoreWindowTest;
using kvtest::RunCollector;

double D(long double v) { return static_cast<double>(v); }

TEST_F(CoreWindowTest, CircleStaysOnTheUnitCircleWithinTheMethodsError) {
  const int i = w->AppendEquation(kKindOde, {"-y", "x"});
  struct Case {
    int method;
    double maxError;
    double minError;  // Euler spirals outwards: its error is real
  } cases[] = {{kMethodEuler, 0.04, 0.01}, {kMethodModifiedEuler, 2e-4, 0}, {kMethodRungeKutta, 1e-9, 0}};
  const long double h = 0.01L;
  const long steps = static_cast<long>(std::round(2 * Pi / h));
  for (const Case& c : cases) {
    TEquationItem& item = w->AddTrajectoryItem(i, {1, 0, 0}, c.method, h, static_cast<long double>(steps), 1);
    RunCollector runs;
    bool finished = false;
    TPoint3D end;
    EXPECT_EQ(w->RunTrajectory(i, item, &runs, finished, &end), steps);
    EXPECT_TRUE(finished);
    ASSERT_EQ(runs.runs.size(), 1u);
    double worst = 0;
    for (const auto& p : runs.runs[0]) worst = std::max(worst, std::fabs(D(std::hypot(p.x, p.y)) - 1));
    EXPECT_LT(worst, c.maxError) << c.method;
    EXPECT_GE(worst, c.minError) << c.method;
    EXPECT_NEAR(D(end.x), std::cos(D(steps * h)), c.maxError * 2 + 1e-12) << c.method;
  }
  EXPECT_EQ(w->Equation(i).items.size(), 3u);
  EXPECT_EQ(w->Equation(i).items.front().serial, 3);
}

TEST_F(CoreWindowTest, TrajectoryStopsWhereItLeavesTheViewOrRests) {
  const int out = w->AppendEquation(kKindOde, {"1", "0"});
  TEquationItem& item = w->AddTrajectoryItem(out, {0, 0, 0}, kMethodRungeKutta, 0.01L, 0, 1);
  bool finished = false;
  TPoint3D end;
  const long n = w->RunTrajectory(out, item, nullptr, finished, &end);
  EXPECT_TRUE(finished);
  EXPECT_GT(D(end.x), 5);
  EXPECT_LT(n, 700);
  // An equilibrium with no step limit ends instead of running on.
  const int rest = w->AppendEquation(kKindOde, {"0", "0"});
  TEquationItem& still = w->AddTrajectoryItem(rest, {1, 1, 0}, kMethodEuler, 0.01L, 0, 1);
  EXPECT_LT(w->RunTrajectory(rest, still, nullptr, finished, &end), 100);
  EXPECT_TRUE(finished);
  // Undefined slopes stop it at once.
  const int bad = w->AppendEquation(kKindOde, {"sqrt(-1-x)", "0"});
  TEquationItem& b = w->AddTrajectoryItem(bad, {1, 1, 0}, kMethodEuler, 0.01L, 10, 1);
  EXPECT_EQ(w->RunTrajectory(bad, b, nullptr, finished, &end), 0);
  EXPECT_FALSE(finished);
}

TEST_F(CoreWindowTest, RunToATargetParameterAndBackwards) {
  const int i = w->AppendEquation(kKindOde, {"x", "0"});  // x' = x
  TEquationItem& item = w->AddTrajectoryItem(i, {1, 0, 0}, kMethodRungeKutta, 0.001L, 0, 1);
  TPoint3D p;
  ASSERT_TRUE(w->RunTrajectoryItem(i, item, 1.0005L, p));
  EXPECT_NEAR(D(p.x), std::exp(1.0005), 1e-9);
  ASSERT_TRUE(w->RunTrajectoryItem(i, item, -1, p));
  EXPECT_NEAR(D(p.x), std::exp(-1.0), 1e-9);
  long double t = 0;
  TPoint3D end;
  EXPECT_EQ(w->ComputeTrajectoryOffscreen(i, item, end, t, -1), 0);
  EXPECT_LT(t, 0);
}

TEST_F(CoreWindowTest, SlopeFieldItemsRunInX) {
  const int i = w->AppendEquation(kKindOdeDyDx, {"", "", "y"});  // y' = y
  TEquationItem& item = w->AddItemForKind211(i, {0, 1, 0}, 0.01L, kMethodRungeKutta, 5, 2);
  EXPECT_EQ(item.pen.colour, 5);
  EXPECT_EQ(item.pen.width, 2);
  TPoint3D p{0, 1, 0};
  for (int k = 0; k < 100; ++k) ASSERT_TRUE(w->StepTrajectory(i, kMethodRungeKutta, k * 0.01L, 0.01L, p));
  EXPECT_NEAR(D(p.x), 1, 1e-12);
  EXPECT_NEAR(D(p.y), std::exp(1.0), 1e-9);
}

TEST_F(CoreWindowTest, FamiliesRunFromStartToEndInTheirSteps) {
  TEquation& e = w->Equation(w->AppendEquation(kKindOde, {"-y", "x"}));
  e.familyOn = 1;
  e.familyStart = 1;
  e.familyEnd = 2;
  plat::Bitmap bmp(501, 501);
  plat::BitmapDC dc(bmp);
  for (const int steps : {0, 4000}) {
    e.familySteps = static_cast<std::int16_t>(steps);
    w->fieldLetters.clear();
    w->DrawFamilyTrajectories(dc, 0);
    EXPECT_EQ(w->fieldLetters.size(), static_cast<std::size_t>(steps + 1)) << steps;
  }
  EXPECT_EQ(w->fieldLetters.back(), 2);
}

TEST_F(CoreWindowTest, SequencesIterateTheirTexts) {
  w->SetVariable('A', 3.2L);
  const int i = w->AppendEquation(kKindSequence, {"a*x(1-x)", "y+1"});
  TEquationItem& item = w->AddTrajectoryItem(i, {0.5L, 0, 0}, 0, 0, 50, 1);
  const std::vector<TPoint3D> terms = w->IterateSequenceItem(i, item, 50);
  ASSERT_EQ(terms.size(), 51u);
  long double x = 0.5L;
  for (std::size_t n = 0; n < terms.size(); ++n) {
    EXPECT_NEAR(D(terms[n].x), D(x), 1e-12) << n;
    EXPECT_EQ(terms[n].y, static_cast<long double>(n));
    x = 3.2L * x * (1 - x);
  }
  // The logistic map at 3.2 settles on its 2-cycle.
  const long double r = 3.2L;
  const long double lo = (r + 1 - std::sqrt((r - 3) * (r + 1))) / (2 * r);
  const long double hi = (r + 1 + std::sqrt((r - 3) * (r + 1))) / (2 * r);
  EXPECT_NEAR(D(std::min(terms[49].x, terms[50].x)), D(lo), 1e-6);
  EXPECT_NEAR(D(std::max(terms[49].x, terms[50].x)), D(hi), 1e-6);
  // A complex sequence runs in z; an undefined term ends it; counts are bounded.
  const int c = w->AppendEquation(kKindSequence, {"(0.9+0.1i)z"});
  w->Equation(c).kindFlag = 1;
  w->CompileEquation(c);
  TEquationItem& ci = w->AddTrajectoryItem(c, {1, 0, 0}, 0, 0, 2, 1);
  const auto z = w->IterateSequenceItem(c, ci, 2);
  ASSERT_EQ(z.size(), 3u);
  EXPECT_NEAR(D(z[2].x), 0.8, 1e-12);
  EXPECT_NEAR(D(z[2].y), 0.18, 1e-12);
  const int u = w->AppendEquation(kKindSequence, {"sqrt(x-1)", "y"});
  TEquationItem& ui = w->AddTrajectoryItem(u, {2, 0, 0}, 0, 0, 5, 1);
  EXPECT_EQ(w->IterateSequenceItem(u, ui, 5).size(), 3u);  // 2, 1, 0, then undefined
}

TEST_F(CoreWindowTest, CobwebIteratesTheGraphFromItsStart) {
  w->SetVariable('A', 2.5L);
  const int i = w->AppendEquation(kKindExplicit, {"", "a*x(1-x)"});
  TEquation& e = w->Equation(i);
  e.webStart() = 0.1L;
  e.termCount = 30;
  const auto terms = w->IterateSequence(i);
  ASSERT_EQ(terms.size(), 31u);
  EXPECT_NEAR(D(terms.back()), 0.6, 1e-6);
  e.subKind = 'B' - 64;  // start from parameter B
  w->SetVariable('B', 0.3L);
  EXPECT_EQ(w->IterateSequence(i).front(), 0.3L);
  e.termCount = 32000;  // bounded to 1000 terms
  EXPECT_EQ(w->IterateSequence(i).size(), 1001u);
}

}  // namespace
}  // namespace kv

namespace kv {
namespace {

TEST_F(CoreWindowTest, LateAdditionsAreDrawnIntoTheBuffersAndOnTheScreen) {
  const int ode = w->AppendEquation(kKindOde, {"-y", "x"});
  w->Equation(ode).penColour = 4;
  w->InvalidatePlot();
  w->UpdateWindow();
  const int calls = w->drawEquationsCalls;
  EXPECT_EQ(w->AddTrajectoryBuffered(ode, {2, 0, 0}, 0, 700, 1), 0);
  EXPECT_EQ(w->Equation(ode).items.size(), 2u);  // both directions
  EXPECT_EQ(w->drawEquationsCalls, calls);        // no full redraw
  const plat::Colour c = w->DrawingColourOf(4);
  EXPECT_EQ(w->BackBuffers[0].GetPixel(350, 250), c);  // (2, 0)
  EXPECT_EQ(w->Surface().GetPixel(250, 150), c);       // (0, 2)
  // A sequence item; the piece of an implicit curve through a point.
  const int seq = w->AppendEquation(kKindSequence, {"x+0.5", "y"});
  EXPECT_EQ(w->DrawSequenceItemBuffered(seq, {-4, -4, 0}, 4), 0);
  EXPECT_EQ(w->Equation(seq).items.size(), 1u);
  const int imp = w->AppendEquation(kKindImplicit, {"", "", "", "", "xx+yy=16"});
  kvtest::RunCollector piece;
  w->TraceEquationFrom(imp, {3.9L, 0.1L}, piece);
  ASSERT_GT(piece.Points(), 100u);
  for (const auto& run : piece.runs)
    for (const auto& p : run) EXPECT_NEAR(static_cast<double>(std::hypot(p.x, p.y)), 4, 1e-3);
  EXPECT_EQ(w->AddTrajectoryAt(imp, {3.9L, 0.1L}), 0);
  EXPECT_EQ(w->Equation(imp).items.size(), 1u);
}

// "Verfolgen" of a sequence: x(n+1) = x(n)/2, y(n+1) = y(n) - 1 from (4, 4) has its terms at
// (4/2^n, 4 - n), a row of pixels apart, connected by lines.  On the fake clock each term shown is
// followed by the delay (tenths of ms): the screen in the middle of the run shows the terms up to then
// and no later one; "A" ends the run within a tenth of a second, after the term it came behind; the
// buffers and the screen then hold the terms shown with the lines between them, and the item keeps
// its count for the next full drawing.
TEST_F(CoreWindowTest, AFollowedSequenceShowsItsTermsOneByOneAndStopsOnA) {
  const int seq = w->AppendEquation(kKindSequence, {"x/2", "y-1"});
  TEquation& e = w->Equation(seq);
  e.penColour = 4;
  e.notVertical = 1;
  const plat::Colour c = w->DrawingColourOf(4);
  constexpr long kCount = 11;  // terms 0..11; 0..8 lie in the view
  const auto at = [](long double n) { return TPoint2D{4 / std::pow(2.0L, n), 4 - n}; };
  // The colour within a pixel of the place.
  const auto shows = [&](const plat::Bitmap& b, TPoint2D p) {
    const int x = w->WorldToPixelX(p.x), y = w->WorldToPixelY(p.y);
    for (int dy = -1; dy <= 1; ++dy)
      for (int dx = -1; dx <= 1; ++dx)
        if (b.GetPixel(x + dx, y + dy) == c) return true;
    return false;
  };
  // Terms 0..n-1 with the lines between them, and none of the later ones or lines to them.
  const auto holdsTerms = [&](const plat::Bitmap& b, long n) {
    for (long k = 0; k <= 8; ++k) {
      if (shows(b, at(k)) != (k < n)) return false;
      const TPoint2D a = at(k - 1), z = at(k), mid{(a.x + z.x) / 2, (a.y + z.y) / 2};
      if (k > 0 && shows(b, mid) != (k < n)) return false;  // on the line from k-1 to k
    }
    return true;
  };
  struct Case {
    int delay;     // tenths of a millisecond
    int keyAt;     // ms, -1 for none
    long shown;    // terms shown when it comes
    int stoppedAt; // ms
  } cases[] = {
      {100, 35, 4, 40},        // 10 ms a term: the key in the fourth pause
      {10000, 1510, 2, 1520},  // a second a term: the key ends the second pause at its next slice
      {100, -1, kCount + 1, 10 * (kCount + 1)},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.delay);
    e.items.clear();
    w->InvalidatePlot();
    w->UpdateWindow();
    plat::testing::FakeTicks(true);
    plat::Bitmap middle;
    const int lookAt = k.keyAt >= 0 ? k.keyAt : 55;
    plat::testing::AtTick(lookAt, [&] {
      middle = w->Surface();
      if (k.keyAt >= 0) plat::testing::InjectKey(*w, 'A');
    });
    w->followFlag = 1;
    w->followDelay = k.delay;
    const int r = w->DrawSequenceItemBuffered(seq, {4, 4, 0}, kCount);
    w->followFlag = 0;
    const std::int64_t stoppedAt = plat::TickMilliseconds();
    plat::testing::FakeTicks(false);
    EXPECT_EQ(r, k.keyAt >= 0 ? 'A' : 0);
    EXPECT_EQ(stoppedAt, k.stoppedAt);
    ASSERT_FALSE(middle.IsNull());
    EXPECT_TRUE(holdsTerms(middle, std::min<long>(lookAt / (k.delay / 10) + 1, 9))) << "in the middle of the run";
    const long kept = std::min<long>(k.shown, 9);
    EXPECT_TRUE(holdsTerms(w->BackBuffers[1], kept));
    EXPECT_TRUE(holdsTerms(w->BackBuffers[0], kept));
    EXPECT_TRUE(holdsTerms(w->Surface(), kept));
    ASSERT_EQ(e.items.size(), 1u);
    EXPECT_EQ(e.items.front().stepLimit, kCount);
  }
}

// "Verfolgen" of a solution: x' = 1, y' = 0 from (-4, 1) is the line y = 1 on which step j of 0.25
// (12.5 pixels) ends at x = -4 + j/4.  Each step goes onto the screen before its pause (the delay in
// tenths of ms, added up where it is not whole ms): at tick T the screen shows the first ceil(10 T /
// delay) steps and no later one; the whole run takes the pauses of all steps, and "A" ends it in the
// pause it came in.  A repaint during the run shows the steps shown so far, not the whole solution.
TEST_F(CoreWindowTest, AFollowedSolutionShowsEachStepBeforeItsPause) {
  const int ode = w->AppendEquation(kKindOde, {"1", "0"});
  w->Equation(ode).penColour = 4;
  w->trajectoryDensity = 4;
  constexpr int kSteps = 32;
  const plat::Colour c = w->DrawingColourOf(4);
  // Whether the middle of step j (from 1) shows the colour within a pixel.
  const auto shows = [&](const plat::Bitmap& b, int j) {
    return kvtest::ColourNear(b, w->WorldToPixelX(-4 + (j - 0.5L) / 4), w->WorldToPixelY(1), c, 1);
  };
  const auto stepsShown = [&](const plat::Bitmap& b) { return kvtest::StepsShown(b, kSteps, shows); };
  struct Case {
    int delay;      // tenths of a millisecond
    int lookAt;     // ms
    bool key;       // "A" at lookAt
    int stoppedAt;  // ms
    bool repaint;   // the whole window painted anew at lookAt
  } cases[] = {
      {25, 51, false, 80, false},  // 2.5 ms a step: the pauses of 2 and 3 ms add up
      {100, 205, false, 320, false},
      {100, 125, true, 130, false},  // "A" in the pause of step 13
      {100, 205, false, 320, true},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.delay * 1000 + k.lookAt);
    w->Equation(ode).items.clear();
    w->InvalidatePlot();
    w->UpdateWindow();
    plat::testing::FakeTicks(true);
    plat::Bitmap middle;
    plat::testing::AtTick(k.lookAt, [&] {
      if (k.repaint) {
        w->InvalidatePlot();
        w->RepaintNow(false);
      }
      middle = w->Surface();
      if (k.key) plat::testing::InjectKey(*w, 'A');
    });
    w->followFlag = 1;
    w->followDelay = k.delay;
    const int r = w->AddTrajectoryBuffered(ode, {-4, 1, 0}, 1, kSteps, 1);
    w->followFlag = 0;
    const std::int64_t stoppedAt = plat::TickMilliseconds();
    plat::testing::FakeTicks(false);
    EXPECT_EQ(r, k.key ? 'A' : 0);
    EXPECT_EQ(stoppedAt, k.stoppedAt);
    ASSERT_FALSE(middle.IsNull()) << "no pause reached the tick";
    EXPECT_EQ(stepsShown(middle), (10 * k.lookAt + k.delay - 1) / k.delay);
    if (!k.key) {
      EXPECT_EQ(stepsShown(w->Surface()), kSteps);
    }
  }
}

TEST_F(CoreWindowTest, ItemStartsFromTheirTexts) {
  w->SetVariable('A', 2);
  TEquationItem item;
  item.startCode = 1001;
  item.texts = {"a+1", "pi", "", "-a"};
  ASSERT_TRUE(w->EvaluateItemStart(item, kKindOde));
  EXPECT_EQ(item.start.x, 3);
  EXPECT_NEAR(static_cast<double>(item.start.y), 3.141592653589793, 1e-15);
  EXPECT_EQ(item.paramStart, -2);
  item.texts[2] = "sqrt(-1)";
  EXPECT_FALSE(w->EvaluateItemStart(item, kKindOde));
  item.texts[2] = "1+";
  EXPECT_FALSE(w->EvaluateItemStart(item, kKindOde));
  item.startCode = 0;  // plain start values stay
  EXPECT_TRUE(w->EvaluateItemStart(item, kKindOde));
}

}  // namespace
}  // namespace kv
