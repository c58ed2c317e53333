#include "ui/TreeDragDrop.h"

#include <QApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>
#include <utility>

#include "ui/TreeViewEx.h"

namespace zorvan {
namespace {

// The drag image's hot spot: where the pointer sits on it.
const QPoint kDragHotSpot(15, 5);

}  // namespace

CTreeDragDrop::CTreeDragDrop(CTreeViewEx& view, DropHandler onDrop)
    : m_view(view), m_onDrop(std::move(onDrop)) {}

CTreeDragDrop::~CTreeDragDrop() { Cancel(); }

bool CTreeDragDrop::IsDropHilite(const QTreeWidgetItem* item) const {
  return m_hDropHilite && item == m_hDropHilite;
}

void CTreeDragDrop::Press(const QMouseEvent& event) {
  m_hPressItem = nullptr;
  if (event.button() != Qt::LeftButton || m_bDragging) return;
  const QPoint pos = event.position().toPoint();
  CTreeNodeItem* item = AsNodeItem(m_view.itemAt(pos));
  // Only the item itself (its picture and label) starts a drag, not the indentation or the
  // expand button before it.
  if (item && m_view.visualItemRect(item).contains(pos)) {
    m_hPressItem = item;
    m_ptPress = pos;
  }
}

bool CTreeDragDrop::Move(const QMouseEvent& event, bool editing) {
  const QPoint pos = event.position().toPoint();
  if (m_bDragging) {
    DragMove(pos, event.modifiers());
    return true;
  }
  if (!m_hPressItem || !(event.buttons() & Qt::LeftButton)) return false;
  if (!editing && (pos - m_ptPress).manhattanLength() >= QApplication::startDragDistance()) {
    Begin(m_hPressItem, m_ptPress);
    DragMove(pos, event.modifiers());
  }
  return true;  // no drag-selection while the button is down on an item
}

bool CTreeDragDrop::Release(const QMouseEvent& event) {
  m_hPressItem = nullptr;
  if (!m_bDragging || event.button() != Qt::LeftButton) return false;
  End(event.position().toPoint(), event.modifiers());
  return true;
}

void CTreeDragDrop::Begin(CTreeNodeItem* item, const QPoint& pos) {
  m_hDragItem = item;
  m_hDropTarget = nullptr;
  // The drag image: the item's picture and label, half transparent.
  const QString text = item->text(0);
  const QFontMetrics metrics(m_view.font());
  const int width = 20 + metrics.horizontalAdvance(text) + 4;
  const int height = std::max(16, metrics.height()) + 2;
  QPixmap image(width, height);
  image.fill(Qt::transparent);
  {
    QPainter p(&image);
    p.setOpacity(0.6);
    const CTreeItem* record = CTreeViewEx::RecordOf(item);
    m_view.NodeIcon(record ? NodeImage(*record) : 1).paint(&p, QRect(1, (height - 16) / 2, 16, 16));
    p.setFont(m_view.font());
    p.setPen(m_view.palette().color(QPalette::Text));
    p.drawText(QRect(20, 0, width - 20, height), Qt::AlignLeft | Qt::AlignVCenter, text);
  }
  m_pDragImage = new QLabel(m_view.viewport());
  m_pDragImage->setAttribute(Qt::WA_TransparentForMouseEvents);
  m_pDragImage->setPixmap(image);
  m_pDragImage->resize(image.size());
  m_pDragImage->move(pos - kDragHotSpot);
  m_pDragImage->show();
  m_bDragging = true;
  SetCursor(Qt::ArrowCursor);
}

void CTreeDragDrop::DragMove(const QPoint& pos, Qt::KeyboardModifiers keys) {
  if (m_pDragImage) m_pDragImage->move(pos - kDragHotSpot);
  Qt::CursorShape shape = (keys & Qt::ControlModifier) ? Qt::DragCopyCursor : Qt::ArrowCursor;
  const CTreeItem* dragged = CTreeViewEx::RecordOf(m_hDragItem);
  if (!dragged) {
    Cancel();
    return;
  }
  if (dragged->m_nKind == kindCalendar) {
    // A calendar node cannot be dropped anywhere.
    if (m_view.currentItem() != m_hDragItem) m_view.setCurrentItem(m_hDragItem);
    m_hDropTarget = m_hDragItem;
    SetCursor(Qt::ForbiddenCursor);
    return;
  }
  if (CTreeNodeItem* target = AsNodeItem(m_view.itemAt(pos))) {
    SetDropHilite(target);
    m_hDropTarget = target;
    const CTreeItem* record = CTreeViewEx::RecordOf(target);
    if (target == m_hDragItem || !record || record->m_nKind == kindCalendar)
      shape = Qt::ForbiddenCursor;
  } else {
    // The last target stays; only a drop over an item counts.
    shape = Qt::ForbiddenCursor;
    SetDropHilite(nullptr);
  }
  SetCursor(shape);
}

void CTreeDragDrop::End(const QPoint& pos, Qt::KeyboardModifiers keys) {
  CTreeNodeItem* dragItem = m_hDragItem;
  CTreeNodeItem* target = m_hDropTarget;
  Cancel();
  if (!dragItem || target == dragItem || !target) return;
  if (!m_view.itemAt(pos)) return;
  for (QTreeWidgetItem* up = target; up; up = up->parent())
    if (up == dragItem) return;  // a branch cannot go into itself
  m_view.expandItem(target);
  CTreeItem* source = CTreeViewEx::RecordOf(dragItem);
  CTreeItem* destination = CTreeViewEx::RecordOf(target);
  if (!source || !destination) return;
  if (destination->m_nKind == kindCalendar || source->m_nKind == kindCalendar) {
    m_view.setCurrentItem(dragItem);
    return;
  }
  // Ctrl alone at the drop copies; anything else (Ctrl+Shift too) moves.
  const bool copy = (keys & (Qt::ControlModifier | Qt::ShiftModifier)) == Qt::ControlModifier;
  m_onDrop(source, destination, copy);
}

void CTreeDragDrop::Cancel() {
  m_bDragging = false;
  m_hDragItem = nullptr;
  m_hDropTarget = nullptr;
  SetDropHilite(nullptr);
  delete std::exchange(m_pDragImage, nullptr);
  if (m_bCursorSet) {
    QApplication::restoreOverrideCursor();
    m_bCursorSet = false;
  }
}

void CTreeDragDrop::Forget(const CTreeNodeItem* item) {
  if (item == m_hDragItem) Cancel();
  if (item == m_hDropTarget) m_hDropTarget = nullptr;
  if (item == m_hDropHilite) m_hDropHilite = nullptr;
  if (item == m_hPressItem) m_hPressItem = nullptr;
}

void CTreeDragDrop::ForgetRecordOf(const CTreeNodeItem* item) {
  if (item == m_hDragItem || item == m_hDropTarget) Cancel();
}

void CTreeDragDrop::SetDropHilite(CTreeNodeItem* item) {
  if (item == m_hDropHilite) return;
  m_hDropHilite = item;
  m_view.viewport()->update();
}

void CTreeDragDrop::SetCursor(Qt::CursorShape shape) {
  if (!m_bDragging) return;
  if (m_bCursorSet) {
    QApplication::changeOverrideCursor(QCursor(shape));
  } else {
    QApplication::setOverrideCursor(QCursor(shape));
    m_bCursorSet = true;
  }
}

}  // namespace zorvan
