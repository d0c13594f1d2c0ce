// The common file header and the window-kind settings files.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "platform/app.h"
#include "platform/testing.h"
#include "plot2d/plot2_win.h"
#include "plot3d/plot3_win.h"
#include "core/binary_stream.h"
#include "shell/plot_frame.h"
#include "shell/model/settings_file.h"
#include "shell/zor_win.h"
#include "support/test_env.h"

namespace kv {
namespace {

std::int32_t I32At(const std::vector<std::uint8_t>& b, std::size_t off) {
  return static_cast<std::int32_t>(b[off] | b[off + 1] << 8 | b[off + 2] << 16 |
                                   static_cast<std::uint32_t>(b[off + 3]) << 24);
}
std::int16_t I16At(const std::vector<std::uint8_t>& b, std::size_t off) {
  return static_cast<std::int16_t>(b[off] | b[off + 1] << 8);
}
void PutI32(std::vector<std::uint8_t>& b, std::size_t off, std::int32_t v) {
  for (int k = 0; k < 4; ++k) b[off + static_cast<std::size_t>(k)] = static_cast<std::uint8_t>(v >> (8 * k));
}

class SettingsTest : public ::testing::Test {
 protected:
  void SetUp() override { kvtest::ClearSettingsFolder(); }
  void TearDown() override {
    for (auto* w : windows_)
      if (!w->IsDestroyed()) w->Destroy();
    plat::App::DeleteDestroyedWindows();
  }
  template <class W = TPlot2Win>
  W* Make(bool create = true) {
    auto* w = new W(nullptr, "Unbenannt1.kv2");
    w->FileVersion = 33;
    windows_.push_back(w);
    if (create) w->Create();
    return w;
  }
  // A window that is never created: its header holds the stored placement.
  TPlot2Win* KnownState() {
    TPlot2Win* w = Make(false);
    w->Placement = TPlacement{30, 40, 500, 400, 0};
    w->ColoursMarkModified = 0;
    w->PrintScale = 0.5L;
    w->PrintWidth = -3.0L;
    w->PrintLeft = 1.25L;
    w->PrintTop = 0.75L;
    w->PrintDrawFrame = 1;
    w->InitFonts(96);
    w->FontColours[9] = plat::Rgb(1, 2, 3);
    w->ColourSlots[14] = 60;
    return w;
  }
  static std::string Ini(const char* name) { return WindowsDirectory() + name; }
  std::vector<TZORWin*> windows_;
};

TEST_F(SettingsTest, HeaderFieldsSitAtTheirOffsets) {
  TPlot2Win* w = KnownState();
  ByteWriter bw;
  WriteCommonHeader(bw, w->MakeFileHeader(0));
  const auto& b = bw.Data();
  ASSERT_EQ(b.size(), kCommonHeaderSize);
  struct Field {
    std::size_t offset;
    std::int32_t value;
  };
  const Field fields[] = {
      {0, 841}, {4, 33},  {8, 30},   {12, 40},  {16, 500},      {20, 400},      {24, 0},
      {28, 0},  {32, 61}, {36, 50},  {40, -300}, {44, 125},     {48, 75},       {52, 1},
      {56, 0},  {60, 10}, {64, 15},  {68, 19451947}, {72, 19471945}, {76, 0},
      {80, 12}, {84, 10}, {112, 10},                  // point sizes of slots 0, 1 and 8
      {720 + 36, static_cast<std::int32_t>(plat::Rgb(1, 2, 3))},
      {858, 0}, {862, static_cast<std::int32_t>(plat::Rgb(255, 255, 255))},
      {858 + 60 * 4, static_cast<std::int32_t>(plat::Rgb(20, 100, 20))},
  };
  for (const Field& f : fields) EXPECT_EQ(I32At(b, f.offset), f.value) << "offset " << f.offset;
  EXPECT_EQ(I16At(b, 828), 19);
  EXPECT_EQ(I16At(b, 828 + 14 * 2), 60);
  for (std::size_t k = 760; k < 828; ++k) EXPECT_EQ(b[k], 0) << "reserved byte " << k;

  // Font slot 0 at 120: 12 points at 96 dpi, "Courier New".
  const std::vector<std::uint8_t> slot0(b.begin() + 120, b.begin() + 180);
  std::vector<std::uint8_t> golden = {0xF0, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0, 0, 0,    0, 0, 0, 0, 0, 0,
                                      0x90, 0x01, 0,    0,    0, 0, 0, 0, 8, 2, 1, 0x31};
  for (char c : std::string("Courier New")) golden.push_back(static_cast<std::uint8_t>(c));
  golden.resize(60, 0);
  EXPECT_EQ(slot0, golden);
  // Slot 1 is the symbol font.
  EXPECT_EQ(b[180 + 23], 2);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(&b[180 + 28])), "Symbol");

