#include "plot2d/model/intersections.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "core/constants.h"
#include "formula/calculus.h"
#include "formula/tokens.h"
#include "formula/tree_builders.h"
#include "plot2d/model/curve_crossing.h"
#include "plotcore/model/equation_curves.h"

namespace kv {

namespace {

constexpr long double kZeroValue = 1e-16L;

// The variables a search sets, and the bisection tolerance, as they were.
class TVariableScope {
 public:
  explicit TVariableScope(TFormulaEngine& engine) : engine_(engine), tolerance_(engine.bisectTolerance) {
    for (int k = 0; k < tok::kVariableCount; ++k) saved_[k] = engine.Variable(k);
  }
  ~TVariableScope() {
    for (int k = 0; k < tok::kVariableCount; ++k) engine_.SetComplexVariable(k, saved_[k]);
    engine_.bisectTolerance = tolerance_;
  }
  TVariableScope(const TVariableScope&) = delete;
  TVariableScope& operator=(const TVariableScope&) = delete;

 private:
  TFormulaEngine& engine_;
  long double tolerance_;
  TComplex saved_[tok::kVariableCount];
};

bool Finite(long double v) { return std::isfinite(static_cast<double>(v)); }

bool ValueAt(TFormulaEngine& engine, TExprNode* tree, int letter, long double at, long double& v) {
  return tree && engine.EvaluateAt(tree, letter, at, v) && Finite(v);
}

bool ValueAtPoint(TFormulaEngine& engine, TExprNode* tree, long double x, long double y, long double& v) {
  if (!tree) return false;
  engine.SetPoint(x, y);
  if (!engine.Evaluate(tree)) return false;
  v = tree->value.re;
  return Finite(v);
}

TreePtr Own(TExprNode* n) { return TreePtr(n); }

// The interval in x a function-like entry is scanned over.
void FunctionInterval(const TEquation& e, const TStraightGeometry& g, long double& lo, long double& hi) {
  if (e.kind == kKindExplicit) {
    lo = e.lowerBound.x;
    hi = e.upperBound.x;
  } else {
    lo = g.lo;
    hi = g.hi;
  }
}

// Inside [lo, hi] up to rounding of the scan.
bool WithinRange(long double v, long double lo, long double hi) {
  const long double slack = 1e-12L * std::max({1.0L, std::fabs(lo), std::fabs(hi)});
  return v >= lo - slack && v <= hi + slack;
}

long double AngleBetween(const TPoint2D& d1, const TPoint2D& d2) {
  return std::fabs(SignedAngle2D(d1, TPoint2D{0, 0}, d2));
}

// Newton steps on F_A = F_B = 0 from p; false when they do not settle
// within `reach` of the start.
bool RefineOnBoth(TFormulaEngine& engine, TEquation& a, TEquation& b, TPoint2D& p, long double reach) {
  const TPoint2D start = p;
  for (int k = 0; k < 30; ++k) {
    long double fa, fb, ax, ay, bx, by;
    if (!ValueAtPoint(engine, a.trees[2].get(), p.x, p.y, fa) || !ValueAtPoint(engine, b.trees[2].get(), p.x, p.y, fb) ||
        !ValueAtPoint(engine, a.trees[4].get(), p.x, p.y, ax) || !ValueAtPoint(engine, a.trees[5].get(), p.x, p.y, ay) ||
        !ValueAtPoint(engine, b.trees[4].get(), p.x, p.y, bx) || !ValueAtPoint(engine, b.trees[5].get(), p.x, p.y, by))
      return false;
    if (std::fabs(fa) < kZeroValue && std::fabs(fb) < kZeroValue) break;
    const long double det = ax * by - ay * bx;
    if (!(std::fabs(det) > 0)) break;  // tangent curves: keep the bisected point
    const long double dx = (fa * by - fb * ay) / det;
    const long double dy = (ax * fb - bx * fa) / det;
    p.x -= dx;
    p.y -= dy;
    if (std::fabs(dx) + std::fabs(dy) <= 1e-18L * (1 + std::fabs(p.x) + std::fabs(p.y))) break;
  }
  return Finite(p.x) && Finite(p.y) && std::hypot(p.x - start.x, p.y - start.y) <= reach;
}

// A traced piece walked along its length: the points between two of its
// points lie on the chord between them.
class TPiecePath : public TCrossingPath {
 public:
  explicit TPiecePath(const std::vector<TPoint2D>& points) : points_(points), at_(points.size(), 0) {
    for (std::size_t k = 1; k < points.size(); ++k)
      at_[k] = at_[k - 1] + std::hypot(points[k].x - points[k - 1].x, points[k].y - points[k - 1].y);
  }
  long double Length() const { return at_.empty() ? 0 : at_.back(); }
  void SetStart(long double u) { start_ = u; }
  long double StartLength() const { return start_; }
  TPoint3D Start() const override { return PointAt(start_); }
  bool Run(long double duration, TPoint3D& end) override {
    end = PointAt(start_ + duration);
    return true;
  }
  void Advance(long double duration, const TPoint3D&) override { start_ += duration; }
  TPoint3D PointAt(long double u) const {
    if (points_.empty()) return {};
    if (!(u > 0)) return {points_.front().x, points_.front().y, 0};
    if (!(u < Length())) return {points_.back().x, points_.back().y, 0};
    const std::size_t k = static_cast<std::size_t>(std::upper_bound(at_.begin(), at_.end(), u) - at_.begin());
    const TPoint2D& p = points_[k - 1];
    const TPoint2D& q = points_[k];
    const long double span = at_[k] - at_[k - 1];
    const long double m = span > 0 ? (u - at_[k - 1]) / span : 0;
    return {p.x + m * (q.x - p.x), p.y + m * (q.y - p.y), 0};
  }

