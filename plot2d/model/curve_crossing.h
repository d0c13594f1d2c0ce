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

// A path that runs from its start: a trajectory, or a traced piece of a
// curve walked along its length.
class TCrossingPath {
 public:
  virtual ~TCrossingPath() = default;
  virtual TPoint3D Start() const = 0;
  // The point `duration` along the path from its start; false when the
  // path cannot get there.
  virtual bool Run(long double duration, TPoint3D& end) = 0;
  // The start moves `duration` along the path, to p.
  virtual void Advance(long double duration, const TPoint3D& p) = 0;
};

// Moves the start of the path onto the first crossing of the curve F = 0
// (tree f) within `duration`: F at the start and at the end of the run
// (returned in `end`), then up to 101 halvings of the duration, the start
// moving on while F keeps its sign there.  On success the start lies just
// before the crossing, or on it.  The variables X, Y and Z are left as
// they were.
CrossingResult RefineCrossingAlong(TCrossingPath& path, long double duration, TExprNode* f, TFormulaEngine& engine,
                                   TPoint3D& end);

// The item runs for its duration (step count times step).  On success the
// item's start (and its parameter) lie just before the crossing and `end`
// holds the last point run to; the duration is kept.  The variables X, Y
// and the curve's tree values are left as they were.
CrossingResult RefineCurveCrossing(TEquation& path, TEquationItem& item, TEquation& curve, TFormulaEngine& engine,
                                   const TTrajectoryView& view, TPoint3D& end);

}  // namespace kv
