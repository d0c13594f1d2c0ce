// The 2D window classes: the linked window, the settings words of
// "kv2.ini" and their checks, and a new drawing.
#include <gtest/gtest.h>

#include <cmath>

#include "platform/resources.h"
#include "plot2d/plot2_test_util.h"
#include "core/binary_stream.h"
#include "shell/plot_frame.h"

namespace kv {
namespace {

class Plot2Classes : public test2d::Plot2Test {};

TEST_F(Plot2Classes, TheLinkedWindowIsOpenedOnceAndForgetsItsOwnerWhenClosed) {
  TPlot2Win* w = MakeWindow();
  w->SetVariable('C', 2.5L);
  w->Command(kCmLinkedWindow);
  Settle(w);
  TPlotDWin* linked = w->LinkedWindow;
  ASSERT_NE(linked, nullptr);
  EXPECT_EQ(linked->GetCaption().find(plat::res::String(272) + ".kv2"), 0u);
  EXPECT_EQ(linked->MenuName(), "PLOT2MENU");
  EXPECT_EQ(linked->Variable('C').re, 2.5L) << "the parameters are copied";
  EXPECT_EQ(linked->FileVersion, w->FileVersion);
  w->Command(kCmLinkedWindow);
  EXPECT_EQ(w->LinkedWindow, linked) << "the second time restores the same window";
  linked->Destroy();
  Settle(w);
  EXPECT_EQ(w->LinkedWindow, nullptr);
}

TEST_F(Plot2Classes, SettingsWordsOutsideTheirRangesTakeTheirDefaults) {
  struct Case {
    const char* what;
    int block;  // integer block 1..3
    int word;
    std::int32_t value;
    std::function<long(TPlot2Win&)> read;
    long expected;
  } cases[] = {
      {"mark pen width 7", 2, 0, 7, [](TPlot2Win& w) { return w.mouseMarkPenWidth; }, 1},
      {"point size 65", 2, 2, 65, [](TPlot2Win& w) { return w.MarkerSizeCode; }, 3},
      {"trajectory density 0", 2, 3, 0, [](TPlot2Win& w) { return w.trajectoryDensity; }, 400},
      {"decimals 20", 2, 6, 20, [](TPlot2Win& w) { return w.Decimals; }, 5},
      {"minus character 20", 2, 8, 20, [](TPlot2Win& w) { return w.LongHyphenChar; }, 150},
      // What the minus, pi and width commands accept comes back after a restart.
      {"minus character 32", 2, 8, 32, [](TPlot2Win& w) { return w.LongHyphenChar; }, 32},
      {"pi character 32", 3, 14, 32, [](TPlot2Win& w) { return w.PiChar; }, 32},
      {"axis width 0", 3, 12, 0, [](TPlot2Win& w) { return w.AxisWidthDisplay; }, 0},
      {"axis width -1", 3, 12, -1, [](TPlot2Win& w) { return w.AxisWidthDisplay; }, 1},
      {"field width 101", 2, 17, 101, [](TPlot2Win& w) { return w.FieldWidth; }, 7},
      {"grid setting -1", 2, 20, -1, [](TPlot2Win& w) { return w.GridBits; }, 15},
      {"tick mode 8", 3, 0, 8, [](TPlot2Win& w) { return w.ScaleBits; }, 0},
      {"grid subdivisions 99", 3, 1, 99, [](TPlot2Win& w) { return w.LabelFrequencyX; }, 1},
      {"grid width 0", 3, 8, 0, [](TPlot2Win& w) { return w.GridWidthDisplay; }, 0},
      {"grid width -1", 3, 8, -1, [](TPlot2Win& w) { return w.GridWidthDisplay; }, 1},
      {"print grid width 0", 3, 9, 0, [](TPlot2Win& w) { return w.GridWidthPrint; }, 2},
      {"pi character 300", 3, 14, 300, [](TPlot2Win& w) { return w.PiChar; }, 112},
      {"pi character 31", 3, 14, 31, [](TPlot2Win& w) { return w.PiChar; }, 112},
      {"hidden-line steps 513", 3, 3, 513, [](TPlot2Win& w) { return w.View3D.SegmentPieces; }, 12},
      {"hidden-line steps 0", 3, 3, 0, [](TPlot2Win& w) { return w.View3D.SegmentPieces; }, 12},
      {"hidden-line steps 512 and their reciprocal", 3, 3, 512,
       [](TPlot2Win& w) { return std::lround(1 / w.View3D.SegmentPieceLength); }, 512},
      // Overlay flags 2 and 6: the first ticked rule is the third.
      {"overlay mask unpacked", 2, 9, 0x44,
       [](TPlot2Win& w) { return w.overlayFlags[2] + 10 * w.overlayFlags[6] + 100 * w.firstOverlayRule; }, 311},
      {"word 10 not 32000 keeps word 11's flag", 2, 10, 7, [](TPlot2Win& w) { return w.TicksShown; }, 1},
      {"word 10 in range sets the default density", 2, 10, 7, [](TPlot2Win& w) { return w.defaultDensity; }, 7},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    kvtest::ClearSettingsFolder();
    TPlot2Win* a = MakeWindow();
    a->TicksShown = 1;
    a->StoreSettings();
    a->SettingsBlocks.Ints[1][11] = 0;  // the flag word 11 would clear
    a->SettingsBlocks.Ints[static_cast<std::size_t>(c.block - 1)][static_cast<std::size_t>(c.word)] = c.value;
    ASSERT_TRUE(WriteFileAtomically(WindowsDirectory() + "kv2.ini", a->SettingsFileBytes()));
    a->SaveSettingsOnClose = 0;
    TPlot2Win* b = MakeWindow();
    b->SaveSettingsOnClose = 0;
    ASSERT_EQ(b->SettingsLoaded, 1);
    EXPECT_EQ(c.read(*b), c.expected);
  }
}

TEST_F(Plot2Classes, ANewWindowStartsInACoordinateMouseModeOnlyWhenItReadSettings) {
  TPlot2Win* first = MakeWindow();
  EXPECT_EQ(first->SettingsLoaded, 0);
  EXPECT_EQ(first->MouseMode, kCmMouseBoxZoom) << "121 lies in 121..126";
  // Without settings a mode outside 121..126 becomes 125.
  for (auto [mode, expected] : {std::pair<int, int>{kCmMouseLagrange, kCmMouseLagrange},
                                std::pair<int, int>{127, kCmMouseCoordinates},
                                std::pair<int, int>{kCmMouseLast, kCmMouseCoordinates}}) {
    auto* w = new TPlot2Win(nullptr, "Unbenannt2.kv2");
    w->FileVersion = 33;
    w->LoadSettingsOnSetup = 0;
    w->MouseMode = static_cast<std::int16_t>(mode);
    ASSERT_TRUE(w->Create());
    EXPECT_EQ(w->MouseMode, expected) << mode;
    w->Modified = 0;
    w->Destroy();
  }
  first->Destroy();  // writes "kv2.ini"
  windows_.clear();   // the platform deletes it
  TPlot2Win* second = MakeWindow();
  EXPECT_EQ(second->SettingsLoaded, 1);
  EXPECT_EQ(second->MouseMode, kCmMouseCoordinates);
}

TEST_F(Plot2Classes, ClearDrawingEmptiesTheInventoryAndResetsTheView) {
  TPlot2Win* w = MakeWindow();
  EXPECT_EQ(w->MetafileDescription, "kurvato2 v.33") << "the version the window was given, not its first";
  const int i = w->AppendEquation(kKindExplicit, -5, 5, {}, "x");
  w->CompileEquation(i);
  w->AddEquationLabel();
  w->entryCounter = 3;
  w->Centre = {4, 4};
  w->Modified = 1;
  w->ClearDrawing();
  EXPECT_EQ(w->equationCount, -1);
  EXPECT_TRUE(w->equationLabels.empty());
  EXPECT_EQ(w->entryCounter, 0);
  EXPECT_EQ(w->Centre.x, 0);
  EXPECT_EQ(w->Centre.y, 0);
  EXPECT_EQ(w->Modified, 0);
  EXPECT_NEAR(static_cast<double>(w->Variable('E').re), 2.718281828459045, 1e-15);
}

}  // namespace
}  // namespace kv
