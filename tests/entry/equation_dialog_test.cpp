// The equation dialog: every 2D kind opens with its defaults and closes with
// OK, the checks on OK refuse what they must (and change nothing then),
// cancel removes a new entry, and an edit redraws what its change asks.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "entry/equation_dialog.h"
#include "platform/resources.h"
#include "plot2d/plot2_test_util.h"

namespace kv {
namespace {

using plat::Dialog;

class EquationDialog : public test2d::Plot2Test {};

TEST_F(EquationDialog, EveryNewEquationCommandOpensItsTemplateWithDefaultsThatCompile) {
  struct Case {
    int command;
    const char* templateName;
    int kind;
    int edit;            // an edit that shows a default text
    const char* shown;   // and what it shows
  } cases[] = {
      {kCmNewExplicit, "EQUA201", kKindExplicit, 212, "xsin(x)"},
      {kCmNewParametric, "EQUA203", kKindParametric, 211, "3cos(3t)"},
      {kCmNewImplicit, "EQUA204", kKindImplicit, 218, "xx+yy=13"},
      {kCmNewPolar, "EQUA202", kKindPolar, 213, "3cos(2t)"},
      {kCmNewPointXY, "EQUA309", kKindPoint, 211, "2.54"},
      {kCmNewPointRT, "EQUA309", kKindPoint, 212, "pi/3"},
      {kCmNewSegmentXY, "EQUA205", kKindSegment, 214, "1.0"},
      {kCmNewSegmentRT, "EQUA205", kKindSegment, 211, "-1.5"},
      {kCmNewLine, "EQUA208", kKindLine, 213, "3.141"},
      {kCmNewRecursion, "EQUA212", kKindSequence, 211, "1+abs(x)-y"},
      {kCmNewSlopeDX, "EQUA211", kKindOdeDyDx, 213, "x-y"},
      {kCmNewSystemDT, "EQUA210", kKindOde, 212, "2xy"},
  };
  TPlot2Win* w = MakeWindow();
  int expected = -1;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.templateName);
    // Room is the only precondition: an entry being edited elsewhere does
    // not hold a new one back.
    w->SetInventoryEditing(false);
    std::string shown;
    RunWithDialog(w, c.command, c.templateName, [&](Dialog& d) {
      shown = d.GetItemText(c.edit);
      d.Press(plat::IDOK);
    });
    EXPECT_EQ(shown, c.shown);
    ++expected;
    ASSERT_EQ(w->equationCount, expected);
    EXPECT_EQ(w->Equation(expected).kind, c.kind);
    EXPECT_TRUE(plat::testing::Messages().empty());
  }
  EXPECT_EQ(w->entryCounter, expected + 1);
  EXPECT_EQ(w->Equation(7).polarInput, 1) << "the (r;t) segment";
  EXPECT_EQ(w->Equation(4).polarInput, 0);
  EXPECT_EQ(w->Equation(5).polarInput, 1) << "the (r;t) point";
}

TEST_F(EquationDialog, KindsWithoutACommandOpenAndCloseThroughTheEdit) {
  struct Case {
    int kind;
    const char* text1;
    const char* text2;
    const char* templateName;
  } cases[] = {
      {kKindAntiderivative, "", "2x", "EQUA206"},
      {kKindRoulette, "t", "0", "EQUA207"},
      {kKindLagrange, "", "A+Bx", "EQUA213"},
      {kKindPointSequence, "", "", "EQUA215"},
      {kKindSum, "N", "1/N^2", "EQUA218"},
  };
  TPlot2Win* w = MakeWindow();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.templateName);
    const int i = w->AppendEquation(c.kind, 0, 1, c.text1, c.text2);
    w->CompileEquation(i);
    if (c.kind == kKindLagrange) {
      // The polynomial is edited by its editor; its attributes use the
      // dialog directly.
      int mask = -1;
      plat::testing::ExpectDialog(c.templateName, [](Dialog& d) {
        EXPECT_TRUE(d.HasItem(225)) << "the point size";
        d.Press(plat::IDOK);
      });
      EXPECT_EQ(w->RunEquationDialog(i, mask), plat::IDOK);
      EXPECT_EQ(w->Equation(i).kind, kKindExplicit);
      EXPECT_EQ(w->Equation(i).interpolated, 1);
      continue;
    }
    if (c.kind == kKindSum) w->Equation(i).subKind = 3;  // its point size
    plat::testing::ExpectDialog(c.templateName, [](Dialog& d) { d.Press(plat::IDOK); });
    w->EditEquation(i, true);
    EXPECT_TRUE(plat::testing::Messages().empty());
  }
}

