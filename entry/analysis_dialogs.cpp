// The analysis layer's commands that open the point-list, point-set and
// combinations dialogs, and their clean-up.
#include "entry/combine_dialog.h"
#include "entry/plot11_win.h"
#include "entry/point_list_dialog.h"
#include "entry/point_set_dialog.h"

namespace kv {

namespace {

// Created on first use, then shown again and brought to the top.
template <class D>
void OpenToolDialog(std::unique_ptr<D>& slot, TPlot11Win& w) {
  if (slot && slot->IsDestroyed()) slot.reset();
  if (!slot) {
    slot = std::make_unique<D>(w);
    if (!slot->Create()) {
      slot.reset();
      return;
    }
  }
  slot->Reveal();
  slot->BringToTop();
}

template <class D>
void CloseToolDialog(std::unique_ptr<D>& slot) {
  if (slot && !slot->IsDestroyed()) slot->Destroy();
  slot.reset();
}

}  // namespace

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
