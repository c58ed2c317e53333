#include "store/AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

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

bool WriteFileAtomically(const std::string& path, std::string_view data, std::string& error,
                         const SFileOps& ops) {
  // Write through a symbolic link to the file it names, as an ordinary save would.
  std::string target = path;
  struct stat st {};
  mode_t mode = NewFileMode();
  if (::stat(path.c_str(), &st) == 0) {
    if (!S_ISREG(st.st_mode)) {
      error = "it is not a regular file";
      return false;
    }
    mode = st.st_mode & 07777;
    if (char* real = ::realpath(path.c_str(), nullptr)) {
      target = real;
      std::free(real);
    }
  }
  std::string folder, name;
  SplitPath(target, folder, name);
  std::string temp = folder + "." + name + ".XXXXXX";
  const int fd = ::mkstemp(temp.data());
  if (fd < 0) {
    error = Reason();
    return false;
  }
  bool ok = ::fchmod(fd, mode) == 0 && WriteAll(fd, data, ops) && ops.fsync(fd) == 0;
  if (!ok) error = Reason();
  if (::close(fd) != 0 && ok) {
    ok = false;
    error = Reason();
  }
  if (ok && ops.rename(temp.c_str(), target.c_str()) != 0) {
    ok = false;
    error = Reason();
  }
  if (!ok) {
    ::unlink(temp.c_str());
    return false;
  }
  // Make the rename itself durable.
  const int dir = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY);
  if (dir >= 0) {
    ::fsync(dir);
    ::close(dir);
  }
  return true;
}

bool ReadWholeFile(const std::string& path, std::string& data, std::string& error) {
  const int fd = ::open(path.c_str(), O_RDONLY);
  if (fd < 0) {
    error = Reason();
    return false;
  }
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    error = S_ISDIR(st.st_mode) ? "it is a folder" : "it is not a regular file";
    ::close(fd);
    return false;
  }
  data.clear();
  data.reserve(static_cast<size_t>(st.st_size));
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
    data.append(buf, static_cast<size_t>(n));
  }
  ::close(fd);
  return true;
}

}  // namespace zorvan
