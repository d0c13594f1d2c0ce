// "Kurvenintegral" and "Flächenintegral" (template "RIEM4"): the line
// integral of a vector field along a path and the flux of a 3D field
// through a parametric surface.  Combo 295 lists the fields (210 in 2D, 310
// in 3D), combo 296 the paths (203, 304) or surfaces (303).  The limits
// live in the window, so that they outlast the dialog; "Wert =" shows the
// value and attaches it to both entries as a result.
#pragma once

#include "entry/combo_dialog.h"
#include "entry/model/field_integrals.h"

namespace kv {

class TPlot11Win;

enum : int {
  kFieldTLower = 211,
  kFieldTUpper = 212,
  kFieldTParts = 213,
  kFieldULower = 214,
  kFieldUUpper = 215,
  kFieldUParts = 216,
  kFieldValue = 235,
  kFieldCompute = 761,  // "Wert ="
};

// Result codes: 53 to 56 belong to the other integral tools.
inline constexpr int kResultLineIntegral = 57;
inline constexpr int kResultFluxIntegral = 58;

class TLineDlg : public T2ComboDlg {
 public:
  TLineDlg(TPlot11Win& window, const std::string& templateName, std::initializer_list<int> fields,
           std::initializer_list<int> paths);
  const plat::CommandTable& Commands() const override;
  void SetupControls() override;
  // Enter computes like "Wert =".
  void Recalculate() override { CmCompute(); }

  // Reads the limits into the window: 0, or the code (nothing stored).
  virtual int ReadInputs();
  // The integral over the chosen pair: 0 with the value, or a code.
  virtual int Integrate(long double& result, bool& gaps);
  // The result record on the field and on the path.
  void StoreResults();
  void CmCompute();

  long double Value() const { return value_; }

 protected:
  // Reads one row of limits (t or u); 0 or the code.
  int ReadRange(int lowerId, int upperId, int partsId, TSimpsonRange& r);
  void ShowRange(int lowerId, int upperId, int partsId, const TSimpsonRange& r);
  TPlot11Win& plot_;
  int captionId_;
  int resultCode_;
  long double value_ = 0;
};

class TFluxDlg : public TLineDlg {
 public:
  TFluxDlg(TPlot11Win& window, const std::string& templateName);
  void SetupControls() override;
  int ReadInputs() override;
  int Integrate(long double& result, bool& gaps) override;
};

}  // namespace kv
