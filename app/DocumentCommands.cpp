#include "app/DocumentCommands.h"

#include <QDir>
#include <QFileInfo>
#include <QMimeData>
#include <QTimer>
#include <QUrl>
#include <QWidget>

#include "app/RecentFileList.h"
#include "res/StringTable.h"
#include "store/DatabaseLock.h"
#include "store/ZorvanDoc.h"
#include "ui/Prompt.h"
#include "ui/QtText.h"

namespace zorvan {
namespace {

const char kDocumentFilter[] = "Zorvan Files (*.zvd)";
const char kDocumentSuffix[] = "zvd";

QString FirstLocalFile(const QMimeData* data) {
  const QList<QUrl> urls = data->urls();
  for (const QUrl& url : urls)
    if (url.isLocalFile()) return url.toLocalFile();
  return QString();
}

}  // namespace

CDocumentCommands::CDocumentCommands(CZorvanDoc& doc, CRecentFileList& recentFiles, QWidget* window)
    : QObject(window), m_doc(doc), m_recentFiles(recentFiles), m_pWindow(window) {}

CDocumentCommands::~CDocumentCommands() = default;

QString CDocumentCommands::WindowTitle() const {
  return ToQString(m_doc.GetTitle()) +
         (m_bReadOnly ? QStringLiteral(" (read-only) - ") : QStringLiteral(" - ")) +
         ToQString(LoadString(AFX_IDS_APP_TITLE));
}

bool CDocumentCommands::OnFileNew() {
  if (!SaveModified()) return false;
  m_doc.OnNewDocument();
  m_pLock.reset();
  m_bReadOnly = false;
  emit DocumentReplaced();
  return true;
}

bool CDocumentCommands::OpenDocumentFile(const QString& path) {
  const QString full = QFileInfo(path).absoluteFilePath();
  // The database that is open already stays as it is.
  if (!m_doc.GetPathName().empty() && ToQString(m_doc.GetPathName()) == full) return true;
  if (!SaveModified()) return false;
  // Another program (a window, an import) that holds the database would lose its work to this
  // one's saves, or this one's to its own: the user may still look at it, read-only.
  auto lock = std::make_unique<CDatabaseLock>();
  const CStatus locked = lock->Acquire(ToStdString(full), "zorvan");
  bool readOnly = false;
  if (!locked) {
    if (lock->HeldByOther()) {
      if (!Prompt().AskYesNo(QStringLiteral("%1\n%2.\nOpen it read-only?")
                                 .arg(QDir::toNativeSeparators(full), ToQString(locked.Reason()))))
        return false;
      readOnly = true;
    }
    // Where no lock file can be made (a read-only folder) the database opens as before.
    lock.reset();
  }
  const CStatus opened = m_doc.OnOpenDocument(ToStdString(full));
  m_pLock = opened ? std::move(lock) : nullptr;
  m_bReadOnly = opened && readOnly;
  if (opened) {
    m_recentFiles.Add(full);
  } else {
    m_recentFiles.Remove(full);  // so the next start does not try it again
    ShowFileError(QStringLiteral("Cannot open file %1:\n%2."), opened);
    Prompt().MessageBox(ToQString(LoadString(IDS_OPEN_ERROR)), EMsgIcon::Error);
  }
  emit DocumentReplaced();
  return opened.Ok();
}

void CDocumentCommands::OnFileOpen() {
  SFileDialog dialog;
  dialog.title = QStringLiteral("Open");
  dialog.filter = QString::fromLatin1(kDocumentFilter) + QStringLiteral(";;All Files (*)");
  dialog.defaultSuffix = QString::fromLatin1(kDocumentSuffix);
  if (!m_doc.GetPathName().empty())
    dialog.directory = QFileInfo(ToQString(m_doc.GetPathName())).absolutePath();
  const QString path = Prompt().GetOpenFileName(dialog);
  if (!path.isEmpty()) OpenDocumentFile(path);
}

void CDocumentCommands::OnOpenRecentFile(int index) {
  const QStringList& files = m_recentFiles.Files();
  if (index < files.size()) OpenDocumentFile(files[index]);
}

bool CDocumentCommands::OnFileSave() {
  if (m_doc.GetPathName().empty() || m_bReadOnly) return OnFileSaveAs();
  return DoSave(ToQString(m_doc.GetPathName()));
}

bool CDocumentCommands::OnFileSaveAs() {
  SFileDialog dialog;
  dialog.title = QStringLiteral("Save As");
  dialog.filter = QString::fromLatin1(kDocumentFilter);
  dialog.defaultSuffix = QString::fromLatin1(kDocumentSuffix);
  if (m_doc.GetPathName().empty()) {
    dialog.fileName = ToQString(m_doc.GetTitle()) + QLatin1Char('.') + dialog.defaultSuffix;
  } else {
    const QFileInfo current(ToQString(m_doc.GetPathName()));
    dialog.directory = current.absolutePath();
    dialog.fileName = current.fileName();
  }
  const QString path = Prompt().GetSaveFileName(dialog);
  if (path.isEmpty()) return false;
  return DoSave(path);
}

bool CDocumentCommands::DoSave(const QString& path) {
  const QString full = QFileInfo(path).absoluteFilePath();
  const QString native = QDir::toNativeSeparators(full);
  const bool ownFile = ToStdString(full) == m_doc.GetPathName();
  // The open database's lock is held already; any other file is locked for the save, so that
  // it is never written while another program (an import, a window) holds it.
  std::unique_ptr<CDatabaseLock> taken;
  if (!ownFile || !m_pLock) {
    taken = std::make_unique<CDatabaseLock>();
    const CStatus locked = taken->Acquire(ToStdString(full), "zorvan");
    if (!locked && taken->HeldByOther()) {
      ShowFileError(QStringLiteral("Cannot save file %1:\n%2."), locked);
      return false;
    }
  }
  // Another program saved over the file after it was read here: replacing it loses that work.
  if (ownFile && m_doc.ChangedOnDisk() &&
      !Prompt().AskYesNo(QStringLiteral("%1 was changed by another program after it was opened "
                                        "here.\nReplace it with this version?")
                             .arg(native)))
    return false;
  const CStatus saved = m_doc.OnSaveDocument(ToStdString(full));
  if (!saved) {
    ShowFileError(QStringLiteral("Cannot save file %1:\n%2."), saved);
    return false;
  }
  if (!saved.Note().empty())
    Prompt().MessageBox(
        QStringLiteral("Saved file %1, but %2.").arg(native, ToQString(saved.Note())),
        EMsgIcon::Information);
  // The saved file is now the open database: its lock replaces the old file's.
  if (taken) m_pLock = taken->IsHeld() ? std::move(taken) : nullptr;
  m_bReadOnly = false;
  m_recentFiles.Add(full);
  emit DocumentSaved();
  return true;
}

bool CDocumentCommands::SaveModified() {
  if (!m_doc.IsModified()) return true;
  const QString name = m_doc.GetPathName().empty()
                           ? ToQString(m_doc.GetTitle())
                           : QDir::toNativeSeparators(ToQString(m_doc.GetPathName()));
  switch (Prompt().AskSaveChanges(QStringLiteral("Save changes to %1?").arg(name))) {
    case ESaveAnswer::Yes:
      return OnFileSave();
    case ESaveAnswer::No:
      return true;
    case ESaveAnswer::Cancel:
      break;
  }
  return false;
}

void CDocumentCommands::ShowFileError(const QString& format, const CStatus& status) {
  Prompt().MessageBox(
      format.arg(QDir::toNativeSeparators(ToQString(status.File())), ToQString(status.Reason())),
      EMsgIcon::Error);
}

bool CDocumentCommands::CarriesFile(const QMimeData* data) {
  return !FirstLocalFile(data).isEmpty();
}

bool CDocumentCommands::OpenDroppedFile(const QMimeData* data) {
  // Only the first file is opened: there is one database at a time.
  const QString path = FirstLocalFile(data);
  if (path.isEmpty()) return false;
  m_pWindow->activateWindow();
  QTimer::singleShot(0, this, [this, path] { OpenDocumentFile(path); });
  return true;
}

}  // namespace zorvan
