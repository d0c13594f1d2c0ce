// Plane vector library.  The decimal constants are the double values of the
// decimals widened to long double, and π is the double π widened: results
// must match those computed with exactly these values.
#include "core/vector2d.h"

#include <cmath>

#include "core/constants.h"
#include "core/number_text.h"

namespace kv {

namespace {
constexpr long double kWholeTolerance = 1e-9;
constexpr long double kAlmostOne = 0.9999999999999;  // 1 - 1e-13
constexpr long double kIntMax = 2147483647.0L;
}  // namespace

long double Dot2D(const TPoint2D& a, const TPoint2D& b) { return a.x * b.x + a.y * b.y; }

long double Cross2D(const TPoint2D& a, const TPoint2D& b) { return a.x * b.y - a.y * b.x; }

long double Distance2D(const TPoint2D& a, const TPoint2D& b) {
  const long double dx = b.x - a.x;
  const long double dy = b.y - a.y;
  const long double q = dx * dx + dy * dy;
  if (q < kTolerance) return 0;
  return std::sqrt(q);
}

long double TaxicabDistance2D(const TPoint2D& a, const TPoint2D& b) {
  return std::fabs(a.x - b.x) + std::fabs(a.y - b.y);
}

TPoint2D& Midpoint2D(TPoint2D& out, const TPoint2D& a, const TPoint2D& b) {
  const TPoint2D m{(a.x + b.x) * 0.5L, (a.y + b.y) * 0.5L};
  out = m;
  return out;
}

void Rotate2D(TPoint2D& p, long double angle) {
  const long double c = std::cos(angle);
  const long double s = std::sin(angle);
  const long double x = p.x * c - p.y * s;
  const long double y = p.x * s + p.y * c;
  p.x = x;
  p.y = y;
}

bool Normalize2D(TPoint2D& p) {
  const long double q = p.x * p.x + p.y * p.y;
  if (q < kTolerance) return false;
  const long double f = 1.0L / std::sqrt(q);
  p.x *= f;
  p.y *= f;
  return true;
}

bool ScaleToLength2D(TPoint2D& p, long double length) {
  if (!Normalize2D(p)) return false;
  p.x *= length;
  p.y *= length;
  return true;
}

int ClassifyVector2D(const TPoint2D& p) {
  const long double s = std::fabs(p.x) + std::fabs(p.y);
  if (s < ExpMinus5000) return 1;
  if (s < kTolerance) return 2;
  if (s > ExpPlus5000) return 5;
  if (s > Exp42) return 4;
  return 3;
}

bool PolarToCartesian(long double r, long double angle, TPoint2D& out) {
  if (std::fabs(angle) <= kAngleGuard) {
    out = TPoint2D{r * std::cos(angle), r * std::sin(angle)};
    return true;
  }
  out = kPlaneZero;
  return false;
}

bool PolarToCartesianInPlace(TPoint2D& p) { return PolarToCartesian(p.x, p.y, p); }

bool PolarToCartesian2D(TPoint2D& p) {
  if (!(std::fabs(p.y) <= kAngleGuard)) return false;
  return PolarToCartesian(p.x, p.y, p);
}

long double PolarAngle(const TPoint2D& p) {
  if (std::fabs(p.x) < kTolerance) return p.y < 0 ? -HalfPi : HalfPi;
  const long double a = std::atan(p.y / p.x);
  if (p.x < 0) return p.y >= 0 ? a + Pi : a - Pi;
  return a;
}

long double SignedAngle2D(const TPoint2D& p, const TPoint2D& centre, const TPoint2D& q) {
  const TPoint2D u{p.x - centre.x, p.y - centre.y};
  const TPoint2D v{q.x - centre.x, q.y - centre.y};
  const long double m = Dot2D(u, u) * Dot2D(v, v);
  if (m < kTolerance) return 0;
  const long double c = Dot2D(u, v) / std::sqrt(m);
  if (c < -kAlmostOne) return Pi;
  if (c > kAlmostOne) return 0;
  const long double s = std::sqrt(1.0L - c * c);
  long double a;
  if (std::fabs(c) <= kTolerance) {
    a = HalfPi;
  } else {
    a = std::atan(s / c);
    if (a < 0) a += Pi;
  }
  return Cross2D(u, v) < 0 ? -a : a;
}

bool ProjectPointOnLine2D(const TPoint2D& p, const TPoint2D& a, const TPoint2D& b, TPoint2D& foot,
                          long double& t) {
  const TPoint2D d{b.x - a.x, b.y - a.y};
  const long double q = Dot2D(d, d);
  if (q < kTolerance) return false;
  const long double tt = Dot2D(TPoint2D{p.x - a.x, p.y - a.y}, d) / q;
  const TPoint2D f{a.x + tt * d.x, a.y + tt * d.y};
  t = tt;
  foot = f;
  return true;
}

bool IsWholeRealNumber(long double re, long double im, std::int32_t& n) {
  n = RoundToInt(re);
  return std::fabs(re) < kIntMax && std::fabs(static_cast<long double>(n) - re) < kWholeTolerance &&
         std::fabs(im) < kWholeTolerance;
}

bool IsWholeRealNumber(const TPoint2D& z, std::int32_t& n) { return IsWholeRealNumber(z.x, z.y, n); }

bool ExtendBox2D(TPoint2D& lo, const TPoint2D& p, TPoint2D& hi) {
  bool changed = false;
  if (p.x < lo.x) {
    lo.x = p.x;
    changed = true;
  }
  if (p.x > hi.x) {
    hi.x = p.x;
    changed = true;
  }
  if (p.y < lo.y) {
    lo.y = p.y;
    changed = true;
  }
  if (p.y > hi.y) {
    hi.y = p.y;
    changed = true;
  }
  return changed;
}

bool PointInBox2D(const TPoint2D& p, long double xmin, long double xmax, long double ymin,
                  long double ymax) {
  // Written as four "inside" tests so that a NaN anywhere answers false.
  return xmin <= p.x && p.x <= xmax && ymin <= p.y && p.y <= ymax;
}

void SetTriple16(TPenSpec& record, std::uint16_t colour, std::uint16_t width, std::uint16_t style) {
  record = TPenSpec{colour, width, style};
}

void SetTriple32x16x16(TRgbPenSpec& record, std::uint32_t colour, std::uint16_t width,
                       std::uint16_t style) {
  record = TRgbPenSpec{colour, width, style};
}

// ---- file images ----

void WritePoint2D(ByteWriter& w, const TPoint2D& p) {
  w.LongDouble(p.x);
  w.LongDouble(p.y);
}

TPoint2D ReadPoint2D(ByteReader& r) {
  TPoint2D p;
  p.x = r.LongDouble();
  p.y = r.LongDouble();
  return p;
}

void WriteSegment2D(ByteWriter& w, const TSegment2D& s) {
  w.LongDouble(s.xmin);
  w.LongDouble(s.xmax);
  w.LongDouble(s.ymin);
  w.LongDouble(s.ymax);
}

TSegment2D ReadSegment2D(ByteReader& r) {
  TSegment2D s;
  s.xmin = r.LongDouble();
  s.xmax = r.LongDouble();
  s.ymin = r.LongDouble();
  s.ymax = r.LongDouble();
  return s;
}

void WritePenSpec(ByteWriter& w, const TPenSpec& pen) {
  w.U16(pen.colour);
  w.U16(pen.width);
  w.U16(pen.style);
}

TPenSpec ReadPenSpec(ByteReader& r) {
  TPenSpec pen;
  pen.colour = r.U16();
  pen.width = r.U16();
  pen.style = r.U16();
  return pen;
}

void WriteRgbPenSpec(ByteWriter& w, const TRgbPenSpec& pen) {
  w.U32(pen.colour);
  w.U16(pen.width);
  w.U16(pen.style);
}

TRgbPenSpec ReadRgbPenSpec(ByteReader& r) {
  TRgbPenSpec pen;
  pen.colour = r.U32();
  pen.width = r.U16();
  pen.style = r.U16();
  return pen;
}

}  // namespace kv
