#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "interchange/vcard/VCardLines.h"

namespace zorvan {

// Gathers the properties of one card at a time from a vCard file's text: each property with
// its continuation lines joined, the names of the cards nested in it (2.1's AGENT), and how many
// properties past the most a card may hold were left out.
class CVCardGatherer {
 public:
  explicit CVCardGatherer(std::string_view text) : m_text(text), m_lines(text) {}

  // Goes on from pos, which must be where a line starts.
  void Seek(size_t pos) { m_lines.Seek(pos); }
  size_t Offset() const { return m_lines.Offset(); }
  // Skips the text outside cards up to the next BEGIN line, which it takes; false at the end
  // of the text. start is where the BEGIN line starts.
  bool NextBegin(size_t& start);
  // Takes the lines of the card whose BEGIN line was taken, up to its END line (or the BEGIN
  // line of the next card, when it has none).
  void GatherCard();

  const std::vector<SRawLine>& Lines() const { return m_cardLines; }
  std::string_view Line(const SRawLine& raw) const {
    return raw.inArena ? std::string_view(m_arena).substr(raw.offset, raw.length)
                       : m_text.substr(raw.offset, raw.length);
  }
  const std::vector<std::string>& Agents() const { return m_agents; }
  size_t LeftOut() const { return m_nLeftOut; }

 private:
  bool NestedCardFollows();
  void ScanAhead(size_t from);
  void GatherProperty(std::string_view first);
  void NoteAgentName(std::string_view line, std::string& agent) const;

  std::string_view m_text;
  CVCardLines m_lines;

  std::vector<SRawLine> m_cardLines;
  std::string m_arena;
  int m_nVersion = 0;  // 21, 30, 40 or 0 while unknown
  std::vector<std::string> m_agents;
  size_t m_nLeftOut = 0;  // the properties past kMaxCardProperties

  // The look-ahead for nested cards, worked out for a stretch of lines at once: where each of
  // its lines starts, and whether a look-ahead from there finds the closing END line.
  std::vector<size_t> m_aheadStarts;
  std::vector<char> m_aheadCloses;
  std::vector<int> m_aheadNext;
};

}  // namespace zorvan
