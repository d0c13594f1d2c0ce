// The lowest layer of every window of the program: its file name and
// modified flag, the numbered messages, the program's own questions and the
// status captions of long work.
#pragma once

#include <cstdint>
#include <string>

#include "platform/window.h"

namespace kv {

class TFileMsgWin : public plat::Window {
 public:
  TFileMsgWin(plat::Window* parent, const std::string& title);

  // Shows string 400 + n in a message box owned by the window, with the
  // given caption or "?".
  void ShowMessageById(int n, const char* caption = nullptr);
  // Asks with the program's own dialog: type 0 "OKMBOX", 1 "YNMBOX", any
  // other "YNCMBOX".  Returns 1 (OK), 2 (cancel or Escape), 6 (yes), 7 (no).
  int RunMessageDialog(const std::string& caption, const std::string& text, int type);
  // Shows status caption 600 + kind while long work runs; the two numbers
  // are not used by the captions the program has.
  void SetCaption(int kind, int a, int b);
  using plat::Window::SetCaption;

  // ---- set by the main frame before the window is created ----
  std::int32_t FileVersion = 1;
  std::uint8_t OpenLastFileFlag = 0;
  std::string FileToOpen;
  std::uint8_t Modified = 0;
};

// The same operations for any window (the main frame is not a TFileMsgWin).
void ShowMessageById(plat::Window* owner, int n, const char* caption = nullptr);
int RunMessageDialog(plat::Window* owner, const std::string& caption, const std::string& text, int type);
// String 400 + n, cut to 255 characters ("" when the table has none).
std::string NumberedMessageText(int n);

}  // namespace kv
