// The arithmetic of a plot window with logarithmic axes, free of any
// window: which axes are logarithmic, where a value lies on such an axis
// and the value range a plotted rectangle covers (plotcore's log_scale.h,
// which the plot layers share), the positions of the grid lines, the view that leaves room for the axis numbers around the plotted
// rectangle, and velocities carried onto logarithmic axes.
//
// On a logarithmic axis the world coordinate is the decimal exponent of
// the value: the decade from 10^d to 10^(d+1) has world length 1.
#pragma once

#include <cstdint>
#include <vector>

#include "core/vector2d.h"
#include "plotcore/model/log_scale.h"

namespace kv {

// Window types: 1 "(log x ; y)", 2 "(x ; log y)", 3 "(log x ; log y)".
inline bool IsLogX(int type) { return type == 1 || type == 3; }
inline bool IsLogY(int type) { return type == 2 || type == 3; }

// The nearest integer, an exact half toward zero.
std::int32_t NearestDecade(long double v);

// Grid lines of a logarithmic axis over the plotted range lo..hi: for
// every d from nearest(lo) up to nearest(hi) - 1 and k = 1..10 the line
// at d + log10 k (k = 10 of one decade meets k = 1 of the next).
std::vector<long double> DecadeLines(long double lo, long double hi);

// Grid lines of a linear axis: origin + i * spacing for i from `first` up
// to 0 (only when first < 0) and from 0 up to `last`; a line with
// position + 1e-13 <= lo is left out.
std::vector<long double> LinearLines(long double origin, long double spacing, int first, int last, long double lo);

// Sizes in pixels of the axis numbers beside the plotted rectangle: the
// wider of the y numbers at its top and bottom, the height of a number
// and half the width of the x number at its right end.
struct TAxisNumberExtents {
  int yNumberWidth = 0;
  int numberHeight = 0;
  int halfXNumberWidth = 0;
};

// The view around the plotted rectangle that leaves 1.3 times the number
// sizes free on each side, in a client of the given size (the top a little
// less: its denominator adds the margins' pixels).  Margins never
// take more than three quarters of a small client, so the view stays the
// right way round.
TSegment2D ViewAroundPlot(const TSegment2D& plotted, int clientWidth, int clientHeight, const TAxisNumberExtents& t);

}  // namespace kv
