// The plot file through a 2D window: a full round trip into a new window,
// the header words, flag bytes and values at their offsets, files of older
// versions, files the window refuses or cannot read (and stays unchanged),
// and the values the reader replaces.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "entry/inventory_dialog.h"
#include "entry/model/plot_file_blocks.h"
#include "graphics/model/text_label_record.h"
#include "platform/testing.h"
#include "plot2d/plot2_test_util.h"
#include "plotcore/model/equation_record.h"
#include "core/binary_stream.h"
#include "shell/file_msg_win.h"
#include "shell/model/settings_file.h"
#include "support/test_env.h"

namespace kv {
namespace {

// Where the blocks of a file start.
constexpr std::size_t kWordsAt = kCommonHeaderSize;
constexpr std::size_t kFlagsAt = kWordsAt + 160;
constexpr std::size_t kValuesAt = kFlagsAt + 50;
constexpr std::size_t kStepsAt = kValuesAt + 800;
constexpr std::size_t kGroupsAt = kStepsAt + 320;

std::vector<std::uint8_t> ReadBytes(const std::string& path) {
  std::vector<std::uint8_t> b;
  ReadWholeFile(path, b);
  return b;
}

void WriteBytes(const std::string& path, const std::vector<std::uint8_t>& b) {
  ASSERT_TRUE(WriteFileAtomically(path, b));
}

std::int16_t WordAt(const std::vector<std::uint8_t>& b, int word) {
  const std::size_t at = kWordsAt + 2 * static_cast<std::size_t>(word);
  return static_cast<std::int16_t>(b[at] | (b[at + 1] << 8));
}
void SetWord(std::vector<std::uint8_t>& b, int word, std::int16_t v) {
  const std::size_t at = kWordsAt + 2 * static_cast<std::size_t>(word);
  b[at] = static_cast<std::uint8_t>(v & 0xFF);
  b[at + 1] = static_cast<std::uint8_t>((v >> 8) & 0xFF);
}
long double ValueAt(const std::vector<std::uint8_t>& b, int k) {
  return DecodeExtended(b.data() + kValuesAt + 10 * static_cast<std::size_t>(k));
}
void SetValue(std::vector<std::uint8_t>& b, int k, long double v) {
  const Extended e = EncodeExtended(v);
  std::memcpy(b.data() + kValuesAt + 10 * static_cast<std::size_t>(k), e.data(), e.size());
}
std::int32_t I32At(const std::vector<std::uint8_t>& b, std::size_t at) {
  return static_cast<std::int32_t>(b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) |
                                   (static_cast<std::uint32_t>(b[at + 3]) << 24));
}

class PlotFileWindow : public test2d::Plot2Test {
 protected:
  void SetUp() override {
    Plot2Test::SetUp();
    dir_ = kvtest::MakeTempDir("plot-file");
  }

  // Writes the window to `path` and gives the bytes.
  std::vector<std::uint8_t> Save(TPlot2Win& w, const std::string& path) {
    w.FileData.FileName = path;
    EXPECT_TRUE(w.WriteFile());
    return ReadBytes(path);
  }
  int Open(TPlot2Win& w, const std::string& path) {
    w.FileData.FileName = path;
    const int code = w.OpenFile();
    Settle(&w);
    return code;
  }
  // Everything the window would save, and its name: equal fingerprints
  // mean an unchanged window.
  std::vector<std::uint8_t> Fingerprint(TPlot2Win& w) {
    const std::string kept = w.FileData.FileName;
    std::vector<std::uint8_t> b = Save(w, dir_ + "fingerprint.bin");
    w.FileData.FileName = kept;
    b.insert(b.end(), kept.begin(), kept.end());
    return b;
  }

