#pragma once

#include <signal.h>
#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "store/DateTime.h"
#include "store/RecordIdentity.h"

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

// The names of the files in a folder, sorted.
inline std::vector<std::string> FileNamesIn(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& e : std::filesystem::directory_iterator(folder))
    names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

// For the life of the object no file this process writes may grow beyond bytes: the system
// stops a write there as a full disk would, failing it with EFBIG (the signal it would also
// send is ignored meanwhile).
class CFileSizeLimit {
 public:
  explicit CFileSizeLimit(rlim_t bytes) : m_pOldHandler(::signal(SIGXFSZ, SIG_IGN)) {
    ::getrlimit(RLIMIT_FSIZE, &m_saved);
    rlimit small = m_saved;
    small.rlim_cur = bytes;
    m_bSet = ::setrlimit(RLIMIT_FSIZE, &small) == 0;
  }
  ~CFileSizeLimit() {
    ::setrlimit(RLIMIT_FSIZE, &m_saved);
    ::signal(SIGXFSZ, m_pOldHandler);
  }
  CFileSizeLimit(const CFileSizeLimit&) = delete;
  CFileSizeLimit& operator=(const CFileSizeLimit&) = delete;
  bool IsSet() const { return m_bSet; }

 private:
  void (*m_pOldHandler)(int);
  rlimit m_saved{};
  bool m_bSet = false;
};

// Fixes the clock for the life of the object.
class CFixedClock {
 public:
  explicit CFixedClock(const CDateTime& now) {
    SetClockSource([now] { return now; });
  }
  ~CFixedClock() { SetClockSource({}); }
};

// The UTC clock of record identities fixed at utc (seconds since 1970) while the object lives.
class CFixedIdentityClock {
 public:
  explicit CFixedIdentityClock(std::time_t utc) {
    SetIdentityClock([utc] { return utc; });
  }
  ~CFixedIdentityClock() { SetIdentityClock({}); }
};

}  // namespace zorvan::test
