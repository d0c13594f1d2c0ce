// The About box: what the program is, its version line and its credits,
// all from the string table, shown in a message box of the window.
#include <string>

#include "platform/common_dialogs.h"
#include "platform/resources.h"
#include "shell/file_msg_win.h"

namespace kv {

namespace {

constexpr std::size_t kAboutBufferSize = 2000;
constexpr const char* kLineEnd = "\r\n";

}  // namespace

std::string AboutText() {
  using plat::res::String;
  std::string t;
  auto line = [&t](const std::string& s) {
    t += s;
    t += kLineEnd;
  };
  line(String(300));
  // The version line names the fixed build date 15 March 2010.
  line(String(1440) + " " + "15" + ". " + String(1443) + " " + "2010");
  line("");
  for (int id = 301; id <= 308; ++id) {
    line(String(id));
    if (id == 303 || id == 307) line("");
  }
  line("");
  for (int id = 310; id < 319; ++id) {
    std::string s = String(id);
    if (s.empty()) break;
    line(s);
  }
  line("");
  t += String(309);
  if (t.size() > kAboutBufferSize - 1) {
    // Cut at a character boundary.
    std::size_t n = kAboutBufferSize - 1;
    while (n > 0 && (static_cast<unsigned char>(t[n]) & 0xC0) == 0x80) --n;
    t.resize(n);
  }
  return t;
}

std::string AboutCaption(int fileVersion) {
  return plat::res::String(298) + " [v 1." + std::to_string(fileVersion) + "]";
}

void TFileMsgWin::ShowAbout() {
  if (AboutOpen) return;
  AboutOpen = 1;
  plat::MessageBox(this, AboutText(), AboutCaption(FileVersion), plat::MB_OK);
  AboutOpen = 0;
}

}  // namespace kv
