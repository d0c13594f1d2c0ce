// Single-instance hand-off over a per-user local socket.  The places of the
// socket and of the lock file depend on the user and the settings folder,
// so test runs with their own folder never meet a desktop instance.
//
// Protocol: the second start connects and sends its text as a hand-off
// message (handoff_message.h: any bytes, a newline too).  The running
// instance answers "GOT\n" when it takes the text up (once no long work of
// its own runs), handles it (opens the file, with whatever message that
// shows) and then answers "ACK\n": the second start returns when its file
// has been handled.  A connection that closes before "GOT\n" was not taken,
// and the second start asks again; one that closes after it counts as
// handed over (the instance ended while opening the file).  An instance of
// an older build answers "ACK\n" alone, at once.
//
// The lock file says where the socket is ("socket <path>\n": an absolute
// path, or "kurvato.socket" for the settings folder itself), so a start
// whose $XDG_RUNTIME_DIR differs from the instance's (over ssh, su or from
// a script) still finds it.
#include "platform/instance.h"

#include <QByteArray>
#include <QCryptographicHash>
#include <QElapsedTimer>
#include <QLocalServer>
#include <QLocalSocket>
#include <QPointer>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <memory>
#include <string_view>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include "platform/app.h"
#include "platform/own_folders.h"
#include "platform/handoff_message.h"
#include "platform/window_impl.h"

