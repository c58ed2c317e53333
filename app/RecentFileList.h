#pragma once

#include <QString>
#include <QStringList>

namespace zorvan {

// The most recently used databases, newest first, kept in the settings section
// "Recent File List" as File1, File2, ...
class CRecentFileList {
 public:
  explicit CRecentFileList(int size = 4) : m_nSize(size) {}

  void ReadList();
  void WriteList() const;

  // Puts path at the top, removing an older entry for it and the one that falls off the end.
  void Add(const QString& path);
  void Remove(const QString& path);

  int GetSize() const { return m_nSize; }
  const QStringList& Files() const { return m_files; }

  // The text of an entry in the File menu: "&1 " and the path, shortened in the middle.
  static QString MenuText(int index, const QString& path);

 private:
  int m_nSize;
  QStringList m_files;
};

}  // namespace zorvan
