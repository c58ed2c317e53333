// The document's undo and redo: the parts a step is made of, and how the document takes nodes
// out of the tree and puts them back exactly where they were.
#include <algorithm>
#include <unordered_set>
#include <utility>

#include "store/CalendarEvents.h"
#include "store/RecordFields.h"
#include "store/RecordIdentity.h"
#include "store/ZorvanDoc.h"

namespace zorvan {
namespace {

// About what a node keeps alive: the node, its texts and its extras.
size_t NodeBytes(const CTreeItem& node) {
  size_t bytes =
      sizeof(CTreeItem) + node.ChildCount() * sizeof(CTreeItem*) + node.m_texts.BlockBytes();
  if (const SRecordExtras* extras = node.m_pExtras.get()) {
    bytes += sizeof(SRecordExtras) + extras->uid.size() + extras->rev.size() +
             extras->photo.size() + extras->photoType.size();
    for (const std::string& line : extras->properties) bytes += sizeof(line) + line.size();
  }
  return bytes;
}

size_t ExtrasBytes(const std::unique_ptr<SRecordExtras>& extras) {
  if (!extras) return 0;
  size_t bytes = sizeof(SRecordExtras) + extras->photo.size();
  for (const std::string& line : extras->properties) bytes += sizeof(line) + line.size();
  return bytes;
}

// Inserts the placed nodes into list at their indices, which ascend and were taken with every
// one of them in the list.
void InsertPlaced(CTreeItemList& list, std::vector<std::pair<size_t, CTreeItem*>> placed) {
  CTreeItemList merged;
  merged.reserve(list.size() + placed.size());
  size_t from = 0;
  for (auto& [index, node] : placed) {
    while (merged.size() < index && from < list.size()) merged.push_back(list[from++]);
    merged.push_back(node);
  }
  while (from < list.size()) merged.push_back(list[from++]);
  list.swap(merged);
}

}  // namespace

// Nodes put into the tree (a new record, a copy, an import) or taken out of it (a deletion):
// undo and redo each take them out or put them back.
class CPlaceStep final : public IUndoStep {
 public:
  // Nodes now in the tree: count children of parent from first on.
  CPlaceStep(CTreeItem* parent, size_t first, size_t count)
      : m_pParent(parent), m_nFirst(first), m_nCount(count) {}
  // Nodes just taken out.
  explicit CPlaceStep(CZorvanDoc::SHeldNodes held)
      : m_pParent(held.parent),
        m_nFirst(held.first),
        m_nCount(held.nodes.size()),
        m_held(std::move(held)),
        m_bHeld(true) {}

  void Undo(CZorvanDoc& doc) override { Toggle(doc); }
  void Redo(CZorvanDoc& doc) override { Toggle(doc); }
  size_t Bytes() const override { return sizeof(*this) + (m_bHeld ? m_held.bytes : 0); }
  CTreeItem* Subject() const override {
    if (m_bHeld) return m_pParent;
    return m_nCount == 1 ? m_pParent->Child(m_nFirst) : m_pParent;
  }

 private:
  void Toggle(CZorvanDoc& doc) {
    if (m_bHeld) {
      doc.AttachHeld(m_held);
      m_held = {};
    } else {
      m_held = doc.DetachChildren(m_pParent, m_nFirst, m_nCount);
    }
    m_bHeld = !m_bHeld;
  }

  CTreeItem* m_pParent;
  size_t m_nFirst;
  size_t m_nCount;
  CZorvanDoc::SHeldNodes m_held;
  bool m_bHeld = false;
};

// A record's fields and extras as they were: undo and redo each swap them with the record's.
class CStateStep final : public IUndoStep {
 public:
  explicit CStateStep(CTreeItem* record) : m_pRecord(record), m_data(*record) {
    if (record->m_pExtras) m_pExtras = std::make_unique<SRecordExtras>(*record->m_pExtras);
  }
  void Undo(CZorvanDoc& doc) override { Swap(doc); }
  void Redo(CZorvanDoc& doc) override { Swap(doc); }
  size_t Bytes() const override {
    size_t bytes = sizeof(*this) + ExtrasBytes(m_pExtras);
    for (const SRecordField& field : kRecordFields)
      if (field.pText) bytes += (m_data.*field.pText).size();
    return bytes;
  }
  CTreeItem* Subject() const override { return m_pRecord; }

