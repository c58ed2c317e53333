#pragma once

#include <QCollator>
#include <QHash>
#include <QIcon>
#include <QSet>
#include <QTreeWidget>
#include <array>
#include <string>
#include <utility>
#include <vector>

#include "store/TreeViewPort.h"
#include "ui/TreeDragDrop.h"

namespace zorvan {

class CTreeItemArray;
class CTreeViewEx;

// The order of the tree's labels: the alphabet of the user's language (QLocale()), ignoring case.
QCollator LabelCollator();

// One item of the tree control: the record it shows, and the control's one-level sort by text
// in the collator's order. The items of a record's children are made when the branch is first
// opened (or a way into it is needed); until then the item shows the expand arrow alone.
class CTreeNodeItem : public QTreeWidgetItem {
 public:
  CTreeNodeItem(CTreeViewEx* owner, CTreeItem* record, const QString& text, const QIcon& icon);
  ~CTreeNodeItem() override;
  bool operator<(const QTreeWidgetItem& other) const override;
  void setData(int column, int role, const QVariant& value) override;

  // The filter box's key of the record (FilterKey), made when first asked for and again after
  // ForgetFilterKey; empty without a record.
  const std::string& FilterKey();
  void ForgetFilterKey();

  CTreeItem* m_pRecord;          // not owned; null once the record is about to go
  bool m_bFiltered = false;      // hidden by the filter box
  bool m_bFilterOpened = false;  // opened by the filter box to show what it lets through
  bool m_bFilterMatch = false;   // the record itself holds the filter's text
  bool m_bRowHidden = false;     // the view was told to hide the row (while its parent was open)
  int m_nFilterRow = -1;         // the item's place in the view's filter rows, -1 for none
  bool m_bChildrenMade = false;  // every child record has its item below this one
  bool m_bSortChildren = false;  // a sort was asked for before the children's items were made

 private:
  friend class CTreeViewEx;
  CTreeViewEx* m_pOwner;
  // The label as the sort compares it: a sort of 100,000 items reads it 1.7 million times, and
  // taking it out of the item's data each time costs more than the comparison.
  QString m_strSortLabel;
  std::string m_strFilterKey;
  bool m_bKeyMade = false;
};

// The node item an item of the control is, null for none or for an item of another kind.
CTreeNodeItem* AsNodeItem(QTreeWidgetItem* item);
// The node item behind a record's handle (the handle is the item itself).
inline CTreeNodeItem* AsNodeItem(TreeHandle handle) {
  return AsNodeItem(static_cast<QTreeWidgetItem*>(handle));
}
inline TreeHandle HandleOf(CTreeNodeItem* item) { return static_cast<QTreeWidgetItem*>(item); }

// The tree control of the left pane: fills itself from the document's records, tells of
// selections and in-place label edits, passes its mouse to the branch drag (CTreeDragDrop), and
// keeps its items in step with the records for the document (the tree view port).
class CTreeViewEx : public QTreeWidget, public ITreeViewPort {
  Q_OBJECT

 public:
  explicit CTreeViewEx(QWidget* parent = nullptr);
  ~CTreeViewEx() override;

  // The record of an item, null for none or for an item whose record is gone.
  static CTreeItem* RecordOf(QTreeWidgetItem* item);
  // The item of a record's handle, null when the control does not hold it (any more).
  CTreeNodeItem* ItemOf(TreeHandle handle) const;
  CTreeNodeItem* ItemOf(const CTreeItem* record) const;
  // The item of a record, made with the items of the way down to it where those branches were
  // never opened; null for a record the control does not show.
  CTreeNodeItem* MakeItemOf(const CTreeItem* record);
  // Makes the items of the children of item's record, once: in the labels' order on the levels
  // the tree sorts, each item with what the filter decided for its record. The one place that
  // makes a branch's children.
  void MakeChildItems(QTreeWidgetItem* item);
  CTreeItem* SelectedRecord() const;
  // Selects the record's item, made first when its branch was never opened.
  void SelectRecord(const CTreeItem* record);
  const QIcon& NodeIcon(int image) const;
  bool IsDragging() const { return m_drag.IsDragging(); }
  // The nodes the tree holds, their items made or not: what a filtering goes through.
  int ItemCount() const;

  // The filter box. Shows only the contacts whose filter key holds folded (a text folded as
  // AppendFolded folds it), the groups that lead to them and, in the calendar branch, the event
  // nodes of those contacts with their categories; the roots stay. The branches that lead to
  // what is shown are opened. An empty text shows everything again and closes what the filter
  // opened, but for the way to the selected item.
  void ApplyFilter(const std::string& folded);
  const std::string& FilterText() const { return m_strFilter; }
  // The first item in the tree's order that the filter shows for its own record, null for none.
  CTreeNodeItem* FirstFilterMatch() const;
  // A record changed: its key is made again when the filter next needs it.
  void ForgetFilterKey(const CTreeItem* record);
  void ForgetFilterKeys();
  // True for an item the filter box hides.
  static bool IsFilteredOut(QTreeWidgetItem* item);

  // ITreeViewPort
  TreeHandle InsertItem(TreeHandle parent, CTreeItem* node, const std::string& text,
                        int image) override;
  void InsertItems(TreeHandle parent, const std::vector<CTreeItem*>& nodes) override;
  void SetItemText(TreeHandle item, const std::string& text) override;
  void SetItemImage(TreeHandle item, int image) override;
  void DeleteItem(TreeHandle item) override;
  void SortChildren(TreeHandle item) override;

 signals:
  // The selection moved to another record (or to none).
  void SelectedRecordChanged();

