// The bases of the tool dialogs that work on entries of the window's
// inventory (zeros, extrema, intersections, integrals, traces, reflections
// and the others of the 2D and 3D windows).  TComboDlg lists the entries of
// the kinds a tool accepts in combo box 295; T2ComboDlg adds combo box 296
// with its own kinds for tools that take two entries.
//
// Deriving a tool dialog:
//  - Construct the base with the window, the template (which holds combo
//    295, and 296 for T2ComboDlg) and the accepted kinds, e.g.
//    TComboDlg(w, "ZEROS", {kKindExplicit}); set the option flags
//    (includeLagrange, includeRevolvedImplicit, includeDerived,
//    colourWindow) in the constructor where the tool needs them.
//  - Override SetupControls() to prepare the tool's own controls (it runs
//    before the lists are filled), SelectionChanged() and
//    SecondSelectionChanged() to follow the user's choice, and
//    Recalculate() for the default button (command 1).
//  - Read the choice from SelectedEquation() / SelectedKind() (and
//    SecondEquation() / SecondKind()); they are valid once a row is chosen.
//  - Command 2 "Schließen" (and Escape) runs RefreshPlot(): the dialog hides
//    and the plot is redrawn without the tool's marks; call RequestRedraw()
//    after changing what the tool draws over the plot.
//
// The window refills every combo dialog when its inventory changes
// (TPlot1Win::RefillComboDialogs); while a tool adds a point of its own
// (TPlotWin::toolPointFlag), only those with refillWhileToolAddsPoint.  A
// refill keeps the chosen row while the list is long enough, whatever entry
// it now shows; otherwise the first list falls back to row 0 and the second
// list to its last row.  The dialog's own choice survives hiding and
// showing.
#pragma once

#include <bitset>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "shell/dialog_base.h"

namespace kv {

class TPlot1Win;
class TEquation;

enum : int {
  kIdFirstCombo = 295,
  kIdSecondCombo = 296,
};

// One flag per kind code 0..409.
inline constexpr int kKindTableSize = 410;
using TKindTable = std::bitset<kKindTableSize>;

// The flags of the listed kind codes.  The list ends at its first negative
// value (or its end); codes of 410 and above are ignored.
TKindTable BuildKindTable(const std::int16_t* kinds);
TKindTable BuildKindTable(std::initializer_list<int> kinds);

class TComboDlg : public TDlg {
 public:
  TComboDlg(TPlot1Win& window, const std::string& templateName, std::initializer_list<int> kinds);
  TComboDlg(TPlot1Win& window, const std::string& templateName, const std::int16_t* kinds);
  ~TComboDlg() override;

  void SetupWindow() override;
  void EvControl(int id, int notification) override;
  void CmOk() override { Recalculate(); }
  void CmCancel() override { RefreshPlot(); }

  // ---- hooks of the tool dialogs ----
  // Before the lists are filled at set-up.
  virtual void SetupControls() {}
  // After the choice of combo 295 was taken.
  virtual void SelectionChanged() {}
  // Rebuilds the list(s) from the inventory, keeping the choice.
  virtual void RefillList();
  // "Schließen": hides the dialog and redraws the plot.
  virtual void RefreshPlot();
  // The default button (command 1): the tool computes here.
  virtual void Recalculate() {}
  // Marks the dialog changed and lets the window repaint its overlays.
  virtual void RequestRedraw();
  // The window's plot file was saved (perhaps under a new name): a caption
  // that names it is written anew.
  virtual void FileSaved() {}

  // Takes the row chosen in combo 295 (also called after every fill).
  void OnSelChange();

  // ---- the choice ----
  int SelectedEquation() const { return selectedEquation_; }
  int SelectedKind() const { return selectedKind_; }
  int SelectedRow() const { return selectedRow_; }
  int LastRow() const { return lastRow_; }
  // The inventory index shown in a row of combo 295, or -1.
  int EquationOfRow(int row) const;
  // The row of combo 295 that shows the entry, or -1.
  int IndexOfFirst(int equation) const;
  bool Changed() const { return changed_ != 0; }

  // ---- options (set by a tool's constructor) ----
  std::uint8_t includeLagrange = 0;           // offer Lagrange polynomials
  std::uint8_t includeRevolvedImplicit = 0;   // offer 307 surfaces of implicit curves
  std::uint8_t includeDerived = 0;            // offer entries made by tools
  std::uint8_t colourWindow = 0;              // the tool shows the colour window: closing hides it
  std::uint8_t refillWhileToolAddsPoint = 0;  // takes a tool's new point at once

 protected:
  // Whether the entry belongs in a list of these kinds.
  bool Accepts(int i, const TKindTable& kinds) const;
  // Fills a combo box with the accepted entries in inventory order, their
  // description lines as rows; the row map and the last row follow.
  void FillCombo(int comboId, const TKindTable& kinds, std::vector<std::int16_t>& rowMap, int& lastRow);

  TPlot1Win& window_;
  TKindTable acceptedKinds_;

 private:
  std::uint8_t changed_ = 0;
  int selectedEquation_ = -1;
  int selectedRow_ = -1;
  int selectedKind_ = 0;
  std::vector<std::int16_t> rowMap_;
  int lastRow_ = -1;
};

class T2ComboDlg : public TComboDlg {
 public:
  T2ComboDlg(TPlot1Win& window, const std::string& templateName, std::initializer_list<int> kinds,
             std::initializer_list<int> secondKinds);
  T2ComboDlg(TPlot1Win& window, const std::string& templateName, const std::int16_t* kinds,
             const std::int16_t* secondKinds);

  void SetupWindow() override;
  void EvControl(int id, int notification) override;
  void RefillList() override;

  // After the choice of combo 296 was taken.
  virtual void SecondSelectionChanged() {}
  // Takes the row chosen in combo 296 (also called after every fill).
  void OnSelChange2();

  int SecondEquation() const { return secondEquation_; }
  int SecondKind() const { return secondKind_; }
  int SecondRow() const { return secondRow_; }
  int SecondLastRow() const { return secondLastRow_; }
  // The row of combo 296 that shows the entry, or -1.
  int IndexOfSecond(int equation) const;

 protected:
  TKindTable secondKinds_;

 private:
  int secondEquation_ = -1;
  int secondRow_ = -1;
  int secondKind_ = 0;
  std::vector<std::int16_t> secondRowMap_;
  int secondLastRow_ = -1;
};

}  // namespace kv
