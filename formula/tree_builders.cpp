#include "formula/tree_builders.h"

#include "formula/calculus.h"
#include "core/constants.h"

namespace kv {

namespace adopt {
TExprNode* Num(long double v) { return NewNumberNode(TComplex(v)); }
TExprNode* Add(TExprNode* a, TExprNode* b) { return NewBinaryNode(tok::Plus, a, b); }
TExprNode* Sub(TExprNode* a, TExprNode* b) { return NewBinaryNode(tok::Minus, a, b); }
TExprNode* Mul(TExprNode* a, TExprNode* b) { return NewBinaryNode(tok::Times, a, b); }
TExprNode* Div(TExprNode* a, TExprNode* b) { return NewBinaryNode(tok::Divide, a, b); }
}  // namespace adopt

namespace {

using namespace adopt;

TExprNode* Copy(const TExprNode* t) { return CloneTree(t); }
TExprNode* Op(int token, TExprNode* a, TExprNode* b) { return NewBinaryNode(token, a, b); }
TExprNode* Half(TExprNode* a) { return Op(tok::Divide, a, Num(2)); }
TExprNode* AbsOf(TExprNode* a) { return NewUnaryNode(tok::Abs, a); }

// max and min through |a - b|, so that the integrands stay plain trees.
TExprNode* MaxOf(const TExprNode* a, const TExprNode* b) {
  return Half(Add(Add(Copy(a), Copy(b)), AbsOf(Sub(Copy(a), Copy(b)))));
}
TExprNode* MinOf(const TExprNode* a, const TExprNode* b) {
  return Half(Sub(Add(Copy(a), Copy(b)), AbsOf(Sub(Copy(a), Copy(b)))));
}
// max(0, t)
TExprNode* PositivePart(TExprNode* t) { return Half(Add(Copy(t), AbsOf(t))); }

}  // namespace

TExprNode* BuildBinary(int token, const TExprNode* a, const TExprNode* b) {
  return Op(token, Copy(a), Copy(b));
}

TExprNode* BuildFunction(int token, const TExprNode* argument) {
  return NewUnaryNode(token, Copy(argument));
}

TExprNode* NegateTree(const TExprNode* tree) { return Sub(Num(0), Copy(tree)); }

TExprNode* BuildQuotient(const TExprNode* a, const TExprNode* b) { return BuildBinary(tok::Divide, a, b); }

TExprNode* BuildSumOfProducts(const TExprNode* a, const TExprNode* b, const TExprNode* c,
                              const TExprNode* d) {
  return Add(BuildBinary(tok::Times, a, b), BuildBinary(tok::Times, c, d));
}

TExprNode* BuildDifferenceOfProducts(const TExprNode* a, const TExprNode* b, const TExprNode* c,
                                     const TExprNode* d) {
  return Sub(BuildBinary(tok::Times, a, b), BuildBinary(tok::Times, c, d));
}

TExprNode* BuildDotProduct3(const TExprNode* const a[3], const TExprNode* const b[3]) {
  return Add(BuildSumOfProducts(a[0], b[0], a[1], b[1]), BuildBinary(tok::Times, a[2], b[2]));
}

void BuildCrossProduct(TExprNode* result[3], const TExprNode* const a[3], const TExprNode* const b[3]) {
  for (int i = 0; i < 3; ++i) {
    const int j = (i + 1) % 3;
    const int k = (i + 2) % 3;
    result[i] = BuildDifferenceOfProducts(a[j], b[k], a[k], b[j]);
  }
}

TExprNode* BuildHypot3(const TExprNode* a, const TExprNode* b, const TExprNode* c) {
  TExprNode* sum = Add(BuildFunction(tok::Square, a), BuildFunction(tok::Square, b));
  if (c) sum = Add(sum, BuildFunction(tok::Square, c));
  return NewUnaryNode(tok::Sqrt, sum);
}

void BuildPolarToCartesian(const TExprNode* r, const TExprNode* t, TExprNode*& x, TExprNode*& y) {
  x = Mul(Copy(r), BuildFunction(tok::Cos, t));
  y = Mul(Copy(r), BuildFunction(tok::Sin, t));
}

void BuildSphericalToCartesian(const TExprNode* rho, const TExprNode* theta, const TExprNode* phi,
                               TExprNode*& x, TExprNode*& y, TExprNode*& z) {
  x = Mul(Mul(Copy(rho), BuildFunction(tok::Sin, phi)), BuildFunction(tok::Cos, theta));
  y = Mul(Mul(Copy(rho), BuildFunction(tok::Sin, phi)), BuildFunction(tok::Sin, theta));
  z = Mul(Copy(rho), BuildFunction(tok::Cos, phi));
}

TExprNode* BuildPointValueSum(const TExprNode* tree, const TExprNode* derivative, const TExprNode* at,
                              int letter, int line) {
  const int token = LetterToken(letter);
  return Add(CloneAndSubstitute(tree, token, at),
             Mul(NewLetterNode(line), CloneAndSubstitute(derivative, token, at)));
}

TExprNode* BuildLinearInToken(const TExprNode* a, const TExprNode* b, int letter) {
  return Add(Copy(a), Mul(Copy(b), NewLetterNode(letter)));
}

TExprNode* BuildWasherIntegrand(const TExprNode* f, const TExprNode* g, long double k) {
  TreePtr a(Sub(Copy(f), Num(k)));
  TreePtr b(Sub(Copy(g), Num(k)));
  TreePtr p(AbsOf(Copy(a.get())));
  TreePtr q(AbsOf(Copy(b.get())));
  // 1 when f and g lie on the same side of the axis, else 0: (s + |s|) / 2
  // with s = sgn(a)·sgn(b).
  TExprNode* s = Mul(NewUnaryNode(tok::Sgn, Copy(a.get())), NewUnaryNode(tok::Sgn, Copy(b.get())));
  TExprNode* sameSide = PositivePart(s);
  TExprNode* outer = NewUnaryNode(tok::Square, MaxOf(p.get(), q.get()));
  TExprNode* inner = Mul(sameSide, NewUnaryNode(tok::Square, MinOf(p.get(), q.get())));
  TExprNode* result = Mul(Num(Pi), Sub(outer, inner));
  Simplify(result);
  return result;
}

TExprNode* BuildShellIntegrand(const TExprNode* f, const TExprNode* g, long double k, bool mirrored) {
  TreePtr right(Add(NewLetterNode(tok::X), Num(k)));
  TreePtr f1(CloneAndSubstitute(f, tok::X, right.get()));
  TreePtr g1(CloneAndSubstitute(g, tok::X, right.get()));
  TExprNode* height;
  if (!mirrored) {
    height = AbsOf(Sub(Copy(f1.get()), Copy(g1.get())));
  } else {
    TreePtr left(Sub(Num(k), NewLetterNode(tok::X)));
    TreePtr f2(CloneAndSubstitute(f, tok::X, left.get()));
    TreePtr g2(CloneAndSubstitute(g, tok::X, left.get()));
    TreePtr len1(AbsOf(Sub(Copy(f1.get()), Copy(g1.get()))));
    TreePtr len2(AbsOf(Sub(Copy(f2.get()), Copy(g2.get()))));
    TreePtr hi1(Half(Add(Add(Copy(f1.get()), Copy(g1.get())), Copy(len1.get()))));
    TreePtr lo1(Half(Sub(Add(Copy(f1.get()), Copy(g1.get())), Copy(len1.get()))));
    TreePtr hi2(Half(Add(Add(Copy(f2.get()), Copy(g2.get())), Copy(len2.get()))));
    TreePtr lo2(Half(Sub(Add(Copy(f2.get()), Copy(g2.get())), Copy(len2.get()))));
    TExprNode* overlap = PositivePart(Sub(MinOf(hi1.get(), hi2.get()), MaxOf(lo1.get(), lo2.get())));
    height = Sub(Add(Copy(len1.get()), Copy(len2.get())), overlap);
  }
  TExprNode* result = Mul(Mul(Num(2 * Pi), NewLetterNode(tok::X)), height);
  Simplify(result);
  return result;
}

}  // namespace kv
