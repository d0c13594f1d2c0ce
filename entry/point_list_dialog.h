// "Punktfolge zeichnen": a list of parameter values on a chosen curve
// becomes a point sequence (kind 215) that follows its curve.
#pragma once

#include <cstdint>

#include "entry/combo_dialog.h"

namespace kv {

class TPlot11Win;

enum : int {
  kPtListValues = 211,
  kPtListSize = 212,
  kPtListLabel = 231,
  kPtListColour = 208,  // "Farbe"
  kPtListDraw = 91,     // "Zeichnen"
};

class TPtListDlg : public TComboDlg {
 public:
  explicit TPtListDlg(TPlot11Win& window);

  const plat::CommandTable& Commands() const override;
  void SetupControls() override;
  void SelectionChanged() override;
  void Recalculate() override { OnDraw(); }
  void Destroy() override;

  // "Zeichnen": reads the list and the point size and adds the sequence.
  void OnDraw();

 private:
  void OnColour();

  TPlot11Win& plot_;
  std::uint8_t colourChosen_ = 0;
};

}  // namespace kv
