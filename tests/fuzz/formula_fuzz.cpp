// libFuzzer target for the formula engine: arbitrary bytes as a formula
// text.  Whatever compiles is evaluated in both modes by the flat program and
// by the tree walk (which must agree), differentiated, simplified and written
// back as text (which must compile again).  Crashes, hangs, sanitizer reports
// and broken agreements are findings.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "formula/calculus.h"
#include "formula/formula_engine.h"
#include "formula/formula_text.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

bool Same(const kv::TComplex& a, const kv::TComplex& b) { return a.re == b.re && a.im == b.im; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  // One engine for all inputs; what an input may change is set again here.
  static kv::TFormulaEngine& engine = [] () -> kv::TFormulaEngine& {
    static kv::TFormulaEngine e;
    e.DefineUserFunction("ff", 2, "x*y+sin(x)");
    e.DefineUserFunction("gg", 1, "ff(x,x)^2");
    return e;
  }();
  engine.SetComplexMode(false);
  engine.SetJumpDetection(true);
  engine.SetVariable('x', 0.75);
  engine.SetVariable('y', -1.25);
  engine.SetComplexVariable('a', kv::TComplex(0.5, 2));

  long double value = 0;
  engine.TextToValue(text, value);

  kv::TreePtr tree, walked;
  if (engine.Compile(text, tree) != kv::kFormulaOk) return 0;
  Check(engine.Compile(text, walked) == kv::kFormulaOk);
  engine.SetJumpDetection(false);
  for (const bool complexMode : {false, true}) {
    engine.SetComplexMode(complexMode);
    const bool p = engine.Evaluate(tree.get());
    const bool w = engine.EvaluateByTreeWalk(walked.get());
    Check(p == w);
    if (p) Check(Same(tree->value, walked->value));
  }

  kv::TreePtr derivative;
  if (kv::Differentiate(tree.get(), 'x', derivative)) engine.Evaluate(derivative.get());

  kv::TreePtr simple(kv::CloneTree(tree.get()));
  kv::Simplify(simple.get());
  engine.Evaluate(simple.get());

  std::string back;
  if (kv::TreeToText(tree.get(), back)) {
    // The text may nest one level deeper than the input where a number needs
    // parentheses ("(1.5*10^-7)"), so it may reach the nesting limit.
    kv::TreePtr again;
    const int code = engine.Compile(back, again);
    Check(code == kv::kFormulaOk || code == kv::kFormulaTooBig);
  }
  long double root = 0;
  engine.BisectRoot(tree.get(), 'x', -1, 2, root);
  return 0;
}
