// The number readers, the root finder, the text substitutions and the
// parameter tables.
#include <gtest/gtest.h>

#include <cmath>

#include "formula/parameter_tables.h"
#include "core/constants.h"
#include "formula_test_util.h"

namespace kvtest {
namespace {

using kv::TComplex;
using kv::TFormulaEngine;
using kv::TreePtr;

TEST(NumberReaders, TextToValue) {
  struct Row {
    const char* text;
    int code;
    long double value;
  };
  const Row rows[] = {
      {"2pi", kv::kFormulaOk, 2 * kv::Pi},  // the double π, as everywhere in the program
      {"pi/4", kv::kFormulaOk, kv::Pi / 4},
      {"2*3", kv::kFormulaOk, 6},
      {" 7 ", kv::kFormulaOk, 7},
      {"1e-3", kv::kFormulaOk, 0.001L},
      {"-1.5E+2", kv::kFormulaOk, -150},
      {"+2.5e1", kv::kFormulaOk, 25},
      {"2e", kv::kFormulaOk, 2 * std::exp(1.0L)},  // no exponent digits: 2·E
      {"sqrt(-1)", kv::kFormulaNotUnderstood, 0},
      {"1/0", kv::kFormulaNotUnderstood, 0},
      {"2+3i", kv::kFormulaOk, 2},  // the real part
      {"sin(", kv::kFormulaParentheses, 0},
      {"", kv::kFormulaNotUnderstood, 0},
      {"1e99999", kv::kFormulaNotUnderstood, 0},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.text);
    TFormulaEngine e;
    e.SetComplexMode(true);  // the reader works in real mode and restores the flag
    e.RaiseEvaluationError();
    long double v = -99;
    EXPECT_EQ(e.TextToValue(row.text, v), row.code);
    if (row.code == kv::kFormulaOk) {
      EXPECT_TRUE(Near(v, row.value, 1e-18L)) << static_cast<double>(v);
    } else {
      EXPECT_EQ(v, -99);
    }
    EXPECT_TRUE(e.ComplexMode());
    EXPECT_TRUE(e.EvaluationError());
  }
}

TEST(NumberReaders, BoundedReadersAnswerSeventeenOutsideTheirLimits) {
  struct Row {
    const char* text;
    int lo, hi;
    int code;
    int value;
  };
  const Row rows[] = {
      {"5", 1, 99, kv::kFormulaOk, 5},       {"99", 1, 99, kv::kFormulaOk, 99},
      {"100", 1, 99, kv::kFormulaOutOfBounds, 0}, {"0", 1, 99, kv::kFormulaOutOfBounds, 0},
      {"2pi", 1, 99, kv::kFormulaOk, 6},     {"2.5", 1, 99, kv::kFormulaOk, 2},
      {"-2.5", -9, 9, kv::kFormulaOk, -2},   {"2.51", 1, 99, kv::kFormulaOk, 3},
      {"-10000", -10000, 10000, kv::kFormulaOk, -10000},
      {"40000", -100000, 100000, kv::kFormulaOutOfBounds, 0},  // beyond an i16
      {"sqrt(-1)", 1, 99, kv::kFormulaNotUnderstood, 0},
      {"x(", 1, 99, kv::kFormulaParentheses, 0},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.text);
    TFormulaEngine e;
    std::int16_t s = 77;
    EXPECT_EQ(e.ReadBoundedShort(row.text, row.lo, row.hi, s), row.code);
    EXPECT_EQ(s, row.code == kv::kFormulaOk ? row.value : 77);
  }
  TFormulaEngine e;
  std::int32_t n = 0;
  EXPECT_EQ(e.ReadBoundedInt("40000", 1, 100000, n), kv::kFormulaOk);
  EXPECT_EQ(n, 40000);
  EXPECT_EQ(e.ReadBoundedInt("2^40", 1, 2147483647, n), kv::kFormulaOutOfBounds);
  EXPECT_EQ(e.ReadBoundedInt("1000001", 1, 1000000, n), kv::kFormulaOutOfBounds);
  EXPECT_EQ(n, 40000);
}

