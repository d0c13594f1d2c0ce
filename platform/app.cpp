#include "platform/app.h"

#include <chrono>
#include <QApplication>
#include <QLibraryInfo>
#include <QSocketNotifier>
#include <QTranslator>
#include <QTimer>

#include <algorithm>
#include <clocale>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <memory>
#include <random>
#include <fcntl.h>
#include <sys/time.h>
#include <unistd.h>

#include "platform/testing_impl.h"
#include "platform/ui_log.h"
#include "platform/window.h"
#include "platform/window_impl.h"

namespace plat {

namespace {

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

// SIGTERM is turned into an event of the loop through a pipe: the handler
// itself may only write a byte.
int g_termPipe[2] = {-1, -1};
bool g_terminating = false;

void OnTermSignal(int) {
  const char c = 1;
  [[maybe_unused]] const ssize_t n = ::write(g_termPipe[1], &c, 1);
}

void InstallTermHandler() {
  if (g_termPipe[0] >= 0 || ::pipe2(g_termPipe, O_CLOEXEC | O_NONBLOCK) != 0) return;
  auto* notifier = new QSocketNotifier(g_termPipe[0], QSocketNotifier::Read, g_qapp.get());
  QObject::connect(notifier, &QSocketNotifier::activated, notifier, [] {
    char c;
    while (::read(g_termPipe[0], &c, 1) > 0) {
    }
    App::TerminateMainWindow();
    // Ends the process the way the signal would have.
    std::signal(SIGTERM, SIG_DFL);
    std::raise(SIGTERM);
  });
  struct sigaction sa {};
  sa.sa_handler = OnTermSignal;
  sigemptyset(&sa.sa_mask);
  sa.sa_flags = SA_RESTART;
  ::sigaction(SIGTERM, &sa, nullptr);
}

}  // namespace

App::App(int& argc, char** argv) {
  g_qapp = std::make_unique<QApplication>(argc, argv);
  // The toolkit switched the C library to the user's locale; numbers must
  // always be written and read with a decimal point.
  std::setlocale(LC_NUMERIC, "C");
  // The program speaks German, and so do the toolkit's own dialogs (file,
  // font, print), whatever the user's locale.
  auto* translator = new QTranslator(g_qapp.get());
  if (translator->load("qtbase_de", QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
    QCoreApplication::installTranslator(translator);
  QApplication::setQuitOnLastWindowClosed(false);
  QFont f("Liberation Sans");
  f.setPixelSize(12);
  QApplication::setFont(f);
  g_filter = new InputFilter;
  g_qapp->installEventFilter(g_filter);
  InstallTermHandler();
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
  g_mainWindow = mainWindow;
  if (!mainWindow->Create()) return 1;
  if (!mainWindow->IsVisible() && !mainWindow->IsDestroyed()) mainWindow->Show(SW_SHOWNORMAL);
  int rc = QApplication::exec();
  DeleteDestroyedWindows();
  g_mainWindow = nullptr;
  return rc;
}

bool App::Terminating() { return g_terminating; }

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
  if (std::FILE* f = std::fopen(path, "ab")) {
    std::fprintf(f, "%s\n", text.c_str());
    std::fclose(f);
  }
}

std::string SettingsDirectory() {
  std::string dir;
  if (const char* home = std::getenv("KURVATO_HOME"); home && *home) {
    dir = home;
  } else if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg) {
    dir = std::string(xdg) + "/kurvato";
  } else if (const char* h = std::getenv("HOME"); h && *h) {
    dir = std::string(h) + "/.config/kurvato";
  } else {
    dir = "/tmp/kurvato";
  }
  if (dir.back() != '/') dir += '/';
  std::error_code ec;
  std::filesystem::create_directories(dir, ec);
  return dir;
}

}  // namespace plat
