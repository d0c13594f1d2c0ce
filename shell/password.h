// The "Kennwortschutz" dialog and the protection commands of the file
// layer; the block's codec is in shell/model/protection_block.h.
#pragma once

#include <cstdint>
#include <string>

#include "shell/dialog_base.h"
#include "shell/model/protection_block.h"

namespace kv {

// What the "Kennwortschutz" dialog decided.
struct TProtectionChoice {
  std::string Password;
  std::string Author;
  std::string Date;
  std::string EMail;
  std::string Homepage;
  std::int16_t Mask = 0;
};

// "SETPW": "Setzen" (1) checks and ends with 1; "Löschen" (kClearButton)
// ends with that id; Escape and the close box end with 2 and change
// nothing.
class TPwdDlg : public TDlg {
 public:
  static constexpr int kClearButton = 240;
  TPwdDlg(plat::Window* parent, TProtectionChoice& choice);
  void SetupWindow() override;
  bool CanClose() override;
  const plat::CommandTable& Commands() const override;

 private:
  void CmClear();
  TProtectionChoice& choice_;
};

}  // namespace kv
