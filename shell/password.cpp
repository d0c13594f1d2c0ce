#include "shell/password.h"

#include "platform/common_dialogs.h"
#include "platform/dialog.h"
#include "platform/resources.h"
#include "core/binary_stream.h"
#include "shell/file_msg_win.h"
#include "shell/generic_dialogs.h"

namespace kv {

namespace {

constexpr int kEditLimit = 99;

std::string Clip(const std::string& s) { return TruncateChars(s, static_cast<int>(kProtectionTextMax)); }

}  // namespace

// ---- TPwdDlg ----

TPwdDlg::TPwdDlg(plat::Window* parent, TProtectionChoice& choice) : TDlg(parent, "SETPW"), choice_(choice) {}

const plat::CommandTable& TPwdDlg::Commands() const {
  static const auto table =
      plat::CommandTable::Build<TPwdDlg>(&TDlg::Commands(), {{kClearButton, &TPwdDlg::CmClear}});
  return table;
}

void TPwdDlg::SetupWindow() {
  TDlg::SetupWindow();
  for (int id = 211; id <= 216; ++id) LimitText(id, kEditLimit);
  SetItemText(211, "");
  SetItemText(212, "");
  SetItemText(213, TruncateChars(choice_.Author, kEditLimit));
  SetItemText(214, TruncateChars(choice_.Date, kEditLimit));
  SetItemText(215, TruncateChars(choice_.EMail, kEditLimit));
  SetItemText(216, TruncateChars(choice_.Homepage, kEditLimit));
  SetCheck(271, true);
  SetCheck(272, false);
  SetCheck(273, false);
  SetCheck(274, false);
}

bool TPwdDlg::CanClose() {
  std::string pw = TruncateChars(GetItemText(211), kEditLimit);
  std::string confirm = TruncateChars(GetItemText(212), kEditLimit);
  int error = 0;
  if (pw.empty() || confirm.empty()) {
    error = 9;
  } else if (pw != confirm) {
    error = 30;
    SetItemText(211, "");
    SetItemText(212, "");
  } else if (!IsStorablePassword(pw)) {
    // Such a password would no longer match once the file is read again.
    error = 17;
  }
  int mask = (IsChecked(271) ? kProtectSave : 0) + (IsChecked(272) ? kProtectInventory : 0) +
             (IsChecked(273) ? kProtectNotes : 0);
  if (error == 0 && mask == 0) error = 9;
  if (error != 0) {
    ShowMessageById(this, error);
    return false;
  }
  if (IsChecked(274)) mask += kShowCopyright;
  choice_.Mask = static_cast<std::int16_t>(mask);
  choice_.Password = pw;
  choice_.Author = TruncateChars(GetItemText(213), kEditLimit);
  choice_.Date = TruncateChars(GetItemText(214), kEditLimit);
  choice_.EMail = TruncateChars(GetItemText(215), kEditLimit);
  choice_.Homepage = TruncateChars(GetItemText(216), kEditLimit);
  return TDlg::CanClose();
}

void TPwdDlg::CmClear() { EndDialog(kClearButton); }

// ---- the window's protection ----

void TFileMsgWin::ClearProtection() {
  Password.clear();
  Author.clear();
  Date.clear();
  EMail.clear();
  Homepage.clear();
  ProtectionMask = 0;
  Unlocked = 1;
}

bool TFileMsgWin::CheckPassword(int bits) {
  if (Unlocked || ProtectionMask <= 0) return true;
  if ((ProtectionMask & bits) == 0) return true;
  std::string typed;
  TGenDlg dlg(this, "ASKPW", 100, &typed);
  if (dlg.Execute() != plat::IDOK) return false;
  if (!typed.empty() && typed == Password) {
    Unlocked = 1;
    return true;
  }
  ShowMessageById(27);
  return false;
}

void TFileMsgWin::CmPassword() {
  if (!CheckPassword(1023)) return;
  TProtectionChoice choice;
  choice.Author = Author;
  choice.Date = Date;
  choice.EMail = EMail;
  choice.Homepage = Homepage;
  TPwdDlg dlg(this, choice);
  int result = dlg.Execute();
  if (result == plat::IDOK) {
    ProtectionMask = choice.Mask;
    Password = Clip(choice.Password);
    Author = Clip(choice.Author);
    Date = Clip(choice.Date);
    EMail = Clip(choice.EMail);
    Homepage = Clip(choice.Homepage);
  } else if (result == TPwdDlg::kClearButton) {
    // The password text stays but protects nothing.
    ProtectionMask = 0;
    Author.clear();
    Date.clear();
    EMail.clear();
    Homepage.clear();
  } else {
    return;  // cancelled: protection and author data as they were
  }
  ShowMessageById(ProtectionMask == 0 ? 28 : 29);
  Unlocked = 1;
  Modified = 1;
  UpdateCaption(false);
}

void TFileMsgWin::CeAuthor(plat::CommandEnabler& ce) { ce.Enable((ProtectionMask & kShowCopyright) != 0); }

void TFileMsgWin::CmAuthor() {
  if ((ProtectionMask & kShowCopyright) == 0) return;
  std::string text = Author + "\r\n" + Date + "\r\n" + EMail + "\r\n" + Homepage;
  plat::MessageBox(this, text, plat::res::String(95), plat::MB_OK);
}

void TFileMsgWin::WritePasswordBlock() {
  if (Out()) WriteProtectionBlock(*Out(), TPasswordBlock{Password, Author, Date, EMail, Homepage});
}

bool TFileMsgWin::ParsePasswordBlock(TPasswordBlock& out) { return In() && ReadProtectionBlock(*In(), out); }

void TFileMsgWin::ApplyPasswordBlock(const TPasswordBlock& block) {
  Password = Clip(block.Password);
  Author = Clip(block.Author);
  Date = Clip(block.Date);
  EMail = Clip(block.EMail);
  Homepage = Clip(block.Homepage);
}

bool TFileMsgWin::ReadPasswordBlock() {
  TPasswordBlock b;
  if (!ParsePasswordBlock(b)) return false;
  ApplyPasswordBlock(b);
  return true;
}

}  // namespace kv
