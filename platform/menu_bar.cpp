// Menus of frame windows: the wrapping bar, building it from a menu
// resource, the items' check marks, enabled states and texts from the
// window's command enablers, and the changes the program makes at run time.
#include "platform/menu_bar.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QResizeEvent>
#include <QStyle>
#include <QStyleOptionMenuItem>

#include <algorithm>

#include "platform/app.h"
#include "platform/resources.h"
#include "platform/testing.h"
#include "platform/window.h"
#include "platform/window_impl.h"

namespace plat {

namespace {

QString Q(const std::string& s) { return QString::fromUtf8(s.c_str(), static_cast<int>(s.size())); }

void SetRowActions(QMenuBar* row, const QList<QAction*>& actions) {
  // Compared entry by entry: comparing two empty lists with == hands a null
  // pointer to memcmp.
  const QList<QAction*> now = row->actions();
  if (std::equal(now.begin(), now.end(), actions.begin(), actions.end())) return;
  for (QAction* a : row->actions()) row->removeAction(a);
  row->addActions(actions);
}

// The width a bar gives an entry, as the style sizes it.
int EntryWidth(const QMenuBar* bar, const QAction* a) {
  QStyleOptionMenuItem opt;
  opt.initFrom(bar);
  opt.menuItemType = QStyleOptionMenuItem::Normal;
  opt.checkType = QStyleOptionMenuItem::NotCheckable;
  opt.text = a->text();
  const QSize text = bar->fontMetrics().size(Qt::TextShowMnemonic, a->text());
  return bar->style()->sizeFromContents(QStyle::CT_MenuBarItem, &opt, text, bar).width();
}

}  // namespace

MenuBarRows::MenuBarRows(QWidget* frame) : QWidget(frame), measure_(new QMenuBar(this)) {
  measure_->setNativeMenuBar(false);
  measure_->hide();
  QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Fixed);
  policy.setHeightForWidth(true);
  setSizePolicy(policy);
}

int MenuBarRows::RowHeight() const {
  if (rowHeight_ <= 0) {
    QMenuBar probe;
    probe.setNativeMenuBar(false);
    probe.setFont(font());
    probe.addAction(QStringLiteral("X"));
    rowHeight_ = probe.sizeHint().height();
  }
  return rowHeight_;
}

int MenuBarRows::heightForWidth(int width) const {
  return static_cast<int>(RowsFor(width).size()) * RowHeight();
}

// The frame's layout takes the bar's height from its size hint: the rows
// it needs at the frame's width.
QSize MenuBarRows::sizeHint() const {
  const int w = parentWidget() ? parentWidget()->width() : width();
  return QSize(w, heightForWidth(w));
}

QMenuBar* MenuBarRows::Row(std::size_t i) {
  while (rows_.size() <= i) {
    auto* row = new QMenuBar(this);
    row->setNativeMenuBar(false);
    rows_.push_back(row);
  }
  return rows_[i];
}

QMenu* MenuBarRows::AddMenu(const QString& text) {
  auto* m = new QMenu(text, this);
  AddEntry(m->menuAction());
  return m;
}

void MenuBarRows::AddEntry(QAction* a) { InsertEntry(nullptr, a); }

void MenuBarRows::InsertEntry(QAction* before, QAction* a) {
  const auto at = entries_.indexOf(before);
  if (at >= 0) entries_.insert(at, a);
  else entries_.append(a);
  wrappedWidth_ = -1;
  Wrap();
}

void MenuBarRows::RemoveEntry(QAction* a) {
  entries_.removeAll(a);
  for (QMenuBar* row : rows_) row->removeAction(a);
  wrappedWidth_ = -1;
  Wrap();
}

void MenuBarRows::Clear() {
  for (QMenuBar* row : rows_)
    for (QAction* a : row->actions()) row->removeAction(a);
  entries_.clear();
  wrappedWidth_ = -1;
  Wrap();
}

QRect MenuBarRows::EntryGeometry(QAction* a) const {
  for (QMenuBar* row : rows_)
    if (row->actions().contains(a) && row->isVisible()) return row->actionGeometry(a).translated(row->pos());
  return {};
}

bool MenuBarRows::OpenEntry(QAction* a) {
  for (QMenuBar* row : rows_)
    if (row->actions().contains(a) && row->isVisible()) {
      row->setActiveAction(a);
      return true;
    }
  return false;
}

void MenuBarRows::resizeEvent(QResizeEvent* e) {
  QWidget::resizeEvent(e);
  if (e->size().width() != wrappedWidth_) Wrap();
}

std::vector<QList<QAction*>> MenuBarRows::RowsFor(int width) const {
  const QStyle* style = measure_->style();
  const int frame = style->pixelMetric(QStyle::PM_MenuBarPanelWidth, nullptr, measure_);
  const int margin = style->pixelMetric(QStyle::PM_MenuBarHMargin, nullptr, measure_);
  const int spacing = style->pixelMetric(QStyle::PM_MenuBarItemSpacing, nullptr, measure_);
  // Entries go into a row while they end inside it; each row holds one at
  // least.
  std::vector<QList<QAction*>> rows;
  int x = 0;
  for (QAction* a : entries_) {
    if (!a->isVisible()) continue;
    const int w = EntryWidth(measure_, a);
    if (rows.empty() || (x + w + spacing > width - 2 * frame - margin && !rows.back().isEmpty())) {
      rows.emplace_back();
      x = frame + margin + spacing;
    }
    rows.back().append(a);
    x += w + spacing;
  }
  return rows;
}

