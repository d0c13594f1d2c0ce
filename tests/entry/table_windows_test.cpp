// The windows and dialogs built on the inventory: value tables of every
// tabulated kind with their paging, parameters and file; the family and
// cobweb dialogs; the time and phase windows of trajectories; the results
// window.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "entry/cobweb_dialog.h"
#include "entry/data_win.h"
#include "entry/family_dialog.h"
#include "entry/side_windows.h"
#include "entry/table_win.h"
#include "platform/resources.h"
#include "plot2d/plot2_test_util.h"
#include "plot3d/plot3_win.h"
#include "support/test_env.h"

namespace kv {
namespace {

using plat::Dialog;
using test2d::ColourNear;
using test2d::EntryColour;
using test2d::GraphCoverage;

constexpr long double kPi = 3.14159265358979323846L;

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t from = 0;
  for (std::size_t k; (k = text.find("\r\n", from)) != std::string::npos; from = k + 2)
    lines.push_back(text.substr(from, k - from));
  return lines;
}

std::vector<long double> Numbers(const std::string& line) {
  std::istringstream in(line);
  in.imbue(std::locale::classic());
  std::vector<long double> v;
  for (long double x; in >> x;) v.push_back(x);
  return v;
}

std::string ReadText(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(f), {});
}

std::string LastMessage() {
  const auto& m = plat::testing::Messages();
  return m.empty() ? std::string() : m.back().text;
}

class TableWindows : public test2d::Plot2Test {
 protected:
  void SetUp() override {
    Plot2Test::SetUp();
    dir_ = kvtest::MakeTempDir("tables");
  }
  int Add(TPlot2Win* w, int kind, long double lo, long double hi, std::string_view t1, std::string_view t2 = {},
          std::string_view t3 = {}) {
    const int i = w->AppendEquation(kind, lo, hi, t1, t2, t3);
    w->CompileEquation(i);
    return i;
  }
  // The share of t in [from, to] whose point (t, f(t)) has a pixel of the
  // colour on the side window.
  static double TimeCoverage(TSideWin& s, plat::Colour c, long double from, long double to,
                             long double (*f)(long double)) {
    int tested = 0;
    int hit = 0;
    for (int k = 0; k <= 200; ++k) {
      const long double t = from + (to - from) * k / 200;
      const TPoint2D p{t, f(t)};
      if (!s.IsInView(p)) continue;
      ++tested;
      if (ColourNear(s.Surface(), s.WorldToPixelX(p.x), s.WorldToPixelY(p.y), c, 2)) ++hit;
    }
    return tested == 0 ? 0.0 : static_cast<double>(hit) / tested;
  }
  std::string dir_;
};

// ---- value tables ----

TEST_F(TableWindows, TablesCommandShowsTheFirstEntryWithItsColumns) {
  TPlot2Win* w = MakeWindow();
  const int i = Add(w, kKindExplicit, -2, 2, {}, "x^2");
  w->Equation(i).density = 4;
  w->Command(kCmTables);
  Settle(w);
  TTableWin* t = w->TableWindow();
  ASSERT_NE(t, nullptr);
  EXPECT_TRUE(t->IsVisible());
  EXPECT_EQ(t->Table(),
            "         x         y\r\n"
            "  -2.00000   4.00000\r\n"
            "  -1.00000   1.00000\r\n"
            "   0.00000   0.00000\r\n"
            "   1.00000   1.00000\r\n"
            "   2.00000   4.00000\r\n");
  EXPECT_EQ(t->GetText(), t->Table());
  EXPECT_EQ(t->GetCaption().rfind("Wertetabelle [", 0), 0u) << t->GetCaption();
  EXPECT_EQ(t->SectionBreaks(), 0);
  for (int id : {kCmTableBack, kCmTableJump, kCmTableForward}) EXPECT_FALSE(t->IsMenuItemEnabled(id)) << id;
  EXPECT_TRUE(t->IsMenuItemEnabled(kCmTableParameters));
  // A second command raises the same window.
  w->Command(kCmTables);
  EXPECT_EQ(w->TableWindow(), t);
}

