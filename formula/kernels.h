// The arithmetic of formula evaluation, shared by the flat program and the
// tree walk so that both give identical results.
//
// Every operation first tries its real kernel when its arguments are real
// (imaginary part zero).  A real kernel answers
//   kDefined       the real result,
//   kUndefined     no value in either mode (division by zero, log 0, poles,
//                  the angle guard),
//   kOutsideReals  no real value (sqrt, log, even roots of negatives, non-whole
//                  powers of negatives, arcsin beyond 1): undefined in real
//                  mode, the principal complex value in complex mode,
//   kComplexValue  a complex value by nature (cis): computed in both modes.
// Non-real arguments always get principal complex values.  The callers check
// every result against the magnitude bound e^5000; NaN and infinity fail it.
#pragma once

#include <bit>
#include <cmath>
#include <complex>
#include <cstdint>

#include "formula/complex.h"
#include "formula/tokens.h"
#include "core/constants.h"
#include "core/vector2d.h"

namespace kv::formula_detail {

enum Status : int { kUndefined = 0, kDefined = 1, kOutsideReals = -1, kComplexValue = -2 };

// The long-double π for internal use (branch indices, reflection formulas).
// The formula constant "pi" is the double π widened (kv::Pi).
inline constexpr long double kTruePi = 3.14159265358979323846264338327950288L;

inline bool WithinBound(long double x, long double bound) { return std::fabs(x) <= bound; }
inline bool WithinBound(const TComplex& z, long double bound) {
  return std::fabs(z.re) + std::fabs(z.im) <= bound;
}

// ---- real kernels ----

// x^n for n >= 1 by left-to-right binary powering (x^2 is exactly x*x).
inline long double PowUnsigned(long double x, std::uint32_t n) {
  int bit = 31 - std::countl_zero(n);
  long double r = x;
  while (--bit >= 0) {
    r *= r;
    if ((n >> bit) & 1u) r *= x;
  }
  return r;
}

inline int RealPowInt(long double x, std::int32_t n, long double& r) {
  if (n == 0) {
    r = 1;
    return kDefined;
  }
  if (n > 0) {
    r = PowUnsigned(x, static_cast<std::uint32_t>(n));
    return kDefined;
  }
  if (x == 0) return kUndefined;
  r = 1.0L / PowUnsigned(x, static_cast<std::uint32_t>(-static_cast<std::int64_t>(n)));
  return kDefined;
}

inline int RealDivide(long double a, long double b, long double& r) {
  if (b == 0) return kUndefined;
  r = a / b;
  return kDefined;
}

int RealPower(long double x, long double y, long double& r);
int RealRoot(long double n, long double x, bool complexMode, long double& r);
// The same for a whole n (0 has no root).
int RealRootWhole(std::int32_t n, long double x, bool complexMode, long double& r);
int RealPowFunction(long double n, long double x, long double& r);
// A one-argument function of a real argument (never Cis's complex value).
int RealFunction(int token, int subCode, long double x, bool complexMode, long double& r);

// The branch a value lies on for jump detection: tan and sec change branch at
// the poles (k + 1/2)π, csc and cot at kπ, int and frac at the integers.
inline long double BranchOf(int token, long double x) {
  switch (token) {
    case tok::Tan:
    case tok::Sec:
      return std::floor(x / kTruePi + 0.5L);
    case tok::Csc:
    case tok::Cot:
      return std::floor(x / kTruePi);
    default:
      return std::floor(x);
  }
}

// ---- complex kernels ----

inline TComplex Multiply(const TComplex& a, const TComplex& b) {
  if (a.im == 0 && b.im == 0) return TComplex(a.re * b.re, 0);
  return TComplex(a.re * b.re - a.im * b.im, a.re * b.im + a.im * b.re);
}

int Divide(const TComplex& a, const TComplex& b, TComplex& r);
int PowerInt(const TComplex& z, std::int32_t n, TComplex& r);
int Power(const TComplex& a, const TComplex& b, bool complexMode, TComplex& r);
int Root(const TComplex& n, const TComplex& x, bool complexMode, TComplex& r);
int PowFunction(const TComplex& n, const TComplex& x, bool complexMode, TComplex& r);
// Any one-argument function.
int Function(int token, int subCode, const TComplex& z, bool complexMode, TComplex& r);
// Any two-argument operator or function (+ - * / ^ root pow).
int Binary(int token, const TComplex& a, const TComplex& b, bool complexMode, TComplex& r);

// The value of an operation on constant arguments (count 1 or 2) when real
// and complex mode agree on a defined value within the bound; false when the
// operation must be left to evaluation.
bool FoldConstant(int token, int subCode, const TComplex* args, int count, TComplex& value);

// ---- gamma, polygamma and erf (gamma_erf_functions.cpp) ----
// Polygamma of order m (0: digamma) for real and complex arguments; false at
// poles, for m > 60, or when the argument is too far left.
bool RealPolygamma(int m, long double x, long double& r);
bool ComplexPolygamma(int m, std::complex<long double> z, std::complex<long double>& r);
bool ComplexGamma(std::complex<long double> z, std::complex<long double>& r);
bool ComplexErf(std::complex<long double> z, std::complex<long double>& r);

}  // namespace kv::formula_detail
