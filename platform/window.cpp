// Windows over the toolkit: the client and frame widgets that hand paints,
// mouse, keys, drops, moves and closing to their Window, and the Window
// itself: creation and destruction, placement by the frame's corner without
// the desktop's decorations, commands and accelerators, its surface painted
// outside the toolkit's paint event, timers, capture and dropped files.
// Key events become virtual keys in key_translation.cpp.
#include "platform/window.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QIcon>
#include <QKeyEvent>
#include <QLayout>
#include <QMargins>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QStyle>
#include <QTimer>
#include <QUrl>
#include <QWindow>
#include <QWindowStateChangeEvent>

#include <algorithm>
#include <cmath>

#include "platform/app.h"
#include "platform/bitmap_impl.h"
#include "platform/keys.h"
#include "platform/menu_bar.h"
#include "platform/resources.h"
#include "platform/testing_impl.h"
#include "platform/ui_log.h"
#include "platform/window_impl.h"

namespace plat {

namespace {

// Command handlers running now, one inside another.
int g_commandDepth = 0;

QString Q(const std::string& s) { return QString::fromUtf8(s.c_str(), static_cast<int>(s.size())); }

const char* kOwnerProperty = "kurvatoWindow";
const char* kDecoratedProperty = "kurvatoDecorated";

// ---- the frame on the screen ----

bool Decorated(const QWidget* f) { return f->property(kDecoratedProperty).toBool(); }

// The decorations a faked window manager has put around the frame so far.
QMargins FakedMargins(const QWidget* f, bool& faking) {
  int l = 0, t = 0, r = 0, b = 0;
  faking = testing::internal::FakedDecorations(l, t, r, b);
  if (!faking || !Decorated(f)) return {};
  return QMargins(l, t, r, b);
}

// A top-level window is placed and measured by the corner of its frame and
// its size without the desktop's decorations (title bar, border).  The
// decorations are the window manager's: they differ between desktops and
// are often known only after the window is shown, so a size that counted
// them would grow by them at every store and restore.
Rect FrameRect(const QWidget* f) {
  bool faking = false;
  const QMargins m = FakedMargins(f, faking);
  const QPoint corner = faking ? f->geometry().topLeft() - QPoint(m.left(), m.top()) : f->pos();
  return Rect{corner.x(), corner.y(), corner.x() + f->width(), corner.y() + f->height()};
}

// Puts the frame's corner at (x, y) and sizes the window w x h without
// its decorations.
void PlaceFrame(QWidget* f, int x, int y, int w, int h) {
  bool faking = false;
  const QMargins m = FakedMargins(f, faking);
  if (faking) {
    f->setGeometry(x + m.left(), y + m.top(), w, h);
  } else {
    f->move(x, y);
    f->resize(w, h);
  }
}

// A faked window manager decorates a shown window on the next turn of the
// event loop and keeps the frame's corner where the window was.
void DecorateLater(QWidget* f) {
  bool faking = false;
  FakedMargins(f, faking);
  if (!faking || Decorated(f) || !f->isWindow()) return;
  QTimer::singleShot(0, f, [f] {
    if (Decorated(f) || f->isHidden()) return;
    f->setProperty(kDecoratedProperty, true);
    bool on = false;
    const QMargins m = FakedMargins(f, on);
    f->setGeometry(f->geometry().translated(m.left(), m.top()));
  });
}

}  // namespace

// ---------------------------------------------------------------------------
// Widgets

ClientWidget::ClientWidget(Window* owner, QWidget* parent) : QWidget(parent), owner_(owner) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setFocusPolicy(Qt::StrongFocus);
  setMouseTracking(true);
  setProperty(kOwnerProperty, QVariant::fromValue(static_cast<void*>(owner)));
}

// The program's paint runs outside the toolkit's paint event, soon after
// it: a long paint polls the keyboard and shows its progress through paint
// events of its own, which the toolkit does not deliver while one runs.
// The paint event only copies the surface to the screen.
void ClientWidget::paintEvent(QPaintEvent*) {
  if (!owner_) return;
  Window* parent = owner_->Parent();
  const bool frameWaits = parent && parent->ClientWindow() == owner_ && parent->HasInvalidArea();
  if (owner_->HasInvalidArea() || frameWaits) SchedulePaint();
  flushPending_ = false;
  QPainter p(this);
  p.drawImage(0, 0, ImageOf(owner_->impl()->surface));
}

