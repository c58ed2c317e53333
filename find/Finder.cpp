#include "find/Finder.h"

#include <algorithm>
#include <array>

#include "res/CodePage.h"
#include "res/StringTable.h"
#include "res/TextFold.h"
#include "store/RecordExtras.h"
#include "store/RecordFields.h"
#include "store/TextUtil.h"

namespace zorvan {
namespace {

using TextField = CTextField CTreeItem::*;

// The fields of each group, in the order they are joined.
struct SGroupFields {
  TextField fields[5];
  int count;
};

constexpr SGroupFields Group(std::initializer_list<EField> ids) {
  SGroupFields g{};
  for (EField id : ids) g.fields[g.count++] = TextMember(id);
  return g;
}

constexpr SGroupFields kGroups[kFindGroupCount] = {
    Group({fieldFirstName, fieldLastName, fieldMiddleName, fieldNickname, fieldLabel}),
    Group({fieldPersonalEmail, fieldBusinessEmail}),
    Group({fieldPersonalWeb, fieldBusinessWeb}),
    Group({fieldHomeStreet, fieldHomeCity, fieldHomePostalCode, fieldHomeState}),
    Group(
        {fieldHomePhone, fieldHomeFax, fieldHomeIpPhone, fieldPersonalMobile, fieldPersonalPager}),
    Group({fieldCompany, fieldDepartment, fieldJobTitle, fieldOffice}),
    Group({fieldBusinessStreet, fieldBusinessCity, fieldBusinessPostalCode, fieldBusinessState}),
    Group({fieldBusinessPhone, fieldBusinessFax, fieldBusinessIpPhone, fieldBusinessMobile,
           fieldBusinessPager}),
};

// The vCard properties kept from another program's card that each group also looks in, by
// name; work says whether the line must be marked WORK (1), must not be (0), or either (-1).
struct SKeptNames {
  std::string_view names[3];
  int work;
};
constexpr SKeptNames kKeptNames[kFindGroupCount] = {
    {{"NICKNAME", "X-MAIDENNAME"}, -1},
    {{"EMAIL"}, -1},
    {{"URL"}, -1},
    {{"ADR"}, 0},
    {{"TEL", "IMPP"}, 0},
    {{"ORG", "TITLE", "ROLE"}, -1},
    {{"ADR"}, 1},
    {{"TEL", "IMPP"}, 1},
};

// Appends the values of the kept lines a group looks in: "item1.TEL;TYPE=WORK:+420 1" gives
// "+420 1" to the work phones. append lower-cases or folds the values; each comes after
// separator.
void AppendKeptValues(std::string& out, const CTreeItem& r, int group,
                      void (*append)(std::string&, std::string_view), char separator = ' ') {
  if (!r.m_pExtras) return;
  const SKeptNames& wanted = kKeptNames[group];
  for (const std::string& line : r.m_pExtras->properties) {
    const size_t colon = line.find(':');
    if (colon == std::string::npos) continue;
    const std::string_view head = std::string_view(line).substr(0, colon);
    std::string_view name = head.substr(0, head.find(';'));
    if (const size_t dot = name.find('.'); dot != std::string_view::npos)
      name.remove_prefix(dot + 1);
    bool named = false;
    for (std::string_view n : wanted.names)
      named = named || (!n.empty() && EqualsUpperAscii(name, n));
    if (!named) continue;
    if (wanted.work >= 0) {
      const size_t semi = head.find(';');
      std::string upper(semi == std::string_view::npos ? std::string_view() : head.substr(semi));
      for (char& c : upper) c = AsciiUpper(c);
      if ((upper.find("WORK") != std::string::npos) != (wanted.work == 1)) continue;
    }
    out += separator;
    append(out, std::string_view(line).substr(colon + 1));
  }
}

bool IsValidGroup(int group) { return group >= 0 && group < kFindGroupCount; }

// Asks for the memory line at p without waiting for it. (The compiler's own builtin may be
// dropped as having no effect when its address comes through a member pointer.)
inline void PrefetchLine(const void* p) {
#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
  asm volatile("prefetcht0 %0" : : "m"(*static_cast<const char*>(p)));
#else
  __builtin_prefetch(p);
#endif
}

}  // namespace

const std::string& FindGroupName(int group) {
  static const std::string none;
  return IsValidGroup(group) ? LoadString(IDS_FIND_WHERE_FIRST + group) : none;
}

std::string JoinedText(const CTreeItem& record, int group) {
  std::string text;
  if (!IsValidGroup(group)) return text;
  const SGroupFields& g = kGroups[group];
  for (int i = 0; i < g.count; ++i) {
    if (i > 0) text += ' ';
    text += (record.*g.fields[i]).view();
  }
  return text;
}

namespace {

// Lower-case forms of every two-byte UTF-8 character (U+0080..U+07FF), which holds all the
// letters of both code pages, by lead and continuation byte, as the two bytes of the lower-case
// character; built once per code page from LowerCase itself. A character whose lower-case form
// is not two bytes long is marked with a zero first byte.
struct STwoByteLower {
  std::array<std::array<char, 2>, 32 * 64> lower{};
};

STwoByteLower MakeTwoByteTable(ECodePage page) {
  STwoByteLower t;
  for (char32_t c = 0x80; c < 0x800; ++c) {
    std::string one;
    AppendUtf8(one, c);
    const std::string low = LowerCase(one, page);
    if (low.size() == 2) t.lower[((c >> 6) - 2) * 64 + (c & 0x3F)] = {low[0], low[1]};
  }
  return t;
}

const STwoByteLower& TwoByteTable(ECodePage cp) {
  static const STwoByteLower k1250 = MakeTwoByteTable(ECodePage::Windows1250);
  static const STwoByteLower k1252 = MakeTwoByteTable(ECodePage::Windows1252);
  return cp == ECodePage::Windows1252 ? k1252 : k1250;
}

}  // namespace

void AppendLowerCase(std::string& out, std::string_view utf8) {
  const STwoByteLower& table = TwoByteTable(ActiveCodePage());
  // ASCII and two-byte characters keep their length, so the output is written in place into
  // room made for the whole input; only the rare other characters take the slow way.
  size_t w = out.size();
  out.resize(w + utf8.size());
  size_t i = 0;
  while (i < utf8.size()) {
    const auto c = static_cast<unsigned char>(utf8[i]);
    if (c < 0x80) {
      // Both code pages fold exactly A-Z in their ASCII half.
      out[w++] = (c >= 'A' && c <= 'Z') ? static_cast<char>(c + ('a' - 'A')) : static_cast<char>(c);
      ++i;
      continue;
    }
    if (c >= 0xC2 && c <= 0xDF && i + 1 < utf8.size()) {
      const auto c2 = static_cast<unsigned char>(utf8[i + 1]);
      const std::array<char, 2>& low = table.lower[(c - 0xC2) * 64 + (c2 & 0x3F)];
      if (IsUtf8Continuation(utf8[i + 1]) && low[0] != 0) {
        out[w++] = low[0];
        out[w++] = low[1];
        i += 2;
        continue;
      }
    }
    // Anything else (three- and four-byte characters, malformed bytes): the code page's own
    // lower-casing, on the run of non-ASCII bytes, which it decodes the same way it would
    // inside the whole text.
    size_t end = i + 1;
    while (end < utf8.size() && static_cast<unsigned char>(utf8[end]) >= 0x80) ++end;
    out.resize(w);
    out += LowerCase(utf8.substr(i, end - i));
    w = out.size();
    out.resize(w + (utf8.size() - end));
    i = end;
  }
  out.resize(w);
}

std::string FilterKey(const CTreeItem& record) {
  std::string key;
  auto fields = [&](int group, bool digits) {
    const SGroupFields& g = kGroups[group];
    for (int i = 0; i < g.count; ++i) {
      const std::string_view text = (record.*g.fields[i]).view();
      if (text.empty()) continue;
      AppendFolded(key, text);
      key += '\n';
      if (!digits) continue;
      const size_t start = key.size();
      for (char c : text)
        if (c >= '0' && c <= '9') key += c;
      key += '\n';
      if (key.size() - start <= 1) key.resize(start);
    }
  };
  // The name's parts go together, as a person's name is typed ("jan novák").
  const SGroupFields& name = kGroups[findName];
  for (int i = 0; i < name.count; ++i) {
    if (i > 0) key += ' ';
    AppendFolded(key, (record.*name.fields[i]).view());
  }
  key += '\n';
  fields(findEmail, false);
  fields(findHomePhone, true);
  fields(findWorkPhone, true);
  AppendFolded(key, record.m_strCompany.view());
  for (int group : {findName, findEmail, findHomePhone, findWorkPhone})
    AppendKeptValues(key, record, group, &AppendFolded, '\n');
  return key;
}

void CFinder::SetCriterion(int index, int group, std::string_view text) {
  SCriterion& c = m_criteria[static_cast<size_t>(index)];
  c.nGroup = group;
  c.strText = std::string(text);
  c.strLower.clear();
  AppendCompared(c.strLower, text);
}

void CFinder::SetIgnoreAccents(bool ignore) {
  m_bIgnoreAccents = ignore;
  for (SCriterion& c : m_criteria) {
    c.strLower.clear();
    AppendCompared(c.strLower, c.strText);
  }
}

void CFinder::AppendCompared(std::string& out, std::string_view utf8) const {
  if (m_bIgnoreAccents)
    AppendFolded(out, utf8);
  else
    AppendLowerCase(out, utf8);
}

void CFinder::ClearCriteria() { m_criteria = {}; }

bool CFinder::HasActiveCriterion() const {
  for (const SCriterion& c : m_criteria)
    if (c.Active()) return true;
  return false;
}

bool CFinder::Matches(const CTreeItem& node) const {
  const CTreeItem& record = node.m_pLinked ? *node.m_pLinked : node;
  bool any = false;
  for (const SCriterion& c : m_criteria) {
    if (!c.Active()) continue;
    any = true;
    const SGroupFields& g = kGroups[c.nGroup];
    m_strJoined.clear();
    for (int i = 0; i < g.count; ++i) {
      if (i > 0) m_strJoined += ' ';
      AppendCompared(m_strJoined, (record.*g.fields[i]).view());
    }
    AppendKeptValues(m_strJoined, record, c.nGroup,
                     m_bIgnoreAccents ? &AppendFolded : &AppendLowerCase);
    if (m_strJoined.find(c.strLower) == std::string::npos) return false;
  }
  return any;
}

bool CFinder::TestBatch(std::vector<CTreeItem*>& batch,
                        const std::function<bool(CTreeItem*)>& onMatch) const {
  // The records lie all over the heap and each text is a block of its own, so a search spends
  // its time waiting for memory. The nodes to test are asked for ahead, in two steps so that
  // each reads what the one before brought in: the fields of a record (an event node's
  // contact) some nodes ahead, the texts those fields point to a few nodes ahead.
  constexpr size_t kFields = 8, kTexts = 4;
  auto record = [&](size_t i) -> const CTreeItem& {
    return batch[i]->m_pLinked ? *batch[i]->m_pLinked : *batch[i];
  };
  auto prefetch = [&](size_t i, bool texts) {
    const CTreeItem& r = record(i);
    for (const SCriterion& c : m_criteria) {
      if (!c.Active()) continue;
      const SGroupFields& g = kGroups[c.nGroup];
      for (int f = 0; f < g.count; ++f) {
        if (texts)
          PrefetchLine((r.*g.fields[f]).c_str());
        else
          PrefetchLine(&(r.*g.fields[f]));
      }
    }
  };
  bool stopped = false;
  for (size_t i = 0; i < batch.size() && !stopped; ++i) {
    if (i + kFields < batch.size()) prefetch(i + kFields, false);
    if (i + kTexts < batch.size()) prefetch(i + kTexts, true);
    stopped = Matches(*batch[i]) && !onMatch(batch[i]);
  }
  batch.clear();
  return stopped;
}

bool CFinder::SearchSubtree(CTreeItem* root, const CTreeItem* current, bool& passed,
                            const std::function<bool(CTreeItem*)>& onMatch) const {
  // Pre-order with an explicit stack, so that no depth of nesting can exhaust the call stack.
  // Visiting a node: it is to be tested once the current record was passed; then, if it is the
  // current record, it is passed. Before descending into a child that is the current record
  // and not yet passed, the search passes it and skips its whole subtree. The nodes to test
  // are gathered in search order and tested a batch at a time, so that their memory can be
  // asked for ahead.
  constexpr size_t kBatch = 256, kWalkAhead = 32;
  struct SFrame {
    CTreeItem* node;
    size_t next;
  };
  std::vector<CTreeItem*> batch;
  batch.reserve(kBatch);
  auto visit = [&](CTreeItem* node) {
    if (passed) batch.push_back(node);
    if (node == current) passed = true;
    return batch.size() < kBatch || !TestBatch(batch, onMatch);
  };
  if (!visit(root)) return true;
  std::vector<SFrame> stack{{root, 0}};
  while (!stack.empty()) {
    SFrame& top = stack.back();
    const size_t count = top.node->ChildCount();
    if (top.next >= count) {
      stack.pop_back();
      continue;
    }
    // The walk itself reads every node's children; ask for the siblings to come.
    if (top.next + kWalkAhead < count) PrefetchLine(top.node->Child(top.next + kWalkAhead));
    CTreeItem* child = top.node->Child(top.next++);
    if (!passed && child == current) {
      passed = true;
      continue;
    }
    if (!visit(child)) return true;
    stack.push_back({child, 0});
  }
  return TestBatch(batch, onMatch);
}

bool CFinder::Search(const CTreeItemArray& items, const CTreeItem* current,
                     EFindDirection direction,
                     const std::function<bool(CTreeItem*)>& onMatch) const {
  bool passed = direction == findFromBeginning;
  // Only the two roots are searched: the "Contacts" root, then the "Calendar" root.
  for (int i = 0; i < items.GetSize() && i < 2; ++i)
    if (SearchSubtree(items.GetAt(i), current, passed, onMatch)) return true;
  return false;
}

CTreeItem* CFinder::Find(const CTreeItemArray& items, const CTreeItem* current,
                         EFindDirection direction) const {
  CTreeItem* found = nullptr;
  if (!HasActiveCriterion()) return nullptr;
  Search(items, current, direction, [&](CTreeItem* node) {
    found = node;
    return false;
  });
  return found;
}

CTreeItem* CFinder::FirstMatch(std::span<CTreeItem* const> nodes) const {
  if (!HasActiveCriterion()) return nullptr;
  CTreeItem* found = nullptr;
  std::vector<CTreeItem*> batch;
  constexpr size_t kBatch = 256;
  for (size_t i = 0; i < nodes.size() && !found; i += kBatch) {
    batch.assign(nodes.begin() + static_cast<std::ptrdiff_t>(i),
                 nodes.begin() + static_cast<std::ptrdiff_t>(std::min(nodes.size(), i + kBatch)));
    TestBatch(batch, [&](CTreeItem* node) {
      found = node;
      return false;
    });
  }
  return found;
}

CTreeItem* CFinder::LastMatch(std::span<CTreeItem* const> nodes) const {
  if (!HasActiveCriterion()) return nullptr;
  for (size_t i = nodes.size(); i-- > 0;)
    if (Matches(*nodes[i])) return nodes[i];
  return nullptr;
}

std::vector<CTreeItem*> CFinder::FindAll(const CTreeItemArray& items, const CTreeItem* current,
                                         EFindDirection direction) const {
  std::vector<CTreeItem*> found;
  if (!HasActiveCriterion()) return found;
  Search(items, current, direction, [&](CTreeItem* node) {
    found.push_back(node);
    return true;
  });
  return found;
}

}  // namespace zorvan
