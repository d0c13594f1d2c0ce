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

// A sample in pixels, through double: what the jump test needs to tell
// a short step from a long one.
struct TScaled {
  double x;
  double y;
};

class Sampler {
 public:
  Sampler(TCurveSource& source, const TSamplerSettings& s, TPolylineSink& sink)
      : src_(source),
        set_(s),
        sink_(sink),
        scaleX_(static_cast<double>(s.pixelsPerUnitX)),
        scaleY_(static_cast<double>(s.pixelsPerUnitY)),
        suspect_(static_cast<double>(s.suspectPixels)) {}

  TSampleStats Run(long double lo, long double hi, long n);

 private:
  long double PixelDistance(const TPoint2D& a, const TPoint2D& b) const {
    const long double dx = (b.x - a.x) * set_.pixelsPerUnitX;
    const long double dy = (b.y - a.y) * set_.pixelsPerUnitY;
    return std::sqrt(dx * dx + dy * dy);
  }
  // PixelDistance(a, b) > limit, with the square root taken only where the
  // squares alone cannot tell (the root rounds, the squares do not).  Out
  // of line: the loop over the samples keeps to doubles.
  [[gnu::noinline]] bool Farther(const TPoint2D& a, const TPoint2D& b, long double limit) const {
    const long double dx = (b.x - a.x) * set_.pixelsPerUnitX;
    const long double dy = (b.y - a.y) * set_.pixelsPerUnitY;
    const long double q = dx * dx + dy * dy;
    const long double l2 = limit * limit;
    if (q <= l2 * (1 - 1e-12L)) return false;
    if (q > l2 * (1 + 1e-12L)) return true;
    return std::sqrt(q) > limit;
  }
  // The same for two samples given also as scaled doubles (Scaled):
  // decided in double where the rounding of the doubles cannot matter.
  bool Farther(const TPoint2D& a, const TScaled& sa, const TPoint2D& b, const TScaled& sb) const {
    const double dx = sb.x - sa.x;
    const double dy = sb.y - sa.y;
    const double q = dx * dx + dy * dy;
    // Each scaled coordinate is within 2^-52 of its size off the exact
    // product; the difference and its square add a little more.
    const double e = 4.5e-16 * (std::fabs(sa.x) + std::fabs(sb.x) + std::fabs(sa.y) + std::fabs(sb.y)) + 1e-300;
    const double far = suspect_ + 2 * e;
    const double near = suspect_ - 2 * e;
    if (q > far * far * (1 + 1e-9)) return true;
    if (near > 0 && q < near * near * (1 - 1e-9)) return false;
    return Farther(a, b, set_.suspectPixels);
  }
  TScaled Scaled(const TPoint2D& p) const {
    return {static_cast<double>(p.x) * scaleX_, static_cast<double>(p.y) * scaleY_};
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
  // The block index of regular sample k of n over [lo, hi], the block
  // taken first where it does not hold it.  The sample before it is at the
  // index before.
  std::size_t Sample(long k, long n, long double lo, long double hi, long double step);
  // The defined end next to a gap: bisects between a defined parameter and
  // an undefined one and returns the last defined point found.
  [[gnu::noinline]] TPoint2D Boundary(const long double& defined, const TPoint2D& p, const long double& undefined);
  // Bisects the step a-b towards its largest screen distance.  True when it
  // is a jump; then (pl, pr) bracket it as closely as found.
  [[gnu::noinline]] bool IsJump(const long double& t0, const TPoint2D& p0, const long double& t1, const TPoint2D& p1,
                                TPoint2D& pl, TPoint2D& pr);

  TCurveSource& src_;
  const TSamplerSettings& set_;
  TPolylineSink& sink_;
  const double scaleX_;
  const double scaleY_;
  const double suspect_;
  TSampleStats stats_;
  // The block of regular samples first_ .. first_ + count_ - 1 at the
  // indices 1 .. count_; index 0 holds the sample before, so that the loop
  // refers to both without copying points.
  static constexpr int kBlock = 256;
  long double blockT_[kBlock + 1];
  TPoint2D blockP_[kBlock + 1];
  TCurveSource::Result blockR_[kBlock + 1];
  long first_ = 0;
  int count_ = 0;
  int taken_ = 0;  // samples in the block, also after probes made it stale
  int size_ = kBlock;    // of the next block: small again after probes, which cut blocks short
  bool probed_ = false;  // the source was probed since the block was taken
};

std::size_t Sampler::Sample(long k, long n, long double lo, long double hi, long double step) {
  if (k < first_ || k >= first_ + count_) {
    const long before = k - first_;  // the index of sample k - 1 in the block taken last
    if (before >= 1 && before <= taken_) {
      blockT_[0] = blockT_[before];
      blockP_[0] = blockP_[before];
      blockR_[0] = blockR_[before];
    }
    first_ = k;
    count_ = static_cast<int>(std::min<long>(size_, n - k));
    taken_ = count_;
    size_ = std::min(2 * size_, kBlock);
    for (int i = 0; i < count_; ++i) {
      const long j = k + i;
      blockT_[i + 1] = j == n - 1 ? hi : lo + static_cast<long double>(j) * step;
    }
    src_.AtBlock(blockT_ + 1, count_, blockP_ + 1, blockR_ + 1);
  }
  return static_cast<std::size_t>(k - first_ + 1);
}

TPoint2D Sampler::Boundary(const long double& defined, const TPoint2D& p, const long double& undefined) {
  long double tDefined = defined;
  long double tUndefined = undefined;
  TPoint2D pDefined = p;
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

bool Sampler::IsJump(const long double& t0, const TPoint2D& p0, const long double& t1, const TPoint2D& p1,
                     TPoint2D& pl, TPoint2D& pr) {
  long double ta = t0;
  long double tb = t1;
  TPoint2D pa = p0;
  TPoint2D pb = p1;
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
  TScaled prevS{};
  for (long k = 0; k < n; ++k) {
    if ((k & 63) == 63 && sink_.Cancelled()) break;
    // A step with probes moved the source's branch memory: the samples after
    // it are taken afresh, in order.
    if (probed_) {
      probed_ = false;
      count_ = 0;
      size_ = 8;
    }
    ++stats_.samples;
    // The sample and the one before stay in the block until the next one is
    // asked for.
    const std::size_t i = Sample(k, n, lo, hi, step);
    const long double& t = blockT_[i];
    TPoint2D& p = blockP_[i];
    const TCurveSource::Result r = blockR_[i];
    const long double& prevT = blockT_[i - 1];
    const TPoint2D& prevP = blockP_[i - 1];  // when havePrev
    if (r == TCurveSource::kUndefined) {
      if (havePrev) sink_.LineTo(Boundary(prevT, prevP, t));
      havePrev = false;
      prevUndefined = true;
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
      if (set_.detectJumps) prevS = Scaled(p);
    } else {
      bool lift = r == TCurveSource::kJump;
      if (set_.detectJumps) {
        const TScaled s = Scaled(p);
        const bool suspect = lift || (Farther(prevP, prevS, p, s) && TouchesView(prevP, p));
        prevS = s;
        if (suspect) {
          TPoint2D pl;
          TPoint2D pr;
          const bool jump = IsJump(prevT, prevP, t, p, pl, pr);
          src_.At(t, p);  // restores the branch memory after the probes
          ++stats_.probes;
          prevS = Scaled(p);
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
