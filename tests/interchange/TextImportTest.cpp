#include <gtest/gtest.h>

#include "InterchangeTestSupport.h"
#include "interchange/FieldList.h"
#include "interchange/StringLineInput.h"
#include "interchange/TextExport.h"
#include "interchange/TextImport.h"
#include "res/CodePage.h"

using namespace zorvan;
using namespace zorvan::testing;

namespace {

constexpr EDateOrder kDmy = EDateOrder::dayMonthYear;

class TextImportTest : public ::testing::Test {
 protected:
  CFixedClock m_clock{CDateTime(2024, 1, 15, 10, 0, 0)};

  // The records of a file holding the text (UTF-8, in the file's code page), read as the Import
  // command does: the first line decides the layout; a bound file is read with the given
  // delimiter and targets.
  static SCollected ReadFile(std::string_view text, std::string_view delimiter = ",",
                             const std::vector<int>& targets = {}) {
    const std::string bytes = Utf8ToAnsi(text);
    CStringLineInput in(bytes);
    std::string first;
    ReadFirstLine(in, first);
    STextFormat format;
    format.layout = RecogniseHeader(first);
    format.strDelimiter = delimiter;
    if (format.layout == ETextLayout::bound) {
      format.bindings = MakeColumnBindings(first, delimiter);
      for (size_t i = 0; i < format.bindings.size() && i < targets.size(); ++i)
        format.bindings[i].m_nTarget = targets[i];
    }
    SCollected c;
    EXPECT_TRUE(ReadTextRows(in, format, c.Hooks(), kDmy));
    return c;
  }

  static std::string OwnHeader() { return std::string(TextExportHeader()) + ",\r\n"; }
};

}  // namespace

TEST_F(TextImportTest, shouldRecogniseTheLayoutsAndTheDelimiter) {
  const std::string own(TextExportHeader());
  const std::string shortHeader(ShortLayoutHeader());
  EXPECT_EQ(RecogniseHeader(own + ","), ETextLayout::ownColumns);
  EXPECT_EQ(RecogniseHeader("Extra," + own), ETextLayout::ownColumns);
  EXPECT_EQ(RecogniseHeader(shortHeader), ETextLayout::shortColumns);
  EXPECT_EQ(RecogniseHeader("\"x\"," + shortHeader + ",y"), ETextLayout::shortColumns);
  EXPECT_EQ(RecogniseHeader(own.substr(0, own.size() - 1)), ETextLayout::bound);
  EXPECT_EQ(RecogniseHeader("first name,last name"), ETextLayout::bound);
  EXPECT_EQ(RecogniseHeader(""), ETextLayout::bound);
  // The words of the delimiter dialog, taken exactly.
  EXPECT_EQ(DelimiterFromText("tab"), "\t");
  EXPECT_EQ(DelimiterFromText("space"), " ");
  EXPECT_EQ(DelimiterFromText("Tab"), "Tab");
}

TEST_F(TextImportTest, shouldCountAndNameTheColumnsOfTheFirstLine) {
  EXPECT_EQ(CountColumns("a,b,c", ","), 3);
  EXPECT_EQ(CountColumns("a,b,c,", ","), 3);
  EXPECT_EQ(CountColumns("a,b,,", ","), 3);
  EXPECT_EQ(CountColumns("", ","), 1);
  EXPECT_EQ(CountColumns(",", ","), 1);
  EXPECT_EQ(CountColumns("\"a,b\",c", ","), 2);
  EXPECT_EQ(CountColumns("a\tb\tc", "\t"), 3);
  // A longer delimiter at the very end of the line opens no further column.
  EXPECT_EQ(CountColumns("a, b, ", ", "), 2);
  EXPECT_EQ(CountColumns("a, b, c", ", "), 3);
  EXPECT_EQ(CountColumns("a,b", ""), 1);

  const auto bindings = MakeColumnBindings("Name;\"E-mail; work\";;Phone;", ";");
  ASSERT_EQ(bindings.size(), 4u);
  EXPECT_EQ(bindings[1].m_strName, "E-mail; work");
  EXPECT_EQ(bindings[2].m_strName, "");
  EXPECT_EQ(bindings[3].m_strName, "Phone");
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(bindings[i].m_nIndex, i);
    EXPECT_EQ(bindings[i].m_nTarget, -1);
  }
}

