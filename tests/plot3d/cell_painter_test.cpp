// The depth order of the painted cells and the side of a cell the eye
// looks at.
#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <random>
#include <vector>

#include "plot3d/cell_painter.h"

namespace kv {
namespace {

std::vector<TSurfaceCell> CellsOf(const std::vector<long double>& depths) {
  std::vector<TSurfaceCell> cells(depths.size() + 2);
  for (std::size_t k = 0; k < depths.size(); ++k) {
    cells[k + 1].depth = depths[k];
    cells[k + 1].row = static_cast<std::int16_t>(k);
  }
  return cells;
}

std::vector<long double> DepthsOf(const std::vector<TSurfaceCell>& cells, int n) {
  std::vector<long double> d;
  for (int k = 1; k <= n; ++k) d.push_back(cells[static_cast<std::size_t>(k)].depth);
  return d;
}

TEST(CellPainter, TheHeapSortAgreesWithAPlainSortOnEveryPermutationOfUpToEightCells) {
  for (int n = 1; n <= 8; ++n) {
    std::vector<long double> depths(static_cast<std::size_t>(n));
    // Some ties among them.
    for (int k = 0; k < n; ++k) depths[static_cast<std::size_t>(k)] = k / 2;
    std::sort(depths.begin(), depths.end());
    do {
      std::vector<TSurfaceCell> cells = CellsOf(depths);
      SortCellsByDepth(cells, n);
      std::vector<long double> want = depths;
      std::sort(want.begin(), want.end());
      ASSERT_EQ(DepthsOf(cells, n), want) << "n = " << n;
    } while (std::next_permutation(depths.begin(), depths.end()));
  }
}

TEST(CellPainter, TheHeapSortAgreesWithAPlainSortOnRandomDepthsAndKeepsEveryCell) {
  std::mt19937 rng(20240611);
  for (int round = 0; round < 200; ++round) {
    const int n = 1 + static_cast<int>(rng() % 5000);
    std::vector<long double> depths(static_cast<std::size_t>(n));
    std::uniform_real_distribution<double> any(0, 100);
    for (long double& d : depths) d = round % 3 == 0 ? std::floor(any(rng)) : any(rng);
    std::vector<TSurfaceCell> cells = CellsOf(depths);
    SortCellsByDepth(cells, n);
    std::vector<long double> want = depths;
    std::sort(want.begin(), want.end());
    ASSERT_EQ(DepthsOf(cells, n), want);
    // A permutation: every cell once, still carrying its own depth.
    std::vector<int> seen(static_cast<std::size_t>(n), 0);
    for (int k = 1; k <= n; ++k) {
      const TSurfaceCell& c = cells[static_cast<std::size_t>(k)];
      ++seen[static_cast<std::size_t>(c.row)];
      EXPECT_EQ(c.depth, depths[static_cast<std::size_t>(c.row)]);
    }
    EXPECT_EQ(std::count(seen.begin(), seen.end(), 1), n);
  }
}

TEST(CellPainter, ATableTooShortForItsCountIsLeftAlone) {
  std::vector<TSurfaceCell> cells = CellsOf({3, 1, 2});
  SortCellsByDepth(cells, 7);
  EXPECT_EQ(DepthsOf(cells, 3), (std::vector<long double>{3, 1, 2}));
}

TEST(CellPainter, TheEyeSeesTheSideOfTheNormalOfRowAndColumn) {
  // The plane z = 0 sampled with the columns along x and the rows along y:
  // (p01 - p00) × (p10 - p00) = x × y = +z.
  const TPoint3D p00{0, 0, 0}, p01{1, 0, 0}, p10{0, 1, 0};
  struct Case {
    TPoint3D eye;
    int side;
  };
  for (const Case& c : {Case{{0.5L, 0.5L, 10}, 1}, Case{{0.5L, 0.5L, -10}, 0}, Case{{60, 80, 1e-9L}, 1},
                        Case{{60, 80, 0}, 0}})
    EXPECT_EQ(CellSide(p00, p01, p10, c.eye), c.side);
  // Rows along x instead (a parametric plane x = t, y = u): the normal
  // points down, so an eye above sees side 0.
  EXPECT_EQ(CellSide(p00, p10, p01, {0.5L, 0.5L, 10}), 0);
  EXPECT_EQ(CellSide(p00, p10, p01, {0.5L, 0.5L, -10}), 1);
}

}  // namespace
}  // namespace kv