TEST_F(EquationDialog, AFormulaErrorKeepsTheDialogOpenAndCancelFreesTheNewEntry) {
  TPlot2Win* w = MakeWindow();
  const int code = w->Compile("xsin(x");
  ASSERT_GT(code, 0);
  bool openAfterOk = false;
  RunWithDialog(w, kCmNewExplicit, "EQUA201", [&](Dialog& d) {
    d.SetItemText(212, "xsin(x");
    d.Press(plat::IDOK);
    openAfterOk = !d.IsDestroyed() && d.Result() != plat::IDOK;
    d.Press(plat::IDCANCEL);
  });
  EXPECT_TRUE(openAfterOk);
  ASSERT_EQ(plat::testing::Messages().size(), 1u);
  EXPECT_EQ(plat::testing::Messages()[0].text, plat::res::String(400 + code));
  EXPECT_EQ(w->equationCount, -1) << "the new entry is gone";
  EXPECT_EQ(w->entryCounter, 0) << "and no colour was used";
  EXPECT_TRUE(w->equationLabels.empty());
}

// One OK with the given edits on a fresh explicit entry; the message shown
// (empty for none) and the entry afterwards.
struct CheckCase {
  const char* what;
  int kind;
  std::vector<std::pair<int, std::string>> edits;
  std::vector<int> checks;  // check boxes to tick
  const char* message;      // "" when OK is accepted
  bool logX = false;        // in a window whose x axis is logarithmic, 0.1 to 100
};

