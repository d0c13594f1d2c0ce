// The font description the program keeps per font slot: the fields of the
// 60-byte record stored in settings and plot files.  The file codec lives
// with the records that contain it; this is the in-memory form.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace plat {

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
char32_t SymbolToUnicode(unsigned char byte);

}  // namespace plat
