#include "store/AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <new>

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

mode_t NewFileMode() {
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return 0666 & ~mask;
}

}  // namespace

const SFileOps& SystemFileOps() {
  static const SFileOps ops = {SysWrite, SysFsync, SysRename};
  return ops;
}

CAtomicFile::CAtomicFile(const SFileOps& ops) : m_ops(ops) {}

CAtomicFile::~CAtomicFile() { Discard(); }

bool CAtomicFile::Open(const std::string& path) {
  Discard();
  m_strError.clear();
  // Write through a symbolic link to the file it names, as an ordinary save would.
  m_strTarget = path;
  struct stat st {};
  mode_t mode = NewFileMode();
  if (::stat(path.c_str(), &st) == 0) {
    if (!S_ISREG(st.st_mode)) {
      m_strError = "it is not a regular file";
      return false;
    }
    mode = st.st_mode & 07777;
    if (char* real = ::realpath(path.c_str(), nullptr)) {
      m_strTarget = real;
      std::free(real);
    }
  }
  std::string folder, name;
  SplitPath(m_strTarget, folder, name);
  m_strTemp = folder + "." + name + ".XXXXXX";
  m_nFd = ::mkstemp(m_strTemp.data());
  if (m_nFd < 0) return Fail();
  if (::fchmod(m_nFd, mode) != 0) return Fail();
  m_strBuffer.reserve(kBufferSize);
  return true;
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
  const int fd = m_nFd;
  m_nFd = -1;
  if (::close(fd) != 0 || m_ops.rename(m_strTemp.c_str(), m_strTarget.c_str()) != 0) return Fail();
  m_strTemp.clear();
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

void CAtomicFile::Discard() {
  if (m_nFd >= 0) ::close(m_nFd);
  m_nFd = -1;
  if (!m_strTemp.empty()) ::unlink(m_strTemp.c_str());
  m_strTemp.clear();
  m_strBuffer.clear();
}

bool CAtomicFile::Fail() {
  if (m_strError.empty()) m_strError = Reason();
  Discard();
  return false;
}

bool CAtomicFile::Flush() {
  if (!WriteAll(m_nFd, m_strBuffer, m_ops)) return Fail();
  m_strBuffer.clear();
  return true;
}

bool WriteFileAtomically(const std::string& path, std::string_view data, std::string& error,
                         const SFileOps& ops) {
  CAtomicFile file(ops);
  if (file.Open(path) && file.Write(data) && file.Commit()) return true;
  error = file.Error();
  return false;
}

int OpenRegularFile(const std::string& path, std::string& error) {
  // Without O_NONBLOCK the open of a FIFO waits for a writer that may never come.
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) {
    error = Reason();
    return -1;
  }
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    error = S_ISDIR(st.st_mode) ? "it is a folder" : "it is not a regular file";
    ::close(fd);
    return -1;
  }
  ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  return fd;
}

bool ReadWholeFile(const std::string& path, std::string& data, std::string& error,
                   std::uint64_t maxBytes) {
  const int fd = OpenRegularFile(path, error);
  if (fd < 0) return false;
  struct stat st {};
  ::fstat(fd, &st);
  const auto size = static_cast<std::uint64_t>(st.st_size);
  if (size > maxBytes) {
    error =
        "it is too large to be read (" + SizeText(size) + "; at most " + SizeText(maxBytes) + ")";
    ::close(fd);
    return false;
  }
  data.clear();
  try {
    data.reserve(static_cast<size_t>(size));
    char buf[1 << 16];
    for (;;) {
      const ssize_t n = ::read(fd, buf, sizeof buf);
      if (n < 0) {
        if (errno == EINTR) continue;
        error = Reason();
        ::close(fd);
        return false;
      }
      if (n == 0) break;
      // A file that grows while it is read is held to the same bound.
      if (data.size() + static_cast<size_t>(n) > maxBytes) {
        error = "it is too large to be read (more than " + SizeText(maxBytes) + ")";
        ::close(fd);
        return false;
      }
      data.append(buf, static_cast<size_t>(n));
    }
  } catch (const std::bad_alloc&) {
    data = std::string();
    error = "there is not enough memory to read it (" + SizeText(size) + ")";
    ::close(fd);
    return false;
  }
  ::close(fd);
  return true;
}

bool SameFile(const std::string& a, const std::string& b) {
  struct stat sa {
  }, sb{};
  if (a.empty() || b.empty() || ::stat(a.c_str(), &sa) != 0 || ::stat(b.c_str(), &sb) != 0)
    return false;
  return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

std::string SizeText(std::uint64_t bytes) {
  static const char* const units[] = {"bytes", "KB", "MB", "GB", "TB", "PB", "EB"};
  if (bytes < 1024) return std::to_string(bytes) + " bytes";
  double value = static_cast<double>(bytes);
  size_t unit = 0;
  while (value >= 1024 && unit + 1 < std::size(units)) {
    value /= 1024;
    ++unit;
  }
  char text[32];
  const bool whole = value == static_cast<double>(static_cast<std::uint64_t>(value));
  std::snprintf(text, sizeof text, whole ? "%.0f %s" : "%.1f %s", value, units[unit]);
  return text;
}

}  // namespace zorvan
