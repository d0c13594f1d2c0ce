// Volumes, surfaces and cross-section solids without a window.
#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>
#include <string>
#include <vector>

#include "core/constants.h"
#include "formula/formula_engine.h"
#include "plot2d/model/solids.h"
#include "core/binary_stream.h"
#include "plotcore/model/compile_equation.h"
#include "plotcore/model/equation_record.h"
#include "plotcore/model/revolution_surface.h"

namespace kv {
namespace {

double D(long double v) { return static_cast<double>(v); }

struct Entry {
  TEquation e;
  Entry(TFormulaEngine& engine, int kind, std::initializer_list<const char*> texts) {
    InitEquation(e, kind, 2, 50);
    std::size_t k = 0;
    for (const char* t : texts) e.formulaText[k++] = t;
    CompileEquation(e, engine, true);
  }
};

TEST(Revolution, VolumesAndSurfacesMatchTheirClosedForms) {
  const long double r = 1.5L, h = 2;
  struct Case {
    int kind;
    std::initializer_list<const char*> texts;
    TRevolutionAxis axis;
    long double lo, hi;
    long double volume, area;
  } cases[] = {
      {kKindExplicit, {"", "sqrt(1-x^2)"}, {0, 1, 0}, -1, 1, 4 * Pi / 3, 4 * Pi},
      {kKindExplicit, {"", "1.5"}, {0, 1, 0}, 0, 2, Pi * r * r * h, 2 * Pi * r * h},
      {kKindExplicit, {"", "1.5"}, {0, 2, 0}, 0, 2, Pi * r * r * h, 2 * Pi * r * h},
      // The same cylinder turned about its axis y = 3 written as 2y = 6.
      {kKindExplicit, {"", "4.5"}, {0, 2, 6}, 0, 2, Pi * r * r * h, 2 * Pi * r * h},
      {kKindParametric, {"cos(t)", "sin(t)"}, {0, 1, 0}, 0, Pi, 4 * Pi / 3, 4 * Pi},
      {kKindPolar, {"", "", "2"}, {0, 1, 0}, 0, Pi, 32 * Pi / 3, 16 * Pi},
      // The quarter circle about the y axis: a half sphere.
      {kKindParametric, {"cos(t)", "sin(t)"}, {1, 0, 0}, 0, Pi / 2, 2 * Pi / 3, 2 * Pi},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.texts.begin()[c.kind == kKindPolar ? 2 : 1]);
    TFormulaEngine engine;
    Entry curve(engine, c.kind, c.texts);
    long double v = 0, a = 0;
    ASSERT_EQ(RevolutionMeasure(engine, curve.e, c.axis, true, c.lo, c.hi, 400, v), 0);
    ASSERT_EQ(RevolutionMeasure(engine, curve.e, c.axis, false, c.lo, c.hi, 400, a), 0);
    EXPECT_NEAR(D(v), D(c.volume), 1e-6);
    EXPECT_NEAR(D(a), D(c.area), 1e-6);
  }
}

TEST(Revolution, SegmentsAreExactAndADegenerateAxisIsRefused) {
  TFormulaEngine engine;
  Entry segment(engine, kKindSegment, {"0", "1", "3", "2"});
  long double v = 0, a = 0;
  // A frustum of radii 1 and 2 and height 3.
  ASSERT_EQ(RevolutionMeasure(engine, segment.e, {0, 1, 0}, true, 0, 0, 2, v), 0);
  ASSERT_EQ(RevolutionMeasure(engine, segment.e, {0, 1, 0}, false, 0, 0, 2, a), 0);
  EXPECT_NEAR(D(v), D(Pi * 3 * (1 + 2 + 4) / 3), 1e-12);
  EXPECT_NEAR(D(a), D(Pi * 3 * std::sqrt(10.0L)), 1e-12);
  // Crossing the axis: two cones of radius 1, heights 1 and 1.
  const TFrustum both = SegmentRevolution({0, -1}, {2, 1}, {0, 1, 0});
  EXPECT_NEAR(D(both.volume), D(2 * Pi / 3), 1e-12);
  EXPECT_NEAR(D(both.area), D(2 * Pi * std::sqrt(2.0L)), 1e-12);
  EXPECT_EQ(RevolutionMeasure(engine, segment.e, {0, 0, 1}, true, 0, 1, 2, v), kFormulaRecursive);
}

TEST(Revolution, TheIntegrationsStopWhenAskedAndRefuseTooManySteps) {
  TFormulaEngine engine;
  Entry curve(engine, kKindExplicit, {"", "sqrt(1-x^2)"});
  int polls = 0;
  auto stopAfterTen = [&] { return ++polls >= 10; };
  long double v = 1;
  // A count below 1 is refused before any work; every count up to the
  // bound of its 32-bit field is taken and can be stopped.
  EXPECT_EQ(RevolutionMeasure(engine, curve.e, {0, 1, 0}, true, -1, 1, 0, v, stopAfterTen), kIntegrationOutOfBounds);
  EXPECT_EQ(polls, 0);
  EXPECT_EQ(RevolutionMeasure(engine, curve.e, {0, 1, 0}, true, -1, 1, 2147483647, v, stopAfterTen),
            kIntegrationStopped);
  EXPECT_EQ(polls, 10);
  polls = 0;
  EXPECT_EQ(CrossSectionVolume(engine, "1", "0", "", kSectionSquare, false, 0, 1, 1000, v, stopAfterTen),
            kIntegrationStopped);
  polls = 0;
  TreePtr f, g;
  ASSERT_EQ(engine.Compile("1", f), 0);
  ASSERT_EQ(engine.Compile("0", g), 0);
  EXPECT_EQ(VolumeBetweenGraphs(engine, f.get(), g.get(), -1, true, 0, 1, 1000, v, stopAfterTen),
            kIntegrationStopped);
  // Without a stop the count is summed in full.
  ASSERT_EQ(RevolutionMeasure(engine, curve.e, {0, 1, 0}, true, -1, 1, 2001, v, [] { return false; }), 0);
  EXPECT_NEAR(D(v), D(4 * Pi / 3), 1e-6);
}

TEST(Revolution, VolumeBetweenTwoGraphsUsesWashersOrShells) {
  struct Case {
    const char* f;
    const char* g;
    long double k;
    bool vertical;
    long double lo, hi, want;
  } cases[] = {
      {"x", "x^2", 0, false, 0, 1, 2 * Pi / 15},
      {"1", "0", 0, true, 0, 2, 4 * Pi},      // a cylinder of radius 2
      {"1", "0", 0, true, -1, 2, 4 * Pi},     // the left part lies inside it
      {"1", "0", 0, true, -2, 1, 4 * Pi},     // mirrored the other way
      {"1", "0", 3, true, 0, 2, 8 * Pi},      // radii 1..3 left of the axis
      {"1", "0", -1, true, 0, 2, 8 * Pi},     // radii 1..3 right of the axis
      {"x", "0", 0, true, 0, 1, 2 * Pi / 3},  // shells of the triangle under y = x
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.f << " " << D(c.k) << " [" << D(c.lo) << "," << D(c.hi) << "]");
    TFormulaEngine engine;
    TreePtr f, g;
    ASSERT_EQ(engine.Compile(c.f, f), 0);
    ASSERT_EQ(engine.Compile(c.g, g), 0);
    const long double lo = c.lo, hi = c.hi;
    long double v = 0;
    ASSERT_EQ(VolumeBetweenGraphs(engine, f.get(), g.get(), c.k, c.vertical, lo, hi, 400, v), 0);
    EXPECT_NEAR(D(v), D(c.want), 1e-6);
  }
}