TEST_F(TextImportTest, shouldTakeEachColumnsSampleAsTheRowWillReadIt) {
  auto bindings = MakeColumnBindings("Jméno;Poznámka;Telefon;Město", ";");
  ReadColumnSamples("Grzegorz Brzęczyszczykiewicz;\"Řádek 1=0D=0AŘádek 2; konec\";;", ";",
                    bindings);
  EXPECT_EQ(bindings[0].m_strSample, "Grzegorz Brzęczyszczykiewicz");
  EXPECT_EQ(bindings[1].m_strSample, "Řádek 1\r\nŘádek 2; konec");
  EXPECT_EQ(bindings[2].m_strSample, "");
  EXPECT_EQ(bindings[3].m_strSample, "");  // beyond the end of the line
}

TEST_F(TextImportTest, shouldReadTheHandMadeFileBackIntoItsRecords) {
  SCollected c = ReadFile(AnsiToUtf8(ReadBytes(TestDataPath("export.csv"))));
  ASSERT_EQ(c.records.size(), 2u);
  ExpectSameFields(*MakeFixtureRecord(), *c.records[0]);
  // The unset nameday "0.0.0" comes back unset, its date invalid.
  EXPECT_EQ(c.records[0]->m_dtNameDay, CDateTime(0.0, CDateTime::invalid));
  CTreeItem empty;
  empty.m_strLabel.clear();
  ExpectSameFields(empty, *c.records[1]);
  EXPECT_EQ(c.lines, (std::vector<std::int64_t>{1, 2}));
}

TEST_F(TextImportTest, shouldTurnAnEmptyLineIntoARecordWithSetInvalidDates) {
  SCollected c = ReadFile(OwnHeader() + "\r\n");
  ASSERT_EQ(c.records.size(), 1u);
  const CTreeItem& r = *c.records[0];
  EXPECT_EQ(r.m_strLabel, "");
  EXPECT_EQ(r.m_nPrefEmail, 0);
  EXPECT_EQ(r.m_nPrefUrl, 0);
  for (const auto& [flag, date] : {std::pair{r.m_bBirthday, r.m_dtBirthday},
                                   {r.m_bNameDay, r.m_dtNameDay},
                                   {r.m_bAnniversary, r.m_dtAnniversary}}) {
    EXPECT_EQ(flag, 1);
    EXPECT_EQ(date, CDateTime(0.0, CDateTime::invalid));
  }
}

TEST_F(TextImportTest, shouldShiftEveryFieldAfterAnExtraLeadingColumn) {
  SCollected c = ReadFile("Id," + OwnHeader() + "7,Jan,Novák,,,Label,\r\n");
  ASSERT_EQ(c.records.size(), 1u);
  EXPECT_EQ(c.records[0]->m_strFirstName, "7");
  EXPECT_EQ(c.records[0]->m_strLastName, "Jan");
  EXPECT_EQ(c.records[0]->m_strMiddleName, "Novák");
  EXPECT_EQ(c.records[0]->m_strNickname, "Label");
}

TEST_F(TextImportTest, shouldReadTheGroupFlagAsOneOnlyForOne) {
  std::string head = ",,,,,,0,";
  for (const auto& [text, flag] : {std::pair{"1", 1}, {"2", 0}, {"-1", 0}, {" 1", 1}, {"", 0}}) {
    CTreeItem r;
    ReadOwnRow(head + text + ",", r, kDmy);
    EXPECT_EQ(r.m_bGroup, flag) << text;
  }
}

TEST_F(TextImportTest, shouldSetADateUnlessItHoldsAZeroMonth) {
  CTreeItem r;
  const std::string before = std::string(",,,,,,0,0,-1,-1,") + std::string(30, ',');
  ReadOwnRow(before + "17.5.1990,10.0.1990,1990-05-17s,", r, kDmy);
  EXPECT_EQ(r.m_bBirthday, 1);
  EXPECT_EQ(r.m_dtBirthday, CDateTime(1990, 5, 17));
  EXPECT_EQ(r.m_bNameDay, 0);
  EXPECT_EQ(r.m_dtNameDay.m_status, CDateTime::invalid);
  EXPECT_EQ(r.m_bAnniversary, 1);
  EXPECT_EQ(r.m_dtAnniversary, CDateTime(1990, 5, 17));
}

