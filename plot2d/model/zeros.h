// Zeros and extrema of 2D entries, one at a time.  Both tools cut the
// entry's interval into 101 cells and look for a sign change of a tree in
// each cell by bisection, starting at a remembered cell and wrapping from
// the right end back to the left, so that repeated calls step through the
// answers from left to right.  At most one answer is found per cell.
//
// The straight entries (segments 205, lines 208) are resolved here too:
// their ends, their x range and whether they stand vertical.
#pragma once

#include <functional>

#include "core/vector2d.h"
#include "formula/formula_engine.h"
#include "plotcore/model/equation.h"

namespace kv {

inline constexpr int kScanCells = 101;

// What a search reports.
enum ScanResult : int {
  kScanNone = 0,      // nothing in a whole turn ("nicht zu finden")
  kScanFound = 1,
  kScanTooMany = 10,  // more than ten cells touch zero without a sign change ("zu viele")
  kScanStopped = 65,  // the user stopped the search
};

// Polled between cells; true stops the search.  May be empty.
using TScanStop = std::function<bool()>;

// ---- straight entries ----
struct TStraightGeometry {
  bool vertical = false;
  bool bounded = false;  // a segment (its ends limit it); lines run through the view
  TPoint2D a;            // first end (lines: where they enter the view's x or y range)
  TPoint2D b;            // second end
  // The x range of a non-vertical entry, the y range of a vertical one.
  long double lo = 0;
  long double hi = 0;
};
// Evaluates the end trees of a segment or the coefficients of a line;
// false when one is undefined (or the line is degenerate).  A line takes
// the view for its extent.
bool StraightGeometry(TEquation& e, TFormulaEngine& engine, const TSegment2D& view, TStraightGeometry& g);

// The tree a function-like entry (201, 205, 208) is y = f(x) by.
TExprNode* FunctionTree(TEquation& e);
// The parameter letter of a polar or parametric curve.
int CurveVariable(const TEquation& e);

// ---- the cell scan ----
// Zeros of `tree` in the letter on [lo, hi] cut into 101 cells, from cell
// `counter` on for at most one turn; counter is left after the cell of the
// answer.  A converged sign change is a candidate; a cell without one may
// hold a double zero: a zero of `derivative` where |tree| is below
// doubleZeroLimit.  A zero on a cell's end counts once.  `accept` may turn a
// candidate down (a pole, a point beyond a segment's end); the scan then
// goes on.  More than ten cells that touch zero without a sign change, and
// no answer: kScanTooMany.  The engine's bisection tolerance is the
// caller's.
struct TCellScan {
  TExprNode* tree = nullptr;
  TExprNode* derivative = nullptr;
  int letter = 0;
  long double lo = 0;
  long double hi = 0;
  long double doubleZeroLimit = 0;
  std::function<bool(long double)> accept;
  // A candidate turned down ends the search (kScanNone, or kScanTooMany
  // after more than ten touching cells); the next one starts after it.
  bool refusalEnds = false;
};
ScanResult ScanCells(TFormulaEngine& engine, const TCellScan& scan, int& counter, long double& x,
                     const TScanStop& stop);

// ---- zeros ----
// The next zero of an explicit entry (tree 1, x in its bounds), a segment
// or a line (tree 6) from the cell `counter` on; counter is left after the
// cell of the answer.  A sign change is accepted when |f| there is below
// the view's half height (a pole is no zero); a cell without a sign change
// may hold a double zero, found as a zero of the derivative with |f| below
// 1e-16 times the interval width.
ScanResult FindNextZero(TEquation& e, TFormulaEngine& engine, const TSegment2D& view, int& counter, long double& x,
                        const TScanStop& stop = {});

// ---- extrema ----
// Target quantities (letter codes): y, y' (inflection points of 201), x
// and r (202, 203).
enum ExtremumTarget : int { kTargetR = 18, kTargetX = 24, kTargetY = 25, kTargetYPrime = 27 };

struct TExtremumState {
  int counter = 0;
  int endState = 0;  // -1 after the left end was reported, 1 after the right end
};

struct TExtremum {
  int code = 0;   // 30 y of 201, 34 y' of 201, 31 y, 32 x, 33 r of a curve
  int count = 0;  // values in use: 2, 3 or 4
  long double values[4] = {};  // x, y, third (y' or r), t
  // A graph's y' at x is known (in values[2]), also where only x and y
  // are the result.
  bool slope = false;
};

// Result code, and whether the kind and target fit.
int ExtremumCode(int kind, int target);

// The next extremum of the target from the state on.  Bounded explicit
// entries report their ends too: left end, interior extrema, right end.
ScanResult FindNextExtremum(TEquation& e, TFormulaEngine& engine, int target, TExtremumState& state, TExtremum& out,
                            const TScanStop& stop = {});

}  // namespace kv
