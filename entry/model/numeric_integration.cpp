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

namespace {

// The field's components with the curve's or surface's coordinates put in
// for X, Y and Z.
bool SubstituteCoordinates(const TEquation& field, const TEquation& path, int count, TreePtr out[3]) {
  const int tokens[3] = {LetterToken('X'), LetterToken('Y'), LetterToken('Z')};
  const TExprNode* coords[3] = {path.trees[0].get(), path.trees[1].get(), path.trees[2].get()};
  for (int k = 0; k < count; ++k)
    if (!coords[k] || !field.trees[static_cast<std::size_t>(k)]) return false;
  for (int k = 0; k < count; ++k)
    out[k].reset(CloneAndSubstituteAll(field.trees[static_cast<std::size_t>(k)].get(), tokens, coords, count));
  return true;
}

// r_t × r_u of three coordinate trees; false when a derivative fails.
bool NormalOf(const TExprNode* const r[3], TreePtr normal[3]) {
  TreePtr dt[3], du[3];
  for (int k = 0; k < 3; ++k) {
    if (!r[k] || !Differentiate(r[k], 'T', dt[k]) || !Differentiate(r[k], 'U', du[k])) return false;
  }
  const TExprNode* a[3] = {dt[0].get(), dt[1].get(), dt[2].get()};
  const TExprNode* b[3] = {du[0].get(), du[1].get(), du[2].get()};
  TExprNode* n[3] = {};
  BuildCrossProduct(n, a, b);
  for (int k = 0; k < 3; ++k) normal[k].reset(n[k]);
  return normal[0] && normal[1] && normal[2];
}

}  // namespace

TreePtr BuildLineIntegrand(const TEquation& field, const TEquation& curve) {
  const int count = curve.kind == kKindSpaceCurve ? 3 : 2;
  TreePtr f[3];
  if (!SubstituteCoordinates(field, curve, count, f)) return nullptr;
  const TExprNode* d[3] = {curve.trees[4].get(), curve.trees[5].get(), curve.trees[6].get()};
  for (int k = 0; k < count; ++k)
    if (!d[k]) return nullptr;
  TreePtr t;
  if (count == 2) {
    t.reset(BuildSumOfProducts(f[0].get(), d[0], f[1].get(), d[1]));
  } else {
    const TExprNode* a[3] = {f[0].get(), f[1].get(), f[2].get()};
    t.reset(BuildDotProduct3(a, d));
  }
  if (t) Simplify(t.get());
  return t;
}

TreePtr BuildFluxIntegrand(const TEquation& field, const TEquation& surface) {
  TreePtr f[3];
  if (!SubstituteCoordinates(field, surface, 3, f)) return nullptr;
  const TExprNode* r[3] = {surface.trees[0].get(), surface.trees[1].get(), surface.trees[2].get()};
  TreePtr normal[3];
  if (!NormalOf(r, normal)) return nullptr;
  const TExprNode* a[3] = {f[0].get(), f[1].get(), f[2].get()};
  const TExprNode* b[3] = {normal[0].get(), normal[1].get(), normal[2].get()};
  TreePtr t(BuildDotProduct3(a, b));
  if (t) Simplify(t.get());
  return t;
}

TreePtr BuildSurfaceAreaIntegrand(const TEquation& surface) {
  TreePtr normal[3];
  if (surface.kind == kKindSurface) {
    // (1, 0, f_x) × (0, 1, f_y) = (-f_x, -f_y, 1).
    if (!surface.trees[4] || !surface.trees[5]) return nullptr;
    TreePtr one(NewNumberNode(TComplex(1)));
    TreePtr zero(NewNumberNode(TComplex(0)));
    const TExprNode* a[3] = {one.get(), zero.get(), surface.trees[4].get()};
    const TExprNode* b[3] = {zero.get(), one.get(), surface.trees[5].get()};
    TExprNode* n[3] = {};
    BuildCrossProduct(n, a, b);
    for (int k = 0; k < 3; ++k) normal[k].reset(n[k]);
  } else {
    const TExprNode* r[3] = {surface.trees[0].get(), surface.trees[1].get(), surface.trees[2].get()};
    if (!NormalOf(r, normal)) return nullptr;
  }
  if (!normal[0] || !normal[1] || !normal[2]) return nullptr;
  TreePtr t(BuildHypot3(normal[0].get(), normal[1].get(), normal[2].get()));
  if (t) Simplify(t.get());
  return t;
}

}  // namespace kv
