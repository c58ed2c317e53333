#include "sync/CardMerge.h"

#include <algorithm>
#include <map>

#include "interchange/vcard/ForeignVCardWriter.h"
#include "interchange/vcard/VCardLines.h"
#include "interchange/vcard/VCardProperty.h"
#include "store/TextUtil.h"

namespace zorvan::sync {
namespace {

// One content line of a card, unfolded: its key (group, name, TYPE words), its canonical form
// (the key, the other parameters sorted, the value), by which two spellings of one property
// compare equal, and the line as the card has it.
struct SCardLine {
  std::string name;
  std::string key;
  std::string canon;
  std::string line;
};

std::string Upper(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = AsciiUpper(c);
  return out;
}

// The parameters of a head, split at the semicolons outside double quotes.
std::vector<std::string_view> SplitParams(std::string_view params) {
  std::vector<std::string_view> parts;
  bool quoted = false;
  size_t from = 0;
  for (size_t i = 0; i <= params.size(); ++i) {
    if (i < params.size() && params[i] == '"') quoted = !quoted;
    if (i == params.size() || (params[i] == ';' && !quoted)) {
      if (i > from) parts.push_back(params.substr(from, i - from));
      from = i + 1;
    }
  }
  return parts;
}

// Properties a card holds once, of which a merge keeps one value.
bool IsSingular(std::string_view name) {
  for (std::string_view s : {"FN", "N", "BDAY", "ANNIVERSARY", "GENDER", "KIND", "UID",
                             "BIRTHPLACE", "DEATHDATE", "PHOTO", "SORT-STRING"})
    if (name == s) return true;
  return false;
}

SCardLine Describe(std::string_view line) {
  SCardLine d;
  d.line = std::string(line);
  SProperty p;
  if (!SplitLine(line, p)) p.name = line;
  d.name = Upper(TrimValue(p.name));
  std::vector<std::string> types, others;
  for (std::string_view param : SplitParams(p.params)) {
    const size_t eq = param.find('=');
    // A bare word is a TYPE word of 2.1, as many writers of 3.0 still put it.
    const std::string name = eq == std::string_view::npos ? "TYPE" : Upper(param.substr(0, eq));
    std::string_view value = eq == std::string_view::npos ? param : param.substr(eq + 1);
    if (name != "TYPE") {
      others.push_back(name + "=" + std::string(value));
      continue;
    }
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
      value = value.substr(1, value.size() - 2);
    for (size_t from = 0; from <= value.size();) {
      const size_t comma = std::min(value.find(',', from), value.size());
      if (comma > from) types.push_back(Upper(value.substr(from, comma - from)));
      from = comma + 1;
    }
  }
  std::sort(types.begin(), types.end());
  types.erase(std::unique(types.begin(), types.end()), types.end());
  std::sort(others.begin(), others.end());
  d.key = p.group.empty() ? d.name : Upper(p.group) + "." + d.name;
  std::string typed = d.key;
  for (size_t i = 0; i < types.size(); ++i) typed += (i ? "," : ";TYPE=") + types[i];
  // A property a card holds once is one whatever its type words (a JPEG photo replaced by a PNG).
  if (!IsSingular(d.name)) d.key = typed;
  d.canon = typed;
  for (const std::string& o : others) d.canon += ";" + o;
  d.canon += ":" + std::string(p.value);
  return d;
}

// The content lines of the first card of text, unfolded; BEGIN and END left out.
std::vector<SCardLine> ParseCard(std::string_view text) {
  std::vector<SCardLine> lines;
  CVCardLines in(text);
  std::string arena;
  std::string_view line;
  while (in.Next(line)) {
    if (TrimValue(line).empty() || IsBeginLine(line)) continue;
    if (IsEndLine(line)) break;
    const std::string_view head = line.substr(0, line.find(':'));
    const SRawLine raw = in.TakeProperty(line, head, false, arena);
    const std::string_view whole = raw.inArena
                                       ? std::string_view(arena).substr(raw.offset, raw.length)
                                       : text.substr(raw.offset, raw.length);
    lines.push_back(Describe(whole));
  }
  return lines;
}

// Never a conflict: VERSION, PRODID (the writer's mark) and REV (the newer).
bool IsBookkeeping(std::string_view name) {
  return name == "VERSION" || name == "PRODID" || name == "REV";
}

// A REV as digits alone ("2026-12-09T06:30:00Z" and "20261209T063000Z" compare alike).
std::string RevDigits(std::string_view line) {
  std::string digits;
  for (char c : line.substr(line.find(':') + 1))
    if (c >= '0' && c <= '9') digits += c;
  return digits;
}

const SCardLine* FirstNamed(const std::vector<SCardLine>& lines, std::string_view name) {
  for (const SCardLine& l : lines)
    if (l.name == name) return &l;
  return nullptr;
}

// The lines of each side under one key, counted by canonical form.
struct SCounts {
  int base = 0, local = 0, remote = 0;
  int Merged() const {
    if (local == remote || local == base) return remote;
    if (remote == base) return local;
    return std::max(local, remote);
  }
};

using CKeyCounts = std::map<std::string, std::map<std::string, SCounts>>;

CKeyCounts Count(const std::vector<SCardLine>& base, const std::vector<SCardLine>& local,
                 const std::vector<SCardLine>& remote) {
  CKeyCounts counts;
  for (const SCardLine& l : base) ++counts[l.key][l.canon].base;
  for (const SCardLine& l : local) ++counts[l.key][l.canon].local;
  for (const SCardLine& l : remote) ++counts[l.key][l.canon].remote;
  return counts;
}

// Per key, the lines of one side that the other side and the base do not hold (as many of a
// value as it has more than either), in the side's order.
using CByKey = std::map<std::string, std::vector<const SCardLine*>>;
CByKey Exclusive(const std::vector<SCardLine>& side, CKeyCounts& counts, bool local) {
  CByKey added;
  std::map<const SCounts*, int> taken;
  for (const SCardLine& l : side) {
    if (IsBookkeeping(l.name)) continue;
    const SCounts& c = counts[l.key][l.canon];
    const int mine = local ? c.local : c.remote;
    const int beyond = mine - std::max(c.base, local ? c.remote : c.local);
    if (taken[&c]++ < beyond) added[l.key].push_back(&l);
  }
  return added;
}

// Per key, the base lines both sides took away (as many of a value as both hold fewer).
CByKey GoneOnBoth(const std::vector<SCardLine>& base, CKeyCounts& counts) {
  CByKey gone;
  std::map<const SCounts*, int> taken;
  for (const SCardLine& b : base) {
    const SCounts& c = counts[b.key][b.canon];
    if (taken[&c]++ < c.base - std::max(c.local, c.remote)) gone[b.key].push_back(&b);
  }
  return gone;
}

// What pairing found: the conflicts, and which local and remote lines they took.
struct SPairing {
  std::vector<SCardConflict> conflicts;
  std::map<const SCardLine*, int> localConflict;
  std::map<const SCardLine*, int> remotePaired;
};

// A value added on both sides under one key is a conflict when it replaced a base value both
// took away, when the property is one a card holds once, or, with no base, always.
SPairing Pair(const CByKey& localAdded, const CByKey& remoteAdded, const CByKey& baseGone,
              bool withBase) {
  SPairing p;
  for (const auto& [key, mine] : localAdded) {
    const auto theirs = remoteAdded.find(key);
    if (theirs == remoteAdded.end()) continue;
    const auto gone = baseGone.find(key);
    const size_t goneCount = gone == baseGone.end() ? 0 : gone->second.size();
    size_t pairs = std::min(mine.size(), theirs->second.size());
    if (withBase && !IsSingular(mine.front()->name)) pairs = std::min(pairs, goneCount);
    for (size_t i = 0; i < pairs; ++i) {
      const int index = static_cast<int>(p.conflicts.size());
      p.localConflict[mine[i]] = index;
      p.remotePaired[theirs->second[i]] = index;
      p.conflicts.push_back({key, mine[i]->line, theirs->second[i]->line,
                             i < goneCount ? gone->second[i]->line : std::string()});
    }
  }
  return p;
}

}  // namespace

std::string CCardMerge::Text(const std::vector<EMergeChoice>& choices) const {
  std::string out = "BEGIN:VCARD\r\n";
  if (!m_strVersion.empty()) AppendFoldedLine(out, m_strVersion);
  for (const SSlot& slot : m_slots) {
    if (slot.conflict < 0) {
      if (!slot.line.empty()) AppendFoldedLine(out, slot.line);
      continue;
    }
    const size_t i = static_cast<size_t>(slot.conflict);
    const SCardConflict& c = m_conflicts[i];
    const bool remote = i < choices.size() && choices[i] == EMergeChoice::remote;
    const std::string& line = remote ? c.remote : c.local;
    if (!line.empty()) AppendFoldedLine(out, line);
  }
  out += "END:VCARD\r\n";
  return out;
}

std::string CCardMerge::Text(EMergeChoice all) const {
  return Text(std::vector<EMergeChoice>(m_conflicts.size(), all));
}

CCardMerge MergeCards(std::string_view baseText, std::string_view localText,
                      std::string_view remoteText) {
  const bool withBase = !TrimValue(baseText).empty();
  const std::vector<SCardLine> base = ParseCard(baseText), local = ParseCard(localText),
                               remote = ParseCard(remoteText);
  CCardMerge merge;
  const SCardLine* version = FirstNamed(local, "VERSION");
  if (!version) version = FirstNamed(remote, "VERSION");
  if (version) merge.m_strVersion = version->line;
  // The bookkeeping lines each take one value, chosen here, put at local's place or at the end.
  std::map<std::string, std::string> chosen;
  for (const char* name : {"PRODID", "REV"}) {
    const SCardLine* l = FirstNamed(local, name);
    const SCardLine* r = FirstNamed(remote, name);
    const bool remoteNewer =
        r && (!l || (std::string_view(name) == "REV" && RevDigits(r->line) > RevDigits(l->line)));
    if (l || r) chosen[name] = remoteNewer ? r->line : l->line;
  }
  CKeyCounts counts = Count(base, local, remote);
  SPairing pairing = Pair(Exclusive(local, counts, true), Exclusive(remote, counts, false),
                          GoneOnBoth(base, counts), withBase);
  std::vector<std::string> slotKeys;
  auto add = [&](const SCardLine& l, int conflict, bool atEnd) {
    auto at = merge.m_slots.end();
    if (!atEnd) {
      // After the last line of the same key, so that a card's phones stay together.
      const auto last = std::find(slotKeys.rbegin(), slotKeys.rend(), l.key);
      if (last != slotKeys.rend()) at = merge.m_slots.begin() + (slotKeys.rend() - last);
    }
    slotKeys.insert(slotKeys.begin() + (at - merge.m_slots.begin()), l.key);
    merge.m_slots.insert(at, {l.line, conflict});
  };
  // Each value goes in as often as the merge keeps it: local's lines in their order first, then
  // remote's after their kind.
  std::map<std::pair<std::string, std::string>, int> left;
  for (const auto& [key, values] : counts)
    for (const auto& [canon, c] : values) left[{key, canon}] = c.Merged();
  for (int side = 0; side < 2; ++side) {
    for (const SCardLine& l : side == 0 ? local : remote) {
      if (l.name == "VERSION") continue;
      if (auto it = chosen.find(l.name); it != chosen.end()) {
        if (!it->second.empty()) add({l.name, l.key, {}, it->second}, -1, side == 0);
        it->second.clear();  // put once
        continue;
      }
      int& count = left[{l.key, l.canon}];
      const auto& paired = side == 0 ? pairing.localConflict : pairing.remotePaired;
      if (auto it = paired.find(&l); it != paired.end()) {
        if (side == 0) add(l, it->second, true);
        --count;
      } else if (count > 0) {
        add(l, -1, side == 0);
        --count;
      } else if (side == 0) {
        // A line of local's the merge drops keeps its place, empty: a value of remote's that
        // replaces it goes there, not to the end.
        add({l.name, l.key, {}, {}}, -1, true);
      }
    }
  }
  merge.m_conflicts = std::move(pairing.conflicts);
  return merge;
}

std::string CardUid(std::string_view card) {
  for (const SCardLine& l : ParseCard(card))
    if (l.name == "UID") return std::string(TrimValue(l.line.substr(l.line.find(':') + 1)));
  return {};
}

bool CardsEqual(std::string_view a, std::string_view b) {
  auto canon = [](std::string_view card) {
    std::vector<std::string> lines;
    for (SCardLine& l : ParseCard(card))
      if (l.name != "REV" && l.name != "PRODID") lines.push_back(std::move(l.canon));
    std::sort(lines.begin(), lines.end());
    return lines;
  };
  return canon(a) == canon(b);
}

}  // namespace zorvan::sync
