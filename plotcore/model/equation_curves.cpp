#include "plotcore/model/equation_curves.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace kv {

namespace {

// A parameter -> point of an entry: (x, f(x)) for 201, (x(t), y(t)) for 202
// and 203; every point is mapped by the window's axes or mapping.
class EquationCurve : public TCurveSource {
 public:
  EquationCurve(TFormulaEngine& engine, const TPointMap& map, TExprNode* x, TExprNode* y, int letter)
      : engine_(engine), map_(map), x_(x), y_(y), letter_(letter) {}

  Result At(long double t, TPoint2D& p) override {
    engine_.SetVariable(letter_, t);
    engine_.ClearEvaluationError();
    if (x_) {
      if (!engine_.Evaluate(x_)) return kUndefined;
      p.x = x_->value.re;
    } else {
      p.x = t;
    }
    if (!engine_.Evaluate(y_)) return kUndefined;
    p.y = y_->value.re;
    const bool jumped = engine_.EvaluationError();
    if (!std::isfinite(p.x) || !std::isfinite(p.y)) return kUndefined;
    if (!MapPoint(engine_, map_, p)) return kUndefined;
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
    engine_.EvaluateBlockChain(trees, count, letter_, t, n, out, status_.data());
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
      engine_.SetVariable(letter_, t[i]);  // a mapping formula may read the parameter
      if (!MapPoint(engine_, map_, p[i])) {
        r[i] = kUndefined;
        continue;
      }
      r[i] = status_[k] == kPointJump ? kJump : kDefined;
    }
    engine_.SetVariable(letter_, t[n - 1]);
  }
  void BeginProbe() override {
    detecting_ = engine_.JumpDetection();
    if (detecting_) engine_.SetJumpDetection(false);
  }
  void EndProbe() override {
    if (detecting_) engine_.SetJumpDetection(true);
  }

 private:
  TFormulaEngine& engine_;
  const TPointMap& map_;
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
  EquationImplicit(TFormulaEngine& engine, bool space, TExprNode* f, TExprNode* fx, TExprNode* fy,
                   TExprNode* restriction)
      : engine_(engine), space_(space), f_(f), fx_(fx), fy_(fy), restriction_(restriction) {}

  bool Value(long double x, long double y, long double& f) override {
    SetPointVariables(engine_, TPoint3D{x, y, 0}, space_);
    return EvaluateReal(engine_, f_, f);
  }
  // A row of the search grid: X varies, Y (and Z, which follows them in
  // complex mode) as Value sets them.
  void ValueRow(const long double* x, int n, long double y, long double* f, std::uint8_t* defined) override {
    if (n <= 0) return;
    status_.resize(static_cast<std::size_t>(n));
    SetPointVariables(engine_, TPoint3D{x[0], y, 0}, space_);
    engine_.EvaluateBlock(f_, 'X', x, n, f, nullptr, status_.data());
    for (int i = 0; i < n; ++i)
      defined[i] = status_[static_cast<std::size_t>(i)] != kPointUndefined && std::isfinite(f[i]) ? 1 : 0;
  }
  bool Gradient(long double x, long double y, long double& fx, long double& fy) override {
    if (!fx_ || !fy_) return false;
    SetPointVariables(engine_, TPoint3D{x, y, 0}, space_);
    return EvaluateReal(engine_, fx_, fx) && EvaluateReal(engine_, fy_, fy);
  }
  bool Accept(long double x, long double y) override {
    if (!restriction_) return true;
    long double g;
    SetPointVariables(engine_, TPoint3D{x, y, 0}, space_);
    return EvaluateReal(engine_, restriction_, g) && g > 0;
  }

 private:
  TFormulaEngine& engine_;
  bool space_;
  TExprNode* f_;
  TExprNode* fx_;
  TExprNode* fy_;
  TExprNode* restriction_;
  std::vector<std::uint8_t> status_;
};

}  // namespace

TSampleStats SampleEquation(TEquation& e, TFormulaEngine& engine, const TSamplerSettings& settings, int areaWidth,
                            const TPointMap& map, TPolylineSink& sink) {
  TSamplerSettings s = settings;
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
      TSegment2D v = settings.view;
      if (map.logWindow && (map.logAxes & 1)) {
        // World x of a logarithmic axis is the exponent; f takes the value.
        v.xmin = std::pow(10.0L, v.xmin);
        v.xmax = std::pow(10.0L, v.xmax);
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
  const bool savedJumps = engine.JumpDetection();
  // Switching detection on starts every curve afresh.
  engine.SetJumpDetection(false);
  engine.SetJumpDetection(s.detectJumps);
  EquationCurve curve(engine, map, x, y, letter);
  const long n = SampleCount(e.stepDensity, areaWidth, share);
  const TSampleStats stats = SampleCurve(curve, lo, hi, n, s, sink);
  engine.SetJumpDetection(savedJumps);
  engine.ClearEvaluationError();
  return stats;
}

TTraceStats TraceEquation(TEquation& e, TFormulaEngine& engine, const TTracerSettings& settings, bool space,
                          const TPoint2D* from, TPolylineSink& sink, TContinuedSearch* continued) {
  if (e.kind != kKindImplicit || !e.trees[2]) return {};
  TExprNode* restriction = e.restricted ? e.trees[3].get() : nullptr;
  const bool savedJumps = engine.JumpDetection();
  engine.SetJumpDetection(false);
  EquationImplicit f(engine, space, e.trees[2].get(), e.trees[4].get(), e.trees[5].get(), restriction);
  const TTraceStats stats =
      from ? TraceImplicitCurveFrom(f, settings, *from, sink) : TraceImplicitCurve(f, settings, sink, continued);
  engine.SetJumpDetection(savedJumps);
  engine.ClearEvaluationError();
  return stats;
}

}  // namespace kv