 private:
  void Swap(CZorvanDoc& doc) {
    CContactData& data = *m_pRecord;
    const bool labelChanged = !(data.m_strLabel == m_data.m_strLabel);
    const bool groupChanged = data.m_bGroup != m_data.m_bGroup;
    std::swap(data, m_data);
    std::swap(m_pRecord->m_pExtras, m_pExtras);
    doc.RecordRestored(m_pRecord, labelChanged, groupChanged);
  }

  CTreeItem* m_pRecord;
  CContactData m_data;
  std::unique_ptr<SRecordExtras> m_pExtras;
};

// A section of the trailer as it was (the synchronisation's state): swapped like a record.
class CKeptSectionStep final : public IUndoStep {
 public:
  CKeptSectionStep(std::string tag, const std::string* payload)
      : m_strTag(std::move(tag)), m_strPayload(payload ? *payload : std::string()) {}
  void Undo(CZorvanDoc& doc) override { Swap(doc); }
  void Redo(CZorvanDoc& doc) override { Swap(doc); }
  size_t Bytes() const override { return sizeof(*this) + m_strPayload.size(); }

 private:
  void Swap(CZorvanDoc& doc) {
    auto& sections = doc.m_keptSections;
    auto it = std::find_if(sections.begin(), sections.end(),
                           [&](const zvd_trailer::SSection& s) { return s.tag == m_strTag; });
    std::string now = it == sections.end() ? std::string() : std::move(it->payload);
    if (it != sections.end() && m_strPayload.empty())
      sections.erase(it);
    else if (it != sections.end())
      it->payload = std::move(m_strPayload);
    else if (!m_strPayload.empty())
      sections.push_back({m_strTag, std::move(m_strPayload)});
    m_strPayload = std::move(now);
  }

  std::string m_strTag;
  std::string m_strPayload;
};

// A moved branch's extras: they went from the source's records to the copy's, and the copies
// with an identity got a new REV. Undo gives them back with the REV they had.
class CExtrasMoveStep final : public IUndoStep {
 public:
  CExtrasMoveStep(CTreeItem* source, CTreeItem* copy) : m_pSource(source), m_pCopy(copy) {}
  // Moves the extras and touches each copy, keeping both REVs of each touched one.
  template <typename Touch>
  void Do(Touch&& touch) {
    size_t k = 0;
    Walk([&](CTreeItem& from, CTreeItem& to) {
      to.m_pExtras = std::move(from.m_pExtras);
      const CText before = to.m_pExtras ? to.m_pExtras->rev : CText();
      if (touch(to)) m_revs.push_back({k, before, to.m_pExtras->rev});
      ++k;
    });
  }
  void Undo(CZorvanDoc&) override { Swap(false); }
  void Redo(CZorvanDoc&) override { Swap(true); }
  size_t Bytes() const override { return sizeof(*this) + m_revs.size() * sizeof(SRev); }

 private:
  struct SRev {
    size_t pair;
    CText before, after;
  };
  // Calls f(source record, its copy) for every pair, the copy having the source's shape.
  template <typename F>
  void Walk(F&& f) {
    std::vector<std::pair<CTreeItem*, CTreeItem*>> pairs{{m_pSource, m_pCopy}};
    while (!pairs.empty()) {
      const auto [from, to] = pairs.back();
      pairs.pop_back();
      f(*from, *to);
      for (size_t i = 0; i < from->ChildCount() && i < to->ChildCount(); ++i)
        pairs.emplace_back(from->Child(i), to->Child(i));
    }
  }
  void Swap(bool redo) {
    size_t k = 0, next = 0;
    Walk([&](CTreeItem& from, CTreeItem& to) {
      std::swap(to.m_pExtras, from.m_pExtras);
      CTreeItem& holder = redo ? to : from;
      if (next < m_revs.size() && m_revs[next].pair == k && holder.m_pExtras) {
        holder.m_pExtras->rev = redo ? m_revs[next].after : m_revs[next].before;
        ++next;
      }
      ++k;
    });
  }

