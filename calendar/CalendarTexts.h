#pragma once

#include <array>
#include <string>
#include <vector>

#include "store/DateTime.h"

namespace zorvan {

class CTreeItem;
class CZorvanDoc;

// One contact's event on a day of the calendar week: its birthday, anniversary or nameday.
struct SCalendarEvent {
  const CTreeItem* pContact = nullptr;
  int nCategory = 0;  // catBirthdays, catAnniversaries or catNamedays
  int nAge = -1;      // a birthday's age reached on the day; -1 when it tells none
};

// A day and the seven following it, each with its events by category, in the order of the
// event nodes of each category: what the Calendar page and the window's reminders both list.
struct CCalendarWeek {
  static constexpr int kDays = 8;
  bool m_bValid = false;     // false when the day is not a date: no events at all
  std::string m_strCalName;  // the first calendar name of day 0
  std::array<CDateTime, kDays> m_days;
  // Events by day (0 the day itself) and category.
  std::array<std::array<std::vector<SCalendarEvent>, 3>, kDays> m_events;
};

// The events of day and the seven days after it, from the event nodes of the document's
// calendar branch. A birthday's age is the one reached in the year of the day it falls on; a
// birthday or an anniversary of 29 February falls on the 28th in common years.
CCalendarWeek CollectCalendarWeek(const CZorvanDoc& doc, const CDateTime& day);
// False only when CollectCalendarWeek lists no event of contact for that week, whatever the
// rest of the document holds: a change of that contact alone leaves the week as it was then.
bool MayHaveEventInWeek(const CZorvanDoc& doc, const CTreeItem& contact, const CDateTime& day);

// An event as the day's list shows it: a birthday with its age ("Jana (33 let)"), an
// anniversary with its text, empty or not ("Eva (svatba)"), a nameday by the contact's label.
std::string EventText(const SCalendarEvent& event);

// One event of a week with its day: a name of the reminders, a line of the following days.
struct SReminder {
  int nDay = 0;  // 0 today, 1..7 the following days
  CDateTime dtDay;
  std::string strText;  // as EventText gives it, an age on the following days too
  const CTreeItem* pContact = nullptr;
  int nCategory = -1;  // catBirthdays, catAnniversaries or catNamedays
  int nAge = -1;       // a birthday's age on its day, -1 for none
};

// The four texts the Calendar page shows for a day.
struct CCalendarTexts {
  std::string m_strNamedaysToday;    // the day's calendar name
  std::string m_strBirthdays;        // birthdays with ages, then anniversaries with their texts
  std::string m_strContactNamedays;  // contacts whose nameday it is
  std::string m_strNext7Days;        // events of the seven following days
  // The same events one by one with their days and texts (ages included), for a list that
  // gives each its own line.
  std::vector<SReminder> m_next7DaysEvents;
};

// The four texts of the Calendar page for the document's m_dtCalendarDay, from the event nodes
// and calendar names of its calendar branch.
CCalendarTexts FillCalendarTexts(const CZorvanDoc& doc);

// The reminders of today and the coming week, day by day: birthdays, anniversaries, then
// namedays of each day, from the same week the Calendar page lists. Empty when there are none.
std::vector<SReminder> CollectReminders(const CZorvanDoc& doc, const CDateTime& today);
// The reminders CollectReminders lists for contact, in its order, from the contact's own dates
// alone: the same as long as the contact has its event nodes, and without a nameday of its first
// name.
std::vector<SReminder> ContactReminders(const CTreeItem& contact, const CDateTime& today);

}  // namespace zorvan
