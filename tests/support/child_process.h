// Work run in a child process, so that work that blocks fails the test instead of hanging it.
#pragma once

#include <csignal>
#include <functional>
#include <sys/wait.h>
#include <unistd.h>

namespace kvtest {

// 1 or 0 as the work returned true or false, -2 when the child did not exit
// normally, -1 when it still ran after five seconds (it is ended then).
inline int RunInChild(const std::function<bool()>& work) {
  const pid_t pid = ::fork();
  if (pid == 0) ::_exit(work() ? 1 : 0);
  for (int t = 0; t < 5000; t += 10) {
    int status = 0;
    if (::waitpid(pid, &status, WNOHANG) == pid) return WIFEXITED(status) ? WEXITSTATUS(status) : -2;
    ::usleep(10000);
  }
  ::kill(pid, SIGKILL);
  ::waitpid(pid, nullptr, 0);
  return -1;
}

}  // namespace kvtest
