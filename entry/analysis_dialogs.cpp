// The analysis layer's commands that open the point-list, point-set and
// combinations dialogs, and their clean-up.
#include "entry/combine_dialog.h"
#include "entry/plot11_win.h"
#include "entry/tool_dialog_slot.h"
#include "entry/point_list_dialog.h"
#include "entry/point_set_dialog.h"

namespace kv {

void TPlot11Win::CmPointList() { OpenToolDialog(pointListDialog_, *this); }

void TPlot11Win::CmPointSets() { OpenToolDialog(pointSetDialog_, *this); }

void TPlot11Win::CmCombinations() { OpenToolDialog(combineDialog_, *this); }

void TPlot11Win::DestroyAnalysisDialogs(bool all) {
  if (all) {
    CloseToolDialog(pointListDialog_);
    CloseToolDialog(pointSetDialog_);
    CloseToolDialog(combineDialog_);
    return;
  }
  if (!combineDialog_) return;
  bool keep;
  if (dimension == 3) {
    keep = FindVisibleOfKinds({kKindSurface, kKindCylinderSurface, kKindParametricSurface, kKindSpaceCurve, kKindPlane,
                               kKindSphericalSurface}) >= 0 &&
           FindVisibleOfKinds({kKindOde3D, kKindSequence3D}) >= 0;
  } else {
    keep = FindVisibleOfKinds({kKindExplicit, kKindPolar, kKindParametric}) >= 0;
  }
  if (!keep) CloseToolDialog(combineDialog_);
}

}  // namespace kv
