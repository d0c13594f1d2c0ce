// A plot window for the graphics tests: the top of the layer chain, a
// TextToNumber that also knows "pi", and a
// fixture that opens it with an exact client size.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "graphics/zor_winm.h"
#include "platform/app.h"
#include "core/constants.h"
#include "support/recording_sink.h"

namespace kvtest {

class TestPlotWindow : public kv::TZORWinm {
 public:
  using kv::TZORWinm::TZORWinm;

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
