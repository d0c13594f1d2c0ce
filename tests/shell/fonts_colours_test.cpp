// Font slots, the colour table with its grey tables, the client geometry
// and the background picture.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/app.h"
#include "platform/clipboard.h"
#include "platform/dialog.h"
#include "platform/testing.h"
#include "core/binary_stream.h"
#include "shell/col_win.h"
#include "shell/font_win.h"
#include "shell/zor_win.h"
#include "support/test_env.h"

namespace kv {
namespace {

class LayerWin : public TZORWin {
 public:
  LayerWin() : TZORWin(nullptr, "Unbenannt1.kv2") {
    FileTypeCode = 841;
    FileVersion = 33;
    LoadSettingsOnSetup = 0;
    SaveSettingsOnClose = 0;
  }
  void EvCommandNotify(int slot) override { notified.push_back(slot); }
  void EvViewNotify(std::int32_t code) override { viewCodes.push_back(code); }
  bool WriteFile() override { return WriteBasicFile(); }
  std::vector<int> notified;
  std::vector<std::int32_t> viewCodes;
};

class LayerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = kvtest::MakeTempDir("layers");
    plat::clipboard::Clear();
    w_ = new LayerWin;
    w_->Create();
    w_->Show(plat::SW_SHOWNORMAL);
  }
  void TearDown() override {
    if (!w_->IsDestroyed()) w_->Destroy();
    plat::App::DeleteDestroyedWindows();
    plat::clipboard::Clear();
  }
  // Sizes the window so that its client area is width x height.
  // Twice, as the menu bar may wrap differently at the new width.
  void SetClientSize(int width, int height) {
    for (int pass = 0; pass < 2; ++pass) {
      plat::Rect outer = w_->GetWindowRect();
      plat::Rect inner = w_->GetClientRect();
      w_->MoveWindow(outer.left, outer.top, width + outer.Width() - inner.Width(),
                     height + outer.Height() - inner.Height());
    }
  }
  std::string LastMessage() const {
    const auto& m = plat::testing::Messages();
    return m.empty() ? std::string() : m.back().text;
  }
  std::string dir_;
  LayerWin* w_ = nullptr;
};

// ---- fonts ----

TEST_F(LayerTest, FontSlotDefaultsAt96Dpi) {
  w_->InitFonts(96);
  struct Slot {
    const char* face;
    int charSet;
    int pitch;
    int points;
    int height;
  };
  const Slot slots[10] = {
      {"Courier New", 0, 0x31, 12, -16}, {"Symbol", 2, 0x31, 10, -13}, {"Courier New", 0, 0x31, 10, -13},
      {"Courier New", 0, 0x31, 8, -11},  {"Times", 0, 2, 12, -16},     {"Times", 0, 2, 10, -13},
      {"Courier New", 0, 0x31, 10, -13}, {"Courier New", 0, 0x31, 10, -13}, {"Courier New", 0, 0x31, 10, -13},
      {"Courier New", 0, 0x31, 10, -13},
  };
  for (std::size_t k = 0; k < 10; ++k) {
    SCOPED_TRACE(k);
    const plat::LogFont& f = w_->FontSlots[k];
    EXPECT_EQ(f.Face(), slots[k].face);
    EXPECT_EQ(f.charSet, slots[k].charSet);
    EXPECT_EQ(f.pitchAndFamily, slots[k].pitch);
    EXPECT_EQ(w_->FontPointSizes[k], slots[k].points);
    EXPECT_EQ(f.height, slots[k].height);
    EXPECT_EQ(f.weight, 400);
    EXPECT_EQ(f.outPrecision, 8);
    EXPECT_EQ(f.clipPrecision, 2);
    EXPECT_EQ(f.quality, 1);
    EXPECT_EQ(w_->FontCaptionIds[k], 63);
  }
  EXPECT_EQ(FontHeightForPoints(12, 600), -100);
  EXPECT_EQ(FontHeightForPoints(-12, 600), 100);
}

TEST_F(LayerTest, FontDialogChangesASlotOnlyWhenConfirmed) {
  const plat::LogFont before = w_->FontSlots[2];
  plat::testing::ExpectFontDialog(std::nullopt);
  EXPECT_FALSE(w_->ChooseFontForSlot(2));
  EXPECT_EQ(w_->FontSlots[2], before);
  EXPECT_EQ(w_->FontPointSizes[2], 10);
  EXPECT_EQ(w_->Modified, 0);
  EXPECT_TRUE(w_->notified.empty());

  plat::FontChoice choice;
  choice.font = before;
  choice.font.SetFace("Arial");
  choice.font.italic = 1;
  choice.colour = plat::Rgb(200, 0, 0);
  choice.pointSizeTenths = 105;
  plat::testing::ExpectFontDialog(choice);
  w_->Command(62);  // the menu's font command for slot 2
  EXPECT_EQ(w_->FontSlots[2].Face(), "Arial");
  EXPECT_EQ(w_->FontPointSizes[2], 10) << "10.5 points are kept as 10";
  EXPECT_EQ(w_->FontColours[2], plat::Rgb(200, 0, 0));
  EXPECT_EQ(w_->Modified, 1);
  EXPECT_EQ(w_->notified, std::vector<int>{2});

  w_->Modified = 0;
  w_->FontChangeMarksModified = 0;
  plat::testing::ExpectFontDialog(choice);
  EXPECT_TRUE(w_->ChooseFontForSlot(9));
  EXPECT_EQ(w_->Modified, 0);
  EXPECT_FALSE(w_->ChooseFontForSlot(10));
}

