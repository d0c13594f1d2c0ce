#include "plotcore/model/curve_sampler.h"

#include <algorithm>
#include <cmath>

namespace kv {

long SampleCount(int density, int width, long double share) {
  if (width < 1) width = 1;
  if (density == 0) density = 1;
  if (!(share > 0)) return 2;  // NaN or an empty interval
  if (share > 1) share = 1;
  long double n = density > 0 ? static_cast<long double>(density) * (width + 1)
                              : static_cast<long double>(width + 1) / -static_cast<long double>(density);
  n = std::floor(n * share + 0.5L);
  if (n < 2) return 2;
  if (n > kMaxSamples) return kMaxSamples;
  return static_cast<long>(n);
}

namespace {

class Sampler {
 public:
  Sampler(TCurveSource& source, const TSamplerSettings& s, TPolylineSink& sink)
      : src_(source), set_(s), sink_(sink) {}

  TSampleStats Run(long double lo, long double hi, long n);

 private:
  long double PixelDistance(const TPoint2D& a, const TPoint2D& b) const {
    const long double dx = (b.x - a.x) * set_.pixelsPerUnitX;
    const long double dy = (b.y - a.y) * set_.pixelsPerUnitY;
    return std::sqrt(dx * dx + dy * dy);
  }
  // PixelDistance(a, b) > limit, with the square root taken only where the
  // squares alone cannot tell (the root rounds, the squares do not).
  bool Farther(const TPoint2D& a, const TPoint2D& b, long double limit) const {
    const long double dx = (b.x - a.x) * set_.pixelsPerUnitX;
    const long double dy = (b.y - a.y) * set_.pixelsPerUnitY;
    const long double q = dx * dx + dy * dy;
    const long double l2 = limit * limit;
    if (q <= l2 * (1 - 1e-12L)) return false;
    if (q > l2 * (1 + 1e-12L)) return true;
    return std::sqrt(q) > limit;
  }
  // Whether the step a-b can show anything: its bounding box meets the view.
  bool TouchesView(const TPoint2D& a, const TPoint2D& b) const {
    const TSegment2D& v = set_.view;
    if (a.x < v.xmin && b.x < v.xmin) return false;
    if (a.x > v.xmax && b.x > v.xmax) return false;
    if (a.y < v.ymin && b.y < v.ymin) return false;
    if (a.y > v.ymax && b.y > v.ymax) return false;
    return true;
  }
  TCurveSource::Result Probe(long double t, TPoint2D& p) {
    ++stats_.probes;
    probed_ = true;
    return src_.At(t, p);
  }
  // Regular sample k of n over [lo, hi], from the block that holds it.
  TCurveSource::Result Sample(long k, long n, long double lo, long double hi, long double step, long double& t,
                              TPoint2D& p);
  // The defined end next to a gap: bisects between a defined parameter and
  // an undefined one and returns the last defined point found.
  TPoint2D Boundary(long double tDefined, TPoint2D pDefined, long double tUndefined);
  // Bisects the step a-b towards its largest screen distance.  True when it
  // is a jump; then (pl, pr) bracket it as closely as found.
  bool IsJump(long double ta, TPoint2D pa, long double tb, TPoint2D pb, TPoint2D& pl, TPoint2D& pr);

