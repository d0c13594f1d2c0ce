// The 3D window's hot path: a surface painted cell by cell, farthest cell
// first, into a picture of 1024 x 768 pixels, as every paint, turn of the
// observer and animation frame does it; the same with hidden lines, where
// curves and axes ask for every piece whether a sphere hides it; and the
// sampling of its grid, which runs when the surface or its box changes.
#include <benchmark/benchmark.h>

#include "platform/app.h"
#include "platform/bitmap.h"
#include "plot3d/plot3_win.h"

namespace {

constexpr int kWidth = 1024;
constexpr int kHeight = 768;

// Destroyed windows are deleted by the platform.
void Close(kv::TPlot3Win* w) {
  w->Destroy();
  plat::App::DeleteDestroyedWindows();
}

// A 3D window whose client area is 1024 x 768 pixels, holding
// z = sin(xx+yy)/(xx+yy) on a 60 x 60 grid over the example square,
// sampled and fitted into the view.
kv::TPlot3Win* SurfaceWindow() {
  auto* w = new kv::TPlot3Win(nullptr, "bench.kv3");
  w->FileVersion = 33;
  w->SaveSettingsOnClose = 0;
  w->Create();
  w->Show(plat::SW_SHOW);
  w->MoveWindow(0, 0, kWidth, kHeight);
  plat::App::ProcessEvents();
  const plat::Rect r = w->GetClientRect();
  w->MoveWindow(0, 0, 2 * kWidth - r.right, 2 * kHeight - r.bottom);
  plat::App::ProcessEvents();
  w->UpdateView();
  const int i = w->AppendEquation(kv::kKindSurface, {"", "", "sin(xx+yy)/(xx+yy)"});
  kv::TEquation& e = w->Equation(i);
  e.lowerBound = {-3.141582653589793L, -3.141582653589793L};
  e.upperBound = {3.141592653589793L, 3.141592653589793L};
  e.divisions = {60, 60, 36};
  w->UpdateBox(i);
  return w;
}

void BM_PaintSurface60x60(benchmark::State& state) {
  kv::TPlot3Win* w = SurfaceWindow();
  plat::Bitmap b(kWidth, kHeight);
  plat::BitmapDC dc(b);
  for (auto _ : state) benchmark::DoNotOptimize(w->DrawEquations(dc));
  state.SetItemsProcessed(state.iterations() * 60 * 60);
  state.counters["width"] = w->AreaWidth();
  state.counters["height"] = w->AreaHeight();
  Close(w);
}
BENCHMARK(BM_PaintSurface60x60)->Unit(benchmark::kMillisecond);

// The unit sphere as a parametric surface on a 60 x 60 grid that hides
// (hidden edges on, "bei Parametern" on), three circles of latitude and
// longitude just outside it and the three axes.
kv::TPlot3Win* HiddenLineWindow() {
  auto* w = new kv::TPlot3Win(nullptr, "hidden.kv3");
  w->FileVersion = 33;
  w->SaveSettingsOnClose = 0;
  w->Create();
  w->Show(plat::SW_SHOW);
  w->MoveWindow(0, 0, kWidth, kHeight);
  plat::App::ProcessEvents();
  const plat::Rect r = w->GetClientRect();
  w->MoveWindow(0, 0, 2 * kWidth - r.right, 2 * kHeight - r.bottom);
  plat::App::ProcessEvents();
  w->UpdateView();
  const int s = w->AppendEquation(kv::kKindParametricSurface, {"cos(t)sin(u)", "sin(t)sin(u)", "cos(u)"});
  kv::TEquation& e = w->Equation(s);
  e.lowerBound = {0, 0};
  e.upperBound = {6.283185307179586L, 3.141592653589793L};
  e.divisions = {60, 60, 36};
  w->UpdateBox(s);
  const std::initializer_list<std::string_view> curves[] = {
      {"1.2cos(t)", "1.2sin(t)", "0"}, {"1.2cos(t)", "0", "1.2sin(t)"}, {"0", "1.2cos(t)", "1.2sin(t)"}};
  for (const auto& texts : curves) {
    const int i = w->AppendEquation(kv::kKindSpaceCurve, texts);
    w->Equation(i).lowerBound = {0, 0};
    w->Equation(i).upperBound = {6.283185307179586L, 1};
    w->Equation(i).curvePoints = {200, 200};
    w->UpdateBox(i);
  }
  w->AxesShown = 1;
  w->View3D.HideEdges = 1;
  w->View3D.AtParameters = 1;
  w->FitWindowToBox();
  return w;
}

void BM_HiddenLines60x60(benchmark::State& state) {
  kv::TPlot3Win* w = HiddenLineWindow();
  plat::Bitmap b(kWidth, kHeight);
  plat::BitmapDC dc(b);
  for (auto _ : state) benchmark::DoNotOptimize(w->DrawEquations(dc));
  state.SetItemsProcessed(state.iterations() * 60 * 60);
  Close(w);
}
BENCHMARK(BM_HiddenLines60x60)->Unit(benchmark::kMillisecond);

void BM_SampleSurface60x60(benchmark::State& state) {
  kv::TPlot3Win* w = SurfaceWindow();
  for (auto _ : state) w->SampleSurfaceGrid(0);
  state.SetItemsProcessed(state.iterations() * 61 * 61);
  Close(w);
}
BENCHMARK(BM_SampleSurface60x60)->Unit(benchmark::kMillisecond);

}  // namespace
