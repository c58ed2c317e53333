#pragma once

#include "store/KeptDates.h"
#include "store/TreeItem.h"
#include "store/ZorvanDoc.h"

// The three categories of event nodes of the calendar branch and the date of a contact each
// stands for: what builds the branch and what lists the days from it have in common.
namespace zorvan {

// The categories of event nodes, in the order a record's events are added.
inline constexpr int kEventCategories[] = {catBirthdays, catAnniversaries, catNamedays};

// The date of a record that each event category stands for.
inline const CDateTime& EventDate(const CTreeItem& r, int category) {
  switch (category) {
    case catBirthdays:
      return r.m_dtBirthday;
    case catAnniversaries:
      return r.m_dtAnniversary;
    default:
      return r.m_dtNameDay;
  }
}

// The flag that says the record has the date of the category set.
inline int EventFlag(const CTreeItem& r, int category) {
  switch (category) {
    case catBirthdays:
      return r.m_bBirthday;
    case catAnniversaries:
      return r.m_bAnniversary;
    default:
      return r.m_bNameDay;
  }
}

// The day without a year that another program's card gave for the category (birthdays and
// anniversaries only), when the record has no date of the category itself; unset otherwise.
inline SMonthDay YearlessEventDay(const CTreeItem& r, int category) {
  if (!r.m_pExtras || r.m_pExtras->properties.empty() || category == catNamedays) return {};
  if (IsDateSet(EventFlag(r, category), EventDate(r, category))) return {};
  return KeptYearlessDate(*r.m_pExtras,
                          category == catBirthdays ? EKeptDate::birthday : EKeptDate::anniversary);
}

// Whether the record has an event node in the category: its date is set, or it is a day without a
// year kept from another program's card.
inline bool HasEvent(const CTreeItem& r, int category) {
  return EventFlag(r, category) || YearlessEventDay(r, category).IsSet();
}

}  // namespace zorvan
