#include "store/ContactData.h"

namespace zorvan {

CContactData::CContactData() : CContactData(CText("Unknown")) {}

CContactData::CContactData(const CText& label) : m_strLabel(label) {
  const CDateTime now = CurrentLocalTime();
  m_dtBirthday = now;
  m_dtNameDay = now;
  m_dtAnniversary = now;
}

}  // namespace zorvan
