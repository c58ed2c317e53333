#include "store/ContactData.h"

namespace zorvan {

CContactData::CContactData() : CContactData(std::string_view("Unknown")) {}

CContactData::CContactData(std::string_view label) {
  m_strLabel = label;
  const CDateTime now = CurrentLocalTime();
  m_dtBirthday = now;
  m_dtNameDay = now;
  m_dtAnniversary = now;
}

}  // namespace zorvan