TEST_F(EquationDialog, TheChecksOnOkRefuseWhatTheyMustAndLeaveTheEntryAlone) {
  const CheckCase cases[] = {
      {"implicit without =", kKindImplicit, {{218, "x^2+y^2"}}, {}, "Gleichheitszeichen fehlt"},
      {"implicit with =", kKindImplicit, {{218, "x^2+y^2=1"}}, {}, ""},
      {"equal bounds", kKindExplicit, {{221, "2"}, {223, "2"}}, {271}, "widersprüchliche Daten"},
      {"bounds just apart", kKindExplicit, {{221, "2"}, {223, "2.000000000001"}}, {271}, ""},
      {"density 0", kKindExplicit, {{215, "0"}}, {}, "jenseits der Grenzen"},
      {"density 10001", kKindExplicit, {{215, "10001"}}, {}, "jenseits der Grenzen"},
      {"density -10000", kKindExplicit, {{215, "-10000"}}, {}, ""},
      {"pen width 31", kKindExplicit, {{227, "31"}}, {}, "jenseits der Grenzen"},
      {"pen width 3@", kKindExplicit, {{227, "3@"}}, {}, ""},
      {"surface 100 x 100", kKindSurface, {{213, "xy"}, {216, "100"}, {217, "100"}}, {}, "jenseits der Grenzen"},
      {"surface 76 x 76", kKindSurface, {{213, "xy"}, {216, "76"}, {217, "76"}}, {}, ""},
      {"sum over n", kKindSum, {{211, "n"}, {212, "1/n"}, {235, "3"}}, {}, ""},
      {"sum over nn", kKindSum, {{211, "nn"}, {212, "1/n"}, {235, "3"}}, {}, "unverständlich"},
      {"sum over N", kKindSum, {{211, "N"}, {212, "1/N"}, {235, "3"}}, {}, ""},
      {"sum down", kKindSum, {{211, "N"}, {212, "1/N"}, {235, "3"}, {216, "5"}, {217, "4"}}, {}, "widersprüchliche Daten"},
      {"field length 0.1", kKindOde, {{211, "y"}, {212, "-x"}, {225, "0.1"}}, {}, "jenseits der Grenzen"},
      {"field rows 101", kKindOde, {{211, "y"}, {212, "-x"}, {226, "101"}}, {}, "jenseits der Grenzen"},
      {"arrow size 1001", kKindParametric, {{211, "t"}, {212, "t"}, {235, "1001"}}, {}, "jenseits der Grenzen"},
      {"arrow outside the bounds", kKindParametric, {{211, "t"}, {212, "t"}, {234, "9"}}, {271},
       "jenseits der Grenzen"},
      {"point guide code", kKindPoint, {{211, "1"}, {212, "2"}, {214, "12x"}}, {}, "unverständlich"},
      {"point guide letters", kKindPoint, {{211, "1"}, {212, "2"}, {214, "xy/r"}}, {}, ""},
      {"below the log axis", kKindExplicit, {{221, "0.0999999999998"}, {223, "10"}}, {271}, "widersprüchliche Daten",
       true},
      {"within 1e-13 of the log axis", kKindExplicit, {{221, "0.09999999999995"}, {223, "10"}}, {271}, "", true},
  };
  for (const CheckCase& c : cases) {
    SCOPED_TRACE(c.what);
    TPlot2Win* w = MakeWindow();
    if (c.logX) {
      w->LogWindowType = 1;
      w->AxisKind = 1;
      w->LogValueRange = {0.1L, 100, 0, HUGE_VALL};
    }
    const int i = w->AppendEquation(c.kind, 0, 1, "A", "x", "x", {}, "x=1");
    w->CompileEquation(i);
    TEquation before;
    CopyEquation(before, w->Equation(i));
    const std::int16_t defaultWidth = w->defaultPenWidth;
    plat::testing::ClearMessages();
    int mask = -1;
    plat::testing::ExpectDialog("", [&](Dialog& d) {
      for (const auto& [id, text] : c.edits) d.SetItemText(id, text);
      for (int id : c.checks) d.SetCheck(id, true);
      d.Press(plat::IDOK);
      if (!d.IsDestroyed() && d.Result() != plat::IDOK) d.Press(plat::IDCANCEL);
    });
    const int result = w->RunEquationDialog(i, mask);
    if (*c.message) {
      ASSERT_EQ(plat::testing::Messages().size(), 1u);
      EXPECT_EQ(plat::testing::Messages()[0].text, c.message);
      EXPECT_EQ(result, plat::IDCANCEL);
      EXPECT_EQ(w->Equation(i).formulaText, before.formulaText) << "a refused OK changes nothing";
      EXPECT_EQ(w->Equation(i).penWidth, before.penWidth);
      EXPECT_EQ(w->Equation(i).stepDensity, before.stepDensity);
      EXPECT_EQ(w->defaultPenWidth, defaultWidth);
    } else {
      EXPECT_TRUE(plat::testing::Messages().empty());
      EXPECT_EQ(result, plat::IDOK);
    }
  }
}