  // A window with one curve of each of several kinds and something in
  // every block.
  void Populate(TPlot2Win& w, bool complexMode) {
    w.SetComplexMode(complexMode);
    const int curve = w.AppendEquation(kKindExplicit, -4, 4, {}, "xsin(x)");
    const int flower = w.AppendEquation(kKindParametric, 0, 2 * Pi, "3cos(3t)", "3sin(4t)");
    const int segment = w.AppendEquation(kKindSegment, 0, 1, "-1.5", "3.0", "3.5", "1.0");
    const int system = w.AppendEquation(kKindOde, 0, 1, "xx-yy", "2xy");
    const int point = w.AppendEquation(kKindPoint, 0, 1, "2.54", "pi/3");
    const int circle = w.AppendEquation(kKindImplicit, 0, 1, {}, {}, {}, {}, "xx+yy=13");
    for (int i = 0; i <= w.equationCount; ++i) {
      w.CompileEquation(i);
      w.AddEquationLabel();
    }
    // The tracer starts from random points: hidden, its pixels stay out of
    // the comparison while its record still travels.  Reading marks an
    // implicit curve at record byte 58; it carries the mark already.
    w.Equation(circle).visible = 0;
    w.Equation(circle).polarInput = 1;
    w.AddTrajectoryItem(system, {1, 0.5L, 0}, kMethodRungeKutta, 0.01L, 150, 1);
    const long double zero[] = {3.1415L};
    ASSERT_TRUE(w.AddResultPoint(curve, 10, zero, 1, "Nullstelle"));
    w.EquationName(flower) = "Blume";
    w.EquationFlag(segment) = 1;
    w.Equation(point).penWidth = 4;

    w.Decimals = 3;
    w.FieldWidth = 9;
    w.ZoomFactor = 1.5L;
    w.PanShare = 0.2L;
    w.TickIntervalX = 0.5L;
    w.mouseMarkPenWidth = 3;
    w.drawingMode = kCmDrawNotXor;
    w.defaultDensity = 80;
    w.AxisNames = {"Zeit", "Weg", "z"};
    w.Centre = {0.5L, -0.25L};
    w.HalfX = 6;
    w.UpdateView();

    auto& t = w.Tables();
    t.lower[1] = TComplex(-3, 0.5L);
    t.value[1] = TComplex(2.5L, 0.75L);
    t.upper[1] = TComplex(7, -1);
    t.value[26] = TComplex(-1.25L, 0);
    ASSERT_EQ(w.DefineUserFunction("ff", 2, "x*y+1", false), 0);

    w.Password = "geheim";
    w.Author = "Anna Beispiel";
    w.Date = "1.2.2003";
    w.EMail = "anna@example.org";
    w.Homepage = "example.org";
    w.ProtectionMask = kProtectSave;

    TTextLabel label;
    label.text = "Hochpunkt";
    label.colour = plat::Rgb(10, 20, 30);
    label.anchorX = 1;
    label.anchorY = 2;
    label.font.SetFace("Arial");
    label.pointSize = 10;
    label.binding = kBindFrame;
    w.TextLabels = {label};
    TTextLabel term = label;
    term.text = "X";
    term.termIndex = kTermIndexBase;
    w.TermLabels = {term};
    TTermBlock block;
    block.terms = {"f(x)", "A", "0", "0"};
    block.values[2] = 5;
    w.TermBlocks = {block};
    TPictureRecord picture;
    picture.metafile = {1, 0, 0, 0, 2, 3, 5, 8};
    picture.xmin = -1;
    picture.xmax = 1;
    picture.ymin = 0;
    picture.ymax = 2;
    w.Pictures = {picture};

    TShadeRecord shade;
    shade.graphA = static_cast<std::int16_t>(curve);
    shade.graphB = kShadeAbove;
    shade.packedCode = 3;
    shade.intervalFlag = 1;
    shade.from = -1;
    shade.to = 2;
    shade.colour = 5;
    w.shadings = {shade};
    TMouseMark pen;
    pen.kind = kMarkPen;
    pen.pen = {plat::Rgb(255, 0, 0), 2, 0};
    TMouseMark first;
    first.point = {-2, -2};
    first.kind = kMarkBreak;
    TMouseMark next;
    next.point = {-1, -2.5L};
    next.kind = kMarkNext;
    w.mouseMarks = {pen, first, next};
    w.SetNotes("Zeile 1\r\nZeile 2: \xC3\xA4\xC3\xB6\xC3\xBC");

    plat::Bitmap bmp(40, 30, plat::Rgb(200, 220, 255));
    const std::string bmpName = dir_ + "hintergrund.bmp";
    ASSERT_TRUE(bmp.WriteBmpFile(bmpName));
    w.PictureFileData.FileName = bmpName;
    ASSERT_EQ(w.OpenPicture(), 0);
    w.InvalidatePlot();
    Settle(&w);
  }

