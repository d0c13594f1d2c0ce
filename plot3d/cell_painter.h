// The depth order of the painted surface cells: the cell table of one
// drawing pass, its heap sort by the distance from the eye, and the side of
// a cell the eye looks at.
#pragma once

#include <cstdint>
#include <vector>

#include "core/vector3d.h"

namespace kv {

// One cell of a surface grid: the equation, the cell's row (u step) and
// column (v step), and the distance of its centre from the eye.
struct TSurfaceCell {
  std::int16_t equation = 0;
  std::int16_t row = 0;
  std::int16_t column = 0;
  long double depth = 0;
};

// Heap sort of cells[1..n] by depth, nearest first; position 0 holds no
// cell.  Cells of equal depth keep no particular order.
void SortCellsByDepth(std::vector<TSurfaceCell>& cells, int n);
// One sift-down step of the heap over positions k..n.
void SiftDownCell(std::vector<TSurfaceCell>& cells, int k, int n);

// 1 when the eye lies on the side of the normal (p01 - p00) × (p10 - p00),
// p01 the next point of the cell's grid row and p10 the point of the next
// row; else 0.
std::uint8_t CellSide(const TPoint3D& p00, const TPoint3D& p01, const TPoint3D& p10, const TPoint3D& eye);

}  // namespace kv
