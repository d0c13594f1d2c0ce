// The text of the value tables and of the results window, without windows:
// heads, columns and number formats, rows that are undefined, long tables
// cut to the rows that fit and grids refused, numbers that are never cut,
// sections that end at line ends, and the planetary data sheet.
#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <string>
#include <vector>

#include "entry/model/result_lines.h"
#include "entry/model/value_table_text.h"
#include "core/number_text.h"

namespace kv {
namespace {

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t from = 0;
  for (std::size_t k; (k = text.find("\r\n", from)) != std::string::npos; from = k + 2)
    lines.push_back(text.substr(from, k - from));
  if (from < text.size()) lines.push_back(text.substr(from));
  return lines;
}

std::vector<long double> Numbers(const std::string& line) {
  std::istringstream in(line);
  in.imbue(std::locale::classic());
  std::vector<long double> v;
  for (long double x; in >> x;) v.push_back(x);
  return v;
}

class TableText : public ::testing::Test {
 protected:
  // An entry of the kind with compiled formula texts in slots 0, 1, 2.
  TEquation Entry(int kind, const char* f0, const char* f1, const char* f2 = "") {
    TEquation e;
    InitEquation(e, kind, 2, 50);
    const char* texts[] = {f0, f1, f2};
    for (std::size_t k = 0; k < 3; ++k) {
      e.formulaText[k] = texts[k];
      if (*texts[k]) {
        EXPECT_EQ(engine.Compile(texts[k], e.trees[k]), kFormulaOk) << texts[k];
      }
    }
    return e;
  }
  TFormulaEngine engine;
  TTableLayout layout;  // 5 decimals, width 10
  TTableTexts texts;
};

TEST(TableCells, NumbersFitTheirColumnOrTurnToExponentsButAreNeverCut) {
  struct Case {
    long double value;
    int width;
    int decimals;
    const char* expected;
  } cases[] = {
      {1.5L, 10, 5, "   1.50000"},
      {-12.25L, 10, 5, " -12.25000"},
      {-123.45678L, 10, 5, " -123.4568"},  // all five decimals would touch the cell before
      {123456789.0L, 10, 5, " 123456789"},
      {-1234567890.0L, 10, 5, " -1.23e+09"},
      {-1e300L, 10, 5, " -1.0e+300"},
      {-1e300L, 5, 0, "-1e+300"},          // too wide even so: whole, not cut
      {0.5L, 4, 1, " 0.5"},
      {2.0L, 0, 3, "2.000"},               // separated cells are bare
      {-3e20L, 0, 2, "-3.00e+20"},         // no twenty-digit fixed forms
  };
  for (const Case& c : cases) {
    const std::string cell = FormatTableCell(c.value, c.width, c.decimals);
    EXPECT_EQ(cell, c.expected) << static_cast<double>(c.value);
    // Whatever the form, the cell reads back as the number.
    const long double back = std::strtold(cell.c_str(), nullptr);
    EXPECT_NEAR(static_cast<double>(back / c.value), 1.0, 1e-2);
  }
}

TEST_F(TableText, HeadsNameTheColumnsOfEveryTabulatedKind) {
  struct Case {
    int kind;
    const char* heads;
  } cases[] = {
      {kKindExplicit, "xy"},    {kKindOdeDyDx, "xy"},  {kKindPolar, "trxy"},     {kKindParametric, "txy"},
      {kKindOde, "txy"},        {kKindSequence, "nxy"}, {kKindSpaceCurve, "txyz"}, {kKindSegment3D, "txyz"},
      {kKindOde3D, "txyz"},     {kKindSequence3D, "nxyz"}, {kKindIntersection, "xyz"},
  };
  for (const Case& c : cases) {
    std::string expected;
    for (const char* h = c.heads; *h; ++h) expected += std::string(9, ' ') + *h;
    EXPECT_EQ(ColumnHeads(c.kind, layout), expected + "\r\n") << c.kind;
  }
  EXPECT_EQ(ColumnHeads(kKindImplicit, layout), "");
  layout.separated = true;
  layout.separator = ";";
  EXPECT_EQ(ColumnHeads(kKindParametric, layout), "    t;    x;    y\r\n");
}

TEST_F(TableText, FunctionTablesListTheVariableAndTheKindsFormulasInColumnOrder) {
  struct Case {
    int kind;
    const char* f0;
    const char* f1;
    const char* f2;
    std::vector<long double> row1;  // the row of the variable's value 1
  } cases[] = {
      {kKindExplicit, "", "x^2", "", {1, 1}},
      {kKindPolar, "2cos(t)", "2sin(t)", "2", {1, 2, 2 * std::cos(1.0L), 2 * std::sin(1.0L)}},
      {kKindParametric, "t+1", "3t", "", {1, 2, 3}},
      {kKindSpaceCurve, "t", "2t", "3t", {1, 1, 2, 3}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.kind);
    TEquation e = Entry(c.kind, c.f0, c.f1, c.f2);
    e.rangeMin = -1;
    e.rangeMax = 1;
    e.density = 4;
    std::string out;
    AppendFunctionTable(out, e, engine, layout, texts);
    const std::vector<std::string> lines = Lines(out);
    ASSERT_EQ(lines.size(), 5u);
    for (const std::string& l : lines) EXPECT_EQ(l.size(), 10 * c.row1.size()) << l;
    const std::vector<long double> row = Numbers(lines[4]);
    ASSERT_EQ(row.size(), c.row1.size());
    for (std::size_t k = 0; k < row.size(); ++k) EXPECT_NEAR(static_cast<double>(row[k]), static_cast<double>(c.row1[k]), 1e-5);
    EXPECT_EQ(Numbers(lines[0])[0], -1);
  }
}

TEST_F(TableText, OneStepGivesTheTwoEndsAndAnUndefinedRowSaysSoAlone) {
  TEquation e = Entry(kKindExplicit, "", "x^2");
  e.rangeMin = -3;
  e.rangeMax = 3;
  e.density = 1;
  std::string out;
  AppendFunctionTable(out, e, engine, layout, texts);
  EXPECT_EQ(out, "  -3.00000   9.00000\r\n   3.00000   9.00000\r\n");

  TEquation g = Entry(kKindExplicit, "", "1/x");
  g.rangeMin = -1;
  g.rangeMax = 1;
  g.density = 2;
  engine.SetVariable('X', 7);
  out.clear();
  AppendFunctionTable(out, g, engine, layout, texts);
  const std::vector<std::string> lines = Lines(out);
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[1], "   0.00000nicht definiert") << "the text is not cut to the column";
  EXPECT_EQ(Numbers(lines[2])[1], 1);
  EXPECT_EQ(engine.Variable('X').re, 7) << "the engine's variables are restored";
}

