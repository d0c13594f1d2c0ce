// The 2D window's computing units without a window: solutions of dy/dx
// equations by the three methods against known solutions with their stop
// rules, direction-field grids and elements, and the geometry of lines and
// segments.
#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>
#include <set>
#include <vector>

#include "formula/formula_engine.h"
#include "plot2d/model/direction_field.h"
#include "plot2d/model/dydx_trajectory.h"
#include "plot2d/model/segments_lines.h"
#include "plotcore/model/compile_equation.h"

namespace kv {
namespace {

double D(long double v) { return static_cast<double>(v); }

// An entry of the kind with its texts, compiled as a window would.
struct Entry {
  TFormulaEngine engine;
  TEquation e;
  Entry(int kind, std::initializer_list<const char*> texts) {
    InitEquation(e, kind, 2, 50);
    std::size_t k = 0;
    for (const char* t : texts) e.formulaText[k++] = t;
    CompileEquation(e, engine, true);
  }
  TExprNode* Slope() { return e.trees[2].get(); }
};

// y(x) after n steps of h from (0, 1) on y' = y.
long double SolveExp(Entry& en, int method, long double h, int n) {
  TPoint2D p{0, 1};
  for (int k = 0; k < n; ++k)
    if (!StepDyDx(en.engine, en.Slope(), method, p, h, false)) return NAN;
  return p.y;
}

TEST(DyDxSteps, OneRungeKuttaStepIsTheFourthOrderTaylorPolynomial) {
  Entry en(kKindOdeDyDx, {"", "", "y"});
  TPoint2D p{0, 1};
  ASSERT_TRUE(StepDyDx(en.engine, en.Slope(), kMethodRungeKutta, p, 0.1L, false));
  EXPECT_NEAR(D(p.x), 0.1, 1e-18);
  const long double expected = 1 + 0.1L + 0.005L + 0.001L / 6 + 0.0001L / 24;
  EXPECT_NEAR(D(p.y), D(expected), 1e-17);
  // Euler and Heun for comparison: 1 + h and 1 + h + h²/2.
  p = {0, 1};
  ASSERT_TRUE(StepDyDx(en.engine, en.Slope(), kMethodEuler, p, 0.1L, false));
  EXPECT_NEAR(D(p.y), 1.1, 1e-17);
  p = {0, 1};
  ASSERT_TRUE(StepDyDx(en.engine, en.Slope(), kMethodModifiedEuler, p, 0.1L, false));
  EXPECT_NEAR(D(p.y), 1.105, 1e-17);
}

TEST(DyDxSteps, HalvingTheStepShrinksEachMethodsErrorByItsOrder) {
  Entry en(kKindOdeDyDx, {"", "", "y"});
  const long double e1 = std::exp(1.0L);
  struct Case {
    int method;
    double ratio;  // 2^order
    double tolerance;
  } cases[] = {{kMethodEuler, 2, 0.05}, {kMethodModifiedEuler, 4, 0.1}, {kMethodRungeKutta, 16, 0.5}};
  for (const Case& c : cases) {
    const long double coarse = std::fabs(SolveExp(en, c.method, 0.05L, 20) - e1);
    const long double fine = std::fabs(SolveExp(en, c.method, 0.025L, 40) - e1);
    ASSERT_GT(fine, 0) << c.method;
    EXPECT_NEAR(D(coarse / fine), c.ratio, c.ratio * c.tolerance) << c.method;
    // Euler lags behind e^x: the solution is convex.
    if (c.method == kMethodEuler) {
      EXPECT_LT(SolveExp(en, c.method, 0.05L, 20), e1);
    }
  }
}

TEST(DyDxSteps, InfiniteSlopeStopsWhereTheSlopesTurnSteeply) {
  // y' = 1/x: a step across x = 0 meets slopes -20 and 20 with h = 0.1.
  Entry en(kKindOdeDyDx, {"", "", "1/x"});
  for (int method : {kMethodEuler, kMethodModifiedEuler}) {
    TPoint2D p{-0.05L, 0};
    EXPECT_FALSE(StepDyDx(en.engine, en.Slope(), method, p, 0.1L, true)) << method;
    EXPECT_EQ(p.x, -0.05L);
    EXPECT_TRUE(StepDyDx(en.engine, en.Slope(), method, p, 0.1L, false)) << method;
  }
  // Runge-Kutta probes at half the step: from -0.025 it lands on 0.025.
  TPoint2D p{-0.025L, 0};
  EXPECT_FALSE(StepDyDx(en.engine, en.Slope(), kMethodRungeKutta, p, 0.1L, true));
  // Gentle slopes pass with the flag on.
  TPoint2D q{1, 0};
  EXPECT_TRUE(StepDyDx(en.engine, en.Slope(), kMethodRungeKutta, q, 0.1L, true));
  EXPECT_NEAR(D(q.y), std::log(1.1), 1e-7);
  // An undefined slope leaves the point where it was.
  Entry root(kKindOdeDyDx, {"", "", "sqrt(1-x)"});
  TPoint2D r{0.95L, 0};
  EXPECT_FALSE(StepDyDx(root.engine, root.Slope(), kMethodRungeKutta, r, 0.1L, false));
  EXPECT_EQ(r.x, 0.95L);
}

TEST(DyDxSteps, ClassifiesAgainstTheViewWithBoundsIncluded) {
  const TSegment2D v{-5, 5, -2, 2};
  struct Case {
    TPoint2D p;
    int where;
  } cases[] = {{{0, 0}, kInView},  {{5, 2}, kInView},          {{-5, -2}, kInView},
               {{0, 2.1L}, kBeyondTopOrBottom}, {{1, -3}, kBeyondTopOrBottom}, {{5.1L, 0}, kBeyondSide},
               {{-6, 9}, kBeyondSide},          {{NAN, 0}, kBeyondSide}};
  for (const Case& c : cases) EXPECT_EQ(ClassifyPointInView(v, c.p), c.where) << D(c.p.x) << "," << D(c.p.y);
}

// What a run reports.
struct RunLog : TDyDxSink {
  bool startVisible = false;
  int segments = 0;
  int breaks = 0;
  int resumes = 0;
  std::vector<TPoint2D> points;
  long stopAfter = -1;
  long asked = 0;
  void Start(const TPoint2D& p, bool visible) override {
    startVisible = visible;
    points.push_back(p);
  }
  void Segment(const TPoint2D&, const TPoint2D& to) override {
    ++segments;
    points.push_back(to);
  }
  void Break() override { ++breaks; }
  void Resume(const TPoint2D& p) override {
    ++resumes;
    points.push_back(p);
  }
  bool Cancelled() override { return stopAfter >= 0 && ++asked >= stopAfter; }
};

TEST(DyDxRuns, LeavingThroughTopOrBottomGoesOnUnseenUnlessTheEdgeStops) {
  // y = 6 sin x leaves the view -5..5 above and below and comes back.
  Entry en(kKindOdeDyDx, {"", "", "6cos(x)"});
  en.e.unclipped = 0;
  TDyDxRunSettings s;
  TEquationItem item;
  item.start = {0, 0, 0};
  item.paramEnd = 0.01L;
  item.method = kMethodRungeKutta;
  RunLog log;
  const long steps = RunDyDxTrajectory(en.e, en.engine, item, s, log);
  EXPECT_TRUE(log.startVisible);
  EXPECT_EQ(log.breaks, 2);
  EXPECT_EQ(log.resumes, 1);
  EXPECT_EQ(item.stepLimit, static_cast<long double>(steps));
  EXPECT_NEAR(D(steps * 0.01L), 5, 0.011);  // ends where it leaves through the right side
  for (const TPoint2D& p : log.points) EXPECT_NEAR(D(p.y), 6 * std::sin(D(p.x)), 1e-8);

  // "Grenzen setzen": the solution ends where it first leaves.
  en.e.unclipped = 1;
  item.stepLimit = 0;
  RunLog edge;
  const long short_ = RunDyDxTrajectory(en.e, en.engine, item, s, edge);
  EXPECT_EQ(edge.resumes, 0);
  EXPECT_NEAR(D(short_ * 0.01L), std::asin(5.0 / 6), 0.011);
}

TEST(DyDxRuns, StepLimitsDirectionAndTheStopKey) {
  Entry en(kKindOdeDyDx, {"", "", "0"});
  TDyDxRunSettings s;
  TEquationItem item;
  item.start = {0, 1, 0};
  item.method = kMethodEuler;
  struct Case {
    long double h;
    long double limit;
    long steps;
  } cases[] = {
      {0.125L, 20, 20},    // the limit caps the run
      {0.125L, 0, 40},     // no limit: up to x = 5 (bounds count as inside)
      {0.125L, 1, 40},     // below 2 is no limit either
      {-0.125L, 0, 40},    // a negative step runs to the left
      {0.125L, 1e300L, 40},
      {0, 0, 0},           // a zero step makes none
  };
  for (const Case& c : cases) {
    item.paramEnd = c.h;
    item.stepLimit = c.limit;
    RunLog log;
    EXPECT_EQ(RunDyDxTrajectory(en.e, en.engine, item, s, log), c.steps) << D(c.h) << " " << D(c.limit);
    EXPECT_EQ(item.stepLimit, static_cast<long double>(c.steps));
  }
  item.paramEnd = 0.125L;
  item.stepLimit = 0;
  RunLog stopped;
  stopped.stopAfter = 3;
  EXPECT_EQ(RunDyDxTrajectory(en.e, en.engine, item, s, stopped), 3);
  // Without a limit only the stop key ends a solution that stays in the
  // view for more than a million steps.
  struct CountingSink : TDyDxSink {
    long asked = 0;
    bool Cancelled() override { return ++asked >= 1500000; }
  } counting;
  TDyDxRunSettings wide = s;
  wide.view = {0, 1e9L, -5, 5};
  item.paramEnd = 1;
  item.stepLimit = 1;
  EXPECT_EQ(RunDyDxTrajectory(en.e, en.engine, item, wide, counting), 1500000);
  item.paramEnd = 0.125L;
  item.stepLimit = 0;
  // A start beyond the sides draws nothing; one above the view runs unseen
  // until the solution comes into it.
  item.start = {6, 0, 0};
  RunLog outside;
  EXPECT_EQ(RunDyDxTrajectory(en.e, en.engine, item, s, outside), 0);
  Entry down(kKindOdeDyDx, {"", "", "-2"});
  down.e.unclipped = 0;
  item.start = {0, 7, 0};
  item.stepLimit = 0;
  RunLog above;
  RunDyDxTrajectory(down.e, down.engine, item, s, above);
  EXPECT_FALSE(above.startVisible);
  EXPECT_EQ(above.resumes, 1);
  // An undefined slope ends the solution.
  Entry root(kKindOdeDyDx, {"", "", "sqrt(1-x)"});
  item.start = {0, 0, 0};
  item.paramEnd = 0.125L;
  RunLog cut;
  EXPECT_EQ(RunDyDxTrajectory(root.e, root.engine, item, s, cut), 8);
}

TEST(DirectionField, RowsColumnsAndSlopesOfTheFieldOfYPrimeEqualsY) {
  Entry en(kKindOdeDyDx, {"", "", "y"});
  en.e.fieldRows = 20;
  const TPoint2D lower{-5 + 1e-16L, -5 + 1e-16L};
  const TPoint2D upper{5 - 1e-16L, 5 - 1e-16L};
  const TFieldGrid g = FieldGrid({0, 0}, lower, upper, en.e.fieldRows, 5, 5, 500, 500);
  EXPECT_NEAR(D(g.rowStep), 0.5, 1e-15);
  EXPECT_NEAR(D(g.columnStep), 0.5, 1e-15);
  std::set<long> rows, columns;
  int visits = 0;
  TFieldElementSettings s;
  s.elementLength = 0.1L;
  const int walked = ForEachFieldPoint(
      g,
      [&](const TPoint2D& p) {
        ++visits;
        rows.insert(std::lround(D(p.y * 2)));
        columns.insert(std::lround(D(p.x * 2)));
        TPoint2D d;
        ASSERT_TRUE(FieldDirection(en.e, en.engine, p, d));
        const TFieldElement el = FieldElement(p, d, s);
        ASSERT_EQ(el.kind, TFieldElementKind::Segment);
        // The element is centred on its point unless an end was pulled
        // back; its slope is y there.
        const long double dx = el.to.x - el.from.x;
        const long double dy = el.to.y - el.from.y;
        ASSERT_GT(dx, 0);
        EXPECT_NEAR(D(dy / dx), D(p.y), 1e-9);
      },
      [] { return false; });
  EXPECT_EQ(rows.size(), 19u);  // 0, ±0.5, ..., ±4.5
  EXPECT_EQ(columns.size(), 19u);
  EXPECT_EQ(walked, 10);
  EXPECT_EQ(visits, 10 * 10 * 4);  // the anchor's row and column twice
  // The walk stops after the column that asked it to.
  EXPECT_EQ(ForEachFieldPoint(g, [](const TPoint2D&) {}, [] { return true; }), 1);
}

TEST(DirectionField, CellsAreSquareOnTheScreenInAWideView) {
  // A view 20 wide and 10 high on 1000 x 500 pixels with 10 rows.
  const TFieldGrid g = FieldGrid({0, 0}, {-10, -5}, {10, 5}, 10, 10, 5, 1000, 500);
  EXPECT_NEAR(D(g.rowStep), 1, 1e-15);
  EXPECT_NEAR(D(g.columnStep), 1, 1e-15);
  // Stretched on the screen (800 x 500 pixels), columns are narrower in world units.
  const TFieldGrid h = FieldGrid({0, 0}, {-10, -5}, {10, 5}, 10, 10, 5, 800, 500);
  EXPECT_NEAR(D(h.columnStep), 1.25, 1e-15);
  // Rows out of range are taken within bounds; a degenerate view walks nothing.
  EXPECT_GT(FieldGrid({0, 0}, {-1, -1}, {1, 1}, 0, 1, 1, 10, 10).rowStep, 0);
  EXPECT_EQ(ForEachFieldPoint(FieldGrid({0, 0}, {-1, -1}, {1, 1}, 5, 1, 0, 10, 10), [](const TPoint2D&) {},
                              [] { return false; }),
            0);
}

TEST(DirectionField, ElementsSegmentsArrowsAndTheirLength) {
  TFieldElementSettings s;
  s.elementLength = 0.5L;
  struct Case {
    const char* what;
    TPoint2D p;
    TPoint2D d;
    int mode;
    TFieldElementKind kind;
    TPoint2D from;
    TPoint2D to;
  } cases[] = {
      {"segment centred", {0, 0}, {3, 4}, 1, TFieldElementKind::Segment, {-0.3L, -0.4L}, {0.3L, 0.4L}},
      {"end beyond the view pulled back", {4.9L, 0}, {1, 0}, 1, TFieldElementKind::Segment, {4.4L, 0}, {4.9L, 0}},
      {"arrow", {0, 0}, {0, 2}, 2, TFieldElementKind::Arrow, {0, 0}, {0, 0.5L}},
      {"arrow whose tip leaves the view", {0, 4.9L}, {0, 2}, 2, TFieldElementKind::None, {}, {}},
      {"no direction", {0, 0}, {1e-15L, 0}, 1, TFieldElementKind::None, {}, {}},
  };
  for (const Case& c : cases) {
    s.fieldMode = c.mode;
    const TFieldElement el = FieldElement(c.p, c.d, s);
    ASSERT_EQ(el.kind, c.kind) << c.what;
    if (c.kind == TFieldElementKind::None) continue;
    EXPECT_NEAR(D(el.from.x), D(c.from.x), 1e-15) << c.what;
    EXPECT_NEAR(D(el.from.y), D(c.from.y), 1e-15) << c.what;
    EXPECT_NEAR(D(el.to.x), D(c.to.x), 1e-15) << c.what;
    EXPECT_NEAR(D(el.to.y), D(c.to.y), 1e-15) << c.what;
    if (c.kind == TFieldElementKind::Arrow) {
      EXPECT_NEAR(D(el.head), 0.15, 1e-15);
    }
  }
  // A free rectangle measures y in its aspect: the element is shorter in y.
  s.fieldMode = 1;
  s.viewMode = 1;
  s.aspect = 2;
  const TFieldElement tall = FieldElement({0, 0}, {0, 1}, s);
  EXPECT_NEAR(D(tall.to.y), 1.0, 1e-15);

  // The length: tenths of a percent of the width, halved for directions;
  // a parameter drives it.
  EXPECT_NEAR(D(FieldElementLength(15, 500, 0.02L, 1)), 0.075, 1e-15);
  EXPECT_NEAR(D(FieldElementLength(15, 500, 0.02L, 2)), 0.15, 1e-15);
  Entry en(kKindOdeDyDx, {"", "", "y"});
  en.e.fieldLength = 15;
  EXPECT_EQ(FieldLengthTenths(en.e, en.engine), 15);
  en.e.arrowMode = 2;  // B
  en.engine.SetVariable('B', 0.74L);
  EXPECT_EQ(FieldLengthTenths(en.e, en.engine), 7);
  en.engine.SetVariable('B', 0.25L);  // 2.5 tenths: a half goes toward zero
  EXPECT_EQ(FieldLengthTenths(en.e, en.engine), 2);
  en.engine.SetVariable('B', 1e30L);
  EXPECT_EQ(FieldLengthTenths(en.e, en.engine), 100000);
}

TEST(DirectionField, SystemsUndefinedPointsAndRestrictions) {
  Entry sys(kKindOde, {"-y", "x", "", "x"});
  TPoint2D d;
  ASSERT_TRUE(FieldDirection(sys.e, sys.engine, {2, 1}, d));
  EXPECT_EQ(d.x, -1);
  EXPECT_EQ(d.y, 2);
  EXPECT_TRUE(FieldRestrictionHolds(sys.e, sys.engine, {1, 0}));
  EXPECT_FALSE(FieldRestrictionHolds(sys.e, sys.engine, {-1, 0}));
  Entry root(kKindOdeDyDx, {"", "", "sqrt(x)"});
  EXPECT_FALSE(FieldDirection(root.e, root.engine, {-1, 0}, d));
  ASSERT_TRUE(FieldDirection(root.e, root.engine, {1, 0}, d));
  EXPECT_NEAR(D(d.x), std::sqrt(0.5), 1e-15);
}

TEST(LineGeometry, EndsOfLinesAcrossTheView) {
  const long double r = LineReach({-5, 5, -4, 4});
  EXPECT_EQ(r, 18);
  struct Case {
    const char* what;
    long double a, b, c;
    bool ok;
    TPoint2D p1, p2;
  } cases[] = {
      {"x = 2", 1, 0, 2, true, {2, 18}, {2, -18}},
      {"y = 3", 0, 1, 3, true, {18, 3}, {-18, 3}},
      {"x + y = 1", 1, 1, 1, true, {-17, 18}, {19, -18}},
      {"0x + 0y = 1", 0, 0, 1, false, {}, {}},
      {"undefined", NAN, 1, 1, false, {}, {}},
  };
  for (const Case& c : cases) {
    TPoint2D p1, p2;
    ASSERT_EQ(LineEnds(c.a, c.b, c.c, r, p1, p2), c.ok) << c.what;
    if (!c.ok) continue;
    EXPECT_EQ(p1, c.p1) << c.what;
    EXPECT_EQ(p2, c.p2) << c.what;
  }
  const TSegment2D shrunk = ShrinkByPixel({-5, 5, -4, 4}, 0.02L, 0.01L);
  EXPECT_EQ(shrunk.xmin, -5 + 0.02L);
  EXPECT_EQ(shrunk.ymax, 4 - 0.01L);
}

TEST(LineGeometry, DrawnBoxLineEndsAndMappedPoints) {
  TEquation e;
  StoreDrawnBox(e, {3, -1}, {-2, 4});
  EXPECT_EQ(e.lowerBound, (TPoint2D{-2, -1}));
  EXPECT_EQ(e.upperBound, (TPoint2D{3, 4}));
  e.SetLineEnds({1, 2}, {3, 4});
  EXPECT_EQ(e.LineEnd1(), (TPoint2D{1, 2}));
  EXPECT_EQ(e.LineEnd2(), (TPoint2D{3, 4}));
  const TPoint2D a{1, 1}, b{3, -1};
  EXPECT_EQ(MappedSegmentPoint(a, b, 0), a);
  EXPECT_EQ(MappedSegmentPoint(a, b, kMappedSegmentSteps), b);
  EXPECT_EQ(MappedSegmentPoint(a, b, 50), (TPoint2D{2, 0}));
}

TEST(Families, MembersStepAndTheSteppedDisplay) {
  TEquation e;
  e.familyStart = 1;
  e.familyEnd = 3;
  struct Case {
    bool on;
    int steps;
    int last;
    long double step;
    bool stepped;
  } cases[] = {{false, 5, 0, 0, false}, {true, 4, 4, 0.5L, false}, {true, -4, 4, 0.5L, true},
               {true, 0, 0, 0, false},  {true, 30000, 4000, 0.0005L, false}};
  for (const Case& c : cases) {
    e.familyOn = c.on ? 1 : 0;
    e.familySteps = static_cast<std::int16_t>(c.steps);
    const TFamilyPlan plan = FamilyPlan(e);
    EXPECT_EQ(plan.last, c.last) << c.steps;
    EXPECT_NEAR(D(plan.step), D(c.step), 1e-18) << c.steps;
    EXPECT_EQ(plan.stepped, c.stepped) << c.steps;
  }
}

}  // namespace
}  // namespace kv
