// Bitmaps as values, and the BMP reader and writer: every pixel format the
// reader accepts, built here byte by byte, and damaged data of all sorts.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <random>
#include <string>
#include <vector>
#include <sys/stat.h>

#include "platform/bitmap.h"
#include "support/child_process.h"
#include "support/test_env.h"

namespace {

using namespace plat;
using Bytes = std::vector<std::uint8_t>;

constexpr Colour kWhite = Rgb(255, 255, 255);

void Put16(Bytes& v, std::uint32_t x) {
  v.push_back(x & 0xFF);
  v.push_back((x >> 8) & 0xFF);
}
void Put32(Bytes& v, std::uint32_t x) {
  Put16(v, x & 0xFFFF);
  Put16(v, x >> 16);
}
std::uint32_t Get32(const Bytes& v, std::size_t at) {
  return v[at] | (v[at + 1] << 8) | (v[at + 2] << 16) | (std::uint32_t{v[at + 3]} << 24);
}
void Set32(Bytes& v, std::size_t at, std::uint32_t x) {
  for (int k = 0; k < 4; ++k) v[at + k] = (x >> (8 * k)) & 0xFF;
}

// A BMP image put together field by field.
struct BmpLayout {
  std::uint32_t headerSize = 40;  // 12 (core), 40, 108 or 124
  int width = 0;
  int height = 0;                 // negative: top-down
  int bpp = 8;
  std::uint32_t compression = 0;
  std::vector<Colour> palette;
  std::vector<std::uint32_t> masks;  // written into the header (>= 52) or after it (40)
  Bytes pixels;
};

Bytes MakeDib(const BmpLayout& s) {
  Bytes v;
  Put32(v, s.headerSize);
  if (s.headerSize == 12) {
    Put16(v, s.width);
    Put16(v, s.height);
    Put16(v, 1);
    Put16(v, s.bpp);
  } else {
    Put32(v, s.width);
    Put32(v, static_cast<std::uint32_t>(s.height));
    Put16(v, 1);
    Put16(v, s.bpp);
    Put32(v, s.compression);
    Put32(v, static_cast<std::uint32_t>(s.pixels.size()));
    Put32(v, 2835);
    Put32(v, 2835);
    Put32(v, static_cast<std::uint32_t>(s.palette.size()));
    Put32(v, 0);
    std::vector<std::uint32_t> inHeader = s.headerSize > 40 ? s.masks : std::vector<std::uint32_t>{};
    inHeader.resize(4, 0);
    while (v.size() < s.headerSize) {
      const std::size_t k = (v.size() - 40) / 4;
      Put32(v, k < inHeader.size() ? inHeader[k] : 0);
    }
    if (s.headerSize == 40)
      for (std::uint32_t m : s.masks) Put32(v, m);
  }
  for (Colour c : s.palette) {
    v.push_back(BlueOf(c));
    v.push_back(GreenOf(c));
    v.push_back(RedOf(c));
    if (s.headerSize != 12) v.push_back(0);
  }
  v.insert(v.end(), s.pixels.begin(), s.pixels.end());
  return v;
}

Bytes MakeBmp(const BmpLayout& s) {
  const Bytes dib = MakeDib(s);
  Bytes v{'B', 'M'};
  Put32(v, static_cast<std::uint32_t>(14 + dib.size()));
  Put32(v, 0);
  Put32(v, static_cast<std::uint32_t>(14 + dib.size() - s.pixels.size()));
  v.insert(v.end(), dib.begin(), dib.end());
  return v;
}

// Rows of pixel values packed at `bpp` bits, each row padded to 4 bytes,
// in file order (bottom row first unless top-down).
Bytes PackRows(int w, int h, int bpp, bool topDown, const std::function<std::uint32_t(int, int)>& value) {
  Bytes out;
  for (int r = 0; r < h; ++r) {
    const int y = topDown ? r : h - 1 - r;
    Bytes row((w * bpp + 31) / 32 * 4, 0);
    for (int x = 0; x < w; ++x) {
      const std::uint32_t v = value(x, y);
      const int bit = x * bpp;
      if (bpp < 8)
        row[bit / 8] |= v << (8 - bpp - bit % 8);
      else
        for (int k = 0; k < bpp / 8; ++k) row[bit / 8 + k] = (v >> (8 * k)) & 0xFF;
    }
    out.insert(out.end(), row.begin(), row.end());
  }
  return out;
}

std::vector<Colour> Palette(int n) {
  std::vector<Colour> p;
  for (int k = 0; k < n; ++k) p.push_back(Rgb(k * 37 + 5, 255 - k * 11, k * 53 % 256));
  return p;
}

Bitmap Noise(int w, int h, unsigned seed) {
  std::mt19937 rng(seed);
  Bitmap b(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) b.SetPixel(x, y, rng() & 0xFFFFFF);
  return b;
}

// ---------------------------------------------------------------------------

TEST(BitmapValue, CopiesAreIndependentAndCompareByPixels) {
  Bitmap a(3, 2, Rgb(1, 2, 3));
  EXPECT_FALSE(a.IsNull());
  EXPECT_EQ(a.Width(), 3);
  EXPECT_EQ(a.Height(), 2);
  EXPECT_EQ(a.GetPixel(2, 1), Rgb(1, 2, 3));
  EXPECT_EQ(a.GetPixel(3, 0), 0xFFFFFFFFu);
  EXPECT_EQ(a.GetPixel(0, -1), 0xFFFFFFFFu);
  a.SetPixel(7, 7, 0);  // ignored

  Bitmap b = a;
  EXPECT_TRUE(a == b);
  b.SetPixel(0, 0, Rgb(9, 9, 9));
  EXPECT_EQ(a.GetPixel(0, 0), Rgb(1, 2, 3));
  EXPECT_FALSE(a == b);
  a = b;
  EXPECT_TRUE(a == b);
  EXPECT_FALSE(a == Bitmap(3, 3, Rgb(9, 9, 9)));

  Bitmap moved = std::move(b);
  EXPECT_TRUE(moved == a);
  EXPECT_TRUE(Bitmap() == Bitmap(0, 5));
  EXPECT_TRUE(Bitmap().IsNull());
  EXPECT_TRUE(Bitmap(-4, 4).IsNull());
  EXPECT_EQ(Bitmap().GetPixel(0, 0), 0xFFFFFFFFu);
  EXPECT_TRUE(Bitmap().ToBmpBytes().empty());
}

TEST(BitmapValue, ResizeKeepsTheOverlap) {
  struct Case {
    int w, h;
  };
  for (const Case c : {Case{8, 6}, Case{3, 2}, Case{5, 9}, Case{2, 7}}) {
    const Bitmap original = Noise(5, 4, 1);
    Bitmap b = original;
    b.Resize(c.w, c.h, Rgb(7, 7, 7));
    ASSERT_EQ(b.Width(), c.w);
    ASSERT_EQ(b.Height(), c.h);
    for (int y = 0; y < c.h; ++y)
      for (int x = 0; x < c.w; ++x)
        EXPECT_EQ(b.GetPixel(x, y), x < 5 && y < 4 ? original.GetPixel(x, y) : Rgb(7, 7, 7));
  }
  Bitmap b(4, 4);
  b.Resize(0, 3);
  EXPECT_TRUE(b.IsNull());
  b.Fill(0);  // harmless on a null bitmap
}

TEST(BitmapBmp, WritesBottomUp24BitAndReadsItBack) {
  for (int w : {1, 2, 3, 4, 7}) {
    const Bitmap original = Noise(w, 5, w);
    const Bytes bytes = original.ToBmpBytes();
    const std::uint32_t stride = (w * 3 + 3) & ~3;
    ASSERT_EQ(bytes.size(), 54 + stride * 5);
    EXPECT_EQ(bytes[0], 'B');
    EXPECT_EQ(bytes[1], 'M');
    EXPECT_EQ(Get32(bytes, 2), bytes.size());
    EXPECT_EQ(Get32(bytes, 10), 54u);
    EXPECT_EQ(Get32(bytes, 14), 40u);
    EXPECT_EQ(Get32(bytes, 22), 5u);  // positive height: bottom-up
    EXPECT_EQ(bytes[28], 24);
    const Colour bottomLeft = original.GetPixel(0, 4);
    EXPECT_EQ(bytes[54], BlueOf(bottomLeft));
    EXPECT_EQ(bytes[56], RedOf(bottomLeft));
    EXPECT_TRUE(Bitmap::FromBmpBytes(bytes) == original) << w;
    EXPECT_TRUE(Bitmap::FromDibBytes(Bytes(bytes.begin() + 14, bytes.end())) == original) << w;
  }
  const std::string dir = kvtest::MakeTempDir("bitmap_bmp");
  const Bitmap picture = Noise(13, 11, 99);
  ASSERT_TRUE(picture.WriteBmpFile(dir + "p.bmp"));
  EXPECT_TRUE(Bitmap::ReadBmpFile(dir + "p.bmp") == picture);
  EXPECT_TRUE(Bitmap::ReadBmpFile(dir + "missing.bmp").IsNull());
  EXPECT_FALSE(Bitmap().WriteBmpFile(dir + "null.bmp"));
  EXPECT_FALSE(picture.WriteBmpFile(dir + "no/such/dir.bmp"));
  ASSERT_TRUE(picture.WritePngFile(dir + "p.png"));
  EXPECT_GT(std::filesystem::file_size(dir + "p.png"), 0u);
}

// Writing a picture is a save like any other: a FIFO (or a link to one) at
// the target is refused at once and stays, a regular file is replaced.
// Each write runs in a child process, so a write that blocks fails the test
// instead of hanging it.
TEST(BitmapBmp, WritesOnlyRegularFiles) {
  namespace fs = std::filesystem;
  const std::string dir = kvtest::MakeTempDir("bmp_kinds");
  ASSERT_EQ(::mkfifo((dir + "fifo.bmp").c_str(), 0600), 0);
  fs::create_symlink(dir + "fifo.bmp", dir + "link.bmp");
  const Bitmap b(3, 2, Rgb(1, 2, 3));
  for (const bool png : {false, true}) {
    SCOPED_TRACE(png ? "PNG" : "BMP");
    auto writeInChild = [&](const std::string& path) {
      return kvtest::RunInChild([&] { return png ? b.WritePngFile(path) : b.WriteBmpFile(path); });
    };
    EXPECT_EQ(writeInChild(dir + "fifo.bmp"), 0);
    EXPECT_EQ(writeInChild(dir + "link.bmp"), 0);
    EXPECT_EQ(fs::status(dir + "link.bmp").type(), fs::file_type::fifo);
    EXPECT_EQ(writeInChild(dir + "plain.bmp"), 1);
    EXPECT_EQ(png ? Bitmap::ReadPngFile(dir + "plain.bmp") : Bitmap::ReadBmpFile(dir + "plain.bmp"), b);
  }
}

TEST(BitmapBmp, ReadsIndexedImagesInAllHeaderForms) {
  struct Case {
    const char* name;
    std::uint32_t headerSize;
    int bpp;
    bool topDown;
  };
  const Case cases[] = {
      {"1 bit", 40, 1, false},        {"4 bit", 40, 4, false},   {"8 bit", 40, 8, false},
      {"8 bit top-down", 40, 8, true}, {"4 bit V4", 108, 4, false}, {"8 bit V5", 124, 8, true},
      {"1 bit core", 12, 1, false},   {"8 bit core", 12, 8, false},
  };
  const int w = 11, h = 5;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const int colours = 1 << c.bpp;
    const auto index = [colours](int x, int y) { return static_cast<std::uint32_t>((x + 3 * y) % colours); };
    BmpLayout s;
    s.headerSize = c.headerSize;
    s.width = w;
    s.height = c.topDown ? -h : h;
    s.bpp = c.bpp;
    s.palette = Palette(colours);
    s.pixels = PackRows(w, h, c.bpp, c.topDown, index);
    const Bitmap b = Bitmap::FromBmpBytes(MakeBmp(s));
    ASSERT_EQ(b.Width(), w);
    ASSERT_EQ(b.Height(), h);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) ASSERT_EQ(b.GetPixel(x, y), s.palette[index(x, y)]) << x << "," << y;
    if (c.headerSize != 12) {
      EXPECT_TRUE(Bitmap::FromDibBytes(MakeDib(s)) == b);
    }
  }
}

