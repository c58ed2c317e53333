#include "app/MainFrame.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPageSetupDialog>
#include <QSplitter>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QUrl>

#include "app/AboutDlg.h"
#include "app/RecentFileList.h"
#include "res/StringTable.h"
#include "store/ZorvanDoc.h"
#include "ui/Icons.h"
#include "ui/Prompt.h"
#include "ui/QtText.h"
#include "ui/ZorvanTreeView.h"
#include "ui/ZorvanView.h"

namespace zorvan {
namespace {

const char kDocumentFilter[] = "Zorvan Files (*.zvd)";
const char kDocumentSuffix[] = "zvd";

QString AppTitle() { return ToQString(LoadString(AFX_IDS_APP_TITLE)); }

// A command's string: the status-bar prompt, a line feed, the tool tip.
QString PromptPart(int id) { return ToQString(LoadString(id)).section(QLatin1Char('\n'), 0, 0); }
QString ToolTipPart(int id) {
  const QString text = ToQString(LoadString(id));
  return text.contains(QLatin1Char('\n')) ? text.section(QLatin1Char('\n'), 1) : QString();
}

// Where the calendar resources are: installed beside the program, or in the source tree when
// the program runs from its build tree.
QString CalendarFolder() {
  const QString appDir = QCoreApplication::applicationDirPath();
  const QString installed = QStringLiteral(ZORVAN_INSTALL_DATADIR "/calendars");
  const QString relocated =
      QDir(appDir).absoluteFilePath(QStringLiteral("../share/zorvan/calendars"));
  if (QFileInfo(appDir).canonicalFilePath() ==
          QFileInfo(QStringLiteral(ZORVAN_INSTALL_BINDIR)).canonicalFilePath() &&
      QFileInfo::exists(installed))
    return installed;
  if (QFileInfo::exists(relocated)) return QDir::cleanPath(relocated);
  const QString source = QStringLiteral(ZORVAN_SOURCE_DATADIR "/calendars");
  if (QFileInfo::exists(source)) return source;
  return installed;
}

// The state of a lock key's light, where the system shows it (false where it does not).
bool LockLightOn(const QString& light) {
  const QDir leds(QStringLiteral("/sys/class/leds"));
  const QStringList names =
      leds.entryList({QStringLiteral("*::") + light}, QDir::Dirs | QDir::System);
  for (const QString& name : names) {
    QFile brightness(leds.filePath(name + QStringLiteral("/brightness")));
    if (brightness.open(QIODevice::ReadOnly) && brightness.readAll().trimmed() != "0") return true;
  }
  return false;
}

}  // namespace

CMainFrame::CMainFrame(CZorvanDoc& doc, CRecentFileList& recentFiles)
    : m_doc(doc), m_recentFiles(recentFiles) {
  setWindowIcon(MakeIcon(EIcon::Application));
  CreateActions();
  CreateMenus();
  CreateToolBar();
  CreateStatusBar();
  CreateClient();
  setAcceptDrops(true);
  resize(800, 560);
  m_focusConnection = connect(qApp, &QApplication::focusChanged, this, &CMainFrame::OnFocusChanged);
  UpdateRecentFileMenu();
  UpdateCommandUI();
}

CMainFrame::~CMainFrame() {
  // The window's own teardown moves the focus and destroys the views: none of that may reach
  // this half-destroyed frame.
  disconnect(m_focusConnection);
  delete m_pSplitter;
}

QAction* CMainFrame::Action(int id) const { return m_actions.value(id, nullptr); }

// --- Building the frame ---

QAction* CMainFrame::AddCommand(int id, const QString& menuText, const QString& shortcut) {
  auto* action = new QAction(menuText, this);
  action->setStatusTip(PromptPart(id));
  const QString tip = ToolTipPart(id);
  if (!tip.isEmpty()) action->setToolTip(tip);
  if (!shortcut.isEmpty()) action->setShortcut(QKeySequence(shortcut));
  action->setData(id);
  m_actions.insert(id, action);
  addAction(action);  // shortcuts work while the menu bar is hidden too
  return action;
}

void CMainFrame::CreateActions() {
  AddCommand(ID_FILE_NEW, QStringLiteral("&New\tCtrl+N"), QStringLiteral("Ctrl+N"))
      ->setIcon(MakeIcon(EIcon::New));
  AddCommand(ID_FILE_OPEN, QStringLiteral("&Open...\tCtrl+O"), QStringLiteral("Ctrl+O"))
      ->setIcon(MakeIcon(EIcon::Open));
  AddCommand(ID_FILE_SAVE, QStringLiteral("&Save\tCtrl+S"), QStringLiteral("Ctrl+S"))
      ->setIcon(MakeIcon(EIcon::Save));
  AddCommand(ID_FILE_SAVE_AS, QStringLiteral("Save &As..."));
  AddCommand(ID_FILE_CALENDAR, QStringLiteral("Calendar Resource..."));
  AddCommand(ID_FILE_IMPORT, QStringLiteral("&Import..."));
  AddCommand(ID_FILE_EXPORT, QStringLiteral("&Export..."));
  AddCommand(ID_FILE_BUSINESS_CARD, QStringLiteral("&Business Card..."))
      ->setIcon(MakeIcon(EIcon::BusinessCard));
  AddCommand(ID_FILE_PRINT, QStringLiteral("&Print...\tCtrl+P"), QStringLiteral("Ctrl+P"))
      ->setIcon(MakeIcon(EIcon::Print));
  AddCommand(ID_FILE_PRINT_PREVIEW, QStringLiteral("Print Pre&view"));
  AddCommand(ID_FILE_PRINT_SETUP, QStringLiteral("Page Set&up..."));
  AddCommand(ID_APP_EXIT, QStringLiteral("&Exit"));
  AddCommand(ID_EDIT_CREATE_NEW, QStringLiteral("Create &new"))
      ->setIcon(MakeIcon(EIcon::CreateNew));
  AddCommand(ID_EDIT_DELETE_CONTACT, QStringLiteral("&Delete contact"))
      ->setIcon(MakeIcon(EIcon::DeleteContact));
  // The menu names Ctrl+F, but no key is bound to Find.
  AddCommand(ID_EDIT_FIND, QStringLiteral("&Find...\tCtrl+F"))->setIcon(MakeIcon(EIcon::Find));
  AddCommand(ID_EDIT_SEND_EMAIL, QStringLiteral("&Send e-mail..."))
      ->setIcon(MakeIcon(EIcon::SendEmail));
  AddCommand(ID_EDIT_WEB_PAGE, QStringLiteral("&Web page"))->setIcon(MakeIcon(EIcon::WebPage));
  AddCommand(ID_VIEW_TOOLBAR, QStringLiteral("&Toolbar"))->setCheckable(true);
  AddCommand(ID_VIEW_STATUS_BAR, QStringLiteral("&Status bar"))->setCheckable(true);
  AddCommand(ID_HELP_HOME_PAGE, QStringLiteral("&Home page"));
  AddCommand(ID_HELP_SUPPORT, QStringLiteral("&Technical support"));
  AddCommand(ID_HELP_EMAIL_AUTHOR, QStringLiteral("Send &e-mail"));
  AddCommand(ID_APP_ABOUT, QStringLiteral("&About program..."))->setIcon(MakeIcon(EIcon::About));
  AddCommand(ID_NEXT_PANE, QString(), QStringLiteral("F6"));
  AddCommand(ID_PREV_PANE, QString(), QStringLiteral("Shift+F6"));

  for (int i = 0; i < m_recentFiles.GetSize(); ++i) {
    auto* action = new QAction(this);
    action->setStatusTip(PromptPart(ID_FILE_MRU_FILE1));
    action->setData(ID_FILE_MRU_FILE1 + i);
    connect(action, &QAction::triggered, this, [this, i] { OnOpenRecentFile(i); });
    m_recentActions.append(action);
  }
  m_pRecentPlaceholder = new QAction(QStringLiteral("Recent File"), this);
  m_pRecentPlaceholder->setStatusTip(PromptPart(ID_FILE_MRU_FILE1));
  m_pRecentPlaceholder->setEnabled(false);
  m_actions.insert(ID_FILE_MRU_FILE1, m_pRecentPlaceholder);

  auto on = [this](int id, auto handler) {
    connect(Action(id), &QAction::triggered, this, handler);
  };
  on(ID_FILE_NEW, [this] { OnFileNew(); });
  on(ID_FILE_OPEN, [this] { OnFileOpen(); });
  on(ID_FILE_SAVE, [this] { OnFileSave(); });
  on(ID_FILE_SAVE_AS, [this] { OnFileSaveAs(); });
  on(ID_FILE_CALENDAR, [this] { OnCalendarResource(); });
  on(ID_FILE_PRINT_SETUP, [this] { OnFilePrintSetup(); });
  on(ID_APP_EXIT, [this] { close(); });
  on(ID_EDIT_CREATE_NEW, [this] {
    m_pTreeView->OnCreateNew();
    UpdateCommandUI();
  });
  on(ID_EDIT_DELETE_CONTACT, [this] {
    m_pTreeView->OnDeleteContact();
    UpdateCommandUI();
  });
  on(ID_APP_ABOUT, [this] { OnAppAbout(); });
  on(ID_NEXT_PANE,
     [this] { ActivatePane(m_eActivePane == EPane::Tree ? EPane::Form : EPane::Tree); });
  on(ID_PREV_PANE,
     [this] { ActivatePane(m_eActivePane == EPane::Tree ? EPane::Form : EPane::Tree); });
}

void CMainFrame::CreateMenus() {
  QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
  m_pFileMenu = file;
  file->addAction(Action(ID_FILE_NEW));
  file->addAction(Action(ID_FILE_OPEN));
  file->addAction(Action(ID_FILE_SAVE));
  file->addAction(Action(ID_FILE_SAVE_AS));
  file->addSeparator();
  file->addAction(Action(ID_FILE_CALENDAR));
  file->addSeparator();
  file->addAction(Action(ID_FILE_IMPORT));
  file->addAction(Action(ID_FILE_EXPORT));
  file->addAction(Action(ID_FILE_BUSINESS_CARD));
  file->addSeparator();
  file->addAction(Action(ID_FILE_PRINT));
  file->addAction(Action(ID_FILE_PRINT_PREVIEW));
  file->addAction(Action(ID_FILE_PRINT_SETUP));
  file->addSeparator();
  file->addAction(m_pRecentPlaceholder);
  for (QAction* action : std::as_const(m_recentActions)) file->addAction(action);
  file->addSeparator();
  file->addAction(Action(ID_APP_EXIT));

  QMenu* edit = menuBar()->addMenu(QStringLiteral("&Edit"));
  edit->addAction(Action(ID_EDIT_CREATE_NEW));
  edit->addAction(Action(ID_EDIT_DELETE_CONTACT));
  edit->addSeparator();
  edit->addAction(Action(ID_EDIT_FIND));
  edit->addSeparator();
  edit->addAction(Action(ID_EDIT_SEND_EMAIL));
  edit->addAction(Action(ID_EDIT_WEB_PAGE));

  QMenu* view = menuBar()->addMenu(QStringLiteral("&View"));
  view->addAction(Action(ID_VIEW_TOOLBAR));
  view->addAction(Action(ID_VIEW_STATUS_BAR));

  QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
  QMenu* web = help->addMenu(QStringLiteral("Tavorin on the &web"));
  web->addAction(Action(ID_HELP_HOME_PAGE));
  web->addAction(Action(ID_HELP_SUPPORT));
  web->addAction(Action(ID_HELP_EMAIL_AUTHOR));
  help->addAction(Action(ID_APP_ABOUT));
}

void CMainFrame::CreateToolBar() {
  m_pToolBar = new QToolBar(QStringLiteral("Toolbar"), this);
  m_pToolBar->setObjectName(QStringLiteral("toolbar"));
  m_pToolBar->setIconSize(QSize(16, 16));
  m_pToolBar->setToolButtonStyle(Qt::ToolButtonIconOnly);
  m_pToolBar->setAllowedAreas(Qt::AllToolBarAreas);
  const int order[] = {ID_FILE_NEW,
                       ID_FILE_OPEN,
                       ID_FILE_SAVE,
                       0,
                       ID_FILE_BUSINESS_CARD,
                       0,
                       ID_EDIT_CREATE_NEW,
                       ID_EDIT_DELETE_CONTACT,
                       ID_EDIT_FIND,
                       0,
                       ID_EDIT_SEND_EMAIL,
                       ID_EDIT_WEB_PAGE,
                       0,
                       ID_FILE_PRINT,
                       0,
                       ID_APP_ABOUT};
  for (int id : order) {
    if (id == 0)
      m_pToolBar->addSeparator();
    else
      m_pToolBar->addAction(Action(id));
  }
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
  const int ids[] = {59137, 59138, 59139};
  for (int i = 0; i < 3; ++i) {
    auto* indicator = new QLabel;
    indicator->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    indicator->setAlignment(Qt::AlignCenter);
    indicator->setObjectName(ToQString(LoadString(ids[i])));
    indicator->setMinimumWidth(
        indicator->fontMetrics().horizontalAdvance(ToQString(LoadString(ids[i]))) + 10);
    bar->addPermanentWidget(indicator);
    m_pIndicators[i] = indicator;
  }
  auto* timer = new QTimer(this);
  connect(timer, &QTimer::timeout, this, &CMainFrame::UpdateIndicators);
  timer->start(250);
  UpdateIndicators();

  QAction* toggle = Action(ID_VIEW_STATUS_BAR);
  toggle->setChecked(true);
  connect(toggle, &QAction::toggled, bar, &QStatusBar::setVisible);
}

void CMainFrame::CreateClient() {
  m_pSplitter = new QSplitter(Qt::Horizontal, this);
  m_pSplitter->setChildrenCollapsible(false);
  m_pTreeView = new CZorvanTreeView(m_pSplitter);
  m_pFormView = new CZorvanView(m_pSplitter);
  m_pSplitter->addWidget(m_pTreeView);
  m_pSplitter->addWidget(m_pFormView);
  // The tree keeps its width when the window is resized; the form takes the rest.
  m_pSplitter->setStretchFactor(0, 0);
  m_pSplitter->setStretchFactor(1, 1);
  setCentralWidget(m_pSplitter);
  // Both views hear of the document's changes from the start; they fill on its first New or
  // Open.
  m_pTreeView->Attach(m_doc);
  m_pFormView->Attach(m_doc);
  connect(m_pTreeView, &CTreeViewEx::SelectedRecordChanged, this, &CMainFrame::UpdateCommandUI);
  connect(m_pTreeView, &CZorvanTreeView::RecordChanged, this, &CMainFrame::UpdateCommandUI);
  connect(m_pFormView, &CZorvanView::RecordAppearanceChanged, this, [this](CTreeItem* record) {
    m_pTreeView->RefreshItem(changeGroup, record);
    m_pTreeView->RefreshItem(changeLabel, record);
    m_doc.SetModifiedFlag();
  });
}

void CMainFrame::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (!m_bSplitterPlaced) {
    m_bSplitterPlaced = true;
    const int width = m_pSplitter->width();
    m_pSplitter->setSizes({width / 3, 2 * width / 3});
  }
}

