// Double integrals, surface areas, line and flux integrals
// against their exact values.
#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>
#include <string>

#include "entry/model/field_integrals.h"
#include "plotcore/model/compile_equation.h"

namespace kv {
namespace {

constexpr long double kPi = 3.14159265358979323846264338327950288L;

double D(long double v) { return static_cast<double>(v); }

// An entry of the kind with its formula texts, compiled as the window does.
TEquation Entry(TFormulaEngine& engine, int kind, std::initializer_list<const char*> texts,
               bool derivativeTrees = true) {
  TEquation e;
  InitEquation(e, kind, 1, 50);
  std::size_t k = 0;
  for (const char* t : texts) e.formulaText[k++] = t;
  CompileEquation(e, engine, derivativeTrees);
  return e;
}

TSimpsonRange Range(long double a, long double b, std::int32_t n) { return {a, b, n}; }

TEST(FieldIntegrals, DoubleIntegralsOfExplicitSurfaces) {
  struct Case {
    const char* f;
    TSimpsonRange x, y;
    long double exact, tolerance;
  } cases[] = {
      {"x*y", Range(0, 1, 100), Range(0, 1, 100), 0.25L, 1e-15L},
      {"x+y", Range(0, 1, 100), Range(0, 1, 100), 1, 1e-15L},
      {"x^2*y^2", Range(0, 1, 4), Range(0, 1, 4), 1.0L / 9, 1e-15L},
      {"sin(x)*sin(y)", Range(0, kPi, 50), Range(0, kPi, 50), 4, 1e-6L},
  };
  TFormulaEngine engine;
  for (const Case& c : cases) {
    TEquation e = Entry(engine, kKindSurface, {"", "", c.f});
    long double r = 0;
    EXPECT_EQ(DoubleIntegral(engine, e, c.x, c.y, r, {}), 0) << c.f;
    EXPECT_NEAR(D(r), D(c.exact), D(c.tolerance)) << c.f;
  }
}

TEST(FieldIntegrals, SurfaceAreas) {
  TFormulaEngine engine;
  long double r = 0;
  // The plane z = 0 over 2 x 3, and a tilted plane: area times sqrt(1 + 1 + 1).
  TEquation flat = Entry(engine, kKindSurface, {"", "", "0"});
  EXPECT_EQ(SurfaceArea(engine, flat, Range(0, 2, 10), Range(0, 3, 10), r, {}), 0);
  EXPECT_NEAR(D(r), 6, 1e-15);
  TEquation tilted = Entry(engine, kKindSurface, {"", "", "x+y"});
  EXPECT_EQ(SurfaceArea(engine, tilted, Range(0, 1, 10), Range(0, 1, 10), r, {}), 0);
  EXPECT_NEAR(D(r), std::sqrt(3.0), 1e-15);
  // The unit sphere over t in [0, pi], u in [0, 2 pi]: 4 pi.
  TEquation sphere = Entry(engine, kKindParametricSurface, {"sin(t)*cos(u)", "sin(t)*sin(u)", "cos(t)"});
  EXPECT_EQ(SurfaceArea(engine, sphere, Range(0, kPi, 100), Range(0, 2 * kPi, 100), r, {}), 0);
  EXPECT_NEAR(D(r), D(4 * kPi), 1e-8);
  // A window that compiles without derivative trees: they are formed here.
  TEquation bare = Entry(engine, kKindSurface, {"", "", "x+y"}, false);
  ASSERT_EQ(bare.trees[4], nullptr);
  EXPECT_EQ(SurfaceArea(engine, bare, Range(0, 1, 10), Range(0, 1, 10), r, {}), 0);
  EXPECT_NEAR(D(r), std::sqrt(3.0), 1e-15);
  // Curves and fields have no area.
  TEquation curve = Entry(engine, kKindSpaceCurve, {"t", "t", "t"});
  EXPECT_EQ(SurfaceArea(engine, curve, Range(0, 1, 10), Range(0, 1, 10), r, {}), kIntegralUndefined);
}

TEST(FieldIntegrals, LineIntegrals) {
  TFormulaEngine engine;
  long double r10 = 0, r1000 = 0;
  TEquation field = Entry(engine, kKindOde3D, {"-y", "x", "0"});
  TEquation circle = Entry(engine, kKindSpaceCurve, {"cos(t)", "sin(t)", "0"});
  EXPECT_EQ(LineIntegral(engine, field, circle, Range(0, 2 * kPi, 10), r10, {}), 0);
  EXPECT_EQ(LineIntegral(engine, field, circle, Range(0, 2 * kPi, 1000), r1000, {}), 0);
  EXPECT_NEAR(D(r1000), D(2 * kPi), 1e-15);
  EXPECT_NEAR(D(r10), D(2 * kPi), 1e-3);
  // A gradient field along any path: the difference of the potential x y z.
  TEquation gradient = Entry(engine, kKindOde3D, {"y*z", "x*z", "x*y"});
  TEquation helix = Entry(engine, kKindSpaceCurve, {"cos(t)", "sin(t)", "t"});
  long double r = 0;
  EXPECT_EQ(LineIntegral(engine, gradient, helix, Range(0, kPi / 2, 200), r, {}), 0);
  EXPECT_NEAR(D(r), 0, 1e-10);  // x y z is 0 at both ends
  // The plane's field along a plane curve.
  TEquation field2 = Entry(engine, kKindOde, {"-y", "x"});
  TEquation circle2 = Entry(engine, kKindParametric, {"cos(t)", "sin(t)"});
  EXPECT_EQ(LineIntegral(engine, field2, circle2, Range(0, 2 * kPi, 100), r, {}), 0);
  EXPECT_NEAR(D(r), D(2 * kPi), 1e-12);
  TEquation bareCircle = Entry(engine, kKindSpaceCurve, {"cos(t)", "sin(t)", "0"}, false);
  EXPECT_EQ(LineIntegral(engine, field, bareCircle, Range(0, 2 * kPi, 100), r, {}), 0);
  EXPECT_NEAR(D(r), D(2 * kPi), 1e-12);
  // Mixed dimensions are refused.
  EXPECT_EQ(LineIntegral(engine, field2, circle, Range(0, 1, 10), r, {}), kIntegralUndefined);
}

TEST(FieldIntegrals, FluxThroughTheUnitSphere) {
  TFormulaEngine engine;
  TEquation field = Entry(engine, kKindOde3D, {"x", "y", "z"});
  TEquation sphere = Entry(engine, kKindParametricSurface, {"sin(t)*cos(u)", "sin(t)*sin(u)", "cos(t)"});
  long double r = 0;
  EXPECT_EQ(FluxIntegral(engine, field, sphere, Range(0, kPi, 100), Range(0, 2 * kPi, 100), r, {}), 0);
  // r_t × r_u points outwards for this parametrisation.
  EXPECT_NEAR(D(r), D(4 * kPi), 1e-8);
  // A constant field has no net flux through a closed surface.
  TEquation wind = Entry(engine, kKindOde3D, {"1", "2", "3"});
  EXPECT_EQ(FluxIntegral(engine, wind, sphere, Range(0, kPi, 50), Range(0, 2 * kPi, 50), r, {}), 0);
  EXPECT_NEAR(D(r), 0, 1e-12);
}

}  // namespace
}  // namespace kv
