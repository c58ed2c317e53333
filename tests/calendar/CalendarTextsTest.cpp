#include <gtest/gtest.h>

#include <limits>

#include "CalendarFixture.h"
#include "calendar/NamedayNames.h"
#include "res/TextFold.h"

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

// The reminders of a week: day by day, birthdays with the age reached on their own day (across
// the year's end too), anniversaries with their texts, then namedays.
TEST_F(CalendarTest, shouldListTheRemindersOfTheWeekDayByDayWithTheirAges) {
  Contact("Jiří Dvořák", CDateTime(1958, 12, 9));
  Contact("Zofia Łukasiewicz", kNone, CDateTime(1990, 12, 9));
  Contact("Νίκος Παπαδόπουλος", CDateTime(1980, 12, 11), kNone, CDateTime(2001, 12, 11), "γάμος");
  Contact("王小明", CDateTime(1990, 1, 2));
  Contact("Jürgen", CDateTime(2030, 12, 10));
  Contact("Später", CDateTime(1990, 12, 17));
  Contact("Łucja", CDateTime(1972, 2, 29));
  const struct {
    int y, m, d;
    std::vector<std::string> texts;  // "<day>:<text>"
  } cases[] = {
      {2003,
       12,
       9,
       {"0:Jiří Dvořák (45 let)", "0:Zofia Łukasiewicz", "1:Jürgen",
        "2:Νίκος Παπαδόπουλος (23 let)", "2:Νίκος Παπαδόπουλος (γάμος)"}},
      {2003, 12, 27, {"6:王小明 (14 let)"}},  // the age of the coming year
      {2031,
       12,
       10,
       {"0:Jürgen (1 let)", "1:Νίκος Παπαδόπουλος (51 let)", "1:Νίκος Παπαδόπουλος (γάμος)",
        "7:Später (41 let)"}},
      {2003, 2, 22, {"6:Łucja (31 let)"}},  // on the 28th in a common year
      {2004, 2, 23, {"6:Łucja (32 let)"}},
      {2003, 4, 1, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.y) + "-" + std::to_string(c.m) + "-" + std::to_string(c.d));
    std::vector<std::string> texts;
    const CDateTime today(c.y, c.m, c.d, 7, 0, 0);
    for (const SReminder& r : CollectReminders(doc, today)) {
      texts.push_back(std::to_string(r.nDay) + ":" + r.strText);
      EXPECT_EQ(r.dtDay, today.AddDays(r.nDay).DateOnly());
      EXPECT_EQ(r.pContact->m_strLabel.view(), r.strText.substr(0, r.pContact->m_strLabel.size()));
    }
    EXPECT_EQ(texts, c.texts);
  }
  EXPECT_TRUE(CollectReminders(doc, CDateTime(0.0, CDateTime::invalid)).empty());
}

// The reminders of today are the Calendar page's list of the day, so the two never disagree.
TEST_F(CalendarTest, shouldRemindOfTodayWhatTheCalendarPageListsForTheDay) {
  Contact("Jana", CDateTime(1970, 5, 17));
  Contact("Eva", kNone, CDateTime(1999, 5, 17), CDateTime(1995, 5, 17), "svatba");
  Contact("Ödön", CDateTime(1961, 5, 20), kNone, CDateTime(1985, 5, 21));
  for (int day = 14; day <= 21; ++day) {
    SCOPED_TRACE(day);
    const CCalendarTexts page = On(2003, 5, day);
    std::string today, namedays;
    const auto add = [](std::string& list, const std::string& text) {
      list += (list.empty() ? "" : ", ") + text;
    };
    for (const SReminder& r : CollectReminders(doc, doc.m_dtCalendarDay)) {
      if (r.nDay > 0) continue;
      add(r.strText == r.pContact->m_strLabel.view() ? namedays : today, r.strText);
    }
    EXPECT_EQ(today, page.m_strBirthdays);
    EXPECT_EQ(namedays, page.m_strContactNamedays);
  }
}

TEST(NamedayNamesTest, shouldFoldNamesAsSearchesDo) {
  const struct {
    const char *name, *folded;
  } cases[] = {
      {"Jiří", "jiri"},
      {"JIŘÍ", "jiri"},
      {"Jiri", "jiri"},
      {"Łucja", "lucja"},
      {"Żaneta", "zaneta"},
      {"Ödön", "odon"},
      {"Jürgen", "jurgen"},
      {"Straße", "strasse"},
      {"Νίκος", "νικοσ"},
      {"小明", "小明"},
      {"Ľubomír", "lubomir"},
      {"Ő", "o"},
      {"", ""},
      {"\xC3", "\xC3"},  // a sequence cut short stays as it is
  };
  for (const auto& c : cases) EXPECT_EQ(FoldedText(c.name), c.folded) << c.name;
}

TEST(NamedayNamesTest, shouldSplitAnEntryIntoItsNames) {
  const struct {
    const char* entry;
    std::vector<std::string> names;
  } cases[] = {
      {"Jiří", {"Jiří"}},
      {"Petr a Pavel", {"Petr", "Pavel"}},
      {"Nela, Hromnice", {"Nela", "Hromnice"}},
      {"Danuta, Piotr i Paweł, Genowefa", {"Danuta", "Piotr", "Paweł", "Genowefa"}},
      {" Ilona ,", {"Ilona"}},
      {"", {}},
  };
  for (const auto& c : cases) EXPECT_EQ(EntryNames(c.entry), c.names) << c.entry;
}

