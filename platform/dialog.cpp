#include "platform/dialog.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QFontMetrics>
#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QShowEvent>
#include <QTextEdit>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <functional>
#include <utility>
#include <vector>

#include "platform/app.h"
#include "platform/font_mapping.h"
#include "platform/keys.h"
#include "platform/resources.h"
#include "platform/testing_impl.h"
#include "platform/ui_log.h"
#include "platform/window_impl.h"

namespace plat {

namespace {

// Runs what a click on a button, check box or radio button does, then logs
// that the click was handled ("clicked <window> <id>"): a driver knows
// then that the click reached the control and that the command it ran, if
// any, has started and ended.
template <typename Handle>
void HandleClick(QWidget* control, int id, Handle&& handle) {
  // Taken first: the handler may close the dialog.
  const unsigned long window = UiLogOn() ? control->window()->internalWinId() : 0;
  handle();
  if (window) NoteClicked(window, id);
}

// A dialog's list box.  Its rows scroll sideways pixel by pixel, as far
// as the widest row reaches; the horizontal extent the program sets widens
// the narrower rows to it (kept in the property below).
//
// The dialogs read the selected rows when a list reports a change.  The
// toolkit makes a clicked row current before it selects it, and selects a
// row reached by a key before it makes it current; so a list reports the
// user's change once the toolkit has dealt with the click or key in full,
// and the program's once it is complete, and only when the selected rows
// differ from those last reported.  A handler that fills the list afresh
// thus never runs in the middle of the toolkit's own work on it.
constexpr const char* kListExtent = "kvListExtent";

class DialogListBox : public QListWidget {
 public:
  DialogListBox(QWidget* parent, int id, std::function<void()> notice)
      : QListWidget(parent), notice_(std::move(notice)), id_(id) {
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    const auto changed = [this] {
      if (busy_ == 0) Settle(true);
    };
    connect(this, &QListWidget::itemSelectionChanged, this, changed);
    connect(this, &QListWidget::currentRowChanged, this, changed);
  }
  // The toolkit may still change the selection while it takes the list
  // apart: nothing is reported then.
  ~DialogListBox() override { disconnect(this, nullptr, this, nullptr); }
  bool Multi() const { return selectionMode() == QAbstractItemView::ExtendedSelection; }
  // Runs a change of the program's.  A list of one selectable row reports
  // it as it reports the user's; a list of several reports only the user's.
  template <class Change>
  void Program(Change&& change) {
    ++busy_;
    change();
    --busy_;
    Settle(!Multi());
  }

 protected:
  bool event(QEvent* e) override {
    return User([&] { return QListWidget::event(e); });
  }
  bool viewportEvent(QEvent* e) override {
    return User([&] { return QListWidget::viewportEvent(e); });
  }

 private:
  template <class Handle>
  bool User(Handle&& handle) {
    ++busy_;
    const bool handled = handle();
    if (--busy_ == 0) Settle(true);
    return handled;
  }
  void Settle(bool report) {
    std::vector<int> rows;
    for (const QModelIndex& i : selectionModel()->selectedIndexes()) rows.push_back(i.row());
    std::sort(rows.begin(), rows.end());
    if (rows == reported_) return;
    reported_ = std::move(rows);
    if (UiLogOn()) NoteListSelection(this, id_);
    if (report) notice_();
  }

  std::function<void()> notice_;
  int id_;
  std::vector<int> reported_;
  int busy_ = 0;
};

// The row as wide as the list's extent when it is narrower by itself.
void WidenRow(QListWidget* lb, int row) {
  QListWidgetItem* item = lb->item(row);
  if (!item) return;
  item->setData(Qt::SizeHintRole, QVariant());
  const int extent = lb->property(kListExtent).toInt();
  if (extent <= 0) return;
  const QSize natural = lb->sizeHintForIndex(lb->model()->index(row, 0));
  if (natural.width() < extent) item->setSizeHint(QSize(extent, natural.height()));
}

// A dialog's scroll bar.  Qt's horizontal scroll bars step backwards on the
// right arrow (their controls are inverted for the wheel); here the right
// arrow moves right, the left arrow left, as everywhere else.
class DialogScrollBar : public QScrollBar {
 public:
  using QScrollBar::QScrollBar;