TEST(BitmapBmp, ReadsDirectColourFormats) {
  const Colour colours[] = {Rgb(255, 0, 0), Rgb(0, 255, 0), Rgb(0, 0, 255), Rgb(255, 255, 255),
                            Rgb(0, 0, 0)};
  struct Case {
    const char* name;
    int bpp;
    std::uint32_t compression;
    std::uint32_t headerSize;
    std::vector<std::uint32_t> masks;
    std::function<std::uint32_t(Colour)> encode;
  };
  const Case cases[] = {
      {"16 bit 5-5-5", 16, 0, 40, {},
       [](Colour c) { return (RedOf(c) >> 3) << 10 | (GreenOf(c) >> 3) << 5 | BlueOf(c) >> 3; }},
      {"16 bit 5-6-5 fields", 16, 3, 40, {0xF800, 0x07E0, 0x001F},
       [](Colour c) { return (RedOf(c) >> 3) << 11 | (GreenOf(c) >> 2) << 5 | BlueOf(c) >> 3; }},
      {"24 bit", 24, 0, 40, {},
       [](Colour c) { return std::uint32_t(BlueOf(c)) | GreenOf(c) << 8 | RedOf(c) << 16; }},
      {"32 bit", 32, 0, 40, {},
       [](Colour c) { return 0xAB000000u | BlueOf(c) | GreenOf(c) << 8 | RedOf(c) << 16; }},
      {"32 bit fields in V5", 32, 3, 124, {0x000000FF, 0x0000FF00, 0x00FF0000},
       [](Colour c) { return std::uint32_t(RedOf(c)) | GreenOf(c) << 8 | BlueOf(c) << 16; }},
      {"32 bit fields after header", 32, 3, 40, {0xFF000000, 0x00FF0000, 0x0000FF00},
       [](Colour c) { return std::uint32_t(RedOf(c)) << 24 | GreenOf(c) << 16 | BlueOf(c) << 8; }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    BmpLayout s;
    s.headerSize = c.headerSize;
    s.width = 5;
    s.height = 3;
    s.bpp = c.bpp;
    s.compression = c.compression;
    s.masks = c.masks;
    s.pixels = PackRows(5, 3, c.bpp, false, [&](int x, int y) { return c.encode(colours[(x + y) % 5]); });
    const Bitmap b = Bitmap::FromBmpBytes(MakeBmp(s));
    ASSERT_FALSE(b.IsNull());
    for (int y = 0; y < 3; ++y)
      for (int x = 0; x < 5; ++x) ASSERT_EQ(b.GetPixel(x, y), colours[(x + y) % 5]) << x << "," << y;
    EXPECT_TRUE(Bitmap::FromDibBytes(MakeDib(s)) == b);
  }
}

TEST(BitmapBmp, ReadsRunLengthImages) {
  const std::vector<Colour> pal = Palette(16);
  // 8 bits, 6 x 4, bottom row first: a run and a literal group, a full-row
  // run, then a move to (2, 3) and a run there, then the end.
  BmpLayout s8;
  s8.width = 6;
  s8.height = 4;
  s8.compression = 1;
  s8.palette = pal;
  s8.pixels = {3, 1, 0, 3, 2, 3, 4, 0, 0, 0,  // row 0: 1 1 1 2 3 4
               6, 5, 0, 0,                    // row 1: 5 x 6
               0, 2, 2, 1,                    // to x + 2, two rows up
               2, 3, 9, 7,                    // row 3: x 2..3 = 3, the 9-run is cut at the edge
               0, 1};
  const Bitmap b8 = Bitmap::FromBmpBytes(MakeBmp(s8));
  ASSERT_FALSE(b8.IsNull());
  const int want8[4][6] = {{0, 0, 3, 3, 7, 7}, {0, 0, 0, 0, 0, 0}, {5, 5, 5, 5, 5, 5}, {1, 1, 1, 2, 3, 4}};
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 6; ++x) EXPECT_EQ(b8.GetPixel(x, y), pal[want8[y][x]]) << x << "," << y;

  // 4 bits, 5 x 2: a run of alternating nibbles, then three literal nibbles.
  BmpLayout s4;
  s4.width = 5;
  s4.height = 2;
  s4.bpp = 4;
  s4.compression = 2;
  s4.palette = pal;
  s4.pixels = {5, 0x12, 0, 0, 0, 3, 0x34, 0x50, 0, 0, 0, 1};
  const Bitmap b4 = Bitmap::FromBmpBytes(MakeBmp(s4));
  ASSERT_FALSE(b4.IsNull());
  const int want4[2][5] = {{3, 4, 5, 0, 0}, {1, 2, 1, 2, 1}};
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 5; ++x) EXPECT_EQ(b4.GetPixel(x, y), pal[want4[y][x]]) << x << "," << y;
}

