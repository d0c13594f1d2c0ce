// Windows, command tables, menus, accelerators, dialogs through the
// responder, and the keyboard and mouse polls.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/app.h"
#include "platform/bitmap.h"
#include "platform/common_dialogs.h"
#include "platform/dialog.h"
#include "platform/keys.h"
#include "platform/testing.h"
#include "platform/window.h"

namespace {

using plat::CommandEnabler;
using plat::CommandTable;

// Two layers of a window: the upper one handles some commands itself and
// leaves the rest to the lower one.
class LowerLayer : public plat::Window {
 public:
  using plat::Window::Window;
  const CommandTable& Commands() const override {
    static const auto table = CommandTable::Build<LowerLayer>(&plat::Window::Commands(), {
        {402, &LowerLayer::CmLowerOnly},
        {403, &LowerLayer::CmOverridden},
        {60, 69, &LowerLayer::CmRange},
        {48, &LowerLayer::CmToggle, &LowerLayer::CeToggle},
    });
    return table;
  }
  void CmLowerOnly() { log.push_back("lower 402"); }
  void CmOverridden() { log.push_back("lower 403"); }
  void CmRange(int id) { log.push_back("range " + std::to_string(id)); }
  void CmToggle() { toggled = !toggled; }
  void CeToggle(CommandEnabler& ce) {
    ce.SetCheck(toggled);
    ce.Enable(allowToggle);
  }
  std::vector<std::string> log;
  bool toggled = false;
  bool allowToggle = true;
};

class UpperLayer : public LowerLayer {
 public:
  using LowerLayer::LowerLayer;
  const CommandTable& Commands() const override {
    static const auto table = CommandTable::Build<UpperLayer>(&LowerLayer::Commands(), {
        {403, &UpperLayer::CmUpper},
        {405, nullptr, &UpperLayer::CeDisabled},
        {406, nullptr, &UpperLayer::CeCheckedOn},  // a feature not built yet
        {407, &UpperLayer::CmUpper, &UpperLayer::CeDisabled},
    });
    return table;
  }
  void CmUpper() { log.push_back("upper 403"); }
  void CeDisabled(CommandEnabler& ce) { ce.Enable(false); }
  void CeCheckedOn(CommandEnabler& ce) {
    ce.Enable(true);
    ce.SetCheck(true);
  }
};

TEST(WindowCommands, UnhandledCommandReachesTheBaseLayer) {
  auto* w = new UpperLayer(nullptr, "t");
  EXPECT_TRUE(w->Command(402));
  EXPECT_TRUE(w->Command(403));
  EXPECT_TRUE(w->Command(65));
  EXPECT_FALSE(w->Command(70));  // nobody handles it
  EXPECT_EQ(w->log, (std::vector<std::string>{"lower 402", "upper 403", "range 65"}));
  delete w;
}

TEST(WindowCommands, EnablersDisableAndCheck) {
  auto* w = new UpperLayer(nullptr, "t");
  EXPECT_TRUE(w->QueryCommand(402).enabled);
  EXPECT_FALSE(w->QueryCommand(405).enabled);
  EXPECT_FALSE(w->QueryCommand(999).enabled) << "a command without handler is greyed";
  const CommandEnabler pending = w->QueryCommand(406);
  EXPECT_FALSE(pending.enabled) << "greyed without a handler whatever its enabler says";
  EXPECT_EQ(pending.checked, 1) << "the enabler still checks it";
  EXPECT_FALSE(w->Command(407)) << "a disabled command does not run";
  EXPECT_TRUE(w->log.empty());

  EXPECT_EQ(w->QueryCommand(48).checked, 0);
  w->Command(48);
  EXPECT_EQ(w->QueryCommand(48).checked, 1);
  w->allowToggle = false;
  EXPECT_FALSE(w->Command(48));
  EXPECT_TRUE(w->toggled);
  delete w;
}

TEST(WindowCommands, MenuItemsFollowEnablersAndDirectChecks) {
  auto* w = new UpperLayer(nullptr, "t");
  w->AssignMenu("PLOTMENU");
  ASSERT_TRUE(w->Create());
  ASSERT_TRUE(w->HasMenuItem(402));
  EXPECT_TRUE(w->IsMenuItemEnabled(402));
  EXPECT_FALSE(w->IsMenuItemEnabled(405));
  EXPECT_FALSE(w->IsMenuItemEnabled(409)) << "no handler";
  EXPECT_FALSE(w->IsMenuItemChecked(48));
  w->Command(48);
  EXPECT_TRUE(w->IsMenuItemChecked(48));

  // Items without enabler take direct check marks.
  w->CheckMenuItem(49, false);
  EXPECT_FALSE(w->IsMenuItemChecked(49));
  w->CheckMenuItem(49, true);
  EXPECT_TRUE(w->IsMenuItemChecked(49));
  w->EnableMenuItem(402, false);
  EXPECT_FALSE(w->IsMenuItemEnabled(402));
  w->Destroy();
}

TEST(WindowCommands, AcceleratorsSendTheirCommands) {
  auto* w = new UpperLayer(nullptr, "t");
  w->AssignMenu("PLOTMENU");
  ASSERT_TRUE(w->Create());
  EXPECT_EQ(w->FindAccelerator(plat::VK_F2, 0), 402);
  EXPECT_EQ(w->FindAccelerator(plat::VK_F3, 0), 403);
  EXPECT_EQ(w->FindAccelerator(plat::VK_F2, plat::MOD_CONTROL), 0);
  w->SimulateKey(plat::VK_F2);
  w->SimulateKey(plat::VK_F3);
  EXPECT_EQ(w->log, (std::vector<std::string>{"lower 402", "upper 403"}));
  w->Destroy();
}

// ---- painting ----

class PaintCounter : public plat::Window {
 public:
  using plat::Window::Window;
  void Paint(plat::DC& dc, bool erase, const plat::Rect&) override {
    ++paints;
    lastErase = erase;
    dc.SetPixel(1, 1, plat::Rgb(255, 0, 0));
  }
  int paints = 0;
  bool lastErase = false;
};

TEST(WindowPaint, InvalidateThenUpdatePaintsOnceIntoTheSurface) {
  auto* w = new PaintCounter(nullptr, "p");
  w->SetBkgndColor(plat::Rgb(0, 0, 255));
  ASSERT_TRUE(w->Create());
  w->MoveWindow(10, 10, 200, 150);
  w->UpdateWindow();
  EXPECT_EQ(w->paints, 1);
  EXPECT_TRUE(w->lastErase);
  EXPECT_EQ(w->Surface().GetPixel(1, 1), plat::Rgb(255, 0, 0));
  EXPECT_EQ(w->Surface().GetPixel(5, 5), plat::Rgb(0, 0, 255));
  w->UpdateWindow();
  EXPECT_EQ(w->paints, 1) << "nothing invalid";
  w->Invalidate(false);
  w->UpdateWindow();
  EXPECT_EQ(w->paints, 2);
  EXPECT_FALSE(w->lastErase);
  w->Destroy();
}

// ---- dialogs ----

class EchoDialog : public plat::Dialog {
 public:
  EchoDialog(plat::Window* parent, std::string& buffer, bool& veto)
      : plat::Dialog(parent, "ONEINPUT"), buffer_(buffer), veto_(veto) {}
  void SetupWindow() override {
    LimitText(211, 10);
    SetItemText(211, buffer_);
  }
  bool CanClose() override {
    if (veto_) {
      ++vetoes;
      veto_ = false;
      return false;
    }
    buffer_ = GetItemText(211);
    return true;
  }
  int vetoes = 0;

