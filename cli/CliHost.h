#pragma once

#include <iosfwd>
#include <map>
#include <string>
#include <string_view>

#include "store/Host.h"

namespace zorvan::cli {

// The command line's host: messages go to standard error, questions are answered No, and the
// settings are those the desktop program keeps (read once, never written back: what a command
// changes, such as the calendar resource of --resource, lasts for that command only).
class CCliHost : public IHost {
 public:
  explicit CCliHost(std::ostream& err);

  // Reads the [Settings] of the desktop program's settings file, when there is one.
  void LoadSettings();
  // Reads settings from INI text as the desktop program's settings store writes it.
  void LoadSettingsText(std::string_view ini);
  // The settings file: $XDG_CONFIG_HOME/Tavorin/Zorvan.conf, else ~/.config/Tavorin/Zorvan.conf.
  static std::string SettingsPath();

  void MessageBox(const std::string& text, EMsgIcon icon) override;
  void ShowFileError(const std::string& message, const CStatus& cause) override;
  bool AskYesNo(const std::string& text) override;
  std::string GetProfileString(const std::string& section, const std::string& entry,
                               const std::string& defaultValue) override;
  void WriteProfileString(const std::string& section, const std::string& entry,
                          const std::string& value) override;

  // How many error messages were shown.
  int Errors() const { return m_nErrors; }

 private:
  std::ostream& m_err;
  std::map<std::string, std::string> m_settings;  // "Section/Entry" -> value
  int m_nErrors = 0;
};

// One value of an INI file as the desktop settings store writes it: surrounding quotes removed
// and its backslash escapes (\\, \", \t, \n, \r, \xHHHH) turned back into characters.
std::string UnescapeIniValue(std::string_view raw);

}  // namespace zorvan::cli
