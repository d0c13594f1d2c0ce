// The program started offscreen in testing mode, for the build-time tools
// that write plot files through the windows themselves (the display tests'
// fixtures, the fuzz seeds): its settings in `home`, its main frame made.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "app/window_registry.h"
#include "platform/app.h"
#include "platform/testing.h"
#include "shell/plot_frame.h"

namespace kvtest {

class OffscreenProgram {
 public:
  OffscreenProgram(char** argv, const std::string& home) {
    std::filesystem::create_directories(home);
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    setenv("KURVATO_HOME", home.c_str(), 1);
    kv::RegisterWindowCreators();
    app_ = std::make_unique<plat::App>(argc_, argv);
    plat::testing::EnableTestingMode(true);
    frame_ = new kv::TPlotFrame(nullptr, "Kurvato");
    if (!frame_->Create()) frame_ = nullptr;
  }
  // The main frame, or null when it could not be made.
  kv::TPlotFrame* Frame() const { return frame_; }

 private:
  int argc_ = 1;
  std::unique_ptr<plat::App> app_;
  kv::TPlotFrame* frame_ = nullptr;
};

}  // namespace kvtest
