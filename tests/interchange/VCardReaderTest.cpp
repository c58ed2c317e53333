#include <gtest/gtest.h>

#include "InterchangeTestSupport.h"
#include "interchange/StringLineInput.h"
#include "interchange/VCardReader.h"
#include "res/CodePage.h"

using namespace zorvan;
using namespace zorvan::testing;

namespace {

class VCardReaderTest : public ::testing::Test {
 protected:
  CFixedClock m_clock{CDateTime(2024, 1, 15, 10, 0, 0)};

  static SCollected Read(std::string_view bytes) {
    SCollected c;
    CStringLineInput in(bytes);
    EXPECT_TRUE(ReadVCards(in, c.Hooks(), EDateOrder::dayMonthYear));
    return c;
  }

  // One card with the given property lines (UTF-8, written to the file in its code page).
  static std::unique_ptr<CTreeItem> ReadCard(const std::string& lines) {
    SCollected c = Read(Utf8ToAnsi("BEGIN:VCARD\r\n" + lines + "END:VCARD\r\n"));
    EXPECT_EQ(c.records.size(), 1u);
    if (c.records.empty()) return std::make_unique<CTreeItem>();
    return std::move(c.records[0]);
  }
};

}  // namespace

TEST_F(VCardReaderTest, shouldReadTheHandMadeCardIntoTheFixtureRecord) {
  const std::string bytes = ReadBytes(TestDataPath("business-card.vcf"));
  SCollected c = Read(bytes);
  ASSERT_EQ(c.records.size(), 1u);
  ExpectSameFields(*MakeFixtureRecord(), *c.records[0]);
  // The unset nameday keeps the new record's date.
  EXPECT_EQ(c.records[0]->m_dtNameDay, CDateTime(2024, 1, 15, 10, 0, 0));
}

TEST_F(VCardReaderTest, shouldEmptyTheComponentsALineLeavesOut) {
  auto r = ReadCard("N:A;B;C;D\r\nN:Novák\r\nFN:\r\nADR;HOME:;;street\r\n");
  EXPECT_EQ(r->m_strLastName, "Novák");
  EXPECT_EQ(r->m_strFirstName, "");
  EXPECT_EQ(r->m_strMiddleName, "");
  EXPECT_EQ(r->m_strTitle, "");
  EXPECT_EQ(r->m_strLabel, "");
  EXPECT_EQ(r->m_strHomeStreet, "street");
  EXPECT_EQ(r->m_strHomeCity, "");
}

TEST_F(VCardReaderTest, shouldSplitAtSemicolonsOutsideQuotesOnly) {
  auto r = ReadCard("NOTE:x;y\r\nTITLE:\"x;y\"\r\nORG:\"A, b\";\"Dev; QA\"\r\n");
  EXPECT_EQ(r->m_strRemark, "x");
  EXPECT_EQ(r->m_strJobTitle, "x;y");
  EXPECT_EQ(r->m_strCompany, "A, b");
  EXPECT_EQ(r->m_strDepartment, "Dev; QA");
}

TEST_F(VCardReaderTest, shouldDecodeLineBreaksAndDoubledQuotes) {
  auto r = ReadCard("NOTE:\"x;y=0D=0Az\"\r\nX-TAVORIN-SPOUSE:\"say \"\"hi\"\"\"\r\n");
  EXPECT_EQ(r->m_strRemark, "x;y\r\nz");
  EXPECT_EQ(r->m_strSpouse, "say \"hi\"");
}

TEST_F(VCardReaderTest, shouldKnowOnlyTheDialectsExactPropertyNames) {
  auto r = ReadCard(
      "EMAIL;INTERNET:first@x\r\nEMAIL;INTERNET:second@x\r\n"
      "EMAIL:plain@x\r\nEMAIL;TYPE=INTERNET:v3@x\r\nTEL;PREF;WORK;VOICE:1\r\n"
      "fn:lower\r\nn:lower;case\r\nTEL;TYPE=CELL:2\r\nURL;WORK:w\r\n");
  EXPECT_EQ(r->m_strBusinessEmail, "second@x");
  EXPECT_EQ(r->m_strPersonalEmail, "");
  EXPECT_EQ(r->m_strBusinessPhone, "");
  EXPECT_EQ(r->m_strLabel, "Unknown");
  EXPECT_EQ(r->m_strLastName, "");
  EXPECT_EQ(r->m_strBusinessMobile, "");
  EXPECT_EQ(r->m_strBusinessWeb, "");
}

