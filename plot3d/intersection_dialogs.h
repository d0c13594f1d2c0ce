// The intersection dialogs of the 3D window.
//
// TIntSSDlg ("Schnittkurve für", template "INTERC"): the two surfaces of an
// intersection curve, its plane picture drawn ("Zeichnen") or searched
// ("Suchen") in the course window, and the pieces found, listed and deleted
// by the base.
#pragma once

#include "plot3d/ivp_dialog_3d.h"

namespace kv {

enum : int {
  kIntersectionFirstSource = 281,
  kIntersectionSecondSource = 282,
  kIntersectionDraw = 779,    // "Zeichnen"
  kIntersectionSearch = 353,  // "Suchen"
};

class TIntSSDlg : public T3DIvpDlg {
 public:
  TIntSSDlg(TPlotRWin* window, const std::string& templateName, int equation);
  void SetupWindow() override;
  const plat::CommandTable& Commands() const override;
  void Accept() override;
  void Revert() override;
  void DeleteSelected() override;
  void DeleteListed() override;
  // The sources' descriptions, the items, the colour of new pieces.
  void ShowSources();
  void CmSearch();
  void CmDraw();
};

}  // namespace kv
