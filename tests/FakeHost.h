#pragma once

#include <deque>
#include <map>
#include <string>
#include <vector>

#include "store/Host.h"

namespace zorvan::test {

// A host that records every message, answers questions from a script (No when the script is
// empty) and keeps settings in memory.
class CFakeHost : public IHost {
 public:
  struct SMessage {
    std::string text;
    EMsgIcon icon;
  };

  void MessageBox(const std::string& text, EMsgIcon icon) override {
    messages.push_back({text, icon});
  }
  bool AskYesNo(const std::string& text) override {
    questions.push_back(text);
    if (answers.empty()) return false;
    const bool a = answers.front();
    answers.pop_front();
    return a;
  }
  std::string GetProfileString(const std::string& section, const std::string& entry,
                               const std::string& def) override {
    const auto it = settings.find(section + "/" + entry);
    return it == settings.end() ? def : it->second;
  }
  void WriteProfileString(const std::string& section, const std::string& entry,
                          const std::string& value) override {
    settings[section + "/" + entry] = value;
  }

  std::vector<std::string> MessageTexts() const {
    std::vector<std::string> t;
    for (const auto& m : messages) t.push_back(m.text);
    return t;
  }

  std::vector<SMessage> messages;
  std::vector<std::string> questions;
  std::deque<bool> answers;
  std::map<std::string, std::string> settings;
};

}  // namespace zorvan::test
