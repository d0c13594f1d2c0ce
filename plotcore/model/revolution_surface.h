// The surface of revolution (kind 307) as its record holds it: the curve
// that turns (its own four texts and its kind as sub-kind; a segment's
// polar form in kindFlag), the axis a x + b y = c in value block 4 (the
// equation dialog's fields "Achse a =", "b =", "c ="), and the curve range
// and angle range of revolution_sliders.h.  The surface itself is made from
// them whenever the entry is compiled, so that editing the curve in the
// equation dialog turns the new curve.
//
// Records written before the record held the curve carry the surface's own
// texts x(t, u), y(t, u), z(t, u) (for a turned implicit curve its implicit
// form in the fourth text) and compile them as they stand.  The two are
// told apart by value block 8: a record that holds the curve carries the
// form mark 1 in its first value, which those records never wrote.
#pragma once

#include "formula/formula_engine.h"
#include "plotcore/model/equation.h"

namespace kv {

// The line a x + b y = c a curve turns about.
struct TRevolutionAxis {
  long double a = 0;
  long double b = 1;
  long double c = 0;
};

// True for a record that holds the curve it turns (see above).
bool HoldsRevolvedCurve(const TEquation& e);

// The curve (201, 202, 203, 204 or 205) and the axis into the surface's
// record, with the form mark.  A turned implicit curve keeps its equation
// also in the fourth text, the one its surface is made from.
void StoreRevolvedCurve(TEquation& surface, const TEquation& curve, const TRevolutionAxis& axis);

TRevolutionAxis RevolutionAxisOf(const TEquation& e);
void SetRevolutionAxis(TEquation& e, const TRevolutionAxis& axis);

// The surface's trees from the curve the record holds: trees 0 to 2 the
// point x(t, u), y(t, u), z(t, u), with t running the curve's range (a
// segment from its first to its second end) and u the angle range, both
// over 0..1; for a turned implicit curve F(x, y) = 0 tree 3 the implicit
// surface G(x, y, z), zero where the point of the plane at the same foot
// on the axis and the same distance from it lies on the curve.  False, and
// no trees, when a text does not compile, the sub-kind has no rule or the
// axis has a = b = 0.
bool BuildRevolutionTrees(TEquation& e, TFormulaEngine& engine);

}  // namespace kv
