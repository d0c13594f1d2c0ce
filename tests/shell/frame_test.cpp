// The main frame: "kv.ini", placement, the two options, the window menu and
// opening files by their extension.
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "app/window_registry.h"
#include "entry/plot1_win.h"
#include "planewin/plane_windows.h"
#include "platform/app.h"
#include "platform/keys.h"
#include "platform/testing.h"
#include "plot2d/plot2_win.h"
#include "plot3d/plot3_win.h"
#include "core/binary_stream.h"
#include "shell/plot_frame.h"
#include "support/test_env.h"

namespace kv {
namespace {

class FrameTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RegisterWindowCreators();
    kvtest::ClearSettingsFolder();
    PendingFileName().clear();
  }
  void TearDown() override {
    if (frame_ && !frame_->IsDestroyed()) frame_->Destroy();
    plat::App::DeleteDestroyedWindows();
  }
  TPlotFrame* MakeFrame() {
    frame_ = new TPlotFrame(nullptr, "Kurvato");
    EXPECT_TRUE(frame_->Create());
    return frame_;
  }
  void WriteIni(const std::vector<std::uint8_t>& bytes) {
    std::ofstream f(WindowsDirectory() + "kv.ini", std::ios::binary);
    f.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  }
  static std::vector<std::uint8_t> Ini(int x, int y, int w, int h, int maxi, int openLast, int standard) {
    ByteWriter bw;
    bw.I32(x);
    bw.I32(y);
    bw.I32(w);
    bw.I32(h);
    bw.U8(static_cast<std::uint8_t>(maxi));
    bw.U8(static_cast<std::uint8_t>(openLast));
    bw.U8(static_cast<std::uint8_t>(standard));
    return bw.Data();
  }
  template <class T>
  std::vector<std::string> CaptionsOf() {
    std::vector<std::string> out;
    for (plat::Window* w : frame_->Children())
      if (dynamic_cast<T*>(w)) out.push_back(w->GetCaption());
    return out;
  }
  TPlotFrame* frame_ = nullptr;
};

TEST_F(FrameTest, SettingsFileIsWrittenOnEveryExitWithNineteenBytes) {
  MakeFrame();
  frame_->Command(24310);  // "&Beenden"
  EXPECT_TRUE(frame_->IsDestroyed());
  std::vector<std::uint8_t> bytes;
  ASSERT_TRUE(ReadWholeFile(WindowsDirectory() + "kv.ini", bytes));
  ASSERT_EQ(bytes.size(), 19u);
  EXPECT_EQ(bytes[17], 0) << "open last file";
  EXPECT_EQ(bytes[18], 1) << "standard settings";
}

TEST_F(FrameTest, StoredPlacementAndOptionsAreRestored) {
  WriteIni(Ini(50, 60, 300, 200, 0, 1, 0));
  MakeFrame();
  plat::Rect r = frame_->GetWindowRect();
  EXPECT_EQ(r.left, 50);
  EXPECT_EQ(r.top, 60);
  EXPECT_EQ(r.Width(), 300);
  EXPECT_EQ(r.Height(), 200);
  EXPECT_EQ(frame_->OpenLastFile, 1);
  EXPECT_EQ(frame_->StandardSettings, 0);
  EXPECT_TRUE(frame_->IsMenuItemChecked(48));
  EXPECT_FALSE(frame_->IsMenuItemChecked(49));
  frame_->Destroy();
  std::vector<std::uint8_t> bytes;
  ASSERT_TRUE(ReadWholeFile(WindowsDirectory() + "kv.ini", bytes));
  EXPECT_EQ(bytes, Ini(50, 60, 300, 200, 0, 1, 0));
}

