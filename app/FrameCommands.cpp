// The window's smaller commands of its own: page setup, the help's web pages, About.
#include <QPageSetupDialog>
#include <memory>

#include "app/AboutDlg.h"
#include "app/MainFrame.h"
#include "qt/Prompt.h"
#include "res/StringTable.h"
#include "store/LinkTargets.h"
#include "ui/OpenTarget.h"

namespace zorvan {

QPrinter& CMainFrame::Printer() {
  if (!m_pPrinter) m_pPrinter = std::make_unique<QPrinter>(QPrinter::HighResolution);
  return *m_pPrinter;
}

void CMainFrame::OnFilePrintSetup() {
  QPageSetupDialog dialog(&Printer(), this);
  Prompt().RunModal(dialog);
}

void CMainFrame::OnHelpWeb(int id) {
  switch (id) {
    case ID_HELP_HOME_PAGE:
      OpenTarget(LoadString(IDS_HOME_PAGE));
      break;
    case ID_HELP_SUPPORT:
      OpenTarget(LoadString(IDS_SUPPORT_PAGE));
      break;
    case ID_HELP_EMAIL_AUTHOR:
      // A new message to the author, the program's name and version as its subject.
      OpenTarget(MailTargetWithSubject(LoadString(IDS_MAILTO_AUTHOR), LoadString(IDS_VERSION)));
      break;
    default:
      break;
  }
}

void CMainFrame::OnAppAbout() {
  CAboutDlg dialog(this);
  Prompt().RunModal(dialog);
}

}  // namespace zorvan
