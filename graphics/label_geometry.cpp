#include "graphics/label_geometry.h"

#include <algorithm>
#include <cmath>

#include "shell/text_helpers.h"

namespace kv {

namespace {

// Radians per tenth of a degree, as the hit test has always used it.
constexpr long double kRadiansPerTenth = 0.00174533L;

long long Dot(plat::Point a, plat::Point b) {
  return static_cast<long long>(a.x) * b.x + static_cast<long long>(a.y) * b.y;
}

int Rounded(long double v) { return static_cast<int>(std::lround(v)); }

}  // namespace

TTurnedBox TurnBox(plat::Size size, int tenths) {
  const long double a = tenths * kRadiansPerTenth;
  const long double c = std::cos(a);
  const long double s = std::sin(a);
  // Device y runs downwards, so a counter-clockwise turn lifts u.
  return {{Rounded(size.cx * c), -Rounded(size.cx * s)}, {Rounded(size.cy * s), Rounded(size.cy * c)}};
}

bool InsideTurnedBox(plat::Point offset, plat::Size size, int tenths) {
  if (tenths == 0) return offset.x > 0 && offset.x < size.cx && offset.y > 0 && offset.y < size.cy;
  const TTurnedBox b = TurnBox(size, tenths);
  const long long ou = Dot(offset, b.u);
  const long long ov = Dot(offset, b.v);
  return ou > 0 && ou < Dot(b.u, b.u) && ov > 0 && ov < Dot(b.v, b.v);
}

std::array<plat::Point, 4> TurnedBoxCorners(plat::Point p, plat::Size size, int tenths) {
  const TTurnedBox b = TurnBox(size, tenths);
  return {p, plat::Point{p.x + b.u.x, p.y + b.u.y}, plat::Point{p.x + b.u.x + b.v.x, p.y + b.u.y + b.v.y},
          plat::Point{p.x + b.v.x, p.y + b.v.y}};
}

std::int32_t LabelAngleFromDegrees(long long degrees) {
  // Whole turns go first, so that neither the sign nor the factor ten can
  // take the angle out of its range.
  long long t = (degrees % 360) * 10;
  if (t < 0) t += 3600;
  return static_cast<std::int32_t>(t % 3600);
}

plat::Rect MetafileFrame(const plat::DeviceCaps& caps, int width, int height, int scale) {
  const int horzRes = caps.horzRes > 0 ? caps.horzRes : 1;
  const int vertRes = caps.vertRes > 0 ? caps.vertRes : 1;
  const long double sx = static_cast<long double>(caps.horzSizeMm) * scale * 100 / horzRes;
  const long double sy = static_cast<long double>(caps.vertSizeMm) * scale * 100 / vertRes;
  return {0, 0, RoundToInt(width * sx), RoundToInt(height * sy)};
}

plat::Size PictureNaturalSize(const plat::Rect& frame, const plat::DeviceCaps& caps) {
  const long long mmX = caps.horzSizeMm > 0 ? caps.horzSizeMm : 1;
  const long long mmY = caps.vertSizeMm > 0 ? caps.vertSizeMm : 1;
  const long long w = static_cast<long long>(frame.right - frame.left) * caps.horzRes / (mmX * 100);
  const long long h = static_cast<long long>(frame.bottom - frame.top) * caps.vertRes / (mmY * 100);
  constexpr long long kLargest = 1 << 20;
  return {static_cast<int>(std::clamp<long long>(w, 1, kLargest)),
          static_cast<int>(std::clamp<long long>(h, 1, kLargest))};
}

plat::Size FitPictureAt(plat::Size natural, plat::Point at, int clientWidth, int clientHeight) {
  long double w = std::max(natural.cx, 1);
  long double h = std::max(natural.cy, 1);
  const int roomX = std::max(clientWidth - at.x, 1);
  const int roomY = std::max(clientHeight - at.y, 1);
  if (w > roomX) {
    h = RoundToInt(h * roomX / w);
    w = roomX;
  }
  if (h > roomY) {
    w = RoundToInt(w * roomY / h);
    h = roomY;
  }
  return {std::max(static_cast<int>(w), 1), std::max(static_cast<int>(h), 1)};
}

}  // namespace kv
