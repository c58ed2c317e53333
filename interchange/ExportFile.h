#pragma once

#include <string>
#include <string_view>

#include "store/AtomicFile.h"

namespace zorvan {

// The file an export writes. Every export opens its output through this class, so that none
// can replace the database it exports from by a copy of it in another format: a path that
// names the database's file under any name (another spelling, a symbolic or hard link,
// /proc/self/cwd/...) is refused before anything is made. The bytes stream into a
// CAtomicFile, which takes the target's place only when Commit succeeds.
class CExportFile {
 public:
  // databasePath is the file of the database being exported (empty for one never saved).
  explicit CExportFile(std::string databasePath) : m_strDatabase(std::move(databasePath)) {}

  // False with the reason in Error() when path is the database or cannot be made.
  bool Open(const std::string& path);
  bool Write(std::string_view bytes) { return m_file.Write(bytes); }
  bool Commit() { return m_file.Commit(); }
  void Discard() { m_file.Discard(); }

  bool Failed() const { return !m_strRefusal.empty() || m_file.Failed(); }
  const std::string& Error() const { return m_strRefusal.empty() ? m_file.Error() : m_strRefusal; }

 private:
  std::string m_strDatabase;
  std::string m_strRefusal;
  CAtomicFile m_file;
};

}  // namespace zorvan
