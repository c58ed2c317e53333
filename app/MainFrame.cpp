#include "app/MainFrame.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPageSetupDialog>
#include <QScreen>
#include <QScrollBar>
#include <QSettings>
#include <QShortcut>
#include <QSplitter>
#include <QStatusBar>
#include <QTabBar>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>
#include <algorithm>
#include <new>

#include "app/AboutDlg.h"
#include "app/AccountsDlg.h"
#include "app/DocumentCommands.h"
#include "app/RecentFileList.h"
#include "app/SyncCommands.h"
#include "app/TransferCommands.h"
#include "app/UndoCommands.h"
#include "qt/Prompt.h"
#include "qt/QtText.h"
#include "res/StringTable.h"
#include "store/CalendarResource.h"
#include "store/LinkTargets.h"
#include "store/ZorvanDoc.h"
#include "ui/DisabledCommandPrompts.h"
#include "ui/FilterBox.h"
#include "ui/Icons.h"
#include "ui/LockKeyIndicators.h"
#include "ui/OpenTarget.h"
#include "ui/ReminderBar.h"
#include "ui/ZorvanTreeView.h"
#include "ui/ZorvanView.h"

namespace zorvan {
namespace {

// A command's string: the status-bar prompt, a line feed, the tool tip.
QString PromptPart(int id) { return ToQString(LoadString(id)).section(QLatin1Char('\n'), 0, 0); }
QString ToolTipPart(int id) {
  const QString text = ToQString(LoadString(id));
  return text.contains(QLatin1Char('\n')) ? text.section(QLatin1Char('\n'), 1) : QString();
}

// A command of the tree view, after which the other commands may be able to do more or less.
template <void (CZorvanTreeView::*Command)()>
void RunTreeCommand(CMainFrame& frame, int) {
  (frame.TreeView()->*Command)();
  frame.UpdateCommandUI();
}

// The window's own settings, beside the document's.
const QString kGeometryKey = QStringLiteral("Window/Geometry");
const QString kFrameRectKey = QStringLiteral("Window/FrameRect");
const QString kSplitterKey = QStringLiteral("Window/Splitter");
const QString kRemindersKey = QStringLiteral("Window/Reminders");
const QString kCalendarFolderKey = QStringLiteral("Folders/Calendar");

QSettings Settings() { return QSettings(QStringLiteral("Tavorin"), QStringLiteral("Zorvan")); }

// Whether any part of rect lies on a screen: a window kept on a screen that is gone (a
// projector, a second monitor) would open where nobody sees it.
bool OnSomeScreen(const QRect& rect) {
  const QList<QScreen*> screens = QGuiApplication::screens();
  return std::any_of(screens.begin(), screens.end(),
                     [&rect](const QScreen* s) { return s->availableGeometry().intersects(rect); });
}

// F6 and Shift+F6: with two panes, the next one and the one before are the same.
void ToOtherPane(CMainFrame& frame, int) {
  using EPane = CMainFrame::EPane;
  frame.ActivatePane(frame.ActivePane() == EPane::Tree ? EPane::Form : EPane::Tree);
}

}  // namespace

CMainFrame::CMainFrame(CZorvanDoc& doc, CRecentFileList& recentFiles)
    : m_doc(doc),
      m_recentFiles(recentFiles),
      m_pDocuments(new CDocumentCommands(doc, recentFiles, this)) {
  setWindowIcon(MakeIcon(EIcon::Application));
  connect(m_pDocuments, &CDocumentCommands::DocumentReplaced, this, &CMainFrame::AfterNewTree);
  connect(m_pDocuments, &CDocumentCommands::DocumentSaved, this, [this] {
    UpdateTitle();
    UpdateRecentFileMenu();
  });
  m_pTransfers = new CTransferCommands(doc, this, statusBar());
  connect(m_pTransfers, &CTransferCommands::Imported, this, &CMainFrame::UpdateCommandUI);
  connect(m_pTransfers, &CTransferCommands::ImportedGroup, this,
          [this](CTreeItem* group) { m_pTreeView->ShowImportedGroup(group); });
  m_pSync = new CSyncCommands(doc, this, statusBar());
  connect(m_pSync, &CSyncCommands::Started, this, [this] { AfterSyncStep(false); });
  connect(m_pSync, &CSyncCommands::Finished, this, [this] { AfterSyncStep(true); });
  m_pDocuments->SetBeforeSaveModified([this] { m_pSync->CancelAndWait(); });
  m_pSync->SetSaveFirst([this] { return m_pDocuments->OnFileSave(); });
  // Once an opened database is in place (its messages shown), its bindings that ask for it.
  connect(m_pDocuments, &CDocumentCommands::DocumentReplaced, this, [this] {
    if (!m_doc.GetPathName().empty())
      QTimer::singleShot(0, m_pSync, &CSyncCommands::SynchronizeWhenOpened);
  });
  CreateActions();
  m_pUndo = new CUndoCommands(doc, Action(ID_EDIT_UNDO), Action(ID_EDIT_REDO), this);
  connect(m_pUndo, &CUndoCommands::Restored, this, &CMainFrame::AfterUndo);
  m_doc.SetHistoryListener([this] { m_pUndo->Update(!m_pSync->IsRunning()); });
  CreateMenus();
  CreateToolBar();
  CreateStatusBar();
  CreateClient();
  setAcceptDrops(true);
  resize(800, 560);
  ReadSettings();
  m_doc.SetModifiedListener([this](bool modified) { setWindowModified(modified); });
  m_focusConnection = connect(qApp, &QApplication::focusChanged, this, &CMainFrame::OnFocusChanged);
  UpdateRecentFileMenu();
  UpdateCommandUI();
}

// The tree shows the record the step undone or redone was about, and the form shows it as it
// is now; the focus stays where the user had it.
void CMainFrame::AfterUndo(CTreeItem* subject) {
  QWidget* focus = QApplication::focusWidget();
  if (subject) {
    m_pTreeView->ShowRecord(subject);
    // The form shows the record as it is now, also when it was shown already; a calendar node
    // shows what its selection shows (its contact, or its day).
    if (subject->m_nKind != kindCalendar) m_doc.UpdateAllViews(nullptr, HINT_SHOW_RECORD, subject);
  }
  if (focus) focus->setFocus();
  m_pReminders->Refresh();
  UpdateCommandUI();
}

CMainFrame::~CMainFrame() {
  // The window's own teardown moves the focus and destroys the views: none of that may reach
  // this half-destroyed frame.
  disconnect(m_focusConnection);
  m_pSync->CancelAndWait();
  m_doc.SetModifiedListener({});
  m_doc.SetHistoryListener({});
  delete m_pSplitter;
}

QAction* CMainFrame::Action(int id) const { return m_actions.value(id, nullptr); }

// --- Building the frame ---

template <typename TTarget>
void CMainFrame::AddCommands(TTarget* target, std::initializer_list<int> ids) const {
  for (int id : ids) {
    if (id == 0)
      target->addSeparator();
    else
      target->addAction(Action(id));
  }
}

// The commands in the order of the window's actions. The records are looked up again after
// every dialog: what was selected before one may be gone when it closes.
const CMainFrame::SCommandRow CMainFrame::kCommands[] = {
    {ID_FILE_NEW, QT_TR_NOOP("&New\tCtrl+N"), "Ctrl+N", EIcon::New, false,
     [](CMainFrame& f, int) { f.m_pDocuments->OnFileNew(); }},
    {ID_FILE_OPEN, QT_TR_NOOP("&Open...\tCtrl+O"), "Ctrl+O", EIcon::Open, false,
     [](CMainFrame& f, int) { f.m_pDocuments->OnFileOpen(); }},
    {ID_FILE_SAVE, QT_TR_NOOP("&Save\tCtrl+S"), "Ctrl+S", EIcon::Save, false,
     [](CMainFrame& f, int) { f.m_pDocuments->OnFileSave(); }},
    {ID_FILE_SAVE_AS, QT_TR_NOOP("Save &As..."), nullptr, std::nullopt, false,
     [](CMainFrame& f, int) { f.m_pDocuments->OnFileSaveAs(); }},
    {ID_FILE_SAVE_OLDER_COPY, QT_TR_NOOP("Save a Cop&y for the Older Program..."), nullptr,
     std::nullopt, false, [](CMainFrame& f, int) { f.m_pDocuments->OnFileSaveOlderCopy(); }},
    {ID_FILE_SYNCHRONIZE, QT_TR_NOOP("Sync&hronize\tF5"), "F5", EIcon::Synchronize, false,
     [](CMainFrame& f, int) { f.m_pSync->OnFileSynchronize(); }},
    {ID_FILE_CALENDAR, QT_TR_NOOP("Calendar Resource..."), nullptr, std::nullopt, false,
     [](CMainFrame& f, int) { f.OnCalendarResource(); }},
    {ID_FILE_IMPORT, QT_TR_NOOP("&Import..."), nullptr, std::nullopt, false,
     [](CMainFrame& f, int) { f.m_pTransfers->OnFileImport(); }},
    {ID_FILE_IMPORT_OTHER, QT_TR_NOOP("Import &from Other Programs..."), nullptr, std::nullopt,
     false, [](CMainFrame& f, int) { f.m_pTransfers->OnFileImportOther(); }},
    {ID_FILE_EXPORT, QT_TR_NOOP("&Export..."), nullptr, std::nullopt, false,
     [](CMainFrame& f, int) { f.m_pTransfers->OnFileExport(); }},
    {ID_FILE_EXPORT_OTHER, QT_TR_NOOP("Export fo&r Other Programs..."), nullptr, std::nullopt,
     false,
     [](CMainFrame& f, int) {
       f.m_pTransfers->OnFileExportForOtherPrograms(
           [&f] { return f.m_pTreeView->SelectedRecord(); });
     }},
    {ID_FILE_EXPORT_CALENDAR, QT_TR_NOOP("Export &Calendar..."), nullptr, std::nullopt, false,
     [](CMainFrame& f, int) { f.m_pTransfers->OnFileExportCalendar(); }},
    {ID_FILE_BUSINESS_CARD, QT_TR_NOOP("&Business Card..."), nullptr, EIcon::BusinessCard, false,
     [](CMainFrame& f, int) {
       f.m_pTransfers->OnFileBusinessCard([&f] { return f.m_pFormView->Record(); });
     }},
    {ID_FILE_ACCOUNTS, QT_TR_NOOP("Accoun&ts..."), nullptr, std::nullopt, false,
     [](CMainFrame& f, int) {
       ShowAccountsDialog(f.m_doc, &f);
       f.UpdateCommandUI();
     }},
    {ID_FILE_PRINT, QT_TR_NOOP("&Print...\tCtrl+P"), "Ctrl+P", EIcon::Print, false,
     [](CMainFrame& f, int) { f.m_pFormView->OnFilePrint(f.Printer()); }},
    // Printing without the print dialog: a command with no menu item or key.
    {ID_FILE_PRINT_DIRECT, nullptr, nullptr, std::nullopt, false,
     [](CMainFrame& f, int) { f.m_pFormView->OnFilePrintDirect(f.Printer()); }},
    {ID_FILE_PRINT_PREVIEW, QT_TR_NOOP("Print Pre&view"), nullptr, std::nullopt, false,
     [](CMainFrame& f, int) { f.m_pFormView->OnFilePrintPreview(f.Printer()); }},
    {ID_FILE_PRINT_SETUP, QT_TR_NOOP("Page Set&up..."), nullptr, std::nullopt, false,
     [](CMainFrame& f, int) { f.OnFilePrintSetup(); }},
    {ID_APP_EXIT, QT_TR_NOOP("&Exit"), nullptr, std::nullopt, false,
     [](CMainFrame& f, int) { f.close(); }},
    {ID_EDIT_UNDO, QT_TR_NOOP("&Undo\tCtrl+Z"), "Ctrl+Z", EIcon::Undo, false,
     [](CMainFrame& f, int) { f.m_pUndo->OnUndo(); }},
    {ID_EDIT_REDO, QT_TR_NOOP("&Redo\tCtrl+Y"), "Ctrl+Y", EIcon::Redo, false,
     [](CMainFrame& f, int) { f.m_pUndo->OnRedo(); }},
    {ID_EDIT_CREATE_NEW, QT_TR_NOOP("Create &new"), nullptr, EIcon::CreateNew, false,
     RunTreeCommand<&CZorvanTreeView::OnCreateNew>},
    {ID_EDIT_DELETE_CONTACT, QT_TR_NOOP("&Delete contact"), nullptr, EIcon::DeleteContact, false,
     RunTreeCommand<&CZorvanTreeView::OnDeleteContact>},
    {ID_EDIT_FIND, QT_TR_NOOP("&Find...\tCtrl+F"), "Ctrl+F", EIcon::Find, false,
     RunTreeCommand<&CZorvanTreeView::OnFind>},
    {ID_EDIT_SEND_EMAIL, QT_TR_NOOP("&Send e-mail..."), nullptr, EIcon::SendEmail, false,
     [](CMainFrame& f, int) { f.m_pFormView->OnSendEmail(); }},
    {ID_EDIT_WEB_PAGE, QT_TR_NOOP("&Web page"), nullptr, EIcon::WebPage, false,
     [](CMainFrame& f, int) { f.m_pFormView->OnWebPage(); }},
    {ID_VIEW_TOOLBAR, QT_TR_NOOP("&Toolbar"), nullptr, std::nullopt, true, nullptr},
    {ID_VIEW_STATUS_BAR, QT_TR_NOOP("&Status bar"), nullptr, std::nullopt, true, nullptr},
    {ID_VIEW_REMINDERS, QT_TR_NOOP("&Reminders"), nullptr, std::nullopt, true,
     [](CMainFrame& f, int) { f.OnViewReminders(); }},
    {ID_VIEW_FIRST_NAME_NAMEDAYS, QT_TR_NOOP("Namedays from &First Names"), nullptr, std::nullopt,
     true, [](CMainFrame& f, int) { f.OnViewFirstNameNamedays(); }},
    {ID_HELP_HOME_PAGE, QT_TR_NOOP("&Home page"), nullptr, std::nullopt, false,
     [](CMainFrame& f, int id) { f.OnHelpWeb(id); }},
    {ID_HELP_SUPPORT, QT_TR_NOOP("&Technical support"), nullptr, std::nullopt, false,
     [](CMainFrame& f, int id) { f.OnHelpWeb(id); }},
    {ID_HELP_EMAIL_AUTHOR, QT_TR_NOOP("Send &e-mail"), nullptr, std::nullopt, false,
     [](CMainFrame& f, int id) { f.OnHelpWeb(id); }},
    {ID_APP_ABOUT, QT_TR_NOOP("&About program..."), nullptr, EIcon::About, false,
     [](CMainFrame& f, int) { f.OnAppAbout(); }},
    {ID_NEXT_PANE, nullptr, "F6", std::nullopt, false, ToOtherPane},
    {ID_PREV_PANE, nullptr, "Shift+F6", std::nullopt, false, ToOtherPane},
};

QAction* CMainFrame::AddCommand(const SCommandRow& row) {
  auto* action = new QAction(row.text ? tr(row.text) : QString(), this);
  action->setStatusTip(PromptPart(row.id));
  const QString tip = ToolTipPart(row.id);
  if (!tip.isEmpty()) action->setToolTip(tip);
  if (row.shortcut) action->setShortcut(QKeySequence(QString::fromLatin1(row.shortcut)));
  if (row.icon) action->setIcon(MakeIcon(*row.icon));
  action->setCheckable(row.checkable);
  action->setData(row.id);
  m_actions.insert(row.id, action);
  addAction(action);  // shortcuts work while the menu bar is hidden too
  if (row.run)
    connect(action, &QAction::triggered, this, [this, run = row.run, id = row.id] {
      RunCommand([this, run, id] { run(*this, id); });
    });
  return action;
}

void CMainFrame::CreateActions() {
  for (const SCommandRow& row : kCommands) AddCommand(row);
  Action(ID_VIEW_REMINDERS)
      ->setStatusTip(tr("Show or hide the line of today's and the coming week's birthdays, "
                        "anniversaries and namedays"));
  Action(ID_VIEW_FIRST_NAME_NAMEDAYS)
      ->setStatusTip(tr("List contacts without a nameday of their own on the day the calendar "
                        "resource gives their first name"));
  Action(ID_FILE_SYNCHRONIZE)
      ->setStatusTip(tr("Bring the groups bound to address books into step with their servers"));
  Action(ID_FILE_SYNCHRONIZE)->setToolTip(tr("Synchronize"));
  CreateRecentFileActions();
}

void CMainFrame::CreateRecentFileActions() {
  for (int i = 0; i < m_recentFiles.GetSize(); ++i) {
    auto* action = new QAction(this);
    action->setStatusTip(PromptPart(ID_FILE_MRU_FILE1));
    action->setData(ID_FILE_MRU_FILE1 + i);
    connect(action, &QAction::triggered, this,
            [this, i] { RunCommand([this, i] { m_pDocuments->OnOpenRecentFile(i); }); });
    m_recentActions.append(action);
  }
  m_pRecentPlaceholder = new QAction(tr("Recent File"), this);
  m_pRecentPlaceholder->setStatusTip(PromptPart(ID_FILE_MRU_FILE1));
  m_pRecentPlaceholder->setEnabled(false);
  m_actions.insert(ID_FILE_MRU_FILE1, m_pRecentPlaceholder);
}

void CMainFrame::CreateMenus() {
  constexpr int kSeparator = 0;
  m_pFileMenu = menuBar()->addMenu(tr("&File"));
  AddCommands(m_pFileMenu, {ID_FILE_NEW,
                            ID_FILE_OPEN,
                            ID_FILE_SAVE,
                            ID_FILE_SAVE_AS,
                            ID_FILE_SAVE_OLDER_COPY,
                            kSeparator,
                            ID_FILE_SYNCHRONIZE,
                            ID_FILE_ACCOUNTS,
                            kSeparator,
                            ID_FILE_CALENDAR,
                            kSeparator,
                            ID_FILE_IMPORT,
                            ID_FILE_EXPORT,
                            ID_FILE_EXPORT_CALENDAR,
                            ID_FILE_BUSINESS_CARD,
                            kSeparator,
                            ID_FILE_PRINT,
                            ID_FILE_PRINT_PREVIEW,
                            ID_FILE_PRINT_SETUP,
                            kSeparator});
  // Export for Other Programs between Export and Export Calendar.
  m_pFileMenu->insertAction(Action(ID_FILE_EXPORT_CALENDAR), Action(ID_FILE_EXPORT_OTHER));
  // Import from Other Programs beside Import.
  m_pFileMenu->insertAction(Action(ID_FILE_EXPORT), Action(ID_FILE_IMPORT_OTHER));
  m_pFileMenu->addAction(m_pRecentPlaceholder);
  for (QAction* action : std::as_const(m_recentActions)) m_pFileMenu->addAction(action);
  AddCommands(m_pFileMenu, {kSeparator, ID_APP_EXIT});

  AddCommands(menuBar()->addMenu(tr("&Edit")),
              {ID_EDIT_UNDO, ID_EDIT_REDO, kSeparator, ID_EDIT_CREATE_NEW, ID_EDIT_DELETE_CONTACT,
               kSeparator, ID_EDIT_FIND, kSeparator, ID_EDIT_SEND_EMAIL, ID_EDIT_WEB_PAGE});
  AddCommands(menuBar()->addMenu(tr("&View")), {ID_VIEW_TOOLBAR, ID_VIEW_STATUS_BAR,
                                                ID_VIEW_REMINDERS, ID_VIEW_FIRST_NAME_NAMEDAYS});

  QMenu* help = menuBar()->addMenu(tr("&Help"));
  AddCommands(help->addMenu(tr("Tavorin on the &web")),
              {ID_HELP_HOME_PAGE, ID_HELP_SUPPORT, ID_HELP_EMAIL_AUTHOR});
  AddCommands(help, {ID_APP_ABOUT});

  auto* prompts = new CDisabledCommandPrompts(this);
  for (QAction* menu : menuBar()->actions()) prompts->Watch(menu->menu());
}

void CMainFrame::CreateToolBar() {
  constexpr int kSeparator = 0;
  m_pToolBar = new QToolBar(tr("Toolbar"), this);
  m_pToolBar->setObjectName(QStringLiteral("toolbar"));
  m_pToolBar->setIconSize(QSize(16, 16));
  m_pToolBar->setToolButtonStyle(Qt::ToolButtonIconOnly);
  m_pToolBar->setAllowedAreas(Qt::AllToolBarAreas);
  AddCommands(m_pToolBar, {ID_FILE_NEW,
                           ID_FILE_OPEN,
                           ID_FILE_SAVE,
                           kSeparator,
                           ID_FILE_SYNCHRONIZE,
                           kSeparator,
                           ID_FILE_BUSINESS_CARD,
                           kSeparator,
                           ID_EDIT_UNDO,
                           ID_EDIT_REDO,
                           kSeparator,
                           ID_EDIT_CREATE_NEW,
                           ID_EDIT_DELETE_CONTACT,
                           ID_EDIT_FIND,
                           kSeparator,
                           ID_EDIT_SEND_EMAIL,
                           ID_EDIT_WEB_PAGE,
                           kSeparator,
                           ID_FILE_PRINT,
                           kSeparator,
                           ID_APP_ABOUT});
  addToolBar(Qt::TopToolBarArea, m_pToolBar);

  QAction* toggle = Action(ID_VIEW_TOOLBAR);
  toggle->setChecked(true);
  connect(toggle, &QAction::toggled, m_pToolBar, &QToolBar::setVisible);
  connect(m_pToolBar, &QToolBar::visibilityChanged, toggle, &QAction::setChecked);
}

void CMainFrame::CreateStatusBar() {
  QStatusBar* bar = statusBar();
  // The idle text; a command's prompt covers it while the pointer is on the command.
  auto* ready = new QLabel(ToQString(LoadString(AFX_IDS_IDLEMESSAGE)));
  ready->setObjectName(QStringLiteral("idleMessage"));
  bar->addWidget(ready, 1);
  bar->addPermanentWidget(new CLockKeyIndicators(bar));

  QAction* toggle = Action(ID_VIEW_STATUS_BAR);
  toggle->setChecked(true);
  connect(toggle, &QAction::toggled, bar, &QStatusBar::setVisible);
}

void CMainFrame::CreateClient() {
  m_pSplitter = new QSplitter(Qt::Horizontal, this);
  m_pSplitter->setChildrenCollapsible(false);
  m_pTreePane = new QWidget(m_pSplitter);
  auto* pane = new QVBoxLayout(m_pTreePane);
  pane->setContentsMargins(0, 0, 0, 0);
  pane->setSpacing(2);
  m_pFilterBox = new CFilterBox(m_pTreePane);
  m_pTreeView = new CZorvanTreeView(m_pTreePane);
  pane->addWidget(m_pFilterBox);
  pane->addWidget(m_pTreeView, 1);
  m_pFormView = new CZorvanView(m_pSplitter);
  m_pSplitter->addWidget(m_pTreePane);
  m_pSplitter->addWidget(m_pFormView);
  // The tree keeps its width when the window is resized; the form takes the rest.
  m_pSplitter->setStretchFactor(0, 0);
  m_pSplitter->setStretchFactor(1, 1);
  // The reminders' line above the tree and the form.
  auto* client = new QWidget(this);
  auto* column = new QVBoxLayout(client);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(0);
  m_pReminders = new CReminderBar(client);
  column->addWidget(m_pReminders);
  column->addWidget(m_pSplitter, 1);
  setCentralWidget(client);
  // Both views hear of the document's changes from the start; they fill on its first New or
  // Open.
  m_pTreeView->Attach(m_doc);
  m_pFormView->Attach(m_doc);
  m_pReminders->Attach(m_doc);
  connect(m_pReminders, &CReminderBar::ContactActivated, this,
          [this](CTreeItem* contact) { m_pTreeView->ShowRecord(contact); });
  // The records' dates may have changed with the tree's commands, an import or an edit in the
  // form (stored when the form shows another record).
  connect(m_pTreeView, &CZorvanTreeView::RecordChanged, m_pReminders, &CReminderBar::Refresh);
  connect(m_pFormView, &CZorvanView::ShownRecordChanged, m_pReminders,
          [this] { m_pReminders->RecordChanged(m_pFormView->Record()); });
  connect(m_pTransfers, &CTransferCommands::Imported, m_pReminders, &CReminderBar::Refresh);
  connect(m_pTreeView, &CTreeViewEx::SelectedRecordChanged, this, &CMainFrame::UpdateCommandUI);
  connect(m_pTreeView, &CZorvanTreeView::RecordChanged, this, &CMainFrame::UpdateCommandUI);
  connect(m_pFormView, &CZorvanView::ShownRecordChanged, this, [this] {
    // The shown record may have been stored from the pages: the filter reads it afresh.
    m_pTreeView->ForgetFilterKey(m_pFormView->Record());
    UpdateCommandUI();
  });
  CreateFilterBox();
  // The keys a tree of files and folders answers to: Delete (Shift+Delete too) deletes the
  // selected contact, Insert makes a new one, as the Edit menu's commands do.
  const std::pair<QKeySequence, int> treeKeys[] = {
      {QKeySequence(Qt::Key_Delete), ID_EDIT_DELETE_CONTACT},
      {QKeySequence(Qt::SHIFT | Qt::Key_Delete), ID_EDIT_DELETE_CONTACT},
      {QKeySequence(Qt::Key_Insert), ID_EDIT_CREATE_NEW}};
  // F3 and Shift+F3 find the next and the previous match of the last criteria, from either pane.
  for (const bool previous : {false, true}) {
    auto* shortcut =
        new QShortcut(QKeySequence(previous ? Qt::SHIFT | Qt::Key_F3 : Qt::Key_F3), this);
    connect(shortcut, &QShortcut::activated, this, [this, previous] {
      RunCommand([this, previous] { m_pTreeView->OnFindAgain(previous); });
      UpdateCommandUI();
    });
  }
  for (const auto& [keys, id] : treeKeys) {
    auto* shortcut = new QShortcut(keys, m_pTreeView, nullptr, nullptr, Qt::WidgetShortcut);
    connect(shortcut, &QShortcut::activated, this, [this, id = id] { Action(id)->trigger(); });
  }
  // F10 opens the first menu, as desktop programs do; the address pages' labels take Alt+F and
  // Alt+E, so their boxes need a way to the menus that is no letter.
  auto* menuKey = new QShortcut(QKeySequence(Qt::Key_F10), this);
  connect(menuKey, &QShortcut::activated, this, [this] {
    const QList<QAction*> menus = menuBar()->actions();
    if (!menus.isEmpty()) menuBar()->setActiveAction(menus.first());
  });
}

// Typing in the filter box narrows the tree at every keystroke; Ctrl+K goes to the box from
// anywhere in the window, Escape in it empties it and goes back to the tree.
void CMainFrame::CreateFilterBox() {
  m_pFilterTimer = new QTimer(this);
  m_pFilterTimer->setSingleShot(true);
  m_pFilterTimer->setInterval(kFilterPause);
  auto filter = [this] {
    RunCommand([this] { m_pTreeView->SetFilterText(m_pFilterBox->text()); });
    UpdateCommandUI();
  };
  connect(m_pFilterTimer, &QTimer::timeout, this, filter);
  connect(m_pFilterBox, &QLineEdit::textChanged, this, [this, filter](const QString& text) {
    // An empty box shows everything at once, whatever the size.
    if (text.isEmpty() || m_pTreeView->ItemCount() <= m_nFilterAtOnceItems) {
      m_pFilterTimer->stop();
      filter();
    } else {
      m_pFilterTimer->start();
    }
  });
  connect(m_pFilterBox, &CFilterBox::Escaped, this, [this] { ActivatePane(EPane::Tree); });
  auto* shortcut = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_K), this);
  connect(shortcut, &QShortcut::activated, this, [this] {
    m_pFilterBox->setFocus(Qt::ShortcutFocusReason);
    m_pFilterBox->selectAll();
  });
  // An import may have changed the records the filter keeps keys of.
  connect(m_pTransfers, &CTransferCommands::Imported, m_pTreeView, &CTreeViewEx::ForgetFilterKeys);
}

