#include "app/SyncPassword.h"

#include <qt6keychain/keychain.h>
#include <QCoreApplication>
#include <QEventLoop>
#include <QHash>
#include <QInputDialog>
#include <QLineEdit>
#include <QTimer>

#include <utility>

namespace zorvan::app {
namespace {

const char kService[] = "Zorvan";
// A secret store that hangs (a locked wallet nobody unlocks) must not hang the window.
constexpr int kStoreTimeoutMs = 20000;

QHash<QString, QString>& SessionPasswords() {
  static QHash<QString, QString> passwords;
  return passwords;
}

SyncPasswordPrompt& TestPrompt() {
  static SyncPasswordPrompt prompt;
  return prompt;
}

QString KeyOf(const QString& server, const QString& user) { return user + '@' + server; }

// Runs a keychain job to its end, the window's events going on meanwhile; false on any error
// (no store running, no entry, refused, timed out).
bool RunJob(QKeychain::Job& job) {
  if (TestPrompt()) return false;
  job.setAutoDelete(false);
  QEventLoop loop;
  bool finished = false;
  QObject::connect(&job, &QKeychain::Job::finished, &loop, [&] {
    finished = true;
    loop.quit();
  });
  QTimer::singleShot(kStoreTimeoutMs, &loop, &QEventLoop::quit);
  job.start();
  loop.exec();
  return finished && job.error() == QKeychain::NoError;
}

std::optional<QString> Ask(QWidget* parent, const QString& server, const QString& user) {
  if (TestPrompt()) return TestPrompt()(server, user);
  bool ok = false;
  const QString typed = QInputDialog::getText(
      parent, QCoreApplication::translate("SyncPassword", "Password"),
      QCoreApplication::translate("SyncPassword", "Password of %1 at %2:").arg(user, server),
      QLineEdit::Password, QString(), &ok);
  if (!ok) return std::nullopt;
  return typed;
}

}  // namespace

bool FindSyncPassword(QWidget* parent, const QString& server, const QString& user,
                      QString& password) {
  const QString key = KeyOf(server, user);
  if (const auto known = SessionPasswords().constFind(key); known != SessionPasswords().cend()) {
    password = *known;
    return true;
  }
  QKeychain::ReadPasswordJob read(QString::fromLatin1(kService));
  read.setKey(key);
  if (RunJob(read)) {
    password = read.textData();
    SessionPasswords().insert(key, password);
    return true;
  }
  const std::optional<QString> typed = Ask(parent, server, user);
  if (!typed) return false;
  password = *typed;
  RememberSyncPassword(server, user, password);
  return true;
}

bool RememberSyncPassword(const QString& server, const QString& user, const QString& password) {
  const QString key = KeyOf(server, user);
  SessionPasswords().insert(key, password);
  QKeychain::WritePasswordJob write(QString::fromLatin1(kService));
  write.setKey(key);
  write.setTextData(password);
  return RunJob(write);
}

void ForgetSyncPassword(const QString& server, const QString& user) {
  const QString key = KeyOf(server, user);
  SessionPasswords().remove(key);
  QKeychain::DeletePasswordJob forget(QString::fromLatin1(kService));
  forget.setKey(key);
  RunJob(forget);
}

void SetSyncPasswordPromptForTesting(SyncPasswordPrompt prompt) {
  TestPrompt() = std::move(prompt);
  SessionPasswords().clear();
}

}  // namespace zorvan::app
