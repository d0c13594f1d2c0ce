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
  // Opens the entry's menu from its row, as a click on the entry does;
  // false when the entry is not shown.
  bool OpenEntry(QAction* a);

  // The frame's layout asks the bar's height for the frame's width, so that
  // the client area below is right before the bar is shown.
  bool hasHeightForWidth() const override { return true; }
  int heightForWidth(int width) const override;
  QSize sizeHint() const override;

 protected:
  void resizeEvent(QResizeEvent* e) override;

 private:
  // The entries of each row at this width.
  std::vector<QList<QAction*>> RowsFor(int width) const;
  // Shares the entries out to rows that fit the width.
  void Wrap();
  QMenuBar* Row(std::size_t i);
  int RowHeight() const;

  QList<QAction*> entries_;
  QMenuBar* measure_;  // never shown: the style's metrics of a bar
  std::vector<QMenuBar*> rows_;
  int wrappedWidth_ = -1;
  mutable int rowHeight_ = 0;
};

}  // namespace plat
