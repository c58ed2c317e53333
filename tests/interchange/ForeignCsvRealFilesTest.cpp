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
namespace t = zorvan::testing::target;

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
  return {{0, t::remark},     {2, t::company},  {4, t::workStreet}, {5, t::workCountry},
          {6, t::workZip},    {7, t::workCity}, {8, t::workPhone},  {9, t::workFax},
          {10, t::workEmail}, {13, t::first},   {14, t::last},      {18, t::workMobile},
          {20, t::email}};
}

// A customer row of the ERP's list with only the customer's own columns.
std::vector<SExpectedField> LxOffice(std::string_view number, std::string_view company,
                                     std::string_view street, std::string_view zip,
                                     std::string_view city, std::string_view phone) {
  static std::deque<std::string> remarks;  // the views below point into these
  remarks.push_back("customernumber: " + std::string(number));
  std::vector<SExpectedField> fields = {{t::remark, remarks.back()}, {t::company, company},
                                        {t::label, company},         {t::workStreet, street},
                                        {t::workCountry, "D"},       {t::workZip, zip}};
  if (!city.empty()) fields.push_back({t::workCity, city});
  if (!phone.empty()) fields.push_back({t::workPhone, phone});
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
       {{{t::first, "Christian"},
         {t::last, "Baumann"},
         {t::label, "Christian Baumann"},
         {t::company, "unittest"},
         {t::jobTitle, "Vertrieb"},
         {t::workStreet, "Pickhuben 2"},
         {t::workCity, "Hamburg"},
         {t::workZip, "20457"},
         {t::workCountry, "Deutschland"},
         {t::workPhone, "+49 (0) 40 6432131-550"},
         {t::email, "c.baumann@unittest.de"},
         {t::remark,
          "E-Mail: Angezeigter Name: Christian Baumann - Metaways (c.baumann@metaways.de)\r\n"
          "Initialen: C.B."}},
        {{t::first, "Cornelius"},
         {t::last, "Weiß"},
         {t::label, "Cornelius Weiß"},
         {t::company, "unittest"},
         {t::jobTitle, "Softwareengineering"},
         {t::workPhone, "040 6432131545"},
         {t::homePhone, "040 6432131545"},
         {t::mobile, "0176 164321545"},
         {t::email, "c.weiss@unittest.de"},
         {t::remark,
          "E-Mail: Angezeigter Name: Cornelius Weiß - Metaways (c.weiss@metaways.de)\r\n"
          "Initialen: C.W."}}}},
      // The webmail's export in the desktop program's column names, Windows-1252, a trailing
      // comma on every row, a whole home address in one column, categories with ";".
      {"tine20/google_contacts.f54a39d4ca-2011-03-15.gmail-outlook-format.csv",
       "Outlook",
       ",",
       88,
       {{{t::email, "vorname.nachmane@googlemail.com"},
         {t::label, "vorname.nachmane@googlemail.com"},
         {t::remark, "Categories: Freunde, Meine Kontakte"}},
        {{t::email, "arg.fisch@web.de"},
         {t::label, "arg.fisch@web.de"},
         {t::remark, "Categories: Freunde, Meine Kontakte"}},
        {{t::birthday, "1.2.2000"},
         {t::email, "enrico.iko@abc.net"},
         {t::label, "enrico.iko@abc.net"},
         {t::mobile, "0177-1111111"},
         {t::homeStreet, "straße 1\r\n22453 Hamburg"},
         {t::remark, "Categories: Meine Kontakte, Freunde"}},
        {{t::email, "jojo.sch1@web.de"},
         {t::label, "jojo.sch1@web.de"},
         {t::remark, "Categories: Freunde, Meine Kontakte"}},
        {{t::email, "gaga.heino@web.de"},
         {t::label, "gaga.heino@web.de"},
         {t::remark, "Categories: Freunde, Meine Kontakte"}},
        {{t::first, "siv"},
         {t::last, "ohne"},
         {t::label, "siv ohne"},
         {t::email, "siv.ohne@googlemail.com"},
         {t::remark, "Categories: Freunde, Meine Kontakte"}},
        {{t::email, "siv.ohne@web.de"},
         {t::label, "siv.ohne@web.de"},
         {t::remark, "Categories: Freunde, Meine Kontakte"}}}},
      // The webmail's older own layout: "* My Contacts" markers, " ::: " lists, a whole
      // address that differs from its street.
      {"tine20/google_contacts.4b169938a6-2011-05-01.original.csv",
       "Google Contacts",
       ",",
       40,
       {{{t::label, "Ando"}, {t::first, "Ando"}, {t::mobile, "+49227913452"}},
        {{t::label, "Anna"}, {t::first, "Anna"}, {t::mobile, "+494471707801"}},
        {{t::label, "Anne"}, {t::first, "Anne"}, {t::mobile, "01235684494"}},
        {{t::label, "axel"},
         {t::first, "axel"},
         {t::last, "gert"},
         {t::email, "abc@here.de"},
         {t::prefEmail, "0"},
         {t::mobile, "+4921234435"},
         {t::remark, "rutan\r\nGroup Membership: kunden"}},
        {{t::label, "Bus Winsen"},
         {t::first, "Bus Winsen"},
         {t::homePhone, "021224351809"},
         {t::homeStreet, "Niedersachsen Ring 22"},
         {t::homeCity, "Winsen"},
         {t::remark, "Address 1 - Formatted (Home): Ring 22\r\nWinsen"}}}},
      // The full older layout: every phone type, two addresses, a relation, two websites.
      {"roundcube/gmail.csv",
       "Google Contacts",
       ",",
       81,
       {{{t::label, "Prefix Firstname Middle Lastname Suffix"},
         {t::first, "Firstname"},
         {t::middle, "Middle"},
         {t::last, "Lastname"},
         {t::title, "Prefix"},
         {t::nickname, "nick"},
         {t::birthday, "12.12.1975"},
         {t::email, "home@aaa.pl"},
         {t::prefEmail, "0"},
         {t::workEmail, "work@email.pl"},
         {t::pager, "pager"},
         {t::homePhone, "homephone"},
         {t::homeFax, "homefax"},
         {t::mobile, "mobile"},
         {t::workPhone, "workphone"},
         {t::workFax, "workfax"},
         {t::homeStreet, "home_street"},
         {t::homeCity, "home_city"},
         {t::homeState, "home_state"},
         {t::homeZip, "home_zip"},
         {t::homeCountry, "home_country"},
         {t::workStreet, "work_street"},
         {t::workCity, "work_city"},
         {t::workZip, "work_zip"},
         {t::workCountry, "work_country"},
         {t::company, "company"},
         {t::jobTitle, "jobtitle"},
         {t::spouse, "spouse"},
         {t::web, "home.page.com"},
         {t::remark,
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
      {"roundcube/tb_plain.csv", "Thunderbird", ",", 38, {{{t::first, "Firstname"},
                                                           {t::last, "Lastname"},
                                                           {t::label, "Displayname"},
                                                           {t::nickname, "Nick"},
                                                           {t::email, "test@domain.tld"},
                                                           {t::workEmail, "next@domain.tld"},
                                                           {t::workPhone, "phone work"},
                                                           {t::homePhone, "phone home"},
                                                           {t::workFax, "fax"},
                                                           {t::workPager, "pager"},
                                                           {t::mobile, "mobile"},
                                                           {t::homeStreet, "Priv address"},
                                                           {t::homeCity, "City"},
                                                           {t::homeState, "region"},
                                                           {t::homeZip, "xx-xxx"},
                                                           {t::homeCountry, "USA"},
                                                           {t::workStreet, "Addr work"},
                                                           {t::workCity, "Wcity"},
                                                           {t::workState, "Wstate"},
                                                           {t::workZip, "33-333"},
                                                           {t::workCountry, "Poland"},
                                                           {t::jobTitle, "title"},
                                                           {t::department, "department"},
                                                           {t::company, "Organization"},
                                                           {t::workWeb, "http://page.com"},
                                                           {t::web, "http://webpage.tld"},
                                                           {t::birthday, "15.11.1970"}}}},
      {"roundcube/outlook.csv",
       "Outlook",
       ",",
       3,
       {{{t::email, "test1@domain.tld"},
         {t::workEmail, "test2@domain.tld"},
         {t::label, "test1@domain.tld"},
         {t::remark, "E-mail 3 Address: test3@domain.tld"}}}},
      // The Japanese desktop export (converted to UTF-8): a display name with a comma, False
      // in the private column.
      {"open-xchange/jpcontact.csv",
       "Outlook",
       ",",
       95,
       {{{t::first, "Max"},
         {t::last, "Mustermann"},
         {t::label, "Max Mustermann"},
         {t::homeStreet, "Hauptweg"},
         {t::homeCity, "Olpe"},
         {t::homeZip, "12345"},
         {t::homeCountry, "Deutschland"},
         {t::birthday, "1.1.1990"},
         {t::email, "max.mustermann@invalid.domain.ox"},
         {t::remark, "電子メール表示名: Mustermann, max"}}}},
      {"issues/owncloud-contacts-issue827-google-csv.csv",
       "Google Contacts",
       ",",
       45,
       {{{t::label, "Имя Фамилия"},
         {t::first, "Имя"},
         {t::last, "Фамилия"},
         {t::email, "email@example.com"},
         {t::prefEmail, "0"},
         {t::mobile, "+7 000 000-00-00"},
         {t::remark, "Group Membership: University, School"}}}},
      {"issues/owncloud-contacts-issue817-google-csv.csv",
       "Google Contacts",
       ",",
       29,
       {{{t::label, "Owncloud 8 test"},
         {t::first, "Owncloud"},
         {t::middle, "8"},
         {t::last, "test"},
         {t::mobile, "444 111 5552"}}}},
      // The same file as changed later by its project: family names and a yomi name added.
      {"tine20/google_contacts.csv",
       "Google Contacts",
       ",",
       40,
       {{{t::label, "Ando"},
         {t::first, "Ando"},
         {t::last, "family"},
         {t::mobile, "+49227913452"},
         {t::remark, "Yomi Name: yomi"}},
        {{t::label, "Anna"}, {t::first, "Anna"}, {t::last, "family"}, {t::mobile, "+494471707801"}},
        {{t::label, "Anne"}, {t::first, "Anne"}, {t::last, "family"}, {t::mobile, "01235684494"}},
        {{t::label, "axel"},
         {t::first, "axel"},
         {t::last, "gert"},
         {t::email, "abc@here.de"},
         {t::prefEmail, "0"},
         {t::mobile, "+4921234435"},
         {t::remark, "rutan\r\nGroup Membership: kunden"}},
        {{t::label, "Bus Winsen"},
         {t::first, "Bus Winsen"},
         {t::last, "family"},
         {t::homePhone, "021224351809"},
         {t::homeStreet, "Niedersachsen Ring 22"},
         {t::homeCity, "Winsen"},
         {t::remark, "Address 1 - Formatted (Home): Ring 22\r\nWinsen"}}}},
      // One column no exporter names alone; bound by hand.
      {"roundcube/email.csv",
       "",
       ",",
       1,
       {{{t::email, "test1@domain.tld"}, {t::label, "test1@domain.tld"}},
        {{t::email, "test2@domain.tld"}, {t::label, "test2@domain.tld"}},
        {{t::email, "test3@domain.tld"}, {t::label, "test3@domain.tld"}},
        {{t::email, "test4@domain.tld"}, {t::label, "test4@domain.tld"}}},
       {{0, t::email}}},
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
        {{t::remark, "customernumber: 60014"},
         {t::company, "Gartencenter Röhr & Vater"},
         {t::workStreet, "Südstraße 811"},
         {t::workCountry, "D"},
         {t::workZip, "1112"},
         {t::workCity, "Dorf"},
         {t::workPhone, "123 2323883"},
         {t::workFax, "123 92319"},
         {t::workEmail, "adr1l@googlemail.com, adr2l@googlemail.com, adr3l@googlemail.com"},
         {t::first, "Bruno"},
         {t::last, "Röhr"},
         {t::label, "Bruno Röhr"},
         {t::workMobile, "0172 6508462"},
         {t::email, "jr@schwimmbad-und-mehr.de"}},
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
  return {{{t::first, "contact"},
           {t::last, "one"},
           {t::label, "contact number one"},
           {t::email, "contact1@invalid"}},
          {{t::first, "contact"},
           {t::last, "two"},
           {t::label, "contact number two"},
           {t::email, "contact2@invalid"},
           {t::jobTitle, "\"worker\""},
           {t::remark,
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
  for (const auto& [column, target] : file.userTargets) {
    EXPECT_EQ(bindings.at(column).m_nTarget, -1);
    bindings.at(column).m_nTarget = target;
  }
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
       {{"First Name", t::first},
        {"Name Prefix", t::title},
        {"Organization Name", t::company},
        {"Organization Title", t::jobTitle},
        {"Notes", t::remark},
        {"Labels", t::remark},
        {"E-mail 1 - Label", 0},
        {"E-mail 1 - Value", t::email},
        {"E-mail 2 - Value", t::workEmail},
        {"E-mail 3 - Value", t::remark},
        {"Phone 1 - Value", t::mobile},
        {"Address 1 - Street", t::homeStreet},
        {"Address 1 - Postal Code", t::homeZip},
        {"Address 1 - PO Box", t::remark},
        {"Website 1 - Value", t::web},
        {"Event 1 - Value", t::remark},
        {"Custom Field 1 - Value", t::remark}}},
      {"header-only/outlook-desktop-en.header.csv",
       {{"Title", t::title},
        {"Business Street 2", t::workStreet},
        {"Business Country/Region", t::workCountry},
        {"Home Country/Region", t::homeCountry},
        {"Other City", t::remark},
        {"E-mail Type", 0},
        {"E-mail 2 Address", t::workEmail},
        {"Notes", t::remark},
        {"Web Page", t::web},
        {"Office Location", t::office},
        {"Spouse", t::spouse},
        {"Pager", t::workPager}}},
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
  // A semicolon-separated Windows-1252 file and one e-mail column: nothing preselected; bound by
  // hand, the rows read in the ANSI code page.
  CForeignCsvFile csv;
  ASSERT_TRUE(csv.Parse(ReadBytes(Locate("tine20/importtest_win1252.csv"))));
  EXPECT_FALSE(csv.IsKnownLayout());
  EXPECT_EQ(csv.LayoutName(), "");
  EXPECT_EQ(csv.Delimiter(), ";");
  auto bindings = csv.Bindings();
  ASSERT_EQ(bindings.size(), 3u);
  for (const ColumnBinding& b : bindings) EXPECT_EQ(b.m_nTarget, -1);
  EXPECT_EQ(bindings[0].m_strSample, "Peter");
  bindings[0].m_nTarget = t::first;
  bindings[1].m_nTarget = t::last;
  bindings[2].m_nTarget = t::email;
  const auto records = ReadAllContacts(csv, EDateOrder::dayMonthYear, &bindings);
  ASSERT_EQ(records.size(), 4u);
  ExpectFields(*records[2],
               {{t::first, "ÖzdemirÖ"},
                {t::last, "Üglü"},
                {t::label, "ÖzdemirÖ Üglü"},
                {t::email, "oezdemir@ueglue.tu"}},
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
  EXPECT_EQ(FieldText(r, t::label), "Display Name");
  EXPECT_EQ(FieldText(r, t::title), "Prefix");
  EXPECT_EQ(FieldText(r, t::nickname), "Nickname");
  EXPECT_EQ(FieldText(r, t::gender), "2");
  EXPECT_EQ(FieldText(r, t::birthday), "20.1.1991");
  EXPECT_EQ(FieldText(r, t::anniversary), "20.2.1992");
  EXPECT_EQ(FieldText(r, t::homePhone), "100");
  EXPECT_EQ(FieldText(r, t::workPhone), "300");
  EXPECT_EQ(FieldText(r, t::workCity), "Work City");
  EXPECT_EQ(FieldText(r, t::spouse), "Spouse");
  const std::string remark = FieldText(r, t::remark);
  EXPECT_EQ(remark.rfind("Notes\r\n", 0), 0u) << remark;
  for (const char* line : {"Home Phone 2: 200", "Business Phone 2: 400",
                           "Email Home: home@example.com", "IM Skype: skype", "Categories: test",
                           "Other Street: Other Street", "Maiden Name: Maiden Name"})
    EXPECT_NE(remark.find(std::string("\r\n") + line), std::string::npos) << line;
}
