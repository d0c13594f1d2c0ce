// The automatic tick spacing and the tick sizes in world units.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "graphics/axis_settings.h"

namespace kv {
namespace {

TViewMapping View(long double hx, int w, int h) {
  TViewMapping v;
  v.HalfX = hx;
  v.SetDrawingArea(w, h, 0, 0);
  v.ComputeView();
  return v;
}

TEST(TickSpacing, WidensTenfoldUntilOneTickPerEightPixels) {
  TAxisSettings a;
  a.TickIntervalX = 0.01L;
  TViewMapping v = View(5, 400, 400);
  TTickRange range;
  bool changed = false;
  EXPECT_EQ(ComputeTickSpacing(a, v, 400 / 8, 400 / 8, range, changed), 16);
  EXPECT_TRUE(changed);
  EXPECT_NEAR(static_cast<double>(a.TickIntervalX), 1.0, 1e-12);
  EXPECT_EQ(range.left, -5);
  EXPECT_EQ(range.right, 5);
  EXPECT_EQ(range.bottom, -5);
  EXPECT_EQ(range.top, 5);
}

TEST(TickSpacing, AdaptsToTheWindowSize) {
  struct Case {
    int width;
    double interval;
  } cases[] = {{800, 0.1}, {400, 1}, {80, 1}, {79, 10}, {7, 10}};
  for (const auto& c : cases) {
    TAxisSettings a;
    a.TicksShown = 0;
    a.TickIntervalX = 0.1L;
    TViewMapping v = View(5, c.width, c.width);
    TTickRange range;
    bool changed = false;
    ComputeTickSpacing(a, v, c.width / 8, c.width / 8, range, changed);
    EXPECT_NEAR(static_cast<double>(a.TickIntervalX), c.interval, 1e-12) << c.width;
  }
}

TEST(TickSpacing, NoticeStateFollowsAChange) {
  for (auto [before, after] : {std::pair{0, 0}, std::pair{1, 1}, std::pair{2, 1}, std::pair{3, 0}}) {
    TAxisSettings a;
    a.TickIntervalX = 0.001L;
    a.TickNoticeState = static_cast<std::int16_t>(before);
    TTickRange range;
    bool changed = false;
    ComputeTickSpacing(a, View(5, 400, 400), 50, 50, range, changed);
    EXPECT_EQ(a.TickNoticeState, after) << before;
  }
}

TEST(TickSpacing, ShrinksAnIntervalWiderThanTheViewWhileTicksShow) {
  TAxisSettings a;
  a.TickIntervalX = 5;
  TTickRange range;
  bool changed = false;
  ComputeTickSpacing(a, View(1, 400, 400), 50, 50, range, changed);
  EXPECT_TRUE(changed);
  EXPECT_DOUBLE_EQ(static_cast<double>(a.TickIntervalX), 0.5);
}

TEST(TickSpacing, DecimalsFollowTheIntervalWhenNumbersShow) {
  struct Case {
    std::int16_t decimals;
    long double interval;
    std::int16_t scaleBits;
    std::int16_t expected;
  } cases[] = {
      {0, 0.25L, kScaleNumbersX, 1},  {0, 0.25L, 0, 0},          {0, 1e-9L, kScaleNumbersX, 4},
      {12, 0.25L, kScaleNumbersX, 12}, {10, 0.25L, kScaleNumbersX, 11}, {3, 0.25L, kScaleNumbersX, 3},
  };
  for (const auto& c : cases) {
    TAxisSettings a;
    a.TicksShown = 0;
    a.DecimalsX = c.decimals;
    a.TickIntervalX = c.interval;
    a.ScaleBits = c.scaleBits;
    TTickRange range;
    bool changed = false;
    // Plenty of room: the interval stays as given.
    ComputeTickSpacing(a, View(1e-10L, 400, 400), 1 << 30, 1 << 30, range, changed);
    EXPECT_EQ(a.DecimalsX, c.expected) << c.decimals << " " << static_cast<double>(c.interval);
  }
}

TEST(TickSpacing, UnusableIntervalsAndTinyWindowsEndTheLoop) {
  const long double bad[] = {0, -1, std::numeric_limits<long double>::quiet_NaN(), 1e-4000L};
  for (long double interval : bad) {
    TAxisSettings a;
    a.TickIntervalX = interval;
    a.TickIntervalY = interval;
    TTickRange range;
    bool changed = false;
    ComputeTickSpacing(a, View(5, 3, 3), 0, 0, range, changed);
    EXPECT_TRUE(std::isfinite(static_cast<double>(a.TickIntervalX))) << static_cast<double>(interval);
    EXPECT_GT(a.TickIntervalX, 0);
  }
  // An endless view: nothing can be spaced, the ticks switch off.
  TAxisSettings a;
  TViewMapping v = View(5, 400, 400);
  v.HalfX = std::numeric_limits<long double>::infinity();
  v.World.xmax = v.HalfX;
  TTickRange range;
  bool changed = false;
  EXPECT_EQ(ComputeTickSpacing(a, v, 50, 50, range, changed), 4);
  EXPECT_EQ(a.TicksShown, 0);
}

TEST(TickSpacing, IndexBeyondThe32BitRangeSwitchesTheTicksOff) {
  TAxisSettings a;
  a.TicksShown = 1;
  a.TickOriginX = -1e12L;
  TTickRange range;
  bool changed = false;
  EXPECT_EQ(ComputeTickSpacing(a, View(5, 400, 400), 50, 50, range, changed), 4);
  EXPECT_EQ(a.TicksShown, 0);
  EXPECT_EQ(range.bottom, -5);  // the other indices are still filled
}

TEST(TickSpacing, TickSizesInWorldUnits) {
  TAxisSettings a;
  TViewMapping v = View(5, 501, 501);
  a.UpdateTickMetrics(v);
  EXPECT_NEAR(static_cast<double>(a.HalfTickX), 0.1, 1e-15);
  EXPECT_NEAR(static_cast<double>(a.HalfPointMarkY), 0.05, 1e-15);
  EXPECT_NEAR(static_cast<double>(a.ArrowLength), 0.14, 1e-15);
}

}  // namespace
}  // namespace kv
