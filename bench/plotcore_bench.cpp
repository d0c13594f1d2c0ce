// The plotting core's hot paths: sampling a curve over every pixel column
// (with and without poles), tracing implicit curves over the view's grid,
// and stepping trajectories.  The sources evaluate through the formula
// engine as the plot windows do, without a window.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <vector>

#include "formula/calculus.h"
#include "formula/formula_engine.h"
#include "plotcore/model/curve_sampler.h"
#include "plotcore/model/implicit_tracer.h"
#include "plotcore/model/ode_stepper.h"

namespace {

using kv::TPoint2D;

class NullSink : public kv::TPolylineSink {
 public:
  long points = 0;
  void MoveTo(const TPoint2D&) override { ++points; }
  void LineTo(const TPoint2D&) override { ++points; }
};

// y = f(x) through the engine, with its jump detection.
class GraphSource : public kv::TCurveSource {
 public:
  GraphSource(kv::TFormulaEngine& e, const char* text) : e_(e) { e_.Compile(text, tree_); }
  Result At(long double t, TPoint2D& p) override {
    e_.SetVariable('X', t);
    e_.ClearEvaluationError();
    if (!e_.Evaluate(tree_.get())) return kUndefined;
    p = {t, tree_->value.re};
    return e_.EvaluationError() ? kJump : kDefined;
  }
  // Regular samples a block at a time, as the windows' sources take them.
  void AtBlock(const long double* t, int n, TPoint2D* p, Result* r) override {
    y_.resize(static_cast<std::size_t>(n));
    status_.resize(y_.size());
    e_.EvaluateBlock(tree_.get(), 'X', t, n, y_.data(), nullptr, status_.data());
    for (int i = 0; i < n; ++i) {
      const std::uint8_t s = status_[static_cast<std::size_t>(i)];
      p[i] = {t[i], y_[static_cast<std::size_t>(i)]};
      r[i] = s == kv::kPointUndefined ? kUndefined : s == kv::kPointJump ? kJump : kDefined;
    }
  }
  void BeginProbe() override { e_.SetJumpDetection(false); }
  void EndProbe() override { e_.SetJumpDetection(true); }

 private:
  kv::TFormulaEngine& e_;
  kv::TreePtr tree_;
  std::vector<long double> y_;
  std::vector<std::uint8_t> status_;
};

class ImplicitSource : public kv::TImplicitSource {
 public:
  ImplicitSource(kv::TFormulaEngine& e, const char* text) : e_(e) {
    e_.Compile(text, f_);
    kv::Differentiate(f_.get(), 'X', fx_);
    kv::Differentiate(f_.get(), 'Y', fy_);
  }
  bool Value(long double x, long double y, long double& f) override {
    e_.SetPoint(x, y);
    if (!e_.Evaluate(f_.get())) return false;
    f = f_->value.re;
    return true;
  }
  void ValueRow(const long double* x, int n, long double y, long double* f, std::uint8_t* defined) override {
    status_.resize(static_cast<std::size_t>(n));
    e_.SetPoint(x[0], y);
    e_.EvaluateBlock(f_.get(), 'X', x, n, f, nullptr, status_.data());
    for (int i = 0; i < n; ++i) defined[i] = status_[static_cast<std::size_t>(i)] != kv::kPointUndefined;
  }
  bool Gradient(long double x, long double y, long double& fx, long double& fy) override {
    e_.SetPoint(x, y);
    if (!e_.Evaluate(fx_.get()) || !e_.Evaluate(fy_.get())) return false;
    fx = fx_->value.re;
    fy = fy_->value.re;
    return true;
  }

 private:
  kv::TFormulaEngine& e_;
  kv::TreePtr f_, fx_, fy_;
  std::vector<std::uint8_t> status_;
};

class RotationSource : public kv::TOdeSource {
 public:
  explicit RotationSource(kv::TFormulaEngine& e) : e_(e) {
    e_.Compile("-y", fx_);
    e_.Compile("x", fy_);
  }
  bool Derivative(long double, const kv::TPoint3D& p, kv::TPoint3D& d) override {
    e_.SetPoint(p.x, p.y);
    if (!e_.Evaluate(fx_.get()) || !e_.Evaluate(fy_.get())) return false;
    d = {fx_->value.re, fy_->value.re, 0};
    return true;
  }

