// Axis number texts, π fractions, powers of ten, angles, arrow heads and
// text-box placement.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "graphics/axis_format.h"
#include "graphics/geometry.h"
#include "core/constants.h"

namespace kv {
namespace {

const std::string kDegree = "\xC2\xB0";   // U+00B0
const std::string kEnDash = "\xE2\x80\x93";  // U+2013, Windows-1252 code 150

TEST(AxisFormat, PiFractions) {
  struct Case {
    long double v;
    int piChar;
    const char* expected;
  } cases[] = {
      {0.75L * Pi, 112, "3p/4"}, {Pi, 112, "p"},          {-Pi, 112, "-p"},       {0, 112, "0p"},
      {Pi / 4, 112, "p/4"},      {Pi / 2, 112, "p/2"},    {-Pi / 4, 112, "-p/4"}, {2 * Pi, 112, "2p"},
      {-1.5L * Pi, 112, "-3p/2"}, {Pi / 3, 80, "P/3"},
      // No denominator up to 100 fits: round(100 a) / 100, reduced.
      {(std::sqrt(2.0L) - 1) * Pi, 112, "41p/100"},
  };
  for (const auto& c : cases) EXPECT_EQ(FormatPiFraction(c.v, 100, c.piChar), c.expected) << c.expected;
}

TEST(AxisFormat, ApproximateFractionAndGcd) {
  std::int32_t p = 0;
  std::int32_t q = 100;
  ApproximateFraction(-0.6L, p, q);
  EXPECT_EQ(p, -3);
  EXPECT_EQ(q, 5);
  q = 0;  // no allowed denominator at all counts as 1
  ApproximateFraction(2.4L, p, q);
  EXPECT_EQ(p, 2);
  EXPECT_EQ(q, 1);
  EXPECT_EQ(IntGcd(12, -18), 6);
  EXPECT_EQ(IntGcd(-7, 0), 7);
  EXPECT_EQ(IntGcd(0, 0), 0);
  EXPECT_EQ(IntGcd(INT32_MIN, 2), 2);
}

TEST(AxisFormat, PowersOfTen) {
  const char* small[] = {"0.001", "0.01", "0.1", "1", "10", "100", "1000"};
  for (int k = -3; k <= 3; ++k) EXPECT_EQ(FormatPowerOfTen(k, false), small[k + 3]);
  EXPECT_EQ(FormatPowerOfTen(-4, false), "10E-4");
  EXPECT_EQ(FormatPowerOfTen(-4, true), "10^-4");
  EXPECT_EQ(FormatPowerOfTen(5, false), "10E5");
}

TEST(AxisFormat, AxisNumbers) {
  struct Case {
    long double v;
    TAxisNumberStyle style;
    std::string expected;
  } cases[] = {
      {1.5L, {2, false, 112, 176, false}, "1.50"},
      {1.5L, {12, false, 112, 176, false}, "1.50" + kDegree},
      // Decimals 0 round through the pixel rounding: an exact half goes
      // toward zero.
      {1.5L, {0, false, 112, 176, false}, "1"},
      {2.51L, {0, false, 112, 176, false}, "3"},
      {-0.25L, {1, false, 112, 176, false}, "-0.2"},
      {Pi / 2, {1, true, 112, 176, false}, "p/2"},
      {Pi / 2, {11, true, 112, 176, false}, "p/2" + kDegree},
      {-2, {1, false, 112, 176, true}, "0.01"},
      {5, {1, false, 112, 176, true}, "10E5"},
  };
  for (const auto& c : cases) EXPECT_EQ(FormatAxisNumber(c.v, c.style), c.expected) << c.expected;
}

TEST(AxisFormat, MinusAndPiCharactersAreWindows1252Codes) {
  EXPECT_EQ(AnsiChar(112), "p");
  EXPECT_EQ(AnsiChar(176), kDegree);
  std::string s = "-1.5 - x";
  ReplaceMinusByCode(s, 150);
  EXPECT_EQ(s, kEnDash + "1.5 " + kEnDash + " x");
  s = "-2";
  ReplaceMinusByCode(s, 45);
  EXPECT_EQ(s, "-2");
}

TEST(Geometry, ArcTan2) {
  struct Case {
    long double x, y, expected;
  } cases[] = {{-1, 0, Pi}, {-1, -1e-30L, -Pi}, {1e-17L, -3, -Pi / 2}, {0, 0, Pi / 2}, {1, 1, Pi / 4},
               {-1, 1, 0.75L * Pi}};
  for (const auto& c : cases)
    EXPECT_NEAR(static_cast<double>(ArcTan2(c.x, c.y)), static_cast<double>(c.expected), 1e-15)
        << static_cast<double>(c.x) << "," << static_cast<double>(c.y);
}

TEST(Geometry, ArrowHeadCorners) {
  TPoint2D c1;
  TPoint2D c2;
  ASSERT_TRUE(ArrowHeadPoints({1, 0}, 1, 1, 0.9L, c1, c2));
  EXPECT_NEAR(static_cast<double>(c1.x), -1, 1e-15);
  EXPECT_NEAR(static_cast<double>(c1.y), 0.45, 1e-15);
  EXPECT_NEAR(static_cast<double>(c2.x), -1, 1e-15);
  EXPECT_NEAR(static_cast<double>(c2.y), -0.45, 1e-15);
  c1 = {7, 7};
  EXPECT_FALSE(ArrowHeadPoints({0, 0}, 1, 1, 0.9L, c1, c2));
  EXPECT_EQ(c1, (TPoint2D{7, 7}));
  EXPECT_FALSE(ArrowHeadPoints({NAN, 0}, 1, 2, 0.9L, c1, c2));
  // Aspect 2 (y units twice as large per pixel): an upward head measured in
  // pixels is as long and as wide as at aspect 1.
  ASSERT_TRUE(ArrowHeadPoints({0, 2}, 1, 2, 0.9L, c1, c2));
  EXPECT_NEAR(static_cast<double>(c1.y / 2), -1, 1e-12);  // back by one pixel unit
  EXPECT_NEAR(static_cast<double>(c1.x), -0.45, 1e-12);
  EXPECT_NEAR(static_cast<double>(c2.x), 0.45, 1e-12);
}

TEST(Geometry, AnglesAndDistancesOfTheViewSeenFromAPoint) {
  long double a1 = 0;
  long double a2 = 0;
  EXPECT_FALSE(AngleRangeOfRect(-5, 5, -5, 5, 10, 0, a1, a2));
  EXPECT_NEAR(static_cast<double>(a1), 0.75 * std::numbers::pi, 1e-15);
  EXPECT_NEAR(static_cast<double>(a2), 1.25 * std::numbers::pi, 1e-15);
  EXPECT_TRUE(AngleRangeOfRect(-5, 5, -5, 5, 5, -5, a1, a2));  // on the corner: inside
  EXPECT_NEAR(static_cast<double>(a2), 2 * std::numbers::pi, 1e-15);
  EXPECT_FALSE(AngleRangeOfRect(1, 2, 1, 2, 0, 0, a1, a2));  // left of and below
  EXPECT_NEAR(static_cast<double>(a1), std::atan2(1.0, 2.0), 1e-15);
  EXPECT_NEAR(static_cast<double>(a2), std::atan2(2.0, 1.0), 1e-15);

  long double near = 0;
  long double far = 0;
  EXPECT_TRUE(DistanceRangeOfRect(-5, 5, -5, 5, 0, 0, 0, 0, near, far));
  EXPECT_EQ(near, 0);
  EXPECT_NEAR(static_cast<double>(far), 5 * std::sqrt(2.0), 1e-15);
  EXPECT_FALSE(DistanceRangeOfRect(1, 2, 1, 3, 0, 0, 1.5L, 2, near, far));
  EXPECT_NEAR(static_cast<double>(near), std::sqrt(2.0), 1e-15);
  EXPECT_NEAR(static_cast<double>(far), std::sqrt(13.0), 1e-15);
}

TEST(Geometry, TextBoxPlacement) {
  struct Case {
    int w, h, hf, vf;
    plat::Rect expected;
  } cases[] = {
      {30, 12, 0, 0, {85, 44, 115, 56}},
      {30, 12, 1, -1, {100, 50, 130, 62}},
      {30, 12, -1, 1, {70, 38, 100, 50}},
      {31, 13, 0, 0, {85, 44, 116, 57}},  // halves truncated toward zero
  };
  for (const auto& c : cases) EXPECT_EQ(PlaceTextBox(100, 50, {c.w, c.h}, c.hf, c.vf), c.expected);
}

}  // namespace
}  // namespace kv
