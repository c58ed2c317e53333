#include "interchange/vcard/VCardGatherer.h"

#include <algorithm>

#include "interchange/vcard/ForeignVCardFile.h"
#include "interchange/vcard/VCardProperty.h"
#include "store/TextUtil.h"

namespace zorvan {

bool CVCardGatherer::NextBegin(size_t& start) {
  std::string_view line;
  while (m_lines.Next(line)) {
    if (!IsBeginLine(line)) continue;
    start = static_cast<size_t>(line.data() - m_text.data());
    return true;
  }
  return false;
}

// A BEGIN:VCARD inside a card is a card nested in it (2.1's AGENT) when the outer card's END
// follows, counting the nested cards' BEGIN and END lines; otherwise the outer card lost its END
// line and a new card starts. Nested cards are short, so the look-ahead is bounded to
// kNestedLookAhead lines; and a file of cards that all lack their END must not be read over and
// over, so the answers for a stretch of lines are worked out together (ScanAhead).
constexpr int kNestedLookAhead = 2000;

bool CVCardGatherer::NestedCardFollows() {
  const size_t from = m_lines.Offset();
  // The stretch answers for the lines of its first half, whose look-ahead lies wholly inside.
  auto at = std::lower_bound(m_aheadStarts.begin(), m_aheadStarts.end(), from);
  if (at == m_aheadStarts.end() || *at != from || at - m_aheadStarts.begin() >= kNestedLookAhead) {
    ScanAhead(from);
    if (m_aheadStarts.empty()) return false;  // the BEGIN line was the text's last
    at = m_aheadStarts.begin();
  }
  return m_aheadCloses[static_cast<size_t>(at - m_aheadStarts.begin())] != 0;
}

// Looks at twice the look-ahead's lines from from on. With b(k) the count of BEGIN lines less
// the END lines before line k of the stretch, a look-ahead from line i (depth 2 before it)
// closes at the first line j at or after i with b(j + 1) = b(i) - 2, the count moving by one a
// line at most; walking from the end back, the nearest later line with each count is known.
void CVCardGatherer::ScanAhead(size_t from) {
  CVCardLines ahead = m_lines;
  ahead.Seek(from);
  m_aheadStarts.clear();
  std::vector<int> step;
  std::string_view line;
  for (int n = 0; n < 2 * kNestedLookAhead && ahead.Offset() < m_text.size(); ++n) {
    m_aheadStarts.push_back(ahead.Offset());
    ahead.Next(line);
    step.push_back(IsBeginLine(line) ? 1 : IsEndLine(line) ? -1 : 0);
  }
  const int lines = static_cast<int>(step.size());
  std::vector<int> count(static_cast<size_t>(lines) + 1, 0);
  for (int k = 0; k < lines; ++k) count[k + 1] = count[k] + step[k];
  // Counts lie within [-lines, lines]; nearest[c + lines] is the nearest later k with count c.
  m_aheadNext.assign(2 * static_cast<size_t>(lines) + 3, -1);
  m_aheadCloses.assign(static_cast<size_t>(lines), 0);
  for (int k = lines; k >= 0; --k) {
    if (k < lines) {
      const int target = count[k] - 2 + lines;
      const int closes = target >= 0 ? m_aheadNext[static_cast<size_t>(target)] : -1;
      // The look-ahead takes lines k .. k + kNestedLookAhead - 1; closing on line j means
      // count[j + 1] reaches the target.
      m_aheadCloses[static_cast<size_t>(k)] = closes != -1 && closes - k <= kNestedLookAhead;
    }
    m_aheadNext[static_cast<size_t>(count[k] + lines)] = k;
  }
}

// A nested card is summarised by its name: its FN, else its N.
void CVCardGatherer::NoteAgentName(std::string_view line, std::string& agent) const {
  SProperty p;
  if (IsSpaceOrTab(line[0]) || !SplitLine(line, p) ||
      !(EqualsUpperAscii(p.name, "FN") || (agent.empty() && EqualsUpperAscii(p.name, "N"))))
    return;
  const std::string_view v = TrimValue(p.value);
  agent.clear();
  for (char c : v) agent.push_back(c == ';' ? ' ' : c);
  agent = std::string(TrimValue(agent));
}

void CVCardGatherer::GatherCard() {
  m_cardLines.clear();
  m_arena.clear();
  m_agents.clear();
  m_nLeftOut = 0;
  m_nVersion = 0;
  int depth = 1;
  std::string agent;
  std::string_view line;
  while (m_lines.Next(line)) {
    if (line.empty()) continue;
    const char c0 = line[0];
    if (c0 == '#') continue;  // a comment line some programs write
    if ((c0 == 'E' || c0 == 'e') && IsEndLine(line)) {
      if (--depth == 0) return;
      if (!agent.empty()) m_agents.push_back(std::move(agent));
      agent.clear();
      continue;
    }
    if ((c0 == 'B' || c0 == 'b') && IsBeginLine(line)) {
      if (depth > 1 || NestedCardFollows()) {
        ++depth;
        continue;
      }
      m_lines.Unread();  // this card had no END line
      return;
    }
    if (depth > 1) {
      NoteAgentName(line, agent);
      continue;
    }
    if (IsSpaceOrTab(c0)) continue;  // a folded line with nothing to fold onto
    GatherProperty(line);
    if (m_cardLines.size() > kMaxCardProperties) {
      m_cardLines.pop_back();
      ++m_nLeftOut;
    }
  }
}

// Takes one property with its folded and soft-broken continuation lines.
void CVCardGatherer::GatherProperty(std::string_view first) {
  const size_t colon = first.find(':');
  if (colon == std::string_view::npos) return;  // not a property
  const std::string_view head = first.substr(0, colon);
  if (m_nVersion == 0 && EqualsUpperAscii(TrimValue(head), "VERSION")) {
    const std::string_view v = TrimValue(first.substr(colon + 1));
    m_nVersion = v.starts_with("2") ? 21 : v.starts_with("4") ? 40 : 30;
  }
  m_cardLines.push_back(m_lines.TakeProperty(first, head, m_nVersion == 21, m_arena));
}

}  // namespace zorvan