  std::string dir_;
};

// ---- round trip ----

class PlotFileRoundTrip : public PlotFileWindow, public ::testing::WithParamInterface<bool> {};

// Written again, the read window gives the same bytes: every stored field
// came back.  What the file does not hold as it is in memory is checked
// on its own, and the window paints the same pixels.
TEST_P(PlotFileRoundTrip, EveryFieldComesBackAndTheWindowPaintsTheSamePixels) {
  const bool complexMode = GetParam();
  TPlot2Win* a = MakeWindow();
  Populate(*a, complexMode);
  const std::string path = dir_ + (complexMode ? "komplex.kv2" : "reell.kv2");
  const auto written = Save(*a, path);
  EXPECT_EQ(Save(*a, path), written) << "saving again stores the same";

  TPlot2Win* b = MakeWindow();
  ASSERT_EQ(Open(*b, path), 0);
  Settle(a);
  EXPECT_EQ(Save(*b, dir_ + "wieder.kv2"), written);

  EXPECT_EQ(b->Modified, 0);
  ASSERT_EQ(b->equationCount, 5);
  for (int i = 0; i <= b->equationCount; ++i) {
    const TEquation& e = b->Equation(i);
    EXPECT_TRUE(e.trees[0] || e.trees[1] || e.trees[2]) << "compiled: " << i;
  }
  EXPECT_EQ(b->EquationName(1), "Blume");
  EXPECT_EQ(b->EquationFlag(2), 1);
  EXPECT_EQ(b->Equation(2).penColour, a->Equation(2).penColour) << "the group mark is not in the colour";
  EXPECT_EQ(b->Equation(3).items.size(), 1u);
  EXPECT_EQ(b->ComplexMode(), complexMode);
  EXPECT_EQ(b->Tables().value[1].re, 2.5L);
  EXPECT_EQ(b->Tables().value[1].im, complexMode ? 0.75L : 0.0L) << "real mode keeps no imaginary parts";
  EXPECT_EQ(b->Tables().upper[1].im, complexMode ? -1.0L : 0.0L);
  EXPECT_EQ(b->Engine().UserFunctions().Functions(), a->Engine().UserFunctions().Functions());
  EXPECT_EQ(b->Password, "geheim");
  EXPECT_EQ(b->ProtectionMask, kProtectSave);
  EXPECT_EQ(b->Unlocked, 0);
  EXPECT_EQ(b->TextLabels, a->TextLabels);
  EXPECT_EQ(b->TermBlocks, a->TermBlocks);
  EXPECT_EQ(b->Pictures, a->Pictures);
  ASSERT_EQ(b->equationLabels.size(), a->equationLabels.size());
  EXPECT_EQ(b->equationLabels[4].anchor.y, a->equationLabels[4].anchor.y);
  EXPECT_EQ(b->GetNotes(), a->GetNotes());
  EXPECT_TRUE(b->HasPicture());
  EXPECT_EQ(b->PictureFileData.FileName, a->PictureFileData.FileName);

  const plat::Bitmap& pa = a->Surface();
  const plat::Bitmap& pb = b->Surface();
  ASSERT_EQ(pb.Width(), pa.Width());
  ASSERT_EQ(pb.Height(), pa.Height());
  int differing = 0;
  for (int y = 0; y < pa.Height(); ++y)
    for (int x = 0; x < pa.Width(); ++x)
      if (pa.GetPixel(x, y) != pb.GetPixel(x, y)) ++differing;
  EXPECT_EQ(differing, 0);
  EXPECT_GT(test2d::CountColour(pb, test2d::EntryColour(*b, 0)), 100) << "the curve is drawn";
}

INSTANTIATE_TEST_SUITE_P(RealAndComplex, PlotFileRoundTrip, ::testing::Bool());

// A file whose background picture has gone keeps the picture's name: the
// window opens without it, and saving writes the name it read, so the
// picture comes back once its file is there again.
TEST_F(PlotFileWindow, ABackgroundPictureWhoseFileIsGoneKeepsItsName) {
  TPlot2Win* a = MakeWindow();
  Populate(*a, false);
  const std::string bmpName = a->PictureFileData.FileName;
  const auto written = Save(*a, dir_ + "bild.kv2");
  const plat::Bitmap kept = plat::Bitmap::ReadBmpFile(bmpName);
  ASSERT_FALSE(kept.IsNull());
  ASSERT_TRUE(std::filesystem::remove(bmpName));

  TPlot2Win* b = MakeWindow();
  ASSERT_EQ(Open(*b, dir_ + "bild.kv2"), 0);
  EXPECT_FALSE(b->HasPicture());
  EXPECT_EQ(Save(*b, dir_ + "bild.kv2"), written);
  // A new plot forgets the name with the picture.
  b->NewFile();
  EXPECT_EQ(WordAt(Save(*b, dir_ + "neu.kv2"), kWordPicture), 0);

  ASSERT_TRUE(kept.WriteBmpFile(bmpName));
  TPlot2Win* c = MakeWindow();
  ASSERT_EQ(Open(*c, dir_ + "bild.kv2"), 0);
  EXPECT_TRUE(c->HasPicture());
}

// ---- layout ----

TEST_F(PlotFileWindow, AnEmptyWindowsFileIsExactlyItsBlocks) {
  TPlot2Win* w = MakeWindow();
  const struct {
    bool complexMode;
    std::size_t tables;
  } cases[] = {{false, 3 * 270}, {true, 3 * 540}};
  for (const auto& c : cases) {
    w->SetComplexMode(c.complexMode);
    const auto b = Save(*w, dir_ + "leer.kv2");
    const std::size_t titles = 3 * (2 + 2);  // "x", "y", "z"
    const std::size_t lists = 2 + 2 + 2 + 2 + 2 + 4;  // functions, labels, pictures, captions, shading, marks
    EXPECT_EQ(b.size(), kCommonHeaderSize + 160 + 50 + 800 + 320 + titles + c.tables + 51 + lists);
    EXPECT_EQ(I32At(b, 0), kFileType2D);
    EXPECT_EQ(I32At(b, 4), kPlotFileVersion);
    EXPECT_EQ(WordAt(b, kWordLastIndex), -1);
    EXPECT_EQ(b[kFlagsAt + kFlagRealMode], c.complexMode ? 0 : 1);
  }
}

TEST_F(PlotFileWindow, HeaderWordsFlagBytesAndValuesSitAtTheirOffsets) {
  TPlot2Win* w = MakeWindow();
  Populate(*w, false);
  w->PiChar = 97;
  w->PolarSectors = 16;
  w->centreZoomFactor = 0.25L;
  w->parametersAsValues = 1;
  w->fillInsteadOfHatch = 1;
  w->smallSteps[0] = 250;
  w->mediumSteps[0] = 25;
  w->SavedValuesOff = 1;  // "Nächster Graph schwarz" on
  w->OpenSlopeTrajectoryDialog();  // the dy/dx dialog is open, but a save leaves its bit unset
  ASSERT_NE(w->SlopeTrajectoryDialog(), nullptr);
  const auto b = Save(*w, dir_ + "lage.kv2");

  const struct {
    int word;
    std::int16_t expected;
  } words[] = {
      {kWordDecimals, 3},          {kWordLastIndex, 5},       {kWordFieldWidth, 9},
      {kWordPicture, kPictureMark}, {kWordPiChar, 97},         {kWordPolarSectors, 16},
      {kWordNameLength, 20},       {kWordProtection, kProtectSave}, {kWordFillInsteadOfHatch, 1},
      {kWordDrawingMode, kCmDrawNotXor}, {kWordTerms, kTermMark}, {kWordDensity, 80},
      {kWordMarkPenWidth, 3},      {kWordOpenWindows, 0},
  };
  for (const auto& c : words) EXPECT_EQ(WordAt(b, c.word), c.expected) << "word " << c.word;

  const struct {
    int flag;
    std::uint8_t expected;
  } flags[] = {
      {kFlagRealMode, 1}, {kFlagNoNotes, 0}, {kFlagNotesHidden, 1}, {kFlagNotParametersAsValues, 0},
      {kFlagNotNextBlack, 0}, {kFlagSliderHiddenFirst, 1}, {kFlagSliderHiddenFirst + 24, 1}, {21, 0},
  };
  for (const auto& c : flags) EXPECT_EQ(b[kFlagsAt + static_cast<std::size_t>(c.flag)], c.expected) << "flag " << c.flag;

  const struct {
    int value;
    long double expected;
  } values[] = {
      {kValueCentreX, 0.5L},    {kValueCentreY, -0.25L},  {kValueHalfX, 6},
      {kValueRectFirst, -5.5L}, {kValueRectFirst + 1, 6.5L}, {kValueRectFirst + 2, w->World.ymin},
      {kValueTickIntervalX, 0.5L},
      {kValueZoomFactor, 1.5L}, {kValueCentreZoom, 0.25L}, {kValuePanShare, 0.2L},
      {kValueAspect, 1.0L},     {10, 0},                   {79, 0},
  };
  for (const auto& c : values) EXPECT_EQ(ValueAt(b, c.value), c.expected) << "value " << c.value;

  EXPECT_EQ(I32At(b, kStepsAt), 250);
  EXPECT_EQ(I32At(b, kStepsAt + 160), 25);
  EXPECT_EQ(I32At(b, kGroupsAt), kKindExplicit) << "the first record follows the slider steps";

  TPlot2Win* reopened = MakeWindow();
  ASSERT_EQ(Open(*reopened, dir_ + "lage.kv2"), 0);
  EXPECT_EQ(reopened->SavedValuesOff, 1) << "new graphs in black came back off";
  EXPECT_EQ(reopened->SlopeTrajectoryDialog(), nullptr);
}

// ---- older versions ----

struct OldFile {
  std::int32_t version = 33;
  std::int32_t typeCode = kFileType2D;
  std::array<std::int16_t, kPlotHeaderWords> words{};
  std::array<std::uint8_t, kPlotFlagBytes> flags{};
  std::array<long double, kPlotValues> values{};
  std::vector<std::string> curves;  // explicit curves
  std::vector<TMouseMark> marks;
};

// A file as the format describes it for its version.
std::vector<std::uint8_t> BuildFile(TPlot2Win& w, OldFile f) {
  ByteWriter out;
  TCommonHeader h = w.MakeFileHeader(f.typeCode);
  h.TypeCode = f.typeCode;
  h.Version = f.version;
  WriteCommonHeader(out, h);
  f.words[kWordLastIndex] = static_cast<std::int16_t>(static_cast<int>(f.curves.size()) - 1);
  f.words[kWordNameLength] = 20;
  f.words[kWordTerms] = -1;
  f.flags[kFlagRealMode] = 1;
  f.flags[kFlagNoNotes] = 1;
  for (std::int16_t v : f.words) out.I16(v);
  for (std::uint8_t v : f.flags) out.U8(v);
  for (long double v : f.values) out.LongDouble(v);
  if (f.version > 31) {
    for (int k = 0; k < 40; ++k) out.I32(300);
    for (int k = 0; k < 40; ++k) out.I32(30);
  }
  for (std::size_t i = 0; i < f.curves.size(); ++i) {
    TEquation e;
    InitEquation(e, kKindExplicit, static_cast<int>(2 + i), 50);
    WriteEquationRecord(out, e);
    out.I16(0);  // items
    out.I16(0);  // results
    for (int k = 0; k < kFormulaSlots; ++k) out.CountedString(k == 1 ? f.curves[i] : "");
    out.FixedAnsi("", 21);
  }
  for (const char* t : {"x", "y", "z"}) out.CountedString(t);
  out.Zeros(3 * 270 + 51);
  out.I16(0);  // user functions
  out.I16(0);  // labels
  out.I16(0);  // pictures
  out.I16(0);  // captions
  out.I16(0);  // shading
  if (f.version > 23) {
    out.I32(static_cast<std::int32_t>(f.marks.size()));
    for (const TMouseMark& m : f.marks) WriteMouseMark(out, m);
  }
  return out.Data();
}

TEST_F(PlotFileWindow, OlderVersionsAreReadWithTheDefaultsForWhatTheyLack) {
  TMouseMark mark;
  mark.kind = kMarkBreak;
  mark.point = {1, 1};
  const struct {
    std::int32_t version;
    std::size_t marks;        // mouse marks read (version > 23)
    std::int32_t openMask;    // word 53 (version >= 25)
    std::int16_t integration; // word 56 (version >= 25)
    std::int32_t smallSteps;  // slider tables (version > 31), else the window's own
    std::uint8_t colourMode;  // word 3 (1 before version 13)
    std::int16_t axisKind;    // word 51 (version > 32)
  } cases[] = {
      {12, 0, 0, 0, 555, 1, 0},  {23, 0, 0, 0, 555, 4, 0}, {24, 1, 0, 0, 555, 4, 0},
      {31, 1, 16, 6, 555, 4, 0}, {33, 1, 16, 6, 300, 4, 2},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.version);
    TPlot2Win* w = MakeWindow();
    w->smallSteps[5] = 555;
    w->LogWindowType = 1;  // a window with logarithmic axes takes word 51
    OldFile f;
    f.version = c.version;
    f.curves = {"x^2", "sin(x)"};
    f.marks = {mark};
    f.words[kWordOpenWindows] = 16;
    f.words[kWordIntegrationFirst + 2] = 6;
    f.words[kWordColourMode3D] = 4;
    f.words[kWordAxisKind] = 2;
    f.values[kValueHalfX] = 5;
    f.values[kValueZoomFactor] = 1.2L;
    const std::string path = dir_ + "alt" + std::to_string(c.version) + ".kv2";
    auto bytes = BuildFile(*w, f);
    if (c.version <= 23) {
      // A mark block appended to a file that has none must stay unread.
      bytes.push_back(0x7F);
    }
    WriteBytes(path, bytes);
    ASSERT_EQ(Open(*w, path), 0);
    ASSERT_EQ(w->equationCount, 1);
    EXPECT_EQ(w->Equation(1).formulaText[1], "sin(x)");
    EXPECT_NE(w->Equation(1).trees[1], nullptr);
    EXPECT_EQ(w->mouseMarks.size(), c.marks);
    EXPECT_EQ(w->GetOpenWindowsMask(), c.openMask);
    std::int16_t state[3];
    w->GetIntegrationDialogState(state);
    EXPECT_EQ(state[2], c.integration);
    EXPECT_EQ(w->smallSteps[5], c.smallSteps);
    EXPECT_EQ(w->colourMode3D, c.colourMode);
    EXPECT_EQ(w->AxisKind, c.axisKind);
    EXPECT_EQ(w->ZoomFactor, 1.2L);
    EXPECT_EQ(w->loadedFileVersion, c.version);
    w->AxisKind = 0;
    w->LogWindowType = 0;
  }
}

