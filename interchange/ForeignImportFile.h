#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "store/FileRead.h"

namespace zorvan {

// The whole of a file to import, held while it is read. A file of many megabytes is read from
// the system on two threads, a half each, straight into fresh room: the faults of that room and
// the copying out of the system's cache are shared out, where one thread would fill the room
// with zeros first and then copy it all. Any other file, and any one whose size changes while
// it is read or that fails to read, is read by ReadWholeFile, with its reasons.
class CImportFileBytes {
 public:
  CImportFileBytes() = default;
  CImportFileBytes(const CImportFileBytes&) = delete;
  CImportFileBytes& operator=(const CImportFileBytes&) = delete;
  ~CImportFileBytes() { Release(); }

  // Reads the file at path; false with ReadWholeFile's reason in error. splitFrom is the size
  // from which two threads read (tests set it low).
  bool Read(const std::string& path, std::string& error,
            std::uint64_t maxBytes = kMaxWholeFileBytes, std::size_t splitFrom = kSplitFrom);
  std::string_view View() const { return m_pRoom ? std::string_view(m_pRoom, m_nSize) : m_text; }
  // Lets go of the bytes.
  void Release();

  static constexpr std::size_t kSplitFrom = std::size_t{8} << 20;

 private:
  bool ReadOnTwoThreads(int fd, std::size_t size);

  char* m_pRoom = nullptr;  // the room of a file read on two threads (malloc)
  std::size_t m_nSize = 0;
  std::string m_text;  // a file ReadWholeFile read
};

}  // namespace zorvan
