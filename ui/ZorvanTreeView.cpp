#include "ui/ZorvanTreeView.h"

#include <QDialog>

#include "find/Finder.h"
#include "qt/Prompt.h"
#include "qt/QtText.h"
#include "res/StringTable.h"
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
}

void CZorvanTreeView::OnUpdate(IDocObserver* /*sender*/, int hint, CTreeItem* /*object*/) {
  if (hint == HINT_NONE) OnInitialUpdate();
}

void CZorvanTreeView::OnAboutToDestroy(CTreeItem* node) {
  m_pRenamed = nullptr;
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
  return m_bReady && parent && parent->m_nKind != kindCalendar;
}

bool CZorvanTreeView::CanDeleteContact() const {
  const CTreeItem* record = SelectedRecord();
  return m_bReady && record && record->m_pParent && record->m_nKind != kindCalendar;
}

void CZorvanTreeView::OnCreateNew() {
  if (!CanCreateNew()) return;
  CTreeItem* parent = NewRecordParent();
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
  dialog.OnInitDialog();
  if (Prompt().RunModal(dialog) != QDialog::Accepted) return;
  m_strFind1 = ToStdString(dialog.m_strFind1);
  m_strFind2 = ToStdString(dialog.m_strFind2);
  m_strFind3 = ToStdString(dialog.m_strFind3);
  m_nWhere1 = dialog.m_nWhere1;
  m_nWhere2 = dialog.m_nWhere2;
  m_nWhere3 = dialog.m_nWhere3;
  m_nDirection = dialog.m_nDirection;

  // With nothing selected the search starts at the contacts root.
  CTreeItem* current = SelectedRecord();
  if (!current && m_pDoc) current = m_pDoc->ContactsRoot();
  if (!m_pDoc || !m_bReady || !current) return;
  const CFinder finder = LastFinder();
  CTreeItem* found = finder.Find(m_pDoc->m_items, current,
                                 m_nDirection == 0 ? findFromBeginning : findFromCurrent);
  ShowFound(found ? found : current);
  if (!found) Prompt().MessageBox(ToQString(LoadString(IDS_FIND_NO_MATCH)), EMsgIcon::Error);
}

CFinder CZorvanTreeView::LastFinder() const {
  CFinder finder;
  finder.SetCriterion(0, m_nWhere1, m_strFind1);
  finder.SetCriterion(1, m_nWhere2, m_strFind2);
  finder.SetCriterion(2, m_nWhere3, m_strFind3);
  return finder;
}

void CZorvanTreeView::OnFindAgain(bool previous) {
  if (!m_pDoc || !m_bReady) return;
  const CFinder finder = LastFinder();
  if (!finder.HasActiveCriterion()) return OnFind();
  CTreeItem* current = SelectedRecord();
  if (!current) current = m_pDoc->ContactsRoot();
  CTreeItem* found = nullptr;
  if (!previous) {
    found = finder.Find(m_pDoc->m_items, current, findFromCurrent);
  } else {
    // The matches after current are the end of all the matches in the same order; those before
    // them, but current and its subtree, which the forward search skips, come before current.
    const std::vector<CTreeItem*> all = finder.FindAll(m_pDoc->m_items, nullptr, findFromBeginning);
    const std::vector<CTreeItem*> after = finder.FindAll(m_pDoc->m_items, current, findFromCurrent);
    for (size_t i = all.size() - after.size(); i-- > 0 && !found;) {
      bool inside = false;
      for (const CTreeItem* p = all[i]; p && !inside; p = p->m_pParent) inside = p == current;
      if (!inside) found = all[i];
    }
  }
  ShowFound(found ? found : current);
  if (!found) Prompt().MessageBox(ToQString(LoadString(IDS_FIND_NO_MATCH)), EMsgIcon::Error);
}

void CZorvanTreeView::ShowImportedGroup(CTreeItem* group) {
  CTreeNodeItem* item = ItemOf(group);
  if (!item) return;
  expandItem(item);
  ShowFound(group);
}

void CZorvanTreeView::ShowFound(CTreeItem* record) {
  CTreeNodeItem* item = ItemOf(record);
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
  if (!record || !m_bReady) return;
  if (!ItemOf(record)) return;
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
  setFocus();
}

void CZorvanTreeView::OnEndLabelEdit(CTreeItem* record, const QString& text) {
  if (!m_pDoc || !m_bReady) return;
  const std::string label = ToStdString(text);
  // An edit that leaves the label as it was (F2, then Escape) changes nothing.
  if (record->m_strLabel == label) {
    if (state() != EditingState) setFocus();
    return;
  }
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
  if (!m_pDoc || !m_bReady) return nullptr;
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