 protected:
  void keyPressEvent(QKeyEvent* e) override {
    if (orientation() == Qt::Horizontal && (e->key() == Qt::Key_Left || e->key() == Qt::Key_Right)) {
      triggerAction(e->key() == Qt::Key_Right ? SliderSingleStepAdd : SliderSingleStepSub);
      e->accept();
      return;
    }
    QScrollBar::keyPressEvent(e);
  }
};

// A check box or radio button answers a click anywhere in its control, as
// wide as the dialog's layout makes it, not only on the box and its text.
template <class Button>
class WholeAreaButton : public Button {
 public:
  using Button::Button;

 protected:
  bool hitButton(const QPoint& p) const override { return this->rect().contains(p); }
};

QString Q(const std::string& s) { return QString::fromUtf8(s.c_str(), static_cast<int>(s.size())); }

// The QDialog behind a Dialog: routes Escape, the close box and button
// presses into the program's handlers.
class DialogWidget : public QDialog {
 public:
  DialogWidget(Dialog* owner, QWidget* parent) : QDialog(parent), owner_(owner) {
    // Its controls ask whether the dialog has given the focus before, or
    // gives it back now after it was shown again (after their own focus-in,
    // the toolkit says who has it now).
    QObject::connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
      if (now && isAncestorOf(now)) hadFocus_ = true, shownAgain_ = false;
    });
  }
  bool HadFocus() const { return hadFocus_; }
  bool ShownAgain() const { return shownAgain_; }
  void reject() override {
    if (owner_) owner_->PressEscape();
  }
  void Detach() { owner_ = nullptr; }
  Dialog* Owner() const { return owner_; }
  void accept() override {}

 protected:
  void keyPressEvent(QKeyEvent* e) override {
    if (e->key() == Qt::Key_Escape) {
      if (owner_) owner_->PressEscape();
      return;
    }
    // Enter presses the push button that has the focus, as Space does; the
    // default button answers it only from the other controls.  A question
    // with no default button (Ja, Nein, Abbruch) would otherwise ignore it.
    if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
      auto* button = qobject_cast<QPushButton*>(focusWidget());
      if (button && button->isVisible() && button->isEnabled()) {
        button->click();
        return;
      }
      if (owner_ && owner_->EnterSendsOk()) {
        owner_->Press(IDOK);
        return;
      }
    }
    QDialog::keyPressEvent(e);
  }
  void showEvent(QShowEvent* e) override {
    QDialog::showEvent(e);
    if (e->spontaneous()) return;
    shownAgain_ = shown_;
    shown_ = true;
  }

 private:
  Dialog* owner_;
  bool hadFocus_ = false;
  bool shown_ = false;
  bool shownAgain_ = false;
};

// A dialog's one-line edit.  The focus the dialog gives it as its first
// control, or gives back to it when the dialog is shown again, or that Tab
// or a mnemonic moves to it, selects its whole text, so that what the user
// types replaces the value shown; a click places the cursor, and a later
// focus the program gives it leaves the text as it is.
class DialogLineEdit : public QLineEdit {
 public:
  using QLineEdit::QLineEdit;