TEST_F(TableWindows, PolarParametricAndTrajectoryTablesHaveTheirColumns) {
  TPlot2Win* w = MakeWindow();
  const int polar = Add(w, kKindPolar, 0, kPi, {}, {}, "2");
  const int param = Add(w, kKindParametric, 0, 1, "t+1", "3t");
  const int ode = Add(w, kKindOde, -5, 5, "y", "-x");
  w->AddTrajectoryItem(ode, {0, 1, 0}, kMethodRungeKutta, 0.01L, 200, 1);
  struct Case {
    int entry;
    const char* heads;
    std::vector<long double> lastRow;
  } cases[] = {
      {polar, "trxy", {kPi, 2, -2, 0}},
      {param, "txy", {1, 2, 3}},
      {ode, "txy", {2, std::sin(2.0L), std::cos(2.0L)}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.heads);
    w->OpenEntryTable(c.entry);
    const std::vector<std::string> lines = Lines(w->TableWindow()->Table());
    ASSERT_GT(lines.size(), 2u);
    std::string heads;
    for (char h : lines[0])
      if (h != ' ') heads += h;
    EXPECT_EQ(heads, c.heads);
    const std::vector<long double> last = Numbers(lines.back());
    ASSERT_EQ(last.size(), c.lastRow.size()) << lines.back();
    for (std::size_t k = 0; k < last.size(); ++k)
      EXPECT_NEAR(static_cast<double>(last[k]), static_cast<double>(c.lastRow[k]), 1e-4) << k;
  }
  EXPECT_EQ(w->TableWindow()->ItemIndex(), 0);
  EXPECT_FALSE(w->TableWindow()->IsMenuItemEnabled(kCmTableParameters)) << "a trajectory has no range";
}

TEST_F(TableWindows, ALongTableIsPagedInSectionsAndSavedWholeInCLocaleWithCrLf) {
  TPlot2Win* w = MakeWindow();
  const int i = Add(w, kKindExplicit, -1000, 1000, {}, "x^3");
  w->Equation(i).density = 4000;
  w->OpenEntryTable(i);
  TTableWin* t = w->TableWindow();
  EXPECT_EQ(t->SectionBreaks(), 2);
  EXPECT_NE(t->GetCaption().find("[section 1/3]"), std::string::npos) << t->GetCaption();
  // Every row reads back as its two numbers: nothing is cut, also where a
  // cube needs the exponent form.
  const std::vector<std::string> lines = Lines(t->Table());
  ASSERT_EQ(lines.size(), 4002u);
  for (std::size_t k = 1; k < lines.size(); ++k) {
    const std::vector<long double> v = Numbers(lines[k]);
    ASSERT_EQ(v.size(), 2u) << lines[k];
    EXPECT_NEAR(static_cast<double>(v[1] / (v[0] * v[0] * v[0] + (v[0] == 0))), v[0] == 0 ? 0.0 : 1.0, 5e-3);
  }
  const std::string first = t->GetText();
  EXPECT_LE(first.size(), kTableSectionLength);
  EXPECT_EQ(first.substr(first.size() - 2), "\r\n");
  t->Command(kCmTableForward);
  EXPECT_EQ(t->CurrentSection(), 1);
  EXPECT_TRUE(t->IsMenuItemEnabled(kCmTableBack));
  plat::testing::AnswerDialog("ONEINPUT", {{211, "3"}}, plat::IDOK);
  t->Command(kCmTableJump);
  EXPECT_EQ(t->CurrentSection(), 2);
  EXPECT_NE(t->GetCaption().find("[section 3/3]"), std::string::npos);
  EXPECT_FALSE(t->IsMenuItemEnabled(kCmTableForward));
  plat::testing::AnswerDialog("ONEINPUT", {{211, "9"}}, plat::IDOK);
  t->Command(kCmTableJump);
  EXPECT_EQ(t->CurrentSection(), 2) << "a section that does not exist is ignored";
  t->Command(kCmTableBack);
  EXPECT_EQ(t->CurrentSection(), 1);

  plat::testing::ExpectFileDialog(dir_ + "table.txt");
  t->Command(58);
  EXPECT_EQ(plat::testing::LastFileDialogRequest().initialName, "Wertetabelle.txt");
  const std::string saved = ReadText(dir_ + "table.txt");
  EXPECT_EQ(saved, t->Table());
  EXPECT_EQ(saved.find(','), std::string::npos);
  std::size_t lf = 0;
  for (std::size_t k = 0; k < saved.size(); ++k)
    if (saved[k] == '\n') {
      ++lf;
      EXPECT_EQ(saved[k - 1], '\r');
    }
  EXPECT_EQ(lf, lines.size());

  // A table that cannot be saved says so once.
  plat::testing::ClearMessages();
  plat::testing::ExpectFileDialog(dir_ + "no/such/folder/table.txt");
  t->Command(58);
  ASSERT_EQ(plat::testing::Messages().size(), 1u);
  EXPECT_EQ(plat::testing::Messages().back().text, "Datei ist nicht zu speichern");
}

