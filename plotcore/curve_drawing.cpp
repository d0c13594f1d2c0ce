// Sampled curves (kinds 201, 202, 203) and traced implicit curves (204) of
// the plot layer: the sources that evaluate an entry's trees for the
// sampler and the tracer, and the drawers that put them on a DC.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "plotcore/dc_sink.h"

namespace kv {

namespace {

// A parameter -> point of an entry: (x, f(x)) for 201, (x(t), y(t)) for 202
// and 203; every point is mapped by the window's axes or mapping.
class EquationCurve : public TCurveSource {
 public:
  EquationCurve(TPlotWin& w, TExprNode* x, TExprNode* y, int letter) : w_(w), x_(x), y_(y), letter_(letter) {}

  Result At(long double t, TPoint2D& p) override {
    w_.SetVariable(letter_, t);
    w_.ClearEvaluationError();
    if (x_) {
      if (!w_.Evaluate(x_)) return kUndefined;
      p.x = x_->value.re;
    } else {
      p.x = t;
    }
    if (!w_.Evaluate(y_)) return kUndefined;
    p.y = y_->value.re;
    const bool jumped = w_.EvaluationError();
    if (!std::isfinite(p.x) || !std::isfinite(p.y)) return kUndefined;
    if (!w_.MapWorldPoint(p)) return kUndefined;
    return jumped ? kJump : kDefined;
  }
  // The same for a block: x then y at every parameter, y skipped where x is
  // undefined, as At evaluates them.
  void AtBlock(const long double* t, int n, TPoint2D* p, Result* r) override {
    xs_.resize(static_cast<std::size_t>(n));
    ys_.resize(xs_.size());
    status_.resize(xs_.size());
    TExprNode* trees[2] = {x_ ? x_ : y_, y_};
    const int count = x_ ? 2 : 1;
    long double* out[2] = {x_ ? xs_.data() : ys_.data(), ys_.data()};
    w_.Engine().EvaluateBlockChain(trees, count, letter_, t, n, out, status_.data());
    for (int i = 0; i < n; ++i) {
      const auto k = static_cast<std::size_t>(i);
      if (status_[k] == kPointUndefined) {
        r[i] = kUndefined;
        continue;
      }
      p[i] = {x_ ? xs_[k] : t[i], ys_[k]};
      if (!std::isfinite(p[i].x) || !std::isfinite(p[i].y)) {
        r[i] = kUndefined;
        continue;
      }
      w_.SetVariable(letter_, t[i]);  // a mapping formula may read the parameter
      if (!w_.MapWorldPoint(p[i])) {
        r[i] = kUndefined;
        continue;
      }
      r[i] = status_[k] == kPointJump ? kJump : kDefined;
    }
    w_.SetVariable(letter_, t[n - 1]);
  }
  void BeginProbe() override {
    detecting_ = w_.JumpDetection();
    if (detecting_) w_.SetJumpDetection(false);
  }
  void EndProbe() override {
    if (detecting_) w_.SetJumpDetection(true);
  }

 private:
  TPlotWin& w_;
  TExprNode* x_;
  TExprNode* y_;
  int letter_;
  bool detecting_ = false;
  std::vector<long double> xs_, ys_;
  std::vector<std::uint8_t> status_;
};

// F(x, y) of an implicit entry with its gradient trees and restriction.
class EquationImplicit : public TImplicitSource {
 public:
  EquationImplicit(TPlotWin& w, TExprNode* f, TExprNode* fx, TExprNode* fy, TExprNode* restriction)
      : w_(w), f_(f), fx_(fx), fy_(fy), restriction_(restriction) {}

  bool Value(long double x, long double y, long double& f) override {
    w_.SetPointVariables(TPoint2D{x, y});
    return w_.EvaluateReal(f_, f);
  }
  // A row of the search grid: X varies, Y (and Z, which follows them in
  // complex mode) as Value sets them.
  void ValueRow(const long double* x, int n, long double y, long double* f, std::uint8_t* defined) override {
    if (n <= 0) return;
    status_.resize(static_cast<std::size_t>(n));
    w_.SetPointVariables(TPoint2D{x[0], y});
    w_.Engine().EvaluateBlock(f_, 'X', x, n, f, nullptr, status_.data());
    for (int i = 0; i < n; ++i)
      defined[i] = status_[static_cast<std::size_t>(i)] != kPointUndefined && std::isfinite(f[i]) ? 1 : 0;
  }
  bool Gradient(long double x, long double y, long double& fx, long double& fy) override {
    if (!fx_ || !fy_) return false;
    w_.SetPointVariables(TPoint2D{x, y});
    return w_.EvaluateReal(fx_, fx) && w_.EvaluateReal(fy_, fy);
  }
  bool Accept(long double x, long double y) override {
    if (!restriction_) return true;
    long double g;
    w_.SetPointVariables(TPoint2D{x, y});
    return w_.EvaluateReal(restriction_, g) && g > 0;
  }

