#include "plotcore/model/revolution_sliders.h"

#include <cmath>

#include "formula/tokens.h"

namespace kv {

void StoreRevolutionSliders(TEquation& e, const TRevolutionRange& range) {
  e.values[6] = {100.0L * range.t2.parameter + range.t1.parameter, range.t1.value, range.t2.value};
  e.values[7] = {100.0L * range.a2.parameter + range.a1.parameter, range.a1.value, range.a2.value};
}

std::vector<TSliderCopy> RevolutionSliderCopies(const TEquation& e) {
  std::vector<TSliderCopy> out;
  for (const TPoint3D& block : {e.values[6], e.values[7]}) {
    const long double l = block.x;
    if (!std::isfinite(l) || std::fabs(l) > 1e6L) continue;
    const int a = static_cast<int>(std::lround(0.01L * l));
    const int b = static_cast<int>(std::lround(l - 100.0L * a));
    const long double lo = block.y, hi = block.z;
    if (b > 0 && b < tok::kParameterCount) out.push_back({b, lo, lo, hi});
    if (a > 0 && a < tok::kParameterCount) out.push_back({a, hi, lo, hi});
  }
  return out;
}

}  // namespace kv