 private:
  std::string& buffer_;
  bool& veto_;
};

TEST(DialogResponder, ScriptsTypeAndPress) {
  std::string buffer = "old";
  bool veto = false;
  plat::testing::AnswerDialog("ONEINPUT", {{211, "typed"}}, plat::IDOK);
  EchoDialog dlg(nullptr, buffer, veto);
  EXPECT_EQ(dlg.Execute(), plat::IDOK);
  EXPECT_EQ(buffer, "typed");
}

TEST(DialogResponder, CancelLeavesTheBufferAndEscapeGivesTwo) {
  std::string buffer = "old";
  bool veto = false;
  plat::testing::AnswerDialog("ONEINPUT", {{211, "typed"}}, plat::IDCANCEL);
  EchoDialog dlg(nullptr, buffer, veto);
  EXPECT_EQ(dlg.Execute(), plat::IDCANCEL);
  EXPECT_EQ(buffer, "old");

  plat::testing::ExpectDialog("ONEINPUT", [](plat::Dialog& d) { d.PressEscape(); });
  EchoDialog again(nullptr, buffer, veto);
  EXPECT_EQ(again.Execute(), plat::IDCANCEL);
}

TEST(DialogResponder, AVetoKeepsTheDialogOpenForTheNextPress) {
  std::string buffer;
  bool veto = true;
  plat::testing::ExpectDialog("ONEINPUT", [](plat::Dialog& d) {
    d.SetItemText(211, "first");
    d.Press(plat::IDOK);
    EXPECT_FALSE(d.Result() == plat::IDOK);
    d.SetItemText(211, "second");
    d.Press(plat::IDOK);
  });
  EchoDialog dlg(nullptr, buffer, veto);
  EXPECT_EQ(dlg.Execute(), plat::IDOK);
  EXPECT_EQ(dlg.vetoes, 1);
  EXPECT_EQ(buffer, "second");
}

TEST(DialogResponder, TextLimitCutsTypedText) {
  std::string buffer;
  bool veto = false;
  plat::testing::AnswerDialog("ONEINPUT", {{211, "0123456789abcdef"}}, plat::IDOK);
  EchoDialog dlg(nullptr, buffer, veto);
  dlg.Execute();
  EXPECT_EQ(buffer, "0123456789");
}

TEST(DialogResponder, UnexpectedDialogsAreFailuresNotHangs) {
  std::string buffer;
  bool veto = false;
  EchoDialog dlg(nullptr, buffer, veto);
  EXPECT_EQ(dlg.Execute(), plat::IDCANCEL);
  ASSERT_EQ(plat::testing::Failures().size(), 1u);
  plat::testing::Reset();

  plat::testing::ExpectDialog("ONEINPUT", [](plat::Dialog&) {});  // never ends it
  EchoDialog open(nullptr, buffer, veto);
  EXPECT_EQ(open.Execute(), plat::IDCANCEL);
  EXPECT_EQ(plat::testing::Failures().size(), 1u);
  plat::testing::Reset();
}

TEST(DialogControls, VisibilityChecksAndLists) {
  plat::testing::ExpectDialog("TWOINPUT", [](plat::Dialog& d) {
    EXPECT_TRUE(d.HasItem(213));
    EXPECT_FALSE(d.IsItemVisible(213));
    d.ShowItem(213, true);
    EXPECT_TRUE(d.IsItemVisible(213));
    EXPECT_FALSE(d.HasItem(4711));
    d.Press(plat::IDCANCEL);
  });
  plat::Dialog dlg(nullptr, "TWOINPUT");
  dlg.Execute();
}

TEST(MessageBoxes, AreRecordedAndAnswered) {
  EXPECT_EQ(plat::MessageBox(nullptr, "Text", "Titel"), plat::IDOK);
  plat::testing::ExpectMessageBox(plat::IDNO);
  EXPECT_EQ(plat::MessageBox(nullptr, "Frage?", "", plat::MB_YESNO), plat::IDNO);
  ASSERT_EQ(plat::testing::Messages().size(), 2u);
  EXPECT_EQ(plat::testing::Messages()[0].caption, "Titel");
  EXPECT_EQ(plat::testing::Messages()[1].text, "Frage?");
}

// ---- polls ----

class PollWindow : public LowerLayer {
 public:
  using LowerLayer::LowerLayer;
};

TEST(Polling, KeysAreUpperCasedAndAcceleratorsRunTheirCommand) {
  auto* w = new PollWindow(nullptr, "poll");
  w->AssignMenu("PLOTMENU");
  ASSERT_TRUE(w->Create());
  EXPECT_EQ(plat::PollKey(*w), 0);
  plat::testing::InjectKey(*w, 'A');
  EXPECT_EQ(plat::PollKey(*w), 65);
  plat::testing::InjectKey(*w, 'Q');
  EXPECT_EQ(plat::PollKey(*w), 81);
  plat::testing::InjectKey(*w, plat::VK_F2);
  EXPECT_EQ(plat::PollKey(*w), 65);
  EXPECT_EQ(w->log, (std::vector<std::string>{"lower 402"}));
  plat::testing::InjectKey(*w, plat::VK_LEFT);
  EXPECT_EQ(plat::PollKey(*w), static_cast<int>(plat::VK_LEFT)) << "no character: the virtual key";
  plat::testing::InjectKey(*w, 'Q', plat::MOD_CONTROL);
  EXPECT_EQ(plat::PollKey(*w), 17) << "Ctrl with a letter: the control character";
  EXPECT_EQ(plat::PollKey(*w), 0);
  w->Destroy();
}

TEST(Polling, MouseEventsComeInOrder) {
  auto* w = new PollWindow(nullptr, "poll");
  ASSERT_TRUE(w->Create());
  plat::MouseEvent e;
  EXPECT_FALSE(plat::PollMouse(*w, e));
  plat::testing::InjectMouse(*w, {plat::MouseEvent::Move, 0, 5, 6});
  plat::testing::InjectMouse(*w, {plat::MouseEvent::LButtonUp, 0, 7, 8});
  ASSERT_TRUE(plat::PollMouse(*w, e));
  EXPECT_EQ(e.type, plat::MouseEvent::Move);
  ASSERT_TRUE(plat::PollMouse(*w, e));
  EXPECT_EQ(e.type, plat::MouseEvent::LButtonUp);
  EXPECT_EQ(e.x, 7);
  w->Destroy();
}

// ---- lifecycle ----

class Tracked : public plat::Window {
 public:
  Tracked(plat::Window* parent, std::vector<std::string>& log, std::string name, bool canClose = true)
      : plat::Window(parent, name), log_(log), name_(std::move(name)), canClose_(canClose) {}
  ~Tracked() override { log_.push_back("delete " + name_); }
  bool CanClose() override { return canClose_ && plat::Window::CanClose(); }
  void Destroy() override {
    if (!IsDestroyed()) log_.push_back("destroy " + name_);
    plat::Window::Destroy();
  }

