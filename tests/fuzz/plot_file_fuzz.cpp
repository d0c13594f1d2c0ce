// libFuzzer target for the plot-file reader.  The first input byte picks the
// file's version (1..34), the rest is everything after the common header,
// which the target writes itself so that the fuzzer works on the blocks.
// A 2D window (headless: the offscreen platform, test mode so that no
// dialog waits for an answer) reads each input; a file it accepts is
// written, read again and written again, and both writes must be equal.
// Crashes, hangs, sanitizer reports and unstable round trips are findings.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

#include "platform/app.h"
#include "platform/testing.h"
#include "plot2d/plot2_win.h"
#include "core/binary_stream.h"
#include "shell/settings_file.h"

namespace {

struct FuzzWorld {
  plat::App* app = nullptr;
  kv::TPlot2Win* window = nullptr;
  std::string dir;
  std::vector<std::uint8_t> header33;
};

FuzzWorld& World() {
  static FuzzWorld w;
  return w;
}

void CheckAt(bool condition, int line) {
  if (condition) return;
  std::fprintf(stderr, "plot_file_fuzz: check in line %d failed\n", line);
  std::abort();
}
#define Check(condition) CheckAt(condition, __LINE__)

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  FuzzWorld& w = World();
  w.dir = std::filesystem::temp_directory_path().string() + "/kurvato-plot-fuzz-" + std::to_string(getpid()) + "/";
  std::filesystem::create_directories(w.dir);
  setenv("KURVATO_HOME", w.dir.c_str(), 1);
  w.app = new plat::App(*argc, *argv);
  plat::testing::EnableTestingMode(true);
  plat::testing::FixScreenCaps(plat::DeviceCaps{});
  w.window = new kv::TPlot2Win(nullptr, "fuzz.kv2");
  w.window->FileVersion = kv::kPlotFileVersion;
  w.window->LoadSettingsOnSetup = 0;
  w.window->SaveSettingsOnClose = 0;
  w.window->Create();
  kv::ByteWriter h;
  kv::WriteCommonHeader(h, w.window->MakeFileHeader(kv::kFileType2D));
  w.header33 = h.Data();
  // The window goes before the toolkit does.
  std::atexit([] {
    FuzzWorld& world = World();
    world.window->Destroy();
    plat::App::DeleteDestroyedWindows();
    delete world.app;
    std::error_code ec;
    std::filesystem::remove_all(world.dir, ec);
  });
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  FuzzWorld& w = World();
  kv::TPlot2Win& win = *w.window;
  plat::testing::Reset();

  std::vector<std::uint8_t> file = w.header33;
  const std::int32_t version = 1 + data[0] % 34;
  file[4] = static_cast<std::uint8_t>(version);
  file.insert(file.end(), data + 1, data + size);
  const std::string input = w.dir + "input.kv2";
  Check(kv::WriteFileAtomically(input, file));
  win.FileData.FileName = input;
  const int code = win.ReadFile();
  Check(code == 0 || code == 11 || code == 8);
  if (code != 0) return 0;

  // What the window took in, it writes out again the same way every time.
  const std::string first = w.dir + "first.kv2";
  const std::string second = w.dir + "second.kv2";
  win.FileData.FileName = first;
  Check(win.WriteFile());
  win.FileData.FileName = first;
  Check(win.ReadFile() == 0);
  win.FileData.FileName = second;
  Check(win.WriteFile());
  std::vector<std::uint8_t> a;
  std::vector<std::uint8_t> b;
  Check(kv::ReadWholeFile(first, a) && kv::ReadWholeFile(second, b));
  if (a != b) {
    std::size_t at = 0;
    while (at < a.size() && at < b.size() && a[at] == b[at]) ++at;
    std::fprintf(stderr, "plot_file_fuzz: the second write differs from byte %zu (sizes %zu, %zu)\n", at, a.size(),
                 b.size());
  }
  Check(a == b);
  return 0;
}