  // A caller's own type code wins over the window's.
  ByteWriter other;
  WriteCommonHeader(other, w->MakeFileHeader(961));
  EXPECT_EQ(I32At(other.Data(), 0), 961);
}

TEST_F(SettingsTest, ReadingHeaderCountsAndTypes) {
  ByteWriter bw;
  TCommonHeader h;
  h.TypeCode = 841;
  h.Version = 33;
  h.ColourTable.fill(plat::Rgb(7, 7, 7));
  WriteCommonHeader(bw, h);
  const auto base = bw.Data();

  // Another window kind's file: refused after the first 80 bytes.
  {
    ByteReader r(base);
    TCommonHeader out;
    EXPECT_EQ(ReadCommonHeader(r, 961, out), THeaderResult::WrongType);
    EXPECT_EQ(r.Position(), kHeaderFixedPart);
  }
  // 70 colours: all are read, 61 kept, and what follows is in place.
  {
    auto b = base;
    PutI32(b, 32, 70);
    for (int k = 0; k < 9; ++k) b.insert(b.end(), {9, 9, 9, 0});
    b.push_back(0xAB);
    ByteReader r(b);
    TCommonHeader out;
    ASSERT_EQ(ReadCommonHeader(r, 841, out), THeaderResult::Ok);
    EXPECT_EQ(out.ColourCount, 70);
    EXPECT_EQ(out.ColourTable[60], plat::Rgb(7, 7, 7));
    EXPECT_EQ(r.U8(), 0xAB);
  }
  // Broken files.
  struct Case {
    const char* what;
    std::size_t offset;
    std::int32_t value;
    std::size_t cut;
  };
  const Case damaged[] = {
      {"short", 0, 841, 1000},
      {"negative font count", 60, -1, 0},
      {"huge font count", 60, 5000000, 0},
      {"more slots than the file holds", 64, 500, 0},
  };
  for (const Case& c : damaged) {
    SCOPED_TRACE(c.what);
    auto b = base;
    PutI32(b, c.offset, c.value);
    if (c.cut) b.resize(c.cut);
    ByteReader r(b);
    TCommonHeader out;
    EXPECT_EQ(ReadCommonHeader(r, 841, out), THeaderResult::Damaged);
  }
}

