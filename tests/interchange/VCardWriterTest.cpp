#include <gtest/gtest.h>

#include "InterchangeTestSupport.h"
#include "interchange/StringOutput.h"
#include "interchange/VCardWriter.h"
#include "res/CodePage.h"

using namespace zorvan;
using namespace zorvan::testing;

namespace {

class VCardWriterTest : public ::testing::Test {
 protected:
  CFixedClock m_clock{CDateTime(2023, 11, 2, 7, 5, 9)};

  // The card of one record, converted back to UTF-8 and split into its lines (each of which
  // must have ended with CR LF).
  static std::vector<std::string> CardLines(const CTreeItem& record) {
    CStringOutput out;
    EXPECT_TRUE(WriteVCard(out, record, nullptr));
    const std::string text = AnsiToUtf8(out.Bytes());
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
      const size_t end = text.find("\r\n", start);
      EXPECT_NE(end, std::string::npos) << "the last line lacks its CR LF";
      if (end == std::string::npos) break;
      const std::string line = text.substr(start, end - start);
      EXPECT_EQ(line.find_first_of("\r\n"), std::string::npos) << line;
      lines.push_back(line);
      start = end + 2;
    }
    return lines;
  }

  static std::string LineStarting(const std::vector<std::string>& lines, std::string_view p) {
    for (const std::string& l : lines)
      if (l.starts_with(p)) return l;
    return "(none)";
  }

  static CTreeItem EmptyRecord() {
    CTreeItem r;
    r.m_strLabel.clear();
    return r;
  }
};

}  // namespace

TEST_F(VCardWriterTest, shouldWrite35LinesForAnEmptyRecord) {
  const std::vector<std::string> expected = {
      "BEGIN:VCARD",
      "VERSION:2.1",
      "N:;;;",
      "FN:",
      "NICKNAME:",
      "ORG:;",
      "TITLE:",
      "NOTE:",
      "TEL;WORK;VOICE:",
      "TEL;HOME;VOICE:",
      "TEL;CAR;VOICE:",
      "TEL;CELL;VOICE:",
      "TEL;WORK;PAGER;VOICE:",
      "TEL;HOME;PAGER;VOICE:",
      "TEL;WORK;FAX:",
      "TEL;HOME;FAX:",
      "ADR;WORK:;;;;;;",
      "LABEL;WORK;ENCODING=QUOTED_PRINTABLE:=0D0A=0D0A,  =0D0A",
      "ADR;HOME:;;;;;;",
      "LABEL;HOME;ENCODING=QUOTED_PRINTABLE:=0D0A,  =0D0A",
      "URL;HOME:",
      "URL:",
      "EMAIL;PREF;INTERNET:",
      "EMAIL;INTERNET:",
      "X-TAVORIN-GENDER:0",
      "X-TAVORIN-GROUP:0",
      "X-TAVORIN-EMAIL:-1",
      "X-TAVORIN-URL:-1",
      "X-TAVORIN-WORK-IPPHONE:",
      "X-TAVORIN-HOME-IPPHONE:",
      "X-TAVORIN-ANNIVERSARY-STRING:",
      "X-TAVORIN-CHILDREN:",
      "X-TAVORIN-SPOUSE:",
      "REV:2023-11-02T07:05:09Z",
      "END:VCARD",
  };
  EXPECT_EQ(CardLines(EmptyRecord()), expected);
}

TEST_F(VCardWriterTest, shouldWriteDateLinesOnlyForSetDates) {
  CTreeItem r = EmptyRecord();
  r.m_dtBirthday = CDateTime(1990, 5, 17, 13, 30, 0);
  r.m_bBirthday = 1;
  r.m_dtNameDay = CDateTime(812, 1, 9);
  r.m_bNameDay = 1;
  r.m_dtAnniversary = CDateTime(2001, 3, 5);  // its flag stays 0
  const auto lines = CardLines(r);
  ASSERT_EQ(lines.size(), 37u);
  // In the card's order: BDAY after the URL lines, nameday after the anniversary text.
  EXPECT_EQ(lines[22], "BDAY:1990-05-17s");
  EXPECT_EQ(lines[32], "X-TAVORIN-NAMEDAY-DATE:0812-01-09s");
  EXPECT_EQ(LineStarting(lines, "X-TAVORIN-ANNIVERSARY-DATE:"), "(none)");

  r.m_bAnniversary = 1;
  r.m_bBirthday = 0;
  const auto again = CardLines(r);
  EXPECT_EQ(LineStarting(again, "BDAY:"), "(none)");
  EXPECT_EQ(again[30], "X-TAVORIN-ANNIVERSARY-DATE:2001-03-05s");
}

