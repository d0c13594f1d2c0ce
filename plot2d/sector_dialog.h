// "AREA" ("Sektorfläche"): the area the radius vector from the origin
// sweeps along a curve between two parameter values.
#pragma once

#include "plot2d/pre_riemann_dialog.h"

namespace kv {

class TSectorDlg : public TPreRiemDlg {
 public:
  explicit TSectorDlg(TPlotAWin& window);
  void SetupWindow() override;
  int Compute() override;
};

}  // namespace kv
