// The label dialog: "NEWTEXT" edits a text label (text, binding, cover
// the background, hyphen character, angle, font), "NEWTEXT1" a term label
// with its four terms, their decimals and show flags.  OK copies the
// fields into the caller's record and block; a check that fails after some
// fields were copied keeps the dialog open, so callers hand it a record of
// their own and keep it only on OK.
#pragma once

#include "graphics/model/text_label_record.h"
#include "shell/dialog_base.h"

namespace kv {

class TZORWint;

class TTextDlg : public TDlg {
 public:
  // With a block the dialog edits a term label ("NEWTEXT1").
  TTextDlg(TZORWint& window, TTextLabel& label, TTermBlock* block);

  const plat::CommandTable& Commands() const override;
  void SetupWindow() override;
  bool CanClose() override;

 private:
  void CmDelete();  // "Löschen" of the term dialog
  void CmFont();    // "Schriftart"
  // The binding the radio buttons and the list choose; false when "Andere"
  // is chosen without a row.
  bool ReadBinding(std::int16_t& binding);

  TZORWint& window_;
  TTextLabel& label_;
  TTermBlock* block_;
};

}  // namespace kv
