#include "interchange/FileLineInput.h"

#include <cerrno>
#include <cstring>

namespace zorvan {
namespace {

constexpr size_t kBufferSize = 64 * 1024;

void StripLineEnd(std::string& line) {
  while (!line.empty() && line.back() == '\r') line.pop_back();
}

}  // namespace

CFileLineInput::CFileLineInput() : m_pBuffer(new char[kBufferSize]) {}

CFileLineInput::~CFileLineInput() { Close(); }

bool CFileLineInput::Open(const std::string& path) {
  Close();
  m_nError = 0;
  m_pFile = std::fopen(path.c_str(), "rb");
  if (!m_pFile) m_nError = errno;
  return m_pFile != nullptr;
}

void CFileLineInput::Close() {
  if (m_pFile) std::fclose(m_pFile);
  m_pFile = nullptr;
  m_nStart = m_nEnd = 0;
  m_bEof = false;
  m_bFailed = false;
  Restart();
}

bool CFileLineInput::Fill() {
  if (!m_pFile || m_bEof || m_bFailed) return false;
  m_nStart = 0;
  m_nEnd = std::fread(m_pBuffer.get(), 1, kBufferSize, m_pFile);
  if (m_nEnd < kBufferSize) {
    if (std::ferror(m_pFile)) {
      m_bFailed = true;
      m_nError = errno;
    } else {
      m_bEof = true;
    }
  }
  return m_nEnd > 0;
}

bool CFileLineInput::ReadRawLine(std::string& line) {
  line.clear();
  bool any = false;
  for (;;) {
    if (m_nStart == m_nEnd && !Fill()) {
      // A last line without a line end is a line; a read error ends the input.
      if (m_bFailed) return false;
      if (any) StripLineEnd(line);
      return any;
    }
    any = true;
    const char* begin = m_pBuffer.get() + m_nStart;
    const size_t avail = m_nEnd - m_nStart;
    const void* lf = std::memchr(begin, '\n', avail);
    if (lf) {
      const size_t len = static_cast<const char*>(lf) - begin;
      line.append(begin, len);
      m_nStart += len + 1;
      StripLineEnd(line);
      return true;
    }
    line.append(begin, avail);
    m_nStart = m_nEnd;
  }
}

}  // namespace zorvan
