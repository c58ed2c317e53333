#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_set>
#include <utility>
#include <vector>

#include "store/CalName.h"
#include "store/DatabaseLock.h"
#include "store/DocObserver.h"
#include "store/ExtensionTrailer.h"
#include "store/History.h"
#include "store/Host.h"
#include "store/Status.h"
#include "store/TreeItemArray.h"
#include "store/TreeViewPort.h"

namespace zorvan {

// What changed in how a record shows in the tree.
enum class ERecordChange {
  Group,         // the group flag, set in the form: the record's picture
  Label,         // the label, set in the form: the caption, the siblings' order, the event nodes
  LabelInPlace,  // the label, edited in the tree itself: the caption and the event nodes; the
                 // tree view sorts them once its editor has closed
};

// The calendar categories below the "Calendar" root, by position.
enum ECategory { catBirthdays = 0, catAnniversaries = 1, catNamedays = 2, catCalNames = 3 };

// The one document: owns the tree, the labels of the basic elements, the calendar names of the
// calendar resource and the day the calendar shows. Messages and settings go through the host;
// the tree view's control through the port; the views hear of changes as observers.
class CZorvanDoc {
 public:
  explicit CZorvanDoc(IHost& host);
  CZorvanDoc(const CZorvanDoc&) = delete;
  CZorvanDoc& operator=(const CZorvanDoc&) = delete;
  ~CZorvanDoc();

  // --- The document's frame: file name, title, modified flag, views ---
  const std::string& GetPathName() const { return m_strPathName; }
  void SetPathName(const std::string& path);  // also makes the title the file's name
  const std::string& GetTitle() const { return m_strTitle; }
  void SetTitle(const std::string& title) { m_strTitle = title; }
  bool IsModified() const { return m_bModified; }
  void SetModifiedFlag(bool modified = true);
  // Who is told when the modified flag changes (the window's title); empty for nobody.
  void SetModifiedListener(std::function<void(bool)> listener) {
    m_onModifiedChanged = std::move(listener);
  }

  void AddObserver(IDocObserver* observer);
  void RemoveObserver(IDocObserver* observer);
  // Sends the hint to every observer except the sender.
  void UpdateAllViews(IDocObserver* sender, int hint, CTreeItem* object);
  void SetTreeViewPort(ITreeViewPort* port) { m_pTreePort = port; }
  ITreeViewPort* GetTreeViewPort() const { return m_pTreePort; }
  IHost& Host() const { return m_host; }

  // --- New, Open, Save ---
  // New and Open first tell the observers that the whole tree goes (OnAboutToDestroy(null))
  // and end by sending HINT_NONE: the views then refill from the new tree.
  // A new, empty database with its basic elements; clears the file name and the modified flag.
  bool OnNewDocument();
  // Opens a database. The file is read whole first: on failure the database that was open stays
  // as it was (nobody ever sees a half-read tree), and the file and the reason are returned for
  // the caller to tell the user.
  CStatus OnOpenDocument(const std::string& path);
  // Writes the contacts branch crash-safely; on success takes path as the file name and clears
  // the modified flag. On failure returns the file and the reason; nothing is changed.
  // A tree that would give a file no reader opens again (see StoreDatabase) is not saved.
  CStatus OnSaveDocument(const std::string& path);
  // OnSaveDocument for a program that holds the database's lock since it read it: refused,
  // with the reason, when the lock file is no longer the one locked or the file on disk is no
  // longer the one this document read (none for a new database), as either means another
  // program may have saved in between and its work would be lost.
  CStatus SaveUnderLock(const std::string& path, const CDatabaseLock& lock);
  // Writes the contacts branch crash-safely to path in the base format alone, for the older
  // program: no extension trailer, so texts the code page cannot hold keep only their "?"
  // form. The document's file name, modified flag and extras stay as they are.
  CStatus SaveBaseCopy(const std::string& path) const;
  // The largest file Open reads and Save writes, zvd_layout::MaxDatabaseBytes() unless set
  // otherwise (a test's small bound).
  void SetMaxFileBytes(std::uint64_t bytes) { m_nMaxFileBytes = bytes; }
  std::uint64_t MaxFileBytes() const { return m_nMaxFileBytes; }
  // Whether Open and the imports give the calendar branch its event nodes, as they do unless
  // told otherwise: a command that only reads or writes the contacts branch (an export, an
  // import that is saved and done) does without them, and saves a large database's time and
  // memory. The saved file is the same either way: the branch is made from the contacts.
  void SetMakesEventNodes(bool makes) { m_bMakesEventNodes = makes; }
  // True when the file on disk is no longer the one the document read or last saved (another
  // program saved over it or changed it meanwhile): a save would lose that program's work.
  // False for a document without a file.
  bool ChangedOnDisk() const;
  // Why the extension trailer of the file last opened was ignored (damaged, or written for
  // other records): its contacts were read without it. Empty when there was none to ignore.
  const std::string& TrailerNote() const { return m_strTrailerNote; }
  // A trailer section that a layer above the store reads and writes itself (the
  // synchronisation state): its payload as the file held it or as last set, null when there is
  // none. Saved with the database like every kept section.
  const std::string* KeptSection(std::string_view tag) const;
  // Sets the payload of the section of tag, adding the section when there is none; an empty
  // payload takes the section away. Marks the document modified when that changes anything.
  void SetKeptSection(std::string_view tag, std::string payload);

