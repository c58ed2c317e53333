#include <gtest/gtest.h>

#include <random>

#include "ForeignVCardTestSupport.h"

using namespace zorvan;
using namespace zorvan::testing;

// The reader of vCards other programs write, on cards made for each quirk.

namespace {

std::string Card(std::string_view body, std::string_view version = "3.0") {
  return "BEGIN:VCARD\r\nVERSION:" + std::string(version) + "\r\n" + std::string(body) +
         "END:VCARD\r\n";
}

const CTreeItem& Only(const std::vector<SForeignContact>& contacts) {
  EXPECT_EQ(contacts.size(), 1u);
  static CTreeItem empty;
  return contacts.empty() ? empty : *contacts[0].pRecord;
}

// The code page is process-wide; each test that depends on it sets it and puts it back.
class CCodePageScope {
 public:
  explicit CCodePageScope(ECodePage cp) : m_old(ActiveCodePage()) { SetActiveCodePage(cp); }
  ~CCodePageScope() { SetActiveCodePage(m_old); }

 private:
  ECodePage m_old;
};

struct SCase {
  const char* what;
  std::string body;  // property lines of a 3.0 card
  EField field;
  std::string expected;
};

void RunCases(const std::vector<SCase>& cases) {
  for (const SCase& c : cases) {
    SCOPED_TRACE(c.what);
    const auto contacts = ReadForeign(Card(c.body));
    ASSERT_EQ(contacts.size(), 1u);
    // Of the remark, what the record says beyond its fields: its kept properties too.
    const CTreeItem& r = *contacts[0].pRecord;
    EXPECT_EQ(c.field == fieldRemark ? SaidText(r) : FieldText(r, c.field), c.expected) << c.body;
    ExpectWellFormed(contacts);
  }
}

}  // namespace

TEST(ForeignVCardReader, shouldDecodeEveryCharacterEncodingIntoUtf8) {
  CCodePageScope scope(ECodePage::Windows1250);
  RunCases({
      {"UTF-8 as it is", "N:Dvořák;Jürgen;;;\r\n", fieldLastName, "Dvořák"},
      {"windows-1250 bytes by CHARSET", "N;CHARSET=windows-1250:Dvo\xF8\xE1k;;;;\r\n",
       fieldLastName, "Dvořák"},
      {"windows-1252 bytes by CHARSET", "N;CHARSET=Windows-1252:Gr\xF6\xDF;J\xFCrgen;;;\r\n",
       fieldFirstName, "Jürgen"},
      {"ISO-8859-1 read as windows-1252", "N;CHARSET=ISO-8859-1:Gr\xF6\xDF;;;;\r\n", fieldLastName,
       "Größ"},
      {"ISO-8859-2 through iconv", "N;CHARSET=ISO-8859-2:W\xB1sik;\xA3ukasz;;;\r\n", fieldFirstName,
       "Łukasz"},
      {"Shift_JIS through iconv", "N;CHARSET=SHIFT_JIS:\x88\xC0\x93\xA1;;;;\r\n", fieldLastName,
       "安藤"},
      {"8-bit without CHARSET in the code page", "N:Dvo\xF8\xE1k;;;;\r\n", fieldLastName, "Dvořák"},
      {"UTF-8 wins over a wrong CHARSET", "N;CHARSET=ISO-8859-1:Wąsik;;;;\r\n", fieldLastName,
       "Wąsik"},
      {"an unknown CHARSET falls back to the code page", "N;CHARSET=X-NOSUCH:\xC8\xE1p;;;;\r\n",
       fieldLastName, "Čáp"},
      {"quoted-printable UTF-8",
       "N;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:Dvo=C5=99=C3=A1k;;;;\r\n", fieldLastName,
       "Dvořák"},
      {"quoted-printable code page without CHARSET",
       "N;ENCODING=QUOTED-PRINTABLE:Iksi=F1ski;;;;\r\n", fieldLastName, "Iksiński"},
  });
}

TEST(ForeignVCardReader, shouldJoinQuotedPrintableSoftLineBreaks) {
  const auto contacts = ReadForeign(
      "BEGIN:VCARD\r\nVERSION:2.1\r\n"
      "NOTE;ENCODING=QUOTED-PRINTABLE;CHARSET=UTF-8:P=C5=99=C3=ADli=C5=A1 =\r\n"
      "#=C5=BElu=C5=A5ou=C4=8Dk=C3=BD=0D=0A=\r\n"
      "k=C5=AF=C5=88\r\n"
      "# a comment line between properties\r\n"
      "ADR;HOME;ENCODING=QUOTED-PRINTABLE:;;Dlouh=C3=A1 5=0D=0A=\r\n"
      "dv=C5=AFr;Praha;;110 00;=\r\n"
      "CZ\r\n"
      "END:VCARD\r\n");
  const CTreeItem& r = Only(contacts);
  EXPECT_EQ(r.m_strRemark, "Příliš #žluťoučký\r\nkůň");
  EXPECT_EQ(r.m_strHomeStreet, "Dlouhá 5\r\ndvůr");
  EXPECT_EQ(r.m_strHomeCity, "Praha");
  EXPECT_EQ(r.m_strHomeCountry, "CZ");
}

TEST(ForeignVCardReader, shouldReadUtf16AndByteOrderMarks) {
  const std::string card = Card("N:Dvořák;Łukasz;;;\r\nEMAIL:lukasz@example.pl\r\n");
  auto utf16 = [&](bool bigEndian, bool mark) {
    std::string out;
    auto put = [&](char16_t u) {
      const char hi = static_cast<char>(u >> 8), lo = static_cast<char>(u & 0xFF);
      out += bigEndian ? std::string{hi, lo} : std::string{lo, hi};
    };
    if (mark) put(0xFEFF);
    for (size_t i = 0; i < card.size();) put(static_cast<char16_t>(DecodeUtf8(card, i)));
    return out;
  };
  const std::vector<std::pair<const char*, std::string>> files = {
      {"UTF-8 with its mark", "\xEF\xBB\xBF" + card},
      {"UTF-16LE with its mark", utf16(false, true)},
      {"UTF-16BE with its mark", utf16(true, true)},
      {"UTF-16LE without a mark", utf16(false, false)},
      {"UTF-16BE without a mark", utf16(true, false)},
  };
  for (const auto& [what, bytes] : files) {
    SCOPED_TRACE(what);
    EXPECT_TRUE(LooksLikeVCardFile(bytes));
    const auto contacts = ReadForeign(bytes);
    const CTreeItem& r = Only(contacts);
    EXPECT_EQ(r.m_strLastName, "Dvořák");
    EXPECT_EQ(r.m_strFirstName, "Łukasz");
    EXPECT_EQ(r.m_strPersonalEmail, "lukasz@example.pl");
  }
}

