#pragma once

#include <string>
#include <string_view>
#include <vector>

// The three-way merge of a contact's card changed both here and on the server, property by
// property against the card both last agreed on. A property is known by its group, its name and
// its TYPE words (item1.TEL;TYPE=CELL); properties under one such key are matched by their
// values, so that a phone added here and another added there are both kept, and only a value
// that both sides changed, each in its own way, is a conflict for the user to decide.
namespace zorvan::sync {

enum class EMergeChoice { local, remote };

// A property both sides changed differently: its key and the three content lines, unfolded
// (empty where the side has none).
struct SCardConflict {
  std::string key;
  std::string local;
  std::string remote;
  std::string base;
  friend bool operator==(const SCardConflict&, const SCardConflict&) = default;
};

// What MergeCards found: the merged card's content lines in order, a conflict's place holding
// its index, and the conflicts.
class CCardMerge {
 public:
  const std::vector<SCardConflict>& Conflicts() const { return m_conflicts; }
  // The merged card, each conflict decided by choices (one per conflict, in order; a choice
  // missing counts as local): BEGIN, VERSION, the lines, END, folded at 75 octets, CR LF.
  std::string Text(const std::vector<EMergeChoice>& choices) const;
  // The merged card with every conflict decided the same way.
  std::string Text(EMergeChoice all) const;

 private:
  friend CCardMerge MergeCards(std::string_view, std::string_view, std::string_view);
  struct SSlot {
    std::string line;
    int conflict = -1;
  };
  std::string m_strVersion;
  std::vector<SSlot> m_slots;
  std::vector<SCardConflict> m_conflicts;
};

// Merges local and remote against base, the card both last agreed on; an empty base merges
// with none, and then every property the two hold differently under one key is a conflict,
// unless one side lacks it. VERSION and PRODID are local's (remote's when local has none),
// REV the newer of the two, never a conflict.
CCardMerge MergeCards(std::string_view base, std::string_view local, std::string_view remote);

// The UID a card's text names, empty when none.
std::string CardUid(std::string_view card);

// True when two cards hold the same properties, whatever their order, folding, the order of
// their parameters, REV and PRODID.
bool CardsEqual(std::string_view a, std::string_view b);

}  // namespace zorvan::sync