void ClientWidget::SchedulePaint() {
  if (paintScheduled_) return;
  paintScheduled_ = true;
  QTimer::singleShot(0, this, [this] {
    paintScheduled_ = false;
    if (!owner_ || owner_->impl()->painting) return;
    owner_->impl()->PaintPending();
    // A frame whose client area is another window paints (off screen) when
    // its client does, so its paint hook still runs.
    if (Window* p = owner_ ? owner_->Parent() : nullptr; p && p->ClientWindow() == owner_) p->impl()->PaintPending();
    Flush();
  });
}

bool ClientWidget::PaintWaiting() const {
  if (!isVisible() || visibleRegion().isEmpty()) return false;
  const QWindow* handle = window()->windowHandle();
  if (!handle || !handle->isExposed()) return false;
  return paintScheduled_ || flushPending_ || (owner_ && owner_->impl()->invalid);
}



void ClientWidget::resizeEvent(QResizeEvent*) {
  if (owner_) owner_->impl()->ClientResized(width(), height());
}

void ClientWidget::mousePressEvent(QMouseEvent* e) {
  if (!owner_) return;
  Point p{static_cast<int>(e->position().x()), static_cast<int>(e->position().y())};
  unsigned keys = MouseKeysOf(e->buttons(), e->modifiers());
  if (e->button() == Qt::LeftButton) owner_->EvLButtonDown(keys, p);
  else if (e->button() == Qt::RightButton) owner_->EvRButtonDown(keys, p);
}

void ClientWidget::mouseReleaseEvent(QMouseEvent* e) {
  if (!owner_) return;
  Point p{static_cast<int>(e->position().x()), static_cast<int>(e->position().y())};
  unsigned keys = MouseKeysOf(e->buttons(), e->modifiers());
  if (e->button() == Qt::LeftButton) owner_->EvLButtonUp(keys, p);
  else if (e->button() == Qt::RightButton) owner_->EvRButtonUp(keys, p);
}

void ClientWidget::mouseDoubleClickEvent(QMouseEvent* e) {
  if (!owner_) return;
  Point p{static_cast<int>(e->position().x()), static_cast<int>(e->position().y())};
  unsigned keys = MouseKeysOf(e->buttons(), e->modifiers());
  if (e->button() == Qt::LeftButton) owner_->EvLButtonDblClk(keys, p);
  else if (e->button() == Qt::RightButton) owner_->EvRButtonDown(keys, p);
}

void ClientWidget::mouseMoveEvent(QMouseEvent* e) {
  if (!owner_) return;
  Point p{static_cast<int>(e->position().x()), static_cast<int>(e->position().y())};
  owner_->EvMouseMove(MouseKeysOf(e->buttons(), e->modifiers()), p);
}

void ClientWidget::keyPressEvent(QKeyEvent* e) {
  if (!owner_) return;
  unsigned vk, mods, ch;
  TranslateKey(e, vk, mods, ch);
  if (vk == 0 && ch == 0) {
    QWidget::keyPressEvent(e);
    return;
  }
  owner_->impl()->KeyPressed(vk, mods, ch);
}

void ClientWidget::focusInEvent(QFocusEvent* e) {
  if (!owner_) return;
  QWidget::focusInEvent(e);
  owner_->EvSetFocus();
}

void ClientWidget::dragEnterEvent(QDragEnterEvent* e) {
  if (!owner_) return;
  if (owner_->impl()->acceptDrops && e->mimeData()->hasUrls()) e->acceptProposedAction();
}

void ClientWidget::dropEvent(QDropEvent* e) {
  if (!owner_) return;
  if (!owner_->impl()->acceptDrops) return;
  std::vector<std::string> paths;
  for (const QUrl& u : e->mimeData()->urls())
    if (u.isLocalFile()) paths.push_back(u.toLocalFile().toStdString());
  e->acceptProposedAction();
  if (!paths.empty()) owner_->EvDropFiles(paths);
}

