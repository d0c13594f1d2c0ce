// Evaluation: real and complex mode, undefined values, jump detection, and
// the flat program against the tree walk.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "formula/compiler.h"
#include "formula/program.h"
#include "formula/tokens.h"
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
  // A number leaf rewritten in place, as the level window does.
  tree->child[1]->value = TComplex(10, 0);
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
