#include "plot3d/model/intersection_curve.h"

#include <algorithm>
#include <cmath>

#include "formula/calculus.h"
#include "formula/tree_builders.h"
#include "plot3d/model/evaluate.h"

namespace kv {

namespace {

constexpr long double kTiny = 1e-16L;

TreePtr Own(TExprNode* t) { return TreePtr(t); }
TreePtr Copy(const TreePtr& t) { return TreePtr(CloneTree(t.get())); }
TreePtr Number(long double v) { return TreePtr(NewNumberNode(TComplex(v))); }
TreePtr Letter(int letter) { return TreePtr(NewLetterNode(letter)); }

// The letter of coordinate v (1 x, 2 y, 3 z).
int CoordinateLetter(int v) { return v == 1 ? 'X' : v == 2 ? 'Y' : 'Z'; }

bool Sample(TEquation& plane, TFormulaEngine& engine, long double t, long double u, TPoint3D& p) {
  engine.SetVariable('T', t);
  engine.SetVariable('U', u);
  auto& tr = plane.trees;
  return EvaluateRealPart(engine, tr[0].get(), p.x) && EvaluateRealPart(engine, tr[1].get(), p.y) &&
         EvaluateRealPart(engine, tr[2].get(), p.z);
}

// The normals of the plane sources: the stored one while a file is read
// (when there is one), else the plane's own.
bool PlaneNormal(const TEquation& plane, TFormulaEngine& engine, const TPoint3D& stored, bool useStored,
                 TPlaneForm& out) {
  const bool ok = PlaneFormOf(plane, engine, out);
  if (useStored && (stored.x != 0 || stored.y != 0 || stored.z != 0)) {
    out.normal = stored;
    return true;
  }
  return ok;
}

std::array<TreePtr, 3> NumberTriple(const TPoint3D& p) { return {Number(p.x), Number(p.y), Number(p.z)}; }

std::array<TreePtr, 3> CopiesOf(const TEquation& e, int first) {
  return {Copy(e.trees[static_cast<std::size_t>(first)]), Copy(e.trees[static_cast<std::size_t>(first + 1)]),
          Copy(e.trees[static_cast<std::size_t>(first + 2)])};
}

bool Complete(const std::array<TreePtr, 3>& t) { return t[0] && t[1] && t[2]; }

}  // namespace

bool IsIntersectionCode(int code) { return (code >= 143 && code <= 147) || (code >= 152 && code <= 154); }

bool IsIntersectableKind(int kind) {
  return kind == kKindSurface || kind == kKindParametricSurface || kind == kKindImplicitSurface ||
         kind == kKindPlane;
}

int OrderSurfacePair(int firstIndex, int firstKind, int secondIndex, int secondKind, TSurfacePair& out) {
  if (firstIndex == secondIndex) return 23;
  if (!IsIntersectableKind(firstKind) || !IsIntersectableKind(secondKind)) return 1;
  if (firstKind == secondKind &&
      (firstKind == kKindParametricSurface || firstKind == kKindImplicitSurface))
    return 1;
  const bool exchange = secondKind == kKindImplicitSurface ||
                        (firstKind == kKindSurface && secondKind == kKindPlane) ||
                        firstKind == kKindParametricSurface;
  if (exchange) {
    std::swap(firstIndex, secondIndex);
    std::swap(firstKind, secondKind);
  }
  std::int16_t code = 0;
  switch (firstKind * 1000 + secondKind) {
    case kKindSurface * 1000 + kKindSurface: code = kCurveExplicitExplicit; break;
    case kKindImplicitSurface * 1000 + kKindSurface: code = kCurveImplicitExplicit; break;
    case kKindPlane * 1000 + kKindSurface: code = kCurvePlaneExplicit; break;
    case kKindImplicitSurface * 1000 + kKindPlane: code = kCurveImplicitPlane; break;
    case kKindPlane * 1000 + kKindPlane: code = kCurvePlanePlane; break;
    case kKindSurface * 1000 + kKindParametricSurface: code = kCurveExplicitParametric; break;
    case kKindImplicitSurface * 1000 + kKindParametricSurface: code = kCurveImplicitParametric; break;
    case kKindPlane * 1000 + kKindParametricSurface: code = kCurvePlaneParametric; break;
    default: return 1;
  }
  out = {firstIndex, secondIndex, code};
  return 0;
}

bool PlaneFormOf(const TEquation& plane, TFormulaEngine& engine, TPlaneForm& out) {
  out = {};
  TPoint3D p0, p1, pr;
  const std::size_t row = static_cast<std::size_t>(std::max<int>(plane.divisions[1], 0)) + 1;
  if (plane.samples.size() > row && plane.samples.size() >= 2) {
    p0 = plane.samples[0];
    p1 = plane.samples[1];
    pr = plane.samples[row];
  } else {
    // The same points from the coordinate trees: the grid's first point,
    // one step in the second parameter, one step in the first.
    TEquation& e = const_cast<TEquation&>(plane);
    const TEngineVariableGuard guard(engine);
    const int nu = std::max<int>(plane.divisions[0], 1);
    const int nv = std::max<int>(plane.divisions[1], 1);
    const long double u0 = plane.lowerBound.x;
    const long double v0 = plane.lowerBound.y;
    const long double du = (plane.upperBound.x - u0) / nu;
    const long double dv = (plane.upperBound.y - v0) / nv;
    if (!Sample(e, engine, u0, v0, p0) || !Sample(e, engine, u0, v0 + dv, p1) || !Sample(e, engine, u0 + du, v0, pr))
      return false;
  }
  out.point = p0;
  const TPoint3D a{p1.x - p0.x, p1.y - p0.y, p1.z - p0.z};
  const TPoint3D b{pr.x - p0.x, pr.y - p0.y, pr.z - p0.z};
  TPoint3D n;
  Cross3D(n, a, b);
  const long double m = std::max({std::fabs(n.x), std::fabs(n.y), std::fabs(n.z)});
  if (!(m > kTiny) || !std::isfinite(m)) return false;
  out.normal = {n.x / m, n.y / m, n.z / m};
  return true;
}

TExprNode* BuildPlaneFormTree(const TPlaneForm& plane) {
  const TPoint3D& n = plane.normal;
  auto term = [](long double c, int letter) {
    return NewBinaryNode(tok::Times, NewNumberNode(TComplex(c)), NewLetterNode(letter));
  };
  TExprNode* s = NewBinaryNode(tok::Plus, term(n.x, 'X'), term(n.y, 'Y'));
  s = NewBinaryNode(tok::Plus, s, term(n.z, 'Z'));
  return NewBinaryNode(tok::Minus, s, NewNumberNode(TComplex(Dot3D(n, plane.point))));
}

TExprNode* SolvePlaneForm(const TPlaneForm& plane, int& v) {
  const TPoint3D& n = plane.normal;
  const long double d = Dot3D(n, plane.point);
  const long double c[3] = {n.x, n.y, n.z};
  for (v = 3; v >= 1; --v) {
    const long double nv = c[v - 1];
    if (!(std::fabs(nv) > kTiny)) continue;
    // v = (d - the other two terms) / nv
    TExprNode* s = NewNumberNode(TComplex(d / nv));
    for (int k = 1; k <= 3; ++k) {
      if (k == v || c[k - 1] == 0) continue;
      TExprNode* term = NewBinaryNode(tok::Times, NewNumberNode(TComplex(c[k - 1] / nv)),
                                      NewLetterNode(CoordinateLetter(k)));
      s = NewBinaryNode(tok::Minus, s, term);
    }
    return s;
  }
  v = 3;
  return NewNumberNode(TComplex(0));
}

bool BuildIntersectionCurve(TEquation& curve, const TEquation& a, const TEquation& b, TFormulaEngine& engine,
                            bool useStoredNormals) {
  auto& t = curve.trees;
  for (TreePtr& tree : t) tree.reset();
  const int code = curve.derivation;
  if (!IsIntersectionCode(code)) return false;
  curve.termCount = 0;
  curve.lowerBound = {0, 0};
  curve.upperBound = {1, 1};
  // The box: where both sources' boxes overlap (possibly empty).
  Max3D(a.boxMin(), b.boxMin(), curve.boxMin());
  Min3D(a.boxMax(), b.boxMax(), curve.boxMax());

  if (code <= kCurvePlanePlane) {
    // The direction of the curve, N1 × N2.
    std::array<TreePtr, 3> n1;
    std::array<TreePtr, 3> n2;
    TPlaneForm planeA, planeB;
    const bool aPlane = code == kCurvePlaneExplicit || code == kCurvePlanePlane;
    const bool bPlane = code == kCurveImplicitPlane || code == kCurvePlanePlane;
    if (aPlane) {
      PlaneNormal(a, engine, curve.values[7], useStoredNormals, planeA);
      curve.values[7] = planeA.normal;
      n1 = NumberTriple(planeA.normal);
    } else {
      n1 = CopiesOf(a, 4);
    }
    if (bPlane) {
      PlaneNormal(b, engine, curve.values[8], useStoredNormals, planeB);
      curve.values[8] = planeB.normal;
      n2 = NumberTriple(planeB.normal);
    } else {
      n2 = CopiesOf(b, 4);
    }
    if (Complete(n1) && Complete(n2)) {
      const TExprNode* x[3] = {n1[0].get(), n1[1].get(), n1[2].get()};
      const TExprNode* y[3] = {n2[0].get(), n2[1].get(), n2[2].get()};
      TExprNode* cross[3] = {nullptr, nullptr, nullptr};
      BuildCrossProduct(cross, x, y);
      for (std::size_t k = 0; k < 3; ++k) t[4 + k] = Own(cross[k]);
    }
    const TreePtr& g = b.trees[2];
    TreePtr lift;
    int v = 3;
    switch (code) {
      case kCurveExplicitExplicit:
        if (!a.trees[2] || !g) return false;
        t[3] = Own(BuildBinary(tok::Minus, a.trees[2].get(), g.get()));
        lift = Copy(g);
        break;
      case kCurveImplicitExplicit:
        if (!a.trees[3] || !g) return false;
        t[3] = Own(CloneAndSubstitute(a.trees[3].get(), tok::Z, g.get()));
        lift = Copy(g);
        break;
      case kCurvePlaneExplicit: {
        if (!g) return false;
        TreePtr e = Own(BuildPlaneFormTree(planeA));
        t[3] = Own(CloneAndSubstitute(e.get(), tok::Z, g.get()));
        lift = Copy(g);
        break;
      }
      case kCurveImplicitPlane: {
        if (!a.trees[3]) return false;
        TreePtr s = Own(SolvePlaneForm(planeB, v));
        t[3] = Own(CloneAndSubstitute(a.trees[3].get(), CoordinateLetter(v), s.get()));
        lift = std::move(s);
        break;
      }
      case kCurvePlanePlane: {
        // The second plane solved for one coordinate lifts the curve; the
        // first, with that coordinate replaced, is G.
        TreePtr e = Own(BuildPlaneFormTree(planeA));
        TreePtr s = Own(SolvePlaneForm(planeB, v));
        t[3] = Own(CloneAndSubstitute(e.get(), CoordinateLetter(v), s.get()));
        lift = std::move(s);
        break;
      }
      default:
        return false;
    }
    curve.termCount = static_cast<std::int16_t>(v - 3);
    // The drawing reads the lift from tree 2 + termCount.
    t[static_cast<std::size_t>(v - 1)] = std::move(lift);
    return t[3] != nullptr;
  }

  // Codes 152-154: B is parametric.
  if (!b.trees[0] || !b.trees[1] || !b.trees[2]) return false;
  TreePtr h;
  switch (code) {
    case kCurveExplicitParametric: {
      if (!a.trees[2]) return false;
      TreePtr z = Letter('Z');
      h = Own(BuildBinary(tok::Minus, a.trees[2].get(), z.get()));
      break;
    }
    case kCurveImplicitParametric:
      if (!a.trees[3]) return false;
      h = Copy(a.trees[3]);
      break;
    case kCurvePlaneParametric: {
      TPlaneForm planeA;
      PlaneNormal(a, engine, curve.values[7], useStoredNormals, planeA);
      curve.values[7] = planeA.normal;
      h = Own(BuildPlaneFormTree(planeA));
      break;
    }
    default:
      return false;
  }
  for (std::size_t k = 0; k < 3; ++k) t[k] = Copy(b.trees[k]);
  curve.lowerBound = b.lowerBound;
  curve.upperBound = b.upperBound;
  const int xyz[3] = {tok::X, tok::Y, tok::Z};
  const TExprNode* coords[3] = {b.trees[0].get(), b.trees[1].get(), b.trees[2].get()};
  TreePtr onSurface = Own(CloneAndSubstituteAll(h.get(), xyz, coords, 3));
  // t read as x and u as y.
  TreePtr x = Letter('X');
  TreePtr y = Letter('Y');
  const int tu[2] = {tok::T, tok::U};
  const TExprNode* plane[2] = {x.get(), y.get()};
  t[3] = Own(CloneAndSubstituteAll(onSurface.get(), tu, plane, 2));
  if (!t[3]) return false;
  Differentiate(t[3].get(), 'X', t[4]);
  Differentiate(t[3].get(), 'Y', t[5]);
  t[6] = Number(0);
  return true;
}

TLevelPlane IntersectionCurvePlane(const TEquation& curve) {
  TLevelPlane p;
  p.axis = curve.derivation >= kCurveExplicitParametric ? kLevelAxisZ : CheckedLevelAxis(kLevelAxisZ + curve.termCount);
  p.level = 0;
  return p;
}

TSegment2D IntersectionSearchBox(const TEquation& curve) {
  if (curve.derivation >= kCurveExplicitParametric)
    return {std::min(curve.lowerBound.x, curve.upperBound.x), std::max(curve.lowerBound.x, curve.upperBound.x),
            std::min(curve.lowerBound.y, curve.upperBound.y), std::max(curve.lowerBound.y, curve.upperBound.y)};
  const TLevelPlane plane = IntersectionCurvePlane(curve);
  const TPoint2D lo = plane.ToPlane(curve.boxMin());
  const TPoint2D hi = plane.ToPlane(curve.boxMax());
  return {lo.x, hi.x, lo.y, hi.y};
}

bool LiftIntersectionPoint(TEquation& curve, TFormulaEngine& engine, const TPoint2D& q, TPoint3D& out) {
  auto& t = curve.trees;
  if (curve.derivation >= kCurveExplicitParametric) {
    engine.SetVariable('T', q.x);
    engine.SetVariable('U', q.y);
    return EvaluateRealPart(engine, t[0].get(), out.x) && EvaluateRealPart(engine, t[1].get(), out.y) &&
           EvaluateRealPart(engine, t[2].get(), out.z);
  }
  const TLevelPlane plane = IntersectionCurvePlane(curve);
  TPoint3D p = plane.ToSpace(q);
  SetSpacePoint(engine, p.x, p.y, p.z);
  const int k = plane.FixedCoordinate();
  long double value = 0;
  if (!EvaluateRealPart(engine, t[static_cast<std::size_t>(k)].get(), value)) return false;
  (k == 0 ? p.x : k == 1 ? p.y : p.z) = value;
  out = p;
  return true;
}

}  // namespace kv
