// Expression trees back to formula text.
#pragma once

#include <string>

#include "formula/expr_node.h"

namespace kv {

// A text that compiles to a tree of the same value: lower-case letters,
// explicit "*", parentheses where the precedence needs them, numbers with up
// to 21 significant digits (exponents written as "*10^").  False for trees
// that no text can express (extra variables, placeholders, containers,
// internal polygamma nodes).
bool TreeToText(const TExprNode* tree, std::string& text);

}  // namespace kv
