#include "plotcore/func_dialog.h"

#include "plotcore/func_win.h"

namespace kv {

TFuncDlg::TFuncDlg(TFuncWin& window, TDialogPosition* position)
    : TDlg(&window, "FUNCDLG", position), window_(window) {}

const plat::CommandTable& TFuncDlg::Commands() const {
  static const auto table = plat::CommandTable::Build<TFuncDlg>(&TDlg::Commands(), {
                                                                    {kIdDefineFunction, &TFuncDlg::CmDefine},
                                                                    {kIdDeleteFunction, &TFuncDlg::CmDelete},
                                                                });
  return table;
}

void TFuncDlg::SetupWindow() {
  TDlg::SetupWindow();
  LimitText(kIdFunctionName, static_cast<int>(kUserFunctionNameSize) - 1);
  LimitText(kIdFunctionFormula, static_cast<int>(kUserFunctionFormulaSize) - 1);
  SetCheck(kIdOneArgument, true);
  FillFunctionList();
}

void TFuncDlg::FillFunctionList() {
  ListClear(kIdFunctionList);
  const TUserFunctionTable& table = window_.Engine().UserFunctions();
  for (int i = 0; i < table.Count(); ++i) ListAdd(kIdFunctionList, window_.Engine().DescribeUserFunction(i));
}

void TFuncDlg::EvControl(int id, int notification) {
  if (id == kIdFunctionList && notification == plat::LBN_SELCHANGE) {
    ShowFunction(ListGetSel(kIdFunctionList));
    return;
  }
  TDlg::EvControl(id, notification);
}

void TFuncDlg::ShowFunction(int row) {
  const TUserFunctionTable& table = window_.Engine().UserFunctions();
  if (row < 0 || row >= table.Count()) return;
  const TUserFunction& f = table.Functions()[static_cast<std::size_t>(row)];
  SetItemText(kIdFunctionName, f.name);
  SetItemText(kIdFunctionFormula, f.formula);
  for (int k = 0; k < 3; ++k) SetCheck(kIdOneArgument + k, f.argCount == k + 1);
}

int TFuncDlg::ArgumentCount() const {
  if (IsChecked(kIdOneArgument + 2)) return 3;
  if (IsChecked(kIdOneArgument + 1)) return 2;
  return 1;
}

bool TFuncDlg::Define() {
  const std::string name = GetItemText(kIdFunctionName);
  if (name.empty()) return true;
  const std::string formula = GetItemText(kIdFunctionFormula);
  const bool exists = window_.Engine().UserFunctions().Find(name) >= 0;
  const int code = window_.DefineUserFunction(name, ArgumentCount(), formula, exists);
  if (code != kFormulaOk) {
    window_.ShowMessageById(code);
    return false;
  }
  FillFunctionList();
  return true;
}

void TFuncDlg::CmDelete() {
  const int row = ListGetSel(kIdFunctionList);
  const TUserFunctionTable& table = window_.Engine().UserFunctions();
  if (row < 0 || row >= table.Count()) {
    window_.ShowMessageById(15);  // "Auswahl treffen"
    return;
  }
  const std::string name = table.Functions()[static_cast<std::size_t>(row)].name;
  const int code = window_.DeleteUserFunction(name);
  if (code != kFormulaOk) {
    window_.ShowMessageById(code);
    return;
  }
  FillFunctionList();
}

void TFuncDlg::CmOk() {
  if (Define()) Hide();
}

}  // namespace kv
