// The special plane windows: a mapping's domain and range windows, the
// planetary system, the function quiz and the windows with logarithmic axes.
#pragma once

#include <cstdint>

#include "shell/file_msg_win.h"

namespace kv {

class TRan2Win;

class TDom2Win : public TFileMsgWin {
 public:
  TDom2Win(plat::Window* parent, const std::string& caption);
  std::uint8_t MappingMode = 0;  // 0 real (x, y), 1 complex z
  TRan2Win* RangeWindow = nullptr;
};

class TRan2Win : public TFileMsgWin {
 public:
  TRan2Win(plat::Window* parent, const std::string& caption);
  void AttachDomain(TDom2Win* domain) { Domain = domain; }
  std::uint8_t MappingMode = 0;
  TDom2Win* Domain = nullptr;
};

class TPlotXWin : public TFileMsgWin {
 public:
  TPlotXWin(plat::Window* parent, const std::string& caption);
};

class TPlotGWin : public TFileMsgWin {
 public:
  TPlotGWin(plat::Window* parent, const std::string& caption);
};

class TLogWin : public TFileMsgWin {
 public:
  TLogWin(plat::Window* parent, const std::string& caption, int axisType);
  std::int16_t AxisType = 1;  // 1 log x, 2 log y, 3 both
};

}  // namespace kv
