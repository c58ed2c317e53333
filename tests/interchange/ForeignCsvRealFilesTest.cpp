// The reader of other programs' delimited-text exports on real files. Each table was written from
// reading the file: what every contact should hold once read with the preselected bindings.
// The files from GPL and AGPL projects are read from ../shared/data when it is present.
#include <gtest/gtest.h>

#include <deque>
#include <filesystem>

#include "ForeignCsvTestSupport.h"
#include "InterchangeTestSupport.h"
#include "interchange/csv/ForeignCsvReader.h"

using namespace zorvan;
using namespace zorvan::testing;

namespace {

struct SRealFile {
  const char* path;  // under ../shared/data/csv, or "tests:" and a name in tests/data
  std::string_view layout;
  std::string_view delimiter;
  size_t columns;
  std::vector<std::vector<SExpectedField>> contacts;
  // For a header no exporter writes: the targets a user would pick, by column; the others
  // stay unbound.
  std::vector<std::pair<int, int>> userTargets = {};
};

// The ERP's columns as a user would bind them: the customer number kept in the remark, the
// customer's name as the company, its address and phones as the business ones, the contact
// person's names, mobile and e-mail as the person's; the greetings and titles unbound.
std::vector<std::pair<int, int>> LxOfficeTargets() {
  return {{0, targetRemark},
          {2, targetCompany},
          {4, targetBusinessStreet},
          {5, targetBusinessCountry},
          {6, targetBusinessPostalCode},
          {7, targetBusinessCity},
          {8, targetBusinessPhone},
          {9, targetBusinessFax},
          {10, targetBusinessEmail},
          {13, targetFirstName},
          {14, targetLastName},
          {18, targetBusinessMobile},
          {20, targetPersonalEmail}};
}

// A customer row of the ERP's list with only the customer's own columns.
std::vector<SExpectedField> LxOffice(std::string_view number, std::string_view company,
                                     std::string_view street, std::string_view zip,
                                     std::string_view city, std::string_view phone) {
  static std::deque<std::string> remarks;  // the views below point into these
  remarks.push_back("customernumber: " + std::string(number));
  std::vector<SExpectedField> fields = {
      {targetRemark, remarks.back()}, {targetCompany, company},
      {targetLabel, company},         {targetBusinessStreet, street},
      {targetBusinessCountry, "D"},   {targetBusinessPostalCode, zip}};
  if (!city.empty()) fields.push_back({targetBusinessCity, city});
  if (!phone.empty()) fields.push_back({targetBusinessPhone, phone});
  return fields;
}

std::filesystem::path Locate(const std::string& path) {
  if (path.rfind("tests:", 0) == 0) return TestDataPath("other-csv/" + path.substr(6));
  return SharedDataPath() / "csv" / path;
}

const std::vector<SRealFile>& RealFiles() {
  static const std::vector<SRealFile> files = {
      // German desktop export, Windows-1252, every field quoted, rows shorter than the header,
      // a notes value of just a line break, "0.0.00" dates, "Keine Angabe" gender.
      {"tine20/importtest_outlook2013.csv",
       "Outlook",
       ",",
       92,
       {{{targetFirstName, "Christian"},
         {targetLastName, "Baumann"},
         {targetLabel, "Christian Baumann"},
         {targetCompany, "unittest"},
         {targetJobTitle, "Vertrieb"},
         {targetBusinessStreet, "Pickhuben 2"},
         {targetBusinessCity, "Hamburg"},
         {targetBusinessPostalCode, "20457"},
         {targetBusinessCountry, "Deutschland"},
         {targetBusinessPhone, "+49 (0) 40 6432131-550"},
         {targetPersonalEmail, "c.baumann@unittest.de"},
         {targetRemark,
          "E-Mail: Angezeigter Name: Christian Baumann - Metaways (c.baumann@metaways.de)\r\n"
          "Initialen: C.B."}},
        {{targetFirstName, "Cornelius"},
         {targetLastName, "Weiß"},
         {targetLabel, "Cornelius Weiß"},
         {targetCompany, "unittest"},
         {targetJobTitle, "Softwareengineering"},
         {targetBusinessPhone, "040 6432131545"},
         {targetHomePhone, "040 6432131545"},
         {targetPersonalMobile, "0176 164321545"},
         {targetPersonalEmail, "c.weiss@unittest.de"},
         {targetRemark,
          "E-Mail: Angezeigter Name: Cornelius Weiß - Metaways (c.weiss@metaways.de)\r\n"
          "Initialen: C.W."}}}},
      // The webmail's export in the desktop program's column names, Windows-1252, a trailing
      // comma on every row, a whole home address in one column, categories with ";".
      {"tine20/google_contacts.f54a39d4ca-2011-03-15.gmail-outlook-format.csv",
       "Outlook",
       ",",
       88,
       {{{targetPersonalEmail, "vorname.nachmane@googlemail.com"},
         {targetLabel, "vorname.nachmane@googlemail.com"},
         {targetRemark, "Categories: Freunde, Meine Kontakte"}},
        {{targetPersonalEmail, "arg.fisch@web.de"},
         {targetLabel, "arg.fisch@web.de"},
         {targetRemark, "Categories: Freunde, Meine Kontakte"}},
        {{targetBirthday, "1.2.2000"},
         {targetPersonalEmail, "enrico.iko@abc.net"},
         {targetLabel, "enrico.iko@abc.net"},
         {targetPersonalMobile, "0177-1111111"},
         {targetHomeStreet, "straße 1\r\n22453 Hamburg"},
         {targetRemark, "Categories: Meine Kontakte, Freunde"}},
        {{targetPersonalEmail, "jojo.sch1@web.de"},
         {targetLabel, "jojo.sch1@web.de"},
         {targetRemark, "Categories: Freunde, Meine Kontakte"}},
        {{targetPersonalEmail, "gaga.heino@web.de"},
         {targetLabel, "gaga.heino@web.de"},
         {targetRemark, "Categories: Freunde, Meine Kontakte"}},
        {{targetFirstName, "siv"},
         {targetLastName, "ohne"},
         {targetLabel, "siv ohne"},
         {targetPersonalEmail, "siv.ohne@googlemail.com"},
         {targetRemark, "Categories: Freunde, Meine Kontakte"}},
        {{targetPersonalEmail, "siv.ohne@web.de"},
         {targetLabel, "siv.ohne@web.de"},
         {targetRemark, "Categories: Freunde, Meine Kontakte"}}}},
      // The webmail's older own layout: "* My Contacts" markers, " ::: " lists, a whole
      // address that differs from its street.
      {"tine20/google_contacts.4b169938a6-2011-05-01.original.csv",
       "Google Contacts",
       ",",
       40,
       {{{targetLabel, "Ando"}, {targetFirstName, "Ando"}, {targetPersonalMobile, "+49227913452"}},
        {{targetLabel, "Anna"}, {targetFirstName, "Anna"}, {targetPersonalMobile, "+494471707801"}},
        {{targetLabel, "Anne"}, {targetFirstName, "Anne"}, {targetPersonalMobile, "01235684494"}},
        {{targetLabel, "axel"},
         {targetFirstName, "axel"},
         {targetLastName, "gert"},
         {targetPersonalEmail, "abc@here.de"},
         {targetPrefEmail, "0"},
         {targetPersonalMobile, "+4921234435"},
         {targetRemark, "rutan\r\nGroup Membership: kunden"}},
        {{targetLabel, "Bus Winsen"},
         {targetFirstName, "Bus Winsen"},
         {targetHomePhone, "021224351809"},
         {targetHomeStreet, "Niedersachsen Ring 22"},
         {targetHomeCity, "Winsen"},
         {targetRemark, "Address 1 - Formatted (Home): Ring 22\r\nWinsen"}}}},
      // The full older layout: every phone type, two addresses, a relation, two websites.
      {"roundcube/gmail.csv",
       "Google Contacts",
       ",",
       81,
       {{{targetLabel, "Prefix Firstname Middle Lastname Suffix"},
         {targetFirstName, "Firstname"},
         {targetMiddleName, "Middle"},
         {targetLastName, "Lastname"},
         {targetTitle, "Prefix"},
         {targetNickname, "nick"},
         {targetBirthday, "12.12.1975"},
         {targetPersonalEmail, "home@aaa.pl"},
         {targetPrefEmail, "0"},
         {targetBusinessEmail, "work@email.pl"},
         {targetPersonalPager, "pager"},
         {targetHomePhone, "homephone"},
         {targetHomeFax, "homefax"},
         {targetPersonalMobile, "mobile"},
         {targetBusinessPhone, "workphone"},
         {targetBusinessFax, "workfax"},
         {targetHomeStreet, "home_street"},
         {targetHomeCity, "home_city"},
         {targetHomeState, "home_state"},
         {targetHomePostalCode, "home_zip"},
         {targetHomeCountry, "home_country"},
         {targetBusinessStreet, "work_street"},
         {targetBusinessCity, "work_city"},
         {targetBusinessPostalCode, "work_zip"},
         {targetBusinessCountry, "work_country"},
         {targetCompany, "company"},
         {targetJobTitle, "jobtitle"},
         {targetSpouse, "spouse"},
         {targetPersonalWeb, "home.page.com"},
         {targetRemark,
          "note\"note\r\n"
          "Name Suffix: Suffix\r\n"
          "Group Membership: Test\r\n"
          "E-mail 3: unknown@email.com\r\n"
          "E-mail 4 (Other): other@email.com\r\n"
          "Phone 2 (Main): mainphone\r\n"
          "Address 1 - PO Box (Home): home_pobox\r\n"
          "Website 1 (Profile): test.com"}}}},
      // An older Thunderbird layout: a trailing comma after every line, birthday in three
      // columns.
      {"roundcube/tb_plain.csv",
       "Thunderbird",
       ",",
       38,
       {{{targetFirstName, "Firstname"},
         {targetLastName, "Lastname"},
         {targetLabel, "Displayname"},
         {targetNickname, "Nick"},
         {targetPersonalEmail, "test@domain.tld"},
         {targetBusinessEmail, "next@domain.tld"},
         {targetBusinessPhone, "phone work"},
         {targetHomePhone, "phone home"},
         {targetBusinessFax, "fax"},
         {targetBusinessPager, "pager"},
         {targetPersonalMobile, "mobile"},
         {targetHomeStreet, "Priv address"},
         {targetHomeCity, "City"},
         {targetHomeState, "region"},
         {targetHomePostalCode, "xx-xxx"},
         {targetHomeCountry, "USA"},
         {targetBusinessStreet, "Addr work"},
         {targetBusinessCity, "Wcity"},
         {targetBusinessState, "Wstate"},
         {targetBusinessPostalCode, "33-333"},
         {targetBusinessCountry, "Poland"},
         {targetJobTitle, "title"},
         {targetDepartment, "department"},
         {targetCompany, "Organization"},
         {targetBusinessWeb, "http://page.com"},
         {targetPersonalWeb, "http://webpage.tld"},
         {targetBirthday, "15.11.1970"}}}},
      {"roundcube/outlook.csv",
       "Outlook",
       ",",
       3,
       {{{targetPersonalEmail, "test1@domain.tld"},
         {targetBusinessEmail, "test2@domain.tld"},
         {targetLabel, "test1@domain.tld"},
         {targetRemark, "E-mail 3 Address: test3@domain.tld"}}}},
      // The Japanese desktop export (converted to UTF-8): a display name with a comma, False
      // in the private column.
      {"open-xchange/jpcontact.csv",
       "Outlook",
       ",",
       95,
       {{{targetFirstName, "Max"},
         {targetLastName, "Mustermann"},
         {targetLabel, "Max Mustermann"},
         {targetHomeStreet, "Hauptweg"},
         {targetHomeCity, "Olpe"},
         {targetHomePostalCode, "12345"},
         {targetHomeCountry, "Deutschland"},
         {targetBirthday, "1.1.1990"},
         {targetPersonalEmail, "max.mustermann@invalid.domain.ox"},
         {targetRemark, "電子メール表示名: Mustermann, max"}}}},
      {"issues/owncloud-contacts-issue827-google-csv.csv",
       "Google Contacts",
       ",",
       45,
       {{{targetLabel, "Имя Фамилия"},
         {targetFirstName, "Имя"},
         {targetLastName, "Фамилия"},
         {targetPersonalEmail, "email@example.com"},
         {targetPrefEmail, "0"},
         {targetPersonalMobile, "+7 000 000-00-00"},
         {targetRemark, "Group Membership: University, School"}}}},
      {"issues/owncloud-contacts-issue817-google-csv.csv",
       "Google Contacts",
       ",",
       29,
       {{{targetLabel, "Owncloud 8 test"},
         {targetFirstName, "Owncloud"},
         {targetMiddleName, "8"},
         {targetLastName, "test"},
         {targetPersonalMobile, "444 111 5552"}}}},
      // The same file as changed later by its project: family names and a yomi name added.
      {"tine20/google_contacts.csv",
       "Google Contacts",
       ",",
       40,
       {{{targetLabel, "Ando"},
         {targetFirstName, "Ando"},
         {targetLastName, "family"},
         {targetPersonalMobile, "+49227913452"},
         {targetRemark, "Yomi Name: yomi"}},
        {{targetLabel, "Anna"},
         {targetFirstName, "Anna"},
         {targetLastName, "family"},
         {targetPersonalMobile, "+494471707801"}},
        {{targetLabel, "Anne"},
         {targetFirstName, "Anne"},
         {targetLastName, "family"},
         {targetPersonalMobile, "01235684494"}},
        {{targetLabel, "axel"},
         {targetFirstName, "axel"},
         {targetLastName, "gert"},
         {targetPersonalEmail, "abc@here.de"},
         {targetPrefEmail, "0"},
         {targetPersonalMobile, "+4921234435"},
         {targetRemark, "rutan\r\nGroup Membership: kunden"}},
        {{targetLabel, "Bus Winsen"},
         {targetFirstName, "Bus Winsen"},
         {targetLastName, "family"},
         {targetHomePhone, "021224351809"},
         {targetHomeStreet, "Niedersachsen Ring 22"},
         {targetHomeCity, "Winsen"},
         {targetRemark, "Address 1 - Formatted (Home): Ring 22\r\nWinsen"}}}},
      // One column no exporter names alone; bound by hand.
      {"roundcube/email.csv",
       "",
       ",",
       1,
       {{{targetPersonalEmail, "test1@domain.tld"}, {targetLabel, "test1@domain.tld"}},
        {{targetPersonalEmail, "test2@domain.tld"}, {targetLabel, "test2@domain.tld"}},
        {{targetPersonalEmail, "test3@domain.tld"}, {targetLabel, "test3@domain.tld"}},
        {{targetPersonalEmail, "test4@domain.tld"}, {targetLabel, "test4@domain.tld"}}},
       {{0, targetPersonalEmail}}},
      // An ERP's customer list: technical lower-case names, bound by hand.
      {"tine20/importtest_lxoffice1.csv",
       "",
       ",",
       21,
       {LxOffice("73029", "Wolfgang Berger", "Heuerstraße 2", "11108", "Weixdorf DD", "12345"),
        LxOffice("72810", "Nitsch", "Heuerstraße 16", "11418", "Staßfurt", "1234"),
        LxOffice("72911", "Wolfer", "Heuerstraße 44", "11558", "Großenhain", "")},
       LxOfficeTargets()},
      {"tine20/importtest_lxoffice2.csv",
       "",
       ",",
       21,
       {LxOffice("73029", "Berger", "Heuerstraße 2", "11108", "", "12345"),
        LxOffice("72810", "Nitsch", "Heuerstraße 16", "22222", "Straßbough", "12345"),
        LxOffice("72911", "Wolfer", "Heuerstraße 44", "11558", "Großenhain", ""),
        LxOffice("73222", "Dr. Schutheiss", "Heuerstraße 4", "11120", "Magdeburg", "1233453"),
        {{targetRemark, "customernumber: 60014"},
         {targetCompany, "Gartencenter Röhr & Vater"},
         {targetBusinessStreet, "Südstraße 811"},
         {targetBusinessCountry, "D"},
         {targetBusinessPostalCode, "1112"},
         {targetBusinessCity, "Dorf"},
         {targetBusinessPhone, "123 2323883"},
         {targetBusinessFax, "123 92319"},
         {targetBusinessEmail, "adr1l@googlemail.com, adr2l@googlemail.com, adr3l@googlemail.com"},
         {targetFirstName, "Bruno"},
         {targetLastName, "Röhr"},
         {targetLabel, "Bruno Röhr"},
         {targetBusinessMobile, "0172 6508462"},
         {targetPersonalEmail, "jr@schwimmbad-und-mehr.de"}},
        LxOffice("72811", "Nitsch", "Heuerstraße 16", "22222", "Straßback", "12345")},
       LxOfficeTargets()},
      {"header-only/google-contacts-csv-2020s.header.csv", "Google Contacts", ",", 48, {}},
      {"header-only/outlook-desktop-en.header.csv", "Outlook", ",", 92, {}},
  };
  return files;
}

// Thunderbird's own export, comma- or tab-separated: CR LF rows, a lone CR and a lone LF and a
// tab inside quoted values, doubled quotes, UTF-8 notes.
std::vector<std::vector<SExpectedField>> ThunderbirdExportContacts() {
  return {{{targetFirstName, "contact"},
           {targetLastName, "one"},
           {targetLabel, "contact number one"},
           {targetPersonalEmail, "contact1@invalid"}},
          {{targetFirstName, "contact"},
           {targetLastName, "two"},
           {targetLabel, "contact number two"},
           {targetPersonalEmail, "contact2@invalid"},
           {targetJobTitle, "\"worker\""},
           {targetRemark,
            "here's some unicode text…\r\n"
            "Custom 1: custom, 1\r\n"
            "Custom 2: custom\t2\r\n"
            "Custom 3: custom\r\n3\r\n"
            "Custom 4: custom\r\n4"}}};
}

void CheckFile(const SRealFile& file) {
  SCOPED_TRACE(file.path);
  CForeignCsvFile csv;
  ASSERT_TRUE(csv.Parse(ReadBytes(Locate(file.path))));
  EXPECT_EQ(csv.LayoutName(), file.layout);
  EXPECT_EQ(csv.IsKnownLayout(), !file.layout.empty());
  EXPECT_EQ(csv.Delimiter(), file.delimiter);
  EXPECT_EQ(csv.Header().size(), file.columns);
  EXPECT_EQ(csv.RowCount(), file.contacts.size());
  std::vector<ColumnBinding> bindings = csv.Bindings();
  // A file bound by hand: the user binds these columns and no other, whatever came preselected.
  if (!file.userTargets.empty())
    for (ColumnBinding& b : bindings) b.m_nTarget = targetNoChoice;
  for (const auto& [column, target] : file.userTargets) bindings.at(column).m_nTarget = target;
  const auto records = ReadAllContacts(csv, EDateOrder::dayMonthYear, &bindings);
  ASSERT_EQ(records.size(), file.contacts.size());
  for (size_t i = 0; i < records.size(); ++i)
    ExpectFields(*records[i], file.contacts[i],
                 std::string(file.path) + " contact " + std::to_string(i + 1));
}

class ForeignCsvRealFilesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!std::filesystem::is_directory(SharedDataPath() / "csv"))
      GTEST_SKIP() << "no real files at " << SharedDataPath();
  }
};

}  // namespace

