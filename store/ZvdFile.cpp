#include "store/ZvdFile.h"

#include <utility>
#include <vector>

namespace zorvan {
namespace {

// The smallest record: 38 empty texts, 8 numbers and 3 dates. A child count that needs more
// bytes than are left is damage, found before anything is allocated for it.
constexpr size_t kMinRecordBytes = 38 * 1 + 8 * 4 + 3 * 12;

void StoreFields(CArchiveWriter& ar, const CTreeItem& r) {
  ar.WriteText(r.m_strFirstName);
  ar.WriteText(r.m_strMiddleName);
  ar.WriteText(r.m_strLastName);
  ar.WriteText(r.m_strTitle);
  ar.WriteText(r.m_strNickname);
  ar.WriteLong(r.m_nGender);
  ar.WriteLong(r.m_bGroup);
  ar.WriteText(r.m_strLabel);
  ar.WriteLong(r.m_nPrefEmail);
  ar.WriteLong(r.m_nPrefUrl);
  ar.WriteText(r.m_strHomeStreet);
  ar.WriteText(r.m_strHomeCity);
  ar.WriteText(r.m_strHomePostalCode);
  ar.WriteText(r.m_strHomeState);
  ar.WriteText(r.m_strHomeCountry);
  ar.WriteText(r.m_strHomePhone);
  ar.WriteText(r.m_strHomeFax);
  ar.WriteText(r.m_strPersonalMobile);
  ar.WriteText(r.m_strHomeIpPhone);
  ar.WriteText(r.m_strPersonalWeb);
  ar.WriteText(r.m_strPersonalPager);
  ar.WriteText(r.m_strPersonalEmail);
  ar.WriteText(r.m_strCompany);
  ar.WriteText(r.m_strJobTitle);
  ar.WriteText(r.m_strDepartment);
  ar.WriteText(r.m_strOffice);
  ar.WriteText(r.m_strBusinessStreet);
  ar.WriteText(r.m_strBusinessCity);
  ar.WriteText(r.m_strBusinessPostalCode);
  ar.WriteText(r.m_strBusinessState);
  ar.WriteText(r.m_strBusinessCountry);
  ar.WriteText(r.m_strBusinessPhone);
  ar.WriteText(r.m_strBusinessFax);
  ar.WriteText(r.m_strBusinessMobile);
  ar.WriteText(r.m_strBusinessIpPhone);
  ar.WriteText(r.m_strBusinessWeb);
  ar.WriteText(r.m_strBusinessPager);
  ar.WriteText(r.m_strBusinessEmail);
  // The file keeps its own order from here: family, dates, anniversary text, remark last.
  ar.WriteText(r.m_strSpouse);
  ar.WriteText(r.m_strChildren);
  ar.WriteDate(r.m_dtBirthday);
  ar.WriteLong(r.m_bBirthday);
  ar.WriteDate(r.m_dtNameDay);
  ar.WriteLong(r.m_bNameDay);
  ar.WriteDate(r.m_dtAnniversary);
  ar.WriteLong(r.m_bAnniversary);
  ar.WriteText(r.m_strAnniversaryText);
  ar.WriteText(r.m_strRemark);
}

bool LoadFields(CArchiveReader& ar, CTreeItem& r) {
  std::int32_t n = 0;
  bool ok = ar.ReadText(r.m_strFirstName) && ar.ReadText(r.m_strMiddleName) &&
            ar.ReadText(r.m_strLastName) && ar.ReadText(r.m_strTitle) &&
            ar.ReadText(r.m_strNickname) && ar.ReadLong(n);
  r.m_nGender = n;
  ok = ok && ar.ReadLong(n);
  r.m_bGroup = n;
  ok = ok && ar.ReadText(r.m_strLabel) && ar.ReadLong(n);
  r.m_nPrefEmail = n;
  ok = ok && ar.ReadLong(n);
  r.m_nPrefUrl = n;
  ok = ok && ar.ReadText(r.m_strHomeStreet) && ar.ReadText(r.m_strHomeCity) &&
       ar.ReadText(r.m_strHomePostalCode) && ar.ReadText(r.m_strHomeState) &&
       ar.ReadText(r.m_strHomeCountry) && ar.ReadText(r.m_strHomePhone) &&
       ar.ReadText(r.m_strHomeFax) && ar.ReadText(r.m_strPersonalMobile) &&
       ar.ReadText(r.m_strHomeIpPhone) && ar.ReadText(r.m_strPersonalWeb) &&
       ar.ReadText(r.m_strPersonalPager) && ar.ReadText(r.m_strPersonalEmail) &&
       ar.ReadText(r.m_strCompany) && ar.ReadText(r.m_strJobTitle) &&
       ar.ReadText(r.m_strDepartment) && ar.ReadText(r.m_strOffice) &&
       ar.ReadText(r.m_strBusinessStreet) && ar.ReadText(r.m_strBusinessCity) &&
       ar.ReadText(r.m_strBusinessPostalCode) && ar.ReadText(r.m_strBusinessState) &&
       ar.ReadText(r.m_strBusinessCountry) && ar.ReadText(r.m_strBusinessPhone) &&
       ar.ReadText(r.m_strBusinessFax) && ar.ReadText(r.m_strBusinessMobile) &&
       ar.ReadText(r.m_strBusinessIpPhone) && ar.ReadText(r.m_strBusinessWeb) &&
       ar.ReadText(r.m_strBusinessPager) && ar.ReadText(r.m_strBusinessEmail) &&
       ar.ReadText(r.m_strSpouse) && ar.ReadText(r.m_strChildren) && ar.ReadDate(r.m_dtBirthday) &&
       ar.ReadLong(n);
  r.m_bBirthday = n;
  ok = ok && ar.ReadDate(r.m_dtNameDay) && ar.ReadLong(n);
  r.m_bNameDay = n;
  ok = ok && ar.ReadDate(r.m_dtAnniversary) && ar.ReadLong(n);
  r.m_bAnniversary = n;
  return ok && ar.ReadText(r.m_strAnniversaryText) && ar.ReadText(r.m_strRemark);
}

// Reads a child count and checks it against the bytes left.
bool ReadChildCount(CArchiveReader& ar, std::int32_t& count, std::string& error) {
  if (!ar.ReadLong(count)) {
    error = ar.Error();
    return false;
  }
  if (count < 0) {
    error = "a record count is negative";
    return false;
  }
  if (static_cast<size_t>(count) > ar.Remaining() / kMinRecordBytes) {
    error = "a record count is larger than the rest of the file can hold";
    return false;
  }
  return true;
}

}  // namespace

void StoreItem(CArchiveWriter& ar, const CTreeItem& record) {
  // Depth first with an explicit stack: parents before children, children in order.
  std::vector<std::pair<const CTreeItem*, size_t>> stack;
  StoreFields(ar, record);
  ar.WriteLong(static_cast<std::int32_t>(record.ChildCount()));
  stack.emplace_back(&record, 0);
  while (!stack.empty()) {
    auto& [item, next] = stack.back();
    if (next >= item->ChildCount()) {
      stack.pop_back();
      continue;
    }
    const CTreeItem* child = item->Child(next++);
    StoreFields(ar, *child);
    ar.WriteLong(static_cast<std::int32_t>(child->ChildCount()));
    stack.emplace_back(child, 0);
  }
}

bool LoadItem(CArchiveReader& ar, CTreeItem& record, CTreeItem* parent, std::string& error) {
  struct SPending {
    CTreeItem* item;
    std::int32_t left;
  };
  std::vector<SPending> stack;
  record.m_pParent = parent;
  record.m_nKind = kindContacts;
  std::int32_t count = 0;
  if (!LoadFields(ar, record)) {
    error = ar.Error();
    return false;
  }
  if (!ReadChildCount(ar, count, error)) return false;
  stack.push_back({&record, count});
  while (!stack.empty()) {
    SPending& top = stack.back();
    if (top.left == 0) {
      stack.pop_back();
      continue;
    }
    --top.left;
    if (static_cast<int>(stack.size()) >= kMaxRecordDepth) {
      error = "the records are nested too deeply";
      return false;
    }
    auto* child = new CTreeItem;
    CTreeItem::AddChild(top.item, child);
    if (!LoadFields(ar, *child)) {
      error = ar.Error();
      return false;
    }
    if (!ReadChildCount(ar, count, error)) return false;
    stack.push_back({child, count});
  }
  return true;
}

std::string StoreDatabase(const CTreeItem* contactsRoot) {
  CArchiveWriter ar;
  ar.WriteText(kZvdHeader);
  const size_t n = contactsRoot ? contactsRoot->ChildCount() : 0;
  ar.WriteLong(static_cast<std::int32_t>(n));
  for (size_t i = 0; i < n; ++i) StoreItem(ar, *contactsRoot->Child(i));
  return ar.TakeBytes();
}

bool LoadDatabase(std::string_view bytes, CTreeItem& contactsRoot, std::string& error) {
  CArchiveReader ar(bytes);
  std::int32_t n = 0;
  if (!ar.SkipText()) {
    error = ar.Error();
    return false;
  }
  if (!ReadChildCount(ar, n, error)) return false;
  for (std::int32_t i = 0; i < n; ++i) {
    auto* record = new CTreeItem;
    CTreeItem::AddChild(&contactsRoot, record);
    if (!LoadItem(ar, *record, &contactsRoot, error)) return false;
  }
  return true;
}

}  // namespace zorvan
