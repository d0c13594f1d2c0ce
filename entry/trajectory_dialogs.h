// The dy/dt trajectory dialog and the sequence dialog, shared by the 2D
// window (entries dx/dt, dy/dt and x(n+1), y(n+1)) and the 3D window (the
// same with z).  Each draws its solutions from the start values of its edits
// (or, through the window, from a click in the trajectory mouse mode).
#pragma once

#include "entry/ivp_dialog.h"
#include "plotcore/model/equation.h"

namespace kv {

class TIvp10Dlg : public TIvpDlg {
 public:
  TIvp10Dlg(TPlot1Win& window, std::int16_t* openIndex, int kind = kKindOde);

  const plat::CommandTable& Commands() const override;
  void SetupControls() override;
  // Another equation chosen: the trace dialogs follow its solutions.
  void SelectionChanged() override;
  void Draw(bool follow) override;
  // 1 "vor", -1 "rück", 0 "beides".
  int GetDirection() const;
  // t0 (edit 216) and the step limit of the duration (edit 217 behind
  // "Dauer begrenzen auf"; -1 without a limit): 0, or the message number
  // less 400 (shown).
  int ReadRunSettings(long double& t0, long double& steps);
  // A click's solution from the point (axis coordinates of the window) at
  // the t of the edit; 0 or the stop key.
  int DrawFrom(const TPoint3D& start, long double t0, long double steps);

 private:
  void CmEndPoint();
  void CeEndPoint(plat::CommandEnabler& ce) { ce.Enable(CurrentPosition() >= 0); }
  TPlot1Win& plot_;
};

class TIvp12Dlg : public TIvpDlg {
 public:
  TIvp12Dlg(TPlot1Win& window, std::int16_t* openIndex, int kind = kKindSequence);

  using TIvpDlg::ShowItem;
  void ShowItem() override;
  void Draw(bool follow) override;
  // The number of terms of edit 221 less one (the iterations), or -1 after
  // message 417.
  long ReadCount();
  // A sequence from the point with the dialog's settings; 0 or a code.
  int DrawFrom(const TPoint3D& start, long count);

 private:
  TPlot1Win& plot_;
};

}  // namespace kv
