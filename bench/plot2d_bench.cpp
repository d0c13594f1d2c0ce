// The 2D window's hot path: a whole curve sampled and drawn into the plot
// picture, as every paint, zoom and pan does it.
#include <benchmark/benchmark.h>

#include <memory>

#include "platform/bitmap.h"
#include "plot2d/plot2_win.h"

namespace {

// A window that is never shown: its plot area is set directly.
std::unique_ptr<kv::TPlot2Win> Window(const char* formula, int density) {
  auto w = std::make_unique<kv::TPlot2Win>(nullptr, "bench.kv2");
  w->SetDrawingArea(800, 600, 0, 0);
  w->ComputeView();
  const int i = w->AppendEquation(kv::kKindExplicit, w->World.xmin, w->World.xmax, {}, formula);
  w->Equation(i).stepDensity = static_cast<std::int16_t>(density);
  w->CompileEquation(i);
  return w;
}

void BM_DrawExplicitCurve(benchmark::State& state) {
  auto w = Window("xsin(x)", static_cast<int>(state.range(0)));
  plat::Bitmap b(800, 600);
  plat::BitmapDC dc(b);
  for (auto _ : state) benchmark::DoNotOptimize(w->DrawCurve(dc, 0));
  state.SetItemsProcessed(state.iterations() * 801 * state.range(0));
}
BENCHMARK(BM_DrawExplicitCurve)->Arg(1)->Arg(4);

void BM_DrawCurveWithPoles(benchmark::State& state) {
  auto w = Window("tan(x)", 1);
  plat::Bitmap b(800, 600);
  plat::BitmapDC dc(b);
  for (auto _ : state) benchmark::DoNotOptimize(w->DrawCurve(dc, 0));
}
BENCHMARK(BM_DrawCurveWithPoles);

void BM_DrawFamily(benchmark::State& state) {
  auto w = Window("ax^2", 1);
  kv::TEquation& e = w->Equation(0);
  e.familyOn = 1;
  e.familyStart = -2;
  e.familyEnd = 2;
  e.familySteps = 20;
  plat::Bitmap b(800, 600);
  plat::BitmapDC dc(b);
  for (auto _ : state) benchmark::DoNotOptimize(w->DrawCurve(dc, 0));
}
BENCHMARK(BM_DrawFamily);

}  // namespace
