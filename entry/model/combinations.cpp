#include "entry/model/combinations.h"

#include <algorithm>
#include <array>
#include <initializer_list>

#include "formula/tokens.h"
#include "formula/tree_builders.h"
#include "plotcore/model/compile_equation.h"

namespace kv {

namespace {

bool KindIn(int kind, std::initializer_list<int> kinds) {
  return std::find(kinds.begin(), kinds.end(), kind) != kinds.end();
}

// The tree slots a binary operator combines, by the combined entry's kind.
bool CombinesSlot(int kind, int slot) {
  switch (slot) {
    case 0:
      return KindIn(kind, {203, 210, 212, 304, 310, 312, 401, 402});
    case 1:
      return KindIn(kind, {201, 203, 210, 212, 304, 310, 312, 402});
    case 2:
      return KindIn(kind, {202, 204, 211, 301, 304, 310, 312});
    case 3:
      return kind == 305;
    default:
      return false;
  }
}

using Trees = std::array<TreePtr, kFormulaSlots>;

TreePtr Own(TExprNode* t) { return TreePtr(t); }

// Parallel (150) or perpendicular (151) parts of field a along field b.
bool BuildProjectionTrees(Trees& out, int code, const TEquation& f, const TEquation& g, int dimension) {
  const int n = dimension == 3 ? 3 : 2;
  const TExprNode* a[3] = {};
  const TExprNode* b[3] = {};
  for (int j = 0; j < n; ++j) {
    a[j] = f.trees[static_cast<std::size_t>(j)].get();
    b[j] = g.trees[static_cast<std::size_t>(j)].get();
    if (!a[j] || !b[j]) return false;
  }
  TreePtr ab, bb;
  if (n == 3) {
    ab = Own(BuildDotProduct3(a, b));
    bb = Own(BuildDotProduct3(b, b));
  } else {
    ab = Own(BuildSumOfProducts(a[0], b[0], a[1], b[1]));
    bb = Own(BuildSumOfProducts(b[0], b[0], b[1], b[1]));
  }
  const TreePtr s = Own(BuildQuotient(ab.get(), bb.get()));
  for (int j = 0; j < n; ++j) {
    TreePtr p = Own(BuildBinary(tok::Times, s.get(), b[j]));
    out[static_cast<std::size_t>(j)] =
        code == kComboParallel ? std::move(p) : Own(BuildBinary(tok::Minus, a[j], p.get()));
  }
  return true;
}

bool BuildCrossProductTrees(Trees& out, const TEquation& f, const TEquation& g) {
  const TExprNode* a[3] = {};
  const TExprNode* b[3] = {};
  for (std::size_t j = 0; j < 3; ++j) {
    a[j] = f.trees[j].get();
    b[j] = g.trees[j].get();
    if (!a[j] || !b[j]) return false;
  }
  TExprNode* r[3] = {};
  BuildCrossProduct(r, a, b);
  for (std::size_t j = 0; j < 3; ++j) out[j] = Own(r[j]);
  return true;
}

// f(g): g's coordinate trees put in for f's variables on copies, all at
// once, so that a swap of X and Y stays a swap.  A complex mapping z ==> F(z)
// takes the curve's points as z = x(t) + i·y(t) and gives the image curve
// (Re F, Im F).
bool BuildCompositionTrees(Trees& out, int kind, const TEquation& f, const TEquation& g) {
  auto tree = [](const TEquation& e, int k) { return e.trees[static_cast<std::size_t>(k)].get(); };
  if (kind == kKindParametric && f.kind == kKindComplexMap) {
    if (!tree(f, 0) || !tree(g, 0) || !tree(g, 1)) return false;
    const TreePtr i = Own(NewNumberNode(TComplex(0, 1)));
    const TreePtr iy = Own(BuildBinary(tok::Times, i.get(), tree(g, 1)));
    const TreePtr z = Own(BuildBinary(tok::Plus, tree(g, 0), iy.get()));
    const TreePtr image = Own(CloneAndSubstitute(tree(f, 0), tok::Z, z.get()));
    out[0] = Own(BuildFunction(tok::Re, image.get()));
    out[1] = Own(BuildFunction(tok::Im, image.get()));
    return true;
  }
  switch (kind) {
    case kKindExplicit:
      if (!tree(f, 1) || !tree(g, 1)) return false;
      out[1] = Own(CloneAndSubstitute(tree(f, 1), tok::X, tree(g, 1)));
      return true;
    case kKindComplexMap:
      if (!tree(f, 0) || !tree(g, 0)) return false;
      out[0] = Own(CloneAndSubstitute(tree(f, 0), tok::Z, tree(g, 0)));
      return true;
    case kKindPlaneMap:
    case kKindParametric: {
      if (!tree(f, 0) || !tree(f, 1) || !tree(g, 0) || !tree(g, 1)) return false;
      const int tokens[2] = {tok::X, tok::Y};
      const TExprNode* const by[2] = {tree(g, 0), tree(g, 1)};
      for (int j = 0; j < 2; ++j) out[static_cast<std::size_t>(j)] = Own(CloneAndSubstituteAll(tree(f, j), tokens, by, 2));
      return true;
    }
    default:
      return false;
  }
}

bool BuildOperatorTrees(Trees& out, int code, int kind, const TEquation& f, const TEquation& g) {
  bool any = false;
  for (int slot = 0; slot < 4; ++slot) {
    if (!CombinesSlot(kind, slot)) continue;
    const TExprNode* a = f.trees[static_cast<std::size_t>(slot)].get();
    const TExprNode* b = g.trees[static_cast<std::size_t>(slot)].get();
    if (!a || !b) return false;
    out[static_cast<std::size_t>(slot)] = Own(BuildBinary(code, a, b));
    any = true;
  }
  return any;
}

// The trees the drawers take from the combined ones: the Cartesian form of
// a polar curve, the distance tree of a parametric one.
void CompleteCombinedTrees(TEquation& e) {
  auto& t = e.trees;
  if (e.kind == kKindPolar && t[2]) {
    const TreePtr angle = Own(NewLetterNode('T'));
    TExprNode* x = nullptr;
    TExprNode* y = nullptr;
    BuildPolarToCartesian(t[2].get(), angle.get(), x, y);
    t[0] = Own(x);
    t[1] = Own(y);
  } else if (e.kind == kKindParametric && t[0] && t[1]) {
    t[2] = Own(BuildHypot3(t[0].get(), t[1].get(), nullptr));
  }
}

// Narrows [lo, hi] to the other interval; an empty result becomes [0, 1].
bool IntersectInterval(long double& lo, long double& hi, long double otherLo, long double otherHi) {
  lo = std::max(lo, otherLo);
  hi = std::min(hi, otherHi);
  if (hi < lo + 1e-13L) {
    lo = 0;
    hi = 1;
    return false;
  }
  return true;
}

}  // namespace

bool IsCombinationCode(int code) {
  return KindIn(code, {kComboProduct, kComboSum, kComboDifference, kComboQuotient, kComboPower,
                       kComboCrossProduct, kComboParallel, kComboPerpendicular, kComboComposition});
}

bool AreVectorFields(int fKind, int gKind) { return fKind == gKind && (fKind == kKindOde || fKind == kKindOde3D); }

bool CombinationButtonEnabled(int button, int fKind, int gKind, int dimension) {
  switch (button) {
    case kComboButtonSum:
    case kComboButtonDifference:
    case kComboButtonProduct:
      return fKind == gKind;
    case kComboButtonQuotient:
    case kComboButtonPower:
      if (fKind != gKind) return false;
      if (dimension != 3 && (fKind == kKindParametric || fKind == kKindSequence)) return false;
      return fKind <= 300 || fKind == kKindOde3D;
    case kComboButtonComposition: {
      const std::pair<int, int> pairs[] = {{310, 310}, {312, 312}, {401, 203}, {401, 401},
                                           {402, 203}, {402, 402}, {201, 201}};
      return std::find(std::begin(pairs), std::end(pairs), std::pair<int, int>{fKind, gKind}) != std::end(pairs);
    }
    default:
      return false;
  }
}

int CombinationCode(int button, int fKind) {
  const bool field = fKind == kKindOde || fKind == kKindOde3D;
  switch (button) {
    case kComboButtonSum:
      return kComboSum;
    case kComboButtonDifference:
      return kComboDifference;
    case kComboButtonProduct:
      return kComboProduct;
    case kComboButtonQuotient:
      return field ? kComboParallel : kComboQuotient;
    case kComboButtonPower:
      return field ? kComboPerpendicular : kComboPower;
    case kComboButtonComposition:
      return fKind == kKindOde3D || fKind == kKindSequence3D ? kComboCrossProduct : kComboComposition;
    default:
      return 0;
  }
}

int CombinedKind(int code, int fKind, int gKind) {
  if (code == kComboComposition && (fKind == kKindComplexMap || fKind == kKindPlaneMap) && gKind == kKindParametric)
    return gKind;
  return fKind;
}

void PrepareCombinedEquation(TEquation& e, int code, const TEquation& f, int fIndex, const TEquation& g,
                             int gIndex) {
  const int kind = CombinedKind(code, f.kind, g.kind);
  const TEquation& model = kind == f.kind ? f : g;
  InitEquation(e, kind, model.penColour, 50);
  CopyEquation(e, model);
  ClearEquationItems(e);
  FreeResultPoints(e);
  if (e.kind == kKindExplicit) {
    ResetEquationOptions(e);
    e.bounded = g.bounded;
    e.lowerBound = g.lowerBound;
    e.upperBound = g.upperBound;
  }
  e.source1 = static_cast<std::int16_t>(fIndex);
  e.source2 = static_cast<std::int16_t>(gIndex);
  e.derivation = static_cast<std::int16_t>(code);
}

bool RebuildCombinedTrees(TEquation& e, const TEquation& f, const TEquation& g, int dimension) {
  const int code = e.derivation;
  Trees built;
  bool ok = false;
  if (code == kComboParallel || code == kComboPerpendicular) {
    ok = BuildProjectionTrees(built, code, f, g, dimension);
  } else if (code == kComboCrossProduct) {
    ok = BuildCrossProductTrees(built, f, g);
  } else if (code == kComboComposition) {
    ok = BuildCompositionTrees(built, e.kind, f, g);
  } else if (IsCombinationCode(code)) {
    ok = BuildOperatorTrees(built, code, e.kind, f, g);
  }
  if (!ok) return false;
  for (std::size_t k = 0; k < built.size(); ++k)
    if (built[k]) e.trees[k] = std::move(built[k]);
  if (code == kComboParallel || code == kComboPerpendicular || code == kComboCrossProduct) return true;
  CompleteCombinedTrees(e);
  BuildDerivativeTrees(e);
  if (e.kind == kKindExplicit) BuildCurvatureTrees(e);
  // The combination exists where both operands do; a mapping's image of a
  // curve keeps the curve's interval.
  if (f.kind != g.kind) return true;
  TPoint2D lo = f.lowerBound;
  TPoint2D hi = f.upperBound;
  bool nonEmpty = IntersectInterval(lo.x, hi.x, g.lowerBound.x, g.upperBound.x);
  if (dimension == 3 && !IntersectInterval(lo.y, hi.y, g.lowerBound.y, g.upperBound.y)) nonEmpty = false;
  e.lowerBound = lo;
  e.upperBound = hi;
  if (!nonEmpty) e.visible = 0;
  return true;
}

}  // namespace kv
