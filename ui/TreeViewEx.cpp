#include "ui/TreeViewEx.h"

#include <QHeaderView>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QStyledItemDelegate>
#include <QToolTip>
#include <algorithm>
#include <utility>
#include <vector>

#include "find/Finder.h"
#include "qt/QtText.h"
#include "store/TreeItemArray.h"
#include "ui/Icons.h"

namespace zorvan {

QCollator LabelCollator() {
  QLocale locale;
  // The C locale orders by the characters' numbers, which puts every accented capital after
  // "z"; the common order of Unicode (that of English) keeps letters with their accented forms.
  if (locale.language() == QLocale::C) locale = QLocale(QLocale::English, QLocale::UnitedStates);
  QCollator collator(locale);
  collator.setCaseSensitivity(Qt::CaseInsensitive);
  return collator;
}

// Paints the drop target of a drag as if it were selected, shows a label that runs past the
// pane's edge whole in a tool tip.
class CTreeViewEx::CDelegate : public QStyledItemDelegate {
 public:
  explicit CDelegate(CTreeViewEx* view) : QStyledItemDelegate(view), m_pView(view) {}

  bool helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                 const QModelIndex& index) override {
    if (event->type() != QEvent::ToolTip || !index.isValid())
      return QStyledItemDelegate::helpEvent(event, view, option, index);
    const int right = option.rect.left() + sizeHint(option, index).width();
    if (option.rect.left() < 0 || right > view->viewport()->width()) {
      QToolTip::showText(event->globalPos(), index.data(Qt::DisplayRole).toString(),
                         view->viewport(), option.rect);
    } else {
      QToolTip::hideText();
    }
    return true;
  }

 protected:
  void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
    QStyledItemDelegate::initStyleOption(option, index);
    if (m_pView->m_drag.IsDropHilite(m_pView->itemFromIndex(index)))
      option->state |= QStyle::State_Selected;
  }

 private:
  CTreeViewEx* m_pView;
};

CTreeNodeItem::CTreeNodeItem(CTreeViewEx* owner, CTreeItem* record, const QString& text,
                             const QIcon& icon)
    : QTreeWidgetItem(UserType), m_pRecord(record), m_pOwner(owner) {
  setText(0, text);
  setIcon(0, icon);
  setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemIsEditable);
  m_pOwner->m_liveItems.insert(HandleOf(this));
}

CTreeNodeItem::~CTreeNodeItem() { m_pOwner->ForgetItem(this); }

void CTreeNodeItem::setData(int column, int role, const QVariant& value) {
  QTreeWidgetItem::setData(column, role, value);
  if (column == 0 && (role == Qt::DisplayRole || role == Qt::EditRole)) {
    m_strSortLabel = text(0);
    ForgetFilterKey();  // the label is part of the key
  }
}

const std::string& CTreeNodeItem::FilterKey() {
  if (!m_bKeyMade) {
    m_strFilterKey = m_pRecord ? zorvan::FilterKey(*m_pRecord) : std::string();
    m_bKeyMade = true;
  }
  return m_strFilterKey;
}

bool CTreeNodeItem::operator<(const QTreeWidgetItem& other) const {
  if (other.type() == UserType)
    return m_pOwner->m_collator.compare(
               m_strSortLabel, static_cast<const CTreeNodeItem&>(other).m_strSortLabel) < 0;
  return m_pOwner->m_collator.compare(text(0), other.text(0)) < 0;
}

CTreeNodeItem* AsNodeItem(QTreeWidgetItem* item) {
  return item && item->type() == QTreeWidgetItem::UserType ? static_cast<CTreeNodeItem*>(item)
                                                           : nullptr;
}

