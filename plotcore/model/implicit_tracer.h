// The tracer of implicit curves F(x, y) = 0.
//
// 1. Search: F is evaluated on a grid of a few pixels over the view; every
//    grid edge whose ends have opposite signs gives a seed, which Newton
//    steps along the gradient move onto the curve (seeds at poles, where
//    the sign changes without a zero, do not converge and are dropped).
// 2. Tracing: from each seed that lies in a cell no earlier piece passed,
//    the curve is followed in both directions along the tangent (-F_y, F_x)
//    with steps of about one pixel, each predicted point corrected onto
//    F = 0 by Newton steps.  The tangent is oriented by the previous step, so
//    a trace passes straight through crossings (x^2 - y^2 = 0) where the
//    gradient vanishes.  Steps shrink where the direction turns by more than
//    the critical angle, where the correction fails or lands too far away.
//    A trace ends when it leaves the view, closes its loop, has run along an
//    earlier piece for a few cells, reaches the step limit, or cannot go on.
// All distances are measured in pixels, so the work follows the view.
#pragma once

#include <cstdint>
#include <vector>

#include "plotcore/model/curve_sampler.h"
#include "core/vector2d.h"

namespace kv {

class TImplicitSource {
 public:
  virtual ~TImplicitSource() = default;
  // F at (x, y); false where undefined.
  virtual bool Value(long double x, long double y, long double& f) = 0;
  // F along a row of the search grid: at (x[i], y) for i = 0 .. n-1, in this
  // order, exactly as n calls of Value give it; defined[i] 1 or 0.
  virtual void ValueRow(const long double* x, int n, long double y, long double* f, std::uint8_t* defined) {
    for (int i = 0; i < n; ++i) defined[i] = Value(x[i], y, f[i]) ? 1 : 0;
  }
  // The gradient; false when it is not available or undefined (the tracer
  // then takes differences of Value).
  virtual bool Gradient(long double x, long double y, long double& fx, long double& fy) = 0;
  // Whether a point of the curve is drawn (a restriction such as 0 < g).
  virtual bool Accept(long double x, long double y) { return true; }
};

struct TTracerSettings {
  TSegment2D view{-5, 5, -5, 5};
  long double pixelsPerUnitX = 50;
  long double pixelsPerUnitY = 50;
  int gridPixels = 3;
  long double stepPixels = 1.0L;
  // Stop after this many steps in one direction (the window's implicit step
  // limit); never more than kMaxTraceSteps.
  long stepLimit = 100000;
  // Shrink steps that turn more than about 20 degrees.
  bool criticalAngle = true;
  // A trace that comes back this close (pixels) to its start closes its loop.
  long double closeTolerance = 1.5L;
};

inline constexpr long kMaxTraceSteps = 2000000;

struct TTraceStats {
  long evaluations = 0;
  long seeds = 0;   // seeds traced
  long pieces = 0;  // runs handed to the sink
  long steps = 0;
};

// A search that goes on pass after pass ("Fortwährend"): each pass lays
// its search grid shifted within a grid cell, so that a later pass finds
// pieces that fall between the points of the earlier grids (small loops,
// touching branches), and the cells the earlier pieces passed are kept,
// so that a later pass traces only what they missed.
struct TContinuedSearch {
  int pass = 0;            // the pass to run next
  long cellsX = 0;         // the cells of the view kept below
  long cellsY = 0;
  std::vector<int> owner;  // per cell: the piece that passed it, 0 none
  int pieces = 0;          // pieces traced so far
};

// The shift of the search grid of a pass in pixels, each coordinate in
// [0, gridPixels): none in pass 0, then spread evenly over the cell.
TPoint2D SearchGridShift(int pass, int gridPixels);

// One search of the view; with `continued` the next pass of that search.
TTraceStats TraceImplicitCurve(TImplicitSource& source, const TTracerSettings& settings, TPolylineSink& sink,
                               TContinuedSearch* continued = nullptr);

// Follows the curve through one point in both directions (the point is
// first moved onto the curve); nothing when it does not reach the curve.
TTraceStats TraceImplicitCurveFrom(TImplicitSource& source, const TTracerSettings& settings, TPoint2D start,
                                   TPolylineSink& sink);

// Moves p onto F = 0 by Newton steps along the gradient (world coordinates,
// pixel-scaled); true when it converged to within a hundredth of a pixel.
bool ProjectOntoCurve(TImplicitSource& source, const TTracerSettings& settings, TPoint2D& p);

}  // namespace kv