FrameWidget::FrameWidget(Window* owner) : QMainWindow(nullptr), owner_(owner), bar_(new MenuBarRows(this)) {
  setProperty(kOwnerProperty, QVariant::fromValue(static_cast<void*>(owner)));
  setAttribute(Qt::WA_DeleteOnClose, false);
}

void FrameWidget::closeEvent(QCloseEvent* e) {
  if (!owner_) return;
  // The program decides: CanClose() and then Destroy(), which removes the
  // widget itself.
  e->ignore();
  if (IsPolling()) return;
  owner_->EvClose();
}

void FrameWidget::changeEvent(QEvent* e) {
  QMainWindow::changeEvent(e);
  if (!owner_) return;
  if (e->type() == QEvent::WindowStateChange) {
    auto* cw = owner_->impl()->clientArea.data();
    Size s = cw ? Size{cw->width(), cw->height()} : Size{width(), height()};
    unsigned type = isMinimized() ? SIZE_MINIMIZED : isMaximized() ? SIZE_MAXIMIZED : SIZE_RESTORED;
    owner_->EvSize(type, s);
  }
}

void FrameWidget::moveEvent(QMoveEvent* e) {
  QMainWindow::moveEvent(e);
  if (!owner_) return;
  auto* impl = owner_->impl();
  if (!isMinimized() && !isMaximized()) {
    impl->normalRect = FrameRect(this);
    impl->haveNormalRect = true;
  }
  owner_->EvMove(Point{x(), y()});
}

void FrameWidget::resizeEvent(QResizeEvent* e) {
  QMainWindow::resizeEvent(e);
  if (!owner_) return;
  auto* impl = owner_->impl();
  if (!isMinimized() && !isMaximized()) {
    impl->normalRect = FrameRect(this);
    impl->haveNormalRect = true;
  }
}

void FrameWidget::keyPressEvent(QKeyEvent* e) {
  if (!owner_) {
    QMainWindow::keyPressEvent(e);
    return;
  }
  unsigned vk, mods, ch;
  TranslateKey(e, vk, mods, ch);
  if (vk == 0 && ch == 0) {
    QMainWindow::keyPressEvent(e);
    return;
  }
  owner_->impl()->KeyPressed(vk, mods, ch);
}

Window* WindowOfWidget(QObject* o) {
  for (; o; o = o->parent()) {
    QVariant v = o->property(kOwnerProperty);
    if (v.isValid()) return static_cast<Window*>(v.value<void*>());
  }
  return nullptr;
}

// ---------------------------------------------------------------------------
// Impl

void Window::Impl::PaintPending() {
  if (!invalid || painting || destroyed) return;
  WorkScope work;
  painting = true;
  invalid = false;
  bool erase = eraseOnPaint;
  eraseOnPaint = false;
  if (erase) surface.Fill(background);
  {
    BitmapDC dc(surface);
    self->Paint(dc, erase, Rect{0, 0, surface.Width(), surface.Height()});
  }
  painting = false;
  // Invalidated again while it painted: another paint follows.
  if (invalid && !destroyed && clientArea) clientArea->Flush();
}

void Window::Impl::ClientResized(int width, int height) {
  int w = std::max(width, 1);
  int h = std::max(height, 1);
  if (surface.Width() != w || surface.Height() != h) {
    surface.Resize(w, h, background);
    invalid = true;
    eraseOnPaint = true;
  }
  auto* f = frame.data();
  unsigned type = SIZE_RESTORED;
  if (f && f->isWindow()) type = f->isMinimized() ? SIZE_MINIMIZED : f->isMaximized() ? SIZE_MAXIMIZED : SIZE_RESTORED;
  self->EvSize(type, Size{width, height});
}

void Window::Impl::KeyPressed(unsigned vk, unsigned modifiers, unsigned ch) {
  if (vk) {
    // A frame's accelerators also serve the window filling its client area.
    for (Window* w = self; w; w = (w->Parent() && w->Parent()->ClientWindow() == w) ? w->Parent() : nullptr) {
      if (int id = w->FindAccelerator(vk, modifiers)) {
        w->Command(id);
        return;
      }
    }
    self->EvKeyDown(vk, modifiers);
  }
  if (ch && !destroyed) self->EvChar(ch);
}

