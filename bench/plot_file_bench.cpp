// Saving a full inventory (36 equations) into a plot file and opening it
// again in another window, as "Speichern" and "Ö&ffnen ..." do it.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>
#include <string>
#include <unistd.h>

#include "plot2d/plot2_win.h"

namespace {

std::string BenchFile(const char* name) {
  static const std::string dir = [] {
    std::string d = std::filesystem::temp_directory_path().string() + "/kurvato-bench-" + std::to_string(getpid()) + "/";
    std::filesystem::create_directories(d);
    return d;
  }();
  return dir + name;
}

std::unique_ptr<kv::TPlot2Win> NewWindow() {
  auto w = std::make_unique<kv::TPlot2Win>(nullptr, "bench.kv2");
  w->FileVersion = 33;
  w->SetDrawingArea(800, 600, 0, 0);
  w->ComputeView();
  return w;
}

// 36 entries: explicit, parametric and polar curves, segments and points,
// with a trajectory system among them.
std::unique_ptr<kv::TPlot2Win> FullWindow() {
  auto w = NewWindow();
  for (int k = 0; k < 36; ++k) {
    const std::string n = std::to_string(k % 7 + 1);
    int i = -1;
    switch (k % 6) {
      case 0: i = w->AppendEquation(kv::kKindExplicit, -5, 5, {}, "sin(" + n + "x)+x/" + n); break;
      case 1: i = w->AppendEquation(kv::kKindParametric, 0, 6.28L, n + "cos(t)", "sin(" + n + "t)"); break;
      case 2: i = w->AppendEquation(kv::kKindPolar, 0, 6.28L, {}, {}, "1+cos(" + n + "t)"); break;
      case 3: i = w->AppendEquation(kv::kKindSegment, 0, 1, "-" + n, "1", n, "2"); break;
      case 4: i = w->AppendEquation(kv::kKindPoint, 0, 1, n, "pi/" + n); break;
      default: i = w->AppendEquation(kv::kKindExplicit, -5, 5, {}, "x^" + n + "/(1+x^2)"); break;
    }
    w->CompileEquation(i);
    w->AddEquationLabel();
  }
  return w;
}

void BM_SavePlotFile36(benchmark::State& state) {
  auto w = FullWindow();
  w->FileData.FileName = BenchFile("save.kv2");
  for (auto _ : state) benchmark::DoNotOptimize(w->WriteFile());
  state.SetBytesProcessed(state.iterations() * static_cast<long long>(std::filesystem::file_size(w->FileData.FileName)));
}
BENCHMARK(BM_SavePlotFile36)->Unit(benchmark::kMicrosecond);

void BM_OpenPlotFile36(benchmark::State& state) {
  auto source = FullWindow();
  source->FileData.FileName = BenchFile("open.kv2");
  source->WriteFile();
  auto w = NewWindow();
  w->FileData.FileName = source->FileData.FileName;
  for (auto _ : state) benchmark::DoNotOptimize(w->ReadFile());
  state.SetBytesProcessed(state.iterations() * static_cast<long long>(std::filesystem::file_size(w->FileData.FileName)));
}
BENCHMARK(BM_OpenPlotFile36)->Unit(benchmark::kMicrosecond);

void BM_SaveAndReopen36(benchmark::State& state) {
  auto source = FullWindow();
  source->FileData.FileName = BenchFile("both.kv2");
  auto w = NewWindow();
  w->FileData.FileName = source->FileData.FileName;
  for (auto _ : state) {
    benchmark::DoNotOptimize(source->WriteFile());
    benchmark::DoNotOptimize(w->ReadFile());
  }
}
BENCHMARK(BM_SaveAndReopen36)->Unit(benchmark::kMicrosecond);

}  // namespace
