#include "entry/model/derived_items.h"

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

#include "core/number_text.h"
#include "entry/model/variable_scope.h"
#include "formula/calculus.h"
#include "formula/formula_codes.h"
#include "formula/tree_builders.h"
#include "plotcore/model/compile_equation.h"
#include "plotcore/model/entry_evaluation.h"
#include "plotcore/model/log_scale.h"
#include "plotcore/model/trajectories.h"

namespace kv {

namespace {

constexpr long double kRestSpeed = 1e-13L;

TreePtr Number(long double v) { return TreePtr(NewNumberNode(TComplex(v))); }

// The plane curve's length tree, then the derivative and curvature trees.
void FinishCurveTrees(TEquation& e) {
  if (e.kind == kKindParametric && e.trees[0] && e.trees[1])
    e.trees[2] = TreePtr(BuildHypot3(e.trees[0].get(), e.trees[1].get(), nullptr));
  BuildDerivativeTrees(e);
  BuildCurvatureTrees(e);
}

// The variable of the source's coordinate trees: X for a graph, else T.
int SourceVariable(const TEquation& source) { return source.kind == kKindExplicit ? 'X' : 'T'; }

// The source's coordinate tree k; for a graph the x tree is X itself.
TreePtr SourceCoordinate(const TEquation& source, int k) {
  if (source.kind == kKindExplicit && k == 0) return TreePtr(NewLetterNode('X'));
  return TreePtr(CloneTree(source.trees[static_cast<std::size_t>(k)].get()));
}

TreePtr SourceDerivative(const TEquation& source, int k) {
  if (source.kind == kKindExplicit && k == 0) return Number(1);
  return TreePtr(CloneTree(source.trees[static_cast<std::size_t>(4 + k)].get()));
}

bool Value(TFormulaEngine& engine, TExprNode* tree, long double& v) { return EvaluateReal(engine, tree, v); }

}  // namespace

std::string ToolPointText(long double v) { return FormatNumber(v, 15, 14); }

bool BuildTaylorTrees(TEquation& e, const TEquation& source, TFormulaEngine& engine) {
  TreePtr centre;
  if (engine.Compile(e.formulaText[kDerivedParameterText], centre) != kFormulaOk) return false;
  const TExprNode* f = source.trees[1].get();
  if (!f) return false;
  const int degree = std::clamp<int>(e.auxValue1, 0, 9);
  std::vector<TreePtr> d;
  d.push_back(TreePtr(CloneTree(f)));
  for (int k = 1; k <= degree; ++k) {
    TreePtr next;
    if (!Differentiate(d.back().get(), 'X', next) || !next) return false;
    d.push_back(std::move(next));
  }
  std::vector<const TExprNode*> terms;
  for (const TreePtr& t : d) terms.push_back(t.get());
  TreePtr sum(engine.TruncateTaylorTemplate(degree));
  if (!engine.SpliceTaylorTerms(sum.get(), terms, centre.get(), 'X')) return false;
  for (TreePtr& t : e.trees) t.reset();
  e.trees[1] = std::move(sum);
  BuildDerivativeTrees(e);
  BuildCurvatureTrees(e);
  e.trees[0] = std::move(centre);
  return true;
}

bool BuildTangentLineTrees(TEquation& e, const TEquation& source, TFormulaEngine& engine, bool space) {
  TreePtr at;
  if (engine.Compile(e.formulaText[kDerivedParameterText], at) != kFormulaOk) return false;
  const int count = space ? 3 : 2;
  const int letter = SourceVariable(source);
  std::array<TreePtr, 3> line;
  for (int k = 0; k < count; ++k) {
    TreePtr p = SourceCoordinate(source, k);
    TreePtr d = SourceDerivative(source, k);
    if (!p || !d) return false;
    line[static_cast<std::size_t>(k)] = TreePtr(BuildPointValueSum(p.get(), d.get(), at.get(), letter, 'T'));
  }
  for (TreePtr& t : e.trees) t.reset();
  for (int k = 0; k < count; ++k) e.trees[static_cast<std::size_t>(k)] = std::move(line[static_cast<std::size_t>(k)]);
  FinishCurveTrees(e);
  return true;
}

bool BuildTracePointTrees(TEquation& e, const TEquation& source, TFormulaEngine& engine, bool space) {
  TreePtr at;
  if (engine.Compile(e.formulaText[kTracePointParameterText], at) != kFormulaOk) return false;
  const int count = space ? 3 : 2;
  const int letter = SourceVariable(source);
  std::array<TreePtr, 3> coord;
  for (int k = 0; k < count; ++k) {
    TreePtr c = SourceCoordinate(source, k);
    if (!c) return false;
    coord[static_cast<std::size_t>(k)] = TreePtr(CloneAndSubstitute(c.get(), LetterToken(letter), at.get()));
  }
  for (TreePtr& t : e.trees) t.reset();
  for (int k = 0; k < count; ++k) e.trees[static_cast<std::size_t>(k)] = std::move(coord[static_cast<std::size_t>(k)]);
  e.trees[6] = std::move(at);
  // The point's value fields, as the point drawer keeps them.
  TVariableScope scope(engine);
  TPoint3D p;
  if (Value(engine, e.trees[0].get(), p.x) && Value(engine, e.trees[1].get(), p.y) &&
      (!space || Value(engine, e.trees[2].get(), p.z)))
    e.values[4] = p;
  return true;
}

void StoreTrajectoryStart(TEquation& e, const TEquationItem& item, long double target, long double defaultStep) {
  long double h = item.paramEnd;
  if (!(h != 0) || !std::isfinite(h)) h = defaultStep * (item.direction < 0 ? -1 : 1);
  e.values[8] = item.start;
  e.values[9] = {item.paramStart, h, target};
  e.auxValue4 = static_cast<std::int16_t>(item.method);
  e.familyDelay = item.startCode;
  if (item.startCode > 1000)
    for (std::size_t k = 0; k < 4; ++k) e.formulaText[3 + k] = item.texts[k];
}

bool ReachTrajectoryPoint(const TEquation& e, TEquation& source, TFormulaEngine& engine, bool space,
                          TPoint3D& point, long double& target, int logAxes) {
  // Only a dy/dt item keeps exponents on logarithmic axes.
  const int axes = source.kind == kKindOde ? logAxes & 3 : 0;
  TEquationItem item;
  InitEquationItem(item, 0, source.penColour, source.penWidth, source.penStyle);
  item.start = e.values[8];
  item.paramStart = e.values[9].x;
  item.paramEnd = e.values[9].y;
  item.method = static_cast<std::uint16_t>(std::clamp<int>(e.auxValue4, 0, 2));
  target = e.values[9].z;
  if (e.familyDelay > 1000) {
    // Start values given as formulas follow the parameters they use.
    long double v[4] = {};
    for (int k = 0; k < 4; ++k) {
      if (k == 2 && !space) continue;
      const std::string& text = e.formulaText[static_cast<std::size_t>(3 + k)];
      if (text.empty() || engine.TextToValue(text, v[k]) != kFormulaOk) return false;
    }
    // The texts give values; on a logarithmic axis the run starts from
    // their exponents, which only positive values have.
    for (int k = 0; k < 2; ++k) {
      if (!(axes & (1 << k))) continue;
      if (!(v[k] > 0)) return false;
      v[k] = std::log10(v[k]);
    }
    // The target keeps its distance from the start parameter.
    target = v[3] + (target - item.paramStart);
    item.start = {v[0], v[1], space ? v[2] : 0};
    item.paramStart = v[3];
  }
  if (!(item.paramEnd != 0) || !std::isfinite(item.paramEnd)) return false;
  TVariableScope scope(engine);
  TPoint3D p;
  if (!RunTrajectoryItem(source, engine, item, std::fabs(item.paramEnd), target, p, axes)) return false;
  // The point reached, in values.
  if (LogScaleX(axes)) p.x = DecadeValue(p.x);
  if (LogScaleY(axes)) p.y = DecadeValue(p.y);
  if (!std::isfinite(p.x) || !std::isfinite(p.y)) return false;
  point = p;
  return true;
}

bool BuildTrajectoryPointTrees(TEquation& e, TEquation& source, TFormulaEngine& engine, bool space, int logAxes) {
  TPoint3D p;
  long double target = 0;
  if (!ReachTrajectoryPoint(e, source, engine, space, p, target, logAxes)) return false;
  for (TreePtr& t : e.trees) t.reset();
  const long double c[3] = {p.x, p.y, p.z};
  for (int k = 0; k < (space ? 3 : 2); ++k) {
    e.trees[static_cast<std::size_t>(k)] = Number(c[k]);
    e.formulaText[static_cast<std::size_t>(k)] = ToolPointText(c[k]);
  }
  e.values[4] = p;
  return true;
}

bool BuildTrajectoryVectorTrees(TEquation& e, TEquation& source, TFormulaEngine& engine, bool space, int logAxes) {
  TPoint3D p;
  long double target = 0;
  if (!ReachTrajectoryPoint(e, source, engine, space, p, target, logAxes)) return false;
  TPoint3D v;
  {
    TVariableScope scope(engine);
    SetPointVariables(engine, p, space);
    engine.SetVariable('T', target);
    engine.ClearEvaluationError();
    if (!Value(engine, source.trees[0].get(), v.x) || !Value(engine, source.trees[1].get(), v.y)) return false;
    if (space && !Value(engine, source.trees[2].get(), v.z)) return false;
  }
  for (TreePtr& t : e.trees) t.reset();
  const long double pc[3] = {p.x, p.y, p.z};
  const long double vc[3] = {v.x, v.y, v.z};
  for (int k = 0; k < (space ? 3 : 2); ++k) {
    TreePtr a = Number(pc[k]);
    TreePtr b = Number(vc[k]);
    e.trees[static_cast<std::size_t>(k)] = TreePtr(BuildLinearInToken(a.get(), b.get(), 'T'));
    e.formulaText[static_cast<std::size_t>(k)] = ToolPointText(pc[k]) + "+(" + ToolPointText(vc[k]) + ")t";
  }
  FinishCurveTrees(e);
  return true;
}

void TrajectoryVectorRange(int code, long double length, long double speed, long double diagonal, long double& lo,
                           long double& hi) {
  if (code == kDerivedTrajectoryVector) {
    lo = 0;
    hi = length > 1e-16L && speed > kRestSpeed ? length / speed : 1;
    return;
  }
  const long double half = speed > kRestSpeed ? 0.35L * diagonal / speed : 2.0L;
  lo = -half;
  hi = half;
}

}  // namespace kv