TEST(ForeignVCardReader, shouldUnfoldAndUnescapeByTheRulesOfEachVersion) {
  RunCases({
      {"3.0 folding takes one blank", "NOTE:Dvo\r\n  řák\r\n\tz Prahy\r\n", fieldRemark,
       "Dvo řákz Prahy"},
      {"escapes", "NOTE:a\\nb\\, c\\; d\\\\e\\:f\\Ng\r\n", fieldRemark, "a\r\nb, c; d\\e:f\r\ng"},
      {"an unknown escape keeps its backslash", "NOTE:C:\\temp\r\n", fieldRemark, "C:\\temp"},
      {"escaped separators stay in a component", "ORG:Firma\\; Dvořák\\, s.r.o.;Nákup;Sklad\r\n",
       fieldCompany, "Firma; Dvořák, s.r.o."},
      {"further units join the department", "ORG:Firma;Nákup;Sklad\r\n", fieldDepartment,
       "Nákup, Sklad"},
      {"a quoted parameter with ':' and ','", "TEL;TYPE=\"CELL,X-A:B\",PREF:+420 602 111 222\r\n",
       fieldPersonalMobile, "+420 602 111 222"},
  });
  // 2.1 keeps the blank that starts a folded line.
  const auto contacts = ReadForeign(Card("NOTE:Jan\r\n Dvořák\r\n", "2.1"));
  const CTreeItem& r = Only(contacts);
  EXPECT_EQ(r.m_strRemark, "Jan Dvořák");
}

// A value is used as it stands when it is UTF-8 without escapes, and unescaped or read in the
// code page otherwise; the escapes may sit anywhere, before or after the first non-ASCII letter
// and past the first eight bytes.
TEST(ForeignVCardReader, shouldReadValuesTheSameWhetherTheyNeedUnescapingOrNot) {
  const CCodePageScope scope(ECodePage::Windows1250);
  RunCases({
      {"UTF-8 with blanks around it", "TITLE:   Vedoucí oddělení Łódź  \t\r\n", fieldJobTitle,
       "Vedoucí oddělení Łódź"},
      {"UTF-8 components with blanks", "ORG:  Größ & Söhne  ;  Nákup ;  \r\n", fieldCompany,
       "Größ & Söhne"},
      {"their department", "ORG:  Größ & Söhne  ;  Nákup ;  Sklad\r\n", fieldDepartment,
       "Nákup, Sklad"},
      {"an escape after the letters", "NOTE:Příliš žluťoučký kůň\\, úpěl\\nďábelské ódy\r\n",
       fieldRemark, "Příliš žluťoučký kůň, úpěl\r\nďábelské ódy"},
      {"an escape before them", "NOTE:\\;Łukasz Wąsik\r\n", fieldRemark, ";Łukasz Wąsik"},
      {"ASCII escapes past eight bytes", "URL:https\\://www.example.cz/a\\,b\r\n", fieldPersonalWeb,
       "https://www.example.cz/a,b"},
      {"an escape in the last byte", "NOTE:Jürgen\\\r\n", fieldRemark, "Jürgen\\"},
      {"not UTF-8: the code page", "N:Dvo\xF8\xE1k;Jan\r\n", fieldLastName, "Dvořák"},
      {"not UTF-8 with an escape", "N:Dvo\xF8\xE1k\\, ml.;Jan\r\n", fieldLastName, "Dvořák, ml."},
  });
}

TEST(ForeignVCardReader, shouldTakeAnyLineEnds) {
  for (std::string_view end : {"\r\n", "\n", "\r", "\r\r\n"}) {
    SCOPED_TRACE(::testing::PrintToString(std::string(end)));
    std::string bytes;
    for (std::string_view line :
         {"BEGIN:VCARD", "VERSION:3.0", "FN:Jürgen Größ", "NOTE:eins\\nzwei", " drei",
          "TEL;TYPE=WORK:+49 30 1234", "END:VCARD", "begin:vcard", "fn:Eva", "end:vcard"}) {
      bytes += line;
      bytes += end;
    }
    const auto contacts = ReadForeign(bytes);
    ASSERT_EQ(contacts.size(), 2u);
    EXPECT_EQ(contacts[0].pRecord->m_strLabel, "Jürgen Größ");
    EXPECT_EQ(contacts[0].pRecord->m_strRemark, "eins\r\nzweidrei");
    EXPECT_EQ(contacts[0].pRecord->m_strBusinessPhone, "+49 30 1234");
    EXPECT_EQ(contacts[1].pRecord->m_strLabel, "Eva");
  }
}

TEST(ForeignVCardReader, shouldPutPhonesByTheirTypes) {
  RunCases({
      {"home voice", "TEL;TYPE=HOME,VOICE:1\r\n", fieldHomePhone, "1"},
      {"work voice, parameters in lower case", "tel;type=work;type=voice:2\r\n", fieldBusinessPhone,
       "2"},
      {"bare 2.1 words", "TEL;WORK;FAX:3\r\n", fieldBusinessFax, "3"},
      {"home fax", "TEL;TYPE=FAX,HOME:4\r\n", fieldHomeFax, "4"},
      {"cell without work is the personal mobile", "TEL;TYPE=CELL:5\r\n", fieldPersonalMobile, "5"},
      {"work cell", "TEL;TYPE=CELL;TYPE=WORK:6\r\n", fieldBusinessMobile, "6"},
      {"pager", "TEL;TYPE=PAGER:7\r\n", fieldPersonalPager, "7"},
      {"work pager", "TEL;TYPE=\"WORK,PAGER\":8\r\n", fieldBusinessPager, "8"},
      {"4.0 sip uri", "TEL;VALUE=uri;TYPE=work:sip:jan@voip.cz\r\n", fieldBusinessIpPhone,
       "jan@voip.cz"},
      {"IMPP sip", "IMPP:sip:eva@voip.cz\r\n", fieldHomeIpPhone, "eva@voip.cz"},
      {"X-SIP", "X-SIP;TYPE=WORK:petr@voip.cz\r\n", fieldBusinessIpPhone, "petr@voip.cz"},
      {"no type goes home first", "TEL:9\r\n", fieldHomePhone, "9"},
      {"no type when home is taken goes to work", "TEL;HOME:1\r\nTEL:10\r\n", fieldBusinessPhone,
       "10"},
      {"a third phone goes to the remark", "TEL;HOME:1\r\nTEL;WORK:2\r\nTEL:+420 602 123 456\r\n",
       fieldRemark, "Phone: +420 602 123 456"},
      {"the first of a kind wins", "TEL;TYPE=CELL:1\r\nTEL;TYPE=CELL,HOME:2\r\n",
       fieldPersonalMobile, "1"},
      {"a second personal mobile is noted with its kind",
       "TEL;TYPE=CELL:1\r\nTEL;TYPE=CELL,HOME:2\r\n", fieldRemark, "Phone (mobile, home): 2"},
      {"other goes to the remark", "TEL;TYPE=OTHER:+420 602 123 456\r\n", fieldRemark,
       "Phone (other): +420 602 123 456"},
      {"a labelled phone goes to the remark",
       "item1.TEL:11\r\nitem1.X-ABLabel:_$!<AssistantPhone>!$_\r\n", fieldRemark,
       "Phone (assistant phone): 11"},
      {"an Apple label that is a kind", "item2.TEL:12\r\nitem2.X-ABLabel:_$!<Mobile>!$_\r\n",
       fieldPersonalMobile, "12"},
  });
}