TEST(CrossSections, VolumesFollowTheShapeFactors) {
  struct Case {
    int shape;
    bool doubled;
    const char* h;
    long double want;
  } cases[] = {
      {kSectionSquare, false, "", 16.0L / 3},
      {kSectionEquilateral, false, "", 16.0L / 3 * std::sqrt(3.0L) / 4},
      {kSectionSemicircle, false, "", 16.0L / 3 * Pi / 8},
      {kSectionSemicircle, true, "", 16.0L / 3 * Pi / 4},
      {kSectionRectangle, false, "2", 2 * Pi},  // 2·(area of the disc)
      {kSectionIsosceles, false, "2", Pi},
      {kSectionHalfEllipse, false, "2", Pi * Pi / 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.shape);
    TFormulaEngine engine;
    long double v = 0;
    ASSERT_EQ(CrossSectionVolume(engine, "sqrt(1-x^2)", "-sqrt(1-x^2)", c.h, c.shape, c.doubled, -1, 1, 2000, v), 0);
    EXPECT_NEAR(D(v), D(c.want), 1e-3);
  }
  std::string text;
  const std::string big(200, '1');
  EXPECT_EQ(SectionIntegrandText(big, big, "", kSectionSquare, text), kFormulaTooBig);
}

TEST(CrossSections, SolidFacesCompileAndTooLongTextsAreRefused) {
  struct Case {
    int shape;
    bool doubled;
    std::size_t faces;
  } cases[] = {
      {kSectionSquare, false, 4}, {kSectionSquare, true, 4},       {kSectionEquilateral, false, 3},
      {kSectionIsosceles, true, 4}, {kSectionSemicircle, false, 2}, {kSectionHalfEllipse, true, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.shape);
    TFormulaEngine engine;
    std::vector<TSurfaceTexts> faces;
    ASSERT_EQ(BuildSectionSurfaces(engine, "x", "x^2", "2", c.shape, c.doubled, {0, 0}, {1, 0}, 1, 40, faces), 0);
    ASSERT_EQ(faces.size(), c.faces);
    for (const TSurfaceTexts& s : faces) {
      TreePtr x, y, z;
      ASSERT_EQ(engine.Compile(s.x, x), 0) << s.x;
      ASSERT_EQ(engine.Compile(s.y, y), 0) << s.y;
      ASSERT_EQ(engine.Compile(s.z, z), 0) << s.z;
      // Every face lies over the strip between the graphs.
      engine.SetVariable('T', 0.5L * (s.tLo + s.tHi));
      engine.SetVariable('U', 0.5L);
      ASSERT_TRUE(engine.Evaluate(x.get()) && engine.Evaluate(y.get()));
      EXPECT_NEAR(D(x->value.re), 0.5, 1e-12);
      EXPECT_GE(D(y->value.re), 0.25 - 1e-12);
      EXPECT_LE(D(y->value.re), 0.5 + 1e-12);
    }
  }
  // A bound tied to a parameter runs u over 0..1 between the bounds.
  TFormulaEngine engine;
  std::vector<TSurfaceTexts> faces;
  ASSERT_EQ(BuildSectionSurfaces(engine, "x", "0", "", kSectionSquare, false, {-1, 0}, {2, 2}, 1, 40, faces), 0);
  EXPECT_EQ(faces[0].x, "((-1)*(1-u)+b*u)");
  EXPECT_EQ(faces[0].uHi, 1);
  const std::string big(120, 'x');
  EXPECT_EQ(BuildSectionSurfaces(engine, big, "0", "", kSectionSquare, false, {0, 0}, {1, 0}, 1, 40, faces),
            kFormulaTooBig);
  EXPECT_TRUE(faces.empty());
}

