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
#include "support/plot_window_test.h"

namespace kv::test2d {

class Plot2Test : public kvtest::PlotWindowTest<TPlot2Win> {
 protected:
  TPlot2Win* MakeWindow() { return PlotWindowTest::MakeWindow("Unbenannt1.kv2"); }
};

inline plat::Colour EntryColour(TPlot2Win& w, int i) {
  return w.DrawingColourOf(w.CheckColourIndex(w.Equation(i).penColour));
}

using kvtest::ColourNear;
using kvtest::CountColour;

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