TEST(ForeignVCardReader, shouldPutEmailAndWebAddressesByTheirTypes) {
  RunCases({
      {"home", "EMAIL;TYPE=INTERNET,HOME:a@b.cz\r\n", fieldPersonalEmail, "a@b.cz"},
      {"untyped", "EMAIL:a@b.cz\r\n", fieldPersonalEmail, "a@b.cz"},
      {"work", "EMAIL;TYPE=WORK:w@b.cz\r\n", fieldBusinessEmail, "w@b.cz"},
      {"a later one takes the free field", "EMAIL:a@b.cz\r\nEMAIL;TYPE=HOME:c@d.cz\r\n",
       fieldBusinessEmail, "c@d.cz"},
      {"a second work address goes to the remark",
       "EMAIL;TYPE=WORK:w@b.cz\r\nEMAIL:a@b.cz\r\nEMAIL;TYPE=WORK:jan@firma.cz\r\n", fieldRemark,
       "E-mail (work): jan@firma.cz"},
      {"3.0 PREF", "EMAIL;TYPE=HOME:a@b.cz\r\nEMAIL;TYPE=WORK,PREF:w@b.cz\r\n", fieldPrefEmail,
       "1"},
      {"4.0 PREF=1", "EMAIL;TYPE=home;PREF=1:a@b.cz\r\n", fieldPrefEmail, "0"},
      {"no PREF", "EMAIL;TYPE=home:a@b.cz\r\n", fieldPrefEmail, "-1"},
      {"web home", "URL;TYPE=HOME:http://jan.cz\r\n", fieldPersonalWeb, "http://jan.cz"},
      {"web work with an escaped colon", "URL;TYPE=WORK:http\\://firma.cz\r\n", fieldBusinessWeb,
       "http://firma.cz"},
      {"web PREF", "URL;TYPE=WORK,PREF:http://firma.cz\r\n", fieldPrefUrl, "1"},
  });
}

TEST(ForeignVCardReader, shouldPutAddressesByTheirTypes) {
  RunCases({
      {"home", "ADR;TYPE=HOME:;;Dlouhá 5;Praha;;110 00;Česko\r\n", fieldHomePostalCode, "110 00"},
      {"work office", "ADR;TYPE=WORK:;Kancelář 12;Národní 1;Praha;Praha;110 00;CZ\r\n", fieldOffice,
       "Kancelář 12"},
      {"work region", "ADR;TYPE=WORK:;;Národní 1;Praha;Střední Čechy;110 00;CZ\r\n",
       fieldBusinessState, "Střední Čechy"},
      {"untyped goes home", "ADR:;;Dlouhá 5;Praha;;;\r\n", fieldHomeStreet, "Dlouhá 5"},
      {"a second untyped goes to work", "ADR:;;Dlouhá 5;Praha;;;\r\nADR:;;Národní 1;Brno;;;\r\n",
       fieldBusinessCity, "Brno"},
      {"a post office box joins the street", "ADR;TYPE=HOME:P.O. Box 7;;Dlouhá 5;Praha;;;\r\n",
       fieldHomeStreet, "P.O. Box 7\r\nDlouhá 5"},
      {"other goes to the remark", "ADR;TYPE=OTHER:;;Polní 3;Kolín;;280 02;CZ\r\n", fieldRemark,
       "Address (other): Polní 3, Kolín, 280 02, CZ"},
      {"a street with line breaks", "ADR;TYPE=HOME:;;Dlouhá 5\\nzadní trakt;Praha;;;\r\n",
       fieldHomeStreet, "Dlouhá 5\r\nzadní trakt"},
      {"an empty address is nothing", "ADR;TYPE=WORK:;;;;;;\r\nADR:;;Dlouhá 5;;;;\r\n",
       fieldHomeStreet, "Dlouhá 5"},
  });
}

TEST(ForeignVCardReader, shouldReadDatesInAllTheirForms) {
  RunCases({
      {"yyyy-mm-dd", "BDAY:1985-04-23\r\n", fieldBirthday, "1985-04-23"},
      {"yyyymmdd", "BDAY:19850423\r\n", fieldBirthday, "1985-04-23"},
      {"with a time", "BDAY:1985-04-23T00:00:00Z\r\n", fieldBirthday, "1985-04-23"},
      {"basic with a time", "BDAY;VALUE=date-time:19850423T120000\r\n", fieldBirthday,
       "1985-04-23"},
      {"no year is not a date", "BDAY:--0423\r\n", fieldBirthday, ""},
      {"no year is kept in the remark", "BDAY:--0423\r\n", fieldRemark, "Birthday: --04-23"},
      {"no year with dashes", "BDAY:--04-23\r\n", fieldRemark, "Birthday: --04-23"},
      {"Apple's year for no year", "BDAY;X-APPLE-OMIT-YEAR=1604:1604-04-23\r\n", fieldRemark,
       "Birthday: --04-23"},
      {"text that is no date", "BDAY;VALUE=text:circa 1800\r\n", fieldRemark,
       "Birthday: circa 1800"},
      {"4.0 anniversary", "ANNIVERSARY:20100612\r\n", fieldAnniversary, "2010-06-12"},
      {"X-ANNIVERSARY", "X-ANNIVERSARY:2010-06-12\r\n", fieldAnniversary, "2010-06-12"},
      {"X-MS-ANNIVERSARY", "X-MS-ANNIVERSARY:20100612\r\n", fieldAnniversary, "2010-06-12"},
      {"X-ABDATE with the anniversary label",
       "item4.X-ABDATE:2010-06-12\r\nitem4.X-ABLabel:_$!<Anniversary>!$_\r\n", fieldAnniversary,
       "2010-06-12"},
      {"X-ABDATE with another label", "item4.X-ABDATE:2010-06-12\r\nitem4.X-ABLabel:Svatba\r\n",
       fieldRemark, "Date (svatba): 2010-06-12"},
  });
}

