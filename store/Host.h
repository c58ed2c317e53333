#pragma once

#include <string>

#include "store/Status.h"

namespace zorvan {

enum class EMsgIcon { None, Error, Question, Information };

// What the core needs from its surroundings: message boxes and the settings store. The GUI
// answers with real dialogs and QSettings, tests and the command line with their own.
// (The current local time comes from CurrentLocalTime(), store/DateTime.h.)
class IHost {
 public:
  virtual ~IHost() = default;
  // A message with an OK button.
  virtual void MessageBox(const std::string& text, EMsgIcon icon) = 0;
  // A question with Yes and No, No the default; true when the answer is Yes.
  virtual bool AskYesNo(const std::string& text) = 0;
  virtual std::string GetProfileString(const std::string& section, const std::string& entry,
                                       const std::string& defaultValue) = 0;
  virtual void WriteProfileString(const std::string& section, const std::string& entry,
                                  const std::string& value) = 0;
  // A message about a file that could not be used, shown as an error, when the message itself
  // names neither the file nor the reason. A window shows the message alone; a text console
  // may say the cause first.
  virtual void ShowFileError(const std::string& message, const CStatus& /*cause*/) {
    MessageBox(message, EMsgIcon::Error);
  }
};

}  // namespace zorvan
