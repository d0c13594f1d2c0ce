// Small helpers every part of the program uses: editing strings, numbers to
// text and back, the rounding through which every pixel coordinate passes,
// random numbers, a busy delay, file-name splitting, colours and setters of
// small records.
//
// Numbers are formatted and parsed in the C locale whatever the process
// locale is: the decimal separator is always '.'.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/types.h"
#include "shell/binary_stream.h"
#include "shell/vector2d.h"

namespace kv {

// A window placement in screen pixels.  File image: 17 bytes (i32 x, y,
// width, height, u8 maximised).
struct TPlacement {
  std::int32_t x = 0;
  std::int32_t y = 0;
  std::int32_t width = 0;
  std::int32_t height = 0;
  std::uint8_t maximised = 0;
  friend bool operator==(const TPlacement&, const TPlacement&) = default;
};

// Three 32-bit values.
struct TInt3 {
  std::int32_t a = 0;
  std::int32_t b = 0;
  std::int32_t c = 0;
  friend bool operator==(const TInt3&, const TInt3&) = default;
};

// ---- setters of small records ----
void SetSegment2D(TSegment2D& s, long double a, long double b, long double c, long double d);
// The same operation under the name the dialogs use.
void SetSegment2DRaw(TSegment2D& s, long double a, long double b, long double c, long double d);
void SetInt3(TInt3& record, std::int32_t a, std::int32_t b, std::int32_t c);
void SetPlacement(TPlacement& p, std::int32_t x, std::int32_t y, std::int32_t width,
                  std::int32_t height, std::uint8_t maximised);
void WritePlacement(ByteWriter& w, const TPlacement& p);
TPlacement ReadPlacement(ByteReader& r);

// The local time of day in hundredths of a second since midnight.
int TimeOfDayHundredths();

// ---- string editing ----
void AppendChar(std::string& s, char c);
// Appends s1 ... s8 to dest in order.
void ConcatStrings(std::string& dest, std::string_view s1, std::string_view s2 = {},
                   std::string_view s3 = {}, std::string_view s4 = {}, std::string_view s5 = {},
                   std::string_view s6 = {}, std::string_view s7 = {}, std::string_view s8 = {});
// dest = source with every blank replaced by '-'.
void CopyBlanksToDashes(std::string& dest, std::string_view source);
// Removes every occurrence of c.
void RemoveChar(std::string& s, char c);
// Replaces every '-' by c.
void ReplaceMinus(std::string& s, char c);
// Makes s exactly width characters long: a shorter string gets fill
// characters in front, a longer one is cut to its first width characters.
// Characters are counted as UTF-8 characters, not bytes; a negative width
// counts as 0.
void PadLeft(int width, std::string& s, char fill);
// Field i (1 ... count, count at most 6) is the text from the current
// position up to the next comma, and the position moves past that comma.
// When no comma remains, that field and all later ones are empty, so text
// after the last comma is never a field: callers append a comma first.
std::array<std::string, 6> SplitCommaFields(std::string_view text, int count);

// ---- file names ----
// Appends the directory separator when path is not empty and does not end in
// one.  The separator is '/' (the name is kept from the program's origins on
// a system whose separator is '\').
void EnsureTrailingBackslash(std::string& path);
// dest = the file name with its extension, without the directory; both '/'
// and '\' separate directories (names from older files use '\').
void GetFileNamePart(std::string& dest, std::string_view path);

// ---- numbers and text ----
// strtold in the C locale: leading white space skipped, conversion stops at
// the first character that does not fit, no number gives 0.  Returns whether
// a number was found.
bool ParseLongDouble(long double& dest, std::string_view text);
// atoi: leading white space, optional sign, decimal digits; anything else
// gives 0.  Values beyond the 32-bit range saturate at INT32_MIN / INT32_MAX.
std::int32_t ParseInt(std::string_view text);
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
// (r mod 100000000) * ((b - a) * 1e-8) + a with r from plat::Rand(): a value
// in [a, b) in steps of (b - a) / 1e8; a when a == b.
long double RandomInRange(long double a, long double b);
// A processor-bound delay: n * 2000 long-double cosines; nothing for n <= 0.
void BusyDelay(int n);

// ---- colours ----
// 0.3 red + 0.59 green + 0.11 blue, on the 0..255 scale.
long double Luminance(plat::Colour colour);
// "#rrggbb" in lower-case hexadecimal.
void FormatHexColour(plat::Colour colour, std::string& dest);
std::string FormatHexColour(plat::Colour colour);

}  // namespace kv
