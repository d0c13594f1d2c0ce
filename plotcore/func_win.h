// The formula layer of every plot window, between the picture layer and the
// plot layers.  It owns the window's formula engine (variables, parameter
// tables, user functions, the complex-mode, jump-detection and
// evaluation-error flags) and forwards to it, so the layers above speak to
// "the window" and never hold an engine of their own.  Its number reader
// replaces the graphics layer's: every number field of the graphics dialogs
// (view, grid, zoom factor, pan share) accepts formulas such as "2pi".
//
// The user-function dialog (TFuncDlg) is modeless and lives as long as the
// window; command kCmUserFunctions shows it.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "formula/calculus.h"
#include "formula/formula_engine.h"
#include "formula/tree_builders.h"
#include "graphics/zor_winm.h"
#include "shell/dialog_base.h"

namespace kv {

class TFuncDlg;

enum : int {
  kCmUserFunctions = 884,  // "&Funktionen ..."
};

class TFuncWin : public TZORWinm {
  // First, so that the references below bind to a constructed engine.
  TFormulaEngine engine_;

 public:
  TFuncWin(plat::Window* parent, const std::string& title);
  ~TFuncWin() override;

  const plat::CommandTable& Commands() const override;
  // Closes the user-function dialog, then the layers below.
  void Destroy() override;

  TFormulaEngine& Engine() { return engine_; }
  const TFormulaEngine& Engine() const { return engine_; }

  // ---- flags ----
  bool ComplexMode() const { return engine_.ComplexMode(); }
  void SetComplexMode(bool on) { engine_.SetComplexMode(on); }
  bool JumpDetection() const { return engine_.JumpDetection(); }
  void SetJumpDetection(bool on) { engine_.SetJumpDetection(on); }
  bool EvaluationError() const { return engine_.EvaluationError(); }
  void ClearEvaluationError() { engine_.ClearEvaluationError(); }

  // ---- compiling and evaluating ----
  // 0 with the tree kept until TakeCompiledTree (the "last tree"), else the
  // compiler's code n for message 400 + n.
  int Compile(std::string_view text) { return engine_.Compile(text); }
  int Compile(std::string_view text, TreePtr& tree) { return engine_.Compile(text, tree); }
  TExprNode* TakeCompiledTree() { return engine_.TakeCompiledTree(); }
  bool Evaluate(TExprNode* tree) { return engine_.Evaluate(tree); }
  bool EvaluateAt(TExprNode* tree, int letter, long double value, long double& realPart) {
    return engine_.EvaluateAt(tree, letter, value, realPart);
  }
  static bool Differentiate(const TExprNode* tree, int letter, TreePtr& result) {
    return kv::Differentiate(tree, letter, result);
  }
  static void Simplify(TExprNode* tree) { kv::Simplify(tree); }
  static void SimplifyIdentities(TExprNode* tree) { kv::SimplifyIdentities(tree); }

  // ---- number readers ----
  // A number or formula as a real number, evaluated with complex mode off:
  // 0, the compiler's code, or 1 when the value is undefined.
  int TextToValue(std::string_view text, long double& value) { return engine_.TextToValue(text, value); }
  std::int32_t TextToNumber(const std::string& text, long double& value) override {
    return TextToValue(text, value);
  }
  // Whole numbers in lo..hi read through TextToNumber (so through any
  // override of it), rounded; 17 outside, the reader's code on a formula
  // error; the value is unchanged on any error.
  int ReadBoundedShort(std::string_view text, int lo, int hi, std::int16_t& value);
  int ReadBoundedInt(std::string_view text, std::int32_t lo, std::int32_t hi, std::int32_t& value);
  // Asks a whole number in the one-value dialog and reads it as the dialogs'
  // number fields are read (formulas allowed): 12 when cancelled; the
  // reader's code; 14 ("positiver Wert?") below 1 when `positive` is set;
  // 17 outside lo..hi.  The value changes only when 0 is returned.
  int AskWholeNumber(const std::string& caption, const std::string& prompt, std::int32_t lo, std::int32_t hi,
                     bool positive, std::int32_t& value);
  int ReadValueAndParameter(std::string_view text, long double& value, int& parameter) {
    return engine_.ReadValueAndParameter(text, value, parameter);
  }
  int BisectRoot(TExprNode* tree, int letter, long double a, long double b, long double& x) {
    return engine_.BisectRoot(tree, letter, a, b, x);
  }
  static long double MinValue(long double a, long double b) { return TFormulaEngine::MinValue(a, b); }
  static long double MaxValue(long double a, long double b) { return TFormulaEngine::MaxValue(a, b); }

