// The inventory operations of the equation-entry layer and the commands of
// the layers shared by the 2D and 3D windows.
#include <gtest/gtest.h>

#include "entry/model/derived_items.h"
#include "entry/plot111_win.h"
#include "platform/resources.h"
#include "plot2d/plot2_test_util.h"

namespace kv {
namespace {

using plat::Dialog;

class Inventory : public test2d::Plot2Test {
 protected:
  int Add(TPlot2Win* w, std::string_view f, int derivation = 0, int source = -1) {
    const int i = w->AppendEquation(kKindExplicit, -5, 5, {}, f);
    w->CompileEquation(i);
    w->Equation(i).derivation = static_cast<std::int16_t>(derivation);
    w->Equation(i).source1 = static_cast<std::int16_t>(source);
    w->AddEquationLabel();
    return i;
  }
  static std::vector<std::string> Texts(TPlot2Win* w) {
    std::vector<std::string> v;
    for (int i = 0; i <= w->equationCount; ++i) v.push_back(w->Equation(i).formulaText[1]);
    return v;
  }
};

TEST_F(Inventory, SwapsKeepSourcesCaptionsAndShadingsInStepAndKeepSourcesFirst) {
  struct Case {
    const char* what;
    int i;
    int j;
    bool swapped;
  } cases[] = {
      {"two typed entries", 0, 1, true},
      {"a derived entry before its source", 2, 3, false},  // 3 is derived from 2
      {"an entry between derived from the lower one", 2, 4, false},
      {"derived entry with one after its own source", 3, 4, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TPlot2Win* w = MakeWindow();
    Add(w, "a");
    Add(w, "b");
    Add(w, "c");
    Add(w, "d", kDerivedAbsoluteValue, 2);
    Add(w, "e");
    w->shadings.push_back(TShadeRecord{static_cast<std::int16_t>(c.i), static_cast<std::int16_t>(c.j)});
    // Labels bound to the two entries and to the frame.
    for (int b : {c.i, c.j, static_cast<int>(kBindFrame)}) {
      w->TextLabels.emplace_back();
      w->TextLabels.back().binding = static_cast<std::int16_t>(b);
    }
    const auto before = Texts(w);
    EXPECT_EQ(w->SwapEquations(c.i, c.j), c.swapped);
    auto expected = before;
    if (c.swapped) std::swap(expected[static_cast<std::size_t>(c.i)], expected[static_cast<std::size_t>(c.j)]);
    EXPECT_EQ(Texts(w), expected);
    for (int k = 0; k <= w->equationCount; ++k) {
      const TEquation& e = w->Equation(k);
      if (e.derivation > 0) {
        EXPECT_LT(e.source1, k) << "sources come first";
        EXPECT_EQ(w->Equation(e.source1).formulaText[1], "c");
      }
      // |f| names its source, which moves with it.
      const std::string shown = e.derivation > 0 ? "Betrag von #" + std::to_string(e.source1 + 1)
                                                 : expected[static_cast<std::size_t>(k)];
      EXPECT_NE(w->equationLabels[static_cast<std::size_t>(k)].text.find(shown), std::string::npos) << "caption " << k;
    }
    const TShadeRecord& s = w->shadings.front();
    EXPECT_EQ(s.graphA, c.swapped ? c.j : c.i);
    EXPECT_EQ(s.graphB, c.swapped ? c.i : c.j);
    EXPECT_EQ(w->TextLabels[0].binding, c.swapped ? c.j : c.i) << "a label follows its entry";
    EXPECT_EQ(w->TextLabels[1].binding, c.swapped ? c.i : c.j);
    EXPECT_EQ(w->TextLabels[2].binding, kBindFrame);
  }
}

TEST_F(Inventory, DeletingAnEntryDeletesEverythingDerivedFromIt) {
  TPlot2Win* w = MakeWindow();
  Add(w, "a");                                  // 0
  Add(w, "b", kDerivedAbsoluteValue, 0);        // 1 from 0
  Add(w, "c");                                  // 2
  Add(w, "d", kDerivedFrozenCopy, 1);           // 3 from 1, so from 0
  Add(w, "e", kDerivedAbsoluteValue, 2);        // 4 from 2
  const int end = w->AppendEquation(kKindPoint, 0, 1, "1", "2");
  w->Equation(end).derivation = kDerivedSegmentEnd;
  w->Equation(end).source1 = 2;
  w->Equation(end).source2 = 2;                 // the second end, not an entry
  const int gone = w->AppendEquation(kKindPoint, 0, 1, "3", "4");  // 6 from 1, so from 0
  w->Equation(gone).derivation = kDerivedTracePoint;
  w->Equation(gone).source1 = 1;
  w->Equation(gone).values[4] = {3, 4, 0};      // where it was drawn
  // Labels bound to a kept point, to a deleted one, to the frame and to the
  // figure, each a little off its reference point.
  for (int b : {end, gone, static_cast<int>(kBindFrame), static_cast<int>(kBindFigure)}) {
    TTextLabel l;
    l.binding = static_cast<std::int16_t>(b);
    l.anchorX = 0.5L;
    l.anchorY = 0.25L;
    w->TextLabels.push_back(l);
  }
  w->TermLabels.push_back(w->TextLabels[0]);
  w->shadings.push_back(TShadeRecord{1, kShadeAbove});
  w->shadings.push_back(TShadeRecord{4, 2});
  w->currentEquation = 3;
  w->DeleteEquations({0});
  ASSERT_EQ(w->equationCount, 2);
  EXPECT_EQ(Texts(w), (std::vector<std::string>{"c", "e", "2"}));
  EXPECT_EQ(w->Equation(1).source1, 0) << "follows its source";
  EXPECT_EQ(w->Equation(2).source1, 0);
  EXPECT_EQ(w->Equation(2).source2, 2) << "an end point keeps which end it is";
  ASSERT_EQ(w->shadings.size(), 1u) << "the shading of a deleted entry is gone";
  EXPECT_EQ(w->shadings.front().graphA, 1);
  EXPECT_EQ(w->shadings.front().graphB, 0);
  EXPECT_EQ(w->currentEquation, -1) << "the current entry was deleted";
  EXPECT_EQ(w->equationLabels.size(), 2u);
  // The label of the kept point follows it; the deleted point's label
  // stays where it stood, now on its own.
  EXPECT_EQ(w->TextLabels[0].binding, 2);
  EXPECT_EQ(w->TermLabels[0].binding, 2);
  EXPECT_EQ(w->TextLabels[1].binding, kBindFigure);
  EXPECT_EQ(static_cast<double>(w->TextLabels[1].anchorX), 3.5);
  EXPECT_EQ(static_cast<double>(w->TextLabels[1].anchorY), 4.25);
  EXPECT_EQ(w->TextLabels[2].binding, kBindFrame);
  EXPECT_EQ(static_cast<double>(w->TextLabels[2].anchorX), 0.5);
  EXPECT_EQ(w->TextLabels[3].binding, kBindFigure);
  EXPECT_EQ(static_cast<double>(w->TextLabels[3].anchorX), 0.5);
}

TEST_F(Inventory, PointsAreReadFromClipboardText) {
  struct Case {
    const char* text;
    std::vector<std::pair<std::string, std::string>> points;
    int code = 0;
    int line = 0;
  } cases[] = {
      {"1 2 3 4 5", {{"1", "2"}, {"3", "4"}}},
      {"x=1.5; y=-2", {{"1.5", "-2"}}},
      {"- . 7 8", {{"7", "8"}}},
      {"", {}, 24},
      {"1 2\n3.4.5 6", {}, 1, 2},  // a malformed number adds nothing
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    TPlot2Win* w = MakeWindow();
    TEquation proto;
    InitEquation(proto, kKindPoint, 2, 50);
    int line = -1;
    EXPECT_EQ(w->AppendPointsFromText(proto, c.text, &line), c.code);
    EXPECT_EQ(line, c.line);
    ASSERT_EQ(w->equationCount + 1, static_cast<int>(c.points.size()));
    for (std::size_t k = 0; k < c.points.size(); ++k) {
      EXPECT_EQ(w->Equation(static_cast<int>(k)).formulaText[0], c.points[k].first);
      EXPECT_EQ(w->Equation(static_cast<int>(k)).formulaText[1], c.points[k].second);
      EXPECT_EQ(w->Equation(static_cast<int>(k)).kind, kKindPoint);
    }
  }
  // A number longer than a formula text is refused with the rest; a full
  // inventory stops the reading with 4.
  TPlot2Win* w = MakeWindow();
  TEquation proto;
  InitEquation(proto, kKindPoint, 2, 50);
  EXPECT_EQ(w->AppendPointsFromText(proto, std::string(300, '7') + " 1 2"), 1);
  ASSERT_EQ(w->equationCount, -1);
  std::string many;
  for (int k = 0; k < 100; ++k) many += std::to_string(k) + " ";
  EXPECT_EQ(w->AppendPointsFromText(proto, many), 4);
  EXPECT_EQ(w->equationCount, w->equationCapacity);
}

TEST_F(Inventory, TheThirtySeventhEntryFindsNoRoom) {
  TPlot2Win* w = MakeWindow();
  for (int k = 0; k < 36; ++k) w->AppendEquation(kKindExplicit, -5, 5, {}, "x");
  EXPECT_EQ(w->equationCount, 35);
  EXPECT_FALSE(w->QueryCommand(kCmNewExplicit).enabled);
  EXPECT_FALSE(w->Command(kCmNewExplicit));
  EXPECT_EQ(w->NewEquation(kKindExplicit, -5, 5, {}, "x"), -1);
  ASSERT_EQ(plat::testing::Messages().size(), 1u);
  EXPECT_EQ(plat::testing::Messages()[0].text, "kein Platz mehr");
  EXPECT_EQ(w->equationCount, 35);
}

TEST_F(Inventory, SegmentEndPointsNeedRoomForBoth) {
  struct Case {
    int filled;  // entries before the segment
    int points;  // end points appended
  } cases[] = {{0, 2}, {33, 2}, {34, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.filled);
    TPlot2Win* w = MakeWindow();
    for (int k = 0; k < c.filled; ++k) w->AppendEquation(kKindExplicit, -5, 5, {}, "x");
    plat::testing::ClearMessages();
    RunWithDialog(w, kCmNewSegmentXY, "EQUA205", [](Dialog& d) {
      if (d.IsItemEnabled(275)) d.SetCheck(275, true);
      d.Press(plat::IDOK);
    });
    EXPECT_EQ(w->equationCount, c.filled + c.points);
    EXPECT_EQ(plat::testing::Messages().size(), c.points == 2 ? 0u : 1u) << "no room for the end points is said";
    if (c.points == 2) {
      EXPECT_EQ(w->Equation(c.filled + 1).formulaText[0], "-1.5");
      EXPECT_EQ(w->Equation(c.filled + 2).formulaText[1], "1.0");
      EXPECT_EQ(w->Equation(c.filled + 2).source2, 2);
    }
    EXPECT_EQ(w->Equation(c.filled).interpolated, 0) << "the request is done";
  }
}

TEST_F(Inventory, ADerivedEntryKeepsItsTextsWhenEdited) {
  TPlot2Win* w = MakeWindow();
  Add(w, "x^2");
  w->AddAbsoluteValueItem(0);
  ASSERT_EQ(w->equationCount, 1);
  EXPECT_EQ(w->Equation(1).derivation, kDerivedAbsoluteValue);
  ASSERT_NE(w->Equation(1).trees[1], nullptr);
  EXPECT_EQ(w->Equation(1).trees[1]->token, tok::Abs);
  plat::testing::ExpectDialog("EQUA201", [](Dialog& d) {
    d.SetItemText(212, "x^3");
    d.SetItemText(227, "4");
    d.Press(plat::IDOK);
  });
  EXPECT_TRUE(w->EditEquation(1, false));
  EXPECT_EQ(w->Equation(1).formulaText[1], "x^2");
  EXPECT_EQ(w->Equation(1).penWidth, 4);
}

TEST_F(Inventory, SliderStepsAreCheckedAndAnUnchangedDialogKeepsThem) {
  TPlot2Win* w = MakeWindow();
  struct Case {
    long double small;
    long double medium;
    int code;
    std::int32_t smallAfter;
    std::int32_t mediumAfter;
  } cases[] = {{100, 50, 0, 100, 2}, {100, 51, 17, 100, 2}, {1, 1, 17, 100, 2}, {300, 3, 0, 300, 100}};
  for (const Case& c : cases) {
    EXPECT_EQ(w->SetSliderSteps(c.small, c.medium), c.code);
    EXPECT_EQ(w->smallSteps[0], c.smallAfter);
    EXPECT_EQ(w->mediumSteps[0], c.mediumAfter);
  }
  for (int round = 0; round < 2; ++round) {
    plat::testing::ExpectDialog("CALIB", [](Dialog& d) {
      EXPECT_EQ(d.GetItemText(212), "3");
      d.Press(plat::IDOK);
    });
    w->Command(kCmSliderSteps);
    EXPECT_EQ(w->smallSteps[0], 300);
    EXPECT_EQ(w->mediumSteps[0], 100);
  }
}

TEST_F(Inventory, LayerCommandsFollowTheInventory) {
  TPlot2Win* w = MakeWindow();
  // The enablers of commands still pending are asked on their own.
  for (int id : std::initializer_list<int>{kCmTables, kCmRedraw, kCmInventory, kCmCheckData, kCmMouseData, kCmZeros, kCmExtrema})
    EXPECT_FALSE(w->QueryEnabler(id).enabled) << id;
  EXPECT_TRUE(w->QueryCommand(kCmFitWindow).enabled);
  Add(w, "sin(x)");
  for (int id : std::initializer_list<int>{kCmTables, kCmRedraw, kCmInventory, kCmZeros, kCmExtrema, kCmIntersections})
    EXPECT_TRUE(w->QueryEnabler(id).enabled) << id;
  EXPECT_TRUE(w->QueryCommand(kCmRedraw).enabled);
  EXPECT_FALSE(w->QueryEnabler(kCmShadeImplicit).enabled);
  EXPECT_FALSE(w->QueryEnabler(kCmDistance).enabled);

  // "&Punkte": the first point decides; every point takes the opposite.
  for (const char* x : {"1", "2"}) {
    const int i = w->AppendEquation(kKindPoint, 0, 1, x, "0");
    w->CompileEquation(i);
  }
  EXPECT_TRUE(w->QueryEnabler(kCmDistance).enabled) << "two points";
  w->Equation(1).visible = 0;
  w->Command(kCmToggleAllPoints);
  EXPECT_EQ(w->Equation(1).visible, 1);
  EXPECT_EQ(w->Equation(2).visible, 1);

  const std::string listing = w->InventoryText();
  EXPECT_NE(listing.find("sin(x)"), std::string::npos);
  EXPECT_NE(listing.find("-------------------------\r\n"), std::string::npos);

  // A new file empties the drawing and takes the kind's default name.
  w->Command(kCmRedraw);
  w->NewFile();
  EXPECT_EQ(w->equationCount, -1);
  EXPECT_EQ(w->FileData.FileName, plat::res::String(29) + ".kv2");
}

TEST_F(Inventory, FitWindowTakesTheBoxOfPointsAndSums) {
  struct Case {
    const char* what;
    int kind;
    const char* text1;
    const char* text2;
    bool polar;
    long double cx, cy, half;
  } cases[] = {
      // A single point: half-extents 5 times 1.03.
      {"point", kKindPoint, "2", "-1", false, 2, -1, 5.15L},
      {"(r;t) point", kKindPoint, "2", "pi", true, -2, 0, 5.15L},
      // In complex mode the partial sums of i^n, n = 0..3: 1, 1+i, i, 0.
      {"sum", kKindSum, "n", "cis(pi*n/2)", false, 0.5L, 0.5L, 0.515L},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TPlot2Win* w = MakeWindow();
    w->Command(kCmFitWindow);  // nothing to fit: the view stays
    EXPECT_EQ(w->Centre.x, 0);
    w->SetComplexMode(c.kind == kKindSum);
    const int i = w->AppendEquation(c.kind, 0, 1, c.text1, c.text2);
    w->Equation(i).polarInput = c.polar ? 1 : 0;
    w->Equation(i).divisions[0] = 0;
    w->Equation(i).divisions[1] = 3;
    w->CompileEquation(i);
    w->ViewMode = 1;
    w->Command(kCmFitWindow);
    EXPECT_NEAR(static_cast<double>(w->Centre.x), static_cast<double>(c.cx), 1e-12);
    EXPECT_NEAR(static_cast<double>(w->Centre.y), static_cast<double>(c.cy), 1e-12);
    EXPECT_NEAR(static_cast<double>(w->HalfX), static_cast<double>(c.half), 1e-12);
    EXPECT_NEAR(static_cast<double>(w->HalfY), static_cast<double>(c.half), 1e-12);
  }
}

}  // namespace
}  // namespace kv
