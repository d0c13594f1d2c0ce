#include "shell/dialog_base.h"

#include "platform/app.h"

namespace kv {

TDlg::TDlg(plat::Window* parent, const std::string& templateName, TDialogPosition* position)
    : plat::Dialog(parent, templateName), position_(position) {}

void TDlg::SetupWindow() {
  plat::Dialog::SetupWindow();
  if (position_ && position_->x >= 0 && position_->y >= 0) {
    MoveTo(position_->x, position_->y);
  } else {
    int r = plat::Rand();
    int r2 = plat::Rand();
    MoveTo(480 + r % 50, 300 + r2 % 50);
  }
}

void TDlg::Destroy() {
  if (position_ && !IsDestroyed()) {
    plat::Rect r = GetWindowRect();
    position_->x = r.left;
    position_->y = r.top;
  }
  plat::Dialog::Destroy();
}

void TDlg::Hide() {
  Show(plat::SW_HIDE);
  hidden_ = 1;
}

void TDlg::Reveal() {
  Show(plat::SW_SHOW);
  hidden_ = 0;
}

}  // namespace kv
