#include "plot2d/plot2_win.h"

namespace kv {

TPlot2Win::TPlot2Win(plat::Window* parent, const std::string& caption) : TFileMsgWin(parent, caption) {}

}  // namespace kv
