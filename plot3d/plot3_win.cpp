#include "plot3d/plot3_win.h"

#include "platform/resources.h"

namespace kv {

TPlot3Win::TPlot3Win(plat::Window* parent, const std::string& caption) : TZORWin(parent, caption) {
  FileTypeCode = kFileType3D;
  SettingsFileName = kSettingsFile3D;
  AssignMenu("PLOT3MENU");
  FileData.Filter = plat::res::String(269);
  FileData.DefaultExt = "kv3";
}

void TPlot3Win::SetupWindow() {
  TZORWin::SetupWindow();
  OpenStartFile();
}

}  // namespace kv