void MenuBarRows::Wrap() {
  const int width = std::max(this->width(), 1);
  wrappedWidth_ = width;
  const std::vector<QList<QAction*>> rows = RowsFor(width);
  const int height = RowHeight();
  for (std::size_t i = 0; i < rows.size(); ++i) {
    SetRowActions(Row(i), rows[i]);
    Row(i)->setGeometry(0, static_cast<int>(i) * height, width, height);
    Row(i)->show();
  }
  for (std::size_t i = rows.size(); i < rows_.size(); ++i) {
    SetRowActions(rows_[i], {});
    rows_[i]->hide();
  }
  updateGeometry();
}

// ---- the window's menus ----

void Window::Impl::ApplyMenuStates(QMenu* menu) {
  for (QAction* a : menu->actions()) {
    if (a->isSeparator() || a->menu()) continue;
    int id = a->data().toInt();
    CommandEnabler ce = self->QueryCommand(id);
    auto& st = menuItems[id];
    a->setEnabled(ce.enabled && !st.directlyDisabled);
    bool checked = ce.checked >= 0 ? ce.checked == 1 : st.checked;
    a->setCheckable(checked || a->isCheckable());
    a->setChecked(checked);
    if (ce.hasText) a->setText(Q(ce.text));
  }
}

void Window::Impl::ApplyAllMenuStates() {
  for (QMenu* m : popups) ApplyMenuStates(m);
}

namespace {

void AddItems(Window::Impl& impl, QMenu* menu, const std::vector<res::MenuItem>& items) {
  for (const auto& it : items) {
    if (it.kind == res::MenuItem::Separator) {
      menu->addSeparator();
    } else if (it.kind == res::MenuItem::Popup) {
      QMenu* sub = menu->addMenu(Q(it.text));
      impl.popups.push_back(sub);
      QObject::connect(sub, &QMenu::aboutToShow, sub, [&impl, sub] { impl.ApplyMenuStates(sub); });
      AddItems(impl, sub, it.children);
    } else {
      QAction* a = menu->addAction(Q(it.text));
      a->setData(it.id);
      auto& st = impl.menuItems[it.id];
      st.action = a;
      st.text = it.text;
      st.checked = it.checked;
      st.directlyDisabled = it.grayed;
      if (it.checked) {
        a->setCheckable(true);
        a->setChecked(true);
      }
      Window* w = impl.self;
      int id = it.id;
      QObject::connect(a, &QAction::triggered, a, [w, id, a] {
        if (IsPolling()) return;
        w->Command(id);
        // The program owns the check marks, not the toolkit's toggling.
        if (!w->IsDestroyed()) {
          auto& s = w->impl()->menuItems[id];
          a->setChecked(s.checked);
        }
      });
    }
  }
}

// A command directly on the bar.
QAction* BarCommand(Window::Impl& impl, MenuBarRows* bar, const std::string& text, int id) {
  auto* a = new QAction(Q(text), bar);
  a->setData(id);
  auto& st = impl.menuItems[id];
  st.action = a;
  st.text = text;
  Window* w = impl.self;
  QObject::connect(a, &QAction::triggered, a, [w, id] {
    if (!IsPolling()) w->Command(id);
  });
  return a;
}

}  // namespace

MenuBarRows* MenuBarOf(QWidget* frame) {
  auto* fw = dynamic_cast<FrameWidget*>(frame);
  return fw ? fw->Bar() : nullptr;
}

void Window::Impl::BuildMenuBar() {
  MenuBarRows* bar = MenuBarOf(frame.data());
  if (!bar) return;
  bar->Clear();
  for (QMenu* m : topMenus) m->deleteLater();
  topMenus.clear();
  popups.clear();
  menuItems.clear();
  const res::Menu* menu = res::FindMenu(menuName);
  if (!menu) return;
  for (const auto& it : menu->items) {
    if (it.kind == res::MenuItem::Popup) {
      QMenu* m = bar->AddMenu(Q(it.text));
      topMenus.push_back(m);
      popups.push_back(m);
      QObject::connect(m, &QMenu::aboutToShow, m, [this, m] { ApplyMenuStates(m); });
      AddItems(*this, m, it.children);
    } else if (it.kind == res::MenuItem::Command) {
      bar->AddEntry(BarCommand(*this, bar, it.text, it.id));
    }
  }
}

bool Window::AssignMenu(const std::string& resourceName) {
  bool okMenu = SetMenu(resourceName);
  SetAccelerators(resourceName);
  return okMenu;
}

bool Window::SetMenu(const std::string& menuName) {
  impl_->menuName = menuName;
  if (impl_->created) impl_->BuildMenuBar();
  return res::FindMenu(menuName) != nullptr;
}

