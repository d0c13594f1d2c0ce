// The grid every drawing of a plane mapping starts with: two families of
// parametric lines (entry 0 the lines x = k, entry 1 the lines y = k), how
// their records are laid out, the view that frames the grid, and the box
// that holds the images of its nodes.
#pragma once

#include <cstdint>

#include "plotcore/model/equation.h"
#include "core/vector2d.h"

namespace kv {

inline constexpr int kMaxGridDivisions = 200;
// Private variables of the grid families: the curve parameter and the
// family parameter, so that the user's own T and K keep their values.
inline constexpr int kGridCurveVariable = 27;
inline constexpr int kGridFamilyVariable = 28;

struct TMapGrid {
  long double xmin = -5;
  long double ymin = -5;
  long double xmax = 5;
  long double ymax = 5;
  std::int32_t nx = 10;
  std::int32_t ny = 10;
  friend bool operator==(const TMapGrid&, const TMapGrid&) = default;
};

// Division counts within 1..200 and both ranges at least 1e-13 wide.
bool IsUsableGrid(const TMapGrid& g);
// The grid when it is usable, else -5..5 x -5..5 with 10 x 10 divisions.
TMapGrid UsableGrid(const TMapGrid& g);

// A grid family: kind 203 kept out of the inventory list (field 26 = -1).
bool IsGridFamily(const TEquation& e);
// Entry `which` (0: lines x = k, 1: lines y = k) as a fresh grid family:
// kind 203, density 50, its colour, visible, a family in the private
// variables with the texts "k", "t" (or "t", "k"), and the grid's ranges
// and divisions.  The trees are the window's to compile.
void InitGridFamily(TEquation& e, int which, const TMapGrid& g, int colour);
// Ranges and divisions of the grid into both families.
void SetGridRanges(TEquation& linesX, TEquation& linesY, const TMapGrid& g);
// The grid the two families draw.
TMapGrid GridOfFamilies(const TEquation& linesX, const TEquation& linesY);

// A view by centre and half-extents.
struct TViewBox {
  long double cx = 0;
  long double cy = 0;
  long double hx = 1;
  long double hy = 1;
};
// Centred on the box with half-extents 0.53 of its width and height (a
// size below 1e-13 counts as 1): 3 % room on every side.
TViewBox ViewAroundBox(const TSegment2D& box);

// The box of the images of the (nx + 1)(ny + 1) nodes of the rectangle;
// nodes without an image are left out.  False when no node has one.
template <class MapPoint>
bool GridImageBox(const TSegment2D& rect, int nx, int ny, MapPoint&& map, TSegment2D& box) {
  if (nx < 1 || ny < 1) return false;
  const long double dx = (rect.xmax - rect.xmin) / nx;
  const long double dy = (rect.ymax - rect.ymin) / ny;
  bool any = false;
  TSegment2D b;
  for (int i = 0; i <= nx; ++i) {
    for (int j = 0; j <= ny; ++j) {
      TPoint2D p{rect.xmin + i * dx, rect.ymin + j * dy};
      if (!map(p)) continue;
      if (!any) {
        b = {p.x, p.x, p.y, p.y};
        any = true;
        continue;
      }
      if (p.x < b.xmin) b.xmin = p.x;
      if (p.x > b.xmax) b.xmax = p.x;
      if (p.y < b.ymin) b.ymin = p.y;
      if (p.y > b.ymax) b.ymax = p.y;
    }
  }
  if (any) box = b;
  return any;
}

}  // namespace kv
