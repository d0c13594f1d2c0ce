#include "formula/formula_engine.h"

#include <algorithm>
#include <utility>
#include <cctype>
#include <charconv>
#include <cmath>

#include "formula/calculus.h"
#include "formula/compiler.h"
#include "formula/kernels.h"
#include "formula/program.h"
#include "formula/tokens.h"
#include "core/number_text.h"

namespace kv {
namespace {

using formula_detail::kDefined;

constexpr long double kEuler = 2.71828182845904523536028747135266250L;

std::string_view Trim(std::string_view s) {
  while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front()))) s.remove_prefix(1);
  while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back()))) s.remove_suffix(1);
  return s;
}

// "[sign] digits [. digits] (e|E) [sign] digits": a plain number in exponent
// form, as number fields used to accept before they took formulas.
bool IsExponentNumber(std::string_view s) {
  std::size_t i = 0;
  auto digits = [&] {
    const std::size_t start = i;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9') ++i;
    return i - start;
  };
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
  std::size_t mantissa = digits();
  if (i < s.size() && s[i] == '.') {
    ++i;
    mantissa += digits();
  }
  if (mantissa == 0 || i >= s.size() || (s[i] != 'e' && s[i] != 'E')) return false;
  ++i;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
  return digits() > 0 && i == s.size();
}

// Moves the contents of `from` (a fresh tree) into `node`, which keeps its
// place in its parent.
void TakeOver(TExprNode* node, TExprNode* from) {
  for (TExprNode*& c : node->child) {
    FreeTree(c);
    c = nullptr;
  }
  node->token = from->token;
  node->value = from->value;
  node->subCode = from->subCode;
  node->argCount = from->argCount;
  for (int i = 0; i < 4; ++i) {
    node->child[i] = from->child[i];
    from->child[i] = nullptr;
  }
  FreeTree(from);
}

}  // namespace

TFormulaEngine::TFormulaEngine() {
  for (int i = 0; i < tok::kVariableCount; ++i) variableTrees_[i] = NewNode(tok::Letter(i));
  SetNewDrawingDefaults();
}

TFormulaEngine::~TFormulaEngine() {
  for (TExprNode*& t : variableTrees_) FreeTree(t);
}

void TFormulaEngine::SetJumpDetection(bool on) {
  if (on && !jumpDetection_) ++jumpEpoch_;
  jumpDetection_ = on;
}

void TFormulaEngine::UseTables(TParameterTables* shared) { tables_ = shared ? shared : &ownTables_; }

TComplex TFormulaEngine::Variable(int letter) const {
  const int i = tok::VariableOf(letter);
  return i < 0 ? TComplex() : tables_->value[static_cast<std::size_t>(i)];
}

void TFormulaEngine::SetComplexVariable(int letter, const TComplex& value) {
  const int i = tok::VariableOf(letter);
  if (i < 0) return;
  tables_->value.Set(static_cast<std::size_t>(i), value);
  if (complexMode_ && (i == kXIndex || i == kYIndex)) UpdateZ();
}

void TFormulaEngine::UpdateZ() {
  const TComplex x = Variable(tok::X);
  const TComplex y = Variable(tok::Y);
  tables_->value.Set(kZIndex, TComplex(x.re - y.im, x.im + y.re));  // x + iy
}

void TFormulaEngine::AddToVariable(int letter, long double amount) {
  const int i = tok::VariableOf(letter);
  if (i < 0) return;
  const TComplex& v = std::as_const(*tables_).value[static_cast<std::size_t>(i)];
  SetComplexVariable(letter, TComplex(v.re + amount, v.im));
}

void TFormulaEngine::SaveVariables() {
  std::copy_n(tables_->value.data(), tok::kParameterCount, tables_->backup.begin());
}

void TFormulaEngine::RestoreVariables() {
  for (std::size_t i = 0; i < tok::kParameterCount; ++i) tables_->value.Set(i, tables_->backup[i]);
}

void TFormulaEngine::SetNewDrawingDefaults() { SetComplexVariable(tok::E, TComplex(kEuler, 0)); }