  // --- The tree ---
  CTreeItem* ContactsRoot() const { return m_items.IsEmpty() ? nullptr : m_items.GetAt(0); }
  CTreeItem* CalendarRoot() const { return m_items.GetSize() < 2 ? nullptr : m_items.GetAt(1); }
  CTreeItem* Category(int category) const;  // null when the calendar root lacks it

  // Deletes node and its subtree after the checks and the question (none for calendar nodes).
  // Also removes the calendar event nodes of every record that goes. True when deleted.
  bool DeleteNode(CTreeItem* node);
  // Destroys node and its subtree without a question (a contact deleted on a server the
  // database keeps in step with), with its items and event nodes; marks the document modified.
  void RemoveBranch(CTreeItem* node);
  // A new record "Unnamed" as the last child of parent (not for calendar nodes), with its item
  // in the tree view. Marks the document modified. Null when parent cannot take one.
  CTreeItem* CreateRecord(CTreeItem* parent);
  // Copies source with its subtree as the last child of target, with tree items and event
  // nodes for the copies' set dates; returns the copy. Null when either is a calendar node or
  // target lies in source's subtree.
  CTreeItem* CopyBranch(CTreeItem* source, CTreeItem* target);
  // CopyBranch, then destroys the source branch (with its items and event nodes). The records
  // keep their extras, and those with an identity get a new REV (TouchRecord). Returns the
  // copy, null when refused.
  CTreeItem* MoveBranch(CTreeItem* source, CTreeItem* target);
  // After the record's label or group flag changed: brings its tree item (and, for a label,
  // its calendar event nodes) in step through the tree view port and marks the document
  // modified, a relabelled or regrouped record being a change to be saved.
  void RecordAppearanceChanged(CTreeItem* record, ERecordChange change);
  // Sorts the record's siblings and the event nodes of each category it has one in, in the
  // tree view, after its label changed: the tree is always in the user's order.
  void SortPlaceOf(CTreeItem* record);
  // Appends a record made elsewhere (an import) as the last child of the contacts root. The
  // document takes ownership. The records' items go into the tree view a batch at a time, the
  // last batch with CompleteImport.
  void AppendImportedRecord(CTreeItem* record);
  // Ends an import that appended records from position firstImported of the contacts root on:
  // their birthdays, anniversaries and namedays get their event nodes at once (one sort per
  // category, however many came in), the contacts root's items are sorted once, as every
  // contacts level is when the tree is filled, and the document is marked modified when any
  // record came in, so that closing asks to save them.
  void CompleteImport(size_t firstImported);
  // Appends a branch built elsewhere (an import's new group with every record below it) as the
  // last child of parent, a record of the contacts branch; the document takes ownership. Every
  // node of the branch gets its item in the tree view, each level of it and parent's children
  // are sorted as the fill sorts them, the records' dates get their event nodes, and the
  // document is marked modified. Returns the branch's top, null (and destroys the branch) when
  // parent cannot take it.
  CTreeItem* AppendImportedBranch(CTreeItem* parent, std::unique_ptr<CTreeItem> branch);

