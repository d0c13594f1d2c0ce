// Single-instance hand-off over a per-user local socket.  The places of the
// socket and of the lock file depend on the user and the settings folder,
// so test runs with their own folder never meet a desktop instance.
//
// Protocol: the second start connects and sends its text as a hand-off
// message (handoff_message.h: any bytes, a newline too); the running
// instance answers "ACK\n" at once and handles the text afterwards, so that
// a message it shows on the way (a file that does not open) never keeps the
// second start waiting.  A connection that closes without the answer was
// not taken, and the second start asks again.
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

struct SocketPlace {
  std::string path;
  bool temporaryFolder = false;  // in a private temporary folder
  std::string shown;             // the path by the folder's name, for the log
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
    if (Fits(dir, shared) && FolderOfUsersOwn(dir)) return {dir + shared, false, dir + shared};
  }
  // The settings folder was judged when it was chosen, and is reached through
  // the folder opened then (a short path, whatever its name's length).
  const std::string settings = SettingsDirectory();
  if (!settingsName.empty() && Fits(settings, "kurvato.socket"))
    return {settings + "kurvato.socket", false, settingsName + "kurvato.socket"};
  // The settings folder is too deep for a socket: the private folder among
  // the temporary files, the same for every start of the user.  One is made
  // only where the longest of its names leaves room for the socket.
  const char* temp = std::getenv("TMPDIR");
  for (const std::string& base : {std::string(temp && *temp == '/' ? temp : ""), std::string("/tmp")}) {
    if (base.empty() || !Fits(Slashed(base) + "kurvato-" + std::to_string(::getuid()) + "-9/", shared)) continue;
    const std::string dir = PrivateTemporaryFolder(base);
    if (!dir.empty()) return {dir + shared, true, dir + shared};
  }
  return {};
}

}  // namespace

std::string HandOffSocketPath() { return ChooseSocketPlace().path; }

namespace {

// ---- the instance lock ----

enum class Lock { Held, Taken, Unavailable };

int g_lockFd = -1;

// What the lock file holds while its holder cannot listen for later starts:
// they open their files themselves rather than wait for a socket that will
// not come.  An empty lock file: the holder listens, or is still starting.
constexpr char kUnreachable[] = "unreachable\n";

// Marks the lock file as held by an instance that no later start can reach,
// or clears the mark.
void MarkUnreachable(bool unreachable) {
  if (g_lockFd < 0) return;
  const bool written = unreachable ? ::pwrite(g_lockFd, kUnreachable, sizeof kUnreachable - 1, 0) ==
                                         static_cast<ssize_t>(sizeof kUnreachable - 1)
                                   : ::ftruncate(g_lockFd, 0) == 0;
  (void)written;  // without the mark a later start waits, as for a busy instance
}

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
  MarkUnreachable(false);  // a mark left by an instance that has ended
  return Lock::Held;
}

// Whether the holder of the lock has marked itself unreachable.
bool HolderUnreachable() {
  const int fd = ::open((SettingsDirectory() + "kurvato.lock").c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) return false;
  char text[sizeof kUnreachable] = {};
  const ssize_t n = ::pread(fd, text, sizeof text - 1, 0);
  ::close(fd);
  return n == static_cast<ssize_t>(sizeof kUnreachable - 1) && std::string_view(text) == kUnreachable;
}

void ReleaseInstanceLock() {
  if (g_lockFd < 0) return;
  ::close(g_lockFd);
  g_lockFd = -1;
}

// ---- sending ----

enum class Answer { Taken, Closed, Silent };

// Waits for the answer to a sent message: Taken with "ACK\n", Closed when
// the instance dropped the connection without it, Silent when the time ran
// out.
Answer WaitForAnswer(QLocalSocket& s, int timeoutMs) {
  QElapsedTimer t;
  t.start();
  QByteArray buffer;
  while (t.elapsed() < timeoutMs) {
    if (!s.bytesAvailable()) {
      const int wait = static_cast<int>(std::clamp<qint64>(timeoutMs - t.elapsed(), 1, 100));
      if (!s.waitForReadyRead(wait) && s.state() != QLocalSocket::ConnectedState) {
        buffer += s.readAll();
        return buffer.contains("ACK\n") ? Answer::Taken : Answer::Closed;
      }
    }
    buffer += s.readAll();
    if (buffer.contains("ACK\n")) return Answer::Taken;
  }
  return Answer::Silent;
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

// Connects and sends.  False when no instance of this user listens (yet),
// or the connection could not be made in time.
bool Send(QLocalSocket& s, const std::string& text, int timeoutMs) {
  const std::string path = HandOffSocketPath();
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
  if (!Send(s, text, timeoutMs)) return false;
  return WaitForAnswer(s, timeoutMs) == Answer::Taken;
}

StartRole BecomeInstanceOrHandOff(const std::string& text, int patienceMs) {
  QElapsedTimer t;
  t.start();
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
    const std::string path = HandOffSocketPath();
    if (path.empty() || HolderUnreachable()) return StartRole::Alone;
    socketSeen = socketSeen || OwnSocketFile(path);
    const int left = static_cast<int>(patienceMs - t.elapsed());
    if (left <= 0) return socketSeen ? StartRole::NoAnswer : StartRole::Alone;
    QLocalSocket s;
    if (Send(s, text, std::min(left, 1000))) {
      switch (WaitForAnswer(s, std::max(1, static_cast<int>(patienceMs - t.elapsed())))) {
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
  QTimer::singleShot(kIdleMs, c, [c] { Drop(c); });
  auto read = [c, buffer] {
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
    c->write("ACK\n");
    c->flush();
    c->disconnectFromServer();
    QTimer::singleShot(0, g_server.get(), [text] {
      if (g_receiver) g_receiver(text);
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

bool ListenFailed(const SocketPlace& place) {
  if (++g_failedListens == 2) {
    std::fprintf(stderr, "kurvato: cannot listen for later starts at %s (%s); a later start opens its file itself\n",
                 place.shown.c_str(), g_server->errorString().toStdString().c_str());
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
  if (!g_server->listen(name)) {
    // A socket is in the way.  Only the holder of the lock may take it
    // away: then it was left by an instance that has ended, or put there by
    // something else.
    if (TakeInstanceLock() != Lock::Held) return false;
    QLocalServer::removeServer(name);
    if (!g_server->listen(name)) return ListenFailed(place);
  }
  if (g_failedListens >= 2) MarkUnreachable(false);
  g_failedListens = 0;
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
