// "Integration" (template "RIEM3"): the double integral of an explicit
// surface z = f(x, y) over a rectangle (mode 0, "&Integriere f(x,y) dxdy
// ...") or the area of an explicit or parametric surface over a rectangle
// of its parameters (mode 1, "&Flächeninhalt ...").  "Wert =" shows the
// value and attaches it to the surface as a result.
#pragma once

#include <array>
#include <cstdint>

#include "entry/combo_dialog.h"
#include "entry/model/field_integrals.h"

namespace kv {

class TPlotRWin;

enum : int {
  kRiem3FirstLower = 211,
  kRiem3FirstUpper = 212,
  kRiem3FirstParts = 213,
  kRiem3SecondLower = 214,
  kRiem3SecondUpper = 215,
  kRiem3SecondParts = 216,
  kRiem3Value = 231,
  kRiem3Compute = 91,  // "Wert ="
};

enum : int {
  kRiem3Integral = 0,
  kRiem3Area = 1,
};

// Result codes of the two modes.
inline constexpr int kResultDoubleIntegral = 54;
inline constexpr int kResultSurfaceArea = 56;

class TRiem3Dlg : public TComboDlg {
 public:
  TRiem3Dlg(TPlotRWin& window, const std::string& templateName, int mode);
  const plat::CommandTable& Commands() const override;
  void SetupControls() override;
  void SelectionChanged() override;
  // Enter does nothing; "Schließen" only hides.
  void CmOk() override {}
  void CmCancel() override { Hide(); }
  void RefreshPlot() override { Hide(); }

  // Reads the six fields: 0 with every value stored, else the code (message
  // shown, nothing stored).
  int ReadInputs();
  // "Wert =".
  void CmCompute();

  int Mode() const { return mode_; }
  long double Value() const { return value_; }
  const TSimpsonRange& First() const { return first_; }
  const TSimpsonRange& Second() const { return second_; }

 private:
  // The label of the mode: "Integrieren" or "Fläche".
  std::string ModeLabel() const;
  TPlotRWin& plot_;
  int mode_;
  TSimpsonRange first_{0, 1, 100};
  TSimpsonRange second_{0, 1, 100};
  long double value_ = 0;
};

}  // namespace kv
