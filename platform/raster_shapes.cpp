// The rasteriser's shapes (see raster_shapes.h): thin lines and outlines,
// wide outlines and polygon fills through the toolkit's rasteriser into a
// coverage mask, and the mask combined with the image.
#include "platform/raster_shapes.h"

#include <QPen>

#include <cstddef>
#include <cstdint>
#include <vector>

namespace plat::raster {

void ThinOutline(Coverage& cov, const std::vector<Point>& pts, bool closed, const PenPaint& pen) {
  i64 phase = 0;
  const std::size_t n = pts.size();
  if (n < 2) return;
  const std::size_t segments = closed ? n : n - 1;
  for (std::size_t k = 0; k < segments; ++k) {
    const Point a = pts[k];
    const Point b = pts[(k + 1) % n];
    WalkLine(a, b, cov.box, [&](int x, int y, i64 i) {
      cov.At(x, y) |= DashOn(pen.dash, phase + i) ? kPenOn : kPenGap;
    });
    phase += LineSteps(a, b);
  }
}

QPolygonF ClipPolygon(QPolygonF poly, double x0, double y0, double x1, double y1) {
  auto cut = [&poly](auto inside, auto intersect) {
    QPolygonF out;
    const qsizetype n = poly.size();
    for (qsizetype i = 0; i < n; ++i) {
      const QPointF cur = poly[i];
      const QPointF prev = poly[(i + n - 1) % n];
      const bool ci = inside(cur), pi = inside(prev);
      if (ci) {
        if (!pi) out << intersect(prev, cur);
        out << cur;
      } else if (pi) {
        out << intersect(prev, cur);
      }
    }
    poly = out;
  };
  auto atX = [](double x) {
    return [x](QPointF a, QPointF b) {
      return QPointF(x, a.y() + (b.y() - a.y()) * (x - a.x()) / (b.x() - a.x()));
    };
  };
  auto atY = [](double y) {
    return [y](QPointF a, QPointF b) {
      return QPointF(a.x() + (b.x() - a.x()) * (y - a.y()) / (b.y() - a.y()), y);
    };
  };
  cut([x0](QPointF p) { return p.x() >= x0; }, atX(x0));
  cut([x1](QPointF p) { return p.x() <= x1; }, atX(x1));
  cut([y0](QPointF p) { return p.y() >= y0; }, atY(y0));
  cut([y1](QPointF p) { return p.y() <= y1; }, atY(y1));
  return poly;
}

bool ClipSegment(QPointF& a, QPointF& b, double x0, double y0, double x1, double y1) {
  double t0 = 0, t1 = 1;
  const double dx = b.x() - a.x(), dy = b.y() - a.y();
  const double p[4] = {-dx, dx, -dy, dy};
  const double q[4] = {a.x() - x0, x1 - a.x(), a.y() - y0, y1 - a.y()};
  for (int k = 0; k < 4; ++k) {
    if (p[k] == 0) {
      if (q[k] < 0) return false;
      continue;
    }
    const double t = q[k] / p[k];
    if (p[k] < 0)
      t0 = std::max(t0, t);
    else
      t1 = std::min(t1, t);
    if (t0 > t1) return false;
  }
  const QPointF from = a;
  a = QPointF(from.x() + t0 * dx, from.y() + t0 * dy);
  b = QPointF(from.x() + t1 * dx, from.y() + t1 * dy);
  return true;
}

void WideOutline(Coverage& cov, const std::vector<QPointF>& pts, bool closed, int width) {
  if (pts.size() < 2) return;
  const double margin = width / 2.0 + 2;
  const double x0 = cov.box.x0 - margin, y0 = cov.box.y0 - margin;
  const double x1 = cov.box.x1 + margin, y1 = cov.box.y1 + margin;
  PaintCoverage(cov, kPenOn, [&](QPainter& p) {
    p.setPen(QPen(Qt::white, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    const std::size_t n = pts.size();
    const std::size_t segments = closed ? n : n - 1;
    for (std::size_t k = 0; k < segments; ++k) {
      QPointF a = pts[k] + QPointF(0.5, 0.5);
      QPointF b = pts[(k + 1) % n] + QPointF(0.5, 0.5);
      if (a == b) continue;
      // A cut end gets a cap, but only outside the area that is drawn.
      if (ClipSegment(a, b, x0, y0, x1, y1)) p.drawLine(a, b);
    }
  });
}

void Composite(Canvas& c, const Coverage& cov, const PenPaint& pen, const BrushPaint& brush,
               int rop) {
  for (int y = cov.box.y0; y < cov.box.y1; ++y) {
    const std::uint8_t* m = &cov.v[static_cast<std::size_t>(y - cov.box.y0) * cov.box.W()];
    for (int x = cov.box.x0; x < cov.box.x1; ++x) {
      const std::uint8_t v = m[x - cov.box.x0];
      if (!v || !c.InClip(x, y)) continue;
      QRgb colour;
      if (v & kPenOn) {
        colour = pen.fg;
      } else if (v & kPenGap) {
        if (!pen.opaqueGaps) continue;
        colour = pen.bk;
      } else if (!brush.At(x, y, colour)) {
        continue;
      }
      c.Put(x, y, colour, rop);
    }
  }
}

std::vector<QPointF> ToPointsF(const std::vector<Point>& pts) {
  std::vector<QPointF> out;
  out.reserve(pts.size());
  for (const Point& p : pts) out.emplace_back(p.x, p.y);
  return out;
}

void FillRows(Canvas& c, const Box& box, QRgb colour) {
  if (box.Empty()) return;
  if (box.x0 == 0 && box.W() == c.stride) {
    FillPixels(&c.At(0, box.y0), static_cast<std::size_t>(c.stride) * static_cast<std::size_t>(box.H()), colour);
    return;
  }
  for (int y = box.y0; y < box.y1; ++y) FillPixels(&c.At(box.x0, y), static_cast<std::size_t>(box.W()), colour);
}

}  // namespace plat::raster
