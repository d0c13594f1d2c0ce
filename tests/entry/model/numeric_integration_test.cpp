// The six sums, Simpson's rule, the double integral and the arc-length
// integrand against integrals known in closed form.
#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>

#include "core/constants.h"
#include "entry/model/numeric_integration.h"
#include "formula/formula_engine.h"
#include "plotcore/model/compile_equation.h"
#include "plotcore/model/equation.h"

namespace kv {
namespace {

double D(long double v) { return static_cast<double>(v); }

struct Integrand {
  TFormulaEngine engine;
  TreePtr tree;
  explicit Integrand(const char* text) { EXPECT_EQ(engine.Compile(text, tree), kFormulaOk) << text; }
  TSixSums Sums(long double a, long double b, std::int32_t n, int* code = nullptr) {
    TSixSums s;
    const int c = IntegrateNumerically(engine, tree.get(), 'X', a, b, n, {}, s);
    if (code) *code = c;
    return s;
  }
};

struct Curve {
  TFormulaEngine engine;
  TEquation e;
  Curve(int kind, std::initializer_list<const char*> texts, long double lo, long double hi) {
    InitEquation(e, kind, 2, 50);
    std::size_t k = 0;
    for (const char* t : texts) e.formulaText[k++] = t;
    e.lowerBound = {lo, lo};
    e.upperBound = {hi, hi};
    InitEquationBuffers(e);
    CompileEquation(e, engine, true);
  }
};

struct Exact {
  const char* formula;
  long double a, b, value;
};

const Exact kExact[] = {
    {"sin(x)", 0, Pi, 2},
    {"x^2", 0, 1, 1.0L / 3},
    {"1/x", 1, 2, std::log(2.0L)},
};

// Each deterministic rule converges to the integral at least at its order:
// doubling the strips divides the error by about 2^order or more.
TEST(SixSums, RulesConvergeAtTheirOrderOnExactIntegrals) {
  const struct {
    SumRule rule;
    double order;
  } rules[] = {{kSumLeft, 1}, {kSumRight, 1}, {kSumMidpoint, 2}, {kSumTrapezoid, 2}, {kSumSimpson, 4}};
  for (const Exact& x : kExact) {
    Integrand f(x.formula);
    const TSixSums coarse = f.Sums(x.a, x.b, 16);
    const TSixSums fine = f.Sums(x.a, x.b, 32);
    for (const auto& r : rules) {
      const long double e1 = std::fabs(coarse.value[r.rule] - x.value);
      const long double e2 = std::fabs(fine.value[r.rule] - x.value);
      SCOPED_TRACE(std::string(x.formula) + " rule " + std::to_string(r.rule));
      EXPECT_LT(D(e1), 0.2);
      // Simpson's rule is exact on x²: both errors are rounding there.
      EXPECT_LE(D(e2), D(e1) / std::exp2(r.order - 0.1) + 1e-17);
    }
    // The random points lie in their strips, so that sum converges too.
    EXPECT_NEAR(D(fine.value[kSumRandom]), D(x.value), 0.1);
  }
}

TEST(SixSums, OneStepOfTheIdentity) {
  Integrand f("x");
  std::int32_t calls = 0;
  TQuadratureControl c;
  c.uniform = [&] { return ++calls, 0.25L; };
  TSixSums s;
  ASSERT_EQ(IntegrateNumerically(f.engine, f.tree.get(), 'X', 0, 2, 1, c, s), kIntegrationOk);
  EXPECT_EQ(D(s.value[kSumLeft]), 0.0);
  EXPECT_EQ(D(s.value[kSumMidpoint]), 2.0);
  EXPECT_EQ(D(s.value[kSumRight]), 4.0);
  EXPECT_EQ(D(s.value[kSumTrapezoid]), 2.0);
  EXPECT_EQ(D(s.value[kSumSimpson]), 2.0);
  EXPECT_EQ(D(s.value[kSumRandom]), 1.0);  // f(0.5) · 2
  EXPECT_EQ(calls, 1);
}

TEST(SixSums, LastStepEndsExactlyAtTheUpperBound) {
  // Any overshoot of b would take the root of a negative number.
  Integrand f("sqrt(1-x)");
  int code = -1;
  const TSixSums s = f.Sums(0.1L, 1, 7, &code);
  EXPECT_EQ(code, kIntegrationOk);
  EXPECT_NEAR(D(s.value[kSumSimpson]), 2.0 / 3 * std::pow(0.9, 1.5), 1e-2);
}

TEST(SixSums, RefusedInputsAndUndefinedIntegrands) {
  const struct {
    const char* formula;
    long double a, b;
    std::int32_t n;
    int code;
  } cases[] = {
      {"x", 0, 1, 0, kIntegrationOutOfBounds},
      {"x", 0, 1, -5, kIntegrationOutOfBounds},
      {"x", 1, 1, 10, kIntegrationBadRange},
      {"x", 2, 1, 10, kIntegrationBadRange},
      {"ln(x)", -2, -1, 10, kIntegrationUndefined},  // no sample defined
  };
  for (const auto& c : cases) {
    Integrand f(c.formula);
    int code = -1;
    const TSixSums s = f.Sums(c.a, c.b, c.n, &code);
    EXPECT_EQ(code, c.code) << c.formula << " n=" << c.n;
    for (long double v : s.value) EXPECT_EQ(D(v), 0.0);
  }
}

// An undefined sample is left out of the sums that take it, or stands in
// for the value the integrand settles to just inside; only those sums are
// marked, and the others are as without the gap.
TEST(SixSums, AnUndefinedSampleMarksOnlyTheSumsThatTakeIt) {
  const long double h = 0.1L;
  long double rightOfLn = 0, midOfLn = 0, leftOfSinc = 0;
  for (int k = 1; k <= 10; ++k) {
    rightOfLn += h * std::log(k * h);
    midOfLn += h * std::log((k - 0.5L) * h);
    if (k < 10) leftOfSinc += h * std::sin(k * h) / (k * h);
  }
  const struct {
    const char* f;
    long double a, b;
    std::int32_t n;
    std::array<bool, kSumCount> gaps;  // left, midpoint, right, trapezoid, Simpson, random
    SumRule rule;
    long double value;
  } cases[] = {
      // ln x is undefined at 0 only: the left end is left out.
      {"ln(x)", 0, 1, 10, {true, false, false, true, true, false}, kSumRight, rightOfLn},
      {"ln(x)", 0, 1, 10, {true, false, false, true, true, false}, kSumMidpoint, midOfLn},
      {"ln(x)", 0, 1, 10, {true, false, false, true, true, false}, kSumLeft, rightOfLn},  // ln 1 = 0
      // sin(x)/x settles to 1 at 0, which stands in for the left end.
      {"sin(x)/x", 0, 1, 10, {true, false, false, true, true, false}, kSumLeft, h + leftOfSinc},
      // A pole on a sample point inside: the sums around it go on.
      {"1/x", -1, 1, 2, {true, false, true, true, true, false}, kSumMidpoint, 0},
      {"1/x", -1, 1, 2, {true, false, true, true, true, false}, kSumLeft, -1},
      {"1/x", -1, 1, 2, {true, false, true, true, true, false}, kSumRight, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.f);
    Integrand f(c.f);
    int code = -1;
    const TSixSums s = f.Sums(c.a, c.b, c.n, &code);
    ASSERT_EQ(code, kIntegrationOk);
    for (int r = 0; r < kSumCount; ++r) EXPECT_EQ(s.gaps[static_cast<std::size_t>(r)], c.gaps[static_cast<std::size_t>(r)]) << r;
    EXPECT_NEAR(D(s.value[c.rule]), D(c.value), 1e-12);
  }
}

TEST(SixSums, StopKeepsTheScaledSumSoFar) {
  Integrand f("1");
  int polls = 0;
  TQuadratureControl c;
  c.stop = [&] { return ++polls == 3; };
  TSixSums s;
  EXPECT_EQ(IntegrateNumerically(f.engine, f.tree.get(), 'X', 0, 1, 10, c, s), kIntegrationStopped);
  EXPECT_EQ(s.steps, 3);
  EXPECT_NEAR(D(s.value[kSumLeft]), 0.3, 1e-15);
}

TEST(SixSums, SameSeedSameRandomSum) {
  Integrand f("exp(x)");
  auto randomSum = [&](std::uint32_t seed) {
    TSeededUniform u(seed);
    TQuadratureControl c;
    c.uniform = [&] { return u(); };
    TSixSums s;
    EXPECT_EQ(IntegrateNumerically(f.engine, f.tree.get(), 'X', 0, 1, 5, c, s), kIntegrationOk);
    return s.value[kSumRandom];
  };
  EXPECT_EQ(D(randomSum(7)), D(randomSum(7)));
  EXPECT_NE(D(randomSum(7)), D(randomSum(8)));
  // Between the lower and upper sums of an increasing function.
  const TSixSums s = f.Sums(0, 1, 5);
  EXPECT_GE(D(randomSum(7)), D(s.value[kSumLeft]));
  EXPECT_LE(D(randomSum(7)), D(s.value[kSumRight]));
}

TSimpsonRange Range(long double a, long double b, std::int32_t n) { return {a, b, n}; }

TEST(Simpson, ClosedFormsInOneVariable) {
  struct Case {
    const char* f;
    long double a, b;
    std::int32_t n;
    long double exact, tolerance;
  } cases[] = {
      {"x^3", 0, 2, 1, 4, 1e-15L},           // exact for cubics, even with one step
      {"x^2", 0, 1, 3, 1.0L / 3, 1e-15L},
      {"sin(x)", 0, Pi, 100, 2, 1e-9L},      // O(h^4)
      {"1/x", 1, 2, 50, std::log(2.0L), 1e-9L},
      {"x^2", 1, 0, 10, -1.0L / 3, 1e-15L},  // reversed bounds change the sign
      // Undefined at an end (0/0): sampled a hair inside, where it is 1.
      {"sin(x)/x", 0, 1, 100, 0.946083070367183015L, 1e-12L},
      {"sin(x)/x", 1, 0, 100, -0.946083070367183015L, 1e-12L},
  };
  for (const Case& c : cases) {
    Integrand f(c.f);
    long double r = -1;
    EXPECT_EQ(SimpsonIntegral(f.engine, f.tree.get(), 'X', Range(c.a, c.b, c.n), r), kIntegrationOk) << c.f;
    EXPECT_NEAR(D(r), D(c.exact), D(c.tolerance)) << c.f << " on [" << D(c.a) << ", " << D(c.b) << "]";
  }
}

TEST(Simpson, ErrorShrinksSixteenfoldWhenTheStepsDouble) {
  Integrand f("exp(x)");
  const long double exact = std::exp(1.0L) - 1;
  long double r10 = 0, r20 = 0;
  SimpsonIntegral(f.engine, f.tree.get(), 'X', Range(0, 1, 10), r10);
  SimpsonIntegral(f.engine, f.tree.get(), 'X', Range(0, 1, 20), r20);
  EXPECT_NEAR(D((r10 - exact) / (r20 - exact)), 16, 0.5);
}

TEST(Simpson, RefusedInputsAndUndefinedSamples) {
  struct Case {
    const char* f;
    TSimpsonRange range;
    int code;
  } cases[] = {
      {"sqrt(x)", {-2, -1, 10}, kIntegrationUndefined},  // no sample defined
      {"x^2", {0, 1, 0}, kIntegrationOutOfBounds},
      {"x^2", {0, 1, -1}, kIntegrationOutOfBounds},
      {"x^2", {0, INFINITY, 10}, kIntegrationBadRange},
  };
  for (const Case& c : cases) {
    Integrand f(c.f);
    long double r = 7;
    EXPECT_EQ(SimpsonIntegral(f.engine, f.tree.get(), 'X', c.range, r), c.code) << c.f << " " << c.range.parts;
    EXPECT_EQ(D(r), 0) << c.f;
  }
  Integrand f("x");
  long double r = 7;
  EXPECT_EQ(SimpsonIntegral(f.engine, nullptr, 'X', Range(0, 1, 10), r), kIntegrationUndefined);
}

// The rule of the six sums: a gap that closes stands in, a pole or the
// edge of the domain is left out, and the result says it met one.
TEST(Simpson, UndefinedSamplesAreLeftOutOrStandInAndMarkTheResult) {
  struct Case {
    const char* f;
    TSimpsonRange range;
    bool gaps;
    long double value, tolerance;
  } cases[] = {
      {"x^2", {0, 1, 10}, false, 1.0L / 3, 1e-15L},
      {"sin(x)/x", {0, 1, 100}, true, 0.946083070367183015L, 1e-12L},
      {"sin(x)/x", {1, 0, 100}, true, -0.946083070367183015L, 1e-12L},
      {"1/x", {-1, 1, 2}, true, 0, 1e-15L},                  // the pole at the middle is left out
      {"sqrt(x)", {-1, 1, 200}, true, 2.0L / 3, 1e-3L},       // the left half is outside the domain
      // The end of 1/√(1-x) is a pole: left out, not taken a hair inside,
      // where it is thousands.
      {"1/sqrt(1-x)", {0, 1, 1000}, true, 2, 0.05L},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.f);
    Integrand f(c.f);
    long double r = 7;
    bool gaps = !c.gaps;
    EXPECT_EQ(SimpsonIntegral(f.engine, f.tree.get(), 'X', c.range, r, {}, &gaps), kIntegrationOk);
    EXPECT_EQ(gaps, c.gaps);
    EXPECT_NEAR(D(r), D(c.value), D(c.tolerance));
  }
}

TEST(Simpson, StopEndsTheSumAfterTheStepItWasAskedAt) {
  Integrand f("x*y");
  int asked = 0;
  long double r = 0;
  auto stopAtThird = [&] { return ++asked == 3; };
  EXPECT_EQ(SimpsonIntegral(f.engine, f.tree.get(), 'X', Range(0, 1, kMaxIntegrationSteps), r, stopAtThird),
            kIntegrationStopped);
  EXPECT_EQ(asked, 3);
  // Inside an inner integral the outer sum ends too.
  asked = 0;
  EXPECT_EQ(IteratedSimpsonIntegral(f.engine, f.tree.get(), 'X', Range(0, 1, 10), 'Y', Range(0, 1, 10), r,
                                    stopAtThird),
            kIntegrationStopped);
  EXPECT_EQ(asked, 3);
}

TEST(Simpson, IteratedIntegrals) {
  Integrand g("x*y");
  long double v = 0;
  ASSERT_EQ(IteratedSimpsonIntegral(g.engine, g.tree.get(), 'X', Range(0, 2, 4), 'Y', Range(0, 1, 4), v),
            kIntegrationOk);
  EXPECT_NEAR(D(v), 1.0, 1e-15);
  EXPECT_EQ(D(g.engine.Variable('Y').re), 1.0);  // the outer letter ends at its upper limit

  bool gaps = true;
  ASSERT_EQ(IteratedSimpsonIntegral(g.engine, g.tree.get(), 'X', Range(0, 2, 4), 'Y', Range(0, 1, 4), v, {}, &gaps),
            kIntegrationOk);
  EXPECT_FALSE(gaps);

  // Undefined where x > y: those samples are left out and the result is
  // marked; ∫∫ over the triangle is 4/15.
  Integrand h("sqrt(y-x)");
  EXPECT_EQ(IteratedSimpsonIntegral(h.engine, h.tree.get(), 'X', Range(0, 1, 200), 'Y', Range(0, 1, 200), v, {},
                                    &gaps),
            kIntegrationOk);
  EXPECT_TRUE(gaps);
  EXPECT_NEAR(D(v), 4.0 / 15, 2e-3);
  // No sample defined at all.
  Integrand none("ln(-x*x-y*y-1)");
  EXPECT_EQ(IteratedSimpsonIntegral(none.engine, none.tree.get(), 'X', Range(0, 1, 4), 'Y', Range(0, 1, 4), v),
            kIntegrationUndefined);
}

TEST(ArcLength, CurvesOfKnownLength) {
  const struct {
    int kind;
    std::initializer_list<const char*> texts;
    long double a, b, length;
  } cases[] = {
      {kKindParametric, {"cos(t)", "sin(t)"}, 0, 2 * Pi, 2 * Pi},
      {kKindExplicit, {"", "x^2"}, 0, 1, (2 * std::sqrt(5.0L) + std::asinh(2.0L)) / 4},
      {kKindPolar, {"", "", "1"}, 0, Pi, Pi},
      {kKindSpaceCurve, {"cos(t)", "sin(t)", "t"}, 0, 2 * Pi, 2 * Pi * std::sqrt(2.0L)},
  };
  for (const auto& c : cases) {
    Curve curve(c.kind, c.texts, c.a, c.b);
    TreePtr integrand = BuildArcLengthIntegrand(curve.e);
    ASSERT_TRUE(integrand) << c.kind;
    TSixSums s;
    ASSERT_EQ(IntegrateNumerically(curve.engine, integrand.get(), CurveLetterOf(curve.e), c.a, c.b, 200,
                                   {}, s),
              kIntegrationOk);
    EXPECT_NEAR(D(s.value[kSumSimpson]), D(c.length), 1e-10) << c.kind;
  }
}

}  // namespace
}  // namespace kv
