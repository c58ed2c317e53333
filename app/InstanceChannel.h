#pragma once

#include <QObject>
#include <QString>

class QLocalServer;

namespace zorvan {

// The line between a running program and a second start of it by the same user: the second
// start hands its file (or nothing, meaning "come to the front") to the running window over a
// local socket and ends, so that one database is never open in two programs.
class CInstanceChannel : public QObject {
  Q_OBJECT

 public:
  // name is the socket's name; ChannelName() gives the user's.
  explicit CInstanceChannel(const QString& name, QObject* parent = nullptr);
  ~CInstanceChannel() override;

  // The name for the user who runs the program and his settings: a program started with other
  // settings (another user, a test) has a line of its own.
  static QString ChannelName();

  // A second start: hands file (an absolute path, or empty) to the program listening on the
  // channel. True when that program took it; false when none runs (or it did not answer).
  bool HandOver(const QString& file) const;
  // The first start: listens for later starts. A socket left by a program that ended without
  // closing it is replaced. False when the channel cannot be opened (the program then runs
  // alone).
  bool Listen();

 signals:
  // A later start handed over its file (empty: it gave none).
  void FileHanded(const QString& file);

 private:
  void OnConnection();

  QString m_strName;
  QLocalServer* m_pServer = nullptr;
};

}  // namespace zorvan
