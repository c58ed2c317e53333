#pragma once

#include <vector>

#include "store/TreeItem.h"

namespace zorvan {

// The document's owning list of top-level nodes: index 0 the "Contacts" root, index 1 the
// "Calendar" root.
class CTreeItemArray {
 public:
  CTreeItemArray() = default;
  CTreeItemArray(const CTreeItemArray&) = delete;
  CTreeItemArray& operator=(const CTreeItemArray&) = delete;
  ~CTreeItemArray() { RemoveAll(); }

  int Add(CTreeItem* item) {
    m_items.push_back(item);
    return static_cast<int>(m_items.size()) - 1;
  }
  CTreeItem* GetAt(int index) const { return m_items[static_cast<size_t>(index)]; }
  int GetSize() const { return static_cast<int>(m_items.size()); }
  bool IsEmpty() const { return m_items.empty(); }
  // Destroys every element, the first one first.
  void RemoveAll() {
    for (CTreeItem* item : m_items) delete item;
    m_items.clear();
  }

 private:
  std::vector<CTreeItem*> m_items;
};

}  // namespace zorvan
