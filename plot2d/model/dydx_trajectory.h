// Solutions of dy/dx = f(x, y) (entries of kind 211) from a start point:
// one step by the item's method and the run of a solution item through the
// view with its stop rules.  The run reports what to draw to a sink, so the
// window draws it on a device context, into an export or as table lines.
#pragma once

#include "core/vector2d.h"
#include "formula/formula_engine.h"
#include "plotcore/model/entry_evaluation.h"
#include "plotcore/model/equation.h"

namespace kv {

// One step h of y' = f(x, y) from p by the method (0 Euler, 1 modified
// Euler, 2 Runge-Kutta); x advances by h.  False, with p unchanged, when f
// is undefined on the way or, with infiniteSlope set, when the slope at p
// and the slope at the first probe point turn against each other steeply,
// (h' f1)(h' f2) < -1 with h' the probe step (h/2 for Runge-Kutta, else h):
// a vertical tangent lies between them and the solution cannot go on.
bool StepDyDx(TFormulaEngine& engine, TExprNode* f, int method, TPoint2D& p, long double h, bool infiniteSlope);

// Where a point lies against the view (bounds included): 0 inside, 1 with
// x inside and y outside, 2 with x outside.
enum : int { kInView = 0, kBeyondTopOrBottom = 1, kBeyondSide = 2 };
int ClassifyPointInView(const TSegment2D& view, const TPoint2D& p);

struct TDyDxRunSettings {
  TSegment2D view{-5, 5, -5, 5};  // the window's view, in its own coordinates
  TPointMap map;                  // how world points reach the view
  bool infiniteSlope = false;     // "&Unendliche Steigung"
};

// What a run hands on, in view coordinates.
class TDyDxSink {
 public:
  virtual ~TDyDxSink() = default;
  // The start point; visible when it lies in the view.
  virtual void Start(const TPoint2D& p, bool visible) {}
  // One step between two points in the view.
  virtual void Segment(const TPoint2D& from, const TPoint2D& to) {}
  // The solution left the view through its top or bottom.
  virtual void Break() {}
  // It came back into the view at p (no segment leads there).
  virtual void Resume(const TPoint2D& p) {}
  // Asked after every step: true stops the run (the key "A").
  virtual bool Cancelled() { return false; }
};

// The step count of a solution without a limit: it runs until it leaves
// the view, a step fails or the stop key ends it.
inline constexpr long kMaxDyDxSteps = 2147483647;

// Runs the item of a kind-211 entry (f in formula slot 2): from its start
// point in steps of its h by its method while the steps stay defined, the
// solution stays within the view's x range and, with the entry's
// "Grenzen setzen" (unclipped), within its y range; a solution that leaves
// through the top or bottom otherwise goes on unseen and shows again where
// it comes back.  The item's step limit (rounded) caps the steps; below 2
// there is no cap.  The steps made are stored as the item's new step limit and
// returned.
long RunDyDxTrajectory(TEquation& e, TFormulaEngine& engine, TEquationItem& item, const TDyDxRunSettings& settings,
                       TDyDxSink& sink);

}  // namespace kv
