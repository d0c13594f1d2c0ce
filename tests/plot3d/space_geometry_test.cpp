// The window-free geometry of the 3D windows: extents, the aspect rule,
// axis ends, the way back from the picture plane, the observer's distance
// rules and moves, the height tint and the guide arcs.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

#include "plot3d/observer_dialog.h"
#include "plot3d/space_geometry.h"
#include "core/constants.h"

namespace kv {
namespace {

constexpr long double kEps = 1e-12L;

void ExpectPoint(const TPoint3D& p, long double x, long double y, long double z, long double eps = kEps) {
  EXPECT_NEAR(static_cast<double>(p.x), static_cast<double>(x), static_cast<double>(eps));
  EXPECT_NEAR(static_cast<double>(p.y), static_cast<double>(y), static_cast<double>(eps));
  EXPECT_NEAR(static_cast<double>(p.z), static_cast<double>(z), static_cast<double>(eps));
}

TView3D ViewOfBox(const TPoint3D& lo, const TPoint3D& hi, const TPoint3D& observer) {
  TView3D v;
  v.BoxMin = lo;
  v.BoxMax = hi;
  Midpoint3D(v.BoxCentre, lo, hi);
  v.Observer = observer;
  SetupViewBoxScale(v);
  StoreObserverInBox(v);
  ComputeViewFrame(v);
  return v;
}

TEST(SpaceGeometry, ExtentsWidenByATenthAndThinIntervalsOpen) {
  TPoint3D lo{0, 0, 0}, hi{1, 2, 10};
  WidenBox3D(lo, hi);
  ExpectPoint(lo, -0.1L, -0.2L, -1);
  ExpectPoint(hi, 1.1L, 2.2L, 11);

  struct Case {
    long double min, max, d, wantMin, wantMax;
  };
  for (const Case& c : {Case{3, 3, 0.5L, 2.5L, 3.5L}, Case{3, 3 + 1e-14L, 1e-5L, 3 - 1e-5L, 3 + 1e-14L + 1e-5L},
                        Case{0, 1, 0.5L, 0, 1}, Case{2, 1, 0.5L, 1.5L, 1.5L}}) {
    long double a = c.min, b = c.max;
    WidenThinInterval(a, b, c.d);
    EXPECT_NEAR(static_cast<double>(a), static_cast<double>(c.wantMin), 1e-15);
    EXPECT_NEAR(static_cast<double>(b), static_cast<double>(c.wantMax), 1e-15);
  }
}

TEST(SpaceGeometry, TheAspectRuleShrinksOnlyTheFirstOverlongAxis) {
  struct Case {
    TPoint3D lo, hi;
    bool family;
    bool kept;
    TPoint3D wantLo, wantHi;
  };
  const Case cases[] = {
      // z = xy over [-5, 5]² after widening: 60 < 3 (12 + 12).
      {{-6, -6, -30}, {6, 6, 30}, false, true, {-6, -6, -30}, {6, 6, 30}},
      // A pole: z shrinks to 3 (sx + sy) about its centre.
      {{-6, -6, -1e6L}, {6, 6, 1e6L}, false, false, {-6, -6, -36}, {6, 6, 36}},
      {{-6, -6, 0}, {6, 6, 2e6L}, false, false, {-6, -6, 1e6L - 36}, {6, 6, 1e6L + 36}},
      // z is tested first; y would exceed too but stays this time.
      {{0, 0, 0}, {1, 100, 1000}, false, false, {0, 0, 500 - 151.5L}, {1, 100, 500 + 151.5L}},
      // Only y exceeds.
      {{0, 0, 0}, {1, 100, 1}, false, false, {0, 50 - 3, 0}, {1, 50 + 3, 1}},
      // A family keeps its extent.
      {{-6, -6, -1e6L}, {6, 6, 1e6L}, true, true, {-6, -6, -1e6L}, {6, 6, 1e6L}},
  };
  for (const Case& c : cases) {
    TEquation e;
    e.boxMin() = c.lo;
    e.boxMax() = c.hi;
    e.familyOn = c.family ? 1 : 0;
    EXPECT_EQ(LimitExtentAspect(e, 3.0L), c.kept);
    ExpectPoint(e.boxMin(), c.wantLo.x, c.wantLo.y, c.wantLo.z, 1e-9L);
    ExpectPoint(e.boxMax(), c.wantHi.x, c.wantHi.y, c.wantHi.z, 1e-9L);
  }
}

TEST(SpaceGeometry, AxesReachAtLeastOneUnitBeyondTheOriginOnEachSide) {
  struct Case {
    TPoint3D lo, hi, wantMin, wantMax;
  };
  const Case cases[] = {
      {{-5, -5, -5}, {5, 5, 5}, {-6.5L, -6.5L, -6.5L}, {6.5L, 6.5L, 6.5L}},
      {{1, 1, 1}, {2, 2, 2}, {-1, -1, -1}, {2.6L, 2.6L, 2.6L}},
      {{-3, -2, -1}, {-1, -0.5L, 0}, {-3.9L, -2.6L, -1.3L}, {1, 1, 1}},
  };
  for (const Case& c : cases) {
    TPoint3D a, b;
    DefaultAxisEnds(c.lo, c.hi, a, b);
    ExpectPoint(a, c.wantMin.x, c.wantMin.y, c.wantMin.z);
    ExpectPoint(b, c.wantMax.x, c.wantMax.y, c.wantMax.z);
  }
}

TEST(SpaceGeometry, TheBoxCentreProjectsToTheOriginAndScreenToSpaceUndoesTheProjection) {
  TView3D v = ViewOfBox({0, 0, 0}, {2, 2, 2}, {60, 80, 60});
  ExpectPoint(v.V, 59, 79, 59);
  EXPECT_NEAR(static_cast<double>(v.ViewR), std::sqrt(59.0 * 59 + 79.0 * 79), 1e-12);
  const TPoint2D c = ProjectRotated(v, v.BoxCentre);
  EXPECT_NEAR(static_cast<double>(c.x), 0, 1e-15);
  EXPECT_NEAR(static_cast<double>(c.y), 0, 1e-15);
  // Every point on the line of sight through the centre lands there too,
  // and the eye itself (depth 0) as well.
  for (long double lambda : {-3.0L, 0.5L, 1.0L}) {
    const TPoint2D q = ProjectRotated(v, {1 + lambda * 59, 1 + lambda * 79, 1 + lambda * 59});
    EXPECT_NEAR(static_cast<double>(q.x), 0, 1e-9);
    EXPECT_NEAR(static_cast<double>(q.y), 0, 1e-9);
  }
  for (const auto& [a, b] : {std::pair{0.3L, -0.2L}, std::pair{-1.5L, 2.0L}, std::pair{0.0L, 0.7L}}) {
    const TPoint3D p = ScreenToSpace(v, a, b);
    const TPoint3D d{p.x - 1, p.y - 1, p.z - 1};
    EXPECT_NEAR(static_cast<double>(Dot3D(d, v.V)), 0, 1e-9) << "on the plane through M perpendicular to V";
    const TPoint2D q = ProjectRotated(v, p);
    EXPECT_NEAR(static_cast<double>(q.x), static_cast<double>(a), 1e-9);
    EXPECT_NEAR(static_cast<double>(q.y), static_cast<double>(b), 1e-9);
  }
}

TEST(SpaceGeometry, ClampingTheObserverEndsForEveryObserverAndKeepsItsRules) {
  const long double inf = std::numeric_limits<long double>::infinity();
  struct Case {
    TPoint3D lo, hi, observer;
  };
  const Case cases[] = {
      // Straight above the centre: doubling alone never leaves the ground plan.
      {{-1, -1, -1}, {1, 1, 1}, {0, 0, 50}},
      {{-1, -1, -1}, {1, 1, 1}, {0, 0, 0}},
      // A small box far from the origin: halving about the origin would never end.
      {{1e6L, 1e6L, 0}, {1e6L + 1e-3L, 1e6L + 1e-3L, 1e-3L}, {0, 0, 0}},
      {{0, 0, 0}, {2, 2, 2}, {1e4000L, -1e4000L, 1e4000L}},
      {{0, 0, 0}, {2, 2, 2}, {1, 1, 1e-30L}},
      {{0, 0, 0}, {2, 2, 2}, {60, 80, 60}},
  };
  for (const Case& c : cases) {
    TView3D v = ViewOfBox(c.lo, c.hi, c.observer);
    ClampObserverDistance(v);
    const long double size = TaxicabDistance3D(v.BoxMin, v.BoxMax);
    EXPECT_FALSE(IsInBox2D(v, v.Observer));
    EXPECT_LE(TaxicabDistance3D(v.Observer, v.BoxCentre), 10000 * size * 1.0001L);
  }
  // An observer that is already fine stays where it is.
  TView3D v = ViewOfBox({0, 0, 0}, {2, 2, 2}, {60, 80, 60});
  ClampObserverDistance(v);
  ExpectPoint(v.Observer, 60, 80, 60);
  // One over the ground plan is pushed out along its line from the centre,
  // all three offsets doubled: (0.5, 0, 2) twice becomes (2, 0, 8).
  TView3D over = ViewOfBox({0, 0, 0}, {2, 2, 2}, {1.5L, 1, 3});
  ClampObserverDistance(over);
  ExpectPoint(over.Observer, 3, 1, 9);
  // Straight above the centre the view frame stays defined.
  TView3D above = ViewOfBox({0, 0, 0}, {2, 2, 2}, {1, 1, 50});
  const TPoint2D q = ProjectRotated(above, {2, 0, 0});
  EXPECT_TRUE(std::isfinite(static_cast<double>(q.x)) && std::isfinite(static_cast<double>(q.y)));
  // Undefined input ends as well.
  TView3D n = ViewOfBox({0, 0, 0}, {2, 2, 2}, {std::nanl(""), inf, 0});
  ClampObserverDistance(n);
}

TEST(SpaceGeometry, ObserverMovesTurnTiltAndStandIsometric) {
  TView3D v = ViewOfBox({0, 0, 0}, {2, 2, 2}, {60, 80, 60});
  RotateObserver(v, Pi / 30, false);
  RotateObserver(v, -Pi / 30, false);
  ExpectPoint(v.Observer, 60, 80, 60, 1e-12L);
  RotateObserver(v, Pi / 2, true);  // about the z axis of the coordinate system
  ExpectPoint(v.Observer, -80, 60, 60, 1e-12L);

  // From elevation 0, n steps up give π/2 (1 - 0.975^n).
  TView3D t = ViewOfBox({0, 0, 0}, {2, 2, 2}, {41, 1, 1});
  for (int n = 1; n <= 20; ++n) {
    ASSERT_TRUE(TiltObserver(t, true, false));
    const TPoint3D d{t.Observer.x - 1, t.Observer.y - 1, t.Observer.z - 1};
    const long double phi = std::atan(d.z / std::hypot(d.x, d.y));
    EXPECT_NEAR(static_cast<double>(phi), static_cast<double>(HalfPi * (1 - std::pow(0.975L, n))), 1e-12);
  }
  // Down from above steps by 0.025 π/2 while the elevation is not negative.
  const TPoint3D d0{t.Observer.x - 1, t.Observer.y - 1, t.Observer.z - 1};
  const long double before = std::atan(d0.z / std::hypot(d0.x, d0.y));
  ASSERT_TRUE(TiltObserver(t, false, false));
  const TPoint3D d1{t.Observer.x - 1, t.Observer.y - 1, t.Observer.z - 1};
  EXPECT_NEAR(static_cast<double>(std::atan(d1.z / std::hypot(d1.x, d1.y))),
              static_cast<double>(before - 0.025L * HalfPi), 1e-12);
  // On the vertical through the centre nothing moves.
  TView3D up = ViewOfBox({0, 0, 0}, {2, 2, 2}, {1, 1, 50});
  EXPECT_FALSE(TiltObserver(up, true, false));
  ExpectPoint(up.Observer, 1, 1, 50);

  ExpectPoint(IsometricObserver(ViewOfBox({0, 0, 0}, {2, 2, 2}, {60, 80, 60})), 48000, 48000, 48000);
}

TEST(SpaceGeometry, ObserverInSphericalCoordinates) {
  struct Case {
    TPoint3D e, want;
  };
  const Case cases[] = {
      {{0, 0, 0}, {0, HalfPi, Pi}},  // the polar angle of (0, 0) is π/2; phi π as z is not > 0
      {{0, 0, 5}, {5, HalfPi, 0}},
      {{0, 10, 0}, {10, HalfPi, HalfPi}},
      {{-3, 0, -4}, {5, Pi, Pi - std::acos(0.8L)}},
  };
  for (const Case& c : cases) {
    const TPoint3D s = ObserverToSpherical(c.e);
    ExpectPoint(s, c.want.x, c.want.y, c.want.z, 1e-15L);
    TPoint3D back = s;
    if (s.x > 0) {
      SphericalToCartesian3D(back);
      ExpectPoint(back, c.e.x, c.e.y, c.e.z, 1e-15L);
    }
  }
}

TEST(SpaceGeometry, HeightTintRunsFromHalfToFullBrightness) {
  struct Case {
    long double z, want;
  };
  for (const Case& c : {Case{-1, 0.5L}, Case{1, 1}, Case{0, 0.75L}, Case{-100, 0.5L}, Case{-1.5L, 0.5L},
                        Case{-1.2L, 0.45L}, Case{5, 1}, Case{std::nanl(""), 0.5L}})
    EXPECT_NEAR(static_cast<double>(HeightTint(c.z, -1, 1)), static_cast<double>(c.want), 1e-15) << (double)c.z;
  EXPECT_EQ(HeightTint(3, 3, 3), 1.0L) << "a flat box divides by nothing";
}

TEST(SpaceGeometry, GuideArcsRunAtMostOneTurnWithPointsByTheirAngle) {
  struct Case {
    long double angle, from, to;
    int points;
  };
  const Case cases[] = {
      {3 * Pi, 0, 2 * Pi, 122},
      {-Pi, -Pi, 0, 62},
      {Pi / 2, 0, Pi / 2, 32},
      {0, 0, 0, 2},
      {-7, 0, 2 * Pi, 122},
  };
  for (const Case& c : cases) {
    const TGuideArc a = GuideArc(c.angle);
    EXPECT_NEAR(static_cast<double>(a.from), static_cast<double>(c.from), 1e-15);
    EXPECT_NEAR(static_cast<double>(a.to), static_cast<double>(c.to), 1e-15);
    EXPECT_EQ(a.points, c.points);
  }
}

}  // namespace
}  // namespace kv
