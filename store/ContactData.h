#pragma once

#include <utility>

#include "store/DateTime.h"
#include "store/TextFields.h"

namespace zorvan {

// The record's 38 text fields, by the names the program knows them by, and the one block that
// holds their texts. The fields follow the block without a gap, in the order of the table of
// fields (store/RecordFields.h), so that a field finds the block from its own place.
struct SRecordTextFields {
  SRecordTextFields() noexcept = default;
  SRecordTextFields(const SRecordTextFields& other) : m_texts(other.m_texts) {}
  SRecordTextFields(SRecordTextFields&& other) noexcept : m_texts(std::move(other.m_texts)) {}
  // The fields stay what they are; only the texts are the other record's.
  SRecordTextFields& operator=(const SRecordTextFields& other) {
    m_texts = other.m_texts;
    return *this;
  }
  SRecordTextFields& operator=(SRecordTextFields&& other) noexcept {
    m_texts = std::move(other.m_texts);
    return *this;
  }

  CRecordTexts m_texts;
  CTextField m_strFirstName{0};
  CTextField m_strMiddleName{1};
  CTextField m_strLastName{2};
  CTextField m_strTitle{3};
  CTextField m_strNickname{4};
  CTextField m_strLabel{5};  // "Unknown" unless made with another
  CTextField m_strHomeStreet{6};
  CTextField m_strHomeCity{7};
  CTextField m_strHomePostalCode{8};
  CTextField m_strHomeState{9};
  CTextField m_strHomeCountry{10};
  CTextField m_strHomePhone{11};
  CTextField m_strHomeFax{12};
  CTextField m_strPersonalMobile{13};
  CTextField m_strHomeIpPhone{14};
  CTextField m_strPersonalWeb{15};
  CTextField m_strPersonalPager{16};
  CTextField m_strPersonalEmail{17};
  CTextField m_strCompany{18};
  CTextField m_strJobTitle{19};
  CTextField m_strDepartment{20};
  CTextField m_strOffice{21};
  CTextField m_strBusinessStreet{22};
  CTextField m_strBusinessCity{23};
  CTextField m_strBusinessPostalCode{24};
  CTextField m_strBusinessState{25};
  CTextField m_strBusinessCountry{26};
  CTextField m_strBusinessPhone{27};
  CTextField m_strBusinessFax{28};
  CTextField m_strBusinessMobile{29};
  CTextField m_strBusinessIpPhone{30};
  CTextField m_strBusinessWeb{31};
  CTextField m_strBusinessPager{32};
  CTextField m_strBusinessEmail{33};
  CTextField m_strRemark{34};  // line breaks are CR LF
  CTextField m_strSpouse{35};
  CTextField m_strChildren{36};
  CTextField m_strAnniversaryText{37};
};

static_assert(sizeof(SRecordTextFields) == 48, "the fields follow the block without a gap");

inline const CRecordTexts& CTextField::Texts() const noexcept {
  // The fields are laid out one byte each right after the block (see SRecordTextFields).
  const char* first = reinterpret_cast<const char*>(this) - m_slot;
  return *reinterpret_cast<const CRecordTexts*>(first - sizeof(CRecordTexts));
}

// The contact record: the 45 data fields every node of the tree carries (38 texts, 4 numbers and
// 3 dates, each date with the flag that says whether it is set). Plain data but for the block of
// texts, so copying a record is the compiler's work and cannot forget a field; store/RecordFields.h
// describes the same fields one by one for the file, the interchange formats and the search.
class CContactData : public SRecordTextFields {
 public:
  // All fields at their defaults; the three dates take the current local date and time.
  CContactData();
  // The same with label for the label, made once rather than over the default one.
  explicit CContactData(std::string_view label);
  // A record about to be filled field by field (as a file is read): no defaults made, not even
  // the label's or the dates', as every field is written before the record is used.
  struct SUnfilled {};
  explicit CContactData(SUnfilled) {}

  int m_nGender = 0;  // 0 unknown, 1 male, 2 female
  int m_bGroup = 0;
  int m_nPrefEmail = -1;  // -1 none, 0 personal, 1 business
  int m_nPrefUrl = -1;
  CDateTime m_dtBirthday;
  CDateTime m_dtNameDay;
  CDateTime m_dtAnniversary;
  int m_bBirthday = 0;
  int m_bNameDay = 0;
  int m_bAnniversary = 0;
};

}  // namespace zorvan
