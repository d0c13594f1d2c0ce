// "Beispielsschar": switches the family of one inventory entry on or off
// and sets the parameter letter that runs, its range, the number of steps
// and the delay between members shown one by one ("Verfolgen").
#pragma once

#include "shell/dialog_base.h"

namespace kv {

class TPlot1Win;

enum : int {
  kFamMin = 211,
  kFamMax = 212,
  kFamSteps = 213,
  kFamLetter = 214,
  kFamDelay = 215,
  kFamFollow = 271,   // "Verfolgen"
  kFamDraw = 91,      // "Zeichnen"
  kFamDelete = 52,    // "Löschen"
};

class TFamDlg : public TDlg {
 public:
  TFamDlg(TPlot1Win* window, const std::string& templateName, int equation);

  void SetupWindow() override;
  const plat::CommandTable& Commands() const override;
  // Enter does not close the dialog.
  void CmOk() override {}

  // The fields read and checked: 0, or the message code (6, 17 or the
  // number reader's); nothing is stored unless 0.
  int ReadFields();

 private:
  void CmDraw();
  void CmDelete();

  TPlot1Win* window_;
  int equation_;
};

}  // namespace kv