TEST(ForeignVCardReader, shouldReadGenderAndRelations) {
  RunCases({
      {"4.0 M", "GENDER:M\r\n", fieldGender, "1"},
      {"4.0 F with identity", "GENDER:F;she/her\r\n", fieldGender, "2"},
      {"4.0 unknown", "GENDER:U\r\n", fieldGender, "0"},
      {"X-GENDER male", "X-GENDER:Male\r\n", fieldGender, "1"},
      {"X-GENDER Weiblich", "X-GENDER:Weiblich\r\n", fieldGender, "2"},
      {"X-GENDER Männlich", "X-GENDER:Männlich\r\n", fieldGender, "1"},
      {"X-GENDER žena", "X-GENDER:Žena\r\n", fieldGender, "2"},
      {"X-SPOUSE", "X-SPOUSE:Eva Dvořáková\r\n", fieldSpouse, "Eva Dvořáková"},
      {"X-MS-SPOUSE", "X-MS-SPOUSE:Eva\r\n", fieldSpouse, "Eva"},
      {"RELATED spouse", "RELATED;TYPE=spouse;VALUE=text:Eva\r\n", fieldSpouse, "Eva"},
      {"RELATED by URI is no name",
       "RELATED;TYPE=spouse:urn:uuid:03a0e51f-d1aa-4385-8a53-e29025acd8af\r\n", fieldRemark,
       "Related (spouse): urn:uuid:03a0e51f-d1aa-4385-8a53-e29025acd8af"},
      {"RELATED children joined", "RELATED;TYPE=child:Anna\r\nRELATED;TYPE=child:Petr\r\n",
       fieldChildren, "Anna, Petr"},
      {"Apple relations",
       "item1.X-ABRELATEDNAMES:Eva\r\nitem1.X-ABLabel:_$!<Spouse>!$_\r\n"
       "item2.X-ABRELATEDNAMES:Anna\r\nitem2.X-ABLabel:_$!<Child>!$_\r\n"
       "item3.X-ABRELATEDNAMES:Petr\r\nitem3.X-ABLabel:_$!<Child>!$_\r\n",
       fieldChildren, "Anna, Petr"},
      {"another relation goes to the remark",
       "item1.X-ABRELATEDNAMES:Marie\r\nitem1.X-ABLabel:_$!<Mother>!$_\r\n", fieldRemark,
       "Related (mother): Marie"},
  });
}

TEST(ForeignVCardReader, shouldLetTheProgramsOwnLinesWinAndKeepItsGroups) {
  const auto contacts = ReadForeign(
      Card("FN:Jan Dvořák\r\nGENDER:F\r\nEMAIL;TYPE=HOME,PREF:a@b.cz\r\n"
           "EMAIL;TYPE=WORK:w@b.cz\r\nURL;TYPE=WORK:http://firma.cz\r\n"
           "CATEGORIES:Přátelé,Kolegové\\, práce\r\nRELATED;TYPE=child:Ignored\r\n"
           "X-TAVORIN-GENDER:1\r\nX-TAVORIN-EMAIL:1\r\nX-TAVORIN-URL:-1\r\n"
           "X-TAVORIN-CHILDREN:Anna, Petr\r\nX-TAVORIN-HOME-IPPHONE:jan@voip.cz\r\n"
           "X-TAVORIN-ANNIVERSARY-STRING:svatba\r\nX-TAVORIN-NAMEDAY-DATE:2000-05-16\r\n"
           "X-TAVORIN-GROUP:0\r\n"));
  ASSERT_EQ(contacts.size(), 1u);
  const CTreeItem& r = *contacts[0].pRecord;
  EXPECT_EQ(r.m_nGender, 1);
  EXPECT_EQ(r.m_nPrefEmail, 1);
  EXPECT_EQ(r.m_nPrefUrl, -1);
  EXPECT_EQ(r.m_strChildren, "Anna, Petr");
  EXPECT_EQ(r.m_strHomeIpPhone, "jan@voip.cz");
  EXPECT_EQ(r.m_strAnniversaryText, "svatba");
  EXPECT_EQ(FieldText(r, fieldNameDay), "2000-05-16");
  EXPECT_EQ(contacts[0].groupPath, (std::vector<std::string>{"Přátelé", "Kolegové, práce"}));
  EXPECT_TRUE(r.m_strRemark.empty()) << r.m_strRemark;

  // Without any X-TAVORIN- line the categories are another program's, kept as they came.
  const auto foreign = ReadForeign(Card("FN:Eva\r\nCATEGORIES:Přátelé,Práce\r\n"));
  ASSERT_EQ(foreign.size(), 1u);
  EXPECT_TRUE(foreign[0].groupPath.empty());
  EXPECT_TRUE(foreign[0].pRecord->m_strRemark.empty());
  EXPECT_EQ(SaidText(*foreign[0].pRecord), "Categories: Přátelé, Práce");
}

TEST(ForeignVCardReader, shouldComposeTheLabelWhenThereIsNoFn) {
  RunCases({
      {"FN", "FN:Ing. Jan Dvořák\r\nN:Dvořák;Jan;;Ing.;\r\n", fieldLabel, "Ing. Jan Dvořák"},
      {"from N", "N:Wąsik;Łukasz;Piotr;;\r\n", fieldLabel, "Łukasz Piotr Wąsik"},
      {"from ORG", "N:;;;;\r\nORG:Firma s.r.o.\r\n", fieldLabel, "Firma s.r.o."},
      {"from the e-mail", "EMAIL;TYPE=WORK:info@firma.cz\r\n", fieldLabel, "info@firma.cz"},
      {"an empty FN does not count", "FN:\r\nN:Größ;Jürgen;;;\r\n", fieldLabel, "Jürgen Größ"},
  });
}

