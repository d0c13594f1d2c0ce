#include "plot3d/plot3_win.h"

namespace kv {

TPlot3Win::TPlot3Win(plat::Window* parent, const std::string& caption) : TFileMsgWin(parent, caption) {}

}  // namespace kv
