// "Schnittkurve für" (template "EQUA317"): the two surfaces whose
// intersection curve the 3D window makes.  Both lists offer every explicit,
// parametric and implicit surface and every plane; OK orders the pair and
// gives its derivation code.
#pragma once

#include <vector>

#include "plot3d/model/intersection_curve.h"
#include "shell/dialog_base.h"

namespace kv {

class TPlotRWin;

enum : int {
  kSurfaceListFirst = 295,
  kSurfaceListSecond = 296,
};

class TSurfSelDlg : public TDlg {
 public:
  TSurfSelDlg(TPlotRWin* window, const std::string& templateName, TSurfacePair& result);
  void SetupWindow() override;
  // Refuses the same surface twice (23 "zwei aussuchen") and two implicit
  // or two parametric surfaces (1 "unverständlich"), and a list without an
  // entry; the dialog stays open then.
  void CmOk() override;

 private:
  TPlotRWin* window_;
  TSurfacePair& result_;
  std::vector<int> map_;  // list row -> inventory index
};

}  // namespace kv
