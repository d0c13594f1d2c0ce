// The 3D window as the main frame opens it: its state when new, its menu
// and command enablers, its settings in "kv3.ini", "&Neu" and the
// secondary window.
#include <gtest/gtest.h>

#include <array>

#include "app/window_registry.h"
#include "entry/side_windows.h"
#include "platform/keys.h"
#include "platform/resources.h"
#include "plot3d/observer_dialog.h"
#include "plot3d/plot3_test_util.h"
#include "shell/col_win.h"
#include "shell/plot_frame.h"

namespace kv {
namespace {

using test3d::Plot3Test;

class Plot3Frame : public ::testing::Test {
 protected:
  void SetUp() override {
    RegisterWindowCreators();
    kvtest::ClearSettingsFolder();
    frame_ = new TPlotFrame(nullptr, "Kurvato");
    ASSERT_TRUE(frame_->Create());
  }
  void TearDown() override {
    frame_->Destroy();
    plat::App::DeleteDestroyedWindows();
  }
  TPlot3Win* Only3DWindow() {
    TPlot3Win* w = nullptr;
    int n = 0;
    for (plat::Window* c : frame_->Children())
      if (auto* p = dynamic_cast<TPlot3Win*>(c)) {
        w = p;
        ++n;
      }
    return n == 1 ? w : nullptr;
  }
  TPlotFrame* frame_ = nullptr;
};

TEST_F(Plot3Frame, F3OpensAnEmpty3DWindowWithTheDefaultCameraAndBox) {
  frame_->SimulateKey(plat::VK_F3);
  TPlot3Win* w = Only3DWindow();
  ASSERT_NE(w, nullptr);
  EXPECT_EQ(w->GetCaption().find("Unbenannt1.kv3"), 0u);
  EXPECT_EQ(w->MenuName(), "PLOT3MENU");
  EXPECT_EQ(w->equationCount, -1);
  const TView3D& v = w->View3D;
  EXPECT_EQ(v.BoxMin, (TPoint3D{0, 0, 0}));
  EXPECT_EQ(v.BoxMax, (TPoint3D{2, 2, 2}));
  EXPECT_EQ(v.Observer, (TPoint3D{60, 80, 60}));
  EXPECT_EQ(v.BoxPenVisible, 1);
  EXPECT_EQ(v.BoxPenHidden, 3);
  ASSERT_NE(w->ObserverDlg, nullptr);
  EXPECT_TRUE(w->ObserverDlg->IsHidden()) << "created hidden with the window";
  EXPECT_GE(w->MouseMode, kCmMouseText);
  EXPECT_LE(w->MouseMode, kCmMouseCoordinates);
  // The window's own colour slots carry their captions.
  EXPECT_EQ(plat::res::String(w->ColourCaptionIds[9]), "Frenet");
  EXPECT_EQ(plat::res::String(w->ColourCaptionIds[4]), "Tangente");
}

TEST_F(Plot3Frame, TheWindowsKeysEnterEquationsAndMoveTheObserver) {
  const auto* accel = plat::res::FindAccelerators("PLOT3MENU");
  ASSERT_NE(accel, nullptr);
  frame_->SimulateKey(plat::VK_F3);
  TPlot3Win* w = Only3DWindow();
  ASSERT_NE(w, nullptr);
  struct Key {
    unsigned vk;
    unsigned modifiers;
    int command;
  };
  for (const Key& k : {Key{plat::VK_F1, 0, 1001}, Key{plat::VK_F2, 0, 1003}, Key{plat::VK_F3, 0, 1005},
                       Key{plat::VK_F4, 0, 1002}, Key{plat::VK_F5, 0, 1016}, Key{plat::VK_HOME, 0, 764},
                       Key{plat::VK_INSERT, 0, 982}, Key{plat::VK_DELETE, 0, 983}, Key{plat::VK_RIGHT, 0, 984},
                       Key{plat::VK_LEFT, 0, 985}, Key{plat::VK_UP, 0, 987}, Key{plat::VK_DOWN, 0, 988}})
    EXPECT_EQ(w->FindAccelerator(k.vk, k.modifiers), k.command) << k.command;
  EXPECT_EQ(w->MenuItemText(1001), "&1. Explizit ...\tF1");
  EXPECT_EQ(w->MenuItemText(826), "Sch&nell zeichnen");
}

// Appends an entry of the kind directly, visible, compiled from the texts.
int Add(TPlotRWin& w, int kind, std::initializer_list<std::string_view> texts = {}) {
  const int i = w.AppendEquation(kind, texts);
  return i;
}

// The enablers are asked on their own: several tools are still pending.
TEST_F(Plot3Test, EntryCommandsAreEnabledUntilTheInventoryIsFull) {
  TPlot3Win* w = MakeWindow();
  const int entries[] = {1001, 1002, 1003, 1004, 1005, 1006, 1008, 1009, 1010, 1012, 1013, 1014, 1015, 1016};
  for (int id : entries) EXPECT_TRUE(w->QueryEnabler(id).enabled) << id;
  for (int id : {833, 710, 783, 774, 836, 766, 787, 708, 725, 826, 827, 780, 782, 122})
    EXPECT_FALSE(w->QueryEnabler(id).enabled) << id;
  while (w->equationCount < w->equationCapacity) ASSERT_GE(Add(*w, kKindPoint3D, {"1", "2", "3"}), 0);
  EXPECT_EQ(w->equationCount + 1, 36);
  for (int id : entries) EXPECT_FALSE(w->QueryEnabler(id).enabled) << id;
  EXPECT_TRUE(w->QueryEnabler(725).enabled);
}

TEST_F(Plot3Test, ToolEnablersFollowTheKindsInTheInventory) {
  struct Case {
    std::vector<int> kinds;
    std::vector<int> enabled;
    std::vector<int> disabled;
  };
  const Case cases[] = {
      {{301}, {774, 836, 783, 766, 826, 827, 725}, {833, 710, 787, 708}},
      {{303, 310}, {833, 836, 766}, {774, 783, 787}},
      {{305, 304}, {710, 708}, {766, 826, 787, 774}},
      {{301, 305}, {787, 774}, {710}},
      {{303, 303}, {836}, {787}},
      {{305, 305}, {}, {787}},
      {{315, 303}, {787, 766}, {710}},
      {{302}, {783, 766}, {774, 836}},
      {{316}, {766, 826}, {774}},
      {{310}, {780}, {782}},
      {{312}, {782}, {780}},
  };
  for (const Case& c : cases) {
    TPlot3Win* w = MakeWindow();
    for (int kind : c.kinds) Add(*w, kind);
    w->EquationsChanged(true);
    for (int id : c.enabled) EXPECT_TRUE(w->QueryEnabler(id).enabled) << id;
    for (int id : c.disabled) EXPECT_FALSE(w->QueryEnabler(id).enabled) << id;
  }
}

// A tool dialog stays open as long as the window holds a kind its command
// is enabled for: the slice dialog over a surface of revolution, the area
// dialog over an explicit surface, the intersection points of a curve with
// a plane.
TEST_F(Plot3Test, ToolDialogsStayWhileTheirCommandsKindsRemain) {
  struct Case {
    std::vector<std::pair<int, std::vector<std::string_view>>> entries;
    int command;
    bool (*open)(const TPlotRWin&);
  };
  const std::vector<std::string_view> surface = {"sin(u)cos(t)", "sin(u)sin(t)", "cos(u)"};
  const Case cases[] = {
      {{{kKindRevolution, surface}}, kCm3Slices, [](const TPlotRWin& w) { return w.SliceDlg != nullptr; }},
      {{{kKindSurface, {"", "", "x+y"}}}, kCm3SurfaceArea, [](const TPlotRWin& w) { return w.AreaDlg != nullptr; }},
      {{{kKindPlane, {"0", "0", "1", "0,0,0.5"}}, {kKindSpaceCurve, {"t", "t", "t"}}},
       kCm3IntersectionPoints, [](const TPlotRWin& w) { return w.IntersectionPointsDlg != nullptr; }},
  };
  for (const Case& c : cases) {
    TPlot3Win* w = MakeWindow();
    for (const auto& [kind, texts] : c.entries) {
      const int i = w->AppendEquationTexts(kind, {});
      for (std::size_t k = 0; k < texts.size(); ++k) w->Equation(i).formulaText[k] = std::string(texts[k]);
      w->CompileEquation(i);
      w->UpdateBox(i);
    }
    w->EquationsChanged(true);
    ASSERT_TRUE(w->QueryEnabler(c.command).enabled) << c.command;
    ASSERT_TRUE(w->Command(c.command)) << c.command;
    ASSERT_TRUE(c.open(*w)) << c.command;
    Add(*w, kKindPoint3D, {"1", "2", "3"});
    w->EquationsChanged(true);
    w->CloseStaleDialogs(false);
    EXPECT_TRUE(c.open(*w)) << c.command;
  }
}

TEST_F(Plot3Test, SettingsAreStoredAndAppliedWithTheirValidityRules) {
  TPlot3Win* w = MakeWindow();
  struct Case {
    std::int32_t mouse, density, piChar, strips, pieces;
    long double steps, pages;
    std::int16_t wantMouse;
    std::int32_t wantDensity;
    std::int16_t wantPiChar;
    std::int32_t wantStrips, wantPieces;
    std::int32_t wantSteps, wantPages;
  };
  // A stereogram count outside the dialog's 1..99 (no strips would divide
  // by zero) keeps the count before; fewer than one segment piece is one.
  const Case cases[] = {
      {124, 50, 100, 12, 20, 10, 5, 124, 50, 100, 12, 20, 10, 5},
      {122, 0, 31, 0, 0, 10, 6, 123, 400, 112, 12, 1, 10, 6},
      {999, -3, 32, 100, -5, 1, 1, 123, 400, 32, 12, 1, 200, 5},
      {125, 7, 255, 5, 1, 2147483647.0L, 1, 125, 7, 255, 5, 1, 2147483647, 1},
      {125, 7, 255, 5, 1, 10, 11, 125, 7, 255, 5, 1, 200, 5},
      {123, 1, 40, 1, 12, 300, 0.5L, 123, 1, 40, 1, 12, 200, 5},
  };
  for (const Case& c : cases) {
    TSettingsBlocks& b = w->SettingsBlocks;
    b.Ints[1][0] = c.mouse;         // int 21
    b.Ints[1][12] = c.density;      // int 33
    b.Ints[2][2] = c.piChar;        // int 44
    b.Ints[1][5] = c.strips;        // int 26
    b.Ints[1][14] = c.pieces;       // int 35
    b.Reals[1][8] = c.steps;        // ld 29
    b.Reals[1][9] = c.pages;        // ld 30
    b.Reals[1][0] = 7;              // ld 21..23: the observer
    b.Reals[1][1] = 8;
    b.Reals[1][2] = 9;
    w->SettingsLoaded = 1;
    w->ApplySettings();
    EXPECT_EQ(w->MouseMode, c.wantMouse);
    EXPECT_EQ(w->trajectoryDensity, c.wantDensity);
    EXPECT_EQ(w->PiChar, c.wantPiChar);
    EXPECT_EQ(w->StereogramSettings[1], c.wantStrips);
    EXPECT_EQ(w->View3D.SegmentPieces, c.wantPieces);
    EXPECT_EQ(w->View3D.SegmentPieceLength, 1.0L / c.wantPieces);
    EXPECT_EQ(w->smallSteps[0], c.wantSteps);
    EXPECT_EQ(w->mediumSteps[0], c.wantPages);
    EXPECT_EQ(w->View3D.Observer, (TPoint3D{7, 8, 9}));
  }
  // Not read: the constructor's values stay.
  TPlot3Win* fresh = MakeWindow();
  fresh->SettingsLoaded = 0;
  fresh->SettingsBlocks.Reals[1][0] = 1234;
  fresh->ApplySettings();
  EXPECT_EQ(fresh->View3D.Observer, (TPoint3D{60, 80, 60}));

  // The trajectory mouse mode is stored as the coordinate mode; int 20
  // packs the background colours of the time windows that exist.
  w->MouseMode = kCmMouseTrajectories;
  w->View3D.RotationStep = 0.25L;
  w->StoreSettings();
  EXPECT_EQ(w->SettingsBlocks.Ints[0][20], 0);
  w->OpenTimeWindow(1)->ColourSlots[0] = 7;
  w->OpenTimeWindow(3)->ColourSlots[0] = 42;
  w->StoreSettings();
  EXPECT_EQ(w->SettingsBlocks.Ints[0][19], 961);
  EXPECT_EQ(w->SettingsBlocks.Ints[0][20], 7 * 100 + 42 * 1000000);
  EXPECT_EQ(w->SettingsBlocks.Ints[1][0], 125);
  EXPECT_EQ(w->SettingsBlocks.Reals[1][4], 0.25L);
}

TEST_F(Plot3Test, ClosingWritesKv3IniThatTheNextWindowReadsBack) {
  TPlot3Win* a = MakeWindow();
  a->View3D.Observer = {11, -12, 13};
  a->View3D.PhotoCount = 77;
  a->Destroy();
  plat::App::DeleteDestroyedWindows();
  windows_.clear();

  auto* b = new TPlot3Win(nullptr, "Unbenannt2.kv3");
  b->FileVersion = 33;
  b->LoadSettingsOnSetup = 1;
  windows_.push_back(b);
  ASSERT_TRUE(b->Create());
  EXPECT_EQ(b->SettingsLoaded, 1);
  EXPECT_EQ(b->View3D.Observer, (TPoint3D{11, -12, 13}));
  EXPECT_EQ(b->View3D.PhotoCount, 77);
}

TEST_F(Plot3Test, NewEmptiesTheDrawingButKeepsTheCamera) {
  TPlot3Win* w = MakeWindow();
  Add(*w, kKindPoint3D, {"1", "2", "3"});
  w->AxesShown = 1;
  w->View3D.Cubic = 1;
  w->View3D.ObserverSet = 1;
  w->View3D.Observer = {100, 0, 3};
  w->Modified = 1;
  w->ResetDrawing();
  EXPECT_EQ(w->equationCount, -1);
  EXPECT_EQ(w->AxesShown, 0);
  EXPECT_EQ(w->View3D.Cubic, 0);
  EXPECT_EQ(w->View3D.ObserverSet, 0);
  EXPECT_EQ(w->View3D.OdeIndex, -1);
  EXPECT_EQ(w->Modified, 0);
  EXPECT_EQ(w->View3D.Observer, (TPoint3D{100, 0, 3}));
  EXPECT_NEAR(static_cast<double>(w->Variable('E').re), std::exp(1.0), 1e-15);
}

TEST_F(Plot3Test, TheSecondaryWindowOpensOnceWithoutAnimationMenuAndHidesWhenClosed) {
  TPlot3Win* w = MakeWindow();
  w->Command(kCm3SecondaryWindow);
  TPlotSWin* s = w->SecondaryWin;
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(s->IsSecondary, 1);
  EXPECT_EQ(s->GetCaption().find("Fenster.kv3"), 0u);
  EXPECT_TRUE(s->IsVisible());
  Add(*s, kKindPoint3D, {"1", "2", "3"});
  s->Command(357);  // "&Schließen"
  EXPECT_FALSE(s->IsVisible());
  EXPECT_EQ(s->equationCount, -1) << "closing empties the drawing";
  w->Command(kCm3SecondaryWindow);
  EXPECT_EQ(w->SecondaryWin, s) << "opened twice, it is only shown again";
  EXPECT_TRUE(s->IsVisible());
  s->Destroy();
  EXPECT_EQ(w->SecondaryWin, nullptr);
}

TEST_F(Plot3Test, TheFrenetColourCommandEditsItsOwnSlot) {
  TPlot3Win* w = MakeWindow();
  const std::int16_t slot6 = w->ColourSlots[6];
  w->ChooseColourForSlot(6);
  ASSERT_NE(w->ColourWindow, nullptr);
  w->ColourWindow->PickCell(5, 3);  // colour 17
  EXPECT_EQ(w->ColourSlots[9], 17);
  EXPECT_EQ(w->ColourSlots[6], slot6);
}

}  // namespace
}  // namespace kv
