// The formula engine of one plot window: its variables and parameter tables,
// its user-defined functions, the complex-mode, jump-detection and
// evaluation-error flags, and the operations that use them (compiling,
// evaluating, the number readers, the root finder, the text substitutions,
// the Taylor template).  The window layer owns one TFormulaEngine and
// forwards to it.  Stateless tree operations (Differentiate, Simplify, the
// builders) are free functions in calculus.h and tree_builders.h.
//
// Variable numbers: 0 is "@", 1..26 are A..Z (R 18, T 20, U 21, X 24, Y 25,
// Z 26), 27..32 the extra variables.  Wherever a "letter" is asked for, a
// token (64..90, 192..197), a variable number (0..32) or a character ('x', 'X', '@')
// is accepted.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "formula/complex.h"
#include "formula/expr_node.h"
#include "formula/formula_codes.h"
#include "formula/parameter_tables.h"
#include "formula/program.h"
#include "formula/tokens.h"
#include "formula/user_functions.h"
#include "core/binary_stream.h"

namespace kv {

// The character that MarkVariableLetter puts where the letter was.
inline constexpr char kLetterMark = '#';

class TFormulaEngine {
 public:
  TFormulaEngine();
  ~TFormulaEngine();
  TFormulaEngine(const TFormulaEngine&) = delete;
  TFormulaEngine& operator=(const TFormulaEngine&) = delete;

  // ---- flags ----
  // Real mode (the default): operations without a real value are undefined.
  // Complex mode: principal complex values, and Z follows X + iY.
  bool ComplexMode() const { return complexMode_; }
  void SetComplexMode(bool on) { complexMode_ = on; }
  // On after construction.  While on, functions with branches (tan, sec,
  // csc, cot, int, frac) raise the error flag when a tree's evaluation lands
  // on another branch than its previous one; switching it on starts afresh.
  bool JumpDetection() const { return jumpDetection_; }
  void SetJumpDetection(bool on);
  // Raised at a jump and by every undefined evaluation; callers clear it
  // before evaluating and test it after.
  bool EvaluationError() const { return evaluationError_; }
  void ClearEvaluationError() { evaluationError_ = false; }
  void RaiseEvaluationError() { evaluationError_ = true; }
  // Interval width at which BisectRoot stops; callers set it.
  long double bisectTolerance = 0.01L;

  // ---- variables and parameters ----
  TParameterTables& Tables() { return *tables_; }
  const TParameterTables& Tables() const { return *tables_; }
  // Borrow another window's tables (time and phase windows share their
  // parent's, the range window the domain's); nullptr returns to our own.
  void UseTables(TParameterTables* shared);
  const TComplex* Variables() const { return tables_->value.data(); }
  TComplex Variable(int letter) const;
  // Sets a variable to a real value (imaginary part 0); in complex mode
  // setting X or Y also sets Z = X + iY.  Unknown letters are ignored.
  void SetVariable(int letter, long double value) {
    const int i = tok::VariableOf(letter);
    if (i < 0) return;
    tables_->value.SetReal(static_cast<std::size_t>(i), value);
    if (complexMode_ && (i == kXIndex || i == kYIndex)) UpdateZ();
  }
  void SetComplexVariable(int letter, const TComplex& value);
  // Adds to the real part.
  void AddToVariable(int letter, long double amount);
  // X and Y, and in complex mode Z = x + iy.
  void SetPoint(long double x, long double y) {
    tables_->value.SetReal(kXIndex, x);
    tables_->value.SetReal(kYIndex, y);
    if (complexMode_) tables_->value.Set(kZIndex, TComplex(x, y));
  }
  // Copy the 27 values ("@", A..Z) to the backup table and back.
  void SaveVariables();
  void RestoreVariables();
  // What every new drawing starts with: parameter E = e.
  void SetNewDrawingDefaults();
  // A leaf of the letter, owned by the engine (for substitutions).
  const TExprNode* VariableTree(int letter) const;

  // ---- compiling ----
  // kFormulaOk with the tree kept until TakeCompiledTree, or an error code;
  // an untaken tree is freed by the next Compile.
  int Compile(std::string_view text);
  TExprNode* TakeCompiledTree();
  int Compile(std::string_view text, TreePtr& tree);
  // Byte offset in the text of the last compile error.
  int LastErrorPosition() const { return errorPosition_; }

