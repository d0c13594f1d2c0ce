#include "platform/testing.h"

#include <QCoreApplication>
#include <QEvent>

#include <algorithm>
#include <deque>
#include <map>
#include <variant>

#include "platform/dialog.h"
#include "platform/resources.h"
#include "platform/testing_impl.h"
#include "platform/window_impl.h"

namespace plat::testing {

namespace {

struct DialogExpectation {
  std::string templateName;
  DialogScript script;
};
struct MessageBoxExpectation {
  int answer;
};
struct FileExpectation {
  std::optional<std::string> path;
};
struct FontExpectation {
  std::optional<FontChoice> choice;
};
struct PrintExpectation {
  std::optional<std::string> pdfPath;
};
struct PrinterSetupExpectation {
  bool ok;
};
using Expectation = std::variant<DialogExpectation, MessageBoxExpectation, FileExpectation, FontExpectation,
                                 PrintExpectation, PrinterSetupExpectation>;

struct State {
  bool on = false;
  std::deque<Expectation> queue;
  std::vector<RecordedMessage> messages;
  std::vector<std::string> failures;
  std::vector<std::string> log;
  FileDialogRequest lastFileRequest;
  bool capsFixed = false;
  DeviceCaps caps;
  bool clockFixed = false;
  std::int64_t seconds = 0;
  LocalTime local;
  int decorations[4] = {0, 0, 0, 0};
  bool fakeTicks = false;
  std::int64_t tick = 0;
};

// The fake clock's window timers and scheduled actions.
struct FakeTimer {
  Window* window = nullptr;
  unsigned id = 0;
  int period = 1;
  std::int64_t due = 0;
};
struct ScheduledAction {
  std::int64_t tick = 0;
  std::function<void()> action;
};
std::vector<FakeTimer>& Timers() {
  static std::vector<FakeTimer> t;
  return t;
}
std::vector<ScheduledAction>& Actions() {
  static std::vector<ScheduledAction> a;
  return a;
}
res::ResourceSet& TestResources() {
  static res::ResourceSet r;
  return r;
}

State& S() {
  static State s;
  return s;
}

const char* KindName(const Expectation& e) {
  if (std::holds_alternative<DialogExpectation>(e)) return "a dialog";
  if (std::holds_alternative<MessageBoxExpectation>(e)) return "a message box";
  if (std::holds_alternative<FileExpectation>(e)) return "a file dialog";
  if (std::holds_alternative<PrintExpectation>(e)) return "a print dialog";
  if (std::holds_alternative<PrinterSetupExpectation>(e)) return "a printer set-up dialog";
  return "a font dialog";
}

}  // namespace

void EnableTestingMode(bool on) { S().on = on; }
bool TestingMode() { return S().on; }

void Reset() {
  auto& s = S();
  s.queue.clear();
  s.messages.clear();
  s.failures.clear();
  s.log.clear();
  s.lastFileRequest = {};
  s.clockFixed = false;
  for (int& d : s.decorations) d = 0;
  s.fakeTicks = false;
  s.tick = 0;
  Timers().clear();
  Actions().clear();
}

void ExpectDialog(const std::string& templateName, DialogScript script) {
  S().queue.push_back(DialogExpectation{templateName, std::move(script)});
}

void AnswerDialog(const std::string& templateName, std::vector<std::pair<int, std::string>> texts,
                  int pressId) {
  ExpectDialog(templateName, [texts = std::move(texts), pressId](Dialog& d) {
    for (const auto& [id, text] : texts) d.SetItemText(id, text);
    d.Press(pressId);
  });
}

void ExpectMessageBox(int answer) { S().queue.push_back(MessageBoxExpectation{answer}); }
const std::vector<RecordedMessage>& Messages() { return S().messages; }
void ClearMessages() { S().messages.clear(); }

void ExpectFileDialog(std::optional<std::string> path) { S().queue.push_back(FileExpectation{std::move(path)}); }
const FileDialogRequest& LastFileDialogRequest() { return S().lastFileRequest; }
void ExpectFontDialog(std::optional<FontChoice> choice) { S().queue.push_back(FontExpectation{std::move(choice)}); }

void ExpectPrintDialog(std::optional<std::string> pdfPath) {
  S().queue.push_back(PrintExpectation{std::move(pdfPath)});
}

void ExpectPrinterSetup(bool ok) { S().queue.push_back(PrinterSetupExpectation{ok}); }

const std::vector<std::string>& DialogLog() { return S().log; }
const std::vector<std::string>& Failures() { return S().failures; }
int PendingExpectations() { return static_cast<int>(S().queue.size()); }

void FixScreenCaps(const DeviceCaps& caps) {
  S().capsFixed = true;
  S().caps = caps;
}

void FixClock(std::int64_t secondsSinceEpoch, const LocalTime& local) {
  S().clockFixed = true;
  S().seconds = secondsSinceEpoch;
  S().local = local;
}

void UnfixClock() { S().clockFixed = false; }

void DeleteDeferredObjects() {
  if (QCoreApplication::instance()) QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void FakeFrameDecorations(int left, int top, int right, int bottom) {
  int* d = S().decorations;
  d[0] = left;
  d[1] = top;
  d[2] = right;
  d[3] = bottom;
}

void FakeTicks(bool on) {
  S().fakeTicks = on;
  S().tick = 0;
  Timers().clear();
  Actions().clear();
}

void AdvanceTicks(int milliseconds) {
  auto& s = S();
  if (!s.fakeTicks) return;
  const std::int64_t target = s.tick + std::max(milliseconds, 0);
  // Timers and actions run in the order of their ticks; each may add more.
  for (;;) {
    std::int64_t next = target + 1;
    for (const FakeTimer& t : Timers()) next = std::min(next, t.due);
    for (const ScheduledAction& a : Actions()) next = std::min(next, a.tick);
    if (next > target) break;
    s.tick = std::max(s.tick, next);
    auto& actions = Actions();
    const auto due = std::find_if(actions.begin(), actions.end(), [next](const ScheduledAction& a) { return a.tick == next; });
    if (due != actions.end()) {
      std::function<void()> run = std::move(due->action);
      actions.erase(due);
      run();
      continue;
    }
    auto& timers = Timers();
    const auto t = std::find_if(timers.begin(), timers.end(), [next](const FakeTimer& f) { return f.due == next; });
    if (t == timers.end()) continue;
    t->due += t->period;
    Window* w = t->window;
    const unsigned id = t->id;
    DeliverTimer(w, id);
  }
  s.tick = target;
}

void AtTick(std::int64_t tick, std::function<void()> action) {
  Actions().push_back(ScheduledAction{tick, std::move(action)});
}

std::vector<std::string> AddDialogTemplates(const std::string& script) {
  res::ResourceSet parsed;
  res::ParseScript(script, "test", parsed);
  for (auto& [name, t] : parsed.dialogs) TestResources().dialogs[name] = std::move(t);
  return parsed.errors;
}

namespace internal {

bool FakedDecorations(int& left, int& top, int& right, int& bottom) {
  const int* d = S().decorations;
  if (d[0] == 0 && d[1] == 0 && d[2] == 0 && d[3] == 0) return false;
  left = d[0];
  top = d[1];
  right = d[2];
  bottom = d[3];
  return true;
}

bool PopDialogScript(const std::string& templateName, DialogScript& out) {
  auto& s = S();
  if (s.queue.empty() || !std::holds_alternative<DialogExpectation>(s.queue.front())) {
    s.failures.push_back("unexpected dialog " + templateName +
                         (s.queue.empty() ? std::string(" (nothing queued)")
                                          : std::string(" (expected ") + KindName(s.queue.front()) + ")"));
    return false;
  }
  auto e = std::get<DialogExpectation>(s.queue.front());
  if (!e.templateName.empty() && e.templateName != templateName) {
    s.failures.push_back("dialog " + templateName + " ran where " + e.templateName + " was expected");
    return false;
  }
  s.queue.pop_front();
  out = std::move(e.script);
  return true;
}

bool PopMessageBoxAnswer(int& answer) {
  auto& s = S();
  if (s.queue.empty() || !std::holds_alternative<MessageBoxExpectation>(s.queue.front())) return false;
  answer = std::get<MessageBoxExpectation>(s.queue.front()).answer;
  s.queue.pop_front();
  return true;
}

bool PopFileAnswer(std::optional<std::string>& out) {
  auto& s = S();
  if (s.queue.empty() || !std::holds_alternative<FileExpectation>(s.queue.front())) {
    s.failures.push_back(std::string("unexpected file dialog") +
                         (s.queue.empty() ? "" : std::string(" (expected ") + KindName(s.queue.front()) + ")"));
    return false;
  }
  out = std::get<FileExpectation>(s.queue.front()).path;
  s.queue.pop_front();
  return true;
}

bool PopFontAnswer(std::optional<FontChoice>& out) {
  auto& s = S();
  if (s.queue.empty() || !std::holds_alternative<FontExpectation>(s.queue.front())) {
    s.failures.push_back(std::string("unexpected font dialog") +
                         (s.queue.empty() ? "" : std::string(" (expected ") + KindName(s.queue.front()) + ")"));
    return false;
  }
  out = std::get<FontExpectation>(s.queue.front()).choice;
  s.queue.pop_front();
  return true;
}

bool PopPrintAnswer(std::optional<std::string>& out) {
  auto& s = S();
  if (s.queue.empty() || !std::holds_alternative<PrintExpectation>(s.queue.front())) {
    s.failures.push_back(std::string("unexpected print dialog") +
                         (s.queue.empty() ? "" : std::string(" (expected ") + KindName(s.queue.front()) + ")"));
    return false;
  }
  out = std::get<PrintExpectation>(s.queue.front()).pdfPath;
  s.queue.pop_front();
  return true;
}

bool PopPrinterSetupAnswer(bool& ok) {
  auto& s = S();
  if (s.queue.empty() || !std::holds_alternative<PrinterSetupExpectation>(s.queue.front())) {
    s.failures.push_back(std::string("unexpected printer set-up dialog") +
                         (s.queue.empty() ? "" : std::string(" (expected ") + KindName(s.queue.front()) + ")"));
    return false;
  }
  ok = std::get<PrinterSetupExpectation>(s.queue.front()).ok;
  s.queue.pop_front();
  return true;
}

void RecordMessage(const RecordedMessage& m) { S().messages.push_back(m); }
void RecordFileRequest(const FileDialogRequest& r) { S().lastFileRequest = r; }
void RecordFailure(const std::string& what) { S().failures.push_back(what); }
void LogDialog(const std::string& name) {
  if (S().on) S().log.push_back(name);
}
const DeviceCaps* FixedScreenCaps() { return S().capsFixed ? &S().caps : nullptr; }

bool FakeTicksOn() { return S().fakeTicks; }
std::int64_t FakeTickNow() { return S().tick; }

void SetFakeTimer(Window* w, unsigned id, int milliseconds) {
  KillFakeTimer(w, id);
  const int period = std::max(milliseconds, 1);
  Timers().push_back(FakeTimer{w, id, period, S().tick + period});
}

void KillFakeTimer(Window* w, unsigned id) {
  auto& t = Timers();
  t.erase(std::remove_if(t.begin(), t.end(), [w, id](const FakeTimer& f) { return f.window == w && f.id == id; }),
          t.end());
}

void ForgetFakeTimers(Window* w) {
  auto& t = Timers();
  t.erase(std::remove_if(t.begin(), t.end(), [w](const FakeTimer& f) { return f.window == w; }), t.end());
}

const res::DialogTemplate* FindTestDialog(const std::string& name) {
  std::string upper = name;
  for (char& c : upper)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
  const auto it = TestResources().dialogs.find(upper);
  return it == TestResources().dialogs.end() ? nullptr : &it->second;
}

bool ClockFixed(std::int64_t& seconds, LocalTime& local) {
  if (!S().clockFixed) return false;
  seconds = S().seconds;
  local = S().local;
  return true;
}

}  // namespace internal
}  // namespace plat::testing
