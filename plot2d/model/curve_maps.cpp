#include "plot2d/model/curve_maps.h"

#include "formula/calculus.h"
#include "formula/tree_builders.h"
#include "plotcore/model/compile_equation.h"

namespace kv {

namespace {

TreePtr Own(TExprNode* t) { return TreePtr(t); }
TreePtr Num(long double v) { return Own(NewNumberNode(TComplex(v))); }
TreePtr Var(int letter) { return Own(NewLetterNode(letter)); }
TreePtr Bin(int token, const TreePtr& a, const TreePtr& b) { return Own(BuildBinary(token, a.get(), b.get())); }
TreePtr Copy(const TExprNode* t) { return t ? Own(CloneTree(t)) : nullptr; }
TreePtr Fn(int token, const TreePtr& a) { return Own(BuildFunction(token, a.get())); }

// The compiled texts of the map: a, b, c of a line; cx, cy of a centre; w of
// an angle; a, b of a shift.
struct TMapParams {
  int code = 0;
  TreePtr p[3];
};

int CompileMapParams(const TEquation& e, TFormulaEngine& engine, TMapParams& m) {
  m.code = e.derivation;
  auto compile = [&](int k) {
    return engine.Compile(e.formulaText[static_cast<std::size_t>(k)], m.p[k]);
  };
  switch (m.code) {
    case kMapLine: {
      for (int k = 0; k < 3; ++k)
        if (const int c = compile(k); c != kFormulaOk) return c;
      long double a = 0, b = 0;
      // A line with a = b = 0 has no direction to reflect in.
      if (engine.Evaluate(m.p[0].get()) && engine.Evaluate(m.p[1].get())) {
        a = m.p[0]->value.re;
        b = m.p[1]->value.re;
        if (a * a + b * b < 1e-16L) return kFormulaRecursive;
      }
      return kFormulaOk;
    }
    case kMapPoint:
      for (int k = 1; k < 3; ++k)
        if (const int c = compile(k); c != kFormulaOk) return c;
      return kFormulaOk;
    case kMapRotation:
      for (int k = 0; k < 3; ++k)
        if (const int c = compile(k); c != kFormulaOk) return c;
      return kFormulaOk;
    case kMapTranslation:
      for (int k = 0; k < 2; ++k) {
        if (const int c = compile(k); c != kFormulaOk) return c;
        if (TreeUsesLetter(m.p[k].get(), 'X') || TreeUsesLetter(m.p[k].get(), 'Y')) return kFormulaRecursive;
      }
      return kFormulaOk;
    default:
      return kFormulaOk;
  }
}

// The image of the point (x, y) under the map, or under its inverse.
void MapPoint(const TMapParams& m, const TreePtr& x, const TreePtr& y, bool inverse, TreePtr& ox, TreePtr& oy) {
  switch (m.code) {
    case kMapXAxis:
      ox = Copy(x.get());
      oy = Own(NegateTree(y.get()));
      return;
    case kMapYAxis:
      ox = Own(NegateTree(x.get()));
      oy = Copy(y.get());
      return;
    case kMapDiagonal:
      ox = Copy(y.get());
      oy = Copy(x.get());
      return;
    case kMapLine: {
      // x' = ((b²-a²)x - 2ab y + 2ac)/D, y' = (-2ab x + (a²-b²)y + 2bc)/D
      const TreePtr& a = m.p[0];
      const TreePtr& b = m.p[1];
      const TreePtr& c = m.p[2];
      TreePtr aa = Bin(tok::Times, a, a);
      TreePtr bb = Bin(tok::Times, b, b);
      TreePtr d = Bin(tok::Plus, aa, bb);
      TreePtr two = Num(2);
      TreePtr ab2 = Bin(tok::Times, two, Bin(tok::Times, a, b));
      TreePtr bma = Bin(tok::Minus, bb, aa);
      TreePtr amb = Bin(tok::Minus, aa, bb);
      TreePtr nx = Bin(tok::Plus, Bin(tok::Minus, Bin(tok::Times, bma, x), Bin(tok::Times, ab2, y)),
                       Bin(tok::Times, two, Bin(tok::Times, a, c)));
      TreePtr ny = Bin(tok::Plus, Bin(tok::Minus, Bin(tok::Times, amb, y), Bin(tok::Times, ab2, x)),
                       Bin(tok::Times, two, Bin(tok::Times, b, c)));
      ox = Bin(tok::Divide, nx, d);
      oy = Bin(tok::Divide, ny, d);
      return;
    }
    case kMapPoint: {
      TreePtr two = Num(2);
      ox = Bin(tok::Minus, Bin(tok::Times, two, m.p[1]), x);
      oy = Bin(tok::Minus, Bin(tok::Times, two, m.p[2]), y);
      return;
    }
    case kMapRotation: {
      // x' = cx + (x-cx)cos w - (y-cy)sin w, y' = cy + (x-cx)sin w + (y-cy)cos w
      TreePtr w = inverse ? Own(NegateTree(m.p[0].get())) : Copy(m.p[0].get());
      TreePtr cw = Fn(tok::Cos, w);
      TreePtr sw = Fn(tok::Sin, w);
      TreePtr dx = Bin(tok::Minus, x, m.p[1]);
      TreePtr dy = Bin(tok::Minus, y, m.p[2]);
      ox = Bin(tok::Plus, m.p[1], Bin(tok::Minus, Bin(tok::Times, dx, cw), Bin(tok::Times, dy, sw)));
      oy = Bin(tok::Plus, m.p[2], Bin(tok::Plus, Bin(tok::Times, dx, sw), Bin(tok::Times, dy, cw)));
      return;
    }
    case kMapTranslation: {
      const int op = inverse ? tok::Minus : tok::Plus;
      ox = Bin(op, x, m.p[0]);
      oy = Bin(op, y, m.p[1]);
      return;
    }
    default:
      ox = Copy(x.get());
      oy = Copy(y.get());
      return;
  }
}

// Maps the tree pair (k, k + 1) of the entry in place.
bool MapTreePair(TEquation& e, const TMapParams& m, std::size_t k) {
  if (!e.trees[k] || !e.trees[k + 1]) return false;
  TreePtr x, y;
  MapPoint(m, e.trees[k], e.trees[k + 1], false, x, y);
  e.trees[k] = std::move(x);
  e.trees[k + 1] = std::move(y);
  return true;
}

// X and Y replaced at once by the coordinates of the inverse image.
TreePtr SubstituteInverse(const TExprNode* tree, const TMapParams& m) {
  if (!tree) return nullptr;
  TreePtr xs, ys;
  MapPoint(m, Var('X'), Var('Y'), true, xs, ys);
  const int tokens[2] = {tok::X, tok::Y};
  const TExprNode* repl[2] = {xs.get(), ys.get()};
  return Own(CloneAndSubstituteAll(tree, tokens, repl, 2));
}

// The image of the line a x + b y = c: the line through the inverse images,
// its coefficients read off as the partial derivatives and the constant.
bool MapLineTrees(TEquation& e, const TMapParams& m) {
  auto& t = e.trees;
  if (!t[0] || !t[1] || !t[2]) return false;
  TreePtr xs, ys;
  MapPoint(m, Var('X'), Var('Y'), true, xs, ys);
  TreePtr lhs = Bin(tok::Minus, Bin(tok::Plus, Bin(tok::Times, t[0], xs), Bin(tok::Times, t[1], ys)), t[2]);
  TreePtr a, b;
  if (!Differentiate(lhs.get(), 'X', a) || !Differentiate(lhs.get(), 'Y', b)) return false;
  TreePtr zero = Num(0);
  const int tokens[2] = {tok::X, tok::Y};
  const TExprNode* repl[2] = {zero.get(), zero.get()};
  TreePtr c = Own(NegateTree(Own(CloneAndSubstituteAll(lhs.get(), tokens, repl, 2)).get()));
  t[0] = std::move(a);
  t[1] = std::move(b);
  t[2] = std::move(c);
  return true;
}

}  // namespace

bool CurveMapAcceptsKind(int code, int kind) {
  switch (kind) {
    case kKindExplicit:
    case kKindPolar:
    case kKindParametric:
    case kKindImplicit:
    case kKindSegment:
    case kKindLine:
    case kKindPoint:
      return true;
    case kKindOde:
    case kKindOdeDyDx:
    case kKindSequence:
      return code != kMapTranslation;
    default:
      return false;
  }
}

int MappedKind(int code, int kind) {
  if (kind == kKindPolar) return kKindParametric;
  if (kind == kKindExplicit && (code == kMapDiagonal || code == kMapLine || code == kMapRotation))
    return kKindParametric;
  return kind;
}

int BuildMappedTrees(TEquation& e, const TEquation& source, TFormulaEngine& engine) {
  TMapParams m;
  if (const int c = CompileMapParams(e, engine, m); c != kFormulaOk) return c;
  for (TreePtr& t : e.trees) t.reset();
  for (std::size_t k = 0; k < e.trees.size(); ++k) e.trees[k] = Copy(source.trees[k].get());
  auto& t = e.trees;
  const int code = m.code;
  bool ok = true;
  switch (source.kind) {
    case kKindExplicit:
      if (!t[1]) return kFormulaNotUnderstood;
      if (e.kind == kKindParametric) {
        // x = t, y = f(t), then the map.
        t[0] = Var('T');
        RenameXToT(t[1].get());
        ok = MapTreePair(e, m, 0);
      } else if (code == kMapXAxis) {
        t[1] = Own(NegateTree(t[1].get()));
      } else if (code == kMapYAxis) {
        TreePtr nx = Own(NegateTree(Var('X').get()));
        t[1] = Own(CloneAndSubstitute(t[1].get(), tok::X, nx.get()));
      } else if (code == kMapPoint) {
        // y = 2cy - f(2cx - x)
        TreePtr two = Num(2);
        TreePtr xs = Bin(tok::Minus, Bin(tok::Times, two, m.p[1]), Var('X'));
        TreePtr f = Own(CloneAndSubstitute(t[1].get(), tok::X, xs.get()));
        t[1] = Bin(tok::Minus, Bin(tok::Times, two, m.p[2]), f);
      } else if (code == kMapTranslation) {
        // y = f(x - a) + b
        TreePtr xs = Bin(tok::Minus, Var('X'), m.p[0]);
        TreePtr f = Own(CloneAndSubstitute(t[1].get(), tok::X, xs.get()));
        t[1] = Bin(tok::Plus, f, m.p[1]);
      }
      break;
    case kKindPolar:
    case kKindParametric:
      ok = MapTreePair(e, m, 0);
      break;
    case kKindSegment:
      ok = MapTreePair(e, m, 0) && MapTreePair(e, m, 2);
      e.polarInput = 0;
      break;
    case kKindPoint:
      if (source.polarInput && t[0] && t[1]) {
        TExprNode* x = nullptr;
        TExprNode* y = nullptr;
        BuildPolarToCartesian(t[0].get(), t[1].get(), x, y);
        t[0] = Own(x);
        t[1] = Own(y);
      }
      e.polarInput = 0;
      ok = MapTreePair(e, m, 0);
      break;
    case kKindLine:
      ok = MapLineTrees(e, m);
      break;
    case kKindImplicit:
    case kKindOde:
    case kKindOdeDyDx:
    case kKindSequence:
      for (std::size_t k = 0; k < (source.kind == kKindImplicit ? 4u : 3u); ++k)
        t[k] = SubstituteInverse(t[k].get(), m);
      ok = source.kind != kKindImplicit || t[2] != nullptr;
      break;
    default:
      ok = false;
      break;
  }
  if (!ok) return kFormulaNotUnderstood;
  if (e.kind == kKindSegment) {
    BuildSegmentLineTree(e);
  } else if (e.kind == kKindLine) {
    BuildLineEquationTree(e);
  } else if (e.kind == kKindExplicit || e.kind == kKindParametric || e.kind == kKindImplicit) {
    for (std::size_t k = 3; k < t.size(); ++k)
      if (!(e.kind == kKindImplicit && k == 3)) t[k].reset();
    if (e.kind == kKindParametric && t[0] && t[1]) t[2] = Own(BuildHypot3(t[0].get(), t[1].get(), nullptr));
    BuildDerivativeTrees(e);
    BuildCurvatureTrees(e);
  }
  for (TreePtr& tree : t)
    if (tree) Simplify(tree.get());
  return kFormulaOk;
}

}  // namespace kv
