#include "sync/DavXml.h"

#include <gtest/gtest.h>

#include "sync/CardDavClient.h"

namespace zorvan::sync {
namespace {

// An address book home as servers write it: the default namespace for DAV:, prefixes for the
// others, a propstat of the properties the server lacks, a removed member and a card.
constexpr const char* kHome = R"(<?xml version="1.0" encoding="utf-8"?>
<multistatus xmlns="DAV:" xmlns:C="urn:ietf:params:xml:ns:carddav"
             xmlns:CS="http://calendarserver.org/ns/">
 <response>
  <href>/jana/kontakty/</href>
  <propstat><prop>
    <resourcetype><collection/><C:addressbook/></resourcetype>
    <displayname>Kontakty Žofie</displayname>
    <supported-report-set><supported-report><report><sync-collection/></report></supported-report>
    </supported-report-set>
    <CS:getctag>ctag-7</CS:getctag>
    <sync-token>http://radicale.org/ns/sync/7</sync-token>
  </prop><status>HTTP/1.1 200 OK</status></propstat>
  <propstat><prop><getetag/><current-user-principal><href>/wrong/</href></current-user-principal>
  </prop><status>HTTP/1.1 404 Not Found</status></propstat>
 </response>
 <response><href>/jana/kontakty/%C5%BEofie.vcf</href>
  <propstat><prop><getetag>"e-1"</getetag><C:address-data><![CDATA[BEGIN:VCARD
FN:Žofie & 王小明
END:VCARD
]]></C:address-data></prop><status>HTTP/1.1 200 OK</status></propstat></response>
 <response><href>/jana/kontakty/gone.vcf</href><status>HTTP/1.1 404 Not Found</status></response>
 <sync-token>token-8</sync-token>
</multistatus>)";

TEST(DavXmlTest, ReadsTheFoundPropertiesOfEachResponse) {
  SMultistatus answer;
  std::string error;
  ASSERT_TRUE(ParseMultistatus(kHome, answer, error)) << error;
  ASSERT_EQ(answer.responses.size(), 3u);
  EXPECT_EQ(answer.strSyncToken, "token-8");
  const auto& book = answer.responses[0];
  EXPECT_EQ(book.strHref, "/jana/kontakty/");
  EXPECT_TRUE(book.bCollection && book.bAddressBook && book.bSyncCollection);
  EXPECT_FALSE(book.bCalendar);
  EXPECT_EQ(book.strDisplayName, "Kontakty Žofie");
  EXPECT_EQ(book.strCtag, "ctag-7");
  EXPECT_EQ(book.strSyncToken, "http://radicale.org/ns/sync/7");
  EXPECT_FALSE(book.bHasEtag);  // listed under 404
  EXPECT_EQ(book.strPrincipal, "");
  EXPECT_EQ(book.propstatStatus, (std::vector<int>{200, 404}));
  const auto& card = answer.responses[1];
  EXPECT_EQ(card.strEtag, "\"e-1\"");
  EXPECT_TRUE(card.bHasData);
  EXPECT_EQ(card.strData, "BEGIN:VCARD\nFN:Žofie & 王小明\nEND:VCARD\n");
  EXPECT_EQ(answer.responses[2].nStatus, 404);
  EXPECT_EQ(answer.responses[2].strHref, "/jana/kontakty/gone.vcf");
}

// Xandikos's spelling: a supported-report without its <report>.
TEST(DavXmlTest, ReadsThePrincipalAndTheHomes) {
  const char* xml = R"(<d:multistatus xmlns:d="DAV:" xmlns:c="urn:ietf:params:xml:ns:carddav"
      xmlns:k="urn:ietf:params:xml:ns:caldav"><d:response><d:href>/</d:href><d:propstat><d:prop>
      <d:current-user-principal><d:href>/jana/</d:href></d:current-user-principal>
      <c:addressbook-home-set><d:href>/jana/adresy/</d:href></c:addressbook-home-set>
      <k:calendar-home-set><d:href>/jana/kalendáře/</d:href></k:calendar-home-set>
      <d:resourcetype><d:collection/><k:calendar/></d:resourcetype><d:supported-report-set>
      <d:supported-report><d:sync-collection/></d:supported-report></d:supported-report-set>
      </d:prop><d:status>HTTP/1.1 200 OK</d:status></d:propstat></d:response></d:multistatus>)";
  SMultistatus answer;
  std::string error;
  ASSERT_TRUE(ParseMultistatus(xml, answer, error)) << error;
  ASSERT_EQ(answer.responses.size(), 1u);
  EXPECT_EQ(answer.responses[0].strHref, "/");
  EXPECT_EQ(answer.responses[0].strPrincipal, "/jana/");
  EXPECT_EQ(answer.responses[0].strAddressBookHome, "/jana/adresy/");
  EXPECT_EQ(answer.responses[0].strCalendarHome, "/jana/kalendáře/");
  EXPECT_TRUE(answer.responses[0].bCalendar);
  EXPECT_FALSE(answer.responses[0].bAddressBook);
  EXPECT_TRUE(answer.responses[0].bSyncCollection);
}

