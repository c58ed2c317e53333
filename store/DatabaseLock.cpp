#include "store/DatabaseLock.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <thread>

namespace zorvan {
namespace {

std::string UserName() {
  if (const passwd* pw = ::getpwuid(::geteuid())) return pw->pw_name;
  return std::to_string(::geteuid());
}

std::string HostName() {
  char name[256] = {};
  return ::gethostname(name, sizeof name - 1) == 0 ? name : "this machine";
}

std::string Now() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  ::localtime_r(&now, &local);
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
  return text;
}

// The holder's line of the lock file, or a plain word when it cannot be read (it is being
// written at this moment, or by a program that writes none).
std::string HolderOf(const std::string& lockPath) {
  const int fd = ::open(lockPath.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOFOLLOW);
  char text[512] = {};
  const ssize_t n = fd >= 0 ? ::read(fd, text, sizeof text - 1) : -1;
  if (fd >= 0) ::close(fd);
  std::string holder(text, n > 0 ? static_cast<size_t>(n) : 0);
  while (!holder.empty() && (holder.back() == '\n' || holder.back() == '\r')) holder.pop_back();
  if (holder.empty() || holder.find('\n') != std::string::npos) return "another program";
  return holder;
}

}  // namespace

CDatabaseLock::~CDatabaseLock() { Release(); }

std::string CDatabaseLock::LockPathFor(const std::string& database) {
  std::string target = database;
  if (char* real = ::realpath(database.c_str(), nullptr)) {
    target = real;
    std::free(real);
  }
  const size_t slash = target.rfind('/');
  const std::string folder = slash == std::string::npos ? "" : target.substr(0, slash + 1);
  const std::string name = slash == std::string::npos ? target : target.substr(slash + 1);
  return folder + "." + name + ".lock";
}

CStatus CDatabaseLock::Acquire(const std::string& database, const std::string& program,
                               std::chrono::milliseconds wait) {
  Release();
  m_bHeldByOther = false;
  // The system ends a name at a NUL: "DIR/NAME\0x" would lock, fill and at release remove
  // DIR/.NAME, which is no lock file.
  if (database.find('\0') != std::string::npos)
    return CStatus::Failure(database, "its name holds a NUL character");
  m_strLockPath = LockPathFor(database);
  const auto deadline = std::chrono::steady_clock::now() + wait;
  std::string reason;
  while (!TryLock(reason)) {
    if (!m_bHeldByOther || std::chrono::steady_clock::now() >= deadline)
      return CStatus::Failure(database, reason);
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  WriteHolder(program);
  return CStatus::Success();
}

bool CDatabaseLock::TryLock(std::string& reason) {
  for (;;) {
    const int fd =
        ::open(m_strLockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, 0644);
    if (fd < 0) {
      m_bHeldByOther = false;
      // A lock file is never followed through a link: another user could point it anywhere.
      reason = std::string("its lock file ") + m_strLockPath +
               (errno == ELOOP ? " is a symbolic link, not a lock file of this program; remove it"
                               : " cannot be made: " + std::string(std::strerror(errno)));
      return false;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
      const bool busy = errno == EWOULDBLOCK;
      reason = busy ? "it is in use by " + HolderOf(m_strLockPath)
                    : std::string("it cannot be locked: ") + std::strerror(errno);
      ::close(fd);
      m_bHeldByOther = busy;
      return false;
    }
    // A holder removes the lock file when it lets go; a lock taken on a file that is no longer
    // the one of that name locks nothing, so take the new one.
    struct stat locked {
    }, named{};
    if (::fstat(fd, &locked) == 0 && ::lstat(m_strLockPath.c_str(), &named) == 0 &&
        locked.st_dev == named.st_dev && locked.st_ino == named.st_ino) {
      m_nFd = fd;
      return true;
    }
    ::close(fd);
  }
}

void CDatabaseLock::WriteHolder(const std::string& program) {
  const std::string holder = UserName() + " on " + HostName() + " (" + program + ", process " +
                             std::to_string(::getpid()) + ") since " + Now() + "\n";
  if (::ftruncate(m_nFd, 0) == 0)
    static_cast<void>(!::pwrite(m_nFd, holder.data(), holder.size(), 0));
}

bool CDatabaseLock::StillHeld() const {
  struct stat locked {
  }, named{};
  return m_nFd >= 0 && ::fstat(m_nFd, &locked) == 0 &&
         ::lstat(m_strLockPath.c_str(), &named) == 0 && locked.st_dev == named.st_dev &&
         locked.st_ino == named.st_ino;
}

void CDatabaseLock::Release() {
  if (m_nFd < 0) return;
  // Removed while still locked, so that nobody takes a lock on a file about to vanish; a lock
  // file that is no longer this one (removed by hand, then made by another program) is that
  // program's.
  if (StillHeld()) ::unlink(m_strLockPath.c_str());
  ::close(m_nFd);
  m_nFd = -1;
}

SFileStamp SFileStamp::Of(const std::string& path) {
  SFileStamp stamp;
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return stamp;
  stamp.device = st.st_dev;
  stamp.inode = st.st_ino;
  stamp.size = st.st_size;
  stamp.modifiedNs = std::int64_t{st.st_mtim.tv_sec} * 1000000000 + st.st_mtim.tv_nsec;
  return stamp;
}

}  // namespace zorvan