 protected:
  // Fills the control from the top-level records: each record in array order with its subtree,
  // every contacts-branch level and the calendar names sorted by label; nothing expanded or
  // selected afterwards.
  void FillTree(const CTreeItemArray& items);
  // Empties the control before the records it shows are destroyed.
  void ReleaseTree();
  // Drops every pointer the control holds into node's subtree (its records stay until the
  // document deletes their items).
  void ReleaseSubtree(CTreeItem* node);
  bool IsFilled() const { return m_bFilled; }
  // The records of record's children in the order the tree shows them (that of their items, or
  // the one their items will take), leaving out those the filter box hides.
  std::vector<CTreeItem*> ShownChildren(const CTreeItem& record) const;
  // False for a record the filter box hides (its item's answer, or its row's for a record
  // without an item).
  bool IsShownRecord(const CTreeItem* record) const;

  // What the derived view does with the notifications.
  virtual void OnSelChanged(CTreeItem* record) = 0;
  virtual void OnEndLabelEdit(CTreeItem* record, const QString& text) = 0;
  // After the label editor has closed (OnEndLabelEdit came before it).
  virtual void OnLabelEditorClosed() {}
  // A drop that passed the checks: copy or move source below target. Returns the new copy.
  virtual CTreeItem* OnDropBranch(CTreeItem* source, CTreeItem* target, bool copy) = 0;

  void keyPressEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override;
  QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex& index,
                                                       const QEvent* event) const override;

 protected slots:
  void commitData(QWidget* editor) override;
  void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;

 private:
  friend class CTreeNodeItem;
  class CDelegate;

  // Whether the children of record (with item, null when it has none) go in the labels' order:
  // every level of the contacts branch, the calendar names, and a level sorted while closed.
  bool SortsChildren(const CTreeItem& record, const CTreeNodeItem* item) const;
  // The children of record with their labels, sorted or in the records' order.
  std::vector<std::pair<QString, CTreeItem*>> LabelledChildren(const CTreeItem& record,
                                                               bool sorted) const;
  CTreeNodeItem* NewItem(CTreeItem* record, const QString& text, int image);
  // The expand arrow of an item whose children have no items yet: shown while its record has
  // children, but not for a group of the contacts branch that the filter leaves empty.
  void UpdateIndicator(CTreeNodeItem* item);
  void CheckIndicators();
  void ForgetItem(CTreeNodeItem* item);
  void OnCurrentSelectionChanged();
  // The filter box reads the tree as one array in the tree's order, made again after the tree's
  // shape changed: a keystroke over 100,000 records then reads their keys one after the other
  // from one block instead of visiting their items, and touches only the items it changes.
  // There is a row for every record below the roots, with an item or not yet: a record whose
  // item is made later takes what its row says.
  struct SFilterRow {
    CTreeNodeItem* item;  // null while the record has none
    CTreeItem* record;    // null once the record is about to go
    int parent;           // the parent's row, -1 for a root
    int row;              // the item's row below its parent
    int linked;           // an event node: its contact's row; else kOwnKey or kMatchesNothing
    uint32_t keyBegin;
    uint32_t keyLength;
    bool contacts;      // in the contacts branch, where the filter opens the way to a match
    bool keyQueued;     // in m_changedKeyRows
    bool keyChanged;    // the record changed since its key was last read
    bool matchChanged;  // match differs from the item's m_bFilterMatch
    bool match;         // as on the item (m_bFilterMatch), read without visiting it
    bool shown;         // not m_bFiltered
    bool hiddenInView;  // m_bRowHidden
    bool opened;        // m_bFilterOpened
    bool below;         // something below the record is shown
    bool parentRow;     // the record has children
  };
  static constexpr int kOwnKey = -1;
  static constexpr int kMatchesNothing = -2;
  void MakeFilterRows();
  void AppendFilterKey(SFilterRow& row);
  void QueueChangedKey(int row);
  // The row of a record, null for none; valid from one making of the rows to the next, as the
  // rows of a branch that goes are let go with it.
  SFilterRow* RowOf(const CTreeItem* record);
  const SFilterRow* RowOf(const CTreeItem* record) const;
  // A new item of a record takes its row's answer (and, while the rows are current, the row
  // takes the item as the index-th child of its parent).
  void LinkToFilterRow(CTreeNodeItem* item, int index);
  void ReadChangedFilterKeys();
  void MatchFilterRows(bool narrowing);
  void ShowFilterRows();
  void OpenFilterRows();
  // Tells the view which of parent's children the filter hides.
  void TellHiddenChildren(QTreeWidgetItem* parent);
  void OnItemExpanded(QTreeWidgetItem* parent);

  std::array<QIcon, 4> m_imageList;
  QSet<const void*> m_liveItems;  // every item of this control, as its handle
  bool m_bFilled = false;
  CTreeDragDrop m_drag;
  CTreeNodeItem* m_hEditItem = nullptr;  // the item whose label is being edited
  QCollator m_collator;                  // the order of labels; taken afresh at every fill and sort
  std::string m_strFilter;               // the filter box's text, folded; empty for none
  std::vector<SFilterRow> m_filterRows;
  std::string m_strFilterKeys;        // the rows' keys one after the other
  std::vector<int> m_changedKeyRows;  // rows whose records changed since their keys were read
  bool m_bFilterRowsStale = true;     // the tree's shape changed since the rows were made
  QHash<const CTreeItem*, int> m_rowOfRecord;  // the records are only looked up
  bool m_bMakingItems = false;             // items made for existing records leave the rows current
  const CTreeItem* m_pCalNames = nullptr;  // the calendar names' category; only compared
  std::vector<TreeHandle> m_indicatorChecks;  // items whose records lost children
};

}  // namespace zorvan
