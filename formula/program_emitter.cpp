#include "formula/program_emitter.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "formula/expr_node.h"
#include "formula/kernels.h"
#include "formula/program_ops.h"

namespace kv::formula_detail {
namespace {

constexpr long double kNoBranch = std::numeric_limits<long double>::quiet_NaN();

bool IsBinaryToken(int token) {
  return token == tok::Plus || token == tok::Minus || token == tok::Times || token == tok::Divide ||
         token == tok::Power || token == tok::Root || token == tok::Pow;
}

// The accumulator and memory forms of the one-argument operations.
struct UnaryForms {
  std::uint8_t onAcc, onMemory;
};

}  // namespace

void ProgramEmitter::Emit(const TExprNode* root) {
  if (!Read(root)) {
    p_.alwaysUndefined_ = true;
    return;
  }
  Generate();
  LayOut();
}

ProgramEmitter::Ref ProgramEmitter::ConstantRef(const TComplex& v) {
  for (std::size_t i = 0; i < constants_.size(); ++i) {
    if (constants_[i] == v) return Ref{Ref::kConstant, static_cast<std::uint32_t>(i)};
  }
  constants_.push_back(v);
  return Ref{Ref::kConstant, static_cast<std::uint32_t>(constants_.size() - 1)};
}

ProgramEmitter::Ref ProgramEmitter::VariableRef(int index) {
  p_.variableMask_ |= std::uint64_t{1} << index;
  return Ref{Ref::kVariable, static_cast<std::uint32_t>(index)};
}

// ---- step 1: the tree into operations ----

bool ProgramEmitter::Read(const TExprNode* root) {
  if (!root) return false;
  // What each visited node turned into.
  struct Result {
    Ref ref;
    bool constant = false;
    TComplex value;
  };
  // Iterative post-order walk: a node is handled when its children are.
  struct Frame {
    const TExprNode* node;
    int next;  // next child to visit
  };
  std::vector<Frame> stack{{root, 0}};
  std::vector<Result> results;  // results of the handled children, in order
  auto leaf = [&](const TExprNode* n) {
    Program::Leaf l{n, n->token, 0, 0, 0, 0};
    if (n->token == tok::Number) {
      LongDoubleBits(n->value.re, l.reMantissa, l.reExponent);
      LongDoubleBits(n->value.im, l.imMantissa, l.imExponent);
    }
    p_.leaves_.push_back(l);
  };
  while (!stack.empty()) {
    Frame& f = stack.back();
    const TExprNode* n = f.node;
    const int arity = IsBinaryToken(n->token) ? 2 : tok::FunctionArity(n->token);
    if (f.next < arity) {
      const TExprNode* c = n->child[f.next++];
      if (!c) return false;
      stack.push_back({c, 0});
      continue;
    }
    Result r;
    if (n->token == tok::Number) {
      leaf(n);
      if (!WithinBound(n->value, ExpPlus5000)) return false;
      r.constant = true;
      r.value = n->value;
      r.ref = ConstantRef(n->value);
    } else if (tok::IsLetter(n->token)) {
      leaf(n);
      r.ref = VariableRef(tok::VariableIndex(n->token));
    } else if (arity == 0) {
      return false;  // placeholders, containers, unknown tokens
    } else {
      const Result* args = results.data() + results.size() - arity;
      const bool allConstant = args[0].constant && (arity == 1 || args[1].constant);
      const TComplex argValues[2] = {args[0].value, arity == 2 ? args[1].value : TComplex()};
      TComplex folded;
      if (allConstant && FoldConstant(n->token, n->subCode, argValues, arity, folded)) {
        r.constant = true;
        r.value = folded;
        r.ref = ConstantRef(folded);
      } else {
        Node d{kIrFunc, n->token, n->subCode, -1, args[0].ref, arity == 2 ? args[1].ref : args[0].ref, false};
        std::int32_t whole = 0;
        auto wholeConstant = [&](const Result& a, std::int32_t& k) {
          return a.constant && IsWholeRealNumber(a.value.re, a.value.im, k);
        };
        switch (n->token) {
          case tok::Plus: d.op = kIrAdd; break;
          case tok::Minus: d.op = kIrSub; break;
          case tok::Times: d.op = kIrMul; break;
          case tok::Divide: d.op = kIrDiv; break;
          case tok::Power:
            if (!wholeConstant(args[1], whole)) {
              d.op = kIrBin;
            } else {
              d.op = whole == 2 ? kIrSqr : kIrPowInt;
              d.aux = whole;
            }
            break;
          case tok::Root:
            if (wholeConstant(args[0], whole)) {
              // root(3, x): the index is known; a is x, b the index for the complex path.
              d.op = kIrRootWhole;
              d.a = args[1].ref;
              d.b = args[0].ref;
              d.aux = whole;
            } else {
              d.op = kIrBin;
            }
            break;
          case tok::Pow:
            if (wholeConstant(args[0], whole)) {
              d.op = kIrPowInt;
              d.a = d.b = args[1].ref;
              d.aux = whole;
            } else {
              d.op = kIrBin;
            }
            break;
          case tok::Square: d.op = kIrSqr; break;
          case tok::Sin: d.op = kIrSin; break;
          case tok::Cos: d.op = kIrCos; break;
          case tok::Tan: d.op = kIrTan; break;
          case tok::Sqrt: d.op = kIrSqrt; break;
          case tok::Log: d.op = kIrLog; break;
          case tok::Exp: d.op = kIrExp; break;
          case tok::Abs: d.op = kIrAbs; break;
          default: d.op = kIrFunc; break;
        }
        if (d.op >= kIrSin) {
          if (tok::HasBranches(n->token)) d.aux = branches_++;
          if (n->token == tok::Cis) p_.realCapable_ = false;
        }
        d.branches = d.op >= kIrSin && d.aux >= 0;
        d.branches = d.branches || HasBranches(d.a) || (arity == 2 && HasBranches(d.b));
        nodes_.push_back(d);
        r.ref = Ref{Ref::kNode, static_cast<std::uint32_t>(nodes_.size() - 1)};
      }
    }
    results.resize(results.size() - static_cast<std::size_t>(arity));
    stack.pop_back();
    if (stack.empty()) root_ = r.ref;
    else results.push_back(r);
  }
  return true;
}

// ---- step 2: accumulator code ----

Operand ProgramEmitter::OperandOf(const Ref& r) const {
  Operand o;
  o.kind = r.kind == Ref::kVariable ? Operand::kVariable : Operand::kConstant;
  o.index = static_cast<std::uint16_t>(r.index);
  return o;
}

bool ProgramEmitter::IsLinear(const Ref& r) const {
  if (r.kind != Ref::kNode) return false;
  const Node& n = nodes_[r.index];
  return (n.op == kIrAdd || n.op == kIrSub) && n.a.IsLeaf() && n.b.IsLeaf();
}

bool ProgramEmitter::IsLeafProduct(const Ref& r) const {
  if (r.kind != Ref::kNode) return false;
  const Node& n = nodes_[r.index];
  return (n.op == kIrMul && n.a.IsLeaf() && n.b.IsLeaf()) || (n.op == kIrSqr && n.a.IsLeaf());
}

// The fused forms.  A chain of leaves may be computed after the other operand
// only when that operand holds no branch function, so that the order of the
// branch checks stays that of the tree.
bool ProgramEmitter::PlanFused(const Node& n, Plan& plan) const {
  Code& c = plan.code;
  auto product = [&](const Ref& r, Operand& x, Operand& y) {  // a leaf product's factors
    const Node& m = nodes_[r.index];
    x = OperandOf(m.a);
    y = OperandOf(m.op == kIrSqr ? m.a : m.b);
  };
  auto linear = [&](const Ref& r, Operand& x, Operand& y) {  // returns through aux bit: minus
    const Node& m = nodes_[r.index];
    x = OperandOf(m.a);
    y = OperandOf(m.b);
    return m.op == kIrSub;
  };
  if (n.op == kIrMul) {
    if (IsLinear(n.a) && IsLinear(n.b)) {
      c.op = kLinMulLin;
      c.aux = (linear(n.a, c.m[0], c.m[1]) ? 1 : 0) | (linear(n.b, c.m[2], c.m[3]) ? 2 : 0);
      if (nodes_[n.a.index].a == nodes_[n.b.index].a) {  // (x ± c)(x ± d): x read once
        c.op = kQuadratic;
        c.m[2] = c.m[3];
        c.m[3] = Operand{};
        // With constants c and d whose sizes add up to at most a quarter of
        // the bound, a factor beyond it (|x| near the bound) makes the
        // product beyond it too: the factors need no checks of their own.
        const Ref& cr = nodes_[n.a.index].b;
        const Ref& dr = nodes_[n.b.index].b;
        if (cr.kind == Ref::kConstant && dr.kind == Ref::kConstant) {
          const TComplex& cv = constants_[cr.index];
          const TComplex& dv = constants_[dr.index];
          const long double size = std::fabs(cv.re) + std::fabs(cv.im) + std::fabs(dv.re) + std::fabs(dv.im);
          if (size <= ExpPlus5000 / 4) c.aux |= 4;
        }
      }
      return true;
    }
    // x·x·x, either way round: the square is checked as its own node.
    for (int side = 0; side < 2; ++side) {
      const Ref& sq = side == 0 ? n.a : n.b;
      const Ref& x = side == 0 ? n.b : n.a;
      if (x.IsLeaf() && sq.kind == Ref::kNode) {
        const Node& m = nodes_[sq.index];
        const bool square = (m.op == kIrMul && m.a == x && m.b == x) || (m.op == kIrSqr && m.a == x);
        if (square) {
          c.op = kCubeM;
          c.aux = 1;
          c.m[0] = OperandOf(x);
          return true;
        }
      }
    }
    if (IsLinear(n.b) && !n.a.IsLeaf()) {
      plan.first = n.a;
      plan.hasFirst = true;
      c.op = kMulLinA;
      c.aux = linear(n.b, c.m[0], c.m[1]) ? 1 : 0;
      return true;
    }
    if (IsLinear(n.a) && !n.b.IsLeaf() && !HasBranches(n.b)) {
      plan.first = n.b;
      plan.hasFirst = true;
      c.op = kMulLinA;
      c.aux = linear(n.a, c.m[0], c.m[1]) ? 1 : 0;
      return true;
    }
    return false;
  }
  if (n.op != kIrAdd) return false;
  for (int side = 0; side < 2; ++side) {
    const Ref& prod = side == 0 ? n.a : n.b;
    const Ref& other = side == 0 ? n.b : n.a;
    if (!IsLeafProduct(prod)) continue;
    // A square reads its factor once.
    const Node& pm = nodes_[prod.index];
    const bool square = pm.op == kIrSqr || pm.a == pm.b;
    if (other.IsLeaf()) {
      product(prod, c.m[0], c.m[1]);
      if (square) {
        c.op = kSqrAddMM;
        c.m[1] = OperandOf(other);
      } else {
        c.op = kMulAddMMM;
        c.m[2] = OperandOf(other);
      }
      return true;
    }
    if (side == 1 || !HasBranches(other)) {
      plan.first = other;
      plan.hasFirst = true;
      product(prod, c.m[0], c.m[1]);
      c.op = kMulAddMMA;
      if (square) {
        c.op = kSqrAddMA;
        c.m[1] = Operand{};
      }
      return true;
    }
  }
  // (X·l) + c with X an operation and l, c leaves.
  for (int side = 0; side < 2; ++side) {
    const Ref& prod = side == 0 ? n.a : n.b;
    const Ref& other = side == 0 ? n.b : n.a;
    if (!other.IsLeaf() || prod.kind != Ref::kNode) continue;
    const Node& m = nodes_[prod.index];
    if (m.op != kIrMul || m.a.IsLeaf() == m.b.IsLeaf()) continue;
    plan.first = m.a.IsLeaf() ? m.b : m.a;
    plan.hasFirst = true;
    c.op = kMulAddAMM;
    c.m[0] = OperandOf(m.a.IsLeaf() ? m.a : m.b);
    c.m[1] = OperandOf(other);
    return true;
  }
  return false;
}

void ProgramEmitter::PlanBinary(const Node& n, Plan& plan) const {
  Code& c = plan.code;
  // AM, MA, MM forms; + and · have no MA form (they commute exactly).
  std::uint8_t am, ma, mm;
  switch (n.op) {
    case kIrAdd: am = ma = kAddAM; mm = kAddMM; break;
    case kIrSub: am = kSubAM; ma = kSubMA; mm = kSubMM; break;
    case kIrMul: am = ma = kMulAM; mm = kMulMM; break;
    case kIrDiv: am = kDivAM; ma = kDivMA; mm = kDivMM; break;
    default: am = kBinAM; ma = kBinMA; mm = kBinMM; break;
  }
  if (n.a.IsLeaf() && n.b.IsLeaf()) {
    c.op = mm;
    c.m[0] = OperandOf(n.a);
    c.m[1] = OperandOf(n.b);
  } else if (n.b.IsLeaf()) {
    plan.first = n.a;
    plan.hasFirst = true;
    c.op = am;
    c.m[0] = OperandOf(n.b);
  } else if (n.a.IsLeaf()) {
    plan.first = n.b;
    plan.hasFirst = true;
    c.op = ma;
    c.m[0] = OperandOf(n.a);
  } else {
    // Both are operations: the first waits in a spill slot.
    plan.first = n.a;
    plan.second = n.b;
    plan.hasFirst = plan.hasSecond = true;
    plan.spillOperand = 0;
    c.op = ma;
  }
}

ProgramEmitter::Plan ProgramEmitter::PlanFor(std::uint32_t index) const {
  const Node& n = nodes_[index];
  Plan plan;
  Code& c = plan.code;
  c.token = n.token;
  c.subCode = n.subCode;
  c.aux = n.aux;
  if (PlanFused(n, plan)) return plan;
  static constexpr UnaryForms kUnary[] = {
      {kSqrA, kSqrM}, {kPowIntA, kPowIntM}, {kRootWholeA, kRootWholeM}, {kSinA, kSinM},
      {kCosA, kCosM}, {kTanA, kTanM}, {kSqrtA, kSqrtM}, {kLogA, kLogM},
      {kExpA, kExpM}, {kAbsA, kAbsM}, {kFuncA, kFuncM},
  };
  if (n.op < kIrSqr) {
    PlanBinary(n, plan);
    return plan;
  }
  UnaryForms forms = kUnary[n.op - kIrSqr];
  if (n.op == kIrPowInt && n.aux == 3) {
    forms = {kCubeA, kCubeM};
    c.aux = 0;  // as a power: x·x is not a node of its own
  }
  if (n.op == kIrRootWhole) c.m[1] = OperandOf(n.b);
  if (n.a.IsLeaf()) {
    c.op = forms.onMemory;
    c.m[0] = OperandOf(n.a);
  } else {
    plan.first = n.a;
    plan.hasFirst = true;
    c.op = forms.onAcc;
  }
  return plan;
}

void ProgramEmitter::Generate() {
  if (root_.IsLeaf()) {
    Code c;
    c.op = kLoadCheck;  // a bare variable is checked like any result
    c.m[0] = OperandOf(root_);
    code_.push_back(c);
    return;
  }
  // Without recursion: a frame per operation being generated.
  struct Frame {
    Plan plan;
    int state;  // 0: first subtree next, 1: spill and second next, 2: own code next
  };
  std::vector<Frame> stack{{PlanFor(root_.index), 0}};
  int depth = 0;  // spill slots in use
  while (!stack.empty()) {
    const std::size_t top = stack.size() - 1;
    Frame& f = stack[top];
    if (f.state == 0) {
      f.state = 1;
      if (f.plan.hasFirst && f.plan.first.kind == Ref::kNode) {
        stack.push_back({PlanFor(f.plan.first.index), 0});
        continue;
      }
    }
    if (f.state == 1) {
      f.state = 2;
      if (f.plan.spillOperand >= 0) {
        Code store;
        store.op = kStore;
        store.m[0] = Operand{Operand::kSpill, static_cast<std::uint16_t>(depth)};
        code_.push_back(store);
        f.plan.code.m[f.plan.spillOperand] = store.m[0];
        spills_ = std::max(spills_, ++depth);
      }
      if (f.plan.hasSecond) {
        stack.push_back({PlanFor(f.plan.second.index), 0});
        continue;
      }
    }
    code_.push_back(stack[top].plan.code);
    if (stack[top].plan.spillOperand >= 0) --depth;
    stack.pop_back();
  }
}

// ---- step 3: addresses ----

void ProgramEmitter::LayOut() {
  Program& p = p_;
  const std::size_t nc = constants_.size();
  p.realConstants_.resize(nc);
  p.complexConstants_ = constants_;
  for (std::size_t i = 0; i < nc; ++i) {
    p.realConstants_[i] = constants_[i].re;
    if (constants_[i].im != 0) p.realCapable_ = false;
  }
  p.spillCount_ = spills_;
  p.realSpills_.assign(static_cast<std::size_t>(spills_), 0.0L);
  p.complexSpills_.assign(static_cast<std::size_t>(spills_), TComplex());
  p.code_ = std::move(code_);
  p.real_.resize(p.code_.size());
  p.complex_.resize(p.code_.size());
  for (std::size_t k = 0; k < p.code_.size(); ++k) {
    const Code& c = p.code_[k];
    auto& r = p.real_[k];
    auto& z = p.complex_[k];
    r.f = z.f = OpFields{c.token, c.subCode, c.aux};
    r.op = z.op = c.op;
    r.dst = nullptr;
    z.dst = nullptr;
    for (int j = 0; j < 4; ++j) {
      const Operand& o = c.m[j];
      r.m[j] = nullptr;
      z.m[j] = nullptr;
      if (o.kind == Operand::kConstant) {
        r.m[j] = &p.realConstants_[o.index];
        z.m[j] = &p.complexConstants_[o.index];
      } else if (o.kind == Operand::kSpill) {
        r.m[j] = &p.realSpills_[o.index];
        z.m[j] = &p.complexSpills_[o.index];
      }
    }
    if (c.op == kStore) {
      r.dst = &p.realSpills_[c.m[0].index];
      z.dst = &p.complexSpills_[c.m[0].index];
    }
  }
  p.lastBranch_.assign(static_cast<std::size_t>(branches_), kNoBranch);
}

}  // namespace kv::formula_detail