TEST_F(TableWindows, ParametersSetRangeAndStepsOrAreRefused) {
  TPlot2Win* w = MakeWindow();
  const int i = Add(w, kKindExplicit, -5, 5, {}, "2x");
  w->OpenEntryTable(i);
  TTableWin* t = w->TableWindow();
  plat::testing::AnswerDialog("TABLELOHI", {{211, "1"}, {212, "pi"}, {213, "2"}}, plat::IDOK);
  t->Command(kCmTableParameters);
  const TEquation& e = w->Equation(i);
  EXPECT_EQ(e.rangeMin, 1);
  EXPECT_NEAR(static_cast<double>(e.rangeMax), 3.14159265, 1e-8);
  EXPECT_EQ(e.density, 2);
  EXPECT_EQ(w->defaultDensity, 2);
  EXPECT_EQ(Lines(t->Table()).size(), 4u);
  struct Bad {
    const char* lo;
    const char* hi;
    const char* steps;
    const char* message;
  } bad[] = {
      {"2", "1", "5", "widersprüchliche Daten"},
      {"1", "2", "0", "widersprüchliche Daten"},
      {"1", "2", "40000", "jenseits der Grenzen"},
      {"1", "2(", "5", ""},
  };
  for (const Bad& b : bad) {
    SCOPED_TRACE(b.hi);
    plat::testing::ClearMessages();
    plat::testing::AnswerDialog("TABLELOHI", {{211, b.lo}, {212, b.hi}, {213, b.steps}}, plat::IDOK);
    t->Command(kCmTableParameters);
    ASSERT_EQ(plat::testing::Messages().size(), 1u);
    if (*b.message) {
      EXPECT_EQ(LastMessage(), b.message);
    }
    EXPECT_EQ(e.rangeMin, 1);
    EXPECT_EQ(e.density, 2);
  }
}

TEST_F(TableWindows, NextEntryWrapsAndANewNumberFormatRebuildsTheTable) {
  TPlot2Win* w = MakeWindow();
  Add(w, kKindExplicit, 0, 1, {}, "x");
  const int implicit = w->AppendEquation(kKindImplicit, 0, 1, {}, {}, {}, "xx+yy-1");
  w->CompileEquation(implicit);
  w->OpenEntryTable(0);
  TTableWin* t = w->TableWindow();
  t->Command(kCmTableNextEntry);
  EXPECT_EQ(t->EntryIndex(), implicit);
  EXPECT_EQ(t->Table(), "keine Tabelle für diesen Eintrag");
  t->Command(kCmTableNextEntry);
  EXPECT_EQ(t->EntryIndex(), 0);
  t->Decimals = 2;
  t->UpdateFieldWidth();
  EXPECT_EQ(t->ColumnWidth(), 7);
  EXPECT_EQ(Lines(t->Table())[1].size(), 14u);
  t->UseTabs = 1;
  t->UpdateFieldWidth();
  EXPECT_EQ(Lines(t->Table())[0], " x\t y") << "heads as wide as the decimals";
  EXPECT_NE(Lines(t->Table())[1].find('\t'), std::string::npos);
}

// ---- families and cobwebs ----

