// The toolkit's own dialogs and the printed page as a user meets them: the
// font dialog keeps its controls apart, Enter presses the button that has
// the focus in a question without a default button, the file dialog speaks
// German in the texts the toolkit writes itself and starts in the folder
// used last, the equation labels of a printed plot stand one below the
// other on the page, and a file printed with "Simultandruck" keeps its
// shape.  Also: a view dialog's focus comes back selected, a 3D plot prints
// without a plane's axis names, a print onto a planted link spares its
// target, and one onto a planted FIFO or dangling link holds nothing up.
#include <algorithm>
#include <array>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <utility>
#include <vector>
#include <sys/stat.h>
#include <unistd.h>

#include "support/dialog_geometry.h"
#include "support/display_test.h"
#include "support/temp_dir.h"

namespace kvdisplay {
namespace {

constexpr int kOpen = 59;            // "Ö&ffnen ..."
constexpr int kPrint = 303;          // "&Drucken ..."
constexpr int kPrintTogether = 307;  // "Si&multandruck ..."
constexpr int kSaveAs = 58;          // "Speichern &unter ..."
constexpr int kPictureSize = 90;     // "Bild&größe ..."
constexpr int kNewExplicit = 901;    // "&1. y = f(x) ..."
constexpr int kNotXor = 892;         // "&Nicht XODER": marks the drawing changed
constexpr int kAxisNumberFont = 61;  // "&Achsenskala ..."
constexpr int kFont = 65;            // "&Schriftart ..."

bool StartsWith(const std::string& s, const std::string& p) { return s.compare(0, p.size(), p) == 0; }

class DialogsAndPrint : public DisplayTest {
 protected:
  // The dialog as it was last laid out, once its window stands still.
  std::optional<LoggedDialog> Latest(const LoggedDialog& d) {
    Settled(d.window, 200, 3000);
    return program_->Dialog(d.window);
  }
  // Clicks into the control's rectangle at (dx, dy) from its top left.
  void ClickAt(const LoggedDialog& d, const LoggedControl& c, int dx, int dy) {
    int x = c.rect.x + dx, y = c.rect.y + dy;
    Screen().ToScreen(d.window, x, y);
    Screen().Click(x, y);
  }
  // An entry y = f(x) made in its dialog.
  void Explicit(const TopWindow& w, const std::string& f) {
    const std::size_t from = program_->Log().Size();
    Menu(w, kNewExplicit);
    auto d = program_->WaitDialog("EQUA201", from, 3000);
    ASSERT_TRUE(d) << "no equation dialog";
    program_->SetText(*d, 212, f);
    Screen().Key("Return");
    ASSERT_TRUE(Screen().WaitGone(d->window, 3000)) << f << " was not taken";
  }
  // Clicks the middle of the dialog's visible button with this text.
  void ClickButton(const LoggedDialog& d, const std::string& text) {
    for (const LoggedControl& c : d.controls)
      if (c.kind == "button" && c.visible && c.text == text) return ClickAt(d, c, c.rect.w / 2, c.rect.h / 2);
    FAIL() << "no button " << text;
  }
  // Answers the print command run since log line `from`: without a printer
  // the page goes into the PDF file named in the save dialog, typed there or
  // else the one proposed (printed last), with "Ja" to replacing a file that
  // is there.  PrintInto waits for the page too.
  void ChoosePdf(std::size_t from, const std::string& pdf, bool typed);
  void PrintInto(std::size_t from, const std::string& pdf, bool typed = true);
};

// The font dialog of a slot without effects shows family, size, bold and
// italic, nothing lying over them (a colour box built but left out of the
// layout lay on the "Schriftart" label).
TEST_F(DialogsAndPrint, TheFontDialogKeepsItsControlsApart) {
  Start();
  const TopWindow w = New2D();
  ASSERT_NE(w.id, 0u);
  for (int command : {kFont, kAxisNumberFont}) {
    SCOPED_TRACE(command);
    Screen().Activate(w.id);
    const std::size_t from = program_->Log().Size();
    Menu(w, command);
    const auto shown = program_->WaitDialog("FONTDIALOG", from, 3000);
    ASSERT_TRUE(shown) << "no font dialog";
    const auto d = Latest(*shown);
    ASSERT_TRUE(d);
    std::string faults;
    for (const std::string& f : DialogGeometryFaults(Screen(), *d)) faults += f + "\n";
    EXPECT_EQ(faults, "");
    int combos = 0;
    for (const LoggedControl& c : d->controls) combos += c.kind == "combo" ? 1 : 0;
    EXPECT_EQ(combos, 1) << "the family alone";
    Screen().Activate(d->window);
    Screen().Key("Escape");
    ASSERT_TRUE(Screen().WaitGone(d->window, 3000));
  }
}

// "Änderungen speichern unter ...?" has no default button: Enter presses the
// button that has the focus (Ja first, Tab moves on), and the answer taken
// is that button's.
TEST_F(DialogsAndPrint, EnterPressesTheFocusedButtonOfAQuestion) {
  Start();
  const TopWindow w = New2D();
  ASSERT_NE(w.id, 0u);
  struct Case {
    int tabs;
    const char* answer;
    const char* follows;  // the file dialog that follows, if any
  };
  const Case cases[] = {
      {2, "Abbruch", nullptr},  // nothing: the window stays as it is
      {1, "Nein", "FILEOPEN"},  // not saved: the file to open is asked for
      {0, "Ja", "FILESAVE"},    // saved first: under which name
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.answer);
    Screen().Activate(w.id);
    Menu(w, kNotXor);
    const std::size_t from = program_->Log().Size();
    Menu(w, kOpen);
    auto question = program_->WaitDialog("YNCMBOX", from, 3000);
    ASSERT_TRUE(question) << "no question";
    Screen().Activate(question->window);
    for (int k = 0; k < c.tabs; ++k) Screen().Key("Tab");
    Screen().Key("Return");
    ASSERT_TRUE(Screen().WaitGone(question->window, 3000)) << "Enter did not answer";
    if (!c.follows) {
      EXPECT_TRUE(program_->Answers(w.id, 3000)) << "a dialog followed";
      for (const std::string& line : program_->Log().Lines())
        EXPECT_FALSE(StartsWith(line, "dialog ") && line.find(" FILE") != std::string::npos) << line;
      continue;
    }
    auto file = program_->WaitDialog(c.follows, from, 5000);
    ASSERT_TRUE(file) << "no file dialog";
    Screen().Activate(file->window);
    Screen().Key("Escape");
    ASSERT_TRUE(Screen().WaitGone(file->window, 3000));
  }
}

// "Ausschnitt festlegen" (Strg+V), hidden by Escape and shown again, gives the focus back to the field that had
// it with its text selected, so that typing replaces it: the first field, then "unten" (213) after a click into it.
TEST_F(DialogsAndPrint, AViewDialogShownAgainSelectsTheFieldThatHadTheFocus) {
  Start();
  const TopWindow w = New2D();
  ASSERT_NE(w.id, 0u);
  for (const auto& [field, click] : {std::pair{211, 0}, std::pair{211, 213}, std::pair{213, 0}}) {
    Screen().Activate(w.id);
    const std::size_t from = program_->Log().Size();
    Screen().Key("ctrl+v");
    const auto d = AwaitDialog("VIEWCOR", from);
    ASSERT_TRUE(d);
    EXPECT_EQ(program_->TypeInto(*d, field, "3"), "3") << field;
    if (click) program_->ClickControl(*d, click);
    const int focused = click ? click : field;
    ASSERT_TRUE(Eventually([&] { return program_->HasFocus(*d, focused); }, 2000));
    Screen().Key("Escape");
    ASSERT_TRUE(Screen().WaitGone(d->window, 3000));
  }
}

// The file dialog names the type of a file it does not know in German, as
// its other texts are.
TEST_F(DialogsAndPrint, TheFileDialogNamesTypesInGerman) {
  Start({FixtureCopy("walk.kv2")});
  const TopWindow w = Window("walk.kv2");
  ASSERT_NE(w.id, 0u);
  const std::size_t from = program_->Log().Size();
  Menu(w, kOpen);
  const auto shown = program_->WaitDialog("FILEOPEN", from, 5000);
  ASSERT_TRUE(shown) << "no file dialog";
  const auto d = Latest(*shown);
  ASSERT_TRUE(d);
  // The detail view, then the file's row in it (the folder holds it alone).
  const LoggedControl* details = nullptr;
  const LoggedControl* files = nullptr;
  for (const LoggedControl& c : d->controls) {
    if (c.kind == "button" && c.text == "Details") details = &c;
    if (c.kind == "list" && c.visible && (!files || c.rect.w > files->rect.w)) files = &c;
  }
  ASSERT_NE(details, nullptr) << "no button for the detail view";
  ASSERT_NE(files, nullptr) << "no file list";
  ClickAt(*d, *details, details->rect.w / 2, details->rect.h / 2);
  Settled(d->window, 200, 3000);
  const std::size_t clicked = program_->Log().Size();
  ClickAt(*d, *files, 40, 30);
  // The dialog is logged again when the list takes the focus: its current
  // row with name, size, type and date.
  std::string row;
  Eventually(
      [&] {
        const auto& lines = program_->Log().Lines();
        for (std::size_t i = clicked; i < lines.size(); ++i)
          if (StartsWith(lines[i], "control -1 list ") && lines[i].find(" walk.kv2 | ") != std::string::npos)
            row = lines[i];
        return !row.empty();
      },
      3000);
  ASSERT_FALSE(row.empty()) << "the file's row was not logged";
  EXPECT_NE(row.find(" | unbekannt | "), std::string::npos) << row;
  Screen().Activate(d->window);
  Screen().Key("Escape");
  EXPECT_TRUE(Screen().WaitGone(d->window, 3000));
}

// A file dialog given no folder starts in the folder a file was last
// chosen in, also after a restart: the bare name of a file there opens it.
TEST_F(DialogsAndPrint, TheFileDialogStartsWhereAFileWasLastChosen) {
  const std::string path = FixtureCopy("walk.kv2");
  const std::vector<std::pair<std::string, std::string>> settings{{"KURVATO_HOME", kvtest::MakeTempDir("last-folder")}};
  for (const std::string& name : {path, std::string("walk.kv2")}) {
    SCOPED_TRACE(name);
    program_.reset();
    program_ = std::make_unique<Program>(Screen(), std::vector<std::string>{}, settings);
    ASSERT_TRUE(program_->Ready());
    Menu(New2D(), kOpen);
    EXPECT_TRUE(ChooseInFileDialog("Öffnen", name)) << "no file dialog, or it stayed open";
    EXPECT_NE(Window("walk.kv2").id, 0u);
  }
}

// ---- the printed page ----

struct Grey {
  int w = 0, h = 0;
  std::vector<unsigned char> pixels;
  // Dark ink by default; with a higher limit grey marks too.
  bool Ink(int x, int y, int below = 128) const { return pixels[static_cast<std::size_t>(y) * w + x] < below; }
};

// The first page of the PDF in grey at `dpi`, as Ghostscript renders it.
std::optional<Grey> RenderPage(const std::string& pdf, int dpi) {
  const std::string pgm = pdf + ".pgm";
  const std::string cmd = "gs -q -dSAFER -dBATCH -dNOPAUSE -dFirstPage=1 -dLastPage=1 -sDEVICE=pgmraw -r" +
                          std::to_string(dpi) + " -sOutputFile='" + pgm + "' '" + pdf + "' > /dev/null 2>&1";
  if (std::system(cmd.c_str()) != 0) return std::nullopt;
  std::ifstream in(pgm, std::ios::binary);
  std::string magic;
  in >> magic;
  if (magic != "P5") return std::nullopt;
  // Comment lines may stand between the magic and the size.
  auto number = [&in]() {
    in >> std::ws;
    while (in.peek() == '#') {
      std::string comment;
      std::getline(in, comment);
      in >> std::ws;
    }
    int v = 0;
    in >> v;
    return v;
  };
  Grey g;
  g.w = number();
  g.h = number();
  const int maxval = number();
  in.get();
  if (g.w <= 0 || g.h <= 0 || maxval != 255) return std::nullopt;
  g.pixels.resize(static_cast<std::size_t>(g.w) * g.h);
  in.read(reinterpret_cast<char*>(g.pixels.data()), static_cast<std::streamsize>(g.pixels.size()));
  if (!in) return std::nullopt;
  return g;
}

bool PdfComplete(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  return text.find("%%EOF") != std::string::npos;
}

void DialogsAndPrint::ChoosePdf(std::size_t from, const std::string& pdf, bool typed) {
  const auto shown = program_->WaitDialog("FILESAVE", from, 5000);
  ASSERT_TRUE(shown) << "no save dialog for the PDF file";
  const auto d = Latest(*shown);
  ASSERT_TRUE(d);
  Screen().Activate(d->window);
  if (typed) {
    ASSERT_TRUE(TypeIntoFileDialog(d->window, pdf));
  } else {
    bool proposed = false;
    for (const LoggedControl& c : d->controls)
      proposed = proposed || (c.kind == "edit" && c.visible && c.text == std::filesystem::path(pdf).filename());
    ASSERT_TRUE(proposed) << "the file printed into last is not proposed";
  }
  const std::size_t chosen = program_->Log().Size();
  Screen().Key("Return");
  if (std::filesystem::exists(pdf)) {
    const auto asked = program_->WaitDialog("QMessageBox", chosen, 3000);
    ASSERT_TRUE(asked) << "no question whether to replace the file";
    const auto question = Latest(*asked);
    ASSERT_TRUE(question);
    ASSERT_NO_FATAL_FAILURE(ClickButton(*question, "&Ja"));
  }
  ASSERT_TRUE(Screen().WaitGone(d->window, 3000)) << "the save dialog did not take the file";
}

void DialogsAndPrint::PrintInto(std::size_t from, const std::string& pdf, bool typed) {
  ASSERT_NO_FATAL_FAILURE(ChoosePdf(from, pdf, typed));
  ASSERT_TRUE(Eventually([&] { return PdfComplete(pdf); }, 10000)) << "no page printed";
}

// The box (left, top, right, bottom) of the ink in the page's part.
std::array<int, 4> InkBox(const Grey& page, int x0, int y0, int x1, int y1, int below = 128) {
  std::array<int, 4> b{x1, y1, -1, -1};
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x)
      if (page.Ink(x, y, below)) b = {std::min(b[0], x), std::min(b[1], y), std::max(b[2], x), std::max(b[3], y)};
  return b;
}

