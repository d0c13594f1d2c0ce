#include "program_ui.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <fcntl.h>
#include <grp.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/resources.h"
#include "support/temp_dir.h"

namespace kvdisplay {

namespace {

bool StartsWith(const std::string& s, const std::string& p) { return s.compare(0, p.size(), p) == 0; }

Rect ParseRect(const std::string& s) {
  Rect r;
  std::sscanf(s.c_str(), "%d,%d,%d,%d", &r.x, &r.y, &r.w, &r.h);
  return r;
}

// Splits off the first n blank-separated words; the rest of the line (which
// may hold blanks) is the last element.
std::vector<std::string> Words(const std::string& line, int n) {
  std::vector<std::string> out;
  std::size_t at = 0;
  for (int i = 0; i < n; ++i) {
    const std::size_t end = line.find(' ', at);
    if (end == std::string::npos) {
      out.push_back(line.substr(at));
      at = line.size();
      break;
    }
    out.push_back(line.substr(at, end - at));
    at = end + 1;
  }
  out.push_back(at < line.size() ? line.substr(at) : "");
  return out;
}

// "item <id> <rect> <flags> <text>" and "bar <index> <id> <rect> <e|d> <text>".
LoggedItem ParseItem(const std::string& line) {
  LoggedItem it;
  if (StartsWith(line, "bar ")) {
    auto w = Words(line, 5);
    it.index = std::atoi(w[1].c_str());
    it.id = std::atoi(w[2].c_str());
    it.rect = ParseRect(w[3]);
    it.enabled = w[4] == "e";
    it.text = w[5];
  } else {
    auto w = Words(line, 4);
    it.id = std::atoi(w[1].c_str());
    it.rect = ParseRect(w[2]);
    const std::string& f = w[3];
    it.enabled = f.size() > 0 && f[0] == 'e';
    it.check = f.size() > 1 ? f[1] : '-';
    it.submenu = f.size() > 2 && f[2] == 's';
    it.text = w[4];
  }
  return it;
}

bool FindPath(const std::vector<plat::res::MenuItem>& items, int id, std::vector<std::string>& path) {
  for (const auto& it : items) {
    if (it.kind == plat::res::MenuItem::Command && it.id == id) return true;
    if (it.kind == plat::res::MenuItem::Popup) {
      path.push_back(it.text);
      if (FindPath(it.children, id, path)) return true;
      path.pop_back();
    }
  }
  return false;
}

}  // namespace

const char* InvokedName(Invoked r) {
  switch (r) {
    case Invoked::Done: return "done";
    case Invoked::Disabled: return "disabled";
    case Invoked::NotInMenu: return "not in the menu";
    case Invoked::NoMenuBar: return "no menu bar";
    default: return "menu did not open";
  }
}

const LoggedItem* LoggedPopup::Find(int id) const {
  for (const LoggedItem& it : items)
    if (!it.submenu && it.id == id) return &it;
  return nullptr;
}

const LoggedItem* LoggedPopup::FindText(const std::string& text) const {
  for (const LoggedItem& it : items)
    if (it.text == text) return &it;
  return nullptr;
}

const LoggedControl* LoggedDialog::Find(int id) const {
  for (const LoggedControl& c : controls)
    if (c.id == id) return &c;
  return nullptr;
}

// ---- event log ----

void EventLog::Update() {
  std::ifstream f(path_, std::ios::binary);
  if (!f) return;
  f.seekg(static_cast<std::streamoff>(offset_));
  std::string chunk((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
  offset_ += chunk.size();
  partial_ += chunk;
  std::size_t start = 0;
  for (;;) {
    const std::size_t nl = partial_.find('\n', start);
    if (nl == std::string::npos) break;
    lines_.push_back(partial_.substr(start, nl - start));
    start = nl + 1;
  }
  partial_.erase(0, start);
}

int EventLog::Find(const std::string& prefix, std::size_t from) {
  Update();
  for (std::size_t i = from; i < lines_.size(); ++i)
    if (StartsWith(lines_[i], prefix)) return static_cast<int>(i);
  return -1;
}

std::int64_t EventLog::MsOf(const std::string& prefix, std::size_t from) {
  const int at = Find(prefix, from);
  if (at < 0) return -1;
  const std::string& line = lines_[static_cast<std::size_t>(at)];
  return std::strtoll(line.c_str() + line.rfind(' ') + 1, nullptr, 10);
}

int EventLog::WaitFor(const std::string& prefix, std::size_t from, int ms) {
  const std::int64_t end = NowMs() + Patient(ms);
  for (;;) {
    const int at = Find(prefix, from);
    if (at >= 0 || NowMs() >= end) return at;
    Pause(10);
  }
}

// ---- the process ----

Program::Program(XSession& x, const std::vector<std::string>& args,
                 const std::vector<std::pair<std::string, std::string>>& env, unsigned user)
    : x_(x), home_(kvtest::MakeTempDir("program")), log_(home_ + "events.log") {
  if (user != 0 && chown(home_.c_str(), user, user) != 0) return;
  // Opened here and started through the descriptor: another user may not
  // be allowed to reach the build folder (a checkout in root's home).
  const std::string exe = KURVATO_EXE;
  const int program = open(exe.c_str(), O_PATH | O_CLOEXEC);
  pid_ = fork();
  if (pid_ == 0) {
    if (user != 0 && (setgroups(0, nullptr) != 0 || setgid(user) != 0 || setuid(user) != 0)) _exit(126);
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    setenv("DISPLAY", x.DisplayName().c_str(), 1);
    setenv("QT_QPA_PLATFORM", "xcb", 1);
    setenv("KURVATO_HOME", (home_ + "settings").c_str(), 1);
    setenv("KURVATO_EVENT_LOG", log_.path().c_str(), 1);
    unsetenv("SESSION_MANAGER");
    for (const auto& [name, value] : env) setenv(name.c_str(), value.c_str(), 1);
    const std::string out = home_ + "output.txt";
    std::FILE* f = std::freopen(out.c_str(), "w", stdout);
    if (f) dup2(fileno(stdout), 2);
    std::string name = exe;
    std::vector<std::string> copy = args;
    std::vector<char*> argv{name.data()};
    for (auto& a : copy) argv.push_back(a.data());
    argv.push_back(nullptr);
    syscall(SYS_execveat, program, "", argv.data(), environ, AT_EMPTY_PATH);
    _exit(127);
  }
  if (program >= 0) close(program);
}

Program::~Program() { Stop(); }

bool Program::Ready() { return log_.WaitFor("ready", 0, 15000) >= 0; }

std::string Program::NotReady() {
  std::string why;
  if (pid_ <= 0) {
    why = "it was not started";
  } else if (int status = 0; waitpid(pid_, &status, WNOHANG) == pid_) {
    why = WIFEXITED(status) ? "it ended with code " + std::to_string(WEXITSTATUS(status))
                            : "it was ended by signal " + std::to_string(WTERMSIG(status));
    pid_ = -1;
  } else {
    why = "it runs (pid " + std::to_string(pid_) + ")";
  }
  why += "; its event log has " + std::to_string(log_.Size()) + " lines";
  std::ifstream out(home_ + "output.txt");
  const std::string said((std::istreambuf_iterator<char>(out)), std::istreambuf_iterator<char>());
  return why + (said.empty() ? "; it wrote nothing" : "; it wrote:\n" + said);
}

bool Program::Running() {
  if (pid_ <= 0) return false;
  int status = 0;
  if (waitpid(pid_, &status, WNOHANG) == pid_) {
    pid_ = -1;
    return false;
  }
  return true;
}

int Program::Stop() {
  if (pid_ <= 0) return -1;
  kill(pid_, SIGTERM);
  for (int t = 0; t < 5000; t += 20) {
    int status = 0;
    if (waitpid(pid_, &status, WNOHANG) == pid_) {
      pid_ = -1;
      return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }
    Pause(20);
  }
  kill(pid_, SIGKILL);
  waitpid(pid_, nullptr, 0);
  pid_ = -1;
  return -1;
}

// ---- menus ----

std::optional<LoggedMenuBar> Program::MenuBar(unsigned long window) {
  const auto& lines = log_.Lines();
  const std::string prefix = "menubar " + std::to_string(window) + " ";
  for (std::size_t i = lines.size(); i-- > 0;) {
    if (!StartsWith(lines[i], prefix)) continue;
    auto w = Words(lines[i], 4);
    LoggedMenuBar bar;
    bar.window = window;
    bar.menu = w[2];
    std::sscanf(w[4].c_str(), "%d,%d", &bar.x, &bar.y);
    const int count = std::atoi(w[3].c_str());
    for (int k = 1; k <= count && i + k < lines.size(); ++k) bar.entries.push_back(ParseItem(lines[i + k]));
    if (static_cast<int>(bar.entries.size()) < count) return std::nullopt;
    return bar;
  }
  return std::nullopt;
}

std::optional<LoggedMenuBar> Program::WaitMenuBar(unsigned long window, int ms) {
  const std::int64_t end = NowMs() + Patient(ms);
  for (;;) {
    auto bar = MenuBar(window);
    if (bar || NowMs() >= end) return bar;
    Pause(20);
  }
}

void Program::WaitQuiet() {
  const std::int64_t end = NowMs() + Patient(5000);
  for (;;) {
    const auto& lines = log_.Lines();
    std::size_t command = lines.size();
    for (std::size_t i = lines.size(); i-- > 0;)
      if (StartsWith(lines[i], "command ")) {
        command = i;
        break;
      }
    if (command == lines.size()) return;
    if (NowMs() >= end) {
      // Input sent now may be dropped by the work: the next failure says why.
      std::fprintf(stderr, "the program is still busy with \"%s\" after %d ms\n", lines[command].c_str(),
                   Patient(5000));
      return;
    }
    bool quiet = false;
    for (std::size_t i = command + 1; i < lines.size() && !quiet; ++i)
      quiet = StartsWith(lines[i], "dialog ") || StartsWith(lines[i], "key ") ||
              (StartsWith(lines[i], "done ") && log_.Find("idle", i) >= 0);
    if (quiet) return;
    Pause(10);
  }
}

std::optional<LoggedMenuBar> Program::BarToClick(unsigned long window) {
  // A command that is still running may change the bar or move the window
  // (a file brings its window's place).
  WaitQuiet();
  auto bar = WaitMenuBar(window, 2000);
  // The window manager moves the window after the program asked it to:
  // once it has framed the window, the window stands where the bar was
  // last logged.
  for (const std::int64_t placed = NowMs() + Patient(1000); bar && NowMs() < placed; bar = MenuBar(window)) {
    const Rect at = x_.Geometry(window);
    if (x_.Framed(window) && at.x == bar->x && at.y == bar->y) break;
    Pause(20);
  }
  return bar;
}

std::optional<std::vector<std::string>> Program::MenuPath(const std::string& menu, int id) {
  const plat::res::Menu* m = plat::res::FindMenu(menu);
  if (!m) return std::nullopt;
  std::vector<std::string> path;
  if (!FindPath(m->items, id, path)) return std::nullopt;
  return path;
}

std::optional<LoggedPopup> Program::WaitPopup(const std::string& title, std::size_t from, int ms) {
  const std::int64_t end = NowMs() + Patient(ms);
  for (;;) {
    const auto& lines = log_.Lines();
    for (std::size_t i = from; i < lines.size(); ++i) {
      if (!StartsWith(lines[i], "popup ")) continue;
      auto w = Words(lines[i], 4);
      if (w[4] != title) continue;
      LoggedPopup p;
      p.rect = ParseRect(w[1]);
      p.shownMs = std::strtoll(w[3].c_str(), nullptr, 10);
      p.title = w[4];
      const int count = std::atoi(w[2].c_str());
      for (int k = 1; k <= count && i + k < lines.size(); ++k) p.items.push_back(ParseItem(lines[i + k]));
      if (static_cast<int>(p.items.size()) != count) continue;
      // The program logs the menu as it shows it; a click on its items
      // waits until the X server has it on the screen.
      for (const std::int64_t mapped = NowMs() + Patient(1000); !x_.ShowsPopupAt(p.rect) && NowMs() < mapped;)
        Pause(10);
      return p;
    }
    if (NowMs() >= end) return std::nullopt;
    Pause(10);
  }
}

void Program::CloseMenus(int depth) {
  for (int i = 0; i < depth; ++i) {
    const std::size_t from = log_.Size();
    x_.Key("Escape");
    // The program says when the menu has closed (a window that paints
    // meanwhile holds the key back until it is done) and when what it
    // covered is painted again.
    const int closed = log_.WaitFor("popdown ", from, 1000);
    if (closed >= 0) log_.WaitFor("idle", static_cast<std::size_t>(closed), 1000);
  }
  openMenus_ = 0;
}

std::optional<LoggedPopup> Program::OpenMenu(unsigned long window, const std::vector<std::string>& path) {
  if (path.empty()) return std::nullopt;
  auto bar = BarToClick(window);
  if (!bar) return std::nullopt;
  const LoggedItem* entry = nullptr;
  for (const LoggedItem& e : bar->entries)
    if (e.text == path[0]) entry = &e;
  if (!entry) return std::nullopt;
  int x = entry->rect.CentreX(), y = entry->rect.CentreY();
  x_.ToScreen(window, x, y);
  std::size_t from = log_.Size();
  x_.Click(x, y);
  auto popup = WaitPopup(path[0], from, 2000);
  if (!popup) return std::nullopt;
  openMenus_ = 1;
  for (std::size_t k = 1; k < path.size(); ++k) {
    const LoggedItem* sub = popup->FindText(path[k]);
    if (!sub) {
      CloseMenus(openMenus_);
      return std::nullopt;
    }
    from = log_.Size();
    ClickItem(*sub);
    popup = WaitPopup(path[k], from, 2000);
    if (!popup) {
      CloseMenus(openMenus_ + 1);
      return std::nullopt;
    }
    ++openMenus_;
  }
  return popup;
}

// The pointer goes onto the item first and the button is pressed once the
// menu has seen it there, as under a hand: a press that came with no move
// since the click on the bar would count as that click's second half (a
// double click, which the menu ignores).
void Program::ClickItem(const LoggedItem& item) {
  const int x = item.rect.CentreX(), y = item.rect.CentreY();
  const std::size_t from = log_.Size();
  x_.MoveTo(x, y);
  log_.WaitFor("hover " + item.text, from, 1000);
  x_.Click(x, y);
}

Invoked Program::Command(unsigned long window, int id, LoggedItem* clicked) {
  auto bar = BarToClick(window);
  if (!bar) return Invoked::NoMenuBar;
  auto path = MenuPath(bar->menu, id);
  if (!path) return Invoked::NotInMenu;
  if (path->empty()) {
    // A command on the bar itself.
    for (const LoggedItem& e : bar->entries) {
      if (e.id != id) continue;
      if (clicked) *clicked = e;
      if (!e.enabled) return Invoked::Disabled;
      int x = e.rect.CentreX(), y = e.rect.CentreY();
      x_.ToScreen(window, x, y);
      x_.Click(x, y);
      x_.Park();
      return Invoked::Done;
    }
    return Invoked::NotInMenu;
  }
  auto popup = OpenMenu(window, *path);
  if (!popup) return Invoked::MenuDidNotOpen;
  const LoggedItem* item = popup->Find(id);
  if (!item) {
    CloseMenus(openMenus_);
    return Invoked::NotInMenu;
  }
  if (clicked) *clicked = *item;
  if (!item->enabled) {
    CloseMenus(openMenus_);
    x_.Park();
    return Invoked::Disabled;
  }
  ClickItem(*item);
  openMenus_ = 0;
  x_.Park();
  return Invoked::Done;
}

std::optional<LoggedItem> Program::MenuItem(unsigned long window, int id) {
  auto bar = WaitMenuBar(window, 2000);
  if (!bar) return std::nullopt;
  auto path = MenuPath(bar->menu, id);
  if (!path || path->empty()) return std::nullopt;
  auto popup = OpenMenu(window, *path);
  if (!popup) return std::nullopt;
  std::optional<LoggedItem> out;
  if (const LoggedItem* item = popup->Find(id)) out = *item;
  CloseMenus(openMenus_);
  x_.Park();
  return out;
}

std::int64_t Program::AnswerMs(unsigned long window, int ms, std::int64_t* clicked) {
  auto bar = BarToClick(window);
  if (!bar || bar->entries.empty()) return -1;
  const LoggedItem& e = bar->entries.front();
  int x = e.rect.CentreX(), y = e.rect.CentreY();
  x_.ToScreen(window, x, y);
  const std::size_t from = log_.Size();
  if (clicked) *clicked = NowMs();
  x_.Click(x, y);
  const auto popup = WaitPopup(e.text, from, ms);
  if (popup) CloseMenus(1);
  x_.Park();
  return popup ? popup->shownMs : -1;
}

bool Program::Answers(unsigned long window, int ms) { return AnswerMs(window, ms) >= 0; }

testing::AssertionResult Program::AnswersWithin(unsigned long window, int ms, std::int64_t since) {
  std::int64_t clicked = -1;
  const std::int64_t shown = AnswerMs(window, ms, &clicked);
  if (shown < 0) return testing::AssertionFailure() << "the menu did not open";
  // A moment logged before what caused it is no answer.
  if (shown < clicked)
    return testing::AssertionFailure() << "the menu was logged " << clicked - shown << " ms before the click";
  const std::int64_t from = since >= 0 ? since : clicked;
  if (shown - from >= ms)
    return testing::AssertionFailure() << "the menu opened " << shown - from << " ms after the "
                                       << (since >= 0 ? "user's key or click" : "click");
  return testing::AssertionSuccess();
}

bool Program::KeysRead(const std::string& key, int code, int ms, int count) {
  std::size_t next = log_.Size();
  for (int k = 0; k < count; ++k) x_.Key(key);
  for (std::int64_t end = NowMs() + Patient(ms); count > 0; Pause(10)) {
    for (const auto& lines = log_.Lines(); next < lines.size() && count > 0; ++next) {
      int read = 0;
      if (std::sscanf(lines[next].c_str(), "key %*u %d", &read) == 1 && read == code) {
        --count;
        end = NowMs() + Patient(ms);
      }
    }
    if (count > 0 && NowMs() >= end) return false;
  }
  return true;
}

testing::AssertionResult Program::KeyReadWithin(const std::string& key, int code, int ms, std::int64_t* pressedAt) {
  const std::size_t from = log_.Size();
  const std::int64_t pressed = NowMs();
  if (pressedAt) *pressedAt = pressed;
  x_.Key(key);
  const std::int64_t end = NowMs() + Patient(ms);
  for (;;) {
    const auto& lines = log_.Lines();
    for (std::size_t i = from; i < lines.size(); ++i) {
      int read = 0;
      long long at = 0;
      if (std::sscanf(lines[i].c_str(), "key %*u %d %lld", &read, &at) != 2 || read != code) continue;
      if (at < pressed) return testing::AssertionFailure() << "read " << pressed - at << " ms before the press";
      if (at - pressed >= ms) return testing::AssertionFailure() << "read " << at - pressed << " ms after the press";
      return testing::AssertionSuccess();
    }
    if (NowMs() >= end) return testing::AssertionFailure() << "not read";
    Pause(10);
  }
}

testing::AssertionResult Program::KeyTakenWithin(const std::string& key, int code, int ms) {
  const std::size_t from = log_.Size();
  const std::int64_t pressed = NowMs();
  x_.Key(key);
  if (log_.WaitFor("typed ", from, ms) < 0) return testing::AssertionFailure() << "not taken";
  const std::int64_t at = log_.MsOf("typed ", from);
  if (at < pressed) return testing::AssertionFailure() << "taken " << pressed - at << " ms before the press";
  if (at - pressed >= ms) return testing::AssertionFailure() << "taken " << at - pressed << " ms after the press";
  for (const std::int64_t end = NowMs() + Patient(2000); NowMs() < end; Pause(10)) {
    const auto& lines = log_.Lines();
    for (std::size_t i = from; i < lines.size(); ++i)
      if (int read = 0; std::sscanf(lines[i].c_str(), "key %*u %d", &read) == 1 && read == code)
        return testing::AssertionSuccess();
  }
  return testing::AssertionFailure() << "taken but not read";
}

int Program::WaitCommand(unsigned long window, int id, std::size_t from, int ms, bool* refused) {
  const std::string key = " " + std::to_string(window) + " " + std::to_string(id);
  const std::int64_t end = NowMs() + Patient(ms);
  for (;;) {
    const auto& lines = log_.Lines();
    for (std::size_t i = from; i < lines.size(); ++i) {
      const bool runs = lines[i] == "command" + key, no = lines[i] == "refused" + key;
      if (!runs && !no) continue;
      if (refused) *refused = no;
      return static_cast<int>(i);
    }
    if (NowMs() >= end) return -1;
    Pause(10);
  }
}

bool Program::WaitCommandDone(unsigned long window, int id, std::size_t from, int ms) {
  const std::int64_t end = NowMs() + Patient(ms);
  const std::string done = "done " + std::to_string(window) + " " + std::to_string(id);
  for (;;) {
    const int at = log_.Find(done, from);
    if (at >= 0 && log_.Find("idle", static_cast<std::size_t>(at)) >= 0) return true;
    if (NowMs() >= end) return false;
    Pause(10);
  }
}

bool Program::WaitIdle(std::size_t from, int ms) {
  const std::int64_t end = NowMs() + Patient(ms);
  for (;;) {
    const int at = log_.Find("done ", from);
    if (at >= 0 && log_.Find("idle", static_cast<std::size_t>(at)) >= 0) return true;
    if (NowMs() >= end) return false;
    Pause(10);
  }
}

// ---- dialogs ----

std::vector<unsigned long> Program::DialogsSince(std::size_t from) {
  std::vector<unsigned long> out;
  const auto& lines = log_.Lines();
  for (std::size_t i = from; i < lines.size(); ++i)
    if (StartsWith(lines[i], "dialog ")) out.push_back(std::strtoul(lines[i].c_str() + 7, nullptr, 10));
  return out;
}

std::optional<std::string> Program::WaitText(unsigned long window, int id, std::size_t from, int ms) {
  const std::string prefix = "text " + std::to_string(window) + " " + std::to_string(id) + " ";
  const std::int64_t end = NowMs() + Patient(ms);
  for (;;) {
    const int at = log_.Find(prefix, from);
    if (at >= 0) return log_.Lines()[static_cast<std::size_t>(at)].substr(prefix.size());
    if (NowMs() >= end) return std::nullopt;
    Pause(10);
  }
}

std::string Program::TextOf(const LoggedDialog& d, int id) {
  const auto& lines = log_.Lines();
  const std::string prefix = "text " + std::to_string(d.window) + " " + std::to_string(id) + " ";
  const std::string shown = "dialog " + std::to_string(d.window) + " ";
  for (std::size_t i = lines.size(); i-- > 0;) {
    if (StartsWith(lines[i], prefix)) return lines[i].substr(prefix.size());
    if (StartsWith(lines[i], shown)) break;
  }
  const auto latest = Dialog(d.window);
  const LoggedControl* c = latest ? latest->Find(id) : d.Find(id);
  return c ? c->text : std::string();
}

bool Program::HasFocus(const LoggedDialog& d, int id) {
  const auto& lines = log_.Lines();
  const std::string prefix = "focus " + std::to_string(d.window) + " ";
  for (std::size_t i = lines.size(); i-- > 0;)
    if (StartsWith(lines[i], prefix)) return std::atoi(lines[i].c_str() + prefix.size()) == id;
  return false;
}

std::string Program::Selection(unsigned long window, int list) {
  const auto& lines = log_.Lines();
  const std::string prefix = "select " + std::to_string(window) + " " + std::to_string(list) + " ";
  for (std::size_t i = lines.size(); i-- > 0;)
    if (StartsWith(lines[i], prefix)) return lines[i].substr(prefix.size());
  return "";
}

bool Program::WaitSelection(unsigned long window, int list, const std::string& rows, int ms) {
  const std::int64_t end = NowMs() + Patient(ms);
  while (Selection(window, list) != rows) {
    if (NowMs() >= end) return false;
    Pause(10);
  }
  return true;
}

std::optional<LoggedDialog> Program::ParseDialog(int at) {
  const auto& lines = log_.Lines();
  auto w = Words(lines[static_cast<std::size_t>(at)], 4);
  LoggedDialog d;
  d.window = std::strtoul(w[1].c_str(), nullptr, 10);
  d.templateName = w[2];
  d.caption = w[4];
  const int count = std::atoi(w[3].c_str());
  for (int k = 1; k <= count; ++k) {
    const std::size_t i = static_cast<std::size_t>(at + k);
    if (i >= lines.size() || !StartsWith(lines[i], "control ")) return std::nullopt;
    auto c = Words(lines[i], 6);
    LoggedControl ctl;
    ctl.id = std::atoi(c[1].c_str());
    ctl.kind = c[2];
    ctl.rect = ParseRect(c[3]);
    std::sscanf(c[4].c_str(), "%d,%d", &ctl.hintW, &ctl.hintH);
    ctl.visible = c[5] == "v";
    ctl.text = c[6];
    d.controls.push_back(ctl);
  }
  return d;
}

std::optional<LoggedDialog> Program::Dialog(unsigned long window) {
  const auto& lines = log_.Lines();
  const std::string prefix = "dialog " + std::to_string(window) + " ";
  for (std::size_t i = lines.size(); i-- > 0;)
    if (StartsWith(lines[i], prefix)) return ParseDialog(static_cast<int>(i));
  return std::nullopt;
}

std::optional<LoggedDialog> Program::WaitDialog(const std::string& templateName, std::size_t from, int ms) {
  const std::int64_t end = NowMs() + Patient(ms);
  for (;;) {
    const auto& lines = log_.Lines();
    for (std::size_t i = from; i < lines.size(); ++i) {
      if (!StartsWith(lines[i], "dialog ")) continue;
      auto w = Words(lines[i], 3);
      if (w[2] != templateName) continue;
      if (auto d = ParseDialog(static_cast<int>(i))) return d;
    }
    if (NowMs() >= end) return std::nullopt;
    Pause(10);
  }
}

bool Program::ClickControl(const LoggedDialog& given, int id) {
  // Long work that polls drops clicks meant for other windows, and a
  // command may still change the dialog: it is waited for.
  WaitQuiet();
  // The dialog's latest layout: it logs itself again when it changes size.
  const std::optional<LoggedDialog> latest = Dialog(given.window);
  const LoggedDialog& d = latest && latest->Find(id) ? *latest : given;
  const LoggedControl* c = d.Find(id);
  if (!c) {
    ADD_FAILURE() << "the dialog " << d.templateName << " has no control " << id;
    return false;
  }
  // The dialog is logged as it is shown; the window manager may still be
  // mapping and placing it.
  const std::int64_t mapped = NowMs() + Patient(3000);
  while (!x_.Exists(d.window) && NowMs() < mapped) Pause(20);
  for (const std::int64_t placed = NowMs() + Patient(500); NowMs() < placed;) {
    const Rect a = x_.Geometry(d.window);
    Pause(20);
    const Rect b = x_.Geometry(d.window);
    if (a.x == b.x && a.y == b.y && a.w == b.w && a.h == b.h) break;
  }
  // Keys typed after the click go to the window with the input focus: the
  // dialog is activated first, as the click would do, but waited for.
  if (!x_.Activate(d.window)) ADD_FAILURE() << "the dialog " << d.templateName << " could not be activated";
  int x = c->rect.CentreX(), y = c->rect.CentreY();
  x_.ToScreen(d.window, x, y);
  const std::size_t from = log_.Size();
  x_.Click(x, y);
  // Edits and lists say so with their focus and selection lines.
  if (c->kind != "button" && c->kind != "check" && c->kind != "radio") return true;
  // A button's click is taken once its command starts (or its enabler
  // refuses it), else once the click has been handled.
  const std::string key = " " + std::to_string(d.window) + " " + std::to_string(id);
  const std::int64_t end = NowMs() + Patient(2000);
  for (;;) {
    const auto& lines = log_.Lines();
    for (std::size_t i = from; i < lines.size(); ++i)
      if (lines[i] == "command" + key || lines[i] == "refused" + key || lines[i] == "clicked" + key) return true;
    if (NowMs() >= end) return false;
    Pause(10);
  }
}

void Program::SetText(const LoggedDialog& d, int id, const std::string& text) {
  // The focus as it stands once the commands before have run.
  WaitQuiet();
  // A focused control is not clicked: the window manager holds a click back
  // while it raises the window, and keys typed after it could come first.
  if (!HasFocus(d, id)) {
    ClickControl(d, id);
  } else {
    EXPECT_TRUE(x_.Activate(d.window)) << d.templateName << " could not be activated";
  }
  // The keys go where the focus is: the program says when the edit has it.
  const std::int64_t end = NowMs() + Patient(2000);
  while (!HasFocus(d, id) && NowMs() < end) Pause(10);
  EXPECT_TRUE(HasFocus(d, id)) << "control " << id << " of " << d.templateName << " did not take the focus";
  x_.Key("ctrl+a");
  // An empty text changes nothing there.
  if (text.empty()) return;
  EXPECT_EQ(TypeInto(d, id, text), text) << "typed into control " << id << " of " << d.templateName;
}

std::string Program::TypeInto(const LoggedDialog& d, int id, const std::string& text) {
  const std::int64_t end = NowMs() + Patient(2000);
  while (!HasFocus(d, id) && NowMs() < end) Pause(10);
  const std::size_t from = log_.Size();
  x_.Type(text);
  return LastEdit("edit " + std::to_string(d.window) + " " + std::to_string(id) + " ", from, text);
}

std::string Program::TypeIntoFileDialog(unsigned long dialog, const std::string& path) {
  const std::size_t from = log_.Size();
  x_.Key("ctrl+a");
  x_.Type(path);
  return LastEdit("edit " + std::to_string(dialog) + " -1 ", from, path);
}

std::string Program::LastEdit(const std::string& prefix, std::size_t from, const std::string& text) {
  // The program logs the edit's text as the keys arrive.
  std::string last = "(nothing)";
  const std::int64_t typed = NowMs() + Patient(2000);
  for (;;) {
    const auto& lines = log_.Lines();
    for (std::size_t i = from; i < lines.size(); ++i)
      if (StartsWith(lines[i], prefix)) last = lines[i].substr(prefix.size());
    if (last == text || NowMs() >= typed) return last;
    Pause(10);
  }
}

}  // namespace kvdisplay
