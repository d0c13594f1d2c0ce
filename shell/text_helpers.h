// Small helpers of the window layers: editing strings, random numbers, a
// busy delay, the clock, file-name splitting, colours and setters of small
// records.  Numbers to text and back are in core/number_text.h (included
// here for the many callers that use both).
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/binary_stream.h"
#include "core/number_text.h"
#include "core/vector2d.h"
#include "platform/types.h"

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

// ---- random numbers and delays ----
// (r mod 100000000) * ((b - a) * 1e-8) + a with r from plat::Rand(), every
// step equally likely: a value in [a, b) in steps of (b - a) / 1e8; a when
// a == b.
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
