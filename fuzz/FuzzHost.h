#pragma once

#include <string>

#include "store/Host.h"

namespace zorvan::fuzz {

// A host that shows nothing, answers No and has no calendar resource, so that no input makes a
// fuzz target touch the file system.
class CSilentHost : public IHost {
 public:
  void MessageBox(const std::string&, EMsgIcon) override {}
  bool AskYesNo(const std::string&) override { return false; }
  std::string GetProfileString(const std::string& section, const std::string& entry,
                               const std::string& defaultValue) override {
    return section == "Settings" && entry == "Resource" ? std::string() : defaultValue;
  }
  void WriteProfileString(const std::string&, const std::string&, const std::string&) override {}
};

}  // namespace zorvan::fuzz
