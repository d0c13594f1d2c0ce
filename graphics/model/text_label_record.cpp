#include "graphics/model/text_label_record.h"

#include <cmath>

#include "core/logfont.h"

namespace kv {

namespace {

long double Finite(long double v) { return std::isfinite(v) ? v : 0.0L; }

// A count read from a file: not negative, within the limit, and not more
// records than the bytes left can hold.
bool CountFits(long long count, long long limit, const ByteReader& r, std::size_t recordSize) {
  if (count < 0 || count > limit) return false;
  return static_cast<unsigned long long>(count) * recordSize <= r.Remaining();
}

int CountShown(const TTermBlock& b) { return (b.show[0] != 0) + (b.show[1] != 0) + (b.show[2] != 0); }

}  // namespace

// ---- one label ----

void WriteTextLabel(ByteWriter& w, const TTextLabel& l) {
  w.I16(l.number);                          // 0
  w.U8(l.transparent);                      // 2
  w.FixedAnsi(l.text, kTextLabelTextSize);  // 3
  w.U32(l.colour);                          // 64
  w.LongDouble(l.anchorX);                  // 68
  w.LongDouble(l.right);                    // 78
  w.LongDouble(l.bottom);                   // 88
  w.LongDouble(l.anchorY);                  // 98
  WriteLogFont(w, l.font);                  // 108
  w.I16(l.pointSize);                       // 168
  w.U32(0);                                 // 170 link
  w.I16(l.binding);                         // 174
  w.U8(l.visible);                          // 176
  w.I16(l.termIndex);                       // 177
}

bool ReadTextLabel(ByteReader& r, TTextLabel& label) {
  if (r.Remaining() < kTextLabelSize) {
    r.Fail();
    return false;
  }
  TTextLabel l;
  l.number = r.I16();
  l.transparent = r.U8() != 0 ? 1 : 0;
  l.text = r.FixedAnsi(kTextLabelTextSize);
  l.colour = r.U32();
  l.anchorX = Finite(r.LongDouble());
  l.right = Finite(r.LongDouble());
  l.bottom = Finite(r.LongDouble());
  l.anchorY = Finite(r.LongDouble());
  l.font = ReadLogFont(r);
  l.pointSize = r.I16();
  r.Skip(4);
  l.binding = r.I16();
  l.visible = r.U8() != 0 ? 1 : 0;
  l.termIndex = r.I16();
  if (r.Failed()) return false;
  // The angle is kept in tenths of a degree below a full turn.
  l.font.escapement %= 3600;
  if (l.font.escapement < 0) l.font.escapement += 3600;
  if (l.binding < kBindFrame) l.binding = kBindFigure;
  label = std::move(l);
  return true;
}

// ---- label lists ----

void WriteTextLabels(ByteWriter& w, const std::vector<TTextLabel>& labels) {
  const std::size_t n = std::min<std::size_t>(labels.size(), kMaxTextLabels);
  w.I16(static_cast<std::int16_t>(n));
  for (std::size_t k = 0; k < n; ++k) WriteTextLabel(w, labels[k]);
}

bool ReadTextLabels(ByteReader& r, std::vector<TTextLabel>& labels, bool keepVisibility, bool keepNumbers) {
  labels.clear();
  const std::int16_t count = r.I16();
  if (r.Failed() || !CountFits(count, kMaxTextLabels, r, kTextLabelSize)) {
    r.Fail();
    return false;
  }
  std::vector<TTextLabel> read;
  read.reserve(static_cast<std::size_t>(count));
  for (int k = 0; k < count; ++k) {
    TTextLabel l;
    if (!ReadTextLabel(r, l)) return false;
    if (!keepNumbers) l.number = static_cast<std::int16_t>(k);
    l.termIndex = -1;
    if (!keepVisibility) l.visible = 1;
    read.push_back(std::move(l));
  }
  labels = std::move(read);
  return true;
}

// ---- term blocks ----

void WriteTermBlock(ByteWriter& w, const TTermBlock& b) {
  w.Zeros(4 * kTermStrings);                    // 0 string pointers
  for (std::uint8_t f : b.show) w.U8(f);        // 16
  w.I32(CountShown(b));                         // 21
  w.I32(b.hyphenChar);                          // 25
  for (std::int32_t d : b.decimals) w.I32(d);   // 29
  for (std::int32_t v : b.values) w.I32(v);     // 41
}

bool ReadTermBlock(ByteReader& r, TTermBlock& block) {
  if (r.Remaining() < kTermBlockSize) {
    r.Fail();
    return false;
  }
  TTermBlock b;
  b.terms = block.terms;
  r.Skip(4 * kTermStrings);
  for (std::uint8_t& f : b.show) f = r.U8() != 0 ? 1 : 0;
  r.I32();  // the count follows from the flags
  b.hyphenChar = r.I32();
  for (std::int32_t& d : b.decimals) d = r.I32();
  for (std::int32_t& v : b.values) v = r.I32();
  if (r.Failed()) return false;
  b.shownCount = CountShown(b);
  if (b.hyphenChar < 0 || b.hyphenChar > 255) b.hyphenChar = 0;
  // The term dialog offers 0..15 decimals.
  for (std::int32_t& d : b.decimals)
    if (d < 0 || d > 15) d = 3;
  block = std::move(b);
  return true;
}

// ---- term labels ----

void WriteTermTexts(ByteWriter& w, const std::vector<TTextLabel>& labels, const std::vector<TTermBlock>& blocks) {
  const std::size_t n = std::min<std::size_t>(labels.size(), kMaxTermBlocks);
  w.I16(static_cast<std::int16_t>(n));
  const TTermBlock fresh;
  for (std::size_t k = 0; k < n; ++k) {
    const TTextLabel& l = labels[k];
    const int index = l.termIndex - kTermIndexBase;
    const TTermBlock& b =
        index >= 0 && static_cast<std::size_t>(index) < blocks.size() ? blocks[static_cast<std::size_t>(index)] : fresh;
    WriteTextLabel(w, l);
    WriteTermBlock(w, b);
    for (const std::string& s : b.terms) w.FixedAnsi(s, kTermStringSize);
  }
}

bool ReadTermTexts(ByteReader& r, std::vector<TTextLabel>& labels, std::vector<TTermBlock>& blocks) {
  const std::int16_t count = r.I16();
  constexpr std::size_t kEntrySize = kTextLabelSize + kTermBlockSize + kTermStrings * kTermStringSize;
  const long long room = kMaxTermBlocks - static_cast<long long>(blocks.size());
  if (r.Failed() || !CountFits(count, room, r, kEntrySize)) {
    r.Fail();
    return false;
  }
  std::vector<TTextLabel> readLabels;
  std::vector<TTermBlock> readBlocks;
  for (int k = 0; k < count; ++k) {
    TTextLabel l;
    TTermBlock b;
    if (!ReadTextLabel(r, l) || !ReadTermBlock(r, b)) return false;
    for (std::string& s : b.terms) s = r.FixedAnsi(kTermStringSize);
    if (r.Failed()) return false;
    l.number = static_cast<std::int16_t>(k);
    l.termIndex = static_cast<std::int16_t>(kTermIndexBase + blocks.size() + readBlocks.size());
    readLabels.push_back(std::move(l));
    readBlocks.push_back(std::move(b));
  }
  labels = std::move(readLabels);
  for (TTermBlock& b : readBlocks) blocks.push_back(std::move(b));
  return true;
}

}  // namespace kv
