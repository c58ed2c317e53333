#include "store/TreeItem.h"

#include <algorithm>

namespace zorvan {

CTreeItem::CTreeItem(const CTreeItem& other)
    : CContactData(other),
      m_hItem(other.m_hItem),
      m_pParent(other.m_pParent),
      m_pLinked(other.m_pLinked),
      m_bDeleted(other.m_bDeleted),
      m_nKind(other.m_nKind) {}

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
