// Hidden by a surface: the five tests of the 3D window asked directly, and
// the figures drawn over a painted sphere with "Kanten verdecken" on, whose
// pixels show the sphere where the figure lies behind it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "plot3d/plot3_test_util.h"
#include "plot3d/space_geometry.h"
#include "core/constants.h"
#include "entry/model/point_items.h"

namespace kv {
namespace {

using test3d::ColourNear;
using test3d::Plot3Test;

class HiddenLines : public Plot3Test {
 protected:
  TPlot3Win* w = nullptr;
  void SetUp() override {
    Plot3Test::SetUp();
    w = MakeWindow();
  }
  void Look(const TPoint3D& eye) { w->SetObserver(eye); }
  int Surface(int kind, std::initializer_list<std::string_view> texts, TPoint2D lo, TPoint2D hi) {
    const int i = w->AppendEquation(kind, texts);
    TEquation& e = w->Equation(i);
    e.lowerBound = lo;
    e.upperBound = hi;
    w->UpdateBox(i);
    return i;
  }
};

struct HideCase {
  const char* what;
  TPoint3D eye, p;
  bool hidden;
};

TEST_F(HiddenLines, ExplicitSurfaceHidesWhatLiesBelowItSeenFromAbove) {
  const int i = Surface(kKindSurface, {"", "", "1-xx-yy"}, {-1, -1}, {1, 1});
  const HideCase cases[] = {
      {"below, seen from above", {0.2L, 0.1L, 10}, {0, 0, 0}, true},
      {"below, seen from below", {0.2L, 0.1L, -10}, {0, 0, 0}, false},
      {"above it", {0.2L, 0.1L, 10}, {0, 0, 2}, false},
      {"straight above (vertical sight line)", {0, 0, 10}, {0, 0, 0}, true},
      {"sight line above the z-range", {3, 0, 1.6L}, {0.5L, 0, 1.5L}, false},
      {"sight line beside the domain", {5, 5, 0.5L}, {3, 3, 0}, false},
      {"through the dome and out again", {10, 0, 0.2L}, {-0.95L, 0, 0.2L}, true},
  };
  for (const HideCase& c : cases) {
    Look(c.eye);
    EXPECT_EQ(w->HiddenByExplicitSurface(i, c.p), c.hidden) << c.what;
  }
  // With one piece only the far end of the sight line is compared: the
  // horizontal line leaves the dome again and nothing is found.
  w->View3D.SegmentPieces = 1;
  Look({10, 0, 0.2L});
  EXPECT_FALSE(w->HiddenByExplicitSurface(i, {-0.95L, 0, 0.2L}));
}

TEST_F(HiddenLines, ImplicitCylindricalGridAndPlaneSurfacesHideWhatIsBehindThem) {
  const int sphere = Surface(kKindImplicitSurface, {"", "", "", "", "xx+yy+zz=1"}, {0, 0}, {1, 1});
  w->Equation(sphere).boxMin() = {-1.2L, -1.2L, -1.2L};
  w->Equation(sphere).boxMax() = {1.2L, 1.2L, 1.2L};
  const HideCase implicitCases[] = {
      {"behind", {5, 0, 0}, {-2, 0, 0}, true},
      {"in front", {5, 0, 0}, {2, 0, 0}, false},
      {"beside", {5, 0, 0}, {-2, 1.5L, 0}, false},
      {"vertical sight line", {0, 0, 5}, {0, 0, -2}, true},
  };
  for (const HideCase& c : implicitCases) {
    Look(c.eye);
    EXPECT_EQ(w->HiddenByImplicitSurface(sphere, c.p), c.hidden) << c.what;
  }

  // A cone z = 1 - r over the unit disc, and the ramp z = t/10 whose angle
  // runs from π to 3π: a point at angle 0 lies on its sheet of angle 2π.
  const int cone = Surface(kKindCylinderSurface, {"", "", "1-r"}, {0, 0}, {1, 2 * Pi});
  const int ramp = Surface(kKindCylinderSurface, {"", "", "t/10"}, {0, Pi}, {1, 3 * Pi});
  Look({0.1L, 0, 10});
  EXPECT_TRUE(w->HiddenByCylinderSurface(cone, {0, 0, 0}));
  EXPECT_TRUE(w->HiddenByCylinderSurface(ramp, {0.5L, 0, 0}));
  EXPECT_FALSE(w->HiddenByCylinderSurface(cone, {3, 0, 0})) << "outside the disc";
  Look({0.1L, 0, -10});
  EXPECT_FALSE(w->HiddenByCylinderSurface(cone, {0, 0, 0}));

  // The unit sphere as a parametric surface: only "bei Parametern" lets
  // its cells hide anything.
  const int cells = Surface(kKindParametricSurface, {"cos(t)sin(u)", "sin(t)sin(u)", "cos(u)"}, {0, 0}, {2 * Pi, Pi});
  const HideCase cellCases[] = {
      {"behind", {5, 0.3L, 0.2L}, {-2, 0, 0.1L}, true},
      {"in front", {5, 0.3L, 0.2L}, {2, 0, 0.1L}, false},
      {"beside", {5, 0.3L, 0.2L}, {-2, 0, 1.9L}, false},
      {"inside", {5, 0.3L, 0.2L}, {0.1L, 0.1L, 0}, true},
  };
  for (std::uint8_t on : {0, 1}) {
    w->View3D.AtParameters = on;
    for (const HideCase& c : cellCases) {
      Look(c.eye);
      EXPECT_EQ(w->HiddenByParametricSurface(cells, c.p), c.hidden && on) << c.what << " " << int{on};
    }
  }
  // The cells the painter leaves out, those with a corner outside the
  // surface's box, hide nothing: the point shows where no cell is painted.
  // Drawn unclipped, every cell is painted and hides.
  TEquation& sphere303 = w->Equation(cells);
  sphere303.boxMin().y = 0.5L;
  Look({5, 0.3L, 0.2L});
  for (std::uint8_t unclipped : {0, 1}) {
    sphere303.unclipped = unclipped;
    EXPECT_EQ(w->HiddenByParametricSurface(cells, {-2, 0, 0.1L}), unclipped == 1) << "cut box";
  }
  w->View3D.AtParameters = 0;

  // The plane z = 0 over the square -1..1 as its 3 × 3 grid.
  const int plane = w->AppendEquation(kKindPlane, {"0", "0", "1", "0,0,0"});
  TEquation& e = w->Equation(plane);
  e.divisions = {2, 2, 36};
  e.samples.clear();
  for (int r = 0; r <= 2; ++r)
    for (int c = 0; c <= 2; ++c) e.samples.push_back({-1.0L + r, -1.0L + c, 0});
  const HideCase planeCases[] = {
      {"behind", {0.1L, 0.2L, 5}, {0, 0, -1}, true},
      {"in front", {0.1L, 0.2L, 5}, {0, 0, 1}, false},
      {"behind, beside the square", {0.1L, 0.2L, 5}, {3, 0, -1}, false},
      {"seen from below", {0.1L, 0.2L, -5}, {0, 0, 1}, true},
  };
  for (const HideCase& c : planeCases) {
    Look(c.eye);
    EXPECT_EQ(w->HiddenByPlane(plane, c.p), c.hidden) << c.what;
  }
}

// ---- figures over a painted sphere ----

// Where the sight line from P to the eye passes the unit sphere: its
// smallest distance from the centre.
long double ClosestApproach(const TPoint3D& p, const TPoint3D& eye) {
  const TPoint3D d{eye.x - p.x, eye.y - p.y, eye.z - p.z};
  const long double dd = Dot3D(d, d);
  const long double t = std::clamp<long double>(-Dot3D(p, d) / dd, 0, 1);
  const TPoint3D c{p.x + t * d.x, p.y + t * d.y, p.z + t * d.z};
  return std::sqrt(Dot3D(c, c));
}

struct Figure {
  const char* what;
  plat::Colour colour;
  std::vector<TPoint3D> samples;
  bool alwaysTested = false;  // points are tested whether edges are hidden or not
};

std::vector<TPoint3D> Along(const TPoint3D& a, const TPoint3D& b, int n) {
  std::vector<TPoint3D> out;
  for (int k = 0; k <= n; ++k) {
    const long double s = static_cast<long double>(k) / n;
    out.push_back({a.x + s * (b.x - a.x), a.y + s * (b.y - a.y), a.z + s * (b.z - a.z)});
  }
  return out;
}

// Paints the window without and with "Kanten verdecken": a figure's
// points whose sight line passes well inside the sphere show the figure
// only without it (points always leave it out), those whose sight line
// passes well clear of the sphere show it both times.
void ExpectLeftOutBehindTheSphere(TPlot3Win* w, const std::vector<Figure>& figures) {
  const TPoint3D eye = w->View3D.Observer;
  struct Sample {
    plat::Point px;
    bool behind, clear;
  };
  for (std::uint8_t hide : {0, 1}) {
    w->View3D.HideEdges = hide;
    w->RepaintNow(false);
    const plat::Bitmap& b = w->Surface();
    for (const Figure& f : figures) {
      std::vector<Sample> samples;
      for (const TPoint3D& p : f.samples) {
        const long double pass = ClosestApproach(p, eye);
        const long double r = std::sqrt(Dot3D(p, p));
        Sample s{{}, (pass < 0.75L && r > 1.05L) || r < 0.85L, pass > 1.2L};
        ASSERT_TRUE(w->WorldToPixel(w->ProjectRotated(p), s.px));
        samples.push_back(s);
      }
      // A hidden sample whose pixel a visible part of the figure shares
      // (the near and far corners of the box on the diagonal) is skipped.
      auto nearVisible = [&](plat::Point q) {
        for (const Sample& s : samples)
          if (!s.behind && std::abs(s.px.x - q.x) <= 3 && std::abs(s.px.y - q.y) <= 3) return true;
        return false;
      };
      int hidden = 0, shown = 0;
      for (const Sample& s : samples) {
        const plat::Point px = s.px;
        if (px.x < 3 || px.y < 3 || px.x > w->ClientWidth - 4 || px.y > w->ClientHeight - 4) continue;
        const bool seen = ColourNear(b, px.x, px.y, f.colour, 1);
        if (s.clear) {
          ++shown;
          EXPECT_TRUE(seen) << f.what << " in front, at " << px.x << "," << px.y;
        } else if (s.behind && !nearVisible(px)) {
          ++hidden;
          EXPECT_EQ(seen, !hide && !f.alwaysTested)
              << f.what << " behind, at " << px.x << "," << px.y << " hide " << int{hide};
        }
      }
      EXPECT_GT(hidden, 0) << f.what;
      EXPECT_GT(shown, 0) << f.what;
    }
  }
}

TEST_F(HiddenLines, FiguresBehindASphereAreLeftOutAndThoseInFrontAreDrawn) {
  Enter(w, kCm3NewParametric, "EQUA303");  // the unit sphere
  TEquation& sphere = w->Equation(0);
  sphere.filled = 1;
  sphere.sideColour1 = 12;
  sphere.sideColour2 = 30;
  sphere.penColour = 30;  // its cell edges apart from the figures' colours
  const int curve = w->AppendEquation(kKindSpaceCurve, {"t", "0.3", "0.2"});
  w->Equation(curve).lowerBound = {-2.5L, 0};
  w->Equation(curve).upperBound = {2.5L, 1};
  w->Equation(curve).curvePoints = {400, 400};
  const int segment = w->AppendEquation(kKindSegment3D, {"-0.2", "-2.5", "-0.3", "-0.2", "", "2.5", "-0.3"});
  const int back = w->AppendEquation(kKindPoint3D, {"-1.6", "-1.4", "-0.9"});
  const int front = w->AppendEquation(kKindPoint3D, {"1.4", "1.6", "1.1"});
  const int colours[] = {3, 4, 7, 7};
  const int items[] = {curve, segment, back, front};
  for (int k = 0; k < 4; ++k) {
    w->Equation(items[k]).penColour = static_cast<std::uint16_t>(colours[k]);
    w->Equation(items[k]).penWidth = 1;
    w->UpdateBox(items[k]);
  }
  w->UpdateBox(0);
  w->Command(kCmToggleAxes);
  w->Command(kCm3AtParameters);
  w->Command(kCm3FitWindow);
  const plat::Colour axis = w->DrawingColourOf(w->ColourSlots[kAxisColourSlot]);
  std::vector<Figure> figures = {
      {"curve", w->DrawingColourOf(3), Along({-2.5L, 0.3L, 0.2L}, {2.5L, 0.3L, 0.2L}, 50)},
      {"segment", w->DrawingColourOf(4), Along({-0.2L, -2.5L, -0.3L}, {-0.2L, 2.5L, -0.3L}, 50)},
      {"points", w->DrawingColourOf(7), {{-1.6L, -1.4L, -0.9L}, {1.4L, 1.6L, 1.1L}}, true},
      {"axes", axis, {}},
  };
  const TPoint3D& as = w->View3D.AxisStart;
  const TPoint3D& ae = w->View3D.AxisEnd;
  const TPoint3D axisEnds[3][2] = {{{as.x, 0, 0}, {ae.x, 0, 0}}, {{0, as.y, 0}, {0, ae.y, 0}}, {{0, 0, as.z}, {0, 0, ae.z}}};
  for (const auto& ends : axisEnds) {
    const auto s = Along(ends[0], ends[1], 60);
    figures[3].samples.insert(figures[3].samples.end(), s.begin(), s.end());
  }
  // With no explicit, cylindrical or implicit surface in the window the
  // segment is one piece, drawn whole over the sphere; a hidden explicit
  // surface cuts it into pieces that the sphere hides.
  w->View3D.HideEdges = 1;
  w->RepaintNow(false);
  plat::Point inside;
  ASSERT_TRUE(w->WorldToPixel(w->ProjectRotated(TPoint3D{-0.2L, 0, -0.3L}), inside));
  EXPECT_TRUE(ColourNear(w->Surface(), inside.x, inside.y, figures[1].colour, 1));
  const int flat = w->AppendEquation(kKindSurface, {"", "", "0"});
  w->Equation(flat).visible = 0;
  ExpectLeftOutBehindTheSphere(w, figures);
  const std::string dir = test3d::BuildTreeDir() + "/screenshots";
  std::filesystem::create_directories(dir);
  EXPECT_TRUE(w->Surface().WritePngFile(dir + "/plot3d_hidden_lines.png"));
}

TEST_F(HiddenLines, BoxEdgesBehindASphereAreLeftOut) {
  Enter(w, kCm3NewParametric, "EQUA303");
  w->Equation(0).filled = 1;
  w->Equation(0).penColour = 12;  // its cell edges apart from the box's colour
  w->Command(kCm3BoxVisible);
  w->Command(kCm3AtParameters);
  // Seen along the diagonal, the box's far corner lies straight behind the
  // sphere's centre.
  w->SetObserver({20, 20, 20});
  w->FitWindowToBox();
  const TPoint3D lo = w->View3D.BoxMin;
  const TPoint3D hi = w->View3D.BoxMax;
  Figure box{"box edges", w->DrawingColourOf(w->CheckColourIndex(w->ColourSlots[kBoxColourSlot])), {}};
  const long double c[2][3] = {{lo.x, lo.y, lo.z}, {hi.x, hi.y, hi.z}};
  for (int axis = 0; axis < 3; ++axis)
    for (int k = 0; k < 4; ++k) {
      long double from[3], to[3];
      const int a1 = (axis + 1) % 3;
      const int a2 = (axis + 2) % 3;
      from[axis] = c[0][axis];
      to[axis] = c[1][axis];
      from[a1] = to[a1] = c[k & 1][a1];
      from[a2] = to[a2] = c[k >> 1][a2];
      const auto s = Along({from[0], from[1], from[2]}, {to[0], to[1], to[2]}, 40);
      box.samples.insert(box.samples.end(), s.begin(), s.end());
    }
  ExpectLeftOutBehindTheSphere(w, {box});
}

}  // namespace
}  // namespace kv

