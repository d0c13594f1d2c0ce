#include "display_test.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>

#include "support/temp_dir.h"

namespace kvdisplay {

XSession& Screen() {
  // Ended at exit: the X server and the window manager go with the process.
  static XSession session;
  return session;
}

bool Eventually(const std::function<bool()>& condition, int ms) { return WithinMs(condition, Patient(ms)); }

bool WithinMs(const std::function<bool()>& condition, int ms) {
  const std::int64_t end = NowMs() + ms;
  for (;;) {
    if (condition()) return true;
    if (NowMs() >= end) return false;
    Pause(20);
  }
}

bool WithinMsOf(std::int64_t since, const std::function<bool()>& condition, int ms) {
  for (;;) {
    if (NowMs() >= since + ms) return false;
    if (condition()) return true;
    Pause(20);
  }
}

std::string FixturePath(const std::string& name) { return std::string(KURVATO_FIXTURES) + "/" + name; }

std::string FixtureCopy(const std::string& name) {
  const std::string dir = kvtest::MakeTempDir("fixture");
  std::filesystem::copy_file(FixturePath(name), dir + name);
  return dir + name;
}

void DisplayTest::SetUp() {
  ASSERT_TRUE(Screen().Ok()) << "no X server with a window manager that manages windows. " << Screen().Describe();
}

void DisplayTest::TearDown() {
  // $KURVATO_DISPLAY_KEEP keeps them for a test that passed too.
  if (program_ && (HasFailure() || std::getenv("KURVATO_DISPLAY_KEEP"))) KeepFailure();
  program_.reset();
}

void DisplayTest::KeepFailure() {
  // What the screen showed when the test failed, and the event log, kept
  // beside the build for a look afterwards; a program the test started
  // again after the failure keeps its own pair (".2", ...).
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  const std::string dir = std::string(KURVATO_DISPLAY_OUT) + "/";
  std::filesystem::create_directories(dir);
  // Parameterised tests have '/' in their names: one file per test, in the
  // folder itself.
  std::string name = std::string(info->test_suite_name()) + "." + info->name();
  for (char& c : name)
    if (c == '/') c = '_';
  const std::string base = dir + name + (kept_ > 0 ? "." + std::to_string(kept_ + 1) : "");
  ++kept_;
  Screen().CaptureScreen(Rect{0, 0, 1280, 1024}).WritePpm(base + ".ppm");
  std::error_code ec;
  std::filesystem::copy_file(program_->Log().path(), base + ".log", std::filesystem::copy_options::overwrite_existing,
                             ec);
  std::fprintf(stderr, "screen and event log at failure: %s.ppm, %s.log\n", base.c_str(), base.c_str());
}

Program& DisplayTest::Start(const std::vector<std::string>& args) {
  // A failure with the program before is kept before it goes.
  if (program_ && HasFailure() && kept_ == 0) KeepFailure();
  program_.reset();
  program_ = std::make_unique<Program>(Screen(), args);
  EXPECT_TRUE(program_->Ready()) << "the program did not start: " << program_->NotReady() << "\n"
                                << Screen().Describe();
  return *program_;
}

bool DisplayTest::FilePainted(int ms) {
  const int open = program_->Log().WaitFor("open ", 0, ms);
  return open >= 0 && program_->Log().WaitFor("idle", static_cast<std::size_t>(open), ms) >= 0;
}

TopWindow DisplayTest::Frame() { return Window("Kurvato"); }

TopWindow DisplayTest::Window(const std::string& caption, int ms) {
  TopWindow w = Screen().WaitFor(caption, ms, true, false);
  EXPECT_NE(w.id, 0u) << "no window " << caption << ". " << Screen().Describe();
  if (w.id) {
    Screen().Activate(w.id);
    program_->WaitMenuBar(w.id, 2000);
  }
  return w;
}

void DisplayTest::ClickRow(const LoggedDialog& d, int list, int row) {
  const LoggedControl* c = d.Find(list);
  ASSERT_NE(c, nullptr) << "the dialog " << d.templateName << " has no list " << list;
  // A text line is as high as the dialog's one-line statics want to be.
  int line = 0;
  for (const LoggedControl& s : d.controls)
    if (s.kind == "static" && !s.text.empty() && s.hintH > 0) line = line ? std::min(line, s.hintH) : s.hintH;
  if (line == 0) line = 14;
  int x = c->rect.x + 30, y = c->rect.y + 1 + row * line + line / 2;
  Screen().ToScreen(d.window, x, y);
  Screen().Click(x, y);
  EXPECT_TRUE(program_->WaitSelection(d.window, list, std::to_string(row), 3000))
      << "row " << row << " of list " << list << " in " << d.templateName << " was not selected: "
      << program_->Selection(d.window, list);
}

void DisplayTest::Menu(const TopWindow& w, int id) {
  const std::size_t from = program_->Log().Size();
  const Invoked r = program_->Command(w.id, id);
  EXPECT_EQ(r, Invoked::Done) << "command " << id << " in " << w.caption << ": " << InvokedName(r);
  if (r != Invoked::Done) return;
  // The click must reach the command, at once: the program logs its start.
  bool refused = false;
  const int started = program_->WaitCommand(w.id, id, from, 3000, &refused);
  EXPECT_TRUE(started >= 0 && !refused) << "command " << id << " in " << w.caption << ": "
                                        << (refused ? "refused by its enabler" : "the click did not reach it");
}

TopWindow DisplayTest::New2D() {
  const TopWindow frame = Frame();
  Menu(frame, 402);  // "&2-dim"
  return Window("Unbenannt");
}

bool DisplayTest::MessageSince(std::size_t from, const std::string& text, int ms) {
  return program_->Log().WaitFor("message " + text, from, ms) >= 0;
}

std::vector<std::string> DisplayTest::Messages(std::size_t from) {
  std::vector<std::string> m;
  const auto& lines = program_->Log().Lines();
  for (std::size_t i = from; i < lines.size(); ++i)
    if (lines[i].rfind("message ", 0) == 0) m.push_back(lines[i].substr(8));
  return m;
}

std::optional<LoggedDialog> DisplayTest::AwaitDialog(const std::string& templateName, std::size_t from) {
  auto d = program_->WaitDialog(templateName, from, 3000);
  if (d) Settled(d->window);
  return d;
}

LoggedDialog DisplayTest::OpenDialog(const TopWindow& w, int command, const std::string& templateName) {
  Screen().Activate(w.id);
  const std::size_t from = program_->Log().Size();
  Menu(w, command);
  auto d = AwaitDialog(templateName, from);
  EXPECT_TRUE(d) << templateName << " did not appear";
  return d ? *d : LoggedDialog{};
}

void DisplayTest::FillAndEnter(const LoggedDialog& d, const std::vector<std::pair<int, std::string>>& fields) {
  for (const auto& [id, text] : fields) program_->SetText(d, id, text);
  Screen().Key("Return");
  EXPECT_TRUE(Screen().WaitGone(d.window, Patient(3000))) << d.templateName << " did not close";
}

void DisplayTest::EnterByKey(const TopWindow& w, const std::string& key, const std::string& templateName,
                             const std::vector<std::pair<int, std::string>>& fields) {
  ASSERT_TRUE(Screen().Activate(w.id));
  const std::size_t from = program_->Log().Size();
  Screen().Key(key);
  const auto d = AwaitDialog(templateName, from);
  ASSERT_TRUE(d) << templateName << " did not appear";
  FillAndEnter(*d, fields);
}

void DisplayTest::EnterByCommand(const TopWindow& w, int command, const std::string& templateName,
                                 const std::vector<std::pair<int, std::string>>& fields) {
  const LoggedDialog d = OpenDialog(w, command, templateName);
  if (d.window) FillAndEnter(d, fields);
}

double DisplayTest::Number(const std::string& text) {
  try {
    return std::stod(text);
  } catch (...) {
    return NAN;
  }
}

Image DisplayTest::PlotPicture(const TopWindow& w, bool settle) {
  if (settle) Settled(w.id, 250, 5000);
  Rect part = Screen().Geometry(w.id);
  part.x = part.y = 0;
  if (auto bar = program_->MenuBar(w.id))
    for (const LoggedItem& e : bar->entries) part.y = std::max(part.y, e.rect.y + e.rect.h);
  part.h -= part.y;
  return Screen().Capture(w.id, part);
}

bool DisplayTest::ChooseInFileDialog(const std::string& caption, const std::string& path) {
  const TopWindow dialog = Screen().WaitFor(caption, 5000);
  if (!dialog.id) return false;
  // Typed once: a dialog that loses what was typed is a fault to find.
  Screen().Activate(dialog.id);
  if (!TypeIntoFileDialog(dialog.id, path)) return false;
  Screen().Key("Return");
  return Screen().WaitGone(dialog.id, 5000);
}

bool DisplayTest::TypeIntoFileDialog(unsigned long dialog, const std::string& path) {
  const std::string holds = program_->TypeIntoFileDialog(dialog, path);
  EXPECT_EQ(holds, path) << "the file dialog's name field after typing the path";
  return holds == path;
}

void DisplayTest::Confirm(const std::string& caption) {
  const TopWindow box = Screen().WaitFor(caption, 3000, false, false);
  ASSERT_NE(box.id, 0u) << "no message box " << caption << ". " << Screen().Describe();
  Screen().Activate(box.id);
  Screen().Key("Return");
  EXPECT_TRUE(Screen().WaitGone(box.id, 3000));
}

}  // namespace kvdisplay
