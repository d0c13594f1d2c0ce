// Commands every plot window shares, carried through to their end on a real
// display: the password dialog with its check boxes and the author box, and
// a print the user cancels.
#include "support/display_test.h"

namespace kvdisplay {
namespace {

constexpr int kPassword = 76;
constexpr int kAuthor = 77;
constexpr int kPrint = 303;

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
  bool MessageSince(std::size_t from, const std::string& text, int ms) {
    return program_->Log().WaitFor("message " + text, from, ms) >= 0;
  }
  // Answers the message box with this caption with Enter.
  void Confirm(const std::string& caption) {
    const TopWindow box = Screen().WaitFor(caption, 3000);
    ASSERT_NE(box.id, 0u) << "no message box " << caption;
    Screen().Activate(box.id);
    Screen().Key("Return");
    EXPECT_TRUE(Screen().WaitGone(box.id, 3000));
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
  const TopWindow dialog = Screen().WaitFor("Drucken", 5000);
  ASSERT_NE(dialog.id, 0u) << "no print dialog";
  Screen().Activate(dialog.id);
  Screen().Key("Escape");
  ASSERT_TRUE(Screen().WaitGone(dialog.id, 3000));
  EXPECT_LT(program_->Log().WaitFor("message ", from, 1000), 0) << "a message after the cancel";
  EXPECT_TRUE(program_->Answers(w.id, 2000));
}

}  // namespace
}  // namespace kvdisplay
