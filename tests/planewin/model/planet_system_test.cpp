// The planetary system without a window: the default system, the Euler
// integration against what the step allows, collisions, and the editor's
// new and deleted bodies.
#include <gtest/gtest.h>

#include <cmath>
#include <iterator>

#include "planewin/model/planet_system.h"
#include "core/number_text.h"
#include "core/vector3d.h"

namespace kv {
namespace {

using namespace planet;

const TPlanetTexts kTexts{"Körper", "Schwerpunkt", [](long double v) { return FormatNumber(v, 7, 14); }};

std::string NameOf(const TEquation& e, int k) {
  auto it = e.items.begin();
  std::advance(it, k);
  return it->texts[3];
}

TEquation DefaultSystem(std::uint64_t seed) {
  TEquation e;
  InitEquation(e, kKindPlanets, 1, 50);
  InitEquationBuffers(e);
  TSeededRandom random(seed);
  MakeDefaultPlanetSystem(e, random, kTexts);
  return e;
}

// Two bodies of mass m at (+-a, 0) moving with speed v = sqrt(G m / (4 a))
// perpendicular: a circular orbit about their centre of mass at the origin.
TEquation CircularBinary(long double a, long double h) {
  TEquation e;
  InitEquation(e, kKindPlanets, 1, 50);
  InitEquationBuffers(e);
  TPlanetSystem s(e);
  s.SetBodyCount(2);
  s.Gravity() = 1;
  s.Step() = h;
  const long double v = std::sqrt(1 / (4 * a));
  s.At(kStartPositions, 0) = {a, 0, 0};
  s.At(kStartPositions, 1) = {-a, 0, 0};
  s.At(kStartVelocities, 0) = {0, v, 0};
  s.At(kStartVelocities, 1) = {0, -v, 0};
  s.At(kMasses, 0).x = 1;
  s.At(kMasses, 1).x = 1;
  s.UpdateMassFractions();
  s.ComputeCentreOfMass(kStartBase);
  s.ResetToStart();
  return e;
}

TEST(PlanetSystem, DefaultSystemHasThreeBodiesOnACircleAndItsCentreOfMass) {
  TEquation e = DefaultSystem(7);
  TPlanetSystem s(e);
  ASSERT_EQ(s.BodyCount(), 3);
  ASSERT_EQ(e.items.size(), 4u);
  for (int k = 0; k < 3; ++k) {
    SCOPED_TRACE(k);
    const TPoint3D& p = s.At(kStartPositions, k);
    const TPoint3D& v = s.At(kStartVelocities, k);
    EXPECT_NEAR(std::hypot(p.x, p.y), 2.4, 1e-15);
    EXPECT_NEAR(std::hypot(v.x, v.y), 0.3, 1e-15);
    EXPECT_NEAR(p.x * v.x + p.y * v.y, 0, 1e-15) << "speed perpendicular to the radius";
    // Body k stands in its own sector [2k + 0.7, 2k + 1.2) of angles.
    long double theta = std::atan2(p.y, p.x);
    while (theta < 2 * k + 0.7L - 1e-12L) theta += 2 * 3.14159265358979323846L;
    EXPECT_LT(theta, 2 * k + 1.2L);
    EXPECT_EQ(NameOf(e, k), "Körper " + std::to_string(k));
    EXPECT_EQ(s.Mass(k), 1);
    EXPECT_NEAR(s.At(kMasses, k).y, 1.0L / 3, 1e-18);
  }
  EXPECT_EQ(NameOf(e, 3), "Schwerpunkt");
  EXPECT_EQ(s.Mass(3), 3) << "the centre's mass entry holds the total";
  const TPoint3D c = s.At(kStartPositions, 3);
  const TPoint3D sum{s.At(kStartPositions, 0).x + s.At(kStartPositions, 1).x + s.At(kStartPositions, 2).x,
                     s.At(kStartPositions, 0).y + s.At(kStartPositions, 1).y + s.At(kStartPositions, 2).y, 0};
  EXPECT_NEAR(c.x, sum.x / 3, 1e-15);
  EXPECT_NEAR(c.y, sum.y / 3, 1e-15);
  // The record's switches and values.
  EXPECT_EQ(s.Gravity(), 1);
  EXPECT_EQ(s.Duration(), 0.002L);
  EXPECT_EQ(s.Step(), 0.002L / 100);
  EXPECT_EQ(s.Positions(), 2147483647);
  EXPECT_EQ(s.Computations(), 100);
  EXPECT_EQ(s.StopAtBoundary(), 1);
  EXPECT_EQ(s.Follow(), 1);
  EXPECT_EQ(s.Relative(), 0);
  EXPECT_EQ(s.Markers(), 1);
  EXPECT_EQ(s.ReferenceIndex(), 3);
  EXPECT_EQ(s.MarkerSizeCode(), 3);
  EXPECT_EQ(e.items.front().texts[2], "0.0");
  long double vx = 0;
  ASSERT_TRUE(ParsePlainNumber(e.items.front().texts[0], vx));
  EXPECT_NEAR(vx, s.At(kStartVelocities, 0).x, 1e-14);
  EXPECT_EQ(e.items.front().startCode, kBodyItemKind);
  EXPECT_EQ(e.items.front().pen.colour, 4);
}

TEST(PlanetSystem, TwoEqualBodiesCircleTheirCommonCentreOfMass) {
  const long double a = 1;
  const long double h = 1e-4L;
  TEquation e = CircularBinary(a, h);
  TPlanetSystem s(e);
  // One revolution: T = 2 pi a / v.
  const long double period = 2 * 3.14159265358979323846L * a / std::sqrt(1 / (4 * a));
  const int steps = static_cast<int>(std::lround(period / h));
  long double farthest = 0;
  long double nearest = 10;
  for (int k = 0; k < steps; ++k) {
    ASSERT_EQ(s.EulerStep(), 0);
    const TPoint3D& c = s.At(kPositions, 2);
    ASSERT_NEAR(c.x, 0, 1e-12) << "the centre of mass stays put";
    ASSERT_NEAR(c.y, 0, 1e-12);
    const TPoint3D& p = s.At(kPositions, 0);
    const TPoint3D& q = s.At(kPositions, 1);
    ASSERT_NEAR(p.x, -q.x, 1e-15) << "the bodies stand opposite";
    const long double r = std::hypot(p.x, p.y);
    farthest = std::max(farthest, r);
    nearest = std::min(nearest, r);
  }
  // Euler drifts outwards by about 2 pi h omega per revolution.
  EXPECT_GE(nearest, a - 1e-9);
  const long double omega = std::sqrt(1 / (4 * a)) / a;
  EXPECT_LT(farthest - a, 2 * (4 * 3.14159L * h * omega) * a);
  // Back near the start after one period.
  EXPECT_NEAR(s.At(kPositions, 0).x, a, 1e-2);
  EXPECT_NEAR(s.At(kPositions, 0).y, 0, 1e-2);
}

TEST(PlanetSystem, EnergyOfATwoBodyOrbitDriftsOnlyAsTheEulerStepAllows) {
  // A tight orbit and the default step h = 0.00002, over 1,000 revolutions.
  // Explicit Euler lets a circular orbit gain energy: with omega its angular
  // speed, r^3 grows as 1 + 6 h omega^2 t, so the relative energy change is
  // 1 - (1 + 6 h omega^2 t)^(-1/3).  The drift must not exceed that.
  const long double a = 0.0216L;
  const long double h = 0.00002L;
  TEquation e = CircularBinary(a, h);
  TPlanetSystem s(e);
  const long double v = std::sqrt(1 / (4 * a));
  const long double omega = v / a;
  const long double period = 2 * 3.14159265358979323846L / omega;
  const long double t = 1000 * period;
  const long steps = std::lround(t / h);
  const long double e0 = s.TotalEnergy();
  for (long k = 0; k < steps; ++k) ASSERT_EQ(s.EulerStep(), 0);
  const long double drift = (s.TotalEnergy() - e0) / std::fabs(e0);
  const long double allowed = 1 - std::pow(1 + 6 * h * omega * omega * t, -1.0L / 3);
  EXPECT_GT(drift, 0) << "explicit Euler gains energy";
  EXPECT_LT(drift, allowed * 1.001L);
  EXPECT_GT(drift, allowed * 0.99L) << "the integrator is the plain Euler method";
  // Momentum stays zero to rounding, whatever the energy does.
  EXPECT_NEAR(s.Momentum().x, 0, 1e-12);
  EXPECT_NEAR(s.Momentum().y, 0, 1e-12);
}

TEST(PlanetSystem, MomentumIsKeptAndTheCentreOfMassMovesInAStraightLine) {
  TEquation e = DefaultSystem(11);
  TPlanetSystem s(e);
  // Give the whole system a drift.
  for (int k = 0; k < 3; ++k) s.At(kStartVelocities, k).x += 0.1L;
  s.At(kMasses, 1).x = 2.5L;
  s.UpdateMassFractions();
  s.ComputeCentreOfMass(kStartBase);
  s.ResetToStart();
  const TPoint3D p0 = s.Momentum();
  const TPoint3D c0 = s.At(kPositions, 3);
  const TPoint3D w = s.At(kVelocities, 3);
  long double time = 0;
  for (int k = 0; k < 200; ++k) {
    ASSERT_EQ(s.AdvancePosition(100), 0);
    time += 100 * s.Step();
  }
  EXPECT_NEAR(s.Momentum().x, p0.x, 1e-14);
  EXPECT_NEAR(s.Momentum().y, p0.y, 1e-14);
  EXPECT_NEAR(s.At(kPositions, 3).x, c0.x + w.x * time, 1e-12);
  EXPECT_NEAR(s.At(kPositions, 3).y, c0.y + w.y * time, 1e-12);
}

TEST(PlanetSystem, BodiesCloserThanTheLimitCollide) {
  // 0.01 apart at rest: they fall straight towards each other, with steps
  // small enough that they cannot jump past each other.
  TEquation e = CircularBinary(0.005L, 1e-7L);
  TPlanetSystem s(e);
  s.At(kVelocities, 0) = {};
  s.At(kVelocities, 1) = {};
  int code = 0;
  int positions = 0;
  while (code == 0 && positions < 10000) {
    code = s.AdvancePosition(100);
    ++positions;
  }
  EXPECT_EQ(code, kCollision);
  const long double d = Distance3D(s.At(kPositions, 0), s.At(kPositions, 1));
  EXPECT_TRUE(std::isfinite(d));
  EXPECT_LT(d, 0.05L);
  // The drawn positions are those of the collision.
  EXPECT_EQ(s.At(kDrawn, 0).x, s.At(kPositions, 0).x);
  // Far apart nothing collides.
  TEquation far = CircularBinary(1, 1e-4L);
  EXPECT_EQ(TPlanetSystem(far).ComputePairFactors(), 0);
}

TEST(PlanetSystem, DrawnPositionsAreRelativeToTheReference) {
  TEquation e = DefaultSystem(3);
  TPlanetSystem s(e);
  s.ResetToStart();
  s.ComputeDrawnPositions();
  EXPECT_EQ(s.At(kDrawn, 1).x, s.At(kPositions, 1).x);
  s.Relative() = 1;
  s.SetReferenceIndex(3);  // the centre of mass
  s.ComputeDrawnPositions();
  for (int k = 0; k < 3; ++k) {
    EXPECT_EQ(s.At(kDrawn, k).x, s.At(kPositions, k).x - s.At(kPositions, 3).x);
    EXPECT_EQ(s.At(kDrawnCopy, k).y, s.At(kDrawn, k).y);
  }
  const TPoint3D m = s.StartMarkerPoint(0);
  EXPECT_EQ(m.x, s.At(kStartPositions, 0).x - s.At(kStartPositions, 3).x);
  // A reference index beyond the system is read as the centre of mass.
  s.SetReferenceIndex(40);
  EXPECT_EQ(s.ReferenceIndex(), 3);
}

TEST(PlanetSystem, NewBodyTakesTheCentreOfMassAndANewCentreFollows) {
  TEquation e = DefaultSystem(5);
  TPlanetSystem s(e);
  const TPoint3D centre = s.At(kStartPositions, 3);
  const TPoint3D centreVelocity = s.At(kStartVelocities, 3);
  ASSERT_TRUE(AddPlanetBody(e, kTexts));
  EXPECT_EQ(s.BodyCount(), 4);
  ASSERT_EQ(e.items.size(), 5u);
  EXPECT_EQ(NameOf(e, 3), "Körper 3");
  EXPECT_EQ(NameOf(e, 4), "Schwerpunkt");
  EXPECT_EQ(s.Mass(3), 3) << "the total mass of the last update";
  EXPECT_EQ(s.At(kStartPositions, 3).x, centre.x);
  EXPECT_EQ(s.At(kStartVelocities, 3).y, centreVelocity.y);
  EXPECT_EQ(s.Mass(4), 1);
  EXPECT_EQ(s.At(kStartPositions, 4).x, 0);
  EXPECT_EQ(e.items.back().texts[0], "0.0");
  EXPECT_EQ(e.items.back().startCode, kBodyItemKind);
  // Up to eleven bodies.
  while (CanAddPlanetBody(e)) ASSERT_TRUE(AddPlanetBody(e, kTexts));
  EXPECT_EQ(s.BodyCount(), 11);
  EXPECT_EQ(e.items.size(), 12u);
  EXPECT_FALSE(AddPlanetBody(e, kTexts));
}

TEST(PlanetSystem, DeletedBodyLeavesEveryBlock) {
  TEquation e = DefaultSystem(9);
  TPlanetSystem s(e);
  s.Relative() = 1;
  const TPoint3D second = s.At(kStartPositions, 2);
  const TPoint3D centre = s.At(kStartPositions, 3);
  struct Case {
    int k;
    bool allowed;
  };
  // Three bodies: the centre of mass (line 3) cannot go, the others can.
  for (const Case& c : {Case{3, false}, Case{-1, false}, Case{4, false}, Case{1, true}}) {
    SCOPED_TRACE(c.k);
    EXPECT_EQ(CanDeletePlanetBody(e, c.k), c.allowed);
  }
  ASSERT_TRUE(DeletePlanetBody(e, 1));
  EXPECT_EQ(s.BodyCount(), 2);
  EXPECT_EQ(s.Relative(), 0);
  ASSERT_EQ(e.items.size(), 3u);
  EXPECT_EQ(NameOf(e, 1), "Körper 2");
  EXPECT_EQ(s.At(kStartPositions, 1).x, second.x);
  EXPECT_EQ(s.At(kStartPositions, 2).x, centre.x) << "the centre moved down with the rest";
  EXPECT_EQ(s.At(kStartPositions, 3).x, 0);
  // Two bodies remain at least.
  EXPECT_FALSE(CanDeletePlanetBody(e, 0));
  EXPECT_FALSE(DeletePlanetBody(e, 0));
}

TEST(PlanetSystem, EditorNumbersArePlainDecimals) {
  struct Case {
    const char* text;
    bool ok;
    long double value;
  };
  const Case cases[] = {
      {"1", true, 1},           {" -2.5 ", true, -2.5L}, {"+.5", true, 0.5L},   {"3.", true, 3},
      {"1e-3", true, 1e-3L},    {"2E+2", true, 200},     {"", false, 0},       {"-", false, 0},
      {".", false, 0},          {"1,5", false, 0},       {"2x", false, 0},     {"1e", false, 0},
      {"pi", false, 0},         {"1e99999", false, 0},   {"nan", false, 0},    {"0x10", false, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    long double v = 42;
    EXPECT_EQ(ParsePlainNumber(c.text, v), c.ok);
    EXPECT_EQ(v, c.ok ? c.value : 42) << "a refused text leaves the value";
  }
}

}  // namespace
}  // namespace kv
