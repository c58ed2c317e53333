#pragma once

#include <memory>
#include <type_traits>
#include <utility>
#include <vector>

#include "store/ContactData.h"
#include "store/RecordExtras.h"

namespace zorvan {

class CTreeItem;
using CTreeItemList = std::vector<CTreeItem*>;

// The handle of a node's item in the tree view; opaque to the core.
using TreeHandle = void*;

// Which branch a node belongs to.
enum ENodeKind { kindUnplaced = 0, kindContacts = 1, kindCalendar = 2 };

// One node of the database tree: a contact, a group, a basic element of the skeleton, or a
// calendar node derived from the contacts' dates. Every node carries the full contact record.
class CTreeItem : public CContactData {
 public:
  // All data fields at their defaults (the dates take the current local date and time).
  CTreeItem() = default;
  // A node at the defaults but for its label.
  explicit CTreeItem(std::string_view label) : CContactData(label) {}
  // A node whose every data field is about to be read (CContactData::SUnfilled).
  explicit CTreeItem(SUnfilled unfilled) : CContactData(unfilled) {}
  // Copies every data field and the tree fields except the children: the copy starts with none,
  // and the caller gives it a parent and copies the children one by one. Of the extras the copy
  // takes what SRecordExtras::ForCopy gives, not the identity.
  CTreeItem(const CTreeItem& other);
  CTreeItem& operator=(const CTreeItem&) = delete;
  // Destroys the whole subtree (iteratively, so a deep tree cannot exhaust the stack).
  ~CTreeItem();

  // Appends child to parent's children, creating the array when needed; the child takes the
  // parent as its parent and the parent's branch.
  static void AddChild(CTreeItem* parent, CTreeItem* child);
  // Destroys, with their subtrees, every child whose m_bDeleted is set, keeping the order of
  // the others.
  void RemoveDeleted();

  size_t ChildCount() const { return m_pChildren ? m_pChildren->size() : 0; }
  CTreeItem* Child(size_t i) const { return (*m_pChildren)[i]; }

  // Tree fields.
  CTreeItemList* m_pChildren = nullptr;  // owned; null until the first AddChild
  TreeHandle m_hItem = nullptr;
  CTreeItem* m_pParent = nullptr;  // not owning; null for the two top-level basic elements
  CTreeItem* m_pLinked = nullptr;  // calendar event nodes: the contact the event belongs to
  int m_bDeleted = 0;
  int m_nKind = kindUnplaced;
  // What the record holds beyond its fields; null for a record without extras.
  std::unique_ptr<SRecordExtras> m_pExtras;
};

// The image of a node in the tree: 0 group, 1 contact, 2 calendar group, 3 calendar entry.
inline int NodeImage(const CTreeItem& item) {
  return (item.m_bGroup == 0 ? 1 : 0) + item.m_nKind * 2 - 2;
}

// True when a set date can take part in the calendar: its flag is set and the date is valid.
inline bool IsDateSet(int flag, const CDateTime& date) { return flag != 0 && date.IsUsable(); }

// Calls f for root and every node below it, parents before children, children in order, until
// f returns false; returns false when it did. f takes the node, or the node and its depth below
// root (root 0, its children 1, ...). Iterative, so any depth is safe. Node is CTreeItem or
// const CTreeItem.
template <typename Node, typename F>
bool WalkSubtreeWhile(Node& root, F&& f) {
  auto visit = [&f](Node& node, size_t depth) -> bool {
    if constexpr (std::is_invocable_v<F&, Node&, size_t>)
      return f(node, depth);
    else
      return f(node);
  };
  if (!visit(root, 0)) return false;
  // The path from root down to the node last visited, each with the index of its next child;
  // its length is the depth of the children it leads to.
  std::vector<std::pair<Node*, size_t>> stack;
  stack.emplace_back(&root, 0);
  while (!stack.empty()) {
    auto& [item, next] = stack.back();
    if (next >= item->ChildCount()) {
      stack.pop_back();
      continue;
    }
    Node* child = item->Child(next++);
    if (!visit(*child, stack.size())) return false;
    stack.emplace_back(child, 0);
  }
  return true;
}

// Calls f(node) for node and every node below it, in the same order.
template <typename F>
void ForEachInSubtree(CTreeItem* node, F&& f) {
  WalkSubtreeWhile(*node, [&f](CTreeItem& n) {
    f(&n);
    return true;
  });
}

}  // namespace zorvan
