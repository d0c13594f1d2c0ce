// The implicit-curve tracer against curves known exactly: every traced point
// lies on the curve, and every point of the curve in the view is near a
// traced piece (no branch missed).
#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "core_window.h"
#include "platform/bitmap.h"

namespace kv {
namespace {

using kvtest::CoreWindowTest;
using kvtest::RunCollector;
using Fn = std::function<double(double, double)>;

constexpr double kPixel = 0.02;  // world units per pixel at the default view

// Points of F = 0 in the view -5..5: sign changes along horizontal and
// vertical lines 0.01 apart, refined by bisection.
std::vector<TPoint2D> ExactPoints(const Fn& f) {
  std::vector<TPoint2D> out;
  auto scan = [&](bool horizontal, double c) {
    const double step = 0.002;
    double a = -5;
    double fa = horizontal ? f(a, c) : f(c, a);
    for (double b = a + step; b <= 5; b += step) {
      const double fb = horizontal ? f(b, c) : f(c, b);
      if (std::isfinite(fa) && std::isfinite(fb) && (fa < 0) != (fb < 0)) {
        double lo = a, hi = b, flo = fa;
        for (int k = 0; k < 60; ++k) {
          const double m = (lo + hi) / 2;
          const double fm = horizontal ? f(m, c) : f(c, m);
          if ((fm < 0) == (flo < 0)) {
            lo = m;
            flo = fm;
          } else {
            hi = m;
          }
        }
        const double r = (lo + hi) / 2;
        // A sign change at a pole is no point of the curve.
        const double fr = horizontal ? f(r, c) : f(c, r);
        if (std::fabs(fr) < 1e-6) out.push_back(horizontal ? TPoint2D{r, c} : TPoint2D{c, r});
      }
      a = b;
      fa = fb;
    }
  };
  for (int k = -499; k <= 499; ++k) {
    scan(true, k * 0.01);
    scan(false, k * 0.01);
  }
  return out;
}

double DistanceToRuns(const RunCollector& c, const TPoint2D& p) {
  double best = 1e300;
  for (const auto& run : c.runs) {
    for (std::size_t k = 0; k + 1 < run.size() || (k == 0 && run.size() == 1); ++k) {
      const TPoint2D& a = run[k];
      const TPoint2D& b = run.size() == 1 ? run[k] : run[k + 1];
      const double dx = static_cast<double>(b.x - a.x), dy = static_cast<double>(b.y - a.y);
      const double len2 = dx * dx + dy * dy;
      double s = len2 > 0 ? (static_cast<double>(p.x - a.x) * dx + static_cast<double>(p.y - a.y) * dy) / len2 : 0;
      s = s < 0 ? 0 : (s > 1 ? 1 : s);
      const double ex = static_cast<double>(a.x) + s * dx - static_cast<double>(p.x);
      const double ey = static_cast<double>(a.y) + s * dy - static_cast<double>(p.y);
      best = std::min(best, std::sqrt(ex * ex + ey * ey));
    }
  }
  return best;
}

// Distance of a point to F = 0 to first order: |F| / |grad F|.
double CurveDistance(const Fn& f, const TPoint2D& p) {
  const double x = static_cast<double>(p.x), y = static_cast<double>(p.y), h = 1e-7;
  const double gx = (f(x + h, y) - f(x - h, y)) / (2 * h);
  const double gy = (f(x, y + h) - f(x, y - h)) / (2 * h);
  const double g = std::hypot(gx, gy);
  return g > 1e-9 ? std::fabs(f(x, y)) / g : std::sqrt(std::fabs(f(x, y)));
}

struct CurveCase {
  const char* text;
  Fn f;
  std::size_t minExact;
};

class ImplicitCurves : public CoreWindowTest, public ::testing::WithParamInterface<CurveCase> {};

TEST_P(ImplicitCurves, TracesEveryBranchOnTheCurve) {
  const CurveCase& c = GetParam();
  const int i = w->AppendEquation(kKindImplicit, {"", "", "", "", c.text});
  ASSERT_GE(i, 0);
  RunCollector runs;
  w->TraceEquation(i, runs);
  ASSERT_GT(runs.Points(), 10u);
  for (const auto& run : runs.runs)
    for (const auto& p : run)
      if (std::fabs(p.x) < 5 && std::fabs(p.y) < 5) {
        ASSERT_LT(CurveDistance(c.f, p), 0.5 * kPixel)
            << c.text << " at " << static_cast<double>(p.x) << ", " << static_cast<double>(p.y);
      }
  const std::vector<TPoint2D> exact = ExactPoints(c.f);
  ASSERT_GE(exact.size(), c.minExact);
  int missed = 0;
  for (const TPoint2D& p : exact)
    if (DistanceToRuns(runs, p) > 1.5 * kPixel) ++missed;
  EXPECT_EQ(missed, 0) << c.text << ": " << missed << " of " << exact.size() << " curve points missed";
}

INSTANTIATE_TEST_SUITE_P(
    Curves, ImplicitCurves,
    ::testing::Values(
        CurveCase{"xx-yy=0", [](double x, double y) { return x * x - y * y; }, 1000},
        CurveCase{"xx+yy=0.01", [](double x, double y) { return x * x + y * y - 0.01; }, 40},
        CurveCase{"(xx/16+yy/4-1)(xx/4+yy-1)=0",
                  [](double x, double y) { return (x * x / 16 + y * y / 4 - 1) * (x * x / 4 + y * y - 1); }, 400},
        CurveCase{"sin(x)sin(y)=0.1", [](double x, double y) { return std::sin(x) * std::sin(y) - 0.1; }, 1000},
        CurveCase{"y=1/x", [](double x, double y) { return y - 1 / x; }, 200}));

TEST_F(CoreWindowTest, DrawnPixelsLieOnTheCurvesAndCoverThem) {
  struct Case {
    const char* text;
    Fn f;
  } cases[] = {{"xx-yy=0", [](double x, double y) { return x * x - y * y; }},
               {"xx+yy=0.01", [](double x, double y) { return x * x + y * y - 0.01; }},
               {"sin(x)sin(y)=0.1", [](double x, double y) { return std::sin(x) * std::sin(y) - 0.1; }}};
  for (const Case& c : cases) {
    w->ClearInventory();
    const int i = w->AppendEquation(kKindImplicit, {"", "", "", "", c.text});
    w->Equation(i).penColour = 4;
    plat::Bitmap bmp(501, 501);
    plat::BitmapDC dc(bmp);
    ASSERT_EQ(w->DrawEquations(dc), 0);
    const plat::Colour pen = w->DrawingColourOf(4);
    auto world = [](int px, int py) { return TPoint2D{(px - 250) * 0.02L, (250 - py) * 0.02L}; };
    int drawn = 0;
    for (int py = 0; py < 501; ++py)
      for (int px = 0; px < 501; ++px)
        if (bmp.GetPixel(px, py) == pen) {
          ++drawn;
          ASSERT_LT(CurveDistance(c.f, world(px, py)), 1.5 * kPixel) << c.text << " pixel " << px << "," << py;
        }
    EXPECT_GT(drawn, 20) << c.text;
    for (const TPoint2D& p : ExactPoints(c.f)) {
      const int px = static_cast<int>(std::lround(static_cast<double>(p.x) / kPixel)) + 250;
      const int py = 250 - static_cast<int>(std::lround(static_cast<double>(p.y) / kPixel));
      if (px < 1 || py < 1 || px > 499 || py > 499) continue;
      bool near = false;
      for (int dy = -1; dy <= 1 && !near; ++dy)
        for (int dx = -1; dx <= 1 && !near; ++dx) near = bmp.GetPixel(px + dx, py + dy) == pen;
      ASSERT_TRUE(near) << c.text << " has no pixel near " << px << "," << py;
    }
  }
}

TEST_F(CoreWindowTest, TracerDoesNotJoinBranchesAcrossAPole) {
  const int i = w->AppendEquation(kKindImplicit, {"", "", "", "", "y=1/x"});
  RunCollector runs;
  w->TraceEquation(i, runs);
  for (const auto& run : runs.runs)
    for (std::size_t k = 1; k < run.size(); ++k) EXPECT_FALSE(run[k - 1].x * run[k].x < 0) << "crosses x = 0";
}

TEST_F(CoreWindowTest, RestrictionHidesPartOfTheCurve) {
  const int i = w->AppendEquation(kKindImplicit, {"", "", "", "x", "xx+yy=4"});
  w->Equation(i).restricted = 1;
  RunCollector runs;
  w->TraceEquation(i, runs);
  ASSERT_GT(runs.Points(), 10u);
  for (const auto& run : runs.runs)
    for (std::size_t k = 1; k < run.size(); ++k) EXPECT_GT(run[k - 1].x + run[k].x, -0.05);
}

TEST_F(CoreWindowTest, StartPointSearchFindsACurvePointOrGivesUp) {
  TreePtr f;
  ASSERT_EQ(w->Compile("xx+yy-1", f), 0);
  TPoint2D p;
  ASSERT_TRUE(w->FindImplicitStartPoint(f.get(), {-2, -2}, {4, 4}, p));
  EXPECT_NEAR(static_cast<double>(p.x * p.x + p.y * p.y), 1, 1e-3);
  TreePtr pole;
  ASSERT_EQ(w->Compile("1/x", pole), 0);
  EXPECT_FALSE(w->FindImplicitStartPoint(pole.get(), {-2, -2}, {4, 4}, p));
  TreePtr none;
  ASSERT_EQ(w->Compile("xx+yy+1", none), 0);
  EXPECT_FALSE(w->FindImplicitStartPoint(none.get(), {-2, -2}, {4, 4}, p));
}

}  // namespace
}  // namespace kv
