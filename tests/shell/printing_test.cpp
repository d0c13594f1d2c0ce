// Printing: the page geometry, the print command and its failures,
// simultaneous printing, the text printout, and the reference 2D scene
// printed into a PDF that Ghostscript turns back into pixels.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/app.h"
#include "platform/bitmap.h"
#include "platform/default_printer.h"
#include "platform/dialog.h"
#include "platform/keys.h"
#include "platform/printer.h"
#include "platform/testing.h"
#include "core/binary_stream.h"
#include "core/constants.h"
#include "planewin/log_win.h"
#include "plot2d/plot2_win.h"
#include "plot3d/plot3_win.h"
#include "shell/text_win.h"
#include "shell/zor_printout.h"
#include "shell/zor_win.h"
#include "support/plot_window_test.h"
#include "support/test_env.h"

namespace kv {
namespace {

// ---- Ghostscript ----

bool HaveGhostscript() { return std::system("gs --version > /dev/null 2>&1") == 0; }

// The pages of a PDF as pictures at `dpi`.
std::vector<plat::Bitmap> Rasterise(const std::string& pdf, int dpi) {
  const std::string prefix = pdf + ".page";
  const std::string cmd = "gs -q -dSAFER -dBATCH -dNOPAUSE -sDEVICE=bmp16m -r" + std::to_string(dpi) +
                          " -sOutputFile='" + prefix + "%d.bmp' '" + pdf + "' > /dev/null 2>&1";
  std::vector<plat::Bitmap> pages;
  if (std::system(cmd.c_str()) != 0) return pages;
  for (int k = 1;; ++k) {
    plat::Bitmap b = plat::Bitmap::ReadBmpFile(prefix + std::to_string(k) + ".bmp");
    if (b.IsNull()) break;
    pages.push_back(std::move(b));
  }
  return pages;
}

bool IsPdf(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  std::string head(5, '\0');
  f.read(head.data(), 5);
  return head == "%PDF-";
}

void SetClientSize(plat::Window* w, int width, int height) {
  const plat::Rect outer = w->GetWindowRect();
  const plat::Rect inner = w->GetClientRect();
  w->MoveWindow(outer.left, outer.top, width + outer.Width() - inner.Width(), height + outer.Height() - inner.Height());
  for (int k = 0; k < 3; ++k) plat::App::ProcessEvents();
}

// ---- a window that records what it prints ----

class PrintWin : public TZORWin {
 public:
  PrintWin() : TZORWin(nullptr, "Unbenannt1.kv2") {
    FileTypeCode = 841;
    FileVersion = 33;
    LoadSettingsOnSetup = 0;
    SaveSettingsOnClose = 0;
    FileData.Filter = "Kurvato 2D (*.kv2)|*.kv2";
    FileData.DefaultExt = "kv2";
  }
  int ReadFile() override { return ReadBasicFile(); }
  bool WriteFile() override { return WriteBasicFile(); }
  long double GetPrintWidth() override { return printWidth; }
  void NewFile() override { ++newFiles; }
  struct Copy {
    std::string file;
    int clientWidth, clientHeight, originX, originY;
    int background;
    bool printing;
    plat::Rect frame;
  };
  bool PrintPlot(plat::DC& dc) override {
    copies.push_back({FileData.FileName, ClientWidth, ClientHeight, OriginX, OriginY, ColourSlots[0], Printing != 0,
                      GetWindowRect()});
    // A filled square at the top left of the drawing area.
    dc.FillRect(plat::Rect{OriginX, OriginY, OriginX + 20, OriginY + 20}, plat::SolidBrush(plat::Rgb(0, 0, 0)));
    return printOk;
  }
  long double printWidth = 3.0L;
  bool printOk = true;
  int newFiles = 0;
  std::vector<Copy> copies;
};

class PrintTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = kvtest::MakeTempDir("print");
    w_ = new PrintWin;
    w_->Create();
    w_->Show(plat::SW_SHOWNORMAL);
    SetClientSize(600, 400);
  }
  void TearDown() override {
    if (!w_->IsDestroyed()) w_->Destroy();
    plat::App::DeleteDestroyedWindows();
  }
  void SetClientSize(int width, int height) {
    kv::SetClientSize(w_, width, height);
    w_->UpdateClientSize();
  }
  // Draws the page on a bitmap DC with the given device values.
  void PrintPageOn(int dpi, int offsetX, int offsetY) {
    plat::DeviceCaps caps;
    caps.logPixelsX = caps.logPixelsY = dpi;
    caps.physicalOffsetX = offsetX;
    caps.physicalOffsetY = offsetY;
    plat::Bitmap sheet(10, 10);
    plat::BitmapDC dc(sheet);
    dc.SetCaps(caps);
    TZORPrintout job("t", w_);
    w_->CopyCount = 1;
    w_->SimultaneousPrint = 0;
    w_->PrintPage(job, dc, 1);
  }
  static std::string LastMessage() {
    const auto& m = plat::testing::Messages();
    return m.empty() ? std::string() : m.back().text;
  }
  std::string dir_;
  PrintWin* w_ = nullptr;
};