TEST_F(TableText, ALongTableListsTheRowsThatFitAndABigGridIsRefused) {
  // 32000 steps of a curve at 35 decimals: q = (1000000 - 7) / (3 * 40 + 2)
  // = 8196 rows of full width fit after the heads, so rows 0 .. 8194 are
  // listed, t = 0.00003125 k.  With 7999 steps all 8000 rows fit.
  TEquation e = Entry(kKindParametric, "t", "2t");
  e.rangeMin = 0;
  e.rangeMax = 1;
  layout.width = 40;
  layout.decimals = 35;
  for (const auto& [steps, rows] : {std::pair{32000, 8195}, std::pair{7999, 8000}}) {
    SCOPED_TRACE(steps);
    e.density = static_cast<std::int16_t>(steps);
    std::string out = "heads\r\n";
    AppendFunctionTable(out, e, engine, layout, texts);
    const std::vector<std::string> lines = Lines(out);
    ASSERT_EQ(lines.size(), static_cast<std::size_t>(rows) + 1);
    EXPECT_EQ(lines[0], "heads");
    const std::vector<long double> last = Numbers(lines.back());
    ASSERT_EQ(last.size(), 3u);
    const long double t = static_cast<long double>(rows - 1) / steps;
    EXPECT_NEAR(static_cast<double>(last[0]), static_cast<double>(t), 1e-15);
    EXPECT_NEAR(static_cast<double>(last[2]), static_cast<double>(2 * t), 1e-15);
    EXPECT_LE(out.size(), kTableTextLimit);
  }
  // No room for two rows: nothing is listed.
  std::string full(kTableTextLimit - 200, 'x');
  AppendFunctionTable(full, e, engine, layout, texts);
  EXPECT_EQ(full.size(), kTableTextLimit - 200);

  TEquation grid;
  InitEquation(grid, kKindSurface, 2, 50);
  grid.divisions = {999, 999, 36};
  std::string out;
  AppendGridTable(out, grid, layout, texts);
  EXPECT_EQ(out, "zu viele Einträge\r\n");
}

TEST_F(TableText, AGridListsTheSampledHeightsFromTheTopRowDown) {
  TEquation e;
  InitEquation(e, kKindCylinderSurface, 2, 50);
  e.divisions = {2, 1, 36};
  e.lowerBound = {0, 0};
  e.upperBound = {2, 1};
  // Sample (ny - j) + (ny + 1) i holds column i of row j.
  e.samples.assign(6, TPoint3D{});
  for (int i = 0; i <= 2; ++i)
    for (int j = 0; j <= 1; ++j) e.samples[static_cast<std::size_t>((1 - j) + 2 * i)].z = 10 * i + j;
  std::string out;
  AppendGridTable(out, e, layout, texts);
  const std::vector<std::string> lines = Lines(out);
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0].substr(0, 10), "     t \\ r");
  EXPECT_EQ(Numbers(lines[0].substr(10)), (std::vector<long double>{0, 1, 2}));
  EXPECT_EQ(Numbers(lines[1]), (std::vector<long double>{1, 0, 10, 20}));
  EXPECT_EQ(Numbers(lines[2]), (std::vector<long double>{0, 1, 11, 21}));
}

