#include <gtest/gtest.h>

#include <filesystem>

#include "InterchangeTestSupport.h"
#include "interchange/FieldList.h"
#include "interchange/FileLineInput.h"
#include "interchange/TextImport.h"
#include "interchange/VCardReader.h"

using namespace zorvan;
using namespace zorvan::testing;

// Files other programs wrote. They are kept outside the project; without them these tests are
// skipped.

namespace {

class RealFilesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!std::filesystem::is_directory(SharedDataPath()))
      GTEST_SKIP() << "no real files at " << SharedDataPath();
  }

  static SCollected ReadVcf(const std::filesystem::path& path) {
    CFileLineInput in;
    EXPECT_TRUE(in.Open(path.string())) << path;
    SCollected c;
    EXPECT_TRUE(ReadVCards(in, c.Hooks(), EDateOrder::dayMonthYear));
    return c;
  }

  // A text file read bound, each column whose name is a field's header bound to that field.
  static SCollected ReadCsv(const std::filesystem::path& path, std::string_view delimiter) {
    CFileLineInput in;
    EXPECT_TRUE(in.Open(path.string())) << path;
    std::string first;
    ReadFirstLine(in, first);
    STextFormat format;
    format.layout = RecogniseHeader(first);
    format.strDelimiter = delimiter;
    format.bindings = MakeColumnBindings(first, delimiter);
    for (ColumnBinding& b : format.bindings) b.m_nTarget = TargetIndexOf(b.m_strName);
    SCollected c;
    EXPECT_TRUE(ReadTextRows(in, format, c.Hooks(), EDateOrder::dayMonthYear));
    return c;
  }

  static std::vector<std::filesystem::path> FilesUnder(const char* folder) {
    std::vector<std::filesystem::path> files;
    for (const auto& e : std::filesystem::recursive_directory_iterator(SharedDataPath() / folder))
      if (e.is_regular_file()) files.push_back(e.path());
    return files;
  }
};

}  // namespace

TEST_F(RealFilesTest, shouldReadEveryFileWithoutTrouble) {
  for (const auto& path : FilesUnder("vcard")) {
    SCOPED_TRACE(path.string());
    ReadVcf(path);
  }
  for (const auto& path : FilesUnder("csv")) {
    SCOPED_TRACE(path.string());
    ReadCsv(path, ",");
    ReadCsv(path, ";");
    ReadCsv(path, "\t");
  }
}

TEST_F(RealFilesTest, shouldUnescapeDoubledQuotesOfAThunderbirdExport) {
  SCollected c = ReadCsv(SharedDataPath() / "csv/thunderbird/export.csv", ",");
  ASSERT_GE(c.records.size(), 2u);
  EXPECT_EQ(c.records[0]->m_strFirstName, "contact");
  EXPECT_EQ(c.records[1]->m_strJobTitle, "\"worker\"");
}