  // ---- variables ----
  TParameterTables& Tables() { return engine_.Tables(); }
  const TComplex* Variables() const { return engine_.Variables(); }
  TComplex Variable(int letter) const { return engine_.Variable(letter); }
  void SetVariable(int letter, long double value) { engine_.SetVariable(letter, value); }
  void SetComplexVariable(int letter, const TComplex& value) { engine_.SetComplexVariable(letter, value); }
  void AddToVariable(int letter, long double amount) { engine_.AddToVariable(letter, amount); }
  void SaveVariables() { engine_.SaveVariables(); }
  void RestoreVariables() { engine_.RestoreVariables(); }
  const TExprNode* VariableTree(int letter) const { return engine_.VariableTree(letter); }

  // ---- formula texts ----
  bool MarkVariableLetter(std::string& text, int letter) const { return engine_.MarkVariableLetter(text, letter); }
  static bool ReplaceMarkedLetters(std::string_view marked, std::string_view replacement, std::size_t limit,
                                   std::string& out) {
    return TFormulaEngine::ReplaceMarkedLetters(marked, replacement, limit, out);
  }
  bool SubstituteXYZText(std::string& text, std::size_t limit, std::string_view x, std::string_view y,
                         std::string_view z) const {
    return engine_.SubstituteXYZText(text, limit, x, y, z);
  }
  static TExprNode* BuildWasherIntegrand(const TExprNode* f, const TExprNode* g, long double k) {
    return kv::BuildWasherIntegrand(f, g, k);
  }
  static TExprNode* BuildShellIntegrand(const TExprNode* f, const TExprNode* g, long double k, bool mirrored) {
    return kv::BuildShellIntegrand(f, g, k, mirrored);
  }

  // ---- user functions ----
  void WriteUserFunctions(ByteWriter& w) const { engine_.WriteUserFunctions(w); }
  // Replaces the list by the file's and refills an open dialog.
  bool ReadUserFunctions(ByteReader& r);
  void FreeUserFunctions();
  void CollectProtectedNames(const std::vector<std::string>& formulaTexts) {
    engine_.CollectProtectedNames(formulaTexts);
  }
  // Defines, replaces or deletes a function and tells the layers above
  // (UserFunctionsChanged); the engine's codes.
  int DefineUserFunction(std::string_view name, int argCount, std::string_view formula, bool replace);
  int DeleteUserFunction(std::string_view name);
  // The formula texts whose user functions must stay; the plot layers give
  // every text of their inventory.  Nothing here.
  virtual std::vector<std::string> FormulaTextsInUse() const { return {}; }
  // After the user functions changed: the plot layers recompile and redraw.
  virtual void UserFunctionsChanged() {}

  // Shows the user-function dialog (created on first use).
  void ShowFunctionDialog();
  TFuncDlg* FunctionDialog() const { return functionDialog_.get(); }
  TDialogPosition functionDialogPosition;

  // Interval width at which BisectRoot stops (0.01 after construction).
  long double& bisectTolerance;

 private:
  void CmUserFunctions() { ShowFunctionDialog(); }

  std::unique_ptr<TFuncDlg> functionDialog_;
};

}  // namespace kv
