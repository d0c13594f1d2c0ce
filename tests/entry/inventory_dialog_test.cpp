// The inventory dialog "Inventar": its lines and buttons, and every action
// on the selected entries as the plot and the plot file see it.
#include <gtest/gtest.h>

#include <cmath>

#include "entry/inventory_dialog.h"
#include "entry/slider_dialog.h"
#include "platform/clipboard.h"
#include "platform/testing.h"
#include "plot2d/plot2_test_util.h"
#include "plot2d/zero_dialog.h"
#include "plot3d/plot3_win.h"
#include "support/test_env.h"

namespace kv {
namespace {

using test2d::GraphCoverage;

class InventoryDialog : public test2d::Plot2Test {
 protected:
  void SetUp() override {
    Plot2Test::SetUp();
    plat::testing::ClearMessages();
    w = MakeWindow();
  }
  int Add(const char* f) {
    const int i = w->AppendEquation(kKindExplicit, {"", f});
    w->AddEquationLabel();
    w->EquationsChanged(true);
    w->InvalidatePlot();
    return i;
  }
  TFnListDlg& Show() {
    w->Command(kCmInventory);
    TFnListDlg* d = w->InventoryDialog();
    EXPECT_NE(d, nullptr);
    return *d;
  }
  // The user selects these rows (and only these).
  static void Select(TFnListDlg& d, std::initializer_list<int> rows) {
    d.ListSetSel(kIdInventoryList, -1);
    for (int r : rows) d.ListSetMultiSel(kIdInventoryList, r, true);
    d.EvControl(kIdInventoryList, plat::LBN_SELCHANGE);
  }
  static std::vector<std::string> Lines(TFnListDlg& d) {
    std::vector<std::string> out;
    for (int r = 0; r < d.ListCount(kIdInventoryList); ++r) out.push_back(d.ListText(kIdInventoryList, r));
    return out;
  }
  double Coverage(int i, const std::function<long double(long double)>& f) {
    Settle(w);
    return GraphCoverage(*w, w->Surface(), test2d::EntryColour(*w, i), f);
  }
  std::string LastMessage() {
    const auto& m = plat::testing::Messages();
    return m.empty() ? std::string() : m.back().text;
  }
  TPlot2Win* w = nullptr;
};

TEST_F(InventoryDialog, AnEmptyInventoryListsNothingAndOffersNoSelectionButton) {
  EXPECT_FALSE(w->IsMenuItemEnabled(kCmInventory));
  w->ShowInventory();
  TFnListDlg* d = w->InventoryDialog();
  ASSERT_NE(d, nullptr);
  EXPECT_EQ(d->GetCaption(), "Inventar [Unbenannt1.kv2]");
  EXPECT_EQ(d->RowCount(), 0);
  for (int id : {kCmInventoryDelete, kCmInventoryCopy, kCmInventoryClipboard, kCmInventoryTable, kCmInventoryFamily,
                 kCmInventoryGraph, kCmInventoryLabel, kCmInventoryName, kCmInventoryDerive, kCmInventoryExtra})
    EXPECT_FALSE(d->IsItemEnabled(id)) << id;
  EXPECT_TRUE(d->IsItemEnabled(kCmInventoryEdit));
  EXPECT_TRUE(d->IsItemEnabled(plat::IDCANCEL));
}

TEST_F(InventoryDialog, LinesShowGroupMarksHiddenGraphsAndNames) {
  Add("x");
  Add("2x");
  Add("3x");
  w->EquationFlag(0) = 1;
  w->Equation(1).visible = 0;
  w->EquationName(1) = "Gerade";
  w->EquationName(2) = "Steil";
  w->EquationsChanged(true);
  TFnListDlg& d = Show();
  const std::vector<std::string> lines = Lines(d);
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0], "$: " + w->DescribeEquation(0, 1999));
  EXPECT_EQ(lines[1], "[versteckt] Gerade: " + w->DescribeEquation(1, 1999));
  EXPECT_EQ(lines[2], "Steil: " + w->DescribeEquation(2, 1999));
  EXPECT_EQ(d.SelectedEquations(), std::vector<int>{2}) << "the newest entry is selected";
  EXPECT_GE(d.ListHorizontalReach(kIdInventoryList), 3000) << "long descriptions can be scrolled to";
}

