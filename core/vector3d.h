// Points and vectors of space in extended precision, the companion of the
// plane library (same tolerance 1e-16, same angle guard 5e18, strict
// comparisons, NaN failing every comparison).
#pragma once

#include "core/binary_stream.h"

namespace kv {

// A point of space; arrays of it start as zeros.  File image: 30 bytes, x, y
// and z as 10-byte extended values.
struct TPoint3D {
  long double x = 0;
  long double y = 0;
  long double z = 0;
  friend bool operator==(const TPoint3D&, const TPoint3D&) = default;
};

long double Dot3D(const TPoint3D& a, const TPoint3D& b);
// out = a x b (out may be a or b); returns out.
TPoint3D& Cross3D(TPoint3D& out, const TPoint3D& a, const TPoint3D& b);
// a . (b x c), the determinant with rows a, b, c.
long double TripleProduct3D(const TPoint3D& a, const TPoint3D& b, const TPoint3D& c);
// Plain Euclidean distance, no tolerance.
long double Distance3D(const TPoint3D& a, const TPoint3D& b);
long double TaxicabDistance3D(const TPoint3D& a, const TPoint3D& b);
// out = (a + b) / 2 (out may be a or b); returns out.
TPoint3D& Midpoint3D(TPoint3D& out, const TPoint3D& a, const TPoint3D& b);
// out = a, then every component of b above (below) out's replaces it; a NaN
// component of a therefore stays.
void Max3D(const TPoint3D& a, const TPoint3D& b, TPoint3D& out);
void Min3D(const TPoint3D& a, const TPoint3D& b, TPoint3D& out);
// Grows the box lo..hi to take in p with six independent tests.
void ExtendBox3D(TPoint3D& lo, const TPoint3D& p, TPoint3D& hi);
// Scales p to length 1; a length (not its square) below 1e-16 leaves p
// unchanged and returns false.
bool Normalize3D(TPoint3D& p);
// Normalize3D, then times length; false and p unchanged when refused.
bool ScaleToLength3D(TPoint3D& p, long double length);
// Divides p by its smallest component magnitude above 1e-16 (the earlier
// component on ties), so that component becomes +1 or -1; unchanged when no
// component is above 1e-16.
void NormalizeBySmallestComponent3D(TPoint3D& p);
// p holds (r, phi, theta), phi in the xy-plane from +x, theta from +z.  When
// both angles are within 5e18, p becomes (r sin θ cos φ, r sin θ sin φ,
// r cos θ) and true; otherwise (NaN included) p is unchanged and false.
bool SphericalToCartesian3D(TPoint3D& p);
// Normal of the plane through p0, p1, p2 with p1 as the corner: out =
// (p2 - p1) x (p0 - p1), of unit length when normalise is set.  For collinear
// or coincident points returns false with out a unit vector perpendicular to
// p0 - p1 in the xy-plane, or (1, 0, 0) when p0 - p1 has no xy part.
bool UnitNormal3D(const TPoint3D& p0, const TPoint3D& p1, const TPoint3D& p2, TPoint3D& out,
                  bool normalise);
// Two vectors perpendicular to n: u = (-n.y, n.x, 0), or (1, 0, 0) when n
// has no xy part, and v = n x u; with scale set both are scaled to the length
// of n (each left alone when it is near zero).
void PerpendicularPair3D(const TPoint3D& n, TPoint3D& u, TPoint3D& v, bool scale);

// ---- file images ----
void WritePoint3D(ByteWriter& w, const TPoint3D& p);
TPoint3D ReadPoint3D(ByteReader& r);

}  // namespace kv
