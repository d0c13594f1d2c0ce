// The windows with logarithmic axes as the main frame opens them: curves
// in decimal exponents, points without a logarithm left out, the decade
// grid and numbers, the view around the plotted rectangle, and the file.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <sstream>

#include "app/window_registry.h"
#include "planewin/log_win.h"
#include "planewin/model/log_axes.h"
#include "platform/app.h"
#include "platform/bitmap.h"
#include "platform/testing.h"
#include "shell/plot_frame.h"
#include "support/plot_window_test.h"
#include "support/recording_sink.h"
#include "support/test_env.h"
#include "entry/trace_traj_dialog.h"
#include "entry/plot111_win.h"
#include "plotcore/model/trajectories.h"
#include "entry/model/trace_point.h"

namespace kv {
namespace {

using kvtest::ColourNear;

class LogWindow : public ::testing::Test {
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
  TLogWin* NewWindow(int type, const std::string& file = "") {
    auto* w = dynamic_cast<TLogWin*>(frame_->NewLogWindow(file, type));
    if (!w) return nullptr;
    w->MoveWindow(10, 40, 600, 500);
    Settle(w);
    w->GridChanged();
    Settle(w);
    return w;
  }
  static void Settle(TLogWin* w) {
    for (int k = 0; k < 5; ++k) plat::App::ProcessEvents();
    w->UpdateWindow();
  }
  static int NewExplicit(TLogWin* w, const std::string& f) {
    plat::testing::ExpectDialog("EQUA201", [&](plat::Dialog& d) {
      d.SetItemText(212, f);
      d.Press(plat::IDOK);
    });
    w->Command(kCmNewExplicit);
    Settle(w);
    return w->equationCount;
  }
  // Whether entry i has a pixel within one pixel of the world point.
  static bool CurveAt(TLogWin& w, int i, long double x, long double y) {
    const plat::Colour c = w.DrawingColourOf(w.CheckColourIndex(w.Equation(i).penColour));
    return ColourNear(w.Surface(), w.WorldToPixelX(x), w.WorldToPixelY(y), c, 1);
  }
  TPlotFrame* frame_ = nullptr;
};

TEST_F(LogWindow, AnExponentialOnALogarithmicYAxisIsAStraightLine) {
  TLogWin* w = NewWindow(2);
  ASSERT_NE(w, nullptr);
  EXPECT_EQ(w->MenuName(), "LOGMENU");
  const int i = NewExplicit(w, "10^x");
  ASSERT_EQ(i, 0);
  w->Surface().WritePngFile(kvtest::BuildTreeDir() + "/log_exponential.png");
  // y = 10^x shows as the world line y = x across the plotted -1..2.
  for (long double x = -0.9L; x < 1.95L; x += 0.25L) EXPECT_TRUE(CurveAt(*w, i, x, x)) << static_cast<double>(x);
  // Above the plotted rectangle (values beyond 100) nothing is drawn.
  EXPECT_FALSE(CurveAt(*w, i, 2.08L, 2.08L));
}

TEST_F(LogWindow, ValuesWithoutALogarithmAreLeftOutNotDrawnAtTheEdge) {
  TLogWin* w = NewWindow(2);
  ASSERT_NE(w, nullptr);
  const int i = NewExplicit(w, "x-1");
  const plat::Colour c = w->DrawingColourOf(w->CheckColourIndex(w->Equation(i).penColour));
  // x - 1 is not positive for x <= 1, and below 0.1 up to x = 1.1: no pixel
  // of the curve along the bottom edge of the plotted rectangle there.
  const int bottom = w->WorldToPixelY(w->Alternate.ymin);
  for (int px = w->WorldToPixelX(-1) + 2; px < w->WorldToPixelX(1.05L); ++px)
    for (int py = bottom - 3; py <= bottom + 3; ++py) ASSERT_NE(w->Surface().GetPixel(px, py), c) << px << "," << py;
  EXPECT_TRUE(CurveAt(*w, i, 2, 0));                    // x - 1 = 1
  EXPECT_TRUE(CurveAt(*w, i, 1.5L, std::log10(0.5L)));  // x - 1 = 0.5
}

TEST_F(LogWindow, CurvesOnALogarithmicXAxisAreSampledEvenlyAcrossTheDecades) {
  TLogWin* w = NewWindow(1);
  ASSERT_NE(w, nullptr);
  const int i = NewExplicit(w, "x");
  // y = x shows as y = 10^s over the exponent s: the low decade is as
  // smooth as the high one.
  for (long double s = -0.95L; s < 0.3L; s += 0.05L)
    EXPECT_TRUE(CurveAt(*w, i, s, std::pow(10.0L, s))) << static_cast<double>(s);
}

TEST_F(LogWindow, ANewLogLogWindowShowsThreeDecadesOnEachAxisWithTheirGridAndNumbers) {
  TLogWin* w = NewWindow(3);
  ASSERT_NE(w, nullptr);
  EXPECT_EQ(w->Alternate, (TSegment2D{-1, 2, -1, 2}));
  EXPECT_NEAR(static_cast<double>(w->LogValueRange.xmin), 0.1, 1e-15);
  EXPECT_NEAR(static_cast<double>(w->LogValueRange.ymax), 100, 1e-13);
  // The axis numbers at the decades 1, 10, 100.
  EXPECT_EQ(w->FormatXAxisNumber(0), "1");
  EXPECT_EQ(w->FormatXAxisNumber(1), "10");
  EXPECT_EQ(w->FormatYAxisNumber(2), "100");
  EXPECT_EQ(static_cast<double>(w->TickIntervalX), 1.0);
  EXPECT_EQ(static_cast<double>(w->TickIntervalY), 1.0);
  // The axes are on from the start, and through the value 1 they keep its
  // number on both axes: 0.1, 1, 10, 100 along each.
  EXPECT_EQ(w->AxesShown, 1);
  {
    plat::Bitmap bmp(w->ClientWidth, w->ClientHeight);
    plat::BitmapDC dc(bmp);
    kvtest::RecordingSink& svg = kvtest::StartRecording(*w, TExportFormat::Svg);
    w->DrawAxes(dc);
    std::vector<std::string> numbers;
    for (const TExportText& t : svg.texts) numbers.push_back(t.text);
    kvtest::StopRecording(*w);
    for (const char* n : {"0.1", "1", "10", "100"})
      EXPECT_EQ(std::count(numbers.begin(), numbers.end(), std::string(n)), 2) << n;
  }
  // The view leaves room for the numbers left of and below the plot.
  EXPECT_LT(static_cast<double>(w->World.xmin), -1.0);
  EXPECT_LT(static_cast<double>(w->World.ymin), -1.0);
  EXPECT_GT(static_cast<double>(w->World.xmax), 2.0);
  EXPECT_GT(static_cast<double>(w->World.ymax), 2.0);
  // y = x and y = 10/x are the two diagonals.
  const int a = NewExplicit(w, "x");
  const int b = NewExplicit(w, "10/x");
  w->Surface().WritePngFile(kvtest::BuildTreeDir() + "/log_loglog.png");
  for (long double s : {-0.7L, 0.3L, 1.6L}) {
    EXPECT_TRUE(CurveAt(*w, a, s, s));
    EXPECT_TRUE(CurveAt(*w, b, s, 1 - s));
  }
  // Grid lines at 2, 3, ... 9 times each power of ten, in the grid colour.
  const plat::Colour grid = w->DrawingColourOf(w->ColourSlots[10]);
  int found = 0;
  for (long double x : {std::log10(2.0L), 1 + std::log10(5.0L), -1 + std::log10(3.0L)})
    if (ColourNear(w->Surface(), w->WorldToPixelX(x), w->WorldToPixelY(0.9L), grid, 0)) ++found;
  EXPECT_EQ(found, 3);
  // Segments and lines end a pixel inside the plotted rectangle: at 10^(-1 + u)
  // and 10^(2 - u) for u world units per pixel.
  const long double ux = w->UnitsPerPixelX;
  const int segment = w->AppendEquation(kKindSegment, {"0.001", "1", "1000", "1"});
  const int line = w->AppendEquation(kKindLine, {"0", "1", "1"});  // y = 1
  for (int i : {segment, line}) w->CompileEquation(i);
  plat::Bitmap bmp(w->ClientWidth, w->ClientHeight);
  plat::BitmapDC dc(bmp);
  kvtest::RecordingSink& eps = kvtest::StartRecording(*w, TExportFormat::Eps);
  ASSERT_EQ(w->DrawSegmentEquation(dc, segment), 0);
  w->DrawLineEquation(dc, line);
  const auto runs = eps.polylines;
  kvtest::StopRecording(*w);
  ASSERT_EQ(runs.size(), 2u);
  for (const auto& run : runs) {
    const auto [left, right] = std::minmax(run.front().x, run.back().x);
    EXPECT_NEAR(static_cast<double>(left), static_cast<double>(-1 + ux), 1e-12);
    EXPECT_NEAR(static_cast<double>(right), static_cast<double>(2 - ux), 1e-12);
    EXPECT_NEAR(static_cast<double>(run.back().y), 0, 1e-12);
  }
  const TEquation& e = w->Equation(line);
  EXPECT_NEAR(static_cast<double>(std::min(e.LineEnd1().x, e.LineEnd2().x)), std::pow(10.0, -1 + ux), 1e-12);
  EXPECT_NEAR(static_cast<double>(std::max(e.LineEnd1().x, e.LineEnd2().x)), std::pow(10.0, 2 - ux), 1e-12);
  // So does a trajectory: x' = -x, y' = -0.5y from 10^-0.7 on both axes is
  // y = c sqrt(x), a line of slope 1/2 through (-0.7; -0.7) in the axes'
  // exponents; it runs left and ends within a pixel of the left side, not
  // in the margin of the axis numbers.
  const int ode = w->AppendEquation(kKindOde, {"-x", "-0.5y"});
  w->CompileEquation(ode);
  w->AddTrajectoryItem(ode, {-0.7L, -0.7L, 0}, kMethodRungeKutta, 0.001L, 0, 1);
  kvtest::RecordingSink& eps2 = kvtest::StartRecording(*w, TExportFormat::Eps);
  ASSERT_EQ(w->DrawTrajectories(dc, ode), 0);
  const auto paths = eps2.polylines;
  kvtest::StopRecording(*w);
  ASSERT_EQ(paths.size(), 1u);
  const TPoint2D end = paths.front().back();
  EXPECT_GE(static_cast<double>(end.x), -1.0);
  EXPECT_LE(static_cast<double>(end.x), static_cast<double>(-1 + ux));
  EXPECT_NEAR(static_cast<double>(end.y), -0.7 + 0.5 * (static_cast<double>(end.x) + 0.7), 1e-6);
}

// The label of an entry stands inside the plotted rectangle, whole, not in
// the margin of the axis numbers beside it.
TEST_F(LogWindow, AnEquationLabelStandsInsideThePlottedRectangle) {
  TLogWin* w = NewWindow(3);
  ASSERT_NE(w, nullptr);
  const int i = NewExplicit(w, "x");
  ASSERT_EQ(w->equationLabels.size(), 1u);
  const plat::Colour c = w->DrawingColourOf(w->CheckColourIndex(w->Equation(i).penColour));
  const plat::Bitmap& s = w->Surface();
  const int left = w->WorldToPixelX(w->Alternate.xmin);
  const int top = w->WorldToPixelY(w->Alternate.ymax);
  int margin = 0;
  for (int y = 0; y < s.Height(); ++y)
    for (int x = 0; x < left; ++x) margin += s.GetPixel(x, y) == c ? 1 : 0;
  EXPECT_EQ(margin, 0) << "label pixels left of the plotted rectangle";
  int inside = 0;
  for (int y = top; y < top + 30; ++y)
    for (int x = left + 1; x < left + 100; ++x) inside += s.GetPixel(x, y) == c ? 1 : 0;
  EXPECT_GT(inside, 20) << "no label in the rectangle's top left corner";
}

TEST_F(LogWindow, OnlyTheLogarithmicAxisGetsDecadeLines) {
  TLogWin* w = NewWindow(1);
  ASSERT_NE(w, nullptr);
  // The grid pass of type 1: 30 vertical decade lines and the horizontal
  // tick lines of the linear y axis.
  TTickRange range;
  w->AutoTickSpacing(range);
  const auto verticals = DecadeLines(w->Alternate.xmin, w->Alternate.xmax);
  EXPECT_EQ(verticals.size(), 30u);
  const auto horizontals = LinearLines(w->TickOriginY, w->TickIntervalY, range.bottom, range.top, w->Alternate.ymin);
  EXPECT_FALSE(horizontals.empty());
  for (long double y : horizontals)
    EXPECT_NEAR(static_cast<double>(std::remainder(y - w->TickOriginY, w->TickIntervalY)), 0, 1e-12);
  EXPECT_TRUE(IsLogX(w->AxisType));
  EXPECT_FALSE(IsLogY(w->AxisType));
}

TEST_F(LogWindow, ALogFileKeepsItsTypeAndCurvesWhateverWindowOpensIt) {
  const std::string path = kvtest::MakeTempDir("logfile") + "decades.lkv";
  {
    TLogWin* w = NewWindow(3);
    ASSERT_NE(w, nullptr);
    NewExplicit(w, "xx");
    w->SetLogView(0.01L, 1000, 1, 10000);
    w->FileData.FileName = path;
    ASSERT_TRUE(w->WriteFile());
    w->Modified = 0;
  }
  // The frame opens ".lkv" files in a window of type 1; the file says 3.
  frame_->OpenByExtension(path);
  TLogWin* w = nullptr;
  for (plat::Window* c : frame_->Children())
    if (auto* l = dynamic_cast<TLogWin*>(c); l && l->FileData.FileName == path) w = l;
  ASSERT_NE(w, nullptr);
  w->MoveWindow(10, 40, 600, 500);
  Settle(w);
  w->GridChanged();
  Settle(w);
  EXPECT_EQ(w->AxisType, 3);
  EXPECT_EQ(w->AxisKind, 3);
  EXPECT_EQ(w->LogWindowType, 3);
  EXPECT_EQ(w->Alternate, (TSegment2D{-2, 3, 0, 4}));
  ASSERT_EQ(w->equationCount, 0);
  EXPECT_EQ(w->Equation(0).formulaText[1], "xx");
  EXPECT_TRUE(CurveAt(*w, 0, 1, 2));  // 10² = 100

  // Read into a window of another size, the file brings its size and margins.
  TLogWin* other = NewWindow(1);
  other->MoveWindow(30, 60, 450, 300);
  Settle(other);
  other->FileData.FileName = path;
  ASSERT_EQ(other->OpenFile(), 0);
  Settle(other);
  EXPECT_EQ(other->World, w->World);
  EXPECT_EQ(other->Modified, 0);
}


// A roulette's pen point goes onto the axes like every other point: the
// centre of a circle rolling on y = 5 (arm 0, radius 1) runs along y = 4,
// which a logarithmic y axis shows at lg 4.
TEST_F(LogWindow, ARouletteIsDrawnThroughTheLogarithmicAxis) {
  TLogWin* w = NewWindow(2);
  ASSERT_NE(w, nullptr);
  const long double lo = w->Alternate.xmin, hi = w->Alternate.xmax;
  const int base = w->AppendEquation(kKindParametric, lo, hi, "t", "5");
  w->CompileEquation(base);
  ASSERT_EQ(w->AddRoulette(base, false, lo, (lo + hi) / 2, hi, 1, 0), 0);
  const int roulette = w->equationCount;
  w->InvalidatePlot();
  Settle(w);
  for (int k = 1; k < 8; ++k) {
    const long double x = lo + (hi - lo) * k / 8;
    EXPECT_TRUE(CurveAt(*w, roulette, x, std::log10(4.0L))) << static_cast<double>(x);
  }
}

}  // namespace
}  // namespace kv