 private:
  const std::vector<TPoint2D>& points_;
  std::vector<long double> at_;  // the length walked at each point
  long double start_ = 0;
};

ScanResult FindImplicitCrossing(TEquation& a, TEquation& b, TFormulaEngine& engine, TIntersectionState& state,
                                TIntersection& out, const TScanStop& stop) {
  TExprNode* fa = a.trees[2].get();
  if (!fa || !b.trees[2]) return kScanNone;
  // The pieces of B's drawing; a new trace is walked from its first piece.
  if (state.trace != b.traced) state.TakeFirstPiece(b.traced);
  std::vector<const std::vector<TPoint2D>*> pieces;
  if (state.trace)
    for (const TTracedRuns& member : state.trace->members)
      for (const auto& run : member)
        if (run.size() >= 2) pieces.push_back(&run);
  if (pieces.empty()) return kScanNone;
  if (state.piece >= pieces.size()) state.TakeFirstPiece(state.trace);
  if (state.counter < 0 || state.counter >= kScanCells) state.counter = 0;
  const std::size_t total = pieces.size() * kScanCells;
  // The piece walked, measured once while its steps are taken.
  std::optional<TPiecePath> walked;
  std::size_t walkedPiece = pieces.size();
  for (std::size_t steps = 0; steps < total; ++steps) {
    if ((steps & 63) == 0 && stop && stop()) return kScanStopped;
    if (walkedPiece != state.piece) {
      walked.emplace(*pieces[state.piece]);
      walkedPiece = state.piece;
    }
    TPiecePath& path = *walked;
    const long double step = path.Length() * 0.0099009900990099L;
    path.SetStart(state.position);
    TPoint3D end;
    const CrossingResult r = RefineCrossingAlong(path, step, fa, engine, end);
    const TPoint3D at = path.Start();
    const long double t = path.StartLength();
    // The next step goes on from this one's end.
    state.position += step;
    if (++state.counter >= kScanCells) {
      state.counter = 0;
      state.piece = (state.piece + 1) % pieces.size();
      state.position = 0;
    }
    if (r != kCrossingRefined) continue;
    // The piece runs on chords between points of B: the point found on a
    // chord is moved onto both curves.
    TPoint2D c{at.x, at.y};
    if (!RefineOnBoth(engine, a, b, c, step)) c = {at.x, at.y};
    out = {};
    out.x = c.x;
    out.y = c.y;
    out.t = t;
    long double ax = 0, ay = 0, bx = 0, by = 0;
    if (ValueAtPoint(engine, a.trees[4].get(), c.x, c.y, ax) && ValueAtPoint(engine, a.trees[5].get(), c.x, c.y, ay) &&
        ValueAtPoint(engine, b.trees[4].get(), c.x, c.y, bx) && ValueAtPoint(engine, b.trees[5].get(), c.x, c.y, by))
      out.angle = AngleBetween({ax, ay}, {bx, by});
    if (out.angle > HalfPi) out.angle = Pi - out.angle;
    return kScanFound;
  }
  return kScanNone;
}

}  // namespace

int CurveClassOf(TEquation& e, TFormulaEngine& engine, const TSegment2D& view) {
  switch (e.kind) {
    case kKindExplicit: return kClassF;
    case kKindPolar:
    case kKindParametric: return kClassP;
    case kKindImplicit: return kClassO;
    case kKindSegment:
    case kKindLine: {
      TStraightGeometry g;
      if (!StraightGeometry(e, engine, view, g)) return kClassNone;
      return g.vertical ? kClassV : kClassF;
    }
    default: return kClassNone;
  }
}

int IntersectionPairCode(int classA, int classB) {
  static constexpr int kCodes[4][4] = {{-1, 4, 5, 6}, {12, 0, 1, 2}, {13, 9, -1, 3}, {14, 10, 11, 8}};
  if (classA < 0 || classA > 3 || classB < 0 || classB > 3) return -1;
  return kCodes[classA][classB];
}

ScanResult FindNextIntersection(TEquation& a, TEquation& b, TFormulaEngine& engine, const TIntersectionSettings& s,
                                TIntersectionState& state, TIntersection& out, const TScanStop& stop) {
  if (&a == &b) return kScanNone;
  TVariableScope scope(engine);
  const int classA = CurveClassOf(a, engine, s.view);
  const int classB = CurveClassOf(b, engine, s.view);
  const int code = IntersectionPairCode(classA, classB);
  if (code < 0) return kScanNone;
  engine.bisectTolerance = 1e-13L * (s.view.xmax - s.view.xmin) / 2;
  if (code == 8) return FindImplicitCrossing(a, b, engine, state, out, stop);

  // The roles of the two entries.
  TEquation* fCurve = classA == kClassF ? &a : classB == kClassF ? &b : nullptr;
  TEquation* pCurve = classA == kClassP ? &a : classB == kClassP ? &b : nullptr;
  TEquation* vCurve = classA == kClassV ? &a : classB == kClassV ? &b : nullptr;
  TEquation* oCurve = classA == kClassO ? &a : classB == kClassO ? &b : nullptr;
  TStraightGeometry fGeometry, vGeometry;
  if (fCurve && fCurve->kind != kKindExplicit) StraightGeometry(*fCurve, engine, s.view, fGeometry);
  if (vCurve) StraightGeometry(*vCurve, engine, s.view, vGeometry);
  const long double xv = vGeometry.a.x;
  const int pVar = pCurve ? CurveVariable(*pCurve) : tok::T;
  TExprNode* fTree = fCurve ? FunctionTree(*fCurve) : nullptr;
  TExprNode* px = pCurve ? pCurve->trees[0].get() : nullptr;
  TExprNode* py = pCurve ? pCurve->trees[1].get() : nullptr;
  TExprNode* oTree = oCurve ? oCurve->trees[2].get() : nullptr;
  const int m = code % 8;

  // The function whose zeros are the crossings, its variable and interval.
  TreePtr difference;
  int letter = tok::X;
  long double lo = 0, hi = 0;
  bool atOnce = false;
  switch (m) {
    case 0: {  // two graphs
      TStraightGeometry ga, gb;
      if (a.kind != kKindExplicit) StraightGeometry(a, engine, s.view, ga);
      if (b.kind != kKindExplicit) StraightGeometry(b, engine, s.view, gb);
      long double loA, hiA, loB, hiB;
      FunctionInterval(a, ga, loA, hiA);
      FunctionInterval(b, gb, loB, hiB);
      lo = std::max(loA, loB);
      hi = std::min(hiA, hiB);
      if (FunctionTree(a) && FunctionTree(b)) difference = Own(BuildBinary(tok::Minus, FunctionTree(a), FunctionTree(b)));
      break;
    }
    case 1:  // a graph along a parametric curve: f(x(t)) - y(t)
      letter = pVar;
      lo = pCurve->lowerBound.x;
      hi = pCurve->upperBound.x;
      if (fTree && px && py) {
        TreePtr along = Own(CloneAndSubstitute(fTree, tok::X, px));
        difference = Own(BuildBinary(tok::Minus, along.get(), py));
      }
      break;
    case 3: {  // an implicit curve along a parametric curve
      letter = pVar;
      lo = pCurve->lowerBound.x;
      hi = pCurve->upperBound.x;
      if (oTree && px && py) {
        const int tokens[2] = {tok::X, tok::Y};
        const TExprNode* by[2] = {px, py};
        difference = Own(CloneAndSubstituteAll(oTree, tokens, by, 2));
      }
      break;
    }
    case 5: {  // a vertical and a parametric curve: x(t) - xv
      letter = pVar;
      lo = pCurve->lowerBound.x;
      hi = pCurve->upperBound.x;
      TreePtr number = Own(NewNumberNode(TComplex(xv, 0)));
      if (px) difference = Own(BuildBinary(tok::Minus, px, number.get()));
      break;
    }
    case 2:  // an implicit curve along a graph
      FunctionInterval(*fCurve, fGeometry, lo, hi);
      if (oTree && fTree) difference = Own(CloneAndSubstitute(oTree, tok::Y, fTree));
      break;
    case 6: {  // an implicit curve along a vertical
      letter = tok::Y;
      lo = vGeometry.lo;
      hi = vGeometry.hi;
      TreePtr number = Own(NewNumberNode(TComplex(xv, 0)));
      if (oTree) difference = Own(CloneAndSubstitute(oTree, tok::X, number.get()));
      break;
    }
    case 4:  // a vertical and a graph: (xv, f(xv))
      atOnce = true;
      break;
    default: return kScanNone;
  }

  // The crossing at the zero s, with its two directions; false withdraws it.
  auto computePoint = [&](long double sv) {
    out = {};
    TPoint2D d1, d2;
    long double slope = 0;
    if (code & 1) {
      out.t = sv;
      long double dx, dy;
      if (!ValueAt(engine, px, pVar, sv, out.x) || !ValueAt(engine, py, pVar, sv, out.y) ||
          !ValueAt(engine, pCurve->trees[4].get(), pVar, sv, dx) || !ValueAt(engine, pCurve->trees[5].get(), pVar, sv, dy))
        return false;
      d1 = {dx, dy};
      // Segments end: crossings beyond them belong to the line only.
      if (m == 1 && fCurve->kind == kKindSegment && !WithinRange(out.x, fGeometry.lo, fGeometry.hi)) return false;
      if (m == 5 && vGeometry.bounded && !WithinRange(out.y, vGeometry.lo, vGeometry.hi)) return false;
    } else if (m == 6) {
      out.x = xv;
      out.y = sv;
      d1 = {0, 1};
    } else if (m == 4) {
      out.x = xv;
      if (!ValueAt(engine, fTree, tok::X, xv, out.y)) return false;
      d1 = {0, 1};
      if (fCurve->kind == kKindExplicit && !WithinRange(xv, fCurve->lowerBound.x, fCurve->upperBound.x)) return false;
      if (fCurve->kind == kKindSegment && !WithinRange(xv, fGeometry.lo, fGeometry.hi)) return false;
      if (vGeometry.bounded && !(out.y > vGeometry.lo && out.y < vGeometry.hi)) return false;
    } else {
      TEquation& graph = code < 8 ? a : b;
      out.x = sv;
      if (!ValueAt(engine, FunctionTree(graph), tok::X, sv, out.y) ||
          !ValueAt(engine, graph.trees[5].get(), tok::X, sv, slope))
        return false;
      d1 = {1, slope};
    }
    if (m == 2 || m == 3 || m == 6) {
      long double fx, fy;
      if (!ValueAtPoint(engine, oCurve->trees[4].get(), out.x, out.y, fx) ||
          !ValueAtPoint(engine, oCurve->trees[5].get(), out.x, out.y, fy))
        return false;
      d2 = {-fy, fx};
    } else if (m == 5) {
      d2 = {0, 1};
    } else {
      TEquation& graph = code == 1 || code == 12 ? a : b;
      if (!ValueAt(engine, graph.trees[5].get(), tok::X, out.x, slope)) return false;
      d2 = {1, slope};
    }
    out.angle = AngleBetween(d1, d2);
    return Finite(out.angle);
  };

  if (atOnce) return fTree && vCurve && computePoint(xv) ? kScanFound : kScanNone;
  if (!difference) return kScanNone;
  TreePtr derivative;
  if (!Differentiate(difference.get(), letter, derivative)) derivative.reset();
  TCellScan scan;
  scan.tree = difference.get();
  scan.derivative = derivative.get();
  scan.letter = letter;
  scan.lo = lo;
  scan.hi = hi;
  scan.doubleZeroLimit = kZeroValue;
  scan.accept = computePoint;
  scan.refusalEnds = true;
  long double sv = 0;
  return ScanCells(engine, scan, state.counter, sv, stop);
}

}  // namespace kv