const TExprNode* TFormulaEngine::VariableTree(int letter) const {
  const int i = tok::VariableOf(letter);
  return i < 0 ? nullptr : variableTrees_[i];
}

// ---- compiling ----

int TFormulaEngine::Compile(std::string_view text) {
  compiled_.reset();
  return CompileFormula(text, &functions_, compiled_, &errorPosition_);
}

TExprNode* TFormulaEngine::TakeCompiledTree() { return compiled_.release(); }

int TFormulaEngine::Compile(std::string_view text, TreePtr& tree) {
  return CompileFormula(text, &functions_, tree, &errorPosition_);
}

// ---- evaluating ----

namespace {

// The tree's program, built on first use and rebuilt when its leaves were
// edited since it last looked.
formula_detail::Program* ProgramOf(TExprNode* tree) {
  formula_detail::Program* program = tree->program;
  if (program && program->checkedEdits == formula_detail::treeEdits) return program;
  if (!program || !program->Matches()) {
    formula_detail::DeleteProgram(program);
    program = formula_detail::Program::Build(tree);
    tree->program = program;
  }
  program->checkedEdits = formula_detail::treeEdits;
  return program;
}

}  // namespace

bool TFormulaEngine::EvaluateRenewing(TExprNode* tree) {
  if (ProgramOf(tree)->Run(Context(), tree->value)) return true;
  return EvaluationFailed(tree);
}

bool TFormulaEngine::EvaluationFailed(TExprNode* tree) {
  evaluationError_ = true;
  if (tree && tree->token != tok::Number) tree->value = TComplex();
  return false;
}

int TFormulaEngine::EvaluateBlock(TExprNode* tree, int letter, const long double* values, int n, long double* re,
                                  long double* im, std::uint8_t* status, int letter2, const long double* values2) {
  if (n <= 0) return 0;
  const int first = tok::VariableOf(letter);
  const int second = letter2 < 0 ? -1 : tok::VariableOf(letter2);
  const bool two = letter2 >= 0;
  const bool xy = first == kXIndex || first == kYIndex || second == kXIndex || second == kYIndex;
  const bool zFollows = complexMode_ && xy;
  // Unusual requests take the loop itself: no tree, unknown or repeated
  // letters, Z set beside the X or Y it follows.
  if (!tree || first < 0 || (two && (second < 0 || second == first || !values2)) ||
      (zFollows && (first == kZIndex || second == kZIndex))) {
    int failed = 0;
    const bool savedError = evaluationError_;
    for (int i = 0; i < n; ++i) {
      SetVariable(letter, values[i]);
      if (two) SetVariable(letter2, values2 ? values2[i] : 0);
      evaluationError_ = false;
      const bool ok = Evaluate(tree);
      status[i] = !ok ? kPointUndefined : evaluationError_ ? kPointJump : kPointDefined;
      if (ok) {
        re[i] = tree->value.re;
        if (im) im[i] = tree->value.im;
      }
      if (status[i] != kPointDefined) ++failed;
    }
    evaluationError_ = savedError || failed > 0;
    return failed;
  }
  formula_detail::BlockVariables in;
  in.count = two ? 2 : 1;
  in.index[0] = first;
  in.values[0] = values;
  in.index[1] = second;
  in.values[1] = values2;
  in.zFollows = zFollows;
  formula_detail::RunContext context = Context();
  if (inChain_) context.sines = chainSines_.get();
  const int failed = ProgramOf(tree)->RunBlock(context, in, n, re, im, status);
  SetVariable(letter, values[n - 1]);
  if (two) SetVariable(letter2, values2[n - 1]);
  if (failed > 0) evaluationError_ = true;
  return failed;
}

