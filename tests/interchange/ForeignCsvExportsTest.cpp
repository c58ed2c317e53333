// The exports of further programs, as files under tests/data/interchange/other-csv (see the
// README there): each table was written from reading the file.
#include <gtest/gtest.h>

#include <string>

#include "ForeignCsvTestSupport.h"
#include "InterchangeTestSupport.h"
#include "interchange/csv/ForeignCsvReader.h"
#include "res/CodePage.h"

using namespace zorvan;
using namespace zorvan::testing;

namespace {

struct SExport {
  const char* file;
  std::string_view layout;
  std::string_view delimiter;
  size_t columns;
  std::vector<std::vector<SExpectedField>> contacts;
};

void CheckExport(const SExport& e) {
  SCOPED_TRACE(e.file);
  CForeignCsvFile csv;
  ASSERT_TRUE(csv.Parse(ReadBytes(TestDataPath(std::string("other-csv/") + e.file))));
  EXPECT_EQ(csv.LayoutName(), e.layout);
  EXPECT_EQ(csv.Delimiter(), e.delimiter);
  EXPECT_EQ(csv.Header().size(), e.columns);
  const auto records = ReadAllContacts(csv);
  ASSERT_EQ(records.size(), e.contacts.size());
  for (size_t i = 0; i < records.size(); ++i)
    ExpectFields(*records[i], e.contacts[i],
                 std::string(e.file) + " contact " + std::to_string(i + 1));
}

// The one contact of every language's file: the names of the columns differ, the values not.
const std::vector<SExpectedField> kThunderbirdContact = {
    {targetFirstName, "Jiří"},
    {targetLastName, "Dvořák"},
    {targetLabel, "Jiří Dvořák"},
    {targetNickname, "Jirka"},
    {targetPersonalEmail, "jiri@dvorak.cz"},
    {targetBusinessEmail, "jiri@firma.cz"},
    {targetBusinessPhone, "+420 541 111 222"},
    {targetHomePhone, "+420 222 333 444"},
    {targetBusinessFax, "+420 541 111 223"},
    {targetBusinessPager, "+420 600 111"},
    {targetPersonalMobile, "+420 777 888 999"},
    {targetHomeStreet, "Dlouhá 5\r\nbyt 12"},
    {targetHomeCity, "Praha"},
    {targetHomeState, "Hlavní město Praha"},
    {targetHomePostalCode, "110 00"},
    {targetHomeCountry, "Česko"},
    {targetBusinessStreet, "Průmyslová 7\r\nhala B"},
    {targetBusinessCity, "Brno"},
    {targetBusinessState, "Jihomoravský kraj"},
    {targetBusinessPostalCode, "602 00"},
    {targetBusinessCountry, "Česko"},
    {targetJobTitle, "Účetní"},
    {targetDepartment, "Finance"},
    {targetCompany, "Firma s.r.o."},
    {targetBusinessWeb, "https://firma.cz"},
    {targetPersonalWeb, "https://dvorak.cz"},
    {targetBirthday, "23.4.1975"},
    {targetRemark, "Potkali jsme se v Ostravě.\r\nVolat po 17. hodině."}};

}  // namespace

TEST(ForeignCsvExportsTest, shouldReadThunderbirdInEachInterfaceLanguage) {
  // French and Czech name the city (and more) of home and work alike; German, Polish and
  // Russian end every line with the delimiter, Russian is tab-separated.
  const SExport files[] = {
      {"thunderbird-de.csv", "Thunderbird", ",", 38, {kThunderbirdContact}},
      {"thunderbird-fr.csv", "Thunderbird", ",", 37, {kThunderbirdContact}},
      {"thunderbird-es.csv", "Thunderbird", ",", 37, {kThunderbirdContact}},
      {"thunderbird-it.csv", "Thunderbird", ",", 37, {kThunderbirdContact}},
      {"thunderbird-cs.csv", "Thunderbird", ",", 37, {kThunderbirdContact}},
      {"thunderbird-pl.csv", "Thunderbird", ",", 38, {kThunderbirdContact}},
      {"thunderbird-nl.csv", "Thunderbird", ",", 37, {kThunderbirdContact}},
      {"thunderbird-pt-BR.csv", "Thunderbird", ",", 37, {kThunderbirdContact}},
      {"thunderbird-ru.txt", "Thunderbird", "\t", 38, {kThunderbirdContact}},
  };
  for (const SExport& e : files) CheckExport(e);
}

