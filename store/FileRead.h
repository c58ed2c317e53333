#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace zorvan {

// The largest file ReadWholeFile reads unless told otherwise: a database of this size holds
// millions of contacts, while a larger "file" is a mistake or an attack (a sparse file of any
// size costs its maker nothing).
inline constexpr std::uint64_t kMaxWholeFileBytes = std::uint64_t{1} << 30;

// Opens a file for reading, refusing anything that is not a regular file (a folder, a FIFO, a
// device) before it could block or hand out endless bytes. The descriptor, or -1 with the
// reason in error.
int OpenRegularFile(const std::string& path, std::string& error);

// Reads a whole file in pieces; false with the reason (the system's words, or that the file is
// larger than maxBytes or than the memory left) in error.
bool ReadWholeFile(const std::string& path, std::string& data, std::string& error,
                   std::uint64_t maxBytes = kMaxWholeFileBytes);

// A file's bytes to read once from start to end, mapped rather than copied when it is large: the
// pages behind the reader can then be given back (Release), so that what is built from the bytes
// never shares the memory with all of them. Reading a page given back maps it again from the
// file, so a second look anywhere is always right, only slower. A small file, or one the system
// will not map, is read whole into memory instead, where Release does nothing.
//
// A mapped file that another program cuts shorter while it is read ends the process (SIGBUS):
// this program's own saves replace the file by renaming, which leaves the mapped one whole.
class CFileBytes {
 public:
  // Below this size a file is read rather than mapped: the mapping and its faults cost more
  // than the copy, and its memory matters little.
  static constexpr size_t kMapFrom = size_t{4} << 20;

  CFileBytes() = default;
  CFileBytes(const CFileBytes&) = delete;
  CFileBytes& operator=(const CFileBytes&) = delete;
  ~CFileBytes() { Close(); }

  // Opens path as ReadWholeFile reads it, with the same bound and reasons; mapped from mapFrom
  // bytes on.
  bool Open(const std::string& path, std::string& error,
            std::uint64_t maxBytes = kMaxWholeFileBytes, size_t mapFrom = kMapFrom);
  void Close() noexcept;

  std::string_view Bytes() const { return m_pMap ? m_map : std::string_view(m_read); }
  bool Mapped() const { return m_pMap != nullptr; }
  // Gives the whole pages between the byte offsets from and to (not included) back to the
  // system; thread-safe for any ranges. Where the pages given back end (from when none were),
  // for the next call to begin.
  size_t Release(size_t from, size_t to) const noexcept;

 private:
  void* m_pMap = nullptr;
  std::string_view m_map;
  std::string m_read;
};

// True when both paths name one existing file (through links, other names or hard links).
bool SameFile(const std::string& a, const std::string& b);

// A size in words: "512 bytes", "64 KB", "1.5 MB", "64 GB" (units of 1,024).
std::string SizeText(std::uint64_t bytes);
// A size over a limit and the limit, "1.5 GB; at most 1 GB", in bytes where the rounded words
// would read alike ("1,073,741,825 bytes; at most 1,073,741,824 bytes").
std::string SizeBeyondLimitText(std::uint64_t bytes, std::uint64_t limit);

}  // namespace zorvan
