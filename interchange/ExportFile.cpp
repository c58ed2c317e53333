#include "interchange/ExportFile.h"

#include "store/FileRead.h"

namespace zorvan {

bool CExportFile::Open(const std::string& path) {
  if (!m_strDatabase.empty() && SameFile(path, m_strDatabase)) {
    m_strRefusal = "it is the database being exported; choose another file";
    return false;
  }
  return m_file.Open(path);
}

STransferResult WriteExportFile(const std::string& path, const std::string& databasePath,
                                const ExportWriter& write, const SExportMessages& messages) {
  CExportFile file(databasePath);
  if (!file.Open(path)) return {ETransferOutcome::failed, messages.nOpenError, file.Error()};
  // A file that could not be written to its end (a full disk) is an error during the export:
  // the temporary file goes, and the old file stays.
  if (write(file) && file.Commit()) return {ETransferOutcome::done, messages.nDone, {}};
  const std::string reason = file.Failed() ? file.Error() : std::string();
  file.Discard();
  return {ETransferOutcome::failed, messages.nError, reason};
}

}  // namespace zorvan
