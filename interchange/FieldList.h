#pragma once

#include <array>
#include <string_view>

#include "store/RecordFields.h"
#include "store/TreeItem.h"

namespace zorvan {

// How a record field is written to and read from delimited text.
enum class EFieldKind {
  text,       // a text member
  integer,    // gender and the two preference numbers
  groupFlag,  // the group flag: read back as 1 only for exactly 1
  date,       // a date with its set flag
};

// One entry of the program's fixed list of the 45 record fields, in the order of the 45-column
// text layout and of the import wizard's targets. The members are those of the record's field
// table (store/RecordFields.h) for the field.
struct SFieldInfo {
  int nList;                // position in the list, 1..45
  std::string_view header;  // the column's name in the 45-column header
  std::string_view target;  // the item the import wizard shows for it
  EFieldKind kind;
  CTextField CTreeItem::*pText;  // text fields
  int CTreeItem::*pNumber;       // integer and group fields; for dates, the set flag
  CDateTime CTreeItem::*pDate;   // date fields
  EField field;                  // the field in the record's table
};

// The import wizard's targets: " - Nothing -", then the 45 fields in list order (the order of
// the 45-column layout, which is not the record's). A column bound to a target fills that field;
// a column bound to nothing, or not bound yet, is read and discarded.
enum ETarget : int {
  targetNoChoice = -1,
  targetNothing = 0,
  targetFirstName,
  targetLastName,
  targetMiddleName,
  targetTitle,
  targetLabel,
  targetNickname,
  targetGender,
  targetGroup,
  targetPrefEmail,
  targetPrefUrl,
  targetHomeStreet,
  targetHomeCity,
  targetHomePostalCode,
  targetHomeState,
  targetHomeCountry,
  targetHomePhone,
  targetHomeFax,
  targetPersonalMobile,
  targetPersonalPager,
  targetPersonalEmail,
  targetPersonalWeb,
  targetHomeIpPhone,
  targetCompany,
  targetJobTitle,
  targetDepartment,
  targetOffice,
  targetBusinessStreet,
  targetBusinessCity,
  targetBusinessPostalCode,
  targetBusinessState,
  targetBusinessCountry,
  targetBusinessPhone,
  targetBusinessFax,
  targetBusinessMobile,
  targetBusinessPager,
  targetBusinessEmail,
  targetBusinessWeb,
  targetBusinessIpPhone,
  targetSpouse,
  targetChildren,
  targetBirthday,
  targetNameDay,
  targetAnniversary,
  targetAnniversaryText,
  targetRemark,
};

inline constexpr int kFieldCount = 45;

// The 45 fields in list order: FieldList()[i].nList == i + 1.
const std::array<SFieldInfo, kFieldCount>& FieldList();

// The field at a wizard target index; null for any index outside 1..45 (0 is " - Nothing -",
// -1 no choice), which means the column is read and discarded.
const SFieldInfo* FieldByTarget(int target);

// The import wizard's choices: index 0 " - Nothing -", then the 45 fields in list order.
inline constexpr int kTargetCount = kFieldCount + 1;
const std::array<std::string_view, kTargetCount>& TargetItems();

// The target index of a field named by its 45-column header name or its wizard item (exact
// text); 0 for " - Nothing -", -1 when no field has that name.
int TargetIndexOf(std::string_view name);

}  // namespace zorvan
