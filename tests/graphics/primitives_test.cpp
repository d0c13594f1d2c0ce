// Point markers, pens, marker sizes and world lines.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <set>
#include <utility>
#include <vector>

#include "graphics/primitives.h"
#include "graphics/world_polyline.h"
#include "platform/bitmap.h"
#include "recording_dc.h"

namespace kv {
namespace {

using kvtest::DrawCall;
using kvtest::RecordingDC;
using Pts = std::vector<plat::Point>;

// The strokes and shapes of each marker at centre (x, y) and half-size r,
// as the marker table gives them (lines leave out their end pixel).
struct Expected {
  std::vector<Pts> lines;  // from, to
  DrawCall::Kind shape = DrawCall::Line;
  Pts shapePoints;
};

Expected MarkerTable(int style, int x, int y, int r) {
  auto square = [&](std::vector<Pts>& l) {
    l.push_back({{x - r, y - r}, {x + r, y - r}});
    l.push_back({{x + r, y - r}, {x + r, y + r}});
    l.push_back({{x + r, y + r}, {x - r, y + r}});
    l.push_back({{x - r, y + r}, {x - r, y - r}});
  };
  Expected e;
  switch (style) {
    case 0: e = {{}, DrawCall::Rectangle, {{x - r, y - r}, {x + r + 1, y + r + 1}}}; break;
    case 1: e = {{}, DrawCall::Ellipse, {{x - r, y - r}, {x + r + 1, y + r + 1}}}; break;
    case 2: e = {{}, DrawCall::Polygon, {{x - r, y + r}, {x + r, y + r}, {x, y - r}}}; break;
    case 3: e = {{}, DrawCall::Polygon, {{x - r, y - r}, {x + r, y - r}, {x, y + r}}}; break;
    case 4: e = {{}, DrawCall::Polygon, {{x - r, y - r}, {x - r, y + r}, {x + r, y}}}; break;
    case 5: e = {{}, DrawCall::Polygon, {{x + r, y - r}, {x + r, y + r}, {x - r, y}}}; break;
    case 6:
      e.lines = {{{x, y - r}, {x, y + r + 1}}, {{x - r, y}, {x + r + 1, y}}};
      square(e.lines);
      break;
    case 7: square(e.lines); break;
    case 8: e.lines = {{{x - r, y - r}, {x + r + 1, y + r + 1}}, {{x - r, y + r}, {x + r + 1, y - r - 1}}}; break;
    case 9: e.lines = {{{x, y - r}, {x, y + r}}, {{x - r, y}, {x + r, y}}}; break;
    case 10:
      e.lines = {{{x - r, y - r}, {x + r, y + r}}, {{x - r, y + r}, {x + r, y - r}}, {{x + r, y - r}, {x - r, y - r}},
                 {{x - r, y - r}, {x - r, y + r}}, {{x - r, y + r}, {x + r, y + r}}, {{x + r, y + r}, {x + r, y - r}}};
      break;
    case 11: e.lines = {{{x, y}, {x, y - 3 * r}}, {{x, y}, {x + r, y - r}}, {{x, y}, {x - r, y - r}}}; break;
    case 12: e.lines = {{{x, y}, {x, y + 3 * r}}, {{x, y}, {x + r, y + r}}, {{x, y}, {x - r, y + r}}}; break;
    default: break;
  }
  return e;
}

TEST(Markers, EveryStyleAndSizeDrawsTheTabledStrokesAndShapes) {
  for (int style = 0; style <= 13; ++style) {
    for (int r = 1; r <= 3; ++r) {
      RecordingDC dc;
      DrawMarker(dc, 20, 30, style, r);
      const Expected e = MarkerTable(style, 20, 30, r);
      std::vector<Pts> lines;
      for (const auto& c : dc.Of(DrawCall::Line)) lines.push_back(c.points);
      EXPECT_EQ(lines, e.lines) << "style " << style << " r " << r;
      const auto shapes = dc.calls.size() - lines.size();
      if (e.shape == DrawCall::Line) {
        EXPECT_EQ(shapes, 0u) << "style " << style;
      } else {
        ASSERT_EQ(shapes, 1u) << "style " << style;
        EXPECT_EQ(dc.Of(e.shape).at(0).points, e.shapePoints) << "style " << style << " r " << r;
      }
    }
  }
}

std::set<std::pair<int, int>> BlackPixels(const plat::Bitmap& b) {
  std::set<std::pair<int, int>> out;
  for (int y = 0; y < b.Height(); ++y)
    for (int x = 0; x < b.Width(); ++x)
      if (b.GetPixel(x, y) == plat::Rgb(0, 0, 0)) out.insert({x, y});
  return out;
}

TEST(Markers, AxisParallelMarkersReachTheirEndPixelsOnTheBitmap) {
  for (int r = 1; r <= 3; ++r) {
    std::set<std::pair<int, int>> plus;
    std::set<std::pair<int, int>> square;
    for (int d = -r; d <= r; ++d) {
      plus.insert({10 + d, 10});
      plus.insert({10, 10 + d});
      square.insert({10 + d, 10 - r});
      square.insert({10 + d, 10 + r});
      square.insert({10 - r, 10 + d});
      square.insert({10 + r, 10 + d});
    }
    auto draw = [](int style, int r) {
      plat::Bitmap b(21, 21, plat::Rgb(255, 255, 255));
      plat::BitmapDC dc(b);
      dc.SelectPen({plat::PS_SOLID, 1, plat::Rgb(0, 0, 0)});
      dc.SelectBrush(plat::SolidBrush(plat::Rgb(0, 0, 0)));
      DrawMarker(dc, 10, 10, style, r);
      return BlackPixels(b);
    };
    std::set<std::pair<int, int>> both = plus;
    both.insert(square.begin(), square.end());
    EXPECT_EQ(draw(6, r), both) << r;
    EXPECT_EQ(draw(7, r), square) << r;
    // Style 9 stops one pixel short at the bottom and the right.
    std::set<std::pair<int, int>> shortPlus = plus;
    shortPlus.erase({10 + r, 10});
    shortPlus.erase({10, 10 + r});
    EXPECT_EQ(draw(9, r), shortPlus) << r;
    std::set<std::pair<int, int>> filled;
    for (int dy = -r; dy <= r; ++dy)
      for (int dx = -r; dx <= r; ++dx) filled.insert({10 + dx, 10 + dy});
    EXPECT_EQ(draw(0, r), filled) << r;
    EXPECT_TRUE(draw(13, r).empty());
  }
}

TEST(Markers, SizeFollowsTheDeviceWidthNeverBelowOne) {
  RecordingDC dc;
  TPenRules rules;
  const int expected[] = {1, 1, 2, 3};
  for (int code = 0; code <= 3; ++code) EXPECT_EQ(MarkerSize(dc, code, rules), expected[code]) << code;
  EXPECT_EQ(MarkerSize(dc, -5, rules), 1);
  dc.caps.horzRes = 300;
  EXPECT_EQ(MarkerSize(dc, 0, rules), 1);
  rules.scaleLineWidths = true;
  rules.lineWidthFactor = 4;
  EXPECT_EQ(MarkerSize(dc, 0, rules), 4);
  dc.caps.horzRes = 1024;
  EXPECT_EQ(MarkerSize(dc, 3, rules), 12);
}

TEST(Pens, StyleCodesWidthsAndPrintingColours) {
  struct Case {
    std::uint16_t style;
    int expected;
  } styles[] = {{0, plat::PS_SOLID}, {1, plat::PS_DOT},        {2, plat::PS_DASH}, {3, plat::PS_DASHDOT},
                {4, plat::PS_DASHDOTDOT}, {65535, plat::PS_NULL}, {5, plat::PS_SOLID}, {77, plat::PS_SOLID}};
  const plat::Colour red = plat::Rgb(255, 0, 0);
  for (const auto& c : styles) {
    plat::Pen p = StylePen({4, 3, c.style}, TPenRules{}, red);
    EXPECT_EQ(p.style, c.expected) << c.style;
    EXPECT_EQ(p.width, 3);
    EXPECT_EQ(p.colour, red);
  }
  TPenRules printing{true, false, 2, true, 3};
  plat::Pen p = StylePen({4, 1, 0}, printing, red);
  EXPECT_EQ(p.width, (1 + 2) * 3);
  EXPECT_EQ(p.colour, plat::Rgb(0, 0, 0));  // no colour printer: black
  printing.colourPrinter = true;
  EXPECT_EQ(StylePen({4, 1, 0}, printing, red).colour, red);
  EXPECT_EQ(StylePen({4, 2, 65535}, TPenRules{}, red).width, 2);  // a null pen keeps its width
}

TEST(WorldLines, ClippedLineOutsideTheViewDrawsNothing) {
  TViewMapping v;
  v.SetDrawingArea(501, 501, 0, 0);
  v.ComputeView();
  RecordingDC dc;
  EXPECT_FALSE(DrawWorldLine(dc, v, {6, 6}, {9, 7}, true));
  EXPECT_TRUE(dc.calls.empty());
  // Unclipped, far ends arrive one pixel beyond the area.
  EXPECT_TRUE(DrawWorldLine(dc, v, {-100, 0}, {100, 0}, false));
  ASSERT_EQ(dc.calls.size(), 1u);
  EXPECT_EQ(dc.calls[0].points, (Pts{{-1, 250}, {502, 250}}));
  dc.calls.clear();
  EXPECT_TRUE(DrawWorldLine(dc, v, {-100, 0}, {100, 0}, true));
  EXPECT_EQ(dc.calls[0].points, (Pts{{1, 250}, {499, 250}}));
}

// A polyline of world points draws each step as a clipped DrawWorldLine,
// pen lifts included, in view, across an edge or outside.
TEST(WorldLines, APolylineDrawsEveryStepAsAClippedWorldLine) {
  TViewMapping v;
  v.SetDrawingArea(301, 201, 4, 9);
  v.ComputeView();
  std::mt19937 rng(50);
  std::uniform_real_distribution<double> step(-0.4, 0.4);
  RecordingDC each, poly;
  {
    TWorldPolyline line(poly, v);
    TPoint2D last{0, 0};
    for (int k = 0; k < 3000; ++k) {
      TPoint2D p{last.x + step(rng), last.y + step(rng) * 8};
      if (std::fabs(p.x) > 8) p.x /= 2;
      if (std::fabs(p.y) > 9) p.y /= 4;
      if (k % 97 == 0) {
        line.MoveTo(p);
      } else {
        line.LineTo(p);
        DrawWorldLine(each, v, last, p, true);
      }
      if (k % 500 == 0) line.Flush();
      last = p;
    }
  }
  ASSERT_EQ(poly.calls.size(), each.calls.size());
  for (std::size_t k = 0; k < each.calls.size(); ++k) ASSERT_EQ(poly.calls[k].points, each.calls[k].points) << k;
  EXPECT_GT(each.calls.size(), 1000u);
}

}  // namespace
}  // namespace kv
