// The font description the program keeps per font slot, and its 60-byte
// file record (settings and plot files).  Plain data: the platform layer
// maps it to the toolkit's fonts.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "core/binary_stream.h"

namespace kv {

enum FontCharSet : std::uint8_t {
  ANSI_CHARSET = 0,
  DEFAULT_CHARSET = 1,
  SYMBOL_CHARSET = 2,
};

enum FontWeight : std::int32_t {
  FW_NORMAL = 400,
  FW_BOLD = 700,
};

struct LogFont {
  std::int32_t height = 0;       // < 0: character height in pixels; > 0: cell height
  std::int32_t width = 0;        // 0: default aspect
  std::int32_t escapement = 0;   // rotation in tenths of a degree, counter-clockwise
  std::int32_t orientation = 0;
  std::int32_t weight = FW_NORMAL;
  std::uint8_t italic = 0;
  std::uint8_t underline = 0;
  std::uint8_t strikeOut = 0;
  std::uint8_t charSet = ANSI_CHARSET;
  std::uint8_t outPrecision = 0;
  std::uint8_t clipPrecision = 0;
  std::uint8_t quality = 0;
  std::uint8_t pitchAndFamily = 0;
  std::array<char, 32> faceName{};  // NUL-terminated, Windows-1252

  std::string Face() const;
  void SetFace(const std::string& face);
  friend bool operator==(const LogFont&, const LogFont&) = default;
};

// Maps a byte of a symbol-charset font to the Unicode character it shows
// (Adobe Symbol encoding: 112 is π, 176 is °).  Bytes without a glyph map to
// themselves.

// The font record in files: lfHeight, lfWidth, lfEscapement, lfOrientation,
// lfWeight as i32; italic, underline, strike-out, charset, output and clip
// precision, quality, pitch and family as u8; a 32-byte face name.
inline constexpr std::size_t kLogFontSize = 60;

void WriteLogFont(ByteWriter& w, const LogFont& font);
// The face name is always NUL-terminated after reading.
LogFont ReadLogFont(ByteReader& r);

}  // namespace kv
