// The metafile player.  Coordinates go from the metafile's logical space
// through its world transform and mapping mode to pixels of the reference
// device, then through the header's frame onto the destination rectangle;
// the player draws with the DC's own primitives in destination pixels, so
// that a metafile made by EmfDC and played at its own size repeats the
// drawing pixel for pixel.  Clipping is kept as a pixel region of the
// destination and handed to the DC as a rectangle or as one polygon.
#include "platform/emf_player.h"

#include <QImage>
#include <QPointF>
#include <QPolygon>
#include <QRect>
#include <QRegion>
#include <QString>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <optional>
#include <unordered_map>
#include <utility>
#include <vector>

#include "platform/bitmap_impl.h"
#include "platform/emf_records.h"
#include "core/text_encoding.h"

namespace plat {

using namespace emf;

namespace {

constexpr double kPi = std::numbers::pi;
constexpr double kMaxCoordinate = 1e9;   // destination pixels beyond this are clamped
constexpr double kMaxScale = 1e9;        // transforms beyond this are refused
constexpr std::size_t kMaxSavedStates = 4096;
constexpr std::size_t kMaxTextUnits = 4096;
constexpr std::uint32_t kMaxRegionRects = 4096;
constexpr int kMaxClipRects = 4096;      // more go to the DC as their bounding box
constexpr double kDefaultPixelMm100 = 2540.0 / 96.0;  // 96 pixels per inch

// x' = a x + c y + e, y' = b x + d y + f.
struct Affine {
  double a = 1, b = 0, c = 0, d = 1, e = 0, f = 0;
  QPointF Map(double x, double y) const { return QPointF(a * x + c * y + e, b * x + d * y + f); }
  QPointF Map(QPointF p) const { return Map(p.x(), p.y()); }
  QPointF MapVector(double x, double y) const { return QPointF(a * x + c * y, b * x + d * y); }
  // This transform first, then `n`.
  Affine Then(const Affine& n) const {
    return Affine{n.a * a + n.c * b, n.b * a + n.d * b, n.a * c + n.c * d,
                  n.b * c + n.d * d, n.a * e + n.c * f + n.e, n.b * e + n.d * f + n.f};
  }
  double Det() const { return a * d - b * c; }
  bool AxisAligned() const {
    const double s = std::abs(a) + std::abs(d);
    return std::abs(b) <= 1e-9 * s && std::abs(c) <= 1e-9 * s;
  }
  bool Sound() const {
    for (double v : {a, b, c, d, e, f})
      if (!std::isfinite(v) || std::abs(v) > kMaxScale * 1e3) return false;
    for (double v : {a, b, c, d})
      if (std::abs(v) > kMaxScale) return false;
    return true;
  }
};

struct PenSpec {
  int style = PS_SOLID;
  double width = 0;      // logical units
  bool cosmetic = true;  // always one pixel wide
  Colour colour = 0;
};

struct ObjectSlot {
  enum Kind { PenKind, BrushKind, FontKind, Other } kind = Other;
  PenSpec pen;
  Brush brush;
  LogFont font;
};

struct Figure {
  std::vector<QPointF> pts;  // destination pixels
  bool closed = false;
};

struct PlayState {
  std::uint32_t mapMode = MM_TEXT;
  QPointF winOrg{0, 0}, winExt{1, 1}, vpOrg{0, 0}, vpExt{1, 1};
  Affine world;
  PenSpec pen;
  Brush brush = SolidBrush(Rgb(255, 255, 255));
  LogFont font;
  Colour textColour = 0;
  Colour bkColour = Rgb(255, 255, 255);
  int bkMode = OPAQUE;
  int rop2 = R2_COPYPEN;
  int fillMode = ALTERNATE;
  unsigned align = TA_LEFT | TA_TOP;
  bool clockwise = false;
  QPointF cp{0, 0};              // logical
  std::optional<QRegion> clip;   // destination pixels; none: no clip of the metafile's own
  // When not empty, the clip is exactly this polygon (winding rule) in
  // destination pixels: handed to the DC as it is, so that the DC's own
  // rule decides its pixels as it did when the clip was recorded.
  std::vector<QPointF> clipShape;
};

double Clamp(double v) {
  if (!std::isfinite(v)) return 0;
  return std::clamp(v, -kMaxCoordinate, kMaxCoordinate);
}
int Px(double v) { return static_cast<int>(std::floor(Clamp(v) + 0.5)); }
Point Px(QPointF p) { return Point{Px(p.x()), Px(p.y())}; }

std::vector<Point> Pxs(const std::vector<QPointF>& pts) {
  std::vector<Point> out;
  out.reserve(pts.size());
  for (const QPointF& p : pts) out.push_back(Px(p));
  return out;
}

// Sutherland-Hodgman against an axis-aligned rectangle: keeps the area of
// a polygon inside the rectangle (degenerate edges along the border do not
// change what is filled).
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

// Several figures as one polygon: each figure, then back along the links
// between their first points.  The links are run both ways, so they add
// nothing to the area under either fill rule.
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

// Cubic Bezier segments from `from` through the control triples, as line
// points (without `from`).
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

class Player {
 public:
  Player(DC& dc, const Header& h, const Rect& dest) : dc_(dc), h_(h), dest_(dest) {
    guard_ = QRectF(dest.left - 2.0, dest.top - 2.0, dest.Width() + 4.0, dest.Height() + 4.0);
    base_ = QRegion(dest.left, dest.top, dest.Width(), dest.Height());
    const DC::Clip& own = dc.CurrentClip();
    if (own.kind == DC::Clip::Rectangle)
      base_ &= QRegion(own.rect.left, own.rect.top, own.rect.Width(), own.rect.Height());
    else if (own.kind == DC::Clip::Polygon) {
      base_ &= PolygonRegion(ToF(own.polygon), Qt::WindingFill);
      callerShape_ = ToF(own.polygon);
    }
    valid_ = SetUpFinal();
  }

