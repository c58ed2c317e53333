#include "ui/TreeViewEx.h"

#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QStyledItemDelegate>
#include <algorithm>
#include <utility>
#include <vector>

#include "store/TreeItemArray.h"
#include "ui/Icons.h"
#include "ui/QtText.h"

namespace zorvan {
namespace {

// The drag image's hot spot: where the pointer sits on it.
const QPoint kDragHotSpot(15, 5);

bool LessByLabel(const QString& a, const QString& b) {
  return QString::compare(a, b, Qt::CaseInsensitive) < 0;
}

}  // namespace

// Paints the drop target of a drag as if it were selected.
class CTreeViewEx::CDelegate : public QStyledItemDelegate {
 public:
  explicit CDelegate(CTreeViewEx* view) : QStyledItemDelegate(view), m_pView(view) {}

 protected:
  void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
    QStyledItemDelegate::initStyleOption(option, index);
    if (m_pView->IsDropHilite(index)) option->state |= QStyle::State_Selected;
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
  m_pOwner->m_liveItems.insert(static_cast<QTreeWidgetItem*>(this));
}

CTreeNodeItem::~CTreeNodeItem() { m_pOwner->ForgetItem(this); }

bool CTreeNodeItem::operator<(const QTreeWidgetItem& other) const {
  return LessByLabel(text(0), other.text(0));
}

CTreeViewEx::CTreeViewEx(QWidget* parent) : QTreeWidget(parent) {
  setColumnCount(1);
  setHeaderHidden(true);
  header()->setStretchLastSection(true);
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
}

CTreeViewEx::~CTreeViewEx() {
  CancelDrag();
  blockSignals(true);
  clear();  // while the set of live items still exists
}

CTreeItem* CTreeViewEx::RecordOf(QTreeWidgetItem* item) {
  if (!item || item->type() != QTreeWidgetItem::UserType) return nullptr;
  return static_cast<CTreeNodeItem*>(item)->m_pRecord;
}

CTreeNodeItem* CTreeViewEx::ItemOf(TreeHandle handle) const {
  if (!handle || !m_liveItems.contains(handle)) return nullptr;
  return static_cast<CTreeNodeItem*>(static_cast<QTreeWidgetItem*>(handle));
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
  auto* top = new CTreeNodeItem(this, record, ToQString(record->m_strLabel.view()),
                                NodeIcon(NodeImage(*record)));
  record->m_hItem = static_cast<QTreeWidgetItem*>(top);
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
    if (sortAll || parent == sortAlso) {
      std::stable_sort(level.begin(), level.end(),
                       [](const auto& a, const auto& b) { return LessByLabel(a.first, b.first); });
    }
    for (auto& [label, child] : level) {
      auto* item = new CTreeNodeItem(this, child, label, NodeIcon(NodeImage(*child)));
      parentItem->addChild(item);
      child->m_hItem = static_cast<QTreeWidgetItem*>(item);
      if (child->ChildCount() != 0) stack.emplace_back(child, item);
    }
  }
  return top;
}

void CTreeViewEx::ReleaseTree() {
  m_bFilled = false;
  CancelDrag();
  m_hEditItem = nullptr;  // an open editor closes without storing its text
  for (const void* handle : std::as_const(m_liveItems)) {
    auto* item =
        static_cast<CTreeNodeItem*>(static_cast<QTreeWidgetItem*>(const_cast<void*>(handle)));
    if (item->m_pRecord) item->m_pRecord->m_hItem = nullptr;
    item->m_pRecord = nullptr;
  }
  const bool blocked = blockSignals(true);
  clear();
  blockSignals(blocked);
}

void CTreeViewEx::ReleaseSubtree(CTreeItem* node) {
  ForEachInSubtree(node, [this](CTreeItem* record) {
    CTreeNodeItem* item = ItemOf(record);
    if (!item) return;
    if (item == m_hDragItem || item == m_hDropTarget) CancelDrag();
    if (item == m_hEditItem) m_hEditItem = nullptr;
    item->m_pRecord = nullptr;
  });
}

void CTreeViewEx::ForgetItem(CTreeNodeItem* item) {
  m_liveItems.remove(static_cast<QTreeWidgetItem*>(item));
  if (item == m_hDragItem) CancelDrag();
  if (item == m_hDropTarget) m_hDropTarget = nullptr;
  if (item == m_hDropHilite) m_hDropHilite = nullptr;
  if (item == m_hPressItem) m_hPressItem = nullptr;
  if (item == m_hEditItem) m_hEditItem = nullptr;
}

