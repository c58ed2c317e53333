#include "interchange/FileLineInput.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "store/FileRead.h"

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
  m_strReason.clear();
  const int fd = OpenRegularFile(path, m_strReason);
  if (fd < 0) return false;
  m_pFile = ::fdopen(fd, "rb");
  if (!m_pFile) {
    m_strReason = std::strerror(errno);
    ::close(fd);
  }
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
      m_strReason = std::strerror(errno);
    } else {
      m_bEof = true;
    }
  }
  return m_nEnd > 0;
}

std::int64_t CFileLineInput::SkipRawLines() {
  std::int64_t count = 0;
  bool open = false;  // bytes read since the last line end: a last line without one
  for (;;) {
    if (m_nStart == m_nEnd && !Fill()) return m_bFailed ? count : count + (open ? 1 : 0);
    const char* p = m_pBuffer.get() + m_nStart;
    const char* end = m_pBuffer.get() + m_nEnd;
    open = true;
    while (const void* lf = std::memchr(p, '\n', static_cast<size_t>(end - p))) {
      ++count;
      p = static_cast<const char*>(lf) + 1;
      open = p != end;
    }
    m_nStart = m_nEnd;
  }
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
      if (line.size() + len > m_nMaxLine) return LineTooLong();
      line.append(begin, len);
      m_nStart += len + 1;
      StripLineEnd(line);
      return true;
    }
    if (line.size() + avail > m_nMaxLine) return LineTooLong();
    line.append(begin, avail);
    m_nStart = m_nEnd;
  }
}

bool CFileLineInput::LineTooLong() {
  m_bFailed = true;
  m_strReason = "a line is longer than " + SizeText(m_nMaxLine);
  return false;
}

}  // namespace zorvan
