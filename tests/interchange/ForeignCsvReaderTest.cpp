#include "interchange/csv/ForeignCsvReader.h"

#include <gtest/gtest.h>

#include "ForeignCsvTestSupport.h"
#include "interchange/TextImport.h"
#include "res/CodePage.h"

using namespace zorvan;
using namespace zorvan::testing;

namespace {

constexpr std::string_view kNamesUtf8 =
    "First Name,Last Name,E-mail Address\r\n"
    "Antonín,Dvořák,antonin@dvorak.cz\r\n"
    "Łukasz,Wąsik,lukasz@wasik.pl\r\n"
    "Jürgen,Größ,juergen@groess.de\r\n";

std::string Utf16(std::string_view utf8, bool bigEndian, bool mark) {
  std::string out;
  auto put = [&](char32_t unit) {
    const char hi = static_cast<char>(unit >> 8), lo = static_cast<char>(unit & 0xFF);
    out += bigEndian ? std::string{hi, lo} : std::string{lo, hi};
  };
  if (mark) put(0xFEFF);
  for (size_t pos = 0; pos < utf8.size();) {
    const char32_t c = DecodeUtf8(utf8, pos);
    if (c >= 0x10000) {
      put(0xD800 + ((c - 0x10000) >> 10));
      put(0xDC00 + ((c - 0x10000) & 0x3FF));
    } else {
      put(c);
    }
  }
  return out;
}

std::vector<std::unique_ptr<CTreeItem>> ParseAndRead(std::string_view bytes,
                                                     EDateOrder order = EDateOrder::dayMonthYear) {
  CForeignCsvFile csv;
  EXPECT_TRUE(csv.Parse(bytes));
  return ReadAllContacts(csv, order);
}

class ForeignCsvReaderTest : public ::testing::Test {
 protected:
  void SetUp() override { SetActiveCodePage(ECodePage::Windows1250); }
  void TearDown() override { SetActiveCodePage(ECodePage::Windows1250); }
};

}  // namespace

