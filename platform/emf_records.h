// The byte layout of enhanced metafiles (EMF): record types, stock objects,
// the header record, and bounds-checked readers and writers for record
// fields.  Everything is little-endian; a record is a 32-bit type, a 32-bit
// size (a multiple of 4, header included) and its fields.
//
// Readers never trust a size, offset or count in the bytes: every field read
// outside a record gives 0, and Has() says whether a span lies inside it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/dc.h"
#include "platform/logfont.h"
#include "platform/types.h"

namespace plat::emf {

enum RecordType : std::uint32_t {
  EMR_HEADER = 1,
  EMR_POLYBEZIER = 2,
  EMR_POLYGON = 3,
  EMR_POLYLINE = 4,
  EMR_POLYBEZIERTO = 5,
  EMR_POLYLINETO = 6,
  EMR_POLYPOLYLINE = 7,
  EMR_POLYPOLYGON = 8,
  EMR_SETWINDOWEXTEX = 9,
  EMR_SETWINDOWORGEX = 10,
  EMR_SETVIEWPORTEXTEX = 11,
  EMR_SETVIEWPORTORGEX = 12,
  EMR_SETBRUSHORGEX = 13,
  EMR_EOF = 14,
  EMR_SETPIXELV = 15,
  EMR_SETMAPPERFLAGS = 16,
  EMR_SETMAPMODE = 17,
  EMR_SETBKMODE = 18,
  EMR_SETPOLYFILLMODE = 19,
  EMR_SETROP2 = 20,
  EMR_SETSTRETCHBLTMODE = 21,
  EMR_SETTEXTALIGN = 22,
  EMR_SETCOLORADJUSTMENT = 23,
  EMR_SETTEXTCOLOR = 24,
  EMR_SETBKCOLOR = 25,
  EMR_OFFSETCLIPRGN = 26,
  EMR_MOVETOEX = 27,
  EMR_SETMETARGN = 28,
  EMR_EXCLUDECLIPRECT = 29,
  EMR_INTERSECTCLIPRECT = 30,
  EMR_SCALEVIEWPORTEXTEX = 31,
  EMR_SCALEWINDOWEXTEX = 32,
  EMR_SAVEDC = 33,
  EMR_RESTOREDC = 34,
  EMR_SETWORLDTRANSFORM = 35,
  EMR_MODIFYWORLDTRANSFORM = 36,
  EMR_SELECTOBJECT = 37,
  EMR_CREATEPEN = 38,
  EMR_CREATEBRUSHINDIRECT = 39,
  EMR_DELETEOBJECT = 40,
  EMR_ANGLEARC = 41,
  EMR_ELLIPSE = 42,
  EMR_RECTANGLE = 43,
  EMR_ROUNDRECT = 44,
  EMR_ARC = 45,
  EMR_CHORD = 46,
  EMR_PIE = 47,
  EMR_SELECTPALETTE = 48,
  EMR_CREATEPALETTE = 49,
  EMR_LINETO = 54,
  EMR_ARCTO = 55,
  EMR_POLYDRAW = 56,
  EMR_SETARCDIRECTION = 57,
  EMR_SETMITERLIMIT = 58,
  EMR_BEGINPATH = 59,
  EMR_ENDPATH = 60,
  EMR_CLOSEFIGURE = 61,
  EMR_FILLPATH = 62,
  EMR_STROKEANDFILLPATH = 63,
  EMR_STROKEPATH = 64,
  EMR_FLATTENPATH = 65,
  EMR_WIDENPATH = 66,
  EMR_SELECTCLIPPATH = 67,
  EMR_ABORTPATH = 68,
  EMR_COMMENT = 70,
  EMR_FILLRGN = 71,
  EMR_FRAMERGN = 72,
  EMR_INVERTRGN = 73,
  EMR_PAINTRGN = 74,
  EMR_EXTSELECTCLIPRGN = 75,
  EMR_BITBLT = 76,
  EMR_STRETCHBLT = 77,
  EMR_MASKBLT = 78,
  EMR_PLGBLT = 79,
  EMR_SETDIBITSTODEVICE = 80,
  EMR_STRETCHDIBITS = 81,
  EMR_EXTCREATEFONTINDIRECTW = 82,
  EMR_EXTTEXTOUTA = 83,
  EMR_EXTTEXTOUTW = 84,
  EMR_POLYBEZIER16 = 85,
  EMR_POLYGON16 = 86,
  EMR_POLYLINE16 = 87,
  EMR_POLYBEZIERTO16 = 88,
  EMR_POLYLINETO16 = 89,
  EMR_POLYPOLYLINE16 = 90,
  EMR_POLYPOLYGON16 = 91,
  EMR_POLYDRAW16 = 92,
  EMR_CREATEMONOBRUSH = 93,
  EMR_CREATEDIBPATTERNBRUSHPT = 94,
  EMR_EXTCREATEPEN = 95,
  EMR_SMALLTEXTOUT = 108,
};

// Object handles with this bit set name stock objects.
inline constexpr std::uint32_t kStockObject = 0x80000000u;
enum StockObject : std::uint32_t {
  WHITE_BRUSH = 0,
  LTGRAY_BRUSH = 1,
  GRAY_BRUSH = 2,
  DKGRAY_BRUSH = 3,
  BLACK_BRUSH = 4,
  NULL_BRUSH = 5,
  WHITE_PEN = 6,
  BLACK_PEN = 7,
  NULL_PEN = 8,
  OEM_FIXED_FONT = 10,
  ANSI_FIXED_FONT = 11,
  ANSI_VAR_FONT = 12,
  SYSTEM_FONT = 13,
  DEVICE_DEFAULT_FONT = 14,
  DEFAULT_PALETTE = 15,
  SYSTEM_FIXED_FONT = 16,
  DEFAULT_GUI_FONT = 17,
  DC_BRUSH = 18,
  DC_PEN = 19,
};

enum MapMode : std::uint32_t {
  MM_TEXT = 1,
  MM_LOMETRIC = 2,
  MM_HIMETRIC = 3,
  MM_LOENGLISH = 4,
  MM_HIENGLISH = 5,
  MM_TWIPS = 6,
  MM_ISOTROPIC = 7,
  MM_ANISOTROPIC = 8,
};

enum RegionMode : std::uint32_t { RGN_AND = 1, RGN_OR = 2, RGN_XOR = 3, RGN_DIFF = 4, RGN_COPY = 5 };

enum TextOutOption : std::uint32_t {
  ETO_OPAQUE = 0x0002,
  ETO_CLIPPED = 0x0004,
  ETO_GLYPH_INDEX = 0x0010,
  ETO_NO_RECT = 0x0100,
  ETO_SMALL_CHARS = 0x0200,
};

enum WorldTransformMode : std::uint32_t {
  MWT_IDENTITY = 1,
  MWT_LEFTMULTIPLY = 2,
  MWT_RIGHTMULTIPLY = 3,
  MWT_SET = 4,
};

inline constexpr std::uint32_t kSignature = 0x464D4520;  // " EMF"
inline constexpr std::uint32_t kVersion = 0x00010000;
inline constexpr std::size_t kBaseHeaderSize = 88;  // without the extensions
inline constexpr std::size_t kHeaderSize = 108;     // with both extensions, as we write it
inline constexpr std::size_t kEofSize = 20;
inline constexpr std::size_t kLogFontWSize = 92;
inline constexpr std::uint32_t kInvalidColour = 0xFFFFFFFFu;

// The header record.  Bounds and frame are inclusive-inclusive rectangles
// as the format stores them (bounds in pixels of the reference device,
// frame in hundredths of a millimetre); Rect's exclusive edges do not apply.
struct Header {
  Rect bounds;
  Rect frame;
  std::uint32_t recordSize = 0;  // the header record's own size
  std::uint32_t version = kVersion;
  std::uint32_t bytes = 0;    // the whole metafile
  std::uint32_t records = 0;  // header and end record included
  std::uint16_t handles = 1;  // object table size, slot 0 reserved
  std::uint32_t palEntries = 0;
  Size device;       // reference device in pixels
  Size millimetres;  // reference device in millimetres
  Size micrometres;  // the same in micrometres; 0 when the header has no such field
  // The description: UTF-8 text whose parts (program, picture) are
  // separated by NUL characters; trailing NULs are left out.
  std::string description;
  friend bool operator==(const Header&, const Header&) = default;
};

// Reads the header record at the start of `data`.  Nothing when the bytes
// cannot be an enhanced metafile: too short, wrong type or signature, a
// record size that is not a multiple of 4 or runs past the bytes.  Fields
// that point outside the header record (the description) are ignored.
std::optional<Header> DecodeHeader(const std::uint8_t* data, std::size_t size);

// The header record with both extensions and the description (UTF-16 with
// the terminating NULs), padded to 4 bytes.  recordSize is computed.
std::vector<std::uint8_t> EncodeHeader(const Header& h);

// One record's bytes.  Reads outside the record give 0.
class RecordView {
 public:
  RecordView(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
  std::uint32_t Type() const { return U32(0); }
  std::size_t Size() const { return size_; }
  const std::uint8_t* Data() const { return data_; }
  // Whether `count` items of `itemSize` bytes starting at `offset` lie
  // inside the record (computed without overflow).
  bool Has(std::uint64_t offset, std::uint64_t count, std::uint64_t itemSize = 1) const;
  std::uint8_t U8(std::size_t offset) const;
  std::uint16_t U16(std::size_t offset) const;
  std::int16_t I16(std::size_t offset) const { return static_cast<std::int16_t>(U16(offset)); }
  std::uint32_t U32(std::size_t offset) const;
  std::int32_t I32(std::size_t offset) const { return static_cast<std::int32_t>(U32(offset)); }
  float F32(std::size_t offset) const;

 private:
  const std::uint8_t* data_;
  std::size_t size_;
};

// Builds one record; Finish() writes its size and pads it to 4 bytes.
class RecordBuilder {
 public:
  explicit RecordBuilder(std::uint32_t type);
  RecordBuilder& U8(std::uint8_t v);
  RecordBuilder& U16(std::uint16_t v);
  RecordBuilder& I16(std::int16_t v) { return U16(static_cast<std::uint16_t>(v)); }
  RecordBuilder& U32(std::uint32_t v);
  RecordBuilder& I32(std::int32_t v) { return U32(static_cast<std::uint32_t>(v)); }
  RecordBuilder& F32(float v);
  RecordBuilder& Bytes(const std::uint8_t* p, std::size_t n);
  RecordBuilder& RectL(const Rect& r);  // left, top, right, bottom
  RecordBuilder& PointL(Point p);
  RecordBuilder& Pad4();
  std::size_t Offset() const { return bytes_.size(); }
  void PatchU32(std::size_t offset, std::uint32_t v);
  const std::vector<std::uint8_t>& Finish();

 private:
  std::vector<std::uint8_t> bytes_;
};

// Colour references: 0x00BBGGRR, as the program keeps its colours.
inline Colour ColourRef(std::uint32_t v) { return v & 0xFFFFFF; }

// The fixed-size font record (92 bytes): five 32-bit fields, eight bytes
// and a 32-character UTF-16 face name.
void EncodeLogFontW(RecordBuilder& b, const LogFont& font);
LogFont DecodeLogFontW(const RecordView& r, std::size_t offset);

// UTF-16 (little-endian code units) and UTF-8.
std::u16string Utf8ToUtf16(const std::string& utf8);
std::string Utf16ToUtf8(const std::u16string& utf16);

}  // namespace plat::emf
