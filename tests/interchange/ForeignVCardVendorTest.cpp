#include <gtest/gtest.h>

#include "ForeignVCardTestSupport.h"
#include "interchange/vcard/ForeignVCardWriter.h"

using namespace zorvan;
using namespace zorvan::testing;

// The vendors' own properties of the address books that write them, each read into the field
// that holds what it says, or kept as its line when there is none or the field is taken. The
// cards are reconstructed from the programs' exports: KAddressBook's X-KADDRESSBOOK-X-<field>,
// Evolution's X-EVOLUTION-* with its UI slots, Windows Address Book's and Outlook's 2.1 cards,
// Apple's item groups with _$!<Word>!$_ and localised labels, Google's export.

namespace {

struct SVendorCase {
  const char* program;
  std::string card;
  std::vector<std::pair<EField, std::string>> fields;
  std::vector<std::string> kept;  // the kept lines, in order
};

std::string Card(std::string_view version, std::string_view body) {
  return "BEGIN:VCARD\r\nVERSION:" + std::string(version) + "\r\n" + std::string(body) +
         "END:VCARD\r\n";
}

std::vector<SVendorCase> VendorCases() {
  return {
      {"KAddressBook",
       Card("3.0",
            "FN:Jiřina Nováková\r\nN:Nováková;Jiřina;;;\r\nORG:Novák a syn\r\n"
            "X-KADDRESSBOOK-X-Department:Účtárna\r\nX-KADDRESSBOOK-X-Office:Budova B\r\n"
            "X-KADDRESSBOOK-X-Profession:Účetní\r\nX-KADDRESSBOOK-X-Anniversary:2001-06-16\r\n"
            "X-KADDRESSBOOK-X-SpousesName:Jiří Novák\r\n"
            "X-KADDRESSBOOK-X-AssistantsName:Petra Malá\r\n"
            "X-KADDRESSBOOK-X-ManagersName:Karel Veliký\r\n"
            "X-KADDRESSBOOK-BlogFeed:http://jirina.cz/rss\r\n"
            "X-KADDRESSBOOK-X-IMAddress:jirina@jabber.cz\r\n"),
       {{fieldCompany, "Novák a syn"},
        {fieldDepartment, "Účtárna"},
        {fieldOffice, "Budova B"},
        {fieldJobTitle, "Účetní"},
        {fieldAnniversary, "2001-06-16"},
        {fieldSpouse, "Jiří Novák"},
        {fieldHomeIpPhone, "jirina@jabber.cz"}},
       {"X-KADDRESSBOOK-X-AssistantsName:Petra Malá", "X-KADDRESSBOOK-X-ManagersName:Karel Veliký",
        "X-KADDRESSBOOK-BlogFeed:http://jirina.cz/rss"}},
      {"Evolution",
       Card("3.0",
            "FN:Zofia Wąsowska\r\nN:Wąsowska;Zofia;;;\r\nTITLE:Dyrektor\r\n"
            "X-EVOLUTION-FILE-AS:Wąsowska\\, Zofia\r\nX-EVOLUTION-SPOUSE:Łukasz Wąsowski\r\n"
            "X-EVOLUTION-ANNIVERSARY:2010-09-04\r\nX-EVOLUTION-MANAGER:Jan Kowalski\r\n"
            "X-EVOLUTION-ASSISTANT:Anna Nowak\r\n"
            "X-AIM;TYPE=HOME;X-EVOLUTION-UI-SLOT=1:zofia.w@aol.com\r\n"
            "X-JABBER;TYPE=WORK;X-EVOLUTION-UI-SLOT=2:zofia@jabber.org\r\n"
            "X-SKYPE;TYPE=HOME;X-EVOLUTION-UI-SLOT=3:zofia.wasowska\r\n"
            "X-GADUGADU;X-EVOLUTION-UI-SLOT=4:1234567\r\n"),
       {{fieldLabel, "Zofia Wąsowska"},
        {fieldJobTitle, "Dyrektor"},
        {fieldSpouse, "Łukasz Wąsowski"},
        {fieldAnniversary, "2010-09-04"},
        {fieldHomeIpPhone, "aim:zofia.w@aol.com"},
        {fieldBusinessIpPhone, "xmpp:zofia@jabber.org"}},
       // A card with FN keeps its "file as" name, written back after the rest.
       {"X-EVOLUTION-MANAGER:Jan Kowalski", "X-EVOLUTION-ASSISTANT:Anna Nowak",
        "X-SKYPE;TYPE=HOME;X-EVOLUTION-UI-SLOT=3:zofia.wasowska",
        "X-GADUGADU;X-EVOLUTION-UI-SLOT=4:1234567", "X-EVOLUTION-FILE-AS:Wąsowska\\, Zofia"}},
      {"KAddressBook's department before ORG",
       Card("3.0", "X-KADDRESSBOOK-X-Department:Dział kadr\r\nORG:Wąsowska S.A.;Zarząd\r\n"),
       {{fieldCompany, ""}, {fieldDepartment, "Dział kadr"}},
       {"ORG:Wąsowska S.A.;Zarząd"}},
      {"KAddressBook's department before a company alone",
       Card("3.0", "X-KADDRESSBOOK-X-Department:Dział kadr\r\nORG:Wąsowska S.A.\r\n"),
       {{fieldCompany, "Wąsowska S.A."}, {fieldDepartment, "Dział kadr"}},
       {}},
      {"Evolution without FN",
       Card("3.0", "N:Wąsowska;Zofia;;;\r\nX-EVOLUTION-FILE-AS:Wąsowska\\, Zofia\r\n"),
       {{fieldLabel, "Wąsowska, Zofia"}},
       {}},
      {"Windows Address Book",
       Card("2.1",
            "N:Παπαδόπουλος;Γιώργος\r\nFN:Γιώργος Παπαδόπουλος\r\nX-WAB-GENDER:2\r\n"
            "X-WAB-WEDDING_ANNIVERSARY:19950521\r\nX-WAB-SPOUSE_NAME:Ελένη Παπαδοπούλου\r\n"),
       {{fieldGender, "1"}, {fieldAnniversary, "1995-05-21"}, {fieldSpouse, "Ελένη Παπαδοπούλου"}},
       {}},
      {"Outlook",
       Card("2.1",
            "N:Nováková;Jiřina\r\nFN:Jiřina Nováková\r\nX-WAB-GENDER:1\r\n"
            "X-MS-OL-DEFAULT-POSTAL-ADDRESS:2\r\nX-MS-IMADDRESS:jirina@firma.cz\r\n"
            "X-MS-SPOUSE:Jiří Novák\r\nX-MS-ANNIVERSARY:20050618\r\n"
            "X-MS-MANAGER:Věra Horáková\r\nX-MS-ASSISTANT:Tomáš Malý\r\n"),
       {{fieldGender, "2"},
        {fieldHomeIpPhone, "jirina@firma.cz"},
        {fieldSpouse, "Jiří Novák"},
        {fieldAnniversary, "2005-06-18"}},
       {"X-MS-OL-DEFAULT-POSTAL-ADDRESS:2", "X-MS-MANAGER:Věra Horáková",
        "X-MS-ASSISTANT:Tomáš Malý"}},
      {"Apple Contacts",
       Card("3.0",
            "FN:Zofia Wąsowska\r\nitem1.X-ABRELATEDNAMES;type=pref:Jan Wąsowski\r\n"
            "item1.X-ABLabel:_$!<Spouse>!$_\r\nitem2.X-ABDATE;type=pref:2004-06-19\r\n"
            "item2.X-ABLabel:_$!<Anniversary>!$_\r\nitem3.X-ABRELATEDNAMES:Marta Wąsowska\r\n"
            "item3.X-ABLabel:_$!<Child>!$_\r\nitem4.X-ABRELATEDNAMES:Piotr Zieliński\r\n"
            "item4.X-ABLabel:_$!<Manager>!$_\r\nitem5.URL;type=pref:http://wasowska.pl\r\n"
            "item5.X-ABLabel:_$!<HomePage>!$_\r\nitem6.EMAIL;type=INTERNET:zofia@example.pl\r\n"
            "item6.X-ABLabel:_$!<Other>!$_\r\n"
            "IMPP;X-SERVICE-TYPE=Skype;type=HOME;type=pref:skype:zofia.wasowska\r\n"
            "X-SKYPE:zofia.wasowska\r\n"),
       {{fieldSpouse, "Jan Wąsowski"},
        {fieldAnniversary, "2004-06-19"},
        {fieldChildren, "Marta Wąsowska"},
        {fieldPersonalWeb, "http://wasowska.pl"},
        {fieldPersonalEmail, "zofia@example.pl"},
        {fieldHomeIpPhone, "skype:zofia.wasowska"},
        {fieldBusinessIpPhone, ""}},  // the same handle twice is held once
       {"item4.X-ABRELATEDNAMES:Piotr Zieliński", "item4.X-ABLabel:_$!<Manager>!$_"}},
      {"Apple Contacts in Czech",
       Card("3.0",
            "FN:Jiřina Nováková\r\nitem1.X-ABRELATEDNAMES:Jiří Novák\r\nitem1.X-ABLabel:Manžel\r\n"
            "item2.X-ABDATE:2001-06-16\r\nitem2.X-ABLabel:výročí\r\n"
            "item3.X-ABRELATEDNAMES:Anna Nováková\r\nitem3.X-ABLabel:Dcera\r\n"
            "item4.X-ABRELATEDNAMES:Jana Nová\r\nitem4.X-ABLabel:Manželka\r\n"),
       {{fieldSpouse, "Jiří Novák"},
        {fieldAnniversary, "2001-06-16"},
        {fieldChildren, "Anna Nováková"}},
       // A second spouse finds the field taken.
       {"item4.X-ABRELATEDNAMES:Jana Nová", "item4.X-ABLabel:Manželka"}},
      {"Apple Contacts in German",
       Card("3.0",
            "FN:Jürgen Größ\r\nitem1.X-ABRELATEDNAMES:Gisela Größ\r\n"
            "item1.X-ABLabel:Ehepartner\r\nitem2.X-ABDATE:1988-08-08\r\n"
            "item2.X-ABLabel:Jahrestag\r\n"),
       {{fieldSpouse, "Gisela Größ"}, {fieldAnniversary, "1988-08-08"}},
       {}},
      {"Google Contacts",
       Card("3.0",
            "FN:Γιώργος Παπαδόπουλος\r\nN:Παπαδόπουλος;Γιώργος;;;\r\n"
            "item1.X-ABDATE:2012-04-01\r\nitem1.X-ABLabel:_$!<Anniversary>!$_\r\n"
            "item2.X-ABRELATEDNAMES:Ελένη\r\nitem2.X-ABLabel:_$!<Spouse>!$_\r\n"
            "item3.X-ABRELATEDNAMES:Νίκος\r\nitem3.X-ABLabel:_$!<Assistant>!$_\r\n"
            "X-GOOGLE-TALK:giorgos@gmail.com\r\nX-ICQ:998877\r\nX-YAHOO:giorgos_p\r\n"),
       {{fieldAnniversary, "2012-04-01"},
        {fieldSpouse, "Ελένη"},
        {fieldHomeIpPhone, "xmpp:giorgos@gmail.com"},
        {fieldBusinessIpPhone, "icq:998877"}},
       {"item3.X-ABRELATEDNAMES:Νίκος", "item3.X-ABLabel:_$!<Assistant>!$_", "X-YAHOO:giorgos_p"}},
      {"generic X- names and 4.0",
       Card("4.0",
            "FN:Łukasz Wąsik\r\nGENDER:M\r\nANNIVERSARY:20000101\r\nX-ANNIVERSARY:1999-12-31\r\n"
            "X-SPOUSE:Ewa Wąsik\r\nX-ASSISTANT:Ola\r\nX-MANAGER:Szef\r\nX-GENDER:Female\r\n"
            "IMPP;TYPE=work:xmpp:lukasz@jabber.pl\r\nX-SKYPE-USERNAME:lukasz.w\r\n"
            "X-MSN:lukasz@hotmail.com\r\n"),
       {{fieldGender, "1"},
        {fieldAnniversary, "2000-01-01"},
        {fieldSpouse, "Ewa Wąsik"},
        {fieldHomeIpPhone, "skype:lukasz.w"},
        {fieldBusinessIpPhone, "xmpp:lukasz@jabber.pl"}},
       {"X-ANNIVERSARY:1999-12-31", "X-ASSISTANT:Ola", "X-MANAGER:Szef",
        "X-MSN:lukasz@hotmail.com"}},
  };
}

}  // namespace

