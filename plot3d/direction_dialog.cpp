#include "plot3d/direction_dialog.h"

#include <cmath>

#include "platform/resources.h"
#include "plot3d/level_win.h"
#include "plot3d/model/level_curves.h"
#include "shell/text_helpers.h"

namespace kv {

namespace {

constexpr int kStrDirection = 354;  // "Richtung"
constexpr int kStrTheta = 278;      // "Theta"
// What the template holds for other uses of the slider dialog.
constexpr int kHiddenControls[] = {212, 271, 804, 805, 738, 740, 2, 7};

}  // namespace

// ---- the cycle bar ----

TCycleBar::TCycleBar(plat::Dialog& dialog, int id, TLevelWin& window, long double& value, int staticId)
    : dialog_(dialog), id_(id), window_(window), value_(value), staticId_(staticId) {}

void TCycleBar::SetPosition(int position) {
  if (dialog_.IsCreated()) dialog_.SetScrollPos(id_, position);
  if (!suppressFirst && !suppressSecond) {
    value_ = AngleOfSliderPosition(position, window_.AngleSteps());
    window_.DirectionAngleChanged();
  }
  ShowValue();
  if (dialog_.IsCreated() && dialog_.IsVisible()) dialog_.SetFocus();
}

void TCycleBar::ShowValue() {
  if (!dialog_.IsCreated()) return;
  const int d = window_.Decimals;
  dialog_.SetItemText(staticId_, FormatNumber(value_, d + 2, d));
}

// ---- the dialog ----

TPctDlg::TPctDlg(TLevelWin* window, const std::string& templateName, long double& angle)
    : TDlg(window, templateName), window_(window), angle_(angle), bar_(*this, kDirectionScroll, *window, angle,
                                                                        kDirectionAngleEdit) {}

void TPctDlg::SetupWindow() {
  TDlg::SetupWindow();
  SetupScrollRange();
  SetCaption(plat::res::String(kStrDirection) + " (" + plat::res::String(kStrTheta) + ")");
  bar_.suppressFirst = false;
  for (int id : kHiddenControls)
    if (HasItem(id)) ShowItem(id, false);
  bar_.ShowValue();
}

void TPctDlg::SetupScrollRange() {
  if (!IsCreated()) return;
  SetScrollRange(kDirectionScroll, 0, window_->AngleSteps());
  SetScrollPage(kDirectionScroll, window_->AnglePageSteps());
  SyncScrollPosition();
}

void TPctDlg::SyncScrollPosition() {
  if (!IsCreated()) return;
  // Setting the position here must not feed back into the angle.
  const bool saved = bar_.suppressSecond;
  bar_.suppressSecond = true;
  bar_.SetPosition(AngleSliderPosition(angle_, window_->AngleSteps()));
  bar_.suppressSecond = saved;
}

void TPctDlg::EvControl(int id, int notification) {
  if (id == kDirectionScroll && notification == plat::SB_CHANGED) {
    bar_.SetPosition(GetScrollPos(kDirectionScroll));
    return;
  }
  TDlg::EvControl(id, notification);
}

void TPctDlg::CmOk() {
  std::string text = GetItemText(kDirectionAngleEdit);
  if (text.size() > 255) text.resize(255);
  long double theta = 0;
  if (window_->TextToValue(text, theta) != 0 || !std::isfinite(theta)) {
    window_->ShowMessageById(1);  // "unverständlich"
    return;
  }
  angle_ = ReduceAngle(theta);
  SyncScrollPosition();
  window_->DirectionAngleChanged();
  SetItemText(kDirectionAngleEdit, text);
}

}  // namespace kv
