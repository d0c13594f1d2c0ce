// Two real processes: a second start hands its file name to the running
// instance and exits.
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <fstream>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <fcntl.h>
#include <sched.h>
#include <sys/file.h>
#include <sys/mount.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include "app/window_registry.h"
#include "core/binary_stream.h"
#include "platform/app.h"
#include "shell/file_msg_win.h"
#include "shell/plot_frame.h"
#include "support/child_process.h"
#include "support/program_process.h"
#include "support/test_env.h"

namespace {

pid_t Start(const std::string& home, const std::string& log, const std::vector<std::string>& args) {
  return kvtest::StartProgram(home, log, args);
}

using kvtest::ReadAll;
using kvtest::WaitExit;
using kvtest::WaitFor;

// A plot file of an empty 2D (or 3D) window, written by the program's own
// window.
bool WriteEmptyPlotFile(const std::string& path, bool threeD = false) {
  kv::RegisterWindowCreators();
  auto* frame = new kv::TPlotFrame(nullptr, "Kurvato");
  if (!frame->Create()) return false;
  kv::TFileMsgWin* w = threeD ? frame->New3DWindow("") : frame->New2DWindow("");
  bool ok = w != nullptr;
  if (ok) {
    w->FileData.FileName = path;
    ok = w->WriteFile();
  }
  frame->Destroy();
  plat::App::DeleteDestroyedWindows();
  return ok;
}

// Puts an empty plot file of the kind its extension names at `path` and
// gives the path: the running instance opens it without a message, so a
// second start that hands it over returns as soon as it is open.
std::string PlotFile(const std::string& path) {
  const bool threeD = path.size() >= 4 && path.compare(path.size() - 4, 4, ".kv3") == 0;
  static std::vector<std::uint8_t> bytes[2];
  std::vector<std::uint8_t>& b = bytes[threeD ? 1 : 0];
  if (b.empty()) {
    const std::string scratch = kvtest::MakeTempDir("empty-plot") + (threeD ? "e.kv3" : "e.kv2");
    EXPECT_TRUE(WriteEmptyPlotFile(scratch, threeD));
    EXPECT_TRUE(kv::ReadWholeFile(scratch, b));
  }
  EXPECT_TRUE(kv::WriteFileAtomically(path, b)) << path;
  return path;
}

// The hand-off runs from a copy of the program below /tmp, in a folder
// whose name holds a blank: where the build lies must not matter, also to
// a start whose /tmp is another folder.
class HandOff : public testing::Test {
 protected:
  static void SetUpTestSuite() { elsewhere_.emplace(); }
  static void TearDownTestSuite() { elsewhere_.reset(); }
  void SetUp() override { ASSERT_TRUE(elsewhere_->Ok()) << elsewhere_->Error(); }
  static inline std::optional<kvtest::ProgramElsewhere> elsewhere_;
};

TEST_F(HandOff, SecondStartHandsItsFileToTheFirstAndExits) {
  std::string home = kvtest::MakeTempDir("handoff-home");
  std::string firstLog = home + "first.log";
  std::string secondLog = home + "second.log";
  pid_t first = Start(home, firstLog, {});
  ASSERT_TRUE(WaitFor(firstLog, "ready", 20000)) << "first instance did not start";

  // A path with blanks given as two arguments is joined with one blank.
  PlotFile(home + "my curve.kv3");
  pid_t second = Start(home, secondLog, {home + "my", "curve.kv3"});
  EXPECT_EQ(WaitExit(second, 20000), 0);
  EXPECT_TRUE(WaitFor(firstLog, "open Unbenannt1.kv3|" + home + "my curve.kv3", 5000)) << ReadAll(firstLog);
  EXPECT_EQ(ReadAll(secondLog), "") << "the second start made no frame";

  // A one-character argument only brings the first instance to the front.
  pid_t third = Start(home, secondLog, {"x"});
  EXPECT_EQ(WaitExit(third, 20000), 0);
  pid_t fourth = Start(home, secondLog, {PlotFile(home + "b.kv2")});
  EXPECT_EQ(WaitExit(fourth, 20000), 0);
  ASSERT_TRUE(WaitFor(firstLog, "open Unbenannt1.kv2|", 5000));
  std::string log = ReadAll(firstLog);
  EXPECT_EQ(log.find("|x"), std::string::npos) << log;

  // A start returns once the instance has handled its file: while the
  // instance says that the file does not open, the start still waits.
  const pid_t fifth = Start(home, secondLog, {home + "missing.kv2"});
  ASSERT_TRUE(WaitFor(firstLog, "message ", 20000)) << ReadAll(firstLog);
  EXPECT_EQ(WaitExit(fifth, 1000), -1) << "waits while its file is being opened";
  kill(first, SIGTERM);
  WaitExit(first, 5000);
  EXPECT_EQ(WaitExit(fifth, 5000), 0) << "the file was taken";
}

// A file name may hold a newline or bytes that are not UTF-8; the running
// instance gets exactly that name (the event log writes a newline as "\n").
TEST_F(HandOff, NamesWithANewlineOrForeignBytesArriveWhole) {
  const std::string home = kvtest::MakeTempDir("handoff-bytes");
  const std::string firstLog = home + "first.log";
  const std::string secondLog = home + "second.log";
  const pid_t first = Start(home, firstLog, {});
  ASSERT_TRUE(WaitFor(firstLog, "ready", 20000)) << "first instance did not start";
  const pid_t second = Start(home, secondLog, {PlotFile(home + "a\nb.kv2")});
  EXPECT_EQ(WaitExit(second, 20000), 0);
  EXPECT_TRUE(WaitFor(firstLog, "open Unbenannt1.kv2|" + home + "a\\nb.kv2\n", 5000)) << ReadAll(firstLog);
  const pid_t third = Start(home, secondLog, {PlotFile(home + "\xff\xfe\x80.kv2")});
  EXPECT_EQ(WaitExit(third, 20000), 0);
  EXPECT_TRUE(WaitFor(firstLog, "open Unbenannt2.kv2|" + home + "\xff\xfe\x80.kv2\n", 5000)) << ReadAll(firstLog);
  EXPECT_EQ(ReadAll(secondLog), "") << "no second instance";
  kvtest::StopProgram(first);
}

bool Exists(const std::string& path) { return ::access(path.c_str(), F_OK) == 0; }

// A relative file name means the folder the second start was started in:
// the running instance, started elsewhere, opens that file and not one of
// the same name in its own folder, nor one whose name begins the same.
TEST_F(HandOff, ARelativeNameMeansTheSecondStartsFolder) {
  const std::string home = kvtest::MakeTempDir("relative-home");
  const std::string there = kvtest::MakeTempDir("relative-first");
  const std::string here = kvtest::MakeTempDir("relative-second");
  ASSERT_TRUE(kv::WriteFileAtomically(there + "rel.kv2", {'n', 'o', ' ', 'p', 'l', 'o', 't'}));
  ASSERT_TRUE(WriteEmptyPlotFile(here + "rel.kv2"));
  const std::string firstLog = home + "first.log";
  const std::string secondLog = home + "second.log";
  const pid_t first = kvtest::StartProgram(home, firstLog, {}, {}, 0, there);
  ASSERT_TRUE(WaitFor(firstLog, "ready", 20000)) << ReadAll(firstLog);

  const pid_t second = kvtest::StartProgram(home, secondLog, {"rel.kv2"}, {}, 0, here);
  EXPECT_EQ(WaitExit(second, 20000), 0);
  EXPECT_TRUE(WaitFor(firstLog, "open Unbenannt1.kv2|" + here + "rel.kv2\n", 5000)) << ReadAll(firstLog);
  // "./" and "../" are taken as they stand.
  const pid_t third = kvtest::StartProgram(home, secondLog, {"../relative-second/./rel.kv2"}, {}, 0, there);
  EXPECT_EQ(WaitExit(third, 20000), 0);
  EXPECT_TRUE(WaitFor(firstLog, "open Unbenannt2.kv2|" + there + "../relative-second/./rel.kv2\n", 5000))
      << ReadAll(firstLog);
  // From a folder so deep that the absolute name is longer than 255 bytes,
  // the name goes whole: never a shorter name it begins with.
  const std::pair<std::size_t, std::string> deepCases[] = {{249, "a.kv2zzz.kv2"}, {220, std::string(40, 'b') + ".kv2"}};
  int window = 3;
  for (const auto& [folderBytes, name] : deepCases) {
    SCOPED_TRACE(name);
    // A folder for each case: the program logs "open" before it reads the file.
    const std::string top = kvtest::MakeTempDir("relative-deep" + std::to_string(window));
    const std::string deep = top + std::string(folderBytes - top.size(), 'd') + "/";
    ASSERT_EQ(::mkdir(deep.c_str(), 0755), 0);
    ASSERT_TRUE(kv::WriteFileAtomically(deep + "a.kv2", {'n', 'o', ' ', 'p', 'l', 'o', 't'}));
    ASSERT_TRUE(WriteEmptyPlotFile(deep + name));
    const pid_t start = kvtest::StartProgram(home, secondLog, {name}, {}, 0, deep);
    EXPECT_EQ(WaitExit(start, 20000), 0);
    EXPECT_TRUE(WaitFor(firstLog, "open Unbenannt" + std::to_string(window++) + ".kv2|" + deep + name + "\n", 5000))
        << ReadAll(firstLog);
  }
  kvtest::StopProgram(first);  // after the file it reads: its log is whole
  // All opened without a message: none was another file.
  EXPECT_EQ(ReadAll(firstLog).find("message "), std::string::npos) << ReadAll(firstLog);
  EXPECT_EQ(ReadAll(secondLog), "");
}

// SIGTERM (a desktop logging out), SIGHUP (a closed terminal) and SIGINT
// (Ctrl+C in the terminal) write the settings files as a normal exit does
// and remove the socket, also while a message waits for an answer.
TEST(Termination, SigtermSighupAndSigintWriteTheSettingsAndRemoveTheSocket) {
  for (const int signal : {SIGTERM, SIGHUP, SIGINT}) {
    for (const bool withMessage : {false, true}) {
      SCOPED_TRACE(std::string(strsignal(signal)) + (withMessage ? ", a message box is open" : ", idle"));
      const std::string home = kvtest::MakeTempDir("sigterm-home");
      const std::string log = home + "events.log";
      std::vector<std::string> args;
      if (withMessage) args.push_back(home + "missing.kv2");
      const pid_t program = Start(home, log, args);
      ASSERT_TRUE(WaitFor(log, withMessage ? "message " : "ready", 20000)) << ReadAll(log);
      const std::string socket = kvtest::LoggedValue(log, "listening");
      ASSERT_FALSE(socket.empty());
      EXPECT_TRUE(Exists(socket));
      EXPECT_FALSE(Exists(home + "kv.ini"));
      kill(program, signal);
      EXPECT_EQ(WaitExit(program, 10000), -2) << "ended by the signal";
      EXPECT_EQ(ReadAll(home + "kv.ini").size(), 19u);
      if (withMessage) {
        EXPECT_TRUE(Exists(home + "kv2.ini"));
      }
      EXPECT_FALSE(Exists(socket));
    }
  }
}

// The variable for the duration of a test: set to `value`, or unset when
// null.
class ScopedVariable {
 public:
  ScopedVariable(const char* name, const char* value) : name_(name) {
    const char* old = std::getenv(name);
    if (old) old_ = old;
    had_ = old != nullptr;
    if (value)
      setenv(name, value, 1);
    else
      unsetenv(name);
  }
  ~ScopedVariable() {
    if (had_)
      setenv(name_.c_str(), old_.c_str(), 1);
    else
      unsetenv(name_.c_str());
  }