// Every damaged image is refused with a null bitmap; nothing is trusted
// before it is checked against the data.
TEST(BitmapBmp, RefusesMalformedImages) {
  BmpLayout good;
  good.width = 4;
  good.height = 3;
  good.palette = Palette(4);
  good.pixels = PackRows(4, 3, 8, false, [](int x, int) { return x; });
  const Bytes valid = MakeBmp(good);
  ASSERT_FALSE(Bitmap::FromBmpBytes(valid).IsNull());

  struct Case {
    const char* name;
    std::function<void(BmpLayout&)> layout;      // change before building
    std::function<void(Bytes&)> bytes;        // change after building
  };
  auto none = [](BmpLayout&) {};
  auto asIs = [](Bytes&) {};
  const Case cases[] = {
      {"zero width", [](BmpLayout& s) { s.width = 0; }, asIs},
      {"negative width", [](BmpLayout& s) { s.width = -4; }, asIs},
      {"zero height", [](BmpLayout& s) { s.height = 0; }, asIs},
      {"most negative height", [](BmpLayout& s) { s.height = INT32_MIN; }, asIs},
      {"too wide", [](BmpLayout& s) { s.width = 16385; }, asIs},
      {"huge claimed size", [](BmpLayout& s) { s.width = 16000; s.height = 16000; }, asIs},
      {"bit count 7", [](BmpLayout& s) { s.bpp = 7; }, asIs},
      {"bit count 0", [](BmpLayout& s) { s.bpp = 0; }, asIs},
      {"RLE8 with 4 bits", [](BmpLayout& s) { s.bpp = 4; s.compression = 1; }, asIs},
      {"top-down RLE", [](BmpLayout& s) { s.compression = 1; s.height = -3; }, asIs},
      {"JPEG inside", [](BmpLayout& s) { s.compression = 4; }, asIs},
      {"bit fields with 8 bits", [](BmpLayout& s) { s.compression = 3; }, asIs},
      {"odd header size", none, [](Bytes& b) { Set32(b, 14, 41); }},
      {"header larger than data", none, [](Bytes& b) { Set32(b, 14, 0xFFFFFFF0u); }},
      {"palette count huge", none, [](Bytes& b) { Set32(b, 14 + 32, 0xFFFFFFFFu); }},
      {"palette beyond the data", none, [](Bytes& b) { Set32(b, 14 + 32, 200); }},
      {"pixel offset beyond the end", none, [](Bytes& b) { Set32(b, 10, 100000); }},
      {"pixel offset inside the header", none, [](Bytes& b) { Set32(b, 10, 20); }},
      {"not BM", none, [](Bytes& b) { b[1] = 'A'; }},
  };
  for (const Case& c : cases) {
    BmpLayout s = good;
    c.layout(s);
    Bytes b = MakeBmp(s);
    c.bytes(b);
    EXPECT_TRUE(Bitmap::FromBmpBytes(b).IsNull()) << c.name;
  }
  // Every truncation of a valid image, as a file and as a packed DIB.
  const Bytes dib = MakeDib(good);
  for (std::size_t n = 0; n < valid.size(); ++n)
    EXPECT_TRUE(Bitmap::FromBmpBytes(Bytes(valid.begin(), valid.begin() + n)).IsNull()) << n;
  for (std::size_t n = 0; n < dib.size(); ++n)
    EXPECT_TRUE(Bitmap::FromDibBytes(Bytes(dib.begin(), dib.begin() + n)).IsNull()) << n;

  // Run-length streams that stop early or promise more than they hold.
  BmpLayout rle = good;
  rle.compression = 1;
  for (const Bytes& stream : {Bytes{4, 1, 0, 0}, Bytes{4, 1, 0}, Bytes{0, 5, 1, 2}, Bytes{0, 2, 1}})
    {
      rle.pixels = stream;
      EXPECT_TRUE(Bitmap::FromBmpBytes(MakeBmp(rle)).IsNull()) << stream.size();
    }
  rle.width = 16000;
  rle.height = 16000;
  rle.pixels = {0, 1};
  EXPECT_TRUE(Bitmap::FromBmpBytes(MakeBmp(rle)).IsNull());
}

