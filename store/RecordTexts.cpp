#include "store/RecordTexts.h"

#include <initializer_list>

#include "res/CodePage.h"

namespace zorvan {
namespace {

using Fields = std::initializer_list<const CTextField*>;

// The given fields in order, separated by ", ".
std::string Join(Fields fields) {
  std::string text;
  for (const CTextField* field : fields) {
    if (field->empty()) continue;
    if (!text.empty()) text += ", ";
    text += field->view();
  }
  return text;
}

std::string Concat(std::initializer_list<std::string_view> parts) {
  std::string text;
  for (std::string_view part : parts) text += part;
  return text;
}

// A phone and a mobile number: both with ", " between them, or whichever is given.
std::string PhoneAndMobile(const CTextField& phone, const CTextField& mobile) {
  return Join({&phone, &mobile});
}

struct SAddressPair {
  const CTextField& personal;
  const CTextField& business;
};

SAddressPair Addresses(const CTreeItem& r, EPreferredKind kind) {
  if (kind == EPreferredKind::email) return {r.m_strPersonalEmail, r.m_strBusinessEmail};
  return {r.m_strPersonalWeb, r.m_strBusinessWeb};
}

void Normalise(int& index, const SAddressPair& a) {
  if (index == -1 && (!a.personal.empty() || !a.business.empty())) index = 0;
  if (index == 1 && a.business.empty()) index = 0;
  if (a.personal.empty() && a.business.empty()) index = -1;
}

}  // namespace

std::string_view FirstCharacter(std::string_view utf8) {
  if (utf8.empty()) return utf8;
  size_t end = 0;
  DecodeUtf8(utf8, end);
  return utf8.substr(0, end);
}

std::vector<std::string> LabelSuggestions(const CTreeItem& r) {
  std::vector<std::string> labels;
  const std::string_view first = r.m_strFirstName, last = r.m_strLastName;
  const std::string_view initial = FirstCharacter(r.m_strMiddleName);
  const bool names = !first.empty() && !last.empty();
  const bool middle = names && !initial.empty();
  if (!r.m_strNickname.empty()) labels.emplace_back(r.m_strNickname.view());
  if (names) labels.push_back(Concat({first, " ", last}));
  if (middle) labels.push_back(Concat({first, " ", initial, ". ", last}));
  if (names) labels.push_back(Concat({last, ", ", first}));
  if (middle) labels.push_back(Concat({last, ", ", first, " ", initial, "."}));
  return labels;
}

std::string FallbackLabel(const CTreeItem& r) {
  std::string name;
  for (const CTextField* part : {&r.m_strFirstName, &r.m_strMiddleName, &r.m_strLastName}) {
    if (part->empty()) continue;
    if (!name.empty()) name += ' ';
    name += part->view();
  }
  for (const CTextField* other : {&r.m_strCompany, &r.m_strPersonalEmail, &r.m_strBusinessEmail})
    if (name.empty()) name = other->view();
  return name;
}

std::vector<std::string> PreferredEntries(const CTreeItem& record, EPreferredKind kind) {
  const SAddressPair a = Addresses(record, kind);
  std::vector<std::string> entries;
  if (!a.personal.empty()) entries.emplace_back(a.personal.view());
  if (!a.business.empty()) entries.emplace_back(a.business.view());
  return entries;
}

std::string PreferredAddress(const CTreeItem& record, EPreferredKind kind) {
  const SAddressPair a = Addresses(record, kind);
  const int preferred = kind == EPreferredKind::email ? record.m_nPrefEmail : record.m_nPrefUrl;
  if (preferred == 1 || a.personal.empty()) return a.business.str();
  return a.personal.str();
}

int IndexAfterFill(int stored, int count) { return stored >= count ? count : stored; }

int SelectionOf(int index, int count) { return index >= 0 && index < count ? index : -1; }

void NormalisePreferred(CTreeItem& record) {
  Normalise(record.m_nPrefEmail, Addresses(record, EPreferredKind::email));
  Normalise(record.m_nPrefUrl, Addresses(record, EPreferredKind::web));
}

SSummaryTexts BuildSummary(const CTreeItem& r) {
  SSummaryTexts s;
  if (!r.m_strFirstName.empty() || !r.m_strLastName.empty()) {
    // A missing first or last name leaves its blank: " Novák".
    s.strNameLine = Concat({r.m_strFirstName, " ", r.m_strLastName});
    if (!r.m_strNickname.empty()) s.strNameLine += Concat({" (", r.m_strNickname, ")"});
  } else if (!r.m_strNickname.empty()) {
    s.strNameLine = Concat({r.m_strLabel, " (", r.m_strNickname, ")"});
  } else {
    s.strNameLine = r.m_strLabel.str();
  }
  s.strHomeAddress = Join({&r.m_strHomeStreet, &r.m_strHomeCity, &r.m_strHomeState,
                           &r.m_strHomePostalCode, &r.m_strHomeCountry});
  s.strHomePhone = PhoneAndMobile(r.m_strHomePhone, r.m_strPersonalMobile);
  s.strHomeInternet = Join({&r.m_strPersonalEmail, &r.m_strPersonalWeb});
  if (r.m_strCompany.empty())
    s.strWorkLine = "Zaměstnání";
  else if (!r.m_strDepartment.empty())
    s.strWorkLine = Concat({r.m_strCompany, ": ", r.m_strDepartment});
  else
    s.strWorkLine = r.m_strCompany.str();
  s.strWorkAddress = Join({&r.m_strBusinessStreet, &r.m_strBusinessCity, &r.m_strBusinessState,
                           &r.m_strBusinessPostalCode, &r.m_strBusinessCountry});
  s.strWorkPhone = PhoneAndMobile(r.m_strBusinessPhone, r.m_strBusinessMobile);
  s.strWorkInternet = Join({&r.m_strBusinessEmail, &r.m_strBusinessWeb});
  return s;
}

}  // namespace zorvan