TEST_F(TextImportTest, shouldReadTheShortLayoutIntoItsFields) {
  std::string row;
  for (int i = 1; i <= 35; ++i) row += "v" + std::to_string(i) + ",";
  row += "1.2.1980,0.0.0,3.4.2005,text";
  SCollected c = ReadFile(std::string(ShortLayoutHeader()) + "\r\n" + row + "\r\n");
  ASSERT_EQ(c.records.size(), 1u);
  const CTreeItem& r = *c.records[0];
  EXPECT_EQ(r.m_strFirstName, "v1");
  EXPECT_EQ(r.m_strNickname, "v6");
  EXPECT_EQ(r.m_strPersonalEmail, "v7");
  EXPECT_EQ(r.m_strHomeStreet, "v8");
  EXPECT_EQ(r.m_strPersonalMobile, "v15");
  EXPECT_EQ(r.m_strHomeIpPhone, "v16");
  EXPECT_EQ(r.m_strPersonalWeb, "v17");
  EXPECT_EQ(r.m_strCompany, "v18");
  EXPECT_EQ(r.m_strBusinessPager, "v29");
  EXPECT_EQ(r.m_strBusinessMobile, "v30");
  EXPECT_EQ(r.m_strBusinessIpPhone, "v31");
  EXPECT_EQ(r.m_strBusinessWeb, "v32");
  EXPECT_EQ(r.m_strRemark, "v33");
  EXPECT_EQ(r.m_strChildren, "v35");
  EXPECT_EQ(r.m_dtBirthday, CDateTime(1980, 2, 1));
  EXPECT_EQ(r.m_bNameDay, 0);
  EXPECT_EQ(r.m_dtAnniversary, CDateTime(2005, 4, 3));
  EXPECT_EQ(r.m_strAnniversaryText, "text");
  // Not in this layout: the new record's values stay.
  EXPECT_EQ(r.m_nPrefEmail, -1);
  EXPECT_EQ(r.m_nGender, 0);
  EXPECT_EQ(r.m_strBusinessEmail, "");
  EXPECT_EQ(r.m_strPersonalPager, "");
}

TEST_F(TextImportTest, shouldReadBoundColumnsIntoTheirTargets) {
  const int surname = TargetIndexOf("Surname");
  const int birthday = TargetIndexOf("Birthday");
  const int gender = TargetIndexOf("Gender");
  SCollected c = ReadFile("Name;Family;Born;Sex;Ignored\r\nJana;Nová;20.01.1991;2;x;extra\r\n", ";",
                          {1, surname, birthday, gender, 0});
  ASSERT_EQ(c.records.size(), 1u);
  const CTreeItem& r = *c.records[0];
  EXPECT_EQ(r.m_strFirstName, "Jana");
  EXPECT_EQ(r.m_strLastName, "Nová");
  EXPECT_EQ(r.m_bBirthday, 1);
  EXPECT_EQ(r.m_dtBirthday, CDateTime(1991, 1, 20));
  EXPECT_EQ(r.m_nGender, 2);
  EXPECT_EQ(r.m_strLabel, "Unknown");
}

TEST_F(TextImportTest, shouldLetTheRightmostOfTwoColumnsWin) {
  const int surname = TargetIndexOf("Surname");
  SCollected c = ReadFile("a,b,c\r\nleft,mid,right\r\nonly\r\n", ",", {surname, 0, surname});
  ASSERT_EQ(c.records.size(), 2u);
  EXPECT_EQ(c.records[0]->m_strLastName, "right");
  // A short line's missing value is empty, and empty still overwrites.
  EXPECT_EQ(c.records[1]->m_strLastName, "");
}

TEST_F(TextImportTest, shouldKeepQuotedTabsAndCommasWithATabDelimiter) {
  SCollected c =
      ReadFile("Name\tNote\r\n\"Smith,\tJohn\"\tplain,text\r\n", DelimiterFromText("tab"),
               {TargetIndexOf("Label for tree view"), TargetIndexOf("Remark")});
  ASSERT_EQ(c.records.size(), 1u);
  EXPECT_EQ(c.records[0]->m_strLabel, "Smith,\tJohn");
  EXPECT_EQ(c.records[0]->m_strRemark, "plain,text");
}

