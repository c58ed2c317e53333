// The calendar branch of the document: event nodes for the contacts' dates and the
// calendar-name nodes, kept in step with the contacts.
#include <algorithm>
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "store/CalendarEvents.h"
#include "store/ZorvanDoc.h"

namespace zorvan {
namespace {

// Calls f(record, c) for every record of the subtree, parents first, and every event category c
// the record has an event of.
template <typename F>
void ForEachEvent(CTreeItem* subtreeRoot, F&& f) {
  ForEachInSubtree(subtreeRoot, [&f](CTreeItem* r) {
    for (int c : kEventCategories)
      if (HasEvent(*r, c)) f(r, c);
  });
}

// Whether a new event node shows the contact's group flag. The nodes built with the calendar
// branch do (a group's event then has the calendar group's image); a node added later for a
// date just set, or for a copied record, keeps 0 and the image of a calendar entry.
enum class EEventGroupFlag { fromRecord, clear };

// The event node that stands for record's date in category: the record's label and a link to
// the record, appended as the category's last child.
CTreeItem* AppendEventNode(CTreeItem* category, CTreeItem* record, EEventGroupFlag groupFlag) {
  auto* event = new CTreeItem(record->m_strLabel);
  if (groupFlag == EEventGroupFlag::fromRecord) event->m_bGroup = record->m_bGroup;
  event->m_pLinked = record;
  CTreeItem::AddChild(category, event);
  return event;
}

}  // namespace

size_t CZorvanDoc::CalNameCount() const {
  if (!m_pCalNames) return 0;
  size_t n = 0;
  while (n < m_pCalNames->size() && (*m_pCalNames)[n].m_nDay != 0) ++n;
  return n;
}

void CZorvanDoc::BuildEventNodes(CTreeItem* record) {
  if (!record) return;
  CTreeItem* categories[3] = {Category(catBirthdays), Category(catAnniversaries),
                              Category(catNamedays)};
  ForEachEvent(record, [&](CTreeItem* r, int c) {
    if (categories[c]) AppendEventNode(categories[c], r, EEventGroupFlag::fromRecord);
  });
}

void CZorvanDoc::BuildCalNameNodes() {
  CTreeItem* category = Category(catCalNames);
  if (!category) return;
  const int year = CurrentLocalTime().GetYear();
  const size_t n = CalNameCount();
  for (size_t i = 0; i < n; ++i) {
    const CCalName& entry = (*m_pCalNames)[i];
    auto* node = new CTreeItem;
    node->m_strLabel = entry.m_strName + ": " + std::to_string(entry.m_nDay) + "." +
                       std::to_string(entry.m_nMonth);
    // A day this year does not have (29 February, 31 April, a month 13) gives an invalid date;
    // the node is listed all the same.
    node->m_dtNameDay = CDateTime(year, entry.m_nMonth, entry.m_nDay);
    CTreeItem::AddChild(category, node);
  }
}

CTreeItem* CZorvanDoc::AddEventNode(CTreeItem* record, int category) {
  CTreeItem* cat = Category(category);
  if (!record || !cat) return nullptr;
  CTreeItem* event = AppendEventNode(cat, record, EEventGroupFlag::clear);
  AddInserted(cat, cat->ChildCount() - 1, 1);
  InsertTreeItem(event);
  if (m_pTreePort) m_pTreePort->SortChildren(cat->m_hItem);
  return event;
}

void CZorvanDoc::AddEventNodesForSubtree(CTreeItem* subtreeRoot) {
  bool touched[3] = {false, false, false};
  ForEachEvent(subtreeRoot, [&](CTreeItem* r, int c) {
    CTreeItem* cat = Category(c);
    if (!cat) return;
    InsertTreeItem(AppendEventNode(cat, r, EEventGroupFlag::clear));
    touched[c] = true;
  });
  // One sort per category, however large the branch.
  for (int c : kEventCategories)
    if (touched[c] && m_pTreePort) m_pTreePort->SortChildren(Category(c)->m_hItem);
}

void CZorvanDoc::AddImportedEventNodes(size_t firstImported) {
  CTreeItem* root = ContactsRoot();
  std::vector<CTreeItem*> tops;
  tops.reserve(root->ChildCount() - std::min(firstImported, root->ChildCount()));
  for (size_t i = firstImported; i < root->ChildCount(); ++i) tops.push_back(root->Child(i));
  AddEventNodesBelow(tops);
}

void CZorvanDoc::AddEventNodesBelow(const std::vector<CTreeItem*>& tops) {
  if (!m_bMakesEventNodes) return;
  std::array<std::vector<CTreeItem*>, 3> added;
  for (CTreeItem* top : tops) {
    // The nodes are those the database would have once saved and opened again.
    ForEachEvent(top, [&](CTreeItem* r, int c) {
      if (CTreeItem* cat = Category(c))
        added[c].push_back(AppendEventNode(cat, r, EEventGroupFlag::fromRecord));
    });
  }
  if (!m_pTreePort) return;
  for (int c : kEventCategories) {
    if (added[c].empty()) continue;
    m_pTreePort->InsertItems(Category(c)->m_hItem, added[c]);
    m_pTreePort->SortChildren(Category(c)->m_hItem);
  }
}

void CZorvanDoc::SyncEventNodes(CTreeItem* record) {
  if (!record || !record->m_pParent) return;
  for (int c : kEventCategories) {
    CTreeItem* cat = Category(c);
    if (!cat) continue;
    CTreeItem* last = nullptr;
    for (size_t i = 0; i < cat->ChildCount(); ++i)
      if (cat->Child(i)->m_pLinked == record) last = cat->Child(i);
    if (HasEvent(*record, c)) {
      if (!last) AddEventNode(record, c);
    } else if (last) {
      DeleteNode(last);
    }
  }
}

void CZorvanDoc::SortPlaceOf(CTreeItem* record) {
  if (!m_pTreePort || !record) return;
  if (record->m_pParent && record->m_pParent->m_hItem)
    m_pTreePort->SortChildren(record->m_pParent->m_hItem);
  for (int c : kEventCategories) {
    CTreeItem* cat = Category(c);
    if (!cat || !cat->m_hItem) continue;
    for (size_t i = 0; i < cat->ChildCount(); ++i) {
      if (cat->Child(i)->m_pLinked != record) continue;
      m_pTreePort->SortChildren(cat->m_hItem);
      break;
    }
  }
}

void CZorvanDoc::RenameEventNodes(CTreeItem* record) {
  if (!record) return;
  for (int c : kEventCategories) {
    CTreeItem* cat = Category(c);
    if (!cat) continue;
    for (size_t i = 0; i < cat->ChildCount(); ++i) {
      CTreeItem* event = cat->Child(i);
      if (event->m_pLinked != record) continue;
      event->m_strLabel = record->m_strLabel;
      if (m_pTreePort && event->m_hItem)
        m_pTreePort->SetItemText(event->m_hItem, event->m_strLabel.str());
    }
  }
}

}  // namespace zorvan
