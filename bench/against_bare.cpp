#include "against_bare.h"

#include <algorithm>
#include <cstdio>
#include <string>

#include "plotcore/plot_win.h"

namespace kvbench {

namespace {

double MillisecondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

BareView ViewOf(const kv::TPlotWin& w) {
  BareView v;
  v.xmin = w.World.xmin;
  v.xmax = w.World.xmax;
  v.ymin = w.World.ymin;
  v.ymax = w.World.ymax;
  v.left = w.AreaOriginX();
  v.top = w.AreaOriginY();
  v.width = w.AreaWidth();
  v.height = w.AreaHeight();
  return v;
}

double LoopTimer::MillisecondsPer(const benchmark::State& state) const {
  const double total = MillisecondsSince(start_);
  return state.iterations() > 0 ? total / static_cast<double>(state.iterations()) : total;
}

double MillisecondsPerRun(benchmark::IterationCount runs, const std::function<void()>& frame) {
  const auto start = std::chrono::steady_clock::now();
  benchmark::IterationCount done = 0;
  while (done < std::max<benchmark::IterationCount>(runs, 1) || MillisecondsSince(start) < 200) {
    frame();
    ++done;
  }
  return MillisecondsSince(start) / static_cast<double>(done);
}

void ReportAgainstBare(benchmark::State& state, double measuredMs, double bareMs, double budget) {
  const double ratio = bareMs > 0 ? measuredMs / bareMs : 0;
  state.counters["ms"] = measuredMs;
  state.counters["bare_ms"] = bareMs;
  state.counters["vs_bare"] = ratio;
  if (budget > 0 && ratio > budget) {
    char label[64];
    std::snprintf(label, sizeof label, "over budget (%.2fx > %.2fx)", ratio, budget);
    state.SetLabel(label);
  }
}

}  // namespace kvbench
