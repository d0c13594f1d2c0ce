#include "formula/kernels.h"

#include <cmath>

namespace kv::formula_detail {
namespace {

using Cx = std::complex<long double>;

// Principal values take the branch cut from above: -0 counts as +0, so that
// sqrt(-4) is 2i and log(-1) is iπ however the zero came about.
Cx ToCx(const TComplex& z) { return Cx(z.re, z.im == 0 ? 0.0L : z.im); }
TComplex FromCx(const Cx& c) { return TComplex(c.real(), c.imag()); }

bool IsZero(const TComplex& z) { return z.re == 0 && z.im == 0; }

// exp(w) with the angle guard on its imaginary part.
bool GuardedExp(const Cx& w, Cx& r) {
  if (!(std::fabs(w.imag()) <= kAngleGuard)) return false;
  r = std::exp(w);
  return true;
}

// sec z = 2 / (e^(iz) + e^(-iz)) and csc z = 2i / (e^(iz) - e^(-iz)) for a
// large imaginary part, where cos and sin overflow: written in the small
// exponential q = e^(i z) above the real axis (e^(-i z) below), a tiny
// value underflows to 0 instead of becoming undefined.
int SecCscFarOut(int token, const TComplex& z, TComplex& r) {
  const bool above = z.im > 0;
  const long double m = std::exp(-std::fabs(z.im));
  const Cx q(m * std::cos(z.re), above ? m * std::sin(z.re) : -m * std::sin(z.re));
  const Cx q2 = q * q;
  Cx v;
  if (token == tok::Sec) v = 2.0L * q / (1.0L + q2);
  else v = Cx(0, 2) * q / (above ? q2 - 1.0L : 1.0L - q2);
  r = FromCx(v);
  return kDefined;
}

int ComplexFunction(int token, int subCode, const TComplex& z, TComplex& r) {
  const Cx c = ToCx(z);
  switch (token) {
    case tok::Abs:
      r = TComplex(std::hypot(z.re, z.im), 0);
      return kDefined;
    case tok::Sgn: {
      const long double m = std::hypot(z.re, z.im);
      r = m == 0 ? TComplex() : TComplex(z.re / m, z.im / m);
      return kDefined;
    }
    case tok::Sin:
    case tok::Cos:
    case tok::Tan:
    case tok::Sec:
    case tok::Csc:
    case tok::Cot: {
      if (!(std::fabs(z.re) <= kAngleGuard)) return kUndefined;
      if (token == tok::Sin) r = FromCx(std::sin(c));
      else if (token == tok::Cos) r = FromCx(std::cos(c));
      else if (token == tok::Tan) r = FromCx(std::tan(c));
      else if ((token == tok::Sec || token == tok::Csc) && std::fabs(z.im) > 20) return SecCscFarOut(token, z, r);
      else if (token == tok::Sec) return Divide(TComplex(1), FromCx(std::cos(c)), r);
      else if (token == tok::Csc) return Divide(TComplex(1), FromCx(std::sin(c)), r);
      // From tan, which stays finite where cos and sin overflow.
      else return Divide(TComplex(1), FromCx(std::tan(c)), r);
      return kDefined;
    }
    case tok::Log:
      if (IsZero(z)) return kUndefined;
      r = FromCx(std::log(c));
      return kDefined;
    case tok::Sqrt:
      r = FromCx(std::sqrt(c));
      return kDefined;
    case tok::Exp: {
      Cx e;
      if (!GuardedExp(c, e)) return kUndefined;
      r = FromCx(e);
      return kDefined;
    }
    case tok::Cis: {
      // exp(i z) = exp(-Im z) (cos Re z + i sin Re z)
      if (!(std::fabs(z.re) <= kAngleGuard)) return kUndefined;
      const long double m = z.im == 0 ? 1.0L : std::exp(-z.im);  // exp(0) is exactly 1
      r = TComplex(m * std::cos(z.re), m * std::sin(z.re));
      return kDefined;
    }
    case tok::ArcSin:
      r = FromCx(std::asin(c));
      return kDefined;
    case tok::ArcCos:
      r = FromCx(std::acos(c));
      return kDefined;
    case tok::ArcTan:
      if (z.re == 0 && std::fabs(z.im) == 1) return kUndefined;  // the poles ±i
      // On the cut (the imaginary axis beyond ±i) the side follows the sign
      // of the imaginary part, so that arctan stays odd there too.
      r = FromCx(std::atan(z.re == 0 ? Cx(std::copysign(0.0L, z.im), z.im) : c));
      return kDefined;
    case tok::Sinh:
    case tok::Cosh:
    case tok::Tanh:
      if (!(std::fabs(z.im) <= kAngleGuard)) return kUndefined;
      r = FromCx(token == tok::Sinh ? std::sinh(c) : token == tok::Cosh ? std::cosh(c) : std::tanh(c));
      return kDefined;
    case tok::Int:
      r = TComplex(std::floor(z.re), std::floor(z.im));
      return kDefined;
    case tok::Frac:
      r = TComplex(z.re - std::floor(z.re), z.im - std::floor(z.im));
      return kDefined;
    case tok::Gamma: {
      Cx g;
      if (!ComplexGamma(c, g)) return kUndefined;
      r = FromCx(g);
      return kDefined;
    }
    case tok::Erf: {
      Cx e;
      if (!ComplexErf(c, e)) return kUndefined;
      r = FromCx(e);
      return kDefined;
    }
    case tok::Psi: {
      Cx p;
      if (!ComplexPolygamma(subCode, c, p)) return kUndefined;
      r = FromCx(p);
      return kDefined;
    }
    case tok::Re:
      r = TComplex(z.re, 0);
      return kDefined;
    case tok::Im:
      r = TComplex(z.im, 0);
      return kDefined;
    case tok::Conj:
      r = TComplex(z.re, -z.im);
      return kDefined;
    case tok::Arg:
      r = TComplex(IsZero(z) ? 0.0L : std::atan2(c.imag(), c.real()), 0);
      return kDefined;
    case tok::Square:
      r = Multiply(z, z);
      return kDefined;
    default:
      return kUndefined;
  }
}

}  // namespace

int RealPower(long double x, long double y, long double& r) {
  std::int32_t n = 0;
  if (IsWholeRealNumber(y, 0, n)) return RealPowInt(x, n, r);
  if (x > 0) {
    r = std::pow(x, y);
    return kDefined;
  }
  if (x == 0) {
    if (y > 0) {
      r = 0;
      return kDefined;
    }
    return kUndefined;
  }
  return x < 0 ? kOutsideReals : kUndefined;
}

int RealRootWhole(std::int32_t k, long double x, bool complexMode, long double& r) {
  if (k == 0) return kUndefined;
  if (x == 0) {
    if (k > 0) {
      r = 0;
      return kDefined;
    }
    return kUndefined;
  }
  const bool negative = x < 0;
  // Odd roots of negatives are real in real mode; complex mode gives the
  // principal root instead.
  if (negative && (complexMode || k % 2 == 0)) return kOutsideReals;
  if (!(x == x)) return kUndefined;  // NaN
  const long double a = std::fabs(x);
  long double v;
  switch (k) {
    case 1: v = a; break;
    case 2: v = std::sqrt(a); break;
    case 3: v = std::cbrt(a); break;
    default: v = std::pow(a, 1.0L / static_cast<long double>(k)); break;
  }
  r = negative ? -v : v;
  return kDefined;
}

int RealRoot(long double n, long double x, bool complexMode, long double& r) {
  std::int32_t k = 0;
  if (IsWholeRealNumber(n, 0, k)) return RealRootWhole(k, x, complexMode, r);
  const long double e = 1.0L / n;
  if (x > 0) {
    r = std::pow(x, e);
    return kDefined;
  }
  if (x == 0) {
    if (e > 0) {
      r = 0;
      return kDefined;
    }
    return kUndefined;
  }
  return x < 0 ? kOutsideReals : kUndefined;
}

int RealPowFunction(long double n, long double x, long double& r) {
  std::int32_t k = 0;
  if (!IsWholeRealNumber(n, 0, k)) return kUndefined;
  return RealPowInt(x, k, r);
}

int RealFunction(int token, int subCode, long double x, bool complexMode, long double& r) {
  switch (token) {
    case tok::Abs:
      r = std::fabs(x);
      return kDefined;
    case tok::Sgn:
      r = x > 0 ? 1.0L : x < 0 ? -1.0L : 0.0L;
      return kDefined;
    case tok::Sin:
      if (!(std::fabs(x) <= kAngleGuard)) return kUndefined;
      r = std::sin(x);
      return kDefined;
    case tok::Cos:
      if (!(std::fabs(x) <= kAngleGuard)) return kUndefined;
      r = std::cos(x);
      return kDefined;
    case tok::Tan:
      if (!(std::fabs(x) <= kAngleGuard)) return kUndefined;
      r = std::tan(x);
      return kDefined;
    case tok::Sec:
      if (!(std::fabs(x) <= kAngleGuard)) return kUndefined;
      return RealDivide(1.0L, std::cos(x), r);
    case tok::Csc:
      if (!(std::fabs(x) <= kAngleGuard)) return kUndefined;
      return RealDivide(1.0L, std::sin(x), r);
    case tok::Cot:
      if (!(std::fabs(x) <= kAngleGuard)) return kUndefined;
      return RealDivide(std::cos(x), std::sin(x), r);
    case tok::Log:
      if (x > 0) {
        r = std::log(x);
        return kDefined;
      }
      return x < 0 ? kOutsideReals : kUndefined;
    case tok::Sqrt:
      if (x >= 0) {
        r = std::sqrt(x);
        return kDefined;
      }
      return x < 0 ? kOutsideReals : kUndefined;
    case tok::Exp:
      r = std::exp(x);
      return kDefined;
    case tok::Cis:
      return kComplexValue;
    case tok::ArcSin:
    case tok::ArcCos:
      if (std::fabs(x) <= 1) {
        r = token == tok::ArcSin ? std::asin(x) : std::acos(x);
        return kDefined;
      }
      return kOutsideReals;
    case tok::ArcTan:
      r = std::atan(x);
      return kDefined;
    case tok::Sinh:
      r = std::sinh(x);
      return kDefined;
    case tok::Cosh:
      r = std::cosh(x);
      return kDefined;
    case tok::Tanh:
      r = std::tanh(x);
      return kDefined;
    case tok::Int:
      r = std::floor(x);
      return kDefined;
    case tok::Frac:
      r = x - std::floor(x);
      return kDefined;
    case tok::Gamma:
      if (x <= 0 && x == std::floor(x)) return kUndefined;  // poles
      r = std::tgamma(x);
      return kDefined;
    case tok::Erf:
      r = std::erf(x);
      return kDefined;
    case tok::Psi:
      return RealPolygamma(subCode, x, r) ? kDefined : kUndefined;
    case tok::Re:
    case tok::Conj:
      r = x;
      return kDefined;
    case tok::Im:
      r = 0;
      return kDefined;
    case tok::Arg:
      r = x < 0 ? kTruePi : 0.0L;
      return kDefined;
    case tok::Square:
      r = x * x;
      return kDefined;
    default:
      (void)complexMode;
      return kUndefined;
  }
}

int Divide(const TComplex& a, const TComplex& b, TComplex& r) {
  if (a.im == 0 && b.im == 0) {
    long double v;
    if (!RealDivide(a.re, b.re, v)) return kUndefined;
    r = TComplex(v, 0);
    return kDefined;
  }
  if (IsZero(b)) return kUndefined;
  // Smith's method keeps the intermediate products in range.
  if (std::fabs(b.re) >= std::fabs(b.im)) {
    const long double t = b.im / b.re;
    const long double d = b.re + b.im * t;
    r = TComplex((a.re + a.im * t) / d, (a.im - a.re * t) / d);
  } else {
    const long double t = b.re / b.im;
    const long double d = b.re * t + b.im;
    r = TComplex((a.re * t + a.im) / d, (a.im * t - a.re) / d);
  }
  return kDefined;
}

int PowerInt(const TComplex& z, std::int32_t n, TComplex& r) {
  if (z.im == 0) {
    long double v;
    if (!RealPowInt(z.re, n, v)) return kUndefined;
    r = TComplex(v, 0);
    return kDefined;
  }
  if (n == 0) {
    r = TComplex(1, 0);
    return kDefined;
  }
  const std::uint32_t m = n > 0 ? static_cast<std::uint32_t>(n)
                                : static_cast<std::uint32_t>(-static_cast<std::int64_t>(n));
  int bit = 31 - std::countl_zero(m);
  TComplex p = z;
  while (--bit >= 0) {
    p = Multiply(p, p);
    if ((m >> bit) & 1u) p = Multiply(p, z);
  }
  if (n > 0) {
    r = p;
    return kDefined;
  }
  return Divide(TComplex(1, 0), p, r);
}

int Power(const TComplex& a, const TComplex& b, bool complexMode, TComplex& r) {
  if (a.im == 0 && b.im == 0) {
    long double v;
    const int s = RealPower(a.re, b.re, v);
    if (s == kDefined) {
      r = TComplex(v, 0);
      return kDefined;
    }
    if (s == kUndefined || !complexMode) return kUndefined;
  }
  std::int32_t n = 0;
  if (IsWholeRealNumber(b.re, b.im, n)) return PowerInt(a, n, r);
  if (IsZero(a)) {
    if (b.re > 0) {
      r = TComplex();
      return kDefined;
    }
    return kUndefined;
  }
  Cx e;
  if (!GuardedExp(ToCx(b) * std::log(ToCx(a)), e)) return kUndefined;
  r = FromCx(e);
  return kDefined;
}

int Root(const TComplex& n, const TComplex& x, bool complexMode, TComplex& r) {
  if (n.im == 0 && x.im == 0) {
    long double v;
    const int s = RealRoot(n.re, x.re, complexMode, v);
    if (s == kDefined) {
      r = TComplex(v, 0);
      return kDefined;
    }
    if (s == kUndefined || !complexMode) return kUndefined;
  }
  if (IsZero(n)) return kUndefined;
  TComplex inverse;
  if (!Divide(TComplex(1, 0), n, inverse)) return kUndefined;
  if (IsZero(x)) {
    if (inverse.re > 0) {
      r = TComplex();
      return kDefined;
    }
    return kUndefined;
  }
  std::int32_t k = 0;
  if (IsWholeRealNumber(n.re, n.im, k) && k == 2) {
    r = FromCx(std::sqrt(ToCx(x)));
    return kDefined;
  }
  Cx e;
  if (!GuardedExp(ToCx(inverse) * std::log(ToCx(x)), e)) return kUndefined;
  r = FromCx(e);
  return kDefined;
}

int PowFunction(const TComplex& n, const TComplex& x, bool complexMode, TComplex& r) {
  (void)complexMode;
  std::int32_t k = 0;
  if (!IsWholeRealNumber(n.re, n.im, k)) return kUndefined;
  return PowerInt(x, k, r);
}

int Function(int token, int subCode, const TComplex& z, bool complexMode, TComplex& r) {
  if (z.im == 0) {
    long double v;
    const int s = RealFunction(token, subCode, z.re, complexMode, v);
    if (s == kDefined) {
      r = TComplex(v, 0);
      return kDefined;
    }
    if (s == kUndefined) return kUndefined;
    if (s == kOutsideReals && !complexMode) return kUndefined;
  }
  return ComplexFunction(token, subCode, z, r);
}

int Binary(int token, const TComplex& a, const TComplex& b, bool complexMode, TComplex& r) {
  switch (token) {
    case tok::Plus:
      r = TComplex(a.re + b.re, a.im + b.im);
      return kDefined;
    case tok::Minus:
      r = TComplex(a.re - b.re, a.im - b.im);
      return kDefined;
    case tok::Times:
      r = Multiply(a, b);
      return kDefined;
    case tok::Divide:
      return Divide(a, b, r);
    case tok::Power:
      return Power(a, b, complexMode, r);
    case tok::Root:
      return Root(a, b, complexMode, r);
    case tok::Pow:
      return PowFunction(a, b, complexMode, r);
    default:
      return kUndefined;
  }
}

bool FoldConstant(int token, int subCode, const TComplex* args, int count, TComplex& value) {
  TComplex inReal, inComplex;
  int s1, s2;
  if (count == 2) {
    s1 = Binary(token, args[0], args[1], false, inReal);
    s2 = Binary(token, args[0], args[1], true, inComplex);
  } else {
    s1 = Function(token, subCode, args[0], false, inReal);
    s2 = Function(token, subCode, args[0], true, inComplex);
  }
  if (s1 != kDefined || s2 != kDefined || !(inReal == inComplex)) return false;
  if (!WithinBound(inReal, ExpPlus5000)) return false;
  value = inReal;
  return true;
}

}  // namespace kv::formula_detail
