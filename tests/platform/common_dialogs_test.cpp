// The toolkit's own dialogs speak German, and file filters name each
// pattern once.
#include <gtest/gtest.h>

#include <QCoreApplication>

#include <string>
#include <vector>

#include "platform/common_dialogs.h"

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

}  // namespace
