#include "planewin/plane_windows.h"

#include "platform/resources.h"

namespace kv {

TPlaneBaseWin::TPlaneBaseWin(plat::Window* parent, const std::string& caption, std::int32_t fileType,
                             const char* settingsFile, const char* menu)
    : TZORWin(parent, caption) {
  FileTypeCode = fileType;
  SettingsFileName = settingsFile;
  AssignMenu(menu);
  FileData.Filter = plat::res::String(267);
  FileData.DefaultExt = "kv2";
}

void TPlaneBaseWin::SetupWindow() {
  TZORWin::SetupWindow();
  OpenStartFile();
}

TPlotXWin::TPlotXWin(plat::Window* parent, const std::string& caption)
    : TPlaneBaseWin(parent, caption, kFileTypePlanet, kSettingsFile2D, "PLOT2MENU") {
  SetHelpNames("KVXHELP", {"KVFILEH", "KVFORMH", "KV2CALCH", "KV2VIEWH", "KV2BTNSH", "KV2MISCH", "KVANIMH",
                           "KVSTYLEH", "KVSTYLEH", "KV2VIEWH"});
}

TPlotGWin::TPlotGWin(plat::Window* parent, const std::string& caption)
    : TPlaneBaseWin(parent, caption, kFileType2D, kSettingsFileGuess, "GUESSMENU") {
  SetHelpNames("KVGHELP", {"KVFILEH", "KVSTYLEH", "KVSTYLEH"});
}

}  // namespace kv