TEST(NumberReaders, ValueAndParameter) {
  struct Row {
    const char* text;
    int code;
    long double value;
    int parameter;
  };
  const Row rows[] = {
      {"1.5@B", kv::kFormulaOk, 1.5L, 2},  {"2@A", kv::kFormulaOk, 2, 1},
      {"2@w", kv::kFormulaOk, 2, 23},      {"3", kv::kFormulaOk, 3, 0},
      {"2pi@c", kv::kFormulaOk, 2 * kv::Pi, 3},
      {"4@12", kv::kFormulaOk, 4, 12},     {"4@ 7", kv::kFormulaOk, 4, 7},
      {"1@X", kv::kFormulaOutOfBounds, 0, 0}, {"1@", kv::kFormulaOutOfBounds, 0, 0},
      {"1@AB", kv::kFormulaOutOfBounds, 0, 0}, {"1@-3", kv::kFormulaOutOfBounds, 0, 0},
      {"@A", kv::kFormulaNotUnderstood, 0, 0}, {"(1@A", kv::kFormulaParentheses, 0, 0},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.text);
    TFormulaEngine e;
    long double v = -1;
    int p = -1;
    EXPECT_EQ(e.ReadValueAndParameter(row.text, v, p), row.code);
    if (row.code == kv::kFormulaOk) {
      EXPECT_TRUE(Near(v, row.value));
      EXPECT_EQ(p, row.parameter);
    }
  }
}

TEST(RootFinder, ResultCodesOfBisectRoot) {
  struct Row {
    const char* text;
    long double a, b;
    int code;
    long double x;  // checked for codes 0 and -1
  };
  const Row rows[] = {
      {"x^2-2", 0, 2, kv::kFormulaOk, std::sqrt(2.0L)},
      {"x^2-2", 2, 0, kv::kFormulaOk, std::sqrt(2.0L)},  // ends in either order
      {"x", 0, 1, kv::kFormulaRootAtEnd, 0},
      {"x-1", 0, 1, kv::kFormulaRootAtEnd, 1},
      {"x^2+1", -1, 1, kv::kFormulaNoSignChange, 0},
      {"x^2-4", -3, 3, kv::kFormulaNoSignChange, 0},
      {"sqrt(x)-1", -1, 2, kv::kFormulaNotUnderstood, 0},
      {"1/(x-0.5)", 0, 1, kv::kFormulaNotUnderstood, 0},  // undefined at the midpoint
      {"tan(x)", 1, 2, kv::kFormulaNotFound, 0},          // a pole, not a zero
      {"cos(x)", 0, 3, kv::kFormulaOk, 1.5707963267948966192L},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.text);
    TFormulaEngine e;
    e.bisectTolerance = 1e-15L;
    e.SetVariable('x', 42);
    TreePtr tree;
    ASSERT_EQ(e.Compile(row.text, tree), kv::kFormulaOk);
    long double x = -7;
    EXPECT_EQ(e.BisectRoot(tree.get(), 'x', row.a, row.b, x), row.code);
    if (row.code == kv::kFormulaOk || row.code == kv::kFormulaRootAtEnd) {
      EXPECT_NEAR(static_cast<double>(x), static_cast<double>(row.x), 1e-14);
    }
    EXPECT_EQ(e.Variable('x'), TComplex(42, 0));  // restored
  }
}

TEST(RootFinder, AcceptsTokensIndicesAndLettersAndStopsAtTheTolerance) {
  TFormulaEngine e;
  TreePtr tree;
  ASSERT_EQ(e.Compile("t^3-2", tree), kv::kFormulaOk);
  long double x1 = 0, x2 = 0, x3 = 0;
  e.bisectTolerance = 0.01L;
  EXPECT_EQ(e.BisectRoot(tree.get(), kv::tok::T, 0, 2, x1), kv::kFormulaNotFound);  // |f| > 1e-5 at 0.01
  e.bisectTolerance = 1e-12L;
  EXPECT_EQ(e.BisectRoot(tree.get(), 20, 0, 2, x2), kv::kFormulaOk);
  EXPECT_EQ(e.BisectRoot(tree.get(), 't', 0, 2, x3), kv::kFormulaOk);
  EXPECT_EQ(x2, x3);
  EXPECT_NEAR(static_cast<double>(x2), std::cbrt(2.0), 1e-11);
  e.bisectTolerance = 0;  // never reached: 100 halvings stop it
  EXPECT_EQ(e.BisectRoot(tree.get(), 't', 0, 2, x3), kv::kFormulaOk);
  EXPECT_EQ(e.BisectRoot(nullptr, 't', 0, 2, x3), kv::kFormulaNotUnderstood);
  EXPECT_EQ(e.BisectRoot(tree.get(), 50, 0, 2, x3), kv::kFormulaNotUnderstood);
}

