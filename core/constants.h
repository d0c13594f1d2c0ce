// Program-wide long-double constants and the joining of the command line.
//
// Several constants deliberately start from double-precision values (π, 1/3,
// 1/π, exp(42)) widened to long double: numbers computed from them end up in
// plot files and in the results the program shows, so they must keep exactly
// these values rather than the more precise long-double ones.
//
// The computed constants are inline variables with dynamic initialisation.
// They are set up once, in the order written here, before main(); and a
// static variable of any other file that includes this header before its own
// definition is initialised after them, so it may use them safely.
#pragma once

#include <cmath>
#include <cstddef>
#include <string>

#include "core/vector2d.h"
#include "core/vector3d.h"

namespace kv {

// π as the double 3.141592653589793115997963..., widened.
inline constexpr long double Pi = 3.141592653589793;
// π/2 as the double 1.5707963267948966, widened.
inline constexpr long double HalfPi = 1.5707963267948966;

// A magnitude below this counts as zero throughout the program (the double
// 1e-16, widened).
inline constexpr long double kTolerance = 1e-16;
// Sines and cosines are taken only of angles whose magnitude is not above this.
inline constexpr long double kAngleGuard = 5e18;

inline const long double SqrtPi = std::sqrt(Pi);
inline const long double LnSqrtPi = std::log(SqrtPi);
inline const long double TwoOverSqrtPi = 2.0L / SqrtPi;
inline const long double SqrtTwoPi = std::sqrt(2.0L * Pi);
inline const long double InvSqrtTwoPi = 1.0L / SqrtTwoPi;
inline const long double Sqrt2 = std::sqrt(2.0L);
inline const long double Sqrt3 = std::sqrt(3.0L);
inline const long double HalfSqrt3 = Sqrt3 * 0.5L;
// sqrt(24) times the double nearest 1/3 (0.333333333333333314829616...).
inline const long double Sqrt24Third = std::sqrt(24.0L) * static_cast<long double>(1.0 / 3.0);
inline const long double GoldenRatio = (std::sqrt(5.0L) + 1.0L) * 0.5L;
inline const long double Ln2 = std::log(2.0L);
inline const long double Ln10 = std::log(10.0L);
inline const long double LnTwoPi = std::log(2.0L * Pi);
inline const long double InvLn10 = 1.0L / Ln10;
// About 10^2171.5 and 10^-2171.5: the bounds beyond which a magnitude counts
// as overflowing or as zero.  They need the full long-double range.
inline const long double ExpPlus5000 = std::exp(5000.0L);
inline const long double ExpMinus5000 = std::exp(-5000.0L);
// The double exponential of 42, widened: the starting value of minimum and
// maximum searches.
inline const long double Exp42 = static_cast<long double>(std::exp(42.0));
// 180 times the double nearest 1/π (0.318309886183790691...), not 180 / π.
inline constexpr long double DegPerRad = static_cast<long double>(0.31830988618379067153776752674503) * 180.0L;

// The complex one (1, 0), the complex and plane zero (0, 0), a plain zero
// and the zero point of space (0, 0, 0).  A complex value has the layout of
// a plane point: real part in x, imaginary part in y.
inline constexpr TPoint2D kComplexOne{1.0L, 0.0L};
inline constexpr TPoint2D kPlaneZero{0.0L, 0.0L};
inline constexpr long double kZero = 0.0L;
inline constexpr TPoint3D kSpaceZero{0.0L, 0.0L, 0.0L};

// argv[1], argv[2], ... joined by single blanks, as they come (no quoting, no
// trimming); empty for argc < 2.  Never cut: a name cut short could name
// another file.
std::string JoinArguments(int argc, const char* const* argv);

}  // namespace kv