TEST_F(TableWindows, TheFamilyOfAxSquaredInHalfStepsDrawsNineCurves) {
  TPlot2Win* w = MakeWindow();
  const int i = Add(w, kKindExplicit, -5, 5, {}, "ax^2");
  plat::testing::ExpectDialog("FAM", [](Dialog& d) {
    EXPECT_EQ(d.GetCaption(), "Schar [y = ax^2]");
    d.SetItemText(kFamLetter, "a");
    d.SetItemText(kFamMin, "-2");
    d.SetItemText(kFamMax, "2");
    d.SetItemText(kFamSteps, "8");
    d.SetItemText(kFamDelay, "0");
    d.Press(plat::IDOK);  // Enter does not close it
    d.Press(kFamDraw);
  });
  EXPECT_TRUE(w->OpenFamilyDialog(i));
  const TEquation& e = w->Equation(i);
  EXPECT_EQ(e.familyOn, 1);
  EXPECT_EQ(e.familyLetter, 1);
  EXPECT_EQ(e.familySteps, 8);
  w->RepaintNow(false);
  Settle(w);
  const plat::Colour c = EntryColour(*w, i);
  int curves = 0;
  for (int k = 0; k <= 8; ++k) {
    const long double a = -2 + 0.5L * k;
    if (GraphCoverage(*w, w->Surface(), c, [a](long double x) { return a * x * x; }) > 0.97) ++curves;
  }
  EXPECT_EQ(curves, 9);
  EXPECT_LT(GraphCoverage(*w, w->Surface(), c, [](long double x) { return 0.25L * x * x; }), 0.6);
}

TEST_F(TableWindows, TheFamilyDialogRefusesLettersBeyondQAndDeleteKeepsTheSettings) {
  TPlot2Win* w = MakeWindow();
  const int i = Add(w, kKindExplicit, -5, 5, {}, "ax");
  TEquation& e = w->Equation(i);
  e.familyOn = 1;
  e.familyStart = -1;
  e.familyEnd = 1;
  e.familySteps = -4;
  e.familyLetter = 3;
  struct Case {
    const char* letter;
    const char* min;
    const char* max;
    const char* steps;
    const char* delay;
    const char* message;
  } cases[] = {
      {"r", "0", "1", "4", "50", "jenseits der Grenzen"},
      {" a", "0", "1", "4", "50", "jenseits der Grenzen"},  // one letter, no blanks around it
      {"a ", "0", "1", "4", "50", "jenseits der Grenzen"},
      {"ab", "0", "1", "4", "50", "jenseits der Grenzen"},
      {"a", "2", "1", "4", "50", "widersprüchliche Daten"},
      {"a", "0", "1", "4001", "50", "jenseits der Grenzen"},
      {"a", "0", "1", "2.5", "50", "jenseits der Grenzen"},  // steps and delay are whole numbers
      {"a", "0", "1", "4", "3.7", "jenseits der Grenzen"},
      {"a", "0", "1", "abc", "50", "jenseits der Grenzen"},  // no formula: not a·b·c
      {"a", "0", "1", "4", "((", "jenseits der Grenzen"},    // no reader's message either
  };
  std::string shownLetter;
  bool followChecked = false;
  plat::testing::ExpectDialog("FAM", [&](Dialog& d) {
    shownLetter = d.GetItemText(kFamLetter);
    followChecked = d.IsChecked(kFamFollow);
    for (const Case& c : cases) {
      plat::testing::ClearMessages();
      d.SetItemText(kFamLetter, c.letter);
      d.SetItemText(kFamMin, c.min);
      d.SetItemText(kFamMax, c.max);
      d.SetItemText(kFamSteps, c.steps);
      d.SetItemText(kFamDelay, c.delay);
      d.Press(kFamDraw);
      EXPECT_EQ(LastMessage(), c.message) << c.letter << " " << c.steps << " " << c.delay;
    }
    d.Press(kFamDelete);
  });
  EXPECT_TRUE(w->OpenFamilyDialog(i));
  EXPECT_EQ(shownLetter, "c");
  EXPECT_TRUE(followChecked);
  EXPECT_EQ(e.familyOn, 0);
  EXPECT_EQ(e.familyLetter, 3);
  EXPECT_EQ(e.familySteps, -4);
  EXPECT_EQ(e.familyStart, -1);
}

