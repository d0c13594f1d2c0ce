// Helpers of the 2D window tests: a window of the kind on its own, the
// pixels of its client surface and where a graph lies on them.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <set>
#include <string>

#include "platform/app.h"
#include "platform/bitmap.h"
#include "platform/dialog.h"
#include "platform/testing.h"
#include "plot2d/plot2_win.h"
#include "support/test_env.h"

namespace kv::test2d {

class Plot2Test : public ::testing::Test {
 protected:
  void SetUp() override { kvtest::ClearSettingsFolder(); }
  void TearDown() override {
    for (TPlot2Win* w : windows_)
      if (!w->IsDestroyed()) w->Destroy();
    plat::App::DeleteDestroyedWindows();
  }
  // A shown 2D window of 600 x 450 pixels, painted once.
  TPlot2Win* MakeWindow() {
    auto* w = new TPlot2Win(nullptr, "Unbenannt1.kv2");
    w->FileVersion = 33;
    windows_.push_back(w);
    EXPECT_TRUE(w->Create());
    w->MoveWindow(20, 40, 600, 450);
    w->Show(plat::SW_SHOW);
    Settle(w);
    return w;
  }
  static void Settle(TPlot2Win* w) {
    for (int k = 0; k < 3; ++k) plat::App::ProcessEvents();
    w->UpdateWindow();
  }
  // Runs a command whose equation dialog the script answers.
  static void RunWithDialog(TPlot2Win* w, int command, const std::string& templateName,
                            plat::testing::DialogScript script) {
    plat::testing::ExpectDialog(templateName, std::move(script));
    w->Command(command);
    Settle(w);
  }
  std::vector<TPlot2Win*> windows_;
};

inline plat::Colour EntryColour(TPlot2Win& w, int i) {
  return w.DrawingColourOf(w.CheckColourIndex(w.Equation(i).penColour));
}

// Pixels of the colour within the plot area.
inline int CountColour(const plat::Bitmap& s, plat::Colour c) {
  int n = 0;
  for (int y = 0; y < s.Height(); ++y)
    for (int x = 0; x < s.Width(); ++x)
      if (s.GetPixel(x, y) == c) ++n;
  return n;
}

// True when a pixel of the colour lies within `r` pixels of (x, y).
inline bool ColourNear(const plat::Bitmap& s, int x, int y, plat::Colour c, int r) {
  for (int dy = -r; dy <= r; ++dy)
    for (int dx = -r; dx <= r; ++dx) {
      const int px = x + dx;
      const int py = y + dy;
      if (px >= 0 && py >= 0 && px < s.Width() && py < s.Height() && s.GetPixel(px, py) == c) return true;
    }
  return false;
}

// The share of the plot columns in which the graph of f, where it is
// inside the view, has a pixel of the colour within two pixels.
inline double GraphCoverage(TPlot2Win& w, const plat::Bitmap& s, plat::Colour c,
                            const std::function<long double(long double)>& f) {
  int tested = 0;
  int hit = 0;
  for (int px = w.AreaOriginX() + 2; px < w.AreaOriginX() + w.AreaWidth() - 2; ++px) {
    const long double x = w.PixelToWorldX(px);
    const long double y = f(x);
    if (!std::isfinite(y) || y < w.World.ymin || y > w.World.ymax) continue;
    const int py = w.WorldToPixelY(y);
    if (py < 2 || py > w.AreaHeight() - 2) continue;
    ++tested;
    if (ColourNear(s, px, py, c, 2)) ++hit;
  }
  return tested == 0 ? 0.0 : static_cast<double>(hit) / tested;
}

}  // namespace kv::test2d
