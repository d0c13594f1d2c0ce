// The special plane windows: a mapping's domain and range windows and the
// windows with logarithmic axes.  Until their plot layers arrive each is
// the window base with its kind's file type, settings file and menu.  The
// planetary system and the function quiz have headers of their own.
#pragma once

#include <cstdint>

#include "planewin/planet_win.h"
#include "planewin/quiz_win.h"
#include "plot2d/plot2_win.h"

namespace kv {

class TRan2Win;

// Windows of these kinds read and write the basic file of the window base.
class TPlaneBaseWin : public TZORWin {
 public:
  TPlaneBaseWin(plat::Window* parent, const std::string& caption, std::int32_t fileType,
                const char* settingsFile, const char* menu);
  void SetupWindow() override;
  int ReadFile() override { return ReadBasicFile(); }
  bool WriteFile() override { return WriteBasicFile(); }
};

class TDom2Win : public TPlaneBaseWin {
 public:
  TDom2Win(plat::Window* parent, const std::string& caption);
  void SetupWindow() override;
  std::uint8_t MappingMode = 0;  // 0 real (x, y), 1 complex z
  TRan2Win* RangeWindow = nullptr;
};

class TRan2Win : public TPlaneBaseWin {
 public:
  TRan2Win(plat::Window* parent, const std::string& caption);
  void AttachDomain(TDom2Win* domain) { Domain = domain; }
  std::uint8_t MappingMode = 0;
  TDom2Win* Domain = nullptr;
};

class TLogWin : public TPlaneBaseWin {
 public:
  TLogWin(plat::Window* parent, const std::string& caption, int axisType);
  std::int16_t AxisType = 1;  // 1 log x, 2 log y, 3 both
};

}  // namespace kv
