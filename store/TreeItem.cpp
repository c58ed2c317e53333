#include "store/TreeItem.h"

#include <algorithm>

namespace zorvan {

CTreeItem::CTreeItem(const CTreeItem& other)
    : CContactData(other),
      m_hItem(other.m_hItem),
      m_pParent(other.m_pParent),
      m_pLinked(other.m_pLinked),
      m_bDeleted(other.m_bDeleted),
      m_nKind(other.m_nKind),
      m_pExtras(other.m_pExtras ? other.m_pExtras->ForCopy() : nullptr) {}

CTreeItem::~CTreeItem() {
  // Take the descendants apart leaf by leaf: down to the last child, delete it, back up to its
  // parent. No destructor recurses, however deep the tree, and nothing is allocated, so that a
  // tree can still be freed when memory has run out.
  CTreeItem* node = this;
  for (;;) {
    if (node->m_pChildren && !node->m_pChildren->empty()) {
      CTreeItem* child = node->m_pChildren->back();
      child->m_pParent = node;
      node = child;
      continue;
    }
    delete node->m_pChildren;
    node->m_pChildren = nullptr;
    if (node == this) return;
    CTreeItem* parent = node->m_pParent;
    parent->m_pChildren->pop_back();
    delete node;
    node = parent;
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