TEST(ForeignCsvExportsTest, shouldReadTheExportsOfFurtherPrograms) {
  const std::vector<SExpectedField> juergen = {
      {targetFirstName, "Jürgen"},
      {targetLastName, "Größ"},
      {targetMiddleName, "Karl"},
      {targetLabel, "Jürgen K. Größ"},
      {targetNickname, "Jü"},
      {targetPersonalEmail, "juergen@gross.de"},
      {targetHomeStreet, "Lindenstraße 3"},
      {targetHomeCity, "München"},
      {targetHomePostalCode, "80331"},
      {targetHomeState, "Bayern"},
      {targetHomeCountry, "Deutschland"},
      {targetHomePhone, "+49 89 123"},
      {targetPersonalMobile, "+49 170 555"},
      {targetBusinessStreet, "Industriestraße 9"},
      {targetBusinessCity, "Augsburg"},
      {targetBusinessPostalCode, "86150"},
      {targetBusinessState, "Bayern"},
      {targetBusinessCountry, "Deutschland"},
      {targetBusinessWeb, "https://gross-gmbh.de"},
      {targetBusinessPhone, "+49 821 777"},
      {targetBusinessFax, "+49 821 778"},
      {targetCompany, "Groß GmbH"},
      {targetJobTitle, "Einkäufer"},
      {targetDepartment, "Einkauf"},
      {targetOffice, "Raum 4"},
      {targetRemark, "Kennt Frau Weiß;\r\nruft freitags an."}};
  const std::vector<SExpectedField> zofia = {{targetFirstName, "Zofia"},
                                             {targetLastName, "Wąsik"},
                                             {targetLabel, "Zofia Wąsik"},
                                             {targetPersonalEmail, "zofia@wasik.pl"}};
  const SExport files[] = {
      {"windows-contacts-en.csv", "Windows Contacts", ",", 29, {juergen, zofia}},
      // Semicolons and a byte-order mark, as the German system writes it.
      {"windows-contacts-de.csv", "Windows Contacts", ";", 29, {juergen, zofia}},
      {"yahoo-mail.csv",
       "Yahoo Mail",
       ",",
       39,
       {{{targetFirstName, "Ελένη"},
         {targetLastName, "Παπαδοπούλου"},
         {targetLabel, "Ελένη Παπαδοπούλου"},
         {targetNickname, "Λένα"},
         {targetPersonalEmail, "eleni@example.gr"},
         {targetBusinessEmail, "eleni.work@example.gr"},
         {targetHomePhone, "+30 210 111"},
         {targetBusinessPhone, "+30 210 222"},
         {targetBusinessFax, "+30 210 223"},
         {targetPersonalMobile, "+30 69 4444"},
         {targetPersonalWeb, "https://eleni.example.gr"},
         {targetJobTitle, "Λογίστρια"},
         {targetCompany, "Ακρόπολις ΑΕ"},
         {targetBusinessStreet, "Οδός Ερμού 10"},
         {targetBusinessCity, "Αθήνα"},
         {targetBusinessState, "Αττική"},
         {targetBusinessPostalCode, "105 63"},
         {targetBusinessCountry, "Ελλάδα"},
         {targetHomeStreet, "Πατησίων 5"},
         {targetHomeCity, "Αθήνα"},
         {targetHomePostalCode, "104 34"},
         {targetHomeCountry, "Ελλάδα"},
         {targetRemark,
          "Γνωριμία από τη Θεσσαλονίκη\r\nCategory: Friends, Family\r\nMessenger ID: eleni_p\r\n"
          "Primary: Mobile\r\nAlternate Email 2: eleni.old@example.gr"}},
        {{targetFirstName, "王"},
         {targetLastName, "小明"},
         {targetLabel, "王 小明"},
         {targetPersonalEmail, "xiaoming@example.cn"}}}},
      // Three lines of notes before the header.
      {"linkedin-connections.csv",
       "LinkedIn",
       ",",
       7,
       {{{targetFirstName, "Tomáš"},
         {targetLastName, "Kučera"},
         {targetLabel, "Tomáš Kučera"},
         {targetPersonalWeb, "https://www.linkedin.com/in/tomas-kucera"},
         {targetCompany, "Kučera, Novák a spol."},
         {targetJobTitle, "Ředitel"},
         {targetRemark, "Connected On: 05 Oct 2020"}},
        {{targetFirstName, "Aleksandra"},
         {targetLastName, "Wąsik"},
         {targetLabel, "Aleksandra Wąsik"},
         {targetPersonalWeb, "https://www.linkedin.com/in/awasik"},
         {targetPersonalEmail, "aleksandra@wasik.pl"},
         {targetCompany, "Wąsik Sp. z o.o."},
         {targetJobTitle, "Kierownik, sprzedaż"},
         {targetRemark, "Connected On: 17 Mar 2023"}}}},
  };
  for (const SExport& e : files) CheckExport(e);
}