// The surface's record holds the curve, its kind, the axis and the ranges;
// compiling it turns the curve: a point of the curve at t keeps its foot on
// the axis and turns its distance from it by the angle at u.
TEST(RevolutionSurface, TheRecordHoldsTheCurveAndCompilingTurnsIt) {
  struct Case {
    int kind;
    std::initializer_list<const char*> texts;
    TRevolutionAxis axis;
    long double t1, t2;
    // The curve's point at its parameter s.
    long double (*x)(long double), (*y)(long double);
  } cases[] = {
      {kKindExplicit, {"", "x/2+1"}, {0, 1, 0}, 0, 2, [](long double s) { return s; },
       [](long double s) { return s / 2 + 1; }},
      {kKindParametric, {"2+cos(t)", "sin(t)"}, {1, 0, 0}, 0, 2 * Pi, [](long double s) { return 2 + std::cos(s); },
       [](long double s) { return std::sin(s); }},
      {kKindPolar, {"", "", "1+t"}, {1, -1, 0.5}, 0, 3, [](long double s) { return (1 + s) * std::cos(s); },
       [](long double s) { return (1 + s) * std::sin(s); }},
      {kKindSegment, {"0", "1", "3", "2"}, {0, 2, 1}, 5, 7, [](long double s) { return 3 * s; },
       [](long double s) { return 1 + s; }},  // a segment runs from end to end
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.kind);
    TFormulaEngine engine;
    Entry curve(engine, c.kind, c.texts);
    TEquation e;
    InitEquation(e, kKindRevolution, 2, 50);
    StoreRevolvedCurve(e, curve.e, c.axis);
    StoreRevolutionSliders(e, {{c.t1, 0}, {c.t2, 0}, {0.5L, 0}, {2 * Pi, 0}});
    EXPECT_TRUE(HoldsRevolvedCurve(e));
    EXPECT_EQ(e.subKind, c.kind);
    for (std::size_t k = 0; k < 4; ++k) EXPECT_EQ(e.formulaText[k], curve.e.formulaText[k]);
    CompileEquation(e, engine, true);
    ASSERT_TRUE(e.trees[0] && e.trees[1] && e.trees[2]);
    const long double n = std::hypot(c.axis.a, c.axis.b);
    for (long double t : {0.1L, 0.5L, 0.9L}) {
      const long double s = c.kind == kKindSegment ? t : c.t1 + (c.t2 - c.t1) * t;
      const long double px = c.x(s), py = c.y(s);
      const long double dist = (c.axis.a * px + c.axis.b * py - c.axis.c) / n;
      const long double along = (-c.axis.b * px + c.axis.a * py) / n;
      for (long double u : {0.0L, 0.2L, 0.75L}) {
        engine.SetVariable('T', t);
        engine.SetVariable('U', u);
        long double q[3];
        for (std::size_t k = 0; k < 3; ++k) {
          ASSERT_TRUE(engine.Evaluate(e.trees[k].get()));
          q[k] = e.trees[k]->value.re;
        }
        const long double phi = 0.5L + (2 * Pi - 0.5L) * u;
        EXPECT_NEAR(D((c.axis.a * q[0] + c.axis.b * q[1] - c.axis.c) / n), D(dist * std::cos(phi)), 1e-12);
        EXPECT_NEAR(D(q[2]), D(dist * std::sin(phi)), 1e-12);
        EXPECT_NEAR(D((-c.axis.b * q[0] + c.axis.a * q[1]) / n), D(along), 1e-12) << "keeps its place on the axis";
      }
    }
  }
  // No axis, or a curve text that is no formula, makes no surface.
  TFormulaEngine engine;
  Entry curve(engine, kKindExplicit, {"", "x"});
  TEquation e;
  InitEquation(e, kKindRevolution, 2, 50);
  StoreRevolvedCurve(e, curve.e, {0, 0, 1});
  EXPECT_FALSE(BuildRevolutionTrees(e, engine));
  StoreRevolvedCurve(e, curve.e, {0, 1, 0});
  e.formulaText[1] = "x+";
  EXPECT_FALSE(BuildRevolutionTrees(e, engine));
  EXPECT_FALSE(e.trees[0] || e.trees[1] || e.trees[2]);
}

