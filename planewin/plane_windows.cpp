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

// The base menus of these kinds: "&Datei", "&Schrift", "&Farbe", "&Hilfe".
TDom2Win::TDom2Win(plat::Window* parent, const std::string& caption)
    : TPlaneBaseWin(parent, caption, kFileType2D, kSettingsFileDomain, "DOM2MENU") {
  SetHelpNames("KV2MAPH", {"KVFILEH", "KVSTYLEH", "KVSTYLEH"});
}

void TDom2Win::SetupWindow() {
  // The mapping mode is known only after construction.
  FileData.Filter = plat::res::String(MappingMode == 0 ? 268 : 273);
  FileData.DefaultExt = MappingMode == 0 ? "ma2" : "maz";
  TPlaneBaseWin::SetupWindow();
}

TRan2Win::TRan2Win(plat::Window* parent, const std::string& caption)
    : TPlaneBaseWin(parent, caption, kFileType2D, kSettingsFileRange, "RAN2MENU") {
  SetHelpNames("KV2MAPH", {"KVFILEH", "KVSTYLEH", "KVSTYLEH"});
}

TLogWin::TLogWin(plat::Window* parent, const std::string& caption, int axisType)
    : TPlaneBaseWin(parent, caption, kFileType2D, kSettingsFileLog, "LOGMENU"),
      AxisType(static_cast<std::int16_t>(axisType)) {
  SetHelpNames("KVLHELP", {"KVFILEH", "KVSTYLEH", "KVSTYLEH"});
  FileData.Filter = plat::res::String(290);
  FileData.DefaultExt = "lkv";
}

}  // namespace kv
