// Entries the 3D tools derive from a curve or from two surfaces follow their
// source when it is edited: trace points, tangent lines and combined
// surfaces with their sampled grid.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "entry/model/combinations.h"
#include "entry/model/derived_items.h"
#include "plot3d/model/evaluate.h"
#include "plot3d/plot3_test_util.h"

namespace kv {
namespace {

double D(long double v) { return static_cast<double>(v); }

class DerivedRebuild3D : public test3d::Plot3Test {
 protected:
  TPlot3Win* w = nullptr;
  int helix = -1;
  void SetUp() override {
    Plot3Test::SetUp();
    w = MakeWindow();
    helix = w->AppendEquation(kKindSpaceCurve, {"cos(t)", "sin(t)", "t"});
    w->Equation(helix).lowerBound.x = -3;
    w->Equation(helix).upperBound.x = 3;
    w->CompileEquation(helix);
  }
  // Edits one formula of an entry the way the inventory does: recompile,
  // then rebuild what was made from it.
  void Edit(int i, int slot, const std::string& text) {
    w->Equation(i).formulaText[static_cast<std::size_t>(slot)] = text;
    w->CompileEquation(i);
    w->RebuildDerivedEquations(i);
  }
  long double At(int i, int tree, long double t) {
    const TEngineVariableGuard guard(w->Engine());
    w->SetVariable('T', t);
    long double v = NAN;
    EXPECT_TRUE(EvaluateRealPart(w->Engine(), w->Equation(i).trees[static_cast<std::size_t>(tree)].get(), v));
    return v;
  }
};

TEST_F(DerivedRebuild3D, TracePointAndTangentLineFollowTheirCurve) {
  const int point = w->AddTracePointItem(helix, "1");
  const int line = w->AddLineItem(helix, "1");
  ASSERT_GE(point, 0);
  ASSERT_GE(line, 0);
  ASSERT_EQ(w->Equation(point).derivation, kDerivedTracePoint);
  ASSERT_EQ(w->Equation(line).derivation, kDerivedTangentLine);
  EXPECT_NEAR(D(w->Equation(point).values[4].z), 1, 1e-15);
  EXPECT_NEAR(D(At(point, 2, 0)), 1, 1e-15);
  // The line at t = 1 reaches z = 1 + T.
  EXPECT_NEAR(D(At(line, 2, 1)), 2, 1e-15);

  Edit(helix, 2, "5t");
  EXPECT_NEAR(D(w->Equation(point).values[4].z), 5, 1e-15);
  EXPECT_NEAR(D(At(point, 2, 0)), 5, 1e-15);
  EXPECT_NEAR(D(At(point, 0, 0)), D(std::cos(1.0L)), 1e-15);
  // Now z = 5 + 5T along the line.
  EXPECT_NEAR(D(At(line, 2, 1)), 10, 1e-15);

  // A rebuild of everything gives the same; an edit of an entry after
  // them leaves them alone.
  w->RebuildDerivedEquations(-1);
  EXPECT_NEAR(D(w->Equation(point).values[4].z), 5, 1e-15);
  const int other = w->AppendEquation(kKindSpaceCurve, {"t", "t", "t"});
  w->CompileEquation(other);
  w->Equation(point).values[4].z = 0;
  w->RebuildDerivedEquations(other);
  EXPECT_EQ(D(w->Equation(point).values[4].z), 0);
}

// A copy of the helix's trees (code 71) and a trace point on the copy: an
// edit of the helix reaches the point through the copy in one sweep; a
// copy whose code no builder knows is still counted as changed; a point
// whose source index lies outside the entries before it is left alone.
TEST_F(DerivedRebuild3D, AChainIsRebuiltInOneSweepAndBadSourcesAreLeftAlone) {
  const int copy = w->AppendEquation(kKindSpaceCurve, {"0", "0", "0"});
  w->Equation(copy).derivation = kDerivedCoordinateCurve;
  w->Equation(copy).source1 = static_cast<std::int16_t>(helix);
  ASSERT_TRUE(w->CloneSourceTrees(copy));
  const int point = w->AddTracePointItem(copy, "1");
  ASSERT_GE(point, 0);
  ASSERT_EQ(w->Equation(point).source1, copy);
  struct Case {
    const char* what;
    std::int16_t copyCode, pointSource;
    const char* helixZ;
    long double want;  // the point's z afterwards; 0 when it was left alone
  };
  const Case cases[] = {
      {"chain", kDerivedCoordinateCurve, static_cast<std::int16_t>(copy), "5t", 5},
      {"unknown code in the middle", 250, static_cast<std::int16_t>(copy), "7t", 5},
      {"source after the point", kDerivedCoordinateCurve, static_cast<std::int16_t>(point + 1), "2t", 0},
      {"source is the point", kDerivedCoordinateCurve, static_cast<std::int16_t>(point), "2t", 0},
      {"negative source", kDerivedCoordinateCurve, -3, "2t", 0},
  };
  for (const Case& c : cases) {
    w->Equation(copy).derivation = c.copyCode;
    w->Equation(point).source1 = c.pointSource;
    w->Equation(point).values[4].z = 0;
    Edit(helix, 2, c.helixZ);
    EXPECT_NEAR(D(w->Equation(point).values[4].z), D(c.want), 1e-15) << c.what;
  }
}

TEST_F(DerivedRebuild3D, ARebuildThatFailsKeepsTheEntryAndItsChain) {
  const int point = w->AddTracePointItem(helix, "1");
  ASSERT_GE(point, 0);
  // A source that cannot be evaluated there keeps the old point; the
  // entry stays in the inventory.
  Edit(helix, 2, "5t+");
  EXPECT_EQ(w->equationCount, point);
  EXPECT_NEAR(D(w->Equation(point).values[4].z), 1, 1e-15);
  Edit(helix, 2, "2t");
  EXPECT_NEAR(D(w->Equation(point).values[4].z), 2, 1e-15);
}

TEST_F(DerivedRebuild3D, ACombinedSurfaceIsSampledAgainAfterItsSourceChanges) {
  const int f = w->AppendEquation(kKindSurface, {"", "", "1"});
  const int g = w->AppendEquation(kKindSurface, {"", "", "x"});
  for (int i : {f, g}) {
    w->Equation(i).lowerBound = {-1, -1};
    w->Equation(i).upperBound = {1, 1};
    w->CompileEquation(i);
    w->UpdateItemExtent(i);
  }
  ASSERT_EQ(w->AddCombinedEquation(kComboSum, f, g), 0);
  const int sum = w->equationCount;
  const TEquation& e = w->Equation(sum);
  ASSERT_EQ(e.kind, kKindSurface);
  ASSERT_TRUE(e.automaticExtent);
  EXPECT_NEAR(D(e.boxMax().z), 2.2, 1e-3);  // widened by a tenth of its height
  const auto gridTop = [&] {
    long double top = -1e30L;
    const int n = (e.divisions[0] + 1) * (e.divisions[1] + 1);
    for (int k = 0; k < n; ++k) top = std::max(top, e.samples[static_cast<std::size_t>(k)].z);
    return top;
  };
  EXPECT_NEAR(D(gridTop()), 2, 1e-12);

  // z = 1 becomes z = 5: the sum's grid and extent reach 6.
  Edit(f, 2, "5");
  EXPECT_NEAR(D(gridTop()), 6, 1e-12);
  EXPECT_NEAR(D(e.boxMax().z), 6.2, 1e-3);
  EXPECT_NEAR(D(e.boxMin().z), 3.8, 1e-3);
}

// A power and a composition are made once; the sweep (after a file is read
// or a source is edited) leaves them with the trees of their own formulas
// and the grid sampled from them.
TEST_F(DerivedRebuild3D, APowerOrACompositionKeepsWhatItsFileHolds) {
  for (int code : {kComboPower, kComboComposition}) {
    SCOPED_TRACE(code);
    w->ClearInventory();
    const int f = w->AppendEquation(kKindSurface, {"", "", "x"});
    const int g = w->AppendEquation(kKindSurface, {"", "", "2"});
    const int h = w->AppendEquation(kKindSurface, {"", "", "5"});
    for (int i : {f, g, h}) {
      w->Equation(i).lowerBound = {-1, -1};
      w->Equation(i).upperBound = {1, 1};
      w->CompileEquation(i);
      w->UpdateItemExtent(i);
    }
    TEquation& e = w->Equation(h);
    e.derivation = static_cast<std::int16_t>(code);
    e.source1 = static_cast<std::int16_t>(f);
    e.source2 = static_cast<std::int16_t>(g);
    const std::vector<TPoint3D> grid = e.samples;
    ASSERT_FALSE(grid.empty());
    w->RebuildDerivedEquations(-1);
    Edit(f, 2, "y");
    const TEngineVariableGuard guard(w->Engine());
    w->SetVariable('X', 0.5L);
    w->SetVariable('Y', 0.5L);
    long double z = NAN;
    ASSERT_TRUE(EvaluateRealPart(w->Engine(), e.trees[2].get(), z));
    EXPECT_EQ(D(z), 5);
    ASSERT_EQ(e.samples.size(), grid.size());
    for (std::size_t k = 0; k < grid.size(); ++k) ASSERT_EQ(D(e.samples[k].z), D(grid[k].z)) << k;
  }
}

}  // namespace
}  // namespace kv
