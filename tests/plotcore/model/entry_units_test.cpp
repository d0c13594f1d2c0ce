// The entry units without a window: an engine and a record are all that
// compiling, sampling, tracing, trajectories, sequences, shading and the
// point mapping need.
#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>
#include <string>
#include <vector>

#include "core/constants.h"
#include "formula/formula_engine.h"
#include "plotcore/model/compile_equation.h"
#include "plotcore/model/describe_equation.h"
#include "plotcore/model/entry_evaluation.h"
#include "plotcore/model/equation_curves.h"
#include "plotcore/model/shading_geometry.h"
#include "plotcore/model/trajectories.h"

namespace kv {
namespace {

double D(long double v) { return static_cast<double>(v); }

struct Runs : TPolylineSink {
  std::vector<std::vector<TPoint2D>> runs;
  void MoveTo(const TPoint2D& p) override { runs.push_back({p}); }
  void LineTo(const TPoint2D& p) override { runs.back().push_back(p); }
};

// An entry of the kind with its texts, compiled as a window would.
struct Entry {
  TFormulaEngine engine;
  TEquation e;
  Entry(int kind, std::initializer_list<const char*> texts, long double lo = -5, long double hi = 5) {
    InitEquation(e, kind, 2, 50);
    std::size_t k = 0;
    for (const char* t : texts) e.formulaText[k++] = t;
    e.lowerBound = {lo, lo};
    e.upperBound = {hi, hi};
    InitEquationBuffers(e);
    CompileEquation(e, engine, true);
  }
};

TSamplerSettings View() {
  TSamplerSettings s;
  s.view = {-5, 5, -5, 5};
  s.pixelsPerUnitX = s.pixelsPerUnitY = 50;
  return s;
}

TEST(EntryUnits, SampledCurvesHaveTheirGapsWithoutAWindow) {
  struct Case {
    int kind;
    std::initializer_list<const char*> texts;
    std::size_t runs;
  } cases[] = {
      {kKindExplicit, {"", "tan(x)"}, 5},
      {kKindExplicit, {"", "1/x"}, 2},
      {kKindExplicit, {"", "sqrt(1-xx)"}, 1},
      {kKindExplicit, {"", "xsin(x)"}, 1},
      {kKindPolar, {"", "", "1/cos(t)"}, 3},
  };
  for (const Case& c : cases) {
    Entry entry(c.kind, c.texts, 0, 2 * Pi);
    if (c.kind == kKindExplicit) entry.e.bounded = 0;
    Runs sink;
    const TSampleStats stats = SampleEquation(entry.e, entry.engine, View(), 500, TPointMap{}, sink);
    EXPECT_EQ(sink.runs.size(), c.runs) << *c.texts.begin() << " " << c.texts.end()[-1];
    EXPECT_GT(stats.samples, 0);
  }
}

TEST(EntryUnits, ImplicitCircleIsTracedOnTheCurve) {
  Entry entry(kKindImplicit, {"", "", "", "", "xx+yy=4"});
  TTracerSettings s;
  s.view = {-5, 5, -5, 5};
  s.pixelsPerUnitX = s.pixelsPerUnitY = 50;
  Runs sink;
  TraceEquation(entry.e, entry.engine, s, false, nullptr, sink);
  ASSERT_FALSE(sink.runs.empty());
  for (const auto& run : sink.runs)
    for (const TPoint2D& p : run) EXPECT_NEAR(D(std::hypot(p.x, p.y)), 2.0, 1e-3);
}

TEST(EntryUnits, TrajectoriesAndSequencesRunOnTheEngine) {
  Entry circle(kKindOde, {"-y", "x"});
  TEquationItem& item = AddTrajectoryItem(circle.e, {1, 0, 0}, kMethodRungeKutta, 0.01L, 628, 1);
  bool finished = false;
  TPoint3D end;
  TTrajectoryView view;
  const long steps = RunTrajectory(circle.e, circle.engine, item, view, nullptr, finished, &end);
  EXPECT_EQ(steps, 628);
  EXPECT_NEAR(D(std::hypot(end.x, end.y)), 1.0, 1e-6);
  TPoint3D quarter;
  ASSERT_TRUE(RunTrajectoryItem(circle.e, circle.engine, item, 0.01L, HalfPi, quarter));
  EXPECT_NEAR(D(quarter.x), 0.0, 1e-6);
  EXPECT_NEAR(D(quarter.y), 1.0, 1e-6);

  Entry sequence(kKindSequence, {"x/2", "y+1"});
  TEquationItem start;
  start.start = {8, 0, 0};
  const std::vector<TPoint3D> terms = IterateSequenceItem(sequence.e, sequence.engine, start, 3);
  ASSERT_EQ(terms.size(), 4u);
  EXPECT_EQ(D(terms[3].x), 1.0);
  EXPECT_EQ(D(terms[3].y), 3.0);
}

TEST(EntryUnits, ShadeSpansAndInequalities) {
  TFormulaEngine engine;
  Entry square(kKindExplicit, {"", "xx"});
  Entry line(kKindExplicit, {"", "x"});
  TShadeRecord between;
  between.graphB = 1;
  const TSegment2D world{-5, 5, -5, 5};
  long double lo = 0, hi = 0;
  ASSERT_TRUE(ShadeSpan(engine, between, square.e, &line.e, world, 0.5L, lo, hi));
  EXPECT_EQ(D(lo), 0.25);
  EXPECT_EQ(D(hi), 0.5);
  TShadeRecord above;
  ASSERT_TRUE(ShadeSpan(engine, above, square.e, nullptr, world, 2, lo, hi));
  EXPECT_EQ(D(lo), 4.0);
  EXPECT_EQ(D(hi), 5.0);

  TShadeArea area;
  area.world = world;
  area.width = area.height = 500;
  int top = 0, bottom = 0;
  ASSERT_TRUE(ShadeRows(area, 0, 1, top, bottom));
  EXPECT_EQ(top, 200);
  EXPECT_EQ(bottom, 250);
  ASSERT_TRUE(ShadeRows(area, 4, 7, top, bottom));  // cut to the area
  EXPECT_EQ(top, 0);
  EXPECT_EQ(bottom, 50);
  // Spans wholly above or below the view shade no row, not an edge row.
  struct Outside {
    long double lo, hi;
  } outside[] = {{6, 9}, {-9, -6}, {5.5L, 5.5L}, {-7, -5.5L}};
  for (const Outside& o : outside) {
    top = bottom = -1;
    EXPECT_FALSE(ShadeRows(area, o.lo, o.hi, top, bottom)) << D(o.lo) << ".." << D(o.hi);
  }
  ASSERT_TRUE(ShadeRows(area, -9, 9, top, bottom));  // covering the view
  EXPECT_EQ(top, 0);
  EXPECT_EQ(bottom, 500);

  Entry disc(kKindImplicit, {"", "", "", "", "xx+yy=1"});
  disc.e.subKind = 1;  // F < 0: inside
  ASSERT_TRUE(IsInequality(disc.e));
  EXPECT_TRUE(SatisfiesInequality(disc.engine, disc.e, 0.5L, 0.5L, false));
  EXPECT_FALSE(SatisfiesInequality(disc.engine, disc.e, 1, 1, false));
}

TEST(EntryUnits, PointsAreMappedByLogAxesOrAMappingEntry) {
  TFormulaEngine engine;
  TPointMap logs;
  logs.logWindow = true;
  logs.logAxes = 3;
  TPoint2D p{100, 0.01L};
  ASSERT_TRUE(MapPoint(engine, logs, p));
  EXPECT_NEAR(D(p.x), 2.0, 1e-15);
  EXPECT_NEAR(D(p.y), -2.0, 1e-15);
  TPoint2D negative{-1, 1};
  EXPECT_FALSE(MapPoint(engine, logs, negative));

  Entry square(kKindComplexMap, {"zz"});
  TPointMap map;
  map.mapping = &square.e;
  TPoint2D z{1, 1};
  ASSERT_TRUE(MapPoint(square.engine, map, z));
  EXPECT_NEAR(D(z.x), 0.0, 1e-15);
  EXPECT_NEAR(D(z.y), 2.0, 1e-15);
}

TEST(EntryUnits, DescriptionsAndLettersComeFromTheRecordAlone) {
  Entry explicitEntry(kKindExplicit, {"", "asin(bx)"});
  const std::string line = DescribeEquation(explicitEntry.e, 80);
  EXPECT_NE(line.find("asin(bx)"), std::string::npos) << line;
  EXPECT_LE(DescribeEquation(explicitEntry.e, 5).size(), 5u);
  std::array<std::uint8_t, tok::kVariableCount> used{};
  MarkEquationLetters(explicitEntry.e, used);
  EXPECT_TRUE(used[static_cast<std::size_t>(tok::VariableOf('A'))]);
  EXPECT_TRUE(used[static_cast<std::size_t>(tok::VariableOf('X'))]);
  EXPECT_FALSE(used[static_cast<std::size_t>(tok::VariableOf('C'))]);
}

}  // namespace
}  // namespace kv
