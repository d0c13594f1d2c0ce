// The real `kurvato` executable running on a display, and what it shows as
// its event log tells it (menu bars, opened menus, dialogs with their
// controls), so that a test can click where a user would click.  Nothing
// here reaches into the program: every action is a key press or a mouse
// click delivered by the X server.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <sys/types.h>
#include <utility>
#include <vector>

#include "x_session.h"

namespace kvdisplay {

struct LoggedItem {
  int id = 0;
  int index = 0;
  Rect rect;  // screen coordinates for menu items, window coordinates for the bar
  bool enabled = true;
  char check = '-';  // '-' not checkable, 'c' checked, 'u' unchecked
  bool submenu = false;
  std::string text;
};

struct LoggedMenuBar {
  unsigned long window = 0;
  std::string menu;  // the menu resource's name
  int x = 0, y = 0;  // where the program placed the window on the screen
  std::vector<LoggedItem> entries;
};

struct LoggedPopup {
  Rect rect;
  std::int64_t shownMs = -1;  // when the program showed it (steady clock)
  std::string title;
  std::vector<LoggedItem> items;
  const LoggedItem* Find(int id) const;
  const LoggedItem* FindText(const std::string& text) const;
};

struct LoggedControl {
  int id = -1;
  std::string kind;  // button, check, radio, combo, edit, text, list, scroll, static, space
  Rect rect;         // dialog coordinates
  int hintW = 0, hintH = 0;
  bool visible = true;
  std::string text;
};

struct LoggedDialog {
  unsigned long window = 0;
  std::string templateName;
  std::string caption;
  std::vector<LoggedControl> controls;
  const LoggedControl* Find(int id) const;
};

// The program's event log, read as it grows.
class EventLog {
 public:
  explicit EventLog(std::string path) : path_(std::move(path)) {}
  // Reads what was appended since the last call.
  void Update();
  const std::vector<std::string>& Lines() {
    Update();
    return lines_;
  }
  std::size_t Size() {
    Update();
    return lines_.size();
  }
  // Waits until a line at or after `from` starts with the prefix; its index
  // or -1.
  int WaitFor(const std::string& prefix, std::size_t from, int ms);
  int Find(const std::string& prefix, std::size_t from);
  // The moment a line logs with the steady clock (its last number, in ms)
  // for the first line at or after `from` that starts with the prefix; -1
  // for none.
  std::int64_t MsOf(const std::string& prefix, std::size_t from);
  const std::string& path() const { return path_; }

 private:
  std::string path_;
  std::size_t offset_ = 0;
  std::string partial_;
  std::vector<std::string> lines_;
};

enum class Invoked { Done, Disabled, NotInMenu, NoMenuBar, MenuDidNotOpen };
const char* InvokedName(Invoked r);

class Program {
 public:
  // Starts the program on the session's display with its own settings
  // folder and event log; args go on its command line.  A `user` other than
  // 0 runs it as that user (and group), who then owns its folder.
  Program(XSession& x, const std::vector<std::string>& args = {},
          const std::vector<std::pair<std::string, std::string>>& env = {}, unsigned user = 0);
  ~Program();
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;

  // True once the program has said "ready" (waits up to 15 s).
  bool Ready();
  // Why it did not say so, for a failure message: whether it still runs or
  // how it ended, and what it wrote to its output.
  std::string NotReady();
  bool Running();
  // SIGTERM, then SIGKILL after five seconds; the exit code or -1.
  int Stop();
  pid_t Pid() const { return pid_; }
  const std::string& Home() const { return home_; }
  EventLog& Log() { return log_; }
  XSession& X() { return x_; }

