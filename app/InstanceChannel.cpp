#include "app/InstanceChannel.h"

#include <QCryptographicHash>
#include <QDir>
#include <QEventLoop>
#include <QLocalServer>
#include <QLocalSocket>
#include <QSettings>
#include <QTimer>
#include <cerrno>
#include <memory>

#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include "qt/QtText.h"
#include "res/CodePage.h"

namespace zorvan {
namespace {

// How long a start waits for the running program: it answers from its event loop, which a
// modal dialog keeps turning too.
constexpr int kTimeoutMs = 3000;
// The running program's answer once it has the file.
constexpr char kTaken[] = "ok\n";

// A folder only this user can enter: his own, no symbolic link, no access for group or others.
bool IsPrivateFolder(const QString& folder) {
  struct stat st {};
  return ::lstat(ToFilePath(folder).c_str(), &st) == 0 && S_ISDIR(st.st_mode) &&
         st.st_uid == ::getuid() && (st.st_mode & 077) == 0;
}

// The user at the other end of a connected local socket; -1 when it cannot be told.
long PeerUid(qintptr descriptor) {
  ucred peer{};
  socklen_t size = sizeof peer;
  if (descriptor < 0 ||
      ::getsockopt(static_cast<int>(descriptor), SOL_SOCKET, SO_PEERCRED, &peer, &size) != 0)
    return -1;
  return static_cast<long>(peer.uid);
}

bool IsOwnPeer(const QLocalSocket& socket) {
  return PeerUid(socket.socketDescriptor()) == static_cast<long>(::getuid());
}

// A start sends one line: an absolute path, or nothing. Control bytes (a NUL above all, which
// would cut the name short in every call to the system) are no part of one.
bool IsHandOverLine(const QByteArray& line) {
  for (const char c : line)
    if (IsC0ControlOrDelete(c)) return false;
  return line.isEmpty() || line.startsWith('/');
}

}  // namespace

CInstanceChannel::CInstanceChannel(const QString& name, QObject* parent)
    : QObject(parent), m_strName(name) {}

CInstanceChannel::~CInstanceChannel() = default;

QString CInstanceChannel::ChannelFolder() {
  // The session's own folder, where the desktop has one; else a folder of the user's made in
  // the temporary folder. A name in the shared temporary folder itself could be taken by any
  // other user, who would then be handed this user's files.
  const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
  if (!runtime.isEmpty() && runtime.startsWith(QLatin1Char('/')) && IsPrivateFolder(runtime))
    return runtime;
  const QString own =
      QDir::tempPath() + QStringLiteral("/zorvan-%1").arg(QString::number(::getuid()));
  if (::mkdir(ToFilePath(own).c_str(), 0700) != 0 && errno != EEXIST) return QString();
  return IsPrivateFolder(own) ? own : QString();
}

QString CInstanceChannel::ChannelName() {
  const QString folder = ChannelFolder();
  if (folder.isEmpty()) return QString();
  const QString settings =
      QSettings(QStringLiteral("Tavorin"), QStringLiteral("Zorvan")).fileName();
  const QByteArray key = QCryptographicHash::hash(settings.toUtf8(), QCryptographicHash::Sha1);
  return folder + QStringLiteral("/zorvan-%1-%2")
                      .arg(QString::number(getuid()), QString::fromLatin1(key.toHex().left(12)));
}

bool CInstanceChannel::IsOwnSocketFile(const QString& name) {
  struct stat st {};
  return ::lstat(ToFilePath(name).c_str(), &st) == 0 && S_ISSOCK(st.st_mode) &&
         st.st_uid == ::getuid();
}

bool CInstanceChannel::HandOver(const QString& file) const {
  if (m_strName.isEmpty()) return false;
  const std::string path = ToFilePath(file);
  // Not a name a running window takes: this start runs on its own.
  if (!IsHandOverLine(QByteArray::fromStdString(path))) return false;
  // A socket of another user's is never spoken to.
  if (!IsOwnSocketFile(m_strName)) return false;
  QLocalSocket socket;
  QEventLoop loop;
  QByteArray answer;
  bool taken = false;
  // The wait turns the event loop rather than blocking it: the program that answers may be
  // this very process (two windows of one test).
  connect(&socket, &QLocalSocket::connected, &loop, [&] {
    if (!IsOwnPeer(socket)) {
      socket.abort();
      loop.quit();
      return;
    }
    socket.write(QByteArray::fromStdString(path) + '\n');
  });
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
  if (m_strName.isEmpty()) return false;
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
    // Only the user's own starts are heard.
    if (!IsOwnPeer(*socket)) {
      socket->abort();
      socket->deleteLater();
      continue;
    }
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
      const QByteArray line = received->left(end);
      received->clear();
      if (!IsHandOverLine(line)) {
        socket->abort();
        return;
      }
      socket->write(kTaken);
      socket->flush();
      emit FileHanded(FromFilePath(std::string_view(line.constData(), line.size())));
    });
  }
}

}  // namespace zorvan