TEST_F(ForeignCsvReaderTest, shouldDecodeEveryEncodingToTheSameNames) {
  const std::string bytes = std::string(kNamesUtf8);
  const struct {
    const char* name;
    std::string bytes;
  } cases[] = {
      {"UTF-8", bytes},
      {"UTF-8 with mark", "\xEF\xBB\xBF" + bytes},
      {"UTF-16 LE with mark", Utf16(bytes, false, true)},
      {"UTF-16 BE with mark", Utf16(bytes, true, true)},
      {"UTF-16 LE without mark", Utf16(bytes, false, false)},
      {"UTF-16 BE without mark", Utf16(bytes, true, false)},
      {"Windows-1250", Utf8ToAnsi(bytes, ECodePage::Windows1250)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    CForeignCsvFile csv;
    ASSERT_TRUE(csv.Parse(c.bytes));
    EXPECT_EQ(csv.LayoutName(), "Outlook");
    ASSERT_EQ(csv.Header().size(), 3u);
    EXPECT_EQ(csv.Header()[0], "First Name");
    const auto records = ReadAllContacts(csv);
    ASSERT_EQ(records.size(), 3u);
    ExpectFields(*records[0],
                 {{targetFirstName, "Antonín"},
                  {targetLastName, "Dvořák"},
                  {targetLabel, "Antonín Dvořák"},
                  {targetPersonalEmail, "antonin@dvorak.cz"}},
                 "Czech");
    ExpectFields(*records[1],
                 {{targetFirstName, "Łukasz"},
                  {targetLastName, "Wąsik"},
                  {targetLabel, "Łukasz Wąsik"},
                  {targetPersonalEmail, "lukasz@wasik.pl"}},
                 "Polish");
    ExpectFields(*records[2],
                 {{targetFirstName, "Jürgen"},
                  {targetLastName, "Größ"},
                  {targetLabel, "Jürgen Größ"},
                  {targetPersonalEmail, "juergen@groess.de"}},
                 "German");
  }
}

TEST_F(ForeignCsvReaderTest, shouldReadNonUtf8BytesInTheDetectedCodePageAndNeverStoreInvalidUtf8) {
  // "Dvořák" in Windows-1250 bytes (in Windows-1252 0xF8 is "ø"): the detector knows the Czech
  // letters whatever the active code page.
  const std::string ansi = "First Name,Last Name,Notes\r\nAntonin,Dvo\xF8\xE1k,\r\n";
  SetActiveCodePage(ECodePage::Windows1252);
  EXPECT_EQ(FieldText(*ParseAndRead(ansi)[0], targetLastName), "Dvořák");
  SetActiveCodePage(ECodePage::Windows1250);
  EXPECT_EQ(FieldText(*ParseAndRead(ansi)[0], targetLastName), "Dvořák");

  // A mark says UTF-8 but a byte is not: the byte becomes U+FFFD, the rest stays.
  const auto marked = ParseAndRead(
      "\xEF\xBB\xBF"
      "First Name,Last Name,E-mail Address\r\nJ\xFCrgen,Größ,\r\n");
  ASSERT_EQ(marked.size(), 1u);
  EXPECT_EQ(FieldText(*marked[0], targetFirstName), "J\xEF\xBF\xBDrgen");
  EXPECT_EQ(FieldText(*marked[0], targetLastName), "Größ");
  // Unpaired surrogates in UTF-16 likewise.
  std::string utf16 = Utf16("First Name,Last Name,E-mail Address\r\nX,Y,z\r\n", false, true);
  utf16.replace(utf16.size() - 14, 2, "\x00\xD8", 2);  // "X" becomes a lone high surrogate
  const auto lone = ParseAndRead(utf16);
  ASSERT_EQ(lone.size(), 1u);
  EXPECT_EQ(FieldText(*lone[0], targetFirstName), "\xEF\xBF\xBD");
  EXPECT_TRUE(IsWellFormedUtf8(FieldText(*lone[0], targetLabel)));
}

TEST_F(ForeignCsvReaderTest, shouldKeepLineBreaksOfEveryKindInsideQuotesAsCrLf) {
  const std::string file =
      "First Name,Last Name,Notes\n"
      "Anna,Nováková,\"one\rtwo\nthree\r\nfour\"\r"
      "Jan,\"Dvořák\",\"a \"\"quoted\"\" word, and a comma\"\n"
      "\r\n\n"
      "Eva,Malá,plain\r\n";
  CForeignCsvFile csv;
  ASSERT_TRUE(csv.Parse(file));
  EXPECT_EQ(csv.RowCount(), 3u);
  const auto records = ReadAllContacts(csv);
  ASSERT_EQ(records.size(), 3u);
  EXPECT_EQ(FieldText(*records[0], targetRemark), "one\r\ntwo\r\nthree\r\nfour");
  EXPECT_EQ(FieldText(*records[1], targetLastName), "Dvořák");
  EXPECT_EQ(FieldText(*records[1], targetRemark), "a \"quoted\" word, and a comma");
  EXPECT_EQ(FieldText(*records[2], targetLabel), "Eva Malá");
}

TEST_F(ForeignCsvReaderTest, shouldTakeTheDelimiterUsedOutsideQuotesInTheHeader) {
  const struct {
    const char* file;
    std::string_view delimiter;
  } cases[] = {
      {"First Name;Last Name;E-mail Address\r\nJan;Novák;jan@novak.cz\r\n", ";"},
      {"First Name\tLast Name\tE-mail Address\r\nJan\tNovák\tjan@novak.cz\r\n", "\t"},
      {"\"First Name\",\"Last Name\",\"E-mail Address\"\r\nJan,Novák,jan@novak.cz\r\n", ","},
      // More semicolons inside a quoted name than commas outside it.
      {"First Name,Last Name,E-mail Address,\"Notes; more; notes; here\"\r\n"
       "Jan,Novák,jan@novak.cz,x\r\n",
       ","},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    CForeignCsvFile csv;
    ASSERT_TRUE(csv.Parse(c.file));
    EXPECT_EQ(csv.Delimiter(), c.delimiter);
    ASSERT_GE(csv.Header().size(), 3u);
    EXPECT_EQ(csv.Header()[1], "Last Name");
    const auto records = ReadAllContacts(csv);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(FieldText(*records[0], targetLastName), "Novák");
    EXPECT_EQ(FieldText(*records[0], targetPersonalEmail), "jan@novak.cz");
  }
}

TEST_F(ForeignCsvReaderTest, shouldReadRaggedRowsAndKeepValuesBeyondTheHeader) {
  const auto records = ParseAndRead(
      "First Name,Last Name,E-mail Address,Mobile Phone\r\n"
      "Jan\r\n"
      "Petr,Svoboda,petr@svoboda.cz,+420 602 123 456,extra one,,extra three\r\n");
  ASSERT_EQ(records.size(), 2u);
  ExpectFields(*records[0], {{targetFirstName, "Jan"}, {targetLabel, "Jan"}}, "short row");
  ExpectFields(*records[1],
               {{targetFirstName, "Petr"},
                {targetLastName, "Svoboda"},
                {targetLabel, "Petr Svoboda"},
                {targetPersonalEmail, "petr@svoboda.cz"},
                {targetPersonalMobile, "+420 602 123 456"},
                {targetRemark, "Column 5: extra one\r\nColumn 7: extra three"}},
               "long row");

  // A trailing delimiter in the header opens a column without a name; a NUL is no character.
  constexpr char kUnnamed[] =
      "First Name,Last Name,E-mail Address,\r\nJan,No\0vák,jan@novak.cz,stray\r\n";
  const auto unnamed = ParseAndRead(std::string(kUnnamed, sizeof kUnnamed - 1));
  ASSERT_EQ(unnamed.size(), 1u);
  EXPECT_EQ(FieldText(*unnamed[0], targetLastName), "Novák");
  EXPECT_EQ(FieldText(*unnamed[0], targetRemark), "Column 4: stray");
}

TEST_F(ForeignCsvReaderTest, shouldAcceptAHeaderWithoutRowsAndRefuseAFileWithoutHeader) {
  CForeignCsvFile csv;
  EXPECT_TRUE(csv.Parse("\r\n\r\nFirst Name,Last Name,E-mail Address\r\n\r\n"));
  EXPECT_EQ(csv.RowCount(), 0u);
  EXPECT_EQ(csv.Header().size(), 3u);
  EXPECT_TRUE(ReadAllContacts(csv).empty());
  for (const ColumnBinding& b : csv.Bindings()) EXPECT_EQ(b.m_strSample, "");
  EXPECT_FALSE(csv.Parse(""));
  EXPECT_FALSE(csv.Parse("\r\n\n\r"));
  EXPECT_FALSE(csv.Parse("\xEF\xBB\xBF"));
  EXPECT_TRUE(csv.Header().empty());
  EXPECT_EQ(csv.RowCount(), 0u);
  // Rows with nothing in them give no contact.
  EXPECT_TRUE(csv.Parse("First Name,Last Name,E-mail Address\r\n,,\r\n , ,\t\r\n"));
  EXPECT_EQ(csv.RowCount(), 2u);
  EXPECT_TRUE(ReadAllContacts(csv).empty());
}

TEST_F(ForeignCsvReaderTest, shouldCapTheColumnsOfAHostileHeader) {
  std::string file = "First Name" + std::string(1'000'000, ',') + "\r\nJan,Novák\r\n";
  CForeignCsvFile csv;
  ASSERT_TRUE(csv.Parse(file));
  EXPECT_EQ(csv.Header().size(), static_cast<size_t>(kMaxColumns));
  EXPECT_FALSE(csv.IsKnownLayout());
  auto bindings = csv.Bindings();
  ASSERT_EQ(bindings.size(), static_cast<size_t>(kMaxColumns));
  EXPECT_EQ(bindings[1].m_strSample, "Novák");
  bindings[0].m_nTarget = targetFirstName;
  const auto records = ReadAllContacts(csv, EDateOrder::dayMonthYear, &bindings);
  ASSERT_EQ(records.size(), 1u);
  EXPECT_EQ(FieldText(*records[0], targetFirstName), "Jan");
}

TEST_F(ForeignCsvReaderTest, shouldRefuseALineLongerThanTheLimitAndForgetTheFile) {
  // The limit is the interchange files' longest line; a smaller one stands in for it here.
  EXPECT_EQ(kMaxLineBytes, size_t{64} << 20);
  const std::string header = "First Name,Last Name,E-mail Address\n";
  const std::string row = "Zoë,Ξενάκη,zoe@example.gr\n";
  struct SCase {
    std::string text;
    std::string error;  // empty when the file is read
  };
  const SCase cases[] = {
      {std::string(1023, 'a') + "\n" + row, ""},
      {std::string(1024, 'a') + "\n" + row,
       "line 1 is too long to be a contact's (1,025 bytes; at most 1,024 bytes)"},
      {header + row + "Jan,Novák," + std::string(2000, 'x') + "\n",
       "line 3 is too long to be a contact's (2.0 KB; at most 1 KB)"},
      // A quoted value's line breaks belong to its row; the row is counted from its first line.
      {header + row + "Jan,Novák,\"" + std::string(600, 'x') + "\n" + std::string(600, 'y') +
           "\"\n" + row,
       "line 3 is too long to be a contact's (1.2 KB; at most 1 KB)"},
  };
  for (const SCase& c : cases) {
    CForeignCsvFile csv;
    csv.SetMaxRecordBytes(1024);
    const bool read = csv.Parse(c.text);
    EXPECT_EQ(read, c.error.empty());
    EXPECT_EQ(csv.Error(), c.error);
    if (read) continue;
    EXPECT_TRUE(csv.Header().empty());
    EXPECT_EQ(csv.RowCount(), 0u);
    EXPECT_TRUE(ReadAllContacts(csv).empty());
  }
}

TEST_F(ForeignCsvReaderTest, shouldReadEveryColumnOfAWideHeaderOfOneMeaning) {
  // Every column a further line of the street, and below it short rows of varying widths:
  // each line joins the street once, values beyond the header go to the remark.
  std::string file = "Business Street";
  for (int i = 1; i < kMaxColumns; ++i) file += ",Business Street 2";
  file += "\n";
  std::string wide;
  for (int i = 0; i < kMaxColumns; ++i) wide += (i ? ",ř" : "Ulice 1");
  file += wide + "\nKrátká 2\nKrátká 3,patro 2\n";
  CForeignCsvFile csv;
  ASSERT_TRUE(csv.Parse(file));
  EXPECT_EQ(csv.LayoutName(), "Outlook");
  const auto records = ReadAllContacts(csv);
  ASSERT_EQ(records.size(), 3u);
  std::string street = "Ulice 1";
  for (int i = 1; i < kMaxColumns; ++i) street += "\r\nř";
  EXPECT_EQ(FieldText(*records[0], targetBusinessStreet), street);
  EXPECT_EQ(FieldText(*records[1], targetBusinessStreet), "Krátká 2");
  EXPECT_EQ(FieldText(*records[2], targetBusinessStreet), "Krátká 3\r\npatro 2");

  // A row of every width from 1 to 6 below a header of 3.
  std::string ragged = "First Name,Last Name,Nickname\n";
  for (int width = 1; width <= 6; ++width) {
    for (int i = 0; i < width; ++i) ragged += (i ? ",v" : "Łucja") + std::to_string(i + 1);
    ragged += "\n";
  }
  ASSERT_TRUE(csv.Parse(ragged));
  const auto rows = ReadAllContacts(csv);
  ASSERT_EQ(rows.size(), 6u);
  EXPECT_EQ(FieldText(*rows[0], targetLastName), "");
  EXPECT_EQ(FieldText(*rows[2], targetNickname), "v3");
  EXPECT_EQ(FieldText(*rows[5], targetRemark), "Column 4: v4\r\nColumn 5: v5\r\nColumn 6: v6");
}

TEST_F(ForeignCsvReaderTest, shouldTakeAQuoteNeverClosedAsACharacter) {
  // A stray quote would otherwise make the rest of the file one value.
  const auto records = ParseAndRead(
      "First Name,Last Name,E-mail Address\r\n"
      "Jan,\"Novák\r\n"
      "Eva,Malá,eva@mala.cz\r\n");
  ASSERT_EQ(records.size(), 2u);
  EXPECT_EQ(FieldText(*records[0], targetLastName), "\"Novák");
  EXPECT_EQ(FieldText(*records[1], targetPersonalEmail), "eva@mala.cz");

  // A huge quoted value that is never closed costs one pass.
  std::string huge = "First Name,Last Name,Notes\r\nJan,Novák,\"" + std::string(20'000'000, 'x');
  CForeignCsvFile csv;
  ASSERT_TRUE(csv.Parse(huge));
  EXPECT_EQ(csv.RowCount(), 1u);
  const auto big = ReadAllContacts(csv);
  ASSERT_EQ(big.size(), 1u);
  EXPECT_EQ(FieldText(*big[0], targetRemark).size(), 20'000'001u);
}

TEST_F(ForeignCsvReaderTest, shouldLetTheFirstValueWinAndKeepTheOthersInTheRemark) {
  // Two phones of a kind, a remark column beside the notes, a day without a year, "0.0.00".
  const auto records = ParseAndRead(
      "First Name,Last Name,Home Phone,Home Phone 2,Notes,User 1,Birthday,Anniversary,"
      "Priority,Sensitivity,Private,Gender,Home Street,Home Street 2\r\n"
      "Jürgen,Größ,,+49 30 1234,\"Met in Brno.\nTwice.\",Chess,--03-15,0.0.00,Normal,Normal,"
      "False,Male,Hauptstraße 1,Hinterhaus\r\n"
      "Jan,Novák,+420 1,+420 2,,,2000-02-01,01.02.2000,High,Private,True,Unspecified,,"
      "Dvůr\r\n");
  ASSERT_EQ(records.size(), 2u);
  ExpectFields(*records[0],
               {{targetFirstName, "Jürgen"},
                {targetLastName, "Größ"},
                {targetLabel, "Jürgen Größ"},
                {targetHomePhone, "+49 30 1234"},
                {targetGender, "1"},
                {targetHomeStreet, "Hauptstraße 1\r\nHinterhaus"},
                {targetRemark, "Met in Brno.\r\nTwice.\r\nUser 1: Chess\r\nBirthday: --03-15"}},
               "first row");
  ExpectFields(
      *records[1],
      {{targetFirstName, "Jan"},
       {targetLastName, "Novák"},
       {targetLabel, "Jan Novák"},
       {targetHomePhone, "+420 1"},
       {targetBirthday, "1.2.2000"},
       {targetAnniversary, "1.2.2000"},
       {targetHomeStreet, "Dvůr"},
       {targetRemark,
        "Home Phone 2: +420 2\r\nPriority: High\r\nSensitivity: Private\r\nPrivate: True"}},
      "second row");
}

TEST_F(ForeignCsvReaderTest, shouldReadSlashedDatesInTheGivenOrder) {
  const std::string file = "First Name,Last Name,Birthday\r\nJan,Novák,02/01/1990\r\n";
  EXPECT_EQ(FieldText(*ParseAndRead(file, EDateOrder::dayMonthYear)[0], targetBirthday),
            "2.1.1990");
  EXPECT_EQ(FieldText(*ParseAndRead(file, EDateOrder::monthDayYear)[0], targetBirthday),
            "1.2.1990");
}

TEST_F(ForeignCsvReaderTest, shouldComposeTheLabelLikeACardsFormattedName) {
  const auto records = ParseAndRead(
      "Display Name,First Name,Last Name,Organization,Primary Email,Secondary Email\r\n"
      "Honza,Jan,Novák,Firma s.r.o.,jan@novak.cz,\r\n"
      ",Jan,Novák,Firma s.r.o.,jan@novak.cz,\r\n"
      ",,,Firma s.r.o.,jan@novak.cz,\r\n"
      ",,,,jan@novak.cz,\r\n"
      ",,,,,prace@novak.cz\r\n");
  ASSERT_EQ(records.size(), 5u);
  const char* labels[] = {"Honza", "Jan Novák", "Firma s.r.o.", "jan@novak.cz", "prace@novak.cz"};
  for (size_t i = 0; i < 5; ++i) EXPECT_EQ(FieldText(*records[i], targetLabel), labels[i]);
}

TEST_F(ForeignCsvReaderTest, shouldChooseTheFieldByTheTypeColumnWhileTheBindingIsKept) {
  const std::string file =
      "Name,Given Name,Family Name,Group Membership,E-mail 1 - Type,E-mail 1 - Value,"
      "E-mail 2 - Type,E-mail 2 - Value,Phone 1 - Type,Phone 1 - Value,Phone 2 - Type,"
      "Phone 2 - Value,Relation 1 - Type,Relation 1 - Value,Event 1 - Type,Event 1 - Value,"
      "Address 1 - Type,Address 1 - Street,Address 1 - City,IM 1 - Type,IM 1 - Service,"
      "IM 1 - Value,Custom Field 1 - Type,Custom Field 1 - Value\r\n"
      "Łukasz Wąsik,Łukasz,Wąsik,* myContacts ::: * Friends ::: Rodzina,Work,lukasz@firma.pl,"
      "* Home,lukasz@dom.pl,Work Fax,+48 22 111,Mobile,+48 600 222,Child,Ola,Anniversary,"
      "2010-06-05,Work,ul. Długa 5,Kraków,Home,Skype,lwasik,Shoe size,44\r\n";
  CForeignCsvFile csv;
  ASSERT_TRUE(csv.Parse(file));
  EXPECT_EQ(csv.LayoutName(), "Google Contacts");
  auto bindings = csv.Bindings();
  // Preselected by the column's number; the type column decides at reading.
  EXPECT_EQ(bindings[5].m_nTarget, targetPersonalEmail);
  EXPECT_EQ(bindings[4].m_nTarget, targetNothing);
  EXPECT_EQ(bindings[9].m_nTarget, targetPersonalMobile);
  EXPECT_EQ(bindings[9].m_strSample, "+48 22 111");
  auto records = ReadAllContacts(csv, EDateOrder::dayMonthYear, &bindings);
  ASSERT_EQ(records.size(), 1u);
  ExpectFields(*records[0],
               {{targetLabel, "Łukasz Wąsik"},
                {targetFirstName, "Łukasz"},
                {targetLastName, "Wąsik"},
                {targetBusinessEmail, "lukasz@firma.pl"},
                {targetPersonalEmail, "lukasz@dom.pl"},
                {targetPrefEmail, "0"},
                {targetBusinessFax, "+48 22 111"},
                {targetPersonalMobile, "+48 600 222"},
                {targetChildren, "Ola"},
                {targetAnniversary, "5.6.2010"},
                {targetBusinessStreet, "ul. Długa 5"},
                {targetBusinessCity, "Kraków"},
                {targetRemark,
                 "Group Membership: Friends, Rodzina\r\nIM 1 (Skype): lwasik\r\n"
                 "Custom Field 1 (Shoe size): 44"}},
               "kept bindings");

  // Once the user picks a target, the column goes there whatever its type says, and a type
  // column bound to the remark is kept as written.
  bindings[9].m_nTarget = targetHomePhone;
  bindings[4].m_nTarget = targetRemark;
  records = ReadAllContacts(csv, EDateOrder::dayMonthYear, &bindings);
  ASSERT_EQ(records.size(), 1u);
  EXPECT_EQ(FieldText(*records[0], targetHomePhone), "+48 22 111");
  EXPECT_EQ(FieldText(*records[0], targetBusinessFax), "");
  EXPECT_NE(FieldText(*records[0], targetRemark).find("E-mail 1 - Type: Work"), std::string::npos);
}

TEST_F(ForeignCsvReaderTest, shouldReadAnUnknownHeaderOnlyAsBound) {
  CForeignCsvFile csv;
  ASSERT_TRUE(
      csv.Parse("Osoba;Rodina;Štítek;Notes;Číslo\r\nJan;Dvořák;VIP;Old friend;"
                "+420 777\r\n"));
  EXPECT_FALSE(csv.IsKnownLayout());
  EXPECT_FALSE(csv.IsBoundByNames());
  auto bindings = csv.Bindings();
  ASSERT_EQ(bindings.size(), 5u);
  EXPECT_EQ(bindings[1].m_strName, "Rodina");
  EXPECT_EQ(bindings[1].m_strSample, "Dvořák");
  for (const ColumnBinding& b : bindings) EXPECT_EQ(b.m_nTarget, targetNoChoice);
  // Unbound columns are left out, as the user chose.
  EXPECT_TRUE(ReadAllContacts(csv, EDateOrder::dayMonthYear, &bindings).empty());
  bindings[1].m_nTarget = targetLastName;
  bindings[2].m_nTarget = targetRemark;
  bindings[3].m_nTarget = targetRemark;
  const auto records = ReadAllContacts(csv, EDateOrder::dayMonthYear, &bindings);
  ASSERT_EQ(records.size(), 1u);
  ExpectFields(*records[0],
               {{targetLastName, "Dvořák"},
                {targetLabel, "Dvořák"},
                {targetRemark, "Old friend\r\nŠtítek: VIP"}},
               "bound");
}

TEST_F(ForeignCsvReaderTest, shouldBindAnUnknownHeaderByItsNamesWhenThreeColumnsSayWhatTheyHold) {
  // A German export of no program the reader knows: its words, in another order and spelling.
  const std::string file =
      "Nachname;Vorname;Privat-Telefon;E-Mail 2;Lieblingsfarbe;Geburtsdatum\r\n"
      "Größ;Jürgen;+49 30 1234;juergen@groess.de;blau;15.03.1971\r\n";
  CForeignCsvFile csv;
  ASSERT_TRUE(csv.Parse(file));
  EXPECT_FALSE(csv.IsKnownLayout());
  EXPECT_TRUE(csv.IsBoundByNames());
  std::vector<int> targets;
  for (const ColumnBinding& b : csv.Bindings()) targets.push_back(b.m_nTarget);
  EXPECT_EQ(targets, (std::vector<int>{targetLastName, targetFirstName, targetHomePhone,
                                       targetPersonalEmail, targetRemark, targetBirthday}));
  const auto records = ReadAllContacts(csv, EDateOrder::dayMonthYear);
  ASSERT_EQ(records.size(), 1u);
  ExpectFields(*records[0],
               {{targetFirstName, "Jürgen"},
                {targetLastName, "Größ"},
                {targetLabel, "Jürgen Größ"},
                {targetHomePhone, "+49 30 1234"},
                {targetPersonalEmail, "juergen@groess.de"},
                {targetBirthday, "15.3.1971"},
                {targetRemark, "Lieblingsfarbe: blau"}},
               "bound by names");

  // Two names known are too few to tell a header from a line of data.
  ASSERT_TRUE(csv.Parse("Jméno;Adresa;Lieblingsfarbe\r\nJan;Praha;modrá\r\n"));
  EXPECT_FALSE(csv.IsBoundByNames());
  EXPECT_EQ(csv.Bindings().front().m_nTarget, targetNoChoice);
}

TEST_F(ForeignCsvReaderTest, shouldReadAFirstLineOfDataAsAContactBoundByItsValues) {
  const std::string file =
      "Jan Novák,jan@example.cz,+420 777 123 456,17.5.1970,Brno\r\n"
      "Zofia Wąsowska,zofia@example.pl,+48 601 234 567,1.2.1985,Kraków\r\n";
  CForeignCsvFile csv;
  ASSERT_TRUE(csv.Parse(file));
  EXPECT_TRUE(csv.IsFirstLineData());
  EXPECT_FALSE(csv.IsBoundByNames());
  EXPECT_EQ(csv.RowCount(), 2u);
  EXPECT_EQ(csv.Header().front(), "Column 1");
  const auto records = ReadAllContacts(csv, EDateOrder::dayMonthYear);
  ASSERT_EQ(records.size(), 2u);
  ExpectFields(*records[0],
               {{targetLabel, "Jan Novák"},
                {targetPersonalEmail, "jan@example.cz"},
                {targetHomePhone, "+420 777 123 456"},
                {targetBirthday, "17.5.1970"},
                {targetRemark, "Column 5: Brno"}},
               "first line");
  ExpectFields(*records[1],
               {{targetLabel, "Zofia Wąsowska"},
                {targetPersonalEmail, "zofia@example.pl"},
                {targetHomePhone, "+48 601 234 567"},
                {targetBirthday, "1.2.1985"},
                {targetRemark, "Column 5: Kraków"}},
               "second line");

  // A line of words alone is a header; said to be data, it is read as a contact.
  ASSERT_TRUE(csv.Parse("Jan Novák;Praha\r\nPetr Dvořák;Brno\r\n"));
  EXPECT_FALSE(csv.IsFirstLineData());
  csv.SetFirstLineIsData(true);
  ASSERT_TRUE(csv.Parse("Jan Novák;Praha\r\nPetr Dvořák;Brno\r\n"));
  EXPECT_TRUE(csv.IsFirstLineData());
  EXPECT_EQ(ReadAllContacts(csv, EDateOrder::dayMonthYear).size(), 2u);
  // Column names beside an e-mail address make a header.
  csv.SetFirstLineIsData(false);
  ASSERT_TRUE(csv.Parse("Name,info@example.cz\r\nJan,jan@example.cz\r\n"));
  EXPECT_FALSE(csv.IsFirstLineData());
}
