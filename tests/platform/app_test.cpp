// The application's process-wide choices: where the settings live when no
// variable names a folder, and a file-size limit that only fails a write.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "core/binary_stream.h"
#include "platform/app.h"
#include "platform/own_folders.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;

mode_t ModeOf(const std::string& path) {
  struct stat st {};
  return ::lstat(path.c_str(), &st) == 0 ? st.st_mode : 0;
}

TEST(SettingsFolder, VariablesComeFirstInTheirOrder) {
  const std::string base = kvtest::MakeTempDir("settings-vars");
  const std::string tmp = base + "tmp";
  fs::create_directory(tmp);
  struct Row {
    const char* kurvato;
    const char* xdg;
    const char* home;
    std::string expected;
  };
  const std::string k = base + "k", x = base + "x", h = base + "h";
  const Row rows[] = {
      {k.c_str(), x.c_str(), h.c_str(), k + "/"},
      {"", x.c_str(), h.c_str(), x + "/kurvato/"},
      {nullptr, nullptr, h.c_str(), h + "/.config/kurvato/"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.expected);
    EXPECT_EQ(plat::ChooseSettingsDirectory(row.kurvato, row.xdg, row.home, base + "pw", tmp), row.expected);
    EXPECT_TRUE(fs::is_directory(row.expected));
  }
}

// Without HOME and the other variables the folder is the user's own: the
// password entry's home, else a private folder, never a shared one that
// another user could have made (or filled with links) first.
TEST(SettingsFolder, WithoutVariablesTheFolderIsPrivate) {
  const std::string base = kvtest::MakeTempDir("settings-private");
  const std::string pw = base + "pwhome";
  fs::create_directory(pw);
  EXPECT_EQ(plat::ChooseSettingsDirectory(nullptr, nullptr, nullptr, pw, base + "t0"), pw + "/.config/kurvato/");

  const std::string uid = std::to_string(::getuid());
  struct Row {
    const char* what;
    std::function<void(const std::string& own)> prepare;
    bool ownIsUsed;
  };
  const Row rows[] = {
      {"made now", [](const std::string&) {}, true},
      {"already ours", [](const std::string& own) { fs::create_directory(own), ::chmod(own.c_str(), 0700); }, true},
      {"writable by others",
       [](const std::string& own) { fs::create_directory(own), ::chmod(own.c_str(), 0777); }, false},
      {"a link to a folder",
       [](const std::string& own) { fs::create_directory(own + ".real"), fs::create_directory_symlink(own + ".real", own); },
       false},
      {"a file", [](const std::string& own) { kv::WriteFileAtomically(own, {1}); }, false},
      {"another user's",
       [](const std::string& own) {
         fs::create_directory(own);
         ::chmod(own.c_str(), 0700);
         if (::getuid() == 0) ::chown(own.c_str(), 65534, 65534);
       },
       ::getuid() != 0},
  };
  int n = 0;
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    const std::string tmp = base + "tmp" + std::to_string(n++);
    fs::create_directory(tmp);
    const std::string own = tmp + "/kurvato-" + uid;
    row.prepare(own);
    // No password entry, and one whose home cannot hold the folder.
    for (const std::string& home : {std::string(), std::string("/proc/no-such-home")}) {
      const std::string dir = plat::ChooseSettingsDirectory(nullptr, "", nullptr, home, tmp);
      EXPECT_NE(dir, tmp + "/kurvato/");
      ASSERT_EQ(dir.rfind(own, 0), 0u) << dir;
      EXPECT_EQ(dir, row.ownIsUsed ? own + "/" : own + "-1/") << "every start finds the same folder (and lock)";
      EXPECT_TRUE(S_ISDIR(ModeOf(dir)));
      EXPECT_EQ(ModeOf(dir) & 077, 0u) << dir;
      struct stat st {};
      ASSERT_EQ(::stat(dir.c_str(), &st), 0);
      EXPECT_EQ(st.st_uid, ::getuid());
    }
  }
}

