#include "graphics/text_dialog.h"

#include <string>

#include "graphics/label_geometry.h"
#include "graphics/zor_wint.h"
#include "platform/app.h"
#include "platform/common_dialogs.h"
#include "platform/resources.h"
#include "core/number_text.h"
#include "core/text_encoding.h"
#include "shell/generic_dialogs.h"
#include "shell/text_helpers.h"

namespace kv {

namespace {

enum : int {
  kCmTermDelete = 52,
  kCmFont = 60,
  kEditText = 211,  // the text, or the first term
  kEditHyphen = 213,
  kEditAngle = 214,
  kEditTerm2 = 220,
  kEditDecimals1 = 223,
  kRadioFrame = 251,
  kRadioFigure = 252,
  kRadioOther = 253,
  kCheckCover = 271,
  kCheckHyphen = 272,
  kCheckShow1 = 273,
  kListBinding = 299,
};

constexpr int kMaxLabelChars = 59;
constexpr int kMaxTermChars = 255;
constexpr int kLabelFontSlot = 4;

}  // namespace

TTextDlg::TTextDlg(TZORWint& window, TTextLabel& label, TTermBlock* block)
    : TDlg(&window, block ? "NEWTEXT1" : "NEWTEXT"), window_(window), label_(label), block_(block) {}

const plat::CommandTable& TTextDlg::Commands() const {
  static const auto table = plat::CommandTable::Build<TTextDlg>(&TDlg::Commands(), {
                                                                    {kCmTermDelete, &TTextDlg::CmDelete},
                                                                    {kCmFont, &TTextDlg::CmFont},
                                                                });
  return table;
}

void TTextDlg::SetupWindow() {
  TDlg::SetupWindow();
  // The label dialog opens in the right half of the screen, a little below
  // a window's menu, at one of six heights.
  MoveTo(plat::ScreenCaps().horzRes / 2, plat::Window::CaptionAndMenuHeight() + 10 * (plat::Rand() % 6));
  LimitText(kEditText, block_ ? kMaxTermChars : kMaxLabelChars);
  SetItemText(kEditText, label_.text);
  SetItemText(kEditHyphen, "150");
  SetItemText(kEditAngle, std::to_string(RoundToInt(label_.font.escapement * 0.1L)));
  SetCheck(kCheckHyphen, false);
  SetCheck(kCheckCover, label_.transparent == 0);
  SetCheck(kRadioFrame, label_.binding < kBindFigure);
  SetCheck(kRadioFigure, label_.binding == kBindFigure);
  SetCheck(kRadioOther, label_.binding >= 0);
  if (!window_.HasBindingList) {
    ShowItem(kListBinding, false);
    ShowItem(kRadioOther, false);
  } else {
    window_.FillBindingList(*this, kListBinding, label_.binding);
  }
  if (!block_) return;
  for (int k = 0; k < kTermStrings; ++k) {
    const int id = k == 0 ? kEditText : kEditTerm2 + k - 1;
    LimitText(id, kMaxTermChars);
    SetItemText(id, block_->terms[static_cast<std::size_t>(k)]);
  }
  for (int k = 0; k < 3; ++k)
    SetItemText(kEditDecimals1 + k, std::to_string(block_->decimals[static_cast<std::size_t>(k)]));
  for (int k = 0; k < 5; ++k) SetCheck(kCheckShow1 + k, block_->show[static_cast<std::size_t>(k)] != 0);
}

void TTextDlg::CmDelete() {
  // An empty text with nothing shown: the caller deletes the label.
  SetCheck(kRadioOther, false);
  SetItemText(kEditText, "");
  for (int k = 0; k < 5; ++k) SetCheck(kCheckShow1 + k, false);
  CmOk();
}

void TTextDlg::CmFont() {
  plat::FontChoice choice;
  choice.font = label_.font;
  choice.colour = label_.colour;
  choice.pointSizeTenths = label_.pointSize * 10;
  const std::string caption = TruncateChars(plat::res::String(window_.FontCaptionIds[kLabelFontSlot]), 255);
  if (!plat::ChooseFont(this, choice, true, caption)) return;
  label_.font = choice.font;
  label_.font.faceName.back() = '\0';
  label_.pointSize = static_cast<std::int16_t>(choice.pointSizeTenths / 10);
  label_.colour = choice.colour;
  window_.RedrawPlacedObjects();
}

bool TTextDlg::ReadBinding(std::int16_t& binding) {
  binding = kBindFigure;
  if (IsChecked(kRadioFrame)) binding = kBindFrame;
  if (!window_.HasBindingList || !IsChecked(kRadioOther)) return true;
  // A list of one row counts as chosen.
  const int rows = ListCount(kListBinding);
  const int row = rows == 1 ? 0 : ListGetSel(kListBinding);
  if (row < 0 || row >= rows || static_cast<std::size_t>(row) >= window_.BindingCodes.size()) return false;
  binding = window_.BindingCodes[static_cast<std::size_t>(row)];
  return true;
}

bool TTextDlg::CanClose() {
  std::string text = TruncateChars(GetItemText(kEditText), kMaxLabelChars);
  std::int16_t binding = kBindFigure;
  if (!ReadBinding(binding)) return false;
  if (IsChecked(kCheckHyphen)) {
    const std::int32_t code = ParseInt(GetItemText(kEditHyphen));
    if (code >= 1 && code <= 255) {
      std::string hyphen;
      AppendUtf8(hyphen, Cp1252ToUnicode(static_cast<unsigned char>(code)));
      std::string replaced;
      for (char c : text) replaced += c == '-' ? hyphen : std::string(1, c);
      text = std::move(replaced);
    }
  }
  label_.text = text;
  label_.transparent = IsChecked(kCheckCover) ? 0 : 1;
  label_.binding = binding;
  if (block_) {
    TTermBlock b = *block_;
    const std::int32_t code = ParseInt(GetItemText(kEditHyphen));
    if (IsChecked(kCheckHyphen) && code > 0 && code <= 255) b.hyphenChar = code;
    for (int k = 0; k < kTermStrings; ++k) {
      const int id = k == 0 ? kEditText : kEditTerm2 + k - 1;
      b.terms[static_cast<std::size_t>(k)] = TruncateChars(GetItemText(id), kMaxTermChars);
    }
    for (int k = 0; k < 5; ++k) b.show[static_cast<std::size_t>(k)] = IsChecked(kCheckShow1 + k) ? 1 : 0;
    b.shownCount = b.show[0] + b.show[1] + b.show[2];
    for (int k = 0; k < 3; ++k) {
      if (!b.show[static_cast<std::size_t>(k)]) continue;
      const std::int32_t d = ParseInt(GetItemText(kEditDecimals1 + k));
      if (d < 0 || d > 15) {
        window_.ShowMessageById(17);
        return false;
      }
      b.decimals[static_cast<std::size_t>(k)] = d;
    }
    *block_ = b;
    const int check = window_.StoreTermBlock(*block_, label_.termIndex, true);
    if (check < 0) return true;
    if (check > 0) {
      window_.ShowMessageById(check);
      return false;
    }
    label_.text.assign(1, 'X');
  }
  label_.visible = 1;
  label_.font.escapement = LabelAngleFromDegrees(ParseInt(GetItemText(kEditAngle)));
  return true;
}

}  // namespace kv
