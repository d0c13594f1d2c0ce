#include "graphics/grid_win.h"

#include "graphics/grid_dialog.h"
#include "graphics/view_dialog.h"

namespace kv {

TGridWin::TGridWin(plat::Window* parent, const std::string& title) : TZORWing(parent, title) {}

TGridWin::~TGridWin() = default;

const plat::CommandTable& TGridWin::Commands() const {
  static const auto table = plat::CommandTable::Build<TGridWin>(
      &TZORWing::Commands(), {
                                 {kCmResetView, &TGridWin::CmResetView},
                                 {kCmViewDialog, &TGridWin::CmViewDialog},
                                 {kCmZoomOut, &TGridWin::CmZoomOut},
                                 {kCmZoomIn, &TGridWin::CmZoomIn},
                                 {kCmPreviousView, &TGridWin::CmPreviousView, &TGridWin::CePreviousView},
                                 {kCmEqualScale, &TGridWin::CmEqualScale, &TGridWin::CeEqualScale},
                                 {kCmGridDialog, &TGridWin::CmGridDialog},
                             });
  return table;
}

void TGridWin::Destroy() {
  if (gridDialog_) {
    if (!gridDialog_->IsDestroyed()) gridDialog_->EndDialog(2);
    gridDialog_.reset();
  }
  if (viewDialog_) {
    if (!viewDialog_->IsDestroyed()) viewDialog_->EndDialog(2);
    viewDialog_.reset();
  }
  TZORWing::Destroy();
}

void TGridWin::UpdateView() {
  TZORWing::UpdateView();
  if (viewDialog_ && viewDialog_->IsCreated() && !viewDialog_->IsHidden()) viewDialog_->RefreshFields(false);
}

std::int16_t TGridWin::AutoTickSpacing(TTickRange& range) {
  bool changed = false;
  const std::int16_t result = ComputeTickSpacing(*this, *this, ClientWidth / 8, ClientHeight / 8, range, changed);
  if (changed) RefreshGridDialogNumbers();
  return result;
}

void TGridWin::RefreshGridDialogNumbers() {
  if (gridDialog_ && gridDialog_->IsCreated()) gridDialog_->WriteNumbers();
}

void TGridWin::GridDialog() {
  if (!gridDialog_) {
    gridDialog_ = std::make_unique<TGridDlg>(*this, GridTemplate);
    gridDialog_->Create();
  }
  gridDialog_->ShowAgain();
}

void TGridWin::ShowViewDialog() {
  if (!viewDialog_) {
    viewDialog_ = std::make_unique<TViewDlg>(*this, ViewTemplate);
    viewDialog_->Create();
  }
  viewDialog_->ShowAgain();
  viewDialog_->RefreshFields(true);
}

void TGridWin::ResetView() {
  ViewHistory(0);
  Centre = {0, 0};
  HalfX = 5.0L;
  HalfY = 5.0L;
  Aspect = 1.0L;
  ViewMode = 0;
  UpdateView();
  TickIntervalX = 1.0L;
  TickIntervalY = 1.0L;
  LabelFrequencyX = 1;
  LabelFrequencyY = 1;
  RefreshGridDialogNumbers();
  TickNoticeState = 0;
}

void TGridWin::CmResetView() {
  ResetView();
  InvalidateBackBuffer(PaintBufferIndex);
  RedrawAfterViewChange(false);
}

void TGridWin::CmEqualScale() {
  if (ViewMode != 1) return;
  const long double upx = UnitsPerPixelX;
  const long double upy = UnitsPerPixelY;
  // The larger scale for both axes: the old rectangle stays inside the new.
  const long double r = (upx <= upy && upx > 0) ? upy / upx : 1;
  Aspect = 1.0L;
  ChangeView(Centre.x, Centre.y, HalfX * r);
}

}  // namespace kv
