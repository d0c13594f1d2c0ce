// BitmapDC's ellipses, arcs and pies: the pixel ellipse inscribed in a box,
// the sweep from the start ray to the end ray decided with integer
// arithmetic on the rays, dashed outlines ordered along the curve, and wide
// outlines stroked along the ellipse through the outer pixels' centres.
#include <QPointF>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <utility>
#include <vector>

#include "platform/bitmap_dc_impl.h"
#include "platform/bitmap_impl.h"
#include "platform/dc.h"
#include "platform/raster_paint.h"
#include "platform/raster_shapes.h"

namespace plat {

using namespace raster;

namespace {

constexpr double kPi = std::numbers::pi;

// ---- ellipses ----
//
// The pixels of the ellipse inscribed in the box [l, r) x [t, b): a pixel
// belongs to it when its centre lies inside the ellipse through the outer
// box edges.  The middle row(s) always reach the left and right columns and
// every row has at least its middle pixel(s), so the shape touches all four
// sides of the box even when it is very flat or very narrow, and never
// leaves it.  Rows are intervals that shrink away from the middle, so the
// border (pixels with a 4-neighbour outside) is a thin 8-connected curve.
struct EllipseShape {
  i64 l, t, r, b;

  bool Span(i64 y, i64& lo, i64& hi) const {
    if (y < t || y >= b) return false;
    const i64 w = r - l, h = b - t;
    if ((h % 2 == 1 && y == (t + b - 1) / 2) || (h % 2 == 0 && (y == (t + b) / 2 - 1 || y == (t + b) / 2))) {
      lo = l;
      hi = r - 1;
      return true;
    }
    // Doubled coordinates: X = 2x + 1 - (l + r), Y = 2y + 1 - (t + b);
    // inside when (X / w)^2 + (Y / h)^2 <= 1.
    const long double Y = static_cast<long double>(2 * y + 1 - (t + b));
    const long double q = 1.0L - (Y / h) * (Y / h);
    i64 X = q > 0 ? static_cast<i64>(std::floor(static_cast<long double>(w) * std::sqrt(q))) : -1;
    // X has the parity of w + 1 (pixel centres).
    if (X >= 0 && ((X - (w + 1)) % 2 != 0)) --X;
    if (X < 0) X = (w % 2 == 1) ? 0 : 1;  // the middle pixel(s)
    lo = (-X + l + r - 1) / 2;
    hi = (X + l + r - 1) / 2;
    return true;
  }

  // Border and interior of one row, given the rows above and below.
  template <class Border, class Inner>
  void Row(i64 y, Border&& border, Inner&& inner) const {
    i64 lo, hi;
    if (!Span(y, lo, hi)) return;
    i64 alo, ahi, blo, bhi;
    const bool above = Span(y - 1, alo, ahi);
    const bool below = Span(y + 1, blo, bhi);
    if (!above || !below) {
      border(lo, hi);
      return;
    }
    const i64 ilo = std::max({lo + 1, alo, blo});
    const i64 ihi = std::min({hi - 1, ahi, bhi});
    if (ilo > ihi) {
      border(lo, hi);
      return;
    }
    border(lo, ilo - 1);
    border(ihi + 1, hi);
    inner(ilo, ihi);
  }

  // Direction of a pixel centre from the centre of the box, in doubled
  // coordinates with y pointing up (counter-clockwise as seen on the
  // screen).
  void VectorOf(i64 x, i64 y, i64& vx, i64& vy) const {
    vx = 2 * x + 1 - (l + r);
    vy = -(2 * y + 1 - (t + b));
  }
};

double AngleOf(i64 vx, i64 vy) {
  double a = std::atan2(static_cast<double>(vy), static_cast<double>(vx));
  if (a < 0) a += 2 * kPi;
  return a;
}

// The direction from the centre of the box towards a point (its pixel
// centre); a point at the centre counts as pointing right.
struct Ray {
  i64 vx = 1, vy = 0;
  double angle = 0;
};

Ray RayTo(const EllipseShape& e, Point p) {
  Ray r;
  e.VectorOf(p.x, p.y, r.vx, r.vy);
  if (r.vx == 0 && r.vy == 0) r.vx = 1;
  r.angle = AngleOf(r.vx, r.vy);
  return r;
}

bool OnRay(const Ray& ray, i64 vx, i64 vy) {
  const i128 cross = i128{ray.vx} * vy - i128{ray.vy} * vx;
  const i128 dot = i128{ray.vx} * vx + i128{ray.vy} * vy;
  return cross == 0 && dot > 0;
}

// The region of the plane from the start ray counter-clockwise to the end
// ray.  Pixels exactly on a ray are decided with integer arithmetic, so
// two arcs that share a ray never both draw, or both miss, its pixels.
struct Sweep {
  bool full = true;
  Ray start, end;
  double extent = 2 * kPi;

