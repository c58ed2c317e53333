#pragma once

#include <array>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "store/TreeItem.h"
#include "store/TreeItemArray.h"

namespace zorvan {

// The groups of fields a criterion looks in, in the order of the Find dialog's "where" choices
// (strings 61453 to 61460).
enum EFindGroup {
  findNone = -1,
  findName = 0,
  findEmail = 1,
  findWebUrl = 2,
  findHomeAddress = 3,
  findHomePhone = 4,
  findBusiness = 5,
  findWorkAddress = 6,
  findWorkPhone = 7,
};
inline constexpr int kFindGroupCount = 8;

// Where a search starts: the first node of the document, or just after the current record and
// everything below it.
enum EFindDirection { findFromBeginning = 0, findFromCurrent = 1 };

// The name of a field group as the dialog lists it ("Name", "E-mail", ...).
const std::string& FindGroupName(int group);

// The fields of a group joined with single blanks; an empty field still keeps its blank, so
// "John Smith" is found across the first and last names.
std::string JoinedText(const CTreeItem& record, int group);

// Appends utf8 lower-cased to out, exactly as LowerCase does, without its per-character cost
// for plain ASCII (the bulk of every search).
void AppendLowerCase(std::string& out, std::string_view utf8);

// What the window's filter box looks in for a contact: its names and label, its e-mail
// addresses, its phones (each also as its digits alone, so that "601123" finds
// "+420 601 123"), its company, and the kept lines of another program's card of the same
// kinds; all folded (AppendFolded), the fields apart by line breaks, which no typed text holds,
// so that nothing is found across two of them.
std::string FilterKey(const CTreeItem& record);

// The Find command's search: up to three criteria, each a text looked for in one field group.
// A criterion counts only with a group and a non-empty text; a node matches when there is at
// least one such criterion and every one of them is found. Case is ignored (A-Z and the accented
// letters of the code page), and accents too when the search is told to ignore them (then
// "novak" finds "Novák"). Calendar event nodes are compared on the contact they stand for.
class CFinder {
 public:
  static constexpr int kCriteria = 3;

  CFinder() = default;

  void SetCriterion(int index, int group, std::string_view text);
  // Whether "antonin" finds "Antonín": the texts are compared folded (AppendFolded) instead of
  // lower-cased. Off unless set (the command line's search minds accents; the window's Find
  // offers the choice).
  void SetIgnoreAccents(bool ignore);
  bool IgnoresAccents() const { return m_bIgnoreAccents; }
  void ClearCriteria();
  int Group(int index) const { return m_criteria[index].nGroup; }
  const std::string& Text(int index) const { return m_criteria[index].strText; }
  bool HasActiveCriterion() const;

  // True when node (or the contact it is linked to) satisfies the criteria.
  bool Matches(const CTreeItem& node) const;

  // The first match in search order: the "Contacts" root and its subtree, then the "Calendar"
  // root and its subtree, each node before its children, children in the order the document
  // keeps them. From the current record, nodes count only once the search has passed current:
  // current and its whole subtree are skipped and the search does not wrap round. Null when
  // nothing matches.
  CTreeItem* Find(const CTreeItemArray& items, const CTreeItem* current,
                  EFindDirection direction) const;
  // Every match the same search passes, in search order.
  std::vector<CTreeItem*> FindAll(const CTreeItemArray& items, const CTreeItem* current,
                                  EFindDirection direction) const;

  // The first and the last match among nodes, which the caller gives in its own order (the
  // window's, as its tree shows them). Null when none matches.
  CTreeItem* FirstMatch(std::span<CTreeItem* const> nodes) const;
  CTreeItem* LastMatch(std::span<CTreeItem* const> nodes) const;

 private:
  struct SCriterion {
    int nGroup = findNone;
    std::string strText;   // as given
    std::string strLower;  // lower-cased or folded, what is looked for
    bool Active() const { return nGroup >= 0 && nGroup < kFindGroupCount && !strText.empty(); }
  };

  // Walks the search order; onMatch returns false to stop. True when it was stopped.
  bool Search(const CTreeItemArray& items, const CTreeItem* current, EFindDirection direction,
              const std::function<bool(CTreeItem*)>& onMatch) const;
  // Tests the gathered nodes in order and empties the batch. True when onMatch stopped.
  bool TestBatch(std::vector<CTreeItem*>& batch,
                 const std::function<bool(CTreeItem*)>& onMatch) const;
  bool SearchSubtree(CTreeItem* root, const CTreeItem* current, bool& passed,
                     const std::function<bool(CTreeItem*)>& onMatch) const;

  // Lower-cases or folds utf8 onto out, as the search compares texts.
  void AppendCompared(std::string& out, std::string_view utf8) const;

  std::array<SCriterion, kCriteria> m_criteria;
  bool m_bIgnoreAccents = false;
  mutable std::string m_strJoined;  // the lower-cased joined text of the record under test
};

}  // namespace zorvan