  // --- Undo and redo ---
  // A step of the user's, named for the Undo command: every change the document makes to the
  // database while the returned scope lives goes into it, and a scope begun inside another joins
  // it. With a merge key (the edit box typed in) and its record, changes one after another
  // through the same box of the same record make one step, as typing does in a text editor.
  class CChange {
   public:
    CChange(CChange&& other) noexcept : m_pDoc(std::exchange(other.m_pDoc, nullptr)) {}
    CChange(const CChange&) = delete;
    CChange& operator=(const CChange&) = delete;
    CChange& operator=(CChange&&) = delete;
    ~CChange();

   private:
    friend class CZorvanDoc;
    explicit CChange(CZorvanDoc* doc) : m_pDoc(doc) {}
    CZorvanDoc* m_pDoc;
  };
  [[nodiscard]] CChange BeginChange(SStepName name, const void* mergeKey = nullptr,
                                    const CTreeItem* mergeRecord = nullptr);
  // Before the record's fields or extras are changed in place, within a change: keeps what the
  // record holds now, once a step, for Undo to give back.
  void RecordWillChange(CTreeItem* record);
  bool CanUndo() const { return m_history.CanUndo(); }
  bool CanRedo() const { return m_history.CanRedo(); }
  const SStepName* UndoName() const { return m_history.UndoName(); }
  const SStepName* RedoName() const { return m_history.RedoName(); }
  // Undoes or redoes the last step (nothing while a change is being made). The tree view, the
  // calendar branch and the modified flag follow as they followed the change. Returns the record
  // the step was about when it is in the tree, for the window to show; null otherwise.
  CTreeItem* Undo();
  CTreeItem* Redo();
  // Whether a change with the merge key of record would join the newest step.
  bool CanJoin(const void* mergeKey, const CTreeItem* record) {
    return m_history.MergeTarget(mergeKey, record) != nullptr;
  }
  // The next change starts a step of its own, whatever its merge key.
  void EndMerging() { m_history.EndMerging(); }
  CHistory& History() { return m_history; }
  // Who is told when the steps to undo or redo change (the Edit menu); empty for nobody.
  void SetHistoryListener(std::function<void()> listener) {
    m_onHistoryChanged = std::move(listener);
  }

  // --- Calendar branch ---
  void BuildEventNodes(CTreeItem* record);
  void BuildCalNameNodes();
  void SyncEventNodes(CTreeItem* record);
  CTreeItem* AddEventNode(CTreeItem* record, int category);
  void RenameEventNodes(CTreeItem* record);
  // The calendar-name list up to its end (the last entry or the first with day 0).
  size_t CalNameCount() const;

  // --- Calendar resource ---
  // Reads a calendar resource: replaces the calendar names and sets the labels it names. A
  // failure names the file it looked for (the path resolved as ResolveCalendarPath does).
  CStatus LoadCalendarResource(const std::string& path);
  // The settings' resource path (default "American.cal").
  std::string CalendarResourcePath() const;
  // The Calendar Resource command after the user chose a file: stores it in the settings and
  // tells that it takes effect at the next New or Open.
  void SetCalendarResource(const std::string& path);

  // Whether a contact without a nameday of its own has one on the day the calendar resource
  // gives its first name (a setting, off unless the user turned it on; read with the resource).
  bool NamedaysFromFirstNames() const { return m_bNamedaysFromFirstNames; }
  // Turns it on or off now and keeps the choice in the settings.
  void SetNamedaysFromFirstNames(bool on);

  // Top-level nodes: index 0 the "Contacts" root, index 1 the "Calendar" root.
  CTreeItemArray m_items;

  std::string m_strCalNamesLabel;
  std::string m_strAnniversariesLabel;
  std::string m_strNamedaysLabel;
  std::string m_strBirthdaysLabel;
  std::string m_strCalendarLabel;
  std::string m_strContactsLabel;

  std::unique_ptr<std::vector<CCalName>> m_pCalNames;

  int m_nProgress = 0;

