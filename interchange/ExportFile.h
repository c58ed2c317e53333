#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "interchange/Output.h"
#include "interchange/Transfer.h"
#include "res/StringTable.h"
#include "store/AtomicFile.h"

namespace zorvan {

// The file an export writes. Every export opens its output through this class, so that none
// can replace the database it exports from by a copy of it in another format: a path that
// names the database's file under any name (another spelling, a symbolic or hard link,
// /proc/self/cwd/...) is refused before anything is made. The bytes stream into a
// CAtomicFile, which takes the target's place only when Commit succeeds.
class CExportFile : public IOutput {
 public:
  // databasePath is the file of the database being exported (empty for one never saved).
  explicit CExportFile(std::string databasePath) : m_strDatabase(std::move(databasePath)) {}

  // False with the reason in Error() when path is the database or cannot be made.
  bool Open(const std::string& path);
  bool Write(std::string_view bytes) override { return m_file.Write(bytes); }
  bool Commit() { return m_file.Commit(); }
  void Discard() { m_file.Discard(); }

  bool Failed() const { return !m_strRefusal.empty() || m_file.Failed(); }
  const std::string& Error() const { return m_strRefusal.empty() ? m_file.Error() : m_strRefusal; }

 private:
  std::string m_strDatabase;
  std::string m_strRefusal;
  CAtomicFile m_file;
};

// The messages of the string table for the three ends of an export: done, the file could not
// be made, and it could not be written to its end. 0 for an end whose file problem says it all.
struct SExportMessages {
  int nDone = IDS_EXPORT_DONE;
  int nOpenError = IDS_EXPORT_OPEN_ERROR;
  int nError = IDS_EXPORT_ERROR;
};

// Streams the bytes of an export; false when not everything was written.
using ExportWriter = std::function<bool(IOutput& out)>;

// The one way every export reaches its file. Opens a CExportFile for path (refusing the
// database at databasePath), lets write stream the bytes into it and puts the file in place
// when everything was written. The result names the message of the end it came to, with the
// system's reason for a file that could not be made or written; then the file that was there
// before is still there as it was.
STransferResult WriteExportFile(const std::string& path, const std::string& databasePath,
                                const ExportWriter& write, const SExportMessages& messages = {});

}  // namespace zorvan
