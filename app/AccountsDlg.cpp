#include "app/AccountsDlg.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <string>
#include <utility>

#include "app/SyncPassword.h"
#include "qt/Prompt.h"
#include "qt/QtText.h"
#include "store/TreeItem.h"
#include "store/ZorvanDoc.h"
#include "sync/SyncState.h"

namespace zorvan {
namespace {

// The group the entry's binding goes to, made now under the address book's name when the entry
// asks for a new one; null for a binding whose group has gone from the tree meanwhile (it is
// kept as it was, in case the group comes back with its identity).
CTreeItem* GroupOf(CZorvanDoc& doc, const SAccountEntry& entry) {
  if (entry.pGroup || !entry.binding.groupUid.empty()) return entry.pGroup;
  CTreeItem* group = doc.CreateRecord(doc.ContactsRoot());
  if (!group) return nullptr;
  group->m_strLabel = entry.binding.bookName;
  group->m_bGroup = 1;
  doc.RecordAppearanceChanged(group, ERecordChange::Group);
  doc.RecordAppearanceChanged(group, ERecordChange::Label);
  return group;
}

// What OK does: the groups, the bindings in the database, the passwords in the secret store.
void Apply(CZorvanDoc& doc, const std::vector<SAccountEntry>& entries) {
  const CZorvanDoc::CChange change = doc.BeginChange({EStepKind::bind, {}});
  sync::SSyncState state;
  for (const SAccountEntry& entry : entries) {
    sync::SBinding binding = entry.binding;
    if (CTreeItem* group = GroupOf(doc, entry)) binding.groupUid = sync::BindingUid(*group);
    state.bindings.push_back(std::move(binding));
    if (!entry.strPassword.isEmpty())
      app::RememberSyncPassword(ToQString(entry.binding.serverUrl),
                                ToQString(entry.binding.userName), entry.strPassword);
  }
  sync::SSyncState before;
  std::string reason;
  const bool changed = !sync::LoadSyncState(doc, before, reason) || before != state;
  sync::StoreSyncState(doc, state);
  // A group given its identity now is a change to save as well.
  if (changed) doc.SetModifiedFlag(true);
}

}  // namespace

bool ShowAccountsDialog(CZorvanDoc& doc, QWidget* parent) {
  sync::SSyncState state;
  std::string reason;
  if (!sync::LoadSyncState(doc, state, reason)) {
    Prompt().MessageBox(
        CAccountsDlg::tr("The accounts cannot be changed: %1.").arg(ToQString(reason)),
        EMsgIcon::Error);
    return false;
  }
  std::vector<SAccountEntry> entries;
  for (sync::SBinding& binding : state.bindings) {
    CTreeItem* group =
        doc.ContactsRoot() ? sync::FindBoundGroup(*doc.ContactsRoot(), binding.groupUid) : nullptr;
    entries.push_back({std::move(binding), group, {}});
  }
  CAccountsDlg dialog(doc, std::move(entries), parent);
  if (Prompt().RunModal(dialog) != QDialog::Accepted) return false;
  Apply(doc, dialog.Entries());
  return true;
}

CAccountsDlg::CAccountsDlg(CZorvanDoc& doc, std::vector<SAccountEntry> entries, QWidget* parent)
    : QDialog(parent), m_doc(doc), m_entries(std::move(entries)) {
  setObjectName(QStringLiteral("accounts"));
  setWindowTitle(tr("Accounts"));
  m_pList = new QTreeWidget;
  m_pList->setObjectName(QStringLiteral("bindings"));
  m_pList->setRootIsDecorated(false);
  m_pList->setAllColumnsShowFocus(true);
  m_pList->setHeaderLabels({tr("Group"), tr("Address book"), tr("Server"), tr("User")});
  // The group and the server take the room left; the book's and the user's names fit theirs.
  QHeaderView* header = m_pList->header();
  header->setStretchLastSection(false);
  for (int column : {0, 2}) header->setSectionResizeMode(column, QHeaderView::Stretch);
  for (int column : {1, 3}) header->setSectionResizeMode(column, QHeaderView::ResizeToContents);
  auto* label = new QLabel(tr("&Groups of the tree kept in step with CardDAV address books:"));
  label->setBuddy(m_pList);

  auto* add = new QPushButton(tr("&Add..."));
  add->setObjectName(QStringLiteral("add"));
  m_pEdit = new QPushButton(tr("&Edit..."));
  m_pEdit->setObjectName(QStringLiteral("edit"));
  m_pRemove = new QPushButton(tr("&Remove"));
  m_pRemove->setObjectName(QStringLiteral("remove"));
  auto* side = new QVBoxLayout;
  for (QPushButton* button : {add, m_pEdit, m_pRemove}) {
    button->setAutoDefault(false);
    side->addWidget(button);
  }
  side->addStretch();
  auto* row = new QHBoxLayout;
  row->addWidget(m_pList, 1);
  row->addLayout(side);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(label);
  layout->addLayout(row);
  layout->addWidget(buttons);

  connect(add, &QPushButton::clicked, this, &CAccountsDlg::OnAdd);
  connect(m_pEdit, &QPushButton::clicked, this, &CAccountsDlg::OnEdit);
  connect(m_pRemove, &QPushButton::clicked, this, &CAccountsDlg::OnRemove);
  connect(m_pList, &QTreeWidget::itemActivated, this, &CAccountsDlg::OnEdit);
  connect(m_pList, &QTreeWidget::currentItemChanged, this, [this] {
    m_pEdit->setEnabled(Current() >= 0);
    m_pRemove->setEnabled(Current() >= 0);
  });
  resize(720, 300);
  Refill(0);
  m_pList->setFocus();
}

int CAccountsDlg::Current() const {
  QTreeWidgetItem* item = m_pList->currentItem();
  return item ? m_pList->indexOfTopLevelItem(item) : -1;
}

void CAccountsDlg::Refill(int select) {
  m_pList->clear();
  for (const SAccountEntry& entry : m_entries) {
    const sync::SBinding& b = entry.binding;
    QString group = GroupPath(entry.pGroup);
    if (!entry.pGroup)
      group = b.groupUid.empty() ? tr("%1 (a new group)").arg(ToQString(b.bookName))
                                 : tr("(a group no longer in the tree)");
    new QTreeWidgetItem(
        m_pList, {group, ToQString(b.bookName), ToQString(b.serverUrl), ToQString(b.userName)});
  }
  const int count = static_cast<int>(m_entries.size());
  m_pList->setCurrentItem(count == 0 ? nullptr
                                     : m_pList->topLevelItem(std::clamp(select, 0, count - 1)));
  m_pEdit->setEnabled(Current() >= 0);
  m_pRemove->setEnabled(Current() >= 0);
}

std::vector<CTreeItem*> CAccountsDlg::FreeGroups(const SAccountEntry* entry) const {
  std::vector<CTreeItem*> groups;
  CTreeItem* root = m_doc.ContactsRoot();
  if (!root) return groups;
  ForEachInSubtree(root, [&](CTreeItem* r) {
    if (r == root || r->m_bGroup == 0) return;
    const bool bound = std::any_of(m_entries.begin(), m_entries.end(), [&](const SAccountEntry& e) {
      return &e != entry && e.pGroup == r;
    });
    if (!bound) groups.push_back(r);
  });
  return groups;
}

void CAccountsDlg::OnAdd() {
  CAccountEditDlg dialog(SAccountEntry(), FreeGroups(nullptr), true, this);
  if (Prompt().RunModal(dialog) != QDialog::Accepted) return;
  m_entries.push_back(dialog.Entry());
  Refill(static_cast<int>(m_entries.size()) - 1);
}

void CAccountsDlg::OnEdit() {
  const int i = Current();
  if (i < 0) return;
  CAccountEditDlg dialog(m_entries[i], FreeGroups(&m_entries[i]), false, this);
  if (Prompt().RunModal(dialog) != QDialog::Accepted) return;
  m_entries[i] = dialog.Entry();
  Refill(i);
}

void CAccountsDlg::OnRemove() {
  const int i = Current();
  if (i < 0) return;
  const sync::SBinding& b = m_entries[i].binding;
  if (!Prompt().AskYesNo(tr("Remove the binding of the group \"%1\" to the address book \"%2\"? "
                            "The group and its contacts stay in the tree, and the address book "
                            "stays on the server.")
                             .arg(m_pList->topLevelItem(i)->text(0), ToQString(b.bookName))))
    return;
  m_entries.erase(m_entries.begin() + i);
  Refill(i);
}

}  // namespace zorvan
