#pragma once

#include <array>
#include <string_view>

#include "store/ContactData.h"

namespace zorvan {

// The 45 data fields of a contact record, in the record's declared order. A date and its set
// flag are one field.
enum EField : unsigned char {
  fieldFirstName,
  fieldMiddleName,
  fieldLastName,
  fieldTitle,
  fieldNickname,
  fieldGender,
  fieldGroup,
  fieldLabel,
  fieldPrefEmail,
  fieldPrefUrl,
  fieldHomeStreet,
  fieldHomeCity,
  fieldHomePostalCode,
  fieldHomeState,
  fieldHomeCountry,
  fieldHomePhone,
  fieldHomeFax,
  fieldPersonalMobile,
  fieldHomeIpPhone,
  fieldPersonalWeb,
  fieldPersonalPager,
  fieldPersonalEmail,
  fieldCompany,
  fieldJobTitle,
  fieldDepartment,
  fieldOffice,
  fieldBusinessStreet,
  fieldBusinessCity,
  fieldBusinessPostalCode,
  fieldBusinessState,
  fieldBusinessCountry,
  fieldBusinessPhone,
  fieldBusinessFax,
  fieldBusinessMobile,
  fieldBusinessIpPhone,
  fieldBusinessWeb,
  fieldBusinessPager,
  fieldBusinessEmail,
  fieldRemark,
  fieldSpouse,
  fieldChildren,
  fieldAnniversaryText,
  fieldBirthday,
  fieldNameDay,
  fieldAnniversary,
};

inline constexpr int kRecordFieldCount = 45;

// What a field holds.
enum class EFieldType : unsigned char {
  text,     // a CText
  integer,  // an int: gender, group flag, the two preference numbers
  date,     // a CDateTime with an int flag that says whether the date is set
};

// One field of the record: its id, its member's name without the type prefix, what it holds and
// where it is. Exactly one of pText and pDate is set for texts and dates; pNumber is the number
// itself, or a date's set flag.
struct SRecordField {
  EField id;
  std::string_view name;
  EFieldType type;
  CTextField CContactData::*pText;
  int CContactData::*pNumber;
  CDateTime CContactData::*pDate;
};

namespace record_fields_detail {

using D = CContactData;

constexpr SRecordField Text(EField id, std::string_view name, CTextField D::*member) {
  return {id, name, EFieldType::text, member, nullptr, nullptr};
}
constexpr SRecordField Number(EField id, std::string_view name, int D::*member) {
  return {id, name, EFieldType::integer, nullptr, member, nullptr};
}
constexpr SRecordField Date(EField id, std::string_view name, CDateTime D::*date, int D::*flag) {
  return {id, name, EFieldType::date, nullptr, flag, date};
}

}  // namespace record_fields_detail

// The table of the 45 fields, indexed by EField.
inline constexpr std::array<SRecordField, kRecordFieldCount> kRecordFields = [] {
  using namespace record_fields_detail;
  return std::array<SRecordField, kRecordFieldCount>{{
      Text(fieldFirstName, "FirstName", &D::m_strFirstName),
      Text(fieldMiddleName, "MiddleName", &D::m_strMiddleName),
      Text(fieldLastName, "LastName", &D::m_strLastName),
      Text(fieldTitle, "Title", &D::m_strTitle),
      Text(fieldNickname, "Nickname", &D::m_strNickname),
      Number(fieldGender, "Gender", &D::m_nGender),
      Number(fieldGroup, "Group", &D::m_bGroup),
      Text(fieldLabel, "Label", &D::m_strLabel),
      Number(fieldPrefEmail, "PrefEmail", &D::m_nPrefEmail),
      Number(fieldPrefUrl, "PrefUrl", &D::m_nPrefUrl),
      Text(fieldHomeStreet, "HomeStreet", &D::m_strHomeStreet),
      Text(fieldHomeCity, "HomeCity", &D::m_strHomeCity),
      Text(fieldHomePostalCode, "HomePostalCode", &D::m_strHomePostalCode),
      Text(fieldHomeState, "HomeState", &D::m_strHomeState),
      Text(fieldHomeCountry, "HomeCountry", &D::m_strHomeCountry),
      Text(fieldHomePhone, "HomePhone", &D::m_strHomePhone),
      Text(fieldHomeFax, "HomeFax", &D::m_strHomeFax),
      Text(fieldPersonalMobile, "PersonalMobile", &D::m_strPersonalMobile),
      Text(fieldHomeIpPhone, "HomeIpPhone", &D::m_strHomeIpPhone),
      Text(fieldPersonalWeb, "PersonalWeb", &D::m_strPersonalWeb),
      Text(fieldPersonalPager, "PersonalPager", &D::m_strPersonalPager),
      Text(fieldPersonalEmail, "PersonalEmail", &D::m_strPersonalEmail),
      Text(fieldCompany, "Company", &D::m_strCompany),
      Text(fieldJobTitle, "JobTitle", &D::m_strJobTitle),
      Text(fieldDepartment, "Department", &D::m_strDepartment),
      Text(fieldOffice, "Office", &D::m_strOffice),
      Text(fieldBusinessStreet, "BusinessStreet", &D::m_strBusinessStreet),
      Text(fieldBusinessCity, "BusinessCity", &D::m_strBusinessCity),
      Text(fieldBusinessPostalCode, "BusinessPostalCode", &D::m_strBusinessPostalCode),
      Text(fieldBusinessState, "BusinessState", &D::m_strBusinessState),
      Text(fieldBusinessCountry, "BusinessCountry", &D::m_strBusinessCountry),
      Text(fieldBusinessPhone, "BusinessPhone", &D::m_strBusinessPhone),
      Text(fieldBusinessFax, "BusinessFax", &D::m_strBusinessFax),
      Text(fieldBusinessMobile, "BusinessMobile", &D::m_strBusinessMobile),
      Text(fieldBusinessIpPhone, "BusinessIpPhone", &D::m_strBusinessIpPhone),
      Text(fieldBusinessWeb, "BusinessWeb", &D::m_strBusinessWeb),
      Text(fieldBusinessPager, "BusinessPager", &D::m_strBusinessPager),
      Text(fieldBusinessEmail, "BusinessEmail", &D::m_strBusinessEmail),
      Text(fieldRemark, "Remark", &D::m_strRemark),
      Text(fieldSpouse, "Spouse", &D::m_strSpouse),
      Text(fieldChildren, "Children", &D::m_strChildren),
      Text(fieldAnniversaryText, "AnniversaryText", &D::m_strAnniversaryText),
      Date(fieldBirthday, "Birthday", &D::m_dtBirthday, &D::m_bBirthday),
      Date(fieldNameDay, "NameDay", &D::m_dtNameDay, &D::m_bNameDay),
      Date(fieldAnniversary, "Anniversary", &D::m_dtAnniversary, &D::m_bAnniversary),
  }};
}();

constexpr const SRecordField& RecordField(EField id) { return kRecordFields[id]; }

// The text member of a text field, for tables that name fields by id.
constexpr CTextField CContactData::*TextMember(EField id) { return kRecordFields[id].pText; }

namespace record_fields_detail {

constexpr bool TableIsInIdOrder() {
  for (int i = 0; i < kRecordFieldCount; ++i)
    if (kRecordFields[i].id != i) return false;
  return true;
}

constexpr int CountOf(EFieldType type) {
  int n = 0;
  for (const SRecordField& f : kRecordFields) n += f.type == type;
  return n;
}

constexpr bool MembersMatchTypes() {
  for (const SRecordField& f : kRecordFields) {
    const bool text = f.pText != nullptr, number = f.pNumber != nullptr, date = f.pDate != nullptr;
    switch (f.type) {
      case EFieldType::text:
        if (!text || number || date) return false;
        break;
      case EFieldType::integer:
        if (text || !number || date) return false;
        break;
      case EFieldType::date:
        if (text || !number || !date) return false;
        break;
    }
  }
  return true;
}

static_assert(fieldAnniversary + 1 == kRecordFieldCount);
static_assert(TableIsInIdOrder(), "kRecordFields[i].id must be i");
static_assert(CountOf(EFieldType::text) == 38 && CountOf(EFieldType::integer) == 4 &&
              CountOf(EFieldType::date) == 3);
static_assert(MembersMatchTypes(), "each field points to the members of its type");

}  // namespace record_fields_detail

}  // namespace zorvan
