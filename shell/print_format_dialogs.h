// The two small dialogs that edit values of the file layer: the print area
// ("PRNSPX0/1/2", lengths shown in centimetres, kept in inches) and the
// number format ("DP", "DPSN", "FW", "FWDP", "FWDPSN", "FWDPTAB").
#pragma once

#include <string>

#include "shell/dialog_base.h"

namespace kv {

class TFileMsgWin;

// Edits the owner's print area.  Every template holds all controls; the
// ones a template does not show are hidden.  OK stores into the owner only
// when the values are acceptable (each length at least 0.25 inch, the unit
// above 1e-16), else message 17 and the dialog stays open.
class TPrnSpecsDlg : public TDlg {
 public:
  TPrnSpecsDlg(TFileMsgWin* owner, const std::string& templateName);
  void SetupWindow() override;
  bool CanClose() override;

 private:
  TFileMsgWin* owner_;
};

// Edits the owner's decimals, field width and option flags, as far as the
// owner's format kind offers them.
class TFWDlg : public TDlg {
 public:
  TFWDlg(TFileMsgWin* owner, const std::string& templateName);
  void SetupWindow() override;
  bool CanClose() override;

 private:
  bool Offers(int bit, int id) const;
  TFileMsgWin* owner_;
};

// The number-format template for a format kind: 2 "FW", 3 "FWDP",
// 5 "DPSN", 15 "FWDPSN", 19 "FWDPTAB", any other "DP".
std::string NumberFormatTemplate(int formatKind);

}  // namespace kv
