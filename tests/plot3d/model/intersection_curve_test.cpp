// Intersection curves of two surfaces without a window: the ordering of
// the pair and its code, the trees of each code, and the traced curve
// lifted into space.
#include <gtest/gtest.h>

#include <cmath>

#include "plot3d/model/evaluate.h"
#include "plot3d/model/intersection_curve.h"
#include "plot3d/model/level_curves.h"
#include "plot3d/model/model_test_util.h"

namespace kv {
namespace {

using namespace test3dmodel;

double D(long double v) { return static_cast<double>(v); }

TEST(IntersectionPair, OrderAndCodeFollowTheKinds) {
  struct Case {
    int kindA, kindB;
    int result;
    bool exchanged;
    int code;
  } cases[] = {
      {301, 301, 0, false, 143}, {305, 301, 0, false, 144}, {301, 305, 0, true, 144},
      {315, 301, 0, false, 145}, {301, 315, 0, true, 145},  {305, 315, 0, false, 146},
      {315, 305, 0, true, 146},  {315, 315, 0, false, 147}, {301, 303, 0, false, 152},
      {303, 301, 0, true, 152},  {305, 303, 0, false, 153}, {303, 305, 0, true, 153},
      {315, 303, 0, false, 154}, {303, 315, 0, true, 154},  {303, 303, 1, false, 0},
      {305, 305, 1, false, 0},   {301, 304, 1, false, 0},
  };
  for (const Case& c : cases) {
    TSurfacePair p;
    ASSERT_EQ(OrderSurfacePair(3, c.kindA, 7, c.kindB, p), c.result) << c.kindA << " " << c.kindB;
    if (c.result != 0) continue;
    EXPECT_EQ(p.code, c.code) << c.kindA << " " << c.kindB;
    EXPECT_EQ(p.first, c.exchanged ? 7 : 3) << c.kindA << " " << c.kindB;
    EXPECT_EQ(p.second, c.exchanged ? 3 : 7) << c.kindA << " " << c.kindB;
  }
  TSurfacePair p;
  EXPECT_EQ(OrderSurfacePair(4, 301, 4, 301, p), 23);
}

// The curve traced in its plane over its search box, each point lifted.
std::vector<TPoint3D> TraceCurve(TFormulaEngine& engine, TEquation& curve) {
  TPlaneFunction f = LevelFunctionOf(engine, curve, IntersectionCurvePlane(curve));
  TTracerSettings s;
  TSegment2D box = IntersectionSearchBox(curve);
  s.view = {box.xmin - 0.1L, box.xmax + 0.1L, box.ymin - 0.1L, box.ymax + 0.1L};
  s.pixelsPerUnitX = s.pixelsPerUnitY = 100;
  TPointList sink;
  TraceImplicitCurve(f, s, sink);
  std::vector<TPoint3D> out;
  for (const TPoint2D& q : sink.points) {
    TPoint3D p;
    if (LiftIntersectionPoint(curve, engine, q, p)) out.push_back(p);
  }
  return out;
}

TEquation NewCurve(int code) {
  TEquation c;
  InitEquation(c, kKindIntersection, 1, 50);
  c.derivation = static_cast<std::int16_t>(code);
  return c;
}

TEST(IntersectionCurve, UnitSphereAndPlaneMeetInACircle) {
  TFormulaEngine engine;
  TEquation sphere = Implicit(engine, "x^2+y^2+z^2-1");
  TEquation plane = Parametric(engine, kKindPlane, "t", "u", "0.5", {-1, -1}, {1, 1});
  TEquation curve = NewCurve(kCurveImplicitPlane);
  ASSERT_TRUE(BuildIntersectionCurve(curve, sphere, plane, engine, false));
  EXPECT_EQ(curve.termCount, 0);  // solved for z
  const std::vector<TPoint3D> points = TraceCurve(engine, curve);
  ASSERT_GT(points.size(), 100u);
  long double minAngle = 10, maxAngle = -10;
  for (const TPoint3D& p : points) {
    EXPECT_NEAR(D(std::hypot(p.x, p.y)), std::sqrt(0.75), 1e-6);
    EXPECT_NEAR(D(p.z), 0.5, 1e-12);
    const long double a = std::atan2(p.y, p.x);
    minAngle = std::min(minAngle, a);
    maxAngle = std::max(maxAngle, a);
  }
  // The whole circle.
  EXPECT_LT(D(minAngle), -3.0);
  EXPECT_GT(D(maxAngle), 3.0);
  // The direction N1 × N2 is tangent: perpendicular to the radius.
  SetSpacePoint(engine, std::sqrt(0.75L), 0, 0.5L);
  long double dx, dy;
  ASSERT_TRUE(EvaluateRealPart(engine, curve.trees[4].get(), dx));
  ASSERT_TRUE(EvaluateRealPart(engine, curve.trees[5].get(), dy));
  EXPECT_NEAR(D(dx), 0, 1e-12);
  EXPECT_GT(std::fabs(D(dy)), 0.1);
}

TEST(IntersectionCurve, SphereAndParametricPlaneAgreeWithTheImplicitPair) {
  // z = 0.5 as an explicit surface, the unit sphere as a parametric one:
  // the same circle, traced on the sphere's parameter plane.
  TFormulaEngine engine;
  TEquation level = Explicit(engine, "0.5");
  TEquation sphere = Parametric(engine, kKindParametricSurface, "sin(u)cos(t)", "sin(u)sin(t)", "cos(u)",
                                {0, 0}, {6.283185307179586L, 3.141592653589793L});
  TEquation curve = NewCurve(kCurveExplicitParametric);
  ASSERT_TRUE(BuildIntersectionCurve(curve, level, sphere, engine, false));
  EXPECT_EQ(curve.lowerBound, sphere.lowerBound);
  EXPECT_EQ(curve.upperBound, sphere.upperBound);
  ASSERT_TRUE(curve.trees[4] && curve.trees[5] && curve.trees[6]);
  const std::vector<TPoint3D> points = TraceCurve(engine, curve);
  ASSERT_GT(points.size(), 50u);
  for (const TPoint3D& p : points) {
    EXPECT_NEAR(D(std::hypot(p.x, p.y)), std::sqrt(0.75), 1e-6);
    EXPECT_NEAR(D(p.z), 0.5, 1e-6);
  }
}

TEST(IntersectionCurve, TreesOfEachCode) {
  TFormulaEngine engine;
  auto value = [&](TEquation& c, int tree, long double x, long double y, long double z) {
    SetSpacePoint(engine, x, y, z);
    long double v = 0;
    EXPECT_TRUE(EvaluateRealPart(engine, c.trees[static_cast<std::size_t>(tree)].get(), v));
    return D(v);
  };
  // Two explicit surfaces f = x and g = y: G = x - y, lifted by g.
  TEquation f = Explicit(engine, "x");
  TEquation g = Explicit(engine, "y");
  TEquation c143 = NewCurve(kCurveExplicitExplicit);
  ASSERT_TRUE(BuildIntersectionCurve(c143, f, g, engine, false));
  EXPECT_DOUBLE_EQ(value(c143, 3, 2, 0.5, 9), 1.5);
  EXPECT_DOUBLE_EQ(value(c143, 2, 2, 0.5, 9), 0.5);
  // An implicit surface and an explicit one: Z replaced by g.
  TEquation ball = Implicit(engine, "x^2+y^2+z^2-4");
  TEquation c144 = NewCurve(kCurveImplicitExplicit);
  ASSERT_TRUE(BuildIntersectionCurve(c144, ball, g, engine, false));
  EXPECT_DOUBLE_EQ(value(c144, 3, 1, 1, 100), 1 + 1 + 1 - 4);
  // A plane z = 1 and g: G = z - 1 with z = g.
  TEquation z1 = Parametric(engine, kKindPlane, "t", "u", "1", {-1, -1}, {1, 1});
  TEquation c145 = NewCurve(kCurvePlaneExplicit);
  ASSERT_TRUE(BuildIntersectionCurve(c145, z1, g, engine, false));
  EXPECT_NEAR(std::fabs(value(c145, 3, 0, 3, 100)), 2, 1e-15);
  EXPECT_NEAR(value(c145, 3, 0, 1, 100), 0, 1e-15);
}

TEST(IntersectionCurve, TwoPlanesSolveTheSecondForYWhenItHasNoZ) {
  TFormulaEngine engine;
  TEquation ground = Parametric(engine, kKindPlane, "t", "u", "0", {-1, -1}, {1, 1});
  TEquation wall = Parametric(engine, kKindPlane, "t", "1", "u", {-1, -1}, {1, 1});
  TEquation curve = NewCurve(kCurvePlanePlane);
  ASSERT_TRUE(BuildIntersectionCurve(curve, ground, wall, engine, false));
  EXPECT_EQ(curve.termCount, -1);
  // The lift of y is the tree the drawing reads (2 + termCount), and the
  // plane is (z, x).
  ASSERT_TRUE(curve.trees[1]);
  EXPECT_EQ(IntersectionCurvePlane(curve).axis, kLevelAxisY);
  TPoint3D p;
  ASSERT_TRUE(LiftIntersectionPoint(curve, engine, {0, 0.3L}, p));
  EXPECT_NEAR(D(p.x), 0.3, 1e-15);
  EXPECT_NEAR(D(p.y), 1, 1e-15);
  EXPECT_NEAR(D(p.z), 0, 1e-15);
  // The stored normals are the planes' own, taken again from the file.
  EXPECT_NEAR(D(std::fabs(curve.values[8].y)), 1, 1e-15);
  curve.values[8] = {0, 0, 1};
  ASSERT_TRUE(BuildIntersectionCurve(curve, ground, wall, engine, true));
  EXPECT_EQ(curve.termCount, 0);
}

TEST(IntersectionCurve, BoxIsWhereTheSourcesOverlapEvenWhenEmpty) {
  TFormulaEngine engine;
  TEquation f = Explicit(engine, "x");
  TEquation g = Explicit(engine, "y");
  f.boxMin() = {-1, -2, -3};
  f.boxMax() = {1, 2, 3};
  g.boxMin() = {0, -5, 2};
  g.boxMax() = {4, 1, 5};
  TEquation c = NewCurve(kCurveExplicitExplicit);
  ASSERT_TRUE(BuildIntersectionCurve(c, f, g, engine, false));
  EXPECT_EQ(c.boxMin(), (TPoint3D{0, -2, 2}));
  EXPECT_EQ(c.boxMax(), (TPoint3D{1, 1, 3}));
  g.boxMin() = {5, -5, 2};
  g.boxMax() = {6, 1, 5};
  ASSERT_TRUE(BuildIntersectionCurve(c, f, g, engine, false));
  EXPECT_GT(c.boxMin().x, c.boxMax().x);
}

TEST(IntersectionCurve, UnknownCodeOrMissingTreesBuildNothing) {
  TFormulaEngine engine;
  TEquation f = Explicit(engine, "x");
  TEquation g = Explicit(engine, "y");
  TEquation c = NewCurve(150);
  EXPECT_FALSE(BuildIntersectionCurve(c, f, g, engine, false));
  g.trees[2].reset();
  c.derivation = kCurveExplicitExplicit;
  EXPECT_FALSE(BuildIntersectionCurve(c, f, g, engine, false));
  EXPECT_FALSE(c.trees[3]);
}

TEST(PlaneForm, SolvedForTheFirstCoordinateWithANormalPart) {
  TFormulaEngine engine;
  struct Case {
    TPoint3D normal;
    int v;
  } cases[] = {{{1, 1, 1}, 3}, {{1, 2, 0}, 2}, {{1, 0, 0}, 1}, {{0, 0, 0}, 3}};
  for (const Case& c : cases) {
    TPlaneForm plane{c.normal, {1, 2, 3}};
    int v = 0;
    TreePtr s(SolvePlaneForm(plane, v));
    EXPECT_EQ(v, c.v);
    if (c.normal == TPoint3D{}) continue;
    // The solved coordinate puts the plane's point back on it.
    SetSpacePoint(engine, 1, 2, 3);
    long double value = 0;
    ASSERT_TRUE(EvaluateRealPart(engine, s.get(), value));
    EXPECT_NEAR(D(value), v == 3 ? 3 : v == 2 ? 2 : 1, 1e-15);
  }
}

}  // namespace
}  // namespace kv
