// The window base: picture size, bitmap to the clipboard, the values kept
// for higher layers, the shared commands, and the main frame's hidden
// window with help and About.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "app/window_registry.h"
#include "planewin/plane_windows.h"
#include "platform/app.h"
#include "platform/clipboard.h"
#include "platform/dialog.h"
#include "platform/resources.h"
#include "platform/testing.h"
#include "plot2d/plot2_win.h"
#include "plot3d/plot3_win.h"
#include "shell/plot_frame.h"
#include "shell/text_win.h"
#include "shell/zor_win.h"
#include "support/test_env.h"

namespace kv {
namespace {

class BaseWin : public TZORWin {
 public:
  BaseWin() : TZORWin(nullptr, "Unbenannt1.kv2") {
    LoadSettingsOnSetup = 0;
    SaveSettingsOnClose = 0;
  }
  void UpdateMoreMenuChecks() override { ++menuUpdates; }
  // A kind with a new file of its own takes "&Neu" into its table.
  const plat::CommandTable& Commands() const override {
    static const auto table = plat::CommandTable::Build<BaseWin>(&TZORWin::Commands(), {{78, &BaseWin::CmNew}});
    return table;
  }
  void NewFile() override { ++newFiles; }
  void EvSize(unsigned type, plat::Size size) override {
    TZORWin::EvSize(type, size);
    (IsVisible() ? sizedInSight : sizedOutOfSight)++;
  }
  int menuUpdates = 0;
  int newFiles = 0;
  int sizedInSight = 0;
  int sizedOutOfSight = 0;
};

class ZorTest : public ::testing::Test {
 protected:
  void SetUp() override {
    plat::clipboard::Clear();
    w_ = new BaseWin;
    w_->Create();
    w_->Show(plat::SW_SHOWNORMAL);
  }
  void TearDown() override {
    if (!w_->IsDestroyed()) w_->Destroy();
    plat::App::DeleteDestroyedWindows();
    plat::clipboard::Clear();
  }
  static std::string LastMessage() {
    const auto& m = plat::testing::Messages();
    return m.empty() ? std::string() : m.back().text;
  }
  BaseWin* w_ = nullptr;
};

TEST_F(ZorTest, PictureSizeInCentimetresOrPixels) {
  struct Case {
    const char* width;
    const char* height;
    bool accepted;
    int clientWidth, clientHeight;
  };
  const Case cases[] = {
      {"12@", "9", false, 0, 0},       // both read as pixels: too small
      {"27.1", "5", false, 0, 0},
      {"10", "0.4", false, 0, 0},
      {"2000@", "100", false, 0, 0},   // wider than the screen
      {"10", "5", true, 378, 189},     // cm / 2.54 * 96 dpi
      {"300@", "200", true, 300, 200},
      {"27.0", "0.5", true, 1020, 19},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.width) + " x " + c.height);
    plat::testing::ClearMessages();
    const plat::Rect before = w_->GetClientRect();
    w_->sizedOutOfSight = 0;
    plat::testing::ExpectDialog("TWOINPUT", [&](plat::Dialog& d) {
      EXPECT_EQ(d.GetCaption(), "Größe der Zeichnung");
      EXPECT_EQ(d.GetItemText(231), "Breite");
      EXPECT_EQ(d.GetItemText(232), "Höhe");
      d.SetItemText(211, c.width);
      d.SetItemText(212, c.height);
      d.Press(1);
    });
    w_->Command(90);
    if (!c.accepted) {
      EXPECT_EQ(LastMessage(), "jenseits der Grenzen");
      EXPECT_EQ(w_->GetClientRect(), before);
      continue;
    }
    EXPECT_TRUE(plat::testing::Messages().empty());
    EXPECT_EQ(w_->GetClientRect().Width(), c.clientWidth);
    EXPECT_EQ(w_->GetClientRect().Height(), c.clientHeight);
    EXPECT_EQ(w_->Placement.x, 10);
    EXPECT_EQ(w_->Placement.width, w_->GetWindowRect().Width());
    // Sized while hidden, so the steps do not show; then shown.
    EXPECT_GT(w_->sizedOutOfSight, 0);
    EXPECT_TRUE(w_->IsVisible());
  }
}

