#include "plot3d/cell_painter.h"

#include <utility>

namespace kv {

void SiftDownCell(std::vector<TSurfaceCell>& cells, int k, int n) {
  // The first child is always looked at, later ones only while a right
  // sibling may follow; the moving cell travels down with the swaps.
  int j = 2 * k;
  do {
    if (j < n && cells[static_cast<std::size_t>(j + 1)].depth > cells[static_cast<std::size_t>(j)].depth) ++j;
    if (cells[static_cast<std::size_t>(j)].depth > cells[static_cast<std::size_t>(k)].depth)
      std::swap(cells[static_cast<std::size_t>(j)], cells[static_cast<std::size_t>(k)]);
    k = j;
    j = 2 * k;
  } while (j < n);
}

void SortCellsByDepth(std::vector<TSurfaceCell>& cells, int n) {
  if (n < 2 || static_cast<int>(cells.size()) <= n) return;
  for (int k = n / 2; k >= 2; --k) SiftDownCell(cells, k, n);
  for (int m = n; m >= 2; --m) {
    SiftDownCell(cells, 1, m);
    std::swap(cells[1], cells[static_cast<std::size_t>(m)]);
  }
}

std::uint8_t CellSide(const TPoint3D& p00, const TPoint3D& p01, const TPoint3D& p10, const TPoint3D& eye) {
  const TPoint3D a{p01.x - p00.x, p01.y - p00.y, p01.z - p00.z};
  const TPoint3D b{p10.x - p00.x, p10.y - p00.y, p10.z - p00.z};
  const TPoint3D e{eye.x - p00.x, eye.y - p00.y, eye.z - p00.z};
  // (a × b) · e
  return TripleProduct3D(e, a, b) > 0 ? 1 : 0;
}

}  // namespace kv
