// Zeros, extrema and intersections of 2D entries without a window.
#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>
#include <memory>
#include <vector>

#include "core/constants.h"
#include "formula/formula_engine.h"
#include "plot2d/model/curve_crossing.h"
#include "plot2d/model/intersections.h"
#include "plot2d/model/zeros.h"
#include "plotcore/model/compile_equation.h"
#include "plotcore/model/equation_curves.h"

namespace kv {
namespace {

double D(long double v) { return static_cast<double>(v); }

const TSegment2D kView{-5, 5, -5, 5};

std::unique_ptr<TEquation> Make(TFormulaEngine& engine, int kind, std::initializer_list<const char*> texts,
                                long double lo = -5, long double hi = 5, bool bounded = false) {
  auto e = std::make_unique<TEquation>();
  InitEquation(*e, kind, 2, 50);
  std::size_t k = 0;
  for (const char* t : texts) e->formulaText[k++] = t;
  e->lowerBound = {lo, lo};
  e->upperBound = {hi, hi};
  e->bounded = bounded ? 1 : 0;
  InitEquationBuffers(*e);
  CompileEquation(*e, engine, true);
  return e;
}

// The pieces a drawing of the implicit entry traced in the view, kept with it.
void Trace(TFormulaEngine& engine, TEquation& e, const TSegment2D& view = kView) {
  class Keep : public TPolylineSink {
   public:
    void MoveTo(const TPoint2D& p) override { runs.push_back({p}); }
    void LineTo(const TPoint2D& p) override { runs.back().push_back(p); }
    TTracedRuns runs;
  } keep;
  TTracerSettings t;
  t.view = view;
  TraceEquation(e, engine, t, false, nullptr, keep);
  auto traced = std::make_shared<TTracedCurve>();
  traced->members.push_back(std::move(keep.runs));
  e.traced = std::move(traced);
}

// The answers of n presses of "Nächste".
std::vector<long double> Zeros(TFormulaEngine& engine, TEquation& e, int n, ScanResult& last) {
  std::vector<long double> xs;
  int counter = 0;
  for (int k = 0; k < n; ++k) {
    long double x = 0;
    last = FindNextZero(e, engine, kView, counter, x);
    if (last != kScanFound) break;
    xs.push_back(x);
  }
  return xs;
}

TEST(Zeros, StepThroughTheZerosFromLeftToRightAndWrap) {
  struct Case {
    int kind;
    std::initializer_list<const char*> texts;
    long double lo, hi;
    std::vector<long double> expected;  // n presses; empty: none
    ScanResult result;
  } cases[] = {
      {kKindExplicit, {"", "(x-1)(x-2)(x+1)"}, -5, 5, {-1, 1, 2, -1}, kScanFound},
      {kKindExplicit, {"", "(x-1)^2"}, -5, 5, {1, 1}, kScanFound},  // double zero, by the derivative
      {kKindExplicit, {"", "x^3-3x"}, -5, 5, {-std::sqrt(3.0L), 0, std::sqrt(3.0L)}, kScanFound},
      {kKindExplicit, {"", "sin(x)"}, -5, 5, {-Pi, 0, Pi, -Pi}, kScanFound},
      {kKindExplicit, {"", "x"}, -1, 100, {0, 0}, kScanFound},  // the zero on a cell's end
      {kKindExplicit, {"", "x^2+1"}, -5, 5, {}, kScanNone},
      {kKindExplicit, {"", "1/x"}, -5, 5, {}, kScanNone},  // a pole is no zero
      {kKindExplicit, {"", "0"}, -5, 5, {}, kScanTooMany},
      {kKindSegment, {"2", "-1", "2", "3"}, 0, 1, {2}, kScanFound},
      {kKindSegment, {"2", "1", "2", "3"}, 0, 1, {}, kScanNone},
      {kKindSegment, {"-1", "-1", "3", "1"}, 0, 1, {1}, kScanFound},
      {kKindSegment, {"2", "1", "4", "3"}, 0, 1, {}, kScanNone},  // its line's zero lies beyond its end
      {kKindLine, {"1", "2", "3"}, 0, 1, {3}, kScanFound},
      {kKindLine, {"2", "0", "3"}, 0, 1, {1.5}, kScanFound},
  };
  for (const Case& c : cases) {
    TFormulaEngine engine;
    auto e = Make(engine, c.kind, c.texts, c.lo, c.hi);
    ScanResult last = kScanNone;
    const int presses = c.expected.empty() ? 1 : static_cast<int>(c.expected.size());
    const std::vector<long double> xs = Zeros(engine, *e, presses, last);
    ASSERT_EQ(xs.size(), c.expected.size()) << e->formulaText[1] << e->formulaText[0];
    for (std::size_t k = 0; k < xs.size(); ++k) EXPECT_NEAR(D(xs[k]), D(c.expected[k]), 1e-12) << k;
    EXPECT_EQ(last, c.result) << e->formulaText[1];
  }
}

TEST(Zeros, TheVariableAndToleranceAreLeftAsTheyWereAndAStopEndsTheSearch) {
  TFormulaEngine engine;
  auto e = Make(engine, kKindExplicit, {"", "x^2+1"});
  engine.SetVariable('X', 7);
  engine.bisectTolerance = 0.5L;
  int counter = 0, polls = 0;
  long double x = 0;
  EXPECT_EQ(FindNextZero(*e, engine, kView, counter, x, [&] { return ++polls > 3; }), kScanStopped);
  EXPECT_EQ(polls, 4);
  EXPECT_EQ(D(engine.Variable('X').re), 7.0);
  EXPECT_EQ(D(engine.bisectTolerance), 0.5);
}

TEST(Extrema, StepThroughExtremaInflectionsAndEnds) {
  struct Case {
    int kind;
    std::initializer_list<const char*> texts;
    long double lo, hi;
    bool bounded;
    int target;
    std::vector<long double> xs;  // expected first values (x; t for curves)
    int code;
  } cases[] = {
      {kKindExplicit, {"", "x^3-3x"}, -5, 5, false, kTargetY, {-1, 1, -1}, 30},
      {kKindExplicit, {"", "x^3-3x"}, -5, 5, true, kTargetY, {-5, -1, 1, 5, -5, -1}, 30},
      {kKindExplicit, {"", "x^3-3x"}, -5, 5, false, kTargetYPrime, {0, 0}, 34},
      {kKindExplicit, {"", "sin(x)"}, 0, 2 * Pi, false, kTargetY, {Pi / 2, 3 * Pi / 2, Pi / 2}, 30},
      {kKindExplicit, {"", "sin(x)"}, 0.1L, 6, false, kTargetYPrime, {Pi, Pi}, 34},
      {kKindParametric, {"3cos(t)", "3sin(t)"}, 0.1L, 2 * Pi + 0.1L, false, kTargetY, {Pi / 2, 3 * Pi / 2}, 31},
      {kKindParametric, {"3cos(t)", "3sin(t)"}, 0, 2 * Pi, false, kTargetR, {}, 33},
      {kKindPolar, {"", "", "3cos(2t)"}, 0.1L, 2 * Pi + 0.1L, false, kTargetR, {Pi / 2, Pi, 3 * Pi / 2}, 33},
  };
  for (const Case& c : cases) {
    TFormulaEngine engine;
    auto e = Make(engine, c.kind, c.texts, c.lo, c.hi, c.bounded);
    TExtremumState state;
    const int presses = c.xs.empty() ? 1 : static_cast<int>(c.xs.size());
    for (int k = 0; k < presses; ++k) {
      TExtremum out;
      const ScanResult r = FindNextExtremum(*e, engine, c.target, state, out);
      if (c.xs.empty()) {
        EXPECT_EQ(r, kScanNone);
        break;
      }
      ASSERT_EQ(r, kScanFound) << e->formulaText[1] << " press " << k;
      EXPECT_EQ(out.code, c.code);
      const long double at = c.kind == kKindExplicit ? out.values[0] : out.values[3];
      EXPECT_NEAR(D(at), D(c.xs[static_cast<std::size_t>(k)]), 1e-9) << e->formulaText[1] << " press " << k;
    }
  }
}

TEST(Extrema, ValuesOfTheFoundPoint) {
  TFormulaEngine engine;
  auto cubic = Make(engine, kKindExplicit, {"", "x^3-3x"});
  TExtremumState state;
  TExtremum out;
  ASSERT_EQ(FindNextExtremum(*cubic, engine, kTargetY, state, out), kScanFound);
  EXPECT_EQ(out.count, 2);
  EXPECT_NEAR(D(out.values[1]), 2.0, 1e-12);  // the maximum (-1; 2)
  ASSERT_EQ(FindNextExtremum(*cubic, engine, kTargetY, state, out), kScanFound);
  EXPECT_NEAR(D(out.values[1]), -2.0, 1e-12);  // the minimum (1; -2)
  TExtremumState inflection;
  ASSERT_EQ(FindNextExtremum(*cubic, engine, kTargetYPrime, inflection, out), kScanFound);
  EXPECT_EQ(out.count, 3);
  EXPECT_NEAR(D(out.values[1]), 0.0, 1e-12);
  EXPECT_NEAR(D(out.values[2]), -3.0, 1e-12);  // the slope there

  auto rose = Make(engine, kKindPolar, {"", "", "3cos(2t)"}, 0.1L, 2 * Pi + 0.1L);
  TExtremumState s2;
  ASSERT_EQ(FindNextExtremum(*rose, engine, kTargetX, s2, out), kScanFound);
  EXPECT_EQ(out.count, 4);
  const long double t = out.values[3];
  EXPECT_NEAR(D(out.values[2]), D(3 * std::cos(2 * t)), 1e-12);  // r keeps its sign
  EXPECT_NEAR(D(out.values[0]), D(out.values[2] * std::cos(t)), 1e-12);
  EXPECT_NEAR(D(out.values[1]), D(out.values[2] * std::sin(t)), 1e-12);
  EXPECT_EQ(ExtremumCode(kKindExplicit, kTargetR), 0);
}

TEST(Intersections, PairCodesOfTheClasses) {
  EXPECT_EQ(IntersectionPairCode(kClassF, kClassF), 0);
  EXPECT_EQ(IntersectionPairCode(kClassP, kClassP), -1);
  EXPECT_EQ(IntersectionPairCode(kClassV, kClassV), -1);
  EXPECT_EQ(IntersectionPairCode(kClassO, kClassO), 8);
  EXPECT_EQ(IntersectionPairCode(kClassV, kClassO), 6);
  EXPECT_EQ(IntersectionPairCode(kClassO, kClassV), 14);
  EXPECT_EQ(IntersectionPairCode(kClassP, kClassF), 9);
  EXPECT_EQ(IntersectionPairCode(kClassNone, kClassF), -1);
}

struct Crossing {
  long double x, y, angle;
};

TEST(Intersections, EveryPairOfKindsWithItsAngle) {
  const long double r65 = std::sqrt(6.5L);
  const long double acos06 = std::acos(-0.6L);
  const long double slopes21 = std::atan(2.0L) - Pi / 4;  // y = x^2 and y = x at (1;1): slopes 2 and 1
  struct Case {
    int kindA;
    std::initializer_list<const char*> textsA;
    int kindB;
    std::initializer_list<const char*> textsB;
    std::vector<Crossing> expected;
  } cases[] = {
      // explicit - explicit
      {kKindExplicit, {"", "x^2"}, kKindExplicit, {"", "x"}, {{0, 0, Pi / 4}, {1, 1, slopes21}}},
      {kKindExplicit, {"", "x^2"}, kKindExplicit, {"", "2-x^2"}, {{-1, 1, acos06}, {1, 1, acos06}}},
      // explicit - polar, parametric - explicit
      {kKindExplicit, {"", "0.5"}, kKindParametric, {"cos(t)", "sin(t)"},
       {{std::sqrt(0.75L), 0.5L, 2 * Pi / 3}, {-std::sqrt(0.75L), 0.5L, 2 * Pi / 3}}},
      {kKindPolar, {"", "", "2"}, kKindExplicit, {"", "0"}, {{2, 0, Pi / 2}, {-2, 0, Pi / 2}}},
      // explicit - implicit and back
      {kKindExplicit, {"", "x"}, kKindImplicit, {"", "", "", "", "xx+yy=13"}, {{-r65, -r65, Pi / 2}, {r65, r65, Pi / 2}}},
      {kKindImplicit, {"", "", "", "", "xx+yy=13"}, kKindExplicit, {"", "x"}, {{-r65, -r65, Pi / 2}, {r65, r65, Pi / 2}}},
      // parametric - implicit
      {kKindParametric, {"t", "0"}, kKindImplicit, {"", "", "", "", "xx+yy=4"}, {{-2, 0, Pi / 2}, {2, 0, Pi / 2}}},
      // vertical segment against graphs: (1;1) lies on its end and is withdrawn
      {kKindSegment, {"1", "-1", "1", "1"}, kKindExplicit, {"", "x"}, {}},
      {kKindSegment, {"1", "-1", "1", "1"}, kKindExplicit, {"", "0.5x"}, {{1, 0.5L, std::atan(2.0L)}}},
      {kKindExplicit, {"", "0.5x"}, kKindSegment, {"1", "-1", "1", "1"}, {{1, 0.5L, std::atan(2.0L)}}},
      // segments end: crossings of their lines beyond the ends are none
      {kKindSegment, {"0", "0", "1", "1"}, kKindExplicit, {"", "3-x"}, {}},
      {kKindSegment, {"0", "0", "1", "0"}, kKindImplicit, {"", "", "", "", "xx+yy=4"}, {}},
      {kKindSegment, {"0", "0", "3", "0"}, kKindImplicit, {"", "", "", "", "xx+yy=4"}, {{2, 0, Pi / 2}}},
      // segment - parametric: only the crossing on the segment
      {kKindSegment, {"0", "0", "3", "0"}, kKindParametric, {"2cos(t)", "2sin(t)"}, {{2, 0, Pi / 2}, {2, 0, Pi / 2}}},
      // vertical segment - parametric, vertical line - implicit
      {kKindSegment, {"0", "0", "0", "5"}, kKindParametric, {"2cos(t)", "2sin(t)"}, {{0, 2, Pi / 2}, {0, 2, Pi / 2}}},
      {kKindLine, {"1", "0", "1"}, kKindImplicit, {"", "", "", "", "xx+yy=2"}, {{1, -1, Pi / 4}, {1, 1, Pi / 4}}},
      // two lines
      {kKindLine, {"1", "1", "2"}, kKindLine, {"1", "-1", "0"}, {{1, 1, Pi / 2}}},
      // two implicit curves
      {kKindImplicit, {"", "", "", "", "xx+yy=4"}, kKindImplicit, {"", "", "", "", "x=y"},
       {{-std::sqrt(2.0L), -std::sqrt(2.0L), Pi / 2}, {std::sqrt(2.0L), std::sqrt(2.0L), Pi / 2}}},
      {kKindExplicit, {"", "0"}, kKindPolar, {"", "", "2"}, {{-2, 0, Pi / 2}, {2, 0, Pi / 2}}},
      // implicit - parametric, implicit - vertical, parametric - vertical
      {kKindImplicit, {"", "", "", "", "y=0.5"}, kKindParametric, {"cos(t)", "sin(t)"},
       {{std::sqrt(0.75L), 0.5L, Pi / 3}, {-std::sqrt(0.75L), 0.5L, Pi / 3}}},
      {kKindImplicit, {"", "", "", "", "xx+yy=2"}, kKindLine, {"1", "0", "1"}, {{1, -1, Pi / 4}, {1, 1, Pi / 4}}},
      {kKindParametric, {"2cos(t)", "2sin(t)"}, kKindSegment, {"0", "0", "0", "5"}, {{0, 2, Pi / 2}, {0, 2, Pi / 2}}},
      // no search: two parametric curves, two verticals
      {kKindParametric, {"t", "0"}, kKindPolar, {"", "", "1"}, {}},
      {kKindSegment, {"1", "0", "1", "2"}, kKindLine, {"1", "0", "1"}, {}},
  };
  TIntersectionSettings s;
  s.view = kView;
  for (const Case& c : cases) {
    TFormulaEngine engine;
    const bool curveA = c.kindA == kKindParametric || c.kindA == kKindPolar;
    const bool curveB = c.kindB == kKindParametric || c.kindB == kKindPolar;
    auto a = Make(engine, c.kindA, c.textsA, curveA ? 0.1L : -5, curveA ? 0.1L + 2 * Pi : 5);
    auto b = Make(engine, c.kindB, c.textsB, curveB ? 0.1L : -5, curveB ? 0.1L + 2 * Pi : 5);
    if (c.kindA == kKindParametric && c.textsA.size() && std::string(*c.textsA.begin()) == "t") {
      a->lowerBound.x = -5;
      a->upperBound.x = 5;
    }
    if (c.kindB == kKindImplicit) Trace(engine, *b);
    TIntersectionState state;
    // A press that comes to a crossing beyond a segment's end finds nothing.
    std::vector<Crossing> found;
    for (std::size_t k = 0; k < 2 * c.expected.size() + 2; ++k) {
      TIntersection out;
      if (FindNextIntersection(*a, *b, engine, s, state, out) == kScanFound) found.push_back({out.x, out.y, out.angle});
    }
    const std::string name = a->formulaText[1] + a->formulaText[0] + a->formulaText[4] + " / " + b->formulaText[1] +
                             b->formulaText[0] + b->formulaText[4];
    ASSERT_GE(found.size(), c.expected.size()) << name;
    if (c.expected.empty()) {
      EXPECT_TRUE(found.empty()) << name;
    }
    for (const Crossing& got : found) {
      // Implicit pieces may be walked in either direction.
      bool match = false;
      for (const Crossing& want : c.expected)
        match = match || (std::fabs(got.x - want.x) < 1e-9 && std::fabs(got.y - want.y) < 1e-9 &&
                          std::fabs(got.angle - want.angle) < 1e-9);
      EXPECT_TRUE(match) << name << " finds (" << D(got.x) << ";" << D(got.y) << ") at " << D(got.angle);
    }
    for (const Crossing& want : c.expected) {
      bool match = false;
      for (const Crossing& got : found)
        match = match || (std::fabs(got.x - want.x) < 1e-9 && std::fabs(got.y - want.y) < 1e-9);
      EXPECT_TRUE(match) << name << " misses (" << D(want.x) << ";" << D(want.y) << ")";
    }
  }
}

TEST(Intersections, TwoImplicitCurvesMeetOnTheSecondOnesTrace) {
  TFormulaEngine engine;
  auto circle = Make(engine, kKindImplicit, {"", "", "", "", "xx+yy=4"});
  auto diagonal = Make(engine, kKindImplicit, {"", "", "", "", "x=y"});
  TIntersectionSettings s;
  s.view = kView;
  TIntersectionState state;
  TIntersection out;
  // Never drawn, the diagonal has no pieces to walk.
  EXPECT_EQ(FindNextIntersection(*circle, *diagonal, engine, s, state, out), kScanNone);
  Trace(engine, *diagonal);
  ASSERT_EQ(FindNextIntersection(*circle, *diagonal, engine, s, state, out), kScanFound);
  const long double first = out.x;
  ASSERT_EQ(FindNextIntersection(*circle, *diagonal, engine, s, state, out), kScanFound);
  EXPECT_NEAR(D(out.x), -D(first), 1e-12);
  EXPECT_NEAR(D(out.y), D(out.x), 1e-12);
  // A trace of only a part of the view: its first piece from its start.
  Trace(engine, *diagonal, {0.5L, 5, 0.5L, 5});
  for (int k = 0; k < 2; ++k) {
    ASSERT_EQ(FindNextIntersection(*circle, *diagonal, engine, s, state, out), kScanFound);
    EXPECT_NEAR(D(out.x), std::sqrt(2.0), 1e-12);
  }
}

TEST(CurveCrossing, TheStartMovesOntoTheFirstCrossing) {
  struct Case {
    const char* curve;
    TPoint3D start;
    long double steps;
    CrossingResult result;
    long double x;  // the start afterwards
  } cases[] = {
      {"xx+yy=4", {0, 0, 0}, 300, kCrossingRefined, 2},        // runs to x = 3 over the circle
      {"xx+yy=4", {-1, 0, 0}, 200, kCrossingNoSignChange, -1}, // ends at x = 1, still inside
      {"xx+yy=4", {-2, 0, 0}, 50, kCrossingStartOnCurve, -2},   // enters the circle from its edge
      {"x=2.5", {0, 0, 0}, 250, kCrossingRefined, 2.5},         // the end lies on the curve
  };
  for (const Case& c : cases) {
    TFormulaEngine engine;
    auto path = Make(engine, kKindOde, {"1", "0"});
    auto curve = Make(engine, kKindImplicit, {"", "", "", "", c.curve});
    TEquationItem item;
    InitEquationItem(item, 1, 2, 1, 0);
    item.start = c.start;
    item.paramEnd = 0.01L;
    item.stepLimit = c.steps;
    item.method = kMethodRungeKutta;
    engine.SetVariable('X', 9);
    TTrajectoryView view;
    TPoint3D end;
    EXPECT_EQ(RefineCurveCrossing(*path, item, *curve, engine, view, end), c.result) << c.curve;
    EXPECT_NEAR(D(item.start.x), D(c.x), 1e-12) << c.curve;
    EXPECT_LE(D(item.start.x), D(c.x) + 1e-15);  // never beyond the crossing
    EXPECT_EQ(D(item.stepLimit), D(c.steps));
    EXPECT_EQ(D(engine.Variable('X').re), 9.0);
  }
}

}  // namespace
}  // namespace kv
