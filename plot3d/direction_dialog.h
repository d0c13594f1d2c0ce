// The direction dialog of the level window ("Richtung (Theta)", template
// "SPARAM"): an angle typed or set with a scroll bar that runs once round
// the circle.  The scroll bar (TCycleBar) turns its position into the angle
// and tells the level window.
#pragma once

#include "shell/dialog_base.h"

namespace kv {

class TLevelWin;

enum : int {
  kDirectionAngleEdit = 211,
  kDirectionScroll = 295,
};

// A scroll bar of a dialog that drives an angle: position p of N steps is
// the angle 2π p / N.  While either suppress flag is set a position change
// does not touch the angle (the dialog sets positions itself).
class TCycleBar {
 public:
  TCycleBar(plat::Dialog& dialog, int id, TLevelWin& window, long double& value, int staticId);
  // Sets the position; unless suppressed the angle follows and the window
  // hears of it.  The value is shown in the static in every case.
  void SetPosition(int position);
  void ShowValue();
  int Id() const { return id_; }
  bool suppressFirst = true;
  bool suppressSecond = false;

 private:
  plat::Dialog& dialog_;
  int id_;
  TLevelWin& window_;
  long double& value_;
  int staticId_;
};

class TPctDlg : public TDlg {
 public:
  TPctDlg(TLevelWin* window, const std::string& templateName, long double& angle);
  void SetupWindow() override;
  // Enter reads a typed angle (formulas allowed), brought into [0, 2π).
  void CmOk() override;
  void CmCancel() override { Hide(); }
  void EvControl(int id, int notification) override;
  // Range 0..N, the window's page step and the position of the angle
  // (without feedback).
  void SetupScrollRange();
  void SyncScrollPosition();
  TCycleBar& Bar() { return bar_; }

 private:
  TLevelWin* window_;
  long double& angle_;
  TCycleBar bar_;
};

}  // namespace kv
