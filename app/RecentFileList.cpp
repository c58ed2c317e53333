#include "app/RecentFileList.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

#include "qt/QtText.h"

namespace zorvan {
namespace {

const char kSection[] = "Recent File List";
const int kMaxMenuPath = 48;

QString EntryKey(int index) {
  return QStringLiteral("%1/File%2").arg(QLatin1String(kSection)).arg(index + 1);
}

}  // namespace

void CRecentFileList::ReadList() {
  QSettings settings(QStringLiteral("Tavorin"), QStringLiteral("Zorvan"));
  m_files.clear();
  for (int i = 0; i < m_nSize; ++i) {
    const QString path = settings.value(EntryKey(i)).toString();
    if (!path.isEmpty() && !m_files.contains(path)) m_files.append(path);
  }
}

void CRecentFileList::WriteList() const {
  QSettings settings(QStringLiteral("Tavorin"), QStringLiteral("Zorvan"));
  for (int i = 0; i < m_nSize; ++i) {
    if (i < m_files.size())
      settings.setValue(EntryKey(i), m_files[i]);
    else
      settings.remove(EntryKey(i));
  }
}

void CRecentFileList::Add(const QString& path) {
  const QString full = AbsoluteFilePath(path);
  m_files.removeAll(full);
  m_files.prepend(full);
  while (m_files.size() > m_nSize) m_files.removeLast();
  WriteList();
}

void CRecentFileList::Remove(const QString& path) {
  if (m_files.removeAll(AbsoluteFilePath(path)) != 0) WriteList();
}

QString CRecentFileList::MenuText(int index, const QString& path) {
  QString shown = QDir::toNativeSeparators(path);
  const QString home = QDir::toNativeSeparators(QDir::homePath());
  if (shown.startsWith(home + QDir::separator())) shown = QLatin1Char('~') + shown.mid(home.size());
  if (shown.size() > kMaxMenuPath) {
    // Keep the file's name whole and as much of the folder's start as fits.
    const QString name = QFileInfo(path).fileName();
    const qsizetype head = std::max<qsizetype>(0, kMaxMenuPath - name.size() - 4);
    shown = shown.left(head) + QStringLiteral("...") + QDir::separator() + name;
  }
  shown.replace(QLatin1Char('&'), QStringLiteral("&&"));
  return QStringLiteral("&%1 %2").arg(index + 1).arg(shown);
}

}  // namespace zorvan
