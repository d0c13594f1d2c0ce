#include "formula/expr_node.h"

#include <algorithm>
#include <vector>

#include "formula/program.h"

namespace kv {

TExprNode::~TExprNode() { formula_detail::DeleteProgram(program); }

void FreeTree(TExprNode* tree) {
  if (!tree) return;
  // Iterative, so that a degenerate deep tree cannot exhaust the stack.
  std::vector<TExprNode*> pending{tree};
  while (!pending.empty()) {
    TExprNode* node = pending.back();
    pending.pop_back();
    for (TExprNode* c : node->child) {
      if (c) pending.push_back(c);
    }
    delete node;
  }
}

void NoteTreeEdits() { ++formula_detail::treeEdits; }

namespace {

void Initialise(TExprNode* node, int token, long double value) {
  formula_detail::DeleteProgram(node->program);
  node->program = nullptr;
  node->token = static_cast<std::int16_t>(token);
  node->value = TComplex(value, 0);
  node->subCode = 0;
  node->argCount = 0;
  std::fill(std::begin(node->child), std::end(node->child), nullptr);
  node->lastBranch = std::numeric_limits<long double>::quiet_NaN();
}

}  // namespace

// The node may be a leaf of an evaluated tree: its programs check their leaves.
void InitNode(TExprNode* node, int token, long double value) {
  Initialise(node, token, value);
  NoteTreeEdits();
}

TExprNode* NewNode(int token, long double value) {
  auto* node = new TExprNode;
  Initialise(node, token, value);
  return node;
}

TExprNode* NewNumberNode(const TComplex& value) {
  auto* node = NewNode(tok::Number);
  node->value = value;
  return node;
}

int LetterToken(int letter) {
  const int index = tok::VariableOf(letter);
  return index < 0 ? 0 : tok::Letter(index);
}

TExprNode* NewLetterNode(int letter) { return NewNode(LetterToken(letter)); }

TExprNode* NewUnaryNode(int token, TExprNode* operand) {
  TExprNode* node = NewNode(token);
  node->child[0] = operand;
  node->argCount = 1;
  return node;
}

TExprNode* NewBinaryNode(int token, TExprNode* left, TExprNode* right) {
  TExprNode* node = NewNode(token);
  node->child[0] = left;
  node->child[1] = right;
  node->argCount = 2;
  return node;
}

namespace {

void CopyFields(TExprNode* to, const TExprNode* from) {
  to->token = from->token;
  to->value = from->value;
  to->subCode = from->subCode;
  to->argCount = from->argCount;
}

TExprNode* CloneSubstituting(const TExprNode* tree, const int* tokens,
                             const TExprNode* const* replacements, int count, long& made) {
  if (!tree) return nullptr;
  for (int i = 0; i < count; ++i) {
    if (tree->token == tokens[i]) return CloneSubstituting(replacements[i], nullptr, nullptr, 0, made);
  }
  auto* copy = new TExprNode;
  ++made;
  CopyFields(copy, tree);
  for (int i = 0; i < 4; ++i)
    copy->child[i] = CloneSubstituting(tree->child[i], tokens, replacements, count, made);
  return copy;
}

}  // namespace

TExprNode* CloneTree(const TExprNode* tree) {
  long made = 0;
  return CloneSubstituting(tree, nullptr, nullptr, 0, made);
}

int CountNodes(const TExprNode* tree) {
  if (!tree) return 0;
  int n = 1;
  for (const TExprNode* c : tree->child) n += CountNodes(c);
  return n;
}

int TreeDepth(const TExprNode* tree) {
  if (!tree) return 0;
  int d = 0;
  for (const TExprNode* c : tree->child) d = std::max(d, TreeDepth(c));
  return d + 1;
}

bool TreeContainsToken(const TExprNode* tree, int token) {
  if (!tree) return false;
  if (tree->token == token) return true;
  for (const TExprNode* c : tree->child) {
    if (TreeContainsToken(c, token)) return true;
  }
  return false;
}

bool TreeUsesLetter(const TExprNode* tree, int letter) {
  const int token = LetterToken(letter);
  return token != 0 && TreeContainsToken(tree, token);
}

bool TreesEqual(const TExprNode* a, const TExprNode* b) {
  if (!a || !b) return a == b;
  if (a->token != b->token || a->subCode != b->subCode) return false;
  if (a->token == tok::Number && !(a->value == b->value)) return false;
  for (int i = 0; i < 4; ++i) {
    if (!TreesEqual(a->child[i], b->child[i])) return false;
  }
  return true;
}

void ForgetCompiledProgram(TExprNode* tree) {
  if (!tree) return;
  formula_detail::DeleteProgram(tree->program);
  tree->program = nullptr;
  for (TExprNode* c : tree->child) ForgetCompiledProgram(c);
}

namespace {

void SubstituteInPlace(TExprNode* tree, int token, const TExprNode* replacement) {
  formula_detail::DeleteProgram(tree->program);
  tree->program = nullptr;
  if (tree->token == token) {
    // Take over a copy of the replacement in place, so that the parent's
    // pointer (or the caller's root pointer) stays valid.
    TExprNode* copy = CloneTree(replacement);
    for (TExprNode*& c : tree->child) {
      FreeTree(c);
      c = nullptr;
    }
    CopyFields(tree, copy);
    for (int i = 0; i < 4; ++i) {
      tree->child[i] = copy->child[i];
      copy->child[i] = nullptr;
    }
    tree->lastBranch = std::numeric_limits<long double>::quiet_NaN();
    FreeTree(copy);
    return;
  }
  for (TExprNode* c : tree->child) {
    if (c) SubstituteInPlace(c, token, replacement);
  }
}

}  // namespace

void SubstituteNodes(TExprNode* tree, int token, const TExprNode* replacement) {
  if (!tree || !replacement) return;
  // The replacement may be a part of the tree itself: work from a copy.
  TreePtr own(CloneTree(replacement));
  SubstituteInPlace(tree, token, own.get());
}

TExprNode* CloneAndSubstitute(const TExprNode* tree, int token, const TExprNode* replacement) {
  long made = 0;
  return CloneSubstituting(tree, &token, &replacement, 1, made);
}

TExprNode* CloneAndSubstituteAll(const TExprNode* tree, const int* tokens,
                                 const TExprNode* const* replacements, int count, long* made) {
  long n = 0;
  TExprNode* copy = CloneSubstituting(tree, tokens, replacements, count, n);
  if (made) *made += n;
  return copy;
}

void SubstituteNumber(TExprNode* tree, int letter, const TComplex& value) {
  const int token = LetterToken(letter);
  if (!tree || token == 0) return;
  TExprNode* number = NewNumberNode(value);
  SubstituteNodes(tree, token, number);
  FreeTree(number);
}

void RenameTokenCode(TExprNode* tree, int from, int to) {
  if (!tree) return;
  formula_detail::DeleteProgram(tree->program);
  tree->program = nullptr;
  if (tree->token == from) tree->token = static_cast<std::int16_t>(to);
  for (TExprNode* c : tree->child) RenameTokenCode(c, from, to);
}

void ReplaceTokenByLeaf(TExprNode* tree, int from, int to) {
  if (!tree) return;
  TExprNode* leaf = NewNode(to);
  SubstituteNodes(tree, from, leaf);
  FreeTree(leaf);
}

void RenameXToT(TExprNode* tree) { RenameTokenCode(tree, tok::X, tok::T); }

}  // namespace kv