TEST(LogFontRecord, SixtyBytesWithATerminatedFace) {
  plat::LogFont f;
  f.height = -13;
  f.escapement = 900;
  f.weight = 700;
  f.italic = 1;
  f.charSet = 2;
  f.pitchAndFamily = 0x22;
  f.SetFace("Symbol");
  ByteWriter w;
  WriteLogFont(w, f);
  std::vector<std::uint8_t> golden = {0xF3, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0, 0x84, 0x03, 0, 0, 0, 0, 0, 0,
                                      0xBC, 0x02, 0,    0,    1, 0, 0, 2, 0,    0,    0, 0x22,
                                      'S',  'y',  'm',  'b',  'o', 'l'};
  golden.resize(kLogFontSize, 0);
  EXPECT_EQ(w.Data(), golden);

  ByteReader r(golden);
  EXPECT_EQ(ReadLogFont(r), f);

  // A face without its NUL is cut to 31 characters.
  std::vector<std::uint8_t> full = golden;
  std::fill(full.begin() + 28, full.end(), 'A');
  ByteReader r2(full);
  EXPECT_EQ(ReadLogFont(r2).Face(), std::string(31, 'A'));
}

TEST_F(LayerTest, NumberFormatCommandKeepsTheFieldWidthRule) {
  w_->FormatKind = 3;
  plat::testing::AnswerDialog("FWDP", {{211, "3"}, {212, "12"}}, 1);
  w_->Command(105);
  EXPECT_EQ(w_->Decimals, 3);
  EXPECT_EQ(w_->FieldWidth, 5) << "decimals + 2, whatever the dialog held";
  plat::testing::AnswerDialog("FWDP", {{211, "9"}, {212, "12"}}, 2);
  w_->Command(105);
  EXPECT_EQ(w_->Decimals, 3);
}

// ---- colours ----

TEST_F(LayerTest, ColourIndicesAndGreyTables) {
  const auto& t = DefaultColourTable();
  struct Case {
    int index;
    plat::Colour colour;
  };
  for (const Case& c : {Case{0, t[0]}, Case{-3, t[0]}, Case{61, t[0]}, Case{60, t[60]}, Case{1, t[1]}, Case{2, t[2]}})
    EXPECT_EQ(w_->GetColour(c.index), c.colour) << c.index;

  struct Grey {
    int index;
    int level;
    int shade;
  };
  // (255, 0, 255): 0.3 * 255 + 0.11 * 255 = 104.55; (0, 191, 63): 119.62.
  // A grey (g, g, g) keeps its level g exactly: the weights sum to 1.
  for (const Grey& g : {Grey{0, 0, 64}, Grey{1, 255, 0}, Grey{2, 104, 64}, Grey{5, 119, 58}, Grey{4, 76, 76},
                        Grey{18, 224, 13}, Grey{19, 192, 26}, Grey{20, 160, 40}, Grey{21, 128, 54},
                        Grey{22, 96, 67}, Grey{23, 64, 81}}) {
    EXPECT_EQ(w_->GreyLevels[static_cast<std::size_t>(g.index)], g.level) << g.index;
    EXPECT_EQ(w_->GreyShades[static_cast<std::size_t>(g.index)], g.shade) << g.index;
  }
  EXPECT_EQ(w_->GetGreyColour(62), plat::Rgb(255, 255, 255)) << "62 mod 61 is 1";
  EXPECT_EQ(w_->GetGreyColour(-59), plat::Rgb(104, 104, 104)) << "negative indices stay in the table";
}

