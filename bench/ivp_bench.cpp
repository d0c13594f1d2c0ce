// Implicit curves and initial value problems of the 2D window: the
// lemniscate traced and drawn into a 1024 x 768 picture (and drawn again
// from its last trace), and a Runge-Kutta solution of dy/dx = f(x, y) over
// 10,000 steps.
#include <benchmark/benchmark.h>

#include <memory>

#include "formula/formula_engine.h"
#include "platform/bitmap.h"
#include "plot2d/model/dydx_trajectory.h"
#include "plot2d/plot2_win.h"
#include "plotcore/model/compile_equation.h"

namespace {

// A 1024 x 768 window holding the lemniscate (xx+yy)^2 = 2(xx-yy).
std::unique_ptr<kv::TPlot2Win> LemniscateWindow(int& i) {
  auto w = std::make_unique<kv::TPlot2Win>(nullptr, "bench.kv2");
  w->SetDrawingArea(1024, 768, 0, 0);
  w->ComputeView();
  i = w->AppendEquation(kv::kKindImplicit, {"", "", "", "", "(xx+yy)^2=2(xx-yy)"});
  w->CompileEquation(i);
  return w;
}

void BM_DrawImplicitLemniscate(benchmark::State& state) {
  int i = 0;
  auto w = LemniscateWindow(i);
  plat::Bitmap b(1024, 768);
  plat::BitmapDC dc(b);
  for (auto _ : state) {
    w->Equation(i).webToAxis = 1;  // traced anew every time
    benchmark::DoNotOptimize(w->DrawImplicitEquation(dc, i));
  }
}
BENCHMARK(BM_DrawImplicitLemniscate)->Unit(benchmark::kMillisecond);

// A repaint of the traced lemniscate draws the runs of its last trace.
void BM_RepaintTracedLemniscate(benchmark::State& state) {
  int i = 0;
  auto w = LemniscateWindow(i);
  plat::Bitmap b(1024, 768);
  plat::BitmapDC dc(b);
  w->DrawImplicitEquation(dc, i);
  for (auto _ : state) benchmark::DoNotOptimize(w->DrawImplicitEquation(dc, i));
}
BENCHMARK(BM_RepaintTracedLemniscate)->Unit(benchmark::kMillisecond);

// The solution of y' = x - y runs 10,000 steps of 0.001 inside a view wide
// enough to hold them.
void BM_DyDxRungeKutta10000(benchmark::State& state) {
  kv::TFormulaEngine engine;
  kv::TEquation e;
  kv::InitEquation(e, kv::kKindOdeDyDx, 2, 50);
  e.formulaText[2] = "x-y";
  kv::CompileEquation(e, engine, false);
  kv::TDyDxRunSettings settings;
  settings.view = {-1, 20, -100, 100};
  kv::TEquationItem item;
  item.start = {0, 1, 0};
  item.paramEnd = 0.001L;
  item.method = kv::kMethodRungeKutta;
  kv::TDyDxSink sink;
  for (auto _ : state) {
    item.stepLimit = 10000;
    benchmark::DoNotOptimize(kv::RunDyDxTrajectory(e, engine, item, settings, sink));
  }
  state.SetItemsProcessed(state.iterations() * 10000);
}
BENCHMARK(BM_DyDxRungeKutta10000)->Unit(benchmark::kMicrosecond);

}  // namespace