int TFormulaEngine::EvaluateBlockChain(TExprNode* const* trees, int count, int letter, const long double* values,
                                       int n, long double* const* out, std::uint8_t* status) {
  if (n <= 0) return 0;
  const auto size = static_cast<std::size_t>(n);
  if (chainIndex_.size() < size) {
    chainIndex_.resize(size);
    chainValues_.resize(size);
    chainResults_.resize(size);
    chainStatus_.resize(size);
  }
  // The points still defined, packed: their numbers and values.
  for (int i = 0; i < n; ++i) {
    chainIndex_[static_cast<std::size_t>(i)] = i;
    chainValues_[static_cast<std::size_t>(i)] = values[i];
    status[i] = kPointDefined;
  }
  int live = n;
  if (count > 1 && !chainSines_) chainSines_ = std::make_unique<formula_detail::SineCosineMemo>();
  inChain_ = count > 1;
  for (int k = 0; k < count && live > 0; ++k) {
    EvaluateBlock(trees[k], letter, chainValues_.data(), live, chainResults_.data(), nullptr, chainStatus_.data());
    int kept = 0;
    for (int j = 0; j < live; ++j) {
      const auto J = static_cast<std::size_t>(j);
      const int i = chainIndex_[J];
      if (chainStatus_[J] == kPointUndefined) {
        status[i] = kPointUndefined;
        continue;
      }
      if (chainStatus_[J] == kPointJump) status[i] = kPointJump;
      out[k][i] = chainResults_[J];
      chainIndex_[static_cast<std::size_t>(kept)] = i;
      chainValues_[static_cast<std::size_t>(kept)] = chainValues_[J];
      ++kept;
    }
    live = kept;
  }
  inChain_ = false;
  SetVariable(letter, values[n - 1]);  // where the loop leaves it
  int failed = 0;
  for (int i = 0; i < n; ++i) failed += status[i] != kPointDefined;
  return failed;
}

bool TFormulaEngine::EvaluateAt(TExprNode* tree, int letter, long double value, long double& realPart) {
  SetVariable(letter, value);
  if (!Evaluate(tree)) return false;
  realPart = tree->value.re;
  return true;
}

namespace {

struct Walker {
  const TComplex* variables;
  bool complexMode;
  bool jumps;
  bool* errorFlag;

  bool Walk(TExprNode* n) const {
    using namespace formula_detail;
    if (!n) return false;
    const long double bound = ExpPlus5000;
    if (n->token == tok::Number) return WithinBound(n->value, bound);
    if (tok::IsLetter(n->token)) {
      n->value = variables[tok::VariableIndex(n->token)];
      return true;
    }
    const int arity = tok::FunctionArity(n->token);
    TComplex r;
    int status;
    if (arity == 2 || n->token == tok::Plus || n->token == tok::Minus || n->token == tok::Times ||
        n->token == tok::Divide || n->token == tok::Power) {
      if (!Walk(n->child[0]) || !Walk(n->child[1])) return false;
      status = Binary(n->token, n->child[0]->value, n->child[1]->value, complexMode, r);
    } else if (arity == 1) {
      if (!Walk(n->child[0])) return false;
      const TComplex& a = n->child[0]->value;
      if (jumps && tok::HasBranches(n->token)) {
        const long double b = BranchOf(n->token, a.re);
        if (!std::isnan(n->lastBranch) && n->lastBranch != b) *errorFlag = true;
        n->lastBranch = b;
      }
      status = Function(n->token, n->subCode, a, complexMode, r);
    } else {
      return false;
    }
    if (status != kDefined || !WithinBound(r, bound)) return false;
    n->value = r;
    return true;
  }
};

}  // namespace

bool TFormulaEngine::EvaluateByTreeWalk(TExprNode* tree) {
  const Walker walker{tables_->value.data(), complexMode_, jumpDetection_, &evaluationError_};
  // Operations check their results; the root is checked once more for a
  // bare variable.
  if (walker.Walk(tree) && formula_detail::WithinBound(tree->value, ExpPlus5000)) return true;
  evaluationError_ = true;
  if (tree && tree->token != tok::Number) tree->value = TComplex();
  return false;
}

// ---- number readers ----

