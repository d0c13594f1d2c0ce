// The formula layer of the plot windows: formulas in every number field of
// the graphics dialogs, the bounded readers through the window, and the
// user-function dialog.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "plotcore/func_dialog.h"
#include "plotcore/func_win.h"
#include "graphics/grid_dialog.h"
#include "graphics/test_window.h"
#include "graphics/view_dialog.h"
#include "platform/testing.h"

namespace kv {
namespace {

class CountingFuncWin : public TFuncWin {
 public:
  using TFuncWin::TFuncWin;
  int changes = 0;
  void UserFunctionsChanged() override { ++changes; }
  std::vector<std::string> FormulaTextsInUse() const override { return texts; }
  std::vector<std::string> texts;
};

class FuncWinTest : public ::testing::Test {
 protected:
  void SetUp() override {
    plat::testing::Reset();
    w = new CountingFuncWin(nullptr, "Formeln");
    w->ViewTemplate = "VIEWALL";
    w->Create();
    kvtest::SetClientSize(*w, 501, 501);
    w->UpdateView();
  }
  void TearDown() override {
    w->Destroy();
    plat::App::DeleteDestroyedWindows();
    plat::testing::Reset();
  }
  std::string LastMessage() const {
    const auto& m = plat::testing::Messages();
    return m.empty() ? std::string() : m.back().text;
  }
  CountingFuncWin* w = nullptr;
};

double D(long double v) { return static_cast<double>(v); }

TEST_F(FuncWinTest, TwoPiTypedIntoTheViewAndGridDialogsWorks) {
  ASSERT_TRUE(w->Command(kCmViewDialog));
  TViewDlg* v = w->ViewDlg();
  ASSERT_NE(v, nullptr);
  v->SetItemText(215, "1/2");
  v->SetItemText(216, "-sqrt(4)");
  v->SetItemText(217, "2pi");
  v->Press(1);
  EXPECT_NEAR(D(w->HalfX), std::numbers::pi, 1e-15);
  EXPECT_NEAR(D(w->Centre.x), 0.5, 1e-15);
  EXPECT_NEAR(D(w->Centre.y), -2, 1e-15);

  ASSERT_TRUE(w->Command(kCmGridDialog));
  TGridDlg* g = w->GridDlg();
  ASSERT_NE(g, nullptr);
  g->SetItemText(215, "2pi");
  g->SetItemText(212, "pi/4");
  g->Press(91);
  EXPECT_NEAR(D(w->TickIntervalY), 2 * std::numbers::pi, 1e-15);
  EXPECT_NEAR(D(w->TickIntervalX), std::numbers::pi / 4, 1e-15);
  // A formula the reader does not understand keeps the view and says why.
  plat::testing::ClearMessages();
  v->SetItemText(217, "2pi(");
  v->Press(1);
  EXPECT_EQ(LastMessage(), "Klammern nicht paarweise");
  EXPECT_NEAR(D(w->HalfX), std::numbers::pi, 1e-15);
}

TEST_F(FuncWinTest, NumberReadersGoThroughTheWindow) {
  struct Case {
    const char* text;
    int code;
    double value;
  } cases[] = {{"2pi", 0, 2 * std::numbers::pi}, {"1.5e-3", 0, 0.0015}, {"sqrt(-1)", 1, 0},
               {"(1", 108, 0},                   {"E", 0, std::numbers::e}, {"x?", 1, 0}};
  w->Engine().SetNewDrawingDefaults();
  w->SetComplexMode(true);  // the reader works in real mode whatever the window's mode
  for (const Case& c : cases) {
    long double v = 0;
    EXPECT_EQ(w->TextToNumber(c.text, v), c.code) << c.text;
    if (c.code == 0) {
      EXPECT_NEAR(D(v), c.value, 1e-15) << c.text;
    }
  }
  EXPECT_TRUE(w->ComplexMode());
  struct Bounded {
    const char* text;
    int lo, hi;
    int code;
    std::int16_t value;
  } bounded[] = {{"2pi", 1, 10, 0, 6}, {"40000", -100000, 100000, 0, 32767}, {"11", 1, 10, 17, 3},
                 {"1/0", 1, 10, 1, 3},  {"-0.4", 0, 5, 17, 3}};
  for (const Bounded& b : bounded) {
    std::int16_t v = 3;
    const int code = w->ReadBoundedShort(b.text, b.lo, b.hi, v);
    if (std::string(b.text) == "40000") {
      EXPECT_EQ(code, 17) << "beyond what an i16 holds";
      continue;
    }
    EXPECT_EQ(code, b.code) << b.text;
    EXPECT_EQ(v, b.value) << b.text;
  }
  std::int32_t n = 0;
  EXPECT_EQ(w->ReadBoundedInt("1000pi", 0, 1000000, n), 0);
  EXPECT_EQ(n, 3142);
  long double root = 0;
  TreePtr f;
  ASSERT_EQ(w->Compile("xx-2", f), 0);
  w->bisectTolerance = 1e-12L;
  EXPECT_EQ(w->BisectRoot(f.get(), 'X', 0, 2, root), 0);
  EXPECT_NEAR(D(root), std::sqrt(2.0), 1e-11);
  EXPECT_EQ(w->Engine().bisectTolerance, 1e-12L);
}

TEST_F(FuncWinTest, UserFunctionDialogDefinesChangesAndDeletes) {
  ASSERT_TRUE(w->Command(kCmUserFunctions));
  TFuncDlg* d = w->FunctionDialog();
  ASSERT_NE(d, nullptr);
  EXPECT_TRUE(d->IsVisible());
  EXPECT_EQ(d->ListCount(kIdFunctionList), 0);
  d->SetItemText(kIdFunctionName, "hyp");
  d->SetCheck(kIdOneArgument, false);
  d->SetCheck(kIdOneArgument + 1, true);
  d->SetItemText(kIdFunctionFormula, "sqrt(xx+yy)");
  d->Press(kIdDefineFunction);
  ASSERT_EQ(d->ListCount(kIdFunctionList), 1);
  EXPECT_EQ(d->ListText(kIdFunctionList, 0), "hyp(X,Y) = sqrt(xx+yy)");
  EXPECT_EQ(w->changes, 1);
  long double v = 0;
  ASSERT_EQ(w->TextToNumber("hyp(3,4)", v), 0);
  EXPECT_EQ(v, 5);

  // Changing the formula of the same name.
  d->SetItemText(kIdFunctionFormula, "x+y");
  d->Press(kIdDefineFunction);
  ASSERT_EQ(w->TextToNumber("hyp(3,4)", v), 0);
  EXPECT_EQ(v, 7);
  EXPECT_EQ(d->ListCount(kIdFunctionList), 1);

  // Refused names and formulas show their message and keep the dialog.
  struct Case {
    const char* name;
    const char* formula;
    const char* message;
  } cases[] = {{"sin", "x", "Bezeichnung schon vorhanden"}, {"ok", "x+", "unverständlich"}};
  for (const Case& c : cases) {
    plat::testing::ClearMessages();
    d->SetItemText(kIdFunctionName, c.name);
    d->SetItemText(kIdFunctionFormula, c.formula);
    d->Press(1);
    EXPECT_EQ(LastMessage(), c.message) << c.name;
    EXPECT_TRUE(d->IsVisible());
  }

  // Selecting a row shows it; a function a formula uses cannot go.
  d->ListSetSel(kIdFunctionList, 0);
  d->EvControl(kIdFunctionList, plat::LBN_SELCHANGE);
  EXPECT_EQ(d->GetItemText(kIdFunctionName), "hyp");
  EXPECT_TRUE(d->IsChecked(kIdOneArgument + 1));
  w->texts = {"hyp(x,1)"};
  plat::testing::ClearMessages();
  d->Press(kIdDeleteFunction);
  EXPECT_EQ(LastMessage(), "Bezeichnung schon vorhanden");
  EXPECT_EQ(d->ListCount(kIdFunctionList), 1);
  w->texts.clear();
  d->Press(kIdDeleteFunction);
  EXPECT_EQ(d->ListCount(kIdFunctionList), 0);
  plat::testing::ClearMessages();
  d->Press(kIdDeleteFunction);
  EXPECT_EQ(LastMessage(), "Auswahl treffen");

  // OK with an empty name only hides; the dialog comes back filled.
  d->SetItemText(kIdFunctionName, "");
  d->Press(1);
  EXPECT_FALSE(d->IsVisible());
  ByteWriter out;
  TFormulaEngine other;
  ASSERT_EQ(other.DefineUserFunction("dbl", 1, "2x"), 0);
  other.WriteUserFunctions(out);
  ByteReader in(out.Data());
  EXPECT_TRUE(w->ReadUserFunctions(in));
  w->ShowFunctionDialog();
  EXPECT_EQ(d->ListCount(kIdFunctionList), 1);
  EXPECT_TRUE(d->IsVisible());
}

}  // namespace
}  // namespace kv
