// Turns an expression tree into the code of a flat program (internal to the
// formula engine), in three steps:
//   Read      the tree, post-order and without recursion, into operations
//             on variables, constants and earlier operations, with constant
//             subexpressions folded and whole powers recognised;
//   Generate  accumulator code from those operations, fusing the common
//             single-use chains and spilling a value only where both
//             operands of an operation are themselves operations;
//   LayOut    constants, spill slots and operand addresses.
// Operations are generated in the order the tree walk evaluates them, except
// that a fused chain of constants and variables may move behind a subtree
// without branch functions: so jump detection sees the same sequence.
#pragma once

#include <cstdint>
#include <cstring>
#include <limits>
#include <vector>

#include "formula/complex.h"
#include "formula/program.h"

namespace kv {
struct TExprNode;
}

namespace kv::formula_detail {

// The 80-bit image of a long double: 64-bit significand, then sign and
// exponent.  Where long double has another format the value is read as a
// double, which is exact where long double is double.
inline void LongDoubleBits(const long double& v, std::uint64_t& mantissa, std::uint16_t& exponent) {
  if constexpr (std::numeric_limits<long double>::digits == 64) {
    std::memcpy(&mantissa, &v, 8);
    std::memcpy(&exponent, reinterpret_cast<const char*>(&v) + 8, 2);
  } else {
    const double d = static_cast<double>(v);
    std::memcpy(&mantissa, &d, 8);
    exponent = 0;
  }
}

class ProgramEmitter {
 public:
  explicit ProgramEmitter(Program& program) : p_(program) {}
  void Emit(const TExprNode* root);

 private:
  // An operand: a variable, a constant or an earlier operation.
  struct Ref {
    enum Kind : std::uint8_t { kVariable, kConstant, kNode } kind = kConstant;
    std::uint32_t index = 0;
    bool IsLeaf() const { return kind != kNode; }
    bool operator==(const Ref&) const = default;
  };
  enum IrOp : std::uint8_t {
    kIrAdd, kIrSub, kIrMul, kIrDiv, kIrBin, kIrSqr, kIrPowInt, kIrRootWhole,
    kIrSin, kIrCos, kIrTan, kIrSqrt, kIrLog, kIrExp, kIrAbs, kIrFunc,
  };
  struct Node {
    IrOp op;
    std::int16_t token;
    std::int16_t subCode;
    std::int32_t aux;  // whole exponent or index, or branch slot (-1: none)
    Ref a, b;
    bool branches;     // a function with branches in this subtree
  };
  // How one operation is generated: subtrees first (`second` behind a spill
  // of the first), then `code`, whose operand `spillOperand` names the spill.
  struct Plan {
    Ref first, second;
    bool hasFirst = false, hasSecond = false;
    int spillOperand = -1;
    Code code;
  };

  bool Read(const TExprNode* root);
  void Generate();
  void LayOut();

  Plan PlanFor(std::uint32_t node) const;
  bool PlanFused(const Node& n, Plan& plan) const;
  void PlanBinary(const Node& n, Plan& plan) const;
  Operand OperandOf(const Ref& r) const;
  bool IsLinear(const Ref& r) const;       // x ± c of two leaves
  bool IsLeafProduct(const Ref& r) const;  // a·b or a² of leaves
  bool HasBranches(const Ref& r) const { return r.kind == Ref::kNode && nodes_[r.index].branches; }
  Ref ConstantRef(const TComplex& v);
  Ref VariableRef(int index);

  Program& p_;
  std::vector<Node> nodes_;
  std::vector<TComplex> constants_;
  Ref root_;
  std::int32_t branches_ = 0;
  std::vector<Code> code_;
  int spills_ = 0;
};

}  // namespace kv::formula_detail
