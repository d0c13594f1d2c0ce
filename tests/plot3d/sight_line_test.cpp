// The sight-line geometry without a window: the pieces over a domain, a
// disc and a z-range, the sign march, the turns of an angle, the point in
// a projected cell, the parameter along a picking ray; and the observer
// moves of the view commands.
#include <gtest/gtest.h>

#include <cmath>

#include "plot3d/sight_line.h"
#include "plot3d/space_geometry.h"

namespace kv {
namespace {

double D(long double v) { return static_cast<double>(v); }

void ExpectPoint(const TPoint3D& got, const TPoint3D& want, const char* what) {
  EXPECT_NEAR(D(got.x), D(want.x), 1e-12) << what;
  EXPECT_NEAR(D(got.y), D(want.y), 1e-12) << what;
  EXPECT_NEAR(D(got.z), D(want.z), 1e-12) << what;
}

TEST(SightLine, PieceOverTheDomainRectangle) {
  const TSegment2D square{-1, 1, -1, 1};
  struct Case {
    const char* what;
    TPoint3D eye, p;
    bool whole, found;
    TPoint3D a, b;
  };
  const Case cases[] = {
      {"both ends over it", {0.5L, 0, 10}, {-0.5L, 0, 0}, false, true, {0.5L, 0, 10}, {-0.5L, 0, 0}},
      {"eye outside", {3, 0, 4}, {0, 0, 0}, false, true, {1, 0, 4.0L / 3}, {0, 0, 0}},
      {"point outside", {0, 0, 4}, {0, 2, 0}, false, true, {0, 0, 4}, {0, 1, 2}},
      {"misses it", {3, 3, 1}, {2, 5, 0}, false, false, {}, {}},
      {"whole line beyond both", {3, 0, 3}, {2, 0, 2}, true, true, {1, 0, 1}, {-1, 0, -1}},
      {"vertical over it", {0.2L, 0.3L, 9}, {0.2L, 0.3L, -1}, false, true, {0.2L, 0.3L, 9}, {0.2L, 0.3L, -1}},
      {"vertical beside it", {4, 0, 9}, {4, 0, -1}, false, false, {}, {}},
      {"along y only (dx = 0)", {0.5L, -3, 3}, {0.5L, 0, 0}, false, true, {0.5L, -1, 1}, {0.5L, 0, 0}},
  };
  for (const Case& c : cases) {
    TPoint3D a, b;
    ASSERT_EQ(ClipSightLineToRect(c.eye, c.p, square, c.whole, a, b), c.found) << c.what;
    if (!c.found) continue;
    ExpectPoint(a, c.a, c.what);
    ExpectPoint(b, c.b, c.what);
  }
}

TEST(SightLine, PieceOverTheDisc) {
  struct Case {
    const char* what;
    TPoint3D eye, p;
    bool found;
    TPoint3D a, b;
  };
  const Case cases[] = {
      {"point inside, eye outside", {4, 0, 4}, {0, 0, 0}, true, {2, 0, 2}, {0, 0, 0}},
      {"both inside", {1, 0, 5}, {-1, 0, 0}, true, {1, 0, 5}, {-1, 0, 0}},
      {"through it", {4, 0, 8}, {-4, 0, 0}, true, {2, 0, 6}, {-2, 0, 2}},
      {"line meets it beyond the eye only", {3, 0, 1}, {6, 0, 0}, false, {}, {}},
      {"misses it", {4, 4, 1}, {3, 5, 0}, false, {}, {}},
      {"vertical inside", {1, 1, 9}, {1, 1, 0}, true, {1, 1, 9}, {1, 1, 0}},
  };
  for (const Case& c : cases) {
    TPoint3D a, b;
    ASSERT_EQ(ClipSightLineToDisc(c.eye, c.p, 2, a, b), c.found) << c.what;
    if (!c.found) continue;
    ExpectPoint(a, c.a, c.what);
    ExpectPoint(b, c.b, c.what);
  }
}

TEST(SightLine, CutToTheZRange) {
  struct Case {
    const char* what;
    TPoint3D a, b;
    bool found;
    TPoint3D wantA, wantB;
  };
  const Case cases[] = {
      {"wholly below", {0, 0, -3}, {1, 0, -2}, false, {}, {}},
      {"wholly above", {0, 0, 3}, {1, 0, 2}, false, {}, {}},
      {"inside", {0, 0, 0.8L}, {1, 0, 0.2L}, true, {0, 0, 0.8L}, {1, 0, 0.2L}},
      {"both ends cut", {0, 0, 3}, {4, 0, -1}, true, {2, 0, 1}, {3, 0, 0}},
      {"horizontal is not cut", {0, 0, 0.5L}, {9, 0, 0.5L}, true, {0, 0, 0.5L}, {9, 0, 0.5L}},
  };
  for (const Case& c : cases) {
    TPoint3D a = c.a, b = c.b, d;
    ASSERT_EQ(ClipSegmentToZRange(0, 1, a, b, d), c.found) << c.what;
    if (!c.found) continue;
    ExpectPoint(a, c.wantA, c.what);
    ExpectPoint(b, c.wantB, c.what);
    ExpectPoint(d, {a.x - b.x, a.y - b.y, a.z - b.z}, c.what);
  }
}

TEST(SightLine, SignMarchFindsACrossingOnlyFromANonZeroStart) {
  // The unit sphere g = x² + y² + z² - 1 along the x-axis from b = (-2, 0, 0).
  auto sphere = [](const TPoint3D& q) { return SignOfValue(q.x * q.x + q.y * q.y + q.z * q.z - 1); };
  struct Case {
    const char* what;
    TPoint3D b, d;
    int n;
    bool crosses;
  };
  const Case cases[] = {
      {"into the sphere", {-2, 0, 0}, {2, 0, 0}, 12, true},
      {"passes beside it", {-2, 1.5L, 0}, {4, 0, 0}, 12, false},
      {"one piece lands outside again", {-2, 0, 0}, {4, 0, 0}, 1, false},
      {"one piece lands inside", {-2, 0, 0}, {2, 0, 0}, 1, true},
      {"starts on the surface", {1, 0, 0}, {-1, 0, 0}, 12, false},
      {"no pieces counts as one", {-2, 0, 0}, {2, 0, 0}, 0, true},
  };
  for (const Case& c : cases) EXPECT_EQ(SignChangesAlong(c.b, c.d, c.n, sphere), c.crosses) << c.what;
  EXPECT_EQ(SignOfValue(1e-17L), 0);
  EXPECT_EQ(SignOfValue(std::nanl("")), 0);
  EXPECT_EQ(SignOfValue(-2), -1);
}

TEST(SightLine, AngleIsRaisedByWholeTurns) {
  constexpr long double kTurn = 6.283185307179586L;
  struct Case {
    long double x, y, base;
    int turn;
    long double want;
  };
  const Case cases[] = {
      {1, 1, 0, 0, kTurn / 8},          {1, -1, 0, 0, kTurn * 7 / 8},
      {1, -1, -kTurn / 2, 0, -kTurn / 8}, {0, 1, 0, 2, kTurn / 4 + 2 * kTurn},
      {-1, 0, 1e6L, 0, 0},  // far base: answered at once
  };
  for (const Case& c : cases) {
    const long double a = AngleOnTurn(c.x, c.y, c.base, c.turn);
    if (c.base > 1e5L) {
      EXPECT_GE(a, c.base);
      EXPECT_LT(a, c.base + kTurn);
      EXPECT_NEAR(D(std::remainder(a - kTurn / 2, kTurn)), 0, 1e-9);
    } else {
      EXPECT_NEAR(D(a), D(c.want), 1e-15);
    }
  }
}

TEST(SightLine, PointInAProjectedCell) {
  const TPoint2D square[4] = {{0, 0}, {4, 0}, {4, 4}, {0, 4}};
  const TPoint2D clockwise[4] = {{0, 0}, {0, 4}, {4, 4}, {4, 0}};
  const TPoint2D flat[4] = {{0, 0}, {2, 2}, {4, 4}, {1, 1}};
  const TPoint2D bow[4] = {{0, 0}, {4, 4}, {4, 0}, {0, 2}};  // crossed: two triangles
  struct Case {
    const TPoint2D (*quad)[4];
    TPoint2D p;
    bool inside;
  };
  const Case cases[] = {
      {&square, {2, 2}, true},    {&square, {5, 2}, false},  {&square, {4, 2}, true},
      {&square, {0, 0}, true},    {&clockwise, {1, 3}, true}, {&clockwise, {-1, 3}, false},
      {&flat, {2, 2}, false},     {&bow, {3, 1.5L}, true},    {&bow, {0.3L, 1}, true},
      {&bow, {2, 3}, false},
  };
  for (const Case& c : cases)
    EXPECT_EQ(PointInQuadrilateral(*c.quad, c.p), c.inside) << D(c.p.x) << "," << D(c.p.y);
}

TEST(SightLine, RayParameterNeverDividesByAZeroComponent) {
  const TPoint3D eye{1, 2, 3};
  struct Case {
    TPoint3D d;
    long double t;
  };
  for (const Case& c : {Case{{2, 0, 0}, 1.5L}, Case{{0, -4, 1}, 0.25L}, Case{{0, 0, 5}, -2}, Case{{0, 0, 0}, 0}}) {
    const TPoint3D x{eye.x + c.t * c.d.x, eye.y + c.t * c.d.y, eye.z + c.t * c.d.z};
    EXPECT_NEAR(D(RayParameter(eye, c.d, x)), D(c.t), 1e-15);
  }
}

TEST(ObserverMoves, InOutAndFarOutFollowTheirRules) {
  TView3D v;  // box (0,0,0)-(2,2,2), centre (1,1,1), observer (60,80,60)
  ASSERT_TRUE(MoveObserverHalfwayIn(v));
  EXPECT_EQ(v.Observer, (TPoint3D{30.5L, 40.5L, 30.5L}));
  // Halfway from (3, 1, 5) is (2, 1, 3), over the ground plan: refused.
  v.Observer = {3, 1, 5};
  EXPECT_FALSE(MoveObserverHalfwayIn(v));
  EXPECT_EQ(v.Observer, (TPoint3D{3, 1, 5}));

  v.Observer = {5, 1, 1};
  MoveObserverTwiceOut(v);
  EXPECT_EQ(v.Observer, (TPoint3D{9, 1, 1}));
  // Far away it stops within 10000 box sizes.
  v.Observer = {1e9L, 1, 1};
  MoveObserverTwiceOut(v);
  EXPECT_LE(TaxicabDistance3D(v.Observer, v.BoxCentre), 10000 * 6);

  v.Observer = {1, 5, 1};
  MoveObserverFarOut(v);
  EXPECT_NEAR(D(Distance3D(v.Observer, v.BoxCentre)), 6000, 1e-9);
  EXPECT_NEAR(D(v.Observer.y), 6001, 1e-9);
  // An observer at the centre gets a direction instead of a division by 0.
  v.Observer = v.BoxCentre;
  MoveObserverFarOut(v);
  EXPECT_NEAR(D(v.Observer.x - 1), 6000 / std::sqrt(3.0), 1e-6);
  EXPECT_NEAR(D(v.Observer.x), D(v.Observer.z), 1e-12);
  v.Observer = v.BoxCentre;
  MoveObserverTwiceOut(v);
  EXPECT_FALSE(IsInBox2D(v, v.Observer)) << "moved off the ground plan";
}

}  // namespace
}  // namespace kv