TEST_F(PrintTest, ThePageTakesThePrintAreaAndTheScreensAspect) {
  struct Case {
    long double width;
    int dpi, offset;
    long double left;
    int clientWidth, clientHeight, originX;
  };
  const Case cases[] = {
      {3.0L, 300, 0, 1.0L, 900, 600, 300},   // 600 x 400 at 3 inches
      {0.1L, 300, 0, 1.0L, 75, 50, 300},     // at least a quarter inch
      {3.0L, 300, 50, 1.0L, 900, 600, 250},  // the printer's own margin
      {2.0L, 600, 0, 0.5L, 1200, 800, 300},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.width);
    w_->copies.clear();
    w_->printWidth = c.width;
    w_->PrintLeft = c.left;
    w_->PrintTop = 1.0L;
    PrintPageOn(c.dpi, c.offset, 0);
    w_->ResetClientGeometry();
    ASSERT_EQ(w_->copies.size(), 1u);
    const auto& p = w_->copies[0];
    EXPECT_EQ(p.clientWidth, c.clientWidth);
    EXPECT_EQ(p.clientHeight, c.clientHeight);
    EXPECT_EQ(p.originX, c.originX);
    EXPECT_EQ(p.originY, c.dpi);
    EXPECT_TRUE(p.printing);
    EXPECT_EQ(w_->PrinterDpiX, c.dpi);
    EXPECT_EQ(w_->Printing, 0);
  }
}

TEST_F(PrintTest, FontsAreScaledForThePrinterAndBack) {
  w_->FontPointSizes[2] = 12;
  const plat::LogFont screen = w_->FontSlots[2];
  w_->ScaleFontsForPrinter(true, 600);
  EXPECT_EQ(w_->FontSlots[2].height, -100);
  w_->ScaleFontsForPrinter(false, 600);
  EXPECT_EQ(w_->FontSlots[2].height, screen.height);
  EXPECT_EQ(w_->SavedFonts, nullptr);
}

TEST_F(PrintTest, PrintingWritesAPdfOnWhitePaperAndRestoresTheWindow) {
  w_->ColourSlots[0] = 7;
  const std::string pdf = dir_ + "seite.pdf";
  plat::testing::ExpectPrintDialog(pdf);
  plat::testing::ClearMessages();
  w_->Command(303);
  ASSERT_EQ(w_->copies.size(), 1u);
  EXPECT_EQ(w_->copies[0].background, 1) << "white paper while printing";
  EXPECT_TRUE(IsPdf(pdf));
  EXPECT_TRUE(plat::testing::Messages().empty()) << "a print that worked says nothing";
  EXPECT_EQ(w_->ColourSlots[0], 7);
  EXPECT_EQ(w_->ClientWidth, 600) << "screen geometry again";
  EXPECT_EQ(w_->OriginX, 0);
  // The name was typed into the program's own save dialog, which asks before it replaces a file, and
  // proposes that file to the next print.
  const plat::FileDialogRequest& asked = plat::testing::LastFileDialogRequest();
  EXPECT_TRUE(asked.save && asked.confirmOverwrite);
  EXPECT_EQ(asked.filter, "PDF (*.pdf)|*.pdf|");
  plat::testing::ExpectPrintDialog(std::nullopt);
  w_->Command(303);
  EXPECT_EQ(plat::testing::LastFileDialogRequest().initialName, pdf);
}