// ---------------------------------------------------------------------------
// Window

Window::Window(Window* parent, const std::string& caption) : parent_(parent), impl_(std::make_unique<Impl>()) {
  impl_->self = this;
  impl_->caption = caption;
  if (parent_) parent_->impl_->children.push_back(this);
}

Window::~Window() {
  ForgetScheduledDelete(this);
  ForgetPollQueues(this);
  testing::internal::ForgetFakeTimers(this);
  // Owned child windows go with their parent; dialogs belong to whoever
  // created them and are only detached.
  std::vector<Window*> kids = impl_->children;
  for (Window* c : kids) {
    c->parent_ = nullptr;
    if (!c->impl_->isDialog) delete c;
  }
  if (parent_) {
    auto& sib = parent_->impl_->children;
    sib.erase(std::remove(sib.begin(), sib.end(), this), sib.end());
  }
  for (auto& [id, t] : impl_->timers) delete t;
  if (impl_->frame) {
    QWidget* f = impl_->frame.data();
    impl_->frame = nullptr;
    delete f;
  }
}

bool Window::CreateNative() {
  auto& d = *impl_;
  bool isClient = parent_ && parent_->impl_->client == this && parent_->impl_->frame;
  bool topLevel = !isClient && !(d.childOfClientArea && parent_ && parent_->impl_->clientArea);
  if (isClient) {
    auto* cw = new ClientWidget(this, parent_->impl_->frame.data());
    d.frame = cw;
    d.clientArea = cw;
  } else if (topLevel) {
    auto* fw = new FrameWidget(this);
    d.frame = fw;
    fw->setMenuWidget(fw->Bar());
    auto* cw = new ClientWidget(this, fw);
    d.clientArea = cw;
    fw->setCentralWidget(cw);
    fw->setWindowTitle(Q(d.caption));
    fw->resize(400, 300);
  } else {
    auto* cw = new ClientWidget(this, parent_->impl_->clientArea.data());
    d.frame = cw;
    d.clientArea = cw;
  }
  d.clientArea->setAcceptDrops(d.acceptDrops);
  return true;
}

bool Window::Create() {
  auto& d = *impl_;
  if (d.created) return true;
  if (!CreateNative()) return false;
  d.created = true;
  if (!d.menuName.empty()) d.BuildMenuBar();
  if (!d.iconName.empty()) SetIcon(d.iconName);
  if (d.clientArea) {
    QSize s = d.clientArea->size();
    d.surface.Resize(std::max(s.width(), 1), std::max(s.height(), 1), d.background);
    d.surface.Fill(d.background);
  }
  // The client window first, as the frame's set-up may rely on it.
  if (d.client && !d.client->IsCreated()) d.client->Create();
  if (d.client && d.client->impl_->frame) {
    if (auto* fw = dynamic_cast<FrameWidget*>(d.frame.data())) {
      QWidget* old = fw->takeCentralWidget();
      fw->setCentralWidget(d.client->impl_->frame.data());
      // The frame keeps its own client widget, hidden, so that it goes with
      // the frame (taking it out of the layout orphaned it).
      if (old && old != d.client->impl_->frame.data()) {
        old->setParent(fw);
        old->hide();
      }
    }
  }
  // A placement given before creation is the window's initial one.
  if (d.havePendingGeometry) {
    Rect r = d.pendingGeometry;
    d.havePendingGeometry = false;
    MoveWindow(r.left, r.top, r.Width(), r.Height());
  }
  SetupWindow();
  if (d.destroyed) return false;
  // Child windows created before this one get their native windows now.
  for (Window* c : std::vector<Window*>(d.children))
    if (!c->impl_->isDialog && !c->impl_->created && c->impl_->childOfClientArea) c->Create();
  d.invalid = true;
  d.eraseOnPaint = true;
  return true;
}

bool Window::IsCreated() const { return impl_->created && !impl_->destroyed; }
bool Window::IsDestroyed() const { return impl_->destroyed; }

bool Window::CanClose() {
  for (Window* c : std::vector<Window*>(impl_->children))
    if (!c->impl_->isDialog && c->IsCreated() && !c->CanClose()) return false;
  return true;
}

