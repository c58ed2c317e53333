#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "interchange/ImportHooks.h"
#include "interchange/Output.h"
#include "store/DateTime.h"
#include "store/TreeItem.h"

namespace zorvan::testing {

// Fixes "now" for the life of the object.
class CFixedClock {
 public:
  explicit CFixedClock(const CDateTime& now) {
    SetClockSource([now] { return now; });
  }
  ~CFixedClock() { SetClockSource({}); }
};

// An output that takes the first limit bytes and then fails, like a disk that fills up.
class CFailingOutput : public IOutput {
 public:
  explicit CFailingOutput(size_t limit) : m_nLimit(limit) {}
  bool Write(std::string_view bytes) override {
    const size_t room = m_nLimit - m_strBytes.size();
    if (bytes.size() > room) {
      m_strBytes.append(bytes.substr(0, room));
      return false;
    }
    m_strBytes.append(bytes);
    return true;
  }
  const std::string& Bytes() const { return m_strBytes; }

 private:
  size_t m_nLimit;
  std::string m_strBytes;
};

// Collects the records a reader hands over.
struct SCollected {
  std::vector<std::unique_ptr<CTreeItem>> records;
  std::vector<std::int64_t> lines;

  SImportHooks Hooks() {
    SImportHooks hooks;
    hooks.onRecord = [this](std::unique_ptr<CTreeItem> r) { records.push_back(std::move(r)); };
    hooks.onLine = [this](std::int64_t line) { lines.push_back(line); };
    return hooks;
  }
};

inline std::string TestDataPath(const std::string& name) {
  return std::string(ZORVAN_TEST_DATA) + "/interchange/" + name;
}

// The folder of real files from other programs; absent on some machines.
inline std::filesystem::path SharedDataPath() {
  if (const char* env = std::getenv("ZORVAN_SHARED_DATA")) return env;
  return ZORVAN_SHARED_DATA;
}

inline std::string ReadBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

// The record the fixture files were written from by hand (tests/data/interchange).
std::unique_ptr<CTreeItem> MakeFixtureRecord();
// The clock of the fixture card's REV line.
CDateTime FixtureClock();

// A record with every one of the 45 fields filled with text that tests the encodings:
// Czech letters, commas, semicolons, double quotes, line breaks (CR LF, lone CR and LF are
// checked apart), and all three dates set.
std::unique_ptr<CTreeItem> MakeFullRecord();

// A record "r" with the children "a" (itself with the child "a1") and "b", a group; the
// letters are the labels.
std::unique_ptr<CTreeItem> MakeSmallTree();

// Expects the 45 data fields of both records to be equal (dates by their day).
void ExpectSameFields(const CTreeItem& expected, const CTreeItem& actual);

}  // namespace zorvan::testing