void CMainFrame::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (!m_bSplitterPlaced) {
    // Without a splitter kept from the last run: a third for the tree, the form whole.
    m_bSplitterPlaced = true;
    const int width = m_pSplitter->width() + FitToForm();
    m_pSplitter->setSizes({width / 3, 2 * width / 3});
  }
}

int CMainFrame::FitToForm() {
  const QWidget* sheet = m_pFormView->widget();
  if (!sheet) return 0;
  // The form pane (two thirds of the width) should show the whole form with all its tabs; the
  // window grows for it, as far as the screen allows.
  const QTabWidget* tabs = m_pFormView->Sheet();
  int formWidth = sheet->sizeHint().width();
  if (tabs) formWidth = std::max(formWidth, tabs->tabBar()->sizeHint().width() + 8);
  formWidth += m_pFormView->verticalScrollBar()->sizeHint().width();
  // On a small screen the tree gives way first: the form keeps every tab in sight, and its
  // pages scroll where the height is short.
  m_pFormView->setMinimumWidth(formWidth);
  m_pTreeView->setMinimumWidth(m_pTreeView->fontMetrics().averageCharWidth() * 20);
  const int wanted = formWidth * 3 / 2 + m_pSplitter->handleWidth();
  int grow = std::max(0, wanted - m_pSplitter->width());
  if (const QScreen* s = screen())
    grow = std::min(grow, std::max(0, s->availableSize().width() - width()));
  if (grow > 0) resize(width() + grow, height());
  return grow;
}

