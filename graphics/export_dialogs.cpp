#include "graphics/export_dialogs.h"

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
  spaceHidden_ = spaceDistance_ < 0;
  if (spaceHidden_) {
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
  int mode = 0;
  for (int k = 0; k < 4; ++k)
    if (IsChecked(251 + k)) mode = k;
  const std::int32_t box = ParseInt(GetItemText(212).substr(0, kFieldLimit));
  long double width = 0;
  ParseLongDouble(width, GetItemText(211).substr(0, kFieldLimit));
  long double space = 0;
  ParseLongDouble(space, GetItemText(213).substr(0, kFieldLimit));
  const bool boxOk = mode >= 2 || (box >= 0 && box <= 255);
  if (!boxOk || !(width >= 0.1L) || !(space >= 0)) {
    Refuse(Parent());
    return false;
  }
  mode_ = mode;
  boxNumber_ = box;
  widthCm_ = width;
  // A hidden field keeps the caller's (negative) value.
  if (!spaceHidden_) spaceDistance_ = space;
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
  const std::int32_t w = ParseInt(GetItemText(211).substr(0, kFieldLimit));
  const std::int32_t h = ParseInt(GetItemText(212).substr(0, kFieldLimit));
  if (w < 10 || h < 10) {
    Refuse(Parent());
    return false;
  }
  width_ = w;
  height_ = h;
  return TDlg::CanClose();
}

}  // namespace kv
