#include "plotcore/model/implicit_tracer.h"

#include <algorithm>
#include <cmath>

namespace kv {

namespace {

// Pixel coordinates relative to the view's lower-left corner, y upwards.
struct Pix {
  long double u = 0;
  long double v = 0;
};

class Tracer {
 public:
  Tracer(TImplicitSource& source, const TTracerSettings& s, TPolylineSink* sink)
      : src_(source), set_(s), sink_(sink) {
    sx_ = set_.pixelsPerUnitX > 0 ? set_.pixelsPerUnitX : 1;
    sy_ = set_.pixelsPerUnitY > 0 ? set_.pixelsPerUnitY : 1;
    width_ = (set_.view.xmax - set_.view.xmin) * sx_;
    height_ = (set_.view.ymax - set_.view.ymin) * sy_;
    g_ = std::clamp(set_.gridPixels, 1, 64);
    h_ = set_.stepPixels > 0.05L ? set_.stepPixels : 0.05L;
  }

  TTraceStats Run(TContinuedSearch* continued);
  TTraceStats RunFrom(Pix start);
  bool Project(Pix& p);

  TPoint2D World(const Pix& p) const { return {set_.view.xmin + p.u / sx_, set_.view.ymin + p.v / sy_}; }
  Pix PixelOf(const TPoint2D& w) const { return {(w.x - set_.view.xmin) * sx_, (w.y - set_.view.ymin) * sy_}; }

 private:
  bool F(const Pix& p, long double& f) {
    ++stats_.evaluations;
    const TPoint2D w = World(p);
    return src_.Value(w.x, w.y, f) && std::isfinite(f);
  }
  // The gradient in pixel units.
  bool Grad(const Pix& p, long double& gu, long double& gv);
  // The unit tangent at p oriented along `along`; false when the gradient
  // vanishes (the caller keeps its direction).
  bool Tangent(const Pix& p, const Pix& along, Pix& t);
  long CellIndex(const Pix& p) const {
    const long i = static_cast<long>(std::floor(p.u / g_));
    const long j = static_cast<long>(std::floor(p.v / g_));
    if (i < 0 || j < 0 || i >= cellsX_ || j >= cellsY_) return -1;
    return j * cellsX_ + i;
  }
  bool Inside(const Pix& p, long double margin) const {
    return p.u >= -margin && p.v >= -margin && p.u <= width_ + margin && p.v <= height_ + margin;
  }
  // Follows the curve from p in direction d; returns whether the loop closed.
  bool Follow(const Pix& start, Pix dir, int pieceId);
  void Emit(const Pix& a, const Pix& b, bool& penDown);

