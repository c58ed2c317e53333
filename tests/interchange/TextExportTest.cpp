#include <gtest/gtest.h>

#include "InterchangeTestSupport.h"
#include "interchange/StringOutput.h"
#include "interchange/TextExport.h"
#include "res/CodePage.h"

using namespace zorvan;
using namespace zorvan::testing;

namespace {

std::string Row(const CTreeItem& record) {
  CStringOutput out;
  int count = 0;
  CProgress progress(count);
  EXPECT_TRUE(WriteTextRow(out, record, progress));
  return AnsiToUtf8(out.Bytes());
}

CTreeItem EmptyRecord() {
  CTreeItem r;
  r.m_strLabel.clear();
  return r;
}

}  // namespace

TEST(TextExport, shouldWriteTheHeaderWithACommaAfterEveryName) {
  CStringOutput out;
  ASSERT_TRUE(WriteTextHeader(out));
  EXPECT_EQ(out.Bytes(),
            "First Name,Last Name,Middle Name,Title,Label,Nickname,Gender,Group,nE-mail,nUrl,"
            "Home Street,Home City,Home Postal Code,Home State,Home Country,Home Phone,Home Fax,"
            "Personal Mobile Phone,Personal Pager,Personal E-mail,Personal Web Page,Home IP "
            "Phone,Company,Job Title,Department,Office Location,Business Street,Business City,"
            "Business Postal Code,Business State,Business Country,Business Phone,Business Fax,"
            "Business Mobile Phone,Business Pager,Business E-mail,Business Web Page,Business IP "
            "Phone,Spouse,Children,Birthday,Name Day,Anniversary,Anniversary Text,Remark,\r\n");
}

TEST(TextExport, shouldWriteAnEmptyRecordWithDefaultNumbersAndUnsetDates) {
  const std::string expected = ",,,,,,0,0,-1,-1," + std::string(30, ',') +
                               "0.0.0,0.0.0,0.0.0,"
                               ",,\r\n";
  EXPECT_EQ(Row(EmptyRecord()), expected);
}

TEST(TextExport, shouldQuoteAndKeepEachRowOnOneLine) {
  CTreeItem r = EmptyRecord();
  r.m_strLabel = "a;b";
  r.m_strRemark = "line 1\r\nline 2\nline 3";
  r.m_strFirstName = "Honza \"Jack\"";
  const std::string row = Row(r);
  EXPECT_TRUE(row.starts_with("\"Honza \"\"Jack\"\"\",,,,\"a;b\",,0,")) << row;
  EXPECT_TRUE(row.ends_with(",line 1=0D=0Aline 2=0D=0Aline 3,\r\n")) << row;
  EXPECT_EQ(row.find_first_of("\r\n"), row.size() - 2);
}

TEST(TextExport, shouldWriteSetDatesWithoutLeadingZeros) {
  CTreeItem r = EmptyRecord();
  r.m_dtBirthday = CDateTime(2001, 3, 5, 23, 0, 0);
  r.m_bBirthday = 1;
  r.m_dtNameDay = CDateTime(1999, 12, 24);  // not set
  r.m_dtAnniversary = CDateTime(812, 10, 10);
  r.m_bAnniversary = 1;
  EXPECT_NE(Row(r).find(",5.3.2001,0.0.0,10.10.812,,,\r\n"), std::string::npos) << Row(r);
  // A set date that cannot be split into parts reads back as set and invalid.
  r.m_dtBirthday = CDateTime(0.0, CDateTime::invalid);
  EXPECT_NE(Row(r).find(",,0.0.0,10.10.812,"), std::string::npos) << Row(r);
}

TEST(TextExport, shouldMatchTheHandMadeFileByteForByte) {
  auto record = MakeFixtureRecord();
  auto* child = new CTreeItem;
  child->m_strLabel.clear();
  CTreeItem::AddChild(record.get(), child);
  CStringOutput out;
  int count = 0;
  CProgress progress(count);
  ASSERT_TRUE(WriteTextHeader(out));
  ASSERT_TRUE(WriteTextRow(out, *record, progress));
  EXPECT_EQ(out.Bytes(), ReadBytes(TestDataPath("export.csv")));
  EXPECT_EQ(count, 2);
}

TEST(TextExport, shouldWriteParentsBeforeChildrenAndStepOncePerRow) {
  CTreeItem root;
  root.m_strFirstName = "r";
  auto* a = new CTreeItem;
  a->m_strFirstName = "a";
  auto* a1 = new CTreeItem;
  a1->m_strFirstName = "a1";
  auto* b = new CTreeItem;
  b->m_strFirstName = "b";
  b->m_bGroup = 1;
  CTreeItem::AddChild(&root, a);
  CTreeItem::AddChild(a, a1);
  CTreeItem::AddChild(&root, b);
  CStringOutput out;
  int count = 0;
  std::vector<int> positions;
  CProgress progress(count, [&](int p) { positions.push_back(p); });
  ASSERT_TRUE(WriteTextRow(out, root, progress));
  std::vector<std::string> firsts;
  for (size_t at = 0; at < out.Bytes().size(); at = out.Bytes().find("\r\n", at) + 2)
    firsts.push_back(out.Bytes().substr(at, out.Bytes().find(',', at) - at));
  EXPECT_EQ(firsts, (std::vector<std::string>{"r", "a", "a1", "b"}));
  EXPECT_EQ(positions, (std::vector<int>{1, 2, 3, 4}));
  EXPECT_NE(out.Bytes().find("b,,,,Unknown,,0,1,"), std::string::npos);
}

TEST(TextExport, shouldCountTheWholeSubtree) {
  CTreeItem root;
  auto* a = new CTreeItem;
  CTreeItem::AddChild(&root, a);
  CTreeItem::AddChild(a, new CTreeItem);
  CTreeItem::AddChild(a, new CTreeItem);
  CTreeItem::AddChild(&root, new CTreeItem);
  int count = 3;
  CountRecords(root, count);
  EXPECT_EQ(count, 8);
  CountRecords(*a, count);
  EXPECT_EQ(count, 11);
}

TEST(TextExport, shouldReportAFailedWrite) {
  CTreeItem root;
  CTreeItem::AddChild(&root, new CTreeItem);
  CFailingOutput out(60);
  int count = 0;
  CProgress progress(count);
  EXPECT_FALSE(WriteTextHeader(out));
  EXPECT_FALSE(WriteTextRow(out, root, progress));
  EXPECT_EQ(count, 0);
  CFailingOutput roomForOne(Row(*root.Child(0)).size());
  EXPECT_FALSE(WriteTextRow(roomForOne, root, progress));
  EXPECT_EQ(count, 1);
}
