#pragma once

#include <QDialog>
#include <vector>

#include "app/AccountEditDlg.h"

class QPushButton;
class QTreeWidget;

namespace zorvan {

class CZorvanDoc;

// File > Accounts: the groups of the open database bound to CardDAV address books, each with
// its address book, server and user, to add, edit and remove. OK stores the bindings in the
// database, which is then modified (the user saves it), makes the new groups named after their
// address books, and keeps the passwords typed in the secret store, never in the database.
// Cancel changes nothing. True when OK was chosen. A damaged synchronisation state is said and
// left as it is (false).
bool ShowAccountsDialog(CZorvanDoc& doc, QWidget* parent);

// The list of the Accounts dialog; the bindings it holds change the database only through
// ShowAccountsDialog, after OK.
class CAccountsDlg : public QDialog {
  Q_OBJECT

 public:
  CAccountsDlg(CZorvanDoc& doc, std::vector<SAccountEntry> entries, QWidget* parent = nullptr);
  const std::vector<SAccountEntry>& Entries() const { return m_entries; }

 private:
  void OnAdd();
  void OnEdit();
  void OnRemove();
  void Refill(int select);
  // The groups below the contacts root that the entry may be bound to: those no other entry
  // binds (a group is bound once), in the tree's order.
  std::vector<CTreeItem*> FreeGroups(const SAccountEntry* entry) const;
  int Current() const;

  CZorvanDoc& m_doc;
  std::vector<SAccountEntry> m_entries;
  QTreeWidget* m_pList = nullptr;
  QPushButton* m_pEdit = nullptr;
  QPushButton* m_pRemove = nullptr;
};

}  // namespace zorvan
