#include "shell/print_format_dialogs.h"

#include <cmath>

#include "platform/dialog.h"
#include "shell/file_msg_win.h"
#include "shell/generic_dialogs.h"
#include "shell/text_helpers.h"

namespace kv {

namespace {

constexpr long double kCmPerInch = 2.54L;
// 1 / 2.54 as the program has always used it.
constexpr long double kInchPerCm = static_cast<long double>(0.39370078740157477);
constexpr long double kMinLength = 0.25L;
constexpr int kLengthChars = 18;

std::string Centimetres(long double inches) { return FormatNumber(std::fabs(inches) * kCmPerInch, 4, 2); }

long double InchesOf(const std::string& text) {
  long double v = 0;
  ParseLongDouble(v, TruncateChars(text, kLengthChars));
  return v * kInchPerCm;
}

}  // namespace

// ---- print area ----

TPrnSpecsDlg::TPrnSpecsDlg(TFileMsgWin* owner, const std::string& templateName)
    : TDlg(owner, templateName), owner_(owner) {}

void TPrnSpecsDlg::SetupWindow() {
  TDlg::SetupWindow();
  for (int id = 211; id <= 214; ++id) LimitText(id, kLengthChars);
  SetCheck(251, owner_->PrintWidth >= 0);
  SetCheck(252, owner_->PrintScale >= 0);
  SetItemText(211, Centimetres(owner_->PrintWidth));
  SetItemText(212, Centimetres(owner_->PrintScale));
  SetItemText(213, Centimetres(owner_->PrintLeft));
  SetItemText(214, Centimetres(owner_->PrintTop));
  SetCheck(271, owner_->PrintDrawFrame != 0);
  SetCheck(272, owner_->ColourPrinter != 0);
}

bool TPrnSpecsDlg::CanClose() {
  long double width = InchesOf(GetItemText(211));
  long double scale = InchesOf(GetItemText(212));
  long double left = InchesOf(GetItemText(213));
  long double top = InchesOf(GetItemText(214));
  // The negated comparisons also refuse a NaN.
  if (!(width >= kMinLength) || !(left >= kMinLength) || !(top >= kMinLength) || !(scale >= 1e-16L)) {
    ShowMessageById(this, 17);
    return false;
  }
  TPrintArea a;
  a.PrintLeft = left;
  a.PrintTop = top;
  if (IsChecked(251)) {
    a.PrintWidth = width;
    a.PrintScale = -scale;
  } else {
    a.PrintWidth = -width;
    a.PrintScale = scale;
  }
  a.DrawFrame = IsChecked(271) ? 1 : 0;
  a.ColourPrinter = IsChecked(272) ? 1 : 0;
  owner_->SetPrintArea(a);
  return TDlg::CanClose();
}

void TFileMsgWin::EditPrintArea() {
  TPrintArea kept = GetPrintArea();
  int number = PrintTemplate >= 0 && PrintTemplate <= 2 ? PrintTemplate : 1;
  TPrnSpecsDlg dlg(this, "PRNSPX" + std::to_string(number));
  if (dlg.Execute() == plat::IDOK) {
    if (SettingsMarkModified) Modified = 1;
  } else {
    SetPrintArea(kept);
  }
}

// ---- number format ----

std::string NumberFormatTemplate(int formatKind) {
  switch (formatKind) {
    case 2: return "FW";
    case 3: return "FWDP";
    case 5: return "DPSN";
    case 15: return "FWDPSN";
    case 19: return "FWDPTAB";
    default: return "DP";
  }
}

TFWDlg::TFWDlg(TFileMsgWin* owner, const std::string& templateName) : TDlg(owner, templateName), owner_(owner) {}

bool TFWDlg::Offers(int bit, int id) const { return (owner_->FormatKind & bit) != 0 && HasItem(id); }

void TFWDlg::SetupWindow() {
  TDlg::SetupWindow();
  if (Offers(1, 211)) SetItemText(211, std::to_string(owner_->Decimals));
  if (Offers(2, 212)) SetItemText(212, std::to_string(owner_->FieldWidth));
  if (Offers(4, 271)) SetCheck(271, owner_->Scientific != 0);
  if (Offers(8, 272)) SetCheck(272, owner_->StarExponent != 0);
  if (Offers(16, 251)) {
    SetCheck(251, owner_->UseTabs == 0);
    SetCheck(252, owner_->UseTabs != 0);
  }
}

bool TFWDlg::CanClose() {
  const bool offersDecimals = Offers(1, 211);
  const bool offersWidth = Offers(2, 212);
  int decimals = owner_->Decimals;
  int width = owner_->FieldWidth;
  int code = 0;
  if (offersDecimals) {
    decimals = ParseInt(GetItemText(211));
    if (decimals < 0 || decimals > 15) code = 17;
  }
  if (code == 0 && offersWidth) {
    width = ParseInt(GetItemText(212));
    if (width < owner_->MinFieldWidth) code = 17;
    else if (offersDecimals && width < decimals + 2) code = 6;
  }
  if (code != 0) {
    ShowMessageById(this, code);
    return false;
  }
  std::uint8_t scientific = owner_->Scientific;
  std::uint8_t star = owner_->StarExponent;
  std::uint8_t tabs = owner_->UseTabs;
  if (Offers(4, 271)) scientific = IsChecked(271) ? 1 : 0;
  if (Offers(8, 272)) star = IsChecked(272) ? 1 : 0;
  if (Offers(16, 251)) tabs = IsChecked(252) ? 1 : 0;
  // The decimals come from the window when the dialog does not offer them;
  // they may lie outside 0..15 there, so the width is raised in 64 bits.
  long long w = width;
  if (w < static_cast<long long>(decimals) + 2) w = static_cast<long long>(decimals) + 2;
  if (scientific && w < static_cast<long long>(decimals) + 9) w = static_cast<long long>(decimals) + 9;
  if (w > 32767) w = 32767;
  owner_->Decimals = static_cast<std::int16_t>(decimals);
  owner_->FieldWidth = static_cast<std::int16_t>(w);
  owner_->Scientific = scientific;
  owner_->StarExponent = star;
  owner_->UseTabs = tabs;
  return TDlg::CanClose();
}

}  // namespace kv