void Window::CloseWindow() {
  if (impl_->destroyed) return;
  if (CanClose()) Destroy();
}

void Window::Destroy() {
  auto& d = *impl_;
  if (d.destroyed) return;
  d.destroyed = true;
  for (Window* c : std::vector<Window*>(d.children))
    if (!c->impl_->destroyed) c->Destroy();
  for (auto& [id, t] : d.timers) t->stop();
  testing::internal::ForgetFakeTimers(this);
  if (d.frame) {
    d.frame->hide();
    d.frame->setProperty(kOwnerProperty, QVariant());
    if (d.clientArea) {
      d.clientArea->setProperty(kOwnerProperty, QVariant());
      d.clientArea->Detach();
    }
    if (auto* fw = dynamic_cast<FrameWidget*>(d.frame.data())) fw->Detach();
    QWidget* f = d.frame.data();
    d.frame = nullptr;
    d.clientArea = nullptr;
    f->deleteLater();
  }
  if (!d.isDialog && (!parent_ || !parent_->impl_->destroyed)) ScheduleDelete(this);
  if (this == App::MainWindow()) App::Quit(0);
}

const std::vector<Window*>& Window::Children() const { return impl_->children; }

void Window::SetClientWindow(Window* client) {
  impl_->client = client;
  if (!client) return;
  client->impl_->childOfClientArea = true;
  if (client->parent_ != this) {
    if (client->parent_) {
      auto& sib = client->parent_->impl_->children;
      sib.erase(std::remove(sib.begin(), sib.end(), client), sib.end());
    }
    client->parent_ = this;
    impl_->children.push_back(client);
  }
}

Window* Window::ClientWindow() const { return impl_->client; }
void Window::SetChildStyle(bool childOfClientArea) { impl_->childOfClientArea = childOfClientArea; }

void Window::SetCaption(const std::string& caption) {
  impl_->caption = caption;
  if (impl_->frame && impl_->frame->isWindow()) impl_->frame->setWindowTitle(Q(caption));
}

std::string Window::GetCaption() const { return impl_->caption; }

void Window::SetIcon(const std::string& resourceName) {
  impl_->iconName = resourceName;
  if (!impl_->frame) return;
  // The program's icon: a small drawn curve, the same for every window.
  static QIcon icon = [] {
    QPixmap pm(32, 32);
    pm.fill(QColor(64, 128, 128));
    QPainter p(&pm);
    p.setPen(QPen(QColor(255, 255, 255), 2));
    for (int x = 2; x < 30; ++x) {
      double t = (x - 16) / 5.0;
      double y = 16 - 10 * std::sin(t) / (1 + 0.05 * t * t);
      p.drawPoint(x, static_cast<int>(y));
    }
    return QIcon(pm);
  }();
  impl_->frame->setWindowIcon(icon);
}

void Window::Show(int cmd) {
  auto* f = impl_->frame.data();
  if (!f) return;
  const bool wasHidden = f->isHidden();
  switch (cmd) {
    case SW_HIDE: f->hide(); break;
    case SW_SHOWMINIMIZED:
    case SW_MINIMIZE: f->showMinimized(); break;
    case SW_SHOWMAXIMIZED: f->showMaximized(); break;
    case SW_RESTORE:
    case SW_SHOWNORMAL: f->showNormal(); break;
    default: f->show(); break;
  }
  if (cmd != SW_HIDE) DecorateLater(f);
  if (wasHidden && cmd != SW_HIDE && impl_->haveHiddenFrameRect && f->isWindow() && !f->isMaximized() &&
      !f->isMinimized()) {
    impl_->haveHiddenFrameRect = false;
    Rect r = impl_->hiddenFrameRect;
    MoveWindow(r.left, r.top, r.Width(), r.Height());
  }
  // A frame shown while a modal dialog runs (the colour window of an
  // equation dialog) belongs to that dialog, so the dialog does not block it.
  if (cmd != SW_HIDE && f->isWindow() && dynamic_cast<FrameWidget*>(f) && f->windowHandle()) {
    QWidget* modal = QApplication::activeModalWidget();
    f->windowHandle()->setTransientParent(modal && modal != f ? modal->windowHandle() : nullptr);
  }
  if (impl_->clientArea) impl_->ClientResized(impl_->clientArea->width(), impl_->clientArea->height());
}

