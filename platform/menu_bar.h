// A frame window's menu bar.  Like the menu bars of the desktop the program
// was made for, it wraps: entries that do not fit in one line go to the
// next, and the client area below gives up the height.  It holds the bar's
// entries in order (pop-up menus and commands) and shows them in as many
// rows as the frame's width needs.  Platform-internal.
#pragma once

#include <QList>
#include <QRect>
#include <QWidget>

#include <vector>

class QAction;
class QMenu;
class QMenuBar;
class QVBoxLayout;

namespace plat {

class MenuBarRows : public QWidget {
 public:
  explicit MenuBarRows(QWidget* frame);

  const QList<QAction*>& Entries() const { return entries_; }
  // A new pop-up entry at the end; the menu belongs to this widget.
  QMenu* AddMenu(const QString& text);
  void AddEntry(QAction* a);
  // Inserts before `before` (at the end when it is not an entry).
  void InsertEntry(QAction* before, QAction* a);
  void RemoveEntry(QAction* a);
  void Clear();
  // The entry's rectangle in this widget's coordinates (empty when hidden).
  QRect EntryGeometry(QAction* a) const;

 protected:
  void resizeEvent(QResizeEvent* e) override;

 private:
  // Shares the entries out to rows that fit the width.
  void Wrap();
  QMenuBar* Row(std::size_t i);

  QList<QAction*> entries_;
  std::vector<QMenuBar*> rows_;
  QVBoxLayout* layout_;
  int wrappedWidth_ = -1;
};

}  // namespace plat
