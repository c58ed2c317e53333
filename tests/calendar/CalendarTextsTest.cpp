#include <gtest/gtest.h>

#include <limits>

#include "CalendarFixture.h"

using namespace zorvan;
using namespace zorvan::test;

TEST_F(CalendarTest, shouldListBirthdaysWithTheAgeReachedOnTheShownDayThenAnniversaries) {
  Contact("Jana", CDateTime(1970, 5, 17));
  Contact("Petr", CDateTime(1981, 5, 17, 23, 0, 0));
  Contact("Eva", kNone, kNone, CDateTime(1995, 5, 17), "wedding");
  Contact("Other", CDateTime(1970, 5, 18));
  Contact("Nenarozený", CDateTime(2005, 5, 17));
  EXPECT_EQ(On(2003, 5, 17).m_strBirthdays,
            "Jana (33 let), Petr (22 let), Nenarozený, Eva (wedding)");
  // The age is the one reached on the day shown, whatever year the clock is in.
  EXPECT_EQ(On(2010, 5, 17).m_strBirthdays,
            "Jana (40 let), Petr (29 let), Nenarozený (5 let), Eva (wedding)");
}

TEST_F(CalendarTest, shouldListNamedaysAndTheFirstCalendarNameOfTheDay) {
  Contact("Adam", kNone, CDateTime(1999, 12, 24));
  Contact("Eva", kNone, CDateTime(2001, 12, 24));
  const CCalendarTexts t = On(2003, 12, 24);
  EXPECT_EQ(t.m_strNamedaysToday, "Adam a Eva");
  EXPECT_EQ(t.m_strContactNamedays, "Adam, Eva");
  EXPECT_EQ(t.m_strBirthdays, "");
  // Both names of the day have their nodes.
  EXPECT_EQ(doc.Category(catCalNames)->Child(0)->m_strLabel, "Adam a Eva: 24.12");
  EXPECT_EQ(doc.Category(catCalNames)->Child(1)->m_strLabel, "Second: 24.12");
  EXPECT_EQ(doc.Category(catCalNames)->Child(0)->m_dtNameDay, CDateTime(2003, 12, 24));
}

TEST_F(CalendarTest, shouldListTheComingWeekAcrossTheYearEndWithoutTheShownDay) {
  Contact("Today", CDateTime(1980, 12, 25));
  Contact("Boxing", CDateTime(1980, 12, 26));
  Contact("NewYear", kNone, CDateTime(1990, 1, 1));
  Contact("Wedding", kNone, kNone, CDateTime(1990, 12, 31), "x");
  Contact("TooLate", CDateTime(1980, 1, 2));
  Contact("Both", CDateTime(1980, 12, 27), CDateTime(1980, 12, 27));
  const CCalendarTexts t = On(2003, 12, 25);
  // Day by day: birthdays, then namedays, then anniversaries.
  EXPECT_EQ(t.m_strNext7Days, "Boxing, Both, Both, Wedding, NewYear");
  EXPECT_EQ(t.m_strBirthdays, "Today (23 let)");
  EXPECT_EQ(t.m_strNamedaysToday, "Boze narozeni");
}

TEST_F(CalendarTest, shouldListAnniversariesOfTheWeekWhenNobodyHasANameday) {
  Contact("Eva", kNone, kNone, CDateTime(1995, 3, 12), "wedding");
  EXPECT_EQ(On(2003, 3, 10).m_strNext7Days, "Eva");
}

// A common year has no 29 February: its birthdays and anniversaries fall on the 28th, in the
// day's list and in the coming week's; a leap year lists them on the 29th alone.
TEST_F(CalendarTest, shouldListThe29thOfFebruaryOnThe28thInCommonYears) {
  Contact("Łucja", CDateTime(1972, 2, 29));
  Contact("Ευα", kNone, kNone, CDateTime(1996, 2, 29), "svatba");
  Contact("Adam", CDateTime(1980, 2, 28));
  Contact("Březen", CDateTime(1980, 3, 1));
  const struct {
    int y, m, d;
    const char *birthdays, *next7;
  } cases[] = {
      {2003, 2, 28, "Łucja (31 let), Adam (23 let), Ευα (svatba)", "Březen"},
      {2003, 3, 1, "Březen (23 let)", ""},
      {2003, 2, 22, "", "Łucja, Adam, Ευα, Březen"},
      {2004, 2, 28, "Adam (24 let)", "Łucja, Ευα, Březen"},
      {2004, 2, 29, "Łucja (32 let), Ευα (svatba)", "Březen"},
      {2004, 3, 1, "Březen (24 let)", ""},
      {2100, 2, 28, "Łucja (128 let), Adam (120 let), Ευα (svatba)", "Březen"},  // no leap year
      {2000, 2, 29, "Łucja (28 let), Ευα (svatba)", "Březen"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.y) + "-" + std::to_string(c.m) + "-" + std::to_string(c.d));
    const CCalendarTexts t = On(c.y, c.m, c.d);
    EXPECT_EQ(t.m_strBirthdays, c.birthdays);
    EXPECT_EQ(t.m_strNext7Days, c.next7);
  }
}

