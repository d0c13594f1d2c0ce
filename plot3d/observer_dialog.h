// The observer dialog "SETOBS": the observer's position typed in Cartesian
// or spherical coordinates (angles in radians or degrees) and applied with
// "Anwenden".  It lives as long as its window and is only shown and hidden.
#pragma once

#include "plotcore/model/view3d.h"
#include "shell/dialog_base.h"

namespace kv {

class TPlotRWin;

enum : int {
  kObsSpherical = 271,  // "Kugelkoord."
  kObsDegrees = 272,    // "Gradmaß"
  kObsApply = 91,       // "Anwenden"
};

// The observer in spherical coordinates (rho, theta, phi): theta the polar
// angle of (x, y) in (-π, π], phi the angle from the z axis (π for rho 0
// unless z > 0).
TPoint3D ObserverToSpherical(const TPoint3D& e);

class TObsDlg : public TDlg {
 public:
  TObsDlg(TPlotRWin* window, const std::string& templateName);
  void SetupWindow() override;
  const plat::CommandTable& Commands() const override;
  // Enter does nothing; "Schließen" hides the dialog.
  void CmOk() override {}
  void CmCancel() override { Hide(); }
  // Labels for the coordinate system (only while shown), then the values.
  void CmSpherical();
  void ShowObserver();
  // Reads the three fields and moves the observer there: 0, or the code of
  // the message that was shown (115 "zu nah", 118 "zu weit", a number
  // reader's code).
  int Apply();
  // Shows the dialog with fresh labels and values and brings it to the top.
  void Open();

 private:
  void CmDegrees() { ShowObserver(); }
  void CmApply() { Apply(); }
  TPlotRWin* window_;
};

}  // namespace kv