TEST_F(ZorTest, BitmapToTheClipboardWithTheOptionalFrame) {
  w_->PrintDrawFrame = 1;
  w_->Command(310);
  EXPECT_EQ(LastMessage(), "Anwendung beenden löscht das Bild");
  plat::Bitmap b = plat::clipboard::GetBitmap();
  ASSERT_FALSE(b.IsNull());
  EXPECT_EQ(b.Width(), w_->GetClientRect().Width());
  EXPECT_EQ(b.GetPixel(0, 5), plat::Rgb(0, 0, 0));
  EXPECT_EQ(b.GetPixel(b.Width() - 1, 5), plat::Rgb(0, 0, 0));
  EXPECT_EQ(b.GetPixel(5, b.Height() - 1), plat::Rgb(0, 0, 0));
  EXPECT_EQ(b.GetPixel(5, 5), plat::Rgb(255, 255, 255));
  EXPECT_EQ(w_->ClipboardBitmap, b) << "the window keeps its own copy";
}

TEST_F(ZorTest, ValuesKeptForTheHigherLayers) {
  w_->SavedValues = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9};
  EXPECT_EQ(w_->GetSavedValue(13), 3);
  EXPECT_EQ(w_->GetSavedValue(-1), 9);
  w_->SavedValuesOff = 1;
  EXPECT_EQ(w_->GetSavedValue(13), 0);

  w_->FontPointSizes[0] = 12;
  const plat::LogFont screen = w_->FontSlots[0];
  w_->ScaleFontsForPrinter(true, 600);
  EXPECT_EQ(w_->FontSlots[0].height, -100);
  w_->ScaleFontsForPrinter(false, 600);
  EXPECT_EQ(w_->FontSlots[0], screen);
  EXPECT_EQ(w_->SavedFonts, nullptr);
  w_->ScaleFontsForPrinter(false, 600);  // without a begin: nothing
  EXPECT_EQ(w_->FontSlots[0], screen);

  const int before = w_->menuUpdates;
  w_->SetModeValue(0);
  w_->SetModeValue(4);
  w_->SetModeValue(4);
  EXPECT_EQ(w_->ModeValue, 4);
  EXPECT_EQ(w_->menuUpdates, before + 1);
}

TEST_F(ZorTest, ToggleAndValueCommands) {
  w_->Command(221);
  EXPECT_EQ(w_->WithBackground, 1);
  EXPECT_TRUE(w_->IsMenuItemChecked(221));
  w_->Command(56);
  EXPECT_EQ(w_->ColoursMarkModified, 0);

  plat::testing::AnswerDialog("ONEINPUT", {{211, "250"}}, 1);
  w_->Command(112);
  EXPECT_EQ(w_->DelayMilliseconds, 250);
  plat::testing::AnswerDialog("ONEINPUT", {{211, "-5"}}, 1);
  w_->Command(112);
  EXPECT_EQ(w_->DelayMilliseconds, 250);
  EXPECT_EQ(LastMessage(), "jenseits der Grenzen");

  EXPECT_FALSE(w_->QueryCommand(75).enabled) << "notes only for kinds with notes";
  w_->HasNotes = 1;
  EXPECT_TRUE(w_->QueryCommand(75).enabled);

  w_->Modified = 1;
  plat::testing::ExpectDialog("YNCMBOX", [](plat::Dialog& d) { d.Press(2); });
  w_->Command(78);
  EXPECT_EQ(w_->newFiles, 0);
  plat::testing::ExpectDialog("YNCMBOX", [](plat::Dialog& d) { d.Press(89); });
  w_->Command(78);
  EXPECT_EQ(w_->newFiles, 1);

  w_->HelpNames[2] = "KVFORMH";
  w_->Command(332);
  ASSERT_NE(w_->HelpWindow, nullptr);
  EXPECT_TRUE(w_->HelpWindow->IsVisible());
  EXPECT_EQ(w_->HelpWindow->TextBuffer, CutHelpText(*plat::res::HelpText("KVFORMH")));
}