// --- The document's port ---

TreeHandle CTreeViewEx::InsertItem(TreeHandle parent, CTreeItem* node, const std::string& text,
                                   int image) {
  // Before the fill (while a database is being built) the fill itself makes the items.
  if (!m_bFilled || !node) return nullptr;
  CTreeNodeItem* parentItem = ItemOf(parent);
  if (parent && !parentItem) return nullptr;
  auto* item = new CTreeNodeItem(this, node, ToQString(text), NodeIcon(image));
  if (parentItem)
    parentItem->addChild(item);
  else
    addTopLevelItem(item);
  node->m_hItem = static_cast<QTreeWidgetItem*>(item);
  return node->m_hItem;
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
    if (i->type() == QTreeWidgetItem::UserType) static_cast<CTreeNodeItem*>(i)->m_pRecord = nullptr;
    for (int c = 0; c < i->childCount(); ++c) stack.push_back(i->child(c));
  }
  delete item;
  viewport()->update();
}

void CTreeViewEx::SortChildren(TreeHandle handle) {
  if (CTreeNodeItem* item = ItemOf(handle)) item->sortChildren(0, Qt::AscendingOrder);
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
  if (m_bDragging) return false;
  const bool started = QTreeWidget::edit(index, trigger, event);
  if (started && state() == EditingState) {
    QTreeWidgetItem* item = itemFromIndex(index);
    m_hEditItem = item && item->type() == QTreeWidgetItem::UserType
                      ? static_cast<CTreeNodeItem*>(item)
                      : nullptr;
  }
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
}

// --- Drag and drop ---

bool CTreeViewEx::IsDropHilite(const QModelIndex& index) const {
  return m_hDropHilite && itemFromIndex(index) == m_hDropHilite;
}

void CTreeViewEx::mousePressEvent(QMouseEvent* event) {
  QTreeWidget::mousePressEvent(event);
  m_hPressItem = nullptr;
  if (event->button() != Qt::LeftButton || m_bDragging) return;
  const QPoint pos = event->position().toPoint();
  QTreeWidgetItem* item = itemAt(pos);
  // Only the item itself (its picture and label) starts a drag, not the indentation or the
  // expand button before it.
  if (item && item->type() == QTreeWidgetItem::UserType && visualItemRect(item).contains(pos)) {
    m_hPressItem = static_cast<CTreeNodeItem*>(item);
    m_ptPress = pos;
  }
}

void CTreeViewEx::mouseMoveEvent(QMouseEvent* event) {
  const QPoint pos = event->position().toPoint();
  if (m_bDragging) {
    DragMove(pos, event->modifiers());
    return;
  }
  if (m_hPressItem && (event->buttons() & Qt::LeftButton)) {
    if (state() != EditingState &&
        (pos - m_ptPress).manhattanLength() >= QApplication::startDragDistance()) {
      BeginDrag(m_hPressItem, m_ptPress);
      DragMove(pos, event->modifiers());
    }
    return;  // no drag-selection while the button is down on an item
  }
  QTreeWidget::mouseMoveEvent(event);
}

void CTreeViewEx::mouseReleaseEvent(QMouseEvent* event) {
  m_hPressItem = nullptr;
  if (m_bDragging && event->button() == Qt::LeftButton) {
    setState(NoState);
    EndDrag(event->position().toPoint(), event->modifiers());
    return;
  }
  QTreeWidget::mouseReleaseEvent(event);
}