bool Window::IsVisible() const { return impl_->frame && !impl_->frame->isHidden(); }
bool Window::IsZoomed() const { return impl_->frame && impl_->frame->isMaximized(); }
bool Window::IsIconic() const { return impl_->frame && impl_->frame->isMinimized(); }

void Window::MoveWindow(int x, int y, int width, int height) {
  auto* f = impl_->frame.data();
  if (!f) {
    impl_->pendingGeometry = Rect{x, y, x + width, y + height};
    impl_->havePendingGeometry = true;
    return;
  }
  if (f->isWindow()) {
    if (f->isHidden()) {
      impl_->hiddenFrameRect = Rect{x, y, x + width, y + height};
      impl_->haveHiddenFrameRect = true;
    }
    PlaceFrame(f, x, y, std::max(width, 1), std::max(height, 1));
    // Lay the frame out now, so the client area has its new size at once
    // (also while the window is still hidden: a hidden frame gets no resize
    // event that would mark its layout stale).
    if (f->layout()) {
      f->layout()->invalidate();
      f->layout()->activate();
    }
    if (!f->isMinimized() && !f->isMaximized()) {
      impl_->normalRect = Rect{x, y, x + width, y + height};
      impl_->haveNormalRect = true;
    }
  } else {
    f->setGeometry(x, y, width, height);
  }
  if (impl_->clientArea) impl_->ClientResized(impl_->clientArea->width(), impl_->clientArea->height());
}

void Window::MoveTo(int x, int y) {
  auto* f = impl_->frame.data();
  if (!f) {
    Rect r = impl_->pendingGeometry;
    impl_->pendingGeometry = Rect{x, y, x + r.Width(), y + r.Height()};
    return;
  }
  if (f->isWindow()) {
    PlaceFrame(f, x, y, f->width(), f->height());
  } else {
    f->move(x, y);
  }
  if (f->isWindow() && !f->isMinimized() && !f->isMaximized()) {
    impl_->normalRect = FrameRect(f);
    impl_->haveNormalRect = true;
  }
}

Rect Window::GetWindowRect() const {
  auto* f = impl_->frame.data();
  if (!f) return impl_->pendingGeometry;
  if (f->isWindow()) return FrameRect(f);
  QRect g(f->mapToGlobal(QPoint(0, 0)), f->size());
  return Rect{g.left(), g.top(), g.left() + g.width(), g.top() + g.height()};
}

Rect Window::GetClientRect() const {
  if (impl_->clientArea) return Rect{0, 0, impl_->clientArea->width(), impl_->clientArea->height()};
  if (impl_->frame) return Rect{0, 0, impl_->frame->width(), impl_->frame->height()};
  return Rect{};
}

Rect Window::NormalRect() const { return impl_->haveNormalRect ? impl_->normalRect : GetWindowRect(); }

int Window::CaptionAndMenuHeight() {
  // A title bar and one menu bar line.
  QStyle* st = QApplication::style();
  int title = st ? st->pixelMetric(QStyle::PM_TitleBarHeight) : 20;
  int menu = QFontMetrics(QApplication::font()).height() + 8;
  return std::max(title, 18) + menu;
}

void Window::BringToTop() {
  if (!impl_->frame) return;
  impl_->frame->raise();
  impl_->frame->activateWindow();
}

void Window::SetForeground() { BringToTop(); }

bool Window::IsActive() const { return impl_->frame && impl_->frame->isActiveWindow(); }

void Window::SetFocus() {
  if (impl_->clientArea) impl_->clientArea->setFocus();
}

// ---- commands ----

const CommandTable& Window::Commands() const {
  static const CommandTable table;
  return table;
}

CommandEnabler Window::QueryEnabler(int id) {
  CommandEnabler ce;
  ce.id = id;
  if (const auto* e = Commands().FindEnabler(id)) e->enabler(*this, ce);
  return ce;
}