// Where the record keeps what it holds in its file image: the ranges and
// their parameters at offsets 341 and 371, the axis at 281, the form mark
// at 401.  A record an older version wrote holds the surface's own texts
// and no mark: it compiles them as they stand.
TEST(RevolutionSurface, TheRecordTravelsInItsFileImageAndOlderRecordsDrawAsBefore) {
  TEquation e;
  InitEquation(e, kKindRevolution, 2, 50);
  EXPECT_TRUE(RevolutionSliderCopies(e).empty()) << "a record without them copies nothing";
  // Curve from 0.5 to A (= 2), angle from B (= 0) to 3.
  StoreRevolutionSliders(e, {{0.5L, 0}, {2, 1}, {0, 2}, {3, 0}});
  const auto copies = RevolutionSliderCopies(e);
  ASSERT_EQ(copies.size(), 2u);
  EXPECT_EQ(copies[0].variable, 1);
  EXPECT_EQ(D(copies[0].value), 2);
  EXPECT_EQ(D(copies[0].left), 0.5);
  EXPECT_EQ(D(copies[0].right), 2);
  EXPECT_EQ(copies[1].variable, 2);
  EXPECT_EQ(D(copies[1].value), 0);
  EXPECT_EQ(D(copies[1].left), 0);
  EXPECT_EQ(D(copies[1].right), 3);
  TFormulaEngine engine;
  Entry curve(engine, kKindExplicit, {"", "x/2+1"});
  StoreRevolvedCurve(e, curve.e, {0.5L, 1, 2});
  ByteWriter w;
  WriteEquationRecord(w, e);
  ASSERT_EQ(w.Size(), kEquationRecordSize);
  EXPECT_EQ(D(DecodeExtended(w.Data().data() + 341)), 100.0);
  EXPECT_EQ(D(DecodeExtended(w.Data().data() + 371)), 2.0);
  EXPECT_EQ(D(DecodeExtended(w.Data().data() + 281)), 0.5);
  EXPECT_EQ(D(DecodeExtended(w.Data().data() + 401)), 1.0);
  TEquation back;
  ByteReader r(w.Data());
  ASSERT_TRUE(ReadEquationRecord(r, back));
  EXPECT_EQ(RevolutionSliderCopies(back).size(), 2u);
  EXPECT_TRUE(HoldsRevolvedCurve(back));
  EXPECT_EQ(D(RevolutionAxisOf(back).c), 2.0);

  // The image of y = x/2 + 1 over 0..2 turned about the x-axis as the
  // older version wrote it: its texts the surface, blocks 4 and 8 empty.
  TEquation old;
  InitEquation(old, kKindRevolution, 2, 50);
  old.subKind = kKindExplicit;
  old.formulaText[0] = "(0+(2-0)*t)";
  old.formulaText[1] = "(0.5*(0+(2-0)*t)+1)-(0.5*(0+(2-0)*t)+1)*(1-cos(0+(6.28318530717959-0)*u))";
  old.formulaText[2] = "(0.5*(0+(2-0)*t)+1)*sin(0+(6.28318530717959-0)*u)";
  ByteWriter ow;
  WriteEquationRecord(ow, old);
  ByteReader orr(ow.Data());
  TEquation read;
  ASSERT_TRUE(ReadEquationRecord(orr, read));
  for (std::size_t k = 0; k < 3; ++k) read.formulaText[k] = old.formulaText[k];  // the texts' own block
  EXPECT_FALSE(HoldsRevolvedCurve(read));
  CompileEquation(read, engine, true);
  ASSERT_TRUE(read.trees[0] && read.trees[1] && read.trees[2]);
  engine.SetVariable('T', 0.75L);
  engine.SetVariable('U', 0.25L);
  for (std::size_t k = 0; k < 3; ++k) ASSERT_TRUE(engine.Evaluate(read.trees[k].get()));
  EXPECT_NEAR(D(read.trees[0]->value.re), 1.5, 1e-12);
  EXPECT_NEAR(D(read.trees[1]->value.re), 0, 1e-12);
  EXPECT_NEAR(D(read.trees[2]->value.re), 1.75, 1e-12);
}

}  // namespace
}  // namespace kv

