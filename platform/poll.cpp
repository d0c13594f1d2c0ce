// Keyboard and mouse polling for long work that runs inside a command
// handler.  While a poll processes events, user input is held back from
// every window: key presses of the program and mouse events of the polling
// window are queued for the poll, everything else (menus, clicks in other
// windows, closing) waits for the work to end, so no other command starts
// in the middle of the work.  Work that the user started (a command, or a
// key the program handles) has the keyboard: an opened menu or other
// pop-up is closed before it runs, so that the key that stops it is never
// taken by the pop-up.
#include <QApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <deque>
#include <map>
#include <memory>
#include <string>
#include <vector>
#include <thread>

#include "platform/app.h"
#include "platform/keys.h"
#include "platform/testing.h"
#include "platform/testing_impl.h"
#include "platform/ui_log.h"
#include "platform/window.h"
#include "platform/window_impl.h"

namespace plat {

namespace {

struct KeyMsg {
  unsigned vk = 0;
  unsigned modifiers = 0;
  unsigned ch = 0;
  bool stop = false;  // read as the stop key "A" (a close request)
};

Window* g_polling = nullptr;
int g_pollDepth = 0;
std::map<Window*, std::deque<KeyMsg>> g_keys;
std::map<Window*, std::deque<MouseEvent>> g_mouse;
constexpr size_t kMaxQueued = 4096;

// Marks the window as the one whose work polls, for the scope's life.
class PollScope {
 public:
  explicit PollScope(Window& w) : previous_(g_polling) {
    g_polling = &w;
    ++g_pollDepth;
  }
  ~PollScope() {
    --g_pollDepth;
    g_polling = previous_;
  }
  PollScope(const PollScope&) = delete;
  PollScope& operator=(const PollScope&) = delete;

 private:
  Window* previous_;
};

// The work clock, in steady nanoseconds.  A poll spins the event loop at
// most every kEventsEvery, counted from the start of the outermost piece of
// work or the last time events were processed: a paint or a sampling loop
// that ends sooner processes no events at all, and long work still reads a
// key within a few milliseconds.  What long work drew on its client surface
// reaches the screen only after the work has run kFirstShown, then at most
// every kShownEvery (a DC the work holds open across its polls schedules its
// own copy only when it closes).
using Clock = std::chrono::steady_clock;
constexpr std::int64_t kEventsEvery = 5'000'000;
constexpr std::int64_t kFirstShown = 100'000'000;
constexpr std::int64_t kShownEvery = 20'000'000;
std::int64_t g_workStart = 0;
int g_workDepth = 0;
// The outermost work is the handling of a key press: whatever that key
// started belongs to the user, who waits for it and stops it with a key.
bool g_workByKey = false;
std::int64_t g_eventsProcessed = 0;
std::int64_t g_surfaceShown = 0;

std::int64_t SteadyNanoseconds() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now().time_since_epoch()).count();
}

void ShowDrawnSurface(Window& w, std::int64_t now) {
  if (now - g_workStart < kFirstShown || now - g_surfaceShown < kShownEvery) return;
  g_surfaceShown = now;
  if (QWidget* client = w.impl()->clientArea.data()) client->update();
}

// Processes events when `force` is set or the interval has passed.
void ProcessWhilePolling(Window& w, bool force = false) {
  if (!App::Exists()) return;
  const std::int64_t now = SteadyNanoseconds();
  if (!force && now - std::max(g_workStart, g_eventsProcessed) < kEventsEvery) return;
  ShowDrawnSurface(w, now);
  // A key typed into an open menu may start work (an accelerator the menu
  // passes on to its window): the work gets the keyboard, not the menu.
  if (g_workByKey) ClosePopups();
  PollScope scope(w);
  QCoreApplication::processEvents(QEventLoop::AllEvents);
  g_eventsProcessed = SteadyNanoseconds();
}

void PushMouse(Window* w, const MouseEvent& e) {
  auto& q = g_mouse[w];
  // Consecutive moves collapse into the latest one.
  if (e.type == MouseEvent::Move && !q.empty() && q.back().type == MouseEvent::Move) {
    q.back() = e;
    return;
  }
  if (q.size() < kMaxQueued) q.push_back(e);
}

// Closes the frame's window once no poll runs any more: a close request
// that arrived during long work ends that work first (see the Close case
// below).  Retried every 50 ms while some work still polls.
void CloseWhenIdle(QWidget* frame) {
  QPointer<QWidget> f(frame);
  QTimer::singleShot(50, frame, [f] {
    if (!f) return;
    if (g_pollDepth > 0 || g_polling) {
      CloseWhenIdle(f.data());
      return;
    }
    if (Window* w = WindowOfWidget(f.data()); w && !w->IsDestroyed()) w->CloseWindow();
  });
}

}  // namespace