// Three labels printed at the default width (3 inches) stand one below the
// other, each on lines of its own: the label region in the top left of the
// printed plot holds three bands of ink with white rows between them.
TEST_F(DialogsAndPrint, PrintedEquationLabelsDoNotOverprintEachOther) {
  ASSERT_EQ(std::system("gs --version > /dev/null 2>&1"), 0) << "Ghostscript (gs) is missing: run scripts/setup";
  Start();
  const TopWindow w = New2D();
  ASSERT_NE(w.id, 0u);
  // Horizontal lines low in the view, away from the labels.
  for (const char* f : {"-4", "-3.5", "-4.5"}) ASSERT_NO_FATAL_FAILURE(Explicit(w, f));
  Settled(w.id);

  const std::string pdf = kvtest::MakeTempDir("print") + "labels.pdf";
  Screen().Activate(w.id);
  const std::size_t from = program_->Log().Size();
  Menu(w, kPrint);
  ASSERT_NO_FATAL_FAILURE(PrintInto(from, pdf));

  constexpr int kDpi = 150;
  const auto page = RenderPage(pdf, kDpi);
  ASSERT_TRUE(page) << "Ghostscript could not render the page";
  // The plot's extent on the page: everything printed (axes from edge to
  // edge).
  const auto [left, top, right, bottom] = InkBox(*page, 0, 0, page->w, page->h);
  ASSERT_GT(right - left, 2 * kDpi) << "nothing printed";
  // The top left part, left of the y axis and above the x axis: labels only.
  const int x0 = left + 3, x1 = left + (right - left) * 2 / 5;
  const int y1 = top + (bottom - top) * 2 / 5;
  std::vector<std::pair<int, int>> bands;
  bool inBand = false;
  for (int y = top; y < y1; ++y) {
    bool ink = false;
    for (int x = x0; x < x1 && !ink; ++x) ink = page->Ink(x, y);
    if (ink && !inBand) bands.push_back({y, y});
    if (ink) bands.back().second = y;
    inBand = ink;
  }
  std::string seen;
  for (const auto& [a, b] : bands) seen += " " + std::to_string(a) + ".." + std::to_string(b);
  ASSERT_EQ(bands.size(), 3u) << "rows of label ink:" << seen;
  // Each band is one line of a 10-point font, not two run together.
  for (const auto& [a, b] : bands) EXPECT_LT(b - a + 1, kDpi * 14 / 72) << seen;
}