// A window manager decorates frames after they are shown: the size that is
// stored and restored must not grow by the decorations at every round trip,
// neither the main frame's through "kv.ini" nor a 2D window's through its
// plot file.
TEST_F(FrameTest, WindowsKeepTheirSizeThroughTenRoundTripsUnderAWindowManager) {
  plat::testing::FakeFrameDecorations(1, 24, 1, 1);
  auto settle = [] {
    for (int i = 0; i < 3; ++i) plat::App::ProcessEvents();
  };
  WriteIni(Ini(40, 50, 200, 120, 0, 0, 1));
  for (int trip = 0; trip < 10; ++trip) {
    SCOPED_TRACE("start " + std::to_string(trip));
    MakeFrame();
    frame_->Show(plat::SW_SHOWNORMAL);
    settle();
    frame_->Destroy();
    plat::App::DeleteDestroyedWindows();
    frame_ = nullptr;
    std::vector<std::uint8_t> bytes;
    ASSERT_TRUE(ReadWholeFile(WindowsDirectory() + "kv.ini", bytes));
    ASSERT_EQ(bytes, Ini(40, 50, 200, 120, 0, 0, 1));
  }

  const std::string path = kvtest::MakeTempDir("frame-trips") + "trip.kv2";
  MakeFrame();
  TFileMsgWin* w = frame_->New2DWindow("");
  ASSERT_NE(w, nullptr);
  w->MoveWindow(30, 60, 640, 640);
  settle();
  for (int trip = 0; trip < 10; ++trip) {
    SCOPED_TRACE("reopen " + std::to_string(trip));
    if (trip == 0) plat::testing::ExpectFileDialog(path);
    ASSERT_TRUE(w->Command(trip == 0 ? 58 : 57));
    w->Destroy();
    plat::App::DeleteDestroyedWindows();
    w = frame_->New2DWindow(path);
    ASSERT_NE(w, nullptr);
    settle();
    const plat::Rect r = w->GetWindowRect();
    EXPECT_EQ(r.left, 30);
    EXPECT_EQ(r.top, 60);
    ASSERT_EQ(r.Width(), 640);
    ASSERT_EQ(r.Height(), 640);
  }
  plat::testing::FakeFrameDecorations(0, 0, 0, 0);
}

TEST_F(FrameTest, InvalidPlacementGetsARandomSmallOne) {
  for (int x : {-5, 2000}) {
    WriteIni(Ini(x, 10, 300, 200, 0, 0, 1));
    MakeFrame();
    const TPlacement& p = frame_->Placement;
    EXPECT_GE(p.x, 0);
    EXPECT_LT(p.x, 30);
    EXPECT_GE(p.y, 0);
    EXPECT_LT(p.y, 30);
    EXPECT_EQ(p.width, 120);
    EXPECT_EQ(p.height, 72);
    frame_->Destroy();
    plat::App::DeleteDestroyedWindows();
    frame_ = nullptr;  // deleted: TearDown must not touch it
  }
}

TEST_F(FrameTest, MaximisedByteMaximisesAtTheFirstPaintEvenWithAReplacedPlacement) {
  WriteIni(Ini(-5, 10, 300, 200, 1, 0, 1));
  MakeFrame();
  EXPECT_FALSE(frame_->IsZoomed());
  frame_->UpdateWindow();
  EXPECT_TRUE(frame_->IsZoomed());
}

TEST_F(FrameTest, ShortLongOrGarbledSettingsKeepTheDefaults) {
  std::vector<std::vector<std::uint8_t>> bad = {
      {},
      {1, 2, 3},
      [] {
        auto v = Ini(50, 60, 300, 200, 0, 0, 1);
        v.push_back(0);
        return v;
      }(),
      Ini(50, 60, 300, 200, 0, 7, 1),  // option byte neither 0 nor 1
      Ini(50, 60, 300, 200, 0, 1, 1),  // both options on
      Ini(50, 60, 300, 200, 9, 0, 0),
  };
  for (const auto& bytes : bad) {
    WriteIni(bytes);
    MakeFrame();
    EXPECT_EQ(frame_->OpenLastFile, 0);
    EXPECT_EQ(frame_->StandardSettings, 1);
    EXPECT_FALSE(frame_->Placement.x == 50 && frame_->Placement.y == 60);
    frame_->Destroy();
    plat::App::DeleteDestroyedWindows();
    frame_ = nullptr;  // deleted: TearDown must not touch it
  }
}

TEST_F(FrameTest, TheTwoOptionsExcludeEachOther) {
  MakeFrame();
  EXPECT_TRUE(frame_->IsMenuItemChecked(49));
  frame_->Command(48);
  EXPECT_TRUE(frame_->IsMenuItemChecked(48));
  EXPECT_FALSE(frame_->IsMenuItemChecked(49));
  frame_->Command(49);
  EXPECT_TRUE(frame_->IsMenuItemChecked(49));
  EXPECT_FALSE(frame_->IsMenuItemChecked(48));
  frame_->Command(49);
  EXPECT_FALSE(frame_->IsMenuItemChecked(49));
  EXPECT_FALSE(frame_->IsMenuItemChecked(48));
}