// Rows of runs of 255 pixels of colour 1: the least data a run-length
// image of that size needs.
Bytes FullRuns(int w, int h) {
  Bytes out;
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; x += 255) out.insert(out.end(), {static_cast<std::uint8_t>(std::min(255, w - x)), 1});
    out.insert(out.end(), {0, 0});
  }
  out.insert(out.end(), {0, 1});
  return out;
}

// The pixel budget holds for every layout, before any pixel is decoded: a
// run-length image of a few megabytes may not claim more, nor may the
// size in a header whose data would follow.
TEST(BitmapBmp, PicturesBeyondThePixelBudgetAreRefusedFromTheirHeader) {
  BmpLayout rle;
  rle.compression = 1;
  rle.palette = Palette(2);
  rle.width = 10000;
  rle.height = 5001;  // 50 010 000 pixels
  rle.pixels = FullRuns(rle.width, rle.height);
  EXPECT_TRUE(Bitmap::FromBmpBytes(MakeBmp(rle)).IsNull());
  EXPECT_TRUE(Bitmap::FromDibBytes(MakeDib(rle)).IsNull());
  rle.width = 4000;
  rle.height = 3000;
  rle.pixels = FullRuns(rle.width, rle.height);
  const Bitmap photo = Bitmap::FromBmpBytes(MakeBmp(rle));
  ASSERT_FALSE(photo.IsNull());
  EXPECT_EQ(photo.GetPixel(3999, 2999), rle.palette[1]);

  // Uncompressed: refused from the header, however much data follows.
  BmpLayout plain;
  plain.bpp = 1;
  plain.palette = Palette(2);
  plain.width = 16384;
  plain.height = 3053;  // 50 020 352 pixels in 6.3 MB
  plain.pixels = Bytes(static_cast<std::size_t>(16384 / 8) * 3053, 0);
  EXPECT_TRUE(Bitmap::FromBmpBytes(MakeBmp(plain)).IsNull());
  plain.height = 3051;
  plain.pixels.resize(static_cast<std::size_t>(16384 / 8) * 3051);
  EXPECT_FALSE(Bitmap::FromBmpBytes(MakeBmp(plain)).IsNull());
}

