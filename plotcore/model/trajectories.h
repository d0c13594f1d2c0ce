// Trajectories of the initial-value entries (210 dx/dt, dy/dt; 211 dy/dx;
// 310 in space) and the terms of recursive sequences (212, 312): their
// items and the stepping by the item's method (Euler, modified Euler,
// Runge-Kutta), evaluated with the window's formula engine.
#pragma once

#include <vector>

#include "core/vector2d.h"
#include "core/vector3d.h"
#include "formula/formula_engine.h"
#include "plotcore/model/curve_sampler.h"
#include "plotcore/model/entry_evaluation.h"
#include "plotcore/model/equation.h"
#include "plotcore/model/view3d.h"

namespace kv {

// Upper bound of the steps of one trajectory and of the terms of one
// sequence, whatever an item or a file asks for.
inline constexpr long kMaxTrajectorySteps = 1000000;
inline constexpr long kMaxSequenceTerms = 1000000;

// Where a trajectory runs: it ends when it leaves the view by a tenth of
// its size (in a space window, when it leaves the box), and its points are
// projected by the box's view when there is one.  A window that shows its
// plane through a mapping shows the image of each point: a point without
// image breaks the curve, and the view test looks at the image.
struct TTrajectoryView {
  TSegment2D world{-5, 5, -5, 5};
  const TView3D* box = nullptr;      // the view of a 3D window, or none
  bool space = false;                // a space window (point variables)
  long double defaultStep = 0.0025L; // of items without a step
  TPointMap map;                     // the mapping of a range window, or none
  // The logarithmic axes of the window (bit 0 x, bit 1 y): a dy/dt item
  // there keeps and steps the decimal exponents of its values (a sequence
  // item keeps those of its start).
  int logAxes = 0;
};

bool IsTrajectoryKind(int kind);
// One step of the entry's system from (t, p); false where undefined.
// logAxes as in TTrajectoryView.
bool StepTrajectory(TEquation& e, TFormulaEngine& engine, int method, long double t, long double h, TPoint3D& p,
                    int logAxes = 0);
// Runs an item; every point goes to the sink (world x, y, projected or
// mapped).
// Returns the steps made; `finished` tells whether it ran to its end.
long RunTrajectory(TEquation& e, TFormulaEngine& engine, TEquationItem& item, const TTrajectoryView& view,
                   TPolylineSink* sink, bool& finished, TPoint3D* end = nullptr);
// Runs an item to the parameter value; false when it cannot get there.
bool RunTrajectoryItem(TEquation& e, TFormulaEngine& engine, TEquationItem& item, long double defaultStep,
                       long double target, TPoint3D& point, int logAxes = 0);
// The end of an item's run in a direction and its parameter there; 0 when
// the run finished, 1 when it stopped where undefined.
int ComputeTrajectoryOffscreen(TEquation& e, TFormulaEngine& engine, TEquationItem& item, const TTrajectoryView& view,
                               TPoint3D& end, long double& t, int direction);
// Creates an initial-value item at the head of the entry's list.
TEquationItem& AddTrajectoryItem(TEquation& e, const TPoint3D& start, int method, long double h, long double steps,
                                 int direction);
TEquationItem& AddItemForKind211(TEquation& e, const TPoint3D& start, long double h, int method, int colour,
                                 int width);
// The terms of a sequence item: start, then count iterations of slots 0
// and 1 (2 in 3D); stops early where undefined.  On the logarithmic axes
// of a plane window (logAxes as in TTrajectoryView) the item keeps the
// exponents of its start; the terms are values all the same.
std::vector<TPoint3D> IterateSequenceItem(const TEquation& e, TFormulaEngine& engine, const TEquationItem& item,
                                          long count, int logAxes = 0);
// Cobweb terms 0..termCount of x(n+1) = f(x(n)) of an explicit entry.
std::vector<long double> IterateSequence(TEquation& e, TFormulaEngine& engine);
// The start texts x0, y0, z0, t0 into the item's trees; false when a
// non-empty text does not compile.
bool CompileEquationItem(TEquationItem& item, TFormulaEngine& engine);
// The start point and parameter from the texts (start code above 1000);
// false where a value is undefined.
bool EvaluateItemStart(TEquationItem& item, TFormulaEngine& engine);

}  // namespace kv
