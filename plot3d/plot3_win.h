// The ordinary 3D plot window.
#pragma once

#include "shell/file_msg_win.h"

namespace kv {

class TPlot3Win : public TFileMsgWin {
 public:
  TPlot3Win(plat::Window* parent, const std::string& caption);
};

}  // namespace kv