// A PDF printed again into a file that another user has meanwhile replaced by a link (in a folder anyone may
// write into) takes the link's place; the user's file the link points to keeps its bytes.
TEST_F(DialogsAndPrint, APrintOntoAPlantedLinkLeavesTheLinkedFileAlone) {
  if (::geteuid() != 0) GTEST_SKIP() << "another user's link needs root";
  const std::string dir = kvtest::MakeTempDir("planted"), mine = dir + "mine.kv2", pdf = dir + "shared/x.pdf";
  std::ofstream(mine) << "kept";
  std::filesystem::create_directory(dir + "shared");
  ASSERT_EQ(::chmod((dir + "shared").c_str(), 0777), 0);
  Start();
  const TopWindow w = New2D();
  ASSERT_NE(w.id, 0u);
  for (const bool planted : {false, true}) {
    if (planted) {
      std::filesystem::remove(pdf);
      std::filesystem::create_symlink(mine, pdf);
      ASSERT_EQ(::lchown(pdf.c_str(), 65534, 65534), 0);
    }
    Screen().Activate(w.id);
    const std::size_t from = program_->Log().Size();
    Menu(w, kPrint);
    ASSERT_NO_FATAL_FAILURE(PrintInto(from, pdf, !planted)) << (planted ? "onto the planted link" : "first print");
  }
  EXPECT_FALSE(std::filesystem::is_symlink(pdf)) << "the link was written through";
  std::ifstream in(mine, std::ios::binary);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}).substr(0, 8), "kept") << "the linked file changed";
}

