// The modeless grid and axes dialog "Gitter" (template "SETGRID"): axes,
// ticks, numbers, labels and grid of its window.  "Anwenden" (91) applies,
// "Schließen" (2) hides.  Values outside their ranges are ignored silently;
// the next write-back shows the setting that stayed.
#pragma once

#include <string>

#include "shell/dialog_base.h"

namespace kv {

class TGridWin;

// Ids of the dialog's statics that the code hides per axis kind.
enum : int {
  kGridStaticTickLength = 301,
  kGridStaticQuadrants = 302,
  kGridStaticScaleAt = 303,
  kGridStaticInterval = 304,
  kGridStaticDecimals = 305,
  kGridStaticPi = 306,
  kGridStaticGroup = 311,
};

class TGridDlg : public TDlg {
 public:
  TGridDlg(TGridWin& window, const std::string& templateName, TDialogPosition* position = nullptr);

  void SetupWindow() override;
  const plat::CommandTable& Commands() const override;
  void CmOk() override { CmApply(); }
  void CmCancel() override { CmClose(); }

  // Button 1: the template has none; nothing happens.
  virtual void CmApply() {}
  virtual void CmClose() { Hide(); }

  void ShowAgain();
  // Command 91 "Anwenden": reads the settings, redraws the window when one
  // changed, and writes the intervals and frequencies back.
  void CmApplySettings();
  // Reads every control into the window; whether a redraw is needed.
  bool ReadSettings();
  // Intervals, frequencies and decimals of the window into their edits.
  void WriteNumbers();

 private:
  void WriteDecimals();
  void HideByAxisKind();
  TGridWin& window_;
  int screenWidth_ = 1024;
};

}  // namespace kv
