// The formula language: every formula text the program itself writes or
// offers compiles and evaluates to the right value; the precedence rules;
// the error codes.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <vector>

#include "formula/compiler.h"
#include "formula/tokens.h"
#include "formula_test_util.h"

namespace kvtest {
namespace {

using kv::TComplex;
using kv::TFormulaEngine;

constexpr long double kPi = 3.141592653589793;  // the formula constant pi (double π)
const long double kE = std::exp(1.0L);

struct Vars {
  long double x = 0.7, y = -1.3, z = 0.4, t = 0.45, u = 1.1, r = 0.8, n = 3;
  long double a = 2, b = 3, c = 1, d = -2, k = 1.5, w = 0.6;
};

struct Row {
  const char* text;
  bool complexMode;
  std::function<Cx(const Vars&)> expected;
};

void Load(TFormulaEngine& e, const Vars& v) {
  SetAll(e, {{'x', v.x}, {'y', v.y}, {'z', v.z}, {'t', v.t}, {'u', v.u}, {'r', v.r}, {'n', v.n},
             {'a', v.a}, {'b', v.b}, {'c', v.c}, {'d', v.d}, {'k', v.k}, {'w', v.w}});
}

// Default texts of the equation commands, texts built by the tools, the quiz
// families and generated quiz tasks, the number texts the dialogs start with.
const std::vector<Row>& Rows() {
  using std::sin, std::cos, std::tan, std::log, std::sqrt, std::pow, std::fabs;
  static const std::vector<Row> rows = {
      // 2D equations
      {"xsin(x)", false, [](const Vars& v) { return Cx(v.x * sin(v.x)); }},
      {"3cos(3t)", false, [](const Vars& v) { return Cx(3 * cos(3 * v.t)); }},
      {"3sin(4t)", false, [](const Vars& v) { return Cx(3 * sin(4 * v.t)); }},
      {"3cos(2t)", false, [](const Vars& v) { return Cx(3 * cos(2 * v.t)); }},
      {"xx+yy=13", false, [](const Vars& v) { return Cx(v.x * v.x + v.y * v.y - 13); }},
      {"x^2+y^2=1", false, [](const Vars& v) { return Cx(v.x * v.x + v.y * v.y - 1); }},
      {"1+abs(x)-y", false, [](const Vars& v) { return Cx(1 + fabs(v.x) - v.y); }},
      {"x", false, [](const Vars& v) { return Cx(v.x); }},
      {"x-y", false, [](const Vars& v) { return Cx(v.x - v.y); }},
      {"xx-yy", false, [](const Vars& v) { return Cx(v.x * v.x - v.y * v.y); }},
      {"2xy", false, [](const Vars& v) { return Cx(2 * v.x * v.y); }},
      {"(0.9+0.1i)z", true,
       [](const Vars& v) { return Cx(0.9L, 0.1L) * Cx(v.x, v.y); }},  // z = x + iy
      {"2.0+1.6i", false, [](const Vars&) { return Cx(2, 1.6L); }},
      {"2pi", false, [](const Vars&) { return Cx(2 * kPi); }},
      {"pi/3", false, [](const Vars&) { return Cx(kPi / 3); }},
      {"pi/4", false, [](const Vars&) { return Cx(kPi / 4); }},
      {"pi", false, [](const Vars&) { return Cx(kPi); }},
      {"-1.5", false, [](const Vars&) { return Cx(-1.5L); }},
      {"3.0", false, [](const Vars&) { return Cx(3); }},
      {"3.5", false, [](const Vars&) { return Cx(3.5L); }},
      {"1.0", false, [](const Vars&) { return Cx(1); }},
      {"2.54", false, [](const Vars&) { return Cx(2.54L); }},
      {"1.732", false, [](const Vars&) { return Cx(1.732L); }},
      {"3.141", false, [](const Vars&) { return Cx(3.141L); }},
      {"1.047", false, [](const Vars&) { return Cx(1.047L); }},
      {"0.785", false, [](const Vars&) { return Cx(0.785L); }},
      {"2*3", false, [](const Vars&) { return Cx(6); }},
      {"0.0", false, [](const Vars&) { return Cx(0); }},
      {"x-y", false, [](const Vars& v) { return Cx(v.x - v.y); }},
      // a number written back by the program, "%15.14Lf"
      {"2.54000000000000", false, [](const Vars&) { return Cx(2.54L); }},
      {"  -0.50000000000000", false, [](const Vars&) { return Cx(-0.5L); }},
      // 3D equations and mappings
      {"sin(xx+yy)/(xx+yy)", false,
       [](const Vars& v) { long double s = v.x * v.x + v.y * v.y; return Cx(sin(s) / s); }},
      {"rrrcos(3t)/(1+rrrr)", false,
       [](const Vars& v) { return Cx(v.r * v.r * v.r * cos(3 * v.t) / (1 + v.r * v.r * v.r * v.r)); }},
      {"sin(u)cos(t)", false, [](const Vars& v) { return Cx(sin(v.u) * cos(v.t)); }},
      {"sin(u)sin(t)", false, [](const Vars& v) { return Cx(sin(v.u) * sin(v.t)); }},
      {"cos(u)", false, [](const Vars& v) { return Cx(cos(v.u)); }},
      {"1.0+0.25sin(3u)", false, [](const Vars& v) { return Cx(1 + 0.25L * sin(3 * v.u)); }},
      {"cos(7t)", false, [](const Vars& v) { return Cx(cos(7 * v.t)); }},
      {"sin(7t)", false, [](const Vars& v) { return Cx(sin(7 * v.t)); }},
      {"t", false, [](const Vars& v) { return Cx(v.t); }},
      {"xx+yy+zz=4", false,
       [](const Vars& v) { return Cx(v.x * v.x + v.y * v.y + v.z * v.z - 4); }},
      {"0.3", false, [](const Vars&) { return Cx(0.3L); }},
      {"2.718", false, [](const Vars&) { return Cx(2.718L); }},
      {"1.618", false, [](const Vars&) { return Cx(1.618L); }},
      {"3.142", false, [](const Vars&) { return Cx(3.142L); }},
      {"0.577", false, [](const Vars&) { return Cx(0.577L); }},
      {"2.0", false, [](const Vars&) { return Cx(2); }},
      {"1.00", false, [](const Vars&) { return Cx(1); }},
      {"0.00", false, [](const Vars&) { return Cx(0); }},
      {"10y-10x", false, [](const Vars& v) { return Cx(10 * v.y - 10 * v.x); }},
      {"28x-y-xz", false, [](const Vars& v) { return Cx(28 * v.x - v.y - v.x * v.z); }},
      {"xy-8z/3", false, [](const Vars& v) { return Cx(v.x * v.y - 8 * v.z / 3); }},
      {"0.96x-0.28y", false, [](const Vars& v) { return Cx(0.96L * v.x - 0.28L * v.y); }},
      {"0.28x+0.96y", false, [](const Vars& v) { return Cx(0.28L * v.x + 0.96L * v.y); }},
      {"z+0.01", false, [](const Vars& v) { return Cx(v.z + 0.01L); }},
      {"2x-y", false, [](const Vars& v) { return Cx(2 * v.x - v.y); }},
      {"x+y", false, [](const Vars& v) { return Cx(v.x + v.y); }},
      {"zz", true, [](const Vars& v) { return Cx(v.x, v.y) * Cx(v.x, v.y); }},
      {"n", false, [](const Vars& v) { return Cx(v.n); }},
      {"cis(2pi*n/17)", false,
       [](const Vars& v) { long double a = 2 * kPi * v.n / 17; return Cx(cos(a), sin(a)); }},
      {"k", false, [](const Vars& v) { return Cx(v.k); }},
      // texts built by the tools around other texts
      {"(1.0+0.25sin(3u))sin(u)cos(t)", false,
       [](const Vars& v) { return Cx((1 + 0.25L * sin(3 * v.u)) * sin(v.u) * cos(v.t)); }},
      {"(2)sin(t)cos(pi/4)", false, [](const Vars& v) { return Cx(2 * sin(v.t) * cos(kPi / 4)); }},
      {"(0.8)sin(t)sin(w)", false, [](const Vars& v) { return Cx(0.8L * sin(v.t) * sin(v.w)); }},
      {"(sin(x)-(x^2))^2", false,
       [](const Vars& v) { long double s = sin(v.x) - v.x * v.x; return Cx(s * s); }},
      {"(sin(x)-(x^2))(0.5)", false, [](const Vars& v) { return Cx((sin(v.x) - v.x * v.x) * 0.5L); }},
      {"0.5(sin(x)+x^2)", false, [](const Vars& v) { return Cx(0.5L * (sin(v.x) + v.x * v.x)); }},
      {"t(sin(x))+(1-t)(x^2)", false,
       [](const Vars& v) { return Cx(v.t * sin(v.x) + (1 - v.t) * v.x * v.x); }},
      {"t*sqrt(0.75)", false, [](const Vars& v) { return Cx(v.t * sqrt(0.75L)); }},
      {"t*sqrt(0.75)(sin(x)-(x^2))", false,
       [](const Vars& v) { return Cx(v.t * sqrt(0.75L) * (sin(v.x) - v.x * v.x)); }},
      {"0.5(sin(x)+x^2)+0.5(sin(x)-(x^2))cos(t)", false,
       [](const Vars& v) {
         return Cx(0.5L * (sin(v.x) + v.x * v.x) + 0.5L * (sin(v.x) - v.x * v.x) * cos(v.t));
       }},
      {"(-1(1-u)+2u)", false, [](const Vars& v) { return Cx(-1 * (1 - v.u) + 2 * v.u); }},
      {"(a(1-u)+bu)", false, [](const Vars& v) { return Cx(v.a * (1 - v.u) + v.b * v.u); }},
      {"-(x^2)", false, [](const Vars& v) { return Cx(-v.x * v.x); }},
      // quiz families (with the letters as parameters) and generated tasks
      {"a*sin(bx) + c", false, [](const Vars& v) { return Cx(v.a * sin(v.b * v.x) + v.c); }},
      {"a*cos(bx) + c", false, [](const Vars& v) { return Cx(v.a * cos(v.b * v.x) + v.c); }},
      {"tan(bx) + c", false, [](const Vars& v) { return Cx(tan(v.b * v.x) + v.c); }},
      {"a*sec(bx) + c", false, [](const Vars& v) { return Cx(v.a / cos(v.b * v.x) + v.c); }},
      {"a*csc(bx) + c", false, [](const Vars& v) { return Cx(v.a / sin(v.b * v.x) + v.c); }},
      {"cot(bx) + c", false, [](const Vars& v) { return Cx(cos(v.b * v.x) / sin(v.b * v.x) + v.c); }},
      {"a*b^(x-c) + d", false, [](const Vars& v) { return Cx(v.a * pow(v.b, v.x - v.c) + v.d); }},
      {"log(x - c) + d", false, [](const Vars& v) { return Cx(log(v.x - v.c) + v.d); }},
      {"log(c - x) + d", false, [](const Vars& v) { return Cx(log(v.c - v.x) + v.d); }},
      {"x^(a/b) + c", false, [](const Vars& v) { return Cx(pow(v.x, v.a / v.b) + v.c); }},
      {"(z/n)(x-a)(x-a) + b", false,
       [](const Vars& v) { return Cx(v.z / v.n * (v.x - v.a) * (v.x - v.a) + v.b); }},
      {"(x-1)(x-2)(x+1)", false, [](const Vars& v) { return Cx((v.x - 1) * (v.x - 2) * (v.x + 1)); }},
      {"(x-1)(x-2)/(x+1)", false, [](const Vars& v) { return Cx((v.x - 1) * (v.x - 2) / (v.x + 1)); }},
      {"abs( (x-1)(x+2) )", false, [](const Vars& v) { return Cx(fabs((v.x - 1) * (v.x + 2))); }},
      {"(3/2)(x+4)(x-1)(x-1)", false,
       [](const Vars& v) { return Cx(1.5L * (v.x + 4) * (v.x - 1) * (v.x - 1)); }},
      {"-(3/2)abs(x+1)", false, [](const Vars& v) { return Cx(-1.5L * fabs(v.x + 1)); }},
      {"b-(z/n)(x-a)(x-a)", false,
       [](const Vars& v) { return Cx(v.b - v.z / v.n * (v.x - v.a) * (v.x - v.a)); }},
      {"-2sin(3x)+1", false, [](const Vars& v) { return Cx(-2 * sin(3 * v.x) + 1); }},
      {"-sin(2x)+1", false, [](const Vars& v) { return Cx(-sin(2 * v.x) + 1); }},
      {"tan(2x)-3", false, [](const Vars& v) { return Cx(tan(2 * v.x) - 3); }},
      {"2*3^(x-1)+2", false, [](const Vars& v) { return Cx(2 * pow(3.0L, v.x - 1) + 2); }},
      {"-2^x-3", false, [](const Vars& v) { return Cx(-pow(2.0L, v.x) - 3); }},
      {"2-log(x+3)/log(2)", false, [](const Vars& v) { return Cx(2 - log(v.x + 3) / log(2.0L)); }},
      {"log(abs(x+1))/log(3)", false, [](const Vars& v) { return Cx(log(fabs(v.x + 1)) / log(3.0L)); }},
      {"pow(3,root(2,x+1))-2", false, [](const Vars& v) { return Cx(pow(sqrt(v.x + 1), 3) - 2); }},
      {"pow(2,root(3,x-4))+1", false,
       [](const Vars& v) { long double c = -std::cbrt(4 - v.x); return Cx(c * c + 1); }},
      {"(1/2)abs(x+2)", false, [](const Vars& v) { return Cx(0.5L * fabs(v.x + 2)); }},
      {"abs(x-1)", false, [](const Vars& v) { return Cx(fabs(v.x - 1)); }},
      {"1/(x-2)", false, [](const Vars& v) { return Cx(1 / (v.x - 2)); }},
      // the benchmark formulas
      {"x^2+y^2", false, [](const Vars& v) { return Cx(v.x * v.x + v.y * v.y); }},
      {"sqrt(x^2+y^2)", false, [](const Vars& v) { return Cx(sqrt(v.x * v.x + v.y * v.y)); }},
      {"pow(3,x)", false, [](const Vars& v) { return Cx(v.x * v.x * v.x); }},
      {"root(3,x)", false, [](const Vars& v) { return Cx(std::cbrt(v.x)); }},
      {"tan(x)", false, [](const Vars& v) { return Cx(tan(v.x)); }},
      // parameter E is e in every new drawing
      {"e", false, [](const Vars&) { return Cx(kE); }},
  };
  return rows;
}

TEST(FormulaLanguage, EveryTextOfTheProgramCompilesAndEvaluates) {
  for (const Row& row : Rows()) {
    SCOPED_TRACE(row.text);
    TFormulaEngine e;
    Vars v;
    if (std::string_view(row.text) == "log(x - c) + d") v.x += 1.5L;  // inside its domain
    Load(e, v);
    e.SetComplexMode(row.complexMode);
    if (row.complexMode) e.SetPoint(v.x, v.y);  // z = x + iy
    TComplex value;
    ASSERT_TRUE(ValueOf(e, AsDifference(row.text), value));
    const Cx expected = row.expected(v);
    EXPECT_TRUE(Near(value, expected, 1e-14L))
        << "got " << static_cast<double>(value.re) << " + " << static_cast<double>(value.im)
        << "i, want " << static_cast<double>(expected.real()) << " + "
        << static_cast<double>(expected.imag()) << "i";
  }
}

// Block evaluation of every text gives the point-by-point values bit for bit,
// over x, over t, and over x and y together.
TEST(FormulaLanguage, EveryTextEvaluatesAlikeInBlocks) {
  std::vector<long double> xs, ys;
  for (int i = 0; i < 300; ++i) {
    xs.push_back(-5 + i / 30.0L);
    ys.push_back(2 - i / 70.0L);
  }
  for (const Row& row : Rows()) {
    SCOPED_TRACE(row.text);
    TFormulaEngine e;
    Load(e, Vars{});
    e.SetComplexMode(row.complexMode);
    kv::TreePtr tree;
    ASSERT_EQ(e.Compile(AsDifference(row.text), tree), kv::kFormulaOk);
    EXPECT_EQ(BlockDiffersFromLoop(e, tree.get(), 'x', xs), "");
    EXPECT_EQ(BlockDiffersFromLoop(e, tree.get(), 't', xs), "");
    EXPECT_EQ(BlockDiffersFromLoop(e, tree.get(), 'x', xs, 'y', ys), "");
  }
}

TEST(FormulaLanguage, TheSeventeenGonSumClosesAtTheOrigin) {
  TFormulaEngine e;
  kv::TreePtr term;
  ASSERT_EQ(e.Compile("cis(2pi*n/17)", term), kv::kFormulaOk);
  Cx sum = 0;
  for (int n = 1; n <= 17; ++n) {
    e.SetVariable('n', n);
    ASSERT_TRUE(e.Evaluate(term.get()));
    sum += Cx(term->value.re, term->value.im);
  }
  EXPECT_LT(std::abs(sum), 1e-14L);
}

struct PrecedenceRow {
  const char* text;
  long double x;
  long double expected;
};

TEST(FormulaLanguage, PrecedenceAndJuxtaposition) {
  const PrecedenceRow rows[] = {
      {"-x^2", 3, -9},         {"2^3^2", 0, 512},       {"1/2x", 4, 2},
      {"2x^2", 3, 18},         {"-2^2", 0, -4},         {"2^-1", 0, 0.5L},
      {"x-2x", 1, -1},         {"(x-1)(x+1)", 3, 8},    {"2*-3", 0, -6},
      {"--2", 0, 2},           {"+2", 0, 2},            {"x^2x", 3, 27},
      {"2(3)", 0, 6},          {"rrr", 0, 0},           {"SIN(X)+Cos(x)", 0.5L, std::sin(0.5L) + std::cos(0.5L)},
      {"PI", 0, kPi},          {"pix", 2, 2 * kPi},     {"2e3", 0, 6 * kE},
      {"x/2pi", 1, kPi / 2},   {"2 x", 3, 6},           {"3/4/5", 0, 0.15L},
      {"2-3-4", 0, -5},        {"ln(x)-log(x)", 3, 0},  {".5x", 4, 2},
      {"5.", 0, 5},            {"-(-x)", 7, 7},         {"2^(1+1)x", 3, 12},
  };
  for (const PrecedenceRow& row : rows) {
    SCOPED_TRACE(row.text);
    TFormulaEngine e;
    e.SetVariable('x', row.x);
    TComplex value;
    ASSERT_TRUE(ValueOf(e, row.text, value));
    EXPECT_TRUE(Near(value.re, row.expected, 1e-17L)) << static_cast<double>(value.re);
    EXPECT_EQ(value.im, 0);
  }
}

TEST(FormulaLanguage, ImaginaryLiteralsAndTheLetterI) {
  TFormulaEngine e;
  e.SetVariable('i', 5);
  TComplex v;
  ASSERT_TRUE(ValueOf(e, "2i*2i", v));
  EXPECT_EQ(v, TComplex(-4, 0));
  ASSERT_TRUE(ValueOf(e, "i", v));  // a bare i is the parameter I
  EXPECT_EQ(v, TComplex(5, 0));
  ASSERT_TRUE(ValueOf(e, "2ix", v));  // 2i times x
  EXPECT_EQ(v, TComplex(0, 0));
  e.SetVariable('x', 3);
  ASSERT_TRUE(ValueOf(e, "2ix", v));
  EXPECT_EQ(v, TComplex(0, 6));
  ASSERT_TRUE(ValueOf(e, "2int(x)", v));  // "int" is a name, not 2i·n·t
  EXPECT_EQ(v, TComplex(6, 0));
  e.SetVariable('@', 1.25);
  ASSERT_TRUE(ValueOf(e, "@+1", v));
  EXPECT_EQ(v, TComplex(2.25, 0));
}

TEST(FormulaLanguage, TokensCarryTheProgramsCodes) {
  TFormulaEngine e;
  kv::TreePtr tree;
  ASSERT_EQ(e.Compile("xsin(x)", tree), kv::kFormulaOk);
  EXPECT_EQ(tree->token, 42);
  EXPECT_EQ(tree->child[0]->token, 88);
  EXPECT_EQ(tree->child[1]->token, 142);
  EXPECT_EQ(tree->child[1]->child[0]->token, 88);
  ASSERT_EQ(e.Compile("abs(t)-cos(u)+2", tree), kv::kFormulaOk);
  EXPECT_EQ(tree->token, 43);
  EXPECT_EQ(tree->child[0]->token, 45);
  EXPECT_EQ(tree->child[0]->child[0]->token, 139);
  EXPECT_EQ(tree->child[0]->child[0]->child[0]->token, 84);
  EXPECT_EQ(tree->child[0]->child[1]->token, 130);
  EXPECT_EQ(tree->child[1]->token, 35);
  ASSERT_EQ(e.Compile("sqrt(r)", tree), kv::kFormulaOk);
  EXPECT_EQ(tree->token, 251);
  EXPECT_EQ(tree->child[0]->token, 82);
}

struct ErrorRow {
  const char* text;
  int code;
  int position;  // -1: not checked
};

TEST(FormulaLanguage, ErrorCodesAndPositions) {
  const ErrorRow rows[] = {
      {"sin(x", kv::kFormulaParentheses, -1},
      {"(x))", kv::kFormulaParentheses, 3},
      {")(", kv::kFormulaParentheses, 0},
      {"((x)", kv::kFormulaParentheses, -1},
      {"sin(x,y)", kv::kFormulaArgumentCount, 0},
      {"2+root(3)", kv::kFormulaArgumentCount, 2},
      {"pow(1,2,3)", kv::kFormulaArgumentCount, 0},
      {"sin()", kv::kFormulaArgumentCount, 0},
      {"cis(1,2)", kv::kFormulaArgumentCount, 0},
      {"", kv::kFormulaNotUnderstood, -1},
      {"   ", kv::kFormulaNotUnderstood, -1},
      {"x+", kv::kFormulaNotUnderstood, 2},
      {"*x", kv::kFormulaNotUnderstood, 0},
      {"2$", kv::kFormulaNotUnderstood, 1},
      {"sinx", kv::kFormulaNotUnderstood, 3},
      {"sin", kv::kFormulaNotUnderstood, 3},
      {"x=1", kv::kFormulaNotUnderstood, 1},
      {"1.618,3.142,1.414", kv::kFormulaNotUnderstood, 5},
      {"1.2.3", kv::kFormulaNotUnderstood, 3},
      {"2..5", kv::kFormulaNotUnderstood, 2},
      {"x;y", kv::kFormulaNotUnderstood, 1},
      {"(1,2)", kv::kFormulaNotUnderstood, 2},
      {"sin(,x)", kv::kFormulaNotUnderstood, 4},
      {"x^", kv::kFormulaNotUnderstood, 2},
      {"2^*3", kv::kFormulaNotUnderstood, 2},
      {"\xc3\xa4", kv::kFormulaNotUnderstood, 0},
      {"sqrt", kv::kFormulaNotUnderstood, 4},
  };
  for (const ErrorRow& row : rows) {
    SCOPED_TRACE(row.text);
    TFormulaEngine e;
    EXPECT_EQ(e.Compile(row.text), row.code);
    EXPECT_EQ(e.TakeCompiledTree(), nullptr);
    if (row.position >= 0) {
      EXPECT_EQ(e.LastErrorPosition(), row.position);
    }
  }
}

// Two or more letters directly before "(" must end in a known name;
// otherwise a misspelt function would silently draw a product.
TEST(FormulaLanguage, UnknownNamesBeforeABracketAreNotUnderstood) {
  const struct {
    const char* text;
    int code;
    int position;
  } rows[] = {
      {"xsin(x)", kv::kFormulaOk, -1},
      {"rrrcos(3t)", kv::kFormulaOk, -1},
      {"a(x+1)", kv::kFormulaOk, -1},
      {"2pi(x)", kv::kFormulaOk, -1},
      {"2x(x+1)", kv::kFormulaOk, -1},
      {"xx (x+1)", kv::kFormulaOk, -1},  // not directly before the bracket
      {"(x-1)(x+1)", kv::kFormulaOk, -1},
      {"xsq(x)", kv::kFormulaOk, -1},  // ends in the user function "sq"
      {"foo(x)", kv::kFormulaNotUnderstood, 0},
      {"sqr(x)", kv::kFormulaNotUnderstood, 0},
      {"wurzel(x)", kv::kFormulaNotUnderstood, 0},
      {"1+xx(x+1)", kv::kFormulaNotUnderstood, 2},
      {"sinx(x)", kv::kFormulaNotUnderstood, 0},
      {"WURZEL(2)", kv::kFormulaNotUnderstood, 0},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.text);
    TFormulaEngine e;
    ASSERT_EQ(e.DefineUserFunction("sq", 1, "x^2+1"), kv::kFormulaOk);
    EXPECT_EQ(e.Compile(row.text), row.code);
    if (row.position >= 0) {
      EXPECT_EQ(e.LastErrorPosition(), row.position);
    }
  }
}

TEST(FormulaLanguage, CompileLeavesTheTreeForTheCaller) {
  TFormulaEngine e;
  ASSERT_EQ(e.Compile("x+1"), kv::kFormulaOk);
  kv::TExprNode* tree = e.TakeCompiledTree();
  ASSERT_NE(tree, nullptr);
  EXPECT_EQ(e.TakeCompiledTree(), nullptr);
  e.SetVariable('x', 2);
  ASSERT_TRUE(e.Evaluate(tree));
  EXPECT_EQ(tree->value, TComplex(3, 0));
  kv::FreeTree(tree);
  ASSERT_EQ(e.Compile("x+2"), kv::kFormulaOk);
  ASSERT_EQ(e.Compile("x+3"), kv::kFormulaOk);  // the untaken tree is freed
  kv::TreePtr last(e.TakeCompiledTree());
  ASSERT_TRUE(e.Evaluate(last.get()));
  EXPECT_EQ(last->value, TComplex(5, 0));
}

TEST(FormulaLanguage, LimitsAnswerTooBig) {
  TFormulaEngine e;
  EXPECT_EQ(e.Compile(std::string(300, '(') + "x" + std::string(300, ')')), kv::kFormulaTooBig);
  EXPECT_EQ(e.Compile(std::string(500, '-') + "x"), kv::kFormulaTooBig);
  std::string sum = "x";
  for (int i = 0; i < 2000; ++i) sum += "+x";
  EXPECT_EQ(e.Compile(sum), kv::kFormulaTooBig);
  EXPECT_EQ(e.Compile(std::string(150, '(') + "x" + std::string(150, ')')), kv::kFormulaOk);
  EXPECT_EQ(e.Compile("1" + std::string(6000, '0')), kv::kFormulaNotUnderstood);
}

}  // namespace
}  // namespace kvtest
