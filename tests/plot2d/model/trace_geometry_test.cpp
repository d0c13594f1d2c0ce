// The 2D tool mathematics without a window: the interpolating polynomial of
// the Lagrange editor with its node edits, the osculating circle and arc
// chords of the trace marks, and the digits of the point guide lines.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "core/constants.h"
#include "plot2d/model/guide_lines.h"
#include "plot2d/model/lagrange.h"
#include "plot2d/model/trace_marks.h"
#include "plotcore/model/equation.h"

namespace kv {
namespace {

double D(long double v) { return static_cast<double>(v); }

long double Horner(const std::vector<long double>& c, long double x) {
  long double p = 0;
  for (auto it = c.rbegin(); it != c.rend(); ++it) p = p * x + *it;
  return p;
}

TEquation Polynomial(std::initializer_list<TPoint2D> nodes) {
  TEquation e;
  InitEquation(e, kKindLagrange, 2, 50);
  InitEquationBuffers(e);
  int k = 0;
  for (const TPoint2D& p : nodes) e.samples[static_cast<std::size_t>(k++)] = {p.x, p.y, 0};
  e.arrowMode = static_cast<std::int16_t>(k - 1);
  return e;
}

TEST(Interpolation, PassesThroughEveryNode) {
  struct Case {
    const char* name;
    std::vector<TPoint2D> nodes;
  };
  std::vector<Case> cases;
  // Twelve equally spaced nodes of a wiggly function: the normal equations
  // lose the end nodes here, a direct solve does not.
  std::vector<TPoint2D> twelve;
  for (int k = 0; k < 12; ++k) {
    const long double x = -5 + 10.0L * k / 11;
    twelve.push_back({x, std::sin(x) * 3 + (k % 3)});
  }
  cases.push_back({"twelve equally spaced", twelve});
  cases.push_back({"one node", {{2, 7}}});
  cases.push_back({"unsorted nodes", {{3, 1}, {-2, 4}, {0.5L, -1}, {1, 2}}});
  cases.push_back({"far from the origin", {{100, 1}, {101, 3}, {102.5L, 2}, {104, 0}}});
  cases.push_back({"nine close nodes", {{0, 0}, {0.01L, 1}, {0.02L, 0}, {0.03L, 1}, {0.04L, 0},
                                        {0.05L, 1}, {0.06L, 0}, {0.07L, 1}, {0.08L, 0}}});
  for (const Case& c : cases) {
    std::vector<long double> coeff(c.nodes.size());
    ASSERT_EQ(SolveInterpolation(c.nodes.data(), static_cast<int>(c.nodes.size()), coeff.data()), 0) << c.name;
    for (const TPoint2D& p : c.nodes) EXPECT_NEAR(D(Horner(coeff, p.x)), D(p.y), 1e-9) << c.name << " at " << D(p.x);
  }
}

TEST(Interpolation, EqualAbscissasKeepThePreviousCoefficients) {
  TEquation e = Polynomial({{-1, 1}, {0, 0}, {1, 1}});
  ASSERT_EQ(SolveLagrangeNodes(e), 0);
  EXPECT_NEAR(D(e.cellDepths[2]), 1, 1e-15);  // x²
  const std::vector<long double> before = e.cellDepths;
  e.samples[1] = {1, 5, 0};
  EXPECT_EQ(SolveLagrangeNodes(e), 14);
  EXPECT_EQ(e.cellDepths, before);
}

TEST(Interpolation, NodeEditsFollowTheirLimits) {
  TEquation e = Polynomial({{-1, 0}, {0, -1}, {1, 0}});
  // A fourth node, found again at its place.
  EXPECT_EQ(EditLagrangeNode(e, -1, TNodeAction::Set, {2, 3}), 0);
  EXPECT_EQ(LagrangeLastNode(e), 3);
  EXPECT_EQ(FindLagrangeNode(e, {2.03L, 2.97L}, 0.01L, 0.01L), 3);
  EXPECT_EQ(FindLagrangeNode(e, {2.05L, 3}, 0.01L, 0.01L), -1);
  // Up to nine nodes; a tenth is refused.
  for (int k = 4; k < 9; ++k) EXPECT_EQ(EditLagrangeNode(e, -1, TNodeAction::Set, {k * 1.0L, 0}), 0);
  EXPECT_EQ(LagrangeLastNode(e), 8);
  EXPECT_EQ(EditLagrangeNode(e, -1, TNodeAction::Set, {20, 0}), 4);
  EXPECT_EQ(LagrangeLastNode(e), 8);
  // Deleting moves the later nodes down; two nodes always stay.
  EXPECT_EQ(EditLagrangeNode(e, 1, TNodeAction::Delete, {}), 0);
  EXPECT_EQ(D(e.samples[1].x), 1);
  EXPECT_EQ(EditLagrangeNode(e, -1, TNodeAction::Delete, {}), 10);
  while (LagrangeLastNode(e) > 1) ASSERT_EQ(EditLagrangeNode(e, 0, TNodeAction::Delete, {}), 0);
  EXPECT_EQ(EditLagrangeNode(e, 0, TNodeAction::Delete, {}), 26);
  EXPECT_EQ(LagrangeLastNode(e), 1);
  // Moving a node keeps the count.
  EXPECT_EQ(EditLagrangeNode(e, 1, TNodeAction::Set, {9, 9}), 0);
  EXPECT_EQ(LagrangeLastNode(e), 1);
  EXPECT_EQ(D(e.samples[1].y), 9);
}

TEST(Interpolation, CoefficientListHasOneLinePerNode) {
  TEquation e = Polynomial({{-1, 1}, {0, 0}, {1, 1}});
  ASSERT_EQ(SolveLagrangeNodes(e), 0);
  EXPECT_EQ(LagrangeCoefficientText(e), "x^0 :  0.0000000000000000\r\n"
                                        "x^1 :  0.0000000000000000\r\n"
                                        "x^2 :  1.0000000000000000\r\n");
}

TEST(TraceMarks, OsculatingCircleOfAParabola) {
  // y = x² at x: curvature 2/(1+4x²)^(3/2), centre on the concave side.
  for (long double x : {0.0L, 0.5L, -1.0L, 2.0L}) {
    const TPoint2D p{x, x * x};
    const TPoint2D dir{1, 2 * x};
    const long double k = 2 / std::pow(1 + 4 * x * x, 1.5L);
    TPoint2D c;
    long double r = 0;
    ASSERT_TRUE(OsculatingCircle(p, dir, k, c, r));
    EXPECT_NEAR(D(r), D(1 / k), 1e-12);
    // The centre of curvature of y = x²: (-4x³, 3x² + 1/2).
    EXPECT_NEAR(D(c.x), D(-4 * x * x * x), 1e-12);
    EXPECT_NEAR(D(c.y), D(3 * x * x + 0.5L), 1e-12);
  }
  TPoint2D c;
  long double r = 0;
  // A curve bending right puts the centre on the right.
  ASSERT_TRUE(OsculatingCircle({0, 0}, {1, 0}, -0.5L, c, r));
  EXPECT_NEAR(D(c.y), -2, 1e-15);
  // Straight stretches and lengthless directions give no circle.
  EXPECT_FALSE(OsculatingCircle({0, 0}, {1, 0}, 1e-17L, c, r));
  EXPECT_FALSE(OsculatingCircle({0, 0}, {0, 0}, 1, c, r));
}

TEST(TraceMarks, ArcChordsRunFromStartToEndAngle) {
  const std::vector<TPoint2D> pts = ArcChordPoints({1, 2}, 3, 0, Pi, 50);
  ASSERT_EQ(pts.size(), 51u);
  EXPECT_NEAR(D(pts.front().x), 4, 1e-15);
  EXPECT_NEAR(D(pts.back().x), -2, 1e-12);
  EXPECT_NEAR(D(pts.back().y), 2, 1e-12);
  for (const TPoint2D& p : pts) EXPECT_NEAR(D(std::hypot(p.x - 1, p.y - 2)), 3, 1e-12);
}

TEST(GuideLines, DigitsChooseTheLinesAndTheirLook) {
  struct Case {
    int code;
    std::vector<TGuideLine> lines;
  } cases[] = {
      {0, {}},
      {-5, {}},
      {1, {{{2, 3}, {0, 3}, kGuideSolid}}},
      {4, {{{2, 3}, {2, 0}, kGuideSolid}}},
      {64, {{{2, 3}, {0, 0}, kGuideSolid}}},
      {2 + 3 * 4, {{{2, 3}, {0, 3}, kGuideDashed}, {{2, 3}, {2, 0}, kGuideThick}}},
      {16 + 256, {}},  // the unused digit 2 and the arc digit 4 draw no straight line
  };
  for (const Case& c : cases) {
    const std::vector<TGuideLine> got = GuideLines({2, 3}, c.code);
    ASSERT_EQ(got.size(), c.lines.size()) << c.code;
    for (std::size_t k = 0; k < got.size(); ++k) {
      EXPECT_EQ(got[k].to, c.lines[k].to) << c.code;
      EXPECT_EQ(got[k].look, c.lines[k].look) << c.code;
    }
  }
  EXPECT_EQ(GuideStyleDigits(2 * 256 + 3)[kGuideArc], 2);
}

}  // namespace
}  // namespace kv
