#include "store/ContactData.h"

namespace zorvan {

CContactData::CContactData() {
  const CDateTime now = CurrentLocalTime();
  m_dtBirthday = now;
  m_dtNameDay = now;
  m_dtAnniversary = now;
}

}  // namespace zorvan
