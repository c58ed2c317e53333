#pragma once

#include <QMainWindow>
#include <QMap>
#include <QPrinter>
#include <functional>
#include <initializer_list>
#include <memory>
#include <optional>

class QAction;
class QMenu;
class QSplitter;
class QTimer;
class QToolBar;

namespace zorvan {

enum class EIcon;
class CDocumentCommands;
class CFilterBox;
class CRecentFileList;
class CReminderBar;
class CSyncCommands;
class CUndoCommands;
class CTreeItem;
class CTransferCommands;
class CZorvanDoc;
class CZorvanTreeView;
class CZorvanView;

// Command IDs of the menus, the toolbar and the accelerators.
enum ECommandId {
  ID_FILE_NEW = 57600,
  ID_FILE_OPEN = 57601,
  ID_FILE_SAVE = 57603,
  ID_FILE_SAVE_AS = 57604,
  ID_FILE_SAVE_OLDER_COPY = 32791,
  ID_FILE_CALENDAR = 32786,
  ID_FILE_IMPORT = 32771,
  ID_FILE_EXPORT = 32772,
  ID_FILE_BUSINESS_CARD = 32787,
  ID_FILE_EXPORT_CALENDAR = 32788,
  ID_FILE_IMPORT_OTHER = 32789,
  ID_FILE_EXPORT_OTHER = 32790,
  ID_FILE_SYNCHRONIZE = 32794,
  ID_FILE_PRINT = 57607,
  ID_FILE_PRINT_DIRECT = 57608,
  ID_FILE_PRINT_PREVIEW = 57609,
  ID_FILE_PRINT_SETUP = 57606,
  ID_FILE_MRU_FILE1 = 57616,
  ID_APP_EXIT = 57665,
  ID_EDIT_CREATE_NEW = 32773,
  ID_EDIT_DELETE_CONTACT = 32774,
  ID_EDIT_FIND = 57636,
  ID_EDIT_UNDO = 57643,
  ID_EDIT_REDO = 57644,
  ID_EDIT_SEND_EMAIL = 32775,
  ID_EDIT_WEB_PAGE = 32785,
  ID_VIEW_TOOLBAR = 59392,
  ID_VIEW_STATUS_BAR = 59393,
  ID_VIEW_REMINDERS = 32792,
  ID_VIEW_FIRST_NAME_NAMEDAYS = 32793,
  ID_FILE_ACCOUNTS = 32795,
  ID_HELP_HOME_PAGE = 32843,
  ID_HELP_SUPPORT = 32844,
  ID_HELP_EMAIL_AUTHOR = 32846,
  ID_APP_ABOUT = 57664,
  ID_NEXT_PANE = 57680,
  ID_PREV_PANE = 57681,
};

// The main window: menus, toolbar, status bar, and the splitter with the tree on the left and
// the form on the right. It keeps every command's enabled state; the document commands (New,
// Open, Save, the recent files, the save prompts) are its CDocumentCommands'.
class CMainFrame : public QMainWindow {
  Q_OBJECT

 public:
  enum class EPane { Tree, Form };

  CMainFrame(CZorvanDoc& doc, CRecentFileList& recentFiles);
  ~CMainFrame() override;

  QAction* Action(int id) const;
  CZorvanTreeView* TreeView() const { return m_pTreeView; }
  CZorvanView* FormView() const { return m_pFormView; }
  QSplitter* Splitter() const { return m_pSplitter; }
  // The filter box above the tree (Ctrl+K).
  CFilterBox* FilterBox() const { return m_pFilterBox; }
  // Past this many tree items a filtering costs more than the time between two keystrokes:
  // the tree is filtered once the typing pauses (kFilterPause) instead of at every key.
  void SetFilterAtOnceItems(int items) { m_nFilterAtOnceItems = items; }
  static constexpr int kFilterPause = 150;  // milliseconds
  QToolBar* ToolBar() const { return m_pToolBar; }
  CReminderBar* Reminders() const { return m_pReminders; }
  EPane ActivePane() const { return m_eActivePane; }

