// Where the equation labels of a plot stand on a device.  A new label is
// put one text line below the one before it; the text line is the device's
// (a printer's font is larger against the drawing than the screen's, a TeX
// picture sets its texts in the document's font), so the stack is laid out
// anew for each device from the line height of the font it draws in.
#pragma once

#include <vector>

#include "core/vector2d.h"
#include "plotcore/model/equation.h"

namespace kv {

struct TLabelStacking {
  TSegment2D plotted;           // the plotted rectangle, world
  long double lineHeight = 0;   // one text line, world y units
  long double insetX = 0;       // a stack starts this far right of the rectangle's left edge
  long double insetY = 0;       // and this far below its top edge (world units)
};

// The stacking of a device whose text line is linePixels of its pixels of
// unitsPerPixelX by unitsPerPixelY world units: a stack starts half a line
// right of the plotted rectangle's left edge and a quarter line below its
// top (8 and 4 pixels for a line of 16).
TLabelStacking LabelStackingForLine(const TSegment2D& plotted, long double linePixels, long double unitsPerPixelX,
                                    long double unitsPerPixelY);

// The top-left corner (world) of each label, hidden ones included so that
// showing or hiding one moves no other.  A label whose anchor lies at the x
// of the one before it and below it (as new labels are put) stands one line
// below that label's place; any other label stands at its anchor, moved
// inside the plotted rectangle when the anchor lies left of it or above it.
std::vector<TPoint2D> StackEquationLabels(const std::vector<TEquationLabel>& labels, const TLabelStacking& s);

}  // namespace kv