// Damaged answers fail whole: nothing of what was read before the damage is kept.
TEST(DavXmlTest, RefusesWhatIsNoCompleteMultistatus) {
  const std::string good(kHome);
  struct SCase {
    const char* name;
    std::string xml;
  };
  const SCase cases[] = {
      {"empty", ""},
      {"cut short", good.substr(0, good.find("gone.vcf"))},
      {"cut before the root ends", good.substr(0, good.rfind("</multistatus>"))},
      {"mismatched tag", R"(<multistatus xmlns="DAV:"><response></propstat></multistatus>)"},
      {"html page", "<html><body><p>Přihlaste se</p></body></html>"},
      {"multistatus outside DAV:", "<multistatus><response/></multistatus>"},
      {"document type with entities",
       "<!DOCTYPE m [<!ENTITY a \"aaaa\">]><multistatus xmlns=\"DAV:\">&a;</multistatus>"},
      {"garbage after the root", good + "<response/>"},
  };
  for (const auto& c : cases) {
    SMultistatus answer;
    answer.strSyncToken = "before";
    std::string error;
    EXPECT_FALSE(ParseMultistatus(c.xml, answer, error)) << c.name;
    EXPECT_FALSE(error.empty()) << c.name;
    EXPECT_TRUE(answer.responses.empty() && answer.strSyncToken.empty()) << c.name;
  }
}

// The request bodies carry hrefs and tokens escaped, and read back as the same values.
TEST(DavXmlTest, RequestBodiesEscapeHrefsAndTokens) {
  const std::vector<std::string> hrefs = {"/kniha/a&b.vcf", "/kniha/<Ελένη>.vcf"};
  const std::string multiget = AddressBookMultigetBody(hrefs);
  EXPECT_NE(multiget.find("<d:href>/kniha/a&amp;b.vcf</d:href>"), std::string::npos) << multiget;
  EXPECT_NE(multiget.find("<d:href>/kniha/&lt;Ελένη&gt;.vcf</d:href>"), std::string::npos);
  EXPECT_NE(multiget.find("<card:address-data/>"), std::string::npos);
  const std::string sync = SyncCollectionBody("t&\"1'");
  EXPECT_NE(sync.find("<d:sync-token>t&amp;&quot;1&apos;</d:sync-token>"), std::string::npos);
  const std::string propfind = PropfindBody({EDavProp::Etag, EDavProp::AddressBookHomeSet});
  EXPECT_NE(propfind.find("<d:prop><d:getetag/><card:addressbook-home-set/></d:prop>"),
            std::string::npos)
      << propfind;
  EXPECT_NE(MakeCollectionBody("Přátelé & rodina", false).find("Přátelé &amp; rodina"),
            std::string::npos);
}

TEST(DavXmlTest, HrefsNormaliseToOneForm) {
  struct SCase {
    const char* href;
    const char* normalized;
  };
  const SCase cases[] = {
      {"/jana/kontakty/a.vcf", "/jana/kontakty/a.vcf"},
      {"/jana/%c5%bdofie.vcf", "/jana/%C5%BDofie.vcf"},
      {"/jana/Žofie.vcf", "/jana/%C5%BDofie.vcf"},
      {"/jana/%7Ejan%40doma.vcf", "/jana/~jan@doma.vcf"},
      {"/a b/c.vcf", "/a%20b/c.vcf"},
      {"/a/b%2Fc.vcf", "/a/b%2Fc.vcf"},
      {"/a/100%.vcf", "/a/100%25.vcf"},
      {"https://dav.example.org:8443/jana/王.vcf?x=1", "/jana/%E7%8E%8B.vcf"},
      {"http://dav.example.org", "/"},
  };
  for (const auto& c : cases) EXPECT_EQ(NormalizeHref(c.href), c.normalized) << c.href;
}

}  // namespace
}  // namespace zorvan::sync