// --- Panes and command enabling ---

void CMainFrame::OnFocusChanged(QWidget* /*old*/, QWidget* now) {
  if (!now) return;
  if (now == m_pTreeView || m_pTreePane->isAncestorOf(now))
    m_eActivePane = EPane::Tree;
  else if (now == m_pFormView || m_pFormView->isAncestorOf(now))
    m_eActivePane = EPane::Form;
  UpdateCommandUI();
}

void CMainFrame::ActivatePane(EPane pane) {
  m_eActivePane = pane;
  if (pane == EPane::Tree)
    m_pTreeView->setFocus(Qt::OtherFocusReason);
  else
    m_pFormView->setFocus(Qt::OtherFocusReason);
  UpdateCommandUI();
}

// The tree's commands act on the tree's selection and the form's on the record it shows,
// whichever pane has the focus: a command whose target is there is never greyed.
void CMainFrame::UpdateCommandUI() {
  Action(ID_EDIT_CREATE_NEW)->setEnabled(m_pTreeView->CanCreateNew());
  Action(ID_EDIT_DELETE_CONTACT)->setEnabled(m_pTreeView->CanDeleteContact());
  Action(ID_EDIT_FIND)->setEnabled(true);
  const bool shown = m_pFormView->Record() != nullptr;
  Action(ID_FILE_PRINT)->setEnabled(shown);
  Action(ID_FILE_PRINT_DIRECT)->setEnabled(shown);
  Action(ID_FILE_PRINT_PREVIEW)->setEnabled(shown);
  Action(ID_EDIT_SEND_EMAIL)->setEnabled(m_pFormView->CanSendEmail());
  Action(ID_EDIT_WEB_PAGE)->setEnabled(m_pFormView->CanOpenWebPage());
  Action(ID_FILE_BUSINESS_CARD)
      ->setEnabled(CTransferCommands::CanSaveBusinessCard(m_pFormView->Record()));
  // An import may change contacts of a group a synchronisation is changing.
  Action(ID_FILE_SYNCHRONIZE)->setEnabled(!m_pSync->IsRunning());
  m_pUndo->Update(!m_pSync->IsRunning());
  Action(ID_FILE_IMPORT)->setEnabled(!m_pSync->IsRunning());
  // A run stores the bindings it started with when it ends: they are not edited meanwhile.
  Action(ID_FILE_ACCOUNTS)->setEnabled(!m_pSync->IsRunning());
  m_pFormView->SetReadOnly(m_pTreeView->IsLocked(m_pFormView->Record()));
}

