#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "store/TextUtil.h"

namespace zorvan {

// The first byte equal to a or b among the n from p on (n when there is none), eight bytes at a
// time: a byte equal to one of them makes its lane of the word zero, and the lowest flagged lane
// is exact. With caseless, a and b are lower-case letters and their capitals count too (a byte
// or 0x20 is the letter for the letter and its capital alone). The reader looks for line breaks
// and for the delimiters of a property this way.
inline size_t FindEitherByte(const char* p, size_t n, char a, char b, bool caseless = false) {
  constexpr std::uint64_t kOnes = 0x0101010101010101ull, kHigh = 0x8080808080808080ull;
  const std::uint64_t wa = kOnes * static_cast<unsigned char>(a);
  const std::uint64_t wb = kOnes * static_cast<unsigned char>(b);
  const std::uint64_t fold = caseless ? kOnes * 0x20 : 0;
  const unsigned char byteFold = caseless ? 0x20 : 0;
  size_t i = 0;
  for (; i + 8 <= n; i += 8) {
    std::uint64_t w;
    std::memcpy(&w, p + i, 8);
    w |= fold;
    const std::uint64_t xa = w ^ wa, xb = w ^ wb;
    const std::uint64_t hit = ((xa - kOnes) & ~xa & kHigh) | ((xb - kOnes) & ~xb & kHigh);
    if (hit) return i + static_cast<size_t>(__builtin_ctzll(hit)) / 8;
  }
  for (; i < n; ++i) {
    const char c = static_cast<char>(static_cast<unsigned char>(p[i]) | byteFold);
    if (c == a || c == b) return i;
  }
  return n;
}

// One property of a card as gathered: a view into the file's text, or into the arena of the
// card for a property whose continuation lines were joined.
struct SRawLine {
  bool inArena;
  size_t offset;
  size_t length;
  bool grouped = false;  // a group before the property name (item1.EMAIL)
};

// The most of a picture's (or key's) value that is joined from its continuation lines: more than
// the base64 of the largest photo kept.
inline constexpr size_t kMaxJoinedBlobBytes = 8u << 20;

// The physical lines of a vCard file's text, and the joining of a property's continuation lines
// into one. A line ends at LF, CR LF, CR CR LF (a CR LF that went through a second conversion)
// or a lone CR.
class CVCardLines {
 public:
  explicit CVCardLines(std::string_view text) : m_text(text) {}

  bool Next(std::string_view& line) {
    if (m_pos >= m_text.size()) return false;
    m_last = m_pos;
    if (m_peekFrom == m_pos) {
      line = m_peekLine;
      m_pos = m_peekNext;
    } else {
      m_pos = Scan(m_pos, line);
    }
    return true;
  }
  // The line Next would return, without taking it.
  bool Peek(std::string_view& line) {
    if (m_pos >= m_text.size()) return false;
    if (m_peekFrom != m_pos) {
      m_peekNext = Scan(m_pos, m_peekLine);
      m_peekFrom = m_pos;
    }
    line = m_peekLine;
    return true;
  }
  // Gives the line Next returned last back.
  void Unread() { m_pos = m_last; }
  size_t Offset() const { return m_pos; }
  // Goes on from pos, which must be where a line starts.
  void Seek(size_t pos) { m_pos = m_last = pos; }
  std::string_view Text() const { return m_text; }

  // Takes the continuation lines of the property whose first line (a line of this text, with
  // the head before its first colon) was just taken: folded lines (2.1 keeps their blank, 3.0
  // and 4.0 take exactly one), quoted-printable soft line breaks, and the backslash some 2.1
  // writers end a line with; base64 and the other values of pictures without their blanks. The
  // lines joined go into arena.
  SRawLine TakeProperty(std::string_view first, std::string_view head, bool v21,
                        std::string& arena);

 private:
  size_t Scan(size_t pos, std::string_view& line) const;

  std::string_view m_text;
  size_t m_pos = 0;
  size_t m_last = 0;
  size_t m_peekFrom = static_cast<size_t>(-1);
  size_t m_peekNext = 0;
  std::string_view m_peekLine;
};

// A value or a name without the blanks and line breaks around it (Trim with
// kSpaceTabAndLineBreaks), inline: the reader trims every value and name it reads.
inline std::string_view TrimValue(std::string_view s) {
  while (!s.empty() && IsSpaceTabOrLineBreak(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsSpaceTabOrLineBreak(s.back())) s.remove_suffix(1);
  return s;
}

bool IsBeginLine(std::string_view line);
bool IsEndLine(std::string_view line);
// True when the property name of a line has a group before it (item1.EMAIL).
bool HasGroup(std::string_view line);

}  // namespace zorvan
