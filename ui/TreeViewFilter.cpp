// The filter box's side of the tree control: which items a text lets through.

#include <algorithm>
#include <string_view>
#include <utility>
#include <vector>

#include "find/Finder.h"
#include "ui/TreeViewEx.h"

namespace zorvan {

void CTreeNodeItem::ForgetFilterKey() {
  m_bKeyMade = false;
  // The owner's rows keep a copy of the key: the row reads it again at the next keystroke.
  CTreeViewEx& owner = *m_pOwner;
  const auto row = static_cast<size_t>(m_nFilterRow);
  if (!owner.m_bFilterRowsStale && m_nFilterRow >= 0 && row < owner.m_filterRows.size() &&
      owner.m_filterRows[row].item == this)
    owner.QueueChangedKey(m_nFilterRow);
}

void CTreeViewEx::QueueChangedKey(int row) {
  SFilterRow& changed = m_filterRows[static_cast<size_t>(row)];
  if (changed.keyQueued) return;
  changed.keyQueued = true;
  m_changedKeyRows.push_back(row);
}

bool CTreeViewEx::IsFilteredOut(QTreeWidgetItem* item) {
  const CTreeNodeItem* node = AsNodeItem(item);
  return node && node->m_bFiltered;
}

void CTreeViewEx::ForgetFilterKey(const CTreeItem* record) {
  if (CTreeNodeItem* item = ItemOf(record)) return item->ForgetFilterKey();
  const SFilterRow* row = m_bFilterRowsStale ? nullptr : RowOf(record);
  if (row) QueueChangedKey(static_cast<int>(row - m_filterRows.data()));
}

void CTreeViewEx::ForgetFilterKeys() {
  for (const void* handle : std::as_const(m_liveItems))
    AsNodeItem(const_cast<void*>(handle))->m_bKeyMade = false;
  m_bFilterRowsStale = true;
}

CTreeViewEx::SFilterRow* CTreeViewEx::RowOf(const CTreeItem* record) {
  const auto found = m_rowOfRecord.constFind(record);
  return found == m_rowOfRecord.cend() ? nullptr : &m_filterRows[static_cast<size_t>(*found)];
}

const CTreeViewEx::SFilterRow* CTreeViewEx::RowOf(const CTreeItem* record) const {
  return const_cast<CTreeViewEx*>(this)->RowOf(record);
}

bool CTreeViewEx::IsShownRecord(const CTreeItem* record) const {
  if (const CTreeNodeItem* item = ItemOf(record)) return !item->m_bFiltered;
  // A record added since the last filtering is shown, as its item would be.
  const SFilterRow* row = m_strFilter.empty() ? nullptr : RowOf(record);
  return !row || row->shown;
}

void CTreeViewEx::LinkToFilterRow(CTreeNodeItem* item, int index) {
  if (m_rowOfRecord.isEmpty()) return;
  const auto found = m_rowOfRecord.constFind(item->m_pRecord);
  if (found == m_rowOfRecord.cend()) return;
  SFilterRow& row = m_filterRows[static_cast<size_t>(*found)];
  item->m_bFilterMatch = row.match;
  item->m_bFiltered = !row.shown;
  if (m_bFilterRowsStale) return;
  item->m_nFilterRow = *found;
  row.item = item;
  row.row = index;
  row.hiddenInView = false;
  row.opened = false;
}

void CTreeViewEx::AppendFilterKey(SFilterRow& row) {
  row.keyBegin = static_cast<uint32_t>(m_strFilterKeys.size());
  if (row.item)
    m_strFilterKeys += row.item->FilterKey();
  else
    m_strFilterKeys += zorvan::FilterKey(*row.record);
  row.keyLength = static_cast<uint32_t>(m_strFilterKeys.size() - row.keyBegin);
}

void CTreeViewEx::MakeFilterRows() {
  m_filterRows.clear();
  m_strFilterKeys.clear();
  m_changedKeyRows.clear();
  m_rowOfRecord.clear();
  // Every record below the roots, parents before children in the records' own order, whether
  // its branch was ever opened or not.
  std::vector<int> way;  // the rows of the walk's way down
  for (int top = 0; top < topLevelItemCount(); ++top) {
    CTreeItem* root = RecordOf(topLevelItem(top));
    if (!root) continue;
    WalkSubtreeWhile(*root, [&](CTreeItem& record, size_t depth) {
      way.resize(depth);
      const int parent = depth == 0 ? -1 : way.back();
      const int rowNumber = static_cast<int>(m_filterRows.size());
      CTreeNodeItem* item = ItemOf(&record);
      if (item) item->m_nFilterRow = rowNumber;
      const bool contacts =
          parent < 0 ? top == 0 : m_filterRows[static_cast<size_t>(parent)].contacts;
      m_filterRows.push_back({item, &record, parent, parent < 0 ? top : -1, kOwnKey, 0, 0, contacts,
                              false, false, false, item && item->m_bFilterMatch,
                              !item || !item->m_bFiltered, item && item->m_bRowHidden,
                              item && item->m_bFilterOpened, false, record.ChildCount() != 0});
      way.push_back(rowNumber);
      return true;
    });
  }
  m_rowOfRecord.reserve(static_cast<qsizetype>(m_filterRows.size()));
  for (size_t r = 0; r < m_filterRows.size(); ++r)
    m_rowOfRecord.emplace(m_filterRows[r].record, static_cast<int>(r));
  for (SFilterRow& row : m_filterRows) {
    // The rows of the items below their parents, which the tree keeps in its own order.
    if (!row.item || !row.item->m_bChildrenMade) continue;
    for (int c = 0; c < row.item->childCount(); ++c) {
      const CTreeNodeItem* child = AsNodeItem(row.item->child(c));
      const auto at = static_cast<size_t>(child ? child->m_nFilterRow : -1);
      if (at < m_filterRows.size() && m_filterRows[at].item == child) m_filterRows[at].row = c;
    }
  }
  for (SFilterRow& row : m_filterRows) {
    const CTreeItem* record = row.record;
    if (row.parent < 0) {
      // The roots stay whatever the text.
      row.linked = kMatchesNothing;
    } else if (record->m_nKind == kindCalendar) {
      // An event node stands for its contact; the calendar's own nodes (categories, calendar
      // names) match nothing.
      row.linked = record->m_pLinked ? m_rowOfRecord.value(record->m_pLinked, kMatchesNothing)
                                     : kMatchesNothing;
    } else {
      AppendFilterKey(row);
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
    if (row.linked != kOwnKey || !row.record) continue;
    AppendFilterKey(row);
    row.keyChanged = true;
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
  // opened (OnItemExpanded). A record without an item keeps the answer in its row.
  const bool filtering = !m_strFilter.empty();
  std::vector<char> anyShown(m_filterRows.size(), 0);
  std::vector<signed char> open(m_filterRows.size(), -1);  // asked of the view once
  for (size_t i = m_filterRows.size(); i-- > 0;) {
    SFilterRow& row = m_filterRows[i];
    const bool shown = !filtering || row.parent < 0 || row.match || anyShown[i];
    if (shown && row.parent >= 0) anyShown[static_cast<size_t>(row.parent)] = 1;
    row.below = anyShown[i] != 0;
    CTreeNodeItem* item = row.item;
    if (row.matchChanged) {
      if (item) item->m_bFilterMatch = row.match;
      row.matchChanged = false;
    }
    if (row.shown != shown) {
      row.shown = shown;
      if (item) item->m_bFiltered = !shown;
    }
    const auto parentRow = static_cast<size_t>(row.parent);
    CTreeNodeItem* parentItem = row.parent < 0 ? nullptr : m_filterRows[parentRow].item;
    if (!item || row.hiddenInView != shown || (row.parent >= 0 && !parentItem)) continue;
    // The contacts branch is told at once: a group that matches by its own label shows no
    // arrow that opens onto nothing.
    const bool told = row.parent < 0 || row.contacts;
    if (!told && open[parentRow] < 0) open[parentRow] = parentItem->isExpanded() ? 1 : 0;
    if (told || open[parentRow] == 1) {
      row.hiddenInView = item->m_bRowHidden = !shown;
      setRowHidden(row.row, parentItem ? indexFromItem(parentItem) : QModelIndex(), !shown);
    }
  }
  OpenFilterRows();
}

void CTreeViewEx::OpenFilterRows() {
  // Parents before children: opening a branch makes its children's items, whose rows come
  // later and are opened in turn.
  const bool filtering = !m_strFilter.empty();
  for (SFilterRow& row : m_filterRows) {
    CTreeNodeItem* item = row.item;
    if (!item) continue;
    if (filtering && row.contacts && row.below && !item->isExpanded()) {
      item->setExpanded(true);
      item->m_bFilterOpened = row.opened = true;
    } else if (!filtering && row.opened) {
      item->setExpanded(false);
      item->m_bFilterOpened = row.opened = false;
    }
    if (row.parentRow && !item->m_bChildrenMade) UpdateIndicator(item);
  }
}

void CTreeViewEx::TellHiddenChildren(QTreeWidgetItem* parent) {
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

void CTreeViewEx::OnItemExpanded(QTreeWidgetItem* parent) {
  MakeChildItems(parent);
  TellHiddenChildren(parent);
}

void CTreeViewEx::ApplyFilter(const std::string& folded) {
  if (folded == m_strFilter) return;
  const bool narrowing = !m_strFilter.empty() && folded.find(m_strFilter) != std::string::npos;
  m_strFilter = folded;
  // Rows made afresh hold no answers for the records without items: every key is read.
  const bool remade = m_bFilterRowsStale;
  if (remade) MakeFilterRows();
  ReadChangedFilterKeys();
  // One layout for the whole change: hiding and opening rows only note what to do while a
  // layout is pending, and nothing is painted before the end.
  const bool updates = updatesEnabled();
  setUpdatesEnabled(false);
  scheduleDelayedItemsLayout();
  MatchFilterRows(narrowing && !remade);
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
