// Two real processes: a second start hands its file name to the running
// instance and exits.
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include "support/program_process.h"
#include "support/test_env.h"

namespace {

pid_t Start(const std::string& home, const std::string& log, const std::vector<std::string>& args) {
  return kvtest::StartProgram(home, log, args);
}

using kvtest::ReadAll;
using kvtest::WaitExit;
using kvtest::WaitFor;

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

// A file name may hold a newline or bytes that are not UTF-8; the running
// instance gets exactly that name (the event log writes a newline as "\n").
TEST(HandOff, NamesWithANewlineOrForeignBytesArriveWhole) {
  const std::string home = kvtest::MakeTempDir("handoff-bytes");
  const std::string firstLog = home + "first.log";
  const std::string secondLog = home + "second.log";
  const pid_t first = Start(home, firstLog, {});
  ASSERT_TRUE(WaitFor(firstLog, "ready", 20000)) << "first instance did not start";
  const pid_t second = Start(home, secondLog, {home + "a\nb.kv2"});
  EXPECT_EQ(WaitExit(second, 20000), 0);
  EXPECT_TRUE(WaitFor(firstLog, "open Unbenannt1.kv2|" + home + "a\\nb.kv2\n", 5000)) << ReadAll(firstLog);
  const pid_t third = Start(home, secondLog, {home + "\xff\xfe\x80.kv2"});
  EXPECT_EQ(WaitExit(third, 20000), 0);
  EXPECT_TRUE(WaitFor(firstLog, "open Unbenannt2.kv2|" + home + "\xff\xfe\x80.kv2\n", 5000)) << ReadAll(firstLog);
  EXPECT_EQ(ReadAll(secondLog), "") << "no second instance";
  kvtest::StopProgram(first);
}

bool Exists(const std::string& path) { return ::access(path.c_str(), F_OK) == 0; }

// SIGTERM (a desktop logging out) writes the settings files as a normal exit
// does and removes the socket, also while a message waits for an answer.
TEST(Termination, SigtermWritesTheSettingsAndRemovesTheSocket) {
  for (const bool withMessage : {false, true}) {
    SCOPED_TRACE(withMessage ? "a message box is open" : "idle");
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
    kill(program, SIGTERM);
    EXPECT_NE(WaitExit(program, 10000), -1) << "ended";
    EXPECT_EQ(ReadAll(home + "kv.ini").size(), 19u);
    if (withMessage) {
      EXPECT_TRUE(Exists(home + "kv2.ini"));
    }
    EXPECT_FALSE(Exists(socket));
  }
}

// Idle connections that use up the running instance's file descriptors must
// not end its listening: a later start still hands over.
TEST(HandOff, AFloodOfIdleConnectionsDoesNotStopTheHandOff) {
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

  const pid_t second = Start(home, secondLog, {home + "c.kv2"});
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
TEST(HandOff, ABusyOrFloodedInstanceIsWaitedForNeverReplaced) {
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
  const pid_t second = Start(home, secondLog, {home + "c.kv2"});
  const pid_t third = Start(home, thirdLog, {home + "d.kv2"});
  std::this_thread::sleep_for(std::chrono::milliseconds(1500));
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