TEST_F(PrintTest, AFailedJobIsReportedACancelledOneIsNot) {
  struct Case {
    std::optional<std::string> pdf;
    bool plotOk;
    const char* message;
  };
  const Case cases[] = {
      {std::nullopt, true, ""},                                  // cancelled dialog: no word
      {dir_ + "fehlt/seite.pdf", true, "nicht zu drucken"},      // cannot be written
      {dir_ + "abgebrochen.pdf", false, "Druck abgebrochen"},    // the plot failed
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.message);
    w_->printOk = c.plotOk;
    plat::testing::ClearMessages();
    plat::testing::ExpectPrintDialog(c.pdf);
    w_->Command(303);
    EXPECT_EQ(LastMessage(), c.message);
    if (!*c.message) {
      EXPECT_TRUE(plat::testing::Messages().empty());
    }
    if (c.pdf) {
      EXPECT_FALSE(std::filesystem::exists(*c.pdf));
    }
    EXPECT_EQ(w_->ClientWidth, 600);
  }
}

// Prints into files that stand for the save rules' cases.
class PrintIntoFileTest : public PrintTest {
 protected:
  void SetUp() override {
    PrintTest::SetUp();
    text_ = new TTextWin(nullptr, "Text", dir_ + "notiz.txt", "Notiz", 4);
    text_->Create();
  }
  void TearDown() override {
    if (!text_->IsDestroyed()) text_->Destroy();
    PrintTest::TearDown();
  }
  struct Case {
    std::string path;
    bool byText, plotOk;
    rlim_t sizeLimit;  // 0: none
    const char* message;
  };
  // Prints into the case's path (from the text's dialog or the plot's) and
  // expects its message; the file the path stands for keeps `kept`, and a
  // print without a message replaces a link by the PDF.
  void Print(const Case& c, const std::vector<std::uint8_t>& kept) {
    namespace fs = std::filesystem;
    SCOPED_TRACE(c.path);
    const std::string unchanged = fs::is_symlink(c.path) ? fs::read_symlink(c.path).string() : c.path;
    w_->printOk = c.plotOk;
    plat::testing::ClearMessages();
    rlimit saved{};
    ::getrlimit(RLIMIT_FSIZE, &saved);
    const rlimit limit{c.sizeLimit ? c.sizeLimit : saved.rlim_cur, saved.rlim_max};
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limit), 0);
    if (c.byText)
      plat::testing::ExpectFileDialog(c.path), text_->SimulateKey('P', plat::MOD_CONTROL);
    else
      plat::testing::ExpectPrintDialog(c.path), w_->Command(303);
    ::setrlimit(RLIMIT_FSIZE, &saved);
    EXPECT_EQ(LastMessage(), c.message);
    std::vector<std::uint8_t> back;
    EXPECT_TRUE(ReadWholeFile(unchanged, back) && back == kept) << "kept " << unchanged;
    if (!*c.message) {
      EXPECT_TRUE(!fs::is_symlink(c.path) && IsPdf(c.path)) << "the link is replaced by the PDF";
    }
  }
  TTextWin* text_ = nullptr;
};

// A print into a file is a save: an abort or the file-size limit leave the file as it was.
TEST_F(PrintIntoFileTest, AnAbortOrTheSizeLimitLeaveTheFile) {
  const std::vector<std::uint8_t> kept = {'k', 'e', 'p', 't'};
  for (const char* name : {"before.pdf", "limit.pdf"}) ASSERT_TRUE(WriteFileAtomically(dir_ + name, kept));
  const Case cases[] = {
      {dir_ + "before.pdf", false, false, 0, "Druck abgebrochen"},
      {dir_ + "limit.pdf", false, true, 1024, "nicht zu drucken"},
  };
  for (const Case& c : cases) Print(c, kept);
}