namespace plat {

namespace {

// The longest socket path the system takes (sun_path holds 108 bytes with
// the closing zero).  The toolkit first makes the socket in a fresh
// folder "XXXXXX/s" beside the final name and renames it into place, so
// that name must fit too.
constexpr std::size_t kMaxSocketPath = sizeof(sockaddr_un{}.sun_path) - 1;

bool Fits(const std::string& folder, const std::string& name) {
  return folder.size() + std::max<std::size_t>(name.size(), 8) <= kMaxSocketPath;
}

std::string Slashed(std::string dir) { return dir.empty() || dir.back() == '/' ? dir : dir + '/'; }

constexpr char kSettingsSocketName[] = "kurvato.socket";

struct SocketPlace {
  std::string path;
  bool temporaryFolder = false;  // in a private temporary folder
  std::string shown;             // the path by the folder's name, for the log
  std::string note;              // the path as the lock file gives it to later starts
};

SocketPlace ChooseSocketPlace() {
  const std::string settingsName = SettingsFolderName();
  // Folders that others share hold one socket per settings folder, named by
  // the folder itself: every spelling of its name that reaches the same
  // folder (and so the same lock) reaches the same socket.
  const std::string hash =
      QCryptographicHash::hash(QByteArray::fromStdString(SettingsFolderIdentity()), QCryptographicHash::Sha1)
          .toHex()
          .left(12)
          .toStdString();
  const std::string shared = "kurvato-" + hash + ".socket";
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  if (runtime && *runtime == '/') {
    const std::string dir = Slashed(runtime);
    if (Fits(dir, shared) && FolderOfUsersOwn(dir)) return {dir + shared, false, dir + shared, dir + shared};
  }
  // The settings folder was judged when it was chosen, and is reached through
  // the folder opened then (a short path, whatever its name's length).
  const std::string settings = SettingsDirectory();
  if (!settingsName.empty() && Fits(settings, kSettingsSocketName))
    return {settings + kSettingsSocketName, false, settingsName + kSettingsSocketName, kSettingsSocketName};
  // The settings folder is too deep for a socket: the private folder among
  // the temporary files, the same for every start of the user.  One is made
  // only where the longest of its names leaves room for the socket.
  const char* temp = std::getenv("TMPDIR");
  for (const std::string& base : {std::string(temp && *temp == '/' ? temp : ""), std::string("/tmp")}) {
    if (base.empty() || !Fits(Slashed(base) + "kurvato-" + std::to_string(::getuid()) + "-9/", shared)) continue;
    const std::string dir = PrivateTemporaryFolder(base);
    if (!dir.empty()) return {dir + shared, true, dir + shared, dir + shared};
  }
  return {};
}

}  // namespace

std::string HandOffSocketPath() { return ChooseSocketPlace().path; }

namespace {

// ---- the instance lock ----

enum class Lock { Held, Taken, Unavailable };

int g_lockFd = -1;

// What the lock file holds: "socket <path>\n" while its holder listens
// there; "unreachable\n" while it cannot listen for later starts (they open
// their files themselves rather than wait for a socket that will not come);
// nothing while the holder is still starting.
constexpr char kUnreachable[] = "unreachable\n";
constexpr char kSocketNote[] = "socket ";

// Writes the note over the lock file's text and cuts what is left of a
// longer one: a start that reads meanwhile sees the old note, the new one,
// or a text without its line end that it takes for no note.
void WriteLockNote(const std::string& note) {
  if (g_lockFd < 0) return;
  const bool written = ::pwrite(g_lockFd, note.data(), note.size(), 0) == static_cast<ssize_t>(note.size()) &&
                       ::ftruncate(g_lockFd, static_cast<off_t>(note.size())) == 0;
  (void)written;  // without the note a later start looks where it would listen itself
}

void MarkUnreachable(bool unreachable) { WriteLockNote(unreachable ? kUnreachable : ""); }

// Takes the lock on "kurvato.lock" in the settings folder, or confirms that
// this process holds it.  Taken: another process holds it.  Unavailable:
// the file cannot be made (a folder without write access).
Lock TakeInstanceLock() {
  if (g_lockFd >= 0) return Lock::Held;
  const std::string path = SettingsDirectory() + "kurvato.lock";
  const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
  if (fd < 0) return Lock::Unavailable;
  int rc;
  do {
    rc = ::flock(fd, LOCK_EX | LOCK_NB);
  } while (rc != 0 && errno == EINTR);
  if (rc != 0) {
    const bool taken = errno == EWOULDBLOCK;
    ::close(fd);
    return taken ? Lock::Taken : Lock::Unavailable;
  }
  g_lockFd = fd;
  MarkUnreachable(false);  // a note left by an instance that has ended
  return Lock::Held;
}

struct LockNote {
  bool unreachable = false;
  std::string socket;  // where the holder listens, as a path this process can use; "" when not said
};

// What the holder of the lock says about itself.
LockNote ReadLockNote() {
  LockNote note;
  const int fd = ::open((SettingsDirectory() + "kurvato.lock").c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) return note;
  char text[512];
  const ssize_t n = ::pread(fd, text, sizeof text, 0);
  ::close(fd);
  if (n <= 0 || text[n - 1] != '\n') return note;
  const std::string_view line(text, static_cast<std::size_t>(n) - 1);
  if (line.find('\n') != std::string_view::npos) return note;
  note.unreachable = std::string_view(text, static_cast<std::size_t>(n)) == kUnreachable;
  if (line.substr(0, sizeof kSocketNote - 1) != kSocketNote) return note;
  const std::string_view where = line.substr(sizeof kSocketNote - 1);
  if (where == kSettingsSocketName)
    note.socket = SettingsDirectory() + kSettingsSocketName;
  else if (!where.empty() && where.front() == '/' && where.size() <= kMaxSocketPath &&
           where.find('\0') == std::string_view::npos)
    note.socket = std::string(where);
  return note;
}

// Where the running instance listens: where its lock says, else where this
// process would listen itself.
std::string RunningInstanceSocketPath() {
  std::string path = ReadLockNote().socket;
  return path.empty() ? HandOffSocketPath() : path;
}

void ReleaseInstanceLock() {
  if (g_lockFd < 0) return;
  ::close(g_lockFd);
  g_lockFd = -1;
}

// ---- sending ----

enum class Answer { Handled, Taken, Closed, Silent };

// Says once that this start waits for a busy instance: when the text has
// not been taken half a second after the start began.
class WaitNotice {
 public:
  explicit WaitNotice(std::function<void()> say) : say_(std::move(say)) { started_.start(); }
  void Check() {
    if (said_ || started_.elapsed() < 500) return;
    said_ = true;
    if (say_) say_();
  }
  qint64 Elapsed() const { return started_.elapsed(); }