namespace kv {
namespace {

// The circle (x - cx)^2 + (y - cy)^2 = 1 turned about an axis is a torus:
// a point lies on it when its foot on the axis and its distance from the
// axis make a point of the circle in the plane.
TEST(RevolutionSurface, AnImplicitCurveTurnsIntoAnImplicitSurface) {
  struct Case {
    const char* f;
    TRevolutionAxis axis;
    // A point of the curve in the plane, turned by the angle about the axis.
    long double px, py;
  } cases[] = {
      {"x^2+(y-2)^2-1", {0, 1, 0}, 0.6L, 2.8L},        // about the x-axis
      {"(x-2)^2+y^2-1", {1, 0, 0}, 2.6L, -0.8L},       // about the y-axis
      {"(x-3)^2+(y-1)^2-1", {1, 1, 1}, 3.6L, 1.8L},    // about x + y = 1
      {"(x-3)^2+(y-2)^2-1", {0, 2, 0}, 3, 3},          // the x-axis written with b = 2
  };
  TFormulaEngine engine;
  for (const Case& c : cases) {
    Entry curve(engine, kKindImplicit, {"", "", c.f});
    TEquation e;
    InitEquation(e, kKindRevolution, 2, 50);
    StoreRevolvedCurve(e, curve.e, c.axis);
    EXPECT_EQ(e.formulaText[3], c.f) << "the curve's equation in the fourth text";
    CompileEquation(e, engine, true);
    TExprNode* g = e.trees[3].get();
    ASSERT_NE(g, nullptr) << c.f;
    // The foot of the point on the axis and its signed distance.
    const long double n = std::sqrt(c.axis.a * c.axis.a + c.axis.b * c.axis.b);
    const long double ux = c.axis.a / n, uy = c.axis.b / n;
    const long double d = (c.axis.a * c.px + c.axis.b * c.py - c.axis.c) / n;
    const long double fx = c.px - d * ux, fy = c.py - d * uy;
    auto at = [&](long double x, long double y, long double z) {
      engine.SetVariable('X', x);
      engine.SetVariable('Y', y);
      engine.SetVariable('Z', z);
      EXPECT_TRUE(engine.Evaluate(g)) << c.f;
      return g->value.re;
    };
    for (long double phi : {0.0L, 1.0L, 2.5L, 4.0L}) {
      const long double x = fx + d * std::cos(phi) * ux, y = fy + d * std::cos(phi) * uy, z = d * std::sin(phi);
      EXPECT_NEAR(D(at(x, y, z)), 0, 1e-12) << c.f << " turned by " << D(phi);
    }
    // The axis's foot itself lies off the surface.
    EXPECT_GT(std::fabs(D(at(fx, fy, 0))), 0.1) << c.f;
  }
}

}  // namespace
}  // namespace kv