TEST_F(ZorTest, ClipboardTextUpToTheBufferSize) {
  std::string dest = "kept";
  EXPECT_EQ(w_->GetClipboardText(dest, 5), 0);
  EXPECT_EQ(dest, "kept");
  plat::clipboard::SetText("äbcd");
  EXPECT_EQ(w_->GetClipboardText(dest, 5), 0);
  EXPECT_EQ(dest, "äbcd");
  plat::clipboard::SetText("abcde");
  EXPECT_EQ(w_->GetClipboardText(dest, 5), 20);
  EXPECT_EQ(dest, "äbcd");
}

// ---- the main frame's hidden window and the window kinds ----

class FrameWindowsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RegisterWindowCreators();
    kvtest::ClearSettingsFolder();
    frame_ = new TPlotFrame(nullptr, "Kurvato");
    frame_->Create();
  }
  void TearDown() override {
    if (!frame_->IsDestroyed()) frame_->Destroy();
    plat::App::DeleteDestroyedWindows();
  }
  TPlotFrame* frame_ = nullptr;
};

TEST_F(FrameWindowsTest, HelpAndAboutGoThroughTheHiddenWindow) {
  ASSERT_NE(frame_->AuxWindow, nullptr);
  EXPECT_FALSE(frame_->AuxWindow->IsVisible());
  frame_->Command(355);
  ASSERT_EQ(plat::testing::Messages().size(), 1u);
  EXPECT_EQ(plat::testing::Messages()[0].caption, "Über Kurvato [v 1.33]");
  frame_->Command(354);
  ASSERT_NE(frame_->AuxWindow->HelpWindow, nullptr);
  EXPECT_TRUE(frame_->AuxWindow->HelpWindow->IsVisible());
  EXPECT_EQ(frame_->AuxWindow->HelpWindow->TextBuffer, CutHelpText(*plat::res::HelpText("PROGHELP")));
}

TEST_F(FrameWindowsTest, EachKindHasItsFileTypeSettingsFileAndMenu) {
  struct Case {
    TFileMsgWin* window;
    std::int32_t type;
    const char* settings;
    const char* menu;
    const char* ext;
  };
  const Case cases[] = {
      {frame_->New2DWindow(""), 841, "kv2.ini", "PLOT2MENU", "kv2"},
      {frame_->New3DWindow(""), 961, "kv3.ini", "PLOT3MENU", "kv3"},
      {frame_->NewPlanetWindow(""), 842, "kv2.ini", "PLOT2MENU", "kv2"},
      {frame_->NewLogWindow("", 2), 841, "kvlog.ini", "LOGMENU", "lkv"},
      {frame_->NewQuizWindow(), 841, "guess.ini", "GUESSMENU", "kv2"},
      {frame_->NewMappingPair("", 1), 841, "dom2.ini", "DOM2MENU", "maz"},
  };
  for (const Case& c : cases) {
    ASSERT_NE(c.window, nullptr);
    SCOPED_TRACE(c.window->GetCaption());
    auto* z = dynamic_cast<TZORWin*>(c.window);
    ASSERT_NE(z, nullptr);
    EXPECT_EQ(z->FileTypeCode, c.type);
    EXPECT_EQ(z->SettingsFileName, c.settings);
    EXPECT_EQ(z->MenuName(), c.menu);
    EXPECT_EQ(z->FileData.DefaultExt, c.ext);
    // The quiz opens and saves no files.
    const bool quiz = std::string(c.menu) == "GUESSMENU";
    EXPECT_EQ(z->HasMenuItem(57), !quiz);
    EXPECT_EQ(z->HasNotes, quiz ? 0 : 1);
    EXPECT_EQ(z->LoadSettingsOnSetup, 0) << "the frame starts with standard settings";
  }
  frame_->Destroy();
  for (const char* f : {"kv2.ini", "kv3.ini", "kvlog.ini", "guess.ini", "dom2.ini", "ran2.ini"})
    EXPECT_TRUE(std::filesystem::exists(WindowsDirectory() + f)) << f;
}

}  // namespace
}  // namespace kv
