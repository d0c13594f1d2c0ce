// The inventory of a plot window, compiling its entries into trees by kind,
// and their description lines.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "core_window.h"
#include "core/constants.h"

namespace kv {
namespace {

using kvtest::CoreWindowTest;

double D(long double v) { return static_cast<double>(v); }

std::string LastMessage() {
  const auto& m = plat::testing::Messages();
  return m.empty() ? std::string() : m.back().text;
}

// ---- inventory ----

TEST_F(CoreWindowTest, AppendsUntilTheCapacityThenSaysNoRoom) {
  EXPECT_EQ(w->InventorySize(), 36);
  EXPECT_EQ(w->equationCapacity, 35);
  for (int k = 0; k < 36; ++k) ASSERT_EQ(w->AppendEquation(kKindExplicit, {"", std::to_string(k) + "x"}), k);
  EXPECT_EQ(w->equationCount, 35);
  plat::testing::ClearMessages();
  EXPECT_FALSE(w->CanAddEquation(false));
  EXPECT_TRUE(plat::testing::Messages().empty());
  EXPECT_FALSE(w->CanAddEquation(true));
  EXPECT_EQ(LastMessage(), "kein Platz mehr");
  // An append past the end refuses instead of writing beyond the records.
  EXPECT_EQ(w->AppendEquation(kKindExplicit, {"", "x"}), -1);
  EXPECT_EQ(w->equationCount, 35);
}

TEST_F(CoreWindowTest, ResizingKeepsEntriesNamesFlagsLabelsAndColour) {
  for (int k = 0; k < 5; ++k) w->AppendEquation(kKindExplicit, {"", std::to_string(k + 1) + "x"});
  w->EquationName(2) = "Gerade";
  w->EquationFlag(3) = 1;
  w->AddEquationLabel();
  const std::int16_t next = w->nextColour;
  const std::int16_t current = w->currentEquation;
  ASSERT_TRUE(w->ResizeInventory(99, true));
  EXPECT_EQ(w->InventorySize(), 100);
  EXPECT_EQ(w->equationCount, 4);
  EXPECT_EQ(w->Equation(4).formulaText[1], "5x");
  ASSERT_NE(w->Equation(4).trees[1], nullptr);
  EXPECT_EQ(w->EquationName(2), "Gerade");
  EXPECT_EQ(w->EquationFlag(3), 1);
  EXPECT_EQ(w->equationLabels.size(), 1u);
  EXPECT_EQ(w->nextColour, next);
  EXPECT_EQ(w->currentEquation, current);
  EXPECT_TRUE(w->CanAddEquation(false));
  // Shrinking below the count drops the tail and what refers to it.
  ASSERT_TRUE(w->ResizeInventory(2, true));
  EXPECT_EQ(w->equationCount, 2);
  EXPECT_TRUE(w->equationLabels.empty());
  EXPECT_EQ(w->currentEquation, 2);
  EXPECT_FALSE(w->ResizeInventory(-1, true));
  EXPECT_FALSE(w->ResizeInventory(40000, true));
  EXPECT_EQ(w->InventorySize(), 3);
  ASSERT_TRUE(w->ResizeInventory(10, false));
  EXPECT_EQ(w->equationCount, -1);
  // The records of a new inventory start with their corners and bounds at zero.
  for (int i = 0; i < w->InventorySize(); ++i) {
    const TEquation& e = w->Equation(i);
    EXPECT_EQ(e.curvePoints, (std::array<std::int16_t, 2>{0, 0}));
    EXPECT_EQ(e.lowerBound, (TPoint2D{}));
    EXPECT_EQ(e.upperBound, (TPoint2D{}));
    for (const TPoint3D& v : e.values) EXPECT_EQ(v, (TPoint3D{}));
  }
}

TEST_F(CoreWindowTest, DeletingAnEntryKeepsSourcesAndShadingsInStep) {
  for (int k = 0; k < 4; ++k) w->AppendEquation(kKindExplicit, {"", std::to_string(k + 1) + "x"});
  w->Equation(3).derivation = 68;
  w->Equation(3).source1 = 2;
  w->shadings.push_back({1, kShadeAbove});
  w->shadings.push_back({3, 2});
  w->DeleteEquation(1);
  EXPECT_EQ(w->equationCount, 2);
  EXPECT_EQ(w->Equation(1).formulaText[1], "3x");
  EXPECT_EQ(w->Equation(2).source1, 1);
  ASSERT_EQ(w->shadings.size(), 1u);
  EXPECT_EQ(w->shadings.front().graphA, 2);
  EXPECT_EQ(w->shadings.front().graphB, 1);
}

TEST_F(CoreWindowTest, KindLookups) {
  w->AppendEquation(kKindExplicit, {"", "x"});
  w->AppendEquation(kKindOde, {"-y", "x"});
  w->AppendEquation(kKindSequence, {"x/2", "y"});
  w->AppendEquation(kKindOde, {"y", "x"});
  w->Equation(1).subValue = -1;
  EXPECT_EQ(w->CountEquationsOfKind(kKindOde), 2);
  EXPECT_EQ(w->FindEquationOfKinds({kKindOde}), 3);
  EXPECT_EQ(w->FindEquationOfKinds({0, kKindSequence, kKindOde}), 2);
  EXPECT_EQ(w->FindEquationOfKinds({kKindSurface}), -1);
  w->Equation(2).visible = 0;
  EXPECT_EQ(w->FindEquationOfKinds({kKindSequence, kKindOde}, true), 3);
  EXPECT_EQ(TPlot0Win::KindIndex(201), 1);
  EXPECT_EQ(TPlot0Win::KindIndex(219), 19);
  EXPECT_EQ(TPlot0Win::KindIndex(301), 26);
  EXPECT_EQ(TPlot0Win::KindIndex(402), 52);
}

TEST_F(CoreWindowTest, ResultPointsAreNotAttachedTwice) {
  w->AppendEquation(kKindExplicit, {"", "x"});
  const long double v[4] = {1.5L, 2, 0, 0};
  EXPECT_TRUE(w->AddResultPoint(0, 40, v, 2, "Cursor"));
  EXPECT_FALSE(w->AddResultPoint(0, 40, v, 2, "Cursor"));
  EXPECT_TRUE(w->AddResultPoint(0, 10, v, 1, "Nullstelle"));
  EXPECT_TRUE(w->AddResultPoint(0, 40, v, 9, "Cursor"));  // the count is bounded to 4
  EXPECT_EQ(w->Equation(0).results.size(), 3u);
  EXPECT_EQ(w->Equation(0).results.front().count, 4);
  EXPECT_FALSE(w->AddResultPoint(7, 40, v, 2, "Cursor"));
}

// ---- compiling ----

// Evaluates slot k of entry i with the given variables.
long double At(TPlotWin& w, int i, int slot, const std::vector<std::pair<char, long double>>& vars) {
  for (const auto& [letter, value] : vars) w.SetVariable(letter, value);
  TExprNode* t = w.Equation(i).trees[static_cast<std::size_t>(slot)].get();
  EXPECT_NE(t, nullptr) << "slot " << slot;
  long double v = std::numeric_limits<long double>::quiet_NaN();
  if (t) {
    EXPECT_TRUE(w.EvaluateReal(t, v)) << "slot " << slot;
  }
  return v;
}

TEST_F(CoreWindowTest, CompileBuildsTheTreesOfEveryKind) {
  using std::cos;
  using std::sin;
  struct Check {
    int slot;
    std::vector<std::pair<char, long double>> vars;
    long double expected;
  };
  struct Case {
    int kind;
    std::array<std::string, kFormulaSlots> texts;
    std::vector<Check> checks;
  };
  const long double t = 0.3L, x = 0.7L, y = -1.1L, z = 0.4L;
  const Case cases[] = {
      {201, {"", "xsin(x)"},
       {{0, {{'X', x}}, x},
        {1, {{'X', x}}, x * sin(x)},
        {4, {{'X', x}}, 1},
        {5, {{'X', x}}, sin(x) + x * cos(x)},
        {6, {{'X', x}}, 2 * cos(x) - x * sin(x)},
        {3, {{'X', x}}, (2 * cos(x) - x * sin(x)) / std::pow(1 + std::pow(sin(x) + x * cos(x), 2), 1.5L)}}},
      {202, {"", "", "3cos(2t)"},
       {{0, {{'T', t}}, 3 * cos(2 * t) * cos(t)},
        {1, {{'T', t}}, 3 * cos(2 * t) * sin(t)},
        {2, {{'T', t}}, 3 * cos(2 * t)},
        {6, {{'T', t}}, -6 * sin(2 * t)},
        {4, {{'T', t}}, -6 * sin(2 * t) * cos(t) - 3 * cos(2 * t) * sin(t)}}},
      {203, {"3cos(3t)", "3sin(4t)"},
       {{2, {{'T', t}}, std::hypot(3 * cos(3 * t), 3 * sin(4 * t))},
        {4, {{'T', t}}, -9 * sin(3 * t)},
        {5, {{'T', t}}, 12 * cos(4 * t)}}},
      {204, {"", "", "", "x", "xx+yy=13"},
       {{2, {{'X', x}, {'Y', y}}, x * x + y * y - 13},
        {4, {{'X', x}, {'Y', y}}, 2 * x},
        {5, {{'X', x}, {'Y', y}}, 2 * y},
        {3, {{'X', x}}, x}}},
      {205, {"-1.5", "3.0", "3.5", "1.0"},
       {{6, {{'X', 0.5L}}, 3.0L - 2.0L / 5 * 2}, {5, {{'X', 0.5L}}, -0.4L}}},
      {208, {"2", "4", "3"}, {{6, {{'X', x}}, (3 - 2 * x) / 4}, {5, {{'X', x}}, -0.5L}}},
      {210, {"xx-yy", "2xy", "", "x"}, {{0, {{'X', x}, {'Y', y}}, x * x - y * y}, {1, {{'X', x}, {'Y', y}}, 2 * x * y}}},
      {211, {"", "", "x-y"}, {{2, {{'X', x}, {'Y', y}}, x - y}}},
      {301, {"", "", "sin(xx+yy)"},
       {{2, {{'X', x}, {'Y', y}}, sin(x * x + y * y)},
        {3, {{'X', x}, {'Y', y}, {'Z', z}}, z - sin(x * x + y * y)},
        {4, {{'X', x}, {'Y', y}}, 2 * x * cos(x * x + y * y)},
        {5, {{'X', x}, {'Y', y}}, 2 * y * cos(x * x + y * y)},
        {6, {}, -1}}},
      {302, {"", "", "rrrcos(3t)"},
       {{0, {{'R', 2}, {'T', t}}, 2 * cos(t)}, {1, {{'R', 2}, {'T', t}}, 2 * sin(t)}, {2, {{'R', 2}, {'T', t}}, 8 * cos(3 * t)}}},
      {304, {"cos(7t)", "sin(7t)", "t"},
       {{4, {{'T', t}}, -7 * sin(7 * t)}, {5, {{'T', t}}, 7 * cos(7 * t)}, {6, {{'T', t}}, 1}}},
      {305, {"", "", "", "", "xx+yy+zz=4"},
       {{3, {{'X', x}, {'Y', y}, {'Z', z}}, x * x + y * y + z * z - 4}, {6, {{'Z', z}}, 2 * z}}},
      {316, {"", "", "", "2"},
       {{0, {{'T', t}, {'U', 0.5L}}, 2 * sin(0.5L) * cos(t)}, {2, {{'T', t}, {'U', 0.5L}}, 2 * cos(0.5L)}}},
      {401, {"zz"}, {}},
      {402, {"2x-y", "x+y"},
       {{3, {}, 2}, {4, {}, -1}, {5, {}, 1}, {6, {}, 1}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.kind);
    const int i = w->AppendEquationTexts(c.kind, c.texts);
    ASSERT_GE(i, 0);
    for (const Check& k : c.checks) {
      const long double v = At(*w, i, k.slot, k.vars);
      EXPECT_NEAR(static_cast<double>(v), static_cast<double>(k.expected), 1e-12) << "slot " << k.slot;
    }
  }
  // 401: dF/dZ in slot 4, at a complex point.
  const int m = w->equationCount;
  w->SetComplexMode(true);
  w->SetComplexVariable('Z', TComplex(1, 2));
  ASSERT_TRUE(w->Evaluate(w->Equation(m - 1).trees[4].get()));
  EXPECT_EQ(w->Equation(m - 1).trees[4]->value, TComplex(2, 4));
  w->SetComplexMode(false);
}

TEST_F(CoreWindowTest, CompileMarksTheLettersAndCoordinateTriples) {
  w->AppendEquation(kKindExplicit, {"", "asin(bx)"});
  EXPECT_TRUE(w->UsesLetter('A'));
  EXPECT_TRUE(w->UsesLetter('B'));
  EXPECT_FALSE(w->UsesLetter('C'));
  std::array<TreePtr, 3> t;
  struct Case {
    const char* text;
    bool ok;
  } cases[] = {{"(1;2;3)", true}, {"1.618,3.142,1.414", true}, {"(pow(2,x);1;2)", true},
               {"(1;2)", false},  {"1;2;3;4", false},          {"(1;)2;3", false}, {"(a;b;+)", false}};
  for (const Case& c : cases) EXPECT_EQ(w->CompileCoordinateTriple(c.text, t), c.ok) << c.text;
  ASSERT_TRUE(w->CompileCoordinateTriple("(1;2;3)", t));
  long double v;
  ASSERT_TRUE(w->EvaluateReal(t[2].get(), v));
  EXPECT_EQ(v, 3);

  std::string d;
  EXPECT_TRUE(RewriteEquationAsDifference(d, "xx+yy=13"));
  EXPECT_EQ(d, "xx+yy-(13)");
  EXPECT_FALSE(RewriteEquationAsDifference(d, "xx+yy"));
  EXPECT_TRUE(RewriteEquationAsDifference(d, std::string(250, 'x') + "=y"));  // 254 bytes
  d = "xx+yy-(13)";
  EXPECT_FALSE(RewriteEquationAsDifference(d, std::string(251, 'x') + "=yy"));
  EXPECT_EQ(d, "xx+yy-(13)");
}

TEST_F(CoreWindowTest, PlaneTreesSpanThePlaneWithUnitDirections) {
  struct Case {
    std::array<std::string, kFormulaSlots> texts;
    long double a, b, c, k, m, n;
  } cases[] = {{{"1", "2", "2", "(1;0;0)"}, 1, 2, 2, 1, 0, 0},
               {{"0", "0", "3", "1.5,2,-1"}, 0, 0, 3, 1.5L, 2, -1}};
  for (const Case& c : cases) {
    const int i = w->AppendEquationTexts(kKindPlane, c.texts);
    for (auto [t, u] : {std::pair{0.3L, -0.7L}, std::pair{2.0L, 1.0L}}) {
      const long double x = At(*w, i, 0, {{'T', t}, {'U', u}});
      const long double y = At(*w, i, 1, {{'T', t}, {'U', u}});
      const long double z = At(*w, i, 2, {{'T', t}, {'U', u}});
      EXPECT_NEAR(D(c.a * (x - c.k) + c.b * (y - c.m) + c.c * (z - c.n)), 0, 1e-12);
      EXPECT_NEAR(D(std::hypot(std::hypot(x - c.k, y - c.m), z - c.n)), D(std::hypot(t, u)), 1e-12);
    }
  }
}

TEST_F(CoreWindowTest, LagrangePolynomialUsesTheValueBuffer) {
  const int i = w->AppendEquation(kKindLagrange, {"", "Polynom 1"});
  EXPECT_EQ(w->Equation(i).kind, kKindExplicit);
  w->Equation(i).cellDepths = {1, 2, 0, 0, 0, 0, 0, 0, 3};  // 1 + 2x + 3x^8
  w->CompileEquation(i);
  EXPECT_NEAR(static_cast<double>(At(*w, i, 1, {{'X', 2}})), 1 + 4 + 3 * 256, 1e-12);
  EXPECT_NEAR(static_cast<double>(At(*w, i, 5, {{'X', 1}})), 2 + 24, 1e-12);
}

TEST_F(CoreWindowTest, RevolutionCountIsDerivedWithoutCompounding) {
  const int i = w->AppendEquation(kKindRevolution, {"t", "t", "0"});
  w->Equation(i).subValue = 12;
  w->Equation(i).divisions[0] = 10;
  w->Equation(i).divisions[1] = 7;
  w->CompileEquation(i);
  w->CompileEquation(i);
  EXPECT_EQ(w->Equation(i).divisions[0], 21);
  EXPECT_EQ(w->Equation(i).divisions[1], 7);
}

// ---- descriptions ----

TEST_F(CoreWindowTest, DescriptionsAreOneGermanLineWithinTheLimit) {
  struct Case {
    int kind;
    std::array<std::string, kFormulaSlots> texts;
    const char* expected;
    int code = 0, source1 = -1, source2 = -1;  // a derived entry's
  } cases[] = {
      {201, {"", "xsin(x)"}, "y = xsin(x)"},
      {202, {"", "", "3cos(2t)"}, "r = 3cos(2t)"},
      {203, {"3cos(3t)", "3sin(4t)"}, "x = 3cos(3t) , y = 3sin(4t)"},
      {204, {"", "", "", "", "xx+yy=13"}, "xx+yy=13"},
      {205, {"-1.5", "3.0", "3.5", "1.0"}, "Strecke (-1.5;3.0) bis (3.5;1.0)"},
      {206, {"", "x"}, "Stammfunktion von x"},
      {208, {"2.54", "1.732", "3.141"}, "2.54x + 1.732y = 3.141"},
      {209, {"2.54", "pi/3"}, "Punkt (2.54;pi/3)"},
      {210, {"xx-yy", "2xy"}, "x' = xx-yy , y' = 2xy"},
      {211, {"", "", "x-y"}, "y' = x-y"},
      {212, {"1+abs(x)-y", "x"}, "x(n+1) = 1+abs(x)-y , y(n+1) = x"},
      {301, {"", "", "sin(xx+yy)/(xx+yy)"}, "z = sin(xx+yy)/(xx+yy)"},
      {304, {"cos(7t)", "sin(7t)", "t"}, "Kurve x = cos(7t) , y = sin(7t) , z = t"},
      {309, {"2.54", "pi/3", "pi/4"}, "Punkt (2.54;pi/3;pi/4)"},
      {401, {"zz"}, "F(z) = zz"},
      {402, {"2x-y", "x+y"}, "U = 2x-y , V = x+y"},
      // A derived entry is told by its tool and sources; those the tools
      // copy keep the (first) source's texts, which are not their formula.
      {201, {"", "x+1"}, "#1 + #2", 43, 0, 1},
      {301, {"", "", "x+y"}, "#3 * #4", 42, 2, 3},
      {201, {"", "x+1"}, "#2(#1)", 177, 1, 0},
      {310, {"-y", "x", "z"}, "#5 senk #6", 151, 4, 5},
      {201, {"", "sin(x)", "", "0.5"}, "Taylorpolynom von #1 (Grad 3, Mitte 0.5)", 65, 0},
      {201, {"", "cos(x)"}, "Ableitung von #1", 68, 0},
      {206, {"", "(sin(x))-(x)"}, "Stammfunktion von #1 - #2", 73, 0, 1},
      {203, {"pi/2", "1", "0"}, "Drehung von #1 um (1;0), Winkel pi/2", 106, 0},
      {209, {"0.5", "0.25"}, "aus #1: Punkt (0.5;0.25)", 78, 0},  // texts of its own
  };
  for (const Case& c : cases) {
    const int i = w->AppendEquationTexts(c.kind, c.texts);
    ASSERT_GE(i, 0);
    TEquation& e = w->Equation(i);
    if (c.code) {
      e.derivation = static_cast<std::int16_t>(c.code);
      e.source1 = static_cast<std::int16_t>(c.source1);
      e.source2 = static_cast<std::int16_t>(c.source2);
      e.auxValue1 = 3;
    } else {
      EXPECT_EQ(TPlotWin::DescribeEquationByKind(e, 255), c.expected);
    }
    EXPECT_EQ(w->DescribeEquation(i, 255), c.expected);
    for (int limit : {0, 1, 7, 12}) {
      const std::string d = w->DescribeEquation(i, limit);
      EXPECT_LE(d.size(), static_cast<std::size_t>(limit)) << c.kind;
      EXPECT_EQ(d, std::string(c.expected).substr(0, d.size()));
    }
  }
  // An inequality shows its sign; a multi-byte character counts as one.
  const int k = w->AppendEquation(kKindImplicit, {"", "", "", "", "xx+yy=1"});
  w->Equation(k).subKind = 1;
  EXPECT_EQ(w->DescribeEquation(k, 255), "xx+yy<1");
  const int s = w->AppendEquation(kKindTube, {"cos(7t)", "sin(7t)", "t", "0.3"});
  EXPECT_EQ(w->DescribeEquation(s, 5), "Röhre");
  const int n = w->AppendEquation(kKindExplicit, {"", "x\r\ny"});
  EXPECT_EQ(w->DescribeEquation(n, 255).find_first_of("\r\n"), std::string::npos);
  EXPECT_EQ(w->DescribeEquation(99, 255), "");
}

}  // namespace
}  // namespace kv
