// The complex value of the formula engine: tree nodes, variables, parameter
// tables and tokens hold it.  Real part then imaginary part, both long
// double; the file image is 20 bytes (two 10-byte extended values), the same
// as a plane point, so the plane functions read a TComplex as (x, y).
#pragma once

#include "core/binary_stream.h"
#include "core/vector2d.h"

namespace kv {

struct TComplex {
  long double re = 0;
  long double im = 0;

  constexpr TComplex() = default;
  // A real value converts implicitly: SetVariable(i, 2.5) and the like.
  constexpr TComplex(long double real, long double imaginary = 0) : re(real), im(imaginary) {}
  constexpr explicit TComplex(const TPoint2D& p) : re(p.x), im(p.y) {}
  constexpr TPoint2D ToPoint() const { return TPoint2D{re, im}; }

  // Exactly real: the imaginary part is +0 or -0.
  constexpr bool IsReal() const { return im == 0; }

  friend constexpr bool operator==(const TComplex&, const TComplex&) = default;
};

// 20 bytes: the real part, then the imaginary part.
void WriteComplex(ByteWriter& w, const TComplex& z);
TComplex ReadComplex(ByteReader& r);

}  // namespace kv