TEST(ForeignVCardReader, shouldKeepTheLinesOfWhatHasNoFieldOfItsOwn) {
  const auto contacts = ReadForeign(Card(
      "N:Dvořák;Jan;;;Jr.\r\nNOTE:Volat večer.\r\nNICKNAME:Honza\r\nNICKNAME:Jenda\r\n"
      "TITLE:Ředitel\r\nROLE:Nákup\r\nX-AIM:jan.aim\r\nIMPP;X-SERVICE-TYPE=Jabber:xmpp:jan@jabber."
      "cz\r\n"
      "PHOTO;ENCODING=b;TYPE=JPEG:/9j/4AAQSkZJRgABAQAAAQABAAD\r\n iVBORw0KGgoAAAANSUhEUgAAAAE\r\n"
      "LOGO;VALUE=uri:http://firma.cz/logo.png\r\n"
      "item1.X-CUSTOM:Modrá\r\nitem1.X-ABLabel:Oblíbená barva\r\n"
      "PRODID:-//Apple Inc.//iOS 5.0.1//EN\r\nREV:2024-01-01T00:00:00Z\r\nUID:1234\r\n"
      "X-ABUID:5678\\:ABPerson\r\nSORT-STRING:Dvorak\r\nCLASS:PUBLIC\r\n"));
  const CTreeItem& r = Only(contacts);
  EXPECT_EQ(r.m_strNickname, "Honza");
  EXPECT_EQ(r.m_strJobTitle, "Ředitel");
  // Messaging handles take the free IP phone fields, as the URIs of their services.
  EXPECT_EQ(r.m_strHomeIpPhone, "aim:jan.aim");
  EXPECT_EQ(r.m_strBusinessIpPhone, "xmpp:jan@jabber.cz");
  // A part of a property the record holds stays in the remark; the whole of one it has no
  // place for is kept as its line, and said in the remark's words; the card's frame is not.
  EXPECT_EQ(RemarkLines(r), (std::vector<std::string>{"Volat večer.", "Name suffix: Jr."}));
  ASSERT_TRUE(r.m_pExtras);
  EXPECT_EQ(r.m_pExtras->properties,
            (std::vector<std::string>{
                "NICKNAME:Jenda", "ROLE:Nákup", "LOGO;VALUE=uri:http://firma.cz/logo.png",
                "item1.X-CUSTOM:Modrá", "item1.X-ABLabel:Oblíbená barva", "X-ABUID:5678\\:ABPerson",
                "SORT-STRING:Dvorak", "CLASS:PUBLIC"}));
  EXPECT_EQ(NoteLines(r),
            (std::vector<std::string>{"Volat večer.", "Name suffix: Jr.", "Nickname: Jenda",
                                      "Role: Nákup", "Logo: yes", "Oblíbená barva: Modrá"}));
  EXPECT_EQ(r.m_pExtras->photoType, "image/jpeg");
  EXPECT_EQ(r.m_pExtras->photo.size(), 40u);
}

TEST(ForeignVCardReader, shouldNotLetABrokenSoftLineBreakSwallowTheEndOfACard) {
  const auto contacts = ReadForeign(
      "BEGIN:VCARD\r\nVERSION:2.1\r\nN:Dvořák;Jan\r\nNOTE;ENCODING=QUOTED-PRINTABLE:konec=\r\n"
      "END:VCARD\r\nBEGIN:VCARD\r\nVERSION:2.1\r\nN:Größ;Jürgen\r\nEND:VCARD\r\n");
  ASSERT_EQ(contacts.size(), 2u);
  EXPECT_EQ(contacts[0].pRecord->m_strRemark, "konec");
  EXPECT_EQ(contacts[1].pRecord->m_strLastName, "Größ");
}

TEST(ForeignVCardReader, shouldDecodeAPhotoInADataUriAndKeepOneByReference) {
  const auto contacts = ReadForeign(
      Card("FN:Eva\r\nPHOTO;MEDIATYPE=image/jpeg:data:image/jpeg\\;base64\\,/9j/4AAQ\r\n"
           " SkZJRgABAQAAAQ\r\n ABAAD\r\nPHOTO:http://example.cz/eva.jpg\r\nTEL:1\r\n"));
  const CTreeItem& r = Only(contacts);
  ASSERT_TRUE(r.m_pExtras);
  EXPECT_EQ(r.m_pExtras->photoType, "image/jpeg");
  EXPECT_EQ(r.m_pExtras->photo.size(), 20u);
  EXPECT_EQ(r.m_pExtras->properties, (std::vector<std::string>{"PHOTO:http://example.cz/eva.jpg"}));
  EXPECT_EQ(SaidText(r), "Photo: yes");
  EXPECT_EQ(r.m_strHomePhone, "1");
}

TEST(ForeignVCardReader, shouldSurviveNestedCardsMissingEndsAndStrayLines) {
  const auto contacts = ReadForeign(
      "ENCODING:UTF-8\r\n"
      "BEGIN:VCARD\r\nVERSION:2.1\r\nN:Dvořák;Jan\r\n"
      "AGENT:\r\nBEGIN:VCARD\r\nVERSION:2.1\r\nFN:Eva Asistentka\r\nTEL:111\r\nEND:VCARD\r\n"
      "TEL;WORK:222\r\nEND:VCARD\r\n"
      "BEGIN:VCARD\r\nFN:Bez konce\r\n"
      "BEGIN:VCARD\r\nFN:Bez verze\r\nTEL:333\r\nEND:VCARD\r\n"
      "stray text\r\n");
  ASSERT_EQ(contacts.size(), 3u);
  const CTreeItem& outer = *contacts[0].pRecord;
  EXPECT_EQ(outer.m_strLastName, "Dvořák");
  EXPECT_EQ(outer.m_strBusinessPhone, "222");
  EXPECT_TRUE(outer.m_strHomePhone.empty());
  EXPECT_TRUE(HasRemarkLine(outer, "Agent: Eva Asistentka")) << outer.m_strRemark;
  EXPECT_EQ(contacts[1].pRecord->m_strLabel, "Bez konce");
  EXPECT_EQ(contacts[2].pRecord->m_strLabel, "Bez verze");
  EXPECT_EQ(contacts[2].pRecord->m_strHomePhone, "333");
}

