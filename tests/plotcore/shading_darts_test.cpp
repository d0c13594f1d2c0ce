// Inequalities of implicit curves, darts thrown into their regions, and the
// shading of regions between graphs.
#include <gtest/gtest.h>

#include <cmath>

#include "core_window.h"
#include "platform/bitmap.h"
#include "platform/testing.h"
#include "core/constants.h"

namespace kv {
namespace {

using kvtest::CoreWindowTest;

double D(long double v) { return static_cast<double>(v); }

int Inequality(kvtest::CoreWindow& w, const char* text, int sign) {
  const int i = w.AppendEquation(kKindImplicit, {"", "", "", "", text});
  w.Equation(i).subKind = static_cast<std::int16_t>(sign);
  return i;
}

TEST_F(CoreWindowTest, PointsSatisfyTheirInequalities) {
  EXPECT_TRUE(w->PointSatisfiesInequalities(9, 9, -1));  // no inequalities: everywhere
  const int disc = Inequality(*w, "xx+yy=1", 1);
  const int right = Inequality(*w, "x=0", -1);
  const int curve = Inequality(*w, "y=x", 0);  // a plain curve is no inequality
  struct Case {
    long double x, y;
    int region;
    bool inside;
  } cases[] = {
      {0.5L, 0.5L, disc, true},  {1, 1, disc, false},    {-0.5L, 0, right, false}, {0.5L, 0, right, true},
      {-0.5L, 0, -1, false},     {0.5L, 0.2L, -1, true}, {0, 0, curve, false},      {0, 0, 42, false},
  };
  for (const Case& c : cases)
    EXPECT_EQ(w->PointSatisfiesInequalities(c.x, c.y, c.region), c.inside)
        << D(c.x) << "," << D(c.y) << " region " << c.region;
}

TEST_F(CoreWindowTest, DartsInTheUnitDiscCentreOnTheOrigin) {
  const int disc = Inequality(*w, "xx+yy=1", 1);
  w->dartCount = 40000;
  TPoint2D mean;
  ASSERT_TRUE(w->ThrowDartsInWindow(mean, disc, false));
  EXPECT_NEAR(D(mean.x), 0, 0.03);
  EXPECT_NEAR(D(mean.y), 0, 0.03);
  // With the right half-plane too, the centroid of the half disc: 4 / (3 pi).
  Inequality(*w, "x=0", -1);
  ASSERT_TRUE(w->ThrowDartsInWindow(mean, -1, false));
  EXPECT_NEAR(D(mean.x), 4 / (3 * 3.141592653589793), 0.04);
  EXPECT_NEAR(D(mean.y), 0, 0.04);
  // A region no dart can hit.
  const int empty = Inequality(*w, "xx+yy=-1", 1);
  EXPECT_FALSE(w->ThrowDartsInWindow(mean, empty, false));
  // Shown darts land inside the region.
  plat::Bitmap bmp(501, 501);
  plat::BitmapDC dc(bmp);
  w->dartCount = 2000;
  long counters[2];
  EXPECT_EQ(w->ThrowDarts(dc, counters, disc), 0);
  EXPECT_EQ(counters[0], 2000);
  EXPECT_NEAR(counters[1] / 2000.0, 3.14159 / 100, 0.01);
  for (int y = 0; y < 501; ++y)
    for (int x = 0; x < 501; ++x)
      if (bmp.GetPixel(x, y) != plat::Rgb(255, 255, 255)) {
        const double wx = (x - 250) * 0.02, wy = (250 - y) * 0.02;
        ASSERT_LT(wx * wx + wy * wy, 1.05) << x << "," << y;
      }
}

TEST_F(CoreWindowTest, TheKeyAStopsTheDartsAndTheEstimateRestsOnTheDartsThrown) {
  const int right = Inequality(*w, "x=0", -1);
  w->dartCount = 10000000;
  plat::testing::InjectKey(*w, 'A');
  TPoint2D mean;
  long double area = 0;
  ASSERT_TRUE(w->ThrowDartsInWindow(mean, right, false, nullptr, &area));
  EXPECT_EQ(plat::PollKey(*w), 0) << "the key was not read";
  // Half the view, estimated from the few thousand darts before the key.
  const long double view = (w->World.xmax - w->World.xmin) * (w->World.ymax - w->World.ymin);
  EXPECT_NEAR(D(area / view), 0.5, 0.05);
  EXPECT_GT(D(mean.x), 0);
}

TEST_F(CoreWindowTest, ShadingBetweenTwoGraphsFillsTheRightPixels) {
  const int square = w->AppendEquation(kKindExplicit, {"", "xx"});
  const int line = w->AppendEquation(kKindExplicit, {"", "x"});
  TShadeRecord s;
  s.graphA = static_cast<std::int16_t>(square);
  s.graphB = static_cast<std::int16_t>(line);
  s.intervalFlag = 1;
  s.from = 0;
  s.to = 1;
  s.colour = 5;
  w->fillInsteadOfHatch = 1;
  plat::Bitmap bmp(501, 501);
  plat::BitmapDC dc(bmp);
  ASSERT_EQ(w->ShadeRecord(dc, s), 0);
  const plat::Colour fill = w->DrawingColourOf(5);
  const plat::Colour white = plat::Rgb(255, 255, 255);
  int inside = 0;
  for (int py = 180; py <= 270; ++py) {
    for (int px = 240; px <= 310; ++px) {
      const double x = (px - 250) * 0.02, y = (250 - py) * 0.02;
      const double m = 0.021;  // one pixel and a hair
      const bool surelyIn = x > m && x < 1 - m && y > x * x + m && y < x - m;
      const bool surelyOut = x < -m || x > 1 + m || y < x * x - m || y > x + m;
      const plat::Colour c = bmp.GetPixel(px, py);
      if (surelyIn) {
        ++inside;
        EXPECT_EQ(c, fill) << px << "," << py;
      }
      if (surelyOut) {
        EXPECT_EQ(c, white) << px << "," << py;
      }
    }
  }
  EXPECT_GT(inside, 200);
}

TEST_F(CoreWindowTest, HatchingDrawsOnlyThePatternsPixels) {
  const int a = w->AppendEquation(kKindExplicit, {"", "0"});
  TShadeRecord s;
  s.graphA = static_cast<std::int16_t>(a);
  s.graphB = kShadeAbove;
  s.colour = 5;
  for (int pattern : {0, 1, 3}) {
    s.packedCode = static_cast<std::int16_t>(PackShadeCode(pattern, 0, 0));
    plat::Bitmap bmp(501, 501);
    plat::BitmapDC dc(bmp);
    w->fillInsteadOfHatch = 0;
    ASSERT_EQ(w->ShadeRecord(dc, s), 0);
    int drawn = 0;
    for (int py = 0; py < 501; ++py) {
      for (int px = 0; px < 501; ++px) {
        const bool on = bmp.GetPixel(px, py) != plat::Rgb(255, 255, 255);
        if (on) ++drawn;
        if (on) {
          EXPECT_TRUE(HatchPixel(pattern, px, py)) << pattern;
          EXPECT_LE(py, 250) << "only above y = 0";
        }
      }
    }
    EXPECT_GT(drawn, 1000) << pattern;
  }
  // Records whose graphs are gone or are no explicit curves shade nothing.
  s.graphA = 17;
  plat::Bitmap bmp(501, 501);
  plat::BitmapDC dc(bmp);
  EXPECT_EQ(w->ShadeRecord(dc, s), 0);
  EXPECT_EQ(bmp, plat::Bitmap(501, 501));
}

TEST_F(CoreWindowTest, ShadingEndsFollowTheirLetters) {
  TShadeRecord s;
  s.packedCode = static_cast<std::int16_t>(PackShadeCode(2, 1, 3));  // from A, to C
  w->SetVariable('A', -0.5L);
  w->SetVariable('C', 2.5L);
  w->RefreshBoundShading(s);
  EXPECT_EQ(s.from, -0.5L);
  EXPECT_EQ(s.to, 2.5L);
}

}  // namespace
}  // namespace kv
