#include <gtest/gtest.h>

#include "FakeHost.h"
#include "FakeTreePort.h"
#include "TestUtil.h"
#include "store/ZorvanDoc.h"

using namespace zorvan;
using namespace zorvan::test;

namespace {

// A date whose flag stays clear.
const CDateTime kNone(0.0, CDateTime::null);

class CalendarTest : public testing::Test {
 protected:
  CalendarTest() : clock(CDateTime(2003, 3, 10, 9, 0, 0)), doc(host) {
    WriteFile(dir / "names.cal",
              "BEGIN_CALNAMES\n24;12;Adam a Eva;\n24;12;Second;\n25;12;Boze narozeni;\n"
              "29;2;Leap;\n31;4;Nonsense;\nEND_CALNAMES\n");
    host.settings["Settings/Resource"] = dir / "names.cal";
    doc.OnNewDocument();
  }
  // A contact under the root with the given events (0 = not set).
  CTreeItem* Contact(const char* label, CDateTime birthday = kNone, CDateTime nameday = kNone,
                     CDateTime anniversary = kNone, const char* text = "") {
    auto* r = new CTreeItem;
    r->m_strLabel = label;
    r->m_bBirthday = birthday.m_status != CDateTime::null;
    r->m_bNameDay = nameday.m_status != CDateTime::null;
    r->m_bAnniversary = anniversary.m_status != CDateTime::null;
    if (r->m_bBirthday) r->m_dtBirthday = birthday;
    if (r->m_bNameDay) r->m_dtNameDay = nameday;
    if (r->m_bAnniversary) r->m_dtAnniversary = anniversary;
    r->m_strAnniversaryText = text;
    CTreeItem::AddChild(doc.ContactsRoot(), r);
    doc.BuildEventNodes(r);
    return r;
  }
  CCalendarTexts On(int year, int month, int day) {
    doc.m_dtCalendarDay = CDateTime(year, month, day, 15, 30, 0);
    return doc.FillCalendarTexts();
  }

  CTempDir dir;
  CFixedClock clock;
  CFakeHost host;
  CZorvanDoc doc;
};

}  // namespace