 private:
  TPlotWin& w_;
  TExprNode* f_;
  TExprNode* fx_;
  TExprNode* fy_;
  TExprNode* restriction_;
  std::vector<std::uint8_t> status_;
};

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
  TEquation& e = Equation(i);
  TSamplerSettings s = SamplerSettings();
  s.detectJumps = e.densityFlag == 0;
  TExprNode* x = nullptr;
  TExprNode* y = nullptr;
  int letter = 'T';
  long double lo = e.lowerBound.x;
  long double hi = e.upperBound.x;
  long double share = 1;
  switch (e.kind) {
    case kKindExplicit: {
      y = e.trees[1].get();
      letter = 'X';
      // The visible part of the x range (of the interval when one is set);
      // samples in proportion to the part of the view it covers.
      TSegment2D v = World;
      if (LogWindowType > 0 && (AxisKind & 1)) {
        // World x of a logarithmic axis is the exponent; f takes the value.
        v.xmin = LogAxisToValue(World.xmin);
        v.xmax = LogAxisToValue(World.xmax);
      }
      lo = v.xmin;
      hi = v.xmax;
      if (e.bounded) {
        lo = std::max(lo, std::min(e.lowerBound.x, e.upperBound.x));
        hi = std::min(hi, std::max(e.lowerBound.x, e.upperBound.x));
      }
      if (!(hi > lo)) return {};
      share = (hi - lo) / (v.xmax - v.xmin);
      break;
    }
    case kKindPolar:
    case kKindParametric:
      x = e.trees[0].get();
      y = e.trees[1].get();
      if (e.kind == kKindParametric && e.arrowMode > 0 && e.arrowMode < tok::kVariableCount) letter = e.arrowMode;
      if (!x) return {};
      break;
    default:
      return {};
  }
  if (!y || !std::isfinite(lo) || !std::isfinite(hi)) return {};
  const bool savedJumps = JumpDetection();
  // Switching detection on starts every curve afresh.
  SetJumpDetection(false);
  SetJumpDetection(s.detectJumps);
  EquationCurve curve(*this, x, y, letter);
  const long n = SampleCount(e.stepDensity, AreaWidth(), share);
  const TSampleStats stats = SampleCurve(curve, lo, hi, n, s, sink);
  SetJumpDetection(savedJumps);
  ClearEvaluationError();
  return stats;
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

TTraceStats TPlotWin::TraceEquation(int i, TPolylineSink& sink) {
  if (!IsValidIndex(i)) return {};
  TEquation& e = Equation(i);
  if (e.kind != kKindImplicit || !e.trees[2]) return {};
  TExprNode* restriction = e.restricted ? e.trees[3].get() : nullptr;
  const bool savedJumps = JumpDetection();
  SetJumpDetection(false);
  EquationImplicit f(*this, e.trees[2].get(), e.trees[4].get(), e.trees[5].get(), restriction);
  const TTraceStats stats = TraceImplicitCurve(f, TracerSettings(), sink);
  SetJumpDetection(savedJumps);
  ClearEvaluationError();
  return stats;
}

TTraceStats TPlotWin::TraceEquationFrom(int i, const TPoint2D& point, TPolylineSink& sink) {
  if (!IsValidIndex(i)) return {};
  TEquation& e = Equation(i);
  if (e.kind != kKindImplicit || !e.trees[2]) return {};
  TExprNode* restriction = e.restricted ? e.trees[3].get() : nullptr;
  const bool savedJumps = JumpDetection();
  SetJumpDetection(false);
  EquationImplicit f(*this, e.trees[2].get(), e.trees[4].get(), e.trees[5].get(), restriction);
  const TTraceStats stats = TraceImplicitCurveFrom(f, TracerSettings(), point, sink);
  SetJumpDetection(savedJumps);
  ClearEvaluationError();
  return stats;
}

int TPlotWin::DrawImplicitCurve(plat::DC& dc, int i) {
  const TEquation& e = Equation(i);
  PenScope pen(dc, CreateStylePen(e.PenSpec()));
  BeginCurveRecording(4000);
  TDcSink sink(*this, dc);
  TraceEquation(i, sink);
  EndCurveRecording(e.penColour, e.penWidth, e.penStyle);
  return sink.Stopped() ? 'A' : 0;
}

}  // namespace kv
