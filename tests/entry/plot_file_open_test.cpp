// Every way a plot file reaches a window ends in the plot-file reader: the
// command line, a second start, a file dropped on the main frame,
// "Ö&ffnen ..." and "&Letzte Datei öffnen".
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "app/window_registry.h"
#include "platform/app.h"
#include "platform/keys.h"
#include "platform/testing.h"
#include "plot2d/plot2_win.h"
#include "shell/plot_frame.h"
#include "support/test_env.h"

namespace kv {
namespace {

constexpr int kCmSaveAs = 58;
constexpr int kCmOpen = 59;
constexpr int kCmOpenLastFile = 48;

class PlotFileOpen : public ::testing::Test {
 protected:
  void SetUp() override {
    RegisterWindowCreators();
    kvtest::ClearSettingsFolder();
    dir_ = kvtest::MakeTempDir("plot-file-open");
    frame_ = new TPlotFrame(nullptr, "Kurvato");
    ASSERT_TRUE(frame_->Create());
  }
  void TearDown() override {
    frame_->Destroy();
    plat::App::DeleteDestroyedWindows();
  }
  static void Settle(plat::Window* w) {
    for (int i = 0; i < 5; ++i) plat::App::ProcessEvents();
    w->UpdateWindow();
  }
  std::vector<TPlot2Win*> Windows() {
    std::vector<TPlot2Win*> list;
    for (plat::Window* c : frame_->Children())
      if (auto* p = dynamic_cast<TPlot2Win*>(c); p && !p->IsDestroyed()) list.push_back(p);
    return list;
  }
  TPlot2Win* NewWindow() {
    const std::size_t before = Windows().size();
    frame_->SimulateKey(plat::VK_F2);
    auto list = Windows();
    if (list.size() != before + 1) return nullptr;
    Settle(list.back());
    return list.back();
  }
  // Draws "xsin(x)" with F1 and its dialog and saves it with "Speichern
  // &unter ..." under the name.
  void DrawAndSave(TPlot2Win& w, const std::string& path) {
    plat::testing::ExpectDialog("EQUA201", [](plat::Dialog& d) {
      d.SetItemText(212, "xsin(x)");
      d.Press(plat::IDOK);
    });
    w.SimulateKey(plat::VK_F1);
    Settle(&w);
    plat::testing::ExpectFileDialog(path);
    w.Command(kCmSaveAs);
    Settle(&w);
  }
  // The window that `open` made holds the saved drawing under its name.
  void ExpectOpened(const std::function<void()>& open, const std::string& path) {
    const std::size_t before = Windows().size();
    open();
    auto list = Windows();
    ASSERT_EQ(list.size(), before + 1);
    TPlot2Win* w = list.back();
    Settle(w);
    EXPECT_EQ(w->FileData.FileName, path);
    EXPECT_EQ(w->Named, 1);
    ASSERT_EQ(w->equationCount, 0);
    EXPECT_EQ(w->Equation(0).formulaText[1], "xsin(x)");
    EXPECT_NE(w->Equation(0).trees[1], nullptr);
    EXPECT_EQ(w->loadedFileVersion, 33);
    EXPECT_EQ(w->GetCaption(), "kurve.kv2");
  }

  TPlotFrame* frame_ = nullptr;
  std::string dir_;
};

TEST_F(PlotFileOpen, CommandLineSecondStartAndDropEachOpenTheFileInANewWindow) {
  TPlot2Win* w = NewWindow();
  ASSERT_NE(w, nullptr);
  const std::string path = dir_ + "kurve.kv2";
  DrawAndSave(*w, path);
  ASSERT_EQ(w->Modified, 0);

  const struct {
    const char* way;
    std::function<void()> open;
  } ways[] = {
      {"command line",
       [&] {
         PendingFileName() = path;
         frame_->Invalidate(false);
         frame_->UpdateWindow();
       }},
      {"second start", [&] { frame_->ReceiveHandOff(path); }},
      {"dropped on the frame", [&] { frame_->EvDropFiles({path}); }},
  };
  for (const auto& way : ways) {
    SCOPED_TRACE(way.way);
    ExpectOpened(way.open, path);
  }
}

TEST_F(PlotFileOpen, OpenCommandReadsTheChosenFileIntoTheWindow) {
  TPlot2Win* first = NewWindow();
  ASSERT_NE(first, nullptr);
  const std::string path = dir_ + "kurve.kv2";
  DrawAndSave(*first, path);
  TPlot2Win* w = NewWindow();
  ASSERT_NE(w, nullptr);
  plat::testing::ExpectFileDialog(path);
  w->Command(kCmOpen);
  Settle(w);
  EXPECT_EQ(w->FileData.FileName, path);
  ASSERT_EQ(w->equationCount, 0);
  EXPECT_EQ(w->Equation(0).formulaText[1], "xsin(x)");
  EXPECT_EQ(w->GetCaption(), "kurve.kv2");
}

TEST_F(PlotFileOpen, OpenLastFileOpensTheFileTheLastWindowSaved) {
  frame_->Command(kCmOpenLastFile);
  ASSERT_EQ(frame_->OpenLastFile, 1);
  ASSERT_EQ(frame_->StandardSettings, 0);
  TPlot2Win* w = NewWindow();
  ASSERT_NE(w, nullptr);
  const std::string path = dir_ + "kurve.kv2";
  DrawAndSave(*w, path);
  w->CloseWindow();
  plat::App::DeleteDestroyedWindows();
  ExpectOpened([&] { frame_->SimulateKey(plat::VK_F2); }, path);
}

}  // namespace
}  // namespace kv