// Another user's link in a shared folder is replaced by the PDF (from the plot's and the text's dialogs); a
// link of the user's own to another user's file leaves that file as it was.
TEST_F(PrintIntoFileTest, AnotherUsersLinkIsReplacedAndTheirFileKept) {
  namespace fs = std::filesystem;
  if (::geteuid() != 0) GTEST_SKIP() << "another user's links and file need root";
  const std::vector<std::uint8_t> kept = {'k', 'e', 'p', 't'};
  for (const char* name : {"mine.kv2", "theirs.pdf"}) ASSERT_TRUE(WriteFileAtomically(dir_ + name, kept));
  const std::string mine = dir_ + "mine.kv2", theirs = dir_ + "theirs.pdf", shared = dir_ + "shared/";
  ASSERT_TRUE(fs::create_directory(shared) && ::chmod(shared.c_str(), 0777) == 0);
  for (const char* name : {"plot.pdf", "text.pdf"}) fs::create_symlink(mine, shared + name);
  fs::create_symlink(theirs, dir_ + "to_theirs.pdf");
  for (const std::string& p : {shared + "plot.pdf", shared + "text.pdf", theirs})
    ASSERT_EQ(::lchown(p.c_str(), 65534, 65534), 0);
  const Case cases[] = {
      {shared + "plot.pdf", false, true, 0, ""},
      {shared + "text.pdf", true, true, 0, ""},
      {dir_ + "to_theirs.pdf", false, true, 0, "nicht zu drucken"},
  };
  for (const Case& c : cases) Print(c, kept);
}

TEST_F(PrintTest, SimultaneousPrintingDrawsEveryFileOnOnePage) {
  // Three files of the kind and one of another kind.
  std::vector<std::string> files;
  for (const char* name : {"a.kv2", "b.kv2", "c.kv2"}) {
    files.push_back(dir_ + name);
    w_->FileData.FileName = files.back();
    ASSERT_TRUE(w_->WriteFile());
  }
  const std::string foreign = dir_ + "fremd.kv3";
  {
    std::ofstream f(foreign, std::ios::binary);
    f << "kein Kurvato";
  }
  w_->FileData.FileName = dir_ + "eigen.kv2";
  ASSERT_TRUE(w_->WriteFile());
  w_->Named = 1;
  w_->Modified = 0;
  const plat::Rect frame = w_->GetWindowRect();

  const std::string pdf = dir_ + "simultan.pdf";
  plat::testing::AnswerDialog("ONEINPUT", {{211, "4"}}, 1);
  plat::testing::ExpectFileDialog(files[0]);
  plat::testing::ExpectFileDialog(foreign);
  plat::testing::ExpectFileDialog(files[1]);
  plat::testing::ExpectFileDialog(files[2]);
  plat::testing::ExpectPrintDialog(pdf);
  plat::testing::ClearMessages();
  w_->Command(307);

  ASSERT_EQ(w_->copies.size(), 3u) << "the foreign file is left out";
  EXPECT_EQ(w_->copies[0].file, files[0]);
  EXPECT_EQ(w_->copies[1].file, files[1]);
  EXPECT_EQ(w_->copies[2].file, files[2]);
  ASSERT_EQ(plat::testing::Messages().size(), 1u);
  EXPECT_EQ(plat::testing::Messages()[0].caption, "fremd.kv3");
  EXPECT_EQ(plat::testing::Messages()[0].text, "Datei ist nicht zu öffnen");
  // Afterwards the window is its own file again, where it was.
  EXPECT_EQ(w_->FileData.FileName, dir_ + "eigen.kv2");
  EXPECT_EQ(w_->Named, 1);
  EXPECT_TRUE(w_->IsVisible());
  EXPECT_EQ(w_->GetWindowRect().left, frame.left);
  EXPECT_EQ(w_->CopyCount, 0);
  if (HaveGhostscript()) {
    EXPECT_EQ(Rasterise(pdf, 24).size(), 1u) << "one sheet";
  }

  // The count must be 1..12; a cancelled file dialog ends the choice.
  plat::testing::AnswerDialog("ONEINPUT", {{211, "13"}}, 1);
  w_->Command(307);
  EXPECT_EQ(LastMessage(), "jenseits der Grenzen");
  w_->copies.clear();
  plat::testing::AnswerDialog("ONEINPUT", {{211, "3"}}, 1);
  plat::testing::ExpectFileDialog(files[1]);
  plat::testing::ExpectFileDialog(std::nullopt);
  plat::testing::ExpectPrintDialog(dir_ + "einer.pdf");
  w_->Command(307);
  ASSERT_EQ(w_->copies.size(), 1u);
  EXPECT_EQ(w_->copies[0].file, files[1]);
}

