// Roulettes, evolutes and derivative graphs: entries derived from a curve
// of the 2D inventory (derivation codes 82, 83 and 68), and the point of a
// roulette that the drawer samples.
#pragma once

#include <cstdint>

#include "core/vector2d.h"
#include "formula/formula_engine.h"
#include "plotcore/model/equation.h"

namespace kv {

enum : std::int16_t {
  kDerivedDerivativeGraph = 68,  // 'D'
  kDerivedRoulette = 82,         // 'R'
  kDerivedEvolute = 83,          // 'S'
};

// The kinds a roulette, an evolute or a derivative graph can be made of.
bool IsRouletteSourceKind(int kind);

// The roulette entry's trees (kind 207): x(t), y(t) of the base curve in
// trees 0 and 1 and their first derivatives in trees 4 and 5, copied from
// the source; an explicit source rolls along x = t, y = f(t).  False when
// the source lacks a tree.
bool BuildRouletteTrees(TEquation& roulette, const TEquation& source);

// Sets the rolling fields of a roulette: start t0, radius r and arm d as
// typed (first value block), the turning factor 1/r and the arm in radii
// d/r that the drawing uses (second value block), and the side (true: the
// circle rolls on the left of the curve, "Linke Seite", the record's side
// flag set).
void SetRouletteGeometry(TEquation& roulette, long double start, long double radius, long double arm, bool leftSide);

// The pen point of a roulette from the base point q, the tangent v there
// and the arc length s rolled from the start: the circle of radius
// `radius` touches the curve at q and lies on the right of v (or, with
// leftSide, on its left); its pen, at armFactor radii from the centre, has
// turned by rollFactor·s (the other way with `reverse`).  False when v is
// zero.
bool RoulettePenPoint(const TPoint2D& q, const TPoint2D& v, long double s, long double radius,
                      long double rollFactor, long double armFactor, bool leftSide, bool reverse, TPoint2D& pen);

// One step of the roulette drawer, with T already set: evaluates the base
// point and tangent, adds the chord from prevQ to the rolled length s (a
// negative s starts a run at 0), and gives the base point q and the pen
// point.  0, 114 when the tangent is zero, or 1 where the curve is
// undefined.
int RoulettePoint(TFormulaEngine& engine, TEquation& e, long double& s, const TPoint2D& prevQ, TPoint2D& q,
                  TPoint2D& pen, bool reverse);

// The evolute of the source as parametric trees of `evolute` (kind 203):
// x - y'(x'² + y'²)/(x'y'' - y'x''), y + x'(x'² + y'²)/(x'y'' - y'x''), in T
// (an explicit source is x = t, y = f(t)).  False when the derivatives
// cannot be formed.
bool BuildEvoluteTrees(TEquation& evolute, const TEquation& source);

// The derivative graph's trees (the entry is a copy of the source's kind):
// f' of an explicit curve, r' of a polar curve, (x', y') of a parametric
// one.  False when the symbolic derivative fails.
bool BuildDerivativeGraphTrees(TEquation& graph, const TEquation& source);

}  // namespace kv
