// Explicit, polar and parametric curves on the 2D window's surface:
// families, gaps at poles and jumps, the curve's own interval, end markers
// and the stop key.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "platform/keys.h"
#include "plot2d/plot2_test_util.h"

namespace kv {
namespace {

using test2d::ColourNear;
using test2d::EntryColour;
using test2d::GraphCoverage;

constexpr long double kPi = 3.14159265358979323846L;

class CurveDrawing : public test2d::Plot2Test {
 protected:
  // An entry compiled and drawn with the whole plot; its index.
  int Add(TPlot2Win* w, int kind, long double lo, long double hi, std::string_view t1, std::string_view t2 = {},
          std::string_view t3 = {}) {
    const int i = w->AppendEquation(kind, lo, hi, t1, t2, t3);
    w->CompileEquation(i);
    return i;
  }
  static void Repaint(TPlot2Win* w) {
    w->RepaintNow(false);
    Settle(w);
  }
  // The share of parameter values whose point has a pixel of the colour.
  static double ParametricCoverage(TPlot2Win& w, plat::Colour c, long double lo, long double hi,
                                   const std::function<TPoint2D(long double)>& f) {
    int tested = 0;
    int hit = 0;
    for (int k = 0; k <= 400; ++k) {
      const TPoint2D p = f(lo + (hi - lo) * k / 400);
      if (!w.IsInView(p)) continue;
      ++tested;
      if (ColourNear(w.Surface(), w.WorldToPixelX(p.x), w.WorldToPixelY(p.y), c, 2)) ++hit;
    }
    return tested == 0 ? 0.0 : static_cast<double>(hit) / tested;
  }
};

TEST_F(CurveDrawing, AFamilyDrawsOneGraphPerValueOfItsLetter) {
  TPlot2Win* w = MakeWindow();
  const int i = Add(w, kKindExplicit, -5, 5, {}, "ax^2");
  TEquation& e = w->Equation(i);
  e.familyOn = 1;
  e.familyLetter = 1;  // A
  e.familyStart = -2;
  e.familyEnd = 2;
  e.familySteps = 4;
  Repaint(w);
  const plat::Colour c = EntryColour(*w, i);
  for (long double a : {-2.0L, -1.0L, 0.0L, 1.0L, 2.0L}) {
    EXPECT_GT(GraphCoverage(*w, w->Surface(), c, [a](long double x) { return a * x * x; }), 0.97)
        << "a = " << static_cast<double>(a);
  }
  // Between the members there is nothing: a = 0.5 is no member.
  EXPECT_LT(GraphCoverage(*w, w->Surface(), c, [](long double x) { return 0.5L * x * x; }), 0.5);
  EXPECT_EQ(w->Variable('A').re, 0) << "the letter's value is restored after the drawing";
}

TEST_F(CurveDrawing, PolarAndParametricCurvesLieWhereTheirFormulasSay) {
  TPlot2Win* w = MakeWindow();
  const int rose = Add(w, kKindPolar, 0, 2 * kPi, {}, {}, "3sin(4t)");
  const int lissajous = Add(w, kKindParametric, 0, 2 * kPi, "3cos(3t)", "3sin(4t)");
  w->Equation(lissajous).penColour = 3;
  Repaint(w);
  EXPECT_GT(ParametricCoverage(*w, EntryColour(*w, rose), 0, 2 * kPi,
                               [](long double t) {
                                 const long double r = 3 * std::sin(4 * t);
                                 return TPoint2D{r * std::cos(t), r * std::sin(t)};
                               }),
            0.98);
  EXPECT_GT(ParametricCoverage(*w, EntryColour(*w, lissajous), 0, 2 * kPi,
                               [](long double t) {
                                 return TPoint2D{3 * std::cos(3 * t), 3 * std::sin(4 * t)};
                               }),
            0.98);
  // The rose stays inside the circle of radius 3.
  const plat::Colour c = EntryColour(*w, rose);
  const plat::Bitmap& s = w->Surface();
  int outside = 0;
  for (int y = 0; y < s.Height(); ++y)
    for (int x = 0; x < s.Width(); ++x) {
      if (s.GetPixel(x, y) != c) continue;
      const long double wx = w->PixelToWorldX(x);
      const long double wy = w->PixelToWorldY(y);
      if (std::sqrt(wx * wx + wy * wy) > 3.1L) ++outside;
    }
  EXPECT_EQ(outside, 0);
}

TEST_F(CurveDrawing, PolesAreGapsUnlessTheDensityAsksToJoinAcrossJumps) {
  struct Case {
    const char* what;
    std::uint8_t joinAcrossJumps;
    bool expectFullColumns;
  } cases[] = {{"tan(x) with jump detection", 0, false}, {"tan(x) with the density's @", 1, true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TPlot2Win* w = MakeWindow();
    const int i = Add(w, kKindExplicit, -5, 5, {}, "tan(x)");
    w->Equation(i).densityFlag = c.joinAcrossJumps;
    Repaint(w);
    const plat::Colour colour = EntryColour(*w, i);
    const plat::Bitmap& s = w->Surface();
    // A column with the curve's colour both near the top and near the
    // bottom of the plot holds a vertical line through a pole.
    int fullColumns = 0;
    const int top = w->AreaOriginY();
    const int h = w->AreaHeight();
    for (int x = w->AreaOriginX(); x < w->AreaOriginX() + w->AreaWidth(); ++x) {
      bool high = false;
      bool low = false;
      for (int y = top; y < top + h / 8; ++y) high = high || s.GetPixel(x, y) == colour;
      for (int y = top + h - h / 8; y < top + h; ++y) low = low || s.GetPixel(x, y) == colour;
      if (high && low) ++fullColumns;
    }
    EXPECT_EQ(fullColumns > 0, c.expectFullColumns);
    EXPECT_GT(GraphCoverage(*w, s, colour, [](long double x) { return std::tan(x); }), 0.95);
  }
}

TEST_F(CurveDrawing, ACurveWithItsOwnIntervalIsDrawnOnlyThere) {
  // Intervals in units of the view's half width, around its centre.
  struct Case {
    long double lo;
    long double hi;
    bool visible;
  } cases[] = {{-0.4L, 0.2L, true}, {1.5L, 3, false}, {-4, -1.2L, false}, {-3, 0.5L, true}};
  for (Case c : cases) {
    TPlot2Win* w = MakeWindow();
    c.lo *= w->HalfX;
    c.hi *= w->HalfX;
    const int i = Add(w, kKindExplicit, c.lo, c.hi, {}, "1.5");
    w->Equation(i).bounded = 1;
    Repaint(w);
    const plat::Colour colour = EntryColour(*w, i);
    int left = 1 << 30;
    int right = -1;
    const plat::Bitmap& s = w->Surface();
    for (int y = 0; y < s.Height(); ++y)
      for (int x = 0; x < s.Width(); ++x)
        if (s.GetPixel(x, y) == colour) {
          left = std::min(left, x);
          right = std::max(right, x);
        }
    if (!c.visible) {
      EXPECT_EQ(right, -1) << static_cast<double>(c.lo);
      plat::BitmapDC dc(w->BackBuffers[1]);
      EXPECT_EQ(w->DrawCurve(dc, i), 0);
      continue;
    }
    EXPECT_NEAR(left, w->WorldToPixelX(std::max(c.lo, w->World.xmin)), 1);
    EXPECT_NEAR(right, w->WorldToPixelX(c.hi), 1);
  }
}

TEST_F(CurveDrawing, EndMarkersCloseABoundedGraphHollowFilledOrAsArrowHeads) {
  struct Case {
    const char* what;
    int dot;
    int arrow;
    int centreInColour;    // at the end point itself (-1: not asked)
    bool ringInColour;     // two pixels above it
    bool headBeyondEnd;    // pixels of the colour beside the curve before the end
  } cases[] = {
      {"none", 0, 0, -1, false, false},
      {"hollow dot", -2, 0, 0, true, false},
      {"filled dot", 2, 0, 1, true, false},
      {"filled arrow", 0, 5, 1, false, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TPlot2Win* w = MakeWindow();
    const int i = Add(w, kKindExplicit, 1, 3, {}, "1");
    TEquation& e = w->Equation(i);
    e.bounded = 1;
    e.endMarkerRight() = c.dot;
    e.endArrowRight() = c.arrow;
    Repaint(w);
    const plat::Colour colour = EntryColour(*w, i);
    const plat::Bitmap& s = w->Surface();
    const int x = w->WorldToPixelX(3);
    const int y = w->WorldToPixelY(1);
    if (c.centreInColour >= 0) {
      EXPECT_EQ(s.GetPixel(x, y) == colour, c.centreInColour == 1);
    }
    if (c.centreInColour == 0) {
      EXPECT_EQ(s.GetPixel(x, y), w->GetColour(w->ColourSlots[0])) << "filled with the background";
    }
    EXPECT_EQ(s.GetPixel(x - 6, y), colour) << "the curve itself";
    EXPECT_EQ(s.GetPixel(x, y - 2) == colour, c.ringInColour);
    EXPECT_EQ(s.GetPixel(x - 4, y - 2) == colour, c.headBeyondEnd);
    EXPECT_NE(s.GetPixel(x + 4, y), colour) << "nothing past the end";
  }
}

TEST_F(CurveDrawing, TheStopKeyEndsTheCurveButThePassStillSucceeds) {
  TPlot2Win* w = MakeWindow();
  const int i = Add(w, kKindExplicit, -5, 5, {}, "sin(x)");
  w->Equation(i).stepDensity = 20;
  plat::BitmapDC dc(w->BackBuffers[1]);
  plat::testing::InjectKey(*w, 'A', 0, 'a');
  EXPECT_EQ(w->DrawCurve(dc, i), 'A');
  plat::testing::InjectKey(*w, 'A', 0, 'a');
  EXPECT_EQ(w->DrawEquations(dc), 0);
  w->quietDrawing = 1;
  plat::testing::InjectKey(*w, 'A', 0, 'a');
  EXPECT_EQ(w->DrawCurve(dc, i), 0) << "quiet drawing polls no key";
  plat::FlushKeys(*w);
  w->quietDrawing = 0;
  // After a drawer that reads no key the pass reads one: it is the entry's
  // result, and only "A" ends the pass.
  const int segment = Add(w, kKindSegment, 0, 1, "0", "0", "1");
  w->Equation(segment).formulaText[3] = "1";
  w->CompileEquation(segment);
  plat::testing::InjectKey(*w, 'B', 0, 'b');
  EXPECT_EQ(w->DrawEquation(dc, segment), 'B');
  w->Equation(segment).visible = 0;

  // A direction field, families of lines and of antiderivatives and a
  // roulette (after its first step) stop on any key, and say which.
  const int field = Add(w, kKindOde, 0, 1, "y", "-x");
  const int base = Add(w, kKindParametric, -3, 3, "t", "0");
  ASSERT_EQ(w->AddRoulette(base, false, -3, 0, 3, 1, 1), 0);
  const int roulette = w->equationCount;
  const int lines = Add(w, kKindLine, 0, 1, "1", "0", "A");
  const int integral = Add(w, kKindAntiderivative, -2, 2, {}, "2x");
  for (int k : {lines, integral}) {
    TEquation& e = w->Equation(k);
    e.familyOn = 1;
    e.familyLetter = 1;
    e.familyStart = -2;
    e.familyEnd = 2;
    e.familySteps = 4;
  }
  struct Case {
    const char* what;
    std::function<int()> draw;
  } cases[] = {
      {"field", [&] { return w->DrawDirectionField(dc, field); }},
      {"lines", [&] { return w->DrawLineEquation(dc, lines); }},
      {"antiderivatives", [&] { return w->DrawAntiderivative(dc, integral); }},
      {"roulette", [&] { return w->DrawRoulette(dc, roulette); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    plat::testing::InjectKey(*w, 'B', 0, 'b');
    EXPECT_EQ(c.draw(), 'B');
    plat::FlushKeys(*w);
  }
}

// An accelerator read by a drawing's poll stops the drawing and runs its
// command; what the command asks for (the axes switched, the plot drawn
// again) is painted once the stopped drawing has ended, not lost with it.
TEST_F(CurveDrawing, AnAcceleratorReadWhileDrawingIsPaintedAfterTheDrawing) {
  TPlot2Win* w = MakeWindow();
  const int i = Add(w, kKindExplicit, -5, 5, {}, "sin(x)");
  w->Equation(i).stepDensity = 20;
  const std::uint8_t axes = w->AxesShown;
  w->InvalidatePlot();
  plat::testing::InjectKey(*w, 'A', plat::MOD_CONTROL, 1);  // Strg+A
  w->RepaintNow(false);
  EXPECT_NE(w->AxesShown, axes) << "the command ran";
  EXPECT_EQ(w->PlotBufferValid, 0) << "the stopped drawing is not taken for the picture the command asked for";
  Settle(w);
  EXPECT_EQ(w->PlotBufferValid, 1);
  TPlot2Win* fresh = MakeWindow();
  fresh->AxesShown = w->AxesShown;
  Add(fresh, kKindExplicit, -5, 5, {}, "sin(x)");
  fresh->Equation(fresh->equationCount).stepDensity = 20;
  fresh->InvalidatePlot();
  Settle(fresh);
  EXPECT_TRUE(w->Surface() == fresh->Surface()) << "the picture shows what the command asked for";
}

}  // namespace
}  // namespace kv
