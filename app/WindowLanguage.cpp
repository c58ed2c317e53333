#include "app/WindowLanguage.h"

#include <QCoreApplication>
#include <QLibraryInfo>

#include "qt/StringTableTr.h"

namespace zorvan {

CWindowLanguage::~CWindowLanguage() { Remove(); }

bool CWindowLanguage::WantsCzech(const QStringList& languages) {
  for (const QString& language : languages) {
    const QString code = language.section(QLatin1Char('-'), 0, 0).section(QLatin1Char('_'), 0, 0);
    if (code.compare(QLatin1String("cs"), Qt::CaseInsensitive) == 0) return true;
    // English, or the C locale's "C": the program's own texts.
    if (code.compare(QLatin1String("en"), Qt::CaseInsensitive) == 0 || code == QLatin1String("C"))
      return false;
  }
  return false;
}

bool CWindowLanguage::InstallCzech() {
  if (m_bInstalled) return true;
  // The translation is a resource of the program (res/translations/zorvan_cs.ts, compiled at
  // build time).
  if (!m_program.load(QStringLiteral(":/i18n/zorvan_cs.qm"))) return false;
  QCoreApplication::installTranslator(&m_program);
  m_bInstalled = true;
  if (m_qt.load(QStringLiteral("qtbase_cs"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    QCoreApplication::installTranslator(&m_qt);
    m_bQtInstalled = true;
  }
  TranslateStringTable();
  return true;
}

void CWindowLanguage::Remove() {
  if (!m_bInstalled) return;
  QCoreApplication::removeTranslator(&m_program);
  if (m_bQtInstalled) QCoreApplication::removeTranslator(&m_qt);
  m_bInstalled = m_bQtInstalled = false;
  TranslateStringTable();
}

}  // namespace zorvan