 private:
  std::string name_, old_;
  bool had_ = false;
};

std::string PrivateFolder(const std::string& name) {
  const std::string dir = kvtest::MakeTempDir(name);
  ::chmod(dir.c_str(), 0700);
  return dir;
}

// The socket lives where only the user may write: in $XDG_RUNTIME_DIR, else
// in the settings folder, also one too deep for a socket's name (it is bound
// through the open folder), else (a settings folder that others may write
// into) in a private temporary folder.  A second start finds it through the
// lock, also when its own $XDG_RUNTIME_DIR differs (a start over ssh, su or
// from a script).
TEST_F(HandOff, TheSocketLivesInAFolderOfTheUsersOwn) {
  const std::string runtime = PrivateFolder("socket-runtime");
  const std::string shallow = PrivateFolder("socket-home");
  const std::string deep = PrivateFolder("socket-deep/" + std::string(90, 'd'));
  const std::string open = kvtest::MakeTempDir("socket-open");
  ::chmod(open.c_str(), 0777);
  const std::string own = "/tmp/kurvato-" + std::to_string(::getuid()) + "/";
  const std::string otherRuntime = PrivateFolder("socket-runtime-2");
  struct Case {
    const char* runtime;
    std::string home;
    std::string folder;  // where the socket is
    const char* secondRuntime;  // the second start's, where it differs
    bool differs;
  };
  const Case cases[] = {
      {runtime.c_str(), shallow, runtime, nullptr, false},
      {nullptr, shallow, shallow, nullptr, false},
      {nullptr, deep, deep, nullptr, false},
      {nullptr, open, own, nullptr, false},
      {"relative/run", shallow, shallow, nullptr, false},
      {open.c_str(), shallow, shallow, nullptr, false},
      {runtime.c_str(), shallow, runtime, nullptr, true},
      {runtime.c_str(), shallow, runtime, otherRuntime.c_str(), true},
      {nullptr, shallow, shallow, runtime.c_str(), true},
  };
  ScopedVariable noTemp("TMPDIR", nullptr);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.home + " with " + (c.runtime ? c.runtime : "no runtime folder") +
                 (c.differs ? std::string(", the second start with ") +
                                  (c.secondRuntime ? c.secondRuntime : "no runtime folder")
                            : std::string()));
    ScopedVariable variable("XDG_RUNTIME_DIR", c.runtime);
    const std::string log = shallow + "events.log";
    ::unlink(log.c_str());
    const pid_t first = Start(c.home, log, {});
    ASSERT_TRUE(WaitFor(log, "ready", 20000)) << ReadAll(log);
    const std::string socket = kvtest::LoggedValue(log, "listening");
    EXPECT_EQ(socket.substr(0, c.folder.size()), c.folder);
    EXPECT_EQ(socket.find('/', c.folder.size()), std::string::npos) << socket;
    EXPECT_TRUE(Exists(socket)) << socket;
    const auto secondEnvironment = [&c] {
      if (!c.differs) return true;
      return c.secondRuntime ? ::setenv("XDG_RUNTIME_DIR", c.secondRuntime, 1) == 0
                             : ::unsetenv("XDG_RUNTIME_DIR") == 0;
    };
    const pid_t second =
        kvtest::StartProgram(c.home, log + ".2", {PlotFile(c.home + "a.kv2")}, {}, 0, "", secondEnvironment);
    const int code = WaitExit(second, 20000);
    if (code == -1) kvtest::StopProgram(second);
    EXPECT_EQ(code, 0);
    EXPECT_TRUE(WaitFor(log, "open Unbenannt1.kv2|" + c.home + "a.kv2", 5000)) << ReadAll(log);
    kvtest::StopProgram(first);
    EXPECT_FALSE(Exists(socket));
  }
}

