#pragma once

#include <QStringList>
#include <QTimer>
#include <iosfwd>
#include <memory>

#include "app/RecentFileList.h"
#include "app/WindowLanguage.h"
#include "ui/QtHost.h"

namespace zorvan {

class CInstanceChannel;
class CMainFrame;
class CZorvanDoc;

// The application: its start-up and the objects that live for the whole run.
class CZorvanApp {
 public:
  CZorvanApp();
  ~CZorvanApp();

  // Start-up, from the settings to the shown window. arguments are the program's (the first is
  // the program itself). Returns false when the program is to end at once, with ExitCode():
  // after --help or --version (written to out), or after a bad option (written to err).
  // A second start of the program by the same user hands its file (or none) to the window that
  // runs already and ends here too, with exit code 0.
  bool InitInstance(const QStringList& arguments, std::ostream& out, std::ostream& err);
  int ExitCode() const { return m_nExitCode; }

  CZorvanDoc& Doc() const { return *m_pDoc; }
  CMainFrame* MainFrame() const { return m_pFrame.get(); }
  CRecentFileList& RecentFiles() { return m_recentFiles; }
  CWindowLanguage& Language() { return m_language; }

 private:
  // The first start: later starts hand their files to this window.
  void ListenForLaterStarts();
  void OnFileHanded(const QString& file);
  // Opens the file handed over last, once no dialog or command runs: a database replaced under
  // an open dialog would leave it with records that are gone.
  void OpenHandedFile();

  CWindowLanguage m_language;
  CQtHost m_host;
  CRecentFileList m_recentFiles{4};
  std::unique_ptr<CZorvanDoc> m_pDoc;
  std::unique_ptr<CMainFrame> m_pFrame;
  std::unique_ptr<CInstanceChannel> m_pChannel;
  QString m_strHandedFile;
  QTimer m_handOverTimer;
  // A message about a file handed over that is no database is up, or was a moment ago: more
  // such files (a burst of them) are not told of one box after another.
  bool m_bHandOverErrorShown = false;
  int m_nExitCode = 0;
};

}  // namespace zorvan
