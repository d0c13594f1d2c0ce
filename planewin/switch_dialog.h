// "Typen zulassen" (template "SWITCH"): which families the quiz may set
// (check boxes 270 .. 284 for flags 0 .. 14) and the degrees of its
// polynomial and rational tasks.
#pragma once

#include <string>

#include "shell/dialog_base.h"

namespace kv {

class TPlotGWin;

enum : int {
  kSwitchFirstBox = 270,  // flag 0 "Absolutwerte  y = |f(x)|"; 271 .. 284 the families
  kSwitchMinDegree = 211,
  kSwitchMaxDegree = 212,
};

class TSwitchDlg : public TDlg {
 public:
  TSwitchDlg(TPlotGWin* window, const std::string& templateName);
  void SetupWindow() override;
  // The flags are taken at once; degrees outside 1 <= min <= max <= 8 give
  // message 17 and keep the dialog open.
  bool CanClose() override;

 private:
  TPlotGWin* window_;
};

}  // namespace kv