TEST_F(CalendarTest, shouldNeverMatchASetDateThatIsNotValid) {
  Contact("Broken", CDateTime(0.0, CDateTime::invalid));
  Contact("Nan", CDateTime(std::numeric_limits<double>::quiet_NaN()));
  EXPECT_EQ(On(1899, 12, 30).m_strBirthdays, "");
  EXPECT_EQ(On(1899, 12, 25).m_strNext7Days, "");
}

TEST_F(CalendarTest, shouldKeepCalendarNamesWhoseDayThisYearLacks) {
  // The clock is in 2003: 29 February and 31 April do not exist, but both are listed.
  CTreeItem* calnames = doc.Category(catCalNames);
  ASSERT_EQ(calnames->ChildCount(), 5u);
  EXPECT_EQ(calnames->Child(3)->m_strLabel, "Leap: 29.2");
  EXPECT_EQ(calnames->Child(3)->m_dtNameDay.m_status, CDateTime::invalid);
  EXPECT_EQ(calnames->Child(4)->m_strLabel, "Nonsense: 31.4");
  EXPECT_EQ(On(2004, 2, 29).m_strNamedaysToday, "Leap");
}

TEST_F(CalendarTest, shouldListTheDaysWithoutAYearKeptFromOtherProgramsWithoutAnAge) {
  // A contact in parent that keeps the lines of another program's card.
  auto kept = [this](CTreeItem* parent, const char* label, std::vector<std::string> lines,
                     const char* text = "") {
    auto* r = new CTreeItem;
    r->m_strLabel = label;
    r->m_strAnniversaryText = text;
    r->m_pExtras = std::make_unique<SRecordExtras>();
    r->m_pExtras->properties = std::move(lines);
    CTreeItem::AddChild(parent, r);
    doc.BuildEventNodes(r);
    return r;
  };
  CTreeItem* root = doc.ContactsRoot();
  Contact("Jana", CDateTime(1970, 5, 17));
  kept(root, "Νίκος", {"TEL:1", "BDAY:--0517"});
  kept(root, "王小明", {"ANNIVERSARY:--05-17"}, "svatba");
  kept(root, "Zofia",
       {"item1.X-ABDATE:--0519", "item1.X-ABLabel:_$!<Anniversary>!$_", "BDAY:--0520"});
  CTreeItem* group = Contact("Rodina");
  group->m_bGroup = 1;
  kept(group, "Dvořák", {"BDAY;X-APPLE-OMIT-YEAR=1604:1604-05-18"});
  // The record's own date wins over a kept one; a date whose flag is clear is none.
  CTreeItem* jurgen = Contact("Jürgen", CDateTime(1960, 1, 1));
  jurgen->m_pExtras = std::make_unique<SRecordExtras>();
  jurgen->m_pExtras->properties = {"BDAY:--0517"};
  kept(root, "Stale", {"BDAY:--0521"})->m_dtBirthday = CDateTime(1970, 5, 17);

  const CCalendarTexts t = On(2003, 5, 17);
  EXPECT_EQ(t.m_strBirthdays, "Jana (33 let), Νίκος, 王小明 (svatba)");
  EXPECT_EQ(t.m_strNext7Days, "Dvořák, Zofia, Zofia, Stale");
  EXPECT_EQ(On(2003, 5, 19).m_strBirthdays, "Zofia ()");
  EXPECT_EQ(On(2003, 1, 1).m_strBirthdays, "Jürgen (43 let)");
  // Every one has its node in the calendar branch, and only one.
  EXPECT_EQ(doc.Category(catBirthdays)->ChildCount(), 6u);
  EXPECT_EQ(doc.Category(catAnniversaries)->ChildCount(), 2u);
  // A removed line takes its node with it when the record is brought in step.
  jurgen->m_bBirthday = 0;
  doc.SyncEventNodes(jurgen);
  EXPECT_EQ(On(2003, 5, 17).m_strBirthdays, "Jana (33 let), Νίκος, Jürgen, 王小明 (svatba)");
  jurgen->m_pExtras->properties.clear();
  doc.SyncEventNodes(jurgen);
  EXPECT_EQ(doc.Category(catBirthdays)->ChildCount(), 5u);
}
