// World to pixel mapping, clamping, clipping and the previous-view stack.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "graphics/view_mapping.h"

namespace kv {
namespace {

TViewMapping View(int w, int h, int ox = 0, int oy = 0) {
  TViewMapping v;
  v.SetDrawingArea(w, h, ox, oy);
  v.ComputeView();
  return v;
}

TEST(ViewMapping, DefaultViewOn501SquareMapsWorldCornersOntoPixelCorners) {
  TViewMapping v = View(501, 501);
  EXPECT_DOUBLE_EQ(static_cast<double>(v.UnitsPerPixelX), 0.02);
  EXPECT_DOUBLE_EQ(static_cast<double>(v.UnitsPerPixelY), 0.02);
  struct Case {
    TPoint2D p;
    plat::Point expected;
  } cases[] = {
      {{-5, 5}, {0, 0}}, {{5, 5}, {500, 0}}, {{-5, -5}, {0, 500}}, {{5, -5}, {500, 500}}, {{0, 0}, {250, 250}},
  };
  for (const auto& c : cases) {
    plat::Point d;
    EXPECT_TRUE(v.WorldToPixel(c.p, d));
    EXPECT_EQ(d, c.expected) << c.p.x << "," << c.p.y;
    EXPECT_EQ(v.WorldToPixelX(c.p.x), c.expected.x);
    EXPECT_EQ(v.WorldToPixelY(c.p.y), c.expected.y);
    TPoint2D back = v.PixelToWorldPoint(d);
    EXPECT_NEAR(static_cast<double>(back.x), static_cast<double>(c.p.x), 1e-12);
    EXPECT_NEAR(static_cast<double>(back.y), static_cast<double>(c.p.y), 1e-12);
  }
}

TEST(ViewMapping, FixedAspectFollowsTheAreaAndFreeRectangleSetsTheAspect) {
  TViewMapping fixed = View(400, 200);
  EXPECT_DOUBLE_EQ(static_cast<double>(fixed.HalfY), 2.5);
  EXPECT_DOUBLE_EQ(static_cast<double>(fixed.World.ymax), 2.5);

  TViewMapping free;
  free.SetDrawingArea(400, 200, 0, 0);
  free.ViewMode = 1;
  free.World = {-10, 10, -1, 1};
  free.ComputeView();
  EXPECT_NEAR(static_cast<double>(free.Aspect), 0.2, 1e-15);
  EXPECT_DOUBLE_EQ(static_cast<double>(free.HalfX), 10);
  EXPECT_DOUBLE_EQ(static_cast<double>(free.HalfY), 1);
  EXPECT_DOUBLE_EQ(static_cast<double>(free.Centre.x), 0);
}

TEST(ViewMapping, ClampsOnePixelBeyondTheAreaAndAddsTheOriginAsSpecified) {
  const int ox = 7;
  const int oy = 3;
  TViewMapping v = View(501, 501, ox, oy);
  const long double px = v.UnitsPerPixelX;
  struct Case {
    long double x;
    int single;   // WorldToPixelX
    int checked;  // WorldToPixelXChecked output
    bool inside;
  } cases[] = {
      {5, 500 + ox, 500 + ox, true},             // xmax: column W - 1
      {5 + 0.9L * px, 501 + ox, 501 + ox, true},  // up to one pixel beyond: still inside
      {5 + 3 * px, 502, 502 + ox, false},        // further: W + 1 without the origin
      {-5 - px, -1, -1 + ox, false},             // left of the area
      {-5, ox, ox, true},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(v.WorldToPixelX(c.x), c.single) << static_cast<double>(c.x);
    int out = 0;
    EXPECT_EQ(v.WorldToPixelXChecked(c.x, out), c.inside);
    EXPECT_EQ(out, c.checked);
    plat::Point d;
    EXPECT_EQ(v.WorldToPixel({c.x, 0}, d), c.inside);
    EXPECT_EQ(d.x, c.checked);  // the pair conversion always adds the origin
  }
  EXPECT_EQ(v.WorldToPixelY(-100), 502);
  int row = 0;
  EXPECT_FALSE(v.WorldToPixelYChecked(100, row));
  EXPECT_EQ(row, -1 + oy);
}

TEST(ViewMapping, EmptyOrOnePixelAreaKeepsAFiniteScale) {
  for (auto [w, h] : {std::pair{0, 0}, std::pair{1, 1}, std::pair{0, 300}}) {
    TViewMapping v = View(w, h);
    EXPECT_TRUE(std::isfinite(static_cast<double>(v.UnitsPerPixelX)));
    EXPECT_TRUE(std::isfinite(static_cast<double>(v.PixelsPerUnitY)));
    EXPECT_TRUE(std::isfinite(static_cast<double>(v.HalfY)));
    EXPECT_EQ(v.WorldToPixelX(0) >= -1, true);
  }
  // A free rectangle without width keeps its aspect instead of dividing by 0.
  TViewMapping v;
  v.ViewMode = 1;
  v.World = {1, 1, -1, 1};
  v.SetDrawingArea(100, 100, 0, 0);
  v.ComputeView();
  EXPECT_DOUBLE_EQ(static_cast<double>(v.Aspect), 1.0);
  EXPECT_EQ(v.WorldToPixelX(1), 0);
}

TEST(ViewMapping, RectanglesConvertBothWaysWithinTheArea) {
  TViewMapping v = View(501, 501);
  plat::Rect r;
  v.WorldRectToPixelRect({-1, 1, -2, 2}, r);
  EXPECT_EQ(r, (plat::Rect{200, 150, 300, 350}));
  v.WorldRectToPixelRect({-50, 50, -50, 50}, r);
  EXPECT_EQ(r, (plat::Rect{0, 0, 501, 501}));
  TSegment2D w;
  v.PixelRectToWorldRect({200, 150, 300, 350}, w);
  EXPECT_NEAR(static_cast<double>(w.xmin), -1, 1e-12);
  EXPECT_NEAR(static_cast<double>(w.ymax), 2, 1e-12);
}

struct ClipCase {
  const char* name;
  TPoint2D p1, p2;
  bool wholeLine;
  bool result;
  TPoint2D q1, q2;  // expected ends when result
};

TEST(ViewMapping, ClipSegmentToRect) {
  const ClipCase cases[] = {
      {"inside", {-1, -1}, {1, 1}, false, true, {-1, -1}, {1, 1}},
      {"outside", {6, 6}, {8, 9}, false, false, {6, 6}, {8, 9}},
      {"crossing", {-10, 0}, {10, 0}, false, true, {-5, 0}, {5, 0}},
      {"leaving", {0, 0}, {10, 0}, false, true, {0, 0}, {5, 0}},
      {"entering reversed", {0, 10}, {0, 0}, false, true, {0, 5}, {0, 0}},
      {"vertical by y edges only", {1, -9}, {1 + 1e-18L, 9}, false, true, {1, -5}, {1, 5}},
      {"vertical outside", {6, -9}, {6, 9}, false, false, {6, -9}, {6, 9}},
      {"corner touch", {4, 6}, {6, 4}, false, true, {5, 5}, {5, 5}},
      {"whole line chord", {-1, 0}, {1, 0}, true, true, {-5, 0}, {5, 0}},
      {"degenerate point inside", {1, 1}, {1, 1}, false, true, {1, 1}, {1, 1}},
      {"degenerate point outside", {9, 9}, {9, 9}, false, false, {9, 9}, {9, 9}},
  };
  for (const auto& c : cases) {
    TPoint2D a = c.p1;
    TPoint2D b = c.p2;
    EXPECT_EQ(TViewMapping::ClipSegmentToRect(-5, 5, -5, 5, a, b, c.wholeLine), c.result) << c.name;
    EXPECT_NEAR(static_cast<double>(a.x), static_cast<double>(c.q1.x), 1e-12) << c.name;
    EXPECT_NEAR(static_cast<double>(a.y), static_cast<double>(c.q1.y), 1e-12) << c.name;
    EXPECT_NEAR(static_cast<double>(b.x), static_cast<double>(c.q2.x), 1e-12) << c.name;
    EXPECT_NEAR(static_cast<double>(b.y), static_cast<double>(c.q2.y), 1e-12) << c.name;
  }
}

// A line from far away through a corner of the rectangle meets both of its
// edges there; the rounding of either crossing must not lose the piece.
TEST(ViewMapping, ALineThroughACornerFromFarAwayIsKept) {
  const long double lo = -3.14158L;
  const long double hi = 3.14159L;
  int kept = 0;
  for (long double far : {132322.0L, 98765.4321L, 1e6L, 3.3e4L}) {
    for (long double near : {0.0087L, 0.5L, -1.25L}) {
      TPoint2D a{far, far};
      TPoint2D b{near, near};
      if (!TViewMapping::ClipSegmentToRect(lo, hi, lo, hi, a, b, false)) continue;
      ++kept;
      EXPECT_NEAR(static_cast<double>(a.x), static_cast<double>(hi), 1e-12);
      EXPECT_NEAR(static_cast<double>(a.y), static_cast<double>(hi), 1e-12);
      EXPECT_EQ(b.x, near);
    }
  }
  EXPECT_EQ(kept, 12);
}

TEST(ViewMapping, ClipToViewShrinksByOnePixelUnlessBothEndsAreVisible) {
  TViewMapping v = View(501, 501);
  TPoint2D a{-5, 0};
  TPoint2D b{5, 0};
  EXPECT_TRUE(v.ClipSegmentToView(a, b));
  EXPECT_EQ(a.x, -5);  // both ends visible: untouched
  a = {-9, 0};
  EXPECT_TRUE(v.ClipSegmentToView(a, b));
  EXPECT_NEAR(static_cast<double>(a.x), -4.98, 1e-12);
  EXPECT_NEAR(static_cast<double>(b.x), 4.98, 1e-12);
  // The alternate rectangle decides visibility, the view the clipping.
  v.UseAlternate = 1;
  v.Alternate = {0, 1, 0, 1};
  EXPECT_FALSE(v.IsInView({-2, -2}));
  EXPECT_TRUE(v.IsInView({0.5L, 0.5L}));
}

// Curves map points through double (TFastPixels): it answers as the exact
// conversions near pixel halves, at box edges, far off and far from the
// origin, and a step it leaves out is one the clipping leaves nothing of.
TEST(ViewMapping, TheDoubleRoadAnswersAsTheExactConversions) {
  const struct {
    int w, h, ox, oy;
    TSegment2D world;
  } views[] = {{501, 501, 0, 0, {-5, 5, -5, 5}},
               {1024, 768, 7, 31, {-3.14159L, 2.5L, -1e-3L, 7.25L}},
               {640, 480, 0, 0, {1e6L - 1e-6L, 1e6L + 3e-6L, -2e9L, -2e9L + 1e-3L}},
               {300, 200, 5, 5, {-5, 5, -5, 5}},  // with a box of its own
               {2, 2, 0, 0, {0, 1, 0, 1}}};
  std::mt19937_64 rng(50);
  std::uniform_real_distribution<double> unit(-1.5, 2.5);
  for (const auto& c : views) {
    TViewMapping v;
    v.SetDrawingArea(c.w, c.h, c.ox, c.oy);
    v.ViewMode = 1;
    v.World = c.world;
    v.ComputeView();
    v.UseAlternate = c.w == 300;
    v.Alternate = {-2, 7, -9, 3};
    const TViewMapping::TFastPixels fast(v);
    const long double ux = v.UnitsPerPixelX, uy = v.UnitsPerPixelY, x0 = v.World.xmin, y1 = v.World.ymax;
    std::vector<TPoint2D> points{{1e30L, -1e300L}, {HUGE_VALL, 0}, {0, -HUGE_VALL}};
    for (int k = 0; k < 4000; ++k) points.push_back({x0 + (v.World.xmax - x0) * unit(rng), y1 - (y1 - v.World.ymin) * unit(rng)});
    // A hair from the half of a pixel, from its edge and from the boxes' edges.
    for (long double hair : {0.0L, 1e-13L, -1e-13L, 1e-8L, -1e-8L, 3e-6L, -3e-6L}) {
      for (int k = 0; k < 40; ++k) {
        points.push_back({x0 + (std::floor(c.w * (unit(rng) + 1.5) / 4) + 0.5L + hair) * ux,
                          y1 - (std::floor(c.h * (unit(rng) + 1.5) / 4) + 0.5L + hair) * uy});
        points.push_back({x0 + (k + hair) * ux, y1 - (k - hair) * uy});
      }
      for (const TSegment2D& b : {v.World, v.Alternate})
        for (long double d : {hair, 1 + hair, -1 - hair})
          points.insert(points.end(), {{b.xmin + d * ux, b.ymax + d * uy}, {b.xmax - d * ux, b.ymin - d * uy}});
    }
    std::vector<TViewMapping::TFastPixels::TOffset> offsets(points.size());
    for (std::size_t k = 0; k < points.size(); ++k) {
      plat::Point exact, got;
      bool inView = false;
      v.WorldToPixel(points[k], exact);
      fast.Map(points[k], got, inView, offsets[k]);
      ASSERT_TRUE(got == exact && inView == v.IsInView(points[k])) << c.w << " " << k;
    }
    int missed = 0;
    for (std::size_t k = 1; k < points.size(); ++k) {
      for (std::size_t j : {k - 1, k / 2, std::size_t(rng() % points.size())}) {
        TPoint2D a = points[j], b = points[k];
        if ((v.IsInView(a) && v.IsInView(b)) || !fast.MissesClip(offsets[j], offsets[k])) continue;
        ++missed;
        ASSERT_FALSE(v.ClipSegmentToView(a, b)) << c.w << " " << j << " " << k;
      }
    }
    EXPECT_GT(missed, 1000) << c.w;
  }
}

TEST(ViewMapping, HistoryRestoresEitherCentreOrRectangleExactly) {
  TViewMapping v = View(400, 300);
  EXPECT_FALSE(v.PopView());
  v.ViewMode = 1;
  v.World = {-1.1L, 3.3L, -0.7L, 0.9L};
  v.ComputeView();
  v.PushView();
  v.ViewMode = 0;
  v.Centre = {2, 2};
  v.HalfX = 1;
  v.ComputeView();
  v.PushView();
  v.Centre = {9, 9};
  ASSERT_TRUE(v.PopView());
  EXPECT_EQ(v.ViewMode, 0);
  EXPECT_EQ(v.Centre, (TPoint2D{2, 2}));
  ASSERT_TRUE(v.PopView());
  EXPECT_EQ(v.ViewMode, 1);
  EXPECT_EQ(v.World, (TSegment2D{-1.1L, 3.3L, -0.7L, 0.9L}));
  EXPECT_FALSE(v.HasPreviousView());
}

}  // namespace
}  // namespace kv
