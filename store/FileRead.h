#pragma once

#include <cstdint>
#include <string>

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

// True when both paths name one existing file (through links, other names or hard links).
bool SameFile(const std::string& a, const std::string& b);

// A size in words: "512 bytes", "64 KB", "1.5 MB", "64 GB" (units of 1,024).
std::string SizeText(std::uint64_t bytes);
// A size over a limit and the limit, "1.5 GB; at most 1 GB", in bytes where the rounded words
// would read alike ("1,073,741,825 bytes; at most 1,073,741,824 bytes").
std::string SizeBeyondLimitText(std::uint64_t bytes, std::uint64_t limit);

}  // namespace zorvan