TEST_F(LayerTest, DrawColoursOnScreenAndOnAGreyPrinter) {
  const auto& t = DefaultColourTable();
  w_->ColourSlots[0] = 19;
  struct Case {
    std::uint8_t printing, colourPrinter;
    int index;
    bool avoid;
    plat::Colour expected;
    std::int16_t checked;
  };
  const Case cases[] = {
      {0, 0, 4, false, t[4], 4},
      {0, 0, 19, true, t[0], 19},  // the background colour is avoided
      {0, 0, 19, false, t[19], 19},
      {1, 0, 4, true, plat::Rgb(76, 76, 76), 0},  // grey of red
      {1, 1, 19, true, t[19], 19},                // a colour printer: no substitution while printing
      {0, 0, 61, false, t[0], 0},
  };
  for (const Case& c : cases) {
    w_->Printing = c.printing;
    w_->ColourPrinter = c.colourPrinter;
    EXPECT_EQ(w_->GetDrawColour(c.index, c.avoid), c.expected) << c.index;
    EXPECT_EQ(w_->CheckColourIndex(c.index), c.checked) << c.index;
  }
  w_->Printing = 0;
  w_->ColourSlots[0] = 0;
  EXPECT_EQ(w_->GetColourAvoidingBackground(0), t[1]);
}

TEST_F(LayerTest, ColourSlotCommandMarksModifiedAndNotifiesTheTarget) {
  w_->ColourTargets[3] = 7;
  w_->Command(203);
  ASSERT_NE(w_->ColourWindow, nullptr);
  EXPECT_EQ(w_->Modified, 1);
  w_->ColourWindow->PickCell(6, 2);  // colours 7..12 in the second row
  EXPECT_EQ(w_->ColourSlots[3], 12);
  EXPECT_EQ(w_->viewCodes, std::vector<std::int32_t>{7});

  w_->Modified = 0;
  w_->ColoursMarkModified = 0;
  w_->Command(203);
  EXPECT_EQ(w_->Modified, 0);
}

// ---- geometry and off-screen bitmaps ----

TEST_F(LayerTest, SizeChangesMarkModifiedOnlyWhenWanted) {
  SetClientSize(100, 300);
  w_->ClientSizeChanged();
  w_->SizeChangeMarksModified = 1;
  struct Case {
    int width, height;
    bool marks;
  };
  for (const Case& c : {Case{101, 300, true}, Case{100, 400, false}, Case{200, 200, true}}) {
    SetClientSize(100, 300);
    w_->ClientSizeChanged();
    w_->Modified = 0;
    SetClientSize(c.width, c.height);
    EXPECT_TRUE(w_->ClientSizeChanged());
    EXPECT_EQ(w_->ClientWidth, c.width);
    EXPECT_EQ(w_->ClientWidth8, c.width / 8);
    EXPECT_EQ(w_->Modified, c.marks ? 1 : 0) << c.width << " x " << c.height;
  }
  EXPECT_FALSE(w_->ClientSizeChanged());
  EXPECT_EQ(w_->CreateClientRegion(),
            (std::vector<plat::Point>{{0, 0}, {199, 0}, {199, 199}, {0, 199}}));
}

TEST_F(LayerTest, BackBuffers) {
  SetClientSize(40, 30);
  w_->UpdateClientSize();
  w_->ColourSlots[0] = 4;
  plat::ClientDC dc(*w_);
  w_->BufferValid = {1, 1, 1};
  w_->CreateBackBuffers(1, dc);
  EXPECT_EQ(w_->BufferValid, (std::array<std::uint8_t, 3>{0, 0, 1}));
  EXPECT_TRUE(w_->BackBuffers[2].IsNull());
  EXPECT_EQ(w_->BackBuffers[0].Width(), 40);
  EXPECT_EQ(w_->BackBuffers[1].GetPixel(39, 29), plat::Rgb(255, 0, 0)) << "the last one holds the background";
  EXPECT_EQ(w_->BackgroundColour, plat::Rgb(255, 0, 0));

  w_->BufferValid = {1, 1, 1};
  for (int i : {-1, 7, 0}) w_->InvalidateBackBuffer(i);
  EXPECT_EQ(w_->BufferValid, (std::array<std::uint8_t, 3>{0, 1, 0}));

  plat::Bitmap target(40, 30, plat::Rgb(0, 0, 0));
  plat::BitmapDC tdc(target);
  w_->BlitBackBuffer(5, tdc);  // bitmap 2 does not exist: nothing
  EXPECT_EQ(target.GetPixel(3, 3), plat::Rgb(0, 0, 0));
  w_->BlitBackBuffer(1, tdc);
  EXPECT_EQ(target.GetPixel(3, 3), plat::Rgb(255, 0, 0));
}

// ---- picture ----

