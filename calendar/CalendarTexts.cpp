// The day listings of the Calendar page, computed from the calendar branch of the document.
#include "calendar/CalendarTexts.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

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

// A birthday with the age reached on it in the year of the day shown; one without a year, or in
// a year before the birth, tells no age.
std::string BirthdayItem(const CTreeItem& contact, int birthYear, int shownYear) {
  if (birthYear == 0 || birthYear > shownYear) return contact.m_strLabel.str();
  return contact.m_strLabel + " (" + std::to_string(shownYear - birthYear) + " let)";
}

}  // namespace

CCalendarTexts FillCalendarTexts(const CZorvanDoc& doc) {
  CCalendarTexts texts;
  int year = 0, month = 0, day = 0;
  if (!doc.m_dtCalendarDay.GetDate(year, month, day)) return texts;

  const size_t names = doc.CalNameCount();
  for (size_t i = 0; i < names; ++i) {
    const CCalName& entry = (*doc.m_pCalNames)[i];
    if (entry.m_nDay == day && entry.m_nMonth == month) {
      texts.m_strNamedaysToday = entry.m_strName;
      break;
    }
  }

  const DaySlots slot = SlotsOfTheWeek(doc.m_dtCalendarDay);
  // Labels falling on the following days, by day and category.
  std::array<std::array<std::vector<const CTreeItem*>, 3>, 8> coming;
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
      int y = 0, m = 0, d = 0;
      // A set date that is not a valid date never falls on any day. A day kept from another
      // program's card without a year falls on its day and has no age.
      if (!EventFlag(*contact, c) || !EventDate(*contact, c).GetDate(y, m, d)) {
        const SMonthDay noYear = YearlessEventDay(*contact, c);
        if (!noYear.IsSet()) continue;
        y = 0, m = noYear.month, d = noYear.day;
      }
      const int k = slot[m][d];
      if (k < 0) continue;
      if (k > 0) {
        coming[k][c].push_back(contact);
      } else if (c == catBirthdays) {
        AppendSeparated(texts.m_strBirthdays, BirthdayItem(*contact, y, year));
      } else if (c == catAnniversaries) {
        coming[0][c].push_back(contact);
      } else {
        AppendSeparated(texts.m_strContactNamedays, contact->m_strLabel);
      }
    }
  }
  // Anniversaries follow all of the day's birthdays.
  for (const CTreeItem* contact : coming[0][catAnniversaries])
    AppendSeparated(texts.m_strBirthdays,
                    contact->m_strLabel + " (" + contact->m_strAnniversaryText + ")");
  for (int k = 1; k <= 7; ++k)
    for (int c : {catBirthdays, catNamedays, catAnniversaries})
      for (const CTreeItem* contact : coming[k][c])
        AppendSeparated(texts.m_strNext7Days, contact->m_strLabel);
  return texts;
}

}  // namespace zorvan
