// Space vector library.
#include "core/vector3d.h"

#include <cmath>

#include "core/constants.h"

namespace kv {

long double Dot3D(const TPoint3D& a, const TPoint3D& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

TPoint3D& Cross3D(TPoint3D& out, const TPoint3D& a, const TPoint3D& b) {
  const TPoint3D c{a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
  out = c;
  return out;
}

long double TripleProduct3D(const TPoint3D& a, const TPoint3D& b, const TPoint3D& c) {
  return a.x * (b.y * c.z - b.z * c.y) - a.y * (b.x * c.z - b.z * c.x) + a.z * (b.x * c.y - b.y * c.x);
}

long double Distance3D(const TPoint3D& a, const TPoint3D& b) {
  const long double dx = b.x - a.x;
  const long double dy = b.y - a.y;
  const long double dz = b.z - a.z;
  return std::sqrt(dx * dx + dy * dy + dz * dz);
}

long double TaxicabDistance3D(const TPoint3D& a, const TPoint3D& b) {
  return std::fabs(a.x - b.x) + std::fabs(a.y - b.y) + std::fabs(a.z - b.z);
}

TPoint3D& Midpoint3D(TPoint3D& out, const TPoint3D& a, const TPoint3D& b) {
  const TPoint3D m{(a.x + b.x) * 0.5L, (a.y + b.y) * 0.5L, (a.z + b.z) * 0.5L};
  out = m;
  return out;
}

void Max3D(const TPoint3D& a, const TPoint3D& b, TPoint3D& out) {
  TPoint3D m = a;
  if (b.x > m.x) m.x = b.x;
  if (b.y > m.y) m.y = b.y;
  if (b.z > m.z) m.z = b.z;
  out = m;
}

void Min3D(const TPoint3D& a, const TPoint3D& b, TPoint3D& out) {
  TPoint3D m = a;
  if (b.x < m.x) m.x = b.x;
  if (b.y < m.y) m.y = b.y;
  if (b.z < m.z) m.z = b.z;
  out = m;
}

void ExtendBox3D(TPoint3D& lo, const TPoint3D& p, TPoint3D& hi) {
  if (p.x < lo.x) lo.x = p.x;
  if (p.x > hi.x) hi.x = p.x;
  if (p.y < lo.y) lo.y = p.y;
  if (p.y > hi.y) hi.y = p.y;
  if (p.z < lo.z) lo.z = p.z;
  if (p.z > hi.z) hi.z = p.z;
}

bool Normalize3D(TPoint3D& p) {
  const long double len = std::sqrt(Dot3D(p, p));
  if (len < kTolerance) return false;
  const long double f = 1.0L / len;
  p.x *= f;
  p.y *= f;
  p.z *= f;
  return true;
}

bool ScaleToLength3D(TPoint3D& p, long double length) {
  if (!Normalize3D(p)) return false;
  p.x *= length;
  p.y *= length;
  p.z *= length;
  return true;
}

void NormalizeBySmallestComponent3D(TPoint3D& p) {
  long double smallest = 0;
  bool found = false;
  for (const long double c : {p.x, p.y, p.z}) {
    const long double m = std::fabs(c);
    if (m > kTolerance && (!found || m < smallest)) {
      smallest = m;
      found = true;
    }
  }
  if (!found) return;
  const long double f = 1.0L / smallest;
  p.x *= f;
  p.y *= f;
  p.z *= f;
}

bool SphericalToCartesian3D(TPoint3D& p) {
  const long double r = p.x;
  const long double phi = p.y;
  const long double theta = p.z;
  if (!(std::fabs(phi) <= kAngleGuard) || !(std::fabs(theta) <= kAngleGuard)) return false;
  const long double rho = r * std::sin(theta);
  p = TPoint3D{rho * std::cos(phi), rho * std::sin(phi), r * std::cos(theta)};
  return true;
}

bool UnitNormal3D(const TPoint3D& p0, const TPoint3D& p1, const TPoint3D& p2, TPoint3D& out,
                  bool normalise) {
  const TPoint3D u{p0.x - p1.x, p0.y - p1.y, p0.z - p1.z};
  const TPoint3D v{p2.x - p1.x, p2.y - p1.y, p2.z - p1.z};
  TPoint3D n;
  Cross3D(n, v, u);
  TPoint3D unit = n;
  const bool ok = Normalize3D(unit);
  out = normalise ? unit : n;
  if (ok) return true;
  // Collinear or coincident points: any unit vector perpendicular to u.
  if (std::fabs(u.x) > kTolerance || std::fabs(u.y) > kTolerance) {
    out = TPoint3D{-u.y, u.x, 0};
    Normalize3D(out);
  } else {
    out = TPoint3D{1, 0, 0};
  }
  return false;
}

void PerpendicularPair3D(const TPoint3D& n, TPoint3D& u, TPoint3D& v, bool scale) {
  const TPoint3D normal = n;  // n may be one of the outputs
  if (std::fabs(normal.x) <= kTolerance && std::fabs(normal.y) <= kTolerance) {
    u = TPoint3D{1, 0, 0};
  } else {
    u = TPoint3D{-normal.y, normal.x, 0};
  }
  Cross3D(v, normal, u);
  if (scale) {
    const long double length = std::sqrt(Dot3D(normal, normal));
    ScaleToLength3D(u, length);
    ScaleToLength3D(v, length);
  }
}

// ---- file images ----

void WritePoint3D(ByteWriter& w, const TPoint3D& p) {
  w.LongDouble(p.x);
  w.LongDouble(p.y);
  w.LongDouble(p.z);
}

TPoint3D ReadPoint3D(ByteReader& r) {
  TPoint3D p;
  p.x = r.LongDouble();
  p.y = r.LongDouble();
  p.z = r.LongDouble();
  return p;
}

}  // namespace kv
