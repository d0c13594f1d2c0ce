// Shading of regions above, below or between explicit graphs, and the
// inequalities of implicit entries: which rows of a pixel column a shade
// record covers, the hatch patterns, and whether a point satisfies an
// inequality.  The plot window draws the pixels and throws the darts.
#pragma once

#include "core/vector2d.h"
#include "formula/formula_engine.h"
#include "plotcore/model/equation.h"

namespace kv {

// Hatch patterns 0..8 of the shading records: the six hatch styles, then
// horizontal, vertical and crossed lines at twice the spacing.
inline constexpr int kHatchPatterns = 9;
// Pixel spacing of the hatch lines.
inline constexpr int kHatchSpacing = 8;
// Whether pixel (x, y) of a hatch pattern is drawn.
bool HatchPixel(int pattern, int x, int y);

// The drawing area of a window in pixels and the view it shows.
struct TShadeArea {
  TSegment2D world{-5, 5, -5, 5};
  long double pixelsPerUnitX = 50;
  long double pixelsPerUnitY = 50;
  int originX = 0;
  int originY = 0;
  int width = 0;
  int height = 0;
};

// Letters 1..23 tied to the ends copy their current value into from / to.
void RefreshBoundShading(const TFormulaEngine& engine, TShadeRecord& s);
// The value of an explicit entry at x; false where undefined or for an
// entry of another kind.
bool GraphValue(TFormulaEngine& engine, TEquation& e, long double x, long double& y);
// The y range of the record at x: between graph a and graph b, or from a to
// the top (kShadeAbove) or bottom (kShadeBelow) of the view, whose b is
// null.  False where it has none.
bool ShadeSpan(TFormulaEngine& engine, const TShadeRecord& s, TEquation& a, TEquation* b, const TSegment2D& world,
               long double x, long double& yLow, long double& yHigh);
// The x range of a record on the screen: the view, cut to its interval.
bool ShadeColumns(const TShadeArea& area, const TShadeRecord& s, int& first, int& last);
// The rows of a y span: the first row at or below yHigh to the last at or
// above yLow, within the drawing area; false when the span lies wholly
// outside it.
bool ShadeRows(const TShadeArea& area, long double yLow, long double yHigh, int& top, int& bottom);

// An implicit entry drawn as an inequality (F > 0, or F < 0 with a
// positive sub-kind).
bool IsInequality(const TEquation& e);
// Whether (x, y) satisfies the inequality; `space`: a space window.
bool SatisfiesInequality(TFormulaEngine& engine, TEquation& e, long double x, long double y, bool space);

}  // namespace kv