  TCurveSource& src_;
  const TSamplerSettings& set_;
  TPolylineSink& sink_;
  TSampleStats stats_;
  // The block of regular samples first_ .. first_ + count_ - 1.
  static constexpr int kBlock = 256;
  long double blockT_[kBlock];
  TPoint2D blockP_[kBlock];
  TCurveSource::Result blockR_[kBlock];
  long first_ = 0;
  int count_ = 0;
  int size_ = kBlock;    // of the next block: small again after probes, which cut blocks short
  bool probed_ = false;  // the source was probed since the block was taken
};

TCurveSource::Result Sampler::Sample(long k, long n, long double lo, long double hi, long double step,
                                     long double& t, TPoint2D& p) {
  if (k < first_ || k >= first_ + count_) {
    first_ = k;
    count_ = static_cast<int>(std::min<long>(size_, n - k));
    size_ = std::min(2 * size_, kBlock);
    for (int i = 0; i < count_; ++i) {
      const long j = k + i;
      blockT_[i] = j == n - 1 ? hi : lo + static_cast<long double>(j) * step;
    }
    src_.AtBlock(blockT_, count_, blockP_, blockR_);
  }
  const auto i = static_cast<std::size_t>(k - first_);
  t = blockT_[i];
  p = blockP_[i];
  return blockR_[i];
}

TPoint2D Sampler::Boundary(long double tDefined, TPoint2D pDefined, long double tUndefined) {
  src_.BeginProbe();
  for (int k = 0; k < set_.boundaryBisections; ++k) {
    const long double tm = (tDefined + tUndefined) / 2;
    if (tm == tDefined || tm == tUndefined) break;
    TPoint2D pm;
    if (Probe(tm, pm) == TCurveSource::kUndefined) {
      tUndefined = tm;
    } else {
      tDefined = tm;
      pDefined = pm;
    }
  }
  src_.EndProbe();
  return pDefined;
}

bool Sampler::IsJump(long double ta, TPoint2D pa, long double tb, TPoint2D pb, TPoint2D& pl, TPoint2D& pr) {
  const long double d0 = PixelDistance(pa, pb);
  long double d = d0;
  bool jump = true;
  src_.BeginProbe();
  for (int k = 0; k < set_.jumpBisections; ++k) {
    const long double tm = (ta + tb) / 2;
    if (tm == ta || tm == tb) break;
    TPoint2D pm;
    if (Probe(tm, pm) == TCurveSource::kUndefined) {
      // An undefined point inside the step: a gap in any case.
      d = d0;
      break;
    }
    const long double d1 = PixelDistance(pa, pm);
    const long double d2 = PixelDistance(pm, pb);
    if (d1 >= d2) {
      tb = tm;
      pb = pm;
      d = d1;
    } else {
      ta = tm;
      pa = pm;
      d = d2;
    }
    if (d <= 1) {
      jump = false;
      break;
    }
  }
  src_.EndProbe();
  if (jump && d <= d0 / 2) jump = false;  // it kept shrinking: steep, not broken
  pl = pa;
  pr = pb;
  return jump;
}

TSampleStats Sampler::Run(long double lo, long double hi, long n) {
  if (n < 2) n = 2;
  const long double step = (hi - lo) / static_cast<long double>(n - 1);
  bool havePrev = false;       // the previous sample was defined
  bool prevUndefined = false;  // the previous sample was undefined
  bool started = false;
  long double prevT = lo;
  TPoint2D prevP;
  for (long k = 0; k < n; ++k) {
    if ((k & 63) == 63 && sink_.Cancelled()) break;
    // A step with probes moved the source's branch memory: the samples after
    // it are taken afresh, in order.
    if (probed_) {
      probed_ = false;
      count_ = 0;
      size_ = 8;
    }
    long double t;
    TPoint2D p;
    ++stats_.samples;
    const TCurveSource::Result r = Sample(k, n, lo, hi, step, t, p);
    if (r == TCurveSource::kUndefined) {
      if (havePrev) sink_.LineTo(Boundary(prevT, prevP, t));
      havePrev = false;
      prevUndefined = true;
      prevT = t;
      continue;
    }
    if (!havePrev) {
      if (started) ++stats_.gaps;
      if (prevUndefined) {
        sink_.MoveTo(Boundary(t, p, prevT));
        // The probes moved the branch memory: take this sample again.
        src_.At(t, p);
        ++stats_.probes;
        sink_.LineTo(p);
      } else {
        sink_.MoveTo(p);
      }
      started = true;
    } else {
      bool lift = r == TCurveSource::kJump;
      if (set_.detectJumps) {
        const bool suspect = lift || (Farther(prevP, p, set_.suspectPixels) && TouchesView(prevP, p));
        if (suspect) {
          TPoint2D pl;
          TPoint2D pr;
          const bool jump = IsJump(prevT, prevP, t, p, pl, pr);
          src_.At(t, p);  // restores the branch memory after the probes
          ++stats_.probes;
          if (jump) {
            sink_.LineTo(pl);
            sink_.MoveTo(pr);
            ++stats_.gaps;
          }
          lift = false;
        }
      }
      if (lift) {
        sink_.MoveTo(p);
        ++stats_.gaps;
      } else {
        sink_.LineTo(p);
      }
    }
    havePrev = true;
    prevUndefined = false;
    prevT = t;
    prevP = p;
  }
  return stats_;
}

}  // namespace

TSampleStats SampleCurve(TCurveSource& source, long double lo, long double hi, long n,
                         const TSamplerSettings& settings, TPolylineSink& sink) {
  Sampler s(source, settings, sink);
  return s.Run(lo, hi, n);
}

}  // namespace kv
