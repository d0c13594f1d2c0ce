// Bitmaps over QImage (Format_RGB32) and our own BMP codec: the reader
// takes the common Windows bitmap layouts and refuses damaged data; the
// writer produces 24-bit bottom-up files.
#include "platform/bitmap.h"

#include <QBuffer>
#include <QByteArray>
#include <QImageReader>
#include <QSize>
#include <QString>

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <fstream>
#include <sys/stat.h>
#include <optional>

#include "core/binary_stream.h"
#include "platform/bitmap_impl.h"

namespace plat {

// ---- the image -------------------------------------------------------------

QImage& ImageOf(Bitmap& b) { return b.ensure_impl().image; }

const QImage& ImageOf(const Bitmap& b) {
  static const QImage kNull;
  return b.impl() ? b.impl()->image : kNull;
}

Bitmap::Bitmap() = default;

Bitmap::Bitmap(int width, int height, Colour fill) : impl_(std::make_unique<Impl>()) {
  Resize(width, height, fill);
}

Bitmap::Bitmap(const Bitmap& other)
    : impl_(other.impl_ ? std::make_unique<Impl>(*other.impl_) : nullptr) {}

// Keeps this bitmap's holder so that references to it (device contexts
// drawing on it) stay valid; the image itself is shared until written.
Bitmap& Bitmap::operator=(const Bitmap& other) {
  if (this != &other) ensure_impl().image = ImageOf(other);
  return *this;
}

Bitmap::Bitmap(Bitmap&&) noexcept = default;
Bitmap& Bitmap::operator=(Bitmap&&) noexcept = default;
Bitmap::~Bitmap() = default;

Bitmap::Impl& Bitmap::ensure_impl() {
  if (!impl_) impl_ = std::make_unique<Impl>();
  return *impl_;
}

bool Bitmap::IsNull() const { return ImageOf(*this).isNull(); }
int Bitmap::Width() const { return ImageOf(*this).width(); }
int Bitmap::Height() const { return ImageOf(*this).height(); }

void Bitmap::Resize(int width, int height, Colour fill) {
  QImage& old = ensure_impl().image;
  if (width <= 0 || height <= 0) {
    old = QImage();
    return;
  }
  if (old.width() == width && old.height() == height) return;
  QImage fresh(width, height, QImage::Format_RGB32);
  if (fresh.isNull()) {  // the allocation failed
    old = QImage();
    return;
  }
  fresh.fill(QRgbOf(fill));
  const int w = std::min(width, old.width());
  const int h = std::min(height, old.height());
  for (int y = 0; y < h; ++y)
    std::memcpy(fresh.scanLine(y), old.constScanLine(y), static_cast<std::size_t>(w) * 4);
  old = std::move(fresh);
}

void Bitmap::Fill(Colour c) {
  if (!IsNull()) ImageOf(*this).fill(QRgbOf(c));
}

Colour Bitmap::GetPixel(int x, int y) const {
  const QImage& img = ImageOf(*this);
  if (x < 0 || y < 0 || x >= img.width() || y >= img.height()) return 0xFFFFFFFF;
  return ColourOf(reinterpret_cast<const QRgb*>(img.constScanLine(y))[x]);
}

void Bitmap::SetPixel(int x, int y, Colour c) {
  if (x < 0 || y < 0 || x >= Width() || y >= Height()) return;
  reinterpret_cast<QRgb*>(ImageOf(*this).scanLine(y))[x] = QRgbOf(c);
}

bool Bitmap::operator==(const Bitmap& other) const {
  const QImage& a = ImageOf(*this);
  const QImage& b = ImageOf(other);
  if (a.isNull() || b.isNull()) return a.isNull() == b.isNull();
  if (a.size() != b.size()) return false;
  for (int y = 0; y < a.height(); ++y) {
    const auto* pa = reinterpret_cast<const QRgb*>(a.constScanLine(y));
    const auto* pb = reinterpret_cast<const QRgb*>(b.constScanLine(y));
    for (int x = 0; x < a.width(); ++x)
      if ((pa[x] ^ pb[x]) & 0x00FFFFFFu) return false;
  }
  return true;
}

bool Bitmap::WritePngFile(const std::string& path) const {
  if (IsNull()) return false;
  // Encoded in memory, then saved as every file is.
  QByteArray png;
  QBuffer buffer(&png);
  if (!buffer.open(QIODevice::WriteOnly) || !ImageOf(*this).save(&buffer, "PNG")) return false;
  return kv::WriteFileAtomically(path, std::vector<std::uint8_t>(png.begin(), png.end()));
}

Bitmap Bitmap::ReadPngFile(const std::string& path) {
  QImageReader reader(QString::fromUtf8(path.c_str(), static_cast<qsizetype>(path.size())), "PNG");
  const QSize size = reader.size();
  if (!PictureFits(size.width(), size.height())) return {};
  QImage image;
  if (!reader.read(&image)) return {};
  Bitmap b;
  ImageOf(b) = image.convertToFormat(QImage::Format_RGB32);
  return b;
}

// ---- BMP reading -----------------------------------------------------------
//
// Everything read from the bytes is checked against the data length before
// it is used.  Layout: optional 14-byte file header ("BM", file size, two
// reserved words, offset of the pixels), an info header (12 bytes for the
// old core form, 40 and more for the later ones), bit masks, a palette, and
// the pixel rows, bottom-up unless the height is negative.

namespace {

constexpr std::int64_t kMaxDimension = 16384;
// A run-length image can claim any size in a few bytes.  Up to this many
// pixels are always accepted; larger ones need at least one byte of data
// per kMaxRlePixelsPerByte pixels, which every real encoder output meets.
constexpr std::int64_t kRleFreePixels = 4 * 1024 * 1024;
constexpr std::int64_t kMaxRlePixelsPerByte = 512;
// Files larger than the largest image we accept (plus headers) are refused
// before reading.
constexpr std::uint64_t kMaxFileBytes = kMaxPicturePixels * 4 + (1u << 20);

enum : std::uint32_t { kBiRgb = 0, kBiRle8 = 1, kBiRle4 = 2, kBiBitfields = 3, kBiAlphaBitfields = 6 };

std::uint32_t Le16(const std::uint8_t* p) { return p[0] | (p[1] << 8); }
std::uint32_t Le32(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
         (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

// One colour channel of a masked 16- or 32-bit pixel, scaled to 0..255.
struct Channel {
  std::uint32_t mask = 0;
  int shift = 0;
  std::uint32_t max = 0;
  explicit Channel(std::uint32_t m) : mask(m) {
    if (m) {
      shift = std::countr_zero(m);
      max = m >> shift;
    }
  }
  int Of(std::uint32_t v) const {
    if (!max) return 0;
    const std::uint64_t raw = (v & mask) >> shift;
    return static_cast<int>((raw * 255 + max / 2) / max);
  }
};

struct Dib {
  std::int64_t width = 0;
  std::int64_t height = 0;
  bool topDown = false;
  int bpp = 0;
  std::uint32_t compression = kBiRgb;
  std::uint32_t sizeImage = 0;
  std::uint32_t masks[3] = {0, 0, 0};
  std::array<QRgb, 256> palette{};
};

// Decodes a device-independent bitmap whose info header starts at `header`.
// `pixelOffset` is the offset named by a file header (0 or absent: the
// pixels follow the palette).
Bitmap DecodeDib(const std::uint8_t* data, std::size_t size, std::size_t header,
                 std::optional<std::uint32_t> pixelOffset) {
  if (header > size || size - header < 4) return {};
  const std::uint32_t headerSize = Le32(data + header);
  if (headerSize > size - header) return {};
  const std::uint8_t* h = data + header;

  Dib dib;
  std::uint64_t paletteCount = 0;
  std::uint64_t entrySize = 4;
  std::uint64_t pos = header + headerSize;  // end of what has been read
  if (headerSize == 12) {                    // the old core header
    dib.width = Le16(h + 4);
    dib.height = Le16(h + 6);
    dib.bpp = static_cast<int>(Le16(h + 10));
    entrySize = 3;
    if (dib.bpp <= 8) paletteCount = 1u << dib.bpp;
  } else if (headerSize == 40 || headerSize == 52 || headerSize == 56 || headerSize == 108 ||
             headerSize == 124) {
    dib.width = static_cast<std::int32_t>(Le32(h + 4));
    dib.height = static_cast<std::int32_t>(Le32(h + 8));
    dib.bpp = static_cast<int>(Le16(h + 14));
    dib.compression = Le32(h + 16);
    dib.sizeImage = Le32(h + 20);
    const std::uint32_t used = Le32(h + 32);
    if (dib.bpp <= 8)
      paletteCount = used ? used : (1u << std::clamp(dib.bpp, 0, 8));
    else
      paletteCount = used;  // an optional table that only has to be skipped
    if (dib.compression == kBiBitfields || dib.compression == kBiAlphaBitfields) {
      const std::uint8_t* m = h + 40;
      if (headerSize == 40) {  // the masks follow the header
        const std::uint64_t maskBytes = dib.compression == kBiBitfields ? 12 : 16;
        if (pos + maskBytes > size) return {};
        m = data + pos;
        pos += maskBytes;
      }
      for (int k = 0; k < 3; ++k) dib.masks[k] = Le32(m + 4 * k);
    }
  } else {
    return {};
  }

  if (dib.height < 0) {
    dib.topDown = true;
    dib.height = -dib.height;
  }
  if (dib.width <= 0 || dib.height <= 0 || dib.width > kMaxDimension ||
      dib.height > kMaxDimension || !PictureFits(dib.width, dib.height))
    return {};
  switch (dib.bpp) {
    case 1: case 4: case 8: case 16: case 24: case 32: break;
    default: return {};
  }
  switch (dib.compression) {
    case kBiRgb: break;
    case kBiRle8: if (dib.bpp != 8 || dib.topDown) return {}; break;
    case kBiRle4: if (dib.bpp != 4 || dib.topDown) return {}; break;
    case kBiBitfields:
    case kBiAlphaBitfields: if (dib.bpp != 16 && dib.bpp != 32) return {}; break;
    default: return {};
  }
  if (dib.compression == kBiRgb && dib.bpp == 16) {
    dib.masks[0] = 0x7C00; dib.masks[1] = 0x03E0; dib.masks[2] = 0x001F;
  } else if (dib.compression == kBiRgb && dib.bpp == 32) {
    dib.masks[0] = 0xFF0000; dib.masks[1] = 0xFF00; dib.masks[2] = 0xFF;
  }

  // The palette: entries beyond the table (or beyond 256) stay black.
  dib.palette.fill(0xFF000000u);
  const std::uint64_t paletteBytes = paletteCount * entrySize;
  if (paletteCount > 0xFFFFFF || pos + paletteBytes > size) return {};
  if (dib.bpp <= 8) {
    const std::uint64_t n = std::min<std::uint64_t>(paletteCount, 256);
    for (std::uint64_t k = 0; k < n; ++k) {
      const std::uint8_t* e = data + pos + k * entrySize;
      dib.palette[k] = qRgb(e[2], e[1], e[0]);
    }
  }
  std::uint64_t pixels = pos + paletteBytes;
  if (pixelOffset && *pixelOffset != 0) {
    if (*pixelOffset < header + headerSize || *pixelOffset > size) return {};
    pixels = *pixelOffset;
  }
  if (pixels > size) return {};
  const std::uint8_t* px = data + pixels;
  const std::uint64_t available = size - pixels;

  const int w = static_cast<int>(dib.width);
  const int hgt = static_cast<int>(dib.height);
  const bool rle = dib.compression == kBiRle8 || dib.compression == kBiRle4;
  const std::uint64_t stride = ((static_cast<std::uint64_t>(w) * dib.bpp + 31) / 32) * 4;
  if (!rle && stride * static_cast<std::uint64_t>(hgt) > available) return {};
  std::uint64_t rleBytes = available;
  if (rle) {
    if (dib.sizeImage) rleBytes = std::min<std::uint64_t>(rleBytes, dib.sizeImage);
    const std::int64_t area = dib.width * dib.height;
    if (area > kRleFreePixels &&
        area > static_cast<std::int64_t>(rleBytes) * kMaxRlePixelsPerByte)
      return {};
  }

  Bitmap out(w, hgt);
  if (out.IsNull()) return {};
  QImage& img = ImageOf(out);
  auto rowOf = [&](std::int64_t streamRow) {
    const int y = dib.topDown ? static_cast<int>(streamRow) : hgt - 1 - static_cast<int>(streamRow);
    return reinterpret_cast<QRgb*>(img.scanLine(y));
  };

  if (!rle) {
    const Channel r(dib.masks[0]), g(dib.masks[1]), b(dib.masks[2]);
    for (int sr = 0; sr < hgt; ++sr) {
      const std::uint8_t* s = px + stride * sr;
      QRgb* d = rowOf(sr);
      switch (dib.bpp) {
        case 1:
          for (int x = 0; x < w; ++x) d[x] = dib.palette[(s[x >> 3] >> (7 - (x & 7))) & 1];
          break;
        case 4:
          for (int x = 0; x < w; ++x) d[x] = dib.palette[(s[x >> 1] >> ((x & 1) ? 0 : 4)) & 0xF];
          break;
        case 8:
          for (int x = 0; x < w; ++x) d[x] = dib.palette[s[x]];
          break;
        case 16:
          for (int x = 0; x < w; ++x) {
            const std::uint32_t v = Le16(s + 2 * x);
            d[x] = qRgb(r.Of(v), g.Of(v), b.Of(v));
          }
          break;
        case 24:
          for (int x = 0; x < w; ++x) d[x] = qRgb(s[3 * x + 2], s[3 * x + 1], s[3 * x]);
          break;
        case 32:
          for (int x = 0; x < w; ++x) {
            const std::uint32_t v = Le32(s + 4 * x);
            d[x] = qRgb(r.Of(v), g.Of(v), b.Of(v));
          }
          break;
      }
    }
    return out;
  }

  // Run-length coding: pairs (count, value) draw runs; (0, 0) ends a line,
  // (0, 1) ends the image, (0, 2, dx, dy) moves, (0, n >= 3) is followed by
  // n literal pixels padded to a 16-bit boundary.  Pixels that the stream
  // never reaches keep palette entry 0; pixels beyond the right edge are
  // dropped.  A stream that stops before the end code or the last line is
  // a damaged image.
  img.fill(dib.palette[0]);
  const bool four = dib.compression == kBiRle4;
  std::uint64_t p = 0;
  std::int64_t x = 0, row = 0;
  auto put = [&](std::int64_t at, int index) {
    if (at < w) rowOf(row)[at] = dib.palette[index];
  };
  while (row < hgt) {
    if (rleBytes - p < 2) return {};
    const int count = px[p];
    const int value = px[p + 1];
    p += 2;
    if (count > 0) {
      for (int k = 0; k < count && x + k < w; ++k)
        put(x + k, four ? ((k & 1) ? value & 0xF : value >> 4) : value);
      x += count;
    } else if (value == 0) {
      x = 0;
      ++row;
    } else if (value == 1) {
      break;
    } else if (value == 2) {
      if (rleBytes - p < 2) return {};
      x += px[p];
      row += px[p + 1];
      p += 2;
    } else {
      const std::uint64_t bytes = four ? (static_cast<std::uint64_t>(value) + 1) / 2 : value;
      const std::uint64_t padded = (bytes + 1) & ~std::uint64_t{1};
      if (rleBytes - p < padded) return {};
      for (int k = 0; k < value && x + k < w; ++k) {
        const int byte = px[p + (four ? k / 2 : k)];
        put(x + k, four ? ((k & 1) ? byte & 0xF : byte >> 4) : byte);
      }
      x += value;
      p += padded;
    }
  }
  return out;
}

void Put16(std::vector<std::uint8_t>& v, std::uint32_t x) {
  v.push_back(static_cast<std::uint8_t>(x));
  v.push_back(static_cast<std::uint8_t>(x >> 8));
}
void Put32(std::vector<std::uint8_t>& v, std::uint32_t x) {
  Put16(v, x & 0xFFFF);
  Put16(v, x >> 16);
}

}  // namespace

Bitmap Bitmap::FromBmpBytes(const std::vector<std::uint8_t>& bytes) {
  if (bytes.size() < 14 + 4 || bytes[0] != 'B' || bytes[1] != 'M') return {};
  return DecodeDib(bytes.data(), bytes.size(), 14, Le32(bytes.data() + 10));
}

Bitmap Bitmap::FromDibBytes(const std::vector<std::uint8_t>& bytes) {
  return DecodeDib(bytes.data(), bytes.size(), 0, std::nullopt);
}

Bitmap Bitmap::ReadBmpFile(const std::string& path) {
  // Only regular files: a FIFO would block and a device never end.
  struct stat st;
  if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return {};
  std::ifstream in(path, std::ios::binary | std::ios::ate);
  if (!in) return {};
  const std::streamoff size = in.tellg();
  if (size <= 0 || static_cast<std::uint64_t>(size) > kMaxFileBytes) return {};
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
  in.seekg(0);
  if (!in.read(reinterpret_cast<char*>(bytes.data()), size)) return {};
  return FromBmpBytes(bytes);
}

// ---- BMP writing: 24 bits per pixel, bottom-up, 96 dpi ----------------------

std::vector<std::uint8_t> Bitmap::ToBmpBytes() const {
  if (IsNull()) return {};
  const QImage& img = ImageOf(*this);
  const std::uint64_t w = static_cast<std::uint64_t>(img.width());
  const std::uint64_t h = static_cast<std::uint64_t>(img.height());
  const std::uint64_t stride = (w * 3 + 3) & ~std::uint64_t{3};
  const std::uint64_t total = 54 + stride * h;
  if (total > 0xFFFFFFFFu) return {};  // sizes in the headers are 32-bit
  std::vector<std::uint8_t> v;
  v.reserve(static_cast<std::size_t>(total));
  v.push_back('B');
  v.push_back('M');
  Put32(v, static_cast<std::uint32_t>(total));
  Put32(v, 0);
  Put32(v, 54);
  Put32(v, 40);
  Put32(v, static_cast<std::uint32_t>(w));
  Put32(v, static_cast<std::uint32_t>(h));
  Put16(v, 1);
  Put16(v, 24);
  Put32(v, kBiRgb);
  Put32(v, static_cast<std::uint32_t>(stride * h));
  Put32(v, 3780);  // 96 dpi in pixels per metre
  Put32(v, 3780);
  Put32(v, 0);
  Put32(v, 0);
  for (std::uint64_t r = 0; r < h; ++r) {
    const auto* s = reinterpret_cast<const QRgb*>(img.constScanLine(static_cast<int>(h - 1 - r)));
    for (std::uint64_t x = 0; x < w; ++x) {
      v.push_back(static_cast<std::uint8_t>(qBlue(s[x])));
      v.push_back(static_cast<std::uint8_t>(qGreen(s[x])));
      v.push_back(static_cast<std::uint8_t>(qRed(s[x])));
    }
    for (std::uint64_t k = w * 3; k < stride; ++k) v.push_back(0);
  }
  return v;
}

bool Bitmap::WriteBmpFile(const std::string& path) const {
  // Like every save: only a regular file is replaced (a FIFO would block).
  const std::vector<std::uint8_t> bytes = ToBmpBytes();
  return !bytes.empty() && kv::WriteFileAtomically(path, bytes);
}

}  // namespace plat
