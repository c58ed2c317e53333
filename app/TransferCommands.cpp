#include "app/TransferCommands.h"

#include <QApplication>
#include <QCheckBox>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStatusBar>
#include <QStringList>

#include "interchange-qt/ExportOptionsDlg.h"
#include "interchange-qt/ForeignImportPreview.h"
#include "interchange-qt/ImportPrompts.h"
#include "interchange-qt/TransferProgress.h"
#include "interchange/CalendarExport.h"
#include "interchange/ForeignImport.h"
#include "interchange/Transfer.h"
#include "qt/Prompt.h"
#include "qt/QtText.h"
#include "res/StringTable.h"
#include "store/TreeItem.h"
#include "store/ZorvanDoc.h"

namespace zorvan {
namespace {

const char kVCardSuffix[] = "vcf";

// The kinds of file dialogs that each keep the folder last used, by their keys in the settings.
const char kImportKind[] = "Import";
const char kExportKind[] = "Export";
const char kImportOtherKind[] = "ImportOther";
const char kExportOtherKind[] = "ExportOther";
const char kExportCalendarKind[] = "ExportCalendar";
const char kBusinessCardKind[] = "BusinessCard";

QString FolderKey(const char* kind) {
  return QStringLiteral("Folders/") + QString::fromLatin1(kind);
}

// The wait cursor for the life of the object.
class CWaitCursor {
 public:
  CWaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
  ~CWaitCursor() { QApplication::restoreOverrideCursor(); }
  CWaitCursor(const CWaitCursor&) = delete;
  CWaitCursor& operator=(const CWaitCursor&) = delete;
};

}  // namespace

CTransferCommands::CTransferCommands(CZorvanDoc& doc, QWidget* window, QStatusBar* statusBar)
    : QObject(window), m_doc(doc), m_pWindow(window), m_pStatusBar(statusBar) {}

bool CTransferCommands::CanSaveBusinessCard(const CTreeItem* shown) {
  return shown && shown->m_nKind == kindContacts && shown->m_pParent;
}

QString CTransferCommands::StartFolder(const char* kind) const {
  const QString kept = QSettings(QStringLiteral("Tavorin"), QStringLiteral("Zorvan"))
                           .value(FolderKey(kind))
                           .toString();
  if (!kept.isEmpty()) return kept;
  if (m_doc.GetPathName().empty()) return QString();
  return QFileInfo(FromFilePath(m_doc.GetPathName())).absolutePath();
}

void CTransferCommands::ShowOutcome(const STransferResult& result, const QString& path) const {
  ShowOutcome(result, path, TransferMessageText(result));
}

void CTransferCommands::ShowOutcome(const STransferResult& result, const QString& path,
                                    const std::string& message) const {
  if (result.outcome == ETransferOutcome::cancelled) return;
  // The command's own message, what else the user should know of it, and why the file failed,
  // in the system's words, each that there is in a paragraph of its own.
  QStringList parts;
  for (const std::string& part :
       {message, TransferNoteText(result),
        FileProblemText(result, ToStdString(QDir::toNativeSeparators(path)))})
    if (!part.empty()) parts << ToQString(part);
  Prompt().MessageBox(parts.join(QStringLiteral("\n\n")),
                      result.Succeeded() ? EMsgIcon::None : EMsgIcon::Error);
}

void CTransferCommands::RememberFolder(const char* kind, const QString& path) {
  if (path.isEmpty()) return;
  QSettings(QStringLiteral("Tavorin"), QStringLiteral("Zorvan"))
      .setValue(FolderKey(kind), QFileInfo(AbsoluteFilePath(path)).absolutePath());
}

QString CTransferCommands::AskOpenFile(const SFileDialog& dialog, const char* kind) {
  const QString path = Prompt().GetOpenFileName(dialog);
  RememberFolder(kind, path);
  return path;
}

QString CTransferCommands::AskSaveFile(const SFileDialog& dialog, const char* kind) {
  const QString path = Prompt().GetSaveFileName(dialog);
  RememberFolder(kind, path);
  return path;
}

SFileDialog CTransferCommands::FileDialog(int titleId, int filterId, const QString& fileName,
                                          const char* kind) const {
  SFileDialog dialog;
  dialog.title = ToQString(LoadString(titleId));
  dialog.filter = QtFileFilter(LoadString(filterId));
  dialog.fileName = fileName;
  dialog.defaultSuffix = QString::fromLatin1(kVCardSuffix);
  dialog.directory = StartFolder(kind);
  return dialog;
}

void CTransferCommands::OnFileExport() {
  const SFileDialog dialog =
      FileDialog(IDS_EXPORT_TITLE, IDS_EXPORT_FILTER, QStringLiteral("*.vcf"), kExportKind);
  const QString path = AskSaveFile(dialog, kExportKind);
  if (path.isEmpty()) return;

  CTransferProgress progress(m_pStatusBar);
  STransferCallbacks callbacks;
  callbacks.pProgress = &progress;
  const STransferResult result = ExportContacts(m_doc, ToFilePath(path), callbacks);
  progress.EndWait();
  ShowOutcome(result, path);
}

void CTransferCommands::OnFileExportCalendar() {
  CExportCalendarDlg options(m_pWindow);
  options.SetCalNameCount(m_doc.CalNameCount());
  options.SetCalNames(m_bCalNames);
  if (Prompt().RunModal(options) != QDialog::Accepted) return;
  if (options.CalNamesBox()->isEnabled()) m_bCalNames = options.CalNames();

  SFileDialog dialog = FileDialog(IDS_CALENDAR_EXPORT_TITLE, IDS_CALENDAR_EXPORT_FILTER,
                                  QStringLiteral("*.ics"), kExportCalendarKind);
  dialog.defaultSuffix = QStringLiteral("ics");
  const QString path = AskSaveFile(dialog, kExportCalendarKind);
  if (path.isEmpty()) return;

  SCalendarExportOptions calendar;
  calendar.bCalNames = options.CalNames();
  calendar.tStamp = static_cast<std::time_t>(QDateTime::currentSecsSinceEpoch());
  STransferResult result;
  {
    CWaitCursor wait;
    result = ExportCalendar(m_doc, ToFilePath(path), calendar);
  }
  ShowOutcome(result, path);
}

void CTransferCommands::OnFileExportForOtherPrograms(const std::function<CTreeItem*()>& selected) {
  // Only a record of the contacts branch has a subtree of contacts to offer.
  const auto subtreeOf = [](CTreeItem* record) {
    return record && record->m_nKind == kindContacts && record->m_pParent ? record : nullptr;
  };
  const CTreeItem* offered = subtreeOf(selected());
  CForeignExportDlg options(m_pWindow);
  options.SetVersion(m_bOtherVersion40 ? EVCardVersion::v40 : EVCardVersion::v30);
  options.SetSelection(offered != nullptr,
                       offered ? ToQString(offered->m_strLabel.view()) : QString());
  // No pointer into the tree is kept across the dialogs.
  offered = nullptr;
  if (Prompt().RunModal(options) != QDialog::Accepted) return;
  m_bOtherVersion40 = options.Version() == EVCardVersion::v40;

  const SFileDialog dialog = FileDialog(IDS_EXPORT_OTHER_TITLE, IDS_EXPORT_OTHER_FILTER,
                                        QStringLiteral("*.vcf"), kExportOtherKind);
  const QString path = AskSaveFile(dialog, kExportOtherKind);
  if (path.isEmpty()) return;

  CTreeItem* top = options.SelectedOnly() ? subtreeOf(selected()) : m_doc.ContactsRoot();
  // The selection went while the dialogs were open: there is nothing left to write.
  if (!top) return;
  CTransferProgress progress(m_pStatusBar);
  STransferCallbacks callbacks;
  callbacks.pProgress = &progress;
  const STransferResult result = ShareForOtherPrograms(*top, ToFilePath(path), options.Version(),
                                                       callbacks, m_doc.GetPathName());
  progress.EndWait();
  // The contacts now shared keep the identities they were given only when the database is saved.
  if (result.nNewIdentities != 0) m_doc.SetModifiedFlag();
  ShowOutcome(result, path);
}

void CTransferCommands::OnFileBusinessCard(const std::function<const CTreeItem*()>& shown) {
  const CTreeItem* record = shown();
  if (!CanSaveBusinessCard(record)) return;
  const SFileDialog dialog =
      FileDialog(IDS_CARD_TITLE, IDS_CARD_FILTER,
                 ToQString(BusinessCardFileName(record->m_strLabel.view())), kBusinessCardKind);
  const QString path = AskSaveFile(dialog, kBusinessCardKind);
  if (path.isEmpty()) return;
  record = shown();
  if (!CanSaveBusinessCard(record)) return;

  STransferResult result;
  {
    CWaitCursor wait;
    result = ExportBusinessCard(*record, ToFilePath(path), m_doc.GetPathName());
  }
  ShowOutcome(result, path);
}

void CTransferCommands::OnFileImport() {
  SFileDialog dialog =
      FileDialog(IDS_IMPORT_TITLE, IDS_IMPORT_FILTER, QStringLiteral("*.vcf"), kImportKind);
  dialog.overwritePrompt = false;
  const QString path = AskOpenFile(dialog, kImportKind);
  if (path.isEmpty()) return;

  CTransferProgress progress(m_pStatusBar);
  CImportPrompts prompts(m_pWindow);
  STransferCallbacks callbacks;
  callbacks.pProgress = &progress;
  callbacks.pPrompts = &prompts;
  // The whole file is one step to undo, named by it.
  const CZorvanDoc::CChange change =
      m_doc.BeginChange({EStepKind::import, ToStdString(QFileInfo(path).fileName())});
  const STransferResult result = ImportFile(m_doc, ToFilePath(path), callbacks);
  progress.EndWait();
  emit Imported();
  ShowOutcome(result, path);
}

void CTransferCommands::OnFileImportOther() {
  SFileDialog dialog =
      FileDialog(IDS_OTHER_IMPORT_TITLE, IDS_OTHER_IMPORT_FILTER, QString(), kImportOtherKind);
  dialog.overwritePrompt = false;
  dialog.defaultSuffix.clear();
  const QString path = AskOpenFile(dialog, kImportOtherKind);
  if (path.isEmpty()) return;

  CForeignImport import;
  STransferResult result;
  {
    CTransferProgress progress(m_pStatusBar);
    CImportPrompts prompts(m_pWindow);
    STransferCallbacks callbacks;
    callbacks.pProgress = &progress;
    callbacks.pPrompts = &prompts;
    result = import.Open(ToFilePath(path), callbacks);
    progress.EndWait();
  }
  if (!result.Succeeded()) {
    ShowOutcome(result, path, import.MessageText(result));
    return;
  }

  std::vector<SDuplicate> duplicates;
  {
    CWaitCursor wait;
    duplicates = import.FindDuplicates(*m_doc.ContactsRoot());
  }
  import.ChooseGroupName(*m_doc.ContactsRoot());
  CForeignImportPreview preview(import, std::move(duplicates), m_pWindow);
  if (Prompt().RunModal(preview) != QDialog::Accepted) return;
  {
    CWaitCursor wait;
    const CZorvanDoc::CChange change =
        m_doc.BeginChange({EStepKind::import, ToStdString(QFileInfo(path).fileName())});
    result = import.AddTo(m_doc, preview.SkipFlags());
  }
  if (CTreeItem* group = import.AddedGroup()) emit ImportedGroup(group);
  emit Imported();
  Prompt().MessageBox(ToQString(import.MessageText(result)),
                      result.Succeeded() ? EMsgIcon::None : EMsgIcon::Error);
}

}  // namespace zorvan
