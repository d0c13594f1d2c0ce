// The toolkit's own dialogs speak German, file filters name each pattern
// once, and the file dialog's name field keeps what the user types.
#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/common_dialogs.h"
#include "platform/file_dialog_name.h"
#include "support/temp_dir.h"

namespace {

TEST(CommonDialogs, TheToolkitsDialogsSpeakGermanWhateverTheLocale) {
  EXPECT_EQ(QCoreApplication::translate("QFileDialog", "Look in:").toStdString(), "Suchen in:");
  EXPECT_EQ(QCoreApplication::translate("QFileDialog", "Save As").toStdString(), "Speichern unter");
  EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel").toStdString(), "Abbrechen");
}

TEST(CommonDialogs, FiltersNameEachPatternOnce) {
  const struct {
    const char* filter;
    std::vector<std::string> lines;
  } rows[] = {
      {"Plot2D Dateien (*.KV2)|*.kv2|", {"Plot2D Dateien (*.KV2)"}},
      {"Windows Bitmap (*.BMP)|*.bmp", {"Windows Bitmap (*.BMP)"}},
      {"Bilder|*.bmp;*.dib|Alle (*.*)|*.*|", {"Bilder (*.bmp *.dib)", "Alle (*.*)"}},
      {"Text|*.txt|||", {"Text (*.txt)"}},
      {"", {}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.filter);
    EXPECT_EQ(plat::FileDialogFilters(row.filter), row.lines);
  }
}

// Keys sent straight to the field, as they reach it on a busy machine
// while it lacks the focus.
void TypeInto(QLineEdit* field, const QString& text) {
  for (const QChar c : text) {
    QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
    QCoreApplication::sendEvent(field, &press);
    QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, QString(c));
    QCoreApplication::sendEvent(field, &release);
  }
}

// A shown file dialog in the folder, whose default suffix "bmp" makes the
// "/d/pic" on the way to "/d/pic.bmp.old" name the file "/d/pic.bmp".
struct ShownFileDialog {
  ShownFileDialog(const std::string& dir, bool save) {
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setDefaultSuffix("bmp");
    dialog.setDirectory(QString::fromStdString(dir));
    plat::KeepTypedFileName(dialog);
    dialog.show();
    field = dialog.findChild<QLineEdit*>("fileNameEdit");
    if (field) field->clearFocus();
  }
  QFileDialog dialog;
  QLineEdit* field = nullptr;
};

TEST(CommonDialogs, TheFileNameFieldKeepsWhatIsTyped) {
  const std::string dir = kvtest::MakeTempDir("typed-name");
  std::ofstream(dir + "pic.bmp") << "BM";
  std::filesystem::create_directory(dir + "sub");
  const struct {
    bool save;
    std::string typed;
    std::string chosen;  // the file the dialog gives
  } rows[] = {
      {false, dir + "pic.bmp", dir + "pic.bmp"},
      {true, dir + "pic.bmp.old", dir + "pic.bmp.old"},
      // "pic" selected pic.bmp on the way: the selection follows the text.
      {true, dir + "pic2", dir + "pic2.bmp"},
      {true, "pic", dir + "pic.bmp"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.typed);
    ShownFileDialog d(dir, row.save);
    ASSERT_NE(d.field, nullptr);
    ASSERT_FALSE(d.field->hasFocus());
    TypeInto(d.field, QString::fromStdString(row.typed));
    EXPECT_EQ(d.field->text().toStdString(), row.typed);
    EXPECT_EQ(d.dialog.selectedFiles().join('|').toStdString(), row.chosen);
  }

  // A file clicked in the list still becomes the name, after typing too.
  ShownFileDialog d(dir, false);
  ASSERT_NE(d.field, nullptr);
  TypeInto(d.field, "xyz");
  auto* list = d.dialog.findChild<QAbstractItemView*>("listView");
  ASSERT_NE(list, nullptr);
  QModelIndex pic;
  QElapsedTimer waited;
  waited.start();
  while (!pic.isValid() && waited.elapsed() < 10000) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    for (int r = 0; r < list->model()->rowCount(list->rootIndex()); ++r) {
      const QModelIndex i = list->model()->index(r, 0, list->rootIndex());
      if (i.data().toString() == "pic.bmp") pic = i;
    }
  }
  ASSERT_TRUE(pic.isValid()) << "the folder was not listed";
  const QPoint at = list->visualRect(pic).center();
  for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
    QMouseEvent click(type, at, list->viewport()->mapToGlobal(at), Qt::LeftButton,
                      type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(list->viewport(), &click);
  }
  EXPECT_EQ(d.field->text().toStdString(), "pic.bmp");
  EXPECT_EQ(d.dialog.selectedFiles().join('|').toStdString(), dir + "pic.bmp");
}

}  // namespace
