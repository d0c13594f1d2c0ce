#include "plot3d/model/slice_items.h"

#include "formula/calculus.h"
#include "formula/formula_text.h"
#include "formula/tree_builders.h"

namespace kv {

namespace {

TreePtr Own(TExprNode* t) { return TreePtr(t); }
TreePtr Letter(int letter) { return TreePtr(NewLetterNode(letter)); }
TreePtr Number(long double v) { return TreePtr(NewNumberNode(TComplex(v))); }

TreePtr Deriv(const TExprNode* t, int letter) {
  TreePtr d;
  if (!t || !Differentiate(t, letter, d)) return nullptr;
  return d;
}

using Triple = std::array<TreePtr, 3>;

bool Complete(const Triple& t) { return t[0] && t[1] && t[2]; }

Triple Cross(const Triple& a, const Triple& b) {
  const TExprNode* x[3] = {a[0].get(), a[1].get(), a[2].get()};
  const TExprNode* y[3] = {b[0].get(), b[1].get(), b[2].get()};
  TExprNode* c[3] = {nullptr, nullptr, nullptr};
  BuildCrossProduct(c, x, y);
  return {Own(c[0]), Own(c[1]), Own(c[2])};
}

}  // namespace

bool BuildSliceTexts(const TEquation& source, int code, int direction, long double p, long double q, int letterP,
                     int letterQ, std::array<std::string, kFormulaSlots>& texts) {
  if (code != kDerivedSlicePlane && code != kDerivedSliceCross) return false;
  int pl = 'T';
  int ql = 'U';
  Triple point;
  Triple d1;
  Triple d2;
  const auto& t = source.trees;
  switch (source.kind) {
    case kKindSurface: {
      pl = 'X';
      ql = 'Y';
      if (!t[2]) return false;
      point = {Letter('X'), Letter('Y'), TreePtr(CloneTree(t[2].get()))};
      d1 = {Number(1), Number(0), Deriv(t[2].get(), 'X')};
      d2 = {Number(0), Number(1), Deriv(t[2].get(), 'Y')};
      break;
    }
    case kKindCylinderSurface: {
      pl = 'R';
      ql = 'T';
      if (!t[2]) return false;
      TreePtr r = Letter('R');
      TreePtr a = Letter('T');
      TreePtr c = Own(BuildFunction(tok::Cos, a.get()));
      TreePtr s = Own(BuildFunction(tok::Sin, a.get()));
      point = {Own(BuildBinary(tok::Times, r.get(), c.get())), Own(BuildBinary(tok::Times, r.get(), s.get())),
               TreePtr(CloneTree(t[2].get()))};
      d1 = {TreePtr(CloneTree(c.get())), TreePtr(CloneTree(s.get())), Deriv(t[2].get(), 'R')};
      TreePtr rs = Own(BuildBinary(tok::Times, r.get(), s.get()));
      d2 = {Own(NegateTree(rs.get())), Own(BuildBinary(tok::Times, r.get(), c.get())), Deriv(t[2].get(), 'T')};
      break;
    }
    case kKindParametricSurface:
    case kKindPlane:
    case kKindSphericalSurface:
      if (!t[0] || !t[1] || !t[2]) return false;
      for (std::size_t k = 0; k < 3; ++k) {
        point[k] = TreePtr(CloneTree(t[k].get()));
        d1[k] = Deriv(t[k].get(), 'T');
        d2[k] = Deriv(t[k].get(), 'U');
      }
      break;
    default:
      return false;
  }
  if (!Complete(point) || !Complete(d1) || !Complete(d2)) return false;
  Triple vector;
  if (code == kDerivedSlicePlane) {
    vector = Cross(d1, d2);
  } else {
    vector = std::move(direction == 2 ? d2 : d1);
  }
  if (!Complete(vector)) return false;
  // The point of the domain: the values, or the letters the entry follows.
  TreePtr pv = letterP >= 1 && letterP <= 26 ? Letter(letterP) : Number(p);
  TreePtr qv = letterQ >= 1 && letterQ <= 26 ? Letter(letterQ) : Number(q);
  const int tokens[2] = {LetterToken(pl), LetterToken(ql)};
  const TExprNode* values[2] = {pv.get(), qv.get()};
  auto at = [&](const TreePtr& tree, std::string& text) {
    TreePtr s = Own(CloneAndSubstituteAll(tree.get(), tokens, values, 2));
    if (!s) return false;
    Simplify(s.get());
    return TreeToText(s.get(), text) && text.size() < kFormulaTextSize;
  };
  texts = {};
  std::array<std::string, 3> pt;
  std::array<std::string, 3> vt;
  for (std::size_t k = 0; k < 3; ++k)
    if (!at(point[k], pt[k]) || !at(vector[k], vt[k])) return false;
  if (code == kDerivedSlicePlane) {
    for (std::size_t k = 0; k < 3; ++k) texts[k] = vt[k];
    texts[3] = pt[0] + "," + pt[1] + "," + pt[2];
    if (texts[3].size() >= kFormulaTextSize) return false;
    return true;
  }
  for (std::size_t k = 0; k < 3; ++k) {
    texts[k] = "(" + pt[k] + ")+t*(" + vt[k] + ")";
    if (texts[k].size() >= kFormulaTextSize) return false;
  }
  return true;
}

}  // namespace kv