TEST_F(TableWindows, TheLogisticCobwebSettlesOnItsTwoCycle) {
  TPlot2Win* w = MakeWindow();
  const int i = Add(w, kKindExplicit, 0, 1, {}, "3.2x(1-x)");
  plat::testing::ExpectDialog("WEB", [](Dialog& d) {
    EXPECT_EQ(d.GetCaption(), "Netz [3.2x(1-x)]");
    d.SetCheck(kWebConstant, true);
    d.SetItemText(kWebStart, "0.1");
    d.SetItemText(kWebSteps, "60");
    d.SetItemText(kWebArrowSize, "10");
    d.Press(kWebDraw);
  });
  EXPECT_TRUE(w->OpenCobwebDialog(i));
  const TEquation& e = w->Equation(i);
  EXPECT_EQ(e.notVertical, 1);
  EXPECT_EQ(e.termCount, 60);
  EXPECT_EQ(e.arrowSize, 0);
  EXPECT_LT(e.subKind, 0);
  w->OpenEntryTable(i);
  const std::vector<std::string> lines = Lines(w->TableWindow()->Table());
  ASSERT_EQ(lines.size(), 62u);
  EXPECT_EQ(Numbers(lines[1])[1], 0.1L);
  const long double a = Numbers(lines[60])[1];
  const long double b = Numbers(lines[61])[1];
  EXPECT_NEAR(static_cast<double>(std::min(a, b)), 0.5130, 5e-5);
  EXPECT_NEAR(static_cast<double>(std::max(a, b)), 0.7995, 5e-5);
  // The cobweb is drawn in its colour.
  w->RepaintNow(false);
  Settle(w);
  EXPECT_GT(kvtest::CountColour(w->Surface(), w->DrawingColourOf(w->CheckColourIndex(e.sideColour2))), 100);
}

TEST_F(TableWindows, ACobwebFromAParameterIgnoresTheStartTextAndDeleteOnlySwitchesOff) {
  TPlot2Win* w = MakeWindow();
  const int i = Add(w, kKindExplicit, 0, 1, {}, "x/2");
  w->SetVariable('B', 0.8L);
  plat::testing::ExpectDialog("WEB", [](Dialog& d) {
    d.SetCheck(kWebParameter, true);
    d.SetItemText(kWebStart, "((");
    d.ListSetSel(kWebLetters, 1);
    // Steps and arrow size are whole numbers as typed, 0 to 1000 and 1 to 1000.
    const std::pair<const char*, const char*> bad[] = {{"1001", "10"}, {"2.5", "10"}, {"abc", "10"}, {"3", "0"}};
    for (const auto& [steps, arrow] : bad) {
      plat::testing::ClearMessages();
      d.SetItemText(kWebSteps, steps);
      d.SetItemText(kWebArrowSize, arrow);
      d.Press(kWebDraw);
      EXPECT_EQ(LastMessage(), "jenseits der Grenzen") << steps << " " << arrow;
    }
    d.SetItemText(kWebArrowSize, "10");
    d.SetItemText(kWebSteps, "3");
    d.Press(kWebDraw);
  });
  EXPECT_TRUE(w->OpenCobwebDialog(i));
  TEquation& e = w->Equation(i);
  EXPECT_EQ(e.subKind, 2);
  w->OpenEntryTable(i);
  EXPECT_EQ(Numbers(Lines(w->TableWindow()->Table()).back())[1], 0.1L);
  plat::testing::AnswerDialog("WEB", {}, kWebDelete);
  EXPECT_TRUE(w->OpenCobwebDialog(i));
  EXPECT_EQ(e.notVertical, 0);
  EXPECT_EQ(e.termCount, 3);
  EXPECT_EQ(e.subKind, 2);
}

// ---- time and phase windows ----