  EmfPlayStats Run(const std::uint8_t* data, std::size_t size) {
    EmfPlayStats stats;
    if (!valid_ || dest_.Width() <= 0 || dest_.Height() <= 0) return stats;
    const int saved = dc_.SaveDC();
    ApplyDefaults();
    std::size_t off = 0;
    bool first = true;
    while (size - off >= 8) {
      const RecordView head(data + off, size - off);
      const std::uint32_t recordSize = head.U32(4);
      if (recordSize < 8 || recordSize > size - off) {
        ++stats.skipped;
        break;
      }
      const RecordView r(data + off, recordSize);
      off += recordSize;
      if (r.Type() == EMR_EOF) {
        stats.complete = true;
        break;
      }
      if (first) {
        first = false;
        if (r.Type() == EMR_HEADER) continue;
      }
      if (Play(r))
        ++stats.played;
      else
        ++stats.skipped;
    }
    dc_.RestoreDC(saved);
    return stats;
  }

 private:
  DC& dc_;
  Header h_;
  Rect dest_;
  QRectF guard_;
  QRegion base_;
  std::vector<QPointF> callerShape_;  // the DC's own polygon clip
  bool valid_ = false;
  Affine final_;  // reference-device pixels to destination pixels
  Affine m_;      // logical units to destination pixels
  bool transformDirty_ = true;
  bool transformSound_ = true;
  bool clipDirty_ = true;
  PlayState s_;
  std::vector<PlayState> saved_;
  std::unordered_map<std::uint32_t, ObjectSlot> objects_;
  bool inPath_ = false;
  std::vector<Figure> path_;

  // ---- transforms ----

  double PixelMm100X() const {
    if (h_.device.cx > 0 && h_.micrometres.cx > 0) return h_.micrometres.cx / 10.0 / h_.device.cx;
    if (h_.device.cx > 0 && h_.millimetres.cx > 0) return h_.millimetres.cx * 100.0 / h_.device.cx;
    return kDefaultPixelMm100;
  }
  double PixelMm100Y() const {
    if (h_.device.cy > 0 && h_.micrometres.cy > 0) return h_.micrometres.cy / 10.0 / h_.device.cy;
    if (h_.device.cy > 0 && h_.millimetres.cy > 0) return h_.millimetres.cy * 100.0 / h_.device.cy;
    return kDefaultPixelMm100;
  }