TEST(FormulaTexts, MarkAndReplaceTheRunningLetter) {
  TFormulaEngine e;
  std::string text = "nsin(n)+cos(2n)+int(n)";
  ASSERT_TRUE(e.MarkVariableLetter(text, 'N'));
  EXPECT_EQ(text, "#sin(#)+cos(2#)+int(#)");
  std::string out;
  ASSERT_TRUE(TFormulaEngine::ReplaceMarkedLetters(text, "(3)", 255, out));
  EXPECT_EQ(out, "(3)sin((3))+cos(2(3))+int((3))");
  e.SetVariable('n', 3);
  TComplex a, b;
  ASSERT_TRUE(ValueOf(e, "nsin(n)+cos(2n)+int(n)", a));
  ASSERT_TRUE(ValueOf(e, out, b));
  EXPECT_EQ(a, b);
  EXPECT_FALSE(TFormulaEngine::ReplaceMarkedLetters(text, "(12345)", 20, out));
  std::string none = "sin(x)";
  EXPECT_FALSE(e.MarkVariableLetter(none, 'n'));
  std::string bad = "x$";
  EXPECT_FALSE(e.MarkVariableLetter(bad, 'x'));
}

TEST(FormulaTexts, SubstituteFreeXYZ) {
  struct Row {
    const char* text;
    const char* x;
    const char* y;
    const char* z;
    const char* result;
  };
  const Row rows[] = {
      {"xsin(x)", "u", "", "", "(u)sin((u))"},
      {"2x+exp(x)", "a+b", "", "", "2(a+b)+exp((a+b))"},
      {"xy-z", "y", "x", "", "(y)(x)-z"},  // simultaneous
      {"xx+yy+zz", "", "", "2", "xx+yy+(2)(2)"},
      {"x^2+y", "(1-u)+2u", "t", "", "((1-u)+2u)^2+(t)"},
  };
  for (const Row& row : rows) {
    TFormulaEngine e;
    std::string text = row.text;
    ASSERT_TRUE(e.SubstituteXYZText(text, 255, row.x, row.y, row.z)) << row.text;
    EXPECT_EQ(text, row.result);
  }
  TFormulaEngine e;
  std::string text = "xsin(x)";
  EXPECT_FALSE(e.SubstituteXYZText(text, 8, "uuuu", "", ""));
  EXPECT_EQ(text, "xsin(x)");
}

TEST(ParameterTables, FileBlockRoundTrips) {
  kv::TParameterTables t;
  for (int i = 0; i < 27; ++i) {
    t.lower[i] = TComplex(-i, 0.5L * i);
    t.value[i] = TComplex(i / 7.0L, -i);
    t.upper[i] = TComplex(i * 3, 1);
  }
  for (const bool complexMode : {false, true}) {
    kv::ByteWriter w;
    t.Write(w, complexMode);
    ASSERT_EQ(w.Size(), complexMode ? 1620u : 810u);
    kv::TParameterTables r;
    r.value[30] = TComplex(5, 5);
    kv::ByteReader reader(w.Data());
    ASSERT_TRUE(r.Read(reader, complexMode));
    EXPECT_EQ(reader.Remaining(), 0u);
    for (int i = 0; i < 27; ++i) {
      EXPECT_EQ(r.lower[i], TComplex(t.lower[i].re, complexMode ? t.lower[i].im : 0));
      EXPECT_EQ(r.value[i], TComplex(t.value[i].re, complexMode ? t.value[i].im : 0));
      EXPECT_EQ(r.upper[i], TComplex(t.upper[i].re, complexMode ? t.upper[i].im : 0));
    }
    EXPECT_EQ(r.value[30], TComplex(5, 5));  // the extra variables are not in the file
  }
  // The first entry: 1.0L is 00 00 00 00 00 00 00 80 FF 3F.
  kv::TParameterTables one;
  one.lower[0] = TComplex(1, 0);
  kv::ByteWriter w;
  one.Write(w, false);
  const std::vector<std::uint8_t> head(w.Data().begin(), w.Data().begin() + 10);
  EXPECT_EQ(head, (std::vector<std::uint8_t>{0, 0, 0, 0, 0, 0, 0, 0x80, 0xFF, 0x3F}));
  // A short block fails and changes nothing.
  std::vector<std::uint8_t> cut(w.Data().begin(), w.Data().begin() + 500);
  kv::TParameterTables r;
  r.lower[0] = TComplex(9, 9);
  kv::ByteReader reader(cut);
  EXPECT_FALSE(r.Read(reader, false));
  EXPECT_EQ(r.lower[0], TComplex(9, 9));
}

TEST(ParameterTables, NewDrawingsSetEToE) {
  TFormulaEngine e;
  EXPECT_EQ(e.Variable('E'), TComplex(std::exp(1.0L), 0));
  e.SetVariable('e', 0);
  e.SetNewDrawingDefaults();
  EXPECT_EQ(e.Variable('E'), TComplex(std::exp(1.0L), 0));
}

}  // namespace
}  // namespace kvtest
