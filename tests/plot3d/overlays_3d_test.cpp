// The tool overlays of the 3D window: drawn over the kept plot picture and
// gone again without the surfaces being drawn anew.
#include <gtest/gtest.h>

#include <functional>

#include "plot3d/plot3_test_util.h"
#include "plot3d/space_geometry.h"

namespace kv {
namespace {

using test3d::ColourNear;
using test3d::CountColour;

class CountingWin : public TPlot3Win {
 public:
  using TPlot3Win::TPlot3Win;
  int plotPasses = 0;
  void DrawPlotLayer(plat::DC& dc) override {
    ++plotPasses;
    TPlot3Win::DrawPlotLayer(dc);
  }
};

class Overlays3D : public kvtest::PlotWindowTest<CountingWin> {
 protected:
  CountingWin* w = nullptr;
  void SetUp() override {
    PlotWindowTest::SetUp();
    w = MakeWindow("Unbenannt1.kv3");
    // The saddle z = xy over -1..1, painted.
    const int i = w->AppendEquation(kKindSurface, {"", "", "xy"});
    w->Equation(i).lowerBound = {-1, -1};
    w->Equation(i).upperBound = {1, 1};
    w->UpdateBox(i);
    w->RepaintNow(false);
    Settle(w);
  }
  plat::Point PixelOf(const TPoint3D& p) const {
    plat::Point px;
    w->WorldToPixel(w->ProjectRotated(p), px);
    return px;
  }
  void Repaint() {
    w->RedrawOverlays();
    Settle(w);
  }
};

TEST_F(Overlays3D, ToolOverlaysComeAndGoWithoutRedrawingTheSurfaces) {
  w->ColourSlots[1] = 5;   // cursor
  w->ColourSlots[4] = 6;   // tangent
  w->ColourSlots[5] = 9;   // secant
  w->ColourSlots[9] = 11;  // Frenet
  TToolOverlays& o = w->Overlays;
  o.trace.p1 = {0.5L, 0.5L, 0.25L};
  o.trace.p2 = {-0.5L, 0.5L, -0.25L};
  o.trace.t1 = 0;
  o.trace.t2 = 1;
  o.trace.secant = {-1, 0, -0.5L};
  o.trace.tangent1 = {0.6L, 0, 0.3L};
  o.trace.tangent2 = {0, 0.6L, -0.3L};
  o.trace.normal1 = {0, 0, 0.7L};
  struct Case {
    const char* what;
    std::function<void(bool)> show;
    int colour;
    TPoint3D near;  // a point of the overlay
  };
  const Case cases[] = {
      {"intersection point", [&](bool on) { o.intersection = {on, {0.2L, -0.4L, -0.08L}}; }, 5, {0.2L, -0.4L, -0.08L}},
      {"trace point", [&](bool on) { o.trace.shown = on; }, 5, o.trace.p1},
      {"secant",
       [&](bool on) {
         o.trace.shown = on;
         o.trace.secantOn = on;
       },
       9, {0, 0.5L, 0}},
      {"tangent",
       [&](bool on) {
         o.trace.shown = on;
         o.trace.tangentOn = on;
       },
       6, {0.8L, 0.5L, 0.4L}},
      {"Frenet frame",
       [&](bool on) {
         o.trace.shown = on;
         o.trace.frenetOn = on;
       },
       11, {0.5L, 0.5L, 0.75L}},
      {"slice lines",
       [&](bool on) {
         o.slice = {on, 0, 0.5L, -0.5L};
       },
       w->Equation(0).penColour, {0.5L, 0.1L, 0.05L}},
  };
  for (const Case& c : cases) {
    const plat::Colour colour = w->GetColour(w->CheckColourIndex(c.colour));
    const plat::Point px = PixelOf(c.near);
    const int before = CountColour(w->Surface(), colour);
    const int passes = w->plotPasses;
    c.show(true);
    Repaint();
    EXPECT_GT(CountColour(w->Surface(), colour), before) << c.what;
    EXPECT_TRUE(ColourNear(w->Surface(), px.x, px.y, colour, 2)) << c.what;
    c.show(false);
    Repaint();
    EXPECT_EQ(CountColour(w->Surface(), colour), before) << c.what;
    EXPECT_EQ(w->plotPasses, passes) << c.what << ": the surfaces were drawn again";
  }
}

TEST_F(Overlays3D, ATracedPointBehindTheSurfaceGetsNoMarkNorHead) {
  w->View3D.HideEdges = 1;
  w->SetObserver({0.3L, 0.2L, 20});
  w->RepaintNow(false);
  TTrajectoryTraceOverlay& t = w->Overlays.trajectoryTrace;
  t.hasItem = true;
  SetTriple16(t.pen, 13, 1, 0);
  const plat::Colour colour = w->DrawingColourOf(13);
  // Above the saddle the mark and arrow show; below it (seen from above)
  // nothing does.
  struct Case {
    TPoint3D point;
    bool seen;
  };
  for (const Case& c : {Case{{0.3L, 0.3L, 0.6L}, true}, Case{{0.3L, 0.3L, -0.6L}, false}}) {
    t.shown = true;
    t.point = c.point;
    t.vector = {0.2L, 0, 0};
    Repaint();
    const plat::Point px = PixelOf(c.point);
    EXPECT_EQ(ColourNear(w->Surface(), px.x, px.y, colour, 2), c.seen) << static_cast<double>(c.point.z);
    EXPECT_EQ(CountColour(w->Surface(), colour) > 0, c.seen) << static_cast<double>(c.point.z);
  }
  t.shown = false;
  Repaint();
  EXPECT_EQ(CountColour(w->Surface(), colour), 0);
  // The trace dialog hands over the traced item's whole pen: its arrows
  // take the item's line style.
  const int field = w->AppendEquation(kKindOde3D, {"-y", "x", "0"});
  TEquationItem& item = w->AddTrajectoryItem(field, {0.5L, 0, 0.2L}, 0, 0.01L, 100, 1);
  SetTriple16(item.pen, 13, 1, 2);
  ASSERT_NE(w->ShowCurveTraceDialog(), nullptr);
  Repaint();
  EXPECT_TRUE(t.shown);
  EXPECT_EQ(t.pen.colour, 13);
  EXPECT_EQ(t.pen.style, 2);
}

TEST_F(Overlays3D, TheCourseCopyLeavesTheBoxAsItWas) {
  TCourseOverlay& c = w->Overlays.course;
  c.shown = true;
  c.surface = 0;
  c.mouseMode = kCmMouseCursor;
  c.cursor = {0.2L, 0.2L, 0.04L};
  c.marks = {{0.5L, -0.5L, -0.25L}};
  c.colour = 14;
  // A surface below the plane z = 0 gets a raised box while the course is
  // drawn; afterwards the box is as before.
  w->Equation(0).boxMax().z = -0.5L;
  const TPoint3D extentMax = w->Equation(0).boxMax();
  const TPoint3D boxMax = w->View3D.BoxMax;
  const TPoint3D eye = w->View3D.Observer;
  Repaint();
  EXPECT_EQ(w->Equation(0).boxMax(), extentMax);
  EXPECT_EQ(w->View3D.BoxMax, boxMax);
  EXPECT_EQ(w->View3D.Observer, eye);
  EXPECT_EQ(w->BackBuffers[2].Width(), w->ClientWidth);
  const plat::Point m = PixelOf(c.marks[0]);
  EXPECT_TRUE(ColourNear(w->BackBuffers[2], m.x, m.y, w->DrawingColourOf(14), 3));
  // The level window's point is marked as a space point of pen width 3: a
  // filled circle of that marker size.
  {
    plat::BitmapDC probe(w->BackBuffers[2]);
    const int r = w->MarkerSize(probe, 3);
    int inside = 0, filled = 0;
    for (int dy = -r + 1; dy < r; ++dy)
      for (int dx = -r + 1; dx < r; ++dx) {
        if (dx * dx + dy * dy >= (r - 1) * (r - 1)) continue;
        ++inside;
        if (ColourNear(w->BackBuffers[2], m.x + dx, m.y + dy, w->DrawingColourOf(14), 0)) ++filled;
      }
    EXPECT_GE(filled * 10, inside * 9) << r;
  }
  // In another mouse mode only the copy is made.
  c.mouseMode = kCmMouseText;
  Repaint();
  EXPECT_FALSE(ColourNear(w->BackBuffers[2], m.x, m.y, w->DrawingColourOf(14), 3));
}

}  // namespace
}  // namespace kv

