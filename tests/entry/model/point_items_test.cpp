// Points and point sequences without a window: where their points lie in
// every coordinate system, which listed values are drawn, and sampled
// coordinate curves.
#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>

#include "core/constants.h"
#include "entry/model/coordinate_curve.h"
#include "entry/model/point_items.h"
#include "formula/formula_engine.h"
#include "plotcore/model/compile_equation.h"

namespace kv {
namespace {

double D(long double v) { return static_cast<double>(v); }

struct Entry {
  TFormulaEngine engine;
  TEquation e;
  Entry(int kind, std::initializer_list<const char*> texts, void (*prepare)(TEquation&) = nullptr) {
    InitEquation(e, kind, 2, 50);
    std::size_t k = 0;
    for (const char* t : texts) e.formulaText[k++] = t;
    if (prepare) prepare(e);
    CompileEquation(e, engine, false);
    // A sequence holds copies of its curve's trees.
    if (kind == kKindPointSequence)
      for (std::size_t j = 0; j < 3; ++j)
        if (!e.formulaText[j].empty()) engine.Compile(e.formulaText[j], e.trees[j]);
  }
};

TEST(PointItems, PointsInEveryCoordinateSystem) {
  struct Case {
    const char* what;
    int kind;
    std::initializer_list<const char*> texts;
    void (*prepare)(TEquation&);
    TPoint3D expected;
  } cases[] = {
      {"Cartesian", kKindPoint, {"2.5", "-1"}, nullptr, {2.5L, -1, 0}},
      {"polar", kKindPoint, {"2", "pi/2"}, [](TEquation& e) { e.polarInput = 1; }, {0, 2, 0}},
      {"complex", kKindPoint, {"2.0+1.6i"}, [](TEquation& e) { e.kindFlag = 1; }, {2, 1.6L, 0}},
      {"space", kKindPoint3D, {"1", "2", "3"}, nullptr, {1, 2, 3}},
      {"cylindrical", kKindPoint3D, {"2", "pi", "3"}, [](TEquation& e) { e.arrowMode = 1; }, {-2, 0, 3}},
      {"spherical", kKindPoint3D, {"2", "0", "pi/2"}, [](TEquation& e) { e.arrowMode = 2; }, {2, 0, 0}},
  };
  for (const Case& c : cases) {
    Entry en(c.kind, c.texts, c.prepare);
    EXPECT_EQ(PointItemCount(en.e), 1) << c.what;
    TPoint3D p;
    ASSERT_TRUE(EvaluatePointItem(en.e, en.engine, 0, p)) << c.what;
    EXPECT_NEAR(D(p.x), D(c.expected.x), 1e-15) << c.what;
    EXPECT_NEAR(D(p.y), D(c.expected.y), 1e-15) << c.what;
    EXPECT_NEAR(D(p.z), D(c.expected.z), 1e-15) << c.what;
    EXPECT_EQ(en.e.values[4].x, p.x) << c.what << ": the point is written back";
  }
  Entry bad(kKindPoint, {"sqrt(-1)", "0"});
  TPoint3D p;
  EXPECT_FALSE(EvaluatePointItem(bad.e, bad.engine, 0, p));
}

TEST(PointItems, SequencesTakeTheirListedValuesWithinTheCurvesBounds) {
  // The points of y = x² at x = -1, 0.5, 2 and 7; the curve runs on -3..3.
  Entry en(kKindPointSequence, {"", "xx", "", "-1; 0.5 2 7"}, [](TEquation& e) {
    e.subKind = kKindExplicit;
    e.auxValue4 = 24;  // X
  });
  en.e.cellDepths = {-1, 0.5L, 2, 7};
  en.e.auxValue3 = 4;
  en.e.sampleLower() = -3;
  en.e.sampleUpper() = 3;
  EXPECT_EQ(PointItemKind(en.e), kKindExplicit);
  ASSERT_EQ(PointItemCount(en.e), 4);
  const bool inside[4] = {true, true, true, false};
  for (int k = 0; k < 4; ++k) {
    EXPECT_EQ(PointSampleInBounds(en.e, k), inside[k]) << k;
    TPoint3D p;
    ASSERT_TRUE(EvaluatePointItem(en.e, en.engine, k, p));
    EXPECT_EQ(p.x, en.e.cellDepths[static_cast<std::size_t>(k)]);
    EXPECT_NEAR(D(p.y), D(p.x * p.x), 1e-15);
  }
  // A count beyond the buffer is not trusted; bounds never set hold every value.
  en.e.auxValue3 = 500;
  EXPECT_EQ(PointItemCount(en.e), 4);
  en.e.sampleLower() = en.e.sampleUpper() = 0;
  EXPECT_TRUE(PointSampleInBounds(en.e, 3));

  // A parametric curve runs in T.
  Entry circle(kKindPointSequence, {"cos(t)", "sin(t)"}, [](TEquation& e) {
    e.subKind = kKindParametric;
    e.auxValue4 = 20;  // T
  });
  circle.e.cellDepths = {Pi / 2};
  circle.e.auxValue3 = 1;
  TPoint3D p;
  ASSERT_TRUE(EvaluatePointItem(circle.e, circle.engine, 0, p));
  EXPECT_NEAR(D(p.x), 0, 1e-15);
  EXPECT_NEAR(D(p.y), 1, 1e-15);
}

TEST(CoordinateCurves, SamplesEndExactlyAndSkipUndefinedPoints) {
  TFormulaEngine engine;
  TreePtr x, y;
  ASSERT_EQ(engine.Compile("cos(t)", x), kFormulaOk);
  ASSERT_EQ(engine.Compile("sqrt(sin(t))", y), kFormulaOk);
  const auto arc = SampleCoordinateCurve(engine, x.get(), y.get(), nullptr, 0, Pi / 3, 7);
  ASSERT_EQ(arc.size(), 8u);
  EXPECT_NEAR(D(arc.back().x), 0.5, 1e-15);
  // Beyond pi the square root is undefined: those samples are dropped.
  const auto half = SampleCoordinateCurve(engine, x.get(), y.get(), nullptr, 0, 2 * Pi, 100);
  EXPECT_GT(half.size(), 48u);
  EXPECT_LT(half.size(), 54u);
  // Step counts are bounded.
  EXPECT_EQ(SampleCoordinateCurve(engine, x.get(), x.get(), nullptr, 0, 1, 0).size(), 2u);
  EXPECT_EQ(SampleCoordinateCurve(engine, x.get(), x.get(), nullptr, 0, 1, 1L << 40).size(),
            static_cast<std::size_t>(kMaxCoordinateCurveSteps + 1));
}

}  // namespace
}  // namespace kv
