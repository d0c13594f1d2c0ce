// The integral calculus of the 2D window: Riemann sums of f or f − g with
// the strips that show them, and the antiderivative graph x ↦ ∫ from x0 to x of (f − g).
#pragma once

#include <cstdint>
#include <vector>

#include "core/vector2d.h"
#include "entry/model/numeric_integration.h"
#include "formula/expr_node.h"

namespace kv {

class TFormulaEngine;
class TEquation;

// The rules of the strip overlay: 0 none, 1 left end point, 2 midpoint,
// 3 right end point, 4 trapezoid, 5 parabola, 6 random point (the sums'
// order plus one).
enum StripRule : int {
  kStripNone = 0,
  kStripLeft = 1,
  kStripMidpoint = 2,
  kStripRight = 3,
  kStripTrapezoid = 4,
  kStripParabola = 5,
  kStripRandom = 6,
};

// f − g as a new tree, or a copy of f when g is null.
TreePtr BuildDifferenceIntegrand(const TExprNode* f, const TExprNode* g);

// The six sums of f − g (of f when g is null) over [a, b] in X with n
// steps; the codes of IntegrateNumerically.
int RiemannSums(TFormulaEngine& engine, const TExprNode* f, const TExprNode* g, long double a, long double b,
                std::int32_t n, const TQuadratureControl& control, TSixSums& out);

// One strip of the overlay: its edges, midpoint and random point, and f and
// g at them (g 0 when absent, NaN where undefined).
struct TStrip {
  long double xLeft = 0, xMid = 0, xRight = 0, xRandom = 0;
  long double fLeft = 0, fMid = 0, fRight = 0, fRandom = 0;
  long double gLeft = 0, gMid = 0, gRight = 0, gRandom = 0;
};

// The strips the overlay draws for n divisions in a plot `widthPixels`
// wide: n becomes widthPixels / 4 (at least 1) when the plot is narrower
// than 4n pixels.  The random points come from `uniform` in strip order, as
// IntegrateNumerically draws them, so with the same seed and n they are the
// sum's points.  Each strip is evaluated on its own: a value undefined
// there is NaN in that strip alone.  0, 6, 17, 102 (no f) or 65.
int ComputeStrips(TFormulaEngine& engine, TExprNode* f, TExprNode* g, long double a, long double b,
                  std::int32_t n, int widthPixels, const TQuadratureControl& control, std::vector<TStrip>& strips);

// The heights of a strip's top (from f) and bottom (from g) at its left and
// right edges for a rule.
struct TStripEdges {
  long double topLeft = 0, topRight = 0, bottomLeft = 0, bottomRight = 0;
};
TStripEdges StripEdges(const TStrip& s, int rule);

// Whether the values the rule draws of the strip are all defined (the
// parabolas' also at the midpoint): only such a strip is drawn.
bool StripDefined(const TStrip& s, int rule);

// The parabola through the strip's three values of f (bottom: false) or g
// (bottom: true) at x.
long double StripParabola(const TStrip& s, long double x, bool bottom);

// The signed area of the strip as drawn by the rule (top minus bottom);
// the strips of a rule add up to that rule's sum.
long double StripArea(const TStrip& s, int rule);

// The trees and bounds of an antiderivative entry (kind 206) from its
// sources: tree 2 becomes f or f − g; the bounds narrow to the intersection
// of the sources' bounds and the bounds flag follows the sources'.  False
// (entry unchanged) when f has no tree or the bounded intersection is empty.
bool BuildAntiderivativeTrees(TEquation& entry, const TEquation& f, const TEquation* g);

// The running trapezoid integral F(x) = ∫ from x0 to x of the tree, by steps
// of h (> 0) from x0 towards `to` (either side of x0), F(x0) = 0; a point
// where the tree is undefined counts as 0.  The points (x, F) include the
// start.  At most maxPoints points.
void RunningIntegral(TFormulaEngine& engine, TExprNode* tree, long double x0, long double to, long double h,
                     std::size_t maxPoints, std::vector<TPoint2D>& points);

}  // namespace kv
