// Curves on a device context: a polyline of world points, each step drawn
// as DrawWorldLine draws it with clipping, pixel for pixel, at a fraction of
// the cost.  Every point is mapped once (TViewMapping::TFastPixels); the
// steps that stay in view are collected and handed to the DC in one
// PolylineTo, a step that stays beyond an edge of the view is left out, and
// only a step that crosses an edge takes the clipping road.
#pragma once

#include <vector>

#include "core/vector2d.h"
#include "graphics/view_mapping.h"
#include "platform/dc.h"

namespace kv {

class TWorldPolyline {
 public:
  TWorldPolyline(plat::DC& dc, const TViewMapping& view);
  ~TWorldPolyline() { Flush(); }
  TWorldPolyline(const TWorldPolyline&) = delete;
  TWorldPolyline& operator=(const TWorldPolyline&) = delete;

  // Lifts the pen to p.
  void MoveTo(const TPoint2D& p);
  // The step from the last point to p; before the first point only notes p.
  void LineTo(const TPoint2D& p);
  // Draws the steps collected so far.  The owner calls it before anything
  // else draws on the DC or shows its picture (a poll of the keys may).
  void Flush();

 private:
  static constexpr std::size_t kRunLimit = 512;

  plat::DC& dc_;
  const TViewMapping& view_;
  const TViewMapping::TFastPixels pixels_;
  TPoint2D last_;
  plat::Point lastPixel_;
  TViewMapping::TFastPixels::TOffset lastOffset_{};
  bool lastInView_ = false;
  bool have_ = false;
  std::vector<plat::Point> run_;  // run_[0]: where the collected steps start
};

}  // namespace kv
