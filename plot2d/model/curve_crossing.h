// Where a trajectory crosses an implicit curve: the start of a trajectory
// item (of a dx/dt, dy/dt or dy/dx entry) is moved forward onto the first
// crossing of its path with the curve F(x, y) = 0, by halving the run's
// duration while the sign of F at its end tells on which side the crossing
// lies.
#pragma once

#include "formula/formula_engine.h"
#include "plotcore/model/equation.h"
#include "plotcore/model/trajectories.h"

namespace kv {

enum CrossingResult : int {
  kCrossingRefined = 0,
  kCrossingFailed = 1,          // an evaluation or a run failed
  kCrossingNoSignChange = 104,  // message 504 "kein Vorzeichenwechsel"
  kCrossingStartOnCurve = -1,   // the start lies on the curve already
};

// The item runs for its duration (step count times step).  On success the
// item's start (and its parameter) lie just before the crossing and `end`
// holds the last point run to; the duration is kept.  The variables X, Y
// and the curve's tree values are left as they were.
CrossingResult RefineCurveCrossing(TEquation& path, TEquationItem& item, TEquation& curve, TFormulaEngine& engine,
                                   const TTrajectoryView& view, TPoint3D& end);

}  // namespace kv