TEST(ForeignVCardReader, shouldRecogniseVCardFiles) {
  const std::vector<std::pair<std::string, bool>> cases = {
      {"BEGIN:VCARD\r\nVERSION:3.0\r\n", true},
      {"\xEF\xBB\xBF"
       "begin:vcard\n",
       true},
      {"\r\n\r\n  BEGIN:vCard\n", true},
      {"ENCODING:UTF-8\r\nBEGIN:VCARD\r\n", true},
      {std::string("B\0E\0G\0I\0N\0:\0V\0C\0A\0R\0D\0\r\0\n\0", 26), true},
      {"First Name,Last Name\r\nJan,Dvořák\r\n", false},
      {"", false},
      {"a\nb\nc\nd\ne\nf\nBEGIN:VCARD\n", false},
  };
  for (const auto& [bytes, expected] : cases)
    EXPECT_EQ(LooksLikeVCardFile(bytes), expected) << ::testing::PrintToString(bytes);
}

TEST(ForeignVCardReader, shouldReportProgressUpToTheEnd) {
  std::string bytes;
  for (int i = 0; i < 5000; ++i)
    bytes +=
        Card("FN:Jan Dvořák " + std::to_string(i) + "\r\nNOTE:" + std::string(200, 'x') + "\r\n");
  std::vector<size_t> offsets;
  size_t contacts = 0;
  SForeignReadHooks hooks;
  hooks.onContact = [&](SForeignContact&&) { ++contacts; };
  hooks.onProgress = [&](size_t done) { offsets.push_back(done); };
  ReadForeignVCards(bytes, hooks);
  EXPECT_EQ(contacts, 5000u);
  ASSERT_GE(offsets.size(), 2u);
  EXPECT_TRUE(std::is_sorted(offsets.begin(), offsets.end()));
  EXPECT_EQ(offsets.back(), bytes.size());
}

TEST(ForeignVCardReader, shouldReadLabelsAndNestedNamesThatAreNotUtf8InTheCodePage) {
  CCodePageScope scope(ECodePage::Windows1250);
  const auto contacts =
      ReadForeign(Card("item1.TEL:111\r\nitem1.X-ABLabel:Chalupa v \xC8"
                       "ech\xE1"
                       "ch\r\nTEL;TYPE=X-K\xF9\xF2:222\r\n"
                       "BEGIN:VCARD\r\nFN:Ji\xF8\xED\r\nEND:VCARD\r\n"));
  const CTreeItem& r = Only(contacts);
  EXPECT_EQ(NoteLines(r), (std::vector<std::string>{"Agent: Jiří", "Phone (chalupa v Čechách): 111",
                                                    "Phone (kůň): 222"}));
  ExpectWellFormed(contacts);
}

// A long file is read by two threads, cut between two cards near its middle; the contacts must
// be the very ones, in the same order, that reading each card on its own gives.
TEST(ForeignVCardReader, shouldReadALongFileAsEachOfItsCardsAlone) {
  std::vector<std::string> cards;
  size_t size = 0;
  for (int i = 0; size < (9u << 20); ++i) {
    std::string card;
    switch (i % 5) {
      case 0:
        card = Card("N:Dvořák;Jan " + std::to_string(i) + ";;;\r\nTEL;TYPE=CELL:+420 602 " +
                    std::to_string(i) + "\r\nNOTE:" + std::string(120, 'x') + "\r\n  y\r\n");
        break;
      case 1:
        card = "BEGIN:VCARD\r\nVERSION:2.1\r\nFN:Wąsik " + std::to_string(i) +
               "\r\nAGENT:\r\nBEGIN:VCARD\r\nFN:Asistent\r\nEND:VCARD\r\nTEL;WORK:1\r\n"
               "END:VCARD\r\n";
        break;
      case 2:
        card = "BEGIN:VCARD\nVERSION:2.1\nN;CHARSET=windows-1250:Gr\xF6\xDF;" + std::to_string(i) +
               "\nNOTE;ENCODING=QUOTED-PRINTABLE:a=\nb\nEND:VCARD\n";
        break;
      case 3:
        card = Card("FN:Jürgen " + std::to_string(i) + "\r\nBDAY:--0517\r\n", "4.0");
        break;
      default:
        card = Card("item1.EMAIL:x" + std::to_string(i) +
                    "@y.cz\r\nitem1.X-ABLabel:Chata\r\n"
                    "CATEGORIES:A,B\r\n");
        break;
    }
    size += card.size();
    cards.push_back(std::move(card));
  }
  std::string file;
  for (const std::string& c : cards) file += c;
  std::vector<size_t> offsets;
  std::vector<SForeignContact> contacts;
  SForeignReadHooks hooks;
  hooks.onContact = [&](SForeignContact&& c) { contacts.push_back(std::move(c)); };
  hooks.onProgress = [&](size_t done) { offsets.push_back(done); };
  ReadForeignVCards(file, hooks);
  ASSERT_EQ(contacts.size(), cards.size());
  for (size_t i = 0; i < cards.size(); ++i) {
    const auto alone = ReadForeign(cards[i]);
    ASSERT_EQ(alone.size(), 1u) << i;
    for (const SRecordField& f : kRecordFields)
      ASSERT_EQ(FieldText(*contacts[i].pRecord, f.id), FieldText(*alone[0].pRecord, f.id))
          << "card " << i << " field " << f.name;
  }
  EXPECT_TRUE(std::is_sorted(offsets.begin(), offsets.end()));
  ASSERT_FALSE(offsets.empty());
  EXPECT_EQ(offsets.back(), file.size());
}

