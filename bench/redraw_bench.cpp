// Full redraws of shown plot windows of 1024 x 768 client pixels, as a
// slider drag or an animation frame repaints them (background, frame, axes,
// the entries, the overlays and the copy to the window surface), each
// beside a bare baseline in the same run: the same picture computed
// natively and drawn with QPainter (bench/platform/bare_scenes.h).  Each
// scene reports its time per frame ("ms"), the bare program's ("bare_ms")
// and their ratio ("vs_bare"); a 2D scene over 1.6 times the bare program's
// time is labelled "over budget".
//
//   kurvato_bench --benchmark_filter=Redraw
//
// With KURVATO_BENCH_SNAPSHOTS set to a folder, the window surface of each
// scene is written there as a PNG after its run, so that two builds can be
// compared pixel for pixel.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "against_bare.h"
#include "platform/app.h"
#include "platform/bare_scenes.h"
#include "platform/bitmap.h"
#include "plot2d/plot2_win.h"
#include "plot3d/plot3_win.h"
#include "plotcore/model/curve_sampler.h"

namespace {

constexpr int kWidth = 1024;
constexpr int kHeight = 768;
constexpr long double kPi = 3.141592653589793L;

// Creates, shows and sizes a window so that its client area is 1024 x 768.
template <class W>
W* ShownWindow(const char* caption) {
  auto* w = new W(nullptr, caption);
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
  return w;
}

void Close(plat::Window* w, const std::string& scene) {
  if (const char* dir = std::getenv("KURVATO_BENCH_SNAPSHOTS")) w->Surface().WritePngFile(std::string(dir) + "/" + scene + ".png");
  w->Destroy();
  plat::App::DeleteDestroyedWindows();
}

// ---- 2D ----

struct Entry {
  int kind;
  long double lo, hi;
  const char* text;  // y = f(x), r = f(t), or F(x, y) = G(x, y)
};

struct Scene2D {
  const char* name;
  std::vector<Entry> entries;
  // The bare program's picture.
  std::function<void(kvbench::BareFrame&, const kvbench::BareView&, int samples)> bare;
};

using Fn = std::function<long double(long double)>;

const std::vector<Scene2D>& Scenes2D() {
  static const std::vector<Scene2D> scenes = {
      {"xsin(x)",
       {{kv::kKindExplicit, 0, 0, "xsin(x)"}},
       [](kvbench::BareFrame& f, const kvbench::BareView& v, int n) {
         f.Curves(v, {[](long double x) { return x * std::sin(x); }}, n);
       }},
      {"ten_curves",
       {{kv::kKindExplicit, 0, 0, "sin(x)"},
        {kv::kKindExplicit, 0, 0, "cos(x)"},
        {kv::kKindExplicit, 0, 0, "xx/4"},
        {kv::kKindExplicit, 0, 0, "tan(x)"},
        {kv::kKindExplicit, 0, 0, "xxx/20"},
        {kv::kKindExplicit, 0, 0, "2sin(2x)"},
        {kv::kKindExplicit, 0, 0, "3exp(-xx)"},
        {kv::kKindExplicit, 0, 0, "sqrt(abs(x))"},
        {kv::kKindExplicit, 0, 0, "1/(1+xx)"},
        {kv::kKindExplicit, 0, 0, "x/2"}},
       [](kvbench::BareFrame& f, const kvbench::BareView& v, int n) {
         static const std::vector<Fn> curves = {
             [](long double x) { return std::sin(x); },
             [](long double x) { return std::cos(x); },
             [](long double x) { return x * x / 4; },
             [](long double x) { return std::tan(x); },
             [](long double x) { return x * x * x / 20; },
             [](long double x) { return 2 * std::sin(2 * x); },
             [](long double x) { return 3 * std::exp(-x * x); },
             [](long double x) { return std::sqrt(std::fabs(x)); },
             [](long double x) { return 1 / (1 + x * x); },
             [](long double x) { return x / 2; },
         };
         f.Curves(v, curves, n);
       }},
      {"polar_rose",
       {{kv::kKindPolar, 0, 2 * kPi, "3cos(4t)"}},
       [](kvbench::BareFrame& f, const kvbench::BareView& v, int n) {
         f.Polar(v, [](long double t) { return 3 * std::cos(4 * t); }, 0, 2 * kPi, n);
       }},
      {"implicit_circle",
       {{kv::kKindImplicit, 0, 0, "xx+yy=9"}},
       [](kvbench::BareFrame& f, const kvbench::BareView& v, int) {
         f.Implicit(v, [](long double x, long double y) { return x * x + y * y - 9; }, 3);
       }},
  };
  return scenes;
}

kv::TPlot2Win* Window2D(const Scene2D& s) {
  auto* w = ShownWindow<kv::TPlot2Win>("bench.kv2");
  for (const Entry& e : s.entries) {
    int i = -1;
    switch (e.kind) {
      case kv::kKindPolar: i = w->AppendEquation(e.kind, e.lo, e.hi, {}, {}, e.text); break;
      case kv::kKindImplicit: i = w->AppendEquation(e.kind, e.lo, e.hi, {}, {}, {}, {}, e.text); break;
      default: i = w->AppendEquation(e.kind, w->World.xmin, w->World.xmax, {}, e.text); break;
    }
    w->CompileEquation(i);
  }
  return w;
}

// A 2D repaint may take at most this many times the bare program's.
constexpr double kBudget2D = 1.6;

void Redraw2D(benchmark::State& state, const Scene2D& s) {
  kv::TPlot2Win* w = Window2D(s);
  const kvbench::LoopTimer timer;
  for (auto _ : state) {
    w->InvalidatePlot();
    w->RepaintNow(false);
  }
  const double ms = timer.MillisecondsPer(state);
  const kvbench::BareView v = kvbench::ViewOf(*w);
  const int samples = static_cast<int>(kv::SampleCount(1, w->AreaWidth()));
  kvbench::BareFrame frame(w->ClientWidth, w->ClientHeight);
  const double bareMs = kvbench::MillisecondsPerRun(state.iterations(), [&] {
    s.bare(frame, v, samples);
    benchmark::DoNotOptimize(frame.Checksum());
  });
  kvbench::ReportAgainstBare(state, ms, bareMs, kBudget2D);
  state.counters["width"] = w->ClientWidth;
  state.counters["height"] = w->ClientHeight;
  Close(w, std::string("2d_") + s.name);
}

// ---- 3D ----

// z = sin(xx+yy)/(xx+yy) on n x n cells, as after a change of a parameter:
// the grid is sampled again and the window repainted.
kv::TPlot3Win* SurfaceWindow(int n) {
  auto* w = ShownWindow<kv::TPlot3Win>("bench.kv3");
  const int i = w->AppendEquation(kv::kKindSurface, {"", "", "sin(xx+yy)/(xx+yy)"});
  kv::TEquation& e = w->Equation(i);
  e.lowerBound = {-3.141582653589793L, -3.141582653589793L};
  e.upperBound = {3.141592653589793L, 3.141592653589793L};
  e.divisions = {static_cast<std::int16_t>(n), static_cast<std::int16_t>(n), 36};
  w->UpdateBox(i);
  return w;
}

void RedrawSurface(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  kv::TPlot3Win* w = SurfaceWindow(n);
  const kvbench::LoopTimer timer;
  for (auto _ : state) {
    w->SampleSurfaceGrid(0);
    w->InvalidatePlot();
    w->RepaintNow(false);
  }
  const double ms = timer.MillisecondsPer(state);
  kvbench::BareFrame frame(kWidth, kHeight);
  const double bareMs = kvbench::MillisecondsPerRun(state.iterations(), [&] {
    frame.Surface(
        [](long double x, long double y) {
          const long double s = x * x + y * y;
          return std::sin(s) / s;
        },
        n);
    benchmark::DoNotOptimize(frame.Checksum());
  });
  kvbench::ReportAgainstBare(state, ms, bareMs);
  state.counters["cells"] = n * n;
  state.counters["fps"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
  Close(w, "3d_surface_" + std::to_string(n));
}

int RegisterAll() {
  for (const Scene2D& s : Scenes2D())
    benchmark::RegisterBenchmark((std::string("Redraw/2D/") + s.name).c_str(),
                                 [&s](benchmark::State& st) { Redraw2D(st, s); })
        ->Unit(benchmark::kMillisecond);
  for (const int n : {30, 60, 120})
    benchmark::RegisterBenchmark(("Redraw/3D/surface/" + std::to_string(n)).c_str(), RedrawSurface)
        ->Arg(n)
        ->Unit(benchmark::kMillisecond);
  return 0;
}

const int registered = RegisterAll();

}  // namespace
