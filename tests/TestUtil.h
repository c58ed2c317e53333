#pragma once

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "store/DateTime.h"

namespace zorvan::test {

inline std::string DataPath(const std::string& name) {
  return std::string(ZORVAN_TEST_DATA) + "/" + name;
}

inline std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

inline void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary);
  out << bytes;
}

// A fresh folder under the system's temporary folder, removed at the end of the test.
class CTempDir {
 public:
  CTempDir() {
    std::string tmpl = (std::filesystem::temp_directory_path() / "zorvan-test-XXXXXX").string();
    m_path = ::mkdtemp(tmpl.data());
  }
  ~CTempDir() { std::filesystem::remove_all(m_path); }
  std::string operator/(const std::string& name) const { return m_path + "/" + name; }
  const std::string& Path() const { return m_path; }

 private:
  std::string m_path;
};

// Fixes the clock for the life of the object.
class CFixedClock {
 public:
  explicit CFixedClock(const CDateTime& now) {
    SetClockSource([now] { return now; });
  }
  ~CFixedClock() { SetClockSource({}); }
};

}  // namespace zorvan::test