// The files of a simultaneous print bring their own backgrounds; each is
// drawn on white paper all the same, as a single print is.
TEST_F(PrintTest, EveryFileOfASimultaneousPrintIsDrawnOnWhitePaper) {
  std::vector<std::string> files;
  for (const char* name : {"grau.kv2", "gelb.kv2"}) {
    w_->ColourSlots[0] = static_cast<std::int16_t>(files.empty() ? 7 : 13);
    files.push_back(dir_ + name);
    w_->FileData.FileName = files.back();
    ASSERT_TRUE(w_->WriteFile());
  }
  w_->ColourSlots[0] = 5;
  w_->FileData.FileName = dir_ + "eigen.kv2";
  ASSERT_TRUE(w_->WriteFile());
  w_->Named = 1;
  w_->Modified = 0;

  plat::testing::AnswerDialog("ONEINPUT", {{211, "2"}}, 1);
  for (const std::string& f : files) plat::testing::ExpectFileDialog(f);
  plat::testing::ExpectPrintDialog(dir_ + "weiss.pdf");
  w_->Command(307);
  ASSERT_EQ(w_->copies.size(), 2u);
  for (const auto& copy : w_->copies) EXPECT_EQ(copy.background, 1) << copy.file;
  EXPECT_EQ(w_->ColourSlots[0], 5) << "the window's own file again";
}

// Each file printed with others takes its stored size and place while it is
// drawn, so that it keeps its own proportions on the page.
TEST_F(PrintTest, EachFileOfASimultaneousPrintTakesItsStoredWindowSize) {
  const std::string wide = dir_ + "breit.kv2";
  const std::string square = dir_ + "quadrat.kv2";
  SetClientSize(600, 300);
  const plat::Rect wideFrame = w_->GetWindowRect();
  w_->FileData.FileName = wide;
  ASSERT_TRUE(w_->WriteFile());
  SetClientSize(400, 400);
  const plat::Rect squareFrame = w_->GetWindowRect();
  w_->FileData.FileName = square;
  ASSERT_TRUE(w_->WriteFile());
  SetClientSize(500, 250);
  w_->Named = 1;
  w_->Modified = 0;
  const plat::Rect own = w_->GetWindowRect();

  plat::testing::AnswerDialog("ONEINPUT", {{211, "2"}}, 1);
  plat::testing::ExpectFileDialog(wide);
  plat::testing::ExpectFileDialog(square);
  plat::testing::ExpectPrintDialog(dir_ + "zwei.pdf");
  w_->Command(307);
  ASSERT_EQ(w_->copies.size(), 2u);
  EXPECT_EQ(w_->copies[0].frame.Width(), wideFrame.Width());
  EXPECT_EQ(w_->copies[0].frame.Height(), wideFrame.Height());
  EXPECT_EQ(w_->copies[1].frame.Width(), squareFrame.Width());
  EXPECT_EQ(w_->copies[1].frame.Height(), squareFrame.Height());
  // 3 inches wide: half as high for the wide file, as high for the square.
  EXPECT_NEAR(w_->copies[0].clientHeight * 2.0 / w_->copies[0].clientWidth, 1.0, 0.01);
  EXPECT_NEAR(w_->copies[1].clientHeight * 1.0 / w_->copies[1].clientWidth, 1.0, 0.01);
  // Afterwards the window is back where and as large as it was.
  EXPECT_EQ(w_->GetWindowRect().Width(), own.Width());
  EXPECT_EQ(w_->GetWindowRect().Height(), own.Height());
}

