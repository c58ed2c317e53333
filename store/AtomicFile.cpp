#include "store/AtomicFile.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <iterator>
#include <new>
#include <random>
#include <vector>

namespace zorvan {
namespace {

ssize_t SysWrite(int fd, const void* data, size_t size) { return ::write(fd, data, size); }
int SysFsync(int fd) { return ::fsync(fd); }
int SysRename(const char* from, const char* to) { return ::rename(from, to); }

std::string Reason() { return std::strerror(errno); }

// Splits a path into its folder (with the slash, or "" for the current one) and its name.
void SplitPath(const std::string& path, std::string& folder, std::string& name) {
  const size_t slash = path.rfind('/');
  folder = slash == std::string::npos ? "" : path.substr(0, slash + 1);
  name = slash == std::string::npos ? path : path.substr(slash + 1);
}

bool WriteAll(int fd, std::string_view data, const SFileOps& ops) {
  while (!data.empty()) {
    const ssize_t n = ops.write(fd, data.data(), data.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (n == 0) {
      errno = EIO;
      return false;
    }
    data.remove_prefix(static_cast<size_t>(n));
  }
  return true;
}

// Bytes are gathered into pieces of this size before they go to the system.
constexpr size_t kBufferSize = 64 * 1024;

// The temporary files are named ".NAME." + this marker + kSuffixLength characters of
// kSuffixLetters. The marker is what tells them from the files other programs keep beside a
// file (a user's ".db.zvd.backup", the ".db.zvd.Ab3xYz" of a copy in progress): only a name
// of this shape is ever taken for the leftover of a killed save.
constexpr std::string_view kTempMarker = "zorvan-save-";
constexpr size_t kSuffixLength = 6;
constexpr std::string_view kSuffixLetters =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";

// A leftover younger than this may belong to a save that is just starting (it locks its file a
// moment after making it); it is left for a later save.
constexpr time_t kStaleAfterSeconds = 60;

std::string RandomSuffix() {
  static std::mt19937_64 random(std::random_device{}() ^ static_cast<std::uint64_t>(::getpid()));
  std::string suffix(kSuffixLength, 'x');
  for (char& c : suffix) c = kSuffixLetters[random() % kSuffixLetters.size()];
  return suffix;
}

std::string TemporaryName(const std::string& folder, const std::string& name) {
  return folder + "." + name + "." + std::string(kTempMarker) + RandomSuffix();
}

bool IsTemporaryName(std::string_view entry, const std::string& name) {
  const std::string prefix = "." + name + "." + std::string(kTempMarker);
  if (entry.size() != prefix.size() + kSuffixLength || !entry.starts_with(prefix)) return false;
  return entry.substr(prefix.size()).find_first_not_of(kSuffixLetters) == std::string_view::npos;
}

int SysSetXattr(int fd, const char* name, const void* value, size_t size, int flags) {
  return ::fsetxattr(fd, name, value, size, flags);
}

// The value of one extended attribute of the file at path (a file, not a link: the target is
// resolved already); false with errno set when it cannot be read.
bool ReadAttribute(const std::string& path, const char* name, std::vector<char>& value) {
  for (int attempt = 0; attempt < 5; ++attempt) {
    const ssize_t size = ::getxattr(path.c_str(), name, nullptr, 0);
    if (size < 0) return false;
    value.resize(static_cast<size_t>(size));
    const ssize_t n = ::getxattr(path.c_str(), name, value.data(), value.size());
    if (n >= 0) {
      value.resize(static_cast<size_t>(n));
      return true;
    }
    if (errno != ERANGE) return false;  // it grew meanwhile: ask again
  }
  return false;
}

// The names of the extended attributes of the file at path, or false with errno set.
bool ListAttributes(const std::string& path, std::vector<std::string>& names) {
  names.clear();
  std::vector<char> list;
  for (int attempt = 0;; ++attempt) {
    const ssize_t size = ::listxattr(path.c_str(), nullptr, 0);
    if (size < 0) return errno == ENOTSUP;  // a file system without them has nothing to copy
    list.resize(static_cast<size_t>(size));
    const ssize_t n = ::listxattr(path.c_str(), list.data(), list.size());
    if (n >= 0) {
      list.resize(static_cast<size_t>(n));
      break;
    }
    if (errno != ERANGE || attempt == 4) return false;
  }
  for (size_t at = 0; at < list.size();) {
    const std::string name(list.data() + at);
    at += name.size() + 1;
    if (!name.empty()) names.push_back(name);
  }
  return true;
}

std::string FolderRefused(const std::string& folder) {
  return "you may not make files in its folder " + folder;
}

std::string AttributeWords(const std::string& name) {
  if (name == "system.posix_acl_access") return "its access control list (ACL)";
  return "its extended attribute " + name;
}

int OpenUnnamed(const std::string& folder, mode_t mode) {
  // Naming the file later goes through /proc; without it an unnamed file could not be kept.
  if (::access("/proc/self/fd", X_OK) != 0) {
    errno = EOPNOTSUPP;
    return -1;
  }
  return ::open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, mode);
}

mode_t NewFileMode() {
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return 0666 & ~mask;
}

}  // namespace

const SFileOps& SystemFileOps() {
  static const SFileOps ops = {SysWrite, SysFsync, SysRename, nullptr};
  return ops;
}

CAtomicFile::CAtomicFile(const SFileOps& ops) : m_ops(ops) {}

CAtomicFile::~CAtomicFile() { Discard(); }

bool CAtomicFile::Open(const std::string& path) {
  Discard();
  m_strError.clear();
  m_strNote.clear();
  if (!ResolveTarget(path)) return false;
  struct stat st {};
  const bool exists = ::stat(m_strTarget.c_str(), &st) == 0;
  if (exists) {
    if (S_ISDIR(st.st_mode)) return Refuse("it is a folder");
    if (!S_ISREG(st.st_mode)) return Refuse("it is not a regular file");
    // Replacing a file needs only the folder's permission; the file's own must count too.
    if (::faccessat(AT_FDCWD, m_strTarget.c_str(), W_OK, AT_EACCESS) != 0)
      return Refuse(errno == EACCES || errno == EROFS ? "you may not write it" : Reason());
    if (st.st_nlink > 1)
      m_strNote = "it had " + std::to_string(st.st_nlink - 1) +
                  " other name(s) (hard links), which keep the old contents";
  } else if (errno != ENOENT) {
    return Fail();
  }
  if (!CreateTemporary(exists ? st.st_mode & 07777 : NewFileMode())) return false;
  // The new file belongs to whoever saves it; give it the old file's owner and group where the
  // system allows (a user may keep the group if he is in it, only the superuser the owner).
  if (exists && ::fchown(m_nFd, st.st_uid, st.st_gid) != 0)
    static_cast<void>(::fchown(m_nFd, static_cast<uid_t>(-1), st.st_gid));
  if (exists && ::fchmod(m_nFd, st.st_mode & 07777) != 0) return Fail();
  // After the mode: an access control list sets the group bits of the mode in its turn.
  if (exists && !CopyAttributes()) return false;
  m_strBuffer.reserve(kBufferSize);
  return true;
}

bool CAtomicFile::ResolveTarget(const std::string& path) {
  m_strTarget = path;
  struct stat lst {};
  if (::lstat(path.c_str(), &lst) != 0 || !S_ISLNK(lst.st_mode)) return true;
  // Write through a symbolic link to the file it names, as an ordinary save would; a link
  // that leads nowhere or in a circle is refused rather than replaced by a file.
  char* real = ::realpath(path.c_str(), nullptr);
  if (!real) {
    if (errno == ENOENT) return Refuse("it is a symbolic link to a file that does not exist");
    if (errno == ELOOP) return Refuse("it is a symbolic link that leads in a circle");
    return Fail();
  }
  m_strTarget = real;
  std::free(real);
  return true;
}

bool CAtomicFile::CopyAttributes() {
  // The access control list (system.posix_acl_access) and the user's own attributes are
  // extended attributes of the old file; a new file would lose them, and with an ACL the
  // access of the other users it names. A save that cannot carry one over is refused.
  std::vector<std::string> names;
  if (!ListAttributes(m_strTarget, names))
    return Refuse("its extended attributes cannot be read: " + Reason());
  const auto set = m_ops.fsetxattr ? m_ops.fsetxattr : SysSetXattr;
  std::vector<char> value, now;
  for (const std::string& name : names) {
    if (!ReadAttribute(m_strTarget, name.c_str(), value)) {
      if (errno == ENODATA) continue;  // removed meanwhile
      return Refuse(AttributeWords(name) + " cannot be read: " + Reason());
    }
    if (set(m_nFd, name.c_str(), value.data(), value.size(), 0) == 0) continue;
    const std::string reason = Reason();
    // What the system gives every new file by itself (a security label) need not be copied.
    if (::fgetxattr(m_nFd, name.c_str(), nullptr, 0) == static_cast<ssize_t>(value.size())) {
      now.resize(value.size());
      if (::fgetxattr(m_nFd, name.c_str(), now.data(), now.size()) ==
              static_cast<ssize_t>(value.size()) &&
          now == value)
        continue;
    }
    return Refuse(AttributeWords(name) + " cannot be given to the new file: " + reason);
  }
  return true;
}

bool CAtomicFile::CreateTemporary(mode_t mode) {
  std::string folder, name;
  SplitPath(m_strTarget, folder, name);
  const std::string dir = folder.empty() ? "." : folder;
  RemoveStaleTemporaries(folder, name);
  // An unnamed file vanishes with the process that writes it, however that ends; it gets a
  // name only at Commit. Where the file system or /proc lacks what that needs, a named one.
  m_nFd = m_ops.openUnnamed ? m_ops.openUnnamed(dir.c_str(), mode) : OpenUnnamed(dir, mode);
  if (m_nFd >= 0) {
    m_bUnnamed = true;
    return true;
  }
  if (errno == EACCES) return Refuse(FolderRefused(dir));
  if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL && errno != ENOENT) return Fail();
  for (int attempt = 0; attempt < 100 && m_nFd < 0; ++attempt) {
    m_strTemp = TemporaryName(folder, name);
    m_nFd = ::open(m_strTemp.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (m_nFd < 0 && errno != EEXIST) break;
  }
  if (m_nFd < 0) {
    m_strTemp.clear();
    if (errno == EACCES) return Refuse(FolderRefused(dir));
    return Fail();
  }
  // The lock tells a later save that this file is still being written, not left by a kill.
  ::flock(m_nFd, LOCK_EX | LOCK_NB);
  return ::fchmod(m_nFd, mode) == 0 || Fail();
}

bool CAtomicFile::Write(std::string_view bytes) {
  if (m_nFd < 0 || Failed()) return false;
  if (m_strBuffer.size() + bytes.size() <= kBufferSize) {
    m_strBuffer.append(bytes);
    return true;
  }
  if (!Flush()) return false;
  // A piece as large as the buffer gains nothing from being copied into it first.
  if (bytes.size() >= kBufferSize) return WriteAll(m_nFd, bytes, m_ops) || Fail();
  m_strBuffer.append(bytes);
  return true;
}

bool CAtomicFile::Commit() {
  if (m_nFd < 0 || Failed()) {
    Discard();
    return false;
  }
  if (!Flush() || m_ops.fsync(m_nFd) != 0) return Fail();
  if (m_bUnnamed && !NameUnnamed()) return Fail();
  // The file stays open, and so locked, until it has taken the target's place; its bytes are
  // on the disk already, so closing it has nothing left to report.
  if (m_ops.rename(m_strTemp.c_str(), m_strTarget.c_str()) != 0) return Fail();
  m_strTemp.clear();
  ::close(m_nFd);
  m_nFd = -1;
  // Make the rename itself durable.
  std::string folder, name;
  SplitPath(m_strTarget, folder, name);
  const int dir = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY);
  if (dir >= 0) {
    ::fsync(dir);
    ::close(dir);
  }
  return true;
}