TEST_F(EquationDialog, AcceptedValuesReachTheEntry) {
  TPlot2Win* w = MakeWindow();
  // An implicit curve is kept as the difference of its sides.
  int i = w->AppendEquation(kKindImplicit, 0, 1, {}, {}, {}, {}, "x=1");
  plat::testing::ExpectDialog("EQUA204", [](Dialog& d) {
    d.SetItemText(218, "x^2+y^2=1");
    d.Press(plat::IDOK);
  });
  int mask = 0;
  ASSERT_EQ(w->RunEquationDialog(i, mask), plat::IDOK);
  EXPECT_EQ(w->Equation(i).formulaText[2], "x^2+y^2-(1)");
  EXPECT_EQ(w->Equation(i).formulaText[4], "x^2+y^2=1");
  // A thinner pen draws the curve anew in full.
  w->drawn = 1;
  plat::testing::ExpectDialog("EQUA204", [](Dialog& d) {
    d.SetItemText(227, "3");
    d.Press(plat::IDOK);
  });
  ASSERT_EQ(w->RunEquationDialog(i, mask), plat::IDOK);
  EXPECT_EQ(w->Equation(i).penWidth, 3);
  EXPECT_EQ(w->drawn, 0);

  // "3@" sets the width and makes it the window's default.
  i = w->AppendEquation(kKindExplicit, 0, 1, {}, "x");
  plat::testing::ExpectDialog("EQUA201", [](Dialog& d) {
    d.SetItemText(227, "3@");
    d.SetItemText(215, "2@");
    d.Press(plat::IDOK);
  });
  ASSERT_EQ(w->RunEquationDialog(i, mask), plat::IDOK);
  EXPECT_EQ(w->Equation(i).penWidth, 3);
  EXPECT_EQ(w->defaultPenWidth, 3);
  EXPECT_EQ(w->Equation(i).stepDensity, 2);
  EXPECT_EQ(w->Equation(i).densityFlag, 1) << "the density's @ joins across jumps";

  // Bound suffixes: "@" and a size give a hollow dot, "@@@@" a filled arrow.
  i = w->AppendEquation(kKindExplicit, 0, 1, {}, "x");
  plat::testing::ExpectDialog("EQUA201", [](Dialog& d) {
    d.SetCheck(271, true);
    d.SetItemText(221, "-1@2");
    d.SetItemText(223, "2@@@@3");
    d.Press(plat::IDOK);
  });
  ASSERT_EQ(w->RunEquationDialog(i, mask), plat::IDOK);
  TEquation& e = w->Equation(i);
  EXPECT_EQ(e.lowerBound.x, -1);
  EXPECT_EQ(e.upperBound.x, 2);
  EXPECT_EQ(e.bounded, 1);
  EXPECT_EQ(e.rangeMin, -1);
  EXPECT_EQ(e.endMarkerLeft(), -2);
  EXPECT_EQ(e.endArrowRight(), 3);
  // A graph keeps a period from its bounds, "periodisch" or not.
  EXPECT_EQ(e.values[6].x, -1);
  EXPECT_EQ(e.values[6].y, 3);
  // The dialog shows them again as it read them.
  std::string lower;
  plat::testing::ExpectDialog("EQUA201", [&](Dialog& d) {
    lower = d.GetItemText(221);
    d.Press(plat::IDCANCEL);
  });
  w->RunEquationDialog(i, mask);
  EXPECT_EQ(lower.substr(lower.size() - 2), "@2");

  // A field's element length and its parameter come back unchanged from
  // an OK that changes nothing: the field is read in percent.
  const struct {
    std::int16_t tenths, parameter;
    const char* shown;
  } fields[] = {{15, 0, "1.5"}, {20, 3, "2@C"}, {7, 24, "0.7@24"}};
  for (const auto& f : fields) {
    SCOPED_TRACE(f.shown);
    i = w->AppendEquation(kKindOde, 0, 1, "y", "-x");
    w->Equation(i).fieldLength = f.tenths;
    w->Equation(i).arrowMode = f.parameter;
    std::string shown;
    plat::testing::ExpectDialog("EQUA210", [&](Dialog& d) {
      shown = d.GetItemText(225);
      d.Press(plat::IDOK);
    });
    ASSERT_EQ(w->RunEquationDialog(i, mask), plat::IDOK);
    EXPECT_EQ(shown, f.shown);
    EXPECT_EQ(w->Equation(i).fieldLength, f.tenths);
    EXPECT_EQ(w->Equation(i).arrowMode, f.parameter);
  }

  // An edited point sequence takes its curve's range again (one read
  // from an older file held none).
  const int curve = w->AppendEquation(kKindPolar, 0, 3, "", "", "2");
  w->CompileEquation(curve);
  ASSERT_EQ(w->AddPointSequenceEquation(curve, "1 2 4", 2), 0);
  const int s = w->equationCount;
  w->Equation(s).sampleLower() = w->Equation(s).sampleUpper() = 0;
  plat::testing::ExpectDialog("EQUA215", [](Dialog& d) {
    d.SetItemText(214, "1 2");
    d.Press(plat::IDOK);
  });
  EXPECT_TRUE(w->EditEquation(s, false));
  EXPECT_EQ(w->Equation(s).auxValue3, 2);
  EXPECT_EQ(static_cast<double>(w->Equation(s).sampleUpper()), 3.0);
}

TEST_F(EquationDialog, BoundMarkerSuffixesReadAsTheirCountOfAtSigns) {
  struct Case {
    const char* text;
    const char* number;
    int first;
    int second;
  } cases[] = {
      {"1@2", "1", -2, 0},   {"1@@2", "1", 2, 0},     {"1@@@2", "1", 0, -2}, {"1@@@@2", "1", 0, 2},
      {"1@@30", "1", 20, 0}, {"1@@@@@2", "1@@@@@2", 0, 0}, {"pi", "pi", 0, 0}, {"1@", "1@", 0, 0},
  };
  for (const Case& c : cases) {
    std::string text = c.text;
    int first = 9;
    int second = 9;
    SplitBoundMarkers(text, first, second);
    EXPECT_EQ(text, c.number) << c.text;
    EXPECT_EQ(first, c.first) << c.text;
    EXPECT_EQ(second, c.second) << c.text;
  }
  for (const auto& [first, second] : std::vector<std::pair<int, int>>{{-2, 0}, {2, 0}, {0, -3}, {0, 3}}) {
    std::string text = "1" + BoundMarkerSuffix(first, second);
    int a = 0;
    int b = 0;
    SplitBoundMarkers(text, a, b);
    EXPECT_EQ(a, first);
    EXPECT_EQ(b, second);
  }
}

