// The combo dialog bases of the tool dialogs: which entries they list, how
// the choice starts, follows the inventory and sets the drawing colour, and
// what their two commands do.  A small tool dialog on test templates stands
// in for the real tools.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "entry/combo_dialog.h"
#include "platform/testing.h"
#include "plot2d/plot2_test_util.h"

namespace kv {
namespace {

constexpr const char* kTemplates = R"(
TESTONE DIALOG 200, 60
BEGIN
  ROW
    COMBOBOX 295, 180, 80
  ROW
    DEFPUSHBUTTON "OK", 1, 40
    PUSHBUTTON "Schließen", 2, 40
END
TESTTWO DIALOG 200, 80
BEGIN
  ROW
    COMBOBOX 295, 180, 80
  ROW
    COMBOBOX 296, 180, 80
  ROW
    DEFPUSHBUTTON "OK", 1, 40
    PUSHBUTTON "Schließen", 2, 40
END
)";

struct OneTool : TComboDlg {
  OneTool(TPlot1Win& w, std::initializer_list<int> kinds) : TComboDlg(w, "TESTONE", kinds) {}
  void SetupControls() override { order.push_back("setup"); }
  void SelectionChanged() override { order.push_back("first " + std::to_string(SelectedEquation())); }
  void Recalculate() override { order.push_back("compute"); }
  std::vector<std::string> order;
};

struct TwoTool : T2ComboDlg {
  TwoTool(TPlot1Win& w, std::initializer_list<int> kinds, std::initializer_list<int> second)
      : T2ComboDlg(w, "TESTTWO", kinds, second) {}
  void SecondSelectionChanged() override { ++secondChanges; }
  int secondChanges = 0;
};

class ComboDialogs : public test2d::Plot2Test {
 protected:
  void SetUp() override {
    Plot2Test::SetUp();
    ASSERT_TRUE(plat::testing::AddDialogTemplates(kTemplates).empty());
    w = MakeWindow();
  }
  int Add(int kind, const char* text, int colour = 7) {
    const int i = kind == kKindExplicit ? w->AppendEquation(kind, {"", text})
                                        : w->AppendEquation(kind, {"", "", "", "", text});
    w->Equation(i).penColour = static_cast<std::uint16_t>(colour);
    return i;
  }
  template <class D, class... Args>
  std::unique_ptr<D> Open(Args&&... args) {
    auto d = std::make_unique<D>(*w, std::forward<Args>(args)...);
    EXPECT_TRUE(d->Create());
    return d;
  }
  static std::vector<int> Rows(const TComboDlg& d) {
    std::vector<int> rows;
    for (int r = 0; r <= d.LastRow(); ++r) rows.push_back(d.EquationOfRow(r));
    return rows;
  }
  void Changed() { w->EquationsChanged(false); }
  TPlot2Win* w = nullptr;
};

TEST_F(ComboDialogs, KindTablesStopAtTheFirstNegativeCodeAndIgnoreCodesFrom410) {
  const std::int16_t kinds[] = {201, 409, 410, 1000, -1, 202};
  const TKindTable t = BuildKindTable(kinds);
  EXPECT_EQ(t.count(), 2u);
  EXPECT_TRUE(t.test(201));
  EXPECT_TRUE(t.test(409));
  EXPECT_FALSE(t.test(202));
  EXPECT_EQ(BuildKindTable({204, -1, 201}).count(), 1u);
}

TEST_F(ComboDialogs, ToolsListOnlyTheirKindsWithTheirOptions) {
  Add(kKindExplicit, "x");        // 0
  Add(kKindPolar, "2");           // 1
  const int lagrange = Add(kKindExplicit, "x^2");  // 2
  w->Equation(lagrange).interpolated = 1;
  w->AddAbsoluteValueItem(0);     // 3: made by a tool
  Add(kKindImplicit, "xx+yy=4");  // 4
  const int hidden = Add(kKindExplicit, "x+1");  // 5
  w->Equation(hidden).subValue = -1;
  struct Case {
    const char* what;
    std::uint8_t lagrange, derived;
    std::vector<int> rows;
  } cases[] = {
      {"plain", 0, 0, {0, 4}},
      {"with Lagrange polynomials", 1, 0, {0, 2, 4}},
      {"with derived entries", 0, 1, {0, 3, 4}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    OneTool d(*w, {kKindExplicit, kKindImplicit, 450});
    d.includeLagrange = c.lagrange;
    d.includeDerived = c.derived;
    ASSERT_TRUE(d.Create());
    EXPECT_EQ(Rows(d), c.rows);
    EXPECT_EQ(d.ListText(kIdFirstCombo, 0), w->DescribeEquation(0, 1999)) << "rows show description lines";
    EXPECT_EQ(d.order, (std::vector<std::string>{"setup", "first 0"}));
    d.Destroy();
  }
}

TEST_F(ComboDialogs, AnEmptyListSelectsNothingAndCallsNoHook) {
  Add(kKindExplicit, "x");
  auto d = Open<OneTool>(std::initializer_list<int>{kKindPoint});
  EXPECT_EQ(d->LastRow(), -1);
  EXPECT_EQ(d->SelectedEquation(), -1);
  EXPECT_EQ(d->order, std::vector<std::string>{"setup"});
  // A point added later shows up and is chosen.
  const int p = w->AppendEquation(kKindPoint, {"1", "2"});
  Changed();
  EXPECT_EQ(d->SelectedEquation(), p);
}

TEST_F(ComboDialogs, ARefillKeepsTheChosenRowsWhileTheListsHaveThem) {
  Add(kKindExplicit, "x");    // 0
  Add(kKindPolar, "1");       // 1 (not listed)
  Add(kKindExplicit, "2x");   // 2
  Add(kKindExplicit, "3x");   // 3
  auto d = Open<TwoTool>(std::initializer_list<int>{kKindExplicit}, std::initializer_list<int>{kKindExplicit});
  d->ListSetSel(kIdFirstCombo, 1);
  d->EvControl(kIdFirstCombo, plat::CBN_SELCHANGE);
  ASSERT_EQ(d->SelectedEquation(), 2);
  d->ListSetSel(kIdSecondCombo, 1);
  d->EvControl(kIdSecondCombo, plat::CBN_SELCHANGE);
  ASSERT_EQ(d->SecondEquation(), 2);

  // An entry before the chosen one goes: the rows stay, and with them the
  // entries they now show.
  w->DeleteEquations({0});
  Changed();
  EXPECT_EQ(d->SelectedRow(), 1);
  EXPECT_EQ(d->SelectedEquation(), 2) << "row 1 now shows 3x";
  EXPECT_EQ(d->SecondRow(), 1);
  EXPECT_EQ(d->SecondEquation(), 2);
  EXPECT_EQ(d->ListText(kIdFirstCombo, d->SelectedRow()), w->DescribeEquation(2, 1999));

  // The lists grow shorter than the chosen rows: the first starts again at
  // row 0, the second at its last row.
  w->DeleteEquations({2});
  Changed();
  ASSERT_EQ(d->LastRow(), 0);
  EXPECT_EQ(d->SelectedRow(), 0);
  EXPECT_EQ(d->SelectedEquation(), 1);
  EXPECT_EQ(d->SecondRow(), 0);
  EXPECT_EQ(d->SecondEquation(), 1);
  w->DeleteEquations({1});
  Changed();
  EXPECT_EQ(d->LastRow(), -1);
  EXPECT_EQ(d->SecondLastRow(), -1);

  // Lists that were empty choose the first and the last entry that comes.
  Add(kKindExplicit, "4x");
  Add(kKindExplicit, "5x");
  Changed();
  EXPECT_EQ(d->SelectedEquation(), 1);
  EXPECT_EQ(d->SecondEquation(), 2);
}

TEST_F(ComboDialogs, TwoListsStartOnTheFirstAndTheLastFittingEntry) {
  Add(kKindExplicit, "x");
  auto one = Open<TwoTool>(std::initializer_list<int>{kKindExplicit}, std::initializer_list<int>{kKindExplicit});
  EXPECT_EQ(one->SelectedEquation(), 0);
  EXPECT_EQ(one->SecondEquation(), 0) << "one fitting entry: both on it";
  one->Destroy();
  Add(kKindImplicit, "xx+yy=4");
  Add(kKindExplicit, "2x");
  Add(kKindSegment, "");
  auto two = Open<TwoTool>(std::initializer_list<int>{kKindExplicit},
                           std::initializer_list<int>{kKindExplicit, kKindImplicit});
  EXPECT_EQ(two->SelectedEquation(), 0);
  EXPECT_EQ(two->SecondEquation(), 2);
  EXPECT_EQ(two->SecondKind(), kKindExplicit);
  EXPECT_EQ(two->IndexOfSecond(1), 1);
  EXPECT_EQ(two->IndexOfSecond(3), -1);
  EXPECT_EQ(two->secondChanges, 1);
}

TEST_F(ComboDialogs, ChoosingAnEntryGivesTheWindowItsColour) {
  Add(kKindPolar, "1", 9);
  Add(kKindExplicit, "x", 11);
  Add(kKindExplicit, "2x", 12);
  auto d = Open<OneTool>(std::initializer_list<int>{kKindExplicit});
  EXPECT_EQ(w->drawingColour, 11);
  d->ListSetSel(kIdFirstCombo, 1);
  d->EvControl(kIdFirstCombo, plat::CBN_SELCHANGE);
  EXPECT_EQ(w->drawingColour, 12);
  EXPECT_EQ(d->SelectedKind(), kKindExplicit);
}

TEST_F(ComboDialogs, OkComputesAndCloseHidesAndRedrawsThePlot) {
  Add(kKindExplicit, "x");
  auto d = Open<OneTool>(std::initializer_list<int>{kKindExplicit});
  d->Show(plat::SW_SHOW);
  d->Press(plat::IDOK);
  EXPECT_EQ(d->order.back(), "compute");
  Settle(w);
  ASSERT_EQ(w->BufferValid[0], 1);
  d->Press(plat::IDCANCEL);
  EXPECT_TRUE(d->IsHidden());
  EXPECT_FALSE(d->IsVisible());
  EXPECT_TRUE(d->Changed());
  EXPECT_EQ(w->BufferValid[0], 0) << "the overlays are drawn again without the tool's marks";
  // The choice survives hiding and a refill.
  Changed();
  EXPECT_EQ(d->SelectedEquation(), 0);
  // A tool showing the window's colour window takes it along as it closes; the others leave it.
  for (bool shows : {false, true}) {
    d->colourWindow = shows ? 1 : 0;
    d->Show(plat::SW_SHOW);
    w->ChooseColourForSlot(6);
    ASSERT_TRUE(w->IsColourWindowVisible());
    d->Press(plat::IDCANCEL);
    EXPECT_EQ(w->IsColourWindowVisible(), !shows) << shows;
    w->HideColourWindow();
  }
}

}  // namespace
}  // namespace kv