WorkScope::WorkScope() {
  if (g_workDepth++ == 0) {
    g_workStart = SteadyNanoseconds();
    g_workByKey = false;
  }
}
WorkScope::~WorkScope() { --g_workDepth; }

void NoteWorkStartedByKey() {
  if (g_workDepth == 1) g_workByKey = true;
}

ModalLoopScope::ModalLoopScope() : depth_(g_workDepth), byKey_(g_workByKey) {
  g_workDepth = 0;
  g_workByKey = false;
}
ModalLoopScope::~ModalLoopScope() {
  g_workDepth = depth_;
  g_workByKey = byKey_;
  g_workStart = SteadyNanoseconds();
}

bool ClosePopups() {
  bool closed = false;
  // A submenu closes before the menu that opened it; the bound guards
  // against a pop-up that refuses to close.
  for (int k = 0; k < 32; ++k) {
    QWidget* popup = QApplication::activePopupWidget();
    if (!popup) break;
    popup->close();
    closed = true;
  }
  return closed;
}

int RunModal(QDialog& dialog) {
  ModalLoopScope scope;
  return dialog.exec();
}

bool IsPolling() { return g_pollDepth > 0; }
// The event handled now counts once (Application::notify opens its scope);
// a modal dialog's loop counts from nought again.
bool WorkBeneathThisEvent() { return g_workDepth > 1 || g_pollDepth > 0; }
bool IsPollingWindow(const Window* w) { return w && w == g_polling; }

void QueueKey(Window* w, unsigned vk, unsigned modifiers, unsigned ch) {
  auto& q = g_keys[w];
  if (q.size() < kMaxQueued) q.push_back(KeyMsg{vk, modifiers, ch});
}

void QueueStop(Window* w) {
  auto& q = g_keys[w];
  if (q.size() < kMaxQueued) q.push_back(KeyMsg{0, 0, 0, true});
}

namespace {

// The top-level widget behind a native window, or the widget itself.
QWidget* WidgetOf(QObject* target) {
  if (auto* native = qobject_cast<QWindow*>(target)) {
    for (QWidget* top : QApplication::topLevelWidgets())
      if (top->windowHandle() == native) return top;
    return nullptr;
  }
  return qobject_cast<QWidget*>(target);
}

// Queues a mouse event for the polling window's client area.  Events from
// the windowing system arrive at the native window first, in its
// coordinates; moves and releases count wherever the pointer is (the work
// holds the mouse, as a captured window would), presses only inside the
// client area.
bool QueueMouseWhilePolling(QObject* target, QMouseEvent* me) {
  Window* w = g_polling;
  QWidget* client = w ? w->impl()->clientArea.data() : nullptr;
  QWidget* widget = WidgetOf(target);
  if (!client || !widget || WindowOfWidget(widget) != w || DialogOfWidget(widget)) return false;
  const QPoint at = client->mapFromGlobal(me->globalPosition().toPoint());
  const bool press = me->type() == QEvent::MouseButtonPress || me->type() == QEvent::MouseButtonDblClick;
  if (press && !client->rect().contains(at)) return false;
  MouseEvent m;
  m.x = at.x();
  m.y = at.y();
  m.keys = MouseKeysOf(me->buttons(), me->modifiers());
  const bool left = me->button() == Qt::LeftButton;
  switch (me->type()) {
    case QEvent::MouseButtonPress: m.type = left ? MouseEvent::LButtonDown : MouseEvent::RButtonDown; break;
    case QEvent::MouseButtonRelease: m.type = left ? MouseEvent::LButtonUp : MouseEvent::RButtonUp; break;
    case QEvent::MouseButtonDblClick: m.type = left ? MouseEvent::LButtonDblClk : MouseEvent::RButtonDown; break;
    default: m.type = MouseEvent::Move; break;
  }
  PushMouse(w, m);
  return true;
}

// Clicks and close requests that the work does not read wait until it has
// returned to the event loop, as they would wait in a message queue: then
// a click on a menu opens it, instead of starting a command in the middle
// of the work or being lost.
struct DeferredEvent {
  QPointer<QObject> target;
  std::unique_ptr<QEvent> event;
};
std::vector<DeferredEvent> g_deferred;
bool g_replayScheduled = false;
constexpr std::size_t kMaxDeferred = 64;

void ScheduleReplay() {
  if (g_replayScheduled) return;
  g_replayScheduled = true;
  QTimer::singleShot(20, QCoreApplication::instance(), [] {
    g_replayScheduled = false;
    if (g_pollDepth > 0 || g_polling) {
      ScheduleReplay();
      return;
    }
    std::vector<DeferredEvent> events = std::move(g_deferred);
    g_deferred.clear();
    for (DeferredEvent& d : events)
      if (d.target) QCoreApplication::sendEvent(d.target.data(), d.event.get());
  });
}

void Defer(QObject* target, QEvent* e) {
  if (g_deferred.size() >= kMaxDeferred) return;
  g_deferred.push_back(DeferredEvent{target, std::unique_ptr<QEvent>(e->clone())});
  ScheduleReplay();
}

}  // namespace