  // ---- menus ----
  std::optional<LoggedMenuBar> MenuBar(unsigned long window);
  // Waits up to ms for the window's menu bar to be logged.
  std::optional<LoggedMenuBar> WaitMenuBar(unsigned long window, int ms);
  // The bar as it is now, to click: once the last command has returned
  // and the program is idle (or shows a dialog), the bar it logged last,
  // after the window has reached the place the program gave it.
  std::optional<LoggedMenuBar> BarToClick(unsigned long window);
  // The titles of the popups leading to the command in the window's menu
  // (empty for a command on the bar itself); nullopt when it is not there.
  std::optional<std::vector<std::string>> MenuPath(const std::string& menu, int id);
  // Opens the bar entry and the popups of the path with the mouse; the
  // last popup opened, or nullopt.
  std::optional<LoggedPopup> OpenMenu(unsigned long window, const std::vector<std::string>& path);
  // Clicks the command's menu item, opening its menus first; `clicked`
  // receives the item as the menu showed it.
  Invoked Command(unsigned long window, int id, LoggedItem* clicked = nullptr);
  // The command's item as the opened menu shows it (menus closed again).
  std::optional<LoggedItem> MenuItem(unsigned long window, int id);
  // Closes open menus with Escape.
  void CloseMenus(int depth);
  // Opens the first bar entry and closes it again: true when the menu
  // opened within ms (stretched), i.e. the program answers input.
  bool Answers(unsigned long window, int ms);
  // The same as a promise to the user: the menu opens within ms of the
  // click, measured from the click to the moment the program logs that it
  // shows the menu (unstretched; it is waited for up to ms stretched).
  // With `since` (a moment of NowMs) the promise is measured from then: the
  // user's key or click that ended the work, before the bar is clicked.  A
  // menu logged before the click fails.
  testing::AssertionResult AnswersWithin(unsigned long window, int ms, std::int64_t since = -1);
  // Presses the key `count` times; true once long work (in any window) has
  // read each as the code (65 for "A", 27 for Escape), each within ms
  // (stretched) of the one before.
  bool KeysRead(const std::string& key, int code, int ms, int count = 1);
  // Presses the key once: long work reads it as the code within ms of the
  // press, measured to the moment the program logs reading it (a moment
  // before the press fails); `pressedAt` receives the press's moment.
  testing::AssertionResult KeyReadWithin(const std::string& key, int code, int ms, std::int64_t* pressedAt = nullptr);
  // Presses the key once while long work runs: the program takes it (logs
  // `typed`) within ms of the press, however long the work waits before it
  // reads its next key, and the work reads it as the code (waited for).
  testing::AssertionResult KeyTakenWithin(const std::string& key, int code, int ms);
  // Waits up to ms (stretched for a busy machine) for the program to log
  // that the window starts the command, or that its enabler refused it;
  // the log line's index or -1.
  int WaitCommand(unsigned long window, int id, std::size_t from, int ms, bool* refused = nullptr);
  // Waits until a command the window started at or after log line `from`
  // has returned and the program has painted all it had to paint.
  bool WaitCommandDone(unsigned long window, int id, std::size_t from, int ms);
  // Waits (up to 5 s, stretched) until the last command has returned and the
  // program has painted all it had to paint, or shows a dialog, or its long
  // work reads keys: input sent then is neither dropped by the work nor
  // overtaken by it.
  void WaitQuiet();
  // Waits until a command that was running at log line `from` (work that a
  // key stops, say) or started after it has returned and the program has
  // painted all it had to paint.
  bool WaitIdle(std::size_t from, int ms);

  // ---- dialogs ----
  // The last logging of a dialog with this native window, or of the
  // template (any window) at or after log line `from`.
  std::optional<LoggedDialog> Dialog(unsigned long window);
  std::optional<LoggedDialog> WaitDialog(const std::string& templateName, std::size_t from, int ms);
  // The native windows of the dialogs logged at or after line `from`.
  std::vector<unsigned long> DialogsSince(std::size_t from);
  // Waits for the program to give the static of the dialog window a text
  // at or after log line `from`; the text, or nullopt.
  std::optional<std::string> WaitText(unsigned long window, int id, std::size_t from, int ms);
  // The text the static shows now: the last one the program gave it, else
  // the one logged with the dialog.
  std::string TextOf(const LoggedDialog& d, int id);
  // True when the log's last focus line of the dialog names the control.
  bool HasFocus(const LoggedDialog& d, int id);
  // The rows the dialog's list has selected as the log tells last ("2",
  // "0,3", "-" for none); empty before the list was logged.
  std::string Selection(unsigned long window, int list);
  // Waits up to ms (stretched) for the list to have selected just these rows.
  bool WaitSelection(unsigned long window, int list, const std::string& rows, int ms);
  // Clicks the control once the program is quiet (WaitQuiet); for a button,
  // check or radio button, true once the program has taken the click (its
  // command started or was refused, or the click was handled).
  bool ClickControl(const LoggedDialog& d, int id);
  // Gives an edit control the focus (a click unless it has it) and waits for
  // the program to say so, selects its text and types the new one.
  void SetText(const LoggedDialog& d, int id, const std::string& text);
  // Waits for the edit's focus and types into it as it stands (nothing
  // selected); the edit's text the program logged last ("(nothing)": none).
  std::string TypeInto(const LoggedDialog& d, int id, const std::string& text);
  // Selects what the name field of the toolkit's file dialog (its window)
  // holds and types the path once; the field's text the program logged last
  // once it is the path, or when the wait ran out ("(nothing)": none).
  std::string TypeIntoFileDialog(unsigned long dialog, const std::string& path);

 private:
  std::optional<LoggedPopup> WaitPopup(const std::string& title, std::size_t from, int ms);
  void ClickItem(const LoggedItem& item);
  std::optional<LoggedDialog> ParseDialog(int at);
  // Clicks the first bar entry and closes its menu again; the moment the
  // program logged that it showed the menu, -1 when it did not open within
  // ms (stretched).  `clicked` receives the click's moment.
  std::int64_t AnswerMs(unsigned long window, int ms, std::int64_t* clicked = nullptr);
  // The text of the edit lines starting with prefix logged last since line
  // from, once it is the text or when the wait ran out.
  std::string LastEdit(const std::string& prefix, std::size_t from, const std::string& text);

  XSession& x_;
  std::string home_;
  EventLog log_;
  pid_t pid_ = -1;
  int openMenus_ = 0;
};

}  // namespace kvdisplay
