// Compiling an inventory entry with a window's formula engine: its formula
// texts into trees by kind, the derived trees (derivatives, curvature,
// explicit and implicit forms) and the letters its trees use.  The plot
// layer calls these for its entries (TPlotWin::CompileEquation and kin).
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "formula/expr_node.h"
#include "formula/formula_engine.h"
#include "formula/tokens.h"
#include "plotcore/model/equation.h"

namespace kv {

// "lhs=rhs" as "lhs-(rhs)"; false when the text has no "=" or the result
// would not fit a formula text.
bool RewriteEquationAsDifference(std::string& target, std::string_view text);

// Every tree of the entry anew from its texts by kind; the derivative and
// curvature trees too unless withDerivedTrees is off; all simplified.
void CompileEquation(TEquation& e, TFormulaEngine& engine, bool withDerivedTrees);
// "(a;b;c)", "a;b;c" or "a,b,c" into three trees; false when a part does
// not compile or the count is not three.
bool CompileCoordinateTriple(TFormulaEngine& engine, std::string_view text, std::array<TreePtr, 3>& trees);
void BuildDerivativeTrees(TEquation& e);
void BuildCurvatureTrees(TEquation& e);
void BuildLineEquationTree(TEquation& e);
void BuildSegmentLineTree(TEquation& e);
// A + B X + ... + I X^8 into tree 1 (interpolated entries).
void InitPolynomialTree(TEquation& e);
// Letters A..I of the tree become the entry's value-buffer numbers.
void BindTableValues(const TEquation& e, TExprNode* tree);
bool HasLetterBinding(const TEquation& e);
// In all seven trees every node of token `from` becomes a leaf of `to`.
void ReplaceTokenInEquation(TEquation& e, int from, int to);
// Copy of the tree with `own` substituted for the token (a plain copy
// without it).
TExprNode* BuildSubstitutedTree(const TExprNode* tree, int token, const TExprNode* own);

// The tokens of a tree, and the variables of an entry's trees (their flags
// are set, none cleared).
void CollectTreeTokens(const TExprNode* tree, std::array<std::uint8_t, 256>& set);
void MarkEquationLetters(const TEquation& e, std::array<std::uint8_t, tok::kVariableCount>& used);

// F of an implicit surface along the sight line X = var27 + T var30, ...
// (3D picking); null without F.
TExprNode* BuildSightLineTree(const TEquation& e);
// The plane through samples 0, 1 and the first of the second grid row:
// code 0 the form N·(P - P0); code > 0 solved for z (3), y (2) or x (1);
// -6 and the number 0 when degenerate.
TExprNode* BuildPlaneImplicitTree(const TEquation& e, int& code);

}  // namespace kv
