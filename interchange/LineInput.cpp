#include "interchange/LineInput.h"

#include <string_view>
#include <utility>

#include "res/CodePage.h"

namespace zorvan {

bool CLineInput::ReadLine(std::string& line) {
  if (m_bHeld) {
    m_bHeld = false;
    line = std::move(m_strHeld);
    m_strHeld.clear();
    return true;
  }
  if (!ReadRawLine(line)) return false;
  if (!m_bStarted) {
    m_bStarted = true;
    // Lines of UTF-16 cannot be read one at a time: only the UTF-8 mark counts here.
    if (DetectFileStart(line) == EFileStart::utf8Mark) {
      m_bUtf8 = true;
      line.erase(0, kUtf8Mark.size());
    }
  }
  return true;
}

std::int64_t CLineInput::SkipRawLines() {
  std::string line;
  std::int64_t count = 0;
  while (ReadRawLine(line)) ++count;
  return count;
}

std::int64_t CLineInput::CountRemainingLines() {
  std::int64_t held = 0;
  if (m_bHeld) {
    m_bHeld = false;
    m_strHeld.clear();
    held = 1;
  }
  // The byte-order mark is only looked at on the first line; counting does not change lines.
  m_bStarted = true;
  return held + SkipRawLines();
}

std::int64_t CountLines(CLineInput& input) { return input.CountRemainingLines(); }

}  // namespace zorvan
