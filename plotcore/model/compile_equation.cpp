// Compiling an inventory entry: its formula texts into trees by kind, the
// derived trees (derivatives, curvature, explicit forms, implicit forms),
// and the letters it uses.
#include <algorithm>
#include <cmath>

#include "plotcore/model/compile_equation.h"

#include "core/constants.h"
#include "formula/calculus.h"
#include "formula/tree_builders.h"
#include "plotcore/model/entry_evaluation.h"
#include "plotcore/model/revolution_surface.h"

namespace kv {

namespace {

// The text slots a kind compiles directly into the same tree slots.
struct KindSlots {
  std::uint16_t kind;
  std::uint8_t slots;  // bit k: slot k
};

constexpr std::uint8_t S(int a) { return static_cast<std::uint8_t>(1u << a); }

constexpr KindSlots kDirectSlots[] = {
    {kKindExplicit, S(1)},
    {kKindPolar, S(2)},
    {kKindParametric, S(0) | S(1)},
    {kKindImplicit, S(3)},
    {kKindSegment, S(0) | S(1) | S(2) | S(3)},
    {kKindAntiderivative, S(1)},
    {kKindRoulette, S(0) | S(1)},
    {kKindLine, S(0) | S(1) | S(2)},
    {kKindPoint, S(0) | S(1)},
    {kKindOde, S(0) | S(1) | S(3)},
    {kKindOdeDyDx, S(2)},
    {kKindSequence, S(0) | S(1)},
    {kKindSum, S(0) | S(1)},
    {kKindSurface, S(2)},
    {kKindCylinderSurface, S(2)},
    {kKindParametricSurface, S(0) | S(1) | S(2)},
    {kKindSpaceCurve, S(0) | S(1) | S(2)},
    {kKindTube, S(0) | S(1) | S(2) | S(3)},
    {kKindRevolution, S(0) | S(1) | S(2)},
    {kKindSegment3D, S(0) | S(1) | S(2) | S(3) | S(5) | S(6)},
    {kKindPoint3D, S(0) | S(1) | S(2)},
    {kKindOde3D, S(0) | S(1) | S(2) | S(3)},
    {kKindSequence3D, S(0) | S(1) | S(2)},
    {kKindPlane, S(0) | S(1) | S(2)},
    {kKindComplexMap, S(0)},
    {kKindPlaneMap, S(0) | S(1)},
};

std::uint8_t DirectSlots(int kind) {
  for (const KindSlots& k : kDirectSlots)
    if (k.kind == kind) return k.slots;
  return 0;
}

TreePtr Own(TExprNode* t) { return TreePtr(t); }

TreePtr Number(long double v) { return Own(NewNumberNode(TComplex(v))); }

TreePtr Deriv(const TExprNode* tree, int letter) {
  if (!tree) return nullptr;
  TreePtr d;
  if (!Differentiate(tree, letter, d)) return nullptr;
  return d;
}

TreePtr Binary(int token, const TExprNode* a, const TExprNode* b) {
  if (!a || !b) return nullptr;
  return Own(BuildBinary(token, a, b));
}

// (a)^(3/2) for the denominators of the curvatures.
TreePtr PowThreeHalves(const TExprNode* a) {
  TreePtr e = Number(1.5L);
  return Binary(tok::Power, a, e.get());
}

// (x'y'' - y'x'') / (x'^2 + y'^2)^(3/2)
TreePtr PlaneCurvature(const TExprNode* dx, const TExprNode* dy, const TExprNode* ddx, const TExprNode* ddy) {
  if (!dx || !dy || !ddx || !ddy) return nullptr;
  TreePtr num = Own(BuildDifferenceOfProducts(dx, ddy, dy, ddx));
  TreePtr speed2 = Own(BuildSumOfProducts(dx, dx, dy, dy));
  TreePtr den = PowThreeHalves(speed2.get());
  return Binary(tok::Divide, num.get(), den.get());
}

}  // namespace

bool RewriteEquationAsDifference(std::string& target, std::string_view text) {
  const std::size_t eq = text.find('=');
  if (eq == std::string_view::npos) return false;
  std::string out = std::string(text.substr(0, eq)) + "-(" + std::string(text.substr(eq + 1)) + ")";
  // A formula text holds 255 bytes; a longer difference is refused rather
  // than cut into a different formula.
  if (out.size() > kFormulaTextSize - 1) return false;
  target = std::move(out);
  return true;
}

namespace {

void CompileSlots(TEquation& e, TFormulaEngine& engine, std::initializer_list<int> slots) {
  for (int k : slots) {
    const auto s = static_cast<std::size_t>(k);
    e.trees[s].reset();
    if (e.formulaText[s].empty()) continue;
    TreePtr t;
    if (engine.Compile(e.formulaText[s], t) == kFormulaOk) e.trees[s] = std::move(t);
  }
}

}  // namespace

bool CompileCoordinateTriple(TFormulaEngine& engine, std::string_view text, std::array<TreePtr, 3>& trees) {
  std::string_view body = text;
  while (!body.empty() && body.front() == ' ') body.remove_prefix(1);
  while (!body.empty() && body.back() == ' ') body.remove_suffix(1);
  if (body.size() >= 2 && body.front() == '(' && body.back() == ')') body = body.substr(1, body.size() - 2);
  // Separators at parenthesis depth 0: ";" always, "," when there is no ";"
  // (so "pow(2,x);1;2" keeps its comma).
  const bool semicolons = body.find(';') != std::string_view::npos;
  const char sep = semicolons ? ';' : ',';
  std::array<std::string_view, 3> parts;
  int count = 0;
  int depth = 0;
  std::size_t begin = 0;
  for (std::size_t k = 0; k <= body.size(); ++k) {
    const char c = k < body.size() ? body[k] : sep;
    if (c == '(') ++depth;
    if (c == ')') --depth;
    if (c == sep && depth == 0) {
      if (count == 3) return false;
      parts[static_cast<std::size_t>(count++)] = body.substr(begin, k - begin);
      begin = k + 1;
    }
  }
  if (count != 3) return false;
  std::array<TreePtr, 3> out;
  for (std::size_t k = 0; k < 3; ++k)
    if (engine.Compile(parts[k], out[k]) != kFormulaOk) return false;
  trees = std::move(out);
  return true;
}

void InitPolynomialTree(TEquation& e) {
  // A + B X + C X^2 + ... + I X^8 (Horner form: A + X (B + X (C + ...))).
  TreePtr poly = Own(NewLetterNode('I'));
  for (int c = 'H'; c >= 'A'; --c) {
    TreePtr x = Own(NewLetterNode('X'));
    TreePtr prod = Own(NewBinaryNode(tok::Times, x.release(), poly.release()));
    poly = Own(NewBinaryNode(tok::Plus, NewLetterNode(c), prod.release()));
  }
  e.trees[1] = std::move(poly);
}

void BuildDerivativeTrees(TEquation& e) {
  auto& t = e.trees;
  switch (e.kind) {
    case kKindExplicit:
      t[0] = Own(NewLetterNode('X'));
      t[4] = Number(1);
      t[5] = Deriv(t[1].get(), 'X');
      t[6] = Deriv(t[5].get(), 'X');
      break;
    case kKindPolar:
      t[4] = Deriv(t[0].get(), 'T');
      t[5] = Deriv(t[1].get(), 'T');
      t[6] = Deriv(t[2].get(), 'T');
      break;
    case kKindParametric:
    case kKindRoulette: {
      const int v = e.kind == kKindParametric && e.arrowMode > 0 && e.arrowMode < tok::kVariableCount ? e.arrowMode : 'T';
      t[4] = Deriv(t[0].get(), v);
      t[5] = Deriv(t[1].get(), v);
      break;
    }
    case kKindImplicit:
      t[4] = Deriv(t[2].get(), 'X');
      t[5] = Deriv(t[2].get(), 'Y');
      break;
    case kKindSurface:
      t[4] = Deriv(t[2].get(), 'X');
      t[5] = Deriv(t[2].get(), 'Y');
      t[6] = Number(-1);
      break;
    case kKindCylinderSurface:
      t[4] = Deriv(t[2].get(), 'R');
      t[5] = Deriv(t[2].get(), 'T');
      break;
    case kKindSpaceCurve:
      t[4] = Deriv(t[0].get(), 'T');
      t[5] = Deriv(t[1].get(), 'T');
      t[6] = Deriv(t[2].get(), 'T');
      break;
    case kKindImplicitSurface:
      t[4] = Deriv(t[3].get(), 'X');
      t[5] = Deriv(t[3].get(), 'Y');
      t[6] = Deriv(t[3].get(), 'Z');
      break;
    case kKindComplexMap:
      t[4] = Deriv(t[0].get(), 'Z');
      break;
    case kKindPlaneMap:
      t[3] = Deriv(t[0].get(), 'X');
      t[4] = Deriv(t[0].get(), 'Y');
      t[5] = Deriv(t[1].get(), 'X');
      t[6] = Deriv(t[1].get(), 'Y');
      break;
    default:
      break;
  }
}

void BuildCurvatureTrees(TEquation& e) {
  auto& t = e.trees;
  switch (e.kind) {
    case kKindExplicit: {
      // f'' / (1 + f'^2)^(3/2)
      if (!t[5] || !t[6]) break;
      TreePtr one = Number(1);
      TreePtr sq = Binary(tok::Times, t[5].get(), t[5].get());
      TreePtr base = Binary(tok::Plus, one.get(), sq.get());
      TreePtr den = PowThreeHalves(base.get());
      t[3] = Binary(tok::Divide, t[6].get(), den.get());
      break;
    }
    case kKindPolar:
    case kKindParametric: {
      const int v = e.kind == kKindParametric && e.arrowMode > 0 && e.arrowMode < tok::kVariableCount ? e.arrowMode : 'T';
      TreePtr ddx = Deriv(t[4].get(), v);
      TreePtr ddy = Deriv(t[5].get(), v);
      t[3] = PlaneCurvature(t[4].get(), t[5].get(), ddx.get(), ddy.get());
      break;
    }
    case kKindSpaceCurve: {
      // A container of x'', y'', z'' and |r' × r''| / |r'|^3.
      if (!t[4] || !t[5] || !t[6]) break;
      TreePtr ddx = Deriv(t[4].get(), 'T');
      TreePtr ddy = Deriv(t[5].get(), 'T');
      TreePtr ddz = Deriv(t[6].get(), 'T');
      if (!ddx || !ddy || !ddz) break;
      const TExprNode* d1[3] = {t[4].get(), t[5].get(), t[6].get()};
      const TExprNode* d2[3] = {ddx.get(), ddy.get(), ddz.get()};
      TExprNode* cross[3] = {nullptr, nullptr, nullptr};
      BuildCrossProduct(cross, d1, d2);
      TreePtr c0 = Own(cross[0]), c1 = Own(cross[1]), c2 = Own(cross[2]);
      TreePtr num = Own(BuildHypot3(c0.get(), c1.get(), c2.get()));
      TreePtr speed = Own(BuildHypot3(d1[0], d1[1], d1[2]));
      TreePtr three = Number(3);
      TreePtr den = Binary(tok::Power, speed.get(), three.get());
      TreePtr kappa = Binary(tok::Divide, num.get(), den.get());
      TExprNode* box = NewNode(tok::Container);
      box->child[0] = ddx.release();
      box->child[1] = ddy.release();
      box->child[2] = ddz.release();
      box->child[3] = kappa.release();
      box->argCount = 4;
      t[3] = Own(box);
      break;
    }
    default:
      break;
  }
}

void BuildLineEquationTree(TEquation& e) {
  // y = (c - a x) / b
  auto& t = e.trees;
  t[5].reset();
  t[6].reset();
  if (!t[0] || !t[1] || !t[2]) return;
  TreePtr x = Own(NewLetterNode('X'));
  TreePtr ax = Binary(tok::Times, t[0].get(), x.get());
  TreePtr num = Binary(tok::Minus, t[2].get(), ax.get());
  t[6] = Binary(tok::Divide, num.get(), t[1].get());
  t[5] = Deriv(t[6].get(), 'X');
}

void BuildSegmentLineTree(TEquation& e) {
  // y = y1 + (y2 - y1) / (x2 - x1) (x - x1)
  auto& t = e.trees;
  t[5].reset();
  t[6].reset();
  if (!t[0] || !t[1] || !t[2] || !t[3]) return;
  TreePtr dy = Binary(tok::Minus, t[3].get(), t[1].get());
  TreePtr dx = Binary(tok::Minus, t[2].get(), t[0].get());
  TreePtr slope = Binary(tok::Divide, dy.get(), dx.get());
  TreePtr x = Own(NewLetterNode('X'));
  TreePtr run = Binary(tok::Minus, x.get(), t[0].get());
  TreePtr rise = Binary(tok::Times, slope.get(), run.get());
  t[6] = Binary(tok::Plus, t[1].get(), rise.get());
  t[5] = Deriv(t[6].get(), 'X');
}

void CompileEquation(TEquation& e, TFormulaEngine& engine, bool withDerivedTrees) {
  for (TreePtr& t : e.trees) t.reset();
  const std::uint8_t direct = DirectSlots(e.kind);
  for (int k = 0; k < kFormulaSlots; ++k)
    if (direct & S(k)) CompileSlots(e, engine, {k});
  auto& t = e.trees;
  switch (e.kind) {
    case kKindExplicit:
      if (e.interpolated) {
        InitPolynomialTree(e);
        if (e.cellDepths.size() >= 9) BindTableValues(e, t[1].get());
      }
      break;
    case kKindPolar:
      if (t[2]) {
        TreePtr tt = Own(NewLetterNode('T'));
        TExprNode* x = nullptr;
        TExprNode* y = nullptr;
        BuildPolarToCartesian(t[2].get(), tt.get(), x, y);
        t[0] = Own(x);
        t[1] = Own(y);
      }
      break;
    case kKindParametric:
      if (t[0] && t[1]) t[2] = Own(BuildHypot3(t[0].get(), t[1].get(), nullptr));
      break;
    case kKindImplicit:
    case kKindImplicitSurface: {
      const std::size_t slot = e.kind == kKindImplicit ? 2 : 3;
      std::string& diff = e.formulaText[slot];
      if (!e.formulaText[4].empty() && !RewriteEquationAsDifference(diff, e.formulaText[4])) diff = e.formulaText[4];
      CompileSlots(e, engine, {static_cast<int>(slot)});
      break;
    }
    case kKindSegment:
      if (e.polarInput) {
        for (std::size_t k = 0; k < 4; k += 2) {
          if (!t[k] || !t[k + 1]) continue;
          TExprNode* x = nullptr;
          TExprNode* y = nullptr;
          BuildPolarToCartesian(t[k].get(), t[k + 1].get(), x, y);
          t[k] = Own(x);
          t[k + 1] = Own(y);
        }
      }
      BuildSegmentLineTree(e);
      break;
    case kKindLine:
      BuildLineEquationTree(e);
      break;
    case kKindSurface:
      if (t[2]) {
        TreePtr z = Own(NewLetterNode('Z'));
        t[3] = Binary(tok::Minus, z.get(), t[2].get());
      }
      break;
    case kKindCylinderSurface:
      if (t[2]) {
        TreePtr r = Own(NewLetterNode('R'));
        TreePtr tt = Own(NewLetterNode('T'));
        TExprNode* x = nullptr;
        TExprNode* y = nullptr;
        BuildPolarToCartesian(r.get(), tt.get(), x, y);
        t[0] = Own(x);
        t[1] = Own(y);
      }
      break;
    case kKindSphericalSurface: {
      TreePtr r;
      if (!e.formulaText[3].empty() && engine.Compile(e.formulaText[3], r) == kFormulaOk) {
        TreePtr theta = Own(NewLetterNode('T'));
        TreePtr phi = Own(NewLetterNode('U'));
        TExprNode* x = nullptr;
        TExprNode* y = nullptr;
        TExprNode* z = nullptr;
        BuildSphericalToCartesian(r.get(), theta.get(), phi.get(), x, y, z);
        t[0] = Own(x);
        t[1] = Own(y);
        t[2] = Own(z);
      }
      break;
    }
    case kKindPlane: {
      std::array<TreePtr, 3> point;
      if (!e.formulaText[3].empty() && CompileCoordinateTriple(engine, e.formulaText[3], point)) {
        for (std::size_t k = 0; k < 3; ++k) t[4 + k] = std::move(point[k]);
      }
      if (t[0] && t[1] && t[2] && t[4] && t[5] && t[6]) {
        // Point + T u + U w with u = (-b, a, 0) / |(a, b)| and w = n × u / |n|
        // (u = (1, 0, 0), w = (0, 1, 0) for a normal along z).
        long double a = 0, b = 0;
        EvaluateReal(engine, t[0].get(), a);
        EvaluateReal(engine, t[1].get(), b);
        std::array<TreePtr, 3> u;
        std::array<TreePtr, 3> w;
        if (std::fabs(a) + std::fabs(b) > 1e-12L) {
          TreePtr hab = Own(BuildHypot3(t[0].get(), t[1].get(), nullptr));
          TreePtr hn = Own(BuildHypot3(t[0].get(), t[1].get(), t[2].get()));
          TreePtr nb = Own(NegateTree(t[1].get()));
          u[0] = Binary(tok::Divide, nb.get(), hab.get());
          u[1] = Binary(tok::Divide, t[0].get(), hab.get());
          u[2] = Number(0);
          const TExprNode* n[3] = {t[0].get(), t[1].get(), t[2].get()};
          const TExprNode* uu[3] = {u[0].get(), u[1].get(), u[2].get()};
          TExprNode* c[3] = {nullptr, nullptr, nullptr};
          BuildCrossProduct(c, n, uu);
          for (std::size_t k = 0; k < 3; ++k) {
            TreePtr ck = Own(c[k]);
            w[k] = Binary(tok::Divide, ck.get(), hn.get());
          }
        } else {
          u = {Number(1), Number(0), Number(0)};
          w = {Number(0), Number(1), Number(0)};
        }
        TreePtr tt = Own(NewLetterNode('T'));
        TreePtr uu = Own(NewLetterNode('U'));
        for (std::size_t k = 0; k < 3; ++k) {
          TreePtr a1 = Binary(tok::Times, tt.get(), u[k].get());
          TreePtr a2 = Binary(tok::Times, uu.get(), w[k].get());
          TreePtr s = Binary(tok::Plus, a1.get(), a2.get());
          t[k] = Binary(tok::Plus, t[4 + k].get(), s.get());
        }
      }
      break;
    }
    case kKindRevolution: {
      // The surface from the curve the record holds; a record written
      // before holds the surface's own texts (a turned implicit curve the
      // implicit surface in its fourth).
      if (HoldsRevolvedCurve(e)) {
        BuildRevolutionTrees(e, engine);
      } else if (e.subKind == kKindImplicit) {
        CompileSlots(e, engine, {3});
      }
      // With a division code the first count entered, n, becomes the
      // drawing's 2n + 1 (codes from 11 on) or 2n - 1, once: the second
      // count stays as entered.
      if (e.subValue > 0 && !e.divisionsDerived) {
        const int n = e.divisions[0];
        const int derived = e.subValue >= 11 ? 2 * n + 1 : 2 * n - 1;
        e.divisions[0] = static_cast<std::int16_t>(std::clamp(derived, 1, 5999));
        e.divisionsDerived = 1;
      }
      break;
    }
    default:
      break;
  }
  if (withDerivedTrees) {
    BuildDerivativeTrees(e);
    BuildCurvatureTrees(e);
  }
  for (TreePtr& tree : t)
    if (tree) Simplify(tree.get());
}

// ---- letters and tokens ----

void CollectTreeTokens(const TExprNode* tree, std::array<std::uint8_t, 256>& set) {
  if (!tree) return;
  set[static_cast<std::uint8_t>(tree->token)] = 1;
  for (int k = 0; k < 4; ++k) CollectTreeTokens(tree->child[k], set);
}

void MarkEquationLetters(const TEquation& e, std::array<std::uint8_t, tok::kVariableCount>& used) {
  std::array<std::uint8_t, 256> set{};
  for (const TreePtr& t : e.trees) CollectTreeTokens(t.get(), set);
  for (int v = 0; v < tok::kVariableCount; ++v)
    if (set[static_cast<std::uint8_t>(tok::Letter(v))]) used[static_cast<std::size_t>(v)] = 1;
}

TExprNode* BuildSubstitutedTree(const TExprNode* tree, int token, const TExprNode* own) {
  if (!tree) return nullptr;
  if (!own) return CloneTree(tree);
  return CloneAndSubstitute(tree, token, own);
}

void BindTableValues(const TEquation& e, TExprNode* tree) {
  if (!tree) return;
  for (int k = 0; k < 9 && static_cast<std::size_t>(k) < e.cellDepths.size(); ++k)
    SubstituteNumber(tree, 'A' + k, TComplex(e.cellDepths[static_cast<std::size_t>(k)]));
}

bool HasLetterBinding(const TEquation& e) {
  for (std::size_t k = 0; k < 3; ++k)
    if (TreeContainsToken(e.trees[k].get(), tok::LetterBinding)) return true;
  return false;
}

void ReplaceTokenInEquation(TEquation& e, int from, int to) {
  for (TreePtr& t : e.trees)
    if (t) ReplaceTokenByLeaf(t.get(), from, to);
}

TExprNode* BuildSightLineTree(const TEquation& e) {
  const TExprNode* f = e.trees[3].get();
  if (!f) return nullptr;
  // X, Y, Z -> var27 + T var30, var28 + T var31, var29 + T var32
  const int tokens[3] = {tok::X, tok::Y, tok::Z};
  TreePtr lines[3];
  for (int k = 0; k < 3; ++k) {
    TreePtr base = Own(NewLetterNode(27 + k));
    TreePtr dir = Own(NewLetterNode(30 + k));
    lines[k] = Own(BuildLinearInToken(base.get(), dir.get(), tok::T));
  }
  const TExprNode* repl[3] = {lines[0].get(), lines[1].get(), lines[2].get()};
  return CloneAndSubstituteAll(f, tokens, repl, 3);
}

TExprNode* BuildPlaneImplicitTree(const TEquation& e, int& code) {
  const int requested = code;
  code = -6;
  const std::size_t row = static_cast<std::size_t>(e.divisions[1] > 0 ? e.divisions[1] : 0) + 1;
  if (e.samples.size() <= row || e.samples.size() < 2) return NewNumberNode(TComplex(0));
  const TPoint3D p0 = e.samples[0];
  const TPoint3D a{e.samples[1].x - p0.x, e.samples[1].y - p0.y, e.samples[1].z - p0.z};
  const TPoint3D b{e.samples[row].x - p0.x, e.samples[row].y - p0.y, e.samples[row].z - p0.z};
  TPoint3D n;
  Cross3D(n, a, b);
  const long double m = std::max({std::fabs(n.x), std::fabs(n.y), std::fabs(n.z)});
  if (!(m > kTolerance)) return NewNumberNode(TComplex(0));
  n = {n.x / m, n.y / m, n.z / m};
  auto lin = [](long double c, int letter) {
    return NewBinaryNode(tok::Times, NewNumberNode(TComplex(c)), NewLetterNode(letter));
  };
  if (requested == 0) {
    code = 0;
    // N·(P - P0) = Nx X + Ny Y + Nz Z - N·P0
    TExprNode* s = NewBinaryNode(tok::Plus, lin(n.x, 'X'), lin(n.y, 'Y'));
    s = NewBinaryNode(tok::Plus, s, lin(n.z, 'Z'));
    return NewBinaryNode(tok::Minus, s, NewNumberNode(TComplex(Dot3D(n, p0))));
  }
  const long double d = Dot3D(n, p0);
  if (std::fabs(n.z) > kTolerance) {
    code = 3;  // z = (d - Nx X - Ny Y) / Nz
    TExprNode* s = NewBinaryNode(tok::Minus, NewNumberNode(TComplex(d / n.z)), lin(n.x / n.z, 'X'));
    return NewBinaryNode(tok::Minus, s, lin(n.y / n.z, 'Y'));
  }
  if (std::fabs(n.y) > kTolerance) {
    code = 2;  // y = (d - Nx X) / Ny
    return NewBinaryNode(tok::Minus, NewNumberNode(TComplex(d / n.y)), lin(n.x / n.y, 'X'));
  }
  code = 1;
  return NewNumberNode(TComplex(p0.x));
}

}  // namespace kv