// The settings folder reached by other spellings of its name (a doubled or
// trailing slash, a link), with the socket in the runtime folder: every
// start finds the one instance.  Something that is not a socket at the
// socket's name (a folder, a file, a FIFO, a link) is left as it is: the
// instance says on stderr that it cannot listen, and then a second start
// opens its file itself at once.
TEST_F(HandOff, EverySpellingOfTheFolderReachesTheInstanceAndNoFileIsLost) {
  const std::string runtime = PrivateFolder("spelling-runtime"), base = PrivateFolder("spelling");
  const std::string home = base + "cfg", log = base + "first.log";
  ASSERT_TRUE(::mkdir(home.c_str(), 0700) == 0 && ::symlink(home.c_str(), (base + "link").c_str()) == 0);
  ScopedVariable variable("XDG_RUNTIME_DIR", runtime.c_str());
  const pid_t first = Start(home, log, {});
  ASSERT_TRUE(WaitFor(log, "ready", 20000)) << ReadAll(log);
  const std::string socket = kvtest::LoggedValue(log, "listening");
  ASSERT_EQ(socket.rfind(runtime, 0), 0u) << socket;
  int window = 0;
  for (const std::string& spelling : {base + "/cfg", home + "/", base + "link"}) {
    SCOPED_TRACE(spelling);
    const std::string file = PlotFile(base + std::to_string(++window) + ".kv2");
    const pid_t second = Start(spelling, base + "second.log", {file});
    const int code = WaitExit(second, 20000);
    EXPECT_EQ(code, 0);
    if (code == -1) kvtest::StopProgram(second);
    EXPECT_TRUE(WaitFor(log, "open Unbenannt" + std::to_string(window) + ".kv2|" + file, 5000)) << ReadAll(log);
  }
  kvtest::StopProgram(first);
  EXPECT_EQ(ReadAll(base + "second.log"), "") << "no second instance";

  const auto errorsTo = [](const std::string& path) {
    return [path] {
      const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
      return fd >= 0 && ::dup2(fd, 2) == 2;
    };
  };
  const std::string target = PrivateFolder("spelling-target") + "kept.txt";
  ASSERT_TRUE(kv::WriteFileAtomically(target, {'k'}));
  const struct {
    const char* what;
    std::function<bool(const std::string&)> plant;
  } planted[] = {
      {"a folder", [](const std::string& at) { return ::mkdir(at.c_str(), 0700) == 0; }},
      {"a file", [](const std::string& at) { return kv::WriteFileAtomically(at, {'x'}); }},
      {"a FIFO", [](const std::string& at) { return ::mkfifo(at.c_str(), 0600) == 0; }},
      {"a link", [&target](const std::string& at) { return ::symlink(target.c_str(), at.c_str()) == 0; }},
  };
  for (const auto& p : planted) {
    SCOPED_TRACE(std::string(p.what) + " at the socket's name");
    const std::string out = PrivateFolder("spelling-planted"), file = out + "a.kv2";
    ASSERT_TRUE(p.plant(socket));
    struct stat before {};
    ASSERT_EQ(::lstat(socket.c_str(), &before), 0);
    const pid_t instance = kvtest::StartProgram(home, out + "first", {}, {}, 0, "", errorsTo(out + "first.err"));
    ASSERT_TRUE(WaitFor(out + "first", "ready", 20000)) << ReadAll(out + "first");
    EXPECT_TRUE(WaitFor(out + "first.err", "cannot listen for later starts at " + socket, 5000))
        << ReadAll(out + "first.err");
    const pid_t second = kvtest::StartProgram(home, out + "second", {file}, {}, 0, "", errorsTo(out + "second.err"));
    EXPECT_TRUE(WaitFor(out + "second", "open Unbenannt1.kv2|" + file, 20000)) << ReadAll(out + "second.err");
    struct stat after {};
    EXPECT_EQ(::lstat(socket.c_str(), &after), 0);
    EXPECT_EQ(after.st_ino, before.st_ino) << "left as it was";
    kvtest::StopProgram(second);
    kvtest::StopProgram(instance);
    std::filesystem::remove_all(socket);
  }
  EXPECT_EQ(ReadAll(target), "k");
}