 private:
  kv::TFormulaEngine& e_;
  kv::TreePtr fx_, fy_;
};

// A 501-pixel view of -5..5.
kv::TSamplerSettings View() {
  kv::TSamplerSettings s;
  s.pixelsPerUnitX = s.pixelsPerUnitY = 50;
  return s;
}

// The same source taking its regular samples one at a time.
class PointSource : public GraphSource {
 public:
  using GraphSource::GraphSource;
  void AtBlock(const long double* t, int n, TPoint2D* p, Result* r) override {
    for (int i = 0; i < n; ++i) r[i] = At(t[i], p[i]);
  }
};

template <class Source>
void BM_SampleCurve(benchmark::State& state, const char* text) {
  kv::TFormulaEngine e;
  Source src(e, text);
  const long n = kv::SampleCount(static_cast<int>(state.range(0)), 501);
  long evaluations = 0;
  for (auto _ : state) {
    NullSink sink;
    const kv::TSampleStats s = kv::SampleCurve(src, -5, 5, n, View(), sink);
    evaluations += s.samples + s.probes;
    benchmark::DoNotOptimize(sink.points);
  }
  state.counters["evals/curve"] =
      benchmark::Counter(static_cast<double>(evaluations), benchmark::Counter::kAvgIterations);
}
void BM_SampleCurveBlocks(benchmark::State& state, const char* text) { BM_SampleCurve<GraphSource>(state, text); }
void BM_SampleCurvePoints(benchmark::State& state, const char* text) { BM_SampleCurve<PointSource>(state, text); }
BENCHMARK_CAPTURE(BM_SampleCurveBlocks, xsinx, "xsin(x)")->Arg(1)->Arg(10);
BENCHMARK_CAPTURE(BM_SampleCurvePoints, xsinx, "xsin(x)")->Arg(1)->Arg(10);
BENCHMARK_CAPTURE(BM_SampleCurveBlocks, tan, "tan(x)")->Arg(1)->Arg(10);
BENCHMARK_CAPTURE(BM_SampleCurvePoints, tan, "tan(x)")->Arg(1)->Arg(10);
BENCHMARK_CAPTURE(BM_SampleCurveBlocks, sqrt_circle, "sqrt(9-xx)")->Arg(1);
BENCHMARK_CAPTURE(BM_SampleCurvePoints, sqrt_circle, "sqrt(9-xx)")->Arg(1);

void BM_TraceImplicit(benchmark::State& state, const char* text) {
  kv::TFormulaEngine e;
  ImplicitSource src(e, text);
  kv::TTracerSettings s;
  long evaluations = 0;
  for (auto _ : state) {
    NullSink sink;
    const kv::TTraceStats t = kv::TraceImplicitCurve(src, s, sink);
    evaluations += t.evaluations;
    benchmark::DoNotOptimize(sink.points);
  }
  state.counters["evals/curve"] =
      benchmark::Counter(static_cast<double>(evaluations), benchmark::Counter::kAvgIterations);
}
BENCHMARK_CAPTURE(BM_TraceImplicit, circle, "xx+yy-13");
BENCHMARK_CAPTURE(BM_TraceImplicit, crossing_lines, "xx-yy");
BENCHMARK_CAPTURE(BM_TraceImplicit, sin_sin, "sin(x)sin(y)-0.1");

void BM_RungeKuttaSteps(benchmark::State& state) {
  kv::TFormulaEngine e;
  RotationSource src(e);
  for (auto _ : state) {
    kv::TPoint3D p{1, 0, 0};
    for (int k = 0; k < 10000; ++k) kv::OdeStep(src, 2, k * 0.001L, 0.001L, p);
    benchmark::DoNotOptimize(p);
  }
  state.SetItemsProcessed(state.iterations() * 10000);
}
BENCHMARK(BM_RungeKuttaSteps);

}  // namespace