void CTreeViewEx::BeginDrag(CTreeNodeItem* item, const QPoint& pos) {
  m_hDragItem = item;
  m_hDropTarget = nullptr;
  // The drag image: the item's picture and label, half transparent.
  const QString text = item->text(0);
  const QFontMetrics metrics(font());
  const int width = 20 + metrics.horizontalAdvance(text) + 4;
  const int height = std::max(16, metrics.height()) + 2;
  QPixmap image(width, height);
  image.fill(Qt::transparent);
  {
    QPainter p(&image);
    p.setOpacity(0.6);
    NodeIcon(RecordOf(item) ? NodeImage(*RecordOf(item)) : 1)
        .paint(&p, QRect(1, (height - 16) / 2, 16, 16));
    p.setFont(font());
    p.setPen(palette().color(QPalette::Text));
    p.drawText(QRect(20, 0, width - 20, height), Qt::AlignLeft | Qt::AlignVCenter, text);
  }
  m_pDragImage = new QLabel(viewport());
  m_pDragImage->setAttribute(Qt::WA_TransparentForMouseEvents);
  m_pDragImage->setPixmap(image);
  m_pDragImage->resize(image.size());
  m_pDragImage->move(pos - kDragHotSpot);
  m_pDragImage->show();
  m_bDragging = true;
  SetDragCursor(Qt::ArrowCursor);
}

void CTreeViewEx::DragMove(const QPoint& pos, Qt::KeyboardModifiers keys) {
  if (m_pDragImage) m_pDragImage->move(pos - kDragHotSpot);
  Qt::CursorShape shape = (keys & Qt::ControlModifier) ? Qt::DragCopyCursor : Qt::ArrowCursor;
  const CTreeItem* dragged = RecordOf(m_hDragItem);
  if (!dragged) {
    CancelDrag();
    return;
  }
  if (dragged->m_nKind == kindCalendar) {
    // A calendar node cannot be dropped anywhere.
    if (currentItem() != m_hDragItem) setCurrentItem(m_hDragItem);
    m_hDropTarget = m_hDragItem;
    SetDragCursor(Qt::ForbiddenCursor);
    return;
  }
  QTreeWidgetItem* hit = itemAt(pos);
  if (hit && hit->type() == QTreeWidgetItem::UserType) {
    auto* target = static_cast<CTreeNodeItem*>(hit);
    SetDropHilite(target);
    m_hDropTarget = target;
    const CTreeItem* record = RecordOf(target);
    if (target == m_hDragItem || !record || record->m_nKind == kindCalendar)
      shape = Qt::ForbiddenCursor;
  } else {
    // The last target stays; only a drop over an item counts.
    shape = Qt::ForbiddenCursor;
    SetDropHilite(nullptr);
  }
  SetDragCursor(shape);
}

void CTreeViewEx::EndDrag(const QPoint& pos, Qt::KeyboardModifiers keys) {
  CTreeNodeItem* dragItem = m_hDragItem;
  CTreeNodeItem* target = m_hDropTarget;
  CancelDrag();
  if (!dragItem || target == dragItem || !target) return;
  if (!itemAt(pos)) return;
  for (QTreeWidgetItem* up = target; up; up = up->parent())
    if (up == dragItem) return;  // a branch cannot go into itself
  expandItem(target);
  CTreeItem* source = RecordOf(dragItem);
  CTreeItem* destination = RecordOf(target);
  if (!source || !destination) return;
  if (destination->m_nKind == kindCalendar || source->m_nKind == kindCalendar) {
    setCurrentItem(dragItem);
    return;
  }
  // Ctrl alone at the drop copies; anything else (Ctrl+Shift too) moves.
  const bool copy = (keys & (Qt::ControlModifier | Qt::ShiftModifier)) == Qt::ControlModifier;
  OnDropBranch(source, destination, copy);
}

void CTreeViewEx::CancelDrag() {
  m_bDragging = false;
  m_hDragItem = nullptr;
  m_hDropTarget = nullptr;
  SetDropHilite(nullptr);
  if (m_pDragImage) {
    delete m_pDragImage;
    m_pDragImage = nullptr;
  }
  if (m_bCursorSet) {
    QApplication::restoreOverrideCursor();
    m_bCursorSet = false;
  }
}

void CTreeViewEx::SetDropHilite(QTreeWidgetItem* item) {
  auto* hilite = item && item->type() == QTreeWidgetItem::UserType
                     ? static_cast<CTreeNodeItem*>(item)
                     : nullptr;
  if (hilite == m_hDropHilite) return;
  m_hDropHilite = hilite;
  viewport()->update();
}

void CTreeViewEx::SetDragCursor(Qt::CursorShape shape) {
  if (!m_bDragging) return;
  if (m_bCursorSet) {
    QApplication::changeOverrideCursor(QCursor(shape));
  } else {
    QApplication::setOverrideCursor(QCursor(shape));
    m_bCursorSet = true;
  }
}

}  // namespace zorvan