// A settings folder everyone may write into, holding another user's links
// to a plot file as the settings files and a held lock, is passed over: the
// program starts at once, keeps its settings in a private folder and leaves
// the plot file as it was.
TEST_F(HandOff, ASettingsFolderOthersMayWriteIntoIsPassedOver) {
  {  // So is one of the user's own below a folder anyone may write into (not sticky).
    const std::string open = kvtest::MakeTempDir("settings-open-above"), home = open + "h/";
    ASSERT_TRUE(::chmod(open.c_str(), 0777) == 0 && ::mkdir(home.c_str(), 0700) == 0);
    const std::string temp = PrivateFolder("settings-open-temp"), log = temp + "events.log";
    const pid_t program = kvtest::StartProgram(home, log, {}, {{"TMPDIR", temp}});
    ASSERT_TRUE(WaitFor(log, "ready", 20000)) << ReadAll(log);
    kvtest::StopProgram(program);
    EXPECT_TRUE(std::filesystem::is_empty(home)) << "nothing of the program's in the folder";
    EXPECT_EQ(ReadAll(temp + "kurvato-" + std::to_string(::getuid()) + "/kv.ini").size(), 19u);
  }
  {  // One trusted at the start stays the folder written into when the folder above it turns
     // writable by others and it is moved away and replaced by a link: the settings go into
     // the moved folder, and the socket goes with the program.
    const std::string above = kvtest::MakeTempDir("settings-moved"), home = above + "h";
    const std::string elsewhere = above + "elsewhere/", log = above + "events.log";
    ASSERT_TRUE(::mkdir(home.c_str(), 0700) == 0 && ::mkdir(elsewhere.c_str(), 0700) == 0);
    ScopedVariable noRuntime("XDG_RUNTIME_DIR", nullptr);
    const pid_t program = kvtest::StartProgram(home + "/", log, {});
    ASSERT_TRUE(WaitFor(log, "ready", 20000)) << ReadAll(log);
    EXPECT_TRUE(::chmod(above.c_str(), 0777) == 0 && ::rename(home.c_str(), (above + "moved").c_str()) == 0 &&
                ::symlink(elsewhere.c_str(), home.c_str()) == 0);
    kvtest::StopProgram(program);
    EXPECT_EQ(ReadAll(above + "moved/kv.ini").size(), 19u);
    EXPECT_FALSE(Exists(above + "moved/kurvato.socket"));
    EXPECT_TRUE(std::filesystem::is_empty(elsewhere)) << "written through the link";
  }
  if (::geteuid() != 0) GTEST_SKIP() << "acting as another user needs root";
  for (const bool lockHeld : {false, true}) {
    SCOPED_TRACE(lockHeld ? "links and a held lock" : "links");
    const std::string shared = kvtest::MakeTempDir("settings-shared");
    ASSERT_EQ(::chmod(shared.c_str(), 01777), 0);
    const std::string temp = PrivateFolder("settings-temp");
    const std::string plot = temp + "plot.kv2";
    const std::vector<std::uint8_t> bytes(9888, 7);
    ASSERT_TRUE(kv::WriteFileAtomically(plot, bytes));
    for (const char* name : {"kv.ini", "kv2.ini", "kv3.ini"}) {
      ASSERT_EQ(::symlink(plot.c_str(), (shared + name).c_str()), 0);
      ASSERT_EQ(::lchown((shared + name).c_str(), 65534, 65534), 0);
    }
    const int lock = ::open((shared + "kurvato.lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    ASSERT_EQ(::fchown(lock, 65534, 65534), 0);
    if (lockHeld) {
      ASSERT_EQ(::flock(lock, LOCK_EX), 0);
    }
    const std::string log = temp + "events.log";
    const pid_t program = kvtest::StartProgram(shared, log, {temp + "missing.kv2"}, {{"TMPDIR", temp}});
    EXPECT_TRUE(WaitFor(log, "message ", 20000)) << "no window: the start waits for the other user's lock";
    kvtest::StopProgram(program);
    ::close(lock);
    std::vector<std::uint8_t> back;
    EXPECT_TRUE(kv::ReadWholeFile(plot, back));
    EXPECT_EQ(back, bytes) << "the plot file is as it was";
    const std::string own = temp + "kurvato-" + std::to_string(::getuid()) + "/";
    EXPECT_EQ(ReadAll(own + "kv.ini").size(), 19u);
    EXPECT_TRUE(Exists(own + "kv2.ini"));
  }
}

// With another user's private temporary folders in $TMPDIR and /tmp and no
// runtime folder, a settings folder with a name too deep for a socket or passed
// over still makes one instance, and leaves no folder in $TMPDIR but the other
// user's and its own.
TEST_F(HandOff, APrivateTemporaryFolderOfAnotherUserStillMakesOneInstance) {
  if (::geteuid() != 0) GTEST_SKIP() << "acting as another user needs root";
  if (kvtest::RunInChild([] { return ::unshare(CLONE_NEWNS) == 0; }) != 1)
    GTEST_SKIP() << "another user's folder in /tmp needs a mount table of a child's own";
  const std::string uid = std::to_string(::getuid());
  const std::string ownInTmp = "/tmp/kurvato-" + uid;
  ::mkdir(ownInTmp.c_str(), 0700);  // where the other user's folder is mounted
  const std::string deep = PrivateFolder("foreign-temp-deep/" + std::string(90, 'd'));
  const std::string open = kvtest::MakeTempDir("foreign-temp-open");
  ASSERT_EQ(::chmod(open.c_str(), 0777), 0);
  const std::pair<std::string, std::set<std::string>> cases[] = {
      {deep, {"kurvato-" + uid}}, {open, {"kurvato-" + uid, "kurvato-" + uid + "-1"}}};
  ScopedVariable noRuntime("XDG_RUNTIME_DIR", nullptr);
  for (const auto& [home, left] : cases) {
    SCOPED_TRACE(home);
    const std::string temp = PrivateFolder("foreign-temp"), foreign = temp + "kurvato-" + uid;
    ASSERT_TRUE(::mkdir(foreign.c_str(), 0700) == 0 && ::chown(foreign.c_str(), 65534, 65534) == 0);
    const auto foreignInTmp = [&] {
      return ::unshare(CLONE_NEWNS) == 0 && ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0 &&
             ::mount(foreign.c_str(), ownInTmp.c_str(), nullptr, MS_BIND, nullptr) == 0;
    };
    const pid_t first = kvtest::StartProgram(home, temp + "first", {}, {{"TMPDIR", temp}}, 0, "", foreignInTmp);
    ASSERT_TRUE(WaitFor(temp + "first", "ready", 20000)) << ReadAll(temp + "first");
    const pid_t second =
        kvtest::StartProgram(home, temp + "second", {PlotFile(home + "a.kv2")}, {{"TMPDIR", temp}}, 0, "", foreignInTmp);
    const int code = WaitExit(second, 20000);
    EXPECT_EQ(code, 0);
    EXPECT_TRUE(WaitFor(temp + "first", "open Unbenannt1.kv2|" + home + "a.kv2", 5000)) << ReadAll(temp + "first");
    EXPECT_EQ(ReadAll(temp + "second"), "");
    if (code == -1) kvtest::StopProgram(second);
    kvtest::StopProgram(first);
    std::set<std::string> found;
    for (const auto& entry : std::filesystem::directory_iterator(temp))
      if (entry.path().filename().string().rfind("kurvato-", 0) == 0) found.insert(entry.path().filename());
    EXPECT_EQ(found, left);
  }

  // All ten names taken in /tmp (the only temporary folder): no private folder can be had.  With the
  // settings folder passed over there is no lock and no socket; with a trusted one too deep for a
  // socket's name and no /proc to reach it through its open folder there is no socket.  Each start
  // says so on stderr, and a second start opens its file itself.
  const std::string taken = PrivateFolder("all-taken"), root = kvtest::TempRoot();
  for (int k = 0; k < 10; ++k) {
    const std::string name = taken + "kurvato-" + uid + (k ? "-" + std::to_string(k) : "");
    ASSERT_TRUE(::mkdir(name.c_str(), 0700) == 0 && ::chown(name.c_str(), 65534, 65534) == 0);
  }
  // The run's folders stay where they are in the child's /tmp.
  const bool below = root.rfind("/tmp/", 0) == 0;
  if (below) std::filesystem::create_directories(taken + root.substr(5));
  struct Case {
    std::string home;
    bool hideProc;
    const char* firstSays;
    const char* secondSays;
  };
  const Case all[] = {
      {open, false, "no private folder can be had", "no private folder can be had"},
      {deep, true, "no folder of the user's own can hold the hand-off socket", "this start opens the file itself"},
  };
  ScopedVariable noTemp("TMPDIR", nullptr);
  for (const Case& c : all) {
    SCOPED_TRACE(c.home);
    const std::string out = PrivateFolder("all-taken-out");
    const auto allTakenInTmp = [&](const std::string& err) {
      const int fd = ::open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
      return fd >= 0 && ::dup2(fd, 2) == 2 && ::unshare(CLONE_NEWNS) == 0 &&
             ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0 &&
             (!below || ::mount(root.c_str(), (taken + root.substr(5)).c_str(), nullptr, MS_BIND, nullptr) == 0) &&
             ::mount(taken.c_str(), "/tmp", nullptr, MS_BIND | MS_REC, nullptr) == 0 &&
             (!c.hideProc || ::mount("none", "/proc", "tmpfs", 0, nullptr) == 0);
    };
    const pid_t first = kvtest::StartProgram(c.home, out + "first", {}, {}, 0, "",
                                             [&] { return allTakenInTmp(out + "first.err"); });
    ASSERT_TRUE(WaitFor(out + "first", "ready", 20000)) << ReadAll(out + "first");
    const pid_t second = kvtest::StartProgram(c.home, out + "second", {c.home + "a.kv2"}, {}, 0, "",
                                              [&] { return allTakenInTmp(out + "second.err"); });
    EXPECT_TRUE(WaitFor(out + "second", "open Unbenannt1.kv2|" + c.home + "a.kv2", 20000)) << ReadAll(out + "second");
    kvtest::StopProgram(second);
    kvtest::StopProgram(first);
    EXPECT_NE(ReadAll(out + "first.err").find(c.firstSays), std::string::npos) << ReadAll(out + "first.err");
    EXPECT_NE(ReadAll(out + "second.err").find(c.secondSays), std::string::npos) << ReadAll(out + "second.err");
  }
}

// A listening socket made by a child running as another user ("nobody"),
// or by this user under a file of that user's, moved to `path` (in place of
// the file there).  Every message it gets, it answers "ACK" as the instance
// would, and writes to `report` what it read.
pid_t ForeignListener(const std::string& path, bool asOtherUser, int report) {
  // Made where the other user may write, then moved into place.
  const std::string temporary = "/tmp/kurvato-foreign-" + std::to_string(::getpid());
  ::unlink(temporary.c_str());
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::memcpy(address.sun_path, temporary.c_str(), temporary.size() + 1);
  int ready[2];
  if (::pipe(ready) != 0) return -1;
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::close(ready[0]);
    if (asOtherUser && (::setgid(65534) != 0 || ::setuid(65534) != 0)) _exit(1);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0 || ::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(fd, 16) != 0)
      _exit(1);
    const char made = 1;
    if (::write(ready[1], &made, 1) != 1) _exit(1);
    ::close(ready[1]);
    for (;;) {
      const int c = ::accept(fd, nullptr, nullptr);
      if (c < 0) continue;
      char buffer[4096];
      ssize_t n;
      while ((n = ::read(c, buffer, sizeof buffer)) > 0) {
        if (::write(report, buffer, static_cast<std::size_t>(n)) < 0) break;
        if (::write(c, "ACK\n", 4) < 0) break;
      }
      ::close(c);
    }
  }
  ::close(ready[1]);
  char made = 0;
  const ssize_t n = ::read(ready[0], &made, 1);
  ::close(ready[0]);
  if (n != 1) {
    ADD_FAILURE() << "the foreign socket was not made";
    return pid;
  }
  // The other user's socket under this user's name, or this user's under
  // the other user's name.
  if (::chown(temporary.c_str(), asOtherUser ? ::getuid() : 65534, asOtherUser ? ::getgid() : 65534) != 0 ||
      ::rename(temporary.c_str(), path.c_str()) != 0)
    ADD_FAILURE() << "the foreign socket was not put in place";
  return pid;
}