  // The frame (or, without one, the bounds) onto the destination.
  bool SetUpFinal() {
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

  const Affine& M() {
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
  QPointF Map(double x, double y) { return M().Map(x, y); }
  QPointF Map(QPointF p) { return M().Map(p); }
  double ScaleX() { return std::hypot(M().a, M().b); }
  double ScaleY() { return std::hypot(M().c, M().d); }

  // ---- DC state ----

  void ApplyDefaults() {
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

  Pen DevicePen() {
    const PenSpec& p = s_.pen;
    if (p.style == PS_NULL) return NullPen();
    int w = 1;
    if (!p.cosmetic && p.width > 0) {
      const double scaled = p.width * std::sqrt(std::abs(M().Det()));
      if (std::isfinite(scaled)) w = static_cast<int>(std::clamp(std::floor(scaled + 0.5), 1.0, 1000.0));
    }
    return Pen{p.style, w, p.colour};
  }

  void ApplyLine() {
    ApplyClip();
    dc_.SelectPen(DevicePen());
    dc_.SetROP2(s_.rop2);
    dc_.SetBkColor(s_.bkColour);
    dc_.SetBkMode(s_.bkMode);
  }
  void ApplyFill(bool withPen = true) {
    ApplyLine();
    if (!withPen) dc_.SelectPen(NullPen());
    dc_.SelectBrush(s_.brush);
    dc_.SetPolyFillMode(s_.fillMode);
  }

  LogFont DeviceFont() {
    LogFont f = s_.font;
    const double sy = ScaleY(), sx = ScaleX();
    const double h = f.height == 0 ? -12.0 : double(f.height);
    const double hs = std::clamp(std::abs(h) * sy, 1.0, 1e6);
    f.height = static_cast<std::int32_t>(std::copysign(std::floor(hs + 0.5), h));
    if (f.width != 0) f.width = static_cast<std::int32_t>(std::clamp(std::floor(std::abs(double(f.width)) * sx + 0.5), 1.0, 1e6));
    // Turned with the transform (a mirror in y alone leaves text upright).
    const Affine& m = M();
    double turn = std::atan2(-m.b, m.a) * 1800 / kPi;
    if (!std::isfinite(turn)) turn = 0;
    f.escapement = static_cast<std::int32_t>(std::fmod(double(f.escapement) + std::floor(turn + 0.5), 3600.0));
    return f;
  }

  void ApplyClip() {
    if (!clipDirty_) return;
    clipDirty_ = false;
    if (!s_.clipShape.empty() && base_.rectCount() == 1) {
      const QRect b = base_.boundingRect();
      const std::vector<QPointF> cut = ClipToRect(s_.clipShape, QRectF(b.x(), b.y(), b.width(), b.height()));
      if (cut.size() >= 3) {
        dc_.SelectClipPolygon(Pxs(cut));
        return;
      }
    }
    if (!s_.clip && !callerShape_.empty()) {  // the DC's own polygon, cut to the destination
      const std::vector<QPointF> cut =
          ClipToRect(callerShape_, QRectF(dest_.left, dest_.top, dest_.Width(), dest_.Height()));
      if (cut.size() >= 3) {
        dc_.SelectClipPolygon(Pxs(cut));
        return;
      }
    }
    const QRegion eff = s_.clip ? (*s_.clip & base_) : base_;
    PushClip(eff);
  }

  void PushClip(const QRegion& eff) {
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
    // winding rule.
    std::vector<std::vector<Point>> figures;
    for (const QRect& r : eff) {
      const int l = r.x(), t = r.y(), rt = r.x() + r.width(), b = r.y() + r.height();
      figures.push_back({{l, t}, {rt, t}, {rt, b}, {l, b}});
    }
    dc_.SelectClipPolygon(Joined(figures));
  }

  static std::vector<QPointF> ToF(const std::vector<Point>& pts) {
    std::vector<QPointF> out;
    for (const Point& p : pts) out.emplace_back(p.x, p.y);
    return out;
  }

  QRegion PolygonRegion(const std::vector<QPointF>& pts, Qt::FillRule rule) const {
    const std::vector<QPointF> cut = ClipToRect(pts, guard_);
    if (cut.size() < 3) return QRegion();
    QPolygon poly;
    for (const QPointF& p : cut) poly << QPoint(Px(p.x()), Px(p.y()));
    return QRegion(poly, rule);
  }

  // A rectangle of destination pixels (exclusive right and bottom) from
  // two mapped corners.
  QRegion RectRegion(QPointF p, QPointF q) const {
    const double l = std::max(std::min(p.x(), q.x()), guard_.left());
    const double r = std::min(std::max(p.x(), q.x()), guard_.right());
    const double t = std::max(std::min(p.y(), q.y()), guard_.top());
    const double b = std::min(std::max(p.y(), q.y()), guard_.bottom());
    const int il = Px(l), ir = Px(r), it = Px(t), ib = Px(b);
    if (ir <= il || ib <= it) return QRegion();
    return QRegion(il, it, ir - il, ib - it);
  }

  QRegion LogicalRectRegion(const Rect& r) {
    const Affine& m = M();
    if (m.AxisAligned()) return RectRegion(m.Map(r.left, r.top), m.Map(r.right, r.bottom));
    return PolygonRegion({m.Map(r.left, r.top), m.Map(r.right, r.top), m.Map(r.right, r.bottom), m.Map(r.left, r.bottom)},
                         Qt::WindingFill);
  }

  void CombineClip(const QRegion& r, std::uint32_t mode) {
    const QRegion cur = s_.clip ? *s_.clip : base_;
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

  // ---- reading ----

  // `count` points at `offset`, 16 or 32 bits per coordinate, mapped.
  bool ReadPoints(const RecordView& r, std::size_t offset, std::uint32_t count, bool small,
                  std::vector<QPointF>& out, bool map = true) {
    const std::size_t item = small ? 4 : 8;
    if (!r.Has(offset, count, item)) return false;
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

  static Rect ReadRect(const RecordView& r, std::size_t o) {
    return Rect{r.I32(o), r.I32(o + 4), r.I32(o + 8), r.I32(o + 12)};
  }
  static QPointF ReadPointL(const RecordView& r, std::size_t o) { return QPointF(r.I32(o), r.I32(o + 4)); }

  // ---- paths and drawing ----

  Figure* OpenFigure() {
    if (path_.empty() || path_.back().closed) {
      path_.push_back(Figure{{Map(s_.cp)}, false});
    }
    return &path_.back();
  }

  void AddFigure(std::vector<QPointF> pts, bool closed) {
    if (pts.empty()) return;
    path_.push_back(Figure{std::move(pts), closed});
  }

  void StrokeDevice(const std::vector<QPointF>& pts) {
    if (pts.size() < 2) return;
    ApplyLine();
    dc_.Polyline(Pxs(pts));
  }

  void FillDevice(const std::vector<QPointF>& pts, bool withPen) {
    if (pts.size() < 2) return;
    ApplyFill(withPen);
    dc_.Polygon(Pxs(pts));
  }

  // Fills several figures as one area, then outlines them.
  void FillFigures(const std::vector<Figure>& figs, bool fill, bool stroke) {
    if (fill) {
      std::vector<std::vector<Point>> polys;
      for (const Figure& f : figs)
        if (f.pts.size() >= 3) polys.push_back(Pxs(f.pts));
      if (polys.size() == 1 && stroke && figs.size() == 1 && figs[0].closed) {
        ApplyFill(true);
        dc_.Polygon(polys[0]);
        return;
      }
      if (!polys.empty()) {
        ApplyFill(false);
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
  std::vector<QPointF> ArcPoints(const Rect& box, QPointF start, QPointF end, bool whole) {
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
    for (int k = 0; k <= n; ++k) {
      const double a = ts + dir * sweep * k / n;
      out.push_back(m.Map(cx + rx * std::cos(a), cy + ry * std::sin(a)));
    }
    return out;
  }

  std::vector<QPointF> RoundRectPoints(const Rect& box, double cw, double ch) {
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

  std::vector<QPointF> BoxPoints(const Rect& r) {
    return {Map(r.left, r.top), Map(r.right, r.top), Map(r.right, r.bottom), Map(r.left, r.bottom)};
  }

  // Rectangle, ellipse, arc, pie and chord records.
  bool Shape(std::uint32_t type, const RecordView& r) {
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
      if (type == EMR_ARC) {
        ApplyLine();
        dc_.Arc(p.x, p.y, q.x, q.y, a.x, a.y, b.x, b.y);
        return true;
      }
      ApplyFill();
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
  static QPointF ArcEndLogical(const Rect& box, QPointF end) {
    const double cx = (double(box.left) + box.right) / 2.0, cy = (double(box.top) + box.bottom) / 2.0;
    const double rx = std::abs(box.right - double(box.left)) / 2, ry = std::abs(box.bottom - double(box.top)) / 2;
    if (rx <= 0 || ry <= 0) return QPointF(cx, cy);
    const double a = std::atan2((end.y() - cy) / ry, (end.x() - cx) / rx);
    return QPointF(cx + rx * std::cos(a), cy + ry * std::sin(a));
  }

  // Polyline, polygon and Bezier records (16- and 32-bit).
  bool Poly(std::uint32_t type, const RecordView& r) {
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
  bool PolyPoly(std::uint32_t type, const RecordView& r) {
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

  void FinishPath(bool fill, bool stroke) {
    inPath_ = false;
    std::vector<Figure> figs;
    figs.swap(path_);
    FillFigures(figs, fill, stroke);
  }

  QRegion PathRegion() {
    QRegion out;
    const Qt::FillRule rule = s_.fillMode == WINDING ? Qt::WindingFill : Qt::OddEvenFill;
    for (const Figure& f : path_) {
      const QRegion fr = PolygonRegion(f.pts, rule);
      out = s_.fillMode == WINDING ? (out | fr) : (out ^ fr);
    }
    return out;
  }

  // ---- regions ----

  // The rectangles of a region record at `offset`: destination pixels,
  // mapped as logical units or, for clipping, as reference-device pixels.
  std::optional<QRegion> ReadRegion(const RecordView& r, std::size_t offset, std::uint32_t size, bool device) {
    if (!r.Has(offset, size) || size < 32) return std::nullopt;
    const std::uint32_t headerSize = r.U32(offset);
    const std::uint32_t count = r.U32(offset + 8);
    if (headerSize < 32 || headerSize > size || count > kMaxRegionRects) return std::nullopt;
    if (std::uint64_t{headerSize} + std::uint64_t{count} * 16 > size) return std::nullopt;
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

  void FillRegion(const QRegion& region, const Brush& brush) {
    ApplyClip();
    dc_.SetBkColor(s_.bkColour);
    for (const QRect& q : region) dc_.FillRect(Rect{q.x(), q.y(), q.x() + q.width(), q.y() + q.height()}, brush);
  }

  // ---- objects ----

  bool Create(std::uint32_t index, ObjectSlot slot) {
    if (index == 0 || index >= h_.handles) return false;
    objects_[index] = std::move(slot);
    return true;
  }

  void SelectStock(std::uint32_t stock) {
    switch (stock) {
      case WHITE_BRUSH: s_.brush = SolidBrush(Rgb(255, 255, 255)); break;
      case LTGRAY_BRUSH: s_.brush = SolidBrush(Rgb(192, 192, 192)); break;
      case GRAY_BRUSH: s_.brush = SolidBrush(Rgb(128, 128, 128)); break;
      case DKGRAY_BRUSH: s_.brush = SolidBrush(Rgb(64, 64, 64)); break;
      case BLACK_BRUSH: s_.brush = SolidBrush(0); break;
      case NULL_BRUSH: s_.brush = NullBrush(); break;
      case DC_BRUSH: s_.brush = SolidBrush(Rgb(255, 255, 255)); break;
      case WHITE_PEN: s_.pen = PenSpec{PS_SOLID, 0, true, Rgb(255, 255, 255)}; break;
      case BLACK_PEN:
      case DC_PEN: s_.pen = PenSpec{}; break;
      case NULL_PEN: s_.pen = PenSpec{PS_NULL, 0, true, 0}; break;
      case OEM_FIXED_FONT:
      case ANSI_FIXED_FONT:
      case ANSI_VAR_FONT:
      case SYSTEM_FONT:
      case DEVICE_DEFAULT_FONT:
      case SYSTEM_FIXED_FONT:
      case DEFAULT_GUI_FONT: s_.font = LogFont{}; break;
      default: break;
    }
  }

  static int PenStyleOf(std::uint32_t style) {
    switch (style & 0xF) {
      case PS_SOLID: return PS_SOLID;
      case PS_DASH: return PS_DASH;
      case PS_DOT: return PS_DOT;
      case PS_DASHDOT: return PS_DASHDOT;
      case PS_DASHDOTDOT: return PS_DASHDOTDOT;
      case PS_NULL: return PS_NULL;
      case 7: return PS_DASH;  // user-defined dashes
      case 8: return PS_DOT;   // every other pixel
      default: return PS_SOLID;
    }
  }

  static Brush BrushOf(std::uint32_t style, Colour colour, std::uint32_t hatch) {
    if (style == 1) return NullBrush();
    if (style == 2) return Brush{BS_HATCHED, colour, hatch <= HS_DIAGCROSS ? static_cast<int>(hatch) : static_cast<int>(HS_HORIZONTAL)};
    return SolidBrush(colour);
  }

  // A pattern brush stands in as a solid brush of its average colour.
  Brush PatternBrush(const RecordView& r) {
    const Bitmap bmp = ReadDib(r, r.U32(16), r.U32(20), r.U32(24), r.U32(28));
    if (bmp.IsNull()) return SolidBrush(Rgb(128, 128, 128));
    std::uint64_t sr = 0, sg = 0, sb = 0;
    const std::uint64_t n = std::uint64_t(bmp.Width()) * bmp.Height();
    const int stepX = std::max(1, bmp.Width() / 64), stepY = std::max(1, bmp.Height() / 64);
    std::uint64_t taken = 0;
    for (int y = 0; y < bmp.Height(); y += stepY)
      for (int x = 0; x < bmp.Width(); x += stepX) {
        const Colour c = bmp.GetPixel(x, y);
        sr += RedOf(c);
        sg += GreenOf(c);
        sb += BlueOf(c);
        ++taken;
      }
    if (n == 0 || taken == 0) return SolidBrush(Rgb(128, 128, 128));
    return SolidBrush(Rgb(int(sr / taken), int(sg / taken), int(sb / taken)));
  }

  // ---- bitmaps ----

  // The device-independent bitmap of a record: its info block and bits,
  // both checked to lie inside the record.
  static Bitmap ReadDib(const RecordView& r, std::uint32_t offBmi, std::uint32_t cbBmi, std::uint32_t offBits,
                        std::uint32_t cbBits) {
    if (cbBmi < 12 || !r.Has(offBmi, cbBmi) || !r.Has(offBits, cbBits)) return Bitmap();
    std::vector<std::uint8_t> file;
    file.reserve(14 + std::size_t{cbBmi} + cbBits);
    const std::uint32_t total = 14 + cbBmi + cbBits;
    const std::uint32_t pixels = 14 + cbBmi;
    const std::uint8_t head[14] = {'B', 'M',
                                   std::uint8_t(total), std::uint8_t(total >> 8), std::uint8_t(total >> 16), std::uint8_t(total >> 24),
                                   0, 0, 0, 0,
                                   std::uint8_t(pixels), std::uint8_t(pixels >> 8), std::uint8_t(pixels >> 16), std::uint8_t(pixels >> 24)};
    file.insert(file.end(), head, head + 14);
    file.insert(file.end(), r.Data() + offBmi, r.Data() + offBmi + cbBmi);
    file.insert(file.end(), r.Data() + offBits, r.Data() + offBits + cbBits);
    return Bitmap::FromBmpBytes(file);
  }

  // Whether the bitmap info at `offBmi` describes rows stored bottom-up.
  static bool BottomUp(const RecordView& r, std::uint32_t offBmi) {
    if (r.U32(offBmi) == 12) return true;
    return r.I32(offBmi + 8) > 0;
  }

  // Draws `bmp` (source rectangle sx, sy, sw, sh) onto the logical
  // rectangle x, y, w, h.
  void Blit(double x, double y, double w, double h, const Bitmap& bmp, int sx, int sy, int sw, int sh, unsigned rop) {
    if (bmp.IsNull() || sw <= 0 || sh <= 0) return;
    const Affine& m = M();
    const QPointF p = m.Map(x, y), q = m.Map(x + w, y + h);
    QPointF lo(std::min(p.x(), q.x()), std::min(p.y(), q.y()));
    QPointF hi(std::max(p.x(), q.x()), std::max(p.y(), q.y()));
    bool mirrorX = q.x() < p.x(), mirrorY = q.y() < p.y();
    if (!m.AxisAligned()) {  // the bounding box of a turned picture, unturned
      for (const QPointF& c : {m.Map(x + w, y), m.Map(x, y + h)}) {
        lo = QPointF(std::min(lo.x(), c.x()), std::min(lo.y(), c.y()));
        hi = QPointF(std::max(hi.x(), c.x()), std::max(hi.y(), c.y()));
      }
      mirrorX = mirrorY = false;
    }
    const Point a = Px(lo), b = Px(hi);
    if (b.x <= a.x || b.y <= a.y) return;
    ApplyClip();
    dc_.SelectBrush(s_.brush);
    dc_.SetBkColor(s_.bkColour);
    if (!mirrorX && !mirrorY) {
      dc_.StretchBlt(a.x, a.y, b.x - a.x, b.y - a.y, bmp, sx, sy, sw, sh, rop);
      return;
    }
    Bitmap flipped;
    ImageOf(flipped) = ImageOf(bmp).mirrored(mirrorX, mirrorY);
    auto flip = [](int size, int at, int extent) {
      return static_cast<int>(std::clamp<std::int64_t>(std::int64_t{size} - at - extent, INT32_MIN, INT32_MAX));
    };
    const int fx = mirrorX ? flip(bmp.Width(), sx, sw) : sx;
    const int fy = mirrorY ? flip(bmp.Height(), sy, sh) : sy;
    dc_.StretchBlt(a.x, a.y, b.x - a.x, b.y - a.y, flipped, fx, fy, sw, sh, rop);
  }

  void PatternBlit(double x, double y, double w, double h, unsigned rop) {
    if (w == 0 || h == 0) return;
    const Affine& m = M();
    const QPointF p = m.Map(x, y), q = m.Map(x + w, y + h);
    const Point a = Px(QPointF(std::min(p.x(), q.x()), std::min(p.y(), q.y())));
    const Point b = Px(QPointF(std::max(p.x(), q.x()), std::max(p.y(), q.y())));
    if (b.x <= a.x || b.y <= a.y) return;
    ApplyClip();
    dc_.SelectBrush(s_.brush);
    dc_.SetBkColor(s_.bkColour);
    dc_.PatBlt(a.x, a.y, b.x - a.x, b.y - a.y, rop);
  }

  bool BitBlt(std::uint32_t type, const RecordView& r) {
    const std::size_t fixed = type == EMR_STRETCHBLT ? 108 : 100;
    if (r.Size() < fixed) return false;
    const double x = r.I32(24), y = r.I32(28), w = r.I32(32), h = r.I32(36);
    const unsigned rop = r.U32(40);
    const std::uint32_t offBmi = r.U32(84), cbBmi = r.U32(88), offBits = r.U32(92), cbBits = r.U32(96);
    if (cbBmi == 0) {
      PatternBlit(x, y, w, h, rop);
      return true;
    }
    const Bitmap bmp = ReadDib(r, offBmi, cbBmi, offBits, cbBits);
    if (bmp.IsNull()) return false;
    const int sw = type == EMR_STRETCHBLT ? r.I32(100) : static_cast<int>(w);
    const int sh = type == EMR_STRETCHBLT ? r.I32(104) : static_cast<int>(h);
    Blit(x, y, w, h, bmp, r.I32(44), r.I32(48), sw, sh, rop);
    return true;
  }

  bool DibBlt(std::uint32_t type, const RecordView& r) {
    const std::size_t fixed = type == EMR_STRETCHDIBITS ? 80 : 76;
    if (r.Size() < fixed) return false;
    const std::uint32_t offBmi = r.U32(48), cbBmi = r.U32(52), offBits = r.U32(56), cbBits = r.U32(60);
    const Bitmap bmp = ReadDib(r, offBmi, cbBmi, offBits, cbBits);
    if (bmp.IsNull()) return false;
    const int sx = r.I32(32), sw = r.I32(40), sh = r.I32(44);
    int sy = r.I32(36);
    // Source rows of a bottom-up bitmap count from its last row.
    if (BottomUp(r, offBmi)) sy = static_cast<int>(std::clamp<std::int64_t>(std::int64_t{bmp.Height()} - sy - sh, INT32_MIN, INT32_MAX));
    const double x = r.I32(24), y = r.I32(28);
    const double w = type == EMR_STRETCHDIBITS ? r.I32(72) : sw;
    const double h = type == EMR_STRETCHDIBITS ? r.I32(76) : sh;
    const unsigned rop = type == EMR_STRETCHDIBITS ? r.U32(68) : SRCCOPY;
    Blit(x, y, w, h, bmp, sx, sy, sw, sh, rop);
    return true;
  }

  // ---- text ----

  std::string ShownText(const std::u16string& units) const {
    QString s = QString::fromStdU16String(units);
    QString out;
    out.reserve(s.size());
    const bool symbol = s_.font.charSet == SYMBOL_CHARSET;
    for (QChar c : s) {
      char16_t u = c.unicode();
      if (u == 0) continue;
      if (symbol && u >= 0xF020 && u <= 0xF0FF) u = static_cast<char16_t>(u - 0xF000);
      out.append(QChar(u));
    }
    return out.toStdString();
  }

  void DrawText(QPointF ref, const std::string& text, std::uint32_t options, const std::optional<Rect>& rect) {
    if (!transformSound_) return;
    const bool updateCp = (s_.align & TA_UPDATECP) != 0;
    if (updateCp) ref = s_.cp;
    const Point at = Px(Map(ref));
    const Affine& m = M();
    ApplyClip();
    if (rect && (options & ETO_OPAQUE)) {
      const QRegion box = LogicalRectRegion(*rect);
      dc_.SetBkColor(s_.bkColour);
      for (const QRect& q : box) dc_.FillRect(Rect{q.x(), q.y(), q.x() + q.width(), q.y() + q.height()}, SolidBrush(s_.bkColour));
    }
    if (rect && (options & ETO_CLIPPED)) {
      const QRegion eff = (s_.clip ? (*s_.clip & base_) : base_) & LogicalRectRegion(*rect);
      PushClip(eff);
      clipDirty_ = true;
    }
    dc_.SelectFont(DeviceFont());
    dc_.SetTextColor(s_.textColour);
    dc_.SetBkColor(s_.bkColour);
    dc_.SetBkMode(s_.bkMode);
    dc_.SetTextAlign(s_.align & ~static_cast<unsigned>(TA_UPDATECP));
    if (!text.empty()) dc_.TextOut(at.x, at.y, text);
    if (updateCp && std::abs(m.a) > 1e-12 && !text.empty()) {
      const double advance = dc_.GetTextExtent(text).cx / m.a;
      const unsigned horizontal = s_.align & TA_CENTER;
      if (horizontal == TA_LEFT) s_.cp.rx() += advance;
      if (horizontal == TA_RIGHT) s_.cp.rx() -= advance;
    }
  }

  bool ExtTextOut(std::uint32_t type, const RecordView& r) {
    // Bounds, graphics mode, x and y scale, then the text block.
    constexpr std::size_t t = 36;
    if (!r.Has(t, 1, 20)) return false;
    const QPointF ref = ReadPointL(r, t);
    const std::uint32_t n = r.U32(t + 8), offString = r.U32(t + 12), options = r.U32(t + 16);
    std::optional<Rect> rect;
    if (!(options & ETO_NO_RECT)) {
      if (!r.Has(t + 20, 1, 16)) return false;
      rect = ReadRect(r, t + 20);
    }
    const bool wide = type == EMR_EXTTEXTOUTW;
    if (!r.Has(offString, n, wide ? 2 : 1)) return false;
    const std::uint32_t shown = std::min<std::uint32_t>(n, kMaxTextUnits);
    std::string text;
    if (options & ETO_GLYPH_INDEX) {
      text.clear();  // glyph numbers of a font we do not have: nothing to show
    } else if (wide) {
      std::u16string units(shown, u'\0');
      for (std::uint32_t k = 0; k < shown; ++k) units[k] = static_cast<char16_t>(r.U16(offString + 2 * std::size_t{k}));
      text = ShownText(units);
    } else {
      text = AnsiText(r, offString, shown);
    }
    DrawText(ref, text, options, rect);
    return true;
  }

  std::string AnsiText(const RecordView& r, std::size_t offset, std::uint32_t n) const {
    std::string text;
    const bool symbol = s_.font.charSet == SYMBOL_CHARSET;
    for (std::uint32_t k = 0; k < n; ++k) {
      const unsigned char b = r.U8(offset + k);
      if (b == 0) continue;
      kv::AppendUtf8(text, symbol ? char32_t{b} : kv::Cp1252ToUnicode(b));
    }
    return text;
  }

  bool SmallTextOut(const RecordView& r) {
    if (!r.Has(8, 1, 28)) return false;
    const QPointF ref(r.I32(8), r.I32(12));
    const std::uint32_t n = r.U32(16), options = r.U32(20);
    std::size_t at = 36;
    std::optional<Rect> rect;
    if (!(options & ETO_NO_RECT)) {
      if (!r.Has(at, 1, 16)) return false;
      rect = ReadRect(r, at);
      at += 16;
    }
    const bool narrow = (options & ETO_SMALL_CHARS) != 0;
    if (!r.Has(at, n, narrow ? 1 : 2)) return false;
    const std::uint32_t shown = std::min<std::uint32_t>(n, kMaxTextUnits);
    std::string text;
    if (narrow) {
      text = AnsiText(r, at, shown);
    } else {
      std::u16string units(shown, u'\0');
      for (std::uint32_t k = 0; k < shown; ++k) units[k] = static_cast<char16_t>(r.U16(at + 2 * std::size_t{k}));
      text = ShownText(units);
    }
    DrawText(ref, text, options, rect);
    return true;
  }

  // ---- the records ----

  bool SetTransform(const Affine& a) {
    if (!a.Sound()) return false;
    s_.world = a;
    transformDirty_ = true;
    clipDirty_ = true;
    return true;
  }

  static Affine ReadXform(const RecordView& r, std::size_t o) {
    return Affine{r.F32(o), r.F32(o + 4), r.F32(o + 8), r.F32(o + 12), r.F32(o + 16), r.F32(o + 20)};
  }

  bool Play(const RecordView& r) {
    const std::uint32_t type = r.Type();
    const std::size_t size = r.Size();
    // Drawing records need a usable transform.
    M();
    switch (type) {
      // -- state --
      case EMR_SETMAPMODE: {
        const std::uint32_t mode = r.U32(8);
        if (size < 12 || mode < MM_TEXT || mode > MM_ANISOTROPIC) return false;
        s_.mapMode = mode;
        transformDirty_ = true;
        return true;
      }
      case EMR_SETWINDOWEXTEX:
      case EMR_SETWINDOWORGEX:
      case EMR_SETVIEWPORTEXTEX:
      case EMR_SETVIEWPORTORGEX: {
        if (size < 16) return false;
        const QPointF v(r.I32(8), r.I32(12));
        if (type == EMR_SETWINDOWEXTEX) {
          if (v.x() == 0 || v.y() == 0) return false;
          s_.winExt = v;
        }
        if (type == EMR_SETWINDOWORGEX) s_.winOrg = v;
        if (type == EMR_SETVIEWPORTEXTEX) {
          if (v.x() == 0 || v.y() == 0) return false;
          s_.vpExt = v;
        }
        if (type == EMR_SETVIEWPORTORGEX) s_.vpOrg = v;
        transformDirty_ = true;
        return true;
      }
      case EMR_SCALEVIEWPORTEXTEX:
      case EMR_SCALEWINDOWEXTEX: {
        if (size < 24) return false;
        const double xn = r.I32(8), xd = r.I32(12), yn = r.I32(16), yd = r.I32(20);
        if (xd == 0 || yd == 0 || xn == 0 || yn == 0) return false;
        QPointF& ext = type == EMR_SCALEVIEWPORTEXTEX ? s_.vpExt : s_.winExt;
        const QPointF scaled(ext.x() * xn / xd, ext.y() * yn / yd);
        if (!std::isfinite(scaled.x()) || !std::isfinite(scaled.y()) || scaled.x() == 0 || scaled.y() == 0) return false;
        ext = scaled;
        transformDirty_ = true;
        return true;
      }
      case EMR_SETWORLDTRANSFORM:
        if (size < 32) return false;
        return SetTransform(ReadXform(r, 8));
      case EMR_MODIFYWORLDTRANSFORM: {
        if (size < 36) return false;
        const Affine x = ReadXform(r, 8);
        switch (r.U32(32)) {
          case MWT_IDENTITY: return SetTransform(Affine{});
          case MWT_LEFTMULTIPLY: return SetTransform(x.Then(s_.world));
          case MWT_RIGHTMULTIPLY: return SetTransform(s_.world.Then(x));
          case MWT_SET: return SetTransform(x);
          default: return false;
        }
      }
      case EMR_SETBKMODE:
        if (size < 12 || (r.U32(8) != TRANSPARENT && r.U32(8) != OPAQUE)) return false;
        s_.bkMode = static_cast<int>(r.U32(8));
        return true;
      case EMR_SETPOLYFILLMODE:
        if (size < 12 || (r.U32(8) != ALTERNATE && r.U32(8) != WINDING)) return false;
        s_.fillMode = static_cast<int>(r.U32(8));
        return true;
      case EMR_SETROP2:
        if (size < 12 || r.U32(8) < R2_BLACK || r.U32(8) > R2_WHITE) return false;
        s_.rop2 = static_cast<int>(r.U32(8));
        return true;
      case EMR_SETTEXTALIGN:
        if (size < 12) return false;
        s_.align = r.U32(8) & (TA_UPDATECP | TA_CENTER | TA_BASELINE);
        return true;
      case EMR_SETTEXTCOLOR:
        if (size < 12) return false;
        s_.textColour = ColourRef(r.U32(8));
        return true;
      case EMR_SETBKCOLOR:
        if (size < 12) return false;
        s_.bkColour = ColourRef(r.U32(8));
        return true;
      case EMR_SETARCDIRECTION:
        if (size < 12) return false;
        s_.clockwise = r.U32(8) == 2;
        return true;
      case EMR_MOVETOEX:
        if (size < 16) return false;
        s_.cp = ReadPointL(r, 8);
        if (inPath_) path_.push_back(Figure{{Map(s_.cp)}, false});
        return true;
      case EMR_SAVEDC:
        if (saved_.size() >= kMaxSavedStates) return false;
        saved_.push_back(s_);
        return true;
      case EMR_RESTOREDC: {
        if (size < 12) return false;
        const std::int64_t n = r.I32(8);
        const std::int64_t count = static_cast<std::int64_t>(saved_.size());
        const std::int64_t level = n < 0 ? count + 1 + n : n;
        if (n == 0 || level < 1 || level > count) return false;
        s_ = std::move(saved_[static_cast<std::size_t>(level - 1)]);
        saved_.resize(static_cast<std::size_t>(level - 1));
        transformDirty_ = true;
        clipDirty_ = true;
        return true;
      }

      // -- objects --
      case EMR_CREATEPEN: {
        if (size < 28) return false;
        ObjectSlot o;
        o.kind = ObjectSlot::PenKind;
        const int width = r.I32(16);
        o.pen = PenSpec{PenStyleOf(r.U32(12)), std::abs(double(width)), width == 0, ColourRef(r.U32(24))};
        return Create(r.U32(8), o);
      }
      case EMR_EXTCREATEPEN: {
        if (size < 52) return false;
        ObjectSlot o;
        o.kind = ObjectSlot::PenKind;
        const std::uint32_t style = r.U32(28);
        const bool geometric = (style & 0xF0000) == 0x10000;
        const double width = r.U32(32);
        o.pen = PenSpec{PenStyleOf(style), width, !geometric || width == 0, ColourRef(r.U32(40))};
        if (r.U32(36) == 1) o.pen.style = PS_NULL;  // a hollow brush draws nothing
        return Create(r.U32(8), o);
      }
      case EMR_CREATEBRUSHINDIRECT: {
        if (size < 24) return false;
        ObjectSlot o;
        o.kind = ObjectSlot::BrushKind;
        o.brush = BrushOf(r.U32(12), ColourRef(r.U32(16)), r.U32(20));
        return Create(r.U32(8), o);
      }
      case EMR_CREATEDIBPATTERNBRUSHPT:
      case EMR_CREATEMONOBRUSH: {
        if (size < 32) return false;
        ObjectSlot o;
        o.kind = ObjectSlot::BrushKind;
        o.brush = PatternBrush(r);
        return Create(r.U32(8), o);
      }
      case EMR_EXTCREATEFONTINDIRECTW: {
        if (size < 12 + kLogFontWSize) return false;
        ObjectSlot o;
        o.kind = ObjectSlot::FontKind;
        o.font = DecodeLogFontW(r, 12);
        return Create(r.U32(8), o);
      }
      case EMR_CREATEPALETTE:
        if (size < 12) return false;
        return Create(r.U32(8), ObjectSlot{});
      case EMR_SELECTOBJECT: {
        if (size < 12) return false;
        const std::uint32_t index = r.U32(8);
        if (index & kStockObject) {
          SelectStock(index & ~kStockObject);
          return true;
        }
        const auto it = objects_.find(index);
        if (it == objects_.end()) return false;
        switch (it->second.kind) {
          case ObjectSlot::PenKind: s_.pen = it->second.pen; break;
          case ObjectSlot::BrushKind: s_.brush = it->second.brush; break;
          case ObjectSlot::FontKind: s_.font = it->second.font; break;
          default: break;
        }
        return true;
      }
      case EMR_DELETEOBJECT:
        if (size < 12) return false;
        return objects_.erase(r.U32(8)) > 0;

      // -- clipping --
      case EMR_INTERSECTCLIPRECT:
      case EMR_EXCLUDECLIPRECT:
        if (size < 24 || !transformSound_) return false;
      {
        const Rect rc = ReadRect(r, 8);
        std::vector<QPointF> shape = s_.clipShape;
        CombineClip(LogicalRectRegion(rc), type == EMR_INTERSECTCLIPRECT ? RGN_AND : RGN_DIFF);
        if (type == EMR_INTERSECTCLIPRECT && !shape.empty() && M().AxisAligned()) {
          const QPointF p = Map(rc.left, rc.top), q = Map(rc.right, rc.bottom);
          s_.clipShape = ClipToRect(shape, QRectF(QPointF(std::min(p.x(), q.x()), std::min(p.y(), q.y())),
                                                  QPointF(std::max(p.x(), q.x()), std::max(p.y(), q.y()))));
          if (s_.clipShape.size() < 3) s_.clipShape.clear();
        }
        return true;
      }
      case EMR_EXTSELECTCLIPRGN: {
        if (size < 16) return false;
        const std::uint32_t bytes = r.U32(8), mode = r.U32(12);
        if (mode < RGN_AND || mode > RGN_COPY) return false;
        if (bytes == 0) {
          if (mode != RGN_COPY) return false;
          s_.clip.reset();
          s_.clipShape.clear();
          clipDirty_ = true;
          return true;
        }
        const std::optional<QRegion> region = ReadRegion(r, 16, bytes, true);
        if (!region) return false;
        CombineClip(*region, mode);
        return true;
      }
      case EMR_OFFSETCLIPRGN: {
        if (size < 16 || !transformSound_) return false;
        if (!s_.clip) return true;
        const Point v = Px(M().MapVector(r.I32(8), r.I32(12)));
        s_.clip->translate(v.x, v.y);
        CombineClip(*s_.clip, RGN_COPY);
        return true;
      }
      case EMR_SELECTCLIPPATH: {
        if (size < 12) return false;
        const std::uint32_t mode = r.U32(8);
        if (mode < RGN_AND || mode > RGN_COPY) return false;
        const bool shape = path_.size() == 1 && path_[0].pts.size() >= 3 && s_.fillMode == WINDING &&
                           (mode == RGN_COPY || (mode == RGN_AND && !s_.clip));
        CombineClip(PathRegion(), mode);
        if (shape) s_.clipShape = path_[0].pts;
        path_.clear();
        inPath_ = false;
        return true;
      }

      // -- paths --
      case EMR_BEGINPATH:
        path_.clear();
        inPath_ = true;
        return true;
      case EMR_ENDPATH:
        inPath_ = false;
        return true;
      case EMR_ABORTPATH:
        path_.clear();
        inPath_ = false;
        return true;
      case EMR_CLOSEFIGURE:
        if (!path_.empty()) path_.back().closed = true;
        return true;
      case EMR_FLATTENPATH:
      case EMR_WIDENPATH:
        return true;  // paths are flat already; widening is not done
      case EMR_FILLPATH:
      case EMR_STROKEPATH:
      case EMR_STROKEANDFILLPATH:
        if (!transformSound_) return false;
        FinishPath(type != EMR_STROKEPATH, type != EMR_FILLPATH);
        return true;

      default: break;
    }

    if (!transformSound_) return false;
    switch (type) {
      case EMR_LINETO: {
        if (size < 16) return false;
        const QPointF to = ReadPointL(r, 8);
        if (inPath_) {
          OpenFigure()->pts.push_back(Map(to));
        } else {
          ApplyLine();
          const Point a = Px(Map(s_.cp)), b = Px(Map(to));
          dc_.MoveTo(a.x, a.y);
          dc_.LineTo(b.x, b.y);
        }
        s_.cp = to;
        return true;
      }
      case EMR_POLYLINE:
      case EMR_POLYGON:
      case EMR_POLYLINETO:
      case EMR_POLYBEZIER:
      case EMR_POLYBEZIERTO:
      case EMR_POLYLINE16:
      case EMR_POLYGON16:
      case EMR_POLYLINETO16:
      case EMR_POLYBEZIER16:
      case EMR_POLYBEZIERTO16:
        return Poly(type, r);
      case EMR_POLYPOLYLINE:
      case EMR_POLYPOLYGON:
      case EMR_POLYPOLYLINE16:
      case EMR_POLYPOLYGON16:
        return PolyPoly(type, r);
      case EMR_RECTANGLE:
      case EMR_ELLIPSE:
      case EMR_ROUNDRECT:
      case EMR_ARC:
      case EMR_ARCTO:
      case EMR_CHORD:
      case EMR_PIE:
        return Shape(type, r);
      case EMR_SETPIXELV: {
        if (size < 20) return false;
        ApplyClip();
        const Point p = Px(Map(ReadPointL(r, 8)));
        dc_.SetPixel(p.x, p.y, ColourRef(r.U32(16)));
        return true;
      }
      case EMR_FILLRGN:
      case EMR_PAINTRGN:
      case EMR_INVERTRGN: {
        if (size < 28) return false;
        const std::uint32_t bytes = r.U32(24);
        const bool withBrush = type == EMR_FILLRGN;
        Brush brush = s_.brush;
        if (withBrush) {
          const std::uint32_t index = r.U32(28);
          if (index & kStockObject) {
            const Brush keep = s_.brush;
            SelectStock(index & ~kStockObject);
            brush = s_.brush;
            s_.brush = keep;
          } else {
            const auto it = objects_.find(index);
            if (it == objects_.end() || it->second.kind != ObjectSlot::BrushKind) return false;
            brush = it->second.brush;
          }
        }
        const std::optional<QRegion> region = ReadRegion(r, withBrush ? 32 : 28, bytes, false);
        if (!region) return false;
        if (type == EMR_INVERTRGN) {
          ApplyClip();
          for (const QRect& q : *region) dc_.PatBlt(q.x(), q.y(), q.width(), q.height(), DSTINVERT);
        } else {
          FillRegion(*region, brush);
        }
        return true;
      }
      case EMR_BITBLT:
      case EMR_STRETCHBLT:
        return BitBlt(type, r);
      case EMR_STRETCHDIBITS:
      case EMR_SETDIBITSTODEVICE:
        return DibBlt(type, r);
      case EMR_EXTTEXTOUTW:
      case EMR_EXTTEXTOUTA:
        return ExtTextOut(type, r);
      case EMR_SMALLTEXTOUT:
        return SmallTextOut(r);
      default:
        return false;  // unknown or not supported: skipped
    }
  }
};

}  // namespace

EmfPlayStats PlayEnhMetafile(DC& dc, const EnhMetafile& emf, const Rect& dest) {
  // Destinations wider or taller than 2^28 pixels are refused, so that
  // their sizes never overflow.
  const std::int64_t w = std::int64_t{dest.right} - dest.left, h = std::int64_t{dest.bottom} - dest.top;
  if (emf.IsNull() || w <= 0 || h <= 0 || w > (1 << 28) || h > (1 << 28)) return EmfPlayStats{};
  Player player(dc, emf.Header(), dest);
  return player.Run(emf.Bits().data(), emf.Bits().size());
}

Bitmap RenderEnhMetafile(const EnhMetafile& emf, int width, int height, Colour background) {
  if (emf.IsNull() || width <= 0 || height <= 0 || width > 16384 || height > 16384) return Bitmap();
  Bitmap out(width, height, background);
  BitmapDC dc(out);
  PlayEnhMetafile(dc, emf, Rect{0, 0, width, height});
  return out;
}

}  // namespace plat
