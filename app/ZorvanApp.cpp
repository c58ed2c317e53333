#include "app/ZorvanApp.h"

#include <unistd.h>
#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QTimer>

#include <ostream>
#include <utility>

#include "app/DocumentCommands.h"
#include "app/InstanceChannel.h"
#include "app/MainFrame.h"
#include "qt/Prompt.h"
#include "qt/QtText.h"
#include "res/StringTable.h"
#include "store/FileRead.h"
#include "store/ZorvanDoc.h"
#include "ui/Icons.h"

namespace zorvan {
namespace {

const char kUsage[] =
    "Usage: zorvan [options] [file]\n"
    "Personal database of contact information with calendar features.\n"
    "\n"
    "Options:\n"
    "  -h, --help     Displays help on the command line options.\n"
    "  -v, --version  Displays version information.\n"
    "\n"
    "Arguments:\n"
    "  file           The contacts database (.zvd) to open. Without it the database\n"
    "                 used last is opened again.\n";

// The first option the parser did not take, as it was typed: an unknown name, or a value given
// to an option that takes none.
QString TypedOption(const QStringList& arguments, const QCommandLineParser& parser) {
  const QStringList unknown = parser.unknownOptionNames();
  for (qsizetype i = 1; i < arguments.size(); ++i) {
    const QString& arg = arguments[i];
    if (arg == QLatin1String("--")) break;
    if (arg.size() < 2 || !arg.startsWith(QLatin1Char('-'))) continue;
    const QString name = arg.mid(arg.startsWith(QLatin1String("--")) ? 2 : 1);
    if (unknown.contains(name.section(QLatin1Char('='), 0, 0)) || name.contains(QLatin1Char('=')))
      return arg;
  }
  return parser.errorText();
}

// After a message about a file handed over that is no database, the time in which further such
// files are dropped without one: a burst of them is told once.
constexpr int kQuietAfterErrorMs = 1000;

// Why path is no file a database can be read from, in the words of every reader of the
// program; empty when it is a regular file.
QString NotADatabaseFile(const QString& path) {
  std::string error;
  const int fd = OpenRegularFile(ToFilePath(path), error);
  if (fd < 0) return ToQString(error);
  ::close(fd);
  return QString();
}

}  // namespace

CZorvanApp::CZorvanApp() = default;

CZorvanApp::~CZorvanApp() {
  // No later start may hand a file to a window that is going.
  m_pChannel.reset();
  // The views leave the document before it goes.
  m_pFrame.reset();
  m_pDoc.reset();
}

bool CZorvanApp::InitInstance(const QStringList& arguments, std::ostream& out, std::ostream& err) {
  // The settings: QSettings("Tavorin", "Zorvan"), the per-user store of company and program.
  QCoreApplication::setOrganizationName(QStringLiteral("Tavorin"));
  QCoreApplication::setApplicationName(ToQString(LoadString(AFX_IDS_APP_TITLE)));
  QGuiApplication::setApplicationDisplayName(ToQString(LoadString(AFX_IDS_APP_TITLE)));
  QGuiApplication::setDesktopFileName(QStringLiteral("zorvan"));
  QApplication::setWindowIcon(MakeIcon(EIcon::Application));
  // The window's language, before the first text of the window or the document is made.
  if (CWindowLanguage::WantsCzech(QLocale::system().uiLanguages())) m_language.InstallCzech();

  // The recent-file list of four entries.
  m_recentFiles.ReadList();

  // The document and its frame with the two views. (The desktop learns of the .zvd type from
  // the installed .desktop and MIME files.)
  m_pDoc = std::make_unique<CZorvanDoc>(m_host);

  // The command line: a file to open; --help and --version.
  QCommandLineParser parser;
  parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
  const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")});
  const QCommandLineOption version(QStringList{QStringLiteral("v"), QStringLiteral("version")});
  parser.addOption(help);
  parser.addOption(version);
  parser.addPositionalArgument(QStringLiteral("file"), QString(), QStringLiteral("[file]"));
  if (!parser.parse(arguments)) {
    err << "zorvan: unknown option '" << ToStdString(TypedOption(arguments, parser)) << "'\n"
        << "Try 'zorvan --help' for more information.\n";
    m_nExitCode = 1;
    return false;
  }
  const QStringList given = parser.optionNames();
  if (!given.isEmpty()) {
    // Of --help and --version, the one given first counts.
    if (help.names().contains(given.first()))
      out << kUsage;
    else
      out << LoadString(IDS_VERSION) << '\n';
    m_nExitCode = 0;
    return false;
  }
  const QStringList files = parser.positionalArguments();
  QString file = files.isEmpty() ? QString() : files.first();

  // The program runs already for this user (a double click on a database in the file manager):
  // the running window takes the file, or comes to the front when none was given.
  m_pChannel = std::make_unique<CInstanceChannel>(CInstanceChannel::ChannelName());
  if (m_pChannel->HandOver(file.isEmpty() ? QString() : AbsoluteFilePath(file))) {
    m_pChannel.reset();
    m_nExitCode = 0;
    return false;
  }

  // Without a file, the database used last.
  if (file.isEmpty() && !m_recentFiles.Files().isEmpty()) file = m_recentFiles.Files().first();

  m_pFrame = std::make_unique<CMainFrame>(*m_pDoc, m_recentFiles);
  // A file that cannot be read leaves a new, empty database; start-up goes on.
  if (file.isEmpty() || !m_pFrame->Documents().OpenDocumentFile(AbsoluteFilePath(file)))
    m_pFrame->Documents().OnFileNew();

  m_pFrame->show();
  m_pFrame->ActivatePane(CMainFrame::EPane::Tree);
  ListenForLaterStarts();
  return true;
}

void CZorvanApp::ListenForLaterStarts() {
  if (!m_pChannel->Listen()) return;
  m_handOverTimer.setSingleShot(true);
  QObject::connect(&m_handOverTimer, &QTimer::timeout, m_pFrame.get(),
                   [this] { OpenHandedFile(); });
  QObject::connect(m_pChannel.get(), &CInstanceChannel::FileHanded, m_pFrame.get(),
                   [this](const QString& file) { OnFileHanded(file); });
}

void CZorvanApp::OnFileHanded(const QString& file) {
  CMainFrame* frame = m_pFrame.get();
  frame->raise();
  frame->activateWindow();
  if (file.isEmpty()) return;
  // What is no regular file (a device, a FIFO, a name that is gone) is refused before the open
  // database is touched, told once however many come.
  const QString problem = NotADatabaseFile(file);
  if (!problem.isEmpty()) {
    if (m_bHandOverErrorShown) return;
    m_bHandOverErrorShown = true;
    QTimer::singleShot(0, frame, [this, file, problem] {
      Prompt().MessageBox(
          QCoreApplication::translate("zorvan::CDocumentCommands", "Cannot open file %1:\n%2.")
              .arg(QDir::toNativeSeparators(file), problem),
          EMsgIcon::Error);
      QTimer::singleShot(kQuietAfterErrorMs, m_pFrame.get(),
                         [this] { m_bHandOverErrorShown = false; });
    });
    return;
  }
  // Of several files handed over meanwhile, the last is the one the user wants.
  m_strHandedFile = file;
  // Out of the socket's notification: the save question may be asked first.
  m_handOverTimer.start(0);
}

void CZorvanApp::OpenHandedFile() {
  if (m_strHandedFile.isEmpty()) return;
  if (QApplication::activeModalWidget() || m_pFrame->IsRunningCommand()) {
    m_handOverTimer.start(100);
    return;
  }
  const QString file = std::exchange(m_strHandedFile, QString());
  if (NotADatabaseFile(file).isEmpty()) m_pFrame->Documents().OpenDocumentFile(file);
}

}  // namespace zorvan
