#include "plotcore/model/revolution_sliders.h"

#include <cmath>

#include "formula/tokens.h"

namespace kv {

void StoreRevolutionSliders(TEquation& e, const TRevolutionRange& range) {
  e.values[6] = {100.0L * range.t2.parameter + range.t1.parameter, range.t1.value, range.t2.value};
  e.values[7] = {100.0L * range.a2.parameter + range.a1.parameter, range.a1.value, range.a2.value};
}

namespace {

// L = 100·a + b: the parameters of a range's upper (a) and lower (b) end;
// false for a value no such pair gives.
bool SplitEnds(long double l, int& a, int& b) {
  if (!std::isfinite(l) || std::fabs(l) > 1e6L) return false;
  a = static_cast<int>(std::lround(0.01L * l));
  b = static_cast<int>(std::lround(l - 100.0L * a));
  return true;
}

}  // namespace

int RevolutionBoundParameter(const TEquation& e, int bound) {
  if (bound < 0 || bound > 3) return 0;
  int a = 0, b = 0;
  if (!SplitEnds(e.values[bound % 2 == 0 ? 6 : 7].x, a, b)) return 0;
  const int p = bound < 2 ? b : a;
  return p > 0 && p < tok::kParameterCount ? p : 0;
}

void SetRevolutionBoundParameter(TEquation& e, int bound, int parameter) {
  if (bound < 0 || bound > 3) return;
  long double& l = e.values[bound % 2 == 0 ? 6 : 7].x;
  int a = 0, b = 0;
  if (!SplitEnds(l, a, b)) a = b = 0;
  (bound < 2 ? b : a) = parameter;
  l = 100.0L * a + b;
}

std::vector<TSliderCopy> RevolutionSliderCopies(const TEquation& e) {
  std::vector<TSliderCopy> out;
  for (const TPoint3D& block : {e.values[6], e.values[7]}) {
    int a = 0, b = 0;
    if (!SplitEnds(block.x, a, b)) continue;
    const long double lo = block.y, hi = block.z;
    if (b > 0 && b < tok::kParameterCount) out.push_back({b, lo, lo, hi});
    if (a > 0 && a < tok::kParameterCount) out.push_back({a, hi, lo, hi});
  }
  return out;
}

}  // namespace kv