 protected:
  void focusInEvent(QFocusEvent* e) override {
    const auto* dialog = dynamic_cast<const DialogWidget*>(window());
    const bool byDialog = dialog && e->reason() != Qt::MouseFocusReason;
    const bool first = byDialog && !dialog->HadFocus();
    const bool back = byDialog && dialog->ShownAgain();
    QLineEdit::focusInEvent(e);
    if (first || back || e->reason() == Qt::TabFocusReason || e->reason() == Qt::BacktabFocusReason ||
        e->reason() == Qt::ShortcutFocusReason)
      selectAll();
    // The command that shows a dialog again fills its fields once it is
    // shown: the text it leaves is selected.
    if (back)
      QTimer::singleShot(0, this, [this] {
        if (hasFocus()) selectAll();
      });
  }
};

}  // namespace

Dialog* DialogOfWidget(QObject* o) {
  auto* w = dynamic_cast<DialogWidget*>(o);
  return w ? w->Owner() : nullptr;
}

// Builds the widgets of a template into a dialog.
struct DialogBuilder {
  static void Build(Dialog& dlg, DialogWidget* w, const res::DialogTemplate& t) {
    auto& data = dlg.impl()->dialog;
    QFontMetrics fm(w->font());
    const int duX = std::max(fm.averageCharWidth(), 1);
    const int duY = std::max(fm.height(), 1);
    auto px = [&](int units) { return units * duX / 4; };
    auto py = [&](int units) { return units * duY / 8; };

    auto* outer = new QVBoxLayout(w);
    outer->setSizeConstraint(QLayout::SetMinimumSize);
    int currentGroup = 0;
    for (const auto& row : t.rows) {
      auto* line = new QHBoxLayout();
      outer->addLayout(line);
      for (const auto& c : row.controls) {
        QWidget* cw = nullptr;
        switch (c.kind) {
          case res::Control::Static: {
            auto* l = new QLabel(Q(c.text), w);
            // A text given lines of its own fills them from the top (a text
            // of more lines than reserved keeps its first ones in view).
            l->setAlignment((c.align < 0 ? Qt::AlignLeft : c.align > 0 ? Qt::AlignRight : Qt::AlignHCenter) |
                            (c.height > 0 ? Qt::AlignTop : Qt::AlignVCenter));
            l->setTextFormat(Qt::PlainText);
            cw = l;
            break;
          }
          case res::Control::Edit: {
            if (c.multiline) {
              auto* e = new QPlainTextEdit(w);
              e->setReadOnly(c.readOnly);
              QObject::connect(e, &QPlainTextEdit::textChanged, e,
                               [&dlg, id = c.id] { dlg.EvControl(id, EN_CHANGE); });
              cw = e;
            } else {
              auto* e = new DialogLineEdit(w);
              if (c.password) e->setEchoMode(QLineEdit::Password);
              e->setReadOnly(c.readOnly);
              QObject::connect(e, &QLineEdit::textChanged, e,
                               [&dlg, id = c.id] { dlg.EvControl(id, EN_CHANGE); });
              cw = e;
            }
            break;
          }
          case res::Control::Button: {
            auto* b = new QPushButton(Q(c.text), w);
            b->setAutoDefault(false);
            if (c.isDefault) b->setDefault(true);
            QObject::connect(b, &QPushButton::clicked, b,
                             [&dlg, b, id = c.id] { HandleClick(b, id, [&] { dlg.Press(id); }); });
            cw = b;
            break;
          }
          case res::Control::CheckBox: {
            auto* b = new WholeAreaButton<QCheckBox>(Q(c.text), w);
            QObject::connect(b, &QCheckBox::clicked, b, [&dlg, b, id = c.id] {
              HandleClick(b, id, [&] { dlg.EvControl(id, BN_CLICKED); });
            });
            cw = b;
            break;
          }
          case res::Control::RadioButton: {
            auto* b = new WholeAreaButton<QRadioButton>(Q(c.text), w);
            b->setAutoExclusive(false);
            if (c.group || currentGroup == 0) currentGroup = c.id;
            data.radioGroups[currentGroup].push_back(c.id);
            QObject::connect(b, &QRadioButton::clicked, b, [&dlg, b, id = c.id] {
              HandleClick(b, id, [&] {
                dlg.SetCheck(id, true);
                dlg.EvControl(id, BN_CLICKED);
              });
            });
            cw = b;
            break;
          }
          case res::Control::GroupBox: {
            auto* l = new QLabel(Q(c.text), w);
            QFont f = l->font();
            f.setBold(true);
            l->setFont(f);
            cw = l;
            break;
          }
          case res::Control::ListBox: {
            auto* lb = new DialogListBox(w, c.id, [&dlg, id = c.id] { dlg.EvControl(id, LBN_SELCHANGE); });
            if (c.multiSelect) lb->setSelectionMode(QAbstractItemView::ExtendedSelection);
            QObject::connect(lb, &QListWidget::itemDoubleClicked, lb,
                             [&dlg, id = c.id] { dlg.EvControl(id, LBN_DBLCLK); });
            cw = lb;
            break;
          }
          case res::Control::ComboBox: {
            auto* cb = new QComboBox(w);
            cb->setEditable(c.editable);
            QObject::connect(cb, &QComboBox::activated, cb,
                             [&dlg, id = c.id] { dlg.EvControl(id, CBN_SELCHANGE); });
            cw = cb;
            break;
          }
          case res::Control::ScrollBar: {
            auto* sb = new DialogScrollBar(c.vertical ? Qt::Vertical : Qt::Horizontal, w);
            QObject::connect(sb, &QScrollBar::actionTriggered, sb, [&dlg, sb, id = c.id](int) {
              // The position after the action is applied.
              QMetaObject::invokeMethod(sb, [&dlg, id] { dlg.EvControl(id, SB_CHANGED); }, Qt::QueuedConnection);
            });
            cw = sb;
            break;
          }
          case res::Control::RichEdit: {
            auto* te = new QPlainTextEdit(w);
            te->setReadOnly(c.readOnly);
            cw = te;
            break;
          }
          case res::Control::Spacer: {
            // An empty widget rather than a spacer item: the layout puts its
            // spacing beside it as beside a control, so the columns of rows
            // that begin with a space line up with those that do not.
            cw = new QWidget(w);
            break;
          }
        }
        if (c.width > 0) cw->setMinimumWidth(px(c.width));
        switch (c.kind) {
          case res::Control::ComboBox: {
            // A drop-down combo box's height is that of its dropped list; the
            // closed control keeps its natural one-line height.
            auto* cb = static_cast<QComboBox*>(cw);
            if (c.height > 0) cb->setMaxVisibleItems(std::max(1, py(c.height) / std::max(cb->sizeHint().height(), 1)));
            cb->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
            break;
          }
          case res::Control::Static:
          case res::Control::GroupBox:
            // A text is as tall as its lines (or the lines the template
            // reserves for it), centred in a taller row rather than
            // stretched to it.
            cw->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
            if (c.height > 0) cw->setMinimumHeight(py(c.height));
            break;
          case res::Control::ListBox:
          case res::Control::RichEdit:
          case res::Control::ScrollBar:
            // Controls of several lines have no natural height of their own
            // (a list would take the toolkit's 192 pixels): the template's.
            if (c.height > 0) cw->setFixedHeight(py(c.height));
            break;
          case res::Control::Edit:
            if (c.height > 0 && c.multiline) cw->setFixedHeight(py(c.height));
            else if (c.height > 0) cw->setMinimumHeight(py(c.height));
            break;
          default:
            if (c.height > 0) cw->setMinimumHeight(py(c.height));
            break;
        }
        if (c.hidden) cw->hide();
        if (c.disabled) cw->setEnabled(false);
        // A row shares out the width beyond its controls' minimum in
        // proportion to their widths in dialog units (spaces included), so
        // rows of equal total width keep their columns under each other.
        const int stretch = c.kind == res::Control::Button ? 0 : std::max(c.width, 1);
        line->addWidget(cw, stretch);
        if (c.id >= 0) data.controls[c.id] = cw;
      }
    }
    w->setWindowTitle(Q(t.caption));
    // The dialog takes the size its rows need (the layout sets its minimum
    // size); the template's own width and height were made for controls
    // placed by coordinates and would only leave empty space.
    w->adjustSize();
  }
};

