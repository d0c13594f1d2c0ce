// Speed against the bare baselines (platform/bare_scenes.h): a benchmark
// times its own frames and the bare program's picture of the same scene in
// one run, and reports both and their ratio, so that a slower redraw shows
// as a higher ratio whatever the machine.
#pragma once

#include <benchmark/benchmark.h>

#include <chrono>
#include <functional>

#include "platform/bare_scenes.h"

namespace kv {
class TPlotWin;
}

namespace kvbench {

// The world and the plotted rectangle of a plot window, for the bare
// program to draw the same picture.
BareView ViewOf(const kv::TPlotWin& w);

// Wall-clock time of a benchmark's timed loop, started before the loop and
// read after it.
class LoopTimer {
 public:
  LoopTimer() : start_(std::chrono::steady_clock::now()) {}
  // Milliseconds per iteration of the loop that has just ended.
  double MillisecondsPer(const benchmark::State& state) const;

 private:
  std::chrono::steady_clock::time_point start_;
};

// Runs `frame` at least `runs` times and for at least a fifth of a second;
// milliseconds per run.
double MillisecondsPerRun(benchmark::IterationCount runs, const std::function<void()>& frame);

// Adds the counters "ms" (measured), "bare_ms" and "vs_bare" (their ratio)
// and, when `budget` is given (> 0), labels the run "over budget" when the
// ratio exceeds it.
void ReportAgainstBare(benchmark::State& state, double measuredMs, double bareMs, double budget = 0);

}  // namespace kvbench