TEST(ForeignCsvCopiedFilesTest, shouldReadThunderbirdExportsInBothDelimiters) {
  CheckFile({"tests:export.csv", "Thunderbird", ",", 37, ThunderbirdExportContacts()});
  CheckFile({"tests:export.txt", "Thunderbird", "\t", 37, ThunderbirdExportContacts()});
}

TEST_F(ForeignCsvRealFilesTest, shouldReadEveryFieldOfEachFile) {
  for (const SRealFile& file : RealFiles()) CheckFile(file);
}

TEST_F(ForeignCsvRealFilesTest, shouldPreselectTargetsOfHeaderOnlyLayouts) {
  struct SCase {
    const char* path;
    std::vector<std::pair<std::string_view, int>> targets;
  };
  const SCase cases[] = {
      {"header-only/google-contacts-csv-2020s.header.csv",
       {{"First Name", targetFirstName},
        {"Name Prefix", targetTitle},
        {"Organization Name", targetCompany},
        {"Organization Title", targetJobTitle},
        {"Notes", targetRemark},
        {"Labels", targetRemark},
        {"E-mail 1 - Label", targetNothing},
        {"E-mail 1 - Value", targetPersonalEmail},
        {"E-mail 2 - Value", targetBusinessEmail},
        {"E-mail 3 - Value", targetRemark},
        {"Phone 1 - Value", targetPersonalMobile},
        {"Address 1 - Street", targetHomeStreet},
        {"Address 1 - Postal Code", targetHomePostalCode},
        {"Address 1 - PO Box", targetRemark},
        {"Website 1 - Value", targetPersonalWeb},
        {"Event 1 - Value", targetRemark},
        {"Custom Field 1 - Value", targetRemark}}},
      {"header-only/outlook-desktop-en.header.csv",
       {{"Title", targetTitle},
        {"Business Street 2", targetBusinessStreet},
        {"Business Country/Region", targetBusinessCountry},
        {"Home Country/Region", targetHomeCountry},
        {"Other City", targetRemark},
        {"E-mail Type", targetNothing},
        {"E-mail 2 Address", targetBusinessEmail},
        {"Notes", targetRemark},
        {"Web Page", targetPersonalWeb},
        {"Office Location", targetOffice},
        {"Spouse", targetSpouse},
        {"Pager", targetBusinessPager}}},
  };
  for (const SCase& c : cases) {
    SCOPED_TRACE(c.path);
    CForeignCsvFile csv;
    ASSERT_TRUE(csv.Parse(ReadBytes(Locate(c.path))));
    const auto bindings = csv.Bindings();
    for (const auto& [name, target] : c.targets) {
      const auto it = std::find_if(bindings.begin(), bindings.end(),
                                   [&](const ColumnBinding& b) { return b.m_strName == name; });
      ASSERT_NE(it, bindings.end()) << name;
      EXPECT_EQ(it->m_nTarget, target) << name;
      EXPECT_TRUE(it->m_strSample.empty());
    }
  }
}

