// Platform-internal state of windows and the Qt widgets behind them.  Only
// platform/ sources include this header.
#pragma once

#include <QMainWindow>
#include <QPointer>
#include <QWidget>

#include <map>
#include <string>
#include <vector>

#include "platform/bitmap.h"
#include "platform/window.h"

class QAction;
namespace plat {
class MenuBarRows;
}
class QDialog;
class QMenu;
class QTimer;

namespace plat {

class Window;

// The widget that shows a window's client surface and turns Qt's input
// events into the window's hooks.
class ClientWidget : public QWidget {
 public:
  ClientWidget(Window* owner, QWidget* parent);
  Window* Owner() const { return owner_; }
  // The window is gone; the widget only waits for its deferred deletion.
  void Detach() { owner_ = nullptr; }
  // Runs the window's pending paint when control returns to the event loop.
  void SchedulePaint();
  // Asks the toolkit to copy the surface to the screen.
  void Flush() {
    flushPending_ = true;
    update();
  }
  // True while a paint of the window or a copy of its surface to the screen
  // is still to come (only for a widget the screen shows).
  bool PaintWaiting() const;

 protected:
  void paintEvent(QPaintEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
  void mouseDoubleClickEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;
  void focusInEvent(QFocusEvent* e) override;
  void dragEnterEvent(QDragEnterEvent* e) override;
  void dropEvent(QDropEvent* e) override;

 private:
  Window* owner_;
  bool paintScheduled_ = false;
  bool flushPending_ = false;
};

// A top-level frame: menu bar plus client area.
class FrameWidget : public QMainWindow {
 public:
  explicit FrameWidget(Window* owner);
  Window* Owner() const { return owner_; }
  void Detach() { owner_ = nullptr; }
  MenuBarRows* Bar() const { return bar_; }

 protected:
  void closeEvent(QCloseEvent* e) override;
  void changeEvent(QEvent* e) override;
  void moveEvent(QMoveEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;

 private:
  Window* owner_;
  MenuBarRows* bar_;
};

// The menu bar of a frame widget, or null.
MenuBarRows* MenuBarOf(QWidget* frame);

struct MenuItemState {
  QAction* action = nullptr;
  bool checked = false;
  bool directlyDisabled = false;
  std::string text;
};

// State of a dialog: its controls by id and how it ended.
struct DialogData {
  std::map<int, QPointer<QWidget>> controls;
  std::map<int, std::vector<int>> radioGroups;  // first id of a group -> members
  std::map<int, int> textLimits;
  bool modal = false;
  bool ended = false;
  int result = 0;
  bool inResponder = false;
};

struct Window::Impl {
  Window* self = nullptr;
  std::string caption;
  std::vector<Window*> children;  // child and owned windows (dialogs too)
  Window* client = nullptr;       // child window filling the client area
  bool childOfClientArea = false;
  bool created = false;
  bool destroyed = false;
  bool acceptDrops = false;
  bool isDialog = false;
  std::string iconName;

  QPointer<QWidget> frame;           // top-level widget (FrameWidget or QDialog) or child widget
  QPointer<ClientWidget> clientArea; // shows the surface (null for dialogs)

  Bitmap surface{1, 1};
  Colour background = Rgb(255, 255, 255);
  bool invalid = false;
  bool eraseOnPaint = false;
  bool painting = false;

  Rect normalRect{0, 0, 0, 0};
  bool haveNormalRect = false;
  Rect pendingGeometry{0, 0, 0, 0};
  bool havePendingGeometry = false;
  // A window rectangle asked for while the window was hidden: the toolkit
  // places a frame's corner exactly only once it is on the screen, so Show()
  // applies the rectangle again.
  Rect hiddenFrameRect{0, 0, 0, 0};
  bool haveHiddenFrameRect = false;
  int pendingShow = -1;

  std::string menuName;
  std::string accelName;
  std::map<int, MenuItemState> menuItems;
  std::vector<QMenu*> popups;
  std::vector<QMenu*> topMenus;

  std::map<unsigned, QTimer*> timers;
  DialogData dialog;  // used by dialogs only

  // Runs the pending paint into the surface.
  void PaintPending();
  void ClientResized(int width, int height);
  void ApplyMenuStates(QMenu* menu);
  void ApplyAllMenuStates();
  void BuildMenuBar();
  void KeyPressed(unsigned vk, unsigned modifiers, unsigned ch);
};

// Qt key event to virtual key, modifiers and typed character.
void TranslateKey(const QKeyEvent* e, unsigned& vk, unsigned& modifiers, unsigned& ch);
unsigned MouseKeysOf(Qt::MouseButtons buttons, Qt::KeyboardModifiers mods);

// The window a widget belongs to (walking up the parents), or null.
Window* WindowOfWidget(QObject* o);

// The dialog a native dialog widget shows, or null.
class Dialog;
Dialog* DialogOfWidget(QObject* o);

// Destroyed windows are deleted when control returns to the event loop.
void ScheduleDelete(Window* w);
void ForgetScheduledDelete(Window* w);

// Input held back while the program polls (platform/poll.cpp).
bool IsPolling();
void QueueKey(Window* w, unsigned vk, unsigned modifiers, unsigned ch);
// Queues what the window's poll reads as the stop key "A" (65).
void QueueStop(Window* w);
// Closes every opened menu and other pop-up; true when one was open.
bool ClosePopups();
// Notes that the event handled now, the outermost work, is a key press.
void NoteWorkStartedByKey();
bool HandleEventWhilePolling(QObject* target, QEvent* e);
void ForgetPollQueues(Window* w);
// While a modal dialog runs its own event loop, the work that opened it
// waits: each event that loop handles is work of its own, and the work
// goes on afresh once the dialog has ended.
class ModalLoopScope {
 public:
  ModalLoopScope();
  ~ModalLoopScope();
  ModalLoopScope(const ModalLoopScope&) = delete;
  ModalLoopScope& operator=(const ModalLoopScope&) = delete;

 private:
  int depth_;
  bool byKey_;
};
// True while a command, a paint or a DC has not returned beneath the event
// handled now: its polls process the events.  A modal dialog waiting for the
// user leaves nothing beneath its own events.
bool WorkBeneathThisEvent();
// Runs the dialog's own event loop (QDialog::exec) in such a scope.
int RunModal(QDialog& dialog);
// True while w itself polls (its timers still run then).
bool IsPollingWindow(const Window* w);
// Runs the window's timer handler unless it is destroyed or another
// window's poll is holding events back.
void DeliverTimer(Window* w, unsigned id);

}  // namespace plat
