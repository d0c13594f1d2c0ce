#include "formula/program.h"

#include <cmath>
#include <cstring>
#include <limits>
#include <utility>

#include "formula/expr_node.h"
#include "formula/kernels.h"

namespace kv::formula_detail {
namespace {

enum Op : std::uint8_t {
  kAdd, kSub, kMul, kDiv, kPow, kPowInt, kSqr,
  kSin, kCos, kTan, kSqrt, kLog, kExp, kAbs,
  kRoot, kRootWhole, kPowFn,
  kFunction,  // any other one-argument function, through the generic kernel
};

constexpr long double kNoBranch = std::numeric_limits<long double>::quiet_NaN();

Op UnaryOp(int token) {
  switch (token) {
    case tok::Sin: return kSin;
    case tok::Cos: return kCos;
    case tok::Tan: return kTan;
    case tok::Sqrt: return kSqrt;
    case tok::Log: return kLog;
    case tok::Exp: return kExp;
    case tok::Abs: return kAbs;
    default: return kFunction;
  }
}

bool IsBinaryToken(int token) {
  return token == tok::Plus || token == tok::Minus || token == tok::Times ||
         token == tok::Divide || token == tok::Power || token == tok::Root || token == tok::Pow;
}

// Where an operand lives before the final addresses are known: a variable
// (index = its number), a constant or an instruction's result (index into
// their lists).
struct Ref {
  enum Kind : std::uint8_t { kVariable, kConstant, kTemporary } kind = kConstant;
  std::uint32_t index = 0;
};

struct Draft {
  std::uint8_t op;
  std::int16_t token;
  std::int16_t subCode;
  Ref a, b;
  std::int32_t aux;
};

// The 80-bit image of a long double: 64-bit significand, then sign and
// exponent.  Where long double has another format the value is read as a
// double, which is exact where long double is double.
constexpr bool kX87 = std::numeric_limits<long double>::digits == 64;

void Bits(const long double& v, std::uint64_t& mantissa, std::uint16_t& exponent) {
  if constexpr (kX87) {
    std::memcpy(&mantissa, &v, 8);
    std::memcpy(&exponent, reinterpret_cast<const char*>(&v) + 8, 2);
  } else {
    const double d = static_cast<double>(v);
    std::memcpy(&mantissa, &d, 8);
    exponent = 0;
  }
}

bool IsZero(const long double& v) {
  if constexpr (kX87) {
    std::uint64_t m;
    std::uint16_t e;
    Bits(v, m, e);
    return m == 0 && (e & 0x7FFF) == 0;
  } else {
    return v == 0;
  }
}

}  // namespace

void DeleteProgram(Program* program) { delete program; }

Program* Program::Build(const TExprNode* root) {
  auto* p = new Program;
  std::vector<Draft> drafts;
  std::vector<TComplex> constants;
  std::int32_t branches = 0;

  // What each visited node turned into.
  struct Result {
    Ref ref;
    bool constant = false;
    TComplex value;
  };
  auto constantRef = [&](const TComplex& v) {
    for (std::size_t i = 0; i < constants.size(); ++i) {
      if (constants[i] == v) return Ref{Ref::kConstant, static_cast<std::uint32_t>(i)};
    }
    constants.push_back(v);
    return Ref{Ref::kConstant, static_cast<std::uint32_t>(constants.size() - 1)};
  };
  auto variableRef = [&](int index) {
    for (const std::uint8_t v : p->variables_) {
      if (v == index) return Ref{Ref::kVariable, static_cast<std::uint32_t>(index)};
    }
    p->variables_.push_back(static_cast<std::uint8_t>(index));
    return Ref{Ref::kVariable, static_cast<std::uint32_t>(index)};
  };
  auto leaf = [&](const TExprNode* n) {
    Leaf l{n, n->token, 0, 0, 0, 0};
    if (n->token == tok::Number) {
      Bits(n->value.re, l.reMantissa, l.reExponent);
      Bits(n->value.im, l.imMantissa, l.imExponent);
    }
    p->leaves_.push_back(l);
  };

  // Iterative post-order walk: a node is handled when its children are.
  struct Frame {
    const TExprNode* node;
    int next;  // next child to visit
  };
  std::vector<Frame> stack;
  std::vector<Result> results;  // results of the handled children, in order
  Result rootResult;
  if (!root) {
    p->alwaysUndefined_ = true;
  } else {
    stack.push_back({root, 0});
  }
  while (!stack.empty() && !p->alwaysUndefined_) {
    Frame& f = stack.back();
    const TExprNode* n = f.node;
    const int arity = IsBinaryToken(n->token) ? 2 : tok::FunctionArity(n->token);
    if (f.next < arity) {
      const TExprNode* c = n->child[f.next++];
      if (!c) {
        p->alwaysUndefined_ = true;
        break;
      }
      stack.push_back({c, 0});
      continue;
    }
    Result r;
    if (n->token == tok::Number) {
      leaf(n);
      if (!WithinBound(n->value, ExpPlus5000)) p->alwaysUndefined_ = true;
      r.constant = true;
      r.value = n->value;
      r.ref = constantRef(n->value);
    } else if (tok::IsLetter(n->token)) {
      leaf(n);
      r.ref = variableRef(tok::VariableIndex(n->token));
    } else if (arity == 0) {
      p->alwaysUndefined_ = true;  // placeholders, containers, unknown tokens
      break;
    } else {
      const Result* args = results.data() + results.size() - arity;
      const bool allConstant = args[0].constant && (arity == 1 || args[1].constant);
      TComplex argValues[2] = {args[0].value, arity == 2 ? args[1].value : TComplex()};
      TComplex folded;
      if (allConstant && FoldConstant(n->token, n->subCode, argValues, arity, folded)) {
        r.constant = true;
        r.value = folded;
        r.ref = constantRef(folded);
      } else {
        Draft d{kFunction, n->token, n->subCode, args[0].ref, arity == 2 ? args[1].ref : args[0].ref, 0};
        std::int32_t whole = 0;
        const bool wholeExponent =
            arity == 2 && args[1].constant && IsWholeRealNumber(args[1].value.re, args[1].value.im, whole);
        switch (n->token) {
          case tok::Plus: d.op = kAdd; break;
          case tok::Minus: d.op = kSub; break;
          case tok::Times: d.op = kMul; break;
          case tok::Divide: d.op = kDiv; break;
          case tok::Power:
            d.op = !wholeExponent ? kPow : whole == 2 ? kSqr : kPowInt;
            d.aux = whole;
            break;
          case tok::Root: {
            std::int32_t k = 0;
            if (args[0].constant && IsWholeRealNumber(args[0].value.re, args[0].value.im, k)) {
              // root(3, x): the index is known; a is x, b the index for the complex path.
              d.op = kRootWhole;
              d.a = args[1].ref;
              d.b = args[0].ref;
              d.aux = k;
            } else {
              d.op = kRoot;
            }
            break;
          }
          case tok::Pow: {
            std::int32_t k = 0;
            if (args[0].constant && IsWholeRealNumber(args[0].value.re, args[0].value.im, k)) {
              d.op = kPowInt;
              d.a = d.b = args[1].ref;
              d.aux = k;
            } else {
              d.op = kPowFn;
            }
            break;
          }
          case tok::Square: d.op = kSqr; break;
          default:
            d.op = UnaryOp(n->token);
            if (tok::HasBranches(n->token)) d.aux = branches++;
            if (n->token == tok::Cis) p->realCapable_ = false;
            break;
        }
        drafts.push_back(d);
        r.ref = Ref{Ref::kTemporary, static_cast<std::uint32_t>(drafts.size() - 1)};
      }
    }
    results.resize(results.size() - static_cast<std::size_t>(arity));
    stack.pop_back();
    if (stack.empty()) rootResult = r;
    else results.push_back(r);
  }
  if (p->alwaysUndefined_) return p;

  // Values: the constants, then one slot per instruction.  The vectors are
  // sized once, so the addresses below stay valid.
  const std::size_t nc = constants.size();
  p->realValues_.assign(nc + drafts.size(), 0.0L);
  p->complexValues_.assign(nc + drafts.size(), TComplex());
  for (std::size_t i = 0; i < nc; ++i) {
    p->complexValues_[i] = constants[i];
    p->realValues_[i] = constants[i].re;
    if (constants[i].im != 0) p->realCapable_ = false;
  }
  auto realAddress = [&](const Ref& r) -> long double* {
    if (r.kind == Ref::kVariable) return nullptr;  // bound later
    return &p->realValues_[r.kind == Ref::kConstant ? r.index : nc + r.index];
  };
  auto complexAddress = [&](const Ref& r) -> TComplex* {
    if (r.kind == Ref::kVariable) return nullptr;
    return &p->complexValues_[r.kind == Ref::kConstant ? r.index : nc + r.index];
  };
  p->real_.reserve(drafts.size());
  p->complex_.reserve(drafts.size());
  for (std::size_t i = 0; i < drafts.size(); ++i) {
    const Draft& d = drafts[i];
    const Ref self{Ref::kTemporary, static_cast<std::uint32_t>(i)};
    p->real_.push_back({d.op, d.token, d.subCode, d.aux, realAddress(d.a), realAddress(d.b), realAddress(self)});
    p->complex_.push_back(
        {d.op, d.token, d.subCode, d.aux, complexAddress(d.a), complexAddress(d.b), complexAddress(self)});
    const auto index = static_cast<std::uint32_t>(i);
    if (d.a.kind == Ref::kVariable) p->uses_.push_back({index, 0, static_cast<std::uint8_t>(d.a.index)});
    if (d.b.kind == Ref::kVariable) p->uses_.push_back({index, 1, static_cast<std::uint8_t>(d.b.index)});
  }
  p->realResult_ = realAddress(rootResult.ref);
  p->complexResult_ = complexAddress(rootResult.ref);
  if (rootResult.ref.kind == Ref::kVariable)
    p->uses_.push_back({0, 2, static_cast<std::uint8_t>(rootResult.ref.index)});
  p->lastBranch_.assign(static_cast<std::size_t>(branches), kNoBranch);
  return p;
}

void Program::Bind(const TComplex* variables) {
  for (const VariableUse& u : uses_) {
    const TComplex* v = &variables[u.variable];
    if (u.operand == 2) {
      realResult_ = &v->re;
      complexResult_ = v;
    } else if (u.operand == 0) {
      real_[u.instruction].a = &v->re;
      complex_[u.instruction].a = v;
    } else {
      real_[u.instruction].b = &v->re;
      complex_[u.instruction].b = v;
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
      Bits(leaf.node->value.re, rm, re);
      Bits(leaf.node->value.im, im, ie);
      if (rm != leaf.reMantissa || re != leaf.reExponent || im != leaf.imMantissa || ie != leaf.imExponent)
        return false;
    }
  }
  return true;
}

void Program::Branch(const RunContext& context, std::int32_t slot, int token, long double x) {
  const long double b = BranchOf(token, x);
  long double& last = lastBranch_[static_cast<std::size_t>(slot)];
  if (!std::isnan(last) && last != b && context.errorFlag) *context.errorFlag = true;
  last = b;
}

[[gnu::always_inline]] inline bool Program::RunReal(const RunContext& context, TComplex& result) {
  const long double bound = ExpPlus5000;
  const bool jumps = context.jumpDetection;
  for (const Instruction<long double>& in : real_) {
    long double r;
    const long double x = *in.a;
    switch (in.op) {
      case kAdd: r = x + *in.b; break;
      case kSub: r = x - *in.b; break;
      case kMul: r = x * *in.b; break;
      case kDiv:
        if (*in.b == 0) return false;
        r = x / *in.b;
        break;
      case kSqr: r = x * x; break;
      case kPowInt:
        if (!RealPowInt(x, in.aux, r)) return false;
        break;
      case kPow:
        if (RealPower(x, *in.b, r) != kDefined) return false;
        break;
      case kSin:
        if (!(std::fabs(x) <= kAngleGuard)) return false;
        r = std::sin(x);
        break;
      case kCos:
        if (!(std::fabs(x) <= kAngleGuard)) return false;
        r = std::cos(x);
        break;
      case kTan:
        if (!(std::fabs(x) <= kAngleGuard)) return false;
        if (jumps) Branch(context, in.aux, tok::Tan, x);
        r = std::tan(x);
        break;
      case kSqrt:
        if (!(x >= 0)) return false;
        r = std::sqrt(x);
        break;
      case kLog:
        if (!(x > 0)) return false;
        r = std::log(x);
        break;
      case kExp: r = std::exp(x); break;
      case kAbs: r = std::fabs(x); break;
      case kRoot:
        if (RealRoot(x, *in.b, false, r) != kDefined) return false;
        break;
      case kRootWhole:
        if (RealRootWhole(in.aux, x, false, r) != kDefined) return false;
        break;
      case kPowFn:
        if (RealPowFunction(x, *in.b, r) != kDefined) return false;
        break;
      default:
        if (jumps && tok::HasBranches(in.token)) Branch(context, in.aux, in.token, x);
        if (RealFunction(in.token, in.subCode, x, false, r) != kDefined) return false;
        break;
    }
    if (!(std::fabs(r) <= bound)) return false;
    *in.dst = r;
  }
  const long double v = *realResult_;
  if (!(std::fabs(v) <= bound)) return false;  // a bare variable
  result = TComplex(v, 0);
  return true;
}

bool Program::Run(const RunContext& context, TComplex& result) {
  if (alwaysUndefined_) return false;
  if (context.variables != bound_) Bind(context.variables);
  if (context.jumpDetection && epoch_ != context.jumpEpoch) {
    // The first evaluation after jump detection was switched on never jumps.
    for (long double& b : lastBranch_) b = kNoBranch;
    epoch_ = context.jumpEpoch;
  }
  bool real = realCapable_ && !context.complexMode;
  if (real) {
    for (const std::uint8_t v : variables_) {
      if (!IsZero(context.variables[v].im)) {
        real = false;
        break;
      }
    }
  }
  return real ? RunReal(context, result) : RunComplex(context, result);
}

bool Program::RunComplex(const RunContext& context, TComplex& result) {
  const long double bound = ExpPlus5000;
  const bool mode = context.complexMode;
  const bool jumps = context.jumpDetection;
  for (const Instruction<TComplex>& in : complex_) {
    TComplex r;
    int status = kDefined;
    const TComplex& a = *in.a;
    switch (in.op) {
      case kAdd: r = TComplex(a.re + in.b->re, a.im + in.b->im); break;
      case kSub: r = TComplex(a.re - in.b->re, a.im - in.b->im); break;
      case kMul: r = Multiply(a, *in.b); break;
      case kDiv: status = Divide(a, *in.b, r); break;
      case kSqr: r = Multiply(a, a); break;
      case kPowInt: status = PowerInt(a, in.aux, r); break;
      case kPow: status = Power(a, *in.b, mode, r); break;
      case kRoot: status = Root(a, *in.b, mode, r); break;
      case kRootWhole: status = Root(*in.b, a, mode, r); break;
      case kPowFn: status = PowFunction(a, *in.b, mode, r); break;
      default:
        if (jumps && tok::HasBranches(in.token)) Branch(context, in.aux, in.token, a.re);
        status = Function(in.token, in.subCode, a, mode, r);
        break;
    }
    if (status != kDefined || !WithinBound(r, bound)) return false;
    *in.dst = r;
  }
  if (!WithinBound(*complexResult_, bound)) return false;
  result = *complexResult_;
  return true;
}

}  // namespace kv::formula_detail