 private:
  std::vector<std::string>& log_;
  std::string name_;
  bool canClose_;
};

TEST(WindowLifecycle, ClosingAsksChildrenAndDestroysThemWithTheParent) {
  std::vector<std::string> log;
  auto* parent = new Tracked(nullptr, log, "frame");
  parent->Create();
  auto* child = new Tracked(parent, log, "child", false);
  child->Create();
  parent->CloseWindow();
  EXPECT_FALSE(parent->IsDestroyed()) << "a child refused";
  auto* child2 = new Tracked(parent, log, "child2");
  child2->Create();
  child->Destroy();
  plat::App::DeleteDestroyedWindows();
  EXPECT_EQ(log, (std::vector<std::string>{"destroy child", "delete child"}));
  log.clear();
  parent->CloseWindow();
  plat::App::DeleteDestroyedWindows();
  EXPECT_EQ(log, (std::vector<std::string>{"destroy frame", "destroy child2", "delete frame", "delete child2"}));
}

}  // namespace

namespace {

TEST(WindowCommands, KeysInAClientWindowReachTheFrameAccelerators) {
  auto* frame = new UpperLayer(nullptr, "frame");
  frame->AssignMenu("PLOTMENU");
  auto* client = new plat::Window(nullptr, "");
  frame->SetClientWindow(client);
  ASSERT_TRUE(frame->Create());
  client->SimulateKey(plat::VK_F2);
  EXPECT_EQ(frame->log, (std::vector<std::string>{"lower 402"}));
  frame->Destroy();
}

}  // namespace

