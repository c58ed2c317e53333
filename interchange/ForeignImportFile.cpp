#include "interchange/ForeignImportFile.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdlib>

#include "store/TwoThreads.h"

namespace zorvan {
namespace {

// Reads bytes [from, to) of fd into room; false on an error or when the file ends before to.
bool ReadRange(int fd, char* room, std::size_t from, std::size_t to) {
  while (from < to) {
    const ssize_t n = ::pread(fd, room + from, to - from, static_cast<off_t>(from));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    from += static_cast<std::size_t>(n);
  }
  return true;
}

}  // namespace

bool CImportFileBytes::Read(const std::string& path, std::string& error, std::uint64_t maxBytes,
                            std::size_t splitFrom) {
  Release();
  const int fd = OpenRegularFile(path, error);
  if (fd < 0) return false;
  struct stat st {};
  const bool large = ::fstat(fd, &st) == 0 && static_cast<std::uint64_t>(st.st_size) >= splitFrom &&
                     static_cast<std::uint64_t>(st.st_size) <= maxBytes && st.st_size > 0;
  const bool read = large && ReadOnTwoThreads(fd, static_cast<std::size_t>(st.st_size));
  ::close(fd);
  if (read) return true;
  Release();
  return ReadWholeFile(path, m_text, error, maxBytes);
}

bool CImportFileBytes::ReadOnTwoThreads(int fd, std::size_t size) {
  // From the allocator, not mapped apart: a command that keeps the allocator from mapping large
  // blocks of their own (import --from-other) gets this room back for what it makes next.
  void* room = std::malloc(size);
  if (!room) return false;
  m_pRoom = static_cast<char*>(room);
  m_nSize = size;
  // Large pages where the system has them for the asking: a few faults instead of one per 4 KB.
  constexpr std::uintptr_t kLarge = std::uintptr_t{2} << 20;
  const auto base = reinterpret_cast<std::uintptr_t>(room);
  const std::uintptr_t first = (base + kLarge - 1) & ~(kLarge - 1);
  const std::uintptr_t last = (base + size) & ~(kLarge - 1);
  if (last > first) ::madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
  // The halves meet where a large page starts, so that no page is faulted in by both threads.
  const std::size_t large = ((base + size / 2 + kLarge - 1) & ~(kLarge - 1)) - base;
  const std::size_t middle = large < size ? large : size / 2;
  bool firstRead = false, secondRead = false;
  RunBeside([&] { firstRead = ReadRange(fd, m_pRoom, 0, middle); },
            [&] { secondRead = ReadRange(fd, m_pRoom, middle, size); });
  // A file that grew meanwhile has more than the room holds.
  char more;
  return firstRead && secondRead && ::pread(fd, &more, 1, static_cast<off_t>(size)) == 0;
}

void CImportFileBytes::Release() {
  std::free(m_pRoom);
  m_pRoom = nullptr;
  m_nSize = 0;
  std::string().swap(m_text);
}

}  // namespace zorvan