int TFormulaEngine::TextToValue(std::string_view text, long double& value) {
  const std::string_view t = Trim(text);
  if (IsExponentNumber(t)) {
    long double v = 0;
    const char* first = t.data() + (t.front() == '+' ? 1 : 0);
    const auto r = std::from_chars(first, t.data() + t.size(), v, std::chars_format::general);
    if (r.ec != std::errc() || !std::isfinite(v)) return kFormulaNotUnderstood;
    value = v;
    return kFormulaOk;
  }
  TreePtr tree;
  const int code = Compile(t, tree);
  if (code != kFormulaOk) return code;
  // Real mode, no jump bookkeeping, and the window's flags left as they were.
  const bool savedMode = complexMode_;
  const bool savedJumps = jumpDetection_;
  const bool savedError = evaluationError_;
  complexMode_ = false;
  jumpDetection_ = false;
  const bool ok = Evaluate(tree.get());
  complexMode_ = savedMode;
  jumpDetection_ = savedJumps;
  evaluationError_ = savedError;
  if (!ok) return kFormulaNotUnderstood;
  value = tree->value.re;
  return kFormulaOk;
}

int TFormulaEngine::ReadBoundedShort(std::string_view text, int lo, int hi, std::int16_t& value) {
  std::int32_t v = 0;
  const int code = ReadBoundedInt(text, std::max(lo, -32768), std::min(hi, 32767), v);
  if (code == kFormulaOk) value = static_cast<std::int16_t>(v);
  return code;
}

int TFormulaEngine::ReadBoundedInt(std::string_view text, std::int32_t lo, std::int32_t hi,
                                   std::int32_t& value) {
  long double v = 0;
  const int code = TextToValue(text, v);
  if (code != kFormulaOk) return code;
  if (!(v >= lo && v <= hi)) return kFormulaOutOfBounds;
  value = std::clamp(RoundToInt(v), lo, hi);
  return kFormulaOk;
}

int TFormulaEngine::ReadValueAndParameter(std::string_view text, long double& value, int& parameter) {
  const std::size_t at = text.find('@');
  long double v = 0;
  const int code = TextToValue(at == std::string_view::npos ? text : text.substr(0, at), v);
  if (code != kFormulaOk) return code;
  int p = 0;
  if (at != std::string_view::npos) {
    const std::string_view tail = Trim(text.substr(at + 1));
    if (tail.size() == 1 && std::isalpha(static_cast<unsigned char>(tail[0]))) {
      const char c = static_cast<char>(std::toupper(static_cast<unsigned char>(tail[0])));
      if (c > 'W') return kFormulaOutOfBounds;
      p = c - 'A' + 1;
    } else {
      if (tail.empty() || tail.size() > 5) return kFormulaOutOfBounds;
      for (const char c : tail) {
        if (c < '0' || c > '9') return kFormulaOutOfBounds;
        p = p * 10 + (c - '0');
      }
    }
  }
  value = v;
  parameter = p;
  return kFormulaOk;
}

// ---- root finder ----

int TFormulaEngine::BisectRoot(TExprNode* tree, int letter, long double a, long double b, long double& x) {
  const int index = tok::VariableOf(letter);
  if (!tree || index < 0) return kFormulaNotUnderstood;
  const TComplex saved = Variable(index);
  const TComplex savedZ = Variable(tok::Z);
  // Probing the tree at scattered points must not disturb its jump state.
  const bool savedJumps = jumpDetection_;
  jumpDetection_ = false;
  auto f = [&](long double t, long double& value) {
    SetVariable(index, t);
    if (!Evaluate(tree)) return false;
    value = tree->value.re;
    return true;
  };
  if (a > b) std::swap(a, b);
  constexpr long double kZero = 1e-16L;
  long double fa = 0, fb = 0;
  int result;
  if (!f(a, fa) || !f(b, fb)) {
    result = kFormulaNotUnderstood;
  } else if (std::fabs(fa) < kZero) {
    x = a;
    result = kFormulaRootAtEnd;
  } else if (std::fabs(fb) < kZero) {
    x = b;
    result = kFormulaRootAtEnd;
  } else if ((fa > 0) == (fb > 0)) {
    result = kFormulaNoSignChange;
  } else {
    long double mid = a, fm = fa;
    result = kFormulaOk;
    for (int halvings = 1;; ++halvings) {
      mid = a + (b - a) / 2;
      if (!f(mid, fm)) {
        result = kFormulaNotUnderstood;
        break;
      }
      if (std::fabs(fm) < kZero) break;
      if ((fm > 0) == (fa > 0)) {
        a = mid;
        fa = fm;
      } else {
        b = mid;
      }
      if (!(b - a >= bisectTolerance) || halvings > 100) break;
    }
    if (result == kFormulaOk) {
      x = mid;
      if (std::fabs(fm) > 1e-5L) result = kFormulaNotFound;
    }
  }
  jumpDetection_ = savedJumps;
  tables_->value.Set(static_cast<std::size_t>(index), saved);
  tables_->value.Set(kZIndex, savedZ);
  return result;
}

