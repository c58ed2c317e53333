#include <gtest/gtest.h>

#include <filesystem>

#include "FileOutput.h"
#include "InterchangeTestSupport.h"
#include "interchange/FileLineInput.h"
#include "interchange/TextExport.h"
#include "interchange/TextImport.h"
#include "interchange/VCardReader.h"
#include "interchange/VCardWriter.h"

using namespace zorvan;
using namespace zorvan::testing;

namespace {

class RoundTripTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_dir =
        std::filesystem::temp_directory_path() /
        ("zorvan-roundtrip-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
         "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(m_dir);
  }
  void TearDown() override { std::filesystem::remove_all(m_dir); }

  // Writes the records (each with its subtree) as an export does, into a real file.
  std::string Export(const std::vector<const CTreeItem*>& records, bool csv) {
    const std::string path = (m_dir / (csv ? "out.csv" : "out.vcf")).string();
    CFileOutput out;
    EXPECT_TRUE(out.Open(path));
    int count = 0;
    CProgress progress(count);
    if (csv) {
      EXPECT_TRUE(WriteTextHeader(out));
    }
    for (const CTreeItem* r : records)
      EXPECT_TRUE(csv ? WriteTextRow(out, *r, progress) : WriteVCard(out, *r, &progress));
    EXPECT_TRUE(out.Close());
    return path;
  }

  static SCollected Import(const std::string& path, bool csv) {
    CFileLineInput in;
    EXPECT_TRUE(in.Open(path));
    SCollected c;
    if (!csv) {
      EXPECT_TRUE(ReadVCards(in, c.Hooks(), EDateOrder::dayMonthYear));
      return c;
    }
    std::string first;
    EXPECT_TRUE(ReadFirstLine(in, first));
    STextFormat format;
    format.layout = RecogniseHeader(first);
    EXPECT_EQ(format.layout, ETextLayout::ownColumns);
    EXPECT_TRUE(ReadTextRows(in, format, c.Hooks(), EDateOrder::dayMonthYear));
    return c;
  }

  std::filesystem::path m_dir;
  CFixedClock m_clock{CDateTime(2024, 3, 1, 12, 0, 0)};
};

}  // namespace

TEST_F(RoundTripTest, shouldGiveBackEveryFieldThroughBothFormats) {
  auto full = MakeFullRecord();
  auto fixture = MakeFixtureRecord();
  CTreeItem empty;
  empty.m_strLabel.clear();
  // A group with a child: the child comes back as a record of its own, right after it.
  auto group = MakeFullRecord();
  group->m_bGroup = 1;
  CTreeItem::AddChild(group.get(), MakeFixtureRecord().release());
  const std::vector<const CTreeItem*> written = {full.get(), &empty, group.get(), fixture.get()};
  const std::vector<const CTreeItem*> expected = {full.get(), &empty, group.get(), group->Child(0),
                                                  fixture.get()};
  for (bool csv : {false, true}) {
    SCOPED_TRACE(csv ? "csv" : "vcard");
    SCollected c = Import(Export(written, csv), csv);
    ASSERT_EQ(c.records.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
      SCOPED_TRACE(i);
      ExpectSameFields(*expected[i], *c.records[i]);
    }
  }
}

TEST_F(RoundTripTest, shouldBringLoneLineBreaksBackAsCrLf) {
  CTreeItem r;
  r.m_strRemark = "a\rb\nc\r\n";
  r.m_strLabel = "x\ny";
  for (bool csv : {false, true}) {
    SCollected c = Import(Export({&r}, csv), csv);
    ASSERT_EQ(c.records.size(), 1u);
    EXPECT_EQ(c.records[0]->m_strRemark, "a\r\nb\r\nc\r\n");
    EXPECT_EQ(c.records[0]->m_strLabel, "x\r\ny");
  }
}

TEST_F(RoundTripTest, shouldKeepAGroupFlagAndASetInvalidDate) {
  CTreeItem r;
  r.m_bGroup = 1;
  r.m_bNameDay = 1;
  r.m_dtNameDay = CDateTime(0.0, CDateTime::invalid);
  for (bool csv : {false, true}) {
    SCollected c = Import(Export({&r}, csv), csv);
    ASSERT_EQ(c.records.size(), 1u);
    EXPECT_EQ(c.records[0]->m_bGroup, 1);
    EXPECT_EQ(c.records[0]->m_bNameDay, 1);
    EXPECT_EQ(c.records[0]->m_dtNameDay, CDateTime(0.0, CDateTime::invalid));
  }
}
