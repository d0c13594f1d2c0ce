// The geometry of segments (kind 205) and lines a·x + b·y = c (kind 208):
// a line's stretch across the view, what the drawers record in the entry,
// and the points of a segment drawn through a mapping.
#pragma once

#include "core/vector2d.h"
#include "plotcore/model/equation.h"

namespace kv {

// A distance from the origin that puts both ends of a line outside the
// view: |xmin| + |xmax| + |ymin| + |ymax|.
long double LineReach(const TSegment2D& view);

// The ends of a·x + b·y = c at distance about r: at y = ±r when |a| > 1e-16,
// else at x = ±r when |b| > 1e-16; false when a and b are both zero or a
// coefficient is not finite.
bool LineEnds(long double a, long double b, long double c, long double r, TPoint2D& p1, TPoint2D& p2);

// The rectangle shrunk by the size of one pixel on every side.
TSegment2D ShrinkByPixel(const TSegment2D& view, long double unitsPerPixelX, long double unitsPerPixelY);

// The bounds of the drawn piece p1-p2 into lowerBound and upperBound (each
// maximum as the sum of both coordinates less the minimum).
void StoreDrawnBox(TEquation& e, const TPoint2D& p1, const TPoint2D& p2);

// A segment's world point k of 0..kMappedSegmentSteps: a at 0, b at the
// end, evenly spaced between (accumulated as the drawer steps).
inline constexpr int kMappedSegmentSteps = 100;
TPoint2D MappedSegmentPoint(const TPoint2D& a, const TPoint2D& b, int k);

}  // namespace kv
