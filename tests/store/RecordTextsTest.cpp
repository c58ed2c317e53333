#include "store/RecordTexts.h"

#include <gtest/gtest.h>

#include "TestUtil.h"

using namespace zorvan;

namespace {

using Strings = std::vector<std::string>;

struct RecordTexts : ::testing::Test {
  test::CFixedClock clock{CDateTime(2026, 5, 17)};
  CTreeItem r;
};

}  // namespace

TEST_F(RecordTexts, shouldSuggestLabelsInOrderFromTheGivenNames) {
  r.m_strFirstName = "Jan";
  r.m_strMiddleName = "Karel";
  r.m_strLastName = "Novák";
  r.m_strNickname = "Honza";
  EXPECT_EQ(LabelSuggestions(r),
            (Strings{"Honza", "Jan Novák", "Jan K. Novák", "Novák, Jan", "Novák, Jan K."}));
  // The initial is a whole character, however many bytes it takes.
  r.m_strMiddleName = "Čeněk";
  r.m_strNickname.clear();
  EXPECT_EQ(LabelSuggestions(r),
            (Strings{"Jan Novák", "Jan Č. Novák", "Novák, Jan", "Novák, Jan Č."}));
  r.m_strMiddleName.clear();
  EXPECT_EQ(LabelSuggestions(r), (Strings{"Jan Novák", "Novák, Jan"}));
}

TEST_F(RecordTexts, shouldSuggestNoNameLabelWithoutBothFirstAndLastName) {
  r.m_strMiddleName = "Łucja";
  r.m_strLastName = "Wąsowska";
  EXPECT_EQ(LabelSuggestions(r), Strings{});
  r.m_strLastName.clear();
  r.m_strFirstName = "Jürgen";
  EXPECT_EQ(LabelSuggestions(r), Strings{});
  r.m_strNickname = "Jü";
  EXPECT_EQ(LabelSuggestions(r), Strings{"Jü"});
}

TEST_F(RecordTexts, shouldListThePersonalAddressBeforeTheBusinessOne) {
  r.m_strBusinessEmail = "jiri@firma.example";
  EXPECT_EQ(PreferredEntries(r, EPreferredKind::email), Strings{"jiri@firma.example"});
  r.m_strPersonalEmail = "jiri@doma.example";
  EXPECT_EQ(PreferredEntries(r, EPreferredKind::email),
            (Strings{"jiri@doma.example", "jiri@firma.example"}));
  r.m_strPersonalWeb = "https://doma.example";
  EXPECT_EQ(PreferredEntries(r, EPreferredKind::web), Strings{"https://doma.example"});
}

TEST_F(RecordTexts, shouldKeepThePreferredIndexesConsistentWithTheAddressesGiven) {
  // Only a business e-mail address: "none" becomes the one entry there is.
  r.m_strBusinessEmail = "b@firma.example";
  r.m_nPrefEmail = IndexAfterFill(-1, 1);
  NormalisePreferred(r);
  EXPECT_EQ(r.m_nPrefEmail, 0);
  EXPECT_EQ(SelectionOf(r.m_nPrefEmail, 1), 0);

  // A stored business choice without a business address falls back to the personal one.
  r.m_strBusinessEmail.clear();
  r.m_strPersonalEmail = "p@doma.example";
  r.m_nPrefEmail = IndexAfterFill(1, 1);
  EXPECT_EQ(r.m_nPrefEmail, 1);
  EXPECT_EQ(SelectionOf(r.m_nPrefEmail, 1), -1);
  NormalisePreferred(r);
  EXPECT_EQ(r.m_nPrefEmail, 0);

  // With only the business address, index 1 stays and selects nothing.
  r.m_strPersonalEmail.clear();
  r.m_strBusinessEmail = "b@firma.example";
  r.m_nPrefEmail = IndexAfterFill(1, 1);
  NormalisePreferred(r);
  EXPECT_EQ(r.m_nPrefEmail, 1);
  EXPECT_EQ(SelectionOf(r.m_nPrefEmail, 1), -1);

  // No address of a kind: none preferred; the two kinds are independent.
  r.m_nPrefUrl = 1;
  r.m_strPersonalWeb.clear();
  NormalisePreferred(r);
  EXPECT_EQ(r.m_nPrefUrl, -1);
  EXPECT_EQ(r.m_nPrefEmail, 1);
  EXPECT_EQ(IndexAfterFill(7, 2), 2);
  EXPECT_EQ(IndexAfterFill(-1, 0), -1);
}