CTreeViewEx::CTreeViewEx(QWidget* parent)
    : QTreeWidget(parent), m_drag(*this, [this](CTreeItem* source, CTreeItem* target, bool copy) {
        OnDropBranch(source, target, copy);
      }) {
  setColumnCount(1);
  setHeaderHidden(true);
  // The column is as wide as the longest label shown, so a long label brings a horizontal
  // scroll bar instead of being cut.
  header()->setStretchLastSection(false);
  header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
  // Measured over the rows in sight rather than a thousand around them: each layout measures
  // again, and a tree of 100,000 contacts lays out on every keystroke of the filter box.
  header()->setResizeContentsPrecision(0);
  setSelectionMode(SingleSelection);
  setSortingEnabled(false);
  setUniformRowHeights(true);
  setRootIsDecorated(true);
  setIconSize(QSize(16, 16));
  setEditTriggers(SelectedClicked | EditKeyPressed);
  setDragDropMode(NoDragDrop);
  setItemDelegate(new CDelegate(this));
  m_imageList = {MakeIcon(EIcon::Group), MakeIcon(EIcon::Contact), MakeIcon(EIcon::CalendarGroup),
                 MakeIcon(EIcon::CalendarEntry)};
  connect(this, &QTreeWidget::itemSelectionChanged, this, &CTreeViewEx::OnCurrentSelectionChanged);
  // Whatever changes the tree's shape (an insert, a deletion, a move, a sort, a new fill) makes
  // the filter read the tree afresh.
  QAbstractItemModel* items = model();
  const auto stale = [this] {
    if (!m_bMakingItems) m_bFilterRowsStale = true;
  };
  connect(items, &QAbstractItemModel::rowsInserted, this, stale);
  connect(items, &QAbstractItemModel::rowsRemoved, this, stale);
  connect(items, &QAbstractItemModel::rowsMoved, this, stale);
  connect(items, &QAbstractItemModel::layoutChanged, this, stale);
  connect(items, &QAbstractItemModel::modelReset, this, stale);
  connect(this, &QTreeWidget::itemExpanded, this, &CTreeViewEx::OnItemExpanded);
}

CTreeViewEx::~CTreeViewEx() {
  // The model and the tree widget's own part outlive this part of the view and still tell of
  // the rows they remove while they go: nothing of this part may hear of it.
  disconnect(model(), nullptr, this, nullptr);
  disconnect(this, &QTreeWidget::itemExpanded, this, &CTreeViewEx::OnItemExpanded);
  // An editor still open closes with the view: the derived view that would store its text is
  // gone already.
  m_hEditItem = nullptr;
  m_drag.Cancel();
  blockSignals(true);
  clear();  // while the set of live items still exists
}

CTreeItem* CTreeViewEx::RecordOf(QTreeWidgetItem* item) {
  const CTreeNodeItem* node = AsNodeItem(item);
  return node ? node->m_pRecord : nullptr;
}

CTreeNodeItem* CTreeViewEx::ItemOf(TreeHandle handle) const {
  if (!handle || !m_liveItems.contains(handle)) return nullptr;
  return AsNodeItem(handle);
}

CTreeNodeItem* CTreeViewEx::NewItem(CTreeItem* record, const QString& text, int image) {
  auto* item = new CTreeNodeItem(this, record, text, NodeIcon(image));
  record->m_hItem = HandleOf(item);
  if (record->ChildCount() != 0) UpdateIndicator(item);
  return item;
}

CTreeNodeItem* CTreeViewEx::ItemOf(const CTreeItem* record) const {
  CTreeNodeItem* item = record ? ItemOf(record->m_hItem) : nullptr;
  return item && item->m_pRecord == record ? item : nullptr;
}

CTreeItem* CTreeViewEx::SelectedRecord() const {
  const QList<QTreeWidgetItem*> selected = selectedItems();
  return selected.isEmpty() ? nullptr : RecordOf(selected.constFirst());
}

void CTreeViewEx::SelectRecord(const CTreeItem* record) {
  if (CTreeNodeItem* item = MakeItemOf(record)) setCurrentItem(item);
}

const QIcon& CTreeViewEx::NodeIcon(int image) const {
  return m_imageList[static_cast<size_t>(std::clamp(image, 0, 3))];
}

// --- Filling ---

void CTreeViewEx::FillTree(const CTreeItemArray& items) {
  ReleaseTree();
  m_collator = LabelCollator();
  setUpdatesEnabled(false);
  // The calendar names (the fourth category) are the only calendar nodes in the labels' order.
  if (items.GetSize() > 1 && items.GetAt(1)->ChildCount() > 3)
    m_pCalNames = items.GetAt(1)->Child(3);
  // Only the roots: the items below them are made as their branches are opened, so that a
  // database of 100,000 contacts opens with a few items rather than 195,000.
  QList<QTreeWidgetItem*> roots;
  for (int i = 0; i < items.GetSize(); ++i) {
    CTreeItem* root = items.GetAt(i);
    roots.append(NewItem(root, ToQString(root->m_strLabel.view()), NodeImage(*root)));
  }
  addTopLevelItems(roots);
  m_bFilled = true;
  // The calendar's categories keep the order the document gives their nodes until it asks for
  // a sort: their items are there from the start to keep that request.
  if (roots.size() > 1) MakeChildItems(roots[1]);
  setUpdatesEnabled(true);
  viewport()->update();
}

bool CTreeViewEx::SortsChildren(const CTreeItem& record, const CTreeNodeItem* item) const {
  return record.m_nKind != kindCalendar || &record == m_pCalNames ||
         (item && item->m_bSortChildren);
}

