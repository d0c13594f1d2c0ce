#include "shell/startup.h"

#include <cerrno>
#include <cstdio>
#include <string>
#include <unistd.h>
#include <vector>

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

namespace {

std::string WorkingFolder() {
  std::vector<char> buffer(4096);
  for (;;) {
    if (::getcwd(buffer.data(), buffer.size())) return buffer.data();
    if (errno != ERANGE || buffer.size() > (1u << 20)) return {};
    buffer.resize(buffer.size() * 2);
  }
}

}  // namespace

std::string HandOffName(const std::string& joined, const std::string& workingFolder) {
  if (joined.size() < 2 || joined.front() == '/') return joined;
  if (workingFolder.empty() || workingFolder.front() != '/') return {};
  const std::string prefix = workingFolder.back() == '/' ? workingFolder : workingFolder + '/';
  return prefix + joined;
}

int OwlMain(int argc, char** argv) {
  std::string joined = JoinArguments(argc, argv);
  plat::App app(argc, argv);
  // A running instance takes the name (an empty one only brings it to the
  // front) and this start ends; it never becomes a second instance while
  // the running one can be reached.
  const auto sayWaiting = [] {
    std::fprintf(stderr, "kurvato: the running instance is busy; this start waits up to 60 s for it to take the file\n");
  };
  switch (plat::BecomeInstanceOrHandOff(HandOffName(joined, WorkingFolder()), 60000, sayWaiting)) {
    case plat::StartRole::Instance: break;
    case plat::StartRole::Alone:
      std::fprintf(stderr, "kurvato: no socket reaches the running instance; this start opens the file itself\n");
      break;
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