  double Offset(double angle) const {
    double d = angle - start.angle;
    while (d < 0) d += 2 * kPi;
    while (d >= 2 * kPi) d -= 2 * kPi;
    return d;
  }
  // Angle of the direction (vx, vy) from the start ray, in [0, 2 pi).
  double OffsetOf(i64 vx, i64 vy) const {
    if (OnRay(start, vx, vy)) return 0;
    if (OnRay(end, vx, vy)) return extent;
    return Offset(AngleOf(vx, vy));
  }
  // The centre itself belongs to every sweep.
  bool Contains(i64 vx, i64 vy, bool withEnd) const {
    if (full || (vx == 0 && vy == 0)) return true;
    if (OnRay(start, vx, vy)) return true;
    if (OnRay(end, vx, vy)) return withEnd;
    return Offset(AngleOf(vx, vy)) < extent;
  }
};

Sweep MakeSweep(const Ray& s, const Ray& e) {
  Sweep w;
  w.start = s;
  w.end = e;
  if (OnRay(s, e.vx, e.vy)) return w;
  w.full = false;
  w.extent = w.Offset(e.angle);
  if (w.extent <= 0) w.extent = 2 * kPi;
  return w;
}

// The path of a thin outline: the ellipse through the pixel centres of the
// box's outer pixels, in device pixel coordinates.
struct EllipsePath {
  double cx, cy, a, b;
  explicit EllipsePath(const Rect& r)
      : cx((static_cast<double>(r.left) + r.right - 1) / 2),
        cy((static_cast<double>(r.top) + r.bottom - 1) / 2),
        a((static_cast<double>(r.right) - r.left - 1) / 2),
        b((static_cast<double>(r.bottom) - r.top - 1) / 2) {}
  // Parameter of the point where the ray at `angle` meets the ellipse.
  double ParamOf(double angle) const {
    if (a <= 0 || b <= 0) return angle;
    return std::atan2(a * std::sin(angle), b * std::cos(angle));
  }
  QPointF At(double param) const { return QPointF(cx + a * std::cos(param), cy - b * std::sin(param)); }
  // Points along the arc, close enough for a smooth wide stroke.
  std::vector<QPointF> Samples(double fromParam, double extent) const {
    const double perimeter = 2 * kPi * std::sqrt((a * a + b * b) / 2);
    const int n = std::clamp(static_cast<int>(perimeter * extent / (2 * kPi) / 2), 8, 20000);
    std::vector<QPointF> out;
    out.reserve(static_cast<std::size_t>(n) + 1);
    for (int k = 0; k <= n; ++k) out.push_back(At(fromParam + extent * k / n));
    return out;
  }
};

Point RoundPoint(QPointF p) {
  return Point{ClampToInt(static_cast<i64>(std::floor(p.x() + 0.5))),
               ClampToInt(static_cast<i64>(std::floor(p.y() + 0.5)))};
}

// Pixel-ordered outlines are only built for shapes up to this size (dash
// patterns need the order); larger dashed ellipses draw solid.
constexpr i64 kMaxOrderedEllipse = 32768;

}  // namespace

// Ellipses, arcs and pies.  A thin outline is the border of the pixel
// ellipse (see EllipseShape); an arc keeps the border pixels whose centres
// lie from the start ray counter-clockwise up to, but not including, the
// end ray (a pie includes both rays and joins them to the centre).  The
// null pen shrinks a filled shape by a pixel to the right and bottom, like
// Rectangle.
void BitmapDC::Impl::DrawEllipse(BitmapDC& dc, const Rect& box, Point start, Point end, EllipseKind kind) {
  const PenPaint pen = MakePenPaint(dc.CurrentPen(), dc.GetBkColor(), dc.GetBkMode(), dc.GetROP2());
  const BrushPaint brush = MakeBrushPaint(dc.CurrentBrush(), dc.GetBkColor(), dc.GetBkMode() == OPAQUE);
  haveLast = false;
  if (dc.GetROP2() == R2_NOP) return;
  const bool ellipse = kind == Whole;
  const bool pie = kind == PieShape;
  const bool filled = ellipse || pie;
  const bool hasPen = dc.CurrentPen().style != PS_NULL;
  if (!hasPen && !filled) return;
  EllipseShape shape{box.left, box.top, box.right, box.bottom};
  if (!hasPen) {
    shape.r -= 1;
    shape.b -= 1;
  }
  if (shape.r <= shape.l || shape.b <= shape.t) return;
  Canvas c = Prepare(ImageOf(dc.target_), dc.CurrentClip());
  const i64 m = hasPen ? pen.width / 2 + 2 : 0;
  const Box area = Intersect(c.box, MakeBox(shape.l - m, shape.t - m, shape.r + m, shape.b + m));
  if (area.Empty()) return;

  const Ray rs = RayTo(shape, start);
  const Ray re = RayTo(shape, end);
  const Sweep sweep = ellipse ? Sweep{} : MakeSweep(rs, re);
  const bool fillBrush = filled && brush.kind != BrushPaint::None;
  const bool thin = hasPen && pen.width <= 1;

  Coverage cov(area, coverage);
  const i64 rowFrom = std::max<i64>(shape.t, area.y0);
  const i64 rowTo = std::min<i64>(shape.b, area.y1);
  for (i64 y = rowFrom; y < rowTo; ++y) {
    // Marks the pixels of a run within the row that lie in the sweep.
    auto mark = [&](i64 lo, i64 hi, std::uint8_t bit, bool withEnd) {
      if (sweep.full) return cov.MarkRow(y, lo, hi, bit);
      lo = std::max<i64>(lo, area.x0);
      hi = std::min<i64>(hi, area.x1 - 1);
      for (i64 x = lo; x <= hi; ++x) {
        i64 vx, vy;
        shape.VectorOf(x, y, vx, vy);
        if (sweep.Contains(vx, vy, withEnd)) cov.At(static_cast<int>(x), static_cast<int>(y)) |= bit;
      }
    };
    auto inner = [&](i64 lo, i64 hi) {
      if (fillBrush) mark(lo, hi, kFill, true);
    };
    // Border pixels belong to the outline of a thin pen; otherwise they
    // are filled like the inside.
    auto border = [&](i64 lo, i64 hi) {
      if (thin)
        mark(lo, hi, kPenOn, pie);
      else
        inner(lo, hi);
    };
    shape.Row(y, border, inner);
  }

  // A dashed thin outline: order the border pixels along the curve from
  // the start ray and apply the pattern in that order.
  if (thin && pen.dash && shape.r - shape.l <= kMaxOrderedEllipse &&
      shape.b - shape.t <= kMaxOrderedEllipse) {
    struct Px {
      double offset;
      int x, y;
    };
    std::vector<Px> order;
    for (i64 y = shape.t; y < shape.b; ++y) {
      shape.Row(
          y,
          [&](i64 lo, i64 hi) {
            for (i64 x = lo; x <= hi; ++x) {
              i64 vx, vy;
              shape.VectorOf(x, y, vx, vy);
              if (sweep.Contains(vx, vy, pie))
                order.push_back({sweep.OffsetOf(vx, vy), static_cast<int>(x), static_cast<int>(y)});
            }
          },
          [](i64, i64) {});
    }
    std::sort(order.begin(), order.end(), [](const Px& a, const Px& b) { return a.offset < b.offset; });
    for (std::size_t k = 0; k < order.size(); ++k) {
      if (!area.Contains(order[k].x, order[k].y)) continue;
      std::uint8_t& v = cov.At(order[k].x, order[k].y);
      v = static_cast<std::uint8_t>((v & ~kPenOn) | (DashOn(pen.dash, static_cast<i64>(k)) ? kPenOn : kPenGap));
    }
  }

  const EllipsePath path(Rect{box.left, box.top, box.right, box.bottom});
  const Point centre = RoundPoint(QPointF(path.cx, path.cy));
  const Point ps = RoundPoint(path.At(path.ParamOf(rs.angle)));
  const Point pe = RoundPoint(path.At(path.ParamOf(re.angle)));
  if (thin && pie && !sweep.full) {
    // The two radii, from the end of the arc to the centre and back out.
    for (const auto& seg : {std::pair{pe, centre}, std::pair{centre, ps}}) {
      WalkLine(seg.first, seg.second, area, [&](int x, int y, i64) { cov.At(x, y) |= kPenOn; });
      cov.Mark(seg.second.x, seg.second.y, kPenOn);
    }
  }
  if (hasPen && pen.width > 1) {
    const double from = sweep.full ? 0 : path.ParamOf(rs.angle);
    double extent = 2 * kPi;
    if (!sweep.full) {
      extent = path.ParamOf(re.angle) - from;
      while (extent <= 0) extent += 2 * kPi;
    }
    std::vector<QPointF> pts = path.Samples(from, extent);
    const bool closedPie = pie && !sweep.full;
    if (closedPie) pts.push_back(QPointF(path.cx, path.cy));
    WideOutline(cov, pts, closedPie, pen.width);
  }
  Composite(c, cov, pen, brush, dc.GetROP2());
}

void BitmapDC::DoEllipse(const Rect& r) { impl_->DrawEllipse(*this, r, {}, {}, Impl::Whole); }

void BitmapDC::DoArc(const Rect& box, Point start, Point end, bool pie) {
  impl_->DrawEllipse(*this, box, start, end, pie ? Impl::PieShape : Impl::ArcOnly);
}

}  // namespace plat
