// Evaluation: real and complex mode, undefined values, jump detection, and
// the flat program against the tree walk.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "formula/compiler.h"
#include "formula/program.h"
#include "formula/tokens.h"
#include "formula/tree_builders.h"
#include "core/constants.h"
#include "formula_test_util.h"

namespace kvtest {
namespace {

using kv::TComplex;
using kv::TFormulaEngine;
using kv::TreePtr;

struct ModeRow {
  const char* text;
  bool realDefined;
  Cx real;           // value in real mode when defined
  bool complexDefined;
  Cx complex;        // value in complex mode when defined
};

TEST(Evaluation, RealAndComplexMode) {
  const long double s3 = std::sqrt(3.0L);
  const long double pi = 3.14159265358979323846264338327950288L;
  const ModeRow rows[] = {
      {"sqrt(-4)", false, 0, true, Cx(0, 2)},
      {"sqrt(4)", true, 2, true, 2},
      {"(-8)^3", true, -512, true, -512},
      {"root(3,-8)", true, -2, true, Cx(1, s3)},
      {"root(3,8)", true, 2, true, 2},
      {"root(2,-4)", false, 0, true, Cx(0, 2)},
      {"root(-3,-8)", true, -0.5L, true, 1.0L / Cx(1, s3)},
      {"root(0,5)", false, 0, false, 0},
      {"log(-1)", false, 0, true, Cx(0, pi)},
      {"log(0)", false, 0, false, 0},
      {"(-8)^(1/3)", false, 0, true, Cx(1, s3)},
      {"(-2)^0.5", false, 0, true, Cx(0, std::sqrt(2.0L))},
      {"(-2)^-2", true, 0.25L, true, 0.25L},
      {"0^0", true, 1, true, 1},
      {"0^-1", false, 0, false, 0},
      {"0^0.5", true, 0, true, 0},
      {"pow(3,-2)", true, -8, true, -8},
      {"pow(2.5,4)", false, 0, false, 0},
      {"arcsin(2)", false, 0, true, std::asin(Cx(2, 0))},
      {"arccos(0.5)", true, std::acos(0.5L), true, std::acos(0.5L)},
      {"1/0", false, 0, false, 0},
      {"1/(x-x)", false, 0, false, 0},
      {"tan(6*10^18)", false, 0, false, 0},  // beyond the angle guard
      {"sin(5*10^18)", true, std::sin(5e18L), true, std::sin(5e18L)},
      {"sin(6*10^18)", false, 0, false, 0},
      {"exp(20000)", false, 0, false, 0},  // beyond e^5000
      {"exp(4999)", true, std::exp(4999.0L), true, std::exp(4999.0L)},
      {"gamma(-2)", false, 0, false, 0},
      {"gamma(5)", true, 24, true, 24},
      {"gamma(-0.5)", true, -2 * std::sqrt(pi), true, -2 * std::sqrt(pi)},
      {"cis(pi/2)", true, Cx(std::cos(kv::Pi / 2), 1), true, Cx(std::cos(kv::Pi / 2), 1)},
      {"arg(-3)", true, pi, true, pi},
      {"arg(0*(-1))", true, 0, true, 0},  // -0 is no negative number
      {"abs(3+4i)", true, 5, true, 5},
      {"sgn(-3)", true, -1, true, -1},
      {"sgn(3i)", true, Cx(0, 1), true, Cx(0, 1)},
      {"re(2+3i)+im(2+3i)", true, 5, true, 5},
      {"conj(2+3i)", true, Cx(2, -3), true, Cx(2, -3)},
      {"int(-1.5)+frac(-1.5)", true, -1.5L, true, -1.5L},
      // int rounds down, also below zero, and frac is what lies above it.
      {"int(-1.5)", true, -2, true, -2},
      {"frac(-1.25)", true, 0.75L, true, 0.75L},
      {"int(-3)", true, -3, true, -3},
      {"frac(-3)", true, 0, true, 0},
      {"int(-0.25)", true, -1, true, -1},
      {"sqrt(2i)", true, Cx(1, 1), true, Cx(1, 1)},  // non-real arguments are complex in both modes
      {"csc(0)", false, 0, false, 0},
      {"cot(0)", false, 0, false, 0},
  };
  for (const ModeRow& row : rows) {
    SCOPED_TRACE(row.text);
    for (const bool complexMode : {false, true}) {
      TFormulaEngine e;
      e.SetComplexMode(complexMode);
      TComplex v;
      const bool defined = ValueOf(e, row.text, v);
      const bool want = complexMode ? row.complexDefined : row.realDefined;
      ASSERT_EQ(defined, want) << (complexMode ? "complex" : "real") << " mode";
      if (defined) {
        EXPECT_TRUE(Near(v, complexMode ? row.complex : row.real, 1e-17L))
            << static_cast<double>(v.re) << " + " << static_cast<double>(v.im) << "i";
      }
    }
  }
}

TEST(Evaluation, ZFollowsXPlusIYInComplexMode) {
  TFormulaEngine e;
  e.SetComplexMode(true);
  e.SetVariable('x', 2);
  e.SetVariable('y', 3);
  TComplex v;
  ASSERT_TRUE(ValueOf(e, "z", v));
  EXPECT_EQ(v, TComplex(2, 3));
  ASSERT_TRUE(ValueOf(e, "zz", v));
  EXPECT_EQ(v, TComplex(-5, 12));
  e.AddToVariable('x', 1);
  ASSERT_TRUE(ValueOf(e, "z", v));
  EXPECT_EQ(v, TComplex(3, 3));
  // In real mode Z is a variable of its own.
  TFormulaEngine r;
  r.SetVariable('z', 7);
  r.SetVariable('x', 2);
  ASSERT_TRUE(ValueOf(r, "z", v));
  EXPECT_EQ(v, TComplex(7, 0));
}

// Complex values where naive formulas lose their digits or overflow; the
// references were computed with 40-digit arithmetic.
TEST(Evaluation, ComplexFunctionsKeepTheirDigitsNearPolesAndFarOut) {
  const struct {
    const char* text;
    long double x, y;
    Cx expected;
    long double relative;
  } rows[] = {
      // Gamma beside its poles: the reflection must reduce z first.
      {"gamma(z)", -1, 1e-30L, Cx(-0.42278433509846713939L, 1e30L), 1e-15L},
      {"gamma(z)", -3, 1e-10L, Cx(-0.20935294473863341212L, 1666666666.6666666059L), 1e-15L},
      {"gamma(z)", -2.5L, 1e-20L, Cx(-0.94530872048294188123L, -1.0428235924606152975e-20L), 1e-15L},
      {"gamma(z)", -100.5L, 0.5L, Cx(8.9914988565028857517e-160L, -9.9114787750708482939e-160L), 1e-13L},
      {"gamma(z)", -7.6L, 3, Cx(4.8847566856239465275e-8L, -1.2688728908500913330e-8L), 1e-14L},
      // Far from the real axis the values are tiny but representable.
      {"gamma(z)", -0.3L, 5000, Cx(8.2806495212121575014e-3415L, -3.0446193473104483080e-3414L), 1e-11L},
      {"gamma(z)", 0.3L, 200, Cx(3.9171453345377822518e-138L, -3.1470981481656130091e-137L), 1e-13L},
      {"cot(z)", 0, 12000, Cx(0, -1), 1e-18L},
      {"cot(z)", 0, -12000, Cx(0, 1), 1e-18L},
      {"cot(z)", 0.5L, -30, Cx(1.4736699469934371837e-26L, 1.0000000000000000000L), 1e-17L},
      {"sec(z)", 1, 5000, Cx(3.6413070368033706215e-2172L, 5.6709997069578217755e-2172L), 1e-11L},
      {"sec(z)", 1, -40, Cx(4.5907912005575380878e-18L, -7.1497336780260623214e-18L), 1e-15L},
      {"csc(z)", 1, 5000, Cx(5.6709997069578217755e-2172L, -3.6413070368033706215e-2172L), 1e-11L},
      {"csc(z)", -2, -40, Cx(-7.7260351851611541941e-18L, -3.5358783677423714117e-18L), 1e-15L},
      {"erf(z)", 3e9L, 1e9L, Cx(1, 0), 1e-18L},
      {"erf(z)", 3, -2.5L, Cx(1.0091520048346020269L, -0.00040502149174415504418L), 1e-15L},
      // Branch cuts: the side of +0 imaginary part; odd functions stay odd.
      {"arcsin(z)", 2, 0, Cx(1.5707963267948966192L, 1.3169578969248167086L), 1e-18L},
      {"arcsin(z)", -2, 0, Cx(-1.5707963267948966192L, 1.3169578969248167086L), 1e-18L},
      {"arccos(z)", -2, 0, Cx(3.1415926535897932385L, -1.3169578969248167086L), 1e-18L},
      {"arctan(z)", 0, 2, Cx(1.5707963267948966192L, 0.54930614433405484570L), 1e-18L},
      {"arctan(z)", 0, -2, Cx(-1.5707963267948966192L, -0.54930614433405484570L), 1e-18L},
  };
  auto close = [](long double got, long double want, long double scale, long double rel) {
    return std::fabs(got - want) <= rel * scale;
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(std::string(row.text) + " at " + std::to_string(static_cast<double>(row.x)) + " + " +
                 std::to_string(static_cast<double>(row.y)) + "i");
    TFormulaEngine e;
    e.SetComplexMode(true);
    e.SetVariable('x', row.x);
    e.SetVariable('y', row.y);
    TComplex v;
    if (!ValueOf(e, row.text, v)) {
      ADD_FAILURE() << "undefined";
      continue;
    }
    const long double scale = std::hypot(row.expected.real(), row.expected.imag());
    EXPECT_TRUE(close(v.re, row.expected.real(), scale, row.relative) &&
                close(v.im, row.expected.imag(), scale, row.relative))
        << static_cast<double>(v.re) << " + " << static_cast<double>(v.im) << "i";
  }
  // True values below the smallest long double come out as 0, not undefined.
  for (const char* text : {"gamma(z)", "sec(z)", "csc(z)"}) {
    SCOPED_TRACE(text);
    TFormulaEngine e;
    e.SetComplexMode(true);
    e.SetVariable('x', 0.25L);
    e.SetVariable('y', 16000);
    TComplex v;
    EXPECT_TRUE(ValueOf(e, text, v));
    EXPECT_EQ(v, TComplex());
  }
  // Odd functions stay odd off their cuts.
  std::mt19937 rng(5);
  std::uniform_real_distribution<double> d(-3, 3);
  for (int k = 0; k < 200; ++k) {
    const long double x = d(rng), y = d(rng);
    for (const char* f : {"sin", "tan", "arcsin", "arctan", "sinh", "tanh", "erf"}) {
      SCOPED_TRACE(f);
      TFormulaEngine e;
      e.SetComplexMode(true);
      e.SetVariable('x', x);
      e.SetVariable('y', y);
      TComplex plus, minus;
      EXPECT_TRUE(ValueOf(e, std::string(f) + "(z)", plus));
      EXPECT_TRUE(ValueOf(e, std::string(f) + "(-z)", minus));
      EXPECT_TRUE(Near(minus, Cx(-plus.re, -plus.im), 1e-17L));
    }
  }
}

TEST(Evaluation, UndefinedLeavesZeroAndRaisesTheErrorFlag) {
  TFormulaEngine e;
  TreePtr tree;
  ASSERT_EQ(e.Compile("log(x)", tree), kv::kFormulaOk);
  e.SetVariable('x', -1);
  e.ClearEvaluationError();
  EXPECT_FALSE(e.Evaluate(tree.get()));
  EXPECT_EQ(tree->value, TComplex());
  EXPECT_TRUE(e.EvaluationError());
  e.ClearEvaluationError();
  e.SetVariable('x', std::exp(1.0L));
  EXPECT_TRUE(e.Evaluate(tree.get()));
  EXPECT_FALSE(e.EvaluationError());
  long double re = 0;
  EXPECT_TRUE(e.EvaluateAt(tree.get(), 'x', 1, re));
  EXPECT_EQ(re, 0);
  EXPECT_FALSE(e.EvaluateAt(tree.get(), 'x', 0, re));
}

TEST(Evaluation, ComplexParametersWorkInRealMode) {
  TFormulaEngine e;
  e.SetComplexVariable('a', TComplex(1, 1));
  TComplex v;
  ASSERT_TRUE(ValueOf(e, "a*a", v));
  EXPECT_EQ(v, TComplex(0, 2));
  ASSERT_TRUE(ValueOf(e, "re(a)*2", v));
  EXPECT_EQ(v, TComplex(2, 0));
}

// Counts the raised error flags while x runs over [from, to].
int CountJumps(TFormulaEngine& e, kv::TExprNode* tree, long double from, long double to, long double step) {
  int jumps = 0;
  for (long double x = from; x <= to; x += step) {
    e.ClearEvaluationError();
    e.SetVariable('x', x);
    if (e.Evaluate(tree) && e.EvaluationError()) ++jumps;
  }
  return jumps;
}

TEST(Evaluation, JumpDetectionMarksPolesAndSteps) {
  struct Row {
    const char* text;
    long double from, to;
    int jumps;
  };
  const Row rows[] = {
      {"tan(x)", -10, 10, 6}, {"sec(x)", -10, 10, 6}, {"cot(x)", -10.005L, 10, 7},
      {"csc(x)", 0.5, 10, 3}, {"int(x)", 0.05, 3.05, 3}, {"frac(2x)", 0.05, 3.05, 6},
      {"sin(x)", -10, 10, 0}, {"tan(x/10)", -10, 10, 0}, {"2tan(x)+1", 1.5, 1.7, 1},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.text);
    TFormulaEngine e;
    TreePtr tree;
    ASSERT_EQ(e.Compile(row.text, tree), kv::kFormulaOk);
    EXPECT_EQ(CountJumps(e, tree.get(), row.from, row.to, 0.01L), row.jumps);
    e.SetJumpDetection(false);
    EXPECT_EQ(CountJumps(e, tree.get(), row.from, row.to, 0.01L), 0);
  }
}

TEST(Evaluation, TheFlagIsRaisedAtThePoleOfTan) {
  TFormulaEngine e;
  TreePtr tree;
  ASSERT_EQ(e.Compile("tan(x)", tree), kv::kFormulaOk);
  const long double halfPi = 1.5707963267948966192L;
  std::vector<long double> flagged;
  for (int i = -10; i <= 10; ++i) {
    const long double x = halfPi + i * 0.01L + 0.005L;
    e.ClearEvaluationError();
    e.SetVariable('x', x);
    ASSERT_TRUE(e.Evaluate(tree.get()));  // the value itself is defined
    if (e.EvaluationError()) flagged.push_back(x);
  }
  ASSERT_EQ(flagged.size(), 1u);
  EXPECT_NEAR(static_cast<double>(flagged[0]), static_cast<double>(halfPi + 0.005L), 1e-12);
  // Switching detection off and on again starts afresh: no jump is seen
  // between the last point before and the first point after.
  e.SetJumpDetection(false);
  e.SetVariable('x', 1);
  e.Evaluate(tree.get());
  e.SetJumpDetection(true);
  e.ClearEvaluationError();
  e.SetVariable('x', 2);
  e.Evaluate(tree.get());
  EXPECT_FALSE(e.EvaluationError());
}

TEST(Evaluation, ProgramsFollowEditsOfTheirTrees) {
  TFormulaEngine e;
  TreePtr tree;
  ASSERT_EQ(e.Compile("2x+3", tree), kv::kFormulaOk);
  e.SetVariable('x', 1);
  ASSERT_TRUE(e.Evaluate(tree.get()));
  EXPECT_EQ(tree->value, TComplex(5, 0));
  // A number leaf rewritten in place, as the level window does: the program
  // keeps its old value until the edit is announced.
  tree->child[1]->value = TComplex(10, 0);
  ASSERT_TRUE(e.Evaluate(tree.get()));
  EXPECT_EQ(tree->value, TComplex(5, 0));
  kv::NoteTreeEdits();
  ASSERT_TRUE(e.Evaluate(tree.get()));
  EXPECT_EQ(tree->value, TComplex(12, 0));
  // A leaf re-initialised as another letter.
  kv::InitNode(tree->child[0]->child[1], kv::tok::Y, 0);
  e.SetVariable('y', 4);
  ASSERT_TRUE(e.Evaluate(tree.get()));
  EXPECT_EQ(tree->value, TComplex(18, 0));
  // Library substitutions drop the program.
  kv::SubstituteNumber(tree.get(), 'y', TComplex(0.5, 0));
  ASSERT_TRUE(e.Evaluate(tree.get()));
  EXPECT_EQ(tree->value, TComplex(11, 0));
  kv::TreePtr single(kv::NewNumberNode(TComplex(1, 0)));
  ASSERT_TRUE(e.Evaluate(single.get()));
  single->value = TComplex(7, 0);
  kv::NoteTreeEdits();
  ASSERT_TRUE(e.Evaluate(single.get()));
  EXPECT_EQ(single->value, TComplex(7, 0));
}

TEST(Evaluation, SharedTablesAndBackup) {
  TFormulaEngine parent, child;
  child.UseTables(&parent.Tables());
  parent.SetVariable('a', 3);
  EXPECT_EQ(child.Variable('a'), TComplex(3, 0));
  EXPECT_EQ(child.Variable('e').re, std::exp(1.0L));
  parent.SaveVariables();
  parent.SetVariable('a', 4);
  parent.SetVariable(30, 9);  // an extra variable is not part of the backup
  parent.RestoreVariables();
  EXPECT_EQ(parent.Variable('a'), TComplex(3, 0));
  EXPECT_EQ(parent.Variable(30), TComplex(9, 0));
  child.UseTables(nullptr);
  EXPECT_EQ(child.Variable('a'), TComplex());
  // Extra variables are reachable through their tokens only.
  kv::TreePtr extra(kv::NewNode(kv::tok::FirstExtra + 2));
  ASSERT_TRUE(parent.Evaluate(extra.get()));
  EXPECT_EQ(extra->value, TComplex(0, 0));
  parent.SetVariable(29, 2.5);
  ASSERT_TRUE(parent.Evaluate(extra.get()));
  EXPECT_EQ(extra->value, TComplex(2.5, 0));
  // Unknown letters are ignored.
  parent.SetVariable(40, 1);
  parent.SetVariable(-1, 1);
  EXPECT_EQ(parent.Variable(40), TComplex());
}

// ---- the flat program against the tree walk ----

TEST(Evaluation, FlatProgramAgreesWithTheTreeWalk) {
  RandomFormula make(20240611);
  std::mt19937 rng(7);
  std::uniform_real_distribution<long double> value(-3, 3);
  int compared = 0, defined = 0, realRuns = 0;
  for (int i = 0; i < 3000; ++i) {
    const std::string text = make.Make(4);
    TFormulaEngine e;
    TreePtr program, walk;
    ASSERT_EQ(e.Compile(text, program), kv::kFormulaOk) << text;
    ASSERT_EQ(e.Compile(text, walk), kv::kFormulaOk);
    e.SetJumpDetection(false);
    for (int k = 0; k < 4; ++k) {
      e.SetComplexMode(k >= 2);
      for (const char c : {'x', 'y', 'z', 'a', 't'}) e.SetVariable(c, value(rng));
      if (k == 3) e.SetComplexVariable('a', TComplex(value(rng), value(rng)));
      const bool p = e.Evaluate(program.get());
      const bool w = e.EvaluateByTreeWalk(walk.get());
      ASSERT_EQ(p, w) << text;
      if (p) {
        // Identical, not merely close: both run the same kernels.
        ASSERT_TRUE(program->value.re == walk->value.re && program->value.im == walk->value.im)
            << text << ": " << static_cast<double>(program->value.re) << " vs "
            << static_cast<double>(walk->value.re);
        ++defined;
        if (program->program && program->program->RunsReal() && k < 2) ++realRuns;
      }
      ++compared;
    }
  }
  EXPECT_EQ(compared, 12000);
  EXPECT_GT(defined, 3000);
  EXPECT_GT(realRuns, 1000);
}

TEST(Evaluation, ConstantsAreFoldedOnlyWhereBothModesAgree) {
  TFormulaEngine e;
  TreePtr tree;
  ASSERT_EQ(e.Compile("x*(2pi/3+sqrt(4))", tree), kv::kFormulaOk);
  ASSERT_TRUE(e.Evaluate(tree.get()));
  EXPECT_EQ(tree->program->InstructionCount(), 1u);  // one multiplication left
  ASSERT_EQ(e.Compile("x+sqrt(-4)", tree), kv::kFormulaOk);
  EXPECT_FALSE(e.Evaluate(tree.get()));
  e.SetComplexMode(true);
  ASSERT_TRUE(e.Evaluate(tree.get()));  // the same program, now in complex mode
  EXPECT_EQ(tree->value, TComplex(0, 2));
}

}  // namespace
}  // namespace kvtest

