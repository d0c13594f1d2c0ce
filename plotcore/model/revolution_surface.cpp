#include "plotcore/model/revolution_surface.h"

#include <cmath>

#include "formula/tree_builders.h"
#include "plotcore/model/revolution_sliders.h"

namespace kv {

namespace {

// The first value of value block 8 of a record that holds its curve.
constexpr long double kCurveForm = 1;

using namespace adopt;

// c·t; t alone for c = 1.
TExprNode* Scaled(long double c, TExprNode* t) { return c == 1 ? t : Mul(Num(c), t); }

// An end of a range: its parameter's letter when it is tied to one.
TExprNode* End(long double value, int parameter) {
  return parameter > 0 ? NewLetterNode(parameter) : Num(value);
}

// lo + (hi - lo)·letter: the range the letter runs over 0..1.
TExprNode* Sweep(const TEquation& e, int lowBound, int highBound, long double lo, long double hi, int letter) {
  TExprNode* from = End(lo, RevolutionBoundParameter(e, lowBound));
  TExprNode* span = Sub(End(hi, RevolutionBoundParameter(e, highBound)), End(lo, RevolutionBoundParameter(e, lowBound)));
  return Add(from, Mul(span, NewLetterNode(letter)));
}

// a x + b y - c over copies of x and y, the zero terms left out.
TExprNode* AxisForm(const TRevolutionAxis& axis, const TExprNode* x, const TExprNode* y) {
  TExprNode* lin = nullptr;
  if (axis.a != 0) lin = Scaled(axis.a, CloneTree(x));
  if (axis.b != 0) {
    TExprNode* by = Scaled(axis.b, CloneTree(y));
    lin = lin ? Add(lin, by) : by;
  }
  if (axis.c != 0) lin = Sub(lin, Num(axis.c));
  return lin;
}

// The implicit surface swept by F(x, y) = 0: with L = a x + b y - c and
// R = √(L² + (a² + b²) z²) (the distance from the axis times |n|), the
// point of the plane at the same foot and distance is p - n (L ∓ R) / |n|²
// on either side; the surface is where F vanishes at either.
TExprNode* RevolvedImplicit(const TExprNode* f, const TRevolutionAxis& axis, long double d2) {
  TreePtr x(NewLetterNode(tok::X)), y(NewLetterNode(tok::Y)), z(NewLetterNode(tok::Z));
  TreePtr lin(AxisForm(axis, x.get(), y.get()));
  TreePtr r(NewUnaryNode(tok::Sqrt, Add(NewUnaryNode(tok::Square, CloneTree(lin.get())),
                                        Scaled(d2, NewUnaryNode(tok::Square, CloneTree(z.get()))))));
  TExprNode* halves[2] = {nullptr, nullptr};
  for (int side = 0; side < 2; ++side) {
    TreePtr shift(Div(side == 0 ? Sub(CloneTree(lin.get()), CloneTree(r.get())) : Add(CloneTree(lin.get()), CloneTree(r.get())),
                      Num(d2)));
    TreePtr px(axis.a != 0 ? Sub(CloneTree(x.get()), Scaled(axis.a, CloneTree(shift.get()))) : CloneTree(x.get()));
    TreePtr py(axis.b != 0 ? Sub(CloneTree(y.get()), Scaled(axis.b, CloneTree(shift.get()))) : CloneTree(y.get()));
    const int tokens[2] = {tok::X, tok::Y};
    const TExprNode* repl[2] = {px.get(), py.get()};
    halves[side] = CloneAndSubstituteAll(f, tokens, repl, 2);
  }
  return Mul(halves[0], halves[1]);
}

}  // namespace

bool HoldsRevolvedCurve(const TEquation& e) {
  return e.kind == kKindRevolution && e.values[8].x == kCurveForm;
}

TRevolutionAxis RevolutionAxisOf(const TEquation& e) { return {e.values[4].x, e.values[4].y, e.values[4].z}; }

void SetRevolutionAxis(TEquation& e, const TRevolutionAxis& axis) { e.values[4] = {axis.a, axis.b, axis.c}; }

void StoreRevolvedCurve(TEquation& surface, const TEquation& curve, const TRevolutionAxis& axis) {
  for (std::size_t k = 0; k < 4; ++k) surface.formulaText[k] = curve.formulaText[k];
  if (curve.kind == kKindImplicit) surface.formulaText[3] = curve.formulaText[2];
  surface.subKind = static_cast<std::int16_t>(curve.kind);
  surface.kindFlag = curve.kind == kKindSegment && curve.polarInput ? 1 : 0;
  SetRevolutionAxis(surface, axis);
  surface.values[8].x = kCurveForm;
}

bool BuildRevolutionTrees(TEquation& e, TFormulaEngine& engine) {
  for (TreePtr& t : e.trees) t.reset();
  const TRevolutionAxis axis = RevolutionAxisOf(e);
  const long double d2 = axis.a * axis.a + axis.b * axis.b;
  if (!(d2 >= 1e-16L)) return false;
  TreePtr text[4];
  auto compile = [&](std::size_t k) {
    return !e.formulaText[k].empty() && engine.Compile(e.formulaText[k], text[k]) == kFormulaOk;
  };
  if (e.subKind == kKindImplicit) {
    if (!compile(3)) return false;
    e.trees[3].reset(RevolvedImplicit(text[3].get(), axis, d2));
    return true;
  }
  // The curve's point (cx, cy), its parameter running the curve range.
  TreePtr p(Sweep(e, 0, 2, e.values[6].y, e.values[6].z, tok::T));
  TreePtr cx, cy;
  switch (e.subKind) {
    case kKindExplicit:
      if (!compile(1)) return false;
      cx.reset(CloneTree(p.get()));
      cy.reset(CloneAndSubstitute(text[1].get(), tok::X, p.get()));
      break;
    case kKindPolar: {
      if (!compile(2)) return false;
      TreePtr r(CloneAndSubstitute(text[2].get(), tok::T, p.get()));
      TExprNode* x = nullptr;
      TExprNode* y = nullptr;
      BuildPolarToCartesian(r.get(), p.get(), x, y);
      cx.reset(x);
      cy.reset(y);
      break;
    }
    case kKindParametric:
      if (!compile(0) || !compile(1)) return false;
      cx.reset(CloneAndSubstitute(text[0].get(), tok::T, p.get()));
      cy.reset(CloneAndSubstitute(text[1].get(), tok::T, p.get()));
      break;
    case kKindSegment: {
      // From the first end (t = 0) to the second (t = 1).
      for (std::size_t k = 0; k < 4; ++k)
        if (!compile(k)) return false;
      TreePtr ends[4];
      for (std::size_t k = 0; k < 4; k += 2) {
        if (e.kindFlag) {
          TExprNode* x = nullptr;
          TExprNode* y = nullptr;
          BuildPolarToCartesian(text[k].get(), text[k + 1].get(), x, y);
          ends[k].reset(x);
          ends[k + 1].reset(y);
        } else {
          ends[k] = std::move(text[k]);
          ends[k + 1] = std::move(text[k + 1]);
        }
      }
      cx.reset(Add(CloneTree(ends[0].get()), Mul(Sub(CloneTree(ends[2].get()), CloneTree(ends[0].get())), NewLetterNode(tok::T))));
      cy.reset(Add(CloneTree(ends[1].get()), Mul(Sub(CloneTree(ends[3].get()), CloneTree(ends[1].get())), NewLetterNode(tok::T))));
      break;
    }
    default:
      return false;
  }
  // The point at signed distance k|n| from the axis turns about its foot
  // on it: (x, y) - k (a, b) (1 - cos φ), height k |n| sin φ, with
  // k = (a x + b y - c) / (a² + b²).
  TreePtr phi(Sweep(e, 1, 3, e.values[7].y, e.values[7].z, tok::U));
  TreePtr k(AxisForm(axis, cx.get(), cy.get()));
  if (d2 != 1) k.reset(Div(k.release(), Num(d2)));
  TreePtr turn(Sub(Num(1), NewUnaryNode(tok::Cos, CloneTree(phi.get()))));
  auto moved = [&](const TreePtr& c, long double coef) -> TExprNode* {
    if (coef == 0) return CloneTree(c.get());
    return Sub(CloneTree(c.get()), Mul(Scaled(coef, CloneTree(k.get())), CloneTree(turn.get())));
  };
  e.trees[0].reset(moved(cx, axis.a));
  e.trees[1].reset(moved(cy, axis.b));
  e.trees[2].reset(Mul(Scaled(std::sqrt(d2), CloneTree(k.get())), NewUnaryNode(tok::Sin, CloneTree(phi.get()))));
  return true;
}

}  // namespace kv
