// Gamma, polygamma and the error function for complex arguments, and the
// polygamma functions for real ones.  Real gamma and erf come from the C
// library.  Each works by moving the argument to where an asymptotic series
// converges fast (|w| >= 20 and more), in long double throughout.
#include <cmath>
#include <complex>

#include "formula/kernels.h"

namespace kv::formula_detail {
namespace {

using Cx = std::complex<long double>;

// B_2 .. B_30, the Bernoulli numbers of even index.
constexpr long double kBernoulli[] = {
    1.0L / 6,           -1.0L / 30,          1.0L / 42,      -1.0L / 30,
    5.0L / 66,          -691.0L / 2730,      7.0L / 6,       -3617.0L / 510,
    43867.0L / 798,     -174611.0L / 330,    854513.0L / 138, -236364091.0L / 2730,
    8553103.0L / 6,     -23749461029.0L / 870, 8615841276005.0L / 14322,
};
constexpr int kBernoulliCount = sizeof(kBernoulli) / sizeof(kBernoulli[0]);

constexpr int kMaxPolygammaOrder = 60;
constexpr long double kMaxShift = 1e5;
constexpr long double kHalfLogTwoPi = 0.918938533204672741780329736405617639861L;

long double Magnitude(long double x) { return std::fabs(x); }
long double Magnitude(const Cx& z) { return std::abs(z); }
long double RealPart(long double x) { return x; }
long double RealPart(const Cx& z) { return z.real(); }
bool IsZero(long double x) { return x == 0; }
bool IsZero(const Cx& z) { return z.real() == 0 && z.imag() == 0; }
long double Log(long double x) { return std::log(x); }
Cx Log(const Cx& z) { return std::log(z); }

template <class T>
bool Polygamma(int m, T z, T& out) {
  if (m < 0 || m > kMaxPolygammaOrder) return false;
  // Recurrence psi_m(z) = psi_m(z + N) - (-1)^m m! sum 1/(z + j)^(m+1).
  const long double start = 20.0L + 2.0L * m;
  long double shift = std::ceil(start - RealPart(z));
  if (!(shift <= kMaxShift)) return false;
  if (shift < 0) shift = 0;
  const long double mFactorial = std::tgamma(static_cast<long double>(m) + 1);
  const long double sign = (m % 2 == 0) ? 1.0L : -1.0L;  // (-1)^m
  T sum = 0;
  for (long double j = 0; j < shift; ++j) {
    const T t = z + T(j);
    if (IsZero(t)) return false;  // a pole
    T inv = T(1) / t;
    T p = inv;
    for (int e = 0; e < m; ++e) p *= inv;
    sum += p;
  }
  const T w = z + T(shift);
  const T inv = T(1) / w;
  const T inv2 = inv * inv;
  T result;
  if (m == 0) {
    // psi(w) = ln w - 1/(2w) - sum B_2k / (2k w^2k)
    result = Log(w) - inv / T(2);
    T power = inv2;
    for (int k = 1; k <= kBernoulliCount; ++k) {
      const T term = power * T(kBernoulli[k - 1] / (2.0L * k));
      result -= term;
      if (Magnitude(term) < 1e-22L * Magnitude(result)) break;
      power *= inv2;
    }
  } else {
    // psi_m(w) = (-1)^(m+1) [ (m-1)!/w^m + m!/(2 w^(m+1))
    //                         + sum B_2k (2k+m-1)!/((2k)! w^(2k+m)) ]
    T wm = 1;
    for (int e = 0; e < m; ++e) wm *= inv;  // w^-m
    const long double mMinusOneFactorial = mFactorial / m;
    T bracket = wm * T(mMinusOneFactorial) + wm * inv * T(mFactorial / 2);
    T power = wm * inv2;  // w^-(2k+m) for k = 1
    for (int k = 1; k <= kBernoulliCount; ++k) {
      // (2k+m-1)!/(2k)! = (2k+1)(2k+2)...(2k+m-1)
      long double ratio = 1;
      for (int f = 2 * k + 1; f <= 2 * k + m - 1; ++f) ratio *= f;
      const T term = power * T(kBernoulli[k - 1] * ratio);
      bracket += term;
      if (Magnitude(term) < 1e-22L * Magnitude(bracket)) break;
      power *= inv2;
    }
    result = bracket * T(-sign);  // (-1)^(m+1)
  }
  out = result - T(sign * mFactorial) * sum;
  return std::isfinite(RealPart(out));
}

}  // namespace

bool RealPolygamma(int m, long double x, long double& r) { return Polygamma(m, x, r); }

bool ComplexPolygamma(int m, Cx z, Cx& r) { return Polygamma(m, z, r); }

namespace {

// ln Γ(w) by Stirling's series, for Re w >= 20.
Cx StirlingLogGamma(const Cx& w) {
  const Cx inv = 1.0L / w;
  const Cx inv2 = inv * inv;
  Cx lg = (w - 0.5L) * std::log(w) - w + kHalfLogTwoPi;
  Cx power = inv;
  for (int k = 1; k <= kBernoulliCount; ++k) {
    const Cx term = power * (kBernoulli[k - 1] / (2.0L * k * (2.0L * k - 1)));
    lg += term;
    if (std::abs(term) < 1e-22L * std::abs(lg)) break;
    power *= inv2;
  }
  return lg;
}

// Γ(z) = Γ(z + N) / (z (z+1) ... (z+N-1)) with Re(z + N) >= 20: the
// logarithm of Γ(z + N) and the product, for Re z >= 0.5.
void ShiftedLogGamma(const Cx& z, Cx& lg, Cx& product) {
  const long double shift = std::max(0.0L, std::ceil(20.0L - z.real()));
  product = 1;
  for (long double j = 0; j < shift; ++j) product *= z + j;
  lg = StirlingLogGamma(z + shift);
}

// ln sin(u) up to a multiple of 2πi, for |Im u| large enough that sin u
// itself would overflow: sin u = e^(-iu) (e^(2iu) - 1) / (2i) above the
// real axis and e^(iu) (1 - e^(-2iu)) / (2i) below it.
Cx LogSinFarOut(const Cx& u) {
  const Cx i(0, 1);
  if (u.imag() > 0) return -i * u + std::log((std::exp(2.0L * i * u) - 1.0L) / (2.0L * i));
  return i * u + std::log((1.0L - std::exp(-2.0L * i * u)) / (2.0L * i));
}

}  // namespace

bool ComplexGamma(Cx z, Cx& r) {
  if (z.real() < 0.5L) {
    // Reflection: Γ(z) = π / (sin(πz) Γ(1 - z)).  The sine is taken of z
    // minus its nearest whole number n, with the sign (-1)^n, so that it
    // keeps its digits beside the poles.
    if (!(std::fabs(kTruePi * z.real()) <= kAngleGuard)) return false;
    const long double n = std::nearbyint(z.real());
    const bool odd = std::fmod(n, 2.0L) != 0;
    const Cx u = kTruePi * Cx(z.real() - n, z.imag());
    Cx lg;
    Cx product;
    ShiftedLogGamma(Cx(1) - z, lg, product);
    if (std::fabs(z.imag()) <= 1000 && z.real() > -1000) {
      const Cx s = std::sin(u);
      if (IsZero(s)) return false;
      // Γ(1 - z) = e^lg / product
      const Cx d = s * std::exp(lg);
      if (IsZero(d) || !std::isfinite(d.real()) || !std::isfinite(d.imag())) return false;
      r = kTruePi * product / d;
    } else {
      // Far out sin(πz) or Γ(1 - z) overflows: combine their logarithms,
      // and let a tiny result underflow to 0.
      Cx logSin;
      if (std::fabs(u.imag()) > 1000) {
        logSin = LogSinFarOut(u);
      } else {
        const Cx s = std::sin(u);
        if (IsZero(s)) return false;
        logSin = std::log(s);
      }
      const Cx e = std::log(kTruePi) + std::log(product) - logSin - lg;
      if (!(std::fabs(e.imag()) <= kAngleGuard)) return false;
      r = std::exp(e);
    }
    if (odd) r = -r;
    return std::isfinite(r.real()) && std::isfinite(r.imag());
  }
  Cx lg;
  Cx product;
  ShiftedLogGamma(z, lg, product);
  if (!(std::fabs(lg.imag()) <= kAngleGuard)) return false;
  r = std::exp(lg) / product;
  return std::isfinite(r.real()) && std::isfinite(r.imag());
}

bool ComplexErf(Cx z, Cx& r) {
  constexpr long double kTwoOverSqrtPi = 1.12837916709551257389615890312154517L;
  const long double x = std::fabs(z.real());
  if (std::abs(z) < 3 || x < 2) {
    // Taylor series 2/√π Σ (-1)^n z^(2n+1) / (n! (2n+1)).  Cancellation costs
    // about e^(2 x^2), which stays small in this region.
    const Cx z2 = z * z;
    Cx term = z;
    Cx sum = z;
    for (int n = 1; n < 40000; ++n) {
      term *= -z2 / static_cast<long double>(n);
      const Cx add = term / static_cast<long double>(2 * n + 1);
      sum += add;
      if (!std::isfinite(sum.real()) || !std::isfinite(sum.imag())) return false;
      if (std::abs(add) <= 1e-21L * std::abs(sum)) break;
    }
    r = kTwoOverSqrtPi * sum;
    return true;
  }
  // Continued fraction of erfc for Re s >= 2:
  // erfc(s) = exp(-s^2) / (√π (s + (1/2)/(s + 1/(s + (3/2)/(s + ...))))).
  const Cx s = z.real() >= 0 ? z : -z;
  Cx t = s;
  for (int n = 200; n >= 1; --n) t = s + (n / 2.0L) / t;
  Cx e;
  const Cx w = -s * s;
  if (w.real() < -11500) {
    e = 0;  // below the smallest long double whatever the angle
  } else {
    if (!(std::fabs(w.imag()) <= kAngleGuard)) return false;
    e = std::exp(w);
  }
  const Cx erfc = e * (kTwoOverSqrtPi / 2.0L) / t;
  const Cx value = 1.0L - erfc;
  r = z.real() >= 0 ? value : -value;
  return std::isfinite(r.real()) && std::isfinite(r.imag());
}

}  // namespace kv::formula_detail