// ---- block evaluation against the point-by-point loop ----

namespace kvtest {
namespace {

// Points that reach every way of being undefined: zero, ±1 (log, division
// by x-1), the poles of tan, numbers beyond the magnitude bound and beyond
// the angle guard, then an ordered sweep across poles for jump detection.
std::vector<long double> TestPoints(std::mt19937& rng, int n) {
  static const long double kSpecial[] = {0, 1, -1, 2, -0.5L, 1.5707963267948966L, 3.14159265358979L,
                                         1e2000L, -1e2000L, 1e4000L, 6e18L, 0.1L};
  std::uniform_real_distribution<long double> value(-3, 3);
  std::vector<long double> v;
  for (int i = 0; i < n; ++i) {
    const int kind = i % 5;
    if (kind == 0) v.push_back(kSpecial[static_cast<std::size_t>(i / 5) % std::size(kSpecial)]);
    else if (kind == 1) v.push_back(-4 + 8.0L * i / n);  // sweep
    else v.push_back(value(rng));
  }
  return v;
}

TEST(BlockEvaluation, AgreesWithPointByPointOnRandomFormulas) {
  RandomFormula make(99);
  std::mt19937 rng(3);
  std::uniform_real_distribution<long double> value(-3, 3);
  static const int kSizes[] = {1, 5, 40, 300};  // 300 spans two passes
  int blocks = 0;
  for (int i = 0; i < 1500; ++i) {
    const std::string text = make.Make(4);
    TFormulaEngine e;
    TreePtr tree;
    ASSERT_EQ(e.Compile(text, tree), kv::kFormulaOk) << text;
    for (int k = 0; k < 6; ++k) {
      e.SetComplexMode(k >= 4);
      e.SetJumpDetection(k % 2 == 0);
      for (const char c : {'x', 'y', 'z', 'a', 't'}) e.SetVariable(c, value(rng));
      if (k == 3) e.SetComplexVariable('a', TComplex(value(rng), value(rng)));  // complex in real mode
      const int n = kSizes[static_cast<std::size_t>(i + k) % std::size(kSizes)];
      const std::vector<long double> xs = TestPoints(rng, n);
      std::vector<long double> ys = TestPoints(rng, n);
      std::shuffle(ys.begin(), ys.end(), rng);
      const bool two = k % 3 == 1;
      const std::string diff =
          two ? BlockDiffersFromLoop(e, tree.get(), 'x', xs, 'y', ys)
              : BlockDiffersFromLoop(e, tree.get(), k == 2 ? 't' : 'x', xs);
      ASSERT_EQ(diff, "") << text << " (mode " << k << ", " << n << " points)";
      ++blocks;
    }
  }
  EXPECT_EQ(blocks, 9000);
}

TEST(BlockEvaluation, UndefinedPointsAndJumpsAsAtOnePoint) {
  // Each formula once with jump detection, once in complex mode.
  static const char* kTexts[] = {"1/(x-1)", "log(x)", "ln(x-2)", "sqrt(x)", "x/0", "tan(x)",
                                 "cot(x)+sec(x)", "int(x)+frac(2x)", "root(2,x)", "x^(1/3)", "pow(x,2)",
                                 "arcsin(x)", "gamma(x)", "exp(x)^2", "(x-1)(x-2)(x+1)", "y/(xx+yy)",
                                 "x", "3", "a", "sin(a)+x", "tan(a)", "1/(a-a)"};
  std::mt19937 rng(5);
  for (const char* text : kTexts) {
    for (int mode = 0; mode < 2; ++mode) {
      TFormulaEngine e;
      e.SetComplexMode(mode == 1);
      e.SetVariable('y', 0.5L);
      e.SetVariable('a', 1.5707963267948966L);
      TreePtr tree;
      ASSERT_EQ(e.Compile(text, tree), kv::kFormulaOk) << text;
      const std::vector<long double> xs = TestPoints(rng, 600);
      EXPECT_EQ(BlockDiffersFromLoop(e, tree.get(), 'x', xs), "") << text << " mode " << mode;
      // The branch memory carries over from one block to the next.
      const std::vector<long double> more = TestPoints(rng, 37);
      EXPECT_EQ(BlockDiffersFromLoop(e, tree.get(), 'x', more), "") << text << " mode " << mode;
    }
  }
}

TEST(BlockEvaluation, AnOperationOnParametersJumpsAtTheFirstLivePoint) {
  // tan(a) is computed once per block; when `a` crossed a pole between two
  // blocks, the jump belongs to the first point that reaches it.
  TFormulaEngine e;
  TreePtr tree;
  ASSERT_EQ(e.Compile("sqrt(x)+tan(a)", tree), kv::kFormulaOk);
  const std::vector<long double> xs = {-1, -2, 4, 9, -3, 1};
  e.SetVariable('a', 1.5L);
  EXPECT_EQ(BlockDiffersFromLoop(e, tree.get(), 'x', xs), "");
  TreePtr loop(kv::CloneTree(tree.get()));
  std::vector<long double> re(6);
  std::vector<std::uint8_t> status(6);
  e.EvaluateBlock(tree.get(), 'x', xs.data(), 6, re.data(), nullptr, status.data());
  e.EvaluateBlock(loop.get(), 'x', xs.data(), 6, re.data(), nullptr, status.data());
  e.SetVariable('a', 1.6L);
  e.EvaluateBlock(tree.get(), 'x', xs.data(), 6, re.data(), nullptr, status.data());
  EXPECT_EQ(status, (std::vector<std::uint8_t>{0, 0, kv::kPointJump, 1, 0, 1}));
  for (std::size_t i = 0; i < xs.size(); ++i) {
    e.SetVariable('x', xs[i]);
    e.ClearEvaluationError();
    const bool ok = e.Evaluate(loop.get());
    EXPECT_EQ(ok ? e.EvaluationError() ? 2 : 1 : 0, status[i]) << i;
  }
}

TEST(BlockEvaluation, UnusualRequestsAndFusedChains) {
  TFormulaEngine e;
  TreePtr tree;
  // Small values, and values near the magnitude bound e^5000 (about
  // 1.19e2171) and its square root, where checks of the parts decide.
  const std::vector<long double> xs = {-2, -1, 0, 0.5, 1, 2, 3, 1.18e2171L, 1.2e2171L, -1.19e2171L, 1.0e1086L,
                                       1.1e1085L, -3e1085L, 1e4000L, 0x1p7213L};
  // Fused chains give the values of their unfused operations.
  for (const char* text : {"(x-1)(x-2)(x+1)", "x^2+y^2", "xx+yy", "xxx", "x^3", "pow(3,x)", "1+xxxx",
                           "rrrcos(3t)/(1+rrrr)", "a*sin(bx)+c", "(x+1)*(2-x)", "2x*y+x", "y+xx",
                           "(x-1e2171)(x+1)", "(x+0.5e2171)(x-0.6e2171)", "(x+2^7213)(x-2^7213)", "(x-y)(x+y)",
                           "(1-x)(x-1)"}) {
    ASSERT_EQ(e.Compile(text, tree), kv::kFormulaOk) << text;
    for (const char c : {'y', 'r', 't', 'a', 'b', 'c'}) e.SetVariable(c, 0.75L);
    EXPECT_EQ(BlockDiffersFromLoop(e, tree.get(), 'x', xs), "") << text;
    EXPECT_EQ(BlockDiffersFromLoop(e, tree.get(), 'x', xs, 'y', xs), "") << text;
    EXPECT_EQ(BlockDiffersFromLoop(e, tree.get(), 't', xs), "") << text;
    TreePtr walk(kv::CloneTree(tree.get()));
    for (const long double x : xs) {
      e.SetVariable('x', x);
      const bool p = e.Evaluate(tree.get());
      ASSERT_EQ(p, e.EvaluateByTreeWalk(walk.get())) << text;
      if (p) {
        EXPECT_TRUE(tree->value == walk->value) << text << " at " << static_cast<double>(x);
      }
    }
  }
  ASSERT_EQ(e.Compile("x+y+z", tree), kv::kFormulaOk);
  // A repeated letter, an unknown letter, Z beside X in complex mode: the loop.
  EXPECT_EQ(BlockDiffersFromLoop(e, tree.get(), 'x', xs, 'x', xs), "");
  EXPECT_EQ(BlockDiffersFromLoop(e, tree.get(), 99, xs), "");
  e.SetComplexMode(true);
  EXPECT_EQ(BlockDiffersFromLoop(e, tree.get(), 'x', xs, 'z', xs), "");
  EXPECT_EQ(BlockDiffersFromLoop(e, tree.get(), 'x', xs, 'y', xs), "");  // Z follows
  EXPECT_EQ(BlockDiffersFromLoop(e, tree.get(), 'y', xs), "");
  // No tree: every point undefined.
  std::vector<long double> re(3);
  std::vector<std::uint8_t> status(3, 1);
  e.ClearEvaluationError();
  EXPECT_EQ(e.EvaluateBlock(nullptr, 'x', xs.data(), 3, re.data(), nullptr, status.data()), 3);
  EXPECT_EQ(status, std::vector<std::uint8_t>(3, kv::kPointUndefined));
  EXPECT_TRUE(e.EvaluationError());
  EXPECT_EQ(e.EvaluateBlock(tree.get(), 'x', xs.data(), 0, re.data(), nullptr, status.data()), 0);
}

// A chain of three trees evaluated as a block against the loop on copies
// of them (programs and branch memories of their own): "" or the first
// point whose status or values (bit for bit) differ.
std::string ChainDiffersFromLoop(TFormulaEngine& e, kv::TExprNode* const* chain, const TreePtr* loop,
                                 const std::vector<long double>& ts) {
  std::vector<long double> a(ts.size(), -9), b(ts.size(), -9), c(ts.size(), -9);
  std::vector<std::uint8_t> status(ts.size());
  long double* out[3] = {a.data(), b.data(), c.data()};
  e.EvaluateBlockChain(chain, 3, 't', ts.data(), static_cast<int>(ts.size()), out, status.data());
  auto same = [](long double u, long double v) { return std::memcmp(&u, &v, 10) == 0; };
  for (std::size_t k = 0; k < ts.size(); ++k) {
    e.SetVariable('t', ts[k]);
    e.ClearEvaluationError();
    const bool ok = e.Evaluate(loop[0].get()) && e.Evaluate(loop[1].get()) && e.Evaluate(loop[2].get());
    const int want = !ok ? kv::kPointUndefined : e.EvaluationError() ? kv::kPointJump : kv::kPointDefined;
    if (status[k] != want ||
        (ok && !(same(a[k], loop[0]->value.re) && same(b[k], loop[1]->value.re) && same(c[k], loop[2]->value.re))))
      return "at t = " + std::to_string(static_cast<double>(ts[k]));
  }
  return "";
}

// Chains of trees (x(t), y(t) and a restriction, as a curve evaluates them):
// a tree is skipped where an earlier one is undefined, so that its branch
// memory sees the points the loop shows it.
TEST(BlockEvaluation, ChainsSkipPointsAnEarlierTreeLeavesUndefined) {
  RandomFormula make(17);
  std::mt19937 rng(19);
  for (int i = 0; i < 400; ++i) {
    TFormulaEngine e;
    e.SetComplexMode(i % 5 == 4);
    std::vector<TreePtr> trees(3);
    std::string texts;
    for (TreePtr& t : trees) {
      const std::string text = make.Make(3);
      texts += text + " ; ";
      ASSERT_EQ(e.Compile(text, t), kv::kFormulaOk) << text;
    }
    TreePtr loop[3] = {TreePtr(kv::CloneTree(trees[0].get())), TreePtr(kv::CloneTree(trees[1].get())),
                       TreePtr(kv::CloneTree(trees[2].get()))};
    const std::vector<long double> ts = TestPoints(rng, 120);
    kv::TExprNode* chain[3] = {trees[0].get(), trees[1].get(), trees[2].get()};
    ASSERT_EQ(ChainDiffersFromLoop(e, chain, loop, ts), "") << texts;
    EXPECT_EQ(e.Variable('t'), TComplex(ts.back(), 0));
  }
}

// A polar curve's chain x = r·cos t, y = r·sin t and r (its restriction)
// takes sines and cosines of equal arguments, which the later trees do not
// compute again: the values, undefined points and jumps stay those of the
// loop, also where a point held t before and now holds -t or 2t, whose bits
// differ in the sign or the exponent only.
TEST(BlockEvaluation, PolarChainsAsAtOnePoint) {
  static const char* kRadii[] = {"3cos(4t)", "tan(t)", "sqrt(sin(t))", "1/(t-1)", "int(t)+cos(t)", "frac(2t)",
                                 "sin(t*(-1))", "cos(2t)+sin(3t)-cos(5t)+sin(t/2)+tan(7t)"};
  RandomFormula make(23);
  std::mt19937 rng(29);
  for (int i = 0; i < 200; ++i) {
    const std::string text = i < static_cast<int>(std::size(kRadii)) ? kRadii[i] : make.Make(3);
    TFormulaEngine e;
    e.SetComplexMode(i % 7 == 6);
    e.SetJumpDetection(i % 5 != 4);
    TreePtr r;
    ASSERT_EQ(e.Compile(text, r), kv::kFormulaOk) << text;
    const TreePtr t(kv::NewLetterNode('T'));
    kv::TExprNode* x = nullptr;
    kv::TExprNode* y = nullptr;
    kv::BuildPolarToCartesian(r.get(), t.get(), x, y);
    const TreePtr trees[3] = {TreePtr(x), TreePtr(y), TreePtr(kv::CloneTree(r.get()))};
    const TreePtr loop[3] = {TreePtr(kv::CloneTree(x)), TreePtr(kv::CloneTree(y)), TreePtr(kv::CloneTree(r.get()))};
    kv::TExprNode* chain[3] = {trees[0].get(), trees[1].get(), trees[2].get()};
    const std::vector<long double> base = TestPoints(rng, 300);
    for (const long double scale : {1.0L, -1.0L, 2.0L}) {
      std::vector<long double> ts = base;
      for (long double& v : ts) v *= scale;
      ASSERT_EQ(ChainDiffersFromLoop(e, chain, loop, ts), "") << text;
    }
  }
}

TEST(BlockEvaluation, OnlyRealVariablesRunReal) {
  // The value table knows which entries are not real, whoever wrote them.
  kv::TParameterTables t;
  EXPECT_EQ(t.value.NonRealMask(), 0u);
  t.value[3] = TComplex(1, 2);
  t.value[5] = TComplex(1, -0.0L);  // -0 takes the complex path, which agrees
  EXPECT_EQ(t.value.NonRealMask(), (std::uint64_t{1} << 3) | (std::uint64_t{1} << 5));
  t.value[5] = TComplex(1, 0);
  kv::TParameterTables u;
  u.value[4] = t.value[3];
  EXPECT_EQ(u.value.NonRealMask(), std::uint64_t{1} << 4);
  t.value[3] = TComplex(7, 0);
  EXPECT_EQ(t.value.NonRealMask(), 0u);
  EXPECT_EQ(t.value[3].re, 7);
  TFormulaEngine e;
  e.SetComplexVariable('a', TComplex(0, 1));
  TreePtr tree;
  ASSERT_EQ(e.Compile("x*a", tree), kv::kFormulaOk);
  e.SetVariable('x', 2);
  ASSERT_TRUE(e.Evaluate(tree.get()));
  EXPECT_EQ(tree->value, TComplex(0, 2));
  e.SetVariable('a', 3);
  ASSERT_TRUE(e.Evaluate(tree.get()));
  EXPECT_EQ(tree->value, TComplex(6, 0));
  e.SaveVariables();
  e.SetComplexVariable('a', TComplex(0, 1));
  e.RestoreVariables();
  EXPECT_EQ(e.Tables().value.NonRealMask(), 0u);
}

}  // namespace
}  // namespace kvtest