  CDateTime m_dtCalendarDay;

 private:
  void ResetLabels();
  void LoadSettingsCalendar();
  void BuildBasicElements(bool withResourceLabels);
  void DestroyTree();
  void NotifyAboutToDestroy(CTreeItem* node);
  void AddEventNodesForSubtree(CTreeItem* subtreeRoot);
  void AddImportedEventNodes(size_t firstImported);
  // The event nodes of every record below the given tops, as a database opened again has them.
  void AddEventNodesBelow(const std::vector<CTreeItem*>& tops);
  // Gives the imported records that have none their items in the tree view.
  void InsertImportedItems();
  void DestroyBranch(CTreeItem* node);
  // Gives node an item in the tree view under its parent's item, with its label and image.
  void InsertTreeItem(CTreeItem* node);
  // Gives the branches of tops, new children of parent, their items, each level sorted.
  void InsertBranchItems(CTreeItem* parent, const std::vector<CTreeItem*>& tops);

  // Nodes taken out of the tree with their places, for a step to put back: a run of siblings
  // and the event nodes of the records below them, each with its index at the time.
  struct SHeldNodes {
    using SPlaced = std::pair<size_t, std::unique_ptr<CTreeItem>>;
    struct SEvents {
      CTreeItem* category = nullptr;
      std::vector<SPlaced> nodes;
    };
    CTreeItem* parent = nullptr;
    size_t first = 0;
    std::vector<std::unique_ptr<CTreeItem>> nodes;
    std::vector<SEvents> events;
    size_t bytes = 0;
  };
  friend class CPlaceStep;
  friend class CStateStep;
  friend class CKeptSectionStep;
  friend class CExtrasMoveStep;
  // Takes count children of parent from first on out of the tree, with their items and their
  // records' event nodes, telling the observers they go.
  SHeldNodes DetachChildren(CTreeItem* parent, size_t first, size_t count);
  // Puts held nodes back where they were, with items and event nodes.
  void AttachHeld(SHeldNodes& held);
  // The tree view after the record's group flag or label changed: its picture, or its caption,
  // event nodes and place among its siblings, as RecordAppearanceChanged tells of them.
  void ShowAppearance(CTreeItem* record, ERecordChange change);
  // The tree view after a record's fields came back: its caption, picture and event nodes.
  void RecordRestored(CTreeItem* record, bool labelChanged, bool groupChanged);
  // A part of the change being made; destroyed at once when the history keeps nothing.
  void AddPart(std::unique_ptr<IUndoStep> part);
  // The step for count children of parent from first on that were just put into the tree.
  void AddInserted(CTreeItem* parent, size_t first, size_t count);
  void EndChange();
  // Takes the children out of the tree into a part of the change (destroyed at once when the
  // history keeps nothing).
  void RemoveChildren(CTreeItem* parent, size_t first, size_t count);
  // A move's extras go from the source's records to the copy's, the copies touched.
  void MoveExtras(CTreeItem* source, CTreeItem* copy);
  // Before the section of tag changes within a change: keeps it as it is.
  void KeepSectionForUndo(std::string_view tag);
  void ChangeModifiedFlag(bool modified);

  CHistory m_history;
  std::function<void()> m_onHistoryChanged;
  int m_nChangeDepth = 0;
  CHistory::SStep m_openStep;
  CHistory::SStep* m_pMergeInto = nullptr;
  std::unordered_set<const CTreeItem*> m_snapshotted;

  IHost& m_host;
  ITreeViewPort* m_pTreePort = nullptr;
  std::vector<IDocObserver*> m_observers;
  std::string m_strPathName;
  std::string m_strTitle;
  bool m_bModified = false;
  bool m_bNamedaysFromFirstNames = false;
  bool m_bMakesEventNodes = true;
  std::function<void(bool)> m_onModifiedChanged;
  SFileStamp m_diskStamp;
  std::uint64_t m_nMaxFileBytes;
  std::vector<CTreeItem*> m_importedWithoutItem;
  // The trailer sections of the file opened that this program does not read, saved with it.
  std::vector<zvd_trailer::SSection> m_keptSections;
  std::string m_strTrailerNote;
};

}  // namespace zorvan
