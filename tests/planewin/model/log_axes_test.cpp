// The arithmetic of the windows with logarithmic axes without a window:
// the values a plotted rectangle covers, the grid lines of logarithmic
// and linear axes, and the view that leaves room for the axis numbers.
#include "planewin/model/log_axes.h"

#include <gtest/gtest.h>

#include <cmath>

namespace kv {
namespace {

double D(long double v) { return static_cast<double>(v); }

TEST(LogAxes, TheTypeDecidesWhichAxesAreLogarithmicAndWhatValuesTheyShow) {
  const TSegment2D plotted{-1, 2, -1, 2};
  const struct {
    int type;
    bool x, y;
    TSegment2D values;
  } cases[] = {
      {1, true, false, {0.1L, 100, -1, 2}},
      {2, false, true, {-1, 2, 0.1L, 100}},
      {3, true, true, {0.1L, 100, 0.1L, 100}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(IsLogX(c.type), c.x);
    EXPECT_EQ(IsLogY(c.type), c.y);
    const TSegment2D v = ValueRangeOf(plotted, c.type);
    EXPECT_NEAR(D(v.xmin), D(c.values.xmin), 1e-15) << c.type;
    EXPECT_NEAR(D(v.xmax), D(c.values.xmax), 1e-13) << c.type;
    EXPECT_NEAR(D(v.ymin), D(c.values.ymin), 1e-15) << c.type;
    EXPECT_NEAR(D(v.ymax), D(c.values.ymax), 1e-13) << c.type;
  }
}

TEST(LogAxes, DecadeLinesRunFromTheNearestDecadesWithTenLinesEach) {
  const struct {
    long double lo, hi;
    std::size_t count;
    long double first, last;
  } cases[] = {
      {-1, 2, 30, -1, 2},          // 0.1 .. 100: three decades
      {-0.4L, 2.6L, 30, 0, 3},     // nearest(-0.4) = 0, nearest(2.6) - 1 = 2
      {-2.5L, -1.5L, 10, -2, -1},  // halves go toward zero: -2 and -2
      {0.2L, 0.3L, 0, 0, 0},       // no whole decade
  };
  for (const auto& c : cases) {
    const std::vector<long double> lines = DecadeLines(c.lo, c.hi);
    ASSERT_EQ(lines.size(), c.count) << D(c.lo);
    if (lines.empty()) continue;
    EXPECT_NEAR(D(lines.front()), D(c.first), 1e-15);
    EXPECT_NEAR(D(lines.back()), D(c.last), 1e-15);
    // log10 2 .. log10 9 inside the first decade; k = 10 meets the next.
    EXPECT_NEAR(D(lines[1] - lines[0]), std::log10(2.0), 1e-15);
    EXPECT_NEAR(D(lines[9] - lines[0]), 1, 1e-15);
  }
  // A damaged range asks for no flood of lines.
  EXPECT_TRUE(DecadeLines(-1e9L, 1e9L).empty());
}

TEST(LogAxes, LinearLinesFollowTheTicksAndSkipLinesBelowThePlottedRange) {
  const struct {
    long double origin, spacing;
    int first, last;
    long double lo;
    std::vector<long double> lines;
  } cases[] = {
      {0, 1, -2, 3, -1.5L, {-1, 0, 1, 2, 3}},
      {0, 0.5L, 1, 4, 0.4L, {0.5L, 1, 1.5L, 2}},  // from 0 up: 0 is below 0.4
      {0, 1, -1, 2, -1, {-1, 0, 1, 2}},           // a line on the edge stays
      {0, 0, -1, 2, -1, {}},                      // no spacing, no lines
  };
  for (const auto& c : cases) {
    const std::vector<long double> lines = LinearLines(c.origin, c.spacing, c.first, c.last, c.lo);
    ASSERT_EQ(lines.size(), c.lines.size()) << D(c.lo);
    for (std::size_t k = 0; k < lines.size(); ++k) EXPECT_NEAR(D(lines[k]), D(c.lines[k]), 1e-15);
  }
}

TEST(LogAxes, TheViewLeavesRoomForTheNumbersAroundThePlottedRectangle) {
  const TSegment2D plotted{-1, 2, -1, 2};
  // No numbers: the view is the plotted rectangle.
  TSegment2D v = ViewAroundPlot(plotted, 600, 400, {});
  EXPECT_EQ(v, plotted);
  // Numbers 40 pixels wide and 16 high, the last x number 30 wide.
  v = ViewAroundPlot(plotted, 600, 400, {40, 16, 15});
  const long double pxPerUnitX = 600 / (v.xmax - v.xmin);
  EXPECT_NEAR(D((plotted.xmin - v.xmin) * pxPerUnitX), 1.3 * 40, 1e-9);
  EXPECT_NEAR(D((v.xmax - plotted.xmax) * pxPerUnitX), 1.3 * 15, 1e-9);
  // In y the bottom takes 1.3 (16 + 8) pixels off its denominator, the top
  // adds them.
  EXPECT_NEAR(D(plotted.ymin - v.ymin), 1.3 * 16 * 3 / (400 - 1.3 * 24), 1e-15);
  EXPECT_NEAR(D(v.ymax - plotted.ymax), 1.3 * 8 * 3 / (400 + 1.3 * 24), 1e-15);
  // A client smaller than the numbers still gets a view the right way
  // round that holds the plotted rectangle.
  for (int size : {0, 1, 10, 60}) {
    v = ViewAroundPlot(plotted, size, size, {40, 16, 15});
    EXPECT_LT(D(v.xmin), -1.0);
    EXPECT_GT(D(v.xmax), 2.0);
    EXPECT_LT(D(v.ymin), -1.0);
    EXPECT_GT(D(v.ymax), 2.0);
    EXPECT_TRUE(std::isfinite(D(v.xmax - v.xmin)) && std::isfinite(D(v.ymax - v.ymin)));
  }
}

TEST(LogAxes, NearestDecadeTakesExactHalvesTowardZero) {
  const std::pair<long double, int> cases[] = {{2.5L, 2}, {-2.5L, -2}, {2.6L, 3}, {-0.4L, 0}, {-0.6L, -1}};
  for (const auto& [v, n] : cases) EXPECT_EQ(NearestDecade(v), n) << D(v);
}

}  // namespace
}  // namespace kv
