#include "core/vector2d.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>

#include "core/constants.h"

namespace kv {
namespace {

constexpr long double kNaN = std::numeric_limits<long double>::quiet_NaN();

void ExpectNear(const TPoint2D& p, long double x, long double y, long double eps = 1e-15L) {
  EXPECT_NEAR(static_cast<double>(p.x), static_cast<double>(x), static_cast<double>(eps));
  EXPECT_NEAR(static_cast<double>(p.y), static_cast<double>(y), static_cast<double>(eps));
}

TEST(Vector2D, ProductsAndDistances) {
  const TPoint2D a{1, 2};
  const TPoint2D b{3, -4};
  EXPECT_EQ(Dot2D(a, b), -5.0L);
  EXPECT_EQ(Cross2D(a, b), -10.0L);
  EXPECT_GT(Cross2D(TPoint2D{1, 0}, TPoint2D{0, 1}), 0) << "counter-clockwise is positive";
  EXPECT_EQ(TaxicabDistance2D(a, b), 8.0L);
  EXPECT_EQ(Distance2D(TPoint2D{0, 0}, TPoint2D{3, 4}), 5.0L);

  // Points closer than 1e-8 are at distance exactly 0.
  struct Case {
    long double apart;
    long double distance;
  };
  for (const Case c : {Case{1e-9L, 0.0L}, Case{1e-7L, 1e-7L}, Case{-2e-8L, 2e-8L}}) {
    const long double d = Distance2D(TPoint2D{0, 0}, TPoint2D{c.apart, 0});
    EXPECT_NEAR(static_cast<double>(d), static_cast<double>(c.distance), 1e-25);
  }
  EXPECT_EQ(Distance2D(TPoint2D{5, 5}, TPoint2D{5, 5 + 1e-9L}), 0.0L);
  EXPECT_TRUE(std::isnan(Distance2D(TPoint2D{kNaN, 0}, TPoint2D{})));
}

TEST(Vector2D, MidpointMayOverwriteAnInput) {
  TPoint2D a{2, 4};
  const TPoint2D b{4, -2};
  TPoint2D& r = Midpoint2D(a, a, b);
  EXPECT_EQ(&r, &a);
  EXPECT_EQ(a, (TPoint2D{3, 1}));
}

TEST(Vector2D, RotateTurnsCounterClockwise) {
  TPoint2D p{1, 0};
  Rotate2D(p, HalfPi);
  ExpectNear(p, 0, 1);
  Rotate2D(p, -HalfPi);
  ExpectNear(p, 1, 0);
}

TEST(Vector2D, NormalizeTestsTheSquaredLength) {
  struct Case {
    TPoint2D in;
    bool ok;
    TPoint2D out;
  };
  const Case cases[] = {
      {{1e-9L, 0}, false, {1e-9L, 0}},  // squared length 1e-18 is below 1e-16
      {{1e-7L, 0}, true, {1, 0}},
      {{3, 4}, true, {0.6L, 0.8L}},
      {{0, 0}, false, {0, 0}},
  };
  for (const Case& c : cases) {
    TPoint2D p = c.in;
    EXPECT_EQ(Normalize2D(p), c.ok);
    if (c.ok) {
      ExpectNear(p, c.out.x, c.out.y);
    } else {
      EXPECT_EQ(p, c.in) << "a refused vector is left as it was";
    }
  }
  TPoint2D p{3, 4};
  EXPECT_TRUE(ScaleToLength2D(p, 10));
  ExpectNear(p, 6, 8, 1e-14L);
  TPoint2D tiny{1e-9L, 1e-9L};
  EXPECT_FALSE(ScaleToLength2D(tiny, 10));
  EXPECT_EQ(tiny, (TPoint2D{1e-9L, 1e-9L}));
}

TEST(Vector2D, ClassifyByMagnitude) {
  if (std::numeric_limits<long double>::max_exponent10 < 4000) GTEST_SKIP() << "needs the extended range";
  struct Case {
    TPoint2D p;
    int cls;
  };
  const Case cases[] = {
      {{0, 0}, 1},       {{1e-2200L, 0}, 1}, {{1e-20L, 0}, 2}, {{1, 1}, 3},
      {{1e19L, 0}, 4},   {{0, -1e19L}, 4},   {{1e2200L, 0}, 5}, {{kNaN, 0}, 3},
      {{0, std::numeric_limits<long double>::infinity()}, 5},
  };
  for (const Case& c : cases) EXPECT_EQ(ClassifyVector2D(c.p), c.cls) << static_cast<double>(c.p.x);
}

TEST(Vector2D, PolarConversionsAndTheirRefusals) {
  TPoint2D out{7, 7};
  EXPECT_TRUE(PolarToCartesian(2, HalfPi, out));
  ExpectNear(out, 0, 2);

  for (const long double angle : {6e18L, -6e18L, kNaN}) {
    out = TPoint2D{7, 7};
    EXPECT_FALSE(PolarToCartesian(1, angle, out));
    EXPECT_EQ(out, (TPoint2D{0, 0})) << "refused: the zero point is written";

    TPoint2D inPlace{3, angle};
    EXPECT_FALSE(PolarToCartesianInPlace(inPlace));
    EXPECT_EQ(inPlace, (TPoint2D{0, 0}));

    TPoint2D kept{3, angle};
    EXPECT_FALSE(PolarToCartesian2D(kept));
    EXPECT_EQ(kept.x, 3.0L) << "refused: the point is left as it was";
    EXPECT_TRUE(std::isnan(angle) ? std::isnan(kept.y) : kept.y == angle);
  }
  TPoint2D edge{1, 5e18L};
  EXPECT_TRUE(PolarToCartesian2D(edge)) << "the guard itself is accepted";
  TPoint2D p{2, Pi};
  EXPECT_TRUE(PolarToCartesianInPlace(p));
  ExpectNear(p, -2, 0);
}

TEST(Vector2D, PolarAngle) {
  struct Case {
    const char* what;
    TPoint2D p;
    long double angle;
  };
  const Case cases[] = {
      {"negative x axis", {-1, 0}, Pi},
      {"negative x axis, y = -0", {-1, -0.0L}, Pi},
      {"just below the negative x axis", {-1, -1e-30L}, -Pi},
      {"down", {0, -2}, -HalfPi},
      {"almost vertical", {1e-17L, 5}, HalfPi},
      {"origin", {0, 0}, HalfPi},
      {"first quadrant", {1, 1}, Pi / 4},
      {"third quadrant", {-1, -1}, -3 * Pi / 4},
  };
  for (const Case& c : cases) {
    EXPECT_NEAR(static_cast<double>(PolarAngle(c.p)), static_cast<double>(c.angle), 1e-15) << c.what;
  }
  EXPECT_EQ(PolarAngle(TPoint2D{-1, 0}), Pi);
  EXPECT_TRUE(std::isnan(PolarAngle(TPoint2D{kNaN, 1})));
}

TEST(Vector2D, SignedAngle) {
  const TPoint2D c{1, 1};
  struct Case {
    const char* what;
    TPoint2D p;
    TPoint2D q;
    long double angle;
  };
  const Case cases[] = {
      {"q equals p", {3, 1}, {3, 1}, 0},
      {"opposite, counter-clockwise", {2, 1}, {0, 1 + 1e-20L}, Pi},
      {"opposite, clockwise", {2, 1}, {0, 1 - 1e-20L}, Pi},
      {"quarter turn clockwise", {2, 1}, {1, 0}, -HalfPi},
      {"quarter turn counter-clockwise", {2, 1}, {1, 5}, HalfPi},
      {"p at the centre", {1, 1}, {4, 4}, 0},
      {"45 degrees", {2, 1}, {3, 3}, Pi / 4},
      {"135 degrees clockwise", {2, 1}, {0, 0}, -3 * Pi / 4},
  };
  for (const Case& k : cases) {
    EXPECT_NEAR(static_cast<double>(SignedAngle2D(k.p, c, k.q)), static_cast<double>(k.angle), 1e-15)
        << k.what;
  }
  EXPECT_EQ(SignedAngle2D(TPoint2D{2, 1}, c, TPoint2D{0, 1}), Pi);
  EXPECT_TRUE(std::isnan(SignedAngle2D(TPoint2D{kNaN, 1}, c, TPoint2D{1, 5})));
}

TEST(Vector2D, ProjectPointOnLine) {
  const TPoint2D a{0, 0};
  const TPoint2D b{2, 0};
  TPoint2D foot{9, 9};
  long double t = 9;
  EXPECT_TRUE(ProjectPointOnLine2D(TPoint2D{1, 5}, a, b, foot, t));
  EXPECT_EQ(foot, (TPoint2D{1, 0}));
  EXPECT_EQ(t, 0.5L);

  EXPECT_TRUE(ProjectPointOnLine2D(TPoint2D{5, -1}, a, b, foot, t));
  EXPECT_GT(t, 1.0L) << "not clamped to the segment";
  EXPECT_EQ(foot, (TPoint2D{5, 0}));

  foot = TPoint2D{9, 9};
  t = 9;
  EXPECT_FALSE(ProjectPointOnLine2D(TPoint2D{1, 5}, a, TPoint2D{1e-9L, 0}, foot, t));
  EXPECT_EQ(foot, (TPoint2D{9, 9}));
  EXPECT_EQ(t, 9.0L);
}

TEST(Vector2D, WholeRealNumbers) {
  struct Case {
    TPoint2D z;
    bool whole;
    std::int32_t n;
  };
  const Case cases[] = {
      {{3.0000000001L, 0}, true, 3},  {{2.4L, 0}, false, 2},
      {{3, 1e-8L}, false, 3},         {{3e9L, 0}, false, 2147483647},
      {{-7, 0}, true, -7},            {{-2.9999999999L, -1e-10L}, true, -3},
      {{kNaN, 0}, false, 0},          {{2147483647.0L, 0}, false, 2147483647},
  };
  for (const Case& c : cases) {
    std::int32_t n = 12345;
    EXPECT_EQ(IsWholeRealNumber(c.z, n), c.whole) << static_cast<double>(c.z.x);
    EXPECT_EQ(n, c.n) << "n is always written";
  }
}

TEST(Vector2D, BoxesAndTheirEdges) {
  TPoint2D lo{1e30L, 1e30L};
  TPoint2D hi{-1e30L, -1e30L};
  EXPECT_TRUE(ExtendBox2D(lo, TPoint2D{2, 3}, hi));
  EXPECT_EQ(lo, (TPoint2D{2, 3})) << "the first point sets both corners";
  EXPECT_EQ(hi, (TPoint2D{2, 3}));
  EXPECT_FALSE(ExtendBox2D(lo, TPoint2D{2, 3}, hi));
  EXPECT_TRUE(ExtendBox2D(lo, TPoint2D{-1, 5}, hi));
  EXPECT_EQ(lo, (TPoint2D{-1, 3}));
  EXPECT_EQ(hi, (TPoint2D{2, 5}));
  EXPECT_FALSE(ExtendBox2D(lo, TPoint2D{kNaN, kNaN}, hi));

  struct Case {
    TPoint2D p;
    bool inside;
  };
  const Case cases[] = {
      {{0, 0}, true},   {{-1, 1}, true},   {{1, -1}, true},  {{1.0000001L, 0}, false},
      {{0, -1.5L}, false}, {{0, 2}, false}, {{kNaN, 0}, false}, {{0, kNaN}, false},
  };
  for (const Case& c : cases) EXPECT_EQ(PointInBox2D(c.p, -1, 1, -1, 1), c.inside);
  EXPECT_FALSE(PointInBox2D(TPoint2D{0, 0}, kNaN, 1, -1, 1)) << "a NaN bound gives false";
}

TEST(Vector2D, ArraysStartAtZero) {
  std::unique_ptr<TPoint2D[]> points(new TPoint2D[9]);
  for (int k = 0; k < 9; ++k) EXPECT_EQ(points[k], (TPoint2D{0, 0}));
  std::unique_ptr<TSegment2D[]> segments(new TSegment2D[2]);
  EXPECT_EQ(segments[1], (TSegment2D{0, 0, 0, 0}));
}

TEST(Vector2D, FileImages) {
  ByteWriter w;
  WritePoint2D(w, TPoint2D{1, -2.5L});
  WritePenSpec(w, TPenSpec{0x0102, 3, 0xFFFF});
  WriteRgbPenSpec(w, TRgbPenSpec{0x00112233u, 1, 2});
  WriteSegment2D(w, TSegment2D{-5, 5, -4, 4});
  ASSERT_EQ(w.Size(), 20u + 6u + 8u + 40u);
  const std::vector<std::uint8_t> head = {0, 0, 0, 0, 0, 0, 0, 0x80, 0xFF, 0x3F,   // 1
                                          0, 0, 0, 0, 0, 0, 0, 0xA0, 0x00, 0xC0,   // -2.5
                                          0x02, 0x01, 3, 0, 0xFF, 0xFF,            // pen
                                          0x33, 0x22, 0x11, 0x00, 1, 0, 2, 0};     // RGB pen
  EXPECT_EQ(std::vector<std::uint8_t>(w.Data().begin(), w.Data().begin() + 34), head);

  ByteReader r(w.Data());
  EXPECT_EQ(ReadPoint2D(r), (TPoint2D{1, -2.5L}));
  EXPECT_EQ(ReadPenSpec(r), (TPenSpec{0x0102, 3, 0xFFFF}));
  EXPECT_EQ(ReadRgbPenSpec(r), (TRgbPenSpec{0x00112233u, 1, 2}));
  EXPECT_EQ(ReadSegment2D(r), (TSegment2D{-5, 5, -4, 4}));
  EXPECT_FALSE(r.Failed());

  ByteReader cut(w.Data().data(), 15);
  EXPECT_EQ(ReadPoint2D(cut), (TPoint2D{1, 0}));
  EXPECT_TRUE(cut.Failed());
}

}  // namespace
}  // namespace kv
