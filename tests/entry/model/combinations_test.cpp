// Combinations of two entries and point lists without a window: the trees
// a combination builds, its interval, the buttons that apply, and the
// numbers read from pasted text.
#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>
#include <string>
#include <vector>

#include "entry/model/combinations.h"
#include "entry/model/point_lists.h"
#include "formula/formula_engine.h"
#include "plotcore/model/compile_equation.h"
#include "plotcore/model/entry_evaluation.h"

namespace kv {
namespace {

double D(long double v) { return static_cast<double>(v); }

TEquation Make(TFormulaEngine& engine, int kind, std::initializer_list<const char*> texts, long double lo = -5,
               long double hi = 5) {
  TEquation e;
  InitEquation(e, kind, 2, 50);
  std::size_t k = 0;
  for (const char* t : texts) e.formulaText[k++] = t;
  e.lowerBound = {lo, lo};
  e.upperBound = {hi, hi};
  CompileEquation(e, engine, true);
  return e;
}

// Tree k of e at X = x (and Y = y), or NaN where undefined.
long double At(TFormulaEngine& engine, const TEquation& e, std::size_t k, long double x, long double y = 0) {
  engine.SetVariable('X', x);
  engine.SetVariable('Y', y);
  long double v;
  return EvaluateReal(engine, e.trees[k].get(), v) ? v : NAN;
}

TEquation Combine(int code, const TEquation& f, const TEquation& g, int dimension = 2) {
  TEquation c;
  PrepareCombinedEquation(c, code, f, 0, g, 1);
  EXPECT_TRUE(RebuildCombinedTrees(c, f, g, dimension));
  return c;
}

TEST(Combinations, SinAndSquareCombineByEveryOperator) {
  TFormulaEngine engine;
  const TEquation f = Make(engine, kKindExplicit, {"", "sin(x)"});
  const TEquation g = Make(engine, kKindExplicit, {"", "x^2"});
  struct Case {
    int code;
    long double (*expected)(long double);
  } cases[] = {
      {kComboSum, [](long double x) { return std::sin(x) + x * x; }},
      {kComboDifference, [](long double x) { return std::sin(x) - x * x; }},
      {kComboProduct, [](long double x) { return std::sin(x) * x * x; }},
      {kComboQuotient, [](long double x) { return std::sin(x) / (x * x); }},
      {kComboPower, [](long double x) { return std::pow(std::sin(x), x * x); }},
      {kComboComposition, [](long double x) { return std::sin(x * x); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.code);
    const TEquation e = Combine(c.code, f, g);
    EXPECT_EQ(e.kind, kKindExplicit);
    EXPECT_EQ(e.derivation, c.code);
    EXPECT_EQ(e.source1, 0);
    EXPECT_EQ(e.source2, 1);
    for (long double x : {0.3L, 1.1L, 2.5L}) EXPECT_NEAR(D(At(engine, e, 1, x)), D(c.expected(x)), 1e-12) << D(x);
    // The derivative trees come with it: the slope by a difference quotient.
    const long double h = 1e-6L;
    const long double slope = (c.expected(1.1L + h) - c.expected(1.1L - h)) / (2 * h);
    EXPECT_NEAR(D(At(engine, e, 5, 1.1L)), D(slope), 1e-5);
  }
  // Composing with an undefined value is undefined there: a gap, no line.
  const TEquation root = Make(engine, kKindExplicit, {"", "sqrt(x)"});
  const TEquation e = Combine(kComboComposition, f, root);
  EXPECT_TRUE(std::isnan(At(engine, e, 1, -1)));
  EXPECT_NEAR(D(At(engine, e, 1, 4)), std::sin(2.0), 1e-12);
}

TEST(Combinations, TheIntervalIsWhereBothExist) {
  TFormulaEngine engine;
  struct Case {
    long double flo, fhi, glo, ghi;
    long double lo, hi;
    bool visible;
  } cases[] = {
      {-5, 5, 0, 10, 0, 5, true},
      {0, 1, 2, 3, 0, 1, false},  // empty: [0, 1], hidden
      {-2, 2, -1, 1, -1, 1, true},
  };
  for (const Case& c : cases) {
    TEquation f = Make(engine, kKindExplicit, {"", "sin(x)"}, c.flo, c.fhi);
    TEquation g = Make(engine, kKindExplicit, {"", "x"}, c.glo, c.ghi);
    f.bounded = g.bounded = 1;
    const TEquation e = Combine(kComboSum, f, g);
    EXPECT_EQ(D(e.lowerBound.x), D(c.lo));
    EXPECT_EQ(D(e.upperBound.x), D(c.hi));
    EXPECT_EQ(e.visible != 0, c.visible);
    EXPECT_EQ(e.bounded, 1);
  }
}

TEST(Combinations, MappingsComposeAtOnceAndFieldsSplitIntoParts) {
  TFormulaEngine engine;
  // (x, y) ==> (y, x) after itself is the identity: X and Y are replaced
  // at once, not one after the other.
  const TEquation swap = Make(engine, kKindPlaneMap, {"y", "x"});
  const TEquation id = Combine(kComboComposition, swap, swap);
  EXPECT_EQ(D(At(engine, id, 0, 2, 7)), 2.0);
  EXPECT_EQ(D(At(engine, id, 1, 2, 7)), 7.0);
  // A mapping of a parametric curve gives the image curve.
  const TEquation circle = Make(engine, kKindParametric, {"cos(t)", "sin(t)"}, 0, 6);
  const TEquation image = Combine(kComboComposition, swap, circle);
  EXPECT_EQ(image.kind, kKindParametric);
  EXPECT_EQ(D(image.upperBound.x), 6.0) << "the curve keeps its interval";
  engine.SetVariable('T', 0.5L);
  long double x, y;
  ASSERT_TRUE(EvaluateReal(engine, image.trees[0].get(), x));
  ASSERT_TRUE(EvaluateReal(engine, image.trees[1].get(), y));
  EXPECT_NEAR(D(x), std::sin(0.5), 1e-15);
  EXPECT_NEAR(D(y), std::cos(0.5), 1e-15);
  // z ==> zz takes the unit circle once round to the circle twice round,
  // (cos 2t, sin 2t), with its velocity (-2 sin 2t, 2 cos 2t).
  const TEquation square = Make(engine, kKindComplexMap, {"zz"});
  const TEquation twice = Combine(kComboComposition, square, circle);
  EXPECT_EQ(twice.kind, kKindParametric);
  EXPECT_EQ(D(twice.upperBound.x), 6.0);
  for (long double t : {0.5L, 2.0L}) {
    engine.SetVariable('T', t);
    const std::pair<std::size_t, long double> expected[] = {
        {0, std::cos(2 * t)}, {1, std::sin(2 * t)}, {4, -2 * std::sin(2 * t)}, {5, 2 * std::cos(2 * t)}};
    for (const auto& [k, v] : expected) {
      long double got;
      ASSERT_TRUE(EvaluateReal(engine, twice.trees[k].get(), got)) << k;
      EXPECT_NEAR(D(got), D(v), 1e-15) << k << " at " << D(t);
    }
  }
  // Two dy/dt fields: the parallel and perpendicular parts add up to f.
  const TEquation f = Make(engine, kKindOde, {"x+y", "x*y-1"});
  const TEquation g = Make(engine, kKindOde, {"1", "x"});
  const TEquation par = Combine(kComboParallel, f, g);
  const TEquation perp = Combine(kComboPerpendicular, f, g);
  for (auto [px, py] : {std::pair{0.5L, 2.0L}, std::pair{-1.5L, 0.25L}}) {
    for (std::size_t k = 0; k < 2; ++k)
      EXPECT_NEAR(D(At(engine, par, k, px, py) + At(engine, perp, k, px, py)), D(At(engine, f, k, px, py)), 1e-14);
    // The perpendicular part is normal to g.
    const long double dot = At(engine, perp, 0, px, py) * At(engine, g, 0, px, py) +
                            At(engine, perp, 1, px, py) * At(engine, g, 1, px, py);
    EXPECT_NEAR(D(dot), 0, 1e-14);
  }
  // A missing operand tree fails and leaves the entry as it was.
  TEquation broken = Make(engine, kKindExplicit, {"", "x"});
  broken.trees[1].reset();
  TEquation e;
  PrepareCombinedEquation(e, kComboSum, broken, 0, broken, 1);
  EXPECT_FALSE(RebuildCombinedTrees(e, broken, broken, 2));
}

TEST(Combinations, ButtonsApplyToTheirKinds) {
  struct Case {
    int button, f, g, dimension;
    bool enabled;
    int code;
  } cases[] = {
      {kComboButtonSum, 201, 201, 2, true, kComboSum},
      {kComboButtonSum, 201, 202, 2, false, kComboSum},
      {kComboButtonQuotient, 203, 203, 2, false, kComboQuotient},
      {kComboButtonQuotient, 212, 212, 2, false, kComboQuotient},
      {kComboButtonQuotient, 210, 210, 2, true, kComboParallel},
      {kComboButtonPower, 210, 210, 2, true, kComboPerpendicular},
      {kComboButtonPower, 301, 301, 3, false, kComboPower},
      {kComboButtonQuotient, 310, 310, 3, true, kComboParallel},
      {kComboButtonComposition, 201, 201, 2, true, kComboComposition},
      {kComboButtonComposition, 402, 203, 2, true, kComboComposition},
      {kComboButtonComposition, 203, 203, 2, false, kComboComposition},
      {kComboButtonComposition, 310, 310, 3, true, kComboCrossProduct},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CombinationButtonEnabled(c.button, c.f, c.g, c.dimension), c.enabled) << c.button << " " << c.f;
    EXPECT_EQ(CombinationCode(c.button, c.f), c.code) << c.button << " " << c.f;
  }
}

TEST(PointLists, PastedNumbersInTheAcceptedFormsOnly) {
  struct Case {
    const char* text;
    int code;
    std::vector<std::string> numbers;
    int line;
  } cases[] = {
      {"1 2 3 4", 0, {"1", "2", "3", "4"}, 0},
      {"x=1.5; y=-2", 0, {"1.5", "-2"}, 0},
      {"0.5\t-.25\r\n3.\t4\r\n", 0, {"0.5", "-.25", "3.", "4"}, 0},
      {"- . 7 8", 0, {"7", "8"}, 0},
      {"1 2\n3 4\n1.2.3 5\n", 1, {}, 3},
      {"1 2\n2024-01-05 3", 1, {}, 2},
      {"1.5E-05 2", 1, {}, 1},
      {"Messwerte", 24, {}, 0},
      {"", 24, {}, 0},
  };
  for (const Case& c : cases) {
    std::vector<std::string> numbers{"stale"};
    int line = -1;
    EXPECT_EQ(ScanPastedNumbers(c.text, numbers, line), c.code) << c.text;
    EXPECT_EQ(numbers, c.numbers) << c.text;
    EXPECT_EQ(line, c.line) << c.text;
  }
  // A number longer than a formula text is refused, not cut.
  std::vector<std::string> numbers;
  int line = 0;
  EXPECT_EQ(ScanPastedNumbers("1 2\n" + std::string(300, '7'), numbers, line), 1);
  EXPECT_EQ(line, 2);
}

TEST(PointLists, ASequenceFollowsItsCurve) {
  TFormulaEngine engine;
  TEquation curve = Make(engine, kKindParametric, {"t", "t*t"}, -2, 3);
  curve.bounded = 1;
  std::string list;
  for (int k = 0; k < 130; ++k) list += std::to_string(k % 10) + " ";
  TEquation s;
  PreparePointSequence(s, curve, 4, list, 3, 8);
  EXPECT_EQ(s.kind, kKindPointSequence);
  EXPECT_EQ(s.derivation, kDerivedPointSequence);
  EXPECT_EQ(s.source1, 4);
  EXPECT_EQ(s.subKind, kKindParametric);
  EXPECT_EQ(s.penWidth, 3);
  EXPECT_EQ(s.penColour, 8);
  EXPECT_EQ(s.auxValue3, 128) << "the first 128 numbers";
  EXPECT_EQ(s.auxValue4, 20) << "T";
  EXPECT_EQ(D(s.sampleLower()), -2.0);
  EXPECT_EQ(D(s.sampleUpper()), 3.0);
  engine.SetVariable('T', 2);
  EXPECT_EQ(D(At(engine, s, 1, 0)), 4.0);
  // The curve changes; the sequence is refreshed from it.
  curve.formulaText[1] = "t*t*t";
  CompileEquation(curve, engine, true);
  RefreshPointSequence(s, curve);
  engine.SetVariable('T', 2);
  EXPECT_EQ(D(At(engine, s, 1, 0)), 8.0);
  // A graph's sequence runs in X.
  const TEquation graph = Make(engine, kKindExplicit, {"", "x"});
  PreparePointSequence(s, graph, 0, "1 2", 2, 8);
  EXPECT_EQ(s.auxValue4, 24);
  EXPECT_EQ(s.auxValue3, 2);
}

}  // namespace
}  // namespace kv