TEST_F(InventoryDialog, ButtonTextsFollowTheSelection) {
  Add("x");
  Add("2x");
  TFnListDlg& d = Show();
  Select(d, {0});
  EXPECT_EQ(d.GetItemText(kCmInventoryExtra), "Netz");
  EXPECT_EQ(d.GetItemText(kCmInventoryDerive), "Ableiten");
  EXPECT_EQ(d.GetItemText(kCmInventoryTable), "Tabelle");
  EXPECT_TRUE(d.IsItemEnabled(kCmInventoryExtra));
  // Clearing the selection after one y = f(x) switches 798 to |f(x)| and back.
  Select(d, {});
  EXPECT_EQ(d.GetItemText(kCmInventoryExtra), "| f(x) |");
  Select(d, {1});
  Select(d, {});
  EXPECT_EQ(d.GetItemText(kCmInventoryExtra), "Netz");
  Select(d, {0, 1});
  EXPECT_EQ(d.GetItemText(kCmInventoryDerive), "Tauschen");
  EXPECT_FALSE(d.IsItemEnabled(kCmInventoryName));
  EXPECT_TRUE(d.IsItemEnabled(kCmInventoryDelete));

  // A list of one line acts as if the line were selected.
  w->DeleteEquations({1});
  w->EquationsChanged(false);
  Select(d, {});
  EXPECT_EQ(d.SelectedEquations(), std::vector<int>{0});
  EXPECT_TRUE(d.IsItemEnabled(kCmInventoryName));
}

TEST_F(InventoryDialog, EditRunsTheEquationDialogAndTheListFollows) {
  Add("x");
  Add("2x");
  TFnListDlg& d = Show();
  Select(d, {0});
  plat::testing::ExpectDialog("EQUA201", [](plat::Dialog& e) {
    e.SetItemText(212, "x*x");
    e.Press(plat::IDOK);
  });
  d.EvControl(kIdInventoryList, plat::LBN_DBLCLK);
  EXPECT_EQ(w->Equation(0).formulaText[1], "x*x");
  EXPECT_EQ(Lines(d)[0], w->DescribeEquation(0, 1999));
  EXPECT_EQ(d.SelectedEquations(), std::vector<int>{0});
  EXPECT_GT(Coverage(0, [](long double x) { return x * x; }), 0.95);
}

