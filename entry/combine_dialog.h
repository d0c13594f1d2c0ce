// "Kombinationen": combines two entries f and g of the inventory into a new
// derived entry (f + g, f - g, f * g, f / g, f ^ g, f(g), and for vector
// fields the parallel and perpendicular parts and the cross product).
#pragma once

#include "entry/combo_dialog.h"

namespace kv {

class TPlot11Win;

class TCombineDlg : public T2ComboDlg {
 public:
  explicit TCombineDlg(TPlot11Win& window);

  const plat::CommandTable& Commands() const override;
  void SetupWindow() override;
  void SelectionChanged() override;
  void SecondSelectionChanged() override;
  // Enter does not close the dialog.
  void Recalculate() override {}

  // The texts of 754 and 756: the operators, or the field parts.
  void UpdateLabels();

 private:
  void CmButton(int id);
  void CeButton(plat::CommandEnabler& ce);

  TPlot11Win& plot_;
};

}  // namespace kv