// ---- refusals and damaged files ----

TEST_F(PlotFileWindow, ForeignAndNewerFilesAreRefusedWithTheirMessagesAndChangeNothing) {
  const struct {
    std::int32_t typeCode;
    std::int32_t version;
    int code;
    const char* message;
  } cases[] = {
      {961, 33, 11, "Datei ist nicht zu öffnen"},
      {kFileType2D, 34, 8, "Versionen nicht kompatibel!"},
      {kFileType2D, 0, 11, "Datei ist nicht zu öffnen"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.message);
    TPlot2Win* w = MakeWindow();
    Populate(*w, false);
    w->FileData.FileName = dir_ + "vorher.kv2";
    OldFile f;
    f.typeCode = c.typeCode;
    f.version = c.version;
    f.curves = {"x"};
    const std::string path = dir_ + (c.typeCode == 961 ? "raum.kv3" : "neu.kv2");
    WriteBytes(path, BuildFile(*w, f));
    const auto before = Fingerprint(*w);
    const plat::Bitmap picture = w->Surface();

    w->Modified = 0;
    plat::testing::ClearMessages();
    plat::testing::ExpectFileDialog(path);
    w->Command(59);  // "Ö&ffnen ..."
    Settle(w);
    ASSERT_FALSE(plat::testing::Messages().empty());
    EXPECT_EQ(plat::testing::Messages().back().text, c.message);
    EXPECT_EQ(NumberedMessageText(c.code), c.message);
    EXPECT_EQ(w->FileData.FileName, dir_ + "vorher.kv2") << "the name stays";
    w->FileData.FileName = path;
    EXPECT_EQ(w->ReadFile(), c.code);
    w->FileData.FileName = dir_ + "vorher.kv2";
    EXPECT_EQ(Fingerprint(*w), before);
    int differing = 0;
    for (int y = 0; y < picture.Height(); ++y)
      for (int x = 0; x < picture.Width(); ++x)
        if (picture.GetPixel(x, y) != w->Surface().GetPixel(x, y)) ++differing;
    EXPECT_EQ(differing, 0);
  }
}

