#pragma once

#include <QPoint>
#include <functional>

class QLabel;
class QMouseEvent;
class QTreeWidgetItem;

namespace zorvan {

class CTreeItem;
class CTreeNodeItem;
class CTreeViewEx;

// The drag of a branch inside the tree control, as the tree control of the desktop runs it:
// a half-transparent picture of the item follows the pointer, the item under it is lit as the
// drop target, the pointer tells whether the drop would be taken, and a drop with Ctrl alone
// copies the branch where anything else moves it. Calendar nodes neither make nor take a drop.
// The view passes its mouse events on; the drop itself is the view's job.
class CTreeDragDrop {
 public:
  // What a drop that passed the checks does: copy or move source below target.
  using DropHandler = std::function<void(CTreeItem* source, CTreeItem* target, bool copy)>;

  CTreeDragDrop(CTreeViewEx& view, DropHandler onDrop);
  CTreeDragDrop(const CTreeDragDrop&) = delete;
  CTreeDragDrop& operator=(const CTreeDragDrop&) = delete;
  ~CTreeDragDrop();

  bool IsDragging() const { return m_bDragging; }
  bool IsDropHilite(const QTreeWidgetItem* item) const;

  // A button went down on the view (after the view's own handling).
  void Press(const QMouseEvent& event);
  // The pointer moved; true when the drag took the move (the view then does nothing with it).
  // editing: a label is being edited, which a drag must not interrupt.
  bool Move(const QMouseEvent& event, bool editing);
  // A button came up; true when it ended a drag.
  bool Release(const QMouseEvent& event);
  void Cancel();
  // An item of the view is going: no pointer to it may stay.
  void Forget(const CTreeNodeItem* item);
  // The item's record is going: a drag from or to it ends.
  void ForgetRecordOf(const CTreeNodeItem* item);

 private:
  void Begin(CTreeNodeItem* item, const QPoint& pos);
  void DragMove(const QPoint& pos, Qt::KeyboardModifiers keys);
  void End(const QPoint& pos, Qt::KeyboardModifiers keys);
  void SetDropHilite(CTreeNodeItem* item);
  void SetCursor(Qt::CursorShape shape);

  CTreeViewEx& m_view;
  DropHandler m_onDrop;
  bool m_bDragging = false;
  CTreeNodeItem* m_hDragItem = nullptr;
  CTreeNodeItem* m_hDropTarget = nullptr;
  CTreeNodeItem* m_hDropHilite = nullptr;
  CTreeNodeItem* m_hPressItem = nullptr;
  QPoint m_ptPress;
  QLabel* m_pDragImage = nullptr;
  bool m_bCursorSet = false;
};

}  // namespace zorvan
