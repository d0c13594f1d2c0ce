// The flat program a tree is evaluated by (internal to the formula engine).
//
// Built once from a tree: a post-order list of instructions, constant
// subexpressions folded, whole powers turned into repeated multiplication.
// Operands are addresses: of the program's constants and intermediate
// results, and of the variables in the engine's value table (bound when the
// table is first seen, so nothing is copied per run).  Running it allocates
// nothing.  In real mode, when every variable it reads is real and it holds
// no complex constant or cis, it runs over long doubles; otherwise over
// complex values.  Both use the kernels of kernels.h, so they give the same
// results as the tree walk.
#pragma once

#include <cstdint>
#include <vector>

#include "formula/complex.h"

namespace kv {
struct TExprNode;
}

namespace kv::formula_detail {

// What a run reads and raises besides the program.
struct RunContext {
  const TComplex* variables = nullptr;  // 33 entries
  bool complexMode = false;
  bool jumpDetection = false;
  std::uint64_t jumpEpoch = 0;  // changes whenever jump detection is switched on
  bool* errorFlag = nullptr;    // raised at a jump
};

class Program {
 public:
  static Program* Build(const TExprNode* root);

  // Whether the tree's leaves still carry the tokens and number values the
  // program was built from.
  bool Matches() const;
  // False where the value is undefined; `result` is written only on success.
  bool Run(const RunContext& context, TComplex& result);

  std::size_t InstructionCount() const { return real_.size(); }
  bool RunsReal() const { return realCapable_; }

 private:
  template <class T>
  struct Instruction {
    std::uint8_t op;
    std::int16_t token;    // the function, for the generic cases
    std::int16_t subCode;
    std::int32_t aux;      // whole exponent, or branch slot
    const T* a;
    const T* b;
    T* dst;
  };
  // The bits of a leaf as built: its token, and for numbers the 80-bit
  // images of both parts (compared as integers, without the x87 unit).
  struct Leaf {
    const TExprNode* node;
    std::int16_t token;
    std::uint64_t reMantissa, imMantissa;
    std::uint16_t reExponent, imExponent;
  };
  // An operand that reads variable `variable` (operand 0: a, 1: b, 2: the
  // result of the whole program).
  struct VariableUse {
    std::uint32_t instruction;
    std::uint8_t operand;
    std::uint8_t variable;
  };

  void Bind(const TComplex* variables);
  bool RunReal(const RunContext& context, TComplex& result);
  bool RunComplex(const RunContext& context, TComplex& result);
  void Branch(const RunContext& context, std::int32_t slot, int token, long double x);

  std::vector<Instruction<long double>> real_;
  std::vector<Instruction<TComplex>> complex_;
  std::vector<long double> realValues_;    // constants, then one per instruction
  std::vector<TComplex> complexValues_;
  std::vector<std::uint8_t> variables_;    // the variables read, each once
  std::vector<VariableUse> uses_;
  std::vector<Leaf> leaves_;
  std::vector<long double> lastBranch_;
  const TComplex* bound_ = nullptr;
  const long double* realResult_ = nullptr;
  const TComplex* complexResult_ = nullptr;
  std::uint64_t epoch_ = 0;
  bool realCapable_ = true;
  bool alwaysUndefined_ = false;
};

void DeleteProgram(Program* program);

}  // namespace kv::formula_detail
