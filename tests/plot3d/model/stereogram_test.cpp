// Random-dot stereograms without a window: the layout, and the dot chains
// whose separations carry the surface's depth (seeded).
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <set>
#include <vector>

#include "plot3d/model/model_test_util.h"
#include "plot3d/model/stereogram.h"

namespace kv {
namespace {

using namespace test3dmodel;

TEST(StereogramLayout, SizesFromTheClientAndSettings) {
  TStereogramLayout l;
  ASSERT_TRUE(ComputeStereogramLayout({60, 8, 1, 0.75L}, 640, 480, {-1, -1, 0}, {1, 1, 1}, l));
  EXPECT_EQ(l.cell, 2);
  EXPECT_EQ(l.columns, 320);
  EXPECT_EQ(l.rows, 238);
  EXPECT_DOUBLE_EQ(static_cast<double>(l.stripWidth), static_cast<double>(40 * l.dx));
  EXPECT_EQ(l.chainLimit, 24);
  ASSERT_TRUE(ComputeStereogramLayout({60, 8, 3, 0.75L}, 640, 480, {-1, -1, 0}, {1, 1, 1}, l));
  EXPECT_EQ(l.cell, 6);
  EXPECT_EQ(l.columns, 106);
  // Row 0 alone is a picture; below it there is none.
  ASSERT_TRUE(ComputeStereogramLayout({60, 8, 1, 0.75L}, 640, 5, {-1, -1, 0}, {1, 1, 1}, l));
  EXPECT_EQ(l.rows, 0);
  EXPECT_FALSE(ComputeStereogramLayout({60, 8, 1, 0.75L}, 640, 3, {-1, -1, 0}, {1, 1, 1}, l));
  EXPECT_EQ(l.rows, -1);
  // Nothing to draw: one column, an empty box, settings outside.
  EXPECT_FALSE(ComputeStereogramLayout({60, 8, 1, 0.75L}, 2, 480, {-1, -1, 0}, {1, 1, 1}, l));
  EXPECT_FALSE(ComputeStereogramLayout({60, 8, 1, 0.75L}, 640, 480, {1, -1, 0}, {1, 1, 1}, l));
  EXPECT_FALSE(ComputeStereogramLayout({60, 0, 1, 0.75L}, 640, 480, {-1, -1, 0}, {1, 1, 1}, l));
  EXPECT_FALSE(ComputeStereogramLayout({60, 8, 1, 0}, 640, 480, {-1, -1, 0}, {1, 1, 1}, l));
}

// The dots of one layer: row -> pixel columns.
std::map<int, std::vector<int>> Dots(const TStereogramLayout& l, const THeightFunction& h, long double zmin,
                                     long double zmax, std::uint64_t seed) {
  std::map<int, std::vector<int>> rows;
  TSeededRandom random(seed);
  GenerateStereogramLayer(l, h, zmin, zmax, l.boxMax.y, random, [&](int px, int row) { rows[row].push_back(px); },
                          nullptr);
  for (auto& [row, v] : rows) std::sort(v.begin(), v.end());
  return rows;
}

TEST(Stereogram, AFlatSurfaceRepeatsEveryStrip) {
  TStereogramLayout l;
  ASSERT_TRUE(ComputeStereogramLayout({100, 8, 1, 0.75L}, 640, 100, {-2, -2, 1}, {2, 2, 1}, l));
  auto flat = [](long double, long double, long double& z) {
    z = 1;
    return true;
  };
  const auto rows = Dots(l, flat, 1, 1, 3);
  ASSERT_EQ(static_cast<int>(rows.size()), l.rows + 1);
  const long double strip = l.stripWidth * l.pixelsPerUnit;
  for (const auto& [row, px] : rows) {
    std::set<int> set(px.begin(), px.end());
    int repeated = 0;
    for (int p : px)
      if (set.count(p + static_cast<int>(std::lround(static_cast<double>(strip)))) ||
          set.count(p + static_cast<int>(std::lround(static_cast<double>(strip))) - 1) ||
          set.count(p + static_cast<int>(std::lround(static_cast<double>(strip))) + 1))
        ++repeated;
    // Every dot but those of the last strip has its partner one strip on.
    EXPECT_GT(repeated, static_cast<int>(px.size()) * 3 / 4) << row;
  }
}

TEST(Stereogram, DensityStartsChainsInTheFirstStrip) {
  TStereogramLayout l;
  ASSERT_TRUE(ComputeStereogramLayout({100, 8, 1, 0.75L}, 640, 40, {-2, -2, 1}, {2, 2, 1}, l));
  auto flat = [](long double, long double, long double& z) {
    z = 1;
    return true;
  };
  const auto all = Dots(l, flat, 1, 1, 5);
  // Density 100: a chain at every place of the first strip (40 columns).
  const int firstStrip = static_cast<int>(std::count_if(all.at(0).begin(), all.at(0).end(), [&](int p) {
    return p < static_cast<int>(l.stripWidth * l.pixelsPerUnit) - 1;
  }));
  EXPECT_EQ(firstStrip, 40);
  ASSERT_TRUE(ComputeStereogramLayout({1, 8, 1, 0.75L}, 640, 40, {-2, -2, 1}, {2, 2, 1}, l));
  std::size_t dots = 0;
  for (const auto& [row, px] : Dots(l, flat, 1, 1, 5)) dots += px.size();
  // About one chain in a hundred places.
  EXPECT_LT(dots, 40u * 19 * 9 / 10);
}

TEST(Stereogram, SeparationsFollowTheHeight) {
  // The plane z = x: Next moves by W - k (x + W/2 - cx); the pixel shift
  // between chained dots falls linearly with x.
  TStereogramLayout l;
  ASSERT_TRUE(ComputeStereogramLayout({100, 8, 1, 1}, 800, 20, {-2, -2, -2}, {2, 2, 2}, l));
  auto ramp = [](long double x, long double, long double& z) {
    z = x;
    return true;
  };
  for (long double x : {-1.5L, -0.5L, 0.5L}) {
    const long double next = StereogramNext(l, ramp, -2, 2, x, 0);
    const long double expected = l.stripWidth - l.depthFactor * (x + l.halfStrip);
    EXPECT_NEAR(static_cast<double>(next - x), static_cast<double>(expected), 1e-12);
  }
  const long double s1 = StereogramNext(l, ramp, -2, 2, -1, 0) - (-1);
  const long double s2 = StereogramNext(l, ramp, -2, 2, 0, 0);
  const long double s3 = StereogramNext(l, ramp, -2, 2, 1, 0) - 1;
  EXPECT_GT(s1, s2);
  EXPECT_NEAR(static_cast<double>(s1 - s2), static_cast<double>(s2 - s3), 1e-12);
  // Heights beyond the record's range are clamped; an undefined height is
  // its top.
  const long double atTop = StereogramNext(l, ramp, -2, 0.5L, 1.5L, 0) - 1.5L;
  EXPECT_NEAR(static_cast<double>(atTop), static_cast<double>(l.stripWidth - l.depthFactor * 0.5L), 1e-12);
  auto undefined = [](long double, long double, long double&) { return false; };
  EXPECT_NEAR(static_cast<double>(StereogramNext(l, undefined, -2, 2, 0, 0)),
              static_cast<double>(l.stripWidth - l.depthFactor * 2), 1e-12);
}

TEST(Stereogram, HeightOfCylindricalSurfacesUsesPolarCoordinates) {
  TFormulaEngine engine;
  TEquation cone;
  InitEquation(cone, kKindCylinderSurface, 1, 50);
  cone.trees[2] = Tree(engine, "r+t");
  long double z = 0;
  ASSERT_TRUE(StereogramHeight(engine, cone, 0, 2, z));
  EXPECT_NEAR(static_cast<double>(z), 2 + 3.141592653589793 / 2, 1e-15);
  TEquation plane = Explicit(engine, "x-y");
  ASSERT_TRUE(StereogramHeight(engine, plane, 3, 1, z));
  EXPECT_EQ(z, 2);
}

TEST(Stereogram, TheStopKeyEndsTheLayer) {
  TStereogramLayout l;
  ASSERT_TRUE(ComputeStereogramLayout({50, 8, 1, 0.75L}, 200, 100, {-2, -2, 0}, {2, 2, 1}, l));
  auto flat = [](long double, long double, long double& z) {
    z = 0;
    return true;
  };
  TSeededRandom random(1);
  int lastRow = -1;
  EXPECT_FALSE(GenerateStereogramLayer(l, flat, 0, 1, 2, random, [&](int, int row) { lastRow = row; },
                                       [](int row) { return row == 3; }));
  EXPECT_LE(lastRow, 3);
}

}  // namespace
}  // namespace kv