TEST(ForeignVCardVendors, shouldReadEachProgramsOwnPropertiesIntoFieldsOrKeepTheirLines) {
  for (const SVendorCase& c : VendorCases()) {
    SCOPED_TRACE(c.program);
    const auto contacts = ReadForeign(c.card);
    ASSERT_EQ(contacts.size(), 1u);
    ExpectWellFormed(contacts);
    const CTreeItem& r = *contacts[0].pRecord;
    for (const auto& [field, value] : c.fields)
      EXPECT_EQ(FieldText(r, field), value) << RecordField(field).name;
    EXPECT_EQ(r.m_pExtras ? r.m_pExtras->properties : std::vector<std::string>(), c.kept);
    // Nothing of it went to the remark: what has no field is in the kept lines.
    EXPECT_TRUE(r.m_strRemark.empty()) << r.m_strRemark;
  }
}

// Exported for other programs, what was read goes back in standard properties where there is
// one (the messaging handles as IMPP), the rest as the lines kept; read again, it is the same.
TEST(ForeignVCardVendors, shouldWriteBackWhatWasReadAndReadItTheSameAgain) {
  for (const SVendorCase& c : VendorCases()) {
    SCOPED_TRACE(c.program);
    const auto first = ReadForeign(c.card);
    ASSERT_EQ(first.size(), 1u);
    const CTreeItem& r = *first[0].pRecord;
    for (const EVCardVersion version : {EVCardVersion::v30, EVCardVersion::v40}) {
      const std::string card = ForeignVCard(r, version, {}, "urn:uuid:1");
      const bool v30 = version == EVCardVersion::v30;
      const std::pair<EField, std::string_view> sides[] = {
          {fieldHomeIpPhone, v30 ? "HOME" : "home"}, {fieldBusinessIpPhone, v30 ? "WORK" : "work"}};
      for (const auto& [ip, type] : sides) {
        const std::string value = FieldText(r, ip);
        const std::string impp = "IMPP;TYPE=" + std::string(type) + ":" + value + "\r\n";
        EXPECT_EQ(card.find(impp) != std::string::npos, value.find(':') != std::string::npos)
            << impp << card;
      }
      for (const std::string& line : c.kept)
        EXPECT_NE(card.find(line + "\r\n"), std::string::npos) << line << "\n" << card;
      const auto again = ReadForeign(card);
      ASSERT_EQ(again.size(), 1u);
      for (const SRecordField& f : kRecordFields)
        EXPECT_EQ(FieldText(*again[0].pRecord, f.id), FieldText(r, f.id)) << f.name << "\n" << card;
    }
  }
}
