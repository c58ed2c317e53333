#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>

namespace zorvan {

class CZorvanDoc;
class CTreeItem;

// What a step of the user's did, for the names of the Undo and Redo commands.
enum class EStepKind : unsigned char {
  unnamed,  // a command's step, named by the first change made within it
  edit,     // fields typed or chosen in the form
  relabel,  // the label, in the form or in the tree
  group,    // the group flag
  photo,    // a photo set or removed
  create,   // a new record
  remove,   // a node deleted with its subtree
  move,     // a branch dragged into another group
  copy,     // a branch copied by dragging
  import,   // an import of either kind, the whole file one step
  sync,     // a synchronisation's changes here (the server keeps its own)
  bind,     // a group bound to a server's address book or released from it
};

// The name of a step: its kind, the label of the record or the file it is about, and how many
// contacts went with it (0 when it is about one record or none).
struct SStepName {
  EStepKind kind = EStepKind::unnamed;
  std::string label;
  std::size_t contacts = 0;
};

// One change the history can take back and make again. The document is in the state right
// after the change when Undo is called, and right before it when Redo is.
class IUndoStep {
 public:
  virtual ~IUndoStep() = default;
  virtual void Undo(CZorvanDoc& doc) = 0;
  virtual void Redo(CZorvanDoc& doc) = 0;
  // About how much memory the step keeps alive (records it holds, texts, pictures).
  virtual std::size_t Bytes() const = 0;
  // The record the change is about, for the window to show after Undo or Redo; null if none
  // (or when it is not in the tree at that moment).
  virtual CTreeItem* Subject() const { return nullptr; }
};

// The steps of the user in order, with the place between the done and the undone ones. A step is
// made of the document's smaller changes, undone in the reverse order and redone in order.
// Bounded by memory: the oldest steps go when the steps together keep more than the limit alive,
// except the newest one, which can always be undone.
class CHistory {
 public:
  struct SStep {
    SStepName name;
    std::vector<std::unique_ptr<IUndoStep>> parts;
    std::size_t bytes = 0;
    // Changes in a row through the same edit box of the same record make one step.
    const void* mergeKey = nullptr;
    const CTreeItem* mergeRecord = nullptr;
  };

  static constexpr std::size_t kDefaultMaxBytes = std::size_t{64} << 20;
  static constexpr std::size_t kDefaultMaxSteps = 1000;

  CHistory() = default;
  CHistory(const CHistory&) = delete;
  CHistory& operator=(const CHistory&) = delete;

  // The limits: at most maxSteps steps and, beyond the newest, maxBytes kept alive. Zero steps
  // keeps nothing at all (the command line, where every command is one step).
  void SetLimits(std::size_t maxSteps, std::size_t maxBytes);
  bool Enabled() const { return m_nMaxSteps != 0; }

  bool CanUndo() const { return m_nDone != 0; }
  bool CanRedo() const { return m_nDone < m_steps.size(); }
  const SStepName* UndoName() const { return CanUndo() ? &m_steps[m_nDone - 1].name : nullptr; }
  const SStepName* RedoName() const { return CanRedo() ? &m_steps[m_nDone].name : nullptr; }
  std::size_t Steps() const { return m_steps.size(); }
  std::size_t Bytes() const { return m_nBytes; }

  // Forgets every step (Open, New, closing).
  void Clear();
  // A new step after the done ones; the undone ones go, as they can no longer be redone.
  void Push(SStep step);
  // The newest done step when a change through mergeKey of record may join it: it is the last
  // done, nothing was undone, saved or ended since.
  SStep* MergeTarget(const void* mergeKey, const CTreeItem* record);
  // The next change starts a step of its own (the focus left the edit box).
  void EndMerging() { m_bMergeOpen = false; }
  // After parts were added to the newest step: recounts its memory and keeps to the limits.
  void Grew();

  // Undoes or redoes the next step; false when there is none. Returns the step's subject
  // through subject.
  bool Undo(CZorvanDoc& doc, CTreeItem*& subject);
  bool Redo(CZorvanDoc& doc, CTreeItem*& subject);

  // The saved state: the database as in its file is the one after this many steps.
  void MarkSaved();
  // A change the history cannot take back was made: no step returns to the saved state now.
  void LoseSaved() { m_bSavedReachable = false; }
  bool AtSaved() const { return m_bSavedReachable && m_nSaved == m_nDone; }

 private:
  void Trim();
  void Recount(SStep& step);
  static std::size_t BytesOf(const SStep& step);

  std::deque<SStep> m_steps;
  std::size_t m_nDone = 0;  // steps [0, m_nDone) are done, the rest undone
  std::size_t m_nBytes = 0;
  std::size_t m_nMaxSteps = kDefaultMaxSteps;
  std::size_t m_nMaxBytes = kDefaultMaxBytes;
  std::size_t m_nSaved = 0;
  bool m_bSavedReachable = true;
  bool m_bMergeOpen = false;   // the newest step may take the next change of its key
  bool m_bMergeAlive = false;  // the same, whatever EndMerging said
};

}  // namespace zorvan