  CDocumentCommands& Documents() const { return *m_pDocuments; }
  // The printer that Page Setup sets up and the print commands print on, made at first use.
  QPrinter& Printer();
  CTransferCommands& Transfers() const { return *m_pTransfers; }
  // File > Synchronize (F5), its worker and its status-bar progress.
  CSyncCommands& Sync() const { return *m_pSync; }

  // Recomputes the enabled state of every command.
  void UpdateCommandUI();
  // True while a command runs (its dialogs and its progress included).
  bool IsRunningCommand() const { return m_nRunningCommands > 0; }
  // Runs a command of the menus, the toolbar or the keys. Memory that runs out on the way ends
  // the command with a message; the program and the open database go on.
  void RunCommand(const std::function<void()>& command);
  void ActivatePane(EPane pane);

 protected:
  void closeEvent(QCloseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  void CreateActions();
  void CreateMenus();
  void CreateToolBar();
  void CreateStatusBar();
  void CreateClient();
  void CreateFilterBox();
  // Widens the window so that the form fits; the width added.
  int FitToForm();
  // A row of the table of commands: the id, the menu text (its key after a tab; null for a
  // command with no menu item), the key (null for none), the toolbar picture, whether it is a
  // toggle, and what it runs, given the frame and the id (null for the toggles of the bars,
  // which the bars drive). Its status tip and tool tip are the string table's for the id.
  struct SCommandRow {
    int id;
    const char* text;
    const char* shortcut;
    std::optional<EIcon> icon;
    bool checkable;
    void (*run)(CMainFrame& frame, int id);
  };
  static const SCommandRow kCommands[];
  QAction* AddCommand(const SCommandRow& row);
  void CreateRecentFileActions();
  // Adds the commands to a menu or a toolbar in order; 0 stands for a separator.
  template <typename TTarget>
  void AddCommands(TTarget* target, std::initializer_list<int> ids) const;

  // The window's size, place and splitter, and the reminders' setting, as the last run left
  // them; WriteSettings keeps them when the window closes.
  void ReadSettings();
  void WriteSettings() const;
  void OnViewReminders();
  void OnViewFirstNameNamedays();
  void OnCalendarResource();
  void OnFilePrintSetup();
  void OnHelpWeb(int id);
  void OnAppAbout();
  void AfterNewTree();
  // A synchronisation began or ended: the bound groups it changes are locked or free again.
  void AfterSyncStep(bool finished);
  void AfterUndo(CTreeItem* subject);
  void UpdateTitle();
  void UpdateRecentFileMenu();
  void OnFocusChanged(QWidget* old, QWidget* now);

  CZorvanDoc& m_doc;
  CRecentFileList& m_recentFiles;
  CDocumentCommands* m_pDocuments = nullptr;
  CTransferCommands* m_pTransfers = nullptr;
  CSyncCommands* m_pSync = nullptr;
  CUndoCommands* m_pUndo = nullptr;

  QMap<int, QAction*> m_actions;
  QList<QAction*> m_recentActions;
  QAction* m_pRecentPlaceholder = nullptr;
  QMenu* m_pFileMenu = nullptr;
  QToolBar* m_pToolBar = nullptr;
  QSplitter* m_pSplitter = nullptr;
  QWidget* m_pTreePane = nullptr;  // the filter box above the tree
  CFilterBox* m_pFilterBox = nullptr;
  QTimer* m_pFilterTimer = nullptr;   // the pause in typing, for a large tree
  int m_nFilterAtOnceItems = 250000;  // 100,000 contacts with their event nodes filter at once
  CZorvanTreeView* m_pTreeView = nullptr;
  CZorvanView* m_pFormView = nullptr;
  CReminderBar* m_pReminders = nullptr;
  EPane m_eActivePane = EPane::Tree;
  bool m_bSplitterPlaced = false;
  int m_nRunningCommands = 0;
  std::unique_ptr<QPrinter> m_pPrinter;
  QMetaObject::Connection m_focusConnection;
};

}  // namespace zorvan
