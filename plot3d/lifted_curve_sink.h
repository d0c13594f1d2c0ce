// Points of a curve traced in a plane, lifted into space and drawn in the
// 3D window's picture: the pen is lifted wherever the lift fails, the point
// leaves the box or the view, or (with "Kanten verdecken") a surface hides
// it.  The plane points are remembered, so a search can tell whether a
// start lies on a piece already drawn.
#pragma once

#include <cmath>
#include <functional>
#include <vector>

#include "plot3d/plot_r_win.h"
#include "plotcore/model/curve_sampler.h"

namespace kv {

class TLiftedCurveSink : public TPolylineSink {
 public:
  using TLift = std::function<bool(const TPoint2D&, TPoint3D&)>;
  TLiftedCurveSink(TPlotRWin& w, plat::DC& dc, TLift lift) : w_(w), dc_(dc), lift_(std::move(lift)) {}
  void MoveTo(const TPoint2D& q) override { Point(q, false); }
  void LineTo(const TPoint2D& q) override { Point(q, true); }
  bool Cancelled() override {
    if (!stopped_) stopped_ = w_.StopKeyPressed();
    return stopped_;
  }
  bool Stopped() const { return stopped_; }
  // Whether q lies within the tolerance of a point traced so far.
  bool Near(const TPoint2D& q, long double tolerance) const {
    for (const TPoint2D& t : traced_)
      if (std::fabs(t.x - q.x) <= tolerance && std::fabs(t.y - q.y) <= tolerance) return true;
    return false;
  }

 private:
  static constexpr std::size_t kMaxRemembered = 200000;
  void Point(const TPoint2D& q, bool join) {
    if (traced_.size() < kMaxRemembered) traced_.push_back(q);
    TPoint3D p;
    const bool ok = lift_(q, p);
    const TPoint2D image = w_.ProjectRotated(p);
    if (!ok || !InBox3D(w_.View3D, p) || !w_.IsInView(image) || (w_.View3D.HideEdges && w_.IsPointHidden(p))) {
      down_ = false;
      w_.MarkCurveBreak();
      return;
    }
    if (join && down_) w_.DrawCurveSegment(dc_, previous_, image);
    previous_ = image;
    down_ = true;
  }
  TPlotRWin& w_;
  plat::DC& dc_;
  TLift lift_;
  bool down_ = false;
  bool stopped_ = false;
  TPoint2D previous_;
  std::vector<TPoint2D> traced_;
};

}  // namespace kv