// A long file is cut between two cards for two readers; the place is guessed from the middle on,
// and a card open around the guess (a nested card's BEGIN line, or cards that never end) must
// not be cut.
TEST(ForeignVCardReader, shouldNotCutALongFileInsideACard) {
  auto cards = [](int from, size_t bytes) {
    std::string out;
    for (int i = from; out.size() < bytes; ++i)
      out += Card("FN:Dvořák " + std::to_string(i) + "\r\nTEL;TYPE=CELL:+420 602 " +
                  std::to_string(i) + "\r\n");
    return out;
  };
  // The middle falls into a long note, and the first BEGIN line after it is the nested card's.
  const std::string before = cards(0, 3u << 20), after = cards(1000000, 3u << 20);
  const std::string big =
      "BEGIN:VCARD\r\nVERSION:2.1\r\nFN:Łukasz Wąsik\r\nNOTE:" + std::string(2u << 20, 'x') +
      "\r\nAGENT:\r\nBEGIN:VCARD\r\nFN:Jürgen Größ\r\nEND:VCARD\r\n"
      "TEL;WORK:1\r\nEND:VCARD\r\n";
  const std::string file = before + big + after;
  const auto all = ReadForeign(file);
  const auto first = ReadForeign(before), last = ReadForeign(after);
  const auto middle = ReadForeign(big);
  ASSERT_EQ(middle.size(), 1u);
  ASSERT_EQ(all.size(), first.size() + 1 + last.size());
  for (size_t i = 0; i < all.size(); ++i) {
    const CTreeItem& expected = i < first.size()    ? *first[i].pRecord
                                : i == first.size() ? *middle[0].pRecord
                                                    : *last[i - first.size() - 1].pRecord;
    for (const SRecordField& f : kRecordFields)
      ASSERT_EQ(FieldText(*all[i].pRecord, f.id), FieldText(expected, f.id))
          << "card " << i << " field " << f.name;
  }
  EXPECT_NE(FieldText(*all[first.size()].pRecord, fieldRemark).find("Agent: Jürgen Größ"),
            std::string::npos);

  // Cards that all lack their END line leave no place to cut: each is still one contact.
  std::string open;
  int count = 0;
  for (; open.size() < (4u << 20) + 1024; ++count)
    open += "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Wąsik " + std::to_string(count) + "\r\n";
  const auto unended = ReadForeign(open);
  ASSERT_EQ(unended.size(), static_cast<size_t>(count));
  EXPECT_EQ(unended.back().pRecord->m_strLabel, "Wąsik " + std::to_string(count - 1));
}

