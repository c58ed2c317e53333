#include "InterchangeTestSupport.h"

namespace zorvan::testing {

CDateTime FixtureClock() { return CDateTime(2024, 6, 1, 8, 9, 10); }

std::unique_ptr<CTreeItem> MakeFixtureRecord() {
  auto r = std::make_unique<CTreeItem>();
  r->m_strFirstName = "Jiří";
  r->m_strLastName = "Černý";
  r->m_strMiddleName = "Ž.";
  r->m_strTitle = "Ing.";
  r->m_strLabel = "Černý, Jiří";
  r->m_strNickname = "Jirka";
  r->m_nGender = 1;
  r->m_bGroup = 0;
  r->m_nPrefEmail = 1;
  r->m_nPrefUrl = 0;
  r->m_strHomeStreet = "Dlouhá 12";
  r->m_strHomeCity = "Říčany";
  r->m_strHomePostalCode = "251 01";
  r->m_strHomeState = "Středočeský kraj";
  r->m_strHomeCountry = "Česko";
  r->m_strHomePhone = "+420 222 111 000";
  r->m_strPersonalMobile = "+420 777 000 111";
  r->m_strPersonalEmail = "jiri@example.cz";
  r->m_strPersonalWeb = "http://jiri.example";
  r->m_strCompany = "Tavorin, a.s.";
  r->m_strJobTitle = "Vedoucí";
  r->m_strDepartment = "Vývoj; testy";
  r->m_strOffice = "B-204";
  r->m_strBusinessStreet = "Na Příkopě 5";
  r->m_strBusinessCity = "Brno";
  r->m_strBusinessPostalCode = "602 00";
  r->m_strBusinessCountry = "Česko";
  r->m_strBusinessPhone = "+420 543 000 000";
  r->m_strBusinessEmail = "cerny@tavorin.example";
  r->m_strBusinessIpPhone = "sip:jiri@example.cz";
  r->m_strSpouse = "Eva";
  r->m_strChildren = "Petr, Jana";
  r->m_strAnniversaryText = "Svatba";
  r->m_strRemark = "Říká \"Ahoj\"\r\nDruhý řádek";
  r->m_dtBirthday = CDateTime(1990, 5, 17);
  r->m_bBirthday = 1;
  // A nameday that is not set keeps a date; it must not be written.
  r->m_dtNameDay = CDateTime(2024, 4, 24);
  r->m_bNameDay = 0;
  r->m_dtAnniversary = CDateTime(2001, 3, 5);
  r->m_bAnniversary = 1;
  return r;
}

std::unique_ptr<CTreeItem> MakeFullRecord() {
  auto r = std::make_unique<CTreeItem>();
  r->m_strFirstName = "Čeněk";
  r->m_strLastName = "Šťastný; ml.";
  r->m_strMiddleName = "Ř.";
  r->m_strTitle = "\"Doc.\"";
  r->m_strLabel = "Šťastný, Čeněk";
  r->m_strNickname = "Čenda \"Ťuk\"";
  r->m_nGender = 2;
  r->m_bGroup = 1;
  r->m_nPrefEmail = 0;
  r->m_nPrefUrl = 1;
  r->m_strHomeStreet = "Žižkova 3,\r\n2. patro";
  r->m_strHomeCity = "Ústí nad Labem";
  r->m_strHomePostalCode = "400 01";
  r->m_strHomeState = "Ústecký; kraj";
  r->m_strHomeCountry = "Česká republika";
  r->m_strHomePhone = "+420 475 000 001";
  r->m_strHomeFax = "+420 475 000 002";
  r->m_strPersonalMobile = "+420 603 000 003";
  r->m_strHomeIpPhone = "sip:doma@example.cz";
  r->m_strPersonalWeb = "http://example.cz/?a=1;b=2";
  r->m_strPersonalPager = "pager 4";
  r->m_strPersonalEmail = "cenek@example.cz";
  r->m_strCompany = "Škoda, Ďábel & syn";
  r->m_strJobTitle = "Ředitel";
  r->m_strDepartment = "Účtárna";
  r->m_strOffice = "Kancelář 7; křídlo B";
  r->m_strBusinessStreet = "Průmyslová 1";
  r->m_strBusinessCity = "Plzeň";
  r->m_strBusinessPostalCode = "301 00";
  r->m_strBusinessState = "Plzeňský";
  r->m_strBusinessCountry = "ČR";
  r->m_strBusinessPhone = "+420 377 000 005";
  r->m_strBusinessFax = "+420 377 000 006";
  r->m_strBusinessMobile = "+420 777 000 007";
  r->m_strBusinessIpPhone = "sip:prace@example.cz";
  r->m_strBusinessWeb = "https://skoda.example";
  r->m_strBusinessPager = "pager 8";
  r->m_strBusinessEmail = "reditel@skoda.example";
  r->m_strRemark = "První řádek; \"citát\", čárka\r\nDruhý řádek\r\n\r\nPo prázdném řádku";
  r->m_strSpouse = "Žofie";
  r->m_strChildren = "Eliška, Vojtěch; Jan";
  r->m_strAnniversaryText = "Svatba \"na zámku\"";
  r->m_dtBirthday = CDateTime(1975, 12, 31);
  r->m_bBirthday = 1;
  r->m_dtNameDay = CDateTime(2000, 2, 29);
  r->m_bNameDay = 1;
  r->m_dtAnniversary = CDateTime(1999, 1, 2);
  r->m_bAnniversary = 1;
  return r;
}

namespace {

void ExpectSameDate(const char* name, int flagE, const CDateTime& e, int flagA,
                    const CDateTime& a) {
  EXPECT_EQ(flagE, flagA) << name;
  if (flagE == 0) return;
  EXPECT_EQ(e.m_status, a.m_status) << name;
  EXPECT_EQ(e.GetYear(), a.GetYear()) << name;
  EXPECT_EQ(e.GetMonth(), a.GetMonth()) << name;
  EXPECT_EQ(e.GetDay(), a.GetDay()) << name;
}

}  // namespace

void ExpectSameFields(const CTreeItem& e, const CTreeItem& a) {
#define ZORVAN_SAME(field) EXPECT_EQ(e.field.view(), a.field.view()) << #field
  ZORVAN_SAME(m_strFirstName);
  ZORVAN_SAME(m_strMiddleName);
  ZORVAN_SAME(m_strLastName);
  ZORVAN_SAME(m_strTitle);
  ZORVAN_SAME(m_strNickname);
  ZORVAN_SAME(m_strLabel);
  ZORVAN_SAME(m_strHomeStreet);
  ZORVAN_SAME(m_strHomeCity);
  ZORVAN_SAME(m_strHomePostalCode);
  ZORVAN_SAME(m_strHomeState);
  ZORVAN_SAME(m_strHomeCountry);
  ZORVAN_SAME(m_strHomePhone);
  ZORVAN_SAME(m_strHomeFax);
  ZORVAN_SAME(m_strPersonalMobile);
  ZORVAN_SAME(m_strHomeIpPhone);
  ZORVAN_SAME(m_strPersonalWeb);
  ZORVAN_SAME(m_strPersonalPager);
  ZORVAN_SAME(m_strPersonalEmail);
  ZORVAN_SAME(m_strCompany);
  ZORVAN_SAME(m_strJobTitle);
  ZORVAN_SAME(m_strDepartment);
  ZORVAN_SAME(m_strOffice);
  ZORVAN_SAME(m_strBusinessStreet);
  ZORVAN_SAME(m_strBusinessCity);
  ZORVAN_SAME(m_strBusinessPostalCode);
  ZORVAN_SAME(m_strBusinessState);
  ZORVAN_SAME(m_strBusinessCountry);
  ZORVAN_SAME(m_strBusinessPhone);
  ZORVAN_SAME(m_strBusinessFax);
  ZORVAN_SAME(m_strBusinessMobile);
  ZORVAN_SAME(m_strBusinessIpPhone);
  ZORVAN_SAME(m_strBusinessWeb);
  ZORVAN_SAME(m_strBusinessPager);
  ZORVAN_SAME(m_strBusinessEmail);
  ZORVAN_SAME(m_strRemark);
  ZORVAN_SAME(m_strSpouse);
  ZORVAN_SAME(m_strChildren);
  ZORVAN_SAME(m_strAnniversaryText);
#undef ZORVAN_SAME
  EXPECT_EQ(e.m_nGender, a.m_nGender);
  EXPECT_EQ(e.m_bGroup, a.m_bGroup);
  EXPECT_EQ(e.m_nPrefEmail, a.m_nPrefEmail);
  EXPECT_EQ(e.m_nPrefUrl, a.m_nPrefUrl);
  ExpectSameDate("birthday", e.m_bBirthday, e.m_dtBirthday, a.m_bBirthday, a.m_dtBirthday);
  ExpectSameDate("nameday", e.m_bNameDay, e.m_dtNameDay, a.m_bNameDay, a.m_dtNameDay);
  ExpectSameDate("anniversary", e.m_bAnniversary, e.m_dtAnniversary, a.m_bAnniversary,
                 a.m_dtAnniversary);
}

}  // namespace zorvan::testing
