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

// The hand-made file holds the header, a record with every kind of value (quotes, a comma in
// the label, a semicolon, a multi-line remark, set and unset dates) and an empty record.
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
  auto tree = MakeSmallTree();
  const CTreeItem& root = *tree;
  CStringOutput out;
  int count = 0;
  std::vector<int> positions;
  CProgress progress(count, [&](int p) { positions.push_back(p); });
  ASSERT_TRUE(WriteTextRow(out, root, progress));
  std::vector<std::string> labels;  // the fifth value of each row
  const std::string& b = out.Bytes();
  for (size_t at = 0; at < b.size(); at = b.find("\r\n", at) + 2)
    labels.push_back(b.substr(at + 4, b.find(',', at + 4) - at - 4));
  EXPECT_EQ(labels, (std::vector<std::string>{"r", "a", "a1", "b"}));
  EXPECT_EQ(positions, (std::vector<int>{1, 2, 3, 4}));
  EXPECT_NE(out.Bytes().find(",,,,b,,0,1,"), std::string::npos);  // b is a group
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