// A FIFO and a dangling link that another user planted in a shared folder,
// each chosen as the PDF file, are not opened before the save's rules judge
// them: the FIFO is refused (the program says the page could not be
// printed), the link is replaced by the PDF and no file appears where it
// points; the program answers its menu and ends on SIGTERM.
TEST_F(DialogsAndPrint, APrintOntoAPlantedFifoOrLinkLeavesTheProgramAnswering) {
  const std::string dir = kvtest::MakeTempDir("planted-fifo"), shared = dir + "shared/";
  const std::string fifo = shared + "x.pdf", link = shared + "y.pdf", target = dir + "target.pdf";
  std::filesystem::create_directory(shared);
  ASSERT_TRUE(::chmod(shared.c_str(), 0777) == 0 && ::mkfifo(fifo.c_str(), 0666) == 0);
  std::filesystem::create_symlink(target, link);
  if (::geteuid() == 0) {
    ASSERT_TRUE(::chown(fifo.c_str(), 65534, 65534) == 0 && ::lchown(link.c_str(), 65534, 65534) == 0);
  }
  Start();
  const TopWindow w = New2D();
  ASSERT_NE(w.id, 0u);
  std::size_t from = program_->Log().Size();
  Menu(w, kPrint);
  ASSERT_NO_FATAL_FAILURE(ChoosePdf(from, fifo, true));
  EXPECT_TRUE(MessageSince(from, "nicht zu drucken", 5000)) << "the print onto the FIFO did not end";
  Confirm("?");
  Screen().Activate(w.id);
  from = program_->Log().Size();
  Menu(w, kPrint);
  ASSERT_NO_FATAL_FAILURE(PrintInto(from, link));
  EXPECT_FALSE(std::filesystem::is_symlink(link)) << "the link was written through";
  EXPECT_TRUE(program_->Answers(w.id, 3000)) << "the program does not answer its menu";
  EXPECT_EQ(program_->Stop(), 128 + SIGTERM) << "SIGTERM did not end the program";
  EXPECT_TRUE(std::filesystem::is_fifo(fifo));
  EXPECT_FALSE(std::filesystem::exists(target)) << "a file appeared where the link points";
}

