// Walking a window's menu as a user would: each command is clicked in its
// menu, what changed on the screen is observed, and the screen is put back
// (new windows closed, running work stopped) before the next command.
//
// What a command did is written as effect tokens:
//   dialog:TEMPLATE      one of the program's dialogs opened (by template),
//                        or one the toolkit builds: FILEOPEN, FILESAVE,
//                        FONTDIALOG, PRINTDIALOG, PRINTERSETUP
//   window:Caption       another window opened (file dialogs, text windows,
//                        plot windows)
//   message:Text         a message box (MESSAGEBOX)
//   closed:Caption       a window that was there went away
//   caption:Text         the walked window's caption changed to the text
//   pixels               the walked window's picture changed
//   pixels:Caption       another window's picture changed
//   check:on, check:off  the command's check mark changed
//   clipboard            the clipboard got new content
//   runs                 the picture kept changing (stopped with "A")
//   exits                the program ended
//   disabled             the item was greyed and could not be clicked
//   none                 nothing visible
#pragma once

#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "program_ui.h"
#include "x_session.h"

namespace kvdisplay {

struct Effect {
  std::vector<std::string> tokens;
  // Where the command was clicked, as the menus showed it: the titles of the
  // opened popups and the item's text, joined by " > " ("&Datei > &Neu
  // Strg+N"); empty when no menu opened.
  std::string path;
  // Layout faults of the dialogs the command opened (see dialog_geometry.h).
  std::vector<std::string> layoutFaults;
  bool hung = false;  // the program stopped answering, or a window could not be closed
  std::string Text() const;
};

// True when the observed effect satisfies the expected one: every expected
// token was observed, and nothing opened, closed or was reported that was
// not expected.  An expected token ending in "*" matches every observed
// token that starts with the rest.
bool Matches(const std::string& expected, const Effect& observed);

class MenuWalker {
 public:
  MenuWalker(XSession& x, Program& p) : x_(x), p_(p) {}
  // Clicks the command in the window's menu and observes it; afterwards the
  // windows it opened are closed again.  The clipboard is emptied first
  // unless keepClipboard is set.
  Effect Run(const TopWindow& target, int id, bool keepClipboard = false);

 private:
  struct Snapshot {
    std::vector<TopWindow> windows;
    std::vector<std::pair<unsigned long, std::uint64_t>> pictures;
  };
  Snapshot Take(const TopWindow& target);
  std::uint64_t PictureOf(unsigned long window, bool plot);
  void CloseNewWindows(const std::set<unsigned long>& before, Effect& e);

  XSession& x_;
  Program& p_;
};

// The commands of a menu resource, in menu order, with their item texts;
// only those under the top-level entry `popup` when it is not empty.
std::vector<std::pair<int, std::string>> MenuCommands(const std::string& menu, const std::string& popup = "");
// The texts of a menu resource's bar entries.
std::vector<std::string> MenuPopups(const std::string& menu);

// The expected effects of the walk: "<kind> <id> <tokens joined by ' & '>",
// a '#' starting a comment; "<kind>+" names the walk of a command in the
// state where it is enabled (see WalkKind::enabled).
std::map<std::pair<std::string, int>, std::string> ReadExpectedEffects(const std::string& path);
// The comments of the same lists, by kind and command: each starts with the
// menu path where the command stands, in the form of Effect::path, and a
// remark may follow.
std::map<std::pair<std::string, int>, std::string> ReadExpectedPaths(const std::string& path);
// True when the list's comment starts with the path, as a whole (the end of
// the comment or a remark's separator follows): a command that stands
// elsewhere in the menu than its list says has moved.
bool StandsAt(const std::string& comment, const std::string& path);

}  // namespace kvdisplay