Dialog::Dialog(Window* parent, const std::string& templateName)
    : Window(parent, ""), templateName_(templateName) {
  impl()->isDialog = true;
}

Dialog::~Dialog() {
  // A native dialog still waiting for its deferred deletion must not call
  // back into this object.
  for (QObject* o : QApplication::topLevelWidgets())
    if (auto* w = dynamic_cast<DialogWidget*>(o); w && w->Owner() == this) w->Detach();
}

const res::DialogTemplate* Dialog::Template() const { return res::FindDialog(templateName_); }

bool Dialog::CreateNative() {
  auto& d = *impl();
  QWidget* parentWidget = Parent() && Parent()->impl()->frame ? Parent()->impl()->frame.data() : nullptr;
  auto* w = new DialogWidget(this, parentWidget);
  d.frame = w;
  d.dialog = DialogData{};
  if (const auto* t = Template()) {
    DialogBuilder::Build(*this, w, *t);
    d.caption = t->caption;
  } else {
    testing::internal::RecordFailure("dialog template not found: " + templateName_);
  }
  return true;
}

int Dialog::Execute() {
  auto& d = *impl();
  d.destroyed = false;
  d.created = false;
  if (!Create()) return IDCANCEL;
  d.dialog.modal = true;
  d.dialog.ended = false;
  d.dialog.result = IDCANCEL;
  testing::internal::LogDialog(templateName_);
  if (testing::TestingMode()) {
    testing::DialogScript script;
    if (testing::internal::PopDialogScript(templateName_, script)) {
      d.dialog.inResponder = true;
      script(*this);
      d.dialog.inResponder = false;
      if (!d.dialog.ended) {
        testing::internal::RecordFailure("dialog " + templateName_ + " still open after its script");
        d.dialog.result = IDCANCEL;
      }
    }
  } else if (App::Terminating()) {
    d.dialog.result = IDCANCEL;
  } else if (auto* w = dynamic_cast<QDialog*>(d.frame.data())) {
    RunModal(*w);
  }
  int result = d.dialog.result;
  if (!d.destroyed) Destroy();
  d.dialog.modal = false;
  return result;
}

