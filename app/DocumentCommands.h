#pragma once

#include <functional>
#include <memory>

#include <QObject>
#include <QString>

class QMimeData;
class QWidget;

namespace zorvan {

class CRecentFileList;
class CDatabaseLock;
class CStatus;
class CZorvanDoc;

// The window's document commands: New, Open, Save, Save As, the recent files, a file dropped on
// the window and the save prompts. It keeps the one database, its file, the recent-file list
// and the user in step, and tells the window when the title or the recent files change.
class CDocumentCommands : public QObject {
  Q_OBJECT

 public:
  // window is the parent of the prompts and the one that a dropped file activates.
  CDocumentCommands(CZorvanDoc& doc, CRecentFileList& recentFiles, QWidget* window);
  ~CDocumentCommands() override;

  // New and Open as the framework runs them: the save prompt, the document, the views' initial
  // update (through the document's notification), the recent files. False when cancelled (or,
  // for Open, when the file could not be read: one message says why, and the database that was
  // open stays, unchanged). Opening the database that is open reads it again from its file.
  bool OnFileNew();
  bool OpenDocumentFile(const QString& path);
  // The Open command: asks for a file, then opens it.
  void OnFileOpen();
  void OnOpenRecentFile(int index);
  bool OnFileSave();
  bool OnFileSaveAs();
  // Asks for a file other than the database's own and writes the contacts there in the base
  // format alone, which the older program reads: texts its code page cannot hold become "?"
  // (the contacts concerned are listed first, with the choice to go back). The open database
  // keeps its file, its modified flag and its extras. False when cancelled or not written.
  bool OnFileSaveOlderCopy();
  // Asks whether to save a modified database; false when the user cancels. before runs first,
  // every time: the window ends there what still works on the database (a synchronisation),
  // so that New, Open and closing the window meet it finished.
  bool SaveModified();
  void SetBeforeSaveModified(std::function<void()> before) { m_beforeSaveModified = before; }

  // A drag over the window that carries a local file.
  static bool CarriesFile(const QMimeData* data);
  // Opens the first local file of a drop, once the drop has finished, so that the program that
  // dragged it is not kept waiting by a save prompt. False when the drop carried none.
  bool OpenDroppedFile(const QMimeData* data);

  // "<title> - <program>" for the window; "<title> (read-only) - <program>" for a database
  // opened read-only.
  QString WindowTitle() const;
  // True when the database was opened read-only because another program holds it: Save then
  // asks for another file.
  bool IsReadOnly() const { return m_bReadOnly; }

 signals:
  // New or Open put another tree in place (or tried to): the title, the recent files and the
  // commands' state may all have changed.
  void DocumentReplaced();
  // A save gave the database its file name: the title and the recent files changed.
  void DocumentSaved();

 private:
  bool DoSave(const QString& path);
  // A new lock on the file full for this window.
  static CStatus Acquire(std::unique_ptr<CDatabaseLock>& lock, const QString& full);
  // Before a copy for the older program: lists the contacts whose texts the file's code page
  // cannot hold in full and asks whether to write the copy all the same. False to go back.
  // Shows a failed save's error, or a note the save left; true when the file was saved.
  bool ShowSaveOutcome(const CStatus& saved, const QString& native);
  bool ConfirmLostCharacters();
  // format has %1 for the file (in the system's own notation) and %2 for the reason.
  void ShowFileError(const QString& format, const CStatus& status);
  // After an open that ignored the file's extension trailer: says so in the status bar and in
  // a message, once.
  void ShowTrailerNote(const QString& path);

  CZorvanDoc& m_doc;
  CRecentFileList& m_recentFiles;
  QWidget* m_pWindow;
  // The open database's lock, held while it is open for changes (null when it is read-only,
  // untitled, or in a folder where no lock file can be made).
  std::unique_ptr<CDatabaseLock> m_pLock;
  bool m_bReadOnly = false;
  std::function<void()> m_beforeSaveModified;
};

}  // namespace zorvan
