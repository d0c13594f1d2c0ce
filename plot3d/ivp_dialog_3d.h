// The common base of the 3D dialogs that add items to one entry and let the
// user review them (the level dialog, the intersection-curve dialog): the
// entry's items listed, deleted one by one or all, the colour of new items,
// and on closing either kept ("Beibehalten") or put back as they were when
// the dialog opened ("Verwerfen").
#pragma once

#include <list>
#include <vector>

#include "plotcore/model/equation.h"
#include "shell/dialog_base.h"

namespace kv {

class TPlotRWin;

enum : int {
  kIvpItemList = 294,
  kIvpDelete = 52,      // "Löschen"
  kIvpDeleteAll = 54,   // "Alles löschen"
  kIvpColour = 208,     // "Farbe"
};

// Pixels over which the item list scrolls sideways.
inline constexpr int kItemListExtent = 1000;

// "jedes AWP löschen?"
inline constexpr int kStrDeleteAllItems = 169;

class T3DIvpDlg : public TDlg {
 public:
  T3DIvpDlg(TPlotRWin* window, const std::string& templateName, int equation);
  void SetupWindow() override;
  const plat::CommandTable& Commands() const override;
  void CmOk() override { Accept(); }
  // A row chosen in the list: "Löschen" follows.
  void EvControl(int id, int notification) override;
  void CmCancel() override { Revert(); }

  // "Beibehalten": the items stay as they are; the dialog hides.
  virtual void Accept();
  // "Verwerfen": the items as they were at the last opening.
  virtual void Revert();
  // "Löschen": the selected row's item.
  virtual void DeleteSelected();
  // "Alles löschen" (after "Ja"): every listed item.
  virtual void DeleteListed();
  void CmColour();

  // Shows the dialog, not hidden any more, on top.
  void Open();
  // The entry's items become the state "Verwerfen" returns to.
  void BackupItems();
  // One row per listed item (the filter), at most kMaxRows; row 0 selected.
  void FillList();
  // The enablers of "Löschen" and "Alles löschen" onto their buttons.
  void RefreshButtons();

  int EquationIndex() const { return equation_; }
  void SetEquationIndex(int i) { equation_ = i; }
  int ListedRows() const { return static_cast<int>(rows_.size()); }
  bool ItemsChanged() const { return itemsChanged_; }
  // 0 or below: every item; a positive value: items with that tag only.
  void SetFilter(int tag) { filter_ = tag; }

  static constexpr int kMaxRows = 4000;

 protected:
  // The entry's record, or null when the index has gone.
  TEquation* Record();
  // Hides the colour window when this dialog opened it, and the
  // companions, then the dialog.
  void Close();
  void ItemsDeleted();
  void CeDelete(plat::CommandEnabler& ce) { ce.Enable(ListGetSel(kIvpItemList) >= 0 && !rows_.empty()); }
  void CeDeleteAll(plat::CommandEnabler& ce) { ce.Enable(!rows_.empty()); }

  TPlotRWin* window_;
  int equation_;
  int filter_ = 0;
  std::vector<int> rows_;  // row -> position of the item in the list
  std::list<TEquationItem> backup_;
  // The backup was taken before an intersection curve's first search: a
  // restore searches its pieces again.
  bool backupSearchPending_ = false;
  bool colourOpened_ = false;
  bool itemsChanged_ = false;

 private:
  void CmDelete() { DeleteSelected(); }
  void CmDeleteAll() { DeleteListed(); }
};

}  // namespace kv
