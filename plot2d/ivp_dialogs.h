// The initial-value dialogs of the 2D window: solutions of a dx/dt, dy/dt
// system (IVP10), of dy/dx = f(x, y) (IVP11) and recursive sequences
// (IVP12).  Each draws its solutions from the start values of its edits
// (or, through the window, from a click in the trajectory mouse mode).
#pragma once

#include "core/vector2d.h"
#include "entry/ivp_dialog.h"

namespace kv {

class TPlotCWin;

class TIvp10Dlg : public TIvpDlg {
 public:
  TIvp10Dlg(TPlotCWin& window, std::int16_t* openIndex);

  const plat::CommandTable& Commands() const override;
  void SetupControls() override;
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
  TPlotCWin& plot_;
};

class TIvp11Dlg : public TIvpDlg {
 public:
  TIvp11Dlg(TPlotCWin& window, std::int16_t* openIndex);

  void SetupControls() override;
  using TIvpDlg::ShowItem;
  void ShowItem() override;
  void Draw(bool follow) override;
  void OpenItemTable() override;
  // The step size and method of the edits: 0, or the message number less
  // 400 (shown).
  int ReadStepSettings(long double& h, int& method);
  // A solution from the point (values) with the dialog's settings; 0, the
  // stop key, or the code of a bad setting.
  int DrawFrom(const TPoint2D& start, bool follow);

 protected:
  // The dy/dx drawer maps its start values itself.
  bool ItemsKeepAxisCoordinates() const override;

 private:
  TPlotCWin& plot_;
};

class TIvp12Dlg : public TIvpDlg {
 public:
  TIvp12Dlg(TPlotCWin& window, std::int16_t* openIndex);

  using TIvpDlg::ShowItem;
  void ShowItem() override;
  void Draw(bool follow) override;
  // The number of terms of edit 221 less one (the iterations), or -1 after
  // message 417.
  long ReadCount();
  // A sequence from the point with the dialog's settings; 0 or a code.
  int DrawFrom(const TPoint3D& start, long count);

 private:
  TPlotCWin& plot_;
};

}  // namespace kv