// While work polls, every key press of the program belongs to that work,
// wherever the focus is (the plot window, its native window, a tool or
// slider dialog): long work is started from dialogs as often as from the
// window, and the keys that steer or stop it (A, Space, L, S) must reach it
// whichever of the program's windows has the focus.  The first object that
// sees the press (the native window, for presses from the windowing system)
// queues and swallows it, so it is queued once.
bool HandleEventWhilePolling(QObject* target, QEvent* e) {
  switch (e->type()) {
    case QEvent::KeyPress: {
      // A menu the user opened before work that he did not start (a
      // window repainting behind it) keeps the keyboard: its keys wait for
      // the work to end.  Work a command or key started closed the menus
      // first (ClosePopups).
      if (QApplication::activePopupWidget()) {
        Defer(target, e);
        return true;
      }
      if (g_polling) {
        unsigned vk, mods, ch;
        TranslateKey(static_cast<QKeyEvent*>(e), vk, mods, ch);
        if (vk || ch) {
          QueueKey(g_polling, vk, mods, ch);
          // When the work got the key, for drivers that measure how soon
          // it answers.
          if (UiLogOn())
            LogEvent("typed " + std::to_string(ch ? ch : vk) + " " + std::to_string(TickMilliseconds()));
        }
      }
      return true;
    }
    case QEvent::ShortcutOverride:
      // Accepted, so that no shortcut (a menu bar's Alt+letter) consumes the
      // key: it arrives as a key press and is queued above.
      e->accept();
      return true;
    case QEvent::MouseMove:
      QueueMouseWhilePolling(target, static_cast<QMouseEvent*>(e));
      return true;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
      if (!QueueMouseWhilePolling(target, static_cast<QMouseEvent*>(e))) Defer(target, e);
      return true;
    case QEvent::Close: {
      // Closing the window whose work polls ends that work (as the stop
      // key "A" does) and then closes it; other windows wait until the
      // work is done.  The request reaches the native window before its
      // widget.
      QWidget* widget = WidgetOf(target);
      Window* w = widget ? WindowOfWidget(widget) : nullptr;
      if (w && w == g_polling && widget == w->impl()->frame.data()) {
        QueueStop(w);
        CloseWhenIdle(widget);
      } else {
        Defer(target, e);
      }
      return true;
    }
    case QEvent::KeyRelease:
    case QEvent::Wheel:
    case QEvent::Shortcut:
    case QEvent::ContextMenu:
    case QEvent::Drop:
      return true;
    default:
      return false;
  }
}

namespace {

// The code long work reads for the key: the upper-cased character, else
// the control character or the virtual key.
int CodeOfKey(const KeyMsg& k) {
  if (k.ch) {
    unsigned c = k.ch;
    if (c >= 'a' && c <= 'z') c -= 32;
    return static_cast<int>(c);
  }
  // Ctrl with a letter types a control character (Ctrl+Q is 17), which
  // long work reads like any other character.
  if (k.vk >= 'A' && k.vk <= 'Z' && (k.modifiers & MOD_CONTROL) && !(k.modifiers & MOD_ALT))
    return static_cast<int>(k.vk - 'A' + 1);
  return static_cast<int>(k.vk);
}

}  // namespace

int PollKey(Window& w) {
  ProcessWhilePolling(w);
  auto it = g_keys.find(&w);
  if (it == g_keys.end() || it->second.empty()) return 0;
  KeyMsg k = it->second.front();
  it->second.pop_front();
  const int accelerator = k.vk ? w.FindAccelerator(k.vk, k.modifiers) : 0;
  const int code = accelerator || k.stop ? 65 : CodeOfKey(k);
  // Logged before an accelerator's command runs, which may close the window.
  if (code && UiLogOn()) NoteKeyRead(w, code);
  if (accelerator) w.Command(accelerator);
  return code;
}