// --- Panes and command enabling ---

void CMainFrame::OnFocusChanged(QWidget* /*old*/, QWidget* now) {
  if (!now) return;
  if (now == m_pTreeView || m_pTreeView->isAncestorOf(now))
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

void CMainFrame::UpdateCommandUI() {
  const bool tree = m_eActivePane == EPane::Tree;
  const bool form = m_eActivePane == EPane::Form;
  Action(ID_EDIT_CREATE_NEW)->setEnabled(tree && m_pTreeView->CanCreateNew());
  Action(ID_EDIT_DELETE_CONTACT)->setEnabled(tree && m_pTreeView->CanDeleteContact());
  Action(ID_EDIT_FIND)->setEnabled(tree);
  Action(ID_FILE_PRINT)->setEnabled(form);
  Action(ID_FILE_PRINT_PREVIEW)->setEnabled(form);
  // Commands whose work is not in the program yet.
  for (int id : {ID_FILE_IMPORT, ID_FILE_EXPORT, ID_FILE_BUSINESS_CARD, ID_EDIT_SEND_EMAIL,
                 ID_EDIT_WEB_PAGE, ID_HELP_HOME_PAGE, ID_HELP_SUPPORT, ID_HELP_EMAIL_AUTHOR})
    Action(id)->setEnabled(false);
}

void CMainFrame::UpdateIndicators() {
  const char* lights[] = {"capslock", "numlock", "scrolllock"};
  const int ids[] = {59137, 59138, 59139};
  for (int i = 0; i < 3; ++i) {
    const QString text =
        LockLightOn(QLatin1String(lights[i])) ? ToQString(LoadString(ids[i])) : QString();
    if (m_pIndicators[i]->text() != text) m_pIndicators[i]->setText(text);
  }
}

// --- Documents ---

void CMainFrame::AfterNewTree() {
  // The views have refilled themselves on the document's notification.
  UpdateTitle();
  UpdateRecentFileMenu();
  UpdateCommandUI();
}

void CMainFrame::UpdateTitle() {
  setWindowTitle(ToQString(m_doc.GetTitle()) + QStringLiteral(" - ") + AppTitle());
}

bool CMainFrame::OnFileNew() {
  if (!SaveModified()) return false;
  m_doc.OnNewDocument();
  AfterNewTree();
  return true;
}

bool CMainFrame::OpenDocumentFile(const QString& path) {
  const QString full = QFileInfo(path).absoluteFilePath();
  // The database that is open already stays as it is.
  if (!m_doc.GetPathName().empty() && ToQString(m_doc.GetPathName()) == full) return true;
  if (!SaveModified()) return false;
  const bool opened = m_doc.OnOpenDocument(ToStdString(full));
  if (opened)
    m_recentFiles.Add(full);
  else
    m_recentFiles.Remove(full);  // so the next start does not try it again
  AfterNewTree();
  return opened;
}

void CMainFrame::OnFileOpen() {
  SFileDialog dialog;
  dialog.title = QStringLiteral("Open");
  dialog.filter = QString::fromLatin1(kDocumentFilter) + QStringLiteral(";;All Files (*)");
  dialog.defaultSuffix = QString::fromLatin1(kDocumentSuffix);
  if (!m_doc.GetPathName().empty())
    dialog.directory = QFileInfo(ToQString(m_doc.GetPathName())).absolutePath();
  const QString path = Prompt().GetOpenFileName(dialog);
  if (!path.isEmpty()) OpenDocumentFile(path);
}

void CMainFrame::OnOpenRecentFile(int index) {
  const QStringList& files = m_recentFiles.Files();
  if (index < files.size()) OpenDocumentFile(files[index]);
}

bool CMainFrame::OnFileSave() {
  if (m_doc.GetPathName().empty()) return OnFileSaveAs();
  return DoSave(ToQString(m_doc.GetPathName()));
}

bool CMainFrame::OnFileSaveAs() {
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

bool CMainFrame::DoSave(const QString& path) {
  const QString full = QFileInfo(path).absoluteFilePath();
  std::string error;
  // The document tells the user why a save failed.
  if (!m_doc.OnSaveDocument(ToStdString(full), error)) return false;
  m_recentFiles.Add(full);
  UpdateTitle();
  UpdateRecentFileMenu();
  return true;
}

bool CMainFrame::SaveModified() {
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

void CMainFrame::UpdateRecentFileMenu() {
  const QStringList& files = m_recentFiles.Files();
  m_pRecentPlaceholder->setVisible(files.isEmpty());
  for (int i = 0; i < m_recentActions.size(); ++i) {
    QAction* action = m_recentActions[i];
    action->setVisible(i < files.size());
    if (i < files.size()) action->setText(CRecentFileList::MenuText(i, files[i]));
  }
}

// --- Other commands ---

void CMainFrame::OnCalendarResource() {
  SFileDialog dialog;
  dialog.title = ToQString(LoadString(IDS_CALENDAR_OPEN_TITLE));
  dialog.filter = QtFileFilter(LoadString(IDS_CALENDAR_FILTER));
  dialog.fileName = QStringLiteral("*.cal");
  dialog.defaultSuffix = QStringLiteral("cal");
  dialog.directory = CalendarFolder();
  const QString path = Prompt().GetOpenFileName(dialog);
  if (path.isEmpty()) return;
  m_doc.SetCalendarResource(ToStdString(QFileInfo(path).absoluteFilePath()));
}

void CMainFrame::OnFilePrintSetup() {
  if (!m_pPrinter) m_pPrinter = std::make_unique<QPrinter>();
  QPageSetupDialog dialog(m_pPrinter.get(), this);
  Prompt().RunModal(dialog);
}

void CMainFrame::OnAppAbout() {
  CAboutDlg dialog(this);
  Prompt().RunModal(dialog);
}

// --- Window events ---

void CMainFrame::closeEvent(QCloseEvent* event) {
  if (SaveModified()) {
    m_recentFiles.WriteList();
    event->accept();
  } else {
    event->ignore();
  }
}

void CMainFrame::dragEnterEvent(QDragEnterEvent* event) {
  const QList<QUrl> urls = event->mimeData()->urls();
  for (const QUrl& url : urls) {
    if (url.isLocalFile()) {
      event->acceptProposedAction();
      return;
    }
  }
}

void CMainFrame::dropEvent(QDropEvent* event) {
  const QList<QUrl> urls = event->mimeData()->urls();
  for (const QUrl& url : urls) {
    if (!url.isLocalFile()) continue;
    event->acceptProposedAction();
    activateWindow();
    // Only the first file is opened: there is one database at a time. It opens once the drop
    // has finished, so the program that dragged it is not kept waiting by a save prompt.
    const QString path = url.toLocalFile();
    QTimer::singleShot(0, this, [this, path] { OpenDocumentFile(path); });
    return;
  }
}

}  // namespace zorvan
