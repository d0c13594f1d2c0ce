// Rebuilding the derived entries of the 2D window: one pass in index order
// carries a change through chains of derived entries and leaves the others
// alone; deleting a source takes its derived entries with it.
#include <gtest/gtest.h>

#include "plot2d/plot2_test_util.h"

namespace kv {
namespace {

class DerivedEquations : public test2d::Plot2Test {
 protected:
  void SetUp() override {
    Plot2Test::SetUp();
    w = MakeWindow();
  }
  int Explicit(const char* f) { return w->AppendEquation(kKindExplicit, {"", f}); }
  // The value of entry i's curve at x.
  double At(int i, long double x) {
    long double y = 0;
    EXPECT_TRUE(w->EvaluateAt(w->Equation(i).trees[1].get(), 'X', x, y)) << "entry " << i;
    return static_cast<double>(y);
  }
  void Retype(int i, const char* f) {
    w->Equation(i).formulaText[1] = f;
    w->CompileEquation(i);
  }
  TPlot2Win* w = nullptr;
};

TEST_F(DerivedEquations, AChangeReachesChainsOfDerivedEntriesInIndexOrderAndNothingElse) {
  Explicit("x");       // 0
  Explicit("2x");      // 1
  w->AddAbsoluteValueItem(0);  // 2: |f0|
  Explicit("x-5");     // 3
  Explicit("1");       // 4
  w->AddAbsoluteValueItem(3);  // 5: |f3|
  Explicit("3");       // 6
  w->AddAbsoluteValueItem(5);  // 7: ||f3||
  ASSERT_EQ(w->equationCount, 7);
  ASSERT_EQ(w->Equation(7).source1, 5);
  EXPECT_EQ(At(7, 2), 3.0);

  // The entries keep their old trees until the rebuild.
  Retype(3, "x-1");
  Retype(0, "x+10");
  EXPECT_EQ(At(5, 2), 3.0);

  w->RebuildDerivedEquations(3);
  EXPECT_EQ(At(5, 2), 1.0);
  EXPECT_EQ(At(7, 2), 1.0) << "derived from a derived entry";
  EXPECT_EQ(At(2, 2), 2.0) << "derived from 0, which was not named";

  // A negative index rebuilds every derived entry.
  w->RebuildDerivedEquations(-1);
  EXPECT_EQ(At(2, 2), 12.0);

  // An entered entry is never rebuilt, even when it is the one named.
  w->Equation(4).trees[1].reset();
  TreePtr seven;
  ASSERT_EQ(w->Compile("7", seven), 0);
  w->Equation(4).trees[1] = std::move(seven);
  w->RebuildDerivedEquations(4);
  EXPECT_EQ(At(4, 0), 7.0);
}

TEST_F(DerivedEquations, EditingASourceInItsDialogRebuildsWhatDependsOnIt) {
  Explicit("x-5");
  w->AddAbsoluteValueItem(0);
  plat::testing::ExpectDialog("EQUA201", [](plat::Dialog& d) {
    d.SetItemText(212, "x-1");
    d.Press(plat::IDOK);
  });
  ASSERT_TRUE(w->EditEquation(0, false));
  EXPECT_EQ(At(1, 3), 2.0);
}

TEST_F(DerivedEquations, ANewUserFunctionCompilesTheEntriesAgainAndRebuildsTheDerivedOnes) {
  Explicit("x-5");             // 0
  w->AddAbsoluteValueItem(0);  // 1: |f0|
  // A text whose tree is older than it, as a changed function leaves it.
  w->Equation(0).formulaText[1] = "x-1";
  w->Modified = 0;
  ASSERT_EQ(w->DefineUserFunction("sq", 1, "x^2", false), kFormulaOk);
  EXPECT_EQ(At(0, 3), 2.0);
  EXPECT_EQ(At(1, 0), 1.0) << "the derived entry kept its old tree";
  EXPECT_TRUE(w->Modified);
}

TEST_F(DerivedEquations, DeletingASourceDeletesItsDerivedEntriesAndTheRestMoveUp) {
  Explicit("x");               // 0
  Explicit("x-5");             // 1
  w->AddAbsoluteValueItem(1);  // 2
  Explicit("3");               // 3
  w->AddAbsoluteValueItem(2);  // 4
  w->AddAbsoluteValueItem(0);  // 5
  w->DeleteEquations({1});
  ASSERT_EQ(w->equationCount, 2);
  EXPECT_EQ(w->Equation(0).formulaText[1], "x");
  EXPECT_EQ(w->Equation(1).formulaText[1], "3");
  EXPECT_EQ(w->Equation(2).derivation, kDerivedAbsoluteValue);
  EXPECT_EQ(w->Equation(2).source1, 0) << "the surviving derived entry follows its source";
  w->RebuildDerivedEquations(0);
  EXPECT_EQ(At(2, -4), 4.0);
}

TEST_F(DerivedEquations, ASwapThatWouldPutADerivedEntryBeforeItsSourceIsRefused) {
  Explicit("x");               // 0
  Explicit("x-5");             // 1
  w->AddAbsoluteValueItem(1);  // 2
  EXPECT_FALSE(w->SwapEquations(1, 2));
  EXPECT_FALSE(w->SwapEquations(0, 2)) << "2 would come before its source 1";
  EXPECT_EQ(w->Equation(2).source1, 1);
  ASSERT_TRUE(w->SwapEquations(0, 1));
  EXPECT_EQ(w->Equation(2).source1, 0) << "the source moved, the derived entry follows";
  w->RebuildDerivedEquations(0);
  EXPECT_EQ(At(2, 1), 4.0);
}

}  // namespace
}  // namespace kv
