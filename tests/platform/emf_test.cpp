// Enhanced metafiles: what EmfDC records plays back to the same pixels as
// drawing directly; the header and the records have their byte layout;
// records of other programs (mapping modes, transforms, paths, regions,
// bitmaps) play; malformed bytes are refused or skipped, never trusted.
#include <gtest/gtest.h>

#include <QImage>
#include <QProcess>
#include <QStandardPaths>

#include <cmath>
#include <csignal>
#include <chrono>
#include <cstring>
#include <iostream>
#include <functional>
#include <optional>
#include <random>
#include <sys/resource.h>
#include <string>
#include <thread>
#include <vector>

#include "platform/bitmap.h"
#include "platform/dc.h"
#include "platform/emf_metafile.h"
#include "platform/emf_player.h"
#include "platform/emf_records.h"
#include "platform/emf_writer.h"
#include "platform/app.h"
#include "platform/window.h"
#include "support/child_process.h"
#include "support/hand_made_metafile.h"
#include "support/test_env.h"

namespace {

using namespace plat;
using namespace plat::emf;

constexpr Colour kWhite = Rgb(255, 255, 255);
constexpr Colour kRed = Rgb(255, 0, 0);
constexpr Colour kBlue = Rgb(0, 0, 255);
constexpr Colour kGreen = Rgb(0, 160, 0);

const DeviceCaps kScreen{};  // 1024 x 768 pixels on 320 x 240 mm

// The frame of a w x h pixel picture on the screen, as the window layer
// computes it (hundredths of a millimetre).
Rect FrameFor(int w, int h) {
  return Rect{0, 0, static_cast<int>(std::lround(w * 320.0 * 100 / 1024)),
              static_cast<int>(std::lround(h * 240.0 * 100 / 768))};
}

LogFont Font(const std::string& face, int height, std::uint8_t charSet = ANSI_CHARSET) {
  LogFont lf;
  lf.SetFace(face);
  lf.height = height;
  lf.charSet = charSet;
  return lf;
}

Bitmap Noise(int w, int h, unsigned seed) {
  std::mt19937 rng(seed);
  Bitmap b(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) b.SetPixel(x, y, rng() & 0xFFFFFF);
  return b;
}

int Differing(const Bitmap& a, const Bitmap& b) {
  int n = 0;
  for (int y = 0; y < a.Height(); ++y)
    for (int x = 0; x < a.Width(); ++x) n += a.GetPixel(x, y) != b.GetPixel(x, y);
  return n;
}

int Inked(const Bitmap& b, Colour bg = kWhite) {
  int n = 0;
  for (int y = 0; y < b.Height(); ++y)
    for (int x = 0; x < b.Width(); ++x) n += b.GetPixel(x, y) != bg;
  return n;
}

Rect ChangedBounds(const Bitmap& b, Colour bg = kWhite) {
  Rect r{b.Width(), b.Height(), -1, -1};
  for (int y = 0; y < b.Height(); ++y)
    for (int x = 0; x < b.Width(); ++x)
      if (b.GetPixel(x, y) != bg) {
        r.left = std::min(r.left, x);
        r.top = std::min(r.top, y);
        r.right = std::max(r.right, x + 1);
        r.bottom = std::max(r.bottom, y + 1);
      }
  return r.right < 0 ? Rect{} : r;
}

EnhMetafile Record(int w, int h, const std::function<void(DC&)>& draw, const std::string& desc = "test") {
  EmfDC dc(kScreen, FrameFor(w, h), desc);
  draw(dc);
  return dc.Close();
}

// The record types of a metafile in order.
std::vector<std::uint32_t> Types(const EnhMetafile& m) {
  std::vector<std::uint32_t> out;
  const std::vector<std::uint8_t>& b = m.Bits();
  std::size_t off = 0;
  while (b.size() - off >= 8) {
    const RecordView r(b.data() + off, b.size() - off);
    out.push_back(r.Type());
    if (r.U32(4) < 8) break;
    off += r.U32(4);
  }
  return out;
}

using Records = std::vector<std::vector<std::uint8_t>>;

// ---- synthetic metafiles: 100 x 100 pixels of 1 mm, frame 100 x 100 mm ----

std::vector<std::uint8_t> Rec(std::uint32_t type, std::initializer_list<std::int32_t> fields) {
  RecordBuilder b(type);
  for (std::int32_t f : fields) b.I32(f);
  return b.Finish();
}

using kvtest::Assemble;

// A red solid brush in slot 1 and the null pen.
std::vector<std::vector<std::uint8_t>> RedFill() {
  return {Rec(EMR_CREATEBRUSHINDIRECT, {1, 0, static_cast<std::int32_t>(kRed), 0}), Rec(EMR_SELECTOBJECT, {1}),
          Rec(EMR_SELECTOBJECT, {static_cast<std::int32_t>(kStockObject | NULL_PEN)})};
}

std::vector<std::vector<std::uint8_t>> operator+(std::vector<std::vector<std::uint8_t>> a,
                                                 const std::vector<std::vector<std::uint8_t>>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

Bitmap Play(const std::vector<std::uint8_t>& bytes, EmfPlayStats* stats = nullptr, EmfPlayBudget* budget = nullptr) {
  const std::optional<EnhMetafile> m = EnhMetafile::FromBytes(bytes);
  EXPECT_TRUE(m.has_value());
  Bitmap out(100, 100);
  if (!m) return out;
  BitmapDC dc(out);
  const EmfPlayStats s = PlayEnhMetafile(dc, *m, Rect{0, 0, 100, 100}, budget);
  if (stats) *stats = s;
  return out;
}

// ---------------------------------------------------------------------------
// Round trip: recorded and played at its own size = drawn directly
// ---------------------------------------------------------------------------

struct Scene {
  const char* name;
  std::function<void(DC&)> draw;
};

const std::vector<Scene>& Scenes() {
  static const std::vector<Scene> scenes = {
      {"lines and pens",
       [](DC& dc) {
         const int styles[] = {PS_SOLID, PS_DASH, PS_DOT, PS_DASHDOT, PS_DASHDOTDOT};
         for (int k = 0; k < 5; ++k) {
           dc.SelectPen(Pen{styles[k], 1, Rgb(40 * k, 0, 200)});
           dc.MoveTo(5, 5 + 8 * k);
           dc.LineTo(150, 12 + 8 * k);
           dc.LineTo(190, 90);
         }
         dc.SelectPen(Pen{PS_SOLID, 4, kGreen});
         dc.Polyline({{10, 140}, {60, 60}, {110, 130}, {180, 70}});
         dc.SelectPen(Pen{PS_SOLID, 0, kRed});
         dc.Polyline({{-30, 145}, {250, 100}});
       }},
      {"shapes and brushes",
       [](DC& dc) {
         dc.SelectPen(Pen{PS_SOLID, 1, 0});
         dc.SelectBrush(SolidBrush(kRed));
         dc.Rectangle(5, 5, 60, 40);
         for (int h = HS_HORIZONTAL; h <= HS_DIAGCROSS; ++h) {
           dc.SelectBrush(Brush{BS_HATCHED, kBlue, h});
           dc.Ellipse(65 + 22 * h, 5, 85 + 22 * h, 40);
         }
         dc.SetBkMode(TRANSPARENT);
         dc.SelectBrush(Brush{BS_HATCHED, kGreen, HS_CROSS});
         dc.Rectangle(5, 45, 40, 80);
         dc.SetBkMode(OPAQUE);
         dc.SelectBrush(SolidBrush(kGreen));
         const std::vector<Point> star{{100, 45}, {115, 95}, {75, 62}, {125, 62}, {85, 95}};
         dc.SetPolyFillMode(ALTERNATE);
         dc.Polygon(star);
         dc.SetPolyFillMode(WINDING);
         dc.Polygon({{150, 45}, {165, 95}, {125, 62}, {175, 62}, {135, 95}});
         dc.SelectPen(Pen{PS_DASH, 1, kBlue});
         dc.SelectBrush(SolidBrush(Rgb(255, 200, 0)));
         dc.Pie(10, 90, 70, 145, 70, 100, 10, 140);
         dc.Arc(80, 100, 140, 145, 140, 120, 80, 100);
         dc.SelectPen(NullPen());
         dc.Rectangle(150, 100, 190, 140);
         dc.SelectPen(Pen{PS_SOLID, 3, kRed});
         dc.SelectBrush(NullBrush());
         dc.Ellipse(145, 105, 195, 145);
       }},
      {"fills, pixels and raster operations",
       [](DC& dc) {
         dc.FillRect(Rect{10, 10, 90, 60}, SolidBrush(kBlue));
         dc.FillRect(Rect{20, 20, 120, 80}, Brush{BS_HATCHED, kRed, HS_DIAGCROSS});
         dc.SelectBrush(SolidBrush(Rgb(0, 255, 255)));
         dc.PatBlt(50, 40, 100, 50, PATINVERT);
         dc.PatBlt(150, 10, 30, 30, DSTINVERT);
         dc.SetROP2(R2_XORPEN);
         dc.SelectPen(Pen{PS_SOLID, 5, Rgb(255, 255, 0)});
         dc.MoveTo(0, 100);
         dc.LineTo(200, 30);
         dc.SetROP2(R2_NOTXORPEN);
         dc.SelectPen(Pen{PS_SOLID, 1, 0});
         dc.MoveTo(0, 30);
         dc.LineTo(200, 100);
         dc.SetROP2(R2_COPYPEN);
         for (int k = 0; k < 40; ++k) dc.SetPixel(5 + 4 * k, 120 + (k % 7), Rgb(6 * k, 100, 255 - 6 * k));
       }},
      {"text",
       [](DC& dc) {
         dc.SelectFont(Font("Arial", -14));
         dc.TextOut(5, 5, "Grüße, x² + 1");
         LogFont bold = Font("Times New Roman", -18);
         bold.weight = FW_BOLD;
         bold.italic = 1;
         bold.escapement = 300;
         dc.SelectFont(bold);
         dc.SetTextColor(kRed);
         dc.SetBkMode(TRANSPARENT);
         dc.TextOut(20, 120, "gedreht");
         dc.SelectFont(Font("Symbol", -16, SYMBOL_CHARSET));
         dc.SetTextColor(kBlue);
         dc.TextOut(120, 30, "p a b");
         dc.SelectFont(Font("Courier New", 20));
         dc.SetBkMode(OPAQUE);
         dc.SetBkColor(Rgb(255, 255, 0));
         dc.SetTextAlign(TA_CENTER | TA_BASELINE);
         dc.TextOut(150, 80, "Mitte");
         dc.SetTextAlign(TA_UPDATECP);
         dc.MoveTo(100, 110);
         dc.TextOut(0, 0, "eins");
         dc.TextOut(0, 0, "zwei");
         dc.SetTextAlign(TA_RIGHT | TA_BOTTOM);
         dc.TextOut(195, 145, "rechts");
       }},
      {"clipping and saved states",
       [](DC& dc) {
         dc.SelectBrush(SolidBrush(kRed));
         dc.SaveDC();
         dc.SelectClipRect(Rect{20, 20, 120, 90});
         dc.Ellipse(0, 0, 200, 150);
         dc.SelectClipPolygon({{100, 10}, {190, 140}, {60, 140}});
         dc.SelectBrush(SolidBrush(kBlue));
         dc.SelectPen(Pen{PS_SOLID, 3, kGreen});
         dc.Rectangle(40, 40, 200, 150);
         dc.MoveTo(0, 0);
         dc.LineTo(200, 150);
         dc.RestoreDC();
         dc.Rectangle(5, 120, 50, 145);
         dc.ClearClip();
         dc.SelectClipRect(Rect{0, 0, 30, 30});
         dc.SelectFont(Font("Arial", -20));
         dc.TextOut(10, 10, "WW");
       }},
      {"bit blocks",
       [](DC& dc) {
         const Bitmap noise = Noise(30, 20, 7);
         dc.BitBlt(5, 5, 30, 20, noise, 0, 0);
         dc.StretchBlt(40, 5, 60, 40, noise, 0, 0, 30, 20);
         dc.StretchBlt(110, 5, 20, 30, noise, 5, 2, 20, 15);
         dc.SelectBrush(SolidBrush(kRed));
         dc.Rectangle(5, 60, 100, 120);
         dc.BitBlt(20, 70, 30, 20, noise, 0, 0, SRCINVERT);
         dc.BitBlt(60, 70, 30, 20, noise, 0, 0, SRCAND);
         dc.BitBlt(140, 50, 40, 40, noise, 10, 5);  // reaches past the source
         dc.BitBlt(140, 100, 30, 30, noise, 0, 0, BLACKNESS);
       }},
  };
  return scenes;
}

TEST(EmfRoundTrip, PlayedAtItsOwnSizeItEqualsTheDirectDrawing) {
  constexpr int w = 200, h = 150;
  for (const Scene& s : Scenes()) {
    SCOPED_TRACE(s.name);
    Bitmap direct(w, h);
    BitmapDC ddc(direct);
    s.draw(ddc);
    const EnhMetafile emf = Record(w, h, s.draw);
    ASSERT_FALSE(emf.IsNull());
    const Bitmap played = RenderEnhMetafile(emf, w, h);
    ASSERT_GT(Inked(direct), 200);
    EXPECT_EQ(Differing(direct, played), 0) << "of " << Inked(direct) << " inked pixels";
    if (Differing(direct, played) != 0) {  // for a look at what differs
      const std::string dir = kvtest::MakeTempDir("emf-round-trip");
      direct.WritePngFile(dir + "direct.png");
      played.WritePngFile(dir + "played.png");
      std::cerr << "pictures in " << dir << "\n";
    }
  }
}

// A metafile played into another metafile (a picture on a plot that is
// itself copied) comes out the same.
TEST(EmfRoundTrip, PlayingIntoAMetafileKeepsThePicture) {
  constexpr int w = 200, h = 150;
  for (const Scene& s : Scenes()) {
    SCOPED_TRACE(s.name);
    const EnhMetafile first = Record(w, h, s.draw);
    const EnhMetafile second = Record(w, h, [&](DC& dc) { PlayEnhMetafile(dc, first, Rect{0, 0, w, h}); });
    EXPECT_EQ(Differing(RenderEnhMetafile(first, w, h), RenderEnhMetafile(second, w, h)), 0);
  }
}

TEST(EmfPlay, TheFrameIsFittedOntoTheDestinationAndClippedToIt) {
  const EnhMetafile emf = Record(100, 50, [](DC& dc) {
    dc.SelectPen(NullPen());
    dc.SelectBrush(SolidBrush(kRed));
    dc.Rectangle(10, 10, 51, 31);  // 40 x 20 filled
    dc.Rectangle(90, 40, 300, 300);  // runs past the frame
  });
  Bitmap big(400, 300);
  BitmapDC dc(big);
  dc.SelectClipRect(Rect{0, 0, 400, 300});
  const Pen pen{PS_DOT, 1, kBlue};
  dc.SelectPen(pen);
  const EmfPlayStats stats = PlayEnhMetafile(dc, emf, Rect{100, 50, 300, 150});  // twice the size
  EXPECT_TRUE(stats.complete);
  EXPECT_EQ(stats.skipped, 0);
  EXPECT_EQ(big.GetPixel(100 + 20, 50 + 20), kRed);
  EXPECT_EQ(big.GetPixel(100 + 99, 50 + 59), kRed);
  EXPECT_EQ(big.GetPixel(100 + 101, 50 + 59), kWhite);
  EXPECT_EQ(big.GetPixel(299, 149), kRed);
  EXPECT_EQ(big.GetPixel(300, 150), kWhite) << "clipped to the destination";
  EXPECT_EQ(ChangedBounds(big), (Rect{120, 70, 300, 150}));
  EXPECT_EQ(dc.CurrentPen(), pen) << "the DC's state is restored";
  EXPECT_EQ(dc.CurrentClip().kind, DC::Clip::Rectangle);

  // The DC's own clip holds too.
  Bitmap clipped(400, 300);
  BitmapDC cdc(clipped);
  cdc.SelectClipRect(Rect{0, 0, 150, 300});
  PlayEnhMetafile(cdc, emf, Rect{100, 50, 300, 150});
  EXPECT_EQ(ChangedBounds(clipped), (Rect{120, 70, 150, 111})) << "a null-pen rectangle fills one pixel less";

  // Under the DC's own polygon clip the picture covers what a direct fill
  // under that clip covers.
  const std::vector<Point> triangle{{10, 5}, {90, 20}, {30, 48}};
  const EnhMetafile full = Record(100, 50, [](DC& d) { d.FillRect(Rect{0, 0, 100, 50}, SolidBrush(kRed)); });
  Bitmap a(100, 50), b(100, 50);
  BitmapDC da(a), db(b);
  da.SelectClipPolygon(triangle);
  da.FillRect(Rect{0, 0, 100, 50}, SolidBrush(kRed));
  db.SelectClipPolygon(triangle);
  PlayEnhMetafile(db, full, Rect{0, 0, 100, 50});
  EXPECT_EQ(Differing(a, b), 0);
  EXPECT_GT(Inked(b), 500);
}

// ---------------------------------------------------------------------------
// The header and the records
// ---------------------------------------------------------------------------

TEST(EmfHeader, FieldsDescribeTheRecording) {
  const EnhMetafile emf = Record(200, 150, [](DC& dc) {
    dc.SelectBrush(SolidBrush(kRed));
    dc.Rectangle(10, 20, 30, 40);
  }, EmfDescription("kurvato2 v.33", "bild.kv2"));
  const Header& h = emf.Header();
  EXPECT_EQ(h.frame, (Rect{0, 0, 6250, 4688}));
  EXPECT_EQ(h.bounds, (Rect{10, 20, 29, 39}));
  EXPECT_EQ(h.device, (Size{1024, 768}));
  EXPECT_EQ(h.millimetres, (Size{320, 240}));
  EXPECT_EQ(h.micrometres, (Size{320000, 240000}));
  EXPECT_EQ(h.bytes, emf.Bits().size());
  EXPECT_EQ(h.records, Types(emf).size());
  EXPECT_EQ(h.handles, 7);
  EXPECT_EQ(h.version, 0x10000u);
  EXPECT_EQ(emf.Description(), std::string("kurvato2 v.33\0bild.kv2", 22));
  EXPECT_EQ(emf.NaturalSize(), (Size{200, 150}));
  EXPECT_EQ(Types(emf).front(), EMR_HEADER);
  EXPECT_EQ(Types(emf).back(), EMR_EOF);

  // The byte layout of the header record.
  const std::vector<std::uint8_t>& b = emf.Bits();
  const RecordView r(b.data(), b.size());
  const std::string desc = "kurvato2 v.33";
  const struct {
    std::size_t offset;
    std::uint32_t value;
  } fields[] = {
      {0, 1},        {8, 10},       {12, 20},       {16, 29},     {20, 39},  {24, 0},         {32, 6250},
      {36, 4688},    {40, 0x464D4520}, {44, 0x10000}, {48, h.bytes}, {52, h.records},
      {56, 7},       {60, 13 + 1 + 8 + 2}, {64, 108},  {68, 0},      {72, 1024}, {76, 768},
      {80, 320},     {84, 240},     {88, 0},        {92, 0},      {96, 0},   {100, 320000}, {104, 240000},
  };
  for (const auto& f : fields) EXPECT_EQ(r.U32(f.offset), f.value) << "offset " << f.offset;
  EXPECT_EQ(r.U32(4), 108 + 48u) << "24 UTF-16 units, padded";
  for (std::size_t k = 0; k < desc.size(); ++k) EXPECT_EQ(r.U16(108 + 2 * k), desc[k]);
  EXPECT_EQ(r.U16(108 + 2 * 13), 0);
  EXPECT_EQ(r.U16(108 + 2 * 22), 0);
  EXPECT_EQ(r.U16(108 + 2 * 23), 0);

  // The end record.
  const RecordView eof(b.data() + b.size() - 20, 20);
  EXPECT_EQ(eof.Type(), EMR_EOF);
  EXPECT_EQ(eof.U32(4), 20u);
  EXPECT_EQ(eof.U32(12), 16u);
  EXPECT_EQ(eof.U32(16), 20u);

  // Nothing drawn: empty bounds, the frame from the caller.
  const EnhMetafile empty = Record(10, 10, [](DC&) {});
  EXPECT_EQ(empty.Header().bounds, (Rect{0, 0, -1, -1}));
  EXPECT_EQ(Types(empty), (std::vector<std::uint32_t>{EMR_HEADER, EMR_EOF}));
}

TEST(EmfWriter, StateIsWrittenOnlyWhenADrawingNeedsIt) {
  const EnhMetafile emf = Record(50, 50, [](DC& dc) {
    dc.SelectPen(Pen{PS_DASH, 1, kRed});
    dc.SetTextColor(kBlue);  // no text follows: never written
    dc.MoveTo(5, 5);
    dc.LineTo(20, 5);
    dc.LineTo(20, 20);
    dc.SelectPen(Pen{PS_SOLID, 2, kBlue});
    dc.SelectPen(Pen{PS_SOLID, 3, kBlue});
    dc.LineTo(5, 20);
  });
  EXPECT_EQ(Types(emf), (std::vector<std::uint32_t>{
                            EMR_HEADER, EMR_CREATEPEN, EMR_SELECTOBJECT, EMR_SETROP2, EMR_MOVETOEX, EMR_LINETO,
                            EMR_LINETO, EMR_CREATEPEN, EMR_SELECTOBJECT, EMR_DELETEOBJECT, EMR_LINETO, EMR_EOF}));
  // The first pen record, byte for byte.
  const std::vector<std::uint8_t>& b = emf.Bits();
  const std::size_t at = emf.Header().recordSize;
  const std::vector<std::uint8_t> pen(b.begin() + at, b.begin() + at + 28);
  EXPECT_EQ(pen, (std::vector<std::uint8_t>{38, 0, 0, 0, 28, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0,
                                            1, 0, 0, 0, 0, 0, 0, 0, 0xFF, 0, 0, 0}));
}

TEST(EmfWriter, TextKeepsItsCharactersAndAdvances) {
  const EnhMetafile emf = Record(100, 40, [](DC& dc) {
    dc.SelectFont(Font("Symbol", -16, SYMBOL_CHARSET));
    dc.TextOut(3, 4, "pa");
  });
  const std::vector<std::uint8_t>& b = emf.Bits();
  std::size_t off = emf.Header().recordSize;
  std::optional<RecordView> text, font;
  while (off + 8 <= b.size()) {
    const RecordView r(b.data() + off, RecordView(b.data() + off, 8).U32(4));
    if (r.Type() == EMR_EXTTEXTOUTW) text = r;
    if (r.Type() == EMR_EXTCREATEFONTINDIRECTW) font = r;
    off += r.Size();
  }
  ASSERT_TRUE(text && font);
  EXPECT_EQ(text->I32(36), 3);
  EXPECT_EQ(text->I32(40), 4);
  EXPECT_EQ(text->U32(44), 2u);
  const std::uint32_t s = text->U32(48), dx = text->U32(72);
  EXPECT_EQ(text->U16(s), 0x03C0) << "π, as shown";
  EXPECT_EQ(text->U16(s + 2), 0x03B1) << "α";
  EXPECT_GT(text->I32(dx), 3);
  EXPECT_GT(text->I32(dx + 4), 3);
  const LogFont written = DecodeLogFontW(*font, 12);
  EXPECT_EQ(written.height, -16);
  EXPECT_NE(written.charSet, SYMBOL_CHARSET);
  EXPECT_NE(written.Face(), "Symbol") << "the face that draws it here";
}

TEST(EmfMetafile, FilesRoundTripAndBadFilesAreRefused) {
  const EnhMetafile emf = Record(40, 30, [](DC& dc) { dc.Ellipse(2, 2, 30, 20); });
  const std::string dir = kvtest::MakeTempDir("emf-files");
  ASSERT_TRUE(emf.WriteFile(dir + "bild.emf"));
  const std::optional<EnhMetafile> back = EnhMetafile::ReadFile(dir + "bild.emf");
  ASSERT_TRUE(back);
  EXPECT_EQ(*back, emf);
  EXPECT_FALSE(EnhMetafile::ReadFile(dir + "missing.emf"));
  EXPECT_FALSE(EnhMetafile().WriteFile(dir + "null.emf"));
  EXPECT_FALSE(emf.WriteFile(dir + "no/such/folder.emf"));
}

// ---------------------------------------------------------------------------
// Malformed bytes
// ---------------------------------------------------------------------------

TEST(EmfMetafile, HeaderChecksAgainstTheBytesPresent) {
  const std::vector<std::uint8_t> good = Assemble(RedFill() + Records{Rec(EMR_RECTANGLE, {10, 10, 20, 20})});
  auto with = [&](std::size_t offset, std::uint32_t v) {
    std::vector<std::uint8_t> b = good;
    for (int k = 0; k < 4; ++k) b[offset + k] = static_cast<std::uint8_t>(v >> (8 * k));
    return b;
  };
  const struct {
    const char* name;
    std::vector<std::uint8_t> bytes;
    bool accepted;
    std::size_t keptSize;
  } cases[] = {
      {"sound", good, true, good.size()},
      {"shorter than a header", std::vector<std::uint8_t>(good.begin(), good.begin() + 80), false, 0},
      {"not a header record", with(0, EMR_EOF), false, 0},
      {"wrong signature", with(40, 0x12345678), false, 0},
      {"header record longer than the bytes", with(4, 100000), false, 0},
      {"header record size not a multiple of 4", with(4, 110), false, 0},
      {"header record shorter than a header", with(4, 40), false, 0},
      {"size beyond the bytes: kept as present", with(48, 1000000), true, good.size()},
      {"size smaller than the header: all bytes kept", with(48, 8), true, good.size()},
      {"trailing bytes are cut off", [&] {
         std::vector<std::uint8_t> b = good;
         b.resize(b.size() + 13, 0xEE);
         return b;
       }(), true, good.size()},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::optional<EnhMetafile> m = EnhMetafile::FromBytes(c.bytes);
    ASSERT_EQ(m.has_value(), c.accepted);
    if (!m) continue;
    EXPECT_EQ(m->Bits().size(), c.keptSize);
    EXPECT_EQ(m->Header().bytes, c.keptSize) << "the header says what is kept";
    EXPECT_EQ(RecordView(m->Bits().data(), m->Bits().size()).U32(48), c.keptSize);
  }

  // A description that points outside the header is left out.
  const std::optional<EnhMetafile> m = EnhMetafile::FromBytes(with(64, 5000));
  ASSERT_TRUE(m);
  EXPECT_EQ(m->Description(), "");
  EXPECT_FALSE(EnhMetafile::FromBytes(nullptr, 0));
}

TEST(EmfPlay, MalformedRecordsAreSkippedOrStopThePlay) {
  const std::vector<std::uint8_t> marker = Rec(EMR_RECTANGLE, {60, 60, 80, 80});
  auto bad = [](std::uint32_t type, std::initializer_list<std::int32_t> fields) { return Rec(type, fields); };
  std::vector<std::uint8_t> sizeZero = Rec(EMR_RECTANGLE, {1, 1, 5, 5});
  sizeZero[4] = 0;
  std::vector<std::uint8_t> sizeBeyond = Rec(EMR_RECTANGLE, {1, 1, 5, 5});
  sizeBeyond[5] = 0x40;
  std::vector<std::uint8_t> sizeSmall = Rec(EMR_RECTANGLE, {1, 1, 5, 5});
  sizeSmall[4] = 6;
  const std::int32_t kNaN = 0x7FC00000;
  const struct {
    const char* name;
    std::vector<std::uint8_t> record;
    bool goesOn;  // the records after it still play
  } cases[] = {
      {"unknown type", bad(0x7777, {1, 2, 3}), true},
      {"polyline count beyond the record", bad(EMR_POLYLINE16, {0, 0, 10, 10, 1000, 0x00010001, 0x00050005}), true},
      {"polyline 32 with a huge count", bad(EMR_POLYLINE, {0, 0, 10, 10, 0x7FFFFFFF, 1, 1}), true},
      {"poly-polygon counts that do not add up", bad(EMR_POLYPOLYGON16, {0, 0, 9, 9, 2, 3, 2, 2, 0, 0, 0, 0}), true},
      {"text with more characters than bytes", bad(EMR_EXTTEXTOUTW, {0, 0, 9, 9, 1, 0, 0, 5, 5, 1000000, 76, 0, 0, 0, 0, 0, 0}), true},
      {"text string offset outside", bad(EMR_EXTTEXTOUTW, {0, 0, 9, 9, 1, 0, 0, 5, 5, 2, -8, 0, 0, 0, 0, 0, 0, 0x00410041}), true},
      {"bitmap info outside the record", bad(EMR_STRETCHDIBITS, {0, 0, 9, 9, 0, 0, 0, 0, 2, 2, 5000, 40, 80, 16, 0, 0xCC0020, 10, 10}), true},
      {"bitmap bits size beyond the record", bad(EMR_STRETCHDIBITS, {0, 0, 9, 9, 0, 0, 0, 0, 2, 2, 80, 40, 120, 0x7FFFFFF0, 0, 0xCC0020, 10, 10,
                                                                    40, 2, 2, 0x00200001, 0, 0, 0, 0, 0, 0}), true},
      {"object that was never made", bad(EMR_SELECTOBJECT, {5}), true},
      {"object index beyond the table", bad(EMR_CREATEPEN, {60000, 0, 1, 0, 0}), true},
      {"font record cut short", bad(EMR_EXTCREATEFONTINDIRECTW, {2, -12, 0}), true},
      {"transform that is not a number", bad(EMR_SETWORLDTRANSFORM, {kNaN, 0, 0, kNaN, 0, 0}), true},
      {"restoring a state never saved", bad(EMR_RESTOREDC, {-5}), true},
      {"clip region with too many rectangles", bad(EMR_EXTSELECTCLIPRGN, {48, RGN_COPY, 32, 1, 0x7FFFFFF, 0, 0, 0, 10, 10, 0, 0, 10, 10}), true},
      {"region header larger than its data", bad(EMR_EXTSELECTCLIPRGN, {48, RGN_COPY, 4000, 1, 1, 16, 0, 0, 10, 10, 0, 0, 10, 10}), true},
      {"map mode out of range", bad(EMR_SETMAPMODE, {99}), true},
      {"record size zero", sizeZero, false},
      {"record size past the end", sizeBeyond, false},
      {"record size below a record header", sizeSmall, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EmfPlayStats stats;
    const Bitmap out = Play(Assemble(RedFill() + Records{c.record, marker}), &stats);
    EXPECT_GE(stats.skipped, 1);
    EXPECT_EQ(stats.complete, c.goesOn);
    EXPECT_EQ(out.GetPixel(70, 70), c.goesOn ? kRed : kWhite);
    EXPECT_EQ(out.GetPixel(59, 59), kWhite);
  }
}

// ---------------------------------------------------------------------------
// Records other programs write
// ---------------------------------------------------------------------------

std::vector<std::uint8_t> DibRecord(bool topDown) {
  // 2 x 2 pixels, 32 bits: top row red, green; bottom row blue, white.
  const std::uint32_t top[2] = {0x00FF0000, 0x0000A000}, bottom[2] = {0x000000FF, 0x00FFFFFF};
  RecordBuilder b(EMR_STRETCHDIBITS);
  b.RectL(Rect{0, 0, 99, 99}).I32(0).I32(0).I32(0).I32(0).I32(2).I32(2);
  b.U32(80).U32(40).U32(120).U32(16).U32(0).U32(SRCCOPY).I32(100).I32(100);
  b.U32(40).I32(2).I32(topDown ? -2 : 2).U16(1).U16(32).U32(0).U32(16).I32(0).I32(0).U32(0).U32(0);
  const std::uint32_t* rows[2] = {topDown ? top : bottom, topDown ? bottom : top};
  for (const std::uint32_t* row : rows) b.U32(row[0]).U32(row[1]);
  return b.Finish();
}

std::vector<std::uint8_t> Region(std::uint32_t type, std::uint32_t mode, const std::vector<Rect>& rects) {
  RecordBuilder b(type);
  b.U32(static_cast<std::uint32_t>(32 + 16 * rects.size())).U32(mode);
  b.U32(32).U32(1).U32(static_cast<std::uint32_t>(rects.size())).U32(static_cast<std::uint32_t>(16 * rects.size()));
  b.RectL(Rect{0, 0, 100, 100});
  for (const Rect& r : rects) b.RectL(r);
  return b.Finish();
}

TEST(EmfPlay, RecordsOfOtherPrograms) {
  const std::int32_t one = 0x3F800000;  // 1.0f
  const std::int32_t fifty = 0x42480000;  // 50.0f
  const struct {
    const char* name;
    Records records;
    Point red, white;
  } cases[] = {
      {"anisotropic mapping", Records{Rec(EMR_SETMAPMODE, {MM_ANISOTROPIC}), Rec(EMR_SETWINDOWEXTEX, {1000, 1000}),
                                      Rec(EMR_SETVIEWPORTEXTEX, {100, 100})} + RedFill() + Records{Rec(EMR_RECTANGLE, {0, 0, 500, 500})},
       {25, 25}, {75, 75}},
      {"metric mapping with y upwards", Records{Rec(EMR_SETMAPMODE, {MM_LOMETRIC}), Rec(EMR_SETVIEWPORTORGEX, {0, 100})} + RedFill() +
                                            Records{Rec(EMR_RECTANGLE, {0, 0, 500, 500})},
       {25, 75}, {25, 25}},
      {"world transform", RedFill() + Records{Rec(EMR_SETWORLDTRANSFORM, {one, 0, 0, one, fifty, 0}), Rec(EMR_RECTANGLE, {0, 0, 20, 20})},
       {55, 5}, {5, 5}},
      {"modified world transform", RedFill() + Records{Rec(EMR_MODIFYWORLDTRANSFORM, {one, 0, 0, one, 0, fifty, MWT_LEFTMULTIPLY}),
                                                       Rec(EMR_RECTANGLE, {0, 0, 20, 20})},
       {5, 55}, {5, 5}},
      {"filled path", RedFill() + Records{Rec(EMR_BEGINPATH, {}), Rec(EMR_MOVETOEX, {10, 10}), Rec(EMR_LINETO, {90, 10}),
                                          Rec(EMR_LINETO, {50, 90}), Rec(EMR_CLOSEFIGURE, {}), Rec(EMR_ENDPATH, {}),
                                          Rec(EMR_FILLPATH, {0, 0, 99, 99})},
       {50, 30}, {15, 80}},
      {"curved path", RedFill() + Records{Rec(EMR_BEGINPATH, {}), Rec(EMR_MOVETOEX, {10, 50}),
                                          Rec(EMR_POLYBEZIERTO16, {0, 0, 99, 99, 3, (0 << 16) | 10, (0 << 16) | 90, (50 << 16) | 90}),
                                          Rec(EMR_CLOSEFIGURE, {}), Rec(EMR_ENDPATH, {}), Rec(EMR_FILLPATH, {0, 0, 99, 99})},
       {50, 30}, {50, 60}},
      {"clip region", RedFill() + Records{Region(EMR_EXTSELECTCLIPRGN, RGN_COPY, {Rect{0, 0, 50, 100}}),
                                          Rec(EMR_BITBLT, {0, 0, 99, 99, 0, 0, 100, 100, PATCOPY, 0, 0, one, 0, 0, one, 0, 0, 0, 0, 0, 0, 0, 0})},
       {25, 50}, {75, 50}},
      {"clip rectangle, saved and restored", RedFill() + Records{Rec(EMR_SAVEDC, {}), Rec(EMR_INTERSECTCLIPRECT, {0, 0, 10, 10}),
                                                                 Rec(EMR_RESTOREDC, {-1}), Rec(EMR_EXCLUDECLIPRECT, {50, 0, 100, 100}),
                                                                 Rec(EMR_RECTANGLE, {0, 0, 100, 100})},
       {40, 40}, {60, 40}},
      {"poly-polygon with a hole", RedFill() + Records{Rec(EMR_POLYPOLYGON16, {0, 0, 99, 99, 2, 8, 4, 4, (0 << 16) | 0, (0 << 16) | 100,
                                                                             (100 << 16) | 100, (100 << 16) | 0, (30 << 16) | 30,
                                                                             (30 << 16) | 70, (70 << 16) | 70, (70 << 16) | 30})},
       {10, 10}, {50, 50}},
      {"bitmap stored top-down", Records{DibRecord(true)}, {25, 25}, {75, 75}},
      {"bitmap stored bottom-up", Records{DibRecord(false)}, {25, 25}, {75, 75}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EmfPlayStats stats;
    const Bitmap out = Play(Assemble(c.records), &stats);
    EXPECT_EQ(stats.skipped, 0);
    EXPECT_TRUE(stats.complete);
    EXPECT_EQ(out.GetPixel(c.red.x, c.red.y), kRed);
    EXPECT_EQ(out.GetPixel(c.white.x, c.white.y), kWhite);
  }

  // A region filled with a stock brush: FILLRGN carries its brush index
  // before the region data.
  RecordBuilder fill(EMR_FILLRGN);
  fill.RectL(Rect{0, 0, 99, 99}).U32(48).U32(kStockObject | BLACK_BRUSH);
  fill.U32(32).U32(1).U32(1).U32(16).RectL(Rect{0, 0, 100, 100}).RectL(Rect{20, 20, 40, 40});
  const Bitmap out = Play(Assemble({fill.Finish()}));
  EXPECT_EQ(out.GetPixel(30, 30), 0u);
  EXPECT_EQ(ChangedBounds(out), (Rect{20, 20, 40, 40}));

  // Text in the default font, and ANSI text.
  RecordBuilder text(EMR_EXTTEXTOUTW);
  text.RectL(Rect{0, 0, 99, 99}).U32(1).F32(1).F32(1).PointL(Point{10, 10}).U32(2).U32(76).U32(0).RectL(Rect{0, 0, -1, -1}).U32(80);
  text.U16('H').U16('i').U32(8).U32(8);
  const Bitmap hi = Play(Assemble({text.Finish()}));
  const Rect inked = ChangedBounds(hi);
  EXPECT_GE(inked.left, 10);
  EXPECT_GE(inked.top, 10);
  EXPECT_LT(inked.right, 40);
  EXPECT_GT(Inked(hi), 10);
}

// ---------------------------------------------------------------------------
// Other programs
// ---------------------------------------------------------------------------

// A metafile we write is imported by a drawing program of the desktop
// (Inkscape, installed by scripts/setup; the test is skipped without it).
TEST(EmfInterop, InkscapeImportsWrittenMetafiles) {
  const QString inkscape = QStandardPaths::findExecutable(QStringLiteral("inkscape"));
  if (inkscape.isEmpty()) GTEST_SKIP() << "Inkscape is not installed";
  const std::string dir = kvtest::MakeTempDir("emf-inkscape");
  for (const Scene& s : Scenes()) {
    SCOPED_TRACE(s.name);
    const EnhMetafile emf = Record(200, 150, s.draw);
    const std::string in = dir + "bild.emf", out = dir + "bild.png";
    ASSERT_TRUE(emf.WriteFile(in));
    QProcess p;
    p.start(inkscape, {QStringLiteral("--export-type=png"), QString::fromStdString("--export-filename=" + out),
                       QString::fromStdString(in)});
    ASSERT_TRUE(p.waitForFinished(120000));
    EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
    const QImage png(QString::fromStdString(out));
    ASSERT_FALSE(png.isNull());
    // The frame (62.5 x 46.9 mm) at 96 pixels per inch.
    EXPECT_NEAR(png.width(), 236, 2);
    EXPECT_NEAR(png.height(), 177, 2);
    int inked = 0;
    for (int y = 0; y < png.height(); ++y)
      for (int x = 0; x < png.width(); ++x) {
        const QRgb c = png.pixel(x, y);
        inked += qAlpha(c) > 128 && (qRed(c) < 200 || qGreen(c) < 200 || qBlue(c) < 200);
      }
    EXPECT_GT(inked, 200);
  }
}

// A DC that runs `after` once it has drawn each rectangle (given its count).
class WatchedDC : public BitmapDC {
 public:
  WatchedDC(Bitmap& b, std::function<void(int)> after) : BitmapDC(b), after_(std::move(after)) {}

 protected:
  void DoRectangle(const Rect& r) override {
    BitmapDC::DoRectangle(r);
    after_(++drawn_);
  }

 private:
  std::function<void(int)> after_;
  int drawn_ = 0;
};

// A metafile is drawn onto a bitmap only within the pixel budget of every
// picture, and a play (or all plays of one paint) within the drawing budget.
TEST(EmfPlay, RenderingIsHeldToThePixelBudget) {
  EmfDC dc(kScreen, Rect{0, 0, 1250, 625}, EmfDescription("kurvato", "test"));
  dc.Rectangle(2, 2, 30, 15);
  const EnhMetafile emf = dc.Close();
  EXPECT_TRUE(RenderEnhMetafile(emf, 10000, 5001).IsNull());
  EXPECT_TRUE(RenderEnhMetafile(emf, 0, 10).IsNull());
  const Bitmap fits = RenderEnhMetafile(emf, 16000, 3);
  EXPECT_EQ(fits.Width(), 16000);

  // Records of 10000 pixels each: the last drawn shows its colour; half the budget is used at least
  // (given all the time it takes: the processor may be slow or busy).
  constexpr std::int64_t kCover = 100 * 100;
  constexpr int kCount = static_cast<int>(kMaxDrawingWork / kCover) + 100;
  const EmfPlayBudget untimed{kMaxPicturePixels, kMaxDrawingWork, std::chrono::steady_clock::time_point::max()};
  for (const auto& bytes : {kvtest::CoveringRectangles(kCount), kvtest::CoveringPixels(kCount)}) {
    EmfPlayStats stats;
    EmfPlayBudget budget = untimed;
    const int drawn = kvtest::NthOfColour(Play(bytes, &stats, &budget).GetPixel(50, 50)) + 1;
    EXPECT_LE(drawn * kCover, kMaxDrawingWork);
    EXPECT_GE(drawn * kCover, kMaxDrawingWork / 2);
    EXPECT_GT(stats.overBudget, 0);
  }
  // One paint's budget, spent by the first play, leaves the second nothing.
  const auto covering = EnhMetafile::FromBytes(kvtest::CoveringRectangles(kCount));
  const auto red = EnhMetafile::FromBytes(Assemble(RedFill() + Records{Rec(EMR_RECTANGLE, {0, 0, 50, 50})}));
  ASSERT_TRUE(covering && red);
  Bitmap paint(100, 100);
  BitmapDC on(paint);
  EmfPlayBudget budget = untimed, fresh = untimed;
  PlayEnhMetafile(on, *covering, Rect{0, 0, 100, 100}, &budget);
  EXPECT_EQ(PlayEnhMetafile(on, *red, Rect{0, 0, 100, 100}, &budget).played, 0);
  EXPECT_NE(paint.GetPixel(20, 20), kRed);
  PlayEnhMetafile(on, *red, Rect{0, 0, 100, 100}, &fresh);
  EXPECT_EQ(paint.GetPixel(20, 20), kRed);
  // Each record read costs at least a unit: a play stops at its budget.
  const Records modes(5000, Rec(EMR_SETBKMODE, {TRANSPARENT}));
  EmfPlayBudget small{kMaxPicturePixels, 1000};
  const EmfPlayStats cut = PlayEnhMetafile(on, *EnhMetafile::FromBytes(Assemble(modes)), Rect{0, 0, 100, 100}, &small);
  EXPECT_FALSE(cut.complete);
  EXPECT_GT(cut.played, 0);
  EXPECT_LE(cut.played, 1000);
  // On a processor that draws a rectangle in 20 ms the play stops at its time, with the work far from
  // spent (a hundred rectangles of 10000 pixels): at most a quarter of a second of rectangles, and those
  // drawn before the clock is read again (every sixteen records: six rectangles).
  Bitmap slow(100, 100);
  WatchedDC slowly(slow, [](int) { std::this_thread::sleep_for(std::chrono::milliseconds(20)); });
  EmfPlayBudget timed;
  const auto hundred = EnhMetafile::FromBytes(kvtest::CoveringRectangles(100));
  EXPECT_GT(PlayEnhMetafile(slowly, *hundred, Rect{0, 0, 100, 100}, &timed).overBudget, 0);
  EXPECT_LE(kvtest::NthOfColour(slow.GetPixel(50, 50)) + 1, kMaxDrawingTime / std::chrono::milliseconds(20) + 6);
}

// A main window whose paint plays fifty rectangles, far within the budget, with SIGTERM coming
// during the third; the process ends with the count of records played before the loop reads the
// signal (which would end the process by it).
class SignalledPlayWindow : public Window {
 public:
  using Window::Window;
  void Paint(DC&, bool, const Rect&) override {
    const auto emf = EnhMetafile::FromBytes(kvtest::CoveringRectangles(50));
    Bitmap b(100, 100);
    WatchedDC dc(b, [](int drawn) {
      if (drawn == 3) std::raise(SIGTERM);
    });
    EmfPlayBudget plenty;
    ::_exit(emf ? PlayEnhMetafile(dc, *emf, Rect{0, 0, 100, 100}, &plenty).played : 255);
  }
};

// Once SIGTERM has come, a play stops at the next record however much budget is left: the
// records played are the pen's and the three (brush, selection, rectangle) of each of the first
// three rectangles.
TEST(EmfPlay, SigtermStopsThePlayAtTheNextRecord) {
  const int played =
      kvtest::RunInChild([] { return kvtest::Application().Run(new SignalledPlayWindow(nullptr, "play")) != 0; });
  EXPECT_EQ(played, 1 + 3 * 3);
}

long PeakResidentKb() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

// Text in a font far taller and wider than the picture is drawn at the
// largest size the picture can show (twice its longer side): the font
// engine's glyph caches do not grow with sizes nobody sees.  A character
// the fonts in use lack comes from a fallback font, whose glyphs at a
// million pixels, turned, took over a hundred megabytes.
TEST(EmfPlay, GiantFontsAreHeldToWhatThePictureCanShow) {
  const EnhMetafile emf = Record(64, 48, [](DC& dc) {
    LogFont giant = Font("Arial", -1000000);
    giant.width = 60000;
    giant.escapement = 316;
    dc.SelectFont(giant);
    dc.TextOut(3, 4, "\u0DA6A");
  });
  const long before = PeakResidentKb();
  Bitmap target(64, 48);
  BitmapDC screen(target);
  PlayEnhMetafile(screen, emf, Rect{0, 0, 64, 48});
  EXPECT_LT(PeakResidentKb() - before, 32 * 1024) << "kilobytes taken at the peak";

  // What the play selects, as a metafile DC records it.
  for (const Rect& dest : {Rect{0, 0, 64, 48}, Rect{10, 10, 30, 400}}) {
    EmfDC again(kScreen, Rect{0, 0, 20000, 20000}, "again");
    PlayEnhMetafile(again, emf, dest);
    const EnhMetafile played = again.Close();
    const std::vector<std::uint8_t>& b = played.Bits();
    std::optional<LogFont> selected;
    for (std::size_t off = played.Header().recordSize; off + 8 <= b.size();) {
      const RecordView r(b.data() + off, RecordView(b.data() + off, 8).U32(4));
      if (r.Type() == EMR_EXTCREATEFONTINDIRECTW) selected = DecodeLogFontW(r, 12);
      off += r.Size();
    }
    ASSERT_TRUE(selected);
    const int most = 2 * std::max(dest.Width(), dest.Height());
    EXPECT_EQ(selected->height, -most);
    EXPECT_EQ(selected->width, most);
  }
}

}  // namespace
