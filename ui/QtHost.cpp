#include "ui/QtHost.h"

#include <QSettings>

#include "qt/Prompt.h"
#include "qt/QtText.h"

namespace zorvan {
namespace {

QString Key(const std::string& section, const std::string& entry) {
  return ToQString(section) + QLatin1Char('/') + ToQString(entry);
}

}  // namespace

void CQtHost::MessageBox(const std::string& text, EMsgIcon icon) {
  Prompt().MessageBox(ToQString(text), icon);
}

bool CQtHost::AskYesNo(const std::string& text) { return Prompt().AskYesNo(ToQString(text)); }

std::string CQtHost::GetProfileString(const std::string& section, const std::string& entry,
                                      const std::string& defaultValue) {
  QSettings settings(QStringLiteral("Tavorin"), QStringLiteral("Zorvan"));
  const QVariant value = settings.value(Key(section, entry));
  return value.isValid() ? ToStdString(value.toString()) : defaultValue;
}

void CQtHost::WriteProfileString(const std::string& section, const std::string& entry,
                                 const std::string& value) {
  QSettings settings(QStringLiteral("Tavorin"), QStringLiteral("Zorvan"));
  settings.setValue(Key(section, entry), ToQString(value));
}

}  // namespace zorvan