TEST_F(TableWindows, TimeWindowsOfTheOscillatorShowSineAndCosine) {
  TPlot2Win* w = MakeWindow();
  const int i = Add(w, kKindOde, -5, 5, "y", "-x");
  w->AddTrajectoryItem(i, {0, 1, 0}, kMethodRungeKutta, 0.01L, 1300, 1);
  w->Command(kCmTimeWindowFirst);
  w->Command(kCmTimeWindowFirst + 2);
  TSideWin* x = w->TimeWindow(0);
  TSideWin* xy = w->TimeWindow(2);
  ASSERT_NE(x, nullptr);
  ASSERT_NE(xy, nullptr);
  EXPECT_EQ(x->GetCaption(), "tx-Fenster [Unbenannt1.kv2]");
  EXPECT_EQ(xy->GetCaption(), "Zeitfenster [Unbenannt1.kv2]");
  EXPECT_EQ(x->PlaneCode(), 9);
  EXPECT_EQ(x->World.xmin, -11.5L);
  EXPECT_EQ(x->World.ymin, w->World.xmin);
  for (TSideWin* s : {x, xy}) {
    s->RepaintNow(false);
    Settle(s);
  }
  const plat::Colour c = x->DrawingColourOf(x->CheckColourIndex(w->Equation(i).penColour));
  auto sine = [](long double t) { return std::sin(t); };
  auto cosine = [](long double t) { return std::cos(t); };
  EXPECT_GT(TimeCoverage(*x, c, 0, 11.5L, sine), 0.97);
  EXPECT_LT(TimeCoverage(*x, c, 0, 11.5L, cosine), 0.5);
  EXPECT_LT(TimeCoverage(*x, c, -11, -1, sine), 0.05) << "nothing before the start";
  EXPECT_GT(TimeCoverage(*xy, c, 0, 11.5L, sine), 0.97);
  EXPECT_GT(TimeCoverage(*xy, c, 0, 11.5L, cosine), 0.97);
  EXPECT_EQ(w->GetOpenWindowsMask() & kOpenTimeWindows, 0x5);
  // Deleting the entry empties the side windows at their next paint.
  w->DeleteEquations({i});
  x->RepaintNow(false);
  Settle(x);
  EXPECT_LT(TimeCoverage(*x, c, 0, 11.5L, sine), 0.05);
  // "Schließen" and the close button hide the window; the mask follows.
  x->Command(357);
  EXPECT_FALSE(x->IsVisible());
  EXPECT_EQ(w->GetOpenWindowsMask() & kOpenTimeWindows, 0x4);
  xy->EvClose();
  EXPECT_FALSE(xy->IsDestroyed());
  EXPECT_EQ(w->GetOpenWindowsMask() & kOpenTimeWindows, 0);
  // Closing the owner asks nothing about its side windows.
  w->Modified = 0;
  EXPECT_TRUE(w->CanClose());
  EXPECT_TRUE(plat::testing::DialogLog().empty() || plat::testing::DialogLog().back() != "YNCMBOX");
}

TEST_F(TableWindows, OpenTimeWindowsAndResultsComeBackWithThePlotFile) {
  TPlot2Win* w = MakeWindow();
  const int i = Add(w, kKindExplicit, -5, 5, {}, "x^2-1");
  const long double zero[1] = {1};
  w->AddResultPoint(i, 10, zero, 1, "Nullstelle");
  const long double both[2] = {1, 0};
  w->AddResultPoint(i, 20, both, 2, "Schnittpunkt");
  w->Command(kCmTimeWindowFirst + 1);
  w->FileData.FileName = dir_ + "results.kv2";
  ASSERT_TRUE(w->WriteFile());

  TPlot2Win* v = MakeWindow();
  v->FileData.FileName = dir_ + "results.kv2";
  ASSERT_EQ(v->OpenFile(), 0);
  Settle(v);
  ASSERT_NE(v->TimeWindow(1), nullptr);
  EXPECT_TRUE(v->TimeWindow(1)->IsVisible());
  EXPECT_EQ(v->TimeWindow(0), nullptr);
  v->Command(kCmCheckData);
  TDataWin* d = v->DataWindow();
  ASSERT_NE(d, nullptr);
  // The newest result heads the list.
  EXPECT_EQ(d->GetText(), "Schnittpunkt = (1.00000,0.00000)\r\nNullstelle = 1.00000\r\n");
  EXPECT_EQ(d->GetCaption(), "Daten [" + v->DescribeEquation(0, 200) + "]");
}

