// The variables a sampling or drawing routine sets (the parameters of a
// surface, the family letter) are put back as they were when it ends.
#pragma once

#include <array>

#include "plotcore/func_win.h"
#include "formula/tokens.h"

namespace kv {

class TVariableGuard {
 public:
  explicit TVariableGuard(TFuncWin& w) : w_(w) {
    const TComplex* v = w.Variables();
    for (int k = 0; k < tok::kVariableCount; ++k) saved_[static_cast<std::size_t>(k)] = v[k];
  }
  ~TVariableGuard() {
    for (int k = 0; k < tok::kVariableCount; ++k) w_.SetComplexVariable(k, saved_[static_cast<std::size_t>(k)]);
  }
  TVariableGuard(const TVariableGuard&) = delete;
  TVariableGuard& operator=(const TVariableGuard&) = delete;

 private:
  TFuncWin& w_;
  std::array<TComplex, tok::kVariableCount> saved_{};
};

}  // namespace kv
