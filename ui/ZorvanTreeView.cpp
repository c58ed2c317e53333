#include "ui/ZorvanTreeView.h"

#include <QDialog>
#include <algorithm>
#include <span>

#include "find/Finder.h"
#include "qt/Prompt.h"
#include "qt/QtText.h"
#include "res/StringTable.h"
#include "res/TextFold.h"
#include "store/RecordIdentity.h"
#include "store/ZorvanDoc.h"
#include "ui/FindDlg.h"

namespace zorvan {

CZorvanTreeView::CZorvanTreeView(QWidget* parent) : CTreeViewEx(parent) {}

CZorvanTreeView::~CZorvanTreeView() {
  if (m_pDoc) {
    m_pDoc->RemoveObserver(this);
    if (m_pDoc->GetTreeViewPort() == this) m_pDoc->SetTreeViewPort(nullptr);
  }
}

void CZorvanTreeView::Attach(CZorvanDoc& doc) {
  if (m_pDoc == &doc) return;
  if (m_pDoc) m_pDoc->RemoveObserver(this);
  m_pDoc = &doc;
  doc.AddObserver(this);
  doc.SetTreeViewPort(this);
}

void CZorvanTreeView::OnInitialUpdate() {
  m_bReady = false;
  if (!m_pDoc) return;
  m_pDoc->SetTreeViewPort(this);
  FillTree(m_pDoc->m_items);
  m_bReady = true;
  if (!m_strFilterTyped.isEmpty()) SetFilterText(m_strFilterTyped);
}

void CZorvanTreeView::SetFilterText(const QString& text) {
  m_strFilterTyped = text;
  if (!m_bReady) return;
  ApplyFilter(FoldedText(ToStdString(text)));
  CTreeNodeItem* selected = AsNodeItem(currentItem());
  const bool chosen = selected && selected->m_pRecord && selected->m_pRecord == m_pFilterChosen;
  if (selected && !FilterText().empty() &&
      (selected->m_bFiltered || (chosen && !selected->m_bFilterMatch))) {
    if (CTreeNodeItem* first = FirstFilterMatch()) {
      m_bFilterSelecting = true;
      setCurrentItem(first);
      m_bFilterSelecting = false;
      m_pFilterChosen = first->m_pRecord;
      selected = first;
    }
  }
  if (selected && !selected->m_bFiltered) scrollToItem(selected);
}

void CZorvanTreeView::OnUpdate(IDocObserver* /*sender*/, int hint, CTreeItem* /*object*/) {
  if (hint == HINT_NONE) OnInitialUpdate();
}

void CZorvanTreeView::OnAboutToDestroy(CTreeItem* node) {
  m_pRenamed = nullptr;
  m_pFilterChosen = nullptr;
  if (!node) {
    // The whole tree goes (New, Open): nothing may be used until the next fill.
    m_bReady = false;
    ReleaseTree();
    return;
  }
  ReleaseSubtree(node);
}

CTreeItem* CZorvanTreeView::NewRecordParent() const {
  CTreeItem* record = SelectedRecord();
  return record ? record : m_pDoc->ContactsRoot();
}

bool CZorvanTreeView::CanCreateNew() const {
  const CTreeItem* parent = NewRecordParent();
  return m_bReady && parent && parent->m_nKind != kindCalendar && !IsLocked(parent);
}

bool CZorvanTreeView::CanDeleteContact() const {
  const CTreeItem* record = SelectedRecord();
  return m_bReady && record && record->m_pParent && record->m_nKind != kindCalendar &&
         !HoldsLocked(record);
}

bool CZorvanTreeView::IsLocked(const CTreeItem* node) const {
  for (; node; node = node->m_pParent)
    if (std::find(m_lockedGroups.begin(), m_lockedGroups.end(), node) != m_lockedGroups.end())
      return true;
  return false;
}

bool CZorvanTreeView::HoldsLocked(const CTreeItem* node) const {
  if (!node) return false;
  if (IsLocked(node)) return true;
  return std::any_of(m_lockedGroups.begin(), m_lockedGroups.end(), [node](const CTreeItem* group) {
    for (const CTreeItem* up = group; up; up = up->m_pParent)
      if (up == node) return true;
    return false;
  });
}

void CZorvanTreeView::OnCreateNew() {
  if (!CanCreateNew()) return;
  CTreeItem* parent = NewRecordParent();
  const CZorvanDoc::CChange change = m_pDoc->BeginChange({});
  CTreeItem* record = m_pDoc->CreateRecord(parent);
  if (!record) return;
  if (CTreeNodeItem* parentItem = ItemOf(parent)) expandItem(parentItem);
  SelectRecord(record);
  SortChildren(parent->m_hItem);
  // The sort moved the new item away from the end, where the selection scrolled to.
  if (CTreeNodeItem* item = ItemOf(record)) scrollToItem(item);
  m_pDoc->SetModifiedFlag();
  emit RecordChanged();
}

void CZorvanTreeView::OnDeleteContact() {
  CTreeItem* record = SelectedRecord();
  if (!m_bReady || !record) return;
  const CZorvanDoc::CChange change = m_pDoc->BeginChange({});
  m_pDoc->DeleteNode(record);
  // Marked modified whatever the answer was: the command was given.
  m_pDoc->SetModifiedFlag();
  emit RecordChanged();
}

void CZorvanTreeView::OnFind() {
  CFindDlg dialog(this);
  dialog.m_strFind1 = ToQString(m_strFind1);
  dialog.m_strFind2 = ToQString(m_strFind2);
  dialog.m_strFind3 = ToQString(m_strFind3);
  dialog.m_nWhere1 = m_nWhere1;
  dialog.m_nWhere2 = m_nWhere2;
  dialog.m_nWhere3 = m_nWhere3;
  dialog.m_nDirection = m_nDirection;
  dialog.m_bIgnoreAccents = m_bIgnoreAccents;
  dialog.OnInitDialog();
  if (Prompt().RunModal(dialog) != QDialog::Accepted) return;
  m_strFind1 = ToStdString(dialog.m_strFind1);
  m_strFind2 = ToStdString(dialog.m_strFind2);
  m_strFind3 = ToStdString(dialog.m_strFind3);
  m_nWhere1 = dialog.m_nWhere1;
  m_nWhere2 = dialog.m_nWhere2;
  m_nWhere3 = dialog.m_nWhere3;
  m_nDirection = dialog.m_nDirection;
  m_bIgnoreAccents = dialog.m_bIgnoreAccents;

  // With nothing selected the search starts at the contacts root.
  CTreeItem* current = SelectedRecord();
  if (!current && m_pDoc) current = m_pDoc->ContactsRoot();
  if (!m_pDoc || !m_bReady || !current) return;
  const CFinder finder = LastFinder();
  const SShownOrder order = ShownOrder(current, finder);
  const std::span<CTreeItem* const> nodes(order.nodes);
  CTreeItem* found = m_nDirection == 0 ? finder.FirstMatch(nodes)
                                       : finder.FirstMatch(nodes.subspan(order.afterCurrent));
  ShowSearchResult(found, current);
}

CFinder CZorvanTreeView::LastFinder() const {
  CFinder finder;
  finder.SetIgnoreAccents(m_bIgnoreAccents);
  finder.SetCriterion(0, m_nWhere1, m_strFind1);
  finder.SetCriterion(1, m_nWhere2, m_strFind2);
  finder.SetCriterion(2, m_nWhere3, m_strFind3);
  return finder;
}

bool CZorvanTreeView::MatchesBelow(const CTreeItem& record, const CFinder& finder) const {
  // Gathered first, in any order, for the finder's batched test.
  std::vector<CTreeItem*> shown;
  std::vector<const CTreeItem*> pending{&record};
  while (!pending.empty()) {
    const CTreeItem* node = pending.back();
    pending.pop_back();
    for (size_t i = 0; i < node->ChildCount(); ++i) {
      CTreeItem* child = node->Child(i);
      if (!IsShownRecord(child)) continue;
      shown.push_back(child);
      if (child->ChildCount() != 0) pending.push_back(child);
    }
  }
  return finder.FirstMatch(shown) != nullptr;
}

CZorvanTreeView::SShownOrder CZorvanTreeView::ShownOrder(const CTreeItem* current,
                                                         const CFinder& finder) const {
  SShownOrder order;
  // Pre-order over the records with an explicit stack, as the tree may nest deeper than calls
  // could; a branch never opened is searched in the order its items will take.
  struct SFrame {
    const CTreeItem* record;
    std::vector<CTreeItem*> children;
    size_t next;
  };
  std::vector<SFrame> stack;
  // Only the two roots are searched: the "Contacts" root, then the "Calendar" root.
  for (int top = 0; top < topLevelItemCount() && top < 2; ++top) {
    CTreeItem* root = RecordOf(topLevelItem(top));
    if (!root || IsFilteredOut(topLevelItem(top))) continue;
    order.nodes.push_back(root);
    // From a root the search goes on below it.
    if (root == current) order.afterCurrent = order.nodes.size();
    stack.push_back({root, ShownChildren(*root), 0});
    while (!stack.empty()) {
      SFrame& frame = stack.back();
      if (frame.next >= frame.children.size()) {
        if (frame.record == current && frame.record != root)
          order.afterCurrent = order.nodes.size();
        stack.pop_back();
        continue;
      }
      CTreeItem* child = frame.children[frame.next++];
      order.nodes.push_back(child);
      // A branch never opened is left out when nothing in it is found: its order would tell
      // nothing, and making it would cost the sort of every closed group.
      const CTreeNodeItem* item = ItemOf(child);
      if (child->ChildCount() != 0 &&
          ((item && item->m_bChildrenMade) || MatchesBelow(*child, finder)))
        stack.push_back({child, ShownChildren(*child), 0});
      else if (child == current)
        order.afterCurrent = order.nodes.size();
    }
  }
  if (order.afterCurrent > order.nodes.size()) order.afterCurrent = order.nodes.size();
  return order;
}

void CZorvanTreeView::OnFindAgain(bool previous) {
  if (!m_pDoc || !m_bReady) return;
  const CFinder finder = LastFinder();
  if (!finder.HasActiveCriterion()) return OnFind();
  CTreeItem* current = SelectedRecord();
  if (!current) current = m_pDoc->ContactsRoot();
  const SShownOrder order = ShownOrder(current, finder);
  const std::span<CTreeItem* const> nodes(order.nodes);
  CTreeItem* found = nullptr;
  if (!previous) {
    found = finder.FirstMatch(nodes.subspan(order.afterCurrent));
  } else {
    // Everything before current in the shown order; its own subtree comes after it.
    const auto at = std::find(order.nodes.begin(), order.nodes.end(), current);
    found = finder.LastMatch(nodes.first(static_cast<size_t>(at - order.nodes.begin())));
  }
  ShowSearchResult(found, current);
}

void CZorvanTreeView::ShowSearchResult(CTreeItem* found, CTreeItem* current) {
  if (found) return ShowFound(found);
  // A calendar node stays as the user left it: showing it again would take the Calendar page
  // back to the node's own day from the day the user stepped to.
  if (current->m_nKind == kindCalendar && currentItem() == ItemOf(current))
    setFocus();
  else
    ShowFound(current);
  Prompt().MessageBox(ToQString(LoadString(IDS_FIND_NO_MATCH)), EMsgIcon::Error);
}

void CZorvanTreeView::ShowImportedGroup(CTreeItem* group) {
  CTreeNodeItem* item = MakeItemOf(group);
  if (!item) return;
  expandItem(item);
  ShowFound(group);
}

void CZorvanTreeView::ShowFound(CTreeItem* record) {
  CTreeNodeItem* item = MakeItemOf(record);
  if (!item) return;
  // Selecting another item shows its record through the selection change; the item selected
  // already is shown again, so that the form leaves whatever page it was on.
  if (currentItem() == item)
    OnSelChanged(record);
  else
    setCurrentItem(item);
  scrollToItem(item);
  setFocus();
}

void CZorvanTreeView::RefreshItem(int change, CTreeItem* record) {
  // The record may have no item yet (a contact shown for its event node, in a group never
  // opened): the document renames its event nodes all the same.
  if (!record || !m_bReady) return;
  const CZorvanDoc::CChange step = m_pDoc->BeginChange({});
  if (change == changeGroup)
    m_pDoc->RecordAppearanceChanged(record, ERecordChange::Group);
  else if (change == changeLabel)
    m_pDoc->RecordAppearanceChanged(record, ERecordChange::Label);
  else
    return;
  emit RecordChanged();
}

void CZorvanTreeView::OnSelChanged(CTreeItem* record) {
  if (!m_pDoc || !m_bReady) return;
  if (record->m_nKind == kindCalendar) {
    if (record->m_pLinked)
      m_pDoc->UpdateAllViews(nullptr, HINT_EVENT_CONTACT, record->m_pLinked);
    else
      m_pDoc->UpdateAllViews(nullptr, HINT_CALENDAR_DAY, record);
  } else {
    m_pDoc->UpdateAllViews(nullptr, HINT_SHOW_RECORD, record);
  }
  if (m_bFilterSelecting) return;
  m_pFilterChosen = nullptr;
  setFocus();
}

void CZorvanTreeView::OnEndLabelEdit(CTreeItem* record, const QString& text) {
  if (!m_pDoc || !m_bReady || IsLocked(record)) return;
  const std::string label = ToStdString(text);
  // An edit that leaves the label as it was (F2, then Escape) changes nothing.
  if (record->m_strLabel == label) {
    if (state() != EditingState) setFocus();
    return;
  }
  const CZorvanDoc::CChange change =
      m_pDoc->BeginChange({EStepKind::relabel, record->m_strLabel.str()});
  m_pDoc->RecordWillChange(record);
  record->m_strLabel = label;
  TouchRecord(*record);
  m_pDoc->UpdateAllViews(nullptr, HINT_SHOW_RECORD, record);
  m_pDoc->RecordAppearanceChanged(record, ERecordChange::LabelInPlace);
  m_pRenamed = record;
  // While the editor is still open, closing it gives the focus back to the tree.
  if (state() != EditingState) setFocus();
  emit RecordChanged();
}

// The renamed item takes its place among its siblings (and its event nodes among theirs) once its
// editor is gone, and stays in view.
void CZorvanTreeView::OnLabelEditorClosed() {
  CTreeItem* record = std::exchange(m_pRenamed, nullptr);
  if (!record || !m_pDoc) return;
  m_pDoc->SortPlaceOf(record);
  if (CTreeNodeItem* item = ItemOf(record)) scrollToItem(item);
}

CTreeItem* CZorvanTreeView::OnDropBranch(CTreeItem* source, CTreeItem* target, bool copy) {
  if (!m_pDoc || !m_bReady || IsLocked(target) || (!copy && HoldsLocked(source))) return nullptr;
  const CZorvanDoc::CChange change = m_pDoc->BeginChange({});
  CTreeItem* result =
      copy ? m_pDoc->CopyBranch(source, target) : m_pDoc->MoveBranch(source, target);
  if (!result) return nullptr;
  SelectRecord(result);
  if (CTreeNodeItem* item = ItemOf(result)) scrollToItem(item);
  m_pDoc->SetModifiedFlag();
  emit RecordChanged();
  return result;
}

}  // namespace zorvan
