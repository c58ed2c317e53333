#include "store/History.h"

#include <utility>

namespace zorvan {

void CHistory::SetLimits(std::size_t maxSteps, std::size_t maxBytes) {
  m_nMaxSteps = maxSteps;
  m_nMaxBytes = maxBytes;
  if (maxSteps == 0)
    Clear();
  else
    Trim();
}

void CHistory::Clear() {
  // The newest first: a later step may hold records whose parents an earlier one holds.
  while (!m_steps.empty()) m_steps.pop_back();
  m_nDone = 0;
  m_nBytes = 0;
  m_nSaved = 0;
  m_bSavedReachable = true;
  m_bMergeOpen = m_bMergeAlive = false;
}

std::size_t CHistory::BytesOf(const SStep& step) {
  std::size_t bytes = sizeof(SStep) + step.name.label.size();
  for (const auto& part : step.parts) bytes += part->Bytes();
  return bytes;
}

void CHistory::Push(SStep step) {
  while (m_steps.size() > m_nDone) {
    m_nBytes -= m_steps.back().bytes;
    m_steps.pop_back();
  }
  if (m_nSaved > m_nDone) m_bSavedReachable = false;
  step.bytes = BytesOf(step);
  m_nBytes += step.bytes;
  m_steps.push_back(std::move(step));
  m_nDone = m_steps.size();
  m_bMergeOpen = m_bMergeAlive = m_steps.back().mergeKey != nullptr;
  Trim();
}

CHistory::SStep* CHistory::MergeTarget(const void* mergeKey, const CTreeItem* record) {
  if (!mergeKey || m_nDone == 0 || m_nDone != m_steps.size()) return nullptr;
  SStep& last = m_steps.back();
  // A synchronisation's changes come in pieces while the window goes on: moving the focus
  // does not end its step, only another step, an undo or a save does.
  if (!(last.name.kind == EStepKind::sync ? m_bMergeAlive : m_bMergeOpen)) return nullptr;
  return last.mergeKey == mergeKey && last.mergeRecord == record ? &last : nullptr;
}

void CHistory::Grew() {
  if (m_steps.empty()) return;
  SStep& last = m_steps.back();
  m_nBytes -= last.bytes;
  last.bytes = BytesOf(last);
  m_nBytes += last.bytes;
  Trim();
}

void CHistory::Trim() {
  // The oldest go first; the newest stays whatever it keeps, so the last change is always
  // undoable.
  while (m_nDone != 0 && m_steps.size() > 1 &&
         (m_steps.size() > m_nMaxSteps || m_nBytes > m_nMaxBytes)) {
    m_nBytes -= m_steps.front().bytes;
    m_steps.pop_front();
    --m_nDone;
    if (m_nSaved == 0)
      m_bSavedReachable = false;
    else
      --m_nSaved;
  }
}

bool CHistory::Undo(CZorvanDoc& doc, CTreeItem*& subject) {
  subject = nullptr;
  if (!CanUndo()) return false;
  m_bMergeOpen = m_bMergeAlive = false;
  SStep& step = m_steps[--m_nDone];
  for (auto it = step.parts.rbegin(); it != step.parts.rend(); ++it) (*it)->Undo(doc);
  Recount(step);
  for (const auto& part : step.parts)
    if (!subject) subject = part->Subject();
  return true;
}

bool CHistory::Redo(CZorvanDoc& doc, CTreeItem*& subject) {
  subject = nullptr;
  if (!CanRedo()) return false;
  m_bMergeOpen = m_bMergeAlive = false;
  SStep& step = m_steps[m_nDone++];
  for (const auto& part : step.parts) part->Redo(doc);
  Recount(step);
  for (const auto& part : step.parts)
    if (!subject) subject = part->Subject();
  return true;
}

void CHistory::Recount(SStep& step) {
  // What a step keeps changes as it is undone and redone: a deletion undone holds nothing, an
  // import undone holds its records.
  m_nBytes -= step.bytes;
  step.bytes = BytesOf(step);
  m_nBytes += step.bytes;
}

void CHistory::MarkSaved() {
  m_nSaved = m_nDone;
  m_bSavedReachable = true;
  m_bMergeOpen = m_bMergeAlive = false;
}

}  // namespace zorvan