  // ---- evaluating ----
  // Evaluates at the current variables through the tree's flat program and
  // leaves the value in the root; false where undefined (root value 0, error
  // flag raised).  The program is built on the first evaluation and kept in
  // the root (see expr_node.h for edits of evaluated trees); later
  // evaluations allocate nothing.
  bool Evaluate(TExprNode* tree);
  // Sets the variable, evaluates, returns the real part; false when undefined.
  bool EvaluateAt(TExprNode* tree, int letter, long double value, long double& realPart);
  // Block evaluation: the same as SetVariable(letter, values[i]) (and
  // SetVariable(letter2, values2[i]) when letter2 is given) followed by
  // Evaluate, for i = 0 .. n-1 in this order, but with one pass of the
  // program per block of points and the operations that do not depend on the
  // letters computed once.  re[i] (and im[i] when im is given) receive the
  // values of the defined points; status[i] is a TPointStatus.  The values,
  // the undefined points, the jumps and the branch memory are exactly those
  // of the loop.  Afterwards the letters hold the last point's values and
  // the error flag is raised when a point was undefined or jumped; the root's
  // value is left alone.  Returns the number of such points.
  int EvaluateBlock(TExprNode* tree, int letter, const long double* values, int n, long double* re,
                    long double* im, std::uint8_t* status, int letter2 = -1, const long double* values2 = nullptr);
  // Several trees at each of n points, as the loop
  //   SetVariable(letter, values[i]);
  //   Evaluate(trees[0]) && Evaluate(trees[1]) && ...
  // evaluates them: a tree is not evaluated where an earlier one is
  // undefined.  A sine or cosine that a later tree takes of an argument an
  // earlier one took at that point (r·cos t and r·sin t) is not computed
  // again.  out[k][i] receives the real part of tree k at a defined
  // point; status[i] is undefined when any tree is, jump when any tree
  // jumped.  Returns the number of points that are undefined or jump.
  int EvaluateBlockChain(TExprNode* const* trees, int count, int letter, const long double* values, int n,
                         long double* const* out, std::uint8_t* status);
  // The same evaluation by walking the tree (every node keeps its value); the
  // reference the flat program is tested against.  Its jump bookkeeping lives
  // in the nodes and is not reset by SetJumpDetection.
  bool EvaluateByTreeWalk(TExprNode* tree);

  // ---- number readers ----
  // A number or formula as a real value, evaluated in real mode.  A plain
  // decimal number with an exponent ("1.5e-3") is read as such.  kFormulaOk,
  // the compiler's code, or kFormulaNotUnderstood when undefined.
  int TextToValue(std::string_view text, long double& value);
  // A whole number in lo..hi (formulas allowed), rounded; kFormulaOutOfBounds
  // outside; `value` unchanged on any error.
  int ReadBoundedShort(std::string_view text, int lo, int hi, std::int16_t& value);
  int ReadBoundedInt(std::string_view text, std::int32_t lo, std::int32_t hi, std::int32_t& value);
  // "value" or "value@L" (L a letter A..W: parameter 1..23) or "value@k" (k
  // a whole number); parameter 0 without "@".  kFormulaOutOfBounds for
  // anything else after "@".
  int ReadValueAndParameter(std::string_view text, long double& value, int& parameter);
  static long double MinValue(long double a, long double b) { return a < b ? a : b; }
  static long double MaxValue(long double a, long double b) { return a > b ? a : b; }

  // ---- root finder ----
  // A zero of the tree's real part in the letter on [a, b] by bisection:
  //   kFormulaOk            x is the zero (|f(x)| <= 1e-5),
  //   kFormulaRootAtEnd     an end value below 1e-16 in size: x is that end,
  //   kFormulaNotUnderstood undefined at a point tried,
  //   kFormulaNoSignChange  f(a) and f(b) have the same sign,
  //   kFormulaNotFound      stopped with |f(x)| > 1e-5 (a pole, say).
  // Halves until b - a < bisectTolerance, |f(mid)| < 1e-16 or 100 halvings.
  // The variable (and Z) keep their values.
  int BisectRoot(TExprNode* tree, int letter, long double a, long double b, long double& x);

  // ---- formula texts ----
  // Replaces every free occurrence of the letter (not part of a name) by
  // kLetterMark; false when the text does not tokenize or has no such letter.
  bool MarkVariableLetter(std::string& text, int letter) const;
  // `marked` with every kLetterMark replaced by `replacement`; false (out
  // untouched) when the result would be longer than `limit` bytes.
  static bool ReplaceMarkedLetters(std::string_view marked, std::string_view replacement,
                                   std::size_t limit, std::string& out);
  // Replaces the free letters X, Y and Z by "(" + text + ")" for every
  // non-empty replacement text; false (text unchanged) when the text does not
  // tokenize or the result would be longer than `limit` bytes.
  bool SubstituteXYZText(std::string& text, std::size_t limit, std::string_view x,
                         std::string_view y, std::string_view z) const;

