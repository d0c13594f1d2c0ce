// The axis pass on a recording device context: ticks, numbers, labels,
// grids, polar sectors, arrow heads, pen widths, text boxes, the view frame
// and the export routing; and the paint of a window that shows its axes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>

#include "graphics/export_sinks.h"
#include "recording_dc.h"
#include "test_window.h"

namespace kv {
namespace {

using kvtest::DrawCall;
using kvtest::PlotWindowTest;
using kvtest::RecordingDC;
using Pts = std::vector<plat::Point>;
using kvtest::RecordingSink;
using kvtest::StartRecording;
using kvtest::StopRecording;

class AxesTest : public PlotWindowTest {
 protected:
  void SetUp() override {
    PlotWindowTest::SetUp();
    w->AxesShown = 1;
    w->ScaleBits = kScaleNumbersX;
  }
  RecordingDC& Draw() {
    dc.calls.clear();
    w->DrawAxes(dc);
    return dc;
  }
  // Vertical tick strokes on the x axis, by column.
  std::vector<int> TickColumns() const {
    std::vector<int> cols;
    for (const auto& c : dc.Of(DrawCall::Line))
      if (c.points[0].x == c.points[1].x && c.points[0].y == 255 && c.points[1].y == 244) cols.push_back(c.points[0].x);
    return cols;
  }
  RecordingDC dc;
};

TEST_F(AxesTest, DefaultSettingsRunThePassButDrawNoAxes) {
  w->AxesShown = 0;
  w->ScaleBits = 0;
  Draw();
  EXPECT_TRUE(dc.calls.empty());
}

TEST_F(AxesTest, BothAxesPutTicksAndNumbersBelowTheTicksWithoutTheOrigin) {
  Draw();
  EXPECT_EQ(TickColumns(), (std::vector<int>{0, 50, 100, 150, 200, 300, 350, 400, 450, 500}));
  // "1.0" is 18 pixels wide, centred under column 300, 4 pixels below the
  // tick's last row (255).
  const DrawCall* one = dc.FindText("1.0");
  ASSERT_NE(one, nullptr);
  EXPECT_EQ(one->points[0], (plat::Point{291, 259}));
  EXPECT_EQ(one->font.charSet, plat::SYMBOL_CHARSET);  // font slot 1
  EXPECT_NE(dc.FindText("5.0"), nullptr);
  EXPECT_EQ(dc.FindText("-5.0"), nullptr);  // its box would start left of the area
  EXPECT_EQ(dc.FindText("0.0"), nullptr);
  EXPECT_EQ(dc.Texts().size(), 9u);  // the y axis has ticks but no numbers
}

TEST_F(AxesTest, OnlyTheXAxisAlsoMarksTheOrigin) {
  w->AxisChoice = 1;
  Draw();
  EXPECT_EQ(TickColumns().size(), 11u);
  EXPECT_NE(dc.FindText("0.0"), nullptr);
}

TEST_F(AxesTest, NumberVariants) {
  struct Case {
    const char* name;
    std::int16_t decimals;
    std::uint8_t pi;
    long double interval;
    std::int16_t axisKind;
    std::int16_t frequency;
    std::vector<std::string> present;
    std::vector<std::string> absent;
  } cases[] = {
      {"two decimals", 2, 0, 1, 0, 1, {"1.00", "-4.00"}, {"1.0"}},
      {"degree suffix", 11, 0, 1, 0, 1, {"1.0\xC2\xB0"}, {"1.0"}},
      {"pi fractions", 1, 1, Pi / 4, 0, 1, {"p/4", "p/2", "3p/4", "p", "-p/4", "3p/2"}, {"0p"}},
      {"log axis", 1, 0, 1, 1, 1, {"0.01", "10E5", "10E-4", "1000"}, {"-2.0"}},
      {"every second", 1, 0, 1, 0, 2, {"2.0", "-4.0"}, {"1.0", "-3.0", "5.0"}},
  };
  for (const auto& c : cases) {
    w->DecimalsX = c.decimals;
    w->PiX = c.pi;
    w->TickIntervalX = c.interval;
    w->AxisKind = c.axisKind;
    w->LabelFrequencyX = c.frequency;
    Draw();
    for (const auto& t : c.present) EXPECT_NE(dc.FindText(t), nullptr) << c.name << ": " << t;
    for (const auto& t : c.absent) EXPECT_EQ(dc.FindText(t), nullptr) << c.name << ": " << t;
    if (c.axisKind != 0) {
      EXPECT_TRUE(TickColumns().empty()) << c.name;  // no ticks on a log axis
    }
  }
}

TEST_F(AxesTest, NumbersAtTheFrameStandInsideTheViewEvenWithoutVisibleAxes) {
  w->ScaleBits = kScaleNumbersX | kScaleNumbersY | kScaleAtFrame;
  w->ChangeView(20, 20, 5);
  Draw();
  const DrawCall* x = dc.FindText("20.0");
  ASSERT_NE(x, nullptr);
  // x numbers end 4 pixels above the bottom edge (row 500), y numbers
  // start 4 pixels right of the left edge.
  std::vector<const DrawCall*> at20;
  for (const auto& c : dc.calls)
    if (c.kind == DrawCall::Text && c.text == "20.0") at20.push_back(&c);
  ASSERT_EQ(at20.size(), 2u);
  EXPECT_TRUE(std::any_of(at20.begin(), at20.end(), [](auto* c) { return c->points[0] == plat::Point{238, 484}; }));
  EXPECT_TRUE(std::any_of(at20.begin(), at20.end(), [](auto* c) { return c->points[0] == plat::Point{4, 244}; }));
  EXPECT_TRUE(dc.Of(DrawCall::Line).empty());  // no axis in view
}

TEST_F(AxesTest, QuadrantOneGridAndPolarChoiceStartTheXTicksAtTheOrigin) {
  w->GridBits = 17;
  Draw();
  for (int col : TickColumns()) EXPECT_GT(col, 250);
  EXPECT_EQ(dc.FindText("-1.0"), nullptr);
  w->GridBits = 0;
  w->AxisChoice = 4;
  Draw();
  EXPECT_EQ(TickColumns(), (std::vector<int>{300, 350, 400, 450, 500}));
  for (const auto& c : dc.Of(DrawCall::Line)) {
    EXPECT_FALSE(c.points[0].x == 250 && c.points[1].x == 250) << "no y axis";
    EXPECT_GE(std::min(c.points[0].x, c.points[1].x), 250) << "x axis from the origin";
  }
}

TEST_F(AxesTest, AxisLabelsAndTheOriginMark) {
  w->LabelsShown = 1;
  w->OriginMark = 1;
  Draw();
  const DrawCall* x = dc.FindText("x");
  const DrawCall* y = dc.FindText("y");
  const DrawCall* o = dc.FindText("O");
  ASSERT_NE(x, nullptr);
  ASSERT_NE(y, nullptr);
  ASSERT_NE(o, nullptr);
  EXPECT_EQ(x->points[0], (plat::Point{490, 229}));  // left of the right edge, above the axis
  EXPECT_EQ(y->points[0], (plat::Point{235, 2}));    // left of the axis, at the top
  EXPECT_EQ(o->points[0], (plat::Point{239, 255}));
  EXPECT_EQ(x->font.Face(), w->FontSlots[kAxisLabelFontSlot].Face());
}

TEST_F(AxesTest, AxisWidthsForScreenAndPrint) {
  struct Case {
    std::uint8_t printing;
    std::uint8_t scale;
    int width;
  } cases[] = {{0, 0, 1}, {1, 0, 2}, {0, 1, 3}, {1, 1, 6}};
  w->AxisWidthDisplay = 1;
  w->AxisWidthPrint = 2;
  w->LineWidthFactor = 3;
  w->ColourPrinter = 1;
  for (const auto& c : cases) {
    w->Printing = c.printing;
    w->ScaleLineWidths = c.scale;
    Draw();
    ASSERT_FALSE(TickColumns().empty() && c.printing == 0);
    for (const auto& l : dc.Of(DrawCall::Line)) EXPECT_EQ(l.pen.width, c.width) << int(c.printing) << int(c.scale);
  }
}

TEST_F(AxesTest, ArrowHeadsOpenAndFilled) {
  w->ArrowsShown = 1;
  Draw();
  EXPECT_TRUE(dc.Of(DrawCall::Polygon).empty());
  const auto open = dc.Of(DrawCall::Line).size();
  w->ArrowsShown = 0;
  Draw();
  EXPECT_EQ(open - dc.Of(DrawCall::Line).size(), 4u);  // two strokes per axis

  w->ArrowsShown = 1;
  w->FilledArrowHeads = 1;
  Draw();
  const auto heads = dc.Of(DrawCall::Polygon);
  ASSERT_EQ(heads.size(), 2u);
  // The x head: tip one pixel inside the axis end, corners 7 pixels back.
  EXPECT_EQ(heads[0].points, (Pts{{491, 247}, {498, 250}, {491, 253}}));
  EXPECT_EQ(heads[0].brush.style, plat::BS_SOLID);
  // The y head has the same shape turned upwards.
  EXPECT_EQ(heads[1].points, (Pts{{247, 9}, {250, 2}, {253, 9}}));

  // Both heads go to the export as well.
  RecordingSink& svg = StartRecording(*w, TExportFormat::Svg);
  Draw();
  EXPECT_EQ(svg.Count("Arrow filled w1"), 2);
  w->AxisWidthDisplay = 0;
  RecordingSink& eps = StartRecording(*w, TExportFormat::Eps);
  Draw();
  EXPECT_EQ(eps.Count("Arrow filled w0"), 2);
  StopRecording(*w);
}

TEST_F(AxesTest, GridLinesFollowTheQuadrantsAndSkipTheLowerEdge) {
  w->AxesShown = 0;
  w->ScaleBits = 0;
  w->GridBits = kGridRectangular | 15;
  Draw();
  EXPECT_EQ(dc.Of(DrawCall::Line).size(), 22u);  // 0 drawn twice per direction, -5 on the edges left out
  for (const auto& c : dc.Of(DrawCall::Line)) EXPECT_NE(c.points[0].y, 500);
  w->GridBits = kGridRectangular | kGridQuadrant1;
  Draw();
  const auto lines = dc.Of(DrawCall::Line);
  EXPECT_EQ(lines.size(), 12u);
  for (const auto& c : lines) {
    EXPECT_GE(std::min(c.points[0].x, c.points[1].x), 250);
    EXPECT_LE(std::max(c.points[0].y, c.points[1].y), 250);
  }
}

TEST_F(AxesTest, MajorGridLinesTakeThePrintPenWhilePrinting) {
  w->AxesShown = 0;
  w->ScaleBits = 0;
  w->GridBits = kGridRectangular | kGridQuadrant1;
  w->LabelFrequencyX = 2;
  w->LabelFrequencyY = 2;
  w->Printing = 1;
  Draw();
  for (const auto& c : dc.Of(DrawCall::Line)) {
    const int k = c.points[0].x == c.points[1].x ? (c.points[0].x - 250) / 50 : (250 - c.points[0].y) / 50;
    EXPECT_EQ(c.pen.width, k % 2 == 0 ? 2 : 1) << k;
  }
}

TEST_F(AxesTest, GridPointsAreCrossesAtEveryTick) {
  w->AxesShown = 0;
  w->ScaleBits = 0;
  w->GridBits = 0;
  w->RasterShown = 1;
  Draw();
  const auto lines = dc.Of(DrawCall::Line);
  ASSERT_EQ(lines.size(), 2u * 11 * 11);
  EXPECT_EQ(lines[0].points, (Pts{{-2, 500}, {3, 500}}));
  EXPECT_EQ(lines[1].points, (Pts{{0, 498}, {0, 503}}));
  // SVG takes every cross at its clamped pixel, as the screen: x = 0 lies
  // left of the view 0.5..10.5.
  w->ChangeView(5.5L, 0, 5);
  RecordingSink& svg = StartRecording(*w, TExportFormat::Svg);
  Draw();
  EXPECT_TRUE(dc.calls.empty());
  ASSERT_EQ(svg.calls.size(), 11u * 11);
  EXPECT_EQ(svg.calls[0], "PixelCross -1 500 r2");
  EXPECT_EQ(svg.calls[1], "PixelCross 25 500 r2");
  StopRecording(*w);
}

TEST_F(AxesTest, PolarSectorsDrawCirclesAndRays) {
  w->AxesShown = 0;
  w->ScaleBits = 0;
  w->GridBits = kGridPolarSectors;
  Draw();
  const auto circles = dc.Of(DrawCall::Ellipse);
  ASSERT_EQ(circles.size(), 7u);  // radii 1..7 reach into the view
  EXPECT_EQ(circles[0].points, (Pts{{200, 200}, {301, 301}}));
  EXPECT_EQ(circles[0].brush.style, plat::BS_NULL);
  const std::size_t rays = dc.Of(DrawCall::Line).size();
  EXPECT_GE(rays, 11u);
  // Of the files only SVG takes the rays; the others leave them to the
  // screen.  The circles go to SVG and PiCTeX.
  struct Route {
    TExportFormat format;
    std::size_t rays;
    bool circles;
  };
  for (const Route& r : {Route{TExportFormat::Svg, rays, true}, Route{TExportFormat::Pictex, 0, true},
                         Route{TExportFormat::Eps, 0, false}}) {
    SCOPED_TRACE(static_cast<int>(r.format));
    RecordingSink& sink = StartRecording(*w, r.format);
    Draw();
    EXPECT_EQ(sink.lines.size(), r.rays);
    EXPECT_EQ(dc.Of(DrawCall::Line).size(), rays - r.rays);
    EXPECT_GE(sink.polylines.size(), r.circles ? circles.size() : 0u);
    if (!r.circles) {
      EXPECT_TRUE(sink.polylines.empty());
    }
    // The files hold only what the view shows: the circles that leave it
    // are cut at its edges (one pixel beyond them, like the rays).
    for (const auto& piece : sink.polylines)
      for (const TPoint2D& p : piece) {
        EXPECT_LE(std::fabs(p.x), 5.02L + 1e-9L);
        EXPECT_LE(std::fabs(p.y), 5.02L + 1e-9L);
      }
  }
  // A dotted polar grid has dotted circles in SVG, as its rays are.
  w->GridBits = kGridPolarSectors | kGridAsDots;
  w->SvgFlag = 1;
  w->Sink = std::make_unique<TSvgSink>(*w);
  Draw();
  const std::string& svg = static_cast<TSvgSink&>(*w->Sink).Writer().Text();
  std::size_t paths = 0;
  for (std::size_t at = svg.find("<path "); at != std::string::npos; at = svg.find("<path ", at + 1)) {
    ++paths;
    EXPECT_NE(svg.substr(at, svg.find('\n', at) - at).find("stroke-dasharray=\"4,4\""), std::string::npos);
  }
  EXPECT_GE(paths, circles.size());
  StopRecording(*w);
  // Seen from outside, only arcs.
  w->ChangeView(10, 10, 5);
  Draw();
  EXPECT_TRUE(dc.Of(DrawCall::Ellipse).empty());
  EXPECT_FALSE(dc.Of(DrawCall::Arc).empty());
}

TEST_F(AxesTest, ExportRoutingOfGridAndAxes) {
  w->AxesShown = 0;
  w->ScaleBits = 0;
  w->GridBits = kGridRectangular | 15;
  RecordingSink& svg = StartRecording(*w, TExportFormat::Svg);
  Draw();
  EXPECT_EQ(svg.Count("Rule"), 22);  // instead of the context
  EXPECT_TRUE(dc.Of(DrawCall::Line).empty());
  RecordingSink& eps = StartRecording(*w, TExportFormat::Eps);
  Draw();
  EXPECT_TRUE(eps.lines.empty());  // EPS has no grid: drawn on the screen only
  EXPECT_EQ(dc.Of(DrawCall::Line).size(), 22u);
  RecordingSink& tex = StartRecording(*w, TExportFormat::Pictex);
  Draw();
  EXPECT_EQ(tex.Count("Rule"), 22);
  EXPECT_TRUE(dc.Of(DrawCall::Line).empty());
  // A dotted grid: PiCTeX switches to dots before the grid and back after it.
  w->GridBits = kGridRectangular | kGridAsDots | 15;
  RecordingSink& dots = StartRecording(*w, TExportFormat::Pictex);
  Draw();
  ASSERT_EQ(dots.calls.size(), 24u);
  EXPECT_EQ(dots.calls.front(), "LineStyle 1");
  EXPECT_EQ(dots.Count("Rule"), 22);
  EXPECT_EQ(dots.calls.back(), "LineStyle 1 solid");

  // Axes write and draw; numbers go to the export instead of the screen.
  w->GridBits = 0;
  w->AxesShown = 1;
  w->ScaleBits = kScaleNumbersX;
  RecordingSink& axes = StartRecording(*w, TExportFormat::Eps);
  Draw();
  EXPECT_EQ(axes.lines.size(), 2u + 10 + 10);  // two axes, their ticks
  EXPECT_FALSE(dc.Of(DrawCall::Line).empty());
  EXPECT_TRUE(dc.Texts().empty());
  EXPECT_TRUE(axes.HasText("1.0"));
  StopRecording(*w);
}

TEST_F(AxesTest, TickDensityNoticeShowsOnceInTheLowerRightCorner) {
  w->TickNoticeState = 1;
  Draw();
  const DrawCall* notice = dc.FindText("Strichdichte verändert");
  ASSERT_NE(notice, nullptr);
  EXPECT_EQ(notice->points[0], (plat::Point{499, 499}));
  EXPECT_EQ(notice->align, plat::TA_BOTTOM | plat::TA_RIGHT);
  EXPECT_EQ(w->TickNoticeState, 2);
  Draw();
  EXPECT_EQ(dc.FindText("Strichdichte verändert"), nullptr);
}

TEST_F(PlotWindowTest, TextBoxesPaintOpaqueBoxesAndSkipBoxesOffTheArea) {
  RecordingDC dc;
  w->DrawTextBox(dc, "abc", {-1, 10, 17, 22}, 0, -1, 1);
  EXPECT_TRUE(dc.calls.empty());
  RecordingSink& svg = StartRecording(*w, TExportFormat::Svg);
  w->DrawTextAtWorld(dc, "-2", {0, 0}, 0, 0, 0, 1);
  ASSERT_EQ(dc.calls.size(), 2u);
  EXPECT_EQ(dc.calls[0].kind, DrawCall::Rectangle);
  EXPECT_EQ(dc.calls[0].points, (Pts{{244, 244}, {256, 256}}));
  EXPECT_EQ(dc.calls[1].bkMode, plat::OPAQUE);
  EXPECT_EQ(svg.calls, (std::vector<std::string>{"Rect", "Text"}));
  // The export text hangs from the box's top-left corner.
  ASSERT_EQ(svg.texts.size(), 1u);
  EXPECT_EQ(svg.texts[0].text, "-2");
  EXPECT_EQ(svg.texts[0].anchor, (plat::Point{244, 244}));
  EXPECT_EQ(svg.texts[0].hAlign, 1);
  EXPECT_EQ(svg.texts[0].vAlign, -1);
  // EPS takes the text without its box, PiCTeX neither; the screen shows
  // both.
  struct Route {
    TExportFormat format;
    std::vector<std::string> calls;
  };
  for (const Route& r : {Route{TExportFormat::Eps, {"Text"}}, Route{TExportFormat::Pictex, {}}}) {
    SCOPED_TRACE(static_cast<int>(r.format));
    RecordingSink& sink = StartRecording(*w, r.format);
    dc.calls.clear();
    w->DrawTextAtWorld(dc, "-2", {0, 0}, 0, 0, 0, 1);
    EXPECT_EQ(sink.calls, r.calls);
    ASSERT_EQ(dc.calls.size(), 2u);
    EXPECT_EQ(dc.calls[0].kind, DrawCall::Rectangle);
  }
  StopRecording(*w);

  dc.calls.clear();
  w->OpaqueLabels = 0;
  w->LongHyphen = 1;
  w->DrawTextAtWorld(dc, "-2", {0, 0}, 0, 0, 0, 1);
  ASSERT_EQ(dc.calls.size(), 1u);
  EXPECT_EQ(dc.calls[0].text, "\xE2\x80\x93" "2");
  EXPECT_EQ(dc.calls[0].bkMode, plat::TRANSPARENT);
}

TEST_F(PlotWindowTest, ViewFrameIsRecordedOnePixelOutsideTheViewThenDrawn) {
  RecordingDC dc;
  w->DrawFrame(dc);
  EXPECT_TRUE(dc.calls.empty());
  w->PrintDrawFrame = 1;
  w->FrameWidth = 2;
  // EPS takes the five corners as a polyline, SVG the four as a closed
  // unfilled polygon, both FrameWidth + 1 wide.
  RecordingSink& svg = StartRecording(*w, TExportFormat::Svg);
  w->DrawFrame(dc);
  EXPECT_EQ(svg.calls, (std::vector<std::string>{"Polygon 4 hollow w3"}));
  const std::vector<kv::TPoint2D> corners = svg.lastPolygon;
  RecordingSink& eps = StartRecording(*w, TExportFormat::Eps);
  w->DrawFrame(dc);
  EXPECT_EQ(eps.calls, (std::vector<std::string>{"Polyline 4"}));
  // One pixel beyond the view, closed.
  ASSERT_EQ(eps.polylines.size(), 1u);
  EXPECT_EQ(std::vector<kv::TPoint2D>(eps.polylines[0].begin(), eps.polylines[0].begin() + 4), corners);
  std::vector<plat::Point> p;
  for (const kv::TPoint2D& q : eps.polylines[0]) {
    plat::Point d;
    w->WorldToPixel(q, d);
    p.push_back(d);
  }
  StopRecording(*w);
  EXPECT_EQ(p[0].x, -1);
  EXPECT_EQ(p[3], (plat::Point{-1, -1}));
  EXPECT_EQ(p[4], p[0]);
  EXPECT_EQ(p[1].x, p[2].x);
  EXPECT_EQ(p[0].y, p[1].y);
  EXPECT_GE(p[1].x, 501);
  EXPECT_GE(p[1].y, 501);
  EXPECT_EQ(dc.Of(DrawCall::Line).size(), 8u);  // the base's frame of the drawing area, twice
}

TEST_F(PlotWindowTest, PaintShowsTheCoordinateSystem) {
  w->AxesShown = 1;
  w->Invalidate(false);
  w->UpdateWindow();
  const plat::Bitmap& s = w->Surface();
  const plat::Colour background = w->GetColour(w->ColourSlots[0]);
  const plat::Colour axis = w->GetColourAvoidingBackground(w->ColourSlots[3]);
  ASSERT_NE(axis, background);
  EXPECT_EQ(s.GetPixel(120, 250), axis);
  EXPECT_EQ(s.GetPixel(250, 120), axis);
  EXPECT_EQ(s.GetPixel(300, 246), axis);  // a tick
  EXPECT_EQ(s.GetPixel(120, 120), background);
  // Panning redraws the axes at their new place.
  w->Command(kCmPanUp);
  w->Command(kCmPanUp);
  w->UpdateWindow();
  EXPECT_EQ(w->Surface().GetPixel(120, 260), axis);
  EXPECT_EQ(w->Surface().GetPixel(120, 250), background);
}

}  // namespace
}  // namespace kv
