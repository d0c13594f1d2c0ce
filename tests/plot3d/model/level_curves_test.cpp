// Level curves without a window: the curves of z = x² + y², the start-point
// search, the stored pieces, the level dialog's stepping, the cursor's
// gradient and directional derivative and the direction slider.
#include <gtest/gtest.h>

#include <cmath>

#include "plot3d/model/level_curves.h"
#include "plot3d/model/model_test_util.h"
#include "core/constants.h"

namespace kv {
namespace {

using namespace test3dmodel;

double D(long double v) { return static_cast<double>(v); }

TEST(LevelCurves, LevelsOfTheParaboloidAreCircles) {
  TFormulaEngine engine;
  TEquation bowl = Explicit(engine, "x^2+y^2", -4, 4);
  for (int level : {1, 4, 9}) {
    TPlaneFunction f = LevelFunctionOf(engine, bowl, {kLevelAxisZ, static_cast<long double>(level)});
    TTracerSettings s;
    s.view = {-4, 4, -4, 4};
    s.pixelsPerUnitX = s.pixelsPerUnitY = 80;
    TPointList sink;
    TraceImplicitCurve(f, s, sink);
    ASSERT_GT(sink.points.size(), 100u) << level;
    for (const TPoint2D& p : sink.points) EXPECT_NEAR(D(std::hypot(p.x, p.y)), std::sqrt(level), 1e-6) << level;
  }
}

TEST(LevelCurves, XAndYLevelsLieInTheirPlanes) {
  // Levels of y of the ball x² + y² + z² = 4: circles in the (z, x) plane.
  TFormulaEngine engine;
  TEquation ball = Implicit(engine, "x^2+y^2+z^2-4");
  TPlaneFunction f = LevelFunctionOf(engine, ball, {kLevelAxisY, 1});
  EXPECT_EQ(f.Plane().PlaneCode(), 5);
  EXPECT_STREQ(f.Plane().HorizontalName(), "z");
  EXPECT_STREQ(f.Plane().VerticalName(), "x");
  TSeededRandom random(7);
  TPoint2D start;
  ASSERT_TRUE(FindLevelStart(f, {-2, 2, -2, 2}, random, start));
  EXPECT_NEAR(D(std::hypot(start.x, start.y)), std::sqrt(3), 1e-3);
  // The gradient in the plane is (F_z, F_x).
  long double fa = 0, fb = 0;
  ASSERT_TRUE(f.Gradient(0.5L, 1.5L, fa, fb));
  EXPECT_NEAR(D(fa), 1, 1e-15);
  EXPECT_NEAR(D(fb), 3, 1e-15);
  // No level: no start.
  TPlaneFunction outside = LevelFunctionOf(engine, ball, {kLevelAxisY, 3});
  EXPECT_FALSE(FindLevelStart(outside, {-2, 2, -2, 2}, random, start));
}

TEST(LevelCurves, StoredPiecesAreShownByAxisAndTolerance) {
  const TEquationItem item = MakeLevelItem({kLevelAxisZ, 0.5L}, {1, 2}, {3, 1, 0});
  EXPECT_EQ(item.start, (TPoint3D{1, 2, 0.5L}));
  EXPECT_EQ(item.tag, kLevelAxisZ);
  EXPECT_TRUE(IsLevelItemShown(item, kLevelAxisZ, 0.54L, 0.05L));
  EXPECT_FALSE(IsLevelItemShown(item, kLevelAxisZ, 0.56L, 0.05L));
  EXPECT_FALSE(IsLevelItemShown(item, kLevelAxisX, 0.5L, 0.05L));
  EXPECT_TRUE(IsLevelItemShown(item, kLevelAxisZ, 90, Exp42));
}

TEST(LevelDialogLevels, NextPreviousAndReading) {
  struct Case {
    long double min, max, current;
    int count;
    long double next, previous;
  } cases[] = {
      {0, 1, 0, 2, 1, 1},      // next from 0 is 1; previous wraps to the maximum
      {0, 1, 1, 2, 0, 0},      // next wraps to 0
      {0, 1, 0.4L, 3, 0.5L, 0},
      {-5, 5, 0, 11, 1, -1},
  };
  for (const Case& c : cases) {
    TLevelRange r{c.min, c.max, c.current, c.count};
    EXPECT_NEAR(D(NextLevel(r)), D(c.next), 1e-15) << D(c.current);
    EXPECT_NEAR(D(PreviousLevel(r)), D(c.previous), 1e-15) << D(c.current);
  }
  TLevelRange above{0, 1, 1.5L, 3};
  TLevelRange strict = above;
  EXPECT_FALSE(CheckLevelRange(strict, TLevelReading::Strict));
  TLevelRange up = above;
  ASSERT_TRUE(CheckLevelRange(up, TLevelReading::ClampUp));
  EXPECT_NEAR(D(NextLevel(up)), 0.5, 1e-15);
  TLevelRange down = above;
  ASSERT_TRUE(CheckLevelRange(down, TLevelReading::ClampDown));
  EXPECT_NEAR(D(PreviousLevel(down)), 0.5, 1e-15);
  TLevelRange one{0, 1, 0, 1};
  EXPECT_FALSE(CheckLevelRange(one, TLevelReading::ClampUp));
  TLevelRange empty{1, 1, 1, 4};
  EXPECT_FALSE(CheckLevelRange(empty, TLevelReading::ClampUp));
  TLevelRange huge{0, 1, 0, kMaxLevelCount + 1};
  EXPECT_FALSE(CheckLevelRange(huge, TLevelReading::ClampUp));
  TLevelRange autoLevels{0, 1, 0, 2};
  EXPECT_EQ(LevelOf(autoLevels, 0), 0);
  EXPECT_EQ(LevelOf(autoLevels, 1), 1);
}

TEST(LevelCursor, GradientAndDirectionalDerivative) {
  TFormulaEngine engine;
  TEquation bowl = Explicit(engine, "x^2+y^2");
  TCursorReadout r = ReadCursor(engine, bowl, 1, 1, 0);
  EXPECT_NEAR(D(r.z), 2, 1e-15);
  EXPECT_NEAR(D(r.fx), 2, 1e-15);
  EXPECT_NEAR(D(r.fy), 2, 1e-15);
  EXPECT_NEAR(D(r.derivative), 2, 1e-15);
  r = ReadCursor(engine, bowl, 1, 2, Pi / 2);
  EXPECT_NEAR(D(r.fy), 4, 1e-15);
  EXPECT_NEAR(D(r.derivative), 4, 1e-12);
  // Undefined: height 0, gradient (0, 0).
  TEquation root = Explicit(engine, "sqrt(x)");
  r = ReadCursor(engine, root, -1, 0, 0);
  EXPECT_EQ(r.z, 0);
  EXPECT_EQ(r.fx, 0);
  EXPECT_EQ(r.derivative, 0);
}

TEST(LevelCursor, DirectionSlider) {
  EXPECT_EQ(AngleSliderPosition(2.0L, 100), 32);
  const long double typed = ReduceAngle(7);
  EXPECT_NEAR(D(typed), 7 - 2 * Pi, 1e-15);
  EXPECT_EQ(AngleSliderPosition(typed, 100), 11);
  EXPECT_NEAR(D(ReduceAngle(-1)), 2 * Pi - 1, 1e-15);
  EXPECT_NEAR(D(AngleOfSliderPosition(25, 100)), Pi / 2, 1e-15);
  EXPECT_EQ(AngleOfSliderPosition(5, 0), 0);
}

}  // namespace
}  // namespace kv