bool Dialog::IsModal() const { return impl()->dialog.modal; }
int Dialog::Result() const { return impl()->dialog.result; }

void Dialog::EndDialog(int result) {
  auto& d = *impl();
  d.dialog.result = result;
  d.dialog.ended = true;
  if (d.dialog.modal) {
    if (!testing::TestingMode())
      if (auto* w = dynamic_cast<QDialog*>(d.frame.data())) w->done(result);
  } else {
    Destroy();
  }
}

void Dialog::CmOk() {
  if (CanClose()) EndDialog(IDOK);
}

void Dialog::CmCancel() { EndDialog(IDCANCEL); }

void Dialog::EvControl(int id, int notification) {
  if (notification == BN_CLICKED) Command(id);
}

void Dialog::Press(int id) {
  auto& d = *impl();
  if (d.dialog.ended && d.dialog.modal) return;
  if (id == IDOK) {
    if (QueryCommand(IDOK).enabled || !Commands().FindHandler(IDOK)) CmOk();
  } else if (id == IDCANCEL) {
    CmCancel();
  } else {
    Command(id);
  }
}

void Dialog::PressEscape() { Press(IDCANCEL); }


// ---- controls ----

namespace {

QWidget* Ctl(const Dialog& d, int id) {
  auto& c = d.impl()->dialog.controls;
  auto it = c.find(id);
  return it == c.end() ? nullptr : it->second.data();
}

DialogListBox* ListBox(const Dialog& d, int id) { return dynamic_cast<DialogListBox*>(Ctl(d, id)); }

}  // namespace

