// Riemann sums between two graphs, the strips that show them and the
// antiderivative graph.
#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>
#include <vector>

#include "core/constants.h"
#include "formula/formula_engine.h"
#include "plot2d/model/riemann.h"
#include "plotcore/model/compile_equation.h"
#include "plotcore/model/equation.h"

namespace kv {
namespace {

double D(long double v) { return static_cast<double>(v); }

TreePtr Compile(TFormulaEngine& engine, const char* text) {
  TreePtr t;
  EXPECT_EQ(engine.Compile(text, t), kFormulaOk) << text;
  return t;
}

struct Curve {
  TEquation e;
  Curve(TFormulaEngine& engine, int kind, std::initializer_list<const char*> texts, long double lo = -5,
        long double hi = 5) {
    InitEquation(e, kind, 2, 50);
    std::size_t k = 0;
    for (const char* t : texts) e.formulaText[k++] = t;
    e.lowerBound = {lo, lo};
    e.upperBound = {hi, hi};
    InitEquationBuffers(e);
    CompileEquation(e, engine, true);
  }
};

TQuadratureControl Seeded(TSeededUniform& u) {
  TQuadratureControl c;
  c.uniform = [&u] { return u(); };
  return c;
}

TEST(RiemannSums, BetweenTwoGraphs) {
  TFormulaEngine engine;
  TreePtr f = Compile(engine, "x");
  TreePtr g = Compile(engine, "x^2");
  TSixSums s;
  ASSERT_EQ(RiemannSums(engine, f.get(), g.get(), 0, 1, 10, {}, s), kIntegrationOk);
  EXPECT_NEAR(D(s.value[kSumSimpson]), 1.0 / 6, 1e-15);
  EXPECT_NEAR(D(s.value[kSumMidpoint]), 1.0 / 6, 1e-3);
  // f alone stands on the x axis.
  ASSERT_EQ(RiemannSums(engine, g.get(), nullptr, 0, 1, 10, {}, s), kIntegrationOk);
  EXPECT_NEAR(D(s.value[kSumSimpson]), 1.0 / 3, 1e-15);
}

// The strips of every rule, drawn for the same seed, add up to that rule's
// sum; the parabolas' to Simpson's.
TEST(RiemannStrips, StripsAddUpToTheReportedSums) {
  TFormulaEngine engine;
  TreePtr f = Compile(engine, "exp(x)+sin(3x)");
  TreePtr g = Compile(engine, "x/2");
  const std::uint32_t seed = 12345;
  TSeededUniform u1(seed);
  TSixSums sums;
  ASSERT_EQ(RiemannSums(engine, f.get(), g.get(), -1, 2, 12, Seeded(u1), sums), kIntegrationOk);
  TSeededUniform u2(seed);
  std::vector<TStrip> strips;
  ASSERT_EQ(ComputeStrips(engine, f.get(), g.get(), -1, 2, 12, 800, Seeded(u2), strips), kIntegrationOk);
  ASSERT_EQ(strips.size(), 12u);
  const struct {
    int rule;
    SumRule sum;
  } rules[] = {{kStripLeft, kSumLeft},           {kStripMidpoint, kSumMidpoint}, {kStripRight, kSumRight},
               {kStripTrapezoid, kSumTrapezoid}, {kStripParabola, kSumSimpson},  {kStripRandom, kSumRandom}};
  for (const auto& r : rules) {
    long double total = 0;
    for (const TStrip& s : strips) total += StripArea(s, r.rule);
    EXPECT_NEAR(D(total), D(sums.value[r.sum]), 1e-12) << "rule " << r.rule;
  }
  EXPECT_EQ(D(strips.front().xLeft), -1.0);
  EXPECT_EQ(D(strips.back().xRight), 2.0);
}

TEST(RiemannStrips, NarrowPlotsDrawFewerStripsAndUndefinedValuesOnlyTheirOwnStripsNone) {
  TFormulaEngine engine;
  TreePtr f = Compile(engine, "x");
  std::vector<TStrip> strips;
  EXPECT_EQ(ComputeStrips(engine, f.get(), nullptr, 0, 1, 1000, 400, {}, strips), kIntegrationOk);
  EXPECT_EQ(strips.size(), 100u);
  EXPECT_EQ(D(strips[0].gLeft), 0.0);  // no g: the strips stand on the x axis
  // sqrt(x) over [-1, 1] in 8 strips: the left four hold an undefined value
  // for every rule (the fourth not at its right edge x = 0), the right four
  // are whole.
  TreePtr root = Compile(engine, "sqrt(x)");
  ASSERT_EQ(ComputeStrips(engine, root.get(), nullptr, -1, 1, 8, 400, {}, strips), kIntegrationOk);
  ASSERT_EQ(strips.size(), 8u);
  for (int rule = kStripLeft; rule <= kStripRandom; ++rule)
    for (std::size_t k = 0; k < 8; ++k) {
      EXPECT_EQ(StripDefined(strips[k], rule), k >= 4 || (k == 3 && rule == kStripRight)) << rule << " " << k;
      if (k < 3) {
        EXPECT_TRUE(std::isnan(D(strips[k].fRight)));
      } else {
        EXPECT_NEAR(D(strips[k].fRight), std::sqrt(0.25 * (static_cast<double>(k) - 3)), 1e-15);
      }
    }
}

TEST(RiemannStrips, ParabolaRuleDrawsAQuadraticExactly) {
  TFormulaEngine engine;
  TreePtr f = Compile(engine, "3x^2-2x+1");
  std::vector<TStrip> strips;
  ASSERT_EQ(ComputeStrips(engine, f.get(), nullptr, -2, 3, 5, 800, {}, strips), kIntegrationOk);
  for (const TStrip& s : strips)
    for (long double t : {0.0L, 0.3L, 0.77L, 1.0L}) {
      const long double x = s.xLeft + t * (s.xRight - s.xLeft);
      EXPECT_NEAR(D(StripParabola(s, x, false)), D(3 * x * x - 2 * x + 1), 1e-12);
    }
}

TEST(Antiderivative, GraphOfCosThroughTheOriginIsSine) {
  TFormulaEngine engine;
  TreePtr f = Compile(engine, "cos(x)");
  const long double h = 0.5L * 0.02L;  // half a pixel at 50 pixels per unit
  std::vector<TPoint2D> right, left;
  RunningIntegral(engine, f.get(), 0, 5, h, 100000, right);
  RunningIntegral(engine, f.get(), 0, -5, h, 100000, left);
  ASSERT_GT(right.size(), 400u);
  ASSERT_GT(left.size(), 400u);
  EXPECT_EQ(D(right.front().y), 0.0);
  for (const auto* run : {&right, &left})
    for (const TPoint2D& p : *run) ASSERT_NEAR(D(p.y), std::sin(D(p.x)), 0.02 / 50) << D(p.x);
  EXPECT_GE(D(right.back().x), 5.0);
  EXPECT_LE(D(left.back().x), -5.0);
}

TEST(Antiderivative, TreesAndBoundsFromTheSources) {
  TFormulaEngine engine;
  Curve f(engine, kKindExplicit, {"", "2x"}, -2, 2);
  Curve g(engine, kKindExplicit, {"", "1"}, 0, 5);
  TEquation entry;
  InitEquation(entry, kKindAntiderivative, 3, 50);
  entry.lowerBound.x = -10;
  entry.upperBound.x = 10;

  // Unbounded sources keep the entry's range.
  ASSERT_TRUE(BuildAntiderivativeTrees(entry, f.e, nullptr));
  EXPECT_EQ(D(entry.lowerBound.x), -10.0);
  EXPECT_EQ(entry.bounded, 0);
  std::vector<TPoint2D> run;
  RunningIntegral(engine, entry.trees[1].get(), 1, -2, 0.001L, 100000, run);
  bool passed = false;
  for (const TPoint2D& p : run)
    if (std::fabs(D(p.x)) < 1e-9) passed = std::fabs(D(p.y) + 1) < 1e-6;  // x² − 1 at 0
  EXPECT_TRUE(passed);

  // f − g on the intersection of bounded sources.
  g.e.bounded = 1;
  ASSERT_TRUE(BuildAntiderivativeTrees(entry, f.e, &g.e));
  EXPECT_EQ(entry.bounded, 1);
  EXPECT_EQ(D(entry.lowerBound.x), 0.0);
  EXPECT_EQ(D(entry.upperBound.x), 2.0);
  long double v = 0;
  ASSERT_TRUE(engine.EvaluateAt(entry.trees[1].get(), 'X', 3, v));
  EXPECT_EQ(D(v), 5.0);

  // Disjoint bounded sources give no graph.
  g.e.lowerBound.x = 3;
  TEquation other;
  InitEquation(other, kKindAntiderivative, 3, 50);
  EXPECT_FALSE(BuildAntiderivativeTrees(other, f.e, &g.e));
  EXPECT_FALSE(other.trees[1]);
}

}  // namespace
}  // namespace kv
