// What the trace dialogs compute: a point moving along a graph, polar or
// parametric curve or space curve (its coordinates, velocity, speed,
// curvature, the secant to a reference point, the principal normal in
// space), and a point moving along one trajectory of a differential
// equation (its velocity, scaled to a chosen length when asked).
#pragma once

#include "core/vector2d.h"
#include "core/vector3d.h"
#include "formula/expr_node.h"
#include "formula/formula_engine.h"
#include "plotcore/model/equation.h"

namespace kv {

// The state of a graph trace.  For kind 202 in the plane, point.z is r.
struct TTraceState {
  int kind = 0;
  bool space = false;  // a 3D window: z, the normal, the curvature box
  TPoint3D point;
  long double t = 0;
  TPoint3D reference;
  long double tRef = 0;
  bool defined = false;
  bool derivativeDefined = false;
  bool referenceDerivativeDefined = false;
  bool curvatureDefined = false;
  bool curvatureValid = false;
  bool noSecant = true;     // the secant vector is zero or unset
  bool firstSecant = true;  // "Sekante" was not switched on since the choice
  long double curvature = 0;
  long double speed = 0;
  long double secantLength = 0;
  TPoint3D velocity;
  TPoint3D secant;             // point - reference (per parameter for curves while on)
  TPoint3D referenceVelocity;
  TPoint3D normal;             // unit principal normal (space curves)
  TPoint2D acceleration;       // second derivatives (plane)
};

// The two second-derivative trees of a plane entry: for kind 201 the
// number 0 and f'' (tree 5 differentiated in X), else x''(t) and y''(t)
// (trees 4 and 5 in T).  Missing trees stay null.
void BuildSecondDerivativeTrees(const TEquation& e, TreePtr out[2]);

// The trace at parameter s (x for kind 201, else t); the engine's variables
// are as before afterwards.  `secantOn` is "Sekante".  Returns `defined`.
bool ComputeTracePoint(TEquation& e, TFormulaEngine& engine, TExprNode* const second[2], long double s,
                       bool secantOn, TTraceState& st);
// The current point becomes the secant's reference.
void SetTraceReference(TTraceState& st);

// Scroll bar positions 0..n over [lo, hi].
long double ParameterFromScroll(long double lo, long double hi, int n, int position);
int ScrollFromParameter(long double s, long double lo, long double hi, int n);

// A point on one trajectory and its velocity.
struct TTrajectoryTrace {
  long double t = 0;
  TPoint3D point;
  TPoint3D velocity;
  TPoint3D direction;  // the velocity, scaled to the length when asked
  long double speed = 0;
};
// Runs the item to t and evaluates the entry's right-hand sides (trees 0, 1
// and 2 in space) there.  A length of 0 or more scales the direction to it
// where the speed exceeds 1e-13; a negative length keeps the velocity.
// `logAxes` (bit 0 x, bit 1 y) names the coordinates the item keeps as
// exponents on logarithmic axes: the point is their value, 10 to the power.
bool ComputeTrajectoryTrace(TEquation& e, TFormulaEngine& engine, TEquationItem& item, long double defaultStep,
                            long double t, bool space, long double length, TTrajectoryTrace& out, int logAxes = 0);

}  // namespace kv
