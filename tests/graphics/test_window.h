// A plot window for the graphics tests: the top of the layer chain with the
// writer operations recorded, a TextToNumber that also knows "pi", and a
// fixture that opens it with an exact client size.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "graphics/zor_winm.h"
#include "platform/app.h"
#include "core/constants.h"

namespace kvtest {

class TestPlotWindow : public kv::TZORWinm {
 public:
  using kv::TZORWinm::TZORWinm;

  struct Segment {
    kv::TPoint2D a;
    kv::TPoint2D b;
  };
  std::vector<Segment> svgLines, epsLines, pictexRules;
  std::vector<std::string> exportTexts;  // "svg:<text>", "eps:<text>", "tex:<text>"
  std::vector<std::string> hooks;        // every other writer call by name
  int textToNumberCalls = 0;

  std::int32_t TextToNumber(const std::string& text, long double& value) override {
    ++textToNumberCalls;
    if (text == "pi") {
      value = kv::Pi;
      return 0;
    }
    if (text == "?") return 1;
    return kv::TZORWinm::TextToNumber(text, value);
  }

  void SvgWorldLine(const kv::TPoint2D& a, const kv::TPoint2D& b, const kv::TPenSpec&, int) override {
    svgLines.push_back({a, b});
  }
  void EpsWorldLine(const kv::TPoint2D& a, const kv::TPoint2D& b, int, int, int) override {
    epsLines.push_back({a, b});
  }
  void WritePictexRule(const kv::TPoint2D& a, const kv::TPoint2D& b) override { pictexRules.push_back({a, b}); }
  void WritePictexText(const std::string& text, const std::string&, const kv::TPoint2D&, bool) override {
    exportTexts.push_back("tex:" + text);
  }
  void WriteSvgSlotText(plat::DC&, int, int, const std::string& text, plat::Colour, int, int, int) override {
    exportTexts.push_back("svg:" + text);
  }
  void WriteEpsText(plat::DC&, int, int, const std::string& text, plat::Colour, int, int, int) override {
    exportTexts.push_back("eps:" + text);
  }
  void WritePictexArrow(const kv::TPoint2D&, const kv::TPoint2D&, long double, bool) override {
    hooks.push_back("WritePictexArrow");
  }
  void WritePictexPolyline(const kv::TPoint2D* points, int last) override {
    hooks.push_back("WritePictexPolyline " + std::to_string(last));
  }
  void WritePictexMarker(const kv::TPoint2D&, int, bool) override { hooks.push_back("WritePictexMarker"); }
  void WriteSvgRect(int, int, int, int, bool, plat::Colour, int, plat::Colour, int, int) override {
    hooks.push_back("WriteSvgRect");
  }
  void WriteSvgPolygon(const plat::Point* points, int count, bool hollow, plat::Colour, int width, plat::Colour,
                       int) override {
    lastSvgPolygon.assign(points, points + count);
    hooks.push_back("WriteSvgPolygon " + std::to_string(count) + (hollow ? " hollow" : " filled") + " w" +
                    std::to_string(width));
  }
  void WriteSvgCross(int, int, int, plat::Colour, bool) override { hooks.push_back("WriteSvgCross"); }
  void WriteEpsPolygon(const kv::TPoint2D*, int count, bool, plat::Colour, int width, plat::Colour) override {
    hooks.push_back("WriteEpsPolygon " + std::to_string(count) + " w" + std::to_string(width));
  }
  void WriteEpsPolyline(const kv::TPoint2D* points, int last, plat::Colour, int) override {
    hooks.push_back("WriteEpsPolyline " + std::to_string(last));
  }
  std::vector<plat::Point> lastSvgPolygon;
};

// Shows the window and sizes its frame so that the client area is exactly
// width x height.
inline void SetClientSize(plat::Window& w, int width, int height) {
  w.Show(plat::SW_SHOW);
  for (int i = 0; i < 4; ++i) {
    const plat::Rect c = w.GetClientRect();
    if (c.right == width && c.bottom == height) return;
    const plat::Rect f = w.GetWindowRect();
    w.MoveWindow(f.left, f.top, f.Width() + width - c.right, f.Height() + height - c.bottom);
  }
}

// A shown test window with a 501 x 501 client (0.02 units per pixel).
class PlotWindowTest : public ::testing::Test {
 protected:
  void SetUp() override { Open(501, 501); }
  void TearDown() override { Close(); }

  void Open(int width, int height, const std::string& viewTemplate = "VIEWALL") {
    w = new TestPlotWindow(nullptr, "Test");
    w->ViewTemplate = viewTemplate;
    w->Create();
    SetClientSize(*w, width, height);
    ASSERT_EQ(w->ClientWidth, width);
    ASSERT_EQ(w->ClientHeight, height);
  }
  void Close() {
    if (!w) return;
    w->Destroy();
    plat::App::DeleteDestroyedWindows();
    w = nullptr;
  }

  TestPlotWindow* w = nullptr;
};

}  // namespace kvtest
