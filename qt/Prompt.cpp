#include "qt/Prompt.h"

#include <QApplication>
#include <QComboBox>
#include <QDesktopServices>
#include <QDialog>
#include <QFileDialog>
#include <QMessageBox>
#include <QStringList>

#include "qt/QtText.h"
#include "res/StringTable.h"

namespace zorvan {
namespace {

CPrompt g_dialogPrompt;
CPrompt* g_pPrompt = nullptr;

QString AppTitle() { return ToQString(LoadString(AFX_IDS_APP_TITLE)); }

QMessageBox::Icon ToQtIcon(EMsgIcon icon) {
  switch (icon) {
    case EMsgIcon::Error:
      return QMessageBox::Critical;
    case EMsgIcon::Question:
      return QMessageBox::Question;
    case EMsgIcon::Information:
      return QMessageBox::Information;
    case EMsgIcon::None:
      break;
  }
  return QMessageBox::NoIcon;
}

// "*.*" lists every file only to Windows: the filters hold "(*)" so that names without a dot
// are listed too, while the file type list shows the pattern users know, "All Files (*.*)". Qt
// takes the patterns from its own list of filters, never from the list's shown texts.
void ShowEveryFileAsStarDotStar(QFileDialog& dialog) {
  auto* types = dialog.findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
  if (!types) return;  // the desktop's own dialog, which shows the filters as they are
  for (int i = 0; i < types->count(); ++i) {
    QString text = types->itemText(i);
    types->setItemText(i, text.replace(QStringLiteral("(*)"), QStringLiteral("(*.*)")));
  }
}

QString RunFileDialog(const SFileDialog& d, QFileDialog::AcceptMode mode) {
  QFileDialog dialog(QApplication::activeWindow(), d.title, d.directory, d.filter);
  dialog.setAcceptMode(mode);
  dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile
                                                     : QFileDialog::AnyFile);
  dialog.setOption(QFileDialog::DontConfirmOverwrite, !d.overwritePrompt);
  dialog.setOption(QFileDialog::ReadOnly, false);
  ShowEveryFileAsStarDotStar(dialog);
  if (!d.defaultSuffix.isEmpty()) dialog.setDefaultSuffix(d.defaultSuffix);
  // A wildcard name only narrows the list, which the filter does already.
  if (!d.fileName.isEmpty() && !d.fileName.contains(QLatin1Char('*')))
    dialog.selectFile(d.fileName);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return QString();
  return dialog.selectedFiles().constFirst();
}

}  // namespace

void CPrompt::MessageBox(const QString& text, EMsgIcon icon) {
  QMessageBox box(ToQtIcon(icon), AppTitle(), text, QMessageBox::Ok, QApplication::activeWindow());
  box.exec();
}

bool CPrompt::AskYesNo(const QString& text) {
  QMessageBox box(QMessageBox::Question, AppTitle(), text, QMessageBox::Yes | QMessageBox::No,
                  QApplication::activeWindow());
  box.setDefaultButton(QMessageBox::No);
  return box.exec() == QMessageBox::Yes;
}

ESaveAnswer CPrompt::AskSaveChanges(const QString& text) {
  QMessageBox box(QMessageBox::Warning, AppTitle(), text,
                  QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel,
                  QApplication::activeWindow());
  box.setDefaultButton(QMessageBox::Yes);
  switch (box.exec()) {
    case QMessageBox::Yes:
      return ESaveAnswer::Yes;
    case QMessageBox::No:
      return ESaveAnswer::No;
    default:
      return ESaveAnswer::Cancel;
  }
}

QString CPrompt::GetOpenFileName(const SFileDialog& dialog) {
  return RunFileDialog(dialog, QFileDialog::AcceptOpen);
}

QString CPrompt::GetSaveFileName(const SFileDialog& dialog) {
  return RunFileDialog(dialog, QFileDialog::AcceptSave);
}

int CPrompt::RunModal(QDialog& dialog) { return dialog.exec(); }

bool CPrompt::OpenUrl(const QUrl& url) { return QDesktopServices::openUrl(url); }

CPrompt& Prompt() { return g_pPrompt ? *g_pPrompt : g_dialogPrompt; }

void SetPrompt(CPrompt* prompt) { g_pPrompt = prompt; }

QString QtFileFilter(const std::string& windowsFilter) {
  // Pairs of display text and pattern, each followed by "|"; the list ends with "||".
  const QStringList parts = ToQString(windowsFilter).split(QLatin1Char('|'));
  QStringList filters;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    if (parts[i].isEmpty()) break;
    // "*.*" means every file there, but to Qt only names with a dot.
    filters << QString(parts[i]).replace(QStringLiteral("(*.*)"), QStringLiteral("(*)"));
  }
  return filters.join(QStringLiteral(";;"));
}

}  // namespace zorvan