bool CAtomicFile::NameUnnamed() {
  // The name lives only from here to the rename; it is locked meanwhile, so that no other save
  // takes it for the leftover of a killed one.
  std::string folder, name;
  SplitPath(m_strTarget, folder, name);
  ::flock(m_nFd, LOCK_EX | LOCK_NB);
  const std::string self = "/proc/self/fd/" + std::to_string(m_nFd);
  for (int attempt = 0; attempt < 100; ++attempt) {
    m_strTemp = TemporaryName(folder, name);
    if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, m_strTemp.c_str(), AT_SYMLINK_FOLLOW) == 0) {
      m_bUnnamed = false;
      return true;
    }
    if (errno != EEXIST) break;
  }
  m_strTemp.clear();
  return false;
}

void CAtomicFile::Discard() {
  if (m_nFd >= 0) ::close(m_nFd);
  m_nFd = -1;
  m_bUnnamed = false;
  if (!m_strTemp.empty()) ::unlink(m_strTemp.c_str());
  m_strTemp.clear();
  m_strBuffer.clear();
}

bool CAtomicFile::Fail() {
  if (m_strError.empty()) m_strError = Reason();
  Discard();
  return false;
}

bool CAtomicFile::Refuse(const std::string& reason) {
  m_strError = reason;
  Discard();
  return false;
}

