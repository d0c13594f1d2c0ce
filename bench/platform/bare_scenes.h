// Bare baselines for the redraw benchmarks: what a minimal program does for
// the same picture, with no plot window around it.  Each frame fills a
// back buffer, evaluates the formula natively in long double, draws with
// QPainter (no antialiasing; 1-pixel pens) and copies the back buffer to a
// surface of the same size, as a window shows its picture.
#pragma once

#include <functional>
#include <memory>
#include <vector>

namespace kvbench {

struct BareView {
  long double xmin = -5, xmax = 5, ymin = -5, ymax = 5;  // the world seen
  int left = 0, top = 0, width = 1024, height = 768;     // its pixels in the frame
};

class BareFrame {
 public:
  BareFrame(int width, int height);
  ~BareFrame();

  // y = f(x) for each curve, `samples` points across the view; a curve is
  // broken where a step crosses more than the view's height (poles).
  void Curves(const BareView& v, const std::vector<std::function<long double(long double)>>& curves,
              int samples);
  // r = f(t) over [t0, t1] as a polar curve.
  void Polar(const BareView& v, const std::function<long double(long double)>& r, long double t0,
             long double t1, int samples);
  // F(x, y) = 0 by marching squares on a grid of `gridPixels` pixels.
  void Implicit(const BareView& v, const std::function<long double(long double, long double)>& f,
                int gridPixels);
  // z = f(x, y) on n x n cells over [-pi, pi]^2, projected, sorted far to
  // near and filled cell by cell with an edge pen.
  void Surface(const std::function<long double(long double, long double)>& f, int n);

  // A sum over the surface pixels, so that no frame can be optimised away.
  unsigned Checksum() const;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace kvbench