TEST_F(FrameTest, WindowCaptionsCountPerKind) {
  MakeFrame();
  frame_->Command(402);
  frame_->SimulateKey(plat::VK_F2);
  frame_->Command(402);
  frame_->Command(409);
  frame_->Command(403);
  frame_->Command(405);
  frame_->Command(407);
  frame_->Command(413);
  frame_->Command(415);
  frame_->Command(404);
  EXPECT_EQ(CaptionsOf<TPlot2Win>(), (std::vector<std::string>{"Unbenannt1.kv2", "Unbenannt2.kv2", "Unbenannt3.kv2"}));
  EXPECT_EQ(CaptionsOf<TPlotXWin>(), (std::vector<std::string>{"Unbenannt1.kv2"}));
  EXPECT_EQ(CaptionsOf<TPlot3Win>(), (std::vector<std::string>{"Unbenannt1.kv3"}));
  EXPECT_EQ(CaptionsOf<TDom2Win>(), (std::vector<std::string>{"Abbildung1.ma2", "Abbildung2.maz"}));
  EXPECT_EQ(CaptionsOf<TRan2Win>(),
            (std::vector<std::string>{"Wertebereich [Abbildung1.ma2]", "Wertebereich [Abbildung2.maz]"}));
  EXPECT_EQ(CaptionsOf<TLogWin>(), (std::vector<std::string>{"Unbenannt1.lkv", "Unbenannt2.lkv"}));
  EXPECT_EQ(CaptionsOf<TPlotGWin>(), (std::vector<std::string>{"Rate meine Gleichung"}));
  for (plat::Window* w : frame_->Children()) {
    if (auto* d = dynamic_cast<TDom2Win*>(w)) {
      ASSERT_NE(d->RangeWindow, nullptr);
      EXPECT_EQ(d->RangeWindow->DomainWindow, d);
      EXPECT_EQ(d->RangeWindow->MappingMode, d->MappingMode);
    }
  }
  for (plat::Window* w : frame_->Children()) {
    if (auto* l = dynamic_cast<TLogWin*>(w)) {
      EXPECT_TRUE(l->AxisType == 1 || l->AxisType == 3);
    }
  }
}

TEST_F(FrameTest, NewWindowsGetTheFrameOptionsAndTheFileName) {
  MakeFrame();
  frame_->Command(48);  // open last file on, standard settings off
  TFileMsgWin* w = frame_->New2DWindow("/tmp/a.kv2");
  ASSERT_NE(w, nullptr);
  EXPECT_EQ(w->FileToOpen, "/tmp/a.kv2");
  EXPECT_EQ(w->FileVersion, 33);
  EXPECT_EQ(w->OpenLastFileFlag, 1);
  EXPECT_TRUE(w->IsVisible());
  // The window's own "&Vorgaben nutzen" follows the frame's option, for
  // every kind of plot window the frame opens.
  for (std::uint8_t standard : {0, 1}) {
    frame_->StandardSettings = standard;
    for (TFileMsgWin* made : {frame_->New2DWindow(""), frame_->New3DWindow(""), frame_->NewPlanetWindow(""),
                              frame_->NewLogWindow("", 1), frame_->NewQuizWindow(), frame_->NewMappingPair("", 0)}) {
      auto* plot = dynamic_cast<TPlot1Win*>(made);
      ASSERT_NE(plot, nullptr);
      EXPECT_EQ(plot->useDefaults, standard) << plot->GetCaption();
      EXPECT_EQ(plot->LoadSettingsOnSetup, standard ? 0 : 1);
    }
  }
}

