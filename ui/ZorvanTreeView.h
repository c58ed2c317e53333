#pragma once

#include <string>
#include <utility>
#include <vector>

#include "find/Finder.h"
#include "store/DocObserver.h"
#include "ui/TreeViewEx.h"

namespace zorvan {

class CZorvanDoc;

// Change codes of RefreshItem.
enum ERefreshChange { changeGroup = 2, changeLabel = 3 };

// The tree view of the document: fills the control on every initial update, carries the Create
// new and Delete contact commands, and refreshes an item after the form changed its record.
class CZorvanTreeView : public CTreeViewEx, public IDocObserver {
  Q_OBJECT

 public:
  explicit CZorvanTreeView(QWidget* parent = nullptr);
  ~CZorvanTreeView() override;

  // Makes the view an observer of the document and its tree view port.
  void Attach(CZorvanDoc& doc);
  // After New or Open (the document's HINT_NONE): fills the control from the document.
  void OnInitialUpdate();

  // IDocObserver. Apart from the initial update the tree view ignores every hint: its control
  // changes only through its own commands, RefreshItem and the document's port.
  void OnUpdate(IDocObserver* sender, int hint, CTreeItem* object) override;
  void OnAboutToDestroy(CTreeItem* node) override;

  bool CanCreateNew() const;
  // Where Create new puts a contact: below the selected node, else below the contacts root.
  CTreeItem* NewRecordParent() const;
  bool CanDeleteContact() const;
  void OnCreateNew();
  void OnDeleteContact();

  // Asks for the criteria with the Find dialog and selects the first record that meets them,
  // from the beginning or after the selected record; says so when none does.
  void OnFind();
  // F3 and Shift+F3: the next or the previous node, in the search order, that meets the last
  // criteria, without the dialog (which comes up when there are none yet).
  void OnFindAgain(bool previous);

  // The filter box's text: narrows the tree to the contacts that hold it (ApplyFilter). The
  // user's selection stays where it is while it is shown; when the filter hides it, the first
  // match is selected and shown in the form, the focus staying in the box, and that selection
  // moves on to the first match again as soon as it no longer matches itself. The text is
  // applied again after every fill.
  void SetFilterText(const QString& text);

  // Selects a group an import just made, opened to show what came in, and shows it in the
  // form.
  void ShowImportedGroup(CTreeItem* group);

  // Selects the record and shows it in the form, as a click on its item would.
  void ShowRecord(CTreeItem* record) { ShowFound(record); }

  // After the form changed the record's group flag (2) or its label (3).
  void RefreshItem(int change, CTreeItem* record);

  bool IsReady() const { return m_bReady; }

  // The groups a synchronisation is changing at the moment: nothing inside one is made, deleted,
  // renamed or moved, nor is a branch holding one deleted or moved, until they are let go
  // (an empty list). The groups stay in the tree for that time.
  void SetLockedGroups(std::vector<const CTreeItem*> groups) { m_lockedGroups = std::move(groups); }
  // node is one of the locked groups or lies inside one.
  bool IsLocked(const CTreeItem* node) const;
  // node is locked or holds a locked group.
  bool HoldsLocked(const CTreeItem* node) const;

  // The search of the criteria last given.
  CFinder LastFinder() const;

  // The criteria and the direction of the last Find confirmed, kept for the whole run (they
  // outlive the database they were made for). A field group is an EFindGroup, -1 for none.
  std::string m_strFind1;
  std::string m_strFind2;
  std::string m_strFind3;
  int m_nWhere1 = -1;
  int m_nWhere2 = -1;
  int m_nWhere3 = -1;
  int m_nDirection = 1;          // 0 from the beginning, 1 from the current item
  bool m_bIgnoreAccents = true;  // "antonin" finds "Antonín"

 signals:
  // A record's label, image or place changed through this view.
  void RecordChanged();

 protected:
  void OnSelChanged(CTreeItem* record) override;
  void OnEndLabelEdit(CTreeItem* record, const QString& text) override;
  void OnLabelEditorClosed() override;
  CTreeItem* OnDropBranch(CTreeItem* source, CTreeItem* target, bool copy) override;

 private:
  // The nodes of the two roots' branches in the order the tree shows them, each before its
  // children, leaving out the branches the filter hides; afterCurrent is where a search from
  // current goes on: after its subtree, but for a root just after the root itself (the end when
  // current is not shown). A branch never opened in which finder finds nothing is left out.
  struct SShownOrder {
    std::vector<CTreeItem*> nodes;
    size_t afterCurrent = static_cast<size_t>(-1);
  };
  SShownOrder ShownOrder(const CTreeItem* current, const CFinder& finder) const;
  // Whether finder finds anything the tree shows below record.
  bool MatchesBelow(const CTreeItem& record, const CFinder& finder) const;
  // Selects record and shows it in the form as a click on it would, the tree keeping the focus.
  void ShowFound(CTreeItem* record);
  // Shows the match of a search from current, or says there is none.
  void ShowSearchResult(CTreeItem* found, CTreeItem* current);

  CZorvanDoc* m_pDoc = nullptr;
  QString m_strFilterTyped;         // the filter box's text as typed
  bool m_bFilterSelecting = false;  // the filter moves the selection: the focus stays put
  // The record the filter selected, until the selection moves elsewhere; only compared.
  const CTreeItem* m_pFilterChosen = nullptr;
  // The record whose label the open editor changed, until the editor has closed.
  CTreeItem* m_pRenamed = nullptr;
  bool m_bReady = false;  // the control shows the current document's tree
  std::vector<const CTreeItem*> m_lockedGroups;
};

}  // namespace zorvan
