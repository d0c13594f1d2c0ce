// The special plane windows: the planetary system and the function quiz
// (until their plot layers arrive each is the window base with its kind's
// file type, settings file and menu), and the headers of the mapping pair
// and the windows with logarithmic axes.
#pragma once

#include <cstdint>

#include "planewin/dom2_win.h"
#include "planewin/log_win.h"
#include "planewin/ran2_win.h"
#include "plot2d/plot2_win.h"

namespace kv {

// The planet window's own type code: it shares "kv2.ini" with the 2D
// window, and each refuses the other's settings.
inline constexpr std::int32_t kFileTypePlanet = 842;

// Windows of these kinds read and write the basic file of the window base.
class TPlaneBaseWin : public TZORWin {
 public:
  TPlaneBaseWin(plat::Window* parent, const std::string& caption, std::int32_t fileType,
                const char* settingsFile, const char* menu);
  void SetupWindow() override;
  int ReadFile() override { return ReadBasicFile(); }
  bool WriteFile() override { return WriteBasicFile(); }
};

class TPlotXWin : public TPlaneBaseWin {
 public:
  TPlotXWin(plat::Window* parent, const std::string& caption);
};

class TPlotGWin : public TPlaneBaseWin {
 public:
  TPlotGWin(plat::Window* parent, const std::string& caption);
};

}  // namespace kv
