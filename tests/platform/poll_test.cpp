// What the polls of long work cost short work: a paint or loop that ends
// within a few milliseconds processes no events and copies nothing to the
// screen; long work, counted from its outermost start, reads keys every few
// milliseconds and shows its surface after a tenth of a second.  Keys for
// an opened menu are not the work's.  The event log says "idle" only once
// the work has returned.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCoreApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QTimer>
#include <QWidget>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>

#include "platform/app.h"
#include "platform/window.h"
#include "platform/ui_log.h"
#include "platform/window_impl.h"
#include "support/temp_dir.h"

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

// Notes when the watched widget first receives an event of one type, and
// how many it receives.
class EventWatch : public QObject {
 public:
  EventWatch(QObject* watched, QEvent::Type type) : type_(type) { watched->installEventFilter(this); }
  int count = 0;
  std::optional<Clock::time_point> first;

 protected:
  bool eventFilter(QObject*, QEvent* e) override {
    if (e->type() == type_) {
      ++count;
      if (!first) first = Clock::now();
    }
    return false;
  }

 private:
  QEvent::Type type_;
};

plat::Window* ShownWindow(const char* caption) {
  auto* w = new plat::Window(nullptr, caption);
  w->Create();
  w->MoveWindow(10, 10, 300, 200);
  w->Show(plat::SW_SHOW);
  // Let showing, exposing and the first paint end before the work begins.
  for (int i = 0; i < 5; ++i) plat::App::ProcessEvents();
  return w;
}

TEST(WorkClock, ShortWorkLeavesTheEventLoopAloneAndLongWorkReadsKeysAndShowsItsSurface) {
  plat::Window* w = ShownWindow("work");
  QWidget* client = w->impl()->clientArea.data();
  ASSERT_NE(client, nullptr);
  EventWatch paints(client, QEvent::Paint);
  std::optional<Clock::time_point> timerRan;
  QTimer::singleShot(0, client, [&] { timerRan = Clock::now(); });
  // A key the user presses as the work starts.
  QCoreApplication::postEvent(client, new QKeyEvent(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, "a"));
  {
    plat::WorkScope work;  // as when an event handler or a paint starts
    const Clock::time_point start = Clock::now();
    int key = plat::PollKey(*w);
    if (Clock::now() - start < milliseconds(4)) {
      // A paint that ends now has spun no event loop and shown nothing.
      EXPECT_EQ(key, 0);
      EXPECT_FALSE(timerRan);
      EXPECT_EQ(paints.count, 0);
    }
    std::optional<Clock::time_point> keyRead;
    if (key == 'A') keyRead = Clock::now();
    while (Clock::now() - start < milliseconds(3000) && (!keyRead || paints.count == 0)) {
      if (plat::PollKey(*w) == 'A' && !keyRead) keyRead = Clock::now();
    }
    ASSERT_TRUE(keyRead) << "long work reads the key";
    EXPECT_GE(*keyRead - start, milliseconds(5));
    EXPECT_LT(*keyRead - start, milliseconds(1000));
    ASSERT_TRUE(timerRan);
    EXPECT_GE(*timerRan - start, milliseconds(5));
    ASSERT_GT(paints.count, 0) << "long work shows its surface";
    EXPECT_GE(*paints.first - start, milliseconds(100));
    // After the first copy the surface is shown at most every 20 ms.
    const int shown = paints.count;
    const Clock::time_point later = Clock::now();
    while (Clock::now() - later < milliseconds(200)) plat::PollKey(*w);
    EXPECT_LE(paints.count - shown, 200 / 20 + 1);
  }
  w->Destroy();
  plat::App::DeleteDestroyedWindows();
}

TEST(WorkClock, LongWorkMadeOfShortPaintsStillShowsItsProgress) {
  plat::Window* w = ShownWindow("frames");
  EventWatch paints(w->impl()->clientArea.data(), QEvent::Paint);
  plat::WorkScope work;  // a tour, say, that paints frame after frame
  const Clock::time_point start = Clock::now();
  while (Clock::now() - start < milliseconds(3000) && paints.count == 0) {
    {
      plat::WorkScope paint;  // each frame's paint, and all its polls, belong to the tour
      plat::PollKey(*w);
    }
  }
  EXPECT_GT(paints.count, 0);
  w->Destroy();
  plat::App::DeleteDestroyedWindows();
}

TEST(WorkClock, WhatAModalDialogsLoopHandlesIsWorkOfItsOwn) {
  plat::Window* w = ShownWindow("modal");
  QWidget* client = w->impl()->clientArea.data();
  int timersRun = 0;
  plat::WorkScope command;  // a command that has run for a while, then asks
  const Clock::time_point start = Clock::now();
  while (Clock::now() - start < milliseconds(20)) plat::PollKey(*w);
  {
    plat::ModalLoopScope dialog;
    plat::WorkScope paint;  // a paint the dialog's loop runs
    QTimer::singleShot(0, client, [&] { ++timersRun; });
    const Clock::time_point paintStart = Clock::now();
    plat::PollKey(*w);
    if (Clock::now() - paintStart < milliseconds(4)) {
      EXPECT_EQ(timersRun, 0);
    }
  }
  // The command goes on afresh after the dialog, and on until it polls
  // again after a few milliseconds.
  const Clock::time_point after = Clock::now();
  plat::PollKey(*w);
  if (Clock::now() - after < milliseconds(4)) {
    EXPECT_EQ(timersRun, 0);
  }
  while (Clock::now() - after < milliseconds(3000) && timersRun == 0) plat::PollKey(*w);
  EXPECT_EQ(timersRun, 1);
  w->Destroy();
  plat::App::DeleteDestroyedWindows();
}

