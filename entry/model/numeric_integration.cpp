#include "entry/model/numeric_integration.h"

#include <algorithm>
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

// How a sample was taken.
enum class Took { Defined, Settled, LeftOut };

// Two values the integrand takes a hair and two hairs in agree so far that
// the first stands for the sample.
bool Settles(long double near, long double further) {
  return std::fabs(near - further) <= 1e-6L * std::max(1.0L, std::fabs(near));
}

// The one rule for the samples of an interval [a, b] (either order): a
// value where the integrand is defined and finite; else the value it
// settles to a hair (1e-9 of the interval) toward the middle; else none.
// `value(x, v)` is the integrand, false where it is undefined or not finite.
template <class Value>
Took TakeSample(const Value& value, long double a, long double b, long double x, long double& v) {
  if (value(x, v)) return Took::Defined;
  // The hair points from a toward b (either order): from the nearer end
  // inward.
  const long double hair = (b - a) * 1e-9L;
  const long double inward = std::fabs(x - a) <= std::fabs(b - x) ? hair : -hair;
  long double further = 0;
  if (value(x + inward, v) && value(x + 2 * inward, further) && Settles(v, further)) return Took::Settled;
  v = 0;
  return Took::LeftOut;
}

// The real value of the tree at `x` of the letter; false where it is
// undefined or not finite.
bool Sample(TFormulaEngine& engine, TExprNode* tree, int letter, long double x, long double& out) {
  return engine.EvaluateAt(tree, letter, x, out) && std::isfinite(out);
}

}  // namespace

int IntegrateNumerically(TFormulaEngine& engine, TExprNode* tree, int letter, long double a, long double b,
                         std::int32_t n, const TQuadratureControl& control, TSixSums& out) {
  out = TSixSums{};
  if (const int code = CheckRange(a, b, n)) return code;
  if (!tree) return kIntegrationUndefined;
  auto f = [&](long double x, long double& v) { return Sample(engine, tree, letter, x, v); };
  const long double h = (b - a) / n;
  bool anyDefined = false;
  auto take = [&](long double x, long double& v) {
    const Took t = TakeSample(f, a, b, x, v);
    if (t != Took::LeftOut) anyDefined = true;
    return t != Took::Defined;
  };
  long double x0 = a;
  long double f0 = 0;
  bool gap0 = take(x0, f0);
  std::array<long double, kSumCount> s{};
  std::array<bool, kSumCount> gaps{};
  int code = kIntegrationOk;
  std::int64_t k = 1;
  for (; k <= n; ++k) {
    // Stepping by h from a would miss b by the rounding of n additions.
    const long double x1 = k == n ? b : a + h * static_cast<long double>(k);
    const long double m = (x0 + x1) / 2;
    const long double u = control.uniform ? control.uniform() : 0.5L;
    const long double r = x0 + (x1 - x0) * u;
    long double f1 = 0, fr = 0, fm = 0;
    const bool gap1 = take(x1, f1);
    const bool gapR = take(r, fr);
    const bool gapM = take(m, fm);
    s[kSumLeft] += f0;
    s[kSumMidpoint] += fm;
    s[kSumRight] += f1;
    s[kSumTrapezoid] += f0 + f1;
    s[kSumSimpson] += f0 + 4 * fm + f1;
    s[kSumRandom] += fr;
    gaps[kSumLeft] = gaps[kSumLeft] || gap0;
    gaps[kSumMidpoint] = gaps[kSumMidpoint] || gapM;
    gaps[kSumRight] = gaps[kSumRight] || gap1;
    gaps[kSumTrapezoid] = gaps[kSumTrapezoid] || gap0 || gap1;
    gaps[kSumSimpson] = gaps[kSumSimpson] || gap0 || gapM || gap1;
    gaps[kSumRandom] = gaps[kSumRandom] || gapR;
    x0 = x1;
    f0 = f1;
    gap0 = gap1;
    if (Stopped(control)) {
      code = kIntegrationStopped;
      ++k;
      break;
    }
  }
  if (!anyDefined && code != kIntegrationStopped) return kIntegrationUndefined;
  out.steps = static_cast<std::int32_t>(k - 1);
  for (int r : {kSumLeft, kSumMidpoint, kSumRight, kSumRandom}) out.value[r] = s[r] * h;
  out.value[kSumTrapezoid] = s[kSumTrapezoid] * h / 2;
  out.value[kSumSimpson] = s[kSumSimpson] * h / 6;
  out.gaps = gaps;
  return code;
}