// A new default printer of the desktop gives the window a new printer
// object when the program becomes active again or before it prints; the
// same default keeps the printer and what was chosen for it.
TEST_F(PrintTest, ANewDefaultPrinterIsTakenOnActivationAndBeforePrinting) {
  struct Restore {
    ~Restore() { plat::testing::SetDefaultPrinterName(std::nullopt); }
  } restore;
  w_->Printer->SetResolution(123);
  plat::ApplicationActivated();
  EXPECT_EQ(w_->Printer->Resolution(), 123) << "the same default printer changed nothing";

  plat::testing::SetDefaultPrinterName("Buero");
  plat::ApplicationActivated();
  ASSERT_TRUE(w_->Printer);
  EXPECT_EQ(w_->Printer->Resolution(), 300) << "the printer was kept after the default changed";
  w_->Printer->SetResolution(123);
  plat::ApplicationActivated();
  EXPECT_EQ(w_->Printer->Resolution(), 123);

  // Changed while the program stayed active: the print takes the new one.
  plat::testing::SetDefaultPrinterName("Labor");
  plat::testing::ExpectPrintDialog(dir_ + "neu.pdf");
  w_->Command(303);
  ASSERT_TRUE(w_->Printer);
  EXPECT_EQ(w_->Printer->Resolution(), 300);
  EXPECT_EQ(w_->copies.size(), 1u);
}

TEST_F(PrintTest, AnUnnamedWindowIsEmptyAgainAfterASimultaneousPrint) {
  w_->FileData.FileName = dir_ + "a.kv2";
  ASSERT_TRUE(w_->WriteFile());
  w_->FileData.FileName = "Unbenannt1.kv2";
  w_->Named = 0;
  plat::testing::AnswerDialog("ONEINPUT", {{211, "1"}}, 1);
  plat::testing::ExpectFileDialog(dir_ + "a.kv2");
  plat::testing::ExpectPrintDialog(dir_ + "s.pdf");
  w_->Command(307);
  EXPECT_EQ(w_->copies.size(), 1u);
  EXPECT_EQ(w_->newFiles, 1);
  EXPECT_EQ(w_->FileData.FileName, "Unbenannt1.kv2");
  EXPECT_EQ(w_->Named, 0);
}

TEST_F(PrintTest, ATextWithAFormFeedPrintsTwoPages) {
  if (!HaveGhostscript()) GTEST_FAIL() << "Ghostscript (gs) is missing: run scripts/setup";
  auto* t = new TTextWin(nullptr, "Text", dir_ + "brief.txt", "Seite eins\r\n\fSeite zwei", 4);
  t->Create();
  const std::string pdf = dir_ + "brief.pdf";
  // No printer: the text goes into a PDF file the user names.
  plat::testing::ExpectFileDialog(pdf);
  t->SimulateKey('P', plat::MOD_CONTROL);
  EXPECT_EQ(Rasterise(pdf, 24).size(), 2u);
  t->Destroy();
  plat::App::DeleteDestroyedWindows();
}

// ---- the reference 2D scene ----

using PrintScene = kvtest::PlotWindowTest<TPlot2Win>;

// Pixels within r of (x, y) in b that are not white.
bool InkNear(const plat::Bitmap& b, int x, int y, int r, plat::Colour paper) {
  for (int dy = -r; dy <= r; ++dy)
    for (int dx = -r; dx <= r; ++dx) {
      const plat::Colour c = b.GetPixel(x + dx, y + dy);
      if (c != 0xFFFFFFFFu && c != paper) return true;
    }
  return false;
}

