#include "store/FileRead.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <new>

namespace zorvan {
namespace {

std::string Reason() { return std::strerror(errno); }

std::string GroupedDigits(std::uint64_t n) {
  std::string digits = std::to_string(n), grouped;
  for (size_t i = 0; i < digits.size(); ++i) {
    if (i != 0 && (digits.size() - i) % 3 == 0) grouped += ',';
    grouped += digits[i];
  }
  return grouped;
}

// A file of many megabytes is held in large pages where the system has them for the asking:
// a few faults instead of one per 4 KB while it is filled. Only a hint; nothing changes without.
void AskForLargePages(std::string& buffer) {
  constexpr size_t kLarge = size_t{2} << 20;
  if (buffer.capacity() < 2 * kLarge) return;
  const auto begin = reinterpret_cast<std::uintptr_t>(buffer.data());
  const std::uintptr_t first = (begin + kLarge - 1) & ~(kLarge - 1);
  const std::uintptr_t last = (begin + buffer.capacity()) & ~(kLarge - 1);
  if (last > first) ::madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
}

}  // namespace

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

namespace {

// The regular file at path opened for reading, with its size, when it is no larger than maxBytes;
// -1 with the reason otherwise.
int OpenWithinBound(const std::string& path, std::uint64_t maxBytes, std::uint64_t& size,
                    std::string& error) {
  const int fd = OpenRegularFile(path, error);
  if (fd < 0) return -1;
  struct stat st {};
  ::fstat(fd, &st);
  size = static_cast<std::uint64_t>(st.st_size);
  if (size > maxBytes) {
    error = "it is too large to be read (" + SizeBeyondLimitText(size, maxBytes) + ")";
    ::close(fd);
    return -1;
  }
  return fd;
}

}  // namespace

bool ReadWholeFile(const std::string& path, std::string& data, std::string& error,
                   std::uint64_t maxBytes) {
  std::uint64_t fileSize = 0;
  const int fd = OpenWithinBound(path, maxBytes, fileSize, error);
  if (fd < 0) return false;
  const std::uint64_t size = fileSize;
  data.clear();
  try {
    // The bytes the file has go straight into their place; a file that grows while it is read
    // is read on through a buffer, and held to the same bound.
    data.reserve(static_cast<size_t>(size));
    AskForLargePages(data);
    data.resize(static_cast<size_t>(size));
    size_t got = 0;
    char buf[1 << 16];
    for (;;) {
      const bool inPlace = got < data.size();
      const ssize_t n =
          inPlace ? ::read(fd, data.data() + got, data.size() - got) : ::read(fd, buf, sizeof buf);
      if (n < 0) {
        if (errno == EINTR) continue;
        error = Reason();
        ::close(fd);
        return false;
      }
      if (n == 0) break;
      if (!inPlace) {
        if (got + static_cast<size_t>(n) > maxBytes) {
          error = "it is too large to be read (more than " + SizeText(maxBytes) + ")";
          ::close(fd);
          return false;
        }
        data.append(buf, static_cast<size_t>(n));
      }
      got += static_cast<size_t>(n);
    }
    // A file that shrank meanwhile is what was there.
    data.resize(got);
  } catch (const std::bad_alloc&) {
    data = std::string();
    error = "there is not enough memory to read it (" + SizeText(size) + ")";
    ::close(fd);
    return false;
  }
  ::close(fd);
  return true;
}

bool CFileBytes::Open(const std::string& path, std::string& error, std::uint64_t maxBytes,
                      size_t mapFrom) {
  Close();
  std::uint64_t fileSize = 0;
  const int fd = OpenWithinBound(path, maxBytes, fileSize, error);
  if (fd < 0) return false;
  const std::uint64_t size = fileSize;
  if (size >= mapFrom && size > 0) {
    void* p = ::mmap(nullptr, static_cast<size_t>(size), PROT_READ, MAP_PRIVATE, fd, 0);
    // A file cut shorter between the size and the mapping would end the reader at its end: it
    // is read instead, as one that shrinks while read is.
    struct stat now {};
    if (p != MAP_FAILED &&
        (::fstat(fd, &now) != 0 || static_cast<std::uint64_t>(now.st_size) < size)) {
      ::munmap(p, static_cast<size_t>(size));
      p = MAP_FAILED;
    }
    if (p != MAP_FAILED) {
      ::close(fd);
      m_pMap = p;
      m_map = std::string_view(static_cast<const char*>(p), static_cast<size_t>(size));
      return true;
    }
  }
  // A file system that maps no files (or a file that grew past the bound meanwhile) is read.
  ::close(fd);
  return ReadWholeFile(path, m_read, error, maxBytes);
}

void CFileBytes::Close() noexcept {
  if (m_pMap) ::munmap(m_pMap, m_map.size());
  m_pMap = nullptr;
  m_map = {};
  std::string().swap(m_read);
}

size_t CFileBytes::Release(size_t from, size_t to) const noexcept {
  if (!m_pMap) return from;
  static const auto page = static_cast<size_t>(::sysconf(_SC_PAGESIZE));
  to = std::min(to, m_map.size());
  // The pages wholly inside; the file's last page counts whole, as the mapping's end is its.
  const size_t first = (from + page - 1) / page * page;
  const size_t last = to == m_map.size() ? to : to / page * page;
  if (last <= first) return from;
  ::madvise(static_cast<char*>(m_pMap) + first, last - first, MADV_DONTNEED);
  return last;
}

bool SameFile(const std::string& a, const std::string& b) {
  struct stat sa {
  }, sb{};
  if (a.empty() || b.empty() || ::stat(a.c_str(), &sa) != 0 || ::stat(b.c_str(), &sb) != 0)
    return false;
  return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

std::string SizeBeyondLimitText(std::uint64_t bytes, std::uint64_t limit) {
  const std::string size = SizeText(bytes), most = SizeText(limit);
  // Rounded, a size just over the limit reads like it ("1.0 GB; at most 1 GB"): then bytes.
  if (std::strtod(size.c_str(), nullptr) > std::strtod(most.c_str(), nullptr) ||
      size.substr(size.find(' ')) != most.substr(most.find(' ')))
    return size + "; at most " + most;
  return GroupedDigits(bytes) + " bytes; at most " + GroupedDigits(limit) + " bytes";
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
