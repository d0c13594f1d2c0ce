#include "platform/app.h"

#include <chrono>
#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QSocketNotifier>
#include <QTranslator>
#include <QTimer>

#include <algorithm>
#include <clocale>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <random>
#include <vector>
#include <fcntl.h>
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
    if (e->type() == QEvent::KeyPress) NoteWorkStartedByKey();
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
    // When the program ends, for drivers that measure how soon it obeys.
    LogEvent("signal " + std::to_string(static_cast<int>(c)) + " " + std::to_string(TickMilliseconds()));
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

// ---- event log ----

void LogEvent(const std::string& line) {
  const char* path = std::getenv("KURVATO_EVENT_LOG");
  if (!path || !*path) return;
  std::string text = line;
  // One event, one line: texts with CR LF line ends too.
  std::replace(text.begin(), text.end(), '\n', ' ');
  std::replace(text.begin(), text.end(), '\r', ' ');
  kv::AppendToFile(path, text + "\n");
}

}  // namespace plat
