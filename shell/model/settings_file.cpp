#include "shell/model/settings_file.h"

#include "core/logfont.h"

namespace kv {

namespace {

// Counts above these are damage, not a larger window: no window kind
// stores more, and skipping them must stay within a plausible file.
constexpr std::int32_t kMaxStoredFonts = 1000;
constexpr std::int32_t kMaxStoredColourSlots = 1000;
constexpr std::int32_t kMaxStoredColours = 100000;

std::int32_t Clamp(std::int32_t v, std::int32_t hi) { return v < 0 ? 0 : v > hi ? hi : v; }

}  // namespace

void WriteCommonHeader(ByteWriter& w, const TCommonHeader& h) {
  w.I32(h.TypeCode);
  w.I32(h.Version);
  w.I32(h.X);
  w.I32(h.Y);
  w.I32(h.Width);
  w.I32(h.Height);
  w.I32(h.Maximised);
  w.I32(h.ColoursMarkModified);
  w.I32(61);
  w.I32(h.PrintScale100);
  w.I32(h.PrintWidth100);
  w.I32(h.PrintLeft100);
  w.I32(h.PrintTop100);
  w.I32(h.DrawFrame);
  w.I32(h.ColourPrinter);
  w.I32(10);
  w.I32(15);
  w.I32(h.Signature1);
  w.I32(h.Signature2);
  w.I32(0);
  for (std::int32_t v : h.FontPointSizes) w.I32(v);
  for (const LogFont& f : h.Fonts) WriteLogFont(w, f);
  for (Colour c : h.FontColours) w.U32(c);
  w.Zeros(kHeaderReservedBytes);
  for (std::int16_t s : h.ColourSlots) w.I16(s);
  for (Colour c : h.ColourTable) w.U32(c);
}

THeaderResult ReadCommonHeader(ByteReader& r, std::int32_t expectedType, TCommonHeader& out) {
  TCommonHeader h;
  h.TypeCode = r.I32();
  h.Version = r.I32();
  h.X = r.I32();
  h.Y = r.I32();
  h.Width = r.I32();
  h.Height = r.I32();
  h.Maximised = r.I32();
  h.ColoursMarkModified = r.I32();
  h.ColourCount = r.I32();
  h.PrintScale100 = r.I32();
  h.PrintWidth100 = r.I32();
  h.PrintLeft100 = r.I32();
  h.PrintTop100 = r.I32();
  h.DrawFrame = r.I32();
  h.ColourPrinter = r.I32();
  h.FontCount = r.I32();
  h.ColourSlotCount = r.I32();
  h.Signature1 = r.I32();
  h.Signature2 = r.I32();
  r.I32();  // reserved
  if (r.Failed()) return THeaderResult::Damaged;
  if (h.TypeCode != expectedType) return THeaderResult::WrongType;
  if (h.FontCount < 0 || h.FontCount > kMaxStoredFonts || h.ColourSlotCount < 0 ||
      h.ColourSlotCount > kMaxStoredColourSlots || h.ColourCount > kMaxStoredColours)
    return THeaderResult::Damaged;

  const std::int32_t fonts = Clamp(h.FontCount, 10);
  for (std::int32_t i = 0; i < h.FontCount; ++i) {
    std::int32_t v = r.I32();
    if (i < fonts) h.FontPointSizes[static_cast<std::size_t>(i)] = v;
  }
  for (std::int32_t i = 0; i < h.FontCount; ++i) {
    LogFont f = ReadLogFont(r);
    if (i < fonts) h.Fonts[static_cast<std::size_t>(i)] = f;
  }
  for (std::int32_t i = 0; i < h.FontCount; ++i) {
    Colour c = r.U32();
    if (i < fonts) h.FontColours[static_cast<std::size_t>(i)] = c;
  }
  r.Skip(kHeaderReservedBytes);
  const std::int32_t slots = Clamp(h.ColourSlotCount, 15);
  for (std::int32_t i = 0; i < h.ColourSlotCount; ++i) {
    std::int16_t s = r.I16();
    if (i < slots) h.ColourSlots[static_cast<std::size_t>(i)] = s;
  }
  // A colour count of 0 or below means the file holds no table.
  const std::int32_t colours = Clamp(h.ColourCount, 61);
  for (std::int32_t i = 0; i < h.ColourCount; ++i) {
    Colour c = r.U32();
    if (i < colours) h.ColourTable[static_cast<std::size_t>(i)] = c;
  }
  if (r.Failed()) return THeaderResult::Damaged;
  out = h;
  return THeaderResult::Ok;
}

// ---- settings blocks ----

namespace {

// Serialises a whole block and keeps the first `size` bytes of it.
void WriteBlock(ByteWriter& w, const ByteWriter& block, std::int32_t size) {
  const auto n = static_cast<std::size_t>(Clamp(size, static_cast<std::int32_t>(block.Size())));
  w.Bytes(block.Data().data(), n);
}

}  // namespace

void WriteSettingsBlocks(ByteWriter& w, const TSettingsBlocks& b, std::int32_t intSize, std::int32_t realSize,
                         std::int32_t byteSize) {
  for (const auto& ints : b.Ints) {
    ByteWriter block;
    for (std::int32_t v : ints) block.I32(v);
    WriteBlock(w, block, intSize);
  }
  for (const auto& reals : b.Reals) {
    ByteWriter block;
    for (long double v : reals) block.LongDouble(v);
    WriteBlock(w, block, realSize);
  }
  for (const auto& bytes : b.Bytes) {
    ByteWriter block;
    for (std::uint8_t v : bytes) block.U8(v);
    WriteBlock(w, block, byteSize);
  }
  w.FixedAnsi(b.FileName, kSettingsFileNameSize);
}

bool ReadSettingsBlocks(ByteReader& r, TSettingsBlocks& out, std::int32_t intSize, std::int32_t realSize,
                        std::int32_t byteSize) {
  TSettingsBlocks b = out;
  intSize = Clamp(intSize, kSettingsIntBlockMax);
  realSize = Clamp(realSize, kSettingsRealBlockMax);
  byteSize = Clamp(byteSize, kSettingsByteBlockMax);
  // Whole entries of each block are taken; a partial last entry is skipped.
  for (auto& ints : b.Ints) {
    std::size_t k = 0;
    for (; k < static_cast<std::size_t>(intSize / 4); ++k) ints[k] = r.I32();
    r.Skip(static_cast<std::size_t>(intSize % 4));
  }
  for (auto& reals : b.Reals) {
    std::size_t k = 0;
    for (; k < static_cast<std::size_t>(realSize / 10); ++k) reals[k] = r.LongDouble();
    r.Skip(static_cast<std::size_t>(realSize % 10));
  }
  for (auto& bytes : b.Bytes)
    for (std::size_t k = 0; k < static_cast<std::size_t>(byteSize); ++k) bytes[k] = r.U8();
  b.FileName = r.FixedAnsi(kSettingsFileNameSize);
  if (r.Failed()) return false;
  out = b;
  return true;
}

}  // namespace kv