TEST_F(PrintScene, ThePrintedPageMatchesTheScreenInsideThePrintArea) {
  if (!HaveGhostscript()) GTEST_FAIL() << "Ghostscript (gs) is missing: run scripts/setup";
  TPlot2Win* w = MakeWindow("Unbenannt1.kv2");
  RunWithDialog(w, 901, "EQUA201", [](plat::Dialog& d) {
    d.SetItemText(212, "xsin(x)");
    d.Press(plat::IDOK);
  });
  Settle(w);
  const plat::Bitmap screen = w->Surface();
  const plat::Colour background = w->GetColour(w->ColourSlots[0]);
  const int width = screen.Width();
  const int height = screen.Height();

  // One printed pixel per screen pixel: 96 dpi and the screen's width.
  constexpr int kDpi = 96;
  w->Printer->SetResolution(kDpi);
  w->PrintWidth = static_cast<long double>(width) / kDpi;
  w->PrintScale = -1.0L;
  w->PrintLeft = 1.0L;
  w->PrintTop = 1.5L;
  w->ColourPrinter = 1;
  w->PrintDrawFrame = 0;
  const std::string pdf = kvtest::MakeTempDir("scene") + "xsinx.pdf";
  plat::testing::ExpectPrintDialog(pdf);
  plat::testing::ClearMessages();
  w->Command(303);
  ASSERT_TRUE(plat::testing::Messages().empty()) << plat::testing::Messages()[0].text;
  const std::vector<plat::Bitmap> pages = Rasterise(pdf, kDpi);
  ASSERT_EQ(pages.size(), 1u);
  const plat::Bitmap& page = pages[0];
  const plat::Colour paper = plat::Rgb(255, 255, 255);
  const int left = kDpi;
  const int top = kDpi * 3 / 2;
  std::filesystem::create_directories(kvtest::BuildTreeDir() + "/screenshots");
  page.WritePngFile(kvtest::BuildTreeDir() + "/screenshots/print_xsinx.png");

  // Nothing is printed outside the print area.
  int outside = 0;
  for (int y = 0; y < page.Height(); ++y)
    for (int x = 0; x < page.Width(); ++x) {
      const bool inside = x >= left - 1 && x <= left + width && y >= top - 1 && y <= top + height;
      if (!inside && page.GetPixel(x, y) != paper) ++outside;
    }
  EXPECT_EQ(outside, 0);

  // Inside it, the printed picture is the screen's: its drawing shows
  // where the screen's does, and the other way round.
  int screenInk = 0, matchedScreen = 0, pageInk = 0, matchedPage = 0;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      if (screen.GetPixel(x, y) != background) {
        ++screenInk;
        if (InkNear(page, left + x, top + y, 2, paper)) ++matchedScreen;
      }
      const plat::Colour p = page.GetPixel(left + x, top + y);
      if (p != paper) {
        ++pageInk;
        if (InkNear(screen, x, y, 2, background)) ++matchedPage;
      }
    }
  ASSERT_GT(screenInk, 500);
  EXPECT_GT(matchedScreen, screenInk * 95 / 100);
  EXPECT_GT(matchedPage, pageInk * 95 / 100);

  // The graph itself, in the entry's colour, lies on x sin(x).
  const plat::Colour graph = w->DrawingColourOf(w->CheckColourIndex(w->Equation(0).penColour));
  int tested = 0, hit = 0;
  for (int px = w->AreaOriginX() + 2; px < w->AreaOriginX() + w->AreaWidth() - 2; ++px) {
    const long double x = w->PixelToWorldX(px);
    const long double y = x * std::sin(x);
    if (y < w->World.ymin || y > w->World.ymax) continue;
    const int py = w->WorldToPixelY(y);
    if (py < 2 || py > height - 2) continue;
    ++tested;
    if (kvtest::ColourNear(page, left + px, top + py, graph, 2)) ++hit;
  }
  EXPECT_GT(hit, tested * 95 / 100);
}

