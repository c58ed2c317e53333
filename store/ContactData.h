#pragma once

#include "store/DateTime.h"
#include "store/Text.h"

namespace zorvan {

// The contact record: the 45 data fields every node of the tree carries (38 texts, 4 numbers and
// 3 dates, each date with the flag that says whether it is set). Plain data, so copying a record
// is the compiler's work and cannot forget a field; store/RecordFields.h describes the same
// fields one by one for the file, the interchange formats and the search.
class CContactData {
 public:
  // All fields at their defaults; the three dates take the current local date and time.
  CContactData();
  // The same with label for the label, made once rather than over the default one.
  explicit CContactData(const CText& label);
  // A record about to be filled field by field (as a file is read): no defaults made, not even
  // the label's or the dates', as every field is written before the record is used.
  struct SUnfilled {};
  explicit CContactData(SUnfilled) {}

  CText m_strFirstName;
  CText m_strMiddleName;
  CText m_strLastName;
  CText m_strTitle;
  CText m_strNickname;
  int m_nGender = 0;  // 0 unknown, 1 male, 2 female
  int m_bGroup = 0;
  CText m_strLabel;       // "Unknown" unless made with another
  int m_nPrefEmail = -1;  // -1 none, 0 personal, 1 business
  int m_nPrefUrl = -1;
  CText m_strHomeStreet;
  CText m_strHomeCity;
  CText m_strHomePostalCode;
  CText m_strHomeState;
  CText m_strHomeCountry;
  CText m_strHomePhone;
  CText m_strHomeFax;
  CText m_strPersonalMobile;
  CText m_strHomeIpPhone;
  CText m_strPersonalWeb;
  CText m_strPersonalPager;
  CText m_strPersonalEmail;
  CText m_strCompany;
  CText m_strJobTitle;
  CText m_strDepartment;
  CText m_strOffice;
  CText m_strBusinessStreet;
  CText m_strBusinessCity;
  CText m_strBusinessPostalCode;
  CText m_strBusinessState;
  CText m_strBusinessCountry;
  CText m_strBusinessPhone;
  CText m_strBusinessFax;
  CText m_strBusinessMobile;
  CText m_strBusinessIpPhone;
  CText m_strBusinessWeb;
  CText m_strBusinessPager;
  CText m_strBusinessEmail;
  CText m_strRemark;  // line breaks are CR LF
  CText m_strSpouse;
  CText m_strChildren;
  CText m_strAnniversaryText;
  CDateTime m_dtBirthday;
  CDateTime m_dtNameDay;
  CDateTime m_dtAnniversary;
  int m_bBirthday = 0;
  int m_bNameDay = 0;
  int m_bAnniversary = 0;
};

}  // namespace zorvan