TEST_F(RecordTexts, shouldSummariseTheNameLineFromNamesNicknameOrLabel) {
  r.m_strFirstName = "Jan";
  r.m_strLastName = "Novák";
  r.m_strNickname = "Honza";
  EXPECT_EQ(BuildSummary(r).strNameLine, "Jan Novák (Honza)");
  r.m_strFirstName.clear();
  r.m_strNickname.clear();
  EXPECT_EQ(BuildSummary(r).strNameLine, " Novák");
  r.m_strLastName.clear();
  r.m_strLabel = "Strýc";
  EXPECT_EQ(BuildSummary(r).strNameLine, "Strýc");
  r.m_strNickname = "Honza";
  EXPECT_EQ(BuildSummary(r).strNameLine, "Strýc (Honza)");
}

TEST_F(RecordTexts, shouldJoinTheGivenPartsOfAddressesPhonesAndInternet) {
  r.m_strHomeStreet = "Dlouhá 5";
  r.m_strHomeCity = "Brno";
  r.m_strHomeCountry = "Česko";
  r.m_strPersonalMobile = "+420 602 000 000";
  r.m_strPersonalWeb = "https://doma.example";
  r.m_strBusinessPhone = "+48 22 000 00 00";
  r.m_strBusinessMobile = "+48 600 000 000";
  r.m_strBusinessStreet = "ul. Żelazna 3";
  r.m_strBusinessPostalCode = "00-001";
  const SSummaryTexts s = BuildSummary(r);
  EXPECT_EQ(s.strHomeAddress, "Dlouhá 5, Brno, Česko");
  EXPECT_EQ(s.strHomePhone, "+420 602 000 000");
  EXPECT_EQ(s.strHomeInternet, "https://doma.example");
  EXPECT_EQ(s.strWorkAddress, "ul. Żelazna 3, 00-001");
  EXPECT_EQ(s.strWorkPhone, "+48 22 000 00 00, +48 600 000 000");
  EXPECT_EQ(s.strWorkInternet, "");
}

TEST_F(RecordTexts, shouldCaptionTheWorkLineWithCompanyAndDepartment) {
  r.m_strDepartment = "Vývoj";
  EXPECT_EQ(BuildSummary(r).strWorkLine, "Zaměstnání");
  r.m_strCompany = "Škoda a.s.";
  EXPECT_EQ(BuildSummary(r).strWorkLine, "Škoda a.s.: Vývoj");
  r.m_strDepartment.clear();
  EXPECT_EQ(BuildSummary(r).strWorkLine, "Škoda a.s.");
}

TEST_F(RecordTexts, shouldTakeThePreferredAddressAndFallBackToTheOnlyOneGiven) {
  r.m_strPersonalEmail = "jiri@dvorak.example";
  r.m_strBusinessEmail = "dvorak@firma.example";
  r.m_strBusinessWeb = "www.firma.example";
  r.m_nPrefEmail = 0;
  EXPECT_EQ(PreferredAddress(r, EPreferredKind::email), "jiri@dvorak.example");
  r.m_nPrefEmail = 1;
  EXPECT_EQ(PreferredAddress(r, EPreferredKind::email), "dvorak@firma.example");
  // Index 0 names the only address there is, here the business page.
  r.m_nPrefUrl = 0;
  EXPECT_EQ(PreferredAddress(r, EPreferredKind::web), "www.firma.example");
  r.m_strPersonalWeb = "www.dvořák.example";
  EXPECT_EQ(PreferredAddress(r, EPreferredKind::web), "www.dvořák.example");
}

TEST_F(RecordTexts, shouldMakeTheFallbackLabelFromNamesThenCompanyThenEmail) {
  struct SRow {
    const char* first;
    const char* middle;
    const char* last;
    const char* company;
    const char* personal;
    const char* business;
    const char* label;
  };
  const SRow rows[] = {
      {"Jiří", "Čeněk", "Dvořák", "Škoda", "jiri@doma.cz", "", "Jiří Čeněk Dvořák"},
      {"", "Ζωή", "", "Škoda", "", "", "Ζωή"},
      {"Łukasz", "", "Wąsowski", "", "", "", "Łukasz Wąsowski"},
      {"", "", "", "北京大学", "wang@doma.cn", "", "北京大学"},
      {"", "", "", "", "jürgen@haus.de", "jürgen@firma.de", "jürgen@haus.de"},
      {"", "", "", "", "", "jürgen@firma.de", "jürgen@firma.de"},
      {"", "", "", "", "", "", ""},
  };
  for (const SRow& row : rows) {
    r.m_strFirstName = row.first;
    r.m_strMiddleName = row.middle;
    r.m_strLastName = row.last;
    r.m_strCompany = row.company;
    r.m_strPersonalEmail = row.personal;
    r.m_strBusinessEmail = row.business;
    EXPECT_EQ(FallbackLabel(r), row.label) << row.label;
  }
}