bool CAtomicFile::Flush() {
  if (!WriteAll(m_nFd, m_strBuffer, m_ops)) return Fail();
  m_strBuffer.clear();
  return true;
}

void RemoveStaleTemporaries(const std::string& folder, const std::string& name) {
  DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
  if (!dir) return;
  const time_t before = std::time(nullptr) - kStaleAfterSeconds;
  while (const dirent* e = ::readdir(dir)) {
    const std::string_view entry = e->d_name;
    if (!IsTemporaryName(entry, name)) continue;
    const std::string path = folder + std::string(entry);
    const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) continue;
    struct stat open {
    }, named{};
    // Only a regular file of this user's, untouched for a while, that no living save holds
    // locked, and still the one of that name.
    if (::fstat(fd, &open) == 0 && S_ISREG(open.st_mode) && open.st_uid == ::geteuid() &&
        open.st_mtime < before && ::flock(fd, LOCK_EX | LOCK_NB) == 0 &&
        ::lstat(path.c_str(), &named) == 0 && named.st_ino == open.st_ino &&
        named.st_dev == open.st_dev)
      ::unlink(path.c_str());
    ::close(fd);
  }
  ::closedir(dir);
}

void RemoveStaleTemporariesOf(const std::string& path) {
  std::string target = path;
  if (char* real = ::realpath(path.c_str(), nullptr)) {
    target = real;
    std::free(real);
  }
  std::string folder, name;
  SplitPath(target, folder, name);
  RemoveStaleTemporaries(folder, name);
}

bool WriteFileAtomically(const std::string& path, std::string_view data, std::string& error,
                         const SFileOps& ops, std::string* note) {
  CAtomicFile file(ops);
  if (file.Open(path) && file.Write(data) && file.Commit()) {
    if (note) *note = file.Note();
    return true;
  }
  error = file.Error();
  return false;
}

}  // namespace zorvan
