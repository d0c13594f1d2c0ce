// One step of a parameter slider as the user drags it: the slider turns its
// position into the value of A, the window recomputes and repaints ten
// explicit curves that use A into a client area of 1024 x 768.  To follow a
// drag smoothly a step must take less than 1/60 s; it should take at most
// 5 ms ("over budget" otherwise).  Beside it the bare program draws the same
// ten curves for the same values of A ("bare_ms", "vs_bare").
#include <benchmark/benchmark.h>

#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "against_bare.h"
#include "entry/slider_dialog.h"
#include "platform/app.h"
#include "plot2d/plot2_win.h"
#include "plotcore/model/curve_sampler.h"

namespace {

// A shown 2D window whose client area is width x height.
kv::TPlot2Win* ShownWindow(int width, int height) {
  auto* w = new kv::TPlot2Win(nullptr, "regler.kv2");
  w->Create();
  w->MoveWindow(0, 0, width, height);
  w->Show(plat::SW_SHOW);
  for (int k = 0; k < 3; ++k) plat::App::ProcessEvents();
  const plat::Rect frame = w->GetWindowRect();
  const plat::Rect client = w->GetClientRect();
  w->MoveWindow(0, 0, width + frame.Width() - client.Width(), height + frame.Height() - client.Height());
  for (int k = 0; k < 3; ++k) plat::App::ProcessEvents();
  w->UpdateWindow();
  return w;
}

constexpr double kBudgetMs = 5;

void BM_SliderStepOfTenCurves(benchmark::State& state) {
  kv::TPlot2Win* w = ShownWindow(1024, 768);
  for (int k = 0; k < 10; ++k) {
    const std::string f = "a*x^2+" + std::to_string(k - 5) + "+sin(" + std::to_string(k + 1) + "x)";
    const int i = w->AppendEquation(kv::kKindExplicit, w->World.xmin, w->World.xmax, {}, f);
    w->CompileEquation(i);
  }
  w->MarkUsedVariables();
  w->Tables().lower[1] = kv::TComplex(-2);
  w->Tables().upper[1] = kv::TComplex(2);
  w->OpenSliderDialog(1);
  kv::TSlideDlg* d = w->SliderDialog(1);
  w->UpdateWindow();
  if (!w->UsesLetter('A')) state.SkipWithError("the curves do not use A");
  int position = 0;
  const kvbench::LoopTimer timer;
  for (auto _ : state) {
    position = (position + 7) % 101;
    d->SetScrollPos(kv::kIdSliderBar, position);
    d->EvControl(kv::kIdSliderBar, plat::SB_CHANGED);
    w->UpdateWindow();
  }
  const double ms = timer.MillisecondsPer(state);

  // The bare program: a*x^2 + k - 5 + sin((k + 1)x), A stepping as above
  // from -2 to 2 in 100 steps.
  const kvbench::BareView v = kvbench::ViewOf(*w);
  long double a = 0;
  std::vector<std::function<long double(long double)>> curves;
  for (int k = 0; k < 10; ++k)
    curves.push_back([&a, k](long double x) { return a * x * x + (k - 5) + std::sin((k + 1) * x); });
  const int samples = static_cast<int>(kv::SampleCount(1, w->AreaWidth()));
  kvbench::BareFrame frame(w->ClientWidth, w->ClientHeight);
  position = 0;
  const double bareMs = kvbench::MillisecondsPerRun(state.iterations(), [&] {
    position = (position + 7) % 101;
    a = -2 + 4 * static_cast<long double>(position) / 100;
    frame.Curves(v, curves, samples);
    benchmark::DoNotOptimize(frame.Checksum());
  });
  kvbench::ReportAgainstBare(state, ms, bareMs);
  if (ms > kBudgetMs) state.SetLabel("over budget (" + std::to_string(ms) + " ms > 5 ms)");
  state.counters["steps_per_second"] = benchmark::Counter(static_cast<double>(state.iterations()),
                                                          benchmark::Counter::kIsRate);
  state.counters["client_width"] = w->GetClientRect().Width();
  state.counters["client_height"] = w->GetClientRect().Height();
  w->Destroy();
  plat::App::DeleteDestroyedWindows();
}
BENCHMARK(BM_SliderStepOfTenCurves)->Unit(benchmark::kMillisecond);

}  // namespace