namespace kv {
namespace {

// A solution on a logarithmic y axis keeps its start as an exponent; the
// curve trace shows and marks the point's values, also below 1.
TEST_F(LogWindow, ACurveTraceShowsThePointsValues) {
  TLogWin* w = NewWindow(2);
  ASSERT_NE(w, nullptr);
  const int i = w->AppendEquation(kKindOde, {"1", "0"});
  w->CompileEquation(i);
  w->EquationsChanged(false);
  TEquationItem& item = AddTrajectoryItem(w->Equation(i), {0, std::log10(0.5L), 0}, kMethodRungeKutta, 0.01L, 100, 1);
  ASSERT_NE(w->ShowCurveTraceDialog(), nullptr);
  TTraceTrajDlg* d = w->CurveTraceDialog();
  d->RefillList();
  d->SetItemText(kIdTrajTraceParameter, "0.5");
  d->Recalculate();
  ASSERT_TRUE(d->HasTrace());
  EXPECT_NEAR(static_cast<double>(d->Trace().point.x), 0.5, 1e-12);
  EXPECT_NEAR(static_cast<double>(d->Trace().point.y), 0.5, 1e-12);
  EXPECT_NEAR(static_cast<double>(d->Trace().velocity.x), 1, 1e-12);
  EXPECT_EQ(item.start.y, std::log10(0.5L)) << "the item keeps its exponent";

  // The system sees the values: y' = y from the value 1 reaches e at t = 1,
  // the exponent lg e, however the curve and the trace reach it.
  const int growth = w->AppendEquation(kKindOde, {"1", "y"});
  w->CompileEquation(growth);
  TEquationItem& from1 = AddTrajectoryItem(w->Equation(growth), {0, 0, 0}, kMethodRungeKutta, 0.001L, 1000, 1);
  TPoint3D at1;
  ASSERT_TRUE(w->RunTrajectoryItem(growth, from1, 1, at1));
  EXPECT_NEAR(static_cast<double>(at1.y), std::log10(std::exp(1.0)), 1e-9);
  bool finished = false;
  TPoint3D end;
  w->RunTrajectory(growth, from1, nullptr, finished, &end);
  EXPECT_NEAR(static_cast<double>(end.y), std::log10(std::exp(static_cast<double>(end.x))), 1e-9);
  TTrajectoryTrace trace;
  ASSERT_TRUE(ComputeTrajectoryTrace(w->Equation(growth), w->Engine(), from1, 0.001L, 1, false, -1, trace, 2));
  EXPECT_NEAR(static_cast<double>(trace.point.y), std::exp(1.0), 1e-9);
  // Its value table lists t, x and the value y = e^t, ending at t = 1.
  std::string table;
  w->DrawEquationItem(table, growth, from1, 12, 9, "");
  const std::size_t last = table.rfind("\r\n", table.size() - 3);
  std::istringstream line(table.substr(last + 2));
  double t = 0, x = 0, y = 0;
  ASSERT_TRUE(line >> t >> x >> y) << table.substr(last);
  EXPECT_NEAR(t, 1, 1e-9);
  EXPECT_NEAR(y, std::exp(1.0), 1e-8);
}

// The lists of starts and a sequence's terms show values, though the items
// keep exponents on the logarithmic axis.
TEST_F(LogWindow, ItemListsAndSequenceTermsShowValues) {
  TLogWin* w = NewWindow(2);
  ASSERT_NE(w, nullptr);
  const int ode = w->AppendEquation(kKindOde, {"1", "y"});
  w->CompileEquation(ode);
  TEquationItem& item = AddTrajectoryItem(w->Equation(ode), {2, std::log10(100.0L), 0}, kMethodRungeKutta, 0.01L, 10, 1);
  EXPECT_EQ(w->FormatValueReport(item, kKindOde, 1), "2.0 100.0");
  // A sequence x -> x+1, y -> 2y started at the value 10 doubles values,
  // not exponents: 10, 20, 40.
  const int seq = w->AppendEquation(kKindSequence, {"x+1", "2y"});
  w->CompileEquation(seq);
  TEquationItem& terms = w->AddTrajectoryItem(seq, {0, 1, 0}, 0, 0, 3, 1);
  EXPECT_EQ(w->FormatValueReport(terms, kKindSequence, 1), "0.0 10.0");
  const std::vector<TPoint3D> p = w->IterateSequenceItem(seq, terms, 2);
  ASSERT_EQ(p.size(), 3u);
  EXPECT_NEAR(static_cast<double>(p[1].y), 20, 1e-12);
  EXPECT_NEAR(static_cast<double>(p[2].y), 40, 1e-12);
  EXPECT_NEAR(static_cast<double>(p[2].x), 2, 1e-12);
}

}  // namespace
}  // namespace kv
