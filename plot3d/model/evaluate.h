// Small evaluation helpers of the 3D tools' units.
#pragma once

#include <array>
#include <cmath>

#include "formula/formula_engine.h"

namespace kv {

// The real part of the tree at the engine's variables; false where the
// tree is missing, undefined or not finite.
inline bool EvaluateRealPart(TFormulaEngine& engine, TExprNode* tree, long double& value) {
  if (!tree || !engine.Evaluate(tree)) return false;
  value = tree->value.re;
  return std::isfinite(value);
}

// X, Y and Z at once.
inline void SetSpacePoint(TFormulaEngine& engine, long double x, long double y, long double z) {
  engine.SetPoint(x, y);
  engine.SetVariable('Z', z);
}

// Every variable is put back when the guard goes (guards nest).
class TEngineVariableGuard {
 public:
  explicit TEngineVariableGuard(TFormulaEngine& engine) : engine_(engine) {
    for (int k = 0; k < tok::kVariableCount; ++k) saved_[static_cast<std::size_t>(k)] = engine.Variable(k);
  }
  ~TEngineVariableGuard() {
    for (int k = 0; k < tok::kVariableCount; ++k) engine_.SetComplexVariable(k, saved_[static_cast<std::size_t>(k)]);
  }
  TEngineVariableGuard(const TEngineVariableGuard&) = delete;
  TEngineVariableGuard& operator=(const TEngineVariableGuard&) = delete;

 private:
  TFormulaEngine& engine_;
  std::array<TComplex, tok::kVariableCount> saved_{};
};

}  // namespace kv
