#pragma once

#include <sys/types.h>

#include <chrono>
#include <cstdint>
#include <string>

#include "store/Status.h"

namespace zorvan {

// The claim of one program on one database while it writes it (an import from the command
// line) or has it open for changes (the window): an advisory lock on a lock file beside the
// database, ".NAME.lock" in its folder, so that it works on every file system the folder may
// be on. The lock file names its holder (user, machine, program, process, since when) for the
// message another program shows; it is removed when the lock is released. Programs that only
// read the database do not need it: a save replaces the file in one step.
class CDatabaseLock {
 public:
  CDatabaseLock() = default;
  CDatabaseLock(const CDatabaseLock&) = delete;
  CDatabaseLock& operator=(const CDatabaseLock&) = delete;
  ~CDatabaseLock();

  // The lock file of a database (of the file a symbolic link names).
  static std::string LockPathFor(const std::string& database);

  // Takes the lock for program (its name in the message of another), waiting up to wait for a
  // holder to let go. A failure names the database and says who holds it ("it is in use by
  // jana on pc-12 (zorvan-cli, process 4242) since 2026-12-08 06:50:01") or why the lock
  // file cannot be made; HeldByOther() tells the two apart.
  CStatus Acquire(const std::string& database, const std::string& program,
                  std::chrono::milliseconds wait = std::chrono::milliseconds(0));
  void Release();

  bool IsHeld() const { return m_nFd >= 0; }
  // True while the lock file of that name is still the file this lock holds. A lock file
  // removed (or replaced) meanwhile protects nothing: another program may have made a new one
  // and be writing the database, so a save under this lock must not go ahead.
  bool StillHeld() const;
  const std::string& LockPath() const { return m_strLockPath; }
  // After a failed Acquire: true when another program holds the lock (the database may then
  // be opened read-only), false when the lock file could not be made.
  bool HeldByOther() const { return m_bHeldByOther; }

 private:
  bool TryLock(std::string& reason);
  void WriteHolder(const std::string& program);

  int m_nFd = -1;
  std::string m_strLockPath;
  bool m_bHeldByOther = false;
};

// What identifies the contents of a file on disk: the file, its size and the time of its last
// change. A program that read a database compares it before saving, to find a change made by
// another program meanwhile.
struct SFileStamp {
  dev_t device = 0;
  ino_t inode = 0;
  std::int64_t size = -1;
  std::int64_t modifiedNs = 0;

  // The stamp of the file at path; a stamp of size -1 when there is none.
  static SFileStamp Of(const std::string& path);
  bool Exists() const { return size >= 0; }
  bool operator==(const SFileStamp&) const = default;
};

}  // namespace zorvan
