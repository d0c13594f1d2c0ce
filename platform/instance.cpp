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
#include <QTimer>

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

bool ListenForHandOffs(std::function<void(const std::string&)> receiver) {
  g_receiver = std::move(receiver);
  g_server = std::make_unique<QLocalServer>();
  g_server->setSocketOptions(QLocalServer::UserAccessOption);
  QString name = SocketName();
  if (!g_server->listen(name)) {
    // A socket left behind by an instance that ended without cleaning up.
    QLocalServer::removeServer(name);
    if (!g_server->listen(name)) return false;
  }
  QObject::connect(g_server.get(), &QLocalServer::newConnection, g_server.get(), [] {
    while (QLocalSocket* c = g_server->nextPendingConnection()) {
      auto buffer = std::make_shared<QByteArray>();
      QObject::connect(c, &QLocalSocket::disconnected, c, &QObject::deleteLater);
      QObject::connect(c, &QLocalSocket::readyRead, c, [c, buffer] {
        *buffer += c->readAll();
        if (buffer->size() > 65536) {
          c->abort();
          return;
        }
        int nl = buffer->indexOf('\n');
        if (nl < 0) return;
        std::string text = buffer->left(nl).toStdString();
        buffer->clear();
        c->write("ACK\n");
        c->flush();
        c->disconnectFromServer();
        QTimer::singleShot(0, g_server.get(), [text] {
          if (g_receiver) g_receiver(text);
        });
      });
    }
  });
  return true;
}

void StopListeningForHandOffs() {
  if (g_server) g_server->close();
  g_server.reset();
  g_receiver = nullptr;
}

}  // namespace plat
