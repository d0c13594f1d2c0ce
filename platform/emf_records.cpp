#include "platform/emf_records.h"

#include <QString>

#include <algorithm>
#include <cstring>

namespace plat::emf {

namespace {

std::uint32_t Le32(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
         (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

// Header field offsets.
constexpr std::size_t kOffBounds = 8;
constexpr std::size_t kOffFrame = 24;
constexpr std::size_t kOffSignature = 40;
constexpr std::size_t kOffVersion = 44;
constexpr std::size_t kOffBytes = 48;
constexpr std::size_t kOffRecords = 52;
constexpr std::size_t kOffHandles = 56;
constexpr std::size_t kOffDescCount = 60;
constexpr std::size_t kOffDescOffset = 64;
constexpr std::size_t kOffPalEntries = 68;
constexpr std::size_t kOffDevice = 72;
constexpr std::size_t kOffMillimetres = 80;
// 88: the pixel format's size, not read
constexpr std::size_t kOffPixelFormatOffset = 92;
// 96: the OpenGL flag, not read
constexpr std::size_t kOffMicrometres = 100;

Rect ReadRect(const RecordView& r, std::size_t off) {
  return Rect{r.I32(off), r.I32(off + 4), r.I32(off + 8), r.I32(off + 12)};
}

}  // namespace

// ---- RecordView ----

bool RecordView::Has(std::uint64_t offset, std::uint64_t count, std::uint64_t itemSize) const {
  if (offset > size_) return false;
  if (itemSize != 0 && count > (size_ - offset) / itemSize) return false;
  return true;
}

std::uint8_t RecordView::U8(std::size_t offset) const { return Has(offset, 1) ? data_[offset] : 0; }

std::uint16_t RecordView::U16(std::size_t offset) const {
  if (!Has(offset, 2)) return 0;
  return static_cast<std::uint16_t>(data_[offset] | (data_[offset + 1] << 8));
}

std::uint32_t RecordView::U32(std::size_t offset) const {
  return Has(offset, 4) ? Le32(data_ + offset) : 0;
}

float RecordView::F32(std::size_t offset) const {
  const std::uint32_t bits = U32(offset);
  float f;
  std::memcpy(&f, &bits, sizeof f);
  return f;
}

// ---- RecordBuilder ----

RecordBuilder::RecordBuilder(std::uint32_t type) {
  bytes_.reserve(64);
  U32(type);
  U32(0);  // size, written by Finish
}

RecordBuilder& RecordBuilder::U8(std::uint8_t v) {
  bytes_.push_back(v);
  return *this;
}

RecordBuilder& RecordBuilder::U16(std::uint16_t v) {
  bytes_.push_back(static_cast<std::uint8_t>(v));
  bytes_.push_back(static_cast<std::uint8_t>(v >> 8));
  return *this;
}

RecordBuilder& RecordBuilder::U32(std::uint32_t v) {
  for (int k = 0; k < 4; ++k) bytes_.push_back(static_cast<std::uint8_t>(v >> (8 * k)));
  return *this;
}

RecordBuilder& RecordBuilder::F32(float v) {
  std::uint32_t bits;
  std::memcpy(&bits, &v, sizeof bits);
  return U32(bits);
}

RecordBuilder& RecordBuilder::Bytes(const std::uint8_t* p, std::size_t n) {
  bytes_.insert(bytes_.end(), p, p + n);
  return *this;
}

RecordBuilder& RecordBuilder::RectL(const Rect& r) {
  return I32(r.left).I32(r.top).I32(r.right).I32(r.bottom);
}

RecordBuilder& RecordBuilder::PointL(Point p) { return I32(p.x).I32(p.y); }

RecordBuilder& RecordBuilder::Pad4() {
  while (bytes_.size() % 4) bytes_.push_back(0);
  return *this;
}

void RecordBuilder::PatchU32(std::size_t offset, std::uint32_t v) {
  for (int k = 0; k < 4; ++k) bytes_[offset + k] = static_cast<std::uint8_t>(v >> (8 * k));
}

const std::vector<std::uint8_t>& RecordBuilder::Finish() {
  Pad4();
  PatchU32(4, static_cast<std::uint32_t>(bytes_.size()));
  return bytes_;
}

// ---- header ----

std::optional<Header> DecodeHeader(const std::uint8_t* data, std::size_t size) {
  if (!data || size < kBaseHeaderSize) return std::nullopt;
  const RecordView whole(data, size);
  const std::uint32_t recordSize = whole.U32(4);
  if (whole.Type() != EMR_HEADER || recordSize < kBaseHeaderSize || recordSize % 4 != 0 ||
      recordSize > size)
    return std::nullopt;
  const RecordView r(data, recordSize);
  if (r.U32(kOffSignature) != kSignature) return std::nullopt;

  Header h;
  h.recordSize = recordSize;
  h.bounds = ReadRect(r, kOffBounds);
  h.frame = ReadRect(r, kOffFrame);
  h.version = r.U32(kOffVersion);
  h.bytes = r.U32(kOffBytes);
  h.records = r.U32(kOffRecords);
  h.handles = r.U16(kOffHandles);
  h.palEntries = r.U32(kOffPalEntries);
  h.device = Size{r.I32(kOffDevice), r.I32(kOffDevice + 4)};
  h.millimetres = Size{r.I32(kOffMillimetres), r.I32(kOffMillimetres + 4)};

  // The extensions exist when the record is long enough and no data that
  // the header points to starts inside them.
  const std::uint32_t descCount = r.U32(kOffDescCount);
  const std::uint32_t descOffset = r.U32(kOffDescOffset);
  auto outside = [](std::uint32_t offset, std::size_t end) { return offset == 0 || offset >= end; };
  const bool ext1 = recordSize >= kOffMicrometres && outside(descOffset, kOffMicrometres);
  const bool ext2 = ext1 && recordSize >= kHeaderSize && outside(descOffset, kHeaderSize) &&
                    outside(r.U32(kOffPixelFormatOffset), kHeaderSize);
  if (ext2) h.micrometres = Size{r.I32(kOffMicrometres), r.I32(kOffMicrometres + 4)};

  if (descCount > 0 && descOffset >= kBaseHeaderSize && r.Has(descOffset, descCount, 2)) {
    std::u16string text(descCount, u'\0');
    for (std::uint32_t k = 0; k < descCount; ++k) text[k] = static_cast<char16_t>(r.U16(descOffset + 2 * k));
    while (!text.empty() && text.back() == u'\0') text.pop_back();
    h.description = Utf16ToUtf8(text);
  }
  return h;
}

std::vector<std::uint8_t> EncodeHeader(const Header& h) {
  std::u16string desc = Utf8ToUtf16(h.description);
  if (!desc.empty()) desc += std::u16string(2, u'\0');
  RecordBuilder b(EMR_HEADER);
  b.RectL(h.bounds).RectL(h.frame);
  b.U32(kSignature).U32(h.version).U32(h.bytes).U32(h.records);
  b.U16(h.handles).U16(0);
  b.U32(static_cast<std::uint32_t>(desc.size()));
  b.U32(desc.empty() ? 0 : static_cast<std::uint32_t>(kHeaderSize));
  b.U32(h.palEntries);
  b.I32(h.device.cx).I32(h.device.cy).I32(h.millimetres.cx).I32(h.millimetres.cy);
  b.U32(0).U32(0).U32(0);  // no pixel format, no OpenGL records
  b.I32(h.micrometres.cx).I32(h.micrometres.cy);
  for (char16_t c : desc) b.U16(static_cast<std::uint16_t>(c));
  return b.Finish();
}

// ---- fonts ----

void EncodeLogFontW(RecordBuilder& b, const LogFont& f) {
  b.I32(f.height).I32(f.width).I32(f.escapement).I32(f.orientation).I32(f.weight);
  b.U8(f.italic).U8(f.underline).U8(f.strikeOut).U8(f.charSet);
  b.U8(f.outPrecision).U8(f.clipPrecision).U8(f.quality).U8(f.pitchAndFamily);
  std::u16string face = Utf8ToUtf16(f.Face());
  face.resize(32, u'\0');
  face[31] = u'\0';
  for (char16_t c : face) b.U16(static_cast<std::uint16_t>(c));
}

LogFont DecodeLogFontW(const RecordView& r, std::size_t o) {
  LogFont f;
  f.height = r.I32(o);
  f.width = r.I32(o + 4);
  f.escapement = r.I32(o + 8);
  f.orientation = r.I32(o + 12);
  f.weight = r.I32(o + 16);
  f.italic = r.U8(o + 20);
  f.underline = r.U8(o + 21);
  f.strikeOut = r.U8(o + 22);
  f.charSet = r.U8(o + 23);
  f.outPrecision = r.U8(o + 24);
  f.clipPrecision = r.U8(o + 25);
  f.quality = r.U8(o + 26);
  f.pitchAndFamily = r.U8(o + 27);
  std::u16string face;
  for (std::size_t k = 0; k < 32; ++k) {
    const char16_t c = static_cast<char16_t>(r.U16(o + 28 + 2 * k));
    if (c == u'\0') break;
    face += c;
  }
  f.SetFace(Utf16ToUtf8(face));
  return f;
}

// ---- text ----

std::u16string Utf8ToUtf16(const std::string& utf8) {
  return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())).toStdU16String();
}

std::string Utf16ToUtf8(const std::u16string& utf16) {
  return QString::fromStdU16String(utf16).toStdString();
}

}  // namespace plat::emf
