// Event-log lines describing what is on the screen, for drivers that click
// and type into the running program as a user would.  Coordinates of menu
// bars and dialogs are relative to their top-level native window (whose id
// is logged), so they stay right when a window manager moves the window;
// coordinates of opened menus are global, as the toolkit places them.
//
//   menubar <window id> <menu resource> <count> <x>,<y>   again when moved, resized or changed;
//                                      <x>,<y>: the window's place on the screen
//   bar <index> <id> <x>,<y>,<w>,<h> <e|d> <text>
//   popup <x>,<y>,<w>,<h> <count> <ms> <title>   a menu is shown (steady clock)
//   popdown <title>                    an opened menu closed
//   item <id> <x>,<y>,<w>,<h> <flags> <text>     flags: e|d, c|u|-, s|.
//   dialog <window id> <template> <count> <caption>   (again after a resize)
//   control <id> <kind> <x>,<y>,<w>,<h> <hint w>,<hint h> <v|h> <text>
//   focus <window id> <control id>     a dialog control got the input focus
//   command <window id> <id>           a command's handler starts
//   refused <window id> <id>           a command its enabler greys
//   done <window id> <id>              the handler has returned
//   clicked <window id> <control id>   a click on a dialog's button, check or radio button
//                                      was handled (after the command it ran, if any)
//   key <window id> <code> <ms>        long work read a key (its poll's code; steady clock)
//   typed <code> <ms>                  a key reached long work (steady clock)
//   family <member> <delay> <ms>       a stepped family pauses after a member
//   family stopped <ms>                a key ended a stepped family
//   film <frame> <delay> <ms>          the tour's film shows a picture (steady clock)
//   signal <number> <ms>               the program ends on the signal now (steady clock)
//   hover <text>                       the pointer rests on this item of an opened menu
//   idle                               after done, popdown or a window's opening (open): no work
//                                      runs, no paint is waiting
//   text <window id> <control id> <text>   a static of a shown dialog changed
//   select <window id> <control id> <rows> the rows selected in a list of a shown
//                                          dialog (after its dialog line, and as
//                                          they change); "-" for none
//   edit <window id> <control id> <text>   the user changed an edit's text;
//                                      in a toolkit dialog (id -1) any change of a field's text
//
// Dialogs the toolkit builds (message boxes, file, font and print dialogs)
// are logged the same way under the name their creator gave them
// (NameToolkitDialog), else their class name, and again when a control in
// them takes the focus; their controls have the id -1 and are the buttons,
// fields, lists and texts anywhere inside them, in dialog coordinates.  A
// list's text is its current row.
#include "platform/ui_log.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTabBar>
#include <QTextEdit>
#include <QTimer>
#include <QToolButton>
#include <QTreeView>
#include <QWindow>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/app.h"
#include "platform/dialog.h"
#include "platform/menu_bar.h"
#include "platform/window.h"
#include "platform/window_impl.h"

