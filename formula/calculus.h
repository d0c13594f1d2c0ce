// Symbolic differentiation and simplification of expression trees.
#pragma once

#include "formula/expr_node.h"

namespace kv {

// The partial derivative of the tree by a letter (token 64..90 or 192..197, variable
// number 0..32 or character) as a new tree in `result`; other letters count
// as constants.  False (result null) when it cannot be formed: pow(n, x) with
// n depending on the letter, polygamma orders beyond 60, containers,
// placeholders, letter bindings, and derivatives that would grow beyond a
// few hundred thousand nodes.  The derivative is simplified.
bool Differentiate(const TExprNode* tree, int letter, TExprNode*& result);
bool Differentiate(const TExprNode* tree, int letter, TreePtr& result);

// In place: folds every subtree without letters to a number (where real and
// complex mode agree on its value), then applies the identities.
void Simplify(TExprNode* tree);
// In place: a+0, 0+a, a-0, a*1, 1*a, a*0, 0*a, a/1, 0/a, a^1, a^0, 1^a and
// 0-(0-a).  Never changes the value where the original is defined.
void SimplifyIdentities(TExprNode* tree);

}  // namespace kv
