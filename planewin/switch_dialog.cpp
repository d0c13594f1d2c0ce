#include "planewin/switch_dialog.h"

#include "planewin/quiz_win.h"
#include "shell/text_helpers.h"

namespace kv {

namespace {
constexpr int kDegreeChars = 8;
}

TSwitchDlg::TSwitchDlg(TPlotGWin* window, const std::string& templateName)
    : TDlg(window, templateName), window_(window) {}

void TSwitchDlg::SetupWindow() {
  TDlg::SetupWindow();
  for (int i = 0; i < quiz::kFlagCount; ++i)
    SetCheck(kSwitchFirstBox + i, window_->Types.enabled[static_cast<std::size_t>(i)]);
  LimitText(kSwitchMinDegree, kDegreeChars);
  LimitText(kSwitchMaxDegree, kDegreeChars);
  SetItemText(kSwitchMinDegree, std::to_string(window_->Types.minDegree));
  SetItemText(kSwitchMaxDegree, std::to_string(window_->Types.maxDegree));
}

bool TSwitchDlg::CanClose() {
  for (int i = 0; i < quiz::kFlagCount; ++i)
    window_->Types.enabled[static_cast<std::size_t>(i)] = IsChecked(kSwitchFirstBox + i);
  const int low = ParseInt(GetItemText(kSwitchMinDegree));
  const int high = ParseInt(GetItemText(kSwitchMaxDegree));
  if (low < quiz::kMinDegree || high < low || high > quiz::kMaxDegree) {
    window_->ShowMessageById(17);
    return false;
  }
  window_->Types.minDegree = low;
  window_->Types.maxDegree = high;
  return TDlg::CanClose();
}

}  // namespace kv
