// The inventory dialog "Inventar" of every plot window: one line per entry
// ("$" for a member of the "Schar" group, "[versteckt]" for a hidden graph,
// the entry's name, then its description), several lines selectable, and
// buttons that edit, delete, copy, name, hide, tabulate, swap or derive the
// selected entries.  The window refills it whenever its inventory changes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "shell/dialog_base.h"

namespace kv {

class TPlot11Win;

enum : int {
  kIdInventoryList = 293,
  kIdInventoryClipboardEdit = 219,
  kCmInventoryEdit = 51,        // "Bearbeiten" (and a double click)
  kCmInventoryDelete = 52,      // "Löschen"
  kCmInventoryClipboard = 95,   // "Ablage"
  kCmInventoryGraph = 736,      // "Graph"
  kCmInventoryCopy = 739,       // "Kopie"
  kCmInventoryLabel = 744,      // "Gleichung"
  kCmInventoryTable = 757,      // "Tabelle" / "Ableiten"
  kCmInventoryName = 793,       // "Name"
  kCmInventoryDerive = 797,     // "Ableiten" / "Höhen" / "Tauschen" ...
  kCmInventoryExtra = 798,      // "Netz" / "| f(x) |" / "Aktiv" / "Box"
  kCmInventoryFamily = 818,     // "Schar"
};

class TFnListDlg : public TDlg {
 public:
  TFnListDlg(TPlot11Win& window, const std::string& templateName);

  const plat::CommandTable& Commands() const override;
  void SetupWindow() override;
  void EvControl(int id, int notification) override;
  void CmCancel() override { Close(); }

  // Rebuilds the list; the row of entry `select` is selected (row 0 when it
  // is not listed), nothing for a negative index.
  void FillList(int select);
  void OnSelChange();
  // "Schließen": hides the dialog.
  void Close();
  // "Inventar [file name]".
  void UpdateCaption();

  // The selected entries, in list order.
  std::vector<int> SelectedEquations() const;
  // The inventory index shown in a row, or -1.
  int EquationOfRow(int row) const;
  int RowCount() const { return static_cast<int>(rowMap_.size()); }
  bool Busy() const { return busy_ != 0; }

 private:
  // The line of entry i.
  std::string LineOf(int i);
  void UpdateButtonTexts();
  // False (message 111 "am Bearbeiten") while an operation runs or the
  // Lagrange editor is open.
  bool Ready();
  int SingleSelection() const;
  bool AnySelected(bool (*test)(int kind)) const;

  void CmEdit();
  void CmDelete();
  void CmCopy();
  void CmClipboard();
  void CmTable();
  void CmFamily();
  void CmGraph();
  void CmLabel();
  void CmName();
  void CmDerive();
  void CmExtra();

  void CeDelete(plat::CommandEnabler& ce);
  void CeSingle(plat::CommandEnabler& ce);
  void CeTable(plat::CommandEnabler& ce);
  void CeFamily(plat::CommandEnabler& ce);
  void CeGraph(plat::CommandEnabler& ce);
  void CeLabel(plat::CommandEnabler& ce);
  void CeDerive(plat::CommandEnabler& ce);
  void CeExtra(plat::CommandEnabler& ce);

  TPlot11Win& window_;
  std::uint8_t busy_ = 0;
  std::uint8_t mapping_ = 0;
  std::uint8_t threeD_ = 0;
  std::uint8_t logarithmic_ = 0;
  std::uint8_t absoluteValue_ = 0;
  std::uint8_t toggleArmed_ = 0;
  std::vector<std::int16_t> rowMap_;
  std::vector<int> selection_;  // selected rows
};

}  // namespace kv
