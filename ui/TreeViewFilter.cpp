// The filter box's side of the tree control: which items a text lets through.

#include <algorithm>
#include <string_view>
#include <utility>
#include <vector>

#include "ui/TreeViewEx.h"

namespace zorvan {

void CTreeNodeItem::ForgetFilterKey() {
  m_bKeyMade = false;
  // The owner's rows keep a copy of the key: the row reads it again at the next keystroke.
  CTreeViewEx& owner = *m_pOwner;
  const auto row = static_cast<size_t>(m_nFilterRow);
  if (owner.m_bFilterRowsStale || m_nFilterRow < 0 || row >= owner.m_filterRows.size() ||
      owner.m_filterRows[row].item != this || owner.m_filterRows[row].keyQueued)
    return;
  owner.m_filterRows[row].keyQueued = true;
  owner.m_changedKeyRows.push_back(m_nFilterRow);
}

bool CTreeViewEx::IsFilteredOut(QTreeWidgetItem* item) {
  const CTreeNodeItem* node = AsNodeItem(item);
  return node && node->m_bFiltered;
}

void CTreeViewEx::ForgetFilterKey(const CTreeItem* record) {
  if (CTreeNodeItem* item = ItemOf(record)) item->ForgetFilterKey();
}

void CTreeViewEx::ForgetFilterKeys() {
  for (const void* handle : std::as_const(m_liveItems))
    AsNodeItem(const_cast<void*>(handle))->m_bKeyMade = false;
  m_bFilterRowsStale = true;
}

void CTreeViewEx::MakeFilterRows() {
  m_filterRows.clear();
  m_strFilterKeys.clear();
  m_changedKeyRows.clear();
  m_filterRows.reserve(static_cast<size_t>(m_liveItems.size()));
  // Children after their parent, in the tree's order, with an explicit stack.
  struct SPending {
    QTreeWidgetItem* item;
    int parent;  // the parent's row, -1 for a root
    int row;     // below the parent
  };
  std::vector<SPending> stack;
  for (int top = topLevelItemCount(); top-- > 0;) stack.push_back({topLevelItem(top), -1, top});
  while (!stack.empty()) {
    const SPending next = stack.back();
    stack.pop_back();
    CTreeNodeItem* item = AsNodeItem(next.item);
    if (!item) continue;
    const int rowNumber = static_cast<int>(m_filterRows.size());
    item->m_nFilterRow = rowNumber;
    const bool contacts =
        next.parent < 0 ? next.row == 0 : m_filterRows[static_cast<size_t>(next.parent)].contacts;
    m_filterRows.push_back({item, next.parent, next.row, kOwnKey, 0, 0, contacts, false, false,
                            false, item->m_bFilterMatch, !item->m_bFiltered, item->m_bRowHidden,
                            item->m_bFilterOpened});
    for (int c = next.item->childCount(); c-- > 0;)
      stack.push_back({next.item->child(c), rowNumber, c});
  }
  for (SFilterRow& row : m_filterRows) {
    const CTreeItem* record = row.item->m_pRecord;
    if (!record || row.parent < 0) {
      // The roots stay whatever the text.
      row.linked = kMatchesNothing;
    } else if (record->m_nKind == kindCalendar) {
      // An event node stands for its contact; the calendar's own nodes (categories, calendar
      // names) match nothing.
      const CTreeNodeItem* contact = record->m_pLinked ? ItemOf(record->m_pLinked) : nullptr;
      row.linked = contact ? contact->m_nFilterRow : kMatchesNothing;
    } else {
      const std::string& key = row.item->FilterKey();
      row.keyBegin = static_cast<uint32_t>(m_strFilterKeys.size());
      row.keyLength = static_cast<uint32_t>(key.size());
      m_strFilterKeys += key;
    }
  }
  m_bFilterRowsStale = false;
}

void CTreeViewEx::ReadChangedFilterKeys() {
  // A changed key goes to the end of the block; the old one stays unused until the rows are
  // made again.
  for (const int changed : std::exchange(m_changedKeyRows, {})) {
    SFilterRow& row = m_filterRows[static_cast<size_t>(changed)];
    row.keyQueued = false;
    if (row.linked != kOwnKey) continue;
    const std::string& key = row.item->FilterKey();
    row.keyBegin = static_cast<uint32_t>(m_strFilterKeys.size());
    row.keyLength = static_cast<uint32_t>(key.size());
    row.keyChanged = true;
    m_strFilterKeys += key;
  }
}

void CTreeViewEx::MatchFilterRows(bool narrowing) {
  const bool filtering = !m_strFilter.empty();
  const std::string_view keys(m_strFilterKeys);
  for (SFilterRow& row : m_filterRows) {
    if (row.linked != kOwnKey) continue;
    // A text that only grew cannot be found where its start was not: those rows keep their
    // answer without their keys being read; a record changed since is asked again.
    const bool match =
        filtering && (!narrowing || row.match || row.keyChanged) &&
        keys.substr(row.keyBegin, row.keyLength).find(m_strFilter) != std::string_view::npos;
    row.keyChanged = false;
    row.matchChanged = row.matchChanged || match != row.match;
    row.match = match;
  }
  for (SFilterRow& row : m_filterRows) {
    if (row.linked == kOwnKey) continue;
    const bool match =
        filtering && row.linked >= 0 && m_filterRows[static_cast<size_t>(row.linked)].match;
    row.matchChanged = row.matchChanged || match != row.match;
    row.match = match;
  }
}

void CTreeViewEx::ShowFilterRows() {
  // Children before their parent (the rows backwards): a row is shown when it matches, when
  // anything below it is shown, or when it is a root. Only the items whose state changes are
  // touched, and the view hears of a row of the calendar branch only while its parent is open:
  // the tens of thousands of event nodes in closed categories cost nothing until a category is
  // opened (OnItemExpanded).
  const bool filtering = !m_strFilter.empty();
  std::vector<char> anyShown(m_filterRows.size(), 0);
  std::vector<signed char> open(m_filterRows.size(), -1);  // asked of the view once
  for (size_t i = m_filterRows.size(); i-- > 0;) {
    SFilterRow& row = m_filterRows[i];
    const bool shown = !filtering || row.parent < 0 || row.match || anyShown[i];
    if (shown && row.parent >= 0) anyShown[static_cast<size_t>(row.parent)] = 1;
    CTreeNodeItem* item = row.item;
    if (row.matchChanged) {
      item->m_bFilterMatch = row.match;
      row.matchChanged = false;
    }
    if (row.shown != shown) {
      row.shown = shown;
      item->m_bFiltered = !shown;
    }
    if (row.hiddenInView == shown) {
      const auto parentRow = static_cast<size_t>(row.parent);
      // The contacts branch is told at once: a group that matches by its own label shows no
      // arrow that opens onto nothing.
      const bool told = row.parent < 0 || row.contacts;
      if (!told && open[parentRow] < 0)
        open[parentRow] = m_filterRows[parentRow].item->isExpanded() ? 1 : 0;
      if (told || open[parentRow] == 1) {
        row.hiddenInView = item->m_bRowHidden = !shown;
        setRowHidden(row.row,
                     row.parent < 0 ? QModelIndex() : indexFromItem(m_filterRows[parentRow].item),
                     !shown);
      }
    }
    if (filtering && row.contacts && anyShown[i] && !item->isExpanded()) {
      item->setExpanded(true);
      item->m_bFilterOpened = row.opened = true;
    } else if (!filtering && row.opened) {
      item->setExpanded(false);
      item->m_bFilterOpened = row.opened = false;
    }
  }
}

void CTreeViewEx::OnItemExpanded(QTreeWidgetItem* parent) {
  // What the filter decided for the children while the item was closed.
  const bool rows = !m_bFilterRowsStale;
  QModelIndex index;
  for (int c = 0; c < parent->childCount(); ++c) {
    CTreeNodeItem* child = AsNodeItem(parent->child(c));
    if (!child || child->m_bRowHidden == child->m_bFiltered) continue;
    if (!index.isValid()) index = indexFromItem(parent);
    child->m_bRowHidden = child->m_bFiltered;
    setRowHidden(c, index, child->m_bFiltered);
    const auto row = static_cast<size_t>(child->m_nFilterRow);
    if (rows && child->m_nFilterRow >= 0 && row < m_filterRows.size() &&
        m_filterRows[row].item == child)
      m_filterRows[row].hiddenInView = child->m_bFiltered;
  }
}

void CTreeViewEx::ApplyFilter(const std::string& folded) {
  if (folded == m_strFilter) return;
  const bool narrowing = !m_strFilter.empty() && folded.find(m_strFilter) != std::string::npos;
  m_strFilter = folded;
  if (m_bFilterRowsStale) MakeFilterRows();
  ReadChangedFilterKeys();
  // One layout for the whole change: hiding and opening rows only note what to do while a
  // layout is pending, and nothing is painted before the end.
  const bool updates = updatesEnabled();
  setUpdatesEnabled(false);
  scheduleDelayedItemsLayout();
  MatchFilterRows(narrowing);
  ShowFilterRows();
  if (m_strFilter.empty()) {
    // The way to the selection stays open.
    for (QTreeWidgetItem* p = currentItem() ? currentItem()->parent() : nullptr; p; p = p->parent())
      p->setExpanded(true);
  }
  setUpdatesEnabled(updates);
}

CTreeNodeItem* CTreeViewEx::FirstFilterMatch() const {
  std::vector<QTreeWidgetItem*> stack;
  for (int top = topLevelItemCount(); top-- > 0;) stack.push_back(topLevelItem(top));
  while (!stack.empty()) {
    QTreeWidgetItem* item = stack.back();
    stack.pop_back();
    CTreeNodeItem* node = AsNodeItem(item);
    if (!node || node->m_bFiltered) continue;
    if (node->m_bFilterMatch) return node;
    for (int c = item->childCount(); c-- > 0;) stack.push_back(item->child(c));
  }
  return nullptr;
}

}  // namespace zorvan