// ---- formula texts ----

bool TFormulaEngine::MarkVariableLetter(std::string& text, int letter) const {
  const int token = LetterToken(letter);
  std::vector<TToken> tokens;
  if (token == 0 || Tokenize(text, &functions_, tokens) != kFormulaOk) return false;
  bool found = false;
  for (const TToken& t : tokens) {
    if (t.code == token) {
      text[static_cast<std::size_t>(t.position)] = kLetterMark;
      found = true;
    }
  }
  return found;
}

bool TFormulaEngine::ReplaceMarkedLetters(std::string_view marked, std::string_view replacement,
                                          std::size_t limit, std::string& out) {
  std::string result;
  for (const char c : marked) {
    if (c == kLetterMark) result += replacement;
    else result += c;
    if (result.size() > limit) return false;
  }
  out = std::move(result);
  return true;
}

bool TFormulaEngine::SubstituteXYZText(std::string& text, std::size_t limit, std::string_view x,
                                       std::string_view y, std::string_view z) const {
  std::vector<TToken> tokens;
  if (Tokenize(text, &functions_, tokens) != kFormulaOk) return false;
  std::string result;
  std::size_t copied = 0;
  for (const TToken& t : tokens) {
    std::string_view with;
    if (t.code == tok::X) with = x;
    else if (t.code == tok::Y) with = y;
    else if (t.code == tok::Z) with = z;
    if (with.empty()) continue;
    const auto pos = static_cast<std::size_t>(t.position);
    result.append(text, copied, pos - copied);
    // Parentheses keep the replacement whole: X by "a+b" in "2x", or by "s" before "in(".
    result += '(';
    result += with;
    result += ')';
    copied = pos + 1;
  }
  result.append(text, copied, std::string::npos);
  if (result.size() > limit) return false;
  text = std::move(result);
  return true;
}

// ---- Taylor polynomials ----

TExprNode* TFormulaEngine::TruncateTaylorTemplate(int degree) const {
  degree = std::clamp(degree, 0, kMaxTaylorDegree);
  auto coefficient = [](int k) {
    TExprNode* c = NewNode(tok::TaylorCoefficient);
    c->subCode = static_cast<std::int16_t>(k);
    return c;
  };
  auto difference = [] {
    return NewBinaryNode(tok::Minus, NewNode(tok::TaylorVariable), NewNode(tok::TaylorCentre));
  };
  TExprNode* sum = coefficient(0);
  for (int k = 1; k <= degree; ++k) {
    TExprNode* power = k == 1 ? difference()
                              : NewBinaryNode(tok::Power, difference(), NewNumberNode(TComplex(k)));
    sum = NewBinaryNode(tok::Plus, sum, NewBinaryNode(tok::Times, coefficient(k), power));
  }
  return sum;
}

