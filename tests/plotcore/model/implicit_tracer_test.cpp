// The continued search for implicit curves: later passes on shifted grids
// find what the first grid missed and leave alone what was traced.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "plotcore/model/implicit_tracer.h"

namespace kv {
namespace {

// Circles (x - a)² + (y - b)² = r², as one product, so that each is a
// branch of the curve.
class Circles : public TImplicitSource {
 public:
  struct Circle {
    long double a, b, r;
  };
  explicit Circles(std::vector<Circle> c) : c_(std::move(c)) {}
  bool Value(long double x, long double y, long double& f) override {
    f = 1;
    for (const Circle& c : c_) f *= (x - c.a) * (x - c.a) + (y - c.b) * (y - c.b) - c.r * c.r;
    return true;
  }
  bool Gradient(long double, long double, long double&, long double&) override { return false; }

 private:
  std::vector<Circle> c_;
};

class Steps : public TPolylineSink {
 public:
  long points = 0;
  void MoveTo(const TPoint2D&) override { ++points; }
  void LineTo(const TPoint2D&) override { ++points; }
};

TEST(ContinuedImplicitSearch, LaterPassesFindWhatTheGridMissedAndTraceNothingTwice) {
  // A view of 120 x 120 pixels, a grid of 3: a circle of radius 1 pixel
  // about (31.5, 31.5) lies between four grid points of the first pass.
  TTracerSettings s;
  s.view = {0, 120, 0, 120};
  s.pixelsPerUnitX = s.pixelsPerUnitY = 1;
  Circles small({{31.5L, 31.5L, 1}});
  Steps first;
  EXPECT_EQ(TraceImplicitCurve(small, s, first).pieces, 0);

  TContinuedSearch search;
  Steps sink;
  int foundIn = -1;
  for (int pass = 0; pass < 24; ++pass) {
    const TTraceStats st = TraceImplicitCurve(small, s, sink, &search);
    if (st.pieces > 0) {
      EXPECT_EQ(foundIn, -1) << "traced again in pass " << pass;
      foundIn = pass;
    }
  }
  EXPECT_GT(foundIn, 0) << "no pass found the small circle";
  EXPECT_EQ(search.pass, 24);

  // A large circle and the small one: the first pass traces the large one
  // (about 250 steps round), no later pass traces it again; a later one
  // may start on a cell the first pass only touched, and runs a few steps
  // along it.  Such cells run out: then the passes trace nothing.
  Circles both({{60, 60, 40}, {31.5L, 31.5L, 1}});
  TContinuedSearch again;
  Steps all;
  EXPECT_GT(TraceImplicitCurve(both, s, all, &again).steps, 240);
  for (int pass = 1; pass < 200; ++pass) EXPECT_LT(TraceImplicitCurve(both, s, all, &again).steps, 60) << pass;
  long late = 0;
  for (int pass = 200; pass < 260; ++pass) late += TraceImplicitCurve(both, s, all, &again).steps;
  EXPECT_EQ(late, 0);
}

}  // namespace
}  // namespace kv