// Truncations of a full file, and damaged counts and lengths in an empty
// window's file (whose offsets are known): each gives 11 and leaves the
// window as it was.
TEST_F(PlotFileWindow, DamagedFilesGive11AndLeaveTheWindowAsItWas) {
  TPlot2Win* source = MakeWindow();
  Populate(*source, true);
  const auto full = Save(*source, dir_ + "voll.kv2");
  const auto empty = Save(*MakeWindow(), dir_ + "leer.kv2");
  const std::size_t titles = kGroupsAt;
  const std::size_t functions = titles + 12 + 810 + 51;
  const std::size_t labels = functions + 2;
  const std::size_t pictures = labels + 2;
  const std::size_t shading = pictures + 4;
  const std::size_t marks = shading + 2;
  ASSERT_EQ(marks + 4, empty.size());
  auto put16 = [](std::vector<std::uint8_t>& b, std::size_t at, int v) {
    b[at] = static_cast<std::uint8_t>(v & 0xFF);
    b[at + 1] = static_cast<std::uint8_t>((v >> 8) & 0xFF);
  };
  using Damage = std::function<void(std::vector<std::uint8_t>&)>;
  std::vector<std::pair<std::string, Damage>> onEmpty = {
      {"inventory beyond the file", [](auto& b) { SetWord(b, kWordLastIndex, 30000); }},
      {"inventory below empty", [](auto& b) { SetWord(b, kWordLastIndex, -2); }},
      {"axis title longer than 256", [&](auto& b) { put16(b, titles, 400); }},
      {"user functions without their records", [&](auto& b) { put16(b, functions, 5); }},
      {"negative label count", [&](auto& b) { put16(b, labels, -1); }},
      {"pictures without their records", [&](auto& b) { put16(b, pictures, -5); }},
      {"shading records missing", [&](auto& b) { put16(b, shading, 3); }},
      {"a million mouse marks", [&](auto& b) { put16(b, marks, 0x4240); put16(b, marks + 2, 0x000F); }},
      {"negative mouse-mark count", [&](auto& b) { put16(b, marks, -1); put16(b, marks + 2, -1); }},
      {"notes announced but missing", [](auto& b) { b[kFlagsAt + kFlagNoNotes] = 0; }},
      {"term labels announced but missing", [](auto& b) { SetWord(b, kWordTerms, kTermMark); }},
      {"picture name announced but missing", [](auto& b) { SetWord(b, kWordPicture, kPictureMark); }},
      {"protection announced but missing", [](auto& b) { SetWord(b, kWordProtection, 1); }},
  };
  std::vector<std::pair<std::string, Damage>> onFull;
  for (std::size_t cut : {std::size_t{0}, std::size_t{100}, kWordsAt + 1, kFlagsAt + 3, kValuesAt + 55, kStepsAt + 7,
                          kGroupsAt + 9, kGroupsAt + 600, full.size() / 2, full.size() * 3 / 4, full.size() - 300,
                          full.size() - 1})
    onFull.emplace_back("cut at " + std::to_string(cut), [cut](auto& b) { b.resize(cut); });

  TPlot2Win* w = MakeWindow();
  ASSERT_EQ(w->DefineUserFunction("gg", 1, "x+1", false), 0);
  w->AppendEquation(kKindExplicit, -1, 1, {}, "x^3");
  w->CompileEquation(0);
  const std::string name = dir_ + "unverändert.kv2";
  w->FileData.FileName = name;
  const auto before = Fingerprint(*w);
  for (const auto& [cases, base] : {std::pair{&onEmpty, &empty}, std::pair{&onFull, &full}}) {
    for (const auto& [what, damage] : *cases) {
      SCOPED_TRACE(what);
      auto bytes = *base;
      damage(bytes);
      WriteBytes(dir_ + "kaputt.kv2", bytes);
      w->FileData.FileName = dir_ + "kaputt.kv2";
      EXPECT_EQ(w->ReadFile(), 11);
      w->FileData.FileName = name;
      EXPECT_EQ(Fingerprint(*w), before);
    }
  }
}

