#include "platform/app.h"

#include <chrono>
#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QSocketNotifier>
#include <QTranslator>
#include <QTimer>

#include <algorithm>
#include <cerrno>
#include <clocale>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <memory>
#include <random>
#include <vector>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <unistd.h>

#include "core/binary_stream.h"
#include "platform/testing_impl.h"
#include "platform/ui_log.h"
#include "platform/window.h"
#include "platform/window_impl.h"

namespace plat {

namespace {

// Each event the program handles is a piece of work of its own, as far as
// the polls of long work are concerned (see WorkScope).
class Application : public QApplication {
 public:
  using QApplication::QApplication;
  bool notify(QObject* receiver, QEvent* e) override {
    WorkScope work;
    return QApplication::notify(receiver, e);
  }
};

std::unique_ptr<QApplication> g_qapp;
Window* g_mainWindow = nullptr;
std::vector<Window*> g_pendingDelete;
bool g_deleteScheduled = false;

// Filters input while the program polls (see poll.cpp).
class InputFilter : public QObject {
 protected:
  bool eventFilter(QObject* target, QEvent* e) override {
    if (UiLogOn()) NoteUiEvent(target, e);
    if (IsPolling()) return HandleEventWhilePolling(target, e);
    return false;
  }
};

InputFilter* g_filter = nullptr;

// SIGTERM, SIGHUP and SIGINT are turned into an event of the loop through a
// pipe: the handler itself may only write a byte (the signal's number) and
// note that the signal came, for work that runs before the loop reads it.
int g_termPipe[2] = {-1, -1};
bool g_terminating = false;
volatile std::sig_atomic_t g_termSignalled = 0;

void OnTermSignal(int signal) {
  g_termSignalled = 1;
  const char c = static_cast<char>(signal);
  [[maybe_unused]] const ssize_t n = ::write(g_termPipe[1], &c, 1);
}

void InstallTermHandler() {
  if (g_termPipe[0] >= 0 || ::pipe2(g_termPipe, O_CLOEXEC | O_NONBLOCK) != 0) return;
  auto* notifier = new QSocketNotifier(g_termPipe[0], QSocketNotifier::Read, g_qapp.get());
  QObject::connect(notifier, &QSocketNotifier::activated, notifier, [] {
    char c = SIGTERM;
    char next;
    while (::read(g_termPipe[0], &next, 1) > 0) c = next;
    App::TerminateMainWindow();
    // Ends the process the way the signal would have.
    std::signal(c, SIG_DFL);
    std::raise(c);
  });
  struct sigaction sa {};
  sa.sa_handler = OnTermSignal;
  sigemptyset(&sa.sa_mask);
  sa.sa_flags = SA_RESTART;
  ::sigaction(SIGTERM, &sa, nullptr);
  // A closed terminal, a logout or Ctrl+C in the terminal ends the program
  // as SIGTERM does; a start that was told to ignore them (nohup, a
  // background job of a shell) keeps ignoring them.
  for (const int signal : {SIGHUP, SIGINT}) {
    struct sigaction old {};
    if (::sigaction(signal, nullptr, &old) == 0 && old.sa_handler != SIG_IGN) ::sigaction(signal, &sa, nullptr);
  }
}

}  // namespace

App::App(int& argc, char** argv) {
  g_qapp = std::make_unique<Application>(argc, argv);
  // The toolkit switched the C library to the user's locale; numbers must
  // always be written and read with a decimal point.
  std::setlocale(LC_NUMERIC, "C");
  // The program speaks German, and so do the toolkit's own dialogs (file,
  // font, print), whatever the user's locale.
  auto* translator = new QTranslator(g_qapp.get());
  if (translator->load("qtbase_de", QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
    QCoreApplication::installTranslator(translator);
  // Texts the toolkit takes from the locale rather than from a translation
  // (a file's type, dates and sizes in the file dialog) are German too.
  // The program formats its numbers itself, in the C locale.
  QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
  QApplication::setQuitOnLastWindowClosed(false);
  QFont f("Liberation Sans");
  f.setPixelSize(12);
  QApplication::setFont(f);
  g_filter = new InputFilter;
  g_qapp->installEventFilter(g_filter);
  // A write beyond the file-size limit fails with EFBIG like any failed
  // write (the save reports it) instead of ending the program with all its
  // unsaved work.
  struct sigaction ignore {};
  ignore.sa_handler = SIG_IGN;
  sigemptyset(&ignore.sa_mask);
  ::sigaction(SIGXFSZ, &ignore, nullptr);
}

App::~App() {
  DeleteDestroyedWindows();
  if (g_mainWindow) {
    Window* w = g_mainWindow;
    g_mainWindow = nullptr;
    if (!w->IsDestroyed()) w->Destroy();
    DeleteDestroyedWindows();
  }
  // Widgets of windows closed last wait for a loop that no longer runs.
  if (g_qapp) QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  if (g_qapp && g_filter) g_qapp->removeEventFilter(g_filter);
  delete g_filter;
  g_filter = nullptr;
  g_qapp.reset();
}

int App::Run(Window* mainWindow) {
  // Before the loop runs there is nothing to write, and nothing would read
  // the pipe: until here SIGTERM, SIGHUP and SIGINT end the process at once
  // (a second start waiting for the running instance, say).
  InstallTermHandler();
  g_mainWindow = mainWindow;
  if (!mainWindow->Create()) return 1;
  if (!mainWindow->IsVisible() && !mainWindow->IsDestroyed()) mainWindow->Show(SW_SHOWNORMAL);
  int rc = QApplication::exec();
  DeleteDestroyedWindows();
  g_mainWindow = nullptr;
  return rc;
}

bool App::Terminating() { return g_terminating || g_termSignalled != 0; }

void App::TerminateMainWindow() {
  g_terminating = true;
  if (g_mainWindow && !g_mainWindow->IsDestroyed()) g_mainWindow->Destroy();
  g_terminating = false;
}

void App::Quit(int exitCode) {
  if (QCoreApplication::instance()) QCoreApplication::exit(exitCode);
}

bool App::Exists() { return QCoreApplication::instance() != nullptr; }

void App::ProcessEvents() { QCoreApplication::processEvents(QEventLoop::AllEvents); }

Window* App::MainWindow() { return g_mainWindow; }

void App::DeleteDestroyedWindows() {
  g_deleteScheduled = false;
  while (!g_pendingDelete.empty()) {
    Window* w = g_pendingDelete.back();
    g_pendingDelete.pop_back();
    if (w == g_mainWindow) g_mainWindow = nullptr;
    delete w;
  }
}

void ScheduleDelete(Window* w) {
  if (std::find(g_pendingDelete.begin(), g_pendingDelete.end(), w) == g_pendingDelete.end())
    g_pendingDelete.push_back(w);
  if (!g_deleteScheduled && QCoreApplication::instance()) {
    g_deleteScheduled = true;
    QTimer::singleShot(0, [] { App::DeleteDestroyedWindows(); });
  }
}

void ForgetScheduledDelete(Window* w) {
  g_pendingDelete.erase(std::remove(g_pendingDelete.begin(), g_pendingDelete.end(), w), g_pendingDelete.end());
}

// ---- random generator ----

namespace {
std::mt19937& Generator() {
  static std::mt19937 gen(static_cast<std::uint32_t>(std::time(nullptr)));
  return gen;
}
}  // namespace

void SeedRandom(std::uint32_t seed) { Generator().seed(seed); }
int Rand() { return static_cast<int>(Generator()() >> 1); }

// ---- clock ----

std::int64_t TimeNowSeconds() {
  std::int64_t s;
  LocalTime l;
  if (testing::internal::ClockFixed(s, l)) return s;
  return static_cast<std::int64_t>(std::time(nullptr));
}

std::int64_t TickMilliseconds() {
  if (testing::internal::FakeTicksOn()) return testing::internal::FakeTickNow();
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

LocalTime Now() {
  std::int64_t s;
  LocalTime l;
  if (testing::internal::ClockFixed(s, l)) return l;
  timeval tv{};
  gettimeofday(&tv, nullptr);
  std::tm tmv{};
  time_t t = tv.tv_sec;
  localtime_r(&t, &tmv);
  l.year = tmv.tm_year + 1900;
  l.month = tmv.tm_mon + 1;
  l.day = tmv.tm_mday;
  l.hour = tmv.tm_hour;
  l.minute = tmv.tm_min;
  l.second = tmv.tm_sec;
  l.hundredths = static_cast<int>(tv.tv_usec / 10000);
  return l;
}

// ---- settings folder ----

void LogEvent(const std::string& line) {
  const char* path = std::getenv("KURVATO_EVENT_LOG");
  if (!path || !*path) return;
  std::string text = line;
  // One event, one line: texts with CR LF line ends too.
  std::replace(text.begin(), text.end(), '\n', ' ');
  std::replace(text.begin(), text.end(), '\r', ' ');
  kv::AppendToFile(path, text + "\n");
}

namespace {

std::string Slashed(std::string dir) { return dir.empty() || dir.back() == '/' ? dir : dir + '/'; }

// A folder on the way to one of the user's own: it belongs to the user or
// to root, and nobody else may write into it unless it is sticky (then
// others may remove or rename only what is theirs).
bool SafeOnTheWay(const std::string& folder) {
  struct stat st;
  return ::stat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && (st.st_uid == ::getuid() || st.st_uid == 0) &&
         ((st.st_mode & 022) == 0 || (st.st_mode & S_ISVTX) != 0);
}

std::string Parent(const std::string& real) {
  const std::size_t slash = real.find_last_of('/');
  return slash == 0 || slash == std::string::npos ? std::string("/") : real.substr(0, slash);
}

// Whether nobody but the user and root can move the folder away or put
// another in its place: every folder the path leads through up to the root,
// also where a link on the way leads, is safe on the way (and so is the
// folder itself), and every link on the way is the user's or root's.
bool SafeWay(const std::string& folder) {
  std::error_code ec;
  const std::string path = std::filesystem::absolute(folder, ec).string();
  if (ec || !SafeOnTheWay("/")) return false;
  std::string above = "/";  // where the path so far leads, checked with all above it
  for (std::size_t start = 1; start <= path.size();) {
    const std::size_t end = std::min(path.find('/', start), path.size());
    if (end > start) {
      const std::string prefix = path.substr(0, end);
      struct stat st;
      if (::lstat(prefix.c_str(), &st) != 0 || (S_ISLNK(st.st_mode) && st.st_uid != ::getuid() && st.st_uid != 0))
        return false;
      char* resolved = ::realpath(prefix.c_str(), nullptr);
      if (!resolved) return false;
      const std::string real = resolved;
      std::free(resolved);
      if (!SafeOnTheWay(real)) return false;
      // A link or ".." led elsewhere: the folders above that place too.
      if (Parent(real) != above && real != "/")
        for (std::string up = Parent(real); up != "/"; up = Parent(up))
          if (!SafeOnTheWay(up)) return false;
      above = real;
    }
    start = end + 1;
  }
  return true;
}

// The folder itself, without following a link: a real folder of the user's
// own that nobody else may write into.
bool OwnRealFolder(const std::string& path) {
  struct stat st;
  return ::lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::getuid() && (st.st_mode & 022) == 0;
}

// How many private temporary folders a user may have in one place: beyond
// "kurvato-<uid>", names taken by others are passed over up to this count.
constexpr int kTemporaryFolders = 10;

std::string PasswordHome() {
  const long suggested = ::sysconf(_SC_GETPW_R_SIZE_MAX);
  std::vector<char> buffer(suggested > 0 ? static_cast<std::size_t>(suggested) : 16384);
  passwd entry{};
  passwd* found = nullptr;
  if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) != 0 || !found || !found->pw_dir)
    return {};
  return found->pw_dir;
}

// The folders leading to `dir`, and `dir` itself with mode 0700 when it is
// made now.
void MakeFolders(const std::string& dir) {
  std::filesystem::path p(dir);
  if (!p.has_filename()) p = p.parent_path();
  std::error_code ec;
  std::filesystem::create_directories(p.parent_path(), ec);
  ::mkdir(p.c_str(), 0700);
}

// Why the folder may not hold the settings, or "" when it may.
std::string Untrusted(const std::string& dir) {
  if (FolderOfUsersOwn(dir)) return {};
  struct stat st;
  if (::stat(dir.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return "cannot be made";
  if (st.st_uid != ::getuid()) return "is not the user's own";
  if (st.st_mode & 022) return "may be written into by others";
  return "lies in a folder or behind a link that others may change";
}

}  // namespace

bool FolderOfUsersOwn(const std::string& folder) {
  // Without its closing slashes: "link/" would name what the link leads to.
  std::string path = folder;
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  struct stat st;
  if (::lstat(path.c_str(), &st) != 0) return false;
  // A link the user made (a settings folder kept elsewhere) counts as the
  // folder it leads to; a link of anyone else's does not count.
  if (S_ISLNK(st.st_mode) && (st.st_uid != ::getuid() || ::stat(path.c_str(), &st) != 0)) return false;
  return S_ISDIR(st.st_mode) && st.st_uid == ::getuid() && (st.st_mode & 022) == 0 && SafeWay(path);
}

std::string PrivateTemporaryFolder(const std::string& base) {
  if (base.empty() || !SafeWay(base)) return {};
  const std::string stem = Slashed(base) + "kurvato-" + std::to_string(::getuid());
  auto name = [&stem](int k) { return k == 0 ? stem : stem + "-" + std::to_string(k); };
  // One that is there already first: an earlier start made it, and later
  // starts must meet it there even when a name before it has become free.
  for (int k = 0; k < kTemporaryFolders; ++k)
    if (OwnRealFolder(name(k))) return name(k) + "/";
  for (int k = 0; k < kTemporaryFolders; ++k)
    if ((::mkdir(name(k).c_str(), 0700) == 0 || errno == EEXIST) && OwnRealFolder(name(k))) return name(k) + "/";
  return {};
}

std::string ChooseSettingsDirectory(const char* kurvatoHome, const char* xdgConfigHome, const char* home,
                                    const std::string& passwordHome, const std::string& tempFolder) {
  auto given = [](const char* v) { return v && *v; };
  std::string dir;
  if (given(kurvatoHome)) dir = kurvatoHome;
  else if (given(xdgConfigHome)) dir = std::string(xdgConfigHome) + "/kurvato";
  else if (given(home)) dir = std::string(home) + "/.config/kurvato";
  // No variable names a home: the one of the user's entry in the password
  // database, when it can hold the folder.
  else if (!passwordHome.empty() && passwordHome != "/") dir = passwordHome + "/.config/kurvato";
  // Another user who may write into the folder, or into one above it, could
  // put links there that the settings would be written through, hold its
  // lock or move it away: such a folder is passed over, and said so once.
  if (!dir.empty()) {
    MakeFolders(dir);
    const std::string why = Untrusted(dir);
    if (why.empty()) return Slashed(dir);
    static std::string toldFor;
    if (toldFor != dir) {
      toldFor = dir;
      std::fprintf(stderr, "kurvato: the settings folder %s %s; a private folder is used instead\n", dir.c_str(),
                   why.c_str());
    }
  }
  // Else a private folder among the temporary files, the same for every
  // start (one instance, one lock).  When none can be had, a folder that
  // cannot exist, so settings are neither read nor written.
  for (const std::string& base : {tempFolder.empty() ? std::string("/tmp") : tempFolder, std::string("/tmp")}) {
    const std::string own = PrivateTemporaryFolder(base);
    if (!own.empty()) return own;
  }
  return "/dev/null/";
}

std::string SettingsDirectory() {
  const char* temp = std::getenv("TMPDIR");
  return ChooseSettingsDirectory(std::getenv("KURVATO_HOME"), std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME"),
                                 PasswordHome(), temp && *temp == '/' ? std::string(temp) : std::string("/tmp"));
}

}  // namespace plat
