// The intersection curve in the 3D window: command 787 with its chooser,
// the curve found and drawn, its dialog with the course window, and the
// rebuild of derived entries when their sources change.
#include <gtest/gtest.h>

#include <cmath>

#include "plot3d/intersection_dialogs.h"
#include "plot3d/level_win.h"
#include "plot3d/model/evaluate.h"
#include "plot3d/model/intersection_curve.h"
#include "plot3d/model/slice_items.h"
#include "plot3d/plot3_test_util.h"

namespace kv {
namespace {

double D(long double v) { return static_cast<double>(v); }

class IntersectionWindow : public test3d::Plot3Test {
 protected:
  TPlot3Win* w = nullptr;
  int sphere = -1;
  int plane = -1;
  void SetUp() override {
    Plot3Test::SetUp();
    MakeScene();
  }
  // A window of its own with the sphere and the plane z = 0.5.
  void MakeScene() {
    w = MakeWindow();
    sphere = w->AppendEquation(kKindImplicitSurface, {"", "", "", "", "xx+yy+zz=1"});
    w->CompileEquation(sphere);
    w->Equation(sphere).boxMin() = {-1.1L, -1.1L, -1.1L};
    w->Equation(sphere).boxMax() = {1.1L, 1.1L, 1.1L};
    plane = w->AppendEquation(kKindPlane, {"0", "0", "1", "0,0,0.5"});
    w->Equation(plane).lowerBound = {-1, -1};
    w->Equation(plane).upperBound = {1, 1};
    w->CompileEquation(plane);
    w->UpdateBox(sphere);
    w->UpdateBox(plane);
    w->RepaintNow(true);
    Settle(w);
  }
  // Runs 787, choosing rows a and b of the two lists.
  void ChooseCurve(int a, int b) {
    RunWithDialog(w, kCm3IntersectionCurve, "EQUA317", [a, b](plat::Dialog& d) {
      d.ListSetSel(295, a);
      d.ListSetSel(296, b);
      d.Press(plat::IDOK);
    });
  }
  int CountCurves() const { return w->CountEquationsOfKind(kKindIntersection); }
  // Whether the circle of the curve is drawn in its colour at (sqrt(0.75), 0, 0.5).
  bool CircleDrawn(const TEquation& curve) {
    plat::Point px;
    if (!w->WorldToPixel(w->ProjectRotated({std::sqrt(0.75L), 0, 0.5L}), px)) return false;
    return test3d::ColourNear(w->Surface(), px.x, px.y, w->GetColour(curve.penColour), 3);
  }
};

TEST_F(IntersectionWindow, SphereAndPlaneGiveTheCircle) {
  ChooseCurve(0, 1);
  ASSERT_EQ(CountCurves(), 1);
  const int c = w->equationCount;
  TEquation& curve = w->Equation(c);
  EXPECT_EQ(curve.derivation, kCurveImplicitPlane);
  EXPECT_EQ(curve.source1, sphere);
  EXPECT_EQ(curve.source2, plane);
  // Its dialog is open on it.
  ASSERT_NE(w->IntersectionCurveDlg, nullptr);
  EXPECT_EQ(w->IntersectionCurveDlg->EquationIndex(), c);
  EXPECT_FALSE(w->IntersectionCurveDlg->IsHidden());
  // The first picture finds the curve and keeps its pieces.
  w->RepaintNow(false);
  ASSERT_FALSE(curve.items.empty());
  EXPECT_EQ(curve.webToAxis, 0);
  const TLevelPlane p = IntersectionCurvePlane(curve);
  for (const TEquationItem& item : curve.items) {
    TPoint3D q;
    const TEngineVariableGuard guard(w->Engine());
    ASSERT_TRUE(LiftIntersectionPoint(curve, w->Engine(), p.ToPlane(item.start), q));
    EXPECT_NEAR(D(std::hypot(q.x, q.y)), std::sqrt(0.75), 1e-3);
    EXPECT_NEAR(D(q.z), 0.5, 1e-12);
  }
  // Drawn in its colour where the circle projects.
  EXPECT_TRUE(CircleDrawn(curve));
}

TEST_F(IntersectionWindow, ThePairAgainInEitherOrderReusesTheCurve) {
  ChooseCurve(0, 1);
  ChooseCurve(1, 0);
  EXPECT_EQ(CountCurves(), 1);
}

TEST_F(IntersectionWindow, RefusedChoicesKeepTheChooserOpen) {
  // The same surface twice: "zwei aussuchen", then cancel.
  plat::testing::ClearMessages();
  RunWithDialog(w, kCm3IntersectionCurve, "EQUA317", [](plat::Dialog& d) {
    d.ListSetSel(295, 0);
    d.ListSetSel(296, 0);
    d.Press(plat::IDOK);
    d.Press(plat::IDCANCEL);
  });
  ASSERT_EQ(plat::testing::Messages().size(), 1u);
  EXPECT_NE(plat::testing::Messages()[0].text.find("zwei aussuchen"), std::string::npos);
  EXPECT_EQ(CountCurves(), 0);
  EXPECT_EQ(w->IntersectionCurveDlg, nullptr);
}

TEST_F(IntersectionWindow, TheCourseWindowTracesTheCurveInItsPlane) {
  ChooseCurve(0, 1);
  const int c = w->equationCount;
  w->Equation(c).items.clear();
  w->IntersectionCurveDlg->Press(kIntersectionSearch);
  Settle(w);
  ASSERT_NE(w->CourseWin, nullptr);
  EXPECT_FALSE(w->CourseWin->Hidden);
  EXPECT_EQ(w->CourseWin->Plane().axis, kLevelAxisZ);
  const std::size_t found = w->Equation(c).items.size();
  EXPECT_GT(found, 0u);
  EXPECT_GT(w->IntersectionCurveDlg->ListedRows(), 0);
  // "Verwerfen" keeps what the search found and hides the course window.
  w->IntersectionCurveDlg->Press(plat::IDCANCEL);
  EXPECT_EQ(w->Equation(c).items.size(), found);
  EXPECT_TRUE(w->CourseWin->Hidden);
  EXPECT_TRUE(w->IntersectionCurveDlg->IsHidden());
}

// The dialog opens on a new curve before the first picture searches its
// pieces; whatever is searched or deleted in it, "Verwerfen" returns to the
// curve the user saw, drawn.
TEST_F(IntersectionWindow, VerwerfenReturnsToTheCurveShownWhenTheDialogOpened) {
  struct Case {
    const char* what;
    bool deleteOne;
    bool deleteAll;
  } cases[] = {
      {"Suchen", false, false},
      {"Suchen, Löschen", true, false},
      {"Suchen, Alles löschen", false, true},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.what);
    MakeScene();
    ChooseCurve(0, 1);
    w->RepaintNow(false);
    const int c = w->equationCount;
    TIntSSDlg& d = *w->IntersectionCurveDlg;
    ASSERT_TRUE(CircleDrawn(w->Equation(c)));
    d.Press(kIntersectionSearch);
    Settle(w);
    ASSERT_GT(d.ListedRows(), 0);
    if (k.deleteOne) d.Press(kIvpDelete);
    if (k.deleteAll) {
      plat::testing::ExpectDialog("YNMBOX", [](plat::Dialog& m) { m.Press(88); });
      d.Press(kIvpDeleteAll);
      ASSERT_TRUE(w->Equation(c).items.empty());
    }
    d.Press(plat::IDCANCEL);
    w->RepaintNow(false);
    EXPECT_FALSE(w->Equation(c).items.empty());
    EXPECT_TRUE(CircleDrawn(w->Equation(c)));
  }
}

TEST_F(IntersectionWindow, TheCurveFollowsItsSources) {
  ChooseCurve(0, 1);
  const int c = w->equationCount;
  w->RepaintNow(false);
  // The plane moves to z = 0: the circle grows to radius 1.
  w->Equation(plane).formulaText[3] = "0,0,0";
  w->CompileEquation(plane);
  w->UpdateBox(plane);
  w->RebuildDerivedEquations(plane);
  TEquation& curve = w->Equation(c);
  EXPECT_TRUE(curve.items.empty());
  EXPECT_EQ(curve.webToAxis, 1);
  const TEngineVariableGuard guard(w->Engine());
  TPoint3D q;
  ASSERT_TRUE(LiftIntersectionPoint(curve, w->Engine(), {1, 0}, q));
  EXPECT_NEAR(D(q.z), 0, 1e-12);
  long double g = 1;
  SetSpacePoint(w->Engine(), 1, 0, 0);
  ASSERT_TRUE(EvaluateRealPart(w->Engine(), curve.trees[3].get(), g));
  EXPECT_NEAR(D(g), 0, 1e-12);
}

TEST_F(IntersectionWindow, TheCurveComesBackFromItsPlotFile) {
  ChooseCurve(0, 1);
  w->RepaintNow(false);
  const int c = w->equationCount;
  const std::size_t pieces = w->Equation(c).items.size();
  ASSERT_GT(pieces, 0u);
  const TPoint3D normal = w->Equation(c).values[8];
  const std::string path = kvtest::MakeTempDir("tools3d") + "/curve.kv3";
  w->FileData.FileName = path;
  ASSERT_TRUE(w->WriteFile());
  TPlot3Win* r = PlotWindowTest::MakeWindow("Unbenannt2.kv3");
  r->FileData.FileName = path;
  ASSERT_EQ(r->ReadFile(), 0);
  ASSERT_EQ(r->equationCount, c);
  const TEquation& back = r->Equation(c);
  EXPECT_EQ(back.derivation, kCurveImplicitPlane);
  EXPECT_EQ(back.items.size(), pieces);
  EXPECT_EQ(back.values[8], normal);
  EXPECT_TRUE(back.trees[3] && back.trees[2]);
  EXPECT_EQ(back.webToAxis, 0);
}

TEST_F(IntersectionWindow, TheSweepRebuildsChainsAndMarksUnknownCodes) {
  // A surface S, its tangent plane P (code 77) and the curve of P with the
  // sphere: changing S moves P and then the curve in the same sweep.
  const int s = w->AppendEquation(kKindSurface, {"", "", "0.25"});
  w->Equation(s).lowerBound = {-1, -1};
  w->Equation(s).upperBound = {1, 1};
  w->CompileEquation(s);
  const int p = w->AddSliceItem(s, 0, 0, 0, 0);
  ASSERT_GE(p, 0);
  EXPECT_EQ(w->Equation(p).derivation, kDerivedSlicePlane);
  const int c = w->AppendEquation(kKindIntersection, 0, 1, "");
  TEquation& curve = w->Equation(c);
  curve.derivation = kCurveImplicitPlane;
  curve.source1 = static_cast<std::int16_t>(sphere);
  curve.source2 = static_cast<std::int16_t>(p);
  w->BuildIntersectionCurve(c);
  curve.webToAxis = 0;
  w->Equation(s).formulaText[2] = "0.5";
  w->CompileEquation(s);
  w->RebuildDerivedEquations(s);
  EXPECT_NE(w->Equation(p).formulaText[3].find("0.5"), std::string::npos) << w->Equation(p).formulaText[3];
  EXPECT_EQ(w->Equation(c).webToAxis, 1);
  // An entry of a code without a builder here is still marked.
  w->Equation(p).derivation = 150;
  w->Equation(c).webToAxis = 0;
  w->RebuildDerivedEquations(s);
  EXPECT_EQ(w->Equation(c).webToAxis, 1);
  // A source index from a file that names a later or missing entry is
  // never followed.
  w->Equation(c).source2 = 90;
  w->Equation(c).webToAxis = 0;
  w->RebuildDerivedEquations(-1);
  w->Equation(c).source1 = -3;
  w->RebuildDerivedEquations(-1);
  SUCCEED();
}

TEST_F(IntersectionWindow, SliceCrossGivesTwoTangentLines) {
  const int s = w->AppendEquation(kKindSurface, {"", "", "xx+yy"});
  w->CompileEquation(s);
  w->drawingColour = 17;  // the surface chosen in the slice dialog has it
  const int first = w->AddSliceCrossItem(s, 1, 2, 0, 0);
  ASSERT_GE(first, 0);
  ASSERT_EQ(w->Equation(first + 1).kind, kKindSpaceCurve);
  EXPECT_EQ(w->Equation(first).penColour, 17);
  EXPECT_EQ(w->Equation(first + 1).penColour, 17);
  // Direction 1 at (1, 2): (1, 0, 2) through (1, 2, 5).
  TEquation& line = w->Equation(first);
  const TEngineVariableGuard guard(w->Engine());
  w->SetVariable('T', 1);
  long double x = 0, z = 0;
  ASSERT_TRUE(EvaluateRealPart(w->Engine(), line.trees[0].get(), x));
  ASSERT_TRUE(EvaluateRealPart(w->Engine(), line.trees[2].get(), z));
  EXPECT_NEAR(D(x), 2, 1e-12);
  EXPECT_NEAR(D(z), 7, 1e-12);
  // Without room for two entries "Kreuz" adds nothing.
  w->equationCapacity = static_cast<std::int16_t>(w->equationCount + 1);
  EXPECT_EQ(w->AddSliceCrossItem(s, 1, 2, 0, 0), -1);
}

}  // namespace
}  // namespace kv
