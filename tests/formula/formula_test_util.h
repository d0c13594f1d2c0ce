// Helpers shared by the formula engine tests.
#pragma once

#include <cmath>
#include <complex>
#include <initializer_list>
#include <ostream>
#include <iterator>
#include <random>
#include <string>
#include <string_view>
#include <utility>
#include <vector>
#include <cstring>
#include <cstdint>

#include "formula/formula_engine.h"

namespace kvtest {

using Cx = std::complex<long double>;

struct Assign {
  char letter;
  long double value;
};

inline void SetAll(kv::TFormulaEngine& e, std::initializer_list<Assign> vars) {
  for (const Assign& a : vars) e.SetVariable(a.letter, a.value);
}

// Compiles and evaluates; false when the text does not compile or is undefined.
inline bool ValueOf(kv::TFormulaEngine& e, std::string_view text, kv::TComplex& value) {
  kv::TreePtr tree;
  if (e.Compile(text, tree) != kv::kFormulaOk) return false;
  if (!e.Evaluate(tree.get())) return false;
  value = tree->value;
  return true;
}

inline bool Near(long double a, long double b, long double rel = 1e-15L) {
  return std::fabs(a - b) <= rel * std::max<long double>(1, std::max(std::fabs(a), std::fabs(b)));
}

inline bool Near(const kv::TComplex& a, Cx b, long double rel = 1e-15L) {
  return Near(a.re, b.real(), rel) && Near(a.im, b.imag(), rel);
}

// "lhs=rhs" as "lhs-(rhs)", the way the equation dialog hands implicit
// equations to the compiler.
inline std::string AsDifference(std::string_view text) {
  const std::size_t eq = text.find('=');
  if (eq == std::string_view::npos) return std::string(text);
  return std::string(text.substr(0, eq)) + "-(" + std::string(text.substr(eq + 1)) + ")";
}

// Random formula texts over the whole language, for the differential tests.
class RandomFormula {
 public:
  explicit RandomFormula(unsigned seed) : rng_(seed) {}

  std::string Make(int depth) {
    std::uniform_int_distribution<int> pick(0, depth <= 0 ? 2 : 12);
    switch (pick(rng_)) {
      case 0: return Letter();
      case 1: return Number();
      case 2: return Letter();
      case 3: return "(" + Make(depth - 1) + "+" + Make(depth - 1) + ")";
      case 4: return "(" + Make(depth - 1) + "-" + Make(depth - 1) + ")";
      case 5: return "(" + Make(depth - 1) + "*" + Make(depth - 1) + ")";
      case 6: return "(" + Make(depth - 1) + "/" + Make(depth - 1) + ")";
      case 7: return "(" + Make(depth - 1) + ")^" + Exponent(depth);
      case 8: return "-" + Make(depth - 1);
      case 9: return Make(depth - 1) + "(" + Make(depth - 1) + ")";
      case 10: {
        static const char* kTwo[] = {"root", "pow"};
        return std::string(kTwo[Index(2)]) + "(" + Make(depth - 1) + "," + Make(depth - 1) + ")";
      }
      default: {
        static const char* kOne[] = {"abs", "sin", "cos", "tan", "sec", "csc", "cot", "log", "ln",
                                     "sqrt", "cis", "sgn", "exp", "arcsin", "arccos", "arctan",
                                     "sinh", "cosh", "tanh", "int", "frac", "gamma", "erf", "re",
                                     "im", "conj", "arg"};
        return std::string(kOne[Index(std::size(kOne))]) + "(" + Make(depth - 1) + ")";
      }
    }
  }

