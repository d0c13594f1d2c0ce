// The entries the slice dialog adds: the tangent plane of a surface at a
// point of its parameter domain ("Ebene", a plane entry, code 77) and the
// two tangent lines along the parameter directions ("Kreuz", two space
// curves, code 81).  They are kept as formula texts, so they are drawn,
// listed and saved like entered ones; a point bound to parameter letters
// follows those parameters.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "plotcore/model/equation.h"

namespace kv {

enum : std::int16_t {
  kDerivedSlicePlane = 77,  // 'M'
  kDerivedSliceCross = 81,  // 'Q'
};

// The texts of a slice entry of the source surface at the parameters
// (p, q): for the plane its normal (slots 0..2) and point ("x,y,z", slot
// 3); for the line of direction 1 or 2 the point plus t times the
// direction (slots 0..2).  A letter 1..26 takes the place of p (q) instead
// of its value.  The source's parameters: 301 x and y, 302 r and t, others
// t and u.  False when the source has no usable trees or a derivative or
// text cannot be formed.
bool BuildSliceTexts(const TEquation& source, int code, int direction, long double p, long double q, int letterP,
                     int letterQ, std::array<std::string, kFormulaSlots>& texts);

}  // namespace kv