TEST(ForeignCsvExportsTest, shouldKeepTheFirstOfTheWebmailsJoinedValuesInTheField) {
  const SExport files[] = {
      {"google-contacts-2020s.csv",
       "Google Contacts",
       ",",
       48,
       {{{targetFirstName, "Μαρία"},
         {targetLastName, "Νικολάου"},
         {targetLabel, "Μαρία Νικολάου"},
         {targetNickname, "Μαίρη"},
         {targetCompany, "Ολυμπία ΑΕ"},
         {targetBirthday, "14.3.1988"},
         {targetPersonalEmail, "maria@example.gr"},
         {targetPrefEmail, "0"},
         {targetBusinessEmail, "m.nikolaou@olympia.gr"},
         {targetPersonalMobile, "+30 69 1234"},
         {targetHomePhone, "+30 210 9999"},
         {targetHomeStreet, "Πανεπιστημίου 20"},
         {targetHomeCity, "Αθήνα"},
         {targetHomePostalCode, "106 72"},
         {targetHomeCountry, "Ελλάδα"},
         {targetPersonalWeb, "https://maria.example.gr"},
         {targetRemark,
          "Συνάντηση στην Αθήνα\r\nLabels: Οικογένεια\r\nE-mail 1 (Home): maria.n@example.gr\r\n"
          "Phone 1 (Mobile): +30 69 5678"}},
        {{targetFirstName, "李"},
         {targetLastName, "华"},
         {targetLabel, "李 华"},
         {targetPersonalEmail, "lihua@example.cn"}}}},
      // The oldest layout: numbered sections whose description says home or work, the first
      // address of the first section repeated in "E-mail".
      {"gmail-sections.csv",
       "Google Contacts",
       ",",
       25,
       {{{targetLabel, "Scott Tsai"},
         {targetPersonalEmail, "scottt@example.tw"},
         {targetHomePhone, "+886 2 1234"},
         {targetPersonalMobile, "+886 912 345"},
         {targetHomeStreet, "Taipei 101, Xinyi Rd."},
         {targetBusinessEmail, "scott@corp.example.tw"},
         {targetBusinessPhone, "+886 2 5555"},
         {targetBusinessFax, "+886 2 5556"},
         {targetCompany, "Corp Ltd."},
         {targetJobTitle, "Engineer"},
         {targetRemark,
          "Met at the conference\r\nSection 1 - Email (Personal): scott.home@example.tw"}},
        {{targetLabel, "Dvořák Antonín"},
         {targetPersonalEmail, "antonin@example.cz"},
         {targetBusinessEmail, "antonin@example.cz"},
         {targetBusinessPhone, "+420 222 111"}}}},
  };
  for (const SExport& e : files) CheckExport(e);
}