// A settings folder is trusted only when every folder and link up to the root, also
// those met while resolving a link, is the user's or root's and writable by others
// only if sticky: nobody else can move or replace it.  Else the private temporary
// folder, which needs the same, is used; nothing is made on an untrusted way.
TEST(SettingsFolder, TheFoldersAboveMustBeBeyondOthersReach) {
  const std::string base = kvtest::MakeTempDir("settings-above");
  const bool root = ::getuid() == 0;
  auto folder = [&](const std::string& name, mode_t mode) {
    fs::create_directories(base + name);
    ::chmod((base + name).c_str(), mode);
    return base + name;
  };
  const std::string safe = folder("safe", 0755), open = folder("open", 0777), tmp = folder("tmp", 0755);
  folder("safe/h", 0700), folder("open/h", 0700), folder("sticky", 01777), folder("group", 0775);
  folder("open-above", 0777), folder("foreign", 0755), folder("foreign/h", 0700);
  fs::create_directory_symlink(safe + "/h", open + "/to-safe");
  fs::create_directory_symlink(open + "/h", safe + "/to-open");
  fs::create_directory_symlink(safe + "/h", safe + "/link");
  fs::create_directory_symlink(safe, base + "sticky/foreign-link");
  // The user's own link whose target leads through another user's link.
  fs::create_directory_symlink(base + "sticky/foreign-link/h", safe + "/via-foreign");
  if (root)
    ::lchown((base + "sticky/foreign-link").c_str(), 65534, 65534), ::chown((base + "foreign").c_str(), 65534, 65534);
  const std::pair<std::string, bool> rows[] = {  // settings folder, used
      {safe + "/h", true}, {folder("sticky/h", 0700), true}, {safe + "/link/../h", true},
      {open + "/h", false}, {folder("group/h", 0700), false}, {folder("open-above/closed/h", 0700), false},
      {open + "/to-safe", false}, {safe + "/to-open", false},
      {base + "sticky/foreign-link/h", !root}, {base + "foreign/h", !root},  // another user's link, folder
      {safe + "/via-foreign", !root}, {base + "sticky/foreign-link/made/h", !root},
  };
  for (const auto& [settings, used] : rows) {
    SCOPED_TRACE(settings);
    EXPECT_EQ(plat::ChooseSettingsDirectory(settings.c_str(), nullptr, nullptr, "", tmp),
              used ? settings + "/" : tmp + "/kurvato-" + std::to_string(::getuid()) + "/");
  }
  EXPECT_EQ(fs::exists(safe + "/made"), !root) << "a folder made behind another user's link";
  // A temporary folder others may write into holds no private folder.
  const std::string dir = plat::ChooseSettingsDirectory(nullptr, nullptr, nullptr, "", open);
  EXPECT_NE(dir.rfind(open, 0), 0u) << dir;
  EXPECT_FALSE(fs::exists(open + "/kurvato-" + std::to_string(::getuid())));
}

// The program ignores SIGXFSZ: a save beyond the file-size limit fails
// (the window says so) instead of killing the process with the unsaved
// work of every window.
TEST(FileSizeLimit, ASaveBeyondTheLimitFailsAndTheProgramLives) {
  ASSERT_TRUE(plat::App::Exists());
  const std::string dir = kvtest::MakeTempDir("fsize");
  const pid_t child = ::fork();
  if (child == 0) {
    const rlimit limit{2048, 2048};
    ::setrlimit(RLIMIT_FSIZE, &limit);
    const bool big = kv::WriteFileAtomically(dir + "big.kv2", std::vector<std::uint8_t>(8192, 7));
    const bool small = kv::WriteFileAtomically(dir + "small.kv2", std::vector<std::uint8_t>(100, 7));
    ::_exit(!big && small ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status)) << "ended by signal " << (WIFSIGNALED(status) ? WTERMSIG(status) : 0);
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_FALSE(fs::exists(dir + "big.kv2"));
  int entries = 0;
  for (const auto& e : fs::directory_iterator(dir)) {
    (void)e;
    ++entries;
  }
  EXPECT_EQ(entries, 1) << "no temporary is left behind";
}

// The event log keeps the save's rules for links: neither another user's link
// at its name nor a link of the user's own to another user's file is written through.
TEST(EventLog, IsWrittenByTheSaveRulesForLinks) {
  if (::geteuid() != 0) GTEST_SKIP() << "another user's link and file need root";
  const std::string dir = kvtest::MakeTempDir("event-log");
  for (const char* name : {"mine.txt", "theirs.txt"}) ASSERT_TRUE(kv::WriteFileAtomically(dir + name, {'k'}));
  fs::create_symlink(dir + "mine.txt", dir + "planted.log");
  fs::create_symlink(dir + "theirs.txt", dir + "own.log");
  for (const char* name : {"planted.log", "theirs.txt"}) ASSERT_EQ(::lchown((dir + name).c_str(), 65534, 65534), 0);
  const std::string before = std::getenv("KURVATO_EVENT_LOG") ? std::getenv("KURVATO_EVENT_LOG") : "";
  for (const char* name : {"planted.log", "own.log", "plain.log"}) {
    ::setenv("KURVATO_EVENT_LOG", (dir + name).c_str(), 1);
    plat::LogEvent("one\nline");
  }
  ::setenv("KURVATO_EVENT_LOG", before.c_str(), 1);
  for (const char* name : {"mine.txt", "theirs.txt"}) EXPECT_EQ(fs::file_size(dir + name), 1u) << name;
  std::vector<std::uint8_t> log;
  ASSERT_TRUE(kv::ReadWholeFile(dir + "plain.log", log));
  EXPECT_EQ(std::string(log.begin(), log.end()), "one line\n");
}

}  // namespace