TEST_F(ForeignCsvRealFilesTest, shouldLeaveUnknownLayoutsToTheUser) {
  // A semicolon-separated Windows-1252 file of no known program: its three columns bound by their
  // names, the rows read in the ANSI code page.
  CForeignCsvFile csv;
  ASSERT_TRUE(csv.Parse(ReadBytes(Locate("tine20/importtest_win1252.csv"))));
  EXPECT_FALSE(csv.IsKnownLayout());
  EXPECT_TRUE(csv.IsBoundByNames());
  EXPECT_EQ(csv.LayoutName(), "");
  EXPECT_EQ(csv.Delimiter(), ";");
  auto bindings = csv.Bindings();
  ASSERT_EQ(bindings.size(), 3u);
  EXPECT_EQ(bindings[0].m_strSample, "Peter");
  EXPECT_EQ(bindings[0].m_nTarget, targetFirstName);
  EXPECT_EQ(bindings[1].m_nTarget, targetLastName);
  EXPECT_EQ(bindings[2].m_nTarget, targetPersonalEmail);
  const auto records = ReadAllContacts(csv, EDateOrder::dayMonthYear, &bindings);
  ASSERT_EQ(records.size(), 4u);
  ExpectFields(*records[2],
               {{targetFirstName, "ÖzdemirÖ"},
                {targetLastName, "Üglü"},
                {targetLabel, "ÖzdemirÖ Üglü"},
                {targetPersonalEmail, "oezdemir@ueglue.tu"}},
               "win1252 row 3");

  ASSERT_TRUE(csv.Parse(ReadBytes(Locate("roundcube/email.csv"))));
  EXPECT_FALSE(csv.IsKnownLayout());
  EXPECT_EQ(csv.RowCount(), 4u);
}

