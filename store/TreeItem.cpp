#include "store/TreeItem.h"

#include <algorithm>

namespace zorvan {

CTreeItem::CTreeItem() {
  const CDateTime now = CurrentLocalTime();
  m_dtBirthday = now;
  m_dtNameDay = now;
  m_dtAnniversary = now;
}

CTreeItem::CTreeItem(const CTreeItem& other)
    : m_hItem(other.m_hItem),
      m_pParent(other.m_pParent),
      m_pLinked(other.m_pLinked),
      m_bDeleted(other.m_bDeleted),
      m_nKind(other.m_nKind) {
  CopyDataFrom(other);
}

void CTreeItem::CopyDataFrom(const CTreeItem& o) {
  m_strFirstName = o.m_strFirstName;
  m_strMiddleName = o.m_strMiddleName;
  m_strLastName = o.m_strLastName;
  m_strTitle = o.m_strTitle;
  m_strNickname = o.m_strNickname;
  m_nGender = o.m_nGender;
  m_bGroup = o.m_bGroup;
  m_strLabel = o.m_strLabel;
  m_nPrefEmail = o.m_nPrefEmail;
  m_nPrefUrl = o.m_nPrefUrl;
  m_strHomeStreet = o.m_strHomeStreet;
  m_strHomeCity = o.m_strHomeCity;
  m_strHomePostalCode = o.m_strHomePostalCode;
  m_strHomeState = o.m_strHomeState;
  m_strHomeCountry = o.m_strHomeCountry;
  m_strHomePhone = o.m_strHomePhone;
  m_strHomeFax = o.m_strHomeFax;
  m_strPersonalMobile = o.m_strPersonalMobile;
  m_strHomeIpPhone = o.m_strHomeIpPhone;
  m_strPersonalWeb = o.m_strPersonalWeb;
  m_strPersonalPager = o.m_strPersonalPager;
  m_strPersonalEmail = o.m_strPersonalEmail;
  m_strCompany = o.m_strCompany;
  m_strJobTitle = o.m_strJobTitle;
  m_strDepartment = o.m_strDepartment;
  m_strOffice = o.m_strOffice;
  m_strBusinessStreet = o.m_strBusinessStreet;
  m_strBusinessCity = o.m_strBusinessCity;
  m_strBusinessPostalCode = o.m_strBusinessPostalCode;
  m_strBusinessState = o.m_strBusinessState;
  m_strBusinessCountry = o.m_strBusinessCountry;
  m_strBusinessPhone = o.m_strBusinessPhone;
  m_strBusinessFax = o.m_strBusinessFax;
  m_strBusinessMobile = o.m_strBusinessMobile;
  m_strBusinessIpPhone = o.m_strBusinessIpPhone;
  m_strBusinessWeb = o.m_strBusinessWeb;
  m_strBusinessPager = o.m_strBusinessPager;
  m_strBusinessEmail = o.m_strBusinessEmail;
  m_strRemark = o.m_strRemark;
  m_strSpouse = o.m_strSpouse;
  m_strChildren = o.m_strChildren;
  m_strAnniversaryText = o.m_strAnniversaryText;
  m_dtBirthday = o.m_dtBirthday;
  m_dtNameDay = o.m_dtNameDay;
  m_dtAnniversary = o.m_dtAnniversary;
  m_bBirthday = o.m_bBirthday;
  m_bNameDay = o.m_bNameDay;
  m_bAnniversary = o.m_bAnniversary;
}

CTreeItem::~CTreeItem() {
  if (!m_pChildren) return;
  // Take the descendants apart from the top, so that no destructor recurses.
  std::vector<CTreeItem*> pending(m_pChildren->begin(), m_pChildren->end());
  delete m_pChildren;
  m_pChildren = nullptr;
  while (!pending.empty()) {
    CTreeItem* item = pending.back();
    pending.pop_back();
    if (item->m_pChildren) {
      pending.insert(pending.end(), item->m_pChildren->begin(), item->m_pChildren->end());
      delete item->m_pChildren;
      item->m_pChildren = nullptr;
    }
    delete item;
  }
}

void CTreeItem::AddChild(CTreeItem* parent, CTreeItem* child) {
  if (!parent->m_pChildren) parent->m_pChildren = new CTreeItemList;
  child->m_pParent = parent;
  child->m_nKind = parent->m_nKind;
  parent->m_pChildren->push_back(child);
}

void CTreeItem::RemoveDeleted() {
  if (!m_pChildren) return;
  // One pass that keeps the unmarked children in order: removing many marked children of a
  // large parent stays linear.
  auto& children = *m_pChildren;
  auto keep = children.begin();
  for (auto it = children.begin(); it != children.end(); ++it) {
    if ((*it)->m_bDeleted)
      delete *it;
    else
      *keep++ = *it;
  }
  children.erase(keep, children.end());
}

}  // namespace zorvan