void CMainFrame::RunCommand(const std::function<void()>& command) {
  ++m_nRunningCommands;
  try {
    command();
  } catch (const std::bad_alloc&) {
    // The command's own objects are gone with the unwinding (a lock it took, its wait cursor).
    Prompt().MessageBox(tr("There is not enough memory to finish the command."), EMsgIcon::Error);
  }
  --m_nRunningCommands;
}

// --- Documents ---

void CMainFrame::AfterNewTree() {
  // The views have refilled themselves on the document's notification.
  Action(ID_VIEW_FIRST_NAME_NAMEDAYS)->setChecked(m_doc.NamedaysFromFirstNames());
  UpdateTitle();
  UpdateRecentFileMenu();
  UpdateCommandUI();
}

void CMainFrame::AfterSyncStep(bool finished) {
  m_pTreeView->SetLockedGroups(m_pSync->LockedGroups());
  if (finished) {
    // The cards taken may have changed the shown record, its dates and the filter's keys.
    if (m_pFormView->Record() && m_pFormView->Sheet()) m_pFormView->Sheet()->ExchangeRecord(false);
    m_pTreeView->ForgetFilterKeys();
    m_pReminders->Refresh();
  }
  UpdateCommandUI();
}

void CMainFrame::UpdateTitle() {
  // The "*" of a database with unsaved changes goes after its name: "Müller.zvd* - Zorvan".
  const QString title = ToQString(m_doc.GetTitle());
  QString shown = m_pDocuments->WindowTitle();
  if (shown.startsWith(title)) shown.insert(title.size(), QStringLiteral("[*]"));
  setWindowTitle(shown);
  setWindowModified(m_doc.IsModified());
}