TEST_F(ForeignCsvRealFilesTest, shouldReadTheMixedHeaderWithItsOwnAndOtherNames) {
  // A header mixing the desktop program's names with others, UTF-8 with a mark, dates with
  // slashes, a second phone of a kind.
  CForeignCsvFile csv;
  ASSERT_TRUE(csv.Parse(ReadBytes(Locate("roundcube/all.csv"))));
  EXPECT_EQ(csv.LayoutName(), "Outlook");
  EXPECT_EQ(csv.Header().front(), "Display Name");
  const auto records = ReadAllContacts(csv);
  ASSERT_EQ(records.size(), 1u);
  const CTreeItem& r = *records[0];
  EXPECT_EQ(FieldText(r, targetLabel), "Display Name");
  EXPECT_EQ(FieldText(r, targetTitle), "Prefix");
  EXPECT_EQ(FieldText(r, targetNickname), "Nickname");
  EXPECT_EQ(FieldText(r, targetGender), "2");
  EXPECT_EQ(FieldText(r, targetBirthday), "20.1.1991");
  EXPECT_EQ(FieldText(r, targetAnniversary), "20.2.1992");
  EXPECT_EQ(FieldText(r, targetHomePhone), "100");
  EXPECT_EQ(FieldText(r, targetBusinessPhone), "300");
  EXPECT_EQ(FieldText(r, targetBusinessCity), "Work City");
  EXPECT_EQ(FieldText(r, targetSpouse), "Spouse");
  const std::string remark = FieldText(r, targetRemark);
  EXPECT_EQ(remark.rfind("Notes\r\n", 0), 0u) << remark;
  for (const char* line : {"Home Phone 2: 200", "Business Phone 2: 400",
                           "Email Home: home@example.com", "IM Skype: skype", "Categories: test",
                           "Other Street: Other Street", "Maiden Name: Maiden Name"})
    EXPECT_NE(remark.find(std::string("\r\n") + line), std::string::npos) << line;
}
