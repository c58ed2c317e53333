#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <string>

class QStatusBar;
class QWidget;

namespace zorvan {

class CTreeItem;
class CZorvanDoc;
struct SFileDialog;
struct STransferResult;

// The window's Import, Export and Business Card commands: the file dialog, the progress in the
// status bar with the wait cursor, the delimiter dialog and the import wizard, and the message
// at the end. What happens between the file dialog and the message is the core's transfer
// flow, the same that zorvan-cli runs.
class CTransferCommands : public QObject {
  Q_OBJECT

 public:
  // window is the parent of the dialogs; its status bar shows the progress.
  CTransferCommands(CZorvanDoc& doc, QWidget* window, QStatusBar* statusBar);

  void OnFileImport();
  // Import from Other Programs: the file dialog, the progress, the import wizard for delimited
  // text (its columns preselected when the layout is known), the preview with the likely
  // duplicates, then the contacts into a new group, which is shown selected.
  void OnFileImportOther();
  void OnFileExport();
  // Writes the contacts' dates as an iCalendar file, asking first in its options dialog whether
  // the calendar names of the loaded resource go in too.
  void OnFileExportCalendar();
  // Writes standard vCards for other programs: the options dialog (the version, and every
  // contact or the selected record's subtree), the file dialog, the transfer with its progress
  // and the Export command's messages. The contacts written without a stored UID are given an
  // identity, and the database is then marked modified so that Save keeps it. selected gives the
  // record selected in the tree, if any; it is asked again after each dialog, as a record may be
  // gone by then.
  void OnFileExportForOtherPrograms(const std::function<CTreeItem*()>& selected);
  // Writes the record the form shows (as shown gives it, before and after the file dialog) as
  // a one-card vCard file.
  void OnFileBusinessCard(const std::function<const CTreeItem*()>& shown);
  // Business Card is for a record or group below the contacts root, not for a root or a node
  // of the calendar branch.
  static bool CanSaveBusinessCard(const CTreeItem* shown);

 signals:
  // An import added records (or tried to): the commands' state may have changed.
  void Imported();
  // An import from another program made this group (with the contacts below it).
  void ImportedGroup(CTreeItem* group);

 private:
  // The folder a file dialog of the kind (its key in the settings) opens in: the one last
  // chosen in a dialog of that kind, else the open database's.
  QString StartFolder(const char* kind) const;
  // Keeps the folder of the file chosen in a dialog of the kind for the next one.
  static void RememberFolder(const char* kind, const QString& path);
  // The file dialog of a command: its title and filter from the string table, vCard by default,
  // in the kind's folder.
  SFileDialog FileDialog(int titleId, int filterId, const QString& fileName,
                         const char* kind) const;
  // Asks for a file to read or to write in the dialog, and keeps its folder for the kind.
  static QString AskOpenFile(const SFileDialog& dialog, const char* kind);
  static QString AskSaveFile(const SFileDialog& dialog, const char* kind);
  // The command's message for the outcome (the string table's unless given), with the stop icon
  // for an error; nothing when the user cancelled.
  void ShowOutcome(const STransferResult& result, const QString& path) const;
  void ShowOutcome(const STransferResult& result, const QString& path,
                   const std::string& message) const;

  CZorvanDoc& m_doc;
  QWidget* m_pWindow;
  QStatusBar* m_pStatusBar;
  // The choices of the export options dialogs, offered again for the rest of the run.
  bool m_bOtherVersion40 = false;
  bool m_bCalNames = false;
};

}  // namespace zorvan
