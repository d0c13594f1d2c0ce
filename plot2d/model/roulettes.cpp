#include "plot2d/model/roulettes.h"

#include <cmath>

#include "formula/calculus.h"
#include "formula/tree_builders.h"
#include "plotcore/model/compile_equation.h"

namespace kv {

namespace {

TreePtr Own(TExprNode* t) { return TreePtr(t); }
TreePtr Copy(const TExprNode* t) { return t ? Own(CloneTree(t)) : nullptr; }
TreePtr Bin(int token, const TExprNode* a, const TExprNode* b) { return Own(BuildBinary(token, a, b)); }

// The letter a curve of this record runs in: T, or a parametric curve's own.
int CurveLetter(const TEquation& e) {
  if (e.kind == kKindExplicit) return 'X';
  if (e.kind == kKindParametric && e.arrowMode > 0 && e.arrowMode < tok::kVariableCount) return e.arrowMode;
  return 'T';
}

// A curve entry's first derivatives x', y' in its letter (trees 4 and 5 of
// the compiled record; an explicit curve x = X has x' = 1, y' tree 5).
bool FirstDerivatives(const TEquation& e, TreePtr& dx, TreePtr& dy) {
  if (e.kind == kKindExplicit) {
    dx = Own(NewNumberNode(TComplex(1)));
    dy = Copy(e.trees[5].get());
  } else {
    dx = Copy(e.trees[4].get());
    dy = Copy(e.trees[5].get());
  }
  return dx && dy;
}

void CompleteCurveTrees(TEquation& e) {
  auto& t = e.trees;
  for (std::size_t k = 3; k < t.size(); ++k) t[k].reset();
  if (e.kind == kKindPolar) {
    if (!t[2]) return;
    TreePtr tt = Own(NewLetterNode('T'));
    TExprNode* x = nullptr;
    TExprNode* y = nullptr;
    BuildPolarToCartesian(t[2].get(), tt.get(), x, y);
    t[0] = Own(x);
    t[1] = Own(y);
  } else if (e.kind == kKindParametric && t[0] && t[1]) {
    t[2] = Own(BuildHypot3(t[0].get(), t[1].get(), nullptr));
  }
  BuildDerivativeTrees(e);
  BuildCurvatureTrees(e);
  for (TreePtr& tree : t)
    if (tree) Simplify(tree.get());
}

}  // namespace

bool IsRouletteSourceKind(int kind) {
  return kind == kKindExplicit || kind == kKindPolar || kind == kKindParametric;
}

bool BuildRouletteTrees(TEquation& r, const TEquation& s) {
  auto& t = r.trees;
  for (TreePtr& tree : t) tree.reset();
  TreePtr dx, dy;
  if (!s.trees[1] || !FirstDerivatives(s, dx, dy)) return false;
  t[1] = Copy(s.trees[1].get());
  t[4] = std::move(dx);
  t[5] = std::move(dy);
  if (s.kind == kKindExplicit) {
    t[0] = Own(NewLetterNode('T'));
    RenameXToT(t[1].get());
    RenameXToT(t[5].get());
  } else {
    if (!s.trees[0]) return false;
    t[0] = Copy(s.trees[0].get());
    // A parametric curve in a letter of its own rolls in T.
    const int v = CurveLetter(s);
    if (v != 'T') {
      TreePtr tt = Own(NewLetterNode('T'));
      for (std::size_t k : {0u, 1u, 4u, 5u}) t[k] = Own(CloneAndSubstitute(t[k].get(), LetterToken(v), tt.get()));
    }
  }
  return true;
}

void SetRouletteGeometry(TEquation& r, long double start, long double radius, long double arm, bool leftSide) {
  r.values[4] = {start, radius, arm};
  r.values[5] = {1 / radius, arm / radius, 0};
  r.kindFlag = leftSide ? 1 : 0;
}

bool RoulettePenPoint(const TPoint2D& q, const TPoint2D& v, long double s, long double radius,
                      long double rollFactor, long double armFactor, bool leftSide, bool reverse, TPoint2D& pen) {
  const long double len = std::hypot(v.x, v.y);
  if (!(len > 1e-300L) || !std::isfinite(len)) return false;
  const long double k = radius / len;
  const TPoint2D w{v.x * k, v.y * k};
  // The normal from the centre to the point of contact: the centre lies
  // on the left of v or on its right.
  const TPoint2D n = leftSide ? TPoint2D{w.y, -w.x} : TPoint2D{-w.y, w.x};
  const TPoint2D centre{q.x - n.x, q.y - n.y};
  long double phi = rollFactor * s;
  if (reverse) phi = -phi;
  if (leftSide) phi = -phi;
  const long double c = std::cos(phi);
  const long double sn = std::sin(phi);
  pen = {centre.x + armFactor * (n.x * c - n.y * sn), centre.y + armFactor * (n.x * sn + n.y * c)};
  return true;
}

int RoulettePoint(TFormulaEngine& engine, TEquation& e, long double& s, const TPoint2D& prevQ, TPoint2D& q,
                  TPoint2D& pen, bool reverse) {
  auto& t = e.trees;
  if (!t[0] || !t[1] || !t[4] || !t[5]) return kFormulaNotUnderstood;
  if (!engine.Evaluate(t[0].get()) || !engine.Evaluate(t[1].get())) return kFormulaNotUnderstood;
  q = {t[0]->value.re, t[1]->value.re};
  if (!engine.Evaluate(t[4].get()) || !engine.Evaluate(t[5].get())) return kFormulaNotUnderstood;
  const TPoint2D v{t[4]->value.re, t[5]->value.re};
  if (v.x * v.x + v.y * v.y < 1e-32L) return 114;
  if (s >= 0) {
    const long double dx = q.x - prevQ.x;
    const long double dy = q.y - prevQ.y;
    const long double d2 = dx * dx + dy * dy;
    if (d2 > 1e-16L) s += std::sqrt(d2);
  } else {
    s = 0;
  }
  if (!RoulettePenPoint(q, v, s, e.rollRadius(), e.rollFactor(), e.armFactor(), e.kindFlag != 0, reverse, pen))
    return 114;
  return 0;
}

bool BuildEvoluteTrees(TEquation& ev, const TEquation& s) {
  TreePtr x, y, dx, dy;
  if (!s.trees[1] || !FirstDerivatives(s, dx, dy)) return false;
  const int v = CurveLetter(s);
  x = s.kind == kKindExplicit ? Own(NewLetterNode('X')) : Copy(s.trees[0].get());
  y = Copy(s.trees[1].get());
  if (!x) return false;
  TreePtr ddx, ddy;
  if (!Differentiate(dx.get(), v, ddx) || !Differentiate(dy.get(), v, ddy)) return false;
  // k = (x'² + y'²) / (x'y'' - y'x'')
  TreePtr speed2 = Own(BuildSumOfProducts(dx.get(), dx.get(), dy.get(), dy.get()));
  TreePtr cross = Own(BuildDifferenceOfProducts(dx.get(), ddy.get(), dy.get(), ddx.get()));
  TreePtr k = Bin(tok::Divide, speed2.get(), cross.get());
  TreePtr ex = Bin(tok::Minus, x.get(), Bin(tok::Times, dy.get(), k.get()).get());
  TreePtr ey = Bin(tok::Plus, y.get(), Bin(tok::Times, dx.get(), k.get()).get());
  TreePtr tt = Own(NewLetterNode('T'));
  auto& t = ev.trees;
  for (TreePtr& tree : t) tree.reset();
  t[0] = Own(CloneAndSubstitute(ex.get(), LetterToken(v), tt.get()));
  t[1] = Own(CloneAndSubstitute(ey.get(), LetterToken(v), tt.get()));
  ev.kind = kKindParametric;
  ev.arrowMode = 0;
  CompleteCurveTrees(ev);
  return t[0] && t[1];
}

bool BuildDerivativeGraphTrees(TEquation& g, const TEquation& s) {
  auto& t = g.trees;
  for (TreePtr& tree : t) tree.reset();
  switch (s.kind) {
    case kKindExplicit:
      if (!s.trees[1] || !Differentiate(s.trees[1].get(), 'X', t[1])) return false;
      break;
    case kKindPolar:
      if (!s.trees[2] || !Differentiate(s.trees[2].get(), 'T', t[2])) return false;
      break;
    case kKindParametric: {
      const int v = CurveLetter(s);
      if (!s.trees[0] || !s.trees[1]) return false;
      if (!Differentiate(s.trees[0].get(), v, t[0])) return false;
      if (!Differentiate(s.trees[1].get(), v, t[1])) return false;
      break;
    }
    default:
      return false;
  }
  CompleteCurveTrees(g);
  return true;
}

}  // namespace kv
