// The single-instance channel within one process: a listener that answers,
// one that never gets to answer (its event loop is busy), the bytes a name
// may hold, and the lock that says whether an instance lives.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/app.h"
#include "platform/handoff_message.h"
#include "platform/instance.h"
#include "platform/own_folders.h"

namespace {

TEST(SingleInstance, NoRunningInstanceMeansNoHandOff) {
  plat::StopListeningForHandOffs();
  EXPECT_FALSE(plat::HandOffToRunningInstance("a.kv2", 500));
}

TEST(SingleInstance, AnInstanceThatDoesNotAnswerIsGivenUpOnInTime) {
  std::vector<std::string> received;
  ASSERT_TRUE(plat::ListenForHandOffs([&](const std::string& s) { received.push_back(s); }));
  // This thread never returns to the event loop while it waits, so the
  // listener cannot acknowledge: the hand-off must give up, not hang.
  auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(plat::HandOffToRunningInstance("b.kv2", 700));
  auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
  EXPECT_LT(ms, 3000);
  plat::StopListeningForHandOffs();
}

// A file name may hold any byte but the zero: a newline, bytes that are not
// UTF-8, blanks at the ends.  Each arrives as it was sent.
TEST(SingleInstance, AHandOffCarriesEveryByteOfTheName) {
  std::vector<std::string> received;
  ASSERT_TRUE(plat::ListenForHandOffs([&](const std::string& s) { received.push_back(s); }));
  const std::vector<std::string> names = {"/tmp/a\nb.kv2", "/tmp/\xff\xfe\x80.kv2", " x\r\n.kv2 ", "", "\n"};
  for (const std::string& name : names) {
    std::atomic<bool> done = false, taken = false;
    std::thread sender([&] {
      taken = plat::HandOffToRunningInstance(name, 5000);
      done = true;
    });
    const auto start = std::chrono::steady_clock::now();
    while ((!done || received.size() < static_cast<std::size_t>(&name - names.data() + 1)) &&
           std::chrono::steady_clock::now() - start < std::chrono::seconds(10)) {
      plat::App::ProcessEvents();
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    sender.join();
    EXPECT_TRUE(taken);
  }
  EXPECT_EQ(received, names);
  plat::StopListeningForHandOffs();
}

TEST(HandOffMessage, EncodesAnyTextAndRefusesStrangers) {
  std::string text;
  std::size_t used = 0;
  const std::string message = plat::EncodeHandOffMessage("a\nb");
  EXPECT_EQ(message, std::string("KVH1\x03\x00\x00\x00" "a\nb", 11));
  struct Row {
    std::string received;
    plat::HandOffDecode result;
  };
  const Row rows[] = {
      {message, plat::HandOffDecode::Complete},
      {message + "KVH1", plat::HandOffDecode::Complete},
      {message.substr(0, 10), plat::HandOffDecode::Incomplete},
      {"KV", plat::HandOffDecode::Incomplete},
      {"", plat::HandOffDecode::Incomplete},
      {"/home/a.kv2\n", plat::HandOffDecode::Invalid},  // the old line form
      {std::string("KVH1\x01\x00\x01\x00", 8), plat::HandOffDecode::Invalid},  // above the limit
  };
  for (const Row& row : rows) {
    EXPECT_EQ(plat::DecodeHandOffMessage(row.received, text, used), row.result) << row.received;
    if (row.result == plat::HandOffDecode::Complete) {
      EXPECT_EQ(text, "a\nb");
      EXPECT_EQ(used, message.size());
    }
  }
}

// While another process holds the instance lock, this one neither takes the
// socket nor becomes an instance: a start waits for the holder's answer and
// gives up after its patience when the holder's socket is there (it is
// busy); with no socket in all that time, or at once when the holder marks
// itself unreachable, it runs by itself rather than lose its file.  Once the
// holder has ended, a start takes over.
TEST(SingleInstance, ALiveHolderOfTheLockIsNeverReplaced) {
  plat::StopListeningForHandOffs();
  struct Case {
    bool socket, unreachable;
    plat::StartRole role;
    int minMs, maxMs;
  };
  const Case cases[] = {{true, false, plat::StartRole::NoAnswer, 1100, 5000},
                        {false, false, plat::StartRole::Alone, 1100, 5000},
                        {false, true, plat::StartRole::Alone, 0, 600}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.socket ? "a socket" : "no socket") + (c.unreachable ? ", marked unreachable" : ""));
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t holder = ::fork();
    if (holder == 0) {
      const int fd = ::open((plat::SettingsDirectory() + "kurvato.lock").c_str(), O_RDWR | O_CREAT, 0600);
      bool locked = fd >= 0 && ::flock(fd, LOCK_EX | LOCK_NB) == 0 && ::ftruncate(fd, 0) == 0;
      if (c.unreachable) locked = locked && ::write(fd, "unreachable\n", 12) == 12;
      // A socket that takes connections and never answers: a busy holder.
      sockaddr_un address{};
      address.sun_family = AF_UNIX;
      const std::string path = plat::HandOffSocketPath();
      std::snprintf(address.sun_path, sizeof address.sun_path, "%s", path.c_str());
      const int s = ::socket(AF_UNIX, SOCK_STREAM, 0);
      if (c.socket)
        locked = locked && ::bind(s, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0 &&
                 ::listen(s, 4) == 0;
      const char ok = locked ? 1 : 0;
      (void)::write(ready[1], &ok, 1);
      ::pause();
      ::_exit(0);
    }
    char ok = 0;
    ASSERT_EQ(::read(ready[0], &ok, 1), 1);
    ASSERT_EQ(ok, 1);
    EXPECT_FALSE(plat::ListenForHandOffs([](const std::string&) {}));
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(plat::BecomeInstanceOrHandOff("c.kv2", 1200), c.role);
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_GE(took, std::chrono::milliseconds(c.minMs));
    EXPECT_LT(took, std::chrono::milliseconds(c.maxMs));
    ::kill(holder, SIGKILL);
    ::waitpid(holder, nullptr, 0);
    ::unlink(plat::HandOffSocketPath().c_str());
    ::close(ready[0]);
    ::close(ready[1]);
  }
  EXPECT_EQ(plat::BecomeInstanceOrHandOff("c.kv2", 1200), plat::StartRole::Instance);
  EXPECT_TRUE(plat::ListenForHandOffs([](const std::string&) {}));
  plat::StopListeningForHandOffs();
}

}  // namespace
