// The records of the text-label layer as plot files hold them: the 179-byte
// text label, the 81-byte term block of a term label, and the list blocks
// built from them.  Every field goes through ByteWriter / ByteReader at its
// fixed offset; the link and string pointers of the images are written as
// zeros and ignored on reading.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "core/logfont.h"
#include "core/device_types.h"
#include "core/binary_stream.h"

namespace kv {

inline constexpr std::size_t kTextLabelSize = 179;
inline constexpr std::size_t kTextLabelTextSize = 61;  // 60 characters and the NUL
inline constexpr std::size_t kTermBlockSize = 81;
inline constexpr std::size_t kTermStringSize = 256;
inline constexpr int kTermStrings = 4;
// Labels a list block may hold (the i16 count allows more; no plot has).
inline constexpr int kMaxTextLabels = 10000;
// Term blocks a window keeps; term labels carry 1000 + their block's index.
inline constexpr int kMaxTermBlocks = 50;
inline constexpr std::int16_t kTermIndexBase = 1000;

// Bindings of a label: to the figure (absolute world position), to the
// frame (offset from the view centre), or n >= 0 to object n of the plot.
inline constexpr std::int16_t kBindFigure = -1;
inline constexpr std::int16_t kBindFrame = -2;

struct TTextLabel {
  std::int16_t number = 0;        // position in its list from 0
  std::uint8_t transparent = 0;   // 1: text only, 0: covers the background
  std::string text;               // UTF-8; at most 60 characters in the file
  Colour colour = 0;
  long double anchorX = 0;        // left edge (or offset when bound)
  long double right = 0;          // absolute, refreshed by every screen drawing
  long double bottom = 0;
  long double anchorY = 0;        // top edge (or offset when bound)
  LogFont font;             // escapement = angle in tenths of a degree
  std::int16_t pointSize = 0;
  std::int16_t binding = kBindFigure;
  std::uint8_t visible = 1;
  std::int16_t termIndex = -1;    // term labels: 1000 + block index
  friend bool operator==(const TTextLabel&, const TTextLabel&) = default;
};

// What a term label shows: four term strings, five show flags, the hyphen
// character, the decimals of the first three terms and ten values.
struct TTermBlock {
  std::array<std::string, kTermStrings> terms{"0", "0", "0", "0"};
  std::array<std::uint8_t, 5> show{1, 0, 0, 0, 0};
  std::int32_t shownCount = 1;    // set flags among the first three
  std::int32_t hyphenChar = 0;    // 0: none
  std::array<std::int32_t, 3> decimals{3, 3, 3};
  std::array<std::int32_t, 10> values{};
  friend bool operator==(const TTermBlock&, const TTermBlock&) = default;
};

void WriteTextLabel(ByteWriter& w, const TTextLabel& label);
// False on a short read (label unchanged).  The text stops at its first NUL.
bool ReadTextLabel(ByteReader& r, TTextLabel& label);

// i16 count, then the records in list order.
void WriteTextLabels(ByteWriter& w, const std::vector<TTextLabel>& labels);
// Replaces the list: records get term index -1, numbers 0, 1, 2 ...
// (unless keepNumbers is set: a list whose numbers name objects) and,
// unless keepVisibility is set, visible = 1.  False (list empty, reader
// failed) on a negative or impossible count or a short read.
bool ReadTextLabels(ByteReader& r, std::vector<TTextLabel>& labels, bool keepVisibility, bool keepNumbers = false);

// The 81-byte image without its four strings (pointers written as zeros).
void WriteTermBlock(ByteWriter& w, const TTermBlock& block);
// The strings are left as they are; false on a short read.
bool ReadTermBlock(ByteReader& r, TTermBlock& block);

// The term-label block of a plot file: i16 count, then per label its
// record, its term block and the four term strings as 256-byte fields.  A
// label finds its block in the table by its term index 1000 + k; a label
// whose index names no block is written with a fresh block.
void WriteTermTexts(ByteWriter& w, const std::vector<TTextLabel>& labels, const std::vector<TTermBlock>& blocks);
// Replaces the labels; their blocks are appended to the table (k counts on
// from its current size) and each label carries 1000 + k, numbered 0, 1,
// 2 ... in file order.  False (labels and table unchanged) on a count that
// would take the table beyond kMaxTermBlocks, or on a short read.
bool ReadTermTexts(ByteReader& r, std::vector<TTextLabel>& labels, std::vector<TTermBlock>& blocks);

}  // namespace kv
