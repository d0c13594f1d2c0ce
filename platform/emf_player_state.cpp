// The metafile player's transforms (frame, mapping mode, world transform),
// the DC state it hands on for lines, fills and text, its clip region and
// how that reaches the DC, and the reading of points from the records.

#include <QPolygon>
#include <QRect>
#include <QRegion>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "platform/emf_player_impl.h"

namespace plat::emf_play {

std::vector<QPointF> ClipToRect(const std::vector<QPointF>& in, const QRectF& r) {
  std::vector<QPointF> pts = in;
  for (int edge = 0; edge < 4 && !pts.empty(); ++edge) {
    auto inside = [&](const QPointF& p) {
      switch (edge) {
        case 0: return p.x() >= r.left();
        case 1: return p.x() <= r.right();
        case 2: return p.y() >= r.top();
        default: return p.y() <= r.bottom();
      }
    };
    auto cross = [&](const QPointF& p, const QPointF& q) {
      double t;
      if (edge < 2) {
        const double x = edge == 0 ? r.left() : r.right();
        t = (x - p.x()) / (q.x() - p.x());
      } else {
        const double y = edge == 2 ? r.top() : r.bottom();
        t = (y - p.y()) / (q.y() - p.y());
      }
      return QPointF(p.x() + t * (q.x() - p.x()), p.y() + t * (q.y() - p.y()));
    };
    std::vector<QPointF> out;
    out.reserve(pts.size() + 4);
    for (std::size_t i = 0; i < pts.size(); ++i) {
      const QPointF& cur = pts[i];
      const QPointF& prev = pts[(i + pts.size() - 1) % pts.size()];
      const bool ci = inside(cur), pi = inside(prev);
      if (ci) {
        if (!pi) out.push_back(cross(prev, cur));
        out.push_back(cur);
      } else if (pi) {
        out.push_back(cross(prev, cur));
      }
    }
    pts.swap(out);
  }
  return pts;
}

std::vector<Point> Joined(const std::vector<std::vector<Point>>& figures) {
  std::vector<Point> out;
  for (const auto& f : figures) {
    if (f.empty()) continue;
    out.insert(out.end(), f.begin(), f.end());
    out.push_back(f.front());
  }
  for (std::size_t i = figures.size(); i-- > 0;)
    if (!figures[i].empty()) out.push_back(figures[i].front());
  return out;
}

double Player::PixelMm100X() const {
  if (h_.device.cx > 0 && h_.micrometres.cx > 0) return h_.micrometres.cx / 10.0 / h_.device.cx;
  if (h_.device.cx > 0 && h_.millimetres.cx > 0) return h_.millimetres.cx * 100.0 / h_.device.cx;
  return kDefaultPixelMm100;
}

double Player::PixelMm100Y() const {
  if (h_.device.cy > 0 && h_.micrometres.cy > 0) return h_.micrometres.cy / 10.0 / h_.device.cy;
  if (h_.device.cy > 0 && h_.millimetres.cy > 0) return h_.millimetres.cy * 100.0 / h_.device.cy;
  return kDefaultPixelMm100;
}

// The frame (or, without one, the bounds) onto the destination.
bool Player::SetUpFinal() {
  const double px = PixelMm100X(), py = PixelMm100Y();
  double fl = h_.frame.left, ft = h_.frame.top;
  double fw = double(h_.frame.right) - h_.frame.left, fh = double(h_.frame.bottom) - h_.frame.top;
  if (fw <= 0 || fh <= 0) {
    fl = h_.bounds.left * px;
    ft = h_.bounds.top * py;
    fw = (double(h_.bounds.right) - h_.bounds.left + 1) * px;
    fh = (double(h_.bounds.bottom) - h_.bounds.top + 1) * py;
  }
  if (!(fw > 0) || !(fh > 0)) return false;
  const double kx = dest_.Width() / fw, ky = dest_.Height() / fh;
  final_ = Affine{px * kx, 0, 0, py * ky, dest_.left - fl * kx, dest_.top - ft * ky};
  return final_.Sound();
}

const Affine& Player::M() {
  if (!transformDirty_) return m_;
  transformDirty_ = false;
  const double ppmX = 100.0 / PixelMm100X(), ppmY = 100.0 / PixelMm100Y();  // pixels per mm
  double sx = 1, sy = 1;
  switch (s_.mapMode) {
    case MM_LOMETRIC: sx = 0.1 * ppmX; sy = -0.1 * ppmY; break;
    case MM_HIMETRIC: sx = 0.01 * ppmX; sy = -0.01 * ppmY; break;
    case MM_LOENGLISH: sx = 0.254 * ppmX; sy = -0.254 * ppmY; break;
    case MM_HIENGLISH: sx = 0.0254 * ppmX; sy = -0.0254 * ppmY; break;
    case MM_TWIPS: sx = 25.4 / 1440 * ppmX; sy = -25.4 / 1440 * ppmY; break;
    case MM_ISOTROPIC:
    case MM_ANISOTROPIC: {
      const double wx = s_.winExt.x() != 0 ? s_.winExt.x() : 1, wy = s_.winExt.y() != 0 ? s_.winExt.y() : 1;
      sx = s_.vpExt.x() / wx;
      sy = s_.vpExt.y() / wy;
      if (s_.mapMode == MM_ISOTROPIC) {
        const double m = std::min(std::abs(sx), std::abs(sy));
        sx = std::copysign(m, sx);
        sy = std::copysign(m, sy);
      }
      break;
    }
    default: break;
  }
  const Affine page{sx, 0, 0, sy, s_.vpOrg.x() - s_.winOrg.x() * sx, s_.vpOrg.y() - s_.winOrg.y() * sy};
  m_ = s_.world.Then(page).Then(final_);
  transformSound_ = m_.Sound() && m_.Det() != 0;
  return m_;
}

void Player::ApplyDefaults() {
  dc_.SelectPen(Pen{});
  dc_.SelectBrush(SolidBrush(Rgb(255, 255, 255)));
  dc_.SelectFont(LogFont{});
  dc_.SetTextColor(0);
  dc_.SetBkColor(Rgb(255, 255, 255));
  dc_.SetBkMode(OPAQUE);
  dc_.SetROP2(R2_COPYPEN);
  dc_.SetTextAlign(TA_LEFT | TA_TOP);
  dc_.SetPolyFillMode(ALTERNATE);
  clipDirty_ = true;
}

Pen Player::DevicePen() {
  const PenSpec& p = s_.pen;
  if (p.style == PS_NULL) return NullPen();
  int w = 1;
  if (!p.cosmetic && p.width > 0) {
    const double scaled = p.width * std::sqrt(std::abs(M().Det()));
    if (std::isfinite(scaled)) w = static_cast<int>(std::clamp(std::floor(scaled + 0.5), 1.0, 1000.0));
  }
  return Pen{p.style, w, p.colour};
}

void Player::ApplyLine(const Pen& pen) {
  ApplyClip();
  dc_.SelectPen(pen);
  dc_.SetROP2(s_.rop2);
  dc_.SetBkColor(s_.bkColour);
  dc_.SetBkMode(s_.bkMode);
}

void Player::ApplyFill(const Pen& pen) {
  ApplyLine(pen);
  dc_.SelectBrush(s_.brush);
  dc_.SetPolyFillMode(s_.fillMode);
}

LogFont Player::DeviceFont() {
  LogFont f = s_.font;
  const double sy = ScaleY(), sx = ScaleX();
  const double h = f.height == 0 ? -12.0 : double(f.height);
  const double hs = std::clamp(std::abs(h) * sy, 1.0, maxFontPixels_);
  f.height = static_cast<std::int32_t>(std::copysign(std::floor(hs + 0.5), h));
  if (f.width != 0)
    f.width = static_cast<std::int32_t>(
        std::clamp(std::floor(std::abs(double(f.width)) * sx + 0.5), 1.0, std::floor(maxFontPixels_)));
  // Turned with the transform (a mirror in y alone leaves text upright).
  const Affine& m = M();
  double turn = std::atan2(-m.b, m.a) * 1800 / kPi;
  if (!std::isfinite(turn)) turn = 0;
  f.escapement = static_cast<std::int32_t>(std::fmod(double(f.escapement) + std::floor(turn + 0.5), 3600.0));
  return f;
}

void Player::ApplyClip() {
  if (!clipDirty_) return;
  clipDirty_ = false;
  if (!s_.clipShape.empty() && base_.rectCount() == 1) {
    const QRect b = base_.boundingRect();
    const std::vector<QPointF> cut = ClipToRect(s_.clipShape, QRectF(b.x(), b.y(), b.width(), b.height()));
    if (cut.size() >= 3) {
      Spend(AreaWork(cut) + LineWork(cut, true, 1));
      dc_.SelectClipPolygon(Pxs(cut));
      return;
    }
  }
  if (!s_.clip && !callerShape_.empty()) {  // the DC's own polygon, cut to the destination
    const std::vector<QPointF> cut =
        ClipToRect(callerShape_, QRectF(dest_.left, dest_.top, dest_.Width(), dest_.Height()));
    if (cut.size() >= 3) {
      Spend(AreaWork(cut) + LineWork(cut, true, 1));
      dc_.SelectClipPolygon(Pxs(cut));
      return;
    }
  }
  const QRegion eff = s_.clip ? (*s_.clip & base_) : base_;
  PushClip(eff);
}

void Player::PushClip(const QRegion& eff) {
  if (eff.isEmpty()) {
    dc_.SelectClipRect(Rect{dest_.left, dest_.top, dest_.left, dest_.top});
    return;
  }
  if (eff.rectCount() == 1 || eff.rectCount() > kMaxClipRects) {
    const QRect b = eff.boundingRect();
    dc_.SelectClipRect(Rect{b.x(), b.y(), b.x() + b.width(), b.y() + b.height()});
    return;
  }
  // Disjoint rectangles, all turning the same way: one polygon by the
  // winding rule.  The DC makes a mask of it.
  Spend(AreaWork(QRectF(eff.boundingRect())) + kRegionRectWork * eff.rectCount());
  std::vector<std::vector<Point>> figures;
  for (const QRect& r : eff) {
    const int l = r.x(), t = r.y(), rt = r.x() + r.width(), b = r.y() + r.height();
    figures.push_back({{l, t}, {rt, t}, {rt, b}, {l, b}});
  }
  dc_.SelectClipPolygon(Joined(figures));
}

std::vector<QPointF> Player::ToF(const std::vector<Point>& pts) {
  std::vector<QPointF> out;
  for (const Point& p : pts) out.emplace_back(p.x, p.y);
  return out;
}

QRegion Player::PolygonRegion(const std::vector<QPointF>& pts, Qt::FillRule rule) {
  const std::vector<QPointF> cut = ClipToRect(pts, guard_);
  if (cut.size() < 3) return QRegion();
  QPolygon poly;
  for (const QPointF& p : cut) poly << QPoint(Px(p.x()), Px(p.y()));
  QRegion out(poly, rule);
  Spend(kPointWork * static_cast<std::int64_t>(cut.size()) + kCombinedRectWork * out.rectCount());
  return out;
}

// A rectangle of destination pixels (exclusive right and bottom) from
// two mapped corners.
QRegion Player::RectRegion(QPointF p, QPointF q) const {
  const double l = std::max(std::min(p.x(), q.x()), guard_.left());
  const double r = std::min(std::max(p.x(), q.x()), guard_.right());
  const double t = std::max(std::min(p.y(), q.y()), guard_.top());
  const double b = std::min(std::max(p.y(), q.y()), guard_.bottom());
  const int il = Px(l), ir = Px(r), it = Px(t), ib = Px(b);
  if (ir <= il || ib <= it) return QRegion();
  return QRegion(il, it, ir - il, ib - it);
}

QRegion Player::LogicalRectRegion(const Rect& r) {
  const Affine& m = M();
  if (m.AxisAligned()) return RectRegion(m.Map(r.left, r.top), m.Map(r.right, r.bottom));
  return PolygonRegion({m.Map(r.left, r.top), m.Map(r.right, r.top), m.Map(r.right, r.bottom), m.Map(r.left, r.bottom)},
                       Qt::WindingFill);
}

void Player::CombineClip(const QRegion& r, std::uint32_t mode) {
  const QRegion cur = s_.clip ? *s_.clip : base_;
  Spend(kCombinedRectWork * (cur.rectCount() + r.rectCount()));
  QRegion out;
  switch (mode) {
    case RGN_AND: out = cur & r; break;
    case RGN_OR: out = cur | r; break;
    case RGN_XOR: out = cur ^ r; break;
    case RGN_DIFF: out = cur - r; break;
    default: out = r; break;
  }
  s_.clip = out & QRegion(guard_.toAlignedRect());
  s_.clipShape.clear();
  clipDirty_ = true;
}

// `count` points at `offset`, 16 or 32 bits per coordinate, mapped.
bool Player::ReadPoints(const RecordView& r, std::size_t offset, std::uint32_t count, bool small,
                        std::vector<QPointF>& out, bool map) {
  const std::size_t item = small ? 4 : 8;
  if (!r.Has(offset, count, item)) return false;
  Spend(kPointWork * count);
  out.clear();
  out.reserve(count);
  for (std::uint32_t k = 0; k < count; ++k) {
    const std::size_t o = offset + k * item;
    const double x = small ? r.I16(o) : r.I32(o);
    const double y = small ? r.I16(o + 2) : r.I32(o + 4);
    out.push_back(map ? Map(x, y) : QPointF(x, y));
  }
  return true;
}

Rect Player::ReadRect(const RecordView& r, std::size_t o) {
  return Rect{r.I32(o), r.I32(o + 4), r.I32(o + 8), r.I32(o + 12)};
}

}  // namespace plat::emf_play
