#include "plot2d/model/curve_crossing.h"

#include <algorithm>
#include <cmath>

#include "formula/tokens.h"

namespace kv {

namespace {

constexpr long double kOnCurve = 1e-16L;

}  // namespace

CrossingResult RefineCrossingAlong(TCrossingPath& path, long double duration, TExprNode* f, TFormulaEngine& engine,
                                   TPoint3D& end) {
  const TComplex savedX = engine.Variable(tok::X);
  const TComplex savedY = engine.Variable(tok::Y);
  const TComplex savedZ = engine.Variable(tok::Z);
  auto restore = [&](CrossingResult r) {
    engine.SetComplexVariable(tok::X, savedX);
    engine.SetComplexVariable(tok::Y, savedY);
    engine.SetComplexVariable(tok::Z, savedZ);
    return r;
  };
  auto value = [&](const TPoint3D& p, long double& v) {
    if (!f) return false;
    engine.SetPoint(p.x, p.y);
    if (!engine.Evaluate(f)) return false;
    v = f->value.re;
    return std::isfinite(static_cast<double>(v));
  };
  long double f0 = 0, fe = 0;
  if (!value(path.Start(), f0)) return restore(kCrossingFailed);
  const bool startOnCurve = std::fabs(f0) < kOnCurve;
  const bool s0 = f0 > 0;
  if (!path.Run(duration, end) || !value(end, fe)) return restore(kCrossingFailed);
  if (std::fabs(fe) < kOnCurve) {
    path.Advance(duration, end);
    return restore(kCrossingRefined);
  }
  if ((fe > 0) == s0) return restore(startOnCurve ? kCrossingStartOnCurve : kCrossingNoSignChange);
  for (int round = 0; round < 101; ++round) {
    duration /= 2;
    TPoint3D p;
    long double fp = 0;
    if (!path.Run(duration, p) || !value(p, fp)) return restore(kCrossingFailed);
    if (std::fabs(fp) < kOnCurve) {
      path.Advance(duration, p);
      break;
    }
    // The crossing lies beyond p.
    if ((fp > 0) == s0) path.Advance(duration, p);
  }
  return restore(kCrossingRefined);
}

CrossingResult RefineCurveCrossing(TEquation& path, TEquationItem& item, TEquation& curve, TFormulaEngine& engine,
                                   const TTrajectoryView& view, TPoint3D& end) {
  const long double savedSteps = item.stepLimit;
  const long double savedStep = item.paramEnd;
  // Runs from the item's start in steps no longer than the item's own and
  // no more of them than it has.
  const long double h0 = savedStep != 0 && std::isfinite(static_cast<double>(savedStep))
                             ? savedStep
                             : view.defaultStep * (item.direction < 0 ? -1 : 1);
  const long maxSteps = savedSteps > 0 ? static_cast<long>(std::min<long double>(savedSteps, kMaxTrajectorySteps)) : 0;
  if (maxSteps <= 0) return kCrossingFailed;
  class Trajectory : public TCrossingPath {
   public:
    Trajectory(TEquation& path, TEquationItem& item, TFormulaEngine& engine, const TTrajectoryView& view,
               long double h0, long maxSteps)
        : path_(path), item_(item), engine_(engine), view_(view), h0_(h0), maxSteps_(maxSteps) {}
    TPoint3D Start() const override { return item_.start; }
    bool Run(long double duration, TPoint3D& p) override {
      const long steps = std::clamp<long>(static_cast<long>(std::ceil(std::fabs(duration / h0_))), 1, maxSteps_);
      item_.stepLimit = static_cast<long double>(steps);
      item_.paramEnd = duration / steps;
      bool finished = false;
      p = item_.start;
      const long made = RunTrajectory(path_, engine_, item_, view_, nullptr, finished, &p);
      return made == steps || finished;
    }
    void Advance(long double duration, const TPoint3D& p) override {
      item_.start = p;
      item_.paramStart += duration;
    }

   private:
    TEquation& path_;
    TEquationItem& item_;
    TFormulaEngine& engine_;
    const TTrajectoryView& view_;
    long double h0_;
    long maxSteps_;
  } trajectory(path, item, engine, view, h0, maxSteps);
  const CrossingResult r = RefineCrossingAlong(trajectory, h0 * maxSteps, curve.trees[2].get(), engine, end);
  item.stepLimit = savedSteps;
  item.paramEnd = savedStep;
  return r;
}

}  // namespace kv
