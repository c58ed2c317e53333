#include "FileOutput.h"

namespace zorvan {

CFileOutput::~CFileOutput() { Close(); }

bool CFileOutput::Open(const std::string& path) {
  Close();
  m_bFailed = false;
  m_pFile = std::fopen(path.c_str(), "wb");
  return m_pFile != nullptr;
}

bool CFileOutput::Write(std::string_view bytes) {
  if (!m_pFile || m_bFailed) return false;
  if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), m_pFile) != bytes.size())
    m_bFailed = true;
  return !m_bFailed;
}

bool CFileOutput::Close() {
  if (!m_pFile) return !m_bFailed;
  if (std::fflush(m_pFile) != 0 || std::ferror(m_pFile)) m_bFailed = true;
  if (std::fclose(m_pFile) != 0) m_bFailed = true;
  m_pFile = nullptr;
  return !m_bFailed;
}

}  // namespace zorvan
