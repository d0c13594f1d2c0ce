// The ordinary 3D plot window.  Until the plot layers arrive it is the
// window base with the 3D window's file type, settings file and menu.
#pragma once

#include "shell/zor_win.h"

namespace kv {

inline constexpr std::int32_t kFileType3D = 961;

class TPlot3Win : public TZORWin {
 public:
  TPlot3Win(plat::Window* parent, const std::string& caption);
  void SetupWindow() override;
  int ReadFile() override { return ReadBasicFile(); }
  bool WriteFile() override { return WriteBasicFile(); }
};

}  // namespace kv
