// Starting the real `kurvato` executable from a test: its own settings
// folder and event log, the offscreen platform, and waiting for what it
// writes to the log.
#pragma once

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <utility>
#include <vector>

namespace kvtest {

inline std::string ReadAll(const std::string& path) {
  std::ifstream f(path);
  std::stringstream ss;
  ss << f.rdbuf();
  return ss.str();
}

// Waits until the file contains the text; false after `ms` milliseconds.
inline bool WaitFor(const std::string& path, const std::string& needle, int ms) {
  for (int t = 0; t < ms; t += 50) {
    if (ReadAll(path).find(needle) != std::string::npos) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return false;
}

// The program the tests start: the one built beside them, or the copy
// that a ProgramElsewhere made.
inline std::string& ProgramPath() {
  static std::string path = KURVATO_EXE;
  return path;
}

// For its lifetime the tests start a copy of the program in a new folder
// below /tmp whose name holds a blank, as a build there would be: a test
// that hides /tmp or reaches the program by a path cut at a blank fails.
// When the copy cannot be made the tests would start the build's own
// program and prove nothing: Ok() is false then, and Error() says why.
class ProgramElsewhere {
 public:
  ProgramElsewhere() : folder_("/tmp/kurvato-build " + std::to_string(::getpid()) + "/"), old_(ProgramPath()) {
    std::error_code ec;
    std::filesystem::create_directories(folder_ + "app", ec);
    const std::string copy = folder_ + "app/kurvato";
    // A link where the file system allows it, else a copy.
    if (!ec && ::link(old_.c_str(), copy.c_str()) != 0)
      std::filesystem::copy_file(old_, copy, std::filesystem::copy_options::overwrite_existing, ec);
    if (!ec && ::access(copy.c_str(), X_OK) != 0) ec.assign(errno, std::generic_category());
    if (ec) {
      error_ = "the program could not be put into " + folder_ + ": " + ec.message();
    } else {
      ProgramPath() = copy;
    }
  }
  ~ProgramElsewhere() {
    ProgramPath() = old_;
    std::error_code ec;
    std::filesystem::remove_all(folder_, ec);
  }
  ProgramElsewhere(const ProgramElsewhere&) = delete;
  ProgramElsewhere& operator=(const ProgramElsewhere&) = delete;

  bool Ok() const { return error_.empty(); }
  const std::string& Error() const { return error_; }

 private:
  std::string folder_, old_, error_;
};

// Starts the program with the arguments and extra environment variables;
// `maxOpenFiles` above 0 limits its file descriptors; a `workingFolder`
// given is the program's working folder; `inChild` runs in the new process
// before the program (false ends it with code 125).  The program is opened
// before `inChild` runs and started through that descriptor, so that a
// folder mounted over its path there (another /tmp) does not hide it.
inline pid_t StartProgram(const std::string& home, const std::string& log, const std::vector<std::string>& args,
                          const std::vector<std::pair<std::string, std::string>>& env = {},
                          int maxOpenFiles = 0, const std::string& workingFolder = "",
                          const std::function<bool()>& inChild = nullptr) {
  const std::string exe = ProgramPath();
  const int program = ::open(exe.c_str(), O_PATH | O_CLOEXEC);
  pid_t pid = fork();
  if (pid == 0) {
    if (inChild && !inChild()) _exit(125);
    if (!workingFolder.empty() && chdir(workingFolder.c_str()) != 0) _exit(126);
    // As started from a terminal, whatever started the tests.
    std::signal(SIGINT, SIG_DFL);
    if (maxOpenFiles > 0) {
      const rlimit limit{static_cast<rlim_t>(maxOpenFiles), static_cast<rlim_t>(maxOpenFiles)};
      setrlimit(RLIMIT_NOFILE, &limit);
    }
    setenv("KURVATO_HOME", home.c_str(), 1);
    setenv("KURVATO_EVENT_LOG", log.c_str(), 1);
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    for (const auto& [name, value] : env) setenv(name.c_str(), value.c_str(), 1);
    std::string name = exe;
    std::vector<std::string> copy = args;
    std::vector<char*> argv{name.data()};
    for (auto& a : copy) argv.push_back(a.data());
    argv.push_back(nullptr);
    ::syscall(SYS_execveat, program, "", argv.data(), environ, AT_EMPTY_PATH);
    std::perror(("cannot start " + exe).c_str());
    _exit(127);
  }
  if (program >= 0) ::close(program);
  return pid;
}

// Exit code of the process, -2 when it did not exit normally, or -1 when it
// did not end in time.
inline int WaitExit(pid_t pid, int ms) {
  for (int t = 0; t < ms; t += 50) {
    int status = 0;
    if (waitpid(pid, &status, WNOHANG) == pid) return WIFEXITED(status) ? WEXITSTATUS(status) : -2;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return -1;
}

// Ends the process, forcibly when it does not stop within five seconds.
inline void StopProgram(pid_t pid) {
  kill(pid, SIGTERM);
  if (WaitExit(pid, 5000) != -1) return;
  kill(pid, SIGKILL);
  waitpid(pid, nullptr, 0);
}

// The value after "<key> " on a line of the event log, or "".
inline std::string LoggedValue(const std::string& log, const std::string& key) {
  const std::string text = ReadAll(log);
  const std::size_t at = text.find(key + " ");
  if (at == std::string::npos) return "";
  const std::size_t start = at + key.size() + 1;
  return text.substr(start, text.find('\n', start) - start);
}

}  // namespace kvtest
