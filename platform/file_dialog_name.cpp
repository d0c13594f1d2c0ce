#include "platform/file_dialog_name.h"

#include <QAbstractItemView>
#include <QEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QStringList>

#include <vector>

namespace plat {

namespace {

class TypedFileName : public QObject {
 public:
  TypedFileName(QFileDialog& dialog, QLineEdit* field, QItemSelectionModel* selection)
      : QObject(&dialog), dialog_(dialog), field_(field), selection_(selection) {}

  // The dialog's own answer to a change of the selection is replaced by
  // Selected: it rewrote the field while the user typed.
  void Attach(const std::vector<QAbstractItemView*>& views) {
    QObject::disconnect(selection_, &QItemSelectionModel::selectionChanged, &dialog_, nullptr);
    QObject::connect(selection_, &QItemSelectionModel::selectionChanged, this, [this] { Selected(); });
    // Emitted before the text change the dialog answers by selecting the
    // file the text names: that selection then stands alone.
    QObject::connect(field_, &QLineEdit::textEdited, this, [this] {
      last_ = Last::Field;
      selection_->clearSelection();
    });
    for (QAbstractItemView* v : views) {
      v->installEventFilter(this);
      v->viewport()->installEventFilter(this);
    }
  }

 protected:
  bool eventFilter(QObject*, QEvent* e) override {
    const QEvent::Type t = e->type();
    if (t == QEvent::MouseButtonPress || t == QEvent::MouseButtonDblClick || t == QEvent::KeyPress)
      last_ = Last::List;
    return false;
  }

 private:
  enum class Last { Nobody, Field, List };

  void Selected() {
    const bool fromList = last_ == Last::List || (last_ == Last::Nobody && !field_->hasFocus());
    QStringList names;
    if (fromList) {
      for (const QModelIndex& row : selection_->selectedRows()) {
        const QString path = row.data(QFileSystemModel::FilePathRole).toString();
        if (dialog_.fileMode() != QFileDialog::Directory && QFileInfo(path).isDir()) continue;
        names << row.data().toString();
      }
      if (names.size() > 1)
        for (QString& n : names) n = '"' + n + '"';
    }
    if (!names.isEmpty() && field_->isVisible()) {
      field_->setText(names.join(' '));  // the dialog updates its button with the text
      return;
    }
    // The button ("Öffnen" for a folder) follows the selection all the same.
    if (dialog_.metaObject()->indexOfMethod("_q_updateOkButton()") >= 0)
      QMetaObject::invokeMethod(&dialog_, "_q_updateOkButton");
  }

  QFileDialog& dialog_;
  QLineEdit* field_;
  QItemSelectionModel* selection_;
  Last last_ = Last::Nobody;
};

}  // namespace

void KeepTypedFileName(QFileDialog& dialog) {
  auto* field = dialog.findChild<QLineEdit*>("fileNameEdit");
  auto* list = dialog.findChild<QAbstractItemView*>("listView");
  auto* details = dialog.findChild<QAbstractItemView*>("treeView");
  if (!field || !list || !list->selectionModel()) return;
  std::vector<QAbstractItemView*> views{list};
  if (details && details->selectionModel() == list->selectionModel()) views.push_back(details);
  (new TypedFileName(dialog, field, list->selectionModel()))->Attach(views);
}

}  // namespace plat
