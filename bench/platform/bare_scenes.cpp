#include "platform/bare_scenes.h"

#include <QImage>
#include <QLineF>
#include <QPainter>
#include <QPen>
#include <QPointF>
#include <QPolygonF>

#include <algorithm>
#include <cmath>

namespace kvbench {

struct BareFrame::Impl {
  QImage back;
  QImage surface;
  void Begin() { back.fill(Qt::white); }
  void Show() {
    QPainter p(&surface);
    p.drawImage(0, 0, back);
  }
};

BareFrame::BareFrame(int width, int height) : impl_(std::make_unique<Impl>()) {
  impl_->back = QImage(width, height, QImage::Format_RGB32);
  impl_->surface = QImage(width, height, QImage::Format_RGB32);
  impl_->surface.fill(Qt::white);
}

BareFrame::~BareFrame() = default;

namespace {

struct Mapping {
  double sx, sy, ox, oy;
  explicit Mapping(const BareView& v)
      : sx(static_cast<double>(v.width / (v.xmax - v.xmin))),
        sy(static_cast<double>(v.height / (v.ymax - v.ymin))),
        ox(static_cast<double>(v.left - v.xmin * (v.width / (v.xmax - v.xmin)))),
        oy(static_cast<double>(v.top + v.ymax * (v.height / (v.ymax - v.ymin)))) {}
  QPointF operator()(long double x, long double y) const {
    return QPointF(ox + sx * static_cast<double>(x), oy - sy * static_cast<double>(y));
  }
};

QPen Pen(QRgb c) {
  QPen pen{QColor::fromRgb(c)};
  pen.setWidth(0);
  return pen;
}

}  // namespace

void BareFrame::Curves(const BareView& v, const std::vector<std::function<long double(long double)>>& curves,
                       int samples) {
  impl_->Begin();
  const Mapping map(v);
  QPainter p(&impl_->back);
  QPolygonF run;
  const long double h = (v.xmax - v.xmin) / (samples - 1);
  for (std::size_t c = 0; c < curves.size(); ++c) {
    p.setPen(Pen(0xFF000000u | static_cast<QRgb>(0x2040C0 + 0x1F3311 * c)));
    run.clear();
    long double last = 0;
    for (int k = 0; k < samples; ++k) {
      const long double x = v.xmin + k * h;
      const long double y = curves[c](x);
      const bool broken = !std::isfinite(y) || (!run.isEmpty() && std::fabs(y - last) > v.ymax - v.ymin);
      if (broken) {
        if (run.size() > 1) p.drawPolyline(run);
        run.clear();
      }
      if (std::isfinite(y)) run << map(x, std::clamp(y, v.ymin - 100, v.ymax + 100));
      last = y;
    }
    if (run.size() > 1) p.drawPolyline(run);
  }
  p.end();
  impl_->Show();
}

void BareFrame::Polar(const BareView& v, const std::function<long double(long double)>& r, long double t0,
                      long double t1, int samples) {
  impl_->Begin();
  const Mapping map(v);
  QPainter p(&impl_->back);
  p.setPen(Pen(0xFF2040C0u));
  QPolygonF run;
  const long double h = (t1 - t0) / (samples - 1);
  for (int k = 0; k < samples; ++k) {
    const long double t = t0 + k * h;
    const long double rr = r(t);
    run << map(rr * std::cos(t), rr * std::sin(t));
  }
  p.drawPolyline(run);
  p.end();
  impl_->Show();
}

void BareFrame::Implicit(const BareView& v, const std::function<long double(long double, long double)>& f,
                         int gridPixels) {
  impl_->Begin();
  const Mapping map(v);
  const int nx = v.width / gridPixels + 1;
  const int ny = v.height / gridPixels + 1;
  const long double dx = (v.xmax - v.xmin) * gridPixels / v.width;
  const long double dy = (v.ymax - v.ymin) * gridPixels / v.height;
  std::vector<long double> row0(static_cast<std::size_t>(nx + 1)), row1(row0.size());
  std::vector<QLineF> lines;
  for (int i = 0; i <= nx; ++i) row0[static_cast<std::size_t>(i)] = f(v.xmin + i * dx, v.ymax);
  for (int j = 1; j <= ny; ++j) {
    const long double y1 = v.ymax - j * dy;
    const long double y0 = y1 + dy;
    for (int i = 0; i <= nx; ++i) row1[static_cast<std::size_t>(i)] = f(v.xmin + i * dx, y1);
    for (int i = 0; i < nx; ++i) {
      const long double x0 = v.xmin + i * dx;
      const long double a = row0[static_cast<std::size_t>(i)], b = row0[static_cast<std::size_t>(i) + 1];
      const long double c = row1[static_cast<std::size_t>(i)], d = row1[static_cast<std::size_t>(i) + 1];
      QPointF pts[4];
      int k = 0;
      auto edge = [&](long double fa, long double fb, long double xa, long double ya, long double xb, long double yb) {
        if ((fa < 0) == (fb < 0)) return;
        const long double s = fa / (fa - fb);
        if (k < 4) pts[k++] = map(xa + s * (xb - xa), ya + s * (yb - ya));
      };
      edge(a, b, x0, y0, x0 + dx, y0);
      edge(b, d, x0 + dx, y0, x0 + dx, y1);
      edge(d, c, x0 + dx, y1, x0, y1);
      edge(c, a, x0, y1, x0, y0);
      if (k >= 2) lines.emplace_back(pts[0], pts[1]);
      if (k == 4) lines.emplace_back(pts[2], pts[3]);
    }
    std::swap(row0, row1);
  }
  QPainter p(&impl_->back);
  p.setPen(Pen(0xFF2040C0u));
  p.drawLines(lines.data(), static_cast<int>(lines.size()));
  p.end();
  impl_->Show();
}

void BareFrame::Surface(const std::function<long double(long double, long double)>& f, int n) {
  impl_->Begin();
  const double w = impl_->back.width(), h = impl_->back.height();
  const long double lo = -3.141592653589793L, step = 2 * 3.141592653589793L / n;
  // A fixed oblique view: turn about z, tilt, perspective from distance 12.
  const double ca = std::cos(0.6), sa = std::sin(0.6), cb = std::cos(1.0), sb = std::sin(1.0);
  std::vector<QPointF> screen(static_cast<std::size_t>((n + 1) * (n + 1)));
  std::vector<double> depth(screen.size());
  std::vector<long double> height(screen.size());
  for (int a = 0; a <= n; ++a)
    for (int b = 0; b <= n; ++b) {
      const long double x = lo + a * step, y = lo + b * step;
      long double z = f(x, y);
      if (!std::isfinite(z)) z = 0;
      const std::size_t k = static_cast<std::size_t>(a * (n + 1) + b);
      height[k] = z;
      const double X = static_cast<double>(x) * ca - static_cast<double>(y) * sa;
      const double Y = static_cast<double>(x) * sa + static_cast<double>(y) * ca;
      const double Z = static_cast<double>(z) * 3;
      const double ahead = Y * cb - Z * sb;
      const double up = Y * sb + Z * cb;
      const double far = ahead + 12;
      screen[k] = QPointF(w / 2 + 90 * X * 12 / far, h / 2 - 90 * up * 12 / far);
      depth[k] = far;
    }
  struct Cell {
    double depth;
    int a, b;
  };
  std::vector<Cell> cells;
  cells.reserve(static_cast<std::size_t>(n * n));
  for (int a = 0; a < n; ++a)
    for (int b = 0; b < n; ++b) {
      const std::size_t k = static_cast<std::size_t>(a * (n + 1) + b);
      cells.push_back({depth[k] + depth[k + 1] + depth[k + n + 1] + depth[k + n + 2], a, b});
    }
  std::sort(cells.begin(), cells.end(), [](const Cell& l, const Cell& r) { return l.depth > r.depth; });
  QPainter p(&impl_->back);
  p.setPen(Pen(0xFF000000u));
  QPointF quad[4];
  for (const Cell& c : cells) {
    const std::size_t k = static_cast<std::size_t>(c.a * (n + 1) + c.b);
    quad[0] = screen[k];
    quad[1] = screen[k + 1];
    quad[2] = screen[k + n + 2];
    quad[3] = screen[k + n + 1];
    const int g = std::clamp(static_cast<int>(128 + 100 * height[k]), 0, 255);
    p.setBrush(QColor(g, g, 255 - g / 2));
    p.drawPolygon(quad, 4);
  }
  p.end();
  impl_->Show();
}

unsigned BareFrame::Checksum() const {
  const QImage& s = impl_->surface;
  unsigned sum = 0;
  for (int y = 0; y < s.height(); y += 7) sum += reinterpret_cast<const unsigned*>(s.constScanLine(y))[y % s.width()];
  return sum;
}

}  // namespace kvbench