  CTreeItem* m_pSource;
  CTreeItem* m_pCopy;
  std::vector<SRev> m_revs;
};

// --- The document's side ---

CZorvanDoc::CChange::~CChange() {
  if (m_pDoc) m_pDoc->EndChange();
}

CZorvanDoc::CChange CZorvanDoc::BeginChange(SStepName name, const void* mergeKey,
                                            const CTreeItem* mergeRecord) {
  if (m_nChangeDepth != 0 && m_openStep.name.kind == EStepKind::unnamed)
    m_openStep.name = std::move(name);
  if (m_nChangeDepth++ == 0) {
    m_pMergeInto = m_history.MergeTarget(mergeKey, mergeRecord);
    m_openStep = CHistory::SStep{std::move(name), {}, 0, mergeKey, mergeRecord};
    m_snapshotted.clear();
    // The record of the step joined was kept when the step began.
    if (m_pMergeInto) m_snapshotted.insert(mergeRecord);
  }
  return CChange(this);
}

void CZorvanDoc::EndChange() {
  if (--m_nChangeDepth != 0) return;
  m_snapshotted.clear();
  const bool grew = !(m_pMergeInto ? m_pMergeInto->parts : m_openStep.parts).empty();
  if (std::exchange(m_pMergeInto, nullptr)) {
    m_history.Grew();
  } else if (grew) {
    if (m_openStep.name.kind == EStepKind::unnamed) m_openStep.name.kind = EStepKind::edit;
    m_history.Push(std::move(m_openStep));
  }
  m_openStep = {};
  if (grew && m_onHistoryChanged) m_onHistoryChanged();
}

void CZorvanDoc::AddPart(std::unique_ptr<IUndoStep> part) {
  if (!m_history.Enabled()) return;
  if (m_nChangeDepth == 0) {
    // Every change of the document makes one step at least; this one came without a name.
    m_history.LoseSaved();
    return;
  }
  (m_pMergeInto ? *m_pMergeInto : m_openStep).parts.push_back(std::move(part));
}

void CZorvanDoc::AddInserted(CTreeItem* parent, size_t first, size_t count) {
  if (count != 0) AddPart(std::make_unique<CPlaceStep>(parent, first, count));
}

void CZorvanDoc::RemoveChildren(CTreeItem* parent, size_t first, size_t count) {
  // Kept by the part; freed with it at once when the history keeps nothing.
  AddPart(std::make_unique<CPlaceStep>(DetachChildren(parent, first, count)));
}

void CZorvanDoc::MoveExtras(CTreeItem* source, CTreeItem* copy) {
  auto part = std::make_unique<CExtrasMoveStep>(source, copy);
  part->Do([](CTreeItem& record) { return TouchRecord(record); });
  AddPart(std::move(part));
}

void CZorvanDoc::KeepSectionForUndo(std::string_view tag) {
  if (m_nChangeDepth != 0)
    AddPart(std::make_unique<CKeptSectionStep>(std::string(tag), KeptSection(tag)));
}

void CZorvanDoc::RecordWillChange(CTreeItem* record) {
  if (!record || !m_history.Enabled()) return;
  if (m_nChangeDepth == 0) {
    m_history.LoseSaved();
    return;
  }
  if (m_snapshotted.insert(record).second) AddPart(std::make_unique<CStateStep>(record));
}

CTreeItem* CZorvanDoc::Undo() {
  CTreeItem* subject = nullptr;
  if (m_nChangeDepth != 0 || !m_history.Undo(*this, subject)) return nullptr;
  ChangeModifiedFlag(!m_history.AtSaved());
  if (m_onHistoryChanged) m_onHistoryChanged();
  return subject;
}

CTreeItem* CZorvanDoc::Redo() {
  CTreeItem* subject = nullptr;
  if (m_nChangeDepth != 0 || !m_history.Redo(*this, subject)) return nullptr;
  ChangeModifiedFlag(!m_history.AtSaved());
  if (m_onHistoryChanged) m_onHistoryChanged();
  return subject;
}

CZorvanDoc::SHeldNodes CZorvanDoc::DetachChildren(CTreeItem* parent, size_t first, size_t count) {
  SHeldNodes held;
  held.parent = parent;
  held.first = first;
  CTreeItemList& siblings = *parent->m_pChildren;
  std::unordered_set<const CTreeItem*> records;
  for (size_t i = first; i < first + count; ++i) {
    CTreeItem* top = siblings[i];
    if (top->m_nKind == kindCalendar) continue;
    ForEachInSubtree(top, [&](CTreeItem* r) { records.insert(r); });
  }
  for (int c : kEventCategories) {
    CTreeItem* category = records.empty() ? nullptr : Category(c);
    if (!category || category->ChildCount() == 0) continue;
    SHeldNodes::SEvents events{category, {}};
    CTreeItemList& list = *category->m_pChildren;
    size_t kept = 0;
    for (size_t i = 0; i < list.size(); ++i) {
      CTreeItem* event = list[i];
      if (!event->m_pLinked || !records.count(event->m_pLinked)) {
        list[kept++] = event;
        continue;
      }
      NotifyAboutToDestroy(event);
      if (m_pTreePort && event->m_hItem) m_pTreePort->DeleteItem(event->m_hItem);
      event->m_hItem = nullptr;
      held.bytes += sizeof(CTreeItem);
      events.nodes.emplace_back(i, event);
    }
    list.resize(kept);
    if (!events.nodes.empty()) held.events.push_back(std::move(events));
  }
  held.nodes.reserve(count);
  for (size_t i = first; i < first + count; ++i) {
    CTreeItem* top = siblings[i];
    NotifyAboutToDestroy(top);
    if (m_pTreePort && top->m_hItem) m_pTreePort->DeleteItem(top->m_hItem);
    // What the nodes keep is counted only for a history that keeps them.
    const bool counted = m_history.Enabled();
    ForEachInSubtree(top, [&held, counted](CTreeItem* n) {
      n->m_hItem = nullptr;
      if (counted) held.bytes += NodeBytes(*n);
    });
    held.nodes.emplace_back(top);
  }
  siblings.erase(siblings.begin() + static_cast<std::ptrdiff_t>(first),
                 siblings.begin() + static_cast<std::ptrdiff_t>(first + count));
  return held;
}

void CZorvanDoc::AttachHeld(SHeldNodes& held) {
  CTreeItem* parent = held.parent;
  if (!parent->m_pChildren) parent->m_pChildren = new CTreeItemList;
  CTreeItemList& siblings = *parent->m_pChildren;
  std::vector<CTreeItem*> tops;
  tops.reserve(held.nodes.size());
  for (auto& node : held.nodes) {
    node->m_pParent = parent;
    tops.push_back(node.release());
  }
  siblings.insert(siblings.begin() + static_cast<std::ptrdiff_t>(held.first), tops.begin(),
                  tops.end());
  InsertBranchItems(parent, tops);
  for (SHeldNodes::SEvents& events : held.events) {
    std::vector<std::pair<size_t, CTreeItem*>> placed;
    std::vector<CTreeItem*> nodes;
    placed.reserve(events.nodes.size());
    for (auto& [index, event] : events.nodes) {
      // A label changed while the event was away came back with its record.
      event->m_strLabel = event->m_pLinked->m_strLabel;
      nodes.push_back(event.get());
      placed.emplace_back(index, event.release());
    }
    if (!events.category->m_pChildren) events.category->m_pChildren = new CTreeItemList;
    InsertPlaced(*events.category->m_pChildren, std::move(placed));
    if (m_pTreePort && events.category->m_hItem) {
      m_pTreePort->InsertItems(events.category->m_hItem, nodes);
      m_pTreePort->SortChildren(events.category->m_hItem);
    }
  }
  held.events.clear();
  held.nodes.clear();
}

void CZorvanDoc::RecordRestored(CTreeItem* record, bool labelChanged, bool groupChanged) {
  if (groupChanged) ShowAppearance(record, ERecordChange::Group);
  if (labelChanged) ShowAppearance(record, ERecordChange::Label);
}

}  // namespace zorvan
