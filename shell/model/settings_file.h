// The common file header at the start of every plot file and every
// window-kind settings file (1102 bytes with the usual counts), and the
// generic blocks that follow it in a settings file.  Only the byte images
// live here; the window base (zor_win.h) fills them from a window and
// applies them to one.
//
// Header layout (little-endian):
//   0 type code, 4 version, 8 x, 12 y, 16 width, 20 height, 24 maximised,
//   28 colours-mark-modified, 32 colour count, 36 print scale x 100,
//   40 print width x 100, 44 left margin x 100, 48 top margin x 100,
//   52 draw frame, 56 colour printer, 60 font count, 64 colour-slot count,
//   68 signature 19451947, 72 signature 19471945, 76 reserved (all i32);
//   80 font point sizes (i32 each), 120 font records (60 bytes each),
//   720 font colours, 760 68 reserved zero bytes, 828 colour slots (i16),
//   858 colour table.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "core/logfont.h"
#include "core/device_types.h"
#include "core/binary_stream.h"

namespace kv {

inline constexpr std::int32_t kHeaderSignature1 = 19451947;
inline constexpr std::int32_t kHeaderSignature2 = 19471945;
inline constexpr std::size_t kCommonHeaderSize = 1102;
inline constexpr std::size_t kHeaderFixedPart = 80;
inline constexpr std::size_t kHeaderReservedBytes = 4 * 17;

struct TCommonHeader {
  std::int32_t TypeCode = 0;
  std::int32_t Version = 0;
  std::int32_t X = 0;
  std::int32_t Y = 0;
  std::int32_t Width = 0;
  std::int32_t Height = 0;
  std::int32_t Maximised = 0;
  std::int32_t ColoursMarkModified = 0;
  std::int32_t PrintScale100 = 0;
  std::int32_t PrintWidth100 = 0;
  std::int32_t PrintLeft100 = 0;
  std::int32_t PrintTop100 = 0;
  std::int32_t DrawFrame = 0;
  std::int32_t ColourPrinter = 0;
  std::int32_t Signature1 = kHeaderSignature1;
  std::int32_t Signature2 = kHeaderSignature2;
  std::array<std::int32_t, 10> FontPointSizes{};
  std::array<LogFont, 10> Fonts{};
  std::array<Colour, 10> FontColours{};
  std::array<std::int16_t, 15> ColourSlots{};
  std::array<Colour, 61> ColourTable{};
  // Reading: how many entries of each group the file held (the entries
  // beyond 10 fonts, 15 slots and 61 colours are skipped).  Writing always
  // uses 10, 15 and 61.
  std::int32_t FontCount = 10;
  std::int32_t ColourSlotCount = 15;
  std::int32_t ColourCount = 61;

  bool SignaturesMatch() const {
    return Signature1 == kHeaderSignature1 && Signature2 == kHeaderSignature2;
  }
};

void WriteCommonHeader(ByteWriter& w, const TCommonHeader& h);

enum class THeaderResult {
  Ok,
  WrongType,  // another window kind's file: nothing after the first 80 bytes was read
  Damaged,    // short file or impossible counts
};
// Reads a header; out is complete only with Ok.
THeaderResult ReadCommonHeader(ByteReader& r, std::int32_t expectedType, TCommonHeader& out);

// The nine generic blocks of a window-kind settings file and the window's
// file name.  The sizes say how many bytes of each block the file holds
// (at most 84, 210 and 21).
struct TSettingsBlocks {
  std::array<std::array<std::int32_t, 21>, 3> Ints{};
  std::array<std::array<long double, 21>, 3> Reals{};
  std::array<std::array<std::uint8_t, 21>, 3> Bytes{};
  std::string FileName;
};
inline constexpr std::int32_t kSettingsIntBlockMax = 84;
inline constexpr std::int32_t kSettingsRealBlockMax = 210;
inline constexpr std::int32_t kSettingsByteBlockMax = 21;
inline constexpr std::size_t kSettingsFileNameSize = 256;

void WriteSettingsBlocks(ByteWriter& w, const TSettingsBlocks& b, std::int32_t intSize, std::int32_t realSize,
                         std::int32_t byteSize);
// False on a short file.
bool ReadSettingsBlocks(ByteReader& r, TSettingsBlocks& b, std::int32_t intSize, std::int32_t realSize,
                        std::int32_t byteSize);

}  // namespace kv