// ---- the reader's replacements ----

TEST_F(PlotFileWindow, UnusableStoredValuesAreReplacedByTheirDefaults) {
  TPlot2Win* w = MakeWindow();
  const auto good = Save(*w, dir_ + "basis.kv2");
  const struct {
    const char* what;
    std::function<void(std::vector<std::uint8_t>&)> damage;
    std::function<long double(TPlot2Win&)> field;
    long double expected;
  } cases[] = {
      {"drawing mode 0", [](auto& b) { SetWord(b, kWordDrawingMode, 0); }, [](TPlot2Win& x) { return x.drawingMode; }, 891},
      {"density 0", [](auto& b) { SetWord(b, kWordDensity, 0); }, [](TPlot2Win& x) { return x.defaultDensity; }, 50},
      {"density -3", [](auto& b) { SetWord(b, kWordDensity, -3); }, [](TPlot2Win& x) { return x.defaultDensity; }, 50},
      {"density 32767 kept", [](auto& b) { SetWord(b, kWordDensity, 32767); }, [](TPlot2Win& x) { return x.defaultDensity; },
       32767},
      {"mark pen 7", [](auto& b) { SetWord(b, kWordMarkPenWidth, 7); }, [](TPlot2Win& x) { return x.mouseMarkPenWidth; }, 1},
      {"hidden-line pieces 0", [](auto& b) { SetWord(b, kWordHiddenLineSteps, 0); },
       [](TPlot2Win& x) { return x.View3D.SegmentPieces; }, 12},
      {"hidden-line pieces 1000 kept", [](auto& b) { SetWord(b, kWordHiddenLineSteps, 1000); },
       [](TPlot2Win& x) { return x.View3D.SegmentPieces; }, 1000},
      {"pi character 10", [](auto& b) { SetWord(b, kWordPiChar, 10); }, [](TPlot2Win& x) { return x.PiChar; }, 112},
      {"polar sectors 1", [](auto& b) { SetWord(b, kWordPolarSectors, 1); }, [](TPlot2Win& x) { return x.PolarSectors; }, 8},
      {"screen axis width 0 kept", [](auto& b) { SetWord(b, kWordAxisWidthDisplay, 0); }, [](TPlot2Win& x) { return x.AxisWidthDisplay; }, 0},
      {"screen axis width -1", [](auto& b) { SetWord(b, kWordAxisWidthDisplay, -1); }, [](TPlot2Win& x) { return x.AxisWidthDisplay; }, 1},
      {"pi character 32 kept", [](auto& b) { SetWord(b, kWordPiChar, 32); }, [](TPlot2Win& x) { return x.PiChar; }, 32},
      {"label frequency 0", [](auto& b) { SetWord(b, kWordLabelFrequencyX, 0); }, [](TPlot2Win& x) { return x.LabelFrequencyX; }, 1},
      {"print pen width 0", [](auto& b) { SetWord(b, kWordPrintPenWidth, 0); },
       [](TPlot2Win& x) { return x.View3D.BoxPenHidden; }, 1},
      {"3D setting -4", [](auto& b) { SetWord(b, kWordSetting3D, -4); },
       [](TPlot2Win& x) { return x.storedSettings.words[kWordSetting3D]; }, 0},
      {"zoom factor 0", [](auto& b) { SetValue(b, kValueZoomFactor, 0); }, [](TPlot2Win& x) { return x.ZoomFactor; }, 1.01L},
      {"aspect 0", [](auto& b) { SetValue(b, kValueAspect, 0); }, [](TPlot2Win& x) { return x.Aspect; }, 1.0L},
      {"animation 20", [](auto& b) { SetValue(b, kValueAnimation, 20); }, [](TPlot2Win& x) { return x.animationStepFactor; }, 1.0L},
      {"animation 5", [](auto& b) { SetValue(b, kValueAnimation, 5); }, [](TPlot2Win& x) { return x.animationStepFactor; }, 5.0L},
      {"integration count 12.6", [](auto& b) { SetValue(b, kValueIntegrationN, 12.6L); },
       [](TPlot2Win& x) { return x.storedSettings.values[kValueIntegrationN]; }, 13},
      {"line integral steps 0", [](auto& b) { SetValue(b, kValueLineIntegral + 2, 0.4L); },
       [](TPlot2Win& x) { return x.lineRange.parts; }, 1000},
      {"line integral end before start",
       [](auto& b) {
         SetValue(b, kValueLineIntegral, 3);
         SetValue(b, kValueLineIntegral + 1, 2);
       },
       [](TPlot2Win& x) { return x.lineRange.upper; }, 4},
      {"flux steps 0", [](auto& b) { SetValue(b, kValueFluxSecond + 2, 0); },
       [](TPlot2Win& x) { return x.fluxRangeU.parts; }, 100},
      {"darts 0", [](auto& b) { SetValue(b, kValueDartCount, 0); }, [](TPlot2Win& x) { return x.dartCount; }, 1000},
      {"darts 2147483647 kept", [](auto& b) { SetValue(b, kValueDartCount, 2147483647.0L); },
       [](TPlot2Win& x) { return x.dartCount; }, 2147483647},
      {"half width not a number", [](auto& b) { SetValue(b, kValueHalfX, std::numeric_limits<long double>::quiet_NaN()); },
       [](TPlot2Win& x) { return x.HalfX; }, 5},
      {"slider steps 1", [](auto& b) { b[kStepsAt + 8] = 1; },
       [](TPlot2Win& x) { return x.smallSteps[2]; }, 100},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    auto bytes = good;
    c.damage(bytes);
    WriteBytes(dir_ + "ersetzt.kv2", bytes);
    TPlot2Win* target = MakeWindow();
    // Values that differ from the defaults, so a replacement shows.
    target->drawingMode = kCmDrawXor;
    target->defaultDensity = 70;
    target->mouseMarkPenWidth = 4;
    target->PiChar = 97;
    target->PolarSectors = 20;
    target->AxisWidthDisplay = 3;
    target->LabelFrequencyX = 3;
    target->ZoomFactor = 2;
    target->animationStepFactor = 2;
    target->smallSteps[2] = 40;
    ASSERT_EQ(Open(*target, dir_ + "ersetzt.kv2"), 0);
    EXPECT_EQ(c.field(*target), c.expected);
  }
}

