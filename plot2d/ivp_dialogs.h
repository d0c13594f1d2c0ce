// The initial-value dialogs of the 2D window: the dy/dx dialog (IVP11) here;
// the dy/dt (IVP10) and sequence (IVP12) dialogs are shared with the 3D
// window.  Each draws its solutions from the start values of its edits
// (or, through the window, from a click in the trajectory mouse mode).
#pragma once

#include "core/vector2d.h"
#include "entry/ivp_dialog.h"
#include "entry/trajectory_dialogs.h"

namespace kv {

class TPlotCWin;

class TIvp11Dlg : public TIvpDlg {
 public:
  TIvp11Dlg(TPlotCWin& window, std::int16_t* openIndex);

  void SetupControls() override;
  using TIvpDlg::ShowItem;
  void ShowItem() override;
  void Draw(bool follow) override;
  void OpenItemTable() override;
  // x0 and y0 of the edits through the window's number reader: 0, or the
  // message number less 400 (shown).
  int ReadStartValues(TPoint2D& start);
  // The step size and method of the edits: 0, or the message number less
  // 400 (shown).
  int ReadStepSettings(long double& h, int& method);
  // A solution from the point (values) with the dialog's settings; 0, the
  // stop key, or the code of a bad setting.
  int DrawFrom(const TPoint2D& start, bool follow);

 private:
  TPlotCWin& plot_;
};

}  // namespace kv
