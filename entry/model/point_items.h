// Points (kinds 209 and 309) and point sequences (kind 215: the points of a
// curve at a list of parameter values): which values are drawn and where
// their points lie.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "core/vector3d.h"
#include "formula/formula_engine.h"
#include "plotcore/model/equation.h"

namespace kv {

// The kind whose formulas give the points: a sequence's curve kind (kept in
// its sub-value), else the entry's own.
int PointItemKind(const TEquation& e);

// How many points the entry has: 1 for a point, the count of listed values
// a sequence holds (never more than its value buffer).
int PointItemCount(const TEquation& e);

// The letter a sequence's values are given to (its stored letter 1..26 from
// A, else X for an explicit curve and T for the others); 0 for a point.
int PointItemLetter(const TEquation& e);

// Whether a sequence's value k lies within the curve's parameter bounds
// (kept in the fifth value block); always true for points and for bounds
// that were never set (equal ends).
bool PointSampleInBounds(const TEquation& e, int k);

// Point k of the entry: a sequence sets its running letter to value k
// first.  Curves 202, 203, 209, 304 and 309 give x and y by formulas 0 and
// 1 (a point entered as one complex number by the real and imaginary part
// of formula 0); an explicit curve gives y by formula 1 at x = the value;
// 304 and 309 give z by formula 2.  A plane point entered in polar form and
// a space point in cylindrical (system 1) or spherical (2) form are turned
// into Cartesian coordinates.  The point is also stored in the entry (its
// fifth value block).  False where a formula is undefined.
bool EvaluatePointItem(TEquation& e, TFormulaEngine& engine, int k, TPoint3D& p);

// ---- the guide lines a point shows ----
// Its variable-role word is the guide-line code: six base-4 digits, the
// lowest first, digit k the look of guide piece k (0 none, 1 solid, 2
// dashed, 3 thick).  As text it is shown as those digits, the lowest first
// and without trailing zeros.  It is read back from digits, or from role
// letters: X, Y, Z, R, T and P name pieces 0 to 5 (the lines that show a
// coordinate x, y, z, the radius r and the angles t and p), each drawn
// solid; "/" separates groups of letters.  0 and the code, or 1 for a text
// of another form.
std::string FormatVariableRoles(std::int16_t code);
int ParseVariableRoles(std::string_view text, std::int16_t& code);

// The roles of a point written before points kept a role word: its
// coordinate letters "XY" (in space "XYZ"), and for a point given in polar
// (in space cylindrical or spherical) coordinates "/" and "RT" ("RTP").
std::string OlderPointRoles(const TEquation& e);

}  // namespace kv
