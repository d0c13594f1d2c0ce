#include "core/vector3d.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>

#include "core/constants.h"

namespace kv {
namespace {

constexpr long double kNaN = std::numeric_limits<long double>::quiet_NaN();

void ExpectNear(const TPoint3D& p, const TPoint3D& q, double eps = 1e-15) {
  EXPECT_NEAR(static_cast<double>(p.x), static_cast<double>(q.x), eps);
  EXPECT_NEAR(static_cast<double>(p.y), static_cast<double>(q.y), eps);
  EXPECT_NEAR(static_cast<double>(p.z), static_cast<double>(q.z), eps);
}

TEST(Vector3D, ProductsAndDistances) {
  const TPoint3D a{1, 2, 3};
  const TPoint3D b{4, 5, 6};
  EXPECT_EQ(Dot3D(a, b), 32.0L);
  TPoint3D c;
  EXPECT_EQ(&Cross3D(c, a, b), &c);
  EXPECT_EQ(c, (TPoint3D{-3, 6, -3}));
  EXPECT_EQ(Cross3D(c, TPoint3D{1, 0, 0}, TPoint3D{0, 1, 0}), (TPoint3D{0, 0, 1}));

  TPoint3D alias{1, 2, 3};
  Cross3D(alias, alias, b);
  EXPECT_EQ(alias, (TPoint3D{-3, 6, -3})) << "the output may be an input";

  EXPECT_EQ(TripleProduct3D(TPoint3D{1, 0, 0}, TPoint3D{0, 1, 0}, TPoint3D{0, 0, 1}), 1.0L);
  EXPECT_EQ(TripleProduct3D(TPoint3D{0, 1, 0}, TPoint3D{1, 0, 0}, TPoint3D{0, 0, 1}), -1.0L);
  EXPECT_EQ(TripleProduct3D(TPoint3D{2, 0, 1}, TPoint3D{1, 3, 0}, TPoint3D{0, 1, 4}), 25.0L);

  EXPECT_EQ(Distance3D(TPoint3D{1, 1, 1}, TPoint3D{3, 4, 7}), 7.0L);
  EXPECT_EQ(Distance3D(TPoint3D{0, 0, 0}, TPoint3D{1e-12L, 0, 0}), 1e-12L) << "no tolerance";
  EXPECT_EQ(TaxicabDistance3D(TPoint3D{1, 1, 1}, TPoint3D{3, -4, 7}), 13.0L);

  TPoint3D m{2, 4, 6};
  Midpoint3D(m, m, TPoint3D{0, 0, 0});
  EXPECT_EQ(m, (TPoint3D{1, 2, 3}));
}

TEST(Vector3D, MaxMinAndBoxes) {
  const TPoint3D a{1, 5, 3};
  const TPoint3D b{4, 2, 3};
  TPoint3D out;
  Max3D(a, b, out);
  EXPECT_EQ(out, (TPoint3D{4, 5, 3}));
  Min3D(a, b, out);
  EXPECT_EQ(out, (TPoint3D{1, 2, 3}));
  Max3D(TPoint3D{kNaN, 0, 0}, b, out);
  EXPECT_TRUE(std::isnan(out.x)) << "a NaN of the first point stays";

  TPoint3D lo{0, 0, 0};
  TPoint3D hi{1, 1, 1};
  ExtendBox3D(lo, TPoint3D{0.5L, 0.5L, 0.5L}, hi);
  EXPECT_EQ(lo, (TPoint3D{0, 0, 0}));
  EXPECT_EQ(hi, (TPoint3D{1, 1, 1}));
  ExtendBox3D(lo, TPoint3D{-2, 0.5L, 3}, hi);
  EXPECT_EQ(lo, (TPoint3D{-2, 0, 0}));
  EXPECT_EQ(hi, (TPoint3D{1, 1, 3}));
  TPoint3D lo2{1e30L, 1e30L, 1e30L};
  TPoint3D hi2{-1e30L, -1e30L, -1e30L};
  ExtendBox3D(lo2, TPoint3D{1, 2, 3}, hi2);
  EXPECT_EQ(lo2, (TPoint3D{1, 2, 3}));
  EXPECT_EQ(hi2, (TPoint3D{1, 2, 3}));
}

TEST(Vector3D, NormalizeTestsTheLengthItself) {
  struct Case {
    TPoint3D in;
    bool ok;
    TPoint3D out;
  };
  const Case cases[] = {
      {{1e-10L, 0, 0}, true, {1, 0, 0}},
      {{1e-17L, 0, 0}, false, {1e-17L, 0, 0}},
      {{0, 0, 0}, false, {0, 0, 0}},
      {{2, -3, 6}, true, {2.0L / 7, -3.0L / 7, 6.0L / 7}},
  };
  for (const Case& c : cases) {
    TPoint3D p = c.in;
    EXPECT_EQ(Normalize3D(p), c.ok);
    ExpectNear(p, c.out);
  }
  TPoint3D p{0, 3, 4};
  EXPECT_TRUE(ScaleToLength3D(p, 10));
  ExpectNear(p, TPoint3D{0, 6, 8}, 1e-14);
  TPoint3D zero;
  EXPECT_FALSE(ScaleToLength3D(zero, 10));
  EXPECT_EQ(zero, (TPoint3D{0, 0, 0}));
}

TEST(Vector3D, NormalizeBySmallestComponent) {
  struct Case {
    TPoint3D in;
    TPoint3D out;
  };
  const Case cases[] = {
      {{2, -4, 8}, {1, -2, 4}},
      {{0, 3, -6}, {0, 1, -2}},
      {{5, 5, 10}, {1, 1, 2}},
      {{-10, 5, 5}, {-2, 1, 1}},
      {{1e-17L, 0, 0}, {1e-17L, 0, 0}},
      {{0, 0, 0}, {0, 0, 0}},
  };
  for (const Case& c : cases) {
    TPoint3D p = c.in;
    NormalizeBySmallestComponent3D(p);
    EXPECT_EQ(p, c.out);
  }
}

TEST(Vector3D, SphericalToCartesian) {
  TPoint3D p{2, 0, HalfPi};
  EXPECT_TRUE(SphericalToCartesian3D(p));
  ExpectNear(p, TPoint3D{2, 0, 0});
  TPoint3D up{3, 1.234L, 0};
  EXPECT_TRUE(SphericalToCartesian3D(up));
  ExpectNear(up, TPoint3D{0, 0, 3});
  TPoint3D y{1, HalfPi, HalfPi};
  EXPECT_TRUE(SphericalToCartesian3D(y));
  ExpectNear(y, TPoint3D{0, 1, 0});

  for (const TPoint3D refused : {TPoint3D{1, 6e18L, 0}, TPoint3D{1, 0, -6e18L}, TPoint3D{1, kNaN, 0},
                                 TPoint3D{1, 0, kNaN}}) {
    TPoint3D q = refused;
    EXPECT_FALSE(SphericalToCartesian3D(q));
    EXPECT_EQ(q.x, 1.0L);
    EXPECT_TRUE(q.y == refused.y || std::isnan(q.y));
    EXPECT_TRUE(q.z == refused.z || std::isnan(q.z));
  }
}

TEST(Vector3D, UnitNormalWithItsFallbacks) {
  struct Case {
    const char* what;
    TPoint3D p0, p1, p2;
    bool normalise;
    bool ok;
    TPoint3D out;
  };
  const Case cases[] = {
      {"xy plane", {1, 0, 0}, {0, 0, 0}, {0, 1, 0}, true, true, {0, 0, -1}},
      {"not normalised", {2, 0, 0}, {0, 0, 0}, {0, 3, 0}, false, true, {0, 0, -6}},
      {"corner is p1", {1, 1, 1}, {1, 1, 0}, {1, 2, 0}, true, true, {1, 0, 0}},
      {"line along z", {0, 0, 1}, {0, 0, 0}, {0, 0, 5}, true, false, {1, 0, 0}},
      {"line along z, unnormalised", {0, 0, 1}, {0, 0, 0}, {0, 0, 5}, false, false, {1, 0, 0}},
      {"line along +x", {3, 0, 0}, {0, 0, 0}, {7, 0, 0}, false, false, {0, 1, 0}},
      {"line along -x", {-3, 0, 0}, {0, 0, 0}, {7, 0, 0}, true, false, {0, -1, 0}},
      {"coincident", {2, 2, 2}, {2, 2, 2}, {2, 2, 2}, true, false, {1, 0, 0}},
  };
  for (const Case& c : cases) {
    TPoint3D out{9, 9, 9};
    EXPECT_EQ(UnitNormal3D(c.p0, c.p1, c.p2, out, c.normalise), c.ok) << c.what;
    EXPECT_EQ(out, c.out) << c.what;
  }
}

TEST(Vector3D, PerpendicularPair) {
  struct Case {
    const char* what;
    TPoint3D n;
    bool scale;
    TPoint3D u, v;
  };
  const Case cases[] = {
      {"z axis, scaled", {0, 0, 2}, true, {2, 0, 0}, {0, 2, 0}},
      {"z axis", {0, 0, 2}, false, {1, 0, 0}, {0, 2, 0}},
      {"zero", {0, 0, 0}, false, {1, 0, 0}, {0, 0, 0}},
      {"zero, scaled", {0, 0, 0}, true, {0, 0, 0}, {0, 0, 0}},
      {"x axis", {3, 0, 0}, false, {0, 3, 0}, {0, 0, 9}},
      {"x axis, scaled", {3, 0, 0}, true, {0, 3, 0}, {0, 0, 3}},
  };
  for (const Case& c : cases) {
    TPoint3D u{9, 9, 9};
    TPoint3D v{9, 9, 9};
    PerpendicularPair3D(c.n, u, v, c.scale);
    ExpectNear(u, c.u);
    ExpectNear(v, c.v);
    if (!c.scale) {
      EXPECT_EQ(Dot3D(u, c.n), 0.0L) << c.what;
      EXPECT_EQ(Dot3D(v, c.n), 0.0L) << c.what;
    }
  }
  TPoint3D n{1, 2, 3};
  TPoint3D v;
  PerpendicularPair3D(n, n, v, false);  // n overwritten by u
  EXPECT_EQ(n, (TPoint3D{-2, 1, 0}));
  EXPECT_EQ(v, (TPoint3D{-3, -6, 5}));
}

TEST(Vector3D, ArraysStartAtZeroAndFileImage) {
  std::unique_ptr<TPoint3D[]> points(new TPoint3D[6000]);
  EXPECT_EQ(points[0], (TPoint3D{0, 0, 0}));
  EXPECT_EQ(points[5999], (TPoint3D{0, 0, 0}));

  ByteWriter w;
  WritePoint3D(w, TPoint3D{1, -2.5L, 0});
  ASSERT_EQ(w.Size(), 30u);
  const std::vector<std::uint8_t> image = {0, 0, 0, 0, 0, 0, 0, 0x80, 0xFF, 0x3F,
                                           0, 0, 0, 0, 0, 0, 0, 0xA0, 0x00, 0xC0,
                                           0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
  EXPECT_EQ(w.Data(), image);
  ByteReader r(w.Data());
  EXPECT_EQ(ReadPoint3D(r), (TPoint3D{1, -2.5L, 0}));
  EXPECT_FALSE(r.Failed());
  ByteReader cut(w.Data().data(), 29);
  ReadPoint3D(cut);
  EXPECT_TRUE(cut.Failed());
}

}  // namespace
}  // namespace kv