// A circle saved from a square window and printed with "Simultandruck"
// from a wide one prints round: each file prints at the size it was saved
// with, its view fitted to that size.
TEST_F(DialogsAndPrint, ASimultaneousPrintKeepsEachFilesShape) {
  ASSERT_EQ(std::system("gs --version > /dev/null 2>&1"), 0) << "Ghostscript (gs) is missing: run scripts/setup";
  Start();
  const TopWindow w = New2D();
  ASSERT_NE(w.id, 0u);
  // Sizes at which the menu bar keeps to one row.
  EnterByCommand(w, kPictureSize, "TWOINPUT", {{211, "700@"}, {212, "700@"}});
  Settled(w.id);
  EnterByCommand(w, 904, "EQUA204", {{218, "(x-2.5)^2+(y+2.5)^2=1"}});  // in the fourth quadrant
  const std::string dir = kvtest::MakeTempDir("together");
  Screen().Activate(w.id);
  Menu(w, kSaveAs);
  ASSERT_TRUE(ChooseInFileDialog("Speichern unter", dir + "kreis.kv2"));
  ASSERT_TRUE(Eventually([&] { return std::filesystem::exists(dir + "kreis.kv2"); }, 3000));
  EnterByCommand(w, kPictureSize, "TWOINPUT", {{211, "700@"}, {212, "400@"}});
  Settled(w.id);

  Screen().Activate(w.id);
  const std::size_t from = program_->Log().Size();
  EnterByCommand(w, kPrintTogether, "ONEINPUT", {{211, "1"}});
  ASSERT_TRUE(ChooseInFileDialog("Öffnen", dir + "kreis.kv2"));
  ASSERT_NO_FATAL_FAILURE(PrintInto(from, dir + "kreis.pdf"));
  const auto page = RenderPage(dir + "kreis.pdf", 150);
  ASSERT_TRUE(page) << "Ghostscript could not render the page";
  // The plot's extent, axes from edge to edge, is square; in its lower
  // right quarter, away from the axes and their numbers, the circle spans
  // two of the view's ten units each way.
  const auto [left, top, right, bottom] = InkBox(*page, 0, 0, page->w, page->h);
  const int width = right - left, height = bottom - top;
  ASSERT_GT(width, 200) << "nothing printed";
  EXPECT_NEAR(height, width, 4) << "the page has the wide window's shape";
  const auto [cl, ct, cr, cb] = InkBox(*page, left + width * 3 / 5, top + height * 3 / 5, right - 3, bottom - 3);
  EXPECT_NEAR(cr - cl, width / 5.0, 4) << "circle width";
  EXPECT_NEAR(cb - ct, width / 5.0, 4) << "circle height";
}