TEST_F(TableWindows, TheResultsWindowStepsThroughTheEntriesAndDeletesAfterAsking) {
  TPlot2Win* w = MakeWindow();
  const int f = Add(w, kKindExplicit, -5, 5, {}, "x");
  Add(w, kKindExplicit, -5, 5, {}, "2x");
  const long double v[1] = {0};
  w->AddResultPoint(f, 10, v, 1, "Nullstelle");
  w->Command(kCmCheckData);
  TDataWin* d = w->DataWindow();
  ASSERT_NE(d, nullptr);
  EXPECT_EQ(d->LineCount(), 1);
  d->Command(kCmDataNext);
  EXPECT_EQ(d->EntryIndex(), 1);
  EXPECT_EQ(d->GetText(), "bisher keine Daten");
  EXPECT_TRUE(d->IsMenuItemEnabled(kCmDataDelete)) << "asks also for an entry without results";
  d->Command(kCmDataNext);
  EXPECT_EQ(d->EntryIndex(), 0) << "after the last entry the first";
  // A result added while the window is open shows at once.
  const long double m[1] = {-1};
  w->AddResultPoint(f, 30, m, 1, "Minimum");
  EXPECT_EQ(d->LineCount(), 2);
  w->Modified = 0;
  plat::testing::ExpectDialog("YNMBOX", [](Dialog& dlg) { dlg.Press(89); });
  d->Command(kCmDataDelete);
  EXPECT_EQ(w->Equation(f).results.size(), 2u) << "no: nothing deleted";
  plat::testing::ExpectDialog("YNMBOX", [](Dialog& dlg) {
    EXPECT_EQ(dlg.GetCaption(), "Vorsicht!");
    dlg.Press(88);
  });
  d->Command(kCmDataDelete);
  EXPECT_TRUE(w->Equation(f).results.empty());
  EXPECT_EQ(w->Modified, 1);
  EXPECT_EQ(d->GetText(), "bisher keine Daten");
}

// ---- phase windows of a 3D window ----

class PhaseWindows : public kvtest::PlotWindowTest<TPlot3Win> {};

TEST_F(PhaseWindows, TheXyPlaneOfTheOscillatorShowsTheCircle) {
  TPlot3Win* w = MakeWindow("Unbenannt1.kv3");
  w->View3D.BoxMin = {-2, -2, -2};
  w->View3D.BoxMax = {2, 2, 2};
  const int i = w->AppendEquation(kKindOde3D, -2, 2, "y", "-x", "0");
  w->CompileEquation(i);
  w->AddTrajectoryItem(i, {0, 1, 0}, kMethodRungeKutta, 0.01L, 700, 1);
  w->Command(kCmPlaneWindowFirst);
  w->Command(kCmPlaneWindowFirst + 2);
  w->Command(kCmTimeWindowFirst + 3);
  TSideWin* xy = w->PlaneWindow(0);
  TSideWin* yz = w->PlaneWindow(2);
  TSideWin* all = w->TimeWindow(3);
  ASSERT_TRUE(xy && yz && all);
  EXPECT_EQ(xy->GetCaption(), "xy-Fenster [Unbenannt1.kv3]");
  EXPECT_EQ(yz->GetCaption(), "yz-Fenster [Unbenannt1.kv3]");
  EXPECT_EQ(xy->World.xmin, -2.16L);
  for (TSideWin* s : {xy, yz, all}) {
    s->RepaintNow(false);
    Settle(s);
  }
  const plat::Colour c = xy->DrawingColourOf(xy->CheckColourIndex(w->Equation(i).penColour));
  int hit = 0;
  for (int k = 0; k < 100; ++k) {
    const long double a = 2 * kPi * k / 100;
    if (ColourNear(xy->Surface(), xy->WorldToPixelX(std::sin(a)), xy->WorldToPixelY(std::cos(a)), c, 2)) ++hit;
  }
  EXPECT_GT(hit, 97);
  // In the yz plane the circle is the segment z = 0, -1 <= y <= 1.
  EXPECT_TRUE(ColourNear(yz->Surface(), yz->WorldToPixelX(0.5L), yz->WorldToPixelY(0), c, 2));
  EXPECT_FALSE(ColourNear(yz->Surface(), yz->WorldToPixelX(0.5L), yz->WorldToPixelY(1), c, 2));
  EXPECT_EQ(w->GetOpenWindowsMask(), 0x8 | (1 << 7) | (1 << 9));
}

}  // namespace
}  // namespace kv