namespace {

// The desktop program's contact as every language's file holds it, the remark aside: the
// languages name (and so sort) the display name's and the categories' columns differently.
std::vector<SExpectedField> DesktopContact(bool westEuropean, std::string_view remark) {
  if (!westEuropean)
    return {{targetTitle, "Ing."},
            {targetFirstName, "Zdeněk"},
            {targetMiddleName, "Jan"},
            {targetLastName, "Hořejší"},
            {targetLabel, "Zdeněk Jan Hořejší"},
            {targetCompany, "Hořejší a syn s.r.o."},
            {targetDepartment, "Nákup"},
            {targetJobTitle, "Vedoucí nákupu"},
            {targetBusinessStreet, "Náměstí Míru 12\r\n3. patro"},
            {targetBusinessCity, "Plzeň"},
            {targetBusinessState, "Plzeňský kraj"},
            {targetBusinessPostalCode, "301 00"},
            {targetBusinessCountry, "Česká republika"},
            {targetHomeStreet, "Lipová 8"},
            {targetHomeCity, "Plzeň"},
            {targetHomePostalCode, "326 00"},
            {targetHomeCountry, "Česká republika"},
            {targetBusinessFax, "+420 377 111 223"},
            {targetBusinessPhone, "+420 377 111 222"},
            {targetHomePhone, "+420 377 333 444"},
            {targetPersonalMobile, "+420 602 555 666"},
            {targetBirthday, "23.4.1975"},
            {targetPersonalEmail, "zdenek@horejsi.cz"},
            {targetBusinessEmail, "nakup@horejsi.cz"},
            {targetOffice, "Budova B"},
            {targetSpouse, "Věra"},
            {targetPersonalWeb, "https://horejsi.cz"},
            {targetRemark, remark}};
  return {{targetTitle, "Dr."},
          {targetFirstName, "Jürgen"},
          {targetMiddleName, "Karl"},
          {targetLastName, "Größ"},
          {targetLabel, "Jürgen Karl Größ"},
          {targetCompany, "Größ & Söhne GmbH"},
          {targetDepartment, "Einkauf"},
          {targetJobTitle, "Einkäufer"},
          {targetBusinessStreet, "Königstraße 12\r\nHinterhaus"},
          {targetBusinessCity, "Nürnberg"},
          {targetBusinessState, "Bayern"},
          {targetBusinessPostalCode, "90402"},
          {targetBusinessCountry, "Deutschland"},
          {targetHomeStreet, "Lindenstraße 3"},
          {targetHomeCity, "Fürth"},
          {targetHomePostalCode, "90762"},
          {targetHomeCountry, "Deutschland"},
          {targetBusinessFax, "+49 911 124"},
          {targetBusinessPhone, "+49 911 123"},
          {targetHomePhone, "+49 911 456"},
          {targetPersonalMobile, "+49 170 555"},
          {targetBirthday, "23.4.1975"},
          {targetPersonalEmail, "juergen@groess.de"},
          {targetBusinessEmail, "einkauf@groess.de"},
          {targetOffice, "Raum 4"},
          {targetSpouse, "Käthe"},
          {targetPersonalWeb, "https://groess.de"},
          {targetRemark, remark}};
}

}  // namespace

