#include "entry/edit_coor_dialog.h"

#include "core/number_text.h"
#include "core/text_encoding.h"
#include "graphics/zor_wing.h"
#include "platform/resources.h"

namespace kv {

namespace {
constexpr int kIdX = 211;
constexpr int kIdY = 212;
constexpr int kIdDelete = 52;
constexpr int kStrCoordinates = 121;  // "Koordinaten"
constexpr int kFieldChars = 50;
}  // namespace

TEditCoorDlg::TEditCoorDlg(TZORWing& window, const std::string& templateName, TPoint2D& point, bool deletionAllowed,
                           bool mustBeInView)
    : TDlg(&window, templateName), window_(window), point_(point), deletionAllowed_(deletionAllowed),
      mustBeInView_(mustBeInView) {}

const plat::CommandTable& TEditCoorDlg::Commands() const {
  static const auto table =
      plat::CommandTable::Build<TEditCoorDlg>(&TDlg::Commands(), {{kIdDelete, &TEditCoorDlg::CmDelete}});
  return table;
}

void TEditCoorDlg::SetupWindow() {
  TDlg::SetupWindow();
  const int d = window_.Decimals;
  SetItemText(kIdX, FormatNumber(point_.x, d + 2, d));
  SetItemText(kIdY, FormatNumber(point_.y, d + 2, d));
  if (HasItem(kIdDelete)) EnableItem(kIdDelete, deletionAllowed_);
  SetCaption(TruncateChars(plat::res::String(kStrCoordinates), kFieldChars));
}

bool TEditCoorDlg::CanClose() {
  TPoint2D p;
  std::int32_t code = window_.TextToNumber(TruncateChars(GetItemText(kIdX), kFieldChars), p.x);
  if (code == 0) code = window_.TextToNumber(TruncateChars(GetItemText(kIdY), kFieldChars), p.y);
  if (code == 0 && mustBeInView_ && !window_.IsInView(p)) code = 17;  // "jenseits der Grenzen"
  if (code != 0) {
    window_.ShowMessageById(code);
    return false;
  }
  point_ = p;
  return true;
}

}  // namespace kv