namespace {

bool SpliceNode(TExprNode* n, const std::vector<const TExprNode*>& derivatives,
                const TExprNode* centre, int token) {
  if (!n) return true;
  if (n->token == tok::TaylorCoefficient) {
    const auto k = static_cast<std::size_t>(n->subCode);
    if (k >= derivatives.size() || !derivatives[k]) return false;
    TExprNode* value = CloneAndSubstitute(derivatives[k], token, centre);
    if (k >= 2) {
      long double factorial = 1;
      for (std::size_t j = 2; j <= k; ++j) factorial *= static_cast<long double>(j);
      value = NewBinaryNode(tok::Divide, value, NewNumberNode(TComplex(factorial)));
    }
    TakeOver(n, value);
    return true;
  }
  if (n->token == tok::TaylorCentre) {
    TakeOver(n, CloneTree(centre));
    return true;
  }
  if (n->token == tok::TaylorVariable) {
    TakeOver(n, NewNode(token));
    return true;
  }
  for (TExprNode* c : n->child) {
    if (!SpliceNode(c, derivatives, centre, token)) return false;
  }
  return true;
}

}  // namespace

bool TFormulaEngine::SpliceTaylorTerms(TExprNode* templ, const std::vector<const TExprNode*>& derivatives,
                                       const TExprNode* centre, int letter) const {
  const int token = LetterToken(letter);
  if (!templ || !centre || token == 0) return false;
  ForgetCompiledProgram(templ);
  if (!SpliceNode(templ, derivatives, centre, token)) return false;
  Simplify(templ);
  return true;
}

// ---- user functions ----

namespace {

bool EqualNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  }
  return true;
}

// How a text reads: its token codes, user calls by name; empty when it does
// not tokenize.
std::vector<std::string> Reading(std::string_view text, const TUserFunctionTable& table) {
  std::vector<TToken> tokens;
  std::vector<std::string> reading;
  if (Tokenize(text, &table, tokens) != kFormulaOk) return reading;
  for (const TToken& t : tokens) {
    if (t.code == tok::UserCall) reading.push_back(table.Functions()[static_cast<std::size_t>(t.function)].name);
    else reading.push_back(std::to_string(t.code));
  }
  return reading;
}

bool Calls(std::string_view text, const TUserFunctionTable& table, int index) {
  std::vector<TToken> tokens;
  if (Tokenize(text, &table, tokens) != kFormulaOk) return false;
  return std::any_of(tokens.begin(), tokens.end(),
                     [&](const TToken& t) { return t.code == tok::UserCall && t.function == index; });
}

}  // namespace

bool TFormulaEngine::IsNameInUse(int index) const {
  for (const std::string& text : protectedTexts_) {
    if (Calls(text, functions_, index)) return true;
  }
  for (int j = 0; j < functions_.Count(); ++j) {
    if (j != index && Calls(functions_.Functions()[static_cast<std::size_t>(j)].formula, functions_, index))
      return true;
  }
  return false;
}

bool TFormulaEngine::WouldChangeTexts(std::string_view name, int except) const {
  TUserFunctionTable candidate(functions_);
  candidate.Add(TUserFunction{std::string(name), "0", 1});
  auto changes = [&](std::string_view text) { return Reading(text, functions_) != Reading(text, candidate); };
  for (const std::string& text : protectedTexts_) {
    if (changes(text)) return true;
  }
  for (int j = 0; j < functions_.Count(); ++j) {
    if (j != except && changes(functions_.Functions()[static_cast<std::size_t>(j)].formula)) return true;
  }
  return false;
}

void TFormulaEngine::CollectProtectedNames(const std::vector<std::string>& formulaTexts) {
  protectedTexts_ = formulaTexts;
  protectedNames_.clear();
  for (const tok::BuiltinName& b : tok::BuiltinNames()) {
    if (!b.internal) protectedNames_.emplace_back(b.name);
  }
  for (int i = 0; i < functions_.Count(); ++i) {
    if (IsNameInUse(i)) protectedNames_.push_back(functions_.Functions()[static_cast<std::size_t>(i)].name);
  }
}

bool TFormulaEngine::IsProtectedName(std::string_view name) const {
  if (name.size() <= 1 || tok::FindBuiltin(name, true)) return true;
  for (const std::string& p : protectedNames_) {
    if (EqualNoCase(p, name)) return true;
  }
  const int existing = functions_.Find(name);
  if (existing >= 0) return IsNameInUse(existing);
  return WouldChangeTexts(name, -1);
}

