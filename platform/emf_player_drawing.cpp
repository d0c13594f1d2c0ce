// The metafile player's drawing records: rectangles, ellipses, arcs, pies
// and chords, polylines, polygons and Bezier curves, paths (figures filled
// as one area, then outlined) and region fills.

#include <QRegion>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

#include "platform/emf_player_impl.h"

namespace plat::emf_play {

void Flatten(QPointF from, const std::vector<QPointF>& ctl, std::vector<QPointF>& out) {
  for (std::size_t i = 0; i + 2 < ctl.size(); i += 3) {
    const QPointF p0 = from, p1 = ctl[i], p2 = ctl[i + 1], p3 = ctl[i + 2];
    auto len = [](QPointF u, QPointF v) { return std::hypot(v.x() - u.x(), v.y() - u.y()); };
    const double l = len(p0, p1) + len(p1, p2) + len(p2, p3);
    const int n = std::isfinite(l) ? static_cast<int>(std::clamp(std::ceil(l / 4), 1.0, 64.0)) : 1;
    for (int k = 1; k <= n; ++k) {
      const double t = double(k) / n, u = 1 - t;
      out.push_back(p0 * (u * u * u) + p1 * (3 * u * u * t) + p2 * (3 * u * t * t) + p3 * (t * t * t));
    }
    from = p3;
  }
}

Figure* Player::OpenFigure() {
  if (path_.empty() || path_.back().closed) {
    path_.push_back(Figure{{Map(s_.cp)}, false});
  }
  return &path_.back();
}

void Player::AddFigure(std::vector<QPointF> pts, bool closed) {
  if (pts.empty()) return;
  path_.push_back(Figure{std::move(pts), closed});
}

void Player::StrokeDevice(const std::vector<QPointF>& pts) {
  if (pts.size() < 2) return;
  const Pen pen = DevicePen();
  if (!AffordStroke(pts, false, pen)) return;
  ApplyLine(pen);
  dc_.Polyline(Pxs(pts));
}

void Player::FillDevice(const std::vector<QPointF>& pts, bool withPen) {
  if (pts.size() < 2) return;
  const Pen pen = withPen ? DevicePen() : NullPen();
  if (!AffordFill(pts, pen)) return;
  ApplyFill(pen);
  dc_.Polygon(Pxs(pts));
}

// Fills several figures as one area, then outlines them.
void Player::FillFigures(const std::vector<Figure>& figs, bool fill, bool stroke) {
  if (fill) {
    std::vector<std::vector<Point>> polys;
    for (const Figure& f : figs)
      if (f.pts.size() >= 3) polys.push_back(Pxs(f.pts));
    if (polys.size() == 1 && stroke && figs.size() == 1 && figs[0].closed) {
      const Pen pen = DevicePen();
      if (!AffordFigures(polys, pen)) return;
      ApplyFill(pen);
      dc_.Polygon(polys[0]);
      return;
    }
    if (!polys.empty() && AffordFigures(polys, NullPen())) {
      ApplyFill(NullPen());
      dc_.Polygon(polys.size() == 1 ? polys[0] : Joined(polys));
    }
  }
  if (stroke && s_.pen.style != PS_NULL) {
    for (const Figure& f : figs) {
      std::vector<QPointF> pts = f.pts;
      if (f.closed && pts.size() >= 2) pts.push_back(pts.front());
      StrokeDevice(pts);
    }
  }
}

// Points of an arc of the ellipse in `box` (logical), counter-clockwise
// as seen on the destination (clockwise with the arc direction set), from
// the ray through `start` to the ray through `end`; the whole ellipse
// when `whole`.
std::vector<QPointF> Player::ArcPoints(const Rect& box, QPointF start, QPointF end, bool whole) {
  const double l = std::min(box.left, box.right), r = std::max(box.left, box.right);
  const double t = std::min(box.top, box.bottom), b = std::max(box.top, box.bottom);
  const double cx = (l + r) / 2, cy = (t + b) / 2, rx = (r - l) / 2, ry = (b - t) / 2;
  std::vector<QPointF> out;
  if (rx <= 0 || ry <= 0) return out;
  const Affine& m = M();
  const double ts = std::atan2((start.y() - cy) / ry, (start.x() - cx) / rx);
  const double te = std::atan2((end.y() - cy) / ry, (end.x() - cx) / rx);
  int dir = m.Det() > 0 ? -1 : 1;
  if (s_.clockwise) dir = -dir;
  double sweep = 2 * kPi;
  if (!whole) {
    sweep = dir > 0 ? te - ts : ts - te;
    while (sweep <= 1e-12) sweep += 2 * kPi;
    while (sweep > 2 * kPi + 1e-12) sweep -= 2 * kPi;
  }
  const double size = std::max(rx * ScaleX(), ry * ScaleY());
  const double steps = std::ceil(sweep * std::sqrt(std::max(size, 1.0)));
  const int n = std::isfinite(steps) ? static_cast<int>(std::clamp(steps, 4.0, 256.0)) : 256;
  Spend(kPointWork * (n + 1));
  for (int k = 0; k <= n; ++k) {
    const double a = ts + dir * sweep * k / n;
    out.push_back(m.Map(cx + rx * std::cos(a), cy + ry * std::sin(a)));
  }
  return out;
}

std::vector<QPointF> Player::RoundRectPoints(const Rect& box, double cw, double ch) {
  const double l = std::min(box.left, box.right), r = std::max(box.left, box.right);
  const double t = std::min(box.top, box.bottom), b = std::max(box.top, box.bottom);
  const double rx = std::clamp(std::abs(cw) / 2, 0.0, (r - l) / 2), ry = std::clamp(std::abs(ch) / 2, 0.0, (b - t) / 2);
  const Affine& m = M();
  std::vector<QPointF> out;
  const double centres[4][2] = {{r - rx, t + ry}, {l + rx, t + ry}, {l + rx, b - ry}, {r - rx, b - ry}};
  for (int q = 0; q < 4; ++q)
    for (int k = 0; k <= 8; ++k) {
      const double a = (q * 90 + k * 90.0 / 8) * kPi / 180;
      out.push_back(m.Map(centres[q][0] + rx * std::cos(a), centres[q][1] - ry * std::sin(a)));
    }
  return out;
}

std::vector<QPointF> Player::BoxPoints(const Rect& r) {
  return {Map(r.left, r.top), Map(r.right, r.top), Map(r.right, r.bottom), Map(r.left, r.bottom)};
}

// Rectangle, ellipse, arc, pie and chord records.
bool Player::Shape(std::uint32_t type, const RecordView& r) {
  if (!r.Has(8, 1, 16)) return false;
  const Rect box = ReadRect(r, 8);
  const bool radial = type == EMR_ARC || type == EMR_PIE || type == EMR_CHORD || type == EMR_ARCTO;
  if (radial && !r.Has(24, 1, 16)) return false;
  if (type == EMR_ROUNDRECT && !r.Has(24, 1, 8)) return false;
  const QPointF start = radial ? ReadPointL(r, 24) : QPointF();
  const QPointF end = radial ? ReadPointL(r, 32) : QPointF();
  const Affine& m = M();

  if (inPath_) {
    switch (type) {
      case EMR_RECTANGLE: AddFigure(BoxPoints(box), true); break;
      case EMR_ROUNDRECT: AddFigure(RoundRectPoints(box, r.I32(24), r.I32(28)), true); break;
      case EMR_ELLIPSE: AddFigure(ArcPoints(box, {}, {}, true), true); break;
      case EMR_ARC: AddFigure(ArcPoints(box, start, end, false), false); break;
      case EMR_ARCTO: {
        std::vector<QPointF> pts = ArcPoints(box, start, end, false);
        if (pts.empty()) return true;
        Figure* f = OpenFigure();
        f->pts.insert(f->pts.end(), pts.begin(), pts.end());
        s_.cp = ArcEndLogical(box, end);
        break;
      }
      case EMR_CHORD: AddFigure(ArcPoints(box, start, end, false), true); break;
      case EMR_PIE: {
        std::vector<QPointF> pts = ArcPoints(box, start, end, false);
        pts.insert(pts.begin(), Map((double(box.left) + box.right) / 2.0, (double(box.top) + box.bottom) / 2.0));
        AddFigure(std::move(pts), true);
        break;
      }
      default: break;
    }
    return true;
  }

  if (m.AxisAligned() && (type == EMR_RECTANGLE || type == EMR_ELLIPSE || type == EMR_ARC || type == EMR_PIE)) {
    const Point p = Px(m.Map(box.left, box.top)), q = Px(m.Map(box.right, box.bottom));
    Point a = Px(m.Map(start)), b = Px(m.Map(end));
    if (s_.clockwise) std::swap(a, b);
    // An arc or an outline is no longer than the box's sides.
    const std::array sides{QPointF(p.x, p.y), QPointF(q.x, p.y), QPointF(q.x, q.y), QPointF(p.x, q.y)};
    const Pen pen = DevicePen();
    if (type == EMR_ARC) {
      if (!AffordStroke(sides, true, pen)) return true;
      ApplyLine(pen);
      dc_.Arc(p.x, p.y, q.x, q.y, a.x, a.y, b.x, b.y);
      return true;
    }
    if (!AffordFill(sides, pen)) return true;
    ApplyFill(pen);
    if (type == EMR_RECTANGLE) dc_.Rectangle(p.x, p.y, q.x, q.y);
    if (type == EMR_ELLIPSE) dc_.Ellipse(p.x, p.y, q.x, q.y);
    if (type == EMR_PIE) dc_.Pie(p.x, p.y, q.x, q.y, a.x, a.y, b.x, b.y);
    return true;
  }
  switch (type) {
    case EMR_RECTANGLE: FillDevice(BoxPoints(box), true); break;
    case EMR_ROUNDRECT: FillDevice(RoundRectPoints(box, r.I32(24), r.I32(28)), true); break;
    case EMR_ELLIPSE: FillDevice(ArcPoints(box, {}, {}, true), true); break;
    case EMR_ARC: StrokeDevice(ArcPoints(box, start, end, false)); break;
    case EMR_ARCTO: {
      std::vector<QPointF> pts = ArcPoints(box, start, end, false);
      if (pts.empty()) return true;
      pts.insert(pts.begin(), Map(s_.cp));
      StrokeDevice(pts);
      s_.cp = ArcEndLogical(box, end);
      break;
    }
    case EMR_CHORD: FillDevice(ArcPoints(box, start, end, false), true); break;
    case EMR_PIE: {
      std::vector<QPointF> pts = ArcPoints(box, start, end, false);
      pts.insert(pts.begin(), Map((double(box.left) + box.right) / 2.0, (double(box.top) + box.bottom) / 2.0));
      FillDevice(pts, true);
      break;
    }
    default: break;
  }
  return true;
}

// Where an arc ends: the ellipse point on the ray through `end`.
QPointF Player::ArcEndLogical(const Rect& box, QPointF end) {
  const double cx = (double(box.left) + box.right) / 2.0, cy = (double(box.top) + box.bottom) / 2.0;
  const double rx = std::abs(box.right - double(box.left)) / 2, ry = std::abs(box.bottom - double(box.top)) / 2;
  if (rx <= 0 || ry <= 0) return QPointF(cx, cy);
  const double a = std::atan2((end.y() - cy) / ry, (end.x() - cx) / rx);
  return QPointF(cx + rx * std::cos(a), cy + ry * std::sin(a));
}

// Polyline, polygon and Bezier records (16- and 32-bit).
bool Player::Poly(std::uint32_t type, const RecordView& r) {
  const bool small = type >= EMR_POLYBEZIER16;
  std::uint32_t base = type;
  if (small) base = type - EMR_POLYBEZIER16 + EMR_POLYBEZIER;
  const std::uint32_t count = r.U32(24);
  std::vector<QPointF> pts;
  if (!r.Has(24, 1, 4) || !ReadPoints(r, 28, count, small, pts)) return false;
  if (pts.empty()) return true;
  switch (base) {
    case EMR_POLYLINE:
      if (inPath_)
        AddFigure(std::move(pts), false);
      else
        StrokeDevice(pts);
      return true;
    case EMR_POLYGON:
      if (inPath_)
        AddFigure(std::move(pts), true);
      else
        FillDevice(pts, true);
      return true;
    case EMR_POLYLINETO:
    case EMR_POLYBEZIERTO: {
      std::vector<QPointF> line{Map(s_.cp)};
      if (base == EMR_POLYLINETO)
        line.insert(line.end(), pts.begin(), pts.end());
      else
        Flatten(line.front(), pts, line);
      Spend(kPointWork * static_cast<std::int64_t>(line.size()));
      const std::size_t used = base == EMR_POLYLINETO ? count : count / 3 * 3;
      if (used == 0) return true;
      std::vector<QPointF> logical;
      ReadPoints(r, 28, count, small, logical, false);
      s_.cp = logical[used - 1];
      if (inPath_) {
        Figure* f = OpenFigure();
        f->pts.insert(f->pts.end(), line.begin() + 1, line.end());
      } else {
        StrokeDevice(line);
      }
      return true;
    }
    case EMR_POLYBEZIER: {
      std::vector<QPointF> line{pts.front()};
      Flatten(pts.front(), std::vector<QPointF>(pts.begin() + 1, pts.end()), line);
      Spend(kPointWork * static_cast<std::int64_t>(line.size()));
      if (inPath_)
        AddFigure(line, false);
      else
        StrokeDevice(line);
      return true;
    }
    default: return false;
  }
}

// Poly-polyline and poly-polygon records.
bool Player::PolyPoly(std::uint32_t type, const RecordView& r) {
  const bool small = type == EMR_POLYPOLYLINE16 || type == EMR_POLYPOLYGON16;
  const bool polygon = type == EMR_POLYPOLYGON || type == EMR_POLYPOLYGON16;
  if (!r.Has(24, 2, 4)) return false;
  const std::uint32_t groups = r.U32(24), total = r.U32(28);
  if (!r.Has(32, groups, 4)) return false;
  std::uint64_t sum = 0;
  for (std::uint32_t g = 0; g < groups; ++g) sum += r.U32(32 + 4 * std::size_t{g});
  if (sum != total) return false;
  std::vector<QPointF> pts;
  if (!ReadPoints(r, 32 + 4 * std::size_t{groups}, total, small, pts)) return false;
  std::vector<Figure> figs;
  std::size_t at = 0;
  for (std::uint32_t g = 0; g < groups; ++g) {
    const std::uint32_t n = r.U32(32 + 4 * std::size_t{g});
    figs.push_back(Figure{std::vector<QPointF>(pts.begin() + at, pts.begin() + at + n), polygon});
    at += n;
  }
  if (inPath_) {
    for (Figure& f : figs) AddFigure(std::move(f.pts), polygon);
  } else if (polygon) {
    FillFigures(figs, true, true);
  } else {
    for (const Figure& f : figs) StrokeDevice(f.pts);
  }
  return true;
}

void Player::FinishPath(bool fill, bool stroke) {
  inPath_ = false;
  std::vector<Figure> figs;
  figs.swap(path_);
  FillFigures(figs, fill, stroke);
}

QRegion Player::PathRegion() {
  QRegion out;
  const Qt::FillRule rule = s_.fillMode == WINDING ? Qt::WindingFill : Qt::OddEvenFill;
  for (const Figure& f : path_) {
    const QRegion fr = PolygonRegion(f.pts, rule);
    Spend(kCombinedRectWork * (out.rectCount() + fr.rectCount()));
    out = s_.fillMode == WINDING ? (out | fr) : (out ^ fr);
  }
  return out;
}

// The rectangles of a region record at `offset`: destination pixels,
// mapped as logical units or, for clipping, as reference-device pixels.
std::optional<QRegion> Player::ReadRegion(const RecordView& r, std::size_t offset, std::uint32_t size, bool device) {
  if (!r.Has(offset, size) || size < 32) return std::nullopt;
  const std::uint32_t headerSize = r.U32(offset);
  const std::uint32_t count = r.U32(offset + 8);
  if (headerSize < 32 || headerSize > size || count > kMaxRegionRects) return std::nullopt;
  if (std::uint64_t{headerSize} + std::uint64_t{count} * 16 > size) return std::nullopt;
  Spend(kRegionRectWork * count);
  QRegion out;
  for (std::uint32_t k = 0; k < count; ++k) {
    const Rect rc = ReadRect(r, offset + headerSize + 16 * std::size_t{k});
    if (device)
      out |= RectRegion(final_.Map(rc.left, rc.top), final_.Map(rc.right, rc.bottom));
    else
      out |= LogicalRectRegion(rc);
  }
  return out;
}

void Player::FillRegion(const QRegion& region, const Brush& brush) {
  ApplyClip();
  dc_.SetBkColor(s_.bkColour);
  for (const QRect& q : region)
    if (AffordBox(q)) dc_.FillRect(Rect{q.x(), q.y(), q.x() + q.width(), q.y() + q.height()}, brush);
}

}  // namespace plat::emf_play