// A long file is read in pieces whose starts are guessed at equal steps through it; wherever
// such a step lands (in a value folded or soft-broken over lines that look like a card's
// start, in a file just long enough to be cut, or in one card that fills the file) the
// contacts are those of the cards read one by one, in order.
TEST(ForeignVCardReader, shouldReadEveryPieceOfALongFileAsItsCardsAlone) {
  auto fill = [](size_t bytes, auto&& make) {
    std::vector<std::string> cards;
    size_t size = 0;
    for (int i = 0; size < bytes; ++i) {
      cards.push_back(make(i));
      size += cards.back().size();
    }
    return cards;
  };
  // Long values whose continuation lines read BEGIN:VCARD: every guessed start falls on one.
  const std::string folded = "NOTE:Dvořák" + std::string(3000, 'x') + "\r\n BEGIN:VCARD\r\n" +
                             std::string(1, ' ') + std::string(3000, 'y') + "\r\n";
  // A soft break before a line that reads BEGIN:VCARD= (still the value), and before one that
  // reads BEGIN:VCARD (a card of its own that starts there).
  const std::string softBroken = "NOTE;ENCODING=QUOTED-PRINTABLE:Gr=C3=B6=C3=9F" +
                                 std::string(3000, 'x') + "=\r\nBEGIN:VCARD=\r\n" +
                                 std::string(3000, 'y') + "=\r\nBEGIN:VCARD\r\nFN:Wąsik\r\n";
  const struct {
    const char* what;
    std::vector<std::string> cards;
  } cases[] = {
      {"folded lines",
       fill(5u << 20,
            [&](int i) { return Card("FN:Jan " + std::to_string(i) + "\r\n" + folded); })},
      {"soft line breaks",
       fill(5u << 20,
            [&](int i) {
              return Card("FN:Łukasz " + std::to_string(i) + "\r\n" + softBroken, "2.1");
            })},
      {"just long enough to be cut", fill((4u << 20) + 1,
                                          [](int i) {
                                            return Card("FN:Jürgen Größ " + std::to_string(i) +
                                                        "\r\nTEL:+49 " + std::to_string(i) +
                                                        "\r\n");
                                          })},
      {"one giant card",
       {Card("FN:Łukasz Wąsik\r\nNOTE:" + std::string(5u << 20, 'x') + "\r\nTEL;WORK:1\r\n")}},
      {"one giant card with cards inside its folded lines",
       {Card("FN:Łukasz Wąsik\r\n" +
             [] {
               std::string note = "NOTE:a";
               while (note.size() < (5u << 20)) note += "\r\n BEGIN:VCARD\r\n FN:Dvořák\r\n";
               return note + "\r\n";
             }())}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    std::string file;
    for (const std::string& card : c.cards) file += card;
    ASSERT_GE(file.size(), 4u << 20);
    std::vector<size_t> offsets;
    std::vector<SForeignContact> contacts;
    SForeignReadHooks hooks;
    hooks.onContact = [&](SForeignContact&& contact) { contacts.push_back(std::move(contact)); };
    hooks.onProgress = [&](size_t done) { offsets.push_back(done); };
    ReadForeignVCards(file, hooks);
    std::vector<SForeignContact> alone;
    for (const std::string& card : c.cards)
      for (SForeignContact& contact : ReadForeign(card)) alone.push_back(std::move(contact));
    ASSERT_GE(alone.size(), c.cards.size());
    ASSERT_EQ(contacts.size(), alone.size());
    for (size_t i = 0; i < alone.size(); ++i)
      for (const SRecordField& f : kRecordFields)
        ASSERT_EQ(FieldText(*contacts[i].pRecord, f.id), FieldText(*alone[i].pRecord, f.id))
            << "contact " << i << " field " << f.name;
    EXPECT_TRUE(std::is_sorted(offsets.begin(), offsets.end()));
    ASSERT_FALSE(offsets.empty());
    EXPECT_EQ(offsets.back(), file.size());
  }
}

TEST(ForeignVCardReader, shouldReportProgressInBytesOfTheFileForUtf16) {
  std::string card = Card("FN:Łukasz\r\n"), utf16 = "\xFF\xFE";
  for (size_t i = 0; i < card.size();) {
    const char32_t c = DecodeUtf8(card, i);
    utf16 += static_cast<char>(c & 0xFF);
    utf16 += static_cast<char>(c >> 8);
  }
  size_t last = 0;
  SForeignReadHooks hooks;
  hooks.onProgress = [&](size_t done) { last = done; };
  ReadForeignVCards(utf16, hooks);
  EXPECT_EQ(last, utf16.size());
}

TEST(ForeignVCardReader, shouldNeverHandOutMalformedUtf8) {
  CCodePageScope scope(ECodePage::Windows1252);
  std::mt19937 rng(13);
  const std::vector<std::string> pieces = {"BEGIN:VCARD\r\n",
                                           "END:VCARD\r\n",
                                           "N;CHARSET=SHIFT_JIS:",
                                           "NOTE;ENCODING=QUOTED-PRINTABLE:",
                                           "=C5",
                                           "=\r\n",
                                           "\xC5",
                                           "\x99",
                                           "\xFF\xFE",
                                           "\xED\xA0\x80",
                                           "\xF4\x90\x80\x80",
                                           "\\",
                                           ";",
                                           ":",
                                           "\r",
                                           "\n",
                                           " ",
                                           "item1.",
                                           "X-ABLabel:",
                                           "ADR:",
                                           "CHARSET=UTF-16:",
                                           "\0"};
  for (int i = 0; i < 3000; ++i) {
    std::string bytes;
    const int n = static_cast<int>(rng() % 60);
    for (int k = 0; k < n; ++k) {
      if (rng() % 3)
        bytes += pieces[rng() % pieces.size()];
      else
        bytes += static_cast<char>(rng() % 256);
    }
    const auto contacts = ReadForeign(bytes);
    ExpectWellFormed(contacts);
    if (HasFailure()) return;
  }
}

TEST(ForeignVCardReader, shouldReadAtMostTheMostPropertiesOfACardAndSayHowManyWereLeftOut) {
  std::string lines;
  for (size_t i = 0; i < kMaxCardProperties + 2; ++i)
    lines += "X-CUSTOM:wąsik" + std::to_string(i) + "\r\n";
  const auto contacts = ReadForeign("BEGIN:VCARD\r\nVERSION:3.0\r\n" + lines + "END:VCARD\r\n");
  const CTreeItem& r = Only(contacts);
  // VERSION is one of the properties read.
  ASSERT_TRUE(r.m_pExtras);
  ASSERT_EQ(r.m_pExtras->properties.size(), kMaxCardProperties - 1);
  EXPECT_EQ(r.m_pExtras->properties.back(), "X-CUSTOM:wąsik9998");
  EXPECT_EQ(r.m_strRemark, "Left out: 3 more properties (a card holds at most 10000)");
}

TEST(ForeignVCardReader, shouldHandEmptyCardsApartInTheirPlaceInShortAndLongFiles) {
  // The long file is read in pieces by two threads.
  for (const size_t repeats : {size_t{3}, size_t{100000}}) {
    std::string file;
    for (size_t i = 0; i < repeats; ++i)
      file += "BEGIN:VCARD\r\nVERSION:3.0\r\nEND:VCARD\r\nBEGIN:VCARD\r\nFN:Jiří " +
              std::to_string(i) + "\r\nEND:VCARD\r\nBEGIN:VCARD\r\nEND:VCARD\r\n";
    std::vector<std::string> order;
    SForeignReadHooks hooks;
    hooks.onContact = [&](SForeignContact&& c) {
      order.emplace_back(c.pRecord->m_strLabel.view());
    };
    hooks.onEmptyCard = [&] { order.emplace_back(); };
    ReadForeignVCards(file, hooks);
    ASSERT_EQ(order.size(), 3 * repeats);
    for (size_t i = 0; i < repeats; ++i) {
      ASSERT_EQ(order[3 * i], "") << i;
      ASSERT_EQ(order[3 * i + 1], "Jiří " + std::to_string(i));
      ASSERT_EQ(order[3 * i + 2], "") << i;
    }
  }
}

TEST(ForeignVCardReader, shouldKeepTheCardsOwnIdentityWhenItIsOneLineOfSensibleLength) {
  struct SCase {
    std::string lines;
    const char* uid;
    const char* rev;
  };
  const SCase cases[] = {
      {"UID:urn:uuid:4fbe8971-0bc3-424c-9c26-36c3e1eff6b1\r\nREV:20261201T080000Z\r\n",
       "urn:uuid:4fbe8971-0bc3-424c-9c26-36c3e1eff6b1", "20261201T080000Z"},
      {"REV:2024-01-01T00:00:00Z\r\nUID:νίκος@example.gr\r\nUID:second\r\n", "νίκος@example.gr",
       "2024-01-01T00:00:00Z"},
      {"UID:line\\nbreak\r\n", "", ""},                    // would break the line it is written on
      {"UID:" + std::string(1001, 'x') + "\r\n", "", ""},  // no identifier is that long
      {"UID:   \r\n", "", ""},
  };
  for (const SCase& c : cases) {
    const auto contacts = ReadForeign(Card("FN:Łukasz Żółć\r\n" + c.lines));
    const CTreeItem& r = Only(contacts);
    EXPECT_EQ(r.m_pExtras ? r.m_pExtras->uid : "", c.uid) << c.lines;
    EXPECT_EQ(r.m_pExtras ? r.m_pExtras->rev : "", c.rev) << c.lines;
    EXPECT_EQ(r.m_strRemark, "") << c.lines;
  }
}

// A card of nothing but its name leaves every other field of its record at the defaults of a new
// record: no text, the numbers of a new record, no date set and today for the form to offer.
TEST(ForeignVCardReader, shouldLeaveWhatACardDoesNotSayAtTheDefaultsOfANewRecord) {
  const std::pair<const char*, const char*> cards[] = {
      {"BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Jiří Dvořák\r\nEND:VCARD\r\n", "Jiří Dvořák"},
      {"BEGIN:VCARD\nVERSION:2.1\nFN:Łucja Wąsik\nEND:VCARD\n", "Łucja Wąsik"},
      {"BEGIN:VCARD\r\nVERSION:4.0\r\nFN:Γιώργος\r\nEND:VCARD\r\n", "Γιώργος"},
      {"BEGIN:VCARD\r\nVERSION:3.0\r\nFN:王秀英\r\nEND:VCARD\r\n", "王秀英"},
  };
  const CTreeItem before;
  for (const auto& [card, label] : cards) {
    SCOPED_TRACE(label);
    const auto contacts = ReadForeign(card);
    ASSERT_EQ(contacts.size(), 1u);
    const CTreeItem& r = *contacts[0].pRecord;
    const CTreeItem after;
    for (const SRecordField& f : kRecordFields) {
      SCOPED_TRACE(std::string(f.name));
      if (f.type == EFieldType::text) {
        EXPECT_EQ((r.*f.pText).view(), f.id == fieldLabel ? label : "");
        continue;
      }
      EXPECT_EQ(r.*f.pNumber, before.*f.pNumber);
      if (f.type == EFieldType::date) {
        EXPECT_TRUE((r.*f.pDate).DateOnly() == (before.*f.pDate).DateOnly() ||
                    (r.*f.pDate).DateOnly() == (after.*f.pDate).DateOnly());
      }
    }
    EXPECT_EQ(r.m_nKind, kindUnplaced);
    EXPECT_EQ(r.m_pParent, nullptr);
  }
}