// The first page printed into the PDF file (empty when none): alone, or
// together with nothing but the plot file `together`.
plat::Bitmap PrintedPage(plat::Window* w, const std::string& pdf, const std::string& together = "") {
  if (!together.empty()) {
    plat::testing::AnswerDialog("ONEINPUT", {{211, "1"}}, 1);
    plat::testing::ExpectFileDialog(together);
  }
  plat::testing::ExpectPrintDialog(pdf);
  w->Command(together.empty() ? 303 : 307);
  std::vector<plat::Bitmap> pages = Rasterise(pdf, 100);
  return pages.empty() ? plat::Bitmap() : std::move(pages[0]);
}

// The bounding box (left, top, right, bottom) of the pixels of one colour.
plat::Rect BoxOf(const plat::Bitmap& page, plat::Colour c) {
  plat::Rect b{1 << 30, 1 << 30, -1, -1};
  for (int y = 0; y < page.Height(); ++y)
    for (int x = 0; x < page.Width(); ++x)
      if (page.GetPixel(x, y) == c) b = {std::min(b.left, x), std::min(b.top, y), std::max(b.right, x), std::max(b.bottom, y)};
  return b;
}

// A log window prints its axis numbers whole (margins fitted to the printer's
// fonts); with its own file it prints the same page and shows its picture again.
TEST_F(PrintScene, ALogWindowPrintsItsNumbersWholeAndItsOwnFileAlike) {
  if (!HaveGhostscript()) GTEST_FAIL() << "Ghostscript (gs) is missing: run scripts/setup";
  auto* w = new TLogWin(nullptr, "Unbenannt1.lkv", 3);
  ASSERT_TRUE(w->Create());
  w->Show(plat::SW_SHOW);
  SetClientSize(w, 420, 330);
  w->PrintWidth = 3;
  w->PrintDrawFrame = 0;
  const std::string file = kvtest::MakeTempDir("logprint") + "dekaden.lkv";
  w->FileData.FileName = file;
  ASSERT_TRUE(w->WriteFile());
  w->Named = 1;
  w->Modified = 0;
  Settle(w);
  const plat::Bitmap screen = w->Surface();
  w->Printer->SetResolution(100);
  const plat::Bitmap page = PrintedPage(w, file + "1.pdf");
  ASSERT_FALSE(page.IsNull());
  // Grey numbers beside black grid lines from 0.1 to 100: "100" at the top
  // is three digits wide, "1" a third up one digit.
  const plat::Rect lines = BoxOf(page, plat::Rgb(0, 0, 0));
  auto number = [&](int x, int y) {
    const plat::Colour c = page.GetPixel(x, y);
    return c != plat::Rgb(0, 0, 0) && c != plat::Rgb(255, 255, 255);
  };
  auto numberWidth = [&](int row) {
    for (int x = 0; x < lines.left; ++x)
      for (int y = row - 8; y <= row + 8; ++y)
        if (number(x, y)) return lines.left - x;
    return 0;
  };
  EXPECT_GT(numberWidth(lines.top), 2 * numberWidth(lines.bottom - (lines.bottom - lines.top) / 3)) << "y numbers cut";
  // Below the lines the x numbers' digits, 10 pixels high at 100 dpi.
  int below = 0;
  for (int y = lines.bottom + 1; y < page.Height(); ++y) {
    int x = lines.left;
    while (x <= lines.right && !number(x, y)) ++x;
    below += x <= lines.right ? 1 : 0;
  }
  EXPECT_GE(below, 9) << "x numbers cut";
  EXPECT_TRUE(PrintedPage(w, file + "2.pdf", file) == page);
  Settle(w);
  EXPECT_TRUE(w->Surface() == screen);
  w->Destroy();
  plat::App::DeleteDestroyedWindows();
}

}  // namespace
}  // namespace kv