std::vector<std::pair<QString, CTreeItem*>> CTreeViewEx::LabelledChildren(const CTreeItem& record,
                                                                          bool sorted) const {
  std::vector<std::pair<QString, CTreeItem*>> level;
  const size_t count = record.ChildCount();
  level.reserve(count);
  for (size_t i = 0; i < count; ++i) {
    CTreeItem* child = record.Child(i);
    level.emplace_back(ToQString(child->m_strLabel.view()), child);
  }
  // Comparing two labels directly is cheaper than making every label's sort key first: the
  // collator settles most pairs on their first characters.
  if (sorted && count > 1) {
    std::stable_sort(level.begin(), level.end(), [this](const auto& a, const auto& b) {
      return m_collator.compare(a.first, b.first) < 0;
    });
  }
  return level;
}

void CTreeViewEx::MakeChildItems(QTreeWidgetItem* treeItem) {
  CTreeNodeItem* item = AsNodeItem(treeItem);
  if (!item || item->m_bChildrenMade || !item->m_pRecord) return;
  item->m_bChildrenMade = true;
  CTreeItem* record = item->m_pRecord;
  std::vector<std::pair<QString, CTreeItem*>> level =
      LabelledChildren(*record, SortsChildren(*record, item));
  item->setChildIndicatorPolicy(QTreeWidgetItem::DontShowIndicatorWhenChildless);
  if (level.empty()) return;
  m_liveItems.reserve(m_liveItems.size() + static_cast<qsizetype>(level.size()));
  QList<QTreeWidgetItem*> children;
  children.reserve(static_cast<qsizetype>(level.size()));
  for (auto& [label, child] : level) {
    CTreeNodeItem* made = NewItem(child, label, NodeImage(*child));
    LinkToFilterRow(made, static_cast<int>(children.size()));
    children.append(made);
  }
  const bool making = std::exchange(m_bMakingItems, true);
  item->addChildren(children);
  m_bMakingItems = making;
  // The contacts branch hides what the filter hides at once, as the filter itself does.
  if (record->m_nKind != kindCalendar || item->isExpanded()) TellHiddenChildren(item);
}

CTreeNodeItem* CTreeViewEx::MakeItemOf(const CTreeItem* record) {
  CTreeNodeItem* item = ItemOf(record);
  if (item || !record) return item;
  // The way up to the nearest record with an item, then down again making each level.
  std::vector<const CTreeItem*> way;
  for (const CTreeItem* up = record; up && !item; up = up->m_pParent) {
    way.push_back(up);
    item = ItemOf(up->m_pParent);
  }
  for (size_t i = way.size(); item && i-- > 0;) {
    MakeChildItems(item);
    item = ItemOf(way[i]);
  }
  return item;
}

std::vector<CTreeItem*> CTreeViewEx::ShownChildren(const CTreeItem& record) const {
  std::vector<CTreeItem*> shown;
  const CTreeNodeItem* item = ItemOf(&record);
  if (item && item->m_bChildrenMade) {
    shown.reserve(static_cast<size_t>(item->childCount()));
    for (int c = 0; c < item->childCount(); ++c) {
      QTreeWidgetItem* child = item->child(c);
      if (IsFilteredOut(child)) continue;
      if (CTreeItem* childRecord = RecordOf(child)) shown.push_back(childRecord);
    }
    return shown;
  }
  shown.reserve(record.ChildCount());
  if (!SortsChildren(record, item)) {
    for (size_t i = 0; i < record.ChildCount(); ++i)
      if (IsShownRecord(record.Child(i))) shown.push_back(record.Child(i));
    return shown;
  }
  for (const auto& [label, child] : LabelledChildren(record, true))
    if (IsShownRecord(child)) shown.push_back(child);
  return shown;
}

int CTreeViewEx::ItemCount() const {
  if (!m_bFilterRowsStale) return static_cast<int>(m_filterRows.size());
  size_t count = 0;
  for (int top = 0; top < topLevelItemCount(); ++top) {
    if (const CTreeItem* root = RecordOf(topLevelItem(top)))
      WalkSubtreeWhile(*root, [&count](const CTreeItem&) { return ++count != 0; });
  }
  return static_cast<int>(count);
}

void CTreeViewEx::UpdateIndicator(CTreeNodeItem* item) {
  auto policy = QTreeWidgetItem::DontShowIndicatorWhenChildless;
  const CTreeItem* record = item->m_pRecord;
  if (!item->m_bChildrenMade && record && record->ChildCount() != 0) {
    const SFilterRow* row =
        m_strFilter.empty() || record->m_nKind == kindCalendar ? nullptr : RowOf(record);
    if (!row || row->below) policy = QTreeWidgetItem::ShowIndicator;
  }
  if (item->childIndicatorPolicy() != policy) item->setChildIndicatorPolicy(policy);
}