// A socket that another user made in the instance's place (however it got
// there) never gets a file name: a second start waits for the running
// instance, which notices that its socket was replaced, listens again, and
// takes the file.
TEST_F(HandOff, ASocketOfAnotherUserIsRefusedAndTheInstanceListensAgain) {
  if (::geteuid() != 0) GTEST_SKIP() << "acting as another user needs root";
  for (const bool otherUsersProcess : {true, false}) {
    SCOPED_TRACE(otherUsersProcess ? "another user listens" : "the socket file is another user's");
    const std::string home = kvtest::MakeTempDir("foreign-home");
    const std::string firstLog = home + "first.log";
    const std::string secondLog = home + "second.log";
    const pid_t first = Start(home, firstLog, {});
    ASSERT_TRUE(WaitFor(firstLog, "ready", 20000)) << ReadAll(firstLog);
    const std::string socket = kvtest::LoggedValue(firstLog, "listening");
    ASSERT_FALSE(socket.empty());

    // While the instance is held, another user's socket takes its place.
    ASSERT_EQ(::kill(first, SIGSTOP), 0);
    int report[2];
    ASSERT_EQ(::pipe2(report, O_CLOEXEC | O_NONBLOCK), 0);
    const pid_t foreign = ForeignListener(socket, otherUsersProcess, report[1]);
    ASSERT_GT(foreign, 0);
    const pid_t second = Start(home, secondLog, {PlotFile(home + "c.kv2")});
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    EXPECT_EQ(WaitExit(second, 50), -1) << "waits for the running instance";
    char received[256];
    EXPECT_LE(::read(report[0], received, sizeof received), 0) << "the other user's socket got nothing";

    ASSERT_EQ(::kill(first, SIGCONT), 0);
    const int code = WaitExit(second, 20000);
    EXPECT_EQ(code, 0);
    EXPECT_TRUE(WaitFor(firstLog, "open Unbenannt1.kv2|" + home + "c.kv2", 5000)) << ReadAll(firstLog);
    EXPECT_LE(::read(report[0], received, sizeof received), 0) << "the other user's socket got nothing";
    EXPECT_EQ(ReadAll(secondLog), "");
    ::kill(foreign, SIGKILL);
    ::waitpid(foreign, nullptr, 0);
    ::close(report[0]);
    ::close(report[1]);
    if (code == -1) kvtest::StopProgram(second);
    kvtest::StopProgram(first);
  }
}

