// The 2D tool mathematics without a window: mapped curves, roulettes,
// evolutes and derivative graphs.
#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>
#include <string>

#include "core/constants.h"
#include "formula/formula_engine.h"
#include "plot2d/model/curve_maps.h"
#include "plot2d/model/roulettes.h"
#include "plotcore/model/compile_equation.h"

namespace kv {
namespace {

double D(long double v) { return static_cast<double>(v); }

struct Entry {
  TEquation e;
  Entry(TFormulaEngine& engine, int kind, std::initializer_list<const char*> texts, long double lo = -2,
        long double hi = 2) {
    InitEquation(e, kind, 2, 50);
    std::size_t k = 0;
    for (const char* t : texts) e.formulaText[k++] = t;
    e.lowerBound = {lo, lo};
    e.upperBound = {hi, hi};
    CompileEquation(e, engine, true);
  }
};

long double Eval(TFormulaEngine& engine, const TreePtr& t) {
  EXPECT_TRUE(t);
  if (!t || !engine.Evaluate(t.get())) return NAN;
  return t->value.re;
}

// The point of a compiled curve at parameter p (x = p for y = f(x)).
TPoint2D CurvePoint(TFormulaEngine& engine, TEquation& e, long double p) {
  if (e.kind == kKindExplicit) {
    engine.SetVariable('X', p);
    return {p, Eval(engine, e.trees[1])};
  }
  engine.SetVariable('T', p);
  return {Eval(engine, e.trees[0]), Eval(engine, e.trees[1])};
}

// The map of a point, written out independently of the tree builders.
TPoint2D MapNumerically(int code, const long double q[3], TPoint2D p) {
  switch (code) {
    case kMapXAxis: return {p.x, -p.y};
    case kMapYAxis: return {-p.x, p.y};
    case kMapDiagonal: return {p.y, p.x};
    case kMapLine: {
      // Foot of the perpendicular, then as far again.
      const long double a = q[0], b = q[1], c = q[2];
      const long double s = (a * p.x + b * p.y - c) / (a * a + b * b);
      return {p.x - 2 * a * s, p.y - 2 * b * s};
    }
    case kMapPoint: return {2 * q[1] - p.x, 2 * q[2] - p.y};
    case kMapRotation: {
      const long double w = q[0], dx = p.x - q[1], dy = p.y - q[2];
      return {q[1] + dx * std::cos(w) - dy * std::sin(w), q[2] + dx * std::sin(w) + dy * std::cos(w)};
    }
    default: return {p.x + q[0], p.y + q[1]};
  }
}

TEST(CurveMaps, ExplicitPolarAndParametricCurvesMapPointByPoint) {
  struct Case {
    int kind;
    std::initializer_list<const char*> texts;
    int code;
    const char* params[3];
    int imageKind;
  } cases[] = {
      {kKindExplicit, {"", "x^2"}, kMapXAxis, {"1.0", "2.0", "3.0"}, kKindExplicit},
      {kKindExplicit, {"", "x^2+x"}, kMapYAxis, {"1.0", "2.0", "3.0"}, kKindExplicit},
      {kKindExplicit, {"", "x^2"}, kMapDiagonal, {"1.0", "2.0", "3.0"}, kKindParametric},
      {kKindExplicit, {"", "x^3-x"}, kMapLine, {"1.0", "2.0", "3.0"}, kKindParametric},
      {kKindExplicit, {"", "exp(x)"}, kMapPoint, {"pi", "1", "2"}, kKindExplicit},
      {kKindExplicit, {"", "x^2"}, kMapRotation, {"pi/3", "1", "0"}, kKindParametric},
      {kKindExplicit, {"", "sin(x)"}, kMapTranslation, {"1", "2", "3"}, kKindExplicit},
      {kKindPolar, {"", "", "1+cos(t)"}, kMapXAxis, {"1", "2", "3"}, kKindParametric},
      {kKindPolar, {"", "", "1+cos(t)"}, kMapRotation, {"0.5", "-1", "2"}, kKindParametric},
      {kKindPolar, {"", "", "2"}, kMapTranslation, {"1", "-2", "0"}, kKindParametric},
      {kKindParametric, {"cos(t)", "2sin(t)"}, kMapLine, {"2", "-1", "1"}, kKindParametric},
      {kKindParametric, {"cos(t)", "2sin(t)"}, kMapRotation, {"-pi/4", "0", "0"}, kKindParametric},
      {kKindParametric, {"t", "t^2"}, kMapTranslation, {"-3", "0.5", "0"}, kKindParametric},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.kind << " code " << c.code);
    TFormulaEngine engine;
    Entry source(engine, c.kind, c.texts);
    TEquation image;
    ReinitAndCopyEquation(image, source.e, false);
    image.kind = static_cast<std::uint16_t>(MappedKind(c.code, c.kind));
    ASSERT_EQ(image.kind, c.imageKind);
    image.derivation = static_cast<std::int16_t>(c.code);
    for (int k = 0; k < 3; ++k) image.formulaText[static_cast<std::size_t>(k)] = c.params[k];
    ASSERT_EQ(BuildMappedTrees(image, source.e, engine), kFormulaOk);
    long double q[3];
    for (int k = 0; k < 3; ++k) ASSERT_EQ(engine.TextToValue(c.params[k], q[k]), kFormulaOk);
    for (long double p : {-1.5L, -0.3L, 0.0L, 0.8L, 1.7L}) {
      const TPoint2D want = MapNumerically(c.code, q, CurvePoint(engine, source.e, p));
      if (image.kind == kKindExplicit) {
        engine.SetVariable('X', want.x);
        EXPECT_NEAR(D(Eval(engine, image.trees[1])), D(want.y), 1e-9) << "at " << D(p);
      } else {
        const TPoint2D got = CurvePoint(engine, image, p);
        EXPECT_NEAR(D(got.x), D(want.x), 1e-9) << "at " << D(p);
        EXPECT_NEAR(D(got.y), D(want.y), 1e-9) << "at " << D(p);
      }
    }
    EXPECT_TRUE(image.trees[4] && image.trees[5]) << "the image has its derivatives";
  }
}

TEST(CurveMaps, ImplicitLinesSegmentsAndPointsMapAsPointSets) {
  TFormulaEngine engine;
  // A circle about the origin turns into itself.
  Entry circle(engine, kKindImplicit, {"", "", "", "", "xx+yy=13"});
  TEquation turned;
  ReinitAndCopyEquation(turned, circle.e, false);
  turned.derivation = kMapRotation;
  turned.formulaText[0] = "1.1";
  turned.formulaText[1] = "0";
  turned.formulaText[2] = "0";
  ASSERT_EQ(BuildMappedTrees(turned, circle.e, engine), kFormulaOk);
  for (TPoint2D p : {TPoint2D{2, 3}, TPoint2D{-3, 2}, TPoint2D{std::sqrt(13.0L), 0}}) {
    engine.SetPoint(p.x, p.y);
    EXPECT_NEAR(D(Eval(engine, turned.trees[2])), 0, 1e-9);
  }
  // The line x + y = 1 reflected in the x-axis is x - y = 1.
  Entry line(engine, kKindLine, {"1", "1", "1"});
  TEquation mirrored;
  ReinitAndCopyEquation(mirrored, line.e, false);
  mirrored.derivation = kMapXAxis;
  ASSERT_EQ(BuildMappedTrees(mirrored, line.e, engine), kFormulaOk);
  EXPECT_NEAR(D(Eval(engine, mirrored.trees[0])), 1, 1e-12);
  EXPECT_NEAR(D(Eval(engine, mirrored.trees[1])), -1, 1e-12);
  EXPECT_NEAR(D(Eval(engine, mirrored.trees[2])), 1, 1e-12);
  // A segment shifted by (1, 2) moves both ends.
  Entry segment(engine, kKindSegment, {"0", "0", "3", "1"});
  TEquation moved;
  ReinitAndCopyEquation(moved, segment.e, false);
  moved.derivation = kMapTranslation;
  moved.formulaText[0] = "1";
  moved.formulaText[1] = "2";
  ASSERT_EQ(BuildMappedTrees(moved, segment.e, engine), kFormulaOk);
  const long double want[4] = {1, 2, 4, 3};
  for (std::size_t k = 0; k < 4; ++k) EXPECT_NEAR(D(Eval(engine, moved.trees[k])), D(want[k]), 1e-12);
}

TEST(CurveMaps, BadParametersAreRefused) {
  struct Case {
    int code;
    const char* params[3];
    int result;
  } cases[] = {
      {kMapTranslation, {"x", "1", "0"}, kFormulaRecursive},
      {kMapTranslation, {"1", "2y", "0"}, kFormulaRecursive},
      {kMapLine, {"0", "0", "1"}, kFormulaRecursive},
      {kMapLine, {"1", "(", "1"}, kFormulaParentheses},
      {kMapRotation, {"", "0", "0"}, -1},
  };
  for (const Case& c : cases) {
    TFormulaEngine engine;
    Entry source(engine, kKindParametric, {"t", "t"});
    TEquation image;
    ReinitAndCopyEquation(image, source.e, false);
    image.derivation = static_cast<std::int16_t>(c.code);
    for (int k = 0; k < 3; ++k) image.formulaText[static_cast<std::size_t>(k)] = c.params[k];
    const int got = BuildMappedTrees(image, source.e, engine);
    if (c.result < 0) {
      EXPECT_NE(got, kFormulaOk);
    } else {
      EXPECT_EQ(got, c.result) << c.code;
    }
  }
}

// ---- roulettes ----

TEST(Roulettes, CycloidAndEpicycloidMatchTheirClosedForms) {
  struct Case {
    std::initializer_list<const char*> base;
    bool left;  // the circle on the left of the curve
    long double radius;
    // The closed form at parameter t.
    TPoint2D (*want)(long double);
  } cases[] = {
      {{"t", "0"}, true, 1, [](long double t) { return TPoint2D{t - std::sin(t), 1 - std::cos(t)}; }},
      {{"t", "0"}, false, 1, [](long double t) { return TPoint2D{t - std::sin(t), std::cos(t) - 1}; }},
      {{"3cos(t)", "3sin(t)"}, false, 1,
       [](long double t) { return TPoint2D{4 * std::cos(t) - std::cos(4 * t), 4 * std::sin(t) - std::sin(4 * t)}; }},
      {{"3cos(t)", "3sin(t)"}, true, 1,  // hypocycloid (deltoid-like, R/r = 3)
       [](long double t) { return TPoint2D{2 * std::cos(t) + std::cos(2 * t), 2 * std::sin(t) - std::sin(2 * t)}; }},
  };
  for (const Case& c : cases) {
    TFormulaEngine engine;
    Entry base(engine, kKindParametric, c.base, 0, 2 * Pi);
    TEquation r;
    InitEquation(r, kKindRoulette, 2, 50);
    ASSERT_TRUE(BuildRouletteTrees(r, base.e));
    SetRouletteGeometry(r, 0, c.radius, c.radius, c.left);
    long double s = -1;
    TPoint2D prev, q, pen;
    const int steps = 20000;
    for (int k = 0; k <= steps; ++k) {
      const long double t = 2 * Pi * k / steps;
      engine.SetVariable('T', t);
      ASSERT_EQ(RoulettePoint(engine, r, s, prev, q, pen, false), 0);
      prev = q;
      if (k % 2500 == 0) {
        const TPoint2D w = c.want(t);
        EXPECT_NEAR(D(pen.x), D(w.x), 1e-6) << "t " << D(t);
        EXPECT_NEAR(D(pen.y), D(w.y), 1e-6) << "t " << D(t);
      }
    }
  }
}

TEST(Roulettes, ArmZeroFollowsTheCentreAndAStopGivesCode114) {
  TFormulaEngine engine;
  Entry base(engine, kKindExplicit, {"", "0"});
  TEquation r;
  InitEquation(r, kKindRoulette, 2, 50);
  ASSERT_TRUE(BuildRouletteTrees(r, base.e));
  SetRouletteGeometry(r, 0, 2, 0, true);
  long double s = -1;
  TPoint2D q, pen;
  engine.SetVariable('T', 1.5L);
  ASSERT_EQ(RoulettePoint(engine, r, s, {}, q, pen, false), 0);
  EXPECT_NEAR(D(pen.x), 1.5, 1e-15);
  EXPECT_NEAR(D(pen.y), 2, 1e-15);
  // A cusp of the base curve stops the pen there.
  Entry cusp(engine, kKindParametric, {"t^3", "t^2"});
  ASSERT_TRUE(BuildRouletteTrees(r, cusp.e));
  engine.SetVariable('T', 0);
  EXPECT_EQ(RoulettePoint(engine, r, s, {}, q, pen, false), 114);
}

TEST(Evolutes, ParabolaGivesTheSemicubicalParabolaAndACircleItsCentre) {
  TFormulaEngine engine;
  Entry parabola(engine, kKindExplicit, {"", "x^2"});
  TEquation ev;
  InitEquation(ev, kKindParametric, 2, 50);
  ASSERT_TRUE(BuildEvoluteTrees(ev, parabola.e));
  for (long double t : {-1.2L, -0.5L, 0.0L, 0.3L, 2.0L}) {
    engine.SetVariable('T', t);
    const long double x = Eval(engine, ev.trees[0]);
    const long double y = Eval(engine, ev.trees[1]);
    EXPECT_NEAR(D(x), D(-4 * t * t * t), 1e-9);
    EXPECT_NEAR(D(y), D(0.5L + 3 * t * t), 1e-9);
    // 27 x² = 16 (y - 1/2)³
    EXPECT_NEAR(D(27 * x * x), D(16 * std::pow(y - 0.5L, 3)), 1e-7);
  }
  Entry circle(engine, kKindParametric, {"1+2cos(t)", "-1+2sin(t)"});
  ASSERT_TRUE(BuildEvoluteTrees(ev, circle.e));
  for (long double t : {0.1L, 1.0L, 4.0L}) {
    engine.SetVariable('T', t);
    EXPECT_NEAR(D(Eval(engine, ev.trees[0])), 1, 1e-12);
    EXPECT_NEAR(D(Eval(engine, ev.trees[1])), -1, 1e-12);
  }
}

TEST(DerivativeGraphs, EachKindDifferentiatesItsFunctionTrees) {
  TFormulaEngine engine;
  Entry cubic(engine, kKindExplicit, {"", "x^3"});
  TEquation d1, d2;
  ReinitAndCopyEquation(d1, cubic.e, false);
  ASSERT_TRUE(BuildDerivativeGraphTrees(d1, cubic.e));
  ReinitAndCopyEquation(d2, d1, false);
  ASSERT_TRUE(BuildDerivativeGraphTrees(d2, d1));
  engine.SetVariable('X', 2);
  EXPECT_NEAR(D(Eval(engine, d1.trees[1])), 12, 1e-12);
  EXPECT_NEAR(D(Eval(engine, d2.trees[1])), 12, 1e-12);
  Entry polar(engine, kKindPolar, {"", "", "t^2"});
  TEquation dp;
  ReinitAndCopyEquation(dp, polar.e, false);
  ASSERT_TRUE(BuildDerivativeGraphTrees(dp, polar.e));
  engine.SetVariable('T', Pi);
  EXPECT_NEAR(D(Eval(engine, dp.trees[0])), D(-2 * Pi), 1e-12) << "r' = 2t drawn as a polar curve";
  Entry param(engine, kKindParametric, {"t^2", "sin(t)"});
  TEquation dq;
  ReinitAndCopyEquation(dq, param.e, false);
  ASSERT_TRUE(BuildDerivativeGraphTrees(dq, param.e));
  engine.SetVariable('T', 0);
  EXPECT_NEAR(D(Eval(engine, dq.trees[0])), 0, 1e-12);
  EXPECT_NEAR(D(Eval(engine, dq.trees[1])), 1, 1e-12);
}

}  // namespace
}  // namespace kv
