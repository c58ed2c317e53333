#pragma once

#include <sys/types.h>

#include <cstdint>
#include <string>
#include <string_view>

namespace zorvan {

// The system calls a save goes through; tests replace them to make a write fail part-way.
struct SFileOps {
  ssize_t (*write)(int fd, const void* data, size_t size);
  int (*fsync)(int fd);
  int (*rename)(const char* from, const char* to);
  // Opens an unnamed file in a folder (O_TMPFILE); null for the system's. Failing with
  // EOPNOTSUPP makes the writer fall back to a named temporary file.
  int (*openUnnamed)(const char* folder, mode_t mode) = nullptr;
  // Sets an extended attribute of the new file (fsetxattr); null for the system's.
  int (*fsetxattr)(int fd, const char* name, const void* value, size_t size, int flags) = nullptr;
};
const SFileOps& SystemFileOps();

// A file that is replaced as a whole or not at all, written in pieces: the bytes go to a
// temporary file in the target's folder (so that the final rename stays on one file system),
// and only Commit flushes it to the disk and renames it over the target. Until then, and
// whenever a step fails, the target is untouched. The temporary file is unnamed where the file
// system allows (it vanishes with the process, even one that is killed) and gets its name
// ".NAME.zorvan-save-XXXXXX" only for the rename; elsewhere it is named from the start, locked
// while it is written, and such files left by killed saves are removed by later saves of the
// same file (see RemoveStaleTemporaries). The new file keeps the old one's permissions, its
// extended attributes (the access control list among them; a save that cannot copy one is
// refused), and its owner and group where the system allows. A path that is a symbolic link
// replaces the file the link names; a link to nothing or in a circle is refused, as is a file the
// user may not write. A file with other names (hard links) is replaced under this name only, and
// Note() says so.
class CAtomicFile {
 public:
  explicit CAtomicFile(const SFileOps& ops = SystemFileOps());
  CAtomicFile(const CAtomicFile&) = delete;
  CAtomicFile& operator=(const CAtomicFile&) = delete;
  ~CAtomicFile();

  // Creates the temporary file for path; false with the reason in Error().
  bool Open(const std::string& path);
  // Appends bytes. After the first failure every later write fails too; Error() says why.
  bool Write(std::string_view bytes);
  // Puts the written bytes in place of the target; false with the reason in Error(), and the
  // temporary file is gone.
  bool Commit();
  // Drops the temporary file; the target stays as it was.
  void Discard();

  bool Failed() const { return !m_strError.empty(); }
  // The reason of the first failure, in the system's words; empty while all went well.
  const std::string& Error() const { return m_strError; }
  // What the user should know of a save that succeeds (empty when nothing): the file had other
  // names, which keep the old contents. Known after Open.
  const std::string& Note() const { return m_strNote; }

 private:
  bool ResolveTarget(const std::string& path);
  bool CreateTemporary(mode_t mode);
  bool CopyAttributes();
  bool NameUnnamed();
  bool Fail();
  bool Refuse(const std::string& reason);
  bool Flush();

  const SFileOps& m_ops;
  int m_nFd = -1;
  std::string m_strTarget;
  std::string m_strTemp;
  std::string m_strBuffer;
  std::string m_strError;
  std::string m_strNote;
  bool m_bUnnamed = false;
};

// Removes the temporary files of killed saves of folder + name (folder "" or ending in a
// slash), and nothing that another program or the user keeps beside it: only regular files
// named ".NAME.zorvan-save-" and six of the letters and digits this program draws them from,
// owned by this user, unchanged for a minute, that no running save holds locked.
void RemoveStaleTemporaries(const std::string& folder, const std::string& name);
// The same for the file at path (the file a symbolic link names): a database about to be
// opened has its folder cleared of what killed saves of it left.
void RemoveStaleTemporariesOf(const std::string& path);

// Replaces the file at path by data as CAtomicFile does; on failure error holds the reason. A
// note of a successful save (see CAtomicFile::Note) goes to note when given.
bool WriteFileAtomically(const std::string& path, std::string_view data, std::string& error,
                         const SFileOps& ops = SystemFileOps(), std::string* note = nullptr);

}  // namespace zorvan