TEST(ForeignCsvExportsTest, shouldReadTheDesktopProgramInEachLanguageItShipsIn) {
  // Windows-1252 for the western languages, Windows-1250 for Polish and Czech; every name and
  // value quoted. French names the form of address and the job title both "Titre", Dutch puts
  // commas in its names, Spanish leaves a third of them in English. The French file has all 92
  // columns; the others lack the six whose names in those languages are not known. Read under
  // either active code page: the detector alone takes some western files for central European
  // ones, the column names tell.
  const std::string_view west = "Kennt Frau Weiß;\r\nruft freitags an.\r\n";
  const std::string_view east = "Dodává papír a tonery.\r\nVolat dopoledne, ne v pátek.\r\n";
  const std::vector<SExpectedField> zoe = {{targetFirstName, "Zoë"},
                                           {targetLastName, "Müller"},
                                           {targetLabel, "Zoë Müller"},
                                           {targetPersonalEmail, "zoe@mueller.de"}};
  const std::vector<SExpectedField> lukasz = {{targetFirstName, "Łukasz"},
                                              {targetLastName, "Żółć"},
                                              {targetLabel, "Łukasz Żółć"},
                                              {targetPersonalEmail, "lukasz@zolc.pl"}};
  const struct {
    const char* file;
    size_t columns;
    bool westEuropean;
    std::string_view remark;
  } files[] = {
      {"outlook-fr.csv", 92, true,
       "Nom complet de l'adresse de courrier: Jürgen Größ (juergen@groess.de)\r\n"
       "Catégories: Lieferanten"},
      {"outlook-es.csv", 86, true,
       "Categorías: Lieferanten\r\n"
       "Nombre de pantalla de correo electrónico: Jürgen Größ (juergen@groess.de)"},
      {"outlook-it.csv", 86, true,
       "Categorie: Lieferanten\r\n"
       "Nome visualizzato posta elettronica: Jürgen Größ (juergen@groess.de)"},
      {"outlook-pt-BR.csv", 86, true,
       "Categorias: Lieferanten\r\nNome para exibição do email: Jürgen Größ (juergen@groess.de)"},
      {"outlook-nl.csv", 86, true,
       "Categorieën: Lieferanten\r\nWeergavenaam voor e-mail: Jürgen Größ (juergen@groess.de)"},
      {"outlook-pl.csv", 86, false,
       "Wyświetlana nazwa e-mail: Zdeněk Hořejší (zdenek@horejsi.cz)\r\nKategorie: Dodavatelé"},
      {"outlook-cs.csv", 86, false,
       "Zobrazované jméno e-mailu: Zdeněk Hořejší (zdenek@horejsi.cz)\r\n"
       "Kategorie: Dodavatelé"},
  };
  for (ECodePage active : {ECodePage::Windows1250, ECodePage::Windows1252}) {
    SetActiveCodePage(active);
    for (const auto& f : files) {
      const std::string remark = std::string(f.westEuropean ? west : east) + std::string(f.remark);
      CheckExport({f.file,
                   "Outlook",
                   ",",
                   f.columns,
                   {DesktopContact(f.westEuropean, remark), f.westEuropean ? zoe : lukasz}});
    }
  }
  SetActiveCodePage(ECodePage::Windows1250);
}

