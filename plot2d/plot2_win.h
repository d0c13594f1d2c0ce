// The ordinary 2D plot window.
#pragma once

#include "shell/file_msg_win.h"

namespace kv {

class TPlot2Win : public TFileMsgWin {
 public:
  TPlot2Win(plat::Window* parent, const std::string& caption);
};

}  // namespace kv
