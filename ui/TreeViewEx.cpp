#include "ui/TreeViewEx.h"

#include <QHeaderView>
#include <QHelpEvent>
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
  const auto stale = [this] { m_bFilterRowsStale = true; };
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
  return item;
}

CTreeNodeItem* CTreeViewEx::ItemOf(const CTreeItem* record) const {
  return record ? ItemOf(record->m_hItem) : nullptr;
}

CTreeItem* CTreeViewEx::SelectedRecord() const {
  const QList<QTreeWidgetItem*> selected = selectedItems();
  return selected.isEmpty() ? nullptr : RecordOf(selected.constFirst());
}

void CTreeViewEx::SelectRecord(const CTreeItem* record) {
  if (CTreeNodeItem* item = ItemOf(record)) setCurrentItem(item);
}

const QIcon& CTreeViewEx::NodeIcon(int image) const {
  return m_imageList[static_cast<size_t>(std::clamp(image, 0, 3))];
}

// --- Filling ---

void CTreeViewEx::FillTree(const CTreeItemArray& items) {
  ReleaseTree();
  m_collator = LabelCollator();
  setUpdatesEnabled(false);
  QList<QTreeWidgetItem*> roots;
  // The calendar names (the fourth category) are the only calendar nodes the fill sorts.
  const CTreeItem* calNames = nullptr;
  if (items.GetSize() > 1 && items.GetAt(1)->ChildCount() > 3) calNames = items.GetAt(1)->Child(3);
  for (int i = 0; i < items.GetSize(); ++i)
    roots.append(BuildBranch(items.GetAt(i), i == 0, calNames));
  addTopLevelItems(roots);
  setUpdatesEnabled(true);
  m_bFilled = true;
  viewport()->update();
}

// Builds the items of a record's subtree, parents before children so that attaching an item
// never walks a subtree; sorted levels are put in order before their items exist.
CTreeNodeItem* CTreeViewEx::BuildBranch(CTreeItem* record, bool sortAll,
                                        const CTreeItem* sortAlso) {
  CTreeNodeItem* top = NewItem(record, ToQString(record->m_strLabel.view()), NodeImage(*record));
  std::vector<std::pair<CTreeItem*, CTreeNodeItem*>> stack{{record, top}};
  std::vector<std::pair<QString, CTreeItem*>> level;
  while (!stack.empty()) {
    auto [parent, parentItem] = stack.back();
    stack.pop_back();
    const size_t count = parent->ChildCount();
    if (count == 0) continue;
    level.clear();
    level.reserve(count);
    for (size_t i = 0; i < count; ++i) {
      CTreeItem* child = parent->Child(i);
      level.emplace_back(ToQString(child->m_strLabel.view()), child);
    }
    // Comparing two labels directly is cheaper than making every label's sort key first: the
    // collator settles most pairs on their first characters.
    if (count > 1 && (sortAll || parent == sortAlso)) {
      std::stable_sort(level.begin(), level.end(), [this](const auto& a, const auto& b) {
        return m_collator.compare(a.first, b.first) < 0;
      });
    }
    for (auto& [label, child] : level) {
      CTreeNodeItem* item = NewItem(child, label, NodeImage(*child));
      parentItem->addChild(item);
      if (child->ChildCount() != 0) stack.emplace_back(child, item);
    }
  }
  return top;
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
}

void CTreeViewEx::ReleaseSubtree(CTreeItem* node) {
  m_bFilterRowsStale = true;  // the items of the subtree match nothing any more
  ForEachInSubtree(node, [this](CTreeItem* record) {
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
  if (parent && !parentItem) return nullptr;
  CTreeNodeItem* item = NewItem(node, ToQString(text), image);
  if (parentItem)
    parentItem->addChild(item);
  else
    addTopLevelItem(item);
  return node->m_hItem;
}

void CTreeViewEx::InsertItems(TreeHandle parent, const std::vector<CTreeItem*>& nodes) {
  if (!m_bFilled) return;
  CTreeNodeItem* parentItem = ItemOf(parent);
  if (parent && !parentItem) return;
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