namespace {

TEST(WindowLifecycle, DeletingAWindowWithShownChildrenBeforeTheLoopRunsIsSafe) {
  std::vector<std::string> log;
  auto* parent = new Tracked(nullptr, log, "frame");
  parent->Create();
  parent->Show(plat::SW_SHOW);
  auto* child = new Tracked(parent, log, "child");
  child->Create();
  child->Show(plat::SW_SHOW);
  child->SetFocus();
  parent->Destroy();
  plat::App::DeleteDestroyedWindows();
  for (int i = 0; i < 3; ++i) plat::App::ProcessEvents();
  EXPECT_EQ(log.back(), "delete child");
}

}  // namespace

namespace {

TEST(WindowPlacement, AFrameRectangleSetWhileHiddenHoldsOnceShown) {
  auto* w = new plat::Window(nullptr, "placed");
  w->AssignMenu("PLOTMENU");
  ASSERT_TRUE(w->Create());
  w->MoveWindow(40, 50, 300, 200);
  w->Show(plat::SW_SHOWNORMAL);
  plat::Rect r = w->GetWindowRect();
  EXPECT_EQ(r.left, 40);
  EXPECT_EQ(r.top, 50);
  EXPECT_EQ(r.Width(), 300);
  EXPECT_EQ(r.Height(), 200);
  w->Destroy();
}

}  // namespace

namespace {

TEST(WindowCommands, MenuBarEntriesCanBeDeletedAndInserted) {
  auto* w = new UpperLayer(nullptr, "bar");
  w->AssignMenu("PLOTMENU");
  ASSERT_TRUE(w->Create());
  ASSERT_TRUE(w->HasMenuItem(402));
  EXPECT_TRUE(w->DeleteMenuBarEntry(0));  // "&Fenster" with its items
  EXPECT_FALSE(w->HasMenuItem(402));
  EXPECT_FALSE(w->DeleteMenuBarEntry(5));
  w->InsertMenuBarCommand(8, "&Schließen", 403);
  EXPECT_TRUE(w->HasMenuItem(403));
  EXPECT_TRUE(w->IsMenuItemEnabled(403));
  w->Destroy();
}

}  // namespace
