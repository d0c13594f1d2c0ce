// The curve in which two surfaces meet, kept as a derived entry of kind
// 317.  No points are stored: the curve is the zero set of one function G
// of two variables (tree 3) together with the formula that lifts that zero
// set into space.
//
// Codes 143-147 (no parametric source): G is a function of the two
// coordinates that remain when one is eliminated (field termCount: 0 z,
// -1 y, -2 x); the lift, the eliminated coordinate as a function of the
// other two, is tree 2 + termCount (the tree the drawing reads); trees 4..6
// hold the curve's direction N1 × N2.  Codes 152-154 (the second source is
// parametric): G is a function on the parameter plane, t read as x and u as
// y; trees 0..2 are the parametric source's coordinates, trees 4 and 5 the
// partial derivatives of G, tree 6 the number 0.
#pragma once

#include <cstdint>

#include "formula/formula_engine.h"
#include "plot3d/model/level_plane.h"
#include "plotcore/model/equation.h"

namespace kv {

enum IntersectionCode : std::int16_t {
  kCurveExplicitExplicit = 143,
  kCurveImplicitExplicit = 144,
  kCurvePlaneExplicit = 145,
  kCurveImplicitPlane = 146,
  kCurvePlanePlane = 147,
  kCurveExplicitParametric = 152,
  kCurveImplicitParametric = 153,
  kCurvePlaneParametric = 154,
};

bool IsIntersectionCode(int code);
// Whether a kind takes part in intersection curves (301, 303, 305, 315).
bool IsIntersectableKind(int kind);

struct TSurfacePair {
  int first = -1;
  int second = -1;
  std::int16_t code = 0;
};

// Orders the chosen pair (the implicit surface first, a plane before an
// explicit surface, the parametric one second) and gives its code: 0, 23
// ("zwei aussuchen": the same entry twice) or 1 ("unverständlich": two
// implicit or two parametric surfaces, or a kind that has no curve).
int OrderSurfacePair(int firstIndex, int firstKind, int secondIndex, int secondKind, TSurfacePair& out);

// A plane as a normal (divided by its largest component) and one of its
// points.
struct TPlaneForm {
  TPoint3D normal;
  TPoint3D point;
};
// From the plane's grid: P0 the first sample, P1 the next, Pr the first of
// the second row; normal (P1 - P0) × (Pr - P0).  Without a sampled grid its
// coordinate trees give the same three points.  False (normal 0) when the
// points do not span a plane.
bool PlaneFormOf(const TEquation& plane, TFormulaEngine& engine, TPlaneForm& out);
// N·(P - P0) over X, Y and Z.
TExprNode* BuildPlaneFormTree(const TPlaneForm& plane);
// The plane solved for z (v = 3), else y (2), else x (1), whichever first
// has a normal component above 1e-16; the number 0 with v = 3 for a
// degenerate plane.
TExprNode* SolvePlaneForm(const TPlaneForm& plane, int& v);

// (Re)builds the curve's trees, plane normals (values 7 and 8), eliminated
// coordinate, parameter intervals and box from its sources a (first) and b
// (second) by its code.  With useStoredNormals (while a plot file is read)
// the normals stored in the curve replace those of the planes' grids,
// unless they are zero.  Sources are never changed.  False when the code is
// unknown or a source lacks its trees (the curve then has no tree 3).
bool BuildIntersectionCurve(TEquation& curve, const TEquation& a, const TEquation& b, TFormulaEngine& engine,
                            bool useStoredNormals);

// The plane the curve's G lives in: x, y or z levels by its eliminated
// coordinate (codes 152-154: the parameter plane as z levels).
TLevelPlane IntersectionCurvePlane(const TEquation& curve);
// Where the tracer looks for the curve: the box in the plane's coordinates
// (codes 152-154: the parameter rectangle).
TSegment2D IntersectionSearchBox(const TEquation& curve);
// The point of space of a point of the curve's plane; false where the lift
// is undefined.  Variables X, Y, Z, T and U are changed.
bool LiftIntersectionPoint(TEquation& curve, TFormulaEngine& engine, const TPoint2D& q, TPoint3D& out);

}  // namespace kv
