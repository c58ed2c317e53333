#include "ui/ZorvanTreeView.h"

#include "store/ZorvanDoc.h"
#include "ui/QtText.h"

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
  if (!node) {
    // The whole tree goes (New, Open): nothing may be used until the next fill.
    m_bReady = false;
    ReleaseTree();
    return;
  }
  ReleaseSubtree(node);
}

bool CZorvanTreeView::CanCreateNew() const {
  const CTreeItem* record = SelectedRecord();
  return m_bReady && record && record->m_nKind != kindCalendar;
}

bool CZorvanTreeView::CanDeleteContact() const {
  const CTreeItem* record = SelectedRecord();
  return m_bReady && record && record->m_pParent && record->m_nKind != kindCalendar;
}

void CZorvanTreeView::OnCreateNew() {
  if (!CanCreateNew()) return;
  CTreeItem* parent = SelectedRecord();
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
  m_pDoc->UpdateAllViews(nullptr, HINT_SHOW_RECORD, record);
  m_pDoc->RecordAppearanceChanged(record, ERecordChange::LabelInPlace);
  // While the editor is still open, closing it gives the focus back to the tree.
  if (state() != EditingState) setFocus();
  emit RecordChanged();
}

CTreeItem* CZorvanTreeView::OnDropBranch(CTreeItem* source, CTreeItem* target, bool copy) {
  if (!m_pDoc || !m_bReady) return nullptr;
  CTreeItem* result =
      copy ? m_pDoc->CopyBranch(source, target) : m_pDoc->MoveBranch(source, target);
  if (!result) return nullptr;
  SelectRecord(result);
  m_pDoc->SetModifiedFlag();
  emit RecordChanged();
  return result;
}

}  // namespace zorvan
