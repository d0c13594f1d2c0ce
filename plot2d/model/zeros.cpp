#include "plot2d/model/zeros.h"

#include <algorithm>
#include <cmath>

#include "formula/calculus.h"
#include "formula/tokens.h"

namespace kv {

namespace {

constexpr long double kZeroValue = 1e-16L;

// Keeps the engine's bisection tolerance and a variable as they were.
class TScanScope {
 public:
  TScanScope(TFormulaEngine& engine, int letter)
      : engine_(engine), letter_(letter), tolerance_(engine.bisectTolerance), value_(engine.Variable(letter)) {}
  ~TScanScope() {
    engine_.bisectTolerance = tolerance_;
    engine_.SetComplexVariable(letter_, value_);
  }
  TScanScope(const TScanScope&) = delete;
  TScanScope& operator=(const TScanScope&) = delete;

 private:
  TFormulaEngine& engine_;
  int letter_;
  long double tolerance_;
  TComplex value_;
};

bool Value(TFormulaEngine& engine, TExprNode* tree, int letter, long double at, long double& v) {
  return tree && engine.EvaluateAt(tree, letter, at, v) && std::isfinite(v);
}

// A zero exactly on a cell's end: BisectRoot reports the end.  It counts
// once (as the left end of its cell, or the right end of the last cell),
// and only when the function is not zero all over the cell (that is a
// touching cell, which the caller counts).
enum class EndRoot { kNone, kAccept, kTouching };
EndRoot ClassifyEndRoot(TFormulaEngine& engine, TExprNode* tree, int letter, long double a, long double b,
                        long double x, bool lastCell) {
  long double mid = 0;
  if (Value(engine, tree, letter, a + (b - a) / 2, mid) && std::fabs(mid) < kZeroValue) return EndRoot::kTouching;
  if (x == a || (lastCell && x == b)) return EndRoot::kAccept;
  return EndRoot::kNone;
}

}  // namespace

// ---- straight entries ----

bool StraightGeometry(TEquation& e, TFormulaEngine& engine, const TSegment2D& view, TStraightGeometry& g) {
  g = {};
  long double v[4] = {};
  const int n = e.kind == kKindSegment ? 4 : e.kind == kKindLine ? 3 : 0;
  if (n == 0) return false;
  for (int k = 0; k < n; ++k) {
    TExprNode* t = e.trees[static_cast<std::size_t>(k)].get();
    if (!t || !engine.Evaluate(t) || !std::isfinite(static_cast<double>(t->value.re))) return false;
    v[k] = t->value.re;
  }
  if (e.kind == kKindSegment) {
    g.bounded = true;
    g.a = {v[0], v[1]};
    g.b = {v[2], v[3]};
    g.vertical = std::fabs(v[2] - v[0]) <= 1e-15L * std::max(1.0L, std::fabs(v[0]));
    g.lo = g.vertical ? std::min(v[1], v[3]) : std::min(v[0], v[2]);
    g.hi = g.vertical ? std::max(v[1], v[3]) : std::max(v[0], v[2]);
    return true;
  }
  // a x + b y = c
  const long double a = v[0], b = v[1], c = v[2];
  if (b != 0) {
    g.lo = view.xmin;
    g.hi = view.xmax;
    g.a = {view.xmin, (c - a * view.xmin) / b};
    g.b = {view.xmax, (c - a * view.xmax) / b};
    return true;
  }
  if (a == 0) return false;
  g.vertical = true;
  g.lo = view.ymin;
  g.hi = view.ymax;
  g.a = {c / a, view.ymin};
  g.b = {c / a, view.ymax};
  return true;
}

TExprNode* FunctionTree(TEquation& e) {
  return (e.kind == kKindSegment || e.kind == kKindLine ? e.trees[6] : e.trees[1]).get();
}

int CurveVariable(const TEquation& e) {
  if (e.kind == kKindParametric && e.arrowMode > 0 && e.arrowMode < tok::kVariableCount) return e.arrowMode;
  return tok::T;
}

// ---- zeros ----

ScanResult FindNextZero(TEquation& e, TFormulaEngine& engine, const TSegment2D& view, int& counter, long double& x,
                        const TScanStop& stop) {
  TExprNode* tree = FunctionTree(e);
  TExprNode* derivative = e.trees[5].get();
  long double lo = e.lowerBound.x;
  long double hi = e.upperBound.x;
  if (e.kind == kKindSegment || e.kind == kKindLine) {
    TStraightGeometry g;
    if (!StraightGeometry(e, engine, view, g)) return kScanNone;
    if (g.vertical) {
      // Its only candidate is its x; a segment must reach the x axis.
      if (g.bounded && (g.lo > 0 || g.hi < 0)) return kScanNone;
      x = g.a.x;
      return kScanFound;
    }
    lo = g.lo;
    hi = g.hi;
  } else if (e.kind != kKindExplicit) {
    return kScanNone;
  }
  if (!tree || !(hi > lo) || !std::isfinite(static_cast<double>(hi - lo))) return kScanNone;
  TScanScope scope(engine, tok::X);
  const long double width = hi - lo;
  const long double poleLimit = (view.ymax - view.ymin) / 2;
  engine.bisectTolerance = kZeroValue * width;
  TCellScan scan;
  scan.tree = tree;
  scan.derivative = derivative;
  scan.letter = tok::X;
  scan.lo = lo;
  scan.hi = hi;
  scan.doubleZeroLimit = kZeroValue * width;
  // A sign change through a pole converges to a huge value.
  scan.accept = [&](long double r) {
    long double v = 0;
    return Value(engine, tree, tok::X, r, v) && std::fabs(v) < poleLimit;
  };
  return ScanCells(engine, scan, counter, x, stop);
}

ScanResult ScanCells(TFormulaEngine& engine, const TCellScan& scan, int& counter, long double& x,
                     const TScanStop& stop) {
  if (!scan.tree || !(scan.hi > scan.lo) || !std::isfinite(static_cast<double>(scan.hi - scan.lo))) return kScanNone;
  if (counter < 0 || counter >= kScanCells) counter = 0;
  const long double h = (scan.hi - scan.lo) / kScanCells;
  int misses = 0;
  bool found = false;
  for (int cells = 0; cells < kScanCells && !found; ++cells) {
    if (stop && stop()) return kScanStopped;
    const bool last = counter == kScanCells - 1;
    const long double a = scan.lo + counter * h;
    const long double b = last ? scan.hi : a + h;
    long double r = 0, v = 0;
    const int code = engine.BisectRoot(scan.tree, scan.letter, a, b, r);
    if (code < 0) {
      const EndRoot end = ClassifyEndRoot(engine, scan.tree, scan.letter, a, b, r, last);
      if (end == EndRoot::kTouching) ++misses;
      found = end == EndRoot::kAccept;
    } else if (code == kFormulaOk) {
      found = true;
    } else if (scan.derivative) {
      // No sign change: a double zero is a zero of the derivative where
      // the function itself vanishes.
      long double r2 = 0;
      if (engine.BisectRoot(scan.derivative, scan.letter, a, b, r2) == kFormulaOk &&
          Value(engine, scan.tree, scan.letter, r2, v) && std::fabs(v) < scan.doubleZeroLimit) {
        r = r2;
        found = true;
      }
    }
    const bool refused = found && scan.accept && !scan.accept(r);
    if (refused) found = false;
    if (found) x = r;
    if (++counter >= kScanCells) counter = 0;
    if (refused && scan.refusalEnds) break;
  }
  if (found) return kScanFound;
  return misses < 11 ? kScanNone : kScanTooMany;
}

// ---- extrema ----

int ExtremumCode(int kind, int target) {
  if (kind == kKindExplicit) return target == kTargetY ? 30 : target == kTargetYPrime ? 34 : 0;
  if (kind == kKindPolar || kind == kKindParametric) {
    switch (target) {
      case kTargetY: return 31;
      case kTargetX: return 32;
      case kTargetR: return 33;
      default: return 0;
    }
  }
  return 0;
}

ScanResult FindNextExtremum(TEquation& e, TFormulaEngine& engine, int target, TExtremumState& state, TExtremum& out,
                            const TScanStop& stop) {
  const int code = ExtremumCode(e.kind, target);
  if (code == 0) return kScanNone;
  const bool explicitGraph = e.kind == kKindExplicit;
  const int letter = explicitGraph ? tok::X : CurveVariable(e);
  TreePtr ownDerivative;
  TExprNode* tree = nullptr;
  switch (target) {
    case kTargetY: tree = e.trees[5].get(); break;
    case kTargetYPrime: tree = e.trees[6].get(); break;
    case kTargetX: tree = e.trees[4].get(); break;
    case kTargetR:
      tree = e.trees[6].get();
      // A parametric curve keeps no derivative of its radius.
      if (!tree && e.trees[2] && Differentiate(e.trees[2].get(), letter, ownDerivative)) tree = ownDerivative.get();
      break;
    default: break;
  }
  if (!tree) return kScanNone;
  const long double lo = e.lowerBound.x;
  const long double hi = e.upperBound.x;
  if (!(hi > lo) || !std::isfinite(static_cast<double>(hi - lo))) return kScanNone;
  if (state.counter < 0 || state.counter > kScanCells) state.counter = 0;
  TScanScope scope(engine, letter);
  const long double width = hi - lo;
  const long double h = width / kScanCells;
  engine.bisectTolerance = kZeroValue * width;
  const bool ends = explicitGraph && e.bounded;

  // The point of the graph at the parameter; false where undefined.
  auto compute = [&](long double s) {
    out = {};
    out.code = code;
    long double y = 0, third = 0;
    if (explicitGraph) {
      if (!Value(engine, e.trees[1].get(), letter, s, y)) return false;
      out.values[0] = s;
      out.values[1] = y;
      out.count = 2;
      // y' is a result of the inflection points; of the others it is what
      // "Speichere" stores for Y', where it is defined.
      out.slope = Value(engine, e.trees[5].get(), letter, s, third);
      if (out.slope) out.values[2] = third;
      if (target == kTargetYPrime) {
        if (!out.slope) return false;
        out.count = 3;
      }
      return true;
    }
    long double x = 0;
    if (!Value(engine, e.trees[0].get(), letter, s, x) || !Value(engine, e.trees[1].get(), letter, s, y)) return false;
    if (!Value(engine, e.trees[2].get(), letter, s, third)) third = std::hypot(x, y);
    if (std::fabs(third) < kZeroValue) third = 0;
    out.values[0] = x;
    out.values[1] = y;
    out.values[2] = third;
    out.values[3] = s;
    out.count = 4;
    return true;
  };

  int cells = 0;
  // Each pass scans a cell or moves the end state on; the end passes are
  // at most two per turn, so the bound is never what ends a search.
  for (int pass = 0; cells < kScanCells && pass < 3 * kScanCells; ++pass) {
    if (stop && stop()) return kScanStopped;
    if (ends && state.counter == 0) {
      if (state.endState < 0) {
        state.endState = 0;
      } else {
        state.endState = -1;
        if (compute(lo)) return kScanFound;
      }
    }
    if (state.endState == 0 && state.counter < kScanCells) {
      const long double a = lo + state.counter * h;
      const long double b = state.counter == kScanCells - 1 ? hi : a + h;
      long double r = 0;
      const int result = engine.BisectRoot(tree, letter, a, b, r);
      ++state.counter;
      ++cells;
      if (result == kFormulaOk && compute(r)) return kScanFound;
    }
    if (state.counter >= kScanCells) {
      if (!ends) {
        state.counter = 0;
      } else if (state.endState < 1) {
        state.endState = 1;
        if (compute(hi)) return kScanFound;
      } else {
        state.counter = 0;
        state.endState = 0;
      }
    }
  }
  return kScanNone;
}

}  // namespace kv