TEST_F(TableText, ACobwebTableNumbersItsTermsAndEndsWhereTheyStop) {
  std::string out;
  AppendSequenceTable(out, {0.5L, 0.25L, 0.125L}, 2, layout, texts);
  EXPECT_EQ(out, " n        x(n)\r\n 0     0.50000\r\n 1     0.25000\r\n 2     0.12500\r\n");
  out.clear();
  AppendSequenceTable(out, std::vector<long double>(51, 1.0L), 150, layout, texts);
  const std::vector<std::string> lines = Lines(out);
  ASSERT_EQ(lines.size(), 53u);
  EXPECT_EQ(lines[1].substr(0, 3), "  0") << "three digits from 100 terms";
  EXPECT_EQ(lines.back(), " 51nicht definiert");
}

TEST_F(TableText, SectionsEndAtLineEndsAndCoverTheTextOnce) {
  std::string text;
  for (int k = 0; k < 5000; ++k) text += "  " + std::to_string(k * 7) + ".12345\r\n";
  const std::vector<std::size_t> starts = SectionStarts(text, 1000);
  ASSERT_GT(starts.size(), 40u);
  EXPECT_EQ(starts[0], 0u);
  for (std::size_t k = 1; k < starts.size(); ++k) {
    EXPECT_LE(starts[k] - starts[k - 1], 1000u);
    EXPECT_EQ(text[starts[k] - 1], '\n');
  }
  EXPECT_LE(text.size() - starts.back(), 1000u);
  EXPECT_EQ(SectionStarts("short", 1000), std::vector<std::size_t>{0});
  // A text without line ends is cut between characters, not inside one.
  const std::string umlauts(3000, 'x');
  std::string mixed;
  for (int k = 0; k < 1500; ++k) mixed += "ä";
  for (std::size_t s : SectionStarts(mixed, 1001)) EXPECT_EQ(s % 2, 0u);
  EXPECT_EQ(SectionStarts(umlauts, 1000).size(), 3u);
}

TEST_F(TableText, ThePlanetSheetListsEachBodyAndTheConstants) {
  TEquation e;
  InitEquation(e, kKindPlanets, 2, 50);
  InitEquationBuffers(e);
  e.auxValue1 = 1;  // one body and the centre of mass
  e.samples[5 * 12] = {1.5L, -2, 0};   // start position of body 0
  e.samples[2 * 12] = {3, 1, 0};       // its mass
  e.values[4] = {1.0L, 0.002L, 0.00002L};
  e.upperBound = {250, 100};
  std::string out;
  AppendPlanetSheet(out, e, 3, texts);
  const std::vector<std::string> lines = Lines(out);
  ASSERT_EQ(lines.size(), 2u * 12u + 4u);
  EXPECT_EQ(lines[0], "Körper 0");
  EXPECT_EQ(lines[1], "");
  EXPECT_EQ(lines[2], "x0    1.500");
  EXPECT_EQ(lines[3], "y0   -2.000");
  EXPECT_EQ(lines[10], "Masse  3.000");
  EXPECT_EQ(lines[11], std::string(27, '-'));
  EXPECT_EQ(lines[12], "Schwerpunkt");
  EXPECT_EQ(lines[24], "Gravitationskonstante  1.000");
  EXPECT_EQ(lines[26], "Punkte 250");
  EXPECT_EQ(lines[27], "Berechnungen 100");
}

TEST(ResultText, OneLinePerResultWithItsValuesInBrackets) {
  std::list<TResultPoint> results;
  results.push_back({10, 1, {2.5L, 0, 0, 0}, "Nullstelle"});
  results.push_back({20, 2, {1, -2, 0, 0}, "Schnittpunkt"});
  results.push_back({53, 9, {1, 2, 3, 4}, "kaputt"});  // a count from a damaged file
  EXPECT_EQ(ResultLines(results, 0, 2),
            "Nullstelle = 2.50\r\nSchnittpunkt = (1.00,-2.00)\r\nkaputt = (1.00,2.00,3.00,4.00)\r\n");
  EXPECT_EQ(ResultLines({}, 0, 2), "");
}

}  // namespace
}  // namespace kv
