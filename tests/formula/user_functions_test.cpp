// User-defined functions: definition and calls, protected names, recursion,
// and their 77-byte file records.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <utility>
#include <string>
#include <vector>

#include "formula_test_util.h"

namespace kvtest {
namespace {

using kv::TComplex;
using kv::TFormulaEngine;

TEST(UserFunctions, CallsWithOneToThreeArguments) {
  TFormulaEngine e;
  ASSERT_EQ(e.DefineUserFunction("sq", 1, "x^2+1"), kv::kFormulaOk);
  ASSERT_EQ(e.DefineUserFunction("hyp", 2, "sqrt(xx+yy)"), kv::kFormulaOk);
  ASSERT_EQ(e.DefineUserFunction("Mix3", 3, "x+y*z"), kv::kFormulaOk);
  ASSERT_EQ(e.DefineUserFunction("sw", 2, "x-y"), kv::kFormulaOk);
  ASSERT_EQ(e.DefineUserFunction("sqa", 1, "x+a"), kv::kFormulaOk);  // longer name than sq
  SetAll(e, {{'x', 1}, {'y', 5}, {'a', 10}});
  struct Row {
    const char* text;
    long double value;
  };
  const Row rows[] = {
      {"sq(3)", 10},           {"SQ(x+1)", 5},         {"hyp(3,4)", 5},
      {"mix3(1,2,3)", 7},      {"sw(y,x)", 4},         {"sw(x,y)", -4},
      {"2sq(2)x", 10},         {"sq(sq(1))", 5},       {"sqa(1)", 11},
      {"hyp(sq(0),0)+y", 6},
  };
  for (const Row& row : rows) {
    TComplex v;
    ASSERT_TRUE(ValueOf(e, row.text, v)) << row.text;
    EXPECT_EQ(v, TComplex(row.value, 0)) << row.text;
  }
  EXPECT_EQ(e.Compile("sq(1,2)"), kv::kFormulaArgumentCount);
  EXPECT_EQ(e.Compile("hyp(1)"), kv::kFormulaArgumentCount);
  EXPECT_EQ(e.Compile("sq"), kv::kFormulaNotUnderstood);
  EXPECT_EQ(e.DescribeUserFunction(0), "sq(X) = x^2+1");
  EXPECT_EQ(e.DescribeUserFunction(1), "hyp(X,Y) = sqrt(xx+yy)");
  EXPECT_EQ(e.DescribeUserFunction(2), "Mix3(X,Y,Z) = x+y*z");
}

TEST(UserFunctions, DefinitionsAreChecked) {
  TFormulaEngine e;
  const std::string tooLong(56, 'x');
  struct Row {
    const char* name;
    int args;
    const char* formula;
    int code;
  };
  const Row rows[] = {
      {"sin", 1, "x", kv::kFormulaNameTaken},       {"PI", 1, "x", kv::kFormulaNameTaken},
      {"ln", 1, "x", kv::kFormulaNameTaken},        {"psi", 1, "x", kv::kFormulaNameTaken},
      {"f", 1, "x", kv::kFormulaNameTaken},         {"1f", 1, "x", kv::kFormulaNotUnderstood},
      {"f-g", 1, "x", kv::kFormulaNotUnderstood},   {"averylongname", 1, "x", kv::kFormulaNotUnderstood},
      {"fa", 0, "x", kv::kFormulaArgumentCount},    {"fa", 4, "x", kv::kFormulaArgumentCount},
      {"fa", 1, "", kv::kFormulaNotUnderstood},     {"fa", 1, "sin(x", kv::kFormulaParentheses},
      {"fa", 1, tooLong.c_str(), kv::kFormulaTooBig},
      {"fa", 1, "fa(x)+1", kv::kFormulaRecursive},  {"fa", 1, "x+1", kv::kFormulaOk},
      {"fa", 1, "x+2", kv::kFormulaNameTaken},      // exists; no replace asked
      {"FA", 2, "x", kv::kFormulaNameTaken},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(e.DefineUserFunction(row.name, row.args, row.formula), row.code) << row.name << " " << row.formula;
  }
  EXPECT_EQ(e.UserFunctions().Count(), 1);
  EXPECT_EQ(e.DefineUserFunction("fa", 2, "x*y", /*replace=*/true), kv::kFormulaOk);
  TComplex v;
  ASSERT_TRUE(ValueOf(e, "fa(3,4)", v));
  EXPECT_EQ(v, TComplex(12, 0));
  EXPECT_EQ(e.DeleteUserFunction("nothere"), kv::kFormulaNotFound);
  EXPECT_EQ(e.DeleteUserFunction("FA"), kv::kFormulaOk);
  EXPECT_EQ(e.UserFunctions().Count(), 0);
}

TEST(UserFunctions, RecursionIsRefused) {
  TFormulaEngine e;
  ASSERT_EQ(e.DefineUserFunction("ga", 1, "x+1"), kv::kFormulaOk);
  ASSERT_EQ(e.DefineUserFunction("gb", 1, "ga(x)*2"), kv::kFormulaOk);
  // ga is used by gb: it may not change (which could close a cycle).
  EXPECT_EQ(e.DefineUserFunction("ga", 1, "gb(x)", true), kv::kFormulaNameTaken);
  EXPECT_EQ(e.DeleteUserFunction("ga"), kv::kFormulaNameTaken);
  EXPECT_EQ(e.DefineUserFunction("gc", 1, "gc(x-1)"), kv::kFormulaRecursive);
  // gb is free: redefining it to call itself through ga is still recursion.
  EXPECT_EQ(e.DefineUserFunction("gb", 1, "gb(x)+ga(x)", true), kv::kFormulaRecursive);
  // A cycle read from a file cannot hang the compiler.
  kv::ByteWriter w;
  w.I16(2);
  for (const auto& [name, formula] : {std::pair{"ha", "hb(x)"}, std::pair{"hb", "ha(x)+1"}}) {
    w.FixedAnsi(name, 11);
    w.FixedAnsi(formula, 56);
    w.I16(1);
    w.Zeros(8);
  }
  kv::ByteReader r(w.Data());
  ASSERT_TRUE(e.ReadUserFunctions(r));
  EXPECT_EQ(e.Compile("ha(1)"), kv::kFormulaRecursive);
  EXPECT_EQ(e.Compile("hb(1)+2"), kv::kFormulaRecursive);
}

TEST(UserFunctions, ExpansionBeyondTheLimitsIsTooBig) {
  TFormulaEngine e;
  ASSERT_EQ(e.DefineUserFunction("q0", 1, "x*x"), kv::kFormulaOk);
  int code = kv::kFormulaOk;
  int level = 0;
  while (code == kv::kFormulaOk && level < 40) {
    const std::string name = "q" + std::to_string(level + 1);
    const std::string prev = "q" + std::to_string(level);
    code = e.DefineUserFunction(name, 1, prev + "(x)*" + prev + "(x)");
    ++level;
  }
  EXPECT_EQ(code, kv::kFormulaTooBig);
  EXPECT_LT(level, 20);
  // The largest function that fits, called on itself: measured, not built.
  const std::string top = "q" + std::to_string(level - 1);
  EXPECT_EQ(e.Compile(top + "(" + top + "(x))"), kv::kFormulaTooBig);
  EXPECT_EQ(e.Compile(top + "(x)"), kv::kFormulaOk);
}

TEST(UserFunctions, ProtectedNames) {
  TFormulaEngine e;
  ASSERT_EQ(e.DefineUserFunction("fn", 1, "x^2"), kv::kFormulaOk);
  ASSERT_EQ(e.DefineUserFunction("gg", 1, "x+1"), kv::kFormulaOk);
  e.CollectProtectedNames({"fn(x)+1", "xsin(x)", "abc", "cos(x)"});
  const std::vector<std::string>& names = e.ProtectedNames();
  EXPECT_NE(std::find(names.begin(), names.end(), "fn"), names.end());
  EXPECT_NE(std::find(names.begin(), names.end(), "sin"), names.end());
  EXPECT_EQ(std::find(names.begin(), names.end(), "gg"), names.end());
  struct Row {
    const char* name;
    bool isProtected;
  };
  const Row rows[] = {
      {"fn", true},    {"FN", true},  {"cos", true}, {"x", true},
      {"xs", true},    // "xsin(x)" would read as xs·i·n·(x)
      {"ab", true},    // "abc" would read as ab·c
      {"gg", false},   {"qq", false}, {"co", false},  // "cos" stays the longer name
  };
  for (const Row& row : rows) EXPECT_EQ(e.IsProtectedName(row.name), row.isProtected) << row.name;
  EXPECT_EQ(e.DefineUserFunction("fn", 1, "x^3", true), kv::kFormulaNameTaken);
  EXPECT_EQ(e.DeleteUserFunction("fn"), kv::kFormulaNameTaken);
  EXPECT_EQ(e.DefineUserFunction("xs", 1, "x"), kv::kFormulaNameTaken);
  EXPECT_EQ(e.DefineUserFunction("gg", 1, "x+2", true), kv::kFormulaOk);
  EXPECT_EQ(e.DefineUserFunction("qq", 1, "x"), kv::kFormulaOk);
  // Once the drawing no longer uses fn, it may change.
  e.CollectProtectedNames({"xsin(x)"});
  EXPECT_EQ(e.DefineUserFunction("fn", 1, "x^3", true), kv::kFormulaOk);
}

std::vector<std::uint8_t> Record(const std::string& name, const std::string& formula, std::int16_t args) {
  std::vector<std::uint8_t> r(77, 0);
  std::copy(name.begin(), name.end(), r.begin());
  std::copy(formula.begin(), formula.end(), r.begin() + 11);
  r[67] = static_cast<std::uint8_t>(args & 0xFF);
  r[68] = static_cast<std::uint8_t>((args >> 8) & 0xFF);
  return r;
}

TEST(UserFunctions, RecordsRoundTripAsGoldenBytes) {
  TFormulaEngine e;
  ASSERT_EQ(e.DefineUserFunction("fn", 1, "x^2+1"), kv::kFormulaOk);
  ASSERT_EQ(e.DefineUserFunction("g2", 3, "x+y+z"), kv::kFormulaOk);
  kv::ByteWriter w;
  e.WriteUserFunctions(w);
  std::vector<std::uint8_t> golden = {2, 0};
  for (const auto& r : {Record("fn", "x^2+1", 1), Record("g2", "x+y+z", 3)}) golden.insert(golden.end(), r.begin(), r.end());
  EXPECT_EQ(w.Data(), golden);
  EXPECT_EQ(w.Size(), 2u + 2 * 77);

  TFormulaEngine back;
  ASSERT_EQ(back.DefineUserFunction("old", 1, "x"), kv::kFormulaOk);
  kv::ByteReader r(golden);
  ASSERT_TRUE(back.ReadUserFunctions(r));
  EXPECT_EQ(r.Remaining(), 0u);
  EXPECT_EQ(back.UserFunctions().Functions(), e.UserFunctions().Functions());
}

TEST(UserFunctions, ReadingIsBounded) {
  // Argument counts outside 1..3 read as 1; records that cannot be functions
  // are skipped; the reader stays in step with the file.
  std::vector<std::uint8_t> bytes = {5, 0};
  for (const auto& r : {Record("aa", "x+1", 0), Record("bb", "x*y", 7), Record("sin", "x", 1),
                        Record("aa", "x", 2), Record("cc", "x-y", -3)}) {
    bytes.insert(bytes.end(), r.begin(), r.end());
  }
  bytes.push_back(0xAB);  // the next block
  TFormulaEngine e;
  kv::ByteReader r(bytes);
  ASSERT_TRUE(e.ReadUserFunctions(r));
  EXPECT_EQ(r.Remaining(), 1u);
  ASSERT_EQ(e.UserFunctions().Count(), 3);
  EXPECT_EQ(e.UserFunctions().Functions()[0], (kv::TUserFunction{"aa", "x+1", 1}));
  EXPECT_EQ(e.UserFunctions().Functions()[1], (kv::TUserFunction{"bb", "x*y", 1}));
  EXPECT_EQ(e.UserFunctions().Functions()[2], (kv::TUserFunction{"cc", "x-y", 1}));

  // A count that the remaining bytes cannot hold fails the reader.
  for (const std::int16_t count : {std::int16_t{3}, std::int16_t{-1}, std::int16_t{32767}}) {
    std::vector<std::uint8_t> shortFile = {static_cast<std::uint8_t>(count & 0xFF),
                                           static_cast<std::uint8_t>((count >> 8) & 0xFF)};
    const auto one = Record("dd", "x", 1);
    shortFile.insert(shortFile.end(), one.begin(), one.end());
    TFormulaEngine f;
    ASSERT_EQ(f.DefineUserFunction("old", 1, "x"), kv::kFormulaOk);
    kv::ByteReader reader(shortFile);
    EXPECT_FALSE(f.ReadUserFunctions(reader)) << count;
    EXPECT_TRUE(reader.Failed());
    EXPECT_EQ(f.UserFunctions().Count(), 0);
  }

  // More records than the table holds: the rest are read past, not kept.
  std::vector<std::uint8_t> many = {150, 0};
  for (int i = 0; i < 150; ++i) {
    const auto rec = Record("f" + std::to_string(i), "x", 1);
    many.insert(many.end(), rec.begin(), rec.end());
  }
  TFormulaEngine m;
  kv::ByteReader reader(many);
  ASSERT_TRUE(m.ReadUserFunctions(reader));
  EXPECT_EQ(m.UserFunctions().Count(), kv::kMaxUserFunctions);
  EXPECT_EQ(reader.Remaining(), 0u);
}

TEST(UserFunctions, FreeUserFunctions) {
  TFormulaEngine e;
  ASSERT_EQ(e.DefineUserFunction("fn", 1, "x"), kv::kFormulaOk);
  e.FreeUserFunctions();
  EXPECT_EQ(e.UserFunctions().Count(), 0);
  e.SetVariable('f', 2);
  e.SetVariable('n', 3);
  e.SetVariable('x', 4);
  TComplex v;
  ASSERT_TRUE(ValueOf(e, "fnx", v));  // letters again
  EXPECT_EQ(v, TComplex(24, 0));
  EXPECT_EQ(e.Compile("fn(x)"), kv::kFormulaNotUnderstood);  // no longer a known name
}

}  // namespace
}  // namespace kvtest
