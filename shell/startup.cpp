#include "shell/startup.h"

#include <cstdio>
#include <string>

#include "platform/app.h"
#include "platform/instance.h"
#include "core/constants.h"
#include "shell/plot_frame.h"

namespace kv {

void TPlot::InitMainWindow() { frame_ = new TPlotFrame(nullptr, "Kurvato"); }

int TPlot::Run() {
  InitMainWindow();
  return app_.Run(frame_);
}

int OwlMain(int argc, char** argv) {
  std::string joined = JoinArguments(argc, argv);
  plat::App app(argc, argv);
  // A running instance takes the name (an empty one only brings it to the
  // front) and this start ends; it never becomes a second instance.
  switch (plat::BecomeInstanceOrHandOff(joined)) {
    case plat::StartRole::Instance: break;
    case plat::StartRole::HandedOff: return 0;
    case plat::StartRole::NoAnswer:
      std::fprintf(stderr, "kurvato: the running instance is busy and has not taken the file yet\n");
      return 0;
  }
  plat::SeedRandom(static_cast<std::uint32_t>(plat::TimeNowSeconds()));
  TPlot application(app);
  PendingFileName() = joined;
  return application.Run();
}

}  // namespace kv
