// Commands every plot window shares, carried through to their end on a real
// display: the password dialog with its check boxes and the author box, a
// print the user cancels, a read-only file kept, and the font of the axis
// numbers.
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "support/display_test.h"
#include "support/temp_dir.h"

namespace kvdisplay {
namespace {

constexpr int kPassword = 76;
constexpr int kAuthor = 77;
constexpr int kPrint = 303;
constexpr int kSave = 57;
constexpr int kNotXor = 892;  // "&Nicht XODER": marks the drawing changed
constexpr int kAxisNumberFont = 61;
constexpr int kGrid = 320;

class WindowBase : public DisplayTest {
 protected:
  // Clicks a control near its right end, away from its box and text.
  void ClickRightPart(const LoggedDialog& d, int id) {
    const LoggedControl* c = d.Find(id);
    ASSERT_NE(c, nullptr) << "no control " << id;
    int x = c->rect.x + c->rect.w - 4, y = c->rect.CentreY();
    Screen().ToScreen(d.window, x, y);
    Screen().Click(x, y);
  }
  // Numbers on both axes, through the grid dialog.
  void ShowAxisNumbers(const TopWindow& w) {
    const Image plain = Settled(w.id);
    const std::size_t from = program_->Log().Size();
    Menu(w, kGrid);
    auto d = program_->WaitDialog("SETGRID", from, 3000);
    ASSERT_TRUE(d);
    program_->ClickControl(*d, 276);  // x: "Skala"
    program_->ClickControl(*d, 278);  // y: "Skala"
    program_->ClickControl(*d, 91);   // "Anwenden"
    program_->ClickControl(*d, 2);    // "Schließen"
    ASSERT_TRUE(Screen().WaitGone(d->window, 3000));
    ASSERT_NE(Settled(w.id).pixels, plain.pixels) << "no axis numbers";
  }
  // The font dialog of the axis numbers, answered with Enter after the size
  // (empty: as it is).
  void ChooseAxisNumberFont(const TopWindow& w, const std::string& size) {
    Menu(w, kAxisNumberFont);
    const TopWindow dialog = Screen().WaitFor("Textfenster", 3000);
    ASSERT_NE(dialog.id, 0u) << "no font dialog";
    Screen().Activate(dialog.id);
    if (!size.empty()) {
      Screen().Key("Tab");  // from the family to the size
      Screen().Key("ctrl+a");
      Screen().Type(size);
    }
    Screen().Key("Return");
    ASSERT_TRUE(Screen().WaitGone(dialog.id, 3000));
  }
};

TEST_F(WindowBase, ProtectionWithCopyrightShowsTheAuthor) {
  Start();
  const TopWindow w = New2D();
  ASSERT_NE(w.id, 0u);
  auto author = program_->MenuItem(w.id, kAuthor);
  ASSERT_TRUE(author);
  EXPECT_FALSE(author->enabled) << "no copyright shown yet";

  std::size_t from = program_->Log().Size();
  Menu(w, kPassword);
  auto d = program_->WaitDialog("SETPW", from, 3000);
  ASSERT_TRUE(d);
  program_->SetText(*d, 211, "geheim");
  program_->SetText(*d, 212, "geheim");
  program_->SetText(*d, 213, "Ada");
  ClickRightPart(*d, 274);  // "Copyright anzeigen"
  program_->ClickControl(*d, 1);
  EXPECT_TRUE(MessageSince(from, "Geschützt", 3000));
  Confirm("?");
  EXPECT_TRUE(Eventually([&] { return Screen().Caption(w.id) == "Unbenannt1.kv2+"; }, 3000))
      << "a protected window's caption ends in +; it is " << Screen().Caption(w.id);

  author = program_->MenuItem(w.id, kAuthor);
  ASSERT_TRUE(author);
  EXPECT_TRUE(author->enabled);
  from = program_->Log().Size();
  Menu(w, kAuthor);
  EXPECT_TRUE(MessageSince(from, "Ada", 3000)) << "the author box";
  Confirm("Autor");
}

TEST_F(WindowBase, ACancelledPrintSaysNothing) {
  Start();
  const TopWindow w = New2D();
  ASSERT_NE(w.id, 0u);
  const std::size_t from = program_->Log().Size();
  Menu(w, kPrint);
  // Without a printer the save dialog asks for the PDF file.
  const TopWindow dialog = Screen().WaitFor("Speichern unter", 5000);
  ASSERT_NE(dialog.id, 0u) << "no save dialog for the PDF file";
  Screen().Activate(dialog.id);
  Screen().Key("Escape");
  ASSERT_TRUE(Screen().WaitGone(dialog.id, 3000));
  EXPECT_LT(program_->Log().WaitFor("message ", from, 1000), 0) << "a message after the cancel";
  EXPECT_TRUE(program_->Answers(w.id, 2000));
}

// A plot file the user made read-only, in the user's own folder, is not
// replaced by "Speichern": the program says it cannot be saved, and the file
// keeps its bytes and its mode.  The program runs as an ordinary user (root
// may write any file).
TEST_F(WindowBase, SavingAReadOnlyPlotFileLeavesItAsItWas) {
  const unsigned user = ::geteuid() == 0 ? 65534 : 0;
  const std::string own = kvtest::MakeTempDir("read-only") + "own/", plot = own + "walk.kv2";
  std::filesystem::create_directory(own);
  std::filesystem::copy_file(FixturePath("walk.kv2"), plot);
  ASSERT_EQ(::chmod(plot.c_str(), 0444), 0);
  if (user != 0) {
    ASSERT_TRUE(::chown(own.c_str(), user, user) == 0 && ::chown(plot.c_str(), user, user) == 0);
  }
  auto bytes = [&plot] {
    std::ifstream in(plot, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  };
  const std::string before = bytes();
  program_ = std::make_unique<Program>(Screen(), std::vector<std::string>{plot},
                                       std::vector<std::pair<std::string, std::string>>{}, user);
  ASSERT_TRUE(program_->Ready()) << "the program did not start";
  const TopWindow w = Window("walk.kv2");
  ASSERT_NE(w.id, 0u);
  Menu(w, kNotXor);
  const std::size_t from = program_->Log().Size();
  Menu(w, kSave);
  EXPECT_TRUE(MessageSince(from, "Datei ist nicht zu speichern", 5000)) << "the save said nothing";
  Confirm("?");
  EXPECT_TRUE(bytes() == before) << "the file was replaced";
  struct stat st {};
  EXPECT_TRUE(::stat(plot.c_str(), &st) == 0 && (st.st_mode & 07777) == 0444);
}

TEST_F(WindowBase, ANewAxisNumberFontShowsAtOnce) {
  Start();
  const TopWindow w = New2D();
  ASSERT_NE(w.id, 0u);
  ASSERT_NO_FATAL_FAILURE(ShowAxisNumbers(w));
  const Image before = Settled(w.id);
  ASSERT_NO_FATAL_FAILURE(ChooseAxisNumberFont(w, "20"));
  EXPECT_NE(Settled(w.id, 300).pixels, before.pixels) << "the numbers keep their old font until a repaint";
}

TEST_F(WindowBase, TheFontDialogAcceptedAsItIsChangesNothing) {
  // The axis numbers' "Symbol" face must stay that face, minus signs and
  // all, when the user only confirms the dialog.
  Start();
  const TopWindow w = New2D();
  ASSERT_NE(w.id, 0u);
  ASSERT_NO_FATAL_FAILURE(ShowAxisNumbers(w));
  const Image before = Settled(w.id);
  ASSERT_NO_FATAL_FAILURE(ChooseAxisNumberFont(w, ""));
  Menu(w, 107);  // zoom in and back: the numbers are drawn anew
  Settled(w.id);
  Menu(w, 111);
  EXPECT_EQ(Settled(w.id, 300).pixels, before.pixels);
}

}  // namespace
}  // namespace kvdisplay
