// Crossings of space curves and surfaces, one per search.
#include <gtest/gtest.h>

#include <cmath>

#include "plot3d/model/curve_surface.h"
#include "plot3d/model/model_test_util.h"

namespace kv {
namespace {

using namespace test3dmodel;

double D(long double v) { return static_cast<double>(v); }

TEST(CurveSurface, LineThroughTheCentreOfTheUnitSphere) {
  TFormulaEngine engine;
  TEquation sphere = Implicit(engine, "x^2+y^2+z^2-1");
  TEquation line = Curve(engine, "t", "0", "0", -2, 2);
  int counter = 0;
  TCrossing a = FindNextCrossing(engine, sphere, line, counter);
  ASSERT_TRUE(a.found);
  TCrossing b = FindNextCrossing(engine, sphere, line, counter);
  ASSERT_TRUE(b.found);
  EXPECT_NEAR(D(a.t), -1, 1e-12);
  EXPECT_NEAR(D(b.t), 1, 1e-12);
  EXPECT_NEAR(D(b.point.x), 1, 1e-12);
  // Both at distance 1 from the centre, on either side.
  EXPECT_NEAR(D(std::fabs(a.point.x)), 1, 1e-12);
  // The third search wraps round to the first crossing.
  TCrossing c = FindNextCrossing(engine, sphere, line, counter);
  ASSERT_TRUE(c.found);
  EXPECT_NEAR(D(c.t), -1, 1e-12);
}

TEST(CurveSurface, KnownCrossings) {
  TFormulaEngine engine;
  TEquation ball = Implicit(engine, "x^2+y^2+z^2-4", 3);
  TEquation diagonal = Curve(engine, "t", "t", "t", 0, 3);
  int counter = 0;
  TCrossing c = FindNextCrossing(engine, ball, diagonal, counter);
  ASSERT_TRUE(c.found);
  EXPECT_NEAR(D(c.t), 2 / std::sqrt(3.0), 1e-12);
  // The helix and the plane z = 1.
  TEquation plane = Parametric(engine, kKindPlane, "t", "u", "1", {-2, -2}, {2, 2});
  TEquation helix = Curve(engine, "cos(7t)", "sin(7t)", "t", 0, 6.283185307179586L);
  counter = 0;
  c = FindNextCrossing(engine, plane, helix, counter);
  ASSERT_TRUE(c.found);
  EXPECT_NEAR(D(c.t), 1, 1e-12);
  // An explicit surface: Z - f.
  TEquation roof = Explicit(engine, "x+y");
  TEquation rising = Curve(engine, "1", "1", "t", 0, 5);
  counter = 0;
  c = FindNextCrossing(engine, roof, rising, counter);
  ASSERT_TRUE(c.found);
  EXPECT_NEAR(D(c.point.z), 2, 1e-12);
}

TEST(CurveSurface, ThreeCrossingsInIncreasingTThenWrap) {
  TFormulaEngine engine;
  TEquation walls = Implicit(engine, "(x-0.5)(x-1.5)(x-2.5)", 3);
  TEquation line = Curve(engine, "t", "0", "0", 0, 3);
  int counter = 0;
  const double expected[4] = {0.5, 1.5, 2.5, 0.5};
  for (double t : expected) {
    TCrossing c = FindNextCrossing(engine, walls, line, counter);
    ASSERT_TRUE(c.found);
    EXPECT_NEAR(D(c.t), t, 1e-12);
  }
  // A crossing on the boundary of intervals 49 and 50 (t = 0 exactly) is
  // shown once: the next search goes on to the wall at 20.
  const long double h = 101 * 0.0099009900990099L;
  const long double lower = -(h * 50);
  TEquation twoWalls = Implicit(engine, "x(x-20)", 30);
  TEquation across = Curve(engine, "t", "0", "0", lower, lower + 101);
  counter = 0;
  const double boundary[3] = {0, 20, 0};
  for (double t : boundary) {
    TCrossing c = FindNextCrossing(engine, twoWalls, across, counter);
    ASSERT_TRUE(c.found);
    EXPECT_NEAR(D(c.t), t, 1e-12);
  }
}

TEST(CurveSurface, MissesAndCrossingsOutsideTheBoxAreNone) {
  TFormulaEngine engine;
  TEquation sphere = Implicit(engine, "x^2+y^2+z^2-1");
  TEquation far = Curve(engine, "t", "5", "0", -2, 2);
  int counter = 0;
  EXPECT_FALSE(FindNextCrossing(engine, sphere, far, counter).found);
  // The plane z = 1 meets the helix at t = 1 only beyond its box.
  TEquation plane = Parametric(engine, kKindPlane, "t", "u", "1", {-2, -2}, {2, 2});
  plane.boxMin() = {3, 3, 0};
  plane.boxMax() = {4, 4, 2};
  TEquation helix = Curve(engine, "cos(7t)", "sin(7t)", "t", 0, 6.283185307179586L);
  for (int press = 0; press < 3; ++press) EXPECT_FALSE(FindNextCrossing(engine, plane, helix, counter).found);
  // A curve has no surface tree: nothing.
  EXPECT_FALSE(FindNextCrossing(engine, helix, helix, counter).found);
  // The variables are as before.
  engine.SetVariable('T', 42);
  FindNextCrossing(engine, sphere, far, counter);
  EXPECT_EQ(engine.Variable('T').re, 42);
}

}  // namespace
}  // namespace kv
