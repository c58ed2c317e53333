#pragma once

#include <map>
#include <string>

#include "store/Host.h"

namespace zorvan::test {

// A host that shows nothing and answers No, with its settings in memory: for tests, benchmarks
// and fuzz targets that drive the document without anyone to see it. A new one reads the
// default calendar resource; WithoutCalendar() names none, so that nothing is read from disk.
class CQuietHost : public IHost {
 public:
  static CQuietHost WithoutCalendar() {
    CQuietHost host;
    host.m_settings["Settings/Resource"] = "";
    return host;
  }

  void MessageBox(const std::string&, EMsgIcon) override {}
  bool AskYesNo(const std::string&) override { return false; }
  std::string GetProfileString(const std::string& section, const std::string& entry,
                               const std::string& defaultValue) override {
    const auto it = m_settings.find(section + "/" + entry);
    return it == m_settings.end() ? defaultValue : it->second;
  }
  void WriteProfileString(const std::string& section, const std::string& entry,
                          const std::string& value) override {
    m_settings[section + "/" + entry] = value;
  }

 private:
  std::map<std::string, std::string> m_settings;
};

}  // namespace zorvan::test
