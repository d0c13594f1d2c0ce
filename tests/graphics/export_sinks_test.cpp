// The export sinks between the drawing layers and the writers: a recorded
// curve's pen reaches the EPS and SVG files with its width.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "graphics/export_sinks.h"
#include "test_window.h"

namespace kv {
namespace {

using kvtest::PlotWindowTest;

class ExportSinkTest : public PlotWindowTest {};

std::size_t Count(const std::string& text, const std::string& part) {
  std::size_t n = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
  return n;
}

// A recorded curve is one solid path in both formats, whatever its pen's
// style, with the pen's width as given (0 included): dashes would restart at
// each of its short segments.  A gapped polyline keeps its dashes in EPS.
TEST_F(ExportSinkTest, ARecordedCurveIsOneSolidPath) {
  const TPoint2D points[3] = {{-2, -2}, {0, 1}, {2, -1}};
  const plat::Colour red = plat::Rgb(255, 0, 0);

  TSvgSink svg(*w);
  svg.Polyline(points, 2, {red, 0, 0});
  svg.Polyline(points, 2, {red, 3, 2});
  const std::string& s = svg.Writer().Text();
  EXPECT_EQ(Count(s, "<path d="), 2u) << s;
  EXPECT_EQ(Count(s, "<line "), 0u) << s;
  EXPECT_EQ(Count(s, "stroke-dasharray"), 0u) << s;
  EXPECT_NE(s.find(" stroke-width=\"0px\""), std::string::npos) << s;
  EXPECT_NE(s.find(" stroke-width=\"3px\""), std::string::npos) << s;

  TEpsSink eps(*w);
  TEpsPageSetup page;
  page.clientWidth = 501;
  page.clientHeight = 501;
  page.world = {-5, 5, -5, 5};
  page.unitsPerPixelX = 0.02L;
  eps.Writer().SetupPage(page);
  std::string& e = eps.Writer().Text();
  eps.Polyline(points, 2, {red, 1, 2});
  EXPECT_EQ(Count(e, "stroke"), 1u) << e;
  EXPECT_EQ(Count(e, " lineto"), 2u) << e;
  EXPECT_NE(e.find(eps.Writer().DashStatement(0)), std::string::npos) << e;
  EXPECT_EQ(e.find(eps.Writer().DashStatement(2)), std::string::npos) << e;
  e.clear();
  const std::uint8_t flags[3] = {1, 1, 1};
  eps.GappedPolyline(points, flags, 2, {red, 1, 2}, 1);
  EXPECT_NE(e.find(eps.Writer().DashStatement(2)), std::string::npos) << e;
}

// A filled arrow head is outlined one pixel wide in EPS and SVG whatever
// its pen; an open one keeps the pen's width.
TEST_F(ExportSinkTest, AFilledArrowHeadIsOutlinedOnePixelWide) {
  const plat::Colour red = plat::Rgb(255, 0, 0);
  auto arrow = [&](bool filled, int width) {
    return TExportArrow{{-1, 0.5L}, {0, 0}, {-1, -0.5L}, {1, 0}, 1, filled, {red, width, 0}};
  };
  TEpsPageSetup page;
  page.clientWidth = 501;
  page.clientHeight = 501;
  page.world = {-5, 5, -5, 5};
  page.unitsPerPixelX = 0.02L;
  auto eps = [&](const TExportArrow& a) {
    TEpsSink sink(*w);
    sink.Writer().SetupPage(page);
    sink.Arrow(a);
    return sink.Writer().Text();
  };
  auto svg = [&](const TExportArrow& a) {
    TSvgSink sink(*w);
    sink.Arrow(a);
    return sink.Writer().Text();
  };
  for (const auto& write : {std::function<std::string(const TExportArrow&)>(eps), std::function(svg)}) {
    EXPECT_EQ(write(arrow(true, 4)), write(arrow(true, 1)));
    EXPECT_EQ(write(arrow(true, 0)), write(arrow(true, 1)));
    EXPECT_NE(write(arrow(false, 4)), write(arrow(false, 1)));
  }
  EXPECT_NE(svg(arrow(true, 4)).find(" stroke-width=\"1px\""), std::string::npos) << svg(arrow(true, 4));
}

}  // namespace
}  // namespace kv