int SimpsonIntegral(TFormulaEngine& engine, TExprNode* tree, int letter, const TSimpsonRange& range,
                    long double& result, const TStopPoll& stop, bool* gaps) {
  result = 0;
  if (gaps) *gaps = false;
  const long double a = range.lower;
  const long double b = range.upper;
  if (!std::isfinite(a) || !std::isfinite(b)) return kIntegrationBadRange;
  if (range.parts < 1 || range.parts > kMaxIntegrationSteps) return kIntegrationOutOfBounds;
  if (!tree) return kIntegrationUndefined;
  auto f = [&](long double x, long double& v) { return Sample(engine, tree, letter, x, v); };
  const std::int32_t n = range.parts;
  const long double h = (b - a) / static_cast<long double>(n);
  bool anyDefined = false;
  bool met = false;
  auto take = [&](long double x, long double& v) {
    const Took t = TakeSample(f, a, b, x, v);
    anyDefined = anyDefined || t != Took::LeftOut;
    met = met || t != Took::Defined;
  };
  long double x0 = a;
  long double f0 = 0;
  take(a, f0);
  long double sum = 0;
  int code = kIntegrationOk;
  for (std::int64_t k = 1; k <= n; ++k) {
    // From the start each time, so that rounding does not pile up.
    const long double x1 = k == n ? b : a + h * static_cast<long double>(k);
    long double fm = 0, f1 = 0;
    take((x0 + x1) / 2, fm);
    take(x1, f1);
    sum += f0 + 4 * fm + f1;
    x0 = x1;
    f0 = f1;
    if (stop && stop()) {
      code = kIntegrationStopped;
      break;
    }
  }
  if (!anyDefined && code != kIntegrationStopped) return kIntegrationUndefined;
  result = sum * h / 6;
  if (gaps) *gaps = met;
  return code;
}

int IteratedSimpsonIntegral(TFormulaEngine& engine, TExprNode* tree, int inner, const TSimpsonRange& innerRange,
                            int outer, const TSimpsonRange& outerRange, long double& result, const TStopPoll& stop,
                            bool* gaps) {
  result = 0;
  if (gaps) *gaps = false;
  const long double a = outerRange.lower;
  const long double b = outerRange.upper;
  if (!std::isfinite(a) || !std::isfinite(b)) return kIntegrationBadRange;
  if (outerRange.parts < 1 || outerRange.parts > kMaxIntegrationSteps) return kIntegrationOutOfBounds;
  const std::int32_t n = outerRange.parts;
  const long double h = (b - a) / static_cast<long double>(n);
  bool met = false;
  bool anyDefined = false;
  // The inner integral at an outer value; a stop inside it ends everything.
  int innerCode = kIntegrationOk;
  auto innerAt = [&](long double y, long double& value) {
    if (innerCode == kIntegrationStopped) return false;
    engine.SetVariable(outer, y);
    bool innerGaps = false;
    innerCode = SimpsonIntegral(engine, tree, inner, innerRange, value, stop, &innerGaps);
    if (innerCode == kIntegrationOk) met = met || innerGaps;
    return innerCode == kIntegrationOk;
  };
  // A refused inner range is refused at once, not taken as a gap.
  auto take = [&](long double y, long double& value) {
    const Took t = TakeSample(innerAt, a, b, y, value);
    anyDefined = anyDefined || t != Took::LeftOut;
    met = met || t != Took::Defined;
    return innerCode != kIntegrationStopped && innerCode != kIntegrationBadRange &&
           innerCode != kIntegrationOutOfBounds;
  };
  long double sum = 0, f0 = 0, fm = 0, f1 = 0;
  long double y0 = a;
  int code = kIntegrationOk;
  if (!take(y0, f0)) return innerCode;
  for (std::int64_t k = 1; k <= n; ++k) {
    const long double y1 = k == n ? b : a + h * static_cast<long double>(k);
    if (!take((y0 + y1) / 2, fm) || !take(y1, f1)) {
      if (innerCode != kIntegrationStopped) return innerCode;
      code = kIntegrationStopped;
      break;
    }
    sum += f0 + 4 * fm + f1;
    y0 = y1;
    f0 = f1;
    if (stop && stop()) {
      code = kIntegrationStopped;
      break;
    }
  }
  if (!anyDefined && code != kIntegrationStopped) return kIntegrationUndefined;
  result = sum * h / 6;
  if (gaps) *gaps = met;
  return code;
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
