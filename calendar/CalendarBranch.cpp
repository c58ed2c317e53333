// The calendar branch of the document: event nodes for the contacts' dates, the calendar-name
// nodes, and the day listings computed from them.
#include <algorithm>
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "store/ZorvanDoc.h"

namespace zorvan {
namespace {

// The date and flag of a record that each event category stands for.
const CDateTime& EventDate(const CTreeItem& r, int category) {
  switch (category) {
    case catBirthdays:
      return r.m_dtBirthday;
    case catAnniversaries:
      return r.m_dtAnniversary;
    default:
      return r.m_dtNameDay;
  }
}

int EventFlag(const CTreeItem& r, int category) {
  switch (category) {
    case catBirthdays:
      return r.m_bBirthday;
    case catAnniversaries:
      return r.m_bAnniversary;
    default:
      return r.m_bNameDay;
  }
}

// The categories of event nodes, in the order a record's events are added.
constexpr int kEventCategories[] = {catBirthdays, catAnniversaries, catNamedays};

// Calls f(record, c) for every record of the subtree, parents first, and every event category c
// whose date the record has set.
template <typename F>
void ForEachEvent(CTreeItem* subtreeRoot, F&& f) {
  ForEachInSubtree(subtreeRoot, [&f](CTreeItem* r) {
    for (int c : kEventCategories)
      if (EventFlag(*r, c)) f(r, c);
  });
}

// Whether a new event node shows the contact's group flag. The nodes built with the calendar
// branch do (a group's event then has the calendar group's image); a node added later for a
// date just set, or for a copied record, keeps 0 and the image of a calendar entry.
enum class EEventGroupFlag { fromRecord, clear };

// The event node that stands for record's date in category: the record's label and a link to
// the record, appended as the category's last child.
CTreeItem* AppendEventNode(CTreeItem* category, CTreeItem* record, EEventGroupFlag groupFlag) {
  auto* event = new CTreeItem;
  event->m_strLabel = record->m_strLabel;
  if (groupFlag == EEventGroupFlag::fromRecord) event->m_bGroup = record->m_bGroup;
  event->m_pLinked = record;
  CTreeItem::AddChild(category, event);
  return event;
}

void AppendSeparated(std::string& text, std::string_view item) {
  if (!text.empty()) text += ", ";
  text += item;
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
    if (EventFlag(*record, c)) {
      if (!last) AddEventNode(record, c);
    } else if (last) {
      DeleteNode(last);
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

CCalendarTexts CZorvanDoc::FillCalendarTexts() const {
  CCalendarTexts texts;
  int year = 0, month = 0, day = 0;
  if (!m_dtCalendarDay.GetDate(year, month, day)) return texts;

  const size_t names = CalNameCount();
  for (size_t i = 0; i < names; ++i) {
    const CCalName& entry = (*m_pCalNames)[i];
    if (entry.m_nDay == day && entry.m_nMonth == month) {
      texts.m_strNamedaysToday = entry.m_strName;
      break;
    }
  }

  // Which of the eight days (the shown day 0, then the seven following) a day of the year is.
  std::array<std::array<std::int8_t, 32>, 13> slot;
  for (auto& row : slot) row.fill(-1);
  slot[month][day] = 0;
  for (int k = 1; k <= 7; ++k) {
    int y = 0, m = 0, d = 0;
    if (m_dtCalendarDay.AddDays(k).GetDate(y, m, d)) slot[m][d] = static_cast<std::int8_t>(k);
  }

  const int thisYear = CurrentLocalTime().GetYear();
  // Labels falling on the following days, by day and category.
  std::array<std::array<std::vector<const CTreeItem*>, 3>, 8> coming;
  for (int c : kEventCategories) {
    const CTreeItem* cat = Category(c);
    if (!cat) continue;
    const size_t count = cat->ChildCount();
    for (size_t i = 0; i < count; ++i) {
      // The listing runs on every paint of the Calendar page, and its time is spent waiting
      // for memory: fetch the event nodes ahead, and the contacts of the nodes fetched before.
      if (i + 16 < count) __builtin_prefetch(&cat->Child(i + 16)->m_pLinked);
      if (i + 8 < count) {
        const CTreeItem* ahead = cat->Child(i + 8)->m_pLinked;
        if (ahead) __builtin_prefetch(&EventDate(*ahead, c));
      }
      const CTreeItem* contact = cat->Child(i)->m_pLinked;
      if (!contact) continue;
      int y = 0, m = 0, d = 0;
      // A set date that is not a valid date never falls on any day.
      if (!EventDate(*contact, c).GetDate(y, m, d)) continue;
      const int k = slot[m][d];
      if (k < 0) continue;
      if (k > 0) {
        coming[k][c].push_back(contact);
      } else if (c == catBirthdays) {
        AppendSeparated(texts.m_strBirthdays,
                        contact->m_strLabel.str() + " (" + std::to_string(thisYear - y) + " let)");
      } else if (c == catAnniversaries) {
        coming[0][c].push_back(contact);
      } else {
        AppendSeparated(texts.m_strContactNamedays, contact->m_strLabel);
      }
    }
  }
  // Anniversaries follow all of the day's birthdays.
  for (const CTreeItem* contact : coming[0][catAnniversaries])
    AppendSeparated(texts.m_strBirthdays,
                    contact->m_strLabel + " (" + contact->m_strAnniversaryText + ")");
  for (int k = 1; k <= 7; ++k)
    for (int c : {catBirthdays, catNamedays, catAnniversaries})
      for (const CTreeItem* contact : coming[k][c])
        AppendSeparated(texts.m_strNext7Days, contact->m_strLabel);
  return texts;
}

}  // namespace zorvan
