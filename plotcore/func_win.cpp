#include "plotcore/func_win.h"

#include <cmath>

#include "plotcore/func_dialog.h"
#include "shell/generic_dialogs.h"
#include "shell/text_helpers.h"

namespace kv {

TFuncWin::TFuncWin(plat::Window* parent, const std::string& title)
    : TZORWinm(parent, title), bisectTolerance(engine_.bisectTolerance) {}

TFuncWin::~TFuncWin() = default;

const plat::CommandTable& TFuncWin::Commands() const {
  static const auto table = plat::CommandTable::Build<TFuncWin>(&TZORWinm::Commands(), {
                                                                    {kCmUserFunctions, &TFuncWin::CmUserFunctions},
                                                                });
  return table;
}

void TFuncWin::Destroy() {
  if (functionDialog_) {
    if (!functionDialog_->IsDestroyed()) functionDialog_->EndDialog(2);
    functionDialog_.reset();
  }
  TZORWinm::Destroy();
}

namespace {

// The bounded readers' common part: the value through the window's number
// reader, then the range test on the unrounded value.
template <class Int>
int ReadBounded(TFuncWin& w, std::string_view text, long double lo, long double hi, Int& value) {
  long double v = 0;
  const int code = w.TextToNumber(std::string(text), v);
  if (code != 0) return code;
  if (!(v >= lo && v <= hi)) return kFormulaOutOfBounds;
  value = static_cast<Int>(RoundToInt(v));
  return kFormulaOk;
}

}  // namespace

int TFuncWin::ReadBoundedShort(std::string_view text, int lo, int hi, std::int16_t& value) {
  // The result must fit the field whatever the caller's bounds are.
  const long double l = lo < -32768 ? -32768 : lo;
  const long double h = hi > 32767 ? 32767 : hi;
  return ReadBounded(*this, text, l, h, value);
}

int TFuncWin::ReadBoundedInt(std::string_view text, std::int32_t lo, std::int32_t hi, std::int32_t& value) {
  return ReadBounded(*this, text, lo, hi, value);
}

int TFuncWin::AskWholeNumber(const std::string& caption, const std::string& prompt, std::int32_t lo,
                             std::int32_t hi, bool positive, std::int32_t& value) {
  std::string text = std::to_string(value);
  TInpDlg dlg(this, caption, prompt, text, 50);
  if (dlg.Execute() != plat::IDOK) return 12;
  long double v = 0;
  const int code = TextToNumber(text, v);
  if (code != 0) return code;
  if (positive && !(v >= 1)) return 14;
  return ReadBoundedInt(text, lo, hi, value);
}

bool TFuncWin::ReadUserFunctions(ByteReader& r) {
  const bool ok = engine_.ReadUserFunctions(r);
  if (functionDialog_ && !functionDialog_->IsDestroyed()) functionDialog_->FillFunctionList();
  return ok;
}

void TFuncWin::FreeUserFunctions() {
  engine_.FreeUserFunctions();
  if (functionDialog_ && !functionDialog_->IsDestroyed()) functionDialog_->FillFunctionList();
}

int TFuncWin::DefineUserFunction(std::string_view name, int argCount, std::string_view formula, bool replace) {
  engine_.CollectProtectedNames(FormulaTextsInUse());
  const int code = engine_.DefineUserFunction(name, argCount, formula, replace);
  if (code == kFormulaOk) UserFunctionsChanged();
  return code;
}

int TFuncWin::DeleteUserFunction(std::string_view name) {
  engine_.CollectProtectedNames(FormulaTextsInUse());
  const int code = engine_.DeleteUserFunction(name);
  if (code == kFormulaOk) UserFunctionsChanged();
  return code;
}

void TFuncWin::ShowFunctionDialog() {
  if (!functionDialog_) {
    functionDialog_ = std::make_unique<TFuncDlg>(*this, &functionDialogPosition);
    functionDialog_->Create();
  }
  functionDialog_->FillFunctionList();
  functionDialog_->Show(plat::SW_SHOW);
}

}  // namespace kv
