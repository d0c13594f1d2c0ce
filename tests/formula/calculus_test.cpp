// Symbolic derivatives against central differences, Taylor polynomials,
// simplification, and the tree builders.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "formula/calculus.h"
#include "formula/formula_text.h"
#include "formula/tree_builders.h"
#include "formula_test_util.h"

namespace kvtest {
namespace {

using kv::TComplex;
using kv::TExprNode;
using kv::TFormulaEngine;
using kv::TreePtr;

struct DerivativeRow {
  const char* text;
  char letter;
  long double from, to;  // the points tried, inside the domain
  bool complexMode = false;
};

Cx ValueAt(TFormulaEngine& e, TExprNode* tree, char letter, long double x, bool& ok) {
  e.SetVariable(letter, x);
  ok = e.Evaluate(tree);
  return Cx(tree->value.re, tree->value.im);
}

TEST(Calculus, DerivativesAgreeWithCentralDifferences) {
  const DerivativeRow rows[] = {
      // every built-in function, in a composition
      {"abs(2x-1)", 'x', 0.6, 3},        {"abs(2x-1)", 'x', -3, 0.4},
      {"sin(x^2)", 'x', -2, 2},          {"cos(3x+1)", 'x', -2, 2},
      {"tan(x/2)", 'x', -2, 2},          {"sec(x)", 'x', -1.3, 1.3},
      {"csc(x)", 'x', 0.3, 2.8},         {"cot(2x)", 'x', 0.2, 1.4},
      {"log(x^2+1)", 'x', -3, 3},        {"ln(x)", 'x', 0.1, 5},
      {"sqrt(x^2+1)", 'x', -3, 3},       {"cis(2x)", 'x', -3, 3},
      {"root(3,x)", 'x', 0.2, 4},        {"root(3,x)", 'x', -4, -0.2},
      {"root(x,5)", 'x', 1, 4},          {"root(x,x)", 'x', 0.5, 4},
      {"pow(3,x-1)", 'x', -3, 3},        {"pow(-2,x)", 'x', 0.5, 3},
      {"sgn(x)+x", 'x', 0.1, 3},         {"exp(-x^2)", 'x', -2, 2},
      {"arcsin(x/2)", 'x', -1.8, 1.8},   {"arccos(x/2)", 'x', -1.8, 1.8},
      {"arctan(x^2)", 'x', -2, 2},       {"sinh(x)", 'x', -3, 3},
      {"cosh(x)", 'x', -3, 3},           {"tanh(x)", 'x', -3, 3},
      {"int(x)+x", 'x', 0.1, 0.9},       {"frac(3x)", 'x', 0.01, 0.3},
      {"gamma(x)", 'x', 0.3, 4},         {"gamma(x)", 'x', -2.9, -2.1},
      {"erf(x)", 'x', -2, 2},            {"re(x^2)", 'x', -2, 2},
      {"im(x)+x", 'x', -2, 2},           {"conj(x^3)", 'x', -2, 2},
      {"arg(x)+x", 'x', 0.1, 3},
      // sums, products, quotients, powers, compositions
      {"x^2+3x-1", 'x', -3, 3},          {"xsin(x)", 'x', -3, 3},
      {"sin(x)/x", 'x', 0.5, 3},         {"(x^2+1)^3", 'x', -2, 2},
      {"x^x", 'x', 0.2, 3},              {"2^x", 'x', -3, 3},
      {"x^0.5", 'x', 0.1, 4},            {"x^-2", 'x', 0.5, 3},
      {"exp(sin(x))cos(x)^2", 'x', -3, 3}, {"sin(cos(tan(x)))", 'x', -1, 1},
      {"rrrcos(3t)/(1+rrrr)", 't', -3, 3}, {"rrrcos(3t)/(1+rrrr)", 'r', -2, 2},
      {"sin(xx+yy)/(xx+yy)", 'x', 0.3, 2}, {"a*sin(bx) + c", 'x', -3, 3},
      {"a*b^(x-c) + d", 'x', -2, 2},     {"log(x - c) + d", 'x', 1.5, 4},
      {"x^y", 'y', -2, 2},               {"t*sqrt(0.75)", 't', -2, 2},
      {"(x-1)(x-2)/(x+1)", 'x', 0, 3},   {"1/(1+exp(-x))", 'x', -4, 4},
      // complex mode: d/dz of holomorphic functions along the real direction
      {"zz+sin(z)", 'z', -2, 2, true},   {"exp(z)/z", 'z', 0.5, 2, true},
      {"sqrt(z)", 'z', -2, -0.5, true},  {"log(z)", 'z', -3, -0.5, true},
  };
  std::mt19937 rng(99);
  for (const DerivativeRow& row : rows) {
    SCOPED_TRACE(std::string(row.text) + " d/d" + row.letter);
    TFormulaEngine e;
    e.SetComplexMode(row.complexMode);
    SetAll(e, {{'a', 1.5}, {'b', 2}, {'c', 0.5}, {'d', -1}, {'x', 1.3}, {'y', 0.7}, {'r', 0.9}, {'t', 0.3}});
    TreePtr f, d;
    ASSERT_EQ(e.Compile(row.text, f), kv::kFormulaOk);
    ASSERT_TRUE(kv::Differentiate(f.get(), row.letter, d));
    std::uniform_real_distribution<long double> point(row.from, row.to);
    for (int i = 0; i < 25; ++i) {
      const long double x = point(rng);
      const long double h = 1e-6L * std::max<long double>(1, std::fabs(x));
      bool ok1, ok2, ok3;
      const Cx numeric = (ValueAt(e, f.get(), row.letter, x + h, ok1) - ValueAt(e, f.get(), row.letter, x - h, ok2)) /
                         (2 * h);
      const Cx symbolic = ValueAt(e, d.get(), row.letter, x, ok3);
      ASSERT_TRUE(ok1 && ok2 && ok3) << "at " << static_cast<double>(x);
      EXPECT_LT(std::abs(symbolic - numeric), 1e-6L * std::max<long double>(1, std::abs(symbolic)))
          << "at " << static_cast<double>(x) << ": " << static_cast<double>(symbolic.real()) << " vs "
          << static_cast<double>(numeric.real());
    }
  }
}

TEST(Calculus, HigherDerivativesOfGammaUsePolygamma) {
  TFormulaEngine e;
  TreePtr f, d1, d2, d3;
  ASSERT_EQ(e.Compile("gamma(x)", f), kv::kFormulaOk);
  ASSERT_TRUE(kv::Differentiate(f.get(), 'x', d1));
  ASSERT_TRUE(kv::Differentiate(d1.get(), 'x', d2));
  ASSERT_TRUE(kv::Differentiate(d2.get(), 'x', d3));
  for (const long double x : {0.7L, 1.0L, 2.5L, 5.0L, -1.5L}) {
    const long double h = 1e-5L;
    bool ok;
    const Cx numeric = (ValueAt(e, d2.get(), 'x', x + h, ok) - ValueAt(e, d2.get(), 'x', x - h, ok)) / (2 * h);
    const Cx symbolic = ValueAt(e, d3.get(), 'x', x, ok);
    ASSERT_TRUE(ok);
    EXPECT_LT(std::abs(symbolic - numeric), 1e-6L * std::max<long double>(1, std::abs(symbolic)));
  }
  // Γ'(1) = -γ
  e.SetVariable('x', 1);
  ASSERT_TRUE(e.Evaluate(d1.get()));
  EXPECT_NEAR(static_cast<double>(d1->value.re), -0.5772156649015329, 1e-15);
}

TEST(Calculus, UnformableDerivativesFail) {
  TFormulaEngine e;
  for (const char* text : {"pow(x,2)", "pow(x,x)"}) {
    TreePtr f, d;
    ASSERT_EQ(e.Compile(text, f), kv::kFormulaOk);
    EXPECT_FALSE(kv::Differentiate(f.get(), 'x', d)) << text;
    EXPECT_EQ(d, nullptr);
  }
  TreePtr container(kv::NewUnaryNode(kv::tok::Container, kv::NewLetterNode('x')));
  TreePtr d;
  EXPECT_FALSE(kv::Differentiate(container.get(), 'x', d));
  TreePtr binding(kv::NewUnaryNode(kv::tok::LetterBinding, kv::NewLetterNode('x')));
  EXPECT_FALSE(kv::Differentiate(binding.get(), 'x', d));
  // Constants and other letters give 0, pow(n, x) in x is fine.
  TreePtr f;
  ASSERT_EQ(e.Compile("pow(x,2)+sin(y)", f), kv::kFormulaOk);
  ASSERT_TRUE(kv::Differentiate(f.get(), 'y', d));
  ASSERT_EQ(e.Compile("pow(a,x)", f), kv::kFormulaOk);
  ASSERT_TRUE(kv::Differentiate(f.get(), 'x', d));
}

TEST(Calculus, DerivativeTextsStaySmall) {
  struct Row {
    const char* text;
    const char* derivative;
  };
  const Row rows[] = {
      {"x^2+sin(x)", "2*x+cos(x)"}, {"xsin(x)", "sin(x)+x*cos(x)"},
      {"3x", "3"},                  {"sin(2)", "0"},
      {"x^3", "3*x^2"},             {"exp(x)", "exp(x)"},
      {"log(x)", "1/x"},            {"a*x+b", "a"},
      {"-x", "-1"},                 {"abs(x)", "sgn(x)"},
  };
  for (const Row& row : rows) {
    TFormulaEngine e;
    TreePtr f, d;
    ASSERT_EQ(e.Compile(row.text, f), kv::kFormulaOk);
    ASSERT_TRUE(kv::Differentiate(f.get(), 'x', d));
    std::string text;
    ASSERT_TRUE(kv::TreeToText(d.get(), text));
    EXPECT_EQ(text, row.derivative) << row.text;
  }
}

TEST(Calculus, TaylorPolynomialOfSineOfDegreeNineIsTheSeries) {
  TFormulaEngine e;
  TreePtr sine;
  ASSERT_EQ(e.Compile("sin(x)", sine), kv::kFormulaOk);
  std::vector<TreePtr> derivatives;
  derivatives.push_back(std::move(sine));
  for (int k = 1; k <= 9; ++k) {
    TreePtr next;
    ASSERT_TRUE(kv::Differentiate(derivatives.back().get(), 'x', next));
    EXPECT_LE(kv::CountNodes(next.get()), 4) << "derivative " << k;
    derivatives.push_back(std::move(next));
  }
  std::vector<const TExprNode*> d;
  for (const TreePtr& t : derivatives) d.push_back(t.get());
  TreePtr centre(kv::NewNumberNode(TComplex(0)));
  TreePtr taylor(e.TruncateTaylorTemplate(9));
  ASSERT_TRUE(e.SpliceTaylorTerms(taylor.get(), d, centre.get(), 'x'));
  for (const long double x : {-2.0L, -0.5L, 0.0L, 0.3L, 1.0L, 2.0L}) {
    long double series = 0, term = x;
    for (int k = 0; k <= 4; ++k) {
      series += term;
      term *= -x * x / ((2 * k + 2) * (2 * k + 3));
    }
    long double value = 0;
    ASSERT_TRUE(e.EvaluateAt(taylor.get(), 'x', x, value));
    EXPECT_TRUE(Near(value, series, 1e-17L)) << static_cast<double>(x);
  }
  // Too few derivatives for the degree: refused.
  TreePtr cut(e.TruncateTaylorTemplate(9));
  d.resize(5);
  EXPECT_FALSE(e.SpliceTaylorTerms(cut.get(), d, centre.get(), 'x'));
}

TEST(Calculus, TaylorPolynomialAroundAnotherCentre) {
  TFormulaEngine e;
  std::vector<TreePtr> derivatives(4);
  ASSERT_EQ(e.Compile("exp(t)", derivatives[0]), kv::kFormulaOk);
  for (int k = 1; k <= 3; ++k) ASSERT_TRUE(kv::Differentiate(derivatives[k - 1].get(), 't', derivatives[k]));
  std::vector<const TExprNode*> d;
  for (const TreePtr& t : derivatives) d.push_back(t.get());
  TreePtr centre;
  ASSERT_EQ(e.Compile("1", centre), kv::kFormulaOk);
  TreePtr taylor(e.TruncateTaylorTemplate(3));
  ASSERT_TRUE(e.SpliceTaylorTerms(taylor.get(), d, centre.get(), 't'));
  const long double t = 1.4L, h = t - 1;
  long double value = 0;
  ASSERT_TRUE(e.EvaluateAt(taylor.get(), 't', t, value));
  EXPECT_TRUE(Near(value, std::exp(1.0L) * (1 + h + h * h / 2 + h * h * h / 6), 1e-17L));
}

TEST(Calculus, SimplifyFoldsAndAppliesIdentities) {
  struct Row {
    const char* text;
    const char* simplified;
    const char* identitiesOnly;
  };
  const Row rows[] = {
      {"x+0", "x", "x"},          {"0+x", "x", "x"},          {"x-0", "x", "x"},
      {"x*1", "x", "x"},          {"1*x", "x", "x"},          {"x*0", "0", "0"},
      {"x/1", "x", "x"},          {"0/x", "0", "0"},          {"x^1", "x", "x"},
      {"x^0", "1", "1"},          {"1^x", "1", "1"},          {"0-(0-x)", "x", "x"},
      {"2*3+x", "6+x", "2*3+x"},  {"sin(0)*x", "0", "sin(0)*x"},
      {"-x", "-x", "-x"},         {"sqrt(-4)+x", "sqrt(-4)+x", "sqrt(-4)+x"},
      {"x*(2-1)", "x", "x*(2-1)"},
  };
  for (const Row& row : rows) {
    TFormulaEngine e;
    TreePtr a, b;
    ASSERT_EQ(e.Compile(row.text, a), kv::kFormulaOk);
    ASSERT_EQ(e.Compile(row.text, b), kv::kFormulaOk);
    kv::Simplify(a.get());
    kv::SimplifyIdentities(b.get());
    std::string ta, tb;
    ASSERT_TRUE(kv::TreeToText(a.get(), ta));
    ASSERT_TRUE(kv::TreeToText(b.get(), tb));
    EXPECT_EQ(ta, row.simplified) << row.text;
    EXPECT_EQ(tb, row.identitiesOnly) << row.text;
  }
}

TEST(Calculus, SimplifyKeepsTheValueWhereTheFormulaIsDefined) {
  RandomFormula make(31337);
  std::mt19937 rng(5);
  std::uniform_real_distribution<long double> value(-3, 3);
  int checked = 0;
  for (int i = 0; i < 2000; ++i) {
    const std::string text = make.Make(4);
    TFormulaEngine e;
    e.SetJumpDetection(false);
    TreePtr original, simple;
    ASSERT_EQ(e.Compile(text, original), kv::kFormulaOk);
    ASSERT_EQ(e.Compile(text, simple), kv::kFormulaOk);
    kv::Simplify(simple.get());
    for (int k = 0; k < 2; ++k) {
      e.SetComplexMode(k == 1);
      for (const char c : {'x', 'y', 'z', 'a', 't'}) e.SetVariable(c, value(rng));
      if (!e.Evaluate(original.get())) continue;
      ASSERT_TRUE(e.Evaluate(simple.get())) << text;
      ASSERT_TRUE(original->value == simple->value) << text;
      ++checked;
    }
  }
  EXPECT_GT(checked, 1000);
}

// Simpson's rule over the tree in X.
long double Integrate(TFormulaEngine& e, TExprNode* tree, long double a, long double b, int n = 2000) {
  const long double h = (b - a) / n;
  long double sum = 0;
  for (int i = 0; i <= n; ++i) {
    long double v = 0;
    EXPECT_TRUE(e.EvaluateAt(tree, 'x', a + i * h, v));
    sum += v * (i == 0 || i == n ? 1 : i % 2 ? 4 : 2);
  }
  return sum * h / 3;
}

TEST(Calculus, WasherAndShellIntegrands) {
  TFormulaEngine e;
  const long double pi = 3.141592653589793;
  auto tree = [&](const char* text) {
    TreePtr t;
    EXPECT_EQ(e.Compile(text, t), kv::kFormulaOk);
    return t;
  };
  struct WasherRow {
    const char* f;
    const char* g;
    long double k, a, b, volume;
  };
  const WasherRow washers[] = {
      {"2", "1", 0, 0, 1, 3 * pi},           // a hollow cylinder
      {"2", "1", 3, 0, 1, 3 * pi},           // radii 1 and 2 about y = 3
      {"x", "0", 0, 0, 1, pi / 3},           // a cone
      {"x", "-x", 0, 0, 1, pi / 3},          // the region spans the axis: a full cone
      {"1", "-2", 0, 0, 1, 4 * pi},          // spans the axis: a disk of radius 2
      {"sqrt(abs(1-xx))", "0", 0, -1, 1, 4 * pi / 3},  // a ball
  };
  for (const WasherRow& w : washers) {
    TreePtr f = tree(w.f), g = tree(w.g);
    TreePtr integrand(kv::BuildWasherIntegrand(f.get(), g.get(), w.k));
    EXPECT_NEAR(static_cast<double>(Integrate(e, integrand.get(), w.a, w.b)),
                static_cast<double>(w.volume), 1e-4)
        << w.f << " " << w.g << " about y = " << static_cast<double>(w.k);
  }
  // Shells about x = k: the rectangle 0 <= y <= 1 over [-1, 2] about x = 0 is
  // a cylinder of radius 2 (volume 4π): [1, 2] plain plus [0, 1] mirrored.
  TreePtr one = tree("1"), zero = tree("0");
  TreePtr plain(kv::BuildShellIntegrand(one.get(), zero.get(), 0, false));
  TreePtr mirrored(kv::BuildShellIntegrand(one.get(), zero.get(), 0, true));
  EXPECT_NEAR(static_cast<double>(Integrate(e, plain.get(), 1, 2) + Integrate(e, mirrored.get(), 0, 1)),
              static_cast<double>(4 * pi), 1e-9);
  // Shifted axis: y = x on [2, 3] about x = 1 (bounds become [1, 2]).
  TreePtr fx = tree("x");
  TreePtr shifted(kv::BuildShellIntegrand(fx.get(), zero.get(), 1, false));
  EXPECT_NEAR(static_cast<double>(Integrate(e, shifted.get(), 1, 2)),
              static_cast<double>(2 * pi * (7.0L / 3 + 1.5L)), 1e-9);  // 2π ∫ u (u+1) du
  // Left of the axis the plain integrand is negative (the caller negates).
  TreePtr left(kv::BuildShellIntegrand(one.get(), zero.get(), 0, false));
  EXPECT_LT(Integrate(e, left.get(), -2, -1), 0);
  // Mirrored strips that only partly overlap: y in [0,1] right, [0.5,2] left.
  TreePtr f2 = tree("1+(1-sgn(x))*0.5"), g2 = tree("(1-sgn(x))*0.25");
  TreePtr both(kv::BuildShellIntegrand(f2.get(), g2.get(), 0, true));
  long double h = 0;
  ASSERT_TRUE(e.EvaluateAt(both.get(), 'x', 0.5, h));
  EXPECT_NEAR(static_cast<double>(h), static_cast<double>(2 * pi * 0.5L * 2), 1e-15);  // union [0, 2]
}

TEST(Calculus, Builders) {
  TFormulaEngine e;
  SetAll(e, {{'x', 0.3}, {'y', -1.1}, {'z', 2}, {'t', 0.7}, {'u', 1.9}});
  auto value = [&](TExprNode* t) {
    EXPECT_TRUE(e.Evaluate(t));
    TreePtr owned(t);
    return t->value.re;
  };
  TreePtr a[3], b[3];
  const char* as[3] = {"x", "y", "z"};
  const char* bs[3] = {"t", "u", "2"};
  for (int i = 0; i < 3; ++i) {
    ASSERT_EQ(e.Compile(as[i], a[i]), kv::kFormulaOk);
    ASSERT_EQ(e.Compile(bs[i], b[i]), kv::kFormulaOk);
  }
  const TExprNode* av[3] = {a[0].get(), a[1].get(), a[2].get()};
  const TExprNode* bv[3] = {b[0].get(), b[1].get(), b[2].get()};
  const long double x = 0.3L, y = -1.1L, z = 2, t = 0.7L, u = 1.9L, w = 2;
  EXPECT_TRUE(Near(value(kv::BuildDotProduct3(av, bv)), x * t + y * u + z * w));
  TExprNode* cross[3];
  kv::BuildCrossProduct(cross, av, bv);
  EXPECT_TRUE(Near(value(cross[0]), y * w - z * u));
  EXPECT_TRUE(Near(value(cross[1]), z * t - x * w));
  EXPECT_TRUE(Near(value(cross[2]), x * u - y * t));
  TExprNode* hypot = kv::BuildHypot3(av[0], av[1], av[2]);
  EXPECT_EQ(hypot->token, kv::tok::Sqrt);
  EXPECT_EQ(hypot->child[0]->child[1]->token, kv::tok::Square);
  EXPECT_TRUE(Near(value(hypot), std::sqrt(x * x + y * y + z * z)));
  EXPECT_TRUE(Near(value(kv::NegateTree(av[0])), -x));
  EXPECT_TRUE(Near(value(kv::BuildQuotient(av[0], av[1])), x / y));
  EXPECT_TRUE(Near(value(kv::BuildSumOfProducts(av[0], av[1], bv[0], bv[1])), x * y + t * u));
  EXPECT_TRUE(Near(value(kv::BuildDifferenceOfProducts(av[0], av[1], bv[0], bv[1])), x * y - t * u));
  TExprNode *px, *py;
  kv::BuildPolarToCartesian(av[2], bv[0], px, py);
  EXPECT_TRUE(Near(value(px), z * std::cos(t)));
  EXPECT_TRUE(Near(value(py), z * std::sin(t)));
  TExprNode *sx, *sy, *sz;
  kv::BuildSphericalToCartesian(av[2], bv[0], bv[1], sx, sy, sz);
  EXPECT_TRUE(Near(value(sx), z * std::sin(u) * std::cos(t)));
  EXPECT_TRUE(Near(value(sy), z * std::sin(u) * std::sin(t)));
  EXPECT_TRUE(Near(value(sz), z * std::cos(u)));
  EXPECT_TRUE(Near(value(kv::BuildLinearInToken(av[0], av[1])), x + y * t));
  // The tangent line of (t², t³) at t0 = 2: x(2) + T·x'(2).
  TreePtr curve, derivative, at;
  ASSERT_EQ(e.Compile("t^3", curve), kv::kFormulaOk);
  ASSERT_TRUE(kv::Differentiate(curve.get(), 't', derivative));
  ASSERT_EQ(e.Compile("2", at), kv::kFormulaOk);
  EXPECT_TRUE(Near(value(kv::BuildPointValueSum(curve.get(), derivative.get(), at.get(), 't', 't')), 8 + t * 12));
  // Builders copy: the operands are unchanged and still evaluate.
  EXPECT_TRUE(Near(value(kv::CloneTree(av[0])), x));
}

}  // namespace
}  // namespace kvtest
