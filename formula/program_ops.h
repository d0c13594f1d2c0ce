// The instruction set of the flat program (internal to the formula engine)
// and the meaning of each instruction over real and complex values.
//
// `acc` is the running value; m0..m3 are operands in memory.  Forms: A reads
// the running value, M an operand; AM is acc ∘ m0, MA is m0 ∘ acc, MM is
// m0 ∘ m1.  Every operation result is checked against the magnitude bound,
// intermediate results of fused operations included, exactly as the tree
// walk checks every node; so fusing never changes which points are defined.
// The check is left out only where it cannot change the answer: sin and
// cos, sqrt, log and abs of a value that was checked already, and the
// factors of (x ± c)(x ± d) for moderate constants c and d.
#pragma once

#include <cmath>
#include <cstdint>
#include <type_traits>

#include "formula/complex.h"
#include "formula/kernels.h"
#include "formula/program.h"
#include "formula/tokens.h"

namespace kv::formula_detail {

enum Op : std::uint8_t {
  kLoad,       // acc = m0 (an operand of a later instruction)
  kLoadCheck,  // acc = m0, checked: the value of a program that is one variable
  kStore,      // spill = acc
  kAddAM, kAddMM,
  kSubAM, kSubMA, kSubMM,
  kMulAM, kMulMM,
  kDivAM, kDivMA, kDivMM,
  kBinAM, kBinMA, kBinMM,  // power with a non-whole exponent, root, pow (by token)
  kSqrA, kSqrM,
  kCubeA, kCubeM,          // aux 1: written as x·x·x, x·x is checked too
  kPowIntA, kPowIntM,      // aux: the whole exponent
  kSinA, kSinM, kCosA, kCosM, kTanA, kTanM,  // aux: branch slot or -1
  kSqrtA, kSqrtM, kLogA, kLogM, kExpA, kExpM, kAbsA, kAbsM,
  kRootWholeA, kRootWholeM,  // aux: the whole index, m1: the index as a number
  kFuncA, kFuncM,            // by token; aux: branch slot or -1
  kMulAddMMA,  // acc = m0·m1 + acc
  kMulAddAMM,  // acc = acc·m0 + m1
  kMulAddMMM,  // acc = m0·m1 + m2
  kLinMulLin,  // acc = (m0 ± m1)(m2 ± m3); aux bit 0: first is −, bit 1: second is −
  kMulLinA,    // acc = acc·(m0 ± m1); aux bit 0: −
  // The same with one operand read once where it appears twice.
  kSqrAddMA,   // acc = m0² + acc
  kSqrAddMM,   // acc = m0² + m1
  kQuadratic,  // acc = (m0 ± m1)(m0 ± m2); aux bits 0, 1 as kLinMulLin; bit 2: see Eval
  kOpCount
};

// Whether the instruction reads the running value.
constexpr bool ReadsAcc(int op) {
  switch (op) {
    case kLoad: case kLoadCheck: case kAddMM: case kSubMM: case kMulMM: case kDivMM: case kBinMM:
    case kSqrM: case kCubeM: case kPowIntM: case kSinM: case kCosM: case kTanM: case kSqrtM: case kLogM:
    case kExpM: case kAbsM: case kRootWholeM: case kFuncM: case kMulAddMMM: case kLinMulLin: case kSqrAddMM:
    case kQuadratic:
      return false;
    default:
      return true;
  }
}

// Operands an instruction reads (m0..m[n-1]).
constexpr int OperandCount(int op) {
  switch (op) {
    case kStore: case kSqrA: case kCubeA: case kPowIntA: case kSinA: case kCosA: case kTanA: case kSqrtA:
    case kLogA: case kExpA: case kAbsA: case kFuncA:
      return 0;
    case kLoad: case kLoadCheck: case kAddAM: case kSubAM: case kSubMA: case kMulAM: case kDivAM: case kDivMA:
    case kBinAM: case kBinMA: case kSqrM: case kCubeM: case kPowIntM: case kSinM: case kCosM: case kTanM:
    case kSqrtM: case kLogM: case kExpM: case kAbsM: case kFuncM: case kSqrAddMA:
      return 1;
    case kRootWholeA:  // m1 only, m0 unused
    case kAddMM: case kSubMM: case kMulMM: case kDivMM: case kBinMM: case kRootWholeM: case kMulAddMMA:
    case kMulAddAMM: case kMulLinA: case kSqrAddMM:
      return 2;
    case kMulAddMMM: case kQuadratic:
      return 3;
    case kLinMulLin:
      return 4;
    default:
      return 0;
  }
}

// ---- the arithmetic per value type ----

// The common case first against 2^1000, a double: loading it is cheaper than
// loading the 80-bit bound, and the answer is the same.
inline bool Within(long double x) {
  const long double a = std::fabs(x);
  return a <= 0x1p1000L || a <= ExpPlus5000;
}
inline bool Within(const TComplex& z) {
  const long double a = std::fabs(z.re) + std::fabs(z.im);
  return a <= 0x1p1000L || a <= ExpPlus5000;
}

// Where a real sine, cosine or tangent is defined.
inline bool WithinAngleGuard(long double x) { return std::fabs(x) <= kAngleGuard; }

inline long double Plus(long double a, long double b) { return a + b; }
inline TComplex Plus(const TComplex& a, const TComplex& b) { return TComplex(a.re + b.re, a.im + b.im); }
inline long double Minus(long double a, long double b) { return a - b; }
inline TComplex Minus(const TComplex& a, const TComplex& b) { return TComplex(a.re - b.re, a.im - b.im); }
inline long double Times(long double a, long double b) { return a * b; }
inline TComplex Times(const TComplex& a, const TComplex& b) { return Multiply(a, b); }

inline bool Quotient(long double a, long double b, long double& r) {
  if (b == 0) return false;
  r = a / b;
  return true;
}
inline bool Quotient(const TComplex& a, const TComplex& b, TComplex& r) {
  TComplex t;
  if (Divide(a, b, t) != kDefined) return false;
  r = t;
  return true;
}

inline bool BinaryOf(int token, long double a, long double b, bool, long double& r) {
  switch (token) {
    case tok::Power: return RealPower(a, b, r) == kDefined;
    case tok::Root: return RealRoot(a, b, false, r) == kDefined;
    default: return RealPowFunction(a, b, r) == kDefined;
  }
}
inline bool BinaryOf(int token, const TComplex& a, const TComplex& b, bool mode, TComplex& r) {
  switch (token) {
    case tok::Power: return Power(a, b, mode, r) == kDefined;
    case tok::Root: return Root(a, b, mode, r) == kDefined;
    default: return PowFunction(a, b, mode, r) == kDefined;
  }
}

inline bool WholePower(long double x, std::int32_t n, long double& r) { return RealPowInt(x, n, r) == kDefined; }
inline bool WholePower(const TComplex& z, std::int32_t n, TComplex& r) { return PowerInt(z, n, r) == kDefined; }

inline bool WholeRoot(std::int32_t k, long double x, const long double&, long double& r) {
  return RealRootWhole(k, x, false, r) == kDefined;
}
inline bool WholeRoot(std::int32_t, const TComplex& x, const TComplex& index, bool mode, TComplex& r) {
  return Root(index, x, mode, r) == kDefined;
}

inline long double RealPartOf(long double x) { return x; }
inline long double RealPartOf(const TComplex& z) { return z.re; }

// The value of instruction `op` into r; false where undefined.  `jumps`
// records branch changes (Note(slot, token, x)) when jump detection is on.
template <int op, class T, class J>
[[gnu::always_inline]] inline bool Eval(const OpFields& f, bool mode, const T& acc, const T* const* m, T& r,
                                        J& jumps) {
  constexpr bool kReal = std::is_same_v<T, long double>;
  if constexpr (op == kLoad) {
    r = *m[0];
    return true;
  } else if constexpr (op == kLoadCheck) {
    r = *m[0];
    return Within(r);
  } else if constexpr (op == kAddAM) {
    r = Plus(acc, *m[0]);
  } else if constexpr (op == kAddMM) {
    r = Plus(*m[0], *m[1]);
  } else if constexpr (op == kSubAM) {
    r = Minus(acc, *m[0]);
  } else if constexpr (op == kSubMA) {
    r = Minus(*m[0], acc);
  } else if constexpr (op == kSubMM) {
    r = Minus(*m[0], *m[1]);
  } else if constexpr (op == kMulAM) {
    r = Times(acc, *m[0]);
  } else if constexpr (op == kMulMM) {
    r = Times(*m[0], *m[1]);
  } else if constexpr (op == kDivAM) {
    if (!Quotient(acc, *m[0], r)) return false;
  } else if constexpr (op == kDivMA) {
    if (!Quotient(*m[0], acc, r)) return false;
  } else if constexpr (op == kDivMM) {
    if (!Quotient(*m[0], *m[1], r)) return false;
  } else if constexpr (op == kBinAM || op == kBinMA || op == kBinMM) {
    // Kernels out of line write a temporary: the running value's address
    // never escapes, so it can stay in a register.
    T t;
    const bool ok = op == kBinAM   ? BinaryOf(f.token, acc, *m[0], mode, t)
                    : op == kBinMA ? BinaryOf(f.token, *m[0], acc, mode, t)
                                   : BinaryOf(f.token, *m[0], *m[1], mode, t);
    if (!ok) return false;
    r = t;
  } else if constexpr (op == kSqrA || op == kSqrM) {
    const T& x = op == kSqrA ? acc : *m[0];
    r = Times(x, x);
  } else if constexpr (op == kCubeA || op == kCubeM) {
    const T& x = op == kCubeA ? acc : *m[0];
    const T s = Times(x, x);
    if (f.aux && !Within(s)) return false;
    r = Times(s, x);
  } else if constexpr (op == kPowIntA || op == kPowIntM) {
    T t;
    if (!WholePower(op == kPowIntA ? acc : *m[0], f.aux, t)) return false;
    r = t;
  } else if constexpr (op == kRootWholeA || op == kRootWholeM) {
    const T& x = op == kRootWholeA ? acc : *m[0];
    T t;
    if constexpr (kReal) {
      if (!WholeRoot(f.aux, x, *m[1], t)) return false;
    } else {
      if (!WholeRoot(f.aux, x, *m[1], mode, t)) return false;
    }
    r = t;
  } else if constexpr (op == kMulAddMMA || op == kMulAddAMM || op == kMulAddMMM) {
    const T p = op == kMulAddAMM ? Times(acc, *m[0]) : Times(*m[0], *m[1]);
    if (!Within(p)) return false;
    r = Plus(p, op == kMulAddMMA ? acc : op == kMulAddAMM ? *m[1] : *m[2]);
  } else if constexpr (op == kSqrAddMA || op == kSqrAddMM) {
    const T& x = *m[0];
    const T p = Times(x, x);
    if (!Within(p)) return false;
    r = Plus(p, op == kSqrAddMA ? acc : *m[1]);
  } else if constexpr (op == kQuadratic) {
    const T& x = *m[0];
    const T u = (f.aux & 1) ? Minus(x, *m[1]) : Plus(x, *m[1]);
    const T v = (f.aux & 2) ? Minus(x, *m[2]) : Plus(x, *m[2]);
    // aux bit 2: c and d are constants of moderate size, so a factor beyond
    // the bound makes the product so too, and its check says it all.
    if (!(f.aux & 4) && (!Within(u) || !Within(v))) return false;
    r = Times(u, v);
  } else if constexpr (op == kLinMulLin) {
    const T u = (f.aux & 1) ? Minus(*m[0], *m[1]) : Plus(*m[0], *m[1]);
    const T v = (f.aux & 2) ? Minus(*m[2], *m[3]) : Plus(*m[2], *m[3]);
    if (!Within(u) || !Within(v)) return false;
    r = Times(u, v);
  } else if constexpr (op == kMulLinA) {
    const T v = (f.aux & 1) ? Minus(*m[0], *m[1]) : Plus(*m[0], *m[1]);
    if (!Within(v)) return false;
    r = Times(acc, v);
  } else {
    // The one-argument functions.
    constexpr bool kOnAcc = op == kSinA || op == kCosA || op == kTanA || op == kSqrtA || op == kLogA ||
                            op == kExpA || op == kAbsA || op == kFuncA;
    const T& x = kOnAcc ? acc : *m[0];
    if (f.aux >= 0) jumps.Note(f.aux, f.token, RealPartOf(x));
    if constexpr (!kReal) {
      T t;
      if (Function(f.token, f.subCode, x, mode, t) != kDefined) return false;
      r = t;
    } else if constexpr (op == kSinA || op == kSinM) {
      if (!WithinAngleGuard(x)) return false;
      r = std::sin(x);
      return true;  // within [-1, 1]
    } else if constexpr (op == kCosA || op == kCosM) {
      if (!WithinAngleGuard(x)) return false;
      r = std::cos(x);
      return true;
    } else if constexpr (op == kTanA || op == kTanM) {
      if (!WithinAngleGuard(x)) return false;
      r = std::tan(x);
    } else if constexpr (op == kSqrtA || op == kSqrtM) {
      if (!(x >= 0)) return false;
      r = std::sqrt(x);
      if constexpr (op == kSqrtA) return true;  // of a checked value: no larger
    } else if constexpr (op == kLogA || op == kLogM) {
      if (!(x > 0)) return false;
      r = std::log(x);
      if constexpr (op == kLogA) return true;  // of a checked (finite) value: small
    } else if constexpr (op == kExpA || op == kExpM) {
      r = std::exp(x);
    } else if constexpr (op == kAbsA || op == kAbsM) {
      r = std::fabs(x);
      if constexpr (op == kAbsA) return true;  // as large as a checked value
    } else {
      static_assert(op == kFuncA || op == kFuncM, "an instruction without a meaning");
      T t;
      if (RealFunction(f.token, f.subCode, x, false, t) != kDefined) return false;
      r = t;
    }
  }
  return Within(r);
}

// Calls fn.template operator()<op>() for the instruction code `op`: one
// switch that every executor shares.
#define KV_PROGRAM_OPS(X)                                                                                 \
  X(kLoad) X(kLoadCheck) X(kAddAM) X(kAddMM) X(kSubAM) X(kSubMA) X(kSubMM) X(kMulAM) X(kMulMM)            \
  X(kDivAM) X(kDivMA) X(kDivMM) X(kBinAM) X(kBinMA) X(kBinMM) X(kSqrA) X(kSqrM) X(kCubeA) X(kCubeM)       \
  X(kPowIntA) X(kPowIntM) X(kSinA) X(kSinM) X(kCosA) X(kCosM) X(kTanA) X(kTanM) X(kSqrtA) X(kSqrtM)       \
  X(kLogA) X(kLogM) X(kExpA) X(kExpM) X(kAbsA) X(kAbsM) X(kRootWholeA) X(kRootWholeM) X(kFuncA) X(kFuncM) \
  X(kMulAddMMA) X(kMulAddAMM) X(kMulAddMMM) X(kLinMulLin) X(kMulLinA) X(kSqrAddMA) X(kSqrAddMM)            \
  X(kQuadratic)

}  // namespace kv::formula_detail
