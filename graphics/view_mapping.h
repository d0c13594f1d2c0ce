// The view of a graphics window: which rectangle of the mathematical plane
// (the world, long doubles, y upwards) is shown in the drawing area, and how
// world coordinates turn into device pixels (y downwards) and back.  Every
// drawing routine of every plot layer goes through these operations, so the
// conversions are inline.
//
// The drawing area itself (width, height, origin) belongs to the window base;
// the window hands it in with SetDrawingArea before it recomputes the view.
#pragma once

#include <cmath>
#include <cstdint>
#include <vector>

#include "platform/types.h"
#include "shell/text_helpers.h"
#include "core/vector2d.h"

namespace kv {

// One entry of the previous-view stack.  In view mode 0 the four values are
// centre x, centre y, half-extent x, half-extent y; in mode 1 they are the
// world rectangle xmin, xmax, ymin, ymax.
struct TViewHistoryRecord {
  long double a = 0;
  long double b = 0;
  long double c = 0;
  long double d = 0;
  std::uint8_t viewMode = 0;
  long double aspect = 1.0L;
};

class TViewMapping {
 public:
  // ---- the view ----
  TPoint2D Centre{0.0L, 0.0L};
  long double HalfX = 5.0L;  // half the shown width in world units
  long double HalfY = 5.0L;
  long double UnitsPerPixelX = 0.02L;
  long double UnitsPerPixelY = 0.02L;
  long double PixelsPerUnitX = 50.0L;
  long double PixelsPerUnitY = 50.0L;
  TSegment2D World{-5.0L, 5.0L, -5.0L, 5.0L};
  // The part of the world that carries data in windows with logarithmic
  // axes; IsInView tests it instead of World while UseAlternate is set.
  TSegment2D Alternate{};
  std::uint8_t UseAlternate = 0;
  // y units per pixel over x units per pixel, kept by view mode 0.
  long double Aspect = 1.0L;
  // 0: centre, HalfX and Aspect decide the rectangle; 1: the rectangle
  // decides centre, half-extents and aspect.
  std::uint8_t ViewMode = 0;

  // ---- drawing area ----
  // Width and height in pixels and the device position of the top-left
  // pixel.  An area narrower or lower than two pixels (a minimised window)
  // is mapped as if it were two pixels wide or high, so the scale stays
  // finite.
  void SetDrawingArea(int width, int height, int originX, int originY);
  int AreaWidth() const { return width_; }
  int AreaHeight() const { return height_; }
  int AreaOriginX() const { return originX_; }
  int AreaOriginY() const { return originY_; }

  // Rectangle or centre block from the view mode, then the scale.
  void ComputeView();
  // Units and pixels per unit from the half-extents and the drawing area.
  void UpdateScale();

  // ---- world to device ----
  // Clamped column: one pixel beyond the area (-1 or width + 1, without the
  // origin) for points outside it, else the rounded column plus the origin.
  int WorldToPixelX(long double x) const {
    long double v = (x - World.xmin) * PixelsPerUnitX;
    if (v > width_) return width_ + 1;
    if (v < 0) return -1;
    return RoundToInt(v) + originX_;
  }
  int WorldToPixelY(long double y) const {
    long double v = (World.ymax - y) * PixelsPerUnitY;
    if (v > height_) return height_ + 1;
    if (v < 0) return -1;
    return RoundToInt(v) + originY_;
  }
  // Both at once; unlike the single conversions the origin is added to the
  // clamped values too.  True when the point lies in the area (bounds
  // inclusive).
  bool WorldToPixel(const TPoint2D& p, plat::Point& out) const {
    bool inside = true;
    int vx;
    int vy;
    long double v = (p.x - World.xmin) * PixelsPerUnitX;
    if (v > width_) {
      vx = width_ + 1;
      inside = false;
    } else if (v < 0) {
      vx = -1;
      inside = false;
    } else {
      vx = RoundToInt(v);
    }
    v = (World.ymax - p.y) * PixelsPerUnitY;
    if (v > height_) {
      vy = height_ + 1;
      inside = false;
    } else if (v < 0) {
      vy = -1;
      inside = false;
    } else {
      vy = RoundToInt(v);
    }
    out.x = originX_ + vx;
    out.y = originY_ + vy;
    return inside;
  }
  // The clamped column or row with the origin always added, and whether the
  // value lay inside.
  bool WorldToPixelXChecked(long double x, int& out) const;
  bool WorldToPixelYChecked(long double y, int& out) const;
  // Unrounded and unclamped, for circles and arcs.
  long double WorldToDeviceX(long double x) const { return originX_ + PixelsPerUnitX * (x - World.xmin); }
  long double WorldToDeviceY(long double y) const { return originY_ + PixelsPerUnitY * (World.ymax - y); }

  // ---- device to world ----
  long double PixelToWorldX(int p) const { return World.xmin + UnitsPerPixelX * (p - originX_); }
  long double PixelToWorldY(int p) const { return World.ymax - UnitsPerPixelY * (p - originY_); }
  TPoint2D PixelToWorldPoint(plat::Point p) const { return {PixelToWorldX(p.x), PixelToWorldY(p.y)}; }

  // ---- rectangles ----
  // Right and bottom are the device values of xmax and ymin, limited to the
  // area (not one beyond it).
  void WorldRectToPixelRect(const TSegment2D& world, plat::Rect& out) const;
  void PixelRectToWorldRect(const plat::Rect& device, TSegment2D& out) const;

