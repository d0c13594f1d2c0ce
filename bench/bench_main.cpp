// The benchmark program: one application object for every benchmark file,
// created before the first benchmark runs and destroyed before main returns
// (a toolkit application torn down among the exit handlers crashes), and a
// settings folder of its own so that no benchmark touches the user's.
//
//   kurvato_bench [--benchmark_filter=REGEX] ...
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <system_error>
#include <unistd.h>

#include "platform/app.h"

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  const std::filesystem::path home =
      std::filesystem::temp_directory_path() / ("kurvato-bench-" + std::to_string(getpid()));
  std::filesystem::create_directories(home / "home");
  setenv("KURVATO_HOME", ((home / "home").string() + "/").c_str(), 1);

  int appArgc = 1;
  char* appArgv[] = {argv[0], nullptr};
  auto app = std::make_unique<plat::App>(appArgc, appArgv);

  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();

  plat::App::DeleteDestroyedWindows();
  app.reset();
  std::error_code ec;
  std::filesystem::remove_all(home, ec);
  return 0;
}
