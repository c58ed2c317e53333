#include "ui/OpenTarget.h"

#include <QApplication>
#include <QUrl>

#include "qt/Prompt.h"
#include "qt/QtText.h"
#include "store/LinkTargets.h"

namespace zorvan {

bool OpenTarget(std::string_view target) {
  if (IsSafeTarget(target)) {
    const QUrl url(ToQString(target), QUrl::TolerantMode);
    if (url.isValid() && Prompt().OpenUrl(url)) return true;
  }
  QApplication::beep();
  return false;
}

}  // namespace zorvan
