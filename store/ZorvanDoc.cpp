#include "store/ZorvanDoc.h"

#include <algorithm>

#include "res/StringTable.h"
#include "store/AtomicFile.h"
#include "store/FileRead.h"
#include "store/RecordIdentity.h"
#include "store/ZvdFile.h"
#include "store/ZvdLayout.h"

namespace zorvan {
namespace {

// Writes the file's parts one after the other into the file that takes the old one's place
// only once they are all on the disk: the records and the photos go from where they are held,
// and no copy of the whole file is made first.
bool WritePartsAtomically(const std::string& path, const SZvdFileParts& parts, std::string& error,
                          std::string& note) {
  CAtomicFile file;
  if (file.Open(path) &&
      parts.WriteTo([&file](std::string_view piece) { return file.Write(piece); }) &&
      file.Commit()) {
    note = file.Note();
    return true;
  }
  error = file.Error();
  return false;
}

}  // namespace

CZorvanDoc::CZorvanDoc(IHost& host)
    : m_host(host), m_nMaxFileBytes(zvd_layout::MaxDatabaseBytes()) {
  ResetLabels();
}

CZorvanDoc::~CZorvanDoc() = default;

void CZorvanDoc::SetModifiedFlag(bool modified) {
  // A change made outside any step cannot be undone: no undoing returns to the saved file.
  if (modified && m_nChangeDepth == 0) m_history.LoseSaved();
  ChangeModifiedFlag(modified);
}

void CZorvanDoc::ChangeModifiedFlag(bool modified) {
  if (m_bModified == modified) return;
  m_bModified = modified;
  if (m_onModifiedChanged) m_onModifiedChanged(modified);
}

void CZorvanDoc::SetPathName(const std::string& path) {
  m_strPathName = path;
  const size_t slash = path.rfind('/');
  m_strTitle = slash == std::string::npos ? path : path.substr(slash + 1);
}

void CZorvanDoc::AddObserver(IDocObserver* observer) {
  if (std::find(m_observers.begin(), m_observers.end(), observer) == m_observers.end())
    m_observers.push_back(observer);
}

void CZorvanDoc::RemoveObserver(IDocObserver* observer) {
  m_observers.erase(std::remove(m_observers.begin(), m_observers.end(), observer),
                    m_observers.end());
}

void CZorvanDoc::UpdateAllViews(IDocObserver* sender, int hint, CTreeItem* object) {
  // A view may add or remove observers while it reacts; walk a snapshot.
  const std::vector<IDocObserver*> observers = m_observers;
  for (IDocObserver* o : observers)
    if (o != sender) o->OnUpdate(sender, hint, object);
}

void CZorvanDoc::NotifyAboutToDestroy(CTreeItem* node) {
  const std::vector<IDocObserver*> observers = m_observers;
  for (IDocObserver* o : observers) o->OnAboutToDestroy(node);
}

CTreeItem* CZorvanDoc::Category(int category) const {
  CTreeItem* calendar = CalendarRoot();
  if (!calendar || category < 0 || static_cast<size_t>(category) >= calendar->ChildCount())
    return nullptr;
  return calendar->Child(static_cast<size_t>(category));
}

void CZorvanDoc::ResetLabels() {
  m_strContactsLabel = LoadString(IDS_CONTACTS);
  m_strCalendarLabel = LoadString(IDS_CALENDAR);
  m_strBirthdaysLabel = LoadString(IDS_BIRTHDAYS);
  m_strNamedaysLabel = LoadString(IDS_NAMEDAYS);
  m_strAnniversariesLabel = LoadString(IDS_ANNIVERSARIES);
  m_strCalNamesLabel = LoadString(IDS_CALNAMES);
}

void CZorvanDoc::LoadSettingsCalendar() {
  m_bNamedaysFromFirstNames =
      m_host.GetProfileString("Settings", "NamedaysFromFirstNames", "0") == "1";
  const CStatus loaded = LoadCalendarResource(CalendarResourcePath());
  if (loaded) return;
  // An empty list: its only entry has day 0.
  m_pCalNames = std::make_unique<std::vector<CCalName>>();
  m_pCalNames->push_back({0, 0, "***"});
  // A database without calendar names is still usable: the user hears of it and goes on.
  m_host.ShowFileError(LoadString(IDS_CALENDAR_READ_ERROR), loaded);
}

void CZorvanDoc::SetNamedaysFromFirstNames(bool on) {
  m_bNamedaysFromFirstNames = on;
  m_host.WriteProfileString("Settings", "NamedaysFromFirstNames", on ? "1" : "0");
}

std::string CZorvanDoc::CalendarResourcePath() const {
  return m_host.GetProfileString("Settings", "Resource", LoadString(IDS_DEFAULT_CALENDAR));
}

void CZorvanDoc::SetCalendarResource(const std::string& path) {
  m_host.WriteProfileString("Settings", "Resource", path);
  m_host.MessageBox(LoadString(IDS_CALENDAR_LOADED), EMsgIcon::None);
}

void CZorvanDoc::DestroyTree() {
  m_importedWithoutItem.clear();
  m_history.Clear();
  if (m_onHistoryChanged) m_onHistoryChanged();
  NotifyAboutToDestroy(nullptr);
  m_items.RemoveAll();
}

void CZorvanDoc::BuildBasicElements(bool withResourceLabels) {
  const std::string contacts = withResourceLabels ? m_strContactsLabel : LoadString(IDS_CONTACTS);
  const std::string calendar = withResourceLabels ? m_strCalendarLabel : LoadString(IDS_CALENDAR);
  auto* contactsRoot = new CTreeItem;
  contactsRoot->m_strLabel = contacts;
  contactsRoot->m_nKind = kindContacts;
  contactsRoot->m_bGroup = 1;
  auto* calendarRoot = new CTreeItem;
  calendarRoot->m_strLabel = calendar;
  calendarRoot->m_nKind = kindCalendar;
  calendarRoot->m_bGroup = 1;
  m_items.Add(contactsRoot);
  m_items.Add(calendarRoot);
  const std::string categories[4] = {
      withResourceLabels ? m_strBirthdaysLabel : LoadString(IDS_BIRTHDAYS),
      withResourceLabels ? m_strAnniversariesLabel : LoadString(IDS_ANNIVERSARIES),
      withResourceLabels ? m_strNamedaysLabel : LoadString(IDS_NAMEDAYS),
      withResourceLabels ? m_strCalNamesLabel : LoadString(IDS_CALNAMES)};
  for (const std::string& label : categories) {
    auto* category = new CTreeItem;
    category->m_strLabel = label;
    category->m_bGroup = 1;
    CTreeItem::AddChild(calendarRoot, category);
  }
}

bool CZorvanDoc::OnNewDocument() {
  m_strPathName.clear();
  m_keptSections.clear();
  m_strTrailerNote.clear();
  SetModifiedFlag(false);
  m_diskStamp = SFileStamp();
  m_dtCalendarDay = CurrentLocalTime();
  DestroyTree();
  ResetLabels();
  LoadSettingsCalendar();
  BuildBasicElements(true);
  BuildEventNodes(ContactsRoot());
  BuildCalNameNodes();
  m_strTitle = LoadString(IDS_UNTITLED);
  UpdateAllViews(nullptr, HINT_NONE, nullptr);
  return true;
}

CStatus CZorvanDoc::OnOpenDocument(const std::string& path) {
  std::string error;
  // A save killed at its rename left a complete copy beside the file; it goes when the file
  // is opened again, not only at its next save.
  RemoveStaleTemporariesOf(path);
  const SFileStamp stamp = SFileStamp::Of(path);
  // The file is read whole before anything of the open database is given up: a file that is
  // missing, a folder or damaged leaves the database that was open as it was.
  CTreeItem loaded;
  loaded.m_nKind = kindContacts;
  SZvdExtras extras;
  // The file's bytes are given back as its records are read: a large file's peak of memory
  // holds the records or the event nodes, not the file as well.
  if (!LoadDatabaseFile(path, loaded, error, &extras, m_nMaxFileBytes))
    return CStatus::Failure(path, error);

  DestroyTree();
  m_dtCalendarDay = CurrentLocalTime();
  ResetLabels();
  LoadSettingsCalendar();
  // A loaded database has the built-in labels, whatever the calendar resource says.
  BuildBasicElements(false);
  CTreeItem* root = ContactsRoot();
  std::swap(root->m_pChildren, loaded.m_pChildren);
  for (size_t i = 0; i < root->ChildCount(); ++i) root->Child(i)->m_pParent = root;
  if (m_bMakesEventNodes) BuildEventNodes(root);
  BuildCalNameNodes();
  SetPathName(path);
  SetModifiedFlag(false);
  m_diskStamp = stamp;
  m_keptSections = std::move(extras.kept);
  m_strTrailerNote = std::move(extras.ignored);
  UpdateAllViews(nullptr, HINT_NONE, nullptr);
  return CStatus::Success();
}

CStatus CZorvanDoc::OnSaveDocument(const std::string& path) {
  SZvdFileParts parts;
  std::string error, note;
  if (!StoreDatabase(ContactsRoot(), m_nMaxFileBytes, parts, error, m_keptSections) ||
      !WritePartsAtomically(path, parts, error, note))
    return CStatus::Failure(path, error);
  SetPathName(path);
  SetModifiedFlag(false);
  m_history.MarkSaved();
  m_diskStamp = SFileStamp::Of(path);
  m_strTrailerNote.clear();
  return note.empty() ? CStatus::Success() : CStatus::SuccessWithNote(path, note);
}

const std::string* CZorvanDoc::KeptSection(std::string_view tag) const {
  for (const zvd_trailer::SSection& section : m_keptSections)
    if (section.tag == tag) return &section.payload;
  return nullptr;
}

void CZorvanDoc::SetKeptSection(std::string_view tag, std::string payload) {
  auto it = std::find_if(m_keptSections.begin(), m_keptSections.end(),
                         [&](const zvd_trailer::SSection& s) { return s.tag == tag; });
  if (it == m_keptSections.end() ? !payload.empty() : it->payload != payload) {
    KeepSectionForUndo(tag);
    it = std::find_if(m_keptSections.begin(), m_keptSections.end(),
                      [&](const zvd_trailer::SSection& s) { return s.tag == tag; });
  }
  if (it == m_keptSections.end()) {
    if (payload.empty()) return;
    m_keptSections.push_back({std::string(tag), std::move(payload)});
  } else if (payload.empty()) {
    m_keptSections.erase(it);
  } else if (it->payload != payload) {
    it->payload = std::move(payload);
  } else {
    return;
  }
  SetModifiedFlag(true);
}

CStatus CZorvanDoc::SaveBaseCopy(const std::string& path) const {
  SZvdFileParts parts;
  std::string error, note;
  if (!StoreDatabase(ContactsRoot(), m_nMaxFileBytes, parts, error, {}, EZvdTrailer::none) ||
      !WritePartsAtomically(path, parts, error, note))
    return CStatus::Failure(path, error);
  return note.empty() ? CStatus::Success() : CStatus::SuccessWithNote(path, note);
}

CStatus CZorvanDoc::SaveUnderLock(const std::string& path, const CDatabaseLock& lock) {
  if (!lock.StillHeld())
    return CStatus::Failure(path, "its lock file " + lock.LockPath() +
                                      " was removed or replaced while this program held it, so "
                                      "another program may be changing it; nothing was saved");
  if (!(SFileStamp::Of(path) == m_diskStamp))
    return CStatus::Failure(path,
                            "another program changed it after it was read here; nothing was saved");
  return OnSaveDocument(path);
}

bool CZorvanDoc::ChangedOnDisk() const {
  return !m_strPathName.empty() && !(SFileStamp::Of(m_strPathName) == m_diskStamp);
}

void CZorvanDoc::DestroyBranch(CTreeItem* node) {
  const CTreeItemList& siblings = *node->m_pParent->m_pChildren;
  const auto at = std::find(siblings.begin(), siblings.end(), node);
  RemoveChildren(node->m_pParent, static_cast<size_t>(at - siblings.begin()), 1);
}

namespace {

// A node with records below it says how many go with it, so that Delete on a group of
// thousands is not asked about as "this contact".
size_t RecordsBelow(const CTreeItem& node) {
  size_t below = 0;
  WalkSubtreeWhile(node, [&below](const CTreeItem& n) {
    below += n.ChildCount();
    return true;
  });
  return below;
}

std::string DeleteQuestion(const CTreeItem& node) {
  const size_t below = RecordsBelow(node);
  if (below == 0) return LoadString(IDS_DELETE_QUESTION);
  if (below == 1)
    return Formatted(LoadString(IDS_DELETE_BRANCH_QUESTION_ONE),
                     {std::string(node.m_strLabel.view())});
  return Formatted(LoadString(IDS_DELETE_BRANCH_QUESTION),
                   {std::string(node.m_strLabel.view()), CountText(below)});
}

}  // namespace

bool CZorvanDoc::DeleteNode(CTreeItem* node) {
  if (!node) return false;
  if (!node->m_pParent) {
    m_host.MessageBox(LoadString(IDS_DELETE_BASIC), EMsgIcon::Error);
    return false;
  }
  if (node->m_nKind != kindCalendar && !m_host.AskYesNo(DeleteQuestion(*node))) return false;
  CChange change = BeginChange({EStepKind::remove, node->m_strLabel.str(), RecordsBelow(*node)});
  DestroyBranch(node);
  return true;
}

void CZorvanDoc::RemoveBranch(CTreeItem* node) {
  if (!node || !node->m_pParent) return;
  CChange change = BeginChange({EStepKind::remove, node->m_strLabel.str(), RecordsBelow(*node)});
  DestroyBranch(node);
  SetModifiedFlag(true);
}

CTreeItem* CZorvanDoc::CreateRecord(CTreeItem* parent) {
  if (!parent || parent->m_nKind == kindCalendar) return nullptr;
  auto* record = new CTreeItem;
  record->m_strLabel = LoadString(IDS_UNNAMED);
  CChange change = BeginChange({EStepKind::create, record->m_strLabel.str()});
  CTreeItem::AddChild(parent, record);
  AddInserted(parent, parent->ChildCount() - 1, 1);
  InsertTreeItem(record);
  SetModifiedFlag(true);
  return record;
}

CTreeItem* CZorvanDoc::CopyBranch(CTreeItem* source, CTreeItem* target) {
  if (!source || !target || source == target || source->m_nKind == kindCalendar ||
      target->m_nKind == kindCalendar || !source->m_pParent)
    return nullptr;
  for (const CTreeItem* p = target; p; p = p->m_pParent)
    if (p == source) return nullptr;  // a branch cannot go into itself
  CChange change = BeginChange({EStepKind::copy, source->m_strLabel.str(), RecordsBelow(*source)});

  // Pre-order, so that every copy has its item before its children get theirs.
  struct SStep {
    const CTreeItem* source;
    CTreeItem* targetParent;
  };
  std::vector<SStep> stack{{source, target}};
  CTreeItem* top = nullptr;
  while (!stack.empty()) {
    const SStep step = stack.back();
    stack.pop_back();
    auto* copy = new CTreeItem(*step.source);
    copy->m_hItem = nullptr;
    copy->m_pLinked = nullptr;
    copy->m_bDeleted = 0;
    CTreeItem::AddChild(step.targetParent, copy);
    InsertTreeItem(copy);
    if (!top) top = copy;
    for (size_t i = step.source->ChildCount(); i-- > 0;)
      stack.push_back({step.source->Child(i), copy});
  }
  AddInserted(target, target->ChildCount() - 1, 1);
  AddEventNodesForSubtree(top);
  if (m_pTreePort && target->m_hItem) m_pTreePort->SortChildren(target->m_hItem);
  return top;
}

CTreeItem* CZorvanDoc::MoveBranch(CTreeItem* source, CTreeItem* target) {
  CChange change = BeginChange({EStepKind::move, source ? source->m_strLabel.str() : std::string(),
                                source ? RecordsBelow(*source) : 0});
  CTreeItem* copy = CopyBranch(source, target);
  if (!copy) return nullptr;
  // A move leaves the same contacts in another place: they keep their extras, identity and
  // all, and the shared ones among them tell of the change (their groups are others now). The
  // copy has the source's shape, child for child.
  MoveExtras(source, copy);
  DestroyBranch(source);
  return copy;
}

void CZorvanDoc::RecordAppearanceChanged(CTreeItem* record, ERecordChange change) {
  if (!record) return;
  ShowAppearance(record, change);
  SetModifiedFlag(true);
}

void CZorvanDoc::ShowAppearance(CTreeItem* record, ERecordChange change) {
  TreeHandle item = m_pTreePort ? record->m_hItem : nullptr;
  if (change == ERecordChange::Group) {
    if (item) m_pTreePort->SetItemImage(item, NodeImage(*record));
  } else {
    if (item) m_pTreePort->SetItemText(item, record->m_strLabel.str());
    RenameEventNodes(record);
    if (item && change == ERecordChange::Label) SortPlaceOf(record);
  }
}

void CZorvanDoc::AppendImportedRecord(CTreeItem* record) {
  CTreeItem::AddChild(ContactsRoot(), record);
  if (!m_pTreePort) return;
  // Batches small enough that the tree shows the records coming in while a long import runs.
  constexpr size_t kItemBatch = 1024;
  m_importedWithoutItem.push_back(record);
  if (m_importedWithoutItem.size() >= kItemBatch) InsertImportedItems();
}

void CZorvanDoc::InsertImportedItems() {
  CTreeItem* root = ContactsRoot();
  if (m_pTreePort && !m_importedWithoutItem.empty())
    m_pTreePort->InsertItems(root->m_hItem, m_importedWithoutItem);
  m_importedWithoutItem.clear();
}

void CZorvanDoc::CompleteImport(size_t firstImported) {
  InsertImportedItems();
  CTreeItem* root = ContactsRoot();
  if (!root || firstImported >= root->ChildCount()) return;
  CChange change = BeginChange({EStepKind::import, {}, root->ChildCount() - firstImported});
  AddInserted(root, firstImported, root->ChildCount() - firstImported);
  AddImportedEventNodes(firstImported);
  if (m_pTreePort && root->m_hItem) m_pTreePort->SortChildren(root->m_hItem);
  SetModifiedFlag(true);
}

CTreeItem* CZorvanDoc::AppendImportedBranch(CTreeItem* parent, std::unique_ptr<CTreeItem> branch) {
  if (!parent || !branch || parent->m_nKind != kindContacts) return nullptr;
  CTreeItem* top = branch.release();
  CChange change = BeginChange({EStepKind::import, top->m_strLabel.str(), RecordsBelow(*top)});
  CTreeItem::AddChild(parent, top);
  AddInserted(parent, parent->ChildCount() - 1, 1);
  // The branch was built apart from the tree: its nodes take the contacts branch now.
  ForEachInSubtree(top, [](CTreeItem* node) {
    node->m_nKind = kindContacts;
    node->m_hItem = nullptr;
  });
  InsertBranchItems(parent, {top});
  AddEventNodesBelow({top});
  SetModifiedFlag(true);
  return top;
}

void CZorvanDoc::InsertBranchItems(CTreeItem* parent, const std::vector<CTreeItem*>& tops) {
  if (!m_pTreePort || !parent->m_hItem || tops.empty()) return;
  // Parents before children, a level at a time: a control told of many items at once spends
  // far less than one told of each alone.
  m_pTreePort->InsertItems(parent->m_hItem, tops);
  std::vector<CTreeItem*> parents(tops);
  while (!parents.empty()) {
    CTreeItem* p = parents.back();
    parents.pop_back();
    if (p->ChildCount() == 0 || !p->m_hItem) continue;
    m_pTreePort->InsertItems(p->m_hItem, *p->m_pChildren);
    if (p->ChildCount() > 1) m_pTreePort->SortChildren(p->m_hItem);
    for (size_t i = 0; i < p->ChildCount(); ++i)
      if (p->Child(i)->ChildCount() != 0) parents.push_back(p->Child(i));
  }
  m_pTreePort->SortChildren(parent->m_hItem);
}

void CZorvanDoc::InsertTreeItem(CTreeItem* node) {
  if (m_pTreePort)
    node->m_hItem = m_pTreePort->InsertItem(node->m_pParent->m_hItem, node, node->m_strLabel.str(),
                                            NodeImage(*node));
}

}  // namespace zorvan
