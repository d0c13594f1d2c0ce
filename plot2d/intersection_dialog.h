// "Schnittpunkte": steps through the crossings of two curves of any pair of
// 2D kinds (function graphs, polar and parametric curves, implicit curves,
// segments and lines) with the angle between them; "Speichere" stores x, y
// or the angle in a parameter, "Punkt" adds the crossing as an entry.  Both
// curves get the crossing as a result.  Modeless, created once per window.
#pragma once

#include <cstdint>
#include <string>

#include "core/vector2d.h"
#include "entry/combo_dialog.h"
#include "plot2d/model/intersections.h"

namespace kv {

class TPlotCWin;

class TInterCCDlg : public T2ComboDlg {
 public:
  explicit TInterCCDlg(TPlotCWin& window);

  const plat::CommandTable& Commands() const override;
  void SetupControls() override;
  void SetupWindow() override;
  void SelectionChanged() override;
  void SecondSelectionChanged() override;
  void EvControl(int id, int notification) override;
  void Recalculate() override { CmNext(); }

  void FindNextIntersection();
  // 0 "nicht zu finden", 1 found, 10 "zu viele", 65 stopped.
  void ShowResult(int code);

  int LastResult() const { return lastResult_; }
  const TIntersection& Crossing() const { return crossing_; }
  bool Mark(TPoint2D& p) const;

 private:
  void CmNext();
  void CmDegrees();
  void CmStoreAs();
  void CmDrawPoint();
  void CeStoreAs(plat::CommandEnabler& ce);
  void CeDrawPoint(plat::CommandEnabler& ce);

  TPlotCWin& plot_;
  TIntersectionState state_;
  TIntersection crossing_;
  int lastResult_ = -1;
  int source_ = 0;  // 0 x, 1 y, 2 the angle
  int letter_ = 1;
  bool ready_ = false;
};

}  // namespace kv
