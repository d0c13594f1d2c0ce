// Sampling of a plane curve given as parameter -> point, with gaps where the
// formula is undefined or jumps.
//
// The curve is evaluated at n equally spaced parameters (the last exactly at
// the upper end).  Between two samples the pen is lifted
//  - where a sample is undefined; the last defined point before and the
//    first after a gap are found by bisection, so a curve such as
//    sqrt(1 - x^2) reaches its end points;
//  - where the source reports a jump (a function with branches landed on
//    another branch);
//  - where the distance of two samples on the screen is suspiciously large
//    and does not shrink when the step is bisected (a pole of 1/x, a step).
//    Steep but continuous pieces shrink and stay connected.
// Probing evaluations inside a step are bracketed by BeginProbe/EndProbe so
// that the source can keep its branch memory for the regular samples.
// Regular samples are asked for in blocks (AtBlock), in order; after a step
// with probes the block is asked again from the next sample on, so that the
// source sees its points in the order a point-by-point run shows them.
#pragma once

#include <cstdint>

#include "core/vector2d.h"
#include "core/vector3d.h"

namespace kv {

class TCurveSource {
 public:
  enum Result { kDefined, kUndefined, kJump };
  virtual ~TCurveSource() = default;
  virtual Result At(long double t, TPoint2D& p) = 0;
  // The regular samples t[0..n-1], exactly as n calls of At in this order
  // would give them.
  virtual void AtBlock(const long double* t, int n, TPoint2D* p, Result* r) {
    for (int i = 0; i < n; ++i) r[i] = At(t[i], p[i]);
  }
  virtual void BeginProbe() {}
  virtual void EndProbe() {}
};

// Receives the curve as runs: MoveTo starts a run, LineTo continues it.
class TPolylineSink {
 public:
  virtual ~TPolylineSink() = default;
  virtual void MoveTo(const TPoint2D& p) = 0;
  virtual void LineTo(const TPoint2D& p) = 0;
  // Polled between samples; true stops the sampling (the stop key).
  virtual bool Cancelled() { return false; }
  // A trajectory run also hands over every point with its parameter before
  // it is projected (the time and phase windows and the value tables plot
  // and list those).
  virtual void StepPoint(long double t, const TPoint3D& p) {}
};

struct TSamplerSettings {
  // The view and its scale: distances are judged in pixels, and jump tests
  // are skipped for steps that lie wholly outside the view.
  TSegment2D view{-5, 5, -5, 5};
  long double pixelsPerUnitX = 50;
  long double pixelsPerUnitY = 50;
  // Off: connect every two defined samples (the density text's "@").
  bool detectJumps = true;
  // Screen distance above which a step is tested for a jump.
  long double suspectPixels = 12;
  int jumpBisections = 40;
  int boundaryBisections = 48;
};

struct TSampleStats {
  long samples = 0;  // regular samples
  long probes = 0;   // evaluations inside steps
  long gaps = 0;     // pen lifts after the first run
};

// The density rule: d (w + 1) samples for d >= 1, (w + 1) / |d| for d <= -1
// (d = 0 counts as 1), times `share` (the part of the view the interval
// covers); at least 2 and at most kMaxSamples.
inline constexpr long kMaxSamples = 20000000;
long SampleCount(int density, int width, long double share = 1.0L);

TSampleStats SampleCurve(TCurveSource& source, long double lo, long double hi, long n,
                         const TSamplerSettings& settings, TPolylineSink& sink);

}  // namespace kv
