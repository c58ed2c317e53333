#include "app/DocumentCommands.h"

#include <QDir>
#include <QFileInfo>
#include <QMainWindow>
#include <QMimeData>
#include <QStatusBar>
#include <QTimer>
#include <QUrl>
#include <QWidget>

#include "app/RecentFileList.h"
#include "qt/Prompt.h"
#include "qt/QtText.h"
#include "res/CodePage.h"
#include "res/StringTable.h"
#include "store/DatabaseLock.h"
#include "store/LostCharacters.h"
#include "store/TreeItem.h"
#include "store/ZorvanDoc.h"

namespace zorvan {
namespace {

const char kDocumentFilter[] = "Zorvan Files (*.zvd)";
const char kDocumentSuffix[] = "zvd";

// How long the status bar says that the database was saved.
constexpr int kSavedMessageMs = 5000;

// The contacts listed by name in the question before a save that loses characters; more are
// counted.
constexpr size_t kListedContacts = 12;

// "HomeStreet" as "Home street".
QString FieldCaption(EField field) {
  const QString name = ToQString(kRecordFields[field].name);
  QString caption;
  for (qsizetype i = 0; i < name.size(); ++i) {
    if (i > 0 && name[i].isUpper()) {
      caption += QLatin1Char(' ');
      caption += name[i].toLower();
    } else {
      caption += name[i];
    }
  }
  return caption;
}

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
         (m_bReadOnly ? tr(" (read-only) - ") : QStringLiteral(" - ")) +
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

CStatus CDocumentCommands::Acquire(std::unique_ptr<CDatabaseLock>& lock, const QString& full) {
  lock = std::make_unique<CDatabaseLock>();
  return lock->Acquire(ToFilePath(full), "zorvan");
}

bool CDocumentCommands::OpenDocumentFile(const QString& path) {
  const QString full = AbsoluteFilePath(path);
  // The database that is open is read again from its file, as any other would be: after the
  // Calendar Resource command that is how the new names come in.
  if (!SaveModified()) return false;
  // Another program (a window, an import) that holds the database would lose its work to this
  // one's saves, or this one's to its own: the user may still look at it, read-only. The
  // database read again keeps its lock and its state.
  const bool reopened = ToFilePath(full) == m_doc.GetPathName();
  std::unique_ptr<CDatabaseLock> lock = reopened ? std::move(m_pLock) : nullptr;
  bool readOnly = reopened && m_bReadOnly;
  const CStatus locked = lock || readOnly ? CStatus::Success() : Acquire(lock, full);
  if (!locked) {
    if (lock->HeldByOther()) {
      if (!Prompt().AskYesNo(tr("%1\n%2.\nOpen it read-only?")
                                 .arg(QDir::toNativeSeparators(full), ToQString(locked.Reason()))))
        return false;
      readOnly = true;
    }
    // Where no lock file can be made (a read-only folder) the database opens as before.
    lock.reset();
  }
  const CStatus opened = m_doc.OnOpenDocument(ToFilePath(full));
  if (!opened) {
    // The database that was open stays as it was, with its lock; the new file's lock goes.
    if (reopened)
      m_pLock = std::move(lock);
    else
      m_recentFiles.Remove(full);  // so the next start does not try it again
    Prompt().MessageBox(ToQString(LoadString(IDS_OPEN_ERROR)) + QStringLiteral("\n\n") +
                            tr("Cannot open file %1:\n%2.")
                                .arg(QDir::toNativeSeparators(FromFilePath(opened.File())),
                                     ToQString(opened.Reason())),
                        EMsgIcon::Error);
    return false;
  }
  m_pLock = std::move(lock);
  m_bReadOnly = readOnly;
  m_recentFiles.Add(full);
  emit DocumentReplaced();
  if (!m_doc.TrailerNote().empty()) ShowTrailerNote(full);
  return true;
}

void CDocumentCommands::ShowTrailerNote(const QString& path) {
  const QString note = tr("The extensions stored after the contacts of %1 were ignored: %2. The "
                          "contacts were read without them; texts the code page cannot hold show "
                          "as \"?\".")
                           .arg(QDir::toNativeSeparators(path), ToQString(m_doc.TrailerNote()));
  if (auto* window = qobject_cast<QMainWindow*>(m_pWindow)) window->statusBar()->showMessage(note);
  Prompt().MessageBox(note, EMsgIcon::Information);
}

void CDocumentCommands::OnFileOpen() {
  SFileDialog dialog;
  dialog.title = tr("Open");
  dialog.filter = QString::fromLatin1(kDocumentFilter) + QStringLiteral(";;") + tr("All Files (*)");
  dialog.defaultSuffix = QString::fromLatin1(kDocumentSuffix);
  if (!m_doc.GetPathName().empty())
    dialog.directory = QFileInfo(FromFilePath(m_doc.GetPathName())).absolutePath();
  const QString path = Prompt().GetOpenFileName(dialog);
  if (!path.isEmpty()) OpenDocumentFile(path);
}

void CDocumentCommands::OnOpenRecentFile(int index) {
  const QStringList& files = m_recentFiles.Files();
  if (index < files.size()) OpenDocumentFile(files[index]);
}

bool CDocumentCommands::OnFileSave() {
  if (m_doc.GetPathName().empty() || m_bReadOnly) return OnFileSaveAs();
  return DoSave(FromFilePath(m_doc.GetPathName()));
}

bool CDocumentCommands::OnFileSaveAs() {
  SFileDialog dialog;
  dialog.title = tr("Save As");
  dialog.filter = QString::fromLatin1(kDocumentFilter);
  dialog.defaultSuffix = QString::fromLatin1(kDocumentSuffix);
  if (m_doc.GetPathName().empty()) {
    dialog.fileName = ToQString(m_doc.GetTitle()) + QLatin1Char('.') + dialog.defaultSuffix;
  } else {
    const QFileInfo current(FromFilePath(m_doc.GetPathName()));
    dialog.directory = current.absolutePath();
    dialog.fileName = current.fileName();
  }
  const QString path = Prompt().GetSaveFileName(dialog);
  if (path.isEmpty()) return false;
  return DoSave(path);
}

bool CDocumentCommands::OnFileSaveOlderCopy() {
  SFileDialog dialog;
  dialog.title = tr("Save a Copy for the Older Program");
  dialog.filter = QString::fromLatin1(kDocumentFilter);
  dialog.defaultSuffix = QString::fromLatin1(kDocumentSuffix);
  QString name = ToQString(m_doc.GetTitle());
  if (!m_doc.GetPathName().empty()) {
    const QFileInfo current(FromFilePath(m_doc.GetPathName()));
    dialog.directory = current.absolutePath();
    name = current.completeBaseName();
  }
  dialog.fileName = tr("%1 (older program).%2").arg(name, dialog.defaultSuffix);
  const QString path = Prompt().GetSaveFileName(dialog);
  if (path.isEmpty()) return false;
  const QString full = AbsoluteFilePath(path);
  const QString native = QDir::toNativeSeparators(full);
  // The copy would put "?" for good in the database's own texts; a link to the file is the
  // file too.
  const QString own = FromFilePath(m_doc.GetPathName());
  const QString ownCanonical = own.isEmpty() ? QString() : QFileInfo(own).canonicalFilePath();
  if (!own.isEmpty() &&
      (ToFilePath(full) == m_doc.GetPathName() ||
       (!ownCanonical.isEmpty() && QFileInfo(full).canonicalFilePath() == ownCanonical))) {
    Prompt().MessageBox(tr("%1 is the open database's own file. Choose another file "
                           "for the copy for the older program.")
                            .arg(native),
                        EMsgIcon::Error);
    return false;
  }
  if (!ConfirmLostCharacters()) return false;
  // Locked while it is written, so that a database another program holds is not replaced.
  CDatabaseLock lock;
  const CStatus locked = lock.Acquire(ToFilePath(full), "zorvan");
  if (!locked && lock.HeldByOther()) {
    ShowFileError(tr("Cannot save file %1:\n%2."), locked);
    return false;
  }
  if (!ShowSaveOutcome(m_doc.SaveBaseCopy(ToFilePath(full)), native)) return false;
  if (auto* window = qobject_cast<QMainWindow*>(m_pWindow))
    window->statusBar()->showMessage(tr("Saved a copy for the older program as %1.").arg(native));
  return true;
}

bool CDocumentCommands::ShowSaveOutcome(const CStatus& saved, const QString& native) {
  if (!saved) {
    ShowFileError(tr("Cannot save file %1:\n%2."), saved);
    return false;
  }
  if (!saved.Note().empty())
    Prompt().MessageBox(tr("Saved file %1, but %2.").arg(native, ToQString(saved.Note())),
                        EMsgIcon::Information);
  return true;
}

bool CDocumentCommands::ConfirmLostCharacters() {
  const CTreeItem* root = m_doc.ContactsRoot();
  if (!root) return true;
  const ECodePage cp = ActiveCodePage();
  const std::vector<SLossyRecord> lossy = RecordsLosingCharacters(*root, cp);
  if (lossy.empty()) return true;
  QString list;
  for (size_t i = 0; i < lossy.size() && i < kListedContacts; ++i) {
    QStringList fields;
    for (EField field : lossy[i].fields) fields << FieldCaption(field);
    const QString label = ToQString(lossy[i].record->m_strLabel.view());
    list += QStringLiteral("    %1 (%2)\n")
                .arg(label.isEmpty() ? tr("[no label]") : label, fields.join(QStringLiteral(", ")));
  }
  if (lossy.size() > kListedContacts)
    list += tr("    and %1 more\n").arg(lossy.size() - kListedContacts);
  return Prompt().AskYesNo(
      tr("The older program reads only the file's code page Windows-%1; in this "
         "copy these contacts will have \"?\" in place of some characters:\n\n%2\n"
         "Save the copy anyway?")
          .arg(static_cast<int>(cp))
          .arg(list));
}

bool CDocumentCommands::DoSave(const QString& path) {
  const QString full = AbsoluteFilePath(path);
  const QString native = QDir::toNativeSeparators(full);
  const bool ownFile = ToFilePath(full) == m_doc.GetPathName();
  // The open database's lock is held already; any other file is locked for the save, so that
  // it is never written while another program (an import, a window) holds it. So is the own
  // file whose lock file was removed meanwhile, which protects it no longer.
  std::unique_ptr<CDatabaseLock> taken;
  if (!ownFile || !m_pLock || !m_pLock->StillHeld()) {
    taken = std::make_unique<CDatabaseLock>();
    const CStatus locked = taken->Acquire(ToFilePath(full), "zorvan");
    if (!locked && taken->HeldByOther()) {
      ShowFileError(tr("Cannot save file %1:\n%2."), locked);
      return false;
    }
  }
  // Another program saved over the file after it was read here: replacing it loses that work.
  if (ownFile && m_doc.ChangedOnDisk() &&
      !Prompt().AskYesNo(tr("%1 was changed by another program after it was opened "
                            "here.\nReplace it with this version?")
                             .arg(native)))
    return false;
  if (!ShowSaveOutcome(m_doc.OnSaveDocument(ToFilePath(full)), native)) return false;
  // The saved file is now the open database: its lock replaces the old file's.
  if (taken) m_pLock = taken->IsHeld() ? std::move(taken) : nullptr;
  m_bReadOnly = false;
  m_recentFiles.Add(full);
  if (auto* window = qobject_cast<QMainWindow*>(m_pWindow))
    window->statusBar()->showMessage(tr("Saved %1").arg(QFileInfo(full).fileName()),
                                     kSavedMessageMs);
  emit DocumentSaved();
  return true;
}

bool CDocumentCommands::SaveModified() {
  if (m_beforeSaveModified) m_beforeSaveModified();
  if (!m_doc.IsModified()) return true;
  const QString name = m_doc.GetPathName().empty()
                           ? ToQString(m_doc.GetTitle())
                           : QDir::toNativeSeparators(FromFilePath(m_doc.GetPathName()));
  switch (Prompt().AskSaveChanges(tr("Save changes to %1?").arg(name))) {
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
      format.arg(QDir::toNativeSeparators(FromFilePath(status.File())), ToQString(status.Reason())),
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
