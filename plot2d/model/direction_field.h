// Direction fields of the differential equations (kind 210: x' = f(x, y),
// y' = g(x, y); kind 211: dy/dx = f(x, y)): the grid of points, square on the
// screen and symmetric about an anchor, and the short segment or arrow drawn
// at each point.
#pragma once

#include <cstdint>

#include "core/vector2d.h"
#include "formula/formula_engine.h"
#include "plotcore/model/equation.h"

namespace kv {

// The element length of the entry in tenths of a percent of the window
// width: its stored length, or round(10 v) of the parameter that drives it
// (field-length parameter 1..24, value v); kept within 0..100000.
int FieldLengthTenths(const TEquation& e, const TFormulaEngine& engine);

// The world length of one element: tenths x windowWidth x 0.001 world
// units per pixel, halved for direction segments (they reach that far to
// both sides of their point).
long double FieldElementLength(int tenths, int windowWidth, long double unitsPerPixelX, int fieldMode);

struct TFieldGrid {
  TPoint2D anchor;      // the grid is symmetric about it
  TPoint2D lower;       // the box the points fill
  TPoint2D upper;
  long double rowStep = 0;     // world height of a row
  long double columnStep = 0;  // world width of a column
};

// The grid of `rows` rows over the box, its columns as wide on the screen
// as the rows are high (halfX, halfY: the view's half-extents; width and
// height: the drawing area in pixels).  Rows are taken within 1..1000.
TFieldGrid FieldGrid(const TPoint2D& anchor, const TPoint2D& lower, const TPoint2D& upper, int rows,
                     long double halfX, long double halfY, int width, int height);

// Visits the grid column by column from the anchor outwards: in each column
// every row from the anchor down, each at its four mirror images (x, y),
// (2a.x - x, y), (2a.x - x, 2a.y - y), (x, 2a.y - y), so the anchor's row and
// column are visited twice.  After each column `columnDone` is asked
// whether to stop; the count of columns walked is returned.  Steps that are
// not positive walk nothing.
template <class Point, class ColumnDone>
int ForEachFieldPoint(const TFieldGrid& g, Point point, ColumnDone columnDone) {
  if (!(g.rowStep > 0) || !(g.columnStep > 0)) return 0;
  const TPoint2D a = g.anchor;
  int columns = 0;
  for (long double x = a.x; g.lower.x < x; x -= g.columnStep) {
    for (long double y = a.y; g.lower.y < y; y -= g.rowStep) {
      point(TPoint2D{x, y});
      point(TPoint2D{2 * a.x - x, y});
      point(TPoint2D{2 * a.x - x, 2 * a.y - y});
      point(TPoint2D{x, 2 * a.y - y});
    }
    ++columns;
    if (columnDone()) break;
  }
  return columns;
}

// The direction of the entry at p: kind 211 (1, f) scaled to length 1 (left
// as it is when shorter than 1e-8), other kinds (slot 0, slot 1).  False
// where a formula is undefined.
bool FieldDirection(TEquation& e, TFormulaEngine& engine, const TPoint2D& p, TPoint2D& d);

// Whether a restricted system (kind 210 with "Einschränkung") shows an
// element at p: its restriction (slot 3) is defined and at least 1e-16.
bool FieldRestrictionHolds(TEquation& e, TFormulaEngine& engine, const TPoint2D& p);

struct TFieldElementSettings {
  TSegment2D view{-5, 5, -5, 5};
  int viewMode = 0;            // 0 fixed aspect, 1 free rectangle
  long double aspect = 1;      // of a free rectangle
  long double elementLength = 0.2L;
  int fieldMode = 1;           // 1 direction segments, other values arrows
};

enum class TFieldElementKind { None, Segment, Arrow };
struct TFieldElement {
  TFieldElementKind kind = TFieldElementKind::None;
  TPoint2D from;
  TPoint2D to;
  long double head = 0;  // arrow-head length (arrows)
};

// The element at p in direction d: a segment B-A centred on p (an end that
// leaves the view is pulled back to p), or an arrow from p to p + d with a
// head of 0.3 element lengths, drawn only when its tip lies in the view.
// Nothing where d is shorter than 1e-13 as the view measures it.
TFieldElement FieldElement(const TPoint2D& p, TPoint2D d, const TFieldElementSettings& s);

}  // namespace kv
