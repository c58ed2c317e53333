#include "interchange/ExportFile.h"

namespace zorvan {

bool CExportFile::Open(const std::string& path) {
  if (!m_strDatabase.empty() && SameFile(path, m_strDatabase)) {
    m_strRefusal = "it is the database being exported; choose another file";
    return false;
  }
  return m_file.Open(path);
}

}  // namespace zorvan
