#pragma once

#include <array>
#include <initializer_list>
#include <string_view>

#include "store/RecordFields.h"

namespace zorvan {

// The program's own vCard 2.1 dialect: every property it writes and reads back, one table for
// the writer and the reader, so a field cannot travel out on one line and back on another.

inline constexpr std::string_view kVCardBegin = "BEGIN:VCARD";
inline constexpr std::string_view kVCardEnd = "END:VCARD";

// A component that is written empty and discarded when read.
inline constexpr int kDiscardedComponent = -1;

// One property: the text its line begins with, up to and with the line's first colon, and the
// record fields of its components, separated by semicolons. A text component is written quoted
// and with its line breaks encoded, a number in decimal, and a date as year-month-day followed
// by the dialect's lowercase s (a date property has one component and no line while its date is
// unset). An address line is followed by the LABEL line of the same address.
struct SOwnVCardProperty {
  std::string_view prefix;
  std::array<int, 7> fields;
  int nFields;
  bool bAddress;
};

namespace own_vcard_detail {

constexpr SOwnVCardProperty Line(std::string_view prefix, std::initializer_list<int> fields,
                                 bool address = false) {
  SOwnVCardProperty p{prefix, {}, 0, address};
  for (int f : fields) p.fields[p.nFields++] = f;
  return p;
}

constexpr SOwnVCardProperty Address(std::string_view prefix, std::initializer_list<int> fields) {
  return Line(prefix, fields, true);
}

}  // namespace own_vcard_detail

// In the order of the lines of a card. No prefix begins another one, since each ends at its
// only colon, so a line belongs to at most one property.
inline constexpr std::array<SOwnVCardProperty, 32> kOwnVCardProperties = [] {
  using namespace own_vcard_detail;
  constexpr int x = kDiscardedComponent;
  return std::array<SOwnVCardProperty, 32>{{
      Line("N:", {fieldLastName, fieldFirstName, fieldMiddleName, fieldTitle}),
      Line("FN:", {fieldLabel}),
      Line("NICKNAME:", {fieldNickname}),
      Line("ORG:", {fieldCompany, fieldDepartment}),
      Line("TITLE:", {fieldJobTitle}),
      Line("NOTE:", {fieldRemark}),
      Line("TEL;WORK;VOICE:", {fieldBusinessPhone}),
      Line("TEL;HOME;VOICE:", {fieldHomePhone}),
      Line("TEL;CAR;VOICE:", {fieldPersonalMobile}),
      Line("TEL;CELL;VOICE:", {fieldBusinessMobile}),
      Line("TEL;WORK;PAGER;VOICE:", {fieldBusinessPager}),
      Line("TEL;HOME;PAGER;VOICE:", {fieldPersonalPager}),
      Line("TEL;WORK;FAX:", {fieldBusinessFax}),
      Line("TEL;HOME;FAX:", {fieldHomeFax}),
      // Before the street an address has a post-office box, always empty, and an extended
      // address: the office of a work address, empty for home; state comes before postal code.
      Address("ADR;WORK:", {x, fieldOffice, fieldBusinessStreet, fieldBusinessCity,
                            fieldBusinessState, fieldBusinessPostalCode, fieldBusinessCountry}),
      Address("ADR;HOME:", {x, x, fieldHomeStreet, fieldHomeCity, fieldHomeState,
                            fieldHomePostalCode, fieldHomeCountry}),
      Line("URL;HOME:", {fieldPersonalWeb}),
      Line("URL:", {fieldBusinessWeb}),
      Line("BDAY:", {fieldBirthday}),
      // The personal address is always the preferred EMAIL line, whatever the preferred e-mail
      // number says; the preferences travel as numbers in their own lines.
      Line("EMAIL;PREF;INTERNET:", {fieldPersonalEmail}),
      Line("EMAIL;INTERNET:", {fieldBusinessEmail}),
      Line("X-TAVORIN-GENDER:", {fieldGender}),
      Line("X-TAVORIN-GROUP:", {fieldGroup}),
      Line("X-TAVORIN-EMAIL:", {fieldPrefEmail}),
      Line("X-TAVORIN-URL:", {fieldPrefUrl}),
      Line("X-TAVORIN-WORK-IPPHONE:", {fieldBusinessIpPhone}),
      Line("X-TAVORIN-HOME-IPPHONE:", {fieldHomeIpPhone}),
      Line("X-TAVORIN-ANNIVERSARY-DATE:", {fieldAnniversary}),
      Line("X-TAVORIN-ANNIVERSARY-STRING:", {fieldAnniversaryText}),
      Line("X-TAVORIN-NAMEDAY-DATE:", {fieldNameDay}),
      Line("X-TAVORIN-CHILDREN:", {fieldChildren}),
      Line("X-TAVORIN-SPOUSE:", {fieldSpouse}),
  }};
}();

}  // namespace zorvan