  TImplicitSource& src_;
  const TTracerSettings& set_;
  TPolylineSink* sink_;
  TTraceStats stats_;
  long double sx_ = 1, sy_ = 1, width_ = 0, height_ = 0, h_ = 1;
  int g_ = 3;
  long cellsX_ = 0, cellsY_ = 0;
  std::vector<int> owner_;  // per cell: the piece that passed it, 0 none
  bool cancelled_ = false;
};

bool Tracer::Grad(const Pix& p, long double& gu, long double& gv) {
  const TPoint2D w = World(p);
  long double fx = 0;
  long double fy = 0;
  ++stats_.evaluations;
  if (src_.Gradient(w.x, w.y, fx, fy) && std::isfinite(fx) && std::isfinite(fy)) {
    gu = fx / sx_;
    gv = fy / sy_;
    return true;
  }
  // Central differences over a hundredth of a pixel.
  const long double e = 0.01L;
  long double a, b, c, d;
  if (!F({p.u + e, p.v}, a) || !F({p.u - e, p.v}, b) || !F({p.u, p.v + e}, c) || !F({p.u, p.v - e}, d)) return false;
  gu = (a - b) / (2 * e);
  gv = (c - d) / (2 * e);
  return true;
}

bool Tracer::Project(Pix& p) {
  for (int k = 0; k < 8; ++k) {
    long double f;
    if (!F(p, f)) return false;
    if (f == 0) return true;
    long double gu, gv;
    if (!Grad(p, gu, gv)) return false;
    const long double g2 = gu * gu + gv * gv;
    if (!(g2 > 0)) return false;
    const long double s = f / g2;
    const long double du = s * gu;
    const long double dv = s * gv;
    p.u -= du;
    p.v -= dv;
    if (!std::isfinite(p.u) || !std::isfinite(p.v)) return false;
    if (du * du + dv * dv < 1e-8L) {
      // Converged; accept when the remaining distance to the curve is tiny.
      long double f2;
      if (!F(p, f2)) return false;
      return std::fabs(f2) <= 0.01L * std::sqrt(g2) || f2 == 0;
    }
  }
  return false;
}

bool Tracer::Tangent(const Pix& p, const Pix& along, Pix& t) {
  long double gu, gv;
  if (!Grad(p, gu, gv)) return false;
  const long double len = std::sqrt(gu * gu + gv * gv);
  if (!(len > 1e-300L)) return false;
  t = {-gv / len, gu / len};
  if (t.u * along.u + t.v * along.v < 0) {
    t.u = -t.u;
    t.v = -t.v;
  }
  return true;
}

void Tracer::Emit(const Pix& a, const Pix& b, bool& penDown) {
  if (!sink_) return;
  const TPoint2D wa = World(a);
  const TPoint2D wb = World(b);
  // A restriction hides pieces of the curve; test the middle of the step.
  const TPoint2D mid{(wa.x + wb.x) / 2, (wa.y + wb.y) / 2};
  if (!src_.Accept(mid.x, mid.y)) {
    penDown = false;
    return;
  }
  if (!penDown) {
    sink_->MoveTo(wa);
    ++stats_.pieces;
    penDown = true;
  }
  sink_->LineTo(wb);
}

bool Tracer::Follow(const Pix& start, Pix dir, int pieceId) {
  Pix p = start;
  bool penDown = false;
  const long limit = std::clamp<long>(set_.stepLimit, 1, kMaxTraceSteps);
  // How long a trace may run along cells of earlier pieces: through a
  // crossing, but not along a whole curve twice.
  const int foreignLimit = static_cast<int>(std::ceil(3 * g_ / h_)) + 2;
  int foreign = 0;
  const long double cosCritical = 0.94L;  // about 20 degrees
  const long double minStep = h_ / 64;
  const long double margin = 2.0L * g_;
  for (long n = 0; n < limit; ++n) {
    if (sink_ && (n & 255) == 255 && sink_->Cancelled()) {
      cancelled_ = true;
      return false;
    }
    long double h = h_;
    Pix q;
    Pix newDir = dir;
    bool ok = false;
    while (h >= minStep) {
      q = {p.u + h * dir.u, p.v + h * dir.v};
      if (Project(q)) {
        const long double du = q.u - p.u;
        const long double dv = q.v - p.v;
        const long double moved = std::sqrt(du * du + dv * dv);
        // Too far: jumped to another branch; too short: turned back.
        if (moved <= 2 * h && moved >= 0.25L * h && du * dir.u + dv * dir.v > 0) {
          if (!Tangent(q, dir, newDir)) newDir = dir;
          const long double turn = newDir.u * dir.u + newDir.v * dir.v;
          if (!set_.criticalAngle || turn >= cosCritical || h <= 4 * minStep) {
            ok = true;
            break;
          }
        }
      }
      h /= 2;
    }
    if (!ok) return false;
    ++stats_.steps;
    Emit(p, q, penDown);
    if (!Inside(q, margin)) return false;
    if (n >= 3) {
      const long double du = q.u - start.u;
      const long double dv = q.v - start.v;
      if (du * du + dv * dv <= set_.closeTolerance * set_.closeTolerance) {
        Emit(q, start, penDown);
        return true;
      }
    }
    const long cell = CellIndex(q);
    if (cell >= 0) {
      int& o = owner_[static_cast<std::size_t>(cell)];
      if (o != 0 && o != pieceId) {
        if (++foreign > foreignLimit) return false;
      } else {
        foreign = 0;
        o = pieceId;
      }
    }
    p = q;
    dir = newDir;
  }
  return false;
}

TTraceStats Tracer::RunFrom(Pix start) {
  if (!(width_ > 0) || !(height_ > 0) || !std::isfinite(width_) || !std::isfinite(height_)) return stats_;
  cellsX_ = static_cast<long>(std::ceil(width_ / g_));
  cellsY_ = static_cast<long>(std::ceil(height_ / g_));
  if (cellsX_ <= 0 || cellsY_ <= 0 || cellsX_ > 100000 || cellsY_ > 100000) return stats_;
  owner_.assign(static_cast<std::size_t>(cellsX_ * cellsY_), 0);
  if (!Project(start)) return stats_;
  Pix t;
  if (!Tangent(start, {1, 0}, t)) return stats_;
  ++stats_.seeds;
  if (!Follow(start, t, 1) && !cancelled_) Follow(start, {-t.u, -t.v}, 1);
  return stats_;
}

TTraceStats Tracer::Run(TContinuedSearch* continued) {
  if (!(width_ > 0) || !(height_ > 0) || !std::isfinite(width_) || !std::isfinite(height_)) return stats_;
  // The cells, one per grid step of the view.
  cellsX_ = static_cast<long>(std::ceil(width_ / g_));
  cellsY_ = static_cast<long>(std::ceil(height_ / g_));
  if (cellsX_ <= 0 || cellsY_ <= 0 || cellsX_ > 100000 || cellsY_ > 100000) return stats_;
  const std::size_t cells = static_cast<std::size_t>(cellsX_ * cellsY_);
  int pieceId = 0;
  // A later pass of a continued search starts from the cells the earlier
  // ones covered (while the view keeps its size) and on a shifted grid.
  Pix shift;
  if (continued) {
    if (continued->cellsX == cellsX_ && continued->cellsY == cellsY_ && continued->owner.size() == cells) {
      owner_ = std::move(continued->owner);
      pieceId = continued->pieces;
    }
    const TPoint2D s = SearchGridShift(continued->pass, g_);
    shift = {s.x, s.y};
  }
  if (owner_.size() != cells) owner_.assign(cells, 0);
  // Grid points 0..nx, 0..ny from the shift, a step before it when
  // shifted, the last ones on or beyond the far edges.
  const Pix first{shift.u > 0 ? shift.u - g_ : 0, shift.v > 0 ? shift.v - g_ : 0};
  const long nx = static_cast<long>(std::ceil((width_ - first.u) / g_));
  const long ny = static_cast<long>(std::ceil((height_ - first.v) / g_));
  const auto stride = static_cast<std::size_t>(nx + 1);
  std::vector<long double> value(stride * static_cast<std::size_t>(ny + 1));
  std::vector<std::uint8_t> defined(value.size());
  // The grid row by row, each row in one call: the world x of every column
  // as World gives it, then F along the row.
  std::vector<long double> xs(stride);
  for (long i = 0; i <= nx; ++i)
    xs[static_cast<std::size_t>(i)] = World({first.u + static_cast<long double>(i * g_), 0}).x;
  for (long j = 0; j <= ny; ++j) {
    const std::size_t k = static_cast<std::size_t>(j) * stride;
    const long double y = World({0, first.v + static_cast<long double>(j * g_)}).y;
    src_.ValueRow(xs.data(), static_cast<int>(stride), y, &value[k], &defined[k]);
    stats_.evaluations += static_cast<long>(stride);
  }
  auto trySeed = [&](std::size_t a, std::size_t b, const Pix& pa, const Pix& pb) {
    if (!defined[a] || !defined[b]) return;
    const long double fa = value[a];
    const long double fb = value[b];
    if ((fa < 0) == (fb < 0)) return;
    const long double s = fa / (fa - fb);
    Pix seed{pa.u + s * (pb.u - pa.u), pa.v + s * (pb.v - pa.v)};
    if (!std::isfinite(seed.u) || !std::isfinite(seed.v)) return;
    const Pix guess = seed;
    if (!Project(seed)) return;
    const long double du = seed.u - guess.u;
    const long double dv = seed.v - guess.v;
    if (du * du + dv * dv > 2.25L * g_ * g_) return;
    const long cell = CellIndex(seed);
    if (cell < 0 || owner_[static_cast<std::size_t>(cell)] != 0) return;
    Pix t;
    if (!Tangent(seed, {1, 0}, t)) return;
    ++pieceId;
    ++stats_.seeds;
    owner_[static_cast<std::size_t>(cell)] = pieceId;
    if (!Follow(seed, t, pieceId) && !cancelled_) Follow(seed, {-t.u, -t.v}, pieceId);
  };
  // The sign of F at each grid point (2: undefined), so that the edges
  // without a sign change are passed over with integer tests.
  std::vector<std::uint8_t> sign(value.size());
  for (std::size_t k = 0; k < value.size(); ++k) {
    const long double f = value[k];
    const bool usable = defined[k] && std::isfinite(f);
    defined[k] = usable ? 1 : 0;
    sign[k] = !usable ? 2 : f < 0 ? 1 : 0;
  }
  auto changes = [&sign](std::size_t a, std::size_t b) { return (sign[a] ^ sign[b]) == 1; };
  for (long j = 0; j <= ny && !cancelled_; ++j) {
    for (long i = 0; i <= nx && !cancelled_; ++i) {
      const std::size_t k = static_cast<std::size_t>(j) * stride + static_cast<std::size_t>(i);
      const bool right = i < nx && changes(k, k + 1);
      const bool up = j < ny && changes(k, k + stride);
      if (!right && !up) continue;
      const Pix p{first.u + static_cast<long double>(i * g_), first.v + static_cast<long double>(j * g_)};
      if (right) trySeed(k, k + 1, p, {p.u + g_, p.v});
      if (up) trySeed(k, k + stride, p, {p.u, p.v + g_});
    }
  }
  if (continued) {
    continued->cellsX = cellsX_;
    continued->cellsY = cellsY_;
    continued->owner = std::move(owner_);
    continued->pieces = pieceId;
    ++continued->pass;
  }
  return stats_;
}

}  // namespace

TPoint2D SearchGridShift(int pass, int gridPixels) {
  if (pass <= 0) return {0, 0};
  // The additive sequence of the plastic number: its points fill the
  // square evenly whatever the number of passes.
  const long double a1 = 0.7548776662466927L;
  const long double a2 = 0.5698402909980532L;
  const long double g = std::clamp(gridPixels, 1, 64);
  auto part = [](long double v) { return v - std::floor(v); };
  return {part(0.5L + a1 * pass) * g, part(0.5L + a2 * pass) * g};
}

TTraceStats TraceImplicitCurve(TImplicitSource& source, const TTracerSettings& settings, TPolylineSink& sink,
                               TContinuedSearch* continued) {
  Tracer t(source, settings, &sink);
  return t.Run(continued);
}

TTraceStats TraceImplicitCurveFrom(TImplicitSource& source, const TTracerSettings& settings, TPoint2D start,
                                   TPolylineSink& sink) {
  Tracer t(source, settings, &sink);
  return t.RunFrom(t.PixelOf(start));
}

bool ProjectOntoCurve(TImplicitSource& source, const TTracerSettings& settings, TPoint2D& p) {
  Tracer t(source, settings, nullptr);
  auto q = t.PixelOf(p);
  if (!t.Project(q)) return false;
  p = t.World(q);
  return true;
}

}  // namespace kv