namespace kv {
namespace {

class Labels3D : public test3d::Plot3Test {};

// The text and term modes of the 3D window place labels, which are
// overlays like the tools': the surfaces are not drawn again for them.
TEST_F(Labels3D, TextModesPlaceLabelsOverTheKeptPlot) {
  TPlot3Win* w = MakeWindow();
  w->Command(kCmMouseText);
  plat::testing::AnswerDialog("NEWTEXT", {{211, "Sattelpunkt"}}, plat::IDOK);
  w->EvRButtonDown(0, {60, 50});
  Settle(w);
  ASSERT_EQ(w->TextLabels.size(), 1u);
  EXPECT_GT(CountColour(w->Surface(), plat::Rgb(0, 0, 0)), 0);
  w->Command(kCmMouseTerms);
  plat::testing::AnswerDialog("NEWTEXT1", {{211, "2*3"}}, plat::IDOK);
  w->EvRButtonDown(0, {60, 150});
  ASSERT_EQ(w->TermLabels.size(), 1u);
  EXPECT_EQ(w->GetTextString(w->TermLabels[0]), "6.000");
  // Left button in the text mode drags the label.
  w->Command(kCmMouseText);
  plat::testing::InjectMouse(*w, {plat::MouseEvent::LButtonUp, 0, 160, 60});
  w->EvLButtonDown(0, {62, 54});
  TTextLabel a = w->TextLabels[0];
  w->TextToAbsolute(a);
  EXPECT_EQ(RoundToInt(w->WorldToDeviceX(a.anchorX)), 158);
}

}  // namespace
}  // namespace kv