int TFormulaEngine::DefineUserFunction(std::string_view name, int argCount, std::string_view formula,
                                       bool replace) {
  // A single letter is a variable already.
  if (name.size() == 1 && std::isalpha(static_cast<unsigned char>(name[0]))) return kFormulaNameTaken;
  if (!IsValidUserFunctionName(name)) return kFormulaNotUnderstood;
  if (argCount < 1 || argCount > 3) return kFormulaArgumentCount;
  if (Trim(formula).empty()) return kFormulaNotUnderstood;
  if (Utf8ToCp1252(std::string(formula)).size() >= kUserFunctionFormulaSize) return kFormulaTooBig;
  if (tok::FindBuiltin(name, true)) return kFormulaNameTaken;
  const int existing = functions_.Find(name);
  TUserFunctionTable candidate(functions_);
  TUserFunction f{std::string(name), std::string(formula), static_cast<std::int16_t>(argCount)};
  int index;
  if (existing >= 0) {
    if (!replace || IsNameInUse(existing)) return kFormulaNameTaken;
    candidate.Replace(existing, f);
    index = existing;
  } else {
    if (IsProtectedName(name)) return kFormulaNameTaken;
    if (functions_.Count() >= kMaxUserFunctions) return kFormulaNoRoom;
    candidate.Add(f);
    index = candidate.Count() - 1;
  }
  const TExprNode* body = nullptr;
  const int code = candidate.Body(index, body);
  if (code != kFormulaOk) return code;
  functions_ = candidate;
  return kFormulaOk;
}

int TFormulaEngine::DeleteUserFunction(std::string_view name) {
  const int index = functions_.Find(name);
  if (index < 0) return kFormulaNotFound;
  if (IsNameInUse(index)) return kFormulaNameTaken;
  functions_.Remove(index);
  return kFormulaOk;
}

void TFormulaEngine::FreeUserFunctions() { functions_.Clear(); }

void TFormulaEngine::WriteUserFunctions(ByteWriter& w) const {
  w.I16(static_cast<std::int16_t>(functions_.Count()));
  for (const TUserFunction& f : functions_.Functions()) {
    w.FixedAnsi(f.name, kUserFunctionNameSize);
    w.FixedAnsi(f.formula, kUserFunctionFormulaSize);
    w.I16(f.argCount);
    w.Zeros(kUserFunctionRecordSize - kUserFunctionNameSize - kUserFunctionFormulaSize - 2);
  }
}

bool TFormulaEngine::ReadUserFunctions(ByteReader& r) {
  functions_.Clear();
  const int count = r.I16();
  if (r.Failed()) return false;
  if (count < 0 || static_cast<std::size_t>(count) * kUserFunctionRecordSize > r.Remaining()) {
    r.Fail();
    return false;
  }
  TUserFunctionTable read;
  for (int i = 0; i < count; ++i) {
    TUserFunction f;
    f.name = r.FixedAnsi(kUserFunctionNameSize);
    f.formula = r.FixedAnsi(kUserFunctionFormulaSize);
    f.argCount = r.I16();
    r.Skip(kUserFunctionRecordSize - kUserFunctionNameSize - kUserFunctionFormulaSize - 2);
    if (f.argCount < 1 || f.argCount > 3) f.argCount = 1;
    if (read.Count() >= kMaxUserFunctions || !IsValidUserFunctionName(f.name) ||
        tok::FindBuiltin(f.name, true) || read.Find(f.name) >= 0)
      continue;
    read.Add(std::move(f));
  }
  if (r.Failed()) return false;
  functions_ = read;
  return true;
}

std::string TFormulaEngine::DescribeUserFunction(int index) const {
  if (index < 0 || index >= functions_.Count()) return {};
  const TUserFunction& f = functions_.Functions()[static_cast<std::size_t>(index)];
  static constexpr const char* kArguments[] = {"(X) = ", "(X,Y) = ", "(X,Y,Z) = "};
  return f.name + kArguments[std::clamp<int>(f.argCount, 1, 3) - 1] + f.formula;
}

}  // namespace kv
