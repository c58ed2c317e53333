#pragma once

#include <string>

namespace zorvan {

// One entry of the calendar-name table: the name or names celebrated on a day of the year.
struct CCalName {
  int m_nDay = 0;  // 0 ends the list
  int m_nMonth = 0;
  std::string m_strName;
};

}  // namespace zorvan
