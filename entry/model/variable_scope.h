// Puts the engine's variables back as they were when a computation that
// sets X, Y, Z, T or other letters ends, without touching the engine's one
// backup table (a window may be using it around the computation).
#pragma once

#include <array>

#include "formula/formula_engine.h"
#include "formula/tokens.h"

namespace kv {

class TVariableScope {
 public:
  explicit TVariableScope(TFormulaEngine& engine) : engine_(engine) {
    for (int k = 0; k < tok::kVariableCount; ++k) saved_[static_cast<std::size_t>(k)] = engine.Variable(k);
  }
  ~TVariableScope() {
    for (int k = 0; k < tok::kVariableCount; ++k) engine_.SetComplexVariable(k, saved_[static_cast<std::size_t>(k)]);
  }
  TVariableScope(const TVariableScope&) = delete;
  TVariableScope& operator=(const TVariableScope&) = delete;

 private:
  TFormulaEngine& engine_;
  std::array<TComplex, tok::kVariableCount> saved_{};
};

}  // namespace kv