TEST(ForeignCsvExportsTest, shouldTellTheWebVersionsExportFromTheDesktopPrograms) {
  // Its own columns (the nickname, the personal web page beside the work one in "Web Page",
  // the phonetic names) decide; UTF-8 without a byte-order mark.
  CheckExport({"outlook-com.csv",
               "Outlook.com",
               ",",
               61,
               {{{targetFirstName, "Ελένη"},
                 {targetLastName, "Παπαδοπούλου"},
                 {targetLabel, "Ελένη Παπαδοπούλου"},
                 {targetNickname, "Λένα"},
                 {targetPersonalEmail, "eleni@example.gr"},
                 {targetBusinessEmail, "eleni@akropolis.gr"},
                 {targetHomePhone, "+30 210 111"},
                 {targetBusinessPhone, "+30 210 222"},
                 {targetPersonalMobile, "+30 69 4444"},
                 {targetJobTitle, "Λογίστρια"},
                 {targetCompany, "Ακρόπολις ΑΕ"},
                 {targetBusinessStreet, "Οδός Ερμού 10"},
                 {targetBusinessCity, "Αθήνα"},
                 {targetBusinessPostalCode, "105 63"},
                 {targetBusinessCountry, "Ελλάδα"},
                 {targetHomeStreet, "Πατησίων 5"},
                 {targetHomeCity, "Αθήνα"},
                 {targetHomePostalCode, "104 34"},
                 {targetHomeCountry, "Ελλάδα"},
                 {targetPersonalWeb, "https://eleni.example.gr"},
                 {targetBusinessWeb, "https://akropolis.example.gr"},
                 {targetSpouse, "Νίκος"},
                 {targetRemark,
                  "Γνωριμία από τη Θεσσαλονίκη,\r\nτηλεφωνεί τα πρωινά.\r\n"
                  "E-mail 3 Address: eleni.old@example.gr\r\nIMAddress: eleni_p\r\n"
                  "Schools: Πανεπιστήμιο Αθηνών"}},
                {{targetFirstName, "李"},
                 {targetLastName, "华"},
                 {targetLabel, "李 华"},
                 {targetPersonalEmail, "lihua@example.cn"},
                 {targetPersonalMobile, "+86 139 0000 1111"}}}});

  // Columns both programs write stay the desktop program's, and its whole header too.
  const struct {
    std::string header;
    std::string_view layout;
  } headers[] = {
      {"First Name,Last Name,E-mail Address,Mobile Phone,Notes", "Outlook"},
      {"Title,First Name,Middle Name,Last Name,Suffix,Company,Department,Job Title,Business "
       "Street,Business City,Home Street,Home City,E-mail Address,E-mail Type,Web Page,Notes",
       "Outlook"},
      {"First Name,Last Name,Nickname,E-mail Address,Personal Web Page,Web Page", "Outlook.com"},
  };
  for (const auto& h : headers) {
    CForeignCsvFile csv;
    ASSERT_TRUE(csv.Parse(h.header + "\r\nVěra,Nová,Věrka,vera@nova.cz,,\r\n"));
    EXPECT_EQ(csv.LayoutName(), h.layout) << h.header;
  }
}

TEST(ForeignCsvExportsTest, shouldLookForAHeaderAfterNotesOnlyWithinBounds) {
  const std::string header =
      "First Name,Last Name,URL,Email Address,Company,Position,Connected On\n";
  const std::string row = "Łukasz,Wąsik,,lw@firma.pl,Firma,Szef,01 Jan 2024\n";
  std::string notes;
  for (int i = 0; i < 49; ++i) notes += "Note " + std::to_string(i) + ", more\n";
  CForeignCsvFile csv;
  ASSERT_TRUE(csv.Parse(notes + header + row));
  EXPECT_EQ(csv.LayoutName(), "LinkedIn");
  EXPECT_EQ(csv.RowCount(), 1u);

  // Beyond the first 50 lines, or the first bytes, the first line stays the header and every
  // other line is a row.
  ASSERT_TRUE(csv.Parse(notes + "x\n" + header + row));
  EXPECT_FALSE(csv.IsKnownLayout());
  EXPECT_EQ(csv.RowCount(), 51u);
  const std::string stray = "Notes:\n\"" + std::string(70000, 'a') + "\n";
  ASSERT_TRUE(csv.Parse(stray + header + row));
  EXPECT_FALSE(csv.IsKnownLayout());

  // A million lines of notes and a header of the most columns: read once, still unknown.
  std::string many;
  for (int i = 0; i < 1'000'000; ++i) many += "n\n";
  ASSERT_TRUE(csv.Parse(many + header + row));
  EXPECT_FALSE(csv.IsKnownLayout());
  EXPECT_EQ(csv.RowCount(), 1'000'001u);
  std::string wide = "First Name,Last Name,Nickname";
  for (int i = 3; i < 70000; ++i) wide += ",Custom " + std::to_string(i);
  ASSERT_TRUE(csv.Parse(wide + "\nVěra,Nová,Věrka\n"));
  EXPECT_EQ(csv.Header().size(), 65535u);
  EXPECT_EQ(csv.Bindings().size(), 65535u);
}

