#pragma once

#include <string>
#include <vector>

#include "store/TreeItem.h"

namespace zorvan {

// The document's way into the tree view's control: the calendar upkeep and the record
// operations keep the control in step with the records through it. Without a port (the command
// line) the document changes the records only.
class ITreeViewPort {
 public:
  virtual ~ITreeViewPort() = default;
  // Inserts an item for node as the last child of parent (null: at the top) with text and image
  // (also the selected image) and node as its data; returns the new item.
  virtual TreeHandle InsertItem(TreeHandle parent, CTreeItem* node, const std::string& text,
                                int image) = 0;
  // Inserts items for nodes as the last children of parent, in order, each with its node's
  // label and image, and keeps each item in its node's m_hItem: what InsertItem does for one
  // node, for many at once (a control told of each item alone spends most of a large import
  // on the telling).
  virtual void InsertItems(TreeHandle parent, const std::vector<CTreeItem*>& nodes) {
    for (CTreeItem* node : nodes)
      node->m_hItem = InsertItem(parent, node, node->m_strLabel.str(), NodeImage(*node));
  }
  virtual void SetItemText(TreeHandle item, const std::string& text) = 0;
  virtual void SetItemImage(TreeHandle item, int image) = 0;
  // Deletes the item with the items of its whole subtree.
  virtual void DeleteItem(TreeHandle item) = 0;
  // Sorts the item's direct children by text, ignoring case.
  virtual void SortChildren(TreeHandle item) = 0;
};

}  // namespace zorvan