bool Dialog::HasItem(int id) const { return Ctl(*this, id) != nullptr; }

void Dialog::PressKey(int id, unsigned vk) {
  QWidget* w = Ctl(*this, id);
  if (!w) return;
  int key = 0;
  switch (vk) {
    case VK_LEFT: key = Qt::Key_Left; break;
    case VK_RIGHT: key = Qt::Key_Right; break;
    case VK_UP: key = Qt::Key_Up; break;
    case VK_DOWN: key = Qt::Key_Down; break;
    case VK_PRIOR: key = Qt::Key_PageUp; break;
    case VK_NEXT: key = Qt::Key_PageDown; break;
    case VK_HOME: key = Qt::Key_Home; break;
    case VK_END: key = Qt::Key_End; break;
    case VK_RETURN: key = Qt::Key_Return; break;
    case VK_ESCAPE: key = Qt::Key_Escape; break;
    case VK_SPACE: key = Qt::Key_Space; break;
    default: return;
  }
  QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
  QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
  QCoreApplication::sendEvent(w, &press);
  QCoreApplication::sendEvent(w, &release);
}

void Dialog::SetItemText(int id, const std::string& text) {
  QWidget* w = Ctl(*this, id);
  if (auto* e = dynamic_cast<QLineEdit*>(w)) e->setText(Q(text));
  else if (auto* pe = dynamic_cast<QPlainTextEdit*>(w)) {
    QString t = Q(text);
    t.replace("\r\n", "\n");
    int limit = TextLimit(id);
    if (limit > 0 && t.size() > limit) t.truncate(limit);
    pe->setPlainText(t);
  } else if (auto* l = dynamic_cast<QLabel*>(w)) {
    l->setText(Q(text));
    if (UiLogOn()) NoteStaticText(l, id);
  } else if (auto* b = dynamic_cast<QAbstractButton*>(w)) b->setText(Q(text));
  else if (auto* cb = dynamic_cast<QComboBox*>(w)) {
    if (cb->isEditable()) cb->setEditText(Q(text));
    else cb->setCurrentIndex(cb->findText(Q(text)));
  } else if (!w && id == -1) {
    SetCaption(text);
  }
}

std::string Dialog::GetItemText(int id) const {
  QWidget* w = Ctl(*this, id);
  if (auto* e = dynamic_cast<QLineEdit*>(w)) return e->text().toStdString();
  if (auto* pe = dynamic_cast<QPlainTextEdit*>(w)) {
    QString t = pe->toPlainText();
    t.replace("\n", "\r\n");
    return t.toStdString();
  }
  if (auto* l = dynamic_cast<QLabel*>(w)) return l->text().toStdString();
  if (auto* b = dynamic_cast<QAbstractButton*>(w)) return b->text().toStdString();
  if (auto* cb = dynamic_cast<QComboBox*>(w)) return cb->currentText().toStdString();
  return {};
}

void Dialog::LimitText(int id, int maxChars) {
  impl()->dialog.textLimits[id] = maxChars;
  if (auto* e = dynamic_cast<QLineEdit*>(Ctl(*this, id))) e->setMaxLength(std::max(maxChars, 0));
}

int Dialog::TextLimit(int id) const {
  auto& m = impl()->dialog.textLimits;
  auto it = m.find(id);
  return it == m.end() ? 0 : it->second;
}

void Dialog::SelectAllText(int id) {
  if (auto* e = dynamic_cast<QLineEdit*>(Ctl(*this, id))) e->selectAll();
  else if (auto* pe = dynamic_cast<QPlainTextEdit*>(Ctl(*this, id))) pe->selectAll();
}

