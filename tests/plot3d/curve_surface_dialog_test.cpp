// The intersection-points dialog of the 3D window: command 710 opens it on
// a surface and a space curve and walks through their crossings press by
// press; a found point is attached to both entries, stored into a
// parameter or made a point entry; a curve that misses gives "?".
#include <gtest/gtest.h>

#include <cmath>

#include "plot3d/curve_surface_dialog.h"
#include "plot3d/level_dialog.h"
#include "plot3d/model/level_curves.h"
#include "plot3d/plot3_test_util.h"

namespace kv {
namespace {

double D(long double v) { return static_cast<double>(v); }

class CrossingDialog : public test3d::Plot3Test {
 protected:
  TPlot3Win* w = nullptr;
  int sphere = -1;
  void SetUp() override {
    Plot3Test::SetUp();
    w = MakeWindow();
    sphere = w->AppendEquation(kKindImplicitSurface, {"", "", "", "", "xx+yy+zz=1"});
    w->CompileEquation(sphere);
    w->Equation(sphere).boxMin() = {-1.5L, -1.5L, -1.5L};
    w->Equation(sphere).boxMax() = {1.5L, 1.5L, 1.5L};
    w->UpdateBox(sphere);
  }
  int Curve(const char* x, const char* y, const char* z) {
    const int c = w->AppendEquation(kKindSpaceCurve, {x, y, z});
    w->Equation(c).lowerBound = {-2, 0};
    w->Equation(c).upperBound = {2, 0};
    w->CompileEquation(c);
    return c;
  }
  TIntCSDlg& Open() {
    w->Command(kCm3IntersectionPoints);
    EXPECT_NE(w->IntersectionPointsDlg, nullptr);
    return *w->IntersectionPointsDlg;
  }
};

TEST_F(CrossingDialog, ALineThroughTheCentreCrossesTheSphereOnBothSides) {
  EXPECT_FALSE(w->IsMenuItemEnabled(kCm3IntersectionPoints));  // no curve yet
  const int line = Curve("t", "0", "0");
  ASSERT_TRUE(w->IsMenuItemEnabled(kCm3IntersectionPoints));
  TIntCSDlg& d = Open();
  EXPECT_EQ(d.SelectedEquation(), sphere);
  EXPECT_EQ(d.SecondEquation(), line);
  // Opening runs the first search; each press the next one, wrapping round.
  const double expected[] = {-1, 1, -1};
  for (double t : expected) {
    ASSERT_TRUE(d.Found()) << t;
    EXPECT_NEAR(D(d.Last().t), t, 1e-12);
    EXPECT_NEAR(D(d.Last().point.x), t, 1e-12);
    EXPECT_NEAR(D(std::hypot(d.Last().point.y, d.Last().point.z)), 0, 1e-12);
    d.Press(kCrossingNext);
  }
  // The shown point, its text and the result points on both entries.
  EXPECT_TRUE(w->Overlays.intersection.shown);
  EXPECT_EQ(d.GetItemText(kCrossingResult).rfind("t = ", 0), 0u);
  for (int i : {sphere, line}) {
    ASSERT_EQ(w->Equation(i).results.size(), 2u) << i;  // duplicates are skipped
    EXPECT_EQ(w->Equation(i).results.front().code, 60);
    EXPECT_EQ(w->Equation(i).results.front().text, "int(x,y,z,t)");
  }
  // Reopening the shown dialog searches on.
  w->Command(kCm3IntersectionPoints);
  EXPECT_EQ(w->IntersectionPointsDlg, &d);
  ASSERT_TRUE(d.Found());
  EXPECT_NEAR(D(d.Last().t), -1, 1e-12);
  d.Press(plat::IDCANCEL);
  EXPECT_TRUE(d.IsHidden());
  EXPECT_FALSE(w->Overlays.intersection.shown);

  // Another entry chosen in either list goes on from the interval after the crossing found
  // last instead of starting over: from t = -1 the sphere of radius 1.5 is met next at t = 1.5
  // (not -1.5), and the line (3t/4, 0, 0) meets the unit sphere next at t = 4/3 (not -4/3).
  const int wide = w->AppendEquation(kKindImplicitSurface, {"", "", "", "", "xx+yy+zz=2.25"});
  w->CompileEquation(wide);
  w->Equation(wide).boxMin() = {-2, -2, -2};
  w->Equation(wide).boxMax() = {2, 2, 2};
  w->UpdateBox(wide);
  const int slow = Curve("0.75t", "0", "0");
  w->EquationsChanged(false);
  Open();
  const auto choose = [&](int list, int entry) {
    d.ListSetSel(list, list == kIdFirstCombo ? d.IndexOfFirst(entry) : d.IndexOfSecond(entry));
    d.EvControl(list, plat::CBN_SELCHANGE);
  };
  struct Choice {
    int list;
    int entry;
    double next;
  };
  for (const Choice& c : {Choice{kIdFirstCombo, wide, 1.5}, Choice{kIdSecondCombo, slow, 4.0 / 3}}) {
    choose(kIdFirstCombo, sphere);
    choose(kIdSecondCombo, line);
    for (int press = 0; press < 3 && !(d.Found() && std::fabs(D(d.Last().t) + 1) < 1e-9); ++press)
      d.Press(kCrossingNext);
    ASSERT_NEAR(D(d.Last().t), -1, 1e-12);
    choose(c.list, c.entry);
    d.Press(kCrossingNext);
    ASSERT_TRUE(d.Found()) << "list " << c.list;
    EXPECT_NEAR(D(d.Last().t), c.next, 1e-9) << "the choice in list " << c.list << " started the search over";
  }
}

TEST_F(CrossingDialog, StoreAndPointUseTheFoundCrossing) {
  Curve("t", "t", "0");
  TIntCSDlg& d = Open();
  ASSERT_TRUE(d.Found());
  const long double t = d.Last().t;
  EXPECT_NEAR(D(t), -std::sqrt(0.5), 1e-12);
  struct Case {
    int sourceRow;
    int targetRow;
    int parameter;
    long double expected;
  };
  const Case cases[] = {{3, 0, 1, t}, {0, 1, 2, d.Last().point.x}, {2, 25, 26, 0}};
  for (const Case& c : cases) {
    w->SetComplexVariable(c.parameter, {7, 3});
    d.ListSetSel(kCrossingSource, c.sourceRow);
    d.EvControl(kCrossingSource, plat::CBN_SELCHANGE);
    d.ListSetSel(kCrossingTarget, c.targetRow);
    d.EvControl(kCrossingTarget, plat::CBN_SELCHANGE);
    EXPECT_EQ(d.TargetParameter(), c.parameter);
    d.Press(kCrossingStore);
    EXPECT_NEAR(D(w->Variable(c.parameter).re), D(c.expected), 1e-12) << c.parameter;
    EXPECT_EQ(D(w->Variable(c.parameter).im), 3) << "the imaginary part stays";
  }
  // The level dialog of the sphere, on the second of its three rows.
  for (int k = 0; k < 3; ++k)
    w->Equation(sphere).items.push_front(MakeLevelItem({kLevelAxisZ, 0.5L * k}, {1, 1}, {2, 1, 0}));
  w->OpenLevelDialog(sphere);
  ASSERT_NE(w->LevelDlg, nullptr);
  ASSERT_EQ(w->LevelDlg->ListedRows(), 3);
  w->LevelDlg->ListSetSel(kIvpItemList, 1);
  const int before = w->equationCount;
  d.Press(kCrossingPoint);
  ASSERT_EQ(w->equationCount, before + 1);
  EXPECT_EQ(w->LevelDlg->ListGetSel(kIvpItemList), 1) << "the point reset the level dialog's list";
  const TEquation& p = w->Equation(w->equationCount);
  EXPECT_EQ(p.kind, kKindPoint3D);
  long double x = 0;
  ASSERT_EQ(w->TextToValue(p.formulaText[0], x), 0);
  EXPECT_NEAR(D(x), -std::sqrt(0.5), 1e-13);
}

TEST_F(CrossingDialog, ACurveThatMissesTheSurfaceReportsNoCrossing) {
  Curve("t", "3", "0");
  TIntCSDlg& d = Open();
  for (int press = 0; press < 3; ++press) {
    EXPECT_FALSE(d.Found());
    EXPECT_EQ(d.GetItemText(kCrossingResult), "?");
    EXPECT_FALSE(d.IsItemEnabled(kCrossingStore));
    EXPECT_FALSE(d.IsItemEnabled(kCrossingPoint));
    d.Press(kCrossingNext);
  }
  EXPECT_TRUE(w->Equation(sphere).results.empty());
  EXPECT_FALSE(w->Overlays.intersection.shown);
}

TEST_F(CrossingDialog, ClosesWhenItsCurveIsGone) {
  const int line = Curve("t", "0", "0");
  Open();
  w->DeleteEquations({line});
  w->CloseStaleDialogs(false);
  EXPECT_EQ(w->IntersectionPointsDlg, nullptr);
}

}  // namespace
}  // namespace kv
