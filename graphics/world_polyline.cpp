#include "graphics/world_polyline.h"

#include "graphics/primitives.h"

namespace kv {

TWorldPolyline::TWorldPolyline(plat::DC& dc, const TViewMapping& view) : dc_(dc), view_(view), pixels_(view) {
  run_.reserve(kRunLimit);
}

void TWorldPolyline::MoveTo(const TPoint2D& p) {
  Flush();
  pixels_.Map(p, lastPixel_, lastInView_, lastOffset_);
  last_ = p;
  have_ = true;
}

void TWorldPolyline::LineTo(const TPoint2D& p) {
  plat::Point pixel;
  bool inView;
  TViewMapping::TFastPixels::TOffset offset;
  pixels_.Map(p, pixel, inView, offset);
  if (have_) {
    if (lastInView_ && inView) {
      // DrawWorldLine leaves such a step unclipped.
      if (run_.empty()) run_.push_back(lastPixel_);
      run_.push_back(pixel);
      if (run_.size() >= kRunLimit) Flush();
    } else {
      Flush();
      if (!pixels_.MissesClip(lastOffset_, offset)) DrawWorldLine(dc_, view_, last_, p, true);
    }
  }
  last_ = p;
  lastPixel_ = pixel;
  lastOffset_ = offset;
  lastInView_ = inView;
  have_ = true;
}

void TWorldPolyline::Flush() {
  if (run_.size() >= 2) {
    dc_.MoveTo(run_[0].x, run_[0].y);
    dc_.PolylineTo(run_.data() + 1, run_.size() - 1);
  }
  run_.clear();
}

}  // namespace kv
