// "Punkte": many point entries at once, either from coordinate formulas in
// a running letter (N from 1 to 10, say) or from numbers pasted from the
// clipboard.  The dialog fills a prototype point and hands it to the
// window's point operations.
#pragma once

#include <cstdint>

#include "plotcore/model/equation.h"
#include "shell/dialog_base.h"

namespace kv {

class TPlot11Win;

enum : int {
  kManyFilled = 251,     // "Gefüllt"
  kManyCircle = 252,     // "Kreis"
  kManyCartesian = 253,  // "(x;y)" / "Kartesisch"
  kManyPolar = 254,      // "(r;t)" / "Zylinderkoord"
  kManySpherical = 255,  // "Kugelkoord" (3D)
  kManyFormulas = 256,   // "Einfügen"
  kManyClipboard = 257,  // "von Ablage"
  kManySize = 211,
  kManyFirstText = 212,  // 212..214 the coordinates
  kManyFrom = 215,
  kManyTo = 216,
  kManyRoles = 217,
  kManyAnchor = 271,     // "Anker"
  kManyLetter = 295,
  kManyColour = 208,     // "Farbe"
  kManyShow = 91,        // "Zeigen"
  kManyFirstLabel = 281,
};

class TManyPtDlg : public TDlg {
 public:
  explicit TManyPtDlg(TPlot11Win& window);

  const plat::CommandTable& Commands() const override;
  void SetupWindow() override;
  // Enter shows the points; "Schließen" hides the dialog.
  void CmOk() override { CmShow(); }
  void CmCancel() override;

  // "Zeigen": 0, or the code of the message shown.
  int CmShow();
  const TEquation& Prototype() const { return prototype_; }

 private:
  void OnShow() { CmShow(); }
  void OnSystem(int id);
  void CmColour();
  void ShowCoordinateLabels();
  int ReadFields();

  TPlot11Win& plot_;
  TEquation prototype_;
  std::int16_t colour_ = 1;
  std::uint8_t colourChosen_ = 0;
};

}  // namespace kv
