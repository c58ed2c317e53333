#pragma once

#include "store/Host.h"

namespace zorvan {

// The host of the running program: messages through the current prompt, settings in
// QSettings("Tavorin", "Zorvan"), one group per section.
class CQtHost : public IHost {
 public:
  void MessageBox(const std::string& text, EMsgIcon icon) override;
  bool AskYesNo(const std::string& text) override;
  std::string GetProfileString(const std::string& section, const std::string& entry,
                               const std::string& defaultValue) override;
  void WriteProfileString(const std::string& section, const std::string& entry,
                          const std::string& value) override;
};

}  // namespace zorvan
