#include "plot2d/model/guide_lines.h"

namespace kv {

std::array<int, 6> GuideStyleDigits(int code) {
  std::array<int, 6> d{};
  if (code <= 0) return d;
  for (int& digit : d) {
    digit = code % 4;
    code /= 4;
  }
  return d;
}

std::vector<TGuideLine> GuideLines(const TPoint2D& point, int code) {
  const std::array<int, 6> d = GuideStyleDigits(code);
  std::vector<TGuideLine> out;
  const struct {
    int piece;
    TPoint2D to;
  } pieces[] = {
      {kGuideToYAxis, {0, point.y}},
      {kGuideToXAxis, {point.x, 0}},
      {kGuideToOrigin, {0, 0}},
  };
  for (const auto& p : pieces)
    if (d[static_cast<std::size_t>(p.piece)] > 0) out.push_back({point, p.to, d[static_cast<std::size_t>(p.piece)]});
  return out;
}

}  // namespace kv
