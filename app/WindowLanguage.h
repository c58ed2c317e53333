#pragma once

#include <QStringList>
#include <QTranslator>

namespace zorvan {

// The window's language. The program's own texts are English; a user whose languages put Czech
// before English gets the Czech translation (built into the program) and Qt's own Czech texts,
// so that the standard buttons (OK, Cancel, Yes, No) are Czech too.
class CWindowLanguage {
 public:
  CWindowLanguage() = default;
  CWindowLanguage(const CWindowLanguage&) = delete;
  CWindowLanguage& operator=(const CWindowLanguage&) = delete;
  ~CWindowLanguage();

  // True when languages, the user's in order of preference (QLocale::uiLanguages: "cs-CZ",
  // "cs", "en-US"), ask for Czech before any English.
  static bool WantsCzech(const QStringList& languages);

  // Installs the Czech texts, the program's and Qt's, and turns the string table Czech. False,
  // and the window stays English, when the program's translation cannot be loaded; Qt's own are
  // taken where the system has them.
  bool InstallCzech();
  // Back to the English window.
  void Remove();
  bool IsCzech() const { return m_bInstalled; }

 private:
  QTranslator m_program;
  QTranslator m_qt;
  bool m_bInstalled = false;
  bool m_bQtInstalled = false;
};

}  // namespace zorvan
