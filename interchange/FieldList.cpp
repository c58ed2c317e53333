#include "interchange/FieldList.h"

namespace zorvan {
namespace {

// The interchange formats' kind of a field: the store's type, except that the group flag is
// read back from delimited text as 1 only for exactly 1.
constexpr EFieldKind KindOf(EField id) {
  if (id == fieldGroup) return EFieldKind::groupFlag;
  switch (RecordField(id).type) {
    case EFieldType::text:
      return EFieldKind::text;
    case EFieldType::integer:
      return EFieldKind::integer;
    case EFieldType::date:
      break;
  }
  return EFieldKind::date;
}

constexpr SFieldInfo F(int n, std::string_view header, std::string_view target, EField id) {
  const SRecordField& f = RecordField(id);
  return {n, header, target, KindOf(id), f.pText, f.pNumber, f.pDate, id};
}

constexpr std::array<SFieldInfo, kFieldCount> kFields = {{
    F(1, "First Name", "First Name", fieldFirstName),
    F(2, "Last Name", "Surname", fieldLastName),
    F(3, "Middle Name", "Middle Name", fieldMiddleName),
    F(4, "Title", "Title", fieldTitle),
    F(5, "Label", "Label for tree view", fieldLabel),
    F(6, "Nickname", "Nickname", fieldNickname),
    F(7, "Gender", "Gender", fieldGender),
    F(8, "Group", "Group", fieldGroup),
    F(9, "nE-mail", "Preferred e-mail (number)", fieldPrefEmail),
    F(10, "nUrl", "Preferred URL (number)", fieldPrefUrl),
    F(11, "Home Street", "Street (Home Address)", fieldHomeStreet),
    F(12, "Home City", "City (Home Address)", fieldHomeCity),
    F(13, "Home Postal Code", "ZIP (Home Address)", fieldHomePostalCode),
    F(14, "Home State", "State (Home Address)", fieldHomeState),
    F(15, "Home Country", "Country (Home Address)", fieldHomeCountry),
    F(16, "Home Phone", "Home Phone", fieldHomePhone),
    F(17, "Home Fax", "Home Fax", fieldHomeFax),
    F(18, "Personal Mobile Phone", "Personal Mobile Phone", fieldPersonalMobile),
    F(19, "Personal Pager", "Personal Pager", fieldPersonalPager),
    F(20, "Personal E-mail", "Personal E-mail", fieldPersonalEmail),
    F(21, "Personal Web Page", "Personal Web Page", fieldPersonalWeb),
    F(22, "Home IP Phone", "Personal IP Phone", fieldHomeIpPhone),
    F(23, "Company", "Company (Business)", fieldCompany),
    F(24, "Job Title", "Position (Business)", fieldJobTitle),
    F(25, "Department", "Department (Business)", fieldDepartment),
    F(26, "Office Location", "Office (Business)", fieldOffice),
    F(27, "Business Street", "Street (Work Address)", fieldBusinessStreet),
    F(28, "Business City", "City (Work Address)", fieldBusinessCity),
    F(29, "Business Postal Code", "ZIP (Work Address)", fieldBusinessPostalCode),
    F(30, "Business State", "State (Work Address)", fieldBusinessState),
    F(31, "Business Country", "Country (Work Address)", fieldBusinessCountry),
    F(32, "Business Phone", "Work Phone", fieldBusinessPhone),
    F(33, "Business Fax", "Work Fax", fieldBusinessFax),
    F(34, "Business Mobile Phone", "Business Mobile Phone", fieldBusinessMobile),
    F(35, "Business Pager", "Business Pager", fieldBusinessPager),
    F(36, "Business E-mail", "Business E-mail", fieldBusinessEmail),
    F(37, "Business Web Page", "Business Web Page", fieldBusinessWeb),
    F(38, "Business IP Phone", "Business IP Phone", fieldBusinessIpPhone),
    F(39, "Spouse", "Spouse", fieldSpouse),
    F(40, "Children", "Children", fieldChildren),
    F(41, "Birthday", "Birthday", fieldBirthday),
    F(42, "Name Day", "Nameday", fieldNameDay),
    F(43, "Anniversary", "Anniversary", fieldAnniversary),
    F(44, "Anniversary Text", "Anniversary (string)", fieldAnniversaryText),
    F(45, "Remark", "Remark", fieldRemark),
}};

constexpr std::string_view kNothing = " - Nothing -";

constexpr std::array<std::string_view, kTargetCount> MakeTargets() {
  std::array<std::string_view, kTargetCount> items{};
  items[0] = kNothing;
  for (int i = 0; i < kFieldCount; ++i) items[i + 1] = kFields[i].target;
  return items;
}

constexpr std::array<std::string_view, kTargetCount> kTargets = MakeTargets();

constexpr bool ListIsInOrder() {
  for (int i = 0; i < kFieldCount; ++i)
    if (kFields[i].nList != i + 1) return false;
  return true;
}
static_assert(ListIsInOrder(), "the field list must be in list order");

constexpr bool ListHasEveryFieldOnce() {
  std::array<int, kRecordFieldCount> seen{};
  for (const SFieldInfo& f : kFields) ++seen[f.field];
  for (int n : seen)
    if (n != 1) return false;
  return true;
}
static_assert(ListHasEveryFieldOnce(), "the field list names each record field once");

}  // namespace

const std::array<SFieldInfo, kFieldCount>& FieldList() { return kFields; }

const SFieldInfo* FieldByTarget(int target) {
  if (target < 1 || target > kFieldCount) return nullptr;
  return &kFields[target - 1];
}

const std::array<std::string_view, kTargetCount>& TargetItems() { return kTargets; }

int TargetIndexOf(std::string_view name) {
  if (name == kNothing) return 0;
  for (const SFieldInfo& f : kFields)
    if (name == f.header || name == f.target) return f.nList;
  return -1;
}

}  // namespace zorvan