namespace kv {
namespace {

// The z-axis inside the hump of sin(xx+yy)/(xx+yy) is hidden from every
// side the user looks from, the isometric view too, whose sight lines run
// over the diagonal of the domain and leave it through a corner.
TEST_F(HiddenLines, TheAxisInsideTheHumpIsHiddenFromEveryView) {
  Enter(w, kCm3NewExplicit, "EQUA301");
  ASSERT_EQ(w->Equation(0).formulaText[2], "sin(xx+yy)/(xx+yy)");
  const auto hiddenPart = [&] {
    int hidden = 0;
    for (int k = 0; k <= 8; ++k) hidden += w->IsPointHidden({0, 0, 0.1L * k}) ? 1 : 0;
    return hidden;
  };
  ASSERT_TRUE(w->Command(kCm3HideEdges));
  EXPECT_EQ(hiddenPart(), 9) << "starting view";
  ASSERT_TRUE(w->Command(kCm3Isometric));
  EXPECT_EQ(hiddenPart(), 9) << "isometric view";
  ASSERT_TRUE(w->Command(kCm3RotateRight));
  EXPECT_EQ(hiddenPart(), 9) << "turned";
  // Above the hump the axis shows.
  EXPECT_FALSE(w->IsPointHidden({0, 0, 1.5L}));
}

}  // namespace
}  // namespace kv

