// Integrals over entries of the inventory by the composite Simpson rule of
// entry/model/numeric_integration.h: the double integral of an explicit
// surface, the area of a surface, the line integral of a vector field along
// a curve and its flux through a parametric surface.  The integrands are
// built once as trees from the entries' compiled trees; the sums evaluate
// them through the window's formula engine and ask the caller once per part
// whether to stop (the "A" key).
#pragma once

#include <cstdint>
#include <functional>

#include "entry/model/numeric_integration.h"
#include "formula/formula_engine.h"
#include "plotcore/model/equation.h"

namespace kv {

// Answers of the sums (0 when the value is valid).
enum : int {
  kIntegralStopped = 65,        // the user stopped the sum
  kIntegralUndefined = 102,     // "nicht zu integrieren": no sample defined, a tree missing
  kIntegralNoDerivative = 117,  // "nicht abzuleiten"
};

// ---- integrands (null with a code when they cannot be built) ----
// F(r(t)) · r'(t) in the curve's variable: a 2D field (210) along a
// parametric curve (203), or a 3D field (310) along a space curve (304).
TreePtr BuildLineIntegrand(const TEquation& field, const TEquation& curve, int& code);
// F(S(t, u)) · (S_t × S_u) of a 3D field through a parametric surface (303).
TreePtr BuildFluxIntegrand(const TEquation& field, const TEquation& surface, int& code);
// |r1 × r2|: for an explicit surface (301) r1 = (1, 0, f_x), r2 = (0, 1,
// f_y) in X and Y, for a parametric one (303) the partial derivatives of
// x, y, z in T and U.
TreePtr BuildSurfaceAreaIntegrand(const TEquation& surface, int& code);
// The letter an integrand of the entry runs in: the curve's parameter (T,
// or the 2D curve's own letter), X for an explicit surface (inner) and Y
// (outer), T and U for a parametric one.
int CurveLetter(const TEquation& curve);
void SurfaceLetters(const TEquation& surface, int& inner, int& outer);

// ---- the integrals of the tools ----
// Each says through `gaps` (when given) whether its integrand was undefined
// at a sample (the rule of numeric_integration.h).
// ∬ f(x, y) dx dy of an explicit surface over the two ranges (x inner).
int DoubleIntegral(TFormulaEngine& engine, const TEquation& surface, const TSimpsonRange& x, const TSimpsonRange& y,
                   long double& result, const TStopPoll& stop, bool* gaps = nullptr);
// The area of an explicit (x, y) or parametric (t, u) surface.
int SurfaceArea(TFormulaEngine& engine, const TEquation& surface, const TSimpsonRange& first,
                const TSimpsonRange& second, long double& result, const TStopPoll& stop, bool* gaps = nullptr);
int LineIntegral(TFormulaEngine& engine, const TEquation& field, const TEquation& curve, const TSimpsonRange& t,
                 long double& result, const TStopPoll& stop, bool* gaps = nullptr);
// t inner, u outer.
int FluxIntegral(TFormulaEngine& engine, const TEquation& field, const TEquation& surface, const TSimpsonRange& t,
                 const TSimpsonRange& u, long double& result, const TStopPoll& stop, bool* gaps = nullptr);

}  // namespace kv
