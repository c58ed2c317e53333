#pragma once

#include <string>

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
  virtual void SetItemText(TreeHandle item, const std::string& text) = 0;
  virtual void SetItemImage(TreeHandle item, int image) = 0;
  // Deletes the item with the items of its whole subtree.
  virtual void DeleteItem(TreeHandle item) = 0;
  // Sorts the item's direct children by text, ignoring case.
  virtual void SortChildren(TreeHandle item) = 0;
};

}  // namespace zorvan