TEST_F(FrameTest, OpenByExtensionMatchesTheLastThreeLetterExtension) {
  MakeFrame();
  frame_->OpenByExtension("my.dir/curve.kv2");
  frame_->OpenByExtension("CURVE.KV2");
  frame_->OpenByExtension("space.kv3");
  frame_->OpenByExtension("map.MAZ");
  frame_->OpenByExtension("plot.lkv");
  frame_->OpenByExtension("notes.txt");
  frame_->OpenByExtension("my.dir/curve");
  frame_->OpenByExtension("a.kv22");
  frame_->OpenByExtension("noextension");
  auto two = CaptionsOf<TPlot2Win>();
  EXPECT_EQ(two.size(), 2u);
  EXPECT_EQ(CaptionsOf<TPlot3Win>().size(), 1u);
  EXPECT_EQ(CaptionsOf<TDom2Win>(), (std::vector<std::string>{"Abbildung1.maz"}));
  EXPECT_EQ(CaptionsOf<TLogWin>().size(), 1u);
  for (plat::Window* w : frame_->Children()) {
    if (auto* t = dynamic_cast<TPlot2Win*>(w)) {
      EXPECT_TRUE(t->FileToOpen == "my.dir/curve.kv2" || t->FileToOpen == "CURVE.KV2");
    }
  }
}

TEST_F(FrameTest, DroppedFilesOpenInOrderAndUnknownOnesAreIgnored) {
  MakeFrame();
  frame_->EvDropFiles({"/x/a.kv2", "/x/b.txt", "/x/c.kv3"});
  EXPECT_EQ(CaptionsOf<TPlot2Win>(), (std::vector<std::string>{"Unbenannt1.kv2"}));
  EXPECT_EQ(CaptionsOf<TPlot3Win>(), (std::vector<std::string>{"Unbenannt1.kv3"}));
}

// However the user named a file, one that does not open says so once, and
// the window still opens empty under its own name.
TEST_F(FrameTest, ANamedFileThatDoesNotOpenSaysSoOnce) {
  const std::string dir = kvtest::MakeTempDir("frame-named");
  ASSERT_TRUE(WriteFileAtomically(dir + "cut.kv2", {'K', 'V', 2}));
  ASSERT_TRUE(WriteFileAtomically(dir + "text.kv3", {'h', 'e', 'l', 'l', 'o', '\n'}));
  struct Case {
    const char* how;
    std::string name;
  };
  const Case cases[] = {
      {"dropped", dir + "gone.kv2"},
      {"dropped", dir + "cut.kv2"},
      {"handed over", dir + "text.kv3"},
      {"command line", dir + "gone.kv3"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.how) + " " + c.name);
    MakeFrame();
    plat::testing::ClearMessages();
    if (std::string(c.how) == "dropped") {
      frame_->EvDropFiles({c.name});
    } else if (std::string(c.how) == "handed over") {
      frame_->ReceiveHandOff(c.name);
    } else {
      PendingFileName() = c.name;
      frame_->Invalidate();
      frame_->UpdateWindow();
    }
    ASSERT_EQ(plat::testing::Messages().size(), 1u);
    EXPECT_EQ(plat::testing::Messages()[0].text, "Datei ist nicht zu öffnen");
    std::vector<std::string> captions = CaptionsOf<TPlot2Win>();
    for (const std::string& s : CaptionsOf<TPlot3Win>()) captions.push_back(s);
    ASSERT_EQ(captions.size(), 1u);
    EXPECT_EQ(captions[0].rfind("Unbenannt1.kv", 0), 0u) << captions[0];
    frame_->Destroy();
    plat::App::DeleteDestroyedWindows();
    frame_ = nullptr;
  }
}

TEST_F(FrameTest, PendingFileOpensAtTheFirstPaintOnly) {
  PendingFileName() = "/x/start.kv3";
  MakeFrame();
  frame_->UpdateWindow();
  EXPECT_EQ(CaptionsOf<TPlot3Win>().size(), 1u);
  EXPECT_TRUE(PendingFileName().empty());
  frame_->Invalidate();
  frame_->UpdateWindow();
  EXPECT_EQ(CaptionsOf<TPlot3Win>().size(), 1u);
}

TEST_F(FrameTest, HandOffOpensNamesOfTwoOrMoreCharacters) {
  MakeFrame();
  frame_->ReceiveHandOff("x");
  frame_->ReceiveHandOff("");
  EXPECT_TRUE(CaptionsOf<TPlot2Win>().empty());
  frame_->ReceiveHandOff("/tmp/some dir/with blanks.kv2");
  EXPECT_EQ(CaptionsOf<TPlot2Win>().size(), 1u);
}

}  // namespace
}  // namespace kv
