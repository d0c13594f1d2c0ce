// "ARCLEN" ("Bogenlänge"): the length of a curve between two parameter
// values with a number of support points.
#pragma once

#include "plot2d/pre_riemann_dialog.h"

namespace kv {

class TArcLenDlg : public TPreRiemDlg {
 public:
  explicit TArcLenDlg(TPlotAWin& window);
  void SetupWindow() override;
  int Compute() override;
};

}  // namespace kv
