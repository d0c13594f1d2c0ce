// The main road end to end with two real processes: a drawing made and
// saved here through the commands and dialogs a user uses opens in the
// real program started with the file, and shows the same picture.
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include "app/window_registry.h"
#include "platform/app.h"
#include "platform/bitmap.h"
#include "platform/keys.h"
#include "platform/testing.h"
#include "plot2d/plot2_win.h"
#include "shell/plot_frame.h"
#include "support/hand_made_metafile.h"
#include "support/plot_window_test.h"
#include "support/program_process.h"
#include "support/test_env.h"

namespace kv {
namespace {

using kvtest::ReadAll;
using kvtest::WaitFor;

pid_t StartProgram(const std::string& home, const std::string& log, const std::string& snapshots,
                   const std::string& file) {
  return kvtest::StartProgram(home, log, {file}, {{"KURVATO_SNAPSHOT_DIR", snapshots}});
}

void Stop(pid_t pid) { kvtest::StopProgram(pid); }

void Settle(plat::Window* w) {
  for (int i = 0; i < 5; ++i) plat::App::ProcessEvents();
  w->UpdateWindow();
}

TEST(PlotFileProcess, ADrawingSavedHereOpensInTheProgramWithTheSamePicture) {
  RegisterWindowCreators();
  kvtest::ClearSettingsFolder();
  const std::string work = kvtest::MakeTempDir("plot-file-process");
  const std::string home = kvtest::MakeTempDir("plot-file-process-home");
  const std::string snapshots = kvtest::MakeTempDir("plot-file-process-snapshots");
  const std::string path = work + "xsinx.kv2";

  // F2, F1, the formula in "EQUA201", OK, then "Speichern &unter ...".
  auto* frame = new TPlotFrame(nullptr, "Kurvato");
  ASSERT_TRUE(frame->Create());
  frame->SimulateKey(plat::VK_F2);
  TPlot2Win* w = nullptr;
  for (plat::Window* c : frame->Children())
    if (auto* p = dynamic_cast<TPlot2Win*>(c)) w = p;
  ASSERT_NE(w, nullptr);
  // A place and size any screen of the other process has room for.
  w->MoveWindow(20, 30, 520, 400);
  Settle(w);
  plat::testing::ExpectDialog("EQUA201", [](plat::Dialog& d) {
    d.SetItemText(212, "xsin(x)");
    d.Press(plat::IDOK);
  });
  w->SimulateKey(plat::VK_F1);
  Settle(w);
  plat::testing::ExpectFileDialog(path);
  w->Command(58);
  Settle(w);
  ASSERT_TRUE(std::filesystem::exists(path));
  ASSERT_EQ(w->equationCount, 0);
  const plat::Bitmap here = w->Surface();
  frame->Destroy();
  plat::App::DeleteDestroyedWindows();

  const std::string log = home + "events.log";
  const pid_t program = StartProgram(home, log, snapshots, path);
  const bool shown = WaitFor(log, "snapshot ", 30000);
  Stop(program);
  ASSERT_TRUE(shown) << ReadAll(log);
  const std::string events = ReadAll(log);
  EXPECT_NE(events.find("open Unbenannt1.kv2|" + path), std::string::npos) << events;
  EXPECT_NE(events.find("snapshot " + snapshots + "xsinx.kv2.png"), std::string::npos) << events;
  EXPECT_GT(std::filesystem::file_size(snapshots + "xsinx.kv2.png"), 1000u);

  const plat::Bitmap there = plat::Bitmap::ReadBmpFile(snapshots + "xsinx.kv2.bmp");
  ASSERT_FALSE(there.IsNull());
  ASSERT_EQ(there.Width(), here.Width());
  ASSERT_EQ(there.Height(), here.Height());
  int differing = 0;
  for (int y = 0; y < here.Height(); ++y)
    for (int x = 0; x < here.Width(); ++x)
      if (here.GetPixel(x, y) != there.GetPixel(x, y)) ++differing;
  EXPECT_EQ(differing, 0);
}

// Pictures of 25 million pixels each: the paint's pixel budget holds two,
// so the first metafile's third picture and the second metafile's one are
// skipped.  The first is drawn; whether the second is drawn as well depends
// on the paint's quarter of a second, which a busy processor or a build with
// the sanitizers may spend on the first.
TEST(PlotFileProcess, ThePicturesOfAFileAreDrawnWithinOneBudget) {
  RegisterWindowCreators();
  const std::string work = kvtest::MakeTempDir("plot-file-pictures");
  const plat::Colour colours[] = {plat::Rgb(200, 0, 0), plat::Rgb(0, 200, 0), plat::Rgb(0, 0, 200), plat::Rgb(200, 200, 0)};
  auto* frame = new TPlotFrame(nullptr, "Kurvato");
  ASSERT_TRUE(frame->Create());
  auto* w = dynamic_cast<TPlot2Win*>(frame->New2DWindow(""));
  ASSERT_NE(w, nullptr);
  const auto v = w->World;
  auto third = [&](int k) { return kvtest::RunLengthPicture(5000, colours[k], plat::Rect{33 * k, 0, 33 * k + 33, 100}); };
  w->Pictures.push_back({kvtest::Assemble({third(0), third(1), third(2)}), 0, -1, 1, v.xmin, v.xmin / 4, v.ymin / 2, v.ymax / 2});
  w->Pictures.push_back({kvtest::Assemble({kvtest::RunLengthPicture(5000, colours[3], plat::Rect{0, 0, 100, 100})}), 1, -1,
                         1, v.xmax / 4, v.xmax, v.ymin / 2, v.ymax / 2});
  w->FileData.FileName = work + "pictures.kv2";
  ASSERT_TRUE(w->WriteFile());
  frame->Destroy();
  plat::App::DeleteDestroyedWindows();

  const pid_t program = StartProgram(work, work + "events.log", work, work + "pictures.kv2");
  const bool shown = WaitFor(work + "events.log", "snapshot ", 30000);
  Stop(program);
  ASSERT_TRUE(shown) << ReadAll(work + "events.log");
  const plat::Bitmap there = plat::Bitmap::ReadBmpFile(work + "pictures.kv2.bmp");
  for (int k : {0, 2, 3}) EXPECT_EQ(kvtest::CountColour(there, colours[k]) > 1000, k == 0) << "picture " << k;
}

// A file named on the command line that is truncated or missing gives
// message 11 in the real program, and its window opens empty.
TEST(PlotFileProcess, ATruncatedOrMissingFileOnTheCommandLineSaysSo) {
  const std::string work = kvtest::MakeTempDir("plot-file-bad");
  const std::string truncated = work + "cut.kv2";
  {
    std::ofstream f(truncated, std::ios::binary);
    f << "KV2 header cut short";
  }
  for (const std::string& path : {truncated, work + "missing.kv2"}) {
    SCOPED_TRACE(path);
    const std::string home = kvtest::MakeTempDir("plot-file-bad-home");
    const std::string log = home + "events.log";
    const pid_t program = kvtest::StartProgram(home, log, {path});
    const bool said = WaitFor(log, "message ", 30000);
    Stop(program);
    const std::string events = ReadAll(log);
    ASSERT_TRUE(said) << events;
    EXPECT_NE(events.find("open Unbenannt1.kv2|" + path), std::string::npos) << events;
    EXPECT_NE(events.find("message Datei ist nicht zu öffnen\n"), std::string::npos) << events;
  }
}

// FIFOs where the program expects files (its settings files, the plot file
// on the command line) are refused, not waited on.
TEST(PlotFileProcess, FifosInPlaceOfFilesNeitherHangNorLoad) {
  const std::string home = kvtest::MakeTempDir("fifo-home");
  const std::string fifo = home + "x.kv2";
  for (const std::string& p : {home + "kv.ini", home + "kv2.ini", fifo}) ASSERT_EQ(::mkfifo(p.c_str(), 0600), 0);
  const std::string log = home + "events.log";
  const pid_t program = kvtest::StartProgram(home, log, {fifo});
  const bool said = WaitFor(log, "message ", 30000);
  Stop(program);
  const std::string events = ReadAll(log);
  ASSERT_TRUE(said) << events;
  EXPECT_NE(events.find("ready"), std::string::npos) << events;
  EXPECT_NE(events.find("message Datei ist nicht zu öffnen\n"), std::string::npos) << events;
}

}  // namespace
}  // namespace kv
