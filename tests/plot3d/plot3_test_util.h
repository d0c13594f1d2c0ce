// Helpers of the 3D window tests: a shown 3D window of its own, entering an
// equation through its dialog, and the pixels of the client surface.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

#include "platform/app.h"
#include "platform/bitmap.h"
#include "platform/dialog.h"
#include "platform/testing.h"
#include "plot3d/plot3_win.h"
#include "support/test_env.h"

namespace kv::test3d {

class Plot3Test : public ::testing::Test {
 protected:
  void SetUp() override { kvtest::ClearSettingsFolder(); }
  void TearDown() override {
    for (TPlot3Win* w : windows_)
      if (!w->IsDestroyed()) w->Destroy();
    plat::App::DeleteDestroyedWindows();
  }
  // A shown 3D window of 600 x 450 pixels, painted once.
  TPlot3Win* MakeWindow() {
    auto* w = new TPlot3Win(nullptr, "Unbenannt1.kv3");
    w->FileVersion = 33;
    windows_.push_back(w);
    EXPECT_TRUE(w->Create());
    w->MoveWindow(20, 40, 600, 450);
    w->Show(plat::SW_SHOW);
    Settle(w);
    return w;
  }
  static void Settle(TPlotRWin* w) {
    for (int k = 0; k < 3; ++k) plat::App::ProcessEvents();
    w->UpdateWindow();
  }
  // Runs an entry command and answers its equation dialog with OK.
  static void Enter(TPlotRWin* w, int command, const std::string& templateName,
                    plat::testing::DialogScript script = [](plat::Dialog& d) { d.Press(plat::IDOK); }) {
    plat::testing::ExpectDialog(templateName, std::move(script));
    w->Command(command);
    Settle(w);
  }
  std::vector<TPlot3Win*> windows_;
};

// Pixels of the colour on the surface.
inline int CountColour(const plat::Bitmap& s, plat::Colour c) {
  int n = 0;
  for (int y = 0; y < s.Height(); ++y)
    for (int x = 0; x < s.Width(); ++x)
      if (s.GetPixel(x, y) == c) ++n;
  return n;
}

// Pixels that differ from the colour.
inline int CountOther(const plat::Bitmap& s, plat::Colour c) {
  return s.Width() * s.Height() - CountColour(s, c);
}

// True when a pixel of the colour lies within r pixels of (x, y).
inline bool ColourNear(const plat::Bitmap& s, int x, int y, plat::Colour c, int r) {
  for (int dy = -r; dy <= r; ++dy)
    for (int dx = -r; dx <= r; ++dx)
      if (s.GetPixel(x + dx, y + dy) == c) return true;
  return false;
}

// The folder of the test binary, where screenshots are written.
inline std::string BuildTreeDir() {
  char buf[4096];
  const ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
  if (n <= 0) return std::filesystem::temp_directory_path().string();
  buf[n] = 0;
  return std::filesystem::path(buf).parent_path().string();
}

}  // namespace kv::test3d
