// Sampled curves (kinds 201, 202, 203) and traced implicit curves (204) of
// the plot layer: the window's settings for the sampler and the tracer of
// plotcore/model/equation_curves.h, and the drawers that put the curves on
// a DC.
#include <algorithm>

#include "plotcore/dc_sink.h"
#include "plotcore/model/equation_curves.h"

namespace kv {

namespace {

// Selects the entry's pen into the DC for the life of a drawer.
class PenScope {
 public:
  PenScope(plat::DC& dc, const plat::Pen& pen) : dc_(dc), old_(dc.SelectPen(pen)) {}
  ~PenScope() { dc_.SelectPen(old_); }

 private:
  plat::DC& dc_;
  plat::Pen old_;
};

}  // namespace

TSamplerSettings TPlotWin::SamplerSettings() const {
  TSamplerSettings s;
  s.view = World;
  s.pixelsPerUnitX = PixelsPerUnitX;
  s.pixelsPerUnitY = PixelsPerUnitY;
  return s;
}

TTracerSettings TPlotWin::TracerSettings() const {
  TTracerSettings s;
  s.view = World;
  s.pixelsPerUnitX = PixelsPerUnitX;
  s.pixelsPerUnitY = PixelsPerUnitY;
  s.stepLimit = implicitStepLimit;
  s.criticalAngle = criticalAngle != 0;
  s.closeTolerance = loopClosingTolerance;
  return s;
}

TSampleStats TPlotWin::SampleEquation(int i, TPolylineSink& sink) {
  if (!IsValidIndex(i)) return {};
  return kv::SampleEquation(Equation(i), Engine(), SamplerSettings(), AreaWidth(), PointMap(), sink);
}

int TPlotWin::DrawSampledCurve(plat::DC& dc, int i) {
  const TEquation& e = Equation(i);
  PenScope pen(dc, CreateStylePen(e.PenSpec()));
  BeginCurveRecording(SampleCount(e.stepDensity, AreaWidth()) + 10);
  TDcSink sink(*this, dc);
  SampleEquation(i, sink);
  EndCurveRecording(e.penColour, e.penWidth, e.penStyle);
  return sink.Stopped() ? 'A' : 0;
}

TTraceStats TPlotWin::TraceEquation(int i, TPolylineSink& sink, TContinuedSearch* continued) {
  if (!IsValidIndex(i)) return {};
  return kv::TraceEquation(Equation(i), Engine(), TracerSettings(), dimension == 3, nullptr, sink, continued);
}

TTraceStats TPlotWin::TraceEquationFrom(int i, const TPoint2D& point, TPolylineSink& sink) {
  if (!IsValidIndex(i)) return {};
  return kv::TraceEquation(Equation(i), Engine(), TracerSettings(), dimension == 3, &point, sink);
}

namespace {

// Passes the tracer's runs on to the DC and keeps a copy of them.
class TKeepingSink : public TPolylineSink {
 public:
  TKeepingSink(TPolylineSink& to, TTracedRuns* kept) : to_(to), kept_(kept) {}
  void MoveTo(const TPoint2D& p) override {
    if (kept_) kept_->push_back({p});
    to_.MoveTo(p);
  }
  void LineTo(const TPoint2D& p) override {
    if (kept_) {
      if (kept_->empty()) kept_->emplace_back();
      kept_->back().push_back(p);
    }
    to_.LineTo(p);
  }
  bool Cancelled() override { return to_.Cancelled(); }

 private:
  TPolylineSink& to_;
  TTracedRuns* kept_;
};

}  // namespace

int TPlotWin::DrawImplicitCurve(plat::DC& dc, int i, TTracedRuns* kept, TContinuedSearch* continued) {
  const TEquation& e = Equation(i);
  PenScope pen(dc, CreateStylePen(e.PenSpec()));
  BeginCurveRecording(4000);
  TDcSink sink(*this, dc);
  TKeepingSink keeping(sink, kept);
  TraceEquation(i, keeping, continued);
  EndCurveRecording(e.penColour, e.penWidth, e.penStyle);
  return sink.Stopped() ? 'A' : 0;
}

void TPlotWin::DrawTracedRuns(plat::DC& dc, int i, const TTracedRuns& runs) {
  const TEquation& e = Equation(i);
  PenScope pen(dc, CreateStylePen(e.PenSpec()));
  std::size_t points = 0;
  for (const auto& run : runs) points += run.size() + 1;
  BeginCurveRecording(static_cast<long>(std::max<std::size_t>(points, 4000)));
  TDcSink sink(*this, dc);
  for (const auto& run : runs) {
    if (run.empty()) continue;
    sink.MoveTo(run.front());
    for (std::size_t k = 1; k < run.size(); ++k) sink.LineTo(run[k]);
  }
  EndCurveRecording(e.penColour, e.penWidth, e.penStyle);
}

}  // namespace kv