CommandEnabler Window::QueryCommand(int id) {
  CommandEnabler ce = QueryEnabler(id);
  // A command without a handler (a feature not built yet) is greyed,
  // whatever its enabler says: no menu item may do nothing when clicked.
  if (!Commands().FindHandler(id)) ce.enabled = false;
  return ce;
}

int Window::CommandDepth() { return g_commandDepth; }

bool Window::Command(int id) {
  if (impl_->destroyed) return false;
  const CommandTable& t = Commands();
  const auto* h = t.FindHandler(id);
  if (!h) return false;
  if (const auto* e = t.FindEnabler(id)) {
    CommandEnabler ce;
    ce.id = id;
    e->enabler(*this, ce);
    if (!ce.enabled) {
      if (UiLogOn()) NoteCommand(*this, id, false);
      return false;
    }
  }
  // No command runs beneath an open menu or other pop-up, which would keep
  // the keys that steer or stop its work: an accelerator typed into an open
  // menu closes it, as choosing a menu entry does.
  ClosePopups();
  // The window's native id is taken before the handler, which may close it.
  const unsigned long logged = UiLogOn() ? NoteCommand(*this, id, true) : 0;
  ++g_commandDepth;
  struct Depth {
    ~Depth() { --g_commandDepth; }
  } depth;
  h->handler(*this, id);
  if (UiLogOn()) NoteCommandDone(logged, id);
  return true;
}

int Window::FindAccelerator(unsigned vk, unsigned modifiers) const {
  const res::AcceleratorTable* t = res::FindAccelerators(impl_->accelName);
  if (!t) return 0;
  for (const auto& a : t->entries)
    if (a.key == vk && a.modifiers == modifiers) return a.id;
  return 0;
}

// ---- painting ----

void Window::Invalidate(bool erase) {
  impl_->invalid = true;
  impl_->eraseOnPaint = impl_->eraseOnPaint || erase;
  if (impl_->clientArea) impl_->clientArea->Flush();
}

void Window::InvalidateRect(const Rect&, bool erase) { Invalidate(erase); }

void Window::UpdateWindow() { impl_->PaintPending(); }

bool Window::HasInvalidArea() const { return impl_->invalid; }

void Window::SetBkgndColor(Colour c) { impl_->background = c; }
Colour Window::GetBkgndColor() const { return impl_->background; }
Bitmap& Window::Surface() { return impl_->surface; }
const Bitmap& Window::Surface() const { return impl_->surface; }

void Window::SimulateKey(unsigned vk, unsigned modifiers, unsigned ch) { impl_->KeyPressed(vk, modifiers, ch); }

// ---- timers, drops, capture ----

void DeliverTimer(Window* w, unsigned id) {
  // A poll of another window holds the timer back, as it holds input back;
  // the polling window's own timers drive its work (the time animation).
  if (w && !w->IsDestroyed() && (!IsPolling() || IsPollingWindow(w))) w->EvTimer(id);
}

void Window::SetTimer(unsigned id, int milliseconds) {
  if (testing::internal::FakeTicksOn()) {
    testing::internal::SetFakeTimer(this, id, milliseconds);
    return;
  }
  auto& t = impl_->timers[id];
  if (!t) {
    t = new QTimer();
    QObject::connect(t, &QTimer::timeout, t, [this, id] { DeliverTimer(this, id); });
  }
  t->start(std::max(milliseconds, 1));
}

void Window::KillTimer(unsigned id) {
  testing::internal::KillFakeTimer(this, id);
  auto it = impl_->timers.find(id);
  if (it != impl_->timers.end()) it->second->stop();
}

void Window::DragAcceptFiles(bool accept) {
  impl_->acceptDrops = accept;
  if (impl_->clientArea) impl_->clientArea->setAcceptDrops(accept);
}

void Window::SetCapture() {
  if (impl_->clientArea) impl_->clientArea->grabMouse();
}

void Window::ReleaseCapture() {
  if (impl_->clientArea) impl_->clientArea->releaseMouse();
}

// ---------------------------------------------------------------------------
// ClientDC

ClientDC::ClientDC(Window& w) : BitmapDC(w.Surface()), window_(w) {}

ClientDC::~ClientDC() {
  if (auto* cw = window_.impl()->clientArea.data()) cw->Flush();
}

}  // namespace plat