void CMainFrame::UpdateRecentFileMenu() {
  const QStringList& files = m_recentFiles.Files();
  m_pRecentPlaceholder->setVisible(files.isEmpty());
  for (int i = 0; i < m_recentActions.size(); ++i) {
    QAction* action = m_recentActions[i];
    action->setVisible(i < files.size());
    if (i < files.size()) action->setText(CRecentFileList::MenuText(i, files[i]));
  }
}

// --- What the window keeps between runs ---

void CMainFrame::ReadSettings() {
  const QSettings settings = Settings();
  // A place off every screen is not taken: the window opens in its first size instead.
  const QRect frame = settings.value(kFrameRectKey).toRect();
  if (frame.isValid() && OnSomeScreen(frame))
    restoreGeometry(settings.value(kGeometryKey).toByteArray());
  if (m_pSplitter->restoreState(settings.value(kSplitterKey).toByteArray()))
    m_bSplitterPlaced = true;
  const bool reminders = settings.value(kRemindersKey, true).toBool();
  Action(ID_VIEW_REMINDERS)->setChecked(reminders);
  m_pReminders->SetOn(reminders);
}

void CMainFrame::WriteSettings() const {
  QSettings settings = Settings();
  settings.setValue(kGeometryKey, saveGeometry());
  settings.setValue(kFrameRectKey, frameGeometry());
  settings.setValue(kSplitterKey, m_pSplitter->saveState());
}

