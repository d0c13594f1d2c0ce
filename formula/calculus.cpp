#include "formula/calculus.h"

#include <array>
#include <vector>

#include "formula/compiler.h"
#include "formula/kernels.h"
#include "formula/tokens.h"

namespace kv {
namespace {

// Derivative rules as formula texts.  In a one-argument rule, a is the
// argument and b its derivative.  A two-argument rule has three forms, for
// when only the first operand (a, derivative b), only the second (c,
// derivative d), or both depend on the letter; nullptr: no derivative.
struct UnaryRule {
  tok::Code token;
  const char* text;
};
struct BinaryRule {
  tok::Code token;
  const char* first;
  const char* second;
  const char* both;
};

constexpr UnaryRule kUnaryRules[] = {
    {tok::Sin, "cos(a)*b"},
    {tok::Cos, "-sin(a)*b"},
    {tok::Tan, "b/cos(a)^2"},
    {tok::Sec, "sec(a)*tan(a)*b"},
    {tok::Csc, "-csc(a)*cot(a)*b"},
    {tok::Cot, "-b/sin(a)^2"},
    {tok::Log, "b/a"},
    {tok::Exp, "exp(a)*b"},
    {tok::Sqrt, "b/(2*sqrt(a))"},
    {tok::Square, "2*a*b"},
    {tok::Cis, "1i*cis(a)*b"},
    {tok::Abs, "sgn(a)*b"},
    {tok::ArcSin, "b/sqrt(1-a^2)"},
    {tok::ArcCos, "-b/sqrt(1-a^2)"},
    {tok::ArcTan, "b/(1+a^2)"},
    {tok::Sinh, "cosh(a)*b"},
    {tok::Cosh, "sinh(a)*b"},
    {tok::Tanh, "b/cosh(a)^2"},
    {tok::Frac, "b"},
    {tok::Gamma, "gamma(a)*psi(a)*b"},
    {tok::Erf, "1.12837916709551257389615890312154517*exp(-a^2)*b"},  // 2/√π
    {tok::Re, "re(b)"},
    {tok::Im, "im(b)"},
    {tok::Conj, "conj(b)"},
    {tok::Arg, "im(conj(a)*b)/abs(a)^2"},
};

constexpr BinaryRule kBinaryRules[] = {
    {tok::Plus, "b", "d", "b+d"},
    {tok::Minus, "b", "-d", "b-d"},
    {tok::Times, "b*c", "a*d", "b*c+a*d"},
    {tok::Divide, "b/c", "-a*d/c^2", "(b*c-a*d)/c^2"},
    {tok::Power, "c*a^(c-1)*b", "a^c*log(a)*d", "a^c*(d*log(a)+c*b/a)"},
    // root(n, x) = x^(1/n)
    {tok::Root, "-root(a,c)*log(c)*b/a^2", "root(a,c)*d/(a*c)", "root(a,c)*(d/(a*c)-b*log(c)/a^2)"},
    // pow(n, x) = x^n is defined for whole n only: n must not depend on the letter.
    {tok::Pow, nullptr, "a*pow(a-1,c)*d", nullptr},
};

// The compiled rule texts, built once.
class RuleTrees {
 public:
  static const RuleTrees& Get() {
    static const RuleTrees trees;
    return trees;
  }
  const TExprNode* Unary(int token) const {
    for (std::size_t i = 0; i < std::size(kUnaryRules); ++i) {
      if (kUnaryRules[i].token == token) return unary_[i].get();
    }
    return nullptr;
  }
  // form 0: first only, 1: second only, 2: both
  const TExprNode* Binary(int token, int form) const {
    for (std::size_t i = 0; i < std::size(kBinaryRules); ++i) {
      if (kBinaryRules[i].token == token) return binary_[i][form].get();
    }
    return nullptr;
  }