 private:
  std::function<void()> say_;
  QElapsedTimer started_;
  bool said_ = false;
};

// Waits for the answers to a sent message: Handled with "ACK\n"; Taken when
// the instance answered "GOT\n" and then closed the connection, or did not
// answer "ACK\n" within `handledMs` (negative: as long as the connection
// lasts); Closed when it dropped the connection before taking the text;
// Silent when it did not take the text within `takenMs`.
Answer WaitForAnswer(QLocalSocket& s, int takenMs, int handledMs, WaitNotice* notice = nullptr) {
  QElapsedTimer t;
  t.start();
  QByteArray buffer;
  bool taken = false;
  qint64 takenAt = 0;
  for (;;) {
    if (buffer.contains("ACK\n")) return Answer::Handled;
    if (!taken && buffer.contains("GOT\n")) {
      taken = true;
      takenAt = t.elapsed();
    }
    if (!taken && notice) notice->Check();
    const qint64 left = taken ? (handledMs < 0 ? 100 : handledMs - (t.elapsed() - takenAt)) : takenMs - t.elapsed();
    if (left <= 0) return taken ? Answer::Taken : Answer::Silent;
    if (!s.bytesAvailable()) {
      const int wait = static_cast<int>(std::clamp<qint64>(left, 1, 100));
      if (!s.waitForReadyRead(wait) && s.state() != QLocalSocket::ConnectedState) {
        buffer += s.readAll();
        if (buffer.contains("ACK\n")) return Answer::Handled;
        return taken || buffer.contains("GOT\n") ? Answer::Taken : Answer::Closed;
      }
    }
    buffer += s.readAll();
  }
}

// Whether the socket at the path is this user's: the file, not a link, is
// a socket of the user's own; the connected peer runs as this user.  A
// socket another user made (in a folder others may write into) never gets
// the file name.
bool OwnSocketFile(const std::string& path) {
  struct stat st;
  return ::lstat(path.c_str(), &st) == 0 && S_ISSOCK(st.st_mode) && st.st_uid == ::getuid();
}

bool OwnPeer(const QLocalSocket& s) {
  ucred peer{};
  socklen_t length = sizeof peer;
  const int fd = static_cast<int>(s.socketDescriptor());
  return fd >= 0 && ::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &peer, &length) == 0 && length == sizeof peer &&
         peer.uid == ::getuid();
}

// Connects to the socket at `path` and sends.  False when no instance of
// this user listens there (yet), or the connection could not be made in time.
bool Send(QLocalSocket& s, const std::string& path, const std::string& text, int timeoutMs) {
  if (path.empty() || !OwnSocketFile(path)) return false;
  s.connectToServer(QString::fromStdString(path));
  if (!s.waitForConnected(timeoutMs)) return false;
  if (!OwnPeer(s)) {
    s.abort();
    return false;
  }
  s.write(QByteArray::fromStdString(EncodeHandOffMessage(text)));
  s.flush();
  return true;
}

}  // namespace

bool HandOffToRunningInstance(const std::string& text, int timeoutMs) {
  QLocalSocket s;
  if (!Send(s, RunningInstanceSocketPath(), text, timeoutMs)) return false;
  const Answer a = WaitForAnswer(s, timeoutMs, timeoutMs);
  return a == Answer::Handled || a == Answer::Taken;
}

StartRole BecomeInstanceOrHandOff(const std::string& text, int patienceMs, std::function<void()> onWaiting) {
  WaitNotice notice(std::move(onWaiting));
  const auto elapsed = [&notice] { return notice.Elapsed(); };
  bool socketSeen = false;  // a socket of the user's own was there: the instance listens
  for (;;) {
    switch (TakeInstanceLock()) {
      case Lock::Held: return StartRole::Instance;
      // Without a lock nothing tells whether an instance lives: one
      // attempt, as a program without the lock would.
      case Lock::Unavailable: return HandOffToRunningInstance(text) ? StartRole::HandedOff : StartRole::Instance;
      case Lock::Taken: break;
    }
    // An instance runs, but no socket can be had that would reach it, or
    // it says that it cannot listen: rather than lose the text, this start
    // takes it itself.  So it does when no socket came in all its patience.
    const LockNote note = ReadLockNote();
    const std::string path = note.socket.empty() ? HandOffSocketPath() : note.socket;
    if (path.empty() || note.unreachable) return StartRole::Alone;
    socketSeen = socketSeen || OwnSocketFile(path);
    const int left = static_cast<int>(patienceMs - elapsed());
    if (left <= 0) return socketSeen ? StartRole::NoAnswer : StartRole::Alone;
    notice.Check();
    QLocalSocket s;
    if (Send(s, path, text, std::min(left, 1000))) {
      // Once taken, the file is the instance's: this start waits while it
      // is opened, as long as the instance lives.
      switch (WaitForAnswer(s, std::max(1, static_cast<int>(patienceMs - elapsed())), -1, &notice)) {
        case Answer::Handled:
        case Answer::Taken: return StartRole::HandedOff;
        // The text waits in the connection and is taken when the instance
        // gets back to its loop; asking again could open the file twice.
        case Answer::Silent: return StartRole::NoAnswer;
        case Answer::Closed: break;  // dropped unread: ask again
      }
    }
    // Not listening yet (still starting), its queue full (a flood), or the
    // connection dropped: a moment later.
    QThread::msleep(100);
  }
}