TEST(ForeignCsvExportsTest, shouldReadTheConsoleAddressBooksThreeExports) {
  // Every value quoted, quotes inside a value not doubled, several e-mail addresses in one
  // value; "allcsv" behind a '#' in two versions, "csv" and "palmcsv" without a header.
  const std::string_view jiriRemark = "Říká mu \"Jirka\" i v práci\r\nEMAIL: jd@posta.cz";
  const std::vector<SExpectedField> jiri = {{targetLabel, "Jiří Dvořák"},
                                            {targetPersonalEmail, "jiri@dvorak.cz"},
                                            {targetBusinessEmail, "jiri@firma.cz"},
                                            {targetHomeStreet, "Dlouhá 5\r\nbyt 12"},
                                            {targetHomeCity, "Praha"},
                                            {targetHomeState, "Hlavní město Praha"},
                                            {targetHomePostalCode, "110 00"},
                                            {targetHomeCountry, "Česko"},
                                            {targetHomePhone, "+420 222 333 444"},
                                            {targetBusinessPhone, "+420 541 111 222"},
                                            {targetBusinessFax, "+420 541 111 223"},
                                            {targetPersonalMobile, "+420 777 888 999"},
                                            {targetNickname, "Jirka"},
                                            {targetPersonalWeb, "https://dvorak.cz"}};
  auto with = [](std::vector<SExpectedField> fields, std::vector<SExpectedField> more) {
    fields.insert(fields.end(), more.begin(), more.end());
    return fields;
  };
  const std::string allRemark = std::string(jiriRemark) + "\r\nGROUPS: přátelé,práce";
  const std::string oldRemark = std::string(jiriRemark) + "\r\nCUSTOM1: Brno\r\nCUSTOM5: pátý";
  const SExport files[] = {
      {"abook-allcsv.csv",
       "abook",
       ",",
       17,
       {with(jiri, {{targetAnniversary, "12.6.1999"}, {targetRemark, allRemark}}),
        {{targetLabel, "Jürgen Größ"},
         {targetPersonalEmail, "juergen@example.de"},
         {targetRemark, "ANNIVERSARY: --05-17"}}}},
      {"abook-allcsv-0.5.csv", "abook", ",", 20, {with(jiri, {{targetRemark, oldRemark}})}},
      {"abook-csv.csv",
       "abook",
       ",",
       5,
       {{{targetLabel, "Jiří Dvořák"},
         {targetPersonalEmail, "jiri@dvorak.cz"},
         {targetBusinessEmail, "jiri@firma.cz"},
         {targetHomePhone, "+420 222 333 444"},
         {targetNickname, "Jirka"},
         {targetRemark, "Potkali jsme se v Ostravě\r\nEMAIL: jd@posta.cz"}},
        {{targetLabel, "Łukasz Wąsik"},
         {targetPersonalEmail, "lukasz@example.pl"},
         {targetRemark, "Mówi \"cześć\" po polsku"}},
        {{targetLabel, "Μαρία Νικολάου"},
         {targetPersonalEmail, "maria@example.gr"},
         {targetHomePhone, "+30 21 0123 4567"}},
        {{targetLabel, "李华"}, {targetNickname, "华华"}}}},
      // The name split at its first space, last name first; a name without a space is one
      // value, so that its row has 20.
      {"abook-palmcsv.csv",
       "abook",
       ",",
       21,
       {{{targetLastName, "Dvořák"},
         {targetFirstName, "Jiří"},
         {targetLabel, "Jiří Dvořák"},
         {targetBusinessPhone, "+420 541 111 222"},
         {targetHomePhone, "+420 222 333 444"},
         {targetBusinessFax, "+420 541 111 223"},
         {targetPersonalMobile, "+420 777 888 999"},
         {targetPersonalEmail, "jiri@dvorak.cz"},
         {targetBusinessEmail, "jiri@firma.cz"},
         {targetHomeStreet, "Dlouhá 5"},
         {targetHomeCity, "Praha"},
         {targetHomeState, "Hlavní město Praha"},
         {targetHomePostalCode, "110 00"},
         {targetHomeCountry, "Česko"},
         {targetNickname, "Jirka"},
         {targetPersonalWeb, "https://dvorak.cz"},
         {targetRemark, "Volat po 17. hodině"}},
        {{targetLastName, "Maria Nováková"},
         {targetFirstName, "Jana"},
         {targetLabel, "Jana Maria Nováková"},
         {targetPersonalEmail, "jana@example.cz"},
         {targetRemark, "Říká \"Janička\""}},
        {{targetLastName, "李华"},
         {targetLabel, "李华"},
         {targetPersonalEmail, "lihua@example.cn"}}}},
  };
  for (const SExport& e : files) {
    CheckExport(e);
    CForeignCsvFile csv;
    ASSERT_TRUE(csv.Parse(ReadBytes(TestDataPath(std::string("other-csv/") + e.file))));
    EXPECT_EQ(csv.IsFirstLineData(), e.columns == 5 || e.columns == 21) << e.file;
  }
}

