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

int SimpsonIntegral(TFormulaEngine& engine, TExprNode* tree, int letter, std::int32_t n, long double a,
                    long double b, const TQuadratureControl& control, long double& result) {
  result = 0;
  if (const int code = CheckRange(a, b, n)) return code;
  if (!tree) return kIntegrationUndefined;
  const long double h = (b - a) / n;
  long double x0 = a;
  long double f0 = 0;
  if (!engine.EvaluateAt(tree, letter, x0, f0)) return kIntegrationUndefined;
  long double sum = 0;
  for (std::int32_t k = 1; k <= n; ++k) {
    const long double x1 = k == n ? b : a + h * k;
    long double fm = 0, f1 = 0;
    if (!engine.EvaluateAt(tree, letter, (x0 + x1) / 2, fm) || !engine.EvaluateAt(tree, letter, x1, f1))
      return kIntegrationUndefined;
    sum += f0 + 4 * fm + f1;
    x0 = x1;
    f0 = f1;
    if (Stopped(control)) {
      result = sum * h / 6;
      return kIntegrationStopped;
    }
  }
  result = sum * h / 6;
  return kIntegrationOk;
}

int SumAlongCurve(TFormulaEngine& engine, TExprNode* tree, int innerLetter, int outerLetter, std::int32_t nInner,
                  std::int32_t nOuter, long double aInner, long double bInner, long double aOuter,
                  long double bOuter, const TQuadratureControl& control, long double& result) {
  result = 0;
  if (const int code = CheckRange(aOuter, bOuter, nOuter)) return code;
  if (const int code = CheckRange(aInner, bInner, nInner)) return code;
  const long double h = (bOuter - aOuter) / nOuter;
  auto inner = [&](long double at, long double& value) {
    engine.SetVariable(outerLetter, at);
    return SimpsonIntegral(engine, tree, innerLetter, nInner, aInner, bInner, control, value);
  };
  long double x0 = aOuter;
  long double f0 = 0;
  if (const int code = inner(x0, f0)) return code;
  long double sum = 0;
  for (std::int32_t k = 1; k <= nOuter; ++k) {
    const long double x1 = k == nOuter ? bOuter : aOuter + h * k;
    long double fm = 0, f1 = 0;
    int code = inner((x0 + x1) / 2, fm);
    if (code == kIntegrationOk) code = inner(x1, f1);
    if (code != kIntegrationOk) {
      if (code == kIntegrationStopped) result = sum * h / 6;
      return code;
    }
    sum += f0 + 4 * fm + f1;
    x0 = x1;
    f0 = f1;
    if (Stopped(control)) {
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
