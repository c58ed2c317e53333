#pragma once

#include <string>

namespace zorvan {

class CZorvanDoc;

// The four texts the Calendar page shows for a day.
struct CCalendarTexts {
  std::string m_strNamedaysToday;    // the day's calendar name
  std::string m_strBirthdays;        // birthdays with ages, then anniversaries with their texts
  std::string m_strContactNamedays;  // contacts whose nameday it is
  std::string m_strNext7Days;        // events of the seven following days
};

// The four texts of the Calendar page for the document's m_dtCalendarDay, from the event nodes
// and calendar names of its calendar branch.
CCalendarTexts FillCalendarTexts(const CZorvanDoc& doc);

}  // namespace zorvan