TEST_F(SettingsTest, AppliedHeaderValues) {
  struct Case {
    const char* what;
    std::size_t offset;
    std::int32_t value;
    long double scale;
    plat::Colour colour5;
  };
  const plat::Colour dflt = DefaultColourTable()[5];
  const Case cases[] = {
      {"scale 0 reads as one centimetre, not in force", 36, 0, -1.0L / 2.54L, plat::Rgb(7, 7, 7)},
      {"scale 254", 36, 254, 2.54L, plat::Rgb(7, 7, 7)},
      {"other signature keeps the table", 68, 1, 0.5L, dflt},
      {"no colours", 32, 0, 0.5L, dflt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TCommonHeader h;
    h.TypeCode = 841;
    h.Version = 33;
    h.X = 11;
    h.PrintScale100 = 50;
    h.ColourTable.fill(plat::Rgb(7, 7, 7));
    ByteWriter bw;
    WriteCommonHeader(bw, h);
    auto b = bw.Data();
    PutI32(b, c.offset, c.value);
    ByteReader r(b);
    TCommonHeader out;
    ASSERT_EQ(ReadCommonHeader(r, 841, out), THeaderResult::Ok);
    TPlot2Win* w = Make(false);
    w->ApplyFileHeader(out);
    EXPECT_NEAR(static_cast<double>(w->PrintScale), static_cast<double>(c.scale), 1e-12);
    EXPECT_EQ(w->GetColour(5), c.colour5);
    EXPECT_EQ(w->Placement.x, 11) << "the placement is applied in every case";
  }

  // A colour slot outside the table is taken as the fall-back colour 0.
  TCommonHeader h;
  h.ColourSlots[0] = 99;
  h.ColourSlots[1] = -2;
  h.ColourSlots[2] = 60;
  TPlot2Win* w = Make(false);
  w->ApplyFileHeader(h);
  EXPECT_EQ(w->ColourSlots[0], 0);
  EXPECT_EQ(w->ColourSlots[1], 0);
  EXPECT_EQ(w->ColourSlots[2], 60);
}

TEST_F(SettingsTest, SettingsFileRoundTripsThroughAWindowOfTheKind) {
  TPlot2Win* a = Make();
  a->DelayMilliseconds = 250;
  a->SavedValues = {1, 2, 3, 4, 5, 6, 7, 8, 9, -10};
  a->SettingsBlocks.Ints[2][20] = -7;
  a->SettingsBlocks.Reals[1][3] = 1.5L;
  a->SettingsBlocks.Bytes[2][0] = 200;
  a->PrintLeft = 2.0L;
  a->FontPointSizes[3] = 22;
  a->ColourSlots[0] = 5;
  a->ColourTable[40] = plat::Rgb(1, 2, 3);
  a->MoveWindow(100, 120, 400, 300);
  a->FileData.FileName = "/data/kurve.kv2";
  auto bytes = a->SettingsFileBytes();
  ASSERT_EQ(bytes.size(), 2303u);
  EXPECT_EQ(I32At(bytes, 1102), 250);
  EXPECT_EQ(I32At(bytes, 1106), 10);
  EXPECT_EQ(I32At(bytes, 1102 + 11 * 4), -10);
  ASSERT_TRUE(WriteFileAtomically(Ini("kv2.ini"), bytes));

  TPlot2Win* b = Make();
  EXPECT_EQ(b->SettingsLoaded, 1);
  EXPECT_EQ(b->DelayMilliseconds, 250);
  EXPECT_EQ(b->SavedValues, a->SavedValues);
  EXPECT_EQ(b->SettingsBlocks.Ints[2][20], -7);
  EXPECT_EQ(b->SettingsBlocks.Reals[1][3], 1.5L);
  EXPECT_EQ(b->SettingsBlocks.Bytes[2][0], 200);
  EXPECT_EQ(b->PrintLeft, 2.0L);
  EXPECT_EQ(b->FontPointSizes[3], 22);
  EXPECT_EQ(b->ColourSlots[0], 5);
  EXPECT_EQ(b->GetColour(40), plat::Rgb(1, 2, 3));
  EXPECT_EQ(b->LastFileName, "/data/kurve.kv2");
  EXPECT_EQ(b->GetWindowRect().left, 100);
  EXPECT_EQ(b->GetWindowRect().Width(), 400);
  b->FileData.FileName = "/data/kurve.kv2";
  EXPECT_EQ(b->SettingsFileBytes(), bytes);
}

TEST_F(SettingsTest, TheSettingsFileIsWrittenWheneverAWindowOfTheKindIsDestroyed) {
  struct Case {
    const char* file;
    std::int32_t type;
    bool changed;
  };
  for (const Case& c : {Case{"kv2.ini", 841, false}, Case{"kv2.ini", 841, true}, Case{"kv3.ini", 961, false}}) {
    kvtest::ClearSettingsFolder();
    TZORWin* w = c.type == 961 ? static_cast<TZORWin*>(Make<TPlot3Win>()) : Make<TPlot2Win>();
    if (c.changed) w->DelayMilliseconds = 9;
    w->Destroy();
    std::vector<std::uint8_t> b;
    ASSERT_TRUE(ReadWholeFile(Ini(c.file), b)) << c.file;
    EXPECT_EQ(b.size(), 2303u);
    EXPECT_EQ(I32At(b, 0), c.type);
    EXPECT_EQ(I32At(b, 1102), c.changed ? 9 : 0);
  }
}

TEST_F(SettingsTest, RefusedDamagedOrPartialSettings) {
  TPlot2Win* a = Make(false);
  a->DelayMilliseconds = 77;
  a->SavedValues = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
  a->PrintLeft = 2.0L;
  const auto good = a->SettingsFileBytes();
  const std::array<std::int16_t, 10> defaults{24, 6, 7, 0, 10, 8, 13, 2, 14, 17};

  struct Case {
    const char* what;
    std::vector<std::uint8_t> bytes;
    bool loaded;
    bool message21;
  };
  auto with = [&](std::size_t off, std::int32_t v) {
    auto b = good;
    PutI32(b, off, v);
    return b;
  };
  auto cut = [&](std::size_t n) { return std::vector<std::uint8_t>(good.begin(), good.begin() + static_cast<long>(n)); };
  const Case cases[] = {
      {"3D window's file", with(0, 961), false, false},
      {"newer version", with(4, 34), false, false},
      {"short header", cut(500), false, true},
      {"short blocks", cut(2000), false, true},
      {"negative colour-slot count", with(64, -3), false, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    plat::testing::ClearMessages();
    ASSERT_TRUE(WriteFileAtomically(Ini("kv2.ini"), c.bytes));
    TPlot2Win* w = Make();
    EXPECT_EQ(w->SettingsLoaded, 0);
    EXPECT_EQ(w->DelayMilliseconds, 0);
    EXPECT_EQ(w->SavedValues, defaults);
    EXPECT_EQ(w->PrintLeft, 1.0L);
    EXPECT_EQ(plat::testing::Messages().size(), c.message21 ? 1u : 0u);
    if (c.message21) {
      EXPECT_EQ(plat::testing::Messages()[0].text, "fehlerhafte .ini Datei");
    }
    w->SaveSettingsOnClose = 0;
  }

  // Entry 1 of the first block says how many saved values follow.
  ASSERT_TRUE(WriteFileAtomically(Ini("kv2.ini"), with(1106, 3)));
  TPlot2Win* w = Make();
  EXPECT_EQ(w->SettingsLoaded, 1);
  EXPECT_EQ(w->SavedValues, (std::array<std::int16_t, 10>{1, 2, 3, 0, 10, 8, 13, 2, 14, 17}));
}

TEST_F(SettingsTest, AStalePlacementNeverPutsTheWindowOffScreen) {
  TPlot2Win* a = Make(false);
  const std::vector<TPlacement> stale = {{5000, 10, 400, 300, 0}, {-20, 10, 400, 300, 0}, {10, 10, 50, 30, 0},
                                         {900, 10, 400, 300, 0}};
  for (const TPlacement& p : stale) {
    a->Placement = p;
    ASSERT_TRUE(WriteFileAtomically(Ini("kv2.ini"), a->SettingsFileBytes()));
    TPlot2Win* w = Make();
    w->SaveSettingsOnClose = 0;
    EXPECT_TRUE(IsPlacementOnScreen(w->Placement, 1024, 768));
    plat::Rect r = w->GetWindowRect();
    EXPECT_GE(r.left, 0);
    EXPECT_LE(r.right, 1024);
  }
}

}  // namespace
}  // namespace kv
