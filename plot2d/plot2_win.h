// The ordinary 2D plot window.  Until the plot layers arrive it is the
// graphics layers (coordinate system, zoom, pan, views) with the 2D
// window's file type, settings file and menu: it opens and saves files that
// hold the common header and the protection.
#pragma once

#include "graphics/zor_winm.h"

namespace kv {

inline constexpr std::int32_t kFileType2D = 841;

class TPlot2Win : public TZORWinm {
 public:
  TPlot2Win(plat::Window* parent, const std::string& caption);
  void SetupWindow() override;
  int ReadFile() override { return ReadBasicFile(); }
  bool WriteFile() override { return WriteBasicFile(); }
};

}  // namespace kv
