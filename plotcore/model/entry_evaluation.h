// Evaluating an entry's trees with a window's formula engine: the point
// variables, real values, and the mapping of world points by logarithmic
// axes or a mapping entry before they are drawn.
#pragma once

#include <cmath>

#include "core/vector2d.h"
#include "core/vector3d.h"
#include "formula/formula_engine.h"
#include "plotcore/model/equation.h"

namespace kv {

// X and Y of the point; Z too in a space window while complex mode is off
// (in complex mode Z follows X + iY).
inline void SetPointVariables(TFormulaEngine& engine, const TPoint3D& p, bool space) {
  engine.SetPoint(p.x, p.y);
  if (space && !engine.ComplexMode()) engine.SetVariable('Z', p.z);
}

// The real part of the tree's value; false when undefined or not finite.
inline bool EvaluateReal(TFormulaEngine& engine, TExprNode* tree, long double& value) {
  if (!tree || !engine.Evaluate(tree)) return false;
  value = tree->value.re;
  return std::isfinite(value);
}

// How a window maps world points before it draws them: logarithmic axes
// (their world coordinate is the exponent), or the selected mapping entry
// (kind 401 plane map, 402 complex map), or not at all.
struct TPointMap {
  bool logWindow = false;
  int logAxes = 0;                // bit 0: x axis, bit 1: y axis
  // The values a logarithmic window shows: points beyond them have no image.
  TSegment2D logRange{0, HUGE_VALL, 0, HUGE_VALL};
  TEquation* mapping = nullptr;   // without logarithmic axes
  bool space = false;             // the window is a space window
};

// False when the point cannot be mapped.
bool MapPoint(TFormulaEngine& engine, const TPointMap& map, TPoint2D& p);

// The start point of an initial-value problem, given in values, moved to
// where the window shows it: false when it has no place there (a coordinate
// that is not positive on a logarithmic axis, a point the mapping leaves
// undefined).  Unlike MapPoint it accepts points beyond the shown range of
// a logarithmic axis.
bool MoveToMappedPoint(TFormulaEngine& engine, TPointMap map, TPoint2D& p);

}  // namespace kv
