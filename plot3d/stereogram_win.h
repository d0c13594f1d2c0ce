// The random-dot stereogram window beside the 3D window and its dialog
// "RDS Inventar" (template "RDS"): the chosen explicit and cylindrical
// surfaces of the 3D window as one stereogram.  The surfaces are the 3D
// window's entries (flag byte kindFlag marks the chosen ones); every
// repaint draws new random dots.
#pragma once

#include <string>
#include <vector>

#include "plot3d/model/stereogram.h"
#include "plot3d/plot_q_win.h"
#include "shell/dialog_base.h"

namespace kv {

class TPlotRWin;

enum : int {
  kCmStereogramHelp = 354,
  kCmStereogramClose = 357,
  kStereogramList = 293,
  kStereogramDensity = 211,
  kStereogramStrips = 212,
  kStereogramDotSize = 213,
  kStereogramDepth = 214,
  kStereogramDraw = 91,
};

inline constexpr const char* kSettingsFileStereogram = "rds.ini";

class TRDSWin : public TPlotQWin {
 public:
  TRDSWin(TPlotRWin* owner, const std::string& caption);
  const plat::CommandTable& Commands() const override;
  void SetupWindow() override;
  void EvClose() override { Hide(); }
  bool CanExportPictex() override { return false; }
  int DrawEquations(plat::DC& dc) override;

  // The settings and the layout of the last picture (valid when a picture
  // could be laid out).
  const TStereogramSettings& Settings() const { return settings_; }
  const TStereogramLayout& Layout() const { return layout_; }
  bool HasLayout() const { return hasLayout_; }
  // Seeds the dots (tests); 0 takes the program's random numbers.
  std::uint64_t seed = 0;

 private:
  void CmHelpStereogram();
  void CmCloseStereogram() { Hide(); }
  // Settings, box and layout for the client; false when nothing fits.
  bool Setup();
  int DrawLayer(plat::DC& dc, int i, TRandomSource& random);

  TPlotRWin* owner_;
  TStereogramSettings settings_;
  TStereogramLayout layout_;
  bool hasLayout_ = false;
};

class TRDSDlg : public TDlg {
 public:
  TRDSDlg(TPlotRWin* window, const std::string& templateName);
  void SetupWindow() override;
  const plat::CommandTable& Commands() const override;
  void CmOk() override {}
  void CmCancel() override { Hide(); }
  // Reads the four settings into the 3D window: 0, or the code of the first
  // field that failed (17 "jenseits der Grenzen", 14 "positiver Wert?", a
  // reader's code).
  int ReadSettings();
  // "Zeichnen": the chosen surfaces into the stereogram window.
  void CmDraw();
  // Fills the list with the explicit and cylindrical surfaces.
  void FillList();

 private:
  TPlotRWin* window_;
  std::vector<int> rows_;  // row -> inventory index
};

}  // namespace kv
