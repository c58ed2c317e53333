#include "app/InstanceChannel.h"

#include <QCryptographicHash>
#include <QEventLoop>
#include <QLocalServer>
#include <QLocalSocket>
#include <QSettings>
#include <QTimer>
#include <memory>

#include <unistd.h>

namespace zorvan {
namespace {

// How long a start waits for the running program: it answers from its event loop, which a
// modal dialog keeps turning too.
constexpr int kTimeoutMs = 3000;
// The running program's answer once it has the file.
constexpr char kTaken[] = "ok\n";

}  // namespace

CInstanceChannel::CInstanceChannel(const QString& name, QObject* parent)
    : QObject(parent), m_strName(name) {}

CInstanceChannel::~CInstanceChannel() = default;

QString CInstanceChannel::ChannelName() {
  const QString settings =
      QSettings(QStringLiteral("Tavorin"), QStringLiteral("Zorvan")).fileName();
  const QByteArray key = QCryptographicHash::hash(settings.toUtf8(), QCryptographicHash::Sha1);
  return QStringLiteral("zorvan-%1-%2")
      .arg(QString::number(getuid()), QString::fromLatin1(key.toHex().left(12)));
}

bool CInstanceChannel::HandOver(const QString& file) const {
  QLocalSocket socket;
  QEventLoop loop;
  QByteArray answer;
  bool taken = false;
  // The wait turns the event loop rather than blocking it: the program that answers may be
  // this very process (two windows of one test).
  connect(&socket, &QLocalSocket::connected, &loop, [&] { socket.write(file.toUtf8() + '\n'); });
  connect(&socket, &QLocalSocket::readyRead, &loop, [&] {
    answer += socket.readAll();
    if (!answer.endsWith('\n')) return;
    taken = answer == kTaken;
    loop.quit();
  });
  connect(&socket, &QLocalSocket::errorOccurred, &loop, &QEventLoop::quit);
  connect(&socket, &QLocalSocket::disconnected, &loop, &QEventLoop::quit);
  QTimer::singleShot(kTimeoutMs, &loop, &QEventLoop::quit);
  socket.connectToServer(m_strName);
  // Nobody listens: the usual first start, told at once.
  if (socket.state() == QLocalSocket::UnconnectedState) return false;
  loop.exec();
  return taken;
}

bool CInstanceChannel::Listen() {
  if (m_pServer) return true;
  auto* server = new QLocalServer(this);
  // Only the user himself may hand files to his program.
  server->setSocketOptions(QLocalServer::UserAccessOption);
  if (!server->listen(m_strName)) {
    // A socket file of a program that is gone: nobody answered HandOver, so it is stale.
    if (server->serverError() != QAbstractSocket::AddressInUseError ||
        !QLocalServer::removeServer(m_strName) || !server->listen(m_strName)) {
      delete server;
      return false;
    }
  }
  m_pServer = server;
  connect(server, &QLocalServer::newConnection, this, &CInstanceChannel::OnConnection);
  return true;
}

void CInstanceChannel::OnConnection() {
  while (QLocalSocket* socket = m_pServer->nextPendingConnection()) {
    connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    auto received = std::make_shared<QByteArray>();
    connect(socket, &QLocalSocket::readyRead, this, [this, socket, received] {
      *received += socket->readAll();
      // A start sends one line; anything longer than a path can be is not one of ours.
      if (received->size() > 64 * 1024) {
        socket->abort();
        return;
      }
      const qsizetype end = received->indexOf('\n');
      if (end < 0) return;
      const QString file = QString::fromUtf8(received->left(end));
      received->clear();
      socket->write(kTaken);
      socket->flush();
      emit FileHanded(file);
    });
  }
}

}  // namespace zorvan