void CMainFrame::OnViewReminders() {
  const bool on = Action(ID_VIEW_REMINDERS)->isChecked();
  Settings().setValue(kRemindersKey, on);
  m_pReminders->SetOn(on);
}

void CMainFrame::OnViewFirstNameNamedays() {
  m_doc.SetNamedaysFromFirstNames(Action(ID_VIEW_FIRST_NAME_NAMEDAYS)->isChecked());
  // The Calendar page lists the days again at its next paint; the reminders at once.
  if (QWidget* sheet = m_pFormView->widget()) sheet->update();
  m_pReminders->Refresh();
}

// --- Other commands ---

void CMainFrame::OnCalendarResource() {
  SFileDialog dialog;
  dialog.title = ToQString(LoadString(IDS_CALENDAR_OPEN_TITLE));
  dialog.filter = QtFileFilter(LoadString(IDS_CALENDAR_FILTER));
  dialog.fileName = QStringLiteral("*.cal");
  dialog.defaultSuffix = QStringLiteral("cal");
  dialog.directory = Settings().value(kCalendarFolderKey).toString();
  if (dialog.directory.isEmpty())
    dialog.directory =
        FromFilePath(InstalledCalendarFolder(ToFilePath(QCoreApplication::applicationDirPath())));
  const QString path = Prompt().GetOpenFileName(dialog);
  if (path.isEmpty()) return;
  Settings().setValue(kCalendarFolderKey, QFileInfo(AbsoluteFilePath(path)).absolutePath());
  m_doc.SetCalendarResource(ToFilePath(AbsoluteFilePath(path)));
}

// --- Window events ---

void CMainFrame::closeEvent(QCloseEvent* event) {
  if (m_pDocuments->SaveModified()) {
    m_recentFiles.WriteList();
    WriteSettings();
    event->accept();
  } else {
    event->ignore();
  }
}

void CMainFrame::dragEnterEvent(QDragEnterEvent* event) {
  if (CDocumentCommands::CarriesFile(event->mimeData())) event->acceptProposedAction();
}

void CMainFrame::dropEvent(QDropEvent* event) {
  if (m_pDocuments->OpenDroppedFile(event->mimeData())) event->acceptProposedAction();
}

}  // namespace zorvan
