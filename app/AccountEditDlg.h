#pragma once

#include <QDialog>
#include <QString>
#include <atomic>
#include <thread>
#include <vector>

#include "sync/CardDavClient.h"
#include "sync/SyncState.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;

namespace zorvan {

class CTreeItem;

// One binding as the Accounts dialog holds it until its OK: the binding itself, the group of
// the tree it keeps in step (null: a new group, named after the address book, made at OK), and
// the password typed for its account (empty: the one kept already), which goes to the secret
// store at OK and never into the database.
struct SAccountEntry {
  sync::SBinding binding;
  CTreeItem* pGroup = nullptr;
  QString strPassword;
};

// The path of a group below the contacts root, its labels joined by "/" ("Rodina/Brno").
QString GroupPath(const CTreeItem* group);

// The Add and Edit page of the Accounts dialog: the account (server address, user name,
// password, the pin of a self-signed certificate), the address books the server has, found
// off the window's thread, the group of the tree to bind, the calendar to publish to and
// whether to synchronise when the database is opened. A binding whose address book, server or
// group changes starts afresh: the dialog says so before OK.
class CAccountEditDlg : public QDialog {
  Q_OBJECT

 public:
  // entry: the binding to edit, or an empty one to add; groups: the groups it may be bound to
  // (those of other bindings left out).
  CAccountEditDlg(SAccountEntry entry, const std::vector<CTreeItem*>& groups, bool bAdding,
                  QWidget* parent = nullptr);
  ~CAccountEditDlg() override;

  // After OK: the entry as edited, its agreed state dropped when it starts afresh.
  const SAccountEntry& Entry() const { return m_entry; }
  // Whether the binding, as the dialog now stands, would start afresh.
  bool StartsAfresh() const;
  bool IsFinding() const { return m_bFinding; }

  void done(int result) override;

 private:
  QWidget* CreateAccountBox();
  QWidget* CreateBookBox(const std::vector<CTreeItem*>& groups);
  void OnFind();
  void OnFound(const sync::SDavStatus& status, const std::vector<sync::SDavCollection>& found);
  void SetFinding(bool finding);
  // The server or the user name was edited: the address books found for the old ones go (the
  // binding's own stays while both are as they were).
  void ResetBooks();
  void UpdateState();
  bool Validate();
  QString ServerText() const;

  SAccountEntry m_entry;
  const sync::SBinding m_original;
  const CTreeItem* m_pOriginalGroup;
  const bool m_bAdding;
  bool m_bFinding = false;
  // The discovery under way, and its request to stop when the dialog goes first.
  std::thread m_finder;
  std::atomic<bool> m_bCancel{false};

  QLineEdit* m_pServer = nullptr;
  QLineEdit* m_pUser = nullptr;
  QLineEdit* m_pPassword = nullptr;
  QLineEdit* m_pPin = nullptr;
  QPushButton* m_pFind = nullptr;
  QProgressBar* m_pBusy = nullptr;
  QLabel* m_pFindStatus = nullptr;
  QComboBox* m_pBooks = nullptr;
  QComboBox* m_pGroups = nullptr;
  QLineEdit* m_pCalendar = nullptr;
  QCheckBox* m_pSyncWhenOpened = nullptr;
  QLabel* m_pAfresh = nullptr;
  QPushButton* m_pOk = nullptr;
};

}  // namespace zorvan
