// The user-function dialog: the list of the window's functions, and a name,
// an argument count (1..3) and a formula in X, Y, Z to define one.
// "Definieren" defines or changes the function of the name; "Löschen"
// removes the selected one; "OK" defines what the fields hold (when a name
// is given) and hides the dialog; "Abbruch" hides it.  A refused definition
// shows its numbered message and keeps the dialog open.
#pragma once

#include "formula/user_functions.h"
#include "shell/dialog_base.h"

namespace kv {

class TFuncWin;

enum : int {
  kIdFunctionList = 295,
  kIdFunctionName = 211,
  kIdFunctionFormula = 212,
  kIdOneArgument = 251,  // 252, 253: two and three arguments
  kIdDefineFunction = 91,
  kIdDeleteFunction = 52,
};

class TFuncDlg : public TDlg {
 public:
  TFuncDlg(TFuncWin& window, TDialogPosition* position);

  void SetupWindow() override;
  const plat::CommandTable& Commands() const override;
  void EvControl(int id, int notification) override;
  void CmOk() override;
  void CmCancel() override { Hide(); }

  // Refills the list from the window's functions, keeping the fields.
  void FillFunctionList();

 private:
  void CmDefine() { Define(); }
  void CmDelete();
  // Defines the function of the fields; true when it was accepted or the
  // name field is empty (nothing to do).
  bool Define();
  int ArgumentCount() const;
  void ShowFunction(int row);

  TFuncWin& window_;
};

}  // namespace kv