void CTreeViewEx::CheckIndicators() {
  for (TreeHandle handle : std::exchange(m_indicatorChecks, {}))
    if (CTreeNodeItem* item = ItemOf(handle)) UpdateIndicator(item);
}

void CTreeViewEx::ReleaseTree() {
  m_bFilled = false;
  m_strFilter.clear();
  m_drag.Cancel();
  m_hEditItem = nullptr;  // an open editor closes without storing its text
  for (const void* handle : std::as_const(m_liveItems)) {
    CTreeNodeItem* item = AsNodeItem(const_cast<void*>(handle));
    if (item->m_pRecord) item->m_pRecord->m_hItem = nullptr;
    item->m_pRecord = nullptr;
  }
  const bool blocked = blockSignals(true);
  clear();
  blockSignals(blocked);
  m_filterRows.clear();
  m_rowOfRecord.clear();
  m_bFilterRowsStale = true;
  m_pCalNames = nullptr;
  m_indicatorChecks.clear();
}

void CTreeViewEx::ReleaseSubtree(CTreeItem* node) {
  m_bFilterRowsStale = true;  // the items of the subtree match nothing any more
  // A parent never opened may lose its last child: its arrow is looked at once the document has
  // taken the node away.
  CTreeNodeItem* parent = ItemOf(node->m_pParent);
  if (parent && !parent->m_bChildrenMade) {
    if (m_indicatorChecks.empty())
      QMetaObject::invokeMethod(this, &CTreeViewEx::CheckIndicators, Qt::QueuedConnection);
    m_indicatorChecks.push_back(HandleOf(parent));
  }
  ForEachInSubtree(node, [this](CTreeItem* record) {
    if (SFilterRow* row = RowOf(record)) {
      m_rowOfRecord.remove(record);
      row->item = nullptr;
      row->record = nullptr;
      row->linked = kMatchesNothing;
    }
    CTreeNodeItem* item = ItemOf(record);
    if (!item) return;
    m_drag.ForgetRecordOf(item);
    if (item == m_hEditItem) m_hEditItem = nullptr;
    item->m_pRecord = nullptr;
  });
}

void CTreeViewEx::ForgetItem(CTreeNodeItem* item) {
  m_liveItems.remove(HandleOf(item));
  m_drag.Forget(item);
  if (item == m_hEditItem) m_hEditItem = nullptr;
}

// --- The document's port ---

TreeHandle CTreeViewEx::InsertItem(TreeHandle parent, CTreeItem* node, const std::string& text,
                                   int image) {
  // Before the fill (while a database is being built) the fill itself makes the items.
  if (!m_bFilled || !node) return nullptr;
  CTreeNodeItem* parentItem = ItemOf(parent);
  // A record whose parent has no item yet gets its own with the parent's other children.
  if (!parentItem && (parent || node->m_pParent)) {
    m_bFilterRowsStale = true;
    return nullptr;
  }
  if (parentItem && !parentItem->m_bChildrenMade) {
    // The item comes when the branch is opened; the branch shows its arrow meanwhile.
    m_bFilterRowsStale = true;
    UpdateIndicator(parentItem);
    return nullptr;
  }
  CTreeNodeItem* item = NewItem(node, ToQString(text), image);
  if (parentItem)
    parentItem->addChild(item);
  else
    addTopLevelItem(item);
  return node->m_hItem;
}

void CTreeViewEx::InsertItems(TreeHandle parent, const std::vector<CTreeItem*>& nodes) {
  if (!m_bFilled || nodes.empty()) return;
  CTreeNodeItem* parentItem = ItemOf(parent);
  if (!parentItem && (parent || nodes.front()->m_pParent)) {
    m_bFilterRowsStale = true;
    return;
  }
  if (parentItem && !parentItem->m_bChildrenMade) {
    m_bFilterRowsStale = true;
    UpdateIndicator(parentItem);
    return;
  }
  m_liveItems.reserve(m_liveItems.size() + static_cast<qsizetype>(nodes.size()));
  QList<QTreeWidgetItem*> items;
  items.reserve(static_cast<qsizetype>(nodes.size()));
  for (CTreeItem* node : nodes)
    items.append(NewItem(node, ToQString(node->m_strLabel.view()), NodeImage(*node)));
  if (parentItem)
    parentItem->addChildren(items);
  else
    addTopLevelItems(items);
}