  // ---- Taylor polynomials ----
  // The template sum c0 + c1 (v - m) + c2 (v - m)^2 + ... cut to `degree`
  // (0..kMaxTaylorDegree), with placeholders for the coefficients, the
  // centre m and the variable v.
  static constexpr int kMaxTaylorDegree = 20;
  TExprNode* TruncateTaylorTemplate(int degree) const;
  // In place: coefficient k becomes D_k(centre) / k!, m the centre, v the
  // letter; derivatives[k] = D_k.  False when a coefficient has no derivative.
  bool SpliceTaylorTerms(TExprNode* templ, const std::vector<const TExprNode*>& derivatives,
                         const TExprNode* centre, int letter) const;

  // ---- user functions ----
  const TUserFunctionTable& UserFunctions() const { return functions_; }
  // Defines a function (replace: change an existing one of that name).
  // kFormulaNotUnderstood for a malformed name or formula, kFormulaNameTaken
  // for a built-in name, a single letter, a name in use or (without replace)
  // an existing name, kFormulaArgumentCount for a count outside 1..3,
  // kFormulaTooBig for a formula over 55 characters, kFormulaNoRoom beyond
  // kMaxUserFunctions, kFormulaRecursive when it would call itself, or the
  // compiler's code for its formula.
  int DefineUserFunction(std::string_view name, int argCount, std::string_view formula,
                         bool replace = false);
  // kFormulaOk, kFormulaNotFound, or kFormulaNameTaken when in use.
  int DeleteUserFunction(std::string_view name);
  void FreeUserFunctions();
  // i16 count, then one 77-byte record per function.
  void WriteUserFunctions(ByteWriter& w) const;
  // Replaces the list by the file's.  A count that is negative or exceeds the
  // remaining bytes fails the reader (list left empty); records past
  // kMaxUserFunctions, with malformed, built-in or repeated names are
  // skipped; an argument count outside 1..3 reads as 1.
  bool ReadUserFunctions(ByteReader& r);
  // Rebuilds the protected names from the formula texts of the drawing: the
  // built-in names, every user function that these texts or other user
  // functions call, and (checked on demand) any name whose definition would
  // change how one of these texts reads.
  void CollectProtectedNames(const std::vector<std::string>& formulaTexts);
  const std::vector<std::string>& ProtectedNames() const { return protectedNames_; }
  bool IsProtectedName(std::string_view name) const;
  // "name(X,Y) = formula"
  std::string DescribeUserFunction(int index) const;

 private:
  static constexpr int kXIndex = tok::VariableIndex(tok::X);
  static constexpr int kYIndex = tok::VariableIndex(tok::Y);
  static constexpr int kZIndex = tok::VariableIndex(tok::Z);
  void UpdateZ();
  formula_detail::RunContext Context() const {
    formula_detail::RunContext context;
    context.variables = tables_->value.data();
    context.nonRealMask = tables_->value.NonRealMask();
    context.complexMode = complexMode_;
    context.jumpDetection = jumpDetection_;
    context.jumpEpoch = jumpEpoch_;
    context.errorFlag = const_cast<bool*>(&evaluationError_);
    return context;
  }
  // Evaluate's rare paths: a tree without a current program, and the
  // failure (error flag, value 0).
  bool EvaluateRenewing(TExprNode* tree);
  bool EvaluationFailed(TExprNode* tree);
  bool IsNameInUse(int index) const;
  bool WouldChangeTexts(std::string_view name, int except) const;

  TParameterTables ownTables_;
  TParameterTables* tables_ = &ownTables_;
  bool complexMode_ = false;
  bool jumpDetection_ = true;
  bool evaluationError_ = false;
  std::uint64_t jumpEpoch_ = 1;
  TreePtr compiled_;
  int errorPosition_ = 0;
  TUserFunctionTable functions_;
  std::vector<std::string> protectedNames_;
  std::vector<std::string> protectedTexts_;
  TExprNode* variableTrees_[tok::kVariableCount] = {};
  // Scratch of EvaluateBlockChain, kept from call to call.
  std::unique_ptr<formula_detail::SineCosineMemo> chainSines_;  // shared by the trees of a chain
  bool inChain_ = false;
  std::vector<int> chainIndex_;
  std::vector<long double> chainValues_;
  std::vector<long double> chainResults_;
  std::vector<std::uint8_t> chainStatus_;
};

// The hot path inline: the program of the tree (current unless leaves were
// edited since it last looked) runs straight into the root's value.
inline bool TFormulaEngine::Evaluate(TExprNode* tree) {
  if (!tree) [[unlikely]]
    return EvaluationFailed(tree);
  formula_detail::Program* program = tree->program;
  if (!program || program->checkedEdits != formula_detail::treeEdits) [[unlikely]]
    return EvaluateRenewing(tree);
  if (program->Run(Context(), tree->value)) [[likely]]
    return true;
  return EvaluationFailed(tree);
}

}  // namespace kv
