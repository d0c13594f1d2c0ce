// The file layer: Save, Save as, Open and Close with their questions, the
// caption, failed writes, and the password protection of a window's file.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/app.h"
#include "platform/dialog.h"
#include "platform/testing.h"
#include "core/binary_stream.h"
#include "shell/password.h"
#include "shell/zor_win.h"
#include "support/child_process.h"
#include "support/test_env.h"

namespace kv {
namespace {

// A window of the 2D kind that keeps no settings file.
class FileWin : public TZORWin {
 public:
  explicit FileWin(const std::string& name = "Unbenannt1.kv2") : TZORWin(nullptr, name) {
    FileTypeCode = 841;
    FileVersion = 33;
    FileData.Filter = "Plot2D Dateien (*.KV2)|*.kv2";
    FileData.DefaultExt = "kv2";
    LoadSettingsOnSetup = 0;
    SaveSettingsOnClose = 0;
  }
  int ReadFile() override {
    ++reads;
    return ReadBasicFile();
  }
  bool WriteFile() override {
    ++writes;
    return failWrite ? false : WriteBasicFile();
  }
  int reads = 0;
  int writes = 0;
  bool failWrite = false;
};

class FileLayerTest : public ::testing::Test {
 protected:
  void SetUp() override { dir_ = kvtest::MakeTempDir("filelayer"); }
  void TearDown() override {
    for (auto* w : windows_)
      if (!w->IsDestroyed()) w->Destroy();
    plat::App::DeleteDestroyedWindows();
  }
  FileWin* Make(const std::string& name = "Unbenannt1.kv2") {
    auto* w = new FileWin(name);
    w->Create();
    windows_.push_back(w);
    return w;
  }
  static std::vector<std::uint8_t> Bytes(const std::string& path) {
    std::vector<std::uint8_t> b;
    ReadWholeFile(path, b);
    return b;
  }
  static void Answer(const char* templ, int button) {
    plat::testing::ExpectDialog(templ, [button](plat::Dialog& d) { d.Press(button); });
  }
  static int Count(const std::string& name) {
    const auto& log = plat::testing::DialogLog();
    return static_cast<int>(std::count(log.begin(), log.end(), name));
  }
  static std::string LastMessage() {
    const auto& m = plat::testing::Messages();
    return m.empty() ? std::string() : m.back().text;
  }
  std::string dir_;
  std::vector<FileWin*> windows_;
};

constexpr int kYes = 88;
constexpr int kNo = 89;

TEST_F(FileLayerTest, SaveAsksForANameOnceThenWritesWithoutAsking) {
  FileWin* w = Make();
  w->Modified = 1;
  std::string path = dir_ + "a.kv2";
  plat::testing::ExpectFileDialog(path);
  w->Command(57);
  EXPECT_EQ(plat::testing::LastFileDialogRequest().defaultExtension, "kv2");
  auto bytes = Bytes(path);
  ASSERT_GE(bytes.size(), 1102u + 2u);
  EXPECT_EQ(bytes[0] | bytes[1] << 8, 841);
  EXPECT_EQ(bytes[4], 33);
  EXPECT_EQ(w->GetCaption(), "a.kv2");
  EXPECT_EQ(w->LastFileName, path);
  EXPECT_EQ(w->Modified, 0);

  w->Command(57);  // no dialog queued: a second one would fail the test
  EXPECT_EQ(w->writes, 2);
  EXPECT_EQ(Count("FILEDIALOG"), 1);
}

TEST_F(FileLayerTest, SaveAsOntoAnExistingFileAsksAndEveryRefusalChangesNothing) {
  std::string existing = dir_ + "old.kv2";
  ASSERT_TRUE(WriteFileAtomically(existing, {1, 2, 3}));
  struct Case {
    const char* what;
    bool fileChosen;
    int overwriteAnswer;  // button in YNCMBOX, 0: not asked
    bool written;
  };
  const Case cases[] = {
      {"file dialog cancelled", false, 0, false},
      {"Nein", true, kNo, false},
      {"Abbruch", true, 2, false},
      {"Ja", true, kYes, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ASSERT_TRUE(WriteFileAtomically(existing, {1, 2, 3}));
    FileWin* w = Make(dir_ + "named.kv2");
    w->Named = 1;
    w->Modified = 1;
    plat::testing::ExpectFileDialog(c.fileChosen ? std::optional<std::string>(existing) : std::nullopt);
    if (c.overwriteAnswer) {
      plat::testing::ExpectDialog("YNCMBOX", [&](plat::Dialog& d) {
        EXPECT_EQ(d.GetItemText(231), "Existierende Datei ersetzen?");
        EXPECT_EQ(d.GetCaption(), "Vorsicht!");
        d.Press(c.overwriteAnswer);
      });
    }
    w->Command(58);
    EXPECT_EQ(Bytes(existing).size() > 3, c.written);
    EXPECT_EQ(w->FileData.FileName, c.written ? existing : dir_ + "named.kv2");
    EXPECT_EQ(w->Modified, c.written ? 0 : 1);
    // After a refusal the next "Speichern" asks for a name again.
    EXPECT_EQ(w->Named, c.written ? 1 : 0);
    const int dialogs = Count("FILEDIALOG");
    if (!c.written) plat::testing::ExpectFileDialog(std::nullopt);
    w->Command(57);
    EXPECT_EQ(Count("FILEDIALOG") - dialogs, c.written ? 0 : 1);
    EXPECT_EQ(w->writes, c.written ? 2 : 0);
  }
}

TEST_F(FileLayerTest, ClosingAModifiedWindowAsksToSave) {
  struct Case {
    int answer;
    bool closes;
    bool written;
  };
  for (const Case& c : {Case{kNo, true, false}, Case{2, false, false}, Case{kYes, true, true}}) {
    SCOPED_TRACE(c.answer);
    std::string path = dir_ + "close.kv2";
    std::filesystem::remove(path);
    FileWin* w = Make(path);
    w->Named = 1;
    w->Modified = 1;
    plat::testing::ExpectDialog("YNCMBOX", [&](plat::Dialog& d) {
      EXPECT_EQ(d.GetItemText(231), "Änderungen speichern unter close.kv2?");
      d.Press(c.answer);
    });
    w->CloseWindow();
    EXPECT_EQ(w->IsDestroyed(), c.closes);
    EXPECT_EQ(std::filesystem::exists(path), c.written);
  }
}

TEST_F(FileLayerTest, AFailedWriteReportsMessage12AndKeepsThePreviousFile) {
  std::string path = dir_ + "keep.kv2";
  ASSERT_TRUE(WriteFileAtomically(path, {9, 9, 9}));
  struct Case {
    const char* what;
    std::string name;
    bool failWrite;
  };
  const Case cases[] = {{"writer fails", path, true}, {"folder missing", dir_ + "no/such/dir.kv2", false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    FileWin* w = Make(c.name);
    w->Named = 1;
    w->Modified = 1;
    w->LastFileName = "before";
    w->failWrite = c.failWrite;
    w->Command(57);
    EXPECT_EQ(LastMessage(), "Datei ist nicht zu speichern");
    EXPECT_EQ(w->Modified, 1);
    EXPECT_EQ(w->LastFileName, "before");
    std::string part;
    GetFileNamePart(part, c.name);
    EXPECT_EQ(w->GetCaption(), part);
    EXPECT_EQ(Bytes(path), (std::vector<std::uint8_t>{9, 9, 9}));
  }
}

// A save onto `name` is refused: message 12 once, the window still
// modified, the target still of its kind (a size limit > 0 cuts the write).
void ExpectSaveRefused(FileWin* w, const std::string& name, std::filesystem::file_type kind, rlim_t sizeLimit) {
  w->Named = 1;
  w->Modified = 1;
  const std::size_t before = plat::testing::Messages().size();
  rlimit saved{};
  ::getrlimit(RLIMIT_FSIZE, &saved);
  if (sizeLimit) {
    const rlimit limit{sizeLimit, saved.rlim_max};
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limit), 0);
  }
  w->Command(57);
  if (sizeLimit) ::setrlimit(RLIMIT_FSIZE, &saved);
  EXPECT_EQ(plat::testing::Messages().size(), before + 1);
  const auto& m = plat::testing::Messages();
  EXPECT_EQ(m.empty() ? std::string() : m.back().text, "Datei ist nicht zu speichern");
  EXPECT_EQ(w->Modified, 1);
  EXPECT_EQ(std::filesystem::status(name).type(), kind);
}

// A save never replaces what is not a regular file nor a file the user may
// not write, and a save that the file-size limit cuts short fails: each says message 12 once, leaves the
// target as it was and no temporary behind.
TEST_F(FileLayerTest, SavesThatCannotWriteARegularFileReportMessage12) {
  namespace fs = std::filesystem;
  const std::string kept = dir_ + "kept.kv2";
  ASSERT_TRUE(WriteFileAtomically(kept, {9, 9, 9}));
  const bool root = ::geteuid() == 0;
  ASSERT_EQ(::mkfifo((dir_ + "fifo").c_str(), 0600), 0);
  fs::create_symlink(dir_ + "fifo", dir_ + "fifo.kv2");
  struct Case {
    const char* what;
    std::string name;
    fs::file_type kind;
    rlim_t sizeLimit;  // 0: none
  };
  const Case cases[] = {
      {"a FIFO", dir_ + "fifo", fs::file_type::fifo, 0},
      {"a link to a FIFO", dir_ + "fifo.kv2", fs::file_type::fifo, 0},
      {"beyond the file-size limit", kept, fs::file_type::regular, 600},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ExpectSaveRefused(Make(c.name), c.name, c.kind, c.sizeLimit);
  }
  // A file the user made read-only, in the user's own folder, saved by the
  // user (an ordinary user: root may write any file).
  const std::string own = dir_ + "own/", locked = own + "locked.kv2";
  fs::create_directory(own);
  ASSERT_TRUE(WriteFileAtomically(locked, {7, 7}));
  ASSERT_EQ(::chmod(locked.c_str(), 0444), 0);
  if (root) {
    ASSERT_EQ(::chown(own.c_str(), 65534, 65534) | ::chown(locked.c_str(), 65534, 65534), 0);
  }
  FileWin* w = Make(locked);
  w->Named = 1;
  w->Modified = 1;
  EXPECT_EQ(kvtest::RunInChild([&] {
              if (root && (::setgid(65534) != 0 || ::setuid(65534) != 0)) return false;
              w->Command(57);
              return LastMessage() == "Datei ist nicht zu speichern" && w->Modified == 1;
            }),
            1)
      << "a read-only file";
  EXPECT_EQ(Bytes(locked), (std::vector<std::uint8_t>{7, 7}));
  struct stat st {};
  EXPECT_TRUE(::stat(locked.c_str(), &st) == 0 && (st.st_mode & 07777) == 0444);
  EXPECT_EQ(Bytes(kept), (std::vector<std::uint8_t>{9, 9, 9}));
  for (const auto& e : fs::directory_iterator(dir_))
    EXPECT_EQ(e.path().filename().string().find(".tmp"), std::string::npos) << e.path();
}

// The same for a link of the user's own to another user's file and a link
// to a device: making those needs root.
TEST_F(FileLayerTest, SavesOntoAnotherUsersFileOrADeviceReportMessage12) {
  namespace fs = std::filesystem;
  if (::geteuid() != 0) GTEST_SKIP() << "another user's file and a device node need root";
  const std::string theirs = dir_ + "theirs.kv2";
  ASSERT_TRUE(WriteFileAtomically(theirs, {8, 8}));
  ASSERT_EQ(::chown(theirs.c_str(), 65534, 65534), 0);
  fs::create_symlink(theirs, dir_ + "mine.kv2");
  // A container may deny device nodes even to root.
  const bool device = ::mknod((dir_ + "device").c_str(), S_IFCHR | 0600, makedev(1, 3)) == 0;
  fs::create_symlink(dir_ + "device", dir_ + "device.kv2");
  {
    SCOPED_TRACE("a link of the user's own to another user's file");
    ExpectSaveRefused(Make(dir_ + "mine.kv2"), dir_ + "mine.kv2", fs::file_type::regular, 0);
  }
  if (device) {
    SCOPED_TRACE("a link to a device");
    ExpectSaveRefused(Make(dir_ + "device.kv2"), dir_ + "device.kv2", fs::file_type::character, 0);
  }
  EXPECT_EQ(Bytes(theirs), (std::vector<std::uint8_t>{8, 8}));
  for (const auto& e : fs::directory_iterator(dir_))
    EXPECT_EQ(e.path().filename().string().find(".tmp"), std::string::npos) << e.path();
  if (!device) GTEST_SKIP() << "no device node could be made here: the link to a device was not tried";
}

// Temporaries that saves of ended processes left beside a file go when the
// file is opened, not only at the next save into that folder.
TEST_F(FileLayerTest, OpeningAFileRemovesTemporariesOfEndedSaves) {
  FileWin* writer = Make(dir_ + "plot.kv2");
  writer->Named = 1;
  writer->Command(57);
  const pid_t gone = ::fork();
  if (gone == 0) ::_exit(0);
  ::waitpid(gone, nullptr, 0);
  const std::string stale = dir_ + ".plot.kv2.tmp" + std::to_string(gone) + "_1";
  const std::string live = dir_ + ".plot.kv2.tmp" + std::to_string(::getpid()) + "_1";
  // Made by hand: a save would already clean up.
  for (const std::string& temp : {stale, live}) std::ofstream(temp) << "cut";
  ASSERT_TRUE(std::filesystem::exists(stale));
  FileWin* w = Make(dir_ + "plot.kv2");
  w->FileToOpen = dir_ + "plot.kv2";
  EXPECT_EQ(w->OpenFileByName(), 0);
  EXPECT_FALSE(std::filesystem::exists(stale));
  EXPECT_TRUE(std::filesystem::exists(live)) << "its process still runs";
}

// A name chosen in the save dialog is kept only when the file was written;
// either way the window is left unnamed, so the next Save asks.
TEST_F(FileLayerTest, AFailedSaveUnderANewNameKeepsTheOldName) {
  struct Case {
    const char* what;
    std::string start;
    std::uint8_t named;
    int command;
  };
  const Case cases[] = {
      {"save as", dir_ + "old.kv2", 1, 58},
      {"first save", "Unbenannt3.kv2", 0, 57},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    FileWin* w = Make(c.start);
    w->Named = c.named;
    plat::testing::ExpectFileDialog(dir_ + "no/such/dir/new.kv2");
    w->Command(c.command);
    EXPECT_EQ(LastMessage(), "Datei ist nicht zu speichern");
    EXPECT_EQ(w->FileData.FileName, c.start);
    EXPECT_EQ(w->Named, 0);
    std::string part;
    GetFileNamePart(part, c.start);
    EXPECT_EQ(w->GetCaption(), part);
  }
}

TEST_F(FileLayerTest, OpeningRefusesForeignNewerAndDamagedFilesAndKeepsTheWindow) {
  // A good 2D file to start from.
  FileWin* writer = Make(dir_ + "good.kv2");
  writer->Named = 1;
  writer->PrintLeft = 2.0L;
  writer->Command(57);
  auto good = Bytes(dir_ + "good.kv2");
  ASSERT_FALSE(good.empty());

  auto variant = [&](const std::string& name, auto change) {
    auto b = good;
    change(b);
    EXPECT_TRUE(WriteFileAtomically(dir_ + name, b));
    return dir_ + name;
  };
  struct Case {
    std::string path;
    std::string message;
  };
  const Case cases[] = {
      {variant("three.kv2", [](auto& b) { b[0] = 0xC1, b[1] = 0x03; }), "Datei ist nicht zu öffnen"},  // 961
      {variant("newer.kv2", [](auto& b) { b[4] = 34; }), "Versionen nicht kompatibel!"},
      {variant("short.kv2", [](auto& b) { b.resize(900); }), "Datei ist nicht zu öffnen"},
      {variant("nomask.kv2", [](auto& b) { b.resize(1102); }), "Datei ist nicht zu öffnen"},
      {dir_ + "missing.kv2", "Datei ist nicht zu öffnen"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    FileWin* w = Make(dir_ + "mine.kv2");
    plat::testing::ExpectFileDialog(c.path);
    w->Command(59);
    EXPECT_EQ(LastMessage(), c.message);
    EXPECT_EQ(w->FileData.FileName, dir_ + "mine.kv2");
    EXPECT_EQ(w->GetCaption(), "mine.kv2");
    EXPECT_EQ(w->PrintLeft, 1.0L) << "nothing of the file was applied";
  }

  FileWin* w = Make(dir_ + "mine.kv2");
  plat::testing::ExpectFileDialog(dir_ + "good.kv2");
  w->Command(59);
  EXPECT_EQ(w->GetCaption(), "good.kv2");
  EXPECT_EQ(w->PrintLeft, 2.0L);
  EXPECT_EQ(w->Named, 1);
}

TEST_F(FileLayerTest, OpenFileByNameTriesTheStartFileThenTheLastFile) {
  FileWin* writer = Make(dir_ + "last.kv2");
  writer->Named = 1;
  writer->Command(57);

  ASSERT_TRUE(WriteFileAtomically(dir_ + "cut.kv2", {1, 2, 3}));
  // A file the user named that does not open says so once; the fallback to
  // the last file is silent.
  struct Case {
    std::string toOpen;
    std::uint8_t openLast;
    int code;
    std::string name;
    int messages;
  };
  const Case cases[] = {
      {dir_ + "last.kv2", 0, 0, dir_ + "last.kv2", 0},
      {"", 1, 0, dir_ + "last.kv2", 0},
      {dir_ + "gone.kv2", 1, 0, dir_ + "last.kv2", 1},
      {"", 0, 11, "Unbenannt7.kv2", 0},
      {dir_ + "gone.kv2", 0, 11, "Unbenannt7.kv2", 1},
      {dir_ + "cut.kv2", 0, 11, "Unbenannt7.kv2", 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.toOpen);
    auto* w = new FileWin("Unbenannt7.kv2");
    windows_.push_back(w);
    w->FileToOpen = c.toOpen;
    w->OpenLastFileFlag = c.openLast;
    w->LastFileName = c.openLast ? dir_ + "last.kv2" : "";
    w->Create();
    plat::testing::ClearMessages();
    EXPECT_EQ(w->OpenFileByName(), c.code);
    EXPECT_EQ(w->FileData.FileName, c.name);
    ASSERT_EQ(static_cast<int>(plat::testing::Messages().size()), c.messages);
    if (c.messages) {
      EXPECT_EQ(LastMessage(), "Datei ist nicht zu öffnen");
    }
  }
}

TEST_F(FileLayerTest, CaptionForms) {
  FileWin* w = Make(dir_ + "cap.kv2");
  w->UpdateCaption(true);
  EXPECT_EQ(w->GetCaption(), "Änderungen speichern unter  cap.kv2");
  w->ProtectionMask = 1;
  w->UpdateCaption(false, " [x]");
  EXPECT_EQ(w->GetCaption(), "cap.kv2 [x]+");
  w->CaptionShowsNamePart = 0;
  w->ProtectionMask = 0;
  w->UpdateCaption(false);
  EXPECT_EQ(w->GetCaption(), dir_ + "cap.kv2");
}

// ---- protection ----

void SetProtection(FileWin* w, const std::string& pw, bool bit1, bool copyright) {
  plat::testing::ExpectDialog("SETPW", [=](plat::Dialog& d) {
    d.SetItemText(211, pw);
    d.SetItemText(212, pw);
    d.SetItemText(213, "Anna Autorin");
    d.SetCheck(271, bit1);
    d.SetCheck(273, !bit1);
    d.SetCheck(274, copyright);
    d.Press(1);
  });
  w->Command(76);
}

TEST_F(FileLayerTest, AProtectedFileAsksForThePasswordOncePerWindow) {
  std::string path = dir_ + "secret.kv2";
  FileWin* author = Make(path);
  author->Named = 1;
  SetProtection(author, "Geheim", true, false);
  EXPECT_EQ(LastMessage(), "Geschützt");
  EXPECT_EQ(author->GetCaption(), "secret.kv2+");
  EXPECT_EQ(author->Modified, 1);
  author->Command(57);  // the author's own window is unlocked
  EXPECT_EQ(Count("ASKPW"), 0);

  FileWin* reader = Make(dir_ + "other.kv2");
  plat::testing::ExpectFileDialog(path);
  reader->Command(59);
  ASSERT_EQ(reader->ProtectionMask, 1);
  EXPECT_EQ(reader->Unlocked, 0);
  EXPECT_EQ(reader->Author, "Anna Autorin");

  // Wrong letter case, then cancel: nothing is written.
  auto before = Bytes(path);
  plat::testing::AnswerDialog("ASKPW", {{211, "geheim"}}, 1);
  reader->Command(57);
  EXPECT_EQ(LastMessage(), "nicht autorisiert");
  plat::testing::AnswerDialog("ASKPW", {{211, "Geheim"}}, 2);
  reader->Command(58);
  EXPECT_EQ(Bytes(path), before);
  EXPECT_EQ(reader->writes, 0);

  plat::testing::AnswerDialog("ASKPW", {{211, "Geheim"}}, 1);
  reader->Command(57);
  EXPECT_EQ(reader->writes, 1);
  reader->Command(57);
  reader->Modified = 1;
  plat::testing::ExpectDialog("YNCMBOX", [](plat::Dialog& d) { d.Press(kYes); });
  reader->CloseWindow();
  EXPECT_EQ(reader->writes, 3);
  EXPECT_EQ(Count("ASKPW"), 3);
}

TEST_F(FileLayerTest, ARefusedPasswordBlocksEverySaveAlsoWithoutAName) {
  FileWin* w = Make();
  w->Password = "x";
  w->ProtectionMask = 1;
  w->Unlocked = 0;
  w->Modified = 1;
  for (int cmd : {57, 58}) {
    plat::testing::AnswerDialog("ASKPW", {{211, "y"}}, 1);
    w->Command(cmd);
  }
  plat::testing::ExpectDialog("YNCMBOX", [](plat::Dialog& d) { d.Press(kYes); });
  plat::testing::AnswerDialog("ASKPW", {}, 2);
  EXPECT_FALSE(w->CanClose());
  EXPECT_EQ(Count("FILEDIALOG"), 0);
  EXPECT_EQ(w->writes, 0);
}

TEST_F(FileLayerTest, CopyrightAloneNeverAsksAndEnablesTheAuthorBox) {
  std::string path = dir_ + "c.kv2";
  FileWin* w = Make(path);
  w->Named = 1;
  EXPECT_FALSE(w->QueryCommand(77).enabled);
  w->ProtectionMask = kShowCopyright;
  w->Password = "pw";
  w->Author = "A";
  w->Date = "2010";
  w->Command(57);

  FileWin* r = Make(dir_ + "r.kv2");
  plat::testing::ExpectFileDialog(path);
  r->Command(59);
  EXPECT_EQ(r->ProtectionMask, kShowCopyright);
  r->Named = 1;
  r->Command(57);
  EXPECT_EQ(Count("ASKPW"), 0);
  EXPECT_TRUE(r->QueryCommand(77).enabled);
  r->Command(77);
  ASSERT_FALSE(plat::testing::Messages().empty());
  EXPECT_EQ(plat::testing::Messages().back().caption, "Autor");
  EXPECT_EQ(plat::testing::Messages().back().text, "A\r\n2010\r\n\r\n");
}

TEST_F(FileLayerTest, PasswordDialogChecksAndItsWaysOut) {
  struct Case {
    const char* what;
    std::string pw, confirm;
    bool anyBit;
    std::string message;  // shown on OK; the dialog is then left with Escape
  };
  const Case refused[] = {
      {"empty", "", "", true, "nichts zu tun"},
      {"different", "abc", "abd", true, "nicht identisch"},
      {"no bit", "abc", "abc", false, "nichts zu tun"},
      {"not storable", "ðx", "ðx", true, "jenseits der Grenzen"},
  };
  FileWin* w = Make();
  w->ProtectionMask = 1 + kShowCopyright;
  w->Password = "old";
  w->Author = "Autor";
  for (const Case& c : refused) {
    SCOPED_TRACE(c.what);
    plat::testing::ExpectDialog("SETPW", [&](plat::Dialog& d) {
      EXPECT_EQ(d.GetItemText(211), "");
      EXPECT_EQ(d.GetItemText(213), "Autor");
      EXPECT_TRUE(d.IsChecked(271));
      EXPECT_FALSE(d.IsChecked(274));
      d.SetItemText(211, c.pw);
      d.SetItemText(212, c.confirm);
      d.SetCheck(271, c.anyBit);
      d.Press(1);
      EXPECT_EQ(LastMessage(), c.message);
      if (c.message == "nicht identisch") {
        EXPECT_EQ(d.GetItemText(212), "");
      }
      d.PressEscape();
    });
    w->Command(76);
    EXPECT_EQ(w->ProtectionMask, 1 + kShowCopyright) << "Escape keeps the protection";
    EXPECT_EQ(w->Author, "Autor");
    EXPECT_EQ(w->Modified, 0);
  }

  Answer("SETPW", TPwdDlg::kClearButton);
  w->Command(76);
  EXPECT_EQ(w->ProtectionMask, 0);
  EXPECT_EQ(w->Author, "");
  EXPECT_EQ(LastMessage(), "kein Zugriff");
  EXPECT_EQ(w->Modified, 1);
}

TEST(Password, EveryByteBelowTheModulusSurvivesScrambling) {
  for (int b = 1; b < kScrambleModulus; ++b) {
    std::string s(1, static_cast<char>(b));
    ScramblePassword(s, kScrambleWriteExponent);
    ASSERT_EQ(s.size(), 1u) << b;
    ScramblePassword(s, kScrambleReadExponent);
    ASSERT_EQ(static_cast<unsigned char>(s[0]), b);
  }
  std::string m(1, static_cast<char>(kScrambleModulus));
  ScramblePassword(m, kScrambleWriteExponent);
  EXPECT_EQ(m, "") << "the modulus itself ends the string";
  EXPECT_EQ(ModPow(5, 0, 239), 1);
  EXPECT_EQ(ModPow(2, 10, 239), 1024 % 239);
  EXPECT_TRUE(IsStorablePassword("Käse€ß"));
  EXPECT_FALSE(IsStorablePassword("Kürbis"));  // ü is byte 252
  EXPECT_FALSE(IsStorablePassword("Ł"));
}

TEST_F(FileLayerTest, PasswordBlockBytesAndADamagedBlock) {
  FileWin* w = Make();
  w->Password = "ab";
  w->Author = "Ä";
  std::string path = dir_ + "block.bin";
  ASSERT_TRUE(w->OpenForWriting(path));
  w->WritePasswordBlock();
  ASSERT_TRUE(w->CloseFile());
  const std::uint8_t a = static_cast<std::uint8_t>(ModPow('a', 11, 239));
  const std::uint8_t b = static_cast<std::uint8_t>(ModPow('b', 11, 239));
  EXPECT_EQ(Bytes(path), (std::vector<std::uint8_t>{3, 0, a, b, 0, 2, 0, 0xC4, 0, 1, 0, 0, 1, 0, 0, 1, 0, 0}));

  ASSERT_TRUE(w->OpenForReading(path));
  w->Password.clear();
  EXPECT_TRUE(w->ReadPasswordBlock());
  EXPECT_EQ(w->Password, "ab");
  EXPECT_EQ(w->Author, "Ä");

  // A stored length beyond 101 bytes is damage: nothing changes.
  std::vector<std::uint8_t> bad = {200, 0};
  bad.resize(220, 'x');
  ASSERT_TRUE(WriteFileAtomically(path, bad));
  ASSERT_TRUE(w->OpenForReading(path));
  EXPECT_FALSE(w->ReadPasswordBlock());
  EXPECT_EQ(w->Password, "ab");
  w->AbandonFile();
}

}  // namespace
}  // namespace kv
