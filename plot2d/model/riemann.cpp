#include "plot2d/model/riemann.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "formula/calculus.h"
#include "formula/formula_engine.h"
#include "formula/tree_builders.h"
#include "plotcore/model/equation.h"

namespace kv {

TreePtr BuildDifferenceIntegrand(const TExprNode* f, const TExprNode* g) {
  if (!f) return nullptr;
  if (!g) return TreePtr(CloneTree(f));
  return TreePtr(BuildBinary(tok::Minus, f, g));
}

int RiemannSums(TFormulaEngine& engine, const TExprNode* f, const TExprNode* g, long double a, long double b,
                std::int32_t n, const TQuadratureControl& control, TSixSums& out) {
  out = TSixSums{};
  TreePtr integrand = BuildDifferenceIntegrand(f, g);
  if (!integrand) return kIntegrationUndefined;
  return IntegrateNumerically(engine, integrand.get(), 'X', a, b, n, control, out);
}

int ComputeStrips(TFormulaEngine& engine, TExprNode* f, TExprNode* g, long double a, long double b,
                  std::int32_t n, int widthPixels, const TQuadratureControl& control, std::vector<TStrip>& strips) {
  strips.clear();
  if (!std::isfinite(a) || !std::isfinite(b) || !(b > a)) return kIntegrationBadRange;
  if (n < 1 || n > kMaxIntegrationSteps) return kIntegrationOutOfBounds;
  if (!f) return kIntegrationUndefined;
  // Strips narrower than 4 pixels would merge into a smear.
  if (widthPixels < 4 * static_cast<long long>(n)) n = std::max(1, widthPixels / 4);
  // An undefined sample is NaN: it keeps its own strip (and the strip on
  // the other side of an edge) from being drawn, and no other.
  auto at = [&](TExprNode* t, long double x) {
    long double v = 0;
    if (t && !engine.EvaluateAt(t, 'X', x, v)) return std::numeric_limits<long double>::quiet_NaN();
    return v;
  };
  const long double dx = (b - a) / n;
  strips.reserve(static_cast<std::size_t>(n));
  TStrip s;
  s.xLeft = a;
  s.fLeft = at(f, a);
  s.gLeft = at(g, a);
  for (std::int32_t k = 1; k <= n; ++k) {
    s.xRight = k == n ? b : a + dx * k;
    s.xMid = (s.xLeft + s.xRight) * 0.5L;
    const long double u = control.uniform ? control.uniform() : 0.5L;
    s.xRandom = s.xLeft + (s.xRight - s.xLeft) * u;
    s.fRight = at(f, s.xRight);
    s.fRandom = at(f, s.xRandom);
    s.fMid = at(f, s.xMid);
    s.gRight = at(g, s.xRight);
    s.gRandom = at(g, s.xRandom);
    s.gMid = at(g, s.xMid);
    strips.push_back(s);
    if (control.stop && control.stop()) return kIntegrationStopped;
    s.xLeft = s.xRight;
    s.fLeft = s.fRight;
    s.gLeft = s.gRight;
  }
  return kIntegrationOk;
}

TStripEdges StripEdges(const TStrip& s, int rule) {
  switch (rule) {
    case kStripLeft:
      return {s.fLeft, s.fLeft, s.gLeft, s.gLeft};
    case kStripMidpoint:
      return {s.fMid, s.fMid, s.gMid, s.gMid};
    case kStripRight:
      return {s.fRight, s.fRight, s.gRight, s.gRight};
    case kStripRandom:
      return {s.fRandom, s.fRandom, s.gRandom, s.gRandom};
    default:
      return {s.fLeft, s.fRight, s.gLeft, s.gRight};
  }
}

bool StripDefined(const TStrip& s, int rule) {
  const TStripEdges e = StripEdges(s, rule);
  bool defined = std::isfinite(e.topLeft) && std::isfinite(e.topRight) && std::isfinite(e.bottomLeft) &&
                 std::isfinite(e.bottomRight);
  if (rule == kStripParabola) defined = defined && std::isfinite(s.fMid) && std::isfinite(s.gMid);
  return defined;
}

long double StripParabola(const TStrip& s, long double x, bool bottom) {
  const long double yL = bottom ? s.gLeft : s.fLeft;
  const long double yM = bottom ? s.gMid : s.fMid;
  const long double yR = bottom ? s.gRight : s.fRight;
  const long double w = s.xRight - s.xLeft;
  if (!(w > 0)) return yM;
  const long double A = 2 * (yR + yL - 2 * yM) / (w * w);
  const long double B = (yR - yL) / w;
  const long double d = x - s.xMid;
  return yM + d * (B + A * d);
}

long double StripArea(const TStrip& s, int rule) {
  const long double w = s.xRight - s.xLeft;
  if (rule == kStripParabola)
    return w * ((s.fLeft + 4 * s.fMid + s.fRight) - (s.gLeft + 4 * s.gMid + s.gRight)) / 6;
  const TStripEdges e = StripEdges(s, rule);
  return w * ((e.topLeft - e.bottomLeft) + (e.topRight - e.bottomRight)) / 2;
}

bool BuildAntiderivativeTrees(TEquation& entry, const TEquation& f, const TEquation* g) {
  if (!f.trees[1] || (g && !g->trees[1])) return false;
  TreePtr tree = BuildDifferenceIntegrand(f.trees[1].get(), g ? g->trees[1].get() : nullptr);
  if (!tree) return false;
  const bool bounded = f.bounded || (g && g->bounded);
  long double lower = entry.lowerBound.x;
  long double upper = entry.upperBound.x;
  if (bounded) {
    // The graph exists where both sources do: their intervals narrow its
    // own, never widen it.
    lower = std::max(lower, f.lowerBound.x);
    upper = std::min(upper, f.upperBound.x);
    if (g) {
      lower = std::max(lower, g->lowerBound.x);
      upper = std::min(upper, g->upperBound.x);
    }
    if (upper < lower) return false;
  }
  entry.trees[1] = std::move(tree);
  entry.lowerBound.x = lower;
  entry.upperBound.x = upper;
  entry.bounded = bounded ? 1 : 0;
  return true;
}

void RunningIntegral(TFormulaEngine& engine, TExprNode* tree, long double x0, long double to, long double h,
                     std::size_t maxPoints, std::vector<TPoint2D>& points) {
  points.clear();
  if (!tree || !(h > 0) || !std::isfinite(x0) || !std::isfinite(to) || maxPoints == 0) return;
  const long double step = to >= x0 ? h : -h;
  auto value = [&](long double x) {
    long double v = 0;
    return engine.EvaluateAt(tree, 'X', x, v) && std::isfinite(v) ? v : 0.0L;
  };
  long double x = x0;
  long double area = 0;
  long double fOld = value(x);
  points.push_back({x, area});
  for (std::size_t k = 1; points.size() < maxPoints; ++k) {
    if (step > 0 ? x >= to : x <= to) break;
    // Counting steps keeps the abscissae free of accumulated rounding.
    const long double next = x0 + step * static_cast<long double>(k);
    const long double fNew = value(next);
    area += (fOld + fNew) * step * 0.5L;
    fOld = fNew;
    x = next;
    points.push_back({x, area});
  }
}

}  // namespace kv
