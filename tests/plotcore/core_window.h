// A plot window of the core layers for the tests: shown with an exact
// client size (501 x 501 pixels, 0.02 units per pixel at the default view
// -5..5), with the animation frames recorded.
#pragma once

#include <gtest/gtest.h>

#include <vector>

#include "graphics/test_window.h"
#include "platform/app.h"
#include "platform/testing.h"
#include "plotcore/plot0_win.h"

namespace kvtest {

class CoreWindow : public kv::TPlot0Win {
 public:
  using kv::TPlot0Win::TPlot0Win;

  std::vector<long double> frameValues;  // the parameter at every animation frame
  int frameIndex = -1;
  bool drawFrames = false;  // also draw them (the base's frame)
  void AnimationFrame(int index) override {
    frameIndex = index;
    frameValues.push_back(Tables().value[static_cast<std::size_t>(index)].re);
    if (drawFrames) kv::TPlot0Win::AnimationFrame(index);
  }

  std::vector<long double> fieldLetters;  // the letter A at every direction field drawn
  int DrawFieldElements(plat::DC&, int) override {
    fieldLetters.push_back(Variable(1).re);
    return 0;
  }

  int drawEquationsCalls = 0;
  int DrawEquations(plat::DC& dc) override {
    ++drawEquationsCalls;
    return kv::TPlot0Win::DrawEquations(dc);
  }
};

class CoreWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    plat::testing::Reset();
    w = new CoreWindow(nullptr, "Test");
    w->Create();
    SetClientSize(*w, 501, 501);
    ASSERT_EQ(w->ClientWidth, 501);
    ASSERT_EQ(w->ClientHeight, 501);
    w->UpdateView();
  }
  void TearDown() override {
    w->Destroy();
    plat::App::DeleteDestroyedWindows();
    plat::testing::Reset();
  }

  CoreWindow* w = nullptr;
};

// Collects the runs a sampler or tracer hands out.
class RunCollector : public kv::TPolylineSink {
 public:
  std::vector<std::vector<kv::TPoint2D>> runs;
  void MoveTo(const kv::TPoint2D& p) override { runs.push_back({p}); }
  void LineTo(const kv::TPoint2D& p) override {
    if (runs.empty()) runs.emplace_back();
    runs.back().push_back(p);
  }
  std::size_t Points() const {
    std::size_t n = 0;
    for (const auto& r : runs) n += r.size();
    return n;
  }
};

}  // namespace kvtest
