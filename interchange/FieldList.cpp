#include "interchange/FieldList.h"

namespace zorvan {
namespace {

using T = CTreeItem;

constexpr SFieldInfo Text(int n, std::string_view header, std::string_view target,
                          CText T::*member) {
  return {n, header, target, EFieldKind::text, member, nullptr, nullptr};
}

constexpr SFieldInfo Number(int n, std::string_view header, std::string_view target,
                            EFieldKind kind, int T::*member) {
  return {n, header, target, kind, nullptr, member, nullptr};
}

constexpr SFieldInfo Date(int n, std::string_view header, std::string_view target,
                          CDateTime T::*date, int T::*flag) {
  return {n, header, target, EFieldKind::date, nullptr, flag, date};
}

constexpr std::array<SFieldInfo, kFieldCount> kFields = {{
    Text(1, "First Name", "First Name", &T::m_strFirstName),
    Text(2, "Last Name", "Surname", &T::m_strLastName),
    Text(3, "Middle Name", "Middle Name", &T::m_strMiddleName),
    Text(4, "Title", "Title", &T::m_strTitle),
    Text(5, "Label", "Label for tree view", &T::m_strLabel),
    Text(6, "Nickname", "Nickname", &T::m_strNickname),
    Number(7, "Gender", "Gender", EFieldKind::integer, &T::m_nGender),
    Number(8, "Group", "Group", EFieldKind::groupFlag, &T::m_bGroup),
    Number(9, "nE-mail", "Preferred e-mail (number)", EFieldKind::integer, &T::m_nPrefEmail),
    Number(10, "nUrl", "Preferred URL (number)", EFieldKind::integer, &T::m_nPrefUrl),
    Text(11, "Home Street", "Street (Home Address)", &T::m_strHomeStreet),
    Text(12, "Home City", "City (Home Address)", &T::m_strHomeCity),
    Text(13, "Home Postal Code", "ZIP (Home Address)", &T::m_strHomePostalCode),
    Text(14, "Home State", "State (Home Address)", &T::m_strHomeState),
    Text(15, "Home Country", "Country (Home Address)", &T::m_strHomeCountry),
    Text(16, "Home Phone", "Home Phone", &T::m_strHomePhone),
    Text(17, "Home Fax", "Home Fax", &T::m_strHomeFax),
    Text(18, "Personal Mobile Phone", "Personal Mobile Phone", &T::m_strPersonalMobile),
    Text(19, "Personal Pager", "Personal Pager", &T::m_strPersonalPager),
    Text(20, "Personal E-mail", "Personal E-mail", &T::m_strPersonalEmail),
    Text(21, "Personal Web Page", "Personal Web Page", &T::m_strPersonalWeb),
    Text(22, "Home IP Phone", "Personal IP Phone", &T::m_strHomeIpPhone),
    Text(23, "Company", "Company (Business)", &T::m_strCompany),
    Text(24, "Job Title", "Position (Business)", &T::m_strJobTitle),
    Text(25, "Department", "Department (Business)", &T::m_strDepartment),
    Text(26, "Office Location", "Office (Business)", &T::m_strOffice),
    Text(27, "Business Street", "Street (Work Address)", &T::m_strBusinessStreet),
    Text(28, "Business City", "City (Work Address)", &T::m_strBusinessCity),
    Text(29, "Business Postal Code", "ZIP (Work Address)", &T::m_strBusinessPostalCode),
    Text(30, "Business State", "State (Work Address)", &T::m_strBusinessState),
    Text(31, "Business Country", "Country (Work Address)", &T::m_strBusinessCountry),
    Text(32, "Business Phone", "Work Phone", &T::m_strBusinessPhone),
    Text(33, "Business Fax", "Work Fax", &T::m_strBusinessFax),
    Text(34, "Business Mobile Phone", "Business Mobile Phone", &T::m_strBusinessMobile),
    Text(35, "Business Pager", "Business Pager", &T::m_strBusinessPager),
    Text(36, "Business E-mail", "Business E-mail", &T::m_strBusinessEmail),
    Text(37, "Business Web Page", "Business Web Page", &T::m_strBusinessWeb),
    Text(38, "Business IP Phone", "Business IP Phone", &T::m_strBusinessIpPhone),
    Text(39, "Spouse", "Spouse", &T::m_strSpouse),
    Text(40, "Children", "Children", &T::m_strChildren),
    Date(41, "Birthday", "Birthday", &T::m_dtBirthday, &T::m_bBirthday),
    Date(42, "Name Day", "Nameday", &T::m_dtNameDay, &T::m_bNameDay),
    Date(43, "Anniversary", "Anniversary", &T::m_dtAnniversary, &T::m_bAnniversary),
    Text(44, "Anniversary Text", "Anniversary (string)", &T::m_strAnniversaryText),
    Text(45, "Remark", "Remark", &T::m_strRemark),
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