// Counts the full paint passes and the single entries drawn.
class CountingWin : public TPlot2Win {
 public:
  using TPlot2Win::TPlot2Win;
  int DrawEquations(plat::DC& dc) override {
    ++passes;
    return TPlot2Win::DrawEquations(dc);
  }
  int DrawInventoryItem(plat::DC& dc, int i) override {
    ++singles;
    return TPlot2Win::DrawInventoryItem(dc, i);
  }
  int passes = 0;
  int singles = 0;
};

TEST_F(EquationDialog, AnEditRedrawsOnlyWhatItsChangeMaskAsks) {
  struct Case {
    const char* what;
    std::vector<std::pair<int, std::string>> edits;
    int mask;
    bool changed;
    int passes;
    int singles;
  } cases[] = {
      {"nothing", {}, 0, false, 0, 0},
      {"pen width", {{227, "3"}}, kChangeAppearance, true, 0, 1},
      {"formula", {{212, "x^2"}}, kChangeRecompute | kChangeOptions, true, 1, 0},
      {"density", {{215, "3"}}, kChangeRecompute, true, 1, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    auto* w = new CountingWin(nullptr, "Unbenannt1.kv2");
    windows_.push_back(w);
    w->FileVersion = 33;
    ASSERT_TRUE(w->Create());
    w->Show(plat::SW_SHOW);
    Settle(w);
    const int i = w->AppendEquation(kKindExplicit, -5, 5, {}, "sin(x)");
    w->CompileEquation(i);
    w->FitDomainsToView();
    w->AddEquationLabel();
    w->RepaintNow(false);
    Settle(w);
    auto answer = [&c](Dialog& d) {
      for (const auto& [id, text] : c.edits) d.SetItemText(id, text);
      d.Press(plat::IDOK);
    };
    // The mask as the dialog reports it, on the entry as it was ...
    TEquation before;
    CopyEquation(before, w->Equation(i));
    int mask = -1;
    plat::testing::ExpectDialog("EQUA201", answer);
    ASSERT_EQ(w->RunEquationDialog(i, mask), plat::IDOK);
    EXPECT_EQ(mask, c.mask);
    CopyEquation(w->Equation(i), before);
    // ... and the redraw the same edit causes.
    plat::testing::ExpectDialog("EQUA201", answer);
    w->passes = 0;
    w->singles = 0;
    EXPECT_EQ(w->EditEquation(i, false), c.changed);
    Settle(w);
    EXPECT_EQ(w->passes, c.passes);
    EXPECT_EQ(w->singles, c.singles);
  }
}

TEST_F(EquationDialog, EveryTemplateHoldsTheControlsOfItsKind) {
  for (int kind : EquationDialogKinds()) {
    const std::string name = "EQUA" + std::to_string(kind == kKindPoint ? 309 : kind);
    SCOPED_TRACE(name);
    const plat::res::DialogTemplate* t = plat::res::FindDialog(name);
    ASSERT_NE(t, nullptr);
    const TEquationControls* c = EquationControls(kind);
    for (const auto* list : {&c->edits, &c->checks, &c->radios, &c->statics})
      for (int id : *list) EXPECT_NE(t->Find(id), nullptr) << id;
    EXPECT_NE(t->Find(plat::IDOK), nullptr);
    EXPECT_NE(t->Find(plat::IDCANCEL), nullptr);
    EXPECT_EQ(t->Find(kEqHelp) != nullptr, kind != kKindAntiderivative);
    if (kind != kKindAntiderivative) {
      EXPECT_TRUE(plat::res::HasString(HelpTopicStringId(kind)));
    }
  }
}

}  // namespace
}  // namespace kv
