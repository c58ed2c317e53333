#include "interchange/csv/ForeignCsvLayouts.h"

#include <algorithm>
#include <array>
#include <iterator>
#include <map>
#include <unordered_map>
#include <utility>

#include "interchange/csv/ForeignCsvTables.h"
#include "store/TextUtil.h"

namespace zorvan::foreign_csv {
namespace {

constexpr std::array<int, 6> kHomeAddress = {targetNothing,   targetHomeStreet,
                                             targetHomeCity,  targetHomePostalCode,
                                             targetHomeState, targetHomeCountry};
constexpr std::array<int, 6> kWorkAddress = {targetNothing,       targetBusinessStreet,
                                             targetBusinessCity,  targetBusinessPostalCode,
                                             targetBusinessState, targetBusinessCountry};

// The index into the two tables above: a whole address stands in for the street.
int AddressField(std::uint8_t part) {
  return part == partFormatted ? static_cast<int>(partStreet) : static_cast<int>(part);
}

// "E-mail 2 - Value" as group "E-mail", number 2, part "Value".
bool GroupColumn(std::string_view name, std::string_view& group, int& number,
                 std::string_view& part) {
  const size_t dash = name.find(" - ");
  if (dash == std::string_view::npos) return false;
  const std::string_view left = name.substr(0, dash);
  part = name.substr(dash + 3);
  const size_t space = left.rfind(' ');
  if (space == std::string_view::npos || space + 1 == left.size() || left.size() - space > 4)
    return false;
  number = 0;
  for (char c : left.substr(space + 1)) {
    if (c < '0' || c > '9') return false;
    number = number * 10 + (c - '0');
  }
  group = left.substr(0, space);
  static constexpr std::string_view kGroups[] = {
      "E-mail", "Phone",        "Address", "Organization", "Relation",      "Website", "IM",
      "Event",  "Custom Field", "Jot",     "External ID",  "Calendar Link", "Hobby",   "Section"};
  return std::find(std::begin(kGroups), std::end(kGroups), group) != std::end(kGroups);
}

bool IsTypePart(std::string_view part) {
  return part == "Type" || part == "Label" || part == "Service" || part == "Description";
}

// The oldest webmail export's sections ("Section 1 - Description" Personal, then its e-mail,
// phones, ...): the home fields, or the work ones when the section says so.
struct SSectionPart {
  std::string_view name;
  int home, work;
};
constexpr SSectionPart kSectionParts[] = {{"", targetRemark, targetRemark},
                                          {"Email", targetPersonalEmail, targetBusinessEmail},
                                          {"Phone", targetHomePhone, targetBusinessPhone},
                                          {"Mobile", targetPersonalMobile, targetBusinessMobile},
                                          {"Pager", targetPersonalPager, targetBusinessPager},
                                          {"Fax", targetHomeFax, targetBusinessFax},
                                          {"Address", targetHomeStreet, targetBusinessStreet},
                                          {"Company", targetCompany, targetCompany},
                                          {"Title", targetJobTitle, targetJobTitle}};

SColumnRole SectionRole(int n, std::string_view part) {
  SColumnRole role;
  role.nPreset = targetRemark;
  role.nKind = kindLabelled;
  for (size_t i = 1; i < std::size(kSectionParts); ++i)
    if (part == kSectionParts[i].name) {
      role.nKind = kindSection;
      role.nPart = static_cast<std::uint8_t>(i);
      if (n == 1) role.nPreset = kSectionParts[i].home;
      if (n == 2) role.nPreset = kSectionParts[i].work;
    }
  return role;
}

// The role of a numbered group's column, its type column not yet known.
SColumnRole GroupRole(std::string_view group, int n, std::string_view part) {
  SColumnRole role;
  role.nPreset = targetRemark;
  if (IsTypePart(part)) {
    role.nPreset = targetNothing;
    role.nFlags = fType;
    return role;
  }
  if (group == "Section") return SectionRole(n, part);
  if (group == "Organization") {
    if (n != 1) return role;
    if (part == "Name") role.nPreset = targetCompany;
    if (part == "Title") role.nPreset = targetJobTitle;
    if (part == "Department") role.nPreset = targetDepartment;
    if (part == "Location") role.nPreset = targetOffice;
    return role;
  }
  if (group == "Address") {
    role.nKind = kindAddress;
    static constexpr std::pair<std::string_view, EPart> kParts[] = {
        {"Street", partStreet}, {"City", partCity},       {"Postal Code", partPostalCode},
        {"Region", partState},  {"Country", partCountry}, {"Formatted", partFormatted}};
    for (const auto& [name, p] : kParts)
      if (part == name) role.nPart = p;
    if (role.nPart == partNone) {
      // PO box, extended address: no field, but still labelled with the address's kind.
      role.nKind = kindLabelled;
      return role;
    }
    const int field = AddressField(role.nPart);
    if (n == 1) role.nPreset = kHomeAddress[field];
    if (n == 2) role.nPreset = kWorkAddress[field];
    if (role.nPart == partFormatted) role.nFlags = fFormatted;
    return role;
  }
  if (part != "Value") {
    role.nKind = kindLabelled;
    return role;
  }
  if (group == "E-mail") {
    role.nKind = kindEmail;
    role.nPreset = n == 1 ? targetPersonalEmail : n == 2 ? targetBusinessEmail : targetRemark;
  } else if (group == "Phone") {
    role.nKind = kindPhone;
    role.nPreset = n == 1   ? targetPersonalMobile
                   : n == 2 ? targetHomePhone
                   : n == 3 ? targetBusinessPhone
                            : targetRemark;
  } else if (group == "Website") {
    role.nKind = kindWeb;
    role.nPreset = n == 1 ? targetPersonalWeb : n == 2 ? targetBusinessWeb : targetRemark;
  } else if (group == "Relation") {
    role.nKind = kindRelation;
  } else if (group == "Event") {
    role.nKind = kindEvent;
  } else {
    role.nKind = kindLabelled;
  }
  return role;
}

// Where each column name occurs in the layouts' tables, by its lower-case form.
struct SHit {
  std::uint8_t layout;
  std::uint16_t index;
};
using NameIndex = std::unordered_map<std::string, std::vector<SHit>>;

const NameIndex& Names() {
  static const NameIndex names = [] {
    NameIndex index;
    const std::vector<SLayout>& layouts = KnownLayouts();
    for (size_t l = 0; l < layouts.size(); ++l)
      for (size_t i = 0; i < layouts[l].columns.size(); ++i)
        index[AsciiLowerCase(layouts[l].columns[i].name)].push_back(
            {static_cast<std::uint8_t>(l), static_cast<std::uint16_t>(i)});
    return index;
  }();
  return names;
}

const std::vector<SHit>* HitsOf(std::string_view name) {
  const NameIndex& names = Names();
  const auto it = names.find(AsciiLowerCase(name));
  return it == names.end() ? nullptr : &it->second;
}

// The layout's entry for the occurrence-th column (from 0) of that name in a header: a name
// the layout writes twice (the city of home and of work) is the home one first.
const SKnown* FindKnown(const std::vector<SHit>* hits, size_t layout, size_t occurrence) {
  const SKnown* found = nullptr;
  if (!hits) return found;
  for (const SHit& hit : *hits) {
    if (hit.layout != layout) continue;
    found = &KnownLayouts()[layout].columns[hit.index];
    if (occurrence-- == 0) break;
  }
  return found;
}

// The role of a column that the layout does not write: the program's own name for a field, or
// a name another layout uses, or else kept in the remark.
SColumnRole ForeignRole(std::string_view name, const std::vector<SHit>* hits) {
  SColumnRole role;
  role.nPreset = targetRemark;
  if (const int own = TargetIndexOf(name); own > targetNothing) {
    role.nPreset = own;
    return role;
  }
  for (size_t l = 0; hits && l < KnownLayouts().size(); ++l)
    if (const SKnown* k = FindKnown(hits, l, 0); k && !(k->flags & ~fNoise)) {
      role.nPreset = k->target;
      break;
    }
  return role;
}

// Links every typed value of a numbered group to the column that names its kind.
void LinkTypeColumns(const std::vector<std::string>& header, std::vector<SColumnRole>& roles) {
  std::map<std::pair<std::string, int>, int> typeColumns;
  for (size_t i = 0; i < header.size(); ++i) {
    std::string_view group, part;
    int n = 0;
    if (!GroupColumn(header[i], group, n, part) || !IsTypePart(part)) continue;
    // An instant-messaging address is labelled by its service rather than by home/work.
    auto [it, added] = typeColumns.emplace(std::make_pair(std::string(group), n), int(i));
    if (!added && part == "Service") it->second = static_cast<int>(i);
  }
  for (size_t i = 0; i < header.size(); ++i) {
    std::string_view group, part;
    int n = 0;
    if (roles[i].nKind == kindNone || !GroupColumn(header[i], group, n, part)) continue;
    const auto it = typeColumns.find({std::string(group), n});
    if (it != typeColumns.end()) roles[i].nTypeColumn = it->second;
  }
}

}  // namespace

int DetectLayout(const std::vector<std::string>& header) {
  if (const int fixed = FixedHeaderLayout(header); fixed >= 0) return fixed;
  const std::vector<SLayout>& layouts = KnownLayouts();
  std::vector<size_t> known(layouts.size());
  std::vector<char> seen(layouts.size());
  size_t named = 0;
  for (const std::string& name : header) {
    if (name.empty()) continue;
    ++named;
    std::fill(seen.begin(), seen.end(), 0);
    if (const std::vector<SHit>* hits = HitsOf(name))
      for (const SHit& hit : *hits)
        if (!(layouts[hit.layout].columns[hit.index].flags & fWeak)) seen[hit.layout] = 1;
    std::string_view group, part;
    int n = 0;
    const bool numbered = GroupColumn(name, group, n, part);
    for (size_t l = 0; l < layouts.size(); ++l)
      if (seen[l] || (numbered && layouts[l].numberedGroups)) ++known[l];
  }
  const auto best = std::max_element(known.begin(), known.end());
  return *best < 3 || *best * 2 < named ? -1 : static_cast<int>(best - known.begin());
}

bool IsKnownName(std::string_view name) { return HitsOf(name) != nullptr; }

std::string_view LayoutName(int layout) {
  const std::vector<SLayout>& layouts = KnownLayouts();
  return layout < 0 || static_cast<size_t>(layout) >= layouts.size() ? std::string_view()
                                                                     : layouts[layout].name;
}

bool WritesBareQuotes(int layout) {
  const std::vector<SLayout>& layouts = KnownLayouts();
  return layout >= 0 && static_cast<size_t>(layout) < layouts.size() && layouts[layout].bareQuotes;
}

std::vector<SColumnRole> ColumnRoles(int layout, const std::vector<std::string>& header) {
  const SLayout& known = KnownLayouts().at(static_cast<size_t>(layout));
  std::vector<SColumnRole> roles(header.size());
  std::unordered_map<std::string_view, size_t> occurrences;
  for (size_t i = 0; i < header.size(); ++i) {
    std::string_view group, part;
    int n = 0;
    const std::vector<SHit>* hits = HitsOf(header[i]);
    const size_t occurrence = hits ? occurrences[header[i]]++ : 0;
    if (const SKnown* k = FindKnown(hits, static_cast<size_t>(layout), occurrence)) {
      roles[i].nPreset = k->target;
      roles[i].nFlags = k->flags & ~fWeak;
    } else if (known.numberedGroups && GroupColumn(header[i], group, n, part)) {
      roles[i] = GroupRole(group, n, part);
    } else {
      roles[i] = ForeignRole(header[i], hits);
    }
    // The webmail joins several values of one column with " ::: ".
    if (known.numberedGroups && !(roles[i].nFlags & (fType | fGroups | fNotes)))
      roles[i].nFlags |= fMulti;
  }
  if (known.numberedGroups) LinkTypeColumns(header, roles);
  return roles;
}

// The field a typed value goes to by the word of its type column (lower case, without the
// star that marks the preferred one); preset when the type is empty, the remark when the word
// names a kind without a field.
int RouteByType(const SColumnRole& role, std::string_view type) {
  if (type.empty()) return role.nPreset;
  switch (role.nKind) {
    case kindEmail:
      return type.find("work") != std::string_view::npos ? targetBusinessEmail
                                                         : targetPersonalEmail;
    case kindPhone: {
      static constexpr std::pair<std::string_view, int> kPhones[] = {
          {"mobile", targetPersonalMobile},    {"cell", targetPersonalMobile},
          {"home", targetHomePhone},           {"work", targetBusinessPhone},
          {"home fax", targetHomeFax},         {"work fax", targetBusinessFax},
          {"fax", targetBusinessFax},          {"pager", targetPersonalPager},
          {"work pager", targetBusinessPager}, {"work mobile", targetBusinessMobile}};
      for (const auto& [word, target] : kPhones)
        if (type == word) return target;
      return targetRemark;
    }
    case kindWeb:
      if (type == "work") return targetBusinessWeb;
      return type == "home page" || type == "homepage" || type == "home" ? targetPersonalWeb
                                                                         : targetRemark;
    case kindRelation:
      if (type == "spouse" || type == "partner" || type == "domestic partner") return targetSpouse;
      return type == "child" ? targetChildren : targetRemark;
    case kindEvent:
      if (type == "anniversary") return targetAnniversary;
      return type == "birthday" ? targetBirthday : targetRemark;
    case kindSection: {
      const SSectionPart& part =
          kSectionParts[role.nPart < std::size(kSectionParts) ? role.nPart : 0];
      if (type.find("work") != std::string_view::npos || type == "business") return part.work;
      return type == "personal" || type == "home" ? part.home : targetRemark;
    }
    case kindAddress:
      if (type == "home") return kHomeAddress[AddressField(role.nPart)];
      if (type == "work") return kWorkAddress[AddressField(role.nPart)];
      return targetRemark;
    default:
      return role.nPreset;
  }
}

}  // namespace zorvan::foreign_csv
