// The day listings of the Calendar page, computed from the calendar branch of the document.
#include "calendar/CalendarTexts.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "calendar/NamedayNames.h"
#include "res/TextFold.h"
#include "store/CalendarEvents.h"

namespace zorvan {
namespace {

void AppendSeparated(std::string& text, std::string_view item) {
  if (!text.empty()) text += ", ";
  text += item;
}

// Which of the eight days (the shown day 0, then the seven following) a day of the year is, by
// month and day; -1 for the others.
using DaySlots = std::array<std::array<std::int8_t, 32>, 13>;

// A common year has no 29 February: a birthday or an anniversary on it falls on the 28th then,
// the last day of the month, as the yearly events of Export Calendar repeat.
DaySlots SlotsOfTheWeek(const CDateTime& shown) {
  DaySlots slot;
  for (auto& row : slot) row.fill(-1);
  for (int k = 7; k >= 0; --k) {
    int y = 0, m = 0, d = 0;
    if (!shown.AddDays(k).GetDate(y, m, d)) continue;
    slot[m][d] = static_cast<std::int8_t>(k);
    if (m == 2 && d == 28 && !IsLeapYear(y)) slot[2][29] = static_cast<std::int8_t>(k);
  }
  return slot;
}

// The day of the week (0 to 7) a contact's event of category c falls on, -1 for none, with the
// event's year (0 for a day kept from another program's card without one, which has no age). A
// set date that is not a valid date never falls on any day.
inline int EventSlot(const CTreeItem& contact, int c, const DaySlots& slot, int& y) {
  int m = 0, d = 0;
  if (!EventFlag(contact, c) || !EventDate(contact, c).GetDate(y, m, d)) {
    const SMonthDay noYear = YearlessEventDay(contact, c);
    if (!noYear.IsSet()) return -1;
    y = 0, m = noYear.month, d = noYear.day;
  }
  return slot[m][d];
}

// The age reached in dayYear by a birthday of birthYear; -1 for a birthday without a year or in
// a year before the birth.
int AgeOn(int birthYear, int dayYear) {
  if (birthYear == 0 || birthYear > dayYear) return -1;
  return dayYear - birthYear;
}

// A folded name of the calendar resource and the day of the week it falls on.
struct SDayName {
  std::string strFolded;
  int nDay;
};

// The names the calendar resource gives the days of the week, folded.
std::vector<SDayName> NamesOfTheWeek(const CZorvanDoc& doc, const DaySlots& slot) {
  std::vector<SDayName> names;
  const size_t count = doc.CalNameCount();
  for (size_t i = 0; i < count; ++i) {
    const CCalName& entry = (*doc.m_pCalNames)[i];
    if (entry.m_nMonth < 1 || entry.m_nMonth > 12 || entry.m_nDay < 1 || entry.m_nDay > 31)
      continue;
    const int k = slot[entry.m_nMonth][entry.m_nDay];
    if (k < 0) continue;
    for (const std::string& name : EntryNames(entry.m_strName))
      names.push_back({FoldedText(name), k});
  }
  return names;
}

// The namedays of the week of the contacts below top without one of their own, on the days the
// calendar resource gives their first names, in the tree's order.
void AddNamedaysOfFirstNames(const CTreeItem& top, const std::vector<SDayName>& names,
                             CCalendarWeek& week) {
  if (names.empty()) return;
  std::vector<const CTreeItem*> pending{&top};
  std::string folded;
  while (!pending.empty()) {
    const CTreeItem* node = pending.back();
    pending.pop_back();
    for (size_t i = node->ChildCount(); i-- > 0;) pending.push_back(node->Child(i));
    if (node == &top || node->m_strFirstName.empty() || HasEvent(*node, catNamedays)) continue;
    folded.clear();
    AppendFolded(folded, node->m_strFirstName.view());
    for (const SDayName& name : names)
      if (name.strFolded == folded)
        week.m_events[name.nDay][catNamedays].push_back({node, catNamedays, -1});
  }
}

}  // namespace

CCalendarWeek CollectCalendarWeek(const CZorvanDoc& doc, const CDateTime& day) {
  CCalendarWeek week;
  int year = 0, month = 0, dayOfMonth = 0;
  if (!day.GetDate(year, month, dayOfMonth)) return week;
  week.m_bValid = true;
  std::array<int, CCalendarWeek::kDays> years{};
  for (int k = 0; k < CCalendarWeek::kDays; ++k) {
    week.m_days[k] = day.AddDays(k).DateOnly();
    years[k] = week.m_days[k].GetYear();
  }

  const size_t names = doc.CalNameCount();
  for (size_t i = 0; i < names; ++i) {
    const CCalName& entry = (*doc.m_pCalNames)[i];
    if (entry.m_nDay == dayOfMonth && entry.m_nMonth == month) {
      week.m_strCalName = entry.m_strName;
      break;
    }
  }

  const DaySlots slot = SlotsOfTheWeek(day);
  for (int c : kEventCategories) {
    const CTreeItem* cat = doc.Category(c);
    if (!cat) continue;
    const size_t count = cat->ChildCount();
    for (size_t i = 0; i < count; ++i) {
      // The listing runs on every paint of the Calendar page, and its time is spent waiting
      // for memory: fetch the event nodes ahead, and the contacts of the nodes fetched before.
      if (i + 16 < count) __builtin_prefetch(&cat->Child(i + 16)->m_pLinked);
      if (i + 8 < count) {
        const CTreeItem* ahead = cat->Child(i + 8)->m_pLinked;
        if (ahead) __builtin_prefetch(&EventDate(*ahead, c));
      }
      const CTreeItem* contact = cat->Child(i)->m_pLinked;
      if (!contact) continue;
      int y = 0;
      const int k = EventSlot(*contact, c, slot, y);
      if (k < 0) continue;
      week.m_events[k][c].push_back({contact, c, c == catBirthdays ? AgeOn(y, years[k]) : -1});
    }
  }
  if (doc.NamedaysFromFirstNames() && doc.ContactsRoot())
    AddNamedaysOfFirstNames(*doc.ContactsRoot(), NamesOfTheWeek(doc, slot), week);
  return week;
}

std::string EventText(const SCalendarEvent& event) {
  const CTreeItem& contact = *event.pContact;
  switch (event.nCategory) {
    case catBirthdays:
      if (event.nAge < 0) return contact.m_strLabel.str();
      return contact.m_strLabel + " (" + std::to_string(event.nAge) + " let)";
    case catAnniversaries:
      return contact.m_strLabel + " (" + contact.m_strAnniversaryText + ")";
    default:
      return contact.m_strLabel.str();
  }
}

CCalendarTexts FillCalendarTexts(const CZorvanDoc& doc) {
  CCalendarTexts texts;
  const CCalendarWeek week = CollectCalendarWeek(doc, doc.m_dtCalendarDay);
  if (!week.m_bValid) return texts;
  texts.m_strNamedaysToday = week.m_strCalName;
  // The day's birthdays, then its anniversaries.
  for (int c : {catBirthdays, catAnniversaries})
    for (const SCalendarEvent& event : week.m_events[0][c])
      AppendSeparated(texts.m_strBirthdays, EventText(event));
  for (const SCalendarEvent& event : week.m_events[0][catNamedays])
    AppendSeparated(texts.m_strContactNamedays, event.pContact->m_strLabel);
  // The following days by name only, day by day: birthdays, namedays, then anniversaries.
  for (int k = 1; k < CCalendarWeek::kDays; ++k)
    for (int c : {catBirthdays, catNamedays, catAnniversaries})
      for (const SCalendarEvent& event : week.m_events[k][c]) {
        AppendSeparated(texts.m_strNext7Days, event.pContact->m_strLabel);
        texts.m_next7DaysEvents.push_back({k, week.m_days[k], EventText(event), event.pContact});
      }
  return texts;
}

bool MayHaveEventInWeek(const CZorvanDoc& doc, const CTreeItem& contact, const CDateTime& day) {
  // A nameday of the first name depends on the calendar's names: not worked out here.
  if (doc.NamedaysFromFirstNames() && !contact.m_strFirstName.empty() &&
      !HasEvent(contact, catNamedays))
    return true;
  int year = 0, month = 0, dayOfMonth = 0;
  if (!day.GetDate(year, month, dayOfMonth)) return false;
  const DaySlots slot = SlotsOfTheWeek(day);
  int y = 0;
  for (int c : kEventCategories)
    if (EventSlot(contact, c, slot, y) >= 0) return true;
  return false;
}

std::vector<SReminder> CollectReminders(const CZorvanDoc& doc, const CDateTime& today) {
  std::vector<SReminder> reminders;
  const CCalendarWeek week = CollectCalendarWeek(doc, today);
  if (!week.m_bValid) return reminders;
  for (int k = 0; k < CCalendarWeek::kDays; ++k)
    for (int c : {catBirthdays, catAnniversaries, catNamedays})
      for (const SCalendarEvent& event : week.m_events[k][c])
        reminders.push_back({k, week.m_days[k], EventText(event), event.pContact, c, event.nAge});
  return reminders;
}

std::vector<SReminder> ContactReminders(const CTreeItem& contact, const CDateTime& today) {
  std::vector<SReminder> reminders;
  int year = 0, month = 0, dayOfMonth = 0;
  if (!today.GetDate(year, month, dayOfMonth)) return reminders;
  const DaySlots slot = SlotsOfTheWeek(today);
  for (int c : {catBirthdays, catAnniversaries, catNamedays}) {
    int y = 0;
    const int k = EventSlot(contact, c, slot, y);
    if (k < 0) continue;
    const CDateTime day = today.AddDays(k).DateOnly();
    const SCalendarEvent event{&contact, c, c == catBirthdays ? AgeOn(y, day.GetYear()) : -1};
    reminders.push_back({k, day, EventText(event), &contact, c, event.nAge});
  }
  // By day; within a day in the order of the categories above.
  std::stable_sort(reminders.begin(), reminders.end(),
                   [](const SReminder& a, const SReminder& b) { return a.nDay < b.nDay; });
  return reminders;
}

}  // namespace zorvan