 private:
  std::size_t Index(std::size_t n) { return std::uniform_int_distribution<std::size_t>(0, n - 1)(rng_); }
  std::string Letter() {
    static const char* kLetters[] = {"x", "y", "z", "a", "t"};
    return kLetters[Index(5)];
  }
  std::string Number() {
    static const char* kNumbers[] = {"0", "1", "2", "0.5", "3", "1.5i", "pi", "10"};
    return kNumbers[Index(8)];
  }
  std::string Exponent(int depth) {
    static const char* kExponents[] = {"2", "3", "-1", "0.5", "0", "(1/3)"};
    return Index(3) == 0 ? "(" + Make(depth - 1) + ")" : kExponents[Index(6)];
  }
  std::mt19937 rng_;
};

// Evaluates `tree` at the points as a block and, on a copy of the tree (a
// program and branch memory of its own), point by point; returns a
// description of the first difference in values (bit for bit), statuses,
// error flags or the variables left behind, or "" when there is none.
// letter2 < 0: one varying letter.
inline std::string BlockDiffersFromLoop(kv::TFormulaEngine& e, const kv::TExprNode* tree, int letter,
                                        const std::vector<long double>& values, int letter2 = -1,
                                        const std::vector<long double>& values2 = {}) {
  const int n = static_cast<int>(values.size());
  kv::TreePtr loopTree(kv::CloneTree(tree));
  kv::TreePtr blockTree(kv::CloneTree(tree));
  // The loop first; then the same start for the block.
  const std::vector<kv::TComplex> start(e.Variables(), e.Variables() + kv::tok::kVariableCount);
  std::vector<long double> re(values.size()), im(values.size());
  std::vector<std::uint8_t> status(values.size());
  e.ClearEvaluationError();
  bool loopError = false;
  for (int i = 0; i < n; ++i) {
    e.SetVariable(letter, values[i]);
    if (letter2 >= 0) e.SetVariable(letter2, values2[i]);
    e.ClearEvaluationError();
    const bool ok = e.Evaluate(loopTree.get());
    status[i] = !ok ? kv::kPointUndefined : e.EvaluationError() ? kv::kPointJump : kv::kPointDefined;
    loopError = loopError || e.EvaluationError();
    if (ok) {
      re[i] = loopTree->value.re;
      im[i] = loopTree->value.im;
    }
  }
  const std::vector<kv::TComplex> loopEnd(e.Variables(), e.Variables() + kv::tok::kVariableCount);
  for (int k = 0; k < kv::tok::kVariableCount; ++k) e.SetComplexVariable(k, start[static_cast<std::size_t>(k)]);
  std::vector<long double> bre(values.size(), -7), bim(values.size(), -7);
  std::vector<std::uint8_t> bstatus(values.size(), 9);
  e.ClearEvaluationError();
  const int failed = e.EvaluateBlock(blockTree.get(), letter, values.data(), n, bre.data(), bim.data(),
                                     bstatus.data(), letter2, letter2 >= 0 ? values2.data() : nullptr);
  auto bits = [](long double v) {  // the 10 significant bytes
    unsigned char b[16] = {};
    std::memcpy(b, &v, 10);
    return std::string(reinterpret_cast<const char*>(b), 10);
  };
  int loopFailed = 0;
  for (int i = 0; i < n; ++i) {
    const std::size_t k = static_cast<std::size_t>(i);
    if (status[k] != kv::kPointDefined) ++loopFailed;
    if (status[k] != bstatus[k])
      return "point " + std::to_string(i) + ": status " + std::to_string(bstatus[k]) + ", loop " +
             std::to_string(status[k]);
    if (status[k] != kv::kPointUndefined && (bits(re[k]) != bits(bre[k]) || bits(im[k]) != bits(bim[k])))
      return "point " + std::to_string(i) + ": " + std::to_string(static_cast<double>(bre[k])) + " + " +
             std::to_string(static_cast<double>(bim[k])) + "i, loop " + std::to_string(static_cast<double>(re[k])) +
             " + " + std::to_string(static_cast<double>(im[k])) + "i";
  }
  if (failed != loopFailed) return "count " + std::to_string(failed) + ", loop " + std::to_string(loopFailed);
  if (e.EvaluationError() != loopError) return "error flag differs";
  for (int k = 0; k < kv::tok::kVariableCount; ++k)
    if (!(e.Variables()[k] == loopEnd[static_cast<std::size_t>(k)])) return "variable " + std::to_string(k) + " differs";
  return "";
}

}  // namespace kvtest

namespace kv {
// Readable values in test failures.
inline void PrintTo(const TComplex& z, std::ostream* os) {
  *os << static_cast<double>(z.re) << (z.im < 0 ? " - " : " + ") << static_cast<double>(std::fabs(z.im)) << "i";
}
}  // namespace kv
