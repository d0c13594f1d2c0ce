// The drawing hot path: world-to-pixel conversion, clipped world lines and
// point markers on a memory bitmap.
#include <benchmark/benchmark.h>

#include <cmath>

#include "graphics/primitives.h"
#include "graphics/view_mapping.h"
#include "platform/bitmap.h"

namespace {

kv::TViewMapping View() {
  kv::TViewMapping v;
  v.SetDrawingArea(800, 600, 0, 0);
  v.ComputeView();
  return v;
}

void BM_WorldToPixel(benchmark::State& state) {
  const kv::TViewMapping v = View();
  long double x = -7;
  plat::Point p;
  for (auto _ : state) {
    x += 0.001L;
    if (x > 7) x = -7;
    benchmark::DoNotOptimize(v.WorldToPixel({x, x * 0.5L}, p));
  }
}
BENCHMARK(BM_WorldToPixel);

void BM_ClippedWorldLine(benchmark::State& state) {
  const kv::TViewMapping v = View();
  plat::Bitmap b(800, 600);
  plat::BitmapDC dc(b);
  long double t = 0;
  for (auto _ : state) {
    t += 0.01L;
    benchmark::DoNotOptimize(kv::DrawWorldLine(dc, v, {-9 * std::cos(t), -9 * std::sin(t)},
                                               {9 * std::cos(t), 9 * std::sin(t)}, true));
  }
}
BENCHMARK(BM_ClippedWorldLine);

void BM_Markers(benchmark::State& state) {
  plat::Bitmap b(800, 600);
  plat::BitmapDC dc(b);
  int i = 0;
  for (auto _ : state) {
    kv::DrawMarker(dc, 100 + i % 600, 100 + i % 400, i % 13, 3);
    ++i;
  }
}
BENCHMARK(BM_Markers);

}  // namespace