TEST_F(LayerTest, PictureFromAFileIsPaintedUnderThePlot) {
  plat::Bitmap small(20, 10, plat::Rgb(0, 0, 255));
  ASSERT_TRUE(small.WriteBmpFile(dir_ + "small.bmp"));
  ASSERT_TRUE(WriteFileAtomically(dir_ + "junk.bmp", {'B', 'M', 1, 2, 3}));
  plat::Bitmap big(1100, 20, plat::Rgb(0, 255, 0));
  ASSERT_TRUE(big.WriteBmpFile(dir_ + "big.bmp"));

  struct Case {
    std::string file;
    std::int16_t code;
    bool loaded;
    std::string message;
  };
  const Case cases[] = {
      {"missing.bmp", 2, false, ""},
      {"junk.bmp", 11, false, ""},
      {"small.bmp", 0, true, ""},
      {"big.bmp", 0, true, "zu groß"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    plat::testing::ClearMessages();
    w_->FreePicture();
    w_->PictureFileData.FileName = dir_ + c.file;
    EXPECT_EQ(w_->OpenPicture(), c.code);
    EXPECT_EQ(w_->HasPicture(), c.loaded);
    EXPECT_EQ(w_->PictureFromFile, c.loaded ? 1 : 0);
    EXPECT_EQ(LastMessage(), c.message);
  }
  EXPECT_EQ(w_->PictureWidth, 1100);

  // Through the menu: the file dialog offers BMP files.
  plat::testing::ExpectFileDialog(dir_ + "small.bmp");
  w_->Command(372);
  EXPECT_EQ(plat::testing::LastFileDialogRequest().filter, "Windows Bitmap (*.BMP)|*.bmp");
  EXPECT_EQ(w_->PictureWidth, 20);

  SetClientSize(40, 30);
  w_->UpdateClientSize();
  w_->ColourSlots[0] = 4;
  plat::Bitmap surface(40, 30);
  plat::BitmapDC dc(surface);
  w_->PaintBackground(dc);
  EXPECT_EQ(surface.GetPixel(19, 9), plat::Rgb(0, 0, 255));
  EXPECT_EQ(surface.GetPixel(20, 9), plat::Rgb(255, 0, 0));
  EXPECT_EQ(surface.GetPixel(5, 20), plat::Rgb(255, 0, 0));

  EXPECT_TRUE(w_->QueryCommand(356).enabled);
  w_->Command(356);
  EXPECT_FALSE(w_->HasPicture());
  EXPECT_FALSE(w_->QueryCommand(356).enabled);
}

TEST_F(LayerTest, PictureFromTheClipboardIsOfferedForSavingBesideThePlot) {
  EXPECT_FALSE(w_->QueryCommand(373).enabled);
  ASSERT_TRUE(plat::clipboard::SetBitmap(plat::Bitmap(30, 20, plat::Rgb(1, 2, 3))));
  EXPECT_TRUE(w_->QueryCommand(373).enabled);
  w_->Command(373);
  ASSERT_TRUE(w_->HasPicture());
  EXPECT_EQ(w_->PictureFromFile, 0);
  EXPECT_EQ(w_->PictureHeight, 20);

  ASSERT_TRUE(plat::clipboard::SetBitmap(plat::Bitmap(2000, 20)));
  w_->Command(373);
  EXPECT_EQ(LastMessage(), "zu groß");
  EXPECT_EQ(w_->PictureWidth, 2000);
  ASSERT_TRUE(plat::clipboard::SetBitmap(plat::Bitmap(30, 20, plat::Rgb(1, 2, 3))));
  w_->Command(373);

  for (int answer : {89, 88}) {
    w_->FileData.FileName = dir_ + "plot.v1.kv2";
    w_->Named = 1;
    plat::testing::ExpectDialog("YNMBOX", [answer](plat::Dialog& d) {
      EXPECT_EQ(d.GetItemText(231), "Bitmap speichern unter plot.v11.bmp?");
      d.Press(answer);
    });
    EXPECT_TRUE(w_->Save());
    EXPECT_EQ(std::filesystem::exists(dir_ + "plot.v11.bmp"), answer == 88);
  }
  EXPECT_EQ(plat::Bitmap::ReadBmpFile(dir_ + "plot.v11.bmp").GetPixel(0, 0), plat::Rgb(1, 2, 3));

  // A name without a dot in its own part offers nothing.
  w_->FileData.FileName = dir_ + "my.dir/plot";
  std::filesystem::create_directories(dir_ + "my.dir");
  EXPECT_TRUE(w_->Save());
}

TEST(PictureName, ReplacesTheLastExtensionOfTheFileName) {
  struct Case {
    const char* name;
    bool ok;
    const char* result;
  };
  const Case cases[] = {{"a.kv2", true, "a1.bmp"},
                        {"/x/a.b.kv2", true, "/x/a.b1.bmp"},
                        {"noext", false, "kept"},
                        {"/my.dir/plot", false, "kept"}};
  for (const Case& c : cases) {
    std::string dest = "kept";
    EXPECT_EQ(MakePictureFileName(dest, c.name), c.ok) << c.name;
    EXPECT_EQ(dest, c.result);
  }
}

}  // namespace
}  // namespace kv
