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

// The samples a point-by-point source gives: SetVariable, then the trees one
// by one, as the window's own source did before it took blocks.
class PointByPoint : public TCurveSource {
 public:
  PointByPoint(kvtest::CoreWindow& w, TExprNode* x, TExprNode* y, int letter) : w_(w), x_(x), y_(y), letter_(letter) {}
  Result At(long double t, TPoint2D& p) override {
    w_.SetVariable(letter_, t);
    w_.ClearEvaluationError();
    if (x_) {
      if (!w_.Evaluate(x_)) return kUndefined;
      p.x = x_->value.re;
    } else {
      p.x = t;
    }
    if (!w_.Evaluate(y_)) return kUndefined;
    p.y = y_->value.re;
    const bool jumped = w_.EvaluationError();
    if (!std::isfinite(p.x) || !std::isfinite(p.y) || !w_.MapWorldPoint(p)) return kUndefined;
    return jumped ? kJump : kDefined;
  }
  void BeginProbe() override {
    detecting_ = w_.JumpDetection();
    if (detecting_) w_.SetJumpDetection(false);
  }
  void EndProbe() override {
    if (detecting_) w_.SetJumpDetection(true);
  }

 private:
  bool detecting_ = false;
  kvtest::CoreWindow& w_;
  TExprNode* x_;
  TExprNode* y_;
  int letter_;
};

// Blocks of samples give the very points of the point-by-point run: values,
// gaps, jump probes and the branch memory between them.
TEST_F(CoreWindowTest, BlocksOfSamplesGiveThePointsOfThePointByPointRun) {
  struct Case {
    int kind;
    const char* x;
    const char* y;
    long double lo, hi;
    std::int16_t density;
  } cases[] = {
      {kKindExplicit, "", "tan(x)", 0, 0, 1},          {kKindExplicit, "", "1/x", 0, 0, 1},
      {kKindExplicit, "", "sqrt(1-xx)", 0, 0, 3},      {kKindExplicit, "", "int(x)+frac(2x)", 0, 0, 1},
      {kKindExplicit, "", "xsin(1/x)", 0, 0, 4},        {kKindExplicit, "", "sec(x)cot(x)+log(x)", 0, 0, 2},
      {kKindParametric, "1/t", "tan(t)", -3, 3, 1},     {kKindParametric, "sqrt(t)", "ln(t-1)", -2, 5, 2},
      {kKindPolar, "", "3cos(2t)/(1+tan(t))", 0, 7, 1},
  };
  for (const Case& c : cases) {
    for (const bool detect : {true, false}) {
      const int i = c.kind == kKindPolar ? w->AppendEquation(c.kind, {"", "", c.y})
                                         : w->AppendEquation(c.kind, {c.x, c.y});
      ASSERT_GE(i, 0) << c.y;
      TEquation& e = w->Equation(i);
      e.stepDensity = c.density;
      e.densityFlag = detect ? 0 : 1;
      if (c.kind != kKindExplicit) {
        e.lowerBound.x = c.lo;
        e.upperBound.x = c.hi;
      }
      RunCollector blocks;
      w->SampleEquation(i, blocks);

      TSamplerSettings s = w->SamplerSettings();
      s.detectJumps = detect;
      const bool explicitCurve = c.kind == kKindExplicit;
      const long double lo = explicitCurve ? w->World.xmin : c.lo;
      const long double hi = explicitCurve ? w->World.xmax : c.hi;
      w->SetJumpDetection(false);
      w->SetJumpDetection(detect);
      PointByPoint source(*w, explicitCurve ? nullptr : e.trees[0].get(), e.trees[1].get(), explicitCurve ? 'X' : 'T');
      RunCollector points;
      SampleCurve(source, lo, hi, SampleCount(c.density, w->AreaWidth()), s, points);
      w->SetJumpDetection(true);

      ASSERT_EQ(blocks.runs.size(), points.runs.size()) << c.y << (detect ? "" : " @");
      for (std::size_t r = 0; r < points.runs.size(); ++r) {
        ASSERT_EQ(blocks.runs[r].size(), points.runs[r].size()) << c.y << " run " << r;
        for (std::size_t k = 0; k < points.runs[r].size(); ++k)
          ASSERT_TRUE(blocks.runs[r][k] == points.runs[r][k]) << c.y << " run " << r << " point " << k;
      }
      w->DeleteEquation(i);
    }
  }
}

// Steps a hair longer than the suspect distance are tested for a jump and
// steps a hair shorter are not, also far from the origin, where the pixel
// positions as doubles are too coarse to tell the two apart.
TEST(Sampling, TheSuspectDistanceHoldsToAHairFarFromTheOrigin) {
  class Line : public TCurveSource {
   public:
    Result At(long double t, TPoint2D& p) override {
      p = {t, 3};
      return kDefined;
    }
  } line;
  for (long double x0 : {0.0L, 1e7L, -2e6L}) {
    for (long double hair : {1e-9L, -1e-9L}) {
      TSamplerSettings s;
      s.view = {x0 - 1, x0 + 1e4L, -5, 5};
      const long n = 300;
      const long double step = (s.suspectPixels + hair) / s.pixelsPerUnitX;
      RunCollector runs;
      const TSampleStats stats = SampleCurve(line, x0, x0 + (n - 1) * step, n, s, runs);
      EXPECT_EQ(runs.runs.size(), 1u);
      if (hair > 0)
        EXPECT_GE(stats.probes, n - 1) << D(x0);
      else
        EXPECT_EQ(stats.probes, 0) << D(x0);
    }
  }
}

}  // namespace
}  // namespace kv
