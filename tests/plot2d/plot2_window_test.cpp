// The 2D window as the main frame opens it, and the main road through it:
// F1, a formula in "EQUA201", OK, and the graph on the screen.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <set>
#include <unistd.h>

#include "app/window_registry.h"
#include "platform/app.h"
#include "platform/bitmap.h"
#include "platform/keys.h"
#include "platform/resources.h"
#include "plot2d/plot2_win.h"
#include "plot2d/plot2_test_util.h"
#include "shell/plot_frame.h"
#include "support/test_env.h"

namespace kv {
namespace {

using test2d::ColourNear;
using test2d::GraphCoverage;

// The colours of an empty plot: background, grid, axes and their numbers.
std::set<plat::Colour> ColoursOf(const plat::Bitmap& s) {
  std::set<plat::Colour> colours;
  for (int y = 0; y < s.Height(); ++y)
    for (int x = 0; x < s.Width(); ++x) colours.insert(s.GetPixel(x, y));
  return colours;
}

using kvtest::BuildTreeDir;

class Plot2Road : public ::testing::Test {
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
  TPlot2Win* OpenWindowWithF2() {
    frame_->SimulateKey(plat::VK_F2);
    TPlot2Win* w = nullptr;
    for (plat::Window* c : frame_->Children())
      if (auto* p = dynamic_cast<TPlot2Win*>(c)) w = p;
    if (!w) return nullptr;
    w->MoveWindow(30, 40, 640, 480);
    for (int i = 0; i < 5; ++i) plat::App::ProcessEvents();
    w->UpdateWindow();
    return w;
  }
  static void Settle(TPlot2Win* w) {
    for (int i = 0; i < 5; ++i) plat::App::ProcessEvents();
    w->UpdateWindow();
  }
  TPlotFrame* frame_ = nullptr;
};

TEST_F(Plot2Road, F1TypesAFormulaAndTheGraphAppearsInItsColourOnAnOtherwiseEmptyPlot) {
  TPlot2Win* w = OpenWindowWithF2();
  ASSERT_NE(w, nullptr);
  EXPECT_EQ(w->MenuName(), "PLOT2MENU");
  const std::set<plat::Colour> empty = ColoursOf(w->Surface());
  ASSERT_GE(empty.size(), 2u) << "background and axes";

  std::string shownText;
  plat::testing::ExpectDialog("EQUA201", [&](plat::Dialog& d) {
    shownText = d.GetItemText(212);
    d.SetItemText(212, "xsin(x)");
    d.Press(plat::IDOK);
  });
  w->SimulateKey(plat::VK_F1);
  Settle(w);

  EXPECT_EQ(shownText, "xsin(x)") << "the default text of a new explicit curve";
  ASSERT_EQ(w->equationCount, 0);
  const TEquation& e = w->Equation(0);
  EXPECT_EQ(e.kind, kKindExplicit);
  EXPECT_EQ(e.formulaText[1], "xsin(x)");
  EXPECT_NE(e.trees[1], nullptr) << "compiled";
  EXPECT_EQ(e.penColour, static_cast<std::uint16_t>(w->GetSavedValue(0)));
  ASSERT_EQ(w->equationLabels.size(), 1u) << "labelled";
  EXPECT_NE(w->equationLabels[0].text.find("sin"), std::string::npos);

  const plat::Bitmap& s = w->Surface();
  const plat::Colour c = test2d::EntryColour(*w, 0);
  ASSERT_EQ(empty.count(c), 0u) << "the entry's colour is not one of the empty plot's";
  EXPECT_GT(GraphCoverage(*w, s, c, [](long double x) { return x * std::sin(x); }), 0.97);

  // Every other pixel is one the empty plot has, and every pixel of the
  // entry's colour lies on the graph or in its caption at the top left.
  int stray = 0;
  int foreign = 0;
  for (int y = 0; y < s.Height(); ++y) {
    for (int x = 0; x < s.Width(); ++x) {
      const plat::Colour p = s.GetPixel(x, y);
      if (p != c) {
        if (!empty.count(p)) ++foreign;
        continue;
      }
      const bool caption = x < 300 && y < 30;
      const long double wx = w->PixelToWorldX(x);
      const int gy = w->WorldToPixelY(wx * std::sin(wx));
      // Where the graph is steep it covers several rows of one column.
      const long double slope = std::fabs(std::sin(wx) + wx * std::cos(wx)) * w->PixelsPerUnitY / w->PixelsPerUnitX;
      if (!caption && std::abs(gy - y) > 2 + slope) ++stray;
    }
  }
  EXPECT_EQ(foreign, 0);
  EXPECT_EQ(stray, 0);
}

TEST_F(Plot2Road, ScreenshotOfTheSceneF2F1FormulaOk) {
  TPlot2Win* w = OpenWindowWithF2();
  ASSERT_NE(w, nullptr);
  plat::testing::ExpectDialog("EQUA201", [](plat::Dialog& d) {
    d.SetItemText(212, "xsin(x)");
    d.Press(plat::IDOK);
  });
  w->SimulateKey(plat::VK_F1);
  Settle(w);
  const plat::Bitmap& s = w->Surface();
  const std::string dir = BuildTreeDir() + "/screenshots";
  std::filesystem::create_directories(dir);
  const std::string path = dir + "/plot2d_xsinx.png";
  ASSERT_TRUE(s.WritePngFile(path)) << path;
  EXPECT_GT(std::filesystem::file_size(path), 1000u);
  // Spot checks on the picture: the graph passes the origin and
  // (π, 0), and reaches x·sin(x) at x = 2 (1.82).
  const plat::Colour c = test2d::EntryColour(*w, 0);
  const struct {
    long double x;
  } points[] = {{0.0L}, {2.0L}, {-2.0L}, {3.14159265358979L}, {3.5L}};
  for (const auto& pt : points) {
    const int px = w->WorldToPixelX(pt.x);
    const int py = w->WorldToPixelY(pt.x * std::sin(pt.x));
    EXPECT_TRUE(ColourNear(s, px, py, c, 2)) << "x = " << static_cast<double>(pt.x);
  }
}

TEST_F(Plot2Road, ZoomAndPanRedrawTheGraphAndFurtherEquationsGetTheirOwnColoursAndLabels) {
  TPlot2Win* w = OpenWindowWithF2();
  ASSERT_NE(w, nullptr);
  const char* formulas[] = {"xsin(x)", "x^2/4", "cos(x)+2"};
  for (const char* f : formulas) {
    plat::testing::ExpectDialog("EQUA201", [f](plat::Dialog& d) {
      d.SetItemText(212, f);
      d.Press(plat::IDOK);
    });
    w->SimulateKey(plat::VK_F1);
    Settle(w);
  }
  ASSERT_EQ(w->equationCount, 2);
  std::set<plat::Colour> colours;
  for (int i = 0; i <= 2; ++i) colours.insert(test2d::EntryColour(*w, i));
  EXPECT_EQ(colours.size(), 3u);
  EXPECT_EQ(w->equationLabels.size(), 3u);
  EXPECT_NE(w->equationLabels[1].anchor.y, w->equationLabels[0].anchor.y) << "one caption below the other";

  w->SimulateKey(plat::VK_PRIOR);  // zoom in
  Settle(w);
  w->SimulateKey(plat::VK_RIGHT);  // pan
  Settle(w);
  const plat::Bitmap& s = w->Surface();
  EXPECT_GT(GraphCoverage(*w, s, test2d::EntryColour(*w, 1), [](long double x) { return x * x / 4; }), 0.97);
  EXPECT_GT(GraphCoverage(*w, s, test2d::EntryColour(*w, 2), [](long double x) { return std::cos(x) + 2; }), 0.97);
}

TEST_F(Plot2Road, TheWindowsSettingsSurviveARestart) {
  frame_->StandardSettings = 0;  // new windows read the kind's settings
  TPlot2Win* w = OpenWindowWithF2();
  ASSERT_NE(w, nullptr);
  // Settings of several layers, each with its own word of "kv2.ini".  The
  // mark pen takes widths the files keep (1 to 6) only.
  plat::testing::ClearMessages();
  plat::testing::AnswerDialog("ONEINPUT", {{211, "7"}}, 1);
  w->Command(kCmMarkPenWidth);
  ASSERT_EQ(plat::testing::Messages().size(), 1u);
  EXPECT_EQ(plat::testing::Messages()[0].text, "jenseits der Grenzen");
  plat::testing::AnswerDialog("ONEINPUT", {{211, "4"}}, 1);
  w->Command(kCmMarkPenWidth);
  w->Modified = 0;  // closed without the question to save
  w->MarkerSizeCode = 7;
  w->Decimals = 3;
  w->FieldWidth = 9;
  w->AxisWidthDisplay = 2;
  w->GridWidthPrint = 4;
  w->ZoomFactor = 1.5L;
  w->PanShare = 0.2L;
  w->fillInsteadOfHatch = 1;
  w->infiniteSlope = 1;
  w->FilledArrowHeads = 1;
  w->smallSteps[0] = 200;
  w->mediumSteps[0] = 20;
  w->View3D.SegmentPieces = 40;
  w->SetOverlayMask(0x41);
  w->SavedValuesOff = 1;  // new graphs in black
  // The modes of the time windows x(t) and xy(t), which are not read back.
  ASSERT_NE(w->OpenTimeWindow(0), nullptr);
  ASSERT_NE(w->OpenTimeWindow(2), nullptr);
  w->CloseWindow();
  plat::App::DeleteDestroyedWindows();

  TPlot2Win* v = OpenWindowWithF2();
  ASSERT_NE(v, nullptr);
  EXPECT_EQ(v->SettingsLoaded, 1);
  EXPECT_EQ(v->MouseMode, kCmMouseCoordinates) << "a window that read its settings starts in mode 125";
  EXPECT_EQ(v->mouseMarkPenWidth, 4);
  EXPECT_EQ(v->MarkerSizeCode, 7);
  EXPECT_EQ(v->Decimals, 3);
  EXPECT_EQ(v->FieldWidth, 9);
  EXPECT_EQ(v->AxisWidthDisplay, 2);
  EXPECT_EQ(v->GridWidthPrint, 4);
  EXPECT_EQ(v->ZoomFactor, 1.5L);
  EXPECT_NEAR(static_cast<double>(v->PanShare), 0.2, 1e-15);
  EXPECT_EQ(v->fillInsteadOfHatch, 1);
  EXPECT_EQ(v->infiniteSlope, 1);
  EXPECT_EQ(v->FilledArrowHeads, 1);
  EXPECT_EQ(v->smallSteps[0], 200);
  EXPECT_EQ(v->mediumSteps[0], 20);
  EXPECT_EQ(v->View3D.SegmentPieces, 40);
  EXPECT_EQ(v->GetOverlayMask(), 0x41);
  EXPECT_EQ(v->GetSavedValue(3), 0) << "a new graph in black";
  EXPECT_EQ(v->SettingsBlocks.Ints[0][20], 9 + 11 * 10000);
}

}  // namespace
}  // namespace kv

namespace kv {
namespace {

TEST(Plot2WindowView, ANewWindowShowsItsDefaultViewAtItsFullSize) {
  RegisterWindowCreators();
  kvtest::ClearSettingsFolder();
  auto* frame = new TPlotFrame(nullptr, "Kurvato");
  ASSERT_TRUE(frame->Create());
  TFileMsgWin* w = frame->New2DWindow("");
  auto* p = dynamic_cast<TPlot2Win*>(w);
  ASSERT_NE(p, nullptr);
  plat::Rect c = p->GetClientRect();
  EXPECT_EQ(p->ClientWidth, c.right);
  EXPECT_EQ(p->ClientHeight, c.bottom);
  EXPECT_GT(c.right, 400);
  // The default view of about -5..5 fills the whole client area.
  EXPECT_NEAR(static_cast<double>(p->World.ymax), 5.0, 0.5);
  EXPECT_NEAR(static_cast<double>(p->World.xmax), 5.0, 0.5);
  frame->Destroy();
  plat::App::DeleteDestroyedWindows();
}

}  // namespace
}  // namespace kv
