// The trace computations and the entries the trace tools derive, without a
// window: an engine and records are all they need.
#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>

#include "core/constants.h"
#include "entry/model/derived_items.h"
#include "entry/model/trace_point.h"
#include "formula/formula_engine.h"
#include "plotcore/model/compile_equation.h"
#include "plotcore/model/trajectories.h"

namespace kv {
namespace {

double D(long double v) { return static_cast<double>(v); }

struct Entry {
  TEquation e;
  Entry(TFormulaEngine& engine, int kind, std::initializer_list<const char*> texts) {
    InitEquation(e, kind, 2, 50);
    std::size_t k = 0;
    for (const char* t : texts) e.formulaText[k++] = t;
    e.lowerBound = {-5, -5};
    e.upperBound = {5, 5};
    CompileEquation(e, engine, true);
  }
};

long double At(TFormulaEngine& engine, TExprNode* tree, int letter, long double v) {
  long double out = NAN;
  engine.EvaluateAt(tree, letter, v, out);
  return out;
}

TEST(GraphTrace, ParabolaSlopeCurvatureAndSecant) {
  TFormulaEngine engine;
  Entry f(engine, kKindExplicit, {"", "x^2"});
  TreePtr second[2];
  BuildSecondDerivativeTrees(f.e, second);
  TExprNode* s2[2] = {second[0].get(), second[1].get()};
  TTraceState st;
  engine.SetVariable('X', 42);
  for (long double x : {-1.5L, 0.0L, 1.0L, 2.5L}) {
    ASSERT_TRUE(ComputeTracePoint(f.e, engine, s2, x, false, st));
    EXPECT_NEAR(D(st.point.y), D(x * x), 1e-15);
    EXPECT_NEAR(D(st.velocity.y / st.velocity.x), D(2 * x), 1e-14);
    EXPECT_NEAR(D(st.curvature), D(2 / std::pow(1 + 4 * x * x, 1.5L)), 1e-14);
    EXPECT_TRUE(st.curvatureValid);
    EXPECT_NEAR(D(st.acceleration.y), 2, 1e-15);
  }
  EXPECT_EQ(D(engine.Variable('X').re), 42) << "the variables are as before";
  // The secant from x = 0 to x = 1 has slope 1; back at the reference it
  // is no secant.
  ASSERT_TRUE(ComputeTracePoint(f.e, engine, s2, 0, true, st));
  SetTraceReference(st);
  ASSERT_TRUE(ComputeTracePoint(f.e, engine, s2, 1, true, st));
  EXPECT_NEAR(D(st.secant.y / st.secant.x), 1, 1e-15);
  EXPECT_FALSE(st.noSecant);
  ASSERT_TRUE(ComputeTracePoint(f.e, engine, s2, 0, true, st));
  EXPECT_TRUE(st.noSecant);
  // Undefined places are reported, with the secant reset.
  Entry g(engine, kKindExplicit, {"", "sqrt(x)"});
  BuildSecondDerivativeTrees(g.e, second);
  TExprNode* g2[2] = {second[0].get(), second[1].get()};
  EXPECT_FALSE(ComputeTracePoint(g.e, engine, g2, -1, false, st));
  EXPECT_FALSE(st.defined);
}

TEST(GraphTrace, CurvesAtRestHaveNoValidCurvature) {
  TFormulaEngine engine;
  // x = t³, y = t³ stands still at t = 0.
  Entry c(engine, kKindParametric, {"t^3", "t^3"});
  TreePtr second[2];
  BuildSecondDerivativeTrees(c.e, second);
  TExprNode* s2[2] = {second[0].get(), second[1].get()};
  TTraceState st;
  ASSERT_TRUE(ComputeTracePoint(c.e, engine, s2, 0, false, st));
  EXPECT_FALSE(st.curvatureValid);
  // A circle of radius 2 has curvature 1/2 and speed 2 everywhere.
  Entry k(engine, kKindParametric, {"2cos(t)", "2sin(t)"});
  BuildSecondDerivativeTrees(k.e, second);
  TExprNode* k2[2] = {second[0].get(), second[1].get()};
  ASSERT_TRUE(ComputeTracePoint(k.e, engine, k2, 0.7L, false, st));
  EXPECT_NEAR(D(st.curvature), 0.5, 1e-14);
  EXPECT_NEAR(D(st.speed), 2, 1e-14);
  // The secant of a curve is per parameter: it tends to the velocity.
  ASSERT_TRUE(ComputeTracePoint(k.e, engine, k2, 0.7L, true, st));
  SetTraceReference(st);
  ASSERT_TRUE(ComputeTracePoint(k.e, engine, k2, 0.7L + 1e-6L, true, st));
  EXPECT_NEAR(D(st.secant.x), D(st.velocity.x), 1e-5);
}

TEST(GraphTrace, SpaceCurveNormalPointsToTheAxisOfAHelix) {
  TFormulaEngine engine;
  Entry h(engine, kKindSpaceCurve, {"cos(t)", "sin(t)", "t"});
  TreePtr none[2];
  TExprNode* s2[2] = {nullptr, nullptr};
  TTraceState st;
  st.space = true;
  ASSERT_TRUE(ComputeTracePoint(h.e, engine, s2, 0, false, st));
  EXPECT_NEAR(D(st.curvature), 0.5, 1e-14);  // r / (r² + c²)
  EXPECT_NEAR(D(st.normal.x), -1, 1e-14);
  EXPECT_NEAR(D(st.normal.y), 0, 1e-14);
  EXPECT_NEAR(D(st.normal.z), 0, 1e-14);
  EXPECT_NEAR(D(st.point.z), 0, 1e-15);
}

TEST(GraphTrace, ScrollPositionsMapToTheRange) {
  EXPECT_EQ(D(ParameterFromScroll(-2, 2, 100, 0)), -2);
  EXPECT_EQ(D(ParameterFromScroll(-2, 2, 100, 100)), 2);
  EXPECT_EQ(ScrollFromParameter(0.5L, -2, 2, 100), 62);  // exact halves round toward zero
  EXPECT_EQ(ScrollFromParameter(9, -2, 2, 100), 100);
  EXPECT_EQ(ScrollFromParameter(1, 1, 1, 100), 0);
}

TEST(DerivedItems, TaylorPolynomialOfSineFollowsItsSource) {
  TFormulaEngine engine;
  Entry sine(engine, kKindExplicit, {"", "sin(x)"});
  TEquation taylor;
  CopyEquation(taylor, sine.e);
  taylor.derivation = kDerivedTaylor;
  taylor.auxValue1 = 3;
  taylor.formulaText[kDerivedParameterText] = "0";
  ASSERT_TRUE(BuildTaylorTrees(taylor, sine.e, engine));
  for (long double x : {-1.0L, 0.3L, 2.0L})
    EXPECT_NEAR(D(At(engine, taylor.trees[1].get(), 'X', x)), D(x - x * x * x / 6), 1e-14);
  EXPECT_NEAR(D(At(engine, taylor.trees[5].get(), 'X', 2)), D(1 - 2.0L), 1e-14) << "derivative trees";
  // The source changes: the rebuild follows it.
  sine.e.formulaText[1] = "2sin(x)";
  CompileEquation(sine.e, engine, true);
  ASSERT_TRUE(BuildTaylorTrees(taylor, sine.e, engine));
  EXPECT_NEAR(D(At(engine, taylor.trees[1].get(), 'X', 1)), D(2 * (1 - 1.0L / 6)), 1e-14);
  // A centre that does not compile keeps the trees.
  taylor.formulaText[kDerivedParameterText] = "2*(";
  EXPECT_FALSE(BuildTaylorTrees(taylor, sine.e, engine));
  EXPECT_NEAR(D(At(engine, taylor.trees[1].get(), 'X', 1)), D(2 * (1 - 1.0L / 6)), 1e-14);
}

TEST(DerivedItems, TangentLinesAndPointsOfCurves) {
  TFormulaEngine engine;
  Entry f(engine, kKindExplicit, {"", "x^2"});
  Entry c(engine, kKindParametric, {"3cos(t)", "3sin(t)"});
  struct Case {
    const TEquation* source;
    const char* at;
    TPoint2D point, direction;
  } cases[] = {
      {&f.e, "1", {1, 1}, {1, 2}},
      {&c.e, "pi/2", {0, 3}, {-3, 0}},
  };
  for (const Case& k : cases) {
    TEquation line;
    InitEquation(line, kKindParametric, 3, 50);
    line.formulaText[kDerivedParameterText] = k.at;
    ASSERT_TRUE(BuildTangentLineTrees(line, *k.source, engine, false));
    EXPECT_FALSE(line.trees[2] == nullptr) << "the plane curve's length tree";
    for (long double t : {0.0L, 1.5L}) {
      EXPECT_NEAR(D(At(engine, line.trees[0].get(), 'T', t)), D(k.point.x + t * k.direction.x), 1e-14);
      EXPECT_NEAR(D(At(engine, line.trees[1].get(), 'T', t)), D(k.point.y + t * k.direction.y), 1e-14);
    }
    TEquation point;
    InitEquation(point, kKindPoint, 3, 50);
    point.formulaText[kTracePointParameterText] = k.at;
    ASSERT_TRUE(BuildTracePointTrees(point, *k.source, engine, false));
    EXPECT_NEAR(D(point.values[4].x), D(k.point.x), 1e-14);
    EXPECT_NEAR(D(point.values[4].y), D(k.point.y), 1e-14);
  }
  // A 2D line has no z tree: its tree 2 is the plane curve's length.
  TEquation line;
  InitEquation(line, kKindParametric, 3, 50);
  line.formulaText[kDerivedParameterText] = "0";
  ASSERT_TRUE(BuildTangentLineTrees(line, c.e, engine, false));
  EXPECT_NEAR(D(At(engine, line.trees[2].get(), 'T', 1)), D(std::hypot(3.0L, 3.0L)), 1e-14);
}

// dx/dt = -y, dy/dt = x: circles about the origin.
struct Rotation {
  TFormulaEngine engine;
  Entry ode{engine, kKindOde, {"-y", "x"}};
  TEquationItem item;
  Rotation() {
    InitEquationItem(item, 0, 2, 1, 0);
    item.start = {1, 0, 0};
    item.method = kMethodRungeKutta;
    item.paramEnd = 0.001L;
  }
};

TEST(DerivedItems, TrajectoryPointVectorAndLine) {
  Rotation r;
  TEquation point;
  InitEquation(point, kKindPoint, 3, 50);
  StoreTrajectoryStart(point, r.item, Pi / 2, 0.0025L);
  ASSERT_TRUE(BuildTrajectoryPointTrees(point, r.ode.e, r.engine, false));
  EXPECT_NEAR(D(point.values[4].x), 0, 1e-9);
  EXPECT_NEAR(D(point.values[4].y), 1, 1e-9);
  TEquation vector;
  InitEquation(vector, kKindParametric, 3, 50);
  StoreTrajectoryStart(vector, r.item, Pi / 2, 0.0025L);
  ASSERT_TRUE(BuildTrajectoryVectorTrees(vector, r.ode.e, r.engine, false));
  // At (0, 1) the velocity is (-1, 0).
  EXPECT_NEAR(D(At(r.engine, vector.trees[0].get(), 'T', 1)), -1, 1e-9);
  EXPECT_NEAR(D(At(r.engine, vector.trees[1].get(), 'T', 1)), 1, 1e-9);
  // Start texts: the point follows the parameter they use; an empty t0
  // text builds nothing.
  r.item.startCode = 1001;
  r.item.texts = {"A", "0", "", "0"};
  TEquation moved;
  InitEquation(moved, kKindPoint, 3, 50);
  StoreTrajectoryStart(moved, r.item, Pi, 0.0025L);
  r.engine.SetVariable('A', 2);
  ASSERT_TRUE(BuildTrajectoryPointTrees(moved, r.ode.e, r.engine, false));
  EXPECT_NEAR(D(moved.values[4].x), -2, 1e-9);
  moved.formulaText[6].clear();
  moved.values[4] = {};
  EXPECT_FALSE(BuildTrajectoryPointTrees(moved, r.ode.e, r.engine, false));
  EXPECT_EQ(D(moved.values[4].x), 0);

  // On a logarithmic y axis the item keeps the exponent of its start, or
  // texts of values; the entries hold values, which the axes then carry:
  // y' = y from the value 1 reaches e at t = 1, where the velocity is (1, e).
  Entry growth{r.engine, kKindOde, {"1", "y"}};
  struct LogCase {
    const char* y0;  // the start text, or none: the exponent 0 kept
    bool built;
  } logCases[] = {{nullptr, true}, {"1", true}, {"-1", false}};
  for (const LogCase& c : logCases) {
    TEquationItem item;
    InitEquationItem(item, 0, 2, 1, 0);
    item.method = kMethodRungeKutta;
    item.paramEnd = 0.001L;
    if (c.y0) {
      item.startCode = 1001;
      item.texts = {"0", c.y0, "", "0"};
      item.start = {0, 5, 0};  // stale: the texts give the start
    }
    TEquation at;
    InitEquation(at, kKindPoint, 3, 50);
    StoreTrajectoryStart(at, item, 1, 0.0025L);
    TEquation tangent;
    InitEquation(tangent, kKindParametric, 3, 50);
    StoreTrajectoryStart(tangent, item, 1, 0.0025L);
    const char* name = c.y0 ? c.y0 : "kept";
    ASSERT_EQ(BuildTrajectoryPointTrees(at, growth.e, r.engine, false, 2), c.built) << name;
    ASSERT_EQ(BuildTrajectoryVectorTrees(tangent, growth.e, r.engine, false, 2), c.built) << name;
    if (!c.built) continue;
    EXPECT_NEAR(D(at.values[4].x), 1, 1e-9) << name;
    EXPECT_NEAR(D(at.values[4].y), std::exp(1.0), 1e-9) << name;
    EXPECT_NEAR(D(At(r.engine, at.trees[1].get(), 'T', 0)), std::exp(1.0), 1e-9) << name;
    EXPECT_NEAR(D(At(r.engine, tangent.trees[0].get(), 'T', 1)), 2, 1e-9) << name;
    EXPECT_NEAR(D(At(r.engine, tangent.trees[1].get(), 'T', 1)), 2 * std::exp(1.0), 1e-8) << name;
  }
}

TEST(DerivedItems, VectorRangesFollowLengthAndSpeed) {
  struct Case {
    int code;
    long double length, speed, lo, hi;
  } cases[] = {
      {kDerivedTrajectoryVector, 1, 2, 0, 0.5L},     // scaled to length 1
      {kDerivedTrajectoryVector, -1, 2, 0, 1},       // "Längen" off: the raw velocity
      {kDerivedTrajectoryVector, 1, 1e-14L, 0, 1},   // at rest
      {kDerivedTrajectoryLine, 1, 0.35L, -10, 10},   // 0.35 · 10 / 0.35
      {kDerivedTrajectoryLine, 1, 0, -2, 2},         // at rest
  };
  for (const Case& c : cases) {
    long double lo = 0, hi = 0;
    TrajectoryVectorRange(c.code, c.length, c.speed, 10, lo, hi);
    EXPECT_NEAR(D(lo), D(c.lo), 1e-15) << c.code;
    EXPECT_NEAR(D(hi), D(c.hi), 1e-15) << c.code;
  }
}

TEST(TrajectoryTrace, VelocityAndScaledDirection) {
  Rotation r;
  TTrajectoryTrace out;
  ASSERT_TRUE(ComputeTrajectoryTrace(r.ode.e, r.engine, r.item, 0.0025L, Pi, false, 1, out));
  EXPECT_NEAR(D(out.point.x), -1, 1e-9);
  EXPECT_NEAR(D(out.velocity.y), -1, 1e-9);
  EXPECT_NEAR(D(std::hypot(out.direction.x, out.direction.y)), 1, 1e-12);
  r.item.start = {3, 0, 0};  // speed 3: the direction keeps length 1 when asked
  ASSERT_TRUE(ComputeTrajectoryTrace(r.ode.e, r.engine, r.item, 0.0025L, 0.5L, false, 1, out));
  EXPECT_NEAR(D(out.speed), 3, 1e-9);
  EXPECT_NEAR(D(std::hypot(out.direction.x, out.direction.y)), 1, 1e-12);
  ASSERT_TRUE(ComputeTrajectoryTrace(r.ode.e, r.engine, r.item, 0.0025L, 0.5L, false, -1, out));
  EXPECT_NEAR(D(std::hypot(out.direction.x, out.direction.y)), 3, 1e-9);
  // A rest point keeps its zero velocity as the direction.
  r.item.start = {0, 0, 0};
  ASSERT_TRUE(ComputeTrajectoryTrace(r.ode.e, r.engine, r.item, 0.0025L, 1, false, 1, out));
  EXPECT_EQ(D(out.direction.x), 0);
}

}  // namespace
}  // namespace kv