namespace plat {

namespace {

std::string RectText(const QRect& r) {
  return std::to_string(r.x()) + "," + std::to_string(r.y()) + "," + std::to_string(r.width()) + "," +
         std::to_string(r.height());
}

std::string OneLine(const QString& s) {
  std::string t = s.toStdString();
  for (char& c : t)
    if (c == '\n' || c == '\r' || c == '\t') c = ' ';
  return t;
}

// "select <window> <id> <rows>": the selected rows in ascending order,
// joined by commas, "-" for none.
void LogSelection(unsigned long window, int id, std::vector<int> rows) {
  std::sort(rows.begin(), rows.end());
  std::string text;
  for (int r : rows) text += (text.empty() ? "" : ",") + std::to_string(r);
  LogEvent("select " + std::to_string(window) + " " + std::to_string(id) + " " + (text.empty() ? "-" : text));
}

std::vector<int> SelectedRows(QAbstractItemView* v) {
  std::vector<int> rows;
  if (v->selectionModel())
    for (const QModelIndex& i : v->selectionModel()->selectedIndexes())
      if (i.column() == 0) rows.push_back(i.row());
  return rows;
}

void LogMenuBar(QMainWindow* frame) {
  MenuBarRows* bar = MenuBarOf(frame);
  if (!bar || !frame->isVisible()) return;
  const QList<QAction*>& actions = bar->Entries();
  Window* w = WindowOfWidget(frame);
  const std::string menu = w && !w->MenuName().empty() ? w->MenuName() : "-";
  LogEvent("menubar " + std::to_string(frame->winId()) + " " + menu + " " + std::to_string(actions.size()) + " " +
           std::to_string(frame->geometry().x()) + "," + std::to_string(frame->geometry().y()));
  const QPoint origin = bar->mapTo(frame, QPoint(0, 0));
  int index = 0;
  for (QAction* a : actions) {
    const QRect r = bar->EntryGeometry(a).translated(origin);
    LogEvent("bar " + std::to_string(index++) + " " + std::to_string(a->data().toInt()) + " " + RectText(r) + " " +
             (a->isEnabled() ? "e" : "d") + " " + OneLine(a->text()));
  }
}

void LogPopup(QMenu* menu) {
  const QList<QAction*> actions = menu->actions();
  int count = 0;
  for (QAction* a : actions)
    if (!a->isSeparator() && a->isVisible()) ++count;
  const QRect frame(menu->mapToGlobal(QPoint(0, 0)), menu->size());
  LogEvent("popup " + RectText(frame) + " " + std::to_string(count) + " " + std::to_string(TickMilliseconds()) + " " +
           OneLine(menu->title()));
  for (QAction* a : actions) {
    if (a->isSeparator() || !a->isVisible()) continue;
    const QRect r = menu->actionGeometry(a).translated(frame.topLeft());
    std::string flags;
    flags += a->isEnabled() ? 'e' : 'd';
    flags += !a->isCheckable() ? '-' : a->isChecked() ? 'c' : 'u';
    flags += a->menu() ? 's' : '.';
    LogEvent("item " + std::to_string(a->menu() ? 0 : a->data().toInt()) + " " + RectText(r) + " " + flags + " " +
             OneLine(a->text()));
  }
}

// Logs the item the pointer rests on in an opened menu (connected once per
// menu): a driver that moved the pointer there knows the menu has seen the
// move before it presses the button.
void WatchHover(QMenu* menu) {
  if (menu->property("kvHoverLogged").toBool()) return;
  menu->setProperty("kvHoverLogged", true);
  QObject::connect(menu, &QMenu::hovered, menu, [](QAction* a) {
    if (!a->isSeparator()) LogEvent("hover " + OneLine(a->text()));
  });
}

// Logs what the user types into the dialog's edits, keystroke by keystroke
// (connected once per edit).
void WatchEdits(QWidget* widget, Dialog& dlg) {
  for (const auto& [id, cw] : dlg.impl()->dialog.controls) {
    auto* e = qobject_cast<QLineEdit*>(cw.data());
    if (!e) {
      if (auto* c = qobject_cast<QComboBox*>(cw.data())) e = c->lineEdit();
    }
    if (!e || e->property("kvLogged").toBool()) continue;
    e->setProperty("kvLogged", true);
    const int cid = id;
    QPointer<QWidget> top(widget);
    QObject::connect(e, &QLineEdit::textEdited, e, [top, cid](const QString& t) {
      if (top && top->internalWinId())
        LogEvent("edit " + std::to_string(top->internalWinId()) + " " + std::to_string(cid) + " " + OneLine(t));
    });
  }
}

void LogControl(QWidget* w, int id, const QRect& rect) {
  const QSize hint = w->sizeHint();
  LogEvent("control " + std::to_string(id) + " " + UiControlKind(w) + " " + RectText(rect) + " " +
           std::to_string(hint.width()) + "," + std::to_string(hint.height()) + " " + (w->isVisible() ? "v" : "h") +
           " " + UiControlText(w));
}

void LogDialog(QWidget* widget, Dialog& dlg) {
  if (!widget->isVisible()) return;
  WatchEdits(widget, dlg);
  const auto& controls = dlg.impl()->dialog.controls;
  std::vector<QWidget*> kids;
  for (QObject* o : widget->children())
    if (auto* w = qobject_cast<QWidget*>(o); w && !w->isWindow()) kids.push_back(w);
  LogEvent("dialog " + std::to_string(widget->winId()) + " " + dlg.TemplateName() + " " +
           std::to_string(kids.size()) + " " + OneLine(widget->windowTitle()));
  for (QWidget* w : kids) {
    int id = -1;
    for (const auto& [cid, cw] : controls)
      if (cw.data() == w) id = cid;
    LogControl(w, id, w->geometry());
  }
  // The lists' selections follow the controls, so that a driver knows which
  // rows stand selected before it clicks one.
  for (QWidget* w : kids) {
    auto* v = qobject_cast<QAbstractItemView*>(w);
    if (!v) continue;
    for (const auto& [cid, cw] : controls)
      if (cw.data() == w) LogSelection(widget->winId(), cid, SelectedRows(v));
  }
}

// A control of one of the program's dialogs that got the focus (an edit
// inside a combo box counts as the combo box).
void LogFocus(QObject* target) {
  auto* w = qobject_cast<QWidget*>(target);
  if (!w || w->isWindow()) return;
  QWidget* top = w->window();
  Dialog* dlg = DialogOfWidget(top);
  if (!dlg || !top->internalWinId()) return;
  for (QWidget* c = w; c && c != top; c = c->parentWidget())
    for (const auto& [id, cw] : dlg->impl()->dialog.controls)
      if (cw.data() == c) {
        LogEvent("focus " + std::to_string(top->internalWinId()) + " " + std::to_string(id));
        return;
      }
}

// True while a window of the program waits for a paint or for its picture
// to reach the screen.
bool AnyPaintWaiting() {
  // The client widgets carry no meta-object of their own: found by type.
  const auto waits = [](const QWidget* w) {
    const auto* c = dynamic_cast<const ClientWidget*>(w);
    return c && c->PaintWaiting();
  };
  for (QWidget* top : QApplication::topLevelWidgets()) {
    if (waits(top)) return true;
    for (QWidget* w : top->findChildren<QWidget*>())
      if (waits(w)) return true;
  }
  return false;
}

// Logs "idle" once no work has run and no paint has waited for two ticks in
// a row after the last command; gives up after a minute of paints (work
// that keeps drawing).  The timer also fires inside the polls of long work
// (a long paint, an animation, a planet run): those ticks wait for the work
// to return.
class IdleWatch : public QObject {
 public:
  explicit IdleWatch(QObject* parent) : QObject(parent) {}
  // A window just shown (`shown`) waits to be painted until the windowing
  // system has put it on the screen: before that no paint of it is due.
  void Arm(QWidget* shown = nullptr) {
    if (shown) shown_ = shown;
    quietTicks_ = 0;
    ticks_ = 0;
    if (!timer_) {
      timer_ = new QTimer(this);
      timer_->setInterval(5);
      QObject::connect(timer_, &QTimer::timeout, this, [this] { Tick(); });
    }
    timer_->start();
  }

