// The texts of axis numbers: decimals with an optional suffix character,
// multiples of π as fractions, powers of ten on logarithmic axes.
// Character codes (π character, suffix, long hyphen) are Windows-1252 codes
// as the plot files keep them; the texts are UTF-8.
#pragma once

#include <cstdint>
#include <string>

namespace kv {

// The UTF-8 text of one Windows-1252 character code (0..255; other values
// are taken modulo 256).
std::string AnsiChar(int code);

// Every '-' of text replaced by the character of the code.
void ReplaceMinusByCode(std::string& text, int code);

// Greatest common divisor of |a| and |b|; |a| when b is 0.
std::int32_t IntGcd(std::int32_t a, std::int32_t b);

// p / q close to v with q <= denominator: the first q = 1, 2, ... whose
// multiple of |v| lies within 0.5 / denominator of a whole number, or the
// largest q when none does; reduced, with the sign of v.  The denominator is
// the largest allowed on entry and the one found on return.
void ApproximateFraction(long double v, std::int32_t& numerator, std::int32_t& denominator);

// v as a fraction of π with denominators up to maxDenominator: "3p/4" for
// 0.75π with the π character 'p', "p" for π, "-p" for -π, "0p" for 0.
std::string FormatPiFraction(long double v, std::int32_t maxDenominator, int piChar);

// 10^k: "0.001" ... "1000" for k = -3..3, else "10^k" with caret, "10Ek"
// without.
std::string FormatPowerOfTen(std::int32_t k, bool caret);

// How one axis labels its numbers.
struct TAxisNumberStyle {
  int decimals = 1;          // mod 10 the decimals; above 9 the suffix follows
  bool piFraction = false;   // numbers as fractions of π
  int piChar = 112;
  int suffixChar = 176;
  bool logarithmic = false;  // the value is a decimal exponent
};

std::string FormatAxisNumber(long double v, const TAxisNumberStyle& style);

}  // namespace kv