void Dialog::SetCheck(int id, bool checked) {
  auto* b = dynamic_cast<QAbstractButton*>(Ctl(*this, id));
  if (!b) return;
  b->setCheckable(true);
  b->setChecked(checked);
  if (checked && dynamic_cast<QRadioButton*>(b)) {
    for (const auto& [first, members] : impl()->dialog.radioGroups) {
      if (std::find(members.begin(), members.end(), id) == members.end()) continue;
      for (int other : members)
        if (other != id)
          if (auto* ob = dynamic_cast<QAbstractButton*>(Ctl(*this, other))) ob->setChecked(false);
    }
  }
}

bool Dialog::IsChecked(int id) const {
  auto* b = dynamic_cast<QAbstractButton*>(Ctl(*this, id));
  return b && b->isChecked();
}

void Dialog::ShowItem(int id, bool visible) {
  if (QWidget* w = Ctl(*this, id)) w->setVisible(visible);
}

bool Dialog::IsItemVisible(int id) const {
  QWidget* w = Ctl(*this, id);
  return w && !w->isHidden();
}

void Dialog::EnableItem(int id, bool enabled) {
  if (QWidget* w = Ctl(*this, id)) w->setEnabled(enabled);
}

bool Dialog::IsItemEnabled(int id) const {
  QWidget* w = Ctl(*this, id);
  return w && w->isEnabled();
}

void Dialog::SetItemFont(int id, const LogFont& font) {
  if (QWidget* w = Ctl(*this, id)) w->setFont(QFontFromLogFont(font));
}

void Dialog::FocusItem(int id) {
  if (QWidget* w = Ctl(*this, id)) w->setFocus();
}

int Dialog::FocusedItem() const {
  const QWidget* top = impl()->frame.data();
  const QWidget* focused = top ? top->focusWidget() : nullptr;
  if (!focused) return 0;
  for (const auto& [id, widget] : impl()->dialog.controls)
    if (widget.data() == focused) return id;
  return 0;
}

std::string Dialog::SelectedItemText(int id) const {
  if (auto* e = dynamic_cast<QLineEdit*>(Ctl(*this, id))) return e->selectedText().toStdString();
  return {};
}

Rect Dialog::ItemRect(int id) const {
  QWidget* w = Ctl(*this, id);
  if (!w) return {};
  QRect g = w->geometry();
  return Rect{g.left(), g.top(), g.left() + g.width(), g.top() + g.height()};
}

// ---- list and combo boxes ----

void Dialog::ListClear(int id) {
  QWidget* w = Ctl(*this, id);
  if (auto* lb = dynamic_cast<DialogListBox*>(w)) lb->Program([lb] { lb->clear(); });
  else if (auto* cb = dynamic_cast<QComboBox*>(w)) cb->clear();
}

int Dialog::ListAdd(int id, const std::string& text) {
  QWidget* w = Ctl(*this, id);
  if (auto* lb = dynamic_cast<DialogListBox*>(w)) {
    lb->Program([&] {
      lb->addItem(Q(text));
      WidenRow(lb, lb->count() - 1);
    });
    return lb->count() - 1;
  }
  if (auto* cb = dynamic_cast<QComboBox*>(w)) {
    cb->addItem(Q(text));
    return cb->count() - 1;
  }
  return -1;
}

void Dialog::ListSetHorizontalExtent(int id, int pixels) {
  if (auto* lb = ListBox(*this, id)) {
    lb->setProperty(kListExtent, std::max(pixels, 0));
    for (int row = 0; row < lb->count(); ++row) WidenRow(lb, row);
  }
}

int Dialog::ListHorizontalReach(int id) const {
  auto* lb = ListBox(*this, id);
  if (!lb) return 0;
  lb->doItemsLayout();
  return lb->horizontalScrollBar()->maximum() + lb->viewport()->width();
}

int Dialog::ListCount(int id) const {
  QWidget* w = Ctl(*this, id);
  if (auto* lb = dynamic_cast<QListWidget*>(w)) return lb->count();
  if (auto* cb = dynamic_cast<QComboBox*>(w)) return cb->count();
  return 0;
}

