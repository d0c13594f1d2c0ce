#include "planewin/model/quiz_checker.h"

#include <algorithm>
#include <cmath>

namespace kv {

TGuessVerdict CheckGuess(TFormulaEngine& engine, TExprNode* task, TExprNode* guess, long double xmin,
                         long double halfX, TRandomSource& random) {
  TGuessVerdict verdict;
  if (!task || !guess) return verdict;
  engine.SaveVariables();
  // Random points jump between the branches of tan and its kin; every
  // point stands on its own here.
  const bool jumps = engine.JumpDetection();
  engine.SetJumpDetection(false);
  for (int k = 0; k < quiz::kCheckPoints; ++k) {
    const long double r = random.InRange(0, 1);
    engine.SetVariable('X', xmin + halfX * r * 2);
    engine.ClearEvaluationError();
    const bool taskDefined = engine.Evaluate(task);
    const bool guessDefined = engine.Evaluate(guess);
    // A point where one side is undefined says nothing about the guess:
    // x^(1/3) is the cube root wherever both are defined.
    if (taskDefined != guessDefined) {
      ++verdict.definedApart;
    } else if (taskDefined) {
      ++verdict.jointlyDefined;
      verdict.maxDifference = std::max(verdict.maxDifference, std::fabs(task->value.re - guess->value.re));
    }
  }
  engine.SetJumpDetection(jumps);
  engine.ClearEvaluationError();
  engine.RestoreVariables();
  // A guess defined at none of the points where the task is would pass
  // with no difference at all; it is refused.
  verdict.accepted = verdict.jointlyDefined > 0 && verdict.maxDifference < quiz::kCheckTolerance;
  return verdict;
}

}  // namespace kv
