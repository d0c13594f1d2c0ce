// The fake steady clock and what it drives (waits, window timers, scheduled
// test actions), a close request during long work, dialog templates of the
// tests, button enablers of dialogs and lists as the user's mouse and keys change them.
#include <gtest/gtest.h>

#include <QCoreApplication>
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
  EXPECT_EQ(key, 'A') << "a close request stops the work as A does";
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

// Notes the selected row whenever its list reports a change; with `refill` it
// then fills the list afresh and selects the mirror of that row.
class Choosing : public plat::Dialog {
 public:
  using plat::Dialog::Dialog;
  void Fill() {
    ListClear(294);
    for (const char* row : {"a", "b", "c", "d", "e"}) ListAdd(294, row);
  }
  void EvControl(int, int notification) override {
    if (notification != plat::LBN_SELCHANGE) return;
    const int chosen = ListGetSel(294);
    notices.push_back(chosen);
    if (std::exchange(refill, false)) Fill(), ListSetSel(294, 4 - chosen);
  }
  std::vector<int> notices;
  bool refill = false;
};

// A press at row `from` of a list, a move to row `to` with the button held and the release there.
void Drag(QListWidget* lb, int from, int to) {
  const std::pair<QEvent::Type, int> steps[] = {
      {QEvent::MouseButtonPress, from}, {QEvent::MouseMove, to}, {QEvent::MouseButtonRelease, to}};
  for (const auto& [type, row] : steps) {
    if (type == QEvent::MouseMove && from == to) continue;
    const QPoint at = lb->visualItemRect(lb->item(row)).center();
    QMouseEvent e(type, at, lb->viewport()->mapToGlobal(at), type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton,
                  type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(lb->viewport(), &e);
  }
}

TEST(TestDialogs, ListsAndEditsAnswerTheUsersMouseAndKeysAsTheDialogsExpect) {
  plat::testing::AddDialogTemplates(
      "WAEHLEN DIALOG 100, 80 BEGIN ROW LISTBOX 294, 80, 60 EDITTEXT 211, 40 EDITTEXT 212, 40 END");
  Choosing d(nullptr, "WAEHLEN");
  ASSERT_TRUE(d.Create());
  d.Show(plat::SW_SHOW);
  d.impl()->frame->activateWindow();
  plat::App::ProcessEvents();
  auto control = [&](int id) { return d.impl()->dialog.controls.at(id).data(); };
  auto* list = qobject_cast<QListWidget*>(control(294));
  d.Fill();
  d.ListSetSel(294, 0);
  d.notices.clear();
  // A click, a drag with the button held, the arrow key, a click on the selected row (no change).
  Drag(list, 2, 2);
  Drag(list, 3, 4);
  d.PressKey(294, plat::VK_UP);
  Drag(list, 3, 3);
  EXPECT_EQ(d.notices, (std::vector<int>{2, 3, 4, 3}));
  // The rest of the click does not undo the handler's own choice.
  d.notices.clear();
  d.refill = true;
  Drag(list, 1, 1);
  EXPECT_EQ(d.notices.front(), 1);
  EXPECT_EQ(d.ListGetSel(294), 3);
  // Shift+Tab into an edit selects all its text, also where a part was left selected.
  auto* first = qobject_cast<QLineEdit*>(control(211));
  d.SetItemText(211, "1.25");
  d.FocusItem(212);
  first->setSelection(0, 1);
  QKeyEvent back(QEvent::KeyPress, Qt::Key_Backtab, Qt::ShiftModifier);
  QCoreApplication::sendEvent(control(212), &back);
  ASSERT_TRUE(first->hasFocus());
  EXPECT_EQ(first->selectedText().toStdString(), "1.25");
  d.Destroy();
}

}  // namespace
