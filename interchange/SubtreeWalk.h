#pragma once

#include <utility>
#include <vector>

#include "store/TreeItem.h"

namespace zorvan {

// Calls f for root and every record below it, each parent before its children, children in
// order, until f returns false; returns false when it did. Iterative, so any depth is safe.
template <typename F>
bool WalkSubtreeWhile(const CTreeItem& root, F&& f) {
  if (!f(root)) return false;
  std::vector<std::pair<const CTreeItem*, size_t>> stack;
  stack.emplace_back(&root, 0);
  while (!stack.empty()) {
    auto& [item, next] = stack.back();
    if (next >= item->ChildCount()) {
      stack.pop_back();
      continue;
    }
    const CTreeItem* child = item->Child(next++);
    if (!f(*child)) return false;
    stack.emplace_back(child, 0);
  }
  return true;
}

}  // namespace zorvan
