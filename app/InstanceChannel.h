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

  // The socket for the user who runs the program and his settings, in a folder of his alone: a
  // program started with other settings (another user, a test) has a line of its own. Empty
  // when no such folder can be had (the program then runs alone).
  static QString ChannelName();
  // $XDG_RUNTIME_DIR when it is the user's alone, else a folder made for him (mode 0700) in the
  // temporary folder; empty when that one is somebody else's or open to others.
  static QString ChannelFolder();
  // True when name is a socket file of the user's own.
  static bool IsOwnSocketFile(const QString& name);

  // A second start: hands file (an absolute path, or empty) to the program listening on the
  // channel. True when that program took it; false when none runs (or it did not answer), when
  // the socket or the program at its other end is another user's, or when file holds control
  // characters.
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
