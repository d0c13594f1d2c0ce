// The buffered paint of the plot windows, the export routing of curves, the
// drawing primitives, and the 3D view of the window base.
#include <gtest/gtest.h>

#include <cmath>

#include "core_window.h"
#include "support/recording_sink.h"
#include "platform/bitmap.h"
#include "core/constants.h"

namespace kv {
namespace {

using kvtest::CoreWindowTest;

double D(long double v) { return static_cast<double>(v); }

TEST_F(CoreWindowTest, BufferedPaintDrawsTheGraphsAndRedrawsOnlyWhenStale) {
  const int i = w->AppendEquation(kKindExplicit, {"", "x"});
  w->Equation(i).penColour = 3;
  w->InvalidatePlot();
  w->UpdateWindow();
  EXPECT_EQ(w->drawEquationsCalls, 1);
  EXPECT_EQ(w->drawn, 1);
  const plat::Colour pen = w->DrawingColourOf(3);
  int onDiagonal = 0;
  for (int k = -200; k <= 200; ++k)
    if (w->Surface().GetPixel(250 + k, 250 - k) == pen) ++onDiagonal;
  EXPECT_GE(onDiagonal, 395);
  EXPECT_NE(w->Surface().GetPixel(250 + 100, 250 + 100), pen);
  // A repaint without a change copies the picture.
  w->Invalidate(false);
  w->UpdateWindow();
  EXPECT_EQ(w->drawEquationsCalls, 1);
  // A stale plot or an axis setting redraws it.
  w->InvalidatePlot();
  w->UpdateWindow();
  EXPECT_EQ(w->drawEquationsCalls, 2);
  w->SettingsChanged = 1;
  w->Invalidate(false);
  w->UpdateWindow();
  EXPECT_EQ(w->drawEquationsCalls, 3);
  // A parameter the formulas do not use leaves the plot alone.
  w->RedrawEquation(2);
  EXPECT_EQ(w->drawn, 1);
  w->Equation(i).formulaText[1] = "bx";
  w->CompileEquation(i);
  w->RedrawEquation(2);
  EXPECT_EQ(w->drawn, 0);
}

TEST_F(CoreWindowTest, CurvesGoToTheRecordingExportInsteadOfTheScreen) {
  w->AppendEquation(kKindExplicit, {"", "tan(x)"});
  plat::Bitmap bmp(501, 501);
  plat::BitmapDC dc(bmp);
  kvtest::RecordingSink& eps = kvtest::StartRecording(*w, TExportFormat::Eps);
  w->DrawEquations(dc);
  EXPECT_EQ(bmp, plat::Bitmap(501, 501));
  // Cut at the view's edges and at the poles.
  ASSERT_GE(eps.polylines.size(), 5u);
  for (const auto& run : eps.polylines) {
    for (std::size_t k = 0; k < run.size(); ++k) {
      EXPECT_TRUE(w->IsInView(run[k]));
      if (k > 0) {
        for (long double pole : {-3 * HalfPi, -HalfPi, HalfPi, 3 * HalfPi})
          EXPECT_FALSE((run[k - 1].x - pole) * (run[k].x - pole) < 0);
      }
    }
  }
  kvtest::RecordingSink& svg = kvtest::StartRecording(*w, TExportFormat::Svg);
  w->DrawEquations(dc);
  std::size_t points = 0;
  for (const auto& run : svg.polylines) points += run.size();
  EXPECT_GT(points, 400u);
  kvtest::StopRecording(*w);
  EXPECT_EQ(bmp, plat::Bitmap(501, 501));
}

TEST_F(CoreWindowTest, CurveRecorderSplitsLongRunsLeavesOutRepeatedPixelsAndIgnoresWithoutExport) {
  w->BeginCurveRecording(10);
  w->RecordCurvePoint({0, 0});
  EXPECT_TRUE(w->CurveRecording().runs.empty());
  kvtest::RecordingSink& eps = kvtest::StartRecording(*w, TExportFormat::Eps);
  w->BeginCurveRecording(10);
  // Back and forth between two neighbouring pixels.
  for (int k = 0; k < 9000; ++k) w->RecordCurvePoint({(k % 2) * w->UnitsPerPixelX, 0});
  w->MarkCurveBreak();
  w->MarkCurveBreak();
  w->RecordCurvePoint({1, 1});
  w->EndCurveRecording(2, 1, 0);
  // Runs of 2000 points, each beginning where the one before ended, and the 1004 left;
  // the single point after the break has no stroke and is left out.
  ASSERT_EQ(eps.polylines.size(), 5u);
  for (std::size_t k = 0; k < 4; ++k) {
    EXPECT_EQ(eps.polylines[k].size(), 2000u) << k;
    EXPECT_EQ(eps.polylines[k + 1].front(), eps.polylines[k].back()) << k;
  }
  EXPECT_EQ(eps.polylines[4].size(), 1004u);
  // A quarter circle in hundredths of a pixel, then a run inside one pixel:
  // each run keeps its ends and passes the same pixels, each once.
  eps.polylines.clear();
  std::vector<TPoint2D> arc;
  w->BeginCurveRecording(10);
  for (int k = 0; k <= 24000; ++k) {
    arc.push_back({3 * std::cos(HalfPi * k / 24000), 3 * std::sin(HalfPi * k / 24000)});
    w->RecordCurvePoint(arc.back());
  }
  w->MarkCurveBreak();
  for (int k = 0; k <= 50; ++k) w->RecordCurvePoint({1 + k * 1e-4L, 1});
  w->EndCurveRecording(2, 1, 0);
  auto pixels = [this](const std::vector<TPoint2D>& run) {
    std::vector<plat::Point> out;
    plat::Point px;
    for (const TPoint2D& p : run)
      if (w->WorldToPixel(p, px), out.empty() || !(px == out.back())) out.push_back(px);
    return out;
  };
  ASSERT_EQ(eps.polylines.size(), 2u);
  EXPECT_EQ(eps.polylines[0].front(), arc.front());
  EXPECT_EQ(eps.polylines[0].back(), arc.back());
  EXPECT_EQ(pixels(eps.polylines[0]).size(), eps.polylines[0].size());
  EXPECT_TRUE(pixels(eps.polylines[0]) == pixels(arc));
  EXPECT_EQ(eps.polylines[1], (std::vector<TPoint2D>{{1, 1}, {1 + 50 * 1e-4L, 1}}));
  kvtest::StopRecording(*w);
}

TEST_F(CoreWindowTest, SegmentsWithHeadsAndPoints) {
  plat::Bitmap bmp(501, 501);
  plat::BitmapDC dc(bmp);
  const plat::Colour c = w->DrawingColourOf(4);
  w->DrawSegment(dc, {-1, 0}, {1, 0}, 0.3L, 4 | (1u << 16), 0, true, 3);
  // Pixels of the colour off the shaft's row, near the tip: the head.
  auto headPixels = [&c](const plat::Bitmap& b) {
    int n = 0;
    for (int y = 238; y <= 262; ++y)
      for (int x = 280; x <= 302; ++x)
        if (y != 250 && b.GetPixel(x, y) == c) ++n;
    return n;
  };
  EXPECT_EQ(bmp.GetPixel(250, 250), c);
  EXPECT_GT(headPixels(bmp), 10);
  plat::Bitmap headOnly(501, 501);
  plat::BitmapDC hdc(headOnly);
  w->DrawSegment(hdc, {-1, 0}, {1, 0}, 0.3L, 4 | (1u << 16), 0, true, 2);
  EXPECT_NE(headOnly.GetPixel(250, 250), c);
  EXPECT_GT(headPixels(headOnly), 10);
  // Clipped at the view; a head outside the view is left out.
  plat::Bitmap far(501, 501);
  plat::BitmapDC fdc(far);
  w->DrawSegment(fdc, {0, 0}, {100, 0}, 0.3L, 4 | (1u << 16), 0, true, 3);
  EXPECT_EQ(far.GetPixel(400, 250), c);
  w->PlotPoint(dc, {2, 2}, 4, 0);
  EXPECT_EQ(bmp.GetPixel(350, 150), c);
}

// ---- 3D view ----

TEST(View3D, DefaultsAndProjection) {
  TView3D v;
  SetupViewBoxScale(v);
  ComputeViewFrame(v);
  EXPECT_EQ(v.BoxScale, (TPoint3D{0.5L, 0.5L, 0.5L}));
  EXPECT_EQ(v.SegmentPieces, 12);
  EXPECT_NEAR(D(v.RotationStep), 3.141592653589793 / 30, 1e-15);
  const TPoint2D centre = ProjectRotated(v, v.BoxCentre);
  EXPECT_NEAR(D(centre.x), 0, 1e-15);
  EXPECT_NEAR(D(centre.y), 0, 1e-15);
  // Up is up; the horizontal screen axis goes right; both symmetric.
  const TPoint2D up = ProjectRotated(v, {1, 1, 1.5L});
  EXPECT_NEAR(D(up.x), 0, 1e-15);
  EXPECT_GT(up.y, 0);
  const TPoint3D h = v.HorizontalAxis;
  const TPoint2D right = ProjectRotated(v, {1 + 0.5L * h.x, 1 + 0.5L * h.y, 1});
  const TPoint2D left = ProjectRotated(v, {1 - 0.5L * h.x, 1 - 0.5L * h.y, 1});
  EXPECT_GT(right.x, 0);
  EXPECT_NEAR(D(right.x), -D(left.x), 1e-3);
  EXPECT_NEAR(D(right.y), 0, 1e-3);
  // Cubic mode maps the box to the unit cube first.
  TPoint3D p = v.BoxMax;
  NormalizeToViewBox(v, p);
  EXPECT_EQ(p, (TPoint3D{0.5L, 0.5L, 0.5L}));
  EXPECT_TRUE(InBox3D(v, {2, 0, 1}));
  EXPECT_FALSE(InBox3D(v, {2.01L, 0, 1}));
  EXPECT_TRUE(IsInBox2D(v, {1, 1, 99}));
  EXPECT_FALSE(IsBeyondBoxRange(v, {1000, 0, 0}));
  EXPECT_TRUE(IsBeyondBoxRange(v, {1e6L, 0, 0}));
  // An observer straight above keeps a defined frame.
  v.Observer = {1, 1, 50};
  ComputeViewFrame(v);
  EXPECT_TRUE(std::isfinite(ProjectRotated(v, {0, 0, 0}).x));
}

TEST(View3D, SegmentsClippedToADisc) {
  struct Case {
    TPoint2D a, b;
    bool keep;
    int result;
    TPoint2D ea, eb;
  } cases[] = {
      {{-5, 0}, {5, 0}, false, 0, {-1, 0}, {1, 0}},
      {{0, 0}, {5, 0}, true, 0, {0, 0}, {1, 0}},
      {{0, 0}, {5, 0}, false, 0, {-1, 0}, {1, 0}},
      {{-5, 2}, {5, 2}, false, 2, {-5, 2}, {5, 2}},
      {{1, 1}, {1, 1}, false, 1, {1, 1}, {1, 1}},
  };
  for (const Case& c : cases) {
    TPoint2D a = c.a, b = c.b;
    EXPECT_EQ(ClipSegmentToDisc({0, 0}, 1, a, b, c.keep) != 0, c.result != 0);
    EXPECT_NEAR(D(a.x), D(c.ea.x), 1e-15);
    EXPECT_NEAR(D(b.x), D(c.eb.x), 1e-15);
  }
}

class HidingWindow : public kvtest::CoreWindow {
 public:
  using CoreWindow::CoreWindow;
  std::vector<int> asked;
  bool HiddenByExplicitSurface(int i, const TPoint3D&) override {
    asked.push_back(i);
    return true;
  }
  bool HiddenByImplicitSurface(int i, const TPoint3D&) override {
    asked.push_back(-i);
    return false;
  }
};

TEST(PlotWindow3D, HiddenPointAsksTheVisibleSurfaces) {
  auto* w = new HidingWindow(nullptr, "3D");
  w->Create();
  w->dimension = 3;
  w->AppendEquation(kKindImplicitSurface, {"", "", "", "", "xx+yy+zz=4"});
  w->AppendEquation(kKindSurface, {"", "", "x"});
  EXPECT_FALSE(w->IsPointHidden({1, 1, 1}));  // not a 3D window yet
  w->is3D = 1;
  EXPECT_TRUE(w->IsPointHidden({1, 1, 1}));
  EXPECT_EQ(w->asked, (std::vector<int>{0, 1}));
  w->Equation(1).visible = 0;
  w->asked.clear();
  EXPECT_FALSE(w->IsPointHidden({1, 1, 1}));
  // The sight line of the sphere: X = var27 + T var30 ...
  w->BuildSightLineTree(0);
  ASSERT_NE(w->SightLineTree(0), nullptr);
  for (int k = 0; k < 6; ++k) w->SetVariable(27 + k, k < 3 ? 0 : (k == 3 ? 1 : 0));
  w->SetVariable('T', 2);
  long double v;
  ASSERT_TRUE(w->EvaluateReal(const_cast<TExprNode*>(w->SightLineTree(0)), v));
  EXPECT_NEAR(D(v), 0, 1e-15);  // (2, 0, 0) lies on the sphere of radius 2
  w->Destroy();
  plat::App::DeleteDestroyedWindows();
}

TEST_F(CoreWindowTest, PlaneThroughThreeSamples) {
  const int i = w->AppendEquation(kKindSurface, {"", "", "x+2y"});
  TEquation& e = w->Equation(i);
  e.divisions[1] = 2;
  e.samples = {{0, 0, 0}, {1, 0, 1}, {9, 9, 9}, {0, 1, 2}};  // row length 3
  int code = 1;
  TreePtr z(w->BuildPlaneImplicitTree(i, code));
  EXPECT_EQ(code, 3);
  w->SetVariable('X', 2);
  w->SetVariable('Y', 3);
  long double v;
  ASSERT_TRUE(w->EvaluateReal(z.get(), v));
  EXPECT_NEAR(D(v), 8, 1e-12);
  code = 0;
  TreePtr f(w->BuildPlaneImplicitTree(i, code));
  EXPECT_EQ(code, 0);
  w->SetVariable('Z', 8);
  ASSERT_TRUE(w->EvaluateReal(f.get(), v));
  EXPECT_NEAR(D(v), 0, 1e-12);
  e.samples = {{0, 0, 0}, {1, 1, 1}, {9, 9, 9}, {2, 2, 2}};
  code = 1;
  TreePtr none(w->BuildPlaneImplicitTree(i, code));
  EXPECT_EQ(code, -6);
}

}  // namespace
}  // namespace kv