TEST_F(VCardReaderTest, shouldReadNumbersAsTheyAre) {
  auto r = ReadCard(
      "X-TAVORIN-GENDER: 2\r\nX-TAVORIN-GROUP:5\r\nX-TAVORIN-EMAIL:-1\r\nX-TAVORIN-URL:x\r\n");
  EXPECT_EQ(r->m_nGender, 2);
  EXPECT_EQ(r->m_bGroup, 5);
  EXPECT_EQ(r->m_nPrefEmail, -1);
  EXPECT_EQ(r->m_nPrefUrl, 0);
}

TEST_F(VCardReaderTest, shouldSetTheDateFlagEvenWhenTheDateDoesNotRead) {
  auto r = ReadCard(
      "BDAY:1990-05-17s\r\nX-TAVORIN-NAMEDAY-DATE:soon\r\n"
      "X-TAVORIN-ANNIVERSARY-DATE:2001-03-05\r\n");
  EXPECT_EQ(r->m_bBirthday, 1);
  EXPECT_EQ(r->m_dtBirthday, CDateTime(1990, 5, 17));
  EXPECT_EQ(r->m_bNameDay, 1);
  EXPECT_EQ(r->m_dtNameDay, CDateTime(0.0, CDateTime::invalid));
  EXPECT_EQ(r->m_bAnniversary, 1);
  EXPECT_EQ(r->m_dtAnniversary, CDateTime(2001, 3, 5));
}

TEST_F(VCardReaderTest, shouldKeepOnlyFinishedCards) {
  SCollected c = Read(
      "FN:before\r\n"
      "BEGIN:VCARD\r\nFN:dropped\r\n"
      "BEGIN:VCARD\r\nFN:kept\r\nEND:VCARD\r\n"
      "FN:between\r\nEND:VCARD\r\n"
      "BEGIN:VCARD extra\r\nFN:second\r\nEND:VCARD trailing\r\n"
      "BEGIN:VCARD\r\nFN:unfinished\r\n");
  ASSERT_EQ(c.records.size(), 2u);
  EXPECT_EQ(c.records[0]->m_strLabel, "kept");
  EXPECT_EQ(c.records[1]->m_strLabel, "second");
  // The line counter at each BEGIN line.
  EXPECT_EQ(c.lines, (std::vector<std::int64_t>{2, 4, 9, 12}));
}

TEST_F(VCardReaderTest, shouldAddNothingWithoutABeginLine) {
  EXPECT_TRUE(Read("").records.empty());
  EXPECT_TRUE(Read("FN:x\r\nEND:VCARD\r\nbegin:vcard\r\nFN:y\r\nend:vcard\r\n").records.empty());
}

TEST_F(VCardReaderTest, shouldReadLfOnlyFilesAndALastLineWithoutLineEnd) {
  SCollected c = Read("BEGIN:VCARD\nFN:a\nEND:VCARD\nBEGIN:VCARD\r\r\nFN:b\r\r\nEND:VCARD");
  ASSERT_EQ(c.records.size(), 2u);
  EXPECT_EQ(c.records[0]->m_strLabel, "a");
  EXPECT_EQ(c.records[1]->m_strLabel, "b");
}

TEST_F(VCardReaderTest, shouldReadAFileWithAByteOrderMarkAsUtf8) {
  SCollected c = Read(
      "\xEF\xBB\xBF"
      "BEGIN:VCARD\r\nFN:Čeněk\r\nNOTE:bad \xC8 byte\r\nEND:VCARD\r\n");
  ASSERT_EQ(c.records.size(), 1u);
  EXPECT_EQ(c.records[0]->m_strLabel, "Čeněk");
  EXPECT_EQ(c.records[0]->m_strRemark, "bad \uFFFD byte");
  // Without the mark the same bytes are the code page's.
  SCollected ansi = Read(
      "BEGIN:VCARD\r\nFN:\xC8"
      "en\xECk\r\nEND:VCARD\r\n");
  ASSERT_EQ(ansi.records.size(), 1u);
  EXPECT_EQ(ansi.records[0]->m_strLabel, "Čeněk");
  // Unmarked UTF-8, as other programs write it, is UTF-8 line by line, letters outside the code
  // page included; a line of the code page beside it stays the code page's.
  SCollected unmarked = Read(
      "BEGIN:VCARD\r\nFN:Łucja Wąsowska\r\nNOTE:Ελένη 漢字\r\nORG:\xC8"
      "ern\xFD\r\nEND:VCARD\r\n");
  ASSERT_EQ(unmarked.records.size(), 1u);
  EXPECT_EQ(unmarked.records[0]->m_strLabel, "Łucja Wąsowska");
  EXPECT_EQ(unmarked.records[0]->m_strRemark, "Ελένη 漢字");
  EXPECT_EQ(unmarked.records[0]->m_strCompany, "Černý");
}
