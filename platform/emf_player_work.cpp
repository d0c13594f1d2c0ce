// The metafile player's drawing work: what a line, a shape, a glyph or a
// picture costs the budget of the play, measured in the destination pixels
// it covers as far as they can be seen, and how a drawing beyond what is
// left is refused.

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "platform/emf_player_impl.h"

namespace plat::emf_play {

namespace {

// More work than any budget holds: measures stop here, so that sums of
// them never overflow.
constexpr std::int64_t kBeyondAnyBudget = std::int64_t{1} << 50;

// Work as a whole number, however large or odd the measure.
std::int64_t Units(double v) {
  if (!(v > 0)) return 0;
  return v >= double(kBeyondAnyBudget) ? kBeyondAnyBudget : static_cast<std::int64_t>(v);
}

// The pixels a line walks of the part of the segment inside the rectangle
// (Liang and Barsky).
double SeenSteps(QPointF p, QPointF q, const QRectF& r) {
  const double dx = q.x() - p.x(), dy = q.y() - p.y();
  const double steps = std::max(std::abs(dx), std::abs(dy));
  auto inside = [&r](QPointF a) {
    return a.x() >= r.left() && a.x() <= r.right() && a.y() >= r.top() && a.y() <= r.bottom();
  };
  if (inside(p) && inside(q)) return steps;
  double t0 = 0, t1 = 1;
  const double edges[4][2] = {{-dx, p.x() - r.left()}, {dx, r.right() - p.x()}, {-dy, p.y() - r.top()},
                              {dy, r.bottom() - p.y()}};
  for (const auto& [d, room] : edges) {
    if (d == 0) {
      if (room < 0) return 0;
      continue;
    }
    const double t = room / d;
    if (d < 0)
      t0 = std::max(t0, t);
    else
      t1 = std::min(t1, t);
    if (t0 > t1) return 0;
  }
  const double seen = (t1 - t0) * steps;
  return std::isfinite(seen) ? seen : 0;
}

// The bounding box of points (at least one).
QRectF Bounds(std::span<const QPointF> pts) {
  double l = pts[0].x(), t = pts[0].y(), r = l, b = t;
  for (const QPointF& p : pts) {
    l = std::min(l, p.x());
    r = std::max(r, p.x());
    t = std::min(t, p.y());
    b = std::max(b, p.y());
  }
  return QRectF(QPointF(l, t), QPointF(r, b));
}

}  // namespace

bool Player::Afford(std::int64_t work) {
  if (work > budget_.work) {
    refused_ = true;
    return false;
  }
  budget_.work -= work;
  return true;
}

void Player::Spend(std::int64_t work) { budget_.work = work < budget_.work ? budget_.work - work : -1; }

std::int64_t Player::AreaWork(const QRectF& box) const {
  const QRectF seen = box.normalized().adjusted(-1, -1, 1, 1) & view_;
  return seen.isEmpty() ? 0 : Units(seen.width() * seen.height());
}

std::int64_t Player::AreaWork(std::span<const QPointF> pts) const {
  return pts.empty() ? 0 : AreaWork(Bounds(pts));
}

std::int64_t Player::LineWork(std::span<const QPointF> pts, bool closed, int width) const {
  const double w = std::max(width, 1);
  const QRectF seen = view_.adjusted(-w, -w, w, w);
  double steps = 0;
  for (std::size_t k = 1; k < pts.size(); ++k) steps += SeenSteps(pts[k - 1], pts[k], seen) + 1;
  if (closed && pts.size() > 2) steps += SeenSteps(pts.back(), pts.front(), seen) + 1;
  return Units(steps * w);
}

// Each glyph, and the pixels the glyphs cover: at most what the picture
// shows, and one glyph more, as they stand side by side.
std::int64_t Player::GlyphWork(const std::string& text, const LogFont& font) const {
  std::int64_t glyphs = 0;
  for (const char c : text) glyphs += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  const double h = std::abs(double(font.height)), glyph = h * std::max(h, std::abs(double(font.width)));
  return glyphs * kGlyphWork + Units(std::min(double(glyphs) * glyph, view_.width() * view_.height() + glyph));
}

// A wide pen is drawn through a mask of the line's bounding box, which the
// toolkit paints.
std::int64_t Player::PenWork(std::span<const QPointF> pts, bool closed, int width) const {
  return LineWork(pts, closed, width) + (width > 1 ? kMaskWork + AreaWork(pts) : 0);
}

bool Player::AffordStroke(std::span<const QPointF> pts, bool closed, const Pen& pen) {
  return Afford(kDrawWork + PenWork(pts, closed, pen.width));
}

// The bounding box filled, its edges scanned (or outlined with the pen).
bool Player::AffordFill(std::span<const QPointF> pts, const Pen& outline) {
  return Afford(kDrawWork + AreaWork(pts) + PenWork(pts, true, outline.style == PS_NULL ? 1 : outline.width));
}

bool Player::AffordFigures(const std::vector<std::vector<Point>>& polys, const Pen& outline) {
  std::vector<QPointF> all;
  std::int64_t edges = 0;
  for (const std::vector<Point>& p : polys) {
    const std::vector<QPointF> f = ToF(p);
    edges = std::min(edges + PenWork(f, true, outline.style == PS_NULL ? 1 : outline.width), kBeyondAnyBudget);
    all.insert(all.end(), f.begin(), f.end());
  }
  return Afford(kDrawWork + AreaWork(all) + edges);
}

bool Player::AffordBox(const QRectF& box) { return Afford(kDrawWork + AreaWork(box)); }

QRectF Player::DeviceBox(double x, double y, double w, double h) {
  const Affine& m = M();
  return Bounds(std::array{m.Map(x, y), m.Map(x + w, y), m.Map(x, y + h), m.Map(x + w, y + h)});
}

std::int64_t Player::BlitWork(double x, double y, double w, double h) {
  return kDrawWork + AreaWork(DeviceBox(x, y, w, h));
}

}  // namespace plat::emf_play