TEST_F(PlotFileWindow, AnEmptyPasswordClearsTheProtectionANegativeMaskKeepsTheStreamInStepAndAProtectedInventoryHides) {
  const struct {
    std::int16_t mask;
    const char* password;
    std::int16_t expectedMask;
    std::uint8_t unlocked;
    // The reading window shows its inventory; a file whose inventory is
    // protected (value 2) hides it, so its entries stay behind the password.
    bool inventoryStays;
    // Its notes window too, when the file protects the notes (value 4).
    bool notesStay;
  } cases[] = {{3, "", 0, 1, true, true},      {3, "pw", 3, 0, false, true}, {-5, "pw", -5, 1, false, true},
               {1, "pw", 1, 0, true, true},    {4, "pw", 4, 0, true, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.mask);
    TPlot2Win* a = MakeWindow();
    a->ProtectionMask = c.mask;
    a->Password = c.password;
    a->SetNotes("danach");
    Save(*a, dir_ + "schutz.kv2");
    // A window with its notes window, as the application makes them.
    auto* b = new TPlot2Win(nullptr, "Unbenannt1.kv2");
    b->HasNotes = 1;
    b->FileVersion = 33;
    windows_.push_back(b);
    ASSERT_TRUE(b->Create());
    b->Show(plat::SW_SHOW);
    Settle(b);
    b->ShowInventory();
    ASSERT_TRUE(b->InventoryDialog()->IsVisible());
    b->ShowNotes();
    ASSERT_TRUE(b->NotesVisible());
    ASSERT_EQ(Open(*b, dir_ + "schutz.kv2"), 0);
    EXPECT_EQ(b->ProtectionMask, c.expectedMask);
    EXPECT_EQ(b->Unlocked, c.unlocked);
    EXPECT_EQ(b->GetNotes(), "danach") << "the blocks after the protection are read in step";
    EXPECT_EQ(b->InventoryDialog()->IsVisible(), c.inventoryStays);
    EXPECT_EQ(b->inventoryHidden, c.inventoryStays ? 0 : 1) << "the flag the next save writes follows the dialog";
    EXPECT_EQ(b->NotesVisible(), c.notesStay);
  }
}

TEST_F(PlotFileWindow, ASaveThatCannotBeCreatedReportsMessage12AndWritesNothing) {
  TPlot2Win* w = MakeWindow();
  Populate(*w, false);
  w->FileData.FileName = dir_ + "gibt/es/nicht.kv2";
  w->Named = 1;
  w->ProtectionMask = 0;
  plat::testing::ClearMessages();
  EXPECT_FALSE(w->Save());
  ASSERT_FALSE(plat::testing::Messages().empty());
  EXPECT_EQ(plat::testing::Messages().back().text, "Datei ist nicht zu speichern");
  EXPECT_FALSE(std::filesystem::exists(dir_ + "gibt"));

  // A save over an existing file replaces it whole and leaves no temporary.
  const std::string path = dir_ + "alt.kv2";
  WriteBytes(path, std::vector<std::uint8_t>(10, 0xEE));
  w->FileData.FileName = path;
  EXPECT_TRUE(w->Save());
  TPlot2Win* b = MakeWindow();
  EXPECT_EQ(Open(*b, path), 0);
  EXPECT_EQ(b->equationCount, w->equationCount);
  int files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(dir_))
    if (entry.path().filename().string().find(".tmp") != std::string::npos) ++files;
  EXPECT_EQ(files, 0);
}


