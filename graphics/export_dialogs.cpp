#include "graphics/export_dialogs.h"

#include <cmath>

#include "platform/common_dialogs.h"
#include "platform/resources.h"
#include "shell/file_msg_win.h"
#include "shell/text_helpers.h"

namespace kv {

namespace {

constexpr int kFieldLimit = 20;

void Refuse(plat::Window* parent) {
  if (auto* w = dynamic_cast<TFileMsgWin*>(parent)) {
    w->ShowMessageById(17);  // "jenseits der Grenzen"
  } else {
    plat::MessageBox(parent, plat::res::String(417), "?");
  }
}

}  // namespace

TTeXDlg::TTeXDlg(plat::Window* parent, std::int32_t& mode, std::int32_t& boxNumber, long double& widthCm,
                 long double& spaceDistance)
    : TDlg(parent, "PICTEX"),
      mode_(mode),
      boxNumber_(boxNumber),
      widthCm_(widthCm),
      spaceDistance_(spaceDistance) {}

void TTeXDlg::SetupWindow() {
  TDlg::SetupWindow();
  for (int id : {211, 212, 213}) LimitText(id, kFieldLimit);
  SetItemText(212, std::to_string(boxNumber_));
  SetItemText(211, FormatNumber(widthCm_, 4, 2));
  if (spaceDistance_ < 0) {
    // No space distance asked: the field and its label are hidden.
    SetItemText(213, "0.0");
    ShowItem(213, false);
    ShowItem(231, false);
  } else {
    SetItemText(213, FormatNumber(spaceDistance_, 4, 2));
  }
  const int mode = (mode_ >= 0 && mode_ <= 3) ? mode_ : 0;
  for (int k = 0; k < 4; ++k) SetCheck(251 + k, k == mode);
}

bool TTeXDlg::CanClose() {
  // All four values go to the caller before the verdict, valid or not.
  mode_ = 0;
  for (int k = 0; k < 4; ++k)
    if (IsChecked(251 + k)) mode_ = k;
  boxNumber_ = ParseInt(GetItemText(212).substr(0, kFieldLimit));
  ParseLongDouble(widthCm_, GetItemText(211).substr(0, kFieldLimit));
  ParseLongDouble(spaceDistance_, GetItemText(213).substr(0, kFieldLimit));
  const bool boxOk = mode_ >= 2 || (boxNumber_ >= 0 && boxNumber_ <= 255);
  // An infinite width or distance ("inf") would make no picture.
  const bool widthOk = widthCm_ >= 0.1L && std::isfinite(widthCm_);
  const bool spaceOk = spaceDistance_ >= 0 && std::isfinite(spaceDistance_);
  if (!boxOk || !widthOk || !spaceOk) {
    Refuse(Parent());
    return false;
  }
  return TDlg::CanClose();
}

TSVGDlg::TSVGDlg(plat::Window* parent, std::int32_t& width, std::int32_t& height)
    : TDlg(parent, "SVG"), width_(width), height_(height) {}

void TSVGDlg::SetupWindow() {
  TDlg::SetupWindow();
  LimitText(211, kFieldLimit);
  LimitText(212, kFieldLimit);
  SetItemText(211, std::to_string(width_));
  SetItemText(212, std::to_string(height_));
}

bool TSVGDlg::CanClose() {
  // Each value goes to the caller before it is checked.
  width_ = ParseInt(GetItemText(211).substr(0, kFieldLimit));
  if (width_ < 10) {
    Refuse(Parent());
    return false;
  }
  height_ = ParseInt(GetItemText(212).substr(0, kFieldLimit));
  if (height_ < 10) {
    Refuse(Parent());
    return false;
  }
  return TDlg::CanClose();
}

}  // namespace kv