// With the setting on, a contact without a nameday of its own has one on the day the calendar
// gives its first name, on the Calendar page and in the reminders alike.
TEST_F(CalendarTest, shouldListNamedaysOfFirstNamesOnlyWithTheSettingOn) {
  const auto named = [this](const char* label, const char* first, CDateTime nameday = kNone) {
    CTreeItem* r = Contact(label, kNone, nameday);
    r->m_strFirstName = first;
    return r;
  };
  named("Adam Novák", "ADAM");
  named("Eva Svobodová", "Eva", CDateTime(1990, 3, 1));  // her own nameday wins
  named("Leap Wąsik", "leap");                           // 29 February, on the 28th in common years
  named("Nobody", "");
  CTreeItem* group = Contact("Rodina");
  group->m_bGroup = 1;
  auto* inGroup = new CTreeItem;
  inGroup->m_strLabel = "Ádám Kovács";
  inGroup->m_strFirstName = "Ádám";
  CTreeItem::AddChild(group, inGroup);

  const struct {
    bool on;
    int y, m, d;
    const char *today, *next7;
  } cases[] = {
      {false, 2003, 12, 24, "", ""},
      {true, 2003, 12, 24, "Adam Novák, Ádám Kovács", ""},
      {true, 2003, 12, 20, "", "Adam Novák, Ádám Kovács"},
      {true, 2003, 2, 28, "Leap Wąsik", "Eva Svobodová"},
      {true, 2004, 2, 28, "", "Leap Wąsik, Eva Svobodová"},
      {false, 2004, 2, 28, "", "Eva Svobodová"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.on) + " " + std::to_string(c.y) + "-" + std::to_string(c.m) +
                 "-" + std::to_string(c.d));
    doc.SetNamedaysFromFirstNames(c.on);
    const CCalendarTexts t = On(c.y, c.m, c.d);
    EXPECT_EQ(t.m_strContactNamedays, c.today);
    EXPECT_EQ(t.m_strNext7Days, c.next7);
    std::string reminded;
    for (const SReminder& r : CollectReminders(doc, doc.m_dtCalendarDay))
      if (r.nDay == 0) reminded += (reminded.empty() ? "" : ", ") + r.strText;
    EXPECT_EQ(reminded, c.today);
  }
  // The setting is kept, and read again with the calendar resource.
  doc.SetNamedaysFromFirstNames(true);
  EXPECT_EQ(host.settings["Settings/NamedaysFromFirstNames"], "1");
  for (const bool on : {false, true}) {
    host.settings["Settings/NamedaysFromFirstNames"] = on ? "1" : "0";
    doc.OnNewDocument();
    EXPECT_EQ(doc.NamedaysFromFirstNames(), on);
  }
}

// Whether a change of one contact can change the week is told from that contact alone: exactly
// when the whole week's listing holds it, the first names' namedays aside.
TEST_F(CalendarTest, shouldTellFromOneContactWhetherTheWeekListsIt) {
  const CTreeItem* contacts[] = {
      Contact("Jiří Dvořák", CDateTime(1979, 3, 10)),
      Contact("Zofia Łukasiewicz", kNone, CDateTime(2000, 3, 17)),
      Contact("Νίκος Παπαδόπουλος", kNone, kNone, CDateTime(1995, 3, 18), "svatba"),
      Contact("王小明", CDateTime(1988, 2, 29)),
      Contact("Jürgen Größer"),
  };
  for (const CDateTime& day : {CDateTime(2003, 3, 10), CDateTime(2003, 3, 11),
                               CDateTime(2003, 2, 22), CDateTime(2004, 2, 22)}) {
    const CCalendarWeek week = CollectCalendarWeek(doc, day);
    for (const CTreeItem* contact : contacts) {
      bool listed = false;
      for (const auto& days : week.m_events)
        for (const auto& events : days)
          for (const SCalendarEvent& e : events) listed = listed || e.pContact == contact;
      SCOPED_TRACE(contact->m_strLabel.str() + " " + std::to_string(day.GetYear()) + "-" +
                   std::to_string(day.m_dt));
      EXPECT_EQ(MayHaveEventInWeek(doc, *contact, day), listed);
    }
  }
  EXPECT_TRUE(MayHaveEventInWeek(doc, *contacts[1], CDateTime(2003, 3, 10)));
  EXPECT_FALSE(MayHaveEventInWeek(doc, *contacts[2], CDateTime(2003, 3, 10)));
  // A first name may have its nameday in the calendar's names: always worth listing again.
  auto* named = const_cast<CTreeItem*>(contacts[4]);
  named->m_strFirstName = "Adam";
  doc.SetNamedaysFromFirstNames(true);
  EXPECT_TRUE(MayHaveEventInWeek(doc, *named, CDateTime(2003, 3, 10)));
  EXPECT_FALSE(MayHaveEventInWeek(doc, *contacts[3], CDateTime(2003, 3, 10)));
}