TEST_F(TextImportTest, shouldTakeValuesWholeWithATwoCharacterDelimiter) {
  SCollected c = ReadFile("First, Last, City\r\nJan, Novák, Brno\r\n", ", ",
                          {1, 2, TargetIndexOf("City (Home Address)")});
  ASSERT_EQ(c.records.size(), 1u);
  EXPECT_EQ(c.records[0]->m_strFirstName, "Jan");
  EXPECT_EQ(c.records[0]->m_strLastName, "Novák");
  EXPECT_EQ(c.records[0]->m_strHomeCity, "Brno");
}

TEST_F(TextImportTest, shouldGiveBoundFieldsEmptyValuesOnAnEmptyLine) {
  SCollected c =
      ReadFile("a,b,c,d\r\n\r\n", ",",
               {1, TargetIndexOf("Preferred e-mail (number)"), TargetIndexOf("Nameday"), -1});
  ASSERT_EQ(c.records.size(), 1u);
  const CTreeItem& r = *c.records[0];
  EXPECT_EQ(r.m_strFirstName, "");
  EXPECT_EQ(r.m_nPrefEmail, 0);
  EXPECT_EQ(r.m_bNameDay, 1);
  EXPECT_EQ(r.m_dtNameDay.m_status, CDateTime::invalid);
  // Fields not bound keep the new record's values.
  EXPECT_EQ(r.m_strLabel, "Unknown");
  EXPECT_EQ(r.m_nPrefUrl, -1);
  EXPECT_EQ(r.m_bBirthday, 0);
}

TEST_F(TextImportTest, shouldImportOneDefaultRecordPerLineWhenNothingIsBound) {
  SCollected c = ReadFile("x;y\r\n1;2\r\n\r\n3;4", ";");
  ASSERT_EQ(c.records.size(), 3u);
  for (const auto& r : c.records) ExpectSameFields(CTreeItem(), *r);
  EXPECT_EQ(c.lines, (std::vector<std::int64_t>{1, 2, 3}));
}

TEST(FieldList, shouldOfferTheWizardsTargetsInListOrder) {
  const auto& items = TargetItems();
  EXPECT_EQ(items[0], " - Nothing -");
  EXPECT_EQ(items[5], "Label for tree view");
  EXPECT_EQ(items[22], "Personal IP Phone");
  EXPECT_EQ(items[44], "Anniversary (string)");
  EXPECT_EQ(items[45], "Remark");
  EXPECT_EQ(FieldByTarget(0), nullptr);
  EXPECT_EQ(FieldByTarget(-1), nullptr);
  EXPECT_EQ(FieldByTarget(46), nullptr);
  EXPECT_EQ(FieldByTarget(22)->pText, &CTreeItem::m_strHomeIpPhone);
  EXPECT_EQ(FieldByTarget(42)->pDate, &CTreeItem::m_dtNameDay);
  EXPECT_EQ(FieldByTarget(42)->pNumber, &CTreeItem::m_bNameDay);
  EXPECT_EQ(TargetIndexOf("Home IP Phone"), 22);
  EXPECT_EQ(TargetIndexOf("Personal IP Phone"), 22);
  EXPECT_EQ(TargetIndexOf(" - Nothing -"), 0);
  EXPECT_EQ(TargetIndexOf("Fax"), -1);
}

TEST_F(TextImportTest, shouldDropTheByteOrderMarkOfAUtf8File) {
  const std::string bytes = "\xEF\xBB\xBFJméno;Město\r\nŽofie;Plzeň\r\n";
  CStringLineInput in(bytes);
  std::string first;
  ASSERT_TRUE(ReadFirstLine(in, first));
  STextFormat format;
  format.bindings = MakeColumnBindings(first, ";");
  ASSERT_EQ(format.bindings.size(), 2u);
  EXPECT_EQ(format.bindings[0].m_strName, "Jméno");
  format.strDelimiter = ";";
  format.bindings[0].m_nTarget = 1;
  format.bindings[1].m_nTarget = TargetIndexOf("City (Home Address)");
  SCollected c;
  ASSERT_TRUE(ReadTextRows(in, format, c.Hooks(), kDmy));
  ASSERT_EQ(c.records.size(), 1u);
  EXPECT_EQ(c.records[0]->m_strFirstName, "Žofie");
  EXPECT_EQ(c.records[0]->m_strHomeCity, "Plzeň");
}

