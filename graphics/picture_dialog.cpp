#include "graphics/picture_dialog.h"

#include "graphics/zor_winm.h"
#include "platform/window.h"
#include "shell/text_helpers.h"

namespace kv {

namespace {

enum : int {
  kEditWidth = 211,
  kEditHeight = 212,
  kCheckSize = 271,
  kCheckBind = 272,
  kCheckTransparent = 273,
  kListBinding = 299,
};

constexpr long double kCmPerInch = 2.54L;
constexpr long double kSmallestCm = 0.1L;

}  // namespace

TMetaDlg::TMetaDlg(TZORWinm& window, TPictureRecord& picture)
    : TDlg(&window, "METADLG"), window_(window), picture_(picture) {}

const plat::CommandTable& TMetaDlg::Commands() const {
  static const auto table = plat::CommandTable::Build<TMetaDlg>(
      &TDlg::Commands(), {
                             {kPictureCopy, kPictureCopy, &TMetaDlg::CmAction},
                             {kPictureCut, kPictureCut, &TMetaDlg::CmAction},
                             {kPictureDelete, kPictureDelete, &TMetaDlg::CmAction},
                         });
  return table;
}

void TMetaDlg::SetupWindow() {
  TDlg::SetupWindow();
  {
    plat::ClientDC dc(window_);
    dpi_ = dc.GetDeviceCaps(plat::LOGPIXELSX);
  }
  if (dpi_ <= 0) dpi_ = 96;
  widthCm_ = (window_.WorldToDeviceX(picture_.xmax) - window_.WorldToDeviceX(picture_.xmin)) * kCmPerInch / dpi_;
  heightCm_ = (window_.WorldToDeviceY(picture_.ymin) - window_.WorldToDeviceY(picture_.ymax)) * kCmPerInch / dpi_;
  LimitText(kEditWidth, 20);
  LimitText(kEditHeight, 20);
  SetItemText(kEditWidth, FormatNumber(widthCm_, 5, 2));
  SetItemText(kEditHeight, FormatNumber(heightCm_, 5, 2));
  SetCheck(kCheckSize, false);
  SetCheck(kCheckTransparent, picture_.transparent != 0);
  if (!window_.HasBindingList) {
    ShowItem(kListBinding, false);
    ShowItem(kCheckBind, false);
    return;
  }
  SetCheck(kCheckBind, picture_.binding >= 0);
  window_.FillBindingList(*this, kListBinding, picture_.binding);
}

void TMetaDlg::ReadFields() {
  valid_ = true;
  changed_ = false;
  const std::uint8_t transparent = IsChecked(kCheckTransparent) ? 1 : 0;
  if (transparent != picture_.transparent) changed_ = true;
  const bool resize = IsChecked(kCheckSize);
  long double xmax = picture_.xmax;
  long double ymin = picture_.ymin;
  if (resize) {
    long double w = 0;
    long double h = 0;
    if (!ParseLongDouble(w, GetItemText(kEditWidth)) || !ParseLongDouble(h, GetItemText(kEditHeight)) ||
        !(w >= kSmallestCm) || !(h >= kSmallestCm)) {
      valid_ = false;
    }
    xmax = picture_.xmin + (1 / kCmPerInch) * dpi_ * w * window_.UnitsPerPixelX;
    ymin = picture_.ymax - (1 / kCmPerInch) * dpi_ * h * window_.UnitsPerPixelY;
    if (!(xmax <= window_.World.xmax) || !(ymin >= window_.World.ymin)) valid_ = false;
    changed_ = true;
  }
  std::int32_t binding = -1;
  if (window_.HasBindingList && IsChecked(kCheckBind)) {
    // A list of one row counts as chosen.
    const int rows = ListCount(kListBinding);
    const int row = rows == 1 ? 0 : ListGetSel(kListBinding);
    if (row >= 0 && row < rows && static_cast<std::size_t>(row) < window_.BindingCodes.size())
      binding = window_.BindingCodes[static_cast<std::size_t>(row)];
  }
  if (binding != picture_.binding) changed_ = true;
  if (!changed_ || !valid_) return;
  picture_.transparent = transparent;
  if (resize) {
    picture_.xmax = xmax;
    picture_.ymin = ymin;
  }
  picture_.binding = binding;
}

bool TMetaDlg::CanClose() {
  if (action_ != kPictureApply) return true;
  ReadFields();
  if (!valid_) {
    window_.ShowMessageById(6);
    return false;
  }
  return true;
}

void TMetaDlg::CmAction(int id) {
  action_ = id;
  valid_ = true;
  CmOk();
}

}  // namespace kv