namespace {

// A flood of connections must not use up the process's file descriptors:
// connections that send no complete message in time are closed, and beyond a
// handful of live ones the oldest makes room.  When accepting fails anyway
// (descriptors ran out elsewhere) the toolkit stops listening; the watch
// timer listens again.
constexpr int kMaxConnections = 8;
constexpr int kIdleMs = 3000;
constexpr int kWatchMs = 500;

std::unique_ptr<QLocalServer> g_server;
std::function<void(const std::string&)> g_receiver;
std::deque<QPointer<QLocalSocket>> g_connections;
std::unique_ptr<QTimer> g_watch;

void Drop(QLocalSocket* c) {
  c->abort();
  c->deleteLater();
}

// Runs `work` on the event loop once no command, paint or poll of the
// program's own is under way: a file handed over during long work opens
// after that work, as a dropped file would wait.
void RunWhenIdle(std::function<void()> work) {
  if (!g_server) return;  // the instance stopped listening: it is ending
  QTimer::singleShot(0, g_server.get(), [work = std::move(work)]() mutable {
    if (WorkBeneathThisEvent()) {
      QTimer::singleShot(50, g_server.get(), [work = std::move(work)]() mutable { RunWhenIdle(std::move(work)); });
      return;
    }
    work();
  });
}

void Accept(QLocalSocket* c) {
  g_connections.erase(std::remove_if(g_connections.begin(), g_connections.end(),
                                     [](const QPointer<QLocalSocket>& p) { return p.isNull(); }),
                      g_connections.end());
  while (static_cast<int>(g_connections.size()) >= kMaxConnections) {
    if (QLocalSocket* old = g_connections.front()) Drop(old);
    g_connections.pop_front();
  }
  g_connections.emplace_back(c);
  auto buffer = std::make_shared<QByteArray>();
  QObject::connect(c, &QLocalSocket::disconnected, c, &QObject::deleteLater);
  auto* idle = new QTimer(c);
  idle->setSingleShot(true);
  QObject::connect(idle, &QTimer::timeout, c, [c] { Drop(c); });
  idle->start(kIdleMs);
  auto read = [c, buffer, idle] {
    *buffer += c->readAll();
    std::string text;
    std::size_t used = 0;
    switch (DecodeHandOffMessage(std::string_view(buffer->constData(), static_cast<std::size_t>(buffer->size())),
                                 text, used)) {
      case HandOffDecode::Incomplete: return;
      case HandOffDecode::Invalid: Drop(c); return;
      case HandOffDecode::Complete: break;
    }
    buffer->clear();
    // A complete message: the connection stays until its text is handled,
    // and no longer counts among the idle ones that a flood may push out
    // (dropped unanswered, its sender would send the text again).
    idle->stop();
    g_connections.erase(std::remove(g_connections.begin(), g_connections.end(), QPointer<QLocalSocket>(c)),
                        g_connections.end());
    QObject::disconnect(c, &QLocalSocket::readyRead, nullptr, nullptr);
    RunWhenIdle([connection = QPointer<QLocalSocket>(c), text] {
      const auto answer = [&connection](const char* what) {
        if (!connection || connection->state() != QLocalSocket::ConnectedState) return;
        connection->write(what);
        connection->flush();
      };
      answer("GOT\n");
      if (g_receiver) g_receiver(text);
      answer("ACK\n");
      if (connection) connection->disconnectFromServer();
    });
  };
  QObject::connect(c, &QLocalSocket::readyRead, c, read);
  // A start that sent and closed before it was accepted left its message
  // waiting.
  if (c->bytesAvailable()) read();
}

// The socket file this instance made, to notice when it is gone or another
// file took its place.
struct stat g_socketFile {};

void NoteSocketFile() {
  if (::lstat(g_server->fullServerName().toStdString().c_str(), &g_socketFile) != 0) g_socketFile = {};
}

bool SocketFileIsOurs() {
  struct stat st;
  return g_server->isListening() &&
         ::lstat(g_server->fullServerName().toStdString().c_str(), &st) == 0 && st.st_ino == g_socketFile.st_ino &&
         st.st_dev == g_socketFile.st_dev;
}

// The private temporary folder the socket was made in, removed with the
// socket when it holds nothing else (no settings, lock or other socket).
std::string g_temporaryFolder;

// Tries to listen that failed in a row.  A failure may pass (the folder
// was being removed by an instance that ended); the second in a row is said
// on stderr and marked in the lock file, once until listening succeeds.
int g_failedListens = 0;

bool ListenFailed(const SocketPlace& place, const std::string& why) {
  if (++g_failedListens == 2) {
    std::fprintf(stderr, "kurvato: cannot listen for later starts at %s (%s); a later start opens its file itself\n",
                 place.shown.c_str(), why.c_str());
    MarkUnreachable(true);
  }
  return false;
}

bool Listen() {
  const SocketPlace place = ChooseSocketPlace();
  const std::string& path = place.path;
  if (path.empty()) return false;
  g_temporaryFolder = place.temporaryFolder ? path.substr(0, path.rfind('/')) : std::string();
  const QString name = QString::fromStdString(path);
  g_server->close();
  // Something at the socket's name: only the holder of the lock may take a
  // socket away (then it was left by an instance that has ended).  Anything
  // else (a file, a FIFO, a link, a folder) is left as it is, and the
  // instance says that it cannot listen.  This is looked at first: the
  // toolkit binds in a fresh folder and renames the socket into place,
  // which would replace a file, a FIFO or a link unasked.
  struct stat st;
  if (::lstat(path.c_str(), &st) == 0) {
    if (!S_ISSOCK(st.st_mode)) return ListenFailed(place, "something that is not a socket has its name");
    if (TakeInstanceLock() != Lock::Held) return false;
    ::unlink(path.c_str());
  }
  if (!g_server->listen(name)) return ListenFailed(place, g_server->errorString().toStdString());
  g_failedListens = 0;
  WriteLockNote(kSocketNote + place.note + "\n");
  NoteSocketFile();
  LogEvent("listening " + place.shown);
  return true;
}

}  // namespace

