// The slice dialog of the 3D window: command 766 opens it on a surface with
// both lines in the middle of the parameter domain; the scroll bars and the
// values typed (Enter in their edits) move them (clamped into the bounds); "Autorev" and
// "Autozyk" step one value until a key ends the run; "Ebene" and "Kreuz"
// make slice entries, fixed or bound to two parameters.
#include <gtest/gtest.h>

#include <cmath>

#include "platform/keys.h"
#include "plot3d/model/slice_items.h"
#include "plot3d/plot3_test_util.h"
#include "plot3d/slice_dialog.h"

namespace kv {
namespace {

double D(long double v) { return static_cast<double>(v); }

class SliceDialog : public test3d::Plot3Test {
 protected:
  TPlot3Win* w = nullptr;
  int bowl = -1;
  void SetUp() override {
    Plot3Test::SetUp();
    w = MakeWindow();
    bowl = w->AppendEquation(kKindSurface, {"", "", "xx+yy"});
    w->Equation(bowl).lowerBound = {-5, -5};
    w->Equation(bowl).upperBound = {5, 5};
    w->CompileEquation(bowl);
    w->UpdateBox(bowl);
    w->frameDelay = 0;
  }
  TSliceDlg& Open() {
    w->Command(kCm3Slices);
    EXPECT_NE(w->SliceDlg, nullptr);
    return *w->SliceDlg;
  }
  static void Scroll(TSliceDlg& d, int id, int position) {
    d.SetScrollPos(id, position);
    d.EvControl(id, plat::SB_CHANGED);
  }
};

TEST_F(SliceDialog, OpensInTheMiddleAndFollowsTheScrollBars) {
  ASSERT_TRUE(w->IsMenuItemEnabled(kCm3Slices));
  TSliceDlg& d = Open();
  const int n = d.Steps();
  ASSERT_EQ(n % 2, 0);
  EXPECT_EQ(d.GetScrollRange(kSliceScroll1), std::make_pair(0, n));
  EXPECT_EQ(D(d.Value(1)), 0);
  EXPECT_EQ(D(d.Value(2)), 0);
  EXPECT_EQ(d.GetItemText(kSliceLineLabel1), "x <--");
  EXPECT_EQ(d.GetItemText(kSliceLineLabel2), "y <--");
  EXPECT_EQ(d.GetCaption().rfind("Schnitte [", 0), 0u);
  EXPECT_TRUE(w->Overlays.slice.shown);
  EXPECT_EQ(w->Overlays.slice.equation, bowl);
  // Position p of N gives lower + (upper - lower) p / N.
  Scroll(d, kSliceScroll1, 7 * n / 20);
  EXPECT_NEAR(D(d.Value(1)), -1.5, 1e-15);
  EXPECT_NEAR(D(w->Overlays.slice.value1), -1.5, 1e-15);
  long double shown = 0;
  ASSERT_EQ(w->TextToValue(d.GetItemText(kSliceValue1), shown), 0);
  EXPECT_NEAR(D(shown), -1.5, 1e-12);
  // A cylinder surface has the parameters r and t, with its own bounds.
  const int cone = w->AppendEquation(kKindCylinderSurface, {"", "", "1-r"});
  w->Equation(cone).lowerBound = {0, 0};
  w->Equation(cone).upperBound = {1, 4};
  w->CompileEquation(cone);
  w->EquationsChanged(false);
  d.ListSetSel(kIdFirstCombo, d.IndexOfFirst(cone));
  d.EvControl(kIdFirstCombo, plat::CBN_SELCHANGE);
  EXPECT_EQ(d.GetItemText(kSliceLineLabel1), "r <--");
  EXPECT_EQ(d.GetItemText(kSliceLineLabel2), "t <--");
  EXPECT_NEAR(D(d.Value(1)), 0.35, 1e-15);
  EXPECT_NEAR(D(d.Value(2)), 2, 1e-15);
  // "Schließen" hides the dialog and its lines.
  d.Press(plat::IDCANCEL);
  EXPECT_TRUE(d.IsHidden());
  EXPECT_FALSE(w->Overlays.slice.shown);
  w->Command(kCm3Slices);
  EXPECT_EQ(w->SliceDlg, &d);
  EXPECT_TRUE(w->Overlays.slice.shown);
}

TEST_F(SliceDialog, TypedValuesAreClampedIntoTheBounds) {
  TSliceDlg& d = Open();
  const int n = d.Steps();
  struct Case {
    const char* first;
    const char* second;
    bool readable;
    double value1, value2;
  };
  const Case cases[] = {
      {"12", "0", true, 5, 0},
      {"-1.5", "2*2", true, -1.5, 4},
      {"-7", "-5", true, -5, -5},
      {"1+", "1", false, -5, -5},  // unreadable: nothing changes
  };
  for (const Case& c : cases) {
    plat::testing::ClearMessages();
    d.SetItemText(kSliceValue1, c.first);
    d.SetItemText(kSliceValue2, c.second);
    d.PressKey(kSliceValue2, plat::VK_RETURN);
    EXPECT_EQ(plat::testing::Messages().size(), c.readable ? 0u : 1u) << c.first;
    EXPECT_NEAR(D(d.Value(1)), c.value1, 1e-15) << c.first;
    EXPECT_NEAR(D(d.Value(2)), c.value2, 1e-15) << c.first;
    EXPECT_EQ(d.GetScrollPos(kSliceScroll1), std::lround((c.value1 + 5) / 10 * n)) << c.first;
  }
  // New slider steps reach the scroll bars.
  w->smallSteps[0] = 40;
  d.SetItemText(kSliceValue1, "2.5");
  w->SyncSliderDialogs();
  EXPECT_EQ(d.GetScrollRange(kSliceScroll2), std::make_pair(0, 40));
  EXPECT_EQ(d.GetScrollPos(kSliceScroll1), 30);
}

TEST_F(SliceDialog, AnimationStepsUntilAKeyEndsIt) {
  TSliceDlg& d = Open();
  const int n = d.Steps();
  // Each pass shows a value and reads one key; "A" ends after its pass,
  // Escape is no stop key.
  struct Case {
    int button;
    int scroll;
    int lastShown;  // position of the last value shown
  };
  const Case cases[] = {
      {kSliceAutoReverse1, kSliceScroll1, n - 2},  // N, N-1, N-2
      {kSliceAutoCycle2, kSliceScroll2, 1},        // N, 0, 1
  };
  for (const Case& c : cases) {
    Scroll(d, c.scroll, n);
    for (unsigned key : {unsigned('X'), 27u, unsigned('A')}) plat::testing::InjectKey(*w, key, 0, key);
    d.Press(c.button);
    const int k = c.scroll == kSliceScroll1 ? 1 : 2;
    EXPECT_NEAR(D(d.Value(k)), -5 + 10.0 * c.lastShown / n, 1e-12) << c.button;
    EXPECT_EQ(d.GetScrollPos(c.scroll), c.lastShown) << c.button;
    EXPECT_TRUE(d.IsVisible());
    EXPECT_EQ(w->animating, 0);
  }
}

TEST_F(SliceDialog, EbeneAndKreuzMakeSliceEntries) {
  TSliceDlg& d = Open();
  d.SetItemText(kSliceValue1, "1");
  d.SetItemText(kSliceValue2, "2");
  d.Press(plat::IDOK);
  // "Fest": a plane at the shown values, bound to no parameter; it keeps
  // the second letter ("b"), which binds nothing, also when rebuilt.
  w->SetVariable(2, 9);
  d.Press(kSlicePlane);
  ASSERT_EQ(w->equationCount, bowl + 1);
  const TEquation& plane = w->Equation(bowl + 1);
  EXPECT_EQ(plane.kind, kKindPlane);
  EXPECT_EQ(plane.derivation, kDerivedSlicePlane);
  EXPECT_EQ(D(plane.values[4].x), 1);
  EXPECT_EQ(D(plane.values[4].y), 2);
  EXPECT_EQ(plane.auxValue3, '@');
  EXPECT_EQ(plane.auxValue4, 'B');
  const std::string point = plane.formulaText[3];
  w->RebuildDerivedEquations(bowl);
  EXPECT_EQ(w->Equation(bowl + 1).formulaText[3], point);
  EXPECT_EQ(point.find_first_of("bB"), std::string::npos) << point;
  // "Animiert" with equal letters is refused.
  d.SetCheck(kSliceFixed, false);
  d.SetCheck(kSliceAnimated, true);
  d.ListSetSel(kSliceLetter2, 0);
  plat::testing::ClearMessages();
  d.Press(kSliceCross);
  EXPECT_EQ(plat::testing::Messages().size(), 1u);
  EXPECT_EQ(w->equationCount, bowl + 1);
  // "v" and "w": the values go to V and W and the two lines follow them.
  d.ListSetSel(kSliceLetter1, 18);
  d.ListSetSel(kSliceLetter2, 19);
  d.Press(kSliceCross);
  ASSERT_EQ(w->equationCount, bowl + 3);
  EXPECT_EQ(D(w->Variable(22).re), 1);
  EXPECT_EQ(D(w->Variable(23).re), 2);
  for (int j : {bowl + 2, bowl + 3}) {
    EXPECT_EQ(w->Equation(j).kind, kKindSpaceCurve);
    EXPECT_EQ(w->Equation(j).auxValue3, 'V');
    EXPECT_EQ(w->Equation(j).auxValue4, 'W');
  }
  // With room for one more entry only "Ebene" is offered.
  w->equationCapacity = static_cast<std::int16_t>(w->equationCount + 1);
  d.UpdateButtons();
  EXPECT_TRUE(d.IsItemEnabled(kSlicePlane));
  EXPECT_FALSE(d.IsItemEnabled(kSliceCross));
}

TEST_F(SliceDialog, ClosesWhenNoSurfaceIsLeft) {
  Open();
  w->DeleteEquations({bowl});
  w->CloseStaleDialogs(false);
  EXPECT_EQ(w->SliceDlg, nullptr);
  EXPECT_FALSE(w->Overlays.slice.shown);
}

}  // namespace
}  // namespace kv
