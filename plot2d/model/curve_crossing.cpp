#include "plot2d/model/curve_crossing.h"

#include <algorithm>
#include <cmath>

#include "formula/tokens.h"

namespace kv {

namespace {

constexpr long double kOnCurve = 1e-16L;

}  // namespace

CrossingResult RefineCurveCrossing(TEquation& path, TEquationItem& item, TEquation& curve, TFormulaEngine& engine,
                                   const TTrajectoryView& view, TPoint3D& end) {
  TExprNode* f = curve.trees[2].get();
  const TComplex savedX = engine.Variable(tok::X);
  const TComplex savedY = engine.Variable(tok::Y);
  const TComplex savedZ = engine.Variable(tok::Z);
  const long double savedSteps = item.stepLimit;
  const long double savedStep = item.paramEnd;
  auto restore = [&](CrossingResult r) {
    item.stepLimit = savedSteps;
    item.paramEnd = savedStep;
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
  // Runs `duration` from the item's start in steps no longer than the
  // item's own and no more of them than it has.
  const long double h0 = savedStep != 0 && std::isfinite(static_cast<double>(savedStep))
                             ? savedStep
                             : view.defaultStep * (item.direction < 0 ? -1 : 1);
  const long maxSteps = savedSteps > 0 ? static_cast<long>(std::min<long double>(savedSteps, kMaxTrajectorySteps)) : 0;
  if (maxSteps <= 0) return restore(kCrossingFailed);
  auto run = [&](long double duration, TPoint3D& p) {
    const long steps = std::clamp<long>(static_cast<long>(std::ceil(std::fabs(duration / h0))), 1, maxSteps);
    item.stepLimit = static_cast<long double>(steps);
    item.paramEnd = duration / steps;
    bool finished = false;
    p = item.start;
    const long made = RunTrajectory(path, engine, item, view, nullptr, finished, &p);
    return made == steps || finished;
  };

  long double f0 = 0, fe = 0;
  if (!value(item.start, f0)) return restore(kCrossingFailed);
  const bool startOnCurve = std::fabs(f0) < kOnCurve;
  const bool s0 = f0 > 0;
  long double duration = h0 * maxSteps;
  if (!run(duration, end) || !value(end, fe)) return restore(kCrossingFailed);
  if (std::fabs(fe) < kOnCurve) {
    item.start = end;
    item.paramStart += duration;
    return restore(kCrossingRefined);
  }
  if ((fe > 0) == s0) return restore(startOnCurve ? kCrossingStartOnCurve : kCrossingNoSignChange);
  for (int round = 0; round < 101; ++round) {
    duration /= 2;
    TPoint3D p;
    long double fp = 0;
    if (!run(duration, p) || !value(p, fp)) return restore(kCrossingFailed);
    end = p;
    if (std::fabs(fp) < kOnCurve) {
      item.start = p;
      item.paramStart += duration;
      break;
    }
    if ((fp > 0) == s0) {
      // The crossing lies beyond p.
      item.start = p;
      item.paramStart += duration;
    }
  }
  return restore(kCrossingRefined);
}

}  // namespace kv