TEST_F(PlotFileWindow, NewForgetsEverythingTheFileBrought) {
  TPlot2Win* w = MakeWindow();
  Populate(*w, false);
  Save(*w, dir_ + "alt.kv2");
  ASSERT_EQ(Open(*w, dir_ + "alt.kv2"), 0);
  w->Modified = 0;
  w->Command(78);  // "Neu"
  EXPECT_EQ(w->FileData.FileName, "Unbenannt.kv2");
  EXPECT_EQ(w->equationCount, -1);
  EXPECT_TRUE(w->TextLabels.empty() && w->TermLabels.empty() && w->TermBlocks.empty() && w->Pictures.empty());
  EXPECT_TRUE(w->GetNotes().empty() && w->shadings.empty() && w->mouseMarks.empty());
  EXPECT_FALSE(w->HasPicture());
  EXPECT_EQ(w->ProtectionMask, 0);
  EXPECT_EQ(w->storedSettings, TPlot11Win::DefaultStoredSettings());
  EXPECT_EQ(w->loadedFileVersion, 0);
}

// ---- entries with derived data ----

TEST_F(PlotFileWindow, ASurfaceOfRevolutionStoresTheCountsTheUserEntered) {
  const struct {
    std::int16_t sourceParameter;
    std::int16_t entered;
    std::int16_t live;
  } cases[] = {{12, 18, 37}, {5, 18, 35}, {0, 18, 18}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.sourceParameter);
    TPlot2Win* w = MakeWindow();
    const int i = w->AppendEquation(kKindRevolution, 0, 1, "x", "0", "t");
    w->Equation(i).subValue = c.sourceParameter;
    w->Equation(i).divisions[0] = c.entered;
    w->Equation(i).divisions[1] = 20;
    w->CompileEquation(i);
    w->CompileEquation(i);
    EXPECT_EQ(w->Equation(i).divisions[0], c.live) << "the drawing's count, derived once";
    EXPECT_EQ(w->Equation(i).divisions[1], 20) << "the second count as entered";
    const auto once = Save(*w, dir_ + "rotation.kv2");
    const auto twice = Save(*w, dir_ + "rotation.kv2");
    EXPECT_EQ(once, twice);
    const std::size_t divisions = kGroupsAt + 111;
    EXPECT_EQ(once[divisions] | (once[divisions + 1] << 8), c.entered);
    EXPECT_EQ(once[divisions + 2] | (once[divisions + 3] << 8), 20);
    EXPECT_EQ(w->Equation(i).divisions[0], c.live) << "the live record keeps its count";
    TPlot2Win* b = MakeWindow();
    ASSERT_EQ(Open(*b, dir_ + "rotation.kv2"), 0);
    EXPECT_EQ(b->Equation(0).divisions[0], c.live);
    EXPECT_EQ(b->Equation(0).divisions[1], 20);
    EXPECT_EQ(Save(*b, dir_ + "wieder.kv2"), once);
  }
}

TEST_F(PlotFileWindow, APlanetSystemsBodiesTravelInItsItems) {
  TPlot2Win* w = MakeWindow();
  w->Decimals = 5;
  const int i = w->AppendEquation(kKindPlanets, 0, 1, "");
  TEquation& e = w->Equation(i);
  ASSERT_EQ(e.samples.size(), 120u);
  e.auxValue1 = 2;  // two bodies and their centre of mass
  for (int k = 0; k <= 2; ++k) {
    TEquationItem item;
    InitEquationItem(item, 1219, 3 + k, 1, 0);
    AllocEquationItemStrings(item);
    item.texts[3] = "Körper " + std::to_string(k);
    e.items.push_back(std::move(item));
    const auto kk = static_cast<std::size_t>(k);
    e.samples[60 + kk] = {1.0L + k, -2.0L * k, 0};      // start positions
    e.samples[24 + kk].x = 10.0L * (k + 1);             // masses
    e.samples[72 + kk] = {0.25L * k, -1.5L, 0.125L};    // start velocities
  }
  Save(*w, dir_ + "planeten.kv2");
  ASSERT_EQ(w->Equation(i).items.size(), 3u);
  const TEquationItem& packed = *std::next(w->Equation(i).items.begin());
  EXPECT_EQ(packed.start.x, 2.0L);
  EXPECT_EQ(packed.scale, 20.0L);
  EXPECT_EQ(packed.texts[0], "0.250") << "width = decimals, decimals - 2 digits";
  EXPECT_EQ(packed.texts[1], "-1.500");

  TPlot2Win* b = MakeWindow();
  ASSERT_EQ(Open(*b, dir_ + "planeten.kv2"), 0);
  const TEquation& r = b->Equation(0);
  ASSERT_EQ(r.samples.size(), 120u);
  for (std::size_t k = 0; k <= 2; ++k) {
    EXPECT_EQ(r.samples[60 + k].x, 1.0L + k);
    EXPECT_EQ(r.samples[24 + k].x, 10.0L * (k + 1));
    EXPECT_EQ(r.samples[72 + k].x, 0.25L * k);
    EXPECT_EQ(r.samples[72 + k].y, -1.5L);
  }
  EXPECT_EQ(std::prev(r.items.end())->texts[3], "Körper 2");
}

}  // namespace
}  // namespace kv
