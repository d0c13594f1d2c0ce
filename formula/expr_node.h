// The expression tree: the public form of a compiled formula, and the tree
// library (construction, copying, freeing, substitution).
//
// A node holds a token code (formula/tokens.h), a complex value, a sub-code
// and up to four children.  Number nodes keep their value; after
// TFormulaEngine::Evaluate the root holds the result.  Nodes are allocated
// with new and freed with FreeTree; TreePtr frees automatically.
//
// Evaluation runs over a flat program that is built from the tree on its
// first evaluation and kept in the root.  Every function of this library
// that changes a tree drops the programs it invalidates.  Whoever changes an
// evaluated tree by hand calls NoteTreeEdits afterwards when only leaves
// changed (the level window rewrites number leaves in place; the next
// evaluation of each tree then checks its leaves once), or
// ForgetCompiledProgram on its root for any other change (replacing
// children, changing the token of an inner node).
#pragma once

#include <cstdint>
#include <limits>
#include <memory>

#include "formula/complex.h"
#include "formula/tokens.h"

namespace kv {

namespace formula_detail {
class Program;
}

struct TExprNode {
  std::int16_t token = 0;
  TComplex value;
  // Function variant (the order of Psi, the index k of a Taylor coefficient).
  std::int16_t subCode = 0;
  std::int16_t argCount = 0;  // children in use
  TExprNode* child[4] = {nullptr, nullptr, nullptr, nullptr};

  // Branch of the last evaluation by tree walk (jump detection); NaN: none.
  long double lastBranch = std::numeric_limits<long double>::quiet_NaN();
  // The flat program of this tree, built on its first evaluation.
  formula_detail::Program* program = nullptr;

  TExprNode() = default;
  TExprNode(const TExprNode&) = delete;
  TExprNode& operator=(const TExprNode&) = delete;
  // Frees the cached program only; children are freed by FreeTree.
  ~TExprNode();
};

void FreeTree(TExprNode* tree);  // recursive; null allowed
struct TreeDeleter {
  void operator()(TExprNode* tree) const { FreeTree(tree); }
};
using TreePtr = std::unique_ptr<TExprNode, TreeDeleter>;

// ---- construction ----
// Re-initialises node: the token, the real value (imaginary 0), no children
// (existing children are not freed), sub-code 0.
void InitNode(TExprNode* node, int token, long double value);
TExprNode* NewNode(int token, long double value = 0);
TExprNode* NewNumberNode(const TComplex& value);
// A letter leaf; `letter` is a token (64..90, 192..197) or a variable index (0..32).
TExprNode* NewLetterNode(int letter);
// Operator and function nodes that adopt the given children (no copies).
TExprNode* NewUnaryNode(int token, TExprNode* operand);
TExprNode* NewBinaryNode(int token, TExprNode* left, TExprNode* right);

// Deep copy; null gives null.
TExprNode* CloneTree(const TExprNode* tree);
int CountNodes(const TExprNode* tree);
int TreeDepth(const TExprNode* tree);
bool TreeContainsToken(const TExprNode* tree, int token);
// Whether the tree holds the letter (token 64..90 or 192..197, or index 0..32).
bool TreeUsesLetter(const TExprNode* tree, int letter);
// Same tokens, sub-codes, number values and shape.
bool TreesEqual(const TExprNode* a, const TExprNode* b);
// Drops the cached flat programs of every node of the tree.
void ForgetCompiledProgram(TExprNode* tree);
// After leaves of evaluated trees were rewritten in place (their values or
// letters): every program checks its leaves once before it runs again.
void NoteTreeEdits();
namespace formula_detail {
// Counts NoteTreeEdits calls; programs remember the count they checked at.
inline std::uint64_t treeEdits = 1;
}  // namespace formula_detail

// A letter given as token (64..90, 192..197), variable index (0..32) or character
// ('x', 'X', '@') as its token; 0 when it is none of these.
int LetterToken(int letter);

// ---- substitution ----
// In place: every node of `token` becomes a copy of `replacement`.
void SubstituteNodes(TExprNode* tree, int token, const TExprNode* replacement);
// A copy of the tree with every node of `token` replaced by a copy of
// `replacement`; the inputs stay unchanged.
TExprNode* CloneAndSubstitute(const TExprNode* tree, int token, const TExprNode* replacement);
// A copy with several tokens replaced at once (tokens[i] by replacements[i]),
// so that replacements may hold each other's tokens (X by Y and Y by X).
// `made`, when given, is increased by the number of nodes allocated.
TExprNode* CloneAndSubstituteAll(const TExprNode* tree, const int* tokens,
                                 const TExprNode* const* replacements, int count, long* made = nullptr);
// In place: every node of the letter becomes the number `value`.
void SubstituteNumber(TExprNode* tree, int letter, const TComplex& value);
// In place: every node of token `from` gets token `to` (children kept).
void RenameTokenCode(TExprNode* tree, int from, int to);
// In place: every node of token `from` becomes a leaf of token `to`
// (its children are freed).
void ReplaceTokenByLeaf(TExprNode* tree, int from, int to);
// In place: X becomes T.
void RenameXToT(TExprNode* tree);

}  // namespace kv