 private:
  void Tick() {
    if (WorkBeneathThisEvent()) {
      quietTicks_ = 0;
      return;
    }
    if (shown_ && shown_->windowHandle() && shown_->windowHandle()->isExposed()) shown_ = nullptr;
    quietTicks_ = shown_ || AnyPaintWaiting() ? 0 : quietTicks_ + 1;
    if (quietTicks_ >= 2) {
      timer_->stop();
      LogEvent("idle");
    } else if (++ticks_ > 12000) {
      timer_->stop();
      shown_ = nullptr;
    }
  }
  QPointer<QWidget> shown_;
  QTimer* timer_ = nullptr;
  int quietTicks_ = 0;
  int ticks_ = 0;
};

// Logs "idle" once no work runs and nothing waits to be painted any more
// (nor `shown` to be put on the screen).
void ArmIdleWatch(QWidget* shown = nullptr) {
  static QPointer<IdleWatch> watch;
  if (!watch) watch = new IdleWatch(qApp);
  watch->Arm(shown);
}

constexpr const char* kToolkitDialogName = "kurvatoDialogName";

// The controls of a dialog the toolkit builds, found anywhere inside it:
// frames, splitters, group boxes and button boxes are looked into, a
// control (a combo box with its edit, a list with its scroll bars) is not.
void CollectToolkitControls(QWidget* parent, std::vector<QWidget*>& out) {
  for (QObject* o : parent->children()) {
    auto* w = qobject_cast<QWidget*>(o);
    if (!w || w->isWindow()) continue;
    if (std::string(UiControlKind(w)) != "space")
      out.push_back(w);
    else
      CollectToolkitControls(w, out);
  }
}

// Logs every change of the text of a field in a dialog the toolkit builds,
// typed or not (connected once per field): a driver sees what the field
// holds before it presses Enter, also when the dialog changed it.
void WatchToolkitEdits(QWidget* dialog, const std::vector<QWidget*>& controls) {
  for (QWidget* w : controls) {
    auto* e = qobject_cast<QLineEdit*>(w);
    if (auto* c = qobject_cast<QComboBox*>(w)) e = c->lineEdit();
    if (!e || e->property("kvLogged").toBool()) continue;
    e->setProperty("kvLogged", true);
    QPointer<QWidget> top(dialog);
    QObject::connect(e, &QLineEdit::textChanged, e, [top](const QString& t) {
      if (top && top->internalWinId())
        LogEvent("edit " + std::to_string(top->internalWinId()) + " -1 " + OneLine(t));
    });
  }
}

void LogToolkitDialog(QWidget* dialog) {
  if (!dialog->isVisible()) return;
  std::vector<QWidget*> controls;
  CollectToolkitControls(dialog, controls);
  WatchToolkitEdits(dialog, controls);
  const QVariant given = dialog->property(kToolkitDialogName);
  const std::string name =
      given.isValid() ? given.toString().toStdString() : std::string(dialog->metaObject()->className());
  LogEvent("dialog " + std::to_string(dialog->winId()) + " " + name + " " + std::to_string(controls.size()) + " " +
           OneLine(dialog->windowTitle()));
  for (QWidget* w : controls) LogControl(w, -1, QRect(w->mapTo(dialog, QPoint(0, 0)), w->size()));
}

// Logs once the toolkit has laid the window out.
template <class F>
void Later(QWidget* w, F f) {
  QPointer<QWidget> p(w);
  QTimer::singleShot(0, w, [p, f] {
    if (p) f(p.data());
  });
}

// Logs the frame's menu bar once the toolkit has laid it out; what comes
// together (entries set one by one, a move with a resize) is logged once.
void LogMenuBarLater(QMainWindow* frame) {
  if (frame->property("kvBarPending").toBool()) return;
  frame->setProperty("kvBarPending", true);
  Later(frame, [](QWidget* f) {
    f->setProperty("kvBarPending", false);
    LogMenuBar(static_cast<QMainWindow*>(f));
  });
}

}  // namespace

const char* UiControlKind(QWidget* w) {
  if (qobject_cast<QPushButton*>(w) || qobject_cast<QToolButton*>(w)) return "button";
  if (qobject_cast<QCheckBox*>(w)) return "check";
  if (qobject_cast<QRadioButton*>(w)) return "radio";
  if (qobject_cast<QComboBox*>(w)) return "combo";
  if (qobject_cast<QLineEdit*>(w)) return "edit";
  if (qobject_cast<QAbstractSpinBox*>(w)) return "spin";
  if (qobject_cast<QPlainTextEdit*>(w) || qobject_cast<QTextEdit*>(w)) return "text";
  if (qobject_cast<QAbstractItemView*>(w)) return "list";
  if (qobject_cast<QScrollBar*>(w)) return "scroll";
  if (qobject_cast<QTabBar*>(w)) return "tabs";
  if (qobject_cast<QLabel*>(w)) return "static";
  return "space";
}

std::string UiControlText(QWidget* w) {
  // A button that shows only an icon is named by its tool tip.
  if (auto* b = qobject_cast<QAbstractButton*>(w)) return OneLine(b->text().isEmpty() ? b->toolTip() : b->text());
  if (auto* l = qobject_cast<QLabel*>(w)) return OneLine(l->text());
  if (auto* e = qobject_cast<QLineEdit*>(w)) return OneLine(e->text());
  if (auto* c = qobject_cast<QComboBox*>(w)) return OneLine(c->currentText());
  if (auto* v = qobject_cast<QAbstractItemView*>(w)) {
    // The current row, its shown columns joined by " | ".
    const QModelIndex current = v->currentIndex();
    auto* tree = qobject_cast<QTreeView*>(v);
    if (!current.isValid() || !v->model()) return "";
    QString row;
    for (int c = 0; c < v->model()->columnCount(current.parent()); ++c) {
      if (tree && tree->isColumnHidden(c)) continue;
      if (!row.isEmpty()) row += " | ";
      row += v->model()->index(current.row(), c, current.parent()).data(Qt::DisplayRole).toString();
    }
    return OneLine(row);
  }
  return "";
}

namespace {

unsigned long NativeIdOf(Window& w) {
  QWidget* widget = w.impl()->frame ? w.impl()->frame.data() : w.impl()->clientArea.data();
  return widget ? static_cast<unsigned long>(widget->window()->internalWinId()) : 0;
}

}  // namespace

unsigned long NoteCommand(Window& w, int id, bool runs) {
  const unsigned long native = NativeIdOf(w);
  LogEvent(std::string(runs ? "command " : "refused ") + std::to_string(native) + " " + std::to_string(id));
  return native;
}

void NoteCommandDone(unsigned long window, int id) {
  LogEvent("done " + std::to_string(window) + " " + std::to_string(id));
  ArmIdleWatch();
}

void LogIdleWhenPainted(Window& shown) {
  if (UiLogOn()) ArmIdleWatch(shown.impl()->frame.data());
}

void NoteClicked(unsigned long window, int id) {
  LogEvent("clicked " + std::to_string(window) + " " + std::to_string(id));
}

void NoteKeyRead(Window& w, int code) {
  LogEvent("key " + std::to_string(NativeIdOf(w)) + " " + std::to_string(code) + " " +
           std::to_string(TickMilliseconds()));
}

void NoteStaticText(QWidget* label, int id) {
  QWidget* top = label->window();
  if (!top->isVisible() || !top->internalWinId()) return;
  const auto* l = qobject_cast<QLabel*>(label);
  LogEvent("text " + std::to_string(top->internalWinId()) + " " + std::to_string(id) + " " +
           (l ? OneLine(l->text()) : std::string()));
}

void NoteListSelection(QAbstractItemView* list, int id) {
  QWidget* top = list->window();
  if (!top->isVisible() || !top->internalWinId()) return;
  LogSelection(top->internalWinId(), id, SelectedRows(list));
}

void NameToolkitDialog(QWidget* dialog, const char* name) { dialog->setProperty(kToolkitDialogName, name); }

bool UiLogOn() {
  static const bool on = [] {
    const char* path = std::getenv("KURVATO_EVENT_LOG");
    return path && *path;
  }();
  return on;
}

void NoteUiEvent(QObject* target, QEvent* e) {
  const QEvent::Type type = e->type();
  if (type == QEvent::FocusIn) {
    LogFocus(target);
    // A dialog of the toolkit is logged again as the user moves in it: a
    // file dialog fills its lists while it is shown.
    auto* widget = qobject_cast<QWidget*>(target);
    QWidget* dialog = widget ? widget->window() : nullptr;
    if (dialog && dialog != widget && qobject_cast<QDialog*>(dialog) && !DialogOfWidget(dialog))
      Later(dialog, [](QWidget* d) { LogToolkitDialog(d); });
    return;
  }
  if (type == QEvent::Hide) {
    // What the menu covered is painted again: "idle" follows.
    if (auto* menu = qobject_cast<QMenu*>(target)) {
      LogEvent("popdown " + OneLine(menu->title()));
      ArmIdleWatch();
    }
    return;
  }
  // A bar whose entries change or move is logged again, and so is the bar
  // of a window that moves: a click goes where the bar is now.
  const bool entries =
      type == QEvent::ActionAdded || type == QEvent::ActionRemoved || type == QEvent::ActionChanged;
  if (type != QEvent::Show && type != QEvent::Resize && type != QEvent::Move && !entries) return;
  if (auto* menu = qobject_cast<QMenu*>(target)) {
    if (type == QEvent::Show) {
      LogPopup(menu);
      WatchHover(menu);
    }
    return;
  }
  if (auto* bar = qobject_cast<QMenuBar*>(target)) {
    if (auto* frame = qobject_cast<QMainWindow*>(bar->window()); frame && frame->isVisible())
      LogMenuBarLater(frame);
    return;
  }
  auto* widget = qobject_cast<QWidget*>(target);
  if (!widget || !widget->isWindow() || entries) return;
  if (auto* frame = qobject_cast<QMainWindow*>(widget)) {
    if (type == QEvent::Show || frame->isVisible()) LogMenuBarLater(frame);
  } else if (type == QEvent::Move) {
    return;
  } else if (qobject_cast<QDialog*>(widget) && (type == QEvent::Show || widget->isVisible())) {
    // Shown, or laid out anew while shown (its controls move).
    Later(widget, [](QWidget* w) {
      if (Dialog* dlg = DialogOfWidget(w))
        LogDialog(w, *dlg);
      else
        LogToolkitDialog(w);
    });
  }
}

}  // namespace plat
