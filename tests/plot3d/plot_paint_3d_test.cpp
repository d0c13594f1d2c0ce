// What the 3D window paints: surfaces cell by cell with the far cells
// under the near ones, the frame with axes and box, the symbol of an empty
// window, and the main road F3, "z = f(x;y)", OK as a screenshot.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

#include "app/window_registry.h"
#include "platform/keys.h"
#include "plot3d/plot3_test_util.h"
#include "plot3d/space_geometry.h"
#include "core/constants.h"
#include "shell/plot_frame.h"

namespace kv {
namespace {

using test3d::ColourNear;
using test3d::CountColour;
using test3d::Plot3Test;

plat::Point PixelOf(const TPlotRWin& w, const TPoint3D& p) {
  plat::Point px;
  w.WorldToPixel(w.ProjectRotated(p), px);
  return px;
}

plat::Point PixelOf(const TPlotRWin& w, const TPoint2D& p) {
  plat::Point px;
  w.WorldToPixel(p, px);
  return px;
}

// The unit sphere (kind 303) painted with its outer side in one colour and
// its inner side in another.
struct SphereScene {
  TPlot3Win* w = nullptr;
  plat::Colour outer = 0;
  plat::Colour inner = 0;
};

class Plot3Paint : public Plot3Test {
 public:
  using Plot3Test::Enter;
};

SphereScene PaintSphere(TPlot3Win* w) {
  SphereScene s{w};
  Plot3Paint::Enter(w, kCm3NewParametric, "EQUA303");
  TEquation& e = w->Equation(0);
  e.filled = 1;
  e.sideColour1 = 12;  // the side away from the normal: the inside
  e.sideColour2 = 30;  // the outside, whose normal faces the eye
  s.inner = w->GetDrawColour(12, true);
  s.outer = w->GetDrawColour(30, true);
  w->RepaintNow(false);
  return s;
}

TEST_F(Plot3Paint, ThePainterNeverLetsAFarCellCoverANearOne) {
  SphereScene s = PaintSphere(MakeWindow());
  TPlot3Win* w = s.w;
  ASSERT_NE(s.inner, s.outer);
  const plat::Bitmap& b = w->Surface();
  const TPoint3D eye = w->View3D.Observer;
  TPoint3D n = eye;
  ASSERT_TRUE(Normalize3D(n));
  // The nearest and the farthest point of the sphere share the centre of
  // the picture: the near side must be on top.
  const plat::Point centre = PixelOf(*w, n);
  const plat::Point far = PixelOf(*w, TPoint3D{-n.x, -n.y, -n.z});
  EXPECT_LE(std::abs(centre.x - far.x), 1);
  EXPECT_TRUE(ColourNear(b, centre.x, centre.y, s.outer, 2));
  EXPECT_FALSE(ColourNear(b, centre.x, centre.y, s.inner, 3));
  // Points all over the sphere, front and back, away from the north pole
  // (whose degenerate cells have no side): the outside shows wherever they
  // land.
  const plat::Point pole = PixelOf(*w, TPoint3D{0, 0, 1});
  int tested = 0;
  for (int a = 0; a < 24; ++a)
    for (int c = 1; c < 12; ++c) {
      const long double phi = Pi * c / 12;
      const long double theta = 2 * Pi * a / 24;
      const TPoint3D p{std::sin(phi) * std::cos(theta), std::sin(phi) * std::sin(theta), std::cos(phi)};
      const plat::Point px = PixelOf(*w, p);
      // Only points well inside the outline of the sphere.
      const long double along = Dot3D(p, n);
      if (std::sqrt(1 - along * along) > 0.8L) continue;
      if (std::hypot(px.x - pole.x, px.y - pole.y) < 40) continue;
      ++tested;
      EXPECT_TRUE(ColourNear(b, px.x, px.y, s.outer, 3)) << a << "," << c;
      EXPECT_FALSE(ColourNear(b, px.x, px.y, s.inner, 2)) << a << "," << c;
    }
  EXPECT_GT(tested, 60);
  // The inside shows at most in the small cap around the pole.
  EXPECT_LT(CountColour(b, s.inner), CountColour(b, s.outer) / 30);
}

TEST_F(Plot3Paint, SurfacesDrawnSlowlyOrTransparentlyHideNothing) {
  SphereScene s = PaintSphere(MakeWindow());
  TPlot3Win* w = s.w;
  TEquation& e = w->Equation(0);
  const plat::Colour background = w->GetColour(w->ColourSlots[0]);
  const plat::Colour pen = w->GetColour(w->CheckColourIndex(e.penColour));
  const plat::Point centre = PixelOf(*w, w->View3D.BoxCentre);
  struct Case {
    std::uint8_t mesh, transparent;
  };
  for (const Case& c : {Case{1, 0}, Case{0, 1}}) {
    e.polarInput = c.mesh;
    e.densityFlag = c.transparent;
    w->RepaintNow(false);
    const plat::Bitmap& b = w->Surface();
    EXPECT_EQ(CountColour(b, s.outer), 0);
    EXPECT_EQ(CountColour(b, s.inner), 0);
    EXPECT_GT(CountColour(b, pen), 1000) << "lines of the surface's colour";
    EXPECT_TRUE(ColourNear(b, centre.x, centre.y, background, 4));
  }
  // "Sch&nell zeichnen" paints it again.
  w->Command(kCm3FastDrawing);
  e.densityFlag = 0;
  w->RepaintNow(false);
  EXPECT_EQ(e.polarInput, 0);
  EXPECT_GT(CountColour(w->Surface(), s.outer), 1000);
}

TEST_F(Plot3Paint, AnEmptyWindowShowsThreeLabelledArrows120DegreesApart) {
  TPlot3Win* w = MakeWindow();
  const plat::Bitmap& b = w->Surface();
  const plat::Colour axis = w->DrawingColourOf(w->ColourSlots[kAxisColourSlot]);
  const plat::Colour background = w->GetColour(w->ColourSlots[0]);
  ASSERT_NE(axis, background);
  EXPECT_NEAR(static_cast<double>(w->Centre.y), 2, 1e-12);
  const long double r48 = std::sqrt(48.0L);
  for (long double t : {0.2L, 0.5L, 0.8L}) {
    const TPoint2D arms[3] = {{-r48 * t, -4 * t}, {r48 * t, -4 * t}, {0, 8 * t}};
    for (const TPoint2D& p : arms) {
      const plat::Point px = PixelOf(*w, p);
      EXPECT_TRUE(ColourNear(b, px.x, px.y, axis, 1)) << static_cast<double>(p.x) << "," << static_cast<double>(p.y);
    }
  }
  // Between the arms there is nothing, and no box.
  for (const TPoint2D& p : {TPoint2D{0, -4}, TPoint2D{-4, 3}, TPoint2D{4, 3}}) {
    const plat::Point px = PixelOf(*w, p);
    EXPECT_FALSE(ColourNear(b, px.x, px.y, axis, 3));
  }
  // The names stand beyond the tips, where no arrow reaches.
  int names = 0;
  for (const TPoint2D& tip : {TPoint2D{-r48, -4}, TPoint2D{r48, -4}, TPoint2D{0, 8}}) {
    const plat::Point t = PixelOf(*w, tip);
    const double dx = static_cast<double>(tip.x / 8), dy = static_cast<double>(-tip.y / 8);  // pixel rows run down
    int hits = 0;
    for (int y = t.y - 30; y <= t.y + 30; ++y)
      for (int x = t.x - 30; x <= t.x + 30; ++x)
        if ((x - t.x) * dx + (y - t.y) * dy > 4 && b.GetPixel(x, y) == axis) ++hits;
    if (hits > 5) ++names;
  }
  EXPECT_EQ(names, 3);
}

TEST_F(Plot3Paint, TheFrameDrawsAxesToTheirEndsAndTheBoxEdgesWithCornerLabels) {
  TPlot3Win* w = MakeWindow();
  Enter(w, kCm3NewCartesianPoint, "EQUA309", [](plat::Dialog& d) {
    d.SetItemText(211, "1");
    d.SetItemText(212, "1");
    d.SetItemText(213, "1");
    d.Press(plat::IDOK);
  });
  w->AxesShown = 1;
  w->View3D.BoxVisible = 1;
  w->View3D.BoxCoordinates = 1;
  w->UpdateBox(0);
  w->RepaintNow(false);
  const plat::Bitmap& b = w->Surface();
  const plat::Colour axis = w->DrawingColourOf(w->ColourSlots[kAxisColourSlot]);
  const plat::Colour box = w->DrawingColourOf(w->ColourSlots[kBoxColourSlot]);
  const TView3D& v = w->View3D;
  // Axes from below the origin to 1.3 times the box.
  EXPECT_NEAR(static_cast<double>(v.AxisEnd.x), 1.3 * static_cast<double>(v.BoxMax.x), 1e-12);
  EXPECT_EQ(v.AxisStart.x, 0) << "the box starts at the origin";
  for (int k = 0; k < 3; ++k) {
    const TPoint3D end{k == 0 ? v.AxisEnd.x : 0, k == 1 ? v.AxisEnd.y : 0, k == 2 ? v.AxisEnd.z : 0};
    const plat::Point px = PixelOf(*w, TPoint3D{end.x * 0.9L, end.y * 0.9L, end.z * 0.9L});
    EXPECT_TRUE(ColourNear(b, px.x, px.y, axis, 1)) << "axis " << k;
    EXPECT_GT(w->AxisLabelRects[static_cast<std::size_t>(k)].Width(), 0) << "its name was placed";
  }
  // The twelve edges.
  int edges = 0;
  for (int axisOf = 0; axisOf < 3; ++axisOf)
    for (int s1 = 0; s1 < 2; ++s1)
      for (int s2 = 0; s2 < 2; ++s2) {
        const long double lo[3] = {v.BoxMin.x, v.BoxMin.y, v.BoxMin.z};
        const long double hi[3] = {v.BoxMax.x, v.BoxMax.y, v.BoxMax.z};
        long double c[3];
        c[axisOf] = 0.5L * (lo[axisOf] + hi[axisOf]);
        c[(axisOf + 1) % 3] = s1 ? hi[(axisOf + 1) % 3] : lo[(axisOf + 1) % 3];
        c[(axisOf + 2) % 3] = s2 ? hi[(axisOf + 2) % 3] : lo[(axisOf + 2) % 3];
        const plat::Point px = PixelOf(*w, TPoint3D{c[0], c[1], c[2]});
        if (ColourNear(b, px.x, px.y, box, 1)) ++edges;
      }
  EXPECT_EQ(edges, 12);
  // Two opposite corners carry their coordinates: the box is the point's
  // extent (1 ± 0.25, widened by a tenth) grown to the origin.
  EXPECT_EQ(w->CornerLabels[0].text, "(1.30,1.30,0.00)");
  EXPECT_EQ(w->CornerLabels[1].text, "(0.00,0.00,1.30)");
  // A point added on the x axis is drawn into the kept picture with the
  // frame over it, as the whole drawing has it: the axis runs through it.
  const TPoint3D onAxis{v.AxisEnd.x * 0.5L, 0, 0};
  const plat::Point at = PixelOf(*w, onAxis);
  w->View3D.PointSize = 9;
  const int i = w->AddPoint3D(onAxis.x, onAxis.y, onAxis.z);
  ASSERT_GE(i, 0);
  w->Equation(i).penColour = static_cast<std::uint16_t>(w->ColourSlots[kBoxColourSlot] == 12 ? 13 : 12);
  w->DrawEquationBuffered(i);
  EXPECT_TRUE(ColourNear(w->Surface(), at.x, at.y, axis, 0)) << "the axis over the point";
}

// A printed page shows the axes of space as the screen does, without the names of the
// plane's axes: "x" at the right edge beside y = 0, "y" at the top above x = 0.
TEST_F(Plot3Paint, ThePrintedPageHasNoNamesOfThePlanesAxes) {
  TPlot3Win* w = MakeWindow();
  Enter(w, kCm3NewExplicit, "EQUA301");
  w->Command(kCmToggleAxes);
  ASSERT_TRUE(w->AxesShown);
  const plat::Colour white = plat::Rgb(255, 255, 255);
  plat::Bitmap page(w->ClientWidth, w->ClientHeight);
  plat::BitmapDC dc(page);
  w->Printing = 1;
  w->BuildGreyTables();
  ASSERT_TRUE(w->PrintPlot(dc));
  w->Printing = 0;
  auto ink = [&](int x0, int y0, int x1, int y1) {
    int n = 0;
    for (int y = y0; y < y1; ++y)
      for (int x = x0; x < x1; ++x) n += page.GetPixel(x, y) != white;
    return n;
  };
  const plat::Point origin = PixelOf(*w, TPoint2D{0, 0});
  EXPECT_EQ(ink(w->ClientWidth - 30, origin.y - 20, w->ClientWidth, origin.y + 25), 0) << "an x at the right edge";
  EXPECT_EQ(ink(origin.x - 25, 0, origin.x, 25), 0) << "a y at the top";
  EXPECT_GT(test3d::CountOther(page, white), 2000) << "the surface is printed";
}

// ---- the main road ----

class Plot3Road : public ::testing::Test {
 protected:
  void SetUp() override {
    RegisterWindowCreators();
    kvtest::ClearSettingsFolder();
    frame_ = new TPlotFrame(nullptr, "Kurvato");
    ASSERT_TRUE(frame_->Create());
  }
  void TearDown() override {
    frame_->Destroy();
    plat::App::DeleteDestroyedWindows();
  }
  static void Settle(TPlotRWin* w) {
    for (int k = 0; k < 5; ++k) plat::App::ProcessEvents();
    w->UpdateWindow();
  }
  TPlotFrame* frame_ = nullptr;
};

TEST_F(Plot3Road, ScreenshotOfF3ThenExplicitSurfaceOk) {
  frame_->SimulateKey(plat::VK_F3);
  TPlot3Win* w = nullptr;
  for (plat::Window* c : frame_->Children())
    if (auto* p = dynamic_cast<TPlot3Win*>(c)) w = p;
  ASSERT_NE(w, nullptr);
  w->MoveWindow(30, 40, 640, 480);
  Settle(w);
  std::string caption;
  plat::testing::ExpectDialog("EQUA301", [&](plat::Dialog& d) {
    caption = d.GetCaption();
    d.Press(plat::IDOK);
  });
  w->SimulateKey(plat::VK_F1);
  Settle(w);
  ASSERT_EQ(w->equationCount, 0);
  EXPECT_NE(caption.find("z = f(x;y)"), std::string::npos) << caption;

  const std::string dir = test3d::BuildTreeDir() + "/screenshots";
  std::filesystem::create_directories(dir);
  ASSERT_TRUE(w->Surface().WritePngFile(dir + "/plot3d_surface.png"));

  // The surface fills the middle of the picture: white cells edged in the
  // surface's colour, the hump of sin(r²)/r² at the box centre.
  const plat::Bitmap& b = w->Surface();
  const plat::Colour background = w->GetColour(w->ColourSlots[0]);
  const plat::Colour edge = w->GetColour(w->CheckColourIndex(w->Equation(0).penColour));
  const plat::Colour fill = w->GetColour(1);
  ASSERT_NE(edge, fill);
  const int total = b.Width() * b.Height();
  EXPECT_GT(CountColour(b, edge), total / 50);
  EXPECT_GT(CountColour(b, fill), total / 10);
  const plat::Point top = PixelOf(*w, TPoint3D{0, 0, 1});
  EXPECT_TRUE(ColourNear(b, top.x, top.y, edge, 3) || ColourNear(b, top.x, top.y, fill, 3));
  EXPECT_FALSE(ColourNear(b, b.Width() - 5, b.Height() - 5, edge, 3)) << "a margin around the surface";
  EXPECT_NE(fill, background);
  EXPECT_TRUE(w->IsInView(w->ProjectRotated(w->View3D.BoxMin)));

  // With axes and box shown.
  w->AxesShown = 1;
  w->View3D.BoxVisible = 1;
  w->View3D.BoxCoordinates = 1;
  w->UpdateBox(0);
  w->RepaintNow(false);
  ASSERT_TRUE(w->Surface().WritePngFile(dir + "/plot3d_surface_box.png"));
  const plat::Colour box = w->DrawingColourOf(w->ColourSlots[kBoxColourSlot]);
  EXPECT_GT(CountColour(w->Surface(), box), 300);

  // Moving the observer turns the picture.
  const plat::Bitmap before = w->Surface();
  w->SimulateKey(plat::VK_RIGHT);
  Settle(w);
  EXPECT_FALSE(w->Surface() == before);
  EXPECT_NE(w->View3D.Observer, (TPoint3D{60, 80, 60}));
  ASSERT_TRUE(w->Surface().WritePngFile(dir + "/plot3d_surface_turned.png"));
}

}  // namespace
}  // namespace kv
