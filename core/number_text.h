// Numbers to text and back, and the rounding through which every pixel
// coordinate passes.  Numbers are formatted and parsed in the C locale
// whatever the process locale is: the decimal separator is always '.'.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace kv {

// strtold in the C locale: leading white space skipped, conversion stops at
// the first character that does not fit, no number gives 0.  Returns whether
// a number was found.
bool ParseLongDouble(long double& dest, std::string_view text);
// atoi: leading white space, optional sign, decimal digits; anything else
// gives 0.  Values beyond the 32-bit range saturate at INT32_MIN / INT32_MAX.
std::int32_t ParseInt(std::string_view text);
// A whole number typed into a field: decimal digits only, blanks around
// them allowed, from lo to hi.  True with the value; false (value
// unchanged) for anything else: a sign, a point, a formula, no digits.
bool ParseWholeNumber(std::string_view text, std::int32_t lo, std::int32_t hi, std::int32_t& value);
// printf "%<width>.<decimals>Lf"; negative width or decimals count as 0.
void FormatNumber(long double value, int width, int decimals, std::string& dest);
std::string FormatNumber(long double value, int width, int decimals);
// Magnitudes of 0.1 and above, and those whose decimal exponent is small
// against d, as FormatNumber(x, d + 2, d); smaller ones as a mantissa with
// d decimals followed by "E-" and the exponent: 0.00012345 with d = 3 gives
// "1.235E-4".  Magnitudes below ExpMinus5000 are written as zero.
void FormatNumberSci(long double value, int decimals, std::string& dest);
std::string FormatNumberSci(long double value, int decimals);
// A number as a cell of a table column `width` characters wide, right-
// aligned and led by at least one blank: fixed-point with `decimals`
// decimals, or, where that does not fit, with fewer decimals or in exponent
// form, whichever shows more digits.  A number is never cut: one that does
// not fit even in exponent form is written whole.  Width 0 or less: the number alone (the
// cells are joined by a separator), fixed-point up to 18 integer digits and
// in exponent form beyond.
std::string FormatTableCell(long double value, int width, int decimals);
// Rounds to the nearest integer, an exact half toward zero (2.5 -> 2,
// -2.5 -> -2, 2.51 -> 3); magnitudes above 2147483647 saturate at
// +-2147483647 (never INT32_MIN); NaN gives 0.
std::int32_t RoundToInt(long double x);

}  // namespace kv