  // ---- visibility and clipping ----
  bool IsInView(const TPoint2D& p) const;
  // Leaves a segment whose ends are both in view alone; otherwise clips it to
  // the view shrunk by one pixel on every side.  False when nothing is left.
  bool ClipSegmentToView(TPoint2D& p1, TPoint2D& p2) const;
  // Clips p1-p2 to the closed rectangle; with wholeLine the result is the
  // chord of the infinite line through both points.  False, with the points
  // unchanged, when the segment (or line) misses the rectangle.
  static bool ClipSegmentToRect(long double xmin, long double xmax, long double ymin, long double ymax,
                                TPoint2D& p1, TPoint2D& p2, bool wholeLine);
  static bool ClipSegment(long double xmin, long double xmax, long double ymin, long double ymax, TPoint2D& p1,
                          TPoint2D& p2, bool wholeLine) {
    return ClipSegmentToRect(xmin, xmax, ymin, ymax, p1, p2, wholeLine);
  }

  // ---- the per-point road of curves ----
  // WorldToPixel and IsInView of the many points of a curve under an
  // unchanged view, computed in double from each point's offset to the
  // view's corner: the pixel grid needs no more.  Where a value lies within
  // a millionth of a pixel of a rounding, clamping or box boundary, the
  // exact conversions above decide, so the answers are always theirs.
  class TFastPixels {
   public:
    explicit TFastPixels(const TViewMapping& view);
    // The offsets of a point from the view's corner in pixels (x right, y
    // down) as the road computes them.
    struct TOffset {
      double x;
      double y;
    };
    // WorldToPixel(p, out) (origin added) and IsInView(p), and the offsets.
    void Map(const TPoint2D& p, plat::Point& out, bool& inView, TOffset& offset) const {
      offset = {static_cast<double>(p.x - xmin_) * sx_, static_cast<double>(ymax_ - p.y) * sy_};
      if (fast_ && Decide(offset.x, offset.y, out, inView)) return;
      inView = view_.IsInView(p);
      view_.WorldToPixel(p, out);
    }
    // For a step whose ends are not both in view: true when it lies wholly
    // beyond one edge of the rectangle ClipSegmentToView clips it to, so far
    // beyond that the clipping leaves nothing of it.  False where that is
    // not certain.
    bool MissesClip(const TOffset& a, const TOffset& b) const {
      if (!fast_) return false;
      const double m = clipSlack_ + 1e-9 * (std::fabs(a.x) + std::fabs(b.x) + std::fabs(a.y) + std::fabs(b.y));
      return (a.x < cx0_ - m && b.x < cx0_ - m) || (a.x > cx1_ + m && b.x > cx1_ + m) ||
             (a.y < cy0_ - m && b.y < cy0_ - m) || (a.y > cy1_ + m && b.y > cy1_ + m);
    }

   private:
    static constexpr double kSlack = 1e-6;
    // The rounded, clamped pixel of an offset v in pixels; false near a
    // boundary.
    static bool Round(double v, int limit, int& out) {
      if (v > kSlack && v < limit - kSlack) {
        const int k = static_cast<int>(v + 0.5);
        if (std::fabs(k - v) > 0.5 - kSlack) return false;  // a half: ties go toward zero
        out = k;
        return true;
      }
      if (v > limit + kSlack) {
        out = limit + 1;
        return true;
      }
      if (v < -kSlack) {
        out = -1;
        return true;
      }
      return false;
    }
    // 1 when lo <= v <= hi, 0 when not, -1 near lo or hi (or NaN).
    static int Within(double v, double lo, double hi) {
      if (v > lo + kSlack && v < hi - kSlack) return 1;
      if (v < lo - kSlack || v > hi + kSlack) return 0;
      return -1;
    }
    bool Decide(double vx, double vy, plat::Point& out, bool& inView) const {
      int px;
      int py;
      if (!Round(vx, width_, px) || !Round(vy, height_, py)) return false;
      const int ix = Within(vx, bx0_, bx1_);
      const int iy = Within(vy, by0_, by1_);
      if (ix == 0 || iy == 0) {
        inView = false;
      } else if (ix == 1 && iy == 1) {
        inView = true;
      } else {
        return false;
      }
      out.x = originX_ + px;
      out.y = originY_ + py;
      return true;
    }

    const TViewMapping& view_;
    bool fast_ = false;
    long double xmin_;
    long double ymax_;
    double sx_;
    double sy_;
    // The box IsInView tests, in pixels from the corner.
    double bx0_ = 0;
    double bx1_ = 0;
    double by0_ = 0;
    double by1_ = 0;
    // The rectangle ClipSegmentToView clips to, in pixels from the corner,
    // and what its rounding and slack may add.
    double cx0_ = 0;
    double cx1_ = 0;
    double cy0_ = 0;
    double cy1_ = 0;
    double clipSlack_ = 0;
    int width_;
    int height_;
    int originX_;
    int originY_;
  };

  // ---- previous views ----
  void PushView();
  // Takes the newest record into the view (without recomputing it); false
  // when there is none.
  bool PopView();
  void ClearViewHistory() { history_.clear(); }
  bool HasPreviousView() const { return !history_.empty(); }
  std::size_t ViewHistoryDepth() const { return history_.size(); }

 private:
  int width_ = 11;
  int height_ = 11;
  int originX_ = 0;
  int originY_ = 0;
  std::vector<TViewHistoryRecord> history_;  // newest last
};

}  // namespace kv