bool Window::SetAccelerators(const std::string& tableName) {
  impl_->accelName = tableName;
  return res::FindAccelerators(tableName) != nullptr;
}

std::string Window::MenuName() const { return impl_->menuName; }

void Window::CheckMenuItem(int id, bool checked) {
  auto& st = impl_->menuItems[id];
  st.checked = checked;
  if (st.action) {
    st.action->setCheckable(true);
    st.action->setChecked(checked);
  }
}

void Window::EnableMenuItem(int id, bool enabled) {
  auto& st = impl_->menuItems[id];
  st.directlyDisabled = !enabled;
  if (st.action) st.action->setEnabled(enabled);
}

void Window::SetMenuItemText(int id, const std::string& text) {
  auto& st = impl_->menuItems[id];
  st.text = text;
  if (st.action) st.action->setText(Q(text));
}

bool Window::DeleteMenuItem(int id) {
  auto it = impl_->menuItems.find(id);
  if (it == impl_->menuItems.end() || !it->second.action) return false;
  QAction* a = it->second.action;
  for (QMenu* m : impl_->popups) m->removeAction(a);
  if (MenuBarRows* bar = MenuBarOf(impl_->frame.data())) bar->RemoveEntry(a);
  impl_->menuItems.erase(it);
  a->deleteLater();
  return true;
}

void Window::EnableMenuBarEntry(int position, bool enabled) {
  if (position >= 0 && position < static_cast<int>(impl_->topMenus.size()))
    impl_->topMenus[static_cast<size_t>(position)]->menuAction()->setEnabled(enabled);
}

bool Window::DeleteMenuBarEntry(int position) {
  MenuBarRows* bar = MenuBarOf(impl_->frame.data());
  if (!bar) return false;
  const QList<QAction*> entries = bar->Entries();
  if (position < 0 || position >= entries.size()) return false;
  QAction* a = entries[position];
  if (QMenu* m = a->menu()) {
    impl_->topMenus.erase(std::remove(impl_->topMenus.begin(), impl_->topMenus.end(), m), impl_->topMenus.end());
    // Its items (and those of its sub-menus) leave the menu with it.
    std::vector<QMenu*> gone{m};
    for (size_t i = 0; i < gone.size(); ++i)
      for (QAction* sub : gone[i]->actions())
        if (sub->menu()) gone.push_back(sub->menu());
    for (QMenu* g : gone) {
      impl_->popups.erase(std::remove(impl_->popups.begin(), impl_->popups.end(), g), impl_->popups.end());
      for (QAction* item : g->actions())
        if (!item->menu() && !item->isSeparator()) impl_->menuItems.erase(item->data().toInt());
    }
    bar->RemoveEntry(a);
    m->deleteLater();
  } else {
    impl_->menuItems.erase(a->data().toInt());
    bar->RemoveEntry(a);
    a->deleteLater();
  }
  return true;
}

void Window::InsertMenuBarCommand(int position, const std::string& text, int id) {
  MenuBarRows* bar = MenuBarOf(impl_->frame.data());
  if (!bar) return;
  QAction* a = BarCommand(*impl_, bar, text, id);
  const QList<QAction*> entries = bar->Entries();
  bar->InsertEntry(position >= 0 && position < entries.size() ? entries[position] : nullptr, a);
}

bool Window::IsMenuItemChecked(int id) const {
  auto it = impl_->menuItems.find(id);
  CommandEnabler ce = const_cast<Window*>(this)->QueryCommand(id);
  if (ce.checked >= 0) return ce.checked == 1;
  return it != impl_->menuItems.end() && it->second.checked;
}

bool Window::IsMenuItemEnabled(int id) const {
  auto it = impl_->menuItems.find(id);
  if (it == impl_->menuItems.end() || !it->second.action) return false;
  CommandEnabler ce = const_cast<Window*>(this)->QueryCommand(id);
  return ce.enabled && !it->second.directlyDisabled;
}

bool Window::HasMenuItem(int id) const {
  auto it = impl_->menuItems.find(id);
  return it != impl_->menuItems.end() && it->second.action;
}

std::string Window::MenuItemText(int id) const {
  auto it = impl_->menuItems.find(id);
  if (it == impl_->menuItems.end()) return {};
  CommandEnabler ce = const_cast<Window*>(this)->QueryCommand(id);
  return ce.hasText ? ce.text : it->second.text;
}

void Window::DrawMenuBar() { impl_->ApplyAllMenuStates(); }

namespace testing {

bool OpenMenu(Window& w, int position) {
  auto& menus = w.impl()->topMenus;
  MenuBarRows* bar = MenuBarOf(w.impl()->frame.data());
  if (!bar || position < 0 || position >= static_cast<int>(menus.size())) return false;
  if (!bar->OpenEntry(menus[static_cast<std::size_t>(position)]->menuAction())) return false;
  App::ProcessEvents();
  return QApplication::activePopupWidget() != nullptr;
}

}  // namespace testing

}  // namespace plat