bool ListenForHandOffs(std::function<void(const std::string&)> receiver) {
  // Another process holds the lock: it is the running instance.
  if (TakeInstanceLock() == Lock::Taken) return false;
  if (HandOffSocketPath().empty())
    std::fprintf(stderr, "kurvato: no folder of the user's own can hold the hand-off socket; a later start opens "
                         "its file itself\n");
  g_receiver = std::move(receiver);
  g_server = std::make_unique<QLocalServer>();
  g_server->setSocketOptions(QLocalServer::UserAccessOption);
  QObject::connect(g_server.get(), &QLocalServer::newConnection, g_server.get(), [] {
    while (QLocalSocket* c = g_server->nextPendingConnection()) Accept(c);
  });
  g_watch = std::make_unique<QTimer>();
  // Listening again when the toolkit stopped, or when the socket file was
  // removed or replaced (later starts would not reach this instance); also
  // when the first try failed (the folder was being removed by an instance
  // that ended).
  QObject::connect(g_watch.get(), &QTimer::timeout, g_watch.get(), [] {
    if (g_server && !SocketFileIsOurs()) Listen();
  });
  g_watch->start(kWatchMs);
  return Listen();
}

void StopListeningForHandOffs() {
  g_watch.reset();
  if (g_server) g_server->close();
  if (!g_temporaryFolder.empty()) ::rmdir(g_temporaryFolder.c_str());
  g_temporaryFolder.clear();
  g_server.reset();
  g_receiver = nullptr;
  g_connections.clear();
  g_failedListens = 0;
  ReleaseInstanceLock();
}

}  // namespace plat