TEST_F(CalendarTest, shouldListBirthdaysWithAgesFromTheClockYearThenAnniversaries) {
  Contact("Jana", CDateTime(1970, 5, 17));
  Contact("Petr", CDateTime(1981, 5, 17, 23, 0, 0));
  Contact("Eva", kNone, kNone, CDateTime(1995, 5, 17), "wedding");
  Contact("Other", CDateTime(1970, 5, 18));
  const CCalendarTexts t = On(2003, 5, 17);
  EXPECT_EQ(t.m_strBirthdays, "Jana (33 let), Petr (22 let), Eva (wedding)");
  // The age counts from the clock's year, not from the shown day's.
  EXPECT_EQ(On(2010, 5, 17).m_strBirthdays, "Jana (33 let), Petr (22 let), Eva (wedding)");
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

TEST_F(CalendarTest, shouldShowA29thOfFebruaryBirthdayOnlyOnThatDay) {
  Contact("Leap", CDateTime(1972, 2, 29));
  EXPECT_EQ(On(2003, 2, 28).m_strBirthdays, "");
  EXPECT_EQ(On(2003, 2, 28).m_strNext7Days, "");  // 2003 has no 29 February
  EXPECT_EQ(On(2004, 2, 29).m_strBirthdays, "Leap (31 let)");
  EXPECT_EQ(On(2004, 2, 25).m_strNext7Days, "Leap");
  EXPECT_EQ(On(2004, 3, 1).m_strBirthdays, "");
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

TEST_F(CalendarTest, shouldAddAndRemoveEventNodesAsFlagsChange) {
  CFakeTreePort port;
  for (int i = 0; i < doc.m_items.GetSize(); ++i) port.Fill(doc.m_items.GetAt(i));
  doc.SetTreeViewPort(&port);
  CTreeItem* r = Contact("Zed");
  CTreeItem* a = Contact("Anna", CDateTime(1990, 1, 1));
  a->m_hItem = nullptr;  // only the event nodes matter here
  CTreeItem* birthdays = doc.Category(catBirthdays);
  r->m_bBirthday = 1;
  doc.SyncEventNodes(r);
  doc.SyncEventNodes(r);  // setting it again adds no second node
  ASSERT_EQ(birthdays->ChildCount(), 2u);
  EXPECT_EQ(birthdays->Child(1)->m_pLinked, r);
  EXPECT_EQ(birthdays->Child(1)->m_bGroup, 0);
  EXPECT_EQ(CFakeTreePort::Get(birthdays->Child(1)->m_hItem)->image, 3);
  // The new node's item took its place in the sorted category.
  EXPECT_EQ(CFakeTreePort::Texts(birthdays->m_hItem), std::vector<std::string>{"Zed"});
  r->m_bBirthday = 0;
  doc.SyncEventNodes(r);
  ASSERT_EQ(birthdays->ChildCount(), 1u);
  EXPECT_EQ(birthdays->Child(0)->m_pLinked, a);
  EXPECT_TRUE(host.questions.empty());  // calendar nodes go without a question
  EXPECT_TRUE(CFakeTreePort::Texts(birthdays->m_hItem).empty());
  doc.SetTreeViewPort(nullptr);
}

TEST_F(CalendarTest, shouldRelabelEventNodesInAllThreeCategories) {
  CFakeTreePort port;
  CTreeItem* r =
      Contact("Old", CDateTime(1990, 1, 1), CDateTime(1990, 1, 2), CDateTime(1990, 1, 3), "t");
  for (int i = 0; i < doc.m_items.GetSize(); ++i) port.Fill(doc.m_items.GetAt(i));
  doc.SetTreeViewPort(&port);
  r->m_strLabel = "New";
  doc.RenameEventNodes(r);
  for (int c : {catBirthdays, catAnniversaries, catNamedays}) {
    EXPECT_EQ(doc.Category(c)->Child(0)->m_strLabel, "New");
    EXPECT_EQ(CFakeTreePort::Texts(doc.Category(c)->m_hItem), std::vector<std::string>{"New"});
  }
  doc.SetTreeViewPort(nullptr);
}

TEST_F(CalendarTest, shouldBuildEventNodesForAWholeSubtreeParentsFirst) {
  auto* group = new CTreeItem;
  group->m_strLabel = "G";
  group->m_bGroup = 1;
  group->m_bBirthday = 1;
  auto* child = new CTreeItem;
  child->m_strLabel = "C";
  child->m_bBirthday = 1;
  CTreeItem::AddChild(group, child);
  CTreeItem::AddChild(doc.ContactsRoot(), group);
  doc.BuildEventNodes(group);
  CTreeItem* birthdays = doc.Category(catBirthdays);
  ASSERT_EQ(birthdays->ChildCount(), 2u);
  EXPECT_EQ(birthdays->Child(0)->m_strLabel, "G");
  EXPECT_EQ(birthdays->Child(0)->m_bGroup, 1);  // built nodes take the contact's group flag
  EXPECT_EQ(birthdays->Child(1)->m_pLinked, child);
}

TEST_F(CalendarTest, shouldClearTheGroupFlagOnlyOfEventNodesAddedAfterTheBuild) {
  // A group with its own birthday, as built with the branch and then copied and set anew.
  CTreeItem* group = Contact("Rodina Dvořákových", CDateTime(1975, 6, 1));
  group->m_bGroup = 1;
  CTreeItem* birthdays = doc.Category(catBirthdays);
  birthdays->Child(0)->m_bDeleted = 1;
  birthdays->RemoveDeleted();
  doc.BuildEventNodes(group);
  CFakeTreePort port;
  for (int i = 0; i < doc.m_items.GetSize(); ++i) port.Fill(doc.m_items.GetAt(i));
  doc.SetTreeViewPort(&port);
  CTreeItem* other = Contact("Łucja Wiśniewska");
  other->m_hItem = port.InsertItem(doc.ContactsRoot()->m_hItem, other, "Łucja", 1);
  CTreeItem* copy = doc.CopyBranch(group, other);
  ASSERT_NE(copy, nullptr);
  ASSERT_EQ(birthdays->ChildCount(), 2u);
  EXPECT_EQ(birthdays->Child(0)->m_bGroup, 1);
  EXPECT_EQ(CFakeTreePort::Get(birthdays->Child(0)->m_hItem)->image, 2);
  EXPECT_EQ(birthdays->Child(1)->m_pLinked, copy);
  EXPECT_EQ(birthdays->Child(1)->m_bGroup, 0);
  EXPECT_EQ(CFakeTreePort::Get(birthdays->Child(1)->m_hItem)->image, 3);
  // A date set later on the group itself.
  group->m_bNameDay = 1;
  doc.SyncEventNodes(group);
  CTreeItem* namedays = doc.Category(catNamedays);
  ASSERT_EQ(namedays->ChildCount(), 1u);
  EXPECT_EQ(namedays->Child(0)->m_bGroup, 0);
  EXPECT_EQ(CFakeTreePort::Get(namedays->Child(0)->m_hItem)->image, 3);
  doc.SetTreeViewPort(nullptr);
}
