#include "formula/program.h"

#include <cmath>
#include <cstring>
#include <limits>
#include <type_traits>

#include "formula/expr_node.h"
#include "formula/kernels.h"
#include "formula/parameter_tables.h"
#include "formula/program_emitter.h"
#include "formula/program_ops.h"

namespace kv::formula_detail {
namespace {

constexpr long double kNoBranch = std::numeric_limits<long double>::quiet_NaN();

// Jump detection at one point: a jump raises the error flag.
struct PointJumps {
  Program* program;
  bool on;
  bool* flag;
  void Note(std::int32_t slot, int token, long double x) {
    if (on && program->Branch(slot, token, x) && flag) *flag = true;
  }
};

// Jump detection in a block: a jump marks the point being evaluated.
struct BlockJumps {
  Program* program;
  bool on;
  std::uint8_t* jumped;
  int point = 0;
  void Note(std::int32_t slot, int token, long double x) {
    if (on && program->Branch(slot, token, x)) jumped[point] = 1;
  }
};

// Instructions whose evaluation has effects besides its value (branch checks)
// or may take long on any input run at the points still defined only; the
// plain arithmetic runs at every point, which keeps its loop simple.
constexpr bool RunsEverywhere(int op) {
  switch (op) {
    case kLoadCheck: case kAddAM: case kAddMM: case kSubAM: case kSubMA: case kSubMM: case kMulAM: case kMulMM:
    case kDivAM: case kDivMA: case kDivMM: case kSqrA: case kSqrM: case kCubeA: case kCubeM: case kSqrtA:
    case kSqrtM: case kAbsA: case kAbsM: case kMulAddMMA: case kMulAddAMM: case kMulAddMMM: case kLinMulLin:
    case kMulLinA: case kSqrAddMA: case kSqrAddMM: case kQuadratic:
      return true;
    default:
      return false;
  }
}

// One instruction at the n points of a block.  Everything comes by value,
// so that nothing the loop reads is reloaded after each store; operands that
// are the same at every point (bit k of `uniform`) are loaded once.
template <int op, class T, int uniform>
void BlockLoop(const OpFields f, const bool mode, const int n, const T* acc, const int accStep, const T* p0,
               const int s0, const T* p1, const int s1, const T* p2, const int s2, const T* p3, const int s3,
               T* out, std::uint8_t* alive, BlockJumps& jumps) {
  const T u0 = (uniform & 1) ? *p0 : T();
  const T u1 = (uniform & 2) ? *p1 : T();
  const T u2 = (uniform & 4) ? *p2 : T();
  const T u3 = (uniform & 8) ? *p3 : T();
  auto operands = [&](int i, const T** m) {
    m[0] = (uniform & 1) ? &u0 : p0 + i * s0;
    m[1] = (uniform & 2) ? &u1 : p1 + i * s1;
    m[2] = (uniform & 4) ? &u2 : p2 + i * s2;
    m[3] = (uniform & 8) ? &u3 : p3 + i * s3;
  };
  if constexpr (RunsEverywhere(op)) {
    for (int i = 0; i < n; ++i) {
      const T* m[4];
      operands(i, m);
      T r = T();
      const bool ok = Eval<op>(f, mode, acc[i * accStep], m, r, jumps);
      out[i] = r;
      alive[i] &= static_cast<std::uint8_t>(ok);
    }
  } else {
    for (int i = 0; i < n; ++i) {
      if (!alive[i]) continue;
      jumps.point = i;
      const T* m[4];
      operands(i, m);
      T r;
      if (Eval<op>(f, mode, acc[i * accStep], m, r, jumps)) out[i] = r;
      else alive[i] = 0;
    }
  }
}

// Picks the BlockLoop for the operands that are uniform (real values only:
// complex instructions are dearer than the loads saved).
template <int op, class T, int uniform = 0, int k = 0>
void RunBlockLoop(int bits, const OpFields f, const bool mode, const int n, const T* acc, const int accStep,
                  const T* p0, const int s0, const T* p1, const int s1, const T* p2, const int s2, const T* p3,
                  const int s3, T* out, std::uint8_t* alive, BlockJumps& jumps) {
  if constexpr (k == OperandCount(op) || !std::is_same_v<T, long double>) {
    BlockLoop<op, T, uniform>(f, mode, n, acc, accStep, p0, s0, p1, s1, p2, s2, p3, s3, out, alive, jumps);
  } else if (bits & (1 << k)) {
    RunBlockLoop<op, T, uniform | (1 << k), k + 1>(bits, f, mode, n, acc, accStep, p0, s0, p1, s1, p2, s2, p3,
                                                   s3, out, alive, jumps);
  } else {
    RunBlockLoop<op, T, uniform, k + 1>(bits, f, mode, n, acc, accStep, p0, s0, p1, s1, p2, s2, p3, s3, out,
                                        alive, jumps);
  }
}

// Sines or cosines at the live points of a block, as Eval takes them, through
// the memo: an argument met before at that point is not reduced again.
template <bool kCosine>
void SharedSinesOrCosines(SineCosineMemo& memo, int n, const long double* x, long double* out,
                          std::uint8_t* alive) {
  for (int i = 0; i < n; ++i) {
    if (!alive[i]) continue;
    if (!WithinAngleGuard(x[i])) {
      alive[i] = 0;
      continue;
    }
    const SineCosineMemo::Key key = SineCosineMemo::KeyOf(x[i]);
    SineCosineMemo::Set& set = memo.sets[i];
    int w = 0;
    while (w < SineCosineMemo::kWays && !(set.key[w] == key)) ++w;
    if (w == SineCosineMemo::kWays) {
      w = set.next;
      set.next = w + 1 == SineCosineMemo::kWays ? 0 : w + 1;
      sincosl(x[i], &set.sine[w], &set.cosine[w]);
      set.key[w] = key;
    }
    out[i] = kCosine ? set.cosine[w] : set.sine[w];
  }
}

inline const long double* Address(const TComplex& v, long double*) { return &v.re; }
inline const TComplex* Address(const TComplex& v, TComplex*) { return &v; }

}  // namespace

void DeleteProgram(Program* program) { delete program; }

SineCosineMemo::Key SineCosineMemo::KeyOf(const long double& x) {
  static_assert(sizeof(long double) <= 16);
  Key k;
  if constexpr (std::numeric_limits<long double>::digits == 64) {
    std::uint16_t exponent;
    LongDoubleBits(x, k.low, exponent);
    k.high = exponent;
  } else {
    unsigned char bytes[16] = {};
    std::memcpy(bytes, &x, sizeof x);
    std::memcpy(&k.low, bytes, 8);
    std::memcpy(&k.high, bytes + 8, 8);
  }
  return k;
}

SineCosineMemo::SineCosineMemo() {
  const Key nan = KeyOf(std::numeric_limits<long double>::quiet_NaN());
  for (Set& s : sets)
    for (Key& k : s.key) k = nan;
}

Program* Program::Build(const TExprNode* root) {
  auto* p = new Program;
  ProgramEmitter(*p).Emit(root);
  if (p->alwaysUndefined_) p->realCapable_ = false;  // Run asks one flag only
  p->spillStep_.assign(static_cast<std::size_t>(p->spillCount_), 0);
  return p;
}

void Program::Bind(const TComplex* variables) {
  for (std::size_t k = 0; k < code_.size(); ++k) {
    for (int j = 0; j < 4; ++j) {
      const Operand& o = code_[k].m[j];
      if (o.kind != Operand::kVariable) continue;
      real_[k].m[j] = &variables[o.index].re;
      complex_[k].m[j] = &variables[o.index];
    }
  }
  bound_ = variables;
}

bool Program::Matches() const {
  for (const Leaf& leaf : leaves_) {
    if (leaf.node->token != leaf.token) return false;
    if (leaf.token == tok::Number) {
      std::uint64_t rm, im;
      std::uint16_t re, ie;
      LongDoubleBits(leaf.node->value.re, rm, re);
      LongDoubleBits(leaf.node->value.im, im, ie);
      if (rm != leaf.reMantissa || re != leaf.reExponent || im != leaf.imMantissa || ie != leaf.imExponent)
        return false;
    }
  }
  return true;
}

bool Program::Branch(std::int32_t slot, int token, long double x) {
  const long double b = BranchOf(token, x);
  long double& last = lastBranch_[static_cast<std::size_t>(slot)];
  const bool jumped = !std::isnan(last) && last != b;
  last = b;
  return jumped;
}

// The first evaluation after jump detection was switched on never jumps.
void Program::ResetBranches(const RunContext& context) {
  for (long double& b : lastBranch_) b = kNoBranch;
  epoch_ = context.jumpEpoch;
}

// ---- one point ----

// The running value stays in a register from one instruction to the next;
// only spills go through memory.
bool Program::RunReal(bool jumpDetection, bool* errorFlag, TComplex& result) {
  PointJumps jumps{this, jumpDetection, errorFlag};
  long double acc = 0;
  for (const Instruction<long double>& in : real_) {
    // Each case updates the running value itself (the real kernels take
    // their arguments by value): no result waits for a join.
    switch (in.op) {
      case kStore:
        *in.dst = acc;
        break;
#define KV_CASE(o)                                      \
  case o:                                               \
    if (!Eval<o>(in.f, false, acc, in.m, acc, jumps))   \
      return false;                                     \
    break;
        KV_PROGRAM_OPS(KV_CASE)
#undef KV_CASE
      default:
        __builtin_unreachable();  // the emitter writes no other codes
    }
  }
  // The imaginary part is written only where it is not +0 already.
  result.re = acc;
  if (!TValueTable::IsPositiveZero(result.im)) result.im = 0;
  return true;
}

bool Program::RunComplex(const RunContext& context, TComplex& result) {
  if (alwaysUndefined_) return false;
  PointJumps jumps{this, context.jumpDetection, context.errorFlag};
  const bool mode = context.complexMode;
  TComplex acc;
  for (const Instruction<TComplex>& in : complex_) {
    TComplex r;
    bool ok;
    switch (in.op) {
      case kStore:
        *in.dst = acc;
        continue;
#define KV_CASE(o)                                          \
  case o:                                                   \
    ok = Eval<o>(in.f, mode, acc, in.m, r, jumps);          \
    break;
        KV_PROGRAM_OPS(KV_CASE)
#undef KV_CASE
      default:
        __builtin_unreachable();  // the emitter writes no other codes
    }
    if (!ok) return false;
    acc = r;
  }
  result = acc;
  return true;
}

// ---- blocks of points ----

int Program::RunBlock(const RunContext& context, const BlockVariables& in, int n, long double* re,
                      long double* im, std::uint8_t* status) {
  if (n <= 0) return 0;
  if (alwaysUndefined_) {
    for (int i = 0; i < n; ++i) status[i] = kPointUndefined;
    return n;
  }
  if (context.jumpDetection && epoch_ != context.jumpEpoch) ResetBranches(context);
  std::uint64_t varying = 0;
  for (int k = 0; k < in.count; ++k) varying |= std::uint64_t{1} << in.index[k];
  const bool real =
      realCapable_ && !context.complexMode && (context.nonRealMask & variableMask_ & ~varying) == 0;
  return real ? RunBlockAs<long double>(context, in, n, re, im, status)
              : RunBlockAs<TComplex>(context, in, n, re, im, status);
}

template <class T>
int Program::RunBlockAs(const RunContext& context, const BlockVariables& in, int n, long double* re,
                        long double* im, std::uint8_t* status) {
  constexpr bool kReal = std::is_same_v<T, long double>;
  std::vector<T>& scratch = [this]() -> std::vector<T>& {
    if constexpr (kReal) return realBlock_;
    else return complexBlock_;
  }();
  // The accumulator, the spills and (complex) the varying variables.
  const std::size_t size = static_cast<std::size_t>(1 + spillCount_ + (kReal ? 0 : 3)) * kBlock;
  if (scratch.size() != size) scratch.assign(size, T());
  int failed = 0;
  for (int first = 0; first < n; first += kBlock) {
    const int count = n - first < kBlock ? n - first : kBlock;
    failed += RunChunk<T>(context, in, first, count, scratch.data(), re, im, status);
  }
  return failed;
}

template <class T>
int Program::RunChunk(const RunContext& context, const BlockVariables& in, int first, int n, T* scratch,
                      long double* re, long double* im, std::uint8_t* status) {
  constexpr bool kReal = std::is_same_v<T, long double>;
  struct Src {
    const T* p;
    int step;  // 1: one value per point, 0: one value for all
  };
  T* const accBuffer = scratch;
  T* const spills = scratch + kBlock;

  // The varying variables.
  Src vary[3];
  int varyIndex[3] = {-1, -1, -1};
  int varyCount = 0;
  if constexpr (kReal) {
    for (int k = 0; k < in.count; ++k) {
      varyIndex[varyCount] = in.index[k];
      vary[varyCount++] = Src{in.values[k] + first, 1};
    }
  } else {
    T* arrays = spills + static_cast<std::size_t>(spillCount_) * kBlock;
    for (int k = 0; k < in.count; ++k) {
      T* a = arrays + static_cast<std::size_t>(k) * kBlock;
      for (int i = 0; i < n; ++i) a[i] = TComplex(in.values[k][first + i], 0);
      varyIndex[varyCount] = in.index[k];
      vary[varyCount++] = Src{a, 1};
    }
    if (in.zFollows) {
      // Z = X + iY at every point, X and Y varying or not.
      auto source = [&](int index) {
        for (int k = 0; k < varyCount; ++k)
          if (varyIndex[k] == index) return vary[k];
        return Src{&context.variables[index], 0};
      };
      const Src x = source(tok::VariableIndex(tok::X));
      const Src y = source(tok::VariableIndex(tok::Y));
      T* z = arrays + 2 * static_cast<std::size_t>(kBlock);
      for (int i = 0; i < n; ++i) {
        const TComplex& xv = x.p[i * x.step];
        const TComplex& yv = y.p[i * y.step];
        z[i] = TComplex(xv.re - yv.im, xv.im + yv.re);
      }
      varyIndex[varyCount] = tok::VariableIndex(tok::Z);
      vary[varyCount++] = Src{z, 1};
    }
  }
  const T* constants = [this]() -> const T* {
    if constexpr (kReal) return realConstants_.data();
    else return complexConstants_.data();
  }();
  auto resolve = [&](const Operand& o) -> Src {
    switch (o.kind) {
      case Operand::kVariable:
        for (int k = 0; k < varyCount; ++k)
          if (varyIndex[k] == o.index) return vary[k];
        return Src{Address(context.variables[o.index], static_cast<T*>(nullptr)), 0};
      case Operand::kConstant:
        return Src{constants + o.index, 0};
      case Operand::kSpill:
        return Src{spills + static_cast<std::size_t>(o.index) * kBlock, spillStep_[o.index]};
      default:
        return Src{accBuffer, 0};  // not read
    }
  };

  std::uint8_t alive[kBlock];
  std::uint8_t jumped[kBlock];
  std::memset(alive, 1, static_cast<std::size_t>(n));
  std::memset(jumped, 0, static_cast<std::size_t>(n));
  int aliveCount = n;
  BlockJumps jumps{this, context.jumpDetection, jumped};
  const bool mode = context.complexMode;
  Src acc{accBuffer, 0};

  for (const Code& c : code_) {
    if (c.op == kStore) {
      T* to = spills + static_cast<std::size_t>(c.m[0].index) * kBlock;
      spillStep_[c.m[0].index] = static_cast<std::uint8_t>(acc.step);
      if (acc.step) {
        for (int i = 0; i < n; ++i) to[i] = acc.p[i];
      } else {
        to[0] = acc.p[0];
      }
      continue;
    }
    if (c.op == kLoad) {
      acc = resolve(c.m[0]);
      continue;
    }
    Src s[4] = {{accBuffer, 0}, {accBuffer, 0}, {accBuffer, 0}, {accBuffer, 0}};
    const int operands = OperandCount(c.op);
    bool varies = ReadsAcc(c.op) && acc.step != 0;
    for (int j = 0; j < operands; ++j) {
      s[j] = resolve(c.m[j]);
      varies = varies || s[j].step != 0;
    }
    const OpFields f{c.token, c.subCode, c.aux};
    // The last instruction writes real values straight into the caller's array.
    T* out = accBuffer;
    if constexpr (kReal) {
      if (&c == &code_.back()) out = re + first;
    }
    // One instruction over the block: the switch runs once, the loop inside.
    auto step = [&]<int op>() {
      if (!varies) {
        // Computed once; a branch check counts for the first point still
        // defined (the others see the same branch again).
        int i = 0;
        while (i < n && !alive[i]) ++i;
        if (i == n) {
          aliveCount = 0;
          return;
        }
        jumps.point = i;
        const T* m[4] = {s[0].p, s[1].p, s[2].p, s[3].p};
        T r;
        if (Eval<op>(f, mode, acc.p[0], m, r, jumps)) {
          accBuffer[0] = r;
          acc = Src{accBuffer, 0};
        } else {
          for (int k = 0; k < n; ++k) alive[k] = 0;
          aliveCount = 0;
        }
        return;
      }
      if constexpr (kReal && (op == kSinA || op == kSinM || op == kCosA || op == kCosM)) {
        // Sine and cosine have no branches: no jump to note.
        const Src& x = op == kSinA || op == kCosA ? acc : s[0];
        if (context.sines && x.step) {
          SharedSinesOrCosines<op == kCosA || op == kCosM>(*context.sines, n, x.p, out, alive);
          acc = Src{out, 1};
          return;
        }
      }
      T held;
      if (acc.step == 0) {
        held = acc.p[0];
        acc.p = &held;
      }
      int uniform = 0;
      for (int j = 0; j < operands; ++j)
        if (s[j].step == 0) uniform |= 1 << j;
      RunBlockLoop<op, T>(uniform, f, mode, n, acc.p, acc.step, s[0].p, s[0].step, s[1].p, s[1].step, s[2].p,
                          s[2].step, s[3].p, s[3].step, out, alive, jumps);
      acc = Src{out, 1};
    };
    switch (c.op) {
#define KV_CASE(o)                  \
  case o:                           \
    step.template operator()<o>();  \
    break;
      KV_PROGRAM_OPS(KV_CASE)
#undef KV_CASE
      default:
        aliveCount = 0;
        for (int k = 0; k < n; ++k) alive[k] = 0;
        break;
    }
    if (aliveCount == 0) break;
  }
  if (aliveCount == 0)
    for (int i = 0; i < n; ++i) alive[i] = 0;

  // Statuses without branches: 0 undefined, 1 defined, 2 jump.
  int defined = 0;
  std::uint8_t* st = status + first;
  for (int i = 0; i < n; ++i) {
    const std::uint8_t v = static_cast<std::uint8_t>(alive[i] + (alive[i] & jumped[i]));
    st[i] = v;
    defined += v == kPointDefined;
  }
  const bool copy = static_cast<const void*>(acc.p) != re + first;
  if (copy || im) {
    for (int i = 0; i < n; ++i) {
      if (!alive[i]) continue;
      const T& v = acc.p[i * acc.step];
      if (copy) re[first + i] = RealPartOf(v);
      if (im) {
        if constexpr (kReal) im[first + i] = 0;
        else im[first + i] = v.im;
      }
    }
  }
  return n - defined;
}

}  // namespace kv::formula_detail
