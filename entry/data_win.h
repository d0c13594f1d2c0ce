// The results window "Kurvato-Daten" of a plot window: the results the
// analysis tools attached to one inventory entry, one line each, stepped
// through the inventory with "&Weiter" and deleted with "&Daten löschen
// ...", and saved, printed, copied and searched like any text window.
#pragma once

#include "shell/text_win.h"

namespace kv {

class TPlot1Win;

enum : int {
  kCmDataNext = 745,    // "&Weiter" (F2)
  kCmDataDelete = 52,   // "&Daten löschen ..."
};

class TDataWin : public TTextWin {
 public:
  explicit TDataWin(TPlot1Win* plot);

  const plat::CommandTable& Commands() const override;
  void SetupWindow() override;
  // A new number format shows the results in it.
  void UpdateFieldWidth() override;

  // The text of the current entry's results, and the caption.
  void FillResults();
  int EntryIndex() const { return equation_; }
  int LineCount() const { return lines_; }

 private:
  void CmNext();
  void CmDelete();
  void CeDelete(plat::CommandEnabler& ce);

  TPlot1Win* plot_;
  int equation_ = 0;
  int lines_ = 0;
};

}  // namespace kv
