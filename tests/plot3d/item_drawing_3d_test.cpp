// Items of the 3D window drawn by kind: the direction field of a system of
// differential equations, points appended by the tools, segments and stepped families.
#include <gtest/gtest.h>

#include <cmath>

#include "plot3d/plot3_test_util.h"

namespace kv {
namespace {

using test3d::CountColour;
using test3d::Plot3Test;

TEST_F(Plot3Test, TheDirectionFieldDrawsOneArrowPerLatticePointAndNoneWithoutLattice) {
  TPlot3Win* w = MakeWindow();
  const int i = w->AppendEquation(kKindOde3D, {"1", "0", "0"});
  TEquation& e = w->Equation(i);
  e.boxMin() = {0, 0, 0};
  e.boxMax() = {4, 4, 4};
  w->UpdateBox(i);
  e.fieldMode = 2;
  e.subKind = 6;  // the field's colour
  const plat::Colour field = w->DrawingColourOf(6);
  struct Case {
    std::int16_t lattice;
    bool drawn;
  };
  // No lattice steps (once a division by zero), one step, a lattice far
  // too fine to finish (bounded).
  for (const Case& c : {Case{0, false}, Case{-3, false}, Case{1, true}, Case{3, true}, Case{30000, true}}) {
    e.fieldRows = c.lattice;
    plat::Bitmap b(w->ClientWidth, w->ClientHeight, w->GetColour(w->ColourSlots[0]));
    plat::BitmapDC dc(b);
    EXPECT_EQ(w->DrawFieldElements(dc, i), 0);
    EXPECT_EQ(CountColour(b, field) > 0, c.drawn) << c.lattice;
    if (c.drawn) {
      EXPECT_GT(e.elementLength, 0);
    }
  }
  // The lattice runs a = 0 ... n for every count the dialog accepts: a
  // field that lives only in the slab 0.125 < x < 0.145 shows where the
  // lattice has a plane x = a · 4/n there (n = 60: 2 steps, n = 90: 3).
  w->Equation(i).formulaText[0] = "(1+sgn(x-0.125))(1-sgn(x-0.145))";
  w->CompileEquation(i);
  w->View3D.BoxMin = {0, 0, 0};
  w->View3D.BoxMax = {4, 4, 4};
  for (const Case& c : {Case{50, false}, Case{60, true}, Case{90, true}, Case{100, false}}) {
    e.fieldRows = c.lattice;
    plat::Bitmap b(w->ClientWidth, w->ClientHeight, w->GetColour(w->ColourSlots[0]));
    plat::BitmapDC dc(b);
    EXPECT_EQ(w->DrawFieldElements(dc, i), 0);
    EXPECT_EQ(CountColour(b, field) > 0, c.drawn) << c.lattice;
  }
  // The field mode decides.
  e.fieldRows = 3;
  e.fieldMode = 1;
  plat::Bitmap b(w->ClientWidth, w->ClientHeight, w->GetColour(w->ColourSlots[0]));
  plat::BitmapDC dc(b);
  w->DrawFieldElements(dc, i);
  EXPECT_EQ(CountColour(b, field), 0);
}

TEST_F(Plot3Test, AppendedPointsCarryTheirCoordinatesEvenWhenHuge) {
  TPlot3Win* w = MakeWindow();
  struct Case {
    long double x, y, z;
  };
  for (const Case& c : {Case{1.5L, -2, 0.25L}, Case{1e300L, -3e-5L, 7}, Case{-4.25e30L, 1e25L, 0}}) {
    const int i = w->AddPoint3D(c.x, c.y, c.z);
    ASSERT_GE(i, 0);
    const TEquation& e = w->Equation(i);
    EXPECT_EQ(e.kind, kKindPoint3D);
    EXPECT_EQ(e.penWidth, w->View3D.PointSize);
    const long double want[3] = {c.x, c.y, c.z};
    for (int k = 0; k < 3; ++k) {
      EXPECT_LT(e.formulaText[static_cast<std::size_t>(k)].size(), 40u);
      long double v = 0;
      ASSERT_TRUE(w->EvaluateReal(e.trees[static_cast<std::size_t>(k)].get(), v)) << e.formulaText[k];
      EXPECT_LE(std::fabs(v - want[k]), 1e-13L * std::max(1.0L, std::fabs(want[k]))) << e.formulaText[k];
    }
  }
  EXPECT_EQ(w->Equation(0).formulaText[0], "1.50000000000000");

  // Points read from a text: the first in an empty window brings the axes.
  TPlot3Win* v = MakeWindow();
  ASSERT_EQ(v->AxesShown, 0);
  TEquation proto;
  InitEquation(proto, kKindPoint3D, 2, 50);
  ASSERT_EQ(v->AppendPointsFromText(proto, "1 2 3 4 5 6"), 0);
  EXPECT_EQ(v->equationCount, 1);
  EXPECT_EQ(v->AxesShown, 1);
  EXPECT_TRUE(v->IsMenuItemChecked(kCmToggleAxes));
}

TEST_F(Plot3Test, ASegmentDrawsItsArrowHeadsAndKeepsItsPieceCount) {
  TPlot3Win* w = MakeWindow();
  Enter(w, kCm3NewSegment, "EQUA308");
  TEquation& s = w->Equation(0);
  s.arrowMode = 3;  // heads at both ends
  const std::int16_t stored = s.curvePoints[0];
  const plat::Colour pen = w->DrawingColourOf(s.penColour);
  w->RepaintNow(false);
  const int alone = CountColour(w->Surface(), pen);
  EXPECT_GT(alone, 50);
  EXPECT_EQ(s.curvePoints[0], stored);
  // The two arrow heads add to the line.
  s.arrowMode = 0;
  w->RepaintNow(false);
  EXPECT_LT(CountColour(w->Surface(), pen), alone);
}

TEST_F(Plot3Test, ASegmentClippedToTheBoxEndsAtItsLastPointInside) {
  TPlot3Win* w = MakeWindow();
  w->AppendEquation(kKindPoint3D, {"1", "1", "1"});
  w->View3D.BoxMin = {0, 0, 0};
  w->View3D.BoxMax = {2, 2, 2};
  w->View3D.BoxCentre = {1, 1, 1};
  w->FitWindowToBox();
  const plat::Colour pen = w->DrawingColourOf(6);
  plat::Bitmap b(w->ClientWidth, w->ClientHeight, w->GetColour(w->ColourSlots[0]));
  plat::BitmapDC dc(b);
  // Pieces at x = 1, 1.75, 2.5: the last one, the far end, lies outside.
  EXPECT_EQ(w->DrawSegment3D(dc, {1, 1, 1}, {2.5L, 1, 1}, TPlotQWin::PackPen(6, 1), 0, false, true, 2, 0), 0);
  auto near = [&](long double x) {
    plat::Point p;
    w->WorldToPixel(w->ProjectRotated(TPoint3D{x, 1, 1}), p);
    return test3d::ColourNear(b, p.x, p.y, pen, 1);
  };
  EXPECT_TRUE(near(1.5L));
  EXPECT_FALSE(near(2.3L));
  EXPECT_FALSE(near(2.45L));
}

// Each member of a space curve, a segment and a point, at height z = a, is on
// the screen in its own pause, and "A" there ends the family.
TEST_F(Plot3Test, SteppedFamiliesShowEachMemberDuringItsOwnPauseAndStopThereOnA) {
  TPlot3Win* w = MakeWindow();
  const int items[] = {w->AppendEquation(kKindSpaceCurve, {"t", "0", "a"}),
                       w->AppendEquation(kKindSegment3D, {"-1", "0", "a", "1", "", "0", "a"}),
                       w->AppendEquation(kKindPoint3D, {"0.5", "0", "a"})};
  w->View3D.BoxMin = {-2, -2, -2};
  w->View3D.BoxMax = {2, 2, 2};
  w->View3D.BoxCentre = {0, 0, 0};
  w->FitWindowToBox();
  for (int i : items) w->Equation(i).visible = 0;
  for (int i : items) {
    TEquation& e = w->Equation(i);
    SCOPED_TRACE(e.kind);
    w->CompileEquation(i);
    e.visible = 1;
    const plat::Colour pen = w->DrawingColourOf(w->CheckColourIndex(e.penColour));
    ASSERT_NO_FATAL_FAILURE(kvtest::ExpectFamilyStopsInSecondPause(
        *w, e, -1.5L, 1.5L, [&] { w->RepaintNow(false); }, [&](const plat::Bitmap& b, long double a) {
          plat::Point p;
          w->WorldToPixel(w->ProjectRotated(TPoint3D{0.5L, 0, a}), p);
          return test3d::ColourNear(b, p.x, p.y, pen, 2);
        }));
    e.visible = 0;
  }
}

TEST_F(Plot3Test, ACylindricalMeshWithoutAngleRangeStillDrawsBoundedLines) {
  TPlot3Win* w = MakeWindow();
  const int i = w->AppendEquation(kKindCylinderSurface, {"", "", "r"});
  TEquation& e = w->Equation(i);
  e.polarInput = 1;  // drawn as a mesh
  for (long double upper : {0.0L, 1e-30L, 1e30L, -2.0L}) {
    e.upperBound = {1, upper};
    w->UpdateBox(i);
    plat::Bitmap b(w->ClientWidth, w->ClientHeight);
    plat::BitmapDC dc(b);
    EXPECT_EQ(w->DrawInventoryItem(dc, i), 0) << static_cast<double>(upper);
  }
}

}  // namespace
}  // namespace kv