TEST(Polling, AKeyForAnOpenedMenuReachesItOnceTheWorkHasEnded) {
  plat::Window* w = ShownWindow("menu");
  QMenu menu;
  menu.addAction("Eintrag");
  menu.popup(QPoint(40, 40));
  for (int i = 0; i < 3; ++i) plat::App::ProcessEvents();
  ASSERT_TRUE(menu.isVisible());
  // A paint that starts while the menu is open, and Escape meant for the menu.
  QCoreApplication::postEvent(&menu, new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier));
  {
    plat::WorkScope paint;
    const Clock::time_point start = Clock::now();
    while (Clock::now() - start < milliseconds(50)) EXPECT_EQ(plat::PollKey(*w), 0);
  }
  EXPECT_TRUE(menu.isVisible()) << "the key waits for the work to end";
  const Clock::time_point after = Clock::now();
  while (menu.isVisible() && Clock::now() - after < milliseconds(2000)) plat::App::ProcessEvents();
  EXPECT_FALSE(menu.isVisible()) << "Escape closed the menu";
  w->Destroy();
  plat::App::DeleteDestroyedWindows();
}

// Work that a key started has the keyboard, also when a menu was open as
// the key came: the menu closes at the work's first poll, and the stop key
// typed then reaches the work rather than waiting for it.
TEST(Polling, WorkAKeyStartedUnderAnOpenMenuGetsItsStopKey) {
  struct Looper : plat::Window {
    using plat::Window::Window;
    void EvChar(unsigned ch) override {
      if (ch != 'g') return;
      const Clock::time_point start = Clock::now();
      while (Clock::now() - start < milliseconds(2000))
        if (plat::PollKey(*this) == 'A') {
          stopped = true;
          return;
        }
    }
    bool stopped = false;
  };
  auto* w = new Looper(nullptr, "loop");
  w->Create();
  w->MoveWindow(10, 10, 300, 200);
  w->Show(plat::SW_SHOW);
  for (int i = 0; i < 5; ++i) plat::App::ProcessEvents();
  QWidget* client = w->impl()->clientArea.data();
  QMenu menu;
  menu.addAction("Eintrag");
  menu.popup(QPoint(40, 40));
  for (int i = 0; i < 3; ++i) plat::App::ProcessEvents();
  ASSERT_TRUE(menu.isVisible());
  // "A" is typed a moment later into whatever has the keyboard then.
  QTimer::singleShot(50, client, [&] {
    QWidget* holder = QApplication::activePopupWidget() ? QApplication::activePopupWidget() : client;
    QCoreApplication::postEvent(holder, new QKeyEvent(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, "a"));
  });
  QCoreApplication::postEvent(client, new QKeyEvent(QEvent::KeyPress, Qt::Key_G, Qt::NoModifier, "g"));
  plat::App::ProcessEvents();
  EXPECT_TRUE(w->stopped) << "the key went to the menu";
  EXPECT_FALSE(menu.isVisible());
  w->Destroy();
  plat::App::DeleteDestroyedWindows();
}

// The event log of the test, in a fresh file, for the scope's life.
class EventLogFile {
 public:
  EventLogFile() : path_(kvtest::MakeTempDir("events") + "events.log") {
    if (const char* p = std::getenv("KURVATO_EVENT_LOG")) before_ = p;
    ::setenv("KURVATO_EVENT_LOG", path_.c_str(), 1);
  }
  ~EventLogFile() { ::setenv("KURVATO_EVENT_LOG", before_.c_str(), 1); }
  bool Has(const std::string& line) const {
    std::ifstream in(path_);
    std::string l;
    while (std::getline(in, l))
      if (l == line) return true;
    return false;
  }
  // Processes events, outside any work, until the line is logged.
  bool Awaits(const std::string& line) const {
    const Clock::time_point start = Clock::now();
    while (!Has(line) && Clock::now() - start < milliseconds(2000)) plat::App::ProcessEvents();
    return Has(line);
  }

 private:
  std::string path_;
  std::string before_;
};

// A command that returns inside long work (an accelerator its poll ran)
// leaves the work running: "idle" waits for the work to return.  A modal
// dialog waiting for the user is idle, whatever work opened it.
TEST(Polling, IdleIsLoggedOnlyOnceNoWorkRuns) {
  plat::Window* w = ShownWindow("idle");
  {
    EventLogFile log;
    {
      plat::WorkScope command;
      plat::NoteCommandDone(1, 2);
      plat::Delay(*w, 300);
      EXPECT_TRUE(log.Has("done 1 2"));
      EXPECT_FALSE(log.Has("idle")) << "idle while long work polls";
    }
    EXPECT_TRUE(log.Awaits("idle")) << "no idle after the work";
  }
  {
    EventLogFile log;
    plat::WorkScope command;
    plat::ModalLoopScope dialog;
    plat::NoteCommandDone(1, 3);
    EXPECT_TRUE(log.Awaits("idle")) << "no idle while a modal dialog waits";
  }
  w->Destroy();
  plat::App::DeleteDestroyedWindows();
}

}  // namespace
