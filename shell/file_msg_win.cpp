#include "shell/file_msg_win.h"

#include "platform/common_dialogs.h"
#include "platform/resources.h"
#include "shell/generic_dialogs.h"

namespace kv {

std::string NumberedMessageText(int n) { return TruncateChars(plat::res::String(400 + n), 255); }

void ShowMessageById(plat::Window* owner, int n, const char* caption) {
  plat::MessageBox(owner, NumberedMessageText(n), caption ? caption : "?", plat::MB_OK);
}

int RunMessageDialog(plat::Window* owner, const std::string& caption, const std::string& text, int type) {
  const char* name = type == 0 ? "OKMBOX" : type == 1 ? "YNMBOX" : "YNCMBOX";
  TMsgDlg dlg(owner, name, caption, text);
  return dlg.Execute();
}

TFileMsgWin::TFileMsgWin(plat::Window* parent, const std::string& title) : plat::Window(parent, title) {}

void TFileMsgWin::ShowMessageById(int n, const char* caption) { kv::ShowMessageById(this, n, caption); }

int TFileMsgWin::RunMessageDialog(const std::string& caption, const std::string& text, int type) {
  return kv::RunMessageDialog(this, caption, text, type);
}

void TFileMsgWin::SetCaption(int kind, int, int) {
  plat::Window::SetCaption(TruncateChars(plat::res::String(600 + kind), 255));
}

}  // namespace kv
