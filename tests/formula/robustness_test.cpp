// No text crashes or hangs the compiler or the evaluator, and trees written
// back as text compile to the same values.
#include <gtest/gtest.h>

#include <chrono>
#include <random>
#include <set>
#include <string>

#include "formula/calculus.h"
#include "formula/formula_text.h"
#include "formula_test_util.h"

namespace kvtest {
namespace {

using kv::TComplex;
using kv::TFormulaEngine;
using kv::TreePtr;

const std::set<int> kCompilerCodes = {kv::kFormulaOk, kv::kFormulaNotUnderstood, kv::kFormulaTooBig,
                                      kv::kFormulaArgumentCount, kv::kFormulaParentheses};

// Compiles, evaluates in both modes by program and by tree walk, derives and
// writes back; everything must stay within the known codes.
void Exercise(TFormulaEngine& e, const std::string& text) {
  TreePtr tree;
  const int code = e.Compile(text, tree);
  ASSERT_TRUE(kCompilerCodes.count(code)) << code << " for " << text;
  if (code != kv::kFormulaOk) {
    ASSERT_EQ(tree, nullptr);
    return;
  }
  for (const bool complexMode : {false, true}) {
    e.SetComplexMode(complexMode);
    const bool p = e.Evaluate(tree.get());
    const bool w = e.EvaluateByTreeWalk(tree.get());
    ASSERT_EQ(p, w) << text;
  }
  TreePtr d;
  if (kv::Differentiate(tree.get(), 'x', d)) e.Evaluate(d.get());
  std::string back;
  if (kv::TreeToText(tree.get(), back)) {
    TreePtr again;
    ASSERT_EQ(e.Compile(back, again), kv::kFormulaOk) << text << " -> " << back;
  }
}

TEST(Robustness, RandomBytes) {
  std::mt19937 rng(424242);
  std::uniform_int_distribution<int> length(0, 40);
  std::uniform_int_distribution<int> byte(0, 255);
  TFormulaEngine e;
  SetAll(e, {{'x', 0.5}, {'y', -2}});
  for (int i = 0; i < 20000; ++i) {
    std::string text(static_cast<std::size_t>(length(rng)), ' ');
    for (char& c : text) c = static_cast<char>(byte(rng));
    Exercise(e, text);
  }
}

TEST(Robustness, RandomTokenSoup) {
  static const char* kPieces[] = {"x", "y", "z", "2", "0", "0.5", ".", "i", "pi", "(", ")", "(", ")",
                                  ",", "+", "-", "*", "/", "^", "sin", "tan", "log", "sqrt", "root",
                                  "pow", "cis", "gamma", "erf", "int", "arg", "e", "@", " ", "1e3",
                                  "psi", "sgn", "abs", "10", "^-", "--", "((", "))"};
  std::mt19937 rng(5150);
  std::uniform_int_distribution<int> count(1, 25);
  std::uniform_int_distribution<std::size_t> piece(0, std::size(kPieces) - 1);
  TFormulaEngine e;
  ASSERT_EQ(e.DefineUserFunction("ff", 2, "x*y+1"), kv::kFormulaOk);
  SetAll(e, {{'x', 1.5}, {'y', -0.25}, {'z', 3}});
  int compiled = 0;
  for (int i = 0; i < 30000; ++i) {
    std::string text;
    for (int k = count(rng); k > 0; --k) text += kPieces[piece(rng)];
    if (i % 7 == 0) text += "ff(x,y)";
    TreePtr tree;
    if (e.Compile(text, tree) == kv::kFormulaOk) ++compiled;
    Exercise(e, text);
  }
  EXPECT_GT(compiled, 500);
}

TEST(Robustness, HostileShapesFinishQuickly) {
  const auto start = std::chrono::steady_clock::now();
  TFormulaEngine e;
  const std::string shapes[] = {
      std::string(100000, '('),
      std::string(100000, ')'),
      std::string(50000, '(') + std::string(50000, ')'),
      std::string(100000, '-') + "x",
      std::string(100000, 'x'),
      [] { std::string s; for (int i = 0; i < 50000; ++i) s += "x^"; return s + "x"; }(),
      [] { std::string s; for (int i = 0; i < 50000; ++i) s += "sin("; return s + "x" + std::string(50000, ')'); }(),
      [] { std::string s = "1"; for (int i = 0; i < 30000; ++i) s += "+1"; return s; }(),
      std::string(100000, '9'),
      "0." + std::string(100000, '0') + "1",
  };
  for (const std::string& text : shapes) Exercise(e, text);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20));
}

TEST(Robustness, TreesWrittenBackCompileToTheSameValue) {
  RandomFormula make(777);
  std::mt19937 rng(3);
  std::uniform_real_distribution<long double> value(-3, 3);
  int checked = 0;
  for (int i = 0; i < 2000; ++i) {
    const std::string text = make.Make(4);
    TFormulaEngine e;
    e.SetJumpDetection(false);
    TreePtr tree, again;
    ASSERT_EQ(e.Compile(text, tree), kv::kFormulaOk);
    std::string back;
    ASSERT_TRUE(kv::TreeToText(tree.get(), back)) << text;
    ASSERT_EQ(e.Compile(back, again), kv::kFormulaOk) << text << " -> " << back;
    ASSERT_TRUE(kv::TreesEqual(tree.get(), again.get())) << text << " -> " << back;
    for (const char c : {'x', 'y', 'z', 'a', 't'}) e.SetVariable(c, value(rng));
    const bool a = e.Evaluate(tree.get());
    const bool b = e.Evaluate(again.get());
    ASSERT_EQ(a, b) << back;
    if (a) {
      ASSERT_TRUE(tree->value == again->value) << back;
      ++checked;
    }
  }
  EXPECT_GT(checked, 500);
}

TEST(Robustness, TreeLibraryHandlesNullAndAliasing) {
  kv::FreeTree(nullptr);
  EXPECT_EQ(kv::CloneTree(nullptr), nullptr);
  EXPECT_EQ(kv::CountNodes(nullptr), 0);
  TFormulaEngine e;
  EXPECT_FALSE(e.Evaluate(nullptr));
  TreePtr tree;
  ASSERT_EQ(e.Compile("x+y", tree), kv::kFormulaOk);
  // Substituting a part of the tree into the tree itself.
  kv::SubstituteNodes(tree.get(), kv::tok::X, tree.get());
  std::string text;
  ASSERT_TRUE(kv::TreeToText(tree.get(), text));
  EXPECT_EQ(text, "x+y+y");
  kv::ReplaceTokenByLeaf(tree.get(), kv::tok::Y, kv::tok::T);
  kv::RenameXToT(tree.get());
  ASSERT_TRUE(kv::TreeToText(tree.get(), text));
  EXPECT_EQ(text, "t+t+t");
  // Trees with holes or unknown tokens are undefined, never a crash.
  TreePtr broken(kv::NewBinaryNode(kv::tok::Plus, kv::NewLetterNode('x'), nullptr));
  EXPECT_FALSE(e.Evaluate(broken.get()));
  EXPECT_FALSE(e.EvaluateByTreeWalk(broken.get()));
  TreePtr unknown(kv::NewNode(250));
  EXPECT_FALSE(e.Evaluate(unknown.get()));
  TreePtr placeholder(kv::NewNode(kv::tok::PlaceholderA));
  EXPECT_FALSE(e.Evaluate(placeholder.get()));
}

}  // namespace
}  // namespace kvtest
