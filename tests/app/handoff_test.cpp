// Two real processes: a second start hands its file name to the running
// instance and exits.
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include "support/test_env.h"

namespace {

struct Instance {
  pid_t pid = -1;
};

pid_t Start(const std::string& home, const std::string& log, const std::vector<std::string>& args) {
  pid_t pid = fork();
  if (pid == 0) {
    setenv("KURVATO_HOME", home.c_str(), 1);
    setenv("KURVATO_EVENT_LOG", log.c_str(), 1);
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    std::vector<char*> argv;
    std::string exe = KURVATO_EXE;
    argv.push_back(exe.data());
    std::vector<std::string> copy = args;
    for (auto& a : copy) argv.push_back(a.data());
    argv.push_back(nullptr);
    execv(exe.c_str(), argv.data());
    _exit(127);
  }
  return pid;
}

std::string ReadAll(const std::string& path) {
  std::ifstream f(path);
  std::stringstream ss;
  ss << f.rdbuf();
  return ss.str();
}

bool WaitFor(const std::string& path, const std::string& needle, int ms) {
  for (int t = 0; t < ms; t += 50) {
    if (ReadAll(path).find(needle) != std::string::npos) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return false;
}

// Exit code of the process, or -1 when it did not end in time.
int WaitExit(pid_t pid, int ms) {
  for (int t = 0; t < ms; t += 50) {
    int status = 0;
    if (waitpid(pid, &status, WNOHANG) == pid) return WIFEXITED(status) ? WEXITSTATUS(status) : -2;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return -1;
}

TEST(HandOff, SecondStartHandsItsFileToTheFirstAndExits) {
  std::string home = kvtest::MakeTempDir("handoff-home");
  std::string firstLog = home + "first.log";
  std::string secondLog = home + "second.log";
  pid_t first = Start(home, firstLog, {});
  ASSERT_TRUE(WaitFor(firstLog, "ready", 20000)) << "first instance did not start";

  // A path with blanks given as two arguments is joined with one blank.
  pid_t second = Start(home, secondLog, {home + "my", "curve.kv3"});
  EXPECT_EQ(WaitExit(second, 20000), 0);
  EXPECT_TRUE(WaitFor(firstLog, "open Unbenannt1.kv3|" + home + "my curve.kv3", 5000)) << ReadAll(firstLog);
  EXPECT_EQ(ReadAll(secondLog), "") << "the second start made no frame";

  // A one-character argument only brings the first instance to the front.
  pid_t third = Start(home, secondLog, {"x"});
  EXPECT_EQ(WaitExit(third, 20000), 0);
  pid_t fourth = Start(home, secondLog, {home + "b.kv2"});
  EXPECT_EQ(WaitExit(fourth, 20000), 0);
  ASSERT_TRUE(WaitFor(firstLog, "open Unbenannt1.kv2|", 5000));
  std::string log = ReadAll(firstLog);
  EXPECT_EQ(log.find("|x"), std::string::npos) << log;

  kill(first, SIGTERM);
  WaitExit(first, 5000);
}

}  // namespace
