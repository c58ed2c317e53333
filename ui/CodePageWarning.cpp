#include "ui/CodePageWarning.h"

#include <QMainWindow>
#include <QStatusBar>

#include "qt/QtText.h"
#include "res/CodePage.h"

namespace zorvan {
namespace {

// The window's dynamic property that marks the warning as given.
constexpr char kGiven[] = "zorvanCodePageWarned";

}  // namespace

QString CCodePageWarning::WarningFor(const QString& text) {
  const ECodePage cp = ActiveCodePage();
  if (FitsCodePage(ToStdString(text), cp)) return QString();
  QString first;
  for (qsizetype i = 0; i < text.size();) {
    const qsizetype length = text[i].isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
    const QString character = text.mid(i, length);
    if (!FitsCodePage(ToStdString(character), cp)) {
      first = character;
      break;
    }
    i += length;
  }
  return QStringLiteral(
             "The file's code page Windows-%1 cannot hold \"%2\"; the file will have \"?\" in "
             "its place (Save lists the contacts concerned).")
      .arg(static_cast<int>(cp))
      .arg(first);
}

void CCodePageWarning::CheckTyped(QWidget* editor, const QString& text) {
  auto* window = editor ? qobject_cast<QMainWindow*>(editor->window()) : nullptr;
  if (!window || window->property(kGiven).toBool()) return;
  const QString warning = WarningFor(text);
  if (warning.isEmpty()) return;
  window->setProperty(kGiven, true);
  window->statusBar()->showMessage(warning);
}

}  // namespace zorvan
