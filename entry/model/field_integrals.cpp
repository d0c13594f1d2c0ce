#include "entry/model/field_integrals.h"

#include <cmath>

#include "formula/calculus.h"
#include "formula/tree_builders.h"

namespace kv {

namespace {

TreePtr Own(TExprNode* t) { return TreePtr(t); }

// The three coordinate trees of a field or a curve with X, Y (and Z)
// replaced by the curve's or surface's coordinate trees.
bool SubstituteCoordinates(const TEquation& field, const TEquation& path, int count, TreePtr out[3]) {
  static constexpr int kTokens[3] = {tok::X, tok::Y, tok::Z};
  const TExprNode* replacements[3] = {path.trees[0].get(), path.trees[1].get(),
                                      count == 3 ? path.trees[2].get() : nullptr};
  for (int k = 0; k < count; ++k) {
    if (!field.trees[static_cast<std::size_t>(k)] || !replacements[k]) return false;
  }
  for (int k = 0; k < count; ++k)
    out[k] = Own(CloneAndSubstituteAll(field.trees[static_cast<std::size_t>(k)].get(), kTokens, replacements, count));
  return true;
}

// The partial derivatives of the surface's three coordinate trees by a letter.
bool PartialDerivatives(const TEquation& surface, int letter, TreePtr out[3]) {
  for (std::size_t k = 0; k < 3; ++k) {
    if (!surface.trees[k]) return false;
    if (!Differentiate(surface.trees[k].get(), letter, out[k])) return false;
  }
  return true;
}

// A copy of the entry's derivative tree in slot `slot`, or (a window that
// compiles without derivative trees) the derivative of tree `of` by the letter.
bool Derivative(const TEquation& e, std::size_t of, std::size_t slot, int letter, TreePtr& out) {
  if (e.trees[slot]) {
    out = Own(CloneTree(e.trees[slot].get()));
    return true;
  }
  return e.trees[of] && Differentiate(e.trees[of].get(), letter, out);
}

void CrossProduct(TreePtr a[3], TreePtr b[3], TreePtr out[3]) {
  const TExprNode* pa[3] = {a[0].get(), a[1].get(), a[2].get()};
  const TExprNode* pb[3] = {b[0].get(), b[1].get(), b[2].get()};
  TExprNode* c[3] = {nullptr, nullptr, nullptr};
  BuildCrossProduct(c, pa, pb);
  for (int k = 0; k < 3; ++k) out[k] = Own(c[k]);
}

}  // namespace

int CurveLetter(const TEquation& curve) {
  if (curve.kind == kKindParametric && curve.arrowMode > 0 && curve.arrowMode < tok::kVariableCount)
    return LetterToken(curve.arrowMode);
  return tok::T;
}

void SurfaceLetters(const TEquation& surface, int& inner, int& outer) {
  const bool xy = surface.kind == kKindSurface;
  inner = xy ? tok::X : tok::T;
  outer = xy ? tok::Y : tok::U;
}

TreePtr BuildLineIntegrand(const TEquation& field, const TEquation& curve, int& code) {
  code = kIntegralUndefined;
  const bool space = field.kind == kKindOde3D && curve.kind == kKindSpaceCurve;
  const bool plane = field.kind == kKindOde && curve.kind == kKindParametric;
  if (!space && !plane) return nullptr;
  const int n = space ? 3 : 2;
  TreePtr f[3];
  if (!SubstituteCoordinates(field, curve, n, f)) return nullptr;
  // The curve's derivative trees sit after its coordinate trees.
  TreePtr d[3];
  for (int k = 0; k < n; ++k) {
    if (!Derivative(curve, static_cast<std::size_t>(k), static_cast<std::size_t>(4 + k), CurveLetter(curve), d[k])) {
      code = kIntegralNoDerivative;
      return nullptr;
    }
  }
  code = 0;
  if (!space) return Own(BuildSumOfProducts(f[0].get(), d[0].get(), f[1].get(), d[1].get()));
  const TExprNode* pf[3] = {f[0].get(), f[1].get(), f[2].get()};
  const TExprNode* pd[3] = {d[0].get(), d[1].get(), d[2].get()};
  return Own(BuildDotProduct3(pf, pd));
}

TreePtr BuildFluxIntegrand(const TEquation& field, const TEquation& surface, int& code) {
  code = kIntegralUndefined;
  if (field.kind != kKindOde3D || surface.kind != kKindParametricSurface) return nullptr;
  TreePtr f[3];
  if (!SubstituteCoordinates(field, surface, 3, f)) return nullptr;
  TreePtr st[3], su[3], normal[3];
  if (!PartialDerivatives(surface, tok::T, st) || !PartialDerivatives(surface, tok::U, su)) {
    code = kIntegralNoDerivative;
    return nullptr;
  }
  CrossProduct(st, su, normal);
  const TExprNode* pf[3] = {f[0].get(), f[1].get(), f[2].get()};
  const TExprNode* pn[3] = {normal[0].get(), normal[1].get(), normal[2].get()};
  code = 0;
  return Own(BuildDotProduct3(pf, pn));
}

TreePtr BuildSurfaceAreaIntegrand(const TEquation& surface, int& code) {
  code = kIntegralUndefined;
  TreePtr r1[3], r2[3];
  if (surface.kind == kKindSurface) {
    if (!surface.trees[2]) return nullptr;
    if (!Derivative(surface, 2, 4, tok::X, r1[2]) || !Derivative(surface, 2, 5, tok::Y, r2[2])) {
      code = kIntegralNoDerivative;
      return nullptr;
    }
    r1[0] = Own(NewNode(tok::Number, 1));
    r1[1] = Own(NewNode(tok::Number, 0));
    r2[0] = Own(NewNode(tok::Number, 0));
    r2[1] = Own(NewNode(tok::Number, 1));
  } else if (surface.kind == kKindParametricSurface) {
    if (!surface.trees[0] || !surface.trees[1] || !surface.trees[2]) return nullptr;
    if (!PartialDerivatives(surface, tok::T, r1) || !PartialDerivatives(surface, tok::U, r2)) {
      code = kIntegralNoDerivative;
      return nullptr;
    }
  } else {
    return nullptr;
  }
  TreePtr c[3];
  CrossProduct(r1, r2, c);
  TreePtr length = Own(BuildHypot3(c[0].get(), c[1].get(), c[2].get()));
  Simplify(length.get());
  code = 0;
  return length;
}

int DoubleIntegral(TFormulaEngine& engine, const TEquation& surface, const TSimpsonRange& x, const TSimpsonRange& y,
                   long double& result, const TStopPoll& stop, bool* gaps) {
  result = 0;
  if (gaps) *gaps = false;
  if (surface.kind != kKindSurface || !surface.trees[2]) return kIntegralUndefined;
  return IteratedSimpsonIntegral(engine, surface.trees[2].get(), tok::X, x, tok::Y, y, result, stop, gaps);
}

int SurfaceArea(TFormulaEngine& engine, const TEquation& surface, const TSimpsonRange& first,
                const TSimpsonRange& second, long double& result, const TStopPoll& stop, bool* gaps) {
  result = 0;
  if (gaps) *gaps = false;
  int code = 0;
  TreePtr integrand = BuildSurfaceAreaIntegrand(surface, code);
  if (!integrand) return code;
  int inner = 0, outer = 0;
  SurfaceLetters(surface, inner, outer);
  return IteratedSimpsonIntegral(engine, integrand.get(), inner, first, outer, second, result, stop, gaps);
}

int LineIntegral(TFormulaEngine& engine, const TEquation& field, const TEquation& curve, const TSimpsonRange& t,
                 long double& result, const TStopPoll& stop, bool* gaps) {
  result = 0;
  if (gaps) *gaps = false;
  int code = 0;
  TreePtr integrand = BuildLineIntegrand(field, curve, code);
  if (!integrand) return code;
  return SimpsonIntegral(engine, integrand.get(), CurveLetter(curve), t, result, stop, gaps);
}

int FluxIntegral(TFormulaEngine& engine, const TEquation& field, const TEquation& surface, const TSimpsonRange& t,
                 const TSimpsonRange& u, long double& result, const TStopPoll& stop, bool* gaps) {
  result = 0;
  if (gaps) *gaps = false;
  int code = 0;
  TreePtr integrand = BuildFluxIntegrand(field, surface, code);
  if (!integrand) return code;
  return IteratedSimpsonIntegral(engine, integrand.get(), tok::T, t, tok::U, u, result, stop, gaps);
}

}  // namespace kv
