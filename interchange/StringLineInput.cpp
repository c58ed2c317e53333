#include "interchange/StringLineInput.h"

namespace zorvan {

bool CStringLineInput::ReadRawLine(std::string& line) {
  if (m_nPos >= m_bytes.size()) {
    line.clear();
    return false;
  }
  size_t end = m_bytes.find('\n', m_nPos);
  const size_t next = end == std::string_view::npos ? m_bytes.size() : end + 1;
  if (end == std::string_view::npos) end = m_bytes.size();
  while (end > m_nPos && m_bytes[end - 1] == '\r') --end;
  line.assign(m_bytes, m_nPos, end - m_nPos);
  m_nPos = next;
  return true;
}

}  // namespace zorvan
