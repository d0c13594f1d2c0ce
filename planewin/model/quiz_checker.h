// The quiz's test whether a typed formula describes the task's function:
// both are evaluated at random points across the view and must agree.
#pragma once

#include "formula/expr_node.h"
#include "formula/formula_engine.h"
#include "core/random_source.h"

namespace kv {

namespace quiz {
inline constexpr int kCheckPoints = 25;
inline constexpr long double kCheckTolerance = 0.001L;
}  // namespace quiz

struct TGuessVerdict {
  bool accepted = false;
  int jointlyDefined = 0;         // points where both are defined
  int definedApart = 0;           // points where only one of them is
  long double maxDifference = 0;  // over the jointly defined points
};

// X runs over kCheckPoints random points xmin + 2 halfX r, r in [0, 1).
// Points where either side is undefined are skipped.  The guess is
// accepted when both are defined at one point at least and the guess
// differs from the task by less than kCheckTolerance at each of them.  The engine's variables and jump detection are left as
// they were.
TGuessVerdict CheckGuess(TFormulaEngine& engine, TExprNode* task, TExprNode* guess, long double xmin,
                         long double halfX, TRandomSource& random);

}  // namespace kv
