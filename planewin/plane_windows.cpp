#include "planewin/plane_windows.h"

namespace kv {

TDom2Win::TDom2Win(plat::Window* parent, const std::string& caption) : TFileMsgWin(parent, caption) {}
TRan2Win::TRan2Win(plat::Window* parent, const std::string& caption) : TFileMsgWin(parent, caption) {}
TPlotXWin::TPlotXWin(plat::Window* parent, const std::string& caption) : TFileMsgWin(parent, caption) {}
TPlotGWin::TPlotGWin(plat::Window* parent, const std::string& caption) : TFileMsgWin(parent, caption) {}
TLogWin::TLogWin(plat::Window* parent, const std::string& caption, int axisType)
    : TFileMsgWin(parent, caption), AxisType(static_cast<std::int16_t>(axisType)) {}

}  // namespace kv
