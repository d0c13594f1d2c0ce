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
#include "support/plot_window_test.h"

namespace kv::test3d {

class Plot3Test : public kvtest::PlotWindowTest<TPlot3Win> {
 protected:
  TPlot3Win* MakeWindow() { return PlotWindowTest::MakeWindow("Unbenannt1.kv3"); }
  // Runs an entry command and answers its equation dialog with OK.
  static void Enter(TPlotRWin* w, int command, const std::string& templateName,
                    plat::testing::DialogScript script = [](plat::Dialog& d) { d.Press(plat::IDOK); }) {
    RunWithDialog(w, command, templateName, std::move(script));
  }
};

using kvtest::BuildTreeDir;
using kvtest::ColourNear;
using kvtest::CountColour;

// Pixels that differ from the colour.
inline int CountOther(const plat::Bitmap& s, plat::Colour c) {
  return s.Width() * s.Height() - CountColour(s, c);
}

}  // namespace kv::test3d
