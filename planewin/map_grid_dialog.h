// The grid dialog "Gitter" (template "MAPGRID") of a mapping's domain
// window: the x and y ranges and division counts of the two grid families,
// whether each family is shown, and their colours.  OK keeps the dialog
// open with a numbered message while a field is wrong.
#pragma once

#include <cstdint>

#include "planewin/model/mapping_grid.h"
#include "shell/dialog_base.h"

namespace kv {

class TDom2Win;

enum : int {
  kGridEditXMin = 211,
  kGridEditXMax = 212,
  kGridEditXDivisions = 213,
  kGridEditYMin = 214,
  kGridEditYMax = 215,
  kGridEditYDivisions = 216,
  kGridShowLinesX = 271,  // "x = k sichtbar"
  kGridShowLinesY = 272,  // "y = k sichtbar"
  kGridColourX = 204,
  kGridColourY = 205,
};

class TMapGridDlg : public TDlg {
 public:
  TMapGridDlg(TDom2Win& window, TDialogPosition* position);

  void SetupWindow() override;
  const plat::CommandTable& Commands() const override;
  // Reads the fields; on success writes both grid families and closes.
  void CmOk() override;
  // Reads the fields into the grid: 0, or the code of the first wrong one
  // (the number reader's, or 17 for a division count outside 1..200).
  int ReadGrid(TMapGrid& grid);

  std::uint8_t colourChanged = 0;

 private:
  void CmColourX();
  void CmColourY();
  TDom2Win& window_;
};

}  // namespace kv
