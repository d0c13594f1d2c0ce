#include "graphics/view_mapping.h"

#include <algorithm>
#include <cmath>

#include "core/constants.h"

namespace kv {

void TViewMapping::SetDrawingArea(int width, int height, int originX, int originY) {
  width_ = std::max(width, 2);
  height_ = std::max(height, 2);
  originX_ = originX;
  originY_ = originY;
}

void TViewMapping::ComputeView() {
  const long double w = width_;
  const long double h = height_;
  if (ViewMode == 0) {
    HalfY = HalfX * Aspect * h / w;
    World.xmin = Centre.x - HalfX;
    World.xmax = Centre.x + HalfX;
    World.ymin = Centre.y - HalfY;
    World.ymax = Centre.y + HalfY;
  } else {
    long double dx = World.xmax - World.xmin;
    // A rectangle without width keeps the old aspect instead of dividing by 0.
    if (std::fabs(dx) > kTolerance) Aspect = ((World.ymax - World.ymin) * w) / (h * dx);
    Centre.x = (World.xmin + World.xmax) / 2;
    Centre.y = (World.ymin + World.ymax) / 2;
    HalfX = dx / 2;
    HalfY = (World.ymax - World.ymin) / 2;
  }
  UpdateScale();
}

void TViewMapping::UpdateScale() {
  UnitsPerPixelX = 2 * HalfX / (width_ - 1);
  UnitsPerPixelY = 2 * HalfY / (height_ - 1);
  // A view without extent maps everything onto its first pixel.
  PixelsPerUnitX = UnitsPerPixelX != 0 ? 1 / UnitsPerPixelX : 0;
  PixelsPerUnitY = UnitsPerPixelY != 0 ? 1 / UnitsPerPixelY : 0;
}

bool TViewMapping::WorldToPixelXChecked(long double x, int& out) const {
  long double v = (x - World.xmin) * PixelsPerUnitX;
  bool inside = true;
  if (v > width_) {
    v = width_ + 1;
    inside = false;
  } else if (v < 0) {
    v = -1;
    inside = false;
  }
  out = RoundToInt(v) + originX_;
  return inside;
}

bool TViewMapping::WorldToPixelYChecked(long double y, int& out) const {
  long double v = (World.ymax - y) * PixelsPerUnitY;
  bool inside = true;
  if (v > height_) {
    v = height_ + 1;
    inside = false;
  } else if (v < 0) {
    v = -1;
    inside = false;
  }
  out = RoundToInt(v) + originY_;
  return inside;
}

void TViewMapping::WorldRectToPixelRect(const TSegment2D& world, plat::Rect& out) const {
  out.left = std::max(WorldToPixelX(world.xmin), originX_);
  out.right = std::min(WorldToPixelX(world.xmax), originX_ + width_);
  out.top = std::max(WorldToPixelY(world.ymax), originY_);
  out.bottom = std::min(WorldToPixelY(world.ymin), originY_ + height_);
}

void TViewMapping::PixelRectToWorldRect(const plat::Rect& device, TSegment2D& out) const {
  out.xmin = PixelToWorldX(device.left);
  out.xmax = PixelToWorldX(device.right);
  out.ymin = PixelToWorldY(device.bottom);
  out.ymax = PixelToWorldY(device.top);
}

bool TViewMapping::IsInView(const TPoint2D& p) const {
  const TSegment2D& r = UseAlternate ? Alternate : World;
  return PointInBox2D(p, r.xmin, r.xmax, r.ymin, r.ymax);
}

bool TViewMapping::ClipSegmentToView(TPoint2D& p1, TPoint2D& p2) const {
  if (IsInView(p1) && IsInView(p2)) return true;
  return ClipSegmentToRect(World.xmin + UnitsPerPixelX, World.xmax - UnitsPerPixelX, World.ymin + UnitsPerPixelY,
                           World.ymax - UnitsPerPixelY, p1, p2, false);
}

TViewMapping::TFastPixels::TFastPixels(const TViewMapping& view)
    : view_(view),
      xmin_(view.World.xmin),
      ymax_(view.World.ymax),
      sx_(static_cast<double>(view.PixelsPerUnitX)),
      sy_(static_cast<double>(view.PixelsPerUnitY)),
      width_(view.width_),
      height_(view.height_),
      originX_(view.originX_),
      originY_(view.originY_) {
  const TSegment2D& box = view.UseAlternate ? view.Alternate : view.World;
  bx0_ = static_cast<double>(box.xmin - xmin_) * sx_;
  bx1_ = static_cast<double>(box.xmax - xmin_) * sx_;
  by0_ = static_cast<double>(ymax_ - box.ymax) * sy_;
  by1_ = static_cast<double>(ymax_ - box.ymin) * sy_;
  const TSegment2D& w = view.World;
  const long double clipX0 = w.xmin + view.UnitsPerPixelX;
  const long double clipX1 = w.xmax - view.UnitsPerPixelX;
  const long double clipY0 = w.ymin + view.UnitsPerPixelY;
  const long double clipY1 = w.ymax - view.UnitsPerPixelY;
  cx0_ = static_cast<double>(clipX0 - xmin_) * sx_;
  cx1_ = static_cast<double>(clipX1 - xmin_) * sx_;
  cy0_ = static_cast<double>(ymax_ - clipY1) * sy_;
  cy1_ = static_cast<double>(ymax_ - clipY0) * sy_;
  // The clipping allows 1e-15 of the rectangle's coordinates where a line
  // meets an edge; far more than that, and than any rounding, keeps a step
  // that stays beyond an edge from reaching the rectangle.
  clipSlack_ = 1e-6 + 2e-15 * ((std::fabs(static_cast<double>(clipX0)) + std::fabs(static_cast<double>(clipX1))) * sx_ +
                               (std::fabs(static_cast<double>(clipY0)) + std::fabs(static_cast<double>(clipY1))) * sy_);
  // Offsets of at most 2^21 pixels keep the double values within 1e-9 of a
  // pixel of the exact ones, far inside the slack.
  constexpr double kRange = 2097152;
  auto small = [kRange](double v) { return std::fabs(v) <= kRange; };
  fast_ = sx_ > 0 && sy_ > 0 && std::isfinite(sx_) && std::isfinite(sy_) && std::isfinite(xmin_) &&
          std::isfinite(ymax_) && width_ <= kRange && height_ <= kRange && small(bx0_) && small(bx1_) &&
          small(by0_) && small(by1_) && small(cx0_) && small(cx1_) && small(cy0_) && small(cy1_) &&
          std::isfinite(clipSlack_);
}

namespace {

// Relative rounding allowed where a clipped line meets an edge.
constexpr long double kCornerSlack = 1e-15L;

struct Candidate {
  long double t;
  TPoint2D p;
};

// At most six candidates: the two ends and the four edges.  Each goes in
// before the first one whose t is not smaller.
struct CandidateList {
  Candidate items[6];
  int count = 0;
  void Insert(long double t, const TPoint2D& p) {
    int i = 0;
    while (i < count && items[i].t < t) ++i;
    for (int k = count; k > i; --k) items[k] = items[k - 1];
    items[i] = {t, p};
    ++count;
  }
};

}  // namespace

bool TViewMapping::ClipSegmentToRect(long double xmin, long double xmax, long double ymin, long double ymax,
                                     TPoint2D& p1, TPoint2D& p2, bool wholeLine) {
  const bool in1 = PointInBox2D(p1, xmin, xmax, ymin, ymax);
  const bool in2 = PointInBox2D(p2, xmin, xmax, ymin, ymax);
  if (in1 && in2 && !wholeLine) return true;

  CandidateList list;
  auto offer = [&](long double t, const TPoint2D& p) {
    if (wholeLine || (t >= 0 && t <= 1)) list.Insert(t, p);
  };
  if (in1) list.Insert(0, p1);
  const long double dx = p2.x - p1.x;
  const long double dy = p2.y - p1.y;
  // A line through a corner meets both edges there; rounding may put each
  // crossing a hair beyond the other edge, which must not lose the corner.
  const long double slackX = kCornerSlack * (std::fabs(xmin) + std::fabs(xmax) + std::fabs(dx));
  const long double slackY = kCornerSlack * (std::fabs(ymin) + std::fabs(ymax) + std::fabs(dy));
  auto within = [](long double v, long double lo, long double hi, long double slack, long double& clamped) {
    if (!(lo - slack <= v && v <= hi + slack)) return false;
    clamped = std::clamp(v, lo, hi);
    return true;
  };
  long double c = 0;
  if (std::fabs(dx) > kTolerance) {
    long double t = (xmax - p1.x) / dx;
    if (within(p1.y + dy * t, ymin, ymax, slackY, c)) offer(t, {xmax, c});
    t = (xmin - p1.x) / dx;
    if (within(p1.y + dy * t, ymin, ymax, slackY, c)) offer(t, {xmin, c});
  }
  if (std::fabs(dy) > kTolerance) {
    long double t = (ymax - p1.y) / dy;
    if (within(p1.x + dx * t, xmin, xmax, slackX, c)) offer(t, {c, ymax});
    t = (ymin - p1.y) / dy;
    if (within(p1.x + dx * t, xmin, xmax, slackX, c)) offer(t, {c, ymin});
  }
  if (list.count == 0) return false;
  if (in2) list.Insert(1, p2);
  p1 = list.items[0].p;
  p2 = list.items[list.count - 1].p;
  return true;
}

void TViewMapping::PushView() {
  TViewHistoryRecord r;
  r.viewMode = ViewMode;
  r.aspect = Aspect;
  if (ViewMode == 0) {
    r.a = Centre.x;
    r.b = Centre.y;
    r.c = HalfX;
    r.d = HalfY;
  } else {
    r.a = World.xmin;
    r.b = World.xmax;
    r.c = World.ymin;
    r.d = World.ymax;
  }
  history_.push_back(r);
}

bool TViewMapping::PopView() {
  if (history_.empty()) return false;
  const TViewHistoryRecord r = history_.back();
  history_.pop_back();
  Aspect = r.aspect;
  ViewMode = r.viewMode;
  if (ViewMode == 0) {
    Centre = {r.a, r.b};
    HalfX = r.c;
    HalfY = r.d;
  } else {
    World = {r.a, r.b, r.c, r.d};
  }
  return true;
}

}  // namespace kv