void CTreeViewEx::SetItemText(TreeHandle handle, const std::string& text) {
  if (CTreeNodeItem* item = ItemOf(handle)) item->setText(0, ToQString(text));
}

void CTreeViewEx::SetItemImage(TreeHandle handle, int image) {
  if (CTreeNodeItem* item = ItemOf(handle)) item->setIcon(0, NodeIcon(image));
}

void CTreeViewEx::DeleteItem(TreeHandle handle) {
  CTreeNodeItem* item = ItemOf(handle);
  if (!item) return;
  // The item data goes first: the selection that moves to a neighbour must not find a record
  // of the subtree that is going.
  std::vector<QTreeWidgetItem*> stack{item};
  while (!stack.empty()) {
    QTreeWidgetItem* i = stack.back();
    stack.pop_back();
    if (CTreeNodeItem* node = AsNodeItem(i)) node->m_pRecord = nullptr;
    for (int c = 0; c < i->childCount(); ++c) stack.push_back(i->child(c));
  }
  delete item;
  viewport()->update();
}

void CTreeViewEx::SortChildren(TreeHandle handle) {
  CTreeNodeItem* item = ItemOf(handle);
  if (!item) return;
  m_collator = LabelCollator();
  if (!item->m_bChildrenMade) {
    item->m_bSortChildren = true;  // the children's items come in order when they are made
    return;
  }
  item->sortChildren(0, Qt::AscendingOrder);
}

// --- Selection and label editing ---

void CTreeViewEx::OnCurrentSelectionChanged() {
  if (CTreeItem* record = SelectedRecord()) OnSelChanged(record);
  emit SelectedRecordChanged();
}

QItemSelectionModel::SelectionFlags CTreeViewEx::selectionCommand(const QModelIndex& index,
                                                                  const QEvent* event) const {
  // A tree control always keeps its selection: Ctrl+click does not deselect.
  const QItemSelectionModel::SelectionFlags flags = QTreeWidget::selectionCommand(index, event);
  if (flags & QItemSelectionModel::Deselect) return QItemSelectionModel::NoUpdate;
  return flags;
}

bool CTreeViewEx::edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) {
  if (m_drag.IsDragging()) return false;
  const bool started = QTreeWidget::edit(index, trigger, event);
  if (started && state() == EditingState) m_hEditItem = AsNodeItem(itemFromIndex(index));
  return started;
}

void CTreeViewEx::commitData(QWidget* editor) {
  CTreeNodeItem* item = std::exchange(m_hEditItem, nullptr);
  auto* lineEdit = qobject_cast<QLineEdit*>(editor);
  if (!item || !lineEdit || !item->m_pRecord) return;
  OnEndLabelEdit(item->m_pRecord, lineEdit->text());
}

void CTreeViewEx::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) {
  // The typed text is kept however the edit ends, Escape included.
  if (hint == QAbstractItemDelegate::RevertModelCache) commitData(editor);
  m_hEditItem = nullptr;
  QTreeWidget::closeEditor(editor, hint);
  OnLabelEditorClosed();
}

void CTreeViewEx::keyPressEvent(QKeyEvent* event) {
  // "*" opens the whole branch below the current item, going by the items there are: the
  // branch's items are all made first.
  if (event->key() == Qt::Key_Asterisk && currentItem()) {
    std::vector<QTreeWidgetItem*> pending{currentItem()};
    while (!pending.empty()) {
      QTreeWidgetItem* item = pending.back();
      pending.pop_back();
      MakeChildItems(item);
      for (int c = 0; c < item->childCount(); ++c) pending.push_back(item->child(c));
    }
  }
  QTreeWidget::keyPressEvent(event);
}

// --- Drag and drop ---

void CTreeViewEx::mousePressEvent(QMouseEvent* event) {
  // A click beside the items keeps the selection, as the platform's tree control does; the
  // tree still takes the focus.
  if (!indexAt(event->position().toPoint()).isValid()) {
    setFocus(Qt::MouseFocusReason);
    event->accept();
    return;
  }
  QTreeWidget::mousePressEvent(event);
  m_drag.Press(*event);
}

void CTreeViewEx::mouseMoveEvent(QMouseEvent* event) {
  if (!m_drag.Move(*event, state() == EditingState)) QTreeWidget::mouseMoveEvent(event);
}

void CTreeViewEx::mouseReleaseEvent(QMouseEvent* event) {
  // The view's own drag-selection state ends with the drag.
  if (m_drag.IsDragging() && event->button() == Qt::LeftButton) setState(NoState);
  if (!m_drag.Release(*event)) QTreeWidget::mouseReleaseEvent(event);
}

}  // namespace zorvan