std::string Dialog::ListText(int id, int row) const {
  QWidget* w = Ctl(*this, id);
  if (auto* lb = dynamic_cast<QListWidget*>(w)) {
    auto* item = lb->item(row);
    return item ? item->text().toStdString() : std::string();
  }
  if (auto* cb = dynamic_cast<QComboBox*>(w)) return cb->itemText(row).toStdString();
  return {};
}

void Dialog::ListSetSel(int id, int row) {
  QWidget* w = Ctl(*this, id);
  if (auto* lb = dynamic_cast<DialogListBox*>(w)) {
    lb->Program([lb, row] {
      if (lb->Multi()) {
        // Only this row, as in a list of one selectable row.
        lb->clearSelection();
        if (row >= 0) lb->setCurrentRow(row, QItemSelectionModel::ClearAndSelect);
        return;
      }
      lb->setCurrentRow(row);
      if (row < 0) lb->clearSelection();
    });
  } else if (auto* cb = dynamic_cast<QComboBox*>(w)) {
    cb->setCurrentIndex(row);
  }
}

int Dialog::ListGetSel(int id) const {
  QWidget* w = Ctl(*this, id);
  if (auto* lb = dynamic_cast<QListWidget*>(w)) {
    auto* item = lb->currentItem();
    return item && item->isSelected() ? lb->currentRow() : -1;
  }
  if (auto* cb = dynamic_cast<QComboBox*>(w)) return cb->currentIndex();
  return -1;
}

void Dialog::ListSetMultiSel(int id, int row, bool selected) {
  if (auto* lb = ListBox(*this, id))
    lb->Program([lb, row, selected] {
      if (auto* item = lb->item(row)) item->setSelected(selected);
    });
}

std::vector<int> Dialog::ListGetMultiSel(int id) const {
  std::vector<int> rows;
  if (auto* lb = dynamic_cast<QListWidget*>(Ctl(*this, id)))
    for (int i = 0; i < lb->count(); ++i)
      if (lb->item(i)->isSelected()) rows.push_back(i);
  return rows;
}

// ---- scroll bars ----

void Dialog::SetScrollRange(int id, int minPos, int maxPos) {
  if (auto* sb = dynamic_cast<QScrollBar*>(Ctl(*this, id))) sb->setRange(minPos, maxPos);
}

void Dialog::SetScrollPos(int id, int pos) {
  if (auto* sb = dynamic_cast<QScrollBar*>(Ctl(*this, id))) sb->setValue(pos);
}

int Dialog::GetScrollPos(int id) const {
  auto* sb = dynamic_cast<QScrollBar*>(Ctl(*this, id));
  return sb ? sb->value() : 0;
}

void Dialog::SetScrollPage(int id, int page) {
  if (auto* sb = dynamic_cast<QScrollBar*>(Ctl(*this, id))) sb->setPageStep(std::max(page, 1));
}

int Dialog::GetScrollPage(int id) const {
  auto* sb = dynamic_cast<QScrollBar*>(Ctl(*this, id));
  return sb ? sb->pageStep() : 0;
}

std::pair<int, int> Dialog::GetScrollRange(int id) const {
  auto* sb = dynamic_cast<QScrollBar*>(Ctl(*this, id));
  return sb ? std::pair{sb->minimum(), sb->maximum()} : std::pair{0, 0};
}

// ---- buttons and their enablers ----

void Dialog::UpdateButtons() {
  for (const auto& [id, widget] : impl()->dialog.controls) {
    auto* b = qobject_cast<QPushButton*>(widget.data());
    if (!b || !Commands().FindEnabler(id)) continue;
    const CommandEnabler ce = QueryCommand(id);
    b->setEnabled(ce.enabled);
    if (ce.hasText) b->setText(Q(ce.text));
  }
}

}  // namespace plat