namespace kv {
namespace {

// The wide θ arc of the cylindrical point (2; π; 0.45) with the guide code
// 001130: under the plane z = 0.5 it is drawn broken (every other step of
// its 62 points), without the plane solid, and in a box that ends at y = 1
// only its two ends inside the box show, with no chord across the outside.
TEST_F(HiddenLines, GuideArcsHideUnderAPlaneAndStayInsideTheBox) {
  const int plane = w->AppendEquation(kKindPlane, {"0", "0", "1", "0,0,0.5"});
  w->Equation(plane).lowerBound = {-2.2L, -2.2L};
  w->Equation(plane).upperBound = {2.2L, 2.2L};
  w->CompileEquation(plane);
  w->UpdateBox(plane);
  const int point = w->AppendEquation(kKindPoint3D, {"2", "pi", "0.45"});
  TEquation& e = w->Equation(point);
  e.arrowMode = 1;  // cylindrical
  e.interpolated = 1;  // "Anker"
  ASSERT_EQ(ParseVariableRoles("001130", e.subKind), 0);
  e.penColour = 7;
  w->CompileEquation(point);
  w->UpdateBox(point);
  w->View3D.HideEdges = 1;
  w->RepaintNow(true);
  const plat::Colour arc = w->DrawingColourOf(7);
  const int steps = GuideArc(Pi).points - 1;
  ASSERT_EQ(steps, 61);
  auto at = [](long double t) { return TPoint3D{2 * std::cos(t), 2 * std::sin(t), 0.45L}; };
  // Whether the middle of step k shows the arc: a drawn step within a
  // pixel, a left out one not at its own pixel (the steps are a few pixels
  // long).  The steps near the point, where its guide lines meet the arc,
  // are not looked at.
  auto shows = [&](int k, int r) {
    plat::Point px;
    EXPECT_TRUE(w->WorldToPixel(w->ProjectRotated(at((k + 0.5L) * Pi / steps)), px));
    return ColourNear(w->Surface(), px.x, px.y, arc, r);
  };
  struct Case {
    const char* what;
    bool planeShown, boxToY1;
  };
  for (const Case& c : {Case{"under the plane", true, false}, Case{"no plane", false, false},
                        Case{"box up to y = 1", false, true}}) {
    w->Equation(plane).visible = c.planeShown;
    if (c.boxToY1) {
      w->View3D.BoxMin = {-2.5L, -1, 0};
      w->View3D.BoxMax = {2.5L, 1, 1};
    }
    w->RepaintNow(false);
    for (int k = 0; k < steps - 6; ++k) {
      const long double y0 = 2 * std::sin(k * Pi / steps);
      const long double y1 = 2 * std::sin((k + 1) * Pi / steps);
      bool want = true;
      if (c.planeShown) want = k % 2 == 0;
      if (c.boxToY1) want = y0 <= 1 && y1 <= 1;
      EXPECT_EQ(shows(k, want ? 1 : 0), want) << c.what << ", step " << k;
    }
    if (c.boxToY1) {
      plat::Point chord;
      ASSERT_TRUE(w->WorldToPixel(w->ProjectRotated(TPoint3D{0, 1, 0.45L}), chord));
      EXPECT_FALSE(ColourNear(w->Surface(), chord.x, chord.y, arc, 1)) << "chord";
    }
  }
}

}  // namespace
}  // namespace kv