TEST(ForeignCsvExportsTest, shouldTellTheConsoleAddressBooksShapesFromOtherLines) {
  // Shapes near the exporter's that are not its: a header-less line read by its values, a
  // header of other names, a 21-value line of another ending.
  struct SCase {
    std::string text;
    std::string_view layout;
    bool firstLineIsData;
  };
  std::string palmEnd;
  for (int i = 0; i < 16; ++i) palmEnd += ",\"\"";
  palmEnd += ",\"0\",\"abook\"\n";
  const SCase cases[] = {
      {"\"Věra Nová\",\"vera@example.cz\",\"\",\"\",\"\"\n", "abook", true},
      {"\"vera@example.cz\",\"vera@example.cz\",\"\",\"\",\"\"\n", "", true},
      {"\"Věra Nová\",\"vera@example.cz\",\"\",\"\"\n", "", true},
      {"\"Věra\",\"no address\",\"+420 777 111 222\",\"\",\"\"\n", "", true},
      {"\"Nová\",\"Věra\",\"\"" + palmEnd, "abook", true},
      {"\"Nová\",\"Věra\",\"\"" + palmEnd.substr(0, palmEnd.size() - 13) + ",\"1\",\"abook\"\n", "",
       false},
      {"Nová,Věra," + std::string(17, ',') + "0,abook\n", "", false},
      {"Věra Nová,vera@example.cz,,,\n", "", true},
      {"#\"NAME\",\"EMAIL\",\"PHONE\",\"NICK\",\"URL\"\n\"Věra\",\"v@example.cz\"\n", "abook",
       false},
      {"#\"NAME\",\"EMAIL\",\"PHONE\",\"NICK\",\"Spalte\"\n\"Věra\",\"v@example.cz\"\n", "", false},
      {"Name,Email,Phone,Notes\nVěra,v@example.cz,,\n", "", false},
  };
  for (const SCase& c : cases) {
    SCOPED_TRACE(c.text);
    CForeignCsvFile csv;
    ASSERT_TRUE(csv.Parse(c.text));
    EXPECT_EQ(csv.LayoutName(), c.layout);
    EXPECT_EQ(csv.IsFirstLineData(), c.firstLineIsData);
  }
}
