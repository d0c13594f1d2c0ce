// The two readouts of a plane mapping as plain text: the Jacobian at a
// point of the domain and the table of the images of all grid nodes, and
// the partial sums of a complex series.  They evaluate the mapping entry's
// compiled trees (tree 0 U or F, tree 1 V; trees 3..6 the partial
// derivatives of a real mapping, tree 4 F' of a complex one) with the
// engine they are given, which keeps the variables they set.
#pragma once

#include <string>
#include <vector>

#include "formula/complex.h"
#include "formula/formula_engine.h"
#include "planewin/model/mapping_grid.h"
#include "plotcore/model/equation.h"

namespace kv {

// How the readouts write numbers: the window's field width and decimals,
// and the text for a value that cannot be computed.
struct TReadoutFormat {
  int width = 7;
  int decimals = 5;
  std::string undefined = "?";
};

// A number in the format, padded to the field width.
std::string FormatReadoutNumber(long double v, const TReadoutFormat& f);
// A complex number as "a + bi" or "a - bi", both parts trimmed.
std::string FormatComplexNumber(const TComplex& z, const TReadoutFormat& f);

// The image of a point under a mapping entry (401 or 402); false where
// the mapping is undefined.
bool MapByEntry(TFormulaEngine& engine, const TEquation& mapping, const TPoint2D& p, TPoint2D& image);

// The Jacobian readout at (x, y), lines ended by CR LF, the last without.
// Real mapping: its formulas, the point, the four partial derivatives and
// their determinant; complex mapping: F, z, F'(z) and |F'(z)|.  Values that
// cannot be computed show the format's undefined text.
std::string JacobianText(TFormulaEngine& engine, const TEquation& mapping, const TPoint2D& p, const TReadoutFormat& f);

// The largest table the readout makes, in bytes by its size estimate.
inline constexpr long kMaxTableEstimate = 64000;
// The estimate (ny + 2) * 2 * (w + 4) * (nx + 2) of a table's size.
long TableSizeEstimate(int nx, int ny, int width);
// The table of the images of the grid nodes: a header line with the y
// values, then one line per x value with the cells "(a,b)".  False (and
// nothing written) when the estimate exceeds kMaxTableEstimate.
bool MappingTableText(TFormulaEngine& engine, const TEquation& mapping, const TMapGrid& grid, const TReadoutFormat& f,
                      std::string& out);

// The partial sums of the term (tree) in the index letter for n = first ..
// last, up to the first index where the term is undefined.
std::vector<TComplex> PartialSums(TFormulaEngine& engine, TExprNode* term, int letter, int first, int last);

}  // namespace kv
