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

namespace {

// The 38 text members, independent of the field list the code under test uses.
using T = CTreeItem;
// clang-format off
CTextField T::*const kTexts[] = {
    &T::m_strFirstName, &T::m_strMiddleName, &T::m_strLastName,
    &T::m_strTitle, &T::m_strNickname, &T::m_strLabel,
    &T::m_strHomeStreet, &T::m_strHomeCity, &T::m_strHomePostalCode,
    &T::m_strHomeState, &T::m_strHomeCountry, &T::m_strHomePhone,
    &T::m_strHomeFax, &T::m_strPersonalMobile, &T::m_strHomeIpPhone,
    &T::m_strPersonalWeb, &T::m_strPersonalPager, &T::m_strPersonalEmail,
    &T::m_strCompany, &T::m_strJobTitle, &T::m_strDepartment,
    &T::m_strOffice, &T::m_strBusinessStreet, &T::m_strBusinessCity,
    &T::m_strBusinessPostalCode, &T::m_strBusinessState, &T::m_strBusinessCountry,
    &T::m_strBusinessPhone, &T::m_strBusinessFax, &T::m_strBusinessMobile,
    &T::m_strBusinessIpPhone, &T::m_strBusinessWeb, &T::m_strBusinessPager,
    &T::m_strBusinessEmail, &T::m_strRemark, &T::m_strSpouse,
    &T::m_strChildren, &T::m_strAnniversaryText,
};
// clang-format on
static_assert(std::size(kTexts) == 38);

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

std::unique_ptr<CTreeItem> MakeFullRecord() {
  // Each field a different mix, so a field read into its neighbour shows.
  static const char* const kMixes[] = {"Čeněk Šťastný",
                                       "Ústí, nad Labem",
                                       "Ředitel; \"šéf\"",
                                       "\"Ďábel\"",
                                       "řádek 1\r\nřádek 2, ; \"",
                                       "\"\"",
                                       "a=b=0D",
                                       ";,",
                                       "Žluťoučký kůň\r\n\r\n"};
  auto r = std::make_unique<CTreeItem>();
  for (size_t i = 0; i < std::size(kTexts); ++i)
    (*r).*kTexts[i] = std::string(kMixes[i % std::size(kMixes)]) + " " + std::to_string(i);
  r->m_nGender = 2;
  r->m_bGroup = 1;
  r->m_nPrefEmail = 0;
  r->m_nPrefUrl = 1;
  r->m_dtBirthday = CDateTime(1975, 12, 31);
  r->m_bBirthday = 1;
  r->m_dtNameDay = CDateTime(2000, 2, 29);
  r->m_bNameDay = 1;
  r->m_dtAnniversary = CDateTime(812, 1, 2);
  r->m_bAnniversary = 1;
  return r;
}

std::unique_ptr<CTreeItem> MakeSmallTree() {
  auto make = [](const char* label) {
    auto* r = new CTreeItem;
    r->m_strLabel = label;
    return r;
  };
  std::unique_ptr<CTreeItem> root(make("r"));
  CTreeItem* a = make("a");
  CTreeItem* b = make("b");
  b->m_bGroup = 1;
  CTreeItem::AddChild(root.get(), a);
  CTreeItem::AddChild(a, make("a1"));
  CTreeItem::AddChild(root.get(), b);
  return root;
}

void ExpectSameFields(const CTreeItem& e, const CTreeItem& a) {
  for (size_t i = 0; i < std::size(kTexts); ++i)
    EXPECT_EQ((e.*kTexts[i]).view(), (a.*kTexts[i]).view()) << "text field " << i;
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
