// "Implizit definierter Bereich": turns implicit curves F(x, y) = 0 into the
// inequalities F < 0 or F > 0, chooses whether their region is hatched or
// measured, and estimates the region's centroid and area with random
// points thrown into the view.
#pragma once

#include <cstdint>
#include <vector>

#include "core/vector2d.h"
#include "shell/dialog_base.h"

namespace kv {

class TPlotCWin;

enum : int {
  kCentroidCurves = 295,
  kCentroidInequalities = 296,
  kCentroidLess = 770,       // "Ändere = zu <"
  kCentroidGreater = 771,    // "Ändere = zu >"
  kCentroidDelete = 52,      // "Löschen"
  kCentroidDeleteAll = 54,   // "Alles löschen"
  kCentroidCombined = 271,   // "Schnitt"
  kCentroidMean = 251,       // "Schwerpunkt"
  kCentroidHatch = 252,      // "Schraffur"
  kCentroidShowDarts = 272,  // "Punkte anzeigen"
  kCentroidCount = 212,
  kCentroidCountLabel = 232,
  kCentroidResult = 231,
  kCentroidNote = 233,       // a static shown with the centroid's controls
  kCentroidRun = 91,         // "Erzeuge"
  kCentroidColour = 211,     // "Farbe"
  kCentroidHelp = 354,       // "Hilfe"
};

class TCentroidDlg : public TDlg {
 public:
  explicit TCentroidDlg(TPlotCWin& window);

  const plat::CommandTable& Commands() const override;
  void SetupWindow() override;
  void CmOk() override {}
  void CmCancel() override;
  // Both lists from the inventory.
  void FillLists();

  // "Erzeuge": 0, or the message code shown.
  int CmRun();
  const TPoint2D& Centroid() const { return centroid_; }
  // With "Schwerpunkt" and "Punkte anzeigen" chosen, throws the darts into
  // the chosen region again onto the DC (a page or an export: on the
  // screen "Erzeuge" shows them).
  void DrawDarts(plat::DC& dc);

 private:
  // The equation of the chosen line of a list: the only line, or the
  // selection; -1 with the message code in `code`.
  int ChosenEquation(int list, const std::vector<int>& map, int& code) const;
  void SetSign(int sign);
  void CmLess() { SetSign(1); }
  void CmGreater() { SetSign(-1); }
  void CmDelete();
  void CmDeleteAll();
  void CmMode(int id);
  void CmColour();
  void CmHelp();
  void OnRun() { CmRun(); }
  void ShowCentroidControls();
  void Changed();

  TPlotCWin& plot_;
  std::vector<int> curves_;
  std::vector<int> inequalities_;
  std::uint8_t colourChanged_ = 0;
  TPoint2D centroid_;
};

}  // namespace kv
