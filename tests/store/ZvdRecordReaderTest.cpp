#include <gtest/gtest.h>

#include <random>

#include "TestUtil.h"
#include "res/CodePage.h"
#include "store/ZvdFile.h"
#include "store/ZvdRecordReader.h"

using namespace zorvan;
using namespace zorvan::test;

namespace {

struct SVisited {
  std::string label;
  size_t depth;
  bool operator==(const SVisited&) const = default;
};

void PrintTo(const SVisited& v, std::ostream* os) { *os << v.label << "@" << v.depth; }

// The labels and depths the walking reader hands over, in order.
bool Walk(const std::string& bytes, std::vector<SVisited>& seen, std::string& error) {
  CZvdRecordReader::CFieldSet fields;
  fields.set(fieldLabel);
  return CZvdRecordReader(fields).Read(
      bytes,
      [&seen](const CZvdRecord& r) {
        seen.push_back({std::string(r.Ansi(fieldLabel)), r.Depth()});
      },
      error);
}

// The same, from the tree the loading reader builds.
bool Load(const std::string& bytes, std::vector<SVisited>& seen, std::string& error) {
  CTreeItem root;
  root.m_nKind = kindContacts;
  if (!LoadDatabase(bytes, root, error)) return false;
  WalkSubtreeWhile(root, [&seen](const CTreeItem& r, size_t depth) {
    if (depth > 0) seen.push_back({Utf8ToAnsi(r.m_strLabel.view()), depth - 1});
    return true;
  });
  return true;
}

}  // namespace

TEST(ZvdRecordReader, shouldVisitEveryRecordInDocumentOrderWithItsDepth) {
  std::vector<SVisited> seen;
  std::string error;
  ASSERT_TRUE(Walk(ReadFile(DataPath("store/three-levels.zvd")), seen, error)) << error;
  std::vector<SVisited> loaded;
  ASSERT_TRUE(Load(ReadFile(DataPath("store/three-levels.zvd")), loaded, error)) << error;
  EXPECT_EQ(seen, loaded);
  ASSERT_EQ(seen.size(), 4u);
  EXPECT_EQ(seen[2], (SVisited{"Kid", 2}));
  EXPECT_EQ(seen[3], (SVisited{"Solo", 0}));
}

TEST(ZvdRecordReader, shouldHandOverOnlyTheTextsAskedForInTheFilesCodePage) {
  CZvdRecordReader::CFieldSet fields;
  fields.set(fieldLastName);
  fields.set(fieldRemark);
  int records = 0;
  std::string error;
  ASSERT_TRUE(CZvdRecordReader(fields).Read(
      ReadFile(DataPath("store/one-record.zvd")),
      [&records](const CZvdRecord& r) {
        ++records;
        EXPECT_EQ(r.Ansi(fieldLastName), "Nov\xE1k");  // unconverted Windows-1250
        EXPECT_EQ(r.Ansi(fieldRemark), "a\r\nb");      // the last field of the file's order
        EXPECT_EQ(r.Ansi(fieldFirstName), "");         // not asked for
        EXPECT_EQ(r.Ansi(fieldMiddleName), "");
        EXPECT_EQ(r.Number(fieldGender), 1);
        EXPECT_EQ(r.Number(fieldPrefEmail), 0);
        EXPECT_EQ(r.Number(fieldPrefUrl), 1);
        EXPECT_EQ(r.Number(fieldBirthday), 1);  // the dates' set flags
        EXPECT_EQ(r.Number(fieldNameDay), 0);
      },
      error))
      << error;
  EXPECT_EQ(records, 1);
}

// The walking reader keeps the loading reader's damage checks: on every truncation and on
// mutated bytes both fail with the same reason, or both read the same records.
TEST(ZvdRecordReader, shouldJudgeDamageAsTheLoadingReaderDoes) {
  const std::string valid = ReadFile(DataPath("store/three-levels.zvd"));
  std::vector<std::string> cases;
  for (size_t n = 0; n < valid.size(); ++n) cases.push_back(valid.substr(0, n));
  std::mt19937 rng(20261208);
  for (int round = 0; round < 2000; ++round) {
    std::string bytes = valid;
    for (int k = 0; k < 3; ++k) bytes[rng() % bytes.size()] = static_cast<char>(rng());
    cases.push_back(bytes);
  }
  for (const char* damaged : {"nesting-too-deep.zvd", "unknown-text-encoding.zvd",
                              "child-count-beyond-file.zvd", "negative-child-count.zvd"})
    cases.push_back(ReadFile(DataPath(std::string("store/") + damaged)));
  int failures = 0;
  for (size_t i = 0; i < cases.size(); ++i) {
    std::vector<SVisited> walked, loaded;
    std::string walkError, loadError;
    const bool walkOk = Walk(cases[i], walked, walkError);
    const bool loadOk = Load(cases[i], loaded, loadError);
    ASSERT_EQ(walkOk, loadOk) << i;
    EXPECT_EQ(walkError, loadError) << i;
    if (walkOk) {
      EXPECT_EQ(walked, loaded) << i;
    } else {
      ++failures;
    }
  }
  EXPECT_GE(failures, static_cast<int>(valid.size()) + 4);
}

TEST(ZvdRecordReader, shouldRefuseWhatIsNotARegularFile) {
  CTempDir dir;
  std::string error;
  EXPECT_FALSE(CZvdRecordReader({}).ReadFile(
      dir.Path(), [](const CZvdRecord&) {}, error));
  EXPECT_NE(error.find("folder"), std::string::npos) << error;
  error.clear();
  EXPECT_FALSE(CZvdRecordReader({}).ReadFile(
      dir / "missing.zvd", [](const CZvdRecord&) {}, error));
  EXPECT_FALSE(error.empty());
}