TEST_F(TextImportTest, shouldPlanOnlyTheColumnThatWinsForEachBoundField) {
  // A header of 100,000 columns with three fields bound: a row is read by three columns, not
  // by every column of the file, so an empty line costs nothing per column.
  std::vector<ColumnBinding> bindings(100000);
  const int surname = TargetIndexOf("Surname");
  bindings[99999].m_nTarget = 1;
  bindings[7].m_nTarget = surname;
  bindings[50000].m_nTarget = surname;
  bindings[3].m_nTarget = TargetIndexOf("Birthday");
  bindings[4].m_nTarget = 0;  // read and discarded
  const std::vector<SBoundColumn> plan = PlanBoundColumns(bindings);
  ASSERT_EQ(plan.size(), 3u);
  EXPECT_EQ(plan[0].nColumn, 3u);
  EXPECT_EQ(plan[1].nColumn, 50000u);
  EXPECT_EQ(plan[2].nColumn, 99999u);

  std::string line = "\"Kowalski, Jan\"";
  for (int i = 1; i <= 50000; ++i) line += i == 3 ? ",1.2.1990" : i == 50000 ? ",Wójcik" : ",";
  CTreeItem wide, empty;
  ReadBoundRow(line, wide, plan, ",", kDmy);
  EXPECT_EQ(wide.m_strLastName, "Wójcik");
  EXPECT_EQ(wide.m_dtBirthday, CDateTime(1990, 2, 1));
  EXPECT_EQ(wide.m_strFirstName, "");  // column 100,000 lies beyond this line's end
  ReadBoundRow("", empty, plan, ",", kDmy);
  EXPECT_EQ(empty.m_strLastName, "");
  EXPECT_EQ(empty.m_bBirthday, 1);
  EXPECT_EQ(empty.m_dtBirthday.m_status, CDateTime::invalid);
}

// A file without a byte-order mark is UTF-8 when its lines are well-formed UTF-8, and in the
// code page otherwise: "Čapek" must not come in as "ÄŚapek", nor an old file change.
TEST_F(TextImportTest, shouldReadUnmarkedUtf8AsUtf8AndOldFilesInTheCodePage) {
  const struct {
    const char* what;
    std::string bytes;
    ECodePage cp;
  } kCases[] = {
      {"UTF-8, active 1250", "Jméno;Příjmení\r\nKarel;Čapek\r\nŁucja;Wąsowska 漢字\r\n",
       ECodePage::Windows1250},
      {"UTF-8, active 1252", "Jméno;Příjmení\r\nKarel;Čapek\r\nŁucja;Wąsowska 漢字\r\n",
       ECodePage::Windows1252},
      {"windows-1250",
       Utf8ToAnsi("Jméno;Příjmení\r\nKarel;Čapek\r\nŁucja;Wąsowska\r\n", ECodePage::Windows1250),
       ECodePage::Windows1250},
  };
  for (const auto& k : kCases) {
    SetActiveCodePage(k.cp);
    CStringLineInput in(k.bytes);
    std::string first;
    ASSERT_TRUE(ReadFirstLine(in, first));
    EXPECT_EQ(first, "Jméno;Příjmení") << k.what;
    STextFormat format;
    format.strDelimiter = ";";
    format.bindings = MakeColumnBindings(first, ";");
    format.bindings[0].m_nTarget = 1;
    format.bindings[1].m_nTarget = 2;
    SCollected c;
    ASSERT_TRUE(ReadTextRows(in, format, c.Hooks(), kDmy));
    ASSERT_EQ(c.records.size(), 2u) << k.what;
    EXPECT_EQ(c.records[0]->m_strLastName, "Čapek") << k.what;
    EXPECT_EQ(c.records[1]->m_strFirstName, "Łucja") << k.what;
    // Letters outside the code page stay in the record as they do from a marked file.
    EXPECT_TRUE(c.records[1]->m_strLastName.view().starts_with("Wąsowska")) << k.what;
  }
  SetActiveCodePage(ECodePage::Windows1250);
}