TEST_F(InventoryDialog, ANewListFontFillsTheListsAgainIn2DAnd3D) {
  auto* space = new TPlot3Win(nullptr, "Unbenannt1.kv3");
  space->FileVersion = 33;
  ASSERT_TRUE(space->Create());
  space->Show(plat::SW_SHOW);
  struct Case {
    const char* what;
    TPlot11Win* window;
    int kind;
    std::initializer_list<std::string_view> texts;
  } cases[] = {
      {"2D", w, kKindExplicit, {"", "x"}},
      {"3D", space, kKindSurface, {"", "", "xy"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TPlot11Win& v = *c.window;
    v.AppendEquation(c.kind, c.texts);
    v.EquationsChanged(true);
    v.ShowInventory();
    TFnListDlg* d = v.InventoryDialog();
    ASSERT_NE(d, nullptr);
    // The 2D window's zero tool lists the graphs too.
    TZeroDlg* zeros = nullptr;
    if (&v == w) {
      w->Command(kCmZeros);
      zeros = w->ZeroDialog();
      ASSERT_NE(zeros, nullptr);
      ASSERT_EQ(zeros->ListCount(kIdFirstCombo), 1);
    }
    // Changes the lists were not told of ...
    v.EquationName(0) = "erste";
    v.AppendEquation(c.kind, c.texts);
    // ... show once the font of the lists changed.
    plat::FontChoice choice;
    choice.font = v.FontSlots[kListFontSlot];
    choice.font.SetFace("Arial");
    choice.pointSizeTenths = 120;
    plat::testing::ExpectFontDialog(choice);
    v.Command(67);  // the font menu's "&Inventar ..."
    EXPECT_EQ(v.FontSlots[kListFontSlot].Face(), "Arial");
    ASSERT_EQ(Lines(*d).size(), 2u);
    EXPECT_EQ(Lines(*d)[0].rfind("erste: ", 0), 0u) << Lines(*d)[0];
    if (zeros) {
      EXPECT_EQ(zeros->ListCount(kIdFirstCombo), 2);
    }
  }
  space->Destroy();
}

TEST_F(InventoryDialog, DeleteTakesTheDerivedEntriesAndThePlotRepaints) {
  Add("x*x");
  Add("2");
  w->AddAbsoluteValueItem(0);
  TFnListDlg& d = Show();
  ASSERT_EQ(d.RowCount(), 3);
  EXPECT_GT(Coverage(0, [](long double x) { return x * x; }), 0.95);
  Select(d, {0});
  d.Press(kCmInventoryDelete);
  ASSERT_EQ(w->equationCount, 0);
  EXPECT_EQ(w->Equation(0).formulaText[1], "2");
  EXPECT_EQ(d.RowCount(), 1);
  Settle(w);
  EXPECT_GT(Coverage(0, [](long double) { return 2.0L; }), 0.95);
}

TEST_F(InventoryDialog, CopiesArePlainOrFrozenAtTheParameterOfTheOpenSlider) {
  Add("a*x");
  TFnListDlg& d = Show();
  Select(d, {0});
  plat::testing::ExpectDialog("EQUA201", [](plat::Dialog& e) { e.Press(plat::IDOK); });
  d.Press(kCmInventoryCopy);
  ASSERT_EQ(w->equationCount, 1);
  EXPECT_EQ(w->Equation(1).derivation, 0);
  EXPECT_EQ(w->Equation(1).formulaText[1], "a*x");
  EXPECT_EQ(d.SelectedEquations(), std::vector<int>{1});

  // "Parameter als &Werte" with the all-parameters dialog on A freezes A.
  w->Command(kCmParametersAsValues);
  w->OpenSliderDialog(kAllParametersDialog);
  w->SetVariable('A', 2);
  Select(d, {0});
  d.Press(kCmInventoryCopy);
  ASSERT_EQ(w->equationCount, 2);
  EXPECT_EQ(w->Equation(2).derivation, kDerivedFrozenCopy);
  w->SetVariable('A', 5);
  long double y = 0;
  ASSERT_TRUE(w->EvaluateAt(w->Equation(2).trees[1].get(), 'X', 3, y));
  EXPECT_EQ(static_cast<double>(y), 6.0) << "keeps the shape at A = 2";

  // Lagrange polynomials are not copied.
  w->Equation(0).interpolated = 1;
  Select(d, {0});
  d.Press(kCmInventoryCopy);
  EXPECT_EQ(LastMessage(), "nicht zu kopieren");
  EXPECT_EQ(w->equationCount, 2);
}

TEST_F(InventoryDialog, NameGraphLabelAndGroupChangeTheEntriesAndThePlot) {
  Add("x*x");
  Add("x+1");
  TFnListDlg& d = Show();

  Select(d, {0});
  plat::testing::ExpectDialog("ONEINPUT", [](plat::Dialog& e) {
    EXPECT_EQ(e.GetCaption(), "Beschreibung des Beispiels");
    EXPECT_EQ(e.GetItemText(231), "Länge höchstens: 20");
    e.SetItemText(211, "Parabel");
    e.Press(plat::IDOK);
  });
  w->Modified = 0;
  d.Press(kCmInventoryName);
  EXPECT_EQ(w->EquationName(0), "Parabel");
  EXPECT_TRUE(w->Modified);
  EXPECT_EQ(Lines(d)[0].rfind("Parabel: ", 0), 0u);

  ASSERT_GT(Coverage(0, [](long double x) { return x * x; }), 0.95);
  Select(d, {0});
  d.Press(kCmInventoryGraph);
  EXPECT_EQ(w->Equation(0).visible, 0);
  EXPECT_LT(Coverage(0, [](long double x) { return x * x; }), 0.05);
  EXPECT_EQ(Lines(d)[0].rfind("[versteckt] Parabel: ", 0), 0u);

  Select(d, {1});
  d.Press(kCmInventoryLabel);
  EXPECT_EQ(w->equationLabels[1].visible, 0);
  EXPECT_EQ(w->equationLabels[0].visible, 1);

  // "Schar" with several lines flips their marks; one mark alone is none.
  Select(d, {0, 1});
  d.Press(kCmInventoryFamily);
  EXPECT_EQ(w->EquationFlag(0), 1);
  EXPECT_EQ(w->EquationFlag(1), 1);
  w->EquationFlag(1) = 0;
  Select(d, {0, 1});
  d.Press(kCmInventoryFamily);
  EXPECT_EQ(w->EquationFlag(0), 0);
  EXPECT_EQ(w->EquationFlag(1), 0);
}

TEST_F(InventoryDialog, SwapReordersAndRefusesToPutADerivedEntryBeforeItsSource) {
  Add("x");
  Add("x-5");
  w->AddAbsoluteValueItem(1);
  TFnListDlg& d = Show();
  Select(d, {0, 2});
  d.Press(kCmInventoryDerive);
  EXPECT_EQ(LastMessage(), "cannot swap these");
  EXPECT_EQ(w->Equation(0).formulaText[1], "x");
  Select(d, {0, 1});
  d.Press(kCmInventoryDerive);
  EXPECT_EQ(w->Equation(0).formulaText[1], "x-5");
  EXPECT_EQ(w->Equation(1).formulaText[1], "x");
  EXPECT_EQ(w->Equation(2).source1, 0);
  EXPECT_EQ(Lines(d)[0], w->DescribeEquation(0, 1999));
}

TEST_F(InventoryDialog, ActionsWaitWhileTheLagrangeEditorIsOpen) {
  Add("x");
  TFnListDlg& d = Show();
  w->MouseMode = kCmMouseLagrange;
  Select(d, {0});
  d.Press(kCmInventoryGraph);
  EXPECT_EQ(LastMessage(), "am Bearbeiten");
  EXPECT_EQ(w->Equation(0).visible, 1);
  // The clipboard copy is no change and always runs.
  d.Press(kCmInventoryClipboard);
  EXPECT_EQ(plat::clipboard::GetText().value_or(""), w->DescribeEquation(0, 1999));
}

TEST_F(InventoryDialog, WhatTheDialogChangedSurvivesSavingAndReopening) {
  Add("x*x");
  Add("x+1");
  Add("2");
  TFnListDlg& d = Show();
  Select(d, {0, 2});
  d.Press(kCmInventoryDerive);   // 2, x+1, x*x
  Select(d, {1});
  d.Press(kCmInventoryGraph);    // x+1 hidden
  Select(d, {2});
  d.Press(kCmInventoryLabel);    // caption of x*x hidden
  Select(d, {0, 2});
  d.Press(kCmInventoryFamily);   // 2 and x*x in the group
  w->EquationName(0) = "Konstante";
  w->EquationsChanged(false);
  const std::string path = kvtest::MakeTempDir("inventory") + "inventar.kv2";
  w->FileData.FileName = path;
  ASSERT_TRUE(w->WriteFile());

  TPlot2Win* v = MakeWindow();
  v->FileData.FileName = path;
  ASSERT_EQ(v->OpenFile(), 0);
  ASSERT_EQ(v->equationCount, 2);
  EXPECT_EQ(v->Equation(0).formulaText[1], "2");
  EXPECT_EQ(v->Equation(1).formulaText[1], "x+1");
  EXPECT_EQ(v->Equation(2).formulaText[1], "x*x");
  EXPECT_EQ(v->Equation(1).visible, 0);
  EXPECT_EQ(v->EquationName(0), "Konstante");
  EXPECT_EQ(v->EquationFlag(0), 1);
  EXPECT_EQ(v->EquationFlag(2), 1);
  ASSERT_EQ(v->equationLabels.size(), 3u);
  for (const TEquationLabel& l : v->equationLabels) EXPECT_EQ(l.visible, l.index == 2 ? 0 : 1) << l.index;
  EXPECT_TRUE(v->InventoryDialog()->IsVisible()) << "the dialog was open";
  EXPECT_EQ(Lines(*v->InventoryDialog()), Lines(d));
  Settle(v);
  EXPECT_GT(GraphCoverage(*v, v->Surface(), test2d::EntryColour(*v, 2), [](long double x) { return x * x; }), 0.95);
  EXPECT_LT(GraphCoverage(*v, v->Surface(), test2d::EntryColour(*v, 1), [](long double x) { return x + 1; }), 0.05);
}

}  // namespace
}  // namespace kv
