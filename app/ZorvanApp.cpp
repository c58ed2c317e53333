#include "app/ZorvanApp.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <ostream>

#include "app/MainFrame.h"
#include "res/StringTable.h"
#include "store/ZorvanDoc.h"
#include "ui/Icons.h"
#include "ui/QtText.h"

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

}  // namespace

CZorvanApp::CZorvanApp() = default;

CZorvanApp::~CZorvanApp() {
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

  // The recent-file list of four entries.
  m_recentFiles.ReadList();

  // The document and its frame with the two views. (The desktop learns of the .zvd type from
  // the installed .desktop and MIME files.)
  m_pDoc = std::make_unique<CZorvanDoc>(m_host);

  // The command line: a file to open; --help and --version.
  QString file;
  for (qsizetype i = 1; i < arguments.size(); ++i) {
    const QString& arg = arguments[i];
    if (arg == QLatin1String("--help") || arg == QLatin1String("-h")) {
      out << kUsage;
      m_nExitCode = 0;
      return false;
    }
    if (arg == QLatin1String("--version") || arg == QLatin1String("-v")) {
      out << LoadString(IDS_VERSION) << '\n';
      m_nExitCode = 0;
      return false;
    }
    if (arg.startsWith(QLatin1Char('-')) && arg.size() > 1) {
      err << "zorvan: unknown option '" << ToStdString(arg) << "'\n"
          << "Try 'zorvan --help' for more information.\n";
      m_nExitCode = 1;
      return false;
    }
    if (file.isEmpty()) file = arg;
  }
  // Without a file, the database used last.
  if (file.isEmpty() && !m_recentFiles.Files().isEmpty()) file = m_recentFiles.Files().first();

  m_pFrame = std::make_unique<CMainFrame>(*m_pDoc, m_recentFiles);
  // A file that cannot be read leaves a new, empty database; start-up goes on.
  if (file.isEmpty())
    m_pFrame->OnFileNew();
  else
    m_pFrame->OpenDocumentFile(QFileInfo(file).absoluteFilePath());

  m_pFrame->show();
  m_pFrame->ActivatePane(CMainFrame::EPane::Tree);
  return true;
}

}  // namespace zorvan