// A 3D window prints what its screen shows: inside the frame ("Rahmen zeichnen") of the printed plot stands no
// x at the right edge and no y at the top above the middle, where a plane window names its axes.
TEST_F(DialogsAndPrint, APrinted3DPlotShowsNoNamesOfThePlanesAxes) {
  ASSERT_EQ(std::system("gs --version > /dev/null 2>&1"), 0) << "Ghostscript (gs) is missing: run scripts/setup";
  Start();
  Menu(Frame(), 403);  // "&3-dim"
  const TopWindow w = Window("Unbenannt");
  ASSERT_NE(w.id, 0u);
  EnterByKey(w, "F1", "EQUA301", {{213, "x*y"}});  // a short label, far from the middle
  const std::size_t axes = program_->Log().Size();
  Menu(w, 109);  // "&Achsen": the 3D axes, with which the plane's names came
  ASSERT_TRUE(program_->WaitCommandDone(w.id, 109, axes, 20000)) << "the axes were not drawn";
  const LoggedDialog area = OpenDialog(w, 304, "PRNSPX1");  // "Druck&bereich ..."
  ASSERT_NE(area.window, 0u);
  program_->ClickControl(area, 271);  // "Rahmen zeichnen"
  FillAndEnter(area, {});
  const std::string pdf = kvtest::MakeTempDir("print3d") + "surface.pdf";
  Screen().Activate(w.id);
  const std::size_t from = program_->Log().Size();
  Menu(w, kPrint);
  ASSERT_NO_FATAL_FAILURE(PrintInto(from, pdf));
  constexpr int kDpi = 150, kMark = 250;  // the names are printed grey
  const auto page = RenderPage(pdf, kDpi);
  ASSERT_TRUE(page) << "Ghostscript could not render the page";
  // The frame's right edge and its ends bound the marks; the label stands at the left.
  const auto [left, top, right, bottom] = InkBox(*page, 0, 0, page->w, page->h, kMark);
  ASSERT_NEAR(right - left, 3 * kDpi, 3 * kDpi / 20) << "no frame around the plot 3 inches wide";
  const auto x = InkBox(*page, right - 40, top + 3, right - 3, bottom - 3, kMark);
  EXPECT_LT(x[2], 0) << "a mark at the right edge at " << x[0] << "," << x[1];
  // Left of the middle, where the z axis rises.
  const int middle = right - 3 * kDpi / 2;
  const auto y = InkBox(*page, middle - 40, top, middle - 4, top + 40, kMark);
  EXPECT_LT(y[2], 0) << "a mark at the top at " << y[0] << "," << y[1];
}

}  // namespace
}  // namespace kvdisplay