// Random damage to valid images of several kinds never crashes and never
// produces an image larger than the limits.
TEST(BitmapBmp, SurvivesRandomlyDamagedBytes) {
  std::vector<Bytes> seeds;
  BmpLayout s;
  s.width = 6;
  s.height = 4;
  s.palette = Palette(16);
  s.bpp = 4;
  s.pixels = PackRows(6, 4, 4, false, [](int x, int y) { return (x * y) % 16; });
  seeds.push_back(MakeBmp(s));
  s.bpp = 8;
  s.compression = 1;
  s.pixels = {3, 1, 0, 3, 2, 3, 4, 0, 0, 0, 6, 5, 0, 2, 2, 1, 2, 3, 0, 1};
  seeds.push_back(MakeBmp(s));
  s.bpp = 4;
  s.compression = 2;
  s.pixels = {5, 0x12, 0, 0, 0, 3, 0x34, 0x50, 0, 0, 0, 1};
  seeds.push_back(MakeBmp(s));
  seeds.push_back(Noise(5, 3, 4).ToBmpBytes());
  s = BmpLayout{};
  s.headerSize = 124;
  s.width = 3;
  s.height = -2;
  s.bpp = 32;
  s.compression = 3;
  s.masks = {0xFF0000, 0xFF00, 0xFF};
  s.pixels = Bytes(24, 0x5A);
  seeds.push_back(MakeBmp(s));

  std::mt19937 rng(20240501);
  int decoded = 0;
  for (int round = 0; round < 4000; ++round) {
    Bytes b = seeds[round % seeds.size()];
    const int flips = 1 + rng() % 6;
    for (int k = 0; k < flips; ++k) {
      const std::size_t at = rng() % b.size();
      switch (rng() % 3) {
        case 0: b[at] = rng() & 0xFF; break;
        case 1: b[at] ^= 1u << (rng() % 8); break;
        case 2: b[at] = (rng() & 1) ? 0xFF : 0x00; break;
      }
    }
    if (rng() % 4 == 0) b.resize(rng() % b.size());
    const Bitmap bm = round % 2 ? Bitmap::FromBmpBytes(b)
                                : Bitmap::FromDibBytes(b.size() > 14 ? Bytes(b.begin() + 14, b.end()) : b);
    if (!bm.IsNull()) {
      ++decoded;
      ASSERT_LE(bm.Width(), 16384);
      ASSERT_LE(bm.Height(), 16384);
      ASSERT_LE(static_cast<std::int64_t>(bm.Width()) * bm.Height(), 4 * 1024 * 1024);
    }
  }
  EXPECT_GT(decoded, 0);  // some damage is harmless, e.g. in pixel values
}

}  // namespace
