// The flat program a tree is evaluated by (internal to the formula engine).
//
// Built once from a tree by ProgramEmitter (program_emitter.h): constant
// subexpressions folded, whole powers turned into multiplications, common
// single-use chains fused (x ± c, a·b + c, (x − c)(x − d), x², x³).  The code
// is for an accumulator machine: most instructions combine the running value
// with operands in memory (variables, constants, spilled values), so a
// chain of operations keeps its 80-bit value in a register.
//
// Run evaluates at one point; RunBlock at up to any number of points, one
// dispatch per instruction and block, with operations that do not depend on
// the varying variables computed once per block.  Both run the same
// arithmetic (the kernels of kernels.h, as the tree walk does), so their
// results, undefined points and jumps are identical; a block run given a
// SineCosineMemo takes its sines and cosines from there, with the same
// values.  In real mode, when every variable read is real and the program
// holds no complex constant or cis, values are long doubles; otherwise
// complex.  Running allocates nothing (block scratch is allocated on the
// first block run).
#pragma once

#include <cstdint>
#include <vector>

#include "formula/complex.h"
#include "formula/formula_codes.h"

namespace kv {
struct TExprNode;
}

namespace kv::formula_detail {

struct SineCosineMemo;

// What a run reads and raises besides the program.
struct RunContext {
  const TComplex* variables = nullptr;  // 33 entries
  std::uint64_t nonRealMask = 0;        // bit i: variable i is not real
  bool complexMode = false;
  bool jumpDetection = false;
  std::uint64_t jumpEpoch = 0;  // changes whenever jump detection is switched on
  bool* errorFlag = nullptr;    // raised at a jump
  SineCosineMemo* sines = nullptr;  // blocks: sines and cosines shared with other runs
};

// The variables that vary over a block: variable index[k] takes values[k][i]
// at point i.  zFollows: complex mode, where Z = X + iY follows X and Y.
struct BlockVariables {
  int count = 0;
  int index[2] = {-1, -1};
  const long double* values[2] = {nullptr, nullptr};
  bool zFollows = false;
};

// Where an operand lives.
struct Operand {
  enum Kind : std::uint8_t { kNone, kVariable, kConstant, kSpill } kind = kNone;
  std::uint16_t index = 0;
};

// The fields of an instruction that its meaning depends on.
struct OpFields {
  std::int16_t token;    // the function, for the generic cases
  std::int16_t subCode;
  std::int32_t aux;      // whole exponent, branch slot or signs of a fused op
};

// One instruction as emitted; `op` is an Op of program_ops.h.
struct Code {
  std::uint8_t op = 0;
  std::int16_t token = 0;  // the function, for the generic cases
  std::int16_t subCode = 0;
  std::int32_t aux = 0;    // whole exponent, branch slot or signs of a fused op
  Operand m[4];
};

class Program {
 public:
  static constexpr int kBlock = 256;  // points per block pass

  static Program* Build(const TExprNode* root);

  // Whether the tree's leaves still carry the tokens and number values the
  // program was built from.  Checked only after NoteTreeEdits (expr_node.h).
  bool Matches() const;
  std::uint64_t checkedEdits = 0;  // the edit count at the last check

  // False where the value is undefined; `result` is written only on success.
  bool Run(const RunContext& context, TComplex& result) {
    if (context.variables != bound_) [[unlikely]]
      Bind(context.variables);
    if (context.jumpDetection && epoch_ != context.jumpEpoch) [[unlikely]]
      ResetBranches(context);
    if (realCapable_ && !context.complexMode && (context.nonRealMask & variableMask_) == 0) [[likely]]
      return RunReal(context.jumpDetection, context.errorFlag, result);
    return RunComplex(context, result);
  }
  // n points; re[i] (and im[i] when im is given) hold the values of the
  // defined points, status[i] a TPointStatus.  Returns the number of points
  // that are undefined or jump.
  int RunBlock(const RunContext& context, const BlockVariables& in, int n, long double* re, long double* im,
               std::uint8_t* status);

  std::size_t InstructionCount() const { return code_.size(); }
  bool RunsReal() const { return realCapable_; }

 private:
  friend class ProgramEmitter;

  // An instruction with the addresses of its operands.
  template <class T>
  struct Instruction {
    OpFields f;
    std::uint8_t op;
    const T* m[4];
    T* dst;  // of a spill
  };
  // The bits of a leaf as built: its token, and for numbers the 80-bit
  // images of both parts (compared as integers, without the x87 unit).
  struct Leaf {
    const TExprNode* node;
    std::int16_t token;
    std::uint64_t reMantissa, imMantissa;
    std::uint16_t reExponent, imExponent;
  };
  void Bind(const TComplex* variables);
  // Takes what it needs as values, so that no context goes through memory.
  bool RunReal(bool jumpDetection, bool* errorFlag, TComplex& result);
  bool RunComplex(const RunContext& context, TComplex& result);
  void ResetBranches(const RunContext& context);
  template <class T>
  int RunBlockAs(const RunContext& context, const BlockVariables& in, int n, long double* re, long double* im,
                 std::uint8_t* status);
  template <class T>
  int RunChunk(const RunContext& context, const BlockVariables& in, int first, int n, T* scratch,
               long double* re, long double* im, std::uint8_t* status);

 public:
  // Jump detection: the branch of slot `slot` moves to that of x; true when
  // it lands on another branch than its last one.
  bool Branch(std::int32_t slot, int token, long double x);

 private:
  std::vector<Code> code_;
  std::vector<Instruction<long double>> real_;
  std::vector<Instruction<TComplex>> complex_;
  std::vector<long double> realConstants_;
  std::vector<TComplex> complexConstants_;
  std::vector<long double> realSpills_;
  std::vector<TComplex> complexSpills_;
  std::vector<Leaf> leaves_;
  std::vector<long double> lastBranch_;
  std::vector<long double> realBlock_;  // block scratch: accumulator, spills
  std::vector<TComplex> complexBlock_;  // the same, and the varying variables
  std::vector<std::uint8_t> spillStep_; // per spill in a block: 1 varying, 0 one value
  std::uint64_t variableMask_ = 0;      // the variables read
  const TComplex* bound_ = nullptr;
  std::uint64_t epoch_ = 0;
  int spillCount_ = 0;
  bool realCapable_ = true;     // false also where always undefined
  bool alwaysUndefined_ = false;
};

// Sines and cosines of block runs kept by point and argument, so that runs
// over the same points (the x(t) and y(t) of a curve) that take the sine or
// the cosine of the same argument reduce it once: a miss computes both with
// sincosl, whose values are those of sinl and cosl bit for bit.  The keys
// are the arguments' bits; a few per point, replaced in turn.
struct SineCosineMemo {
  static constexpr int kWays = 4;
  // The bits of a long double without the padding of the 80-bit format.
  struct Key {
    std::uint64_t low = 0, high = 0;
    bool operator==(const Key&) const = default;
  };
  static Key KeyOf(const long double& x);
  struct Set {
    Key key[kWays];
    long double sine[kWays];
    long double cosine[kWays];
    int next = 0;
  };
  // Every key starts as that of a NaN, which no argument within the angle
  // guard is.
  SineCosineMemo();
  Set sets[Program::kBlock];
};

void DeleteProgram(Program* program);

}  // namespace kv::formula_detail
