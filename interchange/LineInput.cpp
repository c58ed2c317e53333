#include "interchange/LineInput.h"

#include <string_view>
#include <utility>

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
    constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
    if (std::string_view(line).starts_with(kByteOrderMark)) {
      m_bUtf8 = true;
      line.erase(0, kByteOrderMark.size());
    }
  }
  return true;
}

std::int64_t CountLines(CLineInput& input) {
  std::string line;
  std::int64_t count = 0;
  while (input.ReadLine(line)) ++count;
  return count;
}

}  // namespace zorvan
