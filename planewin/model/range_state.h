// What a mapping file keeps of the range window.  The file is the domain
// window's; the range window's view, options, sizes and colours ride in
// fields of the two grid-family records that their kind does not use, and
// the axis labels of both windows share the domain's label texts.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "plotcore/model/equation.h"

namespace kv {

struct TRangeState {
  // Centre x, centre y, half-extent x, tick spacing x and y, tick origin
  // x and y.
  std::array<long double, 7> view{};
  std::array<std::uint8_t, 9> options{};
  // Two 32-bit values, each two 16-bit settings (low word first) that
  // are whole numbers from 1 up.
  std::array<std::int32_t, 2> pairs{};
  // The two grid-style fields first.
  std::array<std::int16_t, 8> words{};
  std::int16_t width = 300;
  std::int16_t height = 300;
  std::array<std::int16_t, 4> moreWords{};
  // The colours of the range window's colour slots 0, 1, 3, 10 and 13.
  std::array<std::uint32_t, 5> colours{};
  friend bool operator==(const TRangeState&, const TRangeState&) = default;
};

// The state into the record fields of entries 0 and 1: the view at offsets
// 281, 291, 301, 311, 321, 331, 341 of entry 0; the options at 49, 55, 56,
// 57, 59 of entry 0 and 49, 55, 56, 57 of entry 1; the pairs at 117 of
// each; the words at 24, 28, 30, 34 of entry 0, then of entry 1; width and
// height at 8 and 10 of entry 0; the more words at 36, 38 of entry 0, then
// of entry 1.  The colours are no record field: they are bytes of entry 0's
// record image (RangeColourBytes); the value block under them is cleared.
void PackRangeState(const TRangeState& s, TEquation& e0, TEquation& e1);
// The state without its colours (left at zero).
TRangeState UnpackRangeState(const TEquation& e0, const TEquation& e1);
// Those fields of a grid family back as a fresh record has them.
void ClearRangeStateFields(TEquation& e);

// The 32-bit value at offset 117 of a record image (`size` bytes), as the
// file holds it: the record reader keeps each of its halves within the
// curve-point counts of a curve, which would cut the range window's
// settings kept there.  False when the image is too short.
bool ReadRangePair(const std::uint8_t* image, std::size_t size, std::int32_t& pair);

// The five colours in entry 0's record image: each COLORREF's four bytes,
// little-endian, one after the other from offset 371.
inline constexpr std::size_t kRangeColourOffset = 371;
inline constexpr std::size_t kRangeColourSize = 20;
std::array<std::uint8_t, kRangeColourSize> RangeColourBytes(const std::array<std::uint32_t, 5>& colours);
// The colours from entry 0's record image (`size` bytes): the 20 bytes
// from 371 and nothing beyond them.  False when they hold no colours that
// can be trusted (a COLORREF's high byte is always 0).
bool ReadRangeColours(const std::uint8_t* image, std::size_t size, std::array<std::uint32_t, 5>& colours);

// The labels joined for one text field, each followed by a comma ("x,u,").
// Empty when the joined text would be longer than `limit` characters or a
// label holds a comma of its own, which reading would take for a
// separator: the caller stores its fixed labels then.
std::string JoinLabels(const std::string* labels, int count, std::size_t limit);
// The inverse: the first `count` comma-separated fields; false when the
// text does not hold `count` of them.
bool SplitLabels(const std::string& text, std::string* labels, int count);

}  // namespace kv
