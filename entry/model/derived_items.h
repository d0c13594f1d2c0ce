// The entries the trace tools derive from another entry or from a traced
// position, and how each is rebuilt from its source: the Taylor polynomial
// of a graph, the tangent line of a curve, the point of a graph at a
// parameter, and the point, velocity vector and tangent line of a
// trajectory at a parameter.  Every builder leaves the entry's trees as
// they were when it fails (a text that does not compile, a value that is
// not defined).
#pragma once

#include <array>
#include <string>

#include "formula/formula_engine.h"
#include "plotcore/model/equation.h"

namespace kv {

// Derivation codes of these entries.
enum : std::int16_t {
  kDerivedTaylor = 65,            // 'A' Taylor polynomial of a graph
  kDerivedTangentLine = 76,       // 'L' tangent line of a curve at a parameter
  kDerivedTrajectoryPoint = 78,   // 'N' point of a trajectory
  kDerivedTrajectoryVector = 79,  // 'O' velocity vector of a trajectory
  kDerivedTrajectoryLine = 80,    // 'P' tangent line of a trajectory
  kDerivedTracePoint = 109,       // 'm' point of a graph at a parameter
};

// Where the entries keep their parameter: the centre of a Taylor polynomial,
// the parameter of a tangent line and that of a graph's point in the fourth
// formula text (the point's compiled into tree 6).
inline constexpr int kDerivedParameterText = 3;
inline constexpr int kTracePointParameterText = 3;

// Taylor polynomial of degree e.auxValue1 (0..9) of the source's y = f(x)
// about the centre text: tree 0 the centre, tree 1 the sum of
// f^(k)(c)/k!·(x - c)^k, then the derivative and curvature trees.
bool BuildTaylorTrees(TEquation& e, const TEquation& source, TFormulaEngine& engine);
// Tangent line at the parameter text: each coordinate tree is the source's
// coordinate at t0 plus T times its derivative at t0 (z only in space).
bool BuildTangentLineTrees(TEquation& e, const TEquation& source, TFormulaEngine& engine, bool space);
// A point of the source at the parameter text: tree 6 the parameter, the
// coordinate trees the source's with the parameter put in (for a graph
// y = f(x): x is the parameter); its value fields hold the point.
bool BuildTracePointTrees(TEquation& e, const TEquation& source, TFormulaEngine& engine, bool space);

// The start of a trajectory item kept in the derived entry: value block 8
// the start point, block 9 (t0, step, target parameter), auxValue4 the
// method, familyDelay the item's start code; a start code above 1000 keeps
// the start texts x0, y0, z0, t0 in formula texts 3..6.
void StoreTrajectoryStart(TEquation& e, const TEquationItem& item, long double target, long double defaultStep);
// The point the trajectory reaches at the target parameter, in values:
// false when a start text is empty or not a number, or the run cannot get
// there.  `logAxes` (bit 0 x, bit 1 y) names the logarithmic axes of the
// window, on which a dy/dt item keeps the exponents of its start (its
// start texts give values all the same).
bool ReachTrajectoryPoint(const TEquation& e, TEquation& source, TFormulaEngine& engine, bool space,
                          TPoint3D& point, long double& target, int logAxes = 0);
// Code 78: the point's trees become number nodes (and its value fields and
// coordinate texts the point).
bool BuildTrajectoryPointTrees(TEquation& e, TEquation& source, TFormulaEngine& engine, bool space,
                               int logAxes = 0);
// Codes 79 and 80: each coordinate tree is point + velocity·T, the velocity
// from the source's right-hand sides at the point; then the derivative and
// curvature trees.  On logarithmic axes both are values, which the axes
// carry like those of any vector or line.
bool BuildTrajectoryVectorTrees(TEquation& e, TEquation& source, TFormulaEngine& engine, bool space,
                                int logAxes = 0);
// Parameter range of a new vector (79) or line (80) of a trajectory:
// 79: [0, 1], or [0, a/s] for a requested length a > 1e-16 and speed
// s > 1e-13; 80: [-L, L] with L = 0.35·diagonal/s, or 2 at rest.
void TrajectoryVectorRange(int code, long double length, long double speed, long double diagonal, long double& lo,
                           long double& hi);

// Coordinate texts of tool points: field width 15, 14 decimals.
std::string ToolPointText(long double v);

}  // namespace kv