TEST_F(VCardWriterTest, shouldQuoteAndEncodeTextValues) {
  CTreeItem r = EmptyRecord();
  r.m_strCompany = "Tavorin, a.s.";
  r.m_strDepartment = "Vývoj";
  r.m_strRemark = "a\r\nb";
  r.m_strSpouse = "x;y\r\nz";
  r.m_strHomeCity = "Praha, 1";
  const auto lines = CardLines(r);
  EXPECT_EQ(LineStarting(lines, "ORG:"), "ORG:\"Tavorin, a.s.\";Vývoj");
  EXPECT_EQ(LineStarting(lines, "NOTE:"), "NOTE:a=0D=0Ab");
  EXPECT_EQ(LineStarting(lines, "X-TAVORIN-SPOUSE:"), "X-TAVORIN-SPOUSE:\"x;y=0D=0Az\"");
  EXPECT_EQ(LineStarting(lines, "LABEL;HOME"),
            "LABEL;HOME;ENCODING=QUOTED_PRINTABLE:=0D0A\"Praha, 1\",  =0D0A");
}

TEST_F(VCardWriterTest, shouldMatchTheHandMadeBusinessCardByteForByte) {
  CFixedClock clock(FixtureClock());
  auto record = MakeFixtureRecord();
  // A business card is one card even for a record with children.
  CTreeItem::AddChild(record.get(), new CTreeItem);
  CStringOutput out;
  ASSERT_TRUE(WriteVCard(out, *record, nullptr));
  EXPECT_EQ(out.Bytes(), ReadBytes(TestDataPath("business-card.vcf")));
}

TEST_F(VCardWriterTest, shouldWriteTheSubtreeDepthFirstAndCountEachCard) {
  auto root = MakeSmallTree();
  int clock = 0;
  SetClockSource([&clock] { return CDateTime(2020, 1, 1, 0, 0, ++clock); });
  int count = 10;
  std::vector<int> positions;
  CProgress progress(count, [&positions](int p) { positions.push_back(p); });
  CStringOutput out;
  ASSERT_TRUE(WriteVCard(out, *root, &progress));
  std::vector<std::string> cards;  // label and REV second of each card
  const std::string& b = out.Bytes();
  for (size_t at = b.find("FN:"); at != std::string::npos; at = b.find("FN:", at + 1)) {
    const size_t rev = b.find("REV:", at);
    cards.push_back(b.substr(at + 3, b.find('\r', at) - at - 3) + "@" + b.substr(rev + 21, 2));
  }
  // The clock is read once at the start of every card.
  EXPECT_EQ(cards, (std::vector<std::string>{"r@01", "a@02", "a1@03", "b@04"}));
  EXPECT_EQ(count, 14);
  EXPECT_EQ(positions, (std::vector<int>{11, 12, 13, 14}));
}

TEST_F(VCardWriterTest, shouldReportAFailedWriteAndStopThere) {
  CTreeItem root;
  for (int i = 0; i < 3; ++i) CTreeItem::AddChild(&root, new CTreeItem);
  CStringOutput whole;
  ASSERT_TRUE(WriteVCard(whole, *root.Child(0), nullptr));
  const size_t cardSize = whole.Bytes().size();

  // Room for the first card and a half: the second card fails, the third is not attempted.
  CFailingOutput out(cardSize + cardSize / 2);
  int count = 0;
  CProgress progress(count);
  EXPECT_FALSE(WriteVCard(out, root, &progress));
  EXPECT_EQ(count, 1);
  EXPECT_FALSE(WriteVCard(out, root, nullptr));
  CFailingOutput none(0);
  EXPECT_FALSE(WriteVCard(none, root, nullptr));
}
