// Curve sampling: gaps where a formula is undefined or jumps, ends found up
// to the gap, steep pieces kept, and the density rule.
#include <gtest/gtest.h>

#include <cmath>

#include "core_window.h"
#include "core/constants.h"

namespace kv {
namespace {

using kvtest::CoreWindowTest;
using kvtest::RunCollector;

double D(long double v) { return static_cast<double>(v); }

RunCollector Sample(kvtest::CoreWindow& w, const char* formula, std::uint8_t connect = 0) {
  const int i = w.AppendEquation(kKindExplicit, {"", formula});
  EXPECT_GE(i, 0);
  w.Equation(i).densityFlag = connect;
  RunCollector runs;
  w.SampleEquation(i, runs);
  return runs;
}

// Whether some step of a run crosses one of the x positions.
bool CrossesAny(const RunCollector& c, const std::vector<long double>& xs) {
  for (const auto& run : c.runs)
    for (std::size_t k = 1; k < run.size(); ++k)
      for (long double x : xs)
        if ((run[k - 1].x < x && run[k].x > x) || (run[k - 1].x > x && run[k].x < x)) return true;
  return false;
}

TEST_F(CoreWindowTest, TangentHasAGapAtEveryPoleAndRunsUpToIt) {
  const std::vector<long double> poles{-3 * HalfPi, -HalfPi, HalfPi, 3 * HalfPi};
  const RunCollector c = Sample(*w, "tan(x)");
  ASSERT_EQ(c.runs.size(), 5u);
  EXPECT_FALSE(CrossesAny(c, poles));
  for (std::size_t k = 0; k < 4; ++k) {
    EXPECT_NEAR(D(c.runs[k].back().x), D(poles[k]), 1e-6) << "run " << k << " ends at the pole";
    EXPECT_NEAR(D(c.runs[k + 1].front().x), D(poles[k]), 1e-6) << "run " << k + 1 << " starts at the pole";
  }
  // With the density's "@" the pen stays down.
  const RunCollector joined = Sample(*w, "tan(x)", 1);
  EXPECT_EQ(joined.runs.size(), 1u);
  EXPECT_TRUE(CrossesAny(joined, poles));
}

TEST_F(CoreWindowTest, GapsAndJumpsOfOtherFormulas) {
  struct Case {
    const char* formula;
    std::size_t runs;
    std::vector<long double> noCrossing;
  } cases[] = {
      {"1/x", 2, {0}},
      {"sqrt(x)", 1, {}},
      {"sqrt(1-xx)", 1, {}},
      {"int(x)", 11, {-4, -3, -2, -1, 0, 1, 2, 3, 4}},
      {"root(3,x)", 1, {}},  // steep at 0, but continuous
      {"x^5", 1, {}},        // steep beyond the view, continuous
      {"1/(x-0.5)", 2, {0.5L}},
      {"x/abs(x)", 2, {0}},
  };
  for (const Case& c : cases) {
    const RunCollector r = Sample(*w, c.formula);
    EXPECT_EQ(r.runs.size(), c.runs) << c.formula;
    EXPECT_FALSE(CrossesAny(r, c.noCrossing)) << c.formula;
  }
}

TEST_F(CoreWindowTest, SquareRootDrawsNothingLeftOfZeroAndStartsAtIt) {
  const RunCollector c = Sample(*w, "sqrt(x)");
  ASSERT_EQ(c.runs.size(), 1u);
  for (const auto& p : c.runs[0]) EXPECT_GE(p.x, 0);
  EXPECT_LT(D(c.runs[0].front().x), 1e-9);
  const RunCollector circle = Sample(*w, "sqrt(1-xx)");
  ASSERT_EQ(circle.runs.size(), 1u);
  EXPECT_NEAR(D(circle.runs[0].front().x), -1, 1e-9);
  EXPECT_NEAR(D(circle.runs[0].back().x), 1, 1e-9);
}

TEST_F(CoreWindowTest, DensityRuleGivesTheSampleCount) {
  struct Case {
    std::int16_t density;
    bool halfInterval;
    long samples;
  } cases[] = {{1, false, 502}, {3, false, 1506}, {-2, false, 251}, {-7, false, 72}, {1, true, 251}, {0, false, 502}};
  for (const Case& c : cases) {
    const int i = w->AppendEquation(kKindExplicit, {"", "x"});
    TEquation& e = w->Equation(i);
    e.stepDensity = c.density;
    if (c.halfInterval) {
      e.bounded = 1;
      e.lowerBound.x = 0;
      e.upperBound.x = 20;  // only 0..5 is in view
    }
    RunCollector runs;
    const TSampleStats s = w->SampleEquation(i, runs);
    EXPECT_EQ(s.samples, c.samples) << c.density;
    EXPECT_EQ(s.probes, 0) << c.density;
    ASSERT_EQ(runs.runs.size(), 1u);
    EXPECT_EQ(D(runs.runs[0].back().x), c.halfInterval ? 5.0 : 5.0);
  }
  EXPECT_EQ(SampleCount(20000, 2000000), kMaxSamples);
  EXPECT_EQ(SampleCount(1, -5), 2);
}

TEST_F(CoreWindowTest, PolarAndParametricCurvesSampleTheirParameter) {
  const int p = w->AppendEquation(kKindPolar, {"", "", "3cos(2t)"});
  RunCollector polar;
  w->SampleEquation(p, polar);
  ASSERT_EQ(polar.runs.size(), 1u);
  for (const auto& q : polar.runs[0]) EXPECT_LE(D(std::hypot(q.x, q.y)), 3 + 1e-12);
  const int h = w->AppendEquation(kKindParametric, {"1/t", "t"});
  w->Equation(h).lowerBound.x = -1;
  w->Equation(h).upperBound.x = 1;
  RunCollector hyper;
  w->SampleEquation(h, hyper);
  EXPECT_EQ(hyper.runs.size(), 2u);
}

}  // namespace
}  // namespace kv