bool PollMouse(Window& w, MouseEvent& out) {
  ProcessWhilePolling(w);
  auto it = g_mouse.find(&w);
  if (it == g_mouse.end() || it->second.empty()) return false;
  out = it->second.front();
  it->second.pop_front();
  return true;
}

void FlushKeys(Window& w) { g_keys.erase(&w); }

void Delay(Window& w, int milliseconds) {
  if (testing::internal::FakeTicksOn()) {
    ProcessWhilePolling(w, true);
    // What happens at the fake ticks happens while the work polls, as real
    // events would arrive during the wait.
    PollScope scope(w);
    testing::AdvanceTicks(milliseconds);
    return;
  }
  // Counted on the steady clock's own resolution, so that the wait is
  // never shorter than asked (whole milliseconds would lose the fraction
  // of the first one).
  const std::int64_t end = SteadyNanoseconds() + std::int64_t{std::max(milliseconds, 0)} * 1'000'000;
  for (;;) {
    ProcessWhilePolling(w, true);
    const std::int64_t left = end - SteadyNanoseconds();
    if (left <= 0) break;
    std::this_thread::sleep_for(std::chrono::nanoseconds(std::min<std::int64_t>(left, 5'000'000)));
  }
}

bool MouseButtonHeld() { return QGuiApplication::mouseButtons() != Qt::NoButton; }

void ForgetPollQueues(Window* w) {
  g_keys.erase(w);
  g_mouse.erase(w);
}

namespace testing {

void InjectKey(Window& w, unsigned vk, unsigned modifiers, unsigned ch) {
  if (ch == 0 && vk >= 'A' && vk <= 'Z' && !(modifiers & (MOD_CONTROL | MOD_ALT)))
    ch = (modifiers & MOD_SHIFT) ? vk : vk + 32;
  if (ch == 0 && vk == VK_SPACE) ch = ' ';
  QueueKey(&w, vk, modifiers, ch);
}

void InjectMouse(Window& w, const MouseEvent& e) { g_mouse[&w].push_back(e); }

void RequestClose(Window& w) {
  if (QWidget* f = w.impl()->frame.data()) f->close();
}

void TypeKey(unsigned vk, unsigned modifiers) {
  int key = 0;
  QString text;
  if (vk >= 'A' && vk <= 'Z') {
    key = Qt::Key_A + static_cast<int>(vk - 'A');
    text = QChar((modifiers & MOD_SHIFT) ? vk : vk + 32);
  } else if (vk >= '0' && vk <= '9') {
    key = Qt::Key_0 + static_cast<int>(vk - '0');
    text = QChar(vk);
  } else if (vk >= VK_F1 && vk < VK_F1 + 12) {
    key = Qt::Key_F1 + static_cast<int>(vk - VK_F1);
  } else {
    switch (vk) {
      case VK_ESCAPE: key = Qt::Key_Escape; text = QChar(27); break;
      case VK_SPACE: key = Qt::Key_Space; text = QChar(' '); break;
      case VK_RETURN: key = Qt::Key_Return; text = QChar(13); break;
      case VK_LEFT: key = Qt::Key_Left; break;
      case VK_RIGHT: key = Qt::Key_Right; break;
      case VK_UP: key = Qt::Key_Up; break;
      case VK_DOWN: key = Qt::Key_Down; break;
      default: return;
    }
  }
  Qt::KeyboardModifiers mods;
  if (modifiers & MOD_SHIFT) mods |= Qt::ShiftModifier;
  if (modifiers & MOD_CONTROL) mods |= Qt::ControlModifier;
  if (modifiers & MOD_ALT) mods |= Qt::AltModifier;
  // A control key types its control character, as the windowing system's
  // keys do.
  if ((modifiers & MOD_CONTROL) && vk >= 'A' && vk <= 'Z') text = QChar(static_cast<int>(vk - 'A' + 1));
  QWidget* holder = QApplication::activePopupWidget();
  if (!holder) holder = QApplication::activeModalWidget();
  if (!holder) holder = QApplication::focusWidget();
  if (!holder) holder = QApplication::activeWindow();
  if (!holder) return;
  QCoreApplication::postEvent(holder, new QKeyEvent(QEvent::KeyPress, key, mods, text));
  QCoreApplication::postEvent(holder, new QKeyEvent(QEvent::KeyRelease, key, mods, text));
}

bool PopupOpen() { return QApplication::activePopupWidget() != nullptr; }

}  // namespace testing
}  // namespace plat