 private:
  RuleTrees() {
    for (const UnaryRule& r : kUnaryRules) unary_.push_back(Compile(r.text));
    for (const BinaryRule& r : kBinaryRules) {
      binary_.push_back({Compile(r.first), Compile(r.second), Compile(r.both)});
    }
  }
  static TreePtr Compile(const char* text) {
    TreePtr tree;
    if (text) CompileFormula(text, nullptr, tree, nullptr, /*internalNames=*/true);
    return tree;
  }
  std::vector<TreePtr> unary_;
  std::vector<std::array<TreePtr, 3>> binary_;
};

// The rule with a, b, c, d replaced by copies of the operands and derivatives
// (a zero where a derivative is absent).
TExprNode* Apply(const TExprNode* rule, const TExprNode* a, const TExprNode* b, const TExprNode* c,
                 const TExprNode* d, long& budget) {
  TreePtr zero(NewNumberNode(TComplex()));
  static constexpr int kLetters[4] = {tok::A, tok::A + 1, tok::A + 2, tok::A + 3};
  const TExprNode* with[4] = {a, b ? b : zero.get(), c, d ? d : zero.get()};
  long made = 0;
  TExprNode* result = CloneAndSubstituteAll(rule, kLetters, with, 4, &made);
  budget -= made;
  return result;
}

bool IsBinaryOperator(int token) {
  return token == tok::Plus || token == tok::Minus || token == tok::Times || token == tok::Divide ||
         token == tok::Power || token == tok::Root || token == tok::Pow;
}

// The derivative of n by the letter token; a null result means zero (n does
// not depend on the letter).  False when it cannot be formed, or when the
// nodes built would exceed `budget` (the product rule copies its operands, so
// deeply nested formulas can grow their derivatives without bound).
bool Derive(const TExprNode* n, int letter, TreePtr& out, long& budget) {
  out.reset();
  if (!n) return false;
  if (n->token == tok::Number) return true;
  if (tok::IsLetter(n->token)) {
    if (n->token == letter) out.reset(NewNumberNode(TComplex(1)));
    return true;
  }
  const RuleTrees& rules = RuleTrees::Get();
  if (IsBinaryOperator(n->token)) {
    TreePtr da, dc;
    if (!Derive(n->child[0], letter, da, budget) || !Derive(n->child[1], letter, dc, budget)) return false;
    if (!da && !dc) return true;
    const int form = da && dc ? 2 : da ? 0 : 1;
    const TExprNode* rule = rules.Binary(n->token, form);
    if (!rule) return false;
    out.reset(Apply(rule, n->child[0], da.get(), n->child[1], dc.get(), budget));
    return budget >= 0;
  }
  if (tok::FunctionArity(n->token) != 1) return false;  // containers, placeholders, bindings
  TreePtr da;
  if (!Derive(n->child[0], letter, da, budget)) return false;
  if (!da) return true;
  switch (n->token) {
    case tok::Sgn:
    case tok::Int:
      return true;  // constant pieces
    case tok::Psi: {
      if (n->subCode >= 60) return false;
      long made = 0;
      TExprNode* next = NewUnaryNode(tok::Psi, CloneAndSubstituteAll(n->child[0], nullptr, nullptr, 0, &made));
      budget -= made;
      next->subCode = static_cast<std::int16_t>(n->subCode + 1);
      budget -= 2;
      out.reset(NewBinaryNode(tok::Times, next, da.release()));
      return budget >= 0;
    }
    default: {
      const TExprNode* rule = rules.Unary(n->token);
      if (!rule) return false;
      out.reset(Apply(rule, n->child[0], da.get(), nullptr, nullptr, budget));
      return budget >= 0;
    }
  }
}

bool IsNumber(const TExprNode* n, long double v) {
  return n && n->token == tok::Number && n->value == TComplex(v, 0);
}

// Replaces node by its child i (the other children are freed).
void ReplaceByChild(TExprNode* node, int i) {
  TExprNode* keep = node->child[i];
  node->child[i] = nullptr;
  for (TExprNode*& c : node->child) {
    FreeTree(c);
    c = nullptr;
  }
  node->token = keep->token;
  node->value = keep->value;
  node->subCode = keep->subCode;
  node->argCount = keep->argCount;
  for (int j = 0; j < 4; ++j) {
    node->child[j] = keep->child[j];
    keep->child[j] = nullptr;
  }
  FreeTree(keep);
}

void ReplaceByNumber(TExprNode* node, const TComplex& v) {
  for (TExprNode*& c : node->child) {
    FreeTree(c);
    c = nullptr;
  }
  node->token = tok::Number;
  node->value = v;
  node->subCode = 0;
  node->argCount = 0;
}

void ApplyIdentities(TExprNode* n) {
  TExprNode* a = n->child[0];
  TExprNode* b = n->child[1];
  if (!a || !b) return;
  switch (n->token) {
    case tok::Plus:
      if (IsNumber(b, 0)) ReplaceByChild(n, 0);
      else if (IsNumber(a, 0)) ReplaceByChild(n, 1);
      break;
    case tok::Minus:
      if (IsNumber(b, 0)) {
        ReplaceByChild(n, 0);
      } else if (IsNumber(a, 0) && b->token == tok::Minus && IsNumber(b->child[0], 0)) {
        ReplaceByChild(b, 1);  // 0-(0-x) = x
        ReplaceByChild(n, 1);
      }
      break;
    case tok::Times:
      if (IsNumber(a, 0) || IsNumber(b, 0)) ReplaceByNumber(n, TComplex());
      else if (IsNumber(b, 1)) ReplaceByChild(n, 0);
      else if (IsNumber(a, 1)) ReplaceByChild(n, 1);
      break;
    case tok::Divide:
      if (IsNumber(b, 1)) ReplaceByChild(n, 0);
      else if (IsNumber(a, 0)) ReplaceByNumber(n, TComplex());
      break;
    case tok::Power:
      if (IsNumber(b, 1)) ReplaceByChild(n, 0);
      else if (IsNumber(b, 0) || IsNumber(a, 1)) ReplaceByNumber(n, TComplex(1));
      break;
    default:
      break;
  }
}

void SimplifyNode(TExprNode* n, bool fold) {
  if (!n) return;
  for (TExprNode* c : n->child) SimplifyNode(c, fold);
  const int arity = IsBinaryOperator(n->token) ? 2 : tok::FunctionArity(n->token);
  if (fold && arity > 0) {
    TComplex args[2];
    bool constant = true;
    for (int i = 0; i < arity; ++i) {
      if (!n->child[i] || n->child[i]->token != tok::Number) {
        constant = false;
        break;
      }
      args[i] = n->child[i]->value;
    }
    TComplex v;
    if (constant && formula_detail::FoldConstant(n->token, n->subCode, args, arity, v)) {
      ReplaceByNumber(n, v);
      return;
    }
  }
  ApplyIdentities(n);
}

}  // namespace

bool Differentiate(const TExprNode* tree, int letter, TreePtr& result) {
  result.reset();
  const int token = LetterToken(letter);
  if (!tree || token == 0) return false;
  TreePtr d;
  long budget = 4L * kMaxTreeNodes;  // nodes made, copies of the derivatives included
  if (!Derive(tree, token, d, budget)) return false;
  if (!d) d.reset(NewNumberNode(TComplex()));
  Simplify(d.get());
  result = std::move(d);
  return true;
}

bool Differentiate(const TExprNode* tree, int letter, TExprNode*& result) {
  TreePtr d;
  const bool ok = Differentiate(tree, letter, d);
  result = d.release();
  return ok;
}

void Simplify(TExprNode* tree) {
  ForgetCompiledProgram(tree);
  SimplifyNode(tree, true);
}

void SimplifyIdentities(TExprNode* tree) {
  ForgetCompiledProgram(tree);
  SimplifyNode(tree, false);
}

}  // namespace kv
