// The fake steady clock and what it drives (waits, window timers, scheduled
// test actions), a close request during long work, dialog templates of the
// tests, button enablers of dialogs, and lists as the user's mouse and keys
// change them.
#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>

#include <string>
#include <unistd.h>
#include <vector>

#include "platform/app.h"
#include "platform/dialog.h"
#include "platform/keys.h"
#include "platform/resources.h"
#include "platform/testing.h"
#include "platform/window.h"
#include "platform/window_impl.h"

namespace {

class TickingWindow : public plat::Window {
 public:
  using plat::Window::Window;
  void EvTimer(unsigned id) override { log.push_back("timer " + std::to_string(id) + " at " + Now()); }
  static std::string Now() { return std::to_string(plat::TickMilliseconds()); }
  std::vector<std::string> log;
};

class FakeClock : public ::testing::Test {
 protected:
  void SetUp() override {
    plat::testing::FakeTicks(true);
    w = new TickingWindow(nullptr, "Uhr");
    ASSERT_TRUE(w->Create());
  }
  void TearDown() override {
    plat::testing::FakeTicks(false);
    if (!w->IsDestroyed()) w->Destroy();
    plat::App::DeleteDestroyedWindows();
  }
  TickingWindow* w = nullptr;
};

TEST_F(FakeClock, WaitsTimersAndActionsRunInTheOrderOfTheirTicks) {
  EXPECT_EQ(plat::TickMilliseconds(), 0);
  w->SetTimer(7, 50);
  plat::testing::AtTick(100, [this] { w->log.push_back("action at " + TickingWindow::Now()); });
  plat::testing::AtTick(20, [this] { w->log.push_back("action at " + TickingWindow::Now()); });
  plat::Delay(*w, 120);
  EXPECT_EQ(plat::TickMilliseconds(), 120);
  EXPECT_EQ(w->log, (std::vector<std::string>{"action at 20", "timer 7 at 50", "action at 100", "timer 7 at 100"}));
  w->KillTimer(7);
  plat::testing::AdvanceTicks(500);
  EXPECT_EQ(w->log.size(), 4u);
  EXPECT_EQ(plat::TickMilliseconds(), 620);
}

TEST_F(FakeClock, ADestroyedWindowGetsNoMoreTicks) {
  w->SetTimer(1, 10);
  w->Destroy();
  plat::testing::AdvanceTicks(100);
  EXPECT_TRUE(w->log.empty());
}

TEST_F(FakeClock, ClosingAWindowWhileItsWorkPollsEndsTheWorkFirst) {
  struct Closable : plat::Window {
    using plat::Window::Window;
    ~Closable() override { *gone = true; }
    bool CanClose() override {
      ++*asked;
      return true;
    }
    int* asked = nullptr;
    bool* gone = nullptr;
  };
  int asked = 0;
  bool gone = false;
  auto* c = new Closable(nullptr, "Arbeit");
  c->asked = &asked;
  c->gone = &gone;
  ASSERT_TRUE(c->Create());
  c->Show(plat::SW_SHOW);
  plat::testing::AtTick(30, [c] { plat::testing::RequestClose(*c); });
  int key = 0;
  for (int passes = 0; key == 0 && passes < 100; ++passes) {
    key = plat::PollKey(*c);
    if (key == 0) plat::Delay(*c, 10);
  }
  EXPECT_EQ(key, plat::VK_ESCAPE);
  EXPECT_EQ(asked, 0) << "not while the work runs";
  EXPECT_FALSE(gone);
  for (int k = 0; k < 200 && !gone; ++k) {
    plat::App::ProcessEvents();
    usleep(2000);
  }
  EXPECT_EQ(asked, 1);
  EXPECT_TRUE(gone);
}

// ---- dialogs ----

class Buttons : public plat::Dialog {
 public:
  using plat::Dialog::Dialog;
  const plat::CommandTable& Commands() const override {
    static const auto table = plat::CommandTable::Build<Buttons>(&plat::Dialog::Commands(), {
        {51, &Buttons::CmAny, &Buttons::CeFirst},
        {52, &Buttons::CmAny},
    });
    return table;
  }
  void EvControl(int id, int notification) override {
    if (notification == plat::LBN_SELCHANGE) ++selectionNotices;
    plat::Dialog::EvControl(id, notification);
  }
  void CmAny() {}
  void CeFirst(plat::CommandEnabler& ce) {
    ce.Enable(on);
    ce.SetText(on ? "An" : "Aus");
  }
  bool on = false;
  int selectionNotices = 0;
};

TEST(TestDialogs, TemplatesOfTheTestsNeverShadowTheProgramsOwn) {
  const auto errors = plat::testing::AddDialogTemplates(R"(
    ZUMTEST DIALOG 100, 40
    BEGIN
      ROW
        LISTBOX 293, 80, 40 MULTI
        SCROLLBAR 295, 80
      ROW
        PUSHBUTTON "Eins", 51, 40
        PUSHBUTTON "Zwei", 52, 40
    END
    CALIB DIALOG 10, 10
    BEGIN
    END
  )");
  EXPECT_TRUE(errors.empty());
  ASSERT_NE(plat::res::FindDialog("zumtest"), nullptr);
  EXPECT_EQ(plat::res::FindDialog("CALIB")->caption, "Schieberegler Abstufung");
  EXPECT_EQ(plat::res::FindDialog("NIRGENDS"), nullptr);
}

TEST(TestDialogs, ButtonsFollowTheirEnablersAndListsReportOnlyTheUsersChoice) {
  plat::testing::AddDialogTemplates(R"(
    ZUMTEST DIALOG 100, 40
    BEGIN
      ROW
        LISTBOX 293, 80, 40 MULTI
        SCROLLBAR 295, 80
      ROW
        PUSHBUTTON "Eins", 51, 40
        PUSHBUTTON "Zwei", 52, 40
    END
  )");
  Buttons d(nullptr, "ZUMTEST");
  ASSERT_TRUE(d.Create());
  d.UpdateButtons();
  EXPECT_FALSE(d.IsItemEnabled(51));
  EXPECT_EQ(d.GetItemText(51), "Aus");
  EXPECT_TRUE(d.IsItemEnabled(52)) << "no enabler";
  d.on = true;
  d.UpdateButtons();
  EXPECT_TRUE(d.IsItemEnabled(51));
  EXPECT_EQ(d.GetItemText(51), "An");

  for (const char* row : {"a", "b", "c"}) d.ListAdd(293, row);
  d.ListSetMultiSel(293, 0, true);
  d.ListSetMultiSel(293, 2, true);
  d.ListSetSel(293, 1);
  EXPECT_EQ(d.selectionNotices, 0);
  EXPECT_EQ(d.ListGetMultiSel(293), std::vector<int>{1});
  d.ListClear(293);
  EXPECT_EQ(d.selectionNotices, 0);

  d.SetScrollRange(295, 0, 40);
  d.SetScrollPage(295, 4);
  d.SetScrollPos(295, 12);
  EXPECT_EQ(d.GetScrollRange(295), std::make_pair(0, 40));
  EXPECT_EQ(d.GetScrollPage(295), 4);
  EXPECT_EQ(d.GetScrollPos(295), 12);
  d.Destroy();
}

// A list scrolls sideways over its horizontal extent, or over its widest
// row when that is wider; without either it does not scroll.
TEST(TestDialogs, ListsScrollSidewaysOverTheirExtentOrTheirWidestRow) {
  plat::testing::AddDialogTemplates(R"(
    BREITTEST DIALOG 100, 60
    BEGIN
      ROW
        LISTBOX 294, 80, 60
    END
  )");
  plat::Dialog d(nullptr, "BREITTEST");
  ASSERT_TRUE(d.Create());
  d.Show(plat::SW_SHOW);
  d.ListAdd(294, "kurz");
  const int own = d.ListHorizontalReach(294);
  EXPECT_LT(own, 400);
  d.ListSetHorizontalExtent(294, 1000);
  EXPECT_EQ(d.ListHorizontalReach(294), 1000);
  d.ListAdd(294, std::string(400, 'W'));
  d.ListSetHorizontalExtent(294, 1000);
  EXPECT_GT(d.ListHorizontalReach(294), 1000) << "the widest row reaches further";
  d.Destroy();
}

// What the dialog reads when its list reports a change: the row the user
// chose must be selected by then.  A handler may fill the list afresh and
// choose a row of its own (here the mirror of the row chosen).
class Choosing : public plat::Dialog {
 public:
  using plat::Dialog::Dialog;
  void EvControl(int, int notification) override {
    if (notification != plat::LBN_SELCHANGE) return;
    notices.push_back(ListGetSel(294));
    if (!refill) return;
    refill = false;
    const int chosen = notices.back();
    ListClear(294);
    for (const char* row : {"a", "b", "c", "d", "e"}) ListAdd(294, row);
    ListSetSel(294, 4 - chosen);
  }
  template <class Control>
  Control* Item(int id) {
    return dynamic_cast<Control*>(impl()->dialog.controls.at(id).data());
  }
  std::vector<int> notices;
  bool refill = false;
};

// A press, a move with the button held or a release at the middle of a
// list's row, as the toolkit delivers them.
void Mouse(QListWidget* lb, QEvent::Type type, int row) {
  const QPoint at = lb->visualItemRect(lb->item(row)).center();
  QMouseEvent e(type, at, lb->viewport()->mapToGlobal(at), type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton,
                type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(lb->viewport(), &e);
}

void Click(QListWidget* lb, int row) {
  Mouse(lb, QEvent::MouseButtonPress, row);
  Mouse(lb, QEvent::MouseButtonRelease, row);
}

TEST(TestDialogs, ListsAndEditsAnswerTheUsersMouseAndKeysAsTheDialogsExpect) {
  plat::testing::AddDialogTemplates(R"(
    WAEHLEN DIALOG 100, 80
    BEGIN
      ROW
        LISTBOX 294, 80, 60
      ROW
        EDITTEXT 211, 40
        EDITTEXT 212, 40
    END
  )");
  Choosing d(nullptr, "WAEHLEN");
  ASSERT_TRUE(d.Create());
  d.Show(plat::SW_SHOW);
  d.impl()->frame->activateWindow();
  QApplication::processEvents();
  for (const char* row : {"a", "b", "c", "d", "e"}) d.ListAdd(294, row);
  d.ListSetSel(294, 0);
  auto* list = d.Item<QListWidget>(294);
  d.notices.clear();

  // A click, a drag over the rows with the button held, the arrow key, a
  // click on the selected row (no change).
  Click(list, 2);
  Mouse(list, QEvent::MouseButtonPress, 3);
  Mouse(list, QEvent::MouseMove, 4);
  Mouse(list, QEvent::MouseButtonRelease, 4);
  d.PressKey(294, plat::VK_UP);
  Click(list, 3);
  EXPECT_EQ(d.notices, (std::vector<int>{2, 3, 4, 3}));
  // The rest of the click does not undo the handler's own choice.
  d.notices.clear();
  d.refill = true;
  Click(list, 1);
  EXPECT_EQ(d.notices.front(), 1);
  EXPECT_EQ(d.ListGetSel(294), 3);

  // Shift+Tab into an edit selects its whole text, also where a part of it
  // was left selected (the toolkit on its own keeps that part).
  auto* first = d.Item<QLineEdit>(211);
  d.SetItemText(211, "1.25");
  d.FocusItem(212);
  first->setSelection(0, 1);
  QKeyEvent back(QEvent::KeyPress, Qt::Key_Backtab, Qt::ShiftModifier);
  QCoreApplication::sendEvent(d.Item<QLineEdit>(212), &back);
  ASSERT_TRUE(first->hasFocus());
  EXPECT_EQ(first->selectedText().toStdString(), "1.25");
  d.Destroy();
}

}  // namespace
