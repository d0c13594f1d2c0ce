// Single-instance hand-off over a per-user local socket.  The name depends
// on the user and the settings folder, so test runs with their own folder
// never meet a desktop instance.
//
// Protocol: the second start connects and sends its text ending in '\n'; the
// running instance answers "ACK\n" at once and handles the text afterwards,
// so that a message it shows on the way (a file that does not open) never
// keeps the second start waiting.  The second start waits a few seconds for
// the ACK (no answer: the running instance is taken as gone).
#include "platform/instance.h"

#include <QByteArray>
#include <QCryptographicHash>
#include <QElapsedTimer>
#include <QLocalServer>
#include <QLocalSocket>
#include <QPointer>
#include <QTimer>

#include <algorithm>
#include <deque>
#include <memory>
#include <unistd.h>

#include "platform/app.h"

namespace plat {

namespace {

QString SocketName() {
  QByteArray dir = QByteArray::fromStdString(SettingsDirectory());
  QByteArray hash = QCryptographicHash::hash(dir, QCryptographicHash::Sha1).toHex().left(12);
  return QString("kurvato-%1-%2").arg(getuid()).arg(QString::fromLatin1(hash));
}

bool WaitForLine(QLocalSocket& s, const QByteArray& expected, int timeoutMs) {
  QElapsedTimer t;
  t.start();
  QByteArray buffer;
  while (t.elapsed() < timeoutMs) {
    if (!s.bytesAvailable() && !s.waitForReadyRead(static_cast<int>(std::max<qint64>(1, timeoutMs - t.elapsed()))))
      if (s.state() != QLocalSocket::ConnectedState) break;
    buffer += s.readAll();
    if (buffer.contains(expected)) return true;
  }
  return false;
}

std::unique_ptr<QLocalServer> g_server;
std::function<void(const std::string&)> g_receiver;

}  // namespace

bool HandOffToRunningInstance(const std::string& text, int timeoutMs) {
  QLocalSocket s;
  s.connectToServer(SocketName());
  if (!s.waitForConnected(timeoutMs)) return false;
  QByteArray msg = QByteArray::fromStdString(text);
  msg.replace('\n', ' ');
  msg += '\n';
  s.write(msg);
  s.flush();
  return WaitForLine(s, "ACK\n", timeoutMs);
}

namespace {

// A flood of connections must not use up the process's file descriptors:
// connections that send no complete line in time are closed, and beyond a
// handful of live ones the oldest makes room.  When accepting fails anyway
// (descriptors ran out elsewhere) the toolkit stops listening; the watch
// timer listens again.
constexpr int kMaxConnections = 8;
constexpr int kIdleMs = 3000;
constexpr int kWatchMs = 500;
constexpr qsizetype kMaxLine = 65536;

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
  QObject::connect(c, &QLocalSocket::readyRead, c, [c, buffer] {
    *buffer += c->readAll();
    const qsizetype nl = buffer->indexOf('\n');
    if (nl < 0) {
      if (buffer->size() > kMaxLine) Drop(c);
      return;
    }
    std::string text = buffer->left(std::min(nl, kMaxLine)).toStdString();
    buffer->clear();
    c->write("ACK\n");
    c->flush();
    c->disconnectFromServer();
    QTimer::singleShot(0, g_server.get(), [text] {
      if (g_receiver) g_receiver(text);
    });
  });
}

bool Listen() {
  const QString name = SocketName();
  if (!g_server->listen(name)) {
    // A socket left behind by an instance that ended without cleaning up;
    // one that answers belongs to a running instance and stays.
    QLocalSocket probe;
    probe.connectToServer(name);
    if (probe.waitForConnected(200)) return false;
    QLocalServer::removeServer(name);
    if (!g_server->listen(name)) return false;
  }
  LogEvent("listening " + g_server->fullServerName().toStdString());
  return true;
}

}  // namespace

bool ListenForHandOffs(std::function<void(const std::string&)> receiver) {
  g_receiver = std::move(receiver);
  g_server = std::make_unique<QLocalServer>();
  g_server->setSocketOptions(QLocalServer::UserAccessOption);
  if (!Listen()) return false;
  QObject::connect(g_server.get(), &QLocalServer::newConnection, g_server.get(), [] {
    while (QLocalSocket* c = g_server->nextPendingConnection()) Accept(c);
  });
  g_watch = std::make_unique<QTimer>();
  QObject::connect(g_watch.get(), &QTimer::timeout, g_watch.get(), [] {
    if (g_server && !g_server->isListening()) Listen();
  });
  g_watch->start(kWatchMs);
  return true;
}

void StopListeningForHandOffs() {
  g_watch.reset();
  if (g_server) g_server->close();
  g_server.reset();
  g_receiver = nullptr;
  g_connections.clear();
}

}  // namespace plat
