// Points and vectors of the plane in extended precision, the four-value
// rectangle record and the two pen descriptions, with their file images.
//
// Comparisons against the tolerance 1e-16 are strict, and a NaN fails every
// comparison; each function says what that means for it.  Nothing here
// allocates: these run in the inner loops of sampling, drawing and export.
#pragma once

#include <cstdint>

#include "core/binary_stream.h"

namespace kv {

// A point of the plane; also the layout of a complex value (real part in x,
// imaginary part in y).  Arrays of it start as zeros.  File image: 20 bytes,
// x then y as 10-byte extended values.
struct TPoint2D {
  long double x = 0;
  long double y = 0;
  friend bool operator==(const TPoint2D&, const TPoint2D&) = default;
};

// Four long doubles in the order given; used as a world rectangle it holds
// xmin, xmax, ymin, ymax.  File image: 40 bytes.
struct TSegment2D {
  long double xmin = 0;
  long double xmax = 0;
  long double ymin = 0;
  long double ymax = 0;
  friend bool operator==(const TSegment2D&, const TSegment2D&) = default;
};

// A pen as an index into the colour table.  File image: 6 bytes, u16 colour
// index, u16 width, u16 line-style code.
struct TPenSpec {
  std::uint16_t colour = 0;
  std::uint16_t width = 0;
  std::uint16_t style = 0;
  friend bool operator==(const TPenSpec&, const TPenSpec&) = default;
};

// A pen with its RGB colour (0x00BBGGRR).  File image: 8 bytes, u32 colour,
// u16 width, u16 style.  A plain black stroke of width 1 is {0, 1, 0}.
struct TRgbPenSpec {
  std::uint32_t colour = 0;
  std::uint16_t width = 0;
  std::uint16_t style = 0;
  friend bool operator==(const TRgbPenSpec&, const TRgbPenSpec&) = default;
};

long double Dot2D(const TPoint2D& a, const TPoint2D& b);
// Positive when b lies counter-clockwise of a.
long double Cross2D(const TPoint2D& a, const TPoint2D& b);
// 0 when the squared distance is below 1e-16 (points closer than 1e-8).
long double Distance2D(const TPoint2D& a, const TPoint2D& b);
long double TaxicabDistance2D(const TPoint2D& a, const TPoint2D& b);
// out = the midpoint of a and b (out may be a or b); returns out.
TPoint2D& Midpoint2D(TPoint2D& out, const TPoint2D& a, const TPoint2D& b);
// Turns p counter-clockwise by angle (radians); no guard on the angle.
void Rotate2D(TPoint2D& p, long double angle);
// Scales p to length 1.  A squared length below 1e-16 leaves p unchanged and
// returns false.  A NaN vector is not refused (it stays NaN).
bool Normalize2D(TPoint2D& p);
// Normalize2D, then times length; false and p unchanged when refused.
bool ScaleToLength2D(TPoint2D& p, long double length);
// Magnitude class of |x| + |y|: 1 below ExpMinus5000, 2 below 1e-16, 5 above
// ExpPlus5000, 4 above Exp42, else 3 (NaN included).
int ClassifyVector2D(const TPoint2D& p);
// out = (r cos angle, r sin angle) when |angle| <= 5e18; otherwise, a NaN
// angle included, out = (0, 0) and false.
bool PolarToCartesian(long double r, long double angle, TPoint2D& out);
// PolarToCartesian(p.x, p.y, p): a refused point becomes (0, 0).
bool PolarToCartesianInPlace(TPoint2D& p);
// The same conversion, but a refused point is left unchanged.
bool PolarToCartesian2D(TPoint2D& p);
// Angle of (x, y) in (-π, π]; for |x| < 1e-16 it is +π/2, or -π/2 when
// y < 0 (so (0, 0) gives +π/2).  The negative x axis gives +π, also for
// y = -0.  NaN in, NaN out.
long double PolarAngle(const TPoint2D& p);
// Signed angle at centre from p to q, in (-π, π]: positive when q lies
// counter-clockwise of p.  0 when either arm is (nearly) zero; +π for
// opposite arms whatever the orientation.  NaN in, NaN out.
long double SignedAngle2D(const TPoint2D& p, const TPoint2D& centre, const TPoint2D& q);
// Foot of the perpendicular from p onto the line through a and b, and its
// parameter t (0 at a, 1 at b, not clamped).  When a and b coincide (squared
// distance below 1e-16) returns false and writes neither foot nor t.
bool ProjectPointOnLine2D(const TPoint2D& p, const TPoint2D& a, const TPoint2D& b, TPoint2D& foot,
                          long double& t);
// Whether the complex value z (x real, y imaginary) is a whole real number
// within 1e-9 and inside the 32-bit range; n = RoundToInt(real part) is
// always written.
bool IsWholeRealNumber(const TPoint2D& z, std::int32_t& n);
bool IsWholeRealNumber(long double re, long double im, std::int32_t& n);
// Grows the box lo..hi to take in p; four independent tests, so a first point
// entered into an "inverted" box sets both corners.  Whether anything changed.
bool ExtendBox2D(TPoint2D& lo, const TPoint2D& p, TPoint2D& hi);
// Inclusive bounds; a NaN coordinate or bound gives false.
bool PointInBox2D(const TPoint2D& p, long double xmin, long double xmax, long double ymin,
                  long double ymax);
void SetTriple16(TPenSpec& record, std::uint16_t colour, std::uint16_t width, std::uint16_t style);
void SetTriple32x16x16(TRgbPenSpec& record, std::uint32_t colour, std::uint16_t width,
                       std::uint16_t style);

// ---- file images ----
void WritePoint2D(ByteWriter& w, const TPoint2D& p);
TPoint2D ReadPoint2D(ByteReader& r);
void WriteSegment2D(ByteWriter& w, const TSegment2D& s);
TSegment2D ReadSegment2D(ByteReader& r);
void WritePenSpec(ByteWriter& w, const TPenSpec& pen);
TPenSpec ReadPenSpec(ByteReader& r);
void WriteRgbPenSpec(ByteWriter& w, const TRgbPenSpec& pen);
TRgbPenSpec ReadRgbPenSpec(ByteReader& r);

}  // namespace kv