// Idle connections that use up the running instance's file descriptors must
// not end its listening: a later start still hands over.
TEST_F(HandOff, AFloodOfIdleConnectionsDoesNotStopTheHandOff) {
  const std::string home = kvtest::MakeTempDir("flood-home");
  const std::string firstLog = home + "first.log";
  const std::string secondLog = home + "second.log";
  const pid_t first = kvtest::StartProgram(home, firstLog, {}, {}, 48);
  ASSERT_TRUE(WaitFor(firstLog, "ready", 20000)) << ReadAll(firstLog);
  const std::string socket = kvtest::LoggedValue(firstLog, "listening");
  ASSERT_FALSE(socket.empty());

  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  ASSERT_LT(socket.size(), sizeof(address.sun_path));
  std::memcpy(address.sun_path, socket.c_str(), socket.size() + 1);
  std::vector<int> idle;
  for (int k = 0; k < 120; ++k) {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    ASSERT_GE(fd, 0);
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0) {
      idle.push_back(fd);
    } else {
      ::close(fd);
      std::this_thread::sleep_for(std::chrono::milliseconds(20));  // the backlog is full for a moment
    }
  }
  EXPECT_GT(idle.size(), 40u);  // more than the instance has descriptors
  // Give the instance time to accept them all (or to give up listening).
  for (int t = 0; t < 40 && Exists(socket); ++t) std::this_thread::sleep_for(std::chrono::milliseconds(50));

  const pid_t second = Start(home, secondLog, {PlotFile(home + "c.kv2")});
  EXPECT_EQ(WaitExit(second, 20000), 0) << ReadAll(secondLog);
  EXPECT_TRUE(WaitFor(firstLog, "open Unbenannt1.kv2|" + home + "c.kv2", 5000)) << ReadAll(firstLog);
  for (int fd : idle) ::close(fd);
  kvtest::StopProgram(second);
  kvtest::StopProgram(first);
}

