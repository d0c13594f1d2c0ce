// The value-table window "Wertetabelle" of a plot window: the table of one
// inventory entry (a function, a curve, a surface grid, the terms of a
// cobweb, the points of a trajectory or sequence item, a planetary data
// sheet), shown in sections that the text control can hold, paged with
// "Se&ktion", stepped through the inventory with "&Nächstes Eintrag" and
// saved, printed, copied and searched like any text window.  The plot
// window creates it on first use and keeps it.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "entry/model/value_table_text.h"
#include "shell/text_win.h"

namespace kv {

class TPlot1Win;

enum : int {
  kCmTableForward = 743,     // "&Vorwärts" (Strg+F)
  kCmTableNextEntry = 745,   // "&Nächstes Eintrag" (F2)
  kCmTableParameters = 758,  // "&Parameter ..."
  kCmTableBack = 843,        // "&Zurück" (Strg+B)
  kCmTableJump = 845,        // "&Springen ..." (Strg+J)
};

// The font slot of the plot window that tables are shown in ("&Tabelle ...").
inline constexpr int kTableFontSlot = 6;
// The menu-bar position of "Se&ktion".
inline constexpr int kSectionMenuPosition = 3;

// Kinds whose table is that of one item (trajectory, solution, sequence or
// traced piece).
bool IsItemTableKind(int kind);

class TTableWin : public TTextWin {
 public:
  explicit TTableWin(TPlot1Win* plot);
  ~TTableWin() override;

  const plat::CommandTable& Commands() const override;
  void SetupWindow() override;
  // A new number format rebuilds the table in it.
  void UpdateFieldWidth() override;
  // The shown section is the control's text.
  void ShowBuffer() override { ShowSection(); }
  // The whole table, with the shown section as the control holds it.
  bool WriteFile() override;

  // The entry (and for item kinds its item, -1 for none) to tabulate.
  void SetEntry(int i, int item);
  // Builds the table of the entry and shows its first section.
  void FillTable();
  void ShowSection();
  // The plot window's table font into the control.
  void TakeTableFont();

  const std::string& Table() const { return table_; }
  // The number of section breaks (0: one section) and the section shown.
  int SectionBreaks() const { return static_cast<int>(starts_.size()) - 1; }
  int CurrentSection() const { return current_; }
  int EntryIndex() const { return equation_; }
  int ItemIndex() const { return item_; }
  int ColumnWidth() const { return width_; }

 private:
  void CmNextEntry();
  void CmParameters();
  void CeParameters(plat::CommandEnabler& ce);
  void CmBack();
  void CeBack(plat::CommandEnabler& ce);
  void CmJump();
  void CeJump(plat::CommandEnabler& ce);
  void CmForward();
  void CeForward(plat::CommandEnabler& ce);

  std::string SectionText(int k) const;
  void UpdateTitle();
  TTableLayout Layout() const;

  TPlot1Win* plot_;
  int equation_ = -1;
  int item_ = -1;
  std::string table_;
  std::vector<std::size_t> starts_{0};
  int current_ = 0;
  int width_ = 10;
};

}  // namespace kv
