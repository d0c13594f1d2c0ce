// "DIST" ("Abstand"): the distance of two points of the inventory.  The
// window refreshes it when the points move.
#pragma once

#include <string>

#include "core/vector3d.h"
#include "entry/combo_dialog.h"

namespace kv {

enum : int {
  kIdDistanceButton = 91,
  kIdDistance = 231,
};

class TDistDlg : public T2ComboDlg {
 public:
  explicit TDistDlg(TPlot1Win& window);
  const plat::CommandTable& Commands() const override;
  void Recalculate() override { ShowDistance(); }
  // The distance in the window's number format, or "?" when a point cannot
  // be evaluated.
  void ShowDistance();
  std::string DistanceText();

 private:
  bool PointOf(int i, TPoint3D& point);
};

}  // namespace kv
