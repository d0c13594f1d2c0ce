#include "entry/model/numeric_integration.h"

#include <cmath>

#include "formula/calculus.h"
#include "formula/formula_engine.h"
#include "formula/tree_builders.h"
#include "plotcore/model/equation.h"

namespace kv {

namespace {

int CheckRange(long double a, long double b, std::int32_t n) {
  if (!std::isfinite(a) || !std::isfinite(b) || !(b > a)) return kIntegrationBadRange;
  if (n < 1 || n > kMaxIntegrationSteps) return kIntegrationOutOfBounds;
  return kIntegrationOk;
}

bool Stopped(const TQuadratureControl& c) { return c.stop && c.stop(); }

}  // namespace

int IntegrateNumerically(TFormulaEngine& engine, TExprNode* tree, int letter, long double a, long double b,
                         std::int32_t n, const TQuadratureControl& control, TSixSums& out) {
  out = TSixSums{};
  if (const int code = CheckRange(a, b, n)) return code;
  if (!tree) return kIntegrationUndefined;
  const long double h = (b - a) / n;
  long double x0 = a;
  long double f0 = 0;
  if (!engine.EvaluateAt(tree, letter, x0, f0)) return kIntegrationUndefined;
  std::array<long double, kSumCount> s{};
  int code = kIntegrationOk;
  std::int32_t k = 1;
  for (; k <= n; ++k) {
    // Stepping by h from a would miss b by the rounding of n additions.
    const long double x1 = k == n ? b : a + h * k;
    const long double m = (x0 + x1) / 2;
    const long double u = control.uniform ? control.uniform() : 0.5L;
    const long double r = x0 + (x1 - x0) * u;
    long double f1 = 0, fr = 0, fm = 0;
    if (!engine.EvaluateAt(tree, letter, x1, f1) || !engine.EvaluateAt(tree, letter, r, fr) ||
        !engine.EvaluateAt(tree, letter, m, fm)) {
      code = kIntegrationUndefined;
      break;
    }
    s[kSumLeft] += f0;
    s[kSumMidpoint] += fm;
    s[kSumRight] += f1;
    s[kSumTrapezoid] += f0 + f1;
    s[kSumSimpson] += f0 + 4 * fm + f1;
    s[kSumRandom] += fr;
    x0 = x1;
    f0 = f1;
    if (Stopped(control)) {
      code = kIntegrationStopped;
      ++k;
      break;
    }
  }
  if (code == kIntegrationUndefined) return code;
  out.steps = k - 1;
  for (int r : {kSumLeft, kSumMidpoint, kSumRight, kSumRandom}) out.value[r] = s[r] * h;
  out.value[kSumTrapezoid] = s[kSumTrapezoid] * h / 2;
  out.value[kSumSimpson] = s[kSumSimpson] * h / 6;
  return code;
}

namespace {

// The real value of the tree at `x` of the letter; false where it is
// undefined or not finite.
bool Sample(TFormulaEngine& engine, TExprNode* tree, int letter, long double x, long double& out) {
  return engine.EvaluateAt(tree, letter, x, out) && std::isfinite(out);
}

}  // namespace

int SimpsonIntegral(TFormulaEngine& engine, TExprNode* tree, int letter, const TSimpsonRange& range,
                    long double& result, const TStopPoll& stop) {
  result = 0;
  const long double a = range.lower;
  const long double b = range.upper;
  if (!std::isfinite(a) || !std::isfinite(b)) return kIntegrationBadRange;
  if (range.parts < 1 || range.parts > kMaxIntegrationSteps) return kIntegrationOutOfBounds;
  if (!tree) return kIntegrationUndefined;
  const std::int32_t n = range.parts;
  const long double h = (b - a) / static_cast<long double>(n);
  // An undefined end is sampled a hair inside the interval.
  const long double hair = (b - a) * 1e-9L;
  auto end = [&](long double x, long double inward, long double& v) {
    return Sample(engine, tree, letter, x, v) || Sample(engine, tree, letter, x + inward, v);
  };
  long double x0 = a;
  long double f0 = 0;
  if (!end(a, hair, f0)) return kIntegrationUndefined;
  long double sum = 0;
  for (std::int32_t k = 1; k <= n; ++k) {
    // From the start each time, so that rounding does not pile up.
    const long double x1 = k == n ? b : a + h * static_cast<long double>(k);
    long double fm = 0, f1 = 0;
    const bool ok = Sample(engine, tree, letter, (x0 + x1) / 2, fm) &&
                    (k == n ? end(b, -hair, f1) : Sample(engine, tree, letter, x1, f1));
    if (!ok) return kIntegrationUndefined;
    sum += f0 + 4 * fm + f1;
    x0 = x1;
    f0 = f1;
    if (stop && stop()) {
      result = sum * h / 6;
      return kIntegrationStopped;
    }
  }
  result = sum * h / 6;
  return kIntegrationOk;
}

int IteratedSimpsonIntegral(TFormulaEngine& engine, TExprNode* tree, int inner, const TSimpsonRange& innerRange,
                            int outer, const TSimpsonRange& outerRange, long double& result, const TStopPoll& stop) {
  result = 0;
  const long double a = outerRange.lower;
  const long double b = outerRange.upper;
  if (!std::isfinite(a) || !std::isfinite(b)) return kIntegrationBadRange;
  if (outerRange.parts < 1 || outerRange.parts > kMaxIntegrationSteps) return kIntegrationOutOfBounds;
  const std::int32_t n = outerRange.parts;
  const long double h = (b - a) / static_cast<long double>(n);
  auto innerAt = [&](long double y, long double& value) {
    engine.SetVariable(outer, y);
    return SimpsonIntegral(engine, tree, inner, innerRange, value, stop);
  };
  long double sum = 0, f0 = 0, fm = 0, f1 = 0;
  long double y0 = a;
  if (const int code = innerAt(y0, f0)) return code;
  for (std::int32_t k = 1; k <= n; ++k) {
    const long double y1 = k == n ? b : a + h * static_cast<long double>(k);
    int code = innerAt((y0 + y1) / 2, fm);
    if (code == kIntegrationOk) code = innerAt(y1, f1);
    if (code != kIntegrationOk) {
      if (code == kIntegrationStopped) result = sum * h / 6;
      return code;
    }
    sum += f0 + 4 * fm + f1;
    y0 = y1;
    f0 = f1;
    if (stop && stop()) {
      result = sum * h / 6;
      return kIntegrationStopped;
    }
  }
  result = sum * h / 6;
  return kIntegrationOk;
}

int CurveLetterOf(const TEquation& e) {
  if (e.kind == kKindExplicit) return 'X';
  if (e.kind == kKindParametric && e.arrowMode > 0 && e.arrowMode < tok::kVariableCount) return e.arrowMode;
  return 'T';
}

TreePtr BuildArcLengthIntegrand(const TEquation& e) {
  const TExprNode* dx = e.trees[4].get();
  const TExprNode* dy = e.trees[5].get();
  const TExprNode* dz = e.kind == kKindSpaceCurve ? e.trees[6].get() : nullptr;
  if (!dx || !dy || (e.kind == kKindSpaceCurve && !dz)) return nullptr;
  TreePtr t(BuildHypot3(dx, dy, dz));
  if (t) Simplify(t.get());
  return t;
}

}  // namespace kv