ino_t InodeOf(const std::string& path) {
  struct stat st {};
  return ::lstat(path.c_str(), &st) == 0 ? st.st_ino : 0;
}

// The running instance cannot answer (stopped, as if busy for a long time)
// and its queue of connections is full (a flood): a second start waits for
// it and never takes its socket or becomes an instance of its own; a start
// that is told to end meanwhile ends at once.  When the instance answers
// again, the waiting start hands over its file.
TEST_F(HandOff, ABusyOrFloodedInstanceIsWaitedForNeverReplaced) {
  const std::string home = kvtest::MakeTempDir("busy-home");
  const std::string firstLog = home + "first.log";
  const std::string secondLog = home + "second.log";
  const std::string thirdLog = home + "third.log";
  const pid_t first = Start(home, firstLog, {});
  ASSERT_TRUE(WaitFor(firstLog, "ready", 20000)) << ReadAll(firstLog);
  const std::string socket = kvtest::LoggedValue(firstLog, "listening");
  ASSERT_FALSE(socket.empty());
  const ino_t inode = InodeOf(socket);
  ASSERT_NE(inode, 0u);

  ASSERT_EQ(::kill(first, SIGSTOP), 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  ASSERT_LT(socket.size(), sizeof(address.sun_path));
  std::memcpy(address.sun_path, socket.c_str(), socket.size() + 1);
  std::vector<int> flood;
  for (int k = 0; k < 1000; ++k) {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    ASSERT_GE(fd, 0);
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
      ::close(fd);
      break;  // the queue is full
    }
    flood.push_back(fd);
  }
  EXPECT_LT(flood.size(), 1000u) << "the queue filled up";

  const auto started = std::chrono::steady_clock::now();
  const std::string secondErrors = home + "second.err";
  const pid_t second = kvtest::StartProgram(home, secondLog, {PlotFile(home + "c.kv2")}, {}, 0, "", [&secondErrors] {
    const int fd = ::open(secondErrors.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    return fd >= 0 && ::dup2(fd, 2) == 2;
  });
  const pid_t third = Start(home, thirdLog, {home + "d.kv2"});
  // The waiting start says so at once (half a second into its wait, after
  // its own start-up), not when its 60 s of patience end.
  EXPECT_TRUE(WaitFor(secondErrors, "kurvato: the running instance is busy", 5000)) << ReadAll(secondErrors);
  std::this_thread::sleep_until(started + std::chrono::milliseconds(1500));
  ::kill(third, SIGTERM);
  EXPECT_EQ(WaitExit(third, 1500), -2) << "ended by the signal at once";
  // Longer than any earlier start waited before it took over.
  std::this_thread::sleep_until(started + std::chrono::seconds(8));
  EXPECT_EQ(WaitExit(second, 50), -1) << "still waiting";
  EXPECT_EQ(ReadAll(secondLog), "") << "no second instance";
  EXPECT_EQ(InodeOf(socket), inode) << "the socket stays the first instance's";

  for (int fd : flood) ::close(fd);
  ASSERT_EQ(::kill(first, SIGCONT), 0);
  EXPECT_EQ(WaitExit(second, 20000), 0);
  EXPECT_TRUE(WaitFor(firstLog, "open Unbenannt1.kv2|" + home + "c.kv2", 5000)) << ReadAll(firstLog);
  EXPECT_EQ(ReadAll(secondLog), "");
  EXPECT_EQ(ReadAll(firstLog).find("d.kv2"), std::string::npos);
  kvtest::StopProgram(second);
  kvtest::StopProgram(first);
}

}  // namespace
