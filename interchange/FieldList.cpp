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

constexpr SFieldInfo F(ETarget n, std::string_view header, std::string_view target, EField id) {
  const SRecordField& f = RecordField(id);
  return {n, header, target, KindOf(id), f.pText, f.pNumber, f.pDate, id};
}

constexpr std::array<SFieldInfo, kFieldCount> kFields = {{
    F(targetFirstName, "First Name", "First Name", fieldFirstName),
    F(targetLastName, "Last Name", "Surname", fieldLastName),
    F(targetMiddleName, "Middle Name", "Middle Name", fieldMiddleName),
    F(targetTitle, "Title", "Title", fieldTitle),
    F(targetLabel, "Label", "Label for tree view", fieldLabel),
    F(targetNickname, "Nickname", "Nickname", fieldNickname),
    F(targetGender, "Gender", "Gender", fieldGender),
    F(targetGroup, "Group", "Group", fieldGroup),
    F(targetPrefEmail, "nE-mail", "Preferred e-mail (number)", fieldPrefEmail),
    F(targetPrefUrl, "nUrl", "Preferred URL (number)", fieldPrefUrl),
    F(targetHomeStreet, "Home Street", "Street (Home Address)", fieldHomeStreet),
    F(targetHomeCity, "Home City", "City (Home Address)", fieldHomeCity),
    F(targetHomePostalCode, "Home Postal Code", "ZIP (Home Address)", fieldHomePostalCode),
    F(targetHomeState, "Home State", "State (Home Address)", fieldHomeState),
    F(targetHomeCountry, "Home Country", "Country (Home Address)", fieldHomeCountry),
    F(targetHomePhone, "Home Phone", "Home Phone", fieldHomePhone),
    F(targetHomeFax, "Home Fax", "Home Fax", fieldHomeFax),
    F(targetPersonalMobile, "Personal Mobile Phone", "Personal Mobile Phone", fieldPersonalMobile),
    F(targetPersonalPager, "Personal Pager", "Personal Pager", fieldPersonalPager),
    F(targetPersonalEmail, "Personal E-mail", "Personal E-mail", fieldPersonalEmail),
    F(targetPersonalWeb, "Personal Web Page", "Personal Web Page", fieldPersonalWeb),
    F(targetHomeIpPhone, "Home IP Phone", "Personal IP Phone", fieldHomeIpPhone),
    F(targetCompany, "Company", "Company (Business)", fieldCompany),
    F(targetJobTitle, "Job Title", "Position (Business)", fieldJobTitle),
    F(targetDepartment, "Department", "Department (Business)", fieldDepartment),
    F(targetOffice, "Office Location", "Office (Business)", fieldOffice),
    F(targetBusinessStreet, "Business Street", "Street (Work Address)", fieldBusinessStreet),
    F(targetBusinessCity, "Business City", "City (Work Address)", fieldBusinessCity),
    F(targetBusinessPostalCode, "Business Postal Code", "ZIP (Work Address)",
      fieldBusinessPostalCode),
    F(targetBusinessState, "Business State", "State (Work Address)", fieldBusinessState),
    F(targetBusinessCountry, "Business Country", "Country (Work Address)", fieldBusinessCountry),
    F(targetBusinessPhone, "Business Phone", "Work Phone", fieldBusinessPhone),
    F(targetBusinessFax, "Business Fax", "Work Fax", fieldBusinessFax),
    F(targetBusinessMobile, "Business Mobile Phone", "Business Mobile Phone", fieldBusinessMobile),
    F(targetBusinessPager, "Business Pager", "Business Pager", fieldBusinessPager),
    F(targetBusinessEmail, "Business E-mail", "Business E-mail", fieldBusinessEmail),
    F(targetBusinessWeb, "Business Web Page", "Business Web Page", fieldBusinessWeb),
    F(targetBusinessIpPhone, "Business IP Phone", "Business IP Phone", fieldBusinessIpPhone),
    F(targetSpouse, "Spouse", "Spouse", fieldSpouse),
    F(targetChildren, "Children", "Children", fieldChildren),
    F(targetBirthday, "Birthday", "Birthday", fieldBirthday),
    F(targetNameDay, "Name Day", "Nameday", fieldNameDay),
    F(targetAnniversary, "Anniversary", "Anniversary", fieldAnniversary),
    F(targetAnniversaryText, "Anniversary Text", "Anniversary (string)", fieldAnniversaryText),
    F(targetRemark, "Remark", "Remark", fieldRemark),
}};

constexpr std::string_view kNothing = " - Nothing -";

constexpr std::array<std::string_view, kTargetCount> MakeTargets() {
  std::array<std::string_view, kTargetCount> items{};
  items[targetNothing] = kNothing;
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
static_assert(targetRemark == kFieldCount, "one target per field after \" - Nothing -\"");

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
  if (name == kNothing) return targetNothing;
  for (const SFieldInfo& f : kFields)
    if (name == f.header || name == f.target) return f.nList;
  return -1;
}

}  // namespace zorvan
