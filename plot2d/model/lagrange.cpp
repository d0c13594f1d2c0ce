#include "plot2d/model/lagrange.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "core/number_text.h"

namespace kv {

int SolveInterpolation(const TPoint2D* nodes, int count, long double* c) {
  if (count < 1) return 14;
  std::vector<long double> a(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) a[static_cast<std::size_t>(i)] = nodes[i].y;
  // Divided differences in place: a[i] = f[x0..xi].
  for (int j = 1; j < count; ++j) {
    for (int i = count - 1; i >= j; --i) {
      const long double dx = nodes[i].x - nodes[i - j].x;
      if (dx == 0) return 14;
      a[static_cast<std::size_t>(i)] = (a[static_cast<std::size_t>(i)] - a[static_cast<std::size_t>(i - 1)]) / dx;
    }
  }
  // Newton form into powers: p = a[n]; p = p·(x - x_k) + a[k] for k down to 0.
  std::vector<long double> p(static_cast<std::size_t>(count), 0.0L);
  p[0] = a[static_cast<std::size_t>(count - 1)];
  for (int k = count - 2; k >= 0; --k) {
    const long double xk = nodes[k].x;
    for (int m = count - 1; m >= 1; --m) p[static_cast<std::size_t>(m)] = p[static_cast<std::size_t>(m - 1)] - xk * p[static_cast<std::size_t>(m)];
    p[0] = a[static_cast<std::size_t>(k)] - xk * p[0];
  }
  for (long double v : p)
    if (!std::isfinite(v)) return 14;
  std::copy(p.begin(), p.end(), c);
  return 0;
}

int LagrangeLastNode(const TEquation& e) { return std::clamp<int>(e.arrowMode, 0, kMaxLagrangeNodes - 1); }

int LagrangeNodes(const TEquation& e, TPoint2D nodes[kMaxLagrangeNodes]) {
  const int n = std::min<int>(LagrangeLastNode(e), static_cast<int>(e.samples.size()) - 1);
  for (int k = 0; k <= n; ++k) nodes[k] = {e.samples[static_cast<std::size_t>(k)].x, e.samples[static_cast<std::size_t>(k)].y};
  return n;
}

int SolveLagrangeNodes(TEquation& e) {
  if (e.samples.size() < kMaxLagrangeNodes) e.samples.resize(kMaxLagrangeNodes);
  if (e.cellDepths.size() < kMaxLagrangeNodes) e.cellDepths.resize(kMaxLagrangeNodes, 0.0L);
  TPoint2D nodes[kMaxLagrangeNodes];
  const int n = LagrangeNodes(e, nodes);
  long double c[kMaxLagrangeNodes] = {};
  const int code = SolveInterpolation(nodes, n + 1, c);
  if (code != 0) return code;
  for (int j = 0; j < kMaxLagrangeNodes; ++j) e.cellDepths[static_cast<std::size_t>(j)] = c[j];
  return 0;
}

int FindLagrangeNode(const TEquation& e, const TPoint2D& p, long double unitX, long double unitY) {
  TPoint2D nodes[kMaxLagrangeNodes];
  const int n = LagrangeNodes(e, nodes);
  for (int k = 0; k <= n; ++k)
    if (std::fabs(p.x - nodes[k].x) < 4 * unitX && std::fabs(p.y - nodes[k].y) < 4 * unitY) return k;
  return -1;
}

int EditLagrangeNode(TEquation& e, int k, TNodeAction action, const TPoint2D& p) {
  if (e.samples.size() < kMaxLagrangeNodes) e.samples.resize(kMaxLagrangeNodes);
  int n = LagrangeLastNode(e);
  if (action == TNodeAction::Set) {
    if (k < 0) {
      if (n >= kMaxLagrangeNodes - 1) return 4;  // "kein Platz mehr"
      k = ++n;
    }
    e.samples[static_cast<std::size_t>(k)] = {p.x, p.y, 0};
  } else {
    if (k < 0 || k > n) return 10;             // "nichts zu zeigen"
    if (n + 1 <= kMinLagrangeNodes) return 26;  // two nodes must stay
    for (int m = k; m < n; ++m) e.samples[static_cast<std::size_t>(m)] = e.samples[static_cast<std::size_t>(m + 1)];
    e.samples[static_cast<std::size_t>(n)] = TPoint3D{};
    --n;
  }
  e.arrowMode = static_cast<std::int16_t>(n);
  return 0;
}

std::string LagrangeCoefficientText(const TEquation& e) {
  std::string text;
  const int n = LagrangeLastNode(e);
  for (int i = 0; i <= n; ++i) {
    const long double c = static_cast<std::size_t>(i) < e.cellDepths.size() ? e.cellDepths[static_cast<std::size_t>(i)] : 0;
    text += "x^" + std::to_string(i) + " :  " + FormatNumber(c, 18, 16) + "\r\n";
  }
  return text;
}

}  // namespace kv
