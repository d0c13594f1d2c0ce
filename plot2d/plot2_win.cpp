#include "plot2d/plot2_win.h"

#include "platform/resources.h"

namespace kv {

TPlot2Win::TPlot2Win(plat::Window* parent, const std::string& caption) : TZORWinm(parent, caption) {
  FileTypeCode = kFileType2D;
  AxesShown = 1;
  SettingsFileName = kSettingsFile2D;
  AssignMenu("PLOT2MENU");
  FileData.Filter = plat::res::String(267);
  FileData.DefaultExt = "kv2";
}

void TPlot2Win::SetupWindow() {
  TZORWinm::SetupWindow();
  OpenStartFile();
}

}  // namespace kv
