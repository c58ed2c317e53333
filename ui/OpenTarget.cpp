#include "ui/OpenTarget.h"

#include <QApplication>
#include <QCoreApplication>
#include <QUrl>

#include "qt/Prompt.h"
#include "qt/QtText.h"
#include "store/LinkTargets.h"

namespace zorvan {

bool OpenTarget(std::string_view target) {
  if (!IsSafeTarget(target)) {
    QApplication::beep();
    return false;
  }
  const QUrl url(ToQString(target), QUrl::TolerantMode);
  if (url.isValid() && Prompt().OpenUrl(url)) return true;
  // The desktop found no program for the scheme (or could not start it): say so, since
  // nothing else on the screen would.
  const bool mail = url.scheme().compare(QLatin1String("mailto"), Qt::CaseInsensitive) == 0;
  Prompt().MessageBox(mail ? QCoreApplication::translate(
                                 "OpenTarget", "No e-mail program could be started to write to %1.")
                                 .arg(url.path())
                           : QCoreApplication::translate(
                                 "OpenTarget", "No web browser could be started to open %1.")
                                 .arg(url.toDisplayString()),
                      EMsgIcon::Error);
  return false;
}

}  // namespace zorvan
