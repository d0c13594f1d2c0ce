#include "formula/user_functions.h"

#include <cctype>

#include "formula/compiler.h"
#include "formula/formula_codes.h"
#include "formula/tokens.h"

namespace kv {
namespace {

char Lower(char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); }

bool EqualNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (Lower(a[i]) != Lower(b[i])) return false;
  }
  return true;
}

}  // namespace

bool IsValidUserFunctionName(std::string_view name) {
  if (name.size() < 2 || name.size() >= kUserFunctionNameSize) return false;
  for (std::size_t i = 0; i < name.size(); ++i) {
    const char c = name[i];
    const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
    const bool digit = c >= '0' && c <= '9';
    if (!letter && !(digit && i > 0)) return false;
  }
  return true;
}

TUserFunctionTable::TUserFunctionTable(const TUserFunctionTable& other)
    : functions_(other.functions_) {}

TUserFunctionTable& TUserFunctionTable::operator=(const TUserFunctionTable& other) {
  if (this != &other) {
    functions_ = other.functions_;
    ResetCache();
  }
  return *this;
}

int TUserFunctionTable::Find(std::string_view name) const {
  for (std::size_t i = 0; i < functions_.size(); ++i) {
    if (EqualNoCase(functions_[i].name, name)) return static_cast<int>(i);
  }
  return -1;
}

std::size_t TUserFunctionTable::MatchAt(std::string_view text, std::size_t pos, int& index) const {
  std::size_t best = 0;
  index = -1;
  for (std::size_t i = 0; i < functions_.size(); ++i) {
    const std::string& name = functions_[i].name;
    if (name.size() <= best || text.size() - pos < name.size()) continue;
    if (EqualNoCase(text.substr(pos, name.size()), name)) {
      best = name.size();
      index = static_cast<int>(i);
    }
  }
  return best;
}

void TUserFunctionTable::Clear() {
  functions_.clear();
  ResetCache();
}

void TUserFunctionTable::Add(TUserFunction f) {
  functions_.push_back(std::move(f));
  ResetCache();
}

void TUserFunctionTable::Replace(int index, TUserFunction f) {
  if (index < 0 || index >= Count()) return;
  functions_[static_cast<std::size_t>(index)] = std::move(f);
  ResetCache();
}

void TUserFunctionTable::Remove(int index) {
  if (index < 0 || index >= Count()) return;
  functions_.erase(functions_.begin() + index);
  ResetCache();
}

void TUserFunctionTable::ResetCache() const {
  bodies_.clear();
  state_.clear();
  codes_.clear();
  shapes_.clear();
}

namespace {

void Measure(const TExprNode* n, TUserFunctionTable::BodyShape& shape) {
  if (!n) return;
  ++shape.nodes;
  if (n->token == tok::X) ++shape.uses[0];
  if (n->token == tok::Y) ++shape.uses[1];
  if (n->token == tok::Z) ++shape.uses[2];
  for (const TExprNode* c : n->child) Measure(c, shape);
}

}  // namespace

int TUserFunctionTable::Body(int index, const TExprNode*& body, BodyShape* shape) const {
  body = nullptr;
  if (index < 0 || index >= Count()) return kFormulaNotUnderstood;
  if (bodies_.size() != functions_.size()) {
    bodies_.clear();
    bodies_.resize(functions_.size());
    state_.assign(functions_.size(), 0);
    codes_.assign(functions_.size(), kFormulaOk);
    shapes_.assign(functions_.size(), BodyShape());
  }
  const auto i = static_cast<std::size_t>(index);
  if (state_[i] == 1) return kFormulaRecursive;  // reached again while compiling itself
  if (state_[i] == 0) {
    state_[i] = 1;
    TreePtr tree;
    const int code = CompileFormula(functions_[i].formula, this, tree);
    // A recursive function makes every function on its cycle fail; the code
    // stays cached until the table changes.
    codes_[i] = code;
    shapes_[i].depth = TreeDepth(tree.get());
    Measure(tree.get(), shapes_[i]);
    bodies_[i] = std::move(tree);
    state_[i] = 2;
  }
  body = bodies_[i].get();
  if (shape) *shape = shapes_[i];
  return codes_[i];
}

}  // namespace kv
