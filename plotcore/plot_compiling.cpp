// The plot layer's entries compiled and described with the window's engine
// (plotcore/model/compile_equation.h, describe_equation.h), and the letters
// its inventory uses.
#include "plotcore/model/compile_equation.h"
#include "plotcore/model/describe_equation.h"
#include "plotcore/plot_win.h"

namespace kv {

void TPlotWin::CompileEquation(int i) {
  if (!IsValidIndex(i)) return;
  kv::CompileEquation(Equation(i), Engine(), !skipDerivedTrees);
  MarkEquationTokens(i);
}

void TPlotWin::CompileAllEquations() {
  for (int i = 0; i <= equationCount; ++i)
    if (Equation(i).derivation < 1) CompileEquation(i);
  MarkUsedVariables();
}

bool TPlotWin::CompileCoordinateTriple(std::string_view text, std::array<TreePtr, 3>& trees) {
  return kv::CompileCoordinateTriple(Engine(), text, trees);
}

void TPlotWin::BuildDerivativeTrees(int i) { kv::BuildDerivativeTrees(Equation(i)); }

void TPlotWin::BuildCurvatureTrees(int i) { kv::BuildCurvatureTrees(Equation(i)); }

void TPlotWin::BuildLineEquationTree(int i) { kv::BuildLineEquationTree(Equation(i)); }

void TPlotWin::BuildSegmentLineTree(int i) { kv::BuildSegmentLineTree(Equation(i)); }

void TPlotWin::InitPolynomialTree(int i) { kv::InitPolynomialTree(Equation(i)); }

TExprNode* TPlotWin::BuildSubstitutedTree(const TExprNode* tree, int token) const {
  return kv::BuildSubstitutedTree(tree, token, VariableTree(token));
}

void TPlotWin::BindTableValues(int i, TExprNode* tree) const {
  if (IsValidIndex(i)) kv::BindTableValues(Equation(i), tree);
}

bool TPlotWin::HasLetterBinding(int i) const { return IsValidIndex(i) && kv::HasLetterBinding(Equation(i)); }

void TPlotWin::ReplaceTokenInEquation(int i, int from, int to) {
  if (IsValidIndex(i)) kv::ReplaceTokenInEquation(Equation(i), from, to);
}

// ---- letters and tokens ----

void TPlotWin::CollectTreeTokens(const TExprNode* tree, std::array<std::uint8_t, 256>& set) {
  kv::CollectTreeTokens(tree, set);
}

void TPlotWin::MarkEquationTokens(int i) {
  if (IsValidIndex(i)) MarkEquationLetters(Equation(i), usedLetters);
}

void TPlotWin::MarkUsedVariables() {
  usedLetters.fill(0);
  for (int i = 0; i <= equationCount; ++i) MarkEquationTokens(i);
}

bool TPlotWin::UsesLetter(int letter) const {
  const int v = tok::VariableOf(letter);
  return v >= 0 && usedLetters[static_cast<std::size_t>(v)] != 0;
}

// ---- 3D picking ----

void TPlotWin::BuildSightLineTree(int i) {
  if (!IsValidIndex(i)) return;
  inventory_->sightLines[static_cast<std::size_t>(i)].reset(kv::BuildSightLineTree(Equation(i)));
}

const TExprNode* TPlotWin::SightLineTree(int i) const {
  if (!IsValidIndex(i)) return nullptr;
  return inventory_->sightLines[static_cast<std::size_t>(i)].get();
}

TExprNode* TPlotWin::BuildPlaneImplicitTree(int i, int& code) {
  if (!IsValidIndex(i)) {
    code = -6;
    return NewNumberNode(TComplex(0));
  }
  return kv::BuildPlaneImplicitTree(Equation(i), code);
}

// ---- descriptions ----

std::string TPlotWin::DescribeEquationByKind(const TEquation& e, int limit) { return kv::DescribeEquationByKind(e, limit); }

std::string TPlotWin::DescribeEquation(int i, int limit) const {
  if (!IsValidIndex(i)) return {};
  return kv::DescribeEquation(Equation(i), limit);
}

}  // namespace kv
